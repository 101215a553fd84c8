#include "catalog/BackupAge.h"

#include "catalog/CatalogController.h"

namespace bravel {

namespace {

QString daysText(int days) {
    return days == 1 ? QStringLiteral("einem Tag")
                     : QString::number(days) + QStringLiteral(" Tagen");
}

}  // namespace

QString lastBackupDate(const QString& hostStatus, const QString& host) {
    if (host.isEmpty()) return {};
    for (const HostStamp& stamp : parseComputerstatus(hostStatus))
        if (stamp.host == host) return stamp.date;
    return {};
}

BackupAge backupAge(const QString& date, const QDate& today, int days) {
    if (date.trimmed().isEmpty()) return BackupAge::Never;
    const QDate last = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
    if (!last.isValid()) return BackupAge::Old;
    return last.daysTo(today) > days ? BackupAge::Old : BackupAge::Recent;
}

QString backupAgeNotice(BackupAge age, int days) {
    switch (age) {
        case BackupAge::Recent:
            return {};
        case BackupAge::Old:
            return QStringLiteral("Letzte Sicherung auf diesem Computer vor mehr als ") +
                   daysText(days) + QLatin1Char('.');
        case BackupAge::Never:
            return QStringLiteral("Auf diesem Computer noch nie gesichert.");
    }
    return {};
}

QString oldBackupCountText(int count, int days) {
    if (count <= 0) return {};
    return QStringLiteral("Nicht gesichert seit mehr als ") + daysText(days) +
           QStringLiteral(": ") + QString::number(count) +
           (count == 1 ? QStringLiteral(" Eintrag") : QStringLiteral(" Einträge"));
}

}  // namespace bravel
