#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cmath>
#include <functional>
#include <set>

#include "Fixtures.h"
#include "app/ApplySetup.h"
#include "app/CommandLine.h"
#include "app/UiMainSetup.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "listtools/ToolTipContent.h"
#include "platform/CatalogDatabase.h"
#include "platform/Clock.h"
#include "platform/Colors.h"
#include "settings/DesktopIntegration.h"
#include "settings/SettingKeys.h"
#include "settings/frm_setup.h"

using namespace bravel;

namespace {

QColor back(const QWidget* widget) {
    return widget->palette().color(QPalette::Window);
}
QColor fore(const QWidget* widget) {
    return widget->palette().color(QPalette::WindowText);
}
QColor buttonColour(const QWidget* widget) {
    return widget->palette().color(QPalette::Button);
}
QColor swatch(const QLabel* label) {
    return back(label);
}

// The contrast of two colours as the web's accessibility rules reckon it: 1 for equal colours,
// 21 for black on white. The schemes' own caption pairs reach about 1.8.
double contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a label's text is drawn on: its own background when it fills it, else its parent's.
QColor groundOf(const QWidget* label) {
    for (const QWidget* w = label; w; w = w->parentWidget())
        if (w->autoFillBackground() || w->isWindow()) return w->palette().color(QPalette::Window);
    return label->palette().color(QPalette::Window);
}

void clickItem(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

class SetupWindowTest : public test::TempFolderTest {
  protected:
    // Presses the setup button; the script runs while the modal setup window is open.
    void runSetup(frm_main& window, const std::function<void(frm_setup&)>& script) {
        bool ran = false;
        std::function<void()> drive;
        drive = [&] {
            auto* setup = qobject_cast<frm_setup*>(QApplication::activeModalWidget());
            if (!setup) {
                QTimer::singleShot(10, drive);
                return;
            }
            ran = true;
            script(*setup);
        };
        QTimer::singleShot(0, drive);
        window.but_setup->click();
        ASSERT_TRUE(ran);
    }
};

class OpenSetupTest : public SetupWindowTest {
  protected:
    void SetUp() override {
        SetupWindowTest::SetUp();
        window = std::make_unique<frm_main>();
        window->load();
        window->show();
        target = std::make_unique<MainAppearance>(*window);
    }
    void TearDown() override {
        setup.reset();
        target.reset();
        window.reset();
        SetupWindowTest::TearDown();
    }
    frm_setup& open() {
        setup = std::make_unique<frm_setup>(*target, window.get());
        setup->show();
        return *setup;
    }
    std::unique_ptr<frm_main> window;
    std::unique_ptr<MainAppearance> target;
    std::unique_ptr<frm_setup> setup;
};

TEST_F(OpenSetupTest, ShowsTheSectionsTabsAndStoredValuesWithTheLoadDefaults) {
    writeSetting(keys::setup_opt_AutoCopyRange, "True");
    writeSetting(keys::setup_cbo_AfterJob, "2");
    frm_setup& s = open();
    EXPECT_EQ(s.windowTitle(), "Setup");
    EXPECT_EQ(s.lbl_caption->text(), "      SETUP");
    EXPECT_EQ(s.lbl_mnu_System->toolTip(), "Programm verlassen (ESC)");
    ASSERT_EQ(s.lst_setup->count(), 4);
    EXPECT_EQ(s.lst_setup->item(2)->text(), " Ansicht");
    EXPECT_TRUE(s.lst_setup->item(0)->font().bold() || s.lst_setup->font().bold());
    EXPECT_EQ(s.tab_Setup->tabText(3), "Vorgang");
    EXPECT_EQ(s.lbl_TabTitle[1]->text(), " Standardwerte");
    clickItem(s.lst_setup, 2);
    EXPECT_EQ(s.tab_Setup->currentIndex(), 2);

    // Key defaults as the window reads them.
    EXPECT_FALSE(s.chk_Autostart->isChecked());
    EXPECT_FALSE(s.txt_Autostart->isEnabled());
    EXPECT_EQ(s.txt_AutoUpdate->text(), "1000");
    EXPECT_TRUE(s.chk_AutoUpdate->isChecked());
    EXPECT_TRUE(s.chk_AutoSpaltebreite->isChecked());
    EXPECT_TRUE(s.chk_FullRowSelect->isChecked());
    EXPECT_TRUE(s.chk_ShowToolTip->isChecked());
    EXPECT_EQ(s.sld_ToolTipTransparenz->value(), 220);
    EXPECT_TRUE(s.opt_AutoCopyRange->isChecked());
    EXPECT_TRUE(s.txt_AutoCopyRange->isEnabled());
    EXPECT_EQ(s.cbo_AfterJob->count(), 4);
    EXPECT_EQ(s.cbo_AfterJob->itemText(1), "Abmelden (Netzwerkverbindungen lösen)");
    EXPECT_EQ(s.cbo_AfterJob->currentIndex(), 2);
    EXPECT_FALSE(s.cbo_AfterJob->isEnabled());
    EXPECT_EQ(s.txt_KontextText->text(), "zu Bravel hinzufügen...");
    EXPECT_EQ(s.lst_SavedColors->currentItem()->text(), " Blau");
    EXPECT_EQ(s.lst_SetupMenuItems->item(2)->text(), " Ausführen");
    EXPECT_EQ(s.findChild<QPushButton*>("but_UnDo(7)")->text(), "rückgängig");
    // The font label shows the Programm label's font, written in it.
    EXPECT_EQ(s.lbl_FontClearName->text(), " Arial ");
    EXPECT_EQ(s.but_SelectFont->text(), "Arial");
    EXPECT_EQ(swatch(s.pic_FontColorHintergrund), colorFromBgr(16744576));
    EXPECT_EQ(swatch(s.pic_Systemfarbe), colorFromBgr(gCaptionForeColor));
}

TEST_F(OpenSetupTest, TickingAutostartWithAnEmptyPathAsksForTheCatalogButNotWhileOpening) {
    writeSetting(keys::setup_chk_autostart, "1");
    frm_setup& s = open();
    EXPECT_TRUE(s.chk_Autostart->isChecked());
    EXPECT_TRUE(test::scriptedDialogs().fileRequests.empty());

    QTest::mouseClick(s.chk_Autostart, Qt::LeftButton);  // off: nothing asked
    EXPECT_FALSE(s.txt_Autostart->isEnabled());
    EXPECT_TRUE(test::scriptedDialogs().fileRequests.empty());
    test::scriptedDialogs().openAnswers.push_back(QStringList{"  /daten/haupt.bvk "});
    QTest::mouseClick(s.chk_Autostart, Qt::LeftButton);
    ASSERT_EQ(test::scriptedDialogs().fileRequests.size(), 1u);
    const auto& request = test::scriptedDialogs().fileRequests[0];
    EXPECT_EQ(request.kind, "open");
    EXPECT_EQ(request.request.title, gProductName + " - Datei auswählen");
    EXPECT_EQ(request.request.filter, "Bravel-Kataloge (*.bvk)|*.bvk");
    EXPECT_EQ(s.txt_Autostart->text(), "/daten/haupt.bvk");
    EXPECT_TRUE(s.txt_Autostart->isEnabled());
}

TEST_F(OpenSetupTest, OkChecksTheAutostartPathAndTheStandardFolderAndStaysOpenOnAFault) {
    frm_setup& s = open();
    s.chk_Autostart->setChecked(true);  // no click: the dialog is not asked here
    s.but_ok->click();
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text, "Bitte Eintrag prüfen!");
    EXPECT_EQ(test::scriptedDialogs().messages[0].caption, gProductName);
    EXPECT_EQ(readText(keys::setup_chk_autostart), "1");
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(s.resultText(), kSetupExit);
    EXPECT_EQ(s.focusWidget(), s.txt_Autostart);
    EXPECT_EQ(readText(keys::setup_chk_AutoUpdate, "unwritten"), "unwritten");  // stopped before

    s.txt_Autostart->setText(path("fehlt.bvk"));
    s.but_ok->click();
    EXPECT_EQ(test::scriptedDialogs().messages.back().text, "Datei existiert nicht!");
    s.txt_Autostart->setText(dir.path());  // a folder is no catalog
    s.but_ok->click();
    EXPECT_EQ(test::scriptedDialogs().messages.back().text, "Datei existiert nicht!");

    s.txt_Autostart->setText("  " + makeCatalog("haupt.bvk") + " ");
    s.chk_StandardSicherungsverzeichnis->setChecked(true);
    s.txt_StandardSicherungsverzeichnis->setText("   ");
    s.but_ok->click();
    EXPECT_EQ(test::scriptedDialogs().messages.back().text, "Bitte Eintrag prüfen!");
    EXPECT_EQ(s.focusWidget(), s.txt_StandardSicherungsverzeichnis);
    EXPECT_EQ(readText(keys::setup_txt_autostart), path("haupt.bvk"));
    s.txt_StandardSicherungsverzeichnis->setText(path("kein Ordner"));
    s.but_ok->click();
    EXPECT_EQ(test::scriptedDialogs().messages.back().text, "Datei existiert nicht!");
    EXPECT_EQ(test::scriptedDialogs().messages.size(), 5u);
    EXPECT_TRUE(s.isVisible());

    s.txt_StandardSicherungsverzeichnis->setText(dir.path() + " ");
    s.but_ok->click();
    EXPECT_EQ(test::scriptedDialogs().messages.size(), 5u);
    EXPECT_EQ(s.resultText(), kSetupOk);
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(readText(keys::setup_txt_StandardSicherungsverzeichnis), dir.path());
}

TEST_F(OpenSetupTest, OkWritesEveryKeyAsTheControlsShowIt) {
    const QString catalog = makeCatalog("auto.bvk");
    frm_setup& s = open();
    s.chk_Autostart->setChecked(true);
    s.txt_Autostart->setText(catalog);
    s.chk_Switch2Autostart->setChecked(true);
    s.opt_AutoCopyRange->setChecked(true);
    s.txt_AutoCopyRange->setText(" *.doc ");
    s.opt_AutoCopyAll->setChecked(true);
    s.chk_StandardSicherungsverzeichnis->setChecked(true);
    s.txt_StandardSicherungsverzeichnis->setText(dir.path());
    s.chk_UseOrigPath->setChecked(true);
    s.chk_DeletePathAfterDelLocalFile->setChecked(true);
    s.chk_DeleteItemshAfterDelLocalFile->setChecked(true);
    s.chk_AutoUpdate->setChecked(false);
    s.txt_AutoUpdate->setText("2.5");
    s.chk_AutoSpaltebreite->setChecked(false);
    s.chk_FullRowSelect->setChecked(false);
    s.chk_ShowToolTip->setChecked(false);
    s.sld_ToolTipTransparenz->setValue(99);
    s.chk_WarnOldBackup->setChecked(true);
    s.txt_WarnOldBackup->setValue(30);
    s.chk_AfterJob->setChecked(true);
    s.cbo_AfterJob->setCurrentIndex(3);
    s.chk_ShowStatus->setChecked(true);
    s.but_ok->click();
    ASSERT_EQ(s.resultText(), kSetupOk);

    const std::vector<std::pair<SettingKey, QString>> expected{
        {keys::setup_chk_autostart, "1"},
        {keys::setup_txt_autostart, catalog},
        {keys::setup_chk_StandardSicherungsverzeichnis, "1"},
        {keys::setup_txt_StandardSicherungsverzeichnis, dir.path()},
        {keys::setup_chk_AutoSpaltenbreite, "0"},
        {keys::lst_fullrowselect, "0"},
        {keys::lst_tooltip, "0"},
        {keys::sld_ToolTipTransparenz, "99"},
        {keys::setup_chk_WarnOldBackup, "1"},
        {keys::setup_txt_WarnOldBackup, "30"},
        {keys::setup_chk_Switch2Autostart, "1"},
        {keys::setup_chk_AfterJob, "1"},
        {keys::setup_cbo_AfterJob, "3"},
        {keys::setup_chk_UseOrigPath, "1"},
        {keys::setup_chk_DeletePathAfterDelLocalFile, "1"},
        {keys::setup_chk_DeleteItemshAfterDelLocalFile, "1"},
        {keys::setup_chk_AutoUpdate, "0"},
        {keys::setup_txt_AutoUpdate, "2.5"},
        {keys::setup_opt_AutoCopyRange, "True"},
        {keys::setup_txt_AutoCopyRange, " *.doc "},
        {keys::setup_opt_AutoCopyAll, "True"},
        {keys::setup_chk_ShowStatus, "1"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(readText(key, "unwritten"), value) << key.name;
    EXPECT_FALSE(gShowToolTips);
    EXPECT_EQ(gToolTipAlpha, 99);

    // Read back, the window shows the same; without the after-run box the action is -1.
    frm_setup again(*target, window.get());
    EXPECT_EQ(again.controlValues().autoUpdateText, "2.5");
    EXPECT_EQ(again.cbo_AfterJob->currentIndex(), 3);
    again.chk_AfterJob->setChecked(false);
    again.but_ok->click();
    EXPECT_EQ(readText(keys::setup_cbo_AfterJob), "-1");
}

TEST_F(OpenSetupTest, TheSchemeGruenSetsBothCaptionColoursInBothWindowsAtOnce) {
    frm_setup& s = open();
    clickItem(s.lst_SavedColors, 2);
    ASSERT_EQ(s.lst_SavedColors->item(2)->text(), " Grün");
    EXPECT_EQ(gCaptionBackColor, 32768);
    EXPECT_EQ(gCaptionForeColor, 12648384);
    const QColor green = colorFromBgr(32768), pale = colorFromBgr(12648384);
    for (const QWidget* label :
         std::initializer_list<const QWidget*>{s.lbl_caption, s.lbl_mnu_System, s.lbl_TabTitle[0],
                                               window->lbl_caption, window->lbl_mnu_System}) {
        EXPECT_EQ(back(label), green) << label->objectName().toStdString();
        EXPECT_EQ(fore(label), pale) << label->objectName().toStdString();
    }
    EXPECT_EQ(swatch(s.pic_Fensterhintergrundfarbe), green);
    EXPECT_EQ(swatch(s.pic_Systemfarbe), pale);
    // Buttons, check boxes and labels of the main window take the scheme, the search box's not.
    EXPECT_EQ(buttonColour(window->but_Start), green);
    EXPECT_EQ(buttonColour(window->chk_pause), green);
    EXPECT_NE(buttonColour(window->chk_SearchInAllCols), green);
    EXPECT_EQ(back(window->lbl_mnu_Katalog), green);
    EXPECT_EQ(window->lbl_mnu_Katalog->font().family(), "Arial");
    EXPECT_EQ(s.lbl_FontClearName->text(), " Arial ");
}

TEST_F(OpenSetupTest, SchemesAndTheButtonColourLeaveTheSetupWindowsOwnControlsAlone) {
    frm_setup& s = open();
    // The setup window's caption, tab headings and swatches show the choices; nothing else of it.
    std::set<const QWidget*> showsChoices{s.lbl_caption,
                                          s.lbl_icon,
                                          s.img_systemclose,
                                          s.lbl_mnu_System,
                                          s.lbl_FontClearName,
                                          s.pic_FontColor,
                                          s.pic_FontColorHintergrund,
                                          s.pic_Fensterhintergrundfarbe,
                                          s.pic_Systemfarbe,
                                          s.pic_backcolor,
                                          s.pic_ButtonColor};
    for (const QLabel* heading : s.lbl_TabTitle) showsChoices.insert(heading);
    std::vector<std::pair<const QWidget*, QPalette>> own;
    for (const QWidget* widget : s.findChildren<QWidget*>())
        if ((qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget)) &&
            !showsChoices.count(widget))
            own.emplace_back(widget, widget->palette());
    ASSERT_GT(own.size(), 20u);

    clickItem(s.lst_SavedColors, 1);  // " Rot"
    test::scriptedDialogs().colorAnswers.push_back(0x0000FF);
    QTest::mouseClick(s.pic_ButtonColor, Qt::LeftButton);
    EXPECT_EQ(buttonColour(window->but_Start), QColor(255, 0, 0));
    for (const auto& [widget, before] : own)
        for (QPalette::ColorRole role :
             {QPalette::Window, QPalette::WindowText, QPalette::Button, QPalette::ButtonText})
            EXPECT_EQ(widget->palette().color(role), before.color(role))
                << widget->metaObject()->className() << " " << widget->objectName().toStdString()
                << " role " << role;
}

TEST_F(OpenSetupTest, EveryLabelOfTheMainWindowStaysReadableInEveryScheme) {
    frm_setup& s = open();
    window->lbl_RecordCount->setText(QStringLiteral("3 Einträge"));
    for (int scheme = 0; scheme < s.lst_SavedColors->count(); ++scheme) {
        clickItem(s.lst_SavedColors, scheme);
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            if (label->window() != window.get() || label->text().trimmed().isEmpty()) continue;
            EXPECT_GE(contrast(fore(label), groundOf(label)), 1.5)
                << s.lst_SavedColors->item(scheme)->text().toStdString() << ": "
                << label->objectName().toStdString();
        }
    }
}

TEST_F(OpenSetupTest, TheListColourShowsAtOnce) {
    frm_setup& s = open();
    test::scriptedDialogs().colorAnswers.push_back(0x00FFFF);  // yellow
    QTest::mouseClick(s.pic_backcolor, Qt::LeftButton);
    QWidget* list = window->lst_Files->viewport();
    const QImage shown = list->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() - 3), QColor(255, 255, 0));
    // Grid lines off and on again keep it.
    window->but_ChangeListGrid->click();
    window->but_ChangeListGrid->click();
    const QImage again = list->grab().toImage();
    EXPECT_EQ(again.pixelColor(again.width() / 2, again.height() - 3), QColor(255, 255, 0));
}

