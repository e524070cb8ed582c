// The posted sales summary (2001) and the two-tax titles of 2003 and 2005
// on a hand-made March: two invoices posted, one paid further since, a quick
// sale, payments, an open order.

#include "reports/KeyReportFixture.h"

#include "reports/calc/PostedSalesSummary.h"

class PostedSalesSummary : public KeyReportFixture
{
protected:
    void SetUp() override
    {
        KeyReportFixture::SetUp();
        execAll({
            "INSERT INTO PostingJournal (PostingNo, PostingDate, Invoices, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
            "Writeoff, Paid) VALUES (1, #03/10/2011#, 2, 150, -10, 5, 0, 7, 0, 0, -100)",
            // Invoice 101 as posted; invoice 102 got 20 paid after posting.
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
            "Writeoff, Paid, Balance, PostingNo) VALUES (1, 101, 3, 10, 0, 100, -10, 5, 0, 7, 0, 0, -100, 2, 1)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
            "Writeoff, Paid, Balance, PostingNo, DatePayDue) VALUES (2, 102, 3, 10, 0, 50, 0, 0, 0, 0, 0, 0, -20, 30, 1, "
            "#02/01/2011#)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (1, 1, 1, 1, 60, 20)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (1, 1, 2, 2, 40, 0)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (2, 1, 1, 1, 50, 0)",
            "INSERT INTO QuickSales (QSaleID, Date, Subtotal, Tax, TaxID, PostingNo) VALUES (1, #03/09/2011#, 12, 1, 0, 1)",
            "INSERT INTO Payments (PayNo, Date, Amount, CusNo, PayGroup, PaidBy, PostingNo) VALUES (1, #03/09/2011#, 13, 31, 0, 0, 1)",
            "INSERT INTO Payments (PayNo, Date, Amount, CusNo, PayGroup, PaidBy, PostingNo) VALUES (2, #03/09/2011#, 20, 10, 2, 0, 1)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Shipping, Postage, Tax, Paid, Balance, "
            "PostingNo) VALUES (3, 103, 0, 10, 0, 30, 0, 0, 0, 0, -10, 20, 0)",
        });
    }
};

TEST_F(PostedSalesSummary, LaysOutTheBlocksWithTheirTotalsAndShares)
{
    CReportRun &c = context(2001);
    ReportPostedSalesSummary(c);
    ASSERT_EQ(table.GetRowCount(), 23);
    ASSERT_EQ(table.GetColumnCount(), 9);

    // Column 0 and 1: block names and descriptions in their fixed rows.
    const QStringList labels = {
        "SALES|Subtotal", "|Discount", "|NET SALES", "|Shipping", "|Postage", "|Tax", "|TOTAL", "|Late Fee", "|Write Off",
        "|Paid", "|BALANCE", "PAYMENTS|For Quick Sales", "|Deposits for Orders", "|A/R Payments", "|Total Payments",
        "As of Now|Current Balances as of " + kNowText, "A/R|Current", "|Past Due", "|No Payment Due Date",
        "|Balance of A/R", "ORDERS|Total", "|Paid", "|Balance of Orders"};
    const QStringList got = rows(0, 1);
    for (int r = 0; r < 23; ++r)
        EXPECT_EQ(got[r].section(QLatin1Char(':'), 1), labels[r]) << r;
    const int flags[23] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 3, 20, 0, 0, 0, 1, 0, 0, 1};
    for (int r = 0; r < 23; ++r)
        EXPECT_EQ(int(table.GetRowFlags(r)), flags[r]) << r;

    // As posted | change | as of now | earlier invoices | quick sales | total | %.
    const QStringList sales = rows(2, 8);
    EXPECT_EQ(sales[0], "0:150.00|0.00|150.00||12.00|162.00|100.0%");
    EXPECT_EQ(sales[1], "0:-10.00|0.00|-10.00||0.00|-10.00|-6.2%");
    EXPECT_EQ(sales[2], "1:140.00|0.00|140.00|0.00|12.00|152.00|93.8%");
    EXPECT_EQ(sales[5], "0:7.00|0.00|7.00||1.00|8.00|");
    EXPECT_EQ(sales[9], "0:-100.00|-20.00|-120.00||-13.00|-133.00|");
    EXPECT_EQ(sales[10], "3:52.00|-20.00|32.00|0.00|0.00|32.00|");
    // Payments, A/R and orders in the total column; empty zeros in their
    // totals only.
    EXPECT_EQ(sales[11], "0:|||||13.00|39.4%");
    EXPECT_EQ(sales[12], "0:|||||0.00|");
    EXPECT_EQ(sales[13], "0:|||||20.00|60.6%");
    EXPECT_EQ(sales[14], "3:|||||33.00|100.0%");
    EXPECT_EQ(sales[16], "0:|||||0.00|");
    EXPECT_EQ(sales[17], "0:|||||30.00|93.8%");
    EXPECT_EQ(sales[18], "0:|||||2.00|6.3%");
    EXPECT_EQ(sales[19], "1:|||||32.00|100.0%");
    EXPECT_EQ(sales[22], "1:|||||20.00|");

    // The counts lead the column titles; equal counts add no note.
    EXPECT_EQ(table.GetColumnName(2), "2 Invoices/As Posted");
    EXPECT_EQ(table.GetColumnName(4), "2 Invoices/As of Now");
    EXPECT_EQ(table.GetColumnName(6), "1 Quick/Sales");
    EXPECT_TRUE(table.m_headingText.isEmpty());
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_TRUE(table.m_filterText.startsWith("Filter: "));
    EXPECT_TRUE(table.m_filterText.contains("PostingDate"));
}

