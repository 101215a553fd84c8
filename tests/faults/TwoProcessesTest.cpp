// Two running copies of Bravel on one catalog: this one runs a backup while another process adds
// and removes entries. Nothing may be lost or doubled, and neither may meet a locked catalog.
#include <QProcess>
#include <map>

#include "FaultSupport.h"

namespace bravel::test {
namespace {

class TwoProcessesTest : public FaultTest {};

TEST_F(TwoProcessesTest, ABackupRunBesideAnotherCopyThatAddsAndRemoves) {
    const QString backup = path(QStringLiteral("b"));
    std::vector<std::pair<QString, QString>> entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back({source(QStringLiteral("a%1.bin").arg(i, 3, 10, QLatin1Char('0')), 3000, i), backup});
    openCatalog(entries);
    selectAll();

    const QString stop = path(QStringLiteral("stop"));
    QProcess other;
    other.setProcessChannelMode(QProcess::SeparateChannels);
    other.start(QStringLiteral(CATALOG_CHURN), {catalog, path(QStringLiteral("b-other")), stop});
    ASSERT_TRUE(other.waitForStarted(10000));
    ASSERT_TRUE(other.waitForReadyRead(20000));
    ASSERT_TRUE(other.readLine().startsWith("READY"));

    QElapsedTimer clock;
    clock.start();
    run();
    const qint64 runMs = clock.elapsed();
    writeFile(stop, "stop");
    ASSERT_TRUE(other.waitForFinished(60000));
    const QString report = QString::fromUtf8(other.readAllStandardOutput());
    const QString otherErrors = QString::fromUtf8(other.readAllStandardError());

    // What the other copy did and kept.
    int added = 0, removed = 0, failed = -1;
    std::map<qint64, QString> keptByOther;
    for (const QString& line : report.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("ADDED "))) {
            const QStringList words = line.split(QLatin1Char(' '));
            added = words.value(1).toInt();
            removed = words.value(3).toInt();
            failed = words.value(5).toInt();
        } else if (line.startsWith(QLatin1String("KEPT "))) {
            const QStringList words = line.split(QLatin1Char(' '));
            keptByOther[words.value(1).toLongLong()] = words.value(2);
        }
    }
    std::printf("[ measured ] backup of 300 files: %lld ms; the other copy added %d and removed %d entries\n",
                static_cast<long long>(runMs), added, removed);
    EXPECT_EQ(other.exitCode(), 0) << report.toStdString() << otherErrors.toStdString();
    EXPECT_EQ(failed, 0) << report.toStdString();
    EXPECT_GT(added, 0) << "the other copy did not get to work during the run";

    // No locked catalog here either, and every copy arrived.
    EXPECT_EQ(gErrorStack.Count(), 0) << recordTexts().join(QLatin1Char('\n')).toStdString();
    for (const auto& entry : entries)
        EXPECT_TRUE(statusOf(entry.first).startsWith(QStringLiteral("gesichert ("))) << entry.first.toStdString();

    // Afterwards: each of our records once, updated; each record the other copy kept once; no
    // record it removed; nothing else.
    const std::vector<StoredRecord> stored = storedRecords();
    std::map<QString, int> seen;
    std::map<qint64, int> ids;
    for (const StoredRecord& r : stored) {
        ++seen[r.source];
        ++ids[r.id];
    }
    for (const auto& id : ids) EXPECT_EQ(id.second, 1) << "ID " << id.first;
    for (const auto& entry : entries) {
        EXPECT_EQ(seen[entry.first], 1) << entry.first.toStdString();
        EXPECT_TRUE(storedRecord(entry.first).status.startsWith(QStringLiteral("gesichert (")));
    }
    for (const auto& kept : keptByOther) EXPECT_EQ(seen[kept.second], 1) << kept.second.toStdString();
    EXPECT_EQ(stored.size(), entries.size() + keptByOther.size());
    EXPECT_EQ(added - removed, static_cast<int>(keptByOther.size()));
    EXPECT_EQ(integrityCheck(), QStringLiteral("ok"));
}

}  // namespace
}  // namespace bravel::test
