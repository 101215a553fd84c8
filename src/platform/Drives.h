#pragma once

#include <QString>
#include <QStringList>

namespace bravel::drives {

// Where removable drives and other occasional file systems are mounted: /media, /run/media and
// /mnt with every folder below them, and the mount points that /etc/fstab names. The place that
// holds folder (one of those roots, or the fstab mount point itself), or empty.
QString mountRootOf(const QString& folder, const QStringList& fstabMountPoints);
// The mount points of an fstab text (second field, octal escapes such as \040 decoded).
QStringList fstabMountPoints(const QString& fstabText);

// True when path lies on a drive that is not connected: its nearest existing folder (path itself
// included) is an empty folder in a mount place, and no file system is mounted on it or on a
// folder between it and that place. A folder made there would land
// on the system disk instead of the drive. emptyMountPoint is that folder.
bool isOnDisconnectedDrive(const QString& path, QString& emptyMountPoint);
// The same with the mount points of /etc/fstab read beforehand (a run asks for every file).
bool isOnDisconnectedDrive(const QString& path, QString& emptyMountPoint,
                           const QStringList& fstabMountPoints);
// The mount points that /etc/fstab names now.
QStringList currentFstabMountPoints();

}  // namespace bravel::drives
