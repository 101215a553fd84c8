#pragma once

#include <QString>
#include <array>

class QCheckBox;
class QComboBox;
class QDialog;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QObject;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTreeView;
class QWidget;

namespace bravel {

// The setup window's controls on its four tabs and their layout. What they do is frm_setup.
class UiSetupWindow {
  public:
    // Creates every control on window and hands the input of the caption, the two independent
    // options, the update interval and the colour swatches to inputFilter.
    void setupUi(QDialog* window, QObject* inputFilter);

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

    QFileSystemModel* dir_DirectoryModel;  // the folders dir_Directory shows

  private:
    QWidget* buildTitleBar();
    QWidget* buildStartTab();
    QWidget* buildDefaultsTab();
    QWidget* buildViewTab();
    QWidget* buildRunTab();

    QDialog* window_ = nullptr;
};

}  // namespace bravel
