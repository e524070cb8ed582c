#include "ShopTablesTest.h"

#include "app/base/CZqApp.h"
#include "data/CTimeSet.h"
#include "data/CodeLookups.h"
#include "platform/Clock.h"

#include <QtCore/QStringList>

namespace {

class TimeClockTest : public ShopTablesTest
{
protected:
    void SetUp() override
    {
        ShopTablesTest::SetUp();
        setOptions({});
        exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name) VALUES (3, 'Dana')"));
        exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name) VALUES (4, 'Lee')"));
    }

    // The tracker's option list: entry 1 the start and 2 the end of the
    // working day, then the numbered switches given.
    void setOptions(const QMap<int, QString> &entries)
    {
        QStringList items;
        for (int i = 0; i < 15; ++i)
            items << entries.value(i, QStringLiteral("0"));
        app.SetTrackOptionsText(items.join(QLatin1Char(',')) + QLatin1Char(','));
    }

    void at(int hour, int minute)
    {
        platform::Clock::setFixed(QDateTime(QDate(2026, 3, 16), QTime(hour, minute)));
    }

    // A job with one item and one service row on the printing department.
    void addJobWithService(quint8 serviceStatus, quint8 days2)
    {
        exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, IconNo, CatName, SortNo) "
                            "VALUES (201, 3, 2, 'Presses', 1)"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name) VALUES (500, 201, 'Heidelberg')"));
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo, ShiptoNo, DateIn) VALUES (0, 1001, 0, 31, 0, #3/12/2026#)"));
        jobId = scalar(QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 1001")).toInt();
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Status) VALUES (%1, 0, 1, 0, 4)").arg(jobId));
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Status, Days2, [Note], ActualTime, "
                            "TimeCost, MatCost, Cost) VALUES (%1, 500, 1, 0, %2, %3, 'Use the blue ink', 0, 0, 0, 0)")
                 .arg(jobId)
                 .arg(serviceStatus)
                 .arg(days2));
        serviceId = scalar(QStringLiteral("SELECT ItemID FROM Items WHERE SerNo = 500")).toInt();
    }

    qint32 startTask(quint8 empNo)
    {
        CTimeSet set;
        EXPECT_TRUE(set.StartEntry(empNo, CTimeSet::ServiceTask, serviceId, 0));
        return set.m_TimeID;
    }

    bool command(qint32 timeId, int command)
    {
        CTimeSet set;
        EXPECT_TRUE(set.FindByTimeID(timeId, true));
        return set.ApplyClockCommand(command);
    }

    int serviceStatus() { return scalar(QStringLiteral("SELECT Status FROM Items WHERE ItemID = %1").arg(serviceId)).toInt(); }

    CZqApp app;
    qint32 jobId = 0;
    qint32 serviceId = 0;
};

struct Step
{
    int hour, minute;
    int command;
    bool accepted;
    int status;
    int minutes;
    int finishHour, finishMinute; // -1: empty
};

