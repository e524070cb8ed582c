#include "DbFixture.h"
#include "ErrorOf.h"

#include <QtCore/QThread>

#include <sqlite3.h>

#include <functional>

using namespace platform;

namespace {

// Restores the page timeout a test changed.
class PageTimeout
{
public:
    explicit PageTimeout(int ms) : m_was(Recordset::pageTimeout()) { Recordset::setPageTimeout(ms); }
    ~PageTimeout() { Recordset::setPageTimeout(m_was); }
    void set(int ms) { Recordset::setPageTimeout(ms); }

private:
    int m_was;
};

} // namespace

class KeyedRowsTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        makeJobsTable();
    }
    // Jobs 0 to count - 1, each named "Job <its number>".
    void addNumberedJobs(int count)
    {
        db.beginTrans();
        for (int i = 0; i < count; ++i)
            addJob(i, QStringLiteral("Job %1").arg(i), i);
        db.commitTrans();
    }
    // Walks forward to a job's row (the set is in job number order).
    static void walkTo(Recordset &rs, int jobNo)
    {
        while (rs.value(0).toInt() < jobNo)
            rs.moveNext();
    }
};

// A table with more columns than an SQL function may be given (a price
// table's row) is read row by row, with the same values.
TEST_F(KeyedRowsTest, ATableWiderThanAFunctionMayTakeReadsItsRows)
{
    QStringList columns;
    for (int c = 1; c <= 130; ++c)
        columns << QStringLiteral("C%1 INTEGER").arg(c);
    db.executeNative(QStringLiteral("CREATE TABLE Wide (ID INTEGER PRIMARY KEY AUTOINCREMENT, %1)")
                         .arg(columns.join(QStringLiteral(", "))));
    db.executeNative(QStringLiteral("INSERT INTO Wide (C1, C130) VALUES (1, 130), (2, 260)"));
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT * FROM Wide"));
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.value(1).toInt(), 1);
    EXPECT_EQ(rs.value(130).toInt(), 130);
    rs.moveNext();
    EXPECT_EQ(rs.value(130).toInt(), 260);
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());
}

// A dynaset makes the usual cells into values itself; whatever way a value
// was stored (by this program or another), it must read exactly as a
// snapshot of the same rows reads it.
TEST_F(KeyedRowsTest, DynasetValuesAreTheSnapshotsWhateverTheStorage)
{
    const QStringList rows = {
        // JobNo, Name, Note, Price, DateIn, Rush
        QStringLiteral("1, 'Cards', NULL, 0.1 + 0.2, 40618.5, 1"),
        QStringLiteral("2, 'Flyers', 'Call first', 1.23455, 40618, 0"),
        QStringLiteral("3, 123, X'4142', -1.23455, '2011-03-15', -1"),
        QStringLiteral("4, NULL, '', 12, NULL, NULL"),
        QStringLiteral("5.7, 'x', 'y', 'not money', 'not a date', 'yes'"),
        QStringLiteral("5000000000, '', NULL, 922337203685.4775, 2958465.99999, 2"),
        QStringLiteral("-7, 'Ünïcödé ✓', 'Ω', -0.00005, -1.5, 0.5"),
        QStringLiteral("'abc', 4.5, 7, 0.00015, 1e300, -3"),
    };
    for (const QString &r : rows)
        db.executeNative(QStringLiteral("INSERT INTO Jobs (JobNo, Name, Note, Price, DateIn, Rush) VALUES (%1)").arg(r));
    // Halves and near-halves of the smallest unit, either sign, large and small.
    db.beginTrans();
    for (int i = -60; i <= 60; ++i) {
        for (const double base : {0.0, 1.0, 12345.0, 987654321.0}) {
            const double price = (base + i / 20000.0) * (i % 2 ? -1 : 1);
            db.executeNative(QStringLiteral("INSERT INTO Jobs (JobNo, Price, DateIn) VALUES (%1, %2, %3)")
                                 .arg(1000 + i)
                                 .arg(price, 0, 'g', 17)
                                 .arg(40000 + i / 7.0, 0, 'g', 17));
        }
    }
    db.commitTrans();

    const QString sql = QStringLiteral("SELECT JobID, JobNo, Name, Note, Price, DateIn, Rush FROM Jobs ORDER BY JobID");
    Recordset dynaset(db);
    dynaset.open(Recordset::Type::Dynaset, sql);
    ASSERT_TRUE(dynaset.canUpdate());
    Recordset snapshot(db);
    snapshot.open(Recordset::Type::Snapshot, sql);
    int n = 0;
    for (; !snapshot.isEOF(); snapshot.moveNext(), dynaset.moveNext(), ++n) {
        ASSERT_FALSE(dynaset.isEOF());
        for (int c = 0; c < snapshot.fieldCount(); ++c) {
            const Value want = snapshot.value(c);
            const Value got = dynaset.value(c);
            SCOPED_TRACE(QStringLiteral("row %1 field %2: %3").arg(n).arg(snapshot.fieldName(c), want.toString()).toStdString());
            EXPECT_EQ(got.type(), want.type());
            EXPECT_EQ(got.isNull(), want.isNull());
            EXPECT_TRUE(got == want);
            EXPECT_EQ(got.toString(), want.toString());
        }
    }
    EXPECT_TRUE(dynaset.isEOF());
    EXPECT_EQ(n, rows.size() + 121 * 4);
}

