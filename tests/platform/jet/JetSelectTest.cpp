#include "JetShopFixture.h"

#include <cstring>

#include "platform/db/DbException.h"
#include "platform/db/jet/JetCollation.h"

using platform::FieldType;
using platform::Value;

namespace {

QStringList lower(const QStringList &rows)
{
    QStringList out;
    for (const QString &r : rows)
        out.append(r.toLower());
    return out;
}

} // namespace

TEST_F(JetShopTest, TextComparesGroupsAndSortsWithoutCase)
{
    EXPECT_EQ(db.rows(QStringLiteral("SELECT CusNo FROM Customers WHERE Name = 'acme' ORDER BY CusNo")),
              (QStringList{"1", "3"}));
    EXPECT_EQ(lower(db.rows(QStringLiteral("SELECT Name FROM Customers ORDER BY Name"))),
              (QStringList{"acme", "acme", "bolt works", "cash"}));
    EXPECT_EQ(lower(db.rows(QStringLiteral("SELECT Name, Count(*) FROM Customers GROUP BY Name ORDER BY Name"))),
              (QStringList{"acme|2", "bolt works|1", "cash|1"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT DISTINCT Name FROM Customers")).size(), 3);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Max(Name), Min(Title) FROM Customers, Jobs")),
              (QStringList{"Cash|Cards"}));

    // Blank sorts before digits, digits before letters.
    db.exec(QStringLiteral("INSERT INTO Customers VALUES (40, 'b', 0, 0), (41, ' z', 0, 0), (42, '9', 0, 0), (43, 'B', 0, 0)"));
    EXPECT_EQ(lower(db.rows(QStringLiteral("SELECT Name FROM Customers WHERE CusNo >= 40 ORDER BY Name DESC"))),
              (QStringList{"b", "b", "9", " z"}));
}

// Texts that begin alike are told apart by the first letter where they part,
// also when that letter's bytes begin alike.
TEST(JetTextOrder, TextsBeginningAlikeCompareByTheLetterWhereTheyPart)
{
    struct Case
    {
        const char *a;
        const char *b;
        int sign;
    };
    const Case cases[] = {
        {"Acme", "ACME", 0},
        {"Acme", "Acme Auto", -1},
        {"acme body", "Acme Auto", 1},
        {"caf\xC3\xA9", "caf\xC3\xA8", 1},      // é after è
        {"caf\xC3\xA9", "CAF\xC3\x89", 0},      // é, É
        {"M\xC3\xBC", "M\xC3\xBD", -1},         // ü before ý
        {"M\xC3\xBCller", "M\xC3\x9CLLER", 0},  // ü, Ü
        {"\xE2\x82\xAC" "1", "\xE2\x82\xAC" "2", -1},
        {"Zo\xC3\xAB", "Zo\xC3\xABy", -1},
        {"\xC3", "\xC3" "a", -1},                // a cut letter is a letter of its own
    };
    for (const Case &c : cases) {
        const int la = int(std::strlen(c.a));
        const int lb = int(std::strlen(c.b));
        const int ab = platform::jet::compareText(c.a, la, c.b, lb);
        const int ba = platform::jet::compareText(c.b, lb, c.a, la);
        EXPECT_EQ((ab > 0) - (ab < 0), c.sign) << c.a << " / " << c.b;
        EXPECT_EQ((ba > 0) - (ba < 0), -c.sign) << c.b << " / " << c.a;
    }
}

