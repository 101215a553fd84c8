#pragma once

#include <QString>

#include "settings/SetupValues.h"

namespace bravel {

class AppearanceTarget;
class CatalogController;

// What the main window does once the setup window has closed with result: after OK the
// autostart catalog is checked (and opened when asked); after Exit every live appearance change
// goes back to the main window's baseline; then the column fitting, the status-window flag and
// the timers follow the stored values. The busy pointer is switched off at the end.
void applySetupResult(const QString& result, AppearanceTarget& target,
                      CatalogController& controller);

}  // namespace bravel
