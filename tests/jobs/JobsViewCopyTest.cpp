#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/OptionsAndLookups.h"
#include "jobs/CFindDlg.h"
#include "jobs/CFindJob.h"
#include "jobs/CJobCompare.h"
#include "jobs/CJobDlg.h"
#include "jobs/CJobNew.h"
#include "jobs/CViewJobs.h"
#include "jobs/FindInstall.h"
#include "jobs/JobHooks.h"
#include "views/CDlgGrid.h"
#include "views/CDlgOptions.h"
#include "controls/CXRibbon.h"

#include <QtTest/QTest>

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

namespace {

class JobsViewCopy : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
        exec(QStringLiteral("UPDATE Customers SET AlertIf = 3 WHERE CusNo = 100"));
        InstallFindDialogs();
    }
    void TearDown() override
    {
        view.reset();
        RemoveFindDialogs();
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
    std::unique_ptr<CViewJobs> view;
};

TEST_F(JobsViewCopy, QuotePastedAsOrderShowsWhatChanged)
{
    SaveOptionValue(44323, 0x2 | 0x4000);
    exec(QStringLiteral("UPDATE Customers SET ShipVia = 1 WHERE CusNo = 100"));
    const qint32 quote = addJob(1, 88, QStringLiteral("Title, DateIn"), QStringLiteral("'Menu cards', #6/10/2024#"));
    addItem(quote, 1, QStringLiteral("Menu {draft}"), "120");
    CViewJobs &v = makeView();
    v.SelectTreeCode(101);
    // A new list names no row chosen: Open finds none, and Copy says so,
    // until a row is chosen.
    EXPECT_EQ(v.GetSelectedItemData(), -1);
    EXPECT_EQ(v.statusBar()->GetItemText(30262), QStringLiteral("Listed: 1   "));
    prompts().answer(platform::IDOK);
    v.RunCommand(30111);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Please select one job to copy."));
    ASSERT_GE(v.list()->FindItemByData(quote, true), 0);
    EXPECT_EQ(v.GetSelectedItemData(), quote);
    onDialog<CDlgOptions>([](CDlgOptions &dlg) {
        EXPECT_EQ(dlg.GetEntryText(1), QStringLiteral("Order"));
        EXPECT_TRUE(dlg.GetEntryText(5).isEmpty()); // no credit choices outside the history lists
        dlg.SendCommand(1);                         // "Order" is preselected
        return dlg.result();
    });
    onDialog<CDlgGrid>([&](CDlgGrid &grid) {
        EXPECT_EQ(grid.m_strWindowTitle, QStringLiteral("Pasted from Quote 88  (2 days old)"));
        snapshot(grid, QStringLiteral("copy-what-changed"));
        return 2; // not opened
    });
    // The view's "Copy" button beside "Open" runs it.
    v.show();
    v.UpdateRibbonStates();
    ASSERT_TRUE(v.mainBar()->itemRect(30111).isValid());
    EXPECT_EQ(v.mainBar()->GetItemText(30111), QStringLiteral("Copy"));
    QTest::mouseClick(v.mainBar(), Qt::LeftButton, {}, v.mainBar()->itemRect(30111).center());
    runQueued();
    EXPECT_EQ(prompts().pendingAnswers(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobType = 0 AND FromJobNo = 88 AND ViaDue = 1"))
                  .toInt(),
              1);
}

TEST_F(JobsViewCopy, AskMeWhatToUpdate)
{
    SaveOptionValue(44321, 0x2 | 0x10 | 0x2000);
    exec(QStringLiteral("UPDATE Customers SET ShipVia = 1, Terms = 1 WHERE CusNo = 100"));
    const qint32 invoice = addJob(3, 950, QStringLiteral("Title, DateIn, Subtotal, Balance"),
                                  QStringLiteral("'Forms', #6/1/2024#, 70, 70"));
    addItem(invoice, 1, QStringLiteral("Forms"), "70");
    CViewJobs &v = makeView();
    v.SelectTreeCode(301);
    ASSERT_GE(v.list()->FindItemByData(invoice, true), 0);
    onDialog<CDlgOptions>([](CDlgOptions &dlg) {
        dlg.SendCommand(1); // a new order
        return dlg.result();
    });
    onDialog<CDlgOptions>([](CDlgOptions &dlg) {
        EXPECT_EQ(dlg.m_strRibbonTitle, QStringLiteral("New Order has been created"));
        EXPECT_EQ(dlg.m_strStripText,
                  QStringLiteral("Click OK to update the selected fields. Click Cancel not to update any field."));
        EXPECT_EQ(dlg.GetEntryText(1), QStringLiteral("Ship to Address"));
        EXPECT_EQ(dlg.GetEntryText(13), QStringLiteral("Reprice Item and Save Default Price (do not reprice if Item "
                                                       "Price is locked)"));
        EXPECT_TRUE(dlg.GetEntryText(14).isEmpty()); // "ask" and "tell" are not offered
        EXPECT_TRUE(dlg.IsEntryChecked(2));
        EXPECT_TRUE(dlg.IsEntryChecked(5));
        dlg.tree()->SetOptionChecked(5, false); // keep the terms
        snapshot(dlg, QStringLiteral("copy-ask-what-to-update"));
        dlg.SendCommand(1);
        return dlg.result();
    });
    // The pasted job opens; printing it from there preselects its job
    // ticket, and the job opens again after the print.
    int preselected = 99;
    GetJobHooks().printJobDocuments = [&](int choice, int, int, qint32, QWidget *, QWidget *) {
        preselected = choice;
        return 0;
    };
    onDialog<CJobDlg>([](CJobDlg &d) {
        d.SendCommand(30330);
        return d.result();
    });
    onDialog<CJobDlg>([](CJobDlg &) { return 2; });
    v.RunCommand(30111);
    runQueued();
    EXPECT_EQ(preselected, -1);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT ViaDue & '|' & TermsNo FROM Jobs WHERE JobType = 0 AND FromJobNo = 950"))
                  .toString(),
              QStringLiteral("1|0"));
}

