#include "listtools/ToolTipContent.h"

#include <QStringList>

#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/FileProperties.h"
#include "errors/ErrorProperties.h"
#include "platform/Formats.h"

namespace bravel {

QString mainListToolTipText(const FileProperties& entry, const QString& backupNotice) {
    const QString indent = QStringLiteral("  ");
    const qint64 bytes = entry.lSourceByte();
    const QString size =
        formatGrouped(static_cast<double>(roundHalfEven(static_cast<double>(bytes) / 1024.0))) +
        QStringLiteral("KB (") + formatGrouped(static_cast<double>(bytes)) +
        QStringLiteral("Byte)") + QStringLiteral(" Attr(") + mAttrLetters(entry.iSourceFileAttr()) +
        QLatin1Char(')');
    QStringList lines{indent + entry.acSourceFile(),
                      indent + formatGeneralDate(entry.dteSourceDate(), true), indent + size,
                      indent + entry.acTagetPath()};
    if (!backupNotice.isEmpty()) lines << indent + backupNotice;
    return lines.join(gCrLf);
}

QString errorToolTipText(const ErrorProperties& record) {
    const QStringList lines{
        QStringLiteral("Zeitpunkt: ") + formatGeneralDate(record.ErrDate(), true),
        QStringLiteral("Fehlernummer: ") + QString::number(record.ErrNumber()),
        QStringLiteral("Fehlerbeschreibung: ") + record.ErrDescr(),
        QStringLiteral("Modul: ") + record.ErrModul(),
        QStringLiteral("Auslöser: ") + record.ErrEvent()};
    return lines.join(gCrLf);
}

QString toolTipPositionText(double xTwips, double yTwips) {
    return QString::number(static_cast<qint64>(xTwips)) + QLatin1Char(';') +
           QString::number(static_cast<qint64>(yTwips));
}

std::optional<QPoint> parseToolTipPosition(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(';'));
    if (parts.size() != 2) return std::nullopt;
    bool xOk = false;
    bool yOk = false;
    const int x = parts[0].trimmed().toInt(&xOk);
    const int y = parts[1].trimmed().toInt(&yOk);
    if (!xOk || !yOk) return std::nullopt;
    return QPoint(x, y);
}

std::optional<double> toolTipOpacity(int alpha) {
    if (alpha < 0 || alpha > 255) return std::nullopt;
    return alpha / 255.0;
}

bool toolTipCanBeSeen(int alpha) {
    return alpha != 0;
}

int toolTipLeft(int left, int width, int screenRight) {
    // screenRight is the first position beyond the screen.
    if (left + width >= screenRight) return screenRight - width;
    return left;
}

bool ToolTipCountdown::tick() {
    if (hold_) {
        ticks_ = 0;
        return false;
    }
    ++ticks_;
    // At or past the delay: a delay of 0 closes at the first tick instead of after a wrap-around.
    if (ticks_ >= delay_) {
        ticks_ = 0;
        return true;
    }
    return false;
}

}  // namespace bravel
