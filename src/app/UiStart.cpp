#include "app/UiStart.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "backup/BackupRun.h"
#include "backup/frm_CommandStatus.h"
#include "base/AppValues.h"
#include "base/RunState.h"
#include "catalog/CatalogState.h"
#include "platform/CatalogLocks.h"
#include "platform/ProgramResources.h"
#include "platform/SystemActions.h"
#include "platform/SystemInfo.h"
#include "platform/TerminationSignals.h"
#include "platform/Translations.h"
#include "platform/UiDialogs.h"
#include "settings/SettingKeys.h"

namespace bravel {
namespace {

QString executableBaseName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void readCaptionColours() {
    readInteger(keys::main_lbl_caption_backcolor, gCaptionBackColor);
    readInteger(keys::main_lbl_caption_forecolor, gCaptionForeColor);
}

void showStartupStatusWindow() {
    readFlagEq1(keys::setup_chk_ShowStatus, gShowStatus);
    frm_CommandStatus* status = frm_CommandStatus::load();
    status->setTagText(startupStatusText(gCommandLine));
    status->show();
    QCoreApplication::processEvents();
}

// Closes a catalog that is still open when Main ends (an add-mode start, a quit without the
// window's close): the catalog's connection must go while Qt Sql still exists, not in the
// destructors of the program-wide values after it.
struct CatalogCloser {
    ~CatalogCloser() {
        if (gDB.Access) gDB.Access->Close();
        gDB.Access.reset();
        gDBOpen = false;
    }
};

// SIGINT or SIGTERM: a working run stops at its next chunk and keeps the older copy; once the
// window is idle it closes as Exit does (catalog closed, settings written). A dialog that waits
// for a person is closed first, so that the command behind it can end.
void closeWhenIdle(frm_main& window) {
    if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    if (gIdle && !QApplication::activeModalWidget()) {
        window.close();
        return;
    }
    QTimer::singleShot(50, &window, [&window] { closeWhenIdle(window); });
}

void endOnSignal(frm_main& window) {
    if (!gIdle) {
        gAbort = true;
        requestCancel(window);
    }
    closeWhenIdle(window);
}

}  // namespace

int Main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Before any catalog connection: a catalog shared with other programs must keep its locks.
    if (!installCatalogLocks()) qWarning("%s", qPrintable(catalogLockingNote()));
    TerminationSignals terminationSignals;  // from the start: a signal while loading is kept
    // A signal while loading closes every dialog that waits for a person, also one that opens
    // after it, so that the load ends and the window with it.
    QTimer closeLoadDialogs;
    closeLoadDialogs.setInterval(50);
    QObject::connect(&closeLoadDialogs, &QTimer::timeout, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    QObject::connect(&terminationSignals, &TerminationSignals::arrived, &closeLoadDialogs,
                     qOverload<>(&QTimer::start));
    // The window system links the windows to the menu's desktop entry and its icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.quillfen.bravel"));
    QApplication::setWindowIcon(programIcon());
    installQtTranslations(QLocale::system());
    const CatalogCloser closeCatalogAtEnd;
    UiDialogs realDialogs;
    setDialogs(&realDialogs);
    RealSystemActions realActions;
    setSystemActions(&realActions);

    // Qt's own list would turn the bytes of a name that is no text into U+FFFD.
    setStartCommand(argumentsOf(argc, argv));
    InstanceLock instanceLock;
    const bool otherInstanceRunning = !instanceLock.acquire();
    readCaptionColours();
    if (otherInstanceRunning && gCommandLine.isEmpty()) {
        showMessage(QStringLiteral("Anwendung schon akiv"), executableBaseName(),
                    MsgIcon::Information);
        return 0;
    }
    fillIdentityValues();
    if (!otherInstanceRunning) showStartupStatusWindow();

    frm_main mainWindow;
    if (!mainWindow.load()) {  // files from the command line were added: the program ends
        frm_CommandStatus::unload();
        return 0;
    }
    terminationSignals.disconnect(&closeLoadDialogs);
    closeLoadDialogs.stop();
    // Stopped while loading: the window ends as Exit ends it, without being shown.
    if (terminationSignals.received()) {
        mainWindow.close();
        frm_CommandStatus::unload();
        return 0;
    }
    QObject::connect(&terminationSignals, &TerminationSignals::arrived, &mainWindow,
                     [&mainWindow] { endOnSignal(mainWindow); });
    mainWindow.show();
    QCoreApplication::processEvents();
    if (!otherInstanceRunning) frm_CommandStatus::unload();
    return app.exec();
}

}  // namespace bravel
