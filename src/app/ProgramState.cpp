#include "app/ProgramState.h"

#include "app/CommandLine.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogState.h"
#include "catalog/EntryWriter.h"
#include "errors/COLError.h"
#include "listtools/ToolTipContent.h"
#include "platform/Clock.h"
#include "platform/Err.h"
#include "platform/SettingsStore.h"
#include "scan/DirectoryWalk.h"

namespace bravel {

void resetProgramState() {
    gCommandLine.clear();
    gStartCommand = CommandLine();
    gCaptionBackColor = 16744576;
    gCaptionForeColor = 16777215;
    gShowStatus = false;
    gInitCrLf();
    fillIdentityValues();
    gHostName.clear();
    resetRunState();
    resetCatalogState();
    gSelectedFiles.reset();
    gUseOrigPath = false;
    resetToolTipState();
    gCancelScan = false;
    gCatalogFiles.Clear();
    gErrorStack.Clear();
    Err.Clear();
    setClockForTest(QDateTime());
    settingsstore::reset();
}

}  // namespace bravel
