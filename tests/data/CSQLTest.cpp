#include "data/CSQL.h"
#include "platform/Clock.h"
#include "support/TestEnvironment.h"

#include <string>

namespace {

class CSQLTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(9, 0)));
    }
};

std::string s(const QString &text)
{
    return text.toStdString();
}

const char *const kJobTables =
    " FROM ShipTo RIGHT JOIN (Contacts RIGHT JOIN (Customers RIGHT JOIN (PostingJournal RIGHT JOIN Jobs ON "
    "PostingJournal.PostingNo = Jobs.PostingNo) ON Customers.CusNo = Jobs.CusNo) ON Contacts.ContactNo = "
    "Jobs.BuyerNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo";

} // namespace

TEST_F(CSQLTest, ListJoinPutsEveryConditionInOneWhere)
{
    CSQL q;
    q.SetSelect(QStringLiteral("Jobs.JobNo, Jobs.JobID"));
    q.SetFromJobTables();
    q.AddWhere(QStringLiteral("Jobs.CSRNo = 4"));
    q.AddCondition(QString(), 7);
    q.AddHistoryCondition();
    q.AddPaidCondition();
    q.AddUnpaidCondition();
    q.SetDateCondition(QStringLiteral("Jobs.DateDue"), 2, 0);
    q.AddOrderBy(QStringLiteral("Jobs.JobNo DESC"));
    q.AddOrderBy(QString());
    q.AddOrderBy(QStringLiteral("Jobs.Title"));
    q.JoinForList(QStringLiteral("Jobs.Title Like \"A*\""), QString(), false);
    EXPECT_EQ(s(q.m_strSQL), std::string("SELECT Jobs.JobNo, Jobs.JobID") + kJobTables +
                                 "  WHERE Jobs.CSRNo = 4 and Jobs.JobType = 3 and Jobs.Balance <= 0.0001 and "
                                 "Jobs.Balance > 0.0001 and Jobs.DateDue < #03/16/2011# and Jobs.Title Like "
                                 "\"A*\"  ORDER BY Jobs.JobNo DESC, Jobs.Title");
    EXPECT_TRUE(q.m_bDescending);
}

TEST_F(CSQLTest, ListJoinOfGroupedCrosstabAndItemTables)
{
    CSQL crosstab;
    crosstab.SetTransform(QStringLiteral("Sum(Jobs.Subtotal) AS Net"));
    crosstab.SetSelect(QStringLiteral("Jobs.CusNo"));
    crosstab.SetFrom(QStringLiteral("Jobs"));
    crosstab.SetGroupBy(QStringLiteral("Jobs.CusNo"));
    crosstab.SetHaving(QStringLiteral("Count(*) > "), 2);
    crosstab.m_strPivot = QStringLiteral(" PIVOT Format(Jobs.DateIn,'mmm')");
    crosstab.AddOrderBy(QStringLiteral("Jobs.CusNo"));
    crosstab.JoinForList(QString(), QString(), true);
    EXPECT_EQ(s(crosstab.m_strSQL), "TRANSFORM Sum(Jobs.Subtotal) AS Net SELECT Jobs.CusNo FROM Jobs  GROUP BY "
                                    "Jobs.CusNo  HAVING Count(*) > 2  ORDER BY Jobs.CusNo  PIVOT "
                                    "Format(Jobs.DateIn,'mmm')");
    EXPECT_FALSE(crosstab.m_bDescending);

    // The item tables end in a blank of their own: three blanks before WHERE.
    CSQL items;
    items.SetSelect(QStringLiteral("Items.ItemNo"));
    items.SetFromJobItemTables();
    items.AddWhere(QStringLiteral("Items.SerNo = 0"));
    items.JoinForList(QString(), QString(), false);
    EXPECT_TRUE(items.m_strSQL.startsWith(QLatin1String("SELECT Items.ItemNo FROM ShipBy RIGHT JOIN (Employees ")));
    EXPECT_TRUE(items.m_strSQL.endsWith(QLatin1String("ON ShipBy.[No] = Jobs.ViaDue   WHERE Items.SerNo = 0")));
}

