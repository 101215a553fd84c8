#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "catalog/FileProperties.h"
#include "errors/COLError.h"
#include "errors/frm_ErrorList.h"
#include "listtools/ToolTipContent.h"
#include "listtools/frm_ToolTip.h"
#include "platform/CatalogDatabase.h"
#include "platform/Formats.h"
#include "platform/Twips.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

class ToolTipTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        resetToolTipState();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        frm_ToolTip::unload();
        QCoreApplication::processEvents();
        resetCatalogState();
    }

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    QString writeBytes(const QString& name, int bytes) {
        const QString file = path(name);
        test::writeFile(file, QByteArray(bytes, 'x'));
        return file;
    }

    QString makeCatalog(const QStringList& sources) {
        const QString file = path("tips.bvk");
        QDir().mkpath(path("sicherung"));
        auto db = CatalogDatabase::create(file);
        auto rset = db->OpenRecordset("SELECT FILES.* FROM FILES");
        for (const QString& source : sources) {
            rset->AddNew();
            rset->SetField("Eingangsdatei", source);
            rset->SetField("Sicherungspfad", path("sicherung"));
            rset->Update();
        }
        rset->Close();
        db->Close();
        return file;
    }

    static frm_ToolTip* openText(const QString& text, const QString& position = "1500;1500") {
        ToolTipRequest request;
        request.text = text;
        request.sourceName = "FRM_SETUP";
        request.positionText = position;
        return frm_ToolTip::open(request);
    }

    // Lets events run until the tooltip has gone, at most for the given time.
    static bool waitUntilClosed(int maxMs) {
        for (int waited = 0; waited < maxMs && frm_ToolTip::current(); waited += 20)
            QTest::qWait(20);
        return frm_ToolTip::current() == nullptr;
    }

    QTemporaryDir dir;
};

TEST_F(ToolTipTest, MainListTextHasFourLinesWithSizeRoundedHalfToEven) {
    // 2560 bytes are 2.5 KB and 3584 bytes 3.5 KB: halves go to the even number.
    const QString even = writeBytes("zwei & halb.txt", 2560);
    const QString odd = writeBytes("drei.txt", 3584);
    QFile::setPermissions(odd, QFile::ReadOwner);
    COLArchivFiles files;
    const auto first = files.Add(even, "/sicher/ordner", 0, 0, QDateTime(), "");
    const auto second = files.Add(odd, "/sicher/ordner", 0, 0, QDateTime(), "");
    const QStringList lines = mainListToolTipText(*first).split("\r\n");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "  " + even);
    EXPECT_EQ(lines[1], "  " + formatGeneralDate(first->dteSourceDate(), true));
    EXPECT_EQ(lines[2], "  2KB (2.560Byte) Attr()");
    EXPECT_EQ(lines[3], "  /sicher/ordner");
    EXPECT_EQ(mainListToolTipText(*second).split("\r\n")[2], "  4KB (3.584Byte) Attr(R)");
    QFile::setPermissions(odd, QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(ToolTipTest, ClickOnAMainListRowOpensItsToolTipWithTheTimersOff) {
    const QString source = writeBytes("gross.dat", 1536000);
    setStartCommand({makeCatalog({source}), QStringLiteral("/open/")});
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    window.move(40, 30);
    ASSERT_EQ(window.controller().model().rowCount(), 1);
    const QRect row = window.lst_Files->visualRect(window.controller().model().index(0, 0));
    QTest::mouseClick(window.lst_Files->viewport(), Qt::LeftButton, {}, row.center());
    frm_ToolTip* tip = frm_ToolTip::current();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->tagText(), mainListToolTipText(*gCatalogFiles.Item(1)));
    EXPECT_TRUE(tip->tagText().contains("  1.500KB (1.536.000Byte) Attr()"));
    EXPECT_TRUE(tip->txt_Info->toPlainText().startsWith("  " + source + "\n"));
    EXPECT_TRUE(tip->lbl_SourceForm->text().isEmpty());  // emptied at the first activation
    const QPoint mouse = window.lst_Files->viewport()->mapTo(window.lst_Files, row.center());
    EXPECT_EQ(tip->positionText(),
              toolTipPositionText(pixelsToTwips(window.x() + mouse.x()) + 260,
                                  pixelsToTwips(window.y() + mouse.y()) + 1030));
    EXPECT_FALSE(window.controller().Timer1().isActive());
    EXPECT_FALSE(window.controller().Timer2().isActive());

    // A press in the list closes it; the timers run again.
    QTest::mousePress(window.lst_Files->viewport(), Qt::LeftButton, {}, row.center());
    QCoreApplication::processEvents();
    EXPECT_EQ(frm_ToolTip::current(), nullptr);
    EXPECT_TRUE(window.controller().Timer2().isActive());
    QTest::mouseRelease(window.lst_Files->viewport(), Qt::LeftButton, {}, row.center());
    frm_ToolTip::unload();
    window.close();
}

