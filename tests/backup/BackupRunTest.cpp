// The backup run over a real catalog, filled into the list by the catalog controller, with real
// files in temporary folders. Only the clock and the system actions are scripted.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include "CatalogLock.h"
#include "Fixtures.h"
#include "backup/BackupRun.h"
#include "backup/Copy.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "platform/CatalogDatabase.h"
#include "platform/Clock.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "settings/SettingKeys.h"

namespace bravel::test {
namespace {

const QString kSaved = QStringLiteral("gesichert (15.03.2025 10:20:30)");

class BackupRunTest : public CatalogRunTest {
  protected:
    // Each record starts with a size of 1, which a run must replace.
    void open(std::vector<CatalogEntry> records) {
        for (CatalogEntry& record : records) record.size = 1;
        openCatalog(records);
    }
    quint32 statusColorOf(const QString& src) {
        return model().cellColor(rowOf(src), col::kStatus);
    }
    StoredRecord record(const QString& src) const { return storedRecord(src); }
    // Three sources with one backup folder, all selected.
    QStringList openThreeSelected() {
        const QStringList sources{source(1), source(2), source(3)};
        std::vector<CatalogEntry> records;
        for (const QString& src : sources)
            records.push_back({src, path(QStringLiteral("b")), QString(), QString()});
        open(records);
        model().selectAll(true);
        return sources;
    }
};

TEST_F(BackupRunTest, CopiesTheSelectedRowsAndWritesTheirRecords) {
    const QString one = source(1), two = source(2);
    const QString backup = path(QStringLiteral("backup"));  // created by the run
    const QString other = path(QStringLiteral("other"));
    QDir().mkpath(other);
    open({{one, backup, QString(), QString()}, {two, other, QStringLiteral("alt"), QString()}});
    select(one);
    run();

    EXPECT_EQ(readFile(backup + QStringLiteral("/a1.bin")), patterned(10000, 1));
    EXPECT_FALSE(QFile::exists(other + QStringLiteral("/a2.bin")));
    EXPECT_EQ(statusOf(one), kSaved);
    EXPECT_EQ(statusColorOf(one), listcolor::kGreen);
    EXPECT_EQ(statusOf(two), QStringLiteral("alt")) << "an unselected row keeps its old status";

    const StoredRecord saved = record(one);
    EXPECT_EQ(saved.size, 10000);
    EXPECT_EQ(saved.status, kSaved);
    EXPECT_EQ(saved.hostStatus, QStringLiteral("PC220250315;"));
    QDateTime sourceDate;
    ASSERT_TRUE(fs::modificationTime(one, sourceDate));
    EXPECT_EQ(saved.date, sourceDate.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    const StoredRecord untouched = record(two);
    EXPECT_EQ(untouched.status, QStringLiteral("alt"));
    EXPECT_EQ(untouched.size, 1);

    const int r = rowOf(one);
    EXPECT_EQ(model().cell(r, col::kHostStatus), QStringLiteral("PC220250315;"));
    const int host = model().findColumn(QStringLiteral("PC2"));
    ASSERT_GE(host, col::kFixedColumns);
    EXPECT_EQ(model().cell(r, host), QStringLiteral("20250315"));
    EXPECT_EQ(model().cellColor(r, host), listcolor::kGreen);

    // End state.
    EXPECT_TRUE(gIdle);
    EXPECT_FALSE(gCancel);
    EXPECT_EQ(gSelCount, 0);
    EXPECT_TRUE(observer.listEnabled);
    EXPECT_EQ(observer.status, QString());
    EXPECT_EQ(observer.overallValue, 0);
    EXPECT_TRUE(observer.log.contains(QStringLiteral("stopTimers=3")));
    EXPECT_EQ(observer.log.last(), QStringLiteral("startTimers=3"));
    EXPECT_EQ(observer.cancelLooks, std::vector<CancelLook>{CancelLook::Idle});
    EXPECT_TRUE(recordingActions().calls.isEmpty());
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join('\n').toStdString();
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

TEST_F(BackupRunTest, StatusLineAndStatusWindowFollowTheFile) {
    gShowStatus = true;
    const QString one = source(1);
    open({{one, path(QStringLiteral("b")), QString(), QString()}});
    select(one);
    QString lineDuringCopy;
    observer.onChunk = [&](const CopyProgress&) { lineDuringCopy = observer.status; };
    run();
    EXPECT_TRUE(lineDuringCopy.startsWith(QStringLiteral("Anzahl selektierter Dateien: 1")))
        << lineDuringCopy.toStdString();
    EXPECT_TRUE(
        lineDuringCopy.endsWith(QStringLiteral("     aktuell: '") + one + QLatin1Char('\'')));
    EXPECT_EQ(observer.statusWindowTags, QStringList{QStringLiteral("a1.bin")});
    EXPECT_FALSE(observer.statusWindowOpen);
    EXPECT_EQ(observer.statusWindowLines.last(),
              QStringLiteral("10 KB von 10 KB kopiert: (100,00%)  (Rest: 1 Datei)"));
}

TEST(ComputerstatusText, ReplacesTheFirstOccurrenceOrAppends) {
    const QString d = QStringLiteral("20250315");
    EXPECT_EQ(updatedComputerstatus(QString(), QStringLiteral("PC1"), d),
              QStringLiteral("PC120250315;"));
    EXPECT_EQ(updatedComputerstatus(QStringLiteral("PC120240101;"), QStringLiteral("PC2"), d),
              QStringLiteral("PC120240101;PC220250315;"));
    EXPECT_EQ(
        updatedComputerstatus(QStringLiteral("PC120240101;PC220240101;"), QStringLiteral("PC2"), d),
        QStringLiteral("PC120240101;PC220250315;"));
    // Plain substring search: "PC1" is found inside "XPC1" first.
    EXPECT_EQ(updatedComputerstatus(QStringLiteral("XPC120240101;PC120240102;"),
                                    QStringLiteral("PC1"), d),
              QStringLiteral("XPC120250315;PC120240102;"));
    // A damaged entry without its date keeps nothing after it twice.
    EXPECT_EQ(updatedComputerstatus(QStringLiteral("PC1"), QStringLiteral("PC1"), d),
              QStringLiteral("PC120250315;"));
}

TEST_F(BackupRunTest, ComputerstatusOfASecondComputerAndALaterDay) {
    const QString one = source(1);
    open({{one, path(QStringLiteral("b")), QString(), QStringLiteral("PC120240101;")}});
    ASSERT_GE(model().findColumn(QStringLiteral("PC1")), 0);
    ASSERT_LT(model().findColumn(QStringLiteral("PC2")), 0);
    select(one);
    run();
    EXPECT_EQ(record(one).hostStatus, QStringLiteral("PC120240101;PC220250315;"));
    const int columns = model().columnCount();
    EXPECT_GE(model().findColumn(QStringLiteral("PC2")), 0);

    // The same computer a few days later: only its eight digits change, no second column.
    setClockForTest(QDateTime(QDate(2025, 3, 20), QTime(8, 0, 0)));
    run();
    EXPECT_EQ(record(one).hostStatus, QStringLiteral("PC120240101;PC220250320;"));
    EXPECT_EQ(model().columnCount(), columns);
    EXPECT_EQ(model().cell(rowOf(one), model().findColumn(QStringLiteral("PC2"))),
              QStringLiteral("20250320"));

    // A host whose name is inside an earlier entry's name matches there.
    gHostName = QStringLiteral("C1");
    run();
    EXPECT_EQ(record(one).hostStatus, QStringLiteral("PC120250320;PC220250320;"));
}

TEST_F(BackupRunTest, StatusPrefixesOfRowsThatAreNotCopied) {
    const QString plain = source(1), gone = path(QStringLiteral("src/gone.bin"));
    const QString blocked = source(3);
    const QString blocker = source(4);  // a file where the folder should be
    QDir().mkpath(path(QStringLiteral("b1")));
    QDir().mkpath(path(QStringLiteral("b2")));
    open({{plain, path(QStringLiteral("b1")),
           QStringLiteral("Datei nicht gesichert. gesichert (01.01.2024 09:00:00)"), QString()},
          {gone, path(QStringLiteral("b2")), QStringLiteral("übersprungen"), QString()},
          {blocked, blocker + QStringLiteral("/sub"), QStringLiteral("x"), QString()}});
    select(gone);
    select(blocked);
    run();
    EXPECT_EQ(statusOf(plain), QStringLiteral("gesichert (01.01.2024 09:00:00)"));
    EXPECT_EQ(statusOf(gone),
              QStringLiteral("Datei nicht gesichert. [File not found] übersprungen"));
    EXPECT_EQ(statusOf(blocked), QStringLiteral("Pfad konnte nicht angelegt werden."));
    EXPECT_EQ(statusColorOf(blocked), listcolor::kGreen);
    EXPECT_EQ(model().cellColor(rowOf(blocked), col::kFolder), listcolor::kGreen);
    EXPECT_EQ(record(blocked).status, QStringLiteral("x"));
    EXPECT_EQ(gSelCount, 2) << "rows not copied are not counted down";
}

TEST_F(BackupRunTest, CancelDuringTheThirdOfFiveFiles) {
    std::vector<CatalogEntry> entries;
    std::vector<QString> sources;
    for (int i = 1; i <= 5; ++i) {
        sources.push_back(source(i));
        entries.push_back({sources.back(), path(QStringLiteral("b%1").arg(i)),
                           QStringLiteral("vorher"), QStringLiteral("PC120240101;")});
    }
    open(entries);
    model().selectAll(true);
    writeSetting(keys::setup_chk_AfterJob, QStringLiteral("1"));
    writeSetting(keys::setup_cbo_AfterJob, QStringLiteral("3"));
    bool third = false;
    observer.onFileStart = [&](int row) { third = model().cell(row, col::kSource) == sources[2]; };
    observer.onChunk = [&](const CopyProgress& p) {
        if (third && p.position == 4097) requestCancel(observer);
    };
    run();

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(readFile(path(QStringLiteral("b%1/a%1.bin").arg(i + 1))),
                  patterned(10000, i + 1));
        EXPECT_EQ(statusOf(sources[i]), kSaved);
        EXPECT_EQ(record(sources[i]).status, kSaved);
    }
    for (int i = 3; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(QFileInfo(path(QStringLiteral("b%1").arg(i + 1))).isDir());
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("b%1/a%1.bin").arg(i + 1))));
        EXPECT_EQ(statusOf(sources[i]), QStringLiteral("übersprungen"));
        const StoredRecord kept = record(sources[i]);
        EXPECT_EQ(kept.status, QStringLiteral("vorher"));
        EXPECT_EQ(kept.hostStatus, QStringLiteral("PC120240101;"));
        EXPECT_EQ(kept.size, 1);
    }
    EXPECT_TRUE(recordingActions().calls.isEmpty()) << "no shut-down after a cancel";
    EXPECT_FALSE(observer.log.contains(QStringLiteral("pressExit")));
    EXPECT_FALSE(gCancel);
    EXPECT_EQ(observer.cancelLooks,
              (std::vector<CancelLook>{CancelLook::Waiting, CancelLook::Idle}));
    EXPECT_EQ(gSelCount, 2);
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

TEST_F(BackupRunTest, CancelWhilePausedReleasesThePauseAndFinishesTheFile) {
    const QString one = source(1), two = source(2);
    open({{one, path(QStringLiteral("b")), QString(), QString()},
          {two, path(QStringLiteral("b")), QString(), QString()}});
    model().selectAll(true);
    QString captionWhilePaused;
    observer.onChunk = [&](const CopyProgress& p) {
        if (p.position != 4097 || model().cell(observer.rowsCopied.back(), 0) != one) return;
        gPause = true;
        observer.pauseBox = true;
        QTimer::singleShot(40, [&] {
            captionWhilePaused = observer.caption;
            requestCancel(observer);
        });
    };
    run();
    EXPECT_FALSE(captionWhilePaused.isEmpty());
    EXPECT_FALSE(gPause);
    EXPECT_FALSE(observer.pauseBox);
    EXPECT_EQ(readFile(path(QStringLiteral("b/a1.bin"))), patterned(10000, 1));
    EXPECT_EQ(statusOf(one), kSaved);
    EXPECT_EQ(statusOf(two), QStringLiteral("übersprungen"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("b/a2.bin"))));
}

