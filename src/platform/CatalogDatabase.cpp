#include "platform/CatalogDatabase.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QVector>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/CatalogErrors.h"
#include "platform/CatalogLocks.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"

namespace bravel {

class SqliteRecordset;

// The Qt Sql connection of one open catalog, shared by the database object and its recordsets.
class CatalogConnection {
  public:
    QString name;
    bool readOnly = false;
    bool open = false;
    bool inBatch = false;  // a write transaction stays open across record writes
    std::vector<SqliteRecordset*> recordsets;

    // Runs a statement compiled once and kept for the life of the connection: a run writes one
    // record per file, and compiling the same text again for each costs more than the write
    // itself. The kept statements go to the engine directly, past Qt Sql, which describes every
    // result's columns anew. values are bound in order; with row, the first row's values (null
    // fields as an invalid QVariant) and gotRow. Every use ends with the statement reset, so
    // none holds a snapshot or a lock in between. On failure Err is set.
    struct Outcome {
        bool gotRow = false;
        int changes = 0;    // rows written
        qint64 lastId = 0;  // the ID of the last record added
    };
    bool runKept(const QString& sql, const QVariantList& values, QVector<QVariant>* row,
                 Outcome& outcome);
    // Runs a kept statement that returns no rows (BEGIN, COMMIT, ROLLBACK).
    bool execKept(const QString& sql);
    // Ends the open write transaction and the batch, if any; keeps the error.
    void rollBack();
    void dropStatements() { statements_.clear(); }
    // The engine's handle under the Qt Sql connection, null when there is none.
    sqlite3* handle();

    // Ends the row streams of all recordsets: a statement left running would pin an old
    // snapshot, and a write transaction could then not start.
    void pauseStreams();
    void detachRecordsets();

  private:
    struct Finalize {
        void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
    };
    using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;
    sqlite3_stmt* statement(const QString& sql);
    bool bind(sqlite3_stmt* statement, const QVariantList& values);
    void raiseFromEngine();
    std::map<QString, Statement> statements_;
};

namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCantOpen = 14;
const char kSqliteHeader[16] = "SQLite format 3";  // with its terminating zero: 16 bytes
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString kDateField = QStringLiteral("Dateidatum");

const char* const kCreateTable =
    "CREATE TABLE FILES ("
    "ID INTEGER PRIMARY KEY AUTOINCREMENT, "
    "Eingangsdatei VARCHAR(255), "
    "Sicherungspfad VARCHAR(255), "
    "Dateigroesse INTEGER, "
    "Dateidatum TEXT, "
    "Status TEXT, "
    "Computerstatus TEXT, "
    "Bemerkung TEXT)";
const char* const kCreateIndex = "CREATE UNIQUE INDEX \"ID\" ON FILES (ID)";

QByteArray native(const QString& path) {
    return fs::encodeName(path);
}

QString newConnectionName() {
    static quint64 counter = 0;
    return QStringLiteral("bravel-catalog-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

// SQLite's URI form lets a read-write open refuse to create a missing file (mode=rw).
QString sqliteUri(const QString& path, bool readOnly, bool immutable) {
    // Percent-encoded bytes reach the file system as they are, also a name's bytes that are no
    // text.
    QString uri =
        QStringLiteral("file:") + QString::fromLatin1(native(path).toPercentEncoding("/"));
    uri += readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw");
    if (immutable) uri += QStringLiteral("&immutable=1");
    return uri;
}

bool openConnection(const QString& name, const QString& path, bool readOnly, bool immutable) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        if (!db.isValid()) {
            catalogerrors::raise(errnum::kDbGeneric,
                                 QStringLiteral("SQLite-Treiber QSQLITE fehlt"));
        } else {
            QString options =
                QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
            if (readOnly) options += QStringLiteral(";QSQLITE_OPEN_READONLY");
            db.setConnectOptions(options);
            db.setDatabaseName(sqliteUri(path, readOnly, immutable));
            if (db.open()) return true;
            catalogerrors::raise(db.lastError());
        }
    }
    QSqlDatabase::removeDatabase(name);
    return false;
}

// Closes and removes a connection; no query or database handle of it may be alive.
void dropConnection(const QString& name) {
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isValid()) db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool exec(const QString& connection, const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(connection, false));
    if (query.exec(sql)) return true;
    catalogerrors::raise(query.lastError());
    return false;
}

// Ends a failed write transaction, whether a statement or the COMMIT failed; keeps the error.
void rollBack(const QString& connection) {
    const PendingError failure = Err;
    exec(connection, QStringLiteral("ROLLBACK"));
    Err = failure;
}

// Runs SQL text inside BEGIN IMMEDIATE ... COMMIT; rolls back on failure.
bool runWriteTransaction(const QString& connection, const QStringList& statements) {
    if (!exec(connection, QStringLiteral("BEGIN IMMEDIATE"))) return false;
    bool ok = true;
    for (const QString& sql : statements) ok = ok && exec(connection, sql);
    if (ok && exec(connection, QStringLiteral("COMMIT"))) return true;
    rollBack(connection);
    return false;
}

