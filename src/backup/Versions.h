#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

namespace bravel::versions {

// Older copies kept instead of being replaced: they live in ".bravel-versions" inside the backup
// folder as "NAME YYYY-MM-DD HHMMSS.EXT", stamped with the older copy's modification time.

QString folderFor(const QString& backupFolder);
// "brief 2024-03-01 081500.txt" for "brief.txt"; a second version of the same second gets "-2"
// after the time, and so on. A name without extension (or a hidden one like ".profile") keeps
// the whole name before the stamp.
QString versionName(const QString& fileName, const QDateTime& modified, int collision = 1);

struct Version {
    QString path;
    QDateTime stamp;
    int collision = 1;
    qint64 size = 0;
};
// The kept versions of fileName in backupFolder, oldest first.
std::vector<Version> listVersions(const QString& backupFolder, const QString& fileName);

// A free path in backupFolder's version folder for a version of fileName stamped modified; the
// folder is made when missing. Empty, with the pending error set, when there can be none (the
// version folder's name is taken by a link or a file, or it cannot be made).
QString newVersionPath(const QString& backupFolder, const QString& fileName,
                       const QDateTime& modified);

// Keeps the copy at target as a version: a second name for it in the version folder (a hard link
// where the file system has them, else the file moves there). The caller then renames the new
// copy over target; with a hard link the older copy stays in place until that rename. False,
// with the pending error set, when the version could not be made: target is then untouched.
bool keepAsVersion(const QString& target, QString& versionPath);
// Takes keepAsVersion back after the new copy could not be renamed into place: a moved older copy
// returns to target, a second name is removed.
void undoKeep(const QString& target, const QString& versionPath);

// Removes the oldest versions of fileName beyond keep; how many were removed.
int pruneVersions(const QString& backupFolder, const QString& fileName, int keep);

}  // namespace bravel::versions
