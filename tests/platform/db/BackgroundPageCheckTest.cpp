#include "DbFixture.h"
#include "ErrorOf.h"

#include "platform/db/BackgroundPageCheck.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QThread>

#include <atomic>

using namespace platform;

namespace {

using Outcome = BackgroundPageCheck::Outcome;

// A file of 4,000 pages (16 MB): its check takes long enough to be caught
// reading. Writes wait for no lock: one that had to wait fails with 3260.
class BackgroundPageCheckTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        makeJobsTable();
        addJob(100, QStringLiteral("Cards"), 12.5);
        padFile(4000);
        m_busy = Database::busyTimeout();
        Database::setBusyTimeout(0);
        db.close();
        db.open(dbPath());
    }
    void TearDown() override
    {
        Database::setBusyTimeout(m_busy);
        DbTest::TearDown();
    }
    // Waits (at most a minute) until the check holds its read lock or ended.
    static void waitUntilReading(const BackgroundPageCheck &check)
    {
        QElapsedTimer clock;
        clock.start();
        while (!check.reading() && check.outcome() == Outcome::Running && clock.elapsed() < 60000)
            QThread::msleep(1);
    }
    static void waitUntilEnded(const BackgroundPageCheck &check)
    {
        QElapsedTimer clock;
        clock.start();
        while (check.outcome() == Outcome::Running && clock.elapsed() < 60000)
            QThread::msleep(1);
    }

private:
    int m_busy = 0;
};

} // namespace

TEST_F(BackgroundPageCheckTest, ASoundFileIsCheckedWholeAndWritesGoFirst)
{
    std::atomic<int> ended{0};
    BackgroundPageCheck check(db, [&] { ++ended; });
    EXPECT_EQ(check.outcome(), Outcome::NotStarted);
    check.start();
    waitUntilEnded(check);
    EXPECT_EQ(check.outcome(), Outcome::Sound);
    EXPECT_TRUE(check.finding().isEmpty());
    EXPECT_EQ(ended.load(), 1);

    // This workstation's write while the check reads: the check ends first,
    // so the write neither waits nor fails.
    check.start();
    waitUntilReading(check);
    ASSERT_TRUE(check.reading());
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("UPDATE Jobs SET Name = 'Letterheads' WHERE JobNo = 100")); }), 0);
    EXPECT_FALSE(check.reading());
    EXPECT_EQ(check.outcome(), Outcome::GaveWay);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 100")).toString(), QStringLiteral("Letterheads"));
    EXPECT_EQ(ended.load(), 2);
    // Begun again, it checks the file from the start.
    check.start();
    waitUntilEnded(check);
    EXPECT_EQ(check.outcome(), Outcome::Sound);
}

TEST_F(BackgroundPageCheckTest, ClosingTheDatabaseEndsTheCheck)
{
    BackgroundPageCheck check(db, {});
    check.start();
    waitUntilReading(check);
    ASSERT_TRUE(check.reading());
    db.close();
    // The check's thread has ended and its connection let the file go: the
    // file opens for this workstation alone at once.
    EXPECT_EQ(check.outcome(), Outcome::GaveWay);
    EXPECT_FALSE(check.reading());
    EXPECT_FALSE(check.follows(db));
    EXPECT_EQ(errorOf([&] { db.open(dbPath(), true); }), 0);
    EXPECT_FALSE(check.follows(db)); // another opening
}
