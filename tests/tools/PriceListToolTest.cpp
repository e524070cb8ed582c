// tavrel-dbtool pricelist: an item's price at each quantity of a series.
#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

namespace {

class PriceListTool : public TavrelTest
{
};

TEST_F(PriceListTool, PricesEachQuantity)
{
    const QString db = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("create"), db}).exitCode, 0);
    const auto sql = [&](const QString &statement) {
        const ToolRun r = RunDbTool({QStringLiteral("sql"), db, statement});
        EXPECT_EQ(r.exitCode, 0) << statement.toStdString() << r.err.toStdString();
    };
    sql(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, QtyBy, CostBy, PriceBy, Unit, Step, QBreak1, RunCost1, "
                       "RunPrice1, SetFor1, SetCost1, SetPrice1) VALUES (501, 50, 'Padding', 1, 2, 3, 2, 1, 100, 5000, "
                       "9000, 1, 200, 30000)"));
    sql(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo, Title) VALUES (2, 900, 0, 31, 'Pads')"));
    sql(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, ChargeQty, Sheets, Status) SELECT "
                       "JobID, 0, 1, 0, 'Pads', 500, 1, 1 FROM Jobs WHERE JobNo = 900"));
    sql(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, ChargeQty, Sheets, Status) SELECT "
                       "JobID, 501, 1, 0, '', 500, 1, 1 FROM Jobs WHERE JobNo = 900"));
    const ToolRun r = RunDbTool({QStringLiteral("pricelist"), db, QStringLiteral("900"), QStringLiteral("1"),
                                 QStringLiteral("--quantity"), QStringLiteral("250-1000")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Quantity\tPrice\n250\t322.50\n500\t345.00\n750\t367.50\n1,000\t390.00\n"));
    EXPECT_EQ(RunDbTool({QStringLiteral("pricelist"), db, QStringLiteral("901"), QStringLiteral("1")}).exitCode, 1);
    EXPECT_EQ(RunDbTool({QStringLiteral("pricelist"), db, QStringLiteral("900")}).exitCode, 2);

    // Quotes and templates are numbered apart: a quote 900 (whose only item is
    // item 2) makes the number name two jobs, and the type says which.
    sql(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo, Title) VALUES (1, 900, 0, 31, 'Pads')"));
    sql(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, ChargeQty, Sheets, Status) SELECT "
                       "JobID, 0, 2, 0, 'Pads', 1000, 1, 1 FROM Jobs WHERE JobNo = 900 AND JobType = 1"));
    const ToolRun both = RunDbTool({QStringLiteral("pricelist"), db, QStringLiteral("900"), QStringLiteral("1")});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_EQ(both.err, QStringLiteral("Job 900 is quote and template: say which with --type.\n"));
    EXPECT_EQ(RunDbTool({QStringLiteral("pricelist"), db, QStringLiteral("900"), QStringLiteral("1"),
                         QStringLiteral("--type"), QStringLiteral("template"), QStringLiteral("--quantity"),
                         QStringLiteral("250-1000")})
                  .out,
              r.out);
    const ToolRun quote = RunDbTool({QStringLiteral("pricelist"), db, QStringLiteral("900"), QStringLiteral("1"),
                                     QStringLiteral("--type"), QStringLiteral("Quote")});
    EXPECT_EQ(quote.exitCode, 1);
    EXPECT_EQ(quote.err, QStringLiteral("Item 1 of job 900 is not found.\n"));
    EXPECT_EQ(RunDbTool({QStringLiteral("pricelist"), db, QStringLiteral("900"), QStringLiteral("1"),
                         QStringLiteral("--type"), QStringLiteral("order")}).exitCode, 1);
}

} // namespace
