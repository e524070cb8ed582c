#include "JobsFixture.h"

#include "app/base/PriceText.h"
#include "controls/CXListCtrl.h"
#include "data/CJobSet.h"
#include "jobs/CJobDlg.h"
#include "jobs/JobHooks.h"
#include "jobs/JobItemTotals.h"
#include "controls/CXTreeOptCtrl.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CNoteDlg.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

#include <QtCore/QObject>

namespace {

class JobItemList : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
    }
    void TearDown() override
    {
        GetJobHooks() = JobHooks();
        JobsTest::TearDown();
    }
    void run(qint32 jobId, std::function<void(CJobDlg &)> handler, bool preview = false)
    {
        job = std::make_unique<CJobSet>();
        ASSERT_TRUE(job->FindById(jobId, !preview));
        CJobDlg window(job.get(), preview, nullptr, nullptr);
        window.SetResultReceiver(&receiver);
        onDialog<CJobDlg>([&](CJobDlg &d) {
            handler(d);
            prompts().answer(platform::IDNO); // leave unsaved changes unsaved
            d.SendCommand(2);
            return d.result();
        });
        window.DoModal();
    }
    qint32 row(qint32 jobId, int serNo, int itemNo, int subNo, const QString &description, const char *price,
               const QString &note = QString())
    {
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                            "Status, ChargeQty, [Note]) VALUES (%1, %2, %3, %4, '%5', %6, 0, 0, 1, 1, 500, '%7')")
                 .arg(jobId)
                 .arg(serNo)
                 .arg(itemNo)
                 .arg(subNo)
                 .arg(description, QString::fromLatin1(price), note));
        return scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
    }
    // Item 1 with a note, group 2 (2.1, 2.2 and a No Charge 2.3), item 3.
    qint32 groupedOrder()
    {
        const qint32 id = addJob(0, 1201, QStringLiteral("Title, Subtotal, Balance, Cost"),
                                 QStringLiteral("'Set', 235, 235, 0"));
        row(id, 0, 1, 0, QStringLiteral("Flyers"), "70", QStringLiteral("Fold in half"));
        row(id, 1, 1, 0, QString(), "70");
        row(id, 0, 2, 1, QStringLiteral("Booklet | Cover "), "100");
        row(id, 1, 2, 1, QString(), "100");
        row(id, 0, 2, 2, QStringLiteral("Booklet | Inside Pages: 16"), "25");
        row(id, 1, 2, 2, QString(), "25");
        row(id, 0, 2, 3, QStringLiteral("Booklet | Bindery "), "0.0001");
        row(id, 1, 2, 3, QString(), "0.0001");
        row(id, 0, 3, 0, QStringLiteral("Envelopes"), "40");
        row(id, 1, 3, 0, QString(), "40");
        return id;
    }
    QStringList column(CXListCtrl &list, int c)
    {
        QStringList out;
        for (int r = 0; r < list.GetItemCount(); ++r)
            out << list.GetItemText(r, c);
        return out;
    }

    QObject receiver;
    std::unique_ptr<CJobSet> job;
};

TEST_F(JobItemList, ViewsHaveTheirHeadingsAndWidths)
{
    struct Case
    {
        int view;
        int showHide;
        QStringList headings;
        QList<int> widths;
    };
    const Case cases[] = {
        {30051, 2,
         {"Item", "Description", "Quantity", "Time", "Price/Hr", "Unit Price", "Price     ", "\u00B1", "L", "E*", "S"},
         {60, 300, 60, 50, 60, 80, 80, 20, 20, 27, 20}},
        {30051, 0,
         {"Item", "Description", "Quantity", "Time", "Price/Hr", "Unit Price", "Price     ", "\u00B1", "L", "E*", "S"},
         {60, 300, 60, 50, 0, 0, 80, 20, 20, 27, 20}},
        {30052, 2,
         {"Item", "Description", "", "Specs Note", "Service Note", "Reminder", "Modified"},
         {60, 300, 0, 220, 120, 80, 80}},
        {30053, 0,
         {"Item", "Description", "Quantity", "Default", "Time", "Default", "Price", "Default Price", "Difference"},
         {60, 300, 70, 60, 60, 50, 90, 80, 80}},
    };
    for (const Case &c : cases) {
        CXListCtrl list;
        CJobDlg::SetupItemColumns(list, c.view, c.showHide);
        ASSERT_EQ(list.GetColumnCount(), c.headings.size()) << c.view;
        for (int i = 0; i < c.headings.size(); ++i) {
            EXPECT_EQ(list.GetColumnText(i), c.headings[i]) << c.view << " column " << i;
            EXPECT_EQ(list.GetColumnRecord(i).m_width, c.widths[i]) << c.view << " column " << i;
        }
    }
}

