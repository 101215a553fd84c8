// The real program run without a window (`bravel --run`), without any display: what it copies,
// what it writes into the catalog and the run log, its exit codes, a SIGTERM in the middle of a
// large copy, an open window on the same catalog, and the notification on a private session bus.
#include <signal.h>
#include <sys/stat.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QVariantMap>

#include "../faults/FaultSupport.h"
#include "CatalogLock.h"
#include "app/HeadlessRun.h"
#include "backup/Copy.h"
#include "backup/RunReport.h"
#include "platform/SystemInfo.h"

namespace bravel::test {
namespace {

struct Finished {
    int code = -1;
    QString out;
    QString err;
};

class HeadlessRunTest : public ProgramRunTest {
  protected:
    void SetUp() override {
        ProgramRunTest::SetUp();
        busAddress = QStringLiteral("unix:path=") + home + QStringLiteral("/no-bus");
    }

    // Without DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM: no window system at all.
    QProcessEnvironment environment() const { return programEnvironment(busAddress); }

    void start(QProcess& program, const QStringList& arguments) const {
        program.setProcessEnvironment(environment());
        program.start(QStringLiteral(BRAVEL_BINARY), arguments);
        ASSERT_TRUE(program.waitForStarted(10000));
    }

    // Events run meanwhile, so that a fake service in this process can answer the program.
    Finished finish(QProcess& program, int timeoutMs = 120000) const {
        waitUntil([&] { return program.state() == QProcess::NotRunning; }, timeoutMs);
        Finished result;
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
            ADD_FAILURE() << "the program did not end";
            return result;
        }
        result.code = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
        result.out = QString::fromUtf8(program.readAllStandardOutput());
        result.err = QString::fromUtf8(program.readAllStandardError());
        return result;
    }

    Finished bravel(const QStringList& arguments) const {
        QProcess program;
        start(program, arguments);
        return finish(program);
    }

    // 256 MiB of data: a hole would be copied at once, and a copy over before the test looked
    // could not be stopped in; data takes a few hundred chunks even on a fast disk.
    QString largeSource(const QString& name) {
        QDir().mkpath(path(QStringLiteral("src")));
        QFile file(path(QStringLiteral("src/") + name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 256; ++i) EXPECT_EQ(file.write(block), block.size());
        return file.fileName();
    }

    QString logFolder() const { return home + QStringLiteral("/state/quillfen/bravel"); }
    QStringList logs() const {
        QStringList names =
            QDir(logFolder()).entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
        return names;
    }
    QString newestLog() const {
        const QStringList names = logs();
        return names.isEmpty()
                   ? QString()
                   : QString::fromUtf8(readFile(logFolder() + QLatin1Char('/') + names.last()));
    }

    QString busAddress;
};

std::string show(const Finished& f) {
    return ("exit " + QString::number(f.code) + "\nstdout:\n" + f.out + "\nstderr:\n" + f.err)
        .toStdString();
}

TEST_F(HeadlessRunTest, EveryEntryIsBackedUpRecordedAndLogged) {
    const QString plain = source(QStringLiteral("brief.txt"), 5000, 1);
    const QString blanks = source(QStringLiteral(" Grüße mit Blank .txt"), 70000, 2);
    const QString newline = source(QStringLiteral("zwei\nZeilen.txt"), 10, 3);
    const QString folder = path(QStringLiteral("sicherung/neu angelegt"));
    makeProgramCatalog(
        {{plain, folder}, {blanks, folder}, {newline, path(QStringLiteral("sicherung/b"))}});

    const Finished run = bravel({QStringLiteral("--run"), catalog});
    ASSERT_EQ(run.code, exitcode::kAllSaved) << show(run);

    EXPECT_EQ(readFile(folder + QStringLiteral("/brief.txt")), patterned(5000, 1));
    EXPECT_EQ(readFile(folder + QStringLiteral("/ Grüße mit Blank .txt")), patterned(70000, 2));
    EXPECT_EQ(readFile(path(QStringLiteral("sicherung/b/zwei\nZeilen.txt"))), patterned(10, 3));
    const QString host = computerName();
    for (const StoredRecord& record : storedRecords()) {
        EXPECT_TRUE(record.status.startsWith(QStringLiteral("gesichert (")))
            << record.status.toStdString();
        EXPECT_TRUE(record.hostStatus.startsWith(host)) << record.hostStatus.toStdString();
        EXPECT_GT(record.size, 0);
    }
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));

    // Not a terminal: one line per entry in the list's order, the name with the newline kept on
    // its line.
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << show(run);
    EXPECT_EQ(lines[0], QStringLiteral("gesichert: ") + blanks);
    EXPECT_EQ(lines[1], QStringLiteral("gesichert: ") + plain);
    EXPECT_EQ(lines[2],
              QStringLiteral("gesichert: ") + path(QStringLiteral("src/zwei\\nZeilen.txt")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("3 gesichert, 0 nicht gesichert")));

