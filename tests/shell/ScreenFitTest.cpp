// Every text on screen at 1024 x 768 fits its place or wraps inside it: each
// main view with each of its lists, and every window and box its commands
// open, measured as shown.
#include "ScreenFit.h"
#include "ScreenWalk.h"

#include "data/SharedDatabase.h"
#include "jobs/CJobNew.h"
#include "platform/db/Database.h"
#include "production/tracking/CViewTrack.h"

namespace {

// The cuts the check still finds, each with why it stands for now; any other
// cut fails. The report tables and the schedule box's table are drawn by the
// chart, which shares its width among columns too many for it and does not
// scroll sideways yet.
const struct
{
    const char *where;
    const char *why;
} kStillCut[] = {
    {"CViewReports#CView0-30005 > CXChartCtrl: ", "a report table wider than the view"},
    {"Schedule Job > CXChartCtrl: ", "the schedule box's fifteen day columns take the table's width"},
    {"Customer No: ", "the customer window's title item is one word in the large title font"},
    {"Inventory - Setup/Adjust > CXGridCtrl: ", "the stock grid's fixed columns"},
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

} // namespace

class ScreenFitTest : public ScreenWalkTest
{
protected:
    // The window's cut texts, each with where it was seen, into the run's list.
    void check(QWidget *window, const QString &where)
    {
        for (const QString &c : CutTexts(window))
            if (!seen.contains(c) && !stillCut(c)) {
                seen.insert(c);
                cuts << where + QStringLiteral(": ") + c;
            }
    }
    void visit(QWidget *window, const QString &where) override { check(window, where); }

    QStringList cuts;
    QSet<QString> seen;
};

class ScreenFitViews : public ScreenFitTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(ScreenFitViews, EveryListAndWindowOfTheViewShowsItsTextsWhole)
{
    walkView(GetParam());
    EXPECT_TRUE(cuts.isEmpty()) << cuts.size() << " cut:\n" << cuts.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(MainViews, ScreenFitViews,
                         ::testing::Values(30000, 30001, 30002, 30003, 30004, 30005, 30006, 30007, 30008));

// The windows a user reaches in a day's work, in the states that make their
// texts longest: a job due at a time of day with its Delete Items list, a new
// quote for a chosen CSR, the order's schedule box, and the time clock's
// operator and order pickers.
TEST_F(ScreenFitTest, TheWindowsOfADaysWorkShowTheirTextsWhole)
{
    SharedDatabase().execute(QStringLiteral("UPDATE Jobs SET TimeDue = '10 am'"));
    QStringList measured;
    const auto measure = [&](QDialog &d, const QString &where) {
        measured << QString::fromLatin1(d.metaObject()->className());
        check(&d, where);
    };

    CView0 *jobs = qobject_cast<CView0 *>(frame->SwitchView(30001));
    ASSERT_NE(jobs, nullptr);
    ASSERT_GT(jobs->list()->GetItemCount(), 0);
    jobs->list()->SelectItem(0);
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
    // The order picker comes first: the clock's order window has no order yet.
    EXPECT_EQ(measured.join(QLatin1Char(',')).toStdString(), "CJobDlg,CDlgOptions,CJobNew,CScheduleJob,CDlgTree,CDlgList");
    EXPECT_TRUE(cuts.isEmpty()) << cuts.size() << " cut:\n" << cuts.join(QLatin1Char('\n')).toStdString();
}
