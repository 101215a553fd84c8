#include "platform/Formats.h"

#include <QLocale>
#include <cmath>
#include <optional>
#include <vector>

namespace bravel {
namespace {

// Format patterns round halves away from zero, like a calculator does.
qint64 roundHalfAway(double value) {
    return static_cast<qint64>(std::llround(value));
}

QLocale plainLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString dateFormatWithFullYear(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString timeFormatWithSeconds(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1Char('s')))
        format.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    return format;
}

// A value worked out from the default locale, kept until the default locale changes: the list
// fill asks for it once per row, and comparing two locales costs next to nothing.
template <typename Value>
class PerLocale {
  public:
    template <typename Make>
    const Value& get(Make make) {
        const QLocale current;
        if (!value_ || !(locale_ == current)) {
            value_.emplace(make(current));
            locale_ = current;
        }
        return *value_;
    }

  private:
    std::optional<Value> value_;
    QLocale locale_;
};

}  // namespace

qint64 roundHalfEven(double value) {
    return static_cast<qint64>(std::nearbyint(value));
}

namespace {

// Whole numbers with the locale's separator after every third digit, written digit by digit: the
// list fill writes a size for each of 100,000 rows. A locale that groups otherwise, or writes
// other digits, is left to QLocale; a probe number decides once per locale.
class GroupedNumbers {
  public:
    explicit GroupedNumbers(const QLocale& current) : locale_(current) {
        locale_.setNumberOptions(QLocale::DefaultNumberOptions);
        separator_ = locale_.groupSeparator();
        minus_ = locale_.negativeSign();
        const qint64 probe = -1234567890123LL;
        fast_ =
            locale_.zeroDigit() == QLatin1String("0") && write(probe) == locale_.toString(probe);
    }

    QString format(qint64 value) const { return fast_ ? write(value) : locale_.toString(value); }

  private:
    QString write(qint64 value) const {
        char16_t digits[32];
        int count = 0;
        quint64 magnitude =
            value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
        do {
            digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude > 0);
        QString text;
        text.reserve(count + count / 3 * separator_.size() + minus_.size());
        if (value < 0) text += minus_;
        for (int i = count - 1; i >= 0; --i) {
            text += QChar(digits[i]);
            if (i > 0 && i % 3 == 0) text += separator_;
        }
        return text;
    }

    QLocale locale_;
    QString separator_;
    QString minus_;
    bool fast_ = false;
};

}  // namespace

QString formatGrouped(double value) {
    static PerLocale<GroupedNumbers> numbers;
    return numbers.get([](const QLocale& locale) { return GroupedNumbers(locale); })
        .format(roundHalfAway(value));
}

QString formatTwoDecimals(double value) {
    return plainLocale().toString(value, 'f', 2);
}

QString formatWhole(double value) {
    return plainLocale().toString(roundHalfAway(value));
}

QString formatTwoDigits(int value) {
    return value >= 0 && value < 10 ? QStringLiteral("0%1").arg(value) : QString::number(value);
}

QString formatNoZero(int value) {
    return value == 0 ? QString() : QString::number(value);
}

