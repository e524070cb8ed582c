#include "DbFixture.h"
#include "ErrorOf.h"

#include "platform/db/DbErrors.h"
#include "platform/db/Statement.h"

using namespace platform;

namespace {

// The ways a table's AutoNumber can be laid out in a file.
enum class Layout {
    KeyInTableDef,   // created with its primary index: the counter is the rowid
    KeyIndexedEmpty, // primary index added to the empty table (how shop tables are made)
    KeyOlderFile,    // as files made before: counter column, jet_counters, unique index
    NotTheKey,       // the primary index is on another field
};

struct LayoutCase
{
    const char *name;
    Layout layout;
    bool rowid;           // the AutoNumber is SQLite's rowid
    const char *keyField; // the field of the primary index
};

const LayoutCase kLayouts[] = {
    {"KeyInTableDef", Layout::KeyInTableDef, true, "OrderID"},
    {"KeyIndexedEmpty", Layout::KeyIndexedEmpty, true, "OrderID"},
    {"KeyOlderFile", Layout::KeyOlderFile, false, "OrderID"},
    {"NotTheKey", Layout::NotTheKey, false, "OrderNo"},
};

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

} // namespace

class AutoNumberTest : public DbTest, public ::testing::WithParamInterface<LayoutCase>
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        const LayoutCase &c = GetParam();
        TableDef def;
        def.name = s("Orders");
        def.fields = {{s("OrderID"), FieldType::Long, 4, true},
                      {s("OrderNo"), FieldType::Long, 4},
                      {s("Name"), FieldType::Text, 20}};
        const IndexDef key{s("PrimaryKey"), s(c.keyField), true, true};
        if (c.layout == Layout::KeyInTableDef || c.layout == Layout::NotTheKey)
            def.indexes = {key};
        db.createTable(def);
        if (c.layout == Layout::KeyIndexedEmpty) {
            db.createIndex(s("Orders"), key);
        } else if (c.layout == Layout::KeyOlderFile) {
            // The primary index as files made before the rowid AutoNumber
            // have it (a table without one still gets the counter column).
            insert();
            db.execute(s("DELETE FROM Orders"));
            db.executeNative(s("CREATE UNIQUE INDEX \"Orders_PrimaryKey\" ON \"Orders\" (\"OrderID\")"));
            db.executeNative(s("INSERT INTO jet_indexes (tbl, name, field, sqlname, is_primary, is_unique) "
                               "VALUES ('Orders', 'PrimaryKey', 'OrderID', 'Orders_PrimaryKey', 1, 1)"));
            db.executeNative(QStringLiteral("CREATE TRIGGER \"jet_requ_Orders_PrimaryKey\" BEFORE UPDATE OF \"OrderID\" "
                                            "ON \"Orders\" WHEN NEW.\"OrderID\" IS NULL BEGIN SELECT RAISE(ABORT, "
                                            "'JET 3058: %1'); END")
                                 .arg(dberr::text(dberr::NullInIndex).replace(QLatin1Char('\''), QLatin1String("''"))));
        }
        db.createIndex(s("Orders"), {s("Name"), s("Name"), false, false});
    }

    // A row added by SQL without a number; returns the number it got.
    std::int64_t insert()
    {
        ++m_orderNo;
        db.execute(s("INSERT INTO Orders (OrderNo, Name) VALUES (?, 'card')"), {Value(m_orderNo)});
        return scalar(QStringLiteral("SELECT OrderID FROM Orders WHERE OrderNo = %1").arg(m_orderNo)).toInt64();
    }
    std::int64_t count(const QString &sqliteSql) { return scalar(sqliteSql).toInt64(); }
    void reopen(const QString &path, bool exclusive = false)
    {
        db.close();
        db.open(path, exclusive);
    }
    // The number a recordset's AddNew shows, saved.
    std::int64_t addNew()
    {
        Recordset rs(db);
        rs.open(Recordset::Type::Dynaset, s("Orders"));
        rs.addNew();
        const std::int64_t shown = rs.value(s("OrderID")).toInt64();
        rs.setValue(s("OrderNo"), Value(++m_orderNo));
        rs.update();
        EXPECT_EQ(count(QStringLiteral("SELECT OrderID FROM Orders WHERE OrderNo = %1").arg(m_orderNo)), shown);
        return shown;
    }
    // The table as SQLite holds it: its own indexes and jet_counters rows.
    void expectLayout() { expectLayout(GetParam().rowid); }
    void expectLayout(bool rowid)
    {
        EXPECT_EQ(count(s("SELECT count(*) FROM pragma_table_info('Orders') WHERE name = 'OrderID' AND pk = 1")), rowid ? 1 : 0);
        // Name's index always; the key's own index only where the rowid is not it.
        const std::int64_t keyIndexes = rowid ? 0 : 1;
        EXPECT_EQ(count(s("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Orders'")), 1 + keyIndexes);
        EXPECT_EQ(count(s("SELECT count(*) FROM jet_counters WHERE tbl = 'Orders'")), rowid ? 0 : 1);

        const TableDef def = db.tableDef(s("Orders"));
        ASSERT_EQ(def.fields.size(), 3);
        EXPECT_TRUE(def.fields[0].autoNumber);
        EXPECT_EQ(def.fields[0].type, FieldType::Long);
        EXPECT_EQ(def.fields[0].size, 4);
        EXPECT_FALSE(def.fields[1].autoNumber);
        ASSERT_EQ(def.indexes.size(), 2);
        EXPECT_EQ(def.indexes[0].name, s("PrimaryKey"));
        EXPECT_EQ(def.indexes[0].field, s(GetParam().keyField));
        EXPECT_TRUE(def.indexes[0].primary);
        EXPECT_TRUE(def.indexes[0].unique);
        EXPECT_EQ(def.indexes[1].name, s("Name"));
        EXPECT_FALSE(def.indexes[1].primary);
    }

    int m_orderNo = 1000;
};

