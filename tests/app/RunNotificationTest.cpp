// The notification at the end of a run, through a fake notification service on a private session
// bus: the run without a window, and the window's automatic run that closes the program.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QStandardPaths>
#include <QVariantMap>

#include "../faults/FaultSupport.h"
#include "app/HeadlessRun.h"

namespace bravel::test {

// org.freedesktop.Notifications as a desktop offers it; it remembers what it was asked to show.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    struct Shown {
        QString app;
        QString summary;
        QString body;
        int urgency = -1;
    };
    std::vector<Shown> shown;

  public slots:
    uint Notify(const QString& app, uint, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int) {
        shown.push_back({app, summary, body, hints.value(QStringLiteral("urgency"), -1).toInt()});
        return static_cast<uint>(shown.size());
    }
};

namespace {

// A session bus of the test's own, from `dbus-daemon --session`.
class PrivateSessionBus {
  public:
    explicit PrivateSessionBus(const QString& folder) {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            whyNot = "dbus-daemon is not installed (tools/install-deps.sh installs it)";
            return;
        }
        address = QStringLiteral("unix:path=") + folder + QStringLiteral("/bus");
        process.start(
            daemon,
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
             QStringLiteral("--address=") + address, QStringLiteral("--print-address=1")});
        if (!process.waitForStarted(10000) ||
            !waitUntil([&] { return process.canReadLine(); }, 10000)) {
            whyNot = "dbus-daemon did not start: " + process.readAllStandardError().toStdString();
            return;
        }
        address = QString::fromUtf8(process.readLine()).trimmed();
    }
    ~PrivateSessionBus() {
        if (!serviceName.isEmpty()) QDBusConnection::disconnectFromBus(serviceName);
        process.terminate();
        process.waitForFinished(5000);
    }
    bool runs() const { return whyNot.empty(); }

    // Offers the fake service on this bus.
    bool offer(FakeNotifications& fake) {
        serviceName = QStringLiteral("fake-notifications");
        QDBusConnection bus = QDBusConnection::connectToBus(address, serviceName);
        return bus.isConnected() &&
               bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                  QDBusConnection::ExportAllSlots) &&
               bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

    QProcess process;
    QString address;
    QString serviceName;
    std::string whyNot;
};

class RunNotificationTest : public ProgramRunTest {
  protected:
    void SetUp() override {
        ProgramRunTest::SetUp();
        QDir().mkpath(home + QStringLiteral("/bus"));
        bus = std::make_unique<PrivateSessionBus>(home + QStringLiteral("/bus"));
    }
    void TearDown() override {
        bus.reset();
        ProgramRunTest::TearDown();
    }

    // Events run while the program works, so that the fake service answers it.
    int runProgram(const QStringList& arguments, bool window) {
        QProcess program;
        program.setProcessEnvironment(programEnvironment(bus->address, window));
        program.start(QStringLiteral(BRAVEL_BINARY), arguments);
        EXPECT_TRUE(program.waitForStarted(10000));
        if (!waitUntil([&] { return program.state() == QProcess::NotRunning; }, 60000)) {
            program.kill();
            program.waitForFinished();
            ADD_FAILURE() << "the program did not end";
            return -1;
        }
        output = QString::fromUtf8(program.readAll());
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    QString output;
    std::unique_ptr<PrivateSessionBus> bus;
};

#define SKIP_UNLESS_BUS() \
    if (!bus->runs()) GTEST_SKIP() << bus->whyNot

TEST_F(RunNotificationTest, ARunWithoutAWindowEndsWithANotificationCriticalWhenSomethingFailed) {
    SKIP_UNLESS_BUS();
    FakeNotifications fake;
    ASSERT_TRUE(bus->offer(fake));
    const QString good = source(QStringLiteral("a.txt"), 100, 1);
    makeProgramCatalog({{good, path(QStringLiteral("s"))},
                        {path(QStringLiteral("src/fehlt.txt")), path(QStringLiteral("s"))}});

    EXPECT_EQ(runProgram({QStringLiteral("--run"), catalog}, false), exitcode::kSomeNotSaved)
        << output.toStdString();
    ASSERT_EQ(fake.shown.size(), 1u);
    EXPECT_EQ(fake.shown[0].app, QStringLiteral("Bravel"));
    EXPECT_EQ(fake.shown[0].summary, QStringLiteral("Sicherung beendet"));
    EXPECT_EQ(fake.shown[0].body, QStringLiteral("Katalog.bvk: 1 gesichert, 1 nicht gesichert"));
    EXPECT_EQ(fake.shown[0].urgency, 2) << "critical";

    EXPECT_EQ(
        runProgram({QStringLiteral("--run"), catalog, QStringLiteral("--match=a.txt")}, false),
        exitcode::kAllSaved)
        << output.toStdString();
    ASSERT_EQ(fake.shown.size(), 2u);
    EXPECT_EQ(fake.shown[1].body, QStringLiteral("Katalog.bvk: 1 gesichert, 0 nicht gesichert"));
    EXPECT_EQ(fake.shown[1].urgency, 1) << "normal";
}

TEST_F(RunNotificationTest, WithoutTheServiceTheRunEndsAsUsual) {
    SKIP_UNLESS_BUS();
    makeProgramCatalog({{source(QStringLiteral("a.txt"), 100, 1), path(QStringLiteral("s"))}});
    EXPECT_EQ(runProgram({QStringLiteral("--run"), catalog}, false), exitcode::kAllSaved)
        << output.toStdString();
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("s/a.txt"))));
    EXPECT_FALSE(output.contains(QStringLiteral("DBus"), Qt::CaseInsensitive))
        << output.toStdString();
}

TEST_F(RunNotificationTest, TheWindowsAutomaticRunThatEndsTheProgramLeavesANotificationAndALog) {
    SKIP_UNLESS_BUS();
    FakeNotifications fake;
    ASSERT_TRUE(bus->offer(fake));
    const QString good = source(QStringLiteral("a.txt"), 100, 1);
    const QString gone = path(QStringLiteral("src/fehlt.txt"));
    makeProgramCatalog({{good, path(QStringLiteral("s"))}, {gone, path(QStringLiteral("s"))}});
    ASSERT_TRUE(writeFile(
        home + QStringLiteral("/cfg/quillfen/bravel.ini"),
        (QStringLiteral("[bravel]\nsetup_chk_autostart=1\nsetup_txt_autostart=") + catalog +
         QStringLiteral(
             "\nsetup_opt_autocopyall=True\nsetup_chk_afterjob=1\nsetup_cbo_afterjob=0\n"))
            .toUtf8()));

    EXPECT_EQ(runProgram({}, true), 0) << output.toStdString();
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("s/a.txt"))));
    ASSERT_EQ(fake.shown.size(), 1u) << "the window closed after the run: nobody saw its end";
    EXPECT_EQ(fake.shown[0].body, QStringLiteral("Katalog.bvk: 1 gesichert, 1 nicht gesichert"));
    EXPECT_EQ(fake.shown[0].urgency, 2);

    const QStringList logs = QDir(home + QStringLiteral("/state/quillfen/bravel"))
                                 .entryList({QStringLiteral("*.log")}, QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    const QString log =
        QString::fromUtf8(readFile(home + QStringLiteral("/state/quillfen/bravel/") + logs[0]));
    EXPECT_TRUE(log.contains(QStringLiteral("Sicherung im Fenster"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("nicht gesichert: ") + gone)) << log.toStdString();
    EXPECT_TRUE(log.endsWith(QStringLiteral("Exitcode: 1\n"))) << log.toStdString();
}

}  // namespace
}  // namespace bravel::test

#include "RunNotificationTest.moc"
