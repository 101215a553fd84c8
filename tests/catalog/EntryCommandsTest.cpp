#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "Fixtures.h"
#include "base/RunState.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "catalog/EntryCommands.h"
#include "catalog/EntryWriter.h"
#include "catalog/frm_choosedir.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/Err.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

class EntryCommandsTest : public test::CatalogControllerTest {
  protected:
    void SetUp() override {
        CatalogControllerTest::SetUp();
        catalog = makeCatalog("k.bvk");
        controller->mOpenDB(catalog);
    }

    QString makeFile(const QString& name, const QByteArray& content = "x") {
        EXPECT_TRUE(test::writeFile(path(name), content));
        return path(name);
    }

    std::vector<test::StoredRecord> records() const { return test::storedRecords(catalog); }

    // Adds entries as the editor would hand them over.
    void add(const QStringList& files, const QString& folder) {
        but_source_Click(*controller, [&](EditorMode) {
            gSelectedFiles = files;
            view.setDetailTexts(QString(), folder);
        });
    }

    QString catalog;
};

TEST_F(EntryCommandsTest, ThreeFilesChosenInTheEditorBecomeThreeRecordsInDialogOrder) {
    const QString folder = path("ziel");
    QDir().mkpath(folder);
    const QStringList chosen{makeFile("c.txt"), makeFile("a.txt"), makeFile("b mit Blank ü.txt")};
    test::scriptedDialogs().openAnswers.push_back(chosen);
    QString shownText;
    view.setDetailTexts(QString(), folder);
    but_source_Click(*controller, [&](EditorMode mode) {
        frm_choosedir editor(view, mode, 0);
        QTimer::singleShot(0, &editor, [&] {
            editor.but_source->click();
            shownText = editor.txt_Eingangsdatei->text();
            editor.but_OK->click();
        });
        editor.exec();
    });
    EXPECT_EQ(shownText, "[3 Dateien ausgewählt]");
    const auto saved = records();
    ASSERT_EQ(saved.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(saved[static_cast<size_t>(i)].source, chosen[i]);
        EXPECT_EQ(saved[static_cast<size_t>(i)].folder, folder);
    }
    EXPECT_EQ(controller->model().rowCount(), 3);
    EXPECT_FALSE(gSelectedFiles.has_value()) << "the writer empties the hand-over";
}

TEST_F(EntryCommandsTest, EditorOkWithoutFilesAsksForThemAndCancelChangesNothing) {
    but_source_Click(*controller, [&](EditorMode mode) {
        frm_choosedir editor(view, mode, 0);
        QTimer::singleShot(0, &editor, [&] {
            editor.but_OK->click();  // nothing chosen: a message, the editor stays
            EXPECT_TRUE(editor.isVisible());
            editor.but_exit->click();
        });
        editor.exec();
    });
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text,
              "Bitte geben Sie die Eingangsdatei(en) ein.");
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(view.folder, "") << "cancelling empties both detail labels";
}

// Escape cancels as "Abbrechen" does, in the add and in the edit mode.
TEST_F(EntryCommandsTest, EscapeInTheEditorChangesNothing) {
    const QString folder = path("ziel");
    QDir().mkpath(folder);
    const QString chosen = makeFile("gewählt.txt");
    const auto pressEscapeAfterChoosing = [&](EditorMode mode) {
        frm_choosedir editor(view, mode, 1);
        QTimer::singleShot(0, &editor, [&] {
            if (mode == EditorMode::Add) editor.but_source->click();
            QTest::keyClick(&editor, Qt::Key_Escape);
        });
        editor.exec();
    };
    test::scriptedDialogs().openAnswers.push_back(QStringList{chosen});
    view.setDetailTexts(QString(), folder);
    but_source_Click(*controller, pressEscapeAfterChoosing);
    EXPECT_TRUE(records().empty()) << "Escape added the chosen file";

    add({chosen}, path("alt"));
    controller->model().setRowSelected(0, true);
    controller->timer2Tick();
    but_Edit_Click(*controller, [&](EditorMode mode) {
        view.setDetailTexts(view.source, folder);  // the user browsed to another folder
        pressEscapeAfterChoosing(mode);
    });
    const auto saved = records();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].folder, path("alt")) << "Escape changed the entry";
}

