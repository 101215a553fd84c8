// The schedule window over the real unit files: what it shows, writes and tells.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>

#include "CatalogFiles.h"
#include "TestSupport.h"
#include "app/frm_main.h"
#include "app/frm_schedule.h"
#include "catalog/CatalogState.h"
#include "settings/BackupSchedule.h"

namespace bravel::test {
namespace {

class ScheduleWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetAll();
        ASSERT_TRUE(dir.isValid());
        catalog = dir.path() + QStringLiteral("/Haus.bvk");
        ASSERT_TRUE(writeFile(catalog, "x"));
        // No user systemd in a test: the real systemctl fails to reach one.
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    }
    void TearDown() override {
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        QDir(schedule::userUnitFolder()).removeRecursively();
    }

    QTemporaryDir dir;
    QString catalog;
    QByteArray savedRuntime;
};

TEST_F(ScheduleWindowTest, AWeeklyScheduleIsWrittenShownAgainAndSwitchedOff) {
    {
        frm_schedule window(catalog, QStringLiteral(BRAVEL_BINARY));
        EXPECT_TRUE(window.opt_Off->isChecked());
        EXPECT_FALSE(window.txt_Time->isEnabled());
        window.opt_Weekly->setChecked(true);
        EXPECT_TRUE(window.cbo_Weekday->isEnabled());
        window.cbo_Weekday->setCurrentIndex(2);
        window.txt_Time->setTime(QTime(6, 15));
        window.opt_MatchingEntries->setChecked(true);
        window.txt_Match->setText(QStringLiteral("  fotos|briefe "));
        window.but_OK->click();
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    ASSERT_EQ(scriptedDialogs().messages.size(), 1u);
    const auto& told = scriptedDialogs().messages.front();
    EXPECT_EQ(told.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(told.text.startsWith(
        QStringLiteral("Der Zeitplan (jeden Mittwoch um 06:15 Uhr) ist gespeichert")))
        << told.text.toStdString();
    EXPECT_TRUE(QFileInfo::exists(schedule::timerPath(catalog)));

    frm_schedule again(catalog, QStringLiteral(BRAVEL_BINARY));
    EXPECT_TRUE(again.opt_Weekly->isChecked());
    EXPECT_EQ(again.cbo_Weekday->currentText(), QStringLiteral("Mittwoch"));
    EXPECT_EQ(again.txt_Time->time(), QTime(6, 15));
    EXPECT_EQ(again.txt_Match->text(), QStringLiteral("fotos|briefe"));
    again.opt_Off->setChecked(true);
    again.but_OK->click();
    EXPECT_EQ(scriptedDialogs().messages.back().text, QStringLiteral("Zeitplan ausgeschaltet."));
    EXPECT_FALSE(QFileInfo::exists(schedule::timerPath(catalog)));
    EXPECT_FALSE(QFileInfo::exists(schedule::servicePath(catalog)));
}

TEST_F(ScheduleWindowTest, AnEmptySearchTextIsAskedForAndNothingIsWritten) {
    frm_schedule window(catalog, QStringLiteral(BRAVEL_BINARY));
    window.opt_Daily->setChecked(true);
    window.opt_MatchingEntries->setChecked(true);
    window.but_OK->click();
    ASSERT_EQ(scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(scriptedDialogs().messages.front().text,
              QStringLiteral("Bitte einen Suchtext eingeben."));
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_FALSE(QFileInfo::exists(schedule::timerPath(catalog)));
}

}  // namespace
}  // namespace bravel::test

namespace bravel::test {
namespace {

TEST_F(ScheduleWindowTest, TheCatalogMenuOpensTheScheduleOfTheOpenCatalog) {
    const QString opened = dir.path() + QStringLiteral("/Offen.bvk");
    ASSERT_TRUE(writeCatalog(opened, {}));
    auto window = std::make_unique<frm_main>();
    window->load();
    window->show();
    QAction* entry = window->mnu_fileschedule;
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), QStringLiteral("Zeitplan..."));
    EXPECT_FALSE(entry->isEnabled());  // no catalog yet

    scriptedDialogs().openAnswers.push_back(QStringList{opened});
    window->but_DB->click();
    ASSERT_TRUE(waitUntil([&] { return entry->isEnabled(); }));
    QString caption;
    QTimer::singleShot(0, [&] {
        auto* schedule = qobject_cast<frm_schedule*>(QApplication::activeModalWidget());
        if (!schedule) return;
        caption = schedule->lbl_caption->text();
        schedule->but_exit->click();
    });
    entry->trigger();
    EXPECT_EQ(caption, QStringLiteral(" Zeitplan für Offen.bvk"));
    window->close();
    window.reset();
    resetCatalogState();
}

}  // namespace
}  // namespace bravel::test
