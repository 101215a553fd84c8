// The copy engine with real files: chunks, progress texts, pause, and the older copy surviving
// every kind of failure.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include "BackupTestSupport.h"
#include "RecordingRunObserver.h"
#include "TestSupport.h"
#include "app/AppValues.h"
#include "backup/Copy.h"
#include "backup/Progress.h"
#include "backup/RunState.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"

namespace bravel::test {
namespace {

class CopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAll();
        ASSERT_TRUE(dir.isValid());
        backup = dir.path() + QStringLiteral("/backup");
        QDir().mkpath(backup);
        gSelCount = 1;
        gSelTotal = 1e9;
    }

    QString makeSource(const QString& name, qint64 size, int seed = 1) {
        const QString path = dir.path() + QStringLiteral("/src/") + name;
        EXPECT_TRUE(writeFile(path, patterned(size, seed)));
        return path;
    }

    std::vector<qint64> chunkSizes() const {
        std::vector<qint64> sizes;
        for (const CopyProgress& p : observer.chunks) sizes.push_back(p.chunkBytes);
        return sizes;
    }

    QStringList tempFiles() const { return filesStartingWith(backup, copyTempPrefix()); }

    QTemporaryDir dir;
    QString backup;
    RecordingRunObserver observer;
};

TEST_F(CopyTest, ChunksFollowTheSourceLength) {
    struct Case {
        qint64 size;
        std::vector<qint64> chunks;
    };
    for (const Case& c : {Case{0, {}}, Case{4096, {4096}}, Case{4097, {4096, 1}},
                          Case{10000, {4096, 4096, 1808}}}) {
        SCOPED_TRACE(c.size);
        observer.chunks.clear();
        const QString source = makeSource(QStringLiteral("f%1.bin").arg(c.size), c.size);
        const QString target = backup + QStringLiteral("/f%1.bin").arg(c.size);
        ASSERT_TRUE(gCopy(source, target, observer));
        EXPECT_EQ(chunkSizes(), c.chunks);
        EXPECT_EQ(readFile(target), patterned(c.size));
        EXPECT_TRUE(QFileInfo(target).isFile());
        if (c.size > 0) {
            EXPECT_EQ(observer.chunks.back().position, c.size + 1);
            EXPECT_FLOAT_EQ(observer.chunks.back().filePercent, 100.0f);
        }
    }
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join('\n').toStdString();
    EXPECT_TRUE(tempFiles().isEmpty());
}

TEST_F(CopyTest, ProgressTextsOfTheMainAndTheStatusWindow) {
    gShowStatus = true;
    gSelCount = 3;
    const QString source = makeSource(QStringLiteral("a.bin"), 10000);
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/a.bin"), observer));
    ASSERT_EQ(observer.statusWindowLines.size(), 3);
    EXPECT_EQ(observer.statusWindowLines[0],
              QStringLiteral("4 KB von 10 KB kopiert: (40,97%)  (Rest: 3 Dateien)"));
    EXPECT_EQ(observer.statusWindowLines[2],
              QStringLiteral("10 KB von 10 KB kopiert: (100,00%)  (Rest: 3 Dateien)"));
    EXPECT_EQ(observer.statusWindowValue, 100);
    EXPECT_EQ(observer.fileText, QStringLiteral("100%"));

    // One file left: " Datei"; two: " Dateien".
    gSelCount = 1;
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/b.bin"), observer));
    EXPECT_TRUE(observer.statusWindowLines.last().endsWith(QStringLiteral("(Rest: 1 Datei)")));
    gSelCount = 2;
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/c.bin"), observer));
    EXPECT_TRUE(observer.statusWindowLines.last().endsWith(QStringLiteral("(Rest: 2 Dateien)")));

    // Without the status window the main window's bars still move.
    gShowStatus = false;
    const int lines = observer.statusWindowLines.size();
    observer.chunks.clear();
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/d.bin"), observer));
    EXPECT_EQ(observer.statusWindowLines.size(), lines);
    EXPECT_EQ(observer.chunks.size(), 3u);
}

