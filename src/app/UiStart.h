#pragma once

namespace bravel {

// The program's entry routine: keeps the command line, reads the start-up settings, refuses a
// second copy without arguments, shows the start-up status window and the main window.
int Main(int argc, char** argv);

}  // namespace bravel