TEST_F(JetShopTest, TopKeepsRowsTiedWithTheLast)
{
    // Side1 of the items: 2, 1, 2, 2.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 1 ItemID FROM Items ORDER BY Side1")), (QStringList{"101"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 2 Side1 FROM Items ORDER BY Side1")),
              (QStringList{"1", "2", "2", "2"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 2 Side1 FROM Items ORDER BY Side1 DESC")).size(), 3);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 2 ItemID FROM Items ORDER BY Side1 DESC, ItemID")),
              (QStringList{"100", "102"}));
    // Without ORDER BY, or ordered by a unique key, it is a plain limit.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 3 ItemID FROM Items")).size(), 3);
    const auto byKey = db.translator().translate(QStringLiteral("SELECT TOP 2 JobNo FROM Jobs ORDER BY JobID DESC"));
    EXPECT_TRUE(byKey.sql.endsWith(QLatin1String("LIMIT 2")));
    EXPECT_EQ(db.rowsOf(byKey), (QStringList{"1203", "1202"}));
    // Ranked over an aggregate, as the sales-by-employee lists do.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 1 Customers.CusNo, SUM(Jobs.Subtotal+Jobs.Discount) as [Net Sale] "
                                     "FROM Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo "
                                     "GROUP BY Customers.CusNo ORDER BY SUM(Jobs.Subtotal+Jobs.Discount) DESC")),
              (QStringList{"2|250"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT TOP 50 PERCENT JobNo FROM Jobs ORDER BY JobNo")), (QStringList{"1200", "1201"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT DISTINCT TOP 2 Side1 FROM Items ORDER BY Side1 DESC")), (QStringList{"2", "1"}));
}

TEST_F(JetShopTest, DistinctRowIsDistinctOverWholeRecords)
{
    // Two customers share a name (Acme and ACME): DISTINCT merges them, DISTINCTROW
    // keeps one row per customer however many jobs match.
    const QString join = QStringLiteral("FROM Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo");
    EXPECT_EQ(db.rows(QStringLiteral("SELECT DISTINCT Customers.Name ") + join).size(), 2);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT DISTINCTROW Customers.Name ") + join).size(), 3);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Customers.Name ") + join).size(), 4);
    // One row per customer and contact over the right-join chain.
    EXPECT_EQ(lower(db.rows(QStringLiteral(
                  "SELECT DISTINCTROW Customers.Name, Customers.CusNo, Contacts.First FROM Jobs RIGHT JOIN "
                  "(Contacts RIGHT JOIN Customers ON Contacts.CusNo = Customers.CusNo) ON Customers.CusNo = Jobs.CusNo "
                  "ORDER BY Customers.CusNo, Contacts.First"))),
              (QStringList{"acme|1|ann", "acme|1|bob", "bolt works|2|cy", "acme|3|<null>", "cash|31|<null>"}));
    // With aggregates it changes nothing.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT DISTINCTROW Count(*) ") + join), (QStringList{"4"}));
    const auto t = db.translator().translate(QStringLiteral("SELECT DISTINCTROW Customers.Name ") + join);
    EXPECT_TRUE(t.sql.contains(QLatin1String("GROUP BY \"Customers\".rowid")));
    EXPECT_TRUE(t.updatableTable.isEmpty());
}

TEST_F(JetShopTest, UnionRowsComeSortedOnEveryColumn)
{
    EXPECT_EQ(lower(db.rows(QStringLiteral("SELECT Name FROM Customers UNION SELECT Title FROM Jobs"))),
              (QStringList{"acme", "bolt works", "cards", "cash", "labels", "letterhead", "mailer"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT 2, 'b' FROM Customers WHERE CusNo = 1 UNION SELECT 1, 'z' FROM Customers "
                                     "UNION SELECT 1, 'a' FROM Customers")),
              (QStringList{"1|a", "1|z", "2|b"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT 'x' AS [HIDE1], 2 AS [HIDE2] FROM Customers WHERE CusNo = 1 UNION "
                                     "SELECT 'y', 1 FROM Customers WHERE CusNo = 1 ORDER BY [HIDE2], [HIDE1]")),
              (QStringList{"y|1", "x|2"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT CusNo FROM Customers WHERE CusNo = 2 UNION ALL SELECT CusNo FROM Customers "
                                     "WHERE CusNo = 1 UNION ALL SELECT CusNo FROM Customers WHERE CusNo = 2")),
              (QStringList{"2", "1", "2"}));
}

