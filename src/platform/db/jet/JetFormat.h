#pragma once

#include "platform/Value.h"

#include <QtCore/QString>

namespace platform::jet {

// Format(value, pattern): date patterns (yyyy yy q m mm mmm mmmm d dd ddd dddd
// ww w y h hh n nn s ss AM/PM, "/" and ":" written as such, English names),
// number patterns (0 # . , % and ;-sections) and the named formats. value is
// what SQLite holds (integer, real or text) and type its Jet type. A Null
// value gives a null QString.
QString formatValue(const Value &value, FieldType type, const QString &pattern);

} // namespace platform::jet