TEST_F(CSQLTest, UserSortAllColumnsAndTopLists)
{
    CSQL q;
    q.SetSelect(QStringLiteral("Jobs.JobNo, Jobs.Title"));
    q.SetFrom(QStringLiteral("Jobs"));
    q.AddCondition(QStringLiteral("Jobs.JobType = "), 1);
    q.AddOrderBy(QStringLiteral("Jobs.JobNo"));
    q.JoinForList(QString(), QStringLiteral("Jobs.DateIn DESC, Jobs.JobNo"), true);
    EXPECT_EQ(s(q.m_strSQL), "SELECT *  FROM Jobs  WHERE Jobs.JobType = 1  ORDER BY Jobs.DateIn DESC, Jobs.JobNo");
    EXPECT_TRUE(q.m_bDescending);

    // A TOP-n list keeps its own order (it decides which rows are taken), and
    // a grouped list its select list.
    CSQL top;
    top.SetSelect(QStringLiteral("TOP 10 Customers.Name, Sum(Jobs.Subtotal) AS Net"));
    top.SetFrom(QStringLiteral("Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo"));
    top.SetGroupBy(QStringLiteral("Customers.Name"));
    top.AddOrderBy(QStringLiteral("Sum(Jobs.Subtotal)"));
    top.JoinForList(QString(), QStringLiteral("Customers.Name DESC"), true);
    EXPECT_EQ(s(top.m_strSQL), "SELECT TOP 10 Customers.Name, Sum(Jobs.Subtotal) AS Net FROM Customers INNER JOIN "
                               "Jobs ON Customers.CusNo = Jobs.CusNo  GROUP BY Customers.Name  ORDER BY "
                               "Sum(Jobs.Subtotal)");
    EXPECT_FALSE(top.m_bDescending);
}

TEST_F(CSQLTest, ListJoinLeavesNoListOrAFinishedStatement)
{
    CSQL none;
    none.SetFrom(QStringLiteral("Jobs"));
    none.AddCondition(QStringLiteral("Jobs.JobType = "), 0);
    none.JoinForList(QStringLiteral("Jobs.Status = 1"), QStringLiteral("Jobs.Title"), true);
    EXPECT_EQ(s(none.m_strSQL), "");

    CSQL finished;
    finished.m_strSQL = QStringLiteral("SELECT Jobs.JobNo FROM Jobs WHERE Jobs.Subtotal = 0");
    finished.SetSelect(QStringLiteral("Other"));
    finished.JoinForList(QStringLiteral("Jobs.Status = 1"), QStringLiteral("Jobs.Title DESC"), false);
    EXPECT_EQ(s(finished.m_strSQL), "SELECT Jobs.JobNo FROM Jobs WHERE Jobs.Subtotal = 0");
    EXPECT_FALSE(finished.m_bDescending);
}

TEST_F(CSQLTest, PrintJoinTakesOnlyItsOwnPieces)
{
    CSQL q;
    q.SetSelect(QStringLiteral("Jobs.JobNo, Jobs.Subtotal"));
    q.SetFromJobTables();
    q.AddWhere(QStringLiteral("Jobs.Status = 1"));
    q.AddCondition(QStringLiteral("Jobs.JobType = "), 0); // not merged by the print join
    q.SetDateCondition(QStringLiteral("Jobs.DateIn"), 0, 0);
    q.SetHaving(QStringLiteral("Count(*) > "), 1); // nor is HAVING
    q.m_strOrderBy = QStringLiteral("Jobs.JobNo DESC, Jobs.CusNo");
    q.m_strPivot = QStringLiteral(" PIVOT Jobs.JobType");
    q.JoinForPrint();
    EXPECT_EQ(s(q.m_strSQL), std::string("SELECT Jobs.JobNo, Jobs.Subtotal") + kJobTables +
                                 "  WHERE Jobs.Status = 1  ORDER BY Jobs.JobNo DESC, Jobs.CusNo  PIVOT Jobs.JobType");
    EXPECT_FALSE(q.m_bDescending);
}