TEST_F(JetShopTest, JoinsSubqueriesAndAliasesResolveAsJetDoes)
{
    EXPECT_EQ(db.rows(QStringLiteral(
                  "SELECT Customers.CusNo, Contacts.First, Jobs.JobNo FROM Jobs RIGHT JOIN (Contacts RIGHT JOIN "
                  "Customers ON Contacts.CusNo = Customers.CusNo) ON Customers.CusNo = Jobs.CusNo WHERE Customers.CusNo > 1 "
                  "ORDER BY Customers.CusNo")),
              (QStringList{"2|Cy|1202", "3|<null>|1203", "31|<null>|<null>"}));
    EXPECT_EQ(db.rows(QStringLiteral(
                  "SELECT Items.ItemID, Items_1.ItemID FROM Items INNER JOIN Items AS Items_1 ON "
                  "(Items.JobID = Items_1.JobID) AND (Items.ItemNo < Items_1.ItemNo)")),
              (QStringList{"100|101"}));
    EXPECT_EQ(db.rows(QStringLiteral(
                  "SELECT Jobs.JobNo FROM Jobs WHERE ((SELECT Items0.Price FROM Items as Items0 WHERE "
                  "Items0.JobID=Jobs.JobID and Items0.ItemNo = 1) between 50 and 300) ORDER BY Jobs.JobNo")),
              (QStringList{"1200", "1202"}));
    EXPECT_EQ(db.rows(QStringLiteral(
                  "SELECT Jobs.JobNo FROM Jobs WHERE Jobs.JobID NOT IN (SELECT Jobs.JobID FROM Jobs INNER JOIN Items "
                  "ON Jobs.JobID = Items.JobID WHERE Items.SerNo>0) ORDER BY JobNo")),
              (QStringList{"1201", "1203"}));
    // An alias of the same select list is usable in later expressions.
    EXPECT_EQ(db.rows(QStringLiteral(
                  "SELECT Jobs.Subtotal AS [Current Net Sale], 100 AS [Previous Net Sale], "
                  "([Current Net Sale]-[Previous Net Sale]) AS [$ Change], "
                  "IIf([Previous Net Sale]>0,(([$ Change]/[Previous Net Sale])*100),0) AS [% Change] "
                  "FROM Jobs WHERE JobID = 12")),
              (QStringList{"250|100|150|150"}));
    EXPECT_THROW(db.translator().translate(QStringLiteral("SELECT [b] + 1 AS [a], [a] * 2 AS [b] FROM Jobs")),
                 platform::DbException);
}

TEST_F(JetShopTest, GroupingEdgesKeepJetsMeaning)
{
    // HAVING without GROUP BY aggregates the whole selection.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Count(*) FROM Jobs WHERE Jobs.Shipping <>0 HAVING Sum(Jobs.Shipping <>0)")),
              (QStringList{"1"}));
    EXPECT_TRUE(db.rows(QStringLiteral("SELECT Count(*) FROM Jobs WHERE Jobs.Shipping = 99 HAVING Sum(Jobs.Shipping <>0)")).isEmpty());
    // A text constant groups everything: no rows give no row.
    EXPECT_TRUE(db.rows(QStringLiteral("SELECT 'Quick Sales Tax', Count(*) FROM Jobs WHERE JobID < 0 GROUP BY 'Quick Sales Tax'")).isEmpty());
    EXPECT_EQ(db.rows(QStringLiteral("SELECT 'Tax', Count(*) FROM Jobs GROUP BY 'Tax'")), (QStringList{"Tax|4"}));
    // An integer is a constant too, never a column number.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Count(*) FROM Jobs GROUP BY 2")), (QStringList{"4"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID < 12 ORDER BY 1, JobNo DESC")),
              (QStringList{"1201", "1200"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Format(DateIn,'yyyy  mm'), Count(*) FROM Jobs "
                                     "GROUP BY (Format(DateIn,'yyyy  mm')) ORDER BY Format(DateIn,'yyyy  mm')")),
              (QStringList{"2010  11|1", "2011  03|3"}));
}