    ASSERT_EQ(logs().size(), 1);
    const QString log = newestLog();
    EXPECT_TRUE(log.contains(QStringLiteral("Katalog: ") + catalog)) << log.toStdString();
    EXPECT_TRUE(
        log.contains(QStringLiteral("gesichert: ") + blanks + QStringLiteral(" -> ") + folder))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Ausgewählte Einträge: 3 (")));
    EXPECT_TRUE(log.contains(QStringLiteral("Fehler des Laufs:\n  keine\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("Summe: 3 gesichert, 0 nicht gesichert")));
    EXPECT_TRUE(log.endsWith(QStringLiteral("Exitcode: 0\n"))) << log.toStdString();
}

TEST_F(HeadlessRunTest, MatchSelectsWhatTheListSearchSelectsAndAttributesAreCarriedOver) {
    const QString letter = source(QStringLiteral("Brief an Anna.txt"), 100, 1);
    const QString bill = source(QStringLiteral("rechnung.txt"), 100, 2);
    const QString other = source(QStringLiteral("foto.jpg"), 100, 3);
    ASSERT_TRUE(QFile::setPermissions(bill, QFile::ReadOwner | QFile::ReadGroup));
    const QString folder = path(QStringLiteral("sicherung"));
    makeProgramCatalog({{letter, folder}, {bill, folder}, {other, folder}});

    const Finished run = bravel({QStringLiteral("--run"), catalog, QStringLiteral("--match"),
                                 QStringLiteral("BRIEF|rechn"), QStringLiteral("--attributes"),
                                 QStringLiteral("--quiet")});
    ASSERT_EQ(run.code, exitcode::kAllSaved) << show(run);
    EXPECT_TRUE(run.out.isEmpty()) << "quiet and nothing failed: " << show(run);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/Brief an Anna.txt")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/rechnung.txt")));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/foto.jpg")));
    EXPECT_EQ(QFileInfo(folder + QStringLiteral("/rechnung.txt")).permissions() &
                  (QFile::WriteOwner | QFile::ReadGroup),
              QFile::ReadGroup)
        << "--attributes carries the read-only mark over";
    EXPECT_TRUE(storedRecord(other).status.isEmpty());
    EXPECT_TRUE(newestLog().contains(QStringLiteral("Auswahl: Suche \"BRIEF|rechn\"")));

    // A search that matches nothing selects nothing: said on standard error, nothing copied.
    const Finished none =
        bravel({QStringLiteral("--run"), catalog, QStringLiteral("--match=gibt es nicht")});
    EXPECT_EQ(none.code, exitcode::kAllSaved) << show(none);
    EXPECT_TRUE(none.err.contains(QStringLiteral("Kein Eintrag ausgewählt"))) << show(none);
    EXPECT_TRUE(none.out.contains(QStringLiteral("0 gesichert, 0 nicht gesichert"))) << show(none);
}

TEST_F(HeadlessRunTest, AMissingSourceEndsWithOneAndTheLogNamesIt) {
    const QString good = source(QStringLiteral("da.txt"), 300, 1);
    const QString gone = path(QStringLiteral("src/weg.txt"));
    const QString folder = path(QStringLiteral("sicherung"));
    makeProgramCatalog({{gone, folder}, {good, folder}});

    const Finished run = bravel({QStringLiteral("--run"), catalog, QStringLiteral("--quiet")});
    ASSERT_EQ(run.code, exitcode::kSomeNotSaved) << show(run);
    EXPECT_EQ(run.out, QStringLiteral("nicht gesichert: ") + gone +
                           QStringLiteral(" (Quelldatei existiert nicht)\n"))
        << "quiet: the failure alone";
    EXPECT_EQ(readFile(folder + QStringLiteral("/da.txt")), patterned(300, 1));
    EXPECT_TRUE(storedRecord(good).status.startsWith(QStringLiteral("gesichert (")));
    EXPECT_TRUE(storedRecord(gone).status.isEmpty());

    const QString log = newestLog();
    EXPECT_TRUE(
        log.contains(QStringLiteral("nicht gesichert: ") + gone + QStringLiteral(" -> ") + folder))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Summe: 1 gesichert, 1 nicht gesichert")));
    EXPECT_TRUE(log.endsWith(QStringLiteral("Exitcode: 1\n")));
}

TEST_F(HeadlessRunTest, ACopyThatFailsIsNamedWithItsErrorRecord) {
    const QString good = source(QStringLiteral("a.txt"), 300, 1);
    // The backup folder's place is taken by a file: the folder cannot be created.
    const QString blocked = path(QStringLiteral("belegt"));
    ASSERT_TRUE(writeFile(blocked, "x"));
    makeProgramCatalog({{good, blocked + QStringLiteral("/unter")}});

    const Finished run = bravel({QStringLiteral("--run"), catalog});
    ASSERT_EQ(run.code, exitcode::kSomeNotSaved) << show(run);
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("nicht gesichert: ") + good +
                                   QStringLiteral(" (Pfad konnte nicht angelegt werden.; ")))
        << show(run);
    EXPECT_TRUE(newestLog().contains(QStringLiteral("b_gCreatePath"))) << newestLog().toStdString();
}

