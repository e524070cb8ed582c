#include "TrackFixture.h"

#include "controls/CXTable.h"
#include "controls/CXTreeCtrl.h"
#include "data/CTimeSet.h"
#include "production/tracking/CViewTrack.h"
#include "production/tracking/TrackRules.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <QtWidgets/QTreeWidgetItem>

#include <QtWidgets/QApplication>

using platform::IDCANCEL;
using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

namespace {

int rowOf(CViewTrack &view, qint32 key)
{
    return view.table()->FindRowByLong(key);
}

} // namespace

TEST_F(TrackTest, WithoutAnOperatorTheClockOnlyAsksForTheName)
{
    auto view = makeView(0);
    const int commands[] = {29130, 29131, 29133, 29109, 29103};
    for (int id : commands) {
        SCOPED_TRACE(id);
        prompts().clear();
        prompts().answer(IDOK);
        view->OnCommand(id);
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Please select your name first.")});
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Times")).toInt(), 0);
    // The lists still show.
    EXPECT_EQ(view->lastListCode(), 9401);
}

TEST_F(TrackTest, WorkdayWithABreakGivesSpanWorkedAndPausedOnTheTimeSheet)
{
    auto view = makeView(3);
    at(8, 0);
    prompts().answer(IDYES);
    view->OnCommand(29130);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Carla, do you want to start a new workday?")});
    EXPECT_EQ(view->statusText(), QStringLiteral("Welcome Carla. Have a safe and productive day."));
    // Started again: the day already runs.
    prompts().clear();
    prompts().answer(IDOK);
    view->OnCommand(29130);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Carla, you have already started your workday."));

    struct Step
    {
        int hour;
        int command;
        QString question;
        QString message;
        int status;
    };
    const Step steps[] = {
        {12, 29131, "Carla, do you want to BREAK your current workday?\n\nNote: Your Tasks In Progress will be Paused.",
         "Carla, you are now ON BREAK. See you later..\n\n", 1},
        {13, 29131, "Carla, do you want to RESUME your current workday?\n\nNote: Your paused tasks will remain as paused.",
         "Carla, you are now IN. Welcome back..", 0},
        {17, 29133, "Carla, do you want to END your current workday?\n\nNote: Your Tasks In Progress will be Paused.",
         "Carla, you are now OUT. Bye..\n\n", 2},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.hour);
        at(s.hour, 0);
        prompts().clear();
        prompts().answer(IDYES);
        prompts().answer(IDOK);
        view->OnCommand(s.command);
        EXPECT_EQ(prompts().texts().join(QLatin1Char('|')).toStdString(),
                  (QStringList{s.question, s.message}).join(QLatin1Char('|')).toStdString());
        EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Times")).toInt(), s.status);
    }
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT TimeFor, EmpNo, Minutes, Status FROM Times")), QStringLiteral("0|3|480|2"));

    // The time sheet under review: span 9:00, 480 worked, 60 paused.
    view->OnCommand(30052);
    ASSERT_FALSE(view->isTrackMode());
    view->OnCommand(9101);
    CXTable &t = *view->table();
    ASSERT_GE(t.GetRowCount(), 1);
    EXPECT_EQ(t.GetCellText(0, 0), QStringLiteral("Carla"));
    EXPECT_EQ(t.GetCellText(0, 1), QStringLiteral("06/12/2024"));
    EXPECT_EQ(t.GetCellText(0, 2), QStringLiteral("08:00"));
    EXPECT_EQ(t.GetCellText(0, 3), QStringLiteral("17:00"));
    EXPECT_EQ(t.GetCellText(0, 4), QStringLiteral("09:00"));
    EXPECT_EQ(t.GetCellLong(0, 5), 60);
    EXPECT_EQ(t.GetCellLong(0, 6), 480);
    snapshot(*view, QStringLiteral("time_sheet"));
}

