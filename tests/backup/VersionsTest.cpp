// Older copies kept as versions: their names, their order, keeping and pruning on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "backup/Versions.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"

namespace bravel::test {
namespace {

const QDateTime kMarch(QDate(2024, 3, 1), QTime(8, 15, 0));

class VersionsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    // A copy as a run makes it: written beside, then renamed over the older one (a new file, so
    // that a version kept as a second name keeps the older content).
    QString copyMadeAt(const QString& name, const QByteArray& content, const QDateTime& when) {
        const QString file = path(name);
        const QString beside = file + QStringLiteral(".neu");
        EXPECT_TRUE(writeFile(beside, content));
        EXPECT_TRUE(fs::setModificationTime(beside, when));
        EXPECT_TRUE(fs::renameReplacing(beside, file));
        return file;
    }
    QTemporaryDir dir;
};

TEST_F(VersionsTest, NamesCarryTheStampBeforeTheExtension) {
    EXPECT_EQ(versions::versionName(QStringLiteral("brief.txt"), kMarch),
              QStringLiteral("brief 2024-03-01 081500.txt"));
    EXPECT_EQ(versions::versionName(QStringLiteral("archiv.tar.gz"), kMarch),
              QStringLiteral("archiv.tar 2024-03-01 081500.gz"));
    EXPECT_EQ(versions::versionName(QStringLiteral("README"), kMarch),
              QStringLiteral("README 2024-03-01 081500"));
    EXPECT_EQ(versions::versionName(QStringLiteral(".profile"), kMarch),
              QStringLiteral(".profile 2024-03-01 081500"));
    EXPECT_EQ(versions::versionName(QStringLiteral("brief.txt"), kMarch, 2),
              QStringLiteral("brief 2024-03-01 081500-2.txt"));
}

TEST_F(VersionsTest, TheOlderCopyIsKeptUnderItsStampAndTheOldestArePrunedFirst) {
    const QString target = copyMadeAt(QStringLiteral("Bericht (final).txt"), "eins", kMarch);
    QString version;
    ASSERT_TRUE(versions::keepAsVersion(target, version)) << Err.Description.toStdString();
    EXPECT_EQ(version,
              path(QStringLiteral(".bravel-versions/Bericht (final) 2024-03-01 081500.txt")));
    // The older copy stays where it was until the new one replaces it.
    EXPECT_EQ(readFile(target), QByteArray("eins"));
    EXPECT_EQ(readFile(version), QByteArray("eins"));

    // Three more generations, one of them in the same second as the first.
    copyMadeAt(QStringLiteral("Bericht (final).txt"), "zwei", kMarch);
    ASSERT_TRUE(versions::keepAsVersion(target, version));
    EXPECT_EQ(QFileInfo(version).fileName(),
              QStringLiteral("Bericht (final) 2024-03-01 081500-2.txt"));
    copyMadeAt(QStringLiteral("Bericht (final).txt"), "drei", kMarch.addDays(2));
    ASSERT_TRUE(versions::keepAsVersion(target, version));
    copyMadeAt(QStringLiteral("Bericht (final).txt"), "vier", kMarch.addDays(-5));
    ASSERT_TRUE(versions::keepAsVersion(target, version));
    // Another file's versions and stray files are not this file's.
    copyMadeAt(QStringLiteral(".bravel-versions/Bericht 2024-03-01 081500.txt"), "fremd", kMarch);
    copyMadeAt(QStringLiteral(".bravel-versions/Bericht (final) 2024-03-01 0815.txt"), "fremd",
               kMarch);

    std::vector<QByteArray> contents;
    for (const auto& v : versions::listVersions(dir.path(), QStringLiteral("Bericht (final).txt")))
        contents.push_back(readFile(v.path));
    EXPECT_EQ(contents, (std::vector<QByteArray>{"vier", "eins", "zwei", "drei"}));

    EXPECT_EQ(versions::pruneVersions(dir.path(), QStringLiteral("Bericht (final).txt"), 2), 2);
    contents.clear();
    for (const auto& v : versions::listVersions(dir.path(), QStringLiteral("Bericht (final).txt")))
        contents.push_back(readFile(v.path));
    EXPECT_EQ(contents, (std::vector<QByteArray>{"zwei", "drei"}));
    EXPECT_TRUE(
        QFileInfo::exists(path(QStringLiteral(".bravel-versions/Bericht 2024-03-01 081500.txt"))));
}

TEST_F(VersionsTest, UndoPutsAMovedCopyBackAndDropsASecondName) {
    const QString target = copyMadeAt(QStringLiteral("a.txt"), "alt", kMarch);
    QString version;
    ASSERT_TRUE(versions::keepAsVersion(target, version));
    versions::undoKeep(target, version);
    EXPECT_EQ(readFile(target), QByteArray("alt"));
    EXPECT_FALSE(QFileInfo::exists(version));

    // As after a move on a file system without hard links.
    ASSERT_TRUE(versions::keepAsVersion(target, version));
    ASSERT_TRUE(QFile::remove(target));
    versions::undoKeep(target, version);
    EXPECT_EQ(readFile(target), QByteArray("alt"));
    EXPECT_FALSE(QFileInfo::exists(version));
}

TEST_F(VersionsTest, ALinkInTheVersionFolderIsNeitherListedNorFollowed) {
    const QString outside = copyMadeAt(QStringLiteral("draussen.txt"), "fremd", kMarch);
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral(".bravel-versions"))));
    ASSERT_TRUE(
        QFile::link(outside, path(QStringLiteral(".bravel-versions/a 2024-03-01 081500.txt"))));
    EXPECT_TRUE(versions::listVersions(dir.path(), QStringLiteral("a.txt")).empty());
    const QString target = copyMadeAt(QStringLiteral("a.txt"), "alt", kMarch);
    QString version;
    ASSERT_TRUE(versions::keepAsVersion(target, version));
    EXPECT_EQ(QFileInfo(version).fileName(), QStringLiteral("a 2024-03-01 081500-2.txt"));
    EXPECT_EQ(versions::pruneVersions(dir.path(), QStringLiteral("a.txt"), 0), 1);
    EXPECT_EQ(readFile(outside), QByteArray("fremd"));
}