TEST_F(BackupRunTest, WhileAFileIsCopiedAnotherProgramCanWriteTheCatalog) {
    // A run that stops in the middle of a copy (a hanging network share, Ctrl-Z in a terminal)
    // must not keep everyone else from writing the catalog meanwhile.
    const QStringList sources = openThreeSelected();
    const QString &one = sources[0], &two = sources[1], &three = sources[2];
    QStringList othersWrites;
    observer.onChunk = [&](const CopyProgress& p) {
        if (p.position != 4097) return;
        auto other = CatalogDatabase::open(catalog);
        if (!other || !other->setBusyTimeout(0)) return;
        auto records = other->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES"));
        const bool wrote =
            records && records->Edit() &&
            records->SetField(QStringLiteral("Bemerkung"), QStringLiteral("fremd")) &&
            records->Update();
        othersWrites << (wrote ? QStringLiteral("ok") : Err.Description);
    };
    run();
    EXPECT_EQ(othersWrites, QStringList(3, QStringLiteral("ok")));
    for (const QString& src : {one, two, three}) EXPECT_EQ(record(src).status, kSaved);
}

TEST_F(BackupRunTest, WhileThePauseWaitsTheFinishedRowsRecordsAreInTheCatalog) {
    const QStringList sources = openThreeSelected();
    const QString &one = sources[0], &two = sources[1], &three = sources[2];
    std::vector<StoredRecord> seenWhilePaused;
    QStringList hostCellsWhilePaused;
    observer.onChunk = [&](const CopyProgress& p) {
        if (p.position != 4097 || model().cell(observer.rowsCopied.back(), 0) != three) return;
        gPause = true;
        QTimer::singleShot(40, [&] {
            // Another program reading the catalog now, as a person looking at the paused list.
            seenWhilePaused = storedRecords();
            for (const QString& src : {one, two})
                hostCellsWhilePaused << model().cell(rowOf(src), col::kHostStatus);
            gPause = false;
        });
    };
    run();
    ASSERT_EQ(seenWhilePaused.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seenWhilePaused[static_cast<size_t>(i)].status, kSaved);
        EXPECT_EQ(seenWhilePaused[static_cast<size_t>(i)].hostStatus,
                  QStringLiteral("PC220250315;"));
        EXPECT_EQ(hostCellsWhilePaused[i], QStringLiteral("PC220250315;"));
    }
    EXPECT_TRUE(seenWhilePaused[2].status.isEmpty()) << "the third file is still being copied";
    EXPECT_EQ(record(three).status, kSaved);
}