TEST_F(OpenSetupTest, TheRemoveButtonBesideTheAssociationTakesTheDesktopFilesBack) {
    frm_setup& s = open();
    ASSERT_NE(s.but_RemoveDesktopEntries, nullptr);
    EXPECT_EQ(s.but_RemoveDesktopEntries->objectName(), "but_RemoveDesktopEntries");
    EXPECT_EQ(s.but_RemoveDesktopEntries->text(), "Desktop-Einträge entfernen");
    EXPECT_EQ(s.but_RemoveDesktopEntries->parentWidget(),
              s.but_SetExtension2Registry->parentWidget());
    s.but_SetExtension2Registry->click();
    ASSERT_TRUE(QFile::exists(desktop::openEntryPath()));
    s.but_RemoveDesktopEntries->click();
    EXPECT_FALSE(QFile::exists(desktop::openEntryPath()));
    EXPECT_FALSE(QFile::exists(desktop::mimePackagePath()));
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 2u);
    EXPECT_EQ(test::scriptedDialogs().messages[1].text, "Desktop-Einträge erfolgreich entfernt.");
}

TEST_F(OpenSetupTest, FontAndColourChoicesActOnlyOnTheSelectedMenuEntries) {
    frm_setup& s = open();
    s.lst_SetupMenuItems->clearSelection();
    const QFont before = window->lbl_mnu_Katalog->font();
    const QColor katalogText = fore(window->lbl_mnu_Katalog);

    QFont chosen(QStringLiteral("DejaVu Serif"));
    test::scriptedDialogs().fontAnswers.push_back(chosen);
    s.but_SelectFont->click();
    EXPECT_EQ(s.lbl_FontClearName->text(), " DejaVu Serif ");
    EXPECT_EQ(s.but_SelectFont->text(), "DejaVu Serif");
    test::scriptedDialogs().colorAnswers.push_back(0x0000FF);
    QTest::mouseClick(s.pic_FontColor, Qt::LeftButton);
    EXPECT_EQ(test::scriptedDialogs().colorRequests, 1);
    EXPECT_EQ(test::scriptedDialogs().fontTitles, QStringList{"Bravel - Schrift auswählen"});
    EXPECT_EQ(test::scriptedDialogs().colorTitles, QStringList{"Bravel - Farbe auswählen"});
    EXPECT_EQ(swatch(s.pic_FontColor), QColor(255, 0, 0));
    for (QLabel* label : {window->lbl_mnu_Katalog, window->lbl_mnu_Bearbeiten,
                          window->lbl_mnu_Ausfuehren, window->lbl_mnu_Programm}) {
        EXPECT_EQ(label->font().family(), before.family());
        EXPECT_EQ(fore(label), katalogText);
    }

    // With " Bearbeiten" selected the next choice takes font and both colours to that label.
    clickItem(s.lst_SetupMenuItems, 1);
    EXPECT_TRUE(s.lst_SetupMenuItems->item(1)->isSelected());
    test::scriptedDialogs().colorAnswers.push_back(0x00FF00);
    QTest::mouseClick(s.pic_FontColorHintergrund, Qt::LeftButton);
    EXPECT_EQ(back(window->lbl_mnu_Bearbeiten), QColor(0, 255, 0));
    EXPECT_EQ(back(window->lbl_mnu_Katalog), colorFromBgr(16744576));
    // A cancelled dialog changes nothing.
    QTest::mouseClick(s.pic_FontColorHintergrund, Qt::LeftButton);
    EXPECT_EQ(back(window->lbl_mnu_Bearbeiten), QColor(0, 255, 0));

    // Undo 4 puts the load-time background back, 7 does nothing.
    s.findChild<QPushButton*>("but_UnDo(7)")->click();
    EXPECT_EQ(back(window->lbl_mnu_Bearbeiten), QColor(0, 255, 0));
    s.findChild<QPushButton*>("but_UnDo(4)")->click();
    EXPECT_EQ(back(window->lbl_mnu_Bearbeiten), colorFromBgr(16744576));
}

