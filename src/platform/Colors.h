#pragma once

#include <QColor>

namespace bravel {

// Colours are kept as 0x00BBGGRR (red in the low byte), as the settings store them.
QColor colorFromBgr(qint64 bgr);
quint32 bgrFromColor(const QColor& color);

}  // namespace bravel