TEST_F(VersionsTest, AVersionFolderThatIsALinkOrAFileIsNeverUsed) {
    const QString outside = path(QStringLiteral("anderswo"));
    ASSERT_TRUE(QDir().mkpath(outside));
    const QString precious = outside + QStringLiteral("/f 2020-01-01 000000.txt");
    ASSERT_TRUE(writeFile(precious, "wertvoll"));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("bak"))));
    ASSERT_TRUE(QFile::link(outside, path(QStringLiteral("bak/.bravel-versions"))));
    const QString target = copyMadeAt(QStringLiteral("bak/f.txt"), "alt", kMarch);

    EXPECT_TRUE(
        versions::listVersions(path(QStringLiteral("bak")), QStringLiteral("f.txt")).empty());
    EXPECT_EQ(versions::pruneVersions(path(QStringLiteral("bak")), QStringLiteral("f.txt"), 0), 0);
    QString version;
    Err.Clear();
    EXPECT_FALSE(versions::keepAsVersion(target, version));
    EXPECT_TRUE(Err.Description.contains(QStringLiteral("kein Ordner")))
        << Err.Description.toStdString();
    EXPECT_EQ(readFile(precious), QByteArray("wertvoll"));
    EXPECT_EQ(QDir(outside).entryList(QDir::Files).size(), 1);

    ASSERT_TRUE(QFile::remove(path(QStringLiteral("bak/.bravel-versions"))));
    ASSERT_TRUE(writeFile(path(QStringLiteral("bak/.bravel-versions")), "eine Datei"));
    EXPECT_FALSE(versions::keepAsVersion(target, version));
    EXPECT_EQ(readFile(target), QByteArray("alt"));
}

TEST_F(VersionsTest, ALongNameIsShortenedToFitAndStillFound) {
    const QString name = QString(245, QLatin1Char('L')) + QStringLiteral("ä.txt");
    EXPECT_LE(QFile::encodeName(versions::versionName(name, kMarch, 999)).size(), 255);
    const QString target = copyMadeAt(name, "alt", kMarch);
    QString version;
    ASSERT_TRUE(versions::keepAsVersion(target, version)) << Err.Description.toStdString();
    const auto kept = versions::listVersions(dir.path(), name);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept.front().path), QByteArray("alt"));
}

}  // namespace
}  // namespace bravel::test
