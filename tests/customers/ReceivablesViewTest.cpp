#include "CustomersFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXListModel.h"
#include "controls/CXRibbon.h"
#include "controls/struct_RIB_ITEM.h"
#include "customers/CShiptoList.h"
#include "customers/CViewAR.h"
#include "customers/CustomerHooks.h"
#include "data/Compaction.h"
#include "data/OptionsAndLookups.h"
#include "data/SettingRows.h"
#include "jobs/CJobBalance.h"
#include "jobs/CJobDlg.h"
#include "jobs/CJobNew.h"
#include "jobs/CViewJobs.h"
#include "platform/Clock.h"
#include "platform/db/Recordset.h"
#include "views/CDlgData.h"
#include "views/CDlgGrid.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"

#include <QtGui/QMouseEvent>
#include <QtTest/QTest>

#include <functional>

namespace {

const QDate kToday(2026, 4, 15);

class ReceivablesViewTest : public CustomersTest
{
protected:
    void SetUp() override
    {
        CustomersTest::SetUp();
        platform::Clock::setFixed(QDateTime(kToday, QTime(9, 0)));
        addCustomer(100, QStringLiteral("Acme Printing Buyers"));
        view = std::make_unique<CViewAR>();
        view->resize(1100, 700);
        view->OnInitialUpdate();
        view->show();
    }
    void TearDown() override
    {
        view.reset();
        platform::Clock::reset();
        CustomersTest::TearDown();
    }
    qint32 addJob(int type, int jobNo, int status, const QString &shipped, const QString &subtotal,
                  const QString &balance, bool items = true)
    {
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Title, Status, TermsNo, TaxNo, DateShipped, Cost, "
                            "Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance, Commission, "
                            "Creator, PostingNo, InvoicePrinted) VALUES (%1, %2, 100, 'Cards', %3, 1, 0, %4, 0, %5, 0, "
                            "0, 0, 0, 0, %6 - %5, 0, %6, 0, 0, 0, 1)")
                 .arg(type)
                 .arg(jobNo)
                 .arg(status)
                 .arg(shipped, subtotal, balance));
        const qint32 id = sqlite(QStringLiteral("SELECT max(JobID) FROM Jobs")).toInt();
        if (items) {
            for (int ser : {0, 5})
                exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Bleed) VALUES (%1, %2, "
                                    "1, 0, %3, 0, 0)")
                         .arg(id)
                         .arg(ser)
                         .arg(subtotal));
        }
        return id;
    }
    int rowOf(qint32 key)
    {
        for (int r = 0; r < view->list()->GetItemCount(); ++r)
            if (view->list()->GetItemData(r) == key)
                return r;
        return -1;
    }
    std::unique_ptr<CViewAR> view;
};

} // namespace

TEST_F(ReceivablesViewTest, ReadyToPostRemarks)
{
    const qint32 clean = addJob(0, 1001, 3, QStringLiteral("#4/1/2026#"), QStringLiteral("100"), QStringLiteral("100"));
    const qint32 over = addJob(0, 1002, 3, QStringLiteral("#4/1/2026#"), QStringLiteral("50"), QStringLiteral("-5"));
    const qint32 odd = addJob(0, 1003, 3, QStringLiteral("#4/1/2026#"), QStringLiteral("70"), QStringLiteral("70"), false);
    view->SelectTreeCode(1);
    view->OnListNow();
    ASSERT_GE(view->list()->GetItemCount(), 3);
    const int cleanRow = rowOf(clean);
    ASSERT_GE(cleanRow, 0);
    EXPECT_NE(view->list()->GetItemText(cleanRow, 1), QStringLiteral("Over Paid"));
    EXPECT_EQ(view->list()->GetItemText(rowOf(over), 1), QStringLiteral("Over Paid"));
    EXPECT_EQ(view->list()->GetItemText(rowOf(odd), 1), QStringLiteral("Discrepancy"));
    snapshot(*view, QStringLiteral("receivables_ready_to_post"));

    // A long list shows its first screen, remarked, before the rest is read;
    // the rows behind it are read and remarked on, without being scrolled to.
    addReadyOrders(3000, 600);
    const qint32 lastOver = addJob(0, 3999, 3, QStringLiteral("#4/1/2026#"), QStringLiteral("50"), QStringLiteral("-5"));
    view->OnListNow();
    CXListModel *rows = view->list()->listModel();
    ASSERT_EQ(view->list()->GetItemCount(), 604);
    EXPECT_LT(rows->rowsRead(), 604);
    EXPECT_EQ(view->list()->GetItemText(rowOf(over), 1), QStringLiteral("Over Paid"));
    for (int turn = 0; turn < 10000 && rows->rowsRead() < 604; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(rows->rowsRead(), 604);
    EXPECT_EQ(view->list()->GetItemText(603, 1), QStringLiteral("Over Paid"));
    EXPECT_EQ(view->list()->GetItemData(603), lastOver);
    EXPECT_EQ(view->list()->GetItemText(602, 1), QString());
}

TEST_F(ReceivablesViewTest, PostingFromTheViewAndDeleteOnlyInCharged)
{
    addJob(0, 2001, 3, QStringLiteral("#4/1/2026#"), QStringLiteral("100"), QStringLiteral("100"));
    view->SelectTreeCode(1);
    view->OnListNow();
    view->list()->SelectAll();
    EXPECT_FALSE(view->IsCommandEnabled(30113));
    prompts().answer(platform::IDYES); // Do you want to start posting?
    prompts().answer(platform::IDYES); // Are you sure?
    prompts().answer(platform::IDOK);  // Successfully posted
    prompts().answer(platform::IDOK);  // printing not available
    view->RunCommand(30211);
    EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Successfully posted:\n\n\t1 Orders\n\t0 QuickSales\n\nNext, "
                                                          "you will print reports about the posting.")))
        << prompts().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobType FROM Jobs WHERE JobNo = 2001")), QStringLiteral("3"));
    EXPECT_FALSE(SharedDatabase().isExclusive());

    exec(QStringLiteral("UPDATE Jobs SET Latefee = 3, Balance = 103 WHERE JobNo = 2001"));
    view->SelectTreeCode(602);
    view->OnListNow();
    ASSERT_GT(view->list()->GetItemCount(), 0);
    EXPECT_TRUE(view->IsCommandEnabled(30113));
    view->SelectTreeCode(601);
    view->OnListNow();
    EXPECT_FALSE(view->IsCommandEnabled(30113));
}

