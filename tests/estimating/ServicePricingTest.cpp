// Worked examples of one service row: run tables, markup, quantities, price
// tables, difficulty and waste.

#include "PricingFixture.h"

#include "platform/Prompt.h"

#include <QtWidgets/QDialog>
#include <QtWidgets/QLineEdit>

namespace {

QString n(qint64 v)
{
    return QString::number(v);
}

// --- run table ------------------------------------------------------------------

struct RunCase
{
    int step;
    qint32 quantity;
    double speed;      // units per hour
    qint32 runCost;    // cents
    qint32 runPrice;   // cents
    qint32 runMinutes;
};

void PrintTo(const RunCase &c, std::ostream *os)
{
    *os << "step " << c.step << ", quantity " << c.quantity;
}


class RunTable : public PricingTest, public ::testing::WithParamInterface<RunCase>
{
};

TEST_P(RunTable, ReadsTheBreaksByItsMethod)
{
    const RunCase c = GetParam();
    // Breaks 100, 500, 1000 at 100, 200, 300 per hour, cost 10, 8, 6 and
    // price 20, 16, 12 cents each.
    addService(500, 50, QStringLiteral("Folding"),
               {{"QtyBy", "1"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"Unit", "1"}, {"Step", n(c.step)},
                {"QBreak1", "100"}, {"UnitsHr1", "10000"}, {"RunCost1", "10"}, {"RunPrice1", "20"},
                {"QBreak2", "500"}, {"UnitsHr2", "20000"}, {"RunCost2", "8"}, {"RunPrice2", "16"},
                {"QBreak3", "1000"}, {"UnitsHr3", "30000"}, {"RunCost3", "6"}, {"RunPrice3", "12"}});
    const qint32 job = addJob(100);
    addRow(job, 0, {{"ChargeQty", n(c.quantity)}});
    const qint32 id = addRow(job, 500);
    auto e = engine(job, true);
    e->PriceItem(0);
    const CItemSet &r = row(*e, id);
    EXPECT_DOUBLE_EQ(r.m_dRunSpeed, c.speed);
    EXPECT_EQ(r.m_nRunCost, c.runCost);
    EXPECT_EQ(r.m_nRunPrice, c.runPrice);
    EXPECT_EQ(r.m_nRunMinutes, c.runMinutes);
    EXPECT_EQ(r.m_Cost, Money::fromCents(c.runCost));
    EXPECT_EQ(r.m_Price, Money::fromCents(c.runPrice));
}

INSTANTIATE_TEST_SUITE_P(
    Methods, RunTable,
    ::testing::Values(RunCase{0, 300, 200, 2400, 4800, 90},   // step: the 500 row
                      RunCase{0, 2000, 300, 12000, 24000, 400}, // above every break: the 1000 row
                      RunCase{0, 50, 100, 500, 1000, 30},     // below the first break
                      RunCase{1, 300, 150, 2700, 5400, 120},  // linear between 100 and 500
                      RunCase{1, 50, 100, 500, 1000, 30},     // linear below the first break
                      RunCase{2, 700, 200, 5400, 10800, 210}, // sum of the bands
                      RunCase{2, 500, 200, 4200, 8400, 150},  // on a break: nothing of the next band
                      RunCase{3, 300, 200, 2402, 4804, 90},   // first unit at row 1, the rest at the band
                      RunCase{3, 1, 100, 10, 20, 1}));        // one unit reads as step

TEST_F(PricingTest, OneBreakReadsAsStepAndZeroSpeedTakesNoTime)
{
    addService(501, 50, QStringLiteral("Padding"),
               {{"QtyBy", "1"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"Unit", "2"}, {"Step", "1"},
                {"QBreak1", "100"}, {"RunCost1", "5000"}, {"RunPrice1", "9000"}});
    const qint32 job = addJob(101);
    addRow(job, 0, {{"ChargeQty", "2500"}});
    const qint32 id = addRow(job, 501);
    auto e = engine(job, true);
    e->PriceItem(0);
    const CItemSet &r = row(*e, id);
    EXPECT_EQ(r.m_nRunMinutes, 0);
    // Per thousand: 2.5 x $50.00 and 2.5 x $90.00.
    EXPECT_EQ(r.m_nRunCost, 12500);
    EXPECT_EQ(r.m_nRunPrice, 22500);

    // A second pass with another quantity keeps the first pass's set-up.
    exec(QStringLiteral("UPDATE Services SET SetFor1 = 1, SetTime1 = 1550, SetCost1 = 200, SetPrice1 = 300 WHERE SerNo = 501"));
    auto e2 = engine(job, true);
    e2->PriceItem(0);
    EXPECT_EQ(row(*e2, id).m_nSetMinutes, 15);
    EXPECT_EQ(row(*e2, id).m_nSetPrice, 300);
    exec(QStringLiteral("UPDATE Services SET SetTime1 = 9000 WHERE SerNo = 501"));
    e2->PriceItem(5000);
    EXPECT_EQ(row(*e2, id).m_nSetMinutes, 15);
    EXPECT_EQ(row(*e2, id).m_nRunPrice, 45000);
}

// --- markup and price levels ------------------------------------------------------

struct MarkupCase
{
    int markup;
    int priceLevel;
    const char *bid;
    int adjustBy;
    const char *price;
};

void PrintTo(const MarkupCase &c, std::ostream *os)
{
    *os << "markup " << c.markup << ", level " << c.priceLevel << ", bid " << c.bid << " -> " << c.price;
}


class MarkupFactor : public PricingTest, public ::testing::WithParamInterface<MarkupCase>
{
};

TEST_P(MarkupFactor, PricesTheCost)
{
    const MarkupCase c = GetParam();
    // A cost of $40.00 for one lot.
    addService(510, 50, QStringLiteral("Binding"),
               {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "2"}, {"Unit", "1"}, {"QBreak1", "1"},
                {"RunCost1", "4000"}, {"Markup", n(c.markup)}, {"Bid", m(c.bid)}, {"AdjustBy", n(c.adjustBy)}});
    const qint32 job = addJob(102);
    addRow(job, 0, {{"ChargeQty", "10"}, {"Side2", n(c.priceLevel)}});
    const qint32 id = addRow(job, 510);
    auto e = engine(job, true);
    e->PriceItem(0);
    EXPECT_EQ(row(*e, id).m_Cost, money("40"));
    EXPECT_EQ(row(*e, id).m_Price, money(c.price));
}

