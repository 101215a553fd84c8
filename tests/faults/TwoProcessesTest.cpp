// Two running copies of Bravel on one catalog: this one runs a backup while another process adds
// and removes entries. Nothing may be lost or doubled, and neither may meet a locked catalog.
#include <QProcess>
#include <map>

#include "FaultSupport.h"

namespace bravel::test {
namespace {

// What the other copy did and kept, from its report.
struct ChurnReport {
    int added = 0;
    int removed = 0;
    int failed = -1;
    int exitCode = -1;
    std::map<qint64, QString> kept;
    QString text;
};

// The other running copy: it adds and removes entries until it is told to stop.
class OtherCopy {
  public:
    OtherCopy(const QString& catalog, const QString& backup, const QString& stopFile)
        : stopFile_(stopFile) {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(QStringLiteral(CATALOG_CHURN), {catalog, backup, stopFile});
    }
    bool ready() {
        return process_.waitForStarted(10000) && process_.waitForReadyRead(20000) &&
               process_.readLine().startsWith("READY");
    }
    ChurnReport stop() {
        writeFile(stopFile_, "stop");
        ChurnReport report;
        if (!process_.waitForFinished(60000)) return report;
        report.exitCode = process_.exitCode();
        report.text = QString::fromUtf8(process_.readAllStandardOutput()) +
                      QString::fromUtf8(process_.readAllStandardError());
        for (const QString& line : report.text.split(QLatin1Char('\n'))) {
            const QStringList words = line.split(QLatin1Char(' '));
            if (line.startsWith(QLatin1String("ADDED "))) {
                report.added = words.value(1).toInt();
                report.removed = words.value(3).toInt();
                report.failed = words.value(5).toInt();
            } else if (line.startsWith(QLatin1String("KEPT "))) {
                report.kept[words.value(1).toLongLong()] = words.value(2);
            }
        }
        return report;
    }

  private:
    QString stopFile_;
    QProcess process_;
};

class TwoProcessesTest : public FaultTest {
  protected:
    // Each of our records once and backed up, each record the other copy kept once, nothing
    // else, and a sound catalog.
    // The first liveEntries entries are files the other copy writes meanwhile (the catalog and its
    // side files): their copy fails when they change while read, so their status is not checked.
    void expectBothCopiesKeptTheirRecords(const std::vector<CatalogEntry>& entries,
                                          const ChurnReport& other, size_t liveEntries = 0) {
        EXPECT_EQ(other.exitCode, 0) << other.text.toStdString();
        EXPECT_EQ(other.failed, 0) << other.text.toStdString();
        EXPECT_GT(other.added, 0) << "the other copy did not get to work during the run";
        const std::vector<StoredRecord> stored = storedRecords();
        std::map<QString, int> seen;
        std::map<qint64, int> ids;
        for (const StoredRecord& r : stored) {
            ++seen[r.source];
            ++ids[r.id];
        }
        for (const auto& id : ids) EXPECT_EQ(id.second, 1) << "ID " << id.first;
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(seen[entries[i].source], 1) << entries[i].source.toStdString();
            if (i >= liveEntries) {
                EXPECT_TRUE(storedRecord(entries[i].source)
                                .status.startsWith(QStringLiteral("gesichert (")));
            }
        }
        for (const auto& kept : other.kept)
            EXPECT_EQ(seen[kept.second], 1) << kept.second.toStdString();
        EXPECT_EQ(stored.size(), entries.size() + other.kept.size());
        EXPECT_EQ(other.added - other.removed, static_cast<int>(other.kept.size()));
        EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
    }
};

TEST_F(TwoProcessesTest, ABackupRunBesideAnotherCopyThatAddsAndRemoves) {
    const QString backup = path(QStringLiteral("b"));
    std::vector<CatalogEntry> entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back(
            {source(QStringLiteral("a%1.bin").arg(i, 3, 10, QLatin1Char('0')), 3000, i), backup});
    openCatalog(entries);
    selectAll();

    OtherCopy other(catalog, path(QStringLiteral("b-other")), path(QStringLiteral("stop")));
    ASSERT_TRUE(other.ready());
    QElapsedTimer clock;
    clock.start();
    run();
    const qint64 runMs = clock.elapsed();
    const ChurnReport report = other.stop();
    std::printf(
        "[ measured ] backup of 300 files: %lld ms; the other copy added %d and removed %d "
        "entries\n",
        static_cast<long long>(runMs), report.added, report.removed);

    // No locked catalog here either, and every copy arrived.
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join(QLatin1Char('\n')).toStdString();
    for (const auto& entry : entries)
        EXPECT_TRUE(statusOf(entry.source).startsWith(QStringLiteral("gesichert (")))
            << entry.source.toStdString();
    expectBothCopiesKeptTheirRecords(entries, report);
}

// A catalog whose own folder was scanned into it: the run reads and closes the catalog and its
// side files while the other copy writes, and this copy writes on after the other one ended.
TEST_F(TwoProcessesTest, ARunThatBacksUpTheOpenCatalogItselfLosesNoRecordOfTheOtherCopy) {
    const QString backup = path(QStringLiteral("b"));
    const QString catalogAt = path(QStringLiteral("Katalog.bvk"));
    std::vector<CatalogEntry> entries;
    for (const char* suffix : {"", "-wal", "-shm"})
        entries.push_back({catalogAt + QLatin1String(suffix), backup});
    for (int i = 0; i < 100; ++i)
        entries.push_back(
            {source(QStringLiteral("a%1.bin").arg(i, 3, 10, QLatin1Char('0')), 3000, i), backup});
    openCatalog(entries, catalogAt);
    selectAll();

    OtherCopy other(catalog, path(QStringLiteral("b-other")), path(QStringLiteral("stop")));
    ASSERT_TRUE(other.ready());
    run();
    const ChurnReport report = other.stop();
    OtherCopy later(catalog, path(QStringLiteral("b-later")), path(QStringLiteral("stop-later")));
    ASSERT_TRUE(later.ready());
    run();  // our records are written again, beside the later copy's
    const ChurnReport laterReport = later.stop();
    controller->closeCatalog();

    EXPECT_EQ(laterReport.failed, 0) << laterReport.text.toStdString();
    ChurnReport both = report;
    both.kept.insert(laterReport.kept.begin(), laterReport.kept.end());
    both.added += laterReport.added;
    both.removed += laterReport.removed;
    expectBothCopiesKeptTheirRecords(entries, both, 3);
}

}  // namespace
}  // namespace bravel::test
