#include "JobsFixture.h"

#include "controls/CXEdit.h"
#include "controls/CXGridCtrl.h"
#include "data/SharedDatabase.h"
#include "jobs/CQuickSale.h"
#include "jobs/JobHooks.h"
#include "jobs/QuickSale.h"
#include "views/QuickSaleSlot.h"

#include <QtCore/QProcess>
#include <QtWidgets/QComboBox>

#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <limits>
#include <numeric>
#include <random>

namespace {

using QuickSale::Line;
using QuickSale::ServiceRates;

// An exact fraction, for a model that follows the sale's rules step by step
// as a clerk with a pencil would: no scaled integers, no early truncation.
struct Fraction
{
    __int128 n = 0;
    __int128 d = 1;
    Fraction(__int128 num = 0, __int128 den = 1) : n(num), d(den) { normalise(); }
    void normalise()
    {
        if (d < 0) {
            n = -n;
            d = -d;
        }
        __int128 a = n < 0 ? -n : n, b = d;
        while (b) {
            const __int128 t = a % b;
            a = b;
            b = t;
        }
        if (a > 1) {
            n /= a;
            d /= a;
        }
    }
    Fraction operator*(const Fraction &o) const { return Fraction(n * o.n, d * o.d); }
    Fraction operator+(const Fraction &o) const { return Fraction(n * o.d + o.n * d, d * o.d); }
    Fraction operator/(const Fraction &o) const { return Fraction(n * o.d, d * o.n); }
    // Truncated toward zero.
    qint64 whole() const { return qint64(n / d); }
};

// Price/Each in ten-thousandths: the base in cents, raised by the markup,
// per thousand for unit 2, then times 100.
qint64 modelUnitPrice(const ServiceRates &r)
{
    Fraction base(r.runPrice1);
    if (r.runPrice1 == 0) {
        base = Fraction(r.runCost1);
        if (r.markup > 9)
            base = base * (Fraction(1) + Fraction(r.markup, 100));
    }
    if (r.unit == 2)
        base = base * Fraction(1, 1000);
    return (base * Fraction(100)).whole();
}

// Price in cents: quantity x (unit price x 0.01) + 0.5, truncated.
qint64 modelPrice(qint64 quantity, qint64 unitPrice)
{
    return (Fraction(quantity) * (Fraction(unitPrice) * Fraction(1, 100)) + Fraction(1, 2)).whole();
}

// The totals of lines that stay within the largest amounts.
QuickSale::Totals totalsOf(const QList<Line> &lines, quint8 taxCode)
{
    QuickSale::Totals totals;
    QString refusal;
    EXPECT_TRUE(QuickSale::ComputeTotals(lines, taxCode, totals, refusal)) << refusal.toStdString();
    return totals;
}

// The price of a row, or -1 when it is refused.
qint64 priceOf(qint32 &quantity, qint64 &unitPrice)
{
    qint64 price = -1;
    return QuickSale::PriceOf(quantity, unitPrice, price) ? price : -1;
}

TEST(QuickSaleRules, WorkedExamples)
{
    // 3 x 1.2345 = 3.7035, and halves go up: 3.70.
    qint32 quantity = 3;
    qint64 unit = 12345;
    EXPECT_EQ(priceOf(quantity, unit), 370);
    // 10.00 typed for 3 gives 3.3333 each.
    qint64 price = 1000;
    unit = 0;
    QuickSale::UnitPriceFromPrice(price, 3, unit);
    EXPECT_EQ(unit, 33333);
    struct Case
    {
        ServiceRates rates;
        qint64 expect;
    } cases[] = {
        {{0, 200, 50, 0}, 30000},   // cost 2.00 raised by 50 %
        {{0, 200, 9, 0}, 20000},    // a markup below 10 % is not applied
        {{0, 200, 10, 0}, 22000},   // 10 % is
        {{5000, 0, 0, 2}, 500},     // 50.00 per thousand: 0.0500 each
        {{0, 7, 15, 0}, 805},       // 0.07 raised by 15 % is 0.0805 exactly
        {{250, 999, 80, 0}, 25000}, // a run price wins over cost and markup
        {{0, 0, 50, 0}, 0},
        {{0, 1, 0, 2}, 0},          // a tenth of a ten-thousandth truncates to 0
        // The largest run price there is: 21,474,836.47 a piece, beyond 32 bits
        // in ten-thousandths.
        {{2147483647, 0, 0, 0}, 214748364700LL},
        {{0, 2147483647, 2147483647, 0}, 1000000000000000LL}, // a markup of millions of % stops at the largest
    };
    for (const Case &c : cases)
        EXPECT_EQ(QuickSale::UnitPriceOf(c.rates), c.expect)
            << c.rates.runPrice1 << ' ' << c.rates.runCost1 << ' ' << c.rates.markup << ' ' << int(c.rates.unit);
}

TEST(QuickSaleRules, NegativesArePositiveAndAQuantityBelowOneKeepsTheUnitPrice)
{
    qint32 quantity = -4;
    qint64 unit = -2500;
    EXPECT_EQ(priceOf(quantity, unit), 100);
    EXPECT_EQ(quantity, 4);
    EXPECT_EQ(unit, 2500);
    qint64 price = -999, keep = 1234;
    QuickSale::UnitPriceFromPrice(price, 0, keep);
    EXPECT_EQ(price, 999);
    EXPECT_EQ(keep, 1234);
    // An exact half cent goes up: 1 x 0.0050 = half a cent.
    quantity = 1;
    unit = 50;
    EXPECT_EQ(priceOf(quantity, unit), 1);
    unit = 49;
    EXPECT_EQ(priceOf(quantity, unit), 0);
}

// Amounts past 32 bits are kept exactly (a 32-bit price wrapped round:
// 300,000.00 for 1 showed -129,496.7296 each, and 2 of them 258,993.46);
// past the largest amount the program takes (100,000,000,000.00) they are
// refused.
TEST(QuickSaleRules, AmountsPast32BitsAreKeptAndPastTheFieldsRefused)
{
    struct Case
    {
        qint32 quantity;
        qint64 unitPrice; // ten-thousandths
        qint64 price;     // cents; -1 refused
    };
    const Case cases[] = {
        {2, 3000000000LL, 60000000},                   // 2 x 300,000.0000 = 600,000.00
        {1, 2147483700LL, 21474837},                   // 214,748.37
        {1, 214748364800LL, 2147483648LL},             // 21,474,836.48
        {1, 999999990000LL, 9999999900LL},             // 99,999,999.00
        {9999999, 999999990000LL, -1},                 // 999,999,890,000,001.00: past the field
        {1, 1000000000000000LL, 10000000000000LL},     // 100,000,000,000.0000, the largest
        {1, 1000000000000049LL, 10000000000000LL},     // ....0049 rounds down to it
        {1, 1000000000000050LL, -1},                   // ....0050 rounds up past it
        {3, 333333333333349LL, 10000000000000LL},      // 3 x 33,333,333,333.3349 = ....0047
        {3, 333333333333350LL, -1},                    // 3 x ....3350 = ....0050, up past it
        {1, 9000000000000000LL, -1},                   // 900,000,000,000.0000
        {1, INT64_MAX, -1},
        {-2, -500000000000000LL, 10000000000000LL},    // signs dropped as ever
    };
    for (const Case &c : cases) {
        qint32 quantity = c.quantity;
        qint64 unit = c.unitPrice;
        EXPECT_EQ(priceOf(quantity, unit), c.price) << c.quantity << " x " << c.unitPrice;
    }
    // A price typed: the unit price back, in 64 bits.
    struct Back
    {
        qint64 price;
        qint32 quantity;
        qint64 unitPrice;
    };
    const Back backs[] = {
        {30000000, 1, 3000000000LL},                 // 300,000.00 each, not -129,496.7296
        {2147483648LL, 1, 214748364800LL},           // 21,474,836.48
        {10000000000000LL, 1, 1000000000000000LL},
        {10000000000000LL, 7, 142857142857142LL},
    };
    for (const Back &b : backs) {
        qint64 price = b.price, unit = 0;
        QuickSale::UnitPriceFromPrice(price, b.quantity, unit);
        EXPECT_EQ(unit, b.unitPrice) << b.price << " / " << b.quantity;
    }
    // Totals past the largest amount are refused, naming the total.
    QuickSale::Totals totals;
    QString refusal;
    EXPECT_FALSE(QuickSale::ComputeTotals({{501, 1, 0, 10000000000000LL}, {501, 1, 0, 1}}, 0, totals, refusal));
    EXPECT_EQ(refusal,
              QStringLiteral("\"Subtotal\" cannot be more than 100,000,000,000.00, the largest amount it holds."));
    EXPECT_TRUE(QuickSale::ComputeTotals({{501, 1, 0, 10000000000000LL}}, 0, totals, refusal));
    EXPECT_EQ(totals.total(), 10000000000000LL);
}

TEST(QuickSaleRules, RandomPricesAgreeWithTheExactModel)
{
    std::mt19937 random(20240612);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int i = 0; i < 20000; ++i) {
        ServiceRates r;
        r.runPrice1 = pick(0, 3) == 0 ? pick(0, 100000) : 0;
        r.runCost1 = pick(0, 200000);
        r.markup = pick(0, 4) == 0 ? pick(0, 12) : pick(0, 300);
        r.unit = quint8(pick(0, 3) == 0 ? 2 : pick(0, 1));
        const qint64 unitPrice = QuickSale::UnitPriceOf(r);
        ASSERT_EQ(unitPrice, modelUnitPrice(r))
            << r.runPrice1 << ' ' << r.runCost1 << ' ' << r.markup << ' ' << int(r.unit);
        qint32 quantity = pick(0, 50) == 0 ? pick(100000, 2000000) : pick(-50, 10000);
        qint64 unit = pick(0, 1) ? unitPrice : -unitPrice;
        const qint64 expected = modelPrice(quantity < 0 ? -quantity : quantity, unitPrice);
        ASSERT_EQ(priceOf(quantity, unit), expected) << quantity << ' ' << unitPrice;
        qint64 price = pick(-100000, 1000000);
        qint64 back = 77;
        const qint32 typedQuantity = pick(-2, 1000);
        QuickSale::UnitPriceFromPrice(price, typedQuantity, back);
        if (typedQuantity >= 1)
            ASSERT_EQ(back, (Fraction(price) * Fraction(100) / Fraction(typedQuantity)).whole());
        else
            ASSERT_EQ(back, 77);
    }
}

