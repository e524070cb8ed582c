#include "JobsFixture.h"

#include "data/CJobSet.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "jobs/JobCopy.h"
#include "platform/db/Database.h"

#include <QtCore/QProcess>
#include <QtCore/QRandomGenerator>
#include <QtCore/QThread>

namespace {

class JobCopyTest : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        // No money warning before the orders made here.
        exec(QStringLiteral("UPDATE Customers SET AlertIf = 3 WHERE CusNo = 100"));
    }
    QString dump() const
    {
        QProcess process;
        process.start(QStringLiteral("sqlite3"), {databasePath(), QStringLiteral(".dump")});
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    void sqliteExec(const QString &sql)
    {
        QProcess process;
        process.start(QStringLiteral("sqlite3"), {databasePath(), sql});
        process.waitForFinished(30000);
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }
    // A posted invoice with two items, shipping, tax and a payment.
    qint32 addInvoice(qint32 jobNo, const char *subtotal = "300", const char *paid = "0")
    {
        const qint32 id = addJob(3, jobNo,
                                 QStringLiteral("Title, DateIn, DateShipped, DatePaid, Subtotal, Shipping, Postage, Tax, "
                                                "Paid, Balance, Cost, InvoiceNote"),
                                 QStringLiteral("'Letterhead', #5/1/2024#, #5/3/2024#, #5/20/2024#, %1, 12.5, 3.25, "
                                                "0, %2, %1 + 15.75 + %2, 120, 'Thank you'")
                                     .arg(QString::fromLatin1(subtotal), QString::fromLatin1(paid)));
        addItem(id, 1, QStringLiteral("Letterhead {proof}"), "200");
        addItem(id, 2, QStringLiteral("Envelopes"), "100");
        return id;
    }
    Money col(const QString &column, qint32 jobId)
    {
        return scalar(QStringLiteral("SELECT %1 FROM Jobs WHERE JobID = %2").arg(column).arg(jobId)).toMoney();
    }
};

TEST_F(JobCopyTest, CreditInvoiceCancelsItsInvoiceToTheCent)
{
    const qint32 invoice = addInvoice(1234);
    CJobSet job;
    JobCopy copy(job);
    ASSERT_TRUE(copy.CreditInvoice(invoice, false));
    EXPECT_EQ(copy.m_nCreditJobNo, -1234);
    const qint32 credit = copy.m_nCreditJobId;
    EXPECT_EQ(scalar(QStringLiteral("SELECT JobType FROM Jobs WHERE JobID = %1").arg(credit)).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Creator FROM Jobs WHERE JobID = %1").arg(credit)).toInt(), 'c');
    EXPECT_EQ(scalar(QStringLiteral("SELECT Creator FROM Jobs WHERE JobID = %1").arg(invoice)).toInt(), 'b');
    EXPECT_TRUE(col(QStringLiteral("Balance"), invoice).isZero());
    EXPECT_TRUE(col(QStringLiteral("Balance"), credit).isZero());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Format(DatePaid, 'm/d/yyyy') FROM Jobs WHERE JobID = %1").arg(invoice))
                  .toString(),
              QStringLiteral("6/12/2024"));
    // Every amount of the invoice is reversed: together they come to nothing.
    for (const char *c : {"Subtotal", "Shipping", "Postage", "Tax", "Cost", "Discount"})
        EXPECT_EQ(col(QString::fromLatin1(c), credit), -col(QString::fromLatin1(c), invoice)) << c;
    EXPECT_EQ(scalar(QStringLiteral("SELECT Sum(Price) FROM Items WHERE JobID IN (%1, %2)").arg(invoice).arg(credit))
                  .toMoney(),
              Money());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Sum(ChargeQty) FROM Items WHERE JobID = %1").arg(credit)).toInt(), -2000);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1 AND Up < 0").arg(credit)).toInt(), 2);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT InvoiceNote FROM Jobs WHERE JobID = %1").arg(credit)).toString().isEmpty());

    // Crediting it again is refused, and so is any copy of the credit.
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    CJobSet again;
    JobCopy second(again);
    EXPECT_FALSE(second.CreditInvoice(invoice, false));
    EXPECT_FALSE(second.PasteJob(credit, 0, 0));
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("You may not create a Credit Invoice from a previously credited invoice."),
                           QStringLiteral("You may not create a new job from a Credit Invoice.")}));
}

