#include "backup/Progress.h"

#include "base/RunState.h"
#include "platform/Formats.h"

namespace bravel {

QString remainingFilesWord(int count) {
    return count == 1 ? QStringLiteral(" Datei") : QStringLiteral(" Dateien");
}

QString statusProgressLine(const QString& doneKb, const QString& totalKb, double percent,
                           int remaining) {
    return doneKb + QStringLiteral(" KB von ") + totalKb + QStringLiteral(" KB kopiert: (") +
           formatTwoDecimals(percent) + QStringLiteral("%)  (Rest: ") + QString::number(remaining) +
           remainingFilesWord(remaining) + QLatin1Char(')');
}

QString sampleProgressLine() {
    const QString blanks(15, QLatin1Char(' '));
    return blanks + QStringLiteral("KB von ") + blanks + QStringLiteral("KB kopiert: (") +
           formatTwoDecimals(0) + QStringLiteral("%)  (Rest: ") + QString::number(gSelCount) +
           remainingFilesWord(gSelCount) + QLatin1Char(')');
}

QString percentText(double percent) {
    return formatWhole(percent) + QLatin1Char('%');
}

const QString& pauseMarker() {
    static const QString marker = QString(150, QLatin1Char(' ')) + QStringLiteral("[PAUSED]");
    return marker;
}

}  // namespace bravel
