#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "app/UiMainWindow.h"
#include "app/UiRunProgressView.h"
#include "backup/RunObserver.h"
#include "catalog/EntryCommands.h"
#include "catalog/MainView.h"
#include "catalog/UiRowListView.h"
#include "listtools/frm_ToolTip.h"
#include "settings/AppearanceTarget.h"

class QAbstractButton;

namespace bravel {

class CatalogController;
class RunReport;
class SearchBox;

// One line of the main window's command table: a menu entry or button and what it does.
struct MainCommand {
    QObject* control = nullptr;         // a QAction or a QAbstractButton
    std::function<void()> run;          // empty only for an entry that deliberately does nothing
    const char* doesNothing = nullptr;  // why it does nothing
};

// The main window: a frameless shell around its controls (UiMainWindow) that wires every command
// in one table and hands every event to the code that owns the behaviour.
class frm_main : public QWidget,
                 public UiMainWindow,
                 public MainView,
                 public RunObserver,
                 public ToolTipMainList {
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

    // ToolTipMainList (stopTimers and startTimers below serve it too)
    QWidget* fileList() override;
    const CatalogListModel& fileListModel() override;
    QString oldBackupNotice(int row) override;

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
    void recordNotWritten(int row) override;

    // Every menu entry, shortcut button and button of the window with what it does, one line per
    // command. The window connects each control to its line once; tests read it.
    std::vector<MainCommand> commandTable();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    MainCommand on(QObject* control, void (frm_main::*handler)());
    static MainCommand presses(QObject* control, QAbstractButton* button);
    MainCommand opensMenu(QObject* control, QLabel* label);
    static MainCommand doesNothing(QObject* control, const char* why);
    void wireCommands();
    void wireListAndSearch();

    // Command handlers of the window, each named after the control it belongs to; the table calls
    // the handlers of the catalog and the setup directly.

    // The Start button: the backup run over the selection, with its run log and, when the window
    // is not the active one, a notification at the end.
    void but_Start_Click();
    void but_Cancel_Click();
    void chk_pause_Click();
    void chk_CheckItem_Click();
    void but_ChangeListView_Click();
    void but_ChangeListGrid_Click();
    void but_info_Click();
    void but_web_Click();
    void but_exit_Click();
    void chk_SearchInAllCols_Click();
    void but_shortcut_pause2_Click();
    void mnu_filerefresh_Click();
    void mnu_fileexportclipboard_Click();
    void mnu_fileexportascii_Click();
    // "Zeitplan...": when the open catalog is backed up without anyone starting it.
    void mnu_fileschedule_Click();
    void mnu_filerecent_Click(int slot);
    void mnu_filedelete_Click();
    void mnu_fileEXTdelete_Click();
    void mnu_restore_Click();
    void mnu_fileactionstart_Click();
    void mnu_fileactionstartallattr_Click();
    void mnu_fileactionpause_Click();
    void mnu_apperror_Click();
    // "Letztes Protokoll": the newest run log in the desktop's viewer for text files.
    void mnu_applastlog_Click();
    void mnu_appnetupdate_Click();

    void startRun(bool copyAttributes);
    // Opens the entry editor for the catalog commands that add or change entries.
    EditorRunner entryEditor();
    void saveSettings();
    void runFirstActivation();
    void searchTextChanged(const QString& text);
    // The backup run of the selected rows, with the run's widgets brought up to date as events run.
    void runWithDeferredView();
    // Puts the single-file bar over a row of the list (report view, row visible), or hides it.
    void placeRowBar(int row);
    void hideRowBar();

    std::unique_ptr<CatalogController> controller_;
    UiRunProgressView* runView_ = nullptr;  // the run's widgets, brought up to date as events run
    RunReport* runReport_ = nullptr;        // the log of the run in progress
    bool closingAfterRun_ = false;          // the run's after-run action closes the window
    bool loading_ = false;
    bool firstActivation_ = false;

    SearchBox* searchBox_ = nullptr;
};

}  // namespace bravel
