#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "MainWindowFixture.h"
#include "TestSupport.h"
#include "app/frm_main.h"
#include "catalog/CatalogState.h"

using namespace bravel;

namespace {

// The labels that stand in for the caption bar and the menu bar of the frameless main window.
using MainCaptionBarTest = test::ShownMainWindowTest;

TEST_F(MainCaptionBarTest, TheOverlayMaximisesOnADoubleClickTheRecordCountDoesNot) {
    QTest::mouseDClick(window->lbl_lstoverlay, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(window->isMaximized());
    QTest::mouseDClick(window->lbl_lstoverlay, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_FALSE(window->isMaximized());
    QTest::mouseDClick(window->lbl_RecordCount, Qt::LeftButton);
    EXPECT_FALSE(window->isMaximized());
}

TEST_F(MainCaptionBarTest, OnlyTheLeftButtonWorksTheSystemLabelsAndAMinimisedWindowStaysSo) {
    QTest::mouseClick(window->lbl_mnu_System, Qt::RightButton);
    QTest::mouseClick(window->lbl_mnu_SystemResize, Qt::RightButton);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMaximized());
    QTest::mouseClick(window->lbl_mnu_SystemMinimize, Qt::LeftButton);
    EXPECT_TRUE(window->isMinimized());
    QTest::mouseClick(window->lbl_mnu_SystemResize, Qt::LeftButton);
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(window->isMaximized());
}

TEST_F(MainCaptionBarTest, APressOnAMenuLabelOpensItsMenuBelowIt) {
    const std::vector<std::pair<QLabel*, QMenu*>> menus = {
        {window->lbl_mnu_Katalog, window->mnu_file},
        {window->lbl_mnu_Bearbeiten, window->mnu_fileedit},
        {window->lbl_mnu_Ausfuehren, window->mnu_fileaction},
        {window->lbl_mnu_Programm, window->mnu_app}};
    for (const auto& [label, menu] : menus) {
        QTest::mousePress(label, Qt::LeftButton);
        ASSERT_TRUE(test::waitUntil([menu = menu] { return menu->isVisible(); }))
            << qPrintable(label->objectName());
        EXPECT_EQ(menu->pos(), label->mapToGlobal(QPoint(0, label->height())));
        menu->close();
    }
}

}  // namespace
