#include "controls/DlgItem.h"
#include "platform/LongRun.h"
#include "support/TestEnvironment.h"
#include "views/CPrintStatus.h"
#include "views/CStatusDlg.h"
#include "views/CStatusRunProgress.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QTimer>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QLabel>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>

#include <ctime>

namespace {

// The processor time the whole program has used, in milliseconds.
double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

// A window whose own timer (not a QTimer) fires at once, again and again, as
// an item view's delayed layout does until it has run.
class EagerWindow : public QWidget
{
public:
    int ticks = 0;
    int id = 0;
    void begin() { id = startTimer(0); }

protected:
    void timerEvent(QTimerEvent *event) override
    {
        if (event->timerId() == id)
            ++ticks;
    }
};

class ProgressWindowTest : public TavrelTest
{
protected:
    static QString text(CStatusDlg &w, unsigned id) { return GetControlText(GetDlgItem(&w, id)); }
    static QPushButton *stop(CStatusDlg &w) { return qobject_cast<QPushButton *>(GetDlgItem(&w, CStatusDlg::IDC_STOP)); }
};

} // namespace

TEST_F(ProgressWindowTest, CountsStepsAndShowsTheTotalInTheTitle)
{
    CStatusDlg window;
    EXPECT_FALSE(window.Step());
    window.Start(12345, QStringLiteral("Updating %s jobs"), true, false, QStringLiteral("first line"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(text(window, CStatusDlg::IDC_TITLE), QStringLiteral("Updating 12,345 jobs"));
    EXPECT_EQ(text(window, CStatusDlg::IDC_MESSAGE), QStringLiteral("Please wait..."));
    EXPECT_EQ(text(window, CStatusDlg::IDC_COUNT), QStringLiteral("first line"));
    EXPECT_TRUE(stop(window)->isHidden());

    window.Start(10, QStringLiteral("Checking keys"), true, false);
    EXPECT_EQ(text(window, CStatusDlg::IDC_TITLE), QStringLiteral("Checking keys"));
    window.Step();
    window.Step(QStringLiteral("Jobs"));
    EXPECT_EQ(text(window, CStatusDlg::IDC_COUNT), QStringLiteral("Jobs"));
    EXPECT_TRUE(window.Step());
    EXPECT_EQ(text(window, CStatusDlg::IDC_COUNT), QStringLiteral("3 of 10 "));
    EXPECT_EQ(qobject_cast<QProgressBar *>(GetDlgItem(&window, CStatusDlg::IDC_PROGRESS))->value(), 3);
    window.SetMessage(QStringLiteral("Table Items"), true);
    EXPECT_EQ(text(window, CStatusDlg::IDC_MESSAGE), QStringLiteral("Table Items"));
    EXPECT_EQ(text(window, CStatusDlg::IDC_COUNT), QStringLiteral("4 of 10 "));

    // A loop that cannot be stopped: Esc asks nothing and the window stays.
    window.reject();
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.Step());
}

TEST_F(ProgressWindowTest, ALongRunUpdatesTheWindowTwoHundredTimes)
{
    CStatusDlg window;
    window.Start(1000, QStringLiteral("Reading"), true, true);
    auto *bar = qobject_cast<QProgressBar *>(GetDlgItem(&window, CStatusDlg::IDC_PROGRESS));
    // Steps between updates count but leave the window as it was, and a
    // click waits for the next update.
    prompts().answer(platform::IDYES);
    QTimer::singleShot(0, stop(window), &QPushButton::click);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(window.Step());
    EXPECT_EQ(window.position(), 4);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_FALSE(window.Step());
    EXPECT_EQ(text(window, CStatusDlg::IDC_COUNT), QStringLiteral("5 of 1000 "));
    EXPECT_EQ(bar->value(), 5);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to stop now?"));

    // A step with its own text shows at once; the last step always shows.
    window.Start(999, QStringLiteral("Reading"), true, false);
    window.Step(QStringLiteral("Jobs"));
    EXPECT_EQ(text(window, CStatusDlg::IDC_COUNT), QStringLiteral("Jobs"));
    for (int i = 1; i < 999; ++i)
        window.Step();
    EXPECT_EQ(text(window, CStatusDlg::IDC_COUNT), QStringLiteral("999 of 999 "));
    EXPECT_EQ(bar->value(), 999);
}

TEST_F(ProgressWindowTest, StopAsksAndEndsTheLoopAtItsNextStep)
{
    CStatusDlg window;
    window.Start(10, QStringLiteral("Copying"), false, true);
    EXPECT_FALSE(stop(window)->isHidden());
    EXPECT_TRUE(qobject_cast<QProgressBar *>(GetDlgItem(&window, CStatusDlg::IDC_PROGRESS))->isHidden());

    // Clicked while the loop runs: the step handles the click.
    prompts().answer(platform::IDNO);
    QTimer::singleShot(0, stop(window), &QPushButton::click);
    EXPECT_TRUE(window.Step());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to stop now?"));
    EXPECT_EQ(prompts().shown().last().flags, unsigned(platform::MB_YESNO | platform::MB_ICONQUESTION));

    prompts().answer(platform::IDYES);
    QTimer::singleShot(0, stop(window), &QPushButton::click);
    EXPECT_FALSE(window.Step());
    EXPECT_FALSE(window.Step());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(prompts().shown().size(), 2);

    // The database runs see the same window through their own interface.
    CStatusRunProgress run;
    run.window().Start(3, QStringLiteral("Upgrading"), true, true);
    EXPECT_TRUE(run.step(QStringLiteral("Jobs")));
    run.setMessage(QStringLiteral("Items new field"));
    EXPECT_EQ(text(run.window(), CStatusDlg::IDC_MESSAGE), QStringLiteral("Items new field"));
    prompts().answer(platform::IDYES);
    run.window().OnCancel();
    EXPECT_FALSE(run.isRunning());
    EXPECT_FALSE(run.step(QStringLiteral("Items")));
}

TEST_F(ProgressWindowTest, AWindowUpBeforeTheRunTakesNoInputUntilItEnds)
{
    QWidget behind;
    auto *button = new QPushButton(QStringLiteral("New"), &behind);
    behind.show();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    auto *timer = new QTimer(&behind);
    timer->setSingleShot(true);
    int ticks = 0;
    QObject::connect(timer, &QTimer::timeout, [&] { ++ticks; });
    {
        CStatusDlg window;
        window.Start(2, QStringLiteral("Copying"), true, true);
        EXPECT_TRUE(LongRun::IsWorking());
        timer->start(0);
        const QPoint at = button->rect().center();
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, button->mapToGlobal(at),
                                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, button->mapToGlobal(at),
                                                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        // The window's own Stop still answers.
        prompts().answer(platform::IDNO);
        QTimer::singleShot(0, stop(window), &QPushButton::click);
        EXPECT_TRUE(window.Step());
        EXPECT_TRUE(window.Step());
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to stop now?"));
        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(ticks, 0);
    }
    // The click was refused; the timer fires once the run has ended.
    EXPECT_FALSE(LongRun::IsWorking());
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(ticks, 1);
}

TEST_F(ProgressWindowTest, AQuestionAskedDuringARunWaitsWithoutUsingTheProcessor)
{
    // Behind the run: a list reading on behind its first screen (a QTimer
    // of no interval) and a window's own timer of no interval.
    EagerWindow behind;
    behind.show();
    auto *reading = new QTimer(&behind);
    reading->setInterval(0);
    int reads = 0;
    QObject::connect(reading, &QTimer::timeout, [&] { ++reads; });
    reading->start();
    behind.begin();
    QCoreApplication::processEvents();
    {
        CStatusDlg window;
        window.Start(0, QStringLiteral("Running the query"), false, true);
        EXPECT_TRUE(window.Step(QStringLiteral("1,024 rows read")));
        const int readsBefore = reads;
        const int ticksBefore = behind.ticks;
        // The question's own wait, as a box shown from the Stop button waits
        // for the user: half a second of nothing to do.
        QEventLoop question;
        QTimer::singleShot(500, &question, &QEventLoop::quit);
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = processCpuMs();
        question.exec();
        const double cpu = processCpuMs() - cpuBefore;
        EXPECT_GE(wall.elapsed(), 450);
        // Polling would take the whole half second of a processor.
        EXPECT_LT(cpu, 150.0) << cpu << " ms of the processor in " << wall.elapsed() << " ms";
        EXPECT_EQ(reads, readsBefore);
        EXPECT_EQ(behind.ticks, ticksBefore);
    }
    // After the run both go on as they were, at once.
    EXPECT_FALSE(LongRun::IsWorking());
    const int readsAfter = reads;
    const int ticksAfter = behind.ticks;
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_GE(reads, readsAfter + 2);
    EXPECT_GE(behind.ticks, ticksAfter + 2);
    EXPECT_EQ(reading->interval(), 0);
    EXPECT_TRUE(reading->isActive());
    reading->stop();
    behind.killTimer(behind.id);
}

TEST_F(ProgressWindowTest, PrintCancelSetsTheAbortFlag)
{
    CPrintStatus::SetUserAbort(true);
    CPrintStatus window;
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(CPrintStatus::IsUserAbort());
    window.reject();
    EXPECT_TRUE(CPrintStatus::IsUserAbort());
    EXPECT_FALSE(window.isVisible());
}