TEST_F(CopyTest, OverallProgressStartsAtTheBaseAndStopsAt100) {
    const QString source = makeSource(QStringLiteral("a.bin"), 8192);
    gSelTotal = 16384;
    observer.overallValue = 30;
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/a.bin"), observer));
    // 8193 of 16384 bytes: a share of 50.006 on top of 30.
    EXPECT_NEAR(observer.chunks.back().overall, 80.006, 0.01);
    EXPECT_EQ(observer.overallValue, 80);
    EXPECT_EQ(observer.overallText, QStringLiteral("80%"));

    // A file that grew since the selection was summed: the bar stops at 100, the label does not.
    gSelTotal = 1000;
    observer.overallValue = 50;
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/b.bin"), observer));
    EXPECT_EQ(observer.overallValue, 100);
    EXPECT_GT(observer.chunks.back().overall, 100.0);

    // Only empty files summed: 100%, no division by zero.
    gSelTotal = 0;
    observer.overallValue = 0;
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/c.bin"), observer));
    EXPECT_EQ(observer.overallValue, 100);
    EXPECT_EQ(observer.overallText, QStringLiteral("100%"));
}

TEST_F(CopyTest, KeepsModificationTimeAndGivesANewFileItsUsualMode) {
    const QString source = makeSource(QStringLiteral("a.bin"), 5000);
    QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    ASSERT_TRUE(fs::setModificationTime(source, old));
    ASSERT_TRUE(fs::setPermissions(source, 0440));
    const QString target = backup + QStringLiteral("/a.bin");
    ASSERT_TRUE(gCopy(source, target, observer));
    QDateTime copied;
    ASSERT_TRUE(fs::modificationTime(target, copied));
    EXPECT_EQ(copied, old);
    unsigned mode = 0;
    ASSERT_TRUE(fs::permissions(target, mode));
    EXPECT_TRUE(mode & 0200) << "the copy is writable; the source's bits come only on request";
}

TEST_F(CopyTest, PauseWaitsBetweenChunksAndShowsTheMarker) {
    const QString source = makeSource(QStringLiteral("a.bin"), 4 * 4096);
    size_t chunksWhenReleased = 0;
    QString captionWhileWaiting;
    observer.onChunk = [&](const CopyProgress&) {
        if (observer.chunks.size() != 1) return;
        gPause = true;
        QTimer::singleShot(60, [&] {
            chunksWhenReleased = observer.chunks.size();
            captionWhileWaiting = observer.caption;
            gPause = false;
        });
    };
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/a.bin"), observer));
    EXPECT_GE(clock.elapsed(), 50);
    EXPECT_EQ(chunksWhenReleased, 1u) << "nothing is read while paused";
    EXPECT_EQ(captionWhileWaiting, pauseMarker());
    EXPECT_EQ(observer.caption, QString()) << "the marker goes with the next chunk";
    EXPECT_EQ(observer.chunks.size(), 4u);
    EXPECT_EQ(readFile(backup + QStringLiteral("/a.bin")), patterned(4 * 4096));
}

TEST_F(CopyTest, PauseDuringTheLastChunkLetsTheFileComplete) {
    const QString source = makeSource(QStringLiteral("a.bin"), 4096);
    observer.onChunk = [&](const CopyProgress&) { gPause = true; };
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/a.bin"), observer));
    EXPECT_TRUE(gPause);
    EXPECT_TRUE(observer.captions.isEmpty());
    gPause = false;
}

TEST_F(CopyTest, AReadOnlyOlderCopyIsReplaced) {
    const QString target = backup + QStringLiteral("/a.bin");
    ASSERT_TRUE(writeFile(target, QByteArray("older copy, longer than the new one")));
    ASSERT_TRUE(fs::setAttributes(target, attr::kReadOnly));
    const QString source = makeSource(QStringLiteral("a.bin"), 7);
    ASSERT_TRUE(gCopy(source, target, observer));
    EXPECT_EQ(readFile(target), patterned(7)) << "nothing of the older file remains";
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join('\n').toStdString();
    EXPECT_TRUE(tempFiles().isEmpty());
}

// A copy that fails leaves the older copy byte for byte (and mode) as it was.
class FailedCopyTest : public CopyTest {
protected:
    void SetUp() override {
        CopyTest::SetUp();
        target = backup + QStringLiteral("/a.bin");
        ASSERT_TRUE(writeFile(target, older));
        ASSERT_TRUE(fs::setPermissions(target, 0444));
    }
    void expectOlderCopyKept() {
        EXPECT_EQ(readFile(target), older);
        unsigned mode = 0;
        ASSERT_TRUE(fs::permissions(target, mode));
        EXPECT_EQ(mode, 0444u);
        EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(' ').toStdString();
    }
    void expectOlderCopyKeptButLeftover() {
        EXPECT_EQ(readFile(target), older);
        EXPECT_EQ(tempFiles().size(), 1) << "the killed run's temporary file";
    }
    QString target;
    QByteArray older = patterned(12345, 7);
};

