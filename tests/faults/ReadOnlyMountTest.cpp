// A backup folder on a file system that was remounted read-only.
#include "FaultSupport.h"
#include "backup/Copy.h"

namespace bravel::test {
namespace {

class ReadOnlyMountTest : public FaultTest {};

TEST_F(ReadOnlyMountTest, NothingIsWrittenAndTheOlderCopyStays) {
    ScopedTmpfs mount(path(QStringLiteral("ro")), "size=4m");
    SKIP_UNLESS_MOUNTED(mount);
    const QByteArray older = patterned(3000, 9);
    ASSERT_TRUE(writeFile(path(QStringLiteral("ro/a1.bin")), older));
    if (!mount.remount(true))
        GTEST_SKIP() << "remounting read-only refused: " << std::strerror(errno);

    const QString one = source(QStringLiteral("a1.bin"));
    const QString two = source(QStringLiteral("a2.bin"));
    const QString three = source(QStringLiteral("a3.bin"));
    openCatalog({{one, path(QStringLiteral("ro"))},
                 {two, path(QStringLiteral("ro/neu"))},
                 {three, path(QStringLiteral("b"))}});
    selectAll();
    run();

    // The existing folder: the copy fails, the older copy and the record stay as they were.
    EXPECT_EQ(statusOf(one), runtext::kCopyFailed);
    EXPECT_EQ(model().cellColor(rowOf(one), col::kStatus), listcolor::kRed);
    EXPECT_EQ(readFile(path(QStringLiteral("ro/a1.bin"))), older);
    EXPECT_TRUE(filesStartingWith(path(QStringLiteral("ro")), copyTempPrefix()).isEmpty());
    EXPECT_TRUE(storedRecord(one).status.isEmpty());
    bool copyRecorded = false;
    for (const Recorded& r : recordedErrors())
        copyRecorded |= r.modul == QLatin1String("v_gCopy") && r.number != 0;
    EXPECT_TRUE(copyRecorded) << recordTexts().join(QLatin1Char('\n')).toStdString();
    // A folder to create there: the path fails.
    EXPECT_EQ(statusOf(two), runtext::kPathFailed);
    EXPECT_TRUE(hasRecord(QStringLiteral("b_gCreatePath"),
                          QStringLiteral("b_gCreatePath = CBool(MakeSureDirectoryPathExists(") +
                              path(QStringLiteral("ro/neu/")) + QStringLiteral("))")));
    // Elsewhere the run goes on.
    EXPECT_EQ(readFile(path(QStringLiteral("b/a3.bin"))), patterned(10000, 1));
    EXPECT_TRUE(storedRecord(three).status.startsWith(QStringLiteral("gesichert (")));
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

}  // namespace
}  // namespace bravel::test
