#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "jobs/CJobDlg.h"
#include "jobs/CJobNew.h"
#include "jobs/CViewJobs.h"
#include "jobs/JobHooks.h"

#include <QtCore/QProcess>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

// The jobs view read by a keyboard-wedge scanner: codes arrive as key presses
// in the list, as a scanner types them, and the rows are read back with the
// sqlite3 program.
namespace {

class JobScans : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        // The job window as the job tests run it: no panels that ask.
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
        view->show();
        return *view;
    }
    // Types a code as the scanner does: a symbol is Shift and its digit key,
    // digits are plain digit keys, "#" is Shift and 3. Queued commands run.
    void scan(const QString &code)
    {
        static const QString shifted = QStringLiteral(")!@#$%^&*(");
        QWidget *target = view->list();
        for (QChar c : code) {
            const int digit = c.isDigit() ? c.digitValue() : int(shifted.indexOf(c));
            ASSERT_GE(digit, 0) << qPrintable(code);
            if (!c.isDigit())
                QTest::keyClick(target, Qt::Key_Shift);
            QTest::keyClick(target, Qt::Key(Qt::Key_0 + digit));
        }
        runQueued();
    }
    QString sqlite(const QString &command)
    {
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"), {databasePath(), command});
        EXPECT_TRUE(shell.waitForFinished(60000));
        return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
    }
    QString row(qint32 jobId, const char *columns)
    {
        return sqlite(QStringLiteral("SELECT %1 FROM Jobs WHERE JobID = %2").arg(QString::fromLatin1(columns)).arg(jobId));
    }
    QList<qint64> listed()
    {
        QList<qint64> ids;
        for (int r = 0; r < view->list()->GetItemCount(); ++r)
            ids << view->list()->GetItemData(r);
        return ids;
    }

    std::unique_ptr<CViewJobs> view;
};

// Today (06/12/2024) as the Jobs table stores a date.
const QString kToday = QStringLiteral("45455");

} // namespace

TEST_F(JobScans, TicketThenReadyToShipStoresStatus2AndShowsThatList)
{
    const qint32 job = addJob(0, 5001);
    addJob(0, 5002);
    CViewJobs &v = makeView();
    scan(QStringLiteral("^%1#").arg(job));
    EXPECT_EQ(v.listCaption(), QStringLiteral(" Order 5001"));
    EXPECT_EQ(listed(), QList<qint64>{job});
    EXPECT_EQ(v.list()->GetSelectedData(), job);
    EXPECT_EQ(v.barCode().m_nObject, job); // kept for the command that follows
    scan(QStringLiteral("!30133#"));
    EXPECT_EQ(row(job, "Status"), QStringLiteral("2"));
    EXPECT_EQ(v.chosenCode(), 4); // Orders / Ready to Ship
    EXPECT_EQ(v.list()->GetSelectedData(), job);
    EXPECT_EQ(v.barCode().m_nObject, 0);
    EXPECT_EQ(v.barCode().m_nAction, 0);
    EXPECT_EQ(prompts().texts(), QStringList());
}

TEST_F(JobScans, DateStampsWriteTodayAndShowTheirList)
{
    struct Case
    {
        int command;
        const char *column;
        int code;
    };
    const Case cases[] = {{30141, "DateIn", 6}, {30142, "DateDue", 9}, {30143, "DateProof", 0}};
    CViewJobs &v = makeView();
    for (const Case &c : cases) {
        const qint32 job = addJob(0, 5100 + c.command % 10, QStringLiteral("DateIn"), QStringLiteral("#6/1/2024#"));
        scan(QStringLiteral("^%1#").arg(job));
        scan(QStringLiteral("!%1#").arg(c.command));
        EXPECT_EQ(row(job, c.column), kToday) << c.command;
        EXPECT_EQ(v.chosenCode(), c.code) << c.command;
        EXPECT_EQ(v.barCode().m_nObject, 0) << c.command;
    }
}

