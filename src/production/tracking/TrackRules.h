#pragma once

#include "platform/DateTime.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

// The time tracker's rules that need no window: the statements of its lists,
// the filters of the live lists, the texts of its cells and the options text.

namespace track {

// List codes of the time-tracking view's lists.
enum ListCode : int {
    kCloseTheDay = 9100,
    kReviewTimeSheet = 9101,
    kReviewOfficeTasks = 9102,
    kReviewJobTasks = 9103,
    kUpdateJobServices = 9104,
    kCloseTasks = 9105,
    kTimeSheetsByOperator = 9201,
    kTimeSheetsByDate = 9202,
    kTrackedByOperator = 9301,
    kTrackedByJob = 9302,
    kTrackedByCategory = 9303,
    kTasksByOperator = 9401,
    kTasksByDate = 9402,
    kTasksByJob = 9403,
    kTasksByCategory = 9404,
    kTasksByOfficeTask = 9405,
    kTasksMyDays = 9406,
};

// Track-mode list choices.
enum TrackChoice : int {
    kAllTasks = 29801,
    kTasksInProgress = 29802,
    kTasksPaused = 29803,
    kTasksFinished = 29804,
    kMyTasksOnly = 29805,
    kWhoIsIn = 29806,
};

// The statement of a list code (9201-9202, 9301-9303, 9401-9406) with
// "WHERE " + filter put before its GROUP BY / ORDER BY part when the filter
// is not empty; empty for any other code.
QString BuildListSql(int code, const QString &filter);

// The filter of a Track-mode list choice; "My Tasks Only" is the operator's.
QString TrackFilter(int choice, int empNo);

// The kind condition a report code adds to its filter ("" when none):
// job tasks for 9301-9304 and 9403-9404, office tasks for 9405, workdays for 9406.
QString KindCondition(int code);

// Column layout of the task lists: the grouping column comes first except in
// "My Days" (9406), which has none.
struct TaskColumns
{
    int group = 0; // -1 when the list has no grouping column
    int task = 1;
    int started = 2;
    int status = 3;
    int when = 4;
    int worked = 5;
    int material = 6;
    int note = 7;
    int operatorName = 8;
    int jobCustomer = 9;
    int empNo = 10;
    int itemId = 11;
    int key = 12;
};
TaskColumns TaskColumnsOf(int code);

// "1 Task", "3 Tasks".
QString TaskCountText(int count);

// The "vs" cell of an actual (or charged) value against the tracked one:
// empty when either is 0, "=" when they are equal, else the difference as a
// percent of the tracked value ("%0.1f%%", "999+%" above 900 %, "-999+%"
// below -900 %).
QString VersusText(long long value, long long tracked);

// The time-tracker options text from the fifteen entries: each followed by
// ",", entries 0-2 as given (trimmed), the others as numbers.
QString JoinTrackOptions(const QStringList &entries);

// The password check of the time tracker: true at once when passwords are
// switched off (security level 0) or the password is empty; otherwise the
// password entry ("You need a password to " + action + ".") and, for a wrong
// password, "The password you've typed is not correct.".
bool AskPassword(const QString &password, const QString &action);

// The times of one record as the task dialog corrects them.
struct TaskTimes
{
    DateTime start;
    DateTime finish; // null while not set
    qint32 minutes = 0;
};

// A new Start (finishField false) or Finish: a Start later than now becomes
// now; a Finish not set or later than now becomes now, one earlier than the
// Start becomes the Start; the minutes are then capped at the whole minutes
// from Start to Finish. An invalid moment changes nothing.
void ApplyTimeChange(TaskTimes &times, bool finishField, const DateTime &value, const DateTime &now);

// The whole minutes from the Start to now: the most worked time the record
// holds without moving its Start.
qint32 MinutesSinceStart(const TaskTimes &times, const DateTime &now);
// Typed worked minutes: a negative value, the same minutes, or more minutes
// than there are since the Start change nothing (false); the last are never
// cut to fit, the dialog asks first (MoveStartForMinutes). Otherwise a Finish
// not set or later than now becomes now, and minutes beyond Start to Finish
// move the Finish to Start + minutes.
bool ApplyMinutesChange(TaskTimes &times, qint32 typed, const DateTime &now);
// Worked minutes more than the time since the Start, taken as typed: the
// Start moves back to the Finish less the minutes. A task `finished` keeps
// its Finish; of any other the Finish becomes now.
void MoveStartForMinutes(TaskTimes &times, qint32 typed, const DateTime &now, bool finished = false);
// The Start MoveStartForMinutes gives, for the question that comes first.
DateTime StartForMinutes(const TaskTimes &times, qint32 typed, const DateTime &now, bool finished);

// The material typed on a task, read as every count is ("1,250" and "1e3"
// are counts, up to 1,000,000,000); a text that is no count is 0 (the task
// window refuses it before it is saved).
qint32 ParseMaterial(const QString &text);

} // namespace track
