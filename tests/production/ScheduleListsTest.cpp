#include "ScheduleFixture.h"

#include "production/schedule/OrderStatusRules.h"
#include "production/schedule/ScheduleLists.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

namespace {

QStringList titles(const ScheduleTable &table)
{
    QStringList out;
    for (const ScheduleColumn &c : table.columns)
        out << c.title;
    return out;
}

QList<qint64> keysOfKind(const ScheduleTable &table, char kind)
{
    QList<qint64> out;
    for (const ScheduleRow &r : table.rows)
        if (r.kind == kind)
            out << r.key;
    return out;
}

} // namespace

TEST_F(ScheduleTest, OrdersStatementFollowsEntryAndOptions)
{
    struct Case {
        int entry;
        int options;
        QString filter;
        QString contains;
        QString orderBy;
        QString caption;
    };
    const Case cases[] = {
        {1, 0, {}, QStringLiteral("WHERE Jobs.JobType = 0 and Jobs.Creator < 98 ORDER BY"),
         QStringLiteral(" ORDER BY Jobs.JobNo DESC"), QStringLiteral("Order")},
        {1, 0x8, {}, {}, QStringLiteral(" ORDER BY Jobs.JobNo"), QStringLiteral("Order")},
        {3, 0x3, {}, QStringLiteral("and Jobs.Status = 1"), QStringLiteral(" ORDER BY Jobs.DateDue, Jobs.JobNo DESC"),
         QStringLiteral("Date/Order")},
        {1, 0x7, {}, {}, QStringLiteral(" ORDER BY Jobs.DateDue, Jobs.Status, Customers.Name, Jobs.JobNo DESC"),
         QStringLiteral("Date/Status/Customer/Order")},
        {1, 0x1, QStringLiteral("Jobs.JobID = 7"), QStringLiteral("and Jobs.JobID = 7"),
         QStringLiteral(" ORDER BY Jobs.JobNo DESC"), QStringLiteral("Order")},
        {8, 0, {}, QStringLiteral("and Jobs.Status < 3"), {}, QStringLiteral("Order")},
    };
    for (const Case &c : cases) {
        ScheduleLists lists(app.get());
        lists.options = c.options;
        lists.filter = c.filter;
        QString caption;
        const QString sql = lists.OrdersSql(c.entry, caption);
        SCOPED_TRACE(sql.toStdString());
        EXPECT_TRUE(sql.startsWith(QStringLiteral("SELECT ") + ScheduleLists::CustomerExpression()));
        if (!c.contains.isEmpty())
            EXPECT_TRUE(sql.contains(c.contains));
        if (!c.orderBy.isEmpty())
            EXPECT_TRUE(sql.endsWith(c.orderBy));
        EXPECT_EQ(caption, c.caption);
    }
}

