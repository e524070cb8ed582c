#include "DbFixture.h"

#include "platform/db/Statement.h"

using namespace platform;

void DbTest::SetUp()
{
    TavrelTest::SetUp();
    Database::create(dbPath());
    db.open(dbPath());
}

void DbTest::TearDown()
{
    db.close();
    TavrelTest::TearDown();
}

void DbTest::makeJobsTable()
{
    TableDef def;
    def.name = QStringLiteral("Jobs");
    def.fields = {
        {QStringLiteral("JobID"), FieldType::Long, 4, true},
        {QStringLiteral("JobNo"), FieldType::Long, 4},
        {QStringLiteral("Name"), FieldType::Text, 20},
        {QStringLiteral("Note"), FieldType::Memo, 0},
        {QStringLiteral("Price"), FieldType::Currency, 8},
        {QStringLiteral("DateIn"), FieldType::Date, 8},
        {QStringLiteral("Rush"), FieldType::Boolean, 1},
    };
    def.indexes = {{QStringLiteral("JobID"), QStringLiteral("JobID"), true, true}};
    db.createTable(def);
}

void DbTest::addJob(int jobNo, const QString &name, double price)
{
    db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Name, Price) VALUES (?, ?, ?)"),
               {Value(jobNo), Value(name), Value(Money::fromDouble(price))});
}

Value DbTest::scalar(const QString &sqliteSql)
{
    Statement st(db.handle(), sqliteSql);
    return st.step() ? st.storedValue(0) : Value();
}

void DbTest::padFile(int pages)
{
    // Some 1,000 pages of rows of 3,000 random bytes at a time.
    db.executeNative(QStringLiteral("CREATE TABLE Padding (Bytes BLOB)"));
    while (scalar(QStringLiteral("PRAGMA page_count")).toInt64() < pages)
        db.executeNative(QStringLiteral("INSERT INTO Padding WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                        "FROM n WHERE i < 1000) SELECT randomblob(3000) FROM n"));
}
