// The main window while a run works: the list takes no input, Escape cancels (and exits when
// idle), the pause menu entry follows gPause, an automatic run that selects nothing still ends.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "backup/frm_CommandStatus.h"
#include "base/AppValues.h"
#include "base/RunState.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogListModel.h"
#include "catalog/CatalogState.h"
#include "listtools/frm_ToolTip.h"
#include "platform/CatalogDatabase.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

class RunControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(path("sicherung"));
    }
    void TearDown() override {
        gPause = false;
        frm_ToolTip::unload();
        if (window) window->close();
        window.reset();
        resetCatalogState();
    }

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    // A catalog of n sources of size bytes, each with the given old status.
    QString makeCatalog(int n, qint64 size, const QString& status = QString()) {
        const QString file = path("haupt.bvk");
        auto db = CatalogDatabase::create(file);
        auto rset = db->OpenRecordset("SELECT FILES.* FROM FILES");
        for (int i = 1; i <= n; ++i) {
            const QString source = path(QStringLiteral("quelle%1.bin").arg(i));
            test::writeFile(source, QByteArray(static_cast<int>(size), static_cast<char>('a' + i)));
            rset->AddNew();
            rset->SetField("Eingangsdatei", source);
            rset->SetField("Sicherungspfad", path("sicherung"));
            rset->SetField("Status", status);
            rset->Update();
        }
        rset->Close();
        db->Close();
        return file;
    }

    void openWindow(const QString& catalog) {
        setStartCommand({catalog, QStringLiteral("/open/")});
        window = std::make_unique<frm_main>();
        ASSERT_TRUE(window->load());
        window->show();
        QCoreApplication::processEvents();
    }

    CatalogListModel& model() { return window->controller().model(); }
    QAction* pauseEntry() { return window->mnu_fileactionpause; }
    QPoint rowCentre(int row) {
        return window->lst_Files->visualRect(model().index(row, 0)).center();
    }

    // Starts a run over the selected rows that waits in its first copy; during() runs while it
    // waits, then the pause is released.
    void runPaused(const std::function<void()>& during) {
        window->controller().timer2Tick();
        ASSERT_TRUE(window->but_Start->isEnabled());
        gPause = true;
        bool ran = false;
        QTimer::singleShot(100, [&] {
            during();
            ran = true;
            gPause = false;
        });
        window->but_Start->click();
        EXPECT_TRUE(ran);
    }

    QTemporaryDir dir;
    std::unique_ptr<frm_main> window;
};

TEST_F(RunControlsTest, TheListTakesNoInputWhileARunWorks) {
    openWindow(makeCatalog(3, 20000));
    model().setRowSelected(0, true);
    model().setRowSelected(2, true);
    bool listEnabled = true;
    bool tooltip = false;
    runPaused([&] {
        listEnabled = window->lst_Files->isEnabled();
        QWidget* viewport = window->lst_Files->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(0));  // would deselect
        QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(1));  // would select
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, rowCentre(1));
        QTest::keyClick(window->lst_Files, Qt::Key_Space);
        QTest::keyClick(window->lst_Files, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window->lst_Files, Qt::Key_Delete);
        QCoreApplication::processEvents();
        tooltip = frm_ToolTip::current() != nullptr;
    });
    EXPECT_FALSE(listEnabled);
    EXPECT_FALSE(tooltip) << "no tooltip opens from the list during a run";
    EXPECT_TRUE(model().isRowSelected(0));
    EXPECT_FALSE(model().isRowSelected(1));
    EXPECT_TRUE(model().isRowSelected(2));
    EXPECT_TRUE(QFile::exists(path("sicherung/quelle1.bin")));
    EXPECT_FALSE(QFile::exists(path("sicherung/quelle2.bin")));
    EXPECT_TRUE(QFile::exists(path("sicherung/quelle3.bin")));
    EXPECT_EQ(window->controller().rset_Record()->RecordCount(), 3) << "nothing was deleted";
    EXPECT_TRUE(gIdle);
}

TEST_F(RunControlsTest, EscapeCancelsARunAndExitsWhenIdle) {
    openWindow(makeCatalog(3, 20000));
    model().selectAll(true);
    bool cancelled = false;
    runPaused([&] {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(),
                        Qt::Key_Escape);
        cancelled = gCancel;
    });
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(window->isVisible()) << "Escape during a run does not close the program";
    EXPECT_TRUE(QFile::exists(path("sicherung/quelle1.bin"))) << "the started copy completes";
    EXPECT_EQ(model().cell(2, col::kStatus), QStringLiteral("übersprungen"));

    QTest::keyClick(window->lst_Files, Qt::Key_Escape);
    EXPECT_TRUE(test::waitUntil([&] { return !window->isVisible(); }, 3000))
        << "Escape exits when idle";
}

