// Times backup runs over many small files beside rsync and cp, each followed by a flush of the
// target's file system (the run flushes once at its end too), all in this one run and on warm
// caches. The files lie 100 to a folder; each folder gets a backup folder of its own.
//   10,000 files of 10 KiB through the main window (offscreen, status window on, from opening
//   the catalog to the end of the run), beside `rsync -a` + `sync -f` and `cp -r` + `sync -f`;
//   the same through `bravel --run` (its own process, start to end);
//   100,000 files of 10 KiB through `bravel --run`, beside `rsync -a` + `sync -f`, with the
//   peak memory of each.
// BRAVEL_BENCH_FILES and BRAVEL_BENCH_LARGE_FILES change the two counts.
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <vector>

#include "BenchSupport.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "platform/CatalogDatabase.h"
#include "platform/SystemActions.h"
#include "settings/SettingKeys.h"

using namespace bravel;

namespace {

constexpr int kFilesPerFolder = 100;

struct ChildRun {
    double seconds = 0;
    double peakMb = 0;
    int exitCode = -1;
};

// Runs a program to its end (its output goes nowhere) and gives its time and peak memory. The
// peak comes from GNU time: a child forked from this large process would count this process's
// pages as its own.
ChildRun runChild(const QStringList& command, bool withoutDisplay = false) {
    QTemporaryFile peakFile;
    peakFile.open();
    QStringList timed{QStringLiteral("/usr/bin/time"), QStringLiteral("-f"), QStringLiteral("%M"),
                      QStringLiteral("-o"), peakFile.fileName()};
    timed << command;
    std::vector<QByteArray> storage;
    for (const QString& part : timed) storage.push_back(QFile::encodeName(part));
    std::vector<char*> argv;
    for (QByteArray& part : storage) argv.push_back(part.data());
    argv.push_back(nullptr);
    ChildRun result;
    QElapsedTimer clock;
    clock.start();
    const pid_t child = ::fork();
    if (child == 0) {
        if (withoutDisplay) {
            ::unsetenv("QT_QPA_PLATFORM");
            ::unsetenv("DISPLAY");
            ::unsetenv("WAYLAND_DISPLAY");
        }
        if (!::freopen("/dev/null", "w", stdout)) ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    result.seconds = clock.nsecsElapsed() / 1e9;
    result.peakMb = peakFile.readAll().trimmed().toDouble() / 1024.0;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The baseline tool's run followed by a flush of the target's file system.
ChildRun runFlushed(const QStringList& command, const QString& target) {
    ::sync();
    ChildRun run = runChild(command);
    const ChildRun flush = runChild({QStringLiteral("sync"), QStringLiteral("-f"), target});
    run.seconds += flush.seconds;
    return run;
}

QString folderName(int folder) {
    return QStringLiteral("d%1").arg(folder, 4, 10, QLatin1Char('0'));
}

// count files of 10 KiB below root, 100 to a folder, read once so that the caches are warm.
QStringList makeSources(const QString& root, int count) {
    const QByteArray content(10 * 1024, 'b');
    QStringList sources;
    for (int i = 0; i < count; ++i) {
        const QString folder = root + QLatin1Char('/') + folderName(i / kFilesPerFolder);
        if (i % kFilesPerFolder == 0) QDir().mkpath(folder);
        sources << folder + QStringLiteral("/f%1.bin").arg(i, 6, 10, QLatin1Char('0'));
        QFile file(sources.back());
        if (file.open(QIODevice::WriteOnly)) file.write(content);
    }
    runChild({QStringLiteral("sh"), QStringLiteral("-c"),
              QStringLiteral("find \"$0\" -type f -exec cat {} + > /dev/null"), root});
    return sources;
}

// A catalog with one entry per source; each source folder has its own backup folder below target.
QString makeCatalog(const QString& catalog, const QStringList& sources, const QString& target) {
    return bench::writeCatalog(catalog, sources, [&](int i) {
        return target + QLatin1Char('/') + folderName(i / kFilesPerFolder);
    });
}

// Opens the catalog in the main window, selects every row and presses Start.
double timeWindowRun(const QString& catalog) {
    ::sync();
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = bench::cpuSeconds();
    setStartCommand({catalog, QStringLiteral("/open/")});
    {
        frm_main window;
        window.load();
        window.show();
        window.controller().mSelectAll(true);
        window.controller().timer2Tick();
        window.but_Start->click();
        window.controller().closeCatalog();
    }
    resetCatalogState();
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::fprintf(stderr, "window run: %.3f s wall, %.3f s processor\n", seconds,
                 bench::cpuSeconds() - cpuBefore);
    return seconds;
}

ChildRun headlessRun(const QString& catalog) {
    ::sync();
    const ChildRun run = runChild({QStringLiteral(BRAVEL_BINARY), QStringLiteral("--run"), catalog,
                                   QStringLiteral("--quiet")},
                                  true);
    if (run.exitCode != 0) std::fprintf(stderr, "bravel --run ended with %d\n", run.exitCode);
    return run;
}

int countFromEnvironment(const char* name, int fallback) {
    const int value = qEnvironmentVariableIntValue(name);
    return value > 0 ? value : fallback;
}

// rsync -a of the tree many into target, followed by a flush.
ChildRun rsyncFlushed(const QString& many, const QString& target) {
    return runFlushed({QStringLiteral("rsync"), QStringLiteral("-a"), many + QLatin1Char('/'),
                       target + QLatin1Char('/')},
                      target);
}

void compareSmallFiles(const QString& base, int count) {
    const QString many = base + QStringLiteral("/many");
    const QStringList sources = makeSources(many, count);
    const QString what = QStringLiteral("of %1 files of 10 KiB").arg(count);

    const ChildRun rsync = rsyncFlushed(many, base + QStringLiteral("/rsync"));
    const QString cpTarget = base + QStringLiteral("/cp");
    const ChildRun cp =
        runFlushed({QStringLiteral("cp"), QStringLiteral("-r"), many, cpTarget}, cpTarget);
    const double window = timeWindowRun(makeCatalog(base + QStringLiteral("/window.bvk"), sources,
                                                    base + QStringLiteral("/window")));
    const ChildRun headless = headlessRun(makeCatalog(base + QStringLiteral("/headless.bvk"),
                                                      sources, base + QStringLiteral("/headless")));

    bench::printFigure(QStringLiteral("window run ") + what, window, QStringLiteral("s"),
                       QStringLiteral("rsync -a + sync -f"), rsync.seconds);
    bench::printFigure(QStringLiteral("window run ") + what, window, QStringLiteral("s"),
                       QStringLiteral("cp -r + sync -f"), cp.seconds);
    bench::printFigure(QStringLiteral("run without a window ") + what, headless.seconds,
                       QStringLiteral("s"), QStringLiteral("rsync -a + sync -f"), rsync.seconds);
    bench::printFigure(QStringLiteral("run without a window ") + what, headless.seconds,
                       QStringLiteral("s"), QStringLiteral("cp -r + sync -f"), cp.seconds);
    QDir(base).removeRecursively();
}

void compareManySmallFiles(const QString& base, int count) {
    const QString many = base + QStringLiteral("/many");
    const QStringList sources = makeSources(many, count);
    const QString what = QStringLiteral("of %1 files of 10 KiB").arg(count);
    const ChildRun rsync = rsyncFlushed(many, base + QStringLiteral("/rsync"));
    const ChildRun headless = headlessRun(makeCatalog(base + QStringLiteral("/headless.bvk"),
                                                      sources, base + QStringLiteral("/headless")));
    bench::printFigure(QStringLiteral("run without a window ") + what, headless.seconds,
                       QStringLiteral("s"), QStringLiteral("rsync -a + sync -f"), rsync.seconds);
    bench::printFigure(QStringLiteral("peak memory of the run without a window ") + what,
                       headless.peakMb, QStringLiteral("MB"), QStringLiteral("rsync -a"),
                       rsync.peakMb);
    QDir(base).removeRecursively();
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::prepareEnvironment(home.path());
    QApplication app(argc, argv);
    const bench::QuietProgram program;
    // The status window is on, as a person watching the run would have it.
    writeSetting(keys::setup_chk_ShowStatus, QStringLiteral("1"));
    gShowStatus = true;
    // On the disk, not in /tmp, which may be a memory file system.
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-XXXXXX"));
    compareSmallFiles(dir.path() + QStringLiteral("/small"),
                      countFromEnvironment("BRAVEL_BENCH_FILES", 10000));
    compareManySmallFiles(dir.path() + QStringLiteral("/large"),
                          countFromEnvironment("BRAVEL_BENCH_LARGE_FILES", 100000));
    return 0;
}
