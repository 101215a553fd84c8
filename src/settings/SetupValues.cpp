#include "settings/SetupValues.h"

#include <algorithm>
#include <cmath>

#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "settings/SettingKeys.h"
#include "settings/ToolTipSettings.h"

namespace bravel {

namespace {

// Check boxes hold "0"/"1"; any other whole number counts as ticked, as a check box takes it.
void readCheckBox(const SettingKey& key, bool& target) {
    qint64 value = 0;
    if (readInteger(key, value)) target = value != 0;
}

SetupWriteOutcome stopAt(SetupField field, const QString& message) {
    SetupWriteOutcome outcome;
    outcome.field = field;
    outcome.message = message;
    return outcome;
}

const QString kCheckEntry = QStringLiteral("Bitte Eintrag prüfen!");
const QString kNoSuchFile = QStringLiteral("Datei existiert nicht!");

}  // namespace

const std::array<ColorScheme, 8> kColorSchemes{{
    {"c0", " Blau", 16744576, 16761024},
    {"c1", " Rot", 8421631, 12632319},
    {"c2", " Grün", 32768, 12648384},
    {"c3", " Gelb", 49344, 12648447},
    {"c4", " Türkis", 12632064, 16777152},
    {"c5", " Orange", 33023, 12640511},
    {"c6", " Antrazit", 8421504, 14737632},
    {"c7", " Grau", 12632256, 16777215},
}};

const std::array<SetupSection, 4> kSetupSections{{
    {"Programmstart", " Programmstart"},
    {"Standardwerte", " Standardwerte"},
    {"Ansicht", " Ansicht"},
    {"Vorgang", " Vorgang"},
}};

const std::array<SetupSection, 4> kSetupMenuItems{{
    {"Katalog", " Katalog"},
    {"Bearbeiten", " Bearbeiten"},
    {"Ausführen", " Ausführen"},
    {"Programm", " Programm"},
}};

const ColorScheme* colorScheme(const QString& key) {
    for (const ColorScheme& scheme : kColorSchemes)
        if (key == QLatin1String(scheme.key)) return &scheme;
    return nullptr;
}

std::optional<MenuLabel> menuLabelForName(const QString& name) {
    const QString wanted = name.trimmed().toLower();
    if (wanted == QLatin1String("programm")) return MenuLabel::Programm;
    if (wanted == QLatin1String("katalog")) return MenuLabel::Katalog;
    if (wanted == QLatin1String("bearbeiten")) return MenuLabel::Bearbeiten;
    if (wanted == QStringLiteral("ausführen")) return MenuLabel::Ausfuehren;
    return std::nullopt;
}

std::optional<int> oldBackupWarningDays() {
    const SetupValues defaults;
    bool on = defaults.warnOldBackup;
    readCheckBox(keys::setup_chk_WarnOldBackup, on);
    qint64 days = defaults.warnOldBackupDays;
    readInteger(keys::setup_txt_WarnOldBackup, days);
    Err.Clear();
    if (!on) return std::nullopt;
    return static_cast<int>(std::clamp<qint64>(days, 1, keys::kMostWarnDays));
}

QStringList afterJobActions() {
    return {QStringLiteral("Programm beenden"),
            QStringLiteral("Abmelden (Netzwerkverbindungen lösen)"),
            QStringLiteral("Windows neu starten (nur Win9x)"),
            QStringLiteral("Windows herunterfahren (nur Win9x)")};
}

bool acceptsAutoUpdateInput(const QString& typed) {
    if (typed.isEmpty()) return true;
    for (const QChar c : typed) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!digit && c != QLatin1Char('.') && c != QLatin1Char('\b')) return false;
    }
    return true;
}

int autoUpdateIntervalMs(const QString& text) {
    const double value = std::round(numericPrefix(text));
    return static_cast<int>(std::clamp(value, 0.0, 2147483647.0));
}