TEST(QuickSaleRules, LinesAsTypedForTheHarness)
{
    struct Case
    {
        const char *text;
        bool ok;
        Line expect;
    } cases[] = {
        {"12:3", true, {12, 3, 0, 0}},
        {"12:3@1.2345", true, {12, 3, 12345, 370}},
        {"12:3=10.00", true, {12, 3, 33333, 1000}},
        {"12:0=5", true, {12, 0, 0, 500}},
        {"12", false, {}},
        {"x:3", false, {}},
        {"12:3@abc", false, {}},
        // Amounts are read whole: a decimal more than the field holds, or an
        // amount past the largest, is refused (12.345 was kept as 12.34).
        {"12:1=100,000,000,000.00", true, {12, 1, 1000000000000000LL, 10000000000000LL}},
        {"12:1=$5,000", true, {12, 1, 50000000, 500000}},
        {"901:1=12.345", false, {}},
        {"12:3@1.23456", false, {}},
        {"12:1=100000000000.01", false, {}},
        {"12:1@100000000000.0001", false, {}},
        // A figure below 0 is refused, never flipped into a sale.
        {"901:1=-10.00", false, {}},
        {"901:1=-0.01", false, {}},
        {"12:-3", false, {}},
        {"12:3@-1.2345", false, {}},
        // The quantity is a count: the largest is taken, one past it and one
        // past 32 bits (once read as 0) are refused.
        {"12:1000000000", true, {12, 1000000000, 0, 0}},
        {"12:1000000000@0.0001", true, {12, 1000000000, 1, 10000000}},
        {"12:1000000001", false, {}},
        {"12:4294967296@1.00", false, {}},
        {"12:99999999999999999999", false, {}},
    };
    for (const Case &c : cases) {
        Line line;
        QString error;
        EXPECT_EQ(QuickSale::ParseLine(QString::fromLatin1(c.text), line, error), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        EXPECT_EQ(line.serNo, c.expect.serNo) << c.text;
        EXPECT_EQ(line.quantity, c.expect.quantity) << c.text;
        EXPECT_EQ(line.unitPrice, c.expect.unitPrice) << c.text;
        EXPECT_EQ(line.price, c.expect.price) << c.text;
    }
    Line line;
    QString error;
    EXPECT_FALSE(QuickSale::ParseLine(QStringLiteral("12:4294967296@1.00"), line, error));
    EXPECT_EQ(error, QStringLiteral("Quantity \"4294967296\": \"Quantity\" cannot be more than 1,000,000,000, the "
                                    "largest count it holds."));
}

class QuickSaleTest : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        exec(QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, TaxPostage, RoundUp, Sort) "
                            "VALUES (1, 'State 6.25%', 62500, 0, 0, 0, 1)"));
        exec(QStringLiteral("UPDATE Customers SET Tax = 1 WHERE CusNo = 31"));
        service(501, "Copies B/W", 12, 0, 0, 0, 1, QString());
        service(502, "Lamination", 0, 200, 50, 0, 2, QStringLiteral("Ask which side"));
        service(503, "Flyers per M", 5000, 0, 0, 2, 3, QString());
        service(504, "Retired", 100, 0, 0, 0, 4, QString(), 2);
    }
    void TearDown() override
    {
        GetJobHooks() = JobHooks();
        JobsTest::TearDown();
    }
    void service(qint32 serNo, const char *name, qint32 runPrice1, qint32 runCost1, qint32 markup, int unit, int sort,
                 const QString &remind, int status = 0)
    {
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, SortNo, Name, SerStatus, RunPrice1, RunCost1, Markup, "
                            "Unit, SerRemind, CostBy) VALUES (%1, 999, %2, '%3', %4, %5, %6, %7, %8, '%9', 0)")
                 .arg(serNo)
                 .arg(sort)
                 .arg(QString::fromLatin1(name))
                 .arg(status)
                 .arg(runPrice1)
                 .arg(runCost1)
                 .arg(markup)
                 .arg(unit)
                 .arg(remind));
    }
    QString cli(const QString &command) const
    {
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"), {databasePath(), command});
        shell.waitForFinished(30000);
        return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
    }
    // The deposit dialog answered: the amount tendered and the answer.
    void fakeDeposit(const char *tendered, int answer, int *calls = nullptr)
    {
        const Money amount = money(tendered);
        GetJobHooks().takeDeposit = [=](quint8 kind, Money due, qint32 cusNo, qint32 jobNo, NewPayment &p,
                                        QWidget *) {
            if (calls)
                ++*calls;
            EXPECT_EQ(kind, 0);
            EXPECT_EQ(cusNo, 31);
            EXPECT_EQ(jobNo, 0);
            p = NewPayment();
            p.date = GetTodayForTest();
            p.amount = amount.units() < 0 ? -due : due;
            p.cusNo = cusNo;
            p.payGroup = kind;
            p.paidBy = 1;
            p.paidByName = QStringLiteral("Cash");
            return answer;
        };
    }
    static DateTime GetTodayForTest() { return DateTime::fromDate(QDate(2024, 6, 12)); }
    // Types into a cell as the grid's editor would and tells the dialog.
    static void type(CQuickSale &d, int row, int column, int value)
    {
        d.m_wndGrid.SetCellValue(row, column, value);
        d.OnCellChanged(row, column);
    }
    // Types a text into a cell through the grid's own editor, as a clerk does.
    static void typeText(CQuickSale &d, int row, int column, const char *text)
    {
        d.m_wndGrid.EditCell(row, column);
        ASSERT_EQ(d.m_wndGrid.editor(), d.m_wndGrid.typedEditor());
        d.m_wndGrid.typedEditor()->setText(QString::fromLatin1(text));
        d.m_wndGrid.EndEdit();
    }
};