TEST_F(ToolTipTest, MainListOpensNothingWhenTheSettingIsNotOne) {
    const QString source = writeBytes("a.txt", 10);
    setStartCommand({makeCatalog({source}), QStringLiteral("/open/")});
    writeSetting(keys::lst_tooltip, QStringLiteral("0"));
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    EXPECT_FALSE(gShowToolTips);
    const QRect row = window.lst_Files->visualRect(window.controller().model().index(0, 0));
    QTest::mouseClick(window.lst_Files->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(frm_ToolTip::current(), nullptr);
    EXPECT_TRUE(window.controller().model().isRowSelected(0));  // the click toggle still works
    window.close();
}

TEST_F(ToolTipTest, AmpersandShowsOnceInLabelAndTextBox) {
    frm_ToolTip* tip = openText("  Müller & Söhne.txt");
    EXPECT_EQ(tip->zlbl->text().count('&'), 1);
    EXPECT_EQ(tip->txt_Info->toPlainText(), "  Müller & Söhne.txt");
}

TEST_F(ToolTipTest, OnlyOneToolTipAtATime) {
    QPointer<frm_ToolTip> first = openText("eins");
    frm_ToolTip* second = openText("zwei");
    QCoreApplication::processEvents();
    EXPECT_TRUE(first.isNull() || !first->isVisible());
    EXPECT_EQ(frm_ToolTip::current(), second);
}

TEST_F(ToolTipTest, SizeFollowsTheTextAndTheRightEdgeMovesItLeft) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    frm_ToolTip* tip = openText("  eine Zeile\r\n  zweite Zeile", "1500;1500");
    EXPECT_EQ(tip->pos(), QPoint(twipsToPixels(1500), twipsToPixels(1500)));
    EXPECT_EQ(tip->width(), tip->zlbl->width() + twipsToPixels(340));
    EXPECT_GT(tip->height(), tip->zlbl->height());

    const int nearRight = static_cast<int>(pixelsToTwips(screen.right() - 10));
    tip = openText("  eine lange Zeile am rechten Rand", QString::number(nearRight) + ";1500");
    EXPECT_EQ(tip->geometry().right(), screen.right());
    EXPECT_EQ(tip->y(), twipsToPixels(1500));

    // Near the bottom nothing is corrected.
    const int nearBottom = static_cast<int>(pixelsToTwips(screen.bottom() - 5));
    tip = openText("  unten", "1500;" + QString::number(nearBottom));
    EXPECT_EQ(tip->y(), twipsToPixels(nearBottom));
    EXPECT_GT(tip->geometry().bottom(), screen.bottom());

    EXPECT_EQ(toolTipLeft(100, 50, 150), 100);  // ends one short of the edge
    EXPECT_EQ(toolTipLeft(101, 50, 150), 100);
}

TEST_F(ToolTipTest, PositionTextThatDoesNotSplitLeavesTheWindowWhereItWas) {
    EXPECT_EQ(parseToolTipPosition("12;34"), QPoint(12, 34));
    EXPECT_FALSE(parseToolTipPosition("12").has_value());
    EXPECT_FALSE(parseToolTipPosition("a;34").has_value());
    frm_ToolTip* tip = openText("  Text", "kaputt");
    EXPECT_EQ(tip->width(), tip->zlbl->width() + twipsToPixels(340));
}

TEST_F(ToolTipTest, CountdownClosesAfterTheDelayAndAClickIntoTheTextHoldsIt) {
    gToolTipDelay = 3;
    openText("  schliesst sich");
    EXPECT_TRUE(waitUntilClosed(5000));

    frm_ToolTip* tip = openText("  wird gehalten");
    QTest::mouseClick(tip->txt_Info->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(tip->countdown().hold());
    QTest::qWait(800);  // far beyond three ticks
    ASSERT_EQ(frm_ToolTip::current(), tip);
    EXPECT_EQ(tip->countdown().ticks(), 0);

    // Copying ends the hold: the countdown runs again.
    tip->mnu_contentcopy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "  wird gehalten");
    EXPECT_FALSE(tip->countdown().hold());
    EXPECT_TRUE(waitUntilClosed(5000));
}

