#include "app/ApplySetup.h"

#include <algorithm>
#include <cmath>

#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "settings/AppearanceTarget.h"
#include "settings/SettingKeys.h"
#include "settings/SetupValues.h"

namespace bravel {

namespace {

constexpr MenuLabel kMenuLabels[] = {MenuLabel::Programm, MenuLabel::Katalog, MenuLabel::Bearbeiten,
                                     MenuLabel::Ausfuehren};

void reportBrokenAutostart(const QString& reason) {
    showMessage(QStringLiteral("Eintrag in der Registry ist fehlerhaft:") + gCrLf + reason + gCrLf +
                    QStringLiteral("Bitte im Setup prüfen."),
                gProductName, MsgIcon::Information);
}

void checkAutostartCatalog(CatalogController& controller) {
    bool autostart = false;
    readFlagEq1(keys::setup_chk_autostart, autostart);
    const QString catalog = readText(keys::setup_txt_autostart);
    if (autostart) {
        if (catalog.isEmpty()) {
            reportBrokenAutostart(QStringLiteral("Eintrag ist leer."));
        } else if (!fs::isRegularFile(catalog)) {
            reportBrokenAutostart(QStringLiteral("Datenbank existiert nicht!"));
        } else {
            bool switchNow = false;
            readBool(keys::setup_chk_Switch2Autostart, switchNow);
            if (switchNow && controller.mOpenDB(catalog)) controller.mUpdateRecentList();
        }
    }
    if (!catalog.isEmpty() && fs::isRegularFile(catalog)) controller.mUpdateRecentList();
}

// The confirmed look becomes the one that later undos and Exits return to; the caption colours
// go into the store, where undo and Exit read them back from.
void keepConfirmedAppearance(AppearanceTarget& target) {
    BaselineAppearance baseline;
    for (MenuLabel label : kMenuLabels)
        baseline.menuLabels[static_cast<size_t>(label)] = target.menuLabelLook(label);
    baseline.listColor = target.listColor();
    baseline.buttonsColor = target.buttonsColor();
    target.setBaseline(baseline);
    writeSetting(keys::main_lbl_caption_backcolor, gCaptionBackColor);
    writeSetting(keys::main_lbl_caption_forecolor, gCaptionForeColor);
}

void undoLiveChanges(AppearanceTarget& target) {
    const BaselineAppearance baseline = target.baseline();
    for (MenuLabel label : kMenuLabels) {
        const MenuLabelLook& look = baseline.menuLabels[static_cast<size_t>(label)];
        target.setMenuLabelFont(label, look.font);
        target.setMenuLabelForeColor(label, look.foreColor);
        target.setMenuLabelBackColor(label, look.backColor);
    }
    target.lineUpMenuLabels();
    readInteger(keys::main_lbl_caption_backcolor, gCaptionBackColor);
    readInteger(keys::main_lbl_caption_forecolor, gCaptionForeColor);
    target.applyCaptionColors();
    target.setListColor(baseline.listColor);
    target.setButtonsColor(baseline.buttonsColor);
}

// The list shows the warning of old backups as its last fill found it; another setting needs a
// new fill.
void refillWhenWarningChanged(CatalogController& controller) {
    if (gDBOpen && controller.oldBackupDays() != oldBackupWarningDays()) controller.mFillListBox();
}

void applyListAndTimers(AppearanceTarget& target, CatalogController& controller) {
    const bool fitColumns = readText(keys::setup_chk_AutoSpaltenbreite) == QLatin1String("1");
    if (fitColumns) target.fitListColumns();
    controller.setAutoSizeColumns(fitColumns);
    bool showStatus = false;
    readFlagEq1(keys::setup_chk_ShowStatus, showStatus);
    gShowStatus = showStatus;
    target.focusNewEntryShortcut();
    gBusyOff();

    bool autoUpdate = false;
    readFlagEq1(keys::setup_chk_AutoUpdate, autoUpdate);
    int interval = controller.autoUpdateInterval();
    if (autoUpdate) {
        const double stored =
            readNumber(keys::setup_txt_AutoUpdate, keys::kAutoUpdateDefaultWhenApplyingSetup);
        interval = static_cast<int>(std::clamp(std::round(stored), 0.0, 2147483647.0));
        // An interval of 0 stops a timer, it does not make it run without pause.
        if (interval <= 0) autoUpdate = false;
    }
    controller.setAutoUpdate(autoUpdate, interval);
    controller.mSetTimers(true, interval);
}

}  // namespace

void applySetupResult(const QString& result, AppearanceTarget& target,
                      CatalogController& controller) {
    Err.Clear();
    if (result == kSetupOk) {
        checkAutostartCatalog(controller);
        keepConfirmedAppearance(target);
        refillWhenWarningChanged(controller);
    } else {
        undoLiveChanges(target);
    }
    applyListAndTimers(target, controller);
    Err.Clear();
}

}  // namespace bravel
