#pragma once

// The fault suite: the real catalog controller, the real backup run and real files, with the
// faults made for real (small tmpfs mounts, read-only remounts, a second process, huge files).
// Only dialogs, the clock and the system actions are scripted.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "Fixtures.h"
#include "backup/BackupRun.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/CatalogState.h"
#include "platform/CatalogDatabase.h"
#include "platform/Clock.h"
#include "platform/Err.h"

namespace bravel::test {

// A tmpfs mounted on a folder for the life of the object. mounted() is false, with the reason in
// whyNot, when this machine does not allow it (not root, no mount permission in a container).
class ScopedTmpfs {
  public:
    ScopedTmpfs(const QString& folder, const QByteArray& options) : folder_(folder) {
        QDir().mkpath(folder);
        if (!runningAsRoot()) {
            whyNot_ = "mounting a tmpfs needs root";
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                    options.constData()) != 0) {
            whyNot_ = std::string("mount not permitted here: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~ScopedTmpfs() {
        if (mounted_) ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& whyNot() const { return whyNot_; }
    // Turns the mount read-only (or writable again); false when the kernel refused.
    bool remount(bool readOnly) {
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return ::mount("tmpfs", QFile::encodeName(folder_).constData(), "tmpfs", flags, nullptr) ==
               0;
    }
    // Fills every free block with one file; returns its path.
    QString fill() const {
        const QString filler = folder_ + QStringLiteral("/.filler");
        QFile file(filler);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return filler;
        const QByteArray block(64 * 1024, 'f');
        while (file.write(block) == block.size()) {
        }
        QByteArray one(1, 'f');
        while (file.write(one) == 1) {
        }
        file.close();
        return filler;
    }

  private:
    QString folder_;
    bool mounted_ = false;
    std::string whyNot_;
};

#define SKIP_UNLESS_MOUNTED(mount) \
    if (!(mount).mounted()) GTEST_SKIP() << (mount).whyNot()

// The fault tests run the real controller over a real catalog, as the backup tests do.
using FaultTest = CatalogRunTest;

}  // namespace bravel::test
