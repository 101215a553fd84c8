#include "app/UiStartCatalog.h"

#include <QCoreApplication>

#include "app/CommandLine.h"
#include "backup/frm_CommandStatus.h"
#include "base/AppValues.h"
#include "base/RunState.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "catalog/EntryWriter.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "settings/SettingKeys.h"

namespace bravel {

void openStartCatalog(CatalogController& controller) {
    if (gStartCommand.mode == CommandLineMode::Open) {
        controller.mOpenDB(gStartCommand.catalog);
        return;
    }
    bool autostart = false;
    if (!readFlagEq1(keys::setup_chk_autostart, autostart) || !autostart) return;
    const QString catalog = readText(keys::setup_txt_autostart);
    const QString head = QStringLiteral("Eintrag in der Registry ist fehlerhaft:") + gCrLf + gCrLf;
    bool failed = false;
    if (catalog.isEmpty()) {
        frm_CommandStatus::unload();
        showMessage(head + QStringLiteral("Eintrag ist leer.") + gCrLf +
                        QStringLiteral("Bitte im Setup prüfen."),
                    gProductName, MsgIcon::Information);
        failed = true;
    } else if (!fs::isRegularFile(catalog)) {
        frm_CommandStatus::unload();
        showMessage(head + QStringLiteral("Datenbank existiert nicht!") + gCrLf +
                        QStringLiteral("Bitte im Setup prüfen."),
                    gProductName, MsgIcon::Information);
        failed = true;
    } else {
        controller.mOpenDB(catalog);
        failed = !gDBOpen;
    }
    if (failed) writeSetting(keys::setup_chk_autostart, QStringLiteral("0"));
}

bool addCommandLineFiles(CatalogController& controller) {
    if (!gDBOpen) {
        showMessage(QStringLiteral("Es ist kein Autostart-Katalog aktiviert.") + gCrLf + gCrLf +
                        QStringLiteral("Die Option") + gCrLf +
                        QStringLiteral("'Automatisches Öffnen eines Katalogs nach Programmstart'") +
                        gCrLf + QStringLiteral("im Fenster 'Setup' muß aktiviert werden!"),
                    gProductName, MsgIcon::Exclamation);
        return false;
    }
    const QString folder = readText(keys::setup_txt_StandardSicherungsverzeichnis);
    if (folder.isEmpty()) return false;
    // Every argument is one file path, made absolute at start.
    gSelectedFiles = gSplitMultiselectFiles(gStartCommand.files.join(QChar(0)) + QChar(0), true);
    if (gShowStatus) {
        frm_CommandStatus* status = frm_CommandStatus::load();
        status->setTagText(startupStatusText(gCommandLine));
        status->show();
        QCoreApplication::processEvents();
    }
    gUseOrigPath = false;
    readBool(keys::setup_chk_UseOrigPath, gUseOrigPath);
    mSaveEntries(controller.rset_Record(), SaveMode::AddNew, folder);
    controller.mFillListBox();
    if (gShowStatus) frm_CommandStatus::unload();
    return true;
}

}  // namespace bravel