TEST_F(ScheduleTest, OrdersListNewestFirstAndGroupedByDueDate)
{
    const qint32 a = addOrder(1001, 0, today().addDays(-2), today().addDays(3));
    const qint32 b = addOrder(1002, 1, today().addDays(-1), today().addDays(3));
    const qint32 c = addOrder(1003, 0, today(), today().addDays(5));
    addOrder(1004, 0, today(), today()); // a quote-like order of another program is not listed
    exec(QStringLiteral("UPDATE Jobs SET Creator = 98 WHERE JobNo = 1004"));

    ScheduleLists lists(app.get());
    lists.options = 0;
    ScheduleTable table = lists.ListOrders(1);
    EXPECT_EQ(keysOfKind(table, 'O'), (QList<qint64>{c, b, a}));
    EXPECT_EQ(table.listedCount, 3);
    EXPECT_EQ(table.unitWord, QStringLiteral("Orders"));
    EXPECT_EQ(titles(table).mid(0, 9),
              (QStringList{QStringLiteral("Group By..."), QString(), QStringLiteral("Order"), QStringLiteral("JobID"),
                           QStringLiteral("Customer"), QStringLiteral("I"), QStringLiteral("Title"), QString(),
                           QStringLiteral("Date")}));
    const ScheduleRow &first = table.rows.first();
    EXPECT_EQ(first.text(ScheduleLists::ColOrder), QStringLiteral("1003"));
    EXPECT_EQ(first.image(ScheduleLists::ColExpand), ScheduleLists::Collapsed);
    EXPECT_EQ(first.text(ScheduleLists::ColDate), QStringLiteral("06/17/2024"));

    // Grouped by due date: a heading per date, a spacer between dates.
    lists.options = 0x1 | 0x8;
    table = lists.ListOrders(1);
    QStringList shape;
    for (const ScheduleRow &r : table.rows)
        shape << (r.kind == 'O' ? QString::number(r.key) : r.text(0).isEmpty() ? QStringLiteral("-") : r.text(0));
    EXPECT_EQ(shape, (QStringList{QStringLiteral("06/15/2024"), QString::number(a), QString::number(b),
                                  QStringLiteral("-"), QStringLiteral("06/17/2024"), QString::number(c)}));
    EXPECT_EQ(table.rows[0].text(ScheduleLists::ColDate), QStringLiteral("Saturday"));

    // On Hold only (entry 3).
    table = lists.ListOrders(3);
    EXPECT_EQ(keysOfKind(table, 'O'), (QList<qint64>{b}));

    // Today is Wednesday 06/12/2024: late means due on 06/11 or before and
    // not yet Ready to Post; the orders due 06/15 and 06/17 are not late.
    const qint32 yesterday = addOrder(1005, 0, today().addDays(-9), QDate(2024, 6, 11));
    const qint32 weekAgo = addOrder(1006, 1, today().addDays(-9), QDate(2024, 6, 5));
    addOrder(1007, 3, today().addDays(-9), QDate(2024, 6, 11)); // ready to post: not late
    const qint32 dueToday = addOrder(1008, 0, today().addDays(-9), QDate(2024, 6, 12));
    const qint32 tomorrow = addOrder(1009, 2, today().addDays(-9), QDate(2024, 6, 13));
    lists.options = 0;
    const struct
    {
        int entry;
        QList<qint64> keys;
    } dueCases[] = {
        {8, {weekAgo, yesterday}},    // Late
        {9, {dueToday}},              // Due Today
        {10, {tomorrow}},             // Due Tomorrow
    };
    for (const auto &c : dueCases)
        EXPECT_EQ(keysOfKind(lists.ListOrders(c.entry), 'O'), c.keys) << c.entry;
}

TEST_F(ScheduleTest, FindOfOneOrderListsItsItemsExpandedWithoutDateHeadings)
{
    const qint32 job = addOrder(2001, 0, today(), today().addDays(2));
    addItem(job, 1, 0);
    addItem(job, 2, 3);
    const qint32 other = addOrder(2002, 0, today(), today().addDays(4));
    addItem(other, 1, 0);

    ScheduleLists lists(app.get());
    lists.options = 0x10 | 0x20;
    lists.filter = QStringLiteral("Jobs.JobID = %1").arg(job);
    const ScheduleTable table = lists.ListItems(31201);
    EXPECT_TRUE(table.expandAll);
    // Grouping by date is off for one order: a status heading before each
    // status, no date heading.
    QStringList shape;
    for (const ScheduleRow &r : table.rows)
        shape << (r.kind == 'I' ? r.text(ScheduleLists::ColOrder) : r.text(0));
    EXPECT_EQ(shape, (QStringList{QStringLiteral("Schedule"), QStringLiteral("2001-1"), QStringLiteral("Proof"),
                                  QStringLiteral("2001-2")}));
}

