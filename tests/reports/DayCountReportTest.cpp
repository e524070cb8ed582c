// The day-bucket reports: receivables by days past due with the collection
// ratio and the customers' credits (2101), and net sales by days from date
// in to date shipped (2405).

#include "reports/KeyReportFixture.h"

#include "reports/calc/DayCountReport.h"

class DayCounts : public KeyReportFixture
{
};

TEST_F(DayCounts, CollectionRatioAndCreditsOfTheReceivablesSummary)
{
    execAll({
        // 3,650.00 shipped ten days ago, a tenth of it still open and not due.
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Balance, DateShipped, DatePayDue) "
        "VALUES (1, 101, 3, 10, 0, 3650, 0, 365, #03/06/2011#, #04/05/2011#)",
        "INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (10, 'Acme', 10)",
        "INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (20, 'Beta', 20)",
        "INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (30, 'Gamma', 30)",
        "INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (40, 'Delta', -5)",
    });
    CReportRun &c = context(2101);
    ReportDayCounts(c, "Number of Days/Today - |Payment Due Date", "Invoice/Count", "Balance Due/$");
    EXPECT_EQ(rows(), QStringList({"0:Current|1|365.00|119.7%", "0:Past Due  1 to 7 days |0|0.00|",
                                   "0:Past Due  8 to 14 days|0|0.00|", "0:Past Due 15 to 30 days|0|0.00|",
                                   "0:Past Due 31 to 60 days|0|0.00|", "0:Past Due 61+ days|0|0.00|",
                                   "0:No Payment Due Date assigned|0|0.00|", "0:Credit Due to 3 Customers||-60.00|-19.7%",
                                   "1:TOTAL|1|305.00|100.0%"}));
    // 365 / (3650 / 365) = 36.5, plus 0.49, cut to 36; 365 / (3650 / 12) = 120 %.
    EXPECT_EQ(table.m_headingText, "\nCollection Ratio (AR Balance / Average Daily Sales) = 36 Days\nAR to Sales Ratio (AR Balance "
                            "/ Average Monthly Sales) = 120.0%");
    // The "|" of the title is a width mark of the column titles.
    EXPECT_EQ(table.GetColumnName(0), "Number of Days/Today - Payment Due Date");
}

TEST_F(DayCounts, TheLastYearsSalesRunFromTodayBackTo365Days)
{
    // Today is 3/16/2011: a sale shipped today and one shipped 365 days ago
    // count, one shipped 366 days ago does not.
    execAll({
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Balance, DateShipped, DatePayDue) "
        "VALUES (1, 101, 3, 10, 0, 1000, 0, 365, #03/16/2011#, #04/15/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Balance, DateShipped, DatePayDue) "
        "VALUES (2, 102, 3, 10, 0, 2000, 0, 0, #03/16/2010#, #04/15/2010#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Balance, DateShipped, DatePayDue) "
        "VALUES (3, 103, 3, 10, 0, 99999, 0, 0, #03/15/2010#, #04/14/2010#)",
    });
    CReportRun &c = context(2101);
    ReportDayCounts(c, "Number of Days/Today - |Payment Due Date", "Invoice/Count", "Balance Due/$");
    // 365 / (3000 / 365) = 44.41, plus 0.49, cut to 44; 365 / (3000 / 12) = 146 %.
    EXPECT_EQ(table.m_headingText, "\nCollection Ratio (AR Balance / Average Daily Sales) = 44 Days\nAR to Sales Ratio (AR Balance "
                                   "/ Average Monthly Sales) = 146.0%");
}

TEST_F(DayCounts, NoSalesInTheLastYearGivesNoRatio)
{
    exec(QStringLiteral("INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Balance, DateShipped, "
                        "DatePayDue) VALUES (1, 101, 3, 10, 0, 100, 0, 100, #01/06/2009#, #03/10/2011#)"));
    CReportRun &c = context(2101);
    ReportDayCounts(c, "Number of Days/Today - |Payment Due Date", "Invoice/Count", "Balance Due/$");
    EXPECT_TRUE(table.m_headingText.isEmpty());
    EXPECT_EQ(cell(1, 0), "Past Due  1 to 7 days ");
    EXPECT_EQ(amount(1, 2), Money::fromWhole(100));
    EXPECT_EQ(cell(7, 0), "Credit Due to 0 Customers");
    EXPECT_EQ(amount(8, 2), Money::fromWhole(100));
}

TEST_F(DayCounts, DaysFromDateInToShippedHaveNoCreditRow)
{
    execAll({
        "INSERT INTO PostingJournal (PostingNo, PostingDate) VALUES (1, #03/10/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, PostingNo, DateIn, DateShipped) "
        "VALUES (1, 101, 3, 10, 0, 100, -10, 1, #03/01/2011#, #03/03/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, PostingNo, DateIn, DateShipped) "
        "VALUES (2, 102, 3, 10, 0, 30, 0, 1, #03/01/2011#, #03/01/2011#)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, PostingNo, DateIn, DateShipped) "
        "VALUES (3, 103, 3, 10, 98, -30, 0, 1, #03/01/2011#, #03/01/2011#)",
        "INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (10, 'Acme', 10)",
    });
    CReportRun &c = context(2405);
    ReportDayCounts(c, "Number of Days/Date| Shipped - Date In", "Invoice/Count", "Net Sale/$");
    const QStringList got = rows();
    ASSERT_EQ(got.size(), 13);
    EXPECT_EQ(got[0], "0:0 (same day)|1|30.00|25.0%");
    EXPECT_EQ(got[2], "0:2 days|1|90.00|75.0%");
    EXPECT_EQ(got[11], "0:61 or more days|0|0.00|");
    EXPECT_EQ(got[12], "1:TOTAL|2|120.00|100.0%");
    EXPECT_TRUE(table.m_headingText.isEmpty());
}

TEST_F(DayCounts, ReceivablesBucketsChangeExactlyAtTheirBoundaries)
{
    // Days past due -> the bucket row (0 current, 1 1-7, 2 8-14, 3 15-30,
    // 4 31-60, 5 61+).
    const struct
    {
        int age;
        int row;
    } cases[] = {{0, 0}, {1, 1}, {7, 1}, {8, 2}, {14, 2}, {15, 3}, {30, 3}, {31, 4}, {60, 4}, {61, 5}};
    for (const auto &k : cases) {
        exec(QStringLiteral("DELETE FROM Jobs"));
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Balance, DateShipped, "
                            "DatePayDue) VALUES (1, 101, 3, 10, 0, 100, 0, 100, #01/01/2005#, #%1#)")
                 .arg(QDate(2011, 3, 16).addDays(-k.age).toString(QStringLiteral("MM/dd/yyyy"))));
        table.Reset();
        CReportRun &c = context(2101);
        ReportDayCounts(c, "Number of Days/Today - |Payment Due Date", "Invoice/Count", "Balance Due/$");
        for (int r = 0; r < 6; ++r) {
            EXPECT_EQ(amount(r, 2), r == k.row ? Money::fromWhole(100) : Money()) << k.age << " " << r;
            EXPECT_EQ(table.GetCellLong(r, 1), r == k.row ? 1 : 0) << k.age << " " << r;
        }
    }
}
