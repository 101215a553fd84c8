#include "catalog/CatalogController.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <unordered_map>

#include "base/AppValues.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/BackupAge.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogState.h"
#include "errors/COLError.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"
#include "settings/SettingKeys.h"
#include "settings/SetupValues.h"

namespace bravel {

bool gListHasFocus = false;

namespace {

const QString kQuery = QStringLiteral("SELECT FILES.* FROM FILES");
const QString kCatalogFilter = QStringLiteral("Bravel-Kataloge (*.bvk)|*.bvk");
const QString kNotAvailable = QStringLiteral("n/a");

QString fieldText(Recordset* rset, const QString& name) {
    return gReadFieldValue(rset, name, QString()).toString();
}

// Sizes are text and sort as text, so they are right-aligned to 20 characters.
QString rightAligned20(const QString& text) {
    if (text.size() >= 20) return text.right(20);
    QString aligned(20, QLatin1Char(' '));
    std::copy(text.cbegin(), text.cend(), aligned.begin() + (20 - text.size()));
    return aligned;
}

// "12 Einträge"; a catalog that cannot be written says so here, where it is seen at once.
QString recordCountText(int count, bool readOnly) {
    QString text;
    if (count > 0)
        text = QString::number(count) +
               (count == 1 ? QStringLiteral(" Eintrag") : QStringLiteral(" Einträge"));
    if (readOnly)
        text += text.isEmpty() ? QStringLiteral("schreibgeschützt")
                               : QStringLiteral(" (schreibgeschützt)");
    return text;
}

// A name without an extension gets ".bvk", so that the Open dialog's filter shows the catalog.
QString withCatalogExtension(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".bvk") : path;
}

}  // namespace

QVariant gReadFieldValue(Recordset* rset, const QString& name, const QVariant& defaultValue) {
    Err.Clear();
    QVariant result = defaultValue;
    if (rset && !rset->EOF_() && !rset->BOF()) {
        QVariant value;
        if (rset->Field(name, value) && !value.isNull()) result = value;
    } else if (!rset) {
        Err.Raise(errnum::kObjectVariableNotSet);
    }
    if (!gErrorPending()) return result;  // the record's texts are built only when there is one
    gRecordError(QStringLiteral("var_gReadFieldValue"),
                 QStringLiteral("rset_rset.Fields(") + name + QStringLiteral(").Value"));
    return defaultValue;
}

CatalogController::CatalogController(MainView& view, QObject* parent)
    : QObject(parent), view_(view) {
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer2_.setObjectName(QStringLiteral("Timer2"));
    timer2_.setInterval(100);
    connect(&timer1_, &QTimer::timeout, this, &CatalogController::timer1Tick);
    connect(&timer2_, &QTimer::timeout, this, &CatalogController::timer2Tick);
}

CatalogController::~CatalogController() = default;

QString CatalogController::messageCaption() const {
    return gProductName;
}

void CatalogController::createColumns(const std::array<double, 7>& widthsTwips) {
    static const char* const headers[] = {"Eingangsdatei", "Sicherungspfad", "KByte", "Geändert",
                                          "Status",        "OAttr",          "ZAttr"};
    static const char* const icons[] = {"field",  "table",  "prop",  "clock",
                                        "status", "status", "status"};
    std::vector<ListColumn> columns;
    for (int c = 0; c < 7; ++c)
        columns.push_back({QString::fromUtf8(headers[c]), widthsTwips[static_cast<size_t>(c)],
                           QString::fromLatin1(icons[c])});
    columns[col::kSize].sortAs = SortAs::Plain;  // right-aligned, so the text order is the numbers'
    columns[col::kChanged].sortAs = SortAs::Date;
    columns.push_back({QString(), 0, QString()});
    columns.push_back({QStringLiteral("Host und Datum;"), 0, QString()});
    model_.setColumns(std::move(columns));
}

// ---- timers -------------------------------------------------------------------------------

void CatalogController::mSetTimers(bool secondTimerOn, int intervalMs) {
    timer1_.setInterval(std::max(1, intervalMs));
    if (autoUpdate_)
        timer1_.start();
    else
        timer1_.stop();
    if (secondTimerOn)
        timer2_.start();
    else
        timer2_.stop();
}

void CatalogController::stopTimers() {
    timer1_.stop();
    timer2_.stop();
}

void CatalogController::restoreTimers() {
    mSetTimers(true, timer1_.interval());
}