TEST_F(ScheduleTest, ItemsOfOrdersInProgressUnlessAllItemsAreAsked)
{
    const qint32 open = addOrder(3001, 0, today(), today());
    const qint32 held = addOrder(3002, 1, today(), today());
    const qint32 openItem = addItem(open, 1, 0);
    const qint32 heldItem = addItem(held, 1, 0);
    const qint32 doneItem = addItem(open, 2, 17);

    ScheduleLists lists(app.get());
    lists.options = 0;
    ScheduleTable table = lists.ListItems(31201);
    EXPECT_EQ(table.unitWord, QStringLiteral("Items of Orders in Progress"));
    EXPECT_EQ(keysOfKind(table, 'I'), (QList<qint64>{openItem, doneItem}));

    lists.options = 0x200;
    table = lists.ListItems(31201);
    EXPECT_EQ(table.unitWord, QStringLiteral("Items"));
    EXPECT_EQ(keysOfKind(table, 'I').size(), 3);
    EXPECT_TRUE(keysOfKind(table, 'I').contains(heldItem));

    struct Case { int command; QList<qint64> keys; };
    const Case cases[] = {{31202, {openItem}}, {31220, {doneItem}}, {32104, {doneItem}}, {31207, {}}};
    lists.options = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(keysOfKind(lists.ListItems(c.command), 'I'), c.keys);
    }
}

TEST_F(ScheduleTest, CrosstabBucketsOnAFixedClock)
{
    const qint32 job = addOrder(4001, 0, today(), today().addDays(20));
    addItem(job, 1, 5);
    // Days2 counts from DateIn (day 1): day 8 is +7, day 9 is +8. A service
    // never given a date (Days2 0) counts on the day its status names: day
    // 1, the order's date, as the scheduler's lists show it.
    addService(job, 1, 901, 1, 0, 30, 3);
    addService(job, 1, 901, 1, 8, 45, 3);
    addService(job, 1, 902, 1, 9, 60, 5);
    addService(job, 1, 902, 0, 1, 15, 5); // done: not in the to-do summary

    ScheduleLists lists(app.get());
    ScheduleTable table = lists.ListCrosstab(1, false);
    EXPECT_EQ(titles(table), (QStringList{QStringLiteral("Operator"), QStringLiteral("Count"),
                                          QStringLiteral("TOTAL"), QStringLiteral("06/12"), QStringLiteral("06/19"),
                                          QStringLiteral("Later")}));
    ASSERT_EQ(table.rows.size(), 2);
    EXPECT_EQ(table.rows[0].texts(), (QStringList{QStringLiteral("Carla"), QStringLiteral("2"), QStringLiteral("1:15"),
                                                QStringLiteral("0:30"), QStringLiteral("0:45"), QString()}));
    EXPECT_EQ(table.rows[1].texts(), (QStringList{QStringLiteral("Ben"), QStringLiteral("1"), QStringLiteral("1:00"),
                                                QString(), QString(), QStringLiteral("1:00")}));
    EXPECT_EQ(table.listedCount, 3);

    // An order Ready to Ship counts as done even with services to do.
    const qint32 shipped = addOrder(4002, 2, today().addDays(-3), today());
    addItem(shipped, 1, 17);
    addService(shipped, 1, 901, 4, 2, 20, 3); // scheduled 06/10, still open
    table = lists.ListCrosstab(1, true);
    EXPECT_EQ(titles(table), (QStringList{QStringLiteral("Operator"), QStringLiteral("Count"),
                                          QStringLiteral("TOTAL"), QStringLiteral(" Today"),
                                          QStringLiteral("06/10/24")}));
    int counted = 0;
    for (const ScheduleRow &r : table.rows)
        counted += r.text(1).toInt();
    EXPECT_EQ(counted, 2);
}