TEST_F(HeadlessRunTest, WhatIsNoCatalogEndsWithTwoAndStaysAsItWas) {
    const QString text = path(QStringLiteral("kein Katalog.bvk"));
    ASSERT_TRUE(writeFile(text, "Das ist ein Brief, keine Datenbank.\n"));
    const QDateTime modified = QFileInfo(text).lastModified();

    const Finished run = bravel({QStringLiteral("--run"), text});
    EXPECT_EQ(run.code, exitcode::kCannotStart) << show(run);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Katalog kann nicht geöffnet werden: ") + text))
        << show(run);
    EXPECT_EQ(readFile(text), QByteArray("Das ist ein Brief, keine Datenbank.\n"));
    EXPECT_EQ(QFileInfo(text).lastModified(), modified);
    EXPECT_EQ(QDir(dir.path())
                  .entryList({QStringLiteral("kein Katalog.bvk*")}, QDir::Files | QDir::Hidden)
                  .size(),
              1)
        << "no journal or WAL file beside it";
    EXPECT_TRUE(newestLog().endsWith(QStringLiteral("Exitcode: 2\n")));

    const Finished missing =
        bravel({QStringLiteral("--run"), path(QStringLiteral("gibt es nicht.bvk"))});
    EXPECT_EQ(missing.code, exitcode::kCannotStart) << show(missing);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("gibt es nicht.bvk"))));
}

