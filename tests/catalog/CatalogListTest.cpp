#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "Fixtures.h"
#include "RecordingRunObserver.h"
#include "backup/BackupRun.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "catalog/EntryCommands.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

using Entry = test::CatalogEntry;

class CatalogListTest : public test::CatalogControllerTest {
  protected:
    QString makeFile(const QString& name, qint64 size) {
        const QString file = path(name);
        EXPECT_TRUE(test::writeFile(file, QByteArray(static_cast<int>(size), 'x')));
        return file;
    }

    int rowOf(const QString& source) const {
        CatalogListModel& model = controller->model();
        for (int r = 0; r < model.rowCount(); ++r)
            if (model.cell(r, col::kSource) == source) return r;
        return -1;
    }
};

TEST_F(CatalogListTest, EmptyCatalogShowsItsOverlayAndNoCount) {
    const QString catalog = makeCatalog("leer.bvk", {});
    controller->mOpenDB(catalog);
    EXPECT_TRUE(gDBOpen);
    EXPECT_EQ(controller->model().rowCount(), 0);
    EXPECT_EQ(view.overlay, " Keine Einträge im Katalog.");
    EXPECT_TRUE(view.overlayVisible);
    EXPECT_EQ(view.recordCount, "");
}

TEST_F(CatalogListTest, FillChecksSourcesAndFoldersAndFormatsTheCells) {
    QDir().mkpath(path("backup"));
    const QString big = makeFile("gross.bin", 1536000);
    const QString missing = path("fehlt.txt");
    const QString noFolder = makeFile("ohne Ordner ä.txt", 10);
    const QString catalog = makeCatalog(
        "k.bvk", {{big, path("backup"), "gesichert (01.01.2026 10:00:00)", "PC120261201;"},
                  {missing, path("backup"), "", "PC220261202;PC120261203;"},
                  {noFolder, path("nirgends"), "", "PC1 20261204"}});
    controller->mOpenDB(catalog);
    CatalogListModel& model = controller->model();
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(view.recordCount, "3 Einträge");
    EXPECT_FALSE(view.overlayVisible);

    const int bigRow = rowOf(big);
    EXPECT_EQ(model.cell(bigRow, col::kSize), QString(15, ' ') + "1.500") << "right-aligned to 20";
    EXPECT_EQ(model.cell(bigRow, col::kStatus), "gesichert (01.01.2026 10:00:00)")
        << "the entry keeps it trimmed";
    EXPECT_EQ(model.cellColor(bigRow, col::kSource), listcolor::kBlack);
    EXPECT_EQ(model.cell(bigRow, col::kSourceAttr), "");

    const int missingRow = rowOf(missing);
    EXPECT_EQ(model.cell(missingRow, col::kStatus), "[File not found]");
    for (int c : {col::kSize, col::kChanged, col::kSourceAttr})
        EXPECT_EQ(model.cell(missingRow, c).trimmed(), "n/a");
    for (int c : {col::kSource, col::kSize, col::kChanged, col::kStatus, col::kSourceAttr})
        EXPECT_EQ(model.cellColor(missingRow, c), listcolor::kRed) << c;
    EXPECT_EQ(model.cellColor(missingRow, col::kFolder), listcolor::kBlack);

    const int noFolderRow = rowOf(noFolder);
    EXPECT_TRUE(model.cell(noFolderRow, col::kStatus).startsWith("[Path not found]"));
    EXPECT_EQ(model.cellColor(noFolderRow, col::kFolder), listcolor::kRed);
    EXPECT_EQ(model.cellColor(noFolderRow, col::kSource), listcolor::kBlack);
    bool folderRecorded = false;
    for (int i = 1; i <= gErrorStack.Count(); ++i) {
        auto record = gErrorStack.Item(i);
        if (record->ErrModul() == "v_mFillListBox") {
            EXPECT_EQ(record->ErrNumber(), 76);
            EXPECT_EQ(record->ErrEvent(), "Dir$(" + path("nirgends") + ")");
            folderRecorded = true;
        }
    }
    EXPECT_TRUE(folderRecorded);

    // One column per computer; a text without the closing ";" adds none.
    const int pc1 = model.findColumn("PC1");
    const int pc2 = model.findColumn("PC2");
    ASSERT_GE(pc1, col::kFixedColumns);
    ASSERT_GE(pc2, col::kFixedColumns);
    EXPECT_EQ(model.columnCount(), col::kFixedColumns + 2);
    EXPECT_EQ(model.cell(bigRow, pc1), "20261201");
    EXPECT_EQ(model.cell(missingRow, pc1), "20261203");
    EXPECT_EQ(model.cell(missingRow, pc2), "20261202");
    EXPECT_EQ(model.cell(noFolderRow, pc1), "");
    EXPECT_EQ(model.cell(noFolderRow, col::kHostStatus), "PC1 20261204");

    // A refill starts again from the nine columns.
    controller->mFillListBox();
    EXPECT_EQ(model.columnCount(), col::kFixedColumns + 2);
}