TEST_F(OpenSetupTest, TheIntervalBoxTakesOnlyDigitsPointAndBackspace) {
    frm_setup& s = open();
    s.txt_AutoUpdate->clear();
    s.txt_AutoUpdate->setFocus();
    QTest::keyClicks(s.txt_AutoUpdate, "12a.5x-");
    EXPECT_EQ(s.txt_AutoUpdate->text(), "12.5");
    QTest::keyClick(s.txt_AutoUpdate, Qt::Key_Backspace);
    EXPECT_EQ(s.txt_AutoUpdate->text(), "12.");
    QTest::keyClick(s.txt_AutoUpdate, Qt::Key_Left);
    QTest::keyClicks(s.txt_AutoUpdate, "0");
    EXPECT_EQ(s.txt_AutoUpdate->text(), "120.");
}

TEST_F(OpenSetupTest, TheOptionsFollowTheMouseButtonAndStayIndependent) {
    frm_setup& s = open();
    QTest::mouseClick(s.opt_AutoCopyRange, Qt::LeftButton);
    QTest::mouseClick(s.opt_AutoCopyAll, Qt::LeftButton);
    EXPECT_TRUE(s.opt_AutoCopyRange->isChecked());
    EXPECT_TRUE(s.opt_AutoCopyAll->isChecked());
    EXPECT_TRUE(s.txt_AutoCopyRange->isEnabled());
    QTest::mouseClick(s.opt_AutoCopyRange, Qt::RightButton);
    EXPECT_FALSE(s.opt_AutoCopyRange->isChecked());
    EXPECT_FALSE(s.txt_AutoCopyRange->isEnabled());
}

