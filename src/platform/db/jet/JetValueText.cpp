#include "platform/db/jet/JetValueText.h"

#include "platform/db/StoredMoney.h"
#include "platform/db/jet/JetDates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

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
        // Read as the amount it stands for: at the ends of the range the
        // product with 10,000 no longer fits 64 bits.
        const Money amount = moneyFromStoredReal(value, true);
        if (!amount.isValid())
            return generalText(value, 15);
        const qint64 u = amount.units();
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

double roundDecimal(double value, int digits)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    // Away from a tie the binary product rounds as the decimal does: the
    // integer over the exact power of ten is the nearest double to the result.
    static const double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (digits >= 0 && digits <= 22) {
        const double scaled = value * powers[digits];
        if (std::fabs(scaled) < 1e15) {
            const double fraction = std::fabs(scaled - std::trunc(scaled));
            if (std::fabs(fraction - 0.5) > 1e-6)
                return std::nearbyint(scaled) / powers[digits];
        }
    }
    // The shortest decimal that reads back as value: d.ddd e exp.
    char buffer[64];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string text(buffer, res.ptr);
    const size_t e = text.find('e');
    const bool negative = text[0] == '-';
    std::string mantissa = text.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
    mantissa.erase(std::remove(mantissa.begin(), mantissa.end(), '.'), mantissa.end());
    const int exponent = std::stoi(text.substr(e + 1));
    // Index of the first digit dropped.
    const long long cut = (long long)exponent + 1 + digits;
    if (cut >= (long long)mantissa.size())
        return value;
    if (cut < 0)
        return negative ? -0.0 : 0.0;
    std::string kept = mantissa.substr(0, size_t(cut));
    const std::string rest = mantissa.substr(size_t(cut));
    bool up = false;
    if (rest[0] > '5') {
        up = true;
    } else if (rest[0] == '5') {
        const bool more = rest.find_first_not_of('0', 1) != std::string::npos;
        const int last = kept.empty() ? 0 : kept.back() - '0';
        up = more || last % 2 == 1;
    }
    long long whole = kept.empty() ? 0 : std::stoll(kept);
    if (up)
        ++whole;
    std::snprintf(buffer, sizeof buffer, "%s%llde%d", negative ? "-" : "", whole, -digits);
    return std::strtod(buffer, nullptr);
}

double valOf(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            plain.append(c);
    }
    if (plain.size() >= 2 && plain[0] == QLatin1Char('&')) {
        const QChar kind = plain[1].toUpper();
        const int radix = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
        if (radix != 0) {
            quint64 n = 0;
            bool any = false;
            for (qsizetype i = 2; i < plain.size(); ++i) {
                const int digit = plain[i].unicode() < 128 ? QChar(plain[i]).digitValue() : -1;
                int d = digit;
                if (radix == 16 && d < 0) {
                    const char c = char(plain[i].toUpper().unicode());
                    if (c >= 'A' && c <= 'F')
                        d = 10 + (c - 'A');
                }
                if (d < 0 || d >= radix)
                    break;
                n = n * quint64(radix) + quint64(d);
                any = true;
                if (n > 0xFFFFFFFFull)
                    return 0;
            }
            if (!any)
                return 0;
            if (n <= 0xFFFF)
                return double(qint16(quint16(n)));
            return double(qint32(quint32(n)));
        }
    }
    QByteArray number;
    qsizetype i = 0;
    if (i < plain.size() && (plain[i] == QLatin1Char('-') || plain[i] == QLatin1Char('+')))
        number.append(char(plain[i++].unicode()));
    bool digits = false;
    bool point = false;
    for (; i < plain.size(); ++i) {
        const QChar c = plain[i];
        if (c.unicode() < 128 && c.isDigit()) {
            number.append(char(c.unicode()));
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            number.append('.');
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    if (i < plain.size()) {
        const QChar e = plain[i].toUpper();
        if (e == QLatin1Char('E') || e == QLatin1Char('D')) {
            QByteArray exponent("e");
            qsizetype j = i + 1;
            if (j < plain.size() && (plain[j] == QLatin1Char('-') || plain[j] == QLatin1Char('+')))
                exponent.append(char(plain[j++].unicode()));
            bool expDigits = false;
            while (j < plain.size() && plain[j].unicode() < 128 && plain[j].isDigit() && exponent.size() < 8) {
                exponent.append(char(plain[j++].unicode()));
                expDigits = true;
            }
            if (expDigits)
                number.append(exponent);
        }
    }
    const double v = std::strtod(number.constData(), nullptr);
    return std::isfinite(v) ? v : 0;
}

std::optional<QString> radixText(double rounded, int radix)
{
    if (!(rounded >= -2147483648.0 && rounded <= 4294967295.0))
        return std::nullopt;
    const qint64 n = qint64(rounded);
    quint64 bits = 0;
    if (n >= 0)
        bits = quint64(n);
    else if (n >= -32768)
        bits = quint64(quint16(qint16(n)));
    else
        bits = quint64(quint32(qint32(n)));
    return QString::number(bits, radix).toUpper();
}

} // namespace platform::jet