// Computerstatus texts that another program or a damaged catalog wrote: pieces without a name,
// without eight digits or empty ones make no column, and no piece reaches a cell of the fixed
// columns (the hidden ID column's header is empty, "Status" is a header too). A run then writes
// each entry's own record, and removing such an entry removes it.
TEST_F(CatalogListTest, MalformedComputerstatusPiecesMakeNoColumnAndRecordsAreFoundByTheirOwnId) {
    QDir().mkpath(path("b"));
    const QString first = makeFile("erste.txt", 100);
    const QString odd = makeFile("seltsam.txt", 200);
    const QString other = makeFile("andere.txt", 300);
    controller->mOpenDB(
        makeCatalog("m.bvk", {{first, path("b"), "", ""},
                              {odd, path("b"), "", "00000001;;Status20240102;PC1abc;PC220240103;;"},
                              {other, path("b"), "", "00000003;"}}));
    CatalogListModel& model = controller->model();
    ASSERT_EQ(model.rowCount(), 3);
    // A computer may be called "Status": its column is its own.
    ASSERT_EQ(model.columnCount(), col::kFixedColumns + 2);
    EXPECT_EQ(model.headerData(col::kFixedColumns, Qt::Horizontal).toString(), "Status");
    EXPECT_EQ(model.headerData(col::kFixedColumns + 1, Qt::Horizontal).toString(), "PC2");
    EXPECT_EQ(model.cell(rowOf(odd), col::kFixedColumns), "20240102");
    const int oddRow = rowOf(odd);
    EXPECT_EQ(model.cell(oddRow, col::kId), "2");
    EXPECT_EQ(model.cell(rowOf(other), col::kId), "3");
    EXPECT_EQ(model.cell(oddRow, col::kStatus), "");
    EXPECT_EQ(model.cell(oddRow, model.findColumn("PC2")), "20240103");

    // Even a hidden cell overwritten by someone: the row's record stays its own.
    model.setCell(oddRow, col::kId, "1");
    model.setRowSelected(oddRow, true);
    gHostName = "PC9";
    test::RecordingRunObserver observer;
    runBackup(model, controller->rset_Record(), observer);
    const auto stored = test::readCatalog(gDB.Access->name());
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0].status, "") << "record 1 is another entry's";
    EXPECT_FALSE(stored[0].size.has_value());
    EXPECT_TRUE(stored[1].status.startsWith("gesichert (")) << stored[1].status.toStdString();
    EXPECT_EQ(stored[1].size, 200);

    model.selectAll(false);
    model.setRowSelected(rowOf(odd), true);
    test::scriptedDialogs().messageAnswers.push_back(MsgResult::Yes);
    but_delete_Click(*controller);
    const auto left = test::readCatalog(gDB.Access->name());
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].source, first);
    EXPECT_EQ(left[1].source, other);
}