TEST_F(SetupWindowTest, ExitUndoesEveryLiveChange) {
    frm_main window;
    window.load();
    window.show();
    const QFont menuFont = window.lbl_mnu_Programm->font();
    const QColor captionBack = back(window.lbl_caption);
    const QColor listBack = window.lst_Files->palette().color(QPalette::Base);
    const QColor buttons = buttonColour(window.but_Start);

    runSetup(window, [](frm_setup& s) {
        s.lst_SetupMenuItems->selectAll();
        test::scriptedDialogs().fontAnswers.push_back(QFont("DejaVu Serif"));
        s.but_SelectFont->click();
        for (QLabel* picture : {s.pic_Fensterhintergrundfarbe, s.pic_Systemfarbe, s.pic_backcolor,
                                s.pic_ButtonColor}) {
            test::scriptedDialogs().colorAnswers.push_back(0x123456);
            QTest::mouseClick(picture, Qt::LeftButton);
        }
        QTest::mouseClick(s.chk_FullRowSelect, Qt::LeftButton);
        s.but_exit->click();
    });
    EXPECT_EQ(window.lbl_mnu_Programm->font().family(), menuFont.family());
    EXPECT_EQ(window.lbl_mnu_Ausfuehren->font().family(), menuFont.family());
    EXPECT_EQ(back(window.lbl_mnu_Katalog), colorFromBgr(16744576));
    EXPECT_EQ(gCaptionBackColor, 16744576);
    EXPECT_EQ(gCaptionForeColor, 16777215);
    EXPECT_EQ(back(window.lbl_caption), captionBack);
    EXPECT_EQ(window.lst_Files->palette().color(QPalette::Base), listBack);
    EXPECT_EQ(buttonColour(window.but_Start), buttons);
    EXPECT_EQ(window.lst_Files->selectionBehavior(), QAbstractItemView::SelectRows);
    // Nothing was written.
    EXPECT_EQ(readText(keys::lst_fullrowselect, "unwritten"), "unwritten");
    EXPECT_EQ(readText(keys::main_lbl_caption_backcolor, "unwritten"), "unwritten");
}

