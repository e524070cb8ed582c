#include "data/DefaultRows.h"
#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "support/TestEnvironment.h"

#include <QtCore/QFile>

using namespace platform;

namespace {

class DefaultRowsTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        Clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
        path = tempPath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(path);
        db.open(path);
    }
    void TearDown() override
    {
        SetShopAddressSource(nullptr);
        db.close();
        TavrelTest::TearDown();
    }

    QStringList column(const QString &sql)
    {
        Recordset rs(db);
        rs.open(Recordset::Type::Snapshot, sql);
        QStringList out;
        for (; !rs.isEOF(); rs.moveNext())
            out << rs.value(0).toString();
        return out;
    }

    QString path;
    Database db;
};

// A shop's own edits stay; rows it lost come back; rows outside the list are
// never read or changed.
TEST_F(DefaultRowsTest, AddsOnlyWhatIsMissing)
{
    db.execute(QStringLiteral("UPDATE Customers SET Name = 'House Account' WHERE CusNo = 10"));
    db.execute(QStringLiteral("DELETE FROM Customers WHERE CusNo = 1"));
    db.execute(QStringLiteral("DELETE FROM Services WHERE SerNo = 193"));
    db.execute(QStringLiteral("DELETE FROM JobTypes WHERE JobType >= 4"));
    db.execute(QStringLiteral("INSERT INTO JobTypes (JobType, Name) VALUES (10, '1200')"));
    db.execute(QStringLiteral("UPDATE JobTypes SET Name = 'Open Orders' WHERE JobType = 0"));
    db.execute(QStringLiteral("DELETE FROM PayGroups"));

    SetShopAddressSource([] {
        ShopAddressTexts shop;
        shop.name = QStringLiteral("Corner Press");
        shop.city = QStringLiteral("Eugene");
        return shop;
    });
    EXPECT_TRUE(AddDefaultRows(&db));
    EXPECT_TRUE(prompts().shown().isEmpty());

    EXPECT_EQ(column(QStringLiteral("SELECT Name FROM Customers ORDER BY CusNo")),
              QStringList({"Corner Press", "House Account", "Walk-in Customer ***"}));
    EXPECT_EQ(column(QStringLiteral("SELECT City FROM Customers WHERE CusNo = 1")), QStringList({"Eugene"}));
    EXPECT_EQ(column(QStringLiteral("SELECT City FROM Customers WHERE CusNo = 10")), QStringList({""}));
    EXPECT_EQ(column(QStringLiteral("SELECT Name FROM Services WHERE SerNo = 193")), QStringList({"NCR Padding"}));
    EXPECT_EQ(column(QStringLiteral("SELECT Name FROM JobTypes ORDER BY JobType")),
              QStringList({"Open Orders", "Quotes", "Templates", "History", "PellOrders", "PellQuotes", "1200"}));
    EXPECT_EQ(column(QStringLiteral("SELECT Name FROM PayGroups ORDER BY PayGroup")),
              QStringList({"Quick", "Deposit", "AR"}));

    // A second run adds nothing.
    EXPECT_TRUE(AddDefaultRows(&db));
    EXPECT_EQ(column(QStringLiteral("SELECT CusNo FROM Customers")).size(), 3);
    EXPECT_EQ(column(QStringLiteral("SELECT SerNo FROM Services")).size(), 4);
    EXPECT_EQ(column(QStringLiteral("SELECT JobType FROM JobTypes")).size(), 7);
}

// Without the customers table the rows cannot be saved: the failure is shown
// and the routine reports it; the program then gives up on the file.
TEST_F(DefaultRowsTest, AFailedCustomerRowEndsTheRun)
{
    db.deleteTable(QStringLiteral("Customers"));
    db.execute(QStringLiteral("DELETE FROM JobTypes"));
    prompts().answer(IDOK);
    EXPECT_FALSE(AddDefaultRows(&db));
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot save Customers\n\nError ")))
        << prompts().lastText().toStdString();
    EXPECT_TRUE(column(QStringLiteral("SELECT Name FROM JobTypes")).isEmpty());

    // A failed code-table row is shown and the others still come.
    db.close();
    QFile::remove(path);
    CreateShopDatabase(path);
    db.open(path);
    db.deleteTable(QStringLiteral("EmpTypes"));
    db.execute(QStringLiteral("DELETE FROM PaymentTypes"));
    prompts().clear();
    for (int i = 0; i < 3; ++i)
        prompts().answer(IDOK);
    EXPECT_TRUE(AddDefaultRows(&db));
    EXPECT_EQ(prompts().shown().size(), 3);
    EXPECT_EQ(column(QStringLiteral("SELECT Name FROM PaymentTypes")), QStringList({"Cash"}));
}

} // namespace
