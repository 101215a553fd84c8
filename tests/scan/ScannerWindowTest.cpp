#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "TestSupport.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "catalog/EntryWriter.h"
#include "catalog/frm_choosedir.h"
#include "listtools/ListSearch.h"
#include "platform/Clock.h"
#include "platform/Twips.h"
#include "scan/DirectoryWalk.h"
#include "scan/frm_dscan.h"

using namespace bravel;

namespace {

class ScannerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        gCancelScan = false;
        gSelectedFiles.reset();
        ASSERT_TRUE(dir.isValid());
        root = dir.path() + "/daten";
        for (const char* name : {"a.txt", "b.txt", "unter/c.txt"}) {
            QDir().mkpath(QFileInfo(root + "/" + name).path());
            test::writeFile(root + "/" + name, "x");
        }
    }
    void TearDown() override { gCancelScan = false; }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    // Chooses root in the scripted folder browser and scans it.
    void scan(frm_dscan& window, const QString& folder) {
        test::scriptedDialogs().folderAnswers.push_back(folder);
        window.but_Dialog->click();
    }
    QString heading(frm_dscan& window) {
        return window.model().headerData(0, Qt::Horizontal).toString();
    }

    QTemporaryDir dir;
    QString root;
};

TEST_F(ScannerWindowTest, LoadsWithCaptionOneColumnAndTheDefaultExportFile) {
    frm_dscan window;
    EXPECT_EQ(window.windowTitle(), "Zezadaze Rodoraviz Edevedu");
    EXPECT_EQ(window.lbl_caption->text(), "      Zezadaze Rodoraviz Edevedu");
    EXPECT_EQ(window.but_Dialog->text(), "...");
    EXPECT_EQ(window.but_ScanDirectory->text(), "Scan Directory");
    EXPECT_EQ(window.model().columnCount(), 1);
    EXPECT_EQ(heading(window), "Files");
    EXPECT_EQ(window.txt_Suche->text(), searchPlaceholder());
    EXPECT_EQ(window.exportPath(), QCoreApplication::applicationDirPath() + "/export.txt");
    EXPECT_EQ(window.minimumSize(), QSize(twipsToPixels(4540), twipsToPixels(3640)));
    EXPECT_TRUE(window.timr.isActive());
    EXPECT_EQ(window.timr.interval(), 100);
    EXPECT_EQ(window.windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
}

TEST_F(ScannerWindowTest, AScanListsEveryFileAndNamesTheCountInTheHeading) {
    frm_dscan window;
    window.show();
    scan(window, root);
    ASSERT_EQ(test::scriptedDialogs().fileRequests.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().fileRequests[0].kind, "folder");
    EXPECT_EQ(test::scriptedDialogs().fileRequests[0].request.title, "qfn.brvl");
    ASSERT_EQ(window.model().rowCount(), 3);
    QStringList rows;
    for (int r = 0; r < 3; ++r) rows << window.model().cell(r, 0);
    EXPECT_EQ(rows, window.foundEntries()) << "rows in walk order";
    rows.sort();
    EXPECT_EQ(rows, (QStringList{root + "/a.txt", root + "/b.txt", root + "/unter/c.txt"}));
    EXPECT_EQ(heading(window), "3 Dateien in " + root + "/...");
    EXPECT_TRUE(window.model().selectedRows().empty()) << "the row added last is deselected";
    EXPECT_EQ(window.but_Dialog->text(), "...");
    EXPECT_TRUE(window.but_Dialog->isEnabled());
    EXPECT_TRUE(window.but_exit->isEnabled());
    EXPECT_EQ(window.lastFolder(), root);
    EXPECT_FALSE(gCancelScan);
}

TEST_F(ScannerWindowTest, CancellingTheBrowserLeavesTheList) {
    frm_dscan window;
    scan(window, root);
    window.but_Dialog->click();  // no answer queued: cancelled
    EXPECT_EQ(window.model().rowCount(), 3);
    EXPECT_EQ(window.but_Dialog->text(), "...");
}

TEST_F(ScannerWindowTest, AnEmptyFolderGivesNoRowsAndZeroFiles) {
    QDir().mkpath(path("leer"));
    frm_dscan window;
    scan(window, path("leer/"));
    EXPECT_EQ(window.model().rowCount(), 0);
    EXPECT_EQ(heading(window), "0 Dateien in " + path("leer/") + "...");
}

TEST_F(ScannerWindowTest, CancelDuringTheWalkGivesAnEmptyListAndDateien) {
    frm_dscan window;
    QTimer::singleShot(0, window.but_Cancel, &QPushButton::click);
    scan(window, root);
    EXPECT_EQ(window.model().rowCount(), 0);
    EXPECT_EQ(heading(window), "Dateien");
    EXPECT_FALSE(gCancelScan) << "cleared at the end of the scan";
}

TEST_F(ScannerWindowTest, TakingOverNothingShowsTheMessageAndKeepsTheWindow) {
    frm_dscan window;
    window.show();
    scan(window, root);
    window.but_OK->click();
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text,
              "Bitte markieren Sie die zu übernehmenden Dateien oder beenden Sie diesen Vorgang");
    EXPECT_EQ(test::scriptedDialogs().messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(test::scriptedDialogs().messages[0].caption,
              QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    EXPECT_FALSE(gSelectedFiles.has_value());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.lst_Files->isEnabled());
    EXPECT_EQ(window.scannerResult(), "CANCEL");
}

TEST_F(ScannerWindowTest, TwoTickedRowsAreHandedOverAsPathNulPathNul) {
    test::writeFile(root + "/ mit Blanks ", "x");
    frm_dscan window;
    window.show();
    scan(window, root);
    CatalogListModel& model = window.model();
    int blanks = -1, other = -1;
    for (int r = 0; r < model.rowCount(); ++r) {
        if (model.cell(r, 0).endsWith("mit Blanks ")) blanks = r;
        if (model.cell(r, 0).endsWith("b.txt")) other = r;
    }
    ASSERT_GE(blanks, 0);
    ASSERT_GE(other, 0);
    // Ticking a row selects it at once.
    model.setData(model.index(blanks, 0), Qt::Checked, Qt::CheckStateRole);
    model.setData(model.index(other, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(model.isRowSelected(blanks));
    const int first = std::min(blanks, other), second = std::max(blanks, other);
    const QString expected = model.cell(first, 0) + QChar(0) + model.cell(second, 0) + QChar(0);
    EXPECT_EQ(window.takeOverText(), expected);
    EXPECT_TRUE(window.takeOverText().contains(root + "/ mit Blanks " + QChar(0)))
        << "the name keeps its blanks";
    window.but_OK->click();
    EXPECT_EQ(window.scannerResult(), "OK");
    ASSERT_TRUE(gSelectedFiles.has_value());
    EXPECT_EQ(*gSelectedFiles, (QStringList{model.cell(first, 0), model.cell(second, 0)}));
    for (const QString& taken : *gSelectedFiles)
        EXPECT_TRUE(QFileInfo::exists(taken)) << taken.toStdString();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ScannerWindowTest, SelectingARowTicksIt) {
    frm_dscan window;
    window.show();
    scan(window, root);
    window.model().setRowSelected(1, true);
    EXPECT_EQ(window.model().data(window.model().index(1, 0), Qt::CheckStateRole).toInt(),
              Qt::Checked);
    EXPECT_EQ(window.model().data(window.model().index(0, 0), Qt::CheckStateRole).toInt(),
              Qt::Unchecked);
}

TEST_F(ScannerWindowTest, ExitAndTheCloseImageCancel) {
    frm_dscan window;
    window.show();
    scan(window, root);
    window.model().setRowSelected(0, true);
    QTest::mouseClick(window.img_systemclose, Qt::LeftButton);
    EXPECT_EQ(window.scannerResult(), "CANCEL");
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(gSelectedFiles.has_value());
}

TEST_F(ScannerWindowTest, TheBannerExportWritesTheBannerAndTheSelectedRows) {
    setClockForTest(QDateTime(QDate(2025, 3, 1), QTime(12, 0)));
    frm_dscan window;
    scan(window, root);
    test::scriptedDialogs().saveAnswers.push_back(path("export.txt"));
    window.statusPanelClick();
    EXPECT_EQ(window.exportPath(), path("export.txt"));
    EXPECT_FALSE(QFile::exists(path("export.txt"))) << "the panel only chooses the file";
    const QByteArray banner =
        "####################################\r\n"
        "#    Treewalk(DirectoryScanner)\r\n"
        "#    (c) 2025 Quillfen\r\n"
        "####################################\r\n"
        "\r\n";
    window.mnu_export2ascii->trigger();
    EXPECT_EQ(test::readFile(path("export.txt")), banner)
        << "no selected row: the banner and the empty line";
    window.model().setRowSelected(2, true);
    window.model().setRowSelected(0, true);
    window.mnu_export2ascii->trigger();
    EXPECT_EQ(test::readFile(path("export.txt")), banner + window.model().cell(0, 0).toUtf8() +
                                                      "\r\n" + window.model().cell(2, 0).toUtf8() +
                                                      "\r\n");
    window.prepareMenu();
    EXPECT_EQ(window.mnu_export2ascii->text(), "markierten Text in: '" + path("export.txt") + "'");
}

TEST_F(ScannerWindowTest, AnotherExportFileIsChosenAndWrittenAtOnce) {
    frm_dscan window;
    scan(window, root);
    window.model().setRowSelected(1, true);
    window.mnu_export2ascii_new->trigger();  // cancelled: nothing changes
    EXPECT_EQ(window.exportPath(), QCoreApplication::applicationDirPath() + "/export.txt");
    test::scriptedDialogs().saveAnswers.push_back(path("neu.txt"));
    window.mnu_export2ascii_new->trigger();
    EXPECT_EQ(test::scriptedDialogs().fileRequests.back().request.filter, "Text (*.txt)|*.txt");
    EXPECT_EQ(window.exportPath(), path("neu.txt"));
    EXPECT_TRUE(test::readFile(path("neu.txt"))
                    .endsWith("\r\n\r\n" + window.model().cell(1, 0).toUtf8() + "\r\n"));
}

TEST_F(ScannerWindowTest, TheClipboardGetsTheSelectedRowsEachWithCrLf) {
    frm_dscan window;
    scan(window, root);
    QGuiApplication::clipboard()->setText("alt");
    window.mnu_export2clip->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "") << "no selected row: an empty text";
    window.model().setRowSelected(0, true);
    window.model().setRowSelected(1, true);
    window.mnu_export2clip->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              window.model().cell(0, 0) + "\r\n" + window.model().cell(1, 0) + "\r\n");
}

TEST_F(ScannerWindowTest, TheSearchBoxSelectsTheMatchesForTheTakeOver) {
    frm_dscan window;
    window.show();
    scan(window, root);
    window.txt_Suche->setText("UNTER/|b.txt");
    std::vector<int> rows = window.model().selectedRows();
    ASSERT_EQ(rows.size(), 2u);
    window.but_OK->click();
    ASSERT_TRUE(gSelectedFiles.has_value());
    QStringList taken = *gSelectedFiles;
    taken.sort();
    EXPECT_EQ(taken, (QStringList{root + "/b.txt", root + "/unter/c.txt"}));
}

TEST_F(ScannerWindowTest, RunScannerIsModalAndAnswersOkOrCancel) {
    QTimer::singleShot(0, [this] {
        auto* window = qobject_cast<frm_dscan*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        scan(*window, root);
        window->model().setRowSelected(0, true);
        window->but_OK->click();
    });
    EXPECT_EQ(runScanner(nullptr), "OK");
    ASSERT_TRUE(gSelectedFiles.has_value());
    EXPECT_EQ(gSelectedFiles->size(), 1);
    QTimer::singleShot(0, [] {
        auto* window = qobject_cast<frm_dscan*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->model().rowCount(), 0) << "every opening starts with an empty list";
        window->but_exit->click();
    });
    EXPECT_EQ(runScanner(nullptr), "CANCEL");
}

TEST_F(ScannerWindowTest, TheEntryEditorsScannerButtonOpensItAndTakesTheFiles) {
    frm_main window;  // the main window links the editor to the scanner
    frm_choosedir editor(window, EditorMode::Add, 0);
    ASSERT_TRUE(editor.but_ds->isEnabled());
    QString ticked;
    QTimer::singleShot(0, [this, &ticked] {
        auto* scanner = qobject_cast<frm_dscan*>(QApplication::activeModalWidget());
        ASSERT_NE(scanner, nullptr);
        scan(*scanner, root);
        scanner->model().setRowSelected(1, true);
        ticked = scanner->model().cell(1, 0).trimmed();
        scanner->but_OK->click();
    });
    editor.but_ds->click();
    EXPECT_TRUE(ticked.startsWith(root + "/"));
    EXPECT_EQ(editor.txt_Eingangsdatei->text(), ticked);
}

}  // namespace