TEST_F(BackupRunTest, PauseBoxSetsTheFlag) {
    pauseBoxClicked(true, observer);
    EXPECT_TRUE(gPause);
    pauseBoxClicked(false, observer);
    EXPECT_FALSE(gPause);
    EXPECT_EQ(observer.log,
              (QStringList{QStringLiteral("stopTimers=1"), QStringLiteral("startTimers=1"),
                           QStringLiteral("stopTimers=1"), QStringLiteral("startTimers=1")}));
    EXPECT_EQ(observer.shortcutFocus, 2);
}

TEST_F(BackupRunTest, AfterRunActions) {
    const QString one = source(1);
    open({{one, path(QStringLiteral("b")), QString(), QString()}});
    struct Case {
        const char* on;
        const char* action;
        QStringList calls;
        bool exit;
    };
    const std::vector<Case> cases = {
        {"1", "0", {}, true},
        {"1", "1", {QStringLiteral("logoff")}, false},
        {"1", "2", {QStringLiteral("restart")}, false},
        {"1", "3", {QStringLiteral("shutdown")}, false},
        {"1", "-1", {}, false},
        {"1", "7", {}, false},
        {"0", "3", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.on) + "/" + c.action);
        writeSetting(keys::setup_chk_AfterJob, QString::fromLatin1(c.on));
        writeSetting(keys::setup_cbo_AfterJob, QString::fromLatin1(c.action));
        recordingActions().calls.clear();
        observer.log.clear();
        run();  // no row selected: nothing copied, the action still follows
        EXPECT_EQ(recordingActions().calls, c.calls);
        EXPECT_EQ(observer.log.contains(QStringLiteral("pressExit")), c.exit);
        if (c.exit) {
            EXPECT_EQ(observer.log.last(), QStringLiteral("pressExit")) << "exit once idle again";
        }
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("b/a1.bin"))));
}

