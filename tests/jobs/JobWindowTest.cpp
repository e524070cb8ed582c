#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "controls/DlgItem.h"
#include "data/CJobSet.h"
#include "jobs/CJobDlg.h"
#include "jobs/JobHooks.h"
#include "platform/Settings.h"
#include "views/CDlgOptions.h"
#include "views/CNoteDlg.h"
#include "views/CDlgData.h"
#include <QtWidgets/QLineEdit>
#include "jobs/CJobWhen.h"
#include "app/base/Menus.h"

#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPlainTextEdit>

#include <QtCore/QObject>
#include <QtCore/QTimer>

namespace {

class JobWindow : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        // No opening check unless a test asks for it.
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
    }
    void TearDown() override
    {
        GetJobHooks() = JobHooks();
        JobsTest::TearDown();
    }

    // Runs the job window on the job, positioned for edit as the jobs view
    // positions it; the handler drives it and gives its answer.
    int run(qint32 jobId, std::function<int(CJobDlg &)> handler, bool preview = false, bool withReceiver = true,
            CXListCtrl *list = nullptr)
    {
        job = std::make_unique<CJobSet>();
        EXPECT_TRUE(job->FindById(jobId, !preview));
        CJobDlg window(job.get(), preview, list, nullptr);
        if (withReceiver)
            window.SetResultReceiver(&receiver);
        if (handler)
            onDialog<CJobDlg>(handler);
        return window.DoModal();
    }
    static int press(CJobDlg &d, int id)
    {
        d.SendCommand(id);
        return d.result();
    }
    qint32 order(qint32 jobNo = 1001)
    {
        const qint32 id = addJob(0, jobNo,
                                 QStringLiteral("Title, DateIn, DateDue, CSRNo, ShiptoNo, BuyerNo, Subtotal, Balance, "
                                                "TermsNo, ViaDue"),
                                 QStringLiteral("'Business cards', #6/10/2024#, #6/14/2024#, 3, 4, 7, 150, 150, 1, 1"));
        addItem(id, 1, QStringLiteral("Business cards 2 sided"), "100");
        addItem(id, 2, QStringLiteral("Letterhead"), "50");
        return id;
    }

    QObject receiver;
    std::unique_ptr<CJobSet> job;
};

} // namespace

