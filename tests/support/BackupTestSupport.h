#pragma once

#include <sys/mount.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "errors/COLError.h"

namespace bravel::test {

// Bytes whose content depends on their position, so that a shifted or short copy shows.
inline QByteArray patterned(qint64 size, int seed = 1) {
    QByteArray data(static_cast<int>(size), '\0');
    quint32 x = 2463534242u + static_cast<quint32>(seed);
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        data[static_cast<int>(i)] = static_cast<char>(x & 0xff);
    }
    return data;
}

struct Recorded {
    int number;
    QString modul;
    QString event;
};

inline std::vector<Recorded> recordedErrors() {
    std::vector<Recorded> all;
    for (int i = 1; i <= gErrorStack.Count(); ++i) {
        const auto item = gErrorStack.Item(i);
        all.push_back({item->ErrNumber(), item->ErrModul(), item->ErrEvent()});
    }
    return all;
}

inline bool hasRecord(const QString& modul, const QString& event, int number = 0) {
    for (const Recorded& r : recordedErrors())
        if (r.modul == modul && r.event == event && (number == 0 || r.number == number))
            return true;
    return false;
}

inline QStringList recordTexts() {
    QStringList texts;
    for (const Recorded& r : recordedErrors())
        texts << QStringLiteral("%1 %2 %3").arg(r.number).arg(r.modul, r.event);
    return texts;
}

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

// Files in folder whose names start with prefix.
inline QStringList filesStartingWith(const QString& folder, const QString& prefix) {
    QDir dir(folder);
    return dir.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
}

// This test program started again with one test selected and an environment variable telling
// the child test what to do.
inline QProcess* startChildTest(const QString& testName, const QStringList& env,
                                const QStringList& wrapper = {}) {
    auto* process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& pair : env) {
        const int eq = pair.indexOf(QLatin1Char('='));
        environment.insert(pair.left(eq), pair.mid(eq + 1));
    }
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    // A wrapper runs the child as another user, who may not reach the build folder.
    const QString self = QCoreApplication::applicationFilePath();
    QStringList arguments = wrapper;
    arguments << (wrapper.isEmpty() ? self : copyForOtherUsers(self))
              << QStringLiteral("--gtest_filter=") + testName;
    const QString program = arguments.takeFirst();
    process->start(program, arguments);
    return process;
}

// What became of one test of this program run again as the unprivileged user 65534.
struct ChildRun {
    std::string whyNot;  // why it could not run here; empty when it ran
    int exitCode = -1;
    QString output;
};

inline ChildRun runChildTestAsNobody(const QString& testName, const QStringList& env,
                                     int timeoutMs) {
    ChildRun run;
    std::unique_ptr<QProcess> child(
        startChildTest(testName, env,
                       {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                        QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")}));
    if (!child->waitForStarted(10000)) {
        run.whyNot = "setpriv could not be started";
        return run;
    }
    EXPECT_TRUE(child->waitForFinished(timeoutMs)) << testName.toStdString() << " did not end";
    run.exitCode = child->exitCode();
    run.output = QString::fromLocal8Bit(child->readAll());
    if (otherUserCouldNotStart(run.exitCode, run.output))
        run.whyNot =
            "the test program cannot run as another user here: " + run.output.toStdString();
    return run;
}

inline void expectChildPassed(const ChildRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QLatin1String("[  PASSED  ] 1 test")))
        << run.output.toStdString();
}

}  // namespace bravel::test
