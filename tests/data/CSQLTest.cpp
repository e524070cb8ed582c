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

const char *const kJobItemTables =
    " FROM ShipBy RIGHT JOIN (Employees RIGHT JOIN (PostingJournal RIGHT JOIN (Customers RIGHT JOIN (Contacts "
    "RIGHT JOIN (ServiceCategories INNER JOIN (ShipTo RIGHT JOIN (Services INNER JOIN (Jobs INNER JOIN Items ON "
    "Jobs.JobID = Items.JobID) ON Services.SerNo = Items.SerNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo) ON "
    "(ServiceCategories.CatNo = Services.CatNo) AND (ServiceCategories.CatNo = Services.CatNo)) ON "
    "Contacts.ContactNo = Jobs.BuyerNo) ON Customers.CusNo = Jobs.CusNo) ON PostingJournal.PostingNo = "
    "Jobs.PostingNo) ON Employees.EmpNo = Jobs.SRepNo) ON ShipBy.[No] = Jobs.ViaDue ";

} // namespace

TEST_F(CSQLTest, PieceSettersCarryTheirKeywords)
{
    CSQL q;
    q.SetSelect(QStringLiteral("Jobs.JobNo"));
    q.SetSelect(QStringLiteral("Jobs.Title"));
    q.SetFrom(QStringLiteral("Jobs"));
    q.SetGroupBy(QStringLiteral("Jobs.CusNo"));
    q.SetTransform(QStringLiteral("Sum(Jobs.Subtotal)"));
    q.SetHaving(QStringLiteral("Count(*) > "), -2);
    EXPECT_EQ(s(q.m_strSelect), " SELECT Jobs.Title");
    EXPECT_EQ(s(q.m_strFrom), " FROM Jobs");
    EXPECT_EQ(s(q.m_strGroupBy), " GROUP BY Jobs.CusNo");
    EXPECT_EQ(s(q.m_strTransform), " TRANSFORM Sum(Jobs.Subtotal)");
    EXPECT_EQ(s(q.m_strHaving), " HAVING Count(*) > -2");

    q.SetFromJobTables();
    EXPECT_EQ(s(q.m_strFrom), kJobTables);
    q.SetFromJobItemTables();
    EXPECT_EQ(s(q.m_strFrom), kJobItemTables);
}

TEST_F(CSQLTest, ConditionsWhereAndOrder)
{
    CSQL q;
    q.AddWhere(QString());
    EXPECT_EQ(s(q.m_strWhere), "");
    q.AddWhere(QStringLiteral("A = 1"));
    q.AddWhere(QString());
    q.AddWhere(QStringLiteral("B = 2"));
    EXPECT_EQ(s(q.m_strWhere), " WHERE A = 1 and B = 2");

    q.AddCondition(QString(), 7);
    EXPECT_EQ(s(q.m_strConditions), "");
    q.AddCondition(QStringLiteral("Jobs.JobType = "), 0);
    q.AddHistoryCondition();
    q.AddPaidCondition();
    q.AddUnpaidCondition();
    q.AddCondition(QStringLiteral("Jobs.Status < "), 1234567);
    EXPECT_EQ(s(q.m_strConditions), "Jobs.JobType = 0 and Jobs.JobType = 3 and Jobs.Balance <= 0.0001 and "
                                    "Jobs.Balance > 0.0001 and Jobs.Status < 1234567");

    q.AddOrderBy(QString());
    EXPECT_EQ(s(q.m_strOrderBy), "");
    q.AddOrderBy(QStringLiteral("a"));
    q.AddOrderBy(QStringLiteral("b DESC"));
    EXPECT_EQ(s(q.m_strOrderBy), "a, b DESC");

    q.AppendPart(QString());
    EXPECT_EQ(s(q.m_strSQL), "");
    q.AppendPart(QStringLiteral(" WHERE X"));
    EXPECT_EQ(s(q.m_strSQL), "  WHERE X");
}

TEST_F(CSQLTest, DateConditionComparesOrTakesARange)
{
    CSQL q;
    q.SetDateCondition(QStringLiteral("Jobs.DateDue"), 2, 0);
    EXPECT_EQ(s(q.m_strDateCondition), "Jobs.DateDue < #03/16/2011#");
    q.SetDateCondition(QStringLiteral("Jobs.DateIn"), 2, -30);
    EXPECT_EQ(s(q.m_strDateCondition), "Jobs.DateIn < #02/14/2011#");
    q.SetDateCondition(QStringLiteral("Jobs.DateDue"), 9, 0);
    EXPECT_EQ(s(q.m_strDateCondition), "(Jobs.DateDue between #03/20/2011# and #03/26/2011#)");
    // A command id is no date code: the condition stays.
    q.SetDateCondition(QStringLiteral("Jobs.DateShipped"), 20033, 0);
    EXPECT_EQ(s(q.m_strDateCondition), "(Jobs.DateDue between #03/20/2011# and #03/26/2011#)");
}

