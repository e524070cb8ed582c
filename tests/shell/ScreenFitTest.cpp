// Every text on screen at 1024 x 768 fits its place or wraps inside it: each
// main view with each of its lists, and every window and box its commands
// open, measured as shown.
#include "ScreenFit.h"
#include "ScreenWalk.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "data/SharedDatabase.h"
#include "jobs/CJobDlg.h"
#include "jobs/CJobNew.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "production/tracking/CViewTrack.h"
#include "platform/Prompt.h"
#include "shell/CMainFrame.h"
#include "views/CDlg0.h"
#include "views/CView0.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QTreeWidgetItemIterator>


namespace {

// The cuts the check still finds, each with why it stands for now; any other
// cut fails.
const struct
{
    const char *where;
    const char *why;
} kStillCut[] = {
    {"Customer No: ", "the customer window's title item is one word in the large title font"},
    {"CViewSchedule#CView0-30007 > CXListCtrl > QHeaderView: ", "the departments' columns of pictures"},
    {"CViewReports#CView0-30005 > CXListCtrl > QHeaderView: \"JobType\"", "a user query's own column width"},
};

bool stillCut(const QString &cut)
{
    for (const auto &known : kStillCut)
        if (cut.contains(QString::fromUtf8(known.where)))
            return true;
    return false;
}

// The check runs on a screen of the smallest size the program asks for. The
// headless screen is smaller: the test runs again in a child of this test
// program whose headless screen is 1024 x 768, and its result is this test's.
bool onSmallestScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->size() == QSize(1024, 768);
}

void runOnSmallestScreen()
{
    static QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.write(R"({"screens": [{"name": "smallest", "x": 0, "y": 0, "width": 1024, "height": 768,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2")
                     .arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()))});
    const bool ended = child.waitForFinished(30 * 60 * 1000);
    const QString output = QString::fromUtf8(child.readAll());
    ASSERT_TRUE(ended) << "the check on the 1024 x 768 screen did not end";
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
}

} // namespace

class ScreenFitTest : public ScreenWalkTest
{
protected:
    void SetUp() override
    {
        if (onSmallestScreen())
            ScreenWalkTest::SetUp();
    }
    void TearDown() override
    {
        if (onSmallestScreen())
            ScreenWalkTest::TearDown();
    }
    void visit(QWidget *window, const QString &where) override { check(window, where); }

    // The window's cut texts, each with where it was seen, into the run's list.
    void check(QWidget *window, const QString &where)
    {
        // The main window is as large as the screen; every other window
        // stays inside it.
        QStringList found;
        if (window != frame)
            if (const QString over = OversizeWindow(window); !over.isEmpty())
                found << over;
        found << CutTexts(window);
        for (const QString &c : std::as_const(found))
            if (!seen.contains(c) && !stillCut(c)) {
                seen.insert(c);
                cuts << where + QStringLiteral(": ") + c;
            }
    }

    QStringList cuts;
    QSet<QString> seen;
};

