// Bringing a file back from its backup copy or a kept version: over the source (its differing
// content kept first), into another folder, and failing without losing anything on a full or
// read-only file system, a link or a folder at the source path, a vanished copy.
#include <sys/stat.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>

#include "../faults/FaultSupport.h"
#include "backup/Copy.h"
#include "backup/Restore.h"
#include "backup/Versions.h"
#include "backup/frm_restore.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"

namespace bravel::test {
namespace {

class RestoreTest : public FaultTest {
  protected:
    // The source "brief mit Blank ä.txt" backed up three times with versions kept: the backup copy
    // holds "drei", the versions "eins" and "zwei"; then the source is edited to "vier".
    void backUpThreeTimes() {
        sourceFile = path(QStringLiteral("src/brief mit Blank ä.txt"));
        backup = path(QStringLiteral("bak ü"));
        editSource("eins", 0);
        openCatalog({{sourceFile, backup}});
        RunOptions versionsKept;
        versionsKept.copy.keepVersions = 5;
        for (const auto& [content, minutes] :
             std::vector<std::pair<QByteArray, int>>{{"eins", 0}, {"zwei", 1}, {"drei", 2}}) {
            editSource(content, minutes);
            selectAll();
            runBackup(model(), controller->rset_Record(), observer, versionsKept);
        }
        editSource("vier, länger als die anderen", 10);
        gErrorStack.Clear();
    }
    void editSource(const QByteArray& content, int minutesLater) {
        ASSERT_TRUE(writeFile(sourceFile, content));
        ASSERT_TRUE(fs::setModificationTime(sourceFile, kRunNow.addSecs(60 * minutesLater)));
    }
    std::vector<restore::RestorePoint> points() const {
        return restore::restorePoints(sourceFile, backup);
    }
    QStringList pointContents() const {
        QStringList contents;
        for (const restore::RestorePoint& point : points())
            contents << QString::fromUtf8(readFile(point.path));
        return contents;
    }
    restore::RestorePoint oldest() const { return points().back(); }
    bool recordedText(const QString& part) const {
        for (int i = 1; i <= gErrorStack.Count(); ++i)
            if (gErrorStack.Item(i)->ErrDescr().contains(part)) return true;
        return false;
    }

