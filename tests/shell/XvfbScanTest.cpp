#include "RealProgramTest.h"

#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRect>
#include <QtCore/QStandardPaths>
#include <QtCore/QThread>

#include <optional>

// The real program on a virtual screen, driven as the shop's staff drive
// it, and its file read back with the sqlite3 program: a "scanner" (xdotool
// typing as a keyboard-wedge scanner does) stamps a job's status, and the
// mouse records a shipment from a job window. Runs when TAVREL_XVFB_DISPLAY names a display (CI starts
// one) and Xvfb, xdotool, import and sqlite3 are installed; it gives up after
// a minute.
namespace {

class XvfbScan : public RealProgramTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        PrepareRun({QStringLiteral("Xvfb"), QStringLiteral("xdotool"), QStringLiteral("import"), QStringLiteral("sqlite3")},
                   60000);
        if (IsSkipped())
            return;
    }
    // Where a spot of the program's layout file is: a ribbon item by its id
    // ("item"), a list-manager entry by its text ("tree"), an open menu's
    // entry by its command ("menu") or a window by its class ("window"); with
    // the item's state when wanted.
    std::optional<QRect> place(const QString &kind, const QString &key, int *state = nullptr)
    {
        QFile file(tempPath(QStringLiteral("layout.txt")));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const auto rect = [](const QStringList &f, int at) {
            return QRect(f[at].toInt(), f[at + 1].toInt(), f[at + 2].toInt(), f[at + 3].toInt());
        };
        for (const QString &line : lines) {
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f.value(0) != kind)
                continue;
            if (kind == QLatin1String("item") && f.size() >= 8 && f[1] == key) {
                if (state)
                    *state = f[2].toInt();
                return rect(f, 3);
            }
            if (kind == QLatin1String("tree") && f.size() >= 6 && f[5] == key)
                return rect(f, 1);
            if (kind == QLatin1String("menu") && f.size() >= 7 && f[1] == key)
                return rect(f, 2);
            if (kind == QLatin1String("window") && f.size() >= 7 && f[1] == key)
                return rect(f, 3);
        }
        return std::nullopt;
    }
    std::optional<QPoint> spot(const QString &kind, const QString &key, int *state = nullptr)
    {
        const std::optional<QRect> r = place(kind, key, state);
        return r ? std::optional<QPoint>(r->center()) : std::nullopt;
    }

    // A sample shop of some jobs in a folder of the test's own.
    void makeSample()
    {
        const QString work = tempPath(QStringLiteral("work"));
        QDir().mkpath(work);
        m_database = work + QStringLiteral("/TavrelData.mdb");
        runTool(QStringLiteral(TAVREL_DBTOOL),
            {QStringLiteral("sample"), m_database, QStringLiteral("--jobs"), QStringLiteral("20")});
    }
    // The program on the sample, on the jobs view with the list manager's
    // "Orders" entry in the focus.
    void startOnOrders()
    {
        QString error;
        ASSERT_TRUE(m_screen.open(error)) << error.toStdString();
        m_program.setProcessEnvironment(environment());
        m_program.setWorkingDirectory(tempPath(QStringLiteral("work")));
        m_program.start(QStringLiteral(TAVREL_EXE), {});
        ASSERT_TRUE(m_program.waitForStarted(5000));
        ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("item"), QStringLiteral("30001")).has_value(); }, 20000))
            << "the main window did not show its tabs";
        click(*spot(QStringLiteral("item"), QStringLiteral("30001")));
        ASSERT_TRUE(waitFor([&] {
            int state = 0;
            return spot(QStringLiteral("item"), QStringLiteral("30001"), &state) && state == 2 &&
                   spot(QStringLiteral("tree"), QStringLiteral("Orders"));
        }, 10000)) << "the jobs view did not show";
        click(*spot(QStringLiteral("tree"), QStringLiteral("Orders")));
    }

    // Types a code as a keyboard-wedge scanner does: "^" (Shift 6, the job
    // symbol) and a JobID, or "!" (Shift 1, a command) and its number, then
    // "#" (Shift 3, the end).
    void scan(const QString &code)
    {
        runTool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("10"), code});
        QThread::msleep(600);
    }
};

} // namespace

