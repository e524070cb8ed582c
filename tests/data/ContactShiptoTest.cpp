#include "ShopTablesTest.h"

#include "data/CContactSet.h"
#include "data/CShiptoSet.h"
#include "data/SharedDatabase.h"

namespace {

class ContactShiptoTest : public ShopTablesTest
{
protected:
    void fillContact(CContactSet &c)
    {
        c.m_Title = QStringLiteral("Ms.");
        c.m_First = QStringLiteral("Ann");
        c.m_Last = QStringLiteral("Lee");
        c.m_Email = QStringLiteral("ann@example.com");
        c.m_Phone = QStringLiteral("555-0101");
        c.m_Phone2 = QStringLiteral("555-0102");
        c.m_Cell = QStringLiteral("555-0103");
        c.m_Fax = QStringLiteral("555-0104");
    }
};

struct LayoutCase
{
    int layout;
    const char *title;
    const char *expected;
};

void PrintTo(const LayoutCase &c, std::ostream *os)
{
    *os << "layout " << c.layout << " (" << c.title << ")";
}


class ContactLayoutTest : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(ContactLayoutTest, FormatsTheRow)
{
    const LayoutCase &c = GetParam();
    CContactSet set;
    set.m_Title = QString::fromUtf8(c.title);
    set.m_First = QStringLiteral("Ann");
    set.m_Last = QStringLiteral("Lee");
    set.m_Email = QStringLiteral("ann@example.com");
    set.m_Phone = QStringLiteral("555-0101");
    set.m_Phone2 = QString();
    set.m_Cell = QStringLiteral("555-0103");
    set.m_Fax = QStringLiteral("555-0104");
    EXPECT_EQ(set.GetNameText(c.layout), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ContactLayoutTest,
    ::testing::Values(LayoutCase{1, "Ms.", "Ann Lee"}, LayoutCase{2, "Ms.", "Lee, Ann"}, LayoutCase{3, "Ms.", "Ms. Lee:"},
                      LayoutCase{4, "Ms.", "Ms. Ann Lee"}, LayoutCase{4, "", "Ann Lee"},
                      LayoutCase{3, "", "Lee:"},
                      LayoutCase{6, "", "Ann Lee\nann@example.com\nPh1: 555-0101\nPh2: \nCell: 555-0103\nFax: 555-0104"},
                      LayoutCase{7, "", "Name\tAnn Lee\nPhone\t555-0101\nFax\t555-0104"}, LayoutCase{0, "Ms.", ""},
                      LayoutCase{8, "Ms.", ""}));

TEST_F(ContactShiptoTest, ContactCardsByNumber)
{
    CContactSet set;
    EXPECT_EQ(set.GetContactCard(0, 6), QStringLiteral("Name:\nPhone:\nFax:"));
    EXPECT_EQ(set.GetContactCard(0, 7), QStringLiteral("Name:\nPhone:\nFax:"));
    EXPECT_EQ(set.GetContactCard(0, 1), QString());
    EXPECT_EQ(set.GetContactCard(999, 4), QStringLiteral("< not found >"));
    EXPECT_EQ(set.GetContactCard(999, 0), QString());

    exec(QStringLiteral("INSERT INTO Contacts (CusNo, Title, [First], [Last], Phone, Fax) "
                        "VALUES (31, 'Mr.', 'Bo', 'Ng', '1', '2')"));
    const qint32 no = scalar(QStringLiteral("SELECT Max(ContactNo) FROM Contacts")).toInt();
    EXPECT_EQ(set.GetContactCard(no, 4), QStringLiteral("Mr. Bo Ng"));
    EXPECT_EQ(set.GetContactCard(no, 7), QStringLiteral("Name\tBo Ng\nPhone\t1\nFax\t2"));
}

TEST_F(ContactShiptoTest, NewContactDefaultsAndCopy)
{
    CContactSet set;
    ASSERT_TRUE(set.SafeAddNew());
    EXPECT_EQ(set.m_SendEmail, 1);
    EXPECT_EQ(set.m_SendSurvey, 1);
    EXPECT_EQ(set.m_KeyContact, 1);
    EXPECT_EQ(set.m_WebOption, 1);
    EXPECT_EQ(set.m_Created, DateTime(2026, 3, 16));
    EXPECT_EQ(set.m_LastEmail, DateTime(0.0));

    // A copy into the new row takes every column but the key.
    CContactSet source;
    fillContact(source);
    source.m_ContactNo = 77;
    source.m_CusNo = 31;
    const qint32 key = set.m_ContactNo;
    set = source;
    EXPECT_EQ(set.m_ContactNo, key);
    EXPECT_EQ(set.m_CusNo, 31);
    EXPECT_EQ(set.m_Fax, QStringLiteral("555-0104"));
    ASSERT_TRUE(set.SafeUpdate());
    EXPECT_EQ(column(QStringLiteral("SELECT [Last] FROM Contacts WHERE CusNo = 31")), QStringList({"Lee"}));
}

TEST_F(ContactShiptoTest, ShipToTextsByNumber)
{
    CShiptoSet set;
    EXPECT_EQ(set.GetAddressText(0, 1), QStringLiteral("< Same as Bill To >"));
    EXPECT_EQ(set.GetAddressText(0, 2), QStringLiteral("< Same as Bill To >"));
    EXPECT_EQ(set.GetAddressText(0, 0), QString());
    EXPECT_EQ(set.GetAddressText(999, 1), QStringLiteral("< not found >"));
    EXPECT_EQ(set.GetAddressText(999, 0), QString());

    exec(QStringLiteral("INSERT INTO Shipto (CusNo, Attention, City) VALUES (31, 'Dock B', 'Salem')"));
    const qint32 no = scalar(QStringLiteral("SELECT Max(ShiptoNo) FROM Shipto")).toInt();
    EXPECT_EQ(set.GetAddressText(no, 1), QStringLiteral("Dock B\nSalem"));
    EXPECT_EQ(set.GetAddressText(no, 9), QString());
}

TEST_F(ContactShiptoTest, OneLineLayoutLeavesTheRowAlone)
{
    SharedDatabase().execute(QStringLiteral("INSERT INTO Shipto (CusNo, Company, Address, Address2, City, State, "
                                            "Zip, Country) VALUES (31, 'Acme', ?, 'Rear', 'Salem', 'OR', '97301', 'USA')"),
                             {platform::Value(QStringLiteral("Bldg 4\r\nGate 2"))});
    const qint32 no = scalar(QStringLiteral("SELECT Max(ShiptoNo) FROM Shipto")).toInt();
    CShiptoSet set;
    ASSERT_TRUE(set.FindByNo(no, true));
    EXPECT_EQ(set.GetAddress(2), QStringLiteral("Acme\nBldg 4 Gate 2\nRear\nSalem OR 97301\nUSA"));
    EXPECT_EQ(set.GetAddress(1), QStringLiteral("Acme\nBldg 4\r\nGate 2\nRear\nSalem OR 97301\nUSA"));
    EXPECT_EQ(set.GetAddress(9), QStringLiteral("Acme"));

    // Formatting changed nothing: saving the edit writes nothing new.
    EXPECT_FALSE(set.HasDirtyFields());
    EXPECT_TRUE(set.SafeUpdate());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Address FROM Shipto WHERE ShiptoNo = %1").arg(no)).toString(),
              QStringLiteral("Bldg 4\r\nGate 2"));
}

TEST_F(ContactShiptoTest, NewShipToDefaultsAndCopy)
{
    exec(QStringLiteral("INSERT INTO Shipto (CusNo, Company, City, Modified) VALUES (31, 'Acme', 'Salem', #1/2/2020#)"));
    const qint32 no = scalar(QStringLiteral("SELECT Max(ShiptoNo) FROM Shipto")).toInt();
    CShiptoSet source;
    ASSERT_TRUE(source.FindByNo(no));

    CShiptoSet set;
    ASSERT_TRUE(set.SafeAddNew());
    EXPECT_EQ(set.m_Created, DateTime(2026, 3, 16));
    EXPECT_EQ(set.m_Modified, DateTime(0.0));
    const qint32 key = set.m_ShiptoNo;
    set = source;
    EXPECT_EQ(set.m_ShiptoNo, key);
    EXPECT_EQ(set.m_Company, QStringLiteral("Acme"));
    EXPECT_EQ(set.m_Modified, DateTime(2020, 1, 2));
    ASSERT_TRUE(set.SafeUpdate());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Shipto WHERE Company = 'Acme'")).toInt(), 2);
}

} // namespace