TEST_F(RunControlsTest, PauseMenuEntryFollowsThePauseFlag) {
    openWindow(makeCatalog(1, 10));
    window->chk_pause->setEnabled(true);
    pauseEntry()->setEnabled(true);

    QTest::mouseClick(window->chk_pause, Qt::LeftButton);
    EXPECT_TRUE(gPause);
    EXPECT_TRUE(pauseEntry()->isChecked()) << "paused with the box";

    pauseEntry()->trigger();
    EXPECT_FALSE(gPause);
    EXPECT_FALSE(window->chk_pause->isChecked());
    EXPECT_FALSE(pauseEntry()->isChecked());

    window->but_shortcut_pause2->click();  // Alt-P
    EXPECT_TRUE(gPause);
    EXPECT_TRUE(pauseEntry()->isChecked()) << "paused with Alt-P";

    QTest::mouseClick(window->chk_pause, Qt::LeftButton);
    EXPECT_FALSE(gPause);
    EXPECT_FALSE(pauseEntry()->isChecked());

    pauseEntry()->trigger();
    EXPECT_TRUE(gPause);
    EXPECT_TRUE(window->chk_pause->isChecked());
    EXPECT_TRUE(pauseEntry()->isChecked());
}

TEST_F(RunControlsTest, OverallLabelShowsTheBarsValue) {
    openWindow(makeCatalog(2, 20000));
    model().selectAll(true);
    // Both files grew since the list was filled: the shares add up to more than 100.
    for (int i = 1; i <= 2; ++i)
        test::writeFile(path(QStringLiteral("quelle%1.bin").arg(i)), QByteArray(90000, 'x'));
    QStringList pairs;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (window->pan_progress->isVisible())
            pairs << QStringLiteral("%1 %2")
                         .arg(window->pan_progress->value())
                         .arg(window->lbl_MultiProgress->text());
    });
    watch.start(1);
    window->controller().timer2Tick();
    window->but_Start->click();
    ASSERT_FALSE(pairs.isEmpty());
    for (const QString& pair : pairs) {
        const QStringList parts = pair.split(' ');
        EXPECT_EQ(parts[0] + QLatin1Char('%'), parts[1]) << pair.toStdString();
    }
}

TEST_F(RunControlsTest, AnAutomaticRunThatSelectsNothingStillEndsWithItsAction) {
    const QString catalog =
        makeCatalog(2, 100, "Datei nicht gesichert. gesichert (01.01.2024 09:00:00)");
    writeSetting(keys::setup_chk_autostart, QString("1"));
    writeSetting(keys::setup_txt_autostart, catalog);
    writeSetting(keys::setup_opt_AutoCopyRange, QString("True"));
    writeSetting(keys::setup_txt_AutoCopyRange, QString("passt-auf-nichts"));
    writeSetting(keys::setup_chk_AfterJob, QString("1"));
    writeSetting(keys::setup_cbo_AfterJob, QString("1"));

    window = std::make_unique<frm_main>();
    ASSERT_TRUE(window->load());
    window->show();
    window->activateWindow();
    EXPECT_TRUE(test::waitUntil([&] { return !test::recordingActions().calls.isEmpty(); }, 3000));
    EXPECT_EQ(test::recordingActions().calls, QStringList{"logoff"});
    for (int r = 0; r < 2; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(model().cell(r, col::kStatus), QStringLiteral("gesichert (01.01.2024 09:00:00)"));
    }
    EXPECT_FALSE(QFile::exists(path("sicherung/quelle1.bin")));
    EXPECT_TRUE(gIdle);
}

}  // namespace

// The run's widgets take their state when events run: whenever a person could look (here: each
// time the copy waits in a pause), the status window, the status line and the row's bar all show
// the file being copied, also after many files went by without an event run; after the run they
// are gone.
TEST_F(RunControlsTest, WhatTheWindowShowsBetweenEventRunsFollowsTheFileBeingCopied) {
    gShowStatus = true;
    openWindow(makeCatalog(40, 20000));
    model().selectAll(true);
    int looks = 0;
    int ticksPaused = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!gPause) {
            gPause = true;  // the copy stops at its next chunk and lets events run while it waits
            ticksPaused = 0;
            return;
        }
        if (++ticksPaused < 2) return;  // one more turn: whatever was pending has run
        const frm_CommandStatus* status = frm_CommandStatus::current();
        ASSERT_NE(status, nullptr);
        EXPECT_TRUE(status->isVisible());
        const QString name = status->tagText();
        EXPECT_TRUE(
            window->lbl_status->text().endsWith(QLatin1Char('/') + name + QLatin1Char('\'')))
            << window->lbl_status->text().toStdString() << " / " << name.toStdString();
        int row = -1;
        for (int r = 0; r < model().rowCount(); ++r)
            if (model().cell(r, col::kSource).endsWith(QLatin1Char('/') + name)) row = r;
        ASSERT_GE(row, 0);
        EXPECT_TRUE(window->pan_SingleProgress->isVisible());
        EXPECT_TRUE(window->lst_Files->visualRect(model().index(row, 0))
                        .contains(window->pan_SingleProgress->geometry().center()))
            << "the bar stands over row " << row;
        ++looks;
        gPause = false;
    });
    watch.start(3);
    window->controller().timer2Tick();
    window->but_Start->click();
    watch.stop();
    EXPECT_GE(looks, 1);
    EXPECT_EQ(frm_CommandStatus::current(), nullptr);
    EXPECT_FALSE(window->pan_SingleProgress->isVisible());
    EXPECT_TRUE(window->lbl_status->text().isEmpty());
    for (int r = 0; r < model().rowCount(); ++r)
        EXPECT_EQ(model().cellColor(r, col::kStatus), listcolor::kGreen);
}