    QString sourceFile;
    QString backup;
    restore::RestoreObserver quiet;
};

TEST_F(RestoreTest, TheCopyAndItsVersionsAreListedNewestFirstWithDateAndSize) {
    backUpThreeTimes();
    const std::vector<restore::RestorePoint> listed = points();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_TRUE(listed[0].isBackupCopy);
    EXPECT_FALSE(listed[1].isBackupCopy);
    EXPECT_EQ(pointContents(), (QStringList{QStringLiteral("drei"), QStringLiteral("zwei"),
                                            QStringLiteral("eins")}));
    EXPECT_EQ(listed[0].modified, kRunNow.addSecs(120));
    EXPECT_EQ(listed[2].modified, kRunNow);
    EXPECT_EQ(listed[0].size, 4);
    EXPECT_EQ(QFileInfo(listed[2].path).fileName(),
              QStringLiteral("brief mit Blank ä 2025-03-15 102030.txt"));

    // Without the backup copy the versions are still there to choose from.
    ASSERT_TRUE(QFile::remove(backup + QStringLiteral("/brief mit Blank ä.txt")));
    EXPECT_EQ(pointContents(), (QStringList{QStringLiteral("zwei"), QStringLiteral("eins")}));
    // A link in the copy's place is no copy.
    ASSERT_TRUE(QFile::link(path(QStringLiteral("fremd")),
                            backup + QStringLiteral("/brief mit Blank ä.txt")));
    EXPECT_EQ(points().size(), 2u);
}

TEST_F(RestoreTest, RestoringOverADifferingSourceKeepsItAsAVersionFirstAndTheRowIsRefilled) {
    backUpThreeTimes();
    const int row = rowOf(sourceFile);
    const restore::RestoreResult result =
        restore::restoreToSource(oldest(), sourceFile, backup, quiet);

    ASSERT_EQ(result.outcome, restore::RestoreOutcome::Restored)
        << recordTexts().join('\n').toStdString();
    EXPECT_EQ(readFile(sourceFile), QByteArray("eins"));
    QDateTime restoredTime;
    ASSERT_TRUE(fs::modificationTime(sourceFile, restoredTime));
    EXPECT_EQ(restoredTime, kRunNow);  // the chosen copy's time comes along
    EXPECT_EQ(QFileInfo(result.keptVersion).fileName(),
              QStringLiteral("brief mit Blank ä 2025-03-15 103030.txt"));
    EXPECT_EQ(readFile(result.keptVersion), QByteArray("vier, länger als die anderen"));
    EXPECT_EQ(pointContents(),
              (QStringList{QStringLiteral("vier, länger als die anderen"), QStringLiteral("drei"),
                           QStringLiteral("zwei"), QStringLiteral("eins")}));
    EXPECT_TRUE(filesStartingWith(path(QStringLiteral("src")), copyTempPrefix()).isEmpty());
    EXPECT_EQ(gErrorStack.Count(), 0);

    // The row shows the source as it is now; the rest of the list is untouched.
    model().setRowSelected(row, true);
    controller->refillRow(row);
    EXPECT_EQ(model().cell(row, col::kChanged), formatGeneralDate(kRunNow, true));
    EXPECT_TRUE(model().isRowSelected(row));
    EXPECT_TRUE(model().cell(row, col::kStatus).startsWith(QStringLiteral("gesichert (")));
}

TEST_F(RestoreTest, ASourceAlreadyLikeTheChosenCopyIsLeftAsItIs) {
    backUpThreeTimes();
    editSource("drei", 30);  // the backup copy's content, another time
    const std::vector<restore::RestorePoint> before = points();
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(sourceFile).constData(), &st), 0);

    const restore::RestoreResult result =
        restore::restoreToSource(before.front(), sourceFile, backup, quiet);
    EXPECT_EQ(result.outcome, restore::RestoreOutcome::Identical);
    EXPECT_TRUE(result.keptVersion.isEmpty());
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(sourceFile).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, st.st_ino);
    EXPECT_EQ(points().size(), before.size());
}

TEST_F(RestoreTest, RestoringIntoAnotherFolderLeavesTheSourceAndAFolderOfTheSourceIsARestoreToIt) {
    backUpThreeTimes();
    const QString elsewhere = path(QStringLiteral("anderer Ordner"));
    QDir().mkpath(elsewhere);
    restore::RestoreResult result =
        restore::restoreToFolder(oldest(), elsewhere, sourceFile, backup, quiet);
    ASSERT_EQ(result.outcome, restore::RestoreOutcome::Restored);
    EXPECT_EQ(result.target, elsewhere + QStringLiteral("/brief mit Blank ä.txt"));
    EXPECT_EQ(readFile(result.target), QByteArray("eins"));
    EXPECT_EQ(readFile(sourceFile), QByteArray("vier, länger als die anderen"));
    EXPECT_TRUE(result.keptVersion.isEmpty());
    EXPECT_EQ(points().size(), 3u);

    // A file of that name there is replaced by the next restore (the window asks first).
    result = restore::restoreToFolder(points().front(), elsewhere + QLatin1Char('/'), sourceFile,
                                      backup, quiet);
    EXPECT_EQ(result.outcome, restore::RestoreOutcome::Restored);
    EXPECT_EQ(readFile(elsewhere + QStringLiteral("/brief mit Blank ä.txt")), QByteArray("drei"));

    // The source's own folder: the source's content is kept as with a restore to the source.
    result =
        restore::restoreToFolder(oldest(), path(QStringLiteral("src")), sourceFile, backup, quiet);
    EXPECT_EQ(result.outcome, restore::RestoreOutcome::Restored);
    EXPECT_FALSE(result.keptVersion.isEmpty());
    EXPECT_EQ(readFile(sourceFile), QByteArray("eins"));
}

