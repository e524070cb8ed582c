#include "data/DatabaseHelpers.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"
#include "data/TableDefinition.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "support/TestEnvironment.h"

using namespace platform;

namespace {

// A progress window that the user may have stopped; it records its steps.
class FakeProgress : public SchemaProgress
{
public:
    bool running = true;
    QStringList steps;
    QStringList messages;
    bool isRunning() const override { return running; }
    bool step(const QString &text) override { steps << text; return running; }
    void setMessage(const QString &text) override { messages << text; }
};

// The shared database on a file of the test's own, with table Papers:
// No (key), Name Text(10), Grade Long, three rows whose Name is a text, an
// empty text and Null.
class SchemaOperationsTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        ClearRunLog();
        path = tempPath(QStringLiteral("TavrelData.mdb"));
        Database::create(path);
        db().open(path);
        TableDef def;
        def.name = QStringLiteral("Papers");
        def.fields = {{QStringLiteral("No"), FieldType::Long, 4},
                      {QStringLiteral("Name"), FieldType::Text, 10},
                      {QStringLiteral("Grade"), FieldType::Long, 4}};
        def.indexes = {{QStringLiteral("No"), QStringLiteral("No"), true, true}};
        db().createTable(def);
        db().execute(QStringLiteral("INSERT INTO Papers (No, Name, Grade) VALUES (1, 'O''Brien', 20)"));
        db().execute(QStringLiteral("INSERT INTO Papers (No, Name, Grade) VALUES (2, '', 24)"));
        db().execute(QStringLiteral("INSERT INTO Papers (No, Name, Grade) VALUES (3, Null, Null)"));
    }
    void TearDown() override
    {
        db().close();
        ClearRunLog();
        TavrelTest::TearDown();
    }

    static Database &db() { return SharedDatabase(); }

    // One column of table Papers in key order.
    QList<Value> column(const QString &field)
    {
        Recordset rs(db());
        rs.open(Recordset::Type::Snapshot, QStringLiteral("SELECT [%1] FROM Papers ORDER BY No").arg(field));
        QList<Value> out;
        for (; !rs.isEOF(); rs.moveNext())
            out << rs.value(0);
        return out;
    }
    QStringList fieldNames(const QString &table = QStringLiteral("Papers"))
    {
        QStringList names;
        for (const FieldDef &f : db().tableDef(table).fields)
            names << f.name;
        return names;
    }
    // The names column as text, with Null shown as "<null>".
    QStringList names()
    {
        QStringList out;
        for (const Value &v : column(QStringLiteral("Name")))
            out << (v.isNull() ? QStringLiteral("<null>") : v.toString());
        return out;
    }

    QString path;
};