TEST_F(BackupRunTest, AFailedCopyKeepsTheOlderCopyAndTheRecord) {
    const QString one = source(1), two = source(2);
    const QString backup = path(QStringLiteral("b"));
    const QByteArray older = patterned(777, 9);
    ASSERT_TRUE(writeFile(backup + QStringLiteral("/a1.bin"), older));
    open({{one, backup, QStringLiteral("gesichert (01.01.2024 09:00:00)"),
           QStringLiteral("PC220240101;")},
          {two, backup, QString(), QString()}});
    model().selectAll(true);
    // Between the fill and the run the source turns into a folder.
    ASSERT_TRUE(QFile::remove(one));
    ASSERT_TRUE(QDir().mkpath(one));
    run();

    EXPECT_EQ(readFile(backup + QStringLiteral("/a1.bin")), older);
    EXPECT_EQ(statusOf(one), QStringLiteral("Kopieren fehlgeschlagen."));
    EXPECT_EQ(statusColorOf(one), listcolor::kRed);
    const StoredRecord kept = record(one);
    EXPECT_EQ(kept.status, QStringLiteral("gesichert (01.01.2024 09:00:00)"));
    EXPECT_EQ(kept.hostStatus, QStringLiteral("PC220240101;"));
    EXPECT_EQ(model().cell(rowOf(one), model().findColumn(QStringLiteral("PC2"))),
              QStringLiteral("20240101"));
    EXPECT_TRUE(hasRecord(
        QStringLiteral("v_gCopy"),
        QStringLiteral("Open(") + one + QStringLiteral(") For Binary Access Read As fn1")))
        << recordTexts().join('\n').toStdString();
    // The run went on with the next row.
    EXPECT_EQ(statusOf(two), kSaved);
    EXPECT_EQ(gSelCount, 0);
    EXPECT_TRUE(filesStartingWith(backup, copyTempPrefix()).isEmpty());
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

TEST_F(BackupRunTest, AFullDiskDuringTheRun) {
    if (!runningAsRoot()) GTEST_SKIP() << "mounting a small tmpfs needs root";
    const QString small = path(QStringLiteral("small"));
    QDir().mkpath(small);
    if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mount not permitted here";
    const QByteArray older = patterned(5000, 9);
    ASSERT_TRUE(writeFile(small + QStringLiteral("/a1.bin"), older));
    const QString big = source(1, 3 * 1024 * 1024);
    open({{big, small, QStringLiteral("vorher"), QString()}});
    model().selectAll(true);
    run();
    EXPECT_EQ(readFile(small + QStringLiteral("/a1.bin")), older);
    EXPECT_EQ(statusOf(big), QStringLiteral("Kopieren fehlgeschlagen."));
    EXPECT_EQ(record(big).status, QStringLiteral("vorher"));
    EXPECT_TRUE(hasRecord(QStringLiteral("v_gCopy"), QStringLiteral("After Loop"), 61));
    EXPECT_TRUE(filesStartingWith(small, copyTempPrefix()).isEmpty());
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
    ::umount2(QFile::encodeName(small).constData(), MNT_DETACH);
}

TEST_F(BackupRunTest, AReadOnlyOlderCopyIsReplacedAndLeftoversGo) {
    const QString one = source(1);
    const QString backup = path(QStringLiteral("b"));
    const QString target = backup + QStringLiteral("/a1.bin");
    ASSERT_TRUE(writeFile(target, QByteArray("old")));
    ASSERT_TRUE(fs::setAttributes(target, attr::kReadOnly));
    const QString leftover = backup + QStringLiteral("/.bravel-tmp-4194999-0123456789abcdef");
    ASSERT_TRUE(writeFile(leftover, QByteArray(100, 'x')));
    open({{one, backup, QString(), QString()}});
    model().selectAll(true);
    run();
    EXPECT_EQ(readFile(target), patterned(10000, 1));
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_EQ(model().cell(rowOf(one), col::kCopyAttr), QString());
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join('\n').toStdString();
}

TEST_F(BackupRunTest, OriginalAttributesCarryThePermissionBits) {
    const QString one = source(1);
    ASSERT_TRUE(fs::setPermissions(one, 0440));
    open({{one, path(QStringLiteral("b")), QString(), QString()}});
    model().selectAll(true);
    gCopyAttributes = true;
    run();
    unsigned mode = 0;
    ASSERT_TRUE(fs::permissions(path(QStringLiteral("b/a1.bin")), mode));
    EXPECT_EQ(mode, 0440u);
    EXPECT_EQ(model().cell(rowOf(one), col::kCopyAttr), QStringLiteral("R"));

    // A second run replaces the read-only copy it made.
    run();
    EXPECT_EQ(statusOf(one), kSaved);
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join('\n').toStdString();
}

bool hasRecordContaining(const QString& modul, const QString& text) {
    for (int i = 1; i <= gErrorStack.Count(); ++i) {
        const auto item = gErrorStack.Item(i);
        if (item->ErrModul() == modul &&
            (item->ErrDescr().contains(text) || item->ErrEvent().contains(text)))
            return true;
    }
    return false;
}

TEST_F(BackupRunTest, TheRowsCopiedAreTheRowsSelectedWhenTheRunStarted) {
    std::vector<CatalogEntry> entries;
    std::vector<QString> sources;
    for (int i = 1; i <= 4; ++i) {
        sources.push_back(source(i));
        entries.push_back({sources.back(), path(QStringLiteral("b")), QString(), QString()});
    }
    open(entries);
    for (int i = 0; i < 3; ++i) select(sources[i]);
    bool changed = false;
    observer.onFileStart = [&](int) {
        if (changed) return;
        changed = true;  // a click during the first copy: one row off, another on
        model().setRowSelected(rowOf(sources[1]), false);
        model().setRowSelected(rowOf(sources[3]), true);
    };
    run();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(statusOf(sources[i]), kSaved);
        EXPECT_EQ(readFile(path(QStringLiteral("b/a%1.bin").arg(i + 1))), patterned(10000, i + 1));
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("b/a4.bin"))));
    EXPECT_EQ(observer.rowsCopied.size(), 3u);
}