// "All listed" is what the caption's query lists, whatever the list went
// through: lists switched while each was still read behind its first
// screen, a customer's ship-tos opened between, and the ready-to-post list
// shown at last while Ctrl+Shift are held (the caption's own list, with
// its remarks). Post Now posts exactly the listed orders (but the one
// without a ship date, which is never posted).
TEST_F(ReceivablesViewTest, PostNowPostsExactlyTheListedOrdersAfterListsSwitchedWhileRead)
{
    exec(QStringLiteral("INSERT INTO Shipto (ShiptoNo, CusNo, Company, Attention, Type) VALUES (70, 100, 'Dock 7', "
                        "'Receiving', 0)"));
    // Invoices of before: an order's key is no row number.
    for (int n = 0; n < 30; ++n)
        addJob(3, 3000 + n, 0, QStringLiteral("#2/1/2026#"), QStringLiteral("10"), QStringLiteral("0"), false);
    addReadyOrders(5000, 400);
    exec(QStringLiteral("UPDATE Jobs SET ShiptoNo = 70 WHERE JobNo >= 5000"));
    const qint32 remarked = addJob(0, 5400, 3, QStringLiteral("Null"), QStringLiteral("20"), QStringLiteral("20"));
    const qint32 notReady = addJob(0, 5401, 1, QStringLiteral("#4/1/2026#"), QStringLiteral("30"), QStringLiteral("30"));
    const qint32 invoice = addJob(3, 4000, 3, QStringLiteral("#3/1/2026#"), QStringLiteral("40"), QStringLiteral("40"));
    const QString ready = QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobType = 0 AND Status = 3");
    ASSERT_EQ(cliCount(ready), 401);

    auto listWhileRead = [&](int code) {
        view->tree()->setCurrentItem(view->tree()->FindItemByData(quint32(code)));
        view->OnListNow();
    };
    listWhileRead(1);
    ASSERT_EQ(view->list()->GetItemCount(), 401);
    EXPECT_LT(view->list()->listModel()->rowsRead(), 401);
    listWhileRead(102);
    onDialog<QDialog>([](QDialog &) { return 2; });
    {
        CShiptoList shiptos(100, 70, view->colourHue(), QStringLiteral("Ship To"), view.get());
        shiptos.DoModal();
    }
    listWhileRead(1);
    listWhileRead(301);
    // Ctrl and Shift held as the list fills: the caption's own list, with
    // its remarks.
    QTest::keyPress(view->windowHandle(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(view->windowHandle(), Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    listWhileRead(1);
    QTest::keyRelease(view->windowHandle(), Qt::Key_Shift, Qt::ControlModifier);
    QTest::keyRelease(view->windowHandle(), Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("Invoices Ready-to-Post / List (401 listed)"));
    EXPECT_EQ(view->list()->GetColumnText(1), QStringLiteral("Remark"));
    EXPECT_EQ(view->list()->GetItemText(view->list()->FindItemByData(remarked, false), 1), QStringLiteral("No Ship Date"));
    view->list()->SelectItem(3);

    QStringList choices;
    onDialog<CDlgOptions>([&](CDlgOptions &d) {
        choices << d.GetEntryText(1) << d.GetEntryText(2);
        return press(d, 1); // "All listed orders" is preselected
    });
    prompts().answer(platform::IDYES); // Do you want to start posting?
    prompts().answer(platform::IDYES); // Are you sure?
    prompts().answer(platform::IDOK);  // Successfully posted
    prompts().answer(platform::IDOK);  // printing not available
    view->RunCommand(30211);
    // The list the orders were taken from is the caption's own, its row
    // highlighted kept.
    EXPECT_EQ(choices, QStringList({QStringLiteral("All listed orders: 401"),
                                    QStringLiteral("Highlighted orders only: 1")}));
    EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Successfully posted:\n\n\t400 Orders\n\t0 QuickSales\n\n"
                                                          "Next, you will print reports about the posting.")))
        << prompts().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(cliCount(ready), 1);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobType = 3 AND JobNo >= 5000 AND JobNo < 5400")),
              400);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobType FROM Jobs WHERE JobID = %1").arg(remarked)), QStringLiteral("0"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobType || ' ' || Status FROM Jobs WHERE JobID = %1").arg(notReady)),
              QStringLiteral("0 1"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT PostingNo FROM Jobs WHERE JobID = %1").arg(invoice)), QStringLiteral("0"));
    ASSERT_EQ(view->list()->GetItemCount(), 1);
    EXPECT_EQ(view->list()->GetItemData(0), remarked);
    EXPECT_EQ(view->list()->GetItemText(0, 1), QStringLiteral("No Ship Date"));

    // Its heading lists nothing under its own caption; Post Now has no order.
    listWhileRead(0);
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("Invoices Ready-to-Post /"));
    EXPECT_EQ(view->list()->GetItemCount(), 0);
    EXPECT_EQ(view->listBar()->itemAt(view->listBar()->FindItem(30211)).state, struct_RIB_ITEM::Hidden);
}

