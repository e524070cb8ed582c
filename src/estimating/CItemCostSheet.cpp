#include "estimating/CItemCostSheet.h"

#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"

#include <cmath>
#include <limits>

namespace {

// The most a sheet value may be: as cents, the largest amount the currency
// holds (a value saved back never leaves its range).
constexpr qint64 kMaxSheet = std::numeric_limits<qint64>::max() / Money::kUnitsPerCent;
constexpr qint64 kMinSheet = -kMaxSheet;

// A result beyond the sheet's range is held at the limit, never wrapped.
qint64 toSheet(__int128 value)
{
    return qint64(std::clamp<__int128>(value, kMinSheet, kMaxSheet));
}

// Floating-point intermediates become sheet values truncated toward zero.
qint64 truncToSheet(double value)
{
    if (std::isnan(value))
        return 0;
    const double t = std::trunc(value);
    if (t >= double(kMaxSheet))
        return kMaxSheet;
    if (t <= double(kMinSheet))
        return kMinSheet;
    return qint64(t);
}

qint64 cents(Money value)
{
    return toSheet(CurrencyToCents(value));
}

// A stored amount counted in the default sums: the marker counts nothing.
qint64 defaultCents(Money value)
{
    return value == Money::noChargeMarker() ? 0 : value.units() / Money::kUnitsPerCent;
}

} // namespace

CItemCostSheet::CItemCostSheet()
{
    for (int i = 0; i < 3; ++i)
        m_totals[i].name = TotalsLabel(i);
}

QString CItemCostSheet::TotalsLabel(int which)
{
    switch (which) {
    case CurrentTotal: return QStringLiteral("Current Total (of values above)");
    case MarginRow: return QStringLiteral("Margin = Price - Cost");
    default: return QStringLiteral("Default Pricing");
    }
}

void CItemCostSheet::Clear()
{
    m_rows.clear();
    m_defaults.clear();
    m_saved.clear();
    for (int i = 0; i < 3; ++i) {
        m_totals[i] = Row();
        m_totals[i].name = TotalsLabel(i);
    }
    m_itemDefaultCost = m_itemDefaultPrice = Money();
    m_lastTotalPrice = 0;
    m_bChanged = false;
}

int CItemCostSheet::AddRow(qint32 itemId, qint32 catNo, qint32 serNo, qint32 unit, const QString &name,
                           const Figures &saved)
{
    Row row;
    row.itemId = itemId;
    row.catNo = catNo;
    row.serNo = serNo;
    row.unit = unit;
    row.name = name;
    row.unitLabel = unit == 2 ? QStringLiteral("M") : QStringLiteral("Ea");
    m_saved[itemId] = saved;
    ApplyAllValues(row, saved);
    m_rows.push_back(row);
    return int(m_rows.size()) - 1;
}

void CItemCostSheet::SetDefaultRow(qint32 itemId, const Figures &defaults)
{
    m_defaults[itemId] = defaults;
}

void CItemCostSheet::SetItemDefaults(Money cost, Money price)
{
    m_itemDefaultCost = cost;
    m_itemDefaultPrice = price;
}

CItemCostSheet::Figures CItemCostSheet::DefaultOf(qint32 itemId) const
{
    const auto it = m_defaults.find(itemId);
    return it == m_defaults.end() ? Figures() : it->second;
}

CItemCostSheet::Figures CItemCostSheet::SavedOf(qint32 itemId) const
{
    const auto it = m_saved.find(itemId);
    return it == m_saved.end() ? Figures() : it->second;
}

void CItemCostSheet::InitRows()
{
    for (Row &row : m_rows) {
        RecalcRate(row);
        RecalcUnitCost(row);
        RecalcMarkup(row);
    }
    UpdateTotals(false);
}

// --- cells ---------------------------------------------------------------------------

qint64 *CItemCostSheet::Cell(Row &row, int column)
{
    switch (column) {
    case ColRate: return &row.rate;
    case ColActualTime: return &row.actualTime;
    case ColChargeTime: return &row.chargeTime;
    case ColTimeCost: return &row.timeCost;
    case ColUnitCost: return &row.unitCost;
    case ColActualQty: return &row.actualQty;
    case ColChargeQty: return &row.chargeQty;
    case ColMatCost: return &row.matCost;
    case ColCost: return &row.cost;
    case ColMarkup: return &row.markup;
    case ColPrice: return &row.price;
    default: return nullptr;
    }
}

qint64 CItemCostSheet::CellValue(const Row &row, int column)
{
    qint64 *cell = Cell(const_cast<Row &>(row), column);
    return cell ? *cell : 0;
}

