#include "app/base/MoneyText.h"

#include "app/base/TextUtil.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();

// Adds half of the last kept digit away from zero, held at the ends of the
// 64-bit range.
std::int64_t addHalfAwayFromZero(std::int64_t units, std::int64_t half)
{
    if (units < 0)
        return units < kInt64Min + half ? kInt64Min : units - half;
    return units > kInt64Max - half ? kInt64Max : units + half;
}

// Steps common to the money texts: the decimal text of the (already rounded)
// unit count, cut to `decimals` decimals (none without a dot).
QString cutToDecimals(std::int64_t units, int decimals)
{
    const std::uint64_t a = units < 0 ? 0 - std::uint64_t(units) : std::uint64_t(units);
    char text[40];
    char *const end = text + sizeof text;
    char *p = end;
    if (decimals > 0) {
        std::uint64_t frac = a % std::uint64_t(Money::kUnitsPerWhole);
        for (int i = 4; i > decimals; --i)
            frac /= 10;
        for (int i = 0; i < decimals; ++i, frac /= 10)
            *--p = char('0' + frac % 10);
        *--p = '.';
    }
    std::uint64_t whole = a / std::uint64_t(Money::kUnitsPerWhole);
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole);
    if (units < 0)
        *--p = '-';
    return QString::fromLatin1(p, end - p);
}

Money withStatus(std::int64_t units, Money::Status status)
{
    Money m = Money::fromUnits(units);
    m.setStatus(status);
    return m;
}

// True when `format` holds exactly one conversion, and it takes a double.
bool isSingleFloatFormat(const QString &format)
{
    int conversions = 0;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (format.at(i) != QLatin1Char('%'))
            continue;
        ++i;
        if (i < n && format.at(i) == QLatin1Char('%'))
            continue;
        while (i < n && QStringLiteral("-+ #0").contains(format.at(i)))
            ++i;
        while (i < n && format.at(i).isDigit())
            ++i;
        if (i < n && format.at(i) == QLatin1Char('.')) {
            ++i;
            while (i < n && format.at(i).isDigit())
                ++i;
        }
        if (i < n && format.at(i) == QLatin1Char('l'))
            ++i;
        if (i >= n || !QStringLiteral("fFeEgGaA").contains(format.at(i)))
            return false;
        ++conversions;
    }
    return conversions == 1;
}

} // namespace

QString FormatCurrency(Money value, int decimals)
{
    decimals = std::clamp(decimals, 0, 4);
    if (value.units() == 0)
        return decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
    std::int64_t units = value.units();
    if (decimals < 4) {
        std::int64_t half = 5;
        for (int i = decimals; i < 3; ++i)
            half *= 10;
        units = addHalfAwayFromZero(units, half);
    }
    return cutToDecimals(units, decimals);
}

QString FormatMoney(Money value)
{
    return FormatCurrency(value, 2);
}

QString FormatMoneyGrouped(Money value)
{
    // GroupThousands(FormatCurrency(value, 2)), written in one pass: the
    // amount rounded half away from zero to cents, a separator before each
    // group of three whole digits counted from the right.
    const QString &separator = ListSeparator();
    if (separator.size() != 1 || separator.at(0).unicode() >= 0x80)
        return GroupThousands(FormatCurrency(value, 2));
    const char comma = char(separator.at(0).unicode());
    const std::int64_t units = value.units() == 0 ? 0 : addHalfAwayFromZero(value.units(), 50);
    const std::uint64_t a = units < 0 ? 0 - std::uint64_t(units) : std::uint64_t(units);
    char text[48];
    char *const end = text + sizeof text;
    char *p = end;
    const std::uint64_t cents = a % std::uint64_t(Money::kUnitsPerWhole) / 100;
    *--p = char('0' + cents % 10);
    *--p = char('0' + cents / 10);
    *--p = '.';
    std::uint64_t whole = a / std::uint64_t(Money::kUnitsPerWhole);
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            *--p = comma;
        *--p = char('0' + whole % 10);
        whole /= 10;
        ++digits;
    } while (whole);
    if (units < 0)
        *--p = '-';
    return QString::fromLatin1(p, end - p);
}

void FormatCurrencyTo(Money value, QString &out, int decimals)
{
    out = FormatCurrency(value, decimals);
}

