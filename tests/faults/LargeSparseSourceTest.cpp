// A 5 GiB source (sparse, with written regions at its start, middle and end): the size in the
// list, the progress and the copy itself. The copy really writes 5 GiB, so it needs a real disk.
#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStorageInfo>

#include "FaultSupport.h"
#include "platform/Formats.h"

namespace bravel::test {
namespace {

constexpr qint64 kSize = 5LL * 1024 * 1024 * 1024;
constexpr qint64 kNeeded = 12LL * 1024 * 1024 * 1024;

bool writeAt(int fd, qint64 offset, const QByteArray& bytes) {
    return ::pwrite(fd, bytes.constData(), static_cast<size_t>(bytes.size()), offset) ==
           bytes.size();
}

class LargeSparseSourceTest : public FaultTest {};

TEST_F(LargeSparseSourceTest, FiveGibibytes) {
    // Beside the test program: a build folder is on a real disk, /tmp may be a tmpfs.
    QTemporaryDir big(QCoreApplication::applicationDirPath() + QStringLiteral("/big-XXXXXX"));
    ASSERT_TRUE(big.isValid());
    const QStorageInfo storage(big.path());
    if (storage.fileSystemType() == "tmpfs")
        GTEST_SKIP() << "the build folder is on a tmpfs; 5 GiB would go to memory";
    if (storage.bytesAvailable() < kNeeded)
        GTEST_SKIP() << "needs 12 GiB free beside the test program, has "
                     << storage.bytesAvailable() / (1024 * 1024) << " MiB";

    const QString src = big.path() + QStringLiteral("/gross.bin");
    {
        const int fd =
            ::open(QFile::encodeName(src).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, kSize), 0);
        ASSERT_TRUE(writeAt(fd, 0, patterned(100000, 1)));
        ASSERT_TRUE(writeAt(fd, kSize / 2 - 7, patterned(100000, 2)));  // across the 2.5 GiB mark
        ASSERT_TRUE(writeAt(fd, 0x100000000LL - 3, patterned(10, 3)));  // across 4 GiB
        ASSERT_TRUE(writeAt(fd, kSize - 4099, patterned(4099, 4)));     // the last bytes
        ::close(fd);
    }
    const QString backup = big.path() + QStringLiteral("/b");
    openCatalog({{src, backup}});

    // The size shown: KByte with thousands points, right-aligned to 20 characters.
    EXPECT_EQ(model().cell(0, col::kSize).trimmed(), QStringLiteral("5.242.880"));
    EXPECT_EQ(model().cell(0, col::kSize).size(), 20);
    selectAll();
    controller->mUpdateSelectionSummary();
    EXPECT_TRUE(view.summary.contains(QStringLiteral("5.368.709.120 Byte")))
        << view.summary.toStdString();

    // The progress: every chunk moves on, the totals are the whole file, the end is 100 %.
    qint64 lastPosition = 0, chunks = 0, bytes = 0;
    bool forward = true, totalRight = true;
    int lastFileValue = -1, lastOverall = -1;
    observer.onChunk = [&](const CopyProgress& p) {
        forward &= p.position > lastPosition;
        totalRight &= p.total == kSize;
        lastPosition = p.position;
        bytes += p.chunkBytes;
        ++chunks;
        lastFileValue = p.fileValue();
        lastOverall = p.overallValue();
    };
    QElapsedTimer clock;
    clock.start();
    run();
    observer.chunks.clear();
    observer.chunks.shrink_to_fit();
    const qint64 copyMs = clock.elapsed();

    EXPECT_TRUE(forward);
    EXPECT_TRUE(totalRight);
    EXPECT_EQ(bytes, kSize);
    EXPECT_EQ(lastPosition, kSize + 1);
    EXPECT_EQ(lastFileValue, 100);
    EXPECT_EQ(lastOverall, 100);
    EXPECT_GE(chunks, kSize / 4096);
    EXPECT_LE(chunks, kSize / 4096 + 1);
    EXPECT_TRUE(model().cell(0, col::kStatus).startsWith(QStringLiteral("gesichert (")));
    EXPECT_EQ(storedRecord(src).size, kSize);

    // The copy: byte for byte.
    const QString target = backup + QStringLiteral("/gross.bin");
    EXPECT_EQ(QFileInfo(target).size(), kSize);
    clock.restart();
    QProcess cmp;
    cmp.start(QStringLiteral("cmp"), {QStringLiteral("-s"), src, target});
    ASSERT_TRUE(cmp.waitForStarted(10000)) << "cmp is missing";
    ASSERT_TRUE(cmp.waitForFinished(900000));
    EXPECT_EQ(cmp.exitCode(), 0) << "the copy differs from the source";
    std::printf("[ measured ] 5 GiB copy: %lld ms (%.0f MiB/s), comparison %lld ms\n",
                static_cast<long long>(copyMs), kSize / 1048576.0 / (copyMs / 1000.0),
                static_cast<long long>(clock.elapsed()));
    controller->closeCatalog();
}

}  // namespace
}  // namespace bravel::test
