#include "DbFixture.h"
#include "ErrorOf.h"

#include "platform/db/BesideRead.h"
#include "platform/db/DbException.h"
#include "platform/db/SqlValues.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QThread>

#include <sqlite3.h>

using namespace platform;

namespace {

int sqlite3_total_changes_for_test(Database &db)
{
    return sqlite3_total_changes(db.handle());
}

} // namespace

class RecordsetTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        makeJobsTable();
        addJob(100, QStringLiteral("Cards"), 12.5);
        addJob(101, QStringLiteral("Flyers"), 3.3333);
        addJob(102, QStringLiteral("Posters"), 0);
    }
};

TEST_F(RecordsetTest, MembershipIsFixedUntilRequery)
{
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Name FROM Jobs WHERE JobNo < 102 ORDER BY JobNo"));
    ASSERT_TRUE(rs.canUpdate());
    EXPECT_EQ(rs.value(0).toInt(), 100);

    // An edited row that no longer matches stays; the set walks on past it.
    rs.edit();
    rs.setValue(0, Value(500));
    rs.update();
    EXPECT_EQ(rs.value(0).toInt(), 500);
    // A row added elsewhere is not seen until requery.
    addJob(50, QStringLiteral("Late"), 1);
    rs.moveNext();
    EXPECT_EQ(rs.value(0).toInt(), 101);
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());
    EXPECT_FALSE(rs.isBOF());

    rs.requery();
    EXPECT_EQ(rs.value(0).toInt(), 50);
    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.value(0).toInt(), 101);
}

TEST_F(RecordsetTest, AddedRowGoesToTheEndAndTakesItsAutoNumberAtOnce)
{
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT * FROM Jobs ORDER BY JobNo DESC"));
    EXPECT_EQ(rs.value(QStringLiteral("JobNo")).toInt(), 102);
    EXPECT_TRUE(rs.fieldIsAutoNumber(0));
    EXPECT_FALSE(rs.fieldIsAutoNumber(1));

    rs.addNew();
    EXPECT_EQ(rs.value(0).toInt(), 4); // before Update
    EXPECT_FALSE(rs.isFieldDirty(0));
    rs.cancelUpdate();                 // leaves a gap
    rs.addNew();
    EXPECT_EQ(rs.value(0).toInt(), 5);
    rs.setValue(1, Value(1)); // would sort first
    rs.update();
    // The current row stays; the new row is last.
    EXPECT_EQ(rs.value(QStringLiteral("JobNo")).toInt(), 102);
    rs.moveLast();
    EXPECT_EQ(rs.value(0).toInt(), 5);
    EXPECT_EQ(rs.value(1).toInt(), 1);
    EXPECT_EQ(rs.recordCount(), 4);
    rs.moveFirst();
    rs.moveToLastAdded();
    EXPECT_EQ(rs.value(0).toInt(), 5);

    // An INSERT without the column continues after the gap; explicit values
    // raise the counter and are never reused.
    db.execute(QStringLiteral("INSERT INTO Jobs (JobNo) VALUES (7)"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 7")).toInt(), 6);
    db.execute(QStringLiteral("INSERT INTO Jobs (JobID, JobNo) VALUES (40, 8)"));
    rs.addNew();
    EXPECT_EQ(rs.value(0).toInt(), 41);
    rs.cancelUpdate();
}

TEST_F(RecordsetTest, EmptyTextAndNullStayDistinct)
{
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT Name, Note FROM Jobs WHERE JobNo = 100"));
    rs.edit();
    rs.setValue(0, Value(QString()));
    rs.setValue(1, Value());
    EXPECT_TRUE(rs.isFieldDirty(0));
    EXPECT_FALSE(rs.isFieldDirty(1)); // Note was Null already
    rs.update();
    EXPECT_EQ(scalar(QStringLiteral("SELECT typeof(Name) || '/' || typeof(Note) FROM Jobs WHERE JobNo = 100")).toString(),
              QStringLiteral("text/null"));
    rs.requery();
    EXPECT_FALSE(rs.value(0).isNull());
    EXPECT_TRUE(rs.value(0).toString().isEmpty());
    EXPECT_TRUE(rs.value(1).isNull());
}

TEST_F(RecordsetTest, OnlyDirtyFieldsAreWritten)
{
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT Name, Price FROM Jobs WHERE JobNo = 101"));
    rs.edit();
    rs.setValue(0, Value(QStringLiteral("Flyers"))); // same text: not dirty
    EXPECT_FALSE(rs.isFieldDirty(0));
    rs.setValue(0, Value(QStringLiteral("FLYERS"))); // case counts
    EXPECT_TRUE(rs.isFieldDirty(0));
    rs.setValue(0, Value(QStringLiteral("Flyers")));
    EXPECT_FALSE(rs.isFieldDirty(0));
    rs.setFieldDirty(1);
    EXPECT_TRUE(rs.isFieldDirty(1));

    // Another connection changes the name meanwhile; only Price is written,
    // and the check sees the name changed: a conflict, not a silent overwrite.
    Database other;
    other.open(dbPath());
    other.execute(QStringLiteral("UPDATE Jobs SET Name = 'Leaflets' WHERE JobNo = 101"));
    EXPECT_EQ(errorOf([&] { rs.update(); }), 3197);
    rs.cancelUpdate();

    // With nothing dirty, Update writes nothing at all.
    rs.edit();
    const int before = sqlite3_total_changes_for_test(db);
    rs.update();
    EXPECT_EQ(sqlite3_total_changes_for_test(db), before);
    EXPECT_EQ(rs.editMode(), Recordset::EditMode::None);
}

TEST_F(RecordsetTest, RowsWrittenOneAfterAnotherEachWriteTheirOwnFields)
{
    // One set writing in one transaction: each added row names the fields it
    // was given, and each edit checks the row as it holds it then (a field
    // Null at the first edit holds a text at the second).
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Name, Note FROM Jobs WHERE JobNo = 100"));
    Transaction t(db);
    rs.addNew();
    rs.setValue(0, Value(200));
    rs.setValue(1, Value(QStringLiteral("A")));
    rs.update();
    rs.addNew();
    rs.setValue(0, Value(201));
    rs.setValue(2, Value(QStringLiteral("n")));
    rs.update();
    rs.addNew();
    rs.setValue(0, Value(202));
    rs.setValue(1, Value(QStringLiteral("B")));
    rs.update();
    rs.moveFirst();
    rs.edit();
    rs.setValue(2, Value(QStringLiteral("x")));
    rs.update();
    rs.edit();
    rs.setValue(2, Value(QStringLiteral("y")));
    rs.update();
    t.commit();
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(JobNo || ':' || coalesce(Name, '-') || ':' || coalesce(Note, '-'), ' ') "
                                    "FROM (SELECT * FROM Jobs WHERE JobNo IN (100, 200, 201, 202) ORDER BY JobNo)"))
                  .toString(),
              QStringLiteral("100:Cards:y 200:A:- 201:-:n 202:B:-"));
}