bool switchToWal(const QString& connection) {
    QSqlQuery query(QSqlDatabase::database(connection, false));
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
        catalogerrors::raise(query.lastError());
        return false;
    }
    if (query.next() &&
        query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0) {
        // With a write-ahead log, NORMAL keeps the catalog consistent through any crash and
        // spares a disk flush per record; a backup run flushes the file systems at its end.
        query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        return true;
    }
    catalogerrors::raise(errnum::kDbCannotOpen, QStringLiteral("WAL-Journal nicht verfügbar"));
    return false;
}

bool hasWriteBit(const struct stat& st) {
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// A catalog is written only where both the file and its folder may be written: SQLite puts its
// -wal and -shm files beside the catalog. Missing write bits count even for root, who could
// write anyway; the read-only attribute is the user's wish.
bool placeIsWritable(const QString& path) {
    const QByteArray file = native(path);
    const QByteArray folder = native(fs::folderOf(fs::absolutePath(path)));
    struct stat fileStat, folderStat;
    if (::stat(file.constData(), &fileStat) != 0 || ::stat(folder.constData(), &folderStat) != 0)
        return false;
    return hasWriteBit(fileStat) && hasWriteBit(folderStat) &&
           ::access(file.constData(), W_OK) == 0 && ::access(folder.constData(), W_OK) == 0;
}

void raiseForErrno(int error, const QString& path) {
    switch (error) {
        case ENOENT:
            catalogerrors::raise(errnum::kDbFileNotFound, path);
            break;
        case EACCES:
        case EPERM:
            catalogerrors::raise(errnum::kDbNoPermission, path);
            break;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            catalogerrors::raise(errnum::kDbCannotOpen, path);
            break;
        default:
            catalogerrors::raise(
                errnum::kDbIoError,
                path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)));
    }
}

// Looks at a file without writing to it: a readable regular file that starts with SQLite's
// header. Reads the header through a plain descriptor so that nothing else is touched.
bool checkCatalogHeader(const QString& path) {
    const QByteArray file = native(path);
    struct stat st;
    if (::stat(file.constData(), &st) != 0) {
        raiseForErrno(errno, path);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        catalogerrors::raise(errnum::kDbCannotOpen, path + QStringLiteral(" ist ein Ordner"));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        catalogerrors::raise(errnum::kDbCannotOpen,
                             path + QStringLiteral(" ist keine gewöhnliche Datei"));
        return false;
    }
    const int fd = ::open(file.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        raiseForErrno(errno, path);
        return false;
    }
    char header[sizeof kSqliteHeader] = {};
    ssize_t got = 0;
    int readError = 0;
    while (got < static_cast<ssize_t>(sizeof header)) {
        const ssize_t n = ::read(fd, header + got, sizeof header - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) readError = errno;
        if (n <= 0) break;
        got += n;
    }
    ::close(fd);
    if (readError) {
        raiseForErrno(readError, path);
        return false;
    }
    if (got == 0) {
        catalogerrors::raise(errnum::kDbNotADatabase,
                             path + QStringLiteral(": die Datei ist leer"));
        return false;
    }
    if (got < static_cast<ssize_t>(sizeof header) ||
        std::memcmp(header, kSqliteHeader, sizeof header) != 0) {
        catalogerrors::raise(errnum::kDbNotADatabase,
                             path + QStringLiteral(": keine SQLite-Datenbank"));
        return false;
    }
    return true;
}

// The fields the program reads and writes; another program's table "files" lacks them.
const char* const kCatalogFields[] = {
    "ID",         "Eingangsdatei", "Sicherungspfad", "Dateigroesse",
    "Dateidatum", "Status",        "Computerstatus"};

// Asks a read-only connection whether table FILES has the catalog's fields; returns the SQLite
// code of a failure.
int checkCatalogFields(const QString& connection, const QString& path) {
    QSqlQuery query(QSqlDatabase::database(connection, false));
    if (!query.exec(QStringLiteral("SELECT name FROM pragma_table_info('FILES')"))) {
        const QSqlError error = query.lastError();
        catalogerrors::raise(error);
        return catalogerrors::sqliteCode(error) ? catalogerrors::sqliteCode(error) : 1;
    }
    QStringList present;
    while (query.next()) present << query.value(0).toString();
    for (const char* field : kCatalogFields) {
        if (present.contains(QLatin1String(field), Qt::CaseInsensitive)) continue;
        catalogerrors::raise(
            errnum::kDbFieldNotFound,
            path + QStringLiteral(": Tabelle FILES ohne Feld ") + QLatin1String(field));
        return 1;
    }
    return 0;
}

// Asks a read-only connection whether table FILES exists with the catalog's fields; returns the
// SQLite code of a failure.
int checkFilesTable(const QString& connection, const QString& path) {
    QSqlQuery query(QSqlDatabase::database(connection, false));
    if (!query.exec(
            QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'FILES' "
                           "COLLATE NOCASE"))) {
        const QSqlError error = query.lastError();
        catalogerrors::raise(error);
        return catalogerrors::sqliteCode(error) ? catalogerrors::sqliteCode(error) : 1;
    }
    if (!query.next()) {
        catalogerrors::raise(errnum::kDbTableNotFound, path);
        return 1;
    }
    return checkCatalogFields(connection, path);
}