TEST_F(EntryCommandsTest, MirroredFoldersAreCreatedBelowTheBackupFolder) {
    const QString deep = makeFile("eins/zwei/brief.txt");
    gUseOrigPath = true;
    add({deep}, path("sicherung"));
    const auto saved = records();
    ASSERT_EQ(saved.size(), 1u);
    const QString expected = path("sicherung") + "/" + path("eins/zwei").mid(1);
    EXPECT_EQ(saved[0].folder, expected);
    EXPECT_TRUE(QDir(expected).exists()) << "both levels are created";

    // A file directly in "/" adds no folder level.
    gUseOrigPath = true;
    add({"/bravel-gibt-es-nicht.txt"}, path("sicherung"));
    EXPECT_EQ(records().back().folder, path("sicherung"));
}

TEST_F(EntryCommandsTest, SymbolicLinksAmongChosenFilesAreRefusedAndRecorded) {
    const QString real = makeFile("echt.txt");
    ASSERT_TRUE(QFile::link(real, path("verknuepfung.txt")));
    const QStringList files = gSplitMultiselectFiles(
        dir.path() + QChar(0) + "echt.txt" + QChar(0) + "verknuepfung.txt", false);
    EXPECT_EQ(files, QStringList{real});
    ASSERT_EQ(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrModul(), "col_gSplitMultiselectFiles");
    EXPECT_EQ(gErrorStack.Item(1)->ErrEvent(),
              "Datei-Link wird nicht aufgenommen: 'verknuepfung.txt'");

    // Paths handed over by the scanner are taken unchanged.
    const QStringList scanned =
        gSplitMultiselectFiles(real + QChar(0) + path("b.txt") + QChar(0), true);
    EXPECT_EQ(scanned, (QStringList{real, path("b.txt")}));
}