TEST_F(JobScans, ShippedStampRecomputesTheAutomaticStatus)
{
    // Invoiced with a subtotal: shipping makes it ready to post.
    const qint32 invoiced = addJob(0, 5201, QStringLiteral("InvoicePrinted, Subtotal, Status"), QStringLiteral("1, 80, 0"));
    // On hold without an invoice: the status stays.
    const qint32 held = addJob(0, 5202, QStringLiteral("Status"), QStringLiteral("1"));
    CViewJobs &v = makeView();
    scan(QStringLiteral("^%1#").arg(invoiced));
    scan(QStringLiteral("!30144#"));
    EXPECT_EQ(row(invoiced, "DateShipped, Status"), kToday + QStringLiteral("|3"));
    EXPECT_EQ(v.chosenCode(), 7); // Shipped Today
    EXPECT_EQ(v.list()->GetSelectedData(), invoiced);
    scan(QStringLiteral("^%1#").arg(held));
    scan(QStringLiteral("!30144#"));
    EXPECT_EQ(row(held, "DateShipped, Status"), kToday + QStringLiteral("|1"));
}

TEST_F(JobScans, StampsActOnlyOnTheOrdersListWithACurrentJob)
{
    const qint32 quote = addJob(1, 5301);
    CViewJobs &v = makeView();
    // No job scanned or opened yet.
    scan(QStringLiteral("!30133#"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Jobs WHERE Status <> 0 OR DateShipped IS NOT NULL")),
              QStringLiteral("0"));
    // A quote shows on the Quotes list: neither status nor date is stamped.
    scan(QStringLiteral("^%1#").arg(quote));
    EXPECT_EQ(v.branch(), 1);
    scan(QStringLiteral("!30132#"));
    scan(QStringLiteral("^%1#").arg(quote));
    scan(QStringLiteral("!30144#"));
    EXPECT_EQ(row(quote, "Status, DateShipped IS NULL"), QStringLiteral("0|1"));
    EXPECT_EQ(v.barCode().m_nObject, 0);
    EXPECT_EQ(prompts().texts(), QStringList());
}

TEST_F(JobScans, JobsOfTheScannedCustomerOrCsr)
{
    const qint32 o2 = addJob(0, 5402);
    const qint32 o1 = addJob(0, 5401);
    const qint32 q = addJob(1, 5403);
    const qint32 h = addJob(3, 5404);
    const qint32 ben = addJob(0, 5405, QStringLiteral("CSRNo"), QStringLiteral("5"));
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (200, 'Other Co', 0)"));
    addJob(0, 5406, QStringLiteral("CusNo"), QStringLiteral("200"));
    CViewJobs &v = makeView();

    struct Case
    {
        QString scans;
        QString caption;
        QList<qint64> ids;
        int branch;
    };
    const Case cases[] = {
        {QStringLiteral("(100#!30610#"), QStringLiteral(" Orders of Acme Printing Co"), {o1, o2, ben}, 0},
        // The customer stays for the next list.
        {QStringLiteral("!30611#"), QStringLiteral(" Quotes of Acme Printing Co"), {q}, 1},
        {QStringLiteral("(100#!30613#"), QStringLiteral(" History Jobs of Acme Printing Co"), {h}, 3},
        {QStringLiteral(")5#!30610#"), QStringLiteral(" Orders of Ben"), {ben}, 0},
    };
    for (const Case &c : cases) {
        scan(c.scans);
        EXPECT_EQ(v.listCaption(), c.caption);
        EXPECT_EQ(listed(), c.ids) << qPrintable(c.caption);
        EXPECT_EQ(v.branch(), c.branch);
        EXPECT_EQ(v.item(), 1);
        if (c.branch == 1)
            snapshot(v, QStringLiteral("jobs-scan-customer-quotes"));
    }
    EXPECT_EQ(prompts().texts(), QStringList());

    // A job after the customer replaces it: the list needs a customer again.
    scan(QStringLiteral("^%1#").arg(o1));
    prompts().answer(platform::IDOK);
    scan(QStringLiteral("!30610#"));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Please scan the barcode of a customer or CSR first."));
    EXPECT_EQ(listed(), QList<qint64>{o1});

    // A scan the view told the user about is forgotten: the CSR and the
    // command scanned next list the jobs (a stamp starts from a clean reader).
    const std::pair<QString, const char *> refused[] = {
        {QStringLiteral("!30610#"), "Please scan the barcode of a customer or CSR first."},
        {QStringLiteral("@3#"), "Sorry, the barcode command you have scanned is not used in this section."},
    };
    for (const auto &[code, text] : refused) {
        scan(QStringLiteral("!30131#"));
        prompts().clear();
        prompts().answer(platform::IDOK);
        scan(code);
        EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(text)}) << qPrintable(code);
        scan(QStringLiteral(")5#!30610#"));
        EXPECT_EQ(prompts().texts().size(), 1) << qPrintable(code);
        EXPECT_EQ(v.listCaption(), QStringLiteral(" Orders of Ben")) << qPrintable(code);
        EXPECT_EQ(listed(), QList<qint64>{ben}) << qPrintable(code);
    }
}