TEST_P(AutoNumberTest, KeepsItsJetDescriptionAcrossReopening)
{
    expectLayout();
    reopen(dbPath());
    expectLayout();
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, s("Orders"));
    EXPECT_TRUE(rs.fieldIsAutoNumber(0));
    EXPECT_FALSE(rs.fieldIsAutoNumber(1));
}

TEST_P(AutoNumberTest, NumbersAreNeverReusedAfterTheLastRowsAreDeleted)
{
    const std::int64_t a = insert();
    const std::int64_t b = insert();
    const std::int64_t c = insert();
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(c, a + 2);
    db.execute(QStringLiteral("DELETE FROM Orders WHERE OrderID >= %1").arg(b));
    EXPECT_EQ(insert(), c + 1);

    // Nor after the file is closed and opened again, by SQL or by AddNew.
    db.execute(QStringLiteral("DELETE FROM Orders WHERE OrderID > %1").arg(a));
    reopen(dbPath());
    EXPECT_EQ(addNew(), c + 2);
    db.execute(QStringLiteral("DELETE FROM Orders WHERE OrderID > %1").arg(a));
    reopen(dbPath());
    EXPECT_EQ(insert(), c + 3);

    // A row given Null gets the next number too.
    db.execute(s("DELETE FROM Orders"));
    db.execute(s("INSERT INTO Orders (OrderID, OrderNo) VALUES (Null, 1)"));
    EXPECT_EQ(count(s("SELECT OrderID FROM Orders WHERE OrderNo = 1")), c + 4);
}

TEST_P(AutoNumberTest, AnExplicitLargerValueMovesTheCounterOn)
{
    const std::int64_t a = insert();
    db.execute(QStringLiteral("INSERT INTO Orders (OrderID, OrderNo) VALUES (%1, 1)").arg(a + 50));
    EXPECT_EQ(insert(), a + 51);
    // A smaller unused value is taken as given and does not move it back.
    db.execute(QStringLiteral("INSERT INTO Orders (OrderID, OrderNo) VALUES (%1, 2)").arg(a + 10));
    EXPECT_EQ(count(s("SELECT OrderID FROM Orders WHERE OrderNo = 2")), a + 10);
    EXPECT_EQ(addNew(), a + 52);
    EXPECT_EQ(insert(), a + 53);

    // 2147483646 moves it on to the last Long; past that AddNew gives none.
    db.execute(QStringLiteral("INSERT INTO Orders (OrderID, OrderNo) VALUES (2147483646, 3)"));
    EXPECT_EQ(addNew(), 2147483647);
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, s("Orders"));
    EXPECT_EQ(errorOf([&] { rs.addNew(); }), 3349);
}