TEST_F(SchemaOperationsTest, NewFieldsStartWithTheInitialValueOnlyWhenNumeric)
{
    TableDefinition td(db());
    td.open(QStringLiteral("Papers"));
    EXPECT_TRUE(DbCreateField(&td, QStringLiteral("Sheets"), FieldType::Long, 4, nullptr, kFieldUpdatable, 0, -1));
    EXPECT_TRUE(DbCreateField(&td, QStringLiteral("Weight"), FieldType::Long, 4, nullptr, kFieldUpdatable,
                              kNoInitialValue, -1));
    EXPECT_TRUE(DbCreateField(&td, QStringLiteral("Opt"), FieldType::Byte, 1, nullptr, kFieldUpdatable, 1, 1));
    EXPECT_TRUE(DbCreateField(&td, QStringLiteral("Made"), FieldType::Date, 8, nullptr, kFieldUpdatable, 0, -1));
    EXPECT_TRUE(DbCreateField(&td, QStringLiteral("Color"), FieldType::Text, 20, nullptr, kFieldUpdatable, 0, -1));
    EXPECT_EQ(fieldNames(), QStringList({"No", "Opt", "Name", "Grade", "Sheets", "Weight", "Made", "Color"}));
    EXPECT_EQ(td.fieldCount(), 8); // the definition follows the table
    for (const Value &v : column(QStringLiteral("Sheets")))
        EXPECT_EQ(v, Value(0));
    for (const Value &v : column(QStringLiteral("Opt")))
        EXPECT_EQ(v.toInt(), 1);
    for (const QString &field : {QStringLiteral("Weight"), QStringLiteral("Made"), QStringLiteral("Color")})
        for (const Value &v : column(field))
            EXPECT_TRUE(v.isNull()) << field.toStdString();
    // The rows are otherwise as they were.
    EXPECT_EQ(names(), QStringList({"O'Brien", "", "<null>"}));
    // A new text field takes an empty text.
    db().execute(QStringLiteral("UPDATE Papers SET Color = '' WHERE No = 1"));
    EXPECT_FALSE(column(QStringLiteral("Color"))[0].isNull());

    // A field that exists already is logged, not shown.
    EXPECT_FALSE(DbCreateField(&td, QStringLiteral("Grade"), FieldType::Long, 4, nullptr, kFieldUpdatable, 0, -1));
    EXPECT_TRUE(GetRunLog().startsWith(QStringLiteral("Error# ")));
    EXPECT_TRUE(GetRunLog().endsWith(QStringLiteral(" Add Field Grade\n\n"))) << GetRunLog().toStdString();
    EXPECT_TRUE(prompts().shown().isEmpty());

    // A stopped progress window adds nothing; a running one steps with the name.
    FakeProgress progress;
    EXPECT_TRUE(DbCreateField(&td, QStringLiteral("Pages"), FieldType::Long, 4, &progress, kFieldUpdatable, 0, -1));
    progress.running = false;
    EXPECT_FALSE(DbCreateField(&td, QStringLiteral("Mix"), FieldType::Long, 4, &progress, kFieldUpdatable, 0, -1));
    EXPECT_EQ(progress.steps, QStringList({"Pages"}));
    EXPECT_FALSE(DbFieldExists(&td, QStringLiteral("Mix")));
    EXPECT_TRUE(DbFieldExists(&td, QStringLiteral("pages")));
}

TEST_F(SchemaOperationsTest, NewTableCollectsFieldsUntilAppended)
{
    TableDefinition td(db());
    td.create(QStringLiteral("Credits"));
    EXPECT_TRUE(DbCreateField(&td, QStringLiteral("CreditID"), FieldType::Long, 4, nullptr, kFieldAutoIncrement, 0, -1));
    EXPECT_TRUE(DbCreateField(&td, QStringLiteral("Amount"), FieldType::Currency, 8, nullptr, kFieldUpdatable, 0, -1));
    EXPECT_TRUE(DbCreateField(&td, QStringLiteral("Note"), FieldType::Memo, 0, nullptr, kFieldUpdatable, 0, -1));
    EXPECT_FALSE(db().tableExists(QStringLiteral("Credits")));
    td.append();
    EXPECT_TRUE(DbCreateIndex(&td, QStringLiteral("CreditID")));
    const TableDef def = db().tableDef(QStringLiteral("Credits"));
    ASSERT_EQ(def.fields.size(), 3);
    EXPECT_TRUE(def.fields[0].autoNumber);
    EXPECT_EQ(def.fields[1].type, FieldType::Currency);
    EXPECT_EQ(def.fields[2].type, FieldType::Memo);
    ASSERT_EQ(def.indexes.size(), 1);
    EXPECT_TRUE(def.indexes[0].primary);

    // A second primary key is refused with the engine's message alone.
    prompts().answer(IDOK);
    EXPECT_FALSE(DbCreateIndex(&td, QStringLiteral("Amount")));
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Error 3283 occured:\n\n")))
        << prompts().lastText().toStdString();
}

