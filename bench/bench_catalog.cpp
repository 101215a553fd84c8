// The catalog engine on 100,000 records: a walk over every record, the refresh timer's count
// (open, MoveLast, RecordCount) and finds by "ID = n", each beside plain Qt Sql doing the same.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "platform/CatalogDatabase.h"

using namespace bravel;

namespace {

const int kRecords = 100000;
const QString kQuery = QStringLiteral("SELECT FILES.* FROM FILES");

// Fills a new catalog in one transaction beside the engine; the engine's own AddNew commits
// each record and would time the disk instead.
void fill(const QString& file) {
    { CatalogDatabase::create(file); }
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(file);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("BEGIN"));
        query.prepare(
            QStringLiteral("INSERT INTO FILES (Eingangsdatei, Sicherungspfad, Dateigroesse, "
                           "Dateidatum, Status, Computerstatus) VALUES (?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < kRecords; ++i) {
            query.addBindValue(QStringLiteral("/home/anna/Dokumente/Projekt/datei-%1.txt").arg(i));
            query.addBindValue(QStringLiteral("/media/sicherung/Projekt"));
            query.addBindValue(qint64(i) * 1000);
            query.addBindValue(QStringLiteral("2026-03-04 05:06:07"));
            query.addBindValue(QStringLiteral("gesichert (12:00:00)"));
            query.addBindValue(QStringLiteral("rechner20260304;laptop20260301;"));
            query.exec();
        }
        QSqlQuery(db).exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::prepareEnvironment(home.path());
    QCoreApplication app(argc, argv);
    const QString file = home.filePath(QStringLiteral("gross.bvk"));
    fill(file);
    auto db = CatalogDatabase::open(file);
    if (!db) return 1;

    QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
    raw.setDatabaseName(file);
    raw.open();
    QVariant value;

    const double rawWalk = bench::bestSeconds(5, [&] {
        QSqlQuery query(raw);
        query.setForwardOnly(true);
        query.exec(kQuery);
        while (query.next()) value = query.value(1);
    });
    const double walk = bench::bestSeconds(5, [&] {
        auto rs = db->OpenRecordset(kQuery);
        for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext())
            rs->Field(QStringLiteral("Eingangsdatei"), value);
    });
    bench::printFigure(QStringLiteral("walk over 100000 records"), walk, QStringLiteral("s"),
                       QStringLiteral("QSqlQuery forward-only"), rawWalk);

    const double rawCount = bench::bestSeconds(20, [&] {
        QSqlQuery query(raw);
        query.exec(QStringLiteral("SELECT COUNT(*) FROM FILES"));
        query.next();
    });
    const double count = bench::bestSeconds(20, [&] {
        auto rs = db->OpenRecordset(kQuery);
        rs->MoveLast();
        rs->RecordCount();
    });
    bench::printFigure(QStringLiteral("open, MoveLast and RecordCount of 100000 records"), count,
                       QStringLiteral("s"), QStringLiteral("SELECT COUNT(*)"), rawCount);

    auto rs = db->OpenRecordset(kQuery);
    const double rawFind = bench::bestSeconds(3, [&] {
        QSqlQuery query(raw);
        for (int i = 0; i < 1000; ++i) {
            query.prepare(QStringLiteral("SELECT * FROM FILES WHERE ID = ?"));
            query.addBindValue(i * 97 + 1);
            query.exec();
            query.next();
        }
    });
    const double find = bench::bestSeconds(3, [&] {
        for (int i = 0; i < 1000; ++i) rs->FindFirst(QStringLiteral("ID = %1").arg(i * 97 + 1));
    });
    bench::printFigure(QStringLiteral("1000 FindFirst"), find, QStringLiteral("s"),
                       QStringLiteral("prepared SELECT by ID"), rawFind);
    rs.reset();
    db.reset();
    raw.close();
    raw = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return 0;
}
