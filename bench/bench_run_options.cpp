// Times the run's options, each run a process of its own (`bravel --run`, start to end):
//  - a run with --changed over an unchanged, already copied tree of small files, beside `rsync -a`
//    of the same unchanged tree (both second runs) and beside a full second run;
//  - a run with --verify beside the plain run, for many small and for a few large files;
//  - the content digest the check uses (XXH3) beside Qt's SHA-256 over the same cached file.
// BRAVEL_BENCH_FILES sets the number of small files (10,000), BRAVEL_BENCH_LARGE_MB the size of
// each of the four large files (64).
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchSupport.h"
#include "platform/CatalogDatabase.h"
#include "platform/FileDigest.h"

using namespace bravel;

namespace {

int setting(const char* name, int fallback) {
    const int value = qEnvironmentVariableIntValue(name);
    return value > 0 ? value : fallback;
}

QStringList makeSources(const QString& folder, int count, qint64 size) {
    QDir().mkpath(folder);
    QByteArray content(static_cast<int>(std::min<qint64>(size, 1 << 20)), 'b');
    for (int i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>((i * 131 + count) & 0xff);
    QStringList sources;
    for (int i = 0; i < count; ++i) {
        sources << folder + QStringLiteral("/f%1.bin").arg(i, 5, 10, QLatin1Char('0'));
        QFile file(sources.back());
        if (!file.open(QIODevice::WriteOnly)) continue;
        for (qint64 written = 0; written < size; written += content.size())
            file.write(content.constData(), std::min<qint64>(content.size(), size - written));
    }
    return sources;
}

// Runs a program to its end; the seconds it took.
double timeProgram(const QString& program, const QStringList& arguments) {
    ::sync();
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        std::fprintf(stderr, "%s ended with %d: %s\n", qPrintable(program), process.exitCode(),
                     process.readAllStandardError().constData());
    return seconds;
}

double bravelRun(const QString& catalog, const QStringList& options) {
    return timeProgram(QStringLiteral(BRAVEL_BINARY),
                       QStringList{QStringLiteral("--run"), catalog} + options +
                           QStringList{QStringLiteral("--quiet")});
}

void unchangedTree(const QString& base) {
    const int count = setting("BRAVEL_BENCH_FILES", 10000);
    const QString tree = base + QStringLiteral("/klein");
    const QString catalog =
        bench::writeCatalog(base + QStringLiteral("/klein.bvk"), makeSources(tree, count, 1024),
                            base + QStringLiteral("/kopie"));
    const QString rsyncCopy = base + QStringLiteral("/rsync-kopie");
    const QStringList rsync{QStringLiteral("-a"), tree + QLatin1Char('/'),
                            rsyncCopy + QLatin1Char('/')};

    bravelRun(catalog, {});  // the first run copies everything and records it
    timeProgram(QStringLiteral("rsync"), rsync);
    const double full = bench::bestSeconds(2, [&] { bravelRun(catalog, {}); });
    const double changed =
        bench::bestSeconds(3, [&] { bravelRun(catalog, {QStringLiteral("--changed")}); });
    const double rsyncAgain =
        bench::bestSeconds(3, [&] { timeProgram(QStringLiteral("rsync"), rsync); });
    // Opening the catalog and filling its list, with no entry selected: what any run costs.
    const double nothing = bench::bestSeconds(3, [&] {
        bravelRun(catalog, {QStringLiteral("--match"), QStringLiteral("kein Eintrag heißt so")});
    });
    const QString name =
        QStringLiteral("--changed run over %1 unchanged files of 1 KiB").arg(count);
    bench::printFigure(name, changed, QStringLiteral("s"),
                       QStringLiteral("rsync -a of the unchanged tree"), rsyncAgain);
    bench::printFigure(name, changed, QStringLiteral("s"),
                       QStringLiteral("full run of the same tree"), full);
    bench::printFigure(name, changed, QStringLiteral("s"),
                       QStringLiteral("the same catalog opened with nothing selected"), nothing);
}

void verifiedRuns(const QString& base, const QString& name, int count, qint64 size) {
    const QString catalog =
        bench::writeCatalog(base + QLatin1Char('/') + name + QStringLiteral(".bvk"),
                            makeSources(base + QLatin1Char('/') + name, count, size),
                            base + QLatin1Char('/') + name + QStringLiteral("-kopie"));
    bravelRun(catalog, {});  // the first run makes the folder and the copies
    const double plain = bench::bestSeconds(2, [&] { bravelRun(catalog, {}); });
    const double verified =
        bench::bestSeconds(2, [&] { bravelRun(catalog, {QStringLiteral("--verify")}); });
    const QString sizeText = size >= (1 << 20) ? QStringLiteral("%1 MiB").arg(size >> 20)
                                               : QStringLiteral("%1 KiB").arg(size >> 10);
    bench::printFigure(QStringLiteral("--verify run of %1 files of %2").arg(count).arg(sizeText),
                       verified, QStringLiteral("s"), QStringLiteral("plain run"), plain);
}

void digests(const QString& base) {
    const QString file = makeSources(base + QStringLiteral("/hash"), 1, qint64(256) << 20).first();
    QByteArray digest;
    fs::contentDigest(file, false, digest);  // into the page cache
    const double xxh3 = bench::bestSeconds(3, [&] { fs::contentDigest(file, false, digest); });
    const double sha256 = bench::bestSeconds(3, [&] {
        QFile in(file);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (in.open(QIODevice::ReadOnly)) hash.addData(&in);
        digest = hash.result();
    });
    bench::printFigure(QStringLiteral("XXH3-128 digest of a cached 256 MiB file"), 256 / xxh3,
                       QStringLiteral("MiB/s"), QStringLiteral("Qt SHA-256"), 256 / sha256);
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::prepareEnvironment(home.path());
    QCoreApplication app(argc, argv);
    // On the disk, not in /tmp, which may be a memory file system.
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-XXXXXX"));
    unchangedTree(dir.path());
    verifiedRuns(dir.path(), QStringLiteral("mittel"), 1000, 64 * 1024);
    verifiedRuns(dir.path(), QStringLiteral("gross"), 4,
                 qint64(setting("BRAVEL_BENCH_LARGE_MB", 64)) << 20);
    digests(dir.path());
    return 0;
}