TEST_F(SetupWindowTest, AConfirmedLookSurvivesALaterExit) {
    frm_main window;
    window.load();
    window.show();
    runSetup(window, [](frm_setup& s) {
        test::scriptedDialogs().colorAnswers = {0x0000FF, 0x00FF00};
        QTest::mouseClick(s.pic_backcolor, Qt::LeftButton);
        QTest::mouseClick(s.pic_Fensterhintergrundfarbe, Qt::LeftButton);
        s.but_ok->click();
    });
    runSetup(window, [&window](frm_setup& s) {
        EXPECT_EQ(swatch(s.pic_backcolor), QColor(255, 0, 0));
        test::scriptedDialogs().colorAnswers = {0xFF0000};
        QTest::mouseClick(s.pic_backcolor, Qt::LeftButton);
        s.findChild<QPushButton*>("but_UnDo(1)")->click();  // back to the confirmed colour
        EXPECT_EQ(window.lst_Files->palette().color(QPalette::Base), QColor(255, 0, 0));
        s.but_exit->click();
    });
    EXPECT_EQ(window.lst_Files->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(gCaptionBackColor, 0x00FF00);
    EXPECT_EQ(back(window.lbl_caption), QColor(0, 255, 0));
}

TEST_F(SetupWindowTest, AfterOkTheAutostartCatalogOpensAndTheTimersFollowTheStore) {
    const QString catalog = makeCatalog("auto.bvk");
    frm_main window;
    window.load();
    window.show();
    ASSERT_FALSE(gDBOpen);
    runSetup(window, [&](frm_setup& s) {
        test::scriptedDialogs().openAnswers.push_back(QStringList{catalog});
        QTest::mouseClick(s.chk_Autostart, Qt::LeftButton);
        s.chk_Switch2Autostart->setChecked(true);
        s.txt_AutoUpdate->setText("350.4");
        s.chk_ShowStatus->setChecked(true);
        s.but_ok->click();
    });
    EXPECT_TRUE(test::scriptedDialogs().messages.empty());
    ASSERT_TRUE(gDBOpen);
    EXPECT_EQ(gDB.Access->name(), catalog);
    EXPECT_EQ(gRecentCatalogs[0], catalog);
    EXPECT_TRUE(gShowStatus);
    EXPECT_TRUE(window.controller().Timer1().isActive());
    EXPECT_EQ(window.controller().Timer1().interval(), 350);
    EXPECT_TRUE(window.controller().Timer2().isActive());
    EXPECT_TRUE(window.controller().autoSizeColumnsOn());
}

TEST_F(SetupWindowTest, ApplyingReportsABrokenAutostartEntryWithOneLineBreakEach) {
    frm_main window;
    window.load();
    MainAppearance target(window);
    writeSetting(keys::setup_chk_autostart, "1");
    applySetupResult(kSetupOk, target, window.controller());
    writeSetting(keys::setup_txt_autostart, path("weg.bvk"));
    applySetupResult(kSetupOk, target, window.controller());
    ASSERT_EQ(test::scriptedDialogs().messages.size(), 2u);
    EXPECT_EQ(test::scriptedDialogs().messages[0].text,
              "Eintrag in der Registry ist fehlerhaft:" + gCrLf + "Eintrag ist leer." + gCrLf +
                  "Bitte im Setup prüfen.");
    EXPECT_EQ(test::scriptedDialogs().messages[1].text,
              "Eintrag in der Registry ist fehlerhaft:" + gCrLf + "Datenbank existiert nicht!" +
                  gCrLf + "Bitte im Setup prüfen.");
    EXPECT_EQ(test::scriptedDialogs().messages[1].icon, MsgIcon::Information);
    EXPECT_FALSE(gDBOpen);

    // Without a stored interval the refresh runs every 200 ms here; 0 stops it.
    EXPECT_EQ(window.controller().Timer1().interval(), 200);
    EXPECT_TRUE(window.controller().Timer1().isActive());
    writeSetting(keys::setup_txt_AutoUpdate, "0");
    writeSetting(keys::setup_chk_AutoSpaltenbreite, "True");  // only the text "1" fits the columns
    applySetupResult(kSetupExit, target, window.controller());
    EXPECT_FALSE(window.controller().Timer1().isActive());
    EXPECT_TRUE(window.controller().Timer2().isActive());
    EXPECT_FALSE(window.controller().autoSizeColumnsOn());
}

TEST_F(SetupWindowTest, SetAutostartButtonAndMenuEntryMakeTheOpenCatalogTheAutostartCatalog) {
    const QString catalog = makeCatalog("Katalog mit Blanks.bvk");
    setStartCommand({catalog, QStringLiteral("/open/")});
    frm_main window;
    window.load();
    ASSERT_TRUE(gDBOpen);
    window.controller().timer2Tick();
    window.mnu_fileAutoStart->trigger();
    EXPECT_EQ(readText(keys::setup_chk_autostart), "1");
    EXPECT_EQ(readText(keys::setup_txt_autostart), catalog);
    EXPECT_TRUE(test::scriptedDialogs().messages.empty());
    writeSetting(keys::setup_txt_autostart, "");
    window.but_SetAutostart->click();
    EXPECT_EQ(readText(keys::setup_txt_autostart), catalog);
}

TEST_F(SetupWindowTest, SetAutostartKeepsABlankAtTheEndOfTheCatalogsName) {
    const QString catalog = makeCatalog("Katalog ");
    makeCatalog("Katalog");  // the name without its blank, which must not stand in
    frm_main window;
    window.load();
    window.controller().mOpenDB(catalog);
    ASSERT_TRUE(gDBOpen);
    window.controller().timer2Tick();
    window.but_SetAutostart->click();
    EXPECT_EQ(readText(keys::setup_txt_autostart), catalog);
    window.close();

    // The next start opens exactly that catalog.
    resetCatalogState();
    frm_main next;
    next.load();
    ASSERT_TRUE(gDBOpen);
    EXPECT_EQ(gDB.Access->name(), catalog);
    next.close();
}

}  // namespace

