// A second program for the catalog tests: it works on a catalog from another process, possibly
// as another user. Answers on stdout, one line; failures as "ERR <number> <description>".
//
//   catalog_db_helper open <path>              "OPEN readonly=<0|1> count=<n>"
//   catalog_db_helper add <path> <count> <tag> prints "READY", waits for one line on stdin, then
//                                              adds <count> records "<tag>-<i>", each in its own
//                                              transaction, and marks each one with a second
//                                              transaction (find, edit, update); "DONE"
#include <QCoreApplication>
#include <QTextStream>
#include <iostream>
#include <string>

#include "platform/CatalogDatabase.h"
#include "platform/Err.h"

using namespace bravel;

namespace {

int report(QTextStream& out) {
    out << "ERR " << Err.Number << ' ' << Err.Description << Qt::endl;
    return 1;
}

int openCatalog(const QString& path, QTextStream& out) {
    auto db = CatalogDatabase::open(path);
    if (!db) return report(out);
    auto rs = db->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES"));
    if (!rs) return report(out);
    out << "OPEN readonly=" << (db->isReadOnly() ? 1 : 0) << " count=" << rs->RecordCount()
        << Qt::endl;
    return 0;
}

int addRecords(const QString& path, int count, const QString& tag, QTextStream& out) {
    auto db = CatalogDatabase::open(path);
    if (!db) return report(out);
    auto rs = db->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES"));
    if (!rs) return report(out);
    out << "READY" << Qt::endl;
    std::string go;
    std::getline(std::cin, go);
    for (int i = 0; i < count; ++i) {
        QVariant id;
        const bool ok = rs->AddNew() &&
                        rs->SetField(QStringLiteral("Eingangsdatei"),
                                     tag + QLatin1Char('-') + QString::number(i)) &&
                        rs->Update() && rs->Field(QStringLiteral("ID"), id) &&
                        rs->FindFirst(QStringLiteral("ID = ") + QString::number(id.toLongLong())) &&
                        !rs->NoMatch() && rs->Edit() &&
                        rs->SetField(QStringLiteral("Status"), tag) && rs->Update();
        if (!ok) return report(out);
    }
    out << "DONE" << Qt::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("open")) return openCatalog(args[2], out);
    if (args.size() == 5 && args[1] == QLatin1String("add"))
        return addRecords(args[2], args[3].toInt(), args[4], out);
    out << "usage: catalog_db_helper open <path> | add <path> <count> <tag>" << Qt::endl;
    return 2;
}