TEST_F(JobScans, WhatCannotBeFoundOrIsNotUsedHereIsSaid)
{
    const qint32 job = addJob(0, 5501);
    const qint32 item = addItem(job, 1, QStringLiteral("Cards"), "40");
    CViewJobs &v = makeView();
    scan(QStringLiteral("&%1#").arg(item));
    EXPECT_EQ(listed(), QList<qint64>{job});
    EXPECT_EQ(v.listCaption(), QStringLiteral(" Order 5501"));

    const std::pair<QString, const char *> cases[] = {
        {QStringLiteral("^999999#"), "Cannot find the job you have scanned."},
        {QStringLiteral("&999999#"), "Cannot find the Item you have scanned."},
        {QStringLiteral("@3#"), "Sorry, the barcode command you have scanned is not used in this section."},
        {QStringLiteral("$30500#"), "Sorry, the barcode command you have scanned is not used in this section."},
        {QStringLiteral("%%1#").arg(item), "Sorry, the barcode command you have scanned is not used in this section."},
        {QStringLiteral("(4242#!30600#"), "Cannot find the customer you have scanned."},
        {QStringLiteral(")77#!30602#"), "Cannot find the CSR you have scanned."},
        {QStringLiteral(")261#!30600#"), "Cannot find the CSR you have scanned."},
    };
    for (const auto &[code, text] : cases) {
        prompts().clear();
        prompts().answer(platform::IDOK);
        scan(code);
        EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(text)}) << qPrintable(code);
        // Nothing changes: the last list stays.
        EXPECT_EQ(listed(), QList<qint64>{job}) << qPrintable(code);
    }
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(JobScans, NewJobAfterACustomerOrCsrScan)
{
    app->m_nDefaultCsr = 3;
    CViewJobs &v = makeView();
    // A customer and the "New Quote" code: a quote for the customer with its
    // default buyer, made at once.
    exec(QStringLiteral("UPDATE Customers SET BuyerNo = 7 WHERE CusNo = 100"));
    qint32 quote = 0;
    onDialog<CJobDlg>([&](CJobDlg &d) {
        quote = d.job()->m_JobID;
        d.SendCommand(2);
        return d.result();
    });
    scan(QStringLiteral("(100#!30601#"));
    ASSERT_NE(quote, 0);
    EXPECT_EQ(row(quote, "JobType, CusNo, BuyerNo, CSRNo"), QStringLiteral("1|100|7|3"));
    EXPECT_EQ(v.chosenCode(), 107); // Quotes received today

    // A CSR and the "New Order" code: the new job dialog with that CSR and
    // type, whatever the workstation's default type.
    app->WriteSettingInt(QStringLiteral("NewJob-Type"), 1, CZqApp::kSettings);
    onDialog<CJobNew>([](CJobNew &d) {
        EXPECT_EQ(d.m_nJobType, 0);
        EXPECT_EQ(d.m_nCsr, 5);
        d.ListChoice(CJobNew::Regular);
        d.list().FindItemByData(100, true);
        d.SendCommand(1);
        return d.result();
    });
    qint32 order = 0;
    onDialog<CJobDlg>([&](CJobDlg &d) {
        order = d.job()->m_JobID;
        d.SendCommand(2);
        return d.result();
    });
    scan(QStringLiteral(")5#!30600#"));
    ASSERT_NE(order, 0);
    EXPECT_EQ(row(order, "JobType, CusNo, CSRNo"), QStringLiteral("0|100|5"));
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}
