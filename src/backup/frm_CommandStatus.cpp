#include "backup/frm_CommandStatus.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "backup/Copy.h"
#include "backup/Progress.h"
#include "base/AppValues.h"
#include "platform/Colors.h"
#include "platform/Twips.h"

namespace bravel {

QPointer<frm_CommandStatus> frm_CommandStatus::instance_;
QPointer<frm_CommandStatus> frm_CommandStatus::spare_;

namespace {
QString displayText(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}
}  // namespace

frm_CommandStatus* frm_CommandStatus::load() {
    if (instance_) return instance_;
    if (spare_) {
        // A run shows the window once per file: a closed window is kept hidden and started
        // afresh, which looks the same as a new one and costs far less.
        instance_ = spare_;
        spare_ = nullptr;
        instance_->startAfresh();
    } else {
        instance_ = new frm_CommandStatus();
        static const bool spareDeletedAtExit =
            (qAddPostRoutine([] { delete spare_.data(); }), true);
        Q_UNUSED(spareDeletedAtExit);
    }
    return instance_;
}

frm_CommandStatus* frm_CommandStatus::current() {
    return instance_;
}

void frm_CommandStatus::unload() {
    if (!instance_) return;
    frm_CommandStatus* window = instance_;
    instance_ = nullptr;
    window->hide();
    delete spare_.data();
    spare_ = window;
}

frm_CommandStatus::frm_CommandStatus(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frm_CommandStatus"));
    lbl_titel = new QLabel(this);
    lbl_titel->setObjectName(QStringLiteral("lbl_titel"));
    lbl_Progress = new QLabel(this);
    lbl_Progress->setObjectName(QStringLiteral("lbl_Progress"));
    pan_progress = new QProgressBar(this);
    pan_progress->setObjectName(QStringLiteral("pan_progress"));
    pan_progress->setRange(0, 100);
    startAfresh();
    // A window started afresh for the next file of a run is shown while the run lets events
    // run anyway: only a new one lets them run here.
    letEventsRun();
}

void frm_CommandStatus::startAfresh() {
    gInitCrLf();
    firstActivation_ = true;
    tagText_.clear();
    pan_progress->setValue(0);
    lbl_titel->hide();
    lbl_Progress->hide();
    pan_progress->hide();

    QPalette colours = palette();
    colours.setColor(QPalette::Window, colorFromBgr(gCaptionBackColor));
    colours.setColor(QPalette::WindowText, colorFromBgr(gCaptionForeColor));
    setPalette(colours);
    setAutoFillBackground(true);

    title_ = QStringLiteral(" ") + gProductName + gCrLf + QStringLiteral(" Vorgang läuft:");
    if (!gCommandLine.isEmpty()) title_ += gCrLf + QLatin1Char(' ') + gCommandLine;
    showTitle();
    lbl_titel->move(twipsToPixels(220), twipsToPixels(220));
    lbl_Progress->move(twipsToPixels(220), twipsToPixels(1000));
    lbl_Progress->clear();
}

void frm_CommandStatus::showTitle() {
    lbl_titel->setText(displayText(title_));
    lbl_titel->adjustSize();
}

void frm_CommandStatus::setProgressText(const QString& text) {
    lbl_Progress->setText(text);
    lbl_Progress->adjustSize();
}

void frm_CommandStatus::setProgressValue(int percent) {
    pan_progress->setValue(percent);
}

void frm_CommandStatus::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!firstActivation_) return;
    firstActivation_ = false;
    layOutOnFirstActivation();
}

void frm_CommandStatus::layOutOnFirstActivation() {
    title_ += gCrLf + tagText_;
    showTitle();
    setProgressText(sampleProgressLine());

    const int width = std::max(lbl_titel->width(), lbl_Progress->width()) + twipsToPixels(540);
    // A long title block (with the command line) pushes the progress line down.
    const int progressTop =
        std::max(twipsToPixels(1000), lbl_titel->y() + lbl_titel->height() + twipsToPixels(60));
    lbl_titel->move(width / 2 - lbl_titel->width() / 2, lbl_titel->y());
    lbl_Progress->move(width / 2 - lbl_Progress->width() / 2, progressTop);
    pan_progress->setGeometry(twipsToPixels(220),
                              progressTop + lbl_Progress->height() + twipsToPixels(60),
                              width - 2 * twipsToPixels(220), twipsToPixels(200));
    const int height = std::max(lbl_Progress->height() + lbl_titel->height() + twipsToPixels(840),
                                pan_progress->geometry().bottom() + twipsToPixels(220));

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int left = (screen.width() - width) / 2;
    const int top = (screen.height() - height) / 2 - twipsToPixels(2500);
    setGeometry(left, std::max(0, top), width, height);
    lbl_titel->show();
    pan_progress->show();
}

}  // namespace bravel
