#pragma once

#include <QPoint>
#include <QString>
#include <optional>

#include "settings/ToolTipSettings.h"

namespace bravel {

class FileProperties;
class ErrorProperties;

// The four lines shown for a main-list row, and the notice about its last backup as a fifth
// when there is one.
QString mainListToolTipText(const FileProperties& entry, const QString& backupNotice = QString());
// The five lines shown for an error-list row (no line break at the end).
QString errorToolTipText(const ErrorProperties& record);

// "x;y" in twips, as the caller hands it to the window.
QString toolTipPositionText(double xTwips, double yTwips);
// The two whole numbers of a position text, or nothing when it does not split into two.
std::optional<QPoint> parseToolTipPosition(const QString& text);

// The window opacity for an alpha value, or nothing when the value is no byte (then the
// window stays without transparency).
std::optional<double> toolTipOpacity(int alpha);

// False for the alpha value of a fully transparent window, which the tooltip does not open as.
bool toolTipCanBeSeen(int alpha);

// The left edge that keeps a window of this width inside the screen's right edge: moved left
// when its right edge would lie at or beyond it. The bottom is never corrected.
int toolTipLeft(int left, int width, int screenRight);

// The closing countdown, one tick every 100 ms. While held the counter stays at zero.
class ToolTipCountdown {
  public:
    explicit ToolTipCountdown(int delayTicks) : delay_(delayTicks) {}
    // True when the window should close now.
    bool tick();
    void setHold(bool hold) { hold_ = hold; }
    bool hold() const { return hold_; }
    int ticks() const { return ticks_; }

  private:
    int delay_;
    int ticks_ = 0;
    bool hold_ = false;
};

}  // namespace bravel
