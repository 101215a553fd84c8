// Times backup runs beside the system's own copy tools, on warm caches:
//   one 1 GiB file through the run, beside cp;
//   10,000 files of 10 KiB in one catalog through the run, beside cp -r and rsync -a.
// Prints lines "NAME: VALUE UNIT; baseline BASELINE: VALUE UNIT; ratio R".
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "app/AppValues.h"
#include "backup/BackupRun.h"
#include "backup/Prog.h"
#include "backup/RunObserver.h"
#include "backup/RunState.h"
#include "backup/frm_CommandStatus.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "platform/CatalogDatabase.h"

using namespace bravel;

namespace {

class QuietView : public MainView {
public:
    void showOverlay(const QString&, bool) override {}
    void setRecordCountText(const QString&) override {}
    void setListVisible(bool) override {}
    void setDetailTexts(const QString&, const QString&) override {}
    void autoSizeColumns() override {}
    void scrollToRow(int) override {}
    void setSummaryText(const QString& text) override { summary = text; }
    void applyControlStates(const ControlStates&) override {}
    void showRecentEntries(const std::array<QString, 9>&) override {}
    void closeToolTip() override {}
    QString summary;
};

// Real progress widgets and the real status window, updated as a window would: bars every
// chunk, texts whenever events are about to paint them.
class WidgetObserver : public RunObserver {
public:
    WidgetObserver() {
        overall.setRange(0, 100);
        single.setRange(0, 100);
        window.resize(400, 200);
        window.show();
        overall.setParent(&window);
        single.setParent(&window);
        multiText.setParent(&window);
        singleText.setParent(&window);
        caption.setParent(&window);
        status.setParent(&window);
    }
    int overallProgressValue() const override { return overall.value(); }
    void setOverallProgressValue(int value) override { overall.setValue(value); }
    void fileProgress(const CopyProgress& p) override {
        single.setValue(p.fileValue());
        overall.setValue(p.overallValue());
        if (!p.eventsRan) return;
        singleText.setText(p.fileText());
        multiText.setText(p.overallText());
    }
    QString captionText() const override { return caption.text(); }
    void setCaptionText(const QString& text) override { caption.setText(text); }
    QString statusLine() const override { return status.text(); }
    void setStatusLine(const QString& text) override { status.setText(text); }
    void showStatusWindow(const QString& tag) override {
        frm_CommandStatus* w = frm_CommandStatus::load();
        w->setTagText(tag);
        w->lbl_Progress->show();
        w->show();
    }
    void statusWindowProgress(const CopyProgress& p) override {
        frm_CommandStatus* w = frm_CommandStatus::current();
        if (!w) return;
        w->setProgressValue(p.fileValue());
        if (p.eventsRan) w->setProgressText(p.statusLine());
    }
    void closeStatusWindow() override { frm_CommandStatus::unload(); }
    void showRowProgress(int) override { single.setValue(0); }
    void hideRowProgress() override {}
    void scrollToRow(int) override {}
    void setListEnabled(bool) override {}
    void focusList() override {}
    void updateSelectionSummary() override {
        if (summary) summary();
    }
    void applyControlStates() override {}
    void enableCancelButton() override {}
    void setCancelLook(CancelLook) override {}
    bool pauseChecked() const override { return false; }
    void setPauseChecked(bool) override {}
    void focusRunShortcut() override {}
    void pressExit() override {}
    void stopTimers(int) override {}
    void startTimers(int) override {}

    std::function<void()> summary;
    QWidget window;
    QProgressBar overall, single;
    QLabel multiText, singleText, caption, status;
};

bool writeFile(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray block(1 << 20, '\0');
    for (int i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
    for (qint64 done = 0; done < size; done += block.size())
        file.write(block.constData(), std::min<qint64>(block.size(), size - done));
    return file.flush();
}

void warm(const QString& path) {
    QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"),
                                             QStringLiteral("cat \"$0\" > /dev/null"), path});
}

double timeCommand(const QString& program, const QStringList& arguments) {
    QElapsedTimer clock;
    clock.start();
    QProcess::execute(program, arguments);
    return clock.nsecsElapsed() / 1e9;
}

// One catalog with an entry per source, filled into the list, every row selected, one run.
double timeRun(const QString& catalog, const QStringList& sources, const QString& folder) {
    {
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
    }
    QDir().mkpath(folder);
    QuietView view;
    CatalogController controller(view);
    controller.createColumns({2000, 2000, 500, 500, 500, 500, 500});
    controller.mOpenDB(catalog);
    controller.model().selectAll(true);
    WidgetObserver observer;
    observer.summary = [&] {
        controller.mUpdateSelectionSummary();
        observer.status.setText(view.summary);
    };
    QElapsedTimer clock;
    clock.start();
    runBackup(controller.model(), controller.rset_Record(), observer);
    const double seconds = clock.nsecsElapsed() / 1e9;
    controller.closeCatalog();
    resetCatalogState();
    return seconds;
}

void report(const char* name, double value, const char* baseline, double base) {
    std::printf("%s: %.3f s; baseline %s: %.3f s; ratio %.2f\n", name, value, baseline, base,
                value / base);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    gShowStatus = true;
    gHostName = QStringLiteral("bench");
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-XXXXXX"));
    const QString base = dir.path();

    // One large file.
    const qint64 big = qEnvironmentVariableIntValue("BRAVEL_BENCH_BIG_MIB") > 0
                           ? qEnvironmentVariableIntValue("BRAVEL_BENCH_BIG_MIB") * (1LL << 20)
                           : (1LL << 30);
    const QString bigFile = base + QStringLiteral("/big.bin");
    writeFile(bigFile, big);
    warm(bigFile);
    const double cp = timeCommand(QStringLiteral("cp"), {bigFile, base + QStringLiteral("/cp.bin")});
    QFile::remove(base + QStringLiteral("/cp.bin"));
    const double run = timeRun(base + QStringLiteral("/big.bvk"), {bigFile}, base + QStringLiteral("/run-big"));
    report("run_1gib", run, "cp", cp);

    // Many small files.
    const QString many = base + QStringLiteral("/many");
    QDir().mkpath(many);
    QStringList sources;
    for (int i = 0; i < 10000; ++i) {
        const QString file = many + QStringLiteral("/f%1.bin").arg(i, 5, 10, QLatin1Char('0'));
        writeFile(file, 10 * 1024);
        sources << file;
    }
    warm(many + QStringLiteral("/f00000.bin"));
    QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("cat \"$0\"/* > /dev/null"), many});
    const double cpr = timeCommand(QStringLiteral("cp"), {QStringLiteral("-r"), many, base + QStringLiteral("/cp-many")});
    const double rsync = timeCommand(QStringLiteral("rsync"), {QStringLiteral("-a"), many + QLatin1Char('/'), base + QStringLiteral("/rsync-many/")});
    const double runMany = timeRun(base + QStringLiteral("/many.bvk"), sources, base + QStringLiteral("/run-many"));
    report("run_10000x10kib", runMany, "cp -r", cpr);
    report("run_10000x10kib", runMany, "rsync -a", rsync);
    return 0;
}