TEST_F(JobWindow, BarsFollowTheJobType)
{
    struct Case
    {
        int type;
        bool sameBuyer, schedule, inventory, labels, edit;
    };
    const Case cases[] = {{0, true, true, true, true, false},
                          {1, true, false, false, false, false},
                          {2, true, false, false, false, false},
                          {3, false, false, false, false, true}};
    for (const Case &c : cases) {
        const qint32 id = addJob(c.type, 500 + c.type);
        run(id, [&](CJobDlg &d) {
            CXRibbon &bar = d.jobBar();
            EXPECT_EQ(present(bar, 30599), c.sameBuyer) << c.type;
            EXPECT_EQ(present(bar, 30270), c.schedule) << c.type;
            EXPECT_EQ(present(bar, 30745), c.inventory) << c.type;
            EXPECT_EQ(present(bar, 30170), c.labels) << c.type;
            EXPECT_EQ(present(bar, 30103), c.edit) << c.type;
            EXPECT_TRUE(present(bar, 30330));
            EXPECT_EQ(d.jobBar().GetItemText(30599).isEmpty(), !c.sameBuyer);
            return press(d, 2);
        });
    }
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(JobWindow, OrderShowsItsPanels)
{
    const qint32 id = order();
    exec(QStringLiteral("UPDATE Jobs SET WOrderNote = 'Use the blue stock', InvoiceNote = 'Thank you' WHERE JobID = %1")
             .arg(id));
    run(id, [&](CJobDlg &d) {
        EXPECT_FALSE(d.isPreview());
        EXPECT_EQ(d.hue(), 120);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Order (Work Order Printed: 0  Invoice Printed: 0)"));
        EXPECT_EQ(d.recordBar().GetItemText(30281), QStringLiteral("Order"));
        EXPECT_EQ(d.recordBar().GetItemText(30282), QStringLiteral("Business cards"));
        EXPECT_EQ(d.recordBar().GetItemText(30283), QStringLiteral("1001"));
        EXPECT_EQ(d.recordBar().GetItemText(30526), QStringLiteral("In Progress"));
        EXPECT_EQ(d.partiesBar().GetItemText(30407), QStringLiteral("Bill to Customer No.100"));
        // The company billed, by name, above its address.
        EXPECT_TRUE(d.partiesBar().GetItemTip(30407).startsWith(QStringLiteral("Acme Printing Co\n12 Mill Road\nSpringfield IL")));
        EXPECT_TRUE(d.partiesBar().GetItemTip(30408).contains(QStringLiteral("Acme Warehouse")));
        EXPECT_TRUE(d.partiesBar().GetItemTip(30411).contains(QStringLiteral("Dana")));
        EXPECT_TRUE(d.partiesBar().GetItemTip(30406).startsWith(
            QStringLiteral("In\t06/10/2024\nDue\t06/14/2024   \nShip by\t")));
        EXPECT_TRUE(d.partiesBar().GetItemTip(30406).contains(QStringLiteral("CSR\tCarla\nStatus\tIn Progress")));
        EXPECT_EQ(d.notesBar().GetItemTip(30263), QStringLiteral("Use the blue stock"));
        EXPECT_EQ(d.notesBar().GetItemTip(30264), QStringLiteral("Thank you"));
        EXPECT_EQ(d.notesBar().GetItemText(30415), QStringLiteral("Balance Due"));
        EXPECT_TRUE(d.notesBar().GetItemTip(30525).contains(QStringLiteral("\u00B7 150.00\n")));
        EXPECT_EQ(d.itemCount(), 2);
        // Item 1, its service, item 2.
        EXPECT_TRUE(d.itemList().GetItemText(2, 1).startsWith(QStringLiteral("Letterhead")))
            << d.itemList().GetItemText(2, 1).toStdString();
        // Editable with a receiver: the bars are enabled.
        EXPECT_TRUE(enabled(d.jobBar(), 30100));
        EXPECT_TRUE(enabled(d.itemsBar(), 30632));
        EXPECT_TRUE(enabled(d.notesBar(), 30415));
        snapshot(d, QStringLiteral("order"));
        return press(d, 2);
    });
}

TEST_F(JobWindow, ResultCommandsSaveFirstAndEndWithTheirIds)
{
    const qint32 id = order();
    const int result = run(id, [&](CJobDlg &d) {
        d.job()->m_Title = QStringLiteral("Cards for Dana");
        return press(d, 30442);
    });
    EXPECT_EQ(result, 30111);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Title FROM Jobs WHERE JobID = %1").arg(id)).toString(),
              QStringLiteral("Cards for Dana"));
    EXPECT_EQ(run(id, [&](CJobDlg &d) { return press(d, 30283); }), 30609);

    // Without a customer nothing is saved and the window stays.
    run(id, [&](CJobDlg &d) {
        d.job()->m_CusNo = 0;
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_EQ(press(d, 30100), 0);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Missing Company Name"));
        d.job()->m_CusNo = 100;
        return press(d, 30100);
    });
}

