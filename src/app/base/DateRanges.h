#pragma once

#include "platform/DateTime.h"

#include <QtCore/QString>

// Periods of time named by one small number. A list filter or a report asks
// for "this week" or "last month" by a date-range code, or by the command id
// of an entry of the "Date" menu; these functions turn either into a pair of
// inclusive dates, a caption and a Jet SQL condition. Weeks run Sunday to
// Saturday. Every date made here is a date without time of day.
//
// Codes 0..5 are comparison operators against one day (only for
// BuildDateCondition): 0 "=", 1 "<>", 2 "<", 3 ">", 4 "<=", 5 ">=".
namespace DateRange {
enum Code : int {
    Today = 0,
    ThisWeek = 6,
    ThisMonth = 7,
    ThisYear = 8,
    NextWeek = 9,
    NextMonth = 10,
    NextYear = 11,
    Next7Days = 12,
    Next30Days = 13,
    Next365Days = 14,
    LastWeek = 15,
    LastMonth = 16,
    LastYear = 17,
    Last7Days = 18,
    Last30Days = 19,
    Last365Days = 20,
    WeekBeforeLast = 21,
    MonthBeforeLast = 22,
    YearBeforeLast = 23,
};

// Command ids of the "Date" menu entries.
enum Command : int {
    CmdToday = 20031,
    CmdThisWeek = 20032,
    CmdThisMonth = 20033,
    CmdThisYear = 20034,
    CmdLastWeek = 20035,
    CmdLastMonth = 20036,
    CmdLastYear = 20037,
    CmdLast30Days = 20038,
    CmdLast12Months = 20039,
    CmdMonthToDate = 20040,
    CmdYearToDate = 20041,
    CmdJanuary = 20042,
    CmdDecember = 20053,
    CmdBetween = 20054,
    CmdSetAsDefault = 20055,
};
} // namespace DateRange

// Today's local date at midnight, plus the given number of days. The
// program's only source of "today".
DateTime GetToday(int days = 0);

// Today plus the days as "%m/%d/%Y", or as a Jet date literal "#%m/%d/%Y#"
// when sql is set.
QString GetTodayText(int days, bool sql);
void GetTodayTextTo(QString &out, int days, bool sql);

// Sunday to Saturday of the week n weeks from this one.
void GetWeekRange(DateTime &from, DateTime &to, int n);
// The calendar month n months from this one; n of 101..112 names month
// n - 100 of this year.
void GetMonthRange(DateTime &from, DateTime &to, int n);
// 1 January to 31 December of this year + n.
void GetYearRange(DateTime &from, DateTime &to, int n);
// Today and today + n, the earlier first.
void GetDaysRange(DateTime &from, DateTime &to, int n);

// The range of a date-range code or a "Date" menu command id. Codes and ids
// without a range (the operators 1..5, "Between...", unknown values) leave
// both dates as they are.
void GetDateRangeForCode(DateTime &from, DateTime &to, int code);

// The two dates of a code as texts, starting from the zero date (12/30/1899)
// for codes without a range.
void GetDateRangeTexts(QString &fromText, QString &toText, int code, bool sql);

// The range of a code, its caption for the screen ("This Week (03/13/2011 -
// 03/19/2011)", "Custom Date Range (...)" for "Between...") and a SQL tail
// " between #from# and #to# ".
void DescribeDateRange(DateTime &from, DateTime &to, int code, QString &sqlText, QString &caption);

// The condition " between #from# and #to#" (no trailing blank) of the period
// that the comparison reports set beside the chosen one: the same dates a
// whole number of years back (one year, or as many as the range spans; 29
// February becomes the 28th in a common year).
QString PriorPeriodCondition(const DateTime &from, const DateTime &to);

// A Jet condition on a date field: codes 0..5 compare the field with today
// plus the days; codes 6..35 and negative codes put it between the two dates
// of the range; codes of 36 and above leave the condition untouched.
void BuildDateCondition(QString &condition, const QString &field, int code, int days);

// When both dates are valid: today, moved forward by a - b when a is later
// than b. Otherwise the result is left as it was.
void AddDateDifferenceToToday(DateTime &result, const DateTime &a, const DateTime &b);

// The text of a "Date" menu entry by command id, with its "&" mnemonic, or
// an empty text for any other id.
QString GetDateMenuItemText(int commandId);