TEST_F(CatalogListTest, SizeColumnSortsNumericallyAndHeaderClicksToggle) {
    QDir().mkpath(path("b"));
    const QString small = makeFile("a_klein", 2048);
    const QString large = makeFile("b_gross", 20 * 1024 * 1024);
    const QString middle = makeFile("c_mittel", 300 * 1024);
    controller->mOpenDB(makeCatalog(
        "s.bvk",
        {{small, path("b"), "", ""}, {large, path("b"), "", ""}, {middle, path("b"), "", ""}}));
    CatalogListModel& model = controller->model();
    controller->columnClicked(col::kSize);  // the first click toggles from ascending
    EXPECT_EQ(model.cell(0, col::kSource), large);
    EXPECT_EQ(model.cell(2, col::kSource), small);
    controller->columnClicked(col::kSize);
    EXPECT_EQ(model.cell(0, col::kSource), small);
    EXPECT_EQ(model.cell(1, col::kSource), middle);
    controller->columnClicked(col::kSource);  // another column still toggles: descending now
    EXPECT_EQ(model.cell(0, col::kSource), middle);
}

// "Geändert" sorts by date, not by its text (31.12.2023 before 08.12.2026), with "n/a" first;
// sources sort as the German locale orders them ("Ärger" before "zeile").
TEST_F(CatalogListTest, DatesSortAsDatesAndTextsByTheLocale) {
    QDir().mkpath(path("b"));
    const QString older = makeFile("zeile", 10);
    const QString newer = makeFile("Ärger", 10);
    const QString middle = makeFile("mitte", 10);
    fs::setModificationTime(older, QDateTime(QDate(2023, 12, 31), QTime(9, 0)));
    fs::setModificationTime(newer, QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    fs::setModificationTime(middle, QDateTime(QDate(2024, 1, 15), QTime(9, 0)));
    controller->mOpenDB(makeCatalog("d.bvk", {{newer, path("b"), "", ""},
                                              {path("fehlt"), path("b"), "", ""},
                                              {older, path("b"), "", ""},
                                              {middle, path("b"), "", ""}}));
    CatalogListModel& model = controller->model();
    controller->setSortFromSettings(col::kChanged, 0);
    const auto sourcesInOrder = [&model] {
        QStringList sources;
        for (int r = 0; r < model.rowCount(); ++r)
            sources << QFileInfo(model.cell(r, col::kSource)).fileName();
        return sources;
    };
    EXPECT_EQ(sourcesInOrder(), (QStringList{"fehlt", "zeile", "mitte", "Ärger"}));
    controller->setSortFromSettings(col::kChanged, 1);
    EXPECT_EQ(sourcesInOrder(), (QStringList{"Ärger", "mitte", "zeile", "fehlt"}));
    controller->setSortFromSettings(col::kSource, 0);
    EXPECT_EQ(sourcesInOrder(), (QStringList{"Ärger", "fehlt", "mitte", "zeile"}));
}

TEST_F(CatalogListTest, ClickToggleAddsAndRemovesSingleRows) {
    QDir().mkpath(path("b"));
    std::vector<Entry> entries;
    for (const char* name : {"A", "B", "C", "D"})
        entries.push_back({makeFile(name, 1024), path("b"), "", ""});
    controller->mOpenDB(makeCatalog("t.bvk", entries));
    CatalogListModel& model = controller->model();
    controller->gToggleListItem(0);
    controller->gToggleListItem(1);
    controller->gToggleListItem(2);
    EXPECT_EQ(model.selectedRows(), (std::vector<int>{0, 1, 2}));
    controller->gToggleListItem(1);
    EXPECT_EQ(model.selectedRows(), (std::vector<int>{0, 2}));
    controller->gToggleListItem(-1);
    EXPECT_EQ(model.selectedRows(), (std::vector<int>{0, 2}))
        << "a click beside the rows changes nothing";

    controller->mUpdateSelectionSummary();
    EXPECT_EQ(gSelCount, 2);
    EXPECT_DOUBLE_EQ(gSelTotal, 2048);
    EXPECT_EQ(view.summary, "Anzahl selektierter Dateien: 2 - Gesamtgröße: 2 KB (2.048 Byte)");
    EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);

    // Selecting all leaves the tags: the next click brings the chosen rows back.
    controller->mSelectAll(true);
    EXPECT_EQ(model.selectedRowCount(), 4);
    controller->gToggleListItem(3);
    EXPECT_EQ(model.selectedRows(), (std::vector<int>{0, 2, 3}));
}

