#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "backup/RunObserver.h"

class QLabel;
class QProgressBar;

namespace bravel {

// The main window's view of a run: the status line, the overall and single-file bars with their
// labels, the list's scrolling, the bar over the row being copied and the floating status window.
// During a run every call only notes the new state, and the state is put on the widgets when
// window events run next; nothing can be painted in between, so what the screen shows at each
// event run is the same, while a run over many small files no longer lays out, shows and hides
// widgets for every file. Outside a run every call takes effect at once.
class UiRunProgressView : public QObject {
  public:
    struct Widgets {
        QLabel* statusLine;
        QProgressBar* overallBar;
        QLabel* overallLabel;
        QProgressBar* fileBar;
        QLabel* fileLabel;
    };
    struct ListHooks {
        std::function<void(int row)> scrollTo;
        std::function<void(int row)> placeRowBar;  // shows the single-file bar over the row
        std::function<void()> hideRowBar;
    };
    UiRunProgressView(const Widgets& widgets, ListHooks list, QObject* parent);

    // From begin to end the calls are deferred; end puts the last state on the widgets.
    void beginRun();
    void endRun();

    QString statusLine() const;
    void setStatusLine(const QString& text);
    int overallValue() const { return overall_; }
    void setOverallValue(int value);
    void fileProgress(const CopyProgress& progress);
    void scrollToRow(int row);
    void showRowProgress(int row);
    void hideRowProgress();
    void showStatusWindow(const QString& tagText);
    void statusWindowProgress(const CopyProgress& progress);
    void closeStatusWindow();

  private:
    void changed();
    void apply();
    void applyStatusWindow();

    Widgets widgets_;
    ListHooks list_;
    bool deferring_ = false;
    bool applyPending_ = false;

    std::optional<QString> statusLine_;
    int overall_ = 0;
    bool overallChanged_ = false;
    std::optional<CopyProgress> fileProgress_;
    bool fileBarReset_ = false;
    std::optional<int> scrollRow_;
    std::optional<int> rowBar_;  // the row the single-file bar is to stand over
    bool rowBarChanged_ = false;

    // The status window: whether it is to be shown, with which tag text, whether it was closed
    // since it was last put on the screen (it then starts afresh), and its latest progress.
    bool statusShown_ = false;
    bool statusClosedMeanwhile_ = false;
    bool statusChanged_ = false;
    QString statusTag_;
    std::optional<CopyProgress> statusProgress_;
};

}  // namespace bravel
