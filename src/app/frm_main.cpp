#include "app/frm_main.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include "app/CommandLine.h"
#include "app/NetworkUpdate.h"
#include "app/UiMainCaptionBar.h"
#include "app/UiMainSetup.h"
#include "app/UiStartCatalog.h"
#include "app/UiWebBrowser.h"
#include "app/frm_info.h"
#include "app/frm_schedule.h"
#include "backup/BackupRun.h"
#include "backup/Progress.h"
#include "backup/RunReport.h"
#include "backup/UiProg.h"
#include "backup/frm_CommandStatus.h"
#include "backup/frm_restore.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "catalog/frm_choosedir.h"
#include "errors/COLError.h"
#include "errors/frm_ErrorList.h"
#include "listtools/ListExport.h"
#include "listtools/ListSearch.h"
#include "listtools/UiSearchBox.h"
#include "listtools/frm_ToolTip.h"
#include "platform/DesktopNotification.h"
#include "platform/Dialogs.h"
#include "platform/UiWindowResize.h"
#include "scan/frm_dscan.h"
#include "settings/DesktopIntegration.h"
#include "settings/SettingKeys.h"

namespace bravel {

frm_main::frm_main(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frm_main"));
    setWindowTitle(gProductName);
    controller_ = std::make_unique<CatalogController>(*this, this);
    frm_ToolTip::setMainList(this);
    setupUi(this, controller_->model(), this);
    wireCommands();
    wireListAndSearch();
    // Children of the window, which owns them.
    new UiMainCaptionBar(this, *this);
    new UiWindowResize(this, kResizeBorder);
    runView_ = new UiRunProgressView(
        {lbl_status, pan_progress, lbl_MultiProgress, pan_SingleProgress, lbl_SingleProgress},
        {[this](int row) { lst_Files->scrollTo(controller_->model().index(row, 0)); },
         [this](int row) { placeRowBar(row); }, [this] { hideRowBar(); }},
        this);
}

frm_main::~frm_main() {
    frm_ToolTip::forgetMainList(this);
}

// ---- commands ------------------------------------------------------------------------------

std::vector<MainCommand> frm_main::commandTable() {
    std::vector<MainCommand> table = {
        // Buttons
        {but_DBNew, [this] { controller_->but_DBNew_Click(); }},
        {but_DB, [this] { controller_->but_DB_Click(); }},
        {but_source, [this] { but_source_Click(*controller_, entryEditor()); }},
        {but_Edit, [this] { but_Edit_Click(*controller_, entryEditor()); }},
        {but_delete, [this] { but_delete_Click(*controller_); }},
        on(but_Start, &frm_main::but_Start_Click),
        on(but_Cancel, &frm_main::but_Cancel_Click),
        on(chk_pause, &frm_main::chk_pause_Click),
        on(chk_CheckItem, &frm_main::chk_CheckItem_Click),
        on(but_ChangeListView, &frm_main::but_ChangeListView_Click),
        on(but_ChangeListGrid, &frm_main::but_ChangeListGrid_Click),
        {but_SetAutostart, [] { but_SetAutostart_Click(gDBOpen ? gDB.Access.get() : nullptr); }},
        {but_setup, [this] { but_setup_Click(*this); }},
        on(but_info, &frm_main::but_info_Click),
        on(but_web, &frm_main::but_web_Click),
        on(but_exit, &frm_main::but_exit_Click),
        on(chk_SearchInAllCols, &frm_main::chk_SearchInAllCols_Click),
        // Hidden buttons with an access key: a disabled button ignores the press
        presses(but_shortcut_neu, but_DBNew),
        presses(but_shortcut_oeffnen, but_DB),
        presses(but_shortcut_dazu, but_source),
        presses(but_shortcut_andern, but_Edit),
        presses(but_shortcut_del, but_delete),
        presses(but_shortcut_run, but_Start),  // keeps the attribute mode of the last start entry
        on(but_shortcut_pause2, &frm_main::but_shortcut_pause2_Click),
        opensMenu(but_mnu_KatalogHover, lbl_mnu_Katalog),
        opensMenu(but_mnu_BearbeitenHover, lbl_mnu_Bearbeiten),
        opensMenu(but_mnu_AusfuehrenHover, lbl_mnu_Ausfuehren),
        opensMenu(but_mnu_ProgrammHover, lbl_mnu_Programm),
        // "Katalog"
        presses(mnu_filenew, but_DBNew),
        presses(mnu_fileopen, but_DB),
        on(mnu_filerefresh, &frm_main::mnu_filerefresh_Click),
        on(mnu_fileexportclipboard, &frm_main::mnu_fileexportclipboard_Click),
        on(mnu_fileexportascii, &frm_main::mnu_fileexportascii_Click),
        doesNothing(mnu_fileexporthtm, "the list has no HTML export; the entry keeps its place"),
        presses(mnu_fileAutoStart, but_SetAutostart),
        on(mnu_fileschedule, &frm_main::mnu_fileschedule_Click),
        presses(mnu_appexit, but_exit),
        // "Bearbeiten" and the list's context menu
        presses(mnu_fileeditadd, but_source),
        presses(mnu_fileeditedit, but_Edit),
        presses(mnu_fileeditdelete, but_delete),
        on(mnu_filedelete, &frm_main::mnu_filedelete_Click),
        on(mnu_fileEXTdelete, &frm_main::mnu_fileEXTdelete_Click),
        on(mnu_restore, &frm_main::mnu_restore_Click),  // in both menus
        presses(mnu_bear_add, but_source),
        presses(mnu_bear_edit, but_Edit),
        presses(mnu_bear_del, but_delete),
        on(mnu_delfile, &frm_main::mnu_filedelete_Click),
        on(mnu_delfileEXT, &frm_main::mnu_fileEXTdelete_Click),
        // "Ausführen" and the list's context menu
        on(mnu_fileactionstart, &frm_main::mnu_fileactionstart_Click),
        on(mnu_fileactionstartallattr, &frm_main::mnu_fileactionstartallattr_Click),
        on(mnu_fileactionpause, &frm_main::mnu_fileactionpause_Click),
        presses(mnu_fileactionstop, but_Cancel),
        on(mnu_ausf_start, &frm_main::mnu_fileactionstart_Click),
        on(mnu_ausf_startattr, &frm_main::mnu_fileactionstartallattr_Click),
        // "Programm"
        presses(mnu_appsetup, but_setup),
        on(mnu_apperror, &frm_main::mnu_apperror_Click),
        on(mnu_applastlog, &frm_main::mnu_applastlog_Click),
        doesNothing(mnu_appwebupdate,
                    "there is no update over the internet; the entry keeps its place"),
        on(mnu_appnetupdate, &frm_main::mnu_appnetupdate_Click),
        presses(mnu_appinfo, but_info),
        doesNothing(mnu_apphelp, "there is no help window; the entry keeps its place"),
    };
    // "Katalog": the nine recent catalogs
    for (int slot = 1; slot <= static_cast<int>(mnu_filerecent.size()); ++slot)
        table.push_back({mnu_filerecent[static_cast<size_t>(slot - 1)],
                         [this, slot] { mnu_filerecent_Click(slot); }});
    return table;
}

MainCommand frm_main::on(QObject* control, void (frm_main::*handler)()) {
    return {control, [this, handler] { (this->*handler)(); }};
}

MainCommand frm_main::presses(QObject* control, QAbstractButton* button) {
    return {control, [button] { button->click(); }};
}

MainCommand frm_main::opensMenu(QObject* control, QLabel* label) {
    return {control, [this, label] { openMenuBelow(label); }};
}

MainCommand frm_main::doesNothing(QObject* control, const char* why) {
    return {control, {}, why};
}

void frm_main::wireCommands() {
    for (const MainCommand& command : commandTable()) {
        if (!command.run) continue;
        if (auto* entry = qobject_cast<QAction*>(command.control))
            connect(entry, &QAction::triggered, this, command.run);
        else
            connect(static_cast<QAbstractButton*>(command.control), &QAbstractButton::clicked, this,
                    command.run);
    }
}

// The list and the search box: what is not a command of a button or a menu entry.
void frm_main::wireListAndSearch() {
    // The entry editor (catalog) reaches the scanner window (scan) through this link.
    frm_choosedir::scannerRunner = runScanner;
    connect(lst_Files, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        closeToolTip();
        if (index.isValid()) but_Start->click();
    });
    connect(lst_Files->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { controller_->columnClicked(column); });
    searchBox_ = new SearchBox(txt_Suche, [this](const QString& text) { searchTextChanged(text); });
    // The box's text marks the rows of whichever catalog is open.
    connect(controller_.get(), &CatalogController::catalogOpened, this,
            [this] { searchTextChanged(txt_Suche->text()); });
}

