#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "MainWindowFixture.h"
#include "TestSupport.h"
#include "app/frm_main.h"
#include "base/RunState.h"
#include "catalog/CatalogState.h"
#include "catalog/MainView.h"

using namespace bravel;

namespace {

class MainCommandsTest : public test::ShownMainWindowTest {
  protected:
    QPushButton* button(const char* name) {
        return window->findChild<QPushButton*>(QString::fromUtf8(name));
    }

    // Whether triggering the menu entry presses the button.
    bool pressesButton(QAction* entry, QPushButton* target) {
        QSignalSpy pressed(target, &QPushButton::clicked);
        target->setEnabled(true);
        entry->setEnabled(true);
        entry->trigger();
        return pressed.count() == 1;
    }
};

TEST_F(MainCommandsTest, MenuEntriesAndShortcutButtonsPressTheirCommandButtons) {
    // Each target is disconnected from its command first, so that only the press shows.
    const std::vector<std::pair<QAction*, QPushButton*>> entries = {
        {window->mnu_filenew, window->but_DBNew},
        {window->mnu_fileopen, window->but_DB},
        {window->mnu_fileAutoStart, window->but_SetAutostart},
        {window->mnu_appexit, window->but_exit},
        {window->mnu_fileeditadd, window->but_source},
        {window->mnu_fileeditedit, window->but_Edit},
        {window->mnu_fileeditdelete, window->but_delete},
        {window->mnu_bear_add, window->but_source},
        {window->mnu_bear_edit, window->but_Edit},
        {window->mnu_bear_del, window->but_delete},
        {window->mnu_fileactionstart, window->but_Start},
        {window->mnu_fileactionstartallattr, window->but_Start},
        {window->mnu_ausf_start, window->but_Start},
        {window->mnu_ausf_startattr, window->but_Start},
        {window->mnu_fileactionstop, window->but_Cancel},
        {window->mnu_appsetup, window->but_setup},
        {window->mnu_appinfo, window->but_info},
    };
    for (const auto& [entry, target] : entries) {
        QObject::disconnect(target, &QPushButton::clicked, nullptr, nullptr);
        EXPECT_TRUE(pressesButton(entry, target)) << qPrintable(entry->objectName());
    }
    const std::vector<std::pair<QPushButton*, QPushButton*>> shortcuts = {
        {window->but_shortcut_neu, window->but_DBNew},
        {window->but_shortcut_oeffnen, window->but_DB},
        {window->but_shortcut_dazu, window->but_source},
        {window->but_shortcut_andern, window->but_Edit},
        {window->but_shortcut_del, window->but_delete},
        {window->but_shortcut_run, window->but_Start},
    };
    for (const auto& [shortcut, target] : shortcuts) {
        QSignalSpy pressed(target, &QPushButton::clicked);
        target->setEnabled(true);
        shortcut->click();
        EXPECT_EQ(pressed.count(), 1) << qPrintable(shortcut->objectName());
    }
    EXPECT_EQ(window->findChild<QPushButton*>("but_shortcut_öffnen"), window->but_shortcut_oeffnen);
}

TEST_F(MainCommandsTest, CommandStatesFollowSelectionRunAndAReadOnlyCatalog) {
    const std::vector<QAction*> deletions = {window->mnu_filedelete, window->mnu_fileEXTdelete,
                                             window->mnu_delfile, window->mnu_delfileEXT};
    const std::vector<QAction*> entryWriters = {window->mnu_fileeditadd, window->mnu_fileeditedit,
                                                window->mnu_fileeditdelete};
    ControlStates states;
    states.catalogOpen = true;
    states.hasSelection = false;
    window->applyControlStates(states);
    for (QAction* entry : deletions)
        EXPECT_FALSE(entry->isEnabled())
            << qPrintable(entry->objectName()) << " without a selection";
    states.hasSelection = true;
    states.idle = false;
    window->applyControlStates(states);
    for (QAction* entry : deletions)
        EXPECT_FALSE(entry->isEnabled()) << qPrintable(entry->objectName()) << " during a run";
    states.idle = true;
    window->applyControlStates(states);
    for (QAction* entry : deletions)
        EXPECT_TRUE(entry->isEnabled()) << qPrintable(entry->objectName());
    for (QAction* entry : entryWriters)
        EXPECT_TRUE(entry->isEnabled()) << qPrintable(entry->objectName());

    states.catalogReadOnly = true;
    window->applyControlStates(states);
    for (QAction* entry : entryWriters)
        EXPECT_FALSE(entry->isEnabled())
            << qPrintable(entry->objectName()) << " on a read-only catalog";
    for (QPushButton* writer : {window->but_source, window->but_Edit, window->but_delete})
        EXPECT_FALSE(writer->isEnabled());
    EXPECT_TRUE(window->but_Start->isEnabled())
        << "a run still copies; its records are what it cannot write";
}

TEST_F(MainCommandsTest, RestoreIsOneEntryInBothEditMenusForExactlyOneSelectedRowWhenIdle) {
    QAction* restore = window->mnu_restore;
    ASSERT_TRUE(restore);
    EXPECT_EQ(restore->text(), QStringLiteral("Wiederherstellen…"));
    EXPECT_TRUE(window->mnu_fileedit->actions().contains(restore));
    QAction* contextEdit = window->mnu_bear;
    ASSERT_TRUE(contextEdit && contextEdit->menu());
    EXPECT_TRUE(contextEdit->menu()->actions().contains(restore));

    ControlStates states;
    states.catalogOpen = true;
    states.hasSelection = true;
    window->applyControlStates(states);
    EXPECT_FALSE(restore->isEnabled()) << "two or more rows";
    states.oneRowSelected = true;
    window->applyControlStates(states);
    EXPECT_TRUE(restore->isEnabled());
    states.catalogReadOnly = true;
    window->applyControlStates(states);
    EXPECT_TRUE(restore->isEnabled()) << "a restore writes no record";
    states.idle = false;
    window->applyControlStates(states);
    EXPECT_FALSE(restore->isEnabled()) << "during a run";
}

TEST_F(MainCommandsTest, StartEntriesSetTheAttributeModeAndAltRKeepsIt) {
    QObject::disconnect(window->but_Start, &QPushButton::clicked, nullptr, nullptr);
    window->mnu_fileactionstartallattr->setEnabled(true);
    window->mnu_fileactionstartallattr->trigger();
    EXPECT_TRUE(gCopyAttributes);
    window->but_shortcut_run->click();  // Alt-R
    EXPECT_TRUE(gCopyAttributes) << "the shortcut keeps the mode of the last start entry";
    window->mnu_fileactionstart->setEnabled(true);
    window->mnu_fileactionstart->trigger();
    EXPECT_FALSE(gCopyAttributes);
}

TEST_F(MainCommandsTest, AltAOpensTheRunMenuBelowItsLabel) {
    window->but_mnu_AusfuehrenHover->click();
    EXPECT_TRUE(test::waitUntil([&] { return window->mnu_fileaction->isVisible(); }));
    const QPoint labelBottom =
        window->lbl_mnu_Ausfuehren->mapToGlobal(QPoint(0, window->lbl_mnu_Ausfuehren->height()));
    EXPECT_EQ(window->mnu_fileaction->pos(), labelBottom);
    EXPECT_EQ(window->mnu_fileaction->defaultAction(), window->mnu_fileactionstart);
    EXPECT_TRUE(window->mnu_fileactionstart->font().bold());
    window->mnu_fileaction->close();
}

TEST_F(MainCommandsTest, EntriesWithoutActionExistAndDoNothing) {
    for (QAction* entry :
         {window->mnu_apphelp, window->mnu_appwebupdate, window->mnu_fileexporthtm}) {
        ASSERT_NE(entry, nullptr);
        entry->trigger();
    }
    EXPECT_TRUE(test::scriptedDialogs().messages.empty());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainCommandsTest, CaptionDoubleClickTogglesMaximisedAndDragMovesTheWindow) {
    QTest::mouseDClick(window->lbl_caption, Qt::LeftButton);
    EXPECT_TRUE(window->isMaximized());
    QTest::mouseDClick(window->lbl_caption, Qt::LeftButton);
    EXPECT_FALSE(window->isMaximized());

    const QPoint before = window->pos();
    QTest::mousePress(window->lbl_caption, Qt::LeftButton, {}, QPoint(20, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 35),
                     window->lbl_caption->mapToGlobal(QPointF(60, 35)), Qt::NoButton,
                     Qt::LeftButton, {});
    QCoreApplication::sendEvent(window->lbl_caption, &move);
    QTest::mouseRelease(window->lbl_caption, Qt::LeftButton, {}, QPoint(60, 35));
    EXPECT_EQ(window->pos(), before + QPoint(40, 30));
}

TEST_F(MainCommandsTest, WindowLabelsMinimiseAndClose) {
    QTest::mouseClick(window->lbl_mnu_SystemResize, Qt::LeftButton);
    EXPECT_TRUE(window->isMaximized());
    QTest::mouseClick(window->lbl_mnu_SystemResize, Qt::LeftButton);
    EXPECT_FALSE(window->isMaximized());
    QTest::mouseClick(window->lbl_mnu_System, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible()) << "the close label presses Exit";
}

}  // namespace
