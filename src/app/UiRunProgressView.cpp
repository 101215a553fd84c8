#include "app/UiRunProgressView.h"

#include <QLabel>
#include <QProgressBar>

#include "backup/Progress.h"
#include "backup/frm_CommandStatus.h"

namespace bravel {

UiRunProgressView::UiRunProgressView(const Widgets& widgets, ListHooks list, QObject* parent)
    : QObject(parent), widgets_(widgets), list_(std::move(list)) {}

void UiRunProgressView::beginRun() {
    overall_ = widgets_.overallBar->value();
    deferring_ = true;
}

void UiRunProgressView::endRun() {
    deferring_ = false;
    apply();
}

QString UiRunProgressView::statusLine() const {
    return statusLine_ ? *statusLine_ : widgets_.statusLine->text();
}

void UiRunProgressView::setStatusLine(const QString& text) {
    statusLine_ = text;
    changed();
}

void UiRunProgressView::setOverallValue(int value) {
    overall_ = value;
    overallChanged_ = true;
    changed();
}

void UiRunProgressView::fileProgress(const CopyProgress& progress) {
    fileProgress_ = progress;
    overall_ = progress.overallValue();
    overallChanged_ = true;
    changed();
}

void UiRunProgressView::scrollToRow(int row) {
    scrollRow_ = row;
    changed();
}

void UiRunProgressView::showRowProgress(int row) {
    fileBarReset_ = true;
    fileProgress_.reset();
    rowBar_ = row;
    rowBarChanged_ = true;
    changed();
}

void UiRunProgressView::hideRowProgress() {
    rowBar_.reset();
    rowBarChanged_ = true;
    changed();
}

void UiRunProgressView::showStatusWindow(const QString& tagText) {
    statusShown_ = true;
    statusTag_ = tagText;
    statusProgress_.reset();
    statusChanged_ = true;
    changed();
}

void UiRunProgressView::statusWindowProgress(const CopyProgress& progress) {
    statusProgress_ = progress;
    changed();
}

void UiRunProgressView::closeStatusWindow() {
    statusShown_ = false;
    statusClosedMeanwhile_ = true;
    statusProgress_.reset();
    statusChanged_ = true;
    changed();
}

void UiRunProgressView::changed() {
    if (!deferring_) {
        apply();
        return;
    }
    if (applyPending_) return;
    applyPending_ = true;
    // Runs with the next window events, before anything is painted.
    QMetaObject::invokeMethod(this, &UiRunProgressView::apply, Qt::QueuedConnection);
}

void UiRunProgressView::apply() {
    applyPending_ = false;
    if (statusLine_) widgets_.statusLine->setText(*std::exchange(statusLine_, std::nullopt));
    if (scrollRow_) list_.scrollTo(*std::exchange(scrollRow_, std::nullopt));
    if (fileBarReset_) {
        fileBarReset_ = false;
        widgets_.fileBar->setValue(0);
        widgets_.fileLabel->clear();
    }
    if (rowBarChanged_) {
        rowBarChanged_ = false;
        if (rowBar_)
            list_.placeRowBar(*rowBar_);
        else
            list_.hideRowBar();
    }
    if (fileProgress_) {
        const CopyProgress progress = *std::exchange(fileProgress_, std::nullopt);
        widgets_.fileBar->setValue(progress.fileValue());
        widgets_.fileLabel->setText(progress.fileText());
    }
    if (overallChanged_) {
        overallChanged_ = false;
        widgets_.overallBar->setValue(overall_);
        widgets_.overallLabel->setText(percentText(overall_));
    }
    applyStatusWindow();
}

void UiRunProgressView::applyStatusWindow() {
    if (statusChanged_) {
        statusChanged_ = false;
        // A window closed since the last look at the screen is a new one for the next file.
        if (statusClosedMeanwhile_) frm_CommandStatus::unload();
        statusClosedMeanwhile_ = false;
        if (statusShown_) {
            frm_CommandStatus* status = frm_CommandStatus::load();
            status->setTagText(statusTag_);
            status->lbl_Progress->show();
            status->show();
        }
    }
    frm_CommandStatus* status = frm_CommandStatus::current();
    if (!status || !statusProgress_) return;
    const CopyProgress progress = *std::exchange(statusProgress_, std::nullopt);
    status->setProgressText(progress.statusLine());
    status->setProgressValue(progress.fileValue());
}

}  // namespace bravel
