// The copy engine with real files: chunks, progress texts, pause, and the older copy surviving
// every kind of failure.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>

#include "BackupTestSupport.h"
#include "RecordingRunObserver.h"
#include "TestSupport.h"
#include "backup/Copy.h"
#include "backup/Progress.h"
#include "base/AppValues.h"
#include "base/RunState.h"
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
    EXPECT_EQ(mode, 0440u) << "a copy is never wider than its source";
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
    EXPECT_TRUE(hasRecord(
        QStringLiteral("v_gCopy"),
        QStringLiteral("Open(") + source + QStringLiteral(") For Binary Access Read As fn1")))
        << recordTexts().join('\n').toStdString();
    EXPECT_TRUE(observer.chunks.empty());
}

TEST_F(FailedCopyTest, MissingSource) {
    const QString source = dir.path() + QStringLiteral("/src/gone.bin");
    EXPECT_FALSE(gCopy(source, target, observer));
    expectOlderCopyKept();
    EXPECT_TRUE(hasRecord(
        QStringLiteral("v_gCopy"),
        QStringLiteral("Open(") + source + QStringLiteral(") For Binary Access Read As fn1"), 53));
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
    const ChildRun child =
        runChildTestAsNobody(QStringLiteral("CopyChild.UnreadableSource"),
                             {QStringLiteral("BRAVEL_CHILD_UNREADABLE=") + dir.path()}, 60000);
    if (!child.whyNot.empty()) GTEST_SKIP() << child.whyNot;
    expectChildPassed(child);
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

TEST_F(CopyTest, LeftoversNobodyWritesAreRemovedOthersStay) {
    const QString gone = backup + QStringLiteral("/.bravel-tmp-4194999-0123456789abcdef");
    const QString alive = backup + QStringLiteral("/.bravel-tmp-1-0123456789abcdef");
    const QString aliveNew = backup + QStringLiteral("/.bravel-tmp-00000000000000aa");
    const QString goneNew = backup + QStringLiteral("/.bravel-tmp-00000000000000bb");
    const QString lookalike = backup + QStringLiteral("/.bravel-tmp-12-short");
    const QString ours =
        backup + QStringLiteral("/.bravel-tmp-%1-00000000000000ff").arg(::getpid());
    for (const QString& path : {gone, alive, aliveNew, goneNew, lookalike, ours})
        ASSERT_TRUE(writeFile(path, "x"));
    // A writer holds its lock on the file for the whole copy, whatever process id its name has.
    std::vector<int> writers;
    for (const QString& path : {alive, aliveNew}) {
        writers.push_back(::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC));
        ASSERT_EQ(::flock(writers.back(), LOCK_EX | LOCK_NB), 0);
    }
    Err.Raise(61);
    EXPECT_EQ(removeLeftoverTemps(backup), 3);
    EXPECT_EQ(Err.Number, 61) << "tidying up leaves the pending error alone";
    Err.Clear();
    for (int fd : writers) ::close(fd);
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_FALSE(QFile::exists(goneNew));
    EXPECT_FALSE(QFile::exists(ours));
    EXPECT_TRUE(QFile::exists(alive));
    EXPECT_TRUE(QFile::exists(aliveNew));
    EXPECT_TRUE(QFile::exists(lookalike));
    EXPECT_TRUE(isCopyTempName(QStringLiteral(".bravel-tmp-77-0123456789abcdef")));
    EXPECT_TRUE(isCopyTempName(QStringLiteral(".bravel-tmp-0123456789abcdef")));
    EXPECT_FALSE(isCopyTempName(QStringLiteral("bravel-tmp-77-0123456789abcdef")));
}

// The child half of the next test: a second copy of the program in a process namespace of its
// own tidies the backup folder up.
TEST(CopyChild, TidiesUpTheFolder) {
    const QByteArray folder = qgetenv("BRAVEL_CHILD_TIDY");
    if (folder.isEmpty()) GTEST_SKIP() << "runs only as the child of ACleanupInAnotherPidNamespace";
    std::printf("PID %d REMOVED %d\n", static_cast<int>(::getpid()),
                removeLeftoverTemps(QString::fromLocal8Bit(folder)));
}

