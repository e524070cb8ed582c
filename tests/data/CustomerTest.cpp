#include "ShopTablesTest.h"

#include "data/CContactSet.h"
#include "data/CCusSet.h"
#include "data/SettingRows.h"

namespace {

class CustomerTest : public ShopTablesTest
{
protected:
    // Adds a customer through the set the way the customer window does.
    qint32 addCustomer(const QString &name, const QString &city = QString())
    {
        CCusSet set;
        EXPECT_TRUE(set.SafeAddNew());
        set.InitNewCustomer();
        set.GetNextCusNo();
        set.m_Name = name;
        set.m_City = city;
        const qint32 cusNo = set.m_CusNo;
        EXPECT_TRUE(set.SafeUpdate());
        return cusNo;
    }
};

TEST_F(CustomerTest, NumbersStartAfterTheWalkInCustomer)
{
    CCusSet set;
    ASSERT_TRUE(set.SafeAddNew());
    set.GetNextCusNo();
    EXPECT_EQ(set.m_CusNo, 32);
    set.CancelUpdate();

    exec(QStringLiteral("DELETE FROM Customers"));
    ASSERT_TRUE(set.SafeAddNew());
    set.GetNextCusNo();
    EXPECT_EQ(set.m_CusNo, 31);
    set.CancelUpdate();

    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (5000, 'Big')"));
    ASSERT_TRUE(set.SafeAddNew());
    set.GetNextCusNo();
    EXPECT_EQ(set.m_CusNo, 5001);

    // The number counted is taken by another workstation before the write
    // (5000 here): the next number the source gives is written instead.
    QList<qint32> offered{5000, 5002};
    set.m_Name = QStringLiteral("Second");
    ASSERT_TRUE(set.SaveNewRecord(set.m_CusNo, [&] { return offered.takeFirst(); }));
    EXPECT_EQ(set.m_CusNo, 5002);
    EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(column(QStringLiteral("SELECT CusNo & '|' & Name FROM Customers ORDER BY CusNo")),
              (QStringList{QStringLiteral("5000|Big"), QStringLiteral("5002|Second")}));
    // A source that gives the taken number again is not asked forever: the
    // save fails once, said with the table, and writes nothing.
    ASSERT_TRUE(set.SafeAddNew());
    set.m_Name = QStringLiteral("Third");
    offered = {5000, 5000, 5003};
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(set.SaveNewRecord(set.m_CusNo, [&] { return offered.takeFirst(); }));
    EXPECT_EQ(offered, QList<qint32>{5003});
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot save Customers\n\nError 3022 occured:")))
        << prompts().lastText().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Customers")).toInt(), 2);
}

TEST_F(CustomerTest, NewCustomerDefaultsAreStored)
{
    const qint32 cusNo = addCustomer(QStringLiteral("Acme"));
    CCusSet set;
    ASSERT_TRUE(set.FindCustomer(cusNo));
    EXPECT_EQ(set.m_Name, QStringLiteral("Acme"));
    EXPECT_EQ(set.m_CusStatus, 1);
    EXPECT_EQ(set.m_PriceRound, 1);
    EXPECT_EQ(set.m_Tax, 1);
    EXPECT_EQ(set.m_Terms, 0);
    EXPECT_EQ(set.m_PayerNo, 0);
    EXPECT_TRUE(set.m_CreditDue.isValid());
    EXPECT_EQ(set.m_CreditDue, Money::zero());
    EXPECT_EQ(set.m_DateCreated, DateTime(2026, 3, 16));
    EXPECT_EQ(set.m_DateModified, DateTime(2026, 3, 16));
    EXPECT_EQ(set.m_Address, QString());
}

TEST_F(CustomerTest, CopyTakesSettingsAndNamesTheCopy)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Address, Address2, City, State, Zip, Country, "
                        "Terms, Tax, SRepNo, PriceLevel, CreditLimit, CreditDue, ParentNo, Memo, PayerNo) VALUES "
                        "(40, '%1', '1 Main', 'Suite 2', 'Eugene', 'OR', '97401', 'USA', 3, 2, 7, 1, 5000, 75, 12, "
                        "'private', 9)")
             .arg(QString(55, QLatin1Char('N'))));
    CCusSet set;
    ASSERT_TRUE(set.SafeAddNew());
    set.InitNewCustomer();
    ASSERT_TRUE(set.CopyCustomer(40));
    EXPECT_EQ(set.m_Name, QString(50, QLatin1Char('N')) + QStringLiteral(" - Copy"));
    EXPECT_EQ(set.m_Address, QStringLiteral("1 Main"));
    EXPECT_EQ(set.m_Address2, QStringLiteral("Suite 2"));
    EXPECT_EQ(set.m_City, QStringLiteral("Eugene"));
    EXPECT_EQ(set.m_Zip, QStringLiteral("97401"));
    EXPECT_EQ(set.m_Terms, 3);
    EXPECT_EQ(set.m_Tax, 2);
    EXPECT_EQ(set.m_SRepNo, 7);
    EXPECT_EQ(set.m_ParentNo, 12);
    EXPECT_EQ(set.m_CreditLimit, Money::fromWhole(5000));
    // What belongs to the customer itself stays with it.
    EXPECT_EQ(set.m_CreditDue, Money::zero());
    EXPECT_EQ(set.m_Memo, QString());
    EXPECT_EQ(set.m_PayerNo, 0);
    EXPECT_EQ(set.m_CusNo, 0);
    set.CancelUpdate();

    // The default customer lends its settings but not its name or address.
    exec(QStringLiteral("UPDATE Customers SET Address = 'Shop St', Terms = 4, ParentNo = 3 WHERE CusNo = 10"));
    ASSERT_TRUE(set.SafeAddNew());
    set.InitNewCustomer();
    ASSERT_TRUE(set.CopyCustomer(CCusSet::DefaultCustomer));
    EXPECT_EQ(set.m_Name, QStringLiteral("< new >"));
    EXPECT_EQ(set.m_Address, QString());
    EXPECT_EQ(set.m_ParentNo, 0);
    EXPECT_EQ(set.m_Terms, 4);

    // A missing source leaves the row alone.
    set.m_City = QStringLiteral("Salem");
    EXPECT_FALSE(set.CopyCustomer(777));
    EXPECT_EQ(set.m_City, QStringLiteral("Salem"));
    EXPECT_EQ(set.m_Terms, 4);
}

