#include "platform/db/jet/JetTranslator.h"

#include "platform/db/StoredMoney.h"
#include "platform/db/jet/JetDates.h"
#include "platform/db/jet/JetErrors.h"
#include "platform/db/jet/JetValueText.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace platform::jet {
namespace {

// The number a value stands for; nothing for text that reads as no number.
std::optional<double> numberOf(const Value &v)
{
    if (isTextType(v.type()))
        return parseNumber(v.toString());
    if (v.type() == FieldType::Currency)
        return storedReal(v.toMoney());
    if (v.type() == FieldType::Date) {
        const DateTime d = v.toDateTime();
        return d.toOle();
    }
    return v.toDouble();
}

std::optional<bool> booleanOf(const Value &v)
{
    if (isTextType(v.type())) {
        const QString s = v.toString().trimmed().toLower();
        if (s == QLatin1String("true") || s == QLatin1String("yes") || s == QLatin1String("on"))
            return true;
        if (s == QLatin1String("false") || s == QLatin1String("no") || s == QLatin1String("off"))
            return false;
        if (const auto n = parseNumber(s))
            return *n != 0;
        return std::nullopt;
    }
    return v.toDouble() != 0;
}

} // namespace

Value storeAs(const Value &value, FieldType type, int size)
{
    if (value.isNull())
        return Value::nullOf(type);
    if (value.type() == FieldType::Date && value.toDateTime().isNull())
        return Value::nullOf(type);
    switch (type) {
    case FieldType::Boolean: {
        const auto b = booleanOf(value);
        if (!b)
            throw jetException(ErrConversion);
        return Value(*b);
    }
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long: {
        const auto n = numberOf(value);
        if (!n)
            throw jetException(ErrConversion);
        const double r = roundHalfEven(*n);
        double lo = -2147483648.0;
        double hi = 2147483647.0;
        if (type == FieldType::Byte) {
            lo = 0;
            hi = 255;
        } else if (type == FieldType::Integer) {
            lo = -32768;
            hi = 32767;
        }
        if (!(r >= lo && r <= hi))
            throw jetException(ErrNumericOverflow);
        return Value(std::int64_t(r), type);
    }
    case FieldType::Currency: {
        if (value.type() == FieldType::Currency) {
            if (!value.toMoney().isValid())
                throw jetException(ErrNumericOverflow);
            return Value(value.toMoney());
        }
        if (isTextType(value.type())) {
            if (const std::optional<Money> exact = moneyFromDecimalText(value.toString())) {
                if (!exact->isValid())
                    throw jetException(ErrNumericOverflow);
                return Value(*exact);
            }
        }
        const auto n = numberOf(value);
        if (!n)
            throw jetException(ErrConversion);
        const Money m = moneyFromStoredReal(*n, true);
        if (!m.isValid())
            throw jetException(ErrNumericOverflow);
        return Value(m);
    }
    case FieldType::Single: {
        const auto n = numberOf(value);
        if (!n)
            throw jetException(ErrConversion);
        if (!(std::fabs(*n) <= double(FLT_MAX)))
            throw jetException(ErrNumericOverflow);
        return Value(float(*n));
    }
    case FieldType::Double: {
        const auto n = numberOf(value);
        if (!n)
            throw jetException(ErrConversion);
        // Infinity (or no number at all) is no value a field can keep.
        if (!std::isfinite(*n))
            throw jetException(ErrNumericOverflow);
        return Value(*n, FieldType::Double);
    }
    case FieldType::Date: {
        // A field keeps the dates from 1/1/100 to 12/31/9999 alone: a day past
        // them is an overflow, whether it comes as a number or as a date.
        const auto inRange = [](double serial) {
            if (!std::isfinite(serial) || !isDateSerial(serial))
                throw jetException(ErrNumericOverflow);
            return serial;
        };
        if (value.type() == FieldType::Date) {
            inRange(value.toDateTime().toOle());
            return value;
        }
        if (isTextType(value.type())) {
            const auto d = parseDateText(value.toString());
            if (!d)
                throw jetException(ErrConversion);
            return Value(DateTime(inRange(*d)));
        }
        const auto n = numberOf(value);
        if (!n)
            throw jetException(ErrConversion);
        return Value(DateTime(inRange(*n)));
    }
    case FieldType::Text:
    case FieldType::Memo: {
        QString text;
        switch (value.type()) {
        case FieldType::Text:
        case FieldType::Memo:
            text = value.toString();
            break;
        case FieldType::Currency:
            text = numberText(storedReal(value.toMoney()), FieldType::Currency);
            break;
        case FieldType::Date:
            text = dateText(value.toDateTime().toOle());
            break;
        case FieldType::Boolean:
            text = value.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
            break;
        case FieldType::Single:
            text = numberText(value.toDouble(), FieldType::Single);
            break;
        case FieldType::Double:
            text = numberText(value.toDouble(), FieldType::Double);
            break;
        default:
            text = QString::number(value.toInt64());
            break;
        }
        if (type == FieldType::Text && size > 0 && text.size() > size)
            throw jetException(ErrFieldTooSmall);
        return Value(text, type);
    }
    default:
        return value;
    }
}

} // namespace platform::jet
