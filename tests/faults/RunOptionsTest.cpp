// The run's options beyond copying everything again: only changed files, verified copies, older
// versions kept; alone, together, and all off.
#include <sys/stat.h>

#include "FaultSupport.h"
#include "backup/Copy.h"
#include "backup/Versions.h"
#include "settings/SettingKeys.h"
#include "settings/Settings.h"

namespace bravel::test {
namespace {

class RunOptionsTest : public FaultTest {
  protected:
    ino_t inodeOf(const QString& file) {
        struct stat st {};
        EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
        return st.st_ino;
    }
    void runWith(const RunOptions& options) {
        selectAll();
        runBackup(model(), controller->rset_Record(), observer, options);
    }
    // The source gets new content and a new time, as an edit gives it.
    void editSource(const QString& file, const QByteArray& content, int minutesLater) {
        ASSERT_TRUE(writeFile(file, content));
        ASSERT_TRUE(fs::setModificationTime(file, kRunNow.addSecs(60 * minutesLater)));
    }
    QStringList versionContents(const QString& folder, const QString& name) {
        QStringList contents;
        for (const auto& v : versions::listVersions(folder, name))
            contents << QString::fromUtf8(readFile(v.path));
        return contents;
    }
};

TEST_F(RunOptionsTest, WithEveryOptionOffEachRunCopiesAgain) {
    const QString a = source(QStringLiteral("a.txt"));
    openCatalog({{a, path(QStringLiteral("bak"))}});
    runWith(RunOptions{});
    const ino_t first = inodeOf(path(QStringLiteral("bak/a.txt")));
    runWith(RunOptions{});
    EXPECT_NE(inodeOf(path(QStringLiteral("bak/a.txt"))), first);
    EXPECT_TRUE(statusOf(a).startsWith(QStringLiteral("gesichert (")));
    EXPECT_FALSE(QFileInfo::exists(versions::folderFor(path(QStringLiteral("bak")))));
}

TEST_F(RunOptionsTest, OnlyChangedFilesLeavesACurrentCopyAndStampsTheRecord) {
    const QString a = source(QStringLiteral("a.txt"));
    const QString b = source(QStringLiteral("b.txt"));
    openCatalog({{a, path(QStringLiteral("bak"))}, {b, path(QStringLiteral("bak"))}});
    runWith(RunOptions{});
    const StoredRecord before = storedRecord(a);
    const ino_t copyOfA = inodeOf(path(QStringLiteral("bak/a.txt")));

    setClockForTest(kRunNow.addDays(3));
    editSource(b, "neu und länger", 5);
    RunOptions changedOnly;
    changedOnly.changedOnly = true;
    runWith(changedOnly);

    EXPECT_EQ(inodeOf(path(QStringLiteral("bak/a.txt"))), copyOfA);
    EXPECT_EQ(statusOf(a), runtext::kUnchanged);
    EXPECT_EQ(model().cellColor(rowOf(a), col::kStatus), listcolor::kGreen);
    const StoredRecord after = storedRecord(a);
    EXPECT_EQ(after.status, before.status);
    EXPECT_EQ(after.size, before.size);
    EXPECT_EQ(after.hostStatus, QStringLiteral("PC220250318;"));
    // The changed one is copied.
    EXPECT_EQ(readFile(path(QStringLiteral("bak/b.txt"))), QByteArray("neu und länger"));
    EXPECT_TRUE(statusOf(b).startsWith(QStringLiteral("gesichert (18.03.2025")));
    EXPECT_EQ(observer.overallValue, 0);  // back to idle after reaching the end
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));

    // Same size, other time: copied again; a link in place of the copy: replaced, never trusted.
    ASSERT_TRUE(fs::setModificationTime(a, kRunNow.addSecs(-3600)));
    ASSERT_TRUE(writeFile(path(QStringLiteral("fremd.txt")), patterned(10000, 1)));
    runWith(changedOnly);
    EXPECT_NE(inodeOf(path(QStringLiteral("bak/a.txt"))), copyOfA);
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("bak/b.txt"))));
    ASSERT_TRUE(QFile::link(b, path(QStringLiteral("bak/b.txt"))));
    runWith(changedOnly);
    EXPECT_FALSE(QFileInfo(path(QStringLiteral("bak/b.txt"))).isSymLink());
    EXPECT_TRUE(statusOf(b).startsWith(QStringLiteral("gesichert (")));
}

