// Start-up's values and texts, and the start-up status window as a real widget on the offscreen
// platform.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "TestSupport.h"
#include "backup/frm_CommandStatus.h"
#include "base/AppValues.h"
#include "platform/Colors.h"

using namespace bravel;

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetAll(); }
    void TearDown() override { frm_CommandStatus::unload(); }
};

TEST_F(StartupTest, VersionTextPadsTheMinorAndDropsARevisionOfZero) {
    EXPECT_EQ(versionText(1, 2, 15), "1.02.15");
    EXPECT_EQ(versionText(2, 7, 0), "2.07.");
    EXPECT_EQ(versionText(1, 12, 3), "1.12.3");
    EXPECT_EQ(versionText(3, 0, 105), "3.00.105");
    EXPECT_EQ(versionText(10, 123, 1), "10.123.1") << "more than two digits stay whole";

    fillIdentityValues();
    EXPECT_EQ(gVersion, "1.02.15");
    EXPECT_EQ(gProductName, "Bravel");
    EXPECT_EQ(gCompanyName, "Quillfen");
    EXPECT_FALSE(gAuthorName.isEmpty());
}

TEST_F(StartupTest, CommandLineIsTheArgumentsJoinedByOneBlankAndTrimmed) {
    EXPECT_EQ(commandLineFromArguments({}), "");
    EXPECT_EQ(
        commandLineFromArguments({QStringLiteral("/daten/Katalog.bvk"), QStringLiteral("/open/")}),
        "/daten/Katalog.bvk /open/");
    EXPECT_EQ(
        commandLineFromArguments({QStringLiteral("/a/Mein Brief.txt"), QStringLiteral("/b/c.txt")}),
        "/a/Mein Brief.txt /b/c.txt")
        << "blanks inside an argument stay, nothing is quoted";
    EXPECT_EQ(commandLineFromArguments({QStringLiteral(" "), QStringLiteral("/x.txt"), QString()}),
              "/x.txt");
    EXPECT_EQ(gCrLf, "\r\n");
}

TEST_F(StartupTest, StatusTextFollowsTheCommandLine) {
    EXPECT_EQ(startupStatusText(QString()), "Applikation wird gestartet");
    EXPECT_EQ(startupStatusText(QStringLiteral("/daten/Katalog.bvk /open/")),
              "Archiv wird geöffnet");
    EXPECT_EQ(startupStatusText(QStringLiteral("/opener/x.txt")), "Archiv wird geöffnet")
        << "\"/open\" anywhere counts";
    EXPECT_EQ(startupStatusText(QStringLiteral("/home/anna/Brief.txt")),
              "Datei(en) werden hinzugefügt");
}

TEST_F(StartupTest, StatusWindowTitleWithoutCommandLine) {
    frm_CommandStatus* window = frm_CommandStatus::load();
    EXPECT_EQ(window->titleText(), " Bravel\r\n Vorgang läuft:")
        << "load builds it without the tag";
    EXPECT_FALSE(window->lbl_titel->isVisibleTo(window));
    EXPECT_FALSE(window->pan_progress->isVisibleTo(window));

    window->setTagText(startupStatusText(gCommandLine));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->titleText(), " Bravel\r\n Vorgang läuft:\r\nApplikation wird gestartet");
    EXPECT_EQ(window->lbl_titel->text(), " Bravel\n Vorgang läuft:\nApplikation wird gestartet");
    EXPECT_TRUE(window->lbl_titel->isVisible());
    EXPECT_TRUE(window->pan_progress->isVisible());
    EXPECT_FALSE(window->lbl_Progress->isVisible()) << "only a copy shows the progress line";
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_GT(window->width(), window->lbl_titel->width());
    EXPECT_GT(window->width(), window->lbl_Progress->width()) << "measured with the sample line";

    // The tag is appended once, on the first show only.
    window->hide();
    window->show();
    EXPECT_EQ(window->titleText(), " Bravel\r\n Vorgang läuft:\r\nApplikation wird gestartet");
}

TEST_F(StartupTest, StatusWindowTitleWithCommandLineAndCaptionColours) {
    gCommandLine = QStringLiteral("/home/anna/Brief.txt");
    gCaptionBackColor = 0x00336699;  // red 0x99, green 0x66, blue 0x33
    gCaptionForeColor = 0x00000000;
    frm_CommandStatus* window = frm_CommandStatus::load();
    window->setTagText(startupStatusText(gCommandLine));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(
        window->titleText(),
        " Bravel\r\n Vorgang läuft:\r\n /home/anna/Brief.txt\r\nDatei(en) werden hinzugefügt");
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(window->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_GE(window->lbl_Progress->y(), window->lbl_titel->y() + window->lbl_titel->height())
        << "the longer title block does not run into the progress line";

    // Closing forgets the instance; the next one starts from a fresh title block.
    frm_CommandStatus::unload();
    EXPECT_EQ(frm_CommandStatus::current(), nullptr);
    gCommandLine.clear();
    frm_CommandStatus* fresh = frm_CommandStatus::load();
    EXPECT_EQ(fresh->titleText(), " Bravel\r\n Vorgang läuft:");
    EXPECT_EQ(frm_CommandStatus::load(), fresh) << "one instance at a time";
}