INSTANTIATE_TEST_SUITE_P(Levels, MarkupFactor,
                         ::testing::Values(MarkupCase{25, 0, "0", 0, "50"},    // flat 25 %
                                           MarkupCase{50, 1, "0.9", 0, "58"},  // bid scales the markup: 1.45
                                           MarkupCase{50, 1, "0.9", 1, "54"},  // bid scales the price: 1.35
                                           MarkupCase{50, 10, "0", 0, "61.8"}, // +3 %
                                           MarkupCase{50, 110, "0", 0, "58.2"}, // -3 %
                                           // A bid adjustment of 0 adjusts nothing.
                                           MarkupCase{50, 1, "0", 0, "60"},
                                           MarkupCase{50, 1, "0", 1, "60"},
                                           MarkupCase{0, 0, "0", 0, "40"}));

TEST_F(PricingTest, MarkupTableInterpolatesBetweenCostBreaks)
{
    struct Case
    {
        const char *lastBreak;
        const char *price;
        const char *runCostCents = "55000"; // the service's cost, $550 unless said
    };
    const Case cases[] = {
        // Breaks $0, $100, $1000 at 100 %, 50 %, 20 %; $550: 50 + 450 x
        // (-30 / 900) = 35 %.
        {"1000", "742.5"},
        // A last break of $300,000 is $300,000 (it was read as $214,748.3647,
        // a 32-bit count of ten-thousandths): 50 + 450 x (-30 / 299,900) =
        // 49.954985 %, so 550 x 1.49954985 = 824.7524, up to 824.76.
        {"300000", "824.76"},
        // The largest break the table holds, $999,999: 50 + 450 x (-30 /
        // 999,899) = 49.986499 %, 824.9257, up to 824.93.
        {"999999", "824.93"},
        // A cost itself above $214,748.3647 is compared whole with the
        // breaks: $250,000 lies between $100 and $300,000, 50 + 249,900 x
        // (-30 / 299,900) = 25.0016672 %, so 250,000 x 1.250016672 =
        // 312,504.168, up to 312,504.17.
        {"300000", "312504.17", "25000000"},
    };
    qint32 jobNo = 103;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lastBreak);
        exec(QStringLiteral("DELETE FROM Services WHERE SerNo = 511"));
        addService(511, 50, QStringLiteral("Mailing"),
                   {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "2"}, {"Unit", "3"}, {"QBreak1", "1"},
                    {"RunCost1", c.runCostCents}, {"Markup", "1"}});
        exec(QStringLiteral("DELETE FROM MarkupTable"));
        insert(QStringLiteral("MarkupTable"),
               {{"[No]", "0"}, {"Markup1", "0"}, {"Markup2", "100"}, {"Markup3", c.lastBreak}});
        insert(QStringLiteral("MarkupTable"), {{"[No]", "1"}, {"Markup1", "100"}, {"Markup2", "50"}, {"Markup3", "20"}});
        const qint32 job = addJob(jobNo++);
        addRow(job, 0, {{"ChargeQty", "1"}});
        const qint32 id = addRow(job, 511);
        auto e = engine(job, true);
        e->PriceItem(0);
        EXPECT_EQ(row(*e, id).m_Price, money(c.price));
    }
}

