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
// Symbolic links to folders are walked like folders; a link to a folder on the way down to it
// (same device and inode) is a loop and ends there. A name that is no text (bytes that are not
// UTF-8) is not taken: one "v_gGetFiles" record names its folder and its readable form.
void gGetFiles(const QString& folder, const QString& pattern, QStringList& list);

// The folder the user picks in the folder browser, or "" when cancelled.
QString gBrowseForFolder(const QString& title, const QString& root = QString());

}  // namespace bravel