// Reading an SQLite file in WAL mode makes SQLite put -wal and -shm files beside it, also when
// the file then turns out to be no catalog. Files that were not there before and hold no log
// are ours alone (a program that has the file open keeps them) and go again.
struct SideFiles {
    bool wal = false;
    bool shm = false;

    // Looked at with stat alone: the pending error belongs to the caller.
    static bool there(const QString& path, off_t& size) {
        struct stat st;
        if (::stat(native(path).constData(), &st) != 0) return false;
        size = st.st_size;
        return true;
    }
    static SideFiles of(const QString& path) {
        off_t size = 0;
        return {there(path + QStringLiteral("-wal"), size),
                there(path + QStringLiteral("-shm"), size)};
    }
    void removeNewEmptyOnes(const QString& path) const {
        const QString walFile = path + QStringLiteral("-wal");
        off_t walBytes = 0;
        if (wal || (there(walFile, walBytes) && walBytes != 0)) return;
        ::unlink(native(walFile).constData());
        if (!shm) ::unlink(native(path + QStringLiteral("-shm")).constData());
    }
};

// Opens the read-only connection `name` and checks the table. A WAL catalog in a folder that
// cannot take the -shm file can only be read as immutable (SQLite then reports it cannot open
// the file or cannot write it).
bool openCheckedReadOnly(const QString& name, const QString& path) {
    for (bool immutable : {false, true}) {
        if (!openConnection(name, path, true, immutable)) return false;
        const int code = checkFilesTable(name, path);
        if (code == 0) return true;
        dropConnection(name);
        if ((code & 0xff) != kSqliteCantOpen && (code & 0xff) != kSqliteReadOnly) return false;
    }
    return false;
}

bool refusesWriting(int number) {
    return number == errnum::kDbReadOnly || number == errnum::kDbCannotOpen ||
           number == errnum::kDbNoPermission;
}

QString quoted(const QString& identifier) {
    QString text = identifier;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// "ID = <number>": blanks anywhere between the parts, the field name in any case, a decimal
// number with an optional sign and nothing after it.
std::optional<qint64> parseIdCriteria(const QString& criteria) {
    QStringView text = QStringView(criteria).trimmed();
    if (!text.startsWith(u"ID", Qt::CaseInsensitive)) return std::nullopt;
    text = text.mid(2).trimmed();
    if (!text.startsWith(u'=')) return std::nullopt;
    text = text.mid(1).trimmed();
    const qsizetype firstDigit = (text.startsWith(u'-') || text.startsWith(u'+')) ? 1 : 0;
    if (text.size() <= firstDigit) return std::nullopt;
    for (qsizetype i = firstDigit; i < text.size(); ++i)
        if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    bool ok = false;
    const qint64 id = text.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return id;
}

// The recordset's SQL as a sub-query: one statement, no trailing semicolon.
std::optional<QString> subQuery(const QString& sql) {
    QString text = sql.trimmed();
    while (text.endsWith(QLatin1Char(';'))) text = text.chopped(1).trimmed();
    if (text.isEmpty() || text.contains(QLatin1Char(';')) ||
        !text.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive))
        return std::nullopt;
    return QStringLiteral("(") + text + QStringLiteral(")");
}

}  // namespace

// ---- recordset -------------------------------------------------------------------------------

// Position: the current record is known by its ID; its values are kept here, or while walking in
// the running statement's row. Walking forward runs one forward-only statement ("ID greater than
// the current one, by ID") whose rows are taken one by one; any other move, find or write ends
// that stream, and the next MoveNext starts a new one after the current ID.
class SqliteRecordset final : public Recordset {
  public:
    static std::unique_ptr<Recordset> open(const std::shared_ptr<CatalogConnection>& link,
                                           const QString& sql);
    ~SqliteRecordset() override { Close(); }

    void MoveFirst() override;
    void MoveNext() override;
    void MoveLast() override;
    bool EOF_() const override { return eof_; }
    bool BOF() const override { return bof_; }
    bool FindFirst(const QString& criteria) override;
    bool NoMatch() const override { return noMatch_; }
    bool Field(const QString& name, QVariant& value) const override;
    bool SetField(const QString& name, const QVariant& value) override;
    bool Edit() override;
    bool AddNew() override;
    bool Update() override;
    bool Delete() override;
    qint64 RecordCount() const override;
    void Close() override;

    void pauseStream() { endStream(); }
    void detach();

  private:
    enum class EditMode { None, Edit, AddNew };

    // MoveFirst that tells whether it worked.
    bool moveFirst();
    bool startStreamAfterCurrent();

    SqliteRecordset(std::shared_ptr<CatalogConnection> link, QString source, QStringList fields,
                    int idColumn)
        : link_(std::move(link)),
          source_(std::move(source)),
          fields_(std::move(fields)),
          idColumn_(idColumn) {
        dateColumn_ = fieldIndex(kDateField);
    }

