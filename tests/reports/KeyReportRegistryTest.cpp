// The runner finds the Key Reports' renderers and the two-tax step, and a
// renderer's work stops when the user cancels the progress.

#include "reports/KeyReportFixture.h"

#include "reports/calc/KeyReportRegistry.h"

class KeyReportRegistry : public KeyReportFixture
{
};

TEST_F(KeyReportRegistry, EveryRendererIsRegisteredWithTheRunner)
{
    InstallKeyReportRenderers();
    for (int code : {2001, 2009, 2101, 2103, 2104, 2212, 2312, 2405, 2601, 2602, 2603})
        EXPECT_TRUE(bool(FindReportRenderer(code))) << code;
    EXPECT_TRUE(bool(FindTaxColumnsStep()));

    // 2405 through the runner: its own note, the day titles.
    CReportRun &c = context(2405);
    c.branchText = QStringLiteral("Production");
    c.entryText = QStringLiteral("Date In vs Date Shipped");
    EXPECT_TRUE(c.Run());
    EXPECT_EQ(c.note(), "This report does not include Credit and Credited invoices.");
    EXPECT_EQ(table.GetColumnName(2), "Net Sale/$");
    EXPECT_EQ(cell(table.GetRowCount() - 1, 0), "TOTAL");
}

TEST_F(KeyReportRegistry, CancellingTheCustomerQueriesStopsTheRun)
{
    execAll({"INSERT INTO Customers (CusNo, Name) VALUES (10, 'Acme')",
             "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Cost, DateShipped) "
             "VALUES (1, 101, 3, 10, 0, 100, 0, 0, #02/01/2011#)"});
    CReportRun &c = context(2312);
    c.branchText = QStringLiteral("Comparison");
    c.entryText = QStringLiteral("Customers By Year");
    int asked = 0;
    c.progressHook = [&](int, int, const QString &) { return ++asked < 2; };
    EXPECT_FALSE(c.Run());
    EXPECT_EQ(asked, 2);
}
