#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "TestSupport.h"
#include "errors/COLError.h"
#include "scan/DirectoryWalk.h"

using namespace bravel;

namespace {

class DirectoryWalkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        gCancelScan = false;
        ASSERT_TRUE(dir.isValid());
        root = dir.path() + "/baum";
        QDir().mkpath(root);
    }
    void TearDown() override { gCancelScan = false; }

    void file(const QString& relative) {
        const QString full = root + "/" + relative;
        QDir().mkpath(QFileInfo(full).path());
        ASSERT_TRUE(test::writeFile(full, "x"));
    }
    QStringList walk(const QString& folder, const QString& pattern = "*") {
        QStringList list;
        gGetFiles(folder, pattern, list);
        return list;
    }
    static QStringList sorted(QStringList list) {
        list.sort();
        return list;
    }

    QTemporaryDir dir;
    QString root;
};

TEST_F(DirectoryWalkTest, WithAndWithoutTrailingSlashTheSameEntries) {
    file("a.txt");
    file("sub/b.txt");
    const QStringList plain = walk(root);
    EXPECT_EQ(plain, walk(root + "/"));
    EXPECT_EQ(sorted(plain), (QStringList{root + "/a.txt", root + "/sub/b.txt"}));
    for (const QString& entry : plain) EXPECT_FALSE(entry.contains("//")) << entry.toStdString();
}

TEST_F(DirectoryWalkTest, DepthFirstInTheFileSystemsOrder) {
    file("eins.txt");
    file("ordner/zwei.txt");
    file("ordner/tief/drei.txt");
    file("vier.txt");
    // The expected order: each folder's listing as readdir gives it, a subfolder's content at
    // the subfolder's place.
    std::function<void(const QString&, QStringList&)> expected = [&](const QString& folder,
                                                                     QStringList& out) {
        QDir listing(folder);
        listing.setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        listing.setSorting(QDir::Unsorted);
        for (const QFileInfo& info : listing.entryInfoList()) {
            if (info.isDir())
                expected(info.filePath(), out);
            else
                out << info.filePath();
        }
    };
    QStringList order;
    expected(root, order);
    EXPECT_EQ(walk(root), order);
}

TEST_F(DirectoryWalkTest, EmptyFolderAndFoldersOnly) {
    EXPECT_TRUE(walk(root).isEmpty());
    QDir().mkpath(root + "/a/b/c");
    QDir().mkpath(root + "/d");
    EXPECT_TRUE(walk(root).isEmpty()) << "folders are never entries";
    file("a/b/c/unten.txt");
    EXPECT_EQ(walk(root), QStringList{root + "/a/b/c/unten.txt"});
}

TEST_F(DirectoryWalkTest, AFolderWithADotIsWalkedAFileWithoutExtensionIsAdded) {
    file("ordner.mit.txt/innen.dat");
    file("LIESMICH");
    file(".versteckt");
    EXPECT_EQ(sorted(walk(root)), (QStringList{root + "/.versteckt", root + "/LIESMICH",
                                               root + "/ordner.mit.txt/innen.dat"}));
}

TEST_F(DirectoryWalkTest, APatternIsAnUpperCaseEnding) {
    file("brief.txt");
    file("BILD.TXT");
    file("daten.txt.bak");
    EXPECT_EQ(sorted(walk(root, ".TXT")), (QStringList{root + "/BILD.TXT", root + "/brief.txt"}));
    EXPECT_TRUE(walk(root, ".txt").isEmpty()) << "the pattern is compared exactly";
}

TEST_F(DirectoryWalkTest, AMissingFolderAddsNothingAndLeavesNoError) {
    QStringList list{"vorher"};
    gGetFiles(root + "/gibt-es-nicht", "*", list);
    EXPECT_EQ(list, QStringList{"vorher"}) << "the caller's list is not emptied";
}