TEST_F(ToolTipTest, CountdownTicks) {
    ToolTipCountdown countdown(30);
    for (int tick = 1; tick < 30; ++tick) ASSERT_FALSE(countdown.tick());
    EXPECT_TRUE(countdown.tick());
    EXPECT_EQ(countdown.ticks(), 0);
    countdown.tick();
    countdown.setHold(true);
    EXPECT_FALSE(countdown.tick());
    EXPECT_EQ(countdown.ticks(), 0);
}

TEST_F(ToolTipTest, CopyEntryPutsTheTextOnTheClipboard) {
    frm_ToolTip* tip = openText("  /a/b & c.txt\r\n  zweite");
    QGuiApplication::clipboard()->setText("alt");
    EXPECT_EQ(tip->mnu_contentcopy->text(), "Eintrag kopieren");
    tip->mnu_contentcopy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "  /a/b & c.txt\r\n  zweite");
    EXPECT_EQ(tip->mnu_contentsavetxt->text(), "text-datei");
    tip->mnu_contentsavehtml->trigger();  // no action
    EXPECT_TRUE(test::scriptedDialogs().fileRequests.empty());
}

TEST_F(ToolTipTest, OpacityFollowsTheAlphaValue) {
    gToolTipAlpha = 255;
    EXPECT_DOUBLE_EQ(openText("x")->windowOpacity(), 1.0);
    gToolTipAlpha = 1;
    EXPECT_NEAR(openText("x")->windowOpacity(), 1 / 255.0, 0.001);
    gToolTipAlpha = 220;
    EXPECT_NEAR(openText("x")->windowOpacity(), 220 / 255.0, 0.01);
    gToolTipAlpha = 300;  // no byte: no transparency
    EXPECT_DOUBLE_EQ(openText("x")->windowOpacity(), 1.0);
    EXPECT_FALSE(toolTipOpacity(-1).has_value());
}

TEST_F(ToolTipTest, AFullyTransparentToolTipDoesNotOpenAndItsCallerGoesOn) {
    // Invisible, it would still take the clicks meant for the list below it.
    gToolTipAlpha = 0;
    int closedCalls = 0;
    ToolTipRequest request;
    request.text = "  unsichtbar";
    request.sourceName = "FRM_MAIN";
    request.positionText = "1500;1500";
    request.onClosed = [&closedCalls] { ++closedCalls; };
    EXPECT_EQ(frm_ToolTip::open(request), nullptr);
    EXPECT_EQ(frm_ToolTip::current(), nullptr);
    EXPECT_EQ(closedCalls, 1);

    const QString source = writeBytes("a.txt", 10);
    setStartCommand({makeCatalog({source}), QStringLiteral("/open/")});
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    gToolTipAlpha = 0;
    const QRect row = window.lst_Files->visualRect(window.controller().model().index(0, 0));
    QTest::mouseClick(window.lst_Files->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(frm_ToolTip::current(), nullptr);
    EXPECT_TRUE(window.controller().Timer2().isActive()) << "the list's timers run on";
    window.close();
}

TEST_F(ToolTipTest, TheErrorListOpenedFromTheMenuShowsARowsToolTip) {
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    gErrorStack.Add(53, "Datei nicht gefunden", QDateTime::currentDateTime(), "v_gCopy",
                    "Open(/q/a) For Binary");
    window.findChild<QAction*>("mnu_apperror")->trigger();
    frm_ErrorList* errors = frm_ErrorList::current();
    ASSERT_NE(errors, nullptr);
    QTreeWidget* list = errors->lst_errorlist;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(0)).center());
    ASSERT_NE(frm_ToolTip::current(), nullptr);
    EXPECT_EQ(frm_ToolTip::current()->tagText(), errorToolTipText(*gErrorStack.Item(1)));
    errors->close();
    EXPECT_EQ(frm_ToolTip::current(), nullptr) << "closing the list closes its tooltip";
    window.close();
}