TEST_F(XvfbScan, TicketAndReadyToShipCodeStoreStatus2)
{
    makeSample();
    const QString job = sqlite(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 0 AND Status <> 2"));
    ASSERT_FALSE(job.isEmpty()) << "the sample has no order to stamp";
    startOnOrders();
    if (HasFatalFailure())
        return;

    // The ticket's code, then the "Ready to Ship" command code.
    scan(QStringLiteral("^") + job + QStringLiteral("#"));
    scan(QStringLiteral("!30133#"));
    const QString statement = QStringLiteral("SELECT Status FROM Jobs WHERE JobID = ") + job;
    const bool stored = waitFor([&] { return sqlite(statement) == QLatin1String("2"); }, 10000);
    screenshot(QStringLiteral("xvfb-scan-ready-to-ship"));
    EXPECT_TRUE(stored) << "Status of job " << job.toStdString() << " reads " << sqlite(statement).toStdString();
    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended during the run";
    EXPECT_FALSE(m_deadline.hasExpired()) << "the run took too long";
}

TEST_F(XvfbScan, AShipmentIsRecordedFromTheJobWindowsItemMenu)
{
    makeSample();
    const QString job = sqlite(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 0 AND JobID IN "
                                              "(SELECT JobID FROM Items WHERE SerNo = 0)"));
    ASSERT_FALSE(job.isEmpty()) << "the sample has no order with items";
    // The job's shipments: how many, and how many carry their item's whole
    // quantity.
    const QString shipped = QStringLiteral("SELECT Count(*) || '|' || coalesce(Sum(ShippedItems.QtyShipped = "
                                           "Items.ChargeQty), 0) FROM ShippedItems INNER JOIN Items ON Items.ItemID = "
                                           "ShippedItems.ItemID WHERE Items.JobID = ") + job;
    ASSERT_EQ(sqlite(shipped), QStringLiteral("0|0"));

    startOnOrders();
    if (HasFatalFailure())
        return;

    // The order is found by its ticket's code and opened (F6).
    scan(QStringLiteral("^") + job + QStringLiteral("#"));
    runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("F6")});
    ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("window"), QStringLiteral("CJobDlg")).has_value(); }, 10000))
        << "the job window did not open";

    // Opening walks through missing data the sample leaves out: not now.
    if (waitFor([&] { return spot(QStringLiteral("window"), QStringLiteral("CDlgOptions")).has_value(); }, 3000)) {
        runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
        waitFor([&] { return !spot(QStringLiteral("window"), QStringLiteral("CDlgOptions")).has_value(); }, 3000);
    }

    // Its "Items" menu, then "Shipments...": no shipment yet, so a new one
    // opens at once with the item's quantity; OK records it.
    ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("item"), QStringLiteral("30360")).has_value(); }, 10000));
    click(*spot(QStringLiteral("item"), QStringLiteral("30360")));
    const bool offered = waitFor([&] { return spot(QStringLiteral("menu"), QStringLiteral("30431")).has_value(); }, 10000);
    screenshot(QStringLiteral("xvfb-job-item-menu"));
    ASSERT_TRUE(offered) << "the Items menu has no Shipments entry";
    click(*spot(QStringLiteral("menu"), QStringLiteral("30431")));
    ASSERT_TRUE(waitFor([&] { return place(QStringLiteral("window"), QStringLiteral("CShipment")).has_value(); }, 10000))
        << "the shipment did not open";
    screenshot(QStringLiteral("xvfb-shipment"));
    // OK stands at (350, 450) of the dialog, 90 x 32.
    const QRect dialog = *place(QStringLiteral("window"), QStringLiteral("CShipment"));
    click(dialog.topLeft() + QPoint(395, 466));
    // One row, with the whole quantity of the item.
    const bool stored = waitFor([&] { return sqlite(shipped) == QLatin1String("1|1"); }, 10000);
    screenshot(QStringLiteral("xvfb-shipments"));
    EXPECT_TRUE(stored) << "shipments of job " << job.toStdString() << ": " << sqlite(shipped).toStdString();
    EXPECT_TRUE(waitFor([&] { return spot(QStringLiteral("window"), QStringLiteral("CShipments")).has_value(); }, 10000))
        << "the job's shipment list did not show";
    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended during the run";
    EXPECT_FALSE(m_deadline.hasExpired()) << "the run took too long";
}