TEST_F(HeadlessRunTest, WrongArgumentsEndWithTwoAndHelpAndVersionNeedNoDisplay) {
    for (const QStringList& wrong :
         {QStringList{QStringLiteral("--run")}, QStringList{QStringLiteral("--bogus")},
          QStringList{QStringLiteral("--quiet")},
          QStringList{QStringLiteral("--run"), QStringLiteral("a.bvk"), QStringLiteral("b.txt")}}) {
        const Finished run = bravel(wrong);
        EXPECT_EQ(run.code, exitcode::kCannotStart) << show(run);
        EXPECT_TRUE(run.err.contains(QStringLiteral("--help"))) << show(run);
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_TRUE(logs().isEmpty()) << "a wrong command line is no run";

    const Finished help = bravel({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0) << show(help);
    EXPECT_TRUE(help.out.contains(QStringLiteral("KATALOG /open/")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("--run KATALOG")));
    const Finished version = bravel({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0) << show(version);
    EXPECT_EQ(version.out, QStringLiteral("Bravel 1.02.15\n"));
}

TEST_F(HeadlessRunTest, SigtermInALargeCopyKeepsTheOlderCopyAndTheFinishedRecords) {
    const QString small = source(QStringLiteral("a-klein.txt"), 2000, 1);  // first in the list
    const QString large = largeSource(QStringLiteral("gross.img"));
    const QString folder = path(QStringLiteral("sicherung"));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/gross.img"), "die ältere Kopie"));
    makeProgramCatalog({{small, folder}, {large, folder}});

    QProcess program;
    start(program, {QStringLiteral("--run"), catalog});
    auto tempFiles = [&] {
        return QDir(folder).entryList({copyTempPrefix() + QLatin1Char('*')},
                                      QDir::Files | QDir::Hidden);
    };
    // Stopped while its temporary file exists after the small copy arrived, the program is surely
    // in the middle of the large copy (the small one's temporary file may be seen first).
    ASSERT_TRUE(waitUntil(
        [&] {
            return QFileInfo::exists(folder + QStringLiteral("/a-klein.txt")) &&
                   !tempFiles().isEmpty();
        },
        60000))
        << "the large copy never started";
    ::kill(static_cast<pid_t>(program.processId()), SIGSTOP);
    ASSERT_FALSE(tempFiles().isEmpty());
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ::kill(static_cast<pid_t>(program.processId()), SIGCONT);
    const Finished run = finish(program);

    EXPECT_EQ(run.code, exitcode::kCancelled) << show(run);
    EXPECT_EQ(readFile(folder + QStringLiteral("/gross.img")), QByteArray("die ältere Kopie"));
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_TRUE(storedRecord(small).status.startsWith(QStringLiteral("gesichert (")))
        << "the finished entry keeps its record";
    EXPECT_TRUE(storedRecord(large).status.isEmpty());
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("abgebrochen: ") + large +
                         QStringLiteral(" (durch ein Signal abgebrochen, ältere Kopie behalten")))
        << show(run);
    const QString log = newestLog();
    EXPECT_TRUE(log.contains(QStringLiteral("Benutzerunterbrechung"))) << log.toStdString();
    EXPECT_TRUE(log.endsWith(QStringLiteral("Exitcode: 3\n"))) << log.toStdString();
}

TEST_F(HeadlessRunTest, ARunBesideAnOpenWindowOnTheSameCatalogAndTheWindowEndsOnSigterm) {
    const QString a = source(QStringLiteral("a.txt"), 1000, 1);
    const QString b = source(QStringLiteral("b.txt"), 1000, 2);
    const QString folder = path(QStringLiteral("sicherung"));
    makeProgramCatalog({{a, folder}, {b, folder}});

    QProcess window;
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    window.setProcessEnvironment(env);
    window.start(QStringLiteral(BRAVEL_BINARY), {catalog, QStringLiteral("/open/")});
    ASSERT_TRUE(window.waitForStarted(10000));
    const QString settings = home + QStringLiteral("/cfg/quillfen/bravel.ini");
    // The window's load writes the program's path first; the window's geometry only when it ends.
    ASSERT_TRUE(waitUntil([&] { return readFile(settings).contains("appexelocal"); }, 20000));
    ASSERT_EQ(window.state(), QProcess::Running);
    ASSERT_FALSE(readFile(settings).contains("main_left"));

    const Finished run = bravel({QStringLiteral("--run"), catalog});
    EXPECT_EQ(run.code, exitcode::kAllSaved) << show(run);
    EXPECT_TRUE(storedRecord(a).status.startsWith(QStringLiteral("gesichert (")));
    EXPECT_TRUE(storedRecord(b).status.startsWith(QStringLiteral("gesichert (")));
    EXPECT_EQ(window.state(), QProcess::Running);

    // The idle window closes on SIGTERM as Exit does: catalog closed, settings written.
    ::kill(static_cast<pid_t>(window.processId()), SIGTERM);
    const Finished closed = finish(window);
    EXPECT_EQ(closed.code, 0) << show(closed);
    EXPECT_TRUE(readFile(settings).contains("main_left")) << readFile(settings).toStdString();
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
    EXPECT_FALSE(QFile::exists(catalog + QStringLiteral("-wal")) &&
                 QFileInfo(catalog + QStringLiteral("-wal")).size() > 0)
        << "closed properly: the WAL was checkpointed";
}

TEST_F(HeadlessRunTest, SigtermWhileTheWindowLoadsEndsItThoughADialogWaitsForAPerson) {
    // A foreign SQLite file: the load says that the table could not be opened and waits for OK.
    const QString foreign = path(QStringLiteral("fremd.bvk"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fremd"));
    db.setDatabaseName(foreign);
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("CREATE TABLE x(a)")));
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("fremd"));

    const QString settings = home + QStringLiteral("/cfg/quillfen/bravel.ini");
    for (const int delayMs : {0, 1500}) {  // before the dialog opens and while it waits
        QFile::remove(settings);
        QProcess window;
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        window.setProcessEnvironment(env);
        window.start(QStringLiteral(BRAVEL_BINARY), {foreign, QStringLiteral("/open/")});
        ASSERT_TRUE(window.waitForStarted(10000));
        ASSERT_TRUE(waitUntil([&] { return readFile(settings).contains("appexelocal"); }, 20000));
        QThread::msleep(static_cast<unsigned long>(delayMs));
        ::kill(static_cast<pid_t>(window.processId()), SIGTERM);
        const Finished closed = finish(window, 30000);
        EXPECT_EQ(closed.code, 0) << "delay " << delayMs << ": " << show(closed);
    }
}

