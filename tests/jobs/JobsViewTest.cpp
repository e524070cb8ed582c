#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CJobSet.h"
#include "jobs/CJobDlg.h"
#include "jobs/CJobNew.h"
#include "jobs/CViewJobs.h"
#include "jobs/JobCreation.h"
#include "jobs/JobHooks.h"
#include "views/CDlgOptions.h"
#include "views/CDlgGrid.h"

#include <QtCore/QProcess>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

namespace {

class JobsView : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
    }
    void TearDown() override
    {
        view.reset();
        GetJobHooks() = JobHooks();
        JobsTest::TearDown();
    }
    CViewJobs &makeView()
    {
        view = std::make_unique<CViewJobs>();
        view->resize(1100, 700);
        view->OnInitialUpdate();
        return *view;
    }
    void select(qint32 jobId) { ASSERT_GE(view->list()->FindItemByData(jobId, true), 0); }
    QString peerLock(qint32 jobId)
    {
        QProcess peer;
        peer.setProgram(QStringLiteral(TAVREL_JOB_PEER));
        peer.setArguments({databasePath(), QStringLiteral("lock"), QString::number(jobId)});
        peer.start();
        EXPECT_TRUE(peer.waitForFinished(60000));
        return QString::fromUtf8(peer.readAllStandardOutput()).trimmed();
    }
    QString sqlite(const QString &command)
    {
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"), {databasePath(), command});
        EXPECT_TRUE(shell.waitForFinished(60000));
        return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
    }

    std::unique_ptr<CViewJobs> view;
};

} // namespace

TEST_F(JobsView, ListsByJobTypeWithTheWebOrderNotice)
{
    const qint32 order = addJob(0, 4001);
    addJob(1, 4002);
    addJob(4, 4003);
    addJob(4, 4004);
    addJob(5, 4005);
    addJob(4, 4006, QStringLiteral("Status"), QStringLiteral("1"));
    CViewJobs &v = makeView();
    EXPECT_EQ(v.chosenCode(), 1);
    EXPECT_EQ(v.list()->GetItemCount(), 1);
    EXPECT_EQ(v.list()->GetItemData(0), order);
    for (int code : {100, 200, 300, 400, 500, 105, 314, 506})
        EXPECT_NE(v.tree()->FindItemByData(quint32(code)), nullptr) << code;
    EXPECT_EQ(CViewJobs::WebOrderNoticeText(), QStringLiteral("2 PellOrder 1 PellQuote "));
    EXPECT_EQ(v.listBar()->GetItemText(30211), QStringLiteral("2 PellOrder 1 PellQuote "));
    v.OnCommand(30211);
    EXPECT_EQ(v.chosenCode(), 402);
    EXPECT_EQ(v.list()->GetItemCount(), 2);
    snapshot(v, QStringLiteral("jobs-view"));

    EXPECT_TRUE(v.ShowOneJob(order));
    EXPECT_EQ(v.listCaption(), QStringLiteral(" Order 4001"));
    EXPECT_EQ(v.list()->GetItemCount(), 1);
    EXPECT_FALSE(v.ShowOneJob(999999));
}

TEST_F(JobsView, TheFilterBoxShowsTheConditionOfTheListShown)
{
    addJob(0, 4001);
    CViewJobs &v = makeView();
    // The late orders: no filter of the user's, the list's own condition.
    v.SelectTreeCode(8);
    ASSERT_EQ(v.chosenCode(), 8);
    prompts().answer(platform::IDOK);
    v.OnCommand(30062);
    const QString shown = prompts().lastText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("FILTER:\n\n"))) << qPrintable(shown);
    EXPECT_TRUE(shown.contains(QStringLiteral("Jobs.JobType = 0"))) << qPrintable(shown);
    EXPECT_TRUE(shown.contains(QStringLiteral("Jobs.Status < 3"))) << qPrintable(shown);
    EXPECT_TRUE(shown.contains(QStringLiteral("Jobs.DateDue"))) << qPrintable(shown);
    EXPECT_FALSE(shown.contains(QLatin1Char('#'))) << qPrintable(shown);
}

