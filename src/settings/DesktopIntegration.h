#pragma once

#include <QString>
#include <QStringList>

namespace bravel {

// The catalog file type and the file context entry, registered the freedesktop way for the
// current user: a shared-mime-info package, desktop entries under $XDG_DATA_HOME/applications,
// the default application in $XDG_CONFIG_HOME/mimeapps.list, a KDE service menu and a Nautilus
// script.
namespace desktop {

// $XDG_DATA_HOME, or ~/.local/share when it is not set (or not absolute).
QString dataHome();
// $XDG_CONFIG_HOME, or ~/.config.
QString configHome();

// The program that the entries start: the folder of the running program and "/bravel".
QString programPath();

// "application/x-" and the type name in lower case: "Bravel" gives "application/x-bravel".
QString mimeTypeName(const QString& typeName);

// One argument of an Exec line as the freedesktop desktop entry format wants it: quoted when it holds
// a reserved character, with the string escapes of the file format applied on top.
QString quoteExecArgument(const QString& argument);
// One word for a POSIX shell.
QString quoteShellWord(const QString& word);

// The files each call writes, for the callers that want to look at them.
QString mimePackagePath();
QString openEntryPath();
QString contextEntryPath();
QString serviceMenuPath();
QString nautilusScriptsFolder();
QString mimeAppsListPath();

// The file type: its description, the program that opens it with the file and "/open/", the
// type name and the extension without its dot. False when a file could not be written.
bool gSetFileAssociation(const QString& description, const QString& programPath, const QString& typeName,
                         const QString& extension);
// The context entry for every file, named by menuText, that starts the program with the files.
bool gSetContextMenu(const QString& menuText, const QString& programPath);

// Sets key=value in group of a freedesktop key file text, keeping every other line.
QString setKeyFileValue(const QString& text, const QString& group, const QString& key, const QString& value);

}  // namespace desktop

// The two buttons of the setup window; both show their success message whatever happened, and
// record a failed write in the error stack.
void but_SetExtension2Registry_Click();
void but_SetKontextMenu_Click(const QString& kontextText);

// The main window's set-autostart button: the open catalog becomes the autostart catalog.
void but_SetAutostart_Click();

}  // namespace bravel