TEST_F(DirectoryWalkTest, CancelBeforeTheCallAddsNothing) {
    file("a.txt");
    gCancelScan = true;
    EXPECT_TRUE(walk(root).isEmpty());
}

TEST_F(DirectoryWalkTest, CancelDuringTheWalkStopsAtTheNextFolder) {
    for (int i = 0; i < 50; ++i) file(QString("o%1/f.txt").arg(i));
    // Events run once per folder: the first chance sets the flag.
    QTimer::singleShot(0, [] { gCancelScan = true; });
    const QStringList list = walk(root);
    EXPECT_LT(list.size(), 50);
}

TEST_F(DirectoryWalkTest, OnlyALinkBackToAFolderOnTheWayDownEnds) {
    file("a/datei.txt");
    file("a/b/tief.txt");
    auto link = [this](const QByteArray& target, const QString& at) {
        ASSERT_EQ(::symlink(target.constData(), QFile::encodeName(root + "/" + at).constData()), 0)
            << at.toStdString();
    };
    link("..", "a/zurueck");                           // a loop back to the first folder
    link(QFile::encodeName(root + "/a"), "a/b/zu-a");  // a loop back to a folder in between
    link(QFile::encodeName(root + "/a"), "zu-a");      // a second way into a, beside the first
    link("a/datei.txt", "link.txt");                   // a file link
    link("nirgends", "kaputt");                        // a link to nothing is no folder
    const QStringList list = walk(root);
    EXPECT_EQ(sorted(list), (QStringList{root + "/a/b/tief.txt", root + "/a/datei.txt",
                                         root + "/kaputt", root + "/link.txt",
                                         root + "/zu-a/b/tief.txt", root + "/zu-a/datei.txt"}))
        << "both ways into a are walked, whichever the folder lists first";
    EXPECT_EQ(gErrorStack.Count(), 0);
}

// What find -L lists below a folder that is not a folder, one path each; find -L stops at a link
// back to a folder on the way down ("File system loop detected") and follows all others.
QStringList findFollowingLinks(const QString& folder) {
    QProcess find;
    find.start("find", {"-L", folder, "-mindepth", "1", "!", "-type", "d", "-print0"});
    if (!find.waitForFinished(120000)) return {};
    QStringList paths;
    for (const QByteArray& path : find.readAllStandardOutput().split('\0'))
        if (!path.isEmpty()) paths << QFile::decodeName(path);
    return paths;
}

TEST_F(DirectoryWalkTest, ARealTreeGivesWhatFindFollowingLinksGives) {
    const QString doc = "/usr/share/doc";
    if (!QFileInfo(doc).isDir() || QStandardPaths::findExecutable("find").isEmpty())
        GTEST_SKIP() << "needs /usr/share/doc and find";
    const QStringList expected = sorted(findFollowingLinks(doc));
    ASSERT_FALSE(expected.isEmpty());
    const QStringList list = walk(doc);
    EXPECT_EQ(list.size(), expected.size());
    EXPECT_EQ(sorted(list), expected);
}

TEST_F(DirectoryWalkTest, ANameThatIsNoTextIsRecordedNotListed) {
    file("gut.txt");
    const QByteArray folder = QFile::encodeName(root);
    const QByteArray badFile = folder + "/schlecht\xFFname.txt";
    const QByteArray badFolder = folder + "/ordner\xE4";
    ASSERT_EQ(::mkdir(badFolder.constData(), 0755), 0);
    for (const QByteArray& name : {badFile, badFolder + "/innen.txt"}) {
        const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    // QTemporaryDir cannot remove what no text names.
    const auto removeBadNames = qScopeGuard([&] {
        ::unlink(badFile.constData());
        ::unlink((badFolder + "/innen.txt").constData());
        ::rmdir(badFolder.constData());
    });
    EXPECT_EQ(walk(root), QStringList{root + "/gut.txt"}) << "no path leads to those two";
    ASSERT_EQ(gErrorStack.Count(), 2);
    QStringList events;
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(gErrorStack.Item(i)->ErrModul(), "v_gGetFiles");
        EXPECT_EQ(gErrorStack.Item(i)->ErrNumber(), 52);
        events << gErrorStack.Item(i)->ErrEvent();
    }
    EXPECT_EQ(sorted(events), (QStringList{"Name ist kein Text und wird nicht aufgenommen: '" +
                                               root + "/ordner\\xE4'",
                                           "Name ist kein Text und wird nicht aufgenommen: '" +
                                               root + "/schlecht\\xFFname.txt'"}));
}

