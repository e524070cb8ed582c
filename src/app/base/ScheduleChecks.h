#pragma once

#include "platform/DateTime.h"

#include <QtCore/QtGlobal>

// A service date is kept as a day number counted from the job's date received
// ("Date In"): day 1 is that day itself, 254 the last day that can be kept,
// 0 means not scheduled.

// Schedule commands of the schedule views: 31503 + n schedules n days from
// today; 31599 (and 0) takes the service off the schedule.
inline constexpr int kScheduleTodayCommand = 31503;
inline constexpr int kUnscheduleCommand = 31599;
inline constexpr quint8 kScheduleRefused = 255;

// Turns a schedule command into a day number and sets serviceDate to that
// day. A job without a date received cannot be scheduled. A day before the
// date received, after the due date or past day 254 is offered as the nearest
// day allowed, which the user may accept. Returns 0 when unscheduled, 255 when
// refused or declined.
quint8 CheckCanSchedule(int scheduleCode, const DateTime &dateIn, const DateTime &dueDate, DateTime &serviceDate);

// A date as the user's locale writes it; the time of day follows when it has one.
QString LocaleDateTimeText(const DateTime &value, bool dateOnly);

// The production-board column of a job item: the department (DepNo + 4) of
// the item's first live service, in the order of the departments and then of
// the categories; 17 when it has none (or its department is 0, or the
// statement cannot run).
inline constexpr quint8 kNoDepartmentColumn = 17;
quint8 GetItemDeptColumn(qint32 jobId, quint8 itemNo, quint8 subNo);
