#include "JetShopFixture.h"

using platform::FieldType;

void JetShopTest::SetUp()
{
    platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(14, 5)));
    db.addTable(QStringLiteral("Customers"),
                {{"CusNo", FieldType::Long}, {"Name", FieldType::Text, 50}, {"Tax", FieldType::Boolean},
                 {"Balance", FieldType::Currency}},
                {QStringLiteral("CusNo")});
    db.addTable(QStringLiteral("Contacts"),
                {{"ContactID", FieldType::Long}, {"CusNo", FieldType::Long}, {"First", FieldType::Text, 30},
                 {"Last", FieldType::Text, 30}});
    db.addTable(QStringLiteral("Jobs"),
                {{"JobID", FieldType::Long}, {"JobNo", FieldType::Long}, {"CusNo", FieldType::Long},
                 {"Title", FieldType::Text, 80}, {"DateIn", FieldType::Date}, {"DateShipped", FieldType::Date},
                 {"Subtotal", FieldType::Currency}, {"Discount", FieldType::Currency},
                 {"Shipping", FieldType::Currency}, {"Creator", FieldType::Long}, {"JobType", FieldType::Integer}},
                {QStringLiteral("JobID")});
    db.addTable(QStringLiteral("Items"),
                {{"ItemID", FieldType::Long}, {"JobID", FieldType::Long}, {"ItemNo", FieldType::Long},
                 {"SubNo", FieldType::Long}, {"SerNo", FieldType::Long}, {"Description", FieldType::Text, 100},
                 {"Note", FieldType::Memo}, {"Price", FieldType::Currency}, {"Out", FieldType::Double},
                 {"Side1", FieldType::Byte}, {"Vendor", FieldType::Long}, {"Sheets", FieldType::Long}});
    db.addTable(QStringLiteral("SalesDepartments"),
                {{"No", FieldType::Long}, {"Name", FieldType::Text, 30}, {"Group", FieldType::Byte},
                 {"When", FieldType::Date}, {"Desc", FieldType::Text, 20}});

    db.exec(QStringLiteral(
        "INSERT INTO Customers VALUES (1, 'Acme', -1, 120.5), (2, 'bolt works', 0, 0), (3, 'ACME', 0, 0.0001),"
        " (31, 'Cash', 0, NULL);"
        "INSERT INTO Contacts VALUES (1, 1, 'Ann', 'Lee'), (2, 1, 'Bob', NULL), (3, 2, 'Cy', 'Ray');"
        "INSERT INTO Jobs VALUES"
        " (10, 1200, 1, 'Letterhead', 40610.0, 40612.0, 100.1, -10.05, 5, 3, 0),"
        " (11, 1201, 1, 'Cards', 40615.0, NULL, 0.2, 0.1, 0, NULL, 3),"
        " (12, 1202, 2, 'mailer', 40618.5, NULL, 250, 0, 0, 98, 0),"
        " (13, 1203, 3, 'Labels', 40500.0, 40501.0, 0, 0, 0, 99, 1);"
        "INSERT INTO Items VALUES"
        " (100, 10, 1, 0, 0, 'Letterhead 24#', 'Blue·Ink', 60, 3, 2, 0, 0),"
        " (101, 10, 2, 0, 5, 'Envelopes', NULL, 40.1, 4, 1, 0, 0),"
        " (102, 11, 1, 0, 0, 'Cards', 'x • y', 0.0001, 1, 2, 0, 0),"
        " (103, 12, 1, 0, 7, 'Mailer', '*{*', 250, 5, 2, 0, 0);"
        "INSERT INTO SalesDepartments VALUES (0, 'Walk-in', 1, 40618, 'front'), (1, 'Trade', 2, NULL, 'back'),"
        " (2, 'web', NULL, NULL, NULL);"));
}
