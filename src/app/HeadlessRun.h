#pragma once

#include "app/CommandLine.h"

namespace bravel {

// Everything the command line asks for that needs no window: --help, --version, a wrong command
// line, and the backup run of --run on a QCoreApplication (no display needed). Returns the exit
// code: 0 every selected entry was backed up, 1 at least one was not (or its record could not be
// written into the catalog), 2 wrong arguments or a
// catalog that cannot be opened, 3 cancelled by SIGINT or SIGTERM.
int runWithoutWindow(int& argc, char** argv, const CommandLine& line);

namespace exitcode {
constexpr int kAllSaved = 0;
constexpr int kSomeNotSaved = 1;
constexpr int kCannotStart = 2;
constexpr int kCancelled = 3;
}  // namespace exitcode

}  // namespace bravel
