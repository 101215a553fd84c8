#pragma once

#include <QDateTime>
#include <QString>

namespace bravel {

// Number and date texts in the user's locale (QLocale's default).

// Rounds to the nearest whole number, halves to the even neighbour.
qint64 roundHalfEven(double value);
// "#,#0": whole number with thousands separators ("1.500" in German).
QString formatGrouped(double value);
// "###0.00": two decimals, no thousands separators ("40,97" in German).
QString formatTwoDecimals(double value);
// "##0": whole number without separators.
QString formatWhole(double value);
// "##00": at least two digits.
QString formatTwoDigits(int value);
// "###": no leading zeros; 0 gives the empty text.
QString formatNoZero(int value);
// "yyyymmdd".
QString formatYmd(const QDate& date);
// "yyyy-MM-dd HH:mm:ss", as the catalog stores dates.
QString formatStoredDateTime(const QDateTime& time);
// The general date: the locale's short date (with a four-digit year), a blank and the time with
// seconds. With omitMidnight a time of exactly 00:00:00 is left out.
QString formatGeneralDate(const QDateTime& time, bool omitMidnight = false);
// The zero date (30 December 1899, 00:00) that empty date values hold.
QDateTime zeroDate();

}  // namespace bravel
