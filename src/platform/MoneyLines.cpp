#include "platform/MoneyLines.h"

#include <algorithm>
#include <numeric>

std::vector<Money> LinesInCentsKeepingTotal(const std::vector<Money> &lines)
{
    std::vector<Money> out;
    out.reserve(lines.size());
    std::vector<std::int64_t> lost(lines.size());
    Money exact;
    Money cut;
    for (size_t i = 0; i < lines.size(); ++i) {
        // Down to the cent below (toward minus infinity), so that what is
        // left over is never negative.
        std::int64_t r = lines[i].units() % Money::kUnitsPerCent;
        if (r < 0)
            r += Money::kUnitsPerCent;
        out.push_back(Money::fromUnits(lines[i].units() - r));
        lost[i] = r;
        exact += lines[i];
        cut += out.back();
    }
    const Money rounded = exact.roundedToCentsHalfAway();
    if (!exact.isValid() || !cut.isValid() || !rounded.isValid())
        return out;
    std::int64_t cents = (rounded.units() - cut.units()) / Money::kUnitsPerCent;
    std::vector<size_t> order(lines.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&lost](size_t a, size_t b) { return lost[a] > lost[b]; });
    for (size_t k = 0; k < order.size() && cents > 0 && lost[order[k]] > 0; ++k, --cents)
        out[order[k]] += Money::fromCents(1);
    return out;
}
