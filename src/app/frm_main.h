#pragma once

#include <QIcon>
#include <QWidget>
#include <array>
#include <map>
#include <memory>

#include "backup/RunObserver.h"
#include "catalog/EntryCommands.h"
#include "catalog/MainView.h"
#include "catalog/UiRowListView.h"
#include "app/UiRunProgressView.h"
#include "platform/UiWindowDrag.h"
#include "settings/AppearanceTarget.h"

class QLabel;
class QPushButton;
class QCheckBox;
class QLineEdit;
class QMenu;
class QAction;
class QProgressBar;

namespace bravel {

class CatalogController;
class RunReport;
class SearchBox;
class UiWebBrowser;

// The main window: a frameless shell that owns the controls, lays them out and hands every
// event to the code that owns the behaviour.
class frm_main : public QWidget, public MainView, public RunObserver {
    Q_OBJECT
public:
    explicit frm_main(QWidget* parent = nullptr);
    ~frm_main() override;

    // Loads the window: settings, columns, the catalog of the command line or the autostart
    // catalog. False when the command line asked to add files: the program then ends.
    bool load();
    CatalogController& controller() { return *controller_; }
    // The menu-label, list and button look read at load, which the setup window's undo and its
    // Exit return to; a confirmed setup replaces it.
    BaselineAppearance loadedAppearance() const;
    void setLoadedAppearance(const BaselineAppearance& appearance);

    // MainView
    void showOverlay(const QString& text, bool visible) override;
    void setRecordCountText(const QString& text) override;
    void setListVisible(bool visible) override;
    void setDetailTexts(const QString& source, const QString& folder) override;
    QString detailSource() const override;
    QString detailFolder() const override;
    void autoSizeColumns() override;
    void scrollToRow(int row) override;
    void setSummaryText(const QString& text) override;
    void applyControlStates(const ControlStates& states) override;
    void showRecentEntries(const std::array<QString, 9>& captions) override;
    void closeToolTip() override;

    // RunObserver
    int overallProgressValue() const override;
    void setOverallProgressValue(int value) override;
    void fileProgress(const CopyProgress& progress) override;
    QString captionText() const override;
    void setCaptionText(const QString& text) override;
    QString statusLine() const override;
    void setStatusLine(const QString& text) override;
    void showStatusWindow(const QString& tagText) override;
    void statusWindowProgress(const CopyProgress& progress) override;
    void closeStatusWindow() override;
    void showRowProgress(int row) override;
    void hideRowProgress() override;
    void setListEnabled(bool enabled) override;
    void focusList() override;
    void updateSelectionSummary() override;
    void applyControlStates() override;
    void enableCancelButton() override;
    void setCancelLook(CancelLook look) override;
    bool pauseChecked() const override;
    void setPauseChecked(bool checked) override;
    void focusRunShortcut() override;
    void pressExit() override;
    void stopTimers(int which) override;
    void startTimers(int which) override;
    void entryDone(int row, EntryOutcome outcome) override;

    // Column order as "0;1;2;..." (display positions in column order) and back.
    QString mGetColumnOrder() const;
    void mSetColumnOrder(const QString& order);

    // Controls, reached by name as in the rest of the program.
    QLabel* lbl_caption;
    QLabel* lbl_mnu_System;
    QLabel* lbl_mnu_SystemResize;
    QLabel* lbl_mnu_SystemMinimize;
    QLabel* lbl_mnu_Katalog;
    QLabel* lbl_mnu_Bearbeiten;
    QLabel* lbl_mnu_Ausfuehren;
    QLabel* lbl_mnu_Programm;
    QLabel* lbl_RecordCount;
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
    QMenu* menu;  // the list's context menu
    QMenu* mnu_file;
    QMenu* mnu_fileedit;
    QMenu* mnu_fileaction;
    QMenu* mnu_app;
    std::array<QAction*, 9> mnu_filerecent{};
    QAction* mnu_filebar4;
    // "Wiederherstellen…": in the "Bearbeiten" menu and in the list's context menu.
    QAction* mnu_restore;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void layOutControls();
    QPushButton* makeButton(const char* name, const QString& toolTip, const QString& iconName);
    // The header picture list: the pictures of the list headings by key ("table", "field", "prop",
    // "clock", "status" and "pc", the computer columns' picture).
    std::map<QString, QIcon> headerPictureList() const;
    void connectCommands();
    void restoreGeometryFromSettings();
    void applyMenuLabelStyles();
    void applyColours();
    void readListSettings();
    void chooseCatalog();
    bool addFilesFromCommandLine();
    void saveSettings();
    void applyListGrid(bool on);
    // The Start button: the backup run over the selection, with its run log and, when the window
    // is not the active one, a notification at the end.
    void but_Start_Click();
    void startRun(bool copyAttributes);
    // "Letztes Protokoll": the newest run log in the desktop's viewer for text files.
    void openNewestRunLog();
    // "Zeitplan...": when the open catalog is backed up without anyone starting it.
    void openSchedule();
    void buildShortcutButtons();
    void buildContextMenu();
    void connectEntryCommands();
    void openMenuBelow(QLabel* label);
    void cycleListView();
    void editEntries(EditorMode mode);
    void runFirstActivation();
    void connectSearchAndExport();
    void searchTextChanged(const QString& text);

    // Puts the rows' single-file bar over a row of the list (report view, row visible).
    void placeRowProgress(int row);
    // The backup run of the selected rows, with the run's widgets brought up to date as events run.
    void runWithDeferredView();

    std::unique_ptr<CatalogController> controller_;
    UiRunProgressView* runView_ = nullptr;  // the run's widgets, brought up to date as events run
    RunReport* runReport_ = nullptr;  // the log of the run in progress
    bool closingAfterRun_ = false;    // the run's after-run action closes the window
    struct MenuLabelStyle {
        QString font;
        qint64 foreColor = 16777215;
        qint64 backColor = 16744576;
    };
    std::array<MenuLabelStyle, 4> menuLabelStyles_;
    qint64 listColor_ = 16777215;
    qint64 buttonsColor_ = 16744576;
    bool gridLines_ = true;
    int viewMode_ = 3;
    bool loading_ = false;
    bool firstActivation_ = false;

    SearchBox* searchBox_ = nullptr;
    UiWindowDrag drag_{this};
};

}  // namespace bravel
