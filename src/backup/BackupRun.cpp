#include "backup/BackupRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <map>
#include <set>
#include <thread>
#include <unordered_map>
#include <vector>

#include "backup/Copy.h"
#include "backup/RunObserver.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogListModel.h"
#include "catalog/CatalogState.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/Clock.h"
#include "platform/Drives.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"
#include "platform/SystemActions.h"
#include "settings/SettingKeys.h"

namespace bravel {

QString runtext::savedStatus(const QDateTime& when) {
    return QStringLiteral("gesichert (") + formatGeneralDate(when) + QLatin1Char(')');
}

QString updatedComputerstatus(const QString& old, const QString& host, const QString& date) {
    const int p = host.isEmpty() ? -1 : old.indexOf(host);  // plain, first occurrence
    if (p < 0) return old + host + date + QLatin1Char(';');
    // The entry is host, eight date digits and ";"; whatever follows it stays.
    const int rest = old.size() - p - host.size() - 9;
    return old.left(p) + host + date + QLatin1Char(';') + (rest > 0 ? old.right(rest) : QString());
}

void requestCancel(RunObserver& observer) {
    gCancel = true;
    observer.setCancelLook(CancelLook::Waiting);
    if (observer.pauseChecked() || gPause) {
        gPause = false;
        observer.setPauseChecked(false);
    }
    observer.focusRunShortcut();
}

void pauseBoxClicked(bool checked, RunObserver& observer) {
    observer.stopTimers(timers::kRefresh);
    gPause = checked;
    observer.setPauseChecked(gPause);  // the box and the menu entry's check mark
    observer.focusRunShortcut();
    observer.startTimers(timers::kRefresh);
}

namespace {

const QString kRunModul = QStringLiteral("but_Start");
const QString kNotSavedPrefix = QStringLiteral("Datei");

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// The backup folders the run wrote to, one per file system, flushed once at the end.
class WrittenFileSystems {
  public:
    void add(const QString& folder) {
        if (!seen_.insert(folder).second) return;  // one look per folder
        quint64 device = 0;
        if (fs::deviceOf(folder, device)) folders_.emplace(device, folder);
    }
    void flush() {
        for (const auto& entry : folders_) {
            Err.Clear();
            fs::syncFileSystem(entry.second);
            gRecordError(kRunModul, QStringLiteral("syncfs(") + entry.second + QLatin1Char(')'));
        }
    }