TEST_F(PricingTest, NoCostMinimumPriceAndCents)
{
    addService(520, 50, QStringLiteral("Proof"), {{"QtyBy", "12"}, {"CostBy", "0"}, {"PriceBy", "2"}, {"Markup", "40"}});
    addService(521, 50, QStringLiteral("Delivery"),
               {{"QtyBy", "12"}, {"CostBy", "1"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetPrice1", "500"},
                {"MinPrice", "15"}});
    addService(522, 50, QStringLiteral("Envelope stuffing"), {{"QtyBy", "1"}, {"CostBy", "1"}, {"PriceBy", "4"}});
    addPriceTable(522, 0, 0, 3, 0, 1, {}, {{1, 12301}});
    const qint32 job = addJob(104);
    addRow(job, 0, {{"ChargeQty", "10"}});
    const qint32 proof = addRow(job, 520);
    const qint32 delivery = addRow(job, 521);
    const qint32 stuffing = addRow(job, 522);
    auto e = engine(job, true);
    e->PriceItem(0);
    EXPECT_EQ(row(*e, proof).m_Cost, Money::noChargeMarker());
    EXPECT_EQ(row(*e, proof).m_Price, Money::noChargeMarker());
    // $5.00 computed, $15.00 minimum; the zero cost takes the price.
    EXPECT_EQ(row(*e, delivery).m_Price, money("15"));
    EXPECT_EQ(row(*e, delivery).m_Cost, money("15"));
    // A table total of $1.2301 is charged $1.24.
    EXPECT_EQ(row(*e, stuffing).m_Price, money("1.24"));
    EXPECT_EQ(e->GetNewPrice(), money("16.24"));
}

TEST_F(PricingTest, BlankPaperWithoutMarkupIsNoCharge)
{
    addService(101, 101, QStringLiteral("20# Bond"),
               {{"QtyBy", "4"}, {"CostBy", "2"}, {"PriceBy", "2"}, {"Unit", "2"}, {"QBreak1", "1"},
                {"RunCost1", "2000"}, {"Markup", "50"}, {"Markup3", "-1"}});
    const qint32 job = addJob(105);
    addRow(job, 0, {{"ChargeQty", "1000"}});
    const qint32 paper = addRow(job, 101, {{"Sheets", "1"}, {"Out", "1"}, {"Up", "1"}});
    auto e = engine(job, true);
    e->PriceItem(0);
    EXPECT_EQ(row(*e, paper).m_nSerQty, 1000);
    EXPECT_EQ(row(*e, paper).m_Cost, money("20"));
    EXPECT_EQ(row(*e, paper).m_Price, Money::noChargeMarker());
    EXPECT_TRUE(row(*e, paper).m_strExplain.contains(
        QStringLiteral("\nPAPER QUANTITY:\n   Parent\t\t1,000\n   Run \t\t1,000\n   Finish\t\t1,000")));
}

// --- quantities ------------------------------------------------------------------

TEST_F(PricingTest, ServiceQuantitiesDivideMultiplyAndRound)
{
    addService(530, 50, QStringLiteral("Drilling"), {{"QtyBy", "1"}, {"Divide", "500"}, {"CostBy", "0"}});
    addService(531, 50, QStringLiteral("Boxes"), {{"QtyBy", "1"}, {"Round", "250"}, {"CostBy", "0"}});
    addService(532, 6, QStringLiteral("Plate"), {{"QtyBy", "0"}, {"CostBy", "0"}});
    addService(533, 50, QStringLiteral("Plate burning"), {{"QtyBy", "12"}, {"AskHowMany", "'#9'"}, {"CostBy", "0"}});
    addService(534, 50, QStringLiteral("Overs"), {{"QtyBy", "1"}, {"AskHowMany", "'%'"}, {"CostBy", "0"}});
    addService(535, 50, QStringLiteral("Trimming"), {{"QtyBy", "7"}, {"CostBy", "0"}});
    const qint32 job = addJob(106);
    addRow(job, 0, {{"ChargeQty", "1200"}, {"Sheets", "3"}});
    const qint32 drill = addRow(job, 530);
    const qint32 boxes = addRow(job, 531);
    addRow(job, 532, {{"Out", "4"}});
    const qint32 burn = addRow(job, 533);
    const qint32 overs = addRow(job, 534, {{"Out", "10"}});
    const qint32 trim = addRow(job, 535);
    auto e = engine(job, true);
    e->PriceItem(0);
    // 500 / 3 sheets per set = 166 per lift: 1200 / 166 rounded up.
    EXPECT_EQ(row(*e, drill).m_nSerQty, 8);
    EXPECT_EQ(row(*e, drill).m_nDivide, 166);
    EXPECT_EQ(row(*e, boxes).m_nSerQty, 1250);
    EXPECT_EQ(row(*e, burn).m_nSerQty, 4);
    EXPECT_EQ(row(*e, overs).m_nSerQty, 1320);
    // Without paper the sheets are sheets per set x item quantity.
    EXPECT_EQ(row(*e, trim).m_nSerQty, 3600);

    exec(QStringLiteral("UPDATE Items SET Sheets = 1 WHERE SerNo = 0"));
    auto e2 = engine(job, true);
    e2->PriceItem(0);
    EXPECT_EQ(row(*e2, drill).m_nSerQty, 3);
    EXPECT_EQ(row(*e2, boxes).m_nSerQty, 1250);
}

// --- price tables ----------------------------------------------------------------

struct TableCase
{
    int method;
    int reading;
    int multiplier;
    qint32 quantity;
    qint32 row3Price;
    const char *price;
    const char *line;
    qint32 row2Price = 800;
};

void PrintTo(const TableCase &c, std::ostream *os)
{
    *os << "method " << c.method << ", reading " << c.reading << ", quantity " << c.quantity << " -> " << c.price;
}


class PriceTableLookup : public PricingTest, public ::testing::WithParamInterface<TableCase>
{
};

TEST_P(PriceTableLookup, ReadsTheRowAndColumn)
{
    const TableCase c = GetParam();
    addService(540, 50, QStringLiteral("Labels"), {{"QtyBy", "1"}, {"CostBy", "1"}, {"PriceBy", "4"}});
    addPriceTable(540, 0, 0, c.reading, c.method, c.multiplier, {},
                  {{100, 1000}, {250, c.row2Price}, {500, c.row3Price}});
    const qint32 job = addJob(107);
    addRow(job, 0, {{"ChargeQty", n(c.quantity)}});
    const qint32 id = addRow(job, 540, {{"Out", "4"}});
    auto e = engine(job, true);
    e->PriceItem(0);
    EXPECT_EQ(row(*e, id).m_Price, money(c.price));
    EXPECT_TRUE(row(*e, id).m_strExplain.contains(QString::fromUtf8(c.line))) << row(*e, id).m_strExplain.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, PriceTableLookup,
    ::testing::Values(
        TableCase{0, 1, 1, 300, 600, "18", "\n\nPRICE TABLE \t\n\t\tCell Price x Qty \t= 0.06 x 300 = 18  from Column 1 x Row 3"},
        TableCase{1, 1, 1, 300, 600, "22.8", "PRICE TABLE \tInterpolated\n\t\tCell Price x Qty \t= 0.076 x 300 = 22.8"},
        TableCase{0, 1, 1, 1000, 600, "60", "= 0.06 x 1000 = 60  from Column 1 x Row 3"},
        TableCase{0, 1, 1, 300, 0, "24", "= 0.08 x 300 = 24  from Column 1 x Row 3"},
        // A 0 cell in row 2 takes row 1's price.
        TableCase{0, 1, 1, 200, 600, "20", "= 0.1 x 200 = 20  from Column 1 x Row 2", 0},
        // A quantity on a row's break reads that row, not the next.
        TableCase{0, 1, 1, 250, 600, "20", "= 0.08 x 250 = 20  from Column 1 x Row 2"},
        TableCase{0, 2, 1, 300, 600, "0.02", "= 0.06 x 300 = 0.018"},
        TableCase{0, 3, 6, 300, 600, "0.24", "= 0.06 x 1200 = 0.24"},
        TableCase{2, 1, 1, 300, 600, "25", ""},
        // Summed per thousand: 100 x 0.10 + 150 x 30.00 + 749 x 40.00 =
        // 34,470.00 for the first 999, per thousand 34.47.
        TableCase{2, 2, 1, 999, 400000, "34.47", "", 300000}));

TEST_F(PricingTest, PriceTableColumnsWrapAndShortRows)
{
    // Columns by sheets per set: keys 1, 2, then 1 = each further sheet.
    addService(541, 50, QStringLiteral("Collating"), {{"QtyBy", "1"}, {"CostBy", "1"}, {"PriceBy", "4"}});
    addPriceTable(541, 1, 0, 1, 0, 0, {1, 2, 1}, {{100, 1000, 1500, 200}, {1000, 800, 1200, 100}});
    const qint32 job = addJob(108);
    addRow(job, 0, {{"ChargeQty", "100"}, {"Sheets", "5"}});
    const qint32 id = addRow(job, 541);
    auto e = engine(job, true);
    e->PriceItem(0);
    // Column 2 for two sheets, plus three more sheets at column 3's price.
    EXPECT_EQ(row(*e, id).m_Price, money("36"));
    EXPECT_TRUE(row(*e, id).m_strExplain.contains(QStringLiteral("\n\t\t+ Add'l Col Price   \t= 0.02 x 300 = 6")));
}

TEST_F(PricingTest, AnItemOnAColumnsKeyReadsThatColumn)
{
    // Columns by sheets per set, keys 1, 2 and 4: two sheets are column 2's
    // (8 cents), three fall to column 4's (6 cents).
    addService(542, 50, QStringLiteral("Padding"), {{"QtyBy", "1"}, {"CostBy", "1"}, {"PriceBy", "4"}});
    addPriceTable(542, 1, 0, 1, 0, 1, {1, 2, 4}, {{100, 1000, 800, 600}});
    const qint32 job = addJob(109);
    addRow(job, 0, {{"ChargeQty", "100"}, {"Sheets", "2"}});
    const qint32 id = addRow(job, 542);
    auto e = engine(job, true);
    e->PriceItem(0);
    EXPECT_EQ(row(*e, id).m_Price, money("8"));
    EXPECT_TRUE(row(*e, id).m_strExplain.contains(QStringLiteral("= 0.08 x 100 = 8  from Column 2 x Row 1")))
        << row(*e, id).m_strExplain.toStdString();
}

// --- difficulty and waste -----------------------------------------------------------

TEST_F(PricingTest, DifficultyRowsAreChosenBySizeCoverageAndRegister)
{
    addService(200, 201, QStringLiteral("Press"), {{"QtyBy", "8"}, {"CostBy", "0"}, {"WasteBy", "251"}});
    addService(102, 101, QStringLiteral("60# Offset"), {{"Size", "'8.5 x 11'"}, {"CostBy", "0"}, {"WasteBy", "250"}});
    addService(114, 114, QStringLiteral("#10 Envelope"), {{"Size", "'9.5 x 4.125'"}, {"CostBy", "0"}});
    addDiffTable(200, {{"JobR1C0", "50"}, {"JobR2C0", "100"}, {"JobR3C0", "300"}, {"JobR4C0", "500"},
                       {"JobR2C1", "150"}, {"JobR6C2", "10"}, {"JobR9C2", "5"}, {"JobR9C1", "300"},
                       {"JobR19C1", "400"}});
    const qint32 job = addJob(109);
    addRow(job, 0, {{"ChargeQty", "10000"}});
    const qint32 paper = addRow(job, 102, {{"Side1", "1"}, {"Covrg", "2"}, {"Regis", "1"}});
    addRow(job, 200);
    auto e = engine(job, true);
    EXPECT_EQ(e->JobDifficultyNames(), QStringLiteral("Smaller Size, Coverage, Register"));
    // 150 + 300 capped at 400; speed 10 + 5.
    EXPECT_EQ(e->JobDifficulty()[1], 400);
    EXPECT_EQ(e->JobDifficulty()[2], 15);

    // The built-in waste formula never gives less than 4 % of the run.
    exec(QStringLiteral("UPDATE Items SET Covrg = 0, Regis = 0 WHERE ItemID = %1").arg(paper));
    auto plain = engine(job, true);
    plain->PriceItem(0);
    EXPECT_TRUE(row(*plain, paper).m_strExplain.contains(QStringLiteral(" + Waste    \t400\t(using built-in formula)\n")))
        << row(*plain, paper).m_strExplain.toStdString();
    EXPECT_EQ(plain->GetCounts().runSheets, 10400);

    // An envelope has no size row; without a difficulty row nothing applies.
    const qint32 job2 = addJob(110);
    addRow(job2, 0, {{"ChargeQty", "100"}});
    addRow(job2, 114, {{"Side1", "1"}, {"Covrg", "2"}, {"Regis", "1"}});
    addRow(job2, 200);
    EXPECT_EQ(engine(job2, true)->JobDifficultyNames(), QStringLiteral("Coverage, Register"));
    exec(QStringLiteral("DELETE FROM ServiceDiffTables"));
    EXPECT_EQ(engine(job2, true)->JobDifficultyNames(), QString());
}

// --- print styles ---------------------------------------------------------------------

// One paper row of 1,000 items on a press of the given colour code, no waste:
// the passes, run sheets, impressions and longest run each print style gives.
// Worked by hand from the rules: work-and-turn styles (2, 3, 4) print the
// larger side on both halves of the sheet, so both sides count its inks, a
// perfector's passes double and the run is the sheets over the up rounded
// down to an even number; a signature (5) runs the remainder as a share of
// the sheet; work-and-signature (6) runs it in half sheets.
struct StyleCase
{
    const char *name;
    int printAs;
    int pressColors;
    int side1, side2;
    qint32 sheets, pages, up;
    qint32 passes, runSheets, impressions, runLength;
};

void PrintTo(const StyleCase &c, std::ostream *os)
{
    *os << c.name;
}

class PrintStyle : public PricingTest, public ::testing::WithParamInterface<StyleCase>
{
};

TEST_P(PrintStyle, PassesRunSheetsAndImpressions)
{
    const StyleCase c = GetParam();
    addService(200, 201, QStringLiteral("Press"),
               {{"QtyBy", "8"}, {"CostBy", "0"}, {"WasteBy", "0"}, {"Colors", n(c.pressColors)}});
    addService(102, 101, QStringLiteral("60# Offset"), {{"CostBy", "0"}, {"WasteBy", "0"}});
    const qint32 job = addJob(120);
    addRow(job, 0, {{"ChargeQty", "1000"}});
    addRow(job, 102,
           {{"Sheets", n(c.sheets)}, {"Pages", n(c.pages)}, {"Up", n(c.up)}, {"Side1", n(c.side1)},
            {"Side2", n(c.side2)}, {"PrtAs", n(c.printAs)}});
    addRow(job, 200);
    auto e = engine(job, true);
    e->PriceItem(0);
    const CItemPrice::Counts &k = e->GetCounts();
    EXPECT_EQ(k.passes, c.passes);
    EXPECT_EQ(k.runSheetsNoWaste, c.runSheets);
    EXPECT_EQ(k.runSheets, c.runSheets);
    EXPECT_EQ(k.impressions, c.impressions);
    EXPECT_EQ(k.maxRunLength, c.runLength);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, PrintStyle,
    ::testing::Values(
        // 1/1 black on a one-colour press: 2 passes; 1000 / 3 up rounded up.
        StyleCase{"Regular", 1, 0, 1, 1, 1, 1, 3, 2, 334, 668, 334},
        // Work & Turn, 5 and 2 inks on a four-colour press: both sides take 5
        // inks, 2 + 2 passes; 3 up runs as 2 up: 500 sheets.
        StyleCase{"WorkAndTurn", 2, 3, 5, 2, 1, 1, 3, 4, 500, 2000, 334},
        // Without the style the same sheet takes 2 + 1 passes and 3 up.
        StyleCase{"SheetwiseSameSheet", 1, 3, 5, 2, 1, 1, 3, 3, 334, 1002, 334},
        // Work & Tumble on a 4/4 perfector: 5 inks in 2 passes, doubled;
        // 3 sheets 5 up run as 4 up: 750.
        StyleCase{"WorkAndTumblePerfector", 3, 12, 5, 1, 3, 3, 5, 4, 750, 3000, 200},
        StyleCase{"WorkAndWhirl", 4, 12, 5, 1, 3, 3, 5, 4, 750, 3000, 200},
        // Perfecting without a turn: 5 inks both sides on 4/4, 2 passes.
        StyleCase{"Perfecting", 1, 12, 5, 5, 2, 2, 4, 2, 500, 1000, 250},
        // Signature: 2 sheets 4 up is half a sheet a set; the run length is
        // the quantity over up / sheets.
        StyleCase{"Signature", 5, 0, 1, 0, 2, 2, 4, 1, 500, 500, 500},
        // Work & Signature: 3 sheets 4 up: half a sheet plus a quarter.
        StyleCase{"WorkAndSignature", 6, 1, 2, 2, 3, 3, 4, 2, 750, 1500, 750},
        // 4 sheets 5 up: the remainder fills the half sheet exactly.
        StyleCase{"WorkAndSignatureHalfFilled", 6, 0, 1, 0, 4, 4, 5, 1, 1000, 1000, 800},
        // 2 sheets 4 up: the remainder is one half sheet.
        StyleCase{"WorkAndSignatureOneHalf", 6, 0, 1, 0, 2, 2, 4, 1, 500, 500, 500},
        // Digital by finish size: both sides print, 2 clicks a finished sheet.
        StyleCase{"DigitalFinishSize", 1, 19, 1, 1, 1, 1, 2, 2, 500, 2000, 500},
        // Digital by run size: pages per sheet of the run, rounded up.
        StyleCase{"DigitalRunSize", 1, 18, 1, 0, 2, 3, 2, 1, 1000, 1500, 500}),
    [](const ::testing::TestParamInfo<StyleCase> &info) { return std::string(info.param.name); });

TEST_F(PricingTest, WasteTableRowAndPressSetupExplained)
{
    insert(QStringLiteral("WasteTable"), {{"[Level]", "0"}, {"Setup", "0"}, {"Waste1", "1000"}, {"Waste2", "4500"}});
    insert(QStringLiteral("WasteTable"), {{"[Level]", "1"}, {"Setup", "20"}, {"Waste1", "500"}, {"Waste2", "300"}});
    addService(201, 201, QStringLiteral("Two-colour press"),
               {{"QtyBy", "8"}, {"CostBy", "1"}, {"CostHr", "60"}, {"PriceBy", "2"}, {"Markup", "0"},
                {"WasteBy", "1"}, {"SetFor1", "2"}, {"SetTime1", "1500"}, {"SetFor2", "1"}, {"SetTime2", "1000"},
                {"QBreak1", "1"}, {"UnitsHr1", "500000"}});
    addService(103, 101, QStringLiteral("70# Offset"), {{"CostBy", "0"}});
    addService(6, 6, QStringLiteral("Metal plate"), {{"QtyBy", "9"}, {"CostBy", "0"}});
    const qint32 job = addJob(111);
    addRow(job, 0, {{"ChargeQty", "5500"}});
    const qint32 paper = addRow(job, 103, {{"Side1", "1"}, {"Up", "2"}});
    const qint32 press = addRow(job, 201);
    addRow(job, 6, {{"Out", "2"}});
    auto e = engine(job, true);
    e->PriceItem(0);
    // Run 2750 sheets; the waste row reads 4 % at 5500.
    EXPECT_TRUE(row(*e, paper).m_strExplain.contains(QStringLiteral(
        " + Set Waste \t40 \t(20 + 0 + 0) x 2 plates / 1 out   (WasteRow 1 + PapDif 0 + JobDif)\n"
        " + Run Waste \t110 \t(4%% + 0%% + 0%%) x 2750 x 1 passes\n").replace(QStringLiteral("%%"), QStringLiteral("%"))))
        << row(*e, paper).m_strExplain.toStdString();
    EXPECT_EQ(e->GetCounts().runSheets, 2900);
    EXPECT_EQ(e->GetCounts().impressions, 2900);
    const CItemSet &p = row(*e, press);
    EXPECT_TRUE(p.m_strExplain.startsWith(QStringLiteral(
        "\n\n\nSETUP TIME:\tFrom Setup Table\n\t\t30 minutes \t2 Plate x 15\n\t\t10 minutes \t1 Lot x 10"
        "\n\nRUN SPEED: \t5000 \tfrom Run Table")))
        << p.m_strExplain.toStdString();
    EXPECT_EQ(p.m_nSetMinutes, 40);
    EXPECT_EQ(p.m_nRunMinutes, 35);
    EXPECT_EQ(p.m_TimeCost, money("75"));
}

} // namespace