    bool usable() const;
    QSqlDatabase db() const { return QSqlDatabase::database(link_->name, false); }
    int fieldIndex(const QString& name) const;
    // Runs a one-row select over the recordset; true with `found` telling whether a row came.
    bool selectOne(const QString& tail, const QVariantList& values, bool& found);
    void takeRow(const QSqlQuery& query);
    void takeValues(QVector<QVariant>&& values);
    // While walking, the current record's values stay in the stream's row until they are read
    // or the stream ends; ending it keeps them.
    void takeStreamRow();
    void endStream();
    QVariant currentValue(int i) const;
    void setNoRecords() {
        hasCurrent_ = deleted_ = false;
        eof_ = bof_ = true;
    }
    bool fail(int number) const {
        Err.Raise(number);
        return false;
    }
    QString writeSql();
    bool writeStatement(const QString& sql, const QVariantList& values, qint64* newId,
                        int* rowsAffected);

    std::shared_ptr<CatalogConnection> link_;
    QString source_;
    QStringList fields_;
    int idColumn_ = 0;
    std::optional<QSqlQuery> stream_;
    bool rowInStream_ = false;
    int dateColumn_ = -1;
    bool closed_ = false;
    bool hasCurrent_ = false;
    bool deleted_ = false;
    bool eof_ = true;
    bool bof_ = true;
    bool noMatch_ = false;
    qint64 currentId_ = 0;
    QVector<QVariant> values_;
    EditMode mode_ = EditMode::None;
    QVector<QVariant> buffer_;
    QVector<bool> dirty_;
    // The last INSERT or UPDATE text, for these dirty fields in this mode.
    QString writeSql_;
    QVector<bool> writeSqlFor_;
    EditMode writeSqlMode_ = EditMode::None;
};

std::unique_ptr<Recordset> SqliteRecordset::open(const std::shared_ptr<CatalogConnection>& link,
                                                 const QString& sql) {
    const std::optional<QString> source = subQuery(sql);
    if (!source) {
        catalogerrors::raise(errnum::kDbSyntax, sql);
        return nullptr;
    }
    QStringList fields;
    {
        QSqlQuery probe(QSqlDatabase::database(link->name, false));
        if (!probe.exec(QStringLiteral("SELECT * FROM ") + *source + QStringLiteral(" WHERE 0"))) {
            catalogerrors::raise(probe.lastError());
            return nullptr;
        }
        const QSqlRecord record = probe.record();
        for (int i = 0; i < record.count(); ++i) fields << record.fieldName(i);
    }
    const auto id = std::find_if(fields.cbegin(), fields.cend(), [](const QString& f) {
        return f.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0;
    });
    if (id == fields.cend()) {
        catalogerrors::raise(errnum::kDbFieldNotFound, QStringLiteral("ID"));
        return nullptr;
    }
    const int idColumn = static_cast<int>(id - fields.cbegin());
    std::unique_ptr<SqliteRecordset> rs(new SqliteRecordset(link, *source, fields, idColumn));
    link->recordsets.push_back(rs.get());
    if (!rs->moveFirst()) return nullptr;
    return rs;
}

bool SqliteRecordset::usable() const {
    if (!closed_ && link_ && link_->open) return true;
    return fail(errnum::kDbObjectClosed);
}

int SqliteRecordset::fieldIndex(const QString& name) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i] == name) return i;
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void SqliteRecordset::takeRow(const QSqlQuery& query) {
    QVector<QVariant> values(fields_.size());
    for (int i = 0; i < fields_.size(); ++i) {
        const QVariant v = query.value(i);
        if (!v.isNull()) values[i] = v;
    }
    takeValues(std::move(values));
}

void SqliteRecordset::takeValues(QVector<QVariant>&& values) {
    values_ = std::move(values);
    values_.resize(fields_.size());
    currentId_ = values_[idColumn_].toLongLong();
    rowInStream_ = false;
    hasCurrent_ = true;
    deleted_ = false;
    eof_ = bof_ = false;
}

void SqliteRecordset::takeStreamRow() {
    currentId_ = stream_->value(idColumn_).toLongLong();
    rowInStream_ = true;
    hasCurrent_ = true;
    deleted_ = false;
    eof_ = bof_ = false;
}

void SqliteRecordset::endStream() {
    if (rowInStream_ && stream_) takeRow(*stream_);
    rowInStream_ = false;
    stream_.reset();
}

QVariant SqliteRecordset::currentValue(int i) const {
    if (!rowInStream_) return values_[i];
    const QVariant v = stream_->value(i);
    return v.isNull() ? QVariant() : v;
}

bool SqliteRecordset::selectOne(const QString& tail, const QVariantList& values, bool& found) {
    QVector<QVariant> row;
    CatalogConnection::Outcome outcome;
    found = false;
    if (!link_->runKept(QStringLiteral("SELECT * FROM ") + source_ + tail, values, &row, outcome))
        return false;
    found = outcome.gotRow;
    if (found) takeValues(std::move(row));
    return true;
}

void SqliteRecordset::MoveFirst() {
    moveFirst();
}

