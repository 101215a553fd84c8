// Times backup runs through the real main window (offscreen, status window on) beside the
// system's own copy tools, on warm caches: one 1 GiB file, beside cp (many small files: see
// bench_many_files).
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "BenchSupport.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "platform/CatalogDatabase.h"
#include "platform/SystemActions.h"

using namespace bravel;

namespace {

bool writeFile(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray block(1 << 20, '\0');
    for (int i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
    for (qint64 done = 0; done < size; done += block.size())
        file.write(block.constData(), std::min<qint64>(block.size(), size - done));
    return file.flush();
}

void warm(const QString& folder) {
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("cat \"$0\"/* > /dev/null"), folder});
}

// Each measurement starts with no dirty pages left by the one before.
void settle() {
    ::sync();
}

double timeCommand(const QString& program, const QStringList& arguments) {
    settle();
    QElapsedTimer clock;
    clock.start();
    QProcess::execute(program, arguments);
    return clock.nsecsElapsed() / 1e9;
}

// Opens the catalog in the main window, selects every row and presses Start.
double timeRun(const QString& catalog) {
    setStartCommand({catalog, QStringLiteral("/open/")});
    frm_main window;
    window.load();
    window.show();
    QCoreApplication::processEvents();
    window.controller().mSelectAll(true);
    window.controller().timer2Tick();
    settle();
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = bench::cpuSeconds();
    window.but_Start->click();
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::fprintf(stderr, "run: %.3f s wall, %.3f s processor\n", seconds,
                 bench::cpuSeconds() - cpuBefore);
    window.controller().closeCatalog();
    resetCatalogState();
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::prepareEnvironment(home.path());
    QApplication app(argc, argv);
    const bench::QuietProgram program;
    gShowStatus = qEnvironmentVariableIntValue("BRAVEL_BENCH_NO_STATUS") == 0;
    // On the disk, not in /tmp, which may be a memory file system.
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-XXXXXX"));
    const QString base = dir.path();

    const qint64 big = qEnvironmentVariableIntValue("BRAVEL_BENCH_BIG_MIB") > 0
                           ? qEnvironmentVariableIntValue("BRAVEL_BENCH_BIG_MIB") * (1LL << 20)
                           : (1LL << 30);
    QDir().mkpath(base + QStringLiteral("/big"));
    const QString bigFile = base + QStringLiteral("/big/big.bin");
    writeFile(bigFile, big);
    warm(base + QStringLiteral("/big"));
    const double cp =
        timeCommand(QStringLiteral("cp"), {bigFile, base + QStringLiteral("/cp.bin")});
    QFile::remove(base + QStringLiteral("/cp.bin"));
    const double run = timeRun(bench::writeCatalog(base + QStringLiteral("/big.bvk"), {bigFile},
                                                   base + QStringLiteral("/run-big")));
    bench::printFigure(QStringLiteral("run of one 1 GiB file"), run, QStringLiteral("s"),
                       QStringLiteral("cp"), cp);
    // The run flushes what it wrote before it reports the end; so does this baseline.
    const double cpSync = timeCommand(
        QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("cp \"$0\" \"$1\" && sync"),
                               bigFile, base + QStringLiteral("/cp.bin")});
    QFile::remove(base + QStringLiteral("/cp.bin"));
    bench::printFigure(QStringLiteral("run of one 1 GiB file"), run, QStringLiteral("s"),
                       QStringLiteral("cp and sync"), cpSync);

    // A paused copy: processor time over two seconds of pause, beside two seconds of sleep.
    {
        setStartCommand({bench::writeCatalog(base + QStringLiteral("/pause.bvk"), {bigFile},
                                             base + QStringLiteral("/run-pause")),
                         QStringLiteral("/open/")});
        frm_main window;
        window.load();
        window.show();
        window.controller().mSelectAll(true);
        window.controller().timer2Tick();
        double pausedCpu = 0;
        QTimer::singleShot(50, &window, [&] {
            window.chk_pause->click();
            QTimer::singleShot(200, &window, [&] {
                const double before = bench::cpuSeconds();
                QTimer::singleShot(2000, &window, [&, before] {
                    pausedCpu = bench::cpuSeconds() - before;
                    window.chk_pause->click();
                });
            });
        });
        window.but_Start->click();
        window.controller().closeCatalog();
        resetCatalogState();
        const double idleBefore = bench::cpuSeconds();
        ::usleep(2000000);
        bench::printFigure(QStringLiteral("processor time during 2 s of pause"), pausedCpu,
                           QStringLiteral("s"), QStringLiteral("2 s of sleep"),
                           bench::cpuSeconds() - idleBefore);
    }

    return 0;
}
