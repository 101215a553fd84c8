// The warning of old backups: with the clock set, which dates of this computer's column turn red,
// what the tooltip and the status line say, and how a run changes the count.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "Fixtures.h"
#include "backup/BackupRun.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/BackupAge.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "listtools/ToolTipContent.h"
#include "platform/Clock.h"
#include "platform/Err.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

class OldBackupTest : public test::CatalogControllerTest {
  protected:
    void SetUp() override {
        CatalogControllerTest::SetUp();
        gHostName = QStringLiteral("PC2");
        setClockForTest(test::kRunNow);
        QDir().mkpath(path("sicherung"));
        // Days before the clock's date: 6, 7 and 8 for a warning after 7 days; one entry backed up
        // on another computer only, one never at all, one here yesterday after another computer.
        const std::vector<std::pair<QString, QString>> entries{
            {"sechs.txt", "PC220250309;"},
            {"sieben.txt", "PC220250308;"},
            {"acht.txt", "PC220250307;"},
            {"anderswo.txt", "NOTEBOOK20250315;"},
            {"nie.txt", ""},
            {"gestern.txt", "NOTEBOOK20240101;PC220250314;"}};
        std::vector<test::CatalogEntry> records;
        for (const auto& [name, hostStatus] : entries) {
            EXPECT_TRUE(test::writeFile(path(name), "Inhalt"));
            records.push_back({path(name), path("sicherung"), QString(), hostStatus, {}});
        }
        catalog = makeCatalog("k.bvk", records);
    }
    void TearDown() override {
        CatalogControllerTest::TearDown();
        setClockForTest(QDateTime());
    }

    void warnAfter(int days) {
        writeSetting(keys::setup_chk_WarnOldBackup, "1");
        writeSetting(keys::setup_txt_WarnOldBackup, QString::number(days));
    }
    void open() {
        controller->mOpenDB(catalog);
        controller->stopTimers();
        controller->mUpdateSelectionSummary();
    }
    int rowOf(const QString& name) const {
        for (int r = 0; r < model().rowCount(); ++r)
            if (model().cell(r, col::kSource) == path(name)) return r;
        ADD_FAILURE() << "no row " << name.toStdString();
        return 0;
    }
    int ownColumn() const { return model().findColumn("PC2"); }
    quint32 ownColour(const QString& name) const {
        return model().cellColor(rowOf(name), ownColumn());
    }
    QString toolTipOf(const QString& name) const {
        const int row = rowOf(name);
        const auto entry = gCatalogFiles.Item(CatalogListModel::indexFromKey(model().row(row).key));
        return mainListToolTipText(*entry, controller->oldBackupNotice(row));
    }

    QString catalog;
};

TEST_F(OldBackupTest, DatesOlderThanTheDayCountAreRedAndCounted) {
    warnAfter(7);
    open();
    ASSERT_GT(ownColumn(), 0);
    EXPECT_EQ(ownColour("sechs.txt"), listcolor::kBlack);
    EXPECT_EQ(ownColour("sieben.txt"), listcolor::kBlack)
        << "exactly seven days is not older than seven";
    EXPECT_EQ(ownColour("acht.txt"), listcolor::kRed);
    EXPECT_EQ(ownColour("gestern.txt"), listcolor::kBlack);
    EXPECT_EQ(model().cellColor(rowOf("anderswo.txt"), model().findColumn("NOTEBOOK")),
              listcolor::kBlack)
        << "another computer's dates are not judged";
    EXPECT_EQ(model().cellColor(rowOf("gestern.txt"), model().findColumn("NOTEBOOK")),
              listcolor::kBlack);
    // Eight days old, and two never backed up here.
    EXPECT_EQ(controller->oldBackupCount(), 3);
    EXPECT_EQ(view.summary, "Nicht gesichert seit mehr als 7 Tagen: 3 Einträge");

    // A selection keeps its summary in front.
    model().setRowSelected(rowOf("sechs.txt"), true);
    controller->mUpdateSelectionSummary();
    EXPECT_TRUE(view.summary.startsWith("Anzahl selektierter Dateien: 1 - Gesamtgröße: "));
    EXPECT_TRUE(view.summary.endsWith(" - Nicht gesichert seit mehr als 7 Tagen: 3 Einträge"))
        << view.summary.toStdString();
}