bool SqliteRecordset::moveFirst() {
    if (!usable()) return false;
    mode_ = EditMode::None;
    endStream();
    stream_.emplace(db());
    stream_->setForwardOnly(true);
    if (!stream_->exec(QStringLiteral("SELECT * FROM ") + source_ +
                       QStringLiteral(" ORDER BY ID"))) {
        catalogerrors::raise(stream_->lastError());
        stream_.reset();
        setNoRecords();
        return false;
    }
    if (stream_->next()) {
        takeStreamRow();
        return true;
    }
    const bool failed = stream_->lastError().isValid();
    if (failed) catalogerrors::raise(stream_->lastError());
    stream_.reset();
    setNoRecords();
    return !failed;
}

void SqliteRecordset::MoveNext() {
    if (!usable()) return;
    if (eof_ || (!hasCurrent_ && !deleted_)) {
        fail(errnum::kDbNoCurrentRecord);
        return;
    }
    mode_ = EditMode::None;
    // A running stream reads the catalog as it was when the stream started; at its end one
    // fresh query picks up records that other programs added since.
    const bool hadStream = stream_.has_value();
    if (hadStream && stream_->next()) {
        takeStreamRow();
        return;
    }
    if (hadStream) {
        // The stream has moved past the current row; its values are gone with it.
        rowInStream_ = false;
        if (stream_->lastError().isValid()) {
            catalogerrors::raise(stream_->lastError());
            stream_.reset();
            hasCurrent_ = false;
            return;
        }
        stream_.reset();
    }
    if (!startStreamAfterCurrent()) {
        hasCurrent_ = hasCurrent_ && !hadStream;
        return;
    }
    if (stream_->next()) {
        takeStreamRow();
        return;
    }
    if (stream_->lastError().isValid()) catalogerrors::raise(stream_->lastError());
    stream_.reset();
    hasCurrent_ = deleted_ = false;
    eof_ = true;
}

bool SqliteRecordset::startStreamAfterCurrent() {
    endStream();
    stream_.emplace(db());
    stream_->setForwardOnly(true);
    bool ok = stream_->prepare(QStringLiteral("SELECT * FROM ") + source_ +
                               QStringLiteral(" WHERE ID > ? ORDER BY ID"));
    stream_->addBindValue(currentId_);
    if (ok) ok = stream_->exec();
    if (ok) return true;
    catalogerrors::raise(stream_->lastError());
    stream_.reset();
    return false;
}

void SqliteRecordset::MoveLast() {
    if (!usable()) return;
    mode_ = EditMode::None;
    endStream();
    bool found = false;
    if (!selectOne(QStringLiteral(" ORDER BY ID DESC LIMIT 1"), {}, found) || !found)
        setNoRecords();
}

bool SqliteRecordset::FindFirst(const QString& criteria) {
    if (!usable()) return false;
    const std::optional<qint64> id = parseIdCriteria(criteria);
    if (!id) {
        catalogerrors::raise(errnum::kDbSyntax, criteria);
        return false;
    }
    mode_ = EditMode::None;
    endStream();
    bool found = false;
    if (!selectOne(QStringLiteral(" WHERE ID = ? LIMIT 1"), {*id}, found)) return false;
    noMatch_ = !found;
    return true;
}

bool SqliteRecordset::Field(const QString& name, QVariant& value) const {
    if (!usable()) return false;
    const int i = fieldIndex(name);
    if (i < 0) {
        catalogerrors::raise(errnum::kDbFieldNotFound, name);
        return false;
    }
    QVariant v;
    if (mode_ != EditMode::None) {
        v = buffer_[i];
    } else if (deleted_) {
        return fail(errnum::kDbRecordDeleted);
    } else if (!hasCurrent_) {
        return fail(errnum::kDbNoCurrentRecord);
    } else {
        v = currentValue(i);
    }
    if (i == dateColumn_ && v.typeId() == QMetaType::QString) {
        const QDateTime when = QDateTime::fromString(v.toString(), kDateFormat);
        if (when.isValid()) v = when;
    }
    value = v;
    return true;
}

bool SqliteRecordset::SetField(const QString& name, const QVariant& value) {
    if (!usable()) return false;
    const int i = fieldIndex(name);
    if (i < 0) {
        catalogerrors::raise(errnum::kDbFieldNotFound, name);
        return false;
    }
    if (mode_ == EditMode::None) return fail(errnum::kDbUpdateWithoutEdit);
    if (i == idColumn_) return fail(errnum::kDbFieldNotUpdatable);
    QVariant stored;
    switch (value.typeId()) {
        case QMetaType::UnknownType:
            break;
        case QMetaType::QString: {
            // A text is never null here; only an invalid QVariant writes null.
            const QString text = value.toString();
            stored = text.isNull() ? QStringLiteral("") : text;
            break;
        }
        case QMetaType::QDateTime:
            stored = formatStoredDateTime(value.toDateTime());
            break;
        case QMetaType::QDate:
            stored = formatStoredDateTime(value.toDate().startOfDay());
            break;
        default:
            stored = value.isNull() ? QVariant() : value;
    }
    buffer_[i] = stored;
    dirty_[i] = true;
    return true;
}

bool SqliteRecordset::Edit() {
    if (!usable()) return false;
    if (link_->readOnly) return fail(errnum::kDbReadOnly);
    if (deleted_) return fail(errnum::kDbRecordDeleted);
    if (!hasCurrent_) return fail(errnum::kDbNoCurrentRecord);
    endStream();
    buffer_ = values_;
    dirty_ = QVector<bool>(fields_.size(), false);
    mode_ = EditMode::Edit;
    return true;
}