QString FormatCurrencyRounded(Money value)
{
    if (value.units() == 0)
        return QString();
    if (value.isNoCharge())
        return QStringLiteral("0.00");
    return cutToDecimals(addHalfAwayFromZero(value.units(), 50), 2);
}

QString GroupThousands(const QString &text)
{
    if (text.isEmpty())
        return QString();
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    const qsizetype integerEnd = dot < 0 ? text.size() : dot;
    const QString &separator = ListSeparator();
    // The letters and digits of the integer part, a separator before each
    // group of three counted from the right; the rest from the dot on.
    qsizetype kept = 0;
    for (qsizetype i = 0; i < integerEnd; ++i)
        kept += text.at(i).isLetterOrNumber() ? 1 : 0;
    QString result;
    result.reserve(text.size() + kept / 3 * separator.size() + 1);
    if (text.at(0) == QLatin1Char('-'))
        result += QLatin1Char('-');
    qsizetype left = kept;
    for (qsizetype i = 0; i < integerEnd; ++i) {
        const QChar c = text.at(i);
        if (!c.isLetterOrNumber())
            continue;
        if (left != kept && left % 3 == 0)
            result += separator;
        result += c;
        --left;
    }
    if (dot >= 0)
        result += QStringView(text).mid(dot);
    return result;
}

QString FormatInt(std::int32_t value, bool group, bool blankZero)
{
    if (value == 0 && blankZero)
        return QString();
    const QString text = QString::number(value);
    return group ? GroupThousands(text) : text;
}

QString FormatInt64(std::uint64_t count, bool group)
{
    const QString text = QString::number(count);
    return group ? GroupThousands(text) : text;
}

QString FormatHundredths(std::int32_t n)
{
    return QString::asprintf("%.2f", double(n) / 100.0);
}

QString FormatDouble(double value, const QString &format)
{
    if (!isSingleFloatFormat(format))
        return QString();
    const QByteArray f = format.toUtf8();
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    return QString::asprintf(f.constData(), value);
#pragma GCC diagnostic pop
}

namespace {

// Writes the number's first `decimals` decimals before the point and drops
// the point and any further decimals: "12.5" with 2 becomes "1250".
void ShiftOutDecimals(QString &text, int decimals)
{
    if (decimals <= 0)
        return;
    qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        dot = text.size();
        text += QLatin1Char('.');
    }
    text += QString(decimals, QLatin1Char('0'));
    text = text.left(dot) + text.mid(dot + 1, decimals);
}

} // namespace

void ParseFixedPoint(QString &text, std::int32_t &out, int decimals)
{
    ShiftOutDecimals(text, decimals);
    out = ToInt(text);
}

std::int32_t ParseFixedPointValue(const QString &text, int decimals)
{
    QString copy(text);
    std::int32_t value = 0;
    ParseFixedPoint(copy, value, decimals);
    return value;
}

bool ParseFixedPoint64(const QString &input, int decimals, std::int64_t &out)
{
    out = 0;
    QString text = input.trimmed();
    ShiftOutDecimals(text, decimals);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            break;
        // Negative while read, so that the smallest number is read too.
        if (__builtin_mul_overflow(value, 10, &value) || __builtin_sub_overflow(value, std::int64_t(c - u'0'), &value))
            return false;
    }
    if (!negative && __builtin_sub_overflow(std::int64_t(0), value, &value))
        return false;
    out = value;
    return true;
}

std::int64_t LargestFixedPoint(int decimals)
{
    std::int64_t divisor = 1;
    for (int d = std::clamp(decimals, 0, 4); d < 4; ++d)
        divisor *= 10;
    return INT64_MAX / divisor;
}

std::int64_t LargestAmount(int decimals)
{
    std::int64_t divisor = 1;
    for (int d = std::clamp(decimals, 0, 4); d < 4; ++d)
        divisor *= 10;
    return kLargestAmountUnits / divisor;
}

QString TooLargeAmountText(const QString &name)
{
    return QStringLiteral("\"%1\" cannot be more than %2, the largest amount it holds.")
        .arg(name, FormatFixedPoint(LargestAmount(2), 2, true));
}