TEST_F(HeadlessRunTest, SigtermInTheWindowsRunStopsTheCopyAndClosesTheWindow) {
    const QString large = largeSource(QStringLiteral("gross.img"));
    const QString folder = path(QStringLiteral("sicherung"));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/gross.img"), "die ältere Kopie"));
    makeProgramCatalog({{large, folder}});
    const QString settings = home + QStringLiteral("/cfg/quillfen/bravel.ini");
    ASSERT_TRUE(writeFile(settings,
                          (QStringLiteral("[bravel]\nsetup_chk_autostart=1\nsetup_txt_autostart=") +
                           catalog + QStringLiteral("\nsetup_opt_autocopyall=True\n"))
                              .toUtf8()));

    QProcess window;
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    window.setProcessEnvironment(env);
    window.start(QStringLiteral(BRAVEL_BINARY), QStringList());
    ASSERT_TRUE(window.waitForStarted(10000));
    auto tempFiles = [&] {
        return QDir(folder).entryList({copyTempPrefix() + QLatin1Char('*')},
                                      QDir::Files | QDir::Hidden);
    };
    ASSERT_TRUE(waitUntil([&] { return !tempFiles().isEmpty(); }, 60000))
        << "the automatic run never started";
    ::kill(static_cast<pid_t>(window.processId()), SIGSTOP);
    ASSERT_FALSE(tempFiles().isEmpty());
    ::kill(static_cast<pid_t>(window.processId()), SIGTERM);
    ::kill(static_cast<pid_t>(window.processId()), SIGCONT);
    const Finished closed = finish(window);

    EXPECT_EQ(closed.code, 0) << show(closed);
    EXPECT_EQ(readFile(folder + QStringLiteral("/gross.img")), QByteArray("die ältere Kopie"));
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_TRUE(storedRecord(large).status.isEmpty());
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
    EXPECT_TRUE(readFile(settings).contains("main_left"))
        << "closed as Exit closes: settings written";
    EXPECT_TRUE(newestLog().contains(QStringLiteral("abgebrochen: ") + large))
        << newestLog().toStdString();
    EXPECT_TRUE(newestLog().endsWith(QStringLiteral("Exitcode: 3\n"))) << newestLog().toStdString();
}

TEST_F(HeadlessRunTest, AReaderThatGoesAwayDoesNotEndTheRun) {
    std::vector<CatalogEntry> entries;
    for (int i = 0; i < 200; ++i)
        entries.push_back(
            {source(QStringLiteral("f%1.txt").arg(i, 3, 10, QLatin1Char('0')), 100, i),
             path(QStringLiteral("s"))});
    makeProgramCatalog(entries);
    QProcess shell;
    shell.setProcessEnvironment(environment());
    // The pipe's reader ends at once; the run's lines then go nowhere.
    shell.start(
        QStringLiteral("bash"),
        {QStringLiteral("-c"), QStringLiteral("\"$0\" --run \"$1\" | true; echo ${PIPESTATUS[0]}"),
         QStringLiteral(BRAVEL_BINARY), catalog});
    ASSERT_TRUE(shell.waitForStarted(10000));
    const Finished run = finish(shell);
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("0")) << show(run);
    EXPECT_EQ(QDir(path(QStringLiteral("s"))).entryList(QDir::Files).size(), 200);
    EXPECT_TRUE(newestLog().endsWith(QStringLiteral("Exitcode: 0\n")));
}

TEST_F(HeadlessRunTest, OnATerminalOneLineShowsTheProgressAndFailuresStandAbove) {
    if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
        GTEST_SKIP() << "script (util-linux) is not installed";
    const QString good = source(QStringLiteral("gut.txt"), 100000, 1);
    const QString gone = path(QStringLiteral("src/weg.txt"));
    makeProgramCatalog({{good, path(QStringLiteral("s"))}, {gone, path(QStringLiteral("s"))}});
    QProcess terminal;
    terminal.setProcessEnvironment(environment());
    // script runs the program on a pseudo-terminal of its own and passes its exit code on.
    terminal.start(QStringLiteral("script"),
                   {QStringLiteral("-qec"),
                    QStringLiteral("'%1' --run '%2'").arg(QStringLiteral(BRAVEL_BINARY), catalog),
                    QStringLiteral("/dev/null")});
    ASSERT_TRUE(terminal.waitForStarted(10000));
    const Finished run = finish(terminal);
    EXPECT_EQ(run.code, exitcode::kSomeNotSaved) << show(run);
    EXPECT_TRUE(run.out.contains(QStringLiteral("\r[0/2] "))) << show(run);
    EXPECT_TRUE(run.out.contains(QStringLiteral("\x1b[K"))) << show(run);
    EXPECT_TRUE(run.out.contains(QStringLiteral("/s  "))) << "a rate: " << show(run);
    EXPECT_TRUE(run.out.contains(QStringLiteral("nicht gesichert: ") + gone)) << show(run);
    EXPECT_FALSE(run.out.contains(QStringLiteral("gesichert: ") + good))
        << "saved entries only in the progress line";
    EXPECT_TRUE(run.out.contains(QStringLiteral("1 gesichert, 1 nicht gesichert"))) << show(run);
}

