#include "settings/ToolTipSettings.h"

#include <cstdint>

#include "settings/SettingKeys.h"

namespace bravel {

bool gShowToolTips = true;
int gToolTipAlpha = 220;
int gToolTipDelay = 30;

void resetToolTipState() {
    gShowToolTips = true;
    gToolTipAlpha = 220;
    gToolTipDelay = 30;
}

void readToolTipSettings() {
    bool show = true;
    if (readFlagEq1(keys::lst_tooltip, show)) gShowToolTips = show;
    qint64 alpha = 0;
    if (readInteger(keys::sld_ToolTipTransparenz, alpha) && alpha >= INT32_MIN &&
        alpha <= INT32_MAX)
        gToolTipAlpha = static_cast<int>(alpha);
    // The delay is a byte: a value that does not fit leaves the one held.
    qint64 delay = 0;
    if (readInteger(keys::sld_ToolTipDelay, delay) && delay >= 0 && delay <= 255)
        gToolTipDelay = static_cast<int>(delay);
}

}  // namespace bravel
