#pragma once

#include "platform/Money.h"

#include <optional>

namespace platform {

// An amount as a REAL holds it in the file and in SQL results: its count of
// ten-thousandths divided by 10,000, the nearest double (one rounding, so
// large amounts too).
double storedReal(Money amount);

// The amount such a REAL stands for: the nearest ten-thousandth (a tie, which
// only a REAL written by other means can be, away from zero, or to even when
// asked, as CCur and storing rounds), exact for large amounts too. Beyond the currency range it is
// invalid, except for the REAL nearest to either end, which reads as that
// end (there a REAL cannot tell the last ten-thousandths apart).
Money moneyFromStoredReal(double value, bool tiesToEven = false);

// A text written as a plain decimal ("-12.5", " 1234.5678 ") read
// exactly, digit by digit, so that a text one ten-thousandth beyond either end
// of the range is invalid rather than the REAL nearest to that end. Nothing
// when the text is no plain decimal (an exponent, a hexadecimal number ...),
// which is read as a number as before.
std::optional<Money> moneyFromDecimalText(const QString &text);

} // namespace platform
