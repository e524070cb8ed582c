#pragma once

#include "platform/Value.h"

#include <QtCore/QString>

#include <memory>
#include <optional>
#include <string>

namespace platform::jet {

// Format(value, pattern): date patterns (yyyy yy q m mm mmm mmmm d dd ddd dddd
// ddddd dddddd ww w y h hh n nn s ss ttttt c AM/PM am/pm A/P a/p, "/" and ":"
// written as such, English names), number patterns (0 # . , % E+ E- with
// thousands grouping and scaling, up to four ;-sections: positive, negative,
// zero, Null), text patterns (@ & < > !), literals ("..." and \c) and the
// named formats (General Number, Currency, Fixed, Standard, Percent,
// Scientific, Yes/No, True/False, On/Off, General/Long/Medium/Short Date,
// Long/Medium/Short Time) with US conventions. value is what SQLite holds
// (integer, real or text) and type its Jet type. A Null value gives the
// pattern's Null section, or a null QString when it has none.
QString formatValue(const Value &value, FieldType type, const QString &pattern);

// A pattern read once, for formatting value after value with it (a
// statement formats every row with the same pattern).
struct FormatPlan;
std::shared_ptr<const FormatPlan> prepareFormat(const QString &pattern);
QString formatValue(const Value &value, FieldType type, const FormatPlan &plan);
// The date serial the plan reads the value as, when it formats it as a date.
std::optional<double> formattedSerial(const Value &value, FieldType type, const FormatPlan &plan);
// The fast way for a date pattern and a date serial: appends the UTF-8 text
// to out. False (nothing appended) when the plan is not a date pattern.
bool formatDateUtf8(double serial, const FormatPlan &plan, std::string &out);

// FormatNumber, FormatCurrency and FormatPercent: digits after the point
// (-1: two), leading zero, parentheses for negatives and grouping, each
// -1 true, 0 false or -2 the US default (leading zero and grouping on;
// parentheses only for currency).
enum class NumberStyle { Number, Currency, Percent };
QString formatNumberStyle(double value, NumberStyle style, int digits, int leadingZero, int parentheses, int grouping);

// FormatDateTime: 0 General Date, 1 Long Date, 2 Short Date, 3 Long Time,
// 4 Short Time. A null QString for another number.
QString formatDateTimeNamed(double serial, int namedFormat);

} // namespace platform::jet