void CatalogController::setAutoUpdate(bool on, int intervalMs) {
    autoUpdate_ = on;
    autoUpdateInterval_ = intervalMs;
    timer1_.setInterval(std::max(1, intervalMs));
}

void CatalogController::timer1Tick() {
    // While a command or a run works on the recordset, a refresh must not replace it.
    if (!gDBOpen || !gIdle) return;
    // A message box runs its own event loop; no second tick may stack another one on it.
    timer1_.stop();
    Err.Clear();
    reopenRecordset();
    if (!rset_) {
        // Shown once per failure streak, not every interval.
        if (!tableMessageShown_)
            showMessage(QStringLiteral("Tabelle konnte nicht geöffnet werden!"), messageCaption(),
                        MsgIcon::Information);
        tableMessageShown_ = true;
    } else {
        tableMessageShown_ = false;
        if (!(rset_->EOF_() && rset_->BOF())) {
            rset_->MoveLast();
            if (rset_->RecordCount() != gCatalogFiles.Count()) mFillListBox();
        }
    }
    Err.Clear();
    mEnableControls();
    if (autoUpdate_ && gIdle) timer1_.start();
}

void CatalogController::timer2Tick() {
    if (!gListHasFocus) view_.closeToolTip();
    mUpdateSelectionSummary();
    singleSelText_.clear();
    if (gSelCount == 1) {
        hasSelection_ = true;
        const std::vector<int> rows = model_.selectedRows();
        if (!rows.empty()) singleSelText_ = model_.cell(rows.front(), col::kSource);
    } else {
        hasSelection_ = gSelCount >= 2;
    }
    mEnableControls();
}

// ---- opening and creating ------------------------------------------------------------------

void CatalogController::reopenRecordset() {
    if (rset_) rset_->Close();
    rset_.reset();
    if (gDB.Access) rset_ = gDB.Access->OpenRecordset(kQuery);
}

void CatalogController::dropCatalog() {
    oldBackupCount_ = 0;
    if (rset_) rset_->Close();
    rset_.reset();
    gDBOpen = false;
    gDB.Access.reset();
}

void CatalogController::closeCatalog() {
    if (!gDBOpen) return;
    oldBackupCount_ = 0;
    if (rset_) rset_->Close();
    rset_.reset();
    if (gDB.Access) gDB.Access->Close();
    gDB.Access.reset();
    gDBOpen = false;
}

bool CatalogController::mOpenDB(const QString& path) {
    Err.Clear();
    bool closeFailed = false;
    if (gDBOpen && gDB.Access && !gDB.Access->Close()) {
        closeFailed = true;
        showMessage(QStringLiteral("Datenbank konnte nicht geschlossen werden!"), messageCaption());
    }
    if (!closeFailed) {
        gDBOpen = false;
        if (rset_) rset_->Close();
        rset_.reset();
        gDB.Access = CatalogDatabase::open(path);
        if (!gDB.Access) {
            // An SQLite file without the catalog's table is refused before anything is written.
            const bool noCatalogTable =
                Err.Number == errnum::kDbTableNotFound || Err.Number == errnum::kDbFieldNotFound;
            showMessage(noCatalogTable ? QStringLiteral("Tabelle konnte nicht geöffnet werden!")
                                       : QStringLiteral("Datenbank konnte nicht geöffnet werden!"),
                        messageCaption(), MsgIcon::Information);
            gRecordError(QStringLiteral("b_mOpenDB"), path, ErrorTest::NonZero);
        } else {
            gDBOpen = true;
            reopenRecordset();
            if (!rset_) {
                showMessage(QStringLiteral("Tabelle konnte nicht geöffnet werden!"),
                            messageCaption(), MsgIcon::Information);
                gRecordError(QStringLiteral("b_mOpenDB"), path, ErrorTest::NonZero);
            }
        }
    }
    if (!closeFailed) {
        if (gDBOpen) {
            mFillListBox();
            emit catalogOpened();
        }
    } else {
        dropCatalog();
        model_.clearRows();
        gCatalogFiles.Clear();
    }
    Err.Clear();
    return true;
}