QString FormatFixedPoint(std::int64_t value, int decimals, bool group)
{
    // Through the unsigned magnitude, so that the smallest number has one too.
    const std::uint64_t magnitude = value < 0 ? 0 - std::uint64_t(value) : std::uint64_t(value);
    QString digits = QString::number(magnitude);
    if (decimals > 0) {
        while (digits.size() <= decimals)
            digits.prepend(QLatin1Char('0'));
        digits.insert(digits.size() - decimals, QLatin1Char('.'));
    }
    if (group)
        digits = GroupThousands(digits);
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

std::int64_t CurrencyToCents(Money value)
{
    if (value.units() == 1)
        return 1;
    return value.units() / Money::kUnitsPerCent;
}

void RoundToCents(Money &value, bool roundUp)
{
    const std::int64_t r = value.units() % Money::kUnitsPerCent;
    if (r == 0)
        return;
    std::int64_t units = value.units() - r; // toward zero
    // Up means toward the next whole cent above: for a positive value that is
    // away from zero, for a negative one the truncation already went up.
    if (roundUp && r > 0)
        units += Money::kUnitsPerCent;
    value = withStatus(units, value.status());
}

void ForceCurrencySign(Money &value, bool positive)
{
    if (!value.isValid()) {
        value = Money::zero();
        return;
    }
    if ((positive && value.units() < 0) || (!positive && value.units() > 0))
        value = -value;
}

void ScaleRateByUnit(Money &out, const RateEntry &entry)
{
    out = entry.price;
    if (entry.count == 0)
        return;
    std::int64_t factor = 1;
    if (entry.unit == 0)
        factor = 60;
    else if (entry.unit == 2)
        factor = 1000;
    out = withStatus(entry.price.units() * factor / entry.count, entry.price.status());
}

Money ScaleRateByUnit(Money price, std::int32_t count, std::int32_t unit)
{
    Money out;
    ScaleRateByUnit(out, RateEntry{price, count, unit});
    return out;
}

void CalcPercentOfTotal(Money total, Money &amount, std::int32_t &share, bool clamp)
{
    if (total.units() == 0)
        return;
    double q = std::fabs(double(amount.units())) * 10000.0 / double(total.units());
    if (q > 0)
        q += 0.5;
    else if (q < 0)
        q -= 0.5;
    q = std::fabs(std::trunc(q));
    share = q >= double(INT_MAX) ? INT_MAX : std::int32_t(q);
    if (clamp && share > 10000) {
        share = 10000;
        // The amount keeps its own sign and takes the total's size, so a
        // credit (negative total and amount) stays a credit.
        const std::int64_t size = total.units() < 0 ? -total.units() : total.units();
        amount = withStatus(amount.units() < 0 ? -size : size, amount.status());
    }
}

void CalcPercentAmount(Money base, Money &out, double percent, bool clip, bool roundUp)
{
    // The No Charge marker, of either sign, carries no percent amount: with
    // rounding up a -0.0001 base would otherwise yield a whole cent.
    if (percent == 0 || !std::isfinite(percent) || base.units() == 0 || base.isNoCharge()) {
        out = Money::zero();
        return;
    }
    if (clip)
        percent = std::clamp(percent, -100.0, 100.0);
    double cents = double(base.units()) * 0.0001 * percent;
    const double h = roundUp ? 0.9999 : 0.5000001;
    if (cents < 0)
        cents -= h;
    else if (cents > 0)
        cents += h;
    cents = std::trunc(cents);
    // The largest whole cents the currency holds; as a double that limit
    // rounds up past it, so the ends are given as integers.
    constexpr std::int64_t kLargestCents = kInt64Max / Money::kUnitsPerCent;
    if (cents >= double(kLargestCents))
        out = Money::fromCents(kLargestCents);
    else if (cents <= -double(kLargestCents))
        out = Money::fromCents(-kLargestCents);
    else
        out = Money::fromCents(std::int64_t(cents));
}

double Interpolate(std::int64_t x, std::int64_t x1, std::int64_t x2, std::int64_t y1, std::int64_t y2)
{
    if (x == 0 || x1 == 0 || x2 == 0 || x2 == x1 || y2 == y1)
        return y1 != 0 ? double(y1) : double(y2);
    if (y2 == 0)
        return double(y1);
    const double slope = (double(y2) - double(y1)) / (double(x2) - double(x1));
    return double(y1) + (double(x) - double(x1)) * slope;
}