TEST_F(CSQLTest, ListJoinPutsEveryConditionInOneWhere)
{
    CSQL q;
    q.SetSelect(QStringLiteral("Jobs.JobNo, Jobs.Title, Jobs.JobID"));
    q.SetFromJobTables();
    q.AddWhere(QStringLiteral("Jobs.CSRNo = 4"));
    q.AddCondition(QStringLiteral("Jobs.JobType = "), 0);
    q.AddCondition(QStringLiteral("Jobs.Status < "), 3);
    q.SetDateCondition(QStringLiteral("Jobs.DateDue"), 2, 0);
    q.AddOrderBy(QStringLiteral("Jobs.JobNo DESC"));
    q.m_strKey = QStringLiteral("JobID");
    q.JoinForList(QStringLiteral("Jobs.Title Like \"A*\""), QString(), false);

    EXPECT_EQ(s(q.m_strSQL), std::string("SELECT Jobs.JobNo, Jobs.Title, Jobs.JobID") + kJobTables +
                                 "  WHERE Jobs.CSRNo = 4 and Jobs.JobType = 0 and Jobs.Status < 3 and "
                                 "Jobs.DateDue < #03/16/2011# and Jobs.Title Like \"A*\"  ORDER BY Jobs.JobNo DESC");
    EXPECT_TRUE(q.m_bDescending);
    EXPECT_EQ(s(q.m_strKey), "JobID");
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

    // The item tables end in a blank of their own.
    CSQL items;
    items.SetSelect(QStringLiteral("Items.ItemNo"));
    items.SetFromJobItemTables();
    items.AddWhere(QStringLiteral("Items.SerNo = 0"));
    items.JoinForList(QString(), QString(), false);
    EXPECT_EQ(s(items.m_strSQL), std::string("SELECT Items.ItemNo") + kJobItemTables + "  WHERE Items.SerNo = 0");
}

TEST_F(CSQLTest, UserSortReplacesTheOrderExceptInTopLists)
{
    CSQL q;
    q.SetSelect(QStringLiteral("Jobs.JobNo"));
    q.SetFrom(QStringLiteral("Jobs"));
    q.AddOrderBy(QStringLiteral("Jobs.JobNo DESC"));
    q.JoinForList(QString(), QStringLiteral("Jobs.Title"), false);
    EXPECT_EQ(s(q.m_strSQL), "SELECT Jobs.JobNo FROM Jobs  ORDER BY Jobs.Title");
    EXPECT_FALSE(q.m_bDescending);

    CSQL desc;
    desc.SetSelect(QStringLiteral("Jobs.JobNo"));
    desc.SetFrom(QStringLiteral("Jobs"));
    desc.JoinForList(QString(), QStringLiteral("Jobs.DateIn DESC, Jobs.JobNo"), false);
    EXPECT_EQ(s(desc.m_strSQL), "SELECT Jobs.JobNo FROM Jobs  ORDER BY Jobs.DateIn DESC, Jobs.JobNo");
    EXPECT_TRUE(desc.m_bDescending);

    CSQL top;
    top.SetSelect(QStringLiteral("TOP 10 Customers.Name, Sum(Jobs.Subtotal) AS Net"));
    top.SetFrom(QStringLiteral("Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo"));
    top.SetGroupBy(QStringLiteral("Customers.Name"));
    top.AddOrderBy(QStringLiteral("Sum(Jobs.Subtotal) DESC"));
    top.JoinForList(QString(), QStringLiteral("Customers.Name"), true);
    EXPECT_EQ(s(top.m_strSQL), "SELECT TOP 10 Customers.Name, Sum(Jobs.Subtotal) AS Net FROM Customers INNER JOIN "
                               "Jobs ON Customers.CusNo = Jobs.CusNo  GROUP BY Customers.Name  ORDER BY "
                               "Sum(Jobs.Subtotal) DESC");
    EXPECT_TRUE(top.m_bDescending);
}

