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
