// The directory walk gGetFiles over 100,000 files in 1,000 folders (warm cache) beside
// `find DIR -type f` over the same tree, and the time until the scanner window shows all
// rows after the walk.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include "BenchSupport.h"
#include "scan/DirectoryWalk.h"
#include "scan/frm_dscan.h"

using namespace bravel;

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::prepareEnvironment(home.path());
    QApplication app(argc, argv);
    const QString root = home.path() + QStringLiteral("/baum");
    for (int f = 0; f < 1000; ++f) {
        const QString folder = root + QStringLiteral("/ordner %1/unter %2").arg(f / 10).arg(f % 10);
        QDir().mkpath(folder);
        for (int i = 0; i < 100; ++i)
            QFile(folder + QStringLiteral("/datei %1.txt").arg(i)).open(QIODevice::WriteOnly);
    }
    auto find = [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(QStringLiteral("find"), {root, QStringLiteral("-type"), QStringLiteral("f")});
        process.waitForFinished(-1);
    };
    find();  // warm the cache
    int found = 0;
    const double walk = bench::bestSeconds(5, [&] {
        QStringList list;
        gGetFiles(root, QStringLiteral("*"), list);
        found = list.size();
    });
    const double findSeconds = bench::bestSeconds(5, find);
    bench::printFigure(QStringLiteral("walk of %1 files in 1000 folders").arg(found), walk * 1000,
                       QStringLiteral("ms"), QStringLiteral("find -type f"), findSeconds * 1000);

    double rowsShown = 1e9;
    double scanTotal = 1e9;
    for (int repeat = 0; repeat < 3; ++repeat) {
        frm_dscan window;
        window.show();
        QCoreApplication::processEvents();
        window.but_Dialog->setText(root + QLatin1Char('/'));
        QElapsedTimer timer;
        timer.start();
        window.but_ScanDirectory->click();
        window.lst_Files->viewport()->repaint();  // the rows are on the screen
        const double total = timer.nsecsElapsed() / 1e9;
        scanTotal = std::min(scanTotal, total);
        rowsShown = std::min(rowsShown, total - walk);
        if (window.model().rowCount() != found) return 1;
    }
    bench::printFigure(QStringLiteral("scanner shows all rows after the walk"), rowsShown * 1000,
                       QStringLiteral("ms"), QStringLiteral("limit"), 1000);
    bench::printFigure(QStringLiteral("scanner scan with walk and rows shown"), scanTotal * 1000,
                       QStringLiteral("ms"), QStringLiteral("find -type f"), findSeconds * 1000);
    return 0;
}