TEST_F(JobsView, PriorityTexts)
{
    const std::pair<int, const char *> cases[] = {{0, "Normal"},           {1, "Bid"},
                                                  {2, "Rush"},             {3, "Special"},
                                                  {8, "1% up-charge"},     {10, "3% up-charge"},
                                                  {107, "100% up-charge"}, {108, "-1% down-charge"},
                                                  {110, "-3% down-charge"}};
    for (const auto &[level, text] : cases)
        EXPECT_EQ(CViewJobs::PriorityText(level), QString::fromLatin1(text)) << level;
}

TEST_F(JobsView, OpeningAsksTheRightOfTheTypeExceptForHistory)
{
    usePasswords();
    exec(QStringLiteral("UPDATE Passwords SET [Level] = 3 WHERE [No] >= 21 and [No] <= 24"));
    const qint32 history = addJob(3, 4101);
    const qint32 quote = addJob(1, 4102);
    CViewJobs &v = makeView();
    v.SelectTreeCode(301);
    select(history);
    onDialog<CJobDlg>([](CJobDlg &d) {
        d.SendCommand(2);
        return d.result();
    });
    v.OnCommand(30103);
    EXPECT_EQ(passwordsAsked, 0);
    EXPECT_EQ(prompts().pendingAnswers(), 0);

    v.SelectTreeCode(101);
    select(quote);
    onDialog<CJobDlg>([](CJobDlg &d) {
        d.SendCommand(2);
        return d.result();
    });
    v.OnCommand(30103);
    EXPECT_EQ(passwordsAsked, 1);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(JobsView, AJobOpenHereIsRefusedElsewhereAndFreeAfterwards)
{
    const qint32 id = addJob(0, 4201);
    CViewJobs &v = makeView();
    select(id);
    onDialog<CJobDlg>([&](CJobDlg &d) {
        EXPECT_EQ(peerLock(id), QStringLiteral("result 0\ntext Job 4201 is in use and locked!\\nDo you want to unlock it?"));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT OptionSum FROM Options WHERE OptionID = -%1").arg(id)),
                  QStringLiteral("4201"));
        d.SendCommand(2);
        return d.result();
    });
    v.OnCommand(30103);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), QStringLiteral("0"));
    EXPECT_EQ(peerLock(id), QStringLiteral("result 1"));
}