TEST_F(RestoreTest, AMissingSourceAndItsMissingFolderAreMadeAgain) {
    backUpThreeTimes();
    ASSERT_TRUE(QDir(path(QStringLiteral("src"))).removeRecursively());
    const restore::RestoreResult result =
        restore::restoreToSource(points().front(), sourceFile, backup, quiet);
    ASSERT_EQ(result.outcome, restore::RestoreOutcome::Restored)
        << recordTexts().join('\n').toStdString();
    EXPECT_EQ(readFile(sourceFile), QByteArray("drei"));
    EXPECT_TRUE(result.keptVersion.isEmpty());
}

TEST_F(RestoreTest, ALinkAFolderOrAVanishedCopyIsRefusedWithoutTouchingAnything) {
    backUpThreeTimes();
    const QString elsewhere = path(QStringLiteral("fremd.txt"));
    ASSERT_TRUE(writeFile(elsewhere, "fremd"));
    ASSERT_TRUE(QFile::remove(sourceFile));
    ASSERT_TRUE(QFile::link(elsewhere, sourceFile));
    EXPECT_EQ(restore::restoreToSource(oldest(), sourceFile, backup, quiet).outcome,
              restore::RestoreOutcome::Failed);
    EXPECT_TRUE(QFileInfo(sourceFile).isSymLink());
    EXPECT_EQ(readFile(elsewhere), QByteArray("fremd"));
    EXPECT_TRUE(recordedText(QStringLiteral("Verknüpfung")));

    ASSERT_TRUE(QFile::remove(sourceFile));
    ASSERT_TRUE(QDir().mkpath(sourceFile + QStringLiteral("/inhalt")));
    EXPECT_EQ(restore::restoreToSource(oldest(), sourceFile, backup, quiet).outcome,
              restore::RestoreOutcome::Failed);
    EXPECT_TRUE(QFileInfo(sourceFile + QStringLiteral("/inhalt")).isDir());
    EXPECT_TRUE(recordedText(QStringLiteral("ein Ordner")));
    EXPECT_EQ(points().size(), 3u);  // no version was made of either

    const restore::RestorePoint gone = oldest();
    ASSERT_TRUE(QFile::remove(gone.path));
    ASSERT_TRUE(QDir(sourceFile).removeRecursively());
    EXPECT_EQ(restore::restoreToSource(gone, sourceFile, backup, quiet).outcome,
              restore::RestoreOutcome::Failed);
    EXPECT_FALSE(QFileInfo::exists(sourceFile));
    EXPECT_TRUE(recordedText(QStringLiteral("gibt es nicht mehr")));
}

TEST_F(RestoreTest, AFullFileSystemLosesNeitherTheSourceNorAVersionSlot) {
    ScopedTmpfs mount(path(QStringLiteral("klein")), "size=256k");
    SKIP_UNLESS_MOUNTED(mount);
    sourceFile = path(QStringLiteral("klein/groß.bin"));
    backup = path(QStringLiteral("bak"));
    ASSERT_TRUE(writeFile(sourceFile, patterned(200000, 1)));
    openCatalog({{sourceFile, backup}});
    selectAll();
    run();
    ASSERT_TRUE(writeFile(sourceFile, patterned(20000, 2)));  // smaller now; the copy is larger
    const QString filler = mount.fill();
    gErrorStack.Clear();

    const restore::RestoreResult result =
        restore::restoreToSource(points().front(), sourceFile, backup, quiet);
    EXPECT_EQ(result.outcome, restore::RestoreOutcome::Failed);
    EXPECT_EQ(readFile(sourceFile), patterned(20000, 2));
    EXPECT_EQ(points().size(), 1u) << "the version made of the source is taken back";
    EXPECT_TRUE(filesStartingWith(path(QStringLiteral("klein")), copyTempPrefix()).isEmpty());
    EXPECT_TRUE(recordedText(QStringLiteral("Quelldatei ist unverändert")));
    bool full = false;
    for (const Recorded& r : recordedErrors()) full |= r.number == errnum::kDiskFull;
    EXPECT_TRUE(full) << recordTexts().join('\n').toStdString();

    // With room again the same restore goes through.
    ASSERT_TRUE(QFile::remove(filler));
    EXPECT_EQ(restore::restoreToSource(points().front(), sourceFile, backup, quiet).outcome,
              restore::RestoreOutcome::Restored);
    EXPECT_EQ(readFile(sourceFile), patterned(200000, 1));
}

