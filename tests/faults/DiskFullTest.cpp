// A full disk under the backup folder (no inode left for a new folder) and under the catalog
// (its file system turns full in the middle of a run). Copying onto a full disk is covered by
// the backup run's own tests.
#include "FaultSupport.h"

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

TEST_F(DiskFullTest, TheCatalogTurnsFullDuringTheRunAndTheCopiesStillCount) {
    ScopedTmpfs place(path(QStringLiteral("katalog")), "size=2m");
    SKIP_UNLESS_MOUNTED(place);
    const QString backup = path(QStringLiteral("b"));
    std::vector<CatalogEntry> entries;
    QStringList sources;
    for (int i = 1; i <= 3; ++i) {
        sources << source(QStringLiteral("a%1.bin").arg(i), 10000, i);
        entries.push_back({sources.back(), backup});
    }
    openCatalog(entries, path(QStringLiteral("katalog/voll.bvk")));
    selectAll();
    // After the first file's record is written, the catalog's file system fills up.
    int started = 0;
    QString filler;
    observer.onFileStart = [&](int) {
        if (++started == 2) filler = place.fill();
    };
    run();
    ASSERT_EQ(started, 3);

    for (int i = 1; i <= 3; ++i) {
        const QString& src = sources[i - 1];
        SCOPED_TRACE(src.toStdString());
        // Every copy is there; a row whose record could not be written says so.
        EXPECT_EQ(readFile(backup + QStringLiteral("/a%1.bin").arg(i)), patterned(10000, i));
        if (i == 1) {
            EXPECT_TRUE(statusOf(src).startsWith(QStringLiteral("gesichert (")));
            EXPECT_EQ(model().cellColor(rowOf(src), col::kStatus), listcolor::kGreen);
        } else {
            EXPECT_EQ(statusOf(src), runtext::kRecordNotWritten);
            EXPECT_EQ(model().cellColor(rowOf(src), col::kStatus), listcolor::kRed);
        }
    }
    EXPECT_EQ(gSelCount, 0);
    // The records that could not be written are in the error log under the Start button.
    for (int i = 2; i <= 3; ++i) {
        const auto id = QString::number(storedRecords().at(static_cast<size_t>(i - 1)).id);
        bool found = false;
        for (const Recorded& r : recordedErrors())
            if (r.modul == QLatin1String("but_Start") &&
                r.event == QStringLiteral("rset_Record.Update ID = ") + id && r.number != 0)
                found = true;
        EXPECT_TRUE(found) << "ID " << id.toStdString() << ":\n"
                           << recordTexts().join(QLatin1Char('\n')).toStdString();
    }
    // The record that was written says so; the others keep what they said, and the catalog is
    // sound.
    QFile::remove(filler);
    EXPECT_TRUE(storedRecord(sources[0]).status.startsWith(QStringLiteral("gesichert (")));
    EXPECT_EQ(storedRecord(sources[0]).hostStatus, QStringLiteral("PC220250315;"));
    EXPECT_TRUE(storedRecord(sources[1]).status.isEmpty());
    EXPECT_TRUE(storedRecord(sources[2]).status.isEmpty());
    EXPECT_EQ(model().cell(rowOf(sources[1]), col::kHostStatus), QString())
        << "the list shows no host status that the catalog does not hold";
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
    EXPECT_TRUE(gIdle);
    controller->closeCatalog();
}

}  // namespace
}  // namespace bravel::test
