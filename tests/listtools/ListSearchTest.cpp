#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "Fixtures.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "base/RunState.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogListModel.h"
#include "catalog/CatalogState.h"
#include "listtools/ListSearch.h"
#include "platform/CatalogDatabase.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

// A list like the main one: nine columns, rows given as first and second column.
void fill(CatalogListModel& model, const std::vector<std::pair<QString, QString>>& rows) {
    std::vector<ListColumn> columns;
    for (const char* header : {"Eingangsdatei", "Sicherungspfad", "KByte", "Geändert", "Status",
                               "OAttr", "ZAttr", "", "Host und Datum;"})
        columns.push_back(ListColumn{QString::fromUtf8(header), 1000, QString()});
    model.setColumns(columns);
    std::vector<ListRow> built;
    for (size_t i = 0; i < rows.size(); ++i) {
        ListRow row;
        row.key = QString::number(i + 1) + "a";
        row.cells = {rows[i].first, rows[i].second};
        row.colors = {listcolor::kRed, listcolor::kRed};
        built.push_back(row);
    }
    model.appendRows(std::move(built));
}

std::vector<int> selected(const CatalogListModel& model) {
    return model.selectedRows();
}

class ListSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        fill(model, {{"/daten/Brief an Anna.txt", "/sicherung/briefe"},
                     {"/daten/Rechnung.pdf", "/sicherung/geld"},
                     {"/daten/Urlaub.JPG", "/sicherung/bilder"},
                     {"/daten/notizen", "/sicherung/Anna"}});
    }
    CatalogListModel model;
};

TEST_F(ListSearchTest, PlaceholderIsSuchenAndFourteenBlanks) {
    EXPECT_EQ(searchPlaceholder(), "Suchen              ");
    EXPECT_EQ(searchPlaceholder().size(), 20);
}

TEST_F(ListSearchTest, FindInListLooksAtTheFirstColumnUnlessAskedForAll) {
    EXPECT_TRUE(gFindInList(model, "RECHNUNG", 1, false));
    EXPECT_FALSE(gFindInList(model, "anna", 3, false)) << "only in the second column";
    EXPECT_TRUE(gFindInList(model, "anna", 3, true));
    EXPECT_FALSE(gFindInList(model, "anna", 99, true)) << "no such row";
}

TEST_F(ListSearchTest, TwoTermsMarkRowsWithEitherInAnyLetterCase) {
    EXPECT_EQ(gSearchList(model, "rechnung|urlaub.jpg", false), SearchOutcome::Searched);
    EXPECT_EQ(selected(model), (std::vector<int>{1, 2}));
    EXPECT_TRUE(model.rowBold(1));
    EXPECT_TRUE(model.rowBold(2));
    EXPECT_EQ(model.cellColor(1, 0), listcolor::kBlack)
        << "a fill colour is black after the search";
    EXPECT_TRUE(model.rowGhosted(0));
    EXPECT_FALSE(model.rowBold(0));
    EXPECT_EQ(model.cellColor(0, 0), listcolor::kSilver);
    EXPECT_EQ(model.cellColor(0, 1), listcolor::kRed) << "other columns keep their colours";
    EXPECT_TRUE(model.data(model.index(1, 0), Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::FontRole).isValid());
    EXPECT_TRUE(model.data(model.index(3, 0), CatalogListModel::kGhostedRole).toBool());
    EXPECT_EQ(model.data(model.index(0, 0), Qt::ForegroundRole).value<QColor>(),
              QColor(192, 192, 192));
}

TEST_F(ListSearchTest, ATrailingBarIsTheTermAloneAndALoneBarGreysEverything) {
    gSearchList(model, "rechnung|", false);
    EXPECT_EQ(selected(model), (std::vector<int>{1}));
    gSearchList(model, "|", false);
    EXPECT_TRUE(selected(model).empty());
    for (int r = 0; r < model.rowCount(); ++r) {
        EXPECT_TRUE(model.rowGhosted(r)) << r;
        EXPECT_EQ(model.cellColor(r, 0), listcolor::kSilver) << r;
    }
}

TEST_F(ListSearchTest, ALeadingBlankMatchesOnlyWhereTheBlankIs) {
    gSearchList(model, " an", false);
    EXPECT_EQ(selected(model), (std::vector<int>{0})) << "\"Brief an Anna\" has \" an\"";
    gSearchList(model, " rechnung", false);
    EXPECT_TRUE(selected(model).empty()) << "\"/Rechnung\" has no blank before it";
}

