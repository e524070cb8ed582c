#include "XvfbAfternoon.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <algorithm>
#include <cstdio>

// While a long run works behind its progress window the rest of the real
// program takes no input: on a sample shop whose runs are slowed to last a few
// seconds, clicks and keys given to the main window meanwhile start
// nothing, and afterwards the file holds everything. Runs when
// TAVREL_XVFB_DISPLAY names a display and Xvfb, xdotool, import, sqlite3 and
// pdftotext are installed.
namespace {

// A sample with a few hundred orders ready to post.
constexpr int kSampleJobs = 2000;

class XvfbLongRun : public XvfbAfternoon
{
protected:
    void SetUp() override
    {
        XvfbAfternoon::SetUp();
        // Each pass of a progress window over the pending events waits a
        // little, so the runs last while the test clicks.
        m_programExtra.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(TAVREL_SLOW_STEPS));
        m_programExtra.insert(QStringLiteral("TAVREL_SLOW_STEP_MS"), QStringLiteral("80"));
    }
    QString jobsAndLastId() { return sqlite(QStringLiteral("SELECT Count(*) || '/' || Max(JobID) FROM Jobs")); }
    void doubleClick(const QPoint &at)
    {
        runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                            QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                                            QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
        QThread::msleep(400);
    }
    // The web-order reader opened from the Jobs view and its Receive clicked:
    // empty once the progress window is up, otherwise what went wrong.
    QString receiveWebOrders()
    {
        if (!showView(30001))
            return QStringLiteral("no Jobs view");
        if (!clickSpot(QStringLiteral("item"), QStringLiteral("30181")))
            return QStringLiteral("no web orders button");
        if (!classUp(QStringLiteral("CEmailRead")))
            return QStringLiteral("no web-order reader: ") + message();
        if (!clickSpot(QStringLiteral("item"), QStringLiteral("30230")))
            return QStringLiteral("no Receive button");
        if (!classUp(QStringLiteral("CStatusDlg"), 10000))
            return QStringLiteral("no progress window: ") + message();
        return QString();
    }
    // While a wait goes on the program goes on drawing itself (its layout
    // file is written anew); Stop, answered Yes, ends the wait within goneMs.
    void expectDrawingThenStop(const QString &shot, int drawMs, int goneMs)
    {
        const QString layout = tempPath(QStringLiteral("layout.txt"));
        const QDateTime written = QFileInfo(layout).lastModified();
        EXPECT_TRUE(waitFor([&] { return QFileInfo(layout).lastModified() > written; }, drawMs))
            << "the program stopped drawing itself during the wait";
        screenshot(shot);
        ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Stop"))) << "no Stop button";
        ASSERT_TRUE(waitFor([&] { return message() == QLatin1String("Do you want to stop now?"); }, 10000))
            << "Stop did not answer: " << message().toStdString();
        pressKey(QStringLiteral("Return")); // Yes
        EXPECT_TRUE(classGone(QStringLiteral("CStatusDlg"), goneMs)) << "the wait went on after Stop";
    }
};

} // namespace

// Compact Database on the jobs list: during the compaction an order of the
// list double-clicked, New on the ribbon and F2 open nothing; afterwards
// every order is in the file and no window opens late.
TEST_F(XvfbLongRun, NoJobOpensOrStartsDuringCompactDatabase)
{
    const QString failed = startOnSampleShop(kSampleJobs);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30001));
    ASSERT_TRUE(waitFor([&] { return !rows().isEmpty(); })) << "the jobs list is empty";
    const QRect order = rows().first().rect;
    const std::optional<QPoint> newJob = spot(QStringLiteral("item"), QStringLiteral("30100"));
    ASSERT_TRUE(newJob.has_value()) << "no New button";
    const QString before = jobsAndLastId();

    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30280")));
    ASSERT_TRUE(clickSpot(QStringLiteral("menu"), QStringLiteral("30573"))) << "no Compact Database entry";
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("This process will compact and reindex")));
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"))) << "no progress window";
    doubleClick(QPoint(order.left() + 30, order.center().y()));
    click(*newJob);
    pressKey(QStringLiteral("F2"));
    screenshot(QStringLiteral("xvfb-long-run-compacting"));
    EXPECT_TRUE(classShown(QStringLiteral("CStatusDlg"))) << "the compaction ended before the clicks";
    EXPECT_FALSE(classShown(QStringLiteral("CJobDlg"))) << "a job opened during the compaction";
    EXPECT_FALSE(classShown(QStringLiteral("CJobNew"))) << "a new job started during the compaction";

    EXPECT_TRUE(answerMessage(90000).startsWith(QStringLiteral("Successfully compacted")));
    expectNoMessage(QStringLiteral("after the compaction"));
    EXPECT_FALSE(classShown(QStringLiteral("CJobDlg")) || classShown(QStringLiteral("CJobNew")));
    EXPECT_EQ(jobsAndLastId(), before);
    EXPECT_EQ(sqlite(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// Post Now on every ready order: Post Now pressed again during the posting
// does nothing; Exit asks the posting's own question and No goes on; the
// posting ends once, the main window stays, and Exit afterwards ends the
// program.
TEST_F(XvfbLongRun, PostNowAgainWaitsAndExitAsksToStopThePosting)
{
    const QString failed = startOnSampleShop(kSampleJobs);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const int postingsBefore = sqlite(QStringLiteral("SELECT Count(*) FROM PostingJournal")).toInt();
    ASSERT_TRUE(showView(30004));
    ASSERT_TRUE(listEntry(QStringLiteral("Invoices Ready-to-Post"), QStringLiteral("List")));
    ASSERT_TRUE(waitFor([&] { return !rows().isEmpty(); })) << "nothing is ready to post";
    const std::optional<QPoint> postNow = spot(QStringLiteral("item"), QStringLiteral("30211"));
    ASSERT_TRUE(postNow.has_value()) << "no Post Now button";
    click(*postNow);
    if (waitFor([&] { return classShown(QStringLiteral("CDlgOptions")) || !message().isEmpty(); })
        && classShown(QStringLiteral("CDlgOptions"))) {
        pressKey(QStringLiteral("Return"));
        ASSERT_TRUE(classGone(QStringLiteral("CDlgOptions")));
    }
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("Do you want to start posting?")));
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("Are you sure you want to start posting?")));
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"))) << "no progress window";

    click(*postNow);
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30529"))) << "no Exit button";
    ASSERT_TRUE(waitFor([&] { return message() == QLatin1String("Do you want to stop now?"); }))
        << "Exit during the posting asked nothing: " << message().toStdString();
    screenshot(QStringLiteral("xvfb-long-run-posting"));
    pressKey(QStringLiteral("Escape")); // No: the posting goes on
    EXPECT_TRUE(classShown(QStringLiteral("CStatusDlg"))) << "the posting ended before the clicks";

    const QString posted = answerMessage(120000);
    EXPECT_TRUE(posted.startsWith(QStringLiteral("Successfully posted:"))) << posted.toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM PostingJournal")).toInt(), postingsBefore + 1);
    closeWindows();
    ASSERT_TRUE(spot(QStringLiteral("item"), QStringLiteral("30529")).has_value()) << "the main window is gone";
    ASSERT_EQ(m_program.state(), QProcess::Running);

    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30529")));
    EXPECT_TRUE(m_program.waitForFinished(15000)) << "the program did not end";
}

