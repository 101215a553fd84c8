#include "platform/CatalogErrors.h"

#include <unordered_map>

#include "platform/Err.h"

namespace bravel::catalogerrors {

// SQLite's primary result codes (sqlite3.h) onto our catalog numbers; the errno table is in
// Err.cpp.
int numberForSqliteCode(int code) {
    static const std::unordered_map<int, int> table = {
        {1, errnum::kDbGeneric},         // SQLITE_ERROR
        {2, errnum::kDbGeneric},         // SQLITE_INTERNAL
        {3, errnum::kDbNoPermission},    // SQLITE_PERM
        {4, errnum::kDbGeneric},         // SQLITE_ABORT
        {5, errnum::kDbLocked},          // SQLITE_BUSY
        {6, errnum::kDbLocked},          // SQLITE_LOCKED
        {7, errnum::kOutOfMemory},       // SQLITE_NOMEM
        {8, errnum::kDbReadOnly},        // SQLITE_READONLY
        {9, errnum::kDbGeneric},         // SQLITE_INTERRUPT
        {10, errnum::kDbIoError},        // SQLITE_IOERR
        {11, errnum::kDbCorrupt},        // SQLITE_CORRUPT
        {12, errnum::kDbTableNotFound},  // SQLITE_NOTFOUND
        {13, errnum::kDbDiskFull},       // SQLITE_FULL
        {14, errnum::kDbCannotOpen},     // SQLITE_CANTOPEN
        {15, errnum::kDbLocked},         // SQLITE_PROTOCOL
        {17, errnum::kDbGeneric},        // SQLITE_SCHEMA
        {18, errnum::kDbValueTooBig},    // SQLITE_TOOBIG
        {19, errnum::kDbDuplicateKey},   // SQLITE_CONSTRAINT
        {20, errnum::kTypeMismatch},     // SQLITE_MISMATCH
        {21, errnum::kDbGeneric},        // SQLITE_MISUSE
        {22, errnum::kDbIoError},        // SQLITE_NOLFS
        {23, errnum::kDbNoPermission},   // SQLITE_AUTH
        {25, errnum::kDbGeneric},        // SQLITE_RANGE
        {26, errnum::kDbNotADatabase},   // SQLITE_NOTADB
    };
    const auto it = table.find(code & 0xff);
    return it != table.end() ? it->second : errnum::kDbGeneric;
}

int sqliteCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code : 0;
}

void raise(const QSqlError& error) {
    raiseSqlite(sqliteCode(error),
                error.databaseText().isEmpty() ? error.text() : error.databaseText());
}

void raiseSqlite(int code, const QString& words) {
    int number = code ? numberForSqliteCode(code) : errnum::kDbGeneric;
    // SQLite reports a missing table as a plain SQLITE_ERROR; the program knows it as its own.
    if ((code & 0xff) == 1 && words.contains(QLatin1String("no such table"), Qt::CaseInsensitive))
        number = errnum::kDbTableNotFound;
    raise(number, words);
}

void raise(int number, const QString& detail) {
    QString text = standardErrorText(number);
    if (!detail.isEmpty()) text += QStringLiteral(" (%1)").arg(detail);
    Err.Raise(number, text);
}

}  // namespace bravel::catalogerrors
