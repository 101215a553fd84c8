// A source that goes away, or becomes a folder, after the run has looked at it.
#include <QCryptographicHash>

#include "FaultSupport.h"
#include "backup/Copy.h"

namespace bravel::test {
namespace {

class VanishingSourceTest : public FaultTest {};

TEST_F(VanishingSourceTest, DeletedOrReplacedByAFolderJustBeforeItsCopy) {
    const QString backup = path(QStringLiteral("b"));
    const QString gone = source(QStringLiteral("a1.bin"), 10000, 1);
    const QString folder = source(QStringLiteral("a2.bin"), 10000, 2);
    const QString kept = source(QStringLiteral("a3.bin"), 10000, 3);
    ASSERT_TRUE(writeFile(backup + QStringLiteral("/a1.bin"), "older one"));
    ASSERT_TRUE(writeFile(backup + QStringLiteral("/a2.bin"), "older two"));
    openCatalog({{gone, backup}, {folder, backup}, {kept, backup}});
    selectAll();
    observer.onFileStart = [&](int row) {
        const QString src = model().cell(row, col::kSource);
        if (src == gone) QFile::remove(gone);
        if (src == folder) {
            QFile::remove(folder);
            QDir().mkpath(folder + QStringLiteral("/inside"));
        }
    };
    run();

    for (const QString& src : {gone, folder}) {
        SCOPED_TRACE(src.toStdString());
        EXPECT_EQ(statusOf(src), runtext::kCopyFailed);
        EXPECT_TRUE(storedRecord(src).status.isEmpty());
    }
    EXPECT_EQ(readFile(backup + QStringLiteral("/a1.bin")), QByteArray("older one"));
    EXPECT_EQ(readFile(backup + QStringLiteral("/a2.bin")), QByteArray("older two"));
    EXPECT_EQ(readFile(backup + QStringLiteral("/a3.bin")), patterned(10000, 3));
    EXPECT_TRUE(statusOf(kept).startsWith(QStringLiteral("gesichert (")));
    EXPECT_TRUE(filesStartingWith(backup, copyTempPrefix()).isEmpty());
    EXPECT_TRUE(gIdle);
}

TEST_F(VanishingSourceTest, DeletedOrReplacedInTheMiddleOfItsCopy) {
    const QString backup = path(QStringLiteral("b"));
    const qint64 size = 2 * 1024 * 1024;
    const QString deleted = source(QStringLiteral("a1.bin"), size, 1);
    const QString replaced = source(QStringLiteral("a2.bin"), size, 2);
    const QByteArray deletedBytes = patterned(size, 1);
    const QByteArray replacedBytes = patterned(size, 2);
    ASSERT_TRUE(writeFile(backup + QStringLiteral("/a1.bin"), "older one"));
    ASSERT_TRUE(writeFile(backup + QStringLiteral("/a2.bin"), "older two"));
    openCatalog({{deleted, backup}, {replaced, backup}});
    selectAll();
    int chunks = 0;
    observer.onFileStart = [&](int) { chunks = 0; };
    observer.onChunk = [&](const CopyProgress&) {
        if (++chunks != 10) return;
        if (QFile::exists(deleted)) {
            QFile::remove(deleted);
        } else if (QFileInfo(replaced).isFile()) {
            QFile::remove(replaced);
            QDir().mkpath(replaced);
        }
    };
    run();

    // The open source is read to its end: either the whole file arrives or the older copy stays;
    // never a part of it, never a leftover.
    const QByteArray one = readFile(backup + QStringLiteral("/a1.bin"));
    const QByteArray two = readFile(backup + QStringLiteral("/a2.bin"));
    EXPECT_TRUE(one == deletedBytes || one == QByteArray("older one")) << one.size();
    EXPECT_TRUE(two == replacedBytes || two == QByteArray("older two")) << two.size();
    EXPECT_EQ(statusOf(deleted).startsWith(QStringLiteral("gesichert (")), one == deletedBytes);
    EXPECT_EQ(statusOf(replaced).startsWith(QStringLiteral("gesichert (")), two == replacedBytes);
    EXPECT_TRUE(filesStartingWith(backup, copyTempPrefix()).isEmpty());
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

}  // namespace
}  // namespace bravel::test
