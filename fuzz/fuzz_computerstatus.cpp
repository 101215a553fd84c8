// The Computerstatus text of a record: how the list fill splits it into host columns, and how a
// backup run stamps this host's date into it.

#include "FuzzSupport.h"
#include "backup/BackupRun.h"
#include "catalog/CatalogController.h"

using namespace bravel;

namespace {

bool isEightDigits(const QString& text) {
    if (text.size() != 8) return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzz::text(data, size);
    const QStringList parts = input.split(QLatin1Char('\n'));
    const QString old = parts.value(0);
    const QString host = parts.value(1);
    const QString date = parts.size() > 2 ? parts[2] : QStringLiteral("20240131");

    // The fill: at most one stamp per ";", each a name and eight digits; a piece without a name
    // or without its eight digits makes none. The stamps stand in the text in their order.
    const std::vector<HostStamp> stamps = parseComputerstatus(old);
    const QString trimmed = old.trimmed();
    FUZZ_CHECK(static_cast<qsizetype>(stamps.size()) <= trimmed.count(QLatin1Char(';')));
    qsizetype from = 0;
    for (const HostStamp& stamp : stamps) {
        FUZZ_CHECK(!stamp.host.isEmpty() && stamp.date.size() == 8 && isEightDigits(stamp.date));
        FUZZ_CHECK(!stamp.host.contains(QLatin1Char(';')));
        const QString piece = stamp.host + stamp.date + QLatin1Char(';');
        const qsizetype at = trimmed.indexOf(piece, from);
        FUZZ_CHECK(at >= 0);
        from = at + piece.size();
    }

    // The run: this host's entry is replaced in place or appended.
    const QString updated = updatedComputerstatus(old, host, date);
    const QString entry = host + date + QLatin1Char(';');
    FUZZ_CHECK(updated.contains(entry));
    const qsizetype p = host.isEmpty() ? -1 : old.indexOf(host);
    if (p < 0) {
        FUZZ_CHECK(updated == old + entry);
    } else {
        FUZZ_CHECK(updated.startsWith(old.left(p) + entry));
        FUZZ_CHECK(updated.size() <= old.size() + entry.size());
    }
    // Stamping the same day twice changes nothing more (on a text that ends with its ";", so that
    // the appended name cannot join up with the end of the old text).
    if (!host.isEmpty() && date.size() == 8 && !host.contains(QLatin1Char(';')) &&
        (old.isEmpty() || old.endsWith(QLatin1Char(';'))))
        FUZZ_CHECK(updatedComputerstatus(updated, host, date) == updated);
    // A stamp the fill then shows: the host's own column carries the date.
    if (!host.isEmpty() && isEightDigits(date) && !host.contains(QLatin1Char(';')) &&
        old.trimmed() == old && host.trimmed() == host && p < 0 && old.isEmpty()) {
        const std::vector<HostStamp> shown = parseComputerstatus(updated);
        FUZZ_CHECK(shown.size() == 1 && shown[0].host == host && shown[0].date == date);
    }
    return 0;
}
