#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

#include "backup/RunObserver.h"

namespace bravel::restore {

// A copy an entry can be brought back from: its backup copy or one of its kept versions.
struct RestorePoint {
    QString path;
    QDateTime modified;
    qint64 size = 0;
    bool isBackupCopy = false;  // the copy in the backup folder itself, not a kept version
};

// The backup copy of source in backupFolder (when it is a regular file) and the versions kept of
// it, newest first; the backup copy before a version of the same time.
std::vector<RestorePoint> restorePoints(const QString& source, const QString& backupFolder);

enum class RestoreOutcome {
    Restored,   // the chosen copy is now at the target
    Identical,  // the target already had the chosen copy's content: nothing was changed
    Failed,     // nothing was replaced; the reason is in the error log
};

struct RestoreResult {
    RestoreOutcome outcome = RestoreOutcome::Failed;
    QString target;
    QString keptVersion;  // where the replaced source was kept, when it was
};

// Copies chosen back over source, fail-safe as a backup copy is: the target is replaced only by a
// complete copy. A current source that differs from the chosen copy is first kept as a version
// in backupFolder's version folder, named like the run's versions; if the copy then fails, that
// version is removed again. A source path that now holds a link, a folder or anything else but a
// regular file is left alone. A missing source folder is made. Failures are recorded as
// "but_Restore".
RestoreResult restoreToSource(const RestorePoint& chosen, const QString& source,
                              const QString& backupFolder, RunObserver& observer);

// The file a restore into folder writes: the source's file name there.
QString targetInFolder(const QString& folder, const QString& source);
// Copies chosen into folder under the source's file name, fail-safe; a file of that name there is
// replaced (the caller asks first). When that file is the source itself, this is a restore to
// the source, with its older content kept.
RestoreResult restoreToFolder(const RestorePoint& chosen, const QString& folder,
                              const QString& source, const QString& backupFolder,
                              RunObserver& observer);

// What a restore shows of its copy: only the file's progress, through progressed().
class RestoreObserver : public RunObserver {
  public:
    int overallProgressValue() const override { return 0; }
    void setOverallProgressValue(int) override {}
    void fileProgress(const CopyProgress& progress) override { progressed(progress); }
    QString captionText() const override { return caption_; }
    void setCaptionText(const QString& text) override { caption_ = text; }
    QString statusLine() const override { return {}; }
    void setStatusLine(const QString&) override {}
    void showStatusWindow(const QString&) override {}
    void statusWindowProgress(const CopyProgress&) override {}
    void closeStatusWindow() override {}
    void showRowProgress(int) override {}
    void hideRowProgress() override {}
    void scrollToRow(int) override {}
    void setListEnabled(bool) override {}
    void focusList() override {}
    void updateSelectionSummary() override {}
    void applyControlStates() override {}
    void enableCancelButton() override {}
    void setCancelLook(CancelLook) override {}
    bool pauseChecked() const override { return false; }
    void setPauseChecked(bool) override {}
    void focusRunShortcut() override {}
    void pressExit() override {}
    void stopTimers(int) override {}
    void startTimers(int) override {}

  protected:
    virtual void progressed(const CopyProgress&) {}

  private:
    QString caption_;
};

}  // namespace bravel::restore
