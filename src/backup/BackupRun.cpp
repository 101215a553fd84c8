#include "backup/BackupRun.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <map>
#include <set>

#include "app/AppValues.h"
#include "backup/Copy.h"
#include "backup/Prog.h"
#include "backup/RunObserver.h"
#include "backup/RunState.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogListModel.h"
#include "catalog/CatalogState.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/Clock.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"
#include "platform/SystemActions.h"
#include "settings/SettingKeys.h"

namespace bravel {

QString runtext::savedStatus() {
    return QStringLiteral("gesichert (") + formatGeneralDate(now()) + QLatin1Char(')');
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
        struct stat st {};
        if (::stat(QFile::encodeName(folder).constData(), &st) != 0) return;
        folders_.emplace(st.st_dev, folder);
    }
    void flush() {
        for (const auto& entry : folders_) {
            Err.Clear();
            fs::syncFileSystem(entry.second);
            gRecordError(kRunModul, QStringLiteral("syncfs(") + entry.second + QLatin1Char(')'));
        }
    }

private:
    std::map<dev_t, QString> folders_;
};

// Writes the outcome into the row's record. Returns the new Computerstatus text when the record
// was updated. A failing step is recorded; the record is then left as it was.
bool updateRecord(Recordset* rset, qint64 id, const QString& source, const FileProperties& entry,
                  const QString& status, QString& computerstatus) {
    if (!rset || (rset->BOF() && rset->EOF_())) return false;
    Err.Clear();
    const QString trigger = QStringLiteral("rset_Record.Update ID = ") + QString::number(id);
    rset->MoveFirst();
    if (gRecordError(kRunModul, trigger, ErrorTest::NonZero)) return false;
    rset->FindFirst(QStringLiteral("ID = ") + QString::number(id));
    if (gRecordError(kRunModul, trigger, ErrorTest::NonZero) || rset->NoMatch()) return false;

    const QString old = gReadFieldValue(rset, QStringLiteral("Computerstatus"), QString()).toString();
    Err.Clear();
    const QString updated = updatedComputerstatus(old, gHostName, formatYmd(now().date()));
    qint64 bytes = 0;
    bool ok = fs::length(source, bytes);
    if (ok) ok = rset->Edit();
    if (ok) ok = rset->SetField(QStringLiteral("Dateigroesse"), bytes);
    if (ok) ok = rset->SetField(QStringLiteral("Dateidatum"), entry.dteSourceDate());
    if (ok) ok = rset->SetField(QStringLiteral("Status"), status);
    if (ok) ok = rset->SetField(QStringLiteral("Computerstatus"), updated);
    if (ok) ok = rset->Update();
    if (gRecordError(kRunModul, trigger, ErrorTest::NonZero) || !ok) return false;
    computerstatus = updated;
    return true;
}