// The jobs view keeps its own job set across commands: after a posting and
// a compaction (also a stopped one) reopened the database under it, Jobs >
// New and Copy and Paste as an Order still make their jobs, without a message.
TEST_F(ReceivablesViewTest, JobsNewAndPasteAsOrderAfterPostingAndCompaction)
{
    exec(QStringLiteral("UPDATE Customers SET AlertIf = 3 WHERE CusNo = 100"));
    SaveOptionValue(44323, 0); // a quote pasted as an order opens at once
    SaveGlobalAlertText(251, QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,")); // the job window without its walk-through
    const qint32 quote = addJob(1, 501, 0, QStringLiteral("Null"), QStringLiteral("40"), QStringLiteral("40"));
    CViewJobs jobs;
    jobs.resize(1100, 700);
    jobs.OnInitialUpdate();

    auto closeJobWindow = [&](CJobDlg &d) { return press(d, 1); };
    auto ordersOf = [&](const QString &condition) {
        return cliCount(QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobType = 0 AND CusNo = 100 AND %1").arg(condition));
    };
    auto newOrder = [&] {
        const int before = ordersOf(QStringLiteral("FromJobNo = 0"));
        onDialog<CJobNew>([](CJobNew &d) {
            d.ListChoice(CJobNew::Regular);
            d.list().FindItemByData(100, true);
            return press(d, 1);
        });
        onDialog<CJobDlg>([&](CJobDlg &d) { return closeJobWindow(d); });
        jobs.OnCommand(30100);
        EXPECT_EQ(prompts().pendingAnswers(), 0);
        EXPECT_EQ(ordersOf(QStringLiteral("FromJobNo = 0")), before + 1);
    };
    auto pasteAsOrder = [&] {
        const int before = ordersOf(QStringLiteral("FromJobNo = 501"));
        jobs.SelectTreeCode(101);
        ASSERT_GE(jobs.list()->FindItemByData(quote, true), 0);
        onDialog<CDlgOptions>([](CDlgOptions &d) { return press(d, 1); }); // "Order" is preselected
        onDialog<CJobDlg>([&](CJobDlg &d) { return closeJobWindow(d); });
        jobs.RunCommand(30111);
        EXPECT_EQ(prompts().pendingAnswers(), 0);
        EXPECT_EQ(ordersOf(QStringLiteral("FromJobNo = 501")), before + 1);
    };

    struct Reopening
    {
        const char *name;
        std::function<void()> run;
    };
    const Reopening reopenings[] = {
        {"A/R > Post Now",
         [&] {
             addJob(0, 2001, 3, QStringLiteral("#4/1/2026#"), QStringLiteral("100"), QStringLiteral("100"));
             view->SelectTreeCode(1);
             view->OnListNow();
             view->list()->SelectAll();
             prompts().answer(platform::IDYES);
             prompts().answer(platform::IDYES);
             prompts().answer(platform::IDOK);
             prompts().answer(platform::IDOK);
             view->RunCommand(30211);
             EXPECT_EQ(sqlite(QStringLiteral("SELECT JobType FROM Jobs WHERE JobNo = 2001")), QStringLiteral("3"));
         }},
        {"Compact Database",
         [&] {
             prompts().answer(platform::IDYES);
             prompts().answer(platform::IDOK);
             view->RunCommand(30573);
             EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
         }},
        {"Compact Database, stopped",
         [&] {
             prompts().answer(platform::IDOK);
             CompactDatabase(&SharedDatabase(), QString(), QString(), true, [](int done, int) { return done < 2; });
             EXPECT_EQ(prompts().lastText(), QStringLiteral("Compacting was stopped. TavrelData.mdb is unchanged."));
         }},
    };
    // A job made first leaves the view's set on it.
    newOrder();
    for (const Reopening &reopening : reopenings) {
        SCOPED_TRACE(reopening.name);
        reopening.run();
        ASSERT_TRUE(SharedDatabase().isOpen());
        const qsizetype shown = prompts().texts().size();
        newOrder();
        pasteAsOrder();
        EXPECT_EQ(prompts().texts().mid(shown), QStringList()) << prompts().texts().join(QLatin1Char('|')).toStdString();
    }
}

TEST_F(ReceivablesViewTest, WriteOffRuleDialogCancelListsNothing)
{
    addJob(3, 3001, 0, QStringLiteral("#1/1/2024#"), QStringLiteral("4.25"), QStringLiteral("4.25"));
    onDialog<CDlgGrid>([&](CDlgGrid &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("A/R"));
        EXPECT_EQ(d.m_wndProp.rowLabel(1), QStringLiteral("Balance is less than $"));
        EXPECT_EQ(d.m_wndProp.rowLabel(2), QStringLiteral("or Age is greater than (days)"));
        snapshot(d, QStringLiteral("receivables_writeoff_rule"));
        return 2;
    });
    // Credits / Details listed, a row chosen; then Write Off / Likely and
    // Cancel: the caption, count and commands tell of no rows.
    exec(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (100, 0, 5, #4/1/2026#, 1)"));
    exec(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (100, 0, 7, #4/2/2026#, 1)"));
    view->SelectTreeCode(503);
    view->OnListNow();
    ASSERT_EQ(view->list()->GetItemCount(), 2);
    view->list()->SelectItem(0);
    EXPECT_EQ(view->statusBar()->GetItemText(30262), QStringLiteral("1 of 2"));
    view->SelectTreeCode(701);
    view->OnListNow();
    EXPECT_EQ(view->list()->GetItemCount(), 0);
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("Write Off / Likely (0 listed)"));
    EXPECT_EQ(view->statusBar()->GetItemText(30262), QStringLiteral("Listed: 0   "));
    for (unsigned id : {30103u, 30330u, 30107u, 30123u})
        EXPECT_EQ(view->mainBar()->itemAt(view->mainBar()->FindItem(id)).state, struct_RIB_ITEM::Disabled) << id;
    EXPECT_EQ(view->listBar()->itemAt(view->listBar()->FindItem(30211)).state, struct_RIB_ITEM::Hidden);

    onDialog<CDlgGrid>([&](CDlgGrid &d) {
        d.m_wndProp.SetRowValue(1, 500);
        d.m_wndProp.SetRowValue(2, 365);
        return 1;
    });
    view->OnListNow();
    EXPECT_EQ(view->filterSql(), QStringLiteral("(Jobs.Balance < 5.00 or Jobs.DateShipped < #4/15/2025#)"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE AlertType = 253")),
              QStringLiteral("500,365,"));
}

// A/R > New moves to "Payments Expected" and empties the list there: the
// rows, caption and "Post Now..." of the ready-to-post list go with it.
TEST_F(ReceivablesViewTest, NewPaymentEmptiesTheListUnderPaymentsExpected)
{
    addJob(0, 1001, 3, QStringLiteral("#4/1/2026#"), QStringLiteral("100"), QStringLiteral("100"));
    view->SelectTreeCode(1);
    view->OnListNow();
    ASSERT_EQ(view->list()->GetItemCount(), 1);
    EXPECT_EQ(view->listBar()->GetItemText(30211), QStringLiteral("Post Now..."));
    bool pickerAsked = false;
    onDialog<CDlgList>([&](CDlgList &picker) {
        pickerAsked = true;
        EXPECT_EQ(picker.m_strRibbonTitle, QStringLiteral("New Payment From"));
        // The list behind the picker is already the emptied one.
        EXPECT_EQ(view->list()->GetItemCount(), 0);
        return 2;
    });
    prompts().answer(platform::IDOK); // the picker's finder is not installed here
    prompts().answer(platform::IDNO); // Do you want to select a customer?
    view->RunCommand(30100);
    EXPECT_TRUE(pickerAsked);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to select a customer?"));
    EXPECT_EQ(view->list()->GetItemCount(), 0);
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("Payments Expected / (0 listed)"));
    EXPECT_EQ(view->statusBar()->GetItemText(30262), QStringLiteral("Listed: 0   "));
    EXPECT_EQ(view->listBar()->itemAt(view->listBar()->FindItem(30211)).state, struct_RIB_ITEM::Hidden);
    EXPECT_EQ(view->mainBar()->itemAt(view->mainBar()->FindItem(30103)).state, struct_RIB_ITEM::Disabled);
}

TEST_F(ReceivablesViewTest, CreditDetailsOpenAndAgingBuckets)
{
    exec(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (100, 0, 5, #4/1/2026#, 1)"));
    view->SelectTreeCode(503);
    view->OnListNow();
    if (view->list()->GetItemCount() > 0) {
        view->list()->SelectAll();
        prompts().answer(platform::IDOK);
        view->RunCommand(30103);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("There's no other information about this credit."));
    }
    addJob(3, 4001, 0, QStringLiteral("#2/15/2026#"), QStringLiteral("10"), QStringLiteral("10")); // 59 days
    addJob(3, 4002, 0, QStringLiteral("#4/15/2026#"), QStringLiteral("20"), QStringLiteral("20")); // today
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, CViewAR::AgingSql());
    QStringList buckets;
    for (; !rs.isEOF(); rs.moveNext())
        buckets << rs.value(0).toString() + QLatin1Char('=') + QString::number(rs.value(1).toMoney().toDouble());
    EXPECT_EQ(buckets, (QStringList{QStringLiteral("0 =20"), QStringLiteral("30 =10")}));

    // The summary is a button of the view's main bar, always offered.
    const int summary = view->mainBar()->FindItem(30536);
    ASSERT_GE(summary, 0);
    EXPECT_EQ(view->mainBar()->GetItemText(30536), QStringLiteral("Summary"));
    EXPECT_EQ(view->mainBar()->itemAt(summary).state, struct_RIB_ITEM::Normal);
    EXPECT_EQ(view->mainBar()->GetItemId(summary - 1), 30103u);
    bool shown = false;
    onDialog<CDlgGrid>([&](CDlgGrid &d) {
        shown = true;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Summary of Invoices"));
        return 1;
    });
    view->RunCommand(30536);
    EXPECT_TRUE(shown);
}

#include "customers/CCreditDlg.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

TEST_F(ReceivablesViewTest, CreditDialogFloorZeroAndCancel)
{
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 50 WHERE CusNo = 100"));
    exec(QStringLiteral("DELETE FROM Properties WHERE ID = 207"));
    exec(QStringLiteral("INSERT INTO Properties (ID, Type, Text) VALUES (207, 0, 'Goodwill')"));
    InstallCreditDialog();
    // Cancel writes nothing.
    onDialog<CCreditDlg>([](CCreditDlg &d) { return press(d, 2); });
    EXPECT_FALSE(customerHooks().creditDialog(100, nullptr));
    // A zero adjustment is refused; -80.00 becomes -50.00 and is saved.
    onDialog<CCreditDlg>([&](CCreditDlg &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Credit - Acme Printing Buyers"));
        EXPECT_EQ(d.currentLabel()->text(), QStringLiteral("50.00 "));
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("You need to enter an adjustment amount"));
        // Within what is due the adjustment stays as typed.
        d.adjustmentEdit()->setText(QStringLiteral("-20"));
        emit d.adjustmentEdit()->editingFinished();
        EXPECT_EQ(d.adjustmentEdit()->text(), QStringLiteral("-20.00"));
        EXPECT_EQ(d.newLabel()->text(), QStringLiteral("30.00 "));
        d.adjustmentEdit()->setText(QStringLiteral("-80"));
        emit d.adjustmentEdit()->editingFinished();
        EXPECT_EQ(d.adjustmentEdit()->text(), QStringLiteral("-50.00"));
        EXPECT_EQ(d.newLabel()->text(), QStringLiteral("0.00 "));
        d.reasonList()->setCurrentIndex(d.reasonList()->findData(207));
        snapshot(d, QStringLiteral("receivables_credit_dialog"));
        return press(d, 1);
    });
    EXPECT_TRUE(customerHooks().creditDialog(100, nullptr));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, JobNo, ReasonID FROM Credits")), QStringLiteral("-50|0|207"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")), QStringLiteral("0"));
    customerHooks().creditDialog = nullptr;
}

