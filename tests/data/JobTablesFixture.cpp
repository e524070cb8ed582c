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

namespace {

// The column and value lists with 0 for every listed numeric column the
// caller leaves out, as a row made by the program holds.
void withZeros(QString &columns, QString &values, const char *const *numeric)
{
    const QStringList given = columns.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QStringList names;
    for (const QString &c : given)
        names << c.trimmed().toLower();
    for (const char *const *n = numeric; *n; ++n) {
        if (names.contains(QString::fromLatin1(*n).toLower()))
            continue;
        columns += (columns.isEmpty() ? QString() : QStringLiteral(", ")) + QString::fromLatin1(*n);
        values += (values.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("0");
    }
}

const char *const kJobNumbers[] = {"FromJobType", "FromJobNo", "Status", "CSRNo", "SRepNo", "CusNo", "ShiptoNo",
                                   "BuyerNo", "Location", "ViaDue", "TaxNo", "TermsNo", "CommType", "Creator",
                                   "WOrderPrinted", "InvoicePrinted", nullptr};
const char *const kItemNumbers[] = {"SubNo", "SortNo", "Pages", "Out", "Up", "Data1", "Data2", "Side1", "Side2",
                                    "Covrg", "Regis", "Bleed", "PrtAs", "Vendor", "Opt1", "Opt2", "Opt3", "Opt4",
                                    "Wash", "Mix", "EmpNo", "Days2", "Tag1", "Tag2", "ActualTime", "ChargeTime",
                                    "ActualQty", "ChargeQty", "Width", "Height", nullptr};

} // namespace

qint32 JobTablesTest::addJob(int jobType, qint32 jobNo, const QString &columns, const QString &values)
{
    QString c = columns;
    QString v = values;
    withZeros(c, v, kJobNumbers);
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, %1) VALUES (%2, %3, %4)").arg(c).arg(jobType).arg(jobNo).arg(v));
    return scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
}

qint32 JobTablesTest::addItem(qint32 jobId, qint32 serNo, int itemNo, const QString &columns, const QString &values)
{
    QString c = columns;
    QString v = values;
    if (!c.contains(QStringLiteral("Sheets"))) {
        c += (c.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("Sheets");
        v += (v.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("1");
    }
    if (!c.contains(QStringLiteral("Status"))) {
        c += QStringLiteral(", Status");
        v += QStringLiteral(", 1");
    }
    withZeros(c, v, kItemNumbers);
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, %1) VALUES (%2, %3, %4, %5)")
             .arg(c)
             .arg(jobId)
             .arg(serNo)
             .arg(itemNo)
             .arg(v));
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