// Scheduler > Departments > All on a shop with thousands of services: the
// progress window comes up at once, the list's first rows show while the
// rest is still read behind them, and Stop keeps the rows read so far.
TEST_F(XvfbLongRun, SchedulerServicesShowTheirFirstRowsWhileTheRestIsRead)
{
    const QString failed = startOnSampleShop(kSampleJobs);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30007));
    ASSERT_TRUE(listEntry(QStringLiteral("Departments"), QStringLiteral("All")));
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"))) << "no progress window";
    // A service row in view: its order-item number and its service.
    auto serviceRows = [&] {
        int n = 0;
        for (const Row &r : rows())
            n += r.texts.value(2).contains(QLatin1Char('-')) && r.texts.value(6).contains(QStringLiteral(": ")) ? 1 : 0;
        return n;
    };
    ASSERT_TRUE(waitFor([&] { return serviceRows() > 0 || !classShown(QStringLiteral("CStatusDlg")); }, 60000));
    EXPECT_GT(serviceRows(), 0);
    EXPECT_TRUE(classShown(QStringLiteral("CStatusDlg"))) << "the rows showed only once the whole list was read";
    screenshot(QStringLiteral("xvfb-scheduler-first-rows"));

    // Stop: the rows read stay, fewer than the shop's services to do.
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Stop")));
    EXPECT_EQ(answerMessage(), QStringLiteral("Do you want to stop now?"));
    ASSERT_TRUE(classGone(QStringLiteral("CStatusDlg"), 30000));
    EXPECT_GT(serviceRows(), 0);
    // The count of the list bar's caption, "All Departments      (N Services ...".
    auto listed = [&] {
        for (const QStringList &f : layoutLines(QStringLiteral("item")))
            if (f.value(1) == QLatin1String("30673"))
                return f.value(7).section(QLatin1Char('('), 1).section(QLatin1Char(' '), 0, 0).toInt();
        return 0;
    };
    const int stopped = listed();
    EXPECT_GT(stopped, 0);

    // Read again to its end, the list holds more.
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30121"))) << "no Refresh button";
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg")));
    ASSERT_TRUE(classGone(QStringLiteral("CStatusDlg"), 120000)) << "the list was not read to its end";
    EXPECT_GT(listed(), stopped);
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// Exit on the status bar during Compact Database: the compaction's own
// question; Yes stops it at its next step, it says so, and the program ends
// with the file as it was.
TEST_F(XvfbLongRun, ExitDuringCompactDatabaseAsksThenEndsTheProgram)
{
    const QString failed = startOnSampleShop(kSampleJobs);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QString before = jobsAndLastId();
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30280")));
    ASSERT_TRUE(clickSpot(QStringLiteral("menu"), QStringLiteral("30573"))) << "no Compact Database entry";
    EXPECT_TRUE(answerMessage().startsWith(QStringLiteral("This process will compact and reindex")));
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"))) << "no progress window";
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30529"))) << "no Exit button";
    ASSERT_TRUE(waitFor([&] { return message() == QLatin1String("Do you want to stop now?"); }))
        << "Exit during the compaction asked nothing: " << message().toStdString();
    screenshot(QStringLiteral("xvfb-long-run-exit-asks"));
    pressKey(QStringLiteral("Return")); // Yes
    const QString said = answerMessage(90000);
    EXPECT_EQ(said, QStringLiteral("Compacting was stopped. TavrelData.mdb is unchanged."));
    EXPECT_TRUE(m_program.waitForFinished(15000)) << "the program did not end after the run";
    EXPECT_EQ(jobsAndLastId(), before);
    EXPECT_EQ(sqlite(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
}

// A saved query that keeps the engine busy for minutes (the jobs joined to
// themselves four times, a row now and then): the progress window comes up,
// the first rows show while the statement runs on, the program goes on
// drawing itself, Exit asks the run's question (No goes on), and Stop and
// Yes end the statement at once, keeping the rows read. (Times here are
// printed; only a freeze of seconds fails, as a loaded machine is slow.)
TEST_F(XvfbLongRun, ASavedQueryRunsBesideTheWindowAndStopsWithinASecond)
{
    const QString name = QStringLiteral("Jobs Four Ways");
    const QString sql = QStringLiteral(
        "SELECT A.JobNo, B.JobNo AS JobNo2, C.JobNo AS JobNo3, D.JobNo AS JobNo4 FROM Jobs AS A, Jobs AS B, "
        "Jobs AS C, Jobs AS D WHERE (A.JobID * 7 + B.JobID * 11 + C.JobID * 13 + D.JobID * 17) Mod 50021 = 1");
    // The waits of this test are the statement's own, not slowed.
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(
        kSampleJobs, QStringLiteral("INSERT INTO jet_queries (name, sql, type) VALUES ('%1', '%2', 0)").arg(name, sql));
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30005));
    ASSERT_TRUE(listEntry(QStringLiteral("Custom Queries"), name)) << "no saved query in the tree";
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"), 10000)) << "no progress window: " << message().toStdString();
    ASSERT_TRUE(waitFor([&] { return !rows().isEmpty(); }, 30000)) << "no row showed while the query ran";
    EXPECT_TRUE(classShown(QStringLiteral("CStatusDlg"))) << "the query ended by itself";
    const QFileInfo layout(tempPath(QStringLiteral("layout.txt")));
    const QDateTime written = QFileInfo(layout.absoluteFilePath()).lastModified();
    EXPECT_TRUE(waitFor([&] { return QFileInfo(layout.absoluteFilePath()).lastModified() > written; }, 10000))
        << "the program stopped drawing itself while the query ran";
    screenshot(QStringLiteral("xvfb-saved-query-running"));

    // Exit asks the run's own question; No goes on.
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30529"))) << "no Exit button";
    ASSERT_TRUE(waitFor([&] { return message() == QLatin1String("Do you want to stop now?"); }, 10000))
        << "Exit during the query asked nothing: " << message().toStdString();
    pressKey(QStringLiteral("Escape"));
    ASSERT_TRUE(waitFor([&] { return message().isEmpty(); }, 10000));
    EXPECT_TRUE(classShown(QStringLiteral("CStatusDlg"))) << "No ended the query";
    EXPECT_EQ(m_program.state(), QProcess::Running);

    // Stop and Yes: the statement ends at once, its rows stay.
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Stop"))) << "no Stop button";
    ASSERT_TRUE(waitFor([&] { return message() == QLatin1String("Do you want to stop now?"); }, 10000))
        << message().toStdString();
    runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    QElapsedTimer stopping;
    stopping.start();
    // The layout is written a few times a second; a wall-clock bound here
    // only catches a freeze (a loaded machine is slow, not wrong).
    EXPECT_TRUE(waitFor([&] { return !classShown(QStringLiteral("CStatusDlg")); }, 10000))
        << "the query went on after Stop";
    std::printf("Stop answered in %lld ms\n", static_cast<long long>(stopping.elapsed()));
    expectNoMessage(QStringLiteral("after Stop"));
    EXPECT_FALSE(rows().isEmpty()) << "the rows read were dropped";
    screenshot(QStringLiteral("xvfb-saved-query-stopped"));

    // Exit now ends the program at once: nothing left behind holds it.
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30529")));
    EXPECT_TRUE(m_program.waitForFinished(15000)) << "the program did not end";
}