void CatalogController::but_DB_Click() {
    stopTimers();
    gIdle = false;
    mEnableControls();
    gBusyOn();
    QCoreApplication::processEvents();

    FileDialogRequest request;
    request.filter = kCatalogFilter;
    const std::optional<QStringList> chosen = dialogs().openFiles(request);
    if (chosen && !chosen->isEmpty()) {
        mOpenDB(chosen->first());
        mUpdateRecentList();
    } else {
        Err.Raise(errnum::kDialogCancelled);
        showMessage(QStringLiteral("Datenbank konnte nicht geöffnet werden!"), messageCaption());
        gRecordError(QStringLiteral("but_DB"), QString(), ErrorTest::NonZero);
    }
    Err.Clear();
    gIdle = true;
    mEnableControls();
    gBusyOff();
    restoreTimers();
}

void CatalogController::but_DBNew_Click() {
    gBusyOn();
    gIdle = false;
    stopTimers();
    mEnableControls();

    FileDialogRequest request;
    request.filter = kCatalogFilter;
    const std::optional<QString> chosen = dialogs().saveFile(request);
    if (chosen) {
        const QString path = withCatalogExtension(*chosen);
        const QString modul = QStringLiteral("but_DBNew");
        Err.Clear();
        if (gDBOpen && gDB.Access && !gDB.Access->Close()) {
            showMessage(QStringLiteral("Datenbank konnte nicht geschlossen werden!"),
                        messageCaption());
            gRecordError(modul, QStringLiteral("gDB.Access.Close"), ErrorTest::NonZero);
        } else {
            gDBOpen = false;
            if (rset_) rset_->Close();
            rset_.reset();
            gDB.Access = CatalogDatabase::create(path);
            if (!gDB.Access) {
                showMessage(QStringLiteral("Datenbank konnte nicht angelegt werden!"),
                            messageCaption());
                gRecordError(modul,
                             QStringLiteral(
                                 "Set gDB.Access = DBEngine.Workspaces(0).CreateDatabase(Trim$(") +
                                 path + QStringLiteral("), dbLangGeneral)"),
                             ErrorTest::NonZero);
            } else {
                gDBOpen = true;
                reopenRecordset();
                model_.clearRows();
                gCatalogFiles.Clear();
                if (!rset_) {
                    showMessage(QStringLiteral("Tabelle konnte nicht geöffnet werden!"),
                                messageCaption());
                    gRecordError(
                        modul,
                        QStringLiteral("Set rset_Record = gDB.Access.OpenRecordset(\"SELECT "
                                       "FILES.* FROM FILES\")"),
                        ErrorTest::NonZero);
                }
                mUpdateRecentList();
                mFillListBox();
                emit catalogOpened();
            }
        }
    }
    gBusyOff();
    Err.Clear();
    gIdle = true;
    mEnableControls();
    restoreTimers();
}

// ---- the recent list -----------------------------------------------------------------------

void CatalogController::mUpdateRecentList() {
    const std::array<QString, 9> working = gRecentCatalogs;
    const QString first = gDBOpen && gDB.Access ? gDB.Access->name() : QString();
    gRecentCatalogs[0] = first;
    size_t from = 0;
    for (size_t i = 1; i < 9; ++i) {
        if (from < 9 && working[from] == first) ++from;  // the new first entry is not repeated
        gRecentCatalogs[i] = from < 9 ? working[from++] : QString();
    }
    std::array<QString, 9> captions;
    for (size_t i = 0; i < 9; ++i) {
        QString& entry = gRecentCatalogs[i];
        if (entry.isEmpty()) continue;
        if (!fs::exists(entry)) {
            entry.clear();
            continue;
        }
        captions[i] = QStringLiteral("&%1. ").arg(i + 1) + entry;
    }
    view_.showRecentEntries(captions);
}

void CatalogController::recentEntryClicked(int slot) {
    if (slot < 1 || slot > 9) return;
    gBusyOn();
    const QString path = gRecentCatalogs[static_cast<size_t>(slot - 1)];
    const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (!path.isEmpty() && fs::exists(path)) {
        mOpenDB(path);
    } else {
        const MsgResult answer = dialogs().messageBox(
            QStringLiteral("Der Katalog ") + path + QStringLiteral(" existiert nicht mehr.") +
                gCrLf + gCrLf + QStringLiteral("Soll der Eintrag gelöscht werden?"),
            caption, MsgIcon::Information, MsgButtons::YesNo);
        if (answer == MsgResult::Yes) {
            const bool written = writeSetting(keys::recentWriteKey(slot), QString());
            gRecentCatalogs[static_cast<size_t>(slot - 1)].clear();
            if (written) {
                dialogs().messageBox(QStringLiteral("Eintrag ") + path +
                                         QStringLiteral(" aus Registrierung gelöscht."),
                                     caption, MsgIcon::Information, MsgButtons::YesNo);
                mUpdateRecentList();
            }
        }
    }
    Err.Clear();
    gBusyOff();
}

