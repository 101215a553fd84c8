#include "app/AppValues.h"
#include "backup/Prog.h"
#include "backup/RunState.h"
#include "catalog/COLArchivFiles.h"
#include "errors/COLError.h"
#include "platform/Clock.h"
#include "platform/Err.h"
#include "platform/SettingsStore.h"

namespace bravel {

void resetProgramState() {
    gCommandLine.clear();
    gCaptionBackColor = 16744576;
    gCaptionForeColor = 16777215;
    gShowStatus = false;
    gInitCrLf();
    fillIdentityValues();
    gHostName.clear();
    resetRunState();
    gCatalogFiles.Clear();
    gErrorStack.Clear();
    Err.Clear();
    setClockForTest(QDateTime());
    settingsstore::reset();
}

}  // namespace bravel
