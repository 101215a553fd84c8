#include "app/TerminalRunObserver.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <QLocale>

#include "backup/RunReport.h"
#include "base/RunState.h"
#include "catalog/CatalogController.h"

namespace bravel {
namespace {

constexpr int kPaintIntervalMs = 100;  // a terminal line is not rewritten more often

QString dataSize(double bytes) {
    return QLocale().formattedDataSize(static_cast<qint64>(bytes), 1);
}

}  // namespace

TerminalRunObserver::TerminalRunObserver(CatalogController& controller, RunReport& report,
                                         std::FILE* out, bool isTerminal, bool quiet)
    : controller_(controller), report_(report), out_(out), isTerminal_(isTerminal), quiet_(quiet) {
    started_.start();
}

void TerminalRunObserver::updateSelectionSummary() {
    controller_.mUpdateSelectionSummary();
    selected_ = gSelCount;
}

void TerminalRunObserver::showRowProgress(int row) {
    currentName_ = controller_.model().cell(row, col::kSource);
    currentBytes_ = 0;
    printProgress();
}

void TerminalRunObserver::fileProgress(const CopyProgress& progress) {
    overall_ = progress.overallValue();
    currentBytes_ = std::min(progress.position - 1, progress.total);
    if (!lastPaint_.isValid() || lastPaint_.elapsed() >= kPaintIntervalMs) printProgress();
}

void TerminalRunObserver::entryDone(int row, EntryOutcome outcome) {
    const RunReport::Entry& entry = report_.entryDone(controller_.model(), row, outcome);
    finishedBytes_ += currentBytes_;
    currentBytes_ = 0;
    const bool failure = isFailedOutcome(outcome) || outcome == EntryOutcome::Aborted;
    // On a terminal the progress line stands for the saved entries; elsewhere each gets a line.
    if (failure || (!quiet_ && !isTerminal_)) {
        QString line =
            RunReport::outcomeText(outcome) + QStringLiteral(": ") + oneLine(entry.source);
        if (!entry.reason.isEmpty())
            line += QStringLiteral(" (") + oneLine(entry.reason) + QLatin1Char(')');
        printLine(line);
    }
    printProgress();
}

void TerminalRunObserver::recordNotWritten(int row) {
    // Printed also when quiet: the copy is there, but the catalog does not know of it.
    const RunReport::Entry& entry = report_.recordNotWritten(controller_.model(), row);
    QString line = kRecordNotWrittenText + oneLine(entry.source);
    if (!entry.reason.isEmpty())
        line += QStringLiteral(" (") + oneLine(entry.reason) + QLatin1Char(')');
    printLine(line);
}

void TerminalRunObserver::printLine(const QString& text) {
    endProgressLine();
    std::fprintf(out_, "%s\n", text.toLocal8Bit().constData());
    std::fflush(out_);
}

void TerminalRunObserver::endProgressLine() {
    if (!progressShown_) return;
    std::fputs("\r\x1b[K", out_);
    std::fflush(out_);
    progressShown_ = false;
}

int TerminalRunObserver::terminalWidth() const {
    struct winsize size {};
    if (::ioctl(::fileno(out_), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

void TerminalRunObserver::printProgress() {
    if (!isTerminal_ || quiet_) return;
    lastPaint_.start();
    const double bytes = static_cast<double>(finishedBytes_ + currentBytes_);
    const double seconds = std::max(0.001, static_cast<double>(started_.elapsed()) / 1000.0);
    const int percent =
        gSelTotal > 0 ? static_cast<int>(std::min(100.0, bytes / gSelTotal * 100.0)) : 100;
    QString line = QStringLiteral("[%1/%2] %3 von %4  %5 %  %6/s  ")
                       .arg(report_.done())
                       .arg(selected_)
                       .arg(dataSize(bytes), dataSize(gSelTotal))
                       .arg(percent)
                       .arg(dataSize(bytes / seconds));
    // The file name fills what is left of the line; a long one keeps its end.
    const int room = terminalWidth() - 1 - static_cast<int>(line.size());
    QString name = oneLine(currentName_);
    if (room > 1 && name.size() > room) name = QStringLiteral("…") + name.right(room - 1);
    if (room > 1) line += name;
    std::fprintf(out_, "\r%s\x1b[K", line.left(terminalWidth() - 1).toLocal8Bit().constData());
    std::fflush(out_);
    progressShown_ = true;
}

}  // namespace bravel
