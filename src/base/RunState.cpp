#include "base/RunState.h"

namespace bravel {

bool gPause = false;
bool gCancel = false;
bool gAbort = false;
bool gCopyAttributes = false;
int gSelCount = 0;
double gSelTotal = 0;
double gFileShare = 0;

void resetRunState() {
    gPause = false;
    gCancel = false;
    gAbort = false;
    gCopyAttributes = false;
    gSelCount = 0;
    gSelTotal = 0;
    gFileShare = 0;
}

}  // namespace bravel
