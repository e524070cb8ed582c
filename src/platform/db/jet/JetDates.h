#pragma once

#include <QtCore/QString>
#include <QtCore/QStringView>

#include <optional>

namespace platform::jet {

// Date serials as the engine keeps them: days since 12/30/1899, the fraction
// the time of day (before that day the whole part counts back while the
// fraction counts forward).

struct DateParts
{
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    int dayOfWeek = 7;   // 1 = Sunday ... 7 = Saturday
    int dayOfYear = 364;
};

// The first and the last day of the dates, 1/1/100 and 12/31/9999.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958465.0;
// True when the serial lies within those days (the time of the last included).
bool isDateSerial(double serial);

// The calendar parts of a serial, the time rounded to the second.
DateParts dateParts(double serial);
// The serial of a date and time; nothing when the date does not exist.
std::optional<double> dateSerial(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// A continuous day count (negative serials unfolded) and back.
double serialToDays(double serial);
double daysToSerial(double days);

// Reads a date as written in SQL between '#' or typed into a date field:
// m/d/yyyy, m/d/yy (00-29 is 20xx, 30-99 19xx), yyyy-mm-dd, each with an
// optional "h:nn[:ss] [AM|PM]", or a time alone. Month first always. Dates
// with English month names read too: "February 12, 1969", "Feb 12 1969",
// "12 February 1969", "12-Feb-69", with an optional leading weekday name.
std::optional<double> parseDateText(QStringView text);

// The week of the year: weeks start on Sunday and week 1 holds 1 January.
int weekOfYear(const DateParts &parts);

// DateAdd: intervals yyyy, q, m, y, d, w, ww, h, n, s; months clamp to the
// month's end. Nothing for an unknown interval or a date out of range.
std::optional<double> dateAdd(const QString &interval, double number, double serial);

// The day number of a serial (days since 12/30/1899, negative before it),
// the time rounded to the second and dropped.
qint64 dayNumber(double serial);

// The weekday of a day number counted from firstDay (1 = Sunday ... 7 =
// Saturday; 0 means the program's own, Sunday).
int weekdayOf(qint64 day, int firstDay);

// The week of the year of a day number: weeks start on firstDay (0 Sunday);
// firstWeek 1 (or 0) makes the week holding 1 January week 1, 2 the first
// week with at least four days of the year, 3 the first full week. Days
// before week 1 belong to the last week of the year before.
int weekOfYear(qint64 day, int firstDay, int firstWeek);

// DatePart(interval, d, firstDay, firstWeek): yyyy q m y d w ww h n s.
// Nothing for an unknown interval.
std::optional<int> datePart(QStringView interval, double serial, int firstDay, int firstWeek);

// DateDiff(interval, d1, d2, firstDay): the boundaries of the interval
// crossed from d1 to d2 ('w' whole weeks of seven days, 'ww' the firstDay
// weekdays after d1 up to and including d2). Nothing for an unknown interval.
std::optional<qint64> dateDiff(QStringView interval, double serial1, double serial2, int firstDay);

// DateSerial with out-of-range months and days carried into the next unit
// (day 0 is the last day of the month before); years 0-29 are 20xx and
// 30-99 19xx. Nothing when the result lies outside 1/1/100 - 12/31/9999.
std::optional<double> dateSerialCarry(double year, double month, double day);
// TimeSerial with carrying; the result may leave the first day.
std::optional<double> timeSerialCarry(double hour, double minute, double second);

// The day of a serial with the time dropped.
double dateValue(double serial);

// The date text of a serial: m/d/yyyy, h:nn:ss AM/PM, or both.
QString dateText(double serial);

} // namespace platform::jet