TEST_F(JetShopTest, MoneySumsAreExact)
{
    db.addTable(QStringLiteral("Ledger"), {{"Amount", FieldType::Currency}, {"Kind", FieldType::Long}});
    QStringList values;
    for (int i = 0; i < 1000; ++i)
        values.append(QStringLiteral("(0.1, %1)").arg(i % 2));
    db.exec(QStringLiteral("INSERT INTO Ledger VALUES ") + values.join(QLatin1Char(',')));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Sum(Amount), Avg(Amount) FROM Ledger")), (QStringList{"100|0.1"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Kind FROM Ledger GROUP BY Kind HAVING Sum(Amount) - 50 <> 0")), QStringList());
    // Avg of money rounds to the ten-thousandth, ties to even.
    db.exec(QStringLiteral("DELETE FROM Ledger; INSERT INTO Ledger VALUES (0.0001, 1), (0.0002, 1), (0.0003, 2), (0.0004, 2)"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Kind, Avg(Amount) FROM Ledger GROUP BY Kind ORDER BY Kind")),
              (QStringList{"1|0.0002", "2|0.0004"}));
    // Over no rows Sum and Avg give Null, Count 0.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Sum(Amount), Avg(Amount), Count(Amount) FROM Ledger WHERE Kind = 9")),
              (QStringList{"<null>|<null>|0"}));
    // First and Last keep Nulls.
    EXPECT_EQ(db.rows(QStringLiteral("SELECT First(Creator), Last(Creator), Count(Creator) FROM Jobs WHERE JobID IN (11, 12)")),
              (QStringList{"<null>|98|1"}));
}

