#include "backup/Restore.h"

#include <algorithm>

#include "backup/Copy.h"
#include "backup/Versions.h"
#include "errors/COLError.h"
#include "platform/Err.h"
#include "platform/FileDigest.h"
#include "platform/FileSystem.h"

namespace bravel::restore {
namespace {

const QString kModul = QStringLiteral("but_Restore");

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString folderOf(const QString& path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

// Records the pending reason (if any), then what the failure means for the person's files.
void recordFailure(const QString& description, const QString& trigger) {
    gRecordError(kModul, trigger);
    Err.Raise(errnum::kPathFileAccess, description);
    gRecordError(kModul, trigger);
}

bool sameContent(const QString& one, const QString& other) {
    qint64 oneSize = 0;
    qint64 otherSize = 0;
    if (!fs::length(one, oneSize) || !fs::length(other, otherSize) || oneSize != otherSize)
        return false;
    QByteArray oneDigest;
    QByteArray otherDigest;
    return fs::contentDigest(one, false, oneDigest) &&
           fs::contentDigest(other, false, otherDigest) && oneDigest == otherDigest;
}

// The chosen copy must still be the regular file that was listed.
bool chosenIsThere(const RestorePoint& chosen) {
    if (!fs::isSymLink(chosen.path) && fs::isRegularFile(chosen.path)) return true;
    Err.Raise(errnum::kFileNotFound,
              QStringLiteral("Die gewählte Sicherungskopie gibt es nicht mehr: ") + chosen.path);
    return false;
}

// What stands at the source path now may be replaced only when it is a regular file or nothing.
bool sourcePathReplaceable(const QString& source) {
    QString what;
    if (fs::isSymLink(source))
        what = QStringLiteral("eine Verknüpfung");
    else if (fs::isDirectory(source))
        what = QStringLiteral("ein Ordner");
    else if (fs::exists(source) && !fs::isRegularFile(source))
        what = QStringLiteral("keine gewöhnliche Datei");
    if (what.isEmpty()) return true;
    Err.Raise(errnum::kPathFileAccess, QStringLiteral("An der Stelle der Quelldatei steht jetzt ") +
                                           what + QStringLiteral("; sie wird nicht ersetzt: ") +
                                           source);
    return false;
}

// Keeps the current source as a version in backupFolder's version folder, stamped with its own
// modification time; a copy, since the source is about to be replaced.
bool keepSourceAsVersion(const QString& source, const QString& backupFolder, RunObserver& observer,
                         QString& versionPath) {
    QDateTime modified;
    if (!fs::modificationTime(source, modified)) return false;
    versionPath = versions::newVersionPath(backupFolder, fileNameOf(source), modified);
    if (versionPath.isEmpty()) return false;
    if (gCopy(source, versionPath, observer)) return true;
    versionPath.clear();
    return false;
}

}  // namespace

std::vector<RestorePoint> restorePoints(const QString& source, const QString& backupFolder) {
    const QString name = fileNameOf(source);
    std::vector<RestorePoint> points;
    const QString copy = backupFolder + QLatin1Char('/') + name;
    fs::FileState state;
    if (!fs::isSymLink(copy) && fs::isRegularFile(copy) && fs::fileState(copy, state))
        points.push_back({copy, state.modified, state.length, true});
    std::vector<versions::Version> kept = versions::listVersions(backupFolder, name);
    std::reverse(kept.begin(), kept.end());  // newest first, also among versions of one second
    for (const versions::Version& version : kept)
        points.push_back({version.path, version.stamp, version.size, false});
    std::stable_sort(
        points.begin(), points.end(),
        [](const RestorePoint& a, const RestorePoint& b) { return a.modified > b.modified; });
    Err.Clear();
    return points;
}

RestoreResult restoreToSource(const RestorePoint& chosen, const QString& source,
                              const QString& backupFolder, RunObserver& observer) {
    RestoreResult result;
    result.target = source;
    const QString trigger =
        QStringLiteral("Restore ") + chosen.path + QStringLiteral(" -> ") + source;
    Err.Clear();
    if (!chosenIsThere(chosen) || !sourcePathReplaceable(source)) {
        gRecordError(kModul, trigger);
        return result;
    }
    const bool sourceThere = fs::isRegularFile(source);
    if (sourceThere && sameContent(source, chosen.path)) {
        result.outcome = RestoreOutcome::Identical;
        Err.Clear();
        return result;
    }
    Err.Clear();
    if (!sourceThere && !fs::makePath(folderOf(source))) {
        gRecordError(kModul, trigger);
        return result;
    }
    if (sourceThere && !keepSourceAsVersion(source, backupFolder, observer, result.keptVersion)) {
        recordFailure(
            QStringLiteral("Die Quelldatei konnte nicht als ältere Version behalten werden; "
                           "sie bleibt unverändert: ") +
                source,
            trigger);
        return result;
    }
    if (!gCopy(chosen.path, source, observer)) {
        if (!result.keptVersion.isEmpty()) fs::removeFile(result.keptVersion);
        result.keptVersion.clear();
        recordFailure(
            QStringLiteral("Die Datei konnte nicht wiederhergestellt werden; die Quelldatei ist "
                           "unverändert: ") +
                source,
            trigger);
        return result;
    }
    result.outcome = RestoreOutcome::Restored;
    return result;
}

QString targetInFolder(const QString& folder, const QString& source) {
    return (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) +
           fileNameOf(source);
}

RestoreResult restoreToFolder(const RestorePoint& chosen, const QString& folder,
                              const QString& source, const QString& backupFolder,
                              RunObserver& observer) {
    const QString target = targetInFolder(folder, source);
    if (target == source || fs::isSameFile(target, source))
        return restoreToSource(chosen, source, backupFolder, observer);
    RestoreResult result;
    result.target = target;
    const QString trigger =
        QStringLiteral("Restore ") + chosen.path + QStringLiteral(" -> ") + target;
    Err.Clear();
    if (!chosenIsThere(chosen)) {
        gRecordError(kModul, trigger);
        return result;
    }
    if (fs::isRegularFile(target) && !fs::isSymLink(target) && sameContent(target, chosen.path)) {
        result.outcome = RestoreOutcome::Identical;
        Err.Clear();
        return result;
    }
    Err.Clear();
    if (!gCopy(chosen.path, target, observer)) {
        recordFailure(
            QStringLiteral(
                "Die Datei konnte nicht in den gewählten Ordner wiederhergestellt werden: ") +
                target,
            trigger);
        return result;
    }
    result.outcome = RestoreOutcome::Restored;
    return result;
}

}  // namespace bravel::restore
