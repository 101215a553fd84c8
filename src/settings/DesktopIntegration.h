#pragma once

#include <QString>
#include <QStringList>

namespace bravel {

class CatalogDatabase;

// The catalog file type and the file context entry, registered the freedesktop way for the
// current user: a shared-mime-info package, the desktop entry under $XDG_DATA_HOME/applications,
// the default application in $XDG_CONFIG_HOME/mimeapps.list, the icons in the user's hicolor
// theme, and the context entry in the file managers' own action menus (a KDE service menu, a
// Nautilus script, a Nemo action, a Thunar custom action). The context entry is never a desktop
// entry with a file type: that would make it a handler that can become the default for other files.
//
// The desktop entry, the file type and the icons have the names of the installed ones, so for this
// user they take the installed files' place instead of standing beside them.
namespace desktop {

// $XDG_DATA_HOME, or ~/.local/share when it is not set (or not absolute).
QString dataHome();
// $XDG_CONFIG_HOME, or ~/.config.
QString configHome();

// The program that the entries start: the folder of the running program and "/bravel".
QString programPath();

// "application/x-" and the type name in lower case: "Bravel" gives "application/x-bravel".
QString mimeTypeName(const QString& typeName);

// One argument of an Exec line as the freedesktop desktop entry format wants it: quoted when it
// holds a reserved character, with the string escapes of the file format applied on top.
QString quoteExecArgument(const QString& argument);
// One word for a POSIX shell.
QString quoteShellWord(const QString& word);

// The files each call writes, for the callers that want to look at them.
QString mimePackagePath();
QString openEntryPath();
QString serviceMenuPath();
QString nautilusScriptsFolder();
QString nemoActionPath();
// Thunar keeps every custom action of the user in this one file.
QString thunarActionsPath();
QString mimeAppsListPath();
// Where the user's copy of an icon goes: "apps" or "mimetypes" in the hicolor theme.
QString iconPath(const char* context, const char* iconName);
// The context entry that earlier versions wrote as a desktop entry for every file type; it is
// removed wherever it is found.
QString oldContextEntryPath();

// The file type: its description, the program that opens it with the file and "/open/", the
// type name and the extension without its dot. False when a file could not be written.
bool gSetFileAssociation(const QString& description, const QString& programPath,
                         const QString& typeName, const QString& extension);
// The context entry for every file, named by menuText, that starts the program with the files.
bool gSetContextMenu(const QString& menuText, const QString& programPath);
// Removes every file the two calls above wrote and the type's line in mimeapps.list when it
// still names our entry; every other file and line stays. False when something could not go.
bool gRemoveDesktopIntegration(const QString& typeName);

// Sets key=value in group of a freedesktop key file text, keeping every other line.
QString setKeyFileValue(const QString& text, const QString& group, const QString& key,
                        const QString& value);
// Thunar's list of custom actions with ours (marked by its unique id) replaced by action, or
// taken out when action is empty; the other actions stay as they are.
QString replaceThunarAction(const QString& list, const QString& action);

// Removes the line key=value from group, keeping every other line.
QString removeKeyFileValue(const QString& text, const QString& group, const QString& key,
                           const QString& value);

}  // namespace desktop

// The two buttons of the setup window; both show their success message whatever happened, and
// record a failed write in the error stack.
void but_SetExtension2Registry_Click();
void but_SetKontextMenu_Click(const QString& kontextText);
// The setup window's way back: removes what the two buttons above wrote.
void but_RemoveDesktopEntries_Click();

// The main window's set-autostart button: the open catalog becomes the autostart catalog
// (nothing happens without one).
void but_SetAutostart_Click(const CatalogDatabase* openCatalog);

}  // namespace bravel
