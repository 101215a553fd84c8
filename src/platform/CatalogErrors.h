#pragma once

#include <QSqlError>
#include <QString>

namespace bravel::catalogerrors {

// Our catalog error number for an SQLite result code (primary or extended).
int numberForSqliteCode(int code);
// The SQLite result code a Qt Sql error carries, 0 when it carries none.
int sqliteCode(const QSqlError& error);
// Sets Err from a failed Qt Sql call: our number, its German text and SQLite's own words.
void raise(const QSqlError& error);
// The same for an SQLite result code and SQLite's words, from a call to the engine itself.
void raiseSqlite(int code, const QString& words);
// Sets Err to a number with its standard text followed by a detail in brackets.
void raise(int number, const QString& detail);

}  // namespace bravel::catalogerrors