TEST_F(JobItemList, GroupHeaderNotesAndTotalsFromTheServiceRows)
{
    const qint32 id = groupedOrder();
    run(id, [&](CJobDlg &d) {
        CXListCtrl &list = d.itemList();
        // Bits 38: services and notes bar, no spacers, item notes hidden.
        EXPECT_EQ(column(list, 0),
                  QStringList({"1", "", "", "2.1", "", "2.2", "", "2.3", "", "3", ""}));
        EXPECT_EQ(list.GetItemText(2, 1), QStringLiteral("Booklet"));
        EXPECT_EQ(list.GetItemImage(2), 337);
        EXPECT_EQ(list.GetItemText(2, 6), QStringLiteral("125.00"));
        EXPECT_EQ(d.itemCount(), 5);
        EXPECT_EQ(d.job()->m_Subtotal, money("235"));

        // Item notes and spacers on: a note row under item 1, spacers before
        // items 2.1 and 3 only.
        d.ToggleShowHideBit(CJobDlg::kItemNoteBit | CJobDlg::kSpacerBit, true);
        EXPECT_EQ(column(list, 1).indexOf(QStringLiteral("Fold in half")), 1);
        EXPECT_EQ(list.GetSubItemImage(1, 1), 197);
        snapshot(d, QStringLiteral("items-view"));

        // Without service rows: no header, no spacers, sub-items without images.
        d.ToggleShowHideBit(CJobDlg::kServicesBit, true);
        EXPECT_EQ(column(list, 0), QStringList({"1", "2.1", "2.2", "2.3", "3"}));
        EXPECT_EQ(list.GetItemImage(2), CXListCtrl::kNoImage);
        EXPECT_EQ(d.job()->m_Subtotal, money("235"));
    });
}

TEST_F(JobItemList, SwitchingToTheShownViewOrFlippingDisplayBitsDoesNotRefill)
{
    const qint32 id = groupedOrder();
    run(id, [&](CJobDlg &d) {
        const int before = d.refillCount();
        d.SendCommand(30051);
        d.ToggleShowHideBit(CJobDlg::kRatesBit, false);
        EXPECT_EQ(d.refillCount(), before);
        d.SendCommand(30052);
        EXPECT_EQ(d.refillCount(), before + 1);
        EXPECT_EQ(d.itemList().GetColumnText(3), QStringLiteral("Specs Note"));
        EXPECT_EQ(d.itemList().GetItemText(0, 3), QStringLiteral("Fold in half"));
        snapshot(d, QStringLiteral("notes-view"));
        const QString stored = scalar(QStringLiteral("SELECT Sum(Price) & '/' & Sum(ChargeQty) & '/' & Count(*) FROM "
                                                     "Items WHERE JobID = %1").arg(id)).toString();
        d.SendCommand(30053);
        // The test's service has no prices: the engine's default is No Charge,
        // and pricing for the view writes nothing.
        CXListCtrl &list = d.itemList();
        EXPECT_EQ(list.GetItemText(0, 6), QStringLiteral("70.00"));
        EXPECT_EQ(list.GetItemText(0, 7), QStringLiteral("No Charge"));
        EXPECT_EQ(list.GetItemText(0, 8), QStringLiteral("70.00"));
        EXPECT_EQ(list.GetSubItemImage(0, 6), 235);
        EXPECT_EQ(scalar(QStringLiteral("SELECT Sum(Price) & '/' & Sum(ChargeQty) & '/' & Count(*) FROM Items WHERE "
                                        "JobID = %1").arg(id)).toString(),
                  stored);
        snapshot(d, QStringLiteral("saved-view"));
    });
}

TEST_F(JobItemList, TheSelectedItemStaysSelectedAfterARefill)
{
    const qint32 id = groupedOrder();
    run(id, [&](CJobDlg &d) {
        CXListCtrl &list = d.itemList();
        const qint32 item3 = scalar(QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 and ItemNo = 3 and "
                                                   "SerNo = 0").arg(id)).toInt();
        list.SelectItem(list.FindItemByData(item3, false));
        d.setCurrentItemId(item3);
        d.RefillItems(false);
        EXPECT_EQ(list.GetSelectedData(), item3);
        EXPECT_EQ(d.currentItemId(), item3);
    });
}

