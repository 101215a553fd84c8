#pragma once

#include <QString>
#include <QStringList>

namespace bravel {

// True asks a running walk to stop. The scanner window clears it when it loads, when the user
// starts choosing a folder and at the end of every scan; its cancel button sets it.
extern bool gCancelScan;

// Collects the full path of every file below folder, depth first in the file system's order:
// the folder with one trailing "/" and the name. pattern "*" takes every file, any other
// pattern the files whose upper-cased name ends with it (".TXT"). Lets pending events run once
// per folder; stops when gCancelScan is set. A folder that cannot be listed adds nothing.
// Symbolic links to folders are walked like folders, but no folder (same device and inode) is
// walked twice in one call, so a link to a folder above it ends there.
void gGetFiles(const QString& folder, const QString& pattern, QStringList& list);

// The folder the user picks in the folder browser, or "" when cancelled.
QString gBrowseForFolder(const QString& title, const QString& root = QString());

}  // namespace bravel
