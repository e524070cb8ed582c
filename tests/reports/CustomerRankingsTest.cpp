// Customer rankings: the three-year window, ranks that tie, 2212's first
// year by position, and the wait message above 500 customers.

#include "reports/KeyReportFixture.h"

#include "reports/calc/CustomerRankings.h"

class CustomerRankings : public KeyReportFixture
{
protected:
    void addCustomers(int count)
    {
        SharedDatabase().beginTrans();
        for (int i = 1; i <= count; ++i) {
            SharedDatabase().execute(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (?, ?)"),
                                     {100 + i, QStringLiteral("Customer %1").arg(i, 4, 10, QLatin1Char('0'))});
            SharedDatabase().execute(QStringLiteral("INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, "
                                                    "Discount, Cost) VALUES (?, ?, 3, ?, 0, 10, 0, 0)"),
                                     {i, 1000 + i, 100 + i});
        }
        SharedDatabase().commitTrans();
    }
};

TEST_F(CustomerRankings, TheYearsCountBackFromTheYearTheRangeStarts)
{
    struct Case
    {
        const char *name;
        DateTime from;
        int years[3];
    };
    const Case cases[] = {
        {"this year", DateTime(2011, 1, 1), {2011, 2010, 2009}},
        {"last year", DateTime(2010, 1, 1), {2010, 2009, 2008}},
        {"December to January", DateTime(2009, 12, 1), {2009, 2008, 2007}},
        {"no range", DateTime::null(), {2011, 2010, 2009}},
    };
    for (const Case &k : cases) {
        for (int y = 1; y <= 3; ++y) {
            const RankingYear year = RankingYearOf(k.from, y);
            EXPECT_EQ(year.year, k.years[y - 1]) << k.name << y;
            EXPECT_EQ(year.condition, QStringLiteral(" between #01/01/%1# and #12/31/%1# ").arg(k.years[y - 1])) << k.name;
        }
    }
}

TEST_F(CustomerRankings, CustomersByYearShowsOrdersSalesMarginsAndSharedRanks)
{
    execAll({
        "INSERT INTO Customers (CusNo, Name) VALUES (10, 'Acme')",
        "INSERT INTO Customers (CusNo, Name) VALUES (20, 'Beta')",
        "INSERT INTO Customers (CusNo, Name) VALUES (30, 'Gamma')",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, DateShipped) "
        "VALUES (1, 101, 3, 10, 0, 100, -10, 40, #02/01/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, DateShipped) "
        "VALUES (2, 102, 3, 10, 0, 60, 0, 10, #03/01/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, DateShipped) "
        "VALUES (3, 103, 3, 20, 0, 150, 0, 50, #06/01/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, DateShipped) "
        "VALUES (4, 104, 3, 30, 0, 70, 0, 0, #06/01/2010#)",
        // An order is not history.
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, DateShipped) "
        "VALUES (5, 105, 0, 30, 0, 500, 0, 0, #03/01/2011#)",
    });
    CReportRun &c = context(2312);
    ReportCustomersByYear(c);
    EXPECT_EQ(table.m_subtitle, "Date Range: Three years, starting with the year of the selected 'Date Range' above.");
    EXPECT_EQ(table.m_headingText, "Report includes 3 customers who have jobs in history. Customers are listed alphabetically. ");
    EXPECT_EQ(table.GetColumnName(1), "Orders/2011");
    EXPECT_EQ(table.GetColumnName(5), "Net Sales/2010");
    EXPECT_EQ(table.GetColumnName(9), "Margin/2009");
    EXPECT_EQ(table.GetColumnName(12), "Rank/2009");
    // Name | orders 2011..2009 | sales | margins | ranks.
    EXPECT_EQ(rows(), QStringList({"0:Acme|2|||150.00|||100.00|||1||", "0:Beta|1|||150.00|||100.00|||1||",
                                   "0:Gamma||1|||70.00|||70.00|||1|", "1:TOTAL|3|1||300.00|70.00||200.00|70.00||||"}));
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(CustomerRankings, AverageSalesPerInvoiceRanksYearOneByPositionAndLaterYearsByAmount)
{
    execAll({
        "INSERT INTO Customers (CusNo, Name) VALUES (10, 'Acme')",
        "INSERT INTO Customers (CusNo, Name) VALUES (20, 'Beta')",
        "INSERT INTO Customers (CusNo, Name) VALUES (30, 'Gamma')",
        "INSERT INTO PostingJournal (PostingNo, PostingDate) VALUES (1, #03/10/2011#)",
        // The period: Acme and Beta 300 each, Gamma 100.
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, PostingNo, DateShipped) "
        "VALUES (1, 101, 3, 10, 0, 300, 0, 100, 1, #03/05/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, PostingNo, DateShipped) "
        "VALUES (2, 102, 3, 20, 0, 300, 0, 100, 1, #03/05/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, PostingNo, DateShipped) "
        "VALUES (3, 103, 3, 30, 0, 100, 0, 50, 1, #03/05/2011#)",
        // 2010: Acme 50, Beta 50, Gamma 80. 2009: Acme 10 only.
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, DateShipped) "
        "VALUES (4, 104, 3, 10, 0, 50, 0, #05/05/2010#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, DateShipped) "
        "VALUES (5, 105, 3, 20, 0, 60, -10, #05/05/2010#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, DateShipped) "
        "VALUES (6, 106, 3, 30, 0, 80, 0, #12/31/2010#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, DateShipped) "
        "VALUES (7, 107, 3, 10, 0, 10, 0, #01/01/2009#)",
    });
    CReportRun &c = context(2212);
    ReportAverageSalesPerInvoice(c);
    ASSERT_EQ(table.GetRowCount(), 4);
    EXPECT_EQ(table.GetColumnName(3), "Net Sale/2011");
    EXPECT_EQ(table.GetColumnName(9), "Net Sale/2010");
    EXPECT_EQ(table.GetColumnName(10), "Net Sale/2009");
    EXPECT_EQ(table.GetColumnName(13), "Rank/2009");
    // Year 1: 1, 2, 3 by position although Acme and Beta tie.
    EXPECT_EQ(table.GetCellLong(0, 11), 1);
    EXPECT_EQ(table.GetCellLong(1, 11), 2);
    EXPECT_EQ(table.GetCellLong(2, 11), 3);
    EXPECT_EQ(cell(2, 0), "Gamma");
    // Year 2: Gamma first, Acme and Beta share 2; year 3: Acme alone.
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(amount(r, 9), Money::fromWhole(50));
        EXPECT_EQ(table.GetCellLong(r, 12), 2);
    }
    EXPECT_EQ(table.GetCellLong(2, 12), 1);
    EXPECT_EQ(amount(2, 9), Money::fromWhole(80));
    const int acme = cell(0, 0) == "Acme" ? 0 : 1;
    EXPECT_EQ(table.GetCellLong(acme, 13), 1);
    EXPECT_EQ(table.GetCellLong(1 - acme, 13), 0);
    EXPECT_EQ(cell(1 - acme, 10), "");
    // The total row sums the later years afresh.
    EXPECT_TRUE(table.IsSpecialRow(3));
    EXPECT_EQ(amount(3, 3), Money::fromWhole(700));
    EXPECT_EQ(amount(3, 9), Money::fromWhole(180));
    EXPECT_EQ(amount(3, 10), Money::fromWhole(10));
}