TEST_F(RecordsetTest, ValuesArriveInTheFieldsType)
{
    // Stored the way other programs might: Currency as a binary fraction,
    // Yes/No as 1, a Long as a real.
    db.executeNative(QStringLiteral("UPDATE Jobs SET Price = 0.1 + 0.2, Rush = 1, DateIn = 40618.5 WHERE JobNo = 100"));
    db.executeNative(QStringLiteral("UPDATE Jobs SET Price = 1.23455 WHERE JobNo = 101"));
    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, QStringLiteral("SELECT Price, Rush, DateIn, JobNo FROM Jobs ORDER BY JobNo"));
    EXPECT_EQ(rs.fieldType(0), FieldType::Currency);
    EXPECT_EQ(rs.value(0).toMoney().units(), 3000);
    EXPECT_EQ(rs.value(1).type(), FieldType::Boolean);
    EXPECT_EQ(rs.value(1).toInt(), -1);
    EXPECT_DOUBLE_EQ(rs.value(2).toDateTime().toOle(), 40618.5);
    EXPECT_EQ(rs.value(3).type(), FieldType::Long);
    rs.moveNext();
    EXPECT_EQ(rs.value(0).toMoney().units(), 12346); // rounded, never truncated
    EXPECT_TRUE(rs.value(1).isNull());
}

TEST_F(RecordsetTest, HeldRowsReadAsTheirValuesWould)
{
    // Stored by another program: a Long as a real and as text with spaces,
    // a date as text; job 102 has no date.
    db.executeNative(QStringLiteral("UPDATE Jobs SET JobNo = ' 7 ', DateIn = '3/14/2011' WHERE JobNo = 100"));
    db.executeNative(QStringLiteral("UPDATE Jobs SET JobNo = 12.9, Name = 'Z\u00fcrich', DateIn = 40618.5 WHERE JobNo = 101"));
    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, QStringLiteral("SELECT JobNo, Name, DateIn FROM Jobs ORDER BY JobID"));
    QList<int> numbers;
    QStringList names;
    QList<double> days;
    ASSERT_TRUE(rs.readHeldRows([&](const sqlvalues::Stored *f) {
        numbers.append(sqlvalues::toInt(f[0], rs.fieldType(0)));
        names.append(sqlvalues::toText(f[1], rs.fieldType(1)));
        const DateTime day = sqlvalues::toDateTime(f[2], rs.fieldType(2));
        days.append(day.isValid() ? day.toOle() : -1);
        return true;
    }));
    EXPECT_EQ(numbers, QList<int>({7, 12, 102}));
    EXPECT_EQ(names, QStringList({QStringLiteral("Cards"), QStringLiteral("Z\u00fcrich"), QStringLiteral("Posters")}));
    EXPECT_EQ(days, QList<double>({40616, 40618.5, -1}));
}