TEST_F(ScheduleTest, CrosstabTotalsWriteUpIntoHeadingRows)
{
    const qint32 job = addOrder(4101, 0, today(), today().addDays(20));
    addItem(job, 1, 5);
    addService(job, 1, 901, 1, 1, 30, 3);
    addService(job, 1, 902, 1, 2, 45, 3);
    ScheduleLists lists(app.get());
    const ScheduleTable table = lists.ListCrosstab(2, false);
    ASSERT_GE(table.rows.size(), 2);
    // Operator heading row: the sums of the category rows under it.
    EXPECT_EQ(table.rows[0].text(0), QStringLiteral("Carla"));
    EXPECT_TRUE(table.rows[0].text(2).isEmpty()); // the count stays with the categories
    EXPECT_EQ(table.rows[0].text(3), QStringLiteral("1:15"));
    EXPECT_EQ(table.rows[0].text(4), QStringLiteral("0:30"));
    EXPECT_EQ(table.rows[0].text(5), QStringLiteral("0:45"));
    EXPECT_FALSE(table.rows[1].text(1).isEmpty()); // a category row

    // Services of the largest time each: the sums are worked and shown
    // whole (3,000,000,000 minutes are 50,000,000 hours), never wrapped.
    const qint32 large = addOrder(4102, 0, today(), today().addDays(20));
    addItem(large, 1, 5);
    addService(large, 1, 901, 1, 1, 1000000000, 5);
    addService(large, 1, 902, 1, 2, 1000000000, 5);
    addService(large, 1, 902, 1, 2, 1000000000, 5);
    const ScheduleTable whole = lists.ListCrosstab(2, false);
    int ben = -1;
    for (int r = 0; r < whole.rows.size(); ++r)
        if (whole.rows[r].text(0) == QStringLiteral("Ben"))
            ben = r;
    ASSERT_GE(ben, 0);
    EXPECT_EQ(whole.rows[ben].text(3), QStringLiteral("50000000:00"));
    EXPECT_EQ(whole.rows[ben].text(4), QStringLiteral("16666666:40"));
    EXPECT_EQ(whole.rows[ben].text(5), QStringLiteral("33333333:20"));
}

TEST_F(ScheduleTest, BucketsOrderByDateAcrossNewYear)
{
    struct Case { QDate today; QStringList given; QStringList expected; };
    const Case cases[] = {
        {QDate(2024, 12, 29), {QStringLiteral("01/02"), QStringLiteral("12/30"), QStringLiteral(" Late"), QStringLiteral("Later")},
         {QStringLiteral(" Late"), QStringLiteral("12/30"), QStringLiteral("01/02"), QStringLiteral("Later")}},
        {QDate(2025, 1, 2), {QStringLiteral("Earlier"), QStringLiteral("12/31/24"), QStringLiteral(" Today"), QStringLiteral("01/01/25")},
         {QStringLiteral(" Today"), QStringLiteral("12/31/24"), QStringLiteral("01/01/25"), QStringLiteral("Earlier")}},
        {QDate(2024, 6, 12), {QStringLiteral("06/19"), QStringLiteral("06/12")},
         {QStringLiteral("06/12"), QStringLiteral("06/19")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ScheduleLists::OrderBuckets(c.given, c.today), c.expected);
}

TEST_F(ScheduleTest, OrderStatusRules)
{
    struct Case {
        const char *name;
        int status;        // the order's status before
        bool servicesDone; // every service of the order done
        int asked;
        OrderStatusRules::Result result;
        int after;
    };
    const Case cases[] = {
        {"ready to ship", 0, false, 2, OrderStatusRules::Changed, 2},
        {"on hold to on hold", 1, false, 1, OrderStatusRules::Unchanged, 1},
        {"ready to post never changes", 3, false, 0, OrderStatusRules::Unchanged, 3},
        {"ready to post is never set", 0, false, 3, OrderStatusRules::Unchanged, 0},
        {"automatic, all done", 0, true, 255, OrderStatusRules::Changed, 2},
        {"automatic, one to do", 2, false, 255, OrderStatusRules::Changed, 0},
        {"automatic leaves on hold", 1, true, 255, OrderStatusRules::Unchanged, 1},
        {"back to in progress", 2, true, 0, OrderStatusRules::Changed, 0},
    };
    qint32 jobNo = 5000;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const qint32 job = addOrder(++jobNo, c.status, today(), today().addDays(3));
        addItem(job, 1, 5);
        addService(job, 1, 901, c.servicesDone ? 0 : 2, 2, 30);
        EXPECT_EQ(OrderStatusRules::SetOrderStatus(job, c.asked), c.result);
        EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(job)).toInt(), c.after);
    }
}

