// The posting accounting report (2009) and the company activities report
// (2601) on a hand-made March.

#include "reports/KeyReportFixture.h"

#include "reports/calc/CompanyActivities.h"
#include "reports/calc/PostingAccounting.h"

class PostedMarch : public KeyReportFixture
{
protected:
    void SetUp() override
    {
        KeyReportFixture::SetUp();
        execAll({
            "DELETE FROM SalesDepartments",
            "INSERT INTO SalesDepartments ([No], Name, [Group]) VALUES (1, 'Printing', 2)",
            "INSERT INTO SalesDepartments ([No], Name, [Group]) VALUES (2, 'Design', 3)",
            "DELETE FROM Services",
            "INSERT INTO Services (SerNo, Name, Size, CatNo, SaleDept) VALUES (1, 'Press', '', 201, 1)",
            "INSERT INTO Services (SerNo, Name, Size, CatNo, SaleDept) VALUES (2, 'Layout', '', 501, 2)",
            "INSERT INTO PayGroups (PayGroup, Name) VALUES (0, 'Quick Sales')",
            "INSERT INTO PayGroups (PayGroup, Name) VALUES (2, 'A/R Payments')",
            "INSERT INTO Customers (CusNo, Name, Address, City) VALUES (1, 'My Shop', '1 Main St', 'Springfield')",
            "INSERT INTO PostingJournal (PostingNo, PostingDate, Invoices, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
            "Writeoff, Paid) VALUES (1, #03/10/2011#, 2, 150, -10, 5, 0, 7, 0, 0, -100)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
            "Writeoff, Paid, Balance, PostingNo, DateIn) VALUES (1, 101, 3, 10, 0, 100, -10, 5, 0, 7, 0, 0, -100, 2, 1, "
            "#03/01/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
            "Writeoff, Paid, Balance, PostingNo, DateIn) VALUES (2, 102, 3, 10, 0, 50, 0, 0, 0, 0, 0, 0, -20, 30, 1, "
            "#03/02/2011#)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (1, 1, 1, 1, 60, 20)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (1, 1, 2, 2, 40, 0)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (2, 1, 1, 1, 50, 0)",
            "INSERT INTO Payments (PayNo, Date, Amount, CusNo, PayGroup, PaidBy, PostingNo) VALUES (1, #03/09/2011#, 20, 10, 2, 0, 1)",
        });
    }

    CReportRun &april()
    {
        CReportRun &c = context(2009);
        c.thisPeriod = QStringLiteral(" between #04/01/2011# and #04/30/2011# ");
        c.lastPeriod = QStringLiteral(" between #04/01/2010# and #04/30/2010#");
        return c;
    }
};

TEST_F(PostedMarch, AccountingWithoutQuickSalesKeepsTheirBlockAtZero)
{
    CReportRun &c = context(2009);
    ReportPostingAccounting(c);
    const QStringList expected = {
        "0:Sales Departments|Design|40.00",
        "0:|Printing|110.00",
        "1:|Sales Departments Total ->|150.00",
        "0:General Accounts|Discounts|-10.00",
        "0:|Shipping|5.00",
        "0:|Postage|0.00",
        "0:|Tax|7.00",
        "0:|Late Fee (from Audit Trail)|",
        "0:|Write Off (from Audit Trail)|",
        "1:|General Accounts Total ->|2.00",
        "0:Quick Sales|Quick Sales|0.00",
        "0:|Quick Sales Tax|0.00",
        "1:|Quick Sales Total ->|0.00",
        "0:Payments Received|Deposits: payment received before posting|0.00",
        "0:|A/R Payments: received applied after posting|-20.00",
        "0:|Quick Sale Payments|0.00",
        "1:|Payments Total ->|-20.00",
        "0:Adjustments|Deposits on Posted Jobs: deposit received in previous period|",
        "0:|Deposits Received on Orders Not Posted|",
        "0:|Credits Given|",
        "0:|Credit Applied|",
        "1:|Adjustments Total ->|0.00",
        "0:Posting Summary|Total Net Sales = Sales Departments Total - Discounts + Quick Sales|140.00",
        "0:|Total of Posted Invoices = Sales Departments + General Accounts + Quick Sales|152.00",
        "0:|Values from Posting Summary Report:|",
        "0:|       From Paid row, As Posted column + Quick Sales column|-100.00",
        "0:|       From Paid row, As of Now column + Quick Sales column|-120.00",
        "0:|       From Paid row, Total column   (amount paid for Posted Invoices and Quick Sales)|-120.00",
        "0:|       From BALANCE row, As Posted column   (balance of Posted Invoices as posted)|52.00",
        "1:||",
    };
    EXPECT_EQ(rows(), expected);
}