#include "controls/DlgItem.h"
#include "customers/CArPayment.h"

#include <QtTest/QTest>
#include <QtWidgets/QTreeWidget>

TEST_F(ReceivablesViewTest, PaymentDialogAppliesAndSavesWithItsQuestions)
{
    addJob(3, 8001, 0, QStringLiteral("#3/1/2026#"), QStringLiteral("80"), QStringLiteral("80"));
    addJob(3, 8002, 0, QStringLiteral("#3/2/2026#"), QStringLiteral("80"), QStringLiteral("80"));
    exec(QStringLiteral("UPDATE Customers SET Address = '5 Elm St', City = 'Salem', State = 'OR', Zip = '97301' "
                        "WHERE CusNo = 100"));
    // The buyer who ordered an invoice and the customer's payer, by name.
    exec(QStringLiteral("INSERT INTO Contacts (ContactNo, CusNo, First, Last, Email, Phone, Type) "
                        "VALUES (7, 100, 'Ann', 'Lee', 'ann@example.com', '555-0101', 0)"));
    exec(QStringLiteral("UPDATE Jobs SET BuyerNo = 7 WHERE JobNo = 8001"));
    exec(QStringLiteral("UPDATE Customers SET PayerNo = 7 WHERE CusNo = 100"));
    onDialog<CArPayment>([&](CArPayment &d) {
        EXPECT_EQ(d.invoiceList()->topLevelItemCount(), 2);
        EXPECT_EQ(d.invoiceList()->topLevelItem(0)->text(2), QStringLiteral("Ann Lee"));
        EXPECT_EQ(d.invoiceList()->topLevelItem(1)->text(2), QString());
        EXPECT_EQ(d.customerRibbon().GetItemTip(30412),
                  QStringLiteral("Ann Lee\nann@example.com\nPh1: 555-0101\nPh2: \nCell: \nFax:"));
        // The customer paying, by name, above its address.
        EXPECT_EQ(d.customerRibbon().GetItemTip(30407), QStringLiteral("Acme Printing Buyers\n5 Elm St\nSalem OR 97301"));
        // No currency, or too large for one: said once, the amount stays and
        // the typed text waits, selected, to be typed over.
        d.amountEdit()->setText(QStringLiteral("50"));
        emit d.amountEdit()->editingFinished();
        for (const char *bad : {"abc", "99999999999999999"}) {
            prompts().clear();
            prompts().answer(platform::IDOK);
            d.amountEdit()->setText(QString::fromLatin1(bad));
            emit d.amountEdit()->editingFinished();
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("Amount: ")
                                  + (QByteArray(bad) == "abc" ? QStringLiteral("Please enter a currency.")
                                                              : QStringLiteral("Please enter an amount from "
                                                                               "-100,000,000,000.00 to "
                                                                               "100,000,000,000.00."))})
                << bad;
            EXPECT_EQ(d.amountEdit()->text(), QString::fromLatin1(bad));
            EXPECT_EQ(d.amountEdit()->selectedText(), QString::fromLatin1(bad));
            EXPECT_EQ(GetDlgItem(&d, 1304)->property("text").toString(), QStringLiteral("50.00")) << bad;
        }
        d.amountEdit()->setText(QStringLiteral("50"));
        emit d.amountEdit()->editingFinished();
        // Nothing refused reached the file.
        EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Payments")), 0);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Balance FROM Jobs WHERE JobNo IN (8001, 8002) ORDER BY JobNo")),
                  QStringLiteral("80\n80"));
        // Applied, Remains and Account Balance are worked out: they take no
        // typing and no Tab stop; a click selects, typing changes nothing.
        for (unsigned id : {1303u, 1304u, 1305u}) {
            auto *shown = qobject_cast<QLineEdit *>(GetDlgItem(&d, id));
            EXPECT_TRUE(shown->isReadOnly()) << id;
            EXPECT_FALSE(shown->focusPolicy() & Qt::TabFocus) << id;
            const QString was = shown->text();
            QTest::mouseClick(shown, Qt::LeftButton);
            QTest::keyClicks(shown, QStringLiteral("123"));
            EXPECT_EQ(shown->text(), was) << id;
        }
        d.amountEdit()->setText(QStringLiteral("120"));
        emit d.amountEdit()->editingFinished();
        d.ApplyRow(0, false);
        d.ApplyRow(1, false);
        EXPECT_EQ(d.invoiceList()->topLevelItem(1)->text(6), QStringLiteral("40.00"));
        snapshot(d, QStringLiteral("receivables_payment_dialog"));
        d.SendCommand(30443);
        return 2;
    });
    view->SelectTreeCode(301);
    view->OpenPayment(100);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, '[' || Appliedto || ']' FROM Payments")), QStringLiteral("120|[8001 8002 ]"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Balance FROM Jobs WHERE JobNo = 8002")), QStringLiteral("40"));

    // Closing with a typed, unsaved amount asks; No drops it.
    onDialog<CArPayment>([&](CArPayment &d) {
        d.ApplyRow(0, false);
        prompts().answer(platform::IDNO);
        d.SendCommand(2);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Save the payment?"));
        return 2;
    });
    view->OpenPayment(100);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Payments")), 1);

    // A customer without unpaid invoices: the advance-payment question.
    addCustomer(200, QStringLiteral("Bright Signs"));
    prompts().answer(platform::IDNO);
    view->OpenPayment(200);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Bright Signs has no balance!\nIs this an advance payment?"));
}