TEST_F(QuickSaleTest, TheSaleAndItsPaymentAreWrittenTogether)
{
    QList<Line> lines = {{501, 3, 0, 0}, {502, 2, 0, 0}, {0, 0, 0, 1500}, {503, 0, 0, 0}};
    for (Line &line : lines) {
        if (line.serNo) {
            QString refusal;
            ASSERT_TRUE(QuickSale::PriceFromService(SharedDatabase(), line, refusal));
        }
    }
    EXPECT_EQ(lines[0].price, 36);   // 3 x 0.1200
    EXPECT_EQ(lines[1].price, 600);  // 2 x 3.0000
    const QuickSale::Totals totals = totalsOf(lines, 1);
    EXPECT_EQ(totals.subtotal, 2136);
    EXPECT_EQ(totals.taxable, 2136);
    EXPECT_EQ(totals.tax, 134); // 6.25 % of 21.36 = 1.335, rounded half away from zero
    NewPayment payment;
    payment.date = GetTodayForTest();
    payment.amount = Money::fromCents(totals.total());
    payment.cusNo = 31;
    payment.paidBy = 1;
    const QuickSale::Saved saved = QuickSale::Save(SharedDatabase(), payment, 1, totals, lines);
    EXPECT_EQ(cli(QStringLiteral("SELECT PayNo, Amount, CusNo, PayGroup, PaidBy, PostingNo FROM Payments")),
              QStringLiteral("%1|22.7|31|0|1|0").arg(saved.payNo));
    EXPECT_EQ(cli(QStringLiteral("SELECT QSaleID, Subtotal, Tax, TaxID, PostingNo, PayNo, Taxable, Taxable2, Tax2 "
                                 "FROM QuickSales")),
              QStringLiteral("%1|21.36|1.34|1|0|%2|21.36|0|0").arg(saved.qSaleId).arg(saved.payNo));
    // Only rows with a service and a price are sold.
    EXPECT_EQ(cli(QStringLiteral("SELECT QSaleID, SerNo, Quantity, Price FROM QuickSalesItems ORDER BY QItemID")),
              QStringLiteral("%1|501|3|0.36\n%1|502|2|6").arg(saved.qSaleId));
}

