#include "platform/db/jet/JetValueText.h"

#include "platform/db/jet/JetDates.h"

#include <cmath>
#include <cstdio>

namespace platform::jet {
namespace {

QString generalText(double value, int digits)
{
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
    // %G writes the exponent with at least two digits ("1E+15", "1E-05"), as VBA does.
    return QString::fromLatin1(buffer);
}

} // namespace

double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

QString numberText(double value, FieldType type)
{
    switch (type) {
    case FieldType::Currency: {
        const double units = std::nearbyint(value * 10000.0);
        const qint64 u = qint64(units);
        const qint64 whole = u / 10000;
        qint64 frac = std::llabs(u % 10000);
        QString text = (u < 0 && whole == 0) ? QStringLiteral("-0") : QString::number(whole);
        if (frac != 0) {
            QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
            while (f.endsWith(QLatin1Char('0')))
                f.chop(1);
            text += QLatin1Char('.') + f;
        }
        return text;
    }
    case FieldType::Single:
        return generalText(double(float(value)), 7);
    case FieldType::Boolean:
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
        if (value == std::floor(value) && std::fabs(value) < 9.2e18)
            return QString::number(qint64(value));
        return generalText(value, 15);
    default:
        return generalText(value, 15);
    }
}

QString valueText(const Value &value, FieldType type, BooleanText booleans)
{
    if (value.isNull())
        return QString();
    const FieldType stored = value.type();
    if (isTextType(stored))
        return value.toString();
    if (type == FieldType::Boolean) {
        const bool on = value.toDouble() != 0;
        if (booleans == BooleanText::Word)
            return on ? QStringLiteral("True") : QStringLiteral("False");
        return on ? QStringLiteral("-1") : QStringLiteral("0");
    }
    if (type == FieldType::Date)
        return dateText(value.toDouble());
    if (stored == FieldType::Long || stored == FieldType::Integer || stored == FieldType::Byte) {
        if (type == FieldType::Currency || type == FieldType::Double || type == FieldType::Single
            || isNumericType(type) || type == FieldType::Empty || isTextType(type))
            return QString::number(value.toInt64());
    }
    if (isNumericType(type))
        return numberText(value.toDouble(), type);
    return numberText(value.toDouble(), FieldType::Double);
}

std::optional<double> parseNumber(QStringView raw)
{
    const QStringView text = raw.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    QByteArray plain;
    plain.reserve(text.size());
    qsizetype i = 0;
    if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')) {
        plain.append(char(text[0].unicode()));
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            plain.append(char(c.unicode()));
            digits = true;
        } else if (c == QLatin1Char(',') && !point && digits) {
            continue;
        } else if (c == QLatin1Char('.') && !point) {
            plain.append('.');
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        QByteArray exponent("e");
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            exponent.append(char(text[j++].unicode()));
        bool expDigits = false;
        while (j < text.size() && text[j].isDigit() && text[j].unicode() < 128) {
            exponent.append(char(text[j++].unicode()));
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
        plain.append(exponent);
        i = j;
    }
    if (i != text.size())
        return std::nullopt;
    bool ok = false;
    const double v = plain.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

} // namespace platform::jet