TEST_F(CopyTest, ACleanupInAnotherPidNamespaceLeavesARunningCopysTempFile) {
    if (!runningAsRoot()) GTEST_SKIP() << "unshare -p needs root";
    const QString source = makeSource(QStringLiteral("a.bin"), 8 * 4096);
    const QString target = backup + QStringLiteral("/a.bin");
    QString childOutput;
    QStringList tempsWhileChildRan;
    bool started = true;
    observer.onChunk = [&](const CopyProgress& p) {
        if (p.position != 4097) return;
        gPause = true;
        QTimer::singleShot(0, [&] {
            std::unique_ptr<QProcess> child(startChildTest(
                QStringLiteral("CopyChild.TidiesUpTheFolder"),
                {QStringLiteral("BRAVEL_CHILD_TIDY=") + backup},
                {QStringLiteral("unshare"), QStringLiteral("-p"), QStringLiteral("-f")}));
            started = child->waitForStarted(10000) && child->waitForFinished(60000);
            childOutput = QString::fromLocal8Bit(child->readAll());
            tempsWhileChildRan = tempFiles();
            gPause = false;
        });
    };
    const bool copied = gCopy(source, target, observer);
    if (!started || childOutput.contains(QLatin1String("unshare:")))
        GTEST_SKIP() << "unshare -p -f is not possible here: " << childOutput.toStdString();
    EXPECT_TRUE(childOutput.contains(QLatin1String("REMOVED 0"))) << childOutput.toStdString();
    EXPECT_FALSE(childOutput.contains(QStringLiteral("PID %1 ").arg(::getpid())))
        << "a namespace of its own";
    EXPECT_EQ(tempsWhileChildRan.size(), 1);
    EXPECT_TRUE(copied);
    EXPECT_EQ(readFile(target), patterned(8 * 4096));
    EXPECT_TRUE(tempFiles().isEmpty());
}

// ---- the target is never the source, never a link, never wider than the source -------------

struct stat statOf(const QString& path, bool followLinks = true) {
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    EXPECT_EQ(followLinks ? ::stat(native.constData(), &st) : ::lstat(native.constData(), &st), 0)
        << path.toStdString();
    return st;
}

bool hasRecordContaining(const QString& modul, const QString& description) {
    for (int i = 1; i <= gErrorStack.Count(); ++i) {
        const auto item = gErrorStack.Item(i);
        if (item->ErrModul() == modul && item->ErrDescr().contains(description)) return true;
    }
    return false;
}

TEST_F(CopyTest, RefusesATargetThatIsTheSourceItselfOrItsHardLink) {
    const QString source = makeSource(QStringLiteral("privat.bin"), 5000);
    ASSERT_TRUE(fs::setPermissions(source, 0600));
    const struct stat before = statOf(source);

    // The backup folder is the source's own folder.
    EXPECT_FALSE(gCopy(source, source, observer));
    // A hard link of the source in the backup folder.
    const QString link = backup + QStringLiteral("/privat.bin");
    ASSERT_EQ(::link(QFile::encodeName(source).constData(), QFile::encodeName(link).constData()),
              0);
    EXPECT_FALSE(gCopy(source, link, observer));

    const struct stat after = statOf(source);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the source is still the same file";
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(statOf(link).st_ino, before.st_ino);
    EXPECT_EQ(readFile(source), patterned(5000));
    EXPECT_TRUE(hasRecordContaining(QStringLiteral("v_gCopy"), QStringLiteral("Quelldatei selbst")))
        << recordTexts().join('\n').toStdString();
    EXPECT_TRUE(filesStartingWith(dir.path() + QStringLiteral("/src"), copyTempPrefix()).isEmpty());
    EXPECT_TRUE(tempFiles().isEmpty());
}

TEST_F(CopyTest, NeverChangesAFileThroughALinkAtTheTarget) {
    const QString outside = dir.path() + QStringLiteral("/outside.txt");
    ASSERT_TRUE(writeFile(outside, "fremd"));
    ASSERT_TRUE(fs::setPermissions(outside, 0444));
    const QString hardOutside = dir.path() + QStringLiteral("/outside2.txt");
    ASSERT_TRUE(writeFile(hardOutside, "fremd2"));
    ASSERT_TRUE(fs::setPermissions(hardOutside, 0444));

    const QString symTarget = backup + QStringLiteral("/sym.bin");
    ASSERT_TRUE(QFile::link(outside, symTarget));
    const QString hardTarget = backup + QStringLiteral("/hard.bin");
    ASSERT_EQ(::link(QFile::encodeName(hardOutside).constData(),
                     QFile::encodeName(hardTarget).constData()),
              0);

    const QString source = makeSource(QStringLiteral("sym.bin"), 3000);
    ASSERT_TRUE(gCopy(source, symTarget, observer));
    ASSERT_TRUE(gCopy(source, hardTarget, observer));

    for (const QString& file : {outside, hardOutside}) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(statOf(file).st_mode & 07777, 0444u)
            << "the link's target keeps its read-only mark";
    }
    EXPECT_EQ(readFile(outside), "fremd");
    EXPECT_EQ(readFile(hardOutside), "fremd2");
    for (const QString& copy : {symTarget, hardTarget}) {
        SCOPED_TRACE(copy.toStdString());
        EXPECT_TRUE(S_ISREG(statOf(copy, false).st_mode))
            << "the directory entry itself was replaced";
        EXPECT_EQ(readFile(copy), patterned(3000));
    }
    EXPECT_EQ(statOf(hardOutside).st_nlink, 1u);
}