#include "views/CDlgList.h"
#include "views/CNoteDlg.h"

#include <QtWidgets/QDateEdit>
#include <QtWidgets/QPlainTextEdit>

TEST_F(ReceivablesViewTest, AnAmountCorrectedAfterARefusalIsTheOneSaved)
{
    // Amount 10 and Tab, "abc" and Tab (refused), 50 typed over it, then Save
    // & Close: the 50 the field shows is saved, whether or not the field was
    // left again first.
    addCustomer(200, QStringLiteral("Bright Signs"));
    for (const bool leftAgain : {false, true}) {
        exec(QStringLiteral("DELETE FROM Payments"));
        exec(QStringLiteral("DELETE FROM Credits"));
        prompts().clear();
        onDialog<CArPayment>([&](CArPayment &d) {
            QLineEdit *amount = d.amountEdit();
            amount->setText(QStringLiteral("10"));
            emit amount->editingFinished();
            prompts().answer(platform::IDOK);
            amount->setText(QStringLiteral("abc"));
            emit amount->editingFinished();
            amount->setText(QStringLiteral("50"));
            if (leftAgain)
                emit amount->editingFinished();
            prompts().answer(platform::IDYES);
            prompts().answer(platform::IDOK); // "Credit $50.00 is saved."
            d.SendCommand(30443);
            return d.result();
        });
        prompts().answer(platform::IDYES); // an advance payment
        view->OpenPayment(200);
        EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Credit the customer's account by $50.00?")))
            << prompts().texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount FROM Payments")), QStringLiteral("50")) << leftAgain;
    }
}

