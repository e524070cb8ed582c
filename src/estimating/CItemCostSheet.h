#pragma once

#include "platform/Money.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <map>
#include <vector>

// The numbers of the Costs window: one item's service rows as a sheet of
// times, quantities, rates, costs, markups and prices in fixed whole units,
// three totals rows, and beside each cost and price a mark comparing it with
// what the pricing engine computes today.
//
// Units: rates and unit costs in ten-thousandths of the currency (per hour;
// per each, or per thousand for a service counted in M), times in whole
// minutes, money in cents, quantities in pieces, markups in tenths of a
// percent. A money value of 0 means not priced, 1 means No Charge. Cents meet
// the stored currency only through CentsToCurrency and CurrencyToCents.
//
// The values kept on the sheet are 64-bit, so that any amount the item holds
// is shown and saved exactly; products are worked in 128 bits, and a result
// beyond what the currency holds is held at its limit rather than wrapped.
class CItemCostSheet
{
public:
    // The columns of the services grid and of the totals grid.
    enum Column : int {
        ColName = 0,
        ColRate = 2,
        ColActualTime = 3,
        ColChargeTime = 4,
        ColTimeCost = 5,
        ColUnitCost = 7,
        ColPer = 8,
        ColActualQty = 9,
        ColChargeQty = 10,
        ColMatCost = 11,
        ColCost = 13,
        ColCostMark = 14,
        ColMarkup = 15,
        ColPrice = 16,
        ColPriceMark = 17,
        ColumnCount = 18,
    };
    // The totals rows.
    enum TotalsRow : int { CurrentTotal = 0, MarginRow = 1, DefaultRow = 2 };

    // The stored figures of one service row (saved on the Items row, or as
    // the engine computed them): times, quantities and currency amounts.
    struct Figures
    {
        qint32 actualTime = 0;
        qint32 chargeTime = 0;
        qint32 actualQty = 0;
        qint32 chargeQty = 0;
        Money timeCost;
        Money matCost;
        Money cost;
        Money price;
    };

    // One row of the sheet.
    struct Row
    {
        QString name;       // "Category: Name", or a totals row's label
        QString unitLabel;  // "M" or "Ea"
        qint64 rate = 0;
        qint64 actualTime = 0;
        qint64 chargeTime = 0;
        qint64 timeCost = 0;
        qint64 unitCost = 0;
        qint64 actualQty = 0;
        qint64 chargeQty = 0;
        qint64 matCost = 0;
        qint64 cost = 0;
        qint64 markup = 0;
        qint64 price = 0;
        QString costMark;
        QString priceMark;
        // Kept beside the columns.
        qint32 itemId = 0;
        qint32 catNo = 0;
        qint32 serNo = 0;
        qint32 unit = 0; // Services.Unit: 2 is per thousand

        qint64 divisor() const { return unit == 2 ? 100000 : 100; }
    };

    CItemCostSheet();

    // --- filling ------------------------------------------------------------------
    void Clear();
    // Appends a service row from its saved figures; returns its index.
    int AddRow(qint32 itemId, qint32 catNo, qint32 serNo, qint32 unit, const QString &name, const Figures &saved);
    // The engine's row of an ItemID (the default row) and the item's defaults.
    void SetDefaultRow(qint32 itemId, const Figures &defaults);
    void SetItemDefaults(Money cost, Money price);
    // Derives rate, unit cost and markup of every row, then the totals
    // (without the changed flag).
    void InitRows();

    // --- the sheet's rules, by name ---------------------------------------------
    static double MarkupTenths(double cost, double price, bool onCost);
    static QString GetDiffMark(Money defaultValue, qint64 value);
    static qint64 PercentOfPrice(qint64 amount, qint64 price);

    void RecalcTimeCost(Row &row) const;
    void RecalcRate(Row &row) const;
    void RecalcMaterialCost(Row &row) const;
    void RecalcUnitCost(Row &row) const;
    void RecalcMarkup(Row &row) const;
    void RecalcPriceFromMarkup(Row &row) const;
    void RecalcPriceFromCharge(Row &row) const;
    void UpdateTotals(bool changed);

    // An edit of a services cell: recomputes what the column asks for, then
    // the totals with the changed flag. Returns false (nothing done) for a
    // column that recomputes nothing.
    bool OnCellChanged(int row, int column);
    // The wording of what an edit of the column recomputes ("" for none).
    static QString RecalcWording(int column);

    // An edit of the totals grid: the Current Total markup, the Margin row's
    // percentage or amount, or the Current Total price. Sets the new item
    // total and spreads it; false (a margin of 100 % or more) changes nothing.
    bool OnTotalsChanged(int totalsRow, int column, qint64 value);
    // Spreads an item total over the service prices, then the totals.
    void SpreadTotalPrice(qint64 total);

    // --- Apply commands ----------------------------------------------------------
    // On one row: 0 saved cost, 1 default cost, 2 saved price, 3 default
    // price, 4 all saved values, 5 all default values.
    void ApplyRowCommand(int row, int command);
    // On all rows: 0-5 as above, 6 clears every value.
    void ApplyTotalsCommand(int command);
    void ApplyCosts(Row &row, const Figures &source) const;
    void ApplyPrice(Row &row, const Figures &source) const;
    void ApplyAllValues(Row &row, const Figures &source) const;

    // --- reading -----------------------------------------------------------------
    int RowCount() const { return int(m_rows.size()); }
    Row &RowAt(int i) { return m_rows[size_t(i)]; }
    const Row &RowAt(int i) const { return m_rows[size_t(i)]; }
    const Row &Totals(int which) const { return m_totals[size_t(which)]; }
    // The default (engine) row of an ItemID: all zeros when the engine has none.
    Figures DefaultOf(qint32 itemId) const;
    Figures SavedOf(qint32 itemId) const;
    Money ItemDefaultCost() const { return m_itemDefaultCost; }
    Money ItemDefaultPrice() const { return m_itemDefaultPrice; }
    qint64 LastTotalPrice() const { return m_lastTotalPrice; }
    // Set by every totals update with the changed flag.
    bool IsChanged() const { return m_bChanged; }
    void SetChanged(bool changed) { m_bChanged = changed; }

    // A numeric cell of a row by column (nullptr for a text column).
    static qint64 *Cell(Row &row, int column);
    static qint64 CellValue(const Row &row, int column);

    // Labels of the totals rows.
    static QString TotalsLabel(int which);

private:
    std::vector<Row> m_rows;
    Row m_totals[3];
    std::map<qint32, Figures> m_defaults;
    std::map<qint32, Figures> m_saved;
    Money m_itemDefaultCost;
    Money m_itemDefaultPrice;
    qint64 m_lastTotalPrice = 0;
    bool m_bChanged = false;
};