namespace {

// The most memory the program may have taken at any time, in kilobytes (its
// peak resident size); -1 when it cannot be read.
long peakMemoryKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

// A saved query of millions of rows (the jobs joined to themselves three
// times): its rows show as they come and the program goes on drawing
// itself; after several seconds and more than a million rows read, Stop and
// Yes end it at once and the window draws itself again, the rows read
// staying (the times are printed; only a freeze of seconds fails); the program never takes more than a few
// hundred megabytes. Run again, Exit and Yes end the program within seconds.
TEST_F(XvfbLongRun, ASavedQueryOfMillionsOfRowsStopsAndExitsWithinASecondInBoundedMemory)
{
    const QString name = QStringLiteral("Jobs Three Ways");
    // One combination in 89 is a row: the list reaches its bound only some
    // seconds after its millionth row, so that its Stop is there to press.
    const QString sql = QStringLiteral(
        "SELECT A.JobNo, B.JobNo AS JobNo2 FROM Jobs AS A, Jobs AS B, Jobs AS C "
        "WHERE (A.JobID + B.JobID * 3 + C.JobID * 7) Mod 89 = 0");
    constexpr long kMostKb = 600 * 1024;
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(
        kSampleJobs, QStringLiteral("INSERT INTO jet_queries (name, sql, type) VALUES ('%1', '%2', 0)").arg(name, sql));
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const qint64 pid = m_program.processId();
    // The rows the list holds (its count in the layout).
    auto listed = [&] {
        long most = 0;
        for (const QStringList &f : layoutLines(QStringLiteral("list")))
            most = std::max(most, f.value(5).toLong());
        return most;
    };
    const QString layout = tempPath(QStringLiteral("layout.txt"));
    ASSERT_TRUE(showView(30005));
    ASSERT_TRUE(listEntry(QStringLiteral("Custom Queries"), name)) << "no saved query in the tree";
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"), 10000)) << "no progress window: " << message().toStdString();
    QElapsedTimer running;
    running.start();
    ASSERT_TRUE(waitFor([&] { return listed() >= 1000000 || !classShown(QStringLiteral("CStatusDlg")); }, 60000))
        << "fewer than a million rows in a minute: " << listed();
    ASSERT_TRUE(classShown(QStringLiteral("CStatusDlg"))) << "the query ended by itself: " << message().toStdString();
    if (running.elapsed() < 3000)
        QThread::msleep(ulong(3000 - running.elapsed()));
    screenshot(QStringLiteral("xvfb-saved-query-millions"));
    const long whileRunning = peakMemoryKb(pid);
    EXPECT_GT(whileRunning, 0);
    EXPECT_LT(whileRunning, kMostKb) << "memory while the query ran";

    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Stop"))) << "no Stop button";
    ASSERT_TRUE(waitFor([&] { return message() == QLatin1String("Do you want to stop now?"); }, 10000))
        << "Stop did not answer: " << message().toStdString();
    const long asked = listed();
    runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    QElapsedTimer stopping;
    stopping.start();
    // The layout is written a few times a second; a wall-clock bound here
    // only catches a freeze (a loaded machine is slow, not wrong).
    EXPECT_TRUE(waitFor([&] { return !classShown(QStringLiteral("CStatusDlg")); }, 10000))
        << "the query went on after Stop";
    const qint64 stopMs = stopping.elapsed();
    const QDateTime stoppedAt = QFileInfo(layout).lastModified();
    EXPECT_TRUE(waitFor([&] { return QFileInfo(layout).lastModified() > stoppedAt; }, 10000))
        << "the window did not draw itself after Stop";
    expectNoMessage(QStringLiteral("after Stop"));
    const long kept = listed();
    EXPECT_GE(kept, asked) << "rows read were dropped at Stop";
    EXPECT_GE(kept, 1000000);
    screenshot(QStringLiteral("xvfb-saved-query-millions-stopped"));
    const long afterStop = peakMemoryKb(pid);
    EXPECT_LT(afterStop, kMostKb) << "memory at Stop";

    // Again, and Exit with Yes during it ends the program.
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30121"))) << "no Refresh button";
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"), 10000)) << "no progress window: " << message().toStdString();
    ASSERT_TRUE(waitFor([&] { return listed() >= 1000000 || !classShown(QStringLiteral("CStatusDlg")); }, 60000));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30529"))) << "no Exit button";
    ASSERT_TRUE(waitFor([&] { return message() == QLatin1String("Do you want to stop now?"); }, 10000))
        << "Exit during the query asked nothing: " << message().toStdString();
    runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    QElapsedTimer exiting;
    exiting.start();
    EXPECT_TRUE(m_program.waitForFinished(15000)) << "the program did not end after Exit and Yes";
    std::printf("stopped with %ld rows in %lld ms; peak %ld KB; ended %lld ms after Exit\n", kept,
                static_cast<long long>(stopMs), afterStop, static_cast<long long>(exiting.elapsed()));
}

// A saved query of two million rows sorted by its column of texts: Alt+F4
// during the sort (given to the progress window, the active one) asks "Do
// you want to stop now?" as Exit does; No lets the sort end and the program
// stays; sorted again, Yes ends the program.
TEST_F(XvfbLongRun, AltF4DuringASortAsksToStopTheSort)
{
    const QString name = QStringLiteral("Jobs Twice");
    const QString sql = QStringLiteral("SELECT A.JobNo, B.JobNo AS JobNo2, B.Title & A.JobNo AS T FROM Jobs AS A, Jobs AS B "
                                       "WHERE (A.JobID + B.JobID * 3) Mod 2 = 0");
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(
        kSampleJobs, QStringLiteral("INSERT INTO jet_queries (name, sql, type) VALUES ('%1', '%2', 0)").arg(name, sql));
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30005));
    ASSERT_TRUE(listEntry(QStringLiteral("Custom Queries"), name)) << "no saved query in the tree";
    auto listed = [&] {
        long most = 0;
        for (const QStringList &f : layoutLines(QStringLiteral("list")))
            most = std::max(most, f.value(5).toLong());
        return most;
    };
    ASSERT_TRUE(waitFor([&] { return listed() >= 2000000 && !classShown(QStringLiteral("CStatusDlg")); }, 120000))
        << "the list was not read whole: " << listed();
    // The heading of the texts' column.
    auto heading = [&]() -> std::optional<QPoint> {
        for (const QStringList &f : layoutLines(QStringLiteral("column")))
            if (f.value(5) == QLatin1String("2"))
                return QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()).center();
        return std::nullopt;
    };
    ASSERT_TRUE(heading().has_value()) << "no column of texts";

    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "Yes" : "No");
        click(*heading());
        ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"), 10000)) << "the sort showed no progress";
        pressKey(QStringLiteral("alt+F4"));
        ASSERT_TRUE(waitFor([&] { return message() == QLatin1String("Do you want to stop now?"); }, 10000))
            << "Alt+F4 during the sort asked nothing: " << message().toStdString();
        screenshot(stop ? QStringLiteral("xvfb-sort-alt-f4-yes") : QStringLiteral("xvfb-sort-alt-f4-no"));
        pressKey(stop ? QStringLiteral("Return") : QStringLiteral("Escape"));
        if (stop) {
            EXPECT_TRUE(m_program.waitForFinished(10000)) << "the program did not end after Alt+F4 and Yes";
        } else {
            ASSERT_TRUE(classGone(QStringLiteral("CStatusDlg"), 60000)) << "the sort did not end";
            expectNoMessage(QStringLiteral("after the sort"));
            EXPECT_EQ(m_program.state(), QProcess::Running);
        }
    }
}

