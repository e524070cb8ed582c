#include "JetShopFixture.h"

using platform::FieldType;

// Every result column carries a Jet type and size, computed from the
// expression: the lists format by them.
struct TypingCase
{
    const char *item;
    FieldType type;
    int size;
};

void PrintTo(const TypingCase &c, std::ostream *os)
{
    *os << c.item;
}

class JetTyping : public JetShopTest, public ::testing::WithParamInterface<TypingCase>
{
};

TEST_P(JetTyping, GivesTheColumnJetsType)
{
    const QString sql = QStringLiteral(
        "SELECT %1 FROM ((Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) INNER JOIN Customers ON "
        "Customers.CusNo = Jobs.CusNo) LEFT JOIN SalesDepartments ON SalesDepartments.No = Items.Vendor")
                            .arg(QString::fromUtf8(GetParam().item));
    const auto t = db.translator().translate(sql);
    ASSERT_EQ(t.columns.size(), 1);
    EXPECT_EQ(int(t.columns[0].type), int(GetParam().type));
    EXPECT_EQ(t.columns[0].size, GetParam().size);
    db.rowsOf(t); // and SQLite accepts it
    EXPECT_TRUE(db.lastError().isEmpty()) << db.lastError().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Money, JetTyping, ::testing::Values(
    TypingCase{"Sum(Jobs.Subtotal+Jobs.Discount)", FieldType::Currency, 8},
    TypingCase{"Sum(IIF((Jobs.JobType = 1 or Jobs.JobType = 3), Jobs.Subtotal, 0))", FieldType::Currency, 8},
    TypingCase{"AVG(Jobs.Subtotal+Jobs.Discount-Jobs.Shipping)", FieldType::Currency, 8},
    TypingCase{"CCur(0)", FieldType::Currency, 8},
    TypingCase{"Items.Price * 2", FieldType::Currency, 8},
    TypingCase{"Items.Price * Items.Out", FieldType::Double, 8},
    TypingCase{"Items.Price / 2", FieldType::Double, 8},
    TypingCase{"(SELECT Max(Price) FROM Items)", FieldType::Currency, 8}));

INSTANTIATE_TEST_SUITE_P(Numbers, JetTyping, ::testing::Values(
    TypingCase{"CDbl(0)", FieldType::Double, 8},
    TypingCase{"CLng(0)", FieldType::Long, 4},
    TypingCase{"CByte(IIF(SalesDepartments.Group is null, 255, SalesDepartments.Group))", FieldType::Byte, 1},
    TypingCase{"Year(Jobs.DateIn)", FieldType::Integer, 2},
    TypingCase{"Count(*)", FieldType::Long, 4},
    TypingCase{"Count(Items.Price)", FieldType::Long, 4},
    TypingCase{"Sum(IIf(Items.Side1=0, Items.ItemNo, 0))", FieldType::Long, 4},
    TypingCase{"Sum(Customers.Tax)", FieldType::Long, 4},
    TypingCase{"Sum(Items.Out)", FieldType::Double, 8},
    TypingCase{"Avg(Items.ItemNo)", FieldType::Double, 8},
    TypingCase{"0 AS [Count]", FieldType::Long, 4},
    TypingCase{"1.5", FieldType::Double, 8},
    TypingCase{"Items.Side1 + Items.SubNo", FieldType::Long, 4},
    TypingCase{"Items.ItemNo \\ 2", FieldType::Long, 4},
    TypingCase{"Items.Out Mod 2", FieldType::Long, 4},
    TypingCase{"Customers.Tax", FieldType::Boolean, 1},
    TypingCase{"Customers.CusNo = 1", FieldType::Boolean, 1},
    TypingCase{"IIf(Customers.Tax, 1, 2.5)", FieldType::Double, 8},
    TypingCase{"IIf(Customers.Tax, Items.Side1, Items.SubNo)", FieldType::Long, 4},
    TypingCase{"IIf(Customers.Tax, Items.Side1, Null)", FieldType::Byte, 1},
    TypingCase{"IIf(Customers.Tax, Items.Side1)", FieldType::Byte, 1},
    TypingCase{"Int(Items.Price)", FieldType::Currency, 8}));