TEST_F(QuickSaleTest, ARefundNegatesEveryAmountAndTaxCodeZeroTaxesNothing)
{
    const QList<Line> lines = {{501, 10, 1200, 120}};
    const QuickSale::Totals totals = totalsOf(lines, 0);
    EXPECT_EQ(totals.tax, 0);
    EXPECT_EQ(totals.taxable, 0);
    NewPayment payment;
    payment.date = GetTodayForTest();
    payment.amount = -Money::fromCents(totals.total());
    payment.cusNo = 31;
    payment.paidBy = 1;
    QuickSale::Save(SharedDatabase(), payment, 0, totals, lines);
    EXPECT_EQ(cli(QStringLiteral("SELECT Amount FROM Payments")), QStringLiteral("-1.2"));
    EXPECT_EQ(cli(QStringLiteral("SELECT Subtotal, Tax, Taxable FROM QuickSales")), QStringLiteral("-1.2|0|0"));
    EXPECT_EQ(cli(QStringLiteral("SELECT Quantity, Price FROM QuickSalesItems")), QStringLiteral("10|-1.2"));
    // A taxed refund negates its tax as well.
    const QuickSale::Totals taxed = totalsOf({{501, 100, 1200, 1200}}, 1);
    payment.amount = -Money::fromCents(taxed.total());
    QuickSale::Save(SharedDatabase(), payment, 1, taxed, {{501, 100, 1200, 1200}});
    EXPECT_EQ(cli(QStringLiteral("SELECT Subtotal, Tax, Taxable FROM QuickSales WHERE TaxID = 1")),
              QStringLiteral("-12|-0.75|-12"));
}