// Walking forward, the pages after the current one are read along with it.
// Those rows count as read when they were read: within the page timeout they
// show as read, after it they are read again, and a row another workstation
// deleted reads as deleted. This connection's own writes are always seen.
TEST_F(KeyedRowsTest, PagesReadAheadFollowThePageTimeout)
{
    PageTimeout timeout(60000);
    addNumberedJobs(3000);
    Database other;
    other.open(dbPath());

    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Name FROM Jobs ORDER BY JobNo"));
    const auto walkTo = [&](int jobNo) {
        KeyedRowsTest::walkTo(rs, jobNo);
        ASSERT_EQ(rs.value(0).toInt(), jobNo);
    };
    walkTo(600); // the second page: the pages after it come with it

    other.execute(QStringLiteral("UPDATE Jobs SET Name = 'Changed' WHERE JobNo IN (1500, 1600)"));
    other.execute(QStringLiteral("DELETE FROM Jobs WHERE JobNo = 1800"));
    walkTo(1500);
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Job 1500")); // as read, within the timeout

    // This connection's own change is seen at once.
    db.execute(QStringLiteral("UPDATE Jobs SET Name = 'Mine' WHERE JobNo = 1550"));
    walkTo(1550);
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Mine"));
    walkTo(1600);
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Changed")); // its page was read again for it

    other.execute(QStringLiteral("UPDATE Jobs SET Name = 'Later' WHERE JobNo = 1700"));
    timeout.set(0);
    QThread::msleep(20);
    walkTo(1700);
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Later"));
    walkTo(1799);
    rs.moveNext(); // the deleted row, still in the set
    EXPECT_EQ(errorOf([&] { rs.value(0); }), 3167);
    rs.moveNext();
    EXPECT_EQ(rs.value(0).toInt(), 1801);

    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 3000);
    EXPECT_EQ(rs.value(0).toInt(), 2999);
    // Back to the start: the first page is read again.
    rs.moveFirst();
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Job 0"));
}

// An update after a forward walk checks against the row as it was shown,
// even when its page was read ahead of the walk.
TEST_F(KeyedRowsTest, RowsReadAheadAreCheckedAsShownOnUpdate)
{
    PageTimeout timeout(60000);
    addNumberedJobs(2000);
    Database other;
    other.open(dbPath());

    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Name, Price FROM Jobs ORDER BY JobNo"));
    walkTo(rs, 520);
    other.execute(QStringLiteral("UPDATE Jobs SET Name = 'Theirs' WHERE JobNo = 1200"));
    walkTo(rs, 1200);
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Job 1200"));
    rs.edit();
    rs.setValue(2, Value(Money::fromWhole(5)));
    EXPECT_EQ(errorOf([&] { rs.update(); }), 3197);
    rs.cancelUpdate();
}