INSTANTIATE_TEST_SUITE_P(Dates, JetTyping, ::testing::Values(
    TypingCase{"(Date()-Jobs.DateIn) AS [Age/Days}P]", FieldType::Double, 8},
    TypingCase{"MIN((Date()-Jobs.DateIn))", FieldType::Double, 8},
    TypingCase{"Avg(DateShipped - DateIn)", FieldType::Double, 8},
    TypingCase{"Int((Date() - Jobs.DateShipped)/30)*30", FieldType::Double, 8},
    TypingCase{"Jobs.DateIn + Items.ItemNo - 1", FieldType::Date, 8},
    TypingCase{"MAX(Jobs.DateIn)", FieldType::Date, 8},
    TypingCase{"First(Jobs.DateIn)", FieldType::Date, 8},
    TypingCase{"DateValue(Jobs.DateIn)", FieldType::Date, 8},
    TypingCase{"DateAdd('d', 7, Date())", FieldType::Date, 8},
    TypingCase{"IIf(Customers.Tax, Jobs.DateIn, Jobs.DateShipped)", FieldType::Date, 8},
    TypingCase{"IIf(Customers.Tax, Jobs.DateIn, 1)", FieldType::Double, 8}));

INSTANTIATE_TEST_SUITE_P(Text, JetTyping, ::testing::Values(
    TypingCase{"Customers.Name", FieldType::Text, 50},
    TypingCase{"Items.Note", FieldType::Memo, 0},
    TypingCase{"Min(Customers.Name)", FieldType::Text, 255},
    TypingCase{"Format(Jobs.DateIn, 'yyyy')", FieldType::Text, 255},
    TypingCase{"CStr(Jobs.JobNo)", FieldType::Text, 255},
    TypingCase{"Jobs.JobNo & ' '", FieldType::Text, 255},
    TypingCase{"'' AS [Order_w_08]", FieldType::Text, 255},
    TypingCase{"IIf(Customers.CusNo = 31, 'x', Customers.Name)", FieldType::Text, 255},
    TypingCase{"IIf(Customers.Tax, Items.Note, 'x')", FieldType::Memo, 0},
    TypingCase{"Customers.Name + Customers.Name", FieldType::Text, 255},
    TypingCase{"Mid(Customers.Name, 2)", FieldType::Text, 255},
    TypingCase{"Len(Customers.Name)", FieldType::Long, 4}));

TEST_F(JetShopTest, ResultNamesFollowJet)
{
    const auto t = db.translator().translate(QStringLiteral(
        "SELECT Jobs.JobNo, Jobs.JobNo + 1, Items.JobID, Jobs.JobID, [Jobs].[Title] AS [Customer's/Name          }Pt], "
        "2*3, Count(*)AS [Count], '' as _w_16 FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID "
        "GROUP BY Jobs.JobNo, Items.JobID, Jobs.JobID, Jobs.Title"));
    QStringList names;
    for (const auto &c : t.columns)
        names.append(c.name);
    EXPECT_EQ(names, (QStringList{"JobNo", "Expr1000", "Items.JobID", "Jobs.JobID", "Customer's/Name          }Pt",
                                  "Expr1001", "Count", "_w_16"}));
    EXPECT_EQ(t.columns[0].baseTable, QStringLiteral("Jobs"));
    EXPECT_EQ(t.columns[0].baseColumn, QStringLiteral("JobNo"));
    EXPECT_TRUE(t.columns[1].baseTable.isEmpty());
    db.rowsOf(t);
    EXPECT_TRUE(db.lastError().isEmpty());

    // SELECT * over a join keeps table order and names the shared columns Table.Field.
    const auto star = db.translator().translate(QStringLiteral("SELECT * FROM Customers AS c INNER JOIN Contacts ON c.CusNo = Contacts.CusNo"));
    names.clear();
    for (const auto &c : star.columns)
        names.append(c.name);
    EXPECT_EQ(names, (QStringList{"c.CusNo", "Name", "Tax", "Balance", "ContactID", "Contacts.CusNo", "First", "Last"}));
}

TEST_F(JetShopTest, UnionColumnsTakeTheFirstNamesAndWidenedTypes)
{
    const auto t = db.translator().translate(QStringLiteral(
        "SELECT 1 as [1], 'Net' AS [Line], 0 AS [Amount] FROM Customers WHERE CusNo = 1 "
        "UNION SELECT 2, Customers.Name, Sum(Jobs.Subtotal) FROM Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo "
        "GROUP BY Customers.Name"));
    ASSERT_EQ(t.columns.size(), 3);
    EXPECT_EQ(t.columns[0].name, QStringLiteral("1"));
    EXPECT_EQ(t.columns[1].name, QStringLiteral("Line"));
    EXPECT_EQ(int(t.columns[1].type), int(FieldType::Text));
    EXPECT_EQ(t.columns[1].size, 255);
    EXPECT_EQ(t.columns[2].name, QStringLiteral("Amount"));
    EXPECT_EQ(int(t.columns[2].type), int(FieldType::Currency));
}