TEST_F(JobCopyTest, CreditWithRevisedInvoiceAndThePaymentQuestion)
{
    // A plain credit of a paid invoice asks nothing: the payment stays with
    // the invoice the credit cancels (no answer is queued: a question throws).
    const qint32 plain = addInvoice(1299, "300", "-50");
    {
        CJobSet job;
        JobCopy copy(job);
        ASSERT_TRUE(copy.CreditInvoice(plain, false));
        EXPECT_EQ(copy.m_nCreditJobNo, -1299);
        EXPECT_EQ(copy.m_nRevisedJobId, 0);
    }
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();

    const qint32 invoice = addInvoice(1300, "300", "-50");
    const qint32 jobsBefore = scalar(QStringLiteral("SELECT Count(*) FROM Jobs")).toInt();
    const qint32 nextBefore = scalar(QStringLiteral("SELECT Max(JobNo) FROM Jobs WHERE JobType IN (0, 3)")).toInt();
    // With a revised invoice it asks; Yes stops before anything is written.
    prompts().answer(platform::IDYES);
    {
        CJobSet job;
        JobCopy copy(job);
        EXPECT_FALSE(copy.CreditInvoice(invoice, true));
    }
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("This invoice, #1300, has a payment amount of 50.00. \nIf you plan to revise this payment, "
                             "please stop now and fix the payment.\n\nDo you want to stop now?\n\n"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs")).toInt(), jobsBefore);

    prompts().answer(platform::IDNO);
    CJobSet job;
    JobCopy copy(job);
    ASSERT_TRUE(copy.CreditInvoice(invoice, true));
    EXPECT_EQ(copy.m_nCreditJobNo, -1300);
    EXPECT_EQ(copy.m_nRevisedJobNo, nextBefore + 1);
    EXPECT_EQ(job.m_JobID, copy.m_nCreditJobId); // the set ends on the credit
    const qint32 revised = copy.m_nRevisedJobId;
    EXPECT_EQ(scalar(QStringLiteral("SELECT Creator FROM Jobs WHERE JobID = %1").arg(revised)).toInt(), 0);
    EXPECT_EQ(col(QStringLiteral("Subtotal"), revised), money("300"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1").arg(revised)).toInt(), 4);
    EXPECT_EQ(col(QStringLiteral("Paid"), copy.m_nCreditJobId), money("50"));
}

TEST_F(JobCopyTest, PasteRulesTableDriven)
{
    struct Case
    {
        const char *name;
        int sourceType;
        int creator;
        int newType;
        int expectedCreator;
    };
    const Case cases[] = {
        {"quote with portal mark to order", 1, 1, 0, 1},
        {"plain quote to order", 1, 0, 0, 0},
        {"history to order", 3, 1, 0, 0},
        {"portal order to order", 4, 0, 0, 1},
        {"portal quote to quote", 5, 0, 1, 1},
        {"template to quote", 2, 0, 1, 0},
    };
    int n = 0;
    for (const Case &c : cases) {
        const qint32 source = addJob(c.sourceType, 500 + n++,
                                     QStringLiteral("Title, DateIn, DateProof, DateDue, DateReorder, DateShipped, Creator, "
                                                    "Paid, Latefee, Subtotal, InvoiceNote"),
                                     QStringLiteral("'Flyers', #6/1/2024#, #6/3/2024#, #6/5/2024#, #12/1/2024#, #6/6/2024#, "
                                                    "%1, -10, 2, 100, 'Payment $10.00 Cash 6/1/2024\r\nKeep this'")
                                         .arg(c.creator));
        addItem(source, 1, QStringLiteral("Flyer {draft} A5"), "100");
        CJobSet job;
        JobCopy copy(job);
        ASSERT_TRUE(copy.PasteJob(source, c.newType, 0)) << c.name;
        const qint32 id = job.m_JobID;
        EXPECT_EQ(scalar(QStringLiteral("SELECT Creator FROM Jobs WHERE JobID = %1").arg(id)).toInt(),
                  c.expectedCreator)
            << c.name;
        EXPECT_EQ(scalar(QStringLiteral("SELECT FromJobType FROM Jobs WHERE JobID = %1").arg(id)).toInt(), c.sourceType);
        EXPECT_TRUE(col(QStringLiteral("Paid"), id).isZero()) << c.name;
        EXPECT_TRUE(col(QStringLiteral("Latefee"), id).isZero()) << c.name;
        EXPECT_EQ(scalar(QStringLiteral("SELECT InvoiceNote FROM Jobs WHERE JobID = %1").arg(id)).toString(),
                  QStringLiteral("Keep this"))
            << c.name;
        EXPECT_EQ(scalar(QStringLiteral("SELECT Format(DateIn, 'm/d/yyyy') FROM Jobs WHERE JobID = %1").arg(id))
                      .toString(),
                  QStringLiteral("6/12/2024"));
        EXPECT_TRUE(scalar(QStringLiteral("SELECT DateShipped FROM Jobs WHERE JobID = %1").arg(id)).isNull()) << c.name;
        const QString description =
            scalar(QStringLiteral("SELECT Description FROM Items WHERE JobID = %1 AND SerNo = 0").arg(id)).toString();
        EXPECT_EQ(description.contains(QLatin1String("{draft}")), c.newType != 0) << c.name;
        if (c.sourceType == 2) {
            // A template keeps the distances from its date in: +2, +4 and +183 days.
            EXPECT_EQ(scalar(QStringLiteral("SELECT Format(DateProof, 'm/d/yyyy') & ' ' & Format(DateDue, "
                                            "'m/d/yyyy') & ' ' & Format(DateReorder, 'm/d/yyyy') FROM Jobs WHERE "
                                            "JobID = %1")
                                 .arg(id))
                          .toString(),
                      QStringLiteral("6/14/2024 6/16/2024 12/12/2024"));
        }
        if (c.sourceType == 2) {
            // A template's date on its own date in is no distance from it:
            // it stays; one before it stays too; one a day after moves.
            const qint32 onDay = addJob(2, 600 + n, QStringLiteral("Title, DateIn, DateProof, DateDue, DateReorder"),
                                        QStringLiteral("'Flyers', #6/1/2024#, #6/1/2024#, #5/31/2024#, #6/2/2024#"));
            CJobSet kept;
            JobCopy keeps(kept);
            ASSERT_TRUE(keeps.PasteJob(onDay, c.newType, 0)) << c.name;
            EXPECT_EQ(scalar(QStringLiteral("SELECT Format(DateProof, 'm/d/yyyy') & ' ' & Format(DateDue, "
                                            "'m/d/yyyy') & ' ' & Format(DateReorder, 'm/d/yyyy') FROM Jobs WHERE "
                                            "JobID = %1")
                                 .arg(kept.m_JobID))
                          .toString(),
                      QStringLiteral("6/1/2024 5/31/2024 6/13/2024"));
        }
        if (c.sourceType >= 4) {
            const QString title = scalar(QStringLiteral("SELECT Title FROM Jobs WHERE JobID = %1").arg(source)).toString();
            EXPECT_TRUE(title.startsWith(c.newType == 0 ? QStringLiteral("Converted to Order ")
                                                        : QStringLiteral("Converted to Quote ")))
                << title.toStdString();
            EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(source)).toInt(), 4);
        }
    }
}

TEST_F(JobCopyTest, UpdateChoicesAskAndTell)
{
    exec(QStringLiteral("UPDATE Customers SET ShipVia = 1, Terms = 3, POReq = 1 WHERE CusNo = 100"));
    const qint32 quote = addJob(1, 40, QStringLiteral("Title, DateIn, ViaDue, TermsNo, Shipping"),
                                QStringLiteral("'Cards', #6/10/2024#, 0, 0, 9"));
    // Without choices nothing is asked or updated.
    {
        CJobSet job;
        JobCopy copy(job);
        int asked = 0;
        copy.SetUpdateChooser([&](const QString &, int, int) { return ++asked, 0; });
        ASSERT_TRUE(copy.PasteJob(quote, 0, 0));
        EXPECT_EQ(asked, 0);
        EXPECT_EQ(job.m_ViaDue, 0);
        EXPECT_FALSE(copy.ShowChanges());
    }
    // Ship via, terms, no shipping, ask and tell: the user keeps only ship via.
    SaveOptionValue(44323, 0x2 | 0x10 | 0x100 | 0x2000 | 0x4000);
    CJobSet job;
    JobCopy copy(job);
    QString asked;
    copy.SetUpdateChooser([&](const QString &title, int optionId, int mask) {
        asked = title;
        EXPECT_EQ(optionId, 44323);
        EXPECT_EQ(mask & 0x112, 0x112);
        return 0x2;
    });
    ASSERT_TRUE(copy.PasteJob(quote, 0, 0));
    EXPECT_EQ(asked, QStringLiteral("New Order has been created"));
    EXPECT_EQ(job.m_ViaDue, 1);
    EXPECT_EQ(job.m_TermsNo, 0);
    EXPECT_EQ(job.m_Shipping, money("9"));
    ASSERT_TRUE(copy.ShowChanges());
    EXPECT_TRUE(copy.m_strChangesTitle.startsWith(QStringLiteral("Pasted from ")));
    EXPECT_TRUE(copy.m_strChangesTitle.endsWith(QStringLiteral("  (2 days old)")));
    QStringList fields;
    for (const JobCopy::Change &c : copy.m_changes)
        fields << c.field;
    EXPECT_TRUE(fields.contains(QStringLiteral("ViaDue")));
    EXPECT_TRUE(fields.contains(QStringLiteral("JobType")));
    EXPECT_FALSE(fields.contains(QStringLiteral("JobID")));

    // Discount %: a customer of 10 % gives the copy 10 %, 25.00 off 250.00.
    exec(QStringLiteral("UPDATE Customers SET Discount = 10 WHERE CusNo = 100"));
    SaveOptionValue(44323, 0x80);
    const qint32 posters =
        addJob(1, 41, QStringLiteral("Title, DateIn, Subtotal"), QStringLiteral("'Posters', #6/10/2024#, 250"));
    addItem(posters, 1, QStringLiteral("Posters"), "250");
    CJobSet discounted;
    JobCopy priced(discounted);
    ASSERT_TRUE(priced.PasteJob(posters, 0, 0));
    EXPECT_EQ(discounted.m_DiscountRate, 1000);
    EXPECT_EQ(discounted.m_Subtotal, money("250"));
    EXPECT_EQ(discounted.m_Discount, money("-25"));
}

TEST_F(JobCopyTest, LockedPricesAreNotRepriced)
{
    SaveOptionValue(44321, 0x1000);
    const qint32 invoice = addInvoice(77);
    exec(QStringLiteral("UPDATE Items SET Mix = 2 WHERE JobID = %1 AND ItemNo = 1 AND SerNo = 0").arg(invoice));
    prompts().answer(platform::IDOK);
    CJobSet job;
    JobCopy copy(job);
    ASSERT_TRUE(copy.PasteJob(invoice, 0, 0));
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("This job has one or more Items with LOCKED Prices.\n\nTherefore, NO Items of the new job "
                             "will be repriced.\nYou may reprice them in the Job window."));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Sum(Price) FROM Items WHERE JobID = %1 AND SerNo = 0").arg(job.m_JobID))
                  .toMoney(),
              money("300"));
}