// Print > Preview of a list of millions of rows (the saved query read up to
// the list's bound): the preview opens on its first page at once and goes
// on drawing itself while it counts the pages beside the window; its Stop
// ends the counting at once (the times are printed, only a freeze of
// seconds fails; bench/ measures the first page), the pages found stay to be looked
// through, and the program never holds more than a few hundred megabytes.
TEST_F(XvfbLongRun, APreviewOfMillionsOfRowsOpensAtOnceAndItsStopAnswersInBoundedMemory)
{
    const QString name = QStringLiteral("Jobs Three Ways");
    const QString sql = QStringLiteral(
        "SELECT A.JobNo, B.JobNo AS JobNo2 FROM Jobs AS A, Jobs AS B, Jobs AS C "
        "WHERE (A.JobID + B.JobID * 3 + C.JobID * 7) Mod 23 = 0");
    constexpr long kMostKb = 600 * 1024;
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(
        kSampleJobs, QStringLiteral("INSERT INTO jet_queries (name, sql, type) VALUES ('%1', '%2', 0)").arg(name, sql));
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const qint64 pid = m_program.processId();
    ASSERT_TRUE(showView(30005));
    ASSERT_TRUE(listEntry(QStringLiteral("Custom Queries"), name)) << "no saved query in the tree";
    EXPECT_TRUE(answerMessage(90000).startsWith(QStringLiteral("This query gives more rows than a list can hold.")));
    ASSERT_TRUE(classGone(QStringLiteral("CStatusDlg"), 10000)) << "the query did not end at the list's bound";
    long listed = 0;
    for (const QStringList &f : layoutLines(QStringLiteral("list")))
        listed = std::max(listed, f.value(5).toLong());
    ASSERT_GE(listed, 1000000);

    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30330"))) << "no Print button";
    ASSERT_TRUE(classUp(QStringLiteral("CPrintDlg"), 10000)) << "no print window: " << message().toStdString();
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("- the list on the screen -")));
    QElapsedTimer previewing;
    previewing.start();
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("57609"))) << "no Preview button";
    ASSERT_TRUE(classUp(QStringLiteral("CPrintPreview"), 20000)) << "no preview: " << message().toStdString();
    // How soon it opens is measured in bench/ (the first page of a preview);
    // here it is printed, and only a freeze fails.
    const qint64 previewMs = previewing.elapsed();
    const QString layout = tempPath(QStringLiteral("layout.txt"));
    const QDateTime previewAt = QFileInfo(layout).lastModified();
    EXPECT_TRUE(waitFor([&] { return QFileInfo(layout).lastModified() > previewAt; }, 10000))
        << "the preview did not draw itself while it counted the pages";
    screenshot(QStringLiteral("xvfb-millions-preview"));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Stop"))) << "the preview counted no pages beside it";
    QElapsedTimer stopping;
    stopping.start();
    EXPECT_TRUE(waitFor([&] { return !textSpot(QStringLiteral("button"), 5, QStringLiteral("Stop")).has_value(); }, 10000))
        << "the counting went on after Stop";
    const qint64 stopMs = stopping.elapsed();
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Next Page")));
    screenshot(QStringLiteral("xvfb-millions-preview-stopped"));
    pressKey(QStringLiteral("Escape"));
    EXPECT_TRUE(classGone(QStringLiteral("CPrintPreview"), 10000)) << "the preview did not close";
    expectNoMessage(QStringLiteral("after the preview"));
    const long peak = peakMemoryKb(pid);
    EXPECT_LT(peak, kMostKb) << "memory of the preview";
    EXPECT_EQ(m_program.state(), QProcess::Running);
    std::printf("%ld rows; preview in %lld ms; Stop in %lld ms; peak %ld KB\n", listed,
                static_cast<long long>(previewMs), static_cast<long long>(stopMs), peak);
}

