#pragma once

#include <QFile>
#include <QString>
#include <array>

#include "backup/RunObserver.h"

namespace bravel {

class CatalogListModel;

// Where the run logs go: $XDG_STATE_HOME/quillfen/bravel (default ~/.local/state/...).
QString runLogFolder();
// The newest run log, "" when there is none.
QString newestRunLog();
// How many run logs are kept; older ones are removed when a run starts.
constexpr int kKeptRunLogs = 100;

// How the terminal and the run log begin the line of a copy whose record was not written.
inline const QString kRecordNotWrittenText = QStringLiteral("Eintrag nicht gespeichert: ");

// A text as one line: control characters (a newline in a file name) written as escapes.
QString oneLine(const QString& text);

// The account of one backup run, window or terminal: each selected entry with its outcome and
// reason, the error records of the run, the totals. It is written into a new run log as it goes,
// so a log of a run that was killed shows how far it came.
class RunReport {
  public:
    struct Entry {
        QString source;
        QString folder;
        EntryOutcome outcome = EntryOutcome::Saved;
        QString reason;  // empty for a saved entry
    };

    // title: the log's first line (program, version, window or not); selection: how the
    // entries were chosen.
    RunReport(const QString& title, const QString& catalog, const QString& selection);
    ~RunReport();
    RunReport(const RunReport&) = delete;
    RunReport& operator=(const RunReport&) = delete;

    // The run starts over count entries of bytes in all; error records from here on are the run's.
    void selected(int count, double bytes);
    // Row r of model is done; its reasons are the error records added since the last entry.
    const Entry& entryDone(const CatalogListModel& model, int row, EntryOutcome outcome);
    // Row r was copied, but its record could not be written; the reasons are the error records
    // added since the last entry.
    const Entry& recordNotWritten(const CatalogListModel& model, int row);
    void note(const QString& text);
    // Ends the log: the run's error records, the totals, the end and the exit code.
    void finish(int exitCode);

    int count(EntryOutcome outcome) const { return counts_[static_cast<size_t>(outcome)]; }
    int done() const;
    // Entries that the run could not back up: missing source, folder not created, copy failed.
    int failed() const;
    // Copies whose records could not be written.
    int unwrittenRecords() const { return unwrittenRecords_; }
    // Whether the run leaves something for the user to look at: an entry not backed up or a
    // record not written.
    bool anyFailure() const { return failed() > 0 || unwrittenRecords_ > 0; }
    // "3 gesichert, 1 nicht gesichert, 2 abgebrochen, 1 Eintrag nicht gespeichert"
    QString totalsText() const;
    QString logPath() const { return log_.fileName(); }
    // Why the log could not be written, "" when it was.
    QString logError() const { return logError_; }

    // The outcome as the run log and the terminal name it.
    static QString outcomeText(EntryOutcome outcome);

  private:
    void openLog();
    void write(const QString& line);
    QString recordsSince(int& next) const;
    void describe(const CatalogListModel& model, int row, EntryOutcome outcome);

    QFile log_;
    QString logError_;
    int firstRecord_ = 1;  // the error stack's first record of this run
    int nextRecord_ = 1;   // the first record not yet given to an entry
    std::array<int, kEntryOutcomes> counts_{};
    int unwrittenRecords_ = 0;
    Entry last_;
};

}  // namespace bravel