// The sums the next posting stores of the period (the quick sales' subtotal,
// and the payments) are held to the largest amount when a sale is taken: at
// the bound it is taken, a cent past it is refused by name with nothing
// written, and a refund (which brings them nearer) is taken.
TEST_F(QuickSaleTest, ASaleThatWouldTakeThePeriodsSumsPastTheLargestIsRefusedByName)
{
    const QString past = QStringLiteral("\"%1\" cannot be more than 100,000,000,000.00, the largest amount it holds.");
    const QString subtotal = past.arg(QStringLiteral("Posting Quick Sale Subtotal"));
    const QString payments = past.arg(QStringLiteral("Posting All Payments"));
    const struct
    {
        const char *price;
        bool refund;
        QString refused;
        const char *sums; // the period's quick sales and payments afterwards
    } sales[] = {
        {"60000000000.00", false, QString(), "60000000000.00|60000000000.00"},
        {"60000000000.00", false, subtotal, "60000000000.00|60000000000.00"},
        {"40000000000.00", false, QString(), "100000000000.00|100000000000.00"},
        {"0.01", false, subtotal, "100000000000.00|100000000000.00"},
        {"0.01", true, QString(), "99999999999.99|99999999999.99"},
        // A payment on account of 0.01 beside them: the sale's cent passes
        // the payments, not the quick sales.
        {"0.01", false, payments, "99999999999.99|100000000000.00"},
    };
    for (const auto &sale : sales) {
        SCOPED_TRACE(sale.price);
        const qint64 cents = money(sale.price).units() / Money::kUnitsPerCent;
        const QList<Line> lines = {{501, 1, cents * 100, cents}};
        const QuickSale::Totals totals = totalsOf(lines, 0);
        NewPayment payment;
        payment.date = GetTodayForTest();
        payment.amount = Money::fromCents(sale.refund ? -totals.total() : totals.total());
        payment.cusNo = 31;
        payment.paidBy = 1;
        if (sale.refused == payments)
            exec(QStringLiteral("INSERT INTO Payments ([Date], Amount, CusNo, PayGroup, PostingNo) VALUES (#6/12/2024#, "
                                "0.01, 40, 2, 0)"));
        const QString before = cli(QStringLiteral("SELECT count(*) FROM QuickSalesItems"));
        const QuickSale::Saved saved = QuickSale::Save(SharedDatabase(), payment, 0, totals, lines);
        EXPECT_EQ(saved.refused, sale.refused);
        EXPECT_EQ(saved.qSaleId == 0, !sale.refused.isEmpty());
        if (!sale.refused.isEmpty())
            EXPECT_EQ(cli(QStringLiteral("SELECT count(*) FROM QuickSalesItems")), before);
        EXPECT_EQ(cli(QStringLiteral("SELECT printf('%.2f|', (SELECT Sum(Subtotal) FROM QuickSales)) || printf('%.2f', "
                                     "(SELECT Sum(Amount) FROM Payments))")),
                  QLatin1String(sale.sums));
    }

    // The counter's window says so and keeps the sale on screen.
    fakeDeposit("0", 1);
    onDialog<CQuickSale>([&](CQuickSale &d) {
        d.taxCombo()->setCurrentIndex(d.taxCombo()->findData(0));
        typeText(d, 0, CQuickSale::ColQuantity, "1");
        type(d, 0, CQuickSale::ColService, 501);
        typeText(d, 0, CQuickSale::ColPrice, "5.00");
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), subtotal);
        EXPECT_TRUE(d.isVisible());
        prompts().answer(platform::IDYES);
        d.SendCommand(2);
        return d.result();
    });
    quickSaleRunner()();
    // Taken: the first sale, the 40,000,000,000.00 and the refund; the
    // window's sale was refused.
    EXPECT_EQ(cli(QStringLiteral("SELECT count(*) FROM QuickSales")), QStringLiteral("3"));
}

