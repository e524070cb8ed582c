#include "ScheduleFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "production/schedule/CViewSchedule.h"
#include "production/schedule/CScheduleJob.h"
#include "app/base/Choices.h"
#include "controls/CXTreeOptCtrl.h"
#include "views/CDlgOptions.h"
#include "views/CDlgList.h"
#include "views/CSetupGridDlg.h"
#include "controls/CXGridCtrl.h"
#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <QtCore/QScopeGuard>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtGui/QContextMenuEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>
#include <QtWidgets/QTreeWidgetItem>

namespace {

using C = ScheduleLists;

struct View
{
    CViewSchedule view;
    View()
    {
        view.resize(1100, 620);
        view.OnInitialUpdate();
        view.show();
        QApplication::processEvents();
    }
    CXListCtrl &list() { return *view.list(); }
    void choose(int code)
    {
        view.SelectTreeCode(code);
        view.OnCommand(30401);
    }
    int rowOf(qint64 key) { return list().FindItemByData(key, false); }
};

} // namespace

TEST_F(ScheduleTest, TreeCodesAndTitles)
{
    View v;
    struct Case { int code; QString text; };
    const Case cases[] = {
        {31100, QStringLiteral("Orders")},
        {31101, QStringLiteral("All")},
        {31104, QStringLiteral("Ready to Ship")},
        {31113, QStringLiteral("Due Next 7 Days")},
        {31201, QStringLiteral("All")},
        {31203, QStringLiteral("Schedule")},
        {31206, QStringLiteral("Proof")},
        {31220, QStringLiteral("Done")},
        {31502, QStringLiteral("Late/Reschedule")},
        {31503, QStringLiteral("06/12/24 Today")},
        {31504, QStringLiteral("06/13/24 Thursday")},
        {31518, QStringLiteral("06/27/24  or Later")},
        {31599, QStringLiteral("Done")},
        {31701, QStringLiteral("All (assigned)")},
        {31702, QStringLiteral("(unassigned)")},
        {31900, QStringLiteral("Summary-To-Do")},
        {32000, QStringLiteral("Summary-Done")},
        {32007, QStringLiteral("Center/Service")},
        {32104, QStringLiteral("Items Done")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        QTreeWidgetItem *entry = v.view.tree()->FindItemByData(quint32(c.code));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->text(0), c.text);
    }
    // The list shown first: "Orders / In Progress".
    EXPECT_EQ(v.view.listCommand(), 31102);
    EXPECT_EQ(v.view.listKind(), 0);
}

// The service centers and tags editors opened from the schedule open over
// the view's window, in its colours.
TEST_F(ScheduleTest, TheSetupEditorsOpenOverTheViewInItsColours)
{
    View v;
    // A window the screen holds whole: the editor is centred over it.
    v.view.resize(760, 700);
    v.view.move(20, 40);
    QApplication::processEvents();
    for (const int command : {30721, 30722, 30723}) {
        SCOPED_TRACE(command);
        bool shown = false;
        onDialog<CSetupGridDlg>([&](CSetupGridDlg &d) {
            shown = true;
            EXPECT_NE(d.grid(0), nullptr);
            if (d.grid(0))
                EXPECT_EQ(d.grid(0)->colorSchemeHue(), v.view.colourHue());
            EXPECT_NE(v.view.colourHue(), 0);
            const QPoint centre = d.frameGeometry().center();
            EXPECT_LE(std::abs(centre.x() - v.view.frameGeometry().center().x()), 2);
            EXPECT_LE(std::abs(centre.y() - v.view.frameGeometry().center().y()), 2);
            return 2;
        });
        v.view.OnCommand(command);
        EXPECT_TRUE(shown);
    }
}

TEST_F(ScheduleTest, OpeningTakesTodayAndTheWorkstationsListOptions)
{
    // A program started yesterday: the view opened today marks today's
    // services as today's, not as past ones.
    app->m_today = DateTime::fromDate(today().addDays(-1));
    View v;
    EXPECT_EQ(app->GetDateIcon(DateTime::fromDate(today())), 129);
    EXPECT_EQ(app->GetDateIcon(DateTime::fromDate(today().addDays(-1))), 128);
    // Without stored settings: orders in progress, grouped by due date.
    EXPECT_EQ(v.view.listOption(), 1041);
    EXPECT_TRUE(v.view.listBar()->GetItemText(30673).startsWith(QStringLiteral("Orders / In Progress")))
        << v.view.listBar()->GetItemText(30673).toStdString();
}

TEST_F(ScheduleTest, ViewListsOrdersWithCaptionsAndExpandsOne)
{
    const qint32 a = addOrder(8001, 0, today(), today().addDays(1));
    addItem(a, 1, 0);
    addService(a, 1, 901, 2, 2, 90, 3);
    addService(a, 1, 902, 0, 1, 20, 5);
    const qint32 b = addOrder(8002, 0, today(), today().addDays(3));
    addItem(b, 1, 4);
    addOrder(8003, 2, today(), today().addDays(3));

    View v;
    v.view.setListOptions(0x1);
    v.choose(31101);
    EXPECT_EQ(v.view.listedCount(), 3);
    EXPECT_EQ(v.view.listBar()->GetItemText(30673),
              QStringLiteral("All Orders      (3 Orders listed)  "));
    EXPECT_EQ(v.view.statusBar()->GetItemText(30262), QStringLiteral("Grouped by Date/Order."));
    EXPECT_TRUE(v.view.statusBar()->GetItemTip(30262).startsWith(QStringLiteral("Grouped by Date/Order.  Query took ")));
    const int row = v.rowOf(a);
    ASSERT_GE(row, 0);
    EXPECT_TRUE(v.view.IsOrderRow(row));
    // The order number and JobID cells show their numbers.
    EXPECT_EQ(v.list().GetItemText(row, C::ColOrder), QStringLiteral("8001"));
    EXPECT_EQ(v.list().GetItemText(row, C::ColJobId), QString::number(a));
    v.view.OnListClick(row, C::ColExpand);
    EXPECT_EQ(v.list().GetSubItemImage(row, C::ColExpand), C::Expanded);
    EXPECT_TRUE(v.view.IsItemRow(row + 1));
    EXPECT_TRUE(v.view.IsServiceRow(row + 2));
    EXPECT_TRUE(v.view.IsServiceRow(row + 3));
    snapshot(v.view, QStringLiteral("orders-by-due-date"));

    // Collapse all keeps the order rows only.
    v.view.OnCommand(30531);
    int orders = 0;
    for (int r = 0; r < v.list().GetItemCount(); ++r)
        orders += v.view.IsOrderRow(r) ? 1 : 0;
    EXPECT_EQ(orders, v.list().GetItemCount());
}

