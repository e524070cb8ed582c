#include "DbFixture.h"
#include "ErrorOf.h"

#include "platform/db/DatabaseImpl.h"
#include "platform/db/Statement.h"

using namespace platform;

class SchemaTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        makeJobsTable();
        addJob(100, QStringLiteral("Cards"), 12.5);
        addJob(101, QString(), 0.0001);
        db.execute(QStringLiteral("INSERT INTO Jobs (JobNo) VALUES (102)")); // Name Null
        db.createIndex(QStringLiteral("Jobs"), {QStringLiteral("JobNo"), QStringLiteral("JobNo"), false, true});
    }

    // Every row as "rowid|typeof and value of each column", to compare exactly.
    QStringList snapshot()
    {
        QStringList rows;
        Statement st(db.handle(), QStringLiteral("SELECT rowid, * FROM Jobs ORDER BY rowid"));
        while (st.step()) {
            QStringList cells;
            for (int i = 0; i < st.columnCount(); ++i) {
                const Value v = st.storedValue(i);
                cells.append(v.isNull() ? QStringLiteral("<null>") : QStringLiteral("%1:%2").arg(int(v.type())).arg(v.toString()));
            }
            rows.append(cells.join(QLatin1Char('|')));
        }
        return rows;
    }
    QStringList fieldNames()
    {
        QStringList names;
        for (const FieldDef &f : db.tableDef(QStringLiteral("Jobs")).fields)
            names.append(f.name);
        return names;
    }
};

// A field is asked of a definition held in a variable: a definition
// returned by value and used at once would be destroyed at the end of the
// statement, leaving the field pointing into freed memory.
template <typename Def>
concept GivesFields = requires(Def &&def) { std::forward<Def>(def).field(QString()); };
static_assert(GivesFields<TableDef &> && GivesFields<const TableDef &>);
static_assert(!GivesFields<TableDef> && !GivesFields<const TableDef &&>);

TEST_F(SchemaTest, CreatedTableKeepsJetTypesSizesAndIndexes)
{
    const TableDef def = db.tableDef(QStringLiteral("jobs"));
    EXPECT_EQ(def.name, QStringLiteral("Jobs"));
    ASSERT_EQ(def.fields.size(), 7);
    EXPECT_TRUE(def.fields[0].autoNumber);
    EXPECT_EQ(def.fields[0].type, FieldType::Long);
    EXPECT_EQ(def.fields[2].type, FieldType::Text);
    EXPECT_EQ(def.fields[2].size, 20);
    EXPECT_EQ(def.fields[3].type, FieldType::Memo);
    EXPECT_EQ(def.fields[4].type, FieldType::Currency);
    EXPECT_EQ(def.fields[6].type, FieldType::Boolean);
    EXPECT_EQ(def.fields[6].ordinal, 6);
    ASSERT_EQ(def.indexes.size(), 2);
    EXPECT_TRUE(def.indexes[0].primary);
    EXPECT_EQ(def.indexes[1].name, QStringLiteral("JobNo"));
    EXPECT_EQ(db.tableNames(), QStringList{QStringLiteral("Jobs")}); // the layer's own tables stay hidden
    // Text keeps its affinity: "007" stays text.
    db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Name) VALUES (7, '007')"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT typeof(Name) FROM Jobs WHERE JobNo = 7")).toString(), QStringLiteral("text"));
    EXPECT_EQ(errorOf([&] { db.createTable(db.tableDef(QStringLiteral("Jobs"))); }), 3010);
}

