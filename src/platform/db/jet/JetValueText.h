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

} // namespace platform::jet
