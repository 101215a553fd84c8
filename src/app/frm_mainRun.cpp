// The main window during a backup run: Start, the run's log, and the window as the run's view.
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include "app/frm_main.h"
#include "backup/BackupRun.h"
#include "backup/Progress.h"
#include "backup/RunReport.h"
#include "base/AppValues.h"
#include "base/RunState.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "platform/DesktopNotification.h"

namespace bravel {

// ---- the run -----------------------------------------------------------------------------

void frm_main::but_Start_Click() {
    controller_->mUpdateSelectionSummary();
    // Every run over a catalog is logged, also an automatic one that found nothing to select.
    if (!gDBOpen || !gDB.Access) {
        runWithDeferredView();
        return;
    }
    const QString catalog = gDB.Access->name();
    RunReport report(
        gProductName + QLatin1Char(' ') + gVersion + QStringLiteral(": Sicherung im Fenster"),
        catalog, QStringLiteral("markierte Einträge"));
    report.selected(gSelCount, gSelTotal);
    runReport_ = &report;
    closingAfterRun_ = false;
    runWithDeferredView();
    runReport_ = nullptr;
    controller_->countOldBackups();  // the rows backed up now are no longer old
    report.finish(gAbort ? 3 : (report.anyFailure() ? 1 : 0));
    // Someone who is not looking at the window, or whose window closes after the run, hears of it.
    const bool seen = !closingAfterRun_ && isVisible() && !isMinimized() && isActiveWindow();
    if (!seen)
        showDesktopNotification(
            QStringLiteral("Sicherung beendet"),
            QFileInfo(catalog).fileName() + QStringLiteral(": ") + report.totalsText(),
            report.anyFailure());
}

void frm_main::runWithDeferredView() {
    runView_->beginRun();
    runBackup(controller_->model(), controller_->rset_Record(), *this);
    runView_->endRun();
}

void frm_main::entryDone(int row, EntryOutcome outcome) {
    if (runReport_) runReport_->entryDone(controller_->model(), row, outcome);
}

void frm_main::recordNotWritten(int row) {
    if (runReport_) runReport_->recordNotWritten(controller_->model(), row);
}

// ---- RunObserver --------------------------------------------------------------------------

int frm_main::overallProgressValue() const {
    return runView_->overallValue();
}

void frm_main::setOverallProgressValue(int value) {
    runView_->setOverallValue(value);
}

void frm_main::fileProgress(const CopyProgress& progress) {
    runView_->fileProgress(progress);
}

QString frm_main::captionText() const {
    return lbl_caption->text();
}

void frm_main::setCaptionText(const QString& text) {
    lbl_caption->setText(text);
}

QString frm_main::statusLine() const {
    return runView_->statusLine();
}

void frm_main::setStatusLine(const QString& text) {
    runView_->setStatusLine(text);
}

void frm_main::showStatusWindow(const QString& tagText) {
    runView_->showStatusWindow(tagText);
}

void frm_main::statusWindowProgress(const CopyProgress& progress) {
    runView_->statusWindowProgress(progress);
}

void frm_main::closeStatusWindow() {
    runView_->closeStatusWindow();
}

void frm_main::showRowProgress(int row) {
    runView_->showRowProgress(row);
}

void frm_main::hideRowProgress() {
    runView_->hideRowProgress();
}

void frm_main::placeRowBar(int row) {
    // Only the report view has a first cell to put the bar over.
    const QRect cell =
        look_.viewMode == 3 ? lst_Files->visualRect(controller_->model().index(row, 0)) : QRect();
    if (!placeRowProgress(cell)) return;
    pan_SingleProgress->show();
    lbl_SingleProgress->show();
}

void frm_main::hideRowBar() {
    pan_SingleProgress->hide();
    lbl_SingleProgress->hide();
}

void frm_main::setListEnabled(bool enabled) {
    lst_Files->setEnabled(enabled);
}

void frm_main::focusList() {
    lst_Files->setFocus();
}

void frm_main::updateSelectionSummary() {
    controller_->mUpdateSelectionSummary();
}

void frm_main::applyControlStates() {
    controller_->mEnableControls();
}

void frm_main::enableCancelButton() {
    but_Cancel->setEnabled(true);
}

void frm_main::setCancelLook(CancelLook look) {
    showCancelLook(look);
}

bool frm_main::pauseChecked() const {
    return chk_pause->isChecked();
}

void frm_main::setPauseChecked(bool checked) {
    chk_pause->setChecked(checked);
    mnu_fileactionpause->setChecked(checked);
}

void frm_main::focusRunShortcut() {
    but_shortcut_run->setFocus();
}

void frm_main::pressExit() {
    // The run is still working when it asks for the exit; the window can only close once the
    // run has ended and the window is idle again.
    closingAfterRun_ = true;
    QTimer::singleShot(0, but_exit, &QPushButton::click);
}

void frm_main::stopTimers(int which) {
    if (which & timers::kRefresh) controller_->Timer1().stop();
    if (which & timers::kSummary) controller_->Timer2().stop();
}

void frm_main::startTimers(int which) {
    if ((which & timers::kRefresh) && controller_->autoUpdate()) controller_->Timer1().start();
    if (which & timers::kSummary) controller_->Timer2().start();
}

}  // namespace bravel