TEST_F(ScheduleTest, InventoryCommandsOpenTheInventoryWindow)
{
    const qint32 a = addOrder(8001, 0, today(), today().addDays(1));
    addItem(a, 1, 0);
    addService(a, 1, 901, 2, 2, 90, 3);
    View v;
    v.choose(31101);
    // The fixture tracks no stock: the window opens in the mode asked and
    // says that it found nothing.
    prompts().answer(platform::IDOK);
    v.view.OnCommand(30742);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Inventory - Order\nNot found."));
    // The services of the selected order.
    const int row = v.rowOf(a);
    ASSERT_GE(row, 0);
    v.list().SelectItem(row);
    prompts().answer(platform::IDOK);
    v.view.OnCommand(30745);
    EXPECT_TRUE(prompts().lastText().endsWith(QStringLiteral("\nNot found."))) << prompts().lastText().toStdString();
    EXPECT_NE(prompts().lastText(), QStringLiteral("Inventory - Order\nNot found."));
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(ScheduleTest, InventoryOptionsAreStoredForEveryWorkstationAndHistoryIsListed)
{
    View v;
    const CItemSet::InventoryRules saved = CItemSet::GetInventoryRules();
    CItemSet::InventoryRules rules = saved;
    rules.optionBits = 11;
    CItemSet::SetInventoryRules(rules);
    // Clearing "Only the Services of Orders-In-Progress" stores 10 in row 30749.
    prompts().onDialog([](QDialog &d) {
        auto *dialog = dynamic_cast<CDlgOptions *>(&d);
        EXPECT_NE(dialog, nullptr);
        if (dialog) {
            EXPECT_TRUE(dialog->tree()->IsOptionChecked(0x8));
            dialog->tree()->SetOptionChecked(0x1, false);
        }
        return int(platform::IDOK);
    });
    v.view.OnCommand(30749);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT * FROM Options WHERE OptionID = 30749")), QStringLiteral("30749|10"));
    EXPECT_EQ(CItemSet::GetInventoryRules().optionBits, 10);
    // Cancel stores nothing.
    prompts().onDialog([](QDialog &) { return int(platform::IDCANCEL); });
    v.view.OnCommand(30749);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT * FROM Options WHERE OptionID = 30749")), QStringLiteral("30749|10"));

    // The history lists what was ordered and received, newest order first.
    exec(QStringLiteral("INSERT INTO Inventory (SerNo, Vendor, Action, ActionDate, ActionQty, Cost, OrderNo, Status) "
                        "VALUES (901, 0, 1, 46000, 500, 12.5, 1, 0)"));
    prompts().onDialog([](QDialog &d) {
        auto *list = dynamic_cast<CDlgList *>(&d);
        EXPECT_NE(list, nullptr);
        if (list) {
            EXPECT_EQ(list->windowTitle(), QStringLiteral("Inventory"));
            EXPECT_EQ(list->m_strStripText, QStringLiteral("Sorted by Inventory Order No, Vendor Name"));
        }
        return int(platform::IDCANCEL);
    });
    v.view.OnCommand(30747);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
    CItemSet::SetInventoryRules(saved);
}

TEST_F(ScheduleTest, ColumnZeroClickRegroupsWithoutWriting)
{
    addOrder(8101, 0, today(), today().addDays(1));
    addOrder(8102, 0, today(), today().addDays(2));
    View v;
    v.view.setListOptions(0);
    v.choose(31101);
    EXPECT_EQ(v.list().GetItemCount(), 2);
    v.view.OnColumnClick(0);
    EXPECT_EQ(v.view.listOption() & 0x1, 0x1);
    EXPECT_EQ(v.view.groupCaption(), QStringLiteral("Date/Order"));
    EXPECT_EQ(v.list().GetItemCount(), 5); // two date headings and a spacer
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("List Options"), -7, CZqApp::kScheduler), -7);
    EXPECT_TRUE(prompts().shown().isEmpty());

    // Summaries may not be re-sorted.
    v.choose(31901);
    prompts().answer(platform::IDOK);
    v.view.OnColumnClick(1);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Sorry, you may not re-sort this list."));
}

TEST_F(ScheduleTest, TotalsOverNoServiceRows)
{
    const qint32 a = addOrder(8201, 0, today(), today().addDays(1));
    View v;
    v.choose(31101);
    v.list().SelectItem(v.rowOf(a));
    prompts().answer(platform::IDOK);
    v.view.OnCommand(30064);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("You have Selected:\n\n0 Services by Time:\t0:00\n0 Services by Each:\t0"));
}

TEST_F(ScheduleTest, TotalsOverSelectedServices)
{
    const qint32 a = addOrder(8251, 0, today(), today().addDays(1));
    addItem(a, 1, 0);
    addService(a, 1, 901, 2, 2, 90, 3);
    addService(a, 1, 902, 2, 1, 45, 5);
    View v;
    v.choose(31101);
    v.view.ExpandRow(v.rowOf(a));
    v.list().SelectAll();
    prompts().answer(platform::IDOK);
    v.view.OnCommand(30064);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("You have Selected:\n\n2 Services by Time:\t2:15\n2 Services by Each:\t2,000"));

    // Three services more of the largest time each: 3,000,000,135 minutes
    // summed whole.
    const qint32 b = addOrder(8252, 0, today(), today().addDays(1));
    addItem(b, 1, 0);
    for (int serNo : {901, 902, 901})
        addService(b, 1, serNo, 2, 2, 1000000000, 3);
    View large;
    large.choose(31101);
    large.view.ExpandRow(large.rowOf(a));
    large.view.ExpandRow(large.rowOf(b));
    large.list().SelectAll();
    prompts().answer(platform::IDOK);
    large.view.OnCommand(30064);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("You have Selected:\n\n5 Services by Time:\t50000002:15\n5 Services by Each:\t5,000"));
}