TEST_F(EntryCommandsTest, ChosenPathsWithBlanksAtTheirEndsAreTakenExactly) {
    const QStringList chosen{makeFile("trailing.txt "), makeFile(" leading.txt")};
    makeFile("trailing.txt");  // the name without its blank, which must not stand in
    const QString folder = path("bak trailing ");
    test::scriptedDialogs().openAnswers.push_back(chosen);
    view.setDetailTexts(QString(), folder);
    but_source_Click(*controller, [&](EditorMode mode) {
        frm_choosedir editor(view, mode, 0);
        QTimer::singleShot(0, &editor, [&] {
            editor.but_source->click();
            editor.but_OK->click();
        });
        editor.exec();
    });
    EXPECT_TRUE(test::scriptedDialogs().messages.empty()) << "both files exist as chosen";
    const auto saved = records();
    ASSERT_EQ(saved.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(saved[i].source, chosen[static_cast<int>(i)]);
        EXPECT_EQ(saved[i].folder, folder);
    }
    EXPECT_TRUE(QFileInfo(folder).isDir()) << "the chosen folder is created as it is named";
    EXPECT_FALSE(QFileInfo::exists(path("bak trailing")));
    CatalogListModel& model = controller->model();
    ASSERT_EQ(model.rowCount(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(model.cellColor(r, col::kSource), listcolor::kBlack)
            << model.cell(r, col::kSource).toStdString();
        EXPECT_EQ(model.cellColor(r, col::kFolder), listcolor::kBlack);
        EXPECT_EQ(model.cell(r, col::kSize).trimmed(), "0");
    }
    EXPECT_TRUE(gCatalogFiles.Item(1)->acSourceFile().endsWith("trailing.txt ") ||
                gCatalogFiles.Item(2)->acSourceFile().endsWith("trailing.txt "));
}

TEST_F(EntryCommandsTest, TheEditorStartsInTheEntrysFolderAsItIsNamed) {
    QDir().mkpath(path("ordner"));
    QDir().mkpath(path("ordner "));
    view.setDetailTexts(QString(), path("ordner "));
    frm_choosedir editor(view, EditorMode::Edit, 1);
    auto* model = qobject_cast<QFileSystemModel*>(editor.dir_Directory->model());
    ASSERT_TRUE(model);
    EXPECT_EQ(model->filePath(editor.dir_Directory->currentIndex()), path("ordner "));
    EXPECT_EQ(view.folder, path("ordner "));
}

TEST_F(EntryCommandsTest, AChosenNameThatIsNoTextIsRecordedNotAdded) {
    const QString good = makeFile("gut.txt");
    const QByteArray badName = QFile::encodeName(dir.path()) + "/schlecht\xFFname.txt";
    const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const auto removeBadName = qScopeGuard([&] { ::unlink(badName.constData()); });
    // A file dialog lists the name with a replacement character, and hands that text back.
    const QString shown = QFile::decodeName(badName);
    ASSERT_FALSE(QFileInfo::exists(shown));

    const QStringList files = gSplitMultiselectFiles(
        dir.path() + QChar(0) + "gut.txt" + QChar(0) + shown.mid(shown.lastIndexOf('/') + 1),
        false);
    EXPECT_EQ(files, QStringList{good});
    ASSERT_EQ(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrModul(), "col_gSplitMultiselectFiles");
    EXPECT_EQ(gErrorStack.Item(1)->ErrNumber(), 52);
    EXPECT_EQ(gErrorStack.Item(1)->ErrEvent(), "Name ist kein Text und wird nicht aufgenommen: '" +
                                                   dir.path() + "/schlecht\\xFFname.txt'");

    // Chosen alone in the editor: nothing is taken, so OK asks for files.
    gErrorStack.Clear();
    test::scriptedDialogs().openAnswers.push_back(QStringList{shown});
    but_source_Click(*controller, [&](EditorMode mode) {
        frm_choosedir editor(view, mode, 0);
        QTimer::singleShot(0, &editor, [&] {
            editor.but_source->click();
            editor.but_OK->click();
            editor.but_exit->click();
        });
        editor.exec();
    });
    EXPECT_EQ(gErrorStack.Count(), 1);
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text,
              "Bitte geben Sie die Eingangsdatei(en) ein.");
    EXPECT_TRUE(records().empty());
}

// How many pixels of a widget as drawn are dark: the lines of a picture button's picture.
int darkPixels(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)).lightness() < 110) ++dark;
    return dark;
}

TEST_F(EntryCommandsTest, TheScannerButtonLooksDisabledWhileOnlyTheFolderCanChange) {
    const auto keptRunner = frm_choosedir::scannerRunner;
    const auto restoreRunner = qScopeGuard([&] { frm_choosedir::scannerRunner = keptRunner; });
    frm_choosedir::scannerRunner = [](QWidget*) { return QStringLiteral("CANCEL"); };
    view.setDetailTexts(path("a.txt"), dir.path());
    frm_choosedir several(view, EditorMode::Edit, 2);
    frm_choosedir one(view, EditorMode::Edit, 1);
    several.show();
    one.show();
    ASSERT_FALSE(several.but_ds->isEnabled());
    ASSERT_TRUE(one.but_ds->isEnabled());
    const int enabled = darkPixels(one.but_ds);
    const int disabled = darkPixels(several.but_ds);
    ASSERT_GT(enabled, 20) << "the enabled picture is drawn in dark lines";
    EXPECT_LT(disabled, enabled / 4)
        << "disabled, the picture is faint like the greyed text beside it";
}