EditorRunner frm_main::entryEditor() {
    return [this](EditorMode mode) { runEntryEditor(*this, mode, gSelCount, this); };
}

void frm_main::but_Cancel_Click() {
    requestCancel(*this);
}

void frm_main::chk_pause_Click() {
    pauseBoxClicked(chk_pause->isChecked(), *this);
}

void frm_main::but_shortcut_pause2_Click() {
    if (!chk_pause->isChecked()) chk_pause->click();
}

void frm_main::mnu_fileactionpause_Click() {
    // The entry turns the pause flag over, whatever the box showed; the box's own handler then
    // sets the flag and both check marks.
    chk_pause->setChecked(gPause);
    chk_pause->click();
}

void frm_main::chk_CheckItem_Click() {
    controller_->mSelectAll(chk_CheckItem->isChecked());
    if (lst_Files->isEnabled()) lst_Files->setFocus();
}

void frm_main::but_ChangeListView_Click() {
    // report → large icons → list → small icons → report; the tree view draws them all as rows,
    // the mode is kept for the next start.
    static const int next[] = {2, 3, 1, 0};
    look_.viewMode = next[std::clamp(look_.viewMode, 0, 3)];
    if (lst_Files->isEnabled()) lst_Files->setFocus();
}

void frm_main::but_ChangeListGrid_Click() {
    if (loading_) return;
    showListGrid(!look_.gridLines);
    if (lst_Files->isEnabled()) lst_Files->setFocus();
}