TEST_F(ScheduleTest, ReadyToShipMarksItemsDoneAndServicesDoneInOneWrite)
{
    const qint32 job = addOrder(6001, 0, today(), today().addDays(3));
    const qint32 item1 = addItem(job, 1, 5);
    const qint32 item2 = addItem(job, 2, 0);
    addService(job, 1, 901, 3, 3, 30);
    addService(job, 2, 902, 1, 1, 10);
    ASSERT_EQ(OrderStatusRules::SetOrderStatus(job, 2), OrderStatusRules::Changed);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(job)), QStringLiteral("2"));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT ItemID, Status FROM Items WHERE JobID = %1 AND SerNo = 0 "
                                        "ORDER BY ItemID").arg(job)),
              QStringLiteral("%1|17\n%2|17").arg(item1).arg(item2));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1 AND SerNo > 0 AND Status > 0")
                             .arg(job)),
              QStringLiteral("0"));
}

TEST_F(ScheduleTest, ExpandingAnOrderShowsItsItemsAndServices)
{
    const qint32 job = addOrder(7001, 0, today(), today().addDays(3));
    const qint32 item = addItem(job, 1, 0);
    const qint32 service = addService(job, 1, 901, 2, 2, 90, 3);
    ScheduleLists lists(app.get());
    const QList<ScheduleRow> rows = lists.ExpandOrder(job, 0);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].kind, 'I');
    EXPECT_EQ(rows[0].key, item);
    EXPECT_EQ(rows[0].text(ScheduleLists::ColStatus), QStringLiteral("Item 7001-1"));
    EXPECT_EQ(rows[1].kind, 'S');
    EXPECT_EQ(rows[1].key, service);
    EXPECT_EQ(rows[1].text(ScheduleLists::ColDate), QStringLiteral("06/13/2024"));
    EXPECT_EQ(rows[1].text(ScheduleLists::ColOperator), QStringLiteral("Carla"));
    EXPECT_EQ(rows[1].text(ScheduleLists::ColTime), QStringLiteral("1:30"));
    EXPECT_GE(rows[1].image(ScheduleLists::ColTitle), 48);
    EXPECT_LE(rows[1].image(ScheduleLists::ColTitle), 59);
}

TEST_F(ScheduleTest, ServiceListFilters)
{
    // Item statuses: 5 is a production department, 0 not in production.
    const qint32 open = addOrder(9101, 0, today(), today().addDays(3));
    addItem(open, 1, 5);
    const qint32 late = addService(open, 1, 901, 2, 0, 30, 3);     // new, on its stored day: yesterday
    const qint32 afterDue = addService(open, 1, 902, 2, 6, 30, 5); // past the due date
    const qint32 onTime = addService(open, 1, 901, 2, 2, 30, 3);   // tomorrow
    exec(QStringLiteral("UPDATE Items SET Tag1 = 1 WHERE ItemID = %1").arg(onTime));
    const qint32 held = addOrder(9102, 1, today(), today().addDays(3));
    addItem(held, 1, 5);
    const qint32 heldService = addService(held, 1, 901, 2, 1, 30, 3);
    const qint32 notInProduction = addOrder(9103, 0, today(), today().addDays(3));
    addItem(notInProduction, 1, 0);
    const qint32 waiting = addService(notInProduction, 1, 901, 2, 1, 30, 3);
    const qint32 doneService = addService(open, 1, 901, 0, 1, 30, 3);
    // Scheduled today, and on the order's due date itself: neither is late.
    const qint32 todays = addService(open, 1, 901, 2, 1, 30);
    const qint32 onDue = addService(open, 1, 901, 2, 4, 30);
    // An order without a status is in progress; a service without one is
    // done.
    const qint32 noStatus = addOrder(9104, 0, today(), today().addDays(3));
    exec(QStringLiteral("UPDATE Jobs SET Status = Null WHERE JobID = %1").arg(noStatus));
    addItem(noStatus, 1, 5);
    const qint32 ofNoStatus = addService(noStatus, 1, 901, 2, 2, 30); // tomorrow
    const qint32 doneNoStatus = addService(open, 1, 902, 2, 3, 30);
    exec(QStringLiteral("UPDATE Items SET Status = Null WHERE ItemID = %1").arg(doneNoStatus));

    auto keys = [](const ScheduleTable &t) {
        QList<qint64> out;
        for (const ScheduleRow &r : t.rows)
            if (r.kind == 'S')
                out << r.key;
        std::sort(out.begin(), out.end());
        return out;
    };
    struct Case { const char *name; int command; int options; QList<qint64> expected; };
    const Case cases[] = {
        {"in progress only", 31501, 0, {late, afterDue, onTime, todays, onDue, ofNoStatus}},
        {"all orders", 31501, 0x10000, {late, afterDue, onTime, heldService, waiting, todays, onDue, ofNoStatus}},
        {"late or after due", 31502, 0, {late, afterDue}},
        {"today", 31503, 0, {todays}},
        {"tomorrow", 31504, 0, {onTime, ofNoStatus}},
        {"done", 31599, 0, {doneService, doneNoStatus}},
        {"done and to do", 31601, 0x20000, {late, afterDue, onTime, doneService, todays, onDue, ofNoStatus, doneNoStatus}},
        {"operator Carla", 31605, 0, {late, onTime}},
        {"tags assigned", 31701, 0, {onTime}},
        {"tags unassigned", 31702, 0, {late, afterDue, todays, onDue, ofNoStatus}},
    };
    ScheduleLists lists(app.get());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        lists.options = c.options;
        EXPECT_EQ(keys(lists.ListServices(c.command)), c.expected);
    }
    lists.options = 0;
    EXPECT_EQ(lists.ListServices(31501).unitWord,
              QStringLiteral("Services To-Do of Orders in Progress/Items in Production"));
    EXPECT_EQ(lists.ListServices(31599).unitWord,
              QStringLiteral("Services Done of Orders in Progress/Items in Production"));
}