TEST_F(RecordsetTest, AssignedValuesAreConvertedToTheColumnType)
{
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Name, Price, Rush FROM Jobs WHERE JobNo = 102"));
    rs.edit();
    rs.setValue(0, Value(QStringLiteral("3")));
    EXPECT_EQ(rs.value(0).type(), FieldType::Long);
    EXPECT_EQ(rs.value(0).toInt(), 3);
    EXPECT_EQ(errorOf([&] { rs.setValue(1, Value(QString(21, QLatin1Char('x')))); }), 3163);
    rs.setValue(1, Value(QString(20, QLatin1Char('x'))));
    rs.setValue(2, Value(2.5));
    rs.setValue(3, Value(5));
    rs.update();
    EXPECT_EQ(scalar(QStringLiteral("SELECT JobNo FROM Jobs WHERE Rush = -1")).toInt(), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Price FROM Jobs WHERE JobNo = 3")).toDouble(), 2.5);
    EXPECT_EQ(errorOf([&] { rs.setValue(0, Value(1)); }), 3020); // no Edit
}

TEST_F(RecordsetTest, SnapshotsAndAggregatesAreReadOnly)
{
    Recordset snap(db);
    snap.open(Recordset::Type::Snapshot, QStringLiteral("Jobs"));
    EXPECT_FALSE(snap.canUpdate());
    EXPECT_EQ(errorOf([&] { snap.edit(); }), 3027);
    EXPECT_EQ(errorOf([&] { snap.addNew(); }), 3027);

    Recordset sum(db);
    sum.open(Recordset::Type::Dynaset, QStringLiteral("SELECT Count(*) AS N FROM Jobs"));
    EXPECT_FALSE(sum.canUpdate());
    EXPECT_EQ(sum.value(QStringLiteral("n")).toInt(), 3);
    EXPECT_EQ(errorOf([&] { sum.value(QStringLiteral("Missing")); }), 3265);

    // A snapshot holds its rows as of opening.
    db.execute(QStringLiteral("DELETE FROM Jobs"));
    snap.moveLast();
    EXPECT_EQ(snap.recordCount(), 3);
    EXPECT_EQ(snap.value(QStringLiteral("Name")).toString(), QStringLiteral("Posters"));
}

TEST_F(RecordsetTest, NavigationAtTheEdgesAndAfterDelete)
{
    Recordset empty(db);
    empty.open(Recordset::Type::Dynaset, QStringLiteral("SELECT * FROM Jobs WHERE JobNo = 0"));
    EXPECT_TRUE(empty.isEOF());
    EXPECT_TRUE(empty.isBOF());
    EXPECT_EQ(errorOf([&] { empty.moveNext(); }), 3021);
    EXPECT_EQ(errorOf([&] { empty.value(0); }), 3021);
    EXPECT_EQ(empty.recordCount(), 0);

    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo FROM Jobs ORDER BY JobNo"));
    rs.moveNext();
    rs.deleteRecord();
    // No current row until the next move, which reaches the following row.
    EXPECT_EQ(errorOf([&] { rs.value(0); }), 3021);
    EXPECT_FALSE(rs.isEOF());
    rs.moveNext();
    EXPECT_EQ(rs.value(0).toInt(), 102);
    rs.movePrev();
    EXPECT_EQ(rs.value(0).toInt(), 100);
    rs.movePrev();
    EXPECT_TRUE(rs.isBOF());
    EXPECT_EQ(errorOf([&] { rs.movePrev(); }), 3021);
    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 2);

    // A row deleted by another connection reads as deleted.
    db.execute(QStringLiteral("DELETE FROM Jobs WHERE JobNo = 102"));
    EXPECT_EQ(errorOf([&] { rs.edit(); }), 3167);

    // The set's only row deleted: the next move reaches the end, as past
    // the last of several rows.
    Recordset only(db);
    only.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo FROM Jobs WHERE JobNo = 100"));
    ASSERT_FALSE(only.isEOF());
    only.deleteRecord();
    only.moveNext();
    EXPECT_TRUE(only.isEOF());
    EXPECT_EQ(errorOf([&] { only.moveNext(); }), 3021);
}

