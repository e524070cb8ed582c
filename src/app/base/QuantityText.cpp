#include "app/base/QuantityText.h"

#include "app/base/MoneyText.h"
#include "app/base/TextUtil.h"

#include <climits>

namespace {

bool isCSpace(QChar c)
{
    return c == QLatin1Char(' ') || (c.unicode() >= 9 && c.unicode() <= 13);
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Reads a decimal floating-point number as the C library does, but always with
// "." as the decimal point whatever the locale: leading blanks skipped, an
// optional sign, digits with one optional point, an optional exponent; reading
// stops at the first character that cannot continue the number; 0 without one.
double readDouble(const QString &text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isCSpace(text.at(i)))
        ++i;
    const qsizetype start = i;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    bool digits = false;
    while (i < n && isAsciiDigit(text.at(i))) {
        ++i;
        digits = true;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < n && isAsciiDigit(text.at(i))) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text.at(j) == QLatin1Char('-') || text.at(j) == QLatin1Char('+')))
            ++j;
        if (j < n && isAsciiDigit(text.at(j))) {
            while (j < n && isAsciiDigit(text.at(j)))
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

std::int32_t clampToInt(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return std::int32_t(value);
}

} // namespace

QString GetQuantityUnitName(std::uint8_t unit)
{
    switch (unit) {
    case 1: return QStringLiteral("Sheets");
    case 2: return QStringLiteral("Envelopes");
    case 3: return QStringLiteral("Names");
    case 4: return QStringLiteral("Originals/Set");
    case 5: return QStringLiteral("Sheets/Set");
    case 6: return QStringLiteral(" ");
    case 7: return QStringLiteral("Sheets/Pad");
    default: return QStringLiteral("Originals");
    }
}

QString GetRateUnitText(std::int32_t unit)
{
    switch (unit) {
    case 0: return QStringLiteral("/Hr");
    case 2: return QStringLiteral("/M");
    case 3: return QStringLiteral(" Total");
    default: return QStringLiteral("/Ea");
    }
}

void FormatMinutes(std::int32_t minutes, QString &out)
{
    // Widened so that the most negative count can be negated.
    const long long m = minutes;
    if (m >= 0)
        out = QString::asprintf("%lld:%02lld", m / 60, m % 60);
    else
        out = QString::asprintf("-%lld:%02lld", -m / 60, -m % 60);
}

QString MinutesToText(std::int32_t minutes)
{
    QString text;
    FormatMinutes(minutes, text);
    return text;
}

void ParseHoursMinutes(const QString &text, std::int32_t &minutes)
{
    qsizetype mark = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char(':') || text.at(i) == QLatin1Char('.')) {
            mark = i;
            break;
        }
    }
    if (mark < 0) {
        minutes = clampToInt(static_cast<long long>(ToInt(text)) * 60);
        return;
    }
    const QString padded = text + QLatin1String("00");
    const long long hours = ToInt(padded.left(mark));
    const long long mins = ToInt(padded.mid(mark + 1, 2));
    minutes = clampToInt(hours * 60 + mins);
}

std::int32_t HoursMinutesToInt(const QString &text)
{
    std::int32_t minutes = 0;
    ParseHoursMinutes(text, minutes);
    return minutes;
}

QString FormatNumberOrMinutes(std::int32_t value, bool number, const QString &defaultText)
{
    if (value == 0)
        return defaultText;
    if (!number)
        return MinutesToText(value);
    QString text = QString::number(value);
    const qsizetype stop = value < 0 ? 1 : 0;
    for (qsizetype pos = text.size() - 3; pos > stop; pos -= 3)
        text.insert(pos, ListSeparator());
    return text;
}

QString FormatCountWithUnit(std::int32_t count, const QString &singular, const QString &plural)
{
    if (count == 1)
        return QStringLiteral("1 ") + singular;
    return FormatNumberOrMinutes(count, true, QStringLiteral("0")) + QLatin1Char(' ') + plural;
}

QString FormatSize(float width, float height)
{
    if (width > 0 && height > 0)
        return QString::asprintf("%g x %g", double(width), double(height));
    if (width > 0)
        return QString::asprintf("%g", double(width));
    if (height > 0)
        return QString::asprintf("%g", double(height));
    return QString();
}

void ParseSize(const QString &text, float &width, float &height)
{
    qsizetype mark = text.indexOf(QLatin1Char('x'));
    if (mark < 0)
        mark = text.indexOf(QLatin1Char('X'));
    if (mark < 0) {
        width = float(readDouble(text));
        height = 0.0f;
        return;
    }
    width = float(readDouble(text.left(mark)));
    height = float(readDouble(text.mid(mark + 1)));
}

int GetDaysInMonth(int month, int year)
{
    switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
        return 31;
    case 2:
        return year % 4 == 0 ? 29 : 28;
    default:
        return 30;
    }
}

QString TooLargeCountText(const QString &name)
{
    return QStringLiteral("\"%1\" cannot be more than %2, the largest count it holds.")
        .arg(name, FormatFixedPoint(kLargestCount, 0, true));
}

QString PastLargestFigureText(const QString &figure, std::int64_t value, bool amount, bool past)
{
    const QString bound = amount ? FormatFixedPoint(kLargestAmountUnits / Money::kUnitsPerCent, 2, true)
                                 : FormatFixedPoint(kLargestCount, 0, true);
    // An amount shows its cents, rounded up as the costs are.
    const std::int64_t shown = amount ? value / Money::kUnitsPerCent + (value % Money::kUnitsPerCent > 0 ? 1 : 0) : value;
    // Below the largest negative figure it is said as such.
    const QString would = past        ? QStringLiteral("more than %1").arg(bound)
                          : value < 0 ? QStringLiteral("%1, less than -%2").arg(FormatFixedPoint(shown, amount ? 2 : 0, true), bound)
                                      : QStringLiteral("%1, more than %2").arg(FormatFixedPoint(shown, amount ? 2 : 0, true), bound);
    return QStringLiteral("the %1 would be %2, the largest %3 the program holds.")
        .arg(figure, would, amount ? QStringLiteral("amount") : QStringLiteral("count"));
}
