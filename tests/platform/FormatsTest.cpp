// Number and date texts in the German locale the test main pins, twips and colours.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "TestSupport.h"
#include "platform/Colors.h"
#include "platform/Formats.h"
#include "platform/Twips.h"

using namespace bravel;

class FormatsTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetAll(); }
};

TEST_F(FormatsTest, NumberPatternsUseGermanSeparators) {
    EXPECT_EQ(formatGrouped(1500), "1.500");
    EXPECT_EQ(formatGrouped(1234567), "1.234.567");
    EXPECT_EQ(formatGrouped(999), "999");
    EXPECT_EQ(formatGrouped(0), "0");

    EXPECT_EQ(formatTwoDecimals(40.9710), "40,97");
    EXPECT_EQ(formatTwoDecimals(0), "0,00");
    EXPECT_EQ(formatTwoDecimals(100), "100,00");
    EXPECT_EQ(formatTwoDecimals(12345.678), "12345,68") << "no thousands separator";

    EXPECT_EQ(formatWhole(40.4), "40");
    EXPECT_EQ(formatWhole(12345), "12345");
    EXPECT_EQ(formatTwoDigits(2), "02");
    EXPECT_EQ(formatTwoDigits(12), "12");
    EXPECT_EQ(formatNoZero(0), "");
    EXPECT_EQ(formatNoZero(15), "15");
}

TEST_F(FormatsTest, RoundHalfEvenGoesToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    EXPECT_EQ(roundHalfEven(6e9 + 0.5), 6000000000LL) << "beyond 32 bits";
}