TEST_F(JobCopyTest, FailedCopiesLeaveTheFileAsItWas)
{
    const qint32 invoice = addInvoice(900);
    exec(QStringLiteral("INSERT INTO Samples (ItemID, Path) SELECT ItemID, 'C:\\Samples\\a.pdf' FROM Items WHERE "
                        "JobID = %1 AND SerNo = 0 AND ItemNo = 1")
             .arg(invoice));
    SharedDatabase().close();
    // The second item row fails: neither the job, its number nor the first items stay.
    sqliteExec(QStringLiteral("CREATE TRIGGER fail_items BEFORE INSERT ON Items WHEN (SELECT Count(*) FROM Items) >= "
                              "5 BEGIN SELECT RAISE(ABORT, 'forced failure'); END;"));
    const QString before = dump();
    SharedDatabase().open(databasePath());
    // The failure is shown once the copy has rolled back.
    int writesWhileShown = 0;
    writeAtOnceWhileBoxesShow(writesWhileShown);
    for (int kind = 0; kind < 3; ++kind) {
        prompts().answer(platform::IDOK); // the database error
        CJobSet job;
        JobCopy copy(job);
        const bool done = kind == 0 ? copy.PasteJob(invoice, 0, 0) : copy.CreditInvoice(invoice, kind == 2);
        EXPECT_FALSE(done) << kind;
        EXPECT_TRUE(prompts().lastText().contains(QLatin1String("forced failure"))) << prompts().lastText().toStdString();
        job.Close();
    }
    stopWritingWhileBoxesShow();
    EXPECT_EQ(writesWhileShown, 3);
    SharedDatabase().close();
    EXPECT_EQ(dump(), before);
    SharedDatabase().open(databasePath());
}