SetupValues loadSetupValues() {
    Err.Clear();
    SetupValues v;
    readCheckBox(keys::setup_chk_autostart, v.autostart);
    v.autostartPath = readText(keys::setup_txt_autostart);
    readCheckBox(keys::setup_chk_Switch2Autostart, v.switch2Autostart);
    readBool(keys::setup_opt_AutoCopyRange, v.autoCopyRange);
    v.autoCopyRangeText = readText(keys::setup_txt_AutoCopyRange);
    readBool(keys::setup_opt_AutoCopyAll, v.autoCopyAll);

    readCheckBox(keys::setup_chk_StandardSicherungsverzeichnis, v.standardFolderOn);
    v.standardFolder = readText(keys::setup_txt_StandardSicherungsverzeichnis);
    readCheckBox(keys::setup_chk_UseOrigPath, v.useOrigPath);
    readCheckBox(keys::setup_chk_DeletePathAfterDelLocalFile, v.deletePathAfterDelLocalFile);
    readCheckBox(keys::setup_chk_DeleteItemshAfterDelLocalFile, v.deleteItemsAfterDelLocalFile);
    readCheckBox(keys::setup_chk_AutoUpdate, v.autoUpdate);
    v.autoUpdateText = readText(keys::setup_txt_AutoUpdate);

    readCheckBox(keys::setup_chk_AutoSpaltenbreite, v.autoColumnWidth);
    readCheckBox(keys::lst_fullrowselect, v.fullRowSelect);
    readCheckBox(keys::lst_tooltip, v.showToolTip);
    qint64 opacity = v.toolTipOpacity;
    if (readInteger(keys::sld_ToolTipTransparenz, opacity))
        v.toolTipOpacity = static_cast<int>(std::clamp<qint64>(opacity, 0, 255));

    readCheckBox(keys::setup_chk_WarnOldBackup, v.warnOldBackup);
    qint64 days = v.warnOldBackupDays;
    if (readInteger(keys::setup_txt_WarnOldBackup, days))
        v.warnOldBackupDays = static_cast<int>(std::clamp<qint64>(days, 1, keys::kMostWarnDays));

    readCheckBox(keys::setup_chk_AfterJob, v.afterJob);
    qint64 action = v.afterJobIndex;
    // An index outside the four actions shows no action, as -1 does.
    if (readInteger(keys::setup_cbo_AfterJob, action))
        v.afterJobIndex =
            action >= 0 && action < afterJobActions().size() ? static_cast<int>(action) : -1;
    readCheckBox(keys::setup_chk_ShowStatus, v.showStatus);
    readCheckBox(keys::setup_chk_ChangedOnly, v.changedOnly);
    readCheckBox(keys::setup_chk_VerifyCopies, v.verifyCopies);
    readCheckBox(keys::setup_chk_KeepVersions, v.keepVersions);
    qint64 count = v.keepVersionsCount;
    if (readInteger(keys::setup_txt_KeepVersions, count))
        v.keepVersionsCount =
            static_cast<int>(std::clamp<qint64>(count, 1, keys::kMostVersionsKept));
    Err.Clear();
    return v;
}

SetupWriteOutcome writeSetupValues(const SetupValues& v) {
    Err.Clear();
    writeCheckBox(keys::setup_chk_autostart, v.autostart);
    if (v.autostart) {
        // A path of blanks would be written as the empty text: it is no entry either.
        const QString path = v.autostartPath.trimmed();
        if (path.isEmpty()) return stopAt(SetupField::Autostart, kCheckEntry);
        // The autostart entry is opened as a catalog, so a folder does not do.
        if (!fs::isRegularFile(path)) return stopAt(SetupField::Autostart, kNoSuchFile);
        writeSetting(keys::setup_txt_autostart, path);
    }

    writeCheckBox(keys::setup_chk_StandardSicherungsverzeichnis, v.standardFolderOn);
    if (v.standardFolderOn) {
        const QString folder = v.standardFolder.trimmed();
        if (folder.isEmpty()) return stopAt(SetupField::StandardFolder, kCheckEntry);
        if (!fs::exists(folder)) return stopAt(SetupField::StandardFolder, kNoSuchFile);
        writeSetting(keys::setup_txt_StandardSicherungsverzeichnis, folder);
    }

    writeCheckBox(keys::setup_chk_AutoSpaltenbreite, v.autoColumnWidth);
    writeCheckBox(keys::lst_fullrowselect, v.fullRowSelect);
    writeCheckBox(keys::lst_tooltip, v.showToolTip);
    gShowToolTips = v.showToolTip;
    writeSetting(keys::sld_ToolTipTransparenz, static_cast<qint64>(v.toolTipOpacity));
    gToolTipAlpha = v.toolTipOpacity;
    writeCheckBox(keys::setup_chk_WarnOldBackup, v.warnOldBackup);
    writeSetting(keys::setup_txt_WarnOldBackup, static_cast<qint64>(v.warnOldBackupDays));
    writeCheckBox(keys::setup_chk_Switch2Autostart, v.switch2Autostart);
    writeCheckBox(keys::setup_chk_AfterJob, v.afterJob);
    writeSetting(keys::setup_cbo_AfterJob, static_cast<qint64>(v.afterJob ? v.afterJobIndex : -1));
    writeCheckBox(keys::setup_chk_UseOrigPath, v.useOrigPath);
    writeCheckBox(keys::setup_chk_DeletePathAfterDelLocalFile, v.deletePathAfterDelLocalFile);
    writeCheckBox(keys::setup_chk_DeleteItemshAfterDelLocalFile, v.deleteItemsAfterDelLocalFile);
    writeCheckBox(keys::setup_chk_AutoUpdate, v.autoUpdate);
    writeSetting(keys::setup_txt_AutoUpdate,
                 QString::number(numericPrefix(v.autoUpdateText), 'g', 15));
    writeBoolText(keys::setup_opt_AutoCopyRange, v.autoCopyRange);
    writeSetting(keys::setup_txt_AutoCopyRange, v.autoCopyRangeText);
    writeBoolText(keys::setup_opt_AutoCopyAll, v.autoCopyAll);
    writeCheckBox(keys::setup_chk_ShowStatus, v.showStatus);
    writeCheckBox(keys::setup_chk_ChangedOnly, v.changedOnly);
    writeCheckBox(keys::setup_chk_VerifyCopies, v.verifyCopies);
    writeCheckBox(keys::setup_chk_KeepVersions, v.keepVersions);
    writeSetting(keys::setup_txt_KeepVersions, static_cast<qint64>(v.keepVersionsCount));
    Err.Clear();
    SetupWriteOutcome outcome;
    outcome.accepted = true;
    return outcome;
}

}  // namespace bravel