TEST_F(JobsView, AWindowEndingWithPrintPrintsAndOpensTheJobAgain)
{
    const qint32 id = addJob(0, 4301);
    int printed = 0;
    GetJobHooks().printJobDocuments = [&](int choice, int, int, qint32 jobId, QWidget *, QWidget *) {
        ++printed;
        EXPECT_EQ(choice, 0); // 30330 preselects no document
        EXPECT_EQ(jobId, id);
        return 0;
    };
    CViewJobs &v = makeView();
    select(id);
    onDialog<CJobDlg>([](CJobDlg &d) {
        d.SendCommand(30330);
        return d.result();
    });
    int reopened = 0;
    onDialog<CJobDlg>([&](CJobDlg &d) {
        ++reopened;
        EXPECT_EQ(d.job()->m_JobID, id);
        d.SendCommand(2);
        return d.result();
    });
    v.OnCommand(30103);
    EXPECT_EQ(v.followUpCommand(), 30103);
    runQueued();
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(reopened, 1);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(JobsView, AJobScannedInTheWindowIsListedAloneAfterIt)
{
    const qint32 open = addJob(0, 4311);
    const qint32 scanned = addJob(1, 4312);
    CViewJobs &v = makeView();
    select(open);
    onDialog<CJobDlg>([&](CJobDlg &d) {
        // The scanner types Shift 6, the JobID, Shift 3.
        QWidget *target = &d.itemList();
        QTest::keyClick(target, Qt::Key_Shift);
        QTest::keyClick(target, Qt::Key_6);
        for (QChar c : QString::number(scanned))
            QTest::keyClick(target, Qt::Key(Qt::Key_0 + c.digitValue()));
        QTest::keyClick(target, Qt::Key_Shift);
        QTest::keyClick(target, Qt::Key_3);
        return d.result();
    });
    v.OnCommand(30103);
    runQueued();
    ASSERT_EQ(v.list()->GetItemCount(), 1);
    EXPECT_EQ(v.list()->GetItemData(0), scanned);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(JobsView, ChangeStatusOffersTheHandSetStatusesOnly)
{
    const qint32 a = addJob(0, 4401);
    addJob(0, 4403);
    addJob(3, 4402);
    CViewJobs &v = makeView();
    // Orders listed and none highlighted: Status, Export and Open ask for
    // the rows, none acts on the whole list.
    ASSERT_EQ(v.list()->GetItemCount(), 2);
    ASSERT_EQ(v.list()->GetSelectedCount(), 0);
    int exported = 0;
    GetJobHooks().exportJobsXml = [&](QWidget *, const QString &) { ++exported; };
    const struct
    {
        int command;
        const char *said;
    } noneChosen[] = {
        {30130, "Please select the jobs whose status you want to change."},
        {30106, "Please select the jobs to export."},
        {30103, "Please select the row to open."},
    };
    for (const auto &c : noneChosen) {
        prompts().answer(platform::IDOK);
        v.OnCommand(c.command);
        EXPECT_EQ(prompts().lastText(), QString::fromUtf8(c.said)) << c.command;
        EXPECT_EQ(prompts().pendingAnswers(), 0) << c.command;
    }
    EXPECT_EQ(exported, 0);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT group_concat(Status) FROM Jobs WHERE JobType = 0")), QStringLiteral("0,0"));

    select(a);
    onDialog<CDlgOptions>([](CDlgOptions &o) {
        EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Change Status"));
        EXPECT_EQ(o.GetEntryCount(), 4);
        EXPECT_EQ(o.GetEntryText(1), QStringLiteral("In Progress"));
        EXPECT_EQ(o.GetEntryText(3), QStringLiteral("Ready to Ship"));
        EXPECT_TRUE(o.GetEntryText(4).isEmpty()); // no "Ready to Post"
        o.m_nSelect = {3, 0, 0};
        o.tree()->SetOptionChecked(3, true);
        o.SendCommand(1);
        return o.result();
    });
    prompts().answer(platform::IDOK);
    v.OnCommand(30130);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Changed status of 1."));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(a)), QStringLiteral("2"));

    v.SelectTreeCode(301);
    prompts().answer(platform::IDOK);
    v.OnCommand(30130);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("History jobs have only one status: 'In History'"));
}

TEST_F(JobsView, CustomerWarningLines)
{
    // Customer 100: a past-due invoice of 120 and an open order of 30; limit
    // 100 with 20 credit due.
    exec(QStringLiteral("UPDATE Customers SET CreditLimit = 100, CreditDue = 20, AlertIf = 0 WHERE CusNo = 100"));
    addJob(3, 4501, QStringLiteral("Subtotal, Balance, DatePayDue"), QStringLiteral("120, 120, #5/1/2024#"));
    addJob(0, 4502, QStringLiteral("Subtotal, Balance"), QStringLiteral("30, 30"));
    bool money = false;
    EXPECT_EQ(CustomerWarningText(100, 0, money),
              QStringLiteral("Acme Printing Co:\n->  has a past-due balance $120.00.\n"
                             "->  is over credit limit by $30.00.\n"));
    EXPECT_TRUE(money);
    // AlertIf 2: the credit limit only.
    exec(QStringLiteral("UPDATE Customers SET AlertIf = 2 WHERE CusNo = 100"));
    EXPECT_EQ(CustomerWarningText(100, 0, money), QStringLiteral("Acme Printing Co:\n->  is over credit limit by $30.00.\n"));
    // Open balance exactly at limit plus credit: no line.
    exec(QStringLiteral("UPDATE Customers SET CreditLimit = 130 WHERE CusNo = 100"));
    EXPECT_EQ(CustomerWarningText(100, 0, money), QString());
    EXPECT_FALSE(money);
    // A quote shows the alert note only.
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (100, 1, 'Ask for a P.O.')"));
    exec(QStringLiteral("UPDATE Customers SET CreditLimit = 0 WHERE CusNo = 100"));
    EXPECT_EQ(CustomerWarningText(100, 1, money), QStringLiteral("->  Ask for a P.O."));
    EXPECT_FALSE(money);
    // The walk-in customer never gets a money line.
    addJob(0, 4503, QStringLiteral("CusNo, Subtotal, Balance"), QStringLiteral("31, 500, 500"));
    EXPECT_EQ(CustomerWarningText(31, 0, money), QString());

    // No after a money warning stops; Yes needs the right to create the order.
    exec(QStringLiteral("UPDATE Customers SET AlertIf = 0 WHERE CusNo = 100"));
    prompts().answer(platform::IDNO);
    EXPECT_FALSE(ConfirmCustomerWarning(100, 0));
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Please note Acme Printing Co:\n->  has a past-due")));
    EXPECT_TRUE(prompts().lastText().endsWith(
        QStringLiteral("->  is over credit limit by $130.00.\n->  Ask for a P.O.\n\nDo you want to continue?")));
    EXPECT_EQ(prompts().shown().last().flags, unsigned(platform::MB_YESNO | platform::MB_ICONSTOP));
    usePasswords();
    exec(QStringLiteral("UPDATE Passwords SET [Level] = 3 WHERE [No] = 28"));
    prompts().answer(platform::IDYES);
    EXPECT_TRUE(ConfirmCustomerWarning(100, 0));
    EXPECT_EQ(passwordsAsked, 1);
}

TEST_F(JobsView, CreatingAJobTakesItsNumberOnlyWhenTheRowIsSaved)
{
    CJobSet job;
    ASSERT_TRUE(CreateJob(job, 1, 100, 0, 5));
    EXPECT_EQ(job.m_JobType, 1);
    EXPECT_EQ(job.m_CSRNo, 5);
    EXPECT_EQ(job.m_BuyerNo, 0);
    const QString first = sqlite(QStringLiteral("SELECT JobNo, CusNo, CSRNo FROM Jobs WHERE JobType = 1"));
    EXPECT_EQ(first, QStringLiteral("%1|100|5").arg(job.m_JobNo));
    const QString counter = sqlite(QStringLiteral("SELECT Name FROM JobTypes WHERE JobType = 11"));
    EXPECT_EQ(counter, QString::number(job.m_JobNo));

    // A refused row: no job and the number is given back.
    sqlite(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Jobs BEGIN SELECT RAISE(ABORT, 'full'); END;"));
    const QString before = sqlite(QStringLiteral(".dump"));
    CJobSet second;
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    // Shown once the row and its number are rolled back.
    int writesWhileShown = 0;
    writeAtOnceWhileBoxesShow(writesWhileShown);
    EXPECT_FALSE(CreateJob(second, 1, 100, 7, 5));
    stopWritingWhileBoxesShow();
    EXPECT_EQ(writesWhileShown, 1);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot save Jobs")));
    EXPECT_EQ(sqlite(QStringLiteral(".dump")), before);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM JobTypes WHERE JobType = 11")), counter);
    // Types above templates are not made here.
    EXPECT_FALSE(CreateJob(second, 3, 100, 0, 5));
}

TEST_F(JobsView, NewJobDialogChoosesTypeCustomerAndBuyer)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (120, 'Birch Bakery', 0)"));
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (40, 31, 'Walt', 'Inman', 0)"));
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Type) VALUES (41, 31, 'Hidden', 'Person', 2)"));
    exec(QStringLiteral("UPDATE Customers SET BuyerNo = 7 WHERE CusNo = 100"));
    app->WriteSettingInt(QStringLiteral("NewJob-Type"), 10, CZqApp::kSettings);

    // The view's Quotes branch decides the type; walk-in buyers open below.
    CJobNew dialog(0, nullptr);
    dialog.m_nJobType = 1;
    onDialog<CJobNew>([&](CJobNew &d) {
        EXPECT_EQ(d.ribbon().GetItemText(30281), QStringLiteral("New Quote"));
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please select a customer."));
        d.ListChoice(CJobNew::WalkIn);
        EXPECT_EQ(d.list().GetItemCount(), 1);
        d.ToggleBuyers(0);
        EXPECT_EQ(d.list().GetItemCount(), 2);
        EXPECT_TRUE(d.isBuyerRow(1));
        d.list().SelectItem(1);
        snapshot(d, QStringLiteral("new-job"));
        d.SendCommand(1);
        return d.result();
    });
    ASSERT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.m_nJobType, 1);
    EXPECT_EQ(dialog.m_nCusNo, 31);
    EXPECT_EQ(dialog.m_nBuyerNo, 40);

    // A regular customer row hands its default buyer; one without, 0.
    CJobNew regular(0, nullptr);
    regular.m_nJobType = 0;
    onDialog<CJobNew>([&](CJobNew &d) {
        EXPECT_EQ(d.ribbon().GetItemText(30281), QStringLiteral("New Order"));
        d.ListChoice(CJobNew::Regular);
        const int acme = d.list().FindItemByData(100, true);
        EXPECT_GE(acme, 0);
        EXPECT_EQ(d.list().FindItemByData(31, false), -1);
        d.SendCommand(1);
        return d.result();
    });
    ASSERT_EQ(regular.DoModal(), 1);
    EXPECT_EQ(regular.m_nCusNo, 100);
    EXPECT_EQ(regular.m_nBuyerNo, 7);
    CJobNew bakery(0, nullptr);
    bakery.m_nJobType = 0;
    onDialog<CJobNew>([&](CJobNew &d) {
        d.ListChoice(CJobNew::Regular);
        d.list().FindItemByData(120, true);
        d.SendCommand(1);
        return d.result();
    });
    ASSERT_EQ(bakery.DoModal(), 1);
    EXPECT_EQ(bakery.m_nBuyerNo, 0);
}

