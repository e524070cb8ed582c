// The copier-paper note of "Service Departments" (2202) on a shop of its
// own: the discount spread over the paper price, items without paper left
// out, a job without subtotal keeping its paper price; and the lists of jobs
// edited after posting with their "Posted vs Now" change row.

#include "support/ShopTest.h"

#include "controls/CXTable.h"
#include "platform/Clock.h"
#include "reports/CReportRun.h"
#include "platform/db/Recordset.h"
#include "reports/ReportLists.h"

namespace {

const QString kYear = QStringLiteral(" between #01/01/2010# and #12/31/2010# ");

class CopierNoteTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2010, 12, 31), QTime(9, 0)));
        exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName) VALUES (302, 3, 'Copier')"));
        exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName) VALUES (150, 1, 'Copy Paper')"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SaleDept) VALUES (9302, 302, 'Copier', 1)"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SaleDept) VALUES (9150, 150, 'Bond 20#', 1)"));
        exec(QStringLiteral("INSERT INTO PostingJournal (PostingDate, Invoices, Subtotal, Discount, Shipping, Postage, Tax, "
                            "Latefee, Paid, Writeoff, Balance, QSales) VALUES (#03/01/2010#, 4, 400, -25, 0, 0, 0, 0, 0, 0, "
                            "375, 0)"));
        m_posting = sqlite(QStringLiteral("SELECT max(PostingNo) FROM PostingJournal")).toInt();
    }
    void TearDown() override
    {
        platform::Clock::reset();
        ShopTest::TearDown();
    }
    // A posted invoice with one copier item; paper < 0 gives it no paper line.
    void addCopierJob(int jobNo, const QString &subtotal, const QString &discount, const QString &paperPrice,
                      const QString &paperCost)
    {
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Title, Status, PostingNo, Subtotal, Discount, "
                            "Balance) VALUES (3, %1, 1, 'Copies', 1, %2, %3, %4, 0)")
                 .arg(jobNo)
                 .arg(m_posting)
                 .arg(subtotal, discount));
        const int jobId = sqlite(QStringLiteral("SELECT max(JobID) FROM Jobs")).toInt();
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Side1, Side2, Price, Cost) VALUES (%1, 9302, "
                            "1, 0, 1, 0, 0, 0)")
                 .arg(jobId));
        if (!paperPrice.isEmpty())
            exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Side1, Side2, Price, Cost) VALUES (%1, "
                                "9150, 1, 1, 0, 0, %2, %3)")
                     .arg(jobId)
                     .arg(paperPrice, paperCost));
    }
    QString note()
    {
        CXTable table;
        CReportRun run(SharedDatabase(), table);
        run.thisPeriod = kYear;
        run.lastPeriod = QStringLiteral(" between #01/01/2009# and #12/31/2009#");
        return run.GetCopierPaperNote();
    }
    int m_posting = 0;
};

} // namespace

TEST_F(CopierNoteTest, PaperOfCopierItemsWithTheJobsDiscountSpreadOverIt)
{
    EXPECT_EQ(note(), QString()); // no copier items yet
    addCopierJob(7001, QStringLiteral("200"), QStringLiteral("-20"), QStringLiteral("50"), QStringLiteral("30"));
    addCopierJob(7002, QStringLiteral("100"), QStringLiteral("0"), QStringLiteral("20"), QStringLiteral("8"));
    // No subtotal to spread the discount over: the paper keeps its price.
    addCopierJob(7003, QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("10"), QStringLiteral("4"));
    addCopierJob(7004, QStringLiteral("80"), QStringLiteral("-8"), QString(), QString()); // no paper line
    // 50 - 50 x 20 / 200 = 45, 20 and 10: 75 against a cost of 42.
    EXPECT_EQ(note(), QStringLiteral("NOTE: 'Paper Department' sales include all papers entered in 'Printing Specs' window. "
                                     "Part of these paper sales was for 'Copy' jobs.\nYou have used copiers in 'Printing "
                                     "Specs' window for 3 Item(s)  Cost of papers used with these copiers: 42.00    "
                                     "Discounted Price: 75.00   Margin: 33.00"));
    // Ten-thousandths truncate toward zero: 33.3333 x -1 / 3 = -11.1111.
    addCopierJob(7005, QStringLiteral("3"), QStringLiteral("-1"), QStringLiteral("33.3333"), QStringLiteral("1000"));
    EXPECT_TRUE(note().endsWith(QStringLiteral("for 4 Item(s)  Cost of papers used with these copiers: 1,042.00    "
                                               "Discounted Price: 97.22   Margin: -944.78")))
        << note().toStdString();
}

