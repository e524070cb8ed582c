#include "JetShopFixture.h"

#include "platform/db/DbException.h"

#include <limits>

using platform::FieldType;
using platform::Value;

TEST_F(JetShopTest, UpdateOverAJoinReadsTheRowsAsTheyWere)
{
    // Items of customer 1: 100 (Side1 2, Out 3), 101 (Side1 1, Out 4), 102 (Side1 2, Out 1).
    EXPECT_EQ(db.execute(QStringLiteral(
                  "UPDATE (Items INNER JOIN Jobs ON Jobs.JobID = Items.JobID) SET Items.Vendor = Items.Side1, "
                  "Items.Side1=0, Items.Sheets = IIF(Items.Side1 = 2, (Items.Out+0.5)/2, Items.Out) WHERE (Jobs.CusNo = 1)")),
              3);
    // (3 + 0.5) / 2 = 1.75 is stored as 2 in a Long; (1 + 0.5) / 2 = 0.75 as 1.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT ItemID, Vendor, Side1, Sheets FROM Items ORDER BY ItemID")),
              (QStringList{"100|2|0|2", "101|1|0|4", "102|2|0|1", "103|0|2|0"}));

    // Self-join by alias: the first item of each job takes the second's ItemNo.
    EXPECT_EQ(db.execute(QStringLiteral(
                  "UPDATE ((Items AS Items_1 INNER JOIN Items ON Items_1.JobID = Items.JobID) INNER JOIN Jobs ON "
                  "Jobs.JobID = Items.JobID) SET Items_1.Vendor = Items.ItemNo * 10 WHERE Items_1.ItemNo = 1 AND Items.ItemNo = 2")),
              1);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Vendor FROM Items WHERE ItemID = 100")), (QStringList{"20"}));

    // A right join: every job, matched to its customer or not.
    EXPECT_EQ(db.execute(QStringLiteral("UPDATE Customers RIGHT JOIN Jobs ON Customers.CusNo = Jobs.CusNo "
                                        "SET Jobs.Title = IIf(Customers.Tax, 'taxed ', '') & Jobs.Title")),
              4);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Title FROM Jobs WHERE JobID = 10")), (QStringList{"taxed Letterhead"}));
}