void stampHostColumn(CatalogListModel& model, int r) {
    int column = model.findColumn(gHostName);
    if (column < 0) {
        ListColumn host;
        host.header = gHostName;
        host.widthTwips = 1200;
        host.headerIcon = QStringLiteral("pc");
        column = model.addColumn(host);
    }
    model.setCell(r, column, formatYmd(now().date()));
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

class BackupRun {
public:
    BackupRun(CatalogListModel& model, Recordset* rset, RunObserver& observer)
        : model_(model), rset_(rset), observer_(observer) {}

    void run() {
        Err.Clear();
        if (model_.rowCount() == 0) return;
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
        gIdle = false;
        observer_.applyControlStates();
        observer_.setListEnabled(false);
        observer_.stopTimers(timers::kBoth);
        gFileShare = 0;
        observer_.focusRunShortcut();
        summary_ = observer_.statusLine();
    }

    void backUpRow(int r) {
        const auto entry = gCatalogFiles.Item(CatalogListModel::indexFromKey(model_.row(r).key));
        if (!entry) return;  // a row without its entry: nothing known to copy
        const qint64 id = model_.cell(r, col::kId).trimmed().toLongLong();
        const QString oldStatus = entry->acLastStatus();
        const bool selected = model_.isRowSelected(r);

        QString status = oldStatus;
        if (oldStatus.left(5) == kNotSavedPrefix) {
            status = oldStatus.mid(runtext::kNotSaved.size());
        } else if (selected && (oldStatus.trimmed().isEmpty() ||
                                oldStatus.startsWith(QLatin1String("gesichert")))) {
            status = runtext::savedStatus();
        }

        if (!selected || model_.cellColor(r, col::kSource) == listcolor::kRed) {
            const bool prefix = selected && !status.isEmpty();
            model_.setCell(r, col::kStatus, prefix ? runtext::kNotSaved + status : status);
            return;
        }

        observer_.scrollToRow(r);
        const QString folder = entry->acTagetPath();
        if (!gCreatePath(folder)) {
            model_.setCell(r, col::kStatus, runtext::kPathFailed);
            model_.setCellColor(r, col::kFolder, listcolor::kGreen);
            model_.setCellColor(r, col::kStatus, listcolor::kGreen);
            return;
        }
        model_.setCellColor(r, col::kFolder, listcolor::kBlack);
        model_.setCellColor(r, col::kStatus, listcolor::kBlack);
        model_.setCell(r, col::kStatus, runtext::kPathCreated);
        status = runtext::savedStatus();
        model_.setCell(r, col::kStatus, gCancel ? runtext::kSkipped : runtext::kCopying);

        observer_.setStatusLine(summary_ + QString(5, QLatin1Char(' ')) +
                                QStringLiteral("aktuell: '") + model_.cell(r, col::kSource) +
                                QLatin1Char('\''));

        const QString source = entry->acSourceFile();
        if (!gFileExists(source)) return;
        const QString target = folder + QLatin1Char('/') + fileNameOf(source);
        if (gCancel) return;

        observer_.enableCancelButton();
        if (cleanedFolders_.insert(folder).second) removeLeftoverTemps(folder);
        observer_.showRowProgress(r);
        letEventsRun();
        if (gShowStatus) observer_.showStatusWindow(fileNameOf(source));

        const bool copied = gCopy(source, target, observer_);
        written_.add(folder);

        observer_.hideRowProgress();
        letEventsRun();
        --gSelCount;

        if (!copied) {
            // The older copy (if any) is untouched and the record keeps what it said.
            model_.setCell(r, col::kStatus, runtext::kCopyFailed);
            model_.setCellColor(r, col::kStatus, listcolor::kRed);
            letEventsRun();
            if (gShowStatus) observer_.closeStatusWindow();
            return;
        }

        if (gCopyAttributes) {
            Err.Clear();
            unsigned mode = 0;
            if (fs::permissions(source, mode)) fs::setPermissions(target, mode);
            gRecordError(kRunModul, QStringLiteral("SetAttr ") + target + QStringLiteral(" , ") +
                                        mAttrLetters(entry->iSourceFileAttr()));
        }

        model_.setCell(r, col::kStatus, status);
        model_.setCellColor(r, col::kStatus, listcolor::kGreen);
        model_.setCell(r, col::kCopyAttr, mGetAttr(target));
        model_.setCellColor(r, col::kCopyAttr, listcolor::kBlack);
        letEventsRun();

        QString computerstatus;
        if (updateRecord(rset_, id, source, *entry, status, computerstatus)) {
            model_.setCell(r, col::kHostStatus, computerstatus);
            model_.setCellColor(r, col::kHostStatus, listcolor::kBlack);
        }
        stampHostColumn(model_, r);

        if (gShowStatus) observer_.closeStatusWindow();
    }

    void end() {
        // The catalog's records are flushed with the copies they describe.
        if (gDB.Access) written_.add(QFileInfo(gDB.Access->name()).absolutePath());
        written_.flush();
        const bool cancelled = gCancel;

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
    std::set<QString> cleanedFolders_;
    WrittenFileSystems written_;
};

}  // namespace

void runBackup(CatalogListModel& model, Recordset* rset_Record, RunObserver& observer) {
    BackupRun(model, rset_Record, observer).run();
}

}  // namespace bravel
