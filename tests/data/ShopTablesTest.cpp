#include "ShopTablesTest.h"

#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Recordset.h"

void ShopTablesTest::SetUp()
{
    TavrelTest::SetUp();
    platform::Clock::setFixed(QDateTime(QDate(2026, 3, 16), QTime(10, 0)));
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    CreateShopDatabase(path);
    SharedDatabase().open(path);
}

void ShopTablesTest::TearDown()
{
    if (SharedDatabase().isOpen())
        SharedDatabase().close();
    platform::Clock::reset();
    TavrelTest::TearDown();
}

void ShopTablesTest::exec(const QString &jetSql)
{
    SharedDatabase().execute(jetSql);
}

platform::Value ShopTablesTest::scalar(const QString &jetSql)
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, jetSql);
    return rs.isEOF() ? platform::Value() : rs.value(0);
}

QStringList ShopTablesTest::column(const QString &jetSql)
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, jetSql);
    QStringList out;
    for (; !rs.isEOF(); rs.moveNext())
        out << rs.value(0).toString();
    return out;
}

void ShopTablesTest::refuse(const QString &table, const QString &operation)
{
    SharedDatabase().executeNative(QStringLiteral("CREATE TRIGGER refuse_%1_%2 BEFORE %2 ON \"%1\" "
                                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                                       .arg(table, operation));
}

QStringList ShopTablesTest::messages()
{
    QStringList out;
    for (const platform::PromptRecord &r : prompts().shown())
        if (r.kind == platform::PromptRecord::Kind::MessageBox)
            out << r.text;
    return out;
}