TEST_F(FailedCopyTest, SourceReplacedByAFolder) {
    const QString source = dir.path() + QStringLiteral("/src/a.bin");
    QDir().mkpath(source);
    EXPECT_FALSE(gCopy(source, target, observer));
    expectOlderCopyKept();
    EXPECT_TRUE(hasRecord(QStringLiteral("v_gCopy"),
                          QStringLiteral("Open(") + source +
                              QStringLiteral(") For Binary Access Read As fn1")))
        << recordTexts().join('\n').toStdString();
    EXPECT_TRUE(observer.chunks.empty());
}

TEST_F(FailedCopyTest, MissingSource) {
    const QString source = dir.path() + QStringLiteral("/src/gone.bin");
    EXPECT_FALSE(gCopy(source, target, observer));
    expectOlderCopyKept();
    EXPECT_TRUE(hasRecord(QStringLiteral("v_gCopy"),
                          QStringLiteral("Open(") + source +
                              QStringLiteral(") For Binary Access Read As fn1"),
                          53));
}

TEST_F(FailedCopyTest, AFifoFailsWithoutBlocking) {
    const QString source = dir.path() + QStringLiteral("/fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(source).constData(), 0644), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(gCopy(source, target, observer));
    EXPECT_LT(clock.elapsed(), 5000);
    expectOlderCopyKept();
}

TEST_F(FailedCopyTest, TargetIsAFolder) {
    const QString source = makeSource(QStringLiteral("b.bin"), 100);
    const QString folderTarget = backup + QStringLiteral("/b.bin");
    QDir().mkpath(folderTarget + QStringLiteral("/inside"));
    EXPECT_FALSE(gCopy(source, folderTarget, observer));
    EXPECT_TRUE(hasRecord(QStringLiteral("but_Start"), QStringLiteral("Kill ") + folderTarget))
        << recordTexts().join('\n').toStdString();
    EXPECT_TRUE(QFileInfo(folderTarget + QStringLiteral("/inside")).isDir());
    expectOlderCopyKept();
}

TEST_F(FailedCopyTest, FullDisk) {
    if (!runningAsRoot()) GTEST_SKIP() << "mounting a small tmpfs needs root";
    const QString small = dir.path() + QStringLiteral("/small");
    QDir().mkpath(small);
    if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mount not permitted here: " << std::strerror(errno);
    const QString smallTarget = small + QStringLiteral("/a.bin");
    ASSERT_TRUE(writeFile(smallTarget, older));
    const QString source = makeSource(QStringLiteral("big.bin"), 2 * 1024 * 1024);
    EXPECT_FALSE(gCopy(source, smallTarget, observer));
    EXPECT_EQ(readFile(smallTarget), older);
    EXPECT_TRUE(filesStartingWith(small, copyTempPrefix()).isEmpty());
    EXPECT_TRUE(hasRecord(QStringLiteral("v_gCopy"), QStringLiteral("After Loop"), 61))
        << recordTexts().join('\n').toStdString();
    // Enough room again: the next copy succeeds.
    const QString fits = makeSource(QStringLiteral("fits.bin"), 100000);
    EXPECT_TRUE(gCopy(fits, smallTarget, observer));
    EXPECT_EQ(readFile(smallTarget), patterned(100000));
    ::umount2(QFile::encodeName(small).constData(), MNT_DETACH);
}

// The child half of the next test: runs as an unprivileged user.
TEST(CopyChild, UnreadableSource) {
    const QByteArray folder = qgetenv("BRAVEL_CHILD_UNREADABLE");
    if (folder.isEmpty()) GTEST_SKIP() << "runs only as the child of UnreadableSource";
    const QString base = QString::fromLocal8Bit(folder);
    RecordingRunObserver observer;
    const bool copied = gCopy(base + QStringLiteral("/secret.bin"),
                              base + QStringLiteral("/backup/secret.bin"), observer);
    EXPECT_FALSE(copied);
    EXPECT_TRUE(hasRecord(QStringLiteral("v_gCopy"),
                          QStringLiteral("Open(") + base +
                              QStringLiteral("/secret.bin) For Binary Access Read As fn1"),
                          70))
        << recordTexts().join('\n').toStdString();
}

TEST_F(FailedCopyTest, UnreadableSource) {
    if (!runningAsRoot()) {
        // Without root the test itself is the unprivileged user.
        const QString source = makeSource(QStringLiteral("secret.bin"), 100);
        ASSERT_TRUE(fs::setPermissions(source, 0));
        EXPECT_FALSE(gCopy(source, target, observer));
        expectOlderCopyKept();
        return;
    }
    // Root reads everything: the copy runs in a child process as nobody.
    ASSERT_TRUE(fs::setPermissions(dir.path(), 0755));
    const QString source = dir.path() + QStringLiteral("/secret.bin");
    ASSERT_TRUE(writeFile(source, patterned(100)));
    ASSERT_TRUE(fs::setPermissions(source, 0600));
    ASSERT_TRUE(fs::setPermissions(backup, 0777));
    std::unique_ptr<QProcess> child(startChildTest(
        QStringLiteral("CopyChild.UnreadableSource"),
        {QStringLiteral("BRAVEL_CHILD_UNREADABLE=") + dir.path()},
        {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
         QStringLiteral("--clear-groups")}));
    if (!child->waitForStarted(10000)) GTEST_SKIP() << "setpriv could not be started";
    ASSERT_TRUE(child->waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child->readAll());
    if (child->exitCode() != 0 && output.contains(QLatin1String("setpriv:")))
        GTEST_SKIP() << "setpriv refused: " << output.toStdString();
    EXPECT_EQ(child->exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
    expectOlderCopyKept();
}

// The child half of KilledInTheMiddle: copies a large file and is killed while it waits.
TEST(CopyChild, LargeCopyPausedHalfway) {
    const QByteArray folder = qgetenv("BRAVEL_CHILD_KILLED");
    if (folder.isEmpty()) GTEST_SKIP() << "runs only as the child of KilledInTheMiddle";
    const QString base = QString::fromLocal8Bit(folder);
    RecordingRunObserver observer;
    gSelTotal = 1e9;
    observer.onChunk = [&](const CopyProgress& p) {
        if (p.position > p.total / 2 && !gPause) {
            gPause = true;
            std::printf("HALFWAY\n");
            std::fflush(stdout);
        }
    };
    gCopy(base + QStringLiteral("/big.bin"), base + QStringLiteral("/backup/a.bin"), observer);
    ADD_FAILURE() << "the parent should have killed this process";
}

TEST_F(FailedCopyTest, KilledInTheMiddleLeavesTheOlderCopyAndTheLeftoverGoesLater) {
    ASSERT_TRUE(writeFile(dir.path() + QStringLiteral("/big.bin"), patterned(8 * 1024 * 1024)));
    std::unique_ptr<QProcess> child(
        startChildTest(QStringLiteral("CopyChild.LargeCopyPausedHalfway"),
                       {QStringLiteral("BRAVEL_CHILD_KILLED=") + dir.path()}));
    ASSERT_TRUE(child->waitForStarted(10000));
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    while (!output.contains("HALFWAY") && clock.elapsed() < 60000) {
        child->waitForReadyRead(1000);
        output += child->readAll();
    }
    ASSERT_TRUE(output.contains("HALFWAY")) << output.toStdString();
    ::kill(static_cast<pid_t>(child->processId()), SIGKILL);
    ASSERT_TRUE(child->waitForFinished(10000));

    expectOlderCopyKeptButLeftover();
    EXPECT_EQ(removeLeftoverTemps(backup), 1);
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_EQ(readFile(target), older);
}

TEST_F(CopyTest, LeftoversOfGoneProcessesAreRemovedOthersStay) {
    const QString gone = backup + QStringLiteral("/.bravel-tmp-4194999-0123456789abcdef");
    const QString alive = backup + QStringLiteral("/.bravel-tmp-1-0123456789abcdef");
    const QString lookalike = backup + QStringLiteral("/.bravel-tmp-12-short");
    const QString ours = backup + QStringLiteral("/.bravel-tmp-%1-00000000000000ff").arg(::getpid());
    for (const QString& path : {gone, alive, lookalike, ours}) ASSERT_TRUE(writeFile(path, "x"));
    Err.Raise(61);
    EXPECT_EQ(removeLeftoverTemps(backup), 2);
    EXPECT_EQ(Err.Number, 61) << "tidying up leaves the pending error alone";
    Err.Clear();
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_FALSE(QFile::exists(ours));
    EXPECT_TRUE(QFile::exists(alive));
    EXPECT_TRUE(QFile::exists(lookalike));
    qint64 pid = 0;
    EXPECT_TRUE(isCopyTempName(QStringLiteral(".bravel-tmp-77-0123456789abcdef"), &pid));
    EXPECT_EQ(pid, 77);
    EXPECT_FALSE(isCopyTempName(QStringLiteral("bravel-tmp-77-0123456789abcdef")));
}

}  // namespace
}  // namespace bravel::test
