#pragma once

#include <QString>
#include <array>
#include <memory>

#include "platform/CatalogDatabase.h"

namespace bravel {

// The open catalog.
struct CatalogHandle {
    std::unique_ptr<CatalogDatabase> Access;  // none when nothing is open
};
extern CatalogHandle gDB;
extern bool gDBOpen;  // a catalog was opened or created and its table read
extern bool gIdle;    // false while a catalog is opened, entries change or a run works

// The recently used catalogs, slot 1 (index 0) the most recent; "" marks a free slot.
extern std::array<QString, 9> gRecentCatalogs;

void resetCatalogState();

}  // namespace bravel
