#pragma once

#include <QIcon>
#include <QString>
#include <array>
#include <map>

#include "backup/RunObserver.h"
#include "catalog/MainView.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QWidget;

namespace bravel {

class CatalogController;
class CatalogListModel;
class UiRowListView;
class UiWebBrowser;

// The font and colours of one of the four menu labels.
struct MenuLabelStyle {
    QString font;
    qint64 foreColor = 16777215;
    qint64 backColor = 16744576;
};

// The look the main window reads at load and keeps while it is open.
struct MainWindowLook {
    std::array<MenuLabelStyle, 4> menuLabels;  // Programm, Katalog, Bearbeiten, Ausführen
    qint64 listColor = 16777215;
    qint64 buttonsColor = 16744576;
    bool gridLines = true;
    int viewMode = 3;  // 3 report, 0 large icons, 1 small icons, 2 list
};

// The main window's controls, menus and menu entries, their layout and their look. It creates
// and paints them, reads their stored layout and look and writes them back; what they do is the
// window's command table (frm_main::commandTable()).
class UiMainWindow {
  public:
    static constexpr int kResizeBorder = 4;  // pixels along the edges that resize the window

    // Creates every control on window, shows list in the list view and hands the list's input to
    // inputFilter.
    void setupUi(QWidget* window, CatalogListModel& list, QObject* inputFilter);

    // The stored layout and look (UiMainWindowLook.cpp)
    void restoreWindowGeometry();  // maximised when it was stored at the screen's size
    void keepMinimumSize();
    void readMenuLabelLooks();
    void readListLooks();  // grid lines, view, list and button colours
    void restoreColumns(CatalogController& controller);
    void saveLayoutAndLooks() const;
    // Column order as "0;1;2;..." (display positions in column order) and back.
    QString mGetColumnOrder() const;
    void mSetColumnOrder(const QString& order);

    // The pictures of the list headings by key ("table", "field", "prop", "clock", "status" and
    // "pc", the computer columns' picture).
    std::map<QString, QIcon> headerPictureList() const;
    // Menu labels in the order Programm, Katalog, Bearbeiten, Ausführen.
    std::array<QLabel*, 4> menuLabelsByStyle() const;
    void paintMenuLabel(QLabel* label, const MenuLabelStyle& style);
    // The caption bar and the labels drawn in the caption colours.
    void paintCaptionColours();
    void paintList(qint64 listColor);
    void paintButtons(qint64 buttonsColor);
    void showListGrid(bool on);
    void showControlStates(const ControlStates& states);
    void showRecentCaptions(const std::array<QString, 9>& captions);
    // The file's progress bar over the row's first cell; false when the cell is out of sight.
    bool placeRowProgress(const QRect& cell);
    void showCancelLook(CancelLook look);
    // The drop-down menu of a menu label, opened at the label's left edge directly below it.
    void openMenuBelow(QLabel* label);