TEST_F(TimeClockTest, TransitionsOfOneRow)
{
    at(9, 0);
    CTimeSet day;
    ASSERT_TRUE(day.StartEntry(3, CTimeSet::DayClock, 0, 0));
    const qint32 id = day.m_TimeID;
    ASSERT_NE(id, 0);

    const Step steps[] = {
        {9, 0, CTimeSet::Resume, false, 0, 0, -1, 0},
        {10, 30, CTimeSet::Pause, true, 1, 90, 10, 30},
        {10, 45, CTimeSet::Pause, false, 1, 90, 10, 30},
        {11, 0, CTimeSet::Resume, true, 0, 90, 11, 0},
        {12, 10, CTimeSet::Finish, true, 2, 160, 12, 10},
        {12, 20, CTimeSet::Finish, false, 2, 160, 12, 10},
        {12, 20, CTimeSet::Pause, false, 2, 160, 12, 10},
        {13, 0, CTimeSet::Resume, true, 0, 160, 13, 0}, // counts again from the resume
        {13, 30, CTimeSet::Pause, true, 1, 190, 13, 30},
        {14, 0, CTimeSet::Finish, true, 2, 190, 14, 0}, // a paused row adds nothing
    };
    for (const Step &s : steps) {
        at(s.hour, s.minute);
        CTimeSet set;
        ASSERT_TRUE(set.FindByTimeID(id, true));
        EXPECT_EQ(set.ApplyClockCommand(s.command), s.accepted) << s.hour << ":" << s.minute;
        CTimeSet read;
        ASSERT_TRUE(read.FindByTimeID(id, false));
        EXPECT_EQ(read.m_Status, s.status) << s.hour << ":" << s.minute;
        EXPECT_EQ(read.m_Minutes, s.minutes) << s.hour << ":" << s.minute;
        if (s.finishHour < 0)
            EXPECT_FALSE(read.m_Finish.isValid());
        else
            EXPECT_EQ(read.m_Finish, DateTime(2026, 3, 16, s.finishHour, s.finishMinute));
        EXPECT_EQ(read.m_Start, DateTime(2026, 3, 16, 9, 0));
    }

    // A closed row takes no command at all.
    exec(QStringLiteral("UPDATE Times SET Status = 3 WHERE TimeID = %1").arg(id));
    at(15, 0);
    for (int c : {CTimeSet::Pause, CTimeSet::Resume, CTimeSet::Finish, CTimeSet::FinishTaskOnly})
        EXPECT_FALSE(command(id, c)) << c;
    EXPECT_EQ(scalar(QStringLiteral("SELECT Minutes FROM Times WHERE TimeID = %1").arg(id)).toInt(), 190);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(TimeClockTest, TheWorkingDayBoundsStartAndFinish)
{
    setOptions({{1, QStringLiteral("7:00")}, {2, QStringLiteral("17:30")}});
    at(6, 40);
    CTimeSet day;
    ASSERT_TRUE(day.StartEntry(3, CTimeSet::DayClock, 0, 0));
    const qint32 id = day.m_TimeID;
    EXPECT_EQ(day.m_Start, DateTime(2026, 3, 16, 7, 0));

    // A pause is taken when it happens; a finish stops at the day's end, and
    // the minutes never pass the span from the start to the last change.
    at(18, 5);
    EXPECT_TRUE(command(id, CTimeSet::Pause));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Minutes FROM Times WHERE TimeID = %1").arg(id)).toInt(), 665);
    at(18, 10);
    EXPECT_TRUE(command(id, CTimeSet::Finish));
    CTimeSet read;
    ASSERT_TRUE(read.FindByTimeID(id, false));
    EXPECT_EQ(read.m_Finish, DateTime(2026, 3, 16, 17, 30));
    EXPECT_EQ(read.m_Minutes, 630);

    // Inside the day nothing is moved.
    at(8, 15);
    CTimeSet second;
    ASSERT_TRUE(second.StartEntry(4, CTimeSet::DayClock, 0, 0));
    EXPECT_EQ(second.m_Start, DateTime(2026, 3, 16, 8, 15));
    at(17, 0);
    ASSERT_TRUE(second.ApplyClockCommand(CTimeSet::Finish));
    EXPECT_EQ(second.m_Minutes, 525);
}

TEST_F(TimeClockTest, AStartInTheFutureIsBroughtBack)
{
    at(9, 0);
    CTimeSet set;
    ASSERT_TRUE(set.StartEntry(3, CTimeSet::DayClock, 0, 0));
    const qint32 id = set.m_TimeID;
    exec(QStringLiteral("UPDATE Times SET Start = #3/16/2026 11:00:00#, Finish = #3/16/2026 12:00:00# WHERE TimeID = %1")
             .arg(id));
    at(10, 0);
    EXPECT_TRUE(command(id, CTimeSet::Pause));
    CTimeSet read;
    ASSERT_TRUE(read.FindByTimeID(id, false));
    EXPECT_EQ(read.m_Start, DateTime(2026, 3, 16, 10, 0));
    EXPECT_EQ(read.m_Minutes, 0);
}

TEST_F(TimeClockTest, AnEmployeeMustBeChosen)
{
    CTimeSet set;
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(set.StartEntry(0, CTimeSet::DayClock, 0, 0));
    EXPECT_EQ(messages(), QStringList({"Please select your name or scan your barcode."}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Times")).toInt(), 0);
}

TEST_F(TimeClockTest, TwoEmployeesOnOneService)
{
    // Status on start and end, operator on start, note, actual minutes.
    setOptions({{4, QStringLiteral("1")}, {5, QStringLiteral("1")}, {6, QStringLiteral("1")},
                {8, QStringLiteral("1")}, {10, QStringLiteral("1")}});
    addJobWithService(0, 5); // marked done, planned for day 5

    at(9, 0);
    prompts().answer(platform::IDOK);
    const qint32 dana = startTask(3);
    EXPECT_EQ(messages(), QStringList({"Dana, please note:\n\nUse the blue ink"}));
    EXPECT_EQ(serviceStatus(), 5); // back to do, on its planned day
    EXPECT_EQ(scalar(QStringLiteral("SELECT EmpNo FROM Items WHERE ItemID = %1").arg(serviceId)).toInt(), 3);
    // The item moves to the printing department's column (3 + 4).
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE SerNo = 0")).toInt(), 7);

    at(9, 30);
    prompts().answer(platform::IDOK);
    const qint32 lee = startTask(4);

    // The first to finish is told; the service keeps its status and cost.
    at(11, 0);
    prompts().clear();
    prompts().answer(platform::IDOK);
    EXPECT_TRUE(command(dana, CTimeSet::Finish));
    EXPECT_EQ(messages(),
              QStringList({"Dana, your task is finished but there is at least one more\nUNFINISHED TASK for this "
                           "Service.\n\nTherefore, the status (and cost) of the Service will not be updated \nuntil "
                           "all tasks are finished for this Service."}));
    EXPECT_EQ(serviceStatus(), 5);
    EXPECT_EQ(scalar(QStringLiteral("SELECT ActualTime FROM Items WHERE ItemID = %1").arg(serviceId)).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(jobId)).toInt(), 0);

    // The last one finishes the service, books both times and readies the job.
    at(12, 15);
    prompts().clear();
    EXPECT_TRUE(command(lee, CTimeSet::Finish));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(serviceStatus(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT ActualTime FROM Items WHERE ItemID = %1").arg(serviceId)).toInt(), 120 + 165);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE SerNo = 0")).toInt(), 17);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(jobId)).toInt(), 2);

    // A resumed task reopens the service, without the note this time.
    at(13, 0);
    EXPECT_TRUE(command(lee, CTimeSet::Resume));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_NE(serviceStatus(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(jobId)).toInt(), 0);

    // Finishing the task alone leaves the service as it is.
    at(13, 20);
    EXPECT_TRUE(command(lee, CTimeSet::FinishTaskOnly));
    EXPECT_NE(serviceStatus(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Times WHERE TimeID = %1").arg(lee)).toInt(), 2);
}

TEST_F(TimeClockTest, HeldJobsKeepTheirStatus)
{
    setOptions({{8, QStringLiteral("1")}});
    addJobWithService(1, 0);
    exec(QStringLiteral("UPDATE Jobs SET Status = 1 WHERE JobID = %1").arg(jobId));
    at(9, 0);
    const qint32 id = startTask(3);
    at(10, 0);
    EXPECT_TRUE(command(id, CTimeSet::Finish));
    EXPECT_EQ(serviceStatus(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(jobId)).toInt(), 1);
}

TEST_F(TimeClockTest, KeepingTheItemStatusLeavesTheJobAlone)
{
    setOptions({{8, QStringLiteral("1")}, {13, QStringLiteral("1")}});
    addJobWithService(1, 0);
    QList<QPair<int, int>> asked;
    SetItemStatusQuestion([&asked](quint8 current, quint8 target) {
        asked.append({current, target});
        return false; // keep
    });
    at(9, 0);
    const qint32 id = startTask(3);
    at(10, 0);
    EXPECT_TRUE(command(id, CTimeSet::Finish));
    SetItemStatusQuestion({});
    EXPECT_EQ(asked, (QList<QPair<int, int>>{{4, 17}}));
    EXPECT_EQ(serviceStatus(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Items WHERE SerNo = 0")).toInt(), 4);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Jobs WHERE JobID = %1").arg(jobId)).toInt(), 0);
}

