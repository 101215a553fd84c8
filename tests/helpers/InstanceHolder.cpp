// A second copy of the program for the previous-instance test, reduced to its instance lock.
// "hold": takes the lock, says "held" (or "busy") on standard output and, when it holds the
// lock, waits until it is killed. "try": takes the lock, says "held" or "busy" and ends.
#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <cstring>

#include "platform/SystemInfo.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the lock file names the program, as in bravel itself
    const bool hold = argc > 1 && std::strcmp(argv[1], "hold") == 0;
    bravel::InstanceLock lock;
    const bool held = lock.acquire();
    std::printf("%s\n", held ? "held" : "busy");
    std::fflush(stdout);
    if (!held) return 1;
    while (hold) QThread::sleep(1);
    return 0;
}