TEST_F(EntryCommandsTest, EditingTwoRowsChangesOnlyTheirFolders) {
    QDir().mkpath(path("alt"));
    const QString a = makeFile("a.txt");
    const QString b = makeFile("b.txt");
    const QString c = makeFile("c.txt");
    add({a, b, c}, path("alt"));
    controller->model().setRowSelected(0, true);
    controller->model().setRowSelected(2, true);
    but_Edit_Click(*controller, [&](EditorMode) { view.setDetailTexts(view.source, path("neu")); });
    const auto saved = records();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0].source, a);
    EXPECT_EQ(saved[0].folder, path("neu"));
    EXPECT_EQ(saved[1].folder, path("alt"));
    EXPECT_EQ(saved[2].source, c);
    EXPECT_EQ(saved[2].folder, path("neu"));

    // A cancelled editor changes nothing.
    controller->model().setRowSelected(1, true);
    but_Edit_Click(*controller, [&](EditorMode) { view.setDetailTexts(QString(), QString()); });
    EXPECT_EQ(records()[1].folder, path("alt"));
}

TEST_F(EntryCommandsTest, RemovingEntriesTakesExactlyTheSelectedRecordsAndNoFile) {
    const QString a = makeFile("a.txt");
    const QString b = makeFile("b.txt");
    QDir().mkpath(path("z"));
    add({a, b}, path("z"));
    controller->model().setRowSelected(0, true);
    test::scriptedDialogs().messageAnswers.push_back(MsgResult::No);
    but_delete_Click(*controller);
    EXPECT_EQ(records().size(), 2u) << "No changes nothing";

    controller->model().setRowSelected(0, true);
    test::scriptedDialogs().messageAnswers.push_back(MsgResult::Yes);
    but_delete_Click(*controller);
    EXPECT_EQ(test::scriptedDialogs().messages.back().text,
              "Markierte Einträge aus dem Katalog '" + catalog + "' entfernen?");
    const auto left = records();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].source, b);
    EXPECT_TRUE(QFile::exists(a));
}

TEST_F(EntryCommandsTest, DeletingBackupCopiesClearsReadOnlyAndWalksEmptyFoldersUp) {
    const QString source = makeFile("quelle/brief.txt");
    const QString other = makeFile("quelle/notiz.txt");
    const QString deepFolder = path("sicherung/stufe1/stufe2");
    add({source}, deepFolder);
    add({other}, path("sicherung"));
    makeFile("sicherung/stufe1/stufe2/brief.txt", "Kopie");
    makeFile("sicherung/notiz.txt", "bleibt");
    QFile::setPermissions(path("sicherung/stufe1/stufe2/brief.txt"), QFileDevice::ReadOwner);
    writeSetting(keys::setup_chk_DeletePathAfterDelLocalFile, QString("1"));

    const int row = controller->model().cell(0, col::kSource) == source ? 0 : 1;
    controller->model().setRowSelected(row, true);
    test::scriptedDialogs().messageAnswers.push_back(MsgResult::Yes);
    mDeleteFiles(*controller, DeleteMode::Local);
    EXPECT_EQ(test::scriptedDialogs().messages.back().text,
              "Löschen von lokalen Dateien bestätigen:\r\n\r\nSoll die Datei physikalisch gelöscht "
              "werden?");
    EXPECT_FALSE(QFile::exists(path("sicherung/stufe1/stufe2/brief.txt")));
    EXPECT_FALSE(QDir(path("sicherung/stufe1")).exists()) << "both emptied levels go";
    EXPECT_TRUE(QFile::exists(path("sicherung/notiz.txt")))
        << "the walk stops at a folder that holds a file";
    EXPECT_EQ(records().size(), 2u) << "with the entry option off the entries stay";
    EXPECT_TRUE(QFile::exists(source));

    // With the entry option on, the entry goes too.
    writeSetting(keys::setup_chk_DeleteItemshAfterDelLocalFile, QString("1"));
    controller->model().selectAll(true);
    test::scriptedDialogs().messageAnswers.push_back(MsgResult::Yes);
    mDeleteFiles(*controller, DeleteMode::Local);
    EXPECT_EQ(test::scriptedDialogs().messages.back().text,
              "Löschen von lokalen Dateien bestätigen:\r\n\r\nSollen die Dateien physikalisch "
              "gelöscht werden?");
    EXPECT_TRUE(records().empty());
}

