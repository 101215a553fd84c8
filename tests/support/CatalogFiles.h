#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace bravel::test {

// One record of a catalog made for a test.
struct CatalogEntry {
    QString source;
    QString folder;
    QString status{};
    QString hostStatus{};
    std::optional<qint64> size = std::nullopt;  // "Dateigroesse"; left empty without a value
};

// Creates a catalog at path holding one record per entry, in their order. False, with the
// reason in the pending error, when it cannot.
bool writeCatalog(const QString& path, const std::vector<CatalogEntry>& entries);

// The records of a catalog in the order of their IDs, read by another connection.
std::vector<CatalogEntry> readCatalog(const QString& path);

// SQLite's own integrity check of a catalog file, read by another connection: "ok" when sound.
QString integrityCheck(const QString& catalog);

}  // namespace bravel::test