TEST_F(CatalogListTest, OpenFailuresShowTheirMessageAndRecord) {
    const QString notACatalog = path("text.bvk");
    test::writeFile(notACatalog, "kein Katalog\n");
    controller->mOpenDB(notACatalog);
    EXPECT_FALSE(gDBOpen);
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text, "Datenbank konnte nicht geöffnet werden!");
    EXPECT_EQ(test::scriptedDialogs().messages[0].icon, MsgIcon::Information);
    ASSERT_EQ(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrModul(), "b_mOpenDB");
    EXPECT_EQ(gErrorStack.Item(1)->ErrEvent(), notACatalog);
    EXPECT_EQ(test::readFile(notACatalog), "kein Katalog\n");
}

// Other programs' SQLite files, chosen by mistake in the Open dialog: refused before anything is
// written, so no journal mode changes and no side files appear; nothing enters the recent list.
TEST_F(CatalogListTest, ForeignSqliteFilesAreRefusedUntouchedAndStayOutOfTheRecentList) {
    const std::vector<std::pair<const char*, const char*>> foreign = {
        {"app.db",
         "CREATE TABLE files (name TEXT, size INTEGER); INSERT INTO files VALUES ('a', 1);"},
        {"halb.bvk",
         "CREATE TABLE FILES (ID INTEGER PRIMARY KEY, Eingangsdatei TEXT); INSERT INTO FILES "
         "VALUES (1, '/a');"},
        {"anders.bvk", "CREATE TABLE OTHER (x); INSERT INTO OTHER VALUES (1);"},
    };
    const QString previous = makeCatalog("vorher.bvk", {});
    for (const auto& [name, sql] : foreign) {
        SCOPED_TRACE(name);
        const QString file = path(QString::fromUtf8(name));
        ASSERT_EQ(QProcess::execute(QStringLiteral("sqlite3"), {file, QString::fromUtf8(sql)}), 0);
        const QByteArray before = test::readFile(file);
        controller->mOpenDB(previous);
        controller->mUpdateRecentList();
        test::scriptedDialogs().reset();
        gErrorStack.Clear();

        test::scriptedDialogs().openAnswers.push_back(QStringList{file});
        controller->but_DB_Click();
        EXPECT_FALSE(gDBOpen);
        ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
        EXPECT_EQ(test::scriptedDialogs().messages[0].text,
                  "Tabelle konnte nicht geöffnet werden!");
        ASSERT_EQ(gErrorStack.Count(), 1);
        EXPECT_EQ(gErrorStack.Item(1)->ErrModul(), "b_mOpenDB");
        EXPECT_EQ(test::readFile(file), before);
        EXPECT_FALSE(QFile::exists(file + "-wal"));
        EXPECT_FALSE(QFile::exists(file + "-shm"));
        EXPECT_FALSE(std::count(gRecentCatalogs.begin(), gRecentCatalogs.end(), file));
    }
}

