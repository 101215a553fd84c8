#pragma once

#include <QString>

namespace bravel {

// The small helpers that the catalog, the backup run and the windows share.

extern QString gHostName;  // this computer's name, kept by the main window's load

// True when a file or folder exists at path. A missing path leaves one "b_gFileExists" record.
// A URL ("scheme://...") is no path: false, nothing recorded.
bool gFileExists(const QString& path);
// Creates the folder and every missing parent; true on success, else a "b_gCreatePath" record.
// The path is taken exactly as given and must start at "/".
bool gCreatePath(const QString& path);
QString gGetComputerName();
// Removes one trailing "/" from path; returns it, or "" when it still ends with "/".
QString gStripTrailingBackslash(QString& path);
// The folder of a file path without its leading "/": "/A/x.txt" gives "A", "/x.txt" "".
QString gRelativeFolder(const QString& path);
// The folder of a file path without the trailing "/": "/A/x.txt" gives "/A", "/x.txt" "".
// Lets pending events run once.
QString gFolderOfPath(const QString& path);
// The hourglass pointer; the calls do not nest: one gBusyOff ends any number of gBusyOn.
void gBusyOn();
void gBusyOff();
// Attribute letters in the order R, H, A, S.
QString mAttrLetters(int attributes);
// Attribute letters of the file at path ("" when missing; failures recorded as "ac_mGetAttr").
QString mGetAttr(const QString& path);

}  // namespace bravel
