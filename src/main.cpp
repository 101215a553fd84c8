#include "app/CommandLine.h"
#include "app/HeadlessRun.h"
#include "app/UiStart.h"

// A run without a window must not touch the widget library: the choice is made before any
// application object exists.
int main(int argc, char** argv) {
    const bravel::CommandLine line = bravel::interpretCommandLine(bravel::argumentsOf(argc, argv));
    if (!bravel::startsWindow(line)) return bravel::runWithoutWindow(argc, argv, line);
    return bravel::Main(argc, argv);
}