TEST_F(ListSearchTest, EmptyingResetsEveryRowAndSelectsNothing) {
    gSearchList(model, "daten", false);
    EXPECT_EQ(selected(model).size(), 4u);
    EXPECT_EQ(gSearchList(model, "", false), SearchOutcome::Emptied);
    EXPECT_TRUE(selected(model).empty());
    for (int r = 0; r < model.rowCount(); ++r) {
        EXPECT_FALSE(model.rowBold(r));
        EXPECT_FALSE(model.rowGhosted(r));
        EXPECT_EQ(model.cellColor(r, 0), listcolor::kBlack);
    }
}

TEST_F(ListSearchTest, ThePlaceholderLeavesTheMarks) {
    gSearchList(model, "urlaub", false);
    EXPECT_EQ(gSearchList(model, searchPlaceholder(), false), SearchOutcome::Placeholder);
    EXPECT_EQ(selected(model), (std::vector<int>{2}));
    EXPECT_TRUE(model.rowGhosted(0));
}

// The search finds a term wherever a case-insensitive QString::contains does: umlauts, the
// Kelvin sign that folds to "k", Greek final sigma, letters beyond the Basic Multilingual Plane,
// a term at the very end or longer than the text.
TEST(ListSearchLetterCaseTest, FindsWhatCaseInsensitiveContainsFinds) {
    const QString texts[] = {QString::fromUtf8("/daten/ÄRGER über Öl.txt"),
                             QString::fromUtf8("Straße"),
                             QString::fromUtf8("ΟΔΟΣ όδος"),
                             QString::fromUtf8("\u212A-Wert"),  // KELVIN SIGN
                             QString::fromUtf8("\U00010400\U00010428 deseret"),
                             QStringLiteral("abc"),
                             QString(),
                             QString::fromUtf8("ende.ZIP")};
    const QString terms[] = {QString::fromUtf8("ärger"),
                             QString::fromUtf8("ÜBER Ö"),
                             QString::fromUtf8("STRASSE"),
                             QString::fromUtf8("straße"),
                             QString::fromUtf8("οδος"),
                             QString::fromUtf8("ΌΔΟΣ"),
                             QStringLiteral("k-w"),
                             QString::fromUtf8("\U00010428"),
                             QString::fromUtf8("\U00010400 DES"),
                             QStringLiteral("abcd"),
                             QStringLiteral(".zip"),
                             QStringLiteral("ZIP"),
                             QStringLiteral("t")};
    CatalogListModel model;
    model.setColumns({ListColumn{QStringLiteral("Eingangsdatei"), 1000, QString()}});
    std::vector<ListRow> rows;
    for (const QString& text : texts) {
        ListRow row;
        row.cells = {text};
        rows.push_back(row);
    }
    model.appendRows(std::move(rows));
    for (const QString& term : terms)
        for (int r = 0; r < model.rowCount(); ++r)
            EXPECT_EQ(gFindInList(model, term, r, false),
                      model.cell(r, 0).contains(term, Qt::CaseInsensitive))
                << term.toStdString() << " in " << model.cell(r, 0).toStdString();
}

TEST_F(ListSearchTest, AllColumnsFindATermOnlyInTheSecondColumn) {
    gSearchList(model, "anna", false);
    EXPECT_EQ(selected(model), (std::vector<int>{0}));
    EXPECT_TRUE(model.rowGhosted(3));
    gSearchList(model, "anna", true);
    EXPECT_EQ(selected(model), (std::vector<int>{0, 3}));
}

// ---- the main window's search box ----------------------------------------------------------

using MainSearchTest = test::TempFolderTest;

TEST_F(MainSearchTest, TheBoxSearchesAndTheAllColumnsBoxRunsItAgain) {
    QDir().mkpath(path("sicherung/anna"));
    QDir().mkpath(path("sicherung/geld"));
    test::writeFile(path("brief.txt"), "b");
    test::writeFile(path("rechnung.txt"), "r");
    setStartCommand({makeCatalog("haupt.bvk", {{path("brief.txt"), path("sicherung/anna")},
                                               {path("rechnung.txt"), path("sicherung/geld")}}),
                     QStringLiteral("/open/")});
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    CatalogListModel& model = window.controller().model();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(window.txt_Suche->text(), searchPlaceholder());
    EXPECT_EQ(window.lbl_shortcut_txtsuchtext->text(), "&S");
    EXPECT_EQ(window.lbl_shortcut_txtsuchtext->buddy(), window.txt_Suche);

    window.txt_Suche->setFocus();
    EXPECT_TRUE(test::waitUntil([&] { return window.txt_Suche->hasFocus(); }));
    EXPECT_EQ(window.txt_Suche->text(), "") << "focus empties the placeholder";
    QTest::keyClicks(window.txt_Suche, "anna");
    EXPECT_TRUE(model.selectedRows().empty()) << "anna is only in the second column";
    EXPECT_TRUE(model.rowGhosted(0));

    window.chk_SearchInAllCols->click();
    EXPECT_EQ(model.selectedRows(), (std::vector<int>{0}));
    EXPECT_TRUE(model.rowBold(0));
    EXPECT_TRUE(window.txt_Suche->hasFocus());
    EXPECT_EQ(window.txt_Suche->text(), "anna");

    window.txt_Suche->clear();
    EXPECT_TRUE(model.selectedRows().empty());
    window.lst_Files->setFocus();
    EXPECT_TRUE(test::waitUntil([&] { return window.lst_Files->hasFocus(); }));
    EXPECT_EQ(window.txt_Suche->text(), searchPlaceholder())
        << "an empty box gets the placeholder back";
    window.close();
}