TEST_F(HeadlessRunTest, TheLastHundredLogsAreKept) {
    const QString a = source(QStringLiteral("a.txt"), 10, 1);
    makeProgramCatalog({{a, path(QStringLiteral("sicherung"))}});
    QDir().mkpath(logFolder());
    for (int i = 0; i < 105; ++i)
        ASSERT_TRUE(writeFile(logFolder() + QStringLiteral("/sicherung-20200101-0000%1-000-1.log")
                                                .arg(i, 3, 10, QLatin1Char('0')),
                              "alt"));
    ASSERT_TRUE(writeFile(logFolder() + QStringLiteral("/notizen.txt"), "bleibt"));

    const Finished run = bravel({QStringLiteral("--run"), catalog});
    ASSERT_EQ(run.code, 0) << show(run);
    const QStringList kept = logs();
    EXPECT_EQ(kept.size(), kKeptRunLogs);
    EXPECT_FALSE(kept.contains(QStringLiteral("sicherung-20200101-0000005-000-1.log")));
    EXPECT_TRUE(kept.contains(QStringLiteral("sicherung-20200101-0000006-000-1.log")));
    EXPECT_TRUE(newestLog().contains(QStringLiteral("Exitcode: 0")));
    EXPECT_TRUE(QFile::exists(logFolder() + QStringLiteral("/notizen.txt")));
}

}  // namespace
}  // namespace bravel::test

namespace bravel::test {
namespace {

TEST_F(HeadlessRunTest, OnlyChangedVerifiedAndVersionedFromTheCommandLine) {
    const QString letter = source(QStringLiteral("brief.txt"), 5000, 1);
    ASSERT_TRUE(fs::setModificationTime(letter, kRunNow));
    makeProgramCatalog({{letter, path(QStringLiteral("bak"))}});
    const QStringList options{QStringLiteral("--run"), catalog, QStringLiteral("--changed"),
                              QStringLiteral("--verify"), QStringLiteral("--versions=2")};
    ASSERT_EQ(bravel(options).code, exitcode::kAllSaved);

    const Finished again = bravel(options);
    ASSERT_EQ(again.code, exitcode::kAllSaved) << show(again);
    EXPECT_TRUE(again.out.startsWith(QStringLiteral("unverändert: ") + letter)) << show(again);
    EXPECT_TRUE(again.out.contains(QStringLiteral("0 gesichert, 0 nicht gesichert, 1 unverändert")))
        << show(again);
    EXPECT_TRUE(newestLog().contains(QStringLiteral("unverändert: ") + letter));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("bak/.bravel-versions"))));

    ASSERT_TRUE(writeFile(letter, "neu"));
    ASSERT_EQ(bravel(options).code, exitcode::kAllSaved);
    EXPECT_EQ(readFile(path(QStringLiteral("bak/brief.txt"))), QByteArray("neu"));
    EXPECT_EQ(readFile(path(QStringLiteral("bak/.bravel-versions/brief 2025-03-15 102030.txt"))),
              patterned(5000, 1));

    const Finished wrong = bravel(
        {QStringLiteral("--run"), catalog, QStringLiteral("--versions"), QStringLiteral("viele")});
    EXPECT_EQ(wrong.code, exitcode::kCannotStart);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("Zu --versions gehört eine Anzahl")))
        << show(wrong);
}

TEST_F(HeadlessRunTest, OnlyChangedCopiesAndRecordsAnEntryNoRunHasRecorded) {
    const QString letter = source(QStringLiteral("brief.txt"), 5000, 1);
    ASSERT_TRUE(fs::setModificationTime(letter, kRunNow));
    makeProgramCatalog({{letter, path(QStringLiteral("bak"))}});
    // A current copy that no run of this catalog made (copied by hand, or by another catalog).
    ASSERT_TRUE(writeFile(path(QStringLiteral("bak/brief.txt")), patterned(5000, 1)));
    ASSERT_TRUE(fs::setModificationTime(path(QStringLiteral("bak/brief.txt")), kRunNow));

    const Finished run = bravel({QStringLiteral("--run"), catalog, QStringLiteral("--changed")});
    ASSERT_EQ(run.code, exitcode::kAllSaved) << show(run);
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("gesichert: ") + letter)) << show(run);
    const std::vector<StoredRecord> records = storedRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].size, 5000);
    EXPECT_TRUE(records[0].status.startsWith(QStringLiteral("gesichert (")))
        << records[0].status.toStdString();
    EXPECT_TRUE(records[0].hostStatus.startsWith(computerName()));
}

