#include "CustomersFixture.h"

#include "controls/CXListCtrl.h"
#include "customers/CCompanySummary.h"
#include "customers/CCusSummary.h"
#include "customers/SummaryFigures.h"
#include "data/CXDaoSet.h"
#include "platform/Clock.h"

#include <QtCore/QLocale>

namespace {

const QDate kToday(2026, 6, 15);

class SummariesTest : public CustomersTest
{
protected:
    void SetUp() override
    {
        CustomersTest::SetUp();
        platform::Clock::setFixed(QDateTime(kToday, QTime(10, 0)));
        for (int no = 40; no <= 50; ++no)
            addCustomer(no, QStringLiteral("Customer %1").arg(no));
    }

    static QString jet(const QDate &d) { return QStringLiteral("#%1/%2/%3#").arg(d.month()).arg(d.day()).arg(d.year()); }

    // A posted invoice (history job).
    void invoice(int cusNo, const QDate &shipped, const QString &subtotal, const QString &balance = QStringLiteral("0"),
                 const QDate &due = kToday)
    {
        ++m_job;
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, DateIn, DateShipped, Subtotal, Discount, "
                            "Cost, Balance, DatePayDue) VALUES (%1, 3, %1, %2, %3, %3, %4, 0, 1, %5, %6)")
                 .arg(m_job)
                 .arg(cusNo)
                 .arg(jet(shipped), subtotal, balance, jet(due)));
    }
    void order(int cusNo, const QString &balance)
    {
        ++m_job;
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, CusNo, DateIn, Subtotal, Discount, Balance) "
                            "VALUES (%1, 0, %1, %2, %3, %4, 0, %4)")
                 .arg(m_job)
                 .arg(cusNo)
                 .arg(jet(kToday), balance));
    }
    // The OLE day number of a date, as the file stores it.
    static int ole(const QDate &d) { return int(QDate(1899, 12, 30).daysTo(d)); }

    int m_job = 1000;
};

} // namespace

TEST_F(SummariesTest, RankingFallsBackOnlyWhenThisYearsRankIsWorseThanLastYears)
{
    const QDate last(2025, 5, 1), now(2026, 3, 1);
    const std::pair<int, const char *> lastYear[] = {{41, "500"}, {42, "400"}, {40, "300"}, {43, "100"}, {45, "50"}};
    const std::pair<int, const char *> thisYear[] = {{41, "900"}, {42, "800"}, {43, "700"}, {44, "600"}, {40, "500"}};
    for (const auto &[no, amount] : lastYear)
        invoice(no, last, QString::fromLatin1(amount));
    for (const auto &[no, amount] : thisYear)
        invoice(no, now, QString::fromLatin1(amount));

    const QList<RankingYear> fell = CustomerRanking(40, 2026);
    ASSERT_EQ(fell.size(), 5);
    EXPECT_EQ(fell[0].rank, 5);
    EXPECT_EQ(fell[1].rank, 3);
    EXPECT_EQ(fell[1].netSale, Money::fromWhole(300));
    EXPECT_EQ(fell[2].rankText(), QStringLiteral("n/a"));
    EXPECT_TRUE(RankingFell(fell));
    EXPECT_FALSE(RankingFell(CustomerRanking(43, 2026))); // 4th, then 3rd
    EXPECT_FALSE(RankingFell(CustomerRanking(45, 2026))); // sales last year, none this year
    EXPECT_FALSE(RankingFell(CustomerRanking(44, 2026))); // first invoiced this year

    CCusSummary summary(nullptr);
    summary.m_nCusNo = 40;
    onDialog<CCusSummary>([](CCusSummary &d) {
        EXPECT_EQ(d.panel(0).colorSchemeHue(), 360);
        EXPECT_EQ(d.panelList(0).GetItemText(0, 1), QStringLiteral("5"));
        EXPECT_EQ(d.panelList(0).GetItemText(4, 1), QStringLiteral("n/a"));
        EXPECT_EQ(d.panelList(0).GetItemText(4, 2), QStringLiteral("0.00"));
        return press(d, 2);
    });
    summary.DoModal();
}

