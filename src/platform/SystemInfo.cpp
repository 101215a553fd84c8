#include "platform/SystemInfo.h"

#include <unistd.h>

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>

namespace bravel {

QString computerName() {
    return QSysInfo::machineHostName();
}

InstanceLock::InstanceLock() = default;
InstanceLock::~InstanceLock() = default;

QString InstanceLock::lockFilePath() {
    QString folder = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::tempPath();
    return folder + QStringLiteral("/bravel-%1.lock").arg(::getuid());
}

bool InstanceLock::acquire() {
    lock_ = std::make_unique<QLockFile>(lockFilePath());
    // A running holder never goes stale by age; a lock left by a process that died is taken over
    // (QLockFile checks whether its process still lives).
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

}  // namespace bravel
