// 20 backup runs in a row over 1,000 entries in one process: the memory in use after each run.
// A run that succeeds records nothing, so beyond the first run nothing should stay.
#include <unistd.h>

#include <QElapsedTimer>
#include <fstream>

#include "FaultSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#define BRAVEL_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRAVEL_UNDER_ASAN 1
#endif
#endif

namespace bravel::test {
namespace {

qint64 residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

class SoakTest : public FaultTest {};

TEST_F(SoakTest, TwentyRunsOverAThousandEntries) {
    const QString backup = path(QStringLiteral("b"));
    std::vector<CatalogEntry> entries;
    for (int i = 0; i < 1000; ++i)
        entries.push_back(
            {source(QStringLiteral("d%1/f%2.bin").arg(i % 10).arg(i, 4, 10, QLatin1Char('0')), 1500,
                    i),
             backup});
    openCatalog(entries);

    std::vector<qint64> rss;
    for (int run = 1; run <= 20; ++run) {
        selectAll();
        QElapsedTimer clock;
        clock.start();
        this->run();
        const qint64 ms = clock.elapsed();
        observer.chunks.clear();  // the recording observer's own memory
        observer.chunks.shrink_to_fit();
        observer.log.clear();
        observer.rowsCopied.clear();
        observer.scrolledRows.clear();
        rss.push_back(residentBytes());
        std::printf("[ measured ] run %2d: %5lld ms, RSS %7.1f MiB, error records %d\n", run,
                    static_cast<long long>(ms), rss.back() / 1048576.0, gErrorStack.Count());
    }
    EXPECT_EQ(gErrorStack.Count(), 0)
        << recordTexts().mid(0, 5).join(QLatin1Char('\n')).toStdString();
    for (const auto& entry : entries)
        ASSERT_TRUE(statusOf(entry.source).startsWith(QStringLiteral("gesichert (")))
            << entry.source.toStdString();
    const double growth = (rss.back() - rss.front()) / 1048576.0;
    std::printf("[ measured ] RSS growth from run 1 to run 20: %.1f MiB\n", growth);
#ifndef BRAVEL_UNDER_ASAN
    // A leak of a few hundred bytes per file would show as 10 MiB and more over 19,000 copies.
    EXPECT_LT(growth, 20.0);
#else
    std::printf(
        "[ measured ] (AddressSanitizer keeps freed memory in quarantine: no bound checked; "
        "LeakSanitizer reports leaks at exit)\n");
#endif
}

}  // namespace
}  // namespace bravel::test