TEST_F(HeadlessRunTest, AScheduleIsSetAndSwitchedOffFromTheCommandLine) {
    makeProgramCatalog({{source(QStringLiteral("a.txt")), path(QStringLiteral("bak"))}});
    const QString units = home + QStringLiteral("/cfg/systemd/user/");

    // No systemd for this user: the files are written, and the program says the timer is off.
    const Finished unmanaged = bravel(
        {QStringLiteral("--schedule"), catalog, QStringLiteral("--weekly"), QStringLiteral("Sa"),
         QStringLiteral("09:30"), QStringLiteral("--match"), QStringLiteral("fotos")});
    EXPECT_EQ(unmanaged.code, exitcode::kSomeNotSaved) << show(unmanaged);
    EXPECT_TRUE(unmanaged.err.contains(QStringLiteral("jeden Samstag um 09:30 Uhr")))
        << show(unmanaged);
    const QStringList written = QDir(units).entryList(QDir::Files);
    ASSERT_EQ(written.size(), 2) << written.join(' ').toStdString();
    const QString service =
        QString::fromUtf8(readFile(units + written.filter(QStringLiteral(".service")).first()));
    EXPECT_TRUE(service.contains(QStringLiteral("ExecStart=\"") + QStringLiteral(BRAVEL_BINARY) +
                                 QStringLiteral("\" --run \"") + catalog +
                                 QStringLiteral("\" --match \"fotos\"")))
        << service.toStdString();

    const Finished off = bravel({QStringLiteral("--schedule"), catalog, QStringLiteral("--off")});
    EXPECT_EQ(off.code, exitcode::kAllSaved) << show(off);
    EXPECT_TRUE(off.out.contains(QStringLiteral("Zeitplan ausgeschaltet.")));
    EXPECT_TRUE(QDir(units).entryList(QDir::Files).isEmpty());

    const Finished missing =
        bravel({QStringLiteral("--schedule"), path(QStringLiteral("fehlt.bvk")),
                QStringLiteral("--daily"), QStringLiteral("02:00")});
    EXPECT_EQ(missing.code, exitcode::kCannotStart);
    const Finished wrong =
        bravel({QStringLiteral("--schedule"), catalog, QStringLiteral("--hourly")});
    EXPECT_EQ(wrong.code, exitcode::kCannotStart);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("Unbekannte Angabe: --hourly"))) << show(wrong);
}

}  // namespace
}  // namespace bravel::test

namespace bravel::test {
namespace {

TEST_F(HeadlessRunTest, RecordsThatCannotBeWrittenAreReportedAndEndWithOne) {
    const QString a = source(QStringLiteral("a.txt"), 1000, 1);
    const QString folder = path(QStringLiteral("sicherung"));
    makeProgramCatalog({{a, folder}});
    CatalogLock lock(catalog);
    if (!lock.held()) GTEST_SKIP() << "the sqlite3 shell could not lock the catalog";

    const Finished run = bravel({QStringLiteral("--run"), catalog, QStringLiteral("--quiet")});
    lock.release();
    EXPECT_EQ(run.code, exitcode::kSomeNotSaved) << show(run);
    EXPECT_EQ(readFile(folder + QStringLiteral("/a.txt")), patterned(1000, 1))
        << "the copy itself was made";
    EXPECT_TRUE(run.out.contains(QStringLiteral("Eintrag nicht gespeichert: ") + a))
        << "said even when quiet: " << show(run);
    EXPECT_TRUE(storedRecord(a).status.isEmpty());
    const QString log = newestLog();
    EXPECT_TRUE(log.contains(QStringLiteral("Eintrag nicht gespeichert: ") + a))
        << log.toStdString();
    EXPECT_TRUE(log.contains(
        QStringLiteral("Summe: 1 gesichert, 0 nicht gesichert, 1 Eintrag nicht gespeichert")))
        << log.toStdString();
    EXPECT_TRUE(log.endsWith(QStringLiteral("Exitcode: 1\n"))) << log.toStdString();
}

TEST_F(HeadlessRunTest, ACatalogOnAReadOnlyMountIsReportedTheSameWay) {
    const QString a = source(QStringLiteral("a.txt"), 1000, 1);
    ScopedTmpfs mount(path(QStringLiteral("ro")), "size=2m");
    SKIP_UNLESS_MOUNTED(mount);
    makeProgramCatalog({{a, path(QStringLiteral("sicherung"))}});
    ASSERT_TRUE(QFile::copy(catalog, path(QStringLiteral("ro/Katalog.bvk"))));
    catalog = path(QStringLiteral("ro/Katalog.bvk"));
    if (!mount.remount(true))
        GTEST_SKIP() << "remounting read-only refused: " << std::strerror(errno);

    const Finished run = bravel({QStringLiteral("--run"), catalog});
    EXPECT_EQ(run.code, exitcode::kSomeNotSaved) << show(run);
    EXPECT_TRUE(run.out.contains(QStringLiteral("Eintrag nicht gespeichert: ") + a)) << show(run);
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("1 gesichert, 0 nicht gesichert, 1 Eintrag nicht gespeichert")))
        << show(run);
}