// A page read again keeps its texts in the room the last reading left: texts
// grown far past what the page held before, and shrunk again, read exactly,
// each row its own, on the page read with it and on the pages read ahead.
TEST_F(KeyedRowsTest, PagesReadAgainHoldTheirTextsWhateverTheirLength)
{
    PageTimeout timeout(0);
    db.beginTrans();
    for (int i = 0; i < 1200; ++i)
        db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Name, Note) VALUES (?, 'J', ?)"),
                   {Value(i), Value(QStringLiteral("n%1").arg(i), FieldType::Memo)});
    db.commitTrans();
    Database other;
    other.open(dbPath());
    const auto longNote = [](int jobNo) { return QStringLiteral("note %1 ").arg(jobNo).repeated(40); };

    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Note, Name FROM Jobs ORDER BY JobNo"));
    const auto walk = [&](const std::function<QString(int)> &note) {
        rs.moveFirst();
        for (int i = 0; i < 1200; ++i, rs.moveNext()) {
            ASSERT_EQ(rs.value(0).toInt(), i);
            ASSERT_EQ(rs.value(1).toString(), note(i)) << "job " << i;
            ASSERT_EQ(rs.value(2).toString(), QStringLiteral("J"));
        }
        EXPECT_TRUE(rs.isEOF());
    };
    walk([](int i) { return QStringLiteral("n%1").arg(i); });

    other.executeNative(QStringLiteral("UPDATE Jobs SET Note = 'note ' || JobNo || ' '"));
    other.executeNative(QStringLiteral("UPDATE Jobs SET Note = Note || Note || Note || Note || Note || Note || Note || Note"));
    other.executeNative(QStringLiteral("UPDATE Jobs SET Note = Note || Note || Note || Note || Note"));
    QThread::msleep(5);
    walk(longNote);

    other.executeNative(QStringLiteral("UPDATE Jobs SET Note = 'x' || JobNo"));
    QThread::msleep(5);
    walk([](int i) { return QStringLiteral("x%1").arg(i); });
}

// The key list is taken in the statement's own order, TOP and filter
// included, however far that order lies from the order the rows were added
// in: names run against the job numbers here, so the set walks its rows
// backwards, across the page boundary at the 513th row.
TEST_F(KeyedRowsTest, KeysFollowTheStatementsOrderTopAndFilter)
{
    db.beginTrans();
    for (int i = 0; i < 600; ++i)
        addJob(i, QStringLiteral("N%1").arg(599 - i, 3, 10, QLatin1Char('0')), i);
    db.commitTrans();

    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT TOP 520 JobNo, Name FROM Jobs WHERE JobNo >= 50 ORDER BY Name"));
    ASSERT_TRUE(rs.canUpdate());
    // Jobs 599 down to 80: names N000 up to N519.
    for (int row = 0; row < 520; ++row, rs.moveNext()) {
        ASSERT_FALSE(rs.isEOF());
        ASSERT_EQ(rs.value(0).toInt(), 599 - row) << "row " << row;
        ASSERT_EQ(rs.value(1).toString(), QStringLiteral("N%1").arg(row, 3, 10, QLatin1Char('0')));
    }
    EXPECT_TRUE(rs.isEOF());
    EXPECT_EQ(rs.recordCount(), 520);
}

// A page that could not be read because another workstation held the file
// is not taken as read: the next visit reads it, with what was saved meanwhile.
TEST_F(KeyedRowsTest, APageLockedOutIsReadAtTheNextVisit)
{
    addNumberedJobs(3000);
    Database other;
    other.open(dbPath());

    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT JobNo, Name FROM Jobs ORDER BY JobNo"));
    // The first page is read alone, the next four with the second: the last
    // row read is the 2560th.
    walkTo(rs, 2559);
    sqlite3_busy_timeout(db.handle(), 0);
    ASSERT_EQ(sqlite3_exec(other.handle(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    rs.moveNext();
    EXPECT_EQ(errorOf([&] { rs.value(0); }), 3260);
    ASSERT_EQ(sqlite3_exec(other.handle(), "UPDATE Jobs SET Name = 'Theirs' WHERE JobNo = 2560; COMMIT", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(rs.value(0).toInt(), 2560);
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Theirs"));
    rs.moveNext();
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Job 2561"));
    rs.moveLast();
    EXPECT_EQ(rs.recordCount(), 3000);
    EXPECT_EQ(rs.value(1).toString(), QStringLiteral("Job 2999"));
}