TEST_F(DirectoryWalkTest, ALinkToAFolderOutsideIsWalkedLikeAFolder) {
    const QString outside = dir.path() + "/draussen";
    QDir().mkpath(outside);
    test::writeFile(outside + "/fern.txt", "x");
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(),
                        QFile::encodeName(root + "/fern").constData()),
              0);
    EXPECT_EQ(walk(root), QStringList{root + "/fern/fern.txt"});
}

TEST_F(DirectoryWalkTest, AnUnreadableFolderAddsNothingAndTheSiblingsAreWalked) {
    // Root reads everything; the walk runs as "nobody" in a child process of this test.
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (::geteuid() != 0 || setpriv.isEmpty())
        GTEST_SKIP() << "needs root and setpriv to drop to another user";
    file("offen/a.txt");
    file("zu/geheim.txt");
    file("zz/b.txt");
    for (const QString& path : {dir.path(), root, root + "/offen", root + "/zz", root + "/zu"})
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                        QFileDevice::ExeOther);
    for (const QString& path : {root + "/offen/a.txt", root + "/zz/b.txt", root + "/zu/geheim.txt"})
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    QFile::setPermissions(root + "/zu",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The child is this test program again, running only the walk below.
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("BRAVEL_WALK_AS_CHILD", root);
    child.setProcessEnvironment(environment);
    // The build folder may lie in a home that the other user cannot enter.
    const QString self = test::copyForOtherUsers(QCoreApplication::applicationFilePath());
    ASSERT_FALSE(self.isEmpty());
    child.start(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", self,
                          "--gtest_filter=DirectoryWalkChild.*"});
    ASSERT_TRUE(child.waitForFinished(20000));
    const QString errors = QString::fromUtf8(child.readAllStandardError());
    if (test::otherUserCouldNotStart(child.exitCode(), errors))
        GTEST_SKIP() << "the test program cannot run as another user here: "
                     << errors.toStdString();
    ASSERT_EQ(child.exitCode(), 0) << errors.toStdString();
    QStringList lines;
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split('\n'))
        if (line.startsWith("ENTRY ")) lines << line.mid(6);
    lines.sort();
    EXPECT_EQ(lines, (QStringList{root + "/offen/a.txt", root + "/zz/b.txt"}));
}

TEST_F(DirectoryWalkTest, TheFolderBrowserAnswersThePathOrEmptyWhenCancelled) {
    test::scriptedDialogs().folderAnswers.push_back(root);
    EXPECT_EQ(gBrowseForFolder("qfn.brvl"), root);
    ASSERT_EQ(test::scriptedDialogs().fileRequests.size(), 1u);
    EXPECT_EQ(test::scriptedDialogs().fileRequests[0].kind, "folder");
    EXPECT_EQ(gBrowseForFolder("qfn.brvl"), "") << "no answer: cancelled";
}

// The walk of the test above, run in a child process as another user.
TEST(DirectoryWalkChild, WalksTheFolderGivenByTheParent) {
    const QString folder = qEnvironmentVariable("BRAVEL_WALK_AS_CHILD");
    if (folder.isEmpty())
        GTEST_SKIP() << "runs only as the child of AnUnreadableFolderAddsNothing...";
    QStringList list;
    gGetFiles(folder, "*", list);
    for (const QString& entry : list) std::printf("ENTRY %s\n", entry.toUtf8().constData());
    std::fflush(stdout);
}

}  // namespace
