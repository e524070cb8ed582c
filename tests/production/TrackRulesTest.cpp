#include "TrackFixture.h"

#include "controls/CXTable.h"
#include "production/tracking/TrackRules.h"

using namespace track;

namespace {

// The statements as the lists' layout reads them.
const QString T = QStringLiteral(
    "CStr('') AS [Task_w_30], CStr('') AS [Started_w_16], CStr('') AS [Status_w_12], CStr('') AS [When_w_16], "
    "CLng(0) AS [Time/Worked], CLng(0) AS [Matl/Used], CStr('') AS [Task/Note_w_12], ");
const QString H = QStringLiteral("Times.EmpNo AS [HIDE_EMP], Times.ItemID AS [HIDE_ITEM], Times.TimeID AS [HIDE_KEY] ");
const QString E = QStringLiteral("FROM Employees INNER JOIN Times ON Employees.EmpNo = Times.EmpNo ");
const QString S = QStringLiteral("FROM (((Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN Times ON "
                                 "Items.ItemID = Times.ItemID) INNER JOIN Services ON Items.SerNo = Services.SerNo) ");
const QString D = QStringLiteral(
    "Min((IIf(TimeFor=0,Format(Start,'Short Time')))) AS [Day/Start|], Max((IIf(TimeFor=0,Format(Finish,'Short "
    "Time')))) AS [Day/End|], Max((IIf(TimeFor=0,Format(Finish-Start,'Short Time')))) AS [Day/Span|], CLng(0) AS "
    "[Paused/Time], Sum(IIf(TimeFor=0,Minutes,0)) AS [Worked/Time], Sum(IIf(TimeFor=1,Minutes,0)) AS [Job/Time], "
    "Sum(IIf(TimeFor=2,Minutes,0)) AS [Office/Time], Sum(IIf(TimeFor>0,Minutes,0)) AS [TOTAL/Time], "
    "Sum(IIf((TimeFor>0 and Subgroup=0),Minutes,0)) AS [Regular/Time], Sum(IIf((TimeFor>0 and "
    "Subgroup=1),Minutes,0)) AS [Over/Time], Sum(IIf((TimeFor>0 and Subgroup=2),Minutes,0)) AS [No-Pay/Time], "
    "Sum(IIf((TimeFor>0 and Subgroup=3),Minutes,0)) AS [Other/Time], Times.EmpNo AS [HIDE_EMP] FROM Employees "
    "INNER JOIN Times ON Employees.EmpNo = Times.EmpNo ");
const QString C = QStringLiteral(
    "Count(Times.TimeID) AS [Task/Count], Sum(Times.Minutes) AS [Time/Tracked}P], Items.ActualTime AS [Time/Actual], "
    "Items.ChargeTime AS [Time/Charge], CLng(0) AS [Actual/vs/Track_w_10], CLng(0) AS [Charge/vs/Track_w_10], "
    "Sum(Times.Material) AS [Qty/Tracked}P], Items.ActualQty AS [Qty/Actual], Items.ChargeQty AS [Qty/Charge], "
    "CLng(0) AS [ActualQ/vs/Tracked_w_10], CLng(0) AS [ChargeQ/vs/Tracked_w_10], Items.ItemID AS HIDE_KEY FROM "
    "((Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN Times ON Items.ItemID = Times.ItemID) INNER "
    "JOIN Services ON Items.SerNo = Services.SerNo ");
const QString G = QStringLiteral("GROUP BY Services.CatNo, Services.Name, Items.ActualTime, Items.ChargeTime, "
                                 "Items.ActualQty, Items.ChargeQty, Items.ItemID, Jobs.JobNo, Items.ItemNo, Items.EmpNo, ");
const QString J = QStringLiteral("Jobs.JobNo & '-' & Items.ItemNo AS [Job-Item_w_10], ");
const QString W = QStringLiteral("WHERE Times.Status = 3 ");

} // namespace

