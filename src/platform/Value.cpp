#include "platform/Value.h"

#include <cmath>

namespace platform {

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Boolean: return QStringLiteral("YesNo");
    case FieldType::Byte: return QStringLiteral("Byte");
    case FieldType::Integer: return QStringLiteral("Integer");
    case FieldType::Long: return QStringLiteral("Long");
    case FieldType::Currency: return QStringLiteral("Currency");
    case FieldType::Single: return QStringLiteral("Single");
    case FieldType::Double: return QStringLiteral("Double");
    case FieldType::Date: return QStringLiteral("DateTime");
    case FieldType::Binary: return QStringLiteral("Binary");
    case FieldType::Text: return QStringLiteral("Text");
    case FieldType::LongBinary: return QStringLiteral("LongBinary");
    case FieldType::Memo: return QStringLiteral("Memo");
    case FieldType::Guid: return QStringLiteral("Guid");
    case FieldType::Empty: break;
    }
    return QString();
}

FieldType fieldTypeFromName(const QString &declared)
{
    const QString n = declared.section(QLatin1Char('('), 0, 0).trimmed().toLower();
    if (n == QLatin1String("yesno") || n == QLatin1String("bit") || n == QLatin1String("boolean")
        || n == QLatin1String("logical") || n == QLatin1String("yes/no"))
        return FieldType::Boolean;
    if (n == QLatin1String("byte") || n == QLatin1String("tinyint"))
        return FieldType::Byte;
    if (n == QLatin1String("integer") || n == QLatin1String("short") || n == QLatin1String("smallint")
        || n == QLatin1String("integer2"))
        return FieldType::Integer;
    if (n == QLatin1String("long") || n == QLatin1String("counter") || n == QLatin1String("autoincrement")
        || n == QLatin1String("autonumber") || n == QLatin1String("int") || n == QLatin1String("integer4"))
        return FieldType::Long;
    if (n == QLatin1String("currency") || n == QLatin1String("money"))
        return FieldType::Currency;
    if (n == QLatin1String("single") || n == QLatin1String("real") || n == QLatin1String("float4"))
        return FieldType::Single;
    if (n == QLatin1String("double") || n == QLatin1String("float") || n == QLatin1String("float8")
        || n == QLatin1String("number"))
        return FieldType::Double;
    if (n == QLatin1String("datetime") || n == QLatin1String("date") || n == QLatin1String("time")
        || n == QLatin1String("date/time"))
        return FieldType::Date;
    if (n == QLatin1String("memo") || n == QLatin1String("longtext") || n == QLatin1String("longchar")
        || n == QLatin1String("note"))
        return FieldType::Memo;
    if (n == QLatin1String("longbinary") || n == QLatin1String("oleobject") || n == QLatin1String("image"))
        return FieldType::LongBinary;
    if (n == QLatin1String("binary") || n == QLatin1String("varbinary"))
        return FieldType::Binary;
    if (n == QLatin1String("guid"))
        return FieldType::Guid;
    return FieldType::Text;
}

bool isNumericType(FieldType t)
{
    switch (t) {
    case FieldType::Boolean: case FieldType::Byte: case FieldType::Integer: case FieldType::Long:
    case FieldType::Currency: case FieldType::Single: case FieldType::Double:
        return true;
    default:
        return false;
    }
}

int fieldTypeByteSize(FieldType type)
{
    switch (type) {
    case FieldType::Boolean:
    case FieldType::Byte: return 1;
    case FieldType::Integer: return 2;
    case FieldType::Long:
    case FieldType::Single: return 4;
    case FieldType::Currency:
    case FieldType::Double:
    case FieldType::Date: return 8;
    case FieldType::Guid: return 16;
    default: return 0;
    }
}

bool isTextType(FieldType t)
{
    return t == FieldType::Text || t == FieldType::Memo;
}

bool Value::toBool() const
{
    return toDouble() != 0.0;
}

std::int64_t Value::toInt64() const
{
    if (const auto *i = std::get_if<std::int64_t>(&m_data))
        return *i;
    if (const auto *b = std::get_if<bool>(&m_data))
        return *b ? -1 : 0;
    if (const auto *d = std::get_if<double>(&m_data))
        return std::int64_t(*d); // truncates toward zero, as the program's conversions do
    if (const auto *m = std::get_if<Money>(&m_data))
        return m->units() / Money::kUnitsPerWhole;
    if (const auto *dt = std::get_if<DateTime>(&m_data))
        return std::int64_t(dt->toOle());
    if (const auto *s = std::get_if<QString>(&m_data))
        return std::int64_t(s->trimmed().toDouble());
    return 0;
}

double Value::toDouble() const
{
    if (const auto *d = std::get_if<double>(&m_data))
        return *d;
    if (const auto *i = std::get_if<std::int64_t>(&m_data))
        return double(*i);
    if (const auto *b = std::get_if<bool>(&m_data))
        return *b ? -1.0 : 0.0;
    if (const auto *m = std::get_if<Money>(&m_data))
        return m->toDouble();
    if (const auto *dt = std::get_if<DateTime>(&m_data))
        return dt->toOle();
    if (const auto *s = std::get_if<QString>(&m_data))
        return s->trimmed().toDouble();
    return 0.0;
}

Money Value::toMoney() const
{
    if (const auto *m = std::get_if<Money>(&m_data))
        return *m;
    if (const auto *i = std::get_if<std::int64_t>(&m_data))
        return Money::fromWhole(*i);
    if (const auto *s = std::get_if<QString>(&m_data)) {
        const Money m = Money::fromText(*s);
        return m.isValid() ? m : Money();
    }
    if (isNull())
        return Money();
    return Money::fromDouble(toDouble());
}

DateTime Value::toDateTime() const
{
    if (const auto *dt = std::get_if<DateTime>(&m_data))
        return *dt;
    if (isNull())
        return DateTime::null();
    if (const auto *s = std::get_if<QString>(&m_data))
        return DateTime::fromText(*s);
    return DateTime(toDouble());
}

QString Value::toString() const
{
    if (const auto *s = std::get_if<QString>(&m_data))
        return *s;
    if (const auto *i = std::get_if<std::int64_t>(&m_data))
        return QString::number(*i);
    if (const auto *b = std::get_if<bool>(&m_data))
        return *b ? QStringLiteral("True") : QStringLiteral("False");
    if (const auto *d = std::get_if<double>(&m_data)) {
        if (m_type == FieldType::Single)
            return QString::number(float(*d), 'g', 7);
        return QString::number(*d, 'g', 15);
    }
    if (const auto *m = std::get_if<Money>(&m_data))
        return m->toPlainText();
    if (const auto *dt = std::get_if<DateTime>(&m_data)) {
        if (dt->time() == QTime(0, 0))
            return dt->format(QStringLiteral("%#m/%#d/%Y"));
        if (dt->dayNumber() == 0)
            return dt->format(QStringLiteral("%#I:%M:%S %p"));
        return dt->format(QStringLiteral("%#m/%#d/%Y %#I:%M:%S %p"));
    }
    return QString();
}

bool operator==(const Value &a, const Value &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    if (isTextType(a.m_type) || isTextType(b.m_type))
        return a.toString() == b.toString();
    if (a.m_type == FieldType::Currency || b.m_type == FieldType::Currency)
        return a.toMoney() == b.toMoney();
    return a.toDouble() == b.toDouble();
}

} // namespace platform