void frm_main::but_info_Click() {
    frm_info::showAbout(this, lbl_caption);
}

void frm_main::but_web_Click() {
    WebBrowser1->but_web_Toggled(but_web->isChecked());
}

void frm_main::but_exit_Click() {
    close();
}

void frm_main::chk_SearchInAllCols_Click() {
    if (loading_) return;
    // Runs the search again with the new setting.
    const QString previous = txt_Suche->text();
    txt_Suche->setText(QString());
    txt_Suche->setText(previous);
    txt_Suche->setFocus();
}

void frm_main::mnu_filerefresh_Click() {
    controller_->mFillListBox();
}

void frm_main::mnu_fileexportclipboard_Click() {
    gExportList(controller_->model(), QString(), exportmode::kClipboard);
}

void frm_main::mnu_fileexportascii_Click() {
    exportListToChosenFile(controller_->model());
}

void frm_main::mnu_filerecent_Click(int slot) {
    controller_->recentEntryClicked(slot);
}

void frm_main::mnu_filedelete_Click() {
    mDeleteFiles(*controller_, DeleteMode::Local);
}

void frm_main::mnu_fileEXTdelete_Click() {
    mDeleteFiles(*controller_, DeleteMode::Original);
}

void frm_main::mnu_restore_Click() {
    openRestoreWindow(*controller_, this);
}

void frm_main::mnu_fileactionstart_Click() {
    startRun(false);
}

void frm_main::mnu_fileactionstartallattr_Click() {
    startRun(true);
}

void frm_main::startRun(bool copyAttributes) {
    gCopyAttributes = copyAttributes;
    but_Start->click();
}