// The backup folder is the source's own folder, or holds a hard link of the source: the "copy" is
// the original. A symbolic link in the backup folder is only a link and goes.
TEST_F(EntryCommandsTest, DeletingBackupCopiesNeverDeletesTheEntrysSource) {
    const QString inPlace = makeFile("hier/selbst.txt", "Original 1");
    const QString hardLinked = makeFile("quelle/verlinkt.txt", "Original 2");
    const QString symLinked = makeFile("quelle/symbolisch.txt", "Original 3");
    add({inPlace}, path("hier"));
    add({hardLinked, symLinked}, path("sicherung"));
    QDir().mkpath(path("sicherung"));
    ASSERT_EQ(::link(QFile::encodeName(hardLinked).constData(),
                     QFile::encodeName(path("sicherung/verlinkt.txt")).constData()),
              0);
    ASSERT_TRUE(QFile::link(symLinked, path("sicherung/symbolisch.txt")));
    writeSetting(keys::setup_chk_DeleteItemshAfterDelLocalFile, QString("1"));

    controller->model().selectAll(true);
    test::scriptedDialogs().messageAnswers.push_back(MsgResult::Yes);
    mDeleteFiles(*controller, DeleteMode::Local);
    EXPECT_EQ(test::readFile(inPlace), "Original 1");
    EXPECT_EQ(test::readFile(hardLinked), "Original 2");
    EXPECT_EQ(test::readFile(symLinked), "Original 3");
    EXPECT_FALSE(QFileInfo(path("sicherung/symbolisch.txt")).isSymLink());
    const auto left = records();
    ASSERT_EQ(left.size(), 2u) << "the entries whose originals stayed stay too";
    EXPECT_EQ(left[0].source, inPlace);
    EXPECT_EQ(left[1].source, hardLinked);
}

TEST_F(EntryCommandsTest, DeletingSourcesAsksTwiceAndTouchesNoEntryOrCopy) {
    const QString source = makeFile("quelle.txt");
    add({source}, path("s"));
    makeFile("s/quelle.txt", "Kopie");
    controller->model().setRowSelected(0, true);
    test::scriptedDialogs().messageAnswers = {MsgResult::Yes, MsgResult::No};
    mDeleteFiles(*controller, DeleteMode::Original);
    EXPECT_TRUE(QFile::exists(source)) << "No at the second question changes nothing";
    EXPECT_EQ(test::scriptedDialogs().messages.back().text, "Wirklich löschen?");

    controller->model().setRowSelected(0, true);
    test::scriptedDialogs().messageAnswers = {MsgResult::Yes, MsgResult::Yes};
    mDeleteFiles(*controller, DeleteMode::Original);
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_TRUE(QFile::exists(path("s/quelle.txt")));
    EXPECT_EQ(records().size(), 1u);
}

TEST_F(EntryCommandsTest, EmptyFolderWalkNeverRemovesTheHomeFolder) {
    const QByteArray realHome = qgetenv("HOME");
    const QString home = path("heim");
    QDir().mkpath(home + "/leer/leerer");
    qputenv("HOME", QFile::encodeName(home));
    mRemoveEmptyFolders(home + "/leer/leerer");
    qputenv("HOME", realHome);
    EXPECT_FALSE(QDir(home + "/leer").exists());
    EXPECT_TRUE(QDir(home).exists()) << "the home folder stays although it is empty now";
}

}  // namespace
