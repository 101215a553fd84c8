#include "backup/Versions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "platform/Err.h"
#include "platform/FileSystem.h"

namespace bravel::versions {
namespace {

const QString kStampFormat = QStringLiteral("yyyy-MM-dd HHmmss");

// A name may hold 255 bytes; the stamp takes " yyyy-MM-dd HHmmss" and at most "-999".
constexpr int kNameBytes = 255;
constexpr int kStampBytes = 22;
constexpr int kLongestExtension = 64;

// The name split where the stamp goes: "brief" and ".txt"; "README" and ""; ".profile" and "".
// A long name's base is shortened so that the version's name still fits the file system.
std::pair<QString, QString> splitName(const QString& fileName) {
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    QString base = fileName;
    QString extension;
    if (dot > 0 && fileName.size() - dot <= kLongestExtension) {
        base = fileName.left(dot);
        extension = fileName.mid(dot);
    }
    const int room =
        kNameBytes - kStampBytes - static_cast<int>(QFile::encodeName(extension).size());
    while (!base.isEmpty() && QFile::encodeName(base).size() > room) base.chop(1);
    return {base, extension};
}

// The version folder of backupFolder when it is a real folder (or not there yet): never one
// reached through a link, never a file of that name.
bool versionFolderUsable(const QString& backupFolder) {
    const QString folder = folderFor(backupFolder);
    if (!fs::isSymLink(folder) && (fs::isDirectory(folder) || !fs::exists(folder))) return true;
    Err.Raise(errnum::kPathFileAccess,
              QStringLiteral("Der Ordner für ältere Versionen ist kein Ordner: ") + folder);
    return false;
}

QString joinPath(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}

}  // namespace

QString folderFor(const QString& backupFolder) {
    return joinPath(backupFolder, QStringLiteral(".bravel-versions"));
}

QString versionName(const QString& fileName, const QDateTime& modified, int collision) {
    const auto [base, extension] = splitName(fileName);
    QString stamp = modified.toString(kStampFormat);
    if (collision > 1) stamp += QLatin1Char('-') + QString::number(collision);
    return base + QLatin1Char(' ') + stamp + extension;
}

std::vector<Version> listVersions(const QString& backupFolder, const QString& fileName) {
    const auto [base, extension] = splitName(fileName);
    const QRegularExpression pattern(QLatin1Char('^') + QRegularExpression::escape(base) +
                                     QStringLiteral(" (\\d{4}-\\d\\d-\\d\\d \\d{6})(?:-(\\d+))?") +
                                     QRegularExpression::escape(extension) + QLatin1Char('$'));
    std::vector<Version> found;
    if (!versionFolderUsable(backupFolder)) {
        Err.Clear();
        return found;
    }
    fs::listDirectory(folderFor(backupFolder), [&](const fs::DirEntry& entry) {
        const QRegularExpressionMatch match = pattern.match(entry.name);
        if (!match.hasMatch() || entry.isDirectory || entry.isLink) return true;
        Version version;
        version.path = joinPath(folderFor(backupFolder), entry.name);
        version.stamp = QDateTime::fromString(match.captured(1), kStampFormat);
        version.collision = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
        fs::length(version.path, version.size);
        if (version.stamp.isValid()) found.push_back(version);
        return true;
    });
    Err.Clear();  // no version folder yet is no failure
    std::sort(found.begin(), found.end(), [](const Version& a, const Version& b) {
        return a.stamp != b.stamp ? a.stamp < b.stamp : a.collision < b.collision;
    });
    return found;
}

QString newVersionPath(const QString& backupFolder, const QString& fileName,
                       const QDateTime& modified) {
    if (!versionFolderUsable(backupFolder) || !fs::makePath(folderFor(backupFolder))) return {};
    for (int collision = 1;; ++collision) {
        const QString path =
            joinPath(folderFor(backupFolder), versionName(fileName, modified, collision));
        if (!fs::exists(path) && !fs::isSymLink(path)) return path;
    }
}

bool keepAsVersion(const QString& target, QString& versionPath) {
    const QFileInfo info(target);
    QDateTime modified;
    if (!fs::modificationTime(target, modified)) return false;
    versionPath = newVersionPath(info.path(), info.fileName(), modified);
    if (versionPath.isEmpty()) return false;
    // A second name first: the older copy never leaves its place before the new one is there.
    if (fs::hardLink(target, versionPath)) return true;
    Err.Clear();
    return fs::renameReplacing(target, versionPath);
}

void undoKeep(const QString& target, const QString& versionPath) {
    if (fs::exists(target) || fs::isSymLink(target))
        fs::removeFile(versionPath);
    else
        fs::renameReplacing(versionPath, target);
}

int pruneVersions(const QString& backupFolder, const QString& fileName, int keep) {
    const std::vector<Version> kept = listVersions(backupFolder, fileName);
    int removed = 0;
    for (size_t i = 0; i + static_cast<size_t>(std::max(keep, 0)) < kept.size(); ++i) {
        if (fs::removeFile(kept[i].path)) ++removed;
    }
    return removed;
}

}  // namespace bravel::versions