TEST_F(SchemaTest, RebuildingOperationsKeepEveryValueAndIndex)
{
    const QStringList before = snapshot();

    db.moveField(QStringLiteral("Jobs"), QStringLiteral("Name"), 0);
    EXPECT_EQ(fieldNames().first(), QStringLiteral("Name"));
    db.moveField(QStringLiteral("Jobs"), QStringLiteral("Name"), 2);
    EXPECT_EQ(snapshot(), before);

    db.resizeTextField(QStringLiteral("Jobs"), QStringLiteral("Name"), 5);
    EXPECT_EQ(db.tableDef(QStringLiteral("Jobs")).fields[2].size, 5);
    EXPECT_EQ(snapshot(), before); // "" stays "", Null stays Null, rowids kept
    EXPECT_EQ(errorOf([&] { db.resizeTextField(QStringLiteral("Jobs"), QStringLiteral("Name"), 4); }), 3163);

    // Indexes and the AutoNumber trigger survive the rebuilds.
    EXPECT_EQ(db.tableDef(QStringLiteral("Jobs")).indexes.size(), 2);
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("INSERT INTO Jobs (JobNo) VALUES (100)")); }), 3022);
    db.execute(QStringLiteral("INSERT INTO Jobs (JobNo) VALUES (103)"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 103")).toInt(), 4);
}

// An index on two fields keeps its fields in order through a rebuild, holds
// both against deletion, and is unique on the pair alone.
TEST_F(SchemaTest, AnIndexOnTwoFieldsKeepsItsFieldsThroughARebuild)
{
    const auto twoFields = [&] {
        for (const IndexDef &i : db.tableDef(QStringLiteral("Jobs")).indexes) {
            if (i.name == QLatin1String("NameJobNo"))
                return i.fields();
        }
        return QStringList();
    };
    db.createIndex(QStringLiteral("Jobs"), {QStringLiteral("NameJobNo"), QStringLiteral("name"), false, true, {QStringLiteral("jobno")}});
    EXPECT_EQ(twoFields(), (QStringList{"Name", "JobNo"})); // the fields' own spelling
    db.moveField(QStringLiteral("Jobs"), QStringLiteral("JobNo"), 0);
    EXPECT_EQ(twoFields(), (QStringList{"Name", "JobNo"}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(name) FROM pragma_index_info('Jobs_NameJobNo')")).toString(),
              QStringLiteral("Name,JobNo"));
    EXPECT_EQ(errorOf([&] { db.deleteField(QStringLiteral("Jobs"), QStringLiteral("JobNo")); }), 3280);
    // The same name with another number is no repeat; the same pair is.
    db.deleteIndex(QStringLiteral("Jobs"), QStringLiteral("JobNo"));
    db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Name) VALUES (103, 'Cards')"));
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Name) VALUES (100, 'Cards')")); }), 3022);
    // A key is on one field; a further field is one the table has.
    EXPECT_EQ(errorOf([&] { db.createIndex(QStringLiteral("Jobs"), {QStringLiteral("Key"), QStringLiteral("JobID"), true, true, {QStringLiteral("JobNo")}}); }), 3219);
    EXPECT_EQ(errorOf([&] { db.createIndex(QStringLiteral("Jobs"), {QStringLiteral("Other"), QStringLiteral("Name"), false, false, {QStringLiteral("Nothing")}}); }), 3265);
}

