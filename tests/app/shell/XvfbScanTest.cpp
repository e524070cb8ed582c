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

// The real program on a virtual screen read by a "scanner": xdotool types a
// job ticket's code and then the "Ready to Ship" command code into the jobs
// view, as a keyboard-wedge scanner types them, and the sqlite3 program reads
// the stored status. Runs when TAVREL_XVFB_DISPLAY names a display (CI starts
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
    }
};

} // namespace

TEST_F(XvfbScan, TicketAndReadyToShipCodeStoreStatus2)
{
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QString job = sqlite(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 0 AND Status <> 2"));
    ASSERT_FALSE(job.isEmpty()) << "the sample has no order to stamp";

    // The jobs view, with the list manager's "Orders" entry in the focus.
    click(*spot(QStringLiteral("item"), QStringLiteral("30001")));
    ASSERT_TRUE(waitFor([&] {
        int state = 0;
        return spot(QStringLiteral("item"), QStringLiteral("30001"), &state) && state == 2 &&
               spot(QStringLiteral("tree"), QStringLiteral("Orders"));
    }, 10000)) << "the jobs view did not show";
    click(*spot(QStringLiteral("tree"), QStringLiteral("Orders")));

    // The ticket's code and the command code, typed as a scanner types:
    // Shift 6 (the job symbol), the JobID, Shift 3 (the end); then Shift 1
    // (a command), 30133, Shift 3.
    typeText(QStringLiteral("^") + job + QStringLiteral("#"), 10);
    QThread::msleep(600);
    typeText(QStringLiteral("!30133#"), 10);
    const QString statement = QStringLiteral("SELECT Status FROM Jobs WHERE JobID = ") + job;
    const bool stored = waitFor([&] { return sqlite(statement) == QLatin1String("2"); }, 10000);
    screenshot(QStringLiteral("xvfb-scan-ready-to-ship"));
    EXPECT_TRUE(stored) << "Status of job " << job.toStdString() << " reads " << sqlite(statement).toStdString();
    EXPECT_EQ(m_program.state(), QProcess::Running) << "the program ended during the run";
    EXPECT_FALSE(m_deadline.hasExpired()) << "the run took too long";
}