TEST_F(CustomerTest, AddressBlockAndLayouts)
{
    CCusSet set;
    QString block = QStringLiteral("x");
    EXPECT_EQ(set.FormatAddress(block), QString());
    set.m_City = QStringLiteral("Eugene");
    EXPECT_EQ(set.FormatAddress(block), QStringLiteral("Eugene"));
    set.m_Zip = QStringLiteral("97401");
    set.m_Address2 = QStringLiteral("Suite 2");
    EXPECT_EQ(set.FormatAddress(block), QStringLiteral("Suite 2\nEugene  97401"));

    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Title, [First], [Last]) VALUES (40, '', 'Ann', 'Lee')"));
    const qint32 payer = scalar(QStringLiteral("SELECT Max(ContactNo) FROM Contacts")).toInt();
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, Address, City, State, Zip, Country, PayerNo) "
                        "VALUES (40, 'Acme', '1 Main', 'Eugene', 'OR', '97401', '', %1)")
             .arg(payer));
    EXPECT_EQ(set.FormatCustomer(40, 0), QStringLiteral("1 Main\nEugene OR 97401"));
    EXPECT_EQ(set.FormatCustomer(40, 9), QStringLiteral("Acme"));
    EXPECT_EQ(set.FormatCustomer(40, 4), QStringLiteral("Ann Lee\n1 Main\nEugene OR 97401"));
    EXPECT_EQ(set.FormatCustomer(40, 3), QString());
    EXPECT_EQ(set.FormatCustomer(41, 0), QString());
}

TEST_F(CustomerTest, DeletingACustomerTakesItsRowsAndNothingElse)
{
    const qint32 gone = addCustomer(QStringLiteral("Gone"));
    const qint32 kept = addCustomer(QStringLiteral("Kept"));
    for (qint32 cusNo : {gone, kept}) {
        exec(QStringLiteral("INSERT INTO Shipto (CusNo, Company) VALUES (%1, 'dock')").arg(cusNo));
        exec(QStringLiteral("INSERT INTO Contacts (CusNo, [Last]) VALUES (%1, 'x')").arg(cusNo));
        exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (%1, 2, 'a')").arg(cusNo));
    }
    ASSERT_TRUE(SaveGlobalAlertText(251, QStringLiteral("1,1,0,")));

    CCusSet set;
    EXPECT_TRUE(set.DeleteCustomer(gone));
    const QString count = QStringLiteral("SELECT Count(*) FROM %1 WHERE CusNo = %2");
    for (const char *table : {"Customers", "Shipto", "Contacts", "CustomerAlerts"}) {
        EXPECT_EQ(scalar(count.arg(QLatin1String(table)).arg(gone)).toInt(), 0) << table;
        EXPECT_EQ(scalar(count.arg(QLatin1String(table)).arg(kept)).toInt(), 1) << table;
    }

    // Customer 0 owns the program-wide settings: never deleted.
    EXPECT_FALSE(set.DeleteCustomer(0));
    EXPECT_FALSE(set.DeleteCustomerRows(0));
    EXPECT_FALSE(set.DeleteCustomer(-1));
    EXPECT_EQ(scalar(count.arg(QStringLiteral("CustomerAlerts")).arg(0)).toInt(), 2);
}

TEST_F(CustomerTest, AFailedDeletionLeavesEveryRow)
{
    const qint32 cusNo = addCustomer(QStringLiteral("Acme"));
    exec(QStringLiteral("INSERT INTO Shipto (CusNo, Company) VALUES (%1, 'dock')").arg(cusNo));
    exec(QStringLiteral("INSERT INTO Contacts (CusNo, [Last]) VALUES (%1, 'x')").arg(cusNo));
    refuse(QStringLiteral("Customers"), QStringLiteral("DELETE"));

    CCusSet set;
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(set.DeleteCustomer(cusNo));
    EXPECT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().value(0).contains(QStringLiteral("Cannot delete Customers")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Customers WHERE CusNo = %1").arg(cusNo)).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Shipto WHERE CusNo = %1").arg(cusNo)).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Contacts WHERE CusNo = %1").arg(cusNo)).toInt(), 1);
}

TEST_F(CustomerTest, LongTextsAreStoredCut)
{
    CCusSet set;
    ASSERT_TRUE(set.SafeAddNew());
    set.InitNewCustomer();
    set.GetNextCusNo();
    set.m_Name = QString(70, QLatin1Char('a'));
    set.m_Memo = QString(400, QLatin1Char('m'));
    ASSERT_TRUE(set.SafeUpdate());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = 32")).toString(),
              QString(60, QLatin1Char('a')));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Memo FROM Customers WHERE CusNo = 32")).toString().size(), 400);
}

} // namespace
