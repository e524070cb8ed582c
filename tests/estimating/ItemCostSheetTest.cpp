// The costs sheet's arithmetic: each rule on worked figures, the totals, the
// spread of an edited item total and the comparison marks.
#include "estimating/CItemCostSheet.h"

#include <QtCore/QList>

#include <gtest/gtest.h>

namespace {

using Sheet = CItemCostSheet;
using Row = CItemCostSheet::Row;
using Figures = CItemCostSheet::Figures;

Money cents(qint64 c)
{
    return c == 1 ? Money::noChargeMarker() : Money::fromCents(c);
}

Figures figures(qint64 timeCost, qint64 matCost, qint64 price, qint32 actualTime = 0, qint32 actualQty = 0)
{
    Figures f;
    f.actualTime = actualTime;
    f.chargeTime = actualTime;
    f.actualQty = actualQty;
    f.chargeQty = actualQty;
    f.timeCost = cents(timeCost);
    f.matCost = cents(matCost);
    f.cost = timeCost == 1 && matCost == 0 ? cents(1) : cents(timeCost + matCost);
    f.price = cents(price);
    return f;
}

TEST(CostSheetRules, RowRulesOnWorkedFigures)
{
    Sheet sheet;
    struct Case
    {
        const char *what;
        Row row;
        void (Sheet::*rule)(Row &) const;
        qint64 Row::*field;
        qint64 expected;
    };
    Row perThousand;
    perThousand.unit = 2;
    perThousand.unitCost = 12500;
    perThousand.actualQty = 4000;
    Row each = perThousand;
    each.unit = 0;
    Row hourly;
    hourly.rate = 450000;
    hourly.actualTime = 90;
    Row timed;
    timed.timeCost = 6750;
    timed.actualTime = 90;
    Row noTime = timed;
    noTime.actualTime = 0;
    noTime.rate = 777;
    Row mat;
    mat.matCost = 500;
    mat.actualQty = 4000;
    mat.unit = 2;
    Row noQty = mat;
    noQty.actualQty = 0;
    noQty.unitCost = 55;
    Row priced;
    priced.cost = 10000;
    priced.price = 15000;
    Row noCharge = priced;
    noCharge.price = 1;
    Row big;
    big.rate = 2000000000; // 200,000.00 an hour for 1000 hours: beyond 32 bits of cents
    big.actualTime = 60000;
    Row beyond;
    beyond.rate = 9000000000000000LL; // 900,000,000,000.00 an hour for 100,000 hours
    beyond.actualTime = 6000000;
    Row dear;
    dear.unitCost = 10000000000LL; // 1,000,000.0000 each, 100,000 of them
    dear.actualQty = 100000;
    Row tinyCost;
    tinyCost.timeCost = 1;
    tinyCost.markup = 500;
    const Case cases[] = {
        {"per thousand: 1.25/M x 4000", perThousand, &Sheet::RecalcMaterialCost, &Row::matCost, 500},
        {"per each: 1.25 x 4000", each, &Sheet::RecalcMaterialCost, &Row::matCost, 500000},
        {"45.00 an hour for 90 minutes", hourly, &Sheet::RecalcTimeCost, &Row::timeCost, 6750},
        {"rate back from the time cost", timed, &Sheet::RecalcRate, &Row::rate, 450000},
        {"no time keeps the rate", noTime, &Sheet::RecalcRate, &Row::rate, 777},
        {"unit cost back from the material cost", mat, &Sheet::RecalcUnitCost, &Row::unitCost, 12500},
        {"no quantity keeps the unit cost", noQty, &Sheet::RecalcUnitCost, &Row::unitCost, 55},
        {"cost 100.00, price 150.00: 50.0 %", priced, &Sheet::RecalcMarkup, &Row::markup, 500},
        {"No Charge price has no markup", noCharge, &Sheet::RecalcMarkup, &Row::markup, 0},
        // Past 32 bits of cents the sheet keeps the amount (it was held at
        // 21,474,836.47, and saved so); past the currency it is held there.
        {"a time cost past 32 bits of cents is kept", big, &Sheet::RecalcTimeCost, &Row::timeCost, 20000000000LL},
        {"a material cost past 32 bits of cents is kept", dear, &Sheet::RecalcMaterialCost, &Row::matCost,
         10000000000000LL},
        {"a time cost past the currency is held, not wrapped", beyond, &Sheet::RecalcTimeCost, &Row::timeCost,
         92233720368547758LL},
        {"a cost of one cent forces markup 0", tinyCost, &Sheet::RecalcPriceFromMarkup, &Row::markup, 0},
        {"... so the price equals the cost", tinyCost, &Sheet::RecalcPriceFromMarkup, &Row::price, 1},
    };
    for (const Case &c : cases) {
        Row row = c.row;
        (sheet.*c.rule)(row);
        EXPECT_EQ(row.*c.field, c.expected) << c.what;
    }
}

TEST(CostSheetRules, MarksAndPercentOfPrice)
{
    struct Mark
    {
        Money def;
        qint64 value;
        const char *expected;
    };
    const Mark marks[] = {
        {Money::fromUnits(10040), 100, ""},   // 0.004 away
        {Money::fromUnits(9960), 100, ""},
        {Money::fromUnits(10050), 100, ""},   // exactly half a cent
        {Money::fromUnits(10051), 100, " -"}, // past half a cent below the default
        {Money::fromUnits(9949), 100, " +"},
        {Money::fromCents(5), 1, "nc"},
        {Money::noChargeMarker(), 0, "nc"},
        {Money::fromCents(5), 0, " ?"},
        {Money(), 250, " +"},
    };
    for (const Mark &m : marks)
        EXPECT_EQ(Sheet::GetDiffMark(m.def, m.value), QString::fromLatin1(m.expected)) << m.def.units() << " " << m.value;

    struct Percent
    {
        qint64 amount, price;
        qint64 expected;
    };
    const Percent percents[] = {
        {0, 100, 0}, {100, 0, 0}, {2500, 10000, 250}, {-3, 1000, -2}, {1, 3, 333}, {-25, 10000, -1},
        // 64-bit: cents beyond 2^31 / 1000 do not overflow.
        {3000000000LL, 6000000000LL, 500},
    };
    for (const Percent &p : percents)
        EXPECT_EQ(Sheet::PercentOfPrice(p.amount, p.price), p.expected) << p.amount << "/" << p.price;
}

class CostSheet : public ::testing::Test
{
protected:
    // Rows priced at the given cents (time cost only); the engine's default is
    // the same unless given.
    void load(std::initializer_list<qint64> prices, std::initializer_list<qint64> defaults = {})
    {
        int i = 0;
        auto d = defaults.begin();
        for (qint64 p : prices) {
            const qint32 id = 100 + i++;
            const Figures saved = figures(p > 1 ? p / 2 : 0, 0, p, 60);
            sheet.AddRow(id, 401, 400 + id, 0, QStringLiteral("Bindery: Row %1").arg(i), saved);
            Figures def = saved;
            if (d != defaults.end())
                def.price = cents(*d++);
            sheet.SetDefaultRow(id, def);
        }
        sheet.InitRows();
    }
    QList<qint64> prices() const
    {
        QList<qint64> out;
        for (int i = 0; i < sheet.RowCount(); ++i)
            out << sheet.RowAt(i).price;
        return out;
    }
    Sheet sheet;
};

TEST_F(CostSheet, SpreadingAnItemTotal)
{
    struct Case
    {
        const char *what;
        std::initializer_list<qint64> rows;
        qint64 total;
        QList<qint64> expected;
    };
    const Case cases[] = {
        {"No Charge row kept, remainder to the last scaled row", {3000, 1, 3001}, 10000, {4999, 1, 5001}},
        {"a scaled price truncating to 0 becomes No Charge", {2, 100000}, 50000, {1, 49999}},
        {"a total of 0 sets every price 0", {3000, 1, 4000}, 0, {0, 0, 0}},
        {"a total of 1 makes every row No Charge", {3000, 4000}, 1, {1, 1}},
        {"halving", {3000, 5000}, 4000, {1500, 2500}},
        {"a total past 32 bits of cents", {3000, 5000}, 8000000000LL, {3000000000LL, 5000000000LL}},
    };
    for (const Case &c : cases) {
        sheet.Clear();
        load(c.rows);
        sheet.SpreadTotalPrice(c.total);
        EXPECT_EQ(prices(), c.expected) << c.what;
        EXPECT_TRUE(sheet.IsChanged()) << c.what;
    }
}

TEST_F(CostSheet, TotalsRows)
{
    load({3000, 1, 3001});
    sheet.SetItemDefaults(Money::fromCents(3000), Money::fromCents(6001));
    sheet.UpdateTotals(false);
    EXPECT_FALSE(sheet.IsChanged());
    const Row &current = sheet.Totals(Sheet::CurrentTotal);
    EXPECT_EQ(current.price, 6001) << "the No Charge row is not added";
    EXPECT_EQ(current.cost, 1500 + 1500) << "the time and material costs";
    EXPECT_EQ(current.actualTime, 180);
    EXPECT_EQ(current.markup, 1000); // (6001-3000)/3000 = 100.03 % -> 1000.3 + 0.5 truncated
    EXPECT_EQ(current.priceMark, QString());
    EXPECT_EQ(sheet.Totals(Sheet::MarginRow).price, 3001);
    EXPECT_EQ(sheet.Totals(Sheet::MarginRow).markup, 500); // 3001/6001 = 50.008 %
    EXPECT_EQ(sheet.Totals(Sheet::DefaultRow).price, 6001);
    EXPECT_EQ(sheet.Totals(Sheet::DefaultRow).cost, 3000);
    EXPECT_EQ(sheet.LastTotalPrice(), 6001);
    EXPECT_EQ(sheet.RowAt(1).priceMark, QStringLiteral("nc"));
}

TEST_F(CostSheet, UnpricedAndNoChargeItemTotals)
{
    struct Case
    {
        const char *what;
        std::initializer_list<qint64> rows;
        std::initializer_list<qint64> defaults;
        qint64 total;
    };
    const Case cases[] = {
        {"all at 0 with No Charge defaults: No Charge", {0, 0}, {1, 1}, 1},
        {"one at 0 with a real default: not priced", {0, 2000}, {500, 2000}, 0},
        {"all No Charge", {1, 1}, {1, 1}, 1},
    };
    for (const Case &c : cases) {
        sheet.Clear();
        load(c.rows, c.defaults);
        EXPECT_EQ(sheet.Totals(Sheet::CurrentTotal).price, c.total) << c.what;
        EXPECT_EQ(sheet.Totals(Sheet::CurrentTotal).markup, 0) << c.what;
        EXPECT_EQ(sheet.Totals(Sheet::MarginRow).price, 0) << c.what;
        EXPECT_EQ(sheet.Totals(Sheet::MarginRow).markup, 0) << c.what;
    }
}

TEST_F(CostSheet, CellEditsRecomputeByColumn)
{
    struct Case
    {
        int column;
        qint64 value;
        qint64 cost, markup, price;
        const char *wording;
    };
    // The row starts at time cost 50.00 over 60 minutes, price 100.00 (markup 100 %).
    const Case cases[] = {
        {Sheet::ColRate, 600000, 6000, 1000, 12000, "Cost and Price"},
        {Sheet::ColActualTime, 120, 10000, 0, 10000, "Cost and Markup"},
        {Sheet::ColTimeCost, 4000, 4000, 1000, 8000, "Unit Cost, Cost and Price"},
        {Sheet::ColMarkup, 500, 5000, 500, 7500, "Price"},
        {Sheet::ColPrice, 7500, 5000, 500, 7500, "Markup"},
    };
    for (const Case &c : cases) {
        sheet.Clear();
        load({10000});
        Row &row = sheet.RowAt(0);
        *Sheet::Cell(row, c.column) = c.value;
        EXPECT_TRUE(sheet.OnCellChanged(0, c.column));
        EXPECT_EQ(row.cost, c.cost) << c.wording;
        EXPECT_EQ(row.markup, c.markup) << c.wording;
        EXPECT_EQ(row.price, c.price) << c.wording;
        EXPECT_EQ(Sheet::RecalcWording(c.column), QString::fromLatin1(c.wording));
        EXPECT_EQ(sheet.Totals(Sheet::CurrentTotal).price, c.price);
    }
    sheet.Clear();
    load({10000});
    EXPECT_FALSE(sheet.OnCellChanged(0, Sheet::ColPer));
    EXPECT_FALSE(sheet.IsChanged()) << "a column that recomputes nothing does not update the totals";
}

TEST_F(CostSheet, ChargeEditPricesAtTheEngineMarkup)
{
    sheet.AddRow(7, 401, 400, 2, QStringLiteral("Bindery: Fold"), figures(3000, 500, 7000, 60, 4000));
    Figures def = figures(3000, 500, 7000, 60, 4000);
    def.cost = Money::fromCents(3500);
    def.price = Money::fromCents(7000); // 100 % on cost
    sheet.SetDefaultRow(7, def);
    sheet.InitRows();
    Row &row = sheet.RowAt(0);
    EXPECT_EQ(row.rate, 300000);
    EXPECT_EQ(row.unitCost, 12500);
    row.chargeTime = 30;
    sheet.OnCellChanged(0, Sheet::ColChargeTime);
    // 30.00 x 2 x 30 / 60 + 1.25/M x 2 x 4000 = 3000 + 1000 cents; markup from price 4000 on cost 3500
    EXPECT_EQ(row.price, 4000);
    EXPECT_EQ(row.markup, 142);
}

TEST_F(CostSheet, ChargeEditOnDefaultsAbove32BitsOfTenThousandths)
{
    // $300,000.00 of cost is 3,000,000,000 ten-thousandths: beyond 32 bits.
    Figures big = figures(0, 30000000, 60000000, 0, 1000);
    sheet.AddRow(8, 401, 400, 0, QStringLiteral("Bindery: Binding"), big);
    sheet.SetDefaultRow(8, big);
    sheet.InitRows();
    Row &row = sheet.RowAt(0);
    EXPECT_EQ(row.unitCost, 3000000); // 300.0000 each
    row.chargeQty = 500;
    sheet.OnCellChanged(0, Sheet::ColChargeQty);
    EXPECT_EQ(row.markup, 0) << "the engine's markup of 100 % ... then recomputed from the new price";
    EXPECT_EQ(row.price, 30000000) << "500 at 300.00 doubled: 300,000.00";
}

TEST_F(CostSheet, TotalsEdits)
{
    load({6000, 4000}); // cost 5000, price 10000
    EXPECT_TRUE(sheet.OnTotalsChanged(Sheet::CurrentTotal, Sheet::ColMarkup, 500));
    EXPECT_EQ(sheet.Totals(Sheet::CurrentTotal).price, 7500);
    EXPECT_TRUE(sheet.OnTotalsChanged(Sheet::MarginRow, Sheet::ColMarkup, 500));
    EXPECT_EQ(sheet.Totals(Sheet::CurrentTotal).price, 10000);
    EXPECT_TRUE(sheet.OnTotalsChanged(Sheet::MarginRow, Sheet::ColPrice, 1000));
    EXPECT_EQ(sheet.Totals(Sheet::CurrentTotal).price, 6000);
    EXPECT_TRUE(sheet.OnTotalsChanged(Sheet::CurrentTotal, Sheet::ColPrice, 9000));
    EXPECT_EQ(sheet.Totals(Sheet::CurrentTotal).price, 9000);
    for (qint32 refused : {1000, 1500}) {
        EXPECT_FALSE(sheet.OnTotalsChanged(Sheet::MarginRow, Sheet::ColMarkup, refused));
        EXPECT_EQ(sheet.Totals(Sheet::CurrentTotal).price, 9000) << "the total is kept";
    }
}

TEST_F(CostSheet, ApplyAndClear)
{
    load({3000, 5000}, {4000, 1});
    sheet.RowAt(0).price = 1234;
    sheet.ApplyRowCommand(0, 3); // default price
    EXPECT_EQ(sheet.RowAt(0).price, 4000);
    sheet.ApplyRowCommand(0, 2); // saved price
    EXPECT_EQ(sheet.RowAt(0).price, 3000);
    sheet.ApplyTotalsCommand(3); // every default price
    EXPECT_EQ(prices(), QList<qint64>({4000, 1}));
    sheet.ApplyTotalsCommand(4); // every saved value
    EXPECT_EQ(prices(), QList<qint64>({3000, 5000}));
    sheet.ApplyTotalsCommand(6);
    EXPECT_EQ(prices(), QList<qint64>({0, 0}));
    EXPECT_EQ(sheet.RowAt(0).name, QStringLiteral("Bindery: Row 1")) << "texts stay";
    EXPECT_EQ(sheet.RowAt(0).actualTime, 0);
    EXPECT_EQ(sheet.Totals(Sheet::CurrentTotal).price, 0) << "a real default price: not priced";
}

} // namespace