// --- the rules -------------------------------------------------------------------------

// Markup on cost (onCost) or margin on price, in tenths of a percent. A
// price below 2 (unpriced or No Charge) has none, and neither has a zero cost
// on cost.
double CItemCostSheet::MarkupTenths(double cost, double price, bool onCost)
{
    if ((onCost && cost == 0.0) || price < 2.0)
        return 0.0;
    return (price - cost) * 1000.0 / (onCost ? cost : price);
}

// Compares a sheet value in cents with the engine's figure: "nc" for No
// Charge, " ?" for not priced, " +" or " -" when it is more than half a cent
// above or below, else nothing.
QString CItemCostSheet::GetDiffMark(Money defaultValue, qint64 value)
{
    if (value == 1 || (value == 0 && defaultValue == Money::noChargeMarker()))
        return QStringLiteral("nc");
    if (value == 0)
        return QStringLiteral(" ?");
    const qint64 delta = defaultValue.units() - value * Money::kUnitsPerCent;
    if (delta < -50)
        return QStringLiteral(" +");
    if (delta > 50)
        return QStringLiteral(" -");
    return QString();
}

// An amount as tenths of a percent of a price, both in cents: the integer
// quotient, then +0.5 truncated (a negative quotient moves one toward zero).
qint64 CItemCostSheet::PercentOfPrice(qint64 amount, qint64 price)
{
    if (amount == 0 || price == 0)
        return 0;
    const qint64 q = toSheet(__int128(amount) * 1000 / price);
    return truncToSheet(double(q) + 0.5);
}

// Time cost = actual minutes x rate per hour; the service cost follows.
void CItemCostSheet::RecalcTimeCost(Row &row) const
{
    row.timeCost = truncToSheet(double(row.actualTime) * double(row.rate) / 6000.0);
    row.cost = toSheet(__int128(row.timeCost) + row.matCost);
}

// Rate per hour from the time cost, only when time was spent.
void CItemCostSheet::RecalcRate(Row &row) const
{
    if (row.actualTime > 0)
        row.rate = truncToSheet(double(row.timeCost) / double(row.actualTime) * 6000.0);
}

// Material cost = unit cost x actual quantity; nothing changes without both.
void CItemCostSheet::RecalcMaterialCost(Row &row) const
{
    if (row.unitCost == 0 || row.actualQty == 0)
        return;
    row.matCost = toSheet(__int128(row.unitCost) * row.actualQty / row.divisor());
    row.cost = toSheet(__int128(row.timeCost) + row.matCost);
}

// Unit cost from the material cost, only with both a cost and a quantity.
void CItemCostSheet::RecalcUnitCost(Row &row) const
{
    if (row.matCost == 0 || row.actualQty == 0)
        return;
    row.unitCost = toSheet(__int128(row.divisor()) * row.matCost / row.actualQty);
}

void CItemCostSheet::RecalcMarkup(Row &row) const
{
    row.markup = truncToSheet(MarkupTenths(row.cost, row.price, true));
}

// The price from the cost and the markup; a cost of a cent or less (No
// Charge or none) has no markup, so the price equals the cost.
void CItemCostSheet::RecalcPriceFromMarkup(Row &row) const
{
    row.cost = toSheet(__int128(row.timeCost) + row.matCost);
    if (row.cost <= 1)
        row.markup = 0;
    row.price = truncToSheet(double(row.cost) * (1.0 + row.markup / 1000.0));
}

// The price from the charged time and quantity at the engine's markup of
// the row.
void CItemCostSheet::RecalcPriceFromCharge(Row &row) const
{
    const Figures def = DefaultOf(row.itemId);
    const qint64 m = truncToSheet(MarkupTenths(double(def.cost.units()), double(def.price.units()), true));
    row.markup = m;
    const double f = 1.0 + m / 1000.0;
    const qint64 timePart = truncToSheet(double(row.rate) * f * double(row.chargeTime) / 6000.0);
    const qint64 matPart = truncToSheet(double(row.unitCost) * f * double(row.chargeQty) / double(row.divisor()));
    row.price = toSheet(__int128(timePart) + matPart);
}

