#include <gtest/gtest.h>
#include <sys/time.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>

#include "TestSupport.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"

using namespace bravel;

namespace {

// Runs with the process in the given time zone, and restores the one before.
class TimeZone {
  public:
    explicit TimeZone(const char* zone) {
        if (const char* before = std::getenv("TZ")) before_ = before;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (before_.empty())
            unsetenv("TZ");
        else
            setenv("TZ", before_.c_str(), 1);
        tzset();
    }

  private:
    std::string before_;
};

bool setModified(const QString& path, time_t seconds) {
    const struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    return ::utimes(QFile::encodeName(path).constData(), times) == 0;
}

}  // namespace

// A file's time is its local time on either side of a daylight-saving change, and the same
// instant that QDateTime's own local conversion gives.
TEST(FileStateTest, ModificationTimesAreLocalInSummerAndWinter) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("datei.txt"));
    ASSERT_TRUE(test::writeFile(path, "x"));
    const TimeZone berlin("Europe/Berlin");
    struct Case {
        time_t seconds;
        QDate date;
        QTime time;
    };
    const Case cases[] = {
        {1782990000, QDate(2026, 7, 2), QTime(13, 0, 0)},   // 11:00 UTC, summer time (+2)
        {1796216400, QDate(2026, 12, 2), QTime(14, 0, 0)},  // 13:00 UTC, winter time (+1)
        {1792886400, QDate(2026, 10, 25),
         QTime(2, 0, 0)},  // 00:00 UTC, the hour before the change back
        {1792890000, QDate(2026, 10, 25),
         QTime(2, 0, 0)},  // 01:00 UTC, the same wall time once more
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(setModified(path, c.seconds));
        QDateTime modified;
        ASSERT_TRUE(fs::modificationTime(path, modified));
        EXPECT_EQ(modified.date(), c.date) << c.seconds;
        EXPECT_EQ(modified.time(), c.time) << c.seconds;
        EXPECT_EQ(modified.toSecsSinceEpoch(), c.seconds);
        EXPECT_EQ(modified, QDateTime::fromSecsSinceEpoch(c.seconds))
            << "the instant Qt's local time gives";

        fs::FileState state;
        ASSERT_TRUE(fs::fileState(path, state));
        EXPECT_EQ(state.modified, modified);
        EXPECT_EQ(state.modified.time(), c.time);
    }
}

// Many files looked at at once, on several threads, give what one look at each gives; a missing
// file, an empty path, a folder and names with blanks, umlauts and a newline included. The
// pending error is left alone.
TEST(FileStateTest, ManyFilesAtOnceGiveWhatOneLookEachGives) {
    QTemporaryDir folder;
    std::vector<QString> paths;
    int absent = 0;
    for (int i = 0; i < 3000; ++i) {  // enough for more than one thread
        const QString path = folder.filePath(QStringLiteral("datei %1.txt").arg(i));
        if (i % 7 == 3)
            ++absent;  // every seventh is missing
        else
            ASSERT_TRUE(test::writeFile(path, QByteArray(i % 50, 'x')));
        paths.push_back(path);
    }
    const QString strange = folder.filePath(QString::fromUtf8("Grüße an\nalle .txt"));
    ASSERT_TRUE(test::writeFile(strange, "hallo"));
    ASSERT_TRUE(setModified(strange, 1782990000));
    ASSERT_TRUE(QFile::setPermissions(strange, QFile::ReadOwner));
    paths.insert(paths.begin() + 10, QString());
    paths.insert(paths.begin() + 2500, strange);
    paths.push_back(folder.path());

    Err.Raise(errnum::kPathNotFound);
    const std::vector<std::optional<fs::FileState>> states = fs::fileStates(paths);
    EXPECT_EQ(Err.Number, errnum::kPathNotFound) << "the pending error stays as it was";
    Err.Clear();

    ASSERT_EQ(states.size(), paths.size());
    int missing = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        fs::FileState one;
        const bool found = fs::fileState(paths[i], one);
        Err.Clear();
        ASSERT_EQ(states[i].has_value(), found) << paths[i].toStdString();
        if (!found) {
            ++missing;
            continue;
        }
        EXPECT_EQ(states[i]->length, one.length) << i;
        EXPECT_EQ(states[i]->attributes, one.attributes) << i;
        EXPECT_EQ(states[i]->modified, one.modified) << i;
    }
    EXPECT_EQ(missing, absent + 1) << "the missing files and the empty path";
    const auto& strangeState = states[2500];
    ASSERT_TRUE(strangeState.has_value());
    EXPECT_EQ(strangeState->length, 5);
    EXPECT_TRUE(strangeState->attributes & attr::kReadOnly);
    EXPECT_EQ(strangeState->modified.toSecsSinceEpoch(), 1782990000);
    EXPECT_TRUE(states.back()->attributes & attr::kDirectory);
}
