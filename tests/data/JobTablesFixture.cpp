#include "JobTablesFixture.h"

#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Recordset.h"

void JobTablesTest::SetUp()
{
    TavrelTest::SetUp();
    m_path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(m_path);
    db().open(m_path);
    platform::Clock::setFixed(QDateTime(QDate(2024, 6, 15), QTime(10, 0)));
}

void JobTablesTest::TearDown()
{
    CItemSet::SetInventoryRules(CItemSet::InventoryRules());
    if (db().isOpen())
        db().close();
    TavrelTest::TearDown();
}

platform::Database &JobTablesTest::db()
{
    return SharedDatabase();
}

void JobTablesTest::exec(const QString &jetSql)
{
    db().execute(jetSql);
}

platform::Value JobTablesTest::scalar(const QString &jetSql)
{
    platform::Recordset rs(db());
    rs.open(platform::Recordset::Type::Snapshot, jetSql);
    return rs.isEOF() ? platform::Value() : rs.value(0);
}

int JobTablesTest::count(const QString &table, const QString &where)
{
    return scalar(QStringLiteral("SELECT Count(*) FROM %1 WHERE %2").arg(table, where)).toInt();
}

qint32 JobTablesTest::addJob(int jobType, qint32 jobNo, const QString &columns, const QString &values)
{
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo%1) VALUES (%2, %3%4)")
             .arg(columns.isEmpty() ? QString() : QStringLiteral(", ") + columns)
             .arg(jobType)
             .arg(jobNo)
             .arg(values.isEmpty() ? QString() : QStringLiteral(", ") + values));
    return scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
}

qint32 JobTablesTest::addItem(qint32 jobId, qint32 serNo, int itemNo, const QString &columns, const QString &values)
{
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Sheets, Status%1) VALUES (%2, %3, %4, 0, 1, 1%5)")
             .arg(columns.isEmpty() ? QString() : QStringLiteral(", ") + columns)
             .arg(jobId)
             .arg(serNo)
             .arg(itemNo)
             .arg(values.isEmpty() ? QString() : QStringLiteral(", ") + values));
    return scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
}

void JobTablesTest::addService(qint32 serNo, qint32 catNo, const QString &name, const QString &columns,
                               const QString &values)
{
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name%1) VALUES (%2, %3, '%4'%5)")
             .arg(columns.isEmpty() ? QString() : QStringLiteral(", ") + columns)
             .arg(serNo)
             .arg(catNo)
             .arg(name)
             .arg(values.isEmpty() ? QString() : QStringLiteral(", ") + values));
}