TEST_F(JetShopTest, UpdateOfOneTableWritesThroughTheColumnTypes)
{
    EXPECT_EQ(db.execute(QStringLiteral("UPDATE Items SET Items.SubNo = 2.5, Items.Price = 0.03125, Items.Note = 12.50 "
                                        "WHERE Items.JobID = 10 and Items.ItemNo = 2")),
              1);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT SubNo, Price, Note FROM Items WHERE ItemID = 101")), (QStringList{"2|0.0312|12.5"}));
    // A Null joined with '' is ''.
    EXPECT_EQ(db.execute(QStringLiteral("UPDATE SalesDepartments SET No = 0, [Desc] = Group & '' WHERE [When] Is Null")), 2);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT No, Desc FROM SalesDepartments ORDER BY Name")),
              (QStringList{"0|2", "0|front", "0|"}));
    // A Yes/No takes -1 for any true value; text too long for its field is refused whole.
    EXPECT_EQ(db.execute(QStringLiteral("UPDATE Customers SET Tax = (CusNo > 2)")), 4);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Tax FROM Customers ORDER BY CusNo")), (QStringList{"0", "0", "-1", "-1"}));
    EXPECT_EQ(db.execute(QStringLiteral("UPDATE Contacts SET First = 'A first name far longer than thirty characters'")), -1);
    EXPECT_TRUE(db.lastError().startsWith(QLatin1String("JET 3163:")));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT First FROM Contacts ORDER BY ContactID")), (QStringList{"Ann", "Bob", "Cy"}));

    // A Date field keeps the days from 1/1/100 (-657434) to 12/31/9999
    // (2958465, to its last second); a Double field no number past the largest.
    // Anything else is an overflow and the row stays as it was.
    struct Write
    {
        const char *statement;
        QList<Value> values;
        const char *result; // the row afterwards, or the error
    };
    const double infinity = std::numeric_limits<double>::infinity();
    const QList<Write> writes = {
        {"UPDATE Jobs SET DateIn = 2958465.99998 WHERE JobID = 10", {}, "2958465.99998"},
        {"UPDATE Jobs SET DateIn = -657434 WHERE JobID = 10", {}, "-657434"},
        {"UPDATE Jobs SET DateIn = 2958466 WHERE JobID = 10", {}, "JET 3349: Numeric field overflow."},
        {"UPDATE Jobs SET DateIn = -657435 WHERE JobID = 10", {}, "JET 3349: Numeric field overflow."},
        {"UPDATE Jobs SET DateIn = 1e308 WHERE JobID = 10", {}, "JET 3349: Numeric field overflow."},
        {"UPDATE Jobs SET DateIn = ? WHERE JobID = 10", {Value(3000000.0)}, "JET 3349: Numeric field overflow."},
        {"UPDATE Jobs SET DateIn = DateIn + 3000000 WHERE JobID = 10", {}, "JET 3349: Numeric field overflow."},
        {"UPDATE Jobs SET DateIn = DateAdd('yyyy', 8000, DateIn) WHERE JobID = 10", {},
         "JET 0005: Invalid procedure call or argument."},
        {"UPDATE Items SET Out = 1.7976e308 WHERE ItemID = 100", {}, "1.7976e+308"},
        {"UPDATE Items SET Out = ? WHERE ItemID = 100", {Value(infinity)}, "JET 3349: Numeric field overflow."},
        {"UPDATE Items SET Out = Out * 1e308 WHERE ItemID = 100", {}, "JET 3349: Numeric field overflow."},
    };
    for (const Write &w : writes) {
        SCOPED_TRACE(w.statement);
        db.exec(QStringLiteral("UPDATE Jobs SET DateIn = 40610.0 WHERE JobID = 10"));
        db.exec(QStringLiteral("UPDATE Items SET Out = 3 WHERE ItemID = 100"));
        if (QString::fromLatin1(w.result).startsWith(QLatin1String("JET "))) {
            EXPECT_EQ(db.execute(QString::fromLatin1(w.statement), w.values), -1);
            EXPECT_EQ(db.lastError(), QString::fromLatin1(w.result));
            EXPECT_EQ(db.rows(QStringLiteral("SELECT DateIn FROM Jobs WHERE JobID = 10")), QStringList{"40610"});
            EXPECT_EQ(db.rows(QStringLiteral("SELECT Out FROM Items WHERE ItemID = 100")), QStringList{"3"});
        } else {
            EXPECT_EQ(db.execute(QString::fromLatin1(w.statement), w.values), 1) << db.lastError().toStdString();
            const QString column = QString::fromLatin1(w.statement).startsWith(QLatin1String("UPDATE Jobs"))
                ? QStringLiteral("SELECT DateIn FROM Jobs WHERE JobID = 10")
                : QStringLiteral("SELECT Out FROM Items WHERE ItemID = 100");
            EXPECT_EQ(db.rows(column), QStringList{QString::fromLatin1(w.result)});
        }
    }
}

TEST_F(JetShopTest, DeleteAndInsertForms)
{
    EXPECT_EQ(db.execute(QStringLiteral("DELETE * FROM SalesDepartments WHERE [No] = 2")), 1);
    EXPECT_EQ(db.execute(QStringLiteral("DELETE Items.* FROM Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID WHERE Jobs.CusNo = 1")), 3);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT ItemID FROM Items")), (QStringList{"103"}));
    EXPECT_EQ(db.execute(QStringLiteral("DELETE FROM Contacts")), 3);

    // Values in the table's column order; dates as serials; numbers rounded into their fields.
    EXPECT_EQ(db.execute(QStringLiteral("INSERT INTO SalesDepartments VALUES (7, '#Impressions/Orig. -->', 2.5, #3/16/2011 2:05 PM#, Null)")), 1);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT * FROM SalesDepartments WHERE [No] = 7")),
              (QStringList{QStringLiteral("7|#Impressions/Orig. -->|2|%1|<null>").arg(40618.5868055556, 0, 'g', 15)}));
    EXPECT_EQ(db.execute(QStringLiteral("INSERT INTO Contacts (ContactID, CusNo, First) VALUES (?, ?, ?)"),
                         {Value(9), Value(1), Value(QStringLiteral("Dee"))}),
              1);
    EXPECT_EQ(db.execute(QStringLiteral("INSERT INTO Contacts (ContactID, CusNo, First) SELECT CusNo + 100, CusNo, Name "
                                        "FROM Customers WHERE CusNo > 2")),
              2);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT ContactID, First, Last FROM Contacts ORDER BY ContactID")),
              (QStringList{"9|Dee|<null>", "103|ACME|<null>", "131|Cash|<null>"}));
    // A value that does not fit changes nothing.
    EXPECT_EQ(db.execute(QStringLiteral("INSERT INTO SalesDepartments (No, Group) VALUES (8, 300)")), -1);
    EXPECT_TRUE(db.lastError().startsWith(QLatin1String("JET 3349:")));
    EXPECT_EQ(db.execute(QStringLiteral("INSERT INTO SalesDepartments (No, When) VALUES (8, 'soon')")), -1);
    EXPECT_TRUE(db.lastError().startsWith(QLatin1String("JET 3421:")));
}