bool SqliteRecordset::AddNew() {
    if (!usable()) return false;
    if (link_->readOnly) return fail(errnum::kDbReadOnly);
    buffer_ = QVector<QVariant>(fields_.size());
    dirty_ = QVector<bool>(fields_.size(), false);
    mode_ = EditMode::AddNew;
    return true;
}

bool SqliteRecordset::writeStatement(const QString& sql, const QVariantList& values, qint64* newId,
                                     int* rowsAffected) {
    link_->pauseStreams();
    if (!link_->inBatch && !link_->execKept(QStringLiteral("BEGIN IMMEDIATE"))) return false;
    CatalogConnection::Outcome outcome;
    const bool ok = link_->runKept(sql, values, nullptr, outcome);
    if (ok && newId) *newId = outcome.lastId;
    if (ok && rowsAffected) *rowsAffected = outcome.changes;
    if (ok && (link_->inBatch || link_->execKept(QStringLiteral("COMMIT")))) return true;
    // A failed statement may have ended the transaction in the engine already (a full disk): the
    // batch as a whole is gone.
    link_->rollBack();
    return false;
}

QString SqliteRecordset::writeSql() {
    // A run writes the same fields of record after record: the text is made once for them.
    if (writeSqlFor_ == dirty_ && writeSqlMode_ == mode_) return writeSql_;
    QStringList names;
    for (int i = 0; i < fields_.size(); ++i)
        if (dirty_[i]) names << quoted(fields_[i]);
    if (mode_ == EditMode::AddNew) {
        writeSql_ = QStringLiteral("INSERT INTO FILES ");
        if (names.isEmpty()) {
            writeSql_ += QStringLiteral("DEFAULT VALUES");
        } else {
            const QStringList marks(names.size(), QStringLiteral("?"));
            writeSql_ += QStringLiteral("(") + names.join(QLatin1Char(',')) +
                         QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) +
                         QStringLiteral(")");
        }
    } else {
        writeSql_ = QStringLiteral("UPDATE FILES SET ") + names.join(QStringLiteral(" = ?, ")) +
                    QStringLiteral(" = ? WHERE ID = ?");
    }
    writeSqlFor_ = dirty_;
    writeSqlMode_ = mode_;
    return writeSql_;
}

bool SqliteRecordset::Update() {
    if (!usable()) return false;
    if (mode_ == EditMode::None) return fail(errnum::kDbUpdateWithoutEdit);
    if (link_->readOnly) return fail(errnum::kDbReadOnly);
    QVariantList values;
    for (int i = 0; i < fields_.size(); ++i)
        if (dirty_[i]) values << buffer_[i];
    qint64 id = currentId_;
    if (mode_ == EditMode::AddNew) {
        if (!writeStatement(writeSql(), values, &id, nullptr)) return false;
    } else if (!values.isEmpty()) {
        values << currentId_;
        int rows = 0;
        if (!writeStatement(writeSql(), values, nullptr, &rows)) return false;
        if (rows == 0) {
            // Another program deleted the record meanwhile.
            mode_ = EditMode::None;
            hasCurrent_ = false;
            deleted_ = true;
            return fail(errnum::kDbRecordDeleted);
        }
    }
    const bool added = mode_ == EditMode::AddNew;
    mode_ = EditMode::None;
    if (!added) {
        // The record holds what was just written; reading it back would only repeat it.
        values_ = buffer_;
        return true;
    }
    bool found = false;
    if (!selectOne(QStringLiteral(" WHERE ID = ?"), {id}, found)) return false;
    if (!found) {
        // Written, but outside this recordset's rows (or deleted at once by another program).
        values_ = buffer_;
        values_[idColumn_] = id;
        currentId_ = id;
        hasCurrent_ = true;
        deleted_ = false;
    }
    return true;
}

bool SqliteRecordset::Delete() {
    if (!usable()) return false;
    if (link_->readOnly) return fail(errnum::kDbReadOnly);
    mode_ = EditMode::None;
    if (deleted_) return fail(errnum::kDbRecordDeleted);
    if (!hasCurrent_) return fail(errnum::kDbNoCurrentRecord);
    int rows = 0;
    if (!writeStatement(QStringLiteral("DELETE FROM FILES WHERE ID = ?"), {currentId_}, nullptr,
                        &rows))
        return false;
    hasCurrent_ = false;
    deleted_ = true;
    if (rows == 0) return fail(errnum::kDbRecordDeleted);
    return true;
}

qint64 SqliteRecordset::RecordCount() const {
    if (!usable()) return 0;
    QSqlQuery query(db());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM ") + source_) || !query.next()) {
        catalogerrors::raise(query.lastError());
        return 0;
    }
    return query.value(0).toLongLong();
}

void SqliteRecordset::Close() {
    detach();
    if (!link_) return;
    auto& list = link_->recordsets;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    link_.reset();
}

void SqliteRecordset::detach() {
    rowInStream_ = false;
    stream_.reset();
    closed_ = true;
    mode_ = EditMode::None;
    setNoRecords();
}

