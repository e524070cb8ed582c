#include "JobTablesFixture.h"

#include "data/CJobSet.h"

#include <algorithm>
#include <cstdint>
#include <random>

using platform::IDNO;
using platform::IDYES;

namespace {

Money units(std::int64_t n)
{
    return Money::fromUnits(n);
}

// --- Worked examples of the money rules, on a job in memory ---------------------

enum class Step { Recalc, CalcDiscount, CalcCommission };

struct MoneyExample
{
    const char *name;
    Step step;
    const char *subtotal, *discount, *shipping, *postage, *tax, *cost;
    char creator;
    int commType;
    qint32 discountRate, commissionRate;
    // expected
    const char *xDiscount, *xShipping, *xPostage, *xCommission, *xTotal, *xBalance;
    qint32 xDiscountRate;
};

void PrintTo(const MoneyExample &e, std::ostream *os)
{
    *os << e.name;
}

class MoneyExamples : public ::testing::TestWithParam<MoneyExample>
{
};

TEST_P(MoneyExamples, GiveTheStatedAmounts)
{
    const MoneyExample &e = GetParam();
    auto m = [](const char *text) { return Money::fromText(QString::fromLatin1(text)); };
    CJobSet job;
    job.m_Subtotal = m(e.subtotal);
    job.m_Discount = m(e.discount);
    job.m_Shipping = m(e.shipping);
    job.m_Postage = m(e.postage);
    job.m_Tax = m(e.tax);
    job.m_Cost = m(e.cost);
    job.m_Creator = quint8(e.creator);
    job.m_CommType = quint8(e.commType);
    job.m_DiscountRate = e.discountRate;
    job.m_CommissionRate = e.commissionRate;
    switch (e.step) {
    case Step::Recalc: job.RecalcTotals(false); break;
    case Step::CalcDiscount: job.CalcDiscount(); break;
    case Step::CalcCommission: job.CalcCommission(); break;
    }
    EXPECT_EQ(job.m_Discount, m(e.xDiscount)) << job.m_Discount.toPlainText().toStdString();
    EXPECT_EQ(job.m_DiscountRate, e.xDiscountRate);
    EXPECT_EQ(job.m_Shipping, m(e.xShipping));
    EXPECT_EQ(job.m_Postage, m(e.xPostage));
    EXPECT_EQ(job.m_Commission, m(e.xCommission)) << job.m_Commission.toPlainText().toStdString();
    if (e.step == Step::Recalc) {
        EXPECT_EQ(job.m_TotalAmount, m(e.xTotal)) << job.m_TotalAmount.toPlainText().toStdString();
        EXPECT_EQ(job.m_Balance, m(e.xBalance));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, MoneyExamples,
    ::testing::Values(
        // A discount larger than the subtotal is cut to it, at 100 %.
        MoneyExample{"DiscountCutToSubtotal", Step::Recalc, "100", "-150", "0", "0", "0", "0", 0, 0, 0, 0,
                     "-100", "0", "0", "0", "0", "0", 10000},
        // The marker subtotal is priced but charges nothing.
        MoneyExample{"MarkerSubtotal", Step::Recalc, "0.0001", "0", "5", "2", "0.5", "0", 0, 0, 0, 0, "0", "5",
                     "2", "0", "7.5", "7.5", 0},
        // A credit reverses every sign.
        MoneyExample{"CreditReversesSigns", Step::Recalc, "-100", "-10", "5", "2", "0", "0", 0, 0, 0, 0, "10",
                     "-5", "-2", "0", "-97", "-97", 1000},
        // A credit invoice and a credited invoice owe nothing.
        MoneyExample{"CreditInvoiceOwesNothing", Step::Recalc, "-50", "0", "5", "0", "0", "0", 'c', 0, 0, 0, "0",
                     "-5", "0", "0", "-55", "0", 0},
        MoneyExample{"CreditedInvoiceOwesNothing", Step::Recalc, "80", "0", "0", "0", "0", "0", 'b', 0, 0, 0, "0",
                     "0", "0", "0", "80", "0", 0},
        // The discount from its rate, rounded to the cent.
        MoneyExample{"DiscountFromRate", Step::CalcDiscount, "33.33", "0", "0", "0", "0", "0", 0, 0, 1250, 0,
                     "-4.17", "0", "0", "0", "0", "0", 1250},
        // 2.5 % of 33.33 is 0.83325: 0.83.
        MoneyExample{"CommissionRoundsToCents", Step::CalcCommission, "33.33", "0", "0", "0", "0", "0", 0, 0, 0,
                     250, "0", "0", "0", "0.83", "0", "0", 0},
        // On the margin: 100 - 10 - 95 is below 0 and pays nothing.
        MoneyExample{"NegativeMarginPaysNothing", Step::CalcCommission, "100", "-10", "0", "0", "0", "95", 0, 1, 0,
                     1000, "-10", "0", "0", "0", "0", "0", 0},
        // On the margin: 10 % of 100 - 10 - 60.
        MoneyExample{"MarginPaysItsShare", Step::CalcCommission, "100", "-10", "0", "0", "0", "60", 0, 1, 0, 1000,
                     "-10", "0", "0", "3", "0", "0", 0},
        // A credit invoice's margin is never positive.
        MoneyExample{"CreditMarginNeverPositive", Step::CalcCommission, "-50", "0", "0", "0", "0", "-100", 'c', 1,
                     0, 1000, "0", "0", "0", "0", "0", "0", 0},
        // ... and a negative one takes its commission back: 10 % of
        // -100 + 10 - (-40) = -50.
        MoneyExample{"CreditMarginTakesCommissionBack", Step::CalcCommission, "-100", "10", "0", "0", "0", "-40", 'c',
                     1, 0, 1000, "10", "0", "0", "-5", "0", "0", 0},
        // A credit invoice on the subtotal: 2.5 % of -33.33.
        MoneyExample{"CreditCommissionOnTheSubtotal", Step::CalcCommission, "-33.33", "0", "0", "0", "0", "0", 'c', 0,
                     0, 250, "0", "0", "0", "-0.83", "0", "0", 0}),
    [](const ::testing::TestParamInfo<MoneyExample> &info) { return std::string(info.param.name); });

// --- An independent model of the money rules, in exact integers ------------------

// The amounts of a job in ten-thousandths, in the order of kMembers.
enum { Sub, Disc, Ship, Post, Tax, Tax2, Taxable, Taxable2, Late, Paid, Write, Comm, Cost, kAmounts };
Money CJobSet::*const kMembers[kAmounts] = {
    &CJobSet::m_Subtotal, &CJobSet::m_Discount, &CJobSet::m_Shipping, &CJobSet::m_Postage,
    &CJobSet::m_Tax,      &CJobSet::m_Tax2,     &CJobSet::m_Taxable,  &CJobSet::m_Taxable2,
    &CJobSet::m_Latefee,  &CJobSet::m_Paid,     &CJobSet::m_Writeoff, &CJobSet::m_Commission,
    &CJobSet::m_Cost};

struct ModelJob
{
    std::int64_t a[kAmounts] = {};
    std::int64_t total = 0, balance = 0, discountRate = 0, commissionRate = 0;
    int creator = 0, commType = 0;
};

std::int64_t absolute(std::int64_t v)
{
    return v < 0 ? -v : v;
}

// share = |amount| x 10000 / total in hundredths of a percent, half away
// from zero; above 100 % the share is 10000 and the amount the total's size
// with its own sign.
void modelShare(std::int64_t total, std::int64_t &amount, std::int64_t &share)
{
    if (total == 0)
        return;
    const __int128 n = __int128(absolute(amount)) * 10000;
    const __int128 d = absolute(total);
    share = std::int64_t((2 * n + d) / (2 * d));
    if (share > 10000) {
        share = 10000;
        amount = amount < 0 ? -absolute(total) : absolute(total);
    }
}

// rate (hundredths of a percent, held within 100 %) of base in whole cents:
// the exact amount in cents plus 0.5000001 away from zero, cut toward zero.
std::int64_t modelPercent(std::int64_t base, std::int64_t rate)
{
    rate = std::clamp<std::int64_t>(rate, -10000, 10000);
    if (rate == 0 || absolute(base) <= 1)
        return 0;
    const __int128 scaled = __int128(base) * rate * 10; // cents x 10^7
    const __int128 shifted = scaled >= 0 ? scaled + 5000001 : scaled - 5000001;
    return std::int64_t(shifted / 10000000) * 100;
}

std::int64_t modelCommissionBase(const ModelJob &j)
{
    std::int64_t base = j.a[Sub] + j.a[Disc];
    if (j.commType == 1) {
        base -= j.a[Cost];
        if (j.creator == 'c' ? base > 0 : base < 0)
            base = 0;
    }
    return base;
}

void modelRecalc(ModelJob &j)
{
    if (j.a[Sub] == 0) {
        for (int i : {Taxable, Taxable2, Disc, Tax, Tax2, Late, Write, Comm}) // no tax rate
            j.a[i] = 0;
        j.discountRate = j.commissionRate = 0;
    } else {
        const bool positive = j.a[Sub] >= 0;
        for (int i : {Ship, Post, Tax, Tax2, Taxable, Taxable2, Late, Comm, Disc, Write}) {
            const bool wantPositive = (i == Disc || i == Write) ? !positive : positive;
            j.a[i] = wantPositive ? absolute(j.a[i]) : -absolute(j.a[i]);
        }
        modelShare(j.a[Sub], j.a[Disc], j.discountRate);
        modelShare(modelCommissionBase(j), j.a[Comm], j.commissionRate);
    }
    const std::int64_t subtotal = absolute(j.a[Sub]) == 1 ? 0 : j.a[Sub];
    j.total = subtotal + j.a[Disc] + j.a[Ship] + j.a[Post] + j.a[Tax];
    j.balance = (j.creator == 'b' || j.creator == 'c') ? 0 : j.total + j.a[Late] + j.a[Paid] + j.a[Write];
}

// Zero, the marker, whole cents and any amount up to a million.
ModelJob randomJob(std::mt19937_64 &rng)
{
    auto pick = [&rng](int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng); };
    ModelJob j;
    for (std::int64_t &v : j.a) {
        switch (pick(0, 9)) {
        case 0: v = 0; break;
        case 1: v = pick(0, 1) ? 1 : -1; break;
        case 2: v = std::int64_t(pick(-999, 999)) * 100; break;
        default: v = std::uniform_int_distribution<std::int64_t>(-10'000'000'000LL, 10'000'000'000LL)(rng);
        }
    }
    const int creators[] = {0, 0, 0, 'b', 'c'};
    j.creator = creators[pick(0, 4)];
    j.commType = pick(0, 1);
    j.discountRate = pick(-12000, 20000);
    j.commissionRate = pick(-12000, 20000);
    return j;
}

void load(CJobSet &job, const ModelJob &j)
{
    for (int i = 0; i < kAmounts; ++i)
        job.*kMembers[i] = units(j.a[i]);
    job.m_Creator = quint8(j.creator);
    job.m_CommType = quint8(j.commType);
    job.m_DiscountRate = qint32(j.discountRate);
    job.m_CommissionRate = qint32(j.commissionRate);
}

TEST(JobMoneyModel, RecalculationAgreesWithTheRules)
{
    std::mt19937_64 rng(20240615);
    for (int n = 0; n < 3000 && !HasFailure(); ++n) {
        ModelJob j = randomJob(rng);
        CJobSet job;
        load(job, j);
        job.RecalcTotals(true);
        modelRecalc(j);
        for (int i = 0; i < kAmounts; ++i)
            EXPECT_EQ((job.*kMembers[i]).units(), j.a[i]) << "case " << n << " amount " << i;
        EXPECT_EQ(job.m_DiscountRate, j.discountRate) << "case " << n;
        EXPECT_EQ(job.m_CommissionRate, j.commissionRate) << "case " << n;
        EXPECT_EQ(job.m_TotalAmount.units(), j.total) << "case " << n;
        EXPECT_EQ(job.m_Balance.units(), j.balance) << "case " << n;
        EXPECT_EQ(job.m_StoredBalance.units(), j.balance) << "case " << n;
    }
}

TEST(JobMoneyModel, DiscountAndCommissionFromRatesAgreeWithTheRules)
{
    std::mt19937_64 rng(7);
    for (int n = 0; n < 3000 && !HasFailure(); ++n) {
        ModelJob j = randomJob(rng);
        CJobSet job;
        load(job, j);
        job.CalcDiscount();
        j.a[Disc] = -modelPercent(j.a[Sub], j.discountRate);
        EXPECT_EQ(job.m_Discount.units(), j.a[Disc]) << "case " << n;
        job.CalcCommission();
        EXPECT_EQ(job.m_Commission.units(), modelPercent(modelCommissionBase(j), j.commissionRate)) << "case " << n;
    }
}

// --- The rules that read and write the database -----------------------------------

TEST_F(JobTablesTest, TaxableAmountFollowsTheDiscountShare)
{
    exec(QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent) VALUES (1, 'State', 82500)"));
    const qint32 id = addJob(0, 7, QStringLiteral("Subtotal, Discount, TaxNo, Shipping"),
                             QStringLiteral("100, -10, 1, 12"));
    addItem(id, 0, 1, QStringLiteral("Price, Bleed"), QStringLiteral("60, 0"));
    addItem(id, 0, 2, QStringLiteral("Price, Bleed"), QStringLiteral("40, 1"));      // tax exempt
    addItem(id, 0, 3, QStringLiteral("Price, Bleed"), QStringLiteral("0.0001, 0"));  // no charge
    addItem(id, 25, 1, QStringLiteral("Price, Bleed"), QStringLiteral("60, 0"));     // a service row

    CJobSet job;
    ASSERT_TRUE(job.FindById(id));
    EXPECT_EQ(job.m_DiscountRate, 1000);
    job.CalcSubtotal();
    EXPECT_EQ(job.m_Taxable, money("54"));
    EXPECT_EQ(job.m_Tax, money("4.46")); // 8.25 % of 54.00 = 4.455
    EXPECT_EQ(job.m_Taxable2, Money());
    job.CalcBalance();
    EXPECT_EQ(job.m_TotalAmount, money("106.46"));

    // The reduction is cut toward zero, never rounded: a third of -0.05 is
    // -0.016667, so 10.00 becomes 9.9834 (not 9.9833).
    const qint32 third = addJob(0, 8, QStringLiteral("Subtotal, Discount, TaxNo"), QStringLiteral("30, -0.05, 1"));
    addItem(third, 0, 1, QStringLiteral("Price, Bleed"), QStringLiteral("10, 0"));
    addItem(third, 0, 2, QStringLiteral("Price, Bleed"), QStringLiteral("20, 1"));
    CJobSet small;
    ASSERT_TRUE(small.FindById(third));
    small.CalcSubtotal();
    EXPECT_EQ(small.m_Taxable, money("9.9834"));

    // A credit counts its negative items: 60.00 credited of a taxable item
    // gives back 8.25 % of it, 4.95; the exempt item and the credit's own
    // no-charge marker add nothing.
    const qint32 credit = addJob(0, 9, QStringLiteral("Subtotal, TaxNo"), QStringLiteral("-100, 1"));
    addItem(credit, 0, 1, QStringLiteral("Price, Bleed"), QStringLiteral("-60, 0"));
    addItem(credit, 0, 2, QStringLiteral("Price, Bleed"), QStringLiteral("-40, 1"));
    addItem(credit, 0, 3, QStringLiteral("Price, Bleed"), QStringLiteral("-0.0001, 0"));
    CJobSet back;
    ASSERT_TRUE(back.FindById(credit));
    back.CalcSubtotal();
    EXPECT_EQ(back.m_Taxable, money("-60"));
    EXPECT_EQ(back.m_Tax, money("-4.95"));
    back.CalcBalance();
    EXPECT_EQ(back.m_TotalAmount, money("-104.95"));

    // A discount larger than the subtotal takes off the subtotal and no
    // more: nothing is left to tax (never a tax on a negative amount, made
    // positive), and a credit the same way round.
    const struct
    {
        const char *subtotal, *discount;
    } larger[] = {{"45.50", "-100"}, {"45.50", "-1000"}, {"45.50", "-45.51"}, {"-45.50", "100"}};
    qint32 jobNo = 10;
    for (const auto &row : larger) {
        SCOPED_TRACE(std::string(row.subtotal) + " " + row.discount);
        const QString subtotal = QString::fromLatin1(row.subtotal);
        const qint32 big = addJob(0, jobNo++, QStringLiteral("Subtotal, TaxNo"), subtotal + QStringLiteral(", 1"));
        addItem(big, 0, 1, QStringLiteral("Price, Bleed"), subtotal + QStringLiteral(", 0"));
        CJobSet over;
        ASSERT_TRUE(over.FindById(big));
        over.m_Discount = money(row.discount); // as the totals window takes a typed amount
        over.CalcSubtotal();
        EXPECT_EQ(over.m_Taxable, Money());
        EXPECT_EQ(over.m_Tax, Money());
        over.RecalcTotals(true);
        EXPECT_EQ(over.m_Discount, -money(row.subtotal));
        EXPECT_EQ(over.m_DiscountRate, 10000);
        EXPECT_EQ(over.m_Tax, Money());
        EXPECT_EQ(over.m_TotalAmount, Money());
        EXPECT_EQ(over.m_Balance, Money());
    }
    // A cent less than the subtotal: 0.01 left, 8.25 % of it is 0.00.
    const qint32 cent = addJob(0, 20, QStringLiteral("Subtotal, TaxNo"), QStringLiteral("45.50, 1"));
    addItem(cent, 0, 1, QStringLiteral("Price, Bleed"), QStringLiteral("45.50, 0"));
    CJobSet almost;
    ASSERT_TRUE(almost.FindById(cent));
    almost.m_Discount = money("-45.49");
    almost.CalcSubtotal();
    EXPECT_EQ(almost.m_Taxable, money("0.01"));
    EXPECT_EQ(almost.m_Tax, Money());
}

TEST_F(JobTablesTest, TotalsCheckSkipsTheMarkerAndReportsDiscrepancies)
{
    const qint32 id = addJob(0, 21, QStringLiteral("Subtotal, Cost"), QStringLiteral("100, 30"));
    const qint32 free = addItem(id, 0, 1, QStringLiteral("Price"), QStringLiteral("0.0001"));
    addItem(id, 0, 2, QStringLiteral("Price"), QStringLiteral("100"));
    addItem(id, 25, 2, QStringLiteral("Price, Cost"), QStringLiteral("100, 30"));
    addItem(id, 26, 1, QStringLiteral("Price, Cost"), QStringLiteral("-0.0001, 0.0001"));

    CJobSet job;
    ASSERT_TRUE(job.FindById(id));
    // The no-charge rows are priced and add nothing.
    EXPECT_FALSE(job.CheckTotals(QStringLiteral("\nPlease check.")));
    EXPECT_TRUE(prompts().shown().isEmpty());

    exec(QStringLiteral("UPDATE Items SET Price = 90 WHERE SerNo = 25"));
    EXPECT_TRUE(job.CheckTotals(QString()));
    EXPECT_TRUE(prompts().shown().isEmpty()); // collected by the caller, not shown
    prompts().answer(platform::IDOK);
    EXPECT_TRUE(job.CheckTotals(QStringLiteral("Fix it.")));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Order 21 has discrepancy:\n"
                                                   "\nSubtotal is not equal to Sum of Serv.Prices:\n"
                                                   "100.00 - 90.00 = 10.00\n\nFix it."));

    // A row priced 0 is not priced at all.
    exec(QStringLiteral("UPDATE Items SET Price = 0 WHERE ItemID = %1").arg(free));
    prompts().answer(platform::IDOK);
    EXPECT_TRUE(job.CheckTotals(QStringLiteral("!")));
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Order 21 has discrepancy:\n\n-> Job has a subtotal but one or more services are not "
                             "priced.\n!"));

    // Credit invoices are not examined.
    job.m_Creator = 'c';
    EXPECT_FALSE(job.CheckTotals(QStringLiteral("!")));
}

