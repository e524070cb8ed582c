#include "DbFixture.h"

#include "platform/db/DbException.h"
#include "platform/db/ReadScope.h"
#include "platform/db/WriteScope.h"

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace platform;

namespace {

class ReadScopeTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        makeJobsTable();
        addJob(100, QStringLiteral("First"), 1);
    }

    int jobs() { return scalar(QStringLiteral("SELECT count(*) FROM Jobs")).toInt(); }
    // Rows another connection sees (what is on the file).
    int jobsOnFile()
    {
        sqlite3 *other = nullptr;
        sqlite3_open_v2(dbPath().toUtf8().constData(), &other, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_busy_timeout(other, 2000);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(other, "SELECT count(*) FROM Jobs", -1, &st, nullptr);
        const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
        sqlite3_finalize(st);
        sqlite3_close(other);
        return n;
    }
    bool inTransaction() const { return !sqlite3_get_autocommit(db.handle()); }
};

} // namespace

TEST_F(ReadScopeTest, WritesInsideARunOfReadsAreSavedOnTheirOwn)
{
    {
        ReadScope reading(db);
        EXPECT_TRUE(inTransaction());
        EXPECT_EQ(jobs(), 1);

        // A write scope: saved at its commit, while the reads go on.
        {
            WriteScope write(db.handle(), dbPath());
            addJob(101, QStringLiteral("Second"), 2);
            write.commit();
        }
        EXPECT_TRUE(inTransaction());
        EXPECT_EQ(jobsOnFile(), 2);

        // One that is not committed leaves nothing.
        {
            WriteScope write(db.handle(), dbPath());
            addJob(102, QStringLiteral("Dropped"), 3);
        }
        EXPECT_EQ(jobsOnFile(), 2);

        // The program's own transactions, nested, and one rolled back.
        db.beginTrans();
        addJob(103, QStringLiteral("Third"), 4);
        db.beginTrans();
        addJob(104, QStringLiteral("Inner"), 5);
        db.rollback();
        db.commitTrans();
        EXPECT_EQ(db.transactionDepth(), 0);
        EXPECT_TRUE(inTransaction());
        EXPECT_EQ(jobsOnFile(), 3);
        db.beginTrans();
        addJob(105, QStringLiteral("Undone"), 6);
        db.rollback();
        EXPECT_EQ(jobsOnFile(), 3);

        // A nested run of reads adds nothing and ends nothing.
        {
            ReadScope inner(db);
            EXPECT_EQ(jobs(), 3);
        }
        EXPECT_TRUE(inTransaction());
    }
    EXPECT_FALSE(inTransaction());
    EXPECT_EQ(jobs(), 3);

    // Inside the program's own transaction a run of reads changes nothing.
    {
        Transaction tx(db);
        {
            ReadScope reading(db);
            addJob(106, QStringLiteral("Fourth"), 7);
        }
        EXPECT_TRUE(inTransaction());
        EXPECT_EQ(jobsOnFile(), 3);
        tx.commit();
    }
    EXPECT_EQ(jobsOnFile(), 4);
}

// A workstation that is saving holds the write lock and waits for readers to
// let go before it can finish. A write inside a run of reads must not wait
// for the write lock while still holding its read lock (each would wait for
// the other, and SQLite refuses one at once): it lets go of the read first,
// waits its turn, and saves.
TEST_F(ReadScopeTest, AWriteInsideReadsWaitsForAnotherWorkstationsSave)
{
    ReadScope reading(db);
    EXPECT_EQ(jobs(), 1); // the read lock is held from here

    std::atomic<bool> holding{false};
    std::atomic<int> otherResult{-1};
    const QByteArray path = dbPath().toUtf8();
    std::thread other([&] {
        sqlite3 *c = nullptr;
        sqlite3_open_v2(path.constData(), &c, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(c, 5000);
        sqlite3_exec(c, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_exec(c, "INSERT INTO Jobs (JobNo, Name) VALUES (900, 'Other')", nullptr, nullptr, nullptr);
        holding = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        otherResult = sqlite3_exec(c, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(c);
    });
    while (!holding)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    int error = 0;
    try {
        WriteScope write(db.handle(), dbPath());
        addJob(101, QStringLiteral("Ours"), 2);
        write.commit();
    } catch (const DbException &e) {
        error = e.number();
    }
    other.join();
    EXPECT_EQ(error, 0);
    EXPECT_EQ(otherResult.load(), SQLITE_OK);
    EXPECT_EQ(jobsOnFile(), 3);
}