TEST_F(RunOptionsTest, OnlyChangedGivesAnEntryNeverRecordedBeforeACopyAndAFullRecord) {
    const QString placedByHand = source(QStringLiteral("a.txt"));
    const QString noCopyYet = source(QStringLiteral("b.txt"), 3000, 2);
    openCatalog(
        {{placedByHand, path(QStringLiteral("bak"))}, {noCopyYet, path(QStringLiteral("bak"))}});
    // A copy with the source's size and time that no run of this catalog made.
    ASSERT_TRUE(writeFile(path(QStringLiteral("bak/a.txt")), patterned(10000, 1)));
    ASSERT_TRUE(fs::setModificationTime(placedByHand, kRunNow.addSecs(-60)));
    ASSERT_TRUE(fs::setModificationTime(path(QStringLiteral("bak/a.txt")), kRunNow.addSecs(-60)));

    RunOptions changedOnly;
    changedOnly.changedOnly = true;
    runWith(changedOnly);

    for (const auto& [file, size] :
         std::vector<std::pair<QString, qint64>>{{placedByHand, 10000}, {noCopyYet, 3000}}) {
        EXPECT_TRUE(statusOf(file).startsWith(QStringLiteral("gesichert (")))
            << statusOf(file).toStdString();
        const StoredRecord record = storedRecord(file);
        EXPECT_EQ(record.size, size);
        EXPECT_TRUE(record.status.startsWith(QStringLiteral("gesichert (15.03.2025")))
            << record.status.toStdString();
        EXPECT_EQ(record.hostStatus, QStringLiteral("PC220250315;"));
    }
    EXPECT_EQ(readFile(path(QStringLiteral("bak/b.txt"))), patterned(3000, 2));

    // Recorded now: the next run leaves both alone, the same day without writing their records.
    controller->mFillListBox();
    controller->stopTimers();
    const std::vector<StoredRecord> recorded = storedRecords();
    runWith(changedOnly);
    for (const QString& file : {placedByHand, noCopyYet}) {
        EXPECT_EQ(statusOf(file), runtext::kUnchanged);
        EXPECT_EQ(model().cell(rowOf(file), col::kHostStatus), QStringLiteral("PC220250315;"));
        EXPECT_EQ(model().cell(rowOf(file), model().findColumn(QStringLiteral("PC2"))),
                  QStringLiteral("20250315"));
    }
    EXPECT_EQ(storedRecords().size(), recorded.size());
    EXPECT_EQ(storedRecord(placedByHand).status, recorded.front().status);
    // A day later the date is written.
    setClockForTest(kRunNow.addDays(1));
    runWith(changedOnly);
    EXPECT_EQ(storedRecord(noCopyYet).hostStatus, QStringLiteral("PC220250316;"));
    EXPECT_EQ(model().cell(rowOf(noCopyYet), col::kHostStatus), QStringLiteral("PC220250316;"));
}

TEST_F(RunOptionsTest, AVerifiedCopyThatDiffersFromItsSourceFailsAndTheOlderCopyStays) {
    const QString a = source(QStringLiteral("a.txt"), 300000);
    openCatalog({{a, path(QStringLiteral("bak"))}});
    RunOptions verified;
    verified.copy.verify = true;
    runWith(verified);
    ASSERT_TRUE(statusOf(a).startsWith(QStringLiteral("gesichert (")));
    const QByteArray older = readFile(path(QStringLiteral("bak/a.txt")));
    const StoredRecord before = storedRecord(a);

    // A byte flipped on its way to the disk, between the copy and its check.
    editSource(a, patterned(300000, 7), 10);
    bool flipped = false;
    observer.onVerify = [&] {
        const QStringList temps = filesStartingWith(path(QStringLiteral("bak")), copyTempPrefix());
        ASSERT_EQ(temps.size(), 1);
        QFile temp(path(QStringLiteral("bak/")) + temps.first());
        ASSERT_TRUE(temp.open(QIODevice::ReadWrite));
        temp.seek(123456);
        char byte = 0;
        temp.getChar(&byte);
        temp.seek(123456);
        temp.putChar(static_cast<char>(byte ^ 0x20));
        flipped = true;
    };
    runWith(verified);
    ASSERT_TRUE(flipped);
    EXPECT_EQ(statusOf(a), runtext::kCopyFailed);
    EXPECT_EQ(readFile(path(QStringLiteral("bak/a.txt"))), older);
    EXPECT_TRUE(filesStartingWith(path(QStringLiteral("bak")), copyTempPrefix()).isEmpty());
    EXPECT_EQ(storedRecord(a).status, before.status);
    bool recorded = false;
    for (int i = 1; i <= gErrorStack.Count(); ++i)
        recorded |= gErrorStack.Item(i)->ErrDescr().contains(QStringLiteral("stimmt nicht"));
    EXPECT_TRUE(recorded) << recordTexts().join(QLatin1Char('\n')).toStdString();

    // Without the flip the same copy passes its check.
    observer.onVerify = nullptr;
    runWith(verified);
    EXPECT_EQ(readFile(path(QStringLiteral("bak/a.txt"))), patterned(300000, 7));
}