TEST_F(TrackTest, BreakPausesRunningTasksAndResumeLeavesThemPaused)
{
    auto view = makeView(3);
    at(8, 0);
    prompts().answer(IDYES);
    view->OnCommand(29130);
    at(9, 0);
    ASSERT_TRUE(view->StartTask(1, offsetRun));
    ASSERT_TRUE(view->StartTask(1, fold));
    EXPECT_EQ(view->statusText(), QStringLiteral("Carla started ") + app->GetCategoryName(scalar(
                                      QStringLiteral("SELECT CatNo FROM Services WHERE SerNo = 902")).toInt())
                                      + QStringLiteral(": Fold at 09:00  06/12/2024"));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Count(*) FROM Times WHERE TimeFor = 1 AND Status = 0")), QStringLiteral("2"));

    // Worked minutes of running tasks grow with the clock; the stored minutes do not.
    at(9, 30);
    view->OnCommand(30121);
    const track::TaskColumns c = track::TaskColumnsOf(9401);
    const qint32 first = scalar(QStringLiteral("SELECT Min(TimeID) FROM Times WHERE TimeFor = 1")).toInt();
    EXPECT_EQ(view->table()->GetCellLong(rowOf(*view, first), c.worked), 30);
    at(10, 0);
    view->OnCommand(30121);
    EXPECT_EQ(view->table()->GetCellLong(rowOf(*view, first), c.worked), 60);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Sum(Minutes) FROM Times")).toInt(), 0);
    // The operator's group counts the two tasks, not the workday row.
    const int total = view->table()->GetRowCount() - 1;
    EXPECT_EQ(view->table()->GetCellText(total, c.when), QStringLiteral("2 Tasks"));
    EXPECT_EQ(view->table()->GetCellLong(total, c.worked), 120);
    snapshot(*view, QStringLiteral("track_mode"));

    prompts().clear();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    view->OnCommand(29131);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Carla, you are now ON BREAK. See you later..\n\nPaused 2 of 2 task(s) running."));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Minutes, Status FROM Times WHERE TimeFor = 1")),
              QStringLiteral("60|1\n60|1"));
    at(10, 30);
    prompts().clear();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    view->OnCommand(29131);
    EXPECT_EQ(prompts().lastText().toStdString(), "Carla, you are now IN. Welcome back..");
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Times ORDER BY TimeID")), QStringLiteral("0\n1\n1"));
    // A paused record keeps its minutes as the clock runs on.
    at(11, 0);
    view->OnCommand(30121);
    EXPECT_EQ(view->table()->GetCellLong(rowOf(*view, first), c.worked), 60);
}

TEST_F(TrackTest, ClockCommandsOnTheSelectedRowAndTheWorkdayQuestion)
{
    auto view = makeView(5);
    const qint32 day = addTime(0, 5, 0, QStringLiteral("06/12/2024 08:00"), QString(), 0, 0);
    const qint32 task = addTime(1, 5, offsetRun, QStringLiteral("06/12/2024 09:00"), QString(), 0, 0);
    at(9, 45);
    view->OnCommand(30121);
    ASSERT_TRUE(view->SelectRowByKey(task));
    EXPECT_TRUE(view->IsJobTaskRow(view->SelectedRow()));
    EXPECT_TRUE(view->IsCommandEnabled(29121));
    EXPECT_FALSE(view->IsCommandEnabled(29122));
    view->OnCommand(29121);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Minutes, Status FROM Times WHERE TimeID = %1").arg(task)),
              QStringLiteral("45|1"));
    EXPECT_TRUE(view->statusText().startsWith(QStringLiteral("Ben Paused ")));
    view->OnCommand(29122);
    EXPECT_TRUE(view->statusText().startsWith(QStringLiteral("Ben Resumed ")));

    // A workday row asks first; No changes nothing.
    ASSERT_TRUE(view->SelectRowByKey(day));
    EXPECT_TRUE(view->IsWorkdayRow(view->SelectedRow()));
    prompts().clear();
    prompts().answer(IDNO);
    view->OnCommand(29121);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("The change you requested will apply to the selected workday only.\nOther tasks will remain "
                             "unchanged.\n\nDo you want to PAUSE the selected workday?"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Times WHERE TimeID = %1").arg(day)).toInt(), 0);
}

TEST_F(TrackTest, AClosedRecordRefusesEveryCommand)
{
    const qint32 id = addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 08:00"), QStringLiteral("06/12/2024 09:00"), 60, 3);
    const QString before = sqliteRows(QStringLiteral("SELECT * FROM Times"));
    for (int command : {29121, 29122, 29123, 29124}) {
        SCOPED_TRACE(command);
        CTimeSet record;
        ASSERT_TRUE(record.FindByTimeID(id, true));
        EXPECT_FALSE(record.ApplyClockCommand(command));
    }
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT * FROM Times")), before);
}

