// Names with blanks, umlauts and a newline, a 255-byte file name and a 4,000-character path:
// added, listed, backed up, exported and deleted like any other.
#include <limits.h>

#include "FaultSupport.h"
#include "catalog/EntryCommands.h"
#include "catalog/EntryWriter.h"
#include "listtools/ListExport.h"
#include "platform/Formats.h"

namespace bravel::test {
namespace {

class StrangeNamesTest : public FaultTest {};

QString longPath(const QString& base, int length) {
    QString p = base;
    while (p.size() + 1 + 200 < length - 20) p += QLatin1Char('/') + QString(200, QLatin1Char('v'));
    p += QLatin1Char('/');
    p +=
        QString(length - static_cast<int>(p.size()) - 4, QLatin1Char('n')) + QStringLiteral(".txt");
    return p;
}

TEST_F(StrangeNamesTest, AddedListedBackedUpExportedAndDeleted) {
    const QString folder = path(QStringLiteral("src"));
    const QString name255 =
        QString(126, QChar(0xFC)) + QStringLiteral("abc");  // 126 × "ü": 252 bytes
    ASSERT_EQ(name255.toUtf8().size(), NAME_MAX);
    const QStringList names = {QStringLiteral(" Datei mit  Blanks .txt"),
                               QStringLiteral("Ärger über Öl – ß.txt"),
                               QStringLiteral("Zeile\nzwei.txt"), name255};
    QStringList sources;
    for (int i = 0; i < names.size(); ++i) {
        sources << folder + QLatin1Char('/') + names[i];
        ASSERT_TRUE(writeFile(sources.back(), patterned(5000, i))) << i;
    }
    sources << longPath(folder, 4000);
    ASSERT_EQ(sources.back().size(), 4000);
    ASSERT_TRUE(writeFile(sources.back(), patterned(5000, 9)))
        << "the file system refused the long path";

    // Added as the entry editor and the command line add them.
    const QString backup = path(QStringLiteral("Sicherung mit Blank/ä"));
    openCatalog({});
    gSelectedFiles = sources;
    mSaveEntries(controller->rset_Record(), SaveMode::AddNew, backup);
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(scriptedDialogs().messages.empty());
    controller->mFillListBox();

    // Listed: each once, found, with its size.
    ASSERT_EQ(model().rowCount(), sources.size());
    for (const QString& src : sources) {
        SCOPED_TRACE(src.left(80).toStdString());
        const int r = rowOf(src);
        EXPECT_EQ(model().cell(r, col::kSource), src);
        EXPECT_EQ(model().cellColor(r, col::kSource), listcolor::kBlack);
        EXPECT_EQ(model().cell(r, col::kSize).trimmed(), QStringLiteral("5"));
        EXPECT_EQ(model().cell(r, col::kFolder), backup);
    }
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join(QLatin1Char('\n')).toStdString();

    // Backed up.
    selectAll();
    run();
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join(QLatin1Char('\n')).toStdString();
    for (int i = 0; i < sources.size(); ++i) {
        const QString& src = sources[i];
        SCOPED_TRACE(src.left(80).toStdString());
        const QString target =
            backup + QLatin1Char('/') + src.mid(src.lastIndexOf(QLatin1Char('/')) + 1);
        EXPECT_EQ(readFile(target), readFile(src));
        EXPECT_TRUE(statusOf(src).startsWith(QStringLiteral("gesichert (")));
        EXPECT_TRUE(storedRecord(src).status.startsWith(QStringLiteral("gesichert (")));
    }

    // Exported: every path whole in the text file.
    selectAll();
    const QString exported = path(QStringLiteral("export.txt"));
    gExportList(model(), exported, exportmode::kFile);
    const QString text = QString::fromUtf8(readFile(exported));
    for (const QString& src : sources)
        EXPECT_TRUE(text.contains(src + QLatin1Char(';'))) << src.left(80).toStdString();

    // Deleted: the backup copies, then the entries.
    selectAll();
    mDeleteFiles(*controller, DeleteMode::Local);
    for (const QString& src : sources) {
        const QString target =
            backup + QLatin1Char('/') + src.mid(src.lastIndexOf(QLatin1Char('/')) + 1);
        EXPECT_FALSE(QFileInfo::exists(target)) << target.left(80).toStdString();
        EXPECT_TRUE(QFileInfo::exists(src))
            << "a source was deleted: " << src.left(80).toStdString();
    }
    selectAll();
    but_delete_Click(*controller);
    EXPECT_EQ(model().rowCount(), 0);
    EXPECT_TRUE(storedRecords().empty());
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

// A name may begin or end with blanks: such a source is found, listed, and copied into exactly the
// folder of its entry, even where the same name without its blanks exists too.
TEST_F(StrangeNamesTest, BlanksAtTheEndsOfNamesBelongToTheName) {
    const QString trailing = source(QStringLiteral("trailing.txt "), 6000, 1);
    const QString leading = source(QStringLiteral(" leading.txt"), 7000, 2);
    source(QStringLiteral("trailing.txt"), 10, 3);  // its twin without the blank
    const QString missing = path(QStringLiteral("src/nur-ohne-blank.txt "));
    ASSERT_TRUE(writeFile(path(QStringLiteral("src/nur-ohne-blank.txt")), "x"));
    const QString backup = path(QStringLiteral("bak trailing "));
    openCatalog(
        {{trailing, backup}, {leading, path(QStringLiteral(" bak leading"))}, {missing, backup}});

    EXPECT_EQ(model().cellColor(rowOf(trailing), col::kSource), listcolor::kBlack);
    EXPECT_EQ(model().cell(rowOf(trailing), col::kSize).trimmed(), QStringLiteral("6"));
    EXPECT_EQ(model().cell(rowOf(leading), col::kSize).trimmed(), QStringLiteral("7"));
    EXPECT_NE(model().cell(rowOf(trailing), col::kChanged), formatGeneralDate(zeroDate(), true));
    EXPECT_EQ(model().cell(rowOf(trailing), col::kFolder), backup) << "the folder as stored";
    EXPECT_EQ(model().cellColor(rowOf(missing), col::kSource), listcolor::kRed)
        << "the same name without its blank does not stand in for it";
    EXPECT_EQ(model().cell(rowOf(missing), col::kSize).trimmed(), QStringLiteral("n/a"));

    selectAll();
    run();
    EXPECT_EQ(readFile(backup + QStringLiteral("/trailing.txt ")), readFile(trailing));
    EXPECT_EQ(readFile(path(QStringLiteral(" bak leading/ leading.txt"))), readFile(leading));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("bak trailing"))))
        << "no folder the user did not choose";
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("bak leading"))));
    EXPECT_FALSE(QFileInfo::exists(backup + QStringLiteral("/trailing.txt")))
        << "the twin was not copied";
    EXPECT_FALSE(QFileInfo::exists(backup + QStringLiteral("/nur-ohne-blank.txt")));
    for (const QString& src : {trailing, leading}) {
        EXPECT_TRUE(statusOf(src).startsWith(QStringLiteral("gesichert ("))) << src.toStdString();
        EXPECT_TRUE(storedRecord(src).status.startsWith(QStringLiteral("gesichert (")));
        EXPECT_EQ(storedRecord(src).source, src) << "the record keeps the name whole";
    }
}

// A stored folder that does not start at "/" (" /tmp/x", with a blank before it) names no place
// the user chose: the run creates nothing for it, below the current folder or elsewhere.
TEST_F(StrangeNamesTest, AStoredFolderThatIsNoFullPathIsNotCreated) {
    const QString src = source(QStringLiteral("a.txt"));
    const QString relative = QLatin1Char(' ') + path(QStringLiteral("bak"));
    openCatalog({{src, relative}});
    EXPECT_EQ(model().cellColor(0, col::kFolder), listcolor::kRed);
    selectAll();
    run();
    EXPECT_EQ(statusOf(src), runtext::kPathFailed);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("bak"))));
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath(relative)));
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath(QStringLiteral(" "))));
    EXPECT_TRUE(storedRecord(src).status.isEmpty()) << "the record says nothing it did not do";
}

}  // namespace
}  // namespace bravel::test