TEST_F(ScheduleTest, OrderStatusFromTheMenuRepaintsAndMarksItems)
{
    const qint32 a = addOrder(8301, 0, today(), today().addDays(1));
    const qint32 item = addItem(a, 1, 5);
    addService(a, 1, 901, 2, 2, 90, 3);
    View v;
    v.choose(31101);
    const int row = v.rowOf(a);
    v.view.ExpandRow(row);
    v.list().SelectItem(row);
    v.view.OnCommand(31104); // Ready to Ship
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(a)), QStringLiteral("2"));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(item)), QStringLiteral("17"));
    EXPECT_EQ(v.list().GetSubItemImage(row, C::ColOrder), CZqApp::GetJobStatusIcon(2));
    EXPECT_EQ(v.list().GetItemText(row, C::ColGroup), QStringLiteral("Ready to Ship"));
    const int serviceImage = v.list().GetSubItemImage(row + 2, C::ColTitle);
    EXPECT_GE(serviceImage, 84);
    EXPECT_LE(serviceImage, 95);

    // With the shop's inventory each row is its own write: a paper not
    // In-Stock refuses the order's change after the film was finished. The
    // film stays finished and is shown so; the message does not say that
    // nothing was written, and neither the order nor its item changes.
    const CItemSet::InventoryRules saved = CItemSet::GetInventoryRules();
    const auto restore = qScopeGuard([&] { CItemSet::SetInventoryRules(saved); });
    CItemSet::InventoryRules rules;
    rules.enabled = true;
    CItemSet::SetInventoryRules(rules);
    exec(QStringLiteral("UPDATE Services SET OptInv = 1, InStock = 1000 WHERE SerNo = 902"));
    const FilmAndPaper made = addFilmAndPaper(8302, 5, 901, 902, 11);
    const qint32 b = made.order, bItem = made.item, film = made.film, paper = made.paper;
    View w;
    w.choose(31101);
    const int bRow = w.rowOf(b);
    w.view.ExpandRow(bRow);
    w.list().SelectItem(bRow);
    prompts().clear();
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    w.view.OnCommand(31104);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The status of Order 8302 could not be changed. The 1 service(s) "
                                                   "finished before stay finished."));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID IN (%1, %2, %3) ORDER BY ItemID")
                             .arg(bItem)
                             .arg(film)
                             .arg(paper)),
              QStringLiteral("5\n0\n2"));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(b)), QStringLiteral("0"));
    EXPECT_GE(w.list().GetSubItemImage(w.rowOf(film), C::ColTitle), 84);
    EXPECT_LT(w.list().GetSubItemImage(w.rowOf(paper), C::ColTitle), 84);
}

TEST_F(ScheduleTest, UpdateStatusWithoutOrderRowsReportsZero)
{
    const qint32 a = addOrder(8401, 0, today(), today().addDays(1));
    addItem(a, 1, 0);
    View v;
    v.choose(31101);
    const int row = v.rowOf(a);
    v.view.ExpandRow(row);
    v.list().SelectItem(row + 1); // the item row only
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDOK);
    v.view.OnCommand(30728);
    EXPECT_TRUE(prompts().shown()[0].text.endsWith(QStringLiteral("\nStart updating the status of selected Orders?")));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Updated the status of 0 Order(s)."));
}

TEST_F(ScheduleTest, ItemRowsDroppedOnStatusEntryWhileOrdersListedDoNothing)
{
    const qint32 a = addOrder(8501, 0, today(), today().addDays(1));
    const qint32 item = addItem(a, 1, 0);
    View v;
    v.choose(31101);
    const int row = v.rowOf(a);
    v.view.ExpandRow(row);
    v.list().SelectItem(row + 1);
    EXPECT_FALSE(v.view.CanDropOnTree(v.view.tree()->FindItemByData(31205)));
    EXPECT_TRUE(v.view.CanDropOnTree(v.view.tree()->FindItemByData(31104)));
    // An order status given to an item row alone changes nothing.
    EXPECT_EQ(v.view.OnOrderStatus(2), 0);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(a)), QStringLiteral("0"));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(item)), QStringLiteral("0"));
}