TEST_F(JetShopTest, SelectIntoMakesATableOfTheResultTypes)
{
    const auto t = db.translator().translate(QStringLiteral(
        "SELECT Customers.Name, Sum(Jobs.Subtotal) AS Total, Count(*) AS Jobs INTO Archive FROM Customers "
        "INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo GROUP BY Customers.Name"));
    EXPECT_EQ(t.makeTable, QStringLiteral("Archive"));
    EXPECT_EQ(t.queryType, 80);
    EXPECT_EQ(t.createTableSql, QStringLiteral("CREATE TABLE \"Archive\" (\"Name\" TEXT(50) COLLATE JETTEXT, \"Total\" CURRENCY, \"Jobs\" LONG)"));
    EXPECT_EQ(db.execute(QStringLiteral("SELECT Customers.Name, Sum(Jobs.Subtotal) AS Total, Count(*) AS Jobs INTO Archive "
                                        "FROM Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo GROUP BY Customers.Name")),
              2);
    db.addTable(QStringLiteral("Existing"), {{"A", FieldType::Long}});
    try {
        db.translator().translate(QStringLiteral("SELECT CusNo INTO Existing FROM Customers"));
        FAIL() << "an existing table";
    } catch (const platform::DbException &e) {
        EXPECT_EQ(e.number(), 3010);
        EXPECT_EQ(e.description(), QStringLiteral("Table 'Existing' already exists."));
    }
}

// Values as the engine stores them in each column type.
struct StoreCase
{
    Value value;
    FieldType type;
    int size;
    const char *expected;   // the stored value's text, or "error nnnn"
};

void PrintTo(const StoreCase &c, std::ostream *os)
{
    *os << c.value.toString().toStdString() << " as " << int(c.type);
}

class JetStore : public ::testing::TestWithParam<StoreCase>
{
};