TEST_F(QuickSaleTest, AFailedItemRowLeavesPaymentsAndSalesAsTheyWere)
{
    // One sale already on file, so that "as they were" is not just "empty".
    const QList<Line> first = {{501, 1, 1200, 12}};
    NewPayment payment;
    payment.date = GetTodayForTest();
    payment.amount = Money::fromCents(12);
    payment.cusNo = 31;
    payment.paidBy = 1;
    QuickSale::Save(SharedDatabase(), payment, 0, totalsOf(first, 0), first);
    SharedDatabase().close();
    cli(QStringLiteral("CREATE TRIGGER fail_second AFTER INSERT ON QuickSalesItems WHEN NEW.SerNo = 502 "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    SharedDatabase().open(databasePath());
    const QString before = cli(QStringLiteral(".dump"));

    int deposits = 0;
    fakeDeposit("30.00", 1, &deposits);
    onDialog<CQuickSale>([&](CQuickSale &d) {
        type(d, 0, CQuickSale::ColQuantity, 2);
        type(d, 0, CQuickSale::ColService, 501);
        prompts().answer(platform::IDOK); // the service's reminder
        type(d, 1, CQuickSale::ColQuantity, 1);
        type(d, 1, CQuickSale::ColService, 502);
        prompts().answer(platform::IDOK); // the failure
        d.SendCommand(1);
        EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot Save:"))) << prompts().lastText().toStdString();
        EXPECT_TRUE(d.isVisible()); // the sale stays on screen to try again
        EXPECT_EQ(cli(QStringLiteral(".dump")), before);
        // A second OK takes the money again only because the first was not kept.
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(cli(QStringLiteral(".dump")), before);
        prompts().answer(platform::IDYES);
        d.SendCommand(2);
        return d.result();
    });
    quickSaleRunner()();
    EXPECT_EQ(deposits, 2);
    EXPECT_EQ(cli(QStringLiteral("SELECT count(*) FROM Payments")), QStringLiteral("1"));
    EXPECT_EQ(cli(QStringLiteral("SELECT count(*) FROM QuickSales")), QStringLiteral("1"));
}

TEST_F(QuickSaleTest, TheDialogPricesRowsTotalsThemAndTakesTheMoney)
{
    fakeDeposit("30.00", 30330);
    int receipts = 0;
    GetJobHooks().printPaymentReceipt = [&](const ReceiptData &receipt, QWidget *) {
        ++receipts;
        EXPECT_TRUE(receipt.quickSale);
        ASSERT_GE(receipt.rows.size(), 4);
        EXPECT_EQ(receipt.rows.at(1).description, QStringLiteral("Lamination"));
        EXPECT_EQ(receipt.rows.at(2).priceValue, Money::fromCents(12500));
        EXPECT_EQ(receipt.subtotal, Money::fromCents(14136));
        EXPECT_EQ(receipt.tax, Money());
    };
    onDialog<CQuickSale>([&](CQuickSale &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Quick Sale"));
        EXPECT_EQ(d.m_nTaxCode, 1); // the walk-in customer's
        EXPECT_EQ(d.taxCombo()->currentText(), QStringLiteral("State 6.25%"));
        // The pick list holds the active services of the quick-sale category.
        d.m_wndGrid.SetCellValue(9, CQuickSale::ColService, 502);
        EXPECT_EQ(d.m_wndGrid.GetCellText(9, CQuickSale::ColService), QStringLiteral("Lamination"));
        d.m_wndGrid.SetCellValue(9, CQuickSale::ColService, 504);
        EXPECT_EQ(d.m_wndGrid.GetCellText(9, CQuickSale::ColService), QString());
        d.m_wndGrid.SetCellValue(9, CQuickSale::ColService, 0);
        type(d, 0, CQuickSale::ColQuantity, 3);
        type(d, 0, CQuickSale::ColService, 501);
        EXPECT_EQ(d.m_wndGrid.GetCellValue(0, CQuickSale::ColUnitPrice), 1200);
        EXPECT_EQ(d.m_wndGrid.GetCellValue(0, CQuickSale::ColPrice), 36);
        type(d, 1, CQuickSale::ColQuantity, 2);
        prompts().answer(platform::IDOK);
        type(d, 1, CQuickSale::ColService, 502);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Ask which side"));
        EXPECT_EQ(d.m_wndGrid.GetCellValue(1, CQuickSale::ColUnitPrice), 30000);
        type(d, 2, CQuickSale::ColQuantity, 2500);
        type(d, 2, CQuickSale::ColService, 503);
        EXPECT_EQ(d.m_wndGrid.GetCellValue(2, CQuickSale::ColUnitPrice), 500);
        EXPECT_EQ(d.m_wndGrid.GetCellValue(2, CQuickSale::ColPrice), 12500);
        // A typed price gives the unit price back.
        type(d, 3, CQuickSale::ColQuantity, 3);
        type(d, 3, CQuickSale::ColService, 501);
        type(d, 3, CQuickSale::ColPrice, 1000);
        EXPECT_EQ(d.m_wndGrid.GetCellValue(3, CQuickSale::ColUnitPrice), 33333);
        EXPECT_EQ(d.m_totals.subtotal, 36 + 600 + 12500 + 1000);
        EXPECT_EQ(d.m_wndGrid2.GetCellValue(0, 1), 14136);
        EXPECT_EQ(d.m_wndGrid2.GetCellValue(1, 1), 884); // 6.25 % of 141.36 = 8.835
        EXPECT_EQ(d.m_wndGrid2.GetCellValue(2, 1), 15020);
        EXPECT_EQ(d.m_wndGrid2.GetCellText(2, 0), QStringLiteral("Total"));
        snapshot(d, QStringLiteral("quick_sale"));
        // No tax: the total is the subtotal.
        d.taxCombo()->setCurrentIndex(d.taxCombo()->findData(0));
        EXPECT_EQ(d.m_wndGrid2.GetCellValue(1, 1), 0);
        EXPECT_EQ(d.m_wndGrid2.GetCellValue(2, 1), 14136);
        d.SendCommand(1);
        return d.result();
    });
    quickSaleRunner()();
    EXPECT_EQ(receipts, 1);
    EXPECT_EQ(cli(QStringLiteral("SELECT Subtotal, Tax, TaxID FROM QuickSales")), QStringLiteral("141.36|0|0"));
    EXPECT_EQ(cli(QStringLiteral("SELECT SerNo, Quantity, Price FROM QuickSalesItems ORDER BY QItemID")),
              QStringLiteral("501|3|0.36\n502|2|6\n503|2500|125\n501|3|10"));
    EXPECT_EQ(cli(QStringLiteral("SELECT Amount FROM Payments")), QStringLiteral("141.36"));
}

// Typed in the window: prices past 32 bits are kept exactly (a 32-bit cell
// showed 300,000.00 for one as -129,496.7296 each and repriced two of them at
// 258,993.46); an amount past what the sale's money fields hold is refused,
// naming the field and the largest amount, and the row stays as it was.
TEST_F(QuickSaleTest, AmountsPast32BitsAreKeptInTheWindowAndPastTheFieldsRefused)
{
    fakeDeposit("0", 1);
    const QString tooLarge = QStringLiteral("\"%1\" cannot be more than 100,000,000,000.00, the largest amount it "
                                            "holds.");
    onDialog<CQuickSale>([&](CQuickSale &d) {
        d.taxCombo()->setCurrentIndex(d.taxCombo()->findData(0));
        const auto value = [&](int row, int column) { return d.m_wndGrid.GetCellValue(row, column); };
        const auto shown = [&](int row, int column) { return d.m_wndGrid.GetShownText(row, column); };
        for (int row = 0; row < 5; ++row) {
            typeText(d, row, CQuickSale::ColQuantity, "1");
            type(d, row, CQuickSale::ColService, 501);
        }
        // 300,000.00 for one: 300,000.0000 each; two of them 600,000.00.
        typeText(d, 0, CQuickSale::ColPrice, "300000");
        EXPECT_EQ(value(0, CQuickSale::ColUnitPrice), 3000000000LL);
        EXPECT_EQ(shown(0, CQuickSale::ColUnitPrice), QStringLiteral("300000.0000"));
        typeText(d, 0, CQuickSale::ColQuantity, "2");
        EXPECT_EQ(value(0, CQuickSale::ColPrice), 60000000);
        EXPECT_EQ(shown(0, CQuickSale::ColPrice), QStringLiteral("600000.00"));
        // 214,748.37 each, and a price of 21,474,836.48.
        typeText(d, 1, CQuickSale::ColUnitPrice, "214748.37");
        EXPECT_EQ(value(1, CQuickSale::ColPrice), 21474837);
        typeText(d, 2, CQuickSale::ColPrice, "21474836.48");
        EXPECT_EQ(value(2, CQuickSale::ColPrice), 2147483648LL);
        EXPECT_EQ(shown(2, CQuickSale::ColUnitPrice), QStringLiteral("21474836.4800"));
        // 50,000,000,000.0001 each is kept; three of them would pass the largest price.
        typeText(d, 3, CQuickSale::ColUnitPrice, "50000000000.0001");
        EXPECT_EQ(value(3, CQuickSale::ColPrice), 5000000000000LL);
        prompts().answer(platform::IDOK);
        typeText(d, 3, CQuickSale::ColQuantity, "3");
        EXPECT_EQ(prompts().lastText(), tooLarge.arg(QStringLiteral("Price")));
        EXPECT_EQ(value(3, CQuickSale::ColQuantity), 1);
        EXPECT_EQ(value(3, CQuickSale::ColPrice), 5000000000000LL);
        // A price past it, and one that would take the subtotal past it.
        prompts().answer(platform::IDOK);
        typeText(d, 4, CQuickSale::ColPrice, "100000000000.01");
        EXPECT_EQ(prompts().lastText(), tooLarge.arg(QStringLiteral("Price")));
        prompts().answer(platform::IDOK);
        typeText(d, 4, CQuickSale::ColPrice, "50000000000");
        EXPECT_EQ(prompts().lastText(), tooLarge.arg(QStringLiteral("Subtotal")));
        EXPECT_EQ(value(4, CQuickSale::ColPrice), 12); // the service's 0.12, as before
        type(d, 4, CQuickSale::ColService, 0);
        typeText(d, 4, CQuickSale::ColPrice, "0");
        EXPECT_EQ(d.m_totals.subtotal, 60000000LL + 21474837 + 2147483648LL + 5000000000000LL);
        EXPECT_EQ(d.m_wndGrid2.GetShownText(2, 1), QStringLiteral("50022289584.85"));
        d.SendCommand(1);
        return d.result();
    });
    quickSaleRunner()();
    EXPECT_EQ(cli(QStringLiteral("SELECT Quantity, printf('%.2f', Price) FROM QuickSalesItems ORDER BY QItemID")),
              QStringLiteral("2|600000.00\n1|214748.37\n1|21474836.48\n1|50000000000.00"));
    EXPECT_EQ(cli(QStringLiteral("SELECT printf('%.2f', Subtotal) FROM QuickSales")), QStringLiteral("50022289584.85"));
    EXPECT_EQ(cli(QStringLiteral("SELECT printf('%.2f', Amount) FROM Payments")), QStringLiteral("50022289584.85"));
}

// Keys typed into a row of 3 at 0.12 each (0.36): each key shows as typed;
// the whole text is then kept as meant, or refused naming the column with the
// row as it was (a quantity "2.5" was saved as 25, "-5" as 5). What is saved
// is what the row shows.
TEST_F(QuickSaleTest, TypedCellsShowEveryKeyAndAreKeptWholeOrRefusedByName)
{
    struct Case
    {
        int column;
        const char *typed;
        const char *refusal; // null: kept
        const char *saved;   // the row saved: quantity|price
    } cases[] = {
        {CQuickSale::ColQuantity, "2.5", "Quantity: Please enter an integer.", "3|0.36"},
        {CQuickSale::ColQuantity, "-5", "Quantity: Please enter a number of 0 or more.", "3|0.36"},
        {CQuickSale::ColQuantity, "1e3", nullptr, "1000|120"},
        {CQuickSale::ColQuantity, "1,000", nullptr, "1000|120"},
        {CQuickSale::ColUnitPrice, "(5.00)", "Price/Each: Please enter a currency.", "3|0.36"},
        {CQuickSale::ColUnitPrice, "-5", "Price/Each: Please enter a number of 0 or more.", "3|0.36"},
        {CQuickSale::ColUnitPrice, "1e1", nullptr, "3|30"},
        {CQuickSale::ColPrice, "(5.00)", "Price: Please enter a currency.", "3|0.36"},
        {CQuickSale::ColPrice, "-5", "Price: Please enter a number of 0 or more.", "3|0.36"},
        {CQuickSale::ColPrice, "5.001", "Price: Please enter an amount with at most 2 decimals.", "3|0.36"},
        {CQuickSale::ColPrice, "1e3", nullptr, "3|1000"},
        // amounts as every money field reads them
        {CQuickSale::ColUnitPrice, "$5,000", nullptr, "3|15000"},
        {CQuickSale::ColUnitPrice, "$0.1234", nullptr, "3|0.37"},
        {CQuickSale::ColPrice, "$5,000", nullptr, "3|5000"},
        {CQuickSale::ColPrice, "$5.001", "Price: Please enter an amount with at most 2 decimals.", "3|0.36"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + " \"" + c.typed + "\"");
        fakeDeposit("0", 1);
        onDialog<CQuickSale>([&](CQuickSale &d) {
            d.taxCombo()->setCurrentIndex(d.taxCombo()->findData(0));
            type(d, 0, CQuickSale::ColQuantity, 3);
            type(d, 0, CQuickSale::ColService, 501);
            const QString before = d.m_wndGrid.GetShownText(0, c.column);
            prompts().clear();
            prompts().answer(platform::IDOK);
            d.m_wndGrid.EditCell(0, c.column);
            QWidget *editor = d.m_wndGrid.editor();
            EXPECT_EQ(editor, d.m_wndGrid.typedEditor());
            d.m_wndGrid.typedEditor()->selectAll();
            QTest::keyClicks(editor, QString::fromLatin1(c.typed));
            EXPECT_EQ(d.m_wndGrid.typedEditor()->text(), QString::fromLatin1(c.typed));
            QTest::keyClick(editor, Qt::Key_Tab);
            if (c.refusal) {
                EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(c.refusal)});
                EXPECT_EQ(d.m_wndGrid.GetShownText(0, c.column), before);
            } else {
                EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(u'|').toStdString();
            }
            d.SendCommand(1);
            return d.result();
        });
        quickSaleRunner()();
        EXPECT_EQ(cli(QStringLiteral("SELECT Quantity, Price FROM QuickSalesItems")), QString::fromLatin1(c.saved));
        exec(QStringLiteral("DELETE FROM QuickSalesItems"));
    }
}

