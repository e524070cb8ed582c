#include "platform/Money.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

Money Money::fromDouble(double value)
{
    if (!std::isfinite(value))
        return invalid();
    // Far beyond the range a double would not even fit the wide integer below.
    if (std::fabs(value) >= 1e16)
        return overflowed();
    // The whole part is taken exactly and only the fraction is scaled: a
    // product of the whole amount would carry its rounding error into the
    // units, and from some ten billion on read an amount a ten-thousandth off.
    const double whole = std::trunc(value);
    const double part = (value - whole) * double(kUnitsPerWhole);
    // Decimal amounts such as 2.345 are not exact in binary; a nudge of a few
    // units in the last place of the amount makes 0.00005-style halves round
    // away from zero, and never more than a thousandth of a unit, so that it
    // cannot move a large amount.
    const double nudge = std::min(std::fabs(value) * double(kUnitsPerWhole) * 1e-15, 1e-3);
    const double rounded = part >= 0 ? std::floor(part + 0.5 + nudge) : std::ceil(part - 0.5 - nudge);
    const __int128 units = __int128(whole) * kUnitsPerWhole + __int128(rounded);
    // The doubles nearest to either end of the range read as that end (a
    // double cannot tell the last ten-thousandths apart there).
    constexpr double kNearestToTop = 922337203685477.5807;
    if (units > std::numeric_limits<std::int64_t>::max())
        return value == kNearestToTop ? fromUnits(std::numeric_limits<std::int64_t>::max()) : overflowed();
    if (units < std::numeric_limits<std::int64_t>::min())
        return value == -kNearestToTop ? fromUnits(std::numeric_limits<std::int64_t>::min()) : overflowed();
    return fromUnits(std::int64_t(units));
}

Money Money::fromText(const QString &text)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    t.remove(QLatin1Char('$'));
    if (t.isEmpty())
        return invalid();
    bool negative = false;
    int i = 0;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        negative = t[0] == QLatin1Char('-');
        i = 1;
    }
    // The digits are gathered as an unsigned count, so that the whole range,
    // down to the minimum, reads exactly; beyond it the text is no currency.
    std::uint64_t whole = 0;
    std::int64_t frac = 0;
    bool tooLarge = false;
    int fracDigits = 0;
    bool any = false;
    bool inFrac = false;
    int roundDigit = -1;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.') && !inFrac) {
            inFrac = true;
            continue;
        }
        if (!c.isDigit())
            return invalid();
        any = true;
        const int d = c.digitValue();
        if (!inFrac) {
            tooLarge = tooLarge || whole > (std::numeric_limits<std::uint64_t>::max() - std::uint64_t(d)) / 10;
            whole = whole * 10 + std::uint64_t(d);
        } else if (fracDigits < 4) {
            frac = frac * 10 + d;
            ++fracDigits;
        } else if (roundDigit < 0) {
            roundDigit = d;
        }
    }
    if (!any)
        return invalid();
    while (fracDigits < 4) {
        frac *= 10;
        ++fracDigits;
    }
    // 2^63 units: the largest magnitude, which only a negative amount reaches.
    constexpr std::uint64_t kLimit = std::uint64_t(1) << 63;
    if (tooLarge || whole > kLimit / std::uint64_t(kUnitsPerWhole))
        return overflowed();
    std::uint64_t units = whole * std::uint64_t(kUnitsPerWhole) + std::uint64_t(frac);
    if (roundDigit >= 5)
        ++units;
    if (units > (negative ? kLimit : kLimit - 1))
        return overflowed();
    return fromUnits(negative ? std::int64_t(0 - units) : std::int64_t(units));
}

QString Money::toPlainText() const
{
    // The magnitude as an unsigned count: the minimum has no positive twin.
    // Written from the right: the decimals without their trailing zeros, the
    // whole part, the sign.
    const std::uint64_t a = m_units < 0 ? 0 - std::uint64_t(m_units) : std::uint64_t(m_units);
    char text[32];
    char *const end = text + sizeof text;
    char *p = end;
    std::uint64_t frac = a % std::uint64_t(kUnitsPerWhole);
    if (frac) {
        int digits = 4;
        for (; frac % 10 == 0; frac /= 10)
            --digits;
        for (; digits > 0; --digits, frac /= 10)
            *--p = char('0' + frac % 10);
        *--p = '.';
    }
    std::uint64_t whole = a / std::uint64_t(kUnitsPerWhole);
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole);
    if (m_units < 0)
        *--p = '-';
    return QString::fromLatin1(p, end - p);
}

Money Money::roundedToCentsHalfAway() const
{
    const std::int64_t r = m_units % kUnitsPerCent;
    std::int64_t u = m_units - r;
    if ((r >= 50 && __builtin_add_overflow(u, kUnitsPerCent, &u))
        || (r <= -50 && __builtin_sub_overflow(u, kUnitsPerCent, &u)))
        return overflowed();
    Money m = fromUnits(u);
    m.m_status = m_status;
    return m;
}
