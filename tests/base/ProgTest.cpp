// The shared file and path helpers on real files and folders in a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "base/Prog.h"
#include "errors/COLError.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"

using namespace bravel;

class ProgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QString makeFile(const QString& name, const QByteArray& content = "inhalt") const {
        EXPECT_TRUE(test::writeFile(path(name), content));
        return path(name);
    }

    QTemporaryDir dir;
};

TEST_F(ProgTest, RelativeFolderDropsTheLeadingSlashes) {
    EXPECT_EQ(gRelativeFolder(QStringLiteral("/A/x.txt")), "A");
    EXPECT_EQ(gRelativeFolder(QStringLiteral("/x.txt")), "") << "a file directly in / has none";
    EXPECT_EQ(gRelativeFolder(QStringLiteral("/home/anna/Briefe/a.doc")), "home/anna/Briefe");
    EXPECT_EQ(gRelativeFolder(QStringLiteral("//srv/sh/f.txt")), "srv/sh") << "a network path";
}

TEST_F(ProgTest, FolderOfPathKeepsTheLeadingSlash) {
    EXPECT_EQ(gFolderOfPath(QStringLiteral("/home/anna/a.txt")), "/home/anna");
    EXPECT_EQ(gFolderOfPath(QStringLiteral("/A/x.txt")), "/A");
    EXPECT_EQ(gFolderOfPath(QStringLiteral("/x.txt")), "");
    EXPECT_EQ(gFolderOfPath(QStringLiteral("/home/anna/")), "/home/anna");
}

TEST_F(ProgTest, StripTrailingSlashChangesTheCallersVariable) {
    QString folder = QStringLiteral("/home/anna/");
    EXPECT_EQ(gStripTrailingBackslash(folder), "/home/anna");
    EXPECT_EQ(folder, "/home/anna");

    QString plain = QStringLiteral("/home/anna");
    EXPECT_EQ(gStripTrailingBackslash(plain), "/home/anna");
    EXPECT_EQ(plain, "/home/anna") << "nothing to strip";

    QString twice = QStringLiteral("/home/anna//");
    EXPECT_EQ(gStripTrailingBackslash(twice), "") << "still ends with a slash";
    EXPECT_EQ(twice, "/home/anna/") << "but one slash is gone";

    QString root = QStringLiteral("/");
    EXPECT_EQ(gStripTrailingBackslash(root), "");
    EXPECT_EQ(root, "");
}

TEST_F(ProgTest, FileExistsOfAFolderAndAFileRecordsNothing) {
    EXPECT_TRUE(gFileExists(dir.path()));
    EXPECT_TRUE(gFileExists(dir.path() + QLatin1Char('/')));
    const QString file = makeFile(QStringLiteral("a.txt"));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0), 0);
    EXPECT_TRUE(gFileExists(file)) << "a file without any permission bits exists too";
    EXPECT_TRUE(gFileExists(makeFile(QStringLiteral("leer.txt"), QByteArray())));
    EXPECT_EQ(gErrorStack.Count(), 0);
    EXPECT_EQ(Err.Number, 0);
}

TEST_F(ProgTest, FileExistsOfAMissingPathLeavesOneRecordEachTime) {
    const QString missing = path(QStringLiteral("fehlt.txt"));
    EXPECT_FALSE(gFileExists(missing));
    ASSERT_EQ(gErrorStack.Count(), 1);
    const auto record = gErrorStack.Item(1);
    EXPECT_EQ(record->ErrModul(), "b_gFileExists");
    EXPECT_EQ(record->ErrEvent(), "GetAttr(" + missing + ")");
    EXPECT_EQ(record->ErrNumber(), errnum::kFileNotFound);
    EXPECT_EQ(record->ErrDescr(), "Datei nicht gefunden");
    EXPECT_EQ(Err.Number, 0) << "recorded, then cleared";

    EXPECT_FALSE(gFileExists(missing));
    EXPECT_EQ(gErrorStack.Count(), 2);

    // Below a regular file nothing can exist.
    EXPECT_FALSE(gFileExists(makeFile(QStringLiteral("datei")) + QStringLiteral("/unter.txt")));
    EXPECT_EQ(gErrorStack.Count(), 3);
}

TEST_F(ProgTest, FileExistsOfAnUrlTouchesNothing) {
    EXPECT_FALSE(gFileExists(QStringLiteral("http://example.org/a.txt")));
    EXPECT_EQ(gErrorStack.Count(), 0);
    // Colons are ordinary characters in Linux names.
    EXPECT_TRUE(gFileExists(makeFile(QStringLiteral("a:b"))));
    EXPECT_EQ(gErrorStack.Count(), 0);
}