namespace {

// A run writes these dates for every file: the digits are put together here rather than by a
// format pattern, which Qt takes apart again for each date. Years beyond four digits go the
// long way.
bool hasPlainYear(const QDate& date) {
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

void appendDigits(QString& text, int value, int width) {
    char digits[4];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = static_cast<char>('0' + value % 10);
    text.append(QLatin1StringView(digits, width));
}

}  // namespace

QString formatYmd(const QDate& date) {
    if (!hasPlainYear(date)) return date.toString(QStringLiteral("yyyyMMdd"));
    QString text;
    text.reserve(8);
    appendDigits(text, date.year(), 4);
    appendDigits(text, date.month(), 2);
    appendDigits(text, date.day(), 2);
    return text;
}

QString formatStoredDateTime(const QDateTime& time) {
    const QDate date = time.date();
    if (!time.isValid() || !hasPlainYear(date))
        return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QTime clock = time.time();
    QString text;
    text.reserve(19);
    appendDigits(text, date.year(), 4);
    text += QLatin1Char('-');
    appendDigits(text, date.month(), 2);
    text += QLatin1Char('-');
    appendDigits(text, date.day(), 2);
    text += QLatin1Char(' ');
    appendDigits(text, clock.hour(), 2);
    text += QLatin1Char(':');
    appendDigits(text, clock.minute(), 2);
    text += QLatin1Char(':');
    appendDigits(text, clock.second(), 2);
    return text;
}

namespace {

// A date or time pattern of a locale, taken apart once. Patterns of numbers, short month names
// and AM/PM markers are then formatted here, a few digits at a time, for the list fill's 100,000
// dates; a pattern with other fields (t, z, ...) or a locale whose digits are not 0 to 9 is left
// to QLocale.
class CompiledPattern {
  public:
    CompiledPattern(const QLocale& locale, const QString& pattern) : pattern_(pattern) {
        amText_ = locale.amText();
        pmText_ = locale.pmText();
        for (int month = 1; month <= 12; ++month)
            monthNames_[month - 1] = locale.monthName(month, QLocale::ShortFormat);
        fast_ = locale.zeroDigit() == QLatin1String("0") && parse(pattern);
    }

    // Append the text of the date or time to out.
    void append(QString& out, const QLocale& locale, const QDate& date) const {
        if (!fast_ || date.year() < 1000 || date.year() > 9999)
            out += locale.toString(date, pattern_);
        else
            build(out, date, QTime());
    }
    void append(QString& out, const QLocale& locale, const QTime& time) const {
        if (!fast_)
            out += locale.toString(time, pattern_);
        else
            build(out, QDate(), time);
    }

  private:
    enum class Field {
        Text,
        Day,
        Day2,
        Month,
        Month2,
        MonthName,
        Year2,
        Year4,
        Hour,
        Hour2,
        Hour12,
        Hour12Padded,
        Minute,
        Minute2,
        Second,
        Second2,
        AmPmUpper,
        AmPmLower
    };
    struct Piece {
        Field field;
        QString text;  // for Text
    };

    static int runLength(const QString& pattern, qsizetype at) {
        int count = 1;
        while (at + count < pattern.size() && pattern[at + count] == pattern[at]) ++count;
        return count;
    }

    bool parse(const QString& pattern) {
        const bool twelveHours = hasAmPm(pattern);
        for (qsizetype i = 0; i < pattern.size();) {
            const QChar ch = pattern[i];
            if (ch == QLatin1Char('\'')) {
                const qsizetype end = pattern.indexOf(QLatin1Char('\''), i + 1);
                if (end == i + 1) {
                    pieces_.push_back({Field::Text, QStringLiteral("'")});
                    i += 2;
                    continue;
                }
                if (end < 0) return false;
                pieces_.push_back({Field::Text, pattern.mid(i + 1, end - i - 1)});
                i = end + 1;
                continue;
            }
            if (!ch.isLetter()) {
                pieces_.push_back({Field::Text, QString(ch)});
                ++i;
                continue;
            }
            const int run = runLength(pattern, i);
            const char letter = ch.toLatin1();
            Field field;
            const Field months[] = {Field::Month, Field::Month2, Field::MonthName};
            if (letter == 'd' && run <= 2)
                field = run == 1 ? Field::Day : Field::Day2;
            else if (letter == 'M' && run <= 3)
                field = months[run - 1];
            else if (letter == 'y' && (run == 2 || run == 4))
                field = run == 2 ? Field::Year2 : Field::Year4;
            else if (letter == 'h' && run <= 2)
                field = twelveHours ? (run == 1 ? Field::Hour12 : Field::Hour12Padded)
                                    : (run == 1 ? Field::Hour : Field::Hour2);
            else if (letter == 'H' && run <= 2)
                field = run == 1 ? Field::Hour : Field::Hour2;
            else if (letter == 'm' && run <= 2)
                field = run == 1 ? Field::Minute : Field::Minute2;
            else if (letter == 's' && run <= 2)
                field = run == 1 ? Field::Second : Field::Second2;
            else if (pattern.mid(i, 2) == QLatin1String("AP") && run == 1)
                field = Field::AmPmUpper;
            else if (pattern.mid(i, 2) == QLatin1String("ap") && run == 1)
                field = Field::AmPmLower;
            else
                return false;
            pieces_.push_back({field, QString()});
            i += field == Field::AmPmUpper || field == Field::AmPmLower ? 2 : run;
        }
        return true;
    }