TEST_F(CopierNoteTest, JobsEditedAfterPostingAndTheChangeRow)
{
    addCopierJob(7001, QStringLiteral("200"), QStringLiteral("-20"), QStringLiteral("50"), QStringLiteral("30"));
    // Changed on the posting day (not listed) and two days later (listed).
    for (const char *day : {"03/01/2010", "03/03/2010"})
        exec(QStringLiteral("INSERT INTO AuditTrail (TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, "
                            "Latefee, Paid, Writeoff, Balance, JobType, PropID) VALUES (#%1#, 7001, 15, 0, 0, 0, 0, 0, 0, "
                            "0, 15, 3, 0)")
                 .arg(QLatin1String(day)));
    const QString filter = QStringLiteral(" (PostingJournal.PostingDate") + kYear + QStringLiteral(") ");
    platform::Database &db = SharedDatabase();
    auto rows = [&db](const QString &sql) {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, sql);
        QStringList out;
        for (; !rs.isEOF(); rs.moveNext())
            out << rs.value(1).toString() + QLatin1Char('|') + rs.value(4).toString();
        return out;
    };
    EXPECT_EQ(rows(ChangedJobsSql(1, filter)).size(), 1);
    EXPECT_EQ(rows(ChangedJobsSql(2, filter)).size(), 1);  // Subtotal changed
    EXPECT_EQ(rows(ChangedJobsSql(3, filter)).size(), 0);  // Discount did not
    EXPECT_EQ(rows(ChangedJobsSql(11, filter)).size(), 1); // one month
    EXPECT_EQ(rows(ChangedJobsSql(12, filter)).size(), 2); // as posted and now

    struct Case
    {
        QStringList posted, now, change;
    };
    const Case cases[] = {
        {{"As Posted", "4", "400.00", "-25.00", "1,375.00"},
         {"Now", "5", "415.50", "-25.00", "1,390.25"},
         {"Change (Now - Posted)", "1", "15.50", "", "15.25"}},
        {{"As Posted", "4", "400.00"}, {"Now", "4", "400.00"}, {"Change (Now - Posted)", "", ""}},
        {{"As Posted", "1,200", "", "10.00"}, {"Now", "1,190", "5.00", ""}, {"Change (Now - Posted)", "-10", "5.00", "-10.00"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ChangeRowTexts(c.posted, c.now), c.change) << c.now.join(QLatin1Char(',')).toStdString();

    QString first, second;
    ASSERT_TRUE(PostingHeaderTexts(db, m_posting, first, second));
    EXPECT_EQ(first, QStringLiteral("Posting No %1").arg(m_posting));
    EXPECT_EQ(second, QStringLiteral("4 Orders and 0 QuickSales"));
    EXPECT_FALSE(PostingHeaderTexts(db, m_posting + 100, first, second));
}

TEST_F(CopierNoteTest, ServiceDepartmentsCarriesTheNote)
{
    addCopierJob(7001, QStringLiteral("200"), QStringLiteral("-20"), QStringLiteral("50"), QStringLiteral("30"));
    CXTable table;
    CReportRun run(SharedDatabase(), table);
    run.code = 2202;
    run.branchText = QStringLiteral("Profitability");
    run.entryText = QStringLiteral("Service Departments");
    run.thisPeriod = kYear;
    run.lastPeriod = QStringLiteral(" between #01/01/2009# and #12/31/2009#");
    run.filter = QStringLiteral(" (PostingJournal.PostingDate") + kYear + QStringLiteral(") ");
    EXPECT_TRUE(run.Run());
    EXPECT_EQ(run.note(), run.GetCopierPaperNote());
    EXPECT_TRUE(run.note().contains(QStringLiteral("for 1 Item(s)")));
    run.thisPeriod = QStringLiteral(" between #01/01/2011# and #12/31/2011# ");
    EXPECT_TRUE(run.Run());
    EXPECT_TRUE(run.note().isEmpty());
}
