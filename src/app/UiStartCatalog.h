#pragma once

namespace bravel {

class CatalogController;

// Opens the catalog the command line names, or else the setup's autostart catalog; a broken
// autostart entry is reported and switched off.
void openStartCatalog(CatalogController& controller);

// Adds the command line's files to the open catalog with the standard backup folder. False when
// no catalog is open or no standard folder is set.
bool addCommandLineFiles(CatalogController& controller);

}  // namespace bravel