TEST_F(SummariesTest, CreditPositionInWholeCentsAgainstTheCli)
{
    invoice(50, kToday.addDays(-40), QStringLiteral("100"), QStringLiteral("100"), kToday.addDays(-1));
    invoice(50, kToday.addDays(-10), QStringLiteral("50"), QStringLiteral("50"), kToday);
    order(50, QStringLiteral("470.0099"));
    exec(QStringLiteral("UPDATE Customers SET CreditLimit = 500 WHERE CusNo = 50"));

    const CreditPosition p = ComputeCreditPosition(50);
    const int today = ole(kToday);
    const auto sum = [&](const QString &where) {
        return sqlite(QStringLiteral("SELECT CAST(ROUND(SUM(Balance) * 100) AS INTEGER) FROM Jobs WHERE Balance > "
                                  "0.0001 AND CusNo = 50 AND ") +
                   where)
            .toLongLong();
    };
    EXPECT_EQ(p.pastDue, 10000);
    EXPECT_EQ(p.current, 5000);
    EXPECT_EQ(p.inProgress, 47001); // rounded to the cent, as the statement prints it
    EXPECT_EQ(p.pastDue, sum(QStringLiteral("JobType = 3 AND DatePayDue < %1").arg(today)));
    EXPECT_EQ(p.current, sum(QStringLiteral("JobType = 3 AND DatePayDue >= %1").arg(today)));
    EXPECT_EQ(p.inProgress, sum(QStringLiteral("JobType = 0")));
    EXPECT_EQ(p.total, 62001);
    EXPECT_EQ(p.available, -12001);
    EXPECT_EQ(p.availableLabel(), QStringLiteral("Over Credit Limit"));

    for (int i = 1; i <= 12; ++i)
        exec(QStringLiteral("INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup) VALUES (%1, %2, %1, 50, "
                            "2)")
                 .arg(i)
                 .arg(jet(kToday.addDays(-i))));

    CCusSummary summary(nullptr);
    summary.m_nCusNo = 50;
    onDialog<CCusSummary>([](CCusSummary &d) {
        CXListCtrl &credit = d.panelList(4);
        EXPECT_EQ(credit.GetItemCount(), 8);
        const char *const rows[][2] = {{"In Progress", "470.01"},  {"A/R Current", "50.00"},
                                       {"A/R Past Due", "100.00"}, {"Less Credit", "0.00"},
                                       {"Total Balance", "620.01"}, {"", ""},
                                       {"Credit Limit", "500.00"}, {"Over Credit Limit", "-120.01"}};
        for (int r = 0; r < 8; ++r) {
            EXPECT_EQ(credit.GetItemText(r, 0), QString::fromLatin1(rows[r][0])) << r;
            EXPECT_EQ(credit.GetItemText(r, 1), QString::fromLatin1(rows[r][1])) << r;
        }
        EXPECT_EQ(d.panel(4).colorSchemeHue(), 360);
        EXPECT_EQ(d.panel(4).item().caption, QStringLiteral("Over Credit Limit"));
        EXPECT_EQ(d.panelList(2).GetItemCount(), 10);
        EXPECT_EQ(d.panelList(2).GetItemData(0), 0); // a list without key column
        EXPECT_EQ(d.panel(2).item().caption, QStringLiteral("Payments (last 10)"));
        EXPECT_EQ(d.panelList(3).GetItemCount(), 2); // aging: 0-30 and 31-60
        EXPECT_EQ(d.panel(0).colorSchemeHue(), 210);
        EXPECT_TRUE(d.chart().IsChartType(3003));
        d.SendCommand(3001);
        EXPECT_TRUE(d.chart().IsChartType(3001));
        EXPECT_EQ(d.chartRibbon().itemAt(d.chartRibbon().FindItem(3001)).state, 3);
        EXPECT_NE(d.chartRibbon().itemAt(d.chartRibbon().FindItem(3003)).state, 3);
        d.SendCommand(3003);
        snapshot(d, QStringLiteral("customer-summary"));
        return press(d, 2);
    });
    summary.DoModal();

    // The same figures without a list: the "Credit Info" grid.
    prompts().onDialog([](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Customer's"));
        return 2;
    });
    EXPECT_EQ(CCusSummary::FillCreditInfo(50, nullptr).available, -12001);

    // Customers the shop owes credit: it comes off what they owe, rounded to
    // the cent as every money text is (the statement prints the same
    // figure), and a total under a dollar below zero keeps its minus.
    // Customer 49 owes 100.00 past due against 100.0599 of credit (10,006
    // cents): 10,000 - 10,006 = -6 cents, six cents of credit available on no
    // limit. Customer 48 owes nothing against 0.0599 of credit. Customer 47
    // holds the credit at the largest amount; customer 46 a credit stored
    // past it by an older version, 699,999,999,999.93 as the file's double
    // holds it (699,999,999,999.9299 to the nearest ten-thousandth): it shows
    // as the statement prints it, .93, never .92.
    invoice(49, kToday.addDays(-40), QStringLiteral("100"), QStringLiteral("100"), kToday.addDays(-1));
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 100.0599 WHERE CusNo = 49"));
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 0.0599 WHERE CusNo = 48"));
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 100000000000 WHERE CusNo = 47"));
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 699999999999.9299 WHERE CusNo = 46"));
    const struct
    {
        int cusNo;
        qint64 lessCredit, total, available;
        const char *texts[8];
    } credits[] = {
        {49, -10006, -6, 6, {"0.00", "0.00", "100.00", "-100.06", "-0.06", "", "0.00", "0.06"}},
        {48, -6, -6, 6, {"0.00", "0.00", "0.00", "-0.06", "-0.06", "", "0.00", "0.06"}},
        {47, -10000000000000, -10000000000000, 10000000000000,
         {"0.00", "0.00", "0.00", "-100000000000.00", "-100000000000.00", "", "0.00", "100000000000.00"}},
        {46, -69999999999993, -69999999999993, 69999999999993,
         {"0.00", "0.00", "0.00", "-699999999999.93", "-699999999999.93", "", "0.00", "699999999999.93"}},
    };
    for (const auto &c : credits) {
        SCOPED_TRACE(c.cusNo);
        CXListCtrl list;
        const CreditPosition q = CCusSummary::FillCreditInfo(c.cusNo, &list);
        EXPECT_EQ(q.lessCredit, c.lessCredit);
        EXPECT_EQ(q.total, c.total);
        EXPECT_EQ(q.available, c.available);
        ASSERT_EQ(list.GetItemCount(), 8);
        for (int r = 0; r < 8; ++r)
            EXPECT_EQ(list.GetItemText(r, 1), QString::fromLatin1(c.texts[r])) << r;
        EXPECT_EQ(list.GetItemText(7, 0), QStringLiteral("Credit Available"));
    }
}

