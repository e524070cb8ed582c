#include "JobsFixture.h"

#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "jobs/JobCreditUse.h"

#include <QtCore/QProcess>

namespace {

class JobCreditUseTest : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        // 50.00 of credit, as its Credits row says.
        exec(QStringLiteral("UPDATE Customers SET CreditDue = 50 WHERE CusNo = 100"));
        exec(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (100, 0, 50, "
                            "#6/1/2024#, 254)"));
        m_order = addJob(0, 1500, QStringLiteral("Title, Subtotal, Balance"), QStringLiteral("'Cards', 30, 30"));
    }
    Money creditDue() { return scalar(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")).toMoney(); }
    Money creditsSum() { return scalar(QStringLiteral("SELECT Sum(Amount) FROM Credits WHERE CusNo = 100")).toMoney(); }
    QString dump() const
    {
        QProcess process;
        process.start(QStringLiteral("sqlite3"), {databasePath(), QStringLiteral(".dump")});
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    qint32 m_order = 0;
};

TEST_F(JobCreditUseTest, FortyTypedOnABalanceOfThirty)
{
    EXPECT_EQ(MostCreditToUse(money("30"), money("50")), money("30"));
    EXPECT_EQ(CreditEntryPrompt(money("30")),
              QStringLiteral("Enter an amount greater than 0 and less than or equal to 30.00"));
    setJobWindowSettings(QStringLiteral("0,0,0,0,0,0,0,0,0,0,1,"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(m_order, true));
    const Money applied = ApplyCreditToJob(job, money("40"), true, [&] { return job.SaveRecord(); });
    EXPECT_EQ(applied, money("30"));
    EXPECT_EQ(creditDue(), money("20"));
    EXPECT_EQ(creditDue(), creditsSum());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Amount & '|' & ReasonID & '|' & JobNo FROM Credits WHERE ReasonID = 252"))
                  .toString(),
              QStringLiteral("-30|252|1500"));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT Balance FROM Jobs WHERE JobID = %1").arg(m_order)).toMoney().isZero());
    EXPECT_EQ(scalar(QStringLiteral("SELECT InvoiceNote FROM Jobs WHERE JobID = %1").arg(m_order)).toString(),
              QStringLiteral("Payment $30.00 Credit Used 06/12/2024\r\n"));
}

TEST_F(JobCreditUseTest, CutsAndRefusals)
{
    struct Case
    {
        const char *typed;
        const char *stored;
        const char *applied;
        const char *deposit = "0"; // already paid on the order of 30.00
    };
    // Another workstation may have used part of the credit meanwhile. With a
    // deposit the order owes less than its total, and the credit is cut to
    // what it owes.
    const Case cases[] = {{"10", "50", "10"},        {"25", "5", "5"},         {"0", "50", "0"},
                          {"-5", "50", "0"},         {"10", "0", "0"},         {"25", "50", "18", "12"},
                          {"17.99", "50", "17.99", "12"}, {"25", "7.5", "7.5", "12"}, {"5", "50", "0", "30"}};
    for (const Case &c : cases) {
        exec(QStringLiteral("UPDATE Customers SET CreditDue = %1 WHERE CusNo = 100").arg(QString::fromLatin1(c.stored)));
        const Money owed = money("30") - money(c.deposit);
        exec(QStringLiteral("UPDATE Jobs SET Paid = -%1, Balance = %2 WHERE JobID = %3")
                 .arg(QString::fromLatin1(c.deposit), owed.toPlainText())
                 .arg(m_order));
        CJobSet job;
        ASSERT_TRUE(job.FindById(m_order, true));
        const Money before = creditDue();
        const Money applied = ApplyCreditToJob(job, money(c.typed), false, [&] { return job.SaveRecord(); });
        EXPECT_EQ(applied, money(c.applied)) << c.typed << " of " << c.stored << " after " << c.deposit;
        EXPECT_EQ(creditDue(), before - applied) << c.typed;
        EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Jobs WHERE JobID = %1").arg(m_order)).toMoney(),
                  owed - applied);
    }
}

TEST_F(JobCreditUseTest, AFailedSaveWritesNothing)
{
    SharedDatabase().close();
    QProcess process;
    process.start(QStringLiteral("sqlite3"),
                  {databasePath(), QStringLiteral("CREATE TRIGGER fail_credits BEFORE INSERT ON Credits BEGIN SELECT "
                                                  "RAISE(ABORT, 'forced failure'); END;")});
    process.waitForFinished(30000);
    const QString before = dump();
    SharedDatabase().open(databasePath());
    prompts().answer(platform::IDOK);
    {
        CJobSet job;
        ASSERT_TRUE(job.FindById(m_order, true));
        EXPECT_TRUE(ApplyCreditToJob(job, money("20"), true, [&] { return job.SaveRecord(); }).isZero());
        EXPECT_EQ(job.m_Balance, money("30"));
        EXPECT_TRUE(job.m_Paid.isZero());
    }
    EXPECT_TRUE(prompts().lastText().contains(QLatin1String("forced failure")));
    SharedDatabase().close();
    EXPECT_EQ(dump(), before);
    SharedDatabase().open(databasePath());
}

} // namespace
