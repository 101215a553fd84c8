#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "backup/RunObserver.h"

namespace bravel::test {

// A run observer that remembers what the copy and the run told the windows. Hooks let a test act
// at a given moment (pause after a chunk, cancel during a file).
class RecordingRunObserver : public RunObserver {
  public:
    int overallProgressValue() const override { return overallValue; }
    void setOverallProgressValue(int value) override {
        overallValue = value;
        log << QStringLiteral("overall=%1").arg(value);
    }
    void fileProgress(const CopyProgress& progress) override {
        chunks.push_back(progress);
        overallValue = progress.overallValue();
        overallText = progress.overallText();
        fileText = progress.fileText();
        if (onChunk) onChunk(progress);
    }
    void verifyingCopy() override {
        if (onVerify) onVerify();
    }
    std::function<void()> onVerify;
    QString captionText() const override { return caption; }
    void setCaptionText(const QString& text) override {
        caption = text;
        captions << text;
    }
    QString statusLine() const override { return status; }
    void setStatusLine(const QString& text) override { status = text; }

    void showStatusWindow(const QString& tagText) override {
        statusWindowTags << tagText;
        statusWindowOpen = true;
    }
    void statusWindowProgress(const CopyProgress& progress) override {
        statusWindowLines << progress.statusLine();
        statusWindowValue = progress.fileValue();
    }
    void closeStatusWindow() override { statusWindowOpen = false; }

    void showRowProgress(int row) override {
        rowsCopied.push_back(row);
        if (onFileStart) onFileStart(row);
    }
    void hideRowProgress() override { log << QStringLiteral("hideRowProgress"); }
    void scrollToRow(int row) override { scrolledRows.push_back(row); }
    void setListEnabled(bool enabled) override {
        listEnabled = enabled;
        log << QStringLiteral("listEnabled=%1").arg(enabled);
    }
    void focusList() override { log << QStringLiteral("focusList"); }

    void updateSelectionSummary() override {
        if (onSummary) onSummary();
    }
    void applyControlStates() override { ++controlStateCalls; }
    void enableCancelButton() override { cancelEnabled = true; }
    void setCancelLook(CancelLook look) override { cancelLooks.push_back(look); }
    bool pauseChecked() const override { return pauseBox; }
    void setPauseChecked(bool checked) override { pauseBox = checked; }
    void focusRunShortcut() override { ++shortcutFocus; }
    void pressExit() override { log << QStringLiteral("pressExit"); }
    void stopTimers(int which) override { log << QStringLiteral("stopTimers=%1").arg(which); }
    void startTimers(int which) override { log << QStringLiteral("startTimers=%1").arg(which); }

    int overallValue = 0;
    QString overallText;
    QString fileText;
    QString caption;
    QStringList captions;
    QString status;
    std::vector<CopyProgress> chunks;
    QStringList statusWindowTags;
    QStringList statusWindowLines;
    int statusWindowValue = 0;
    bool statusWindowOpen = false;
    std::vector<int> rowsCopied;
    std::vector<int> scrolledRows;
    bool listEnabled = true;
    int controlStateCalls = 0;
    bool cancelEnabled = false;
    std::vector<CancelLook> cancelLooks;
    bool pauseBox = false;
    int shortcutFocus = 0;
    QStringList log;

    std::function<void(const CopyProgress&)> onChunk;
    std::function<void(int)> onFileStart;
    std::function<void()> onSummary;
};

}  // namespace bravel::test
