#pragma once

#include "platform/Money.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <vector>

class CItemSet;
class PricingCache;

// The price list of an item: the quantities asked for, the item priced
// silently at each of them on one pricing engine, and where each line goes
// on the list's pages. Nothing here writes to the database.
namespace PriceList {

// A series never holds more quantities than this (a typed range such as
// "1-2000000000" would otherwise price the item two billion times).
constexpr int kMaxQuantities = 1000;
// Lines per page of a multi-page list ("Price List").
constexpr int kLinesPerPage = 40;

// The quantities of a quantity text:
//   - a step read from the first four characters ("500", "250-2000",
//     "10000" reads 1000): step, 2 x step ... until the one after "-", or
//     30 steps; the last may pass the end;
//   - no step and "Price" in the text: 120 quantities, 25 apart below 50,
//     50 below 1,000, 100 below 10,000, then 1,000 apart;
//   - otherwise ("Varies"): 500, 1,000, 5,000, 10,000.
std::vector<quint32> BuildQuantities(const QString &text);

// Pages of a list: one, or for a "Price" text enough pages of 40 lines.
int PageCount(const QString &text, int quantities);

struct Line
{
    quint32 quantity = 0;
    Money price;
};

// The item (the set's current item row) priced at each quantity in order
// on one silent engine; stops at a quantity below 1 or the first one the
// engine gives no price for (zero, or the No Charge marker of an item
// without priced services). Empty when the item cannot be loaded.
std::vector<Line> PriceLines(CItemSet &item, const std::vector<quint32> &quantities, PricingCache *cache = nullptr);

// Where line n goes: its page and its row on that page; a blank row stands
// before every tenth line of a page.
int PageOfLine(int n, int pages);
int RowOfLine(int n, int pages);

// The texts of a line: grouped quantity, grouped price in two decimals, and
// the price per thousand in two decimals.
QString QuantityText(quint32 quantity);
QString PriceText(Money price);
QString PricePerThousandText(Money price, quint32 quantity);

} // namespace PriceList