void CItemCostSheet::UpdateTotals(bool changed)
{
    if (changed)
        m_bChanged = true;
    __int128 actualTime = 0, chargeTime = 0, timeCost = 0, matCost = 0, priceSum = 0;
    __int128 defActual = 0, defCharge = 0, defTime = 0, defMat = 0;
    bool allPriced = true;
    for (Row &row : m_rows) {
        const Figures def = DefaultOf(row.itemId);
        actualTime += row.actualTime;
        chargeTime += row.chargeTime;
        timeCost += row.timeCost == 1 ? 0 : row.timeCost;
        matCost += row.matCost == 1 ? 0 : row.matCost;
        if (row.price != 1)
            priceSum += row.price;
        if (row.price == 0 && def.price != Money::noChargeMarker())
            allPriced = false;
        defActual += def.actualTime;
        defCharge += def.chargeTime;
        defTime += defaultCents(def.timeCost);
        defMat += defaultCents(def.matCost);
        row.costMark = GetDiffMark(def.cost, row.cost);
        row.priceMark = GetDiffMark(def.price, row.price);
    }

    const qint64 totalCost = toSheet(timeCost + matCost);
    const qint64 defaultCost = m_itemDefaultCost.units() / Money::kUnitsPerCent;
    const qint64 defaultPrice = m_itemDefaultPrice.units() / Money::kUnitsPerCent;
    qint64 totalPrice = 0;
    qint64 markup = 0, defaultMarkup = 0, marginPercent = 0;
    __int128 margin = 0;
    if (allPriced && priceSum == 0) {
        totalPrice = 1;
    } else if (!allPriced || priceSum == 0) {
        totalPrice = 0;
    } else {
        totalPrice = toSheet(priceSum);
        markup = truncToSheet(MarkupTenths(double(totalCost), double(totalPrice), true) + 0.5);
        defaultMarkup = truncToSheet(MarkupTenths(double(defaultCost), double(defaultPrice), true) + 0.5);
        marginPercent = truncToSheet(MarkupTenths(double(totalCost), double(totalPrice), false) + 0.5);
        margin = __int128(totalPrice) - totalCost;
    }
    m_lastTotalPrice = toSheet(totalPrice);

    Row &current = m_totals[CurrentTotal];
    current.actualTime = toSheet(actualTime);
    current.chargeTime = toSheet(chargeTime);
    current.timeCost = toSheet(timeCost);
    current.matCost = toSheet(matCost);
    current.cost = toSheet(totalCost);
    current.markup = markup;
    current.price = toSheet(totalPrice);
    current.costMark = GetDiffMark(m_itemDefaultCost, current.cost);
    current.priceMark = GetDiffMark(m_itemDefaultPrice, current.price);

    Row &marginRow = m_totals[MarginRow];
    marginRow.markup = marginPercent;
    marginRow.price = toSheet(margin);

    Row &defaults = m_totals[DefaultRow];
    defaults.actualTime = toSheet(defActual);
    defaults.chargeTime = toSheet(defCharge);
    defaults.timeCost = toSheet(defTime);
    defaults.matCost = toSheet(defMat);
    defaults.cost = toSheet(defaultCost);
    defaults.markup = defaultMarkup;
    defaults.price = toSheet(defaultPrice);
}

QString CItemCostSheet::RecalcWording(int column)
{
    switch (column) {
    case ColRate:
    case ColUnitCost: return QStringLiteral("Cost and Price");
    case ColActualTime:
    case ColActualQty: return QStringLiteral("Cost and Markup");
    case ColChargeTime:
    case ColChargeQty: return QStringLiteral("Markup and Price");
    case ColTimeCost:
    case ColMatCost: return QStringLiteral("Unit Cost, Cost and Price");
    case ColMarkup: return QStringLiteral("Price");
    case ColPrice: return QStringLiteral("Markup");
    default: return QString();
    }
}

bool CItemCostSheet::OnCellChanged(int index, int column)
{
    if (index < 0 || index >= RowCount())
        return false;
    Row &row = m_rows[size_t(index)];
    switch (column) {
    case ColRate:
        RecalcTimeCost(row);
        RecalcPriceFromMarkup(row);
        break;
    case ColActualTime:
        RecalcTimeCost(row);
        RecalcMarkup(row);
        break;
    case ColChargeTime:
    case ColChargeQty:
        RecalcPriceFromCharge(row);
        RecalcMarkup(row);
        break;
    case ColTimeCost:
        RecalcRate(row);
        RecalcPriceFromMarkup(row);
        break;
    case ColUnitCost:
        RecalcMaterialCost(row);
        RecalcPriceFromMarkup(row);
        break;
    case ColActualQty:
        RecalcMaterialCost(row);
        RecalcMarkup(row);
        break;
    case ColMatCost:
        RecalcUnitCost(row);
        RecalcPriceFromMarkup(row);
        break;
    case ColMarkup: RecalcPriceFromMarkup(row); break;
    case ColPrice: RecalcMarkup(row); break;
    default: return false;
    }
    UpdateTotals(true);
    return true;
}