void frm_main::mnu_apperror_Click() {
    frm_ErrorList::showWindow(this, &frm_ToolTip::errorListDetails());
}

void frm_main::mnu_appnetupdate_Click() {
    if (bravel::mnu_appnetupdate_Click()) close();  // the tool works on the program's files
}

void frm_main::mnu_fileschedule_Click() {
    if (!gDB.Access) return;
    frm_schedule window(gDB.Access->name(), QCoreApplication::applicationFilePath(), this);
    window.exec();
}

void frm_main::mnu_applastlog_Click() {
    const QString log = newestRunLog();
    if (log.isEmpty()) {
        showMessage(QStringLiteral("Es gibt noch kein Protokoll einer Sicherung."), gProductName,
                    MsgIcon::Information);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(log)))
        showMessage(QStringLiteral("Das Protokoll konnte nicht geöffnet werden:") + gCrLf + log,
                    gProductName, MsgIcon::Exclamation);
}

// ---- search --------------------------------------------------------------------------------

void frm_main::searchTextChanged(const QString& text) {
    const SearchOutcome outcome =
        gSearchList(controller_->model(), text, chk_SearchInAllCols->isChecked());
    // mHitItem: the list's current row is forgotten; the selection stays as the search set it.
    if (outcome != SearchOutcome::Placeholder)
        controller_->model().selectionModel()->setCurrentIndex(QModelIndex(),
                                                               QItemSelectionModel::NoUpdate);
}

// ---- setup ---------------------------------------------------------------------------------

BaselineAppearance frm_main::loadedAppearance() const {
    BaselineAppearance appearance;
    for (size_t i = 0; i < look_.menuLabels.size(); ++i)
        appearance.menuLabels[i] = {look_.menuLabels[i].font, look_.menuLabels[i].foreColor,
                                    look_.menuLabels[i].backColor};
    appearance.listColor = look_.listColor;
    appearance.buttonsColor = look_.buttonsColor;
    return appearance;
}

void frm_main::setLoadedAppearance(const BaselineAppearance& appearance) {
    for (size_t i = 0; i < look_.menuLabels.size(); ++i)
        look_.menuLabels[i] = {appearance.menuLabels[i].font, appearance.menuLabels[i].foreColor,
                               appearance.menuLabels[i].backColor};
    look_.listColor = appearance.listColor;
    look_.buttonsColor = appearance.buttonsColor;
}

// ---- MainView ------------------------------------------------------------------------------

void frm_main::showOverlay(const QString& text, bool visible) {
    lbl_lstoverlay->setText(text);
    lbl_lstoverlay->setGeometry(lst_Files->rect());
    lbl_lstoverlay->setVisible(visible);
    if (visible) lbl_lstoverlay->raise();
}

void frm_main::setRecordCountText(const QString& text) {
    lbl_RecordCount->setText(text);
    lbl_RecordCount->raise();
}

void frm_main::setListVisible(bool visible) {
    lst_Files->setUpdatesEnabled(visible);
}

void frm_main::setDetailTexts(const QString& source, const QString& folder) {
    lbl_Eingangsdatei->setText(source);
    lbl_Sicherungsverzeichnis->setText(folder);
}

QString frm_main::detailSource() const {
    return lbl_Eingangsdatei->text();
}

QString frm_main::detailFolder() const {
    return lbl_Sicherungsverzeichnis->text();
}

void frm_main::autoSizeColumns() {
    gAutoSizeColumns(lst_Files, true);
}

void frm_main::scrollToRow(int row) {
    runView_->scrollToRow(row);
}

void frm_main::setSummaryText(const QString& text) {
    runView_->setStatusLine(text);
}

void frm_main::applyControlStates(const ControlStates& states) {
    showControlStates(states);
}

void frm_main::showRecentEntries(const std::array<QString, 9>& captions) {
    showRecentCaptions(captions);
}

void frm_main::closeToolTip() {
    frm_ToolTip::unload();
}

QWidget* frm_main::fileList() {
    return lst_Files;
}

