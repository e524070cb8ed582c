#pragma once

#include "platform/Money.h"

#include <QtCore/QString>

#include <cstdint>

// Money and number texts, and the few money calculations several areas share.
// Money texts always use "." as the decimal point and the list separator ","
// for thousands. Rounding is half away from zero unless a function says it
// rounds up. A price of exactly +/-0.0001 is the No Charge marker.

// --- Money texts ------------------------------------------------------------

// The value with `decimals` (0..4) decimals, rounded half away from zero:
// 2.345 gives "2.35", -2.345 "-2.35", 7 "7.00", zero "0.00".
QString FormatCurrency(Money value, int decimals);
QString FormatMoney(Money value);        // two decimals
QString FormatMoneyGrouped(Money value); // two decimals, thousands grouped
void FormatCurrencyTo(Money value, QString &out, int decimals);
// Two decimals for report cells: zero gives an empty text, the No Charge
// marker "0.00".
QString FormatCurrencyRounded(Money value);

// --- Number texts -----------------------------------------------------------

// Puts the thousands separator into the integer part of a number text. Any
// character of the integer part that is not a letter or digit is dropped
// (old separators, a currency sign); a leading "-" is kept.
QString GroupThousands(const QString &text);
QString FormatInt(std::int32_t value, bool group, bool blankZero);
QString FormatInt64(std::uint64_t count, bool group);
// "%.2f" of n hundredths: 12345 gives "123.45".
QString FormatHundredths(std::int32_t n);
// `value` through a printf-style format holding one floating-point conversion
// ("%.2f", "%g", "%8.3e"); any other format gives an empty text.
QString FormatDouble(double value, const QString &format);

// Reads a decimal text as an integer scaled by 10^decimals, cutting extra
// digits: "12.349" with 2 gives 1234. The text is left in its scaled form
// ("1234"); with 0 decimals it is left alone.
void ParseFixedPoint(QString &text, std::int32_t &out, int decimals);
std::int32_t ParseFixedPointValue(const QString &text, int decimals);
// The same for an amount of money, in 64 bits: false (out 0) when the number
// lies beyond them. Blanks around it are ignored; what follows its digits is
// not read, as with ParseFixedPoint.
bool ParseFixedPoint64(const QString &text, int decimals, std::int64_t &out);
// The largest amount of money in units of 10^-decimals (0..4): the largest the
// currency holds, 922,337,203,685,477.5807, cut to those decimals.
std::int64_t LargestFixedPoint(int decimals);
// The largest amount of money the program takes: 100,000,000,000.0000 either
// way. A money field of the shop file keeps every ten-thousandth exactly only
// below 549,755,813,888 (2^39); the bound stays well under it, so that a job
// priced at it, with its shipping, postage and tax, still holds each figure
// exactly. Every amount typed or read from outside, every price the program
// works out and every sum of a job or a posting that must tell its cents
// apart stays within it.
constexpr std::int64_t kLargestAmountUnits = 1'000'000'000'000'000;
// True when the amount lies within the largest, either way.
constexpr bool IsWithinLargestAmount(std::int64_t units)
{
    return units <= kLargestAmountUnits && units >= -kLargestAmountUnits;
}
// The same in units of 10^-decimals (0..4): 10,000,000,000,000 for cents.
std::int64_t LargestAmount(int decimals);
// The refusal of a figure past the largest amount, naming it:
// "\"Subtotal\" cannot be more than 100,000,000,000.00, the largest amount it
// holds."
QString TooLargeAmountText(const QString &name);
// A whole number of 10^-decimals units as a decimal text, exactly: 12345
// with 2 gives "123.45", with `group` "1,234,567.89".
QString FormatFixedPoint(std::int64_t value, int decimals, bool group = false);

// --- Money calculations -----------------------------------------------------

// Whole cents, truncated toward zero; the No Charge marker +0.0001 gives 1.
std::int64_t CurrencyToCents(Money value);
// Truncates to whole cents, or with `roundUp` raises to the next whole cent.
void RoundToCents(Money &value, bool roundUp);
// A value that is not valid becomes zero; then the value gets the sign asked
// for (positive or negative).
void ForceCurrencySign(Money &value, bool positive);

// A price entry: `price` for `count` of `unit` (0 minutes priced per hour,
// 2 pieces priced per thousand, 3 a total, anything else per each).
struct RateEntry
{
    Money price;
    std::int32_t count = 0;
    std::int32_t unit = 1;
};
// The rate of the entry per its unit: a price for 30 minutes becomes a rate per
// hour, for 2500 pieces a rate per thousand. A count of 0 gives the price.
void ScaleRateByUnit(Money &out, const RateEntry &entry);
Money ScaleRateByUnit(Money price, std::int32_t count, std::int32_t unit);

// The share of `amount` in `total` in hundredths of a percent (10000 = 100 %),
// rounded half away from zero. A zero total leaves `share` alone. With
// `clamp` a share above 100 % is held at 10000 and the amount cut to the
// total's size, keeping its own sign.
void CalcPercentOfTotal(Money total, Money &amount, std::int32_t &share, bool clamp);

// `percent` % of `base` in whole cents, rounded half away from zero, or with
// `roundUp` away from zero to the next cent. With `clip` the percent is held
// within -100..100. A zero percent, a zero base and the No Charge marker give
// zero.
void CalcPercentAmount(Money base, Money &out, double percent, bool clip, bool roundUp);

// y at x on the line through (x1, y1) and (x2, y2), extrapolating outside the
// interval. Degenerate lines (a zero x, x1 or x2, x1 = x2, y1 = y2) give y1,
// or y2 when y1 is 0; a zero y2 gives y1.
// Taken in 64 bits, so that a cost in ten-thousandths (a break of $300,000 is
// 3,000,000,000) is not cut to 32.
double Interpolate(std::int64_t x, std::int64_t x1, std::int64_t x2, std::int64_t y1, std::int64_t y2);
