// Times the backup run without a window (`bravel --run`, a process of its own, start to end)
// beside the main window's run of the same catalog (offscreen, in this process, from opening the
// catalog to the end of the run): 10,000 files of 10 KiB each, on warm caches.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "base/AppValues.h"
#include "app/CommandLine.h"
#include "app/frm_main.h"
#include "base/Prog.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "platform/CatalogDatabase.h"
#include "platform/SystemActions.h"

using namespace bravel;

namespace {

class NoSystemActions : public SystemActions {
  public:
    void logOff() override {}
    void restart() override {}
    void shutDown() override {}
};

QStringList makeSources(const QString& folder, int count) {
    QDir().mkpath(folder);
    const QByteArray content(10 * 1024, 'b');
    QStringList sources;
    for (int i = 0; i < count; ++i) {
        sources << folder + QStringLiteral("/f%1.bin").arg(i, 5, 10, QLatin1Char('0'));
        QFile file(sources.back());
        if (file.open(QIODevice::WriteOnly)) file.write(content);
    }
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("cat \"$0\"/* > /dev/null"), folder});
    return sources;
}

QString makeCatalog(const QString& catalog, const QStringList& sources, const QString& folder) {
    auto db = CatalogDatabase::create(catalog);
    auto rset = db->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES"));
    for (const QString& source : sources) {
        rset->AddNew();
        rset->SetField(QStringLiteral("Eingangsdatei"), source);
        rset->SetField(QStringLiteral("Sicherungspfad"), folder);
        rset->Update();
    }
    rset->Close();
    db->Close();
    return catalog;
}

double timeWindowRun(const QString& catalog) {
    ::sync();
    QElapsedTimer clock;
    clock.start();
    setStartCommand({catalog, QStringLiteral("/open/")});
    frm_main window;
    window.load();
    window.show();
    window.controller().mSelectAll(true);
    window.controller().timer2Tick();
    window.but_Start->click();
    const double seconds = clock.nsecsElapsed() / 1e9;
    window.controller().closeCatalog();
    resetCatalogState();
    return seconds;
}

double timeHeadlessRun(const QString& catalog) {
    ::sync();
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(env);
    program.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(BRAVEL_BINARY),
                  {QStringLiteral("--run"), catalog, QStringLiteral("--quiet")});
    program.waitForFinished(-1);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (program.exitCode() != 0)
        std::fprintf(stderr, "bravel --run ended with %d\n", program.exitCode());
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::prepareEnvironment(home.path());
    QApplication app(argc, argv);
    bench::SilentDialogs dialogs;
    setDialogs(&dialogs);
    NoSystemActions actions;
    setSystemActions(&actions);
    fillIdentityValues();
    gHostName = gGetComputerName();
    // On the disk, not in /tmp, which may be a memory file system.
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-XXXXXX"));
    const QString base = dir.path();
    const int count = qEnvironmentVariableIntValue("BRAVEL_BENCH_FILES") > 0
                          ? qEnvironmentVariableIntValue("BRAVEL_BENCH_FILES")
                          : 10000;
    const QStringList sources = makeSources(base + QStringLiteral("/many"), count);

    const double window = timeWindowRun(makeCatalog(base + QStringLiteral("/window.bvk"), sources,
                                                    base + QStringLiteral("/window")));
    const double headless = timeHeadlessRun(makeCatalog(
        base + QStringLiteral("/headless.bvk"), sources, base + QStringLiteral("/headless")));
    bench::printFigure(QStringLiteral("run without a window of %1 files of 10 KiB").arg(count),
                       headless, QStringLiteral("s"), QStringLiteral("window run"), window);
    return 0;
}