TEST_F(RunOptionsTest, OlderCopiesAreKeptAsVersionsUpToTheirNumber) {
    const QString a = source(QStringLiteral("brief.txt"));
    editSource(a, "eins", 0);
    openCatalog({{a, path(QStringLiteral("bak"))}});
    RunOptions versionsKept;
    versionsKept.copy.keepVersions = 2;
    runWith(versionsKept);
    EXPECT_TRUE(
        versions::listVersions(path(QStringLiteral("bak")), QStringLiteral("brief.txt")).empty());
    for (const auto& [content, minutes] :
         std::vector<std::pair<QByteArray, int>>{{"zwei", 1}, {"drei", 2}, {"vier", 3}}) {
        editSource(a, content, minutes);
        runWith(versionsKept);
    }
    EXPECT_EQ(readFile(path(QStringLiteral("bak/brief.txt"))), QByteArray("vier"));
    EXPECT_EQ(versionContents(path(QStringLiteral("bak")), QStringLiteral("brief.txt")),
              (QStringList{QStringLiteral("zwei"), QStringLiteral("drei")}));
    EXPECT_TRUE(QFileInfo::exists(
        path(QStringLiteral("bak/.bravel-versions/brief 2025-03-15 102230.txt"))));

    // Unchanged with versions on: nothing moves.
    versionsKept.changedOnly = true;
    runWith(versionsKept);
    EXPECT_EQ(statusOf(a), runtext::kUnchanged);
    EXPECT_EQ(versionContents(path(QStringLiteral("bak")), QStringLiteral("brief.txt")),
              (QStringList{QStringLiteral("zwei"), QStringLiteral("drei")}));
    // Changed, verified and versioned at once.
    versionsKept.copy.verify = true;
    editSource(a, "fünf", 4);
    runWith(versionsKept);
    EXPECT_EQ(readFile(path(QStringLiteral("bak/brief.txt"))), QByteArray("fünf"));
    EXPECT_EQ(versionContents(path(QStringLiteral("bak")), QStringLiteral("brief.txt")),
              (QStringList{QStringLiteral("drei"), QStringLiteral("vier")}));
}

TEST_F(RunOptionsTest, RunsOfAnUnchangedSourceKeepTheRealOlderVersion) {
    const QString a = source(QStringLiteral("h.txt"));
    editSource(a, "A", 0);
    openCatalog({{a, path(QStringLiteral("bak"))}});
    RunOptions versionsKept;
    versionsKept.copy.keepVersions = 1;
    runWith(versionsKept);
    editSource(a, "B", 1);
    runWith(versionsKept);
    runWith(versionsKept);  // nothing changed: the copy is made again, the version stays
    runWith(versionsKept);
    EXPECT_EQ(versionContents(path(QStringLiteral("bak")), QStringLiteral("h.txt")),
              QStringList{QStringLiteral("A")});
    EXPECT_EQ(readFile(path(QStringLiteral("bak/h.txt"))), QByteArray("B"));
}

TEST_F(RunOptionsTest, OnlyChangedSeesFractionsOfASecondAndNeverTrustsTheSourceItself) {
    const QString a = source(QStringLiteral("n.txt"));
    // Times with fractions of a second, as editors leave them.
    const auto writeAt = [&a](const QByteArray& content, int milliseconds) {
        ASSERT_TRUE(writeFile(a, content));
        QFile file(a);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            file.setFileTime(kRunNow.addMSecs(milliseconds), QFileDevice::FileModificationTime));
    };
    writeAt("AAAA", 100);
    openCatalog({{a, path(QStringLiteral("bak"))},
                 {source(QStringLiteral("m.txt")), path(QStringLiteral("src"))}});
    RunOptions changedOnly;
    changedOnly.changedOnly = true;
    runWith(changedOnly);
    writeAt("BBBB", 900);
    runWith(changedOnly);
    EXPECT_EQ(readFile(path(QStringLiteral("bak/n.txt"))), QByteArray("BBBB"));
    // The entry whose backup folder is its own folder: refused as without the option.
    EXPECT_EQ(statusOf(path(QStringLiteral("src/m.txt"))), runtext::kCopyFailed);
}

TEST_F(RunOptionsTest, TheSetupWindowsOptionsAreTheRunsDefault) {
    EXPECT_FALSE(runOptionsFromSettings().changedOnly);
    EXPECT_EQ(runOptionsFromSettings().copy.keepVersions, 0);
    writeSetting(keys::setup_chk_ChangedOnly, QStringLiteral("1"));
    writeSetting(keys::setup_chk_VerifyCopies, QStringLiteral("1"));
    writeSetting(keys::setup_txt_KeepVersions, QStringLiteral("7"));
    EXPECT_EQ(runOptionsFromSettings().copy.keepVersions, 0);  // the count alone keeps nothing
    writeSetting(keys::setup_chk_KeepVersions, QStringLiteral("1"));
    const RunOptions options = runOptionsFromSettings();
    EXPECT_TRUE(options.changedOnly);
    EXPECT_TRUE(options.copy.verify);
    EXPECT_EQ(options.copy.keepVersions, 7);
}

}  // namespace
}  // namespace bravel::test
