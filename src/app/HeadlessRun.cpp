#include "app/HeadlessRun.h"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "app/TerminalRunObserver.h"
#include "backup/BackupRun.h"
#include "backup/RunReport.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "base/RunState.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "errors/COLError.h"
#include "listtools/ListSearch.h"
#include "platform/DesktopNotification.h"
#include "platform/FileSystem.h"
#include "platform/SystemActions.h"
#include "platform/TerminalDialogs.h"
#include "platform/TerminationSignals.h"
#include "settings/SettingKeys.h"

namespace bravel {
namespace {

void print(std::FILE* out, const QString& text) {
    std::fprintf(out, "%s\n", text.toLocal8Bit().constData());
    std::fflush(out);
}

QString programName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

// The list's window parts that a run without a window does not have.
class HeadlessView : public MainView {
  public:
    void showOverlay(const QString&, bool) override {}
    void setRecordCountText(const QString&) override {}
    void setListVisible(bool) override {}
    void setDetailTexts(const QString&, const QString&) override {}
    void autoSizeColumns() override {}
    void scrollToRow(int) override {}
    void setSummaryText(const QString&) override {}
    void applyControlStates(const ControlStates&) override {}
    void showRecentEntries(const std::array<QString, 9>&) override {}
    void closeToolTip() override {}
};

// Logging off, restarting or shutting down after a run is the business of whoever started the
// run without a window (a timer can chain the command); it is noted instead.
class NotedSystemActions : public SystemActions {
  public:
    explicit NotedSystemActions(RunReport& report) : report_(report) {}
    void logOff() override { note(QStringLiteral("Abmelden")); }
    void restart() override { note(QStringLiteral("Neustart")); }
    void shutDown() override { note(QStringLiteral("Herunterfahren")); }

  private:
    void note(const QString& action) {
        const QString text = QStringLiteral("Aktion nach der Sicherung (") + action +
                             QStringLiteral(") wird ohne Fenster nicht ausgeführt.");
        report_.note(text);
        print(stderr, text);
    }
    RunReport& report_;
};

QString selectionText(const RunRequest& options) {
    return options.match ? QStringLiteral("Suche \"") + *options.match + QLatin1Char('"')
                         : QStringLiteral("alle Einträge");
}

class HeadlessRun {
  public:
    explicit HeadlessRun(const RunRequest& options)
        : options_(options),
          report_(gProductName + QLatin1Char(' ') + gVersion +
                      QStringLiteral(": Sicherung ohne Fenster"),
                  fs::absolutePath(options.catalog), selectionText(options)),
          actions_(report_),
          controller_(view_) {
        setDialogs(&dialogs_);
        setSystemActions(&actions_);
        QObject::connect(&signals_, &TerminationSignals::arrived, [] {
            // The copy stops at its next chunk, the run before its next entry.
            gAbort = true;
            gCancel = true;
        });
        if (!report_.logError().isEmpty())
            print(stderr,
                  QStringLiteral("Protokoll kann nicht geschrieben werden: ") + report_.logError());
    }

    int exec() {
        controller_.createColumns({});
        controller_.mOpenDB(options_.catalog);
        controller_.stopTimers();
        if (!gDBOpen || !controller_.rset_Record()) return cannotOpen();
        selectEntries();
        controller_.mUpdateSelectionSummary();
        report_.selected(gSelCount, gSelTotal);
        if (gSelCount == 0)
            print(stderr, QStringLiteral("Kein Eintrag ausgewählt: ") + selectionText(options_));
        const bool isTerminal = ::isatty(::fileno(stdout)) == 1;
        TerminalRunObserver observer(controller_, report_, stdout, isTerminal, options_.quiet);
        if (!signals_.received())
            runBackup(controller_.model(), controller_.rset_Record(), observer, backupOptions());
        observer.endProgressLine();
        controller_.closeCatalog();
        return finish(exitCode());
    }

  private:
    // The setup window's run options, with what the command line adds.
    bravel::RunOptions backupOptions() const {
        bravel::RunOptions backup = runOptionsFromSettings();
        backup.changedOnly = backup.changedOnly || options_.changed;
        backup.copy.verify = backup.copy.verify || options_.verify;
        if (options_.versions) backup.copy.keepVersions = *options_.versions;
        return backup;
    }

