#include "XvfbAfternoon.h"

#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QRect>
#include <QtCore/QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

// A shop's day on the real program, by mouse and keys only, on a fresh sample
// shop and without a restart: a new customer whose typed name replaces the
// placeholder, the database compacted from the main menu, every list read
// again, the jobs view's copy of a job, the brief help and the time clock;
// then the customer's quote of two priced items printed to PDF, the quote
// pasted as an order, its due date typed, its job ticket printed, the time
// clock run on it, its services done and its status set on the production
// board, its shipments recorded, its ship date typed and its invoice
// printed; then the afternoon on the same order: its deposit and payment,
// posting, the posting reports, the register and aging, the accounting
// export, a backup and compaction; and after the posting and after the
// compaction, a new customer, a new job for it, that job pasted as an order,
// a new service and a payment; with no error box at any step. After each step the sqlite3
// program reads what the step stored and pdftotext what it printed; a
// screenshot of each step and the PDFs are kept under build/tests/usable/.
// Runs when TAVREL_XVFB_DISPLAY names a display and Xvfb, xdotool, import,
// sqlite3 and pdftotext are installed; bounded to nine minutes.
namespace {

class XvfbDay : public XvfbAfternoon
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        PrepareRun({QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("import"), QStringLiteral("sqlite3"),
                    QStringLiteral("pdftotext")},
                   540000);
    }
    void shot(const QString &name) { screenshot(QStringLiteral("xvfb-day-") + name); }

    // Clicks a ribbon item of the window of a class (the file lists each
    // window's spots after its own line).
    bool clickItemIn(const QString &className, int id)
    {
        std::optional<QPoint> at;
        waitFor([&] {
            QString window;
            for (const QStringList &f : layoutLines(QString())) {
                if (f.value(0) == QLatin1String("window"))
                    window = f.value(1);
                else if (window == className && f.value(0) == QLatin1String("item") && f.value(1).toInt() == id &&
                         f.size() >= 8)
                    at = QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt()).center();
            }
            return at.has_value();
        });
        if (at)
            click(*at);
        return at.has_value();
    }
    // The frame of the top-level window of a class; empty when none is up.
    QRect windowOf(const QString &className)
    {
        for (const QStringList &f : layoutLines(QStringLiteral("window")))
            if (f.value(1) == className && f.size() >= 7)
                return QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt());
        return QRect();
    }
    bool waitWindow(const QString &className, bool up = true, int ms = 10000)
    {
        return waitFor([&] { return windowOf(className).isValid() == up; }, ms);
    }
    // An open menu's entry by its text (without the "&" of its shortcut).
    bool clickMenuText(const QString &text)
    {
        std::optional<QPoint> at;
        waitFor([&] {
            for (const QStringList &f : layoutLines(QStringLiteral("menu")))
                if (f.size() >= 7 && QString(f[6]).remove(QLatin1Char('&')).section(QLatin1Char(' '), 0, 2) == text)
                    at = QRect(f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()).center();
            return at.has_value();
        });
        if (at)
            click(*at);
        return at.has_value();
    }
    // A new printed item in the open item-specs window's caller: the
    // product "Printed", its description and quantity typed, a press of the
    // printing category and a paper ticked in the service list.
    void addPrintedItem(const QString &description, const QString &quantity, const QString &category,
                        const QString &press)
    {
        ASSERT_TRUE(waitWindow(QStringLiteral("CItemNew"))) << "no new item window: " << message().toStdString();
        ASSERT_TRUE(clickText(QStringLiteral("row"), QStringLiteral("Printed")));
        pressKey(QStringLiteral("Return"));
        ASSERT_TRUE(waitWindow(QStringLiteral("CItemSpecs"))) << "no item specs";
        typeText(description);
        pressKey(QStringLiteral("Tab"));
        typeText(quantity);
        pressKey(QStringLiteral("Tab"));
        // The press.
        ASSERT_TRUE(clickItemIn(QStringLiteral("CItemSpecs"), 31003));
        ASSERT_TRUE(waitWindow(QStringLiteral("CSerList")));
        ASSERT_TRUE(clickText(QStringLiteral("tree"), category));
        ASSERT_TRUE(clickText(QStringLiteral("tree"), press, 12));
        ASSERT_TRUE(clickItemIn(QStringLiteral("CSerList"), 1));
        ASSERT_TRUE(waitWindow(QStringLiteral("CSerList"), false));
        // The paper: ticking it opens its specs, taken as they come.
        ASSERT_TRUE(clickItemIn(QStringLiteral("CItemSpecs"), 31002));
        ASSERT_TRUE(waitWindow(QStringLiteral("CSerList")));
        ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Paper"), -1, true)); // the category
        ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("70# Offset White"), 12));
        ASSERT_TRUE(waitWindow(QStringLiteral("CEditPaper"))) << "no paper specs";
        ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("OK")));
        ASSERT_TRUE(waitWindow(QStringLiteral("CEditPaper"), false));
        ASSERT_TRUE(clickItemIn(QStringLiteral("CSerList"), 1));
        ASSERT_TRUE(waitWindow(QStringLiteral("CSerList"), false));
        shot(QStringLiteral("item-") + description);
        ASSERT_TRUE(clickItemIn(QStringLiteral("CItemSpecs"), 30444)); // Save & Close
        ASSERT_TRUE(waitWindow(QStringLiteral("CItemSpecs"), false)) << "the item was not saved: " << message().toStdString();
    }
    // Prints the document chosen in the open print window through "Print
    // To" into a PDF file of the test's; the file's text.
    QString printToPdf(const QString &name)
    {
        if (!waitWindow(QStringLiteral("CPrintDlg")) || !clickItemIn(QStringLiteral("CPrintDlg"), 57607) ||
            !waitWindow(QStringLiteral("QPrintDialog")))
            return QString();
        const QString path = tempPath(name + QStringLiteral(".pdf"));
        // The output file field, right of its label.
        const QRect dialog = windowOf(QStringLiteral("QPrintDialog"));
        click(dialog.topLeft() + QPoint(190, 118));
        pressKey(QStringLiteral("ctrl+a"));
        typeText(path, 5);
        pressKey(QStringLiteral("Return"));
        if (!waitFor([&] { return QFile::exists(path) && QFileInfo(path).size() > 1000; }, 20000))
            return QString();
        QThread::msleep(500);
        const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QFile::copy(path, QCoreApplication::applicationDirPath() + QStringLiteral("/usable/xvfb-day-") + name +
                              QStringLiteral(".pdf"));
        return text;
    }
};

} // namespace