TEST_F(JobItemList, MoneyRulesOfTheRefillReachTheJob)
{
    struct Case
    {
        const char *name;
        const char *prices[2];
        int creator;
        const char *subtotal;
    };
    const Case cases[] = {{"No Charge services", {"0.0001", "-0.0001"}, 0, "0.0001"},
                          {"one service not priced", {"80", "0"}, 0, "0"},
                          {"priced", {"80", "20"}, 0, "100"}};
    for (const Case &c : cases) {
        const qint32 id = addJob(0, 1300, QStringLiteral("Title, Subtotal, Balance, Creator"),
                                 QStringLiteral("'M', 5, 5, %1").arg(c.creator));
        row(id, 0, 1, 0, QStringLiteral("Cards"), "0");
        row(id, 1, 1, 0, QString(), c.prices[0]);
        row(id, 1, 1, 0, QString(), c.prices[1]);
        prompts().answer(platform::IDOK); // the opening check reports the stored Subtotal of 5
        run(id, [&](CJobDlg &d) { EXPECT_EQ(d.job()->m_Subtotal, money(c.subtotal)) << c.name; });
        exec(QStringLiteral("DELETE FROM Items WHERE JobID = %1").arg(id));
        exec(QStringLiteral("DELETE FROM Jobs WHERE JobID = %1").arg(id));
    }
}

// An order whose items have no services is not priced: "?" and NOT PRICED,
// never No Charge, and closing its window asks nothing and writes nothing.
TEST_F(JobItemList, ItemsWithoutServicesLeaveTheJobNotPricedAndCloseAsksNothing)
{
    const qint32 id = addJob(0, 1350, QStringLiteral("Title, Subtotal, Balance"), QStringLiteral("'Web order', 0, 0"));
    row(id, 0, 1, 0, QStringLiteral("Cards"), "0");
    row(id, 0, 2, 0, QStringLiteral("Flyers"), "0");
    job = std::make_unique<CJobSet>();
    ASSERT_TRUE(job->FindById(id, true));
    CJobDlg window(job.get(), false, nullptr, nullptr);
    window.SetResultReceiver(&receiver);
    QString subtotalText;
    onDialog<CJobDlg>([&](CJobDlg &d) {
        EXPECT_EQ(d.job()->m_Subtotal, Money());
        subtotalText = FormatPrice(d.job()->m_Subtotal);
        prompts().answer(platform::IDNO);
        d.SendCommand(2);
        return d.result();
    });
    window.DoModal();
    EXPECT_EQ(subtotalText, QStringLiteral("?"));
    EXPECT_EQ(prompts().pendingAnswers(), 1) << qPrintable(prompts().texts().join(QLatin1Char('|')));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Subtotal FROM Jobs WHERE JobID = %1").arg(id)).toMoney(), Money());
}

// A job that was not priced, or was No Charge, takes the customer's discount
// (10 %) and the sales rep's commission (2.5 %) when it gets a price; a job
// priced before keeps the rates it has (here none).
TEST_F(JobItemList, AJobThatGetsAPriceAfterNoChargeTakesTheDiscountAndCommission)
{
    exec(QStringLiteral("UPDATE Customers SET Discount = 10 WHERE CusNo = 100"));
    struct Case
    {
        const char *name;
        const char *before;
        const char *discount;
        const char *commission;
    };
    const Case cases[] = {{"not priced before", "0", "-20", "4.5"},
                          {"No Charge before", "0.0001", "-20", "4.5"},
                          {"priced before", "150", "0", "0"}};
    qint32 jobNo = 1400;
    for (const Case &c : cases) {
        const qint32 id = addJob(0, jobNo++, QStringLiteral("Title, Subtotal, SRepNo"),
                                 QStringLiteral("'N', %1, 8").arg(QString::fromLatin1(c.before)));
        CJobSet set;
        ASSERT_TRUE(set.FindById(id)) << c.name;
        JobItemSums sums;
        sums.subtotal = money("200");
        ApplyJobItemSums(set, sums, false);
        EXPECT_EQ(set.m_Discount, money(c.discount)) << c.name << ": the customer's discount";
        EXPECT_EQ(set.m_Commission, money(c.commission)) << c.name << ": the rep's commission";
    }
}

