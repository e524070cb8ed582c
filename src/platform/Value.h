#pragma once

#include "platform/DateTime.h"
#include "platform/Money.h"

#include <QtCore/QString>
#include <cstdint>
#include <variant>

namespace platform {

// The field types of the shop database, numbered as the engine numbers them.
enum class FieldType : int {
    Empty = 0,
    Boolean = 1,  // Yes/No
    Byte = 2,
    Integer = 3,  // 16-bit
    Long = 4,     // 32-bit (AutoNumber too)
    Currency = 5,
    Single = 6,
    Double = 7,
    Date = 8,
    Binary = 9,
    Text = 10,
    LongBinary = 11,
    Memo = 12,
    Guid = 15,
};

// Jet's name of a type as it stands in a column's declared type ("Text", "Long" ...).
QString fieldTypeName(FieldType type);
// The type for a declared type name; Text for anything unknown.
FieldType fieldTypeFromName(const QString &name);
bool isNumericType(FieldType type);
// The engine's size in bytes of a number or date type; 0 for texts and binaries.
int fieldTypeByteSize(FieldType type);
bool isTextType(FieldType type);

// One field value as a recordset gives it: Null or a value of a field type.
class Value
{
public:
    Value() = default; // Null
    Value(std::nullptr_t) {}
    Value(bool b) : m_type(FieldType::Boolean), m_data(b) {}
    Value(int i) : m_type(FieldType::Long), m_data(std::int64_t(i)) {}
    Value(std::int64_t i, FieldType type = FieldType::Long) : m_type(type), m_data(i) {}
    Value(double d, FieldType type = FieldType::Double) : m_type(type), m_data(d) {}
    Value(float f) : m_type(FieldType::Single), m_data(double(f)) {}
    Value(Money m) : m_type(FieldType::Currency), m_data(m) {}
    Value(DateTime d) : m_type(FieldType::Date), m_data(d) {}
    Value(const QString &s, FieldType type = FieldType::Text) : m_type(type), m_data(s) {}
    // Takes over a text made for the value (no reference count to touch).
    Value(QString &&s, FieldType type = FieldType::Text) : m_type(type), m_data(std::in_place_type<QString>, std::move(s)) {}
    Value(const char *s) : m_type(FieldType::Text), m_data(QString::fromUtf8(s)) {}

    // A Null that remembers its column's type.
    static Value nullOf(FieldType type) { Value v; v.m_type = type; return v; }

    bool isNull() const { return std::holds_alternative<std::monostate>(m_data); }
    FieldType type() const { return m_type; }

    // Conversions as the engine makes them; Null gives 0, "", false or a null date.
    bool toBool() const;
    std::int64_t toInt64() const;
    int toInt() const { return int(toInt64()); }
    double toDouble() const;
    Money toMoney() const;
    DateTime toDateTime() const;
    QString toString() const;

    friend bool operator==(const Value &a, const Value &b);

private:
    FieldType m_type = FieldType::Empty;
    std::variant<std::monostate, bool, std::int64_t, double, Money, DateTime, QString> m_data;
};

} // namespace platform
