// The list fill of a catalog of 100,000 entries whose sources lie in 1,000 folders, beside a
// baseline that reads the same table with SQLite and stats each source and each backup folder
// once; and one tick of the refresh timer on that unchanged catalog.
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <set>

#include "BenchSupport.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "platform/CatalogDatabase.h"

using namespace bravel;

namespace {

constexpr int kFolders = 1000;
constexpr int kFilesPerFolder = 100;

QString makeCatalog(const QString& root) {
    const QString catalog = root + QStringLiteral("/gross.bvk");
    auto db = CatalogDatabase::create(catalog);
    QSqlDatabase sql = QSqlDatabase::database(db->connectionName());
    sql.transaction();
    QSqlQuery insert(sql);
    insert.prepare(
        QStringLiteral("INSERT INTO FILES (Eingangsdatei, Sicherungspfad, Status, Computerstatus) "
                       "VALUES (?, ?, ?, ?)"));
    for (int f = 0; f < kFolders; ++f) {
        const QString folder = root + QStringLiteral("/quellen/ordner %1").arg(f);
        const QString backup = root + QStringLiteral("/sicherung/ordner %1").arg(f);
        QDir().mkpath(folder);
        QDir().mkpath(backup);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const QString source = folder + QStringLiteral("/datei %1.txt").arg(i);
            QFile file(source);
            file.open(QIODevice::WriteOnly);
            file.write("Bravel");
            insert.addBindValue(source);
            insert.addBindValue(backup);
            insert.addBindValue(QStringLiteral("gesichert (01.12.2026 10:00:00)"));
            insert.addBindValue(QStringLiteral("PC120261201;"));
            insert.exec();
        }
    }
    sql.commit();
    insert.finish();
    db->Close();
    return catalog;
}

void baselineReadAndStat(const QString& catalog) {
    {
        QSqlDatabase sql =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("baseline"));
        sql.setDatabaseName(catalog);
        sql.open();
        QSqlQuery query(QStringLiteral("SELECT FILES.* FROM FILES"), sql);
        std::set<QString> folders;
        struct stat st;
        qint64 bytes = 0;
        while (query.next()) {
            const QString source = query.value(1).toString();
            const QString folder = query.value(2).toString();
            if (::stat(QFile::encodeName(source).constData(), &st) == 0) bytes += st.st_size;
            if (folders.insert(folder).second) ::stat(QFile::encodeName(folder).constData(), &st);
        }
        Q_UNUSED(bytes);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("baseline"));
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::prepareEnvironment(home.path());
    QApplication app(argc, argv);
    const bench::QuietProgram program;

    const QString catalog = makeCatalog(home.path());
    setStartCommand({catalog, QStringLiteral("/open/")});
    frm_main window;
    window.load();
    window.show();
    QCoreApplication::processEvents();

    const double baseline = bench::bestSeconds(3, [&] { baselineReadAndStat(catalog); });
    const double fill = bench::bestSeconds(3, [&] {
        window.controller().mFillListBox();
        QCoreApplication::processEvents();
    });
    bench::printFigure(QStringLiteral("list fill of 100000 entries"), fill, QStringLiteral("s"),
                       QStringLiteral("sqlite read and stat"), baseline);

    const double tick = bench::bestSeconds(20, [&] { window.controller().timer1Tick(); });
    const double count = bench::bestSeconds(20, [&] {
        QSqlDatabase sql =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        sql.setDatabaseName(catalog);
        sql.open();
        QSqlQuery query(QStringLiteral("SELECT COUNT(*) FROM FILES"), sql);
        query.next();
        query.finish();
        sql.close();
        sql = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("count"));
    });
    bench::printFigure(QStringLiteral("refresh tick on 100000 entries"), tick * 1000,
                       QStringLiteral("ms"), QStringLiteral("sqlite open and count"), count * 1000);
    bench::printFigure(QStringLiteral("peak memory with 100000 entries filled"),
                       bench::peakResidentMb(), QStringLiteral("MB"), QStringLiteral("limit"), 300);
    window.controller().closeCatalog();
    return 0;
}