TEST_P(JetStore, ConvertsAsJetDoes)
{
    const StoreCase &c = GetParam();
    QString got;
    try {
        const Value v = platform::jet::storeAs(c.value, c.type, c.size);
        got = v.isNull() ? QStringLiteral("<null>") : v.toString();
        if (!v.isNull()) {
            EXPECT_EQ(int(v.type()), int(c.type));
        }
    } catch (const platform::DbException &e) {
        got = QStringLiteral("error %1").arg(e.number());
    }
    EXPECT_EQ(got.toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Types, JetStore, ::testing::Values(
    StoreCase{Value(2.5), FieldType::Long, 4, "2"},
    StoreCase{Value(3.5), FieldType::Long, 4, "4"},
    StoreCase{Value(-2.5), FieldType::Integer, 2, "-2"},
    StoreCase{Value(QStringLiteral("3")), FieldType::Long, 4, "3"},
    StoreCase{Value(QStringLiteral(" 1,250 ")), FieldType::Long, 4, "1250"},
    StoreCase{Value(QStringLiteral("three")), FieldType::Long, 4, "error 3421"},
    StoreCase{Value(40000), FieldType::Integer, 2, "error 3349"},
    StoreCase{Value(-1), FieldType::Byte, 1, "error 3349"},
    StoreCase{Value(255.4), FieldType::Byte, 1, "255"},
    StoreCase{Value(2147483648.0), FieldType::Long, 4, "error 3349"},
    StoreCase{Value(0.03125), FieldType::Currency, 8, "0.0312"},
    StoreCase{Value(Money::fromUnits(125)), FieldType::Currency, 8, "0.0125"},
    StoreCase{Value(-922337203685477.5808), FieldType::Currency, 8, "-922337203685477.5808"},
    StoreCase{Value(922337203685478.0), FieldType::Currency, 8, "error 3349"},
    StoreCase{Value(1.7e38), FieldType::Currency, 8, "error 3349"},
    StoreCase{Value(-1e300), FieldType::Currency, 8, "error 3349"},
    StoreCase{Value(QStringLiteral("12.5")), FieldType::Currency, 8, "12.5"},
    StoreCase{Value(QStringLiteral("922337203685477.5807")), FieldType::Currency, 8, "922337203685477.5807"},
    StoreCase{Value(QStringLiteral(" -922337203685477.5808")), FieldType::Currency, 8, "-922337203685477.5808"},
    StoreCase{Value(QStringLiteral("922337203685477.5808")), FieldType::Currency, 8, "error 3349"},
    StoreCase{Value(QStringLiteral("-922337203685477.5809")), FieldType::Currency, 8, "error 3349"},
    StoreCase{Value(Money::fromUnits(9223372036854775807LL) + Money::fromUnits(1)), FieldType::Currency, 8, "error 3349"},
    StoreCase{Value(7), FieldType::Boolean, 1, "True"},
    StoreCase{Value(0), FieldType::Boolean, 1, "False"},
    StoreCase{Value(QStringLiteral("Yes")), FieldType::Boolean, 1, "True"},
    StoreCase{Value(12.5), FieldType::Text, 10, "12.5"},
    StoreCase{Value(Money::fromUnits(125000)), FieldType::Text, 10, "12.5"},
    StoreCase{Value(DateTime(2011, 3, 16)), FieldType::Text, 20, "3/16/2011"},
    StoreCase{Value(QStringLiteral("abcdef")), FieldType::Text, 5, "error 3163"},
    StoreCase{Value(QStringLiteral("abcdef")), FieldType::Memo, 0, "abcdef"},
    StoreCase{Value(QString()), FieldType::Text, 5, ""},
    StoreCase{Value(), FieldType::Long, 4, "<null>"},
    StoreCase{Value(QStringLiteral("3/16/2011 2:05 PM")), FieldType::Date, 8, "3/16/2011 2:05:00 PM"},
    StoreCase{Value(QStringLiteral("3/16/2011 12:30 AM")), FieldType::Date, 8, "3/16/2011 12:30:00 AM"},
    StoreCase{Value(QStringLiteral("3/16/2011 12:30 PM")), FieldType::Date, 8, "3/16/2011 12:30:00 PM"},
    StoreCase{Value(QStringLiteral("3/16/2011 0:30")), FieldType::Date, 8, "3/16/2011 12:30:00 AM"},
    StoreCase{Value(QStringLiteral("3/16/2011 12:00:00 PM")), FieldType::Date, 8, "3/16/2011 12:00:00 PM"},
    StoreCase{Value(QStringLiteral("16/3/2011")), FieldType::Date, 8, "error 3421"},
    StoreCase{Value(40618.0), FieldType::Date, 8, "3/16/2011"},
    StoreCase{Value(0.1), FieldType::Single, 4, "0.1"}));

TEST_F(JetShopTest, StatementsReportTheirSavedQueryType)
{
    const struct { const char *sql; int type; } cases[] = {
        {"SELECT Name FROM Customers", 0},
        {"SELECT Name FROM Customers UNION SELECT Title FROM Jobs", 128},
        {"TRANSFORM Count(*) SELECT CusNo FROM Jobs GROUP BY CusNo PIVOT JobType", 16},
        {"DELETE * FROM Contacts WHERE CusNo = 9", 32},
        {"UPDATE Contacts SET Last = 'x' WHERE CusNo = 9", 48},
        {"INSERT INTO Contacts (ContactID) VALUES (9)", 64},
    };
    for (const auto &c : cases)
        EXPECT_EQ(db.translator().translate(QString::fromUtf8(c.sql)).queryType, c.type) << c.sql;
}