namespace {

TEST_F(SetupWindowTest, TheWarningOfOldBackupsIsSetOnTheViewPageAndRefillsTheOpenList) {
    setClockForTest(QDateTime(QDate(2025, 3, 15), QTime(12, 0)));
    frm_main window;
    window.load();
    window.show();
    const QString catalog = path("alt.bvk");
    ASSERT_TRUE(test::writeFile(path("a.txt"), "a"));
    ASSERT_TRUE(test::writeFile(path("b.txt"), "b"));
    ASSERT_TRUE(test::writeCatalog(
        catalog, {{path("a.txt"), dir.path(), QString(), gHostName + "20250301;", {}},
                  {path("b.txt"), dir.path(), QString(), gHostName + "20250314;", {}}}));
    window.controller().mOpenDB(catalog);
    CatalogListModel& model = window.controller().model();
    const int column = model.findColumn(gHostName);
    ASSERT_GT(column, 0);
    auto colourOf = [&](const QString& name) {
        for (int r = 0; r < model.rowCount(); ++r)
            if (model.cell(r, col::kSource) == path(name)) return model.cellColor(r, column);
        return quint32(0xFFFFFFFF);
    };
    auto statusLine = [&] {
        window.controller().mUpdateSelectionSummary();
        return window.lbl_status->text();
    };
    ASSERT_EQ(colourOf("a.txt"), listcolor::kBlack);

    runSetup(window, [&](frm_setup& s) {
        EXPECT_FALSE(s.chk_WarnOldBackup->isChecked());
        EXPECT_FALSE(s.txt_WarnOldBackup->isEnabled());
        EXPECT_EQ(s.chk_WarnOldBackup->text(), "Warnen, wenn die letzte Sicherung älter ist als");
        QTest::mouseClick(s.chk_WarnOldBackup, Qt::LeftButton);
        EXPECT_TRUE(s.txt_WarnOldBackup->isEnabled());
        s.txt_WarnOldBackup->setValue(10);
        s.but_ok->click();
    });
    EXPECT_EQ(readText(keys::setup_chk_WarnOldBackup), "1");
    EXPECT_EQ(readText(keys::setup_txt_WarnOldBackup), "10");
    EXPECT_EQ(colourOf("a.txt"), listcolor::kRed) << "14 days old";
    EXPECT_EQ(colourOf("b.txt"), listcolor::kBlack);
    EXPECT_EQ(statusLine(), "Nicht gesichert seit mehr als 10 Tagen: 1 Eintrag");

    // A longer day count lets it pass; switched off, nothing stands out.
    runSetup(window, [&](frm_setup& s) {
        EXPECT_EQ(s.txt_WarnOldBackup->value(), 10);
        s.txt_WarnOldBackup->setValue(20);
        s.but_ok->click();
    });
    EXPECT_EQ(colourOf("a.txt"), listcolor::kBlack);
    EXPECT_EQ(statusLine(), "");
    runSetup(window, [&](frm_setup& s) {
        s.txt_WarnOldBackup->setValue(3);
        s.chk_WarnOldBackup->setChecked(false);
        s.but_ok->click();
    });
    EXPECT_EQ(readText(keys::setup_chk_WarnOldBackup), "0");
    EXPECT_EQ(colourOf("a.txt"), listcolor::kBlack);
    EXPECT_EQ(statusLine(), "");
    setClockForTest(QDateTime());
}

}  // namespace