// A payment of the largest amount a money field holds is saved as confirmed;
// one cent past it (or a third decimal) is refused naming the field, the
// text refused left selected to be typed over (never stored a cent off).
TEST_F(ReceivablesViewTest, APaymentAtTheLargestAmountIsSavedAsConfirmed)
{
    addCustomer(201, QStringLiteral("Tall Orders"));
    onDialog<CArPayment>([&](CArPayment &d) {
        QLineEdit *amount = d.amountEdit();
        const struct
        {
            const char *typed;
            const char *shown;
            const char *message;
        } rows[] = {
            {"100,000,000,000.01", "100,000,000,000.01",
             "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."},
            {"99999999999999.99", "99999999999999.99",
             "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."},
            {"12.345", "12.345", "Please enter an amount with at most 2 decimals."},
            {"100,000,000,000", "100000000000.00", nullptr},
        };
        for (const auto &row : rows) {
            SCOPED_TRACE(row.typed);
            prompts().clear();
            if (row.message)
                prompts().answer(platform::IDOK);
            amount->setFocus();
            amount->selectAll();
            QTest::keyClicks(amount, QString::fromLatin1(row.typed));
            emit amount->editingFinished();
            EXPECT_EQ(amount->text(), QString::fromLatin1(row.shown));
            if (row.message)
                EXPECT_TRUE(prompts().lastText().endsWith(QStringLiteral(": ") + QString::fromLatin1(row.message)))
                    << prompts().lastText().toStdString();
            else
                EXPECT_TRUE(prompts().texts().isEmpty());
        }
        prompts().clear();
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        d.SendCommand(30443);
        return d.result();
    });
    prompts().answer(platform::IDYES); // an advance payment
    view->OpenPayment(201);
    EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Credit $100000000000.00 is saved.")))
        << prompts().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f', Amount) FROM Payments")),
              QStringLiteral("100000000000.0000"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f', CreditDue) FROM Customers WHERE CusNo = 201")),
              QStringLiteral("100000000000.0000"));
}

TEST_F(ReceivablesViewTest, APartialPaymentIsReadWholeOrRefusedAndAskedForAgainAsTyped)
{
    addJob(3, 8001, 0, QStringLiteral("#3/1/2026#"), QStringLiteral("80"), QStringLiteral("80"));
    const char *currency = "Partial Payment: Please enter a currency.";
    const char *above = "Partial Payment: Please enter an amount above 0.";
    // An amount in cents: a third decimal is refused, never rounded, and so
    // is an amount past the largest a money field holds.
    const char *cents = "Partial Payment: Please enter an amount with at most 2 decimals.";
    const char *bound = "Partial Payment: Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00.";
    struct Case
    {
        const char *typed;
        const char *applied; // null: refused
        const char *refusal;
    };
    const Case cases[] = {
        {"25.5", "25.50", nullptr},   {"$50", "50.00", nullptr}, {"1,00", nullptr, currency},
        {"12.5abc", nullptr, currency}, {"12.34567", nullptr, cents}, {"", nullptr, currency},
        {"12.3456", nullptr, cents},
        {"12.345", nullptr, cents},     {"100,000,000,000.01", nullptr, bound}, {"99999999999999.99", nullptr, bound},
        {"-5", nullptr, above},       {"0", nullptr, above},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        prompts().clear();
        onDialog<CArPayment>([&](CArPayment &d) {
            const QString before = d.invoiceList()->topLevelItem(0)->text(6);
            onDialog<CDlgData>([&](CDlgData &e) {
                EXPECT_EQ(e.m_strValue, QStringLiteral("80.00"));
                EXPECT_EQ(e.m_strRibbonTitle, QStringLiteral("Partial Payment for Invoice No 8001"));
                e.edit()->setText(QString::fromLatin1(c.typed));
                e.SendCommand(1);
                return e.result();
            });
            if (c.refusal) {
                prompts().answer(platform::IDOK);
                // Asked again with the text as typed; Cancel applies nothing.
                onDialog<CDlgData>([&](CDlgData &e) {
                    EXPECT_EQ(e.m_strValue, QString::fromLatin1(c.typed));
                    e.SendCommand(2);
                    return e.result();
                });
            }
            d.ApplyRow(0, true);
            EXPECT_EQ(prompts().texts(), c.refusal ? QStringList{QString::fromLatin1(c.refusal)} : QStringList());
            EXPECT_EQ(d.invoiceList()->topLevelItem(0)->text(6), c.applied ? QString::fromLatin1(c.applied) : before);
            if (c.applied)
                prompts().answer(platform::IDNO); // "Save the payment?"
            d.SendCommand(2);
            return 2;
        });
        view->OpenPayment(100);
    }
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Payments")), 0);
}