TEST_F(BackupRunTest, ABackupFolderThatIsTheSourcesOwnFolderIsRefused) {
    const QString one = source(1);
    ASSERT_TRUE(fs::setPermissions(one, 0600));
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(one).constData(), &before), 0);
    open({{one, path(QStringLiteral("src")), QStringLiteral("vorher"), QString()}});
    model().selectAll(true);
    run();
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(one).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_EQ(readFile(one), patterned(10000, 1));
    EXPECT_EQ(statusOf(one), QStringLiteral("Kopieren fehlgeschlagen."));
    EXPECT_EQ(record(one).status, QStringLiteral("vorher"));
    EXPECT_TRUE(hasRecordContaining(QStringLiteral("v_gCopy"), QStringLiteral("Quelldatei selbst")))
        << recordTexts().join('\n').toStdString();
}

TEST_F(BackupRunTest, TwoEntriesOfOneRunNeverWriteOneBackupFile) {
    const QString a = path(QStringLiteral("a/README")), b = path(QStringLiteral("b/README"));
    ASSERT_TRUE(writeFile(a, "von a"));
    ASSERT_TRUE(writeFile(b, "von b"));
    const QString backup = path(QStringLiteral("sicherung"));
    open({{a, backup, QStringLiteral("vorher"), QString()},
          {b, backup, QStringLiteral("vorher"), QString()}});
    model().selectAll(true);
    run();
    EXPECT_EQ(readFile(backup + QStringLiteral("/README")), "von a");
    EXPECT_EQ(statusOf(a), kSaved);
    EXPECT_EQ(statusOf(b), QStringLiteral("Kopieren fehlgeschlagen."));
    EXPECT_EQ(record(b).status, QStringLiteral("vorher"));
    EXPECT_TRUE(hasRecordContaining(QStringLiteral("but_Start"), a))
        << recordTexts().join('\n').toStdString();

    // The next run is a new run: the same two entries again, the same outcome.
    gErrorStack.Clear();
    run();
    EXPECT_EQ(readFile(backup + QStringLiteral("/README")), "von a");
    EXPECT_EQ(statusOf(b), QStringLiteral("Kopieren fehlgeschlagen."));
}