TEST_F(JetShopTest, KeywordsAreNamesWhereTheGrammarExpectsNoKeyword)
{
    EXPECT_EQ(db.rows(QStringLiteral("SELECT [No], Name, Group FROM SalesDepartments WHERE [NO] = 0")),
              (QStringList{"0|Walk-in|1"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT SalesDepartments.Group, Count(*)AS [Count] FROM SalesDepartments "
                                     "GROUP BY SalesDepartments.Group ORDER BY Group DESC")),
              (QStringList{"2|1", "1|1", "<null>|1"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Forms.[No], Forms.Name, Desc FROM SalesDepartments AS Forms "
                                     "WHERE Left(Desc, 1) <> '~' AND When Is Not Null")),
              (QStringList{"0|Walk-in|front"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT First, Last FROM Contacts ORDER BY First, Last")),
              (QStringList{"Ann|Lee", "Bob|<null>", "Cy|Ray"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT [Balance]FROM Customers WHERE(((Customers.CusNo)=1) AND ((Customers.Tax)<>0));")),
              (QStringList{"120.5"}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Date()AS [Today], SUM(Items.Price)FROM Items GROUP BY Date()")),
              (QStringList{"40618|350.1001"}));
}

TEST_F(JetShopTest, FilterAndSortWrapTheSource)
{
    const auto t = db.translator().translateWithFilter(
        QStringLiteral("SELECT Jobs.JobNo, Jobs.Title FROM Jobs WHERE Jobs.CusNo = 1 ORDER BY Jobs.JobNo"),
        QStringLiteral("Title Like 'c*' or Creator Is Null"), QStringLiteral("JobNo DESC"));
    EXPECT_EQ(db.rowsOf(t), (QStringList{"1201|Cards"}));
    EXPECT_EQ(t.updatableTable, QStringLiteral("Jobs"));
    // A table name is all its rows; the filter is one expression, never a second statement.
    EXPECT_EQ(db.rowsOf(db.translator().translateWithFilter(QStringLiteral("[Jobs]"), QStringLiteral("Creator >= 98"),
                                                            QStringLiteral("Title"))),
              (QStringList{"13|1203|3|Labels|40500|40501|0|0|0|99|1", "12|1202|2|mailer|40618.5|<null>|250|0|0|98|0"}));
    try {
        db.translator().translateWithFilter(QStringLiteral("Jobs"), QStringLiteral("1=1; DELETE FROM Jobs"), QString());
        FAIL() << "a second statement in a filter";
    } catch (const platform::DbException &e) {
        EXPECT_EQ(e.number(), 3075);
    }
    // A filter on a total holds on the groups.
    EXPECT_EQ(db.rowsOf(db.translator().translateWithFilter(
                  QStringLiteral("SELECT CusNo, Sum(Subtotal) AS [Net] FROM Jobs GROUP BY CusNo"), QStringLiteral("[Net] > 100"),
                  QStringLiteral("CusNo"))),
              (QStringList{"1|100.3", "2|250"}));
    // A union takes the filter over its result columns.
    EXPECT_EQ(lower(db.rowsOf(db.translator().translateWithFilter(
                  QStringLiteral("SELECT Name FROM Customers UNION SELECT Title FROM Jobs"), QStringLiteral("Name like 'c*'"),
                  QStringLiteral("Name DESC")))),
              (QStringList{"cash", "cards"}));
}

TEST_F(JetShopTest, CriteriaReadTheSetsFieldNames)
{
    const auto source = db.translator().translate(QStringLiteral("SELECT * FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID"));
    const QString criterion = db.translator().translateCriterion(QStringLiteral("JobType = 3 and Jobs.Title = 'cards'"), source.columns);
    EXPECT_EQ(criterion, QStringLiteral("((\"JobType\" = 3) AND (\"Title\" COLLATE JETTEXT = 'cards' COLLATE JETTEXT))"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM (%1) WHERE %2").arg(source.sql, criterion)), QStringLiteral("1"));
    EXPECT_EQ(db.translator().translateCriterion(QStringLiteral("[Items.JobID] = 10 And Jobs.JobID = 10"), source.columns),
              QStringLiteral("((\"Items.JobID\" = 10) AND (\"Jobs.JobID\" = 10))"));
    try {
        db.translator().translateCriterion(QStringLiteral("Bogus = 3"), source.columns);
        FAIL() << "unknown field";
    } catch (const platform::DbException &e) {
        EXPECT_EQ(e.number(), 3070);
    }
}

TEST_F(JetShopTest, ParametersBindInDeclarationThenAppearanceOrder)
{
    const auto t = db.translator().translate(QStringLiteral(
        "PARAMETERS [Start Date] DateTime, [Type] Short; SELECT Jobs.JobNo FROM Jobs "
        "WHERE Jobs.DateIn >= [Start Date] AND Jobs.JobType = [Type] ORDER BY JobNo"));
    EXPECT_EQ(t.parameters, (QStringList{"Start Date", "Type"}));
    EXPECT_EQ(t.parameterTypes, (QList<FieldType>{FieldType::Date, FieldType::Integer}));
    EXPECT_EQ(db.rowsOf(t, {Value(40611.0), Value(0)}), (QStringList{"1202"}));

    db.addSavedQuery(QStringLiteral("Compare Sales"),
                     QStringLiteral("PARAMETERS [Since] DateTime; SELECT JobNo, DateIn FROM Jobs WHERE DateIn >= [Since]"));
    db.addSavedQuery(QStringLiteral("Big Jobs"), QStringLiteral("SELECT Jobs.JobNo, Jobs.Subtotal FROM Jobs WHERE Jobs.Subtotal > [Minimum]"));
    // A saved query names its unknown names as Text parameters, after the declared ones.
    const auto saved = db.translator().translateSavedQuery(QStringLiteral(
        "SELECT [Compare Sales].JobNo FROM [Compare Sales] WHERE [Compare Sales].JobNo > [Lowest]"));
    EXPECT_EQ(saved.parameters, (QStringList{"Since", "Lowest"}));
    EXPECT_EQ(saved.parameterTypes, (QList<FieldType>{FieldType::Date, FieldType::Text}));
    EXPECT_EQ(db.rowsOf(saved, {Value(40611.0), Value(1201)}), (QStringList{"1202"}));
    // Elsewhere an unknown name is too few parameters.
    try {
        db.translator().translate(QStringLiteral("SELECT * FROM [Big Jobs]"));
        FAIL() << "implicit parameter outside a saved query";
    } catch (const platform::DbException &e) {
        EXPECT_EQ(e.number(), 3061);
        EXPECT_EQ(e.description(), QStringLiteral("Too few parameters. Expected 1."));
    }
    // A saved query's name alone opens it.
    const auto byName = db.translator().translate(QStringLiteral("Big Jobs"));
    EXPECT_EQ(byName.parameters, (QStringList{"Minimum"}));
    EXPECT_EQ(db.rowsOf(byName, {Value(100)}), (QStringList{"1200|100.1", "1202|250"}));
    // Positional placeholders bind in the order they are written.
    const auto update = db.translator().translate(QStringLiteral("UPDATE Jobs SET Title = ? WHERE JobID = ?"));
    EXPECT_EQ(update.parameters.size(), 2);
    EXPECT_EQ(update.sql, QStringLiteral("UPDATE \"Jobs\" SET \"Title\" = jet_store(?1, 10, 80) WHERE (\"Jobs\".\"JobID\" = ?2)"));
}

TEST_F(JetShopTest, SavedQueriesReadAsSubqueries)
{
    db.addSavedQuery(QStringLiteral("Open Jobs"), QStringLiteral("SELECT JobID, JobNo, Title FROM Jobs WHERE DateShipped Is Null"));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT o.JobNo, Items.ItemNo FROM [Open Jobs] AS o INNER JOIN Items ON o.JobID = Items.JobID")),
              (QStringList{"1201|1", "1202|1"}));
    db.addSavedQuery(QStringLiteral("Loop A"), QStringLiteral("SELECT * FROM [Loop B]"));
    db.addSavedQuery(QStringLiteral("Loop B"), QStringLiteral("SELECT * FROM [Loop A]"));
    try {
        db.translator().translate(QStringLiteral("SELECT * FROM [Loop A]"));
        FAIL() << "circular saved queries";
    } catch (const platform::DbException &e) {
        EXPECT_EQ(e.number(), 3102);
    }
}

TEST_F(JetShopTest, UpdatableSelectsListTheirRowids)
{
    const auto t = db.translator().translate(QStringLiteral("SELECT Creator FROM Jobs WHERE Creator is NULL OR Creator > 50 ORDER BY JobNo DESC"));
    EXPECT_EQ(t.updatableTable, QStringLiteral("Jobs"));
    platform::jet::Translation ids;
    ids.sql = t.rowidSql;
    EXPECT_EQ(db.rowsOf(ids), (QStringList{"4", "3", "2"}));
    platform::jet::Translation row;
    row.sql = t.rowSql;
    EXPECT_EQ(db.rowsOf(row, {Value(3)}), (QStringList{"98"}));
    for (const char *readOnly : {"SELECT Count(*) FROM Jobs", "SELECT DISTINCT Title FROM Jobs",
                                 "SELECT Jobs.Title FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID",
                                 "SELECT Title FROM Jobs UNION SELECT Name FROM Customers"})
        EXPECT_TRUE(db.translator().translate(QString::fromUtf8(readOnly)).updatableTable.isEmpty()) << readOnly;
}

TEST_F(JetShopTest, TranslationsAreCachedUntilTheSchemaChanges)
{
    const QString sql = QStringLiteral("SELECT Amount FROM Ledger");
    EXPECT_THROW(db.translator().translate(sql), platform::DbException);
    db.addTable(QStringLiteral("Ledger"), {{"Amount", FieldType::Currency}});
    const auto first = db.translator().translate(sql);
    const auto again = db.translator().translate(sql);
    EXPECT_EQ(first.sql, again.sql);
    EXPECT_EQ(int(first.columns[0].type), int(FieldType::Currency));
}