TEST_F(JobCopyTest, AnotherWorkstationHoldingTheFile)
{
    const qint32 invoice = addInvoice(901);
    const int timeout = platform::Database::busyTimeout();
    platform::Database::setBusyTimeout(100);
    SharedDatabase().close();
    const QString before = dump();
    SharedDatabase().open(databasePath());
    QProcess holder;
    holder.start(QStringLiteral("sqlite3"), {databasePath()});
    ASSERT_TRUE(holder.waitForStarted());
    holder.write("BEGIN IMMEDIATE;\nSELECT 'held';\n");
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    prompts().answer(platform::IDOK); // too busy, try again
    prompts().answer(platform::IDYES); // still busy: again
    prompts().answer(platform::IDNO);  // still busy: give up
    CJobSet job;
    JobCopy copy(job);
    EXPECT_FALSE(copy.PasteJob(invoice, 0, 0));
    EXPECT_EQ(prompts().texts().mid(0, 3),
              (QStringList{QStringLiteral("Database is too busy to paste item!\nClick OK to try again."),
                           QStringLiteral("Still busy!\nTry again?"), QStringLiteral("Still busy!\nTry again?")}));
    holder.write("ROLLBACK;\n.quit\n");
    holder.closeWriteChannel();
    holder.waitForFinished(10000);
    platform::Database::setBusyTimeout(timeout);
    job.Close();
    SharedDatabase().close();
    EXPECT_EQ(dump(), before);
    SharedDatabase().open(databasePath());
}