TEST_F(JobsView, DiscrepanciesAreExplainedAndFixedFromTheServiceRows)
{
    CViewJobs &v = makeView();
    // The kind of discrepancy is asked each time the list fills: job cost
    // and subtotal against the services.
    auto costKind = [this] { prompts().onDialog([](QDialog &) { return int(QDialog::Accepted); }); };
    costKind();
    v.SelectTreeCode(13);
    costKind();
    prompts().answer(platform::IDOK);
    v.OnCommand(30401);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("None found."));
    EXPECT_TRUE(v.listBar()->GetItemText(30211).isEmpty() ||
                !v.listBar()->GetItemText(30211).contains(QLatin1String("Discrepancies")));

    // Three orders whose subtotal disagrees with their services: one priced,
    // one with only No Charge services, one without service rows.
    const qint32 priced = addJob(0, 4601, QStringLiteral("Subtotal, Cost, Balance"), QStringLiteral("90, 0, 90"));
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Sheets, Status) VALUES (%1, 0, 1, "
                        "0, 100, 0, 1, 1)")
             .arg(priced));
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Sheets, Status) VALUES (%1, 3, 1, "
                        "0, 100, 40, 1, 1)")
             .arg(priced));
    const qint32 free = addJob(0, 4602, QStringLiteral("Subtotal, Balance"), QStringLiteral("5, 5"));
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Sheets, Status) VALUES (%1, 0, 1, "
                        "0, 0.0001, 0, 1, 1)")
             .arg(free));
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Sheets, Status) VALUES (%1, 3, 1, "
                        "0, 0.0001, 0, 1, 1)")
             .arg(free));
    const qint32 bare = addJob(0, 4603, QStringLiteral("Subtotal, Balance"), QStringLiteral("7, 7"));
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Sheets, Status) VALUES (%1, 0, 1, "
                        "0, 7, 0, 1, 1)")
             .arg(bare));
    // A taxed order with a negative service line: 100 - 10 = 90, 10 % tax.
    exec(QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, RoundUp, Type, TaxPostage, Sort) "
                        "VALUES (6, 'Ten', 100000, 0, 0, 0, 0, 6)"));
    const qint32 taxed = addJob(0, 4604, QStringLiteral("Subtotal, Balance, TaxNo"), QStringLiteral("50, 50, 6"));
    addItem(taxed, 1, QStringLiteral("Cards"), "90");
    exec(QStringLiteral("UPDATE Items SET Price = 100 WHERE JobID = %1 and SerNo > 0").arg(taxed));
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Sheets, Status) VALUES (%1, 4, 1, "
                        "0, -10, 0, 1, 1)")
             .arg(taxed));
    costKind();
    prompts().answer(platform::IDOK);
    v.OnCommand(30401);
    const int listed = v.list()->GetItemCount();
    ASSERT_GE(listed, 3);
    if (prompts().lastText().startsWith(QStringLiteral("The jobs listed have discrepancies:"))) {
        EXPECT_EQ(v.listBar()->GetItemText(30211), QStringLiteral("Fix Discrepancies..."));
        prompts().answer(platform::IDYES);
        costKind();
        prompts().answer(platform::IDOK);
        v.OnCommand(30211);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Fixed 3 of 3 jobs!"));
        EXPECT_EQ(listed, 3); // a job without service rows is not listed
        EXPECT_EQ(v.list()->GetItemCount(), 0);
        EXPECT_EQ(scalar(QStringLiteral("SELECT Subtotal FROM Jobs WHERE JobID = %1").arg(priced)).toMoney(), money("100"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Cost FROM Jobs WHERE JobID = %1").arg(priced)).toMoney(), money("40"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Jobs WHERE JobID = %1").arg(priced)).toMoney(), money("100"));
        // Services that are all No Charge sum to a subtotal of nothing.
        EXPECT_EQ(scalar(QStringLiteral("SELECT Subtotal FROM Jobs WHERE JobID = %1").arg(free)).toMoney(), money("0"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Balance FROM Jobs WHERE JobID = %1").arg(free)).toMoney(), money("0"));
        const auto taxedMoney = [&](const char *column) {
            return scalar(QStringLiteral("SELECT %1 FROM Jobs WHERE JobID = %2").arg(QLatin1String(column)).arg(taxed))
                .toMoney();
        };
        EXPECT_EQ(taxedMoney("Subtotal"), money("90"));
        EXPECT_EQ(taxedMoney("Tax"), money("9"));
        EXPECT_EQ(taxedMoney("Balance"), money("99"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Subtotal FROM Jobs WHERE JobID = %1").arg(bare)).toMoney(), money("7"));
    } else {
        ADD_FAILURE() << prompts().lastText().toStdString();
    }
}

TEST_F(JobsView, SummaryOfJobsByTypeAndTheItemPriceCheck)
{
    addJob(0, 4701);
    addJob(0, 4702);
    addJob(1, 4703);
    exec(QStringLiteral("DELETE FROM JobTypes"));
    for (int type = 0; type <= 5; ++type)
        exec(QStringLiteral("INSERT INTO JobTypes (JobType, Name) VALUES (%1, '%2')")
                 .arg(type)
                 .arg(QStringList{"Order", "Quote", "Template", "History", "PellOrder", "PellQuote"}[type]));
    CViewJobs &v = makeView();
    onDialog<CDlgGrid>([](CDlgGrid &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Summary of Jobs"));
        EXPECT_EQ(d.m_strStripText, QStringLiteral("3 Jobs"));
        EXPECT_EQ(d.m_wndGrid.GetRowCount(), 2);
        EXPECT_EQ(d.m_wndGrid.GetCellText(0, 0), QStringLiteral("Order"));
        EXPECT_EQ(d.m_wndGrid.GetCellValue(0, 1), 2);
        snapshot(d, QStringLiteral("summary"));
        return 1;
    });
    v.OnCommand(30536);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(JobsView, NewMakesTheJobAndOpensItsWindowOnTheReceivedTodayList)
{
    app->m_nDefaultCsr = 5;
    CViewJobs &v = makeView();
    onDialog<CJobNew>([](CJobNew &d) {
        // A workstation that never chose a type takes the branch's: Orders.
        EXPECT_EQ(d.m_nJobType, 0);
        EXPECT_EQ(d.ribbon().GetItemText(30281), QStringLiteral("New Order"));
        d.ListChoice(CJobNew::Regular);
        d.list().FindItemByData(100, true);
        d.SendCommand(1);
        return d.result();
    });
    qint32 made = 0;
    onDialog<CJobDlg>([&](CJobDlg &d) {
        made = d.job()->m_JobID;
        EXPECT_EQ(d.job()->m_JobType, 0);
        EXPECT_EQ(d.job()->m_CusNo, 100);
        EXPECT_EQ(d.job()->m_CSRNo, 5);
        EXPECT_EQ(d.recordBar().GetItemText(30281), QStringLiteral("Order"));
        d.SendCommand(2);
        return d.result();
    });
    v.OnCommand(30100);
    ASSERT_NE(made, 0);
    EXPECT_EQ(v.chosenCode(), 6); // Orders received today
    EXPECT_EQ(v.list()->GetSelectedData(), made);
    // DateIn as stored: 45455 is 06/12/2024 in days since 12/30/1899.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo, CusNo, CSRNo, DateIn FROM Jobs WHERE JobID = %1").arg(made)),
              QStringLiteral("1|100|5|45455"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), QStringLiteral("0"));

    // The job window's "New Job (same buyer)": the type is asked, the
    // customer and buyer are the job's.
    exec(QStringLiteral("UPDATE Jobs SET BuyerNo = 7 WHERE JobID = %1").arg(made));
    onDialog<CJobDlg>([](CJobDlg &d) {
        d.SendCommand(30599);
        return d.result();
    });
    v.OnCommand(30103);
    onDialog<CDlgOptions>([](CDlgOptions &o) {
        EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("New Job for Acme Printing Co"));
        // The job's own type is chosen already: OK alone makes an order.
        EXPECT_TRUE(o.tree()->IsOptionChecked(1));
        EXPECT_FALSE(o.tree()->IsOptionChecked(2));
        o.tree()->SetOptionChecked(2, true);
        o.SendCommand(1);
        return o.result();
    });
    qint32 quote = 0;
    onDialog<CJobDlg>([&](CJobDlg &d) {
        quote = d.job()->m_JobID;
        EXPECT_EQ(d.job()->m_JobType, 1);
        EXPECT_EQ(d.job()->m_BuyerNo, 7);
        d.SendCommand(2);
        return d.result();
    });
    // The view runs 30599 from its queue and then opens the first job again.
    onDialog<CJobDlg>([](CJobDlg &d) {
        d.SendCommand(2);
        return d.result();
    });
    runQueued();
    EXPECT_NE(quote, 0);
    EXPECT_EQ(v.chosenCode(), 107);
}

// The list follows the data: what a job window saved shows when it ends, and
// a job posted while the view was hidden leaves its list when it is shown.
TEST_F(JobsView, TheListFollowsWhatItsWindowAndOthersWrote)
{
    const qint32 id = addJob(0, 4401);
    const qint32 other = addJob(0, 4402);
    CViewJobs &v = makeView();
    v.show();
    runQueued();
    select(id);
    const auto rowHas = [&](qint32 jobId, const QString &text) {
        const int row = v.list()->FindItemByData(jobId, false);
        for (int column = 0; row >= 0 && column < 8; ++column)
            if (v.list()->GetItemText(row, column) == text)
                return true;
        return false;
    };
    onDialog<CJobDlg>([&](CJobDlg &d) {
        exec(QStringLiteral("UPDATE Jobs SET Title = 'Raffle tickets' WHERE JobID = %1").arg(id));
        d.SendCommand(2);
        return d.result();
    });
    v.OnCommand(30103);
    runQueued();
    EXPECT_TRUE(rowHas(id, QStringLiteral("Raffle tickets")));

    v.hide();
    exec(QStringLiteral("UPDATE Jobs SET JobType = 3 WHERE JobID = %1").arg(other));
    v.show();
    runQueued();
    EXPECT_LT(v.list()->FindItemByData(other, false), 0);
    EXPECT_GE(v.list()->FindItemByData(id, false), 0);
}
