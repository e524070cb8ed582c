#include "JobTablesFixture.h"

#include "support/DiskSyncCount.h"
#include "data/CJobSet.h"
#include "platform/db/Database.h"

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

namespace {

// --- Locks -------------------------------------------------------------------

TEST_F(JobTablesTest, LockedJobIsRefusedOrTakenOverAfterTheQuestion)
{
    // Opened again over a file system that counts the waits for the disk: a
    // lock taken or given back waits for none, a job row still does.
    DiskSyncCount syncs;
    db().close();
    db().open(databasePath());
    const qint32 id = addJob(0, 1234);
    EXPECT_GT(syncs.take(), 0);
    CJobSet first;
    ASSERT_TRUE(first.FindById(id));
    EXPECT_FALSE(first.IsLocked());
    EXPECT_TRUE(first.Lock(true));
    EXPECT_EQ(syncs.take(), 0);
    EXPECT_TRUE(first.IsLocked());
    EXPECT_EQ(scalar(QStringLiteral("SELECT OptionSum FROM Options WHERE OptionID = %1").arg(-id)).toInt(), 1234);

    CJobSet second;
    ASSERT_TRUE(second.FindById(id));
    prompts().answer(IDNO);
    EXPECT_FALSE(second.Lock(true));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Job 1234 is in use and locked!\nDo you want to unlock it?"));
    EXPECT_EQ(prompts().shown().last().flags, unsigned(platform::MB_YESNO | platform::MB_ICONQUESTION));
    prompts().answer(IDYES);
    EXPECT_TRUE(second.Lock(true)); // taken over; the row stays
    EXPECT_TRUE(second.IsLocked());

    EXPECT_TRUE(second.Lock(false));
    EXPECT_EQ(syncs.take(), 0);
    EXPECT_FALSE(first.IsLocked());
    EXPECT_TRUE(first.Lock(false)); // unlocking an unlocked job succeeds

    // After them a saved job waits for the disk again; a lock taken inside
    // the caller's transaction is saved with it, as durably.
    exec(QStringLiteral("UPDATE Jobs SET Title = 'Saved' WHERE JobID = %1").arg(id));
    EXPECT_GT(syncs.take(), 0);
    {
        platform::Transaction saving(db());
        EXPECT_TRUE(first.Lock(true));
        exec(QStringLiteral("UPDATE Jobs SET Title = 'Locked and saved' WHERE JobID = %1").arg(id));
        saving.commit();
    }
    EXPECT_GT(syncs.take(), 0);
    EXPECT_TRUE(first.IsLocked());
    EXPECT_TRUE(first.Lock(false));
    EXPECT_EQ(syncs.take(), 0);
    exec(QStringLiteral("UPDATE Jobs SET Title = 'Saved again' WHERE JobID = %1").arg(id));
    EXPECT_GT(syncs.take(), 0);
}

// --- Job numbers -------------------------------------------------------------

TEST_F(JobTablesTest, JobNumbersComeFromTheCounters)
{
    CJobSet job;
    job.m_JobType = CJobSet::Order;
    ASSERT_TRUE(job.NewJobNo(0));
    EXPECT_EQ(job.m_JobNo, 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM JobTypes WHERE JobType = 10")).toString(), QStringLiteral("1"));
    ASSERT_TRUE(job.NewJobNo(0));
    EXPECT_EQ(job.m_JobNo, 2);
    job.m_JobType = CJobSet::History; // posted invoices share the orders' series
    ASSERT_TRUE(job.NewJobNo(0));
    EXPECT_EQ(job.m_JobNo, 3);
    job.m_JobType = CJobSet::Quote;
    ASSERT_TRUE(job.NewJobNo(0));
    EXPECT_EQ(job.m_JobNo, 1);

    // The caller's number is recorded as the last one given.
    job.m_JobType = CJobSet::Order;
    job.m_JobNo = 499;
    ASSERT_TRUE(job.NewJobNo(499));
    EXPECT_EQ(job.m_JobNo, 499);
    ASSERT_TRUE(job.NewJobNo(0));
    EXPECT_EQ(job.m_JobNo, 500);

    // Also a series without a counter yet records the caller's number.
    job.m_JobType = CJobSet::Template;
    job.m_JobNo = 70;
    ASSERT_TRUE(job.NewJobNo(70));
    EXPECT_EQ(job.m_JobNo, 70);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM JobTypes WHERE JobType = 12")).toString(), QStringLiteral("70"));
    job.m_JobType = CJobSet::Order;

    // -1 resynchronises from the jobs, even below the counter.
    addJob(0, 40);
    addJob(3, 41);
    ASSERT_TRUE(job.NewJobNo(-1));
    EXPECT_EQ(job.m_JobNo, 42);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM JobTypes WHERE JobType = 10")).toString(), QStringLiteral("42"));

    // At the top of the Long range: 2147483646 + 1 is the last number; after
    // it none is given, from the counter or from the jobs, and nothing wraps.
    const QString noneLeft =
        QStringLiteral("No new number can be given: 2147483647, the largest number there may be, is taken.");
    exec(QStringLiteral("UPDATE JobTypes SET Name = '2147483646' WHERE JobType = 10"));
    ASSERT_TRUE(job.NewJobNo(0));
    EXPECT_EQ(job.m_JobNo, 2147483647);
    addJob(0, 2147483647);
    prompts().answer(IDOK);
    EXPECT_FALSE(job.NewJobNo(0));
    EXPECT_EQ(job.m_JobNo, 2147483647);
    EXPECT_EQ(prompts().lastText(), noneLeft);
    prompts().answer(IDOK);
    EXPECT_FALSE(job.NewJobNo(-1));
    EXPECT_EQ(prompts().lastText(), noneLeft);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM JobTypes WHERE JobType = 10")).toString(),
              QStringLiteral("2147483647"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobNo < 0")).toInt(), 0);
}

TEST_F(JobTablesTest, UnreadableCounterResynchronisesInsteadOfRestartingAtOne)
{
    addJob(0, 1200);
    exec(QStringLiteral("INSERT INTO JobTypes (JobType, Name) VALUES (10, 'x12')"));
    CJobSet job;
    job.m_JobType = CJobSet::Order;
    ASSERT_TRUE(job.NewJobNo(0));
    EXPECT_EQ(job.m_JobNo, 1201);
    exec(QStringLiteral("UPDATE JobTypes SET Name = '' WHERE JobType = 10"));
    ASSERT_TRUE(job.NewJobNo(0));
    EXPECT_EQ(job.m_JobNo, 1201);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM JobTypes WHERE JobType = 10")).toString(),
              QStringLiteral("1201"));
}

// --- Deletion and the audit trail ------------------------------------------------

const QString kAuditSums = QStringLiteral(
    "SELECT JobNo, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance, JobType "
    "FROM AuditTrail ORDER BY TransNo");

TEST_F(JobTablesTest, PaidInvoiceIsDeletedOnlyAfterAYear)
{
    const QString amounts = QStringLiteral("DateShipped, Subtotal, Shipping, Tax, Paid, Balance");
    const qint32 young = addJob(3, 77, amounts, QStringLiteral("#6/16/2023#, 100, 5, 8, -50, 63"));
    const qint32 old = addJob(3, 78, amounts, QStringLiteral("#6/15/2023#, 100, 5, 8, -50, 63"));
    addItem(old, 0, 1);
    addItem(old, 25, 1);

    CJobSet view;
    EXPECT_EQ(view.DeleteJob(young), CJobSet::DeleteRefused);
    EXPECT_EQ(view.m_InvoiceNote, QStringLiteral("Invoice 77 is less than 366 days old and has a payment\n"));
    EXPECT_EQ(count(QStringLiteral("Jobs"), QStringLiteral("JobID = %1").arg(young)), 1);
    EXPECT_EQ(count(QStringLiteral("AuditTrail"), QStringLiteral("True")), 0);

    EXPECT_EQ(view.DeleteJob(old), CJobSet::Deleted);
    EXPECT_EQ(count(QStringLiteral("Jobs"), QStringLiteral("JobID = %1").arg(old)), 0);
    EXPECT_EQ(count(QStringLiteral("Items"), QStringLiteral("JobID = %1").arg(old)), 0);
    platform::Recordset audit(db());
    audit.open(platform::Recordset::Type::Snapshot, kAuditSums);
    ASSERT_FALSE(audit.isEOF());
    EXPECT_EQ(audit.value(0).toInt(), -78);
    EXPECT_EQ(audit.value(1).toMoney(), money("-100"));
    EXPECT_EQ(audit.value(3).toMoney(), money("-5"));
    EXPECT_EQ(audit.value(5).toMoney(), money("-8"));
    EXPECT_EQ(audit.value(7).toMoney(), money("50"));
    EXPECT_EQ(audit.value(9).toMoney(), money("-63"));
    EXPECT_EQ(audit.value(10).toInt(), 3);

    EXPECT_EQ(view.DeleteJob(old), CJobSet::DeleteRefused);
    EXPECT_EQ(view.m_InvoiceNote, QStringLiteral("Cannot find JobID %1\n").arg(old));
    const qint32 order = addJob(0, 79, QStringLiteral("Paid"), QStringLiteral("-1"));
    EXPECT_FALSE(view.CanDeleteJob(order));
    EXPECT_EQ(view.m_InvoiceNote, QStringLiteral("Order 79 has a payment\n"));
}

TEST_F(JobTablesTest, DeletingACreditOrderUnmarksTheCreditedInvoice)
{
    const qint32 invoice = addJob(3, 300, QStringLiteral("Creator, Subtotal, Balance, DateShipped"),
                                  QStringLiteral("98, 120, 0, #1/5/2024#"));
    const qint32 credit = addJob(0, -300, QStringLiteral("Creator, FromJobType, FromJobNo, Subtotal"),
                                 QStringLiteral("99, 3, 300, -120"));
    CJobSet view;
    EXPECT_EQ(view.DeleteJob(credit), CJobSet::Deleted);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Creator FROM Jobs WHERE JobID = %1").arg(invoice)).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Jobs WHERE JobID = %1").arg(invoice)).toMoney(),
              money("120"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT JobNo FROM AuditTrail")).toInt(), -300);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Subtotal FROM AuditTrail")).toMoney(), money("120"));
}

