#include "platform/Money.h"

#include <cmath>
#include <cstdlib>

Money Money::fromDouble(double value)
{
    if (!std::isfinite(value))
        return invalid();
    const double scaled = value * double(kUnitsPerWhole);
    // Decimal amounts such as 2.345 are not exact in binary; a tiny nudge
    // relative to the magnitude makes 0.00005-style halves round away from zero.
    const double nudge = std::fabs(scaled) * 1e-12;
    const double rounded = scaled >= 0 ? std::floor(scaled + 0.5 + nudge) : std::ceil(scaled - 0.5 - nudge);
    return fromUnits(std::int64_t(rounded));
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
    std::int64_t whole = 0;
    std::int64_t frac = 0;
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
            whole = whole * 10 + d;
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
    std::int64_t units = whole * kUnitsPerWhole + frac;
    if (roundDigit >= 5)
        ++units;
    return fromUnits(negative ? -units : units);
}

QString Money::toPlainText() const
{
    const std::int64_t a = m_units < 0 ? -m_units : m_units;
    QString s = QString::number(a / kUnitsPerWhole);
    std::int64_t frac = a % kUnitsPerWhole;
    if (frac) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    if (m_units < 0)
        s.prepend(QLatin1Char('-'));
    return s;
}

Money Money::roundedToCentsHalfAway() const
{
    const std::int64_t r = m_units % kUnitsPerCent;
    std::int64_t u = m_units - r;
    if (r >= 50)
        u += kUnitsPerCent;
    else if (r <= -50)
        u -= kUnitsPerCent;
    Money m = fromUnits(u);
    m.m_status = m_status;
    return m;
}
