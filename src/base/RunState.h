#pragma once

namespace bravel {

// The state of a backup run, shared by the run, the copy engine and the pause and cancel
// controls. Plain flags: the handlers set them while events run, the loops poll them.
extern bool gPause;
extern bool gCancel;
// Set by SIGINT or SIGTERM: the current copy stops at its next chunk and keeps the older copy,
// and the run ends as cancelled.
extern bool gAbort;
extern bool gCopyAttributes;
extern int gSelCount;      // selected rows, counted down as files remaining
extern double gSelTotal;   // their total bytes
extern double gFileShare;  // the current file's part of the overall percentage

void resetRunState();

}  // namespace bravel
