#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "platform/UiWindowDrag.h"
#include "settings/SetupValues.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTreeView;
class QFileSystemModel;

namespace bravel {

class AppearanceTarget;
class SetupAppearance;

// The setup window: the program's options on four tabs. It shows the stored values, changes the
// main window's look live while it is open, and on OK checks and writes the values. Its answer
// is "SETUP_OK" or "SETUP_EXIT" (resultText()).
class frm_setup : public QDialog {
    Q_OBJECT
public:
    explicit frm_setup(AppearanceTarget& target, QWidget* parent = nullptr);
    ~frm_setup() override;

    QString resultText() const { return result_; }

    // The values as the controls show them.
    SetupValues controlValues() const;

    // Title bar
    QLabel* lbl_icon;
    QLabel* lbl_caption;
    QLabel* img_systemclose;
    QLabel* lbl_mnu_System;
    QListWidget* lst_setup;
    QTabWidget* tab_Setup;
    std::array<QLabel*, 4> lbl_TabTitle{};
    QPushButton* but_ok;
    QPushButton* but_exit;
    // Programmstart
    QCheckBox* chk_Autostart;
    QLineEdit* txt_Autostart;
    QPushButton* but_source;
    QCheckBox* chk_Switch2Autostart;
    QRadioButton* opt_AutoCopyRange;
    QLineEdit* txt_AutoCopyRange;
    QRadioButton* opt_AutoCopyAll;
    // Standardwerte
    QCheckBox* chk_StandardSicherungsverzeichnis;
    QLineEdit* txt_StandardSicherungsverzeichnis;
    QComboBox* drv_Drive;
    QTreeView* dir_Directory;
    QCheckBox* chk_UseOrigPath;
    QCheckBox* chk_DeletePathAfterDelLocalFile;
    QCheckBox* chk_DeleteItemshAfterDelLocalFile;
    QCheckBox* chk_AutoUpdate;
    QLineEdit* txt_AutoUpdate;
    QPushButton* but_SetExtension2Registry;
    QPushButton* but_SetKontextMenu;
    QPushButton* but_RemoveDesktopEntries;
    QLineEdit* txt_KontextText;
    // Ansicht
    QListWidget* lst_SetupMenuItems;
    QLabel* lbl_FontClearName;
    QPushButton* but_SelectFont;
    QLabel* pic_FontColor;
    QLabel* pic_FontColorHintergrund;
    QLabel* pic_Fensterhintergrundfarbe;
    QLabel* pic_Systemfarbe;
    QLabel* pic_backcolor;
    QLabel* pic_ButtonColor;
    QListWidget* lst_SavedColors;
    std::array<QPushButton*, 8> but_UnDo{};
    QCheckBox* chk_AutoSpaltebreite;
    QCheckBox* chk_FullRowSelect;
    QCheckBox* chk_ShowToolTip;
    QSlider* sld_ToolTipTransparenz;
    QCheckBox* chk_WarnOldBackup;
    QSpinBox* txt_WarnOldBackup;
    // Vorgang
    QCheckBox* chk_AfterJob;
    QComboBox* cbo_AfterJob;
    QCheckBox* chk_ShowStatus;
    QCheckBox* chk_ChangedOnly;
    QCheckBox* chk_VerifyCopies;
    QCheckBox* chk_KeepVersions;
    QSpinBox* txt_KeepVersions;

    void mColorTitleLabels();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    QWidget* buildTitleBar();
    QWidget* buildStartTab();
    QWidget* buildDefaultsTab();
    QWidget* buildViewTab();
    QWidget* buildRunTab();
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
    QFileSystemModel* folders_ = nullptr;
    QString result_;
    bool loaded_ = false;
    bool fullRowSelectAtOpen_ = true;
    UiWindowDrag drag_{this};
};

}  // namespace bravel