TEST_F(JobsViewCopy, CreditFromTheHistoryList)
{
    const qint32 invoice = addJob(3, 1234, QStringLiteral("Title, Subtotal, Balance"), QStringLiteral("'Inv', 80, 80"));
    addItem(invoice, 1, QStringLiteral("Labels"), "80");
    CViewJobs &v = makeView();
    v.SelectTreeCode(301);
    ASSERT_GE(v.list()->FindItemByData(invoice, true), 0);
    onDialog<CDlgOptions>([](CDlgOptions &dlg) {
        EXPECT_EQ(dlg.GetEntryText(5), QStringLiteral("Credit Invoice"));
        EXPECT_EQ(dlg.GetEntryText(6), QStringLiteral("Credit Invoice + Revised Invoice"));
        dlg.m_nSelect = {5, 0, 0};
        dlg.tree()->SetOptionChecked(5, true);
        dlg.SendCommand(1);
        return dlg.result();
    });
    prompts().answer(platform::IDOK);
    // The message says to print the credit invoice next: the print that
    // follows preselects the invoice.
    int preselected = 99;
    GetJobHooks().printJobDocuments = [&](int choice, int, int, qint32, QWidget *, QWidget *) {
        preselected = choice;
        return 0;
    };
    v.RunCommand(30111);
    runQueued();
    EXPECT_EQ(preselected, -2);
    ASSERT_FALSE(prompts().texts().isEmpty());
    EXPECT_TRUE(prompts().texts().last().startsWith(
        QStringLiteral("A new order, #-1234, has been added to print a Credit Invoice.\n")));
    EXPECT_TRUE(prompts().texts().last().endsWith(
        QStringLiteral("IMPORTANT: \n- Print the Credit Invoice (next step)\n- Post all Credit Invoices (today)")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobNo = -1234 AND Creator = 99")).toInt(), 1);
}

TEST_F(JobsViewCopy, FindFillsTheListAndOffersTheOtherFile)
{
    const qint32 posted = addJob(3, 5100, QStringLiteral("Title"), QStringLiteral("'O''Brien invitations'"));
    addJob(0, 5101, QStringLiteral("Title"), QStringLiteral("'Other'"));
    CViewJobs &v = makeView();
    v.SelectTreeCode(1);
    // Job Number 5100 among the orders: not there, so the history file is offered.
    onDialog<CFindDlg>([](CFindDlg &dlg) {
        EXPECT_EQ(dlg.m_strKind, QStringLiteral("Jobs"));
        dlg.fields()->setCurrentRow(0);
        dlg.value1Edit()->setText(QStringLiteral("5100"));
        dlg.OnValueChanged();
        dlg.SendCommand(1);
        return 1;
    });
    prompts().answer(platform::IDYES);
    v.RunCommand(30101);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot find the job in the Order file. Search the History file?"));
    ASSERT_EQ(v.list()->GetItemCount(), 1);
    EXPECT_EQ(v.list()->GetItemData(0), posted);
    EXPECT_EQ(v.filterSql(), QStringLiteral("(Jobs.JobNo = 5100)"));
}

TEST_F(JobsViewCopy, FindFromTheJobWindowOpensTheOneJobFound)
{
    const qint32 first = addJob(0, 5300, QStringLiteral("Title"), QStringLiteral("'First'"));
    const qint32 other = addJob(0, 5301, QStringLiteral("Title"), QStringLiteral("'Other'"));
    CViewJobs &v = makeView();
    v.SelectTreeCode(1);
    ASSERT_GE(v.list()->FindItemByData(first, true), 0);
    onDialog<CJobDlg>([](CJobDlg &d) {
        d.SendCommand(30101); // Find, from the job window
        return d.result();
    });
    onDialog<CFindDlg>([](CFindDlg &dlg) {
        dlg.fields()->setCurrentRow(0);
        dlg.value1Edit()->setText(QStringLiteral("5301"));
        dlg.OnValueChanged();
        dlg.SendCommand(1);
        return 1;
    });
    qint32 reopened = 0;
    onDialog<CJobDlg>([&](CJobDlg &d) {
        reopened = d.job()->m_JobID;
        return 2;
    });
    v.RunCommand(30103);
    for (int i = 0; i < 5; ++i)
        runQueued();
    EXPECT_EQ(reopened, other);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(JobsViewCopy, ItemFinderAndComparisonFromTheView)
{
    const qint32 posted = addJob(3, 5200, QStringLiteral("Title"), QStringLiteral("'Posted'"));
    addItem(posted, 1, QStringLiteral("Banner"), "60");
    CViewJobs &v = makeView();
    onDialog<CFindJob>([](CFindJob &dlg) {
        dlg.ListItems(kListByJobNumber);
        dlg.list()->SelectItem(0);
        dlg.SendCommand(1);
        return 1;
    });
    v.RunCommand(30609);
    ASSERT_EQ(v.list()->GetItemCount(), 1);
    EXPECT_EQ(v.list()->GetItemData(0), posted);
    v.list()->SelectItem(0);
    onDialog<CJobCompare>([](CJobCompare &dlg) {
        EXPECT_TRUE(dlg.tree()->topLevelItem(0)->text(0).contains(QStringLiteral("created from scratch")));
        return 2;
    });
    v.RunCommand(30343);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(JobsViewCopy, NewJobDialogFindsCustomers)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (300, 'O''Brien Signs', 0)"));
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (301, 'OXBrien Signs', 0)"));
    CJobNew dialog(0, nullptr);
    onDialog<CJobNew>([&](CJobNew &d) {
        onDialog<CFindDlg>([](CFindDlg &find) {
            EXPECT_FALSE(find.m_bAdvanced);
            EXPECT_EQ(find.fields()->currentItem()->text(), QStringLiteral("Customer's Name"));
            find.value1Edit()->setText(QStringLiteral("O'Brien"));
            find.OnValueChanged();
            find.SendCommand(1);
            return 1;
        });
        d.ListChoice(CJobNew::FindCustomer);
        EXPECT_EQ(d.list().GetItemCount(), 1);
        EXPECT_EQ(d.list().GetItemData(0), 300);
        return 2;
    });
    dialog.DoModal();
}

} // namespace
