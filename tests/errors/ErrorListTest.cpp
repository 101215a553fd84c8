#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "TestSupport.h"
#include "base/AppValues.h"
#include "catalog/CatalogController.h"
#include "errors/COLError.h"
#include "errors/frm_ErrorList.h"
#include "listtools/ToolTipContent.h"
#include "listtools/frm_ToolTip.h"
#include "platform/Clock.h"
#include "platform/Formats.h"
#include "platform/Twips.h"

using namespace bravel;

namespace {

class ErrorListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        resetToolTipState();
    }
    void TearDown() override {
        frm_ToolTip::unload();
        if (frm_ErrorList::current()) frm_ErrorList::current()->close();
        QCoreApplication::processEvents();
    }

    static void addRecords(int count) {
        const QDateTime start(QDate(2024, 3, 5), QTime(14, 7, 9));
        for (int n = 1; n <= count; ++n)
            gErrorStack.Add(
                50 + n, QStringLiteral("Fehler %1").arg(n), start.addSecs(n),
                QStringLiteral("v_gCopy"),
                n == count ? QString()
                           : QStringLiteral("Open(/q/%1) For Binary Access Read As fn1").arg(n));
    }

    static QPoint rowCentre(QTreeWidget* list, int row) {
        return list->visualItemRect(list->topLevelItem(row)).center();
    }
};

TEST_F(ErrorListTest, EmptyStackShowsNoRowsAndClearingKeepsItEmpty) {
    frm_ErrorList* window = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    EXPECT_EQ(window->lst_errorlist->topLevelItemCount(), 0);
    window->but_DelError->click();
    EXPECT_EQ(window->lst_errorlist->topLevelItemCount(), 0);
    EXPECT_EQ(gErrorStack.Count(), 0);
}

TEST_F(ErrorListTest, ListeLeerenEmptiesTheStackAndTheList) {
    addRecords(3);
    frm_ErrorList* window = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    ASSERT_EQ(window->lst_errorlist->topLevelItemCount(), 3);
    EXPECT_EQ(window->but_DelError->text(), "Liste leeren");
    window->but_DelError->click();
    EXPECT_EQ(window->lst_errorlist->topLevelItemCount(), 0);
    EXPECT_EQ(gErrorStack.Count(), 0);
}

TEST_F(ErrorListTest, WindowLayoutColumnsAndCaption) {
    frm_ErrorList* window = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    EXPECT_EQ(window->lbl_caption->text(), "      Fehlerstack");
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(window->isModal());
    QTreeWidgetItem* header = window->lst_errorlist->headerItem();
    const QStringList headings{"Zeitpunkt", "Nr.", "Fehlerbeschreibung", "Modul", "Auslöser"};
    const int widths[] = {2300, 700, 2000, 2000, 2500};
    ASSERT_EQ(header->columnCount(), 5);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(header->text(c), headings[c]);
        EXPECT_GE(window->lst_errorlist->columnWidth(c), twipsToPixels(widths[c]));
        EXPECT_FALSE(header->icon(c).isNull());
    }
    ASSERT_EQ(window->img_List.size(), 5u);
    EXPECT_EQ(window->img_List[3].first, "clock");
    EXPECT_EQ(window->minimumSize(), QSize(twipsToPixels(4540), twipsToPixels(3640)));
    EXPECT_EQ(window->size(), QSize(twipsToPixels(10000), twipsToPixels(5000)));
}

TEST_F(ErrorListTest, TimesAndHeadingsShowWholeAtTheDefaultWidths) {
    // The longest time of the German short date: two-digit day and month.
    gErrorStack.Add(53, "Datei nicht gefunden", QDateTime(QDate(2024, 12, 28), QTime(23, 58, 59)),
                    "v_gCopy", "x");
    frm_ErrorList* window = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    QTreeWidget* list = window->lst_errorlist;
    QHeaderView* header = list->header();
    for (int c = 0; c < header->count(); ++c)
        EXPECT_GE(list->columnWidth(c), header->sectionSizeHint(c))
            << list->headerItem()->text(c).toStdString();
    EXPECT_GE(list->columnWidth(0), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(0));
    const QRect cell = list->visualItemRect(list->topLevelItem(0));
    const int textWidth = list->fontMetrics().horizontalAdvance(list->topLevelItem(0)->text(0));
    EXPECT_GE(list->columnWidth(0), textWidth + list->iconSize().width()) << cell.height();
}

