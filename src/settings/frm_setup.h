#pragma once

#include <QDialog>
#include <memory>

#include "platform/UiWindowDrag.h"
#include "settings/SetupValues.h"
#include "settings/UiSetupWindow.h"

namespace bravel {

class AppearanceTarget;
class SetupAppearance;

// The setup window: the program's options on four tabs. It shows the stored values, changes the
// main window's look live while it is open, and on OK checks and writes the values. Its answer
// is "SETUP_OK" or "SETUP_EXIT" (resultText()). Its controls and their layout are UiSetupWindow.
class frm_setup : public QDialog, public UiSetupWindow {
    Q_OBJECT
  public:
    explicit frm_setup(AppearanceTarget& target, QWidget* parent = nullptr);
    ~frm_setup() override;

    QString resultText() const { return result_; }

    // The values as the controls show them.
    SetupValues controlValues() const;

    void mColorTitleLabels();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

  private:
    void connectControls();
    void load();
    void showValues(const SetupValues& values);
    void centreOnScreen();
    void updateEnabledStates();
    void showAppearance();
    void colourOwnCaption();
    QStringList selectedMenuNames() const;
    void pickColour(QLabel* swatch);
    void but_source_Click();
    void but_SelectFont_Click();
    void but_ok_Click();
    void closeWith(const QString& result);
    void pointDirectoryAt(const QString& path);

    AppearanceTarget& target_;
    std::unique_ptr<SetupAppearance> appearance_;
    QString result_;
    bool loaded_ = false;
    bool fullRowSelectAtOpen_ = true;
    UiWindowDrag drag_{this};
};

}  // namespace bravel