// An independent model of the credit: every money column and item amount
// negated to the cent, both balances 0.
TEST_F(JobCopyTest, RandomCreditsAgainstAnExactModel)
{
    QRandomGenerator random(20240612);
    for (int round = 0; round < 12; ++round) {
        const qint64 sub = random.bounded(1, 500000); // cents
        const qint64 ship = random.bounded(0, 5000);
        const qint64 post = random.bounded(0, 900);
        const qint64 paid = random.bounded(0, 2) ? -random.bounded(0, 20000) : 0;
        auto cents = [](qint64 c) { return QStringLiteral("%1.%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0')); };
        const qint32 invoice = addJob(3, 2000 + round,
                                      QStringLiteral("Title, Subtotal, Shipping, Postage, Paid, Cost"),
                                      QStringLiteral("'R', %1, %2, %3, %4, %5")
                                          .arg(cents(sub), cents(ship), cents(post),
                                               paid < 0 ? QStringLiteral("-") + cents(-paid) : QStringLiteral("0"),
                                               cents(sub / 3)));
        const qint64 firstItem = random.bounded(0, int(sub) + 1);
        addItem(invoice, 1, QStringLiteral("A"), cents(firstItem).toLatin1().constData());
        addItem(invoice, 2, QStringLiteral("B"), cents(sub - firstItem).toLatin1().constData());
        if (paid != 0)
            prompts().answer(platform::IDNO);
        CJobSet job;
        JobCopy copy(job);
        ASSERT_TRUE(copy.CreditInvoice(invoice, false)) << round;
        const qint32 credit = copy.m_nCreditJobId;
        EXPECT_EQ(col(QStringLiteral("Subtotal"), credit), Money::fromText(QStringLiteral("-") + cents(sub)));
        EXPECT_EQ(col(QStringLiteral("Shipping"), credit), -Money::fromText(cents(ship)));
        EXPECT_EQ(col(QStringLiteral("Postage"), credit), -Money::fromText(cents(post)));
        EXPECT_EQ(col(QStringLiteral("Paid"), credit), Money::fromText(cents(-paid)));
        EXPECT_EQ(col(QStringLiteral("Cost"), credit), -Money::fromText(cents(sub / 3)));
        EXPECT_EQ(col(QStringLiteral("Subtotal"), credit) + col(QStringLiteral("Subtotal"), invoice), Money());
        EXPECT_TRUE(col(QStringLiteral("Balance"), credit).isZero());
        EXPECT_TRUE(col(QStringLiteral("Balance"), invoice).isZero());
        EXPECT_EQ(scalar(QStringLiteral("SELECT Sum(Price) FROM Items WHERE JobID = %1").arg(credit)).toMoney(),
                  Money::fromText(QStringLiteral("-") + cents(2 * sub)));
        job.Close();
    }
}

// Copies against the same kind of model: the money of the source, no payment,
// late fee or write-off, and a balance of exactly what the job comes to.
TEST_F(JobCopyTest, RandomCopiesAgainstAnExactModel)
{
    QRandomGenerator random(61224);
    auto cents = [](qint64 c) {
        return QStringLiteral("%1%2.%3").arg(c < 0 ? QStringLiteral("-") : QString()).arg(qAbs(c) / 100).arg(qAbs(c) % 100, 2, 10, QLatin1Char('0'));
    };
    for (int round = 0; round < 10; ++round) {
        const qint64 sub = random.bounded(1, 300000);
        const qint64 ship = random.bounded(0, 4000);
        const qint64 post = random.bounded(0, 700);
        const qint64 paid = -random.bounded(0, 10000);
        const qint64 fee = random.bounded(0, 500);
        const int sourceType = int(random.bounded(0, 4));
        const int newType = int(random.bounded(0, 3));
        const qint32 source = addJob(sourceType, 3000 + round,
                                     QStringLiteral("Title, DateIn, Subtotal, Shipping, Postage, Paid, Latefee, Writeoff"),
                                     QStringLiteral("'M', #6/1/2024#, %1, %2, %3, %4, %5, -1")
                                         .arg(cents(sub), cents(ship), cents(post), cents(paid), cents(fee)));
        addItem(source, 1, QStringLiteral("A"), cents(sub).toLatin1().constData());
        CJobSet job;
        JobCopy copy(job);
        ASSERT_TRUE(copy.PasteJob(source, newType, 0)) << round;
        const qint32 id = job.m_JobID;
        EXPECT_EQ(col(QStringLiteral("Subtotal"), id), Money::fromText(cents(sub))) << round;
        EXPECT_TRUE(col(QStringLiteral("Paid"), id).isZero());
        EXPECT_TRUE(col(QStringLiteral("Latefee"), id).isZero());
        EXPECT_TRUE(col(QStringLiteral("Writeoff"), id).isZero());
        const Money total = col(QStringLiteral("Subtotal"), id) + col(QStringLiteral("Discount"), id) +
            col(QStringLiteral("Shipping"), id) + col(QStringLiteral("Postage"), id) + col(QStringLiteral("Tax"), id);
        EXPECT_EQ(total, Money::fromText(cents(sub + ship + post))) << round;
        EXPECT_EQ(col(QStringLiteral("Balance"), id), total) << round;
        // The source keeps its money.
        EXPECT_EQ(col(QStringLiteral("Paid"), source), Money::fromText(cents(paid)));
        job.Close();
    }
}

TEST_F(JobCopyTest, PaymentLinesLeaveTheNote)
{
    struct Case
    {
        const char *note;
        const char *expected;
    };
    const Case cases[] = {
        {"", ""},
        {"Thanks", "Thanks"},
        {"Payment $10.00 Cash 6/1/2024\r\n", ""},
        {"A\r\nPayment $1.00 x\r\nB\r\nPayment $2.00 y", "A\r\nB\r\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(JobCopy::RemovePaymentLines(QString::fromLatin1(c.note)), QString::fromLatin1(c.expected)) << c.note;
}

} // namespace

#include "support/ToolRun.h"

namespace {

TEST_F(JobCopyTest, DbToolCopiesCreditsAndAppliesCredit)
{
    const qint32 quote = addJob(1, 60, QStringLiteral("Title, DateIn, Subtotal, Balance"),
                                QStringLiteral("'Cards', #6/10/2024#, 40, 40"));
    addItem(quote, 1, QStringLiteral("Cards"), "40");
    const qint32 invoice = addInvoice(1400);
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 50 WHERE CusNo = 100"));
    SharedDatabase().close();
    const ToolRun copy = RunDbTool({QStringLiteral("job"), databasePath(), QStringLiteral("copy"),
                                    QString::number(quote), QStringLiteral("0"), QStringLiteral("--today"),
                                    QStringLiteral("7/1/2024")});
    ASSERT_EQ(copy.exitCode, 0) << copy.err.toStdString();
    EXPECT_TRUE(copy.out.contains(QStringLiteral("JobNo 1401"))) << copy.out.toStdString();
    const ToolRun credit = RunDbTool({QStringLiteral("job"), databasePath(), QStringLiteral("credit"),
                                      QString::number(invoice), QStringLiteral("--revised")});
    ASSERT_EQ(credit.exitCode, 0) << credit.err.toStdString();
    EXPECT_TRUE(credit.out.contains(QStringLiteral("JobNo -1400\n"))) << credit.out.toStdString();
    EXPECT_TRUE(credit.out.contains(QStringLiteral("RevisedJobNo 1402\n"))) << credit.out.toStdString();
    const ToolRun again = RunDbTool({QStringLiteral("job"), databasePath(), QStringLiteral("credit"),
                                     QString::number(invoice)});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("previously credited invoice"))) << again.err.toStdString();
    const QString newOrder = copy.out.section(QLatin1Char('\n'), 0, 0).section(QLatin1Char(' '), 1);
    // The amount is read as the credit window reads it: whole cents within
    // the largest amount (12.345 was applied as 12.35 and stored as 12.345, a
    // half-cent balance); a refusal names the amount and applies nothing.
    const struct
    {
        const char *typed;
        const char *error;
    } refused[] = {
        {"12.345", "AMOUNT \"12.345\": Please enter an amount with at most 2 decimals.\n"},
        {"0.005", "AMOUNT \"0.005\": Please enter an amount with at most 2 decimals.\n"},
        {"100000000000.01",
         "AMOUNT \"100000000000.01\": Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00.\n"},
        {"12.5abc", "AMOUNT \"12.5abc\": Please enter a currency.\n"},
    };
    for (const auto &row : refused) {
        const ToolRun r = RunDbTool({QStringLiteral("job"), databasePath(), QStringLiteral("apply-credit"), newOrder,
                                     QLatin1String(row.typed)});
        EXPECT_EQ(r.exitCode, 2) << row.typed;
        EXPECT_EQ(r.err, QLatin1String(row.error));
        EXPECT_EQ(r.out, QString());
    }
    const ToolRun apply = RunDbTool({QStringLiteral("job"), databasePath(), QStringLiteral("apply-credit"), newOrder,
                                     QStringLiteral("100")});
    ASSERT_EQ(apply.exitCode, 0) << apply.err.toStdString();
    EXPECT_TRUE(apply.out.contains(QStringLiteral("Applied 40.00\nBalance 0.00"))) << apply.out.toStdString();
    SharedDatabase().open(databasePath());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Format(DateIn, 'm/d/yyyy') FROM Jobs WHERE JobID = %1").arg(newOrder))
                  .toString(),
              QStringLiteral("7/1/2024"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")).toMoney(), money("10"));
}

} // namespace
