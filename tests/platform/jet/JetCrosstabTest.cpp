#include "JetShopFixture.h"

using platform::FieldType;

// A crosstab runs in two steps: the pivot values first, then one statement
// with a column per value in Jet's heading order.
TEST_F(JetShopTest, CrosstabColumnsFollowThePivotValues)
{
    QStringList names;
    const QStringList rows = db.crosstab(QStringLiteral(
        "TRANSFORM Sum(Items.Price) AS [The Value] SELECT Jobs.JobNo, Sum(Items.Price) AS [Amount] "
        "FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID GROUP BY Jobs.JobNo ORDER BY Jobs.JobNo DESC PIVOT Items.Side1"),
        &names);
    EXPECT_EQ(names, (QStringList{"JobNo", "Amount", "1", "2"}));
    EXPECT_EQ(rows, (QStringList{"1202|250|<null>|250", "1201|0.0001|<null>|0.0001", "1200|100.1|40.1|60"}));
    const auto t = db.translator().translate(QStringLiteral(
        "TRANSFORM Sum(Items.Price) SELECT Jobs.JobNo FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID "
        "GROUP BY Jobs.JobNo PIVOT Items.Side1"));
    EXPECT_EQ(t.columns.size(), 1);
    const auto built = t.buildCrosstab({platform::Value(2)});
    ASSERT_EQ(built.columns.size(), 2);
    EXPECT_EQ(int(built.columns[1].type), int(FieldType::Currency));
    // No rows give no pivot columns.
    EXPECT_EQ(t.buildCrosstab({}).columns.size(), 1);
}

TEST_F(JetShopTest, CrosstabHeadingsSortByValueWithNullFirst)
{
    QStringList names;
    db.crosstab(QStringLiteral("TRANSFORM First(Items.Description) SELECT Jobs.JobNo FROM Jobs LEFT JOIN Items "
                               "ON Jobs.JobID = Items.JobID GROUP BY Jobs.JobNo PIVOT Items.Note"),
                &names);
    EXPECT_EQ(names, (QStringList{"JobNo", "<>", "*{*", "Blue·Ink", "x • y"}));
    // Text headings merge without case; dates sort as dates and read m/d/yyyy.
    db.exec(QStringLiteral("UPDATE Items SET Note = 'blue·ink' WHERE ItemID = 101"));
    const QStringList rows = db.crosstab(QStringLiteral(
        "TRANSFORM Count(*) SELECT Jobs.JobNo FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID "
        "WHERE Items.Note Like 'b*' GROUP BY Jobs.JobNo PIVOT Items.Note"), &names);
    EXPECT_EQ(names.size(), 2);
    EXPECT_EQ(names[1].toLower(), QStringLiteral("blue·ink"));
    EXPECT_EQ(rows, (QStringList{"1200|2"}));
    db.crosstab(QStringLiteral("TRANSFORM Count(*) SELECT Customers.CusNo FROM Customers INNER JOIN Jobs ON "
                               "Customers.CusNo = Jobs.CusNo GROUP BY Customers.CusNo PIVOT DateValue(Jobs.DateIn)"),
                &names);
    EXPECT_EQ(names, (QStringList{"CusNo", "11/18/2010", "3/8/2011", "3/13/2011", "3/16/2011"}));
}

TEST_F(JetShopTest, CrosstabInListFixesTheColumns)
{
    QStringList names;
    const QStringList rows = db.crosstab(QStringLiteral(
        "TRANSFORM Count(*) SELECT Customers.Name FROM Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo "
        "WHERE Customers.CusNo < 3 GROUP BY Customers.Name PIVOT Jobs.JobType IN (3, 0, 7)"),
        &names);
    EXPECT_EQ(names, (QStringList{"Name", "3", "0", "7"}));
    EXPECT_EQ(rows, (QStringList{"Acme|1|1|<null>", "bolt works|<null>|1|<null>"}));
}

TEST_F(JetShopTest, CrosstabComputedHeadingsAndSeveralAggregates)
{
    // CStr(Side1)+10 adds numerically (Side1 2 gives 12), then & joins text.
    QStringList names;
    db.crosstab(QStringLiteral("TRANSFORM Sum(Items.Price) SELECT Jobs.JobNo FROM Jobs INNER JOIN Items ON "
                               "Jobs.JobID = Items.JobID GROUP BY Jobs.JobNo "
                               "PIVOT CStr([Items].[Side1])+10 & '_>_' & [Items].[Description] & '_C_w_08'"),
                &names);
    EXPECT_EQ(names, (QStringList{"JobNo", "11_>_Envelopes_C_w_08", "12_>_Cards_C_w_08",
                                  "12_>_Letterhead 24#_C_w_08", "12_>_Mailer_C_w_08"}));

    // Buckets against today (3/16/2011): late, within the week by day, later.
    db.exec(QStringLiteral("INSERT INTO Jobs (JobID, JobNo, CusNo, DateIn) VALUES (14, 1204, 2, 40640.0);"
                           "INSERT INTO Items (ItemID, JobID, ItemNo, Side1) VALUES (104, 14, 1, 0), (105, 12, 2, 3)"));
    const QStringList rows = db.crosstab(QStringLiteral(
        "TRANSFORM IIf(Sum([Items].[Side1])=0,'X',IIf(Sum([Items].[Side1])>0,(Count(IIf([Items].[Side1]>2,([Items].[Side1])))),'')) "
        "SELECT Jobs.CusNo FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID GROUP BY Jobs.CusNo "
        "PIVOT (IIf(Jobs.DateIn < Date(),' Late', IIf(Jobs.DateIn > DateAdd('d',7,Date()),'Later', Format(Jobs.DateIn,'mm/dd'))))"),
        &names);
    EXPECT_EQ(names, (QStringList{"CusNo", " Late", "03/16", "Later"}));
    EXPECT_EQ(rows, (QStringList{"1|0|<null>|<null>", "2|<null>|1|X"}));
}
