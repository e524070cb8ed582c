#include "DataTestBase.h"

#include "data/SharedDatabase.h"
#include "platform/db/Recordset.h"
#include "platform/db/TableDef.h"

using platform::FieldDef;
using platform::FieldType;
using platform::IndexDef;
using platform::TableDef;

namespace {

FieldDef field(const char *name, FieldType type, int size = 0, bool autoNumber = false)
{
    FieldDef f;
    f.name = QString::fromLatin1(name);
    f.type = type;
    f.size = size;
    f.autoNumber = autoNumber;
    return f;
}

TableDef table(const char *name, std::initializer_list<FieldDef> fields, const char *key)
{
    TableDef t;
    t.name = QString::fromLatin1(name);
    int ordinal = 0;
    for (FieldDef f : fields) {
        f.ordinal = ordinal++;
        t.fields << f;
    }
    IndexDef index;
    index.name = index.field = QString::fromLatin1(key);
    index.primary = index.unique = true;
    t.indexes << index;
    return t;
}

} // namespace

void DataTest::SetUp()
{
    TavrelTest::SetUp();
    m_path = tempPath(QStringLiteral("TavrelData.mdb"));
    platform::Database::create(m_path);
    db().open(m_path);
    using T = FieldType;
    db().createTable(table("Taxes",
                           {field("No", T::Byte), field("Name", T::Text, 50), field("TaxPercent", T::Long),
                            field("TaxShipping", T::Byte), field("RoundUp", T::Byte), field("Type", T::Byte),
                            field("TaxPostage", T::Byte)},
                           "No"));
    db().createTable(table("Customers",
                           {field("CusNo", T::Long), field("Name", T::Text, 50), field("Balance", T::Currency),
                            field("Rate", T::Double), field("DateCreated", T::Date), field("Memo", T::Memo),
                            field("Terms", T::Byte), field("Discount", T::Long), field("Weight", T::Single)},
                           "CusNo"));
    db().createTable(table("Options", {field("OptionID", T::Long), field("Value", T::Long)}, "OptionID"));
    db().createTable(table("Vendors", {field("No", T::Byte), field("Name", T::Text, 50), field("Type", T::Byte)},
                           "No"));
    db().createTable(table("CustomerAlerts",
                           {field("AlertNo", T::Long, 0, true), field("CusNo", T::Long),
                            field("AlertType", T::Byte), field("AlertText", T::Text, 255)},
                           "AlertNo"));
    db().createTable(table("Shipto", {field("ShiptoNo", T::Long, 0, true), field("CusNo", T::Long)}, "ShiptoNo"));
    db().createTable(table("Contacts",
                           {field("ContactNo", T::Long, 0, true), field("CusNo", T::Long),
                            field("Name", T::Text, 50), field("Dept", T::Text, 20)},
                           "ContactNo"));
    db().createTable(table("Jobs",
                           {field("JobID", T::Long, 0, true), field("JobType", T::Byte), field("JobNo", T::Long),
                            field("JobName", T::Text, 50), field("Price", T::Currency)},
                           "JobID"));
}

void DataTest::TearDown()
{
    if (db().isOpen())
        db().close();
    TavrelTest::TearDown();
}

platform::Database &DataTest::db()
{
    return SharedDatabase();
}

platform::Value DataTest::scalar(const QString &jetSql)
{
    platform::Recordset rs(db());
    rs.open(platform::Recordset::Type::Snapshot, jetSql);
    return rs.isEOF() ? platform::Value() : rs.value(0);
}