TEST_F(TrackTest, AServiceScannedTwiceStartsThenFinishesAndAThirdScanChangesNothing)
{
    auto view = makeView(3);
    addTime(0, 3, 0, QStringLiteral("06/12/2024 08:00"), QString(), 0, 0);
    at(9, 0);
    auto scan = [&](int command, int object, int action) {
        view->barCode().m_nObject = object;
        view->barCode().m_nAction = action;
        return view->OnScanCommand(command, 0);
    };
    EXPECT_EQ(scan(30390, offsetRun, 0), 1);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Times WHERE TimeFor = 1")), QStringLiteral("0"));
    at(9, 40);
    scan(30390, offsetRun, 0);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Minutes, Status FROM Times WHERE TimeFor = 1")), QStringLiteral("40|2"));
    at(9, 50);
    scan(30390, offsetRun, 0);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Minutes, Status FROM Times WHERE TimeFor = 1")), QStringLiteral("40|2"));
    // A scanned Resume command applies to the next service scanned.
    scan(31000, 0, 29122);
    EXPECT_EQ(view->pendingScanCommand(), 29122);
    scan(30390, offsetRun, 0);
    EXPECT_EQ(view->pendingScanCommand(), 0);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Times WHERE TimeFor = 1")), QStringLiteral("0"));
    // A service that does not exist is told.
    prompts().answer(IDOK);
    scan(30390, 99999, 0);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot find the Service you have scanned."));
    // Badges name the operator.
    scan(30422, 5, 0);
    EXPECT_EQ(view->operatorNo(), 5);
    EXPECT_EQ(view->operatorName(), QStringLiteral("Ben"));
}

TEST_F(TrackTest, ReviewPasswordIsAskedOncePerViewAndAWrongOneStaysInTrackMode)
{
    exec(QStringLiteral("DELETE FROM Passwords WHERE [No] = 222"));
    exec(QStringLiteral("INSERT INTO Passwords ([No], Password, [Level]) VALUES (222, 'boss', 1)"));
    auto view = makeView(3);
    auto typed = [this](const QString &text) {
        onDialog<CDlgData>([text](CDlgData &d) {
            EXPECT_EQ(d.m_strStripText, QStringLiteral("You need a password to view, edit and close tasks in History."));
            d.m_strValue = text;
            return int(IDOK);
        });
    };
    typed(QStringLiteral("guess"));
    prompts().answer(IDOK);
    view->OnCommand(30052);
    EXPECT_TRUE(view->isTrackMode());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The password you've typed is not correct."));
    // Cancelled: still Track mode.
    prompts().onDialog([](QDialog &) { return int(IDCANCEL); });
    view->OnCommand(30052);
    EXPECT_TRUE(view->isTrackMode());

    typed(QStringLiteral("boss"));
    view->OnCommand(30052);
    EXPECT_FALSE(view->isTrackMode());
    EXPECT_EQ(view->operatorNo(), 100);
    view->OnCommand(30051);
    EXPECT_TRUE(view->isTrackMode());
    EXPECT_EQ(view->listChoice(), 29801);
    // Given once: not asked again in the life of the view.
    view->OnCommand(30052);
    EXPECT_FALSE(view->isTrackMode());
    EXPECT_EQ(prompts().pendingAnswers(), 0);

    // With every password switched off nothing is asked.
    app->m_nSecurityLevel = 0;
    auto open = makeView(3);
    prompts().clear();
    open->OnCommand(30052);
    EXPECT_FALSE(open->isTrackMode());
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(TrackTest, CloseTheDayListsFinishedRecordsAndClosesThem)
{
    addTime(0, 3, 0, QStringLiteral("06/12/2024 08:00"), QStringLiteral("06/12/2024 17:00"), 540, 2);
    addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 09:00"), QStringLiteral("06/12/2024 10:00"), 60, 2);
    addTime(1, 5, fold, QStringLiteral("06/12/2024 09:00"), QString(), 0, 0);
    at(12, 0);
    auto view = makeView(3);
    view->OnCommand(30052);
    ASSERT_FALSE(view->isTrackMode());
    EXPECT_EQ(view->lastListCode(), 9401);
    EXPECT_EQ(view->noticeText(),
              QStringLiteral("There are Task(s) in Progress. Please Pause or Finish them before closing the day. \n"
                             "Select the Tasks you want to close and click: Close Tasks Now.\n- IMPORTANT: Do not close "
                             "Job Tasks that may be resumed."));
    EXPECT_EQ(view->table()->GetDataRowCount(), 2);
    snapshot(*view, QStringLiteral("close_the_day"));

    // A running task makes closing ask; then the choice and the two-step confirmation.
    prompts().answer(IDYES);
    onDialog<CDlgOptions>([](CDlgOptions &d) {
        EXPECT_TRUE(d.IsEntryChecked(1));
        EXPECT_EQ(d.GetEntryText(1), QStringLiteral("Close All Tasks: 2"));
        EXPECT_EQ(d.GetEntryText(2), QStringLiteral("Close Highlighted Tasks Only: 0"));
        return int(IDOK);
    });
    prompts().answer(IDYES);
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    EXPECT_EQ(view->OnCloseTasks(), 2);
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("There are task(s) in progress. Do you still want to Close the Day?"),
                           QStringLiteral("Do you want to start closing all tasks now?"),
                           QStringLiteral("Are you sure you want to start closing all tasks now?"),
                           QStringLiteral("Closed 2 Task(s)")}));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status FROM Times ORDER BY TimeID")), QStringLiteral("3\n3\n0"));
    EXPECT_EQ(view->table()->GetDataRowCount(), 0);
    EXPECT_EQ(view->table()->m_note, QStringLiteral("None Found"));
}

