// tavrel-dbtool report prints the builder's text for the view's periods.

#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include "app/base/DateRanges.h"
#include "data/ShopDatabase.h"
#include "platform/db/Database.h"
#include "reports/ReportSql.h"

#include <QtCore/QProcess>

class ReportCommand : public TavrelTest
{
};

TEST_F(ReportCommand, PrintsTheStatementForACustomRangeOrTheYearToDate)
{
    const QString path = tempPath(QStringLiteral("Shop.mdb"));
    CreateShopDatabase(path);
    const QString year = QStringLiteral(" between #01/01/2010# and #12/31/2010# ");
    const QString before = QStringLiteral(" between #01/01/2009# and #12/31/2009#");

    ToolRun r = RunDbTool({QStringLiteral("report"), path, QStringLiteral("2301"), QStringLiteral("--sql"), QStringLiteral("--from"), QStringLiteral("01/01/2010"),
                    QStringLiteral("--to"), QStringLiteral("12/31/2010")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, BuildReportSqlText(2301, year, before, QString(), false) + QLatin1Char('\n'));

    r = RunDbTool({QStringLiteral("report"), path, QStringLiteral("2003"), QStringLiteral("--sql"), QStringLiteral("--two-tax"), QStringLiteral("--from"),
                QStringLiteral("01/01/2010"), QStringLiteral("--to"), QStringLiteral("12/31/2010")});
    EXPECT_EQ(r.out, BuildReportSqlText(2003, year, before, QString(), true) + QLatin1Char('\n'));

    // Without dates: the year to date, and the same dates a year back.
    DateTime from, to;
    QString thisPeriod, caption;
    DescribeDateRange(from, to, DateRange::CmdYearToDate, thisPeriod, caption);
    r = RunDbTool({QStringLiteral("report"), path, QStringLiteral("2305"), QStringLiteral("--sql")});
    EXPECT_EQ(r.out, BuildReportSqlText(2305, thisPeriod, PriorPeriodCondition(from, to), QString(), false) + QLatin1Char('\n'));

    // A shop with rate 3 uses the two-tax layouts.
    {
        platform::Database db;
        db.open(path);
        db.execute(QStringLiteral("INSERT INTO Taxes ([No], Name) VALUES (3, 'Both')"));
    }
    r = RunDbTool({QStringLiteral("report"), path, QStringLiteral("2005"), QStringLiteral("--sql")});
    EXPECT_EQ(r.out, BuildReportSqlText(2005, thisPeriod, PriorPeriodCondition(from, to), QString(), true) + QLatin1Char('\n'));

    // No statement, no text; bad arguments are refused.
    r = RunDbTool({QStringLiteral("report"), path, QStringLiteral("2501"), QStringLiteral("--sql")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(RunDbTool({QStringLiteral("report"), path, QStringLiteral("2501")}).exitCode, 2);
    EXPECT_EQ(RunDbTool({QStringLiteral("report"), path, QStringLiteral("2001"), QStringLiteral("--sql"), QStringLiteral("--from"), QStringLiteral("13/01/2010"),
                      QStringLiteral("--to"), QStringLiteral("12/31/2010")})
                  .exitCode,
              2);
    EXPECT_EQ(RunDbTool({QStringLiteral("report"), tempPath(QStringLiteral("None.mdb")), QStringLiteral("2001"), QStringLiteral("--sql")}).exitCode, 1);
}