  private:
    std::map<quint64, QString> folders_;
    std::set<QString> seen_;
};

// Current: the record already said all of it; nothing was written.
enum class RecordWrite { Written, Current, NoRecordset, Failed };

// Writes the outcome into the row's record and gives the new Computerstatus text. On failure the
// reason is left pending in Err (nothing is recorded: the caller may try again) and the record
// is as it was.
// A null status writes only this computer's date: the backup copy was already current; else
// bytes is the size of the source as it was copied.
RecordWrite updateRecord(Recordset* rset, qint64 id, qint64 bytes, const FileProperties& entry,
                         const QString& status, const QDate& today, QString& computerstatus) {
    if (!rset || (rset->BOF() && rset->EOF_())) return RecordWrite::NoRecordset;
    Err.Clear();
    rset->FindFirst(QStringLiteral("ID = ") + QString::number(id));
    if (Err.Number != 0) return RecordWrite::Failed;
    if (rset->NoMatch()) {  // another program removed the record meanwhile
        Err.Raise(errnum::kDbNoCurrentRecord);
        return RecordWrite::Failed;
    }

    const QString old =
        gReadFieldValue(rset, QStringLiteral("Computerstatus"), QString()).toString();
    Err.Clear();
    const QString updated = updatedComputerstatus(old, gHostName, formatYmd(today));
    const bool copied = !status.isNull();
    if (!copied && updated == old) {  // already stamped today: nothing to write
        computerstatus = updated;
        return RecordWrite::Current;
    }
    bool ok = rset->Edit();
    if (ok && copied) ok = rset->SetField(QStringLiteral("Dateigroesse"), bytes);
    if (ok && copied) ok = rset->SetField(QStringLiteral("Dateidatum"), entry.dteSourceDate());
    if (ok && copied) ok = rset->SetField(QStringLiteral("Status"), status);
    if (ok) ok = rset->SetField(QStringLiteral("Computerstatus"), updated);
    if (ok) ok = rset->Update();
    if (!ok || Err.Number != 0) {
        if (Err.Number == 0) Err.Raise(errnum::kDbGeneric);
        return RecordWrite::Failed;
    }
    computerstatus = updated;
    return RecordWrite::Written;
}

// Lets window events run for about ms milliseconds.
void waitWithEvents(int ms) {
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    BeforeEventRuns::now();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void stampHostColumn(CatalogListModel& model, int r, const QDate& today) {
    const int column = model.hostColumn(gHostName);
    if (column < 0) return;
    model.setCell(r, column, formatYmd(today));
    model.setCellColor(r, column, listcolor::kGreen);
}

void runAfterJobAction(RunObserver& observer) {
    bool afterJob = false;
    if (!readFlagEq1(keys::setup_chk_AfterJob, afterJob) || !afterJob) {
        Err.Clear();
        return;
    }
    observer.setListEnabled(true);
    const QString action = readText(keys::setup_cbo_AfterJob).trimmed();
    Err.Clear();
    if (action == QLatin1String("0")) {
        observer.pressExit();
    } else if (action == QLatin1String("1")) {
        systemActions().logOff();
    } else if (action == QLatin1String("2")) {
        systemActions().restart();
    } else if (action == QLatin1String("3")) {
        systemActions().shutDown();
    }
}

// How long a record write waits for another program's lock on the catalog, with the window
// alive: the first locked write of a run waits, later ones of the same run try once and are
// written at the end, when one more wait is spent on all of them.
constexpr int kRecordWaitMs = 2000;
constexpr int kFinalRecordWaitMs = 5000;
constexpr int kLockPollMs = 25;

// A copied row whose record is still to be written.
struct PendingRecord {
    int row = 0;
    qint64 id = 0;
    qint64 bytes = 0;  // the size of the source as it was copied
    std::shared_ptr<FileProperties> entry;
    QString status;  // null: only this computer's date (the copy was current)
    QDate day;       // the day the row was backed up, for this computer's date
};

// Whether the backup copy at target is a regular file of its own (not the source itself) with the
// source's size and modification time. Copies keep the source's time to the nanosecond; on a file
// system that keeps whole seconds only, the copy's fraction is 0.
bool backupIsCurrent(const QString& source, const QString& target) {
    fs::FileStamp original;
    fs::FileStamp copy;
    constexpr qint64 kSecond = 1000000000;
    if (!fs::regularFileStamp(source, true, original) || !fs::regularFileStamp(target, false, copy))
        return false;
    const bool sameTime = copy.modifiedNs == original.modifiedNs ||
                          (copy.modifiedNs % kSecond == 0 &&
                           copy.modifiedNs / kSecond == original.modifiedNs / kSecond);
    return !(copy.identity == original.identity) && copy.length == original.length && sameTime;
}

// The records a run has written before, by ID, with their Computerstatus: only those already say
// what a current backup copy holds (its size, date and "gesichert (" status). A copy that lies
// there without such a record is made again, so that the record is complete. Read once per run:
// the list's own status texts are those of its last fill, and an unchanged entry stamped today
// needs no look at its record at all.
std::unordered_map<qint64, QString> recordedEntries(Recordset* rset) {
    std::unordered_map<qint64, QString> recorded;
    if (!rset || (rset->BOF() && rset->EOF_())) return recorded;
    for (rset->MoveFirst(); !rset->EOF_(); rset->MoveNext()) {
        if (gReadFieldValue(rset, QStringLiteral("Status"), QString())
                .toString()
                .contains(QLatin1String("gesichert (")))
            recorded.emplace(
                gReadFieldValue(rset, QStringLiteral("ID"), 0).toLongLong(),
                gReadFieldValue(rset, QStringLiteral("Computerstatus"), QString()).toString());
    }
    Err.Clear();
    return recorded;
}

class BackupRun {
  public:
    BackupRun(CatalogListModel& model, Recordset* rset, RunObserver& observer,
              const RunOptions& options)
        : model_(model), rset_(rset), observer_(observer), options_(options) {}

    void run() {
        Err.Clear();
        if (model_.rowCount() == 0) return;
        const BeforeEventRuns commitFirst([this] { commitBatch(); });
        start();
        for (int r = 0; r < model_.rowCount(); ++r) {
            backUpRow(r);
            Err.Clear();
        }
        end();
    }

  private:
    void start() {
        observer_.updateSelectionSummary();
        // The rows copied are the rows selected now, whatever happens to the selection meanwhile.
        for (int r = 0; r < model_.rowCount(); ++r)
            selectedAtStart_.push_back(model_.isRowSelected(r));
        gIdle = false;
        observer_.applyControlStates();
        observer_.setListEnabled(false);
        observer_.stopTimers(timers::kBoth);
        gFileShare = 0;
        observer_.setOverallProgressValue(0);
        observer_.focusRunShortcut();
        summary_ = observer_.statusLine();
        if (options_.changedOnly) recorded_ = recordedEntries(rset_);
        fstabMountPoints_ = drives::currentFstabMountPoints();
        options_.copy.creationMask = static_cast<int>(fs::creationMask());
        // Record writes wait for a locked catalog between tries, with the window alive.
        if (gDB.Access) gDB.Access->setBusyTimeout(0);
        Err.Clear();
    }

    // A folder on an unplugged drive is never made on the system disk below its empty mount point.
    bool refuseDisconnectedDrive(int r, const QString& folder) {
        QString mountPoint;
        if (!drives::isOnDisconnectedDrive(folder, mountPoint, fstabMountPoints_)) return false;
        model_.setCell(r, col::kStatus, runtext::kDriveMissing);
        model_.setCellColor(r, col::kStatus, listcolor::kRed);
        model_.setCellColor(r, col::kFolder, listcolor::kRed);
        Err.Raise(errnum::kDiskNotReady, QStringLiteral("Laufwerk nicht verbunden: ") + mountPoint);
        gRecordError(kRunModul, QStringLiteral("gCreatePath ") + folder);
        return true;
    }

    void backUpRow(int r) {
        const auto entry = gCatalogFiles.Item(CatalogListModel::indexFromKey(model_.row(r).key));
        if (!entry) return;  // a row without its entry: nothing known to copy
        const qint64 id = model_.recordId(r);
        const QString oldStatus = entry->acLastStatus();
        const bool selected = selectedAtStart_[static_cast<size_t>(r)];
        const QDateTime rowTime = now();  // one reading for all the row's dates

        QString status = oldStatus;
        if (oldStatus.left(5) == kNotSavedPrefix) {
            status = oldStatus.mid(runtext::kNotSaved.size());
        } else if (selected && (oldStatus.trimmed().isEmpty() ||
                                oldStatus.startsWith(QLatin1String("gesichert")))) {
            status = savedStatus(rowTime);
        }

        if (!selected || model_.cellColor(r, col::kSource) == listcolor::kRed) {
            const bool prefix = selected && !status.isEmpty();
            model_.setCell(r, col::kStatus, prefix ? runtext::kNotSaved + status : status);
            if (selected) observer_.entryDone(r, EntryOutcome::SourceMissing);
            return;
        }

        observer_.scrollToRow(r);
        const QString folder = entry->acTagetPath();
        if (!folderStillInPlace(folder)) {
            if (refuseDisconnectedDrive(r, folder)) {
                observer_.entryDone(r, EntryOutcome::DriveMissing);
                return;
            }
            if (!gCreatePath(folder)) {
                model_.setCell(r, col::kStatus, runtext::kPathFailed);
                model_.setCellColor(r, col::kFolder, listcolor::kGreen);
                model_.setCellColor(r, col::kStatus, listcolor::kGreen);
                observer_.entryDone(r, EntryOutcome::FolderFailed);
                return;
            }
            rememberFolderInPlace(folder);
        }
        model_.setCellColor(r, col::kFolder, listcolor::kBlack);
        model_.setCellColor(r, col::kStatus, listcolor::kBlack);
        model_.setCell(r, col::kStatus, runtext::kPathCreated);
        status = savedStatus(rowTime);
        model_.setCell(r, col::kStatus, gCancel ? runtext::kSkipped : runtext::kCopying);

        observer_.setStatusLine(summary_ + QString(5, QLatin1Char(' ')) +
                                QStringLiteral("aktuell: '") + model_.cell(r, col::kSource) +
                                QLatin1Char('\''));

        const QString source = entry->acSourceFile();
        if (!gFileExists(source)) {
            observer_.entryDone(r, EntryOutcome::SourceMissing);
            return;
        }
        const QString target = folder + QLatin1Char('/') + fileNameOf(source);
        if (gCancel) {
            observer_.entryDone(r, EntryOutcome::Skipped);
            return;
        }

        if (options_.changedOnly && wasRecorded(id) &&
            !copiesOfThisRun_.count(identityOf(target)) && backupIsCurrent(source, target)) {
            keepUnchanged(r, id, entry, target, rowTime.date());
            return;
        }

        observer_.enableCancelButton();
        if (cleanedFolders_.insert(folder).second) removeLeftoverTemps(folder);
        observer_.showRowProgress(r);
        letEventsRun();
        if (gShowStatus) observer_.showStatusWindow(fileNameOf(source));

        CopyMade made;
        const bool copied = !writtenByAnEarlierRow(target) &&
                            gCopy(source, target, observer_, options_.copy, &made);
        written_.add(folder);
        copiedAny_ = true;

        observer_.hideRowProgress();
        letEventsRun();
        --gSelCount;

        if (!copied) {
            // The older copy (if any) is untouched and the record keeps what it said.
            showFailure(r, runtext::kCopyFailed);
            letEventsRun();
            if (gShowStatus) observer_.closeStatusWindow();
            observer_.entryDone(r, gAbort ? EntryOutcome::Aborted : EntryOutcome::CopyFailed);
            return;
        }
        copiesOfThisRun_.emplace(made.copy, source);

        model_.setCell(r, col::kStatus, status);
        model_.setCellColor(r, col::kStatus, listcolor::kGreen);
        model_.setCell(r, col::kCopyAttr, mGetAttr(target));
        model_.setCellColor(r, col::kCopyAttr, listcolor::kBlack);
        letEventsRun();

        writeRowRecord({r, id, made.source.length, entry, status, rowTime.date()});
        stampHostColumn(model_, r, rowTime.date());

        if (gShowStatus) observer_.closeStatusWindow();
        observer_.entryDone(r, EntryOutcome::Saved);
    }

    // The backup copy is current: nothing is copied, the row says so, and the record gets this
    // computer's date while its status keeps the date of the copy.
    void keepUnchanged(int r, qint64 id, const std::shared_ptr<FileProperties>& entry,
                       const QString& target, const QDate& today) {
        --gSelCount;
        if (gSelTotal > 0) {
            const double share = static_cast<double>(entry->lSourceByte()) / gSelTotal * 100.0;
            observer_.setOverallProgressValue(
                std::min(100, observer_.overallProgressValue() + static_cast<int>(share)));
        }
        rememberCopy(target, entry->acSourceFile());
        copiedAny_ = true;
        model_.setCell(r, col::kStatus, runtext::kUnchanged);
        model_.setCellColor(r, col::kStatus, listcolor::kGreen);
        model_.setCell(r, col::kCopyAttr, mGetAttr(target));
        model_.setCellColor(r, col::kCopyAttr, listcolor::kBlack);
        if (!stampedToday(r, id, today)) writeRowRecord({r, id, 0, entry, QString(), today});
        stampHostColumn(model_, r, today);
        observer_.entryDone(r, EntryOutcome::Unchanged);
        letEventsRun();
    }

    // The status text of a copy made at when; rows of the same second share one.
    QString savedStatus(const QDateTime& when) {
        // From the local date and time, which the text shows: no time zone look-up.
        const qint64 second =
            when.date().toJulianDay() * 86400 + when.time().msecsSinceStartOfDay() / 1000;
        if (second != savedStatusSecond_) {
            savedStatus_ = runtext::savedStatus(when);
            savedStatusSecond_ = second;
        }
        return savedStatus_;
    }

    // Whether the backup folder is the very folder an earlier row of this run found or made
    // there: then it is neither on a drive unplugged since nor to be made, and one look at it
    // does for the checks of both.
    bool folderStillInPlace(const QString& folder) const {
        const auto known = foldersInPlace_.find(folder);
        fs::FileIdentity identity;
        return known != foldersInPlace_.end() && fs::folderIdentity(folder, identity) &&
               identity == known->second;
    }

    void rememberFolderInPlace(const QString& folder) {
        fs::FileIdentity identity;
        if (fs::folderIdentity(folder, identity)) foldersInPlace_[folder] = identity;
        Err.Clear();
    }

    // Without a recordset there is no record to complete.
    bool wasRecorded(qint64 id) const { return !rset_ || recorded_.count(id) > 0; }

    // Whether the record had this computer's date of today when the run began; the row then
    // shows it without the record being written again.
    bool stampedToday(int r, qint64 id, const QDate& today) {
        const auto known = recorded_.find(id);
        if (known == recorded_.end() ||
            updatedComputerstatus(known->second, gHostName, formatYmd(today)) != known->second)
            return false;
        model_.setCell(r, col::kHostStatus, known->second);
        model_.setCellColor(r, col::kHostStatus, listcolor::kBlack);
        return true;
    }

    static fs::FileIdentity identityOf(const QString& target) {
        fs::FileIdentity identity;
        fs::entryIdentity(target, identity);
        return identity;
    }

    // Whether an earlier row of this run wrote the file now at target (the same name, or the
    // same file under another name): a copy of this run is never replaced by a later one.
    bool writtenByAnEarlierRow(const QString& target) {
        fs::FileIdentity identity;
        if (!fs::entryIdentity(target, identity)) return false;
        const auto earlier = copiesOfThisRun_.find(identity);
        if (earlier == copiesOfThisRun_.end()) return false;
        Err.Raise(errnum::kFileAlreadyExists,
                  QStringLiteral("Die Sicherungskopie wurde in diesem Lauf schon von '") +
                      earlier->second + QStringLiteral("' geschrieben"));
        gRecordError(kRunModul, QStringLiteral("Open(") + target +
                                    QStringLiteral(") For Binary Access Write As fn2"));
        return true;
    }

    void rememberCopy(const QString& target, const QString& source) {
        fs::FileIdentity identity;
        if (fs::entryIdentity(target, identity)) copiesOfThisRun_.emplace(identity, source);
    }

    void showFailure(int r, const QString& text) {
        model_.setCell(r, col::kStatus, text);
        model_.setCellColor(r, col::kStatus, listcolor::kRed);
    }

    // Keeps the row's record for the next batch, or writes it on its own while the catalog is
    // locked by another program (the write then waits for it as before).
    void writeRowRecord(const PendingRecord& record) {
        if (gDB.Access && rset_ && !catalogLocked_)
            pending_.push_back(record);
        else
            writeAlone(record);
    }

    // Writes the records kept since the last time in one short transaction: before window events
    // run, before a pause waits, before a wait for a locked catalog, and at the end. The catalog
    // is locked for others only while they are written, never during a copy or while the program
    // is stopped. Only then do their rows show the written records. What does not go through in
    // one transaction is written one by one.
    void commitBatch() {
        if (pending_.empty()) return;
        const PendingError before = Err;
        const std::vector<PendingRecord> records = std::move(pending_);
        pending_.clear();
        for (size_t i = writeInOneTransaction(records); i < records.size(); ++i)
            writeAlone(records[i]);
        Err = before;
    }

    // Writes the records from the front in one transaction and commits them; gives how many
    // were committed. A record that fails ends the transaction there; a failed commit (a full
    // disk) takes all of them back.
    size_t writeInOneTransaction(const std::vector<PendingRecord>& records) {
        CatalogDatabase* db = gDB.Access.get();
        if (!db || !db->beginBatch()) {
            Err.Clear();  // locked by another program: the first record waits for it alone
            return 0;
        }
        std::vector<std::pair<QString, RecordWrite>> written;
        for (const PendingRecord& record : records) {
            QString computerstatus;
            const RecordWrite result = updateRecord(rset_, record.id, record.bytes, *record.entry,
                                                    record.status, record.day, computerstatus);
            if (result == RecordWrite::Failed) break;
            written.emplace_back(computerstatus, result);
        }
        if (!db->inBatch() || !db->commitBatch()) {
            Err.Clear();
            return 0;
        }
        for (size_t i = 0; i < written.size(); ++i)
            if (written[i].second != RecordWrite::NoRecordset)
                showWritten(records[i].row, written[i].first, written[i].second);
        return written.size();
    }

    // Writes one record in a transaction of its own; one that cannot be written now is tried
    // once more at the end.
    void writeAlone(const PendingRecord& record) {
        if (writeRecord(record, catalogLocked_ ? 0 : kRecordWaitMs)) return;
        catalogLocked_ = Err.Number == errnum::kDbLocked;
        Err.Clear();
        unwritten_.push_back(record);
    }

    void showWritten(int row, const QString& computerstatus, RecordWrite result) {
        recordsWritten_ |= result == RecordWrite::Written;
        model_.setCell(row, col::kHostStatus, computerstatus);
        model_.setCellColor(row, col::kHostStatus, listcolor::kBlack);
    }

    // Writes the row's record, trying again while another program holds the catalog locked, for
    // at most waitMs. On failure the reason stays pending in Err.
    bool writeRecord(const PendingRecord& record, qint64 waitMs) {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QString computerstatus;
            const RecordWrite result = updateRecord(rset_, record.id, record.bytes, *record.entry,
                                                    record.status, record.day, computerstatus);
            if (result == RecordWrite::NoRecordset) return true;
            if (result == RecordWrite::Written || result == RecordWrite::Current) {
                catalogLocked_ = false;
                showWritten(record.row, computerstatus, result);
                return true;
            }
            if (Err.Number != errnum::kDbLocked || waited.elapsed() >= waitMs) return false;
            const PendingError locked = Err;
            waitWithEvents(kLockPollMs);
            Err = locked;
        }
    }

    // The records that could not be written during the run get one more try; a row whose record
    // still cannot be written says so, and the error log has it.
    void writeUnwrittenRecords() {
        QElapsedTimer waited;
        waited.start();
        for (const PendingRecord& record : unwritten_) {
            if (writeRecord(record, std::max<qint64>(0, kFinalRecordWaitMs - waited.elapsed())))
                continue;
            gRecordError(kRunModul,
                         QStringLiteral("rset_Record.Update ID = ") + QString::number(record.id),
                         ErrorTest::NonZero);
            showFailure(record.row, runtext::kRecordNotWritten);
            observer_.recordNotWritten(record.row);
        }
        Err.Clear();
    }

    void end() {
        commitBatch();
        writeUnwrittenRecords();
        if (gDB.Access) gDB.Access->setBusyTimeout(-1);
        // The catalog's records are flushed with the copies they describe.
        if (gDB.Access && recordsWritten_)
            written_.add(QFileInfo(gDB.Access->name()).absolutePath());
        written_.flush();
        const bool cancelled = gCancel;
        if (copiedAny_ && !cancelled) {
            observer_.setOverallProgressValue(100);  // whatever the sizes summed at the start
            letEventsRun();
        }

        observer_.setOverallProgressValue(0);
        observer_.setStatusLine(QString());
        gCancel = false;
        observer_.setCancelLook(CancelLook::Idle);
        gIdle = true;
        observer_.applyControlStates();
        observer_.setListEnabled(true);
        observer_.focusList();
        observer_.startTimers(timers::kBoth);

        // After the idle state is back, so that closing the program is allowed.
        if (!cancelled) runAfterJobAction(observer_);
        Err.Clear();
    }

    CatalogListModel& model_;
    Recordset* rset_;
    RunObserver& observer_;
    QString summary_;
    std::vector<bool> selectedAtStart_;
    std::set<QString> cleanedFolders_;
    std::map<QString, fs::FileIdentity> foldersInPlace_;  // see folderStillInPlace
    WrittenFileSystems written_;
    RunOptions options_;
    QStringList fstabMountPoints_;                         // read once per run
    std::map<fs::FileIdentity, QString> copiesOfThisRun_;  // each copy made, with its source
    std::vector<PendingRecord> unwritten_;
    std::vector<PendingRecord> pending_;            // for the next batch, see commitBatch
    std::unordered_map<qint64, QString> recorded_;  // with changedOnly: see recordedEntries
    QString savedStatus_;
    qint64 savedStatusSecond_ = -1;
    bool recordsWritten_ = false;  // a record of the catalog was changed
    bool catalogLocked_ = false;   // the last record write found the catalog locked
    bool copiedAny_ = false;
};

}  // namespace

RunOptions runOptionsFromSettings() {
    RunOptions options;
    readFlagEq1(keys::setup_chk_ChangedOnly, options.changedOnly);
    readFlagEq1(keys::setup_chk_VerifyCopies, options.copy.verify);
    bool keepVersions = false;
    readFlagEq1(keys::setup_chk_KeepVersions, keepVersions);
    qint64 count = 0;
    if (keepVersions && readInteger(keys::setup_txt_KeepVersions, count))
        options.copy.keepVersions =
            static_cast<int>(std::clamp<qint64>(count, 0, keys::kMostVersionsKept));
    Err.Clear();
    return options;
}

void runBackup(CatalogListModel& model, Recordset* rset_Record, RunObserver& observer,
               const RunOptions& options) {
    BackupRun(model, rset_Record, observer, options).run();
}

}  // namespace bravel