TEST_F(TrackTest, UpdateJobServicesScalesCostsAsWorkedByHand)
{
    // Offset run: ActualTime 60, TimeCost 30.00, ActualQty 1000, MatCost 50.00.
    // Tracked: 2 tasks, 55 + 65 = 120 minutes, no material: TimeCost doubles, the
    // material stays. Fold: ActualQty 0 before, 1 task of 45 minutes and 300 sheets:
    // the quantity is taken but its MatCost (0) stays, no TimeCost to scale.
    addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 08:00"), QStringLiteral("06/12/2024 08:55"), 55, 2);
    addTime(1, 5, offsetRun, QStringLiteral("06/12/2024 09:00"), QStringLiteral("06/12/2024 10:05"), 65, 2);
    addTime(1, 5, fold, QStringLiteral("06/12/2024 10:10"), QStringLiteral("06/12/2024 10:55"), 45, 2, 300);
    at(12, 0);
    auto view = makeView(3);
    view->OnCommand(30052);
    view->OnCommand(9104);
    ASSERT_EQ(view->lastListCode(), 9302);
    CXTable &t = *view->table();
    const int row = t.FindRowByLong(offsetRun);
    ASSERT_GE(row, 0);
    EXPECT_EQ(t.GetCellLong(row, 4), 2);
    EXPECT_EQ(t.GetCellLong(row, 5), 120);
    EXPECT_EQ(t.GetCellText(row, 8), QStringLiteral("-50.0%"));
    EXPECT_EQ(t.GetCellText(row, 9), QStringLiteral("-50.0%"));
    EXPECT_EQ(t.GetCellText(row, 13), QString());
    snapshot(*view, QStringLiteral("tracked_vs_charged"));

    onDialog<CDlgOptions>([](CDlgOptions &d) {
        EXPECT_EQ(d.GetEntryText(1), QStringLiteral("All Services: 2"));
        return int(IDOK);
    });
    prompts().answer(IDOK);
    view->OnCommand(30211);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Updated 2 Service(s)"));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT ItemID, Status, ActualQty, ActualTime, MatCost, TimeCost, Cost FROM Items "
                                        "WHERE SerNo > 0 ORDER BY ItemID")),
              QStringLiteral("%1|0|1000|120|50|60|110\n%2|0|300|45|0|0|0").arg(offsetRun).arg(fold));
    // The order's cost totals follow: the item's services, then the job.
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Cost FROM Items WHERE ItemID = %1").arg(itemRow)), QStringLiteral("110"));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Cost FROM Jobs WHERE JobID = %1").arg(jobId)), QStringLiteral("110"));
    // The list now shows actual equal to tracked.
    const int again = view->table()->FindRowByLong(offsetRun);
    EXPECT_EQ(view->table()->GetCellText(again, 8), QStringLiteral("="));
    // Nothing changed: nothing is written or counted.
    onDialog<CDlgOptions>([](CDlgOptions &) { return int(IDOK); });
    prompts().answer(IDOK);
    view->OnCommand(30211);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Updated 0 Service(s)"));
}