// A preview whose pages are still being counted: Alt+F4 closes it at once
// (where no window manager gives the key that meaning too) and the program
// goes on. Stopped, its Last goes to the last page found and stays there:
// the count it names does not grow by pressing Last again.
TEST_F(XvfbLongRun, AltF4ClosesACountingPreviewAndLastAfterStopStaysOnTheLastPageFound)
{
    const QString name = QStringLiteral("Jobs Twice");
    const QString sql = QStringLiteral("SELECT A.JobNo, B.JobNo AS JobNo2 FROM Jobs AS A, Jobs AS B WHERE B.JobID <= 150");
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(
        kSampleJobs, QStringLiteral("INSERT INTO jet_queries (name, sql, type) VALUES ('%1', '%2', 0)").arg(name, sql));
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30005));
    ASSERT_TRUE(listEntry(QStringLiteral("Custom Queries"), name)) << "no saved query in the tree";
    ASSERT_TRUE(waitFor([&] { return !rows().isEmpty() && !classShown(QStringLiteral("CStatusDlg")); }, 90000))
        << "the query was not listed: " << message().toStdString();
    const auto status = [&] {
        for (const QStringList &f : layoutLines(QStringLiteral("label")))
            if (f.value(1) == QLatin1String("PreviewStatus"))
                return f.value(6);
        return QString();
    };
    const auto shownPage = [&] {
        for (const QStringList &f : layoutLines(QStringLiteral("field")))
            if (f.value(1) == QLatin1String("qt_spinbox_lineedit"))
                return f.value(6);
        return QString();
    };
    const auto preview = [&] {
        if (!clickSpot(QStringLiteral("item"), QStringLiteral("30330")) || !classUp(QStringLiteral("CPrintDlg"), 10000))
            return QStringLiteral("no print window: ") + message();
        if (!clickText(QStringLiteral("tree"), QStringLiteral("- the list on the screen -")))
            return QStringLiteral("no list entry");
        if (!clickSpot(QStringLiteral("item"), QStringLiteral("57609")))
            return QStringLiteral("no Preview button");
        if (!classUp(QStringLiteral("CPrintPreview"), 30000))
            return QStringLiteral("no preview: ") + message();
        if (!waitFor([&] { return status().contains(QStringLiteral("counting the pages")); }, 10000))
            return QStringLiteral("the preview counted no pages beside it: ") + status();
        return QString();
    };

    // Stopped, then Last twice: the last page found, and the same count.
    QString previewed = preview();
    ASSERT_TRUE(previewed.isEmpty()) << previewed.toStdString();
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Stop")));
    ASSERT_TRUE(waitFor([&] { return status().contains(QStringLiteral("counting stopped at")); }, 10000))
        << status().toStdString();
    const QString stopped = status().section(QStringLiteral("counting stopped at "), 1).section(QLatin1Char(' '), 0, 0);
    ASSERT_FALSE(stopped.isEmpty());
    // The page box holds the number without its thousands separators.
    const QString lastPage = QString(stopped).remove(QLatin1Char(','));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Last")));
    EXPECT_TRUE(waitFor([&] { return shownPage() == lastPage; }, 10000))
        << "Last showed page " << shownPage().toStdString() << " of " << stopped.toStdString();
    EXPECT_EQ(status().toStdString(), QStringLiteral("Page %1 (counting stopped at %1 pages)").arg(stopped).toStdString());
    clickText(QStringLiteral("button"), QStringLiteral("Last"));
    pressKey(QStringLiteral("ctrl+End"));
    EXPECT_EQ(shownPage().toStdString(), lastPage.toStdString());
    EXPECT_EQ(status().toStdString(), QStringLiteral("Page %1 (counting stopped at %1 pages)").arg(stopped).toStdString());
    screenshot(QStringLiteral("xvfb-preview-last-after-stop"));
    pressKey(QStringLiteral("Escape"));
    ASSERT_TRUE(classGone(QStringLiteral("CPrintPreview"), 10000)) << "Escape left the preview open";
    if (classShown(QStringLiteral("CPrintDlg")))
        pressKey(QStringLiteral("Escape"));
    ASSERT_TRUE(classGone(QStringLiteral("CPrintDlg"), 10000));

    // Alt+F4 while it counts: the preview closes, nothing is asked, the
    // program goes on.
    previewed = preview();
    ASSERT_TRUE(previewed.isEmpty()) << previewed.toStdString();
    screenshot(QStringLiteral("xvfb-preview-counting"));
    pressKey(QStringLiteral("alt+F4"));
    EXPECT_TRUE(classGone(QStringLiteral("CPrintPreview"), 10000)) << "Alt+F4 left the counting preview open";
    expectNoMessage(QStringLiteral("after Alt+F4 in the preview"));
    EXPECT_EQ(m_program.state(), QProcess::Running);
    EXPECT_TRUE(spot(QStringLiteral("item"), QStringLiteral("30000")).has_value()) << "the main window is gone";
}