TEST_F(FormatsTest, DatesAsYmdAndGeneralText) {
    EXPECT_EQ(formatYmd(QDate(2026, 3, 7)), "20260307");
    const QDateTime afternoon(QDate(2026, 12, 8), QTime(14, 3, 22));
    EXPECT_EQ(formatGeneralDate(afternoon), "08.12.2026 14:03:22");
    const QDateTime midnight(QDate(2026, 1, 2), QTime(0, 0));
    EXPECT_EQ(formatGeneralDate(midnight), "02.01.2026 00:00:00");
    EXPECT_EQ(formatGeneralDate(midnight, true), "02.01.2026");
    EXPECT_EQ(zeroDate(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
}

// The catalog's dates and this computer's date stamp are put together digit by digit: they must be
// what Qt's patterns give, also at the ends of the year range and for dates Qt formats itself.
TEST_F(FormatsTest, StoredDatesAndDateStampsAreQtsOwnText) {
    const std::vector<QDateTime> times{QDateTime(QDate(2026, 12, 8), QTime(14, 3, 22)),
                                       QDateTime(QDate(1, 1, 1), QTime(0, 0)),
                                       QDateTime(QDate(999, 9, 9), QTime(9, 9, 9)),
                                       QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)),
                                       QDateTime(QDate(10000, 1, 1), QTime(1, 2, 3)),
                                       QDateTime(QDate(-44, 3, 15), QTime(12, 0)),
                                       QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0, 999)),
                                       QDateTime()};
    for (const QDateTime& time : times) {
        SCOPED_TRACE(time.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(formatStoredDateTime(time), time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        EXPECT_EQ(formatYmd(time.date()), time.date().toString(QStringLiteral("yyyyMMdd")));
    }
}

// The general date is formatted without QLocale's machinery where the locale's patterns allow:
// the text must be QLocale's own in every locale, twelve-hour clocks, other digits and years
// outside four digits included.
TEST_F(FormatsTest, GeneralDateTextIsQLocalesOwnInEveryLocale) {
    const QLocale german;
    const std::vector<QDateTime> times = {QDateTime(QDate(2026, 12, 8), QTime(14, 3, 22)),
                                          QDateTime(QDate(2026, 1, 2), QTime(0, 0, 5)),
                                          QDateTime(QDate(1999, 7, 31), QTime(12, 0, 0)),
                                          QDateTime(QDate(2031, 10, 9), QTime(23, 59, 59)),
                                          QDateTime(QDate(2004, 2, 29), QTime(9, 7, 1)),
                                          QDateTime(QDate(1899, 12, 30), QTime(1, 0, 0)),
                                          QDateTime(QDate(812, 3, 4), QTime(6, 6, 6)),
                                          QDateTime(QDate(2026, 5, 5), QTime(11, 59, 59))};
    for (const char* name : {"de_DE", "en_US", "en_GB", "fr_FR", "fi_FI", "ko_KR", "ja_JP", "zh_CN",
                             "ar_EG", "fa_IR", "hi_IN", "bg_BG", "C", "es_ES", "ru_RU"}) {
        const QLocale locale(QString::fromLatin1(name));
        QLocale::setDefault(locale);
        QString datePattern = locale.dateFormat(QLocale::ShortFormat);
        if (!datePattern.contains(QLatin1String("yyyy")))
            datePattern.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        QString timePattern = locale.timeFormat(QLocale::ShortFormat);
        if (!timePattern.contains(QLatin1Char('s')))
            timePattern.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
        for (const QDateTime& time : times)
            EXPECT_EQ(formatGeneralDate(time), locale.toString(time.date(), datePattern) + ' ' +
                                                   locale.toString(time.time(), timePattern))
                << name << " " << datePattern.toStdString() << " " << timePattern.toStdString();
    }
    QLocale::setDefault(german);
}

// Grouped numbers are written without QLocale where the locale groups by threes: the text
// must be QLocale's own everywhere, Indian grouping, other digits and signs included.
TEST_F(FormatsTest, GroupedNumbersAreQLocalesOwnInEveryLocale) {
    const QLocale german;
    for (const char* name :
         {"de_DE", "de_CH", "en_US", "fr_FR", "hi_IN", "ar_EG", "fa_IR", "sv_SE", "C"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        QLocale locale;
        locale.setNumberOptions(
            QLocale::DefaultNumberOptions);  // the C locale omits separators otherwise
        for (qint64 value : {0LL, 7LL, 999LL, 1000LL, 123456LL, 1234567LL, 9876543210LL, -1LL,
                             -1000LL, -123456789LL, 9000000000000000LL, -9000000000000000LL})
            EXPECT_EQ(formatGrouped(static_cast<double>(value)), locale.toString(value))
                << name << " " << value;
        EXPECT_EQ(formatGrouped(2.5), locale.toString(3)) << "halves round away from zero";
    }
    QLocale::setDefault(german);
}

TEST_F(FormatsTest, TwipsFollowTheScreensLogicalDpi) {
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    EXPECT_DOUBLE_EQ(logicalDpi(), dpi);
    EXPECT_EQ(twipsToPixels(1440), qRound(dpi)) << "1440 twips are one inch";
    EXPECT_EQ(twipsToPixels(0), 0);
    for (int pixels : {1, 15, 623, 1920}) EXPECT_EQ(twipsToPixels(pixelsToTwips(pixels)), pixels);
    if (qFuzzyCompare(dpi, 96.0)) {
        EXPECT_EQ(twipsToPixels(15), 1);
        EXPECT_EQ(twipsToPixels(9345), 623);
        EXPECT_EQ(twipsToPixels(5700), 380);
        EXPECT_DOUBLE_EQ(pixelsToTwips(100), 1500);
    }
}

TEST_F(FormatsTest, ColoursKeepRedInTheLowByte) {
    EXPECT_EQ(colorFromBgr(16744576), QColor(0x80, 0x80, 0xFF)) << "the light blue caption";
    EXPECT_EQ(colorFromBgr(255), QColor(255, 0, 0));
    EXPECT_EQ(bgrFromColor(QColor(0x12, 0x34, 0x56)), 0x00563412u);
    EXPECT_EQ(bgrFromColor(colorFromBgr(16777215)), 16777215u);
}
