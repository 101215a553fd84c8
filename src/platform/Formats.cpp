#include "platform/Formats.h"

#include <QLocale>
#include <cmath>

namespace bravel {
namespace {

// Format patterns round halves away from zero, like a calculator does.
qint64 roundHalfAway(double value) { return static_cast<qint64>(std::llround(value)); }

QLocale plainLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString dateFormatWithFullYear(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString timeFormatWithSeconds(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1Char('s'))) format.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    return format;
}

}  // namespace

qint64 roundHalfEven(double value) { return static_cast<qint64>(std::nearbyint(value)); }

QString formatGrouped(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(roundHalfAway(value));
}

QString formatTwoDecimals(double value) { return plainLocale().toString(value, 'f', 2); }

QString formatWhole(double value) { return plainLocale().toString(roundHalfAway(value)); }

QString formatTwoDigits(int value) {
    return value >= 0 && value < 10 ? QStringLiteral("0%1").arg(value) : QString::number(value);
}

QString formatNoZero(int value) { return value == 0 ? QString() : QString::number(value); }

QString formatYmd(const QDate& date) { return date.toString(QStringLiteral("yyyyMMdd")); }

namespace {
// The list fill formats a date for every row: the patterns are worked out once per locale.
struct GeneralDateFormat {
    QString localeName;
    QString date;
    QString time;
};

const GeneralDateFormat& generalDateFormat(const QLocale& locale) {
    static GeneralDateFormat cached;
    if (cached.localeName != locale.name() || cached.date.isEmpty()) {
        cached.localeName = locale.name();
        cached.date = dateFormatWithFullYear(locale);
        cached.time = timeFormatWithSeconds(locale);
    }
    return cached;
}
}  // namespace

QString formatGeneralDate(const QDateTime& time, bool omitMidnight) {
    const QLocale locale;
    const GeneralDateFormat& format = generalDateFormat(locale);
    const QString date = locale.toString(time.date(), format.date);
    if (omitMidnight && time.time() == QTime(0, 0)) return date;
    return date + QLatin1Char(' ') + locale.toString(time.time(), format.time);
}

QDateTime zeroDate() {
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));  // every new entry holds one
    return zero;
}

}  // namespace bravel