TEST(TrackRules, ListStatementsAreExactWithTheFilterBeforeGroupAndOrder)
{
    struct Case
    {
        int code;
        QString sql;
    };
    const Case cases[] = {
        {9401, "SELECT Employees.Name AS [Operator_w_12], " + T + "CStr('') AS [HIDE_OP], CStr('') AS [Job-Item "
               "Customer_w_30], " + H + E + W + "ORDER BY Employees.Sort, Times.EmpNo, Times.Start, Times.TimeID"},
        {9402, "SELECT DateValue(Times.Start) AS [Date Started], " + T + "Employees.Name AS [Operator_w_12], CStr('') AS "
               "[Job-Item Customer_w_30], " + H + E + W + "ORDER BY Times.Start, Times.TimeID"},
        {9403, "SELECT " + J + T + "CStr('') AS [Operator_w_12], CStr('') AS [Job-Item Customer_w_30], " + H + S + W
               + "ORDER BY Jobs.JobNo, Items.ItemNo, Services.CatNo, Times.TimeID "},
        {9404, "SELECT ' ' & Services.CatNo AS [Department], " + T + "CStr('') AS [Operator_w_12], CStr('') AS "
               "[Job-Item Customer_w_30], " + H + S + W + "ORDER BY Services.CatNo, Services.Name, Times.TimeID"},
        {9405, "SELECT TimeDepartments.Name AS [Office Task_w_16], " + T + "CStr('') AS [Operator_w_12], CStr('') AS "
               "[HIDE_CUS], " + H + "FROM Times INNER JOIN TimeDepartments ON Times.ItemID = TimeDepartments.DepID " + W
               + "ORDER BY TimeDepartments.Sort, TimeDepartments.DepID, Times.TimeID"},
        {9406, "SELECT " + T + "CStr('') AS [HIDE_OP], CStr('') AS [HIDE_Job], " + H + E + W
               + "ORDER BY Times.EmpNo, Times.Start, Times.TimeID"},
        {9201, "SELECT Employees.Name AS [Operator_w_12], Format(Start, 'mm/dd/yyyy') AS [DAY/IN  |], " + D + W
               + "GROUP BY Employees.Name, Employees.EmpNo, Format(Start, 'mm/dd/yyyy'), Times.EmpNo ORDER BY "
                 "Times.EmpNo"},
        {9202, "SELECT Format(Start, 'mm/dd/yyyy') AS [DAY/IN  |], Employees.Name AS [Operator_w_12], " + D + W
               + "GROUP BY Format(Start, 'mm/dd/yyyy'), Employees.Name, Employees.EmpNo, Times.EmpNo ORDER BY "
                 "Format(Start, 'mm/dd/yyyy'), Times.EmpNo"},
        {9301, "SELECT ' ' & Items.EmpNo AS [Operator_w_12], Services.CatNo AS [Category_w_12], Services.Name AS "
               "[Service], " + J + C + W + G + "Items.EmpNo, Services.CatNo, Services.Name, Jobs.JobNo, Items.ItemNo"},
        {9302, "SELECT " + J + "Services.CatNo AS Category_w_12, Services.Name AS Service, ' ' & Items.EmpNo AS "
               "[Operator_w_12], " + C + W + G + "Jobs.JobNo, Items.ItemNo, Services.CatNo, Services.Name"},
        {9303, "SELECT Services.CatNo AS [Category_w_12], Services.Name AS [Service], ' ' & Items.EmpNo AS "
               "[Operator_w_12], " + J + C + W + G + "Services.CatNo, Services.Name, Jobs.JobNo, Items.ItemNo"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(BuildListSql(c.code, QStringLiteral("Times.Status = 3")), c.sql);
        // Without a filter the statement has no WHERE at all.
        QString bare = c.sql;
        bare.remove(W);
        EXPECT_EQ(BuildListSql(c.code, QString()), bare);
    }
    EXPECT_TRUE(BuildListSql(9100, QString()).isEmpty());
    EXPECT_TRUE(BuildListSql(9407, QString()).isEmpty());
}

TEST(TrackRules, FiltersOfTheTrackListsAndKindConditions)
{
    EXPECT_EQ(TrackFilter(29801, 3), QStringLiteral("Times.Status < 3"));
    EXPECT_EQ(TrackFilter(29802, 3), QStringLiteral("Times.Status = 0"));
    EXPECT_EQ(TrackFilter(29803, 3), QStringLiteral("Times.Status = 1"));
    EXPECT_EQ(TrackFilter(29804, 3), QStringLiteral("Times.Status = 2"));
    EXPECT_EQ(TrackFilter(29805, 3), QStringLiteral("Times.Status < 3 and Times.EmpNo = 3"));
    EXPECT_EQ(TrackFilter(29806, 3), QStringLiteral("Times.Status < 3 and Times.TimeFor = 0"));
    EXPECT_EQ(KindCondition(9401), QString());
    EXPECT_EQ(KindCondition(9201), QString());
    EXPECT_EQ(KindCondition(9403), QStringLiteral(" and Times.TimeFor = 1"));
    EXPECT_EQ(KindCondition(9404), QStringLiteral(" and Times.TimeFor = 1"));
    EXPECT_EQ(KindCondition(9302), QStringLiteral(" and Times.TimeFor = 1"));
    EXPECT_EQ(KindCondition(9405), QStringLiteral(" and Times.TimeFor = 2"));
    EXPECT_EQ(KindCondition(9406), QStringLiteral(" and Times.TimeFor = 0"));
}

TEST(TrackRules, CellTextsOfCountsAndComparisons)
{
    EXPECT_EQ(TaskCountText(0), QStringLiteral("0 Tasks"));
    EXPECT_EQ(TaskCountText(1), QStringLiteral("1 Task"));
    EXPECT_EQ(TaskCountText(3), QStringLiteral("3 Tasks"));
    struct Case
    {
        long long value;
        long long tracked;
        const char *text;
    };
    const Case cases[] = {
        {60, 60, "="},          {120, 60, "100.0%"}, {30, 60, "-50.0%"}, {1001, 100, "999+%"}, {1000, 100, "900.0%"},
        {-1000, 100, "-999+%"}, {0, 60, ""},         {60, 0, ""},        {61, 60, "1.7%"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(VersusText(c.value, c.tracked), QString::fromUtf8(c.text));
    }
}

TEST(TrackRules, OptionsTextJoinsFifteenEntries)
{
    EXPECT_EQ(JoinTrackOptions({"0", " 07:00", "17:30 ", "0", "1", "1", "0", "0", "1", "x", "1", "0", "0", "1"}),
              QStringLiteral("0,07:00,17:30,0,1,1,0,0,1,0,1,0,0,1,0,"));
}

// Every statement runs on a shop database as it stands.
TEST_F(TrackTest, EveryListStatementRunsOnTheShopDatabase)
{
    const int codes[] = {9201, 9202, 9301, 9302, 9303, 9401, 9402, 9403, 9404, 9405, 9406};
    addTime(0, 3, 0, QStringLiteral("06/12/2024 08:00"), QStringLiteral("06/12/2024 17:00"), 480, 3);
    addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 08:10"), QStringLiteral("06/12/2024 09:10"), 60, 3, 500);
    addTime(2, 3, 101, QStringLiteral("06/12/2024 09:10"), QStringLiteral("06/12/2024 09:40"), 30, 3);
    for (int code : codes) {
        SCOPED_TRACE(code);
        CXTable table;
        table.LoadQueryWithProgress(BuildListSql(code, QStringLiteral("Times.Status = 3") + KindCondition(code)), 4, 2,
                                    QString());
        EXPECT_GT(table.GetColumnCount(), 8);
        EXPECT_GT(table.GetDataRowCount(), 0);
    }
}
