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

// The calendar parts of a serial, the time rounded to the second.
DateParts dateParts(double serial);
// The serial of a date and time; nothing when the date does not exist.
std::optional<double> dateSerial(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// A continuous day count (negative serials unfolded) and back.
double serialToDays(double serial);
double daysToSerial(double days);

// Reads a date as written in SQL between '#' or typed into a date field:
// m/d/yyyy, m/d/yy (00-29 is 20xx, 30-99 19xx), yyyy-mm-dd, each with an
// optional "h:nn[:ss] [AM|PM]", or a time alone. Month first always.
std::optional<double> parseDateText(QStringView text);

// The week of the year: weeks start on Sunday and week 1 holds 1 January.
int weekOfYear(const DateParts &parts);

// DateAdd: intervals yyyy, q, m, y, d, w, ww, h, n, s; months clamp to the
// month's end. Nothing for an unknown interval or a date out of range.
std::optional<double> dateAdd(const QString &interval, double number, double serial);

// The day of a serial with the time dropped.
double dateValue(double serial);

// The date text of a serial: m/d/yyyy, h:nn:ss AM/PM, or both.
QString dateText(double serial);

} // namespace platform::jet
