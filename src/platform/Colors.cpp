#include "platform/Colors.h"

namespace bravel {

QColor colorFromBgr(qint64 bgr) {
    const auto value = static_cast<quint32>(bgr);
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

quint32 bgrFromColor(const QColor& color) {
    return static_cast<quint32>(color.red()) | (static_cast<quint32>(color.green()) << 8) |
           (static_cast<quint32>(color.blue()) << 16);
}

}  // namespace bravel
