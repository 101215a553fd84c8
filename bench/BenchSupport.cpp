#include "BenchSupport.h"

#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>
#include <limits>

#include "base/AppValues.h"
#include "base/Prog.h"
#include "platform/CatalogDatabase.h"

namespace bravel::bench {

void prepareEnvironment(const QString& home) {
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString path = home + QLatin1Char('/') + QString::fromLatin1(name).toLower();
        QDir().mkpath(path);
        qputenv(name, QFile::encodeName(path));
    }
    // The runtime folder is the user's alone, as the session gives it.
    QFile::setPermissions(home + QStringLiteral("/xdg_runtime_dir"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The runs' notifications go nowhere.
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            QFile::encodeName(QStringLiteral("unix:path=") + home + QStringLiteral("/no-bus")));
}

double bestSeconds(int repeats, const std::function<void()>& work) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

void printFigure(const QString& name, double value, const QString& unit, const QString& baseline,
                 double baselineValue) {
    const double ratio = baselineValue > 0 ? value / baselineValue : 0;
    std::printf("%s: %.4g %s; baseline %s: %.4g %s; ratio %.3g\n", qPrintable(name), value,
                qPrintable(unit), qPrintable(baseline), baselineValue, qPrintable(unit), ratio);
    std::fflush(stdout);
}

double cpuSeconds() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double peakResidentMb() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

QString writeCatalog(const QString& catalog, const QStringList& sources,
                     const std::function<QString(int)>& folderOf) {
    CatalogDatabase::create(catalog)->Close();
    const QString connection = QStringLiteral("bench-catalog");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(catalog);
        db.open();
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(
            QStringLiteral("INSERT INTO FILES (Eingangsdatei, Sicherungspfad) VALUES (?, ?)"));
        for (int i = 0; i < sources.size(); ++i) {
            const QString folder = folderOf(i);
            QDir().mkpath(folder);
            insert.addBindValue(sources[i]);
            insert.addBindValue(folder);
            insert.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return catalog;
}

QString writeCatalog(const QString& catalog, const QStringList& sources, const QString& folder) {
    return writeCatalog(catalog, sources, [&](int) { return folder; });
}

QuietProgram::QuietProgram() {
    setDialogs(&dialogs_);
    setSystemActions(&actions_);
    fillIdentityValues();
    gHostName = gGetComputerName();
}

QuietProgram::~QuietProgram() {
    setDialogs(nullptr);
    setSystemActions(nullptr);
}

}  // namespace bravel::bench