    static bool hasAmPm(const QString& pattern) {
        bool quoted = false;
        for (const QChar ch : pattern) {
            if (ch == QLatin1Char('\''))
                quoted = !quoted;
            else if (!quoted && (ch == QLatin1Char('a') || ch == QLatin1Char('A')))
                return true;
        }
        return false;
    }

    static void appendNumber(QString& out, int value, int width) {
        char digits[8];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0 && count < 8);
        for (int pad = count; pad < width; ++pad) out += QLatin1Char('0');
        while (count > 0) out += QLatin1Char(digits[--count]);
    }

    void build(QString& out, const QDate& date, const QTime& time) const {
        const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
        for (const Piece& piece : pieces_) {
            switch (piece.field) {
                case Field::Text:
                    out += piece.text;
                    break;
                case Field::Day:
                    appendNumber(out, date.day(), 1);
                    break;
                case Field::Day2:
                    appendNumber(out, date.day(), 2);
                    break;
                case Field::Month:
                    appendNumber(out, date.month(), 1);
                    break;
                case Field::Month2:
                    appendNumber(out, date.month(), 2);
                    break;
                case Field::MonthName:
                    out += monthNames_[date.month() - 1];
                    break;
                case Field::Year2:
                    appendNumber(out, date.year() % 100, 2);
                    break;
                case Field::Year4:
                    appendNumber(out, date.year(), 4);
                    break;
                case Field::Hour:
                    appendNumber(out, time.hour(), 1);
                    break;
                case Field::Hour2:
                    appendNumber(out, time.hour(), 2);
                    break;
                case Field::Hour12:
                    appendNumber(out, hour12, 1);
                    break;
                case Field::Hour12Padded:
                    appendNumber(out, hour12, 2);
                    break;
                case Field::Minute:
                    appendNumber(out, time.minute(), 1);
                    break;
                case Field::Minute2:
                    appendNumber(out, time.minute(), 2);
                    break;
                case Field::Second:
                    appendNumber(out, time.second(), 1);
                    break;
                case Field::Second2:
                    appendNumber(out, time.second(), 2);
                    break;
                case Field::AmPmUpper:
                    out += (time.hour() < 12 ? amText_ : pmText_).toUpper();
                    break;
                case Field::AmPmLower:
                    out += (time.hour() < 12 ? amText_ : pmText_).toLower();
                    break;
            }
        }
    }

    QString pattern_;
    QString amText_;
    QString pmText_;
    QString monthNames_[12];  // short
    std::vector<Piece> pieces_;
    bool fast_ = false;
};

// The list fill formats a date for every row: the patterns are worked out once per locale.
struct GeneralDateFormat {
    CompiledPattern date;
    CompiledPattern time;
};

const GeneralDateFormat& generalDateFormat() {
    static PerLocale<GeneralDateFormat> format;
    return format.get([](const QLocale& locale) {
        return GeneralDateFormat{CompiledPattern(locale, dateFormatWithFullYear(locale)),
                                 CompiledPattern(locale, timeFormatWithSeconds(locale))};
    });
}
}  // namespace

QString formatGeneralDate(const QDateTime& time, bool omitMidnight) {
    const QLocale locale;
    const GeneralDateFormat& format = generalDateFormat();
    QString text;
    text.reserve(32);
    format.date.append(text, locale, time.date());
    if (omitMidnight && time.time() == QTime(0, 0)) return text;
    text += QLatin1Char(' ');
    format.time.append(text, locale, time.time());
    return text;
}

QDateTime zeroDate() {
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));  // every new entry holds one
    return zero;
}

}  // namespace bravel
