// File names whose bytes are no UTF-8: they come from the command line and must reach the file
// system and the catalog database unchanged.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include "CatalogFiles.h"
#include "TestSupport.h"
#include "platform/CatalogDatabase.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"

using namespace bravel;

namespace {

TEST(FileNameBytesTest, EveryByteSequenceComesBackAsItWent) {
    const QByteArray samples[] = {
        "plain.bvk",
        "Gr\xc3\xbc\xc3\x9f"
        "e.bvk",                                   // UTF-8
        "K\xe4talog.bvk",                          // Latin-1
        "\xff\xfe",                                // never in UTF-8
        "ende\xc3",                                // a sequence cut off at the end
        "\xc0\xaf",                                // an overlong "/"
        "\xed\xa0\x80x",                           // an encoded surrogate
        "mix \xe4 und \xc3\xa4 \xf0\x9f\x98\x80",  // bad and good side by side
        "\xf3\xb3\xb3\xb3\xb3",  // a character whose second half looks like a byte
    };
    for (const QByteArray& bytes : samples) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const QString name = fs::decodeName(bytes);
        EXPECT_EQ(fs::encodeName(name), bytes);
        EXPECT_FALSE(name.contains(QChar::ReplacementCharacter));
    }
    {
        const QByteArray replacement("a\xef\xbf\xbd\xe4");  // U+FFFD itself is text
        EXPECT_EQ(fs::decodeName(replacement).left(2), QStringLiteral("a\uFFFD"));
        EXPECT_EQ(fs::encodeName(fs::decodeName(replacement)), replacement);
    }
    EXPECT_EQ(fs::decodeName("Gr\xc3\xbc\xc3\x9f"
                             "e"),
              QStringLiteral("Grüße"))
        << "text stays text";
    EXPECT_EQ(fs::decodeName("K\xe4t").size(), 3);
    EXPECT_FALSE(fs::hasNameBytes(fs::decodeName("\xf3\xb3\xb3\xb3"))) << "U+F3CF3 is text";
    EXPECT_TRUE(fs::hasNameBytes(fs::decodeName("\xf3\xb3\xb3\xb3\xb3")));
    EXPECT_EQ(fs::encodeName(QStringLiteral("Grüße")), QByteArray("Gr\xc3\xbc\xc3\x9f"
                                                                  "e"));
}

class FileNameBytesOnDiskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetAll();
        ASSERT_TRUE(dir.isValid());
    }
    QByteArray bytes(const QByteArray& name) const {
        return QFile::encodeName(dir.path()) + '/' + name;
    }
    QTemporaryDir dir;
};

TEST_F(FileNameBytesOnDiskTest, AFileAndACatalogNamedInLatinOneAreFoundAndOpened) {
    const QByteArray file = bytes("Brief \xe4.txt");
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_TRUE(fs::exists(fs::decodeName(file)));
    EXPECT_TRUE(fs::isRegularFile(fs::decodeName(file)));

    const QString utf8Catalog = dir.path() + QStringLiteral("/k.bvk");
    ASSERT_TRUE(test::writeCatalog(
        utf8Catalog,
        {{QStringLiteral("/q/a.txt"), QStringLiteral("/z"), QString(), QString(), {}}}));
    const QByteArray catalog = bytes("K\xe4talog \xff.bvk");
    ASSERT_EQ(::rename(QFile::encodeName(utf8Catalog).constData(), catalog.constData()), 0);

    auto db = CatalogDatabase::open(fs::decodeName(catalog));
    ASSERT_TRUE(db) << Err.Description.toStdString();
    EXPECT_FALSE(db->isReadOnly());
    auto rset = db->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES"));
    ASSERT_TRUE(rset);
    rset->MoveFirst();
    ASSERT_TRUE(rset->Edit());
    ASSERT_TRUE(rset->SetField(QStringLiteral("Status"), QStringLiteral("geändert")));
    ASSERT_TRUE(rset->Update());
    rset->Close();
    db->Close();

    // Written into that very file, with no second catalog under a mangled name beside it.
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.contains(QLatin1Char('?')) || name.contains(QChar::ReplacementCharacter))
            << name.toStdString();
    ASSERT_EQ(::rename(catalog.constData(), QFile::encodeName(utf8Catalog).constData()), 0);
    auto back = CatalogDatabase::open(utf8Catalog);
    ASSERT_TRUE(back);
    auto check = back->OpenRecordset(QStringLiteral("SELECT FILES.* FROM FILES"));
    check->MoveFirst();
    QVariant status;
    check->Field(QStringLiteral("Status"), status);
    EXPECT_EQ(status.toString(), QStringLiteral("geändert"));
    check->Close();
    back->Close();
}

}  // namespace
