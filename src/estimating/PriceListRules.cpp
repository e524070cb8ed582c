#include "estimating/PriceListRules.h"

#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "data/CItemSet.h"
#include "estimating/CItemPrice.h"

#include <algorithm>
#include <climits>

namespace PriceList {

namespace {

// The integer at the start of a text; 0 when it starts with none.
qint64 leadingNumber(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    // Thousands grouped with "," as anywhere a number is typed: "1,000".
    const qsizetype first = end;
    auto groupAt = [&t](qsizetype i) {
        return i + 3 < t.size() && t[i + 1].isDigit() && t[i + 2].isDigit() && t[i + 3].isDigit()
               && (i + 4 >= t.size() || !t[i + 4].isDigit());
    };
    while (end < t.size() && (t[end].isDigit() || (t[end] == QLatin1Char(',') && end > first && groupAt(end))))
        ++end;
    return t.left(end).remove(QLatin1Char(',')).toLongLong();
}

} // namespace

std::vector<quint32> BuildQuantities(const QString &text)
{
    std::vector<quint32> quantities;
    // The whole leading number is the step: "10000" lists every 10,000.
    // A quantity the pricing cannot take ends the series.
    const qint64 step = std::min<qint64>(leadingNumber(text.left(16)), INT_MAX);
    if (step > 0) {
        const qsizetype dash = text.indexOf(QLatin1Char('-'));
        const qint64 last = dash >= 0 ? leadingNumber(text.mid(dash + 1, 16)) : step * 30;
        qint64 quantity = step;
        quantities.push_back(quint32(quantity));
        while (quantity < last && int(quantities.size()) < kMaxQuantities && quantity + step <= INT_MAX) {
            quantity += step;
            quantities.push_back(quint32(quantity));
        }
        return quantities;
    }
    if (text.contains(QLatin1String("Price"))) {
        quint32 quantity = 0;
        while (quantities.size() < 120) {
            quantity += quantity < 50 ? 25 : quantity < 1000 ? 50 : quantity < 10000 ? 100 : 1000;
            quantities.push_back(quantity);
        }
        return quantities;
    }
    return {500, 1000, 5000, 10000};
}

int PageCount(const QString &text, int quantities)
{
    if (!text.contains(QLatin1String("Price")) || quantities < 1)
        return 1;
    return (quantities - 1) / kLinesPerPage + 1;
}

std::vector<Line> PriceLines(CItemSet &item, const std::vector<quint32> &quantities, PricingCache *cache)
{
    std::vector<Line> lines;
    CItemPrice engine(&item, true, cache);
    if (!engine.IsLoaded())
        return lines;
    for (quint32 quantity : quantities) {
        if (quantity < 1 || quantity > quint32(INT_MAX) || !engine.PriceItem(int(quantity)))
            break;
        // No priced service at all: the engine's No Charge marker, no price.
        if (engine.GetNewPrice() == Money::noChargeMarker())
            break;
        lines.push_back({quantity, engine.GetNewPrice()});
    }
    return lines;
}

int PageOfLine(int n, int pages)
{
    return pages > 1 ? n / kLinesPerPage : 0;
}

int RowOfLine(int n, int pages)
{
    const int onPage = pages > 1 ? n % kLinesPerPage : n;
    return onPage + onPage / 10;
}

QString QuantityText(quint32 quantity)
{
    return FormatInt64(quantity, true);
}

QString PriceText(Money price)
{
    return GroupThousands(FormatCurrency(price, 2));
}

QString PricePerThousandText(Money price, quint32 quantity)
{
    return FormatRate(price, qint32(quantity), 2, 2, false);
}

} // namespace PriceList
