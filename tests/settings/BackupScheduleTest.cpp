// Timed backups as systemd user units: the files written for daily and weekly schedules, their
// removal, and what systemd itself says of them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "platform/FileSystem.h"
#include "settings/BackupSchedule.h"

using namespace bravel;
using namespace bravel::schedule;

namespace {

class BackupScheduleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        ASSERT_TRUE(dir.isValid());
        catalog = dir.path() + QStringLiteral("/Fotos und 100% $HOME \"Alt\".bvk");
        ASSERT_TRUE(test::writeFile(catalog, "x"));
        savedPath = qgetenv("PATH");
    }
    void TearDown() override {
        qputenv("PATH", savedPath);
        QDir(userUnitFolder()).removeRecursively();
    }

    // A systemctl on PATH that notes its arguments and answers with exitCode: the user's systemd
    // as the test wants it, without touching a real one.
    QString installSystemctl(int exitCode) {
        const QString bin = dir.path() + QStringLiteral("/bin");
        QDir().mkpath(bin);
        const QString log = dir.path() + QStringLiteral("/systemctl.log");
        const QString script = QStringLiteral("#!/bin/sh\necho \"$*\" >> '") + log +
                               QStringLiteral("'\nexit ") + QString::number(exitCode) +
                               QLatin1Char('\n');
        test::writeFile(bin + QStringLiteral("/systemctl"), script.toUtf8());
        QFile::setPermissions(bin + QStringLiteral("/systemctl"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(bin) + ':' + savedPath);
        return log;
    }

    static QStringList lines(const QString& path) {
        return QString::fromUtf8(test::readFile(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // systemd's own check of the unit files; empty when it is content or not installed.
    static QString verifyProblems(const QStringList& files) {
        const QString analyze = QStandardPaths::findExecutable(QStringLiteral("systemd-analyze"));
        if (analyze.isEmpty()) return {};
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(analyze, QStringList{QStringLiteral("verify")} + files);
        process.waitForFinished(60000);
        const QString output = QString::fromUtf8(process.readAll());
        return process.exitCode() == 0 ? QString() : output;
    }

    QTemporaryDir dir;
    QString catalog;
    QByteArray savedPath;
};

TEST_F(BackupScheduleTest, DailyAndWeeklyUnitsRunTheCatalogAndPassSystemdsCheck) {
    installSystemctl(0);
    Schedule daily;
    daily.frequency = Frequency::Daily;
    daily.time = QTime(2, 30);
    ASSERT_EQ(applySchedule(catalog, QStringLiteral(BRAVEL_BINARY), daily), Outcome::Enabled);

    const QString timer = QString::fromUtf8(test::readFile(timerPath(catalog)));
    EXPECT_TRUE(timer.contains(QStringLiteral("\nOnCalendar=*-*-* 02:30:00\n")));
    EXPECT_TRUE(timer.contains(QStringLiteral("\nPersistent=true\n")));
    EXPECT_TRUE(timer.contains(QStringLiteral("\nUnit=") + unitBaseName(catalog) +
                               QStringLiteral(".service\n")));
    EXPECT_TRUE(timer.contains(QStringLiteral("\nWantedBy=timers.target\n")));
    const QString service = QString::fromUtf8(test::readFile(servicePath(catalog)));
    EXPECT_TRUE(service.contains(QStringLiteral("ExecStart=\"") + QStringLiteral(BRAVEL_BINARY) +
                                 QStringLiteral("\" --run \"") + dir.path() +
                                 QStringLiteral("/Fotos und 100%% $$HOME \\\"Alt\\\".bvk\"\n")))
        << service.toStdString();
    EXPECT_FALSE(service.contains(QStringLiteral("--match")));
    EXPECT_EQ(verifyProblems({timerPath(catalog), servicePath(catalog)}), QString());

    // A program in a folder with "$" and "%" in its name.
    const QString odd = dir.path() + QStringLiteral("/b$y 100%");
    ASSERT_TRUE(QDir().mkpath(odd));
    ASSERT_TRUE(QFile::link(QStringLiteral(BRAVEL_BINARY), odd + QStringLiteral("/bravel")));
    ASSERT_EQ(applySchedule(catalog, odd + QStringLiteral("/bravel"), daily), Outcome::Enabled);
    EXPECT_EQ(verifyProblems({timerPath(catalog), servicePath(catalog)}), QString());

    Schedule weekly;
    weekly.frequency = Frequency::Weekly;
    weekly.weekday = 7;
    weekly.time = QTime(23, 5);
    weekly.matchText = QStringLiteral("fotos|50% \"neu\"");
    ASSERT_EQ(applySchedule(catalog, QStringLiteral(BRAVEL_BINARY), weekly), Outcome::Enabled);
    EXPECT_TRUE(QString::fromUtf8(test::readFile(timerPath(catalog)))
                    .contains(QStringLiteral("\nOnCalendar=Sun *-*-* 23:05:00\n")));
    EXPECT_TRUE(QString::fromUtf8(test::readFile(servicePath(catalog)))
                    .contains(QStringLiteral(" --match \"fotos|50%% \\\"neu\\\"\"\n")));
    EXPECT_EQ(verifyProblems({timerPath(catalog), servicePath(catalog)}), QString());

    // The dialog reads back what the files hold.
    const Schedule read = readSchedule(catalog);
    EXPECT_EQ(read.frequency, Frequency::Weekly);
    EXPECT_EQ(read.weekday, 7);
    EXPECT_EQ(read.time, QTime(23, 5));
    EXPECT_EQ(read.matchText, weekly.matchText);
}

TEST_F(BackupScheduleTest, TheTimerIsEnabledThroughTheUsersSystemdAndSwitchedOffAgain) {
    const QString log = installSystemctl(0);
    Schedule daily;
    daily.frequency = Frequency::Daily;
    ASSERT_EQ(applySchedule(catalog, QStringLiteral(BRAVEL_BINARY), daily), Outcome::Enabled);
    const QString timer = unitBaseName(catalog) + QStringLiteral(".timer");
    EXPECT_EQ(lines(log), (QStringList{QStringLiteral("--user daemon-reload"),
                                       QStringLiteral("--user enable ") + timer,
                                       QStringLiteral("--user restart ") + timer}));

    QFile::remove(log);
    EXPECT_EQ(applySchedule(catalog, QStringLiteral(BRAVEL_BINARY), Schedule{}), Outcome::Removed);
    EXPECT_FALSE(QFileInfo::exists(timerPath(catalog)));
    EXPECT_FALSE(QFileInfo::exists(servicePath(catalog)));
    EXPECT_EQ(lines(log), (QStringList{QStringLiteral("--user disable --now ") + timer,
                                       QStringLiteral("--user daemon-reload")}));
    EXPECT_EQ(readSchedule(catalog).frequency, Frequency::Off);
}

TEST_F(BackupScheduleTest, WithoutAUserSystemdTheFilesAreStillWritten) {
    installSystemctl(1);
    Schedule daily;
    daily.frequency = Frequency::Daily;
    EXPECT_EQ(applySchedule(catalog, QStringLiteral(BRAVEL_BINARY), daily),
              Outcome::WrittenNotEnabled);
    EXPECT_TRUE(QFileInfo::exists(timerPath(catalog)));
    EXPECT_TRUE(QFileInfo::exists(servicePath(catalog)));
    EXPECT_EQ(readSchedule(catalog).frequency, Frequency::Daily);
}

TEST_F(BackupScheduleTest, EveryCatalogHasItsOwnReadableUnitName) {
    const QString other = dir.path() + QStringLiteral("/sub/Fotos und 100% $HOME \"Alt\".bvk");
    const QString name = unitBaseName(catalog);
    EXPECT_TRUE(name.startsWith(QStringLiteral("bravel-Fotos_und_100_HOME_Alt_-")))
        << name.toStdString();
    EXPECT_NE(name, unitBaseName(other));
    EXPECT_EQ(name, unitBaseName(catalog));
    for (const QChar c : unitBaseName(QStringLiteral("/tmp/Ärger\n; rm -rf.bvk")))
        EXPECT_TRUE((c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('_') ||
                    c == QLatin1Char('-'));
}

TEST_F(BackupScheduleTest, DaysAndTimesAreReadAsPeopleWriteThem) {
    EXPECT_EQ(weekdayFromText(QStringLiteral("Mo")), 1);
    EXPECT_EQ(weekdayFromText(QStringLiteral("mittwoch")), 3);
    EXPECT_EQ(weekdayFromText(QStringLiteral("Sun")), 7);
    EXPECT_EQ(weekdayFromText(QStringLiteral("5")), 5);
    EXPECT_EQ(weekdayFromText(QStringLiteral("8")), 0);
    EXPECT_EQ(weekdayFromText(QStringLiteral("Mox")), 0);
    EXPECT_EQ(timeFromText(QStringLiteral("7:05")), QTime(7, 5));
    EXPECT_EQ(timeFromText(QStringLiteral("23:59")), QTime(23, 59));
    EXPECT_FALSE(timeFromText(QStringLiteral("24:00")).isValid());
    EXPECT_FALSE(timeFromText(QStringLiteral("12:5")).isValid());
    Schedule weekly;
    weekly.frequency = Frequency::Weekly;
    weekly.weekday = 2;
    weekly.time = QTime(6, 0);
    EXPECT_EQ(describe(weekly), QStringLiteral("jeden Dienstag um 06:00 Uhr"));
}

}  // namespace

namespace {

TEST(ScheduleArgumentsTest, TheCommandLineFormsAreReadAndMistakesNamed) {
    QString catalog, problem;
    Schedule schedule;
    ASSERT_TRUE(parseArguments(
        {QStringLiteral("/k.bvk"), QStringLiteral("--weekly"), QStringLiteral("Fr"),
         QStringLiteral("18:45"), QStringLiteral("--match"), QStringLiteral("--fotos")},
        catalog, schedule, problem));
    EXPECT_EQ(catalog, QStringLiteral("/k.bvk"));
    EXPECT_EQ(schedule.frequency, Frequency::Weekly);
    EXPECT_EQ(schedule.weekday, 5);
    EXPECT_EQ(schedule.time, QTime(18, 45));
    EXPECT_EQ(schedule.matchText, QStringLiteral("--fotos"));
    ASSERT_TRUE(parseArguments({QStringLiteral("/k.bvk"), QStringLiteral("--off")}, catalog,
                               schedule, problem));
    EXPECT_EQ(schedule.frequency, Frequency::Off);

    const std::vector<std::pair<QStringList, QString>> wrong{
        {{}, QStringLiteral("Katalog fehlt.")},
        {{QStringLiteral("/k.bvk")}, QStringLiteral("--daily, --weekly oder --off fehlt.")},
        {{QStringLiteral("/k.bvk"), QStringLiteral("--daily"), QStringLiteral("25:00")},
         QStringLiteral("Uhrzeit als HH:MM erwartet: 25:00")},
        {{QStringLiteral("/k.bvk"), QStringLiteral("--weekly"), QStringLiteral("Feiertag"),
          QStringLiteral("10:00")},
         QStringLiteral("Unbekannter Wochentag: Feiertag")},
        {{QStringLiteral("/k.bvk"), QStringLiteral("--daily"), QStringLiteral("10:00"),
          QStringLiteral("--off")},
         QStringLiteral("Nur eine Angabe von --daily, --weekly oder --off.")},
        {{QStringLiteral("/k.bvk"), QStringLiteral("--off"), QStringLiteral("--match")},
         QStringLiteral("Suchtext fehlt nach --match.")},
        {{QStringLiteral("/k.bvk"), QStringLiteral("--hourly")},
         QStringLiteral("Unbekannte Angabe: --hourly")},
    };
    for (const auto& [arguments, why] : wrong) {
        EXPECT_FALSE(parseArguments(arguments, catalog, schedule, problem))
            << arguments.join(' ').toStdString();
        EXPECT_EQ(problem, why);
    }
}

}  // namespace

namespace {

TEST_F(BackupScheduleTest, ACatalogNameThatIsNoTextGetsAnAsciiUnitAndItsBytesInTheCommand) {
    installSystemctl(0);
    const QString latin1 = fs::decodeName(QFile::encodeName(dir.path()) + "/K\xe4talog.bvk");
    const int fd = ::open(fs::encodeName(latin1).constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_TRUE(fs::isRegularFile(latin1));
    Schedule daily;
    daily.frequency = Frequency::Daily;
    daily.time = QTime(2, 30);
    ASSERT_EQ(applySchedule(latin1, QStringLiteral(BRAVEL_BINARY), daily), Outcome::Enabled);

    const QString name = unitBaseName(latin1);
    EXPECT_TRUE(name.startsWith(QStringLiteral("bravel-K_talog-"))) << name.toStdString();
    EXPECT_NE(name, unitBaseName(dir.path() + QStringLiteral("/K_talog.bvk")));
    EXPECT_TRUE(unitBaseName(dir.path() + QStringLiteral("/a_ b.c.bvk"))
                    .startsWith(QStringLiteral("bravel-a__b_c-")))
        << "the names of existing schedules stay as they were";
    const QByteArray service = test::readFile(servicePath(latin1));
    EXPECT_TRUE(
        service.contains(" --run \"" + QFile::encodeName(dir.path()) + "/K\\xe4talog.bvk\"\n"))
        << service.toStdString();
    EXPECT_EQ(QString::fromUtf8(service).toUtf8(), service) << "a unit file is UTF-8";
    EXPECT_EQ(verifyProblems({timerPath(latin1), servicePath(latin1)}), QString());
    EXPECT_EQ(readSchedule(latin1).time, QTime(2, 30));
}

}  // namespace