TEST_F(SummariesTest, AgingBucketsEndAtThirtySixtyAndNinetyDays)
{
    struct Case
    {
        int daysAgo;
        const char *bucket;
    };
    const Case cases[] = {{30, "0-30"}, {31, "31-60"}, {60, "31-60"}, {61, "61-90"}, {90, "61-90"}, {91, "91+"}};
    int cusNo = 40;
    for (const Case &c : cases) {
        invoice(cusNo, kToday.addDays(-c.daysAgo), QStringLiteral("10"), QStringLiteral("10"));
        CXDaoSet aging;
        aging.Open(CXDaoSet::dbOpenSnapshot, CustomerAgingSql(cusNo));
        ASSERT_FALSE(aging.IsEmptySet()) << c.daysAgo << " days";
        EXPECT_EQ(aging.GetFieldValue(0).toString(), QString::fromLatin1(c.bucket)) << c.daysAgo << " days";
        ++cusNo;
    }
}

TEST_F(SummariesTest, MonthlySalesStartIsAJetLiteralWhateverTheLocale)
{
    const QDate start = MonthlySalesStart(kToday);
    EXPECT_EQ(start, QDate(2023, 7, 1));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString sql = CustomerMonthlySalesSql(40, start);
    QLocale::setDefault(before);
    EXPECT_TRUE(sql.contains(QStringLiteral("Jobs.DateShipped >= #7/1/2023# "))) << sql.toStdString();

    invoice(40, QDate(2023, 6, 30), QStringLiteral("999")); // before the start: left out
    invoice(40, QDate(2023, 7, 1), QStringLiteral("100"));
    invoice(40, QDate(2026, 6, 1), QStringLiteral("300"));
    invoice(40, QDate(2026, 6, 2), QStringLiteral("200"));
    CCusSummary summary(nullptr);
    summary.m_nCusNo = 40;
    onDialog<CCusSummary>([](CCusSummary &d) {
        CXTable &t = d.table();
        EXPECT_EQ(t.GetDataRowCount(), 2);
        EXPECT_EQ(t.GetCellText(0, 0), QStringLiteral("2023/07"));
        EXPECT_EQ(t.GetCellText(1, 0), QStringLiteral("2026/06"));
        EXPECT_EQ(t.GetCellValue(1, 3), Money::fromWhole(500));
        return press(d, 2);
    });
    summary.DoModal();
}