TEST_F(CatalogListTest, AReadOnlyCatalogSaysSoOnceAndOffersNoEntryCommands) {
    QDir().mkpath(path("b"));
    const QString catalog = makeCatalog(
        "nurlesen.bvk",
        {{makeFile("a.txt", 10), path("b"), "", ""}, {makeFile("b.txt", 10), path("b"), "", ""}});
    ASSERT_TRUE(
        QFile::setPermissions(catalog, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    controller->mOpenDB(catalog);
    ASSERT_TRUE(gDBOpen);
    EXPECT_EQ(view.recordCount, "2 Einträge (schreibgeschützt)");
    EXPECT_TRUE(test::scriptedDialogs().messages.empty()) << "said in the count, not in a box";
    controller->mEnableControls();
    EXPECT_TRUE(view.controls.catalogReadOnly);

    const QString empty = makeCatalog("leer-nurlesen.bvk", {});
    ASSERT_TRUE(QFile::setPermissions(empty, QFile::ReadOwner));
    controller->mOpenDB(empty);
    EXPECT_EQ(view.recordCount, "schreibgeschützt");

    controller->mOpenDB(makeCatalog("schreibbar.bvk", {}));
    EXPECT_EQ(view.recordCount, "");
    controller->mEnableControls();
    EXPECT_FALSE(view.controls.catalogReadOnly);
}

TEST_F(CatalogListTest, CancelledDialogsBehaveAsTheyShould) {
    controller->but_DBNew_Click();  // cancelled Save dialog: nothing shown, nothing recorded
    EXPECT_TRUE(test::scriptedDialogs().messages.empty());
    EXPECT_EQ(gErrorStack.Count(), 0);
    EXPECT_TRUE(gIdle);

    controller->but_DB_Click();  // cancelled Open dialog: a message and a record
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text, "Datenbank konnte nicht geöffnet werden!");
    ASSERT_EQ(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrModul(), "but_DB");
    EXPECT_EQ(gErrorStack.Item(1)->ErrEvent(), "");
}

TEST_F(CatalogListTest, NewCatalogNeverOverwritesAnExistingFile) {
    const QString existing = path("da.bvk");
    test::writeFile(existing, "wichtig");
    test::scriptedDialogs().saveAnswers.push_back(existing);
    controller->but_DBNew_Click();
    EXPECT_FALSE(gDBOpen);
    ASSERT_FALSE(test::scriptedDialogs().messages.empty());
    EXPECT_EQ(test::scriptedDialogs().messages.back().text,
              "Datenbank konnte nicht angelegt werden!");
    EXPECT_EQ(gErrorStack.Item(gErrorStack.Count())->ErrEvent(),
              "Set gDB.Access = DBEngine.Workspaces(0).CreateDatabase(Trim$(" + existing +
                  "), dbLangGeneral)");
    EXPECT_EQ(test::readFile(existing), "wichtig");

    // The name as the dialog gives it, a blank at its end included.
    const QString fresh = path("neu.bvk ");
    test::scriptedDialogs().saveAnswers.push_back(fresh);
    controller->but_DBNew_Click();
    EXPECT_TRUE(gDBOpen);
    EXPECT_EQ(view.overlay, " Keine Einträge im Katalog.");
    EXPECT_EQ(gRecentCatalogs[0], fresh);
    EXPECT_TRUE(QFileInfo::exists(fresh));
    EXPECT_FALSE(QFileInfo::exists(path("neu.bvk")));

    // Opened again through the open dialog, as it is named.
    test::scriptedDialogs().openAnswers.push_back(QStringList{fresh});
    controller->but_DB_Click();
    EXPECT_TRUE(gDBOpen);
    EXPECT_EQ(gDB.Access->name(), fresh);
    EXPECT_FALSE(QFileInfo::exists(path("neu.bvk")));

    // A name without an extension gets the catalogs' own, so that the Open dialog shows it.
    test::scriptedDialogs().saveAnswers.push_back(path("ohne Endung"));
    controller->but_DBNew_Click();
    EXPECT_TRUE(gDBOpen);
    EXPECT_EQ(gRecentCatalogs[0], path("ohne Endung.bvk"));
    EXPECT_TRUE(QFile::exists(path("ohne Endung.bvk")));
    EXPECT_FALSE(QFile::exists(path("ohne Endung")));
}

TEST_F(CatalogListTest, RecentListPutsTheOpenCatalogFirstWithoutDuplicates) {
    const QString a = makeCatalog("A.bvk", {});
    const QString b = makeCatalog("B.bvk", {});
    const QString c = makeCatalog("C.bvk", {});
    gRecentCatalogs = {a, b, c, "", "", "", "", "", ""};
    controller->mOpenDB(b);
    controller->mUpdateRecentList();
    EXPECT_EQ(gRecentCatalogs[0], b);
    EXPECT_EQ(gRecentCatalogs[1], a);
    EXPECT_EQ(gRecentCatalogs[2], c);
    EXPECT_EQ(gRecentCatalogs[3], "");
    EXPECT_EQ(view.captions[0], "&1. " + b);
    EXPECT_EQ(view.captions[3], "");

    // Nine known catalogs and a tenth: the oldest drops out.
    std::array<QString, 9> nine;
    for (int i = 0; i < 9; ++i)
        nine[static_cast<size_t>(i)] = makeCatalog(QString("R%1.bvk").arg(i), {});
    gRecentCatalogs = nine;
    controller->mOpenDB(a);
    controller->mUpdateRecentList();
    EXPECT_EQ(gRecentCatalogs[0], a);
    EXPECT_EQ(gRecentCatalogs[1], nine[0]);
    EXPECT_EQ(gRecentCatalogs[8], nine[7]);

    // A catalog that vanished leaves an empty slot.
    QFile::remove(nine[3]);
    controller->mUpdateRecentList();
    EXPECT_EQ(gRecentCatalogs[4], "");
    EXPECT_EQ(view.captions[4], "");
}

TEST_F(CatalogListTest, VanishedRecentEntryIsClearedOnYes) {
    const QString gone = path("weg.bvk");
    gRecentCatalogs = {gone, "", "", "", "", "", "", "", ""};
    test::scriptedDialogs().messageAnswers = {MsgResult::Yes, MsgResult::Yes};
    controller->recentEntryClicked(1);
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 2u);
    EXPECT_EQ(
        test::scriptedDialogs().messages[0].text,
        "Der Katalog " + gone + " existiert nicht mehr.\r\n\r\nSoll der Eintrag gelöscht werden?");
    EXPECT_EQ(test::scriptedDialogs().messages[1].text,
              "Eintrag " + gone + " aus Registrierung gelöscht.");
    EXPECT_EQ(gRecentCatalogs[0], "");
    EXPECT_EQ(readText(keys::recentReadKey(1), "unset"), "") << "the key stays, written empty";
}

