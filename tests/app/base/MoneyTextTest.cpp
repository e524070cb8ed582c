#include "app/base/MoneyText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

Money units(std::int64_t u) { return Money::fromUnits(u); }

struct CurrencyCase
{
    std::int64_t units;
    int decimals;
    const char *text;
};

void PrintTo(const CurrencyCase &c, std::ostream *os)
{
    *os << c.units << " units, " << c.decimals << " decimals: " << c.text;
}


class FormatCurrencyTest : public ::testing::TestWithParam<CurrencyCase> {};

std::int64_t percentOf(std::int64_t baseUnits, double percent, bool roundUp, bool clip = false)
{
    Money out = Money::fromWhole(99);
    CalcPercentAmount(units(baseUnits), out, percent, clip, roundUp);
    return out.units();
}

} // namespace

TEST_P(FormatCurrencyTest, RoundsHalfAwayFromZeroThenCuts)
{
    const CurrencyCase &c = GetParam();
    EXPECT_EQ(FormatCurrency(units(c.units), c.decimals), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(Money, FormatCurrencyTest, ::testing::Values(
    CurrencyCase{23450, 2, "2.35"}, CurrencyCase{-23450, 2, "-2.35"}, CurrencyCase{70000, 2, "7.00"},
    CurrencyCase{50, 2, "0.01"}, CurrencyCase{-50, 2, "-0.01"}, CurrencyCase{49, 2, "0.00"},
    CurrencyCase{1, 2, "0.00"}, // the No Charge marker is not special here
    CurrencyCase{125000, 0, "13"}, CurrencyCase{-125000, 0, "-13"}, CurrencyCase{0, 3, "0.000"},
    CurrencyCase{12345, 4, "1.2345"}, CurrencyCase{12345, 3, "1.235"},
    CurrencyCase{123456789012345, 2, "12345678901.23"},
    CurrencyCase{10000, 9, "1.0000"})); // decimals held within 0..4

TEST(MoneyTexts, GroupedRoundedAndNoCharge)
{
    EXPECT_EQ(FormatMoney(units(-12345678)), "-1234.57");
    EXPECT_EQ(FormatMoneyGrouped(units(-12345678)), "-1,234.57");
    EXPECT_EQ(FormatMoneyGrouped(units(9999950)), "1,000.00");
    // Each group boundary, a sign left on an amount that rounds to nothing,
    // and the ends of the range.
    EXPECT_EQ(FormatMoneyGrouped(Money::zero()), "0.00");
    EXPECT_EQ(FormatMoneyGrouped(units(-40)), "-0.00");
    EXPECT_EQ(FormatMoneyGrouped(units(9999949)), "999.99");
    EXPECT_EQ(FormatMoneyGrouped(units(-9999999950)), "-1,000,000.00");
    EXPECT_EQ(FormatMoneyGrouped(units(123456789012345)), "12,345,678,901.23");
    EXPECT_EQ(FormatMoneyGrouped(units(std::numeric_limits<std::int64_t>::max())), "922,337,203,685,477.58");
    EXPECT_EQ(FormatMoneyGrouped(units(std::numeric_limits<std::int64_t>::min())), "-922,337,203,685,477.58");
    EXPECT_EQ(FormatCurrencyRounded(Money::zero()), "");
    EXPECT_EQ(FormatCurrencyRounded(Money::noChargeMarker()), "0.00");
    EXPECT_EQ(FormatCurrencyRounded(-Money::noChargeMarker()), "0.00");
    EXPECT_EQ(FormatCurrencyRounded(units(2)), "0.00");
    EXPECT_EQ(FormatCurrencyRounded(units(-23450)), "-2.35");
}

TEST(NumberTexts, GroupingIntegersAndDoubles)
{
    EXPECT_EQ(GroupThousands(QStringLiteral("1000")), "1,000");
    EXPECT_EQ(GroupThousands(QStringLiteral("-100")), "-100");
    EXPECT_EQ(GroupThousands(QStringLiteral("-1234567.891")), "-1,234,567.891");
    EXPECT_EQ(GroupThousands(QStringLiteral("12345.6789")), "12,345.6789");
    EXPECT_EQ(GroupThousands(QStringLiteral("$1234")), "1,234");
    EXPECT_EQ(GroupThousands(QStringLiteral("1,2345")), "12,345"); // old separators dropped

    EXPECT_EQ(FormatInt(0, true, true), "");
    EXPECT_EQ(FormatInt(0, false, false), "0");
    EXPECT_EQ(FormatInt(-1234567, true, false), "-1,234,567");
    EXPECT_EQ(FormatInt64(3000000000ULL, true), "3,000,000,000");
    EXPECT_EQ(FormatHundredths(-5), "-0.05");
    EXPECT_EQ(FormatDouble(2.5, QStringLiteral("%.2f%%")), "2.50%");
    // A format that would read something other than one double is refused.
    EXPECT_EQ(FormatDouble(1.0, QStringLiteral("%s")), "");
    EXPECT_EQ(FormatDouble(1.0, QStringLiteral("%f %f")), "");
}

TEST(NumberTexts, ParseFixedPointCutsExtraDigits)
{
    EXPECT_EQ(ParseFixedPointValue(QStringLiteral("12.3"), 2), 1230);
    EXPECT_EQ(ParseFixedPointValue(QStringLiteral("12.349"), 2), 1234);
    EXPECT_EQ(ParseFixedPointValue(QStringLiteral(".5"), 2), 50);
    EXPECT_EQ(ParseFixedPointValue(QStringLiteral("-1.5"), 2), -150);
    EXPECT_EQ(ParseFixedPointValue(QStringLiteral("12.7"), 0), 12);
    QString text = QStringLiteral("7");
    std::int32_t value = -1;
    ParseFixedPoint(text, value, 3);
    EXPECT_EQ(value, 7000);
    EXPECT_EQ(text, "7000");
}

TEST(MoneyCalculations, CentsRoundingAndRates)
{
    EXPECT_EQ(CurrencyToCents(Money::noChargeMarker()), 1);
    EXPECT_EQ(CurrencyToCents(units(99)), 0);
    EXPECT_EQ(CurrencyToCents(units(-12390)), -123);

    Money m = units(12345);
    RoundToCents(m, false);
    EXPECT_EQ(m.units(), 12300);
    m = units(12301);
    RoundToCents(m, true);
    EXPECT_EQ(m.units(), 12400);
    m = units(-12345);
    RoundToCents(m, true); // up toward the next cent above
    EXPECT_EQ(m.units(), -12300);

    EXPECT_EQ(ScaleRateByUnit(Money::fromWhole(20), 30, 0).units(), 400000);   // per hour
    EXPECT_EQ(ScaleRateByUnit(Money::fromWhole(50), 2500, 2).units(), 200000); // per thousand
    EXPECT_EQ(ScaleRateByUnit(Money::fromWhole(10), 3, 1).units(), 33333);     // truncated
    EXPECT_EQ(ScaleRateByUnit(Money::fromWhole(10), 0, 2).units(), 100000);
}

TEST(PercentShares, ShareOfTotal)
{
    std::int32_t share = -1;
    Money amount = Money::fromWhole(25);
    CalcPercentOfTotal(Money::zero(), amount, share, true);
    EXPECT_EQ(share, -1);
    CalcPercentOfTotal(Money::fromWhole(200), amount, share, false);
    EXPECT_EQ(share, 1250);
    amount = units(-1);
    CalcPercentOfTotal(units(20000), amount, share, false); // half a hundredth rounds away
    EXPECT_EQ(share, 1);

    amount = Money::fromWhole(300);
    CalcPercentOfTotal(Money::fromWhole(200), amount, share, false);
    EXPECT_EQ(share, 15000);
    CalcPercentOfTotal(Money::fromWhole(200), amount, share, true);
    EXPECT_EQ(share, 10000);
    EXPECT_EQ(amount.units(), 2000000);
    amount = Money::fromWhole(-300);
    CalcPercentOfTotal(Money::fromWhole(200), amount, share, true);
    EXPECT_EQ(amount.units(), -2000000);
    amount = Money::fromWhole(-300); // a credit stays a credit
    CalcPercentOfTotal(Money::fromWhole(-200), amount, share, true);
    EXPECT_EQ(amount.units(), -2000000);
}

TEST(PercentShares, PercentAmountsRoundToWholeCents)
{
    EXPECT_EQ(percentOf(100000, 7.5, false), 7500);
    EXPECT_EQ(percentOf(123400, 8.25, false), 10200); // 101.805 cents
    EXPECT_EQ(percentOf(123400, 8.25, true), 10200);
    EXPECT_EQ(percentOf(-123400, 8.25, false), -10200);
    EXPECT_EQ(percentOf(123400, 8.1, false), 10000);  // 99.954 cents
    EXPECT_EQ(percentOf(120100, 8.0, false), 9600);   // 96.08 cents
    EXPECT_EQ(percentOf(120100, 8.0, true), 9700);
    EXPECT_EQ(percentOf(120100, -8.0, true), -9700);  // up means away from zero
    EXPECT_EQ(percentOf(100000, 5.0, true), 5000);    // exact cents stay
    EXPECT_EQ(percentOf(100000, 150, false, true), 100000);
    EXPECT_EQ(percentOf(100000, -150, false, true), -100000);
    EXPECT_EQ(percentOf(100000, 0.0, false), 0);
    // An exact half cent rounds away from zero; just below it, toward zero.
    EXPECT_EQ(percentOf(1000, 5.0, false), 100);    // 0.5 cent of 0.10
    EXPECT_EQ(percentOf(1000, -5.0, false), -100);
    EXPECT_EQ(percentOf(1000, 4.9, false), 0);      // 0.49 cent
    EXPECT_EQ(percentOf(1000, 4.9, true), 100);     // up: the next cent
    EXPECT_EQ(percentOf(19900, 50.0, false), 10000); // 99.5 cents: half of 1.99
    for (std::int64_t base : {0, 1, -1}) // zero and the No Charge marker carry nothing
        EXPECT_EQ(percentOf(base, 8.25, true), 0) << base;
}

TEST(Interpolation, LineThroughTwoTableRows)
{
    EXPECT_DOUBLE_EQ(Interpolate(15, 10, 20, 100, 200), 150.0);
    EXPECT_DOUBLE_EQ(Interpolate(15, 10, 10, 100, 200), 100.0);
    EXPECT_DOUBLE_EQ(Interpolate(15, 10, 10, 0, 200), 200.0);
    EXPECT_DOUBLE_EQ(Interpolate(15, 10, 20, 0, 200), 100.0);
    EXPECT_DOUBLE_EQ(Interpolate(25, 10, 20, 100, 200), 250.0);
    EXPECT_DOUBLE_EQ(Interpolate(0, 10, 20, 100, 200), 100.0);
    EXPECT_DOUBLE_EQ(Interpolate(12, 10, 20, 100, 105), 101.0);
    EXPECT_DOUBLE_EQ(Interpolate(15, 10, 20, 2000000000, -2000000000), 0.0); // no overflow
}
