#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "../faults/FaultSupport.h"
#include "TestSupport.h"
#include "catalog/CatalogListModel.h"
#include "errors/COLError.h"
#include "listtools/ListExport.h"

using namespace bravel;

namespace {

class ListExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        ASSERT_TRUE(dir.isValid());
        std::vector<ListColumn> columns;
        for (const char* header : {"Eingangsdatei", "Sicherungspfad", "KByte", "Geändert", "Status",
                                   "OAttr", "ZAttr", "", "Host und Datum;"})
            columns.push_back(ListColumn{QString::fromUtf8(header), 1000, QString()});
        model.setColumns(columns);
        for (int i = 1; i <= 3; ++i) {
            ListRow row;
            row.key = QString::number(i) + "a";
            row.cells = {QString("/daten/d%1.txt").arg(i),
                         "/sicherung",
                         "                   1",
                         "01.02.2024 10:00:00",
                         QString(" gesichert (%1)").arg(i),
                         "A",
                         "",
                         QString::number(i * 10),
                         "pc20240101;"};
            model.appendRow(row);
        }
    }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    QTemporaryDir dir;
    CatalogListModel model;
};

const QByteArray kHeader = "Eingangsdatei;Sicherungspfad;KByte;Geändert;Status;OAttr;ZAttr;";

TEST_F(ListExportTest, NoSelectedRowWritesOnlyTheHeader) {
    gExportList(model, path("leer.txt"), 0);
    EXPECT_EQ(test::readFile(path("leer.txt")), kHeader + "\r\n");
    gExportList(model, QString(), 2);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(kHeader));
}

TEST_F(ListExportTest, NineColumnsGiveSevenFieldsSelectedRowsInListOrder) {
    model.setRowSelected(2, true);
    model.setRowSelected(0, true);
    gExportList(model, path("zwei.txt"), 0);
    EXPECT_EQ(test::readFile(path("zwei.txt")), kHeader + "\r\n" +
                                                    "/daten/d1.txt;/sicherung;                   "
                                                    "1;01.02.2024 10:00:00; gesichert (1);A;;\r\n"
                                                    "/daten/d3.txt;/sicherung;                   "
                                                    "1;01.02.2024 10:00:00; gesichert (3);A;;\r\n");
}

TEST_F(ListExportTest, ComputerColumnsAddOneFieldEachToHeaderAndLines) {
    const int pc = model.addColumn(ListColumn{"pc", 1200, "pc"});
    const int laptop = model.addColumn(ListColumn{"laptop", 1200, "pc"});
    model.setCell(1, pc, "20240101");
    model.setCell(1, laptop, "20240315");
    model.setRowSelected(1, true);
    gExportList(model, QString(), 2);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8(kHeader) + "pc;laptop;\r\n" +
                  "/daten/d2.txt;/sicherung;                   1;01.02.2024 10:00:00; gesichert "
                  "(2);A;;20240101;20240315;");
    gExportList(model, path("pc.txt"), 0);
    EXPECT_TRUE(test::readFile(path("pc.txt")).endsWith(";20240101;20240315;\r\n"));
}

TEST_F(ListExportTest, AnExistingFileIsReplaced) {
    test::writeFile(path("alt.txt"), QByteArray(5000, 'x'));
    gExportList(model, path("alt.txt"), 0);
    EXPECT_EQ(test::readFile(path("alt.txt")), kHeader + "\r\n");
}

TEST_F(ListExportTest, AFileThatCannotBeCreatedGetsNothingAndIsRecorded) {
    const QString file = path("fehlt/ordner mit ü/x.txt");
    gExportList(model, file, 0);
    EXPECT_FALSE(QFile::exists(file));
    ASSERT_EQ(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrNumber(), 53);  // no such folder
    EXPECT_EQ(gErrorStack.Item(1)->ErrModul(), "v_gExportList");
    EXPECT_EQ(gErrorStack.Item(1)->ErrEvent(), "CreateTextFile(" + file + ")");
    EXPECT_EQ(Err.Number, 0);
}

TEST_F(ListExportTest, AFullDiskIsRecordedAndTheClipboardExportRecordsNothing) {
    test::ScopedTmpfs disk(path("voll"), "size=64k");
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNot();
    disk.fill();
    model.setRowSelected(0, true);
    gExportList(model, path("voll/export.txt"), 0);
    ASSERT_EQ(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrNumber(), 61);
    gExportList(model, QString(), 2);
    EXPECT_EQ(gErrorStack.Count(), 1);
}

TEST_F(ListExportTest, TheSaveDialogChoosesTheFileAndCancellingExportsNothing) {
    test::scriptedDialogs().saveAnswers.push_back(path("gewaehlt.txt"));
    exportListToChosenFile(model);
    ASSERT_EQ(test::scriptedDialogs().fileRequests.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().fileRequests[0].kind, "save");
    EXPECT_EQ(test::scriptedDialogs().fileRequests[0].request.filter, "Text (*.txt)|*.txt");
    EXPECT_EQ(test::scriptedDialogs().fileRequests[0].request.folder, QDir::homePath());
    EXPECT_EQ(test::readFile(path("gewaehlt.txt")), kHeader + "\r\n");
    exportListToChosenFile(model);  // no answer queued: cancelled
    EXPECT_EQ(test::scriptedDialogs().fileRequests.size(), 2u);
}

}  // namespace