TEST_F(ScheduleTest, FindOrderAcceptsDigitsOnly)
{
    const qint32 a = addOrder(8601, 0, today(), today().addDays(1));
    addItem(a, 1, 0);
    addOrder(8602, 0, today(), today().addDays(1));
    View v;
    v.choose(31101);
    const int before = v.list().GetItemCount();
    for (const QString &typed : {QStringLiteral("1 or 1=1"), QStringLiteral("8601; DROP TABLE Jobs"), QString()}) {
        prompts().answer(platform::IDOK);
        v.view.FindOrder(typed);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Not found!"));
        EXPECT_EQ(v.list().GetItemCount(), before);
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs")).toInt(), 2);
    prompts().clear();
    v.view.FindOrder(QStringLiteral("8601"));
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_EQ(v.view.listedCount(), 1);
    // One order listed: it is expanded.
    EXPECT_EQ(v.list().GetSubItemImage(v.rowOf(a), C::ColExpand), C::Expanded);
}

TEST_F(ScheduleTest, ItemStatusRules)
{
    const qint32 a = addOrder(8701, 0, today(), today().addDays(4));
    const qint32 allDone = addItem(a, 1, 0);
    addService(a, 1, 901, 0, 1, 30);
    const qint32 toDo = addItem(a, 2, 0);
    const qint32 toDoService = addService(a, 2, 902, 2, 2, 30);
    View v;
    v.view.setListOptions(0);
    v.choose(31201);
    // "In Production" on an item whose services are all done gives Done.
    v.list().SelectItem(v.rowOf(allDone));
    v.view.OnCommand(31207);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(allDone)),
              QStringLiteral("17"));
    // Done marks the item's services done too.
    v.list().SelectItem(v.rowOf(toDo));
    v.view.OnCommand(31220);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID IN (%1, %2) ORDER BY ItemID")
                             .arg(toDo)
                             .arg(toDoService)),
              QStringLiteral("17\n0"));
    // Updating items that already have the right status reports 0.
    v.list().SelectAll();
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDOK);
    v.view.OnCommand(30729);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Updated the status of 0 Item(s)."));
    snapshot(v.view, QStringLiteral("items"));

    // Done finishes the services first, the film before the paper, and the
    // item only when both are finished. A paper kept in stock (1,000 sheets,
    // 250 used) whose finish is refused or cancelled leaves the item as it
    // was and moves no stock; with the shop's inventory each row is its own
    // write and the film stays finished, without it nothing is written.
    const CItemSet::InventoryRules saved = CItemSet::GetInventoryRules();
    const auto restore = qScopeGuard([&] { CItemSet::SetInventoryRules(saved); });
    exec(QStringLiteral("UPDATE Services SET OptInv = 1, InStock = 1000 WHERE SerNo = 902"));
    const QString notInStock =
        QStringLiteral("You may not finish this Service.\nIts Inventory status must be In-Stock.");
    struct Case
    {
        const char *name;
        bool inventory;
        int paperStock; // the paper row's inventory status
        bool quantityConfirmed; // the answer of the Quantity Used window
        bool paperWriteFails; // the database refuses the paper row
        bool paperSavedMeanwhile; // another user sets the paper to day 5 while the quantity is asked
        QString statuses; // item, film, paper as stored after
        qint64 stockAfter;
        QString message;
    };
    const QString refusedByDatabase =
        QStringLiteral("Cannot save Items\n\nError 3000 occured:\n\nReserved error (refused); there is no message "
                       "for this error.\n\n");
    const Case cases[] = {
        {"paper not In-Stock", true, 11, true, false, false, QStringLiteral("6\n0\n2"), 1000, notInStock},
        {"quantity used cancelled", true, 12, false, false, false, QStringLiteral("6\n0\n2"), 1000, QString()},
        {"another user's day for the paper, Cancel", true, 12, true, false, true, QStringLiteral("6\n0\n5"), 1000,
         QStringLiteral("Another user has saved this record since you opened it, and changed the same field:\n\n"
                        "Padding: Fold, Status: the other user's \"Day 5\", yours \"Done\"\n\nSave what you typed over it?\n\n"
                        "Yes saves yours, No keeps the other user's; your other changes are saved either way. "
                        "Cancel saves nothing now.")},
        {"every service finished", true, 12, true, false, false, QStringLiteral("17\n0\n0"), 750, QString()},
        {"without inventory, the paper row refused", false, 12, true, true, false, QStringLiteral("6\n2\n2"), 1000,
         refusedByDatabase},
        {"without inventory, every service finished", false, 12, true, false, false, QStringLiteral("17\n0\n0"),
         1000, QString()},
    };
    int jobNo = 8710;
    for (const Case &c : cases) {
        exec(QStringLiteral("UPDATE Services SET InStock = 1000 WHERE SerNo = 902"));
        const FilmAndPaper made = addFilmAndPaper(++jobNo, 6, 901, 902, c.paperStock, c.paperWriteFails);
        const qint32 flyers = made.item, film = made.film, paper = made.paper;
        CItemSet::InventoryRules rules;
        rules.enabled = c.inventory;
        rules.optionBits = 8;
        rules.confirm = [&](qint32, bool, qint32 &, qint32 &) {
            if (c.paperSavedMeanwhile)
                exec(QStringLiteral("UPDATE Items SET Status = 5 WHERE ItemID = %1").arg(paper));
            return c.quantityConfirmed;
        };
        CItemSet::SetInventoryRules(rules);

        View shown;
        shown.view.setListOptions(0);
        shown.choose(31201);
        shown.view.ExpandRow(shown.rowOf(flyers));
        shown.list().SelectItem(shown.rowOf(flyers));
        prompts().clear();
        if (!c.message.isEmpty())
            prompts().answer(c.paperSavedMeanwhile ? platform::IDCANCEL : platform::IDOK);
        shown.view.OnCommand(31220);
        EXPECT_EQ(prompts().lastText().toStdString(), c.message.toStdString()) << c.name;
        const QString statuses =
            sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID IN (%1, %2, %3) ORDER BY ItemID")
                           .arg(flyers)
                           .arg(film)
                           .arg(paper));
        EXPECT_EQ(statuses, c.statuses) << c.name;
        EXPECT_EQ(scalar(QStringLiteral("SELECT InStock FROM Services WHERE SerNo = 902")).toInt64(), c.stockAfter)
            << c.name;
        // The list shows what was stored: the item's status, each service
        // done or still to do.
        const QStringList stored = statuses.split(QLatin1Char('\n'));
        EXPECT_EQ(shown.list().GetSubItemImage(shown.rowOf(flyers), C::ColStatus),
                  app->GetScheduleStatusIcon(quint8(stored.value(0).toInt())))
            << c.name;
        for (int at : {1, 2}) {
            const int image = shown.list().GetSubItemImage(shown.rowOf(at == 1 ? film : paper), C::ColTitle);
            EXPECT_EQ(image >= 84, stored.value(at) == QStringLiteral("0")) << c.name << " service " << at;
        }
        refuseNoMore();
    }
}

TEST_F(ScheduleTest, OperatorTagAndPriorityWriteOnlyTheirRows)
{
    const qint32 a = addOrder(8801, 0, today(), today().addDays(4));
    const qint32 item = addItem(a, 1, 0);
    const qint32 service = addService(a, 1, 901, 2, 2, 30);
    View v;
    v.choose(31101);
    const int row = v.rowOf(a);
    v.view.ExpandRow(row);
    v.list().SelectAll();
    EXPECT_EQ(v.view.OnAssign(1, 5), 1); // operators only on service rows
    EXPECT_EQ(v.list().GetItemText(row + 2, C::ColOperator), QStringLiteral("Ben"));
    EXPECT_EQ(v.view.OnAssign(3, 2), 2); // priority on the item and the service
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT ItemID, EmpNo, Tag2 FROM Items WHERE JobID = %1 ORDER BY ItemID").arg(a)),
              QStringLiteral("%1|0|2\n%2|5|2").arg(item).arg(service));
}

