#pragma once

#include <QtCore/QDate>
#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Automatic scheduling of one order: every service still to do gets a
// production day between the order's date in and its due date, in the order
// of the grid's rows. A change of department moves to the next day; with a
// proof date, proofing, paper and printing follow the proof day; weekend days
// that are not workdays move to the next workday unless that passes the due
// date. Days are counted from the date in (day 1 is the date in itself) and
// kept in one byte, so no service is ever given a day past 254.
//
// The rule works on plain values: the grid's rows, the order's dates, today
// and the department of each category. Writing the days is done by
// WriteScheduledDays, in one unit of work.

struct AutoScheduleRow
{
    qint32 key = 0;    // Items.ItemID; 0 for a row without a record (a total row)
    qint32 serNo = 0;  // 0 on the item's own row
    int status = 0;    // Items.Status: for a service 0 done, n to do on day n
    int days2 = 0;     // Items.Days2: the day of the service's date
    qint32 catNo = 0;  // the service's category
};

struct AutoScheduleInput
{
    QDate dateIn;
    QDate dateProof;
    QDate dateDue;
    QDate today;
    bool saturdayWorkday = false;
    bool sundayWorkday = false;
    QHash<qint32, qint32> departments; // CatNo -> DepNo; a missing category has department 0
    QList<AutoScheduleRow> rows;
};

struct AutoScheduleChange
{
    int row = 0;      // index into the input's rows
    qint32 key = 0;
    quint8 day = 0;   // the new day number, 1..254
};

struct AutoSchedulePlan
{
    // Why the order cannot be scheduled ("In", "Due", "Due = DateIn or later",
    // "Due = Today or later"); empty when it can.
    QString missingDate;
    // The rows whose day changes, in row order.
    QList<AutoScheduleChange> changes;
    // The day every to-do service gets, changed or not (row index -> day).
    QHash<int, quint8> days;
};

// The last day number a service can be given.
inline constexpr int kLastScheduleDay = 254;

// Days from the date to the next workday: 0 on a workday, 1 for a closed
// Sunday, 2 for a closed Saturday (1 when Sunday is a workday).
int DaysToNextWorkday(const QDate &date, bool saturdayWorkday, bool sundayWorkday);

AutoSchedulePlan PlanAutoSchedule(const AutoScheduleInput &input);

// The question asked when the order's dates do not allow scheduling.
QString AutoScheduleDateQuestion(const QString &missingDate);

// "Scheduled %d Service(s)."
QString AutoScheduleReport(int count);

struct ScheduleWriteResult
{
    int written = 0;       // rows the status setter saved
    bool failed = false;   // a database error: every row was rolled back
};

// Writes the planned days through the item status setter, all in one unit
// of work. A row the setter refuses (gone, or its rules say no) is skipped
// and not counted; a database error undoes every row of the run.
ScheduleWriteResult WriteScheduledDays(const QList<AutoScheduleChange> &changes);
