#pragma once

#include <QString>

namespace bravel {

// One settings key with the default its usual reader passes. Where readers differ, the other
// default is named beside the key and passed explicitly.
struct SettingKey {
    const char* name;
    const char* defaultValue;
};

namespace keys {
// Main window geometry (twips) and appearance; main_left/main_top default to the centring
// position, which the reader computes.
inline constexpr SettingKey main_left{"main_left", ""};
inline constexpr SettingKey main_top{"main_top", ""};
inline constexpr SettingKey main_width{"main_width", "9345"};
inline constexpr SettingKey main_height{"main_height", "5700"};
inline constexpr SettingKey main_mnu_app_font{"main_mnu_app_font", "Arial"};
inline constexpr SettingKey main_mnu_app_fontcolor{"main_mnu_app_fontcolor", "16777215"};
inline constexpr SettingKey main_mnu_app_backcolor{"main_mnu_app_backcolor", "16744576"};
inline constexpr SettingKey main_mnu_file_font{"main_mnu_file_font", "Arial"};
inline constexpr SettingKey main_mnu_file_fontcolor{"main_mnu_file_fontcolor", "16777215"};
inline constexpr SettingKey main_mnu_file_backcolor{"main_mnu_file_backcolor", "16744576"};
inline constexpr SettingKey main_mnu_fileedit_font{"main_mnu_fileedit_font", "Arial"};
inline constexpr SettingKey main_mnu_fileedit_fontcolor{"main_mnu_fileedit_fontcolor", "16777215"};
inline constexpr SettingKey main_mnu_fileedit_backcolor{"main_mnu_fileedit_backcolor", "16744576"};
inline constexpr SettingKey main_mnu_fileaction_font{"main_mnu_fileaction_font", "Arial"};
inline constexpr SettingKey main_mnu_fileaction_fontcolor{"main_mnu_fileaction_fontcolor",
                                                          "16777215"};
inline constexpr SettingKey main_mnu_fileaction_backcolor{"main_mnu_fileaction_backcolor",
                                                          "16744576"};
inline constexpr SettingKey main_lbl_caption_backcolor{"main_lbl_caption_backcolor", "16744576"};
inline constexpr SettingKey main_lbl_caption_forecolor{"main_lbl_caption_forecolor", "16777215"};
inline constexpr SettingKey main_buttons_backcolor{"main_buttons_backcolor", "16744576"};

// Main list layout. Column widths: 2000 for columns 1 and 2, 500 for 3 to 7.
SettingKey columnWidthKey(int column);  // ColumnHeaders<column>_Width, 1..7
inline constexpr SettingKey ColumnOrder{"ColumnOrder", ""};
inline constexpr SettingKey lst_grid{"lst_grid", "1"};
inline constexpr SettingKey lst_view{"lst_view", "3"};
inline constexpr SettingKey lst_color{"lst_color", "16777215"};
inline constexpr SettingKey lst_fullrowselect{"lst_fullrowselect", "1"};
inline constexpr SettingKey main_lst_files_sortkey{"main_lst_files_sortkey", "0"};
inline constexpr SettingKey main_lst_files_sortorder{"main_lst_files_sortorder", "0"};
inline constexpr SettingKey chk_SearchInAllCols{"chk_SearchInAllCols", "0"};

// Tooltip window.
inline constexpr SettingKey lst_tooltip{"lst_tooltip", "1"};
inline constexpr SettingKey sld_ToolTipTransparenz{"sld_ToolTipTransparenz", "220"};
inline constexpr SettingKey sld_ToolTipDelay{"sld_ToolTipDelay", "30"};

// Start-up, autostart and run options.
inline constexpr SettingKey setup_chk_autostart{"setup_chk_autostart", "0"};
inline constexpr SettingKey setup_txt_autostart{"setup_txt_autostart", ""};
inline constexpr SettingKey setup_chk_Switch2Autostart{"setup_chk_Switch2Autostart", "0"};
inline constexpr SettingKey setup_chk_ShowStatus{"setup_chk_ShowStatus", "0"};
// Run options beyond copying everything again: skip unchanged files, read copies back and compare,
// keep older copies as versions (how many per file).
inline constexpr SettingKey setup_chk_ChangedOnly{"setup_chk_ChangedOnly", "0"};
inline constexpr SettingKey setup_chk_VerifyCopies{"setup_chk_VerifyCopies", "0"};
inline constexpr SettingKey setup_chk_KeepVersions{"setup_chk_KeepVersions", "0"};
inline constexpr SettingKey setup_txt_KeepVersions{"setup_txt_KeepVersions", "5"};
constexpr int kMostVersionsKept = 999;  // older copies per file
// The list warns of entries whose last backup on this computer is older than so many days.
inline constexpr SettingKey setup_chk_WarnOldBackup{"setup_chk_WarnOldBackup", "0"};
inline constexpr SettingKey setup_txt_WarnOldBackup{"setup_txt_WarnOldBackup", "7"};
constexpr int kMostWarnDays = 9999;
inline constexpr SettingKey setup_chk_AutoSpaltenbreite{"setup_chk_AutoSpaltenbreite", "1"};
inline constexpr SettingKey setup_chk_AutoUpdate{"setup_chk_AutoUpdate", "1"};
inline constexpr SettingKey setup_txt_AutoUpdate{"setup_txt_AutoUpdate", "1000"};
inline constexpr const char* kAutoUpdateDefaultWhenApplyingSetup = "200";
inline constexpr SettingKey setup_chk_AfterJob{"setup_chk_AfterJob", "0"};
inline constexpr SettingKey setup_cbo_AfterJob{"setup_cbo_AfterJob", "-1"};
inline constexpr SettingKey setup_opt_AutoCopyRange{"setup_opt_AutoCopyRange", "0"};
inline constexpr SettingKey setup_txt_AutoCopyRange{"setup_txt_AutoCopyRange", ""};
inline constexpr SettingKey setup_opt_AutoCopyAll{"setup_opt_AutoCopyAll", "0"};

// Defaults for new entries and for deleting. The entry editor's default for the standard folder
// is the program's own folder, which it passes itself.
inline constexpr SettingKey setup_chk_StandardSicherungsverzeichnis{
    "setup_chk_StandardSicherungsverzeichnis", "0"};
inline constexpr SettingKey setup_txt_StandardSicherungsverzeichnis{
    "setup_txt_StandardSicherungsverzeichnis", ""};
inline constexpr SettingKey setup_chk_UseOrigPath{"setup_chk_UseOrigPath", "0"};
inline constexpr SettingKey setup_chk_DeletePathAfterDelLocalFile{
    "setup_chk_DeletePathAfterDelLocalFile", "0"};
inline constexpr SettingKey setup_chk_DeleteItemshAfterDelLocalFile{
    "setup_chk_DeleteItemshAfterDelLocalFile", "0"};

// Entry editor geometry (twips); left and top default to centring over the main window.
inline constexpr SettingKey choosedir_left{"choosedir_left", ""};
inline constexpr SettingKey choosedir_top{"choosedir_top", ""};
inline constexpr SettingKey choosedir_width{"choosedir_width", "4200"};
inline constexpr SettingKey choosedir_height{"choosedir_height", "4170"};

// Recent catalogs (read as Recent<n>, written as recent<n>, n 1..9) and program location.
SettingKey recentReadKey(int slot);
SettingKey recentWriteKey(int slot);
inline constexpr SettingKey AppEXELocal{"AppEXELocal", ""};
inline constexpr SettingKey Freshwire{"Freshwire", ""};
// The maker's download page shown in the main window's embedded browser.
inline constexpr SettingKey main_WebBrowser1_url{"main_WebBrowser1_url",
                                                 "https://www.quillfen.de/bravel/download.html"};
}  // namespace keys

// Reading. Each reader passes the key's default unless one is given. The converting readers
// return false, and leave the target unchanged, when the stored text does not convert.
QString readText(const SettingKey& key);
QString readText(const SettingKey& key, const QString& defaultValue);
// Geometry, widths and intervals: the numeric prefix of the text ("12abc" is 12, "abc" is 0).
double readNumber(const SettingKey& key);
double readNumber(const SettingKey& key, const QString& defaultValue);
// Colours, view mode, sort key and order, check-box flags: a whole number, else fails.
bool readInteger(const SettingKey& key, qint64& value);
bool readInteger(const SettingKey& key, int& value);
// Flags that are on only when the text equals the number 1 ("1", " 1", "1.0"); a text that is
// not a number fails.
bool readFlagEq1(const SettingKey& key, bool& value);
// Boolean flags: "0" false, any other number true, "True"/"False" (any case) their value;
// anything else fails.
bool readBool(const SettingKey& key, bool& value);

// Writing; false when the store could not be written.
bool writeSetting(const SettingKey& key, const QString& value);
bool writeSetting(const SettingKey& key, qint64 value);
bool writeBoolText(const SettingKey& key, bool value);  // "True"/"False"
bool writeCheckBox(const SettingKey& key, bool value);  // "1"/"0"

// The conversions themselves, also used where a text does not come from the store.
double numericPrefix(const QString& text);
bool convertInteger(const QString& text, qint64& value);
bool convertBool(const QString& text, bool& value);

}  // namespace bravel
