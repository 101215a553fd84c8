#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace bravel {

class Recordset;

// The source paths handed from the entry editor, the scanner or the command line to
// mSaveEntries; none means the user cancelled.
extern std::optional<QStringList> gSelectedFiles;
// Mirror each source's folder below the backup folder.
extern bool gUseOrigPath;

// Splits a file-dialog result at NUL characters. namesOnly false: one piece is a full path;
// several pieces are a folder followed by names. A name that is a symbolic link, or that stands
// for a name that is no text (bytes that are not UTF-8), is not taken (a
// "col_gSplitMultiselectFiles" record). namesOnly true: every piece but the empty last one is
// a full path, taken unchanged.
QStringList gSplitMultiselectFiles(const QString& text, bool namesOnly);

enum class SaveMode { AddNew, Edit };

// Writes gSelectedFiles into the catalog below targetFolder, creating missing folders first;
// with Edit the record to change is the current record of rset. Empties gSelectedFiles.
void mSaveEntries(Recordset* rset, SaveMode mode, const QString& targetFolder);

}  // namespace bravel
