#include "catalog/CatalogState.h"

namespace bravel {

CatalogHandle gDB;
bool gDBOpen = false;
bool gIdle = true;
std::array<QString, 9> gRecentCatalogs;

void resetCatalogState() {
    gDB.Access.reset();
    gDBOpen = false;
    gIdle = true;
    gRecentCatalogs.fill(QString());
}

}  // namespace bravel
