// The previous-instance test between two real processes: the helper program holds the lock as
// the first running copy would.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>

#include "TestSupport.h"
#include "platform/SystemInfo.h"

using namespace bravel;

namespace {

// Starts the helper in the given mode and waits for its first answer line.
QString startHelper(QProcess& helper, const QString& mode) {
    helper.setProgram(QStringLiteral(BRAVEL_INSTANCE_HOLDER));
    helper.setArguments({mode});
    helper.start();
    if (!helper.waitForStarted(10000)) return QStringLiteral("not started");
    while (!helper.canReadLine())
        if (!helper.waitForReadyRead(10000)) break;
    return QString::fromLatin1(helper.readLine()).trimmed();
}

}  // namespace

class InstanceLockTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetAll(); }
};

TEST_F(InstanceLockTest, LockLivesInTheRuntimeFolderAndNamesTheUser) {
    const QFileInfo lock(InstanceLock::lockFilePath());
    EXPECT_EQ(lock.path(), qEnvironmentVariable("XDG_RUNTIME_DIR"));
    EXPECT_TRUE(lock.fileName().contains(QString::number(::getuid())));
}

TEST_F(InstanceLockTest, AnotherRunningCopyHoldsItUntilItIsKilled) {
    QProcess first;
    ASSERT_EQ(startHelper(first, QStringLiteral("hold")), "held");

    InstanceLock second;
    EXPECT_FALSE(second.acquire()) << "the first copy is running";
    EXPECT_FALSE(second.acquire()) << "asking again changes nothing";

    first.kill();  // SIGKILL: the lock file stays behind
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_TRUE(QFileInfo::exists(InstanceLock::lockFilePath()));

    InstanceLock afterwards;
    EXPECT_TRUE(afterwards.acquire()) << "a lock left by a dead process is taken over";
}

TEST_F(InstanceLockTest, ThisProcessHoldsItAgainstAnotherCopy) {
    InstanceLock mine;
    ASSERT_TRUE(mine.acquire());

    QProcess other;
    EXPECT_EQ(startHelper(other, QStringLiteral("try")), "busy");
    ASSERT_TRUE(other.waitForFinished(10000));
    EXPECT_EQ(other.exitCode(), 1);
}

TEST_F(InstanceLockTest, ReleasedWhenTheFirstCopyEndsNormally) {
    {
        InstanceLock first;
        ASSERT_TRUE(first.acquire());
    }
    QProcess other;
    EXPECT_EQ(startHelper(other, QStringLiteral("try")), "held");
    ASSERT_TRUE(other.waitForFinished(10000));
    EXPECT_EQ(other.exitCode(), 0);
}