TEST_F(TimeClockTest, DisplayTexts)
{
    addJobWithService(1, 0);
    at(8, 0);
    CTimeSet set;
    ASSERT_TRUE(set.StartEntry(3, CTimeSet::DayClock, 0, 0));
    at(9, 0);
    ASSERT_TRUE(set.ApplyClockCommand(CTimeSet::Pause));
    at(9, 40);
    set.LoadDisplayTexts();
    EXPECT_EQ(set.m_strStatus, QStringLiteral("ON BREAK"));
    EXPECT_EQ(set.m_strEmployee, QStringLiteral("Dana"));
    EXPECT_EQ(set.m_strTask, QStringLiteral("MY DAY"));
    EXPECT_EQ(set.m_nTaskImage, 97);
    EXPECT_EQ(set.m_strStart, QStringLiteral("08:00  03/16/2026"));
    EXPECT_EQ(set.m_strFinish, QStringLiteral("09:00  03/16/2026"));
    EXPECT_EQ(set.m_nElapsed, 100);
    EXPECT_EQ(set.m_nWorked, 60);
    EXPECT_EQ(set.m_nPaused, 40);

    at(10, 0);
    CTimeSet task;
    ASSERT_TRUE(task.StartEntry(4, CTimeSet::ServiceTask, serviceId, 0));
    at(10, 25);
    task.LoadDisplayTexts();
    EXPECT_EQ(task.m_strStatus, QStringLiteral("Working"));
    EXPECT_EQ(task.m_strTask, QStringLiteral("Presses: Heidelberg"));
    EXPECT_EQ(task.m_strJobLabel, QStringLiteral("1001-1"));
    EXPECT_EQ(task.m_strJob, QStringLiteral("* "));
    EXPECT_EQ(task.m_nWorked, 25);
    EXPECT_EQ(task.m_nPaused, 0);

    exec(QStringLiteral("UPDATE Times SET ItemID = 777, TimeFor = 2 WHERE TimeID = %1").arg(task.m_TimeID));
    ASSERT_TRUE(task.FindByTimeID(task.m_TimeID, false));
    task.LoadDisplayTexts();
    EXPECT_EQ(task.m_strTask, QStringLiteral("Office task not found"));
}

} // namespace