TEST_F(SchemaOperationsTest, DeletingAnIndexedFieldDropsItsIndexFirst)
{
    TableDefinition td(db());
    td.open(QStringLiteral("Papers"));
    EXPECT_TRUE(DbDeleteField(&td, QStringLiteral("No")));
    EXPECT_EQ(fieldNames(), QStringList({"Name", "Grade"}));
    EXPECT_TRUE(db().tableDef(QStringLiteral("Papers")).indexes.isEmpty());
    Recordset rs(db());
    rs.open(Recordset::Type::Snapshot, QStringLiteral("SELECT Name, Grade FROM Papers"));
    QStringList rows;
    for (; !rs.isEOF(); rs.moveNext())
        rows << (rs.value(0).isNull() ? QStringLiteral("<null>") : rs.value(0).toString()) + QLatin1Char('/')
                    + rs.value(1).toString();
    rows.sort();
    EXPECT_EQ(rows, QStringList({"/24", "<null>/", "O'Brien/20"}));
    EXPECT_TRUE(GetRunLog().isEmpty());

    // Any other failure is logged with the field's name.
    EXPECT_FALSE(DbDeleteField(&td, QStringLiteral("Missing")));
    EXPECT_TRUE(GetRunLog().endsWith(QStringLiteral(" Field Name: Missing\n\n"))) << GetRunLog().toStdString();
}

TEST_F(SchemaOperationsTest, ResizeKeepsEveryValueExactly)
{
    TableDefinition td(db());
    td.open(QStringLiteral("Papers"));
    DbResizeTextField(&td, QStringLiteral("Name"), 50, -1);
    EXPECT_EQ(fieldNames(), QStringList({"No", "Name", "Grade"})); // no position: it stays
    EXPECT_EQ(td.def().field(QStringLiteral("Name"))->size, 50);
    EXPECT_EQ(names(), QStringList({"O'Brien", "", "<null>"}));
    EXPECT_EQ(db().tableDef(QStringLiteral("Papers")).indexes.size(), 1);

    DbResizeTextField(&td, QStringLiteral("Name"), 30, 2);
    EXPECT_EQ(fieldNames(), QStringList({"No", "Grade", "Name"}));
    EXPECT_EQ(names(), QStringList({"O'Brien", "", "<null>"}));
    EXPECT_EQ(column(QStringLiteral("Grade"))[1].toInt(), 24);

    // Too small for a stored text: refused, nothing lost.
    try {
        DbResizeTextField(&td, QStringLiteral("Name"), 5, -1);
        ADD_FAILURE() << "a text was cut";
    } catch (const DbException &e) {
        EXPECT_EQ(e.number(), 3163);
    }
    EXPECT_EQ(names(), QStringList({"O'Brien", "", "<null>"}));
    const platform::TableDef papers = db().tableDef(QStringLiteral("Papers"));
    ASSERT_TRUE(papers.field(QStringLiteral("Name")));
    EXPECT_EQ(papers.field(QStringLiteral("Name"))->size, 30);

    // Moving keeps the rows too.
    DbSetFieldPosition(&td, QStringLiteral("Name"), 0);
    EXPECT_EQ(fieldNames(), QStringList({"Name", "No", "Grade"}));
    EXPECT_EQ(names(), QStringList({"O'Brien", "", "<null>"}));
    EXPECT_TRUE(column(QStringLiteral("Grade"))[2].isNull());
    DbSetFieldPosition(&td, QStringLiteral("Missing"), 0);
    EXPECT_TRUE(GetRunLog().endsWith(QStringLiteral(" SetFieldPosition Missing\n\n")));
}

TEST_F(SchemaOperationsTest, CodeTableFieldsTakeTheirSortValue)
{
    TableDefinition td(db());
    EXPECT_EQ(DbAddCodeTableFields(&td, QStringLiteral("Papers"), -1, -1, QStringLiteral("[No]")), 0);
    EXPECT_EQ(DbAddCodeTableFields(&td, QStringLiteral("Papers"), 2, 3, QStringLiteral("[No]")), 2);
    EXPECT_EQ(fieldNames(), QStringList({"No", "Name", "Type", "Sort", "Grade"}));
    EXPECT_EQ(column(QStringLiteral("Sort")), column(QStringLiteral("No")));
    for (const Value &v : column(QStringLiteral("Type")))
        EXPECT_EQ(v.toInt(), 0);
}