TEST_F(ErrorListTest, TenthRowIsKeyed10eAndItsDoubleClickShowsTheTenthRecord) {
    addRecords(10);
    frm_ErrorList* window = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    QTreeWidget* list = window->lst_errorlist;
    ASSERT_EQ(list->topLevelItemCount(), 10);
    EXPECT_EQ(frm_ErrorList::rowKey(list->topLevelItem(0)), "1e");
    QTreeWidgetItem* tenth = list->topLevelItem(9);
    EXPECT_EQ(frm_ErrorList::rowKey(tenth), "10e");
    EXPECT_EQ(tenth->text(1), "60");
    EXPECT_EQ(tenth->text(2), "Fehler 10");
    EXPECT_EQ(tenth->text(3), "v_gCopy");
    EXPECT_EQ(tenth->text(4), "");
    EXPECT_EQ(tenth->text(0),
              formatGeneralDate(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 19)), true));

    list->scrollToItem(tenth);
    // The first click selects the row, the second press of the double-click shows its record.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 9));
    ASSERT_EQ(list->selectedItems().value(0), tenth);
    emit list->itemDoubleClicked(tenth, 0);
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    const auto& message = test::scriptedDialogs().messages[0];
    const QString expected = "\r\nZeitpunkt: " + tenth->text(0) +
                             "\r\nFehlernummer: 60\r\nFehlerbeschreibung: Fehler 10\r\nModul: "
                             "v_gCopy\r\nAuslöser: \r\n\r\n";
    EXPECT_EQ(message.text, expected);
    EXPECT_EQ(message.caption,
              QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    EXPECT_EQ(message.icon, MsgIcon::Information);
}

TEST_F(ErrorListTest, RecordsAddedWhileOpenAppearOnlyAfterReopening) {
    addRecords(2);
    frm_ErrorList* window = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    gErrorStack.Add(76, "Pfad nicht gefunden", QDateTime::currentDateTime(), "v_mFillListBox",
                    "Dir$(/x)");
    EXPECT_EQ(window->lst_errorlist->topLevelItemCount(), 2);
    // Opening again only brings the open window forward.
    EXPECT_EQ(frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails()), window);
    EXPECT_EQ(window->lst_errorlist->topLevelItemCount(), 2);

    window->but_OK->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(frm_ErrorList::current(), nullptr);
    frm_ErrorList* reopened = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    EXPECT_EQ(reopened->lst_errorlist->topLevelItemCount(), 3);
    EXPECT_EQ(reopened->lst_errorlist->topLevelItem(2)->text(3), "v_mFillListBox");
}

TEST_F(ErrorListTest, ClickOnARowOpensTheToolTipAndClosingTheWindowClosesIt) {
    addRecords(4);
    frm_ErrorList* window = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    window->move(100, 80);
    QTreeWidget* list = window->lst_errorlist;
    const QPoint centre = rowCentre(list, 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    frm_ToolTip* tip = frm_ToolTip::current();
    ASSERT_NE(tip, nullptr);
    const std::shared_ptr<ErrorProperties> second = gErrorStack.Item(2);
    EXPECT_EQ(tip->tagText(), errorToolTipText(*second));
    EXPECT_TRUE(tip->tagText().startsWith("Zeitpunkt: "));
    EXPECT_TRUE(tip->tagText().endsWith("Auslöser: Open(/q/2) For Binary Access Read As fn1"));
    const QPoint inList = list->viewport()->mapTo(list, centre);
    const QString position =
        QString::number(qint64(pixelsToTwips(window->x()) + int(pixelsToTwips(inList.x())) + 320)) +
        ";" +
        QString::number(qint64(pixelsToTwips(window->y()) + int(pixelsToTwips(inList.y())) + 630));
    EXPECT_EQ(tip->positionText(), position);

    // A click on another row replaces the tooltip.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 3));
    QCoreApplication::processEvents();
    ASSERT_NE(frm_ToolTip::current(), nullptr);
    EXPECT_TRUE(frm_ToolTip::current()->tagText().contains("Fehler 4"));

    window->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frm_ToolTip::current(), nullptr);
}

TEST_F(ErrorListTest, CloseLabelAndMaximizeImage) {
    frm_ErrorList* window = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    QTest::mouseClick(window->img_systemmaximize, Qt::LeftButton);
    EXPECT_TRUE(window->isMaximized());
    QTest::mouseDClick(window->lbl_caption, Qt::LeftButton);
    EXPECT_FALSE(window->isMaximized());
    QTest::mouseClick(window->lbl_mnu_System, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(frm_ErrorList::current(), nullptr);
}

TEST_F(ErrorListTest, ListFocusSetsTheSharedFlag) {
    frm_ErrorList* window = frm_ErrorList::showWindow(nullptr, &frm_ToolTip::errorListDetails());
    window->activateWindow();
    QApplication::setActiveWindow(window);
    gListHasFocus = false;
    window->but_OK->setFocus();
    window->lst_errorlist->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(gListHasFocus);
    // Losing the focus leaves the flag as it is.
    window->but_OK->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(gListHasFocus);
}

}  // namespace