TEST_F(JobTablesTest, SavedBalanceIsNotReportedAgain)
{
    const qint32 id = addJob(0, 8, QStringLiteral("Subtotal, Shipping, Paid, Balance"),
                             QStringLiteral("100, 10, -20, 75.5"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id));
    EXPECT_EQ(job.m_Balance, money("90"));

    // Not being edited: the difference is only reported.
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(job.CheckBalance(2, QStringLiteral("(posting)")));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The balance of this job 8 has a discrepancy:\n\n"
                                                   "Balance in file: \t75.5000\nBalance calculated: \t90.0000\n\n"
                                                   "(posting)"));
    EXPECT_FALSE(job.CheckBalance(0, QString()));

    ASSERT_TRUE(job.SafeEdit());
    prompts().answer(IDNO);
    EXPECT_FALSE(job.CheckBalance(2, QString()));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Jobs")).toMoney(), money("75.5"));

    prompts().answer(IDYES);
    EXPECT_TRUE(job.CheckBalance(2, QString()));
    // The question, then the beep of the save.
    ASSERT_GE(prompts().shown().size(), 2);
    EXPECT_EQ(prompts().shown().last().kind, platform::PromptRecord::Kind::Beep);
    EXPECT_TRUE(prompts().shown().at(prompts().shown().size() - 2).text.endsWith(
        QStringLiteral("Save the calculated balance (recommended)?")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Jobs")).toMoney(), money("90"));
    const int shown = prompts().shown().size();
    EXPECT_TRUE(job.CheckBalance(2, QString()));
    EXPECT_EQ(prompts().shown().size(), shown);
}

} // namespace