TEST_F(TrackTest, AFailingServiceUpdateLeavesTheFileAsItWas)
{
    addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 08:00"), QStringLiteral("06/12/2024 10:00"), 120, 2);
    at(12, 0);
    auto view = makeView(3);
    view->OnCommand(30052);
    view->OnCommand(9104);
    // The order's cost totals cannot be written: the service's change goes too.
    SharedDatabase().executeNative(QStringLiteral(
        "CREATE TRIGGER refuse_jobs BEFORE UPDATE ON Jobs BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const QString before = sqliteRows(QStringLiteral(".dump"));
    onDialog<CDlgOptions>([](CDlgOptions &) { return int(IDOK); });
    for (int i = 0; i < 4; ++i)
        prompts().answer(IDOK);
    view->OnCommand(30211);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Updated 0 Service(s)"));
    EXPECT_EQ(sqliteRows(QStringLiteral(".dump")), before);
}

TEST_F(TrackTest, TreesOfTheTwoModes)
{
    auto view = makeView(3);
    struct Case
    {
        int code;
        const char *text;
    };
    const Case track[] = {{29130, "Start"},           {29131, "Break / Resume"}, {29133, "End"},
                          {29101, "Find Order No..."}, {29109, "Office Task"},    {29806, "Who's In, Who's Out?"}};
    for (const Case &c : track) {
        SCOPED_TRACE(c.code);
        QTreeWidgetItem *entry = view->tree()->FindItemByData(quint32(c.code));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->text(0), QString::fromUtf8(c.text));
    }
    view->OnCommand(30052);
    const Case review[] = {{9100, "Close the Day"},   {9104, "Update Job Services"}, {9201, "Operator"},
                           {9302, "Job Number"},      {9406, "My Days"},             {9405, "Office Task"}};
    for (const Case &c : review) {
        SCOPED_TRACE(c.code);
        QTreeWidgetItem *entry = view->tree()->FindItemByData(quint32(c.code));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->text(0), QString::fromUtf8(c.text));
    }
}

TEST_F(TrackTest, StartingWithoutAWorkdayAsksAndNoToBothStartsNothing)
{
    auto view = makeView(3);
    prompts().answer(IDNO);
    EXPECT_FALSE(view->StartTask(1, offsetRun));
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Carla, do you want to start a new workday?")});
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Times")).toInt(), 0);
    // A day on break is offered to be resumed first.
    addTime(0, 3, 0, QStringLiteral("06/12/2024 08:00"), QStringLiteral("06/12/2024 09:00"), 60, 1);
    prompts().clear();
    prompts().answer(IDNO);
    prompts().answer(IDNO);
    EXPECT_FALSE(view->StartTask(1, offsetRun));
    EXPECT_EQ(prompts().texts(), (QStringList{QStringLiteral("Carla, do you want to resume your current workday?"),
                                              QStringLiteral("Carla, do you want to start a new workday?")}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Times")).toInt(), 1);
}

TEST_F(TrackTest, DeletingTheHighlightedTaskAsksTheTrackPasswordAndTwice)
{
    exec(QStringLiteral("DELETE FROM Passwords WHERE [No] = 221"));
    exec(QStringLiteral("INSERT INTO Passwords ([No], Password, [Level]) VALUES (221, 'floor', 1)"));
    addTime(0, 3, 0, QStringLiteral("06/12/2024 08:00"), QString(), 0, 0);
    const qint32 task = addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 08:30"), QString(), 0, 0);
    auto view = makeView(3);
    ASSERT_TRUE(view->SelectRowByKey(task));
    onDialog<CDlgData>([](CDlgData &d) {
        EXPECT_EQ(d.m_strStripText, QStringLiteral("You need a password to delete."));
        d.m_strValue = QStringLiteral("floor");
        return int(IDOK);
    });
    prompts().answer(IDYES);
    prompts().answer(IDYES);
    view->OnCommand(30113);
    EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Do you want to delete selected tasks (1) now?")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Times WHERE TimeID = %1").arg(task)).toInt(), 0);
    EXPECT_LT(view->table()->FindRowByLong(task), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Times")).toInt(), 1);
}