// A row deleted under a set (by another set of the program) can give its
// rowid to the next row the set adds: the deleted row is left, never read as
// the new one, and the new row is the set's last added, readable and
// editable; twice over. The deleted row may be the set's first: a set that
// held no row before (a New closed unsaved on an empty table) must not hold
// the new row twice.
TEST_F(RecordsetTest, ARowAddedWhereADeletedRowStoodIsTheNewRowOnly)
{
    TableDef def;
    def.name = QStringLiteral("Cards");
    def.fields = {{QStringLiteral("CardNo"), FieldType::Long, 4}, {QStringLiteral("Name"), FieldType::Text, 20}};
    db.createTable(def);
    for (const int rowsBefore : {1, 0}) {
        SCOPED_TRACE(rowsBefore);
        db.execute(QStringLiteral("DELETE FROM Cards"));
        if (rowsBefore == 1)
            db.execute(QStringLiteral("INSERT INTO Cards (CardNo, Name) VALUES (1, 'One')"));
        Recordset rs(db);
        rs.open(Recordset::Type::Dynaset, QStringLiteral("Cards"));
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            rs.addNew();
            rs.setValue(0, Value(2));
            rs.setValue(1, Value(QStringLiteral("New")));
            rs.update();
            rs.moveToLastAdded();
            EXPECT_EQ(rs.value(1).toString(), QStringLiteral("New"));
            // Deleted elsewhere while the set stands on it.
            db.execute(QStringLiteral("DELETE FROM Cards WHERE CardNo = 2"));
            EXPECT_EQ(errorOf([&] { rs.edit(); }), 3167);

            rs.addNew();
            rs.setValue(0, Value(3));
            rs.setValue(1, Value(QStringLiteral("Next")));
            rs.update();
            // The deleted row was left: no current row until a move.
            EXPECT_EQ(errorOf([&] { rs.value(0); }), 3021);
            rs.moveToLastAdded();
            EXPECT_EQ(rs.value(0).toInt(), 3);
            EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Next"));
            rs.edit();
            rs.setValue(1, Value(QStringLiteral("Kept")));
            rs.update();
            rs.moveFirst();
            if (rowsBefore == 1) {
                EXPECT_EQ(rs.value(0).toInt(), 1);
                rs.moveNext();
            }
            EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Kept"));
            rs.moveNext();
            EXPECT_TRUE(rs.isEOF());
            EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Cards")).toInt(), rowsBefore + 1);
            db.execute(QStringLiteral("DELETE FROM Cards WHERE CardNo = 3"));
            rs.moveFirst();
        }
    }
}

TEST_F(RecordsetTest, FindWalksTheSetInOrder)
{
    addJob(103, QStringLiteral("Cards"), 7);
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Name, Price FROM Jobs ORDER BY JobNo DESC"));
    ASSERT_TRUE(rs.findFirst(QStringLiteral("Name = 'Cards'")));
    EXPECT_EQ(rs.value(0).toInt(), 103);
    ASSERT_TRUE(rs.findNext(QStringLiteral("Name = 'Cards'")));
    EXPECT_EQ(rs.value(0).toInt(), 100);
    EXPECT_FALSE(rs.findNext(QStringLiteral("Name = 'Cards'")));
    EXPECT_EQ(rs.value(0).toInt(), 100); // no match: the row stays
    ASSERT_TRUE(rs.findFirst(QStringLiteral("Price > 3 AND Price < 4")));
    EXPECT_EQ(rs.value(0).toInt(), 101);
}

TEST_F(RecordsetTest, FilterAndSortApplyAtRequery)
{
    Recordset rs(db);
    rs.setFilter(QStringLiteral("JobNo > 100"));
    rs.setSort(QStringLiteral("JobNo DESC"));
    rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs"));
    EXPECT_EQ(rs.value(QStringLiteral("JobNo")).toInt(), 102);
    rs.setFilter(QStringLiteral("JobNo = 100"));
    rs.requery();
    EXPECT_EQ(rs.value(QStringLiteral("JobNo")).toInt(), 100);
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());
}

TEST_F(RecordsetTest, DynasetReadsLargeSetsInPages)
{
    db.beginTrans();
    for (int i = 0; i < 1000; ++i)
        addJob(1000 + i, QStringLiteral("Job %1").arg(i), i);
    db.commitTrans();
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Name FROM Jobs WHERE JobNo >= 1000 ORDER BY Name DESC"));
    long n = 0;
    QString previous = QStringLiteral("zzz");
    for (; !rs.isEOF(); rs.moveNext(), ++n) {
        const QString name = rs.value(1).toString();
        EXPECT_LT(name.compare(previous, Qt::CaseInsensitive), 0);
        previous = name;
    }
    EXPECT_EQ(n, 1000);
    // Rows changed by this connection are read again when visited.
    db.execute(QStringLiteral("UPDATE Jobs SET Name = 'Renamed' WHERE JobNo = 1500"));
    rs.moveFirst();
    ASSERT_TRUE(rs.findFirst(QStringLiteral("JobNo = 1500")));
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Renamed"));
}