TEST_P(AutoNumberTest, ADuplicateKeyIsError3022WithJetsText)
{
    const std::int64_t a = insert();
    const QString key = s(GetParam().keyField);
    const std::int64_t existing = key == s("OrderID") ? a : m_orderNo;
    const QString expected = dberr::text(dberr::DuplicateKey);
    ASSERT_FALSE(expected.isEmpty());

    // Through SQL.
    try {
        db.execute(QStringLiteral("INSERT INTO Orders (OrderID, OrderNo) VALUES (%1, %2)")
                       .arg(key == s("OrderID") ? existing : a + 100)
                       .arg(key == s("OrderID") ? 5000 : existing));
        ADD_FAILURE() << "no error";
    } catch (const DbException &e) {
        EXPECT_EQ(e.number(), 3022);
        EXPECT_EQ(e.description(), expected);
    }
    // Through a recordset's update; the set and the table stay as they were.
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, s("Orders"));
    rs.addNew();
    rs.setValue(key, Value(existing));
    if (key != s("OrderID"))
        rs.setValue(s("OrderID"), Value(a + 200));
    try {
        rs.update();
        ADD_FAILURE() << "no error";
    } catch (const DbException &e) {
        EXPECT_EQ(e.number(), 3022);
        EXPECT_EQ(e.description(), expected);
    }
    rs.cancelUpdate();
    EXPECT_EQ(count(s("SELECT count(*) FROM Orders")), 1);
    // A saved row's AutoNumber cannot be changed through a recordset.
    rs.moveFirst();
    rs.edit();
    EXPECT_EQ(errorOf([&] { rs.setValue(s("OrderID"), Value(a + 300)); }), 3164);
    rs.setValue(s("Name"), Value(s("edited")));
    rs.update();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Orders WHERE OrderID = %1 AND Name = 'edited'").arg(a)), 1);
    // A key given Null is refused: the rowid refuses it as a type mismatch
    // (SQLite checks that before any trigger), the counter column as Jet does.
    if (key == s("OrderID")) {
        EXPECT_EQ(errorOf([&] { db.execute(s("UPDATE Orders SET OrderID = Null")); }), GetParam().rowid ? 3464 : 3058);
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Orders WHERE OrderID = %1").arg(a)), 1);
    }
}

TEST_P(AutoNumberTest, AddNewShowsTheNumberAtOnceAndACancelledOneIsNotGivenAgain)
{
    const std::int64_t a = insert();
    EXPECT_EQ(addNew(), a + 1);
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, s("Orders"));
    rs.addNew();
    const std::int64_t cancelled = rs.value(s("OrderID")).toInt64();
    EXPECT_EQ(cancelled, a + 2);
    rs.cancelUpdate();
    EXPECT_EQ(insert(), a + 3);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Orders WHERE OrderID = %1").arg(cancelled)), 0);
}

TEST_P(AutoNumberTest, AnotherWorkstationsRowsMoveTheNextNumberOn)
{
    const std::int64_t a = addNew();
    EXPECT_EQ(addNew(), a + 1);
    // Another workstation adds two rows by number and one by a larger value of its own.
    Database other;
    other.open(dbPath());
    other.execute(s("INSERT INTO Orders (OrderNo, Name) VALUES (1, 'other')"));
    other.execute(s("INSERT INTO Orders (OrderNo, Name) VALUES (2, 'other')"));
    other.execute(QStringLiteral("INSERT INTO Orders (OrderID, OrderNo, Name) VALUES (%1, 3, 'other')").arg(a + 10));
    other.close();
    EXPECT_EQ(count(s("SELECT max(OrderID) FROM Orders WHERE OrderNo = 2")), a + 3);
    EXPECT_EQ(addNew(), a + 11);
    // Row after row in one transaction, then its top rows gone: never given again.
    {
        Transaction t(db);
        EXPECT_EQ(addNew(), a + 12);
        EXPECT_EQ(addNew(), a + 13);
        t.commit();
    }
    db.execute(QStringLiteral("DELETE FROM Orders WHERE OrderID >= %1").arg(a + 10));
    EXPECT_EQ(addNew(), a + 14);
}