TEST_F(SummariesTest, CompanySummaryCoversTheShop)
{
    for (int m = 0; m < 3; ++m)
        exec(QStringLiteral("INSERT INTO Payments (PayNo, [Date], Amount, CusNo, PayGroup) VALUES (%1, %2, 10, 40, 2)")
                 .arg(m + 1)
                 .arg(jet(kToday.addMonths(-m))));
    invoice(40, kToday.addDays(-5), QStringLiteral("80"), QStringLiteral("80"), kToday.addDays(20));
    invoice(41, kToday.addDays(-50), QStringLiteral("30"), QStringLiteral("30"), kToday.addDays(-20));
    order(42, QStringLiteral("25"));
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 15 WHERE CusNo = 43"));
    exec(QStringLiteral("UPDATE Jobs SET DateReorder = %1 WHERE CusNo = 40").arg(jet(kToday.addDays(60))));

    CCompanySummary summary(nullptr);
    onDialog<CCompanySummary>([](CCompanySummary &d) {
        EXPECT_EQ(d.panelList(0).GetItemCount(), 1);
        CXListCtrl &received = d.panelList(2);
        EXPECT_EQ(received.GetItemCount(), 3);
        EXPECT_TRUE(received.GetItemText(0, 0).startsWith(QStringLiteral("2026  06")));
        EXPECT_TRUE(received.GetItemText(2, 0).startsWith(QStringLiteral("2026  04")));
        CXListCtrl &total = d.panelList(3);
        EXPECT_EQ(total.GetItemCount(), 5);
        EXPECT_EQ(total.GetItemText(0, 1), QStringLiteral("25.00"));
        EXPECT_EQ(total.GetItemText(1, 1), QStringLiteral("80.00"));
        EXPECT_EQ(total.GetItemText(2, 1), QStringLiteral("30.00"));
        EXPECT_EQ(total.GetItemText(3, 1), QStringLiteral("-15.00"));
        EXPECT_EQ(total.GetItemText(4, 1), QStringLiteral("120.00"));
        snapshot(d, QStringLiteral("company-summary"));
        return press(d, 2);
    });
    summary.DoModal();
    EXPECT_EQ(summary.position().total, sqlite(QStringLiteral("SELECT CAST((SELECT SUM(Balance) FROM Jobs WHERE Balance > "
                                                           "0.0001) * 100 - (SELECT SUM(CreditDue) FROM Customers) * "
                                                           "100 AS INTEGER)"))
                                            .toLongLong());

    // With no invoice to reorder ahead, "Reorders Expected" is empty.
    exec(QStringLiteral("UPDATE Jobs SET DateReorder = %1").arg(jet(kToday.addDays(-1))));
    CCompanySummary again(nullptr);
    onDialog<CCompanySummary>([](CCompanySummary &d) {
        EXPECT_EQ(d.panelList(0).GetItemCount(), 0);
        return press(d, 2);
    });
    again.DoModal();

    // Payments Expected: the months still ahead, the nearest first, however
    // many months lie long past (those are the Total's "A/R Past Due"). An
    // invoice due today is expected still; one due yesterday is past due.
    for (int m = 1; m <= 8; ++m)
        invoice(44, kToday.addMonths(-12 - m), QStringLiteral("10"), QStringLiteral("10"), kToday.addMonths(-12 - m));
    invoice(45, kToday.addDays(-10), QStringLiteral("152.40"), QStringLiteral("152.40"), kToday.addMonths(3));
    invoice(46, kToday.addDays(-10), QStringLiteral("5"), QStringLiteral("5"), kToday);
    invoice(46, kToday.addDays(-10), QStringLiteral("7"), QStringLiteral("7"), kToday.addDays(-1));
    CCompanySummary expected(nullptr);
    onDialog<CCompanySummary>([](CCompanySummary &d) {
        CXListCtrl &list = d.panelList(1);
        QStringList rows;
        for (int r = 0; r < list.GetItemCount(); ++r)
            rows << list.GetItemText(r, 0) + QLatin1Char('|') + list.GetItemText(r, 1);
        EXPECT_EQ(rows, QStringList({QStringLiteral("2026  06  Jun|5.00"), QStringLiteral("2026  07  Jul|80.00"),
                                     QStringLiteral("2026  09  Sep|152.40")}));
        // Their sum is the Total's A/R Current: 237.40.
        EXPECT_EQ(d.panelList(3).GetItemText(1, 1), QStringLiteral("237.40"));
        return press(d, 2);
    });
    expected.DoModal();
}
