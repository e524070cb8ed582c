#include "production/tracking/TrackRules.h"

#include "app/base/CZqApp.h"
#include "app/base/TypedValue.h"

#include "controls/CXTable.h"
#include "data/CTimeSet.h"
#include "platform/Prompt.h"
#include "views/CDlgData.h"

#include <QtWidgets/QApplication>

#include <cmath>

namespace track {

namespace {

// The task columns every task list selects after its grouping column: the
// texts are written from the Times record after loading, so the statement
// only reserves their places.
const QString kTaskColumns = QStringLiteral(
    "CStr('') AS [Task_w_30], CStr('') AS [Started_w_16], CStr('') AS [Status_w_12], CStr('') AS [When_w_16], "
    "CLng(0) AS [Time/Worked], CLng(0) AS [Matl/Used], CStr('') AS [Task/Note_w_12], ");
const QString kHiddenTaskColumns =
    QStringLiteral("Times.EmpNo AS [HIDE_EMP], Times.ItemID AS [HIDE_ITEM], Times.TimeID AS [HIDE_KEY] ");
const QString kOperatorName = QStringLiteral("Employees.Name AS [Operator_w_12], ");
const QString kNoOperator = QStringLiteral("CStr('') AS [Operator_w_12], ");
const QString kJobCustomer = QStringLiteral("CStr('') AS [Job-Item Customer_w_30], ");
const QString kEmployeesFrom = QStringLiteral("FROM Employees INNER JOIN Times ON Employees.EmpNo = Times.EmpNo ");
const QString kServicesFrom = QStringLiteral(
    "FROM (((Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN Times ON Items.ItemID = Times.ItemID) "
    "INNER JOIN Services ON Items.SerNo = Services.SerNo) ");

const QString kDayColumns = QStringLiteral(
    "Min((IIf(TimeFor=0,Format(Start,'Short Time')))) AS [Day/Start|], "
    "Max((IIf(TimeFor=0,Format(Finish,'Short Time')))) AS [Day/End|], "
    "Max((IIf(TimeFor=0,Format(Finish-Start,'Short Time')))) AS [Day/Span|], CLng(0) AS [Paused/Time], "
    "Sum(IIf(TimeFor=0,Minutes,0)) AS [Worked/Time], Sum(IIf(TimeFor=1,Minutes,0)) AS [Job/Time], "
    "Sum(IIf(TimeFor=2,Minutes,0)) AS [Office/Time], Sum(IIf(TimeFor>0,Minutes,0)) AS [TOTAL/Time], "
    "Sum(IIf((TimeFor>0 and Subgroup=0),Minutes,0)) AS [Regular/Time], "
    "Sum(IIf((TimeFor>0 and Subgroup=1),Minutes,0)) AS [Over/Time], "
    "Sum(IIf((TimeFor>0 and Subgroup=2),Minutes,0)) AS [No-Pay/Time], "
    "Sum(IIf((TimeFor>0 and Subgroup=3),Minutes,0)) AS [Other/Time], Times.EmpNo AS [HIDE_EMP] "
    "FROM Employees INNER JOIN Times ON Employees.EmpNo = Times.EmpNo ");

const QString kCompareColumns = QStringLiteral(
    "Count(Times.TimeID) AS [Task/Count], Sum(Times.Minutes) AS [Time/Tracked}P], Items.ActualTime AS [Time/Actual], "
    "Items.ChargeTime AS [Time/Charge], CLng(0) AS [Actual/vs/Track_w_10], CLng(0) AS [Charge/vs/Track_w_10], "
    "Sum(Times.Material) AS [Qty/Tracked}P], Items.ActualQty AS [Qty/Actual], Items.ChargeQty AS [Qty/Charge], "
    "CLng(0) AS [ActualQ/vs/Tracked_w_10], CLng(0) AS [ChargeQ/vs/Tracked_w_10], Items.ItemID AS HIDE_KEY "
    "FROM ((Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN Times ON Items.ItemID = Times.ItemID) "
    "INNER JOIN Services ON Items.SerNo = Services.SerNo ");
const QString kCompareGroup = QStringLiteral(
    "GROUP BY Services.CatNo, Services.Name, Items.ActualTime, Items.ChargeTime, Items.ActualQty, Items.ChargeQty, "
    "Items.ItemID, Jobs.JobNo, Items.ItemNo, Items.EmpNo, ");
const QString kJobItem = QStringLiteral("Jobs.JobNo & '-' & Items.ItemNo AS [Job-Item_w_10], ");

QString withFilter(const QString &head, const QString &filter, const QString &tail)
{
    if (filter.isEmpty())
        return head + tail;
    return head + QStringLiteral("WHERE ") + filter + QLatin1Char(' ') + tail;
}

} // namespace

QString BuildListSql(int code, const QString &filter)
{
    const QString select = QStringLiteral("SELECT ");
    switch (code) {
    case kTasksByOperator:
        return withFilter(select + kOperatorName + kTaskColumns + QStringLiteral("CStr('') AS [HIDE_OP], ")
                              + kJobCustomer + kHiddenTaskColumns + kEmployeesFrom,
                          filter, QStringLiteral("ORDER BY Employees.Sort, Times.EmpNo, Times.Start, Times.TimeID"));
    case kTasksByDate:
        return withFilter(select + QStringLiteral("DateValue(Times.Start) AS [Date Started], ") + kTaskColumns
                              + kOperatorName + kJobCustomer + kHiddenTaskColumns + kEmployeesFrom,
                          filter, QStringLiteral("ORDER BY Times.Start, Times.TimeID"));
    case kTasksByJob:
        return withFilter(select + kJobItem + kTaskColumns + kNoOperator + kJobCustomer + kHiddenTaskColumns
                              + kServicesFrom,
                          filter, QStringLiteral("ORDER BY Jobs.JobNo, Items.ItemNo, Services.CatNo, Times.TimeID "));
    case kTasksByCategory:
        return withFilter(select + QStringLiteral("' ' & Services.CatNo AS [Department], ") + kTaskColumns + kNoOperator
                              + kJobCustomer + kHiddenTaskColumns + kServicesFrom,
                          filter, QStringLiteral("ORDER BY Services.CatNo, Services.Name, Times.TimeID"));
    case kTasksByOfficeTask:
        return withFilter(select + QStringLiteral("TimeDepartments.Name AS [Office Task_w_16], ") + kTaskColumns
                              + kNoOperator + QStringLiteral("CStr('') AS [HIDE_CUS], ") + kHiddenTaskColumns
                              + QStringLiteral("FROM Times INNER JOIN TimeDepartments ON Times.ItemID = "
                                               "TimeDepartments.DepID "),
                          filter, QStringLiteral("ORDER BY TimeDepartments.Sort, TimeDepartments.DepID, Times.TimeID"));
    case kTasksMyDays:
        return withFilter(select + kTaskColumns + QStringLiteral("CStr('') AS [HIDE_OP], CStr('') AS [HIDE_Job], ")
                              + kHiddenTaskColumns + kEmployeesFrom,
                          filter, QStringLiteral("ORDER BY Times.EmpNo, Times.Start, Times.TimeID"));
    case kTimeSheetsByOperator:
        return withFilter(select + kOperatorName + QStringLiteral("Format(Start, 'mm/dd/yyyy') AS [DAY/IN  |], ")
                              + kDayColumns,
                          filter,
                          QStringLiteral("GROUP BY Employees.Name, Employees.EmpNo, Format(Start, 'mm/dd/yyyy'), "
                                         "Times.EmpNo ORDER BY Times.EmpNo"));
    case kTimeSheetsByDate:
        return withFilter(select + QStringLiteral("Format(Start, 'mm/dd/yyyy') AS [DAY/IN  |], ") + kOperatorName
                              + kDayColumns,
                          filter,
                          QStringLiteral("GROUP BY Format(Start, 'mm/dd/yyyy'), Employees.Name, Employees.EmpNo, "
                                         "Times.EmpNo ORDER BY Format(Start, 'mm/dd/yyyy'), Times.EmpNo"));
    case kTrackedByOperator:
        return withFilter(select
                              + QStringLiteral("' ' & Items.EmpNo AS [Operator_w_12], Services.CatNo AS "
                                               "[Category_w_12], Services.Name AS [Service], ")
                              + kJobItem + kCompareColumns,
                          filter,
                          kCompareGroup
                              + QStringLiteral("Items.EmpNo, Services.CatNo, Services.Name, Jobs.JobNo, Items.ItemNo"));
    case kTrackedByJob:
        return withFilter(select + kJobItem
                              + QStringLiteral("Services.CatNo AS Category_w_12, Services.Name AS Service, ' ' & "
                                               "Items.EmpNo AS [Operator_w_12], ")
                              + kCompareColumns,
                          filter, kCompareGroup + QStringLiteral("Jobs.JobNo, Items.ItemNo, Services.CatNo, Services.Name"));
    case kTrackedByCategory:
        return withFilter(select
                              + QStringLiteral("Services.CatNo AS [Category_w_12], Services.Name AS [Service], ' ' & "
                                               "Items.EmpNo AS [Operator_w_12], ")
                              + kJobItem + kCompareColumns,
                          filter, kCompareGroup + QStringLiteral("Services.CatNo, Services.Name, Jobs.JobNo, Items.ItemNo"));
    default:
        return QString();
    }
}

QString TrackFilter(int choice, int empNo)
{
    switch (choice) {
    case kTasksInProgress:
        return QStringLiteral("Times.Status = %1").arg(0);
    case kTasksPaused:
        return QStringLiteral("Times.Status = %1").arg(1);
    case kTasksFinished:
        return QStringLiteral("Times.Status = %1").arg(2);
    case kMyTasksOnly:
        return QStringLiteral("Times.Status < %1 and Times.EmpNo = %2").arg(3).arg(empNo);
    case kWhoIsIn:
        return QStringLiteral("Times.Status < %1 and Times.TimeFor = %2").arg(3).arg(0);
    default:
        return QStringLiteral("Times.Status < %1").arg(3);
    }
}

QString KindCondition(int code)
{
    int kind = -1;
    if (code == kTasksByJob || code == kTasksByCategory || (code >= kTrackedByOperator && code <= kTrackedByCategory))
        kind = 1;
    else if (code == kTasksByOfficeTask)
        kind = 2;
    else if (code == kTasksMyDays)
        kind = 0;
    return kind < 0 ? QString() : QStringLiteral(" and Times.TimeFor = %1").arg(kind);
}

TaskColumns TaskColumnsOf(int code)
{
    TaskColumns c;
    if (code != kTasksMyDays)
        return c;
    c.group = -1;
    c.task = 0;
    c.started = 1;
    c.status = 2;
    c.when = 3;
    c.worked = 4;
    c.material = 5;
    c.note = 6;
    c.operatorName = 7;
    c.jobCustomer = 8;
    c.empNo = 9;
    c.itemId = 10;
    c.key = 11;
    return c;
}

QString TaskCountText(int count)
{
    return QStringLiteral("%1 Task%2").arg(count).arg(count == 1 ? QString() : QStringLiteral("s"));
}

QString VersusText(long long value, long long tracked)
{
    if (value == 0 || tracked == 0)
        return QString();
    if (value == tracked)
        return QStringLiteral("=");
    return CXTable::FormatPercent(double(value - tracked) / double(tracked), "%0.1f%%");
}

QString JoinTrackOptions(const QStringList &entries)
{
    QString text;
    for (int i = 0; i < 15; ++i) {
        const QString entry = entries.value(i).trimmed();
        if (i <= 2)
            text += entry;
        else
            text += QString::number(entry.toInt());
        text += QLatin1Char(',');
    }
    return text;
}

namespace {

DateTime plusMinutes(const DateTime &moment, qint32 minutes)
{
    // By whole seconds, so that the moment is the one written as a time of day.
    return DateTime::fromDateTime(moment.toDateTime().addSecs(qint64(minutes) * 60));
}

} // namespace

void ApplyTimeChange(TaskTimes &times, bool finishField, const DateTime &value, const DateTime &now)
{
    if (!value.isValid())
        return;
    if (finishField)
        times.finish = value;
    else
        times.start = value;
    if (times.start > now)
        times.start = now;
    if (!times.finish.isValid() || times.finish > now)
        times.finish = now;
    if (times.finish < times.start)
        times.finish = times.start;
    const qint32 span = CTimeSet::MinutesBetween(times.start, times.finish);
    if (times.minutes > span)
        times.minutes = span;
}

qint32 MinutesSinceStart(const TaskTimes &times, const DateTime &now)
{
    return CTimeSet::MinutesBetween(times.start, now);
}

bool ApplyMinutesChange(TaskTimes &times, qint32 typed, const DateTime &now)
{
    const qint32 elapsed = MinutesSinceStart(times, now);
    if (typed < 0 || typed == times.minutes || typed > elapsed)
        return false;
    if (!times.finish.isValid() || times.finish > now)
        times.finish = now;
    if (typed > CTimeSet::MinutesBetween(times.start, times.finish))
        times.finish = typed == elapsed ? now : plusMinutes(times.start, typed);
    times.minutes = typed;
    return true;
}

DateTime StartForMinutes(const TaskTimes &times, qint32 typed, const DateTime &now, bool finished)
{
    return plusMinutes(finished && times.finish.isValid() ? times.finish : now, -typed);
}

void MoveStartForMinutes(TaskTimes &times, qint32 typed, const DateTime &now, bool finished)
{
    times.start = StartForMinutes(times, typed, now, finished);
    if (!finished || !times.finish.isValid())
        times.finish = now;
    times.minutes = typed;
}

qint32 ParseMaterial(const QString &text)
{
    std::int32_t value = 0;
    return ReadTypedQuantity(text, value) ? value : 0;
}

bool AskPassword(const QString &password, const QString &action)
{
    // With every password switched off (security level 0) nothing is asked.
    if (const CZqApp *app = ZqApp(); app && app->m_nSecurityLevel == 0)
        return true;
    if (password.isEmpty())
        return true;
    CDlgData entry(QString(), 20, QStringLiteral("Password"), QStringLiteral("Please type your password:"),
                   action.isEmpty() ? QString() : QStringLiteral("You need a password to ") + action + QLatin1Char('.'),
                   QApplication::activeWindow());
    if (entry.DoModal() != platform::IDOK)
        return false;
    if (entry.m_strValue == password)
        return true;
    platform::Prompt::messageBox(QStringLiteral("The password you've typed is not correct."), QString(),
                                 platform::MB_OK | platform::MB_ICONSTOP);
    return false;
}

} // namespace track