TEST_F(ReceivablesViewTest, PaymentWindowMovesThroughTheListOfCustomers)
{
    addJob(3, 8201, 0, QStringLiteral("#3/1/2026#"), QStringLiteral("80"), QStringLiteral("80"));
    addCustomer(200, QStringLiteral("Bright Signs"));
    exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo, Subtotal, Balance, DateShipped, DatePayDue) "
                        "VALUES (3, 8202, 'Signs', 200, 50, 50, #3/2/2026#, #4/1/2026#)"));
    view->SelectTreeCode(301);
    view->OnCommand(30401);
    ASSERT_EQ(view->list()->GetItemCount(), 2);
    QList<qint32> seen;
    onDialog<CArPayment>([&](CArPayment &d) {
        seen << d.customerNo();
        d.SendCommand(59649); // last
        seen << d.customerNo();
        d.SendCommand(59648); // first
        seen << d.customerNo();
        return 2;
    });
    view->list()->SelectItem(0);
    view->OpenPayment(qint32(view->list()->GetItemData(0)));
    ASSERT_EQ(seen.size(), 3);
    EXPECT_NE(seen[0], seen[1]);
    EXPECT_EQ(seen[0], seen[2]);
    EXPECT_EQ(QList<qint32>({seen[0], seen[1]}).contains(200), true);
}

TEST_F(ReceivablesViewTest, PaymentWindowCommandsAndItsDate)
{
    addJob(3, 8101, 0, QStringLiteral("#3/1/2026#"), QStringLiteral("80"), QStringLiteral("80"));
    exec(QStringLiteral("INSERT INTO Payments ([Date], Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto) "
                        "VALUES (#2/1/2026#, 25, 100, 2, 0, 'Cheque 12', '8000 ')"));
    onDialog<CArPayment>([&](CArPayment &d) {
        // The ribbon's commands in their order.
        QList<unsigned> ids;
        for (int i = 0; i < d.commandRibbon().GetItemCount(); ++i)
            if (d.commandRibbon().GetItemId(i) != 0)
                ids << d.commandRibbon().GetItemId(i);
        // From a list of customers ("Payments Expected") the window moves
        // through the list.
        EXPECT_EQ(ids, QList<unsigned>({30100, 30213, 30441, 30443, 30598, 30415, 30536, 30537, 30330, 2, 59648, 59651,
                                        59650, 59649}));
        EXPECT_EQ(d.customerRibbon().GetItemTip(30263), QString());
        // The customer billed is named in the window, above its address.
        EXPECT_EQ(d.billToPanel().GetItemText(30407), QStringLiteral("Bill to Customer No.100"));
        EXPECT_TRUE(d.billToPanel().GetItemTip(30407).startsWith(QStringLiteral("Acme Printing Buyers")))
            << d.billToPanel().GetItemTip(30407).toStdString();
        EXPECT_TRUE(d.billToPanel().isVisible());
        // The payment history of the customer.
        onDialog<CDlgList>([](CDlgList &list) {
            EXPECT_EQ(list.m_strRibbonTitle, QStringLiteral("Payment History"));
            EXPECT_TRUE(list.m_strSource.contains(QStringLiteral("WHERE Payments.CusNo = 100 ORDER BY Payments.Date DESC")));
            return 2;
        });
        d.SendCommand(30537);
        // The customer's note is edited and kept.
        onDialog<CNoteDlg>([](CNoteDlg &note) {
            note.edit()->setPlainText(QStringLiteral("Pays on Fridays"));
            note.m_strNote = QStringLiteral("Pays on Fridays");
            return int(IDOK_RESULT);
        });
        d.SendCommand(30263);
        EXPECT_EQ(d.customerRibbon().GetItemTip(30263), QStringLiteral("Pays on Fridays"));
        // View Job: the job window knows it was opened from the receivables
        // side, so its totals edit the late fee, payments and write-off.
        d.invoiceList()->setCurrentItem(d.invoiceList()->topLevelItem(0));
        onDialog<CJobDlg>([&](CJobDlg &job) {
            onDialog<CJobBalance>([&](CJobBalance &totals) {
                for (unsigned id : {1308u, 1309u, 1310u})
                    EXPECT_TRUE(totals.edit(id)->isEnabled()) << id;
                return press(totals, 2);
            });
            job.SendCommand(30525);
            prompts().answer(platform::IDNO); // nothing changed is kept
            return press(job, 2);
        });
        d.SendCommand(30598);
        // The payment is dated as picked.
        d.dateEdit()->setDate(QDate(2026, 3, 20));
        d.ApplyRow(0, false);
        d.SendCommand(30443);
        return 2;
    });
    view->SelectTreeCode(301);
    view->OpenPayment(100);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Memo FROM Customers WHERE CusNo = 100")), QStringLiteral("Pays on Fridays"));
    // Dates are day numbers: 3/20/2026 is 47 days after 2/1/2026.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT (SELECT [Date] FROM Payments WHERE Amount = 80) - "
                                    "(SELECT [Date] FROM Payments WHERE Amount = 25)")),
              QStringLiteral("47"));
}

#include "customers/CCusSummary.h"