TEST_F(CustomerRankings, MoreThanFiveHundredCustomersAreWarnedOf)
{
    addCustomers(500);
    CReportRun &c = context(2312);
    ReportCustomersByYear(c);
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_EQ(table.GetRowCount(), 501);

    SharedDatabase().execute(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (9999, 'Last')"));
    SharedDatabase().execute(
        QStringLiteral("INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal) VALUES (9999, 9999, 3, 9999, 0, 5)"));
    table.Reset();
    prompts().answer(platform::IDOK);
    ReportCustomersByYear(c);
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().lastText(), "This report may take several minutes to prepare for 501 customers.");
    EXPECT_EQ(table.m_headingText, "Report includes 501 customers who have jobs in history. Customers are listed alphabetically. ");
}

// The years' sums follow SQL's Sum: a job without an amount is an order that
// adds nothing, a year of such jobs alone shows no sales, and a sum that
// runs past the largest amount is reported, not wrapped around.
TEST_F(CustomerRankings, CustomersByYearSumsSkipMissingAmountsAndReportOverflow)
{
    execAll({
        "INSERT INTO Customers (CusNo, Name) VALUES (10, 'Acme')",
        "INSERT INTO Customers (CusNo, Name) VALUES (20, 'Beta')",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, DateShipped) "
        "VALUES (1, 101, 3, 10, 0, 100, Null, 40, #12/31/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, DateShipped) "
        "VALUES (2, 102, 3, 10, 0, 60, 0, 10, #01/01/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, DateShipped) "
        "VALUES (3, 103, 3, 20, 0, 70, 0, Null, #06/01/2010#)",
    });
    CReportRun &c = context(2312);
    ReportCustomersByYear(c);
    EXPECT_EQ(rows(), QStringList({"0:Acme|2|||60.00|||50.00|||1||", "0:Beta||1|||70.00||||||1|",
                                   "1:TOTAL|2|1||60.00|70.00||50.00|||||"}));
    EXPECT_TRUE(prompts().shown().isEmpty());

    execAll({"UPDATE Jobs SET Subtotal = 500000000000000, Discount = 0 WHERE CusNo = 10"});
    table.Reset();
    prompts().answer(platform::IDOK);
    ReportCustomersByYear(c);
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_TRUE(prompts().lastText().endsWith(QStringLiteral("\n\nError 3349 occured:\n\nNumeric field overflow.\n\n")))
        << qPrintable(prompts().lastText());
}