TEST_F(RestoreTest, AReadOnlyTargetFolderGetsNothingAndSaysSo) {
    backUpThreeTimes();
    ScopedTmpfs mount(path(QStringLiteral("nur lesen")), "size=1m");
    SKIP_UNLESS_MOUNTED(mount);
    ASSERT_TRUE(mount.remount(true));
    const restore::RestoreResult result = restore::restoreToFolder(
        oldest(), path(QStringLiteral("nur lesen")), sourceFile, backup, quiet);
    EXPECT_EQ(result.outcome, restore::RestoreOutcome::Failed);
    EXPECT_TRUE(QDir(path(QStringLiteral("nur lesen"))).isEmpty());
    EXPECT_TRUE(recordedText(QStringLiteral("gewählten Ordner")));
    EXPECT_EQ(readFile(sourceFile), QByteArray("vier, länger als die anderen"));
}

}  // namespace
}  // namespace bravel::test

namespace bravel::test {
namespace {

class RestoreWindowTest : public RestoreTest {
  protected:
    void SetUp() override {
        RestoreTest::SetUp();
        scriptedDialogs().reset();
    }
    QString itemText(const frm_restore& window, int row, int column) const {
        return window.lst_Versions->topLevelItem(row)->text(column);
    }
    void choose(frm_restore& window, int row) {
        window.lst_Versions->setCurrentItem(window.lst_Versions->topLevelItem(row));
    }
};

TEST_F(RestoreWindowTest, ListsTheCopyAndItsVersionsAndRestoresTheChosenOneToTheSource) {
    backUpThreeTimes();
    frm_restore window(sourceFile, backup);
    ASSERT_EQ(window.lst_Versions->topLevelItemCount(), 3);
    EXPECT_EQ(itemText(window, 0, 0), QStringLiteral("Sicherungskopie"));
    EXPECT_EQ(itemText(window, 0, 1), formatGeneralDate(kRunNow.addSecs(120)));
    EXPECT_EQ(itemText(window, 0, 2), QStringLiteral("4 Bytes"));
    EXPECT_EQ(itemText(window, 2, 0), QStringLiteral("brief mit Blank ä 2025-03-15 102030.txt"));
    EXPECT_TRUE(window.opt_ToSource->isChecked());

    QSignalSpy restored(&window, &frm_restore::restored);
    choose(window, 2);
    window.but_Restore->click();
    EXPECT_EQ(restored.count(), 1);
    EXPECT_EQ(readFile(sourceFile), QByteArray("eins"));
    EXPECT_EQ(window.lst_Versions->topLevelItemCount(), 4);
    EXPECT_TRUE(window.lbl_Result->text().contains(
        QStringLiteral("brief mit Blank ä 2025-03-15 103030.txt")));
    EXPECT_TRUE(scriptedDialogs().fileRequests.empty());

    // The same again: nothing to do, nothing kept.
    choose(window, window.lst_Versions->topLevelItemCount() - 1);
    window.but_Restore->click();
    EXPECT_EQ(restored.count(), 1);
    EXPECT_EQ(window.lst_Versions->topLevelItemCount(), 4);
    EXPECT_TRUE(window.lbl_Result->text().contains(QStringLiteral("nichts wurde geändert")));
}

TEST_F(RestoreWindowTest, AnotherFolderIsPickedAndAFileThereIsReplacedOnlyWhenThePersonSaysSo) {
    backUpThreeTimes();
    const QString elsewhere = path(QStringLiteral("anders"));
    const QString target = elsewhere + QStringLiteral("/brief mit Blank ä.txt");
    ASSERT_TRUE(writeFile(target, "schon da"));
    frm_restore window(sourceFile, backup);
    window.opt_ToFolder->setChecked(true);

    scriptedDialogs().folderAnswers.push_back(std::nullopt);  // the folder dialog cancelled
    window.but_Restore->click();
    scriptedDialogs().folderAnswers.push_back(elsewhere);
    scriptedDialogs().messageAnswers.push_back(MsgResult::No);
    window.but_Restore->click();
    EXPECT_EQ(readFile(target), QByteArray("schon da"));
    ASSERT_EQ(scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(scriptedDialogs().messages[0].buttons, MsgButtons::YesNo);

    scriptedDialogs().folderAnswers.push_back(elsewhere);
    scriptedDialogs().messageAnswers.push_back(MsgResult::Yes);
    window.but_Restore->click();
    EXPECT_EQ(readFile(target), QByteArray("drei"));
    EXPECT_EQ(readFile(sourceFile), QByteArray("vier, länger als die anderen"));
    EXPECT_EQ(scriptedDialogs().fileRequests.size(), 3u);
}

TEST_F(RestoreWindowTest, TheCommandsStateCountsTheSelectedRows) {
    openCatalog({{source(QStringLiteral("a.txt")), path(QStringLiteral("bak"))},
                 {source(QStringLiteral("b.txt")), path(QStringLiteral("bak"))}});
    controller->timer2Tick();
    EXPECT_FALSE(view.controls.oneRowSelected);
    model().setRowSelected(1, true);
    controller->timer2Tick();
    EXPECT_TRUE(view.controls.oneRowSelected);
    model().setRowSelected(0, true);
    controller->timer2Tick();
    EXPECT_FALSE(view.controls.oneRowSelected);
}

TEST_F(RestoreWindowTest, WithoutAnyCopyThereIsNothingToRestore) {
    sourceFile = source(QStringLiteral("nie gesichert.txt"));
    frm_restore window(sourceFile, path(QStringLiteral("leer")));
    EXPECT_EQ(window.lst_Versions->topLevelItemCount(), 0);
    EXPECT_FALSE(window.but_Restore->isEnabled());
    EXPECT_FALSE(window.lbl_Result->text().isEmpty());
}

TEST_F(RestoreWindowTest, TheEntryCommandRestoresTheSelectedRowAndRefillsIt) {
    backUpThreeTimes();
    controller->mFillListBox();  // the row shows the edited source
    controller->stopTimers();
    ASSERT_TRUE(writeFile(path(QStringLiteral("catalog-bleibt")), readFile(catalog)));
    const int row = rowOf(sourceFile);
    ASSERT_EQ(model().cell(row, col::kChanged), formatGeneralDate(kRunNow.addSecs(600), true));
    model().setRowSelected(row, true);
    controller->timer2Tick();
    EXPECT_TRUE(view.controls.oneRowSelected);
    bool idleWhileOpen = true;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<frm_restore*>(QApplication::activeModalWidget());
        ASSERT_TRUE(window);
        idleWhileOpen = gIdle;
        window->lst_Versions->setCurrentItem(window->lst_Versions->topLevelItem(2));
        window->but_Restore->click();
        window->but_exit->click();
    });
    openRestoreWindow(*controller, nullptr);

    EXPECT_FALSE(idleWhileOpen);
    EXPECT_TRUE(gIdle);
    EXPECT_EQ(readFile(sourceFile), QByteArray("eins"));
    EXPECT_EQ(model().cell(row, col::kChanged), formatGeneralDate(kRunNow, true));
    EXPECT_EQ(readFile(catalog), readFile(path(QStringLiteral("catalog-bleibt"))))
        << "a restore writes no record";
}

}  // namespace
}  // namespace bravel::test
