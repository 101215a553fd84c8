#pragma once

#include <QDate>
#include <QString>

namespace bravel {

// How old an entry's last backup on this computer is, against the warning's day count.
enum class BackupAge : char { Recent, Old, Never };

// The date ("yyyymmdd") host last backed the entry up according to its Computerstatus text;
// empty when host never did.
QString lastBackupDate(const QString& hostStatus, const QString& host);

// Old when date ("yyyymmdd") lies more than days days before today, Never when it is empty. A
// date that is no date cannot vouch for a backup and counts as old.
BackupAge backupAge(const QString& date, const QDate& today, int days);

// The tooltip's line for an entry of that age; empty for a recent one.
QString backupAgeNotice(BackupAge age, int days);

// The status line's part that counts the entries with an old or missing backup; empty for none.
QString oldBackupCountText(int count, int days);

}  // namespace bravel