TEST_F(XvfbDay, ADayOnAFreshSampleShopWithoutARestart)
{
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    // The day's dates: the program's today, and a due date a week on.
    const QDate today = QDate::currentDate();
    const QDate due = today.addDays(7);
    ASSERT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Customers WHERE Name LIKE '%Lincoln%'")), QStringLiteral("0"));
    shot(QStringLiteral("01-start"));

    // 1. A new customer: F2, the typed name replaces "< new >", "Save & Close".
    ASSERT_TRUE(showView(30003));
    pressKey(QStringLiteral("F2"));
    ASSERT_TRUE(waitFor([&] { return !windowTitled(QStringLiteral("Customer No:")).isEmpty(); }))
        << "no customer window";
    const QString cusNo = windowTitled(QStringLiteral("Customer No:")).section(QLatin1Char(':'), 1).trimmed();
    typeText(QStringLiteral("Lincoln High School"));
    shot(QStringLiteral("02-customer"));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30443")));
    EXPECT_TRUE(waitFor([&] { return windowTitled(QStringLiteral("Customer No:")).isEmpty(); }))
        << "the customer window stayed open: " << message().toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = ") + cusNo),
              QStringLiteral("Lincoln High School"));
    expectNoMessage(QStringLiteral("new customer"));
    shot(QStringLiteral("03-customers"));

    // 2. Compact Database from the main menu: its question, its success.
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30280")));
    ASSERT_TRUE(clickSpot(QStringLiteral("menu"), QStringLiteral("30573"))) << "no Compact Database entry";
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("This process will compact and reindex")));
    EXPECT_EQ(answerMessage(60000), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
    shot(QStringLiteral("04-compacted"));
    EXPECT_EQ(sqlite(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM Customers WHERE CusNo = ") + cusNo),
              QStringLiteral("Lincoln High School"));

    // 3. Every list read again after the reopening: no error box.
    for (int view : {30003, 30001, 30002, 30004, 30007}) {
        ASSERT_TRUE(showView(view)) << view;
        pressKey(QStringLiteral("F5"));
        expectNoMessage(QStringLiteral("view %1 after compacting").arg(view));
        shot(QStringLiteral("05-view-%1").arg(view));
    }

    // 4. The quote-to-order road of the jobs view: a job selected in the
    // list, the view's "Copy" button asks what to paste it as.
    ASSERT_TRUE(showView(30001));
    ASSERT_TRUE(listEntry(QStringLiteral("Orders"), QStringLiteral("All")));
    const std::optional<QPoint> caption = spot(QStringLiteral("item"), QStringLiteral("30673"));
    ASSERT_TRUE(caption.has_value());
    click(*caption + QPoint(0, 42)); // the list's first row, under the caption and the header
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30111")));
    EXPECT_TRUE(waitFor([&] {
        for (const QStringList &f : layoutLines(QStringLiteral("item")))
            if (f.value(7) == QLatin1String("Copy and Paste the Selected Job"))
                return true;
        return false;
    })) << "no copy dialog: " << message().toStdString();
    shot(QStringLiteral("06-copy"));
    pressKey(QStringLiteral("Escape"));
    expectNoMessage(QStringLiteral("copy dialog"));

    // 5. F1: the brief help comes up over the view.
    pressKey(QStringLiteral("F1"));
    EXPECT_TRUE(waitFor([&] { return layoutLines(QStringLiteral("window")).size() >= 2; })) << "no brief help";
    shot(QStringLiteral("07-help"));
    pressKey(QStringLiteral("Escape"));
    EXPECT_TRUE(waitFor([&] { return layoutLines(QStringLiteral("window")).size() == 1; }));

    // 6. The time clock: "Who are you?" lists the shop's operator.
    ASSERT_TRUE(showView(30008));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30422")));
    EXPECT_TRUE(waitFor([&] { return spot(QStringLiteral("tree"), QStringLiteral("Jordan")).has_value(); }))
        << "no operator to choose";
    shot(QStringLiteral("08-operator"));
    pressKey(QStringLiteral("Escape"));
    expectNoMessage(QStringLiteral("time clock"));

    // 7. A quote for the new customer: New, "Quote", the customer picked
    // from the regular customers, and two printed items, each priced from
    // its press and paper.
    ASSERT_TRUE(showView(30001));
    pressKey(QStringLiteral("F2"));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobNew"))) << "no new job window";
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Quote")));
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Regular Customer")));
    ASSERT_TRUE(clickText(QStringLiteral("row"), QStringLiteral("Lincoln High School")))
        << "the new customer is not listed";
    shot(QStringLiteral("09-new-quote"));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("OK")));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobDlg"))) << "no job window: " << message().toStdString();
    const QString quoteId = sqlite(QStringLiteral("SELECT Max(JobID) FROM Jobs WHERE JobType = 1 AND CusNo = ") + cusNo);
    ASSERT_FALSE(quoteId.isEmpty());
    // The walk-through offers the item specs first.
    ASSERT_TRUE(waitWindow(QStringLiteral("CDlgOptions")));
    pressKey(QStringLiteral("Return"));
    addPrintedItem(QStringLiteral("Letterhead"), QStringLiteral("500"), QStringLiteral("Offset 4 colour"),
                   QStringLiteral("4-colour offset press"));
    if (HasFatalFailure())
        return;
    skipWalkThrough();
    ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 30361)); // New Item
    addPrintedItem(QStringLiteral("Flyers"), QStringLiteral("1000"), QStringLiteral("Offset 2 colour"),
                   QStringLiteral("2-colour offset press"));
    if (HasFatalFailure())
        return;
    shot(QStringLiteral("10-quote"));
    // Each item's price is its paper's and its press's.
    const QString items = QStringLiteral("SELECT group_concat(ItemNo || ' ' || Description || ' ' || ChargeQty || ' ' || "
                                         "Price, '; ') FROM Items WHERE SerNo = 0 AND JobID = %1");
    EXPECT_EQ(sqlite(items.arg(quoteId)), QStringLiteral("1 Letterhead 500 118.85; 2 Flyers 1000 149.64"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Sum(Price) FROM Items WHERE SerNo > 0 AND JobID = ") + quoteId),
              QStringLiteral("268.49"));
    const QString money = QStringLiteral("SELECT Title || '|' || Subtotal || '|' || Tax || '|' || Balance FROM Jobs "
                                         "WHERE JobID = ");
    const QString quoted = sqlite(money + quoteId);
    EXPECT_TRUE(quoted.startsWith(QStringLiteral("Letterhead|268.49|"))) << quoted.toStdString();
    ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 2)); // Close
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobDlg"), false)) << message().toStdString();
    expectNoMessage(QStringLiteral("the quote"));
    const QString quoteNo = sqlite(QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID = ") + quoteId);

    // 8. The quote printed to PDF, its title ticked: the title, the items'
    // prices and the totals read back.
    ASSERT_TRUE(clickItemIn(QStringLiteral("CMainFrame"), 30330));
    ASSERT_TRUE(waitWindow(QStringLiteral("CPrintDlg"))) << "no print window";
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Job Title"), 12));
    shot(QStringLiteral("11-print-quote"));
    const QString quotePdf = printToPdf(QStringLiteral("quote"));
    EXPECT_TRUE(quotePdf.contains(QStringLiteral("Quote ") + quoteNo)) << quotePdf.toStdString();
    EXPECT_TRUE(quotePdf.contains(QStringLiteral("Lincoln High School")));
    EXPECT_GE(quotePdf.count(QStringLiteral("Letterhead")), 2) << "title and item";
    for (const char *price : {"118.85", "149.64", "268.49"})
        EXPECT_TRUE(quotePdf.contains(QLatin1String(price))) << price;
    expectNoMessage(QStringLiteral("quote printed"));

    // 9. The quote becomes an order: the jobs view's Copy, pasted as an Order.
    ASSERT_TRUE(clickItemIn(QStringLiteral("CMainFrame"), 30111));
    ASSERT_TRUE(waitWindow(QStringLiteral("CDlgOptions"))) << "no copy dialog";
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Order")));
    pressKey(QStringLiteral("Return"));
    ASSERT_TRUE(waitFor([&] { return windowTitled(QStringLiteral("Order")).startsWith(QStringLiteral("Order")); }))
        << "no order window: " << message().toStdString();
    skipWalkThrough();
    const QString jobId = sqlite(QStringLiteral("SELECT Max(JobID) FROM Jobs WHERE JobType = 0 AND CusNo = ") + cusNo);
    ASSERT_FALSE(jobId.isEmpty());
    const QString jobNo = sqlite(QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID = ") + jobId);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT FromJobType || ' ' || FromJobNo || ' ' || Status FROM Jobs WHERE JobID = ") +
                     jobId),
              QStringLiteral("1 ") + quoteNo + QStringLiteral(" 0"));
    EXPECT_EQ(sqlite(money + jobId), quoted);
    EXPECT_EQ(sqlite(items.arg(jobId)), QStringLiteral("1 Letterhead 500 118.85; 2 Flyers 1000 149.64"));
    shot(QStringLiteral("12-order"));

    // 10. The due date typed in the job's dates (Alt+D is "Job Due").
    ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 30406));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobWhen"))) << "no dates window";
    pressKey(QStringLiteral("alt+d"));
    typeText(due.toString(QStringLiteral("MM/dd/yyyy")));
    pressKey(QStringLiteral("Tab"));
    shot(QStringLiteral("13-due"));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("OK")));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobWhen"), false)) << message().toStdString();
    // Dates are stored as days since 12/30/1899, the Julian day 2415018.5.
    const QString dates = QStringLiteral("SELECT date(DateIn + 2415018.5) || ' ' || "
                                         "coalesce(date(DateDue + 2415018.5), '-') || ' ' || "
                                         "coalesce(date(DateShipped + 2415018.5), '-') FROM Jobs WHERE JobID = ");
    EXPECT_EQ(sqlite(dates + jobId), QStringLiteral("%1 %2 -").arg(today.toString(Qt::ISODate), due.toString(Qt::ISODate)));

    // 11. The job ticket (the work order) to PDF from the job window.
    ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 30330));
    ASSERT_TRUE(waitWindow(QStringLiteral("CPrintDlg"))) << "no print window";
    const QString ticket = printToPdf(QStringLiteral("ticket"));
    EXPECT_TRUE(ticket.contains(QStringLiteral("Work Order ") + jobNo)) << ticket.toStdString();
    EXPECT_TRUE(ticket.contains(due.toString(QStringLiteral("MM/dd/yyyy"))));
    EXPECT_TRUE(ticket.contains(QStringLiteral("From")) && ticket.contains(QStringLiteral("Quote ") + quoteNo));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT WOrderPrinted FROM Jobs WHERE JobID = ") + jobId), QStringLiteral("1"));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobDlg")));
    skipWalkThrough();
    ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 2));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobDlg"), false)) << message().toStdString();
    expectNoMessage(QStringLiteral("the job ticket"));

    // 12. The time clock: Jordan starts the workday, finds the order and
    // starts its first press (a double-click on the service), then ends the
    // workday, which pauses the running task.
    ASSERT_TRUE(showView(30008));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30422")));
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Jordan")));
    pressKey(QStringLiteral("Return"));
    EXPECT_EQ(answerMessage(), QStringLiteral("Jordan, do you want to start a new workday?"));
    const QString empNo = sqlite(QStringLiteral("SELECT EmpNo FROM Employees WHERE Name || '' = 'Jordan'"));
    const QString times = QStringLiteral("SELECT group_concat(TimeFor || ' ' || EmpNo || ' ' || ItemID || ' ' || Status || "
                                         "' ' || (Start IS NOT NULL) || ' ' || (Finish IS NOT NULL), '; ') FROM Times");
    EXPECT_EQ(sqlite(times), QStringLiteral("0 %1 0 0 1 0").arg(empNo));
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Find Order No...")));
    ASSERT_TRUE(waitWindow(QStringLiteral("CDlgList"))) << "no order list: " << message().toStdString();
    ASSERT_TRUE(clickText(QStringLiteral("row"), jobNo)) << "the order is not listed";
    pressKey(QStringLiteral("Return"));
    ASSERT_TRUE(waitWindow(QStringLiteral("CTaskJobDlg"))) << "no services to start: " << message().toStdString();
    shot(QStringLiteral("14-start-task"));
    // The first item's heading, its paper, its press: rows of 20 under the heading.
    const QRect tasks = windowOf(QStringLiteral("CTaskJobDlg"));
    const QPoint press = tasks.topLeft() + QPoint(300, 182);
    runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(press.x()), QString::number(press.y()),
                                        QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                                        QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
    ASSERT_TRUE(waitWindow(QStringLiteral("CTaskJobDlg"), false)) << message().toStdString();
    const QString pressId = sqlite(QStringLiteral("SELECT ItemID FROM Items WHERE SerNo = 7 AND JobID = ") + jobId);
    EXPECT_TRUE(waitFor([&] { return sqlite(times).endsWith(QStringLiteral("; 1 %1 %2 0 1 0").arg(empNo, pressId)); }))
        << sqlite(times).toStdString();
    shot(QStringLiteral("15-clocked-in"));
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("End")));
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("Jordan, do you want to END your current workday?")));
    EXPECT_EQ(answerMessage(), QStringLiteral("Jordan, you are now OUT. Bye..  Paused 1 of 1 task(s) running."));
    EXPECT_EQ(sqlite(times), QStringLiteral("0 %1 0 2 1 1; 1 %1 %2 1 1 1").arg(empNo, pressId));
    shot(QStringLiteral("16-clocked-out"));
    expectNoMessage(QStringLiteral("the time clock"));

    // 13. Production in the scheduler: the order's services done one by
    // one (a paper confirms the stock it used), then the order Ready to Ship
    // from its number's menu.
    ASSERT_TRUE(showView(30007));
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("In Progress")));
    std::optional<QRect> orderRow;
    ASSERT_TRUE(waitFor([&] {
        for (const QStringList &f : layoutLines(QStringLiteral("row")))
            if (f.mid(7).contains(jobNo))
                orderRow = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
        return orderRow.has_value();
    })) << "the order is not scheduled";
    click(orderRow->topLeft() + QPoint(110, orderRow->height() / 2)); // its expand mark
    const auto serviceRows = [&] {
        QList<QRect> rows;
        for (const QStringList &f : layoutLines(QStringLiteral("row")))
            if (std::any_of(f.begin() + std::min<qsizetype>(7, f.size()), f.end(), [](const QString &t) {
                    return t.startsWith(QLatin1String("Paper: 70#")) || t.startsWith(QLatin1String("Offset "));
                }))
                rows << QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
        return rows;
    };
    ASSERT_TRUE(waitFor([&] { return serviceRows().size() == 4; })) << "the order's services are not listed";
    shot(QStringLiteral("17-scheduled"));
    // The state icon stands at the left of the service's title (column 6).
    int iconX = -1;
    for (const QStringList &f : layoutLines(QStringLiteral("column")))
        if (f.value(5) == QLatin1String("6") && f[1].toInt() <= serviceRows().value(0).left() + 470
            && serviceRows().value(0).left() + 470 < f[1].toInt() + f[3].toInt())
            iconX = f[1].toInt() + 11;
    ASSERT_GT(iconX, 0) << "the title column is not laid out";
    for (int i = 0; i < 4; ++i) {
        const QRect row = serviceRows().value(i);
        click(QPoint(iconX, row.center().y())); // the service's state icon: done
        if (waitWindow(QStringLiteral("CEditInventory"), true, 2500)) {
            ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("OK")));
            ASSERT_TRUE(waitWindow(QStringLiteral("CEditInventory"), false));
        }
    }
    const QString states = QStringLiteral("SELECT group_concat(SerNo || ':' || Status, ' ') FROM Items WHERE JobID = %1");
    EXPECT_TRUE(waitFor([&] { return sqlite(states.arg(jobId)) == QLatin1String("0:17 1:0 7:0 0:17 1:0 6:0"); }))
        << sqlite(states.arg(jobId)).toStdString();
    shot(QStringLiteral("18-done"));
    runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(orderRow->left() + 150),
                                        QString::number(orderRow->center().y()), QStringLiteral("click"),
                                        QStringLiteral("3")});
    ASSERT_TRUE(clickMenuText(QStringLiteral("Ready to Ship"))) << "no status menu on the order";
    EXPECT_TRUE(waitFor([&] { return sqlite(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = ") + jobId) == "2"; }));
    expectNoMessage(QStringLiteral("the scheduler"));
    shot(QStringLiteral("19-ready-to-ship"));

    // 14. Shipping: the order opened from the jobs view, each item's
    // shipment recorded from the Items menu, the ship date typed.
    ASSERT_TRUE(showView(30001));
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Ready to Ship")));
    const bool listed = clickText(QStringLiteral("row"), jobNo);
    shot(QStringLiteral("20-ready-to-ship"));
    ASSERT_TRUE(listed) << "the order is not ready to ship";
    pressKey(QStringLiteral("F6"));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobDlg"))) << "the order did not open";
    skipWalkThrough();
    const QString shipped = QStringLiteral("SELECT group_concat(Items.ItemNo || ' ' || ShippedItems.QtyShipped, '; ') FROM "
                                           "ShippedItems INNER JOIN Items ON Items.ItemID = ShippedItems.ItemID WHERE "
                                           "Items.JobID = ") + jobId;
    for (const QString &item : {QStringLiteral("Letterhead"), QStringLiteral("Flyers")}) {
        std::optional<QRect> row;
        ASSERT_TRUE(waitFor([&] {
            for (const QStringList &f : layoutLines(QStringLiteral("row")))
                if (f.value(8).startsWith(item))
                    row = QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
            return row.has_value();
        })) << item.toStdString();
        click(QPoint(row->left() + 100, row->center().y()));
        ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 30360)); // the Items menu
        ASSERT_TRUE(clickSpot(QStringLiteral("menu"), QStringLiteral("30431"))) << "no Shipments entry";
        ASSERT_TRUE(waitWindow(QStringLiteral("CShipment"))) << "no shipment";
        shot(QStringLiteral("21-shipment-") + item);
        ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("OK")));
        ASSERT_TRUE(waitWindow(QStringLiteral("CShipment"), false));
        ASSERT_TRUE(waitWindow(QStringLiteral("CShipments")));
        pressKey(QStringLiteral("Escape"));
        ASSERT_TRUE(waitWindow(QStringLiteral("CShipments"), false));
    }
    EXPECT_EQ(sqlite(shipped), QStringLiteral("1 500; 2 1000"));
    ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 30406));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobWhen")));
    // "Shipped", the field under "Ship By".
    click(windowOf(QStringLiteral("CJobWhen")).topLeft() + QPoint(196, 235));
    pressKey(QStringLiteral("ctrl+a"));
    typeText(today.toString(QStringLiteral("MM/dd/yyyy")));
    pressKey(QStringLiteral("Tab"));
    shot(QStringLiteral("22-shipped"));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("OK")));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobWhen"), false)) << message().toStdString();
    EXPECT_EQ(sqlite(dates + jobId),
              QStringLiteral("%1 %2 %1").arg(today.toString(Qt::ISODate), due.toString(Qt::ISODate)));

    // 15. The invoice to PDF: with the order shipped and invoiced it is
    // Ready to Post.
    ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 30330));
    ASSERT_TRUE(waitWindow(QStringLiteral("CPrintDlg")));
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("Invoice")));
    const QString invoice = printToPdf(QStringLiteral("invoice"));
    EXPECT_TRUE(invoice.contains(QStringLiteral("Invoice ") + jobNo)) << invoice.toStdString();
    EXPECT_TRUE(invoice.contains(QStringLiteral("Lincoln High School")));
    for (const char *price : {"118.85", "149.64", "268.49"})
        EXPECT_TRUE(invoice.contains(QLatin1String(price))) << price;
    EXPECT_TRUE(invoice.contains(quoted.section(QLatin1Char('|'), 3))) << "the balance";
    EXPECT_EQ(sqlite(QStringLiteral("SELECT InvoicePrinted || ' ' || Status FROM Jobs WHERE JobID = ") + jobId),
              QStringLiteral("1 3"));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobDlg")));
    skipWalkThrough();
    ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 2));
    ASSERT_TRUE(waitWindow(QStringLiteral("CJobDlg"), false)) << message().toStdString();
    expectNoMessage(QStringLiteral("the invoice"));
    shot(QStringLiteral("23-invoiced"));

    // Handed on to the afternoon: the order and its customer.
    std::printf("the day's order %s (JobID %s), customer %s\n", qPrintable(jobNo), qPrintable(jobId), qPrintable(cusNo));
    m_walkOn = [&](const QString &after) { walkOn(after, cusNo.toInt()); };
    runAfternoon(jobNo.toInt(), cusNo.toInt());
    if (HasFatalFailure())
        return;

    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended during the day";
    EXPECT_FALSE(m_deadline.hasExpired()) << "the day took too long";
}