TEST_F(PostedSalesSummary, ServicePricesOffByMoreThanOneCentAreReported)
{
    struct Case
    {
        const char *price;
        const char *difference; // empty: no message
    };
    const Case cases[] = {{"50.01", ""}, {"49.99", ""}, {"50.0101", "0.0101"}, {"49.9899", "-0.0101"}, {"50", ""}};
    for (const Case &k : cases) {
        exec(QStringLiteral("UPDATE Items SET Price = %1 WHERE JobID = 2").arg(QLatin1String(k.price)));
        prompts().clear();
        if (*k.difference != 0)
            prompts().answer(platform::IDOK);
        table.Reset();
        CReportRun &c = context(2001);
        ReportPostedSalesSummary(c);
        if (*k.difference == 0) {
            EXPECT_TRUE(table.m_headingText.isEmpty()) << k.price;
            EXPECT_TRUE(prompts().shown().isEmpty()) << k.price;
        } else {
            const QString text = QStringLiteral("IMPORTANT:\nThere's a discrepancy of $ %1 (Sum of Service Prices of Invoices - "
                                                "Subtotal of Invoices)\nPlease fix the discrepancy (in the Jobs List Manager, "
                                                "click History/Discrepancies) and run this report again.")
                                     .arg(QLatin1String(k.difference));
            EXPECT_EQ(table.m_headingText, text) << k.price;
            ASSERT_EQ(prompts().shown().size(), 1) << k.price;
            EXPECT_EQ(prompts().lastText(), text);
        }
    }
}

TEST_F(PostedSalesSummary, CountsOfInvoicesAndQuickSalesShowEvenWhenZeroAndDifferencesAreNoted)
{
    // Four invoices were posted, two are left: "less" and -2.
    exec(QStringLiteral("UPDATE PostingJournal SET Invoices = 4"));
    CReportRun &c = context(2001);
    ReportPostedSalesSummary(c);
    EXPECT_EQ(table.m_headingText, "\nIMPORTANT: There are less invoices now than posted: -2");

    // One more now than posted: "more" and 1.
    exec(QStringLiteral("UPDATE PostingJournal SET Invoices = 1"));
    table.Reset();
    ReportPostedSalesSummary(c);
    EXPECT_EQ(table.m_headingText, "\nIMPORTANT: There are more invoices now than posted: 1");

    // A period with nothing: counts 0 in every title, no payments, no shares.
    CReportRun &april = context(2001);
    april.thisPeriod = QStringLiteral(" between #04/01/2011# and #04/30/2011# ");
    table.Reset();
    ReportPostedSalesSummary(april);
    EXPECT_EQ(table.GetColumnName(2), "0 Invoices/As Posted");
    EXPECT_EQ(table.GetColumnName(4), "0 Invoices/As of Now");
    EXPECT_EQ(table.GetColumnName(6), "0 Quick/Sales");
    EXPECT_TRUE(table.m_headingText.isEmpty());
    const QStringList got = rows(7, 8);
    for (int r = 11; r <= 14; ++r)
        EXPECT_TRUE(got[r] == "0:|" || got[r] == "3:|" || got[r] == "0:0.00|") << got[r].toStdString();
}

TEST_F(PostedSalesSummary, TwoTaxTitlesNameTheShopsTaxes)
{
    execAll({"DELETE FROM Taxes", "INSERT INTO Taxes ([No], Name) VALUES (1, 'GST')",
             "INSERT INTO Taxes ([No], Name) VALUES (2, 'PST')", "INSERT INTO Taxes ([No], Name) VALUES (3, 'GST+PST')"});
    CReportRun &c = context(2003);
    table.SetSize(1, 12);
    AddTaxColumns(c);
    EXPECT_EQ(table.GetColumnName(8), "Taxable/GST");
    EXPECT_EQ(table.GetColumnName(9), "Taxable/PST");
    EXPECT_EQ(table.GetColumnName(10), "Tax/GST");
    EXPECT_EQ(table.GetColumnName(11), "Tax/PST");
    EXPECT_EQ(table.m_headingText, "Tavrel 2008 and earlier versions did not save GST and PST taxable and tax amounts separately. "
                            "This version does.\nIf this report includes invoices that were priced and posted in Tavrel "
                            "2008, please see upgrade guide.");
}
