#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CJobSet.h"
#include "jobs/CFindDlg.h"
#include "jobs/CJobDlg.h"
#include "jobs/FindInstall.h"
#include "jobs/JobHooks.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"

#include <QtCore/QObject>
#include <QtWidgets/QLineEdit>

namespace {

class JobWindowCustomer : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        InstallFindDialogs();
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
    }
    void TearDown() override
    {
        GetJobHooks() = JobHooks();
        RemoveFindDialogs();
        JobsTest::TearDown();
    }
    int run(qint32 jobId, std::function<int(CJobDlg &)> handler)
    {
        job = std::make_unique<CJobSet>();
        EXPECT_TRUE(job->FindById(jobId, true));
        CJobDlg window(job.get(), false, nullptr, nullptr);
        window.SetResultReceiver(&receiver);
        onDialog<CJobDlg>(handler);
        return window.DoModal();
    }
    static int choose(CDlgOptions &o, int code)
    {
        o.m_nSelect = {code, 0, 0};
        o.tree()->SetOptionChecked(code, true);
        o.SendCommand(1);
        return o.result();
    }
    std::unique_ptr<CJobSet> job;
    QObject receiver;
};

TEST_F(JobWindowCustomer, AssignToAnExistingCustomerReportsAndReopens)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus, ShipVia, Location, SRepNo, Discount, Tax) "
                        "VALUES (200, 'Zen Co', 0, 1, 3, 5, 10, 2)"));
    const qint32 id = addJob(0, 1700, QStringLiteral("Title, ShiptoNo, BuyerNo, Subtotal, Balance, Location, SRepNo"),
                             QStringLiteral("'Posters', 4, 7, 100, 100, 1, 2"));
    addItem(id, 1, QStringLiteral("Posters"), "100");
    const int result = run(id, [&](CJobDlg &d) {
        onDialog<CDlgOptions>([](CDlgOptions &o) {
            EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("About this customer"));
            EXPECT_EQ(o.GetEntryText(2), QStringLiteral("Assign this job to a new customer..."));
            return choose(o, 1);
        });
        // The picker starts with the find dialog; one customer found is taken at once.
        onDialog<CFindDlg>([](CFindDlg &find) {
            EXPECT_EQ(find.m_strKind, QStringLiteral("Customers"));
            find.value1Edit()->setText(QStringLiteral("Zen"));
            find.OnValueChanged();
            find.SendCommand(1);
            return find.result();
        });
        onDialog<CDlgOptions>([](CDlgOptions &o) {
            EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Assign this job to: Zen Co"));
            // Eight boxes, each with its whole text; the user ticks what the boxes say.
            EXPECT_EQ(o.GetEntryText(1),
                      QStringLiteral("Buyer (if the 'Ordered by' above is correct, do not check this)"));
            EXPECT_EQ(o.GetEntryText(8), QStringLiteral("Sales Tax (may change the job total and balance)"));
            EXPECT_EQ(o.GetEntryText(9), QString());
            for (int code = 1; code <= 8; ++code) {
                const QString text = o.GetEntryText(code);
                if (text == QLatin1String("Ship Via") || text == QLatin1String("Location"))
                    o.tree()->SetOptionChecked(unsigned(code), true);
            }
            o.SendCommand(1);
            return o.result();
        });
        prompts().answer(platform::IDOK);
        d.SendCommand(30407);
        return d.result();
    });
    EXPECT_EQ(result, 30103);
    EXPECT_TRUE(prompts().texts().contains(
              QStringLiteral("The job is assigned to Zen Co\n\n- Added the buyer to the customer's contact list.\n- "
                             "Added the shipto address to the customer's shipto list.\n\nJob will be closed and "
                             "re-opened now.")));
    // Exactly the ticked settings: the sales rep, discount and tax stay the job's.
    EXPECT_EQ(scalar(QStringLiteral("SELECT CusNo & '|' & ViaDue & '|' & Location & '|' & SRepNo & '|' & TaxNo "
                                    "FROM Jobs WHERE JobID = %1")
                         .arg(id))
                  .toString(),
              QStringLiteral("200|1|3|2|0"));
}

TEST_F(JobWindowCustomer, WalkInBuyerBecomesACustomer)
{
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (60, 31, 'Ann', 'Lane', 0)"));
    const qint32 id = addJob(0, 1702, QStringLiteral("Title, CusNo, ShiptoNo, BuyerNo, TaxNo"),
                             QStringLiteral("'Flyers', 31, 0, 60, 2"));
    qint32 opened = 0;
    app->setCustomerOpener([&](long cusNo) { opened = qint32(cusNo); });
    run(id, [&](CJobDlg &d) {
        onDialog<CDlgOptions>([](CDlgOptions &o) {
            EXPECT_EQ(o.GetEntryText(2), QStringLiteral("Convert this customer to a Regular customer..."));
            return choose(o, 2);
        });
        prompts().answer(platform::IDNO); // not now: nothing changes
        d.SendCommand(30407);
        EXPECT_EQ(d.job()->m_CusNo, 31);
        onDialog<CDlgOptions>([](CDlgOptions &o) { return choose(o, 2); });
        prompts().answer(platform::IDYES);
        d.SendCommand(30407);
        EXPECT_TRUE(prompts().texts().last().endsWith(
            QStringLiteral("Convert this walk-in customer to a regular customer?")));
        d.SendCommand(2);
        return d.result();
    });
    EXPECT_GT(opened, 100);
    EXPECT_EQ(scalar(QStringLiteral("SELECT CusNo FROM Jobs WHERE JobID = %1").arg(id)).toInt(), opened);
    EXPECT_EQ(scalar(QStringLiteral("SELECT CusNo FROM Contacts WHERE ContactNo = 60")).toInt(), opened);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Tax FROM Customers WHERE CusNo = %1").arg(opened)).toInt(), 2);
}

TEST_F(JobWindowCustomer, StatusChoiceAndReadyToPostHint)
{
    const qint32 id = addJob(0, 1701, QStringLiteral("Title, Subtotal, Balance"), QStringLiteral("'Posters', 10, 10"));
    addItem(id, 1, QStringLiteral("Posters"), "10");
    run(id, [&](CJobDlg &d) {
        onDialog<CDlgOptions>([](CDlgOptions &o) {
            EXPECT_EQ(o.m_strStripText,
                      QStringLiteral("To set status as 'Ready to Post', please print Invoice and set Date Shipped."));
            EXPECT_EQ(o.GetEntryText(2), QStringLiteral("On Hold"));
            return choose(o, 2);
        });
        d.SendCommand(30526);
        onDialog<CDlgOptions>([](CDlgOptions &o) { return choose(o, 4); });
        prompts().answer(platform::IDOK);
        d.SendCommand(30526);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("To set status as 'Ready to Post', please print Invoice and set Date Shipped."));
        d.SendCommand(2);
        return d.result();
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(id)).toInt(), 1);
}

} // namespace
