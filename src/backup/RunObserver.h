#pragma once

#include <QString>

namespace bravel {

// Where one copy stands after a chunk. The texts are built only when asked for, so a window
// that paints rarely does not pay for formatting every chunk.
struct CopyProgress {
    qint64 position = 1;    // 1-based read position of the next byte (total + 1 at the end)
    qint64 total = 0;       // source length in bytes
    qint64 chunkBytes = 0;  // bytes read and written by this chunk
    float filePercent = 0;  // position / (total + 1) * 100
    double overall = 0;     // base + share, not limited
    int remaining = 0;      // gSelCount, the files still to copy including this one
    // True when pending events ran during this chunk (at most once a millisecond) or this was the
    // last chunk. Values set while this is false are overwritten before anything is painted.
    bool eventsRan = false;

    int fileValue() const;        // single-file bar, 0..100
    int overallValue() const;     // overall bar, limited to 100
    QString fileText() const;     // "41%"
    QString overallText() const;  // the overall bar's value: never more than "100%"
    QString statusLine() const;   // "4 KB von 10 KB kopiert: (40,97%)  (Rest: 3 Dateien)"
};

enum class CancelLook { Idle, Waiting };

// How the run left one selected entry.
enum class EntryOutcome {
    Saved,          // copied and its record written
    SourceMissing,  // the source does not exist
    FolderFailed,   // the backup folder could not be created
    DriveMissing,   // the backup folder lies on a drive that is not plugged in
    Unchanged,      // the backup copy was current: nothing copied, its record stamped
    CopyFailed,     // the copy failed; the older copy is kept
    Skipped,        // the run was cancelled before this entry
    Aborted,        // a signal stopped this entry's copy; an older copy stays as it was
};
constexpr int kEntryOutcomes = static_cast<int>(EntryOutcome::Aborted) + 1;
// Whether an entry with this outcome was not backed up by a run that went on.
bool isFailedOutcome(EntryOutcome outcome);

namespace timers {
constexpr int kRefresh = 1;  // Timer1, the automatic list refresh
constexpr int kSummary = 2;  // Timer2, the selection summary
constexpr int kBoth = kRefresh | kSummary;
}  // namespace timers

// What the copy engine and the backup run need of the main window and the status window.
// frm_main implements it; tests use a recording one.
class RunObserver {
  public:
    virtual ~RunObserver() = default;

    // Progress of the main window (pan_progress, lbl_MultiProgress, pan_SingleProgress,
    // lbl_SingleProgress) after every chunk.
    virtual int overallProgressValue() const = 0;
    // The overall bar and its percentage label, which always show the same value.
    virtual void setOverallProgressValue(int value) = 0;
    virtual void fileProgress(const CopyProgress& progress) = 0;
    // The copy is complete and is being read back to be compared with its source.
    virtual void verifyingCopy() {}
    // The caption label lbl_caption (the pause marker).
    virtual QString captionText() const = 0;
    virtual void setCaptionText(const QString& text) = 0;
    // The status line lbl_status.
    virtual QString statusLine() const = 0;
    virtual void setStatusLine(const QString& text) = 0;

    // The floating status window: shown once per file with the file name as tag text.
    virtual void showStatusWindow(const QString& tagText) = 0;
    virtual void statusWindowProgress(const CopyProgress& progress) = 0;
    virtual void closeStatusWindow() = 0;

    // The list: the single-file bar over a row (reset to 0; shown only where the row is visible
    // in report view), scrolling, input.
    virtual void showRowProgress(int row) = 0;
    virtual void hideRowProgress() = 0;
    virtual void scrollToRow(int row) = 0;
    virtual void setListEnabled(bool enabled) = 0;
    virtual void focusList() = 0;

    // Commands and controls.
    virtual void updateSelectionSummary() = 0;  // gSelCount, gSelTotal, check marks, lbl_status
    virtual void applyControlStates() = 0;      // mEnableControls
    virtual void enableCancelButton() = 0;
    virtual void setCancelLook(CancelLook look) = 0;
    virtual bool pauseChecked() const = 0;
    // Sets the pause box and the pause menu entry's check mark without running the click handler.
    virtual void setPauseChecked(bool checked) = 0;
    virtual void focusRunShortcut() = 0;
    virtual void pressExit() = 0;
    virtual void stopTimers(int which) = 0;
    // Timer1 only when automatic refresh is configured.
    virtual void startTimers(int which) = 0;

    // A selected row is done; its cells already show the outcome. The error records of the row
    // are the ones added since the previous call.
    virtual void entryDone(int row, EntryOutcome outcome) {
        (void)row;
        (void)outcome;
    }
    // The row's file was copied, but its record could not be written, not even at the end of the
    // run (the catalog stayed locked or cannot be written).
    virtual void recordNotWritten(int row) { (void)row; }
};

}  // namespace bravel