TEST_F(BackupRunTest, OverallProgressEndsAt100) {
    const QString one = source(1), two = source(2);
    open({{one, path(QStringLiteral("b")), QString(), QString()},
          {two, path(QStringLiteral("b")), QString(), QString()}});
    model().selectAll(true);
    // Shorter now than when the list was filled: the shares add up to about half.
    ASSERT_TRUE(QFile::resize(one, 5000));
    ASSERT_TRUE(QFile::resize(two, 5000));
    run();
    const int hundred = observer.log.indexOf(QStringLiteral("overall=100"));
    ASSERT_GE(hundred, 0) << observer.log.join(' ').toStdString();
    EXPECT_LT(hundred, observer.log.lastIndexOf(QStringLiteral("overall=0")));
}

class LockedCatalogTest : public BackupRunTest {
  protected:
    void SetUp() override {
        BackupRunTest::SetUp();
        one = source(1);
        two = source(2);
        open({{one, path(QStringLiteral("b")), QStringLiteral("vorher"), QString()},
              {two, path(QStringLiteral("b")), QStringLiteral("vorher"), QString()}});
        model().selectAll(true);
    }
    // Runs and returns the longest time in ms in which no events ran.
    qint64 runWatchingEvents() {
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
        tick.start(20);
        sinceTick.start();
        run();
        return std::max(longestGap, sinceTick.elapsed());
    }
    QString one, two;
};