TEST_F(OldBackupTest, TheTooltipSaysWhyAnEntryStandsOut) {
    warnAfter(7);
    open();
    const QString old = toolTipOf("acht.txt");
    EXPECT_EQ(old.count(gCrLf), 4);
    EXPECT_TRUE(
        old.endsWith(gCrLf + "  Letzte Sicherung auf diesem Computer vor mehr als 7 Tagen."))
        << old.toStdString();
    EXPECT_TRUE(
        toolTipOf("anderswo.txt").endsWith(gCrLf + "  Auf diesem Computer noch nie gesichert."));
    EXPECT_TRUE(toolTipOf("nie.txt").endsWith(gCrLf + "  Auf diesem Computer noch nie gesichert."));
    EXPECT_EQ(toolTipOf("sieben.txt").count(gCrLf), 3) << "a recent entry keeps its four lines";

    writeSetting(keys::setup_txt_WarnOldBackup, "1");
    open();
    EXPECT_TRUE(toolTipOf("sechs.txt").endsWith("vor mehr als einem Tag."));
    EXPECT_EQ(ownColour("gestern.txt"), listcolor::kBlack) << "yesterday is one day ago";
    EXPECT_EQ(view.summary, "Nicht gesichert seit mehr als einem Tag: 5 Einträge");
}

TEST_F(OldBackupTest, OffByDefaultNothingIsRedOrCounted) {
    open();
    for (const char* name : {"acht.txt", "sechs.txt"})
        EXPECT_EQ(ownColour(name), listcolor::kBlack) << name;
    EXPECT_EQ(controller->oldBackupCount(), 0);
    EXPECT_EQ(view.summary, "");
    EXPECT_EQ(toolTipOf("nie.txt").count(gCrLf), 3);
    EXPECT_FALSE(controller->oldBackupDays());

    // The day count alone does not switch it on.
    writeSetting(keys::setup_txt_WarnOldBackup, "3");
    open();
    EXPECT_EQ(ownColour("acht.txt"), listcolor::kBlack);
    EXPECT_EQ(view.summary, "");
}

TEST_F(OldBackupTest, AStoredDayCountThatIsNoNumberFallsBackAndOneThatIsTooSmallIsOneDay) {
    writeSetting(keys::setup_chk_WarnOldBackup, "1");
    writeSetting(keys::setup_txt_WarnOldBackup, "viele");
    open();
    EXPECT_EQ(controller->oldBackupDays(), 7);
    writeSetting(keys::setup_txt_WarnOldBackup, "-5");
    open();
    EXPECT_EQ(controller->oldBackupDays(), 1);
}

TEST_F(OldBackupTest, ARunTakesItsEntriesOutOfTheCount) {
    warnAfter(7);
    open();
    ASSERT_EQ(controller->oldBackupCount(), 3);
    for (const char* name : {"acht.txt", "nie.txt"}) model().setRowSelected(rowOf(name), true);
    test::RecordingRunObserver observer;
    runBackup(model(), controller->rset_Record(), observer);
    controller->countOldBackups();
    EXPECT_EQ(controller->oldBackupCount(), 1) << "only the entry backed up elsewhere is left";
    EXPECT_EQ(ownColour("acht.txt"), listcolor::kGreen);
    EXPECT_EQ(controller->oldBackupNotice(rowOf("nie.txt")), "");
    EXPECT_EQ(controller->oldBackupNotice(rowOf("anderswo.txt")),
              "Auf diesem Computer noch nie gesichert.");
}

TEST(BackupAgeTest, DatesThatAreNoDatesCountAsOldAndTheOwnHostIsFoundByName) {
    const QDate today(2025, 3, 15);
    EXPECT_EQ(backupAge("2025031", today, 7), BackupAge::Old);
    EXPECT_EQ(backupAge("20251399", today, 7), BackupAge::Old);
    EXPECT_EQ(backupAge("20250320", today, 7), BackupAge::Recent) << "a date ahead of the clock";
    EXPECT_EQ(backupAge("", today, 7), BackupAge::Never);
    EXPECT_EQ(lastBackupDate("PC220250101;PC20250202;", "PC2"), "20250101");
    EXPECT_EQ(lastBackupDate("PC20250202;PC220250101;", "PC2"), "20250101")
        << "PC2 is not PC's prefix";
    EXPECT_EQ(lastBackupDate("PC220250101;", ""), "");
}

}  // namespace