TEST_F(QuickSaleTest, NothingToSellStaysOpenAndCancellingASaleAsks)
{
    int deposits = 0;
    fakeDeposit("10.00", 2, &deposits);
    onDialog<CQuickSale>([&](CQuickSale &d) {
        d.SendCommand(1); // a total of 0: nothing happens
        EXPECT_EQ(deposits, 0);
        type(d, 0, CQuickSale::ColQuantity, 1);
        type(d, 0, CQuickSale::ColService, 501);
        d.SendCommand(1); // the payment cancelled: the sale stays
        EXPECT_EQ(deposits, 1);
        EXPECT_TRUE(d.isVisible());
        prompts().answer(platform::IDNO);
        d.SendCommand(2);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Cancel the Quick Sale?"));
        EXPECT_TRUE(d.isVisible());
        prompts().answer(platform::IDYES);
        d.SendCommand(2);
        return d.result();
    });
    quickSaleRunner()();
    EXPECT_EQ(cli(QStringLiteral("SELECT count(*) FROM Payments")), QStringLiteral("0"));
    // Without the right to sell, the dialog never shows.
    usePasswords();
    exec(QStringLiteral("UPDATE Passwords SET [Level] = 3 WHERE [No] = 61"));
    app->setDataEntryDialog([](QString &, int, const QString &, const QString &, const QString &) { return 2; });
    quickSaleRunner()();
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

} // namespace