// --- Null numbers -----------------------------------------------------------------

// Rows written by a user's SQL, an import or an old file leave numbers Null.
// A Null number prices as 0: the same service and item with zeros instead of
// Nulls give the same amounts (never the engine's no-value patterns, which
// would price at millions).
TEST_F(PricingTest, NullNumbersPriceAsZeros)
{
    const Columns priced = {{"QtyBy", "1"},     {"CostBy", "2"},      {"PriceBy", "3"},     {"Unit", "1"},
                            {"QBreak1", "100"}, {"UnitsHr1", "10000"}, {"RunCost1", "10"}, {"RunPrice1", "20"}};
    addService(500, 50, QStringLiteral("Folding"), priced);
    // The same service with every other column Null.
    Columns nulls = {{"SerNo", "501"}, {"CatNo", "50"}, {"Name", "'Folding Null'"}};
    QStringList names, values;
    for (const auto &[n, v] : nulls) {
        names << QString::fromLatin1(n);
        values << v;
    }
    for (const auto &[n, v] : priced) {
        names << QString::fromLatin1(n);
        values << v;
    }
    exec(QStringLiteral("INSERT INTO Services (%1) VALUES (%2)").arg(names.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
    ASSERT_TRUE(scalar(QStringLiteral("SELECT Multiply FROM Services WHERE SerNo = 501")).isNull());
    ASSERT_TRUE(scalar(QStringLiteral("SELECT Markup FROM Services WHERE SerNo = 501")).isNull());

    const qint32 zeros = addJob(110);
    addRow(zeros, 0, {{"ChargeQty", "300"}});
    const qint32 zeroRow = addRow(zeros, 500);
    const qint32 withNulls = addJob(111);
    addRow(withNulls, 0, {{"ChargeQty", "300"}});
    // A service row with only the keys that place it in its item: every other
    // number of the row Null.
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo) VALUES (%1, 501, 1, 0)").arg(withNulls));
    const qint32 nullRow = scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();

    auto a = engine(zeros, true);
    a->PriceItem(0);
    auto b = engine(withNulls, true);
    b->PriceItem(0);
    const CItemSet &x = row(*a, zeroRow);
    const CItemSet &y = row(*b, nullRow);
    // 300 at 0.20: 60.00; 300 at 0.10: 30.00.
    EXPECT_EQ(x.m_Price, money("60"));
    EXPECT_EQ(y.m_Price, x.m_Price);
    EXPECT_EQ(y.m_Cost, money("30"));
    EXPECT_EQ(y.m_nRunMinutes, x.m_nRunMinutes);
}

// A service that rounds its quantity up to a multiple: exactly on a multiple
// it stays, one over goes to the next, and 0 and 1 round nothing.
TEST_F(PricingTest, QuantityRoundsUpToTheServicesMultiple)
{
    struct Case
    {
        int round;
        qint32 quantity;
        const char *price;
    };
    const Case cases[] = {{100, 499, "100"}, {100, 500, "100"}, {100, 501, "120"}, {100, 1, "20"},
                          {1, 501, "100.20"},  {0, 501, "100.20"},  {9, 10, "3.60"},  {9, 9, "1.80"}};
    qint32 jobNo = 300;
    for (const Case &c : cases) {
        const qint32 serNo = 600 + jobNo - 300;
        addService(serNo, 50, QStringLiteral("Rounded %1").arg(c.round),
                   {{"QtyBy", "1"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"Unit", "1"}, {"Round", n(c.round)},
                    {"QBreak1", "1"}, {"UnitsHr1", "100000"}, {"RunCost1", "10"}, {"RunPrice1", "20"}});
        const qint32 job = addJob(jobNo++);
        addRow(job, 0, {{"ChargeQty", n(c.quantity)}});
        const qint32 id = addRow(job, serNo);
        auto e = engine(job, true);
        e->PriceItem(0);
        EXPECT_EQ(row(*e, id).m_Price, money(c.price)) << "round " << c.round << ", quantity " << c.quantity;
    }
}

// --- the largest count and amount ------------------------------------------------

// Every count, time and amount a quantity or a rate makes is worked past the
// bits it is kept in and held to the largest the program takes (a count of
// 1,000,000,000; an amount of 100,000,000,000.00): at the bound it is kept
// exactly, one past it the pricing is refused naming the figure, and nothing
// is written (it once wrapped: 1,073,741,824 copies made -271,119,805 sheets,
// and 18,447 minutes at 100,000,000,000.00 an hour a cost of 426,543,817.42).
TEST_F(PricingTest, FiguresPastTheLargestAreRefusedByName)
{
    // Numbering: two per copy, 1 cent each, priced 2 cents.
    addService(800, 50, QStringLiteral("Numbering"),
               {{"QtyBy", "1"}, {"Multiply", "2"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"Unit", "1"},
                {"QBreak1", "1"}, {"RunCost1", "1"}, {"RunPrice1", "2"}});
    // Folding: 30 an hour at $60.00 an hour.
    addService(801, 50, QStringLiteral("Folding"),
               {{"QtyBy", "1"}, {"CostBy", "1"}, {"CostHr", "60"}, {"PriceBy", "0"}, {"QBreak1", "1"},
                {"UnitsHr1", "3000"}});
    // Cutting at the largest rate: a lot of 60, 61 and 18,447 minutes.
    for (const auto &[serNo, minutes] : {std::pair{802, "6000"}, std::pair{803, "6100"}, std::pair{804, "1844700"}})
        addService(serNo, 50, QStringLiteral("Cutting"),
                   {{"QtyBy", "12"}, {"CostBy", "1"}, {"CostHr", "100000000000"}, {"PriceBy", "0"}, {"SetFor1", "1"},
                    {"SetTime1", minutes}});
    // Paper of two sheets a set.
    addService(805, 101, QStringLiteral("Bond 20#"), {{"CostBy", "0"}});
    // A set-up of 21,474,836.47 minutes a sheet (the most its column holds),
    // at $0.60 an hour: a count times a time passes 32 bits.
    addService(806, 50, QStringLiteral("Plating"),
               {{"QtyBy", "12"}, {"CostBy", "1"}, {"CostHr", "0.6"}, {"PriceBy", "0"}, {"SetFor1", "3"},
                {"SetTime1", "2147483647"}});
    // Divided by a divisor near the 32-bit end, a cent a cut.
    for (const auto &[serNo, divide] : {std::pair{807, "2000000000"}, std::pair{808, "2147483647"}})
        addService(serNo, 50, QStringLiteral("Cutting"),
                   {{"QtyBy", "1"}, {"Divide", divide}, {"CostBy", "2"}, {"PriceBy", "3"}, {"Unit", "1"},
                    {"QBreak1", "1"}, {"RunCost1", "1"}, {"RunPrice1", "1"}});

    struct Case
    {
        qint32 serNo;
        const char *quantity;
        const char *refusal; // nullptr: priced
        qint32 count = 0;    // the row's service quantity, or its time for a time service
        const char *cost = nullptr;
        const char *sheets = nullptr; // the item's sheets a set
    };
    const Case cases[] = {
        {800, "500000000", nullptr, 1000000000, "10000000"},
        {800, "500000001",
         "the Quantity of Numbering would be 1,000,000,002, more than 1,000,000,000, the largest count the program "
         "holds."},
        {800, "1073741824", "\"Quantity\" cannot be more than 1,000,000,000, the largest count it holds."},
        {801, "500000000", nullptr, 1000000000, "1000000000"},
        {801, "500000001",
         "the Run Minutes of Folding would be 1,000,000,002, more than 1,000,000,000, the largest count the program "
         "holds."},
        {802, "1000", nullptr, 60, "100000000000"},
        {803, "1000",
         "the Time Cost of Cutting would be 101,666,666,666.67, more than 100,000,000,000.00, the largest amount the "
         "program holds."},
        {804, "1000",
         "the Time Cost of Cutting would be 30,745,000,000,000.00, more than 100,000,000,000.00, the largest amount "
         "the program holds."},
        {805, "500000000", nullptr, 1000000000},
        {805, "500000001",
         "the Finish Sheets of Bond 20# would be 1,000,000,002, more than 1,000,000,000, the largest count the "
         "program holds."},
        // 2 x 21,474,836.47 = 42,949,672.94 minutes (it once wrapped to
        // -0.02); 42,949,672 x $0.60 / 60 = $429,496.72.
        {806, "1000", nullptr, 42949672, "429496.72", "2"},
        // 46 x 21,474,836.47 = 987,842,477.62; 47 x = 1,009,317,314.09.
        {806, "1000", nullptr, 987842477, "9878424.77", "46"},
        {806, "1000",
         "the Set-up Minutes of Plating would be 1,009,317,314, more than 1,000,000,000, the largest count the "
         "program holds.",
         0, nullptr, "47"},
        // (200,000,000 + 1,999,999,999) / 2,000,000,000 = 1 cut (it once
        // wrapped to -1); 5,000 / 2,147,483,647 and 1,000,000,000 too.
        {807, "200000000", nullptr, 1, "0.01"},
        {807, "1000000000", nullptr, 1, "0.01"},
        {808, "5000", nullptr, 1, "0.01"},
        {808, "1000000000", nullptr, 1, "0.01"},
    };
    qint32 jobNo = 800;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.serNo) + " x " + c.quantity);
        const qint32 job = addJob(jobNo++);
        if (c.sheets)
            addRow(job, 0, {{"ChargeQty", QString::fromLatin1(c.quantity)}, {"Sheets", QString::fromLatin1(c.sheets)}});
        else
            addRow(job, 0, {{"ChargeQty", QString::fromLatin1(c.quantity)}});
        const qint32 id = addRow(job, c.serNo, {{"Sheets", "2"}});
        auto silent = engine(job, true);
        EXPECT_EQ(silent->PriceItem(0), 0 + (c.refusal ? 0 : 1));
        EXPECT_EQ(silent->PastLargestFigure(), c.refusal ? QString::fromLatin1(c.refusal) : QString());

        auto e = engine(job, false);
        prompts().clear();
        if (c.refusal)
            prompts().answer(platform::IDOK);
        e->PriceItem(0);
        const auto stored = [&](const char *column) {
            return scalar(QStringLiteral("SELECT %1 FROM Items WHERE ItemID = %2").arg(QLatin1String(column)).arg(id));
        };
        if (c.refusal) {
            QString text = QString::fromLatin1(c.refusal);
            text[0] = text.at(0).toUpper();
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("ITEM 1 \n\n") + text + QStringLiteral("\n\nThe item's prices are not saved.")});
            // Nothing of the pricing is written.
            EXPECT_EQ(stored("ActualQty").toInt(), 0);
            EXPECT_EQ(stored("ChargeTime").toInt(), 0);
            EXPECT_EQ(stored("Cost").toMoney(), Money());
            continue;
        }
        EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
        const bool timed = (c.serNo >= 801 && c.serNo <= 804) || c.serNo == 806;
        EXPECT_EQ(row(*e, id).m_nSerQty, timed ? row(*e, id).m_nSerQty : c.count);
        if (timed)
            EXPECT_EQ(stored("ChargeTime").toInt(), c.count);
        else if (c.serNo != 805)
            EXPECT_EQ(stored("ChargeQty").toInt(), c.count);
        if (c.cost) {
            EXPECT_EQ(stored("Cost").toMoney(), money(c.cost));
            EXPECT_EQ(stored(timed ? "TimeCost" : "MatCost").toMoney(), money(c.cost));
        }
    }
}
