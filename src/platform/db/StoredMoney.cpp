#include "platform/db/StoredMoney.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace platform {

double storedReal(Money amount)
{
    return double(static_cast<long double>(amount.units()) / static_cast<long double>(Money::kUnitsPerWhole));
}

Money moneyFromStoredReal(double value, bool tiesToEven)
{
    if (!std::isfinite(value))
        return Money::invalid();
    // Far beyond the range (the top is some 9.2e14) a double may not even fit
    // the wide integer below, whose conversion would then give any number.
    if (std::fabs(value) >= 1e16)
        return Money::overflowed();
    const auto halfEven = [tiesToEven](double x) {
        return tiesToEven && x - std::floor(x) == 0.5 ? 2.0 * std::floor(x / 2.0 + 0.5) : std::round(x);
    };
    // Below 2^53 units the product is exact enough to round; above, the whole
    // part is scaled as an integer so that no unit is lost to the product.
    if (std::fabs(value) < 900719925474.0)
        return Money::fromUnits(std::int64_t(halfEven(value * double(Money::kUnitsPerWhole))));
    const double whole = std::trunc(value);
    const __int128 units = __int128(whole) * Money::kUnitsPerWhole + __int128(halfEven((value - whole) * double(Money::kUnitsPerWhole)));
    constexpr double kNearestToTop = 922337203685477.5807; // the compiler takes the nearest double
    if (units > std::numeric_limits<std::int64_t>::max())
        return value == kNearestToTop ? Money::fromUnits(std::numeric_limits<std::int64_t>::max()) : Money::overflowed();
    if (units < std::numeric_limits<std::int64_t>::min())
        return value == -kNearestToTop ? Money::fromUnits(std::numeric_limits<std::int64_t>::min()) : Money::overflowed();
    return Money::fromUnits(std::int64_t(units));
}

std::optional<Money> moneyFromDecimalText(const QString &text)
{
    const QString t = text.trimmed();
    bool digits = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128)
            digits = true;
        else if (!(c == QLatin1Char('.') || (i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+')))))
            return std::nullopt;
    }
    if (!digits)
        return std::nullopt;
    // Money::fromText refuses a second point and reads the rest exactly; a
    // plain decimal it refuses lies beyond the range.
    if (t.count(QLatin1Char('.')) > 1)
        return std::nullopt;
    return Money::fromText(t);
}

} // namespace platform