TEST_F(ScheduleTest, SummaryPicture)
{
    const qint32 a = addOrder(8901, 0, today(), today().addDays(20));
    addItem(a, 1, 5);
    addService(a, 1, 901, 1, 0, 30, 3);
    addService(a, 1, 901, 1, 3, 45, 3);
    addService(a, 1, 902, 1, 9, 60, 5);
    View v;
    v.choose(31902);
    EXPECT_EQ(v.view.listKind(), 8);
    EXPECT_GE(v.list().GetItemCount(), 3);
    snapshot(v.view, QStringLiteral("summary"));
}

TEST_F(ScheduleTest, CellMenusByRowKindAndColumn)
{
    const qint32 a = addOrder(9001, 0, today(), today().addDays(4));
    addItem(a, 1, 0);
    addService(a, 1, 901, 2, 2, 30);
    View v;
    v.choose(31101);
    const int order = v.rowOf(a);
    v.view.ExpandRow(order);
    struct Case { int row; int column; int menu; };
    const Case cases[] = {
        {order, C::ColOrder, CZqApp::JobStatusMenu},
        {order, C::ColStatus, -1},
        {order + 1, C::ColStatus, CZqApp::ScheduleStatusMenu},
        {order + 1, C::ColTag, CZqApp::TagsAMenu},
        {order + 1, C::ColOperator, -1},
        {order + 2, C::ColTitle, CZqApp::ScheduleStatusMenu},
        {order + 2, C::ColDate, CZqApp::DatesMenu},
        {order + 2, C::ColOperator, CZqApp::OperatorsMenu},
        {order + 2, C::ColTag, CZqApp::TagsBMenu},
        {order + 2, C::ColPriority, CZqApp::InventoryStatusMenu},
        {order + 2, C::ColQuantity, -1},
        {-1, C::ColOrder, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1/%2").arg(c.row).arg(c.column).toStdString());
        EXPECT_EQ(v.view.CellMenuFor(c.row, c.column), c.menu);
    }
    // The same menus come up on a right click as the mouse gives it, on the
    // list's viewport.
    const auto menuAt = [&v](int row, int column) {
        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                for (QAction *action : menu->actions())
                    if (!action->isSeparator())
                        shown << action->text();
                menu->close();
            }
        });
        QWidget *viewport = v.list().viewport();
        const QPoint at = v.list().visualRect(v.list().model()->index(row, column)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
        return shown;
    };
    EXPECT_EQ(menuAt(order, C::ColOrder),
              QStringList({QStringLiteral("In Progress"), QStringLiteral("On Hold"), QStringLiteral("Ready to Ship")}));
    const QStringList dates = menuAt(order + 2, C::ColDate);
    ASSERT_FALSE(dates.isEmpty());
    EXPECT_TRUE(dates.first().endsWith(QStringLiteral("Today"))) << dates.first().toStdString();
    EXPECT_EQ(dates.last(), QStringLiteral("Done"));
    // No menu at all in the summaries.
    v.choose(31901);
    EXPECT_EQ(v.view.CellMenuFor(0, 0), -1);
}

TEST_F(ScheduleTest, AnOrderSavedWhileAnotherViewShowsIsListedWhenTheBoardShowsAgain)
{
    const qint32 a = addOrder(9003, 0, today(), today().addDays(4));
    View v;
    v.choose(31101);
    ASSERT_GE(v.rowOf(a), 0);
    // Another view is shown while an order is saved; then the board again.
    v.view.hide();
    const qint32 b = addOrder(9004, 0, today(), today().addDays(5));
    v.view.show();
    QApplication::processEvents();
    EXPECT_GE(v.rowOf(b), 0) << "the board still lists what it read before";
    EXPECT_GE(v.rowOf(a), 0);
    // What the board writes itself it shows in place: an order opened to
    // its services stays open when a service is marked done.
    addItem(b, 1, 0);
    const qint32 service = addService(b, 1, 901, 2, 2, 30);
    v.view.OnCommand(30401);
    const int order = v.rowOf(b);
    v.view.ExpandRow(order);
    const int rows = v.list().GetItemCount();
    v.view.OnListClick(order + 2, C::ColTitle);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(service)).toInt(), 0);
    v.view.RefreshIfChanged();
    EXPECT_EQ(v.list().GetItemCount(), rows);
}

TEST_F(ScheduleTest, ServicesByDateAndStateClicks)
{
    const qint32 a = addOrder(9201, 0, today().addDays(-1), today().addDays(5));
    const qint32 item = addItem(a, 1, 5);
    const qint32 first = addService(a, 1, 901, 3, 3, 30, 3);  // tomorrow
    const qint32 second = addService(a, 1, 902, 2, 2, 45, 5); // today
    View v;
    v.view.setListOptions(0x400);
    v.choose(31501);
    EXPECT_EQ(v.view.listKind(), 4);
    EXPECT_EQ(v.view.listedCount(), 2);
    snapshot(v.view, QStringLiteral("services-by-date"));
    // A click on the row's text is no click on its state icon: nothing is
    // marked done.
    const int row = v.rowOf(second);
    const QString status = QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(second);
    const QString before = sqliteRows(status);
    const QRect cell = v.list().visualRect(v.list().model()->index(row, C::ColTitle));
    const int icon = v.list().iconSize().width();
    const QPoint onText(cell.left() + icon + 40, cell.center().y());
    const QPoint onIcon(cell.left() + 3 + icon / 2, cell.center().y());
    QTest::mouseClick(v.list().viewport(), Qt::LeftButton, {}, onText);
    EXPECT_EQ(sqliteRows(status), before);
    // A click on a to-do icon marks the service done and works out the
    // item's status again.
    QTest::mouseClick(v.list().viewport(), Qt::LeftButton, {}, onIcon);
    EXPECT_EQ(sqliteRows(status), QStringLiteral("0"));
    EXPECT_GE(v.list().GetSubItemImage(row, C::ColTitle), 84);
    // A click on the done icon schedules it for today (day 2 of the order).
    v.view.OnListClick(row, C::ColTitle);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(second)), QStringLiteral("2"));
    // Moving the first service to the day after tomorrow.
    v.list().SelectItem(v.rowOf(first));
    EXPECT_EQ(v.view.OnServiceDate(31505), 1);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(first)), QStringLiteral("4"));
    EXPECT_EQ(v.list().GetItemText(v.rowOf(first), C::ColDate), QStringLiteral("06/14/2024"));
    (void)item;
}

