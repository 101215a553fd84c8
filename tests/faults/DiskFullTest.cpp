// A full disk under the backup folder (no inode left for a new folder) and under the catalog
// (its file system turns full in the middle of a run, while records wait in an open
// transaction or after they were committed). Copying onto a full disk is covered by
// the backup run's own tests.
#include <chrono>
#include <thread>

#include "FaultSupport.h"
#include "backup/Copy.h"

namespace bravel::test {
namespace {

class DiskFullTest : public FaultTest {};

TEST_F(DiskFullTest, CreatingABackupFolderFailsAndTheRunGoesOn) {
    // Four inodes: the root folder and three files; no new folder fits.
    ScopedTmpfs small(path(QStringLiteral("small")), "size=1m,nr_inodes=4");
    SKIP_UNLESS_MOUNTED(small);
    for (int i = 0; writeFile(path(QStringLiteral("small/f%1").arg(i)), "x") && i < 10; ++i) {
    }
    ASSERT_FALSE(QDir().mkdir(path(QStringLiteral("small/probe"))))
        << "the tmpfs still takes folders";

    const QString one = source(QStringLiteral("a1.bin"));
    const QString two = source(QStringLiteral("a2.bin"));
    const QString elsewhere = path(QStringLiteral("b"));
    openCatalog({{one, path(QStringLiteral("small/neu/unter"))}, {two, elsewhere}});
    selectAll();
    run();

    EXPECT_EQ(statusOf(one), runtext::kPathFailed);
    EXPECT_TRUE(hasRecord(QStringLiteral("b_gCreatePath"),
                          QStringLiteral("b_gCreatePath = CBool(MakeSureDirectoryPathExists(") +
                              path(QStringLiteral("small/neu/unter/")) + QStringLiteral("))"),
                          61))
        << recordTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(storedRecord(one).status.isEmpty()) << "a folder that failed writes no record";
    // The next entry is backed up as usual.
    EXPECT_EQ(readFile(elsewhere + QStringLiteral("/a2.bin")), patterned(10000, 1));
    EXPECT_TRUE(statusOf(two).startsWith(QStringLiteral("gesichert (")));
    EXPECT_TRUE(storedRecord(two).status.startsWith(QStringLiteral("gesichert (")));
    EXPECT_TRUE(gIdle);
}

class CatalogFullTest : public DiskFullTest {
  protected:
    void SetUp() override {
        DiskFullTest::SetUp();
        const QString backup = path(QStringLiteral("b"));
        std::vector<CatalogEntry> entries;
        for (int i = 1; i <= 3; ++i) {
            sources << source(QStringLiteral("a%1.bin").arg(i), 10000, i);
            entries.push_back({sources.back(), backup});
        }
        place = std::make_unique<ScopedTmpfs>(path(QStringLiteral("katalog")), "size=2m");
        if (place->mounted()) openCatalog(entries, path(QStringLiteral("katalog/voll.bvk")));
    }

    // Runs all entries; the catalog's file system turns full as file fullAt starts. Before file
    // waitAt starts, the run waits long enough for window events to run again.
    void runFillingUp(int fullAt, int waitAt = 0) {
        selectAll();
        int started = 0;
        observer.onFileStart = [&](int) {
            ++started;
            if (started == waitAt)
                std::this_thread::sleep_for(std::chrono::milliseconds(kEventIntervalMs + 5));
            if (started == fullAt) filler = place->fill();
        };
        run();
        ASSERT_EQ(started, 3);
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(readFile(path(QStringLiteral("b/a%1.bin").arg(i))), patterned(10000, i))
                << "every copy is there";
        EXPECT_EQ(gSelCount, 0);
        EXPECT_TRUE(gIdle);
    }

    // A row whose record could not be written says so, in red, shows no host status the catalog
    // lacks, and the error log has it under the Start button.
    void expectRecordNotWritten(int i) {
        const QString& src = sources[i - 1];
        SCOPED_TRACE(src.toStdString());
        EXPECT_EQ(statusOf(src), runtext::kRecordNotWritten);
        EXPECT_EQ(model().cellColor(rowOf(src), col::kStatus), listcolor::kRed);
        EXPECT_EQ(model().cell(rowOf(src), col::kHostStatus), QString());
        const auto id = QString::number(storedRecords().at(static_cast<size_t>(i - 1)).id);
        bool found = false;
        for (const Recorded& r : recordedErrors())
            if (r.modul == QLatin1String("but_Start") &&
                r.event == QStringLiteral("rset_Record.Update ID = ") + id && r.number != 0)
                found = true;
        EXPECT_TRUE(found) << recordTexts().join(QLatin1Char('\n')).toStdString();
    }

    // Afterwards, with room again: the records say what the rows say, and the catalog is sound.
    void expectStoredRecords(int written) {
        QFile::remove(filler);
        for (int i = 1; i <= 3; ++i) {
            SCOPED_TRACE(sources[i - 1].toStdString());
            const StoredRecord stored = storedRecord(sources[i - 1]);
            if (i <= written) {
                EXPECT_TRUE(stored.status.startsWith(QStringLiteral("gesichert (")));
                EXPECT_EQ(stored.hostStatus, QStringLiteral("PC220250315;"));
                EXPECT_EQ(model().cell(rowOf(sources[i - 1]), col::kHostStatus), stored.hostStatus);
            } else {
                EXPECT_TRUE(stored.status.isEmpty());
                EXPECT_TRUE(stored.hostStatus.isEmpty());
            }
        }
        EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
        controller->closeCatalog();
    }

    QStringList sources;
    std::unique_ptr<ScopedTmpfs> place;
    QString filler;
};

TEST_F(CatalogFullTest, RecordsCommittedBeforeTheDiskFilledStay) {
    SKIP_UNLESS_MOUNTED(*place);
    // The first record is committed when events run before the second file; the second is
    // still open when the catalog's file system turns full.
    runFillingUp(3, 2);
    EXPECT_TRUE(statusOf(sources[0]).startsWith(QStringLiteral("gesichert (")));
    EXPECT_EQ(model().cellColor(rowOf(sources[0]), col::kStatus), listcolor::kGreen);
    expectRecordNotWritten(2);
    expectRecordNotWritten(3);
    expectStoredRecords(1);
}

TEST_F(CatalogFullTest, AFailedCommitWritesItsRecordsAgainOneByOne) {
    SKIP_UNLESS_MOUNTED(*place);
    // The first record is written, but not yet committed, when the disk turns full: the failed
    // commit takes it back, and written on its own it does not fit either.
    runFillingUp(2);
    for (int i = 1; i <= 3; ++i) expectRecordNotWritten(i);
    expectStoredRecords(0);
}

}  // namespace
}  // namespace bravel::test