// A retyped date replaces the whole date, whatever part of it is selected
// or clicked; what is no date is refused naming its field; and an item's
// quantity typed with its thousands is that many. Each on an order in
// progress due 12/09/2026 (received 12/01/2026), opened from the orders list.
class XvfbTyped : public XvfbDay
{
protected:
    // Starts the program and opens the order; its JobID.
    QString openOrder()
    {
        const QString prepare = QStringLiteral(
            "UPDATE Jobs SET DateDue = julianday('2026-12-09') - 2415018.5, DateIn = julianday('2026-12-01') - "
            "2415018.5, DateProof = NULL, DateShipped = NULL WHERE JobID = (SELECT Min(JobID) FROM Jobs WHERE "
            "JobType = 0 AND Status = 0)");
        const QString failed = startOnSampleShop(20, prepare);
        EXPECT_TRUE(failed.isEmpty()) << failed.toStdString();
        if (!failed.isEmpty())
            return QString();
        const QString jobId = sqlite(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 0 AND Status = 0"));
        if (jobId.isEmpty() || sqlite(due(jobId)) != QLatin1String("2026-12-09") || !showView(30001)
            || !listEntry(QStringLiteral("Orders"), QStringLiteral("All"))
            || !waitFor([&] { return !rows().isEmpty(); }) || !clickRowOf(jobId.toLongLong()))
            return QString();
        pressKey(QStringLiteral("F6"));
        if (!waitWindow(QStringLiteral("CJobDlg")))
            return QString();
        skipWalkThrough();
        return jobId;
    }
    static QString due(const QString &jobId)
    {
        return QStringLiteral("SELECT coalesce(date(DateDue + 2415018.5), '-') FROM Jobs WHERE JobID = ") + jobId;
    }
    bool openWhen()
    {
        return clickItemIn(QStringLiteral("CJobDlg"), 30406) && waitWindow(QStringLiteral("CJobWhen"));
    }
    // The When box's field that shows this date.
    std::optional<QRect> dateField(const QString &shown)
    {
        for (const auto &f : fieldTextsOf(QStringLiteral("CJobWhen")))
            if (f.second == shown)
                return f.first;
        return std::nullopt;
    }
    // OK, a weekend question answered No (the date stays as typed).
    bool ok()
    {
        if (!clickText(QStringLiteral("button"), QStringLiteral("OK")))
            return false;
        if (waitFor([&] { return !message().isEmpty() || !windowOf(QStringLiteral("CJobWhen")).isValid(); }, 3000)
            && message().startsWith(QStringLiteral("Do you want to change weekend")))
            pressKey(QStringLiteral("n"));
        return waitWindow(QStringLiteral("CJobWhen"), false);
    }
};

// Ctrl+A in Job Due (Alt+D) and "11/20/2026": 11/20/2026 (not 12/20/2026);
// then "2/29/2025" is refused as no date, naming Job Due, the date kept.
TEST_F(XvfbTyped, ADueDateRetypedAfterCtrlAMovesToAnotherMonth)
{
    const QString jobId = openOrder();
    ASSERT_FALSE(jobId.isEmpty()) << "the order was not opened: " << message().toStdString();
    ASSERT_TRUE(openWhen()) << "no dates window";
    pressKey(QStringLiteral("alt+d"));
    pressKey(QStringLiteral("ctrl+a"));
    typeText(QStringLiteral("11/20/2026"));
    pressKey(QStringLiteral("Tab"));
    shot(QStringLiteral("retyped-ctrl-a"));
    ASSERT_TRUE(ok()) << message().toStdString();
    EXPECT_TRUE(waitFor([&] { return sqlite(due(jobId)) == QLatin1String("2026-11-20"); }, 10000))
        << sqlite(due(jobId)).toStdString();

    ASSERT_TRUE(openWhen());
    pressKey(QStringLiteral("alt+d"));
    pressKey(QStringLiteral("ctrl+a"));
    typeText(QStringLiteral("2/29/2025"));
    pressKey(QStringLiteral("Tab"));
    EXPECT_EQ(answerMessage(), QStringLiteral("Job Due: 2/29/2025 is no date. Please enter a date as month/day/year."));
    ASSERT_TRUE(ok()) << message().toStdString();
    EXPECT_EQ(sqlite(due(jobId)), QStringLiteral("2026-11-20"));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// A click on the month part of Job Due and "10/05/2026": 10/05/2026; then a
// click on its year part and "08/24/2026": 08/24/2026.
TEST_F(XvfbTyped, ADueDateRetypedAfterAClickOnItsMonthOrYearIsTheDateTyped)
{
    const QString jobId = openOrder();
    ASSERT_FALSE(jobId.isEmpty()) << "the order was not opened: " << message().toStdString();
    const struct
    {
        const char *shown;
        int atX; // from the field's left edge: on the month, on the year
        const char *typed;
        const char *kept;
    } clicks[] = {{"12/09/2026", 9, "10/05/2026", "2026-10-05"}, {"10/05/2026", 56, "08/24/2026", "2026-08-24"}};
    for (const auto &c : clicks) {
        ASSERT_TRUE(openWhen()) << "no dates window";
        std::optional<QRect> field;
        ASSERT_TRUE(waitFor([&] { return (field = dateField(QString::fromLatin1(c.shown))).has_value(); }))
            << "no field shows " << c.shown;
        click(QPoint(field->left() + c.atX, field->center().y()));
        typeText(QString::fromLatin1(c.typed));
        pressKey(QStringLiteral("Tab"));
        shot(QStringLiteral("retyped-click-") + QString::fromLatin1(c.kept));
        ASSERT_TRUE(ok()) << message().toStdString();
        EXPECT_TRUE(waitFor([&] { return sqlite(due(jobId)) == QLatin1String(c.kept); }, 10000))
            << c.typed << " after a click: " << sqlite(due(jobId)).toStdString();
    }
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// A new item of "1,000" business cards: its quantity is 1000 (not 1).
TEST_F(XvfbTyped, AThousandBusinessCardsAreAThousand)
{
    const QString jobId = openOrder();
    ASSERT_FALSE(jobId.isEmpty()) << "the order was not opened: " << message().toStdString();
    ASSERT_TRUE(clickItemIn(QStringLiteral("CJobDlg"), 30361)); // New Item
    addPrintedItem(QStringLiteral("Business Cards"), QStringLiteral("1,000"), QStringLiteral("Offset 2 colour"),
                   QStringLiteral("2-colour offset press"));
    if (HasFatalFailure())
        return;
    // (GLOB: the sample's own "Business cards" differ in case.)
    const QString cards = QStringLiteral("SELECT group_concat(ChargeQty) FROM Items WHERE SerNo = 0 AND Description "
                                         "GLOB 'Business Cards*' AND JobID = ") + jobId;
    EXPECT_TRUE(waitFor([&] { return sqlite(cards) == QLatin1String("1000"); }, 10000)) << sqlite(cards).toStdString();
    expectNoMessage(QStringLiteral("business cards"));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}
