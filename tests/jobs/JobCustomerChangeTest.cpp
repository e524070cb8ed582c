#include "JobsFixture.h"

#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "jobs/JobCustomerChange.h"

#include <QtCore/QProcess>

namespace {

class JobCustomerChangeTest : public JobsTest
{
protected:
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
    qint32 walkInJob(qint32 shipto, qint32 buyer)
    {
        if (scalar(QStringLiteral("SELECT Count(*) FROM Customers WHERE CusNo = 31")).toInt() == 0)
            exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (31, 'Walk-in Customer ***', 0)"));
        exec(QStringLiteral("INSERT INTO Shipto (ShiptoNo, CusNo, Company, Address, City, State, Zip, Type) VALUES (9, "
                            "31, 'Lee''s Bakery', '5 Oak St', 'Dover', 'DE', '19901', 0)"));
        exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Type) VALUES (12, 31, 'Kim', "
                            "'Lee', '555-0199', 0)"));
        return addJob(0, 4100, QStringLiteral("Title, CusNo, ShiptoNo, BuyerNo, TaxNo, TermsNo, ViaDue, Location, "
                                              "SRepNo, Subtotal, Balance"),
                      QStringLiteral("'Cakes', 31, %1, %2, 2, 3, 1, 4, 8, 80, 80").arg(shipto).arg(buyer));
    }
};

TEST_F(JobCustomerChangeTest, WalkInWithShiptoAndBuyer)
{
    const qint32 id = walkInJob(9, 12);
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    const qint32 cusNo = ConvertWalkInCustomer(job);
    ASSERT_GT(cusNo, 100);
    EXPECT_EQ(scalar(QStringLiteral("SELECT CusNo & '|' & ShiptoNo & '|' & Subtotal FROM Jobs WHERE JobID = %1").arg(id))
                  .toString(),
              QStringLiteral("%1|0|80").arg(cusNo));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Shipto WHERE ShiptoNo = 9")).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT CusNo FROM Contacts WHERE ContactNo = 12")).toInt(), cusNo);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name & '|' & Address & '|' & Zip & '|' & BuyerNo & '|' & Tax & '|' & "
                                    "Terms & '|' & ShipVia & '|' & Location & '|' & SRepNo FROM Customers WHERE CusNo "
                                    "= %1")
                         .arg(cusNo))
                  .toString(),
              QStringLiteral("Lee's Bakery|5 Oak St|19901|12|2|3|1|4|8"));
}

TEST_F(JobCustomerChangeTest, WalkInWithoutAddressKeepsASharedShipto)
{
    const qint32 id = walkInJob(0, 0);
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    const qint32 cusNo = ConvertWalkInCustomer(job);
    ASSERT_GT(cusNo, 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = %1").arg(cusNo)).toString(),
              QStringLiteral("< new >"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Tax FROM Customers WHERE CusNo = %1").arg(cusNo)).toInt(), 2);

    // An address that another job names stays.
    const qint32 second = addJob(1, 77, QStringLiteral("Title, CusNo, ShiptoNo"), QStringLiteral("'x', 31, 9"));
    const qint32 third = addJob(0, 4101, QStringLiteral("Title, CusNo, ShiptoNo"), QStringLiteral("'y', 31, 9"));
    Q_UNUSED(second);
    CJobSet other;
    ASSERT_TRUE(other.FindById(third, true));
    ASSERT_GT(ConvertWalkInCustomer(other), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Shipto WHERE ShiptoNo = 9")).toInt(), 1);
}

TEST_F(JobCustomerChangeTest, FailedConversionLeavesTheFileAsItWas)
{
    const qint32 id = walkInJob(9, 12);
    SharedDatabase().close();
    sqliteExec(QStringLiteral("CREATE TRIGGER fail_shipto BEFORE DELETE ON Shipto BEGIN SELECT RAISE(ABORT, 'forced "
                              "failure'); END;"));
    const QString before = dump();
    SharedDatabase().open(databasePath());
    prompts().answer(platform::IDOK);
    {
        CJobSet job;
        ASSERT_TRUE(job.FindById(id, true));
        EXPECT_EQ(ConvertWalkInCustomer(job), 0);
        EXPECT_EQ(job.m_CusNo, 31);
        EXPECT_EQ(job.m_ShiptoNo, 9);
    }
    EXPECT_TRUE(prompts().lastText().contains(QLatin1String("forced failure")));
    SharedDatabase().close();
    EXPECT_EQ(dump(), before);
    SharedDatabase().open(databasePath());
}

TEST_F(JobCustomerChangeTest, AssignReusesOrCopiesBuyerAndAddress)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus, ShipVia, Terms, POReq) VALUES (200, 'Zen "
                        "Co', 0, 1, 2, 1)"));
    // The new customer has a Dana Reyes already, but not the address.
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (30, 200, 'Dana', 'Reyes', "
                        "0)"));
    const qint32 id = addJob(0, 4200, QStringLiteral("Title, CusNo, ShiptoNo, BuyerNo, Subtotal"),
                             QStringLiteral("'Signs', 100, 4, 7, 50"));
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, true));
    QString report;
    ASSERT_TRUE(AssignJobToCustomer(job, 200, AssignShipVia | AssignTerms, report));
    EXPECT_TRUE(report.startsWith(QStringLiteral("The job is assigned to Zen Co\n\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("- Added the shipto address to the customer's shipto list.\n")));
    EXPECT_FALSE(report.contains(QStringLiteral("buyer")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT CusNo & '|' & BuyerNo & '|' & ViaDue & '|' & TermsNo & '|' & PO FROM Jobs "
                                    "WHERE JobID = %1")
                         .arg(id))
                  .toString(),
              QStringLiteral("200|30|1|2|?"));
    const qint32 shipto = scalar(QStringLiteral("SELECT ShiptoNo FROM Jobs WHERE JobID = %1").arg(id)).toInt();
    EXPECT_EQ(scalar(QStringLiteral("SELECT CusNo & '|' & Address FROM Shipto WHERE ShiptoNo = %1").arg(shipto)).toString(),
              QStringLiteral("200|40 Dock St"));
}

TEST_F(JobCustomerChangeTest, NamesWithWildcardsAndQuotesMatchLiterally)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (201, 'Other', 0)"));
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (40, 201, 'Pat', 'OXBrien', "
                        "0)"));
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (41, 100, 'Pat', "
                        "'O''Brien', 0)"));
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (42, 100, '*', '?', 0)"));
    struct Case
    {
        qint32 buyer;
        bool copied;
    };
    // "O'Brien" is no wildcard for OXBrien, nor "*" and "?" for anything.
    const Case cases[] = {{41, true}, {42, true}};
    int n = 0;
    for (const Case &c : cases) {
        const qint32 id = addJob(0, 4300 + n++, QStringLiteral("Title, CusNo, BuyerNo"),
                                 QStringLiteral("'t', 100, %1").arg(c.buyer));
        CJobSet job;
        ASSERT_TRUE(job.FindById(id, true));
        QString report;
        ASSERT_TRUE(AssignJobToCustomer(job, 201, 0, report));
        EXPECT_EQ(report.contains(QStringLiteral("Added the buyer")), c.copied) << c.buyer;
        EXPECT_NE(scalar(QStringLiteral("SELECT BuyerNo FROM Jobs WHERE JobID = %1").arg(id)).toInt(), 40);
    }
}

} // namespace
