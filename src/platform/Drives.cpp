#include "platform/Drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/FileSystem.h"

namespace bravel::drives {
namespace {

const char* const kMountRoots[] = {"/media", "/run/media", "/mnt"};

bool isAtOrBelow(const QString& folder, const QString& root) {
    return folder == root || folder.startsWith(root + QLatin1Char('/'));
}

QString decodeFstabField(const QString& field) {
    QString decoded;
    for (int i = 0; i < field.size(); ++i) {
        bool octal = false;
        if (field[i] == QLatin1Char('\\') && i + 3 < field.size()) {
            const int value = field.mid(i + 1, 3).toInt(&octal, 8);
            if (octal) {
                decoded += QChar(value);
                i += 3;
                continue;
            }
        }
        decoded += field[i];
    }
    return decoded;
}

QString absoluteClean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString nearestExistingFolder(const QString& path) {
    QString folder = absoluteClean(path);
    while (!QFileInfo(folder).isDir() && folder != QLatin1String("/"))
        folder = QFileInfo(folder).path();
    return folder;
}

bool isEmptyFolder(const QString& folder) {
    return QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                QDir::NoDotAndDotDot);
}

QString readFstab() {
    QFile file(QStringLiteral("/etc/fstab"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Whether path is at or below one of the places drives are mounted at. mountRootOf finds a drive
// only for a folder at or below them, and the folder it is asked about is path or a parent.
bool mightBeOnADrive(const QString& path, const QStringList& fstabMountPoints) {
    for (const char* root : kMountRoots)
        if (isAtOrBelow(path, QString::fromLatin1(root))) return true;
    for (const QString& point : fstabMountPoints)
        if (isAtOrBelow(path, point)) return true;
    return false;
}

}  // namespace

QString mountRootOf(const QString& folder, const QStringList& fstabMountPoints) {
    for (const char* root : kMountRoots) {
        if (isAtOrBelow(folder, QString::fromLatin1(root))) return QString::fromLatin1(root);
    }
    return fstabMountPoints.contains(folder) ? folder : QString();
}

QStringList fstabMountPoints(const QString& fstabText) {
    QStringList points;
    for (const QString& line : fstabText.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) continue;
        const QStringList fields = trimmed.split(QRegularExpression(QStringLiteral("\\s+")));
        if (fields.size() < 2 || !fields[1].startsWith(QLatin1Char('/'))) continue;
        const QString point = QDir::cleanPath(decodeFstabField(fields[1]));
        if (point != QLatin1String("/")) points << point;
    }
    return points;
}

QStringList currentFstabMountPoints() {
    return fstabMountPoints(readFstab());
}

bool isOnDisconnectedDrive(const QString& path, QString& emptyMountPoint) {
    return isOnDisconnectedDrive(path, emptyMountPoint, currentFstabMountPoints());
}

bool isOnDisconnectedDrive(const QString& path, QString& emptyMountPoint,
                           const QStringList& fstabMountPoints) {
    // Only a folder at or below a drive's mount point can lie on a drive; the path tells that
    // without a look at the disk, which a run would otherwise take for every file.
    if (!mightBeOnADrive(absoluteClean(path), fstabMountPoints)) return false;
    const QString folder = nearestExistingFolder(path);
    const QString root = mountRootOf(folder, fstabMountPoints);
    if (folder == QLatin1String("/") || root.isEmpty() || !isEmptyFolder(folder)) return false;
    // An empty folder on a mounted drive (a new backup folder on it) is fine.
    for (QString up = folder; isAtOrBelow(up, root); up = QFileInfo(up).path()) {
        if (fs::isMountPoint(up)) return false;
    }
    emptyMountPoint = folder;
    return true;
}

}  // namespace bravel::drives
