#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

#include "backup/RunObserver.h"

namespace bravel {

class CatalogController;
class RunReport;

// The backup run as a terminal shows it. On a terminal one line is rewritten in place (files done
// of all, bytes, percent, rate, the current file) and entries that were not backed up are printed
// above it; elsewhere every entry gets one line with its outcome. Quiet: failures only.
class TerminalRunObserver : public RunObserver {
  public:
    TerminalRunObserver(CatalogController& controller, RunReport& report, std::FILE* out,
                        bool isTerminal, bool quiet);

    // Clears the progress line, so that what follows starts on a line of its own.
    void endProgressLine();

    int overallProgressValue() const override { return overall_; }
    void setOverallProgressValue(int value) override { overall_ = value; }
    void fileProgress(const CopyProgress& progress) override;
    QString captionText() const override { return caption_; }
    void setCaptionText(const QString& text) override { caption_ = text; }
    QString statusLine() const override { return status_; }
    void setStatusLine(const QString& text) override { status_ = text; }
    void showStatusWindow(const QString&) override {}
    void statusWindowProgress(const CopyProgress&) override {}
    void closeStatusWindow() override {}
    void showRowProgress(int row) override;
    void hideRowProgress() override {}
    void scrollToRow(int) override {}
    void setListEnabled(bool) override {}
    void focusList() override {}
    void updateSelectionSummary() override;
    void applyControlStates() override {}
    void enableCancelButton() override {}
    void setCancelLook(CancelLook) override {}
    bool pauseChecked() const override { return false; }
    void setPauseChecked(bool) override {}
    void focusRunShortcut() override {}
    void pressExit() override {}  // the program ends after the run anyway
    void stopTimers(int) override {}
    void startTimers(int) override {}
    void entryDone(int row, EntryOutcome outcome) override;
    void recordNotWritten(int row) override;

  private:
    void printProgress();
    void printLine(const QString& text);
    int terminalWidth() const;

    CatalogController& controller_;
    RunReport& report_;
    std::FILE* out_;
    bool isTerminal_;
    bool quiet_;
    int overall_ = 0;
    int selected_ = 0;  // entries selected when the run started
    QString caption_;
    QString status_;
    QString currentName_;
    qint64 finishedBytes_ = 0;  // bytes of the entries done
    qint64 currentBytes_ = 0;   // bytes of the current copy so far
    bool progressShown_ = false;
    QElapsedTimer started_;
    QElapsedTimer lastPaint_;
};

}  // namespace bravel