TEST_P(AutoNumberTest, ACounterRowMovedElsewhereIsFoundByItsName)
{
    if (!GetParam().rowid)
        GTEST_SKIP() << "the counter is not SQLite's";
    const std::int64_t a = addNew();
    // Another workstation's tool writes the counters again: the row that held
    // this table's counter now holds another table's.
    Database other;
    other.open(dbPath());
    const std::int64_t row = count(s("SELECT rowid FROM sqlite_sequence WHERE name = 'Orders'"));
    other.executeNative(s("DELETE FROM sqlite_sequence WHERE name = 'Orders'"));
    other.executeNative(QStringLiteral("INSERT INTO sqlite_sequence (rowid, name, seq) VALUES (%1, 'Other', 500), (%2, 'Orders', %3)")
                            .arg(row)
                            .arg(row + 1)
                            .arg(a));
    other.close();
    EXPECT_EQ(addNew(), a + 1);
    Transaction t(db);
    EXPECT_EQ(addNew(), a + 2);
    t.commit();
    EXPECT_EQ(count(s("SELECT seq FROM sqlite_sequence WHERE name = 'Other'")), 500);
    EXPECT_EQ(count(s("SELECT seq FROM sqlite_sequence WHERE name = 'Orders'")), a + 2);
}

TEST_P(AutoNumberTest, CountersSurviveCompaction)
{
    insert();
    insert();
    const std::int64_t c = insert();
    db.execute(QStringLiteral("DELETE FROM Orders WHERE OrderID >= %1").arg(c - 1));
    reopen(dbPath(), true);
    const QString copy = tempPath(s("Compacted.mdb"));
    const RebuildResult result = db.rebuildCopy(copy);
    EXPECT_TRUE(result.losses.isEmpty());
    EXPECT_TRUE(result.indexesNotBuilt.isEmpty());
    reopen(copy);
    expectLayout();
    EXPECT_EQ(count(s("SELECT count(*) FROM Orders")), 1);
    EXPECT_EQ(insert(), c + 1);
    EXPECT_EQ(addNew(), c + 2);
}

TEST_P(AutoNumberTest, SchemaChangesKeepTheLayoutAndTheCounter)
{
    const std::int64_t a = insert();
    const int firstOrderNo = m_orderNo;
    const std::int64_t c = a + 2;
    insert();
    insert();
    db.execute(QStringLiteral("DELETE FROM Orders WHERE OrderID > %1").arg(a));
    const QString orders = s("Orders");

    // Each of these rebuilds the table.
    db.addField(orders, {s("Qty"), FieldType::Long, 4}, 1, Value(3));
    db.moveField(orders, s("Name"), 0);
    db.moveField(orders, s("Name"), 3);
    db.resizeTextField(orders, s("Name"), 30);
    db.deleteField(orders, s("Qty"));
    db.resizeTextField(orders, s("Name"), 20);
    expectLayout();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Orders WHERE OrderID = %1 AND OrderNo = %2").arg(a).arg(firstOrderNo)), 1);
    EXPECT_EQ(insert(), c + 1);

    // The key's index goes and comes back under its name (the key check does
    // this on every compaction with reindexing).
    db.deleteIndex(orders, s("PrimaryKey"));
    db.deleteIndex(orders, s("Name"));
    EXPECT_EQ(db.tableDef(orders).indexes.size(), 0);
    db.createIndex(orders, {s("PrimaryKey"), s(GetParam().keyField), true, true});
    db.createIndex(orders, {s("Name"), s("Name"), false, false});
    // Made again, the primary index of an AutoNumber makes it the rowid, in
    // an older file too.
    expectLayout(GetParam().layout != Layout::NotTheKey);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Orders WHERE OrderID = %1 AND OrderNo = %2").arg(a).arg(firstOrderNo)), 1);
    EXPECT_EQ(insert(), c + 2);
    reopen(dbPath());
    EXPECT_EQ(addNew(), c + 3);
    // The key field is in an index: it stays.
    EXPECT_EQ(errorOf([&] { db.deleteField(orders, s(GetParam().keyField)); }), 3280);
}