TEST_F(ScheduleTest, ListOptionsDialogSavesOnlyAChangedMask)
{
    addOrder(9301, 0, today(), today().addDays(1));
    View v;
    v.view.setListOptions(0x1);
    v.choose(31101);
    // OK without a change: nothing stored, nothing listed again.
    prompts().onDialog([](QDialog &) { return int(platform::IDOK); });
    EXPECT_FALSE(v.view.OnListOptions());
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("List Options"), -7, CZqApp::kScheduler), -7);
    // Sorting ascending ticked: stored and listed again.
    prompts().onDialog([](QDialog &d) {
        auto *dialog = dynamic_cast<CDlgOptions *>(&d);
        EXPECT_NE(dialog, nullptr);
        if (dialog)
            dialog->tree()->SetOptionChecked(4, true);
        return int(platform::IDOK);
    });
    EXPECT_TRUE(v.view.OnListOptions());
    EXPECT_EQ(v.view.listOption(), 0x9);
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("List Options"), -7, CZqApp::kScheduler), 0x9);
    EXPECT_TRUE(v.view.lastSql().endsWith(QStringLiteral("ORDER BY Jobs.DateDue, Jobs.JobNo")));
    // Cancel changes nothing.
    prompts().onDialog([](QDialog &) { return int(platform::IDCANCEL); });
    EXPECT_FALSE(v.view.OnListOptions());
    EXPECT_EQ(v.view.listOption(), 0x9);
}

TEST_F(ScheduleTest, NewItemOptionsShowWhatPastingAndNewItemsDo)
{
    exec(QStringLiteral("DELETE FROM Options WHERE OptionID IN (44331, 44332)"));
    View v;
    // Without stored rows the boxes show the defaults the item rules use:
    // every paste default on, a new item In Production.
    QList<bool> shown;
    const auto look = [&](QDialog &d, int answer) {
        auto *dialog = dynamic_cast<CDlgOptions *>(&d);
        EXPECT_NE(dialog, nullptr);
        if (dialog) {
            EXPECT_EQ(dialog->m_strRibbonTitle, QStringLiteral("New Item"));
            EXPECT_EQ(dialog->m_strStripText, QStringLiteral("These options are for ALL computers"));
            shown.clear();
            for (long code : {4433101L, 4433102L, 4433103L, 4433201L})
                shown << dialog->tree()->IsOptionChecked(unsigned(code));
        }
        return answer;
    };
    prompts().onDialog([&](QDialog &d) { return look(d, int(platform::IDCANCEL)); });
    EXPECT_FALSE(v.view.OnItemOptions());
    EXPECT_EQ(shown, (QList<bool>{true, true, true, true}));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT * FROM Options WHERE OptionID IN (44331, 44332)")), QString());
    // OK without a change keeps what the items do.
    prompts().onDialog([&](QDialog &d) { return look(d, int(platform::IDOK)); });
    EXPECT_TRUE(v.view.OnItemOptions());
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT * FROM Options WHERE OptionID IN (44331, 44332) ORDER BY OptionID")),
              QStringLiteral("44331|7\n44332|1"));
    // Stored rows are shown as stored.
    exec(QStringLiteral("UPDATE Options SET OptionSum = 4 WHERE OptionID = 44331"));
    exec(QStringLiteral("UPDATE Options SET OptionSum = 0 WHERE OptionID = 44332"));
    prompts().onDialog([&](QDialog &d) { return look(d, int(platform::IDCANCEL)); });
    v.view.OnItemOptions();
    EXPECT_EQ(shown, (QList<bool>{false, false, true, false}));
}

TEST_F(ScheduleTest, CenterMovesTheServiceAfterAskingTheRightOnce)
{
    exec(QStringLiteral("DELETE FROM ProductionDepts WHERE DepID = 2"));
    exec(QStringLiteral("INSERT INTO ProductionDepts (DepID, Name, Sort) VALUES (2, 'Bindery', 2)"));
    const qint32 a = addOrder(9401, 0, today(), today().addDays(3));
    addItem(a, 1, 5);
    const qint32 service = addService(a, 1, 901, 2, 2, 30, 3);
    View v;
    v.view.setListOptions(0);
    v.choose(31401);
    v.list().SelectItem(v.rowOf(service));
    EXPECT_EQ(v.view.OnCenter(2), 1);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT ProdDepID FROM Services WHERE SerNo = 901")), QStringLiteral("2"));
    v.list().SelectItem(v.rowOf(service));
    EXPECT_EQ(v.view.OnCenter(0), 1);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT ProdDepID FROM Services WHERE SerNo = 901")), QStringLiteral("0"));
}

TEST_F(ScheduleTest, CancelledItemOptionsLeaveTheOptionRows)
{
    const QString before = sqliteRows(QStringLiteral("SELECT * FROM Options WHERE OptionID IN (44331, 44332)"));
    View v;
    prompts().onDialog([](QDialog &) { return int(platform::IDCANCEL); });
    EXPECT_FALSE(v.view.OnItemOptions());
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT * FROM Options WHERE OptionID IN (44331, 44332)")), before);
}

TEST_F(ScheduleTest, ScansFindOrdersItemsAndServiceLines)
{
    const qint32 a = addOrder(9501, 0, today(), today().addDays(3));
    const qint32 item = addItem(a, 1, 5);
    const qint32 service = addService(a, 1, 901, 2, 2, 30, 3);
    addOrder(9502, 0, today(), today().addDays(3));
    View v;
    struct Case { int command; qint32 number; bool found; QString message; qint64 selected; };
    const Case cases[] = {
        {30410, 999999, false, QStringLiteral("Item not found!"), 0},
        {30598, 999999, false, QStringLiteral("Not found!"), 0},
        {30598, a, true, QString(), a},
        {30410, item, true, QString(), item},
        {30390, service, true, QString(), service},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        prompts().clear();
        if (!c.message.isEmpty())
            prompts().answer(platform::IDOK);
        EXPECT_EQ(v.view.ScanRecord(c.command, c.number), c.found);
        EXPECT_EQ(prompts().lastText(), c.message);
        if (c.found)
            EXPECT_EQ(v.list().GetSelectedData(), c.selected);
    }
    // The scanned service line is marked done; the list is of the order's items.
    EXPECT_EQ(v.view.listCommand(), 31201);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(service)), QStringLiteral("0"));
}

