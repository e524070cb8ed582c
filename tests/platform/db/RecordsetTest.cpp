#include "DbFixture.h"

#include "platform/db/DbException.h"

using namespace platform;

TEST_F(DbTest, SmokeOpenAddEdit)
{
    makeJobsTable();
    addJob(100, QStringLiteral("Cards"), 12.5);
    addJob(101, QStringLiteral("Flyers"), 3.3333);
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs"));
    ASSERT_TRUE(rs.canUpdate());
    EXPECT_EQ(rs.value(QStringLiteral("JobID")).toInt(), 1);
    EXPECT_EQ(rs.value(QStringLiteral("Name")).toString(), QStringLiteral("Cards"));
    rs.moveNext();
    EXPECT_EQ(rs.value(4).toMoney().units(), 33333);
    rs.addNew();
    EXPECT_EQ(rs.value(0).toInt(), 3);
    rs.setValue(1, Value(QStringLiteral("102")));
    rs.update();
    rs.moveLast();
    EXPECT_EQ(rs.value(1).toInt(), 102);
    rs.edit();
    rs.setValue(2, Value(QStringLiteral("Posters")));
    rs.update();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 102")).toString(), QStringLiteral("Posters"));
}