TEST_F(JobWindow, HistoryJobOpensInPreviewAndEditAsksItsRightOnce)
{
    usePasswords();
    const qint32 id = addJob(3, 1002, QStringLiteral("Title, Subtotal, Balance, WOrderPrinted, InvoicePrinted"),
                             QStringLiteral("'Posted cards', 0, 0, 1, 2"));
    run(id, [&](CJobDlg &d) {
        EXPECT_TRUE(d.isPreview());
        EXPECT_EQ(d.hue(), 1);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("History (Work Order Printed: 1  Invoice Printed: 2)"));
        EXPECT_EQ(d.recordBar().GetItemText(30526), QStringLiteral("In History"));
        EXPECT_TRUE(enabled(d.jobBar(), 30103));
        EXPECT_FALSE(enabled(d.jobBar(), 30100));
        EXPECT_FALSE(enabled(d.itemsBar(), 30361));
        EXPECT_TRUE(enabled(d.itemsBar(), 30362));
        EXPECT_FALSE(enabled(d.partiesBar(), 30408));
        EXPECT_TRUE(enabled(d.partiesBar(), 30406));
        snapshot(d, QStringLiteral("history-preview"));
        press(d, 30103);
        EXPECT_EQ(passwordsAsked, 1);
        EXPECT_FALSE(d.isPreview());
        EXPECT_EQ(d.hue(), 360);
        EXPECT_TRUE(enabled(d.itemsBar(), 30361));
        EXPECT_TRUE(enabled(d.partiesBar(), 30408));
        press(d, 30103);
        EXPECT_TRUE(d.isPreview());
        press(d, 30103);
        EXPECT_FALSE(d.isPreview());
        EXPECT_EQ(passwordsAsked, 1);
        return press(d, 2);
    });
}

TEST_F(JobWindow, CreditInvoiceShowsCreditOnTheCreditHue)
{
    const qint32 id = addJob(3, -1003, QStringLiteral("Title, Subtotal, Balance, Creator"),
                             QStringLiteral("'Credit for 1003', -40, 0, 99"));
    run(id, [&](CJobDlg &d) {
        EXPECT_TRUE(d.isPreview());
        EXPECT_EQ(d.typeLabel(), QStringLiteral("Credit"));
        EXPECT_EQ(d.recordBar().GetItemText(30281), QStringLiteral("Credit"));
        EXPECT_EQ(d.recordBar().colorSchemeHue(), 300);
        EXPECT_FALSE(enabled(d.jobBar(), 30103));
        EXPECT_FALSE(enabled(d.jobBar(), 30442));
        EXPECT_EQ(d.notesBar().GetItemText(30415), QStringLiteral("Balance Due"));
        EXPECT_EQ(d.notesBar().GetItemText(30525), QStringLiteral("Job Totals"));
        snapshot(d, QStringLiteral("credit-invoice"));
        return press(d, 2);
    });
}

TEST_F(JobWindow, WithoutAResultReceiverTheJobAndRecordBarsAreDisabled)
{
    const qint32 id = order();
    run(
        id,
        [&](CJobDlg &d) {
            for (unsigned cmd : {30100u, 30599u, 30442u, 30270u, 30330u, 30107u})
                EXPECT_FALSE(enabled(d.jobBar(), cmd)) << cmd;
            EXPECT_TRUE(enabled(d.jobBar(), 2));
            EXPECT_FALSE(enabled(d.recordBar(), 30283));
            EXPECT_TRUE(enabled(d.partiesBar(), 30411));
            return press(d, 2);
        },
        false, false);

    // Opened by its id from anywhere: a preview that saves nothing.
    onDialog<CJobDlg>([&](CJobDlg &d) {
        EXPECT_TRUE(d.isPreview());
        EXPECT_FALSE(enabled(d.jobBar(), 30100));
        EXPECT_FALSE(enabled(d.partiesBar(), 30411));
        d.job()->m_Title = QStringLiteral("Not saved");
        EXPECT_TRUE(d.CheckAndSave(1));
        return press(d, 2);
    });
    app->OpenJob(id);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Title FROM Jobs WHERE JobID = %1").arg(id)).toString(),
              QStringLiteral("Business cards"));
    // No lock row was taken.
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")).toInt(), 0);
    app->OpenJob(0);
    app->OpenJob(987654);
    EXPECT_TRUE(prompts().texts().isEmpty());
}