TEST_F(MainSearchTest, TheSearchRunsOverTheListOfAnotherCatalogWhenItOpens) {
    QDir().mkpath(path("sicherung"));
    for (const char* name : {"brief.txt", "rechnung-1.txt", "foto.jpg", "rechnung-2.txt"})
        test::writeFile(path(name), "x");
    setStartCommand({makeCatalog("haupt.bvk", {{path("brief.txt"), path("sicherung")},
                                               {path("rechnung-1.txt"), path("sicherung")}}),
                     QStringLiteral("/open/")});
    const QString other = makeCatalog("anderer.bvk", {{path("foto.jpg"), path("sicherung")},
                                                      {path("rechnung-2.txt"), path("sicherung")}});
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    CatalogListModel& model = window.controller().model();
    window.txt_Suche->setText("RECHNUNG");
    ASSERT_EQ(model.selectedRows().size(), 1u);

    test::scriptedDialogs().openAnswers.push_back(QStringList{other});
    window.but_DB->click();
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.cell(1, col::kSource), path("rechnung-2.txt"));
    EXPECT_EQ(window.txt_Suche->text(), "RECHNUNG") << "the box keeps its text";
    EXPECT_EQ(model.selectedRows(), (std::vector<int>{1})) << "and its text marks the new rows";
    EXPECT_TRUE(model.rowBold(1));
    EXPECT_TRUE(model.rowGhosted(0));
    EXPECT_FALSE(model.rowBold(0));

    // A catalog opened while the box shows its placeholder: nothing is marked.
    window.txt_Suche->setText(QString());
    window.txt_Suche->setText(searchPlaceholder());
    test::scriptedDialogs().openAnswers.push_back(
        QStringList{gCommandLine.left(gCommandLine.indexOf(" /open/"))});
    window.but_DB->click();
    EXPECT_TRUE(model.selectedRows().empty());
    for (int r = 0; r < model.rowCount(); ++r) EXPECT_FALSE(model.rowGhosted(r));
    window.close();
}

TEST_F(MainSearchTest, FirstActivationBacksUpOnlyTheMatchingRows) {
    QDir().mkpath(path("sicherung"));
    std::vector<test::CatalogEntry> entries;
    for (const char* name : {"bericht-2023.txt", "foto.jpg", "bericht-2024.txt"}) {
        test::writeFile(path(name), name);
        entries.push_back({path(name), path("sicherung")});
    }
    const QString catalog = makeCatalog("haupt.bvk", entries);
    writeSetting(keys::setup_chk_autostart, QString("1"));
    writeSetting(keys::setup_txt_autostart, catalog);
    writeSetting(keys::setup_opt_AutoCopyRange, QString("True"));
    writeSetting(keys::setup_txt_AutoCopyRange, QString("BERICHT"));

    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    window.activateWindow();
    EXPECT_TRUE(test::waitUntil(
        [&] { return QFile::exists(path("sicherung/bericht-2024.txt")) == true; }, 3000));
    EXPECT_TRUE(test::waitUntil([&] { return gIdle; }, 3000));
    EXPECT_TRUE(
        test::waitUntil([&] { return window.txt_Suche->text() == searchPlaceholder(); }, 3000));
    EXPECT_TRUE(QFile::exists(path("sicherung/bericht-2023.txt")));
    EXPECT_FALSE(QFile::exists(path("sicherung/foto.jpg")))
        << "only the matching rows are backed up";
    CatalogListModel& model = window.controller().model();
    EXPECT_TRUE(model.selectedRows().empty()) << "the box is emptied afterwards";
    for (int r = 0; r < model.rowCount(); ++r) EXPECT_FALSE(model.rowGhosted(r));
    EXPECT_FALSE(window.chk_CheckItem->isChecked());
    window.close();
}

}  // namespace