TEST_F(ProgTest, CreatePathMakesEveryMissingFolder) {
    EXPECT_TRUE(gCreatePath(dir.path())) << "an existing folder";
    EXPECT_TRUE(gCreatePath(dir.path() + QLatin1Char('/')));

    const QString nested = path(QStringLiteral("a/b c/d/"));
    EXPECT_TRUE(gCreatePath(nested));
    EXPECT_TRUE(fs::isDirectory(nested));

    const QString last = path(QStringLiteral("x/Datei.txt"));
    EXPECT_TRUE(gCreatePath(last));
    EXPECT_TRUE(fs::isDirectory(last)) << "without a trailing slash the last part is a folder too";
    EXPECT_EQ(gErrorStack.Count(), 0);
}

TEST_F(ProgTest, CreatePathTakesBlanksAtTheEndsAsPartOfTheNames) {
    const QString trailing = path(QStringLiteral("bak trailing "));
    EXPECT_TRUE(gCreatePath(trailing));
    EXPECT_TRUE(fs::isDirectory(trailing));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("bak trailing"))));
    EXPECT_TRUE(gCreatePath(path(QStringLiteral(" lead/ innen /"))));
    EXPECT_TRUE(fs::isDirectory(path(QStringLiteral(" lead/ innen "))));
    EXPECT_EQ(gErrorStack.Count(), 0);

    // A path that does not start at "/" would land below whatever the current folder is.
    const QString relative = QStringLiteral(" ") + path(QStringLiteral("lead"));
    EXPECT_FALSE(gCreatePath(relative));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath(relative)));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("lead"))));
    ASSERT_EQ(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrNumber(), 76);
    EXPECT_EQ(gErrorStack.Item(1)->ErrEvent(),
              QStringLiteral("b_gCreatePath = CBool(MakeSureDirectoryPathExists(") + relative +
                  QStringLiteral("/))"));
}

TEST_F(ProgTest, CreatePathBelowARegularFileFailsWithOneRecord) {
    const QString file = makeFile(QStringLiteral("datei.txt"));
    const QString below = file + QStringLiteral("/unter");
    EXPECT_FALSE(gCreatePath(below));
    ASSERT_EQ(gErrorStack.Count(), 1);
    const auto record = gErrorStack.Item(1);
    EXPECT_EQ(record->ErrModul(), "b_gCreatePath");
    EXPECT_EQ(record->ErrEvent(),
              "b_gCreatePath = CBool(MakeSureDirectoryPathExists(" + below + "/))");
    EXPECT_GT(record->ErrNumber(), 0);
    EXPECT_FALSE(record->ErrDescr().isEmpty());
    EXPECT_EQ(Err.Number, 0);
    EXPECT_EQ(test::readFile(file), "inhalt") << "the file in the way is untouched";
}

TEST_F(ProgTest, AttributeLettersComeInTheOrderRHAS) {
    EXPECT_EQ(mAttrLetters(0), "");
    EXPECT_EQ(mAttrLetters(attr::kReadOnly | attr::kArchive), "RA");
    EXPECT_EQ(mAttrLetters(attr::kHidden | attr::kSystem), "HS");
    EXPECT_EQ(mAttrLetters(attr::kSystem | attr::kArchive | attr::kHidden | attr::kReadOnly),
              "RHAS");
    EXPECT_EQ(mAttrLetters(attr::kDirectory), "") << "the directory bit has no letter";
    EXPECT_EQ(mAttrLetters(attr::kDirectory | attr::kHidden), "H");
}

TEST_F(ProgTest, GetAttrReadsReadOnlyAndHiddenFiles) {
    const QString plain = makeFile(QStringLiteral("normal.txt"));
    const QString readOnly = makeFile(QStringLiteral("schreibgeschuetzt.txt"));
    const QString hidden = makeFile(QStringLiteral(".versteckt"));
    const QString both = makeFile(QStringLiteral(".beides"));
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(both).constData(), 0400), 0);

    EXPECT_EQ(mGetAttr(plain), "");
    EXPECT_EQ(mGetAttr(readOnly), "R");
    EXPECT_EQ(mGetAttr(hidden), "H");
    EXPECT_EQ(mGetAttr(both), "RH");
    EXPECT_EQ(mGetAttr(dir.path()), "") << "a folder shows no letter for its directory bit";
    EXPECT_EQ(gErrorStack.Count(), 0);
}

TEST_F(ProgTest, GetAttrOfAMissingFileIsEmptyWithTheExistenceRecordOnly) {
    const QString missing = path(QStringLiteral("fehlt.txt"));
    EXPECT_EQ(mGetAttr(missing), "");
    ASSERT_EQ(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrModul(), "b_gFileExists");
    EXPECT_EQ(Err.Number, 0);
}

TEST_F(ProgTest, BusyPointerDoesNotNest) {
    gBusyOn();
    gBusyOn();
    gBusyOn();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    gBusyOff();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "one gBusyOff ends them all";
    gBusyOff();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