TEST_F(CatalogListTest, RefreshTimerPicksUpARecordAddedElsewhere) {
    QDir().mkpath(path("b"));
    const QString catalog = makeCatalog("geteilt.bvk", {{makeFile("eins", 10), path("b"), "", ""}});
    controller->setAutoUpdate(true, 50);
    controller->mOpenDB(catalog);
    controller->mSetTimers(true, 50);
    ASSERT_EQ(controller->model().rowCount(), 1);

    {  // another writer of the same file
        auto other = CatalogDatabase::open(catalog);
        ASSERT_TRUE(other);
        auto rset = other->OpenRecordset("SELECT FILES.* FROM FILES");
        rset->AddNew();
        rset->SetField("Eingangsdatei", makeFile("zwei", 10));
        rset->SetField("Sicherungspfad", path("b"));
        ASSERT_TRUE(rset->Update());
        rset->Close();
        other->Close();
    }
    QElapsedTimer waited;
    waited.start();
    while (controller->model().rowCount() < 2 && waited.elapsed() < 2000) QTest::qWait(10);
    EXPECT_EQ(controller->model().rowCount(), 2);
    EXPECT_LT(waited.elapsed(), 500) << "within a few intervals";
}

TEST_F(CatalogListTest, RefreshTickLeavesTheRecordsetAloneWhileARunWorks) {
    QDir().mkpath(path("b"));
    controller->mOpenDB(makeCatalog("lauf.bvk", {{makeFile("eins", 10), path("b"), "", ""}}));
    Recordset* during = controller->rset_Record();
    gIdle = false;
    controller->timer1Tick();
    EXPECT_EQ(controller->rset_Record(), during) << "the run still walks this recordset";
    gIdle = true;
}

}  // namespace