// Qt's SQLite driver uses the system's SQLite, the library this program links (the catalog locks
// rely on that too), so its handle may be given to the engine's own calls.
sqlite3* CatalogConnection::handle() {
    const QVariant driverHandle = QSqlDatabase::database(name, false).driver()->handle();
    if (!driverHandle.isValid() || qstrcmp(driverHandle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(driverHandle.constData());
}

void CatalogConnection::raiseFromEngine() {
    sqlite3* db = handle();
    if (!db) {
        catalogerrors::raise(errnum::kDbGeneric, QStringLiteral("SQLite-Verbindung fehlt"));
        return;
    }
    catalogerrors::raiseSqlite(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)));
}

sqlite3_stmt* CatalogConnection::statement(const QString& sql) {
    const auto kept = statements_.find(sql);
    if (kept != statements_.end()) return kept->second.get();
    sqlite3* db = handle();
    sqlite3_stmt* compiled = nullptr;
    const QByteArray text = sql.toUtf8();
    if (!db || sqlite3_prepare_v3(db, text.constData(), static_cast<int>(text.size()),
                                  SQLITE_PREPARE_PERSISTENT, &compiled, nullptr) != SQLITE_OK) {
        sqlite3_finalize(compiled);
        raiseFromEngine();
        return nullptr;
    }
    return statements_.emplace(sql, Statement(compiled)).first->second.get();
}

namespace {
// What Qt Sql binds as null: besides an empty QVariant a null text or byte array and a date or
// time that is none (its text would be empty).
bool boundAsNull(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString().isNull();
        case QMetaType::QByteArray:
            return value.toByteArray().isNull();
        case QMetaType::QDateTime:
            return !value.toDateTime().isValid();
        case QMetaType::QDate:
            return !value.toDate().isValid();
        case QMetaType::QTime:
            return !value.toTime().isValid();
        default:
            return value.isNull();
    }
}
}  // namespace

bool CatalogConnection::bind(sqlite3_stmt* statement, const QVariantList& values) {
    int result = SQLITE_OK;
    for (int i = 0; i < values.size() && result == SQLITE_OK; ++i) {
        const QVariant& value = values[i];
        const int at = i + 1;
        if (boundAsNull(value)) {
            result = sqlite3_bind_null(statement, at);
            continue;
        }
        switch (value.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                result = sqlite3_bind_int64(statement, at, value.toLongLong());
                break;
            case QMetaType::Double:
                result = sqlite3_bind_double(statement, at, value.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = value.toByteArray();
                result = sqlite3_bind_blob64(statement, at, bytes.constData(),
                                             static_cast<sqlite3_uint64>(bytes.size()),
                                             SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QString text = value.toString();
                result = sqlite3_bind_text16(statement, at, text.utf16(),
                                             static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
            }
        }
    }
    if (result == SQLITE_OK) return true;
    raiseFromEngine();
    return false;
}

namespace {
QVariant columnValue(sqlite3_stmt* statement, int i) {
    switch (sqlite3_column_type(statement, i)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement, i)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(statement, i));
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, i)),
                              sqlite3_column_bytes(statement, i));
        case SQLITE_NULL:
            return QVariant();
        default:
            return QString(reinterpret_cast<const QChar*>(sqlite3_column_text16(statement, i)),
                           sqlite3_column_bytes16(statement, i) / 2);
    }
}
}  // namespace

bool CatalogConnection::runKept(const QString& sql, const QVariantList& values,
                                QVector<QVariant>* row, Outcome& outcome) {
    outcome = Outcome();
    sqlite3_stmt* kept = statement(sql);
    if (!kept || !bind(kept, values)) {
        if (kept) sqlite3_clear_bindings(kept);
        return false;
    }
    const int result = sqlite3_step(kept);
    bool ok = result == SQLITE_ROW || result == SQLITE_DONE;
    if (!ok) {
        raiseFromEngine();
    } else if (result == SQLITE_ROW && row) {
        outcome.gotRow = true;
        const int columns = sqlite3_column_count(kept);
        row->resize(columns);
        for (int i = 0; i < columns; ++i) (*row)[i] = columnValue(kept, i);
    } else if (result == SQLITE_DONE) {
        sqlite3* db = sqlite3_db_handle(kept);
        outcome.changes = sqlite3_changes(db);
        outcome.lastId = sqlite3_last_insert_rowid(db);
    }
    sqlite3_reset(kept);
    sqlite3_clear_bindings(kept);
    return ok;
}

bool CatalogConnection::execKept(const QString& sql) {
    Outcome outcome;
    return runKept(sql, {}, nullptr, outcome);
}

void CatalogConnection::rollBack() {
    const PendingError failure = Err;
    execKept(QStringLiteral("ROLLBACK"));
    inBatch = false;
    Err = failure;
}

void CatalogConnection::pauseStreams() {
    for (SqliteRecordset* rs : recordsets) rs->pauseStream();
}

void CatalogConnection::detachRecordsets() {
    for (SqliteRecordset* rs : recordsets) rs->detach();
}

// ---- database --------------------------------------------------------------------------------

CatalogDatabase::CatalogDatabase(QString path, std::shared_ptr<CatalogConnection> link)
    : path_(std::move(path)),
      connection_(link->name),
      readOnly_(link->readOnly),
      link_(std::move(link)) {}