// A saved crosstab whose column headings keep the engine busy for minutes
// (the pivot values of the jobs joined to themselves three times): the
// progress window comes up at once, the program goes on drawing itself,
// and Stop and Yes end the headings' statement at once (the times are
// printed; only a freeze of seconds fails),
// with nothing listed and nothing said but the question.
TEST_F(XvfbLongRun, ACrosstabWithSlowHeadingsShowsProgressAndStopsWithinASecond)
{
    const QString name = QStringLiteral("Jobs By Type");
    const QString sql = QStringLiteral(
        "TRANSFORM Count(A.JobNo) SELECT A.CusNo FROM Jobs AS A, Jobs AS B, Jobs AS C "
        "WHERE A.JobID + B.JobID + C.JobID = 5 GROUP BY A.CusNo PIVOT B.JobType");
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(
        kSampleJobs, QStringLiteral("INSERT INTO jet_queries (name, sql, type) VALUES ('%1', '%2', 16)").arg(name, sql));
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30005));
    ASSERT_TRUE(listEntry(QStringLiteral("Custom Queries"), name)) << "no saved crosstab in the tree";
    QElapsedTimer asked;
    asked.start();
    // The layout is written a few times a second; a wall-clock bound here
    // only catches a freeze (a loaded machine is slow, not wrong).
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"), 10000)) << "no progress window: " << message().toStdString();
    const qint64 askedMs = asked.elapsed();
    const QString layout = tempPath(QStringLiteral("layout.txt"));
    const QDateTime written = QFileInfo(layout).lastModified();
    EXPECT_TRUE(waitFor([&] { return QFileInfo(layout).lastModified() > written; }, 10000))
        << "the program stopped drawing itself while the headings were read";
    screenshot(QStringLiteral("xvfb-crosstab-headings"));
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Stop"))) << "no Stop button";
    ASSERT_TRUE(waitFor([&] { return message() == QLatin1String("Do you want to stop now?"); }, 10000))
        << "Stop did not answer: " << message().toStdString();
    runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    QElapsedTimer stopping;
    stopping.start();
    EXPECT_TRUE(waitFor([&] { return !classShown(QStringLiteral("CStatusDlg")); }, 10000))
        << "the headings went on after Stop";
    std::printf("progress in %lld ms; Stop answered in %lld ms\n", static_cast<long long>(askedMs),
                static_cast<long long>(stopping.elapsed()));
    expectNoMessage(QStringLiteral("after Stop"));
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

#include "support/LocalServers.h"

#include <QtCore/QFileInfo>
#include <QtCore/QSettings>