// Sets the process umask for one scope.
class UmaskScope {
  public:
    explicit UmaskScope(mode_t mask) : saved_(::umask(mask)) {}
    ~UmaskScope() { ::umask(saved_); }

  private:
    mode_t saved_;
};

TEST_F(CopyTest, ACopyIsNeverWiderThanItsSourceAndPrivateWhileWritten) {
    struct Case {
        unsigned source;
        mode_t umask;
        bool attributes;
        unsigned expected;
    };
    const std::vector<Case> cases = {
        {0600, 022, false, 0600}, {0644, 022, false, 0644}, {0755, 022, false, 0755},
        {0664, 027, false, 0640}, {0640, 077, true, 0640},  {0444, 022, true, 0444},
        {0600, 0, true, 0600},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(i);
        const UmaskScope mask(c.umask);
        gCopyAttributes = c.attributes;
        const QString source = makeSource(QStringLiteral("m%1.bin").arg(i), 3 * 4096);
        ASSERT_TRUE(fs::setPermissions(source, c.source));
        const QString target = backup + QStringLiteral("/m%1.bin").arg(i);
        std::vector<unsigned> tempModes;
        observer.onChunk = [&](const CopyProgress&) {
            for (const QString& temp : tempFiles())
                tempModes.push_back(statOf(backup + '/' + temp).st_mode & 07777);
        };
        ASSERT_TRUE(gCopy(source, target, observer));
        EXPECT_EQ(statOf(target).st_mode & 07777, c.expected);
        ASSERT_FALSE(tempModes.empty());
        for (unsigned mode : tempModes) EXPECT_EQ(mode, 0600u) << "the temporary file is private";
        ++i;
    }
    gCopyAttributes = false;
}

// The child half of the next test: another user tries to read a backup copy.
TEST(CopyChild, ReadsTheCopy) {
    const QByteArray copy = qgetenv("BRAVEL_CHILD_READ");
    if (copy.isEmpty()) GTEST_SKIP() << "runs only as the child of AnotherUserCannotReadTheCopy";
    QFile file(QString::fromLocal8Bit(copy));
    std::printf(file.open(QIODevice::ReadOnly) ? "READABLE\n" : "DENIED\n");
}

TEST_F(CopyTest, AnotherUserCannotReadTheCopyOfAPrivateFile) {
    if (!runningAsRoot()) GTEST_SKIP() << "another user needs root (setpriv)";
    ASSERT_TRUE(fs::setPermissions(dir.path(), 0755));
    const QString source = makeSource(QStringLiteral("privat.bin"), 100);
    ASSERT_TRUE(fs::setPermissions(source, 0600));
    const QString target = backup + QStringLiteral("/privat.bin");
    ASSERT_TRUE(gCopy(source, target, observer));

    // The test program where the other user can reach it (the build folder may not be).
    const QString program = copyForOtherUsers(QCoreApplication::applicationFilePath());
    ASSERT_FALSE(program.isEmpty());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("BRAVEL_CHILD_READ"), target);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                 QStringLiteral("--clear-groups"), program,
                 QStringLiteral("--gtest_filter=CopyChild.ReadsTheCopy")});
    if (!child.waitForStarted(10000)) GTEST_SKIP() << "setpriv could not be started";
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (otherUserCouldNotStart(child.exitCode(), output))
        GTEST_SKIP() << "the test program cannot run as another user here: "
                     << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("DENIED"))) << output.toStdString();
}