// ---- the list fill -------------------------------------------------------------------------

std::vector<HostStamp> parseComputerstatus(const QString& text) {
    const QStringList pieces = text.trimmed().split(QLatin1Char(';'));
    std::vector<HostStamp> stamps;
    for (int i = 0; i + 1 < pieces.size(); ++i) {
        const QString& piece = pieces[i];
        if (piece.size() <= 8) continue;
        const QString date = piece.right(8);
        if (!std::all_of(date.cbegin(), date.cend(),
                         [](QChar c) { return c >= u'0' && c <= u'9'; }))
            continue;
        stamps.push_back({piece.chopped(8), date});
    }
    return stamps;
}

void CatalogController::fillHostColumns(ListRow& row, const QString& hostStatus) {
    if (!lastHostCells_ || lastHostCells_->hostStatus != hostStatus) {
        HostCells cells;
        cells.hostStatus = hostStatus;
        for (const HostStamp& stamp : parseComputerstatus(hostStatus)) {
            const int column = model_.hostColumn(stamp.host);
            cells.columnDates.emplace_back(column, stamp.date);
            if (stamp.host == gHostName && cells.ownColumn < 0) {
                cells.ownColumn = column;
                cells.ownDate = stamp.date;
            }
        }
        lastHostCells_ = std::move(cells);
    }
    for (const auto& [column, date] : lastHostCells_->columnDates) {
        if (static_cast<int>(row.cells.size()) <= column) {
            row.cells.resize(static_cast<size_t>(column) + 1);
            row.colors.resize(static_cast<size_t>(column) + 1, listcolor::kBlack);
        }
        row.cells[static_cast<size_t>(column)] = date;
    }
}

void CatalogController::markOldBackup(ListRow& row) const {
    if (!oldBackupDays_ || lastHostCells_->ownColumn < 0)
        return;  // a date never written shows no colour
    if (backupAge(lastHostCells_->ownDate, fillDay_, *oldBackupDays_) == BackupAge::Recent) return;
    row.colors[static_cast<size_t>(lastHostCells_->ownColumn)] = listcolor::kRed;
}

int CatalogController::ownHostColumn() const {
    if (gHostName.isEmpty()) return -1;
    const std::vector<ListColumn>& columns = model_.columns();
    for (size_t c = col::kFixedColumns; c < columns.size(); ++c)
        if (columns[c].header == gHostName) return static_cast<int>(c);
    return -1;
}

QString CatalogController::ownBackupDate(int row) const {
    const int column = ownHostColumn();
    return column < 0 ? QString() : model_.cell(row, column);
}

void CatalogController::countOldBackups() {
    oldBackupCount_ = 0;
    if (!oldBackupDays_) return;
    const QDate today = now().date();
    for (int r = 0; r < model_.rowCount(); ++r)
        if (backupAge(ownBackupDate(r), today, *oldBackupDays_) != BackupAge::Recent)
            ++oldBackupCount_;
}

QString CatalogController::oldBackupNotice(int row) const {
    if (!oldBackupDays_ || row < 0 || row >= model_.rowCount()) return {};
    return backupAgeNotice(backupAge(ownBackupDate(row), now().date(), *oldBackupDays_),
                           *oldBackupDays_);
}

ListRow CatalogController::buildRow(int n, qint64 id, bool sourceFound, bool folderFound,
                                    const QString& hostStatus) {
    const std::shared_ptr<FileProperties> entry = gCatalogFiles.Item(n);
    ListRow row;
    row.key = QString::number(n) + QLatin1Char('a');
    row.recordId = id;
    row.cells.resize(static_cast<size_t>(model_.columnCount()));
    row.colors.assign(row.cells.size(), sourceFound ? listcolor::kBlack : listcolor::kRed);
    auto setCell = [&row](int c, const QString& text) { row.cells[static_cast<size_t>(c)] = text; };
    auto setColor = [&row](int c, quint32 color) { row.colors[static_cast<size_t>(c)] = color; };

    setCell(col::kSource, entry->acSourceFile());
    setCell(col::kId, QString::number(id));
    setCell(col::kFolder, entry->acTagetPath());
    setColor(col::kFolder, folderFound ? listcolor::kBlack : listcolor::kRed);
    setCell(col::kSize, rightAligned20(sourceFound ? formatGrouped(entry->lSourceByte() / 1024.0)
                                                   : kNotAvailable));
    setCell(col::kChanged,
            sourceFound ? formatGeneralDate(entry->dteSourceDate(), true) : kNotAvailable);
    if (sourceFound) row.sortDate = entry->dteSourceDate();
    setCell(col::kStatus, entry->acLastStatus());
    setColor(col::kStatus, sourceFound && folderFound ? listcolor::kBlack : listcolor::kRed);
    setCell(col::kSourceAttr, sourceFound ? mAttrLetters(entry->iSourceFileAttr()) : kNotAvailable);
    fillHostColumns(row, hostStatus);
    markOldBackup(row);
    setCell(col::kHostStatus, hostStatus);
    return row;
}