const CatalogListModel& frm_main::fileListModel() {
    return controller_->model();
}

QString frm_main::oldBackupNotice(int row) {
    return controller_->oldBackupNotice(row);
}

// ---- first activation ----------------------------------------------------------------------

void frm_main::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Showing the window activates it; the first activation runs once the window has painted.
    // Window systems differ in whether and when they report activation, the show they all do.
    if (!firstActivation_) return;
    firstActivation_ = false;
    QTimer::singleShot(0, this, &frm_main::runFirstActivation);
}

void frm_main::runFirstActivation() {
    if (gStartCommand.mode == CommandLineMode::Open || !gDBOpen) return;
    bool copyRange = false;
    bool copyAll = false;
    readBool(keys::setup_opt_AutoCopyRange, copyRange);
    if (copyRange) {
        // The search selects the matching entries; the run works on that selection.
        txt_Suche->setText(readText(keys::setup_txt_AutoCopyRange));
        QCoreApplication::processEvents();
    } else if (readBool(keys::setup_opt_AutoCopyAll, copyAll) && copyAll) {
        controller_->mSelectAll(true);
        QCoreApplication::processEvents();
    }
    if (!copyRange && !copyAll) return;
    controller_->timer2Tick();  // the commands follow the new selection before Start is pressed
    // The handler itself, not the button: with nothing selected the button is disabled, and a run
    // over no rows still rewrites every row's status and ends with the after-run action.
    but_Start_Click();
    searchBox_->resetToPlaceholder();
    chk_CheckItem->setChecked(false);
}

// ---- loading -------------------------------------------------------------------------------

bool frm_main::load() {
    gBusyOn();
    controller_->stopTimers();
    gInitCrLf();
    gHostName = gGetComputerName();
    writeSetting(keys::AppEXELocal, QCoreApplication::applicationFilePath().trimmed());
    gCatalogFiles.Clear();
    gErrorStack.Clear();
    readToolTipSettings();
    gIdle = true;
    loading_ = true;
    firstActivation_ = false;

    restoreWindowGeometry();
    lbl_lstoverlay->setText(QStringLiteral(" Keine Einträge vorhanden"));
    readMenuLabelLooks();
    paintCaptionColours();
    restoreColumns(*controller_);
    bool autoSize = true;
    if (readBool(keys::setup_chk_AutoSpaltenbreite, autoSize))
        controller_->setAutoSizeColumns(autoSize);
    readListLooks();
    int sortKey = 0, sortOrder = 0;
    readInteger(keys::main_lst_files_sortkey, sortKey);
    readInteger(keys::main_lst_files_sortorder, sortOrder);
    controller_->setSortFromSettings(sortKey, sortOrder);
    int searchAll = 0;
    if (readInteger(keys::chk_SearchInAllCols, searchAll))
        chk_SearchInAllCols->setChecked(searchAll != 0);

    openStartCatalog(*controller_);
    if (gStartCommand.mode == CommandLineMode::Add) {
        addCommandLineFiles(*controller_);
        gBusyOff();
        return false;
    }
    for (int slot = 1; slot <= 9; ++slot)
        gRecentCatalogs[static_cast<size_t>(slot - 1)] = readText(keys::recentReadKey(slot));
    controller_->mUpdateRecentList();
    gShowSystemCaption(this, false);  // the window draws its own caption bar
    loading_ = false;
    keepMinimumSize();  // from now on no resize makes the window smaller
    firstActivation_ = true;

    if (!gDBOpen)
        showOverlay(QStringLiteral(" Kein Katalog geladen."), true);
    else if (gCatalogFiles.Count() == 0)
        showOverlay(QStringLiteral(" Keine Einträge im Katalog."), true);
    else
        showOverlay(QString(), false);
    gBusyOff();
    bool autoUpdate = true;
    readFlagEq1(keys::setup_chk_AutoUpdate, autoUpdate);
    const int interval = static_cast<int>(readNumber(keys::setup_txt_AutoUpdate));
    controller_->setAutoUpdate(autoUpdate, interval);
    controller_->mSetTimers(true, interval);
    controller_->mEnableControls();
    return true;
}

