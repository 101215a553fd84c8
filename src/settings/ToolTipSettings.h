#pragma once

namespace bravel {

// Tooltip values held program-wide; the main window reads them from the settings at load.
extern bool gShowToolTips;  // lst_tooltip equals 1
extern int gToolTipAlpha;   // 0 invisible .. 255 opaque; outside that range no transparency
extern int gToolTipDelay;   // 100 ms ticks until the window closes itself

void readToolTipSettings();
void resetToolTipState();

}  // namespace bravel