std::vector<CatalogController::FillRecord> CatalogController::readFillRecords() {
    std::vector<FillRecord> records;
    rset_->MoveFirst();
    while (!rset_->EOF_()) {
        records.push_back(currentFillRecord());
        rset_->MoveNext();
    }
    return records;
}

CatalogController::FillRecord CatalogController::currentFillRecord() {
    return {gReadFieldValue(rset_.get(), QStringLiteral("ID"), 0).toLongLong(),
            fieldText(rset_.get(), QStringLiteral("Eingangsdatei")),
            fieldText(rset_.get(), QStringLiteral("Sicherungspfad")),
            fieldText(rset_.get(), QStringLiteral("Status")),
            fieldText(rset_.get(), QStringLiteral("Computerstatus"))};
}

ListRow CatalogController::fillRow(int n, const FillRecord& record,
                                   const std::optional<fs::FileState>& sourceState,
                                   std::unordered_map<QString, bool>& folderExists) {
    const std::shared_ptr<FileProperties> entry =
        gCatalogFiles.AddLooked(record.source, record.folder, sourceState);
    return rowOfEntry(n, record, *entry, folderExists);
}

ListRow CatalogController::rowOfEntry(int n, const FillRecord& record, FileProperties& entry,
                                      std::unordered_map<QString, bool>& folderExists) {
    // Only a source that was not found is asked again, for its record.
    const bool sourceFound = entry.sourceWasRead() || gFileExists(record.source);
    QString status;
    if (!sourceFound) status = QStringLiteral("[File not found]");
    auto known = folderExists.find(record.folder);
    if (known == folderExists.end())
        known = folderExists.emplace(record.folder, fs::isDirectory(record.folder)).first;
    const bool folderFound = known->second;
    if (!folderFound) {
        status = QStringLiteral("[Path not found]") + status;
        Err.Raise(errnum::kPathNotFound);
        gRecordError(QStringLiteral("v_mFillListBox"),
                     QStringLiteral("Dir$(") + record.folder + QLatin1Char(')'));
    }
    entry.setAcLastStatus(status + QLatin1Char(' ') + record.status);
    return buildRow(n, record.id, sourceFound, folderFound, record.hostStatus);
}

void CatalogController::refillRow(int row) {
    if (row < 0 || row >= model_.rowCount()) return;
    const int n = CatalogListModel::indexFromKey(model_.row(row).key);
    const std::shared_ptr<FileProperties> entry = gCatalogFiles.Item(n);
    if (!entry || !findRecordOfRow(row)) {
        Err.Clear();
        return;
    }
    const FillRecord record = currentFillRecord();
    entry->setAcSourceFile(record.source);
    entry->setAcTagetPath(record.folder);
    entry->readSourceState();
    Err.Clear();
    std::unordered_map<QString, bool> folderExists;
    model_.replaceRow(row, rowOfEntry(n, record, *entry, folderExists));
    Err.Clear();  // a missing folder was recorded as the fill records it
}