// ---- closing -------------------------------------------------------------------------------

void frm_main::closeEvent(QCloseEvent* event) {
    if (!gIdle) {
        event->ignore();
        return;
    }
    controller_->stopTimers();
    controller_->closeCatalog();
    saveSettings();
    event->accept();
}

void frm_main::saveSettings() {
    gBusyOn();
    if (gShowStatus) {
        frm_CommandStatus* status = frm_CommandStatus::load();
        status->setTagText(QStringLiteral("Programm wird beendet"));
        status->show();
        QCoreApplication::processEvents();
    }
    saveLayoutAndLooks();
    writeCheckBox(keys::chk_SearchInAllCols, chk_SearchInAllCols->isChecked());
    writeSetting(keys::main_lst_files_sortkey,
                 static_cast<qint64>(controller_->model().sortColumn()));
    writeSetting(
        keys::main_lst_files_sortorder,
        static_cast<qint64>(controller_->model().sortOrder() == Qt::DescendingOrder ? 1 : 0));
    for (int slot = 1; slot <= 9; ++slot)
        writeSetting(keys::recentWriteKey(slot), gRecentCatalogs[static_cast<size_t>(slot - 1)]);
    if (gShowStatus) frm_CommandStatus::unload();
    gBusyOff();
}

void frm_main::mousePressEvent(QMouseEvent* event) {
    closeToolTip();  // a click on the window's background
    QWidget::mousePressEvent(event);
}

namespace {
// The input events a list can receive from the user.
bool isUserInput(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::ToolTip:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}
}  // namespace

void frm_main::keyPressEvent(QKeyEvent* event) {
    // Escape: cancel a run ("Vorgang abbrechen (ESC)"), or leave the program when idle
    // ("Programm verlassen (ESC)").
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!gIdle) {
        if (but_Cancel->isEnabled()) but_Cancel->click();
    } else if (but_exit->isEnabled()) {
        but_exit->click();
    }
    event->accept();
}

bool frm_main::eventFilter(QObject* watched, QEvent* event) {
    // While a run works the list takes no input: the filters below would act on the rows even
    // though the list is disabled.
    if (!gIdle && (watched == lst_Files || watched == lst_Files->viewport()) &&
        isUserInput(event)) {
        // Escape still reaches the window: it cancels the run.
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            return false;
        return true;
    }
    // The overlay lies over the whole list, header and scroll bars too, whatever its size.
    if (event->type() == QEvent::Resize && watched == lst_Files)
        lbl_lstoverlay->setGeometry(lst_Files->rect());
    if (event->type() == QEvent::KeyRelease && watched == lst_Files &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        but_delete->click();
        return true;
    }
    if (event->type() == QEvent::FocusIn && watched == lst_Files) gListHasFocus = true;
    if (event->type() == QEvent::FocusOut && watched == lst_Files) gListHasFocus = false;
    if (event->type() == QEvent::MouseButtonRelease && watched == lst_Files->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton) {
            const QModelIndex hit = lst_Files->indexAt(mouse->pos());
            controller_->gToggleListItem(hit.isValid() ? hit.row() : -1);
            // The commands follow the click at once; the tooltip that may open next holds the
            // selection timer while it is shown.
            controller_->timer2Tick();
            if (hit.isValid())
                frm_ToolTip::openFromMainList(
                    *this, hit.row(), lst_Files->viewport()->mapTo(lst_Files, mouse->pos()));
            return true;
        }
        controller_->mUpdateSelectionSummary();
        if (gCatalogFiles.Count() > 0 && gSelCount >= 1) {
            closeToolTip();
            menu->popup(mouse->globalPosition().toPoint());
        }
        return true;
    }
    if ((event->type() == QEvent::MouseButtonPress) && watched == lst_Files->viewport()) {
        if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton) closeToolTip();
        return true;  // selection is the click toggle's business
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace bravel