// Web orders read from an FTP site that takes the connection and never
// answers: Receive shows the progress window at once, the program goes on
// drawing itself (its layout is written anew while it waits), and Stop and
// Yes end the wait at once, with nothing said but the question.
TEST_F(XvfbLongRun, WebOrdersFromASilentSiteWaitBehindTheProgressWindowUntilStop)
{
    testservers::SilentServer silent;
    ASSERT_TRUE(silent.started());
    {
        QSettings settings(tempPath(QStringLiteral("config")) + QStringLiteral("/Halvane/Tavrel.ini"),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("Email Settings/Incoming"),
                          QStringLiteral("ftp://127.0.0.1:%1/orders").arg(silent.port()));
        settings.setValue(QStringLiteral("Email Settings/LogonName"), QStringLiteral("shop"));
    }
    // The waits of this test are the network's own, not slowed.
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QString receiving = receiveWebOrders();
    ASSERT_TRUE(receiving.isEmpty()) << receiving.toStdString();
    expectDrawingThenStop(QStringLiteral("xvfb-web-orders-waiting"), 10000, 10000);
    if (HasFatalFailure())
        return;
    expectNoMessage(QStringLiteral("after Stop"));
    EXPECT_TRUE(classShown(QStringLiteral("CEmailRead")));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

namespace {

// The web-order reader's settings in the program's settings file.
void setWebOrderSource(const QString &settingsFile, const QString &incoming)
{
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.setValue(QStringLiteral("Email Settings/Incoming"), incoming);
    settings.setValue(QStringLiteral("Email Settings/LogonName"), QStringLiteral("shop"));
    settings.setValue(QStringLiteral("Email Settings/LogonPass"), QStringLiteral("s3cret"));
}

} // namespace

// Web orders from an FTP site slow to confirm its listing ("226" after 30
// seconds) and that never answers QUIT: the program goes on drawing itself
// behind the progress window, Stop and Yes end the wait within a second.
TEST_F(XvfbLongRun, WebOrdersFromASiteSlowToConfirmStopAtOnce)
{
    const QString site = tempPath(QStringLiteral("site"));
    QDir().mkpath(site + QStringLiteral("/orders"));
    for (const char *name : {"a.xml", "b.xml", "c.xml"}) {
        QFile f(site + QStringLiteral("/orders/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<OrderRequest/>\n");
    }
    testservers::SlowFtpServer slow(site, tempPath(QStringLiteral("slowlog")), 30, true, 90);
    ASSERT_TRUE(slow.started()) << slow.error().toStdString();
    const QString settingsFile = tempPath(QStringLiteral("config")) + QStringLiteral("/Halvane/Tavrel.ini");
    setWebOrderSource(settingsFile, QStringLiteral("ftp://%1/orders").arg(slow.host()));
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QString receiving = receiveWebOrders();
    ASSERT_TRUE(receiving.isEmpty()) << receiving.toStdString();
    // Well into the wait for the "226": the names have come, the answer not.
    QThread::msleep(2000);
    expectDrawingThenStop(QStringLiteral("xvfb-web-orders-slow-226"), 10000, 10000);
    if (HasFatalFailure())
        return;
    expectNoMessage(QStringLiteral("after Stop"));

    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// Web orders from an FTP site that confirms at once but never answers QUIT:
// its three orders are listed within moments, read over one session.
TEST_F(XvfbLongRun, WebOrdersFromASiteThatNeverAnswersQuitArriveAtOnce)
{
    const QString site = tempPath(QStringLiteral("site"));
    QDir().mkpath(site + QStringLiteral("/orders"));
    for (const char *name : {"a.xml", "b.xml", "c.xml"}) {
        QFile f(site + QStringLiteral("/orders/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<OrderRequest/>\n");
    }
    const QString quickLog = tempPath(QStringLiteral("quicklog"));
    testservers::SlowFtpServer quick(site, quickLog, 0, true, 90);
    ASSERT_TRUE(quick.started()) << quick.error().toStdString();
    setWebOrderSource(tempPath(QStringLiteral("config")) + QStringLiteral("/Halvane/Tavrel.ini"),
                      QStringLiteral("ftp://%1/orders").arg(quick.host()));
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30001));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30181"))) << "no web orders button";
    ASSERT_TRUE(classUp(QStringLiteral("CEmailRead"))) << "no web-order reader: " << message().toStdString();
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30230"))) << "no Receive button";
    EXPECT_TRUE(waitFor([&] { return itemCaption(30282).startsWith(QStringLiteral("Received 3 emails")); }, 10000))
        << itemCaption(30282).toStdString();
    QFile said(quickLog + QStringLiteral("/log"));
    ASSERT_TRUE(said.open(QIODevice::ReadOnly));
    EXPECT_EQ(said.readAll().count("session\n"), 1);
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// Web orders from a POP3 mailbox that takes the connection and never says a
// word: Receive shows the progress window at once, the program goes on
// drawing itself, and Stop and Yes end the run within a second, said as
// stopped.
TEST_F(XvfbLongRun, WebOrdersFromASilentMailboxWaitBehindTheProgressWindowUntilStop)
{
    testservers::SilentServer silent;
    ASSERT_TRUE(silent.started());
    setWebOrderSource(tempPath(QStringLiteral("config")) + QStringLiteral("/Halvane/Tavrel.ini"),
                      QStringLiteral("127.0.0.1:%1").arg(silent.port()));
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QString receiving = receiveWebOrders();
    ASSERT_TRUE(receiving.isEmpty()) << receiving.toStdString();
    expectDrawingThenStop(QStringLiteral("xvfb-mailbox-waiting"), 10000, 10000);
    if (HasFatalFailure())
        return;
    expectNoMessage(QStringLiteral("after Stop"));
    EXPECT_TRUE(itemCaption(30282).startsWith(QStringLiteral("Receiving was stopped."))) << itemCaption(30282).toStdString();
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// A mail to the support address through an SMTP server that takes the whole
// message and then keeps silent about it: the program goes on drawing
// itself behind the progress window, Stop and Yes end the wait within a
// second, and the user is told that the mail may have been delivered; the
// server holds it once.
TEST_F(XvfbLongRun, AMailTheServerNeverConfirmsIsStoppedAndSaidMaybeDelivered)
{
    const QString folder = tempPath(QStringLiteral("smtp"));
    testservers::SlowSmtpServer server(folder, 50 * 1024 * 1024, 90, testservers::SlowSmtpServer::kNoFinalReply);
    ASSERT_TRUE(server.started()) << server.error().toStdString();
    {
        QSettings settings(tempPath(QStringLiteral("config")) + QStringLiteral("/Halvane/Tavrel.ini"),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("Email Settings/Outgoing"), server.url());
        settings.setValue(QStringLiteral("Email Settings/Address"), QStringLiteral("orders@print.test"));
    }
    m_programExtra.remove(QStringLiteral("LD_PRELOAD"));
    const QString failed = startOnSampleShop(20);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    // The Help menu at the right end of the tab row.
    const std::optional<QPoint> tabs = spot(QStringLiteral("item"), QStringLiteral("30000"));
    ASSERT_TRUE(tabs.has_value());
    const QStringList frame = layoutLines(QStringLiteral("window")).value(0);
    click(QPoint(frame.value(3).toInt() + frame.value(5).toInt() - 35, tabs->y()));
    ASSERT_TRUE(clickSpot(QStringLiteral("menu"), QStringLiteral("30109"))) << "no Send Email to Support entry";
    ASSERT_TRUE(classUp(QStringLiteral("CMailCompose"))) << "no compose window: " << message().toStdString();
    ASSERT_TRUE(clickText(QStringLiteral("button"), QStringLiteral("Send"))) << "no Send button";
    ASSERT_TRUE(classUp(QStringLiteral("CStatusDlg"), 10000)) << "no progress window: " << message().toStdString();
    ASSERT_TRUE(waitFor([&] { return QFile::exists(folder + QStringLiteral("/1.eml")); }, 10000))
        << "the server never got the message";
    expectDrawingThenStop(QStringLiteral("xvfb-mail-unconfirmed"), 10000, 10000);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(answerMessage(10000),
              QStringLiteral("Sending the email was stopped after the whole message had reached the server.  The server "
                             "did not confirm it, so it may have been delivered. Ask the addressee before sending it "
                             "again: it would arrive twice."));
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.eml")}, QDir::Files), QStringList{QStringLiteral("1.eml")});
    EXPECT_EQ(m_program.state(), QProcess::Running);
}

// On the smallest screen the program asks for (a screen of the test's own,
// 1024 x 768), the windows of the print path fit the screen: the print
// window, and the preview with its Close on the screen, which closes it.
class XvfbSmallScreen : public XvfbAfternoon
{
protected:
    void SetUp() override
    {
        XvfbAfternoon::SetUp();
        m_screenSize = QStringLiteral("1024x768");
    }
    // A window of the class is up and fits the screen; what is wrong else.
    QString fitsTheScreen(const QString &className)
    {
        for (const QStringList &f : layoutLines(QStringLiteral("window")))
            if (f.value(1) == className) {
                const QRect r(f.value(3).toInt(), f.value(4).toInt(), f.value(5).toInt(), f.value(6).toInt());
                if (!QRect(0, 0, 1024, 768).contains(r))
                    return QStringLiteral("%1 at %2,%3 sized %4 x %5").arg(className).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
                return QString();
            }
        return className + QStringLiteral(" is not up");
    }
};

TEST_F(XvfbSmallScreen, ThePrintWindowAndThePreviewWithItsCloseFitTheSmallestScreen)
{
    const QString failed = startOnSampleShop(60);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(showView(30001));
    ASSERT_TRUE(waitFor([&] { return !rows().isEmpty(); })) << "the jobs list is empty";
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30330"))) << "no Print button";
    ASSERT_TRUE(classUp(QStringLiteral("CPrintDlg"), 10000)) << "no print window: " << message().toStdString();
    EXPECT_EQ(fitsTheScreen(QStringLiteral("CPrintDlg")).toStdString(), "");
    ASSERT_TRUE(clickText(QStringLiteral("tree"), QStringLiteral("- the list on the screen -")));
    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("57609"))) << "no Preview button";
    ASSERT_TRUE(classUp(QStringLiteral("CPrintPreview"), 10000)) << "no preview: " << message().toStdString();
    EXPECT_EQ(fitsTheScreen(QStringLiteral("CPrintPreview")).toStdString(), "");
    screenshot(QStringLiteral("xvfb-small-screen-preview"));
    const std::optional<QRect> close = textSpot(QStringLiteral("button"), 5, QStringLiteral("Close"));
    ASSERT_TRUE(close.has_value()) << "the preview has no Close";
    EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(*close)) << "Close at " << close->x() << "," << close->y();
    click(close->center());
    EXPECT_TRUE(classGone(QStringLiteral("CPrintPreview"), 10000)) << "Close did not close the preview";
    if (classShown(QStringLiteral("CPrintDlg")))
        pressKey(QStringLiteral("Escape"));
    EXPECT_TRUE(classGone(QStringLiteral("CPrintDlg"), 10000));
    EXPECT_EQ(m_program.state(), QProcess::Running);
}