TEST_F(SchemaTest, AddFieldAtAPositionWithAnInitialValue)
{
    const QStringList before = snapshot();
    db.addField(QStringLiteral("Jobs"), {QStringLiteral("Qty"), FieldType::Long, 4}, 1, Value(0));
    db.addField(QStringLiteral("Jobs"), {QStringLiteral("Extra"), FieldType::Double, 8});
    EXPECT_EQ(fieldNames(), (QStringList{QStringLiteral("JobID"), QStringLiteral("Qty"), QStringLiteral("JobNo"),
                                         QStringLiteral("Name"), QStringLiteral("Note"), QStringLiteral("Price"),
                                         QStringLiteral("DateIn"), QStringLiteral("Rush"), QStringLiteral("Extra")}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Jobs WHERE Qty = 0 AND Extra IS NULL")).toInt(), 3);
    EXPECT_EQ(errorOf([&] { db.addField(QStringLiteral("Jobs"), {QStringLiteral("qty"), FieldType::Long, 4}); }), 3191);

    db.deleteField(QStringLiteral("Jobs"), QStringLiteral("Qty"));
    db.deleteField(QStringLiteral("Jobs"), QStringLiteral("Extra"));
    EXPECT_EQ(snapshot(), before);

    // A recordset sees the new layout.
    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, QStringLiteral("Jobs"));
    EXPECT_EQ(rs.fieldCount(), 7);
}

TEST_F(SchemaTest, IndexRulesKeepTheirErrorNumbers)
{
    const QString jobs = QStringLiteral("Jobs");
    EXPECT_EQ(errorOf([&] { db.deleteField(jobs, QStringLiteral("JobNo")); }), 3280);
    EXPECT_EQ(errorOf([&] { db.createIndex(jobs, {QStringLiteral("JobNo"), QStringLiteral("Name"), false, false}); }), 3284);
    EXPECT_EQ(errorOf([&] { db.createIndex(jobs, {QStringLiteral("Price"), QStringLiteral("Price"), true, true}); }), 3283);
    EXPECT_EQ(errorOf([&] { db.deleteIndex(jobs, QStringLiteral("Nothing")); }), 3265);
    EXPECT_EQ(errorOf([&] { db.deleteField(jobs, QStringLiteral("Nothing")); }), 3265);
    EXPECT_EQ(errorOf([&] { db.tableDef(QStringLiteral("Nothing")); }), 3265);

    // The caller's way out of 3280: delete the index named after the field, retry.
    db.deleteIndex(jobs, QStringLiteral("jobno"));
    db.deleteField(jobs, QStringLiteral("JobNo"));
    EXPECT_EQ(db.tableDef(jobs).fieldIndex(QStringLiteral("JobNo")), -1);

    // A primary index is unique and required.
    db.deleteIndex(jobs, QStringLiteral("JobID"));
    db.createTable({QStringLiteral("Taxes"), {{QStringLiteral("No"), FieldType::Byte, 1}, {QStringLiteral("Name"), FieldType::Text, 50}}, {}});
    db.execute(QStringLiteral("INSERT INTO Taxes (Name) VALUES ('none')"));
    EXPECT_EQ(errorOf([&] { db.createIndex(QStringLiteral("Taxes"), {QStringLiteral("No"), QStringLiteral("No"), true, true}); }), 3058);
    db.execute(QStringLiteral("DELETE FROM Taxes"));
    db.createIndex(QStringLiteral("Taxes"), {QStringLiteral("No"), QStringLiteral("No"), true, true});
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("INSERT INTO Taxes (Name) VALUES ('none')")); }), 3058);
    db.execute(QStringLiteral("INSERT INTO Taxes (No, Name) VALUES (1, 'State')"));
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("INSERT INTO Taxes (No, Name) VALUES (1, 'Again')")); }), 3022);
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("UPDATE Taxes SET No = NULL")); }), 3058);
}

TEST_F(SchemaTest, SavedQueriesAndDeletedTables)
{
    const quint64 generation = db.impl()->catalog->schemaGeneration();
    db.createQuery(QStringLiteral("Big Jobs"), QStringLiteral("SELECT JobNo FROM Jobs WHERE Price > 1"));
    EXPECT_NE(db.impl()->catalog->schemaGeneration(), generation);
    EXPECT_TRUE(db.queryExists(QStringLiteral("big jobs")));
    EXPECT_EQ(db.queryNames(), QStringList{QStringLiteral("Big Jobs")});
    EXPECT_EQ(errorOf([&] { db.createQuery(QStringLiteral("BIG JOBS"), QStringLiteral("SELECT JobNo FROM Jobs")); }), 3012);
    EXPECT_EQ(errorOf([&] { db.createQuery(QStringLiteral("Jobs"), QStringLiteral("SELECT JobNo FROM Jobs")); }), 3012);

    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, QStringLiteral("Big Jobs"));
    EXPECT_EQ(rs.value(0).toInt(), 100);

    // Another connection sees the query without reopening.
    Database other;
    other.open(dbPath());
    EXPECT_TRUE(other.queryExists(QStringLiteral("Big Jobs")));
    db.deleteQuery(QStringLiteral("Big Jobs"));
    EXPECT_FALSE(other.queryExists(QStringLiteral("Big Jobs")));
    EXPECT_EQ(errorOf([&] { db.deleteQuery(QStringLiteral("Big Jobs")); }), 3265);

    db.deleteTable(QStringLiteral("Jobs"));
    EXPECT_FALSE(db.tableExists(QStringLiteral("Jobs")));
    EXPECT_EQ(errorOf([&] { db.deleteTable(QStringLiteral("Jobs")); }), 3265);
    // A new table of the same name starts its own counter.
    makeJobsTable();
    addJob(1, QStringLiteral("x"), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT JobID FROM Jobs")).toInt(), 1);
}
