// A backup folder on a removable drive that is not plugged in: nothing may land on the system disk
// below the empty mount point.
#include "FaultSupport.h"
#include "platform/Drives.h"

namespace bravel::test {
namespace {

class DisconnectedDriveTest : public FaultTest {
  protected:
    // A fresh folder below /mnt, where drives are mounted; empty with the reason when there can
    // be none here.
    std::string makeMountPoint() {
        if (!QFileInfo(QStringLiteral("/mnt")).isDir()) return "no /mnt on this machine";
        mountPoint = std::make_unique<QTemporaryDir>(QStringLiteral("/mnt/bravel-test-XXXXXX"));
        if (!mountPoint->isValid()) return "cannot make a folder below /mnt (needs root)";
        return {};
    }

    std::unique_ptr<QTemporaryDir> mountPoint;
};

#define SKIP_WITHOUT_MOUNT_POINT() \
    if (const std::string whyNot = makeMountPoint(); !whyNot.empty()) GTEST_SKIP() << whyNot

TEST_F(DisconnectedDriveTest, AnEmptyUnmountedMountPointIsSeenAsADisconnectedDrive) {
    SKIP_WITHOUT_MOUNT_POINT();
    const QString folder = mountPoint->path() + QStringLiteral("/Sicherung/Fotos");
    QString emptyMountPoint;
    {
        ScopedTmpfs drive(mountPoint->path(), "size=1m");
        SKIP_UNLESS_MOUNTED(drive);
        EXPECT_FALSE(drives::isOnDisconnectedDrive(folder, emptyMountPoint));
        ASSERT_TRUE(QDir().mkpath(mountPoint->path() + QStringLiteral("/Sicherung")));
        // An empty new folder on the mounted drive is a folder like any other.
        EXPECT_FALSE(drives::isOnDisconnectedDrive(folder, emptyMountPoint));
    }
    EXPECT_TRUE(drives::isOnDisconnectedDrive(folder, emptyMountPoint));
    EXPECT_EQ(emptyMountPoint, mountPoint->path());
    // Files left on the system disk below the mount point make it an ordinary folder.
    ASSERT_TRUE(writeFile(mountPoint->path() + QStringLiteral("/liegt-hier"), "x"));
    EXPECT_FALSE(drives::isOnDisconnectedDrive(folder, emptyMountPoint));
    // Folders elsewhere are never a drive.
    EXPECT_FALSE(
        drives::isOnDisconnectedDrive(path(QStringLiteral("nirgends/da")), emptyMountPoint));
}

TEST_F(DisconnectedDriveTest, ARunMakesNoFolderBelowTheEmptyMountPointAndGoesOn) {
    SKIP_WITHOUT_MOUNT_POINT();
    const QString onDrive = mountPoint->path() + QStringLiteral("/Sicherung");
    const QString one = source(QStringLiteral("a.txt"));
    const QString two = source(QStringLiteral("b.txt"));
    {
        // The drive is plugged in while the catalog is made and once more for a first backup.
        ScopedTmpfs drive(mountPoint->path(), "size=1m");
        SKIP_UNLESS_MOUNTED(drive);
        openCatalog({{one, onDrive}, {two, path(QStringLiteral("daheim"))}});
        selectAll();
        run();
        EXPECT_EQ(readFile(onDrive + QStringLiteral("/a.txt")), patterned(10000, 1));
    }
    gErrorStack.Clear();
    selectAll();
    run();

    EXPECT_EQ(statusOf(one), runtext::kDriveMissing);
    EXPECT_EQ(model().cellColor(rowOf(one), col::kStatus), listcolor::kRed);
    EXPECT_TRUE(
        QDir(mountPoint->path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(hasRecord(QStringLiteral("but_Start"), QStringLiteral("gCreatePath ") + onDrive,
                          errnum::kDiskNotReady))
        << recordTexts().join(QLatin1Char('\n')).toStdString();
    bool named = false;
    for (int i = 1; i <= gErrorStack.Count(); ++i)
        named |= gErrorStack.Item(i)->ErrDescr().contains(mountPoint->path());
    EXPECT_TRUE(named);
    // The older record stays, and the other entry is backed up.
    EXPECT_TRUE(storedRecord(one).status.startsWith(QStringLiteral("gesichert (")));
    EXPECT_EQ(readFile(path(QStringLiteral("daheim/b.txt"))), patterned(10000, 1));
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

TEST_F(DisconnectedDriveTest, ADriveUnpluggedDuringTheRunIsSeenAtTheNextEntryOfItsFolder) {
    SKIP_WITHOUT_MOUNT_POINT();
    const QString onDrive = mountPoint->path() + QStringLiteral("/Sicherung");
    const QString one = source(QStringLiteral("a.txt"));
    const QString two = source(QStringLiteral("b.txt"));
    auto drive = std::make_unique<ScopedTmpfs>(mountPoint->path(), "size=1m");
    SKIP_UNLESS_MOUNTED(*drive);
    openCatalog({{one, onDrive}, {two, onDrive}});
    selectAll();
    // The drive is pulled while the first file is copied onto it.
    observer.onFileStart = [&](int row) {
        if (row == rowOf(one)) drive.reset();
    };
    run();

    EXPECT_EQ(statusOf(two), runtext::kDriveMissing);
    EXPECT_TRUE(
        QDir(mountPoint->path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        << "nothing was made on the system disk below the mount point";
    EXPECT_TRUE(storedRecord(two).status.isEmpty());
}

TEST(FstabTest, MountPointsAreReadWithTheirEscapes) {
    const QString fstab = QStringLiteral(
        "# <file system> <mount point> <type>\n"
        "UUID=1 / ext4 defaults 0 1\n"
        "UUID=2   /srv/Meine\\040Platte  ext4 noauto,user 0 2\n"
        "\n"
        "UUID=3 none swap sw 0 0\n"
        "/dev/sdb1 /backup/ ext4 noauto 0 0\n");
    EXPECT_EQ(drives::fstabMountPoints(fstab),
              (QStringList{QStringLiteral("/srv/Meine Platte"), QStringLiteral("/backup")}));
    EXPECT_EQ(drives::mountRootOf(QStringLiteral("/backup"), drives::fstabMountPoints(fstab)),
              QStringLiteral("/backup"));
    EXPECT_EQ(drives::mountRootOf(QStringLiteral("/media/ich/USB"), {}), QStringLiteral("/media"));
    EXPECT_EQ(drives::mountRootOf(QStringLiteral("/mediathek"), {}), QString());
}

}  // namespace
}  // namespace bravel::test