TEST_F(CSQLTest, AllColumnsFlagWidensPlainListsOnly)
{
    CSQL q;
    q.SetSelect(QStringLiteral("Jobs.JobNo, Jobs.Title"));
    q.SetFrom(QStringLiteral("Jobs"));
    q.AddCondition(QStringLiteral("Jobs.JobType = "), 1);
    q.AddOrderBy(QStringLiteral("Jobs.JobNo"));
    q.JoinForList(QString(), QString(), true);
    EXPECT_EQ(s(q.m_strSQL), "SELECT *  FROM Jobs  WHERE Jobs.JobType = 1  ORDER BY Jobs.JobNo");

    CSQL grouped;
    grouped.SetSelect(QStringLiteral("Jobs.CusNo, Count(*)"));
    grouped.SetFrom(QStringLiteral("Jobs"));
    grouped.SetGroupBy(QStringLiteral("Jobs.CusNo"));
    grouped.JoinForList(QString(), QString(), true);
    EXPECT_EQ(s(grouped.m_strSQL), "SELECT Jobs.CusNo, Count(*) FROM Jobs  GROUP BY Jobs.CusNo");
}

TEST_F(CSQLTest, ListJoinLeavesNoListOrAFinishedStatement)
{
    CSQL none;
    none.SetFrom(QStringLiteral("Jobs"));
    none.AddCondition(QStringLiteral("Jobs.JobType = "), 0);
    none.JoinForList(QStringLiteral("Jobs.Status = 1"), QStringLiteral("Jobs.Title"), true);
    EXPECT_EQ(s(none.m_strSQL), "");
    EXPECT_EQ(s(none.m_strWhere), "");

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
    q.m_strConditions = QStringLiteral("Jobs.Status = 1");
    q.AddWhere(q.m_strConditions);
    q.AddCondition(QStringLiteral("Jobs.JobType = "), 0); // not merged by the print join
    q.SetDateCondition(QStringLiteral("Jobs.DateIn"), 0, 0);
    q.SetHaving(QStringLiteral("Count(*) > "), 1); // nor is HAVING
    q.m_strOrderBy = QStringLiteral("Jobs.JobNo DESC, Jobs.CusNo");
    q.JoinForPrint();
    EXPECT_EQ(s(q.m_strSQL), std::string("SELECT Jobs.JobNo, Jobs.Subtotal") + kJobTables +
                                 "  WHERE Jobs.Status = 1  ORDER BY Jobs.JobNo DESC, Jobs.CusNo");
    EXPECT_FALSE(q.m_bDescending);

    CSQL unordered;
    unordered.SetSelect(QStringLiteral("*"));
    unordered.SetFrom(QStringLiteral("QuickSales"));
    unordered.SetGroupBy(QStringLiteral("QuickSales.PostingNo"));
    unordered.m_strPivot = QStringLiteral(" PIVOT QuickSales.Taxable");
    unordered.JoinForPrint();
    EXPECT_EQ(s(unordered.m_strSQL),
              "SELECT * FROM QuickSales  GROUP BY QuickSales.PostingNo  PIVOT QuickSales.Taxable");
}

TEST_F(CSQLTest, ResetEmptiesEveryPiece)
{
    CSQL q;
    q.SetSelect(QStringLiteral("a"));
    q.SetFrom(QStringLiteral("t"));
    q.AddWhere(QStringLiteral("x = 1"));
    q.AddCondition(QStringLiteral("y = "), 2);
    q.SetDateCondition(QStringLiteral("d"), 0, 0);
    q.SetGroupBy(QStringLiteral("a"));
    q.SetHaving(QStringLiteral("c > "), 1);
    q.SetTransform(QStringLiteral("Sum(b)"));
    q.m_strPivot = QStringLiteral(" PIVOT p");
    q.AddOrderBy(QStringLiteral("a DESC"));
    q.m_strKey = QStringLiteral("ID");
    q.m_nSortColumn = 4;
    q.JoinForList(QString(), QString(), false);
    ASSERT_TRUE(q.m_bDescending);

    q.Reset();
    for (const QString *piece : {&q.m_strSQL, &q.m_strKey, &q.m_strOrderBy, &q.m_strWhere, &q.m_strSelect,
                                 &q.m_strFrom, &q.m_strConditions, &q.m_strDateCondition, &q.m_strGroupBy,
                                 &q.m_strHaving, &q.m_strTransform, &q.m_strPivot})
        EXPECT_TRUE(piece->isEmpty()) << s(*piece);
    EXPECT_EQ(q.m_nSortColumn, 0);
    EXPECT_FALSE(q.m_bDescending);
}
