#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>

#include "platform/Translations.h"
#include "platform/UiDialogs.h"

using namespace bravel;

namespace {

QString buttonText(QMessageBox& box, QMessageBox::StandardButton button) {
    return box.button(button)->text().remove(QLatin1Char('&'));
}

// Runs open() while noting the title of the modal dialog it shows, which is then cancelled.
template <typename Open>
QString titleOfDialog(Open open) {
    QString title;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            title = dialog->windowTitle();
            qobject_cast<QDialog*>(dialog)->reject();
        }
    });
    open();
    return title;
}

class QtTranslationsTest : public ::testing::Test {
  protected:
    // Qt's English texts again for the tests after this one.
    void TearDown() override {
        installQtTranslations(QLocale(QLocale::English, QLocale::UnitedStates));
    }
};

TEST_F(QtTranslationsTest, AMessageBoxUnderAGermanLocaleHasGermanButtons) {
    ASSERT_TRUE(installQtTranslations(QLocale(QLocale::German, QLocale::Germany)))
        << "no qtbase_de.qm in " << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString()
        << " (Debian: qt6-translations-l10n)";
    QMessageBox german(QMessageBox::Question, "Bravel", "Frage",
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(buttonText(german, QMessageBox::Yes), "Ja");
    EXPECT_EQ(buttonText(german, QMessageBox::No), "Nein");
    EXPECT_EQ(buttonText(german, QMessageBox::Cancel), "Abbrechen");

    // Qt has no translation for English: its own texts come back.
    EXPECT_FALSE(installQtTranslations(QLocale(QLocale::English, QLocale::UnitedStates)));
    QMessageBox english(QMessageBox::Question, "Bravel", "Question",
                        QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(buttonText(english, QMessageBox::Yes), "Yes");
}

TEST_F(QtTranslationsTest, TheColourAndFontDialogsCarryTheTitleTheyAreGiven) {
    UiDialogs dialogs;
    EXPECT_EQ(titleOfDialog(
                  [&] { EXPECT_FALSE(dialogs.chooseColor(0x0000FF, "Bravel - Farbe auswählen")); }),
              "Bravel - Farbe auswählen");
    EXPECT_EQ(titleOfDialog(
                  [&] { EXPECT_FALSE(dialogs.chooseFont(QFont(), "Bravel - Schrift auswählen")); }),
              "Bravel - Schrift auswählen");
}

}  // namespace
