#pragma once

#include "platform/Value.h"

#include <QtCore/QString>
#include <QtCore/QStringView>

#include <optional>

namespace platform::jet {

// How a value of a Yes/No type reads as text: joined with & it is the
// number (-1, 0); CStr and Format spell it (True, False).
enum class BooleanText { Number, Word };

// The engine's text of a number of the given type: integer types plain,
// Double to 15 significant digits and Single to 7 without trailing zeros
// (exponent form from 1E+15 and below 1E-04 as VBA writes it), Currency to at
// most 4 decimals.
QString numberText(double value, FieldType type);
// The text of a value read from SQLite (an integer, a real or a text) whose
// Jet type is type: numbers as above, dates as m/d/yyyy [h:nn:ss AM/PM].
// A Null value gives a null QString.
QString valueText(const Value &value, FieldType type, BooleanText booleans = BooleanText::Number);

// Reads a number as VBA converts text to a number: blanks around, a sign,
// digits with optional thousands commas, a decimal point and an exponent.
std::optional<double> parseNumber(QStringView text);

// Round to the nearest integer, ties to even (the engine's conversions).
double roundHalfEven(double value);

// Round(x, digits): ties to even on the decimal digits the number is written
// with, so Round(0.12345, 4) is 0.1234 and Round(2.675, 2) 2.68 (2.675 is
// read as written, not as its binary neighbour).
double roundDecimal(double value, int digits);

// Val(text): blanks, tabs and line feeds are skipped anywhere; reading stops
// at the first character that cannot continue a number; "&H" and "&O"
// prefixes read hexadecimal and octal (16-bit, else 32-bit two's complement).
double valOf(QStringView text);

// Hex and Oct of an integer: negative values within 16 bits as 16-bit two's
// complement, else within 32 bits as 32-bit. Nothing outside the 32-bit
// range (signed, or unsigned up to 4294967295).
std::optional<QString> radixText(double rounded, int radix);

} // namespace platform::jet