TEST_P(AutoNumberTest, AnAutoNumberAddedLaterNumbersTheRowsInTheirOrder)
{
    // The table without its AutoNumber, then with a new one at the front.
    if (GetParam().layout != Layout::NotTheKey)
        db.deleteIndex(s("Orders"), s("PrimaryKey"));
    db.deleteField(s("Orders"), s("OrderID"));
    db.execute(s("INSERT INTO Orders (OrderNo) VALUES (5)"));
    db.execute(s("INSERT INTO Orders (OrderNo) VALUES (6)"));
    db.addField(s("Orders"), {s("Serial"), FieldType::Long, 4, true}, 0);
    const TableDef def = db.tableDef(s("Orders"));
    ASSERT_EQ(def.fields.size(), 3);
    EXPECT_TRUE(def.fields[0].autoNumber);
    EXPECT_EQ(scalar(s("SELECT group_concat(Serial) FROM (SELECT Serial FROM Orders ORDER BY OrderNo)")).toString(),
              s("1,2"));
    db.execute(s("INSERT INTO Orders (OrderNo) VALUES (7)"));
    EXPECT_EQ(count(s("SELECT Serial FROM Orders WHERE OrderNo = 7")), 3);
}

TEST_P(AutoNumberTest, WithoutItsPrimaryIndexTheKeyTakesRepeatedValues)
{
    const QString orders = s("Orders");
    const bool counterKey = GetParam().layout != Layout::NotTheKey;
    const std::int64_t a = insert();
    const int firstOrderNo = m_orderNo;
    const std::int64_t b = insert();
    db.execute(QStringLiteral("DELETE FROM Orders WHERE OrderID = %1").arg(b));
    db.deleteIndex(orders, s("PrimaryKey"));
    const auto rowid = [&] {
        return count(s("SELECT count(*) FROM pragma_table_info('Orders') WHERE name = 'OrderID' AND pk = 1")) == 1;
    };
    EXPECT_FALSE(rowid());
    EXPECT_EQ(db.tableDef(orders).indexes.size(), 1);
    EXPECT_TRUE(db.tableDef(orders).fields[0].autoNumber);
    // A repeated key is taken (a number below the counter's moves nothing);
    // the counter still never gives a number again.
    const QString repeated = counterKey ? QStringLiteral("OrderNo = 1") : QStringLiteral("OrderID = %1").arg(b);
    db.execute(QStringLiteral("INSERT INTO Orders (OrderID, OrderNo) VALUES (%1, %2)")
                   .arg(counterKey ? a : b)
                   .arg(counterKey ? 1 : firstOrderNo));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Orders WHERE %1 = %2")
                        .arg(s(GetParam().keyField))
                        .arg(counterKey ? a : firstOrderNo)),
              2);
    EXPECT_EQ(insert(), b + 1);

    // The key cannot be made while a value repeats; nothing changes.
    EXPECT_EQ(errorOf([&] { db.createIndex(orders, {s("PrimaryKey"), s(GetParam().keyField), true, true}); }), 3022);
    EXPECT_FALSE(rowid());
    EXPECT_EQ(db.tableDef(orders).indexes.size(), 1);
    EXPECT_EQ(count(s("SELECT count(*) FROM Orders")), 3);
    db.execute(QStringLiteral("DELETE FROM Orders WHERE %1").arg(repeated));
    db.createIndex(orders, {s("PrimaryKey"), s(GetParam().keyField), true, true});
    EXPECT_EQ(rowid(), counterKey);
    EXPECT_EQ(count(s("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Orders'")), counterKey ? 1 : 2);
    EXPECT_EQ(count(s("SELECT count(*) FROM jet_counters WHERE tbl = 'Orders'")), counterKey ? 0 : 1);
    EXPECT_EQ(db.tableDef(orders).indexes.size(), 2);
    EXPECT_EQ(count(s("SELECT count(*) FROM Orders")), 2);
    EXPECT_EQ(addNew(), b + 2);
    EXPECT_EQ(insert(), b + 3);
}

INSTANTIATE_TEST_SUITE_P(Layouts, AutoNumberTest, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<LayoutCase> &info) { return std::string(info.param.name); });