TEST_F(HeadlessRunTest, SigtermBeforeTheFirstCopyDoesNotClaimAnOlderCopy) {
    const QString large = largeSource(QStringLiteral("gross.img"));
    const QString folder = path(QStringLiteral("sicherung"));
    makeProgramCatalog({{large, folder}});

    QProcess program;
    start(program, {QStringLiteral("--run"), catalog});
    auto tempFiles = [&] {
        return QDir(folder).entryList({copyTempPrefix() + QLatin1Char('*')},
                                      QDir::Files | QDir::Hidden);
    };
    ASSERT_TRUE(waitUntil([&] { return !tempFiles().isEmpty(); }, 60000))
        << "the copy never started";
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    const Finished run = finish(program);

    EXPECT_EQ(run.code, exitcode::kCancelled) << show(run);
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/gross.img")));
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_FALSE(run.out.contains(QStringLiteral("ältere Kopie"))) << show(run);
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("abgebrochen: ") + large +
        QStringLiteral(" (durch ein Signal abgebrochen, keine Sicherungskopie vorhanden")))
        << show(run);
    EXPECT_FALSE(newestLog().contains(QStringLiteral("ältere Kopie"))) << newestLog().toStdString();
}

}  // namespace
}  // namespace bravel::test

namespace bravel::test {
namespace {

// A catalog whose name is Latin-1, given on the command line as the shell passes it: bytes.
TEST_F(HeadlessRunTest, ACatalogNamedInLatinOneIsRunAndScheduled) {
    const QString a = source(QStringLiteral("a.txt"), 500, 1);
    makeProgramCatalog({{a, path(QStringLiteral("sicherung"))}});
    const QByteArray latin1 = QFile::encodeName(dir.path()) + "/K\xe4talog.bvk";
    ASSERT_EQ(::rename(QFile::encodeName(catalog).constData(), latin1.constData()), 0);
    auto bravelOnLatin1 = [&](const QString& arguments) {
        QProcess shell;
        shell.setProcessEnvironment(environment());
        shell.start(QStringLiteral("bash"),
                    {QStringLiteral("-c"), QStringLiteral("cd \"$1\" && exec \"$0\" ") + arguments,
                     QStringLiteral(BRAVEL_BINARY), dir.path()});
        EXPECT_TRUE(shell.waitForStarted(10000));
        return finish(shell);
    };

    const Finished run = bravelOnLatin1(QStringLiteral("--run \"$(printf 'K\\344talog.bvk')\""));
    EXPECT_EQ(run.code, exitcode::kAllSaved) << show(run);
    EXPECT_EQ(readFile(path(QStringLiteral("sicherung/a.txt"))), patterned(500, 1));
    EXPECT_TRUE(run.out.contains(QStringLiteral("K\\xe4talog.bvk: 1 gesichert"))) << show(run);
    EXPECT_TRUE(newestLog().contains(QStringLiteral("Katalog: ") + dir.path() +
                                     QStringLiteral("/K\\xe4talog.bvk\n")))
        << newestLog().toStdString();
    ASSERT_EQ(::rename(latin1.constData(), QFile::encodeName(catalog).constData()), 0);
    EXPECT_TRUE(storedRecord(a).status.startsWith(QStringLiteral("gesichert (")))
        << "the record was written";
    ASSERT_EQ(::rename(QFile::encodeName(catalog).constData(), latin1.constData()), 0);

    const Finished scheduled =
        bravelOnLatin1(QStringLiteral("--schedule \"$(printf 'K\\344talog.bvk')\" --daily 02:00"));
    EXPECT_NE(scheduled.code, exitcode::kCannotStart) << show(scheduled);
    const QString units = home + QStringLiteral("/cfg/systemd/user/");
    const QStringList services = QDir(units).entryList({QStringLiteral("*.service")}, QDir::Files);
    ASSERT_EQ(services.size(), 1) << show(scheduled);
    const QByteArray service = readFile(units + services.first());
    EXPECT_TRUE(
        service.contains(" --run \"" + QFile::encodeName(dir.path()) + "/K\\xe4talog.bvk\""))
        << service.toStdString();
    EXPECT_TRUE(QString::fromUtf8(service).toUtf8() == service) << "a unit file is UTF-8";

    const Finished off =
        bravelOnLatin1(QStringLiteral("--schedule \"$(printf 'K\\344talog.bvk')\" --off"));
    EXPECT_EQ(off.code, exitcode::kAllSaved) << show(off);
    EXPECT_TRUE(QDir(units).entryList(QDir::Files).isEmpty());
}

}  // namespace
}  // namespace bravel::test