    void selectEntries() {
        CatalogListModel& model = controller_.model();
        if (!options_.match) {
            model.selectAll(true);
            return;
        }
        int allColumns = 0;
        readInteger(keys::chk_SearchInAllCols, allColumns);
        gSearchList(model, *options_.match, allColumns != 0);
    }

    int exitCode() const {
        if (signals_.received()) return exitcode::kCancelled;
        return report_.anyFailure() ? exitcode::kSomeNotSaved : exitcode::kAllSaved;
    }

    int cannotOpen() {
        QStringList reasons;
        for (int i = 1; i <= gErrorStack.Count(); ++i)
            if (const auto record = gErrorStack.Item(i))
                reasons << QString::number(record->ErrNumber()) + QLatin1Char(' ') +
                               record->ErrDescr();
        const QString text =
            QStringLiteral("Katalog kann nicht geöffnet werden: ") + oneLine(options_.catalog) +
            (reasons.isEmpty()
                 ? QString()
                 : QStringLiteral(" (") + reasons.join(QStringLiteral("; ")) + QLatin1Char(')'));
        print(stderr, text);
        report_.note(text);
        controller_.closeCatalog();
        report_.finish(exitcode::kCannotStart);
        showDesktopNotification(QStringLiteral("Sicherung beendet"), text, true);
        return exitcode::kCannotStart;
    }

    int finish(int code) {
        report_.finish(code);
        const QString totals =
            oneLine(fs::fileNameOf(options_.catalog)) + QStringLiteral(": ") + report_.totalsText();
        if (!options_.quiet)
            print(stdout,
                  totals + QStringLiteral(" (Protokoll: ") + report_.logPath() + QLatin1Char(')'));
        showDesktopNotification(QStringLiteral("Sicherung beendet"), totals, report_.anyFailure());
        return code;
    }

    const RunRequest& options_;
    TerminalDialogs dialogs_;
    TerminationSignals signals_;
    RunReport report_;
    NotedSystemActions actions_;
    HeadlessView view_;
    CatalogController controller_;
};

void prepareProgramValues(const RunRequest& options) {
    gInitCrLf();
    fillIdentityValues();
    gHostName = gGetComputerName();
    gShowStatus = false;  // no status window without a window
    gCopyAttributes = options.attributes;
}

}  // namespace

// --schedule: 0 when the timer runs (or is off), 1 when it could not be enabled or written, 2 for
// a catalog that is not there.
static int setSchedule(const CommandLine& line) {
    if (line.schedule.frequency != schedule::Frequency::Off && !fs::isRegularFile(line.catalog)) {
        print(stderr,
              programName() + QStringLiteral(": Katalog nicht gefunden: ") + oneLine(line.catalog));
        return exitcode::kCannotStart;
    }
    const schedule::Outcome outcome = schedule::applySchedule(
        line.catalog, QCoreApplication::applicationFilePath(), line.schedule);
    const bool fine =
        outcome == schedule::Outcome::Enabled || outcome == schedule::Outcome::Removed;
    print(fine ? stdout : stderr, schedule::outcomeMessage(outcome, line.schedule));
    return fine ? exitcode::kAllSaved : exitcode::kSomeNotSaved;
}

int runWithoutWindow(int& argc, char** argv, const CommandLine& line) {
    // A reader that went away (`bravel --run k | head`) must not end the run in the middle of a
    // copy: writing to it fails instead.
    ::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    fillIdentityValues();
    switch (line.mode) {
        case CommandLineMode::Help:
            std::fputs(helpText(programName()).toLocal8Bit().constData(), stdout);
            return 0;
        case CommandLineMode::Version:
            print(stdout, versionLine());
            return 0;
        case CommandLineMode::Run:
            break;
        case CommandLineMode::Schedule:
            return setSchedule(line);
        default:
            print(stderr, programName() + QStringLiteral(": ") + line.error);
            print(stderr, QStringLiteral("Aufruf: ") + programName() + QStringLiteral(" --help"));
            return exitcode::kCannotStart;
    }
    prepareProgramValues(line.run);
    return HeadlessRun(line.run).exec();
}

}  // namespace bravel
