// FileProperties and COLArchivFiles on real source files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/FileProperties.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"

using namespace bravel;

class FilePropertiesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        ASSERT_TRUE(dir.isValid());
    }
    // A source file of the given size with a known modification time.
    QString makeSource(const QString& name, int bytes, const QDateTime& modified) const {
        const QString file = dir.path() + QLatin1Char('/') + name;
        EXPECT_TRUE(test::writeFile(file, QByteArray(bytes, 'x')));
        EXPECT_TRUE(fs::setModificationTime(file, modified));
        return file;
    }

    QTemporaryDir dir;
    const QDateTime modified{QDate(2025, 3, 14), QTime(9, 26, 53)};
};

TEST_F(FilePropertiesTest, NewObjectHoldsEmptyValuesAndTheZeroDate) {
    FileProperties item;
    EXPECT_EQ(item.acSourceFile(), "");
    EXPECT_EQ(item.acTagetPath(), "");
    EXPECT_EQ(item.iSourceFileAttr(), 0);
    EXPECT_EQ(item.lSourceByte(), 0);
    EXPECT_EQ(item.dteSourceDate(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_EQ(item.acLastStatus(), "");
}

TEST_F(FilePropertiesTest, SettersOfAMissingFileFailAndKeepTheStoredValues) {
    FileProperties item;
    item.setISourceFileAttr(7);
    EXPECT_EQ(Err.Number, errnum::kFileNotFound) << "an empty source path cannot be read";
    Err.Clear();

    item.setAcSourceFile(dir.path() + QStringLiteral("/fehlt.txt"));
    item.setLSourceByte(1234);
    EXPECT_EQ(Err.Number, errnum::kFileNotFound);
    Err.Clear();
    item.setDteSourceDate(modified);
    EXPECT_GT(Err.Number, 0);
    Err.Clear();

    EXPECT_EQ(item.iSourceFileAttr(), 0);
    EXPECT_EQ(item.lSourceByte(), 0);
    EXPECT_EQ(item.dteSourceDate(), zeroDate());
}

TEST_F(FilePropertiesTest, SettersReadTheFileAndIgnoreThePassedValues) {
    const QString source = makeSource(QStringLiteral("Brief.txt"), 1500, modified);
    ASSERT_EQ(::chmod(QFile::encodeName(source).constData(), 0444), 0);
    FileProperties item;
    item.setAcSourceFile(source);
    item.setAcTagetPath(QStringLiteral("/sicherung/Briefe "));
    item.setAcLastStatus(QStringLiteral("  gesichert (12:00:00) "));
    EXPECT_EQ(item.acSourceFile(), source);
    EXPECT_EQ(item.acTagetPath(), "/sicherung/Briefe ")
        << "a blank at a path's end is part of the name";
    EXPECT_EQ(item.acLastStatus(), "gesichert (12:00:00)");

    Err.Raise(errnum::kDeviceIO);  // left over from an earlier step
    item.setISourceFileAttr(attr::kHidden | attr::kArchive);
    EXPECT_EQ(Err.Number, 0) << "a successful set clears the pending error";
    item.setLSourceByte(99);
    item.setDteSourceDate(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    EXPECT_EQ(item.iSourceFileAttr(), attr::kReadOnly);
    EXPECT_EQ(item.lSourceByte(), 1500);
    EXPECT_EQ(item.dteSourceDate(), modified);
}

TEST_F(FilePropertiesTest, LengthSetterSeesAGrownFile) {
    const QString source = makeSource(QStringLiteral("wachsend.log"), 10, modified);
    FileProperties item;
    item.setAcSourceFile(source);
    item.setLSourceByte();
    EXPECT_EQ(item.lSourceByte(), 10);

    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray(4086, 'y'));
    file.close();
    item.setLSourceByte(10);
    EXPECT_EQ(item.lSourceByte(), 4096) << "whatever value is passed";
}

TEST_F(FilePropertiesTest, LengthBeyond32BitsIsKeptWhole) {
    const QString source = dir.path() + QStringLiteral("/gross.img");
    ASSERT_TRUE(test::writeFile(source, QByteArray()));
    QFile file(source);
    const qint64 fiveGiB = 5LL * 1024 * 1024 * 1024;
    ASSERT_TRUE(file.resize(fiveGiB));  // sparse: takes no space
    FileProperties item;
    item.setAcSourceFile(source);
    item.setLSourceByte();
    EXPECT_EQ(item.lSourceByte(), fiveGiB);
}

TEST_F(FilePropertiesTest, AddTakesSourceValuesFromTheFile) {
    const QString source = makeSource(QStringLiteral("Foto.jpg  "), 300, modified);
    makeSource(QStringLiteral("Foto.jpg"), 5, modified.addDays(-1));  // the name without its blanks
    COLArchivFiles files;
    Err.Raise(errnum::kDeviceIO);
    auto item = files.Add(source, QStringLiteral("/sicherung "), attr::kHidden, 77777,
                          QDateTime(QDate(1999, 9, 9), QTime(9, 9)), QStringLiteral(" neu "));
    ASSERT_TRUE(item);
    EXPECT_EQ(Err.Number, 0);
    EXPECT_EQ(item->acSourceFile(), source) << "paths are taken as they are";
    EXPECT_EQ(item->acTagetPath(), "/sicherung ");
    EXPECT_EQ(item->iSourceFileAttr(), 0);
    EXPECT_EQ(item->lSourceByte(), 300);
    EXPECT_EQ(item->dteSourceDate(), modified);
    EXPECT_EQ(item->acLastStatus(), "neu");
    EXPECT_EQ(files.Count(), 1);
    EXPECT_EQ(files.Item(1), item) << "the collection shares its items";
}

TEST_F(FilePropertiesTest, AddOfAMissingSourceGivesZeroesAndNoFailure) {
    COLArchivFiles files;
    auto item = files.Add(dir.path() + QStringLiteral("/fehlt.txt"), QStringLiteral("/s"),
                          attr::kReadOnly, 4711, modified, QStringLiteral("alt"));
    ASSERT_TRUE(item);
    EXPECT_EQ(Err.Number, 0) << "no failure reaches the caller of Add";
    EXPECT_EQ(item->iSourceFileAttr(), 0);
    EXPECT_EQ(item->lSourceByte(), 0);
    EXPECT_EQ(item->dteSourceDate(), zeroDate());
    EXPECT_EQ(item->acTagetPath(), "/s") << "the other properties are still set";
    EXPECT_EQ(item->acLastStatus(), "alt");
}

TEST_F(FilePropertiesTest, CollectionIsOneBasedInInsertionOrder) {
    COLArchivFiles files;
    files.Clear();
    EXPECT_EQ(files.Count(), 0) << "clearing an empty collection does nothing";
    EXPECT_EQ(Err.Number, 0);
    for (const char* name : {"/eins", "/zwei", "/drei", "/vier"})
        files.Add(QString::fromLatin1(name), QString(), 0, 0, QDateTime(), QString());
    EXPECT_EQ(files.Count(), 4);
    EXPECT_EQ(files.Item(1)->acSourceFile(), "/eins");
    EXPECT_EQ(files.Item(4)->acSourceFile(), "/vier");

    EXPECT_EQ(files.Item(0), nullptr);
    EXPECT_EQ(Err.Number, errnum::kSubscriptOutOfRange);
    Err.Clear();
    EXPECT_EQ(files.Item(5), nullptr);
    EXPECT_EQ(Err.Number, errnum::kSubscriptOutOfRange);
    Err.Clear();

    files.Remove(2);
    EXPECT_EQ(files.Count(), 3);
    EXPECT_EQ(files.Item(2)->acSourceFile(), "/drei") << "later items move up";
    files.Remove(9);
    EXPECT_EQ(Err.Number, errnum::kSubscriptOutOfRange);
    EXPECT_EQ(files.Count(), 3);
    Err.Clear();

    files.Clear();
    EXPECT_EQ(files.Count(), 0);
    files.Add(QStringLiteral("/fuenf"), QString(), 0, 0, QDateTime(), QString());
    EXPECT_EQ(files.Item(1)->acSourceFile(), "/fuenf");
}