TEST_F(JobItemList, CustomizeRefillsOnlyForTheRowBits)
{
    const qint32 id = groupedOrder();
    run(id, [&](CJobDlg &d) {
        struct Case
        {
            unsigned code;
            bool refills;
        };
        // Codes 1-6 are bits 1, 2, 4, 8, 16, 32.
        const Case cases[] = {{2, false}, {6, false}, {1, true}, {5, true}};
        bool first = true;
        for (const Case &c : cases) {
            const int before = d.refillCount();
            const int bits = d.showHideBits();
            onDialog<CDlgOptions>([&](CDlgOptions &o) {
                EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Customize Default Job View"));
                EXPECT_EQ(o.GetEntryText(3), QStringLiteral("Services (if unchecked, you will see Items only)"));
                EXPECT_EQ(o.IsEntryChecked(3), (bits & 4) != 0);
                o.tree()->SetOptionChecked(c.code, !o.IsEntryChecked(long(c.code)));
                if (first)
                    snapshot(o, QStringLiteral("customize"));
                first = false;
                o.SendCommand(1);
                return o.result();
            });
            d.SendCommand(30215);
            EXPECT_EQ(d.showHideBits(), bits ^ (1 << (c.code - 1))) << c.code;
            EXPECT_EQ(d.refillCount(), before + (c.refills ? 1 : 0)) << c.code;
        }
        // Bit 2 (set in the default 38) cleared by the first case: the rate
        // columns are there but 0 wide; set again, they have their widths.
        EXPECT_EQ(d.itemList().GetColumnWidth(4), 0);
        EXPECT_EQ(d.itemList().GetColumnWidth(5), 0);
        onDialog<CDlgOptions>([&](CDlgOptions &o) {
            o.tree()->SetOptionChecked(2, true);
            o.SendCommand(1);
            return o.result();
        });
        d.SendCommand(30215);
        EXPECT_EQ(d.itemList().GetColumnWidth(4), 60);
        EXPECT_EQ(d.itemList().GetColumnWidth(5), 80);
    });
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("ShowHide-Job"), 38, CZqApp::kSettings), 38 ^ 32 ^ 1 ^ 16);
}

TEST_F(JobItemList, MarkerColumnsExplainThemselves)
{
    const qint32 id = groupedOrder();
    run(id, [&](CJobDlg &d) {
        struct Case
        {
            int column;
            const char *start;
        };
        const Case cases[] = {
            {7, "The signs you see in the '\u00B1' column show you which price was saved \nthe last time"},
            {8, "This column shows whether the Item Price is locked or not.\n\nTo Lock/Unlock Item Price, right "
                "click on the Item or double-click the lock icon."},
            {9, "In this column, you see additional information about Item price:\n\nE  means Item is Tax Exempt\n"},
            {10, "This column shows whether a sample is attached to the Item or not.\n\n"}};
        for (const Case &c : cases) {
            prompts().answer(platform::IDOK);
            d.OnItemColumnClick(c.column);
            EXPECT_TRUE(prompts().lastText().startsWith(QString::fromUtf8(c.start))) << c.column;
        }
        EXPECT_TRUE(prompts().texts().value(prompts().texts().size() - 4).contains(
            QStringLiteral("Level (Normal), you will see an asterisk (*) in this column.\n")));
        // Header click on column 0 hides the service rows.
        d.OnItemColumnClick(0);
        EXPECT_EQ(d.itemList().GetItemCount(), 5);
    });
}

TEST_F(JobItemList, EachServiceRowShowsItsOwnServiceAndEachItemItsOwnSample)
{
    // Two services of service 1's category: "Trim" (SerNo 9) lists before
    // "Drill" (SerNo 8), so the rows meet the services out of their number
    // order, item after item. Item 2 alone has a sample.
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) SELECT 9, CatNo, 'Trim', "
                        "0, 0, 1 FROM Services WHERE SerNo = 1"));
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) SELECT 8, CatNo, "
                        "'Drill', 2, 1, 2 FROM Services WHERE SerNo = 1"));
    const QString category = scalar(QStringLiteral("SELECT CatName FROM ServiceCategories WHERE CatNo = (SELECT "
                                                   "CatNo FROM Services WHERE SerNo = 1)"))
                                 .toString();
    const qint32 id = addJob(0, 1202, QStringLiteral("Title, Subtotal, Balance, Cost"), QStringLiteral("'Set', 0, 0, 0"));
    for (int item = 1; item <= 2; ++item) {
        const qint32 itemId = row(id, 0, item, 0, QStringLiteral("Item %1").arg(item), "0");
        row(id, 8, item, 0, QString(), "0");
        row(id, 9, item, 0, QString(), "0");
        if (item == 2)
            exec(QStringLiteral("INSERT INTO Samples (ItemID, Path) VALUES (%1, 'proof.pdf')").arg(itemId));
    }
    // Services with a time: only one costed by time ("Drill") shows a rate.
    exec(QStringLiteral("UPDATE Items SET ChargeTime = 30 WHERE JobID = %1 AND SerNo > 0").arg(id));
    run(id, [&](CJobDlg &d) {
        CXListCtrl &list = d.itemList();
        ASSERT_EQ(list.GetItemCount(), 6);
        for (int at : {1, 4})
            EXPECT_EQ(list.GetItemText(at, 4), QString()) << at;
        for (int at : {2, 5})
            EXPECT_EQ(list.GetItemText(at, 4), FormatRate(Money(), 30, 2, 0, false)) << at;
        for (int item = 0; item < 2; ++item) {
            const int at = item * 3;
            EXPECT_EQ(list.GetSubItemImage(at, 10), item == 1 ? 186 : 185) << item;
            EXPECT_TRUE(list.GetItemText(at + 1, 1).startsWith(category + QStringLiteral(": Trim")))
                << list.GetItemText(at + 1, 1).toStdString();
            // A discontinued service says so.
            EXPECT_TRUE(list.GetItemText(at + 2, 1).startsWith(category + QStringLiteral(": Drill (HIDDEN)")))
                << list.GetItemText(at + 2, 1).toStdString();
            EXPECT_EQ(list.GetItemImage(at + 2), 333);
        }
    });
}

