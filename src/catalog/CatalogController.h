#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "catalog/CatalogListModel.h"
#include "catalog/MainView.h"
#include "platform/CatalogDatabase.h"
#include "platform/FileSystem.h"

namespace bravel {

class FileProperties;

extern bool gListHasFocus;  // lst_Files has the keyboard focus

// The value of a field of the current record, or defaultValue (also at EOF or BOF and for a null
// field). A failing read is recorded as "var_gReadFieldValue".
QVariant gReadFieldValue(Recordset* rset, const QString& name, const QVariant& defaultValue);

// One host's entry of a Computerstatus text: the host name and the date it last backed the
// entry up (the eight characters before the ";").
struct HostStamp {
    QString host;
    QString date;
};
// The entries of a Computerstatus text "<host><yyyymmdd>;<host><yyyymmdd>;...", in their order;
// what follows the last ";" is no entry. A piece without a name or without eight digits at its
// end (an empty one from a stray ";" too) is no entry either.
std::vector<HostStamp> parseComputerstatus(const QString& text);

// The open catalog behind the main window: the list model and its selection, the recordset
// rset_Record, the refresh timer Timer1 and the selection timer Timer2, and the commands that
// create, open, fill and refresh. No widgets: the window is reached through MainView.
class CatalogController : public QObject {
    Q_OBJECT
  public:
    explicit CatalogController(MainView& view, QObject* parent = nullptr);
    ~CatalogController() override;

    CatalogListModel& model() { return model_; }
    MainView& view() { return view_; }
    Recordset* rset_Record() { return rset_.get(); }
    QTimer& Timer1() { return timer1_; }
    QTimer& Timer2() { return timer2_; }

    // The nine fixed columns with their headers and widths (twips, from the settings).
    void createColumns(const std::array<double, 7>& widthsTwips);

    // Catalog commands.
    bool mOpenDB(const QString& path);
    void but_DB_Click();
    void but_DBNew_Click();
    void closeCatalog();
    void mFillListBox();
    void mUpdateRecentList();
    void recentEntryClicked(int slot);  // 1..9

    // Timers.
    void mSetTimers(bool secondTimerOn, int intervalMs);
    void stopTimers();
    // Timer1 per the auto-update flag, Timer2 on: the end of every catalog command.
    void restoreTimers();
    void timer1Tick();
    void timer2Tick();
    void setAutoUpdate(bool on, int intervalMs);
    bool autoUpdate() const { return autoUpdate_; }
    int autoUpdateInterval() const { return autoUpdateInterval_; }

    // Selection.
    void mUpdateSelectionSummary();
    void mSelectAll(bool selected);
    void gToggleListItem(int row);  // the row under the released mouse button, -1 for none
    void columnClicked(int column);
    void mRemoveHostColumns();
    void mEnableControls();
    bool mHasSelection() const { return hasSelection_; }
    // The open catalog cannot be written (read-only file, folder or mount).
    bool catalogReadOnly() const;
    QString mSingleSelText() const { return singleSelText_; }

    void setAutoSizeColumns(bool on) { autoSizeColumns_ = on; }
    bool autoSizeColumnsOn() const { return autoSizeColumns_; }
    void setSortFromSettings(int column, int order);

    // The old-backup warning as the last fill found it: its day count (nothing while it is off)
    // and how many entries were last backed up on this computer longer ago or never.
    std::optional<int> oldBackupDays() const { return oldBackupDays_; }
    int oldBackupCount() const { return oldBackupCount_; }
    // Counts them again from this computer's column, as a run has left it.
    void countOldBackups();
    // The tooltip's line about the row's last backup on this computer; empty when it is recent
    // or the warning is off.
    QString oldBackupNotice(int row) const;
    // Makes the record with the ID of the given row the current one; false when there is none.
    bool findRecordOfRow(int row);
    // Reads the row's record and looks at its source and folder again, as the fill does, after a
    // command changed one entry's files; the rest of the list stays as it is.
    void refillRow(int row);

  signals:
    // Another catalog (or a new one) is open and its list filled.
    void catalogOpened();

  private:
    // What the fill reads of one record.
    struct FillRecord {
        qint64 id = 0;
        QString source;
        QString folder;
        QString status;
        QString hostStatus;
    };

    void reopenRecordset();
    std::vector<FillRecord> readFillRecords();
    // The entry and the row of record n, with the look at its source already taken.
    ListRow fillRow(int n, const FillRecord& record,
                    const std::optional<fs::FileState>& sourceState,
                    std::unordered_map<QString, bool>& folderExists);
    // The row of entry n, whose source has been looked at.
    ListRow rowOfEntry(int n, const FillRecord& record, FileProperties& entry,
                       std::unordered_map<QString, bool>& folderExists);
    FillRecord currentFillRecord();
    ListRow buildRow(int n, qint64 id, bool sourceFound, bool folderFound,
                     const QString& hostStatus);
    void fillHostColumns(ListRow& row, const QString& hostStatus);
    // This computer's date in red when the warning is on and the date is too old.
    void markOldBackup(ListRow& row) const;
    // This computer's column, -1 when it has none.
    int ownHostColumn() const;
    QString ownBackupDate(int row) const;
    void dropCatalog();
    QString messageCaption() const;

    MainView& view_;
    CatalogListModel model_;
    std::unique_ptr<Recordset> rset_;
    QTimer timer1_;
    QTimer timer2_;
    bool autoUpdate_ = true;
    int autoUpdateInterval_ = 1000;
    bool autoSizeColumns_ = true;
    bool hasSelection_ = false;
    QString singleSelText_;
    bool tableMessageShown_ = false;
    // Rows backed up in the same runs share their Computerstatus text: the fill parses each text
    // once and keeps the last one with the host columns and dates it gave.
    struct HostCells {
        QString hostStatus;
        std::vector<std::pair<int, QString>> columnDates;
        int ownColumn = -1;  // this computer's among them
        QString ownDate;
    };
    std::optional<HostCells> lastHostCells_;
    std::optional<int> oldBackupDays_;
    QDate fillDay_;
    int oldBackupCount_ = 0;
};

}  // namespace bravel