TEST_F(CopyTest, ASourceThatChangesDuringTheCopyFailsAndTheOlderCopyStays) {
    const QString target = backup + QStringLiteral("/a.bin");
    const QByteArray older = patterned(777, 9);
    struct Case {
        const char* name;
        std::function<void(const QString&)> change;
    };
    const std::vector<Case> cases = {
        {"grows",
         [](const QString& src) {
             QFile file(src);
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write(patterned(5000, 3));
         }},
        {"changes in place",
         [](const QString& src) {
             QFile file(src);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.write("XXXX");
         }},
        {"shrinks", [](const QString& src) { ASSERT_TRUE(QFile::resize(src, 5000)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gErrorStack.Clear();
        ASSERT_TRUE(writeFile(target, older));
        const QString source = makeSource(QStringLiteral("a.bin"), 6 * 4096);
        // An old date: a change a few milliseconds after the file was written still shows.
        ASSERT_TRUE(fs::setModificationTime(source, QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6))));
        observer.onChunk = [&](const CopyProgress& p) {
            if (p.position == 4097) c.change(source);
        };
        EXPECT_FALSE(gCopy(source, target, observer));
        EXPECT_EQ(readFile(target), older);
        EXPECT_TRUE(tempFiles().isEmpty());
        EXPECT_TRUE(
            hasRecordContaining(QStringLiteral("v_gCopy"), QStringLiteral("während des Kopierens")))
            << recordTexts().join('\n').toStdString();
    }
}

TEST_F(CopyTest, KeepsTheHolesOfASparseSource) {
    constexpr qint64 kSize = 64LL * 1024 * 1024;
    const QString source = dir.path() + QStringLiteral("/sparse.bin");
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(kSize));
        file.write(patterned(10000, 1));
        file.seek(kSize / 2 - 5);
        file.write(patterned(9000, 2));
        file.seek(kSize - 4099);
        file.write(patterned(4099, 3));
    }
    const struct stat src = statOf(source);
    if (src.st_blocks * 512 > 4 * 1024 * 1024)
        GTEST_SKIP() << "this file system does not keep holes";
    const QString target = backup + QStringLiteral("/sparse.bin");
    qint64 counted = 0;
    observer.onChunk = [&](const CopyProgress& p) { counted += p.chunkBytes; };
    ASSERT_TRUE(gCopy(source, target, observer));
    const struct stat copy = statOf(target);
    EXPECT_EQ(copy.st_size, kSize);
    EXPECT_LT(copy.st_blocks * 512, 4 * 1024 * 1024) << "the holes were filled";
    EXPECT_EQ(counted, kSize) << "the progress counts the whole file";
    EXPECT_EQ(observer.chunks.back().fileValue(), 100);
    EXPECT_TRUE(readFile(target) == readFile(source));
}

TEST_F(CopyTest, ASourceEndingInAHoleKeepsItsLengthAndADenseOneIsCopiedWhole) {
    constexpr qint64 kSize = 1024 * 1024;
    const QString holeAtEnd = dir.path() + QStringLiteral("/ende.bin");
    {
        QFile file(holeAtEnd);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(patterned(10000, 4));
        ASSERT_TRUE(file.resize(kSize));
    }
    if (statOf(holeAtEnd).st_blocks * 512 >= kSize)
        GTEST_SKIP() << "this file system does not keep holes";
    const QString dense = makeSource(QStringLiteral("dicht.bin"), 3 * 4096 + 17, 5);
    for (const QString& path : {holeAtEnd, dense}) {
        SCOPED_TRACE(path.toStdString());
        const QString target = backup + QLatin1Char('/') + QFileInfo(path).fileName();
        ASSERT_TRUE(gCopy(path, target, observer));
        EXPECT_EQ(statOf(target).st_size, statOf(path).st_size);
        EXPECT_TRUE(readFile(target) == readFile(path));
    }
    EXPECT_LT(statOf(backup + QStringLiteral("/ende.bin")).st_blocks * 512, kSize)
        << "the hole at the end was filled";
}

TEST(BeforeEventRunsTest, RunsBeforeEventsAndPausesAndNestedOnesGiveTheOuterWorkBack) {
    QStringList done;
    {
        const BeforeEventRuns outer([&] { done << QStringLiteral("außen"); });
        BeforeEventRuns::now();
        {
            const BeforeEventRuns inner([&] { done << QStringLiteral("innen"); });
            BeforeEventRuns::now();
        }
        BeforeEventRuns::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(kEventIntervalMs + 5));
        EXPECT_TRUE(letEventsRun());
    }
    BeforeEventRuns::now();
    EXPECT_EQ(done, (QStringList{QStringLiteral("außen"), QStringLiteral("innen"),
                                 QStringLiteral("außen"), QStringLiteral("außen")}));
}

TEST_F(CopyTest, OverallLabelIsTheBarsValue) {
    const QString source = makeSource(QStringLiteral("a.bin"), 8192);
    gSelTotal = 5000;  // the file grew since the selection was summed
    observer.overallValue = 64;
    ASSERT_TRUE(gCopy(source, backup + QStringLiteral("/a.bin"), observer));
    for (const CopyProgress& p : observer.chunks)
        EXPECT_EQ(p.overallText(), QString::number(p.overallValue()) + QLatin1Char('%'));
    EXPECT_EQ(observer.overallText, QStringLiteral("100%"));
}

}  // namespace
}  // namespace bravel::test