TEST_F(ReceivablesViewTest, APaymentKeepsWhatWasEnteredAcrossTheWindowsItOpens)
{
    addJob(3, 8301, 0, QStringLiteral("#3/1/2026#"), QStringLiteral("80"), QStringLiteral("80"));
    addJob(3, 8302, 0, QStringLiteral("#3/2/2026#"), QStringLiteral("60"), QStringLiteral("60"));
    const auto typeInto = [](QLineEdit *e, const QString &text) {
        e->setFocus();
        e->setText(text);
        emit e->textEdited(text);
        emit e->editingFinished();
    };
    const auto shown = [](CArPayment &d, unsigned id) {
        return GetDlgItem(&d, id)->property("text").toString();
    };
    const auto applied = [](CArPayment &d, int row) { return d.invoiceList()->topLevelItem(row)->text(6); };

    // A cheque of 40.00 applied to 8301, with its date and reference; then
    // View Job, Customer Summary, Payment History and Edit Job Totals (a late
    // fee of 5.00 on 8302): the payment stays as entered through each. The
    // reference is typed one letter past its column (30): it stops there.
    const QString reference = QStringLiteral("Cheque 501 drawn on First Bank");
    onDialog<CArPayment>([&](CArPayment &d) {
        d.dateEdit()->setDate(QDate(2026, 3, 20));
        GetDlgItem(&d, 1301)->setFocus();
        QTest::keyClicks(GetDlgItem(&d, 1301), reference + QLatin1Char('!'));
        d.amountEdit()->setText(QStringLiteral("40"));
        emit d.amountEdit()->editingFinished();
        d.ApplyRow(0, false);
        EXPECT_EQ(applied(d, 0), QStringLiteral("40.00"));
        const auto unchanged = [&](const char *after) {
            EXPECT_EQ(d.amountEdit()->text(), QStringLiteral("40.00")) << after;
            EXPECT_EQ(applied(d, 0), QStringLiteral("40.00")) << after;
            EXPECT_EQ(d.invoiceList()->topLevelItem(0)->text(7), QStringLiteral("40.00")) << after;
            EXPECT_EQ(shown(d, 1303), QStringLiteral("40.00")) << after;
            EXPECT_EQ(shown(d, 1304), QStringLiteral("0.00")) << after;
            EXPECT_EQ(shown(d, 1301), reference) << after;
            EXPECT_EQ(d.dateEdit()->date(), QDate(2026, 3, 20)) << after;
        };
        d.invoiceList()->setCurrentItem(d.invoiceList()->topLevelItem(0));
        onDialog<CJobDlg>([&](CJobDlg &job) { return press(job, 2); });
        prompts().answer(platform::IDNO); // the job window's question, answered No
        d.SendCommand(30598);
        unchanged("View Job");
        EXPECT_EQ(shown(d, 1305), QStringLiteral("100.00"));
        onDialog<CCusSummary>([](CCusSummary &summary) { return press(summary, 2); });
        d.SendCommand(30536);
        unchanged("Customer Summary");
        onDialog<CDlgList>([](CDlgList &) { return 2; });
        d.SendCommand(30537);
        unchanged("Payment History");
        d.invoiceList()->setCurrentItem(d.invoiceList()->topLevelItem(1));
        onDialog<CJobBalance>([&](CJobBalance &totals) {
            typeInto(totals.edit(1308), QStringLiteral("5"));
            return press(totals, 1);
        });
        d.SendCommand(30415);
        unchanged("Edit Job Totals");
        // The new balance of 8302 is read, and it stays highlighted.
        EXPECT_EQ(d.invoiceList()->topLevelItem(1)->text(5), QStringLiteral("65.00"));
        EXPECT_EQ(shown(d, 1305), QStringLiteral("105.00"));
        EXPECT_EQ(d.invoiceList()->currentItem(), d.invoiceList()->topLevelItem(1));
        prompts().clear();
        d.SendCommand(30443);
        // Nothing is left over to credit: no question.
        EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
        return d.result();
    });
    view->SelectTreeCode(301);
    view->OpenPayment(100);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, Reference, '[' || Appliedto || ']' FROM Payments")),
              QStringLiteral("40|%1|[8301 ]").arg(reference));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo, Amount FROM PayApplied")), QStringLiteral("8301|40"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Balance FROM Jobs WHERE JobNo IN (8301, 8302) ORDER BY JobNo")),
              QStringLiteral("40\n65"));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Credits")), 0);

    // Without a typed Amount, 8302 paid in full by a click (65.00); Edit Job
    // Totals then records 25.00 paid elsewhere: it owes 40.00, so 40.00 is
    // applied and the Amount follows.
    onDialog<CArPayment>([&](CArPayment &d) {
        d.ApplyRow(1, false);
        EXPECT_EQ(applied(d, 1), QStringLiteral("65.00"));
        EXPECT_EQ(d.amountEdit()->text(), QStringLiteral("65.00"));
        d.invoiceList()->setCurrentItem(d.invoiceList()->topLevelItem(1));
        onDialog<CJobBalance>([&](CJobBalance &totals) {
            typeInto(totals.edit(1309), QStringLiteral("-25"));
            return press(totals, 1);
        });
        d.SendCommand(30415);
        EXPECT_EQ(d.invoiceList()->topLevelItem(1)->text(5), QStringLiteral("40.00"));
        EXPECT_EQ(applied(d, 1), QStringLiteral("40.00"));
        EXPECT_EQ(d.invoiceList()->topLevelItem(1)->text(7), QStringLiteral("0.00"));
        EXPECT_EQ(d.amountEdit()->text(), QStringLiteral("40.00"));
        EXPECT_EQ(shown(d, 1303), QStringLiteral("40.00"));
        EXPECT_EQ(shown(d, 1304), QStringLiteral("0.00"));
        EXPECT_EQ(shown(d, 1305), QStringLiteral("40.00"));
        prompts().answer(platform::IDNO);
        d.SendCommand(2);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Save the payment?"));
        return 2;
    });
    view->OpenPayment(100);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Payments")), 1);
}
