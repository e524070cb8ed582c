#include "DbFixture.h"
#include "ErrorOf.h"

#include "platform/db/ActionStatement.h"
#include "platform/db/DatabaseImpl.h"

#include <sqlite3.h>

using namespace platform;

class StatementCacheTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        makeJobsTable();
        for (int i = 0; i < 3; ++i)
            addJob(100 + i, QStringLiteral("Job %1").arg(i), 10.0 + i);
    }
    Database::Impl &impl() { return *db.impl(); }
};

TEST_F(StatementCacheTest, AStatementInUseIsNeverHandedOutTwice)
{
    const QString sql = QStringLiteral("SELECT JobNo FROM Jobs WHERE JobNo >= ?1 ORDER BY JobNo");
    sqlite3_stmt *first = nullptr;
    sqlite3_stmt *second = nullptr;
    {
        Statement a = impl().prepare(sql);
        Statement b = impl().prepare(sql);
        first = a.handle();
        second = b.handle();
        EXPECT_NE(a.handle(), b.handle());
        // Both walk on their own.
        a.bind(1, Value(100));
        b.bind(1, Value(101));
        ASSERT_TRUE(a.step());
        ASSERT_TRUE(b.step());
        EXPECT_EQ(a.integer(0), 100);
        EXPECT_EQ(b.integer(0), 101);
        ASSERT_TRUE(a.step());
        EXPECT_EQ(a.integer(0), 101);
        // Both left mid-way.
    }
    // One comes back for the text, reset, its bindings cleared, and holding
    // no lock: another connection can write at once.
    EXPECT_TRUE(impl().statements->keeps(sql));
    Statement again = impl().prepare(sql);
    EXPECT_TRUE(again.handle() == first || again.handle() == second);
    EXPECT_FALSE(impl().statements->keeps(sql)); // checked out
    EXPECT_EQ(sqlite3_stmt_busy(again.handle()), 0);
    EXPECT_FALSE(again.step()); // ?1 is Null: no row
    Database other;
    Database::setBusyTimeout(0);
    other.open(dbPath());
    Database::setBusyTimeout(5000);
    other.execute(QStringLiteral("DELETE FROM Jobs WHERE JobNo = 102"));
    EXPECT_EQ(other.recordsAffected(), 1);
}

TEST_F(StatementCacheTest, SchemaChangesAndFailuresAreNotReused)
{
    const QString sql = QStringLiteral("SELECT * FROM Jobs");
    {
        Statement st = impl().prepare(sql);
        EXPECT_EQ(st.columnCount(), 7);
    }
    EXPECT_TRUE(impl().statements->keeps(sql));
    db.addField(QStringLiteral("Jobs"), {QStringLiteral("Pages"), FieldType::Long, 4});
    {
        // Statements kept from before the change are gone.
        Statement st = impl().prepare(QStringLiteral("SELECT Name FROM Jobs"));
        EXPECT_FALSE(impl().statements->keeps(sql));
    }
    {
        Statement st = impl().prepare(sql);
        EXPECT_EQ(st.columnCount(), 8);
    }

    // A statement whose step failed is finalized, not kept.
    db.createIndex(QStringLiteral("Jobs"), {QStringLiteral("JobNo"), QStringLiteral("JobNo"), false, true});
    const QString insert = QStringLiteral("INSERT INTO Jobs (JobNo) VALUES (?1)");
    {
        Statement st = impl().prepare(insert);
        st.bind(1, Value(100));
        EXPECT_EQ(errorOf([&] { st.run(); }), 3022);
    }
    EXPECT_FALSE(impl().statements->keeps(insert));
    Statement st = impl().prepare(insert);
    st.bind(1, Value(300));
    st.run();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Jobs WHERE JobNo = 300")).toInt(), 1);
}

TEST_F(StatementCacheTest, CloseFinalizesEverythingEvenStatementsStillHeld)
{
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs"));
    EXPECT_EQ(rs.value(QStringLiteral("JobNo")).toInt(), 100);
    Statement held = impl().prepare(QStringLiteral("SELECT Name FROM Jobs"));
    db.close();
    EXPECT_EQ(impl().statements, nullptr);
    EXPECT_EQ(errorOf([&] { rs.moveNext(); }), 3420);
    held = Statement(); // goes back to a closed cache: finalized
    rs.close();

    // Reopened, the same texts prepare afresh and read the file as it is.
    db.open(dbPath());
    rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs"));
    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 3);
}

TEST_F(StatementCacheTest, AnActionStatementFollowsSchemaChangesFailuresAndReopening)
{
    ActionStatement insert(db, QStringLiteral("INSERT INTO Jobs (JobNo, Name, Price) VALUES (?, ?, ?)"));
    insert.execute({Value(200), Value(QStringLiteral("A")), Value(Money::fromCents(150))});
    EXPECT_EQ(db.recordsAffected(), 1);
    db.addField(QStringLiteral("Jobs"), {QStringLiteral("Pages"), FieldType::Long, 4});
    insert.execute({Value(201), Value(QStringLiteral("B")), Value(Money())});
    db.createIndex(QStringLiteral("Jobs"), {QStringLiteral("JobNo"), QStringLiteral("JobNo"), false, true});
    EXPECT_EQ(errorOf([&] { insert.execute({Value(200), Value(QStringLiteral("again")), Value(Money())}); }), 3022);
    insert.execute({Value(202), Value(QStringLiteral("C")), Value(Money())});
    db.close();
    db.open(dbPath());
    insert.execute({Value(203), Value(QStringLiteral("D")), Value(Money())});
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(Name, ',') FROM (SELECT Name FROM Jobs WHERE JobNo >= 200 "
                                    "ORDER BY JobNo)")).toString(),
              QStringLiteral("A,B,C,D"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Price FROM Jobs WHERE JobNo = 200")).toDouble(), 1.5);

    // Whole numbers written in the statement are stored as bound ones are;
    // one a column cannot hold still fails.
    db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Price, Pages) VALUES (300, 0, 255)"));
    db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Price, Pages) VALUES (?, ?, ?)"),
               {Value(301), Value(Money()), Value(255)});
    const QString stored = QStringLiteral("SELECT typeof(Price) || ' ' || Price || ' ' || typeof(Pages) || ' ' || Pages "
                                          "FROM Jobs WHERE JobNo = %1");
    EXPECT_EQ(scalar(stored.arg(300)).toString(), scalar(stored.arg(301)).toString());
    EXPECT_NE(errorOf([&] { db.execute(QStringLiteral("INSERT INTO Jobs (JobNo) VALUES (2147483648)")); }), 0);
}