TEST_F(JobWindow, CsrModeThreeAsksAndNoEndsTheWindow)
{
    setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,3,0,"));
    app->m_nDefaultCsr = 5;
    const qint32 id = order();
    prompts().answer(platform::IDNO);
    EXPECT_EQ(run(id, nullptr), 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Ben, you are not the CSR of this job.\nCarla is.\n\n"
                                                   "Do you still want to preview the job?"));
    prompts().answer(platform::IDYES);
    run(id, [&](CJobDlg &d) {
        EXPECT_TRUE(d.isPreview());
        EXPECT_EQ(d.hue(), 1);
        return press(d, 2);
    });
    // Mode 2 opens another CSR's job in preview without asking.
    setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,2,0,"));
    prompts().clear();
    run(id, [&](CJobDlg &d) {
        EXPECT_TRUE(d.isPreview());
        return press(d, 2);
    });
    EXPECT_TRUE(prompts().texts().isEmpty());
}

TEST_F(JobWindow, CloseWithChangesAsksAndCancelStays)
{
    const qint32 id = order();
    const int result = run(id, [&](CJobDlg &d) {
        d.job()->m_PO = QStringLiteral("PO-77");
        prompts().answer(platform::IDCANCEL);
        EXPECT_EQ(press(d, 2), 0);
        EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Do you want to save the changes?")));
        EXPECT_TRUE(d.isVisible());
        prompts().answer(platform::IDNO);
        return press(d, 2);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT PO FROM Jobs WHERE JobID = %1").arg(id)).toString(), QString());
    run(id, [&](CJobDlg &d) {
        d.job()->m_PO = QStringLiteral("PO-78");
        prompts().answer(platform::IDYES);
        return press(d, 2);
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT PO FROM Jobs WHERE JobID = %1").arg(id)).toString(),
              QStringLiteral("PO-78"));
}

TEST_F(JobWindow, WithoutBit32TheNotesBarIsHiddenAndTheListTakesItsHeight)
{
    const qint32 id = order();
    int shownBottom = 0;
    run(id, [&](CJobDlg &d) {
        EXPECT_TRUE(d.IsItemVisible(CJobDlg::kNotesBar));
        shownBottom = d.itemList().geometry().bottom();
        return press(d, 2);
    });
    app->WriteSettingInt(QStringLiteral("ShowHide-Job"), 6, CZqApp::kSettings);
    run(id, [&](CJobDlg &d) {
        EXPECT_EQ(d.showHideBits(), 6);
        EXPECT_FALSE(d.IsItemVisible(CJobDlg::kNotesBar));
        QWidget *bar = GetDlgItem(&d, CJobDlg::kNotesBar);
        EXPECT_EQ(d.itemList().geometry().bottom(), bar->geometry().bottom());
        EXPECT_GT(d.itemList().geometry().bottom(), shownBottom);
        // The items bar's toggle brings it back.
        press(d, 30192);
        EXPECT_TRUE(d.IsItemVisible(CJobDlg::kNotesBar));
        EXPECT_EQ(d.itemList().geometry().bottom(), bar->geometry().top() - 1);
        return press(d, 2);
    });
}

TEST_F(JobWindow, CommandsOfLaterAreasSayTheyAreNotAvailable)
{
    const qint32 id = order();
    run(id, [&](CJobDlg &d) {
        struct Case
        {
            int command;
            const char *text;
        };
        const Case cases[] = {{30411, "The contact list is not yet available in this version of Tavrel."},
                              {30408, "The ship-to list is not yet available in this version of Tavrel."}};
        for (const Case &c : cases) {
            prompts().answer(platform::IDOK);
            press(d, c.command);
            EXPECT_EQ(prompts().lastText(), QString::fromLatin1(c.text)) << c.command;
        }
        // The inventory of the job's services opens from the window (this
        // order has no service with stock, so it says so).
        prompts().answer(platform::IDOK);
        press(d, 30745);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Inventory - Services of Selected Job\nNot found."));
        return press(d, 2);
    });
}

TEST_F(JobWindow, BuyerAndShipToComeFromTheCustomerHooksAndAreSaved)
{
    const qint32 id = order();
    GetJobHooks().pickShipto = [](qint32 cusNo, qint32 &shipto, int, QWidget *) {
        EXPECT_EQ(cusNo, 100);
        EXPECT_EQ(shipto, 4);
        shipto = 0;
        return 1;
    };
    run(id, [&](CJobDlg &d) {
        press(d, 30408);
        EXPECT_EQ(d.partiesBar().GetItemTip(30408), QStringLiteral("< Same as Bill To >"));
        return press(d, 2);
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT ShiptoNo FROM Jobs WHERE JobID = %1").arg(id)).toInt(), 0);
}

TEST_F(JobWindow, MissingDataCheckOnOpeningAndFromTheMenu)
{
    // A new order without items, ship-to or buyer, no options: the opening
    // check lists the three, only the item ticked.
    setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,0,0,0,0,0,"));
    const qint32 bare = addJob(0, 1010, QStringLiteral("Title, TermsNo, ViaDue"), QStringLiteral("'', 1, 1"));
    job = std::make_unique<CJobSet>();
    ASSERT_TRUE(job->FindById(bare, true));
    CJobDlg window(job.get(), false, nullptr, nullptr);
    window.SetResultReceiver(&receiver);
    onDialog<CJobDlg>([&](CJobDlg &d) {
        runQueued();
        EXPECT_EQ(prompts().pendingAnswers(), 0);
        return press(d, 2);
    });
    onDialog<CDlgOptions>([&](CDlgOptions &o) {
        EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("What would you like to do next?"));
        EXPECT_EQ(o.GetEntryCount(), 4);
        EXPECT_EQ(o.entry(0).m_text, QStringLiteral("Check the data you want to complete:"));
        EXPECT_EQ(o.GetEntryText(30361), QStringLiteral("Item Specs"));
        EXPECT_TRUE(o.IsEntryChecked(30361));
        EXPECT_EQ(o.GetEntryText(30408), QStringLiteral("Shipto Address"));
        EXPECT_FALSE(o.IsEntryChecked(30408));
        EXPECT_EQ(o.GetEntryText(30411), QStringLiteral("Ordered by"));
        EXPECT_FALSE(o.IsEntryChecked(30411));
        snapshot(o, QStringLiteral("missing-data"));
        return 2;
    });
    window.DoModal();
    EXPECT_EQ(prompts().pendingAnswers(), 0);

    // Only the ship-to missing: silent on opening; from the menu the list
    // has that one entry, and a ticked entry runs its command afterwards.
    const qint32 id = order(1011);
    exec(QStringLiteral("UPDATE Jobs SET ShiptoNo = 0 WHERE JobID = %1").arg(id));
    int picked = 0;
    GetJobHooks().pickShipto = [&](qint32, qint32 &shipto, int, QWidget *) {
        ++picked;
        shipto = 4;
        return 1;
    };
    run(id, [&](CJobDlg &d) {
        runQueued();
        EXPECT_EQ(prompts().pendingAnswers(), 0);
        onDialog<CDlgOptions>([&](CDlgOptions &o) {
            EXPECT_EQ(o.GetEntryCount(), 2);
            EXPECT_EQ(o.GetEntryText(30408), QStringLiteral("Shipto Address"));
            o.tree()->SetOptionChecked(30408, true);
            o.SendCommand(1);
            return o.result();
        });
        press(d, 30244);
        EXPECT_EQ(picked, 0); // not yet: it runs from the event loop
        runQueued();
        EXPECT_EQ(picked, 1);
        EXPECT_TRUE(d.partiesBar().GetItemTip(30408).contains(QStringLiteral("Acme Warehouse")));
        // Nothing missing now: the menu says so.
        prompts().answer(platform::IDOK);
        press(d, 30244);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("No missing data. All 'required' data has been entered."));
        return press(d, 2);
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT ShiptoNo FROM Jobs WHERE JobID = %1").arg(id)).toInt(), 4);

    // Two ticked entries run in turn: the second starts only once the first
    // one's window has closed, though that window runs an event loop of its own.
    const qint32 both = order(1012);
    exec(QStringLiteral("UPDATE Jobs SET ShiptoNo = 0, BuyerNo = 0 WHERE JobID = %1").arg(both));
    QStringList ran;
    GetJobHooks().pickShipto = [&](qint32, qint32 &shipto, int, QWidget *) {
        QDialog list; // the ship-to list, with its own modal loop
        QTimer::singleShot(20, &list, &QDialog::accept);
        list.exec();
        ran << QStringLiteral("ship-to closed");
        shipto = 4;
        return 1;
    };
    GetJobHooks().pickContact = [&](qint32, qint32 &contact, int, QWidget *) {
        ran << QStringLiteral("buyer");
        contact = 7;
        return 1;
    };
    run(both, [&](CJobDlg &d) {
        runQueued();
        onDialog<CDlgOptions>([&](CDlgOptions &o) {
            o.tree()->SetOptionChecked(30408, true);
            o.tree()->SetOptionChecked(30411, true);
            o.SendCommand(1);
            return o.result();
        });
        press(d, 30244);
        runQueued();
        EXPECT_EQ(ran, QStringList({QStringLiteral("ship-to closed"), QStringLiteral("buyer")}));
        return press(d, 2);
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT BuyerNo FROM Jobs WHERE JobID = %1").arg(both)).toInt(), 7);

    // Item 6 of the settings row not 0: no check on opening.
    setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
    run(bare, [&](CJobDlg &d) {
        runQueued();
        EXPECT_EQ(prompts().pendingAnswers(), 0);
        return press(d, 2);
    });
}

TEST_F(JobWindow, NotesAndDatesAreEditedAndSavedFromThePanels)
{
    const qint32 id = order();
    run(id, [&](CJobDlg &d) {
        // The note is kept in a column of 255 characters, a line break as
        // two: a note put there longer is refused at Save & Close naming the
        // note, the window staying with it; typed, it stops at 255.
        onDialog<CNoteDlg>([&](CNoteDlg &n) {
            n.edit()->setPlainText(QString(256, QLatin1Char('x')));
            prompts().answer(platform::IDOK);
            n.SendCommand(1);
            EXPECT_EQ(n.result(), 0);
            EXPECT_EQ(prompts().lastText(),
                      QStringLiteral("Job Note for Work Order/Estimate Detail: Please enter at most 255 characters."));
            EXPECT_EQ(n.edit()->toPlainText(), QString(256, QLatin1Char('x')));
            n.edit()->clear();
            n.edit()->setFocus();
            QTest::keyClicks(n.edit(), QString(253, QLatin1Char('x')));
            QTest::keyClick(n.edit(), Qt::Key_Return);
            QTest::keyClicks(n.edit(), QStringLiteral("yz"));
            EXPECT_EQ(n.edit()->toPlainText(), QString(253, QLatin1Char('x')) + QLatin1Char('\n'));
            n.SendCommand(1);
            return n.result();
        });
        press(d, 30263);
        EXPECT_EQ(scalar(QStringLiteral("SELECT WOrderNote FROM Jobs WHERE JobID = %1").arg(id)).toString(),
                  QString(253, QLatin1Char('x')) + QStringLiteral("\r\n"));
        onDialog<CNoteDlg>([&](CNoteDlg &n) {
            EXPECT_EQ(n.m_strStripText, QStringLiteral("Job Note for Work Order/Estimate Detail"));
            n.edit()->setPlainText(QStringLiteral("Trim to 3.5 x 2"));
            n.SendCommand(1);
            return n.result();
        });
        press(d, 30263);
        EXPECT_EQ(d.notesBar().GetItemTip(30263), QStringLiteral("Trim to 3.5 x 2"));
        onDialog<CJobWhen>([&](CJobWhen &w) {
            w.combo(1230)->setCurrentText(QStringLiteral("Cards for the fair"));
            w.SendCommand(1);
            return w.result();
        });
        press(d, 30406);
        EXPECT_EQ(d.recordBar().GetItemText(30282), QStringLiteral("Cards for the fair"));
        return press(d, 2);
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT WOrderNote FROM Jobs WHERE JobID = %1").arg(id)).toString(),
              QStringLiteral("Trim to 3.5 x 2"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Title FROM Jobs WHERE JobID = %1").arg(id)).toString(),
              QStringLiteral("Cards for the fair"));
}

TEST_F(JobWindow, TheJobAndItemMenusOfTheRecordMenus)
{
    const std::unique_ptr<QMenu> menus = LoadMenuResource(170);
    ASSERT_TRUE(menus);
    const QList<QAction *> subs = menus->actions();
    ASSERT_GE(subs.size(), 4);
    auto texts = [](QMenu *menu) {
        QStringList out;
        for (QAction *a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : QStringLiteral("%1 %2").arg(a->data().toInt()).arg(a->text()));
        return out;
    };
    EXPECT_EQ(texts(subs[2]->menu()).join(QLatin1Char('|')),
              QStringLiteral("30244 Check for Missing Data...|30215 Show/Hide...|30342 Change the &Number of this Job...|"
                             "30341 Set the Next Job &Number..."));
    const QStringList item = texts(subs[3]->menu());
    EXPECT_EQ(item.size(), 25);
    // The job's shipments sit with the other item tools.
    EXPECT_EQ(item.at(item.indexOf(QStringLiteral("30633 Compare this Item...")) + 1),
              QStringLiteral("30431 S&hipments..."));
    EXPECT_EQ(item.first(), QStringLiteral("30361 &New Item..."));
    EXPECT_EQ(item.last(), QStringLiteral("30632 D&elete All Items..."));
    EXPECT_EQ(item.count(QStringLiteral("-")), 7);

    // The record bar's type label drops the "Job" menu down; its choice runs.
    const qint32 id = order();
    CXRibbon::SetMenuRunner([](QMenu &menu, const QPoint &) {
        for (QAction *a : menu.actions())
            if (a->data().toInt() == 30244)
                return 30244;
        return 0;
    });
    run(id, [&](CJobDlg &d) {
        prompts().answer(platform::IDOK);
        QTest::mouseClick(&d.recordBar(), Qt::LeftButton, {}, d.recordBar().itemRect(30281).center());
        EXPECT_EQ(prompts().lastText(), QStringLiteral("No missing data. All 'required' data has been entered."));
        return press(d, 2);
    });
    CXRibbon::SetMenuRunner(nullptr);
}

TEST_F(JobWindow, NextJobNumberUsesTheNumberingGroupAndWarnsOfHigherNumbers)
{
    usePasswords();
    exec(QStringLiteral("DELETE FROM JobTypes WHERE JobType >= 10"));
    exec(QStringLiteral("INSERT INTO JobTypes (JobType, Name) VALUES (10, '1500')"));
    addJob(0, 1450);
    const qint32 history = addJob(3, 1300);
    run(history, [&](CJobDlg &d) {
        onDialog<CDlgData>([](CDlgData &e) {
            EXPECT_EQ(e.m_strValue, QStringLiteral("1501"));
            EXPECT_EQ(e.m_strWindowTitle, QStringLiteral("Set Starting Number"));
            EXPECT_EQ(e.m_strRibbonTitle, QStringLiteral("Next History Number:"));
            EXPECT_EQ(e.m_strStripText, QStringLiteral("This number will be assigned to the next History"));
            e.edit()->setText(QStringLiteral("1400"));
            e.SendCommand(1);
            return e.result();
        });
        prompts().answer(platform::IDYES);
        press(d, 30341);
        EXPECT_EQ(passwordsAsked, 1);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("Do you want to set the next job number to: 1400?\n\nIMPORTANT: There are existing jobs "
                                 "with numbers equal to or greater than this number, which may cause duplicate job "
                                 "numbers later on."));
        EXPECT_EQ(prompts().shown().last().flags,
                  unsigned(platform::MB_YESNO | platform::MB_ICONSTOP | platform::MB_DEFBUTTON2));
        return press(d, 2);
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM JobTypes WHERE JobType = 10")).toString(), QStringLiteral("1399"));

    // A quote looks at quotes only; the proposal taken unchanged still asks.
    const qint32 quote = addJob(1, 700);
    run(quote, [&](CJobDlg &d) {
        onDialog<CDlgData>([](CDlgData &e) {
            EXPECT_EQ(e.m_strValue, QStringLiteral("1"));
            e.edit()->setText(QStringLiteral("701"));
            e.SendCommand(1);
            return e.result();
        });
        prompts().answer(platform::IDNO);
        press(d, 30341);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to set the next job number to: 701?"));
        return press(d, 2);
    });
}

TEST_F(JobWindow, RenumberingRefusesANumberInUse)
{
    usePasswords();
    addJob(0, 1450);
    const qint32 history = addJob(3, 1300);
    run(history, [&](CJobDlg &d) {
        press(d, 30103); // leave preview
        auto enter = [this](const char *text) {
            onDialog<CDlgData>([text](CDlgData &e) {
                EXPECT_EQ(e.m_strWindowTitle, QStringLiteral("Change Job No"));
                EXPECT_EQ(e.m_strRibbonTitle, QStringLiteral("Change the number of this job to:"));
                e.edit()->setText(QString::fromLatin1(text));
                e.SendCommand(1);
                return e.result();
            });
        };
        // Orders share the number series of history jobs; the job's own
        // number counts as taken too. A number typed with its thousands is
        // read whole ("1,450" is no 0 passed over without a word).
        for (const char *text : {"1450", "1300", "1,450"}) {
            enter(text);
            prompts().answer(platform::IDOK);
            press(d, 30342);
            EXPECT_EQ(prompts().lastText(), QStringLiteral("Job %1 already exists!").arg(QString::fromLatin1(text)));
        }
        // A text that is no number is said so, naming the entry.
        for (const char *text : {"12abc", "13.5"}) {
            enter(text);
            prompts().answer(platform::IDOK);
            press(d, 30342);
            EXPECT_EQ(prompts().lastText(), QStringLiteral("Change Job No: Please enter an integer.")) << text;
            EXPECT_EQ(d.recordBar().GetItemText(30283), QStringLiteral("1300")) << text;
        }
        enter("1301");
        press(d, 30342);
        EXPECT_EQ(d.recordBar().GetItemText(30283), QStringLiteral("1301"));
        return press(d, 2);
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID = %1").arg(history)).toInt(), 1301);
}

// A service added while the program runs is in the cache the item window
// picks from as soon as a job window opens after it; without the changed
// flag the cache is not read again.
TEST_F(JobWindow, OpeningReloadsTheServicesAfterTheyChanged)
{
    const qint32 id = order();
    app->LoadServices(1);
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) "
                        "SELECT 41, CatNo, 'Spot UV', 0, 0, 1 FROM Services WHERE SerNo = 1"));
    run(id, [&](CJobDlg &d) { return press(d, 2); });
    EXPECT_EQ(app->GetServiceName(41), QStringLiteral("?"));
    app->ServicesChanged = 1;
    run(id, [&](CJobDlg &d) { return press(d, 2); });
    EXPECT_EQ(app->GetServiceName(41), QStringLiteral("Spot UV"));
    EXPECT_EQ(app->ServicesChanged, 0);
}