void CatalogController::mFillListBox() {
    stopTimers();
    gBusyOn();
    gCatalogFiles.Clear();
    model_.clearRows();  // before the columns go, so that no row is shortened first
    mRemoveHostColumns();
    lastHostCells_.reset();
    oldBackupDays_ = oldBackupWarningDays();
    fillDay_ = now().date();
    view_.showOverlay(QStringLiteral(" Katalog wird geladen..."), true);
    QCoreApplication::processEvents();
    view_.setListVisible(false);

    Err.Clear();
    reopenRecordset();
    std::vector<ListRow> rows;
    if (!rset_) {
        Err.Clear();
        showMessage(QStringLiteral("Tabelle konnte nicht geöffnet werden!"), messageCaption(),
                    MsgIcon::Information);
    } else if (!(rset_->EOF_() && rset_->BOF())) {
        const std::vector<FillRecord> records = readFillRecords();
        // All sources are looked at together, on several threads; the rows are built after.
        std::vector<QString> sources;
        sources.reserve(records.size());
        for (const FillRecord& record : records) sources.push_back(record.source);
        const std::vector<std::optional<fs::FileState>> states = fs::fileStates(sources);
        std::unordered_map<QString, bool> folderExists;  // each folder is asked for once per fill
        rows.reserve(records.size());
        for (size_t i = 0; i < records.size(); ++i)
            rows.push_back(fillRow(static_cast<int>(i) + 1, records[i], states[i], folderExists));
        Err.Clear();
    }
    model_.appendRows(std::move(rows));
    countOldBackups();
    model_.sortRows(model_.sortColumn(), model_.sortOrder());
    model_.selectAll(false);
    if (model_.rowCount() > 0) view_.scrollToRow(0);
    if (autoSizeColumns_) view_.autoSizeColumns();

    view_.setRecordCountText(recordCountText(gCatalogFiles.Count(), catalogReadOnly()));
    const int count = gCatalogFiles.Count();
    view_.setListVisible(true);
    if (count == 0)
        view_.showOverlay(QStringLiteral(" Keine Einträge im Katalog."), true);
    else
        view_.showOverlay(QString(), false);
    view_.setDetailTexts(QString(), QString());
    gBusyOff();
    restoreTimers();
}

void CatalogController::setSortFromSettings(int column, int order) {
    model_.sortRows(column, order == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

bool CatalogController::findRecordOfRow(int row) {
    if (!rset_ || (rset_->EOF_() && rset_->BOF())) return false;
    rset_->MoveFirst();
    return rset_->FindFirst(QStringLiteral("ID = ") + QString::number(model_.recordId(row))) &&
           !rset_->NoMatch();
}

// ---- selection -----------------------------------------------------------------------------

void CatalogController::mUpdateSelectionSummary() {
    gSelCount = 0;
    gSelTotal = 0;
    for (int r : model_.selectedRows()) {
        ++gSelCount;
        if (model_.cell(r, col::kSize).trimmed() == kNotAvailable) continue;
        const auto entry = gCatalogFiles.Item(CatalogListModel::indexFromKey(model_.row(r).key));
        if (entry) gSelTotal += static_cast<double>(entry->lSourceByte());
    }
    Err.Clear();
    QStringList parts;
    if (gSelCount > 0)
        parts << QStringLiteral("Anzahl selektierter Dateien: ") + QString::number(gSelCount) +
                     QStringLiteral(" - Gesamtgröße: ") + formatGrouped(gSelTotal / 1024.0) +
                     QStringLiteral(" KB") + QStringLiteral(" (") + formatGrouped(gSelTotal) +
                     QStringLiteral(" Byte)");
    if (oldBackupDays_ && oldBackupCount_ > 0)
        parts << oldBackupCountText(oldBackupCount_, *oldBackupDays_);
    view_.setSummaryText(parts.join(QStringLiteral(" - ")));
}

void CatalogController::mSelectAll(bool selected) {
    model_.selectAll(selected);
}

void CatalogController::gToggleListItem(int row) {
    if (row < 0 || row >= model_.rowCount()) return;
    model_.setRowTag(row, !model_.rowTag(row));
    // Every row takes its selected state from its tag.
    model_.selectRowsWhere([this](int r) { return model_.rowTag(r); });
}

void CatalogController::columnClicked(int column) {
    view_.closeToolTip();
    view_.setListVisible(false);
    const Qt::SortOrder order =
        model_.sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    model_.sortRows(column, order);
    view_.setListVisible(true);
}

void CatalogController::mRemoveHostColumns() {
    model_.removeColumnsFrom(col::kFixedColumns);
}

bool CatalogController::catalogReadOnly() const {
    return gDBOpen && gDB.Access && gDB.Access->isReadOnly();
}

void CatalogController::mEnableControls() {
    ControlStates states;
    states.idle = gIdle;
    states.catalogOpen = gDBOpen;
    states.hasSelection = hasSelection_;
    states.oneRowSelected = hasSelection_ && gSelCount == 1;
    states.allRowsSelected = model_.rowCount() > 0 && gSelCount == model_.rowCount();
    states.catalogReadOnly = catalogReadOnly();
    view_.applyControlStates(states);
}

}  // namespace bravel