TEST_F(ScheduleTest, ItemStatusTrackerColumnsAndClicks)
{
    app->LoadServiceDepartments();
    ASSERT_GE(app->DepartmentList.size(), 2);
    const qint32 depNo = app->DepartmentList[1].m_value;
    // Service 901 belongs to a category of the first department after 0.
    exec(QStringLiteral("DELETE FROM ServiceCategories WHERE CatNo = 7"));
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) "
                        "VALUES (7, %1, 52, 'Typesetting', 7)").arg(depNo));
    exec(QStringLiteral("UPDATE Services SET CatNo = 7 WHERE SerNo = 901"));
    app->LoadServiceCategories();
    const qint32 a = addOrder(9601, 0, today(), today().addDays(3));
    const qint32 item = addItem(a, 1, 0);
    addService(a, 1, 901, 2, 2, 30, 3);
    View v;
    v.view.setListOptions(0);
    v.choose(32101);
    EXPECT_EQ(v.view.listKind(), 10);
    CXListCtrl &list = v.list();
    const int statusColumns = int(app->DepartmentList.size()) - 1 + 6;
    EXPECT_EQ(list.GetColumnText(7), QStringLiteral("Schedule"));
    EXPECT_EQ(list.GetColumnText(11), QString()); // In Production: hidden
    EXPECT_EQ(list.GetColumnWidth(11), 0);
    EXPECT_EQ(list.GetColumnText(12), app->DepartmentList[1].m_text);
    EXPECT_EQ(list.GetColumnText(7 + statusColumns - 1), QStringLiteral("Done"));
    EXPECT_EQ(list.GetColumnText(7 + statusColumns + 1), QStringLiteral("Date"));
    const int row = v.rowOf(item);
    ASSERT_GE(row, 0);
    EXPECT_NE(list.GetSubItemImage(row, 7), CXListCtrl::kNoImage); // its status: Schedule
    EXPECT_EQ(list.GetItemText(row, 12), QString::number(depNo));
    snapshot(v.view, QStringLiteral("item-tracker"));

    // A department the item has no service in refuses the move.
    if (app->DepartmentList.size() > 2) {
        prompts().answer(platform::IDOK);
        v.view.OnListClick(row, 13);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Sorry, you may not move the Item to ") + list.GetColumnText(13));
    }
    // Its own department: the item moves there.
    v.view.OnListClick(row, 12);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(item)),
              QString::number(depNo + 4));
}

TEST_F(ScheduleTest, OpeningWithoutAnOrderOffersTheFind)
{
    View v;
    v.choose(31101); // nothing listed
    prompts().answer(platform::IDNO);
    v.view.OnCommand(30331);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("No Order is selected to open. Would you like to find one?"));
    prompts().answer(platform::IDNO);
    EXPECT_FALSE(v.view.OnJobDates());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("No Order is selected to open. Would you like to find one?"));
}

TEST_F(ScheduleTest, DoubleClickOpensByColumnAndNeverOnHeadings)
{
    const qint32 a = addOrder(9701, 0, today(), today().addDays(3));
    addItem(a, 1, 0);
    addService(a, 1, 901, 2, 2, 30, 3);
    addOrder(9702, 0, today(), today().addDays(4));
    View v;
    v.view.setListOptions(0x1);
    v.choose(31101);
    const int order = v.rowOf(a);
    v.view.ExpandRow(order);
    struct Case { int row; int column; int command; };
    const Case cases[] = {
        {0, 2, 0}, // the date heading
        {order, 7, 30406},
        {order, 11, 30745},
        {order + 2, 11, 30746},
        {order, 4, 30102},
    };
    for (const Case &c : cases)
        EXPECT_EQ(v.view.DoubleClickCommand(c.row, c.column), c.command) << c.row << "/" << c.column;
    // The rows under the expanded order open that order, as the order row does.
    for (int row : {order, order + 1, order + 2}) {
        v.list().SelectItem(row);
        EXPECT_EQ(v.view.ContextJobId(), a) << row;
    }
}

TEST_F(ScheduleTest, CellsWithoutAMenuGetTheListOrInventoryPopup)
{
    const qint32 a = addOrder(9801, 0, today(), today().addDays(4));
    addItem(a, 1, 0);
    addService(a, 1, 901, 2, 2, 30);
    View v;
    v.choose(31101);
    const int order = v.rowOf(a);
    v.view.ExpandRow(order);
    EXPECT_EQ(v.view.FallbackMenuFor(order + 2, C::ColQuantity), CViewSchedule::kInventoryMenu);
    EXPECT_EQ(v.view.FallbackMenuFor(order + 1, C::ColQuantity), CViewSchedule::kScheduleListMenu);
    EXPECT_EQ(v.view.FallbackMenuFor(order, C::ColStatus), CViewSchedule::kScheduleListMenu);

    // The view's own ribbon items: the inventory commands and the settings.
    CXRibbon &bar = *v.view.mainBar();
    const int inventory = bar.FindItem(CViewSchedule::kInventoryButton);
    ASSERT_GE(inventory, 0);
    EXPECT_EQ(bar.itemAt(inventory).caption, QStringLiteral("Inventory"));
    const int settings = bar.FindItem(CViewSchedule::kSettingsButton);
    ASSERT_GE(settings, 0);
    EXPECT_EQ(bar.itemAt(settings).caption, QStringLiteral("Scheduler Settings"));
    EXPECT_EQ(bar.GetItemTip(CViewSchedule::kSettingsButton), QStringLiteral("Setup Scheduler"));
    int switched = 0;
    QObject::connect(&v.view, &CView0::switchViewRequested, [&](int view) { switched = view; });
    v.view.OnCommand(CViewSchedule::kSettingsButton);
    EXPECT_EQ(switched, 30006);
}

