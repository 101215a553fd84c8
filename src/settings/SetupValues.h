#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "settings/AppearanceTarget.h"

namespace bravel {

// The result texts of the setup window.
inline const QString kSetupOk = QStringLiteral("SETUP_OK");
inline const QString kSetupExit = QStringLiteral("SETUP_EXIT");

// Everything the setup window shows that lives in the settings store.
struct SetupValues {
    // Programmstart
    bool autostart = false;
    QString autostartPath;
    bool switch2Autostart = false;
    bool autoCopyRange = false;
    QString autoCopyRangeText;
    bool autoCopyAll = false;
    // Standardwerte
    bool standardFolderOn = false;
    QString standardFolder;
    bool useOrigPath = false;
    bool deletePathAfterDelLocalFile = false;
    bool deleteItemsAfterDelLocalFile = false;
    bool autoUpdate = true;
    QString autoUpdateText = QStringLiteral("1000");
    // Ansicht
    bool autoColumnWidth = true;
    bool fullRowSelect = true;
    bool showToolTip = true;
    int toolTipOpacity = 220;
    bool warnOldBackup = false;
    int warnOldBackupDays = 7;
    // Vorgang
    bool afterJob = false;
    int afterJobIndex = -1;
    bool showStatus = false;
    bool changedOnly = false;
    bool verifyCopies = false;
    bool keepVersions = false;
    int keepVersionsCount = 5;
};

// Reads every value with the defaults the setup window passes. A stored text that does not
// convert leaves the field at its designed value.
SetupValues loadSetupValues();

enum class SetupField { None, Autostart, StandardFolder };

struct SetupWriteOutcome {
    bool accepted = false;
    SetupField field = SetupField::None;  // the text box to focus when not accepted
    QString message;                      // the message to show when not accepted
};

// The OK button's writes in their order. Stops at the first failed check; what was written
// before the stop stays written.
SetupWriteOutcome writeSetupValues(const SetupValues& values);

// The age in days beyond which the list warns of an entry's last backup on this computer;
// nothing while the warning is off.
std::optional<int> oldBackupWarningDays();

// The after-run actions in the order of their stored index.
QStringList afterJobActions();

struct ColorScheme {
    const char* key;
    const char* name;
    qint64 back;  // caption background, 0x00BBGGRR
    qint64 fore;  // caption text
};
extern const std::array<ColorScheme, 8> kColorSchemes;
const ColorScheme* colorScheme(const QString& key);

struct SetupSection {
    const char* key;
    const char* name;
};
extern const std::array<SetupSection, 4> kSetupSections;
extern const std::array<SetupSection, 4> kSetupMenuItems;

// The main-window label a menu entry of the setup window names ("Programm", " katalog ", ...).
std::optional<MenuLabel> menuLabelForName(const QString& name);

// Whether a typed character may go into the update interval: digits, "." and backspace; keys
// without a character (arrows, Delete) are not typing and always pass.
bool acceptsAutoUpdateInput(const QString& typed);
// The interval that an interval text stands for, rounded to whole milliseconds.
int autoUpdateIntervalMs(const QString& text);

}  // namespace bravel