CatalogDatabase::~CatalogDatabase() {
    const PendingError keep = Err;
    Close();
    Err = keep;
}

std::unique_ptr<CatalogDatabase> CatalogDatabase::create(const QString& path) {
    if (path.trimmed().isEmpty()) {
        catalogerrors::raise(errnum::kDbCannotOpen, QStringLiteral("kein Dateiname"));
        return nullptr;
    }
    installCatalogLocks();
    const QString full = fs::absolutePath(path);
    // O_EXCL: the file is ours or the call fails; an existing file is never opened for writing.
    const int fd = ::open(native(full).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        if (error == EEXIST)
            catalogerrors::raise(errnum::kDbFileExists, full);
        else if (error == ENOENT || error == ENOTDIR)
            catalogerrors::raise(errnum::kPathNotFound, fs::folderOf(full));
        else
            raiseForErrno(error, full);
        return nullptr;
    }
    ::close(fd);

    auto link = std::make_shared<CatalogConnection>();
    link->name = newConnectionName();
    bool ok = openConnection(link->name, full, false, false);
    if (ok) {
        ok = switchToWal(link->name) &&
             runWriteTransaction(link->name, {QString::fromLatin1(kCreateTable),
                                              QString::fromLatin1(kCreateIndex)});
        if (!ok) dropConnection(link->name);
    }
    if (!ok) {
        // Only what this call made goes away.
        const PendingError failure = Err;
        for (const char* suffix : {"-wal", "-shm", "-journal"})
            QFile::remove(full + QLatin1String(suffix));
        QFile::remove(full);
        Err = failure;
        return nullptr;
    }
    link->open = true;
    return std::unique_ptr<CatalogDatabase>(new CatalogDatabase(full, std::move(link)));
}

std::unique_ptr<CatalogDatabase> CatalogDatabase::open(const QString& path) {
    if (path.trimmed().isEmpty()) {
        catalogerrors::raise(errnum::kDbFileNotFound, QStringLiteral("kein Dateiname"));
        return nullptr;
    }
    installCatalogLocks();
    const QString full = fs::absolutePath(path);
    if (!checkCatalogHeader(full)) return nullptr;

    auto link = std::make_shared<CatalogConnection>();
    link->name = newConnectionName();
    const SideFiles sideFilesBefore = SideFiles::of(full);
    if (!openCheckedReadOnly(link->name, full)) {
        sideFilesBefore.removeNewEmptyOnes(full);
        return nullptr;
    }

    link->readOnly = !placeIsWritable(full);
    if (!link->readOnly) {
        // Checked: a catalog. Only now may a connection write (WAL switch, -wal and -shm files).
        dropConnection(link->name);
        const PendingError before = Err;
        if (!openConnection(link->name, full, false, false)) return nullptr;
        if (!switchToWal(link->name)) {
            dropConnection(link->name);
            if (!refusesWriting(Err.Number)) return nullptr;
            // The place refused writing after all (a read-only mount, an access list): read.
            Err = before;
            link->readOnly = true;
            if (!openCheckedReadOnly(link->name, full)) return nullptr;
        }
    }
    link->open = true;
    return std::unique_ptr<CatalogDatabase>(new CatalogDatabase(full, std::move(link)));
}

std::unique_ptr<Recordset> CatalogDatabase::OpenRecordset(const QString& sql) {
    if (!isOpen()) {
        Err.Raise(errnum::kDbObjectClosed);
        return nullptr;
    }
    return SqliteRecordset::open(link_, sql);
}

bool CatalogDatabase::setBusyTimeout(int ms) {
    if (!isOpen()) {
        Err.Raise(errnum::kDbGeneric);
        return false;
    }
    return exec(connection_,
                QStringLiteral("PRAGMA busy_timeout = %1").arg(ms < 0 ? kBusyTimeoutMs : ms));
}

bool CatalogDatabase::beginBatch() {
    if (!isOpen()) {
        Err.Raise(errnum::kDbObjectClosed);
        return false;
    }
    if (link_->readOnly) {
        Err.Raise(errnum::kDbReadOnly);
        return false;
    }
    if (link_->inBatch) return true;
    link_->pauseStreams();
    link_->inBatch = link_->execKept(QStringLiteral("BEGIN IMMEDIATE"));
    return link_->inBatch;
}

bool CatalogDatabase::commitBatch() {
    if (!isOpen() || !link_->inBatch) return true;
    link_->pauseStreams();
    if (link_->execKept(QStringLiteral("COMMIT"))) {
        link_->inBatch = false;
        return true;
    }
    link_->rollBack();
    return false;
}

bool CatalogDatabase::inBatch() const {
    return isOpen() && link_->inBatch;
}

bool CatalogDatabase::Close() {
    if (!isOpen()) return true;
    link_->detachRecordsets();
    link_->dropStatements();
    link_->open = false;
    link_->inBatch = false;  // closing the connection rolls back what was not committed
    dropConnection(link_->name);
    return true;
}

bool CatalogDatabase::isOpen() const {
    return link_ && link_->open;
}

}  // namespace bravel