    // Caption bar and menu labels
    QLabel* lbl_caption;
    QLabel* lbl_mnu_System;
    QLabel* lbl_mnu_SystemResize;
    QLabel* lbl_mnu_SystemMinimize;
    QLabel* lbl_mnu_Katalog;
    QLabel* lbl_mnu_Bearbeiten;
    QLabel* lbl_mnu_Ausfuehren;
    QLabel* lbl_mnu_Programm;
    QLabel* lbl_RecordCount;
    // List, details and progress
    QLabel* lbl_lstoverlay;
    QLabel* lbl_Eingangsdatei;
    QLabel* lbl_Sicherungsverzeichnis;
    QLabel* lbl_MultiProgressTitel;
    QLabel* lbl_MultiProgress;
    QLabel* lbl_SingleProgress;
    QLabel* lbl_status;
    QProgressBar* pan_progress;
    QProgressBar* pan_SingleProgress;
    UiRowListView* lst_Files;
    UiWebBrowser* WebBrowser1;  // the embedded browser behind but_web
    QLineEdit* txt_Suche;
    QLabel* lbl_shortcut_txtsuchtext;  // "&S": the access key of txt_Suche
    // Buttons
    QCheckBox* chk_SearchInAllCols;
    QCheckBox* chk_pause;
    QCheckBox* chk_CheckItem;
    QPushButton* but_DBNew;
    QPushButton* but_DB;
    QPushButton* but_source;
    QPushButton* but_Edit;
    QPushButton* but_delete;
    QPushButton* but_Start;
    QPushButton* but_Cancel;
    QPushButton* but_setup;
    QPushButton* but_info;
    QPushButton* but_web;
    QPushButton* but_exit;
    QPushButton* but_SetAutostart;
    QPushButton* but_ChangeListView;
    QPushButton* but_ChangeListGrid;
    // Hidden buttons that carry only an access key
    QPushButton* but_shortcut_run;
    QPushButton* but_shortcut_neu;
    QPushButton* but_shortcut_oeffnen;  // "but_shortcut_öffnen"
    QPushButton* but_shortcut_dazu;
    QPushButton* but_shortcut_andern;
    QPushButton* but_shortcut_del;
    QPushButton* but_shortcut_pause2;
    QPushButton* but_mnu_KatalogHover;
    QPushButton* but_mnu_BearbeitenHover;
    QPushButton* but_mnu_AusfuehrenHover;
    QPushButton* but_mnu_ProgrammHover;
    // "Katalog"
    QMenu* mnu_file;
    QAction* mnu_filenew;
    QAction* mnu_fileopen;
    QAction* mnu_filerefresh;
    QAction* mnu_fileexport;  // the sub-menu "Exportiere Selektion"
    QAction* mnu_fileexportclipboard;
    QAction* mnu_fileexportascii;
    QAction* mnu_fileexporthtm;
    QAction* mnu_fileAutoStart;
    QAction* mnu_fileschedule;
    QAction* mnu_filebar4;  // the separator above the recent catalogs
    std::array<QAction*, 9> mnu_filerecent{};
    QAction* mnu_appexit;
    // "Bearbeiten"
    QMenu* mnu_fileedit;
    QAction* mnu_fileeditadd;
    QAction* mnu_fileeditedit;
    QAction* mnu_fileeditdelete;
    QAction* mnu_filedelete;
    QAction* mnu_fileEXTdelete;
    QAction* mnu_restore;  // "Wiederherstellen…": also in the list's context menu
    // "Ausführen"
    QMenu* mnu_fileaction;
    QAction* mnu_fileactionstart;
    QAction* mnu_fileactionstartallattr;
    QAction* mnu_fileactionpause;
    QAction* mnu_fileactionstop;
    // "Programm"
    QMenu* mnu_app;
    QAction* mnu_appsetup;
    QAction* mnu_apperror;
    QAction* mnu_applastlog;
    QAction* mnu_appwebupdate;
    QAction* mnu_appnetupdate;
    QAction* mnu_appinfo;
    QAction* mnu_apphelp;
    // The list's context menu
    QMenu* menu;
    QAction* mnu_bear;  // the sub-menu "Bearbeiten"
    QAction* mnu_bear_add;
    QAction* mnu_bear_edit;
    QAction* mnu_bear_del;
    QAction* mnu_delfile;
    QAction* mnu_delfileEXT;
    QAction* mnu_ausf;  // the sub-menu "Ausführen"
    QAction* mnu_ausf_start;
    QAction* mnu_ausf_startattr;

  protected:
    MainWindowLook look_;

  private:
    void buildCaptionAndMenuLabels();
    void buildButtons();
    void buildListAndProgress(CatalogListModel& list);
    void buildShortcutButtons();
    void buildCatalogMenu();
    void buildMenus();
    void buildContextMenu();
    void layOutControls();
    QPushButton* makeButton(const char* name, const QString& toolTip, const QString& iconName);
    QPushButton* makeShortcutButton(const char* name, const QString& caption);

    QWidget* window_ = nullptr;
};

}  // namespace bravel