// A job row inserted by a user's SQL or an import has its numbers and amounts
// Null. They count as 0 in every rule; saving the job writes what the rules
// changed and leaves untouched Nulls Null.
TEST_F(JobTablesTest, NullNumbersCountAsZeroAndStayNullWhenUntouched)
{
    exec(QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent) VALUES (1, 'State', 82500)"));
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, TaxNo) VALUES (0, 31, 1)"));
    const qint32 id = scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
    // An item row with only its keys, price and tax flag: the rest Null.
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, Price, Bleed) VALUES (%1, 0, 1, 40, 0)").arg(id));

    CJobSet job;
    ASSERT_TRUE(job.FindById(id));
    EXPECT_EQ(job.m_Subtotal, Money());
    EXPECT_EQ(job.m_Status, 0);
    EXPECT_EQ(job.m_CusNo, 0);
    EXPECT_EQ(job.m_TotalAmount, Money());
    EXPECT_EQ(job.m_Balance, Money());

    ASSERT_TRUE(job.SafeEdit());
    job.m_Title = QStringLiteral("Typed in later");
    job.m_Subtotal = money("40"); // as the pricing of the item sets it
    job.CalcSubtotal();
    EXPECT_EQ(job.m_Taxable, money("40"));
    EXPECT_EQ(job.m_Tax, money("3.30"));
    job.CalcBalance();
    EXPECT_EQ(job.m_TotalAmount, money("43.30"));
    EXPECT_EQ(job.m_Balance, money("43.30"));
    ASSERT_TRUE(job.SafeUpdate());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Subtotal FROM Jobs WHERE JobID = %1").arg(id)).toMoney(), money("40"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Jobs WHERE JobID = %1").arg(id)).toMoney(), money("43.30"));
    // Nothing computed them: still Null.
    EXPECT_TRUE(scalar(QStringLiteral("SELECT Postage FROM Jobs WHERE JobID = %1").arg(id)).isNull());
    EXPECT_TRUE(scalar(QStringLiteral("SELECT CusNo FROM Jobs WHERE JobID = %1").arg(id)).isNull());
    EXPECT_TRUE(scalar(QStringLiteral("SELECT PrintOption FROM Jobs WHERE JobID = %1").arg(id)).isNull());
}