class ScreenFitViews : public ScreenFitTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(ScreenFitViews, EveryListAndWindowOfTheViewShowsItsTextsWhole)
{
    if (!onSmallestScreen())
        return runOnSmallestScreen();
    walkView(GetParam());
    EXPECT_TRUE(cuts.isEmpty()) << cuts.size() << " cut:\n" << cuts.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(MainViews, ScreenFitViews,
                         ::testing::Values(30000, 30001, 30002, 30003, 30004, 30005, 30006, 30007, 30008));

// The bars of every main view after the user picks the largest font size
// in Appearance: the view tabs and Help along the top, the Exit date and the
// tools of the status bar, measured as drawn in the new font.
TEST_F(ScreenFitTest, TheBarsShowTheirTextsWholeInTheLargestFont)
{
    if (!onSmallestScreen())
        return runOnSmallestScreen();
    for (int viewId = 30000; viewId <= 30008; ++viewId) {
        CView0 *view = qobject_cast<CView0 *>(frame->SwitchView(viewId));
        ASSERT_NE(view, nullptr);
        if (viewId == 30000)
            view->OnAppearanceMessage(5, 100);
        QApplication::processEvents();
        check(frame, QStringLiteral("view %1 in the largest font").arg(viewId));
    }
    // The posting journal's list, whose title carries its date condition.
    CView0 *reports = qobject_cast<CView0 *>(frame->SwitchView(30005));
    int journal = 0;
    for (QTreeWidgetItemIterator it(reports->tree()); *it && journal == 0; ++it)
        if ((*it)->parent() && (*it)->parent()->text(0) == QLatin1String("Posting Journal") &&
            (*it)->text(0) == QLatin1String("Regular Sales"))
            journal = int(CXTreeCtrl::GetItemData(*it));
    ASSERT_GT(journal, 0);
    reports->SelectTreeCode(journal);
    QApplication::processEvents();
    check(frame, QStringLiteral("posting journal in the largest font"));
    EXPECT_TRUE(cuts.isEmpty()) << cuts.size() << " cut:\n" << cuts.join(QLatin1Char('\n')).toStdString();
}

// The windows a user reaches in a day's work, in the states that make their
// texts longest: a job due at a time of day with its Delete Items list, a new
// quote for a chosen CSR, the order's schedule box, and the time clock's
// operator and order pickers.
TEST_F(ScreenFitTest, TheWindowsOfADaysWorkShowTheirTextsWhole)
{
    if (!onSmallestScreen())
        return runOnSmallestScreen();
    SharedDatabase().execute(QStringLiteral("UPDATE Jobs SET TimeDue = '4:30 PM'"));
    QStringList measured;
    const auto measure = [&](QDialog &d, const QString &where) {
        measured << QString::fromLatin1(d.metaObject()->className());
        check(&d, where);
    };

    CView0 *jobs = qobject_cast<CView0 *>(frame->SwitchView(30001));
    ASSERT_NE(jobs, nullptr);
    ASSERT_GT(jobs->list()->GetItemCount(), 0);
    // The order with the most services (their descriptions, papers and
    // originals make the item list's longest texts).
    int longest = 0;
    {
        platform::Recordset items(SharedDatabase());
        items.open(platform::Recordset::Type::Snapshot,
                   QStringLiteral("SELECT TOP 1 Items.JobID, Count(*) FROM Items INNER JOIN Jobs ON Items.JobID = "
                                  "Jobs.JobID WHERE Jobs.JobType = 0 AND Items.SerNo > 0 GROUP BY Items.JobID "
                                  "ORDER BY Count(*) DESC, Items.JobID"));
        ASSERT_FALSE(items.isEOF());
        longest = jobs->list()->FindItemByData(items.value(0).toInt(), false);
    }
    ASSERT_GE(longest, 0);
    jobs->list()->SelectItem(longest);
    {
        platform::TestResponder answers;
        for (int i = 0; i < 4; ++i)
            answers.answer(platform::IDNO);
        answers.onDialog([&](QDialog &d) {
            measure(d, QStringLiteral("job window"));
            if (auto *job = dynamic_cast<CJobDlg *>(&d))
                job->SendCommand(30632);
            return 2;
        });
        answers.onDialog([&](QDialog &d) {
            measure(d, QStringLiteral("delete items"));
            return 2;
        });
        jobs->RunCommand(30103);
        QApplication::processEvents();
    }
    {
        platform::TestResponder answers;
        answers.onDialog([&](QDialog &d) {
            if (auto *dialog = dynamic_cast<CJobNew *>(&d)) {
                dialog->ListChoice(2);   // Quote
                dialog->ListChoice(101); // the CSR
                dialog->ListChoice(CJobNew::Regular);
            }
            measure(d, QStringLiteral("new quote"));
            return 2;
        });
        jobs->RunCommand(30100);
        QApplication::processEvents();
    }
    // The order's schedule box, from the jobs list.
    {
        platform::TestResponder answers;
        for (int i = 0; i < 4; ++i)
            answers.answer(platform::IDNO);
        answers.onDialog([&](QDialog &d) {
            measure(d, QStringLiteral("schedule box"));
            return 2;
        });
        jobs->list()->SelectItem(0);
        jobs->RunCommand(30270);
        QApplication::processEvents();
    }
    auto *clock = qobject_cast<CViewTrack *>(frame->SwitchView(30008));
    ASSERT_NE(clock, nullptr);
    // "Who are you?"
    {
        platform::TestResponder answers;
        answers.onDialog([&](QDialog &d) {
            measure(d, QStringLiteral("operator picker"));
            return 2;
        });
        clock->RunCommand(30422);
        QApplication::processEvents();
    }
    clock->SelectOperator(101, false);
    {
        platform::TestResponder answers;
        for (int i = 0; i < 4; ++i) {
            answers.answer(platform::IDCANCEL);
            answers.onDialog([&](QDialog &d) {
                measure(d, QStringLiteral("find order"));
                return 2;
            });
        }
        try {
            clock->RunCommand(29101);
            QApplication::processEvents();
        } catch (const platform::UnansweredPrompt &) {
        }
    }
    // A morning on the clock: the operator's workday and three of the
    // shop's services in progress, paused and finished, in every task list.
    {
        platform::Recordset services(SharedDatabase());
        services.open(platform::Recordset::Type::Snapshot,
                      QStringLiteral("SELECT ItemID FROM Items WHERE SerNo > 0 ORDER BY ItemID DESC"));
        QList<qint32> ids;
        for (; !services.isEOF() && ids.size() < 3; services.moveNext())
            ids << services.value(0).toInt();
        ASSERT_EQ(ids.size(), 3);
        SharedDatabase().execute(
            QStringLiteral("INSERT INTO Times (TimeFor, EmpNo, ItemID, Start, Finish, Minutes, Material, Status, Note) "
                           "VALUES (0, 101, 0, #12/09/2026 06:26#, #12/09/2026 06:26#, 0, 0, 0, '')"));
        for (int i = 0; i < 3; ++i)
            SharedDatabase().execute(QStringLiteral("INSERT INTO Times (TimeFor, EmpNo, ItemID, Start, Finish, Minutes, "
                                                    "Material, Status, Note) VALUES (1, 101, %1, #12/09/2026 06:%2#, "
                                                    "#12/09/2026 10:45#, %3, 0, %4, 'Second run')")
                                         .arg(ids[i])
                                         .arg(30 + i)
                                         .arg(60 * i)
                                         .arg(i));
    }
    for (QTreeWidgetItemIterator it(clock->tree()); *it; ++it)
        if (const int code = int(CXTreeCtrl::GetItemData(*it)); code > 0) {
            platform::TestResponder answers;
            for (int i = 0; i < 4; ++i)
                answers.answer(platform::IDCANCEL);
            try {
                clock->SelectTreeCode(code);
                QApplication::processEvents();
            } catch (const platform::UnansweredPrompt &) {
            }
            check(frame, QStringLiteral("task list %1").arg(code));
        }

    // The order picker comes first: the clock's order window has no order yet.
    EXPECT_EQ(measured.join(QLatin1Char(',')).toStdString(), "CJobDlg,CDlgOptions,CJobNew,CScheduleJob,CDlgTree,CDlgList");
    EXPECT_TRUE(cuts.isEmpty()) << cuts.size() << " cut:\n" << cuts.join(QLatin1Char('\n')).toStdString();
}
