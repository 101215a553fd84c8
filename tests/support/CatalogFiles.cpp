#include "CatalogFiles.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include "platform/CatalogDatabase.h"

namespace bravel::test {

bool writeCatalog(const QString& path, const std::vector<CatalogEntry>& entries) {
    auto db = CatalogDatabase::create(path);
    if (!db) return false;
    auto rset = db->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES"));
    bool written = static_cast<bool>(rset);
    for (const CatalogEntry& entry : entries) {
        if (!written || !rset->AddNew()) {
            written = false;
            break;
        }
        rset->SetField(QStringLiteral("Eingangsdatei"), entry.source);
        rset->SetField(QStringLiteral("Sicherungspfad"), entry.folder);
        rset->SetField(QStringLiteral("Status"), entry.status);
        rset->SetField(QStringLiteral("Computerstatus"), entry.hostStatus);
        if (entry.size) rset->SetField(QStringLiteral("Dateigroesse"), *entry.size);
        written = rset->Update();
    }
    if (rset) rset->Close();
    db->Close();
    return written;
}

std::vector<CatalogEntry> readCatalog(const QString& path) {
    const QString connection = QStringLiteral("test-read-catalog");
    std::vector<CatalogEntry> entries;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            query.exec(QStringLiteral(
                "SELECT Eingangsdatei, Sicherungspfad, Status, Computerstatus, Dateigroesse "
                "FROM FILES ORDER BY ID"));
            while (query.next()) {
                CatalogEntry entry{query.value(0).toString(), query.value(1).toString(),
                                   query.value(2).toString(), query.value(3).toString(),
                                   std::nullopt};
                if (!query.value(4).isNull()) entry.size = query.value(4).toLongLong();
                entries.push_back(entry);
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return entries;
}

QString integrityCheck(const QString& catalog) {
    const QString connection = QStringLiteral("test-integrity-check");
    QString answer;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(catalog);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next())
                answer = query.value(0).toString();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return answer;
}

}  // namespace bravel::test