TEST_F(JobTablesTest, FailedDeletionChangesNothingAndTellsTheUser)
{
    const qint32 invoice = addJob(3, 400, QStringLiteral("Creator, Subtotal, DateShipped"),
                                  QStringLiteral("98, 60, #1/5/2024#"));
    const qint32 credit = addJob(0, -400, QStringLiteral("Creator, FromJobType, FromJobNo, Subtotal"),
                                 QStringLiteral("99, 3, 400, -60"));
    addItem(credit, 0, 1);
    addItem(credit, 25, 1);
    db().executeNative(QStringLiteral("CREATE TRIGGER KeepJobs BEFORE DELETE ON Jobs "
                                      "BEGIN SELECT RAISE(ABORT, 'the job is kept'); END"));

    prompts().answer(IDOK);
    CJobSet view;
    EXPECT_EQ(view.DeleteJob(credit), CJobSet::DeleteFailed);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot delete Order -400")))
        << prompts().lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("Jobs"), QStringLiteral("JobID = %1").arg(credit)), 1);
    EXPECT_EQ(count(QStringLiteral("Items"), QStringLiteral("JobID = %1").arg(credit)), 2);
    EXPECT_EQ(count(QStringLiteral("AuditTrail"), QStringLiteral("True")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Creator FROM Jobs WHERE JobID = %1").arg(invoice)).toInt(), 98);

    // The same deletion goes through once the database lets it.
    db().executeNative(QStringLiteral("DROP TRIGGER KeepJobs"));
    EXPECT_EQ(view.DeleteJob(credit), CJobSet::Deleted);
    EXPECT_EQ(count(QStringLiteral("AuditTrail"), QStringLiteral("True")), 1);
}

TEST_F(JobTablesTest, AuditTrailRecordsOnlyMoneyChangesOfPostedInvoices)
{
    const qint32 id = addJob(3, 500, QStringLiteral("Subtotal, Paid, Balance"), QStringLiteral("100, -30, 70"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    job.m_Title = QStringLiteral("Renamed");
    job.WriteAuditTrail();
    EXPECT_EQ(count(QStringLiteral("AuditTrail"), QStringLiteral("True")), 0);

    job.m_Paid = money("-10");
    job.m_Balance = money("90");
    job.WriteAuditTrail();
    ASSERT_TRUE(job.SafeUpdate(QStringLiteral("Jobs")));
    platform::Recordset audit(db());
    audit.open(platform::Recordset::Type::Snapshot, kAuditSums);
    ASSERT_FALSE(audit.isEOF());
    EXPECT_EQ(audit.value(0).toInt(), 500);
    EXPECT_EQ(audit.value(1).toMoney(), Money());
    EXPECT_EQ(audit.value(7).toMoney(), money("20"));
    EXPECT_EQ(audit.value(9).toMoney(), money("20"));
    EXPECT_EQ(audit.value(10).toInt(), 3);
    audit.moveNext();
    EXPECT_TRUE(audit.isEOF());
}

} // namespace