TEST_F(JobItemList, PricePerHourOfAServiceCostedByTime)
{
    // The charged time is minutes, the rate per hour, in whole currency units.
    exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) SELECT 8, CatNo, "
                        "'Press', 0, 1, 2 FROM Services WHERE SerNo = 1"));
    struct Case
    {
        const char *price;
        int minutes;
        const char *perHour;
    };
    const Case cases[] = {
        {"51.2", 16, "192"}, // 51.20 / 16 * 60
        {"28", 30, "56"},    // 28.00 / 30 * 60
        {"45.5", 60, "46"},  // a whole hour: the price itself, rounded half up
    };
    const qint32 id = addJob(0, 1203, QStringLiteral("Title, Subtotal, Balance, Cost"),
                             QStringLiteral("'Set', 124.7, 124.7, 0"));
    int item = 0;
    for (const Case &c : cases) {
        ++item;
        row(id, 0, item, 0, QStringLiteral("Item %1").arg(item), c.price);
        const qint32 service = row(id, 8, item, 0, QString(), c.price);
        exec(QStringLiteral("UPDATE Items SET ChargeTime = %1 WHERE ItemID = %2").arg(c.minutes).arg(service));
    }
    run(id, [&](CJobDlg &d) {
        CXListCtrl &list = d.itemList();
        ASSERT_EQ(list.GetItemCount(), 6);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(list.GetItemText(i * 2 + 1, 4), QString::fromLatin1(cases[i].perHour)) << cases[i].minutes;
    });
}

TEST_F(JobItemList, NotesViewEditsItemAndServiceNotes)
{
    const qint32 id = groupedOrder();
    exec(QStringLiteral("UPDATE Items SET [Note] = 'Gloss \u00B7 Black' WHERE JobID = %1 and ItemNo = 3 and SerNo = 1")
             .arg(id));
    run(id, [&](CJobDlg &d) {
        d.SendCommand(30052);
        CXListCtrl &list = d.itemList();
        list.SelectItem(0);
        onDialog<CNoteDlg>([&](CNoteDlg &n) {
            EXPECT_EQ(n.m_strStripText, QStringLiteral("ITEM 1"));
            n.edit()->setPlainText(QStringLiteral("Fold twice"));
            n.SendCommand(1);
            return n.result();
        });
        d.OnItemDoubleClick(0, 3);
        EXPECT_EQ(list.GetItemText(0, 3), QStringLiteral("Fold twice"));

        const int service = list.GetItemCount() - 1; // item 3's service
        list.SelectItem(service);
        onDialog<CDlgData>([&](CDlgData &e) {
            EXPECT_EQ(e.m_strValue, QStringLiteral("Gloss"));
            EXPECT_EQ(e.m_strWindowTitle, QStringLiteral("Note"));
            e.edit()->setText(QStringLiteral("Matte"));
            e.SendCommand(1);
            return e.result();
        });
        d.OnItemDoubleClick(service, 3);
        prompts().answer(platform::IDOK);
        d.OnItemDoubleClick(service, 5);
        EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("SERVICE REMINDER: ")));
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT [Note] FROM Items WHERE JobID = %1 and ItemNo = 1 and SerNo = 0").arg(id))
                  .toString(),
              QStringLiteral("Fold twice"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT [Note] FROM Items WHERE JobID = %1 and ItemNo = 3 and SerNo = 1").arg(id))
                  .toString(),
              QStringLiteral("Matte \u00B7 Black"));
}

} // namespace