TEST_F(PostedMarch, AccountingOfAPeriodWithOnlyQuickSalesIsBuiltWithTheSalesDepartmentsAtZero)
{
    execAll({
        "INSERT INTO PostingJournal (PostingNo, PostingDate, Invoices, Paid) VALUES (2, #04/05/2011#, 0, 0)",
        "INSERT INTO QuickSales (QSaleID, Date, Subtotal, Tax, TaxID, PostingNo) VALUES (1, #04/04/2011#, 12, 1, 0, 2)",
        "INSERT INTO QuickSalesItems (QSaleID, SerNo, Price) VALUES (1, 1, 12)",
        "INSERT INTO Payments (PayNo, Date, Amount, CusNo, PayGroup, PaidBy, PostingNo) VALUES (2, #04/04/2011#, 13, 31, 0, 0, 2)",
    });
    CReportRun &c = april();
    ReportPostingAccounting(c);
    const QStringList got = rows();
    ASSERT_GE(got.size(), 20);
    EXPECT_EQ(got[0], "1:Sales Departments|Sales Departments Total ->|0.00");
    EXPECT_EQ(got[1], "0:General Accounts|Discounts|");
    EXPECT_EQ(got[8], "0:Quick Sales|Printing QS|12.00");
    EXPECT_EQ(got[9], "0:|Quick Sales Tax|1.00");
    EXPECT_EQ(got[10], "1:|Quick Sales Total ->|13.00");
    EXPECT_EQ(got[13], "0:|Quick Sale Payments|-13.00");
    const int summary = rowOf(QStringLiteral("Posting Summary"), 0);
    ASSERT_GT(summary, 0);
    EXPECT_EQ(amount(summary, 2), Money::fromWhole(12));
    EXPECT_EQ(amount(summary + 1, 2), Money::fromWhole(13));
    EXPECT_EQ(amount(summary + 3, 2), Money::fromWhole(-13));

    // A period with no posting at all stays empty (the no-data text).
    CReportRun &may = april();
    may.thisPeriod = QStringLiteral(" between #05/01/2011# and #05/31/2011# ");
    table.Reset();
    ReportPostingAccounting(may);
    EXPECT_EQ(table.GetRowCount(), 0);
}

TEST_F(PostedMarch, ActivitiesSetPaymentsAgainstTheGeneralAccounts)
{
    CReportRun &c = context(2601);
    ReportCompanyActivities(c);
    const QStringList got = rows();
    const QStringList expected = {
        "3:Company|Address||",
        "0:My Shop|1 Main St Springfield||",
        "1:Sales Breakdown by Department|Department|Count|Net Sale Amount",
        "0:Posted Sales|Design|1|36.00",
        "0:|Printing|2|104.00",
        "4:|Sales Department Totals -->||140.00",
        "1:General Accounts|Account|Count|Amount",
        "0:General Accounts Posted Amounts|Shipping|1|5.00",
        "0:|Tax (Invoices)|1|7.00",
        "4:|General Accounts Totals -->||12.00",
        "1:Payment Summary|Group|Count|Amount",
        "0:Posted Payments|A/R Payments|1|20.00",
        "4:|Payment Totals -->||20.00",
        "4:|Payment Totals minus General Accounts Totals -->||8.00",
        "1:Fully Paid Invoices and Quick Sales Summary|Type|Count|Net Sales - Write Off",
        "0:Fully Paid|Paid Invoices|0|0.00",
        "0:|Paid Quick Sales|0|0.00",
        "4:|Fully Paid Invoices and Quick Sales Totals -->||0.00",
        "1:Jobs Received||Count|Net Sale Amount",
        "0:Jobs Received|Jobs received (DateIn)  between 03/01/2011 and 03/31/2011 |2|140.00",
        "0:|||",
    };
    EXPECT_EQ(got, expected);
}

TEST_F(PostedMarch, ActivitiesWithoutGeneralAccountsHaveNoDifferenceRow)
{
    exec(QStringLiteral("UPDATE Jobs SET Shipping = 0, Tax = 0"));
    CReportRun &c = context(2601);
    ReportCompanyActivities(c);
    EXPECT_EQ(rowOf(QStringLiteral("General Accounts Totals -->"), 1), -1);
    EXPECT_EQ(rowOf(QStringLiteral("Payment Totals minus General Accounts Totals -->"), 1), -1);
    const int payments = rowOf(QStringLiteral("Payment Totals -->"), 1);
    ASSERT_GT(payments, 0);
    EXPECT_EQ(amount(payments, 3), Money::fromWhole(20));
    EXPECT_EQ(cell(payments + 1, 0), "Fully Paid Invoices and Quick Sales Summary");

    // A shop without its own line still gets its first heading.
    exec(QStringLiteral("DELETE FROM Customers WHERE CusNo = 1"));
    table.Reset();
    ReportCompanyActivities(c);
    EXPECT_EQ(cell(0, 0), "Company");
    EXPECT_EQ(cell(1, 0), "Sales Breakdown by Department");
    EXPECT_EQ(cell(2, 0), "Posted Sales");
}

// A third invoice of 30.00 less 10.00 in three departments leaves each a
// third of the discount, -3.3333: Bindery 6.6667, Design 36 + 6.6667,
// Printing 104 + 6.6667, 160.0001 together, the 160.00 the invoices' net
// sales make. Each line shows whole cents and the lines add up to the total
// printed under them.
TEST_F(PostedMarch, ActivitiesLinesInWholeCentsAddUpToTheirTotal)
{
    execAll({
        "INSERT INTO SalesDepartments ([No], Name, [Group]) VALUES (3, 'Bindery', 4)",
        "INSERT INTO Services (SerNo, Name, Size, CatNo, SaleDept) VALUES (3, 'Fold', '', 601, 3)",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
        "Writeoff, Paid, Balance, PostingNo) VALUES (3, 103, 3, 10, 0, 30, -10, 0, 0, 0, 0, 0, 0, 20, 1)",
        "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (3, 1, 1, 1, 10, 0)",
        "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (3, 1, 2, 2, 10, 0)",
        "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (3, 1, 3, 3, 10, 0)",
    });
    CReportRun &c = context(2601);
    ReportCompanyActivities(c);
    const QStringList expected = {
        "1:Sales Breakdown by Department|Department|Count|Net Sale Amount",
        "0:Posted Sales|Bindery|1|6.67",
        "0:|Design|2|42.67",
        "0:|Printing|3|110.66",
        "4:|Sales Department Totals -->||160.00",
    };
    EXPECT_EQ(rows().mid(2, 5), expected);
}
