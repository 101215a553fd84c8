#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "TestSupport.h"
#include "platform/Err.h"
#include "platform/FileDigest.h"

namespace bravel::test {
namespace {

TEST(FileDigestTest, EqualContentGivesEqualDigestsAndOneFlippedByteDoesNot) {
    QTemporaryDir dir;
    QByteArray content(3 * 1024 * 1024 + 17, '\0');
    for (int i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 131) >> 3);
    const QString a = dir.path() + QStringLiteral("/a"), b = dir.path() + QStringLiteral("/b");
    ASSERT_TRUE(writeFile(a, content));
    ASSERT_TRUE(writeFile(b, content));
    QByteArray digestA, digestB;
    ASSERT_TRUE(fs::contentDigest(a, false, digestA));
    ASSERT_TRUE(fs::contentDigest(b, true, digestB));
    EXPECT_EQ(digestA.size(), 16);
    EXPECT_EQ(digestA, digestB);

    content[2 * 1024 * 1024 + 5] = static_cast<char>(content[2 * 1024 * 1024 + 5] ^ 0x01);
    ASSERT_TRUE(writeFile(b, content));
    ASSERT_TRUE(fs::contentDigest(b, true, digestB));
    EXPECT_NE(digestA, digestB);

    ASSERT_TRUE(writeFile(b, QByteArray()));
    ASSERT_TRUE(fs::contentDigest(b, true, digestB));
    EXPECT_NE(digestA, digestB);
}

TEST(FileDigestTest, AMissingFileOrALinkFails) {
    QTemporaryDir dir;
    QByteArray digest;
    Err.Clear();
    EXPECT_FALSE(fs::contentDigest(dir.path() + QStringLiteral("/fehlt"), false, digest));
    EXPECT_EQ(Err.Number, errnum::kFileNotFound);
    ASSERT_TRUE(writeFile(dir.path() + QStringLiteral("/ziel"), "x"));
    ASSERT_TRUE(
        QFile::link(dir.path() + QStringLiteral("/ziel"), dir.path() + QStringLiteral("/link")));
    EXPECT_FALSE(fs::contentDigest(dir.path() + QStringLiteral("/link"), false, digest));
}

}  // namespace
}  // namespace bravel::test