TEST_F(ToolTipTest, ErrorListToolTipKeepsItsMenuAfterAClickIntoItsText) {
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    gErrorStack.Add(53, "Datei nicht gefunden", QDateTime::currentDateTime(), "v_gCopy",
                    "Open(/q/a) For Binary");
    frm_ErrorList* errors = frm_ErrorList::showWindow(&window, &frm_ToolTip::errorListDetails());
    QApplication::setActiveWindow(errors);
    QTreeWidget* list = errors->lst_errorlist;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(0)).center());
    frm_ToolTip* tip = frm_ToolTip::current();
    ASSERT_NE(tip, nullptr);

    // The click into the text activates the tooltip and gives its text the focus.
    QApplication::setActiveWindow(tip);
    QTest::mouseClick(tip->txt_Info->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    tip->txt_Info->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(gListHasFocus);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), tip->img_menu->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(tip->img_menu, &enter);
    ASSERT_TRUE(test::waitUntil([tip] { return tip->mnu_content->isVisible(); }));
    window.controller().timer2Tick();
    QCoreApplication::processEvents();
    EXPECT_EQ(frm_ToolTip::current(), tip) << "the open menu must not close its tooltip";
    EXPECT_TRUE(tip->mnu_content->isVisible());
    tip->mnu_content->close();
    errors->close();
    window.close();
}

TEST_F(ToolTipTest, SettingsAreReadAtMainLoad) {
    writeSetting(keys::sld_ToolTipTransparenz, QStringLiteral("128"));
    writeSetting(keys::sld_ToolTipDelay, QStringLiteral("12"));
    frm_main window;
    ASSERT_TRUE(window.load());
    EXPECT_TRUE(gShowToolTips);
    EXPECT_EQ(gToolTipAlpha, 128);
    EXPECT_EQ(gToolTipDelay, 12);
    window.close();
}

// The main window hands itself to the tooltip; once it has gone, a tooltip that is dragged or
// exports reaches nothing of it.
TEST_F(ToolTipTest, AToolTipOutlivingTheMainWindowTouchesNothingOfIt) {
    { frm_main gone; }
    frm_ToolTip* tip = openText("  danach");
    ASSERT_NE(tip, nullptr);
    QTest::mousePress(tip->lbl_SourceForm, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(tip->lbl_SourceForm, Qt::LeftButton, {}, QPoint(5, 5));
    tip->mnu_contentsavetxt->trigger();
    EXPECT_TRUE(test::scriptedDialogs().fileRequests.empty()) << "no list to export";
    frm_ToolTip::unload();
}

TEST_F(ToolTipTest, DragBySourceLabelHoldsAndStopsTheRefreshTimer) {
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    frm_ToolTip* tip = openText("  ziehen");
    ASSERT_TRUE(window.controller().Timer1().isActive());
    const QPoint start = tip->pos();
    QTest::mousePress(tip->lbl_SourceForm, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(tip->countdown().hold());
    EXPECT_FALSE(window.controller().Timer1().isActive());
    QMouseEvent move(QEvent::MouseMove, QPointF(25, 15),
                     tip->lbl_SourceForm->mapToGlobal(QPointF(25, 15)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tip->lbl_SourceForm, &move);
    EXPECT_EQ(tip->pos(), start + QPoint(20, 10));
    QTest::mouseRelease(tip->lbl_SourceForm, Qt::LeftButton, {}, QPoint(25, 15));
    EXPECT_FALSE(tip->countdown().hold());
    EXPECT_TRUE(window.controller().Timer1().isActive());
    frm_ToolTip::unload();
    window.close();
}

TEST_F(ToolTipTest, LosingTheListFocusLetsTimer2CloseIt) {
    frm_main window;
    ASSERT_TRUE(window.load());
    openText("  offen");
    gListHasFocus = true;
    window.controller().timer2Tick();
    EXPECT_NE(frm_ToolTip::current(), nullptr);
    gListHasFocus = false;
    window.controller().timer2Tick();
    QCoreApplication::processEvents();
    EXPECT_EQ(frm_ToolTip::current(), nullptr);
    window.close();
}

}  // namespace

namespace {

TEST_F(ToolTipTest, AnEntryNeverBackedUpHereSaysSoInItsToolTipWhileTheWarningIsOn) {
    const QString source = writeBytes("nie.dat", 10);
    setStartCommand({makeCatalog({source}), QStringLiteral("/open/")});
    writeSetting(keys::setup_chk_WarnOldBackup, QString("1"));
    frm_main window;
    ASSERT_TRUE(window.load());
    window.show();
    const QRect row = window.lst_Files->visualRect(window.controller().model().index(0, 0));
    QTest::mouseClick(window.lst_Files->viewport(), Qt::LeftButton, {}, row.center());
    frm_ToolTip* tip = frm_ToolTip::current();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(
        tip->txt_Info->toPlainText().endsWith("\n  Auf diesem Computer noch nie gesichert."))
        << tip->txt_Info->toPlainText().toStdString();
    frm_ToolTip::unload();
    window.close();
}

}  // namespace