TEST_F(ScheduleTest, ServiceListByDateAddsDateRowsWithTheirTimes)
{
    // The list by date adds rows of its own: before each new day an empty
    // spacer (not before the first) and the day's row, which carries the
    // time of the day's services. The department's name starts each day
    // again, in its first service row.
    const qint32 order = addOrder(9201, 0, today(), today().addDays(5));
    addItem(order, 1, 5);
    const qint32 first = addService(order, 1, 901, 2, 2, 30);
    const qint32 second = addService(order, 1, 901, 2, 2, 45);
    const qint32 nextDay = addService(order, 1, 901, 2, 3, 20);
    const qint32 untimed = addService(order, 1, 901, 2, 3, 0);
    // New services, never given a date (Days2 0), of an order that came in
    // today: each is listed on the day its status names (day 1 is today,
    // day 3 the day after tomorrow), not on the day before the order came
    // in; one with no day at all (status 255) under "?", first.
    const qint32 fresh = addService(order, 1, 901, 1, 0, 10);
    const qint32 third = addService(order, 1, 901, 3, 0, 5);
    const qint32 noDay = addService(order, 1, 901, 255, 0, 0);
    // A second row of the same item, after the first: the services show the
    // first one's description.
    addItem(order, 1, 0, QStringLiteral("Copy"));
    ScheduleLists lists(app.get());
    lists.options = 0x10000 | 0x20000;
    const ScheduleTable table = lists.ListServices(31501);
    const QList<ScheduleRow> &rows = table.rows;
    EXPECT_EQ(table.listedCount, 7);
    const QString day0 = today().toString(QStringLiteral("MM/dd/yyyy"));
    const QString day1 = today().addDays(1).toString(QStringLiteral("MM/dd/yyyy"));
    const QString day2 = today().addDays(2).toString(QStringLiteral("MM/dd/yyyy"));
    // Date rows show their day and time; service rows their own date.
    const struct { char kind; qint64 key; QString date; const char *time; } expected[] = {
        {'-', 0, QStringLiteral("?"), ""}, {'S', noDay, QStringLiteral("?"), ""},
        {'-', 0, QString(), ""},
        {'-', 0, day0, "0:10"}, {'S', fresh, day0, "0:10"},
        {'-', 0, QString(), ""},
        {'-', 0, day1, "1:15"}, {'S', first, day1, "0:30"}, {'S', second, day1, "0:45"},
        {'-', 0, QString(), ""},
        {'-', 0, day2, "0:25"}, {'S', nextDay, day2, "0:20"}, {'S', untimed, day2, ""}, {'S', third, day2, "0:05"},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (int r = 0; r < rows.size(); ++r) {
        const auto &e = expected[r];
        EXPECT_EQ(rows[r].kind, e.kind) << r;
        EXPECT_EQ(rows[r].key, e.key) << r;
        EXPECT_EQ(rows[r].text(e.kind == 'S' ? ScheduleLists::ColDate : ScheduleLists::ColGroup), e.date) << r;
        EXPECT_EQ(rows[r].text(ScheduleLists::ColTime), QString::fromLatin1(e.time)) << r;
    }
    EXPECT_EQ(rows[2].texts(), QStringList(ScheduleLists::ColumnCount));
    const QString department = rows[1].text(ScheduleLists::ColGroup);
    EXPECT_FALSE(department.isEmpty());
    for (const int r : {4, 7, 11})
        EXPECT_EQ(rows[r].text(ScheduleLists::ColGroup), department) << r;
    EXPECT_EQ(rows[8].text(ScheduleLists::ColGroup), QString());
    EXPECT_EQ(rows[11].text(ScheduleLists::ColQuantity), QStringLiteral("1,000"));
    // A service shows its order and item with the item's description.
    EXPECT_EQ(rows[12].text(ScheduleLists::ColOrder), QStringLiteral("9201-1 Flyers"));
    EXPECT_EQ(rows[12].text(ScheduleLists::ColJobId), QString::number(order));
}

TEST_F(ScheduleTest, ServiceListGroupingNamesEachTableOnce)
{
    struct Case { int command; int options; QString orderBy; QString caption; };
    const QString d = QStringLiteral("IIf(Items.Days2 > 0, Jobs.DateIn + Items.Days2 - 1, IIf(Items.Status Between 1 "
                                     "And 254, Jobs.DateIn + Items.Status - 1)), ");
    const Case cases[] = {
        {31601, 0x1000, QStringLiteral("Employees.Sort, ServiceCategories.SortNo, "), QStringLiteral("Operator/Category/Service")},
        {31601, 0x1000 | 0x400, d + QStringLiteral("Employees.Sort, ServiceCategories.SortNo, "),
         QStringLiteral("Date/Operator/Category/Service")},
        {31301, 0x800, QStringLiteral("ServiceCategories.SortNo, "), QStringLiteral("Category/Service")},
        {31501, 0x2000, d + QStringLiteral("Customers.Name, ServiceCategories.SortNo, "),
         QStringLiteral("Date/Customer/Category/Service")},
        {31801, 0x8000, QStringLiteral("Items.Tag2, ServiceCategories.SortNo, "), QStringLiteral("Priority/Category/Service")},
    };
    ScheduleLists lists(app.get());
    for (const Case &c : cases) {
        lists.options = c.options;
        QString caption;
        const QString sql = lists.ServicesSql(c.command, caption);
        SCOPED_TRACE(sql.toStdString());
        EXPECT_TRUE(sql.endsWith(QStringLiteral(" ORDER BY ") + c.orderBy + QStringLiteral("Services.SortNo, Services.Name ")));
        EXPECT_EQ(sql.count(QStringLiteral("Employees.Sort,")), c.orderBy.count(QStringLiteral("Employees.Sort,")));
        EXPECT_EQ(caption, c.caption);
    }
}

TEST_F(ScheduleTest, LongListsAskTheProgressAndStopKeepsTheRowsRead)
{
    const qint32 first = addOrder(20000, 0, today(), today());
    SharedDatabase().executeNative(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1200) "
        "INSERT INTO Jobs (JobType, JobNo, CusNo, Title, DateIn, DateDue, Status, Creator, CSRNo, ShiptoNo) "
        "SELECT 0, 20000 + i, CusNo, Title, DateIn, DateDue, 0, 0, 3, 0 FROM n, Jobs WHERE JobID = %1").arg(first));
    ScheduleLists lists(app.get());
    lists.options = 0;
    int asked = 0;
    lists.progress = [&asked](int done, int total) {
        ++asked;
        EXPECT_EQ(total, 1201);
        return done < 100;
    };
    const ScheduleTable table = lists.ListOrders(1);
    EXPECT_TRUE(table.cancelled);
    EXPECT_EQ(table.listedCount, 100);
    EXPECT_EQ(asked, 101);
    // Short lists never ask.
    asked = 0;
    lists.filter = QStringLiteral("Jobs.JobNo < 20010");
    EXPECT_EQ(lists.ListOrders(1).listedCount, 10);
    EXPECT_EQ(asked, 0);

    // A services list of a shop with many services in its open orders tells
    // the progress before its query runs (0 of 0), then counts its rows: 1201
    // orders with one service each, 1201 rows, or 10 with the filter.
    SharedDatabase().executeNative(QStringLiteral(
        "INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Status, ChargeQty, ChargeTime, Days2, EmpNo, "
        "Tag1, Tag2) SELECT JobID, 901, 1, 0, '', 2, 1000, 0, 0, 0, 0, 0 FROM Jobs WHERE JobNo >= 20000"));
    // Services to do, of every order.
    lists.options = 0x10000;
    auto services = [](const ScheduleTable &t) {
        int n = 0;
        for (const ScheduleRow &r : t.rows)
            n += r.kind == 'S' ? 1 : 0;
        return n;
    };
    // What the list told, without the pings of its query at work (0 of -1).
    QList<QPair<int, int>> told;
    lists.progress = [&told](int done, int total) {
        if (total >= 0)
            told.append({done, total});
        return true;
    };
    lists.filter.clear();
    EXPECT_EQ(services(lists.ListServices(31301)), 1201);
    ASSERT_GE(told.size(), 2);
    EXPECT_EQ(told.at(0), qMakePair(0, 0));
    EXPECT_EQ(told.at(1), qMakePair(0, 1201));
    told.clear();
    lists.filter = QStringLiteral("Jobs.JobNo < 20010");
    EXPECT_EQ(services(lists.ListServices(31301)), 10);
    EXPECT_EQ(told, (QList<QPair<int, int>>{{0, 0}}));
    // Shown as it is read: the first 200 of the query's rows are told as
    // rows before the rest is read, then the whole list is there. A stop
    // while the query still sorts (0 of -1) ends the list before any row.
    lists.filter.clear();
    QList<int> made;
    lists.rowsMade = [&](const ScheduleTable &t) { made.append(services(t)); };
    int pinged = 0;
    lists.progress = [&pinged](int, int total) {
        pinged += total < 0 ? 1 : 0;
        return true;
    };
    const ScheduleTable shown = lists.ListServices(31301);
    EXPECT_EQ(services(shown), 1201);
    EXPECT_FALSE(shown.cancelled);
    ASSERT_FALSE(made.isEmpty());
    EXPECT_EQ(made.first(), 200);
    EXPECT_GT(pinged, 0);
    made.clear();
    lists.progress = [](int, int total) { return total >= 0; };
    const ScheduleTable stopped = lists.ListServices(31301);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(services(stopped), 0);
    EXPECT_TRUE(made.isEmpty());
    lists.rowsMade = {};
    lists.progress = [&told](int done, int total) {
        if (total >= 0)
            told.append({done, total});
        return true;
    };
    lists.filter = QStringLiteral("Jobs.JobNo < 20010");
    // 1000 services are not many: nothing is told.
    exec(QStringLiteral("DELETE FROM Items WHERE SerNo = 901 AND JobID IN (SELECT JobID FROM Jobs WHERE JobNo > 20999)"));
    ASSERT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Items WHERE SerNo = 901")).toInt(), 1000);
    told.clear();
    EXPECT_EQ(services(lists.ListServices(31301)), 10);
    EXPECT_TRUE(told.isEmpty());
}