TEST_F(RecordsetTest, SumsCrosstabsAndParameters)
{
    // Money adds up exactly, whatever binary fractions the stored values are.
    db.execute(QStringLiteral("UPDATE Jobs SET Price = 0.1 WHERE JobNo = 100"));
    db.execute(QStringLiteral("UPDATE Jobs SET Price = 0.2 WHERE JobNo = 101"));
    Recordset sum(db);
    sum.open(Recordset::Type::Snapshot, QStringLiteral("SELECT Sum(Price) AS Total FROM Jobs HAVING Sum(Price) = 0.3"));
    ASSERT_FALSE(sum.isEOF());
    EXPECT_EQ(sum.fieldType(0), FieldType::Currency);
    EXPECT_EQ(sum.value(0).toMoney().units(), 3000);

    // Long arithmetic past 32 bits gives its true value (as a Double), never
    // the low bits: 2 * 2147483647 = 4294967294; (100 + 101 + 102) * 20000000
    // = 6060000000 although each term fits; within the range a Long stays Long.
    Recordset wide(db);
    wide.open(Recordset::Type::Snapshot,
              QStringLiteral("SELECT 2147483647 * 2, 2147483647 + 1, -2147483647 - 2, Sum(JobNo * 20000000), "
                             "2147483646 + 1, -2147483647 - 1 FROM Jobs"));
    const double wideValues[] = {4294967294.0, 2147483648.0, -2147483649.0, 6060000000.0};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(wide.value(c).type(), FieldType::Double) << c;
        EXPECT_EQ(wide.value(c).toDouble(), wideValues[c]) << c;
    }
    EXPECT_EQ(wide.value(4).type(), FieldType::Long);
    EXPECT_EQ(wide.value(4).toInt64(), 2147483647);
    EXPECT_EQ(wide.value(5).toInt64(), -2147483648LL);

    // A crosstab is built in two steps: one column per pivot value.
    Recordset cross(db);
    cross.open(Recordset::Type::Dynaset,
               QStringLiteral("TRANSFORM Count(*) AS N SELECT Rush FROM Jobs GROUP BY Rush PIVOT Name"));
    EXPECT_FALSE(cross.canUpdate());
    ASSERT_EQ(cross.fieldCount(), 4);
    EXPECT_EQ(cross.fieldName(1), QStringLiteral("Cards"));
    EXPECT_EQ(cross.value(QStringLiteral("Posters")).toInt(), 1);

    // A saved query's declared parameters bind in order, converted from text.
    db.createQuery(QStringLiteral("Jobs From"), QStringLiteral("PARAMETERS [First No] Short; SELECT JobNo FROM Jobs "
                                                               "WHERE JobNo >= [First No] ORDER BY JobNo"));
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs From"), {Value(QStringLiteral("101"))});
    EXPECT_TRUE(rs.canUpdate());
    EXPECT_EQ(rs.value(0).toInt(), 101);
    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(errorOf([&] { rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs From")); }), 3061);
    EXPECT_EQ(errorOf([&] { rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs From"), {Value(QStringLiteral("x"))}); }), 3421);
}

// A snapshot holds its rows in blocks that grow with the set: every row of a
// set of any size reads back as the statement gave it, walking both ways and
// through Find, a field the statement does not give reads as Null, and a
// requery onto fewer rows leaves nothing of the old ones.
TEST_F(RecordsetTest, SnapshotRowsOfAnySizeReadBackWhole)
{
    db.executeNative(QStringLiteral("CREATE TABLE Numbers (N INTEGER, Label TEXT)"));
    db.executeNative(QStringLiteral(
        "INSERT INTO Numbers (N, Label) WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 9000) "
        "SELECT i, 'row ' || i FROM s"));
    for (const int count : {0, 1, 64, 65, 192, 193, 8000, 9000}) {
        SCOPED_TRACE(count);
        Recordset rs(db);
        rs.open(Recordset::Type::Snapshot,
                QStringLiteral("SELECT N, Label FROM Numbers WHERE N <= %1 ORDER BY N").arg(count));
        int n = 0;
        for (; !rs.isEOF(); rs.moveNext()) {
            ++n;
            ASSERT_EQ(rs.value(0).toInt(), n);
            ASSERT_EQ(rs.value(1).toString(), QStringLiteral("row %1").arg(n));
        }
        EXPECT_EQ(n, count);
        if (count == 0)
            continue;
        rs.moveLast();
        for (int back = count; back >= 1; --back, rs.movePrev())
            ASSERT_EQ(rs.value(1).toString(), QStringLiteral("row %1").arg(back));
        EXPECT_TRUE(rs.findFirst(QStringLiteral("N = %1").arg(count)));
        EXPECT_EQ(rs.value(1).toString(), QStringLiteral("row %1").arg(count));
        EXPECT_TRUE(rs.findFirst(QStringLiteral("N = %1").arg((count + 1) / 2)));
        EXPECT_EQ(rs.value(0).toInt(), (count + 1) / 2);
        EXPECT_FALSE(rs.findNext(QStringLiteral("N = %1").arg((count + 1) / 2)));
    }
    Recordset big(db);
    big.open(Recordset::Type::Snapshot, QStringLiteral("SELECT N, Label FROM Numbers ORDER BY N DESC"));
    big.moveLast();
    EXPECT_EQ(big.recordCount(), 9000);
    big.setFilter(QStringLiteral("N < 3"));
    big.requery();
    big.moveLast();
    EXPECT_EQ(big.recordCount(), 2);
    EXPECT_EQ(big.value(0).toInt(), 1);
}

TEST_F(RecordsetTest, SnapshotRowsReadAtAnyPlaceWithoutMoving)
{
    Recordset rs(db);
    rs.open(Recordset::Type::Snapshot, QStringLiteral("SELECT JobNo, Name, Price FROM Jobs ORDER BY JobNo DESC"));
    EXPECT_EQ(rs.heldCount(), 3);
    EXPECT_EQ(rs.value(0).toInt(), 102);
    // Any held row, in the statement's order; the current row stays.
    EXPECT_EQ(rs.valueAt(2, 1).toString(), QStringLiteral("Cards"));
    EXPECT_EQ(rs.valueAt(1, 2).toMoney(), Money::fromUnits(33333));
    EXPECT_EQ(rs.value(0).toInt(), 102);
    rs.moveNext();
    EXPECT_EQ(rs.value(0).toInt(), 101);
    const struct
    {
        long row;
        int field;
        int error;
    } wrong[] = {{3, 0, 3021}, {-1, 0, 3021}, {0, 3, 3265}, {0, -1, 3265}};
    for (const auto &w : wrong)
        EXPECT_EQ(errorOf([&] { rs.valueAt(w.row, w.field); }), w.error) << w.row << ' ' << w.field;

    // A dynaset reads by key: it is not read at places.
    Recordset dyn(db);
    dyn.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Name FROM Jobs ORDER BY JobNo"));
    EXPECT_EQ(errorOf([&] { dyn.valueAt(0, 0); }), 3219);
    EXPECT_EQ(dyn.heldCount(), 3);

    // Held rows stay readable when the database is closed; a closed set holds none.
    db.close();
    EXPECT_EQ(rs.valueAt(0, 1).toString(), QStringLiteral("Posters"));
    rs.close();
    EXPECT_EQ(rs.heldCount(), 0);
    EXPECT_EQ(errorOf([&] { rs.valueAt(0, 0); }), 3420);
}

TEST_F(RecordsetTest, FirstRowsCountEveryRowTheStatementGives)
{
    // Two proofs of job 100, one of 101, none of 102: a join that repeats or
    // keeps rows is counted as it gives them.
    TableDef proofs;
    proofs.name = QStringLiteral("Proofs");
    proofs.fields = {{QStringLiteral("ProofID"), FieldType::Long, 4, true}, {QStringLiteral("JobNo"), FieldType::Long, 4}};
    proofs.indexes = {{QStringLiteral("ProofID"), QStringLiteral("ProofID"), true, true}};
    db.createTable(proofs);
    for (int jobNo : {100, 100, 101})
        db.execute(QStringLiteral("INSERT INTO Proofs (JobNo) VALUES (?)"), {Value(jobNo)});
    const QString joined = QStringLiteral("SELECT Jobs.JobNo, Proofs.ProofID FROM Jobs LEFT JOIN Proofs "
                                          "ON Proofs.JobNo = Jobs.JobNo ORDER BY Jobs.JobNo DESC, Proofs.ProofID");
    const auto expected = [&](const QString &sql, const QList<Value> &parameters = {}) {
        Recordset rs(db);
        rs.openFirstRows(sql, 1, parameters);
        return rs.expectedCount();
    };
    EXPECT_EQ(expected(joined), 4);
    EXPECT_EQ(expected(QStringLiteral("SELECT DISTINCT Jobs.JobNo FROM Jobs LEFT JOIN Proofs ON Proofs.JobNo = Jobs.JobNo")), 3);
    EXPECT_EQ(expected(QStringLiteral("SELECT TOP 2 JobNo FROM Jobs ORDER BY JobNo")), 2);
    EXPECT_EQ(expected(QStringLiteral("SELECT Proofs.JobNo, Count(*) AS N FROM Proofs GROUP BY Proofs.JobNo")), 2);
    EXPECT_EQ(expected(QStringLiteral("PARAMETERS [Least] Long; SELECT JobNo FROM Jobs WHERE JobNo >= [Least]"),
                       {Value(101)}),
              2);

    // The first row is there before the rest; anything past it reads on.
    Recordset rs(db);
    rs.openFirstRows(joined, 1);
    EXPECT_TRUE(rs.isReading());
    EXPECT_EQ(rs.heldCount(), 1);
    EXPECT_EQ(rs.valueAt(0, 0).toInt(), 102);
    EXPECT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.heldCount(), 1);
    EXPECT_EQ(rs.valueAt(3, 1).toInt(), 2);
    EXPECT_FALSE(rs.isReading());
    EXPECT_EQ(rs.heldCount(), 4);
    EXPECT_FALSE(rs.readMore(10));
}

// A statement read beside the window: its rows come on the reading thread
// and are taken as they come, typed as the set's fields; a statement that
// would run for minutes stops within a second of being let go, keeping the
// rows taken, and a write of the set's own connection lets it go first.
TEST_F(RecordsetTest, StatementsReadBesideGiveTheirRowsAsTheyComeAndStop)
{
    Recordset rs(db);
    rs.openBeside(QStringLiteral("PARAMETERS [Least] Long; SELECT JobNo, Name, Price FROM Jobs WHERE JobNo >= [Least] "
                                 "ORDER BY JobNo DESC"),
                  {Value(101)});
    EXPECT_TRUE(rs.readsBeside());
    for (int i = 0; i < 500 && rs.isReading(); ++i) {
        rs.waitForRows(20);
        rs.readMore(100);
    }
    ASSERT_FALSE(rs.isReading());
    EXPECT_FALSE(rs.readsBeside());
    ASSERT_EQ(rs.heldCount(), 2);
    EXPECT_EQ(rs.valueAt(0, 0).toInt(), 102);
    EXPECT_EQ(rs.valueAt(0, 1).toString(), QStringLiteral("Posters"));
    EXPECT_EQ(rs.valueAt(1, 1).toString(), QStringLiteral("Flyers"));
    EXPECT_EQ(rs.valueAt(1, 2).type(), FieldType::Currency);
    EXPECT_EQ(rs.valueAt(1, 2).toMoney().units(), 33333);
    EXPECT_EQ(BesideRead::running(), 0);

    // Rows whose texts are all empty, the first ones taken before any text
    // with letters: each reads as an empty text.
    Recordset empty(db);
    empty.openBeside(QStringLiteral("SELECT '' AS Blank, JobNo FROM Jobs WHERE JobNo >= 101 ORDER BY JobNo"));
    for (int i = 0; i < 500 && empty.isReading(); ++i) {
        empty.waitForRows(20);
        empty.readMore(100);
    }
    ASSERT_EQ(empty.heldCount(), 2);
    EXPECT_EQ(empty.valueAt(0, 0).toString(), QString());
    EXPECT_EQ(empty.valueAt(1, 0).toString(), QString());
    EXPECT_EQ(empty.valueAt(1, 1).toInt(), 102);

    // Jobs joined to themselves four times, no row matching: minutes of work.
    for (int n = 0; n < 150; ++n)
        addJob(1000 + n, QStringLiteral("More"), 1);
    const QString endless = QStringLiteral(
        "SELECT A.JobNo FROM Jobs AS A, Jobs AS B, Jobs AS C, Jobs AS D WHERE A.JobNo + B.JobNo + C.JobNo + D.JobNo = 7");
    Recordset slow(db);
    slow.openBeside(endless);
    EXPECT_FALSE(slow.waitForRows(300));
    ASSERT_TRUE(slow.isReading());
    EXPECT_EQ(BesideRead::running(), 1);
    QElapsedTimer stopping;
    stopping.start();
    slow.stopReading();
    EXPECT_LT(stopping.elapsed(), 10000);
    EXPECT_FALSE(slow.isReading());
    EXPECT_EQ(slow.heldCount(), 0);
    EXPECT_EQ(BesideRead::running(), 0);

    // A write of the set's connection does not wait for the read beside.
    slow.openBeside(endless);
    ASSERT_TRUE(slow.isReading());
    addJob(2000, QStringLiteral("Written"), 2);
    EXPECT_FALSE(slow.isReading());
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Jobs WHERE JobNo = 2000")).toInt(), 1);
    EXPECT_EQ(BesideRead::running(), 0);
}

// A statement read beside runs no further ahead of its reader than its room:
// left untaken, it waits once the room is full, and so holds a bounded
// memory whatever it would give. A stop keeps every row it had handed over
// and not yet taken, in the order given.
TEST_F(RecordsetTest, AStatementReadBesideWaitsForItsReaderAndKeepsWhatItGaveAtStop)
{
    // The read is stopped once it waits for its reader, however long the
    // machine takes to get there (bounded only far above).
    const auto waitForFullRoom = [] {
        QElapsedTimer waited;
        waited.start();
        while (BesideRead::waitingForRoom() == 0) {
            if (waited.elapsed() > 120000)
                return false;
            QThread::msleep(5);
        }
        return true;
    };
    {
        Transaction tx(db);
        db.execute(QStringLiteral("DELETE FROM Jobs"));
        for (int n = 1; n <= 400; ++n)
            addJob(n, QStringLiteral("Job"), 1);
        tx.commit();
    }
    // 400 x 400 x 400 rows: A, then B, then C in turn.
    Recordset rs(db);
    rs.openBeside(QStringLiteral("SELECT A.JobNo, B.JobNo AS B, C.JobNo AS C FROM Jobs AS A, Jobs AS B, Jobs AS C"));
    ASSERT_TRUE(rs.isReading());
    ASSERT_TRUE(waitForFullRoom());
    // A batch may join the room as it fills, and one more at the stop.
    constexpr long kMost = BesideRead::kMostWaitingRows + 2 * 2048;
    rs.stopReading();
    EXPECT_EQ(BesideRead::running(), 0);
    const long held = rs.heldCount();
    EXPECT_GE(held, long(BesideRead::kMostWaitingRows)) << "rows handed over were dropped at the stop";
    EXPECT_LE(held, kMost) << "the statement ran ahead of its reader";
    for (long r : {0L, 399L, 400L, held / 2, held - 1}) {
        EXPECT_EQ(rs.valueAt(r, 0).toInt(), int(r / 160000 + 1)) << r;
        EXPECT_EQ(rs.valueAt(r, 1).toInt(), int(r / 400 % 400 + 1)) << r;
        EXPECT_EQ(rs.valueAt(r, 2).toInt(), int(r % 400 + 1)) << r;
    }

    // The room is bounded by bytes too: rows of 4 KiB fill its 16 MiB at
    // 4,096 rows, and a batch (2,048 rows at most) may join as it fills and
    // one more at the stop, far below the 32,768 rows of the row bound.
    // And a statement of 128 x 272 = 34,816 rows (the room and one batch):
    // the room fills somewhere within its last batch, which waits for room
    // once the statement has given its last row; at the stop it is kept, so
    // every row the statement gave is held.
    const struct
    {
        const char *sql;
        long least, most;
    } rooms[] = {
        {"SELECT A.JobNo, Space(4096) AS Pad FROM Jobs AS A, Jobs AS B",
         long(BesideRead::kMostWaitingBytes / 4096), long(BesideRead::kMostWaitingBytes / 4096) + 2 * 2048},
        {"SELECT A.JobNo, B.JobNo AS B FROM Jobs AS A, Jobs AS B WHERE A.JobNo <= 128 AND B.JobNo <= 272", 34816,
         34816},
    };
    for (const auto &room : rooms) {
        SCOPED_TRACE(room.sql);
        Recordset filled(db);
        filled.openBeside(QString::fromLatin1(room.sql));
        ASSERT_TRUE(filled.isReading());
        ASSERT_TRUE(waitForFullRoom());
        filled.stopReading();
        EXPECT_EQ(BesideRead::running(), 0);
        EXPECT_GE(filled.heldCount(), room.least) << "rows handed over were dropped at the stop";
        EXPECT_LE(filled.heldCount(), room.most) << "the statement ran ahead of its reader";
        const long last = filled.heldCount() - 1;
        EXPECT_EQ(filled.valueAt(last, 0).toInt(), room.least == room.most ? 128 : int(last / 400 + 1));
    }

    // Held still, it reads nothing more, even in the middle of a long step;
    // let go, it reads on.
    Recordset rare(db);
    rare.openBeside(QStringLiteral("SELECT A.JobNo, B.JobNo AS B, C.JobNo AS C FROM Jobs AS A, Jobs AS B, Jobs AS C "
                                   "WHERE (A.JobNo * 7 + B.JobNo * 11 + C.JobNo * 13) Mod 9973 = 1"));
    ASSERT_TRUE(rare.isReading());
    QThread::msleep(100);
    rare.pauseReading(true);
    rare.waitForRows(50);
    rare.readMore(1);
    const long before = rare.heldCount();
    QThread::msleep(500);
    rare.readMore(1);
    EXPECT_EQ(rare.heldCount(), before) << "a row came while the read was held";
    rare.pauseReading(false);
    QElapsedTimer waited;
    waited.start();
    while (rare.heldCount() == before && waited.elapsed() < 20000) {
        rare.waitForRows(50);
        rare.readMore(1);
    }
    EXPECT_GT(rare.heldCount(), before) << "the read did not go on";
    rare.stopReading();
    EXPECT_EQ(BesideRead::running(), 0);
}
