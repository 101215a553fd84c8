#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <set>

#include "MainWindowFixture.h"
#include "TestSupport.h"
#include "app/frm_main.h"
#include "catalog/CatalogState.h"

using namespace bravel;

namespace {

// The main window's one table of commands against the controls the window really has.
class CommandTableTest : public test::ShownMainWindowTest {
  protected:
    // The entries of a menu and its sub-menus; separators and sub-menus are no commands.
    static void collectEntries(const QMenu* menu, std::set<QObject*>& entries) {
        for (QAction* action : menu->actions()) {
            if (action->menu())
                collectEntries(action->menu(), entries);
            else if (!action->isSeparator())
                entries.insert(action);
        }
    }

    std::set<QObject*> tableControls() {
        std::set<QObject*> controls;
        for (const MainCommand& command : window->commandTable()) controls.insert(command.control);
        return controls;
    }
};

TEST_F(CommandTableTest, EveryLineHasANamedControlAndAHandlerOrSaysWhyItHasNone) {
    const std::vector<MainCommand> table = window->commandTable();
    std::set<QObject*> seen;
    std::set<QString> doingNothing;
    for (const MainCommand& command : table) {
        ASSERT_NE(command.control, nullptr);
        const QString name = command.control->objectName();
        EXPECT_FALSE(name.isEmpty()) << "a control without a name";
        EXPECT_TRUE(qobject_cast<QAction*>(command.control) ||
                    qobject_cast<QAbstractButton*>(command.control))
            << qPrintable(name) << " is neither a menu entry nor a button";
        EXPECT_TRUE(seen.insert(command.control).second) << qPrintable(name) << " has two lines";
        EXPECT_NE(static_cast<bool>(command.run), command.doesNothing != nullptr)
            << qPrintable(name) << ": a handler, or the reason why there is none";
        if (command.doesNothing) doingNothing.insert(name);
    }
    const std::set<QString> deliberatelyIdle = {QStringLiteral("mnu_apphelp"),
                                                QStringLiteral("mnu_appwebupdate"),
                                                QStringLiteral("mnu_fileexporthtm")};
    EXPECT_EQ(doingNothing, deliberatelyIdle);
}

TEST_F(CommandTableTest, TheControlsKeepTheNamesTheProgramIsKnownBy) {
    std::set<QString> expected;
    for (const char* name : {"but_DBNew",
                             "but_DB",
                             "but_source",
                             "but_Edit",
                             "but_delete",
                             "but_Start",
                             "but_Cancel",
                             "chk_pause",
                             "chk_CheckItem",
                             "but_ChangeListView",
                             "but_ChangeListGrid",
                             "but_SetAutostart",
                             "but_setup",
                             "but_info",
                             "but_web",
                             "but_exit",
                             "chk_SearchInAllCols",
                             "but_shortcut_neu",
                             "but_shortcut_öffnen",
                             "but_shortcut_dazu",
                             "but_shortcut_andern",
                             "but_shortcut_del",
                             "but_shortcut_run",
                             "but_shortcut_pause2",
                             "but_mnu_KatalogHover",
                             "but_mnu_BearbeitenHover",
                             "but_mnu_AusfuehrenHover",
                             "but_mnu_ProgrammHover",
                             "mnu_filenew",
                             "mnu_fileopen",
                             "mnu_filerefresh",
                             "mnu_fileexportclipboard",
                             "mnu_fileexportascii",
                             "mnu_fileexporthtm",
                             "mnu_fileAutoStart",
                             "mnu_fileschedule",
                             "mnu_appexit",
                             "mnu_fileeditadd",
                             "mnu_fileeditedit",
                             "mnu_fileeditdelete",
                             "mnu_filedelete",
                             "mnu_fileEXTdelete",
                             "mnu_restore",
                             "mnu_bear_add",
                             "mnu_bear_edit",
                             "mnu_bear_del",
                             "mnu_delfile",
                             "mnu_delfileEXT",
                             "mnu_fileactionstart",
                             "mnu_fileactionstartallattr",
                             "mnu_fileactionpause",
                             "mnu_fileactionstop",
                             "mnu_ausf_start",
                             "mnu_ausf_startattr",
                             "mnu_appsetup",
                             "mnu_apperror",
                             "mnu_applastlog",
                             "mnu_appwebupdate",
                             "mnu_appnetupdate",
                             "mnu_appinfo",
                             "mnu_apphelp"})
        expected.insert(QString::fromUtf8(name));
    for (int slot = 1; slot <= 9; ++slot)
        expected.insert(QStringLiteral("mnu_filerecent%1").arg(slot));
    std::set<QString> names;
    for (QObject* control : tableControls()) names.insert(control->objectName());
    EXPECT_EQ(names, expected);
}

TEST_F(CommandTableTest, TheMenusHoldExactlyTheTablesEntries) {
    std::set<QObject*> entries;
    for (const QMenu* menu : {window->mnu_file, window->mnu_fileedit, window->mnu_fileaction,
                              window->mnu_app, window->menu})
        collectEntries(menu, entries);
    std::set<QObject*> tableEntries;
    for (QObject* control : tableControls())
        if (qobject_cast<QAction*>(control)) tableEntries.insert(control);
    for (QObject* entry : entries)
        EXPECT_TRUE(tableEntries.count(entry))
            << qPrintable(entry->objectName()) << " is in no line";
    for (QObject* entry : tableEntries)
        EXPECT_TRUE(entries.count(entry)) << qPrintable(entry->objectName()) << " is in no menu";
    EXPECT_GT(entries.size(), 9u) << "more than the nine recent catalogs";
}

TEST_F(CommandTableTest, EveryButtonOfTheWindowHasALine) {
    const std::set<QObject*> controls = tableControls();
    const QList<QAbstractButton*> buttons = window->findChildren<QAbstractButton*>();
    ASSERT_FALSE(buttons.isEmpty());
    for (QAbstractButton* button : buttons)
        EXPECT_TRUE(controls.count(button)) << qPrintable(button->objectName()) << " is in no line";
}

TEST_F(CommandTableTest, APressReachesAnEnabledButtonOnceAndTheIdleEntriesRunNothing) {
    // The shortcut and the menu entry press the button: the press reaches the button's own line
    // once, and a disabled button ignores it.
    QObject::disconnect(window->but_DBNew, &QPushButton::clicked, nullptr, nullptr);
    QSignalSpy pressed(window->but_DBNew, &QPushButton::clicked);
    window->but_DBNew->setEnabled(false);
    window->but_shortcut_neu->click();
    window->mnu_filenew->setEnabled(true);
    window->mnu_filenew->trigger();
    EXPECT_EQ(pressed.count(), 0) << "a disabled button takes no press";
    window->but_DBNew->setEnabled(true);
    window->but_shortcut_neu->click();
    window->mnu_filenew->trigger();
    EXPECT_EQ(pressed.count(), 2);

    for (const MainCommand& command : window->commandTable()) {
        if (command.run) continue;
        auto* entry = qobject_cast<QAction*>(command.control);
        ASSERT_NE(entry, nullptr);
        entry->setEnabled(true);
        entry->trigger();
    }
    EXPECT_TRUE(test::scriptedDialogs().messages.empty());
    EXPECT_TRUE(window->isVisible());
}

}  // namespace
