#pragma once

#include "platform/DateTime.h"
#include "platform/Money.h"
#include "platform/Value.h"

#include <QtCore/QString>

#include <cstdint>
#include <functional>

// The texts that lists, dialogs and printed documents show for prices, rates,
// field values, dates, elapsed times, sheet sizes and ink colours. A price of
// exactly +/-0.0001 is the No Charge marker; a price of 0 is not priced.

// --- Dates and times --------------------------------------------------------

bool IsDateValid(const DateTime &date);
// "%m/%d/%Y"; an empty text for a date that is not valid.
QString DateToText(const DateTime &date);
// The current local date and time in a strftime-style format.
QString FormatNow(const QString &format);
// Mode 0 "Wednesday, March 16, 2011", mode 1 "03:30 PM", any other both.
QString FormatNowLong(int mode);
// How long ago `start` was, in words: "less than a second", "one second",
// "12 seconds", "1 minute 5 seconds", "7 minutes", then "hh:mm:ss". A start
// that was never set (0) is set to now, and the text is the time of day.
void FormatElapsedTime(QString &out, DateTime &start);

// --- Field values -----------------------------------------------------------

// A field value as a list shows it: whole numbers "%d", singles "%g", doubles
// without decimals, money with two decimals, dates "%m/%d/%Y", texts up to
// their first line break, yes/no "TRUE"/"FALSE"; Null is empty and any other
// kind "!".
QString VariantToText(const platform::Value &value);

// --- Prices and rates -------------------------------------------------------

// n cents; 1 cent stands for the No Charge marker (0.0001), not 0.01.
Money CentsToCurrency(std::int64_t n);
// A count of ten-thousandths as a grouped two-decimal money text.
QString FormatCurrencyValue(std::int64_t units);
// "?" for 0 (not priced), "No Charge" for the marker, else grouped money.
QString FormatPrice(Money price);
// The price for `count` of `unit` scaled to a rate per unit, with `decimals`
// decimals, and the unit's suffix ("/Hr", "/Ea", "/M", " Total") when asked.
QString FormatRate(Money price, std::int32_t count, std::int32_t unit, int decimals, bool withSuffix);
// A unit price: mode 2 per thousand in two decimals ("12.00/M"), mode 1 (and
// any other) per each in four ("0.0120/Ea"); mode 0 takes the shop's choice.
// Empty for a quantity of 0 or a zero price.
void FormatUnitPrice(QString &out, Money price, std::int32_t quantity, int mode);

// Where FormatUnitPrice's mode 0 finds the shop's choice: the shop-wide setting
// rows live in the database, above this layer, so the layer that reads them
// installs its reader at start-up. The reader gets the setting kind, the item
// and the default, as a setting-row read does. Without a reader the default
// holds. An empty function removes the reader.
using SettingRowReader = std::function<QString(int kind, int item, const QString &defaultText)>;
void SetSettingRowReader(SettingRowReader reader);

// --- Sizes and inks ---------------------------------------------------------

// Two size texts ("8.5 x 11"). With n = 1: 1 when B fits in A (either way
// round), 0 when they are the same size, -1 when B does not fit. Any other
// n: area of A - n x area of B.
float CompareSizes(const QString &a, const QString &b, int n);
// The ink colour name of a code, or its short name.
QString GetInkColorsText(std::uint8_t code, bool shortName);
// prefix + ink name, then the further part after the separator; empty when
// neither code is set.
QString FormatInkText(const QString &prefix, std::uint8_t code, bool shortName, const QString &further,
                      const QString &separator, std::uint8_t secondCode);
