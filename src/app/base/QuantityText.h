#pragma once

#include <QtCore/QString>

#include <cstdint>

// The shop's words for quantities and rates, durations as hours and minutes
// (times are whole minutes everywhere), sheet sizes as width by height, and the
// days of a month.

// The largest count the program takes or makes: a quantity typed or read
// from outside, and every count, number of sheets or time in minutes that a
// quantity yields (the file keeps them in 32 bits). Whatever would pass it is
// refused by name, never cut or wrapped; the amounts a count yields are held
// to the largest amount (kLargestAmountUnits) in the same way.
constexpr std::int64_t kLargestCount = 1'000'000'000;
// True when the count lies within the largest, either way.
constexpr bool IsWithinLargestCount(std::int64_t count)
{
    return count <= kLargestCount && count >= -kLargestCount;
}
// The refusal of a count past the largest, naming it: "\"Quantity\" cannot be
// more than 1,000,000,000, the largest count it holds."
QString TooLargeCountText(const QString &name);
// The refusal of a figure that a quantity or a rate would make past what the
// program holds: "the Run Sheets of Bond 20# would be 2,000,000,000, more
// than 1,000,000,000, the largest count the program holds." `amount` says
// the figure is money (`value` in ten-thousandths, shown with two decimals);
// `past` says it lies beyond even the 64 bits it is worked in (then no value
// is shown: "would be more than ...").
QString PastLargestFigureText(const QString &figure, std::int64_t value, bool amount, bool past = false);

// Name of an item's quantity unit: 1 "Sheets" .. 7 "Sheets/Pad"; 0 and any
// unknown code "Originals".
QString GetQuantityUnitName(std::uint8_t unit);
// Suffix of a rate unit: 0 "/Hr", 2 "/M", 3 " Total", any other "/Ea".
QString GetRateUnitText(std::int32_t unit);

// "%d:%02d" of hours and minutes; a negative duration gets a leading "-".
void FormatMinutes(std::int32_t minutes, QString &out);
QString MinutesToText(std::int32_t minutes);

// Reads "h:mm" or "h.mm" (the two characters after the mark are the minutes,
// so "1:5" is 1:50) or a bare number of hours.
void ParseHoursMinutes(const QString &text, std::int32_t &minutes);
std::int32_t HoursMinutesToInt(const QString &text);

// `defaultText` for 0; otherwise the value as a grouped number, or with
// `number` clear as a duration.
QString FormatNumberOrMinutes(std::int32_t value, bool number, const QString &defaultText);
// "1 Box", "0 Boxes", "1,250 Boxes".
QString FormatCountWithUnit(std::int32_t count, const QString &singular, const QString &plural);

// "%g x %g"; only the side that is above 0 when the other is not; empty when
// neither is.
QString FormatSize(float width, float height);
// Splits at the first "x" (else "X") and reads both numbers; without one the
// whole text is the width and the height is 0.
void ParseSize(const QString &text, float &width, float &height);

// Days of the month. February has 29 days in every year divisible by 4;
// month numbers outside 1..12 give 30.
int GetDaysInMonth(int month, int year);