TEST_F(LockedCatalogTest, WindowStaysAliveAndRowsSayTheRecordWasNotWritten) {
    CatalogLock lock(catalog);
    if (!lock.held()) GTEST_SKIP() << "the sqlite3 shell could not lock the catalog";
    EXPECT_LT(runWatchingEvents(), 1000) << "events ran all the time";
    for (const QString& src : {one, two}) {
        SCOPED_TRACE(src.toStdString());
        EXPECT_EQ(statusOf(src), runtext::kRecordNotWritten);
        EXPECT_EQ(statusColorOf(src), listcolor::kRed);
        EXPECT_EQ(readFile(path(QStringLiteral("b/") + QFileInfo(src).fileName())), readFile(src));
        EXPECT_TRUE(hasRecord(QStringLiteral("but_Start"),
                              QStringLiteral("rset_Record.Update ID = %1")
                                  .arg(model().cell(rowOf(src), col::kId).trimmed())))
            << recordTexts().join('\n').toStdString();
    }
    lock.release();
    EXPECT_EQ(record(one).status, QStringLiteral("vorher"));
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

TEST_F(LockedCatalogTest, RecordsThatFailedAreWrittenAtTheEndOnceTheLockIsGone) {
    CatalogLock lock(catalog);
    if (!lock.held()) GTEST_SKIP() << "the sqlite3 shell could not lock the catalog";
    QTimer::singleShot(3000, [&] { lock.release(); });
    EXPECT_LT(runWatchingEvents(), 1000) << "events ran all the time";
    for (const QString& src : {one, two}) {
        SCOPED_TRACE(src.toStdString());
        EXPECT_EQ(statusOf(src), kSaved);
        EXPECT_EQ(statusColorOf(src), listcolor::kGreen);
        EXPECT_EQ(record(src).status, kSaved);
        EXPECT_EQ(record(src).hostStatus, QStringLiteral("PC220250315;"));
    }
    EXPECT_EQ(model().cell(rowOf(two), col::kHostStatus), QStringLiteral("PC220250315;"));
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join('\n').toStdString();
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

}  // namespace
}  // namespace bravel::test