bool CItemCostSheet::OnTotalsChanged(int totalsRow, int column, qint64 value)
{
    const qint64 totalCost = m_totals[CurrentTotal].cost;
    __int128 total = 0;
    if (totalsRow == CurrentTotal && column == ColMarkup) {
        total = truncToSheet(double(totalCost) * (1.0 + double(value) / 1000.0));
    } else if (totalsRow == MarginRow && column == ColMarkup) {
        // A margin of 100 % or more has no price: the total stays.
        if (value >= 1000)
            return false;
        total = truncToSheet(double(totalCost) / (1.0 - double(value) / 1000.0));
    } else if (totalsRow == MarginRow && column == ColPrice) {
        total = __int128(totalCost) + value;
    } else if (totalsRow == CurrentTotal && column == ColPrice) {
        total = value;
    } else {
        return false;
    }
    SpreadTotalPrice(toSheet(total));
    return true;
}

// An item total spread over the service prices in proportion, in whole cents;
// rows at -1, 0 or 1 (No Charge, unpriced) keep theirs, a scaled price never
// becomes 0 (it becomes No Charge), and what the truncations leave goes to
// the last scaled row.
void CItemCostSheet::SpreadTotalPrice(qint64 total)
{
    if (total >= -1 && total <= 1) {
        for (Row &row : m_rows) {
            row.price = total;
            RecalcMarkup(row);
        }
    } else {
        const double r = m_lastTotalPrice == 0 ? 1.0 : double(total) / double(m_lastTotalPrice);
        __int128 remaining = total;
        Row *last = nullptr;
        for (Row &row : m_rows) {
            if (row.price >= -1 && row.price <= 1)
                continue;
            qint64 scaled = truncToSheet(double(row.price) * r + 1e-10);
            if (scaled == 0)
                scaled = 1;
            row.price = scaled;
            remaining -= scaled;
            RecalcMarkup(row);
            last = &row;
        }
        if (remaining != 0 && last) {
            last->price = toSheet(__int128(last->price) + remaining);
            RecalcMarkup(*last);
        }
    }
    UpdateTotals(true);
}

// --- Apply -----------------------------------------------------------------------------

void CItemCostSheet::ApplyCosts(Row &row, const Figures &source) const
{
    row.timeCost = cents(source.timeCost);
    row.matCost = cents(source.matCost);
    row.cost = cents(source.cost);
}

void CItemCostSheet::ApplyPrice(Row &row, const Figures &source) const
{
    row.price = cents(source.price);
}

void CItemCostSheet::ApplyAllValues(Row &row, const Figures &source) const
{
    row.actualTime = source.actualTime;
    row.chargeTime = source.chargeTime;
    row.actualQty = source.actualQty;
    row.chargeQty = source.chargeQty;
    ApplyCosts(row, source);
    ApplyPrice(row, source);
}

void CItemCostSheet::ApplyRowCommand(int index, int command)
{
    if (index < 0 || index >= RowCount())
        return;
    Row &row = m_rows[size_t(index)];
    const bool saved = command % 2 == 0;
    const Figures source = saved ? SavedOf(row.itemId) : DefaultOf(row.itemId);
    if (command <= 1)
        ApplyCosts(row, source);
    else if (command <= 3)
        ApplyPrice(row, source);
    else if (command <= 5)
        ApplyAllValues(row, source);
    else
        return;
    RecalcRate(row);
    RecalcUnitCost(row);
    RecalcMarkup(row);
    UpdateTotals(true);
}

void CItemCostSheet::ApplyTotalsCommand(int command)
{
    if (command == 6) {
        for (Row &row : m_rows) {
            for (int c = 0; c < ColumnCount; ++c) {
                if (qint64 *cell = Cell(row, c))
                    *cell = 0;
            }
        }
        UpdateTotals(true);
        return;
    }
    if (command < 0 || command > 5)
        return;
    const bool saved = command % 2 == 0;
    for (Row &row : m_rows) {
        const Figures source = saved ? SavedOf(row.itemId) : DefaultOf(row.itemId);
        if (command <= 1)
            ApplyCosts(row, source);
        else if (command <= 3)
            ApplyPrice(row, source);
        else
            ApplyAllValues(row, source);
        RecalcRate(row);
        RecalcMarkup(row);
    }
    // The saved values bring the sheet back as it opened: nothing changed.
    if (saved) {
        InitRows();
        return;
    }
    UpdateTotals(true);
}