TEST_F(ScheduleTest, ASchedulingOfAnItemOnHoldAsksWithTheOption)
{
    const qint32 a = addOrder(9802, 0, today(), today().addDays(6));
    const qint32 item = addItem(a, 1, 1); // on Hold
    const qint32 service = addService(a, 1, 901, 2, 2, 30);
    int asked = 0;
    bool keep = true;
    SetChoiceRunner([&](CZqApp::ChoiceDialog &dialog) {
        ++asked;
        EXPECT_EQ(dialog.groups.value(0).heading, QStringLiteral("Keep or Change Item Status?"));
        for (CZqApp::ChoiceGroup &group : dialog.groups)
            for (int i = 0; i < group.entries.size(); ++i)
                group.entries[i].checked = keep ? i == 0 : i == 1;
        return int(platform::IDOK);
    });
    View v;
    v.view.setListOptions(0x400 | 0x10000 | CViewSchedule::kAskItemStatusOption);
    v.choose(31501);
    ASSERT_GE(v.rowOf(service), 0);
    v.list().SelectItem(v.rowOf(service));
    EXPECT_EQ(v.view.OnServiceDate(31504), 1);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(item)).toInt(), 1);
    keep = false;
    v.list().SelectItem(v.rowOf(service));
    EXPECT_EQ(v.view.OnServiceDate(31505), 1);
    EXPECT_EQ(asked, 2);
    EXPECT_NE(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(item)).toInt(), 1);
    SetChoiceRunner(nullptr);
}

TEST_F(ScheduleTest, ScheduleJobOpensTheSchedulingWindowOnTheRow)
{
    // The window shows services of a category.
    exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (20, 1, 'Prep', "
                        "20, 1)"));
    exec(QStringLiteral("UPDATE Services SET CatNo = 20 WHERE SerNo = 901"));
    app->LoadServiceCategories();
    app->LoadServices(2);
    const qint32 a = addOrder(9803, 0, today(), today().addDays(4));
    addItem(a, 1, 0);
    const qint32 service = addService(a, 1, 901, 2, 2, 30);
    View v;
    v.view.setListOptions(0x400 | 0x10000);
    v.choose(31501);
    ASSERT_GE(v.rowOf(service), 0);
    v.list().SelectItem(v.rowOf(service));
    onDialog<CScheduleJob>([&](CScheduleJob &d) {
        EXPECT_EQ(d.m_nInitialItemId, service);
        EXPECT_EQ(d.grid().table().GetRowKey(d.chart().GetSelectedRow()), service);
        d.OnGridClick(d.chart().GetSelectedRow(), 5, false); // done
        return 2;
    });
    v.view.OnCommand(30102);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(service)).toInt(), 0);
}

TEST_F(ScheduleTest, TreeListsEachDepartmentCenterOperatorAndTagWithItsRows)
{
    exec(QStringLiteral("UPDATE Employees SET Type = 0 WHERE EmpNo = 5")); // Ben works at the machines
    exec(QStringLiteral("DELETE FROM ProductionDepts WHERE DepID = 2"));
    exec(QStringLiteral("INSERT INTO ProductionDepts (DepID, Name, Sort) VALUES (2, 'Bindery', 2)"));
    exec(QStringLiteral("DELETE FROM ProductionTags WHERE TagID = 3"));
    exec(QStringLiteral("INSERT INTO ProductionTags (TagID, Name, Color, Type, Sort) VALUES (3, 'Rush', 2, 0, 3)"));
    exec(QStringLiteral("UPDATE Services SET ProdDepID = 2 WHERE SerNo = 901"));
    const int depNo = scalar(QStringLiteral("SELECT Min(DepNo) FROM ServiceDepartments WHERE DepNo > 0")).toInt();
    ASSERT_GT(depNo, 0);
    exec(QStringLiteral("UPDATE ServiceCategories SET DepNo = %1 WHERE CatNo = "
                        "(SELECT CatNo FROM Services WHERE SerNo = 901)")
             .arg(depNo));
    loadApplication();
    const qint32 a = addOrder(9501, 0, today(), today().addDays(3));
    const qint32 item = addItem(a, 1, 4 + depNo);
    const qint32 mine = addService(a, 1, 901, 2, 2, 30, 5);
    const qint32 other = addService(a, 1, 902, 2, 2, 20, 0);
    exec(QStringLiteral("UPDATE Items SET Tag1 = 3 WHERE ItemID = %1").arg(mine));

    View v;
    CXTreeCtrl &tree = *v.view.tree();
    for (int i = 1; i < app->DepartmentList.size(); ++i) {
        const CListItem &dep = app->DepartmentList[i];
        QTreeWidgetItem *entry = tree.FindItemByData(quint32(31302 + dep.m_value));
        ASSERT_NE(entry, nullptr) << dep.m_text.toStdString();
        EXPECT_EQ(entry->text(0), dep.m_text);
    }
    struct Case { int code; QString text; };
    const Case entries[] = {{31404, QStringLiteral("Bindery")}, {31607, QStringLiteral("Ben")},
                            {31705, QStringLiteral("Rush")}};
    for (const Case &c : entries) {
        SCOPED_TRACE(c.code);
        QTreeWidgetItem *entry = tree.FindItemByData(quint32(c.code));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->text(0), c.text);
    }
    // Each entry lists its own work and no other.
    v.view.setListOptions(0);
    for (const int code : {31404, 31607, 31705}) {
        SCOPED_TRACE(code);
        v.choose(code);
        EXPECT_GE(v.rowOf(mine), 0);
        EXPECT_LT(v.rowOf(other), 0);
    }

    // The item's department status shows one picture in its row and on its tree entry.
    v.choose(31201);
    const int row = v.rowOf(item);
    ASSERT_GE(row, 0);
    EXPECT_EQ(v.list().GetSubItemImage(row, C::ColStatus),
              CXTreeCtrl::GetImage(tree.FindItemByData(quint32(31207 + depNo))));
}