TEST_F(SchemaOperationsTest, StatementsAndProbes)
{
    // Existence tests and their messages.
    EXPECT_TRUE(DbTableExists(&db(), QStringLiteral("papers"), QStringLiteral("?")));
    EXPECT_FALSE(DbTableExists(&db(), QStringLiteral("Plates"), QString()));
    EXPECT_TRUE(prompts().shown().isEmpty());
    prompts().answer(IDOK);
    EXPECT_FALSE(DbTableExists(&db(), QStringLiteral("Plates"), QStringLiteral("?")));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Plates does not exist."));
    EXPECT_FALSE(DbQueryExists(&db(), QStringLiteral("Compare Sales")));

    // An update on every row, one on some, and none once the run is stopped.
    DbUpdate(QStringLiteral("Papers"), QStringLiteral("Grade = 1"), QString());
    DbUpdateFieldValue(QStringLiteral("Papers"), QStringLiteral("Grade"), -7, QStringLiteral("No = 2"));
    FakeProgress progress;
    progress.running = false;
    DbUpdate(QStringLiteral("Papers"), QStringLiteral("Grade = 99"), QString(), &progress, QStringLiteral("All"));
    EXPECT_EQ(column(QStringLiteral("Grade")), QList<Value>({Value(1), Value(-7), Value(1)}));
    EXPECT_TRUE(progress.steps.isEmpty());

    DbInsertRow(QStringLiteral("Papers"), QStringLiteral("4, 'Bond', 20"));
    EXPECT_EQ(column(QStringLiteral("No")).size(), 4);

    // Copies under a new key: a copy of row 1; only the key without a source;
    // a row that has the key already is left alone.
    DbCopyRowToKey(QStringLiteral("Papers"), QStringLiteral("No"), 1, Value(9));
    DbCopyRowToKey(QStringLiteral("Papers"), QStringLiteral("No"), 5, Value(8));
    DbCopyRowToKey(QStringLiteral("Papers"), QStringLiteral("No"), 4, Value(9));
    EXPECT_EQ(names(), QStringList({"O'Brien", "", "<null>", "Bond", "<null>", "O'Brien"}));
    EXPECT_EQ(column(QStringLiteral("Grade"))[5].toInt(), 1);
    EXPECT_TRUE(GetRunLog().isEmpty()) << GetRunLog().toStdString();

    DbDeleteAll(&db(), QStringLiteral("Papers"));
    EXPECT_TRUE(column(QStringLiteral("No")).isEmpty());
    DbDeleteIndex(QStringLiteral("Papers"), QStringLiteral("Missing")); // silent
    DbDeleteTable(&db(), QStringLiteral("Papers"));
    DbDeleteTable(&db(), QStringLiteral("Papers"));
    EXPECT_FALSE(db().tableExists(QStringLiteral("Papers")));
    EXPECT_TRUE(prompts().shown().size() == 1);

    // The step line, and the run's state.
    TableDefinition td(db());
    progress.running = true;
    EXPECT_TRUE(ShowUpgradeStep(QStringLiteral("Jobs"), &td, &progress, QStringLiteral("Version 2008")));
    EXPECT_EQ(progress.messages, QStringList({"Jobs Version 2008"}));
    EXPECT_TRUE(progress.steps.isEmpty());
}

TEST_F(SchemaOperationsTest, OpeningAMissingFileShowsTheError)
{
    Database other;
    prompts().answer(IDOK);
    const QString missing = tempPath(QStringLiteral("Nowhere.mdb"));
    EXPECT_FALSE(OpenDatabaseFile(&other, missing, false));
    EXPECT_FALSE(other.isOpen());
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot open database:\n") + missing
                                                + QStringLiteral("\n\nError ")))
        << prompts().lastText().toStdString();

    EXPECT_TRUE(OpenDatabaseFile(&other, path, false));
    EXPECT_TRUE(other.isOpen());
}

} // namespace
