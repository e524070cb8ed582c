#include "platform/db/jet/JetDates.h"

#include <QtCore/QDate>
#include <QtCore/QList>

#include <algorithm>
#include <cmath>

namespace platform::jet {
namespace {

const QDate &epoch()
{
    static const QDate d(1899, 12, 30);
    return d;
}

bool readInt(QStringView text, qsizetype &pos, int maxDigits, int &out, int *digits = nullptr)
{
    int n = 0;
    int count = 0;
    while (pos < text.size() && count < maxDigits && text[pos].isDigit()) {
        n = n * 10 + text[pos].digitValue();
        ++pos;
        ++count;
    }
    if (digits)
        *digits = count;
    if (count == 0)
        return false;
    out = n;
    return true;
}

void skipBlanks(QStringView text, qsizetype &pos)
{
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
}

// Reads "h:nn[:ss] [AM|PM]" at pos; false when it is not a time.
bool readTime(QStringView text, qsizetype &pos, int &hour, int &minute, int &second)
{
    if (!readInt(text, pos, 2, hour))
        return false;
    if (pos >= text.size() || text[pos] != QLatin1Char(':'))
        return false;
    ++pos;
    int digits = 0;
    if (!readInt(text, pos, 2, minute, &digits) || digits != 2)
        return false;
    second = 0;
    if (pos < text.size() && text[pos] == QLatin1Char(':')) {
        ++pos;
        if (!readInt(text, pos, 2, second, &digits) || digits != 2)
            return false;
    }
    skipBlanks(text, pos);
    if (pos + 1 < text.size()) {
        const QString ampm = text.mid(pos, 2).toString().toUpper();
        if (ampm == QLatin1String("AM") || ampm == QLatin1String("PM")) {
            if (hour < 1 || hour > 12)
                return false;
            if (ampm == QLatin1String("PM") && hour < 12)
                hour += 12;
            if (ampm == QLatin1String("AM") && hour == 12)
                hour = 0;
            pos += 2;
        }
    }
    return hour <= 23 && minute <= 59 && second <= 59;
}

const char *const kMonths[] = {"january", "february", "march", "april", "may", "june", "july",
                               "august", "september", "october", "november", "december"};
const char *const kWeekdays[] = {"sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};

// 1-12 for a month's name or its first three letters (also "Sept"); 0 otherwise.
int monthOfWord(const QString &word)
{
    const QString w = word.toLower();
    for (int m = 0; m < 12; ++m) {
        const QString name = QString::fromLatin1(kMonths[m]);
        if (w == name || (w.size() >= 3 && name.startsWith(w)))
            return m + 1;
    }
    return 0;
}

bool isWeekdayWord(const QString &word)
{
    const QString w = word.toLower();
    for (const char *day : kWeekdays) {
        const QString name = QString::fromLatin1(day);
        if (w == name || (w.size() >= 3 && name.startsWith(w)))
            return true;
    }
    return false;
}

// Dates written with a month name: "February 12, 1969", "12 Feb 1969",
// "12-Feb-69", "Wednesday, March 16, 2011 2:05 PM".
std::optional<double> parseWordDate(QStringView text)
{
    int month = 0;
    QList<int> numbers;
    QList<int> numberDigits;
    qsizetype pos = 0;
    qsizetype timeAt = -1;
    while (pos < text.size()) {
        const QChar c = text[pos];
        if (c.isLetter()) {
            qsizetype j = pos;
            while (j < text.size() && text[j].isLetter())
                ++j;
            const QString word = text.mid(pos, j - pos).toString();
            if (const int m = monthOfWord(word); m != 0 && month == 0)
                month = m;
            else if (!(isWeekdayWord(word) && month == 0 && numbers.isEmpty()))
                return std::nullopt;
            pos = j;
            if (pos < text.size() && text[pos] == QLatin1Char('.'))
                ++pos;
            continue;
        }
        if (c.isDigit()) {
            qsizetype j = pos;
            while (j < text.size() && text[j].isDigit())
                ++j;
            if (j < text.size() && text[j] == QLatin1Char(':')) {
                timeAt = pos;
                break;
            }
            if (j - pos > 4)
                return std::nullopt;
            numbers.append(text.mid(pos, j - pos).toInt());
            numberDigits.append(int(j - pos));
            pos = j;
            continue;
        }
        if (c.isSpace() || c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('/')) {
            ++pos;
            continue;
        }
        return std::nullopt;
    }
    if (month == 0 || numbers.size() != 2)
        return std::nullopt;
    int day = numbers[0];
    int year = numbers[1];
    int yearDigits = numberDigits[1];
    if (numberDigits[0] > 2) {
        std::swap(day, year);
        yearDigits = numberDigits[0];
    }
    if (yearDigits <= 2)
        year += year < 30 ? 2000 : 1900;
    int hour = 0, minute = 0, second = 0;
    if (timeAt >= 0) {
        qsizetype p = timeAt;
        if (!readTime(text, p, hour, minute, second))
            return std::nullopt;
        skipBlanks(text, p);
        if (p != text.size())
            return std::nullopt;
    }
    return dateSerial(year, month, day, hour, minute, second);
}

// An interval argument compared without case and without copying it.
struct IntervalName
{
    QStringView text;
    bool operator==(QLatin1StringView name) const { return text.compare(name, Qt::CaseInsensitive) == 0; }
};

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int normalDay(int firstDay)
{
    return firstDay >= 1 && firstDay <= 7 ? firstDay : 1;
}

// The first day of week 1 of a year.
qint64 firstWeekStart(int year, int firstDay, int firstWeek)
{
    const qint64 jan1 = epoch().daysTo(QDate(year, 1, 1));
    const int wd = weekdayOf(jan1, firstDay);
    const qint64 weekStart = jan1 - (wd - 1);
    switch (firstWeek) {
    case 2: return 8 - wd >= 4 ? weekStart : weekStart + 7;
    case 3: return wd == 1 ? weekStart : weekStart + 7;
    default: return weekStart;
    }
}

} // namespace

qint64 dayNumber(double serial)
{
    const double secondsTotal = std::nearbyint(serialToDays(serial) * 86400.0);
    const double day = std::floor(secondsTotal / 86400.0);
    return std::fabs(day) <= 1e9 ? qint64(day) : (day < 0 ? qint64(-1e9) : qint64(1e9));
}

int weekdayOf(qint64 day, int firstDay)
{
    // Day 0 (12/30/1899) was a Saturday.
    const int sundayBased = int(((day % 7) + 7 + 6) % 7) + 1;
    return (sundayBased - normalDay(firstDay) + 7) % 7 + 1;
}

int weekOfYear(qint64 day, int firstDay, int firstWeek)
{
    const int year = epoch().addDays(day).year();
    qint64 start = firstWeekStart(year, firstDay, firstWeek);
    if (day < start)
        start = firstWeekStart(year - 1, firstDay, firstWeek);
    return int((day - start) / 7) + 1;
}

std::optional<int> datePart(QStringView rawInterval, double serial, int firstDay, int firstWeek)
{
    const IntervalName interval{rawInterval.trimmed()};
    const DateParts p = dateParts(serial);
    if (interval == QLatin1String("yyyy"))
        return p.year;
    if (interval == QLatin1String("q"))
        return (p.month - 1) / 3 + 1;
    if (interval == QLatin1String("m"))
        return p.month;
    if (interval == QLatin1String("y"))
        return p.dayOfYear;
    if (interval == QLatin1String("d"))
        return p.day;
    if (interval == QLatin1String("w"))
        return weekdayOf(dayNumber(serial), firstDay);
    if (interval == QLatin1String("ww"))
        return weekOfYear(dayNumber(serial), firstDay, firstWeek);
    if (interval == QLatin1String("h"))
        return p.hour;
    if (interval == QLatin1String("n"))
        return p.minute;
    if (interval == QLatin1String("s"))
        return p.second;
    return std::nullopt;
}

std::optional<qint64> dateDiff(QStringView rawInterval, double serial1, double serial2, int firstDay)
{
    const IntervalName interval{rawInterval.trimmed()};
    const qint64 day1 = dayNumber(serial1);
    const qint64 day2 = dayNumber(serial2);
    if (interval == QLatin1String("d") || interval == QLatin1String("y"))
        return day2 - day1;
    const DateParts a = dateParts(serial1);
    const DateParts b = dateParts(serial2);
    if (interval == QLatin1String("yyyy"))
        return qint64(b.year) - a.year;
    if (interval == QLatin1String("q"))
        return (qint64(b.year) * 4 + (b.month - 1) / 3) - (qint64(a.year) * 4 + (a.month - 1) / 3);
    if (interval == QLatin1String("m"))
        return (qint64(b.year) * 12 + b.month) - (qint64(a.year) * 12 + a.month);
    if (interval == QLatin1String("d") || interval == QLatin1String("y"))
        return day2 - day1;
    if (interval == QLatin1String("w"))
        return (day2 - day1) / 7;
    if (interval == QLatin1String("ww")) {
        // Day normalDay(firstDay) (1/1/1900 is day 2, a Monday) falls on firstDay.
        const qint64 anchor = normalDay(firstDay);
        return floorDiv(day2 - anchor, 7) - floorDiv(day1 - anchor, 7);
    }
    qint64 unit = 0;
    if (interval == QLatin1String("h"))
        unit = 3600;
    else if (interval == QLatin1String("n"))
        unit = 60;
    else if (interval == QLatin1String("s"))
        unit = 1;
    else
        return std::nullopt;
    const auto seconds = [](double serial) { return qint64(std::nearbyint(serialToDays(serial) * 86400.0)); };
    return floorDiv(seconds(serial2), unit) - floorDiv(seconds(serial1), unit);
}

std::optional<double> dateSerialCarry(double yearArg, double monthArg, double dayArg)
{
    const double limit = 1.0e7;
    if (!(std::fabs(yearArg) < limit && std::fabs(monthArg) < limit && std::fabs(dayArg) < limit))
        return std::nullopt;
    qint64 year = qint64(std::nearbyint(yearArg));
    const qint64 month = qint64(std::nearbyint(monthArg));
    const qint64 day = qint64(std::nearbyint(dayArg));
    if (year >= 0 && year <= 29)
        year += 2000;
    else if (year >= 30 && year <= 99)
        year += 1900;
    const qint64 months = year * 12 + (month - 1);
    const qint64 y = floorDiv(months, 12);
    const int m = int(months - y * 12) + 1;
    if (y < 1 || y > 20000)
        return std::nullopt;
    const QDate d = QDate(int(y), m, 1).addDays(day - 1);
    if (!d.isValid() || d.year() < 100 || d.year() > 9999)
        return std::nullopt;
    return double(epoch().daysTo(d));
}

std::optional<double> timeSerialCarry(double hour, double minute, double second)
{
    const double limit = 1.0e9;
    if (!(std::fabs(hour) < limit && std::fabs(minute) < limit && std::fabs(second) < limit))
        return std::nullopt;
    const double total = std::nearbyint(hour) * 3600.0 + std::nearbyint(minute) * 60.0 + std::nearbyint(second);
    const double days = total / 86400.0;
    if (std::fabs(days) > 2958465.0)
        return std::nullopt;
    return daysToSerial(days);
}

bool isDateSerial(double serial)
{
    return serial > kFirstDay - 1 && serial < kLastDay + 1;
}

double serialToDays(double serial)
{
    if (serial >= 0)
        return serial;
    const double whole = std::ceil(serial);
    return whole + (whole - serial);
}

double daysToSerial(double days)
{
    if (days >= 0)
        return days;
    const double whole = std::floor(days);
    const double frac = days - whole;
    return frac == 0 ? whole : whole - frac;
}

// The calendar date of a day count from 12/30/1899 (proleptic Gregorian),
// by the days-from-civil inverse (no table, no library calendar).
void civilFromDays(qint64 days, int &year, int &month, int &day)
{
    // Day 0 of the algorithm is 1970-01-01; 12/30/1899 is 25569 days before it.
    // The callers keep days within +-1e9, so every step fits 64 bits and the
    // year an int.
    const qint64 z = days - 25569 + 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

DateParts dateParts(double serial)
{
    DateParts p;
    const double days = serialToDays(serial);
    const double secondsTotal = std::nearbyint(days * 86400.0);
    double day = std::floor(secondsTotal / 86400.0);
    double secs = secondsTotal - day * 86400.0;
    // Serials far outside the dates (which the functions refuse before they
    // get here) are held within reach of the calendar arithmetic.
    if (!(std::fabs(day) <= 1e9)) {
        day = day < 0 ? -1e9 : 1e9;
        secs = 0;
    }
    if (secs >= 86400.0) {
        day += 1;
        secs -= 86400.0;
    }
    const qint64 d = qint64(day);
    civilFromDays(d, p.year, p.month, p.day);
    // Day 0 was a Saturday (7).
    p.dayOfWeek = int(((d % 7) + 7 + 6) % 7) + 1;
    static const int before[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    p.dayOfYear = before[p.month - 1] + p.day + (p.month > 2 && isLeap(p.year) ? 1 : 0);
    const int s = int(secs);
    p.hour = s / 3600;
    p.minute = s / 60 % 60;
    p.second = s % 60;
    return p;
}

std::optional<double> dateSerial(int year, int month, int day, int hour, int minute, int second)
{
    const QDate d(year, month, day);
    if (!d.isValid() || year < 100 || year > 9999)
        return std::nullopt;
    const double days = double(epoch().daysTo(d)) + (hour * 3600 + minute * 60 + second) / 86400.0;
    return daysToSerial(days);
}

std::optional<double> parseDateText(QStringView raw)
{
    const QStringView text = raw.trimmed();
    for (const QChar c : text) {
        if (c.isLetter() && c.toUpper() != QLatin1Char('A') && c.toUpper() != QLatin1Char('P')
            && c.toUpper() != QLatin1Char('M'))
            return parseWordDate(text);
    }
    qsizetype pos = 0;
    int a = 0, b = 0, c = 0;
    int digitsA = 0, digitsC = 0;
    int year = 1899, month = 12, day = 30;
    bool haveDate = false;
    // A time alone: "14:05", "2:05 PM".
    {
        qsizetype p = 0;
        int h = 0, n = 0, s = 0;
        if (readTime(text, p, h, n, s)) {
            skipBlanks(text, p);
            if (p == text.size())
                return dateSerial(1899, 12, 30, h, n, s);
        }
    }
    if (!readInt(text, pos, 4, a, &digitsA))
        return std::nullopt;
    if (pos >= text.size())
        return std::nullopt;
    const QChar sep = text[pos];
    if (sep != QLatin1Char('/') && sep != QLatin1Char('-'))
        return std::nullopt;
    ++pos;
    if (!readInt(text, pos, 2, b))
        return std::nullopt;
    if (pos >= text.size() || text[pos] != sep)
        return std::nullopt;
    ++pos;
    if (!readInt(text, pos, 4, c, &digitsC))
        return std::nullopt;
    if (digitsA == 4) {
        // yyyy-mm-dd (or yyyy/mm/dd)
        if (digitsC > 2)
            return std::nullopt;
        year = a;
        month = b;
        day = c;
    } else {
        if (digitsA > 2 || digitsC == 1)
            return std::nullopt;
        month = a;
        day = b;
        year = c;
        if (digitsC == 2)
            year += year < 30 ? 2000 : 1900;
    }
    haveDate = true;
    int hour = 0, minute = 0, second = 0;
    skipBlanks(text, pos);
    if (pos < text.size()) {
        if (!readTime(text, pos, hour, minute, second))
            return std::nullopt;
        skipBlanks(text, pos);
        if (pos != text.size())
            return std::nullopt;
    }
    if (!haveDate)
        return std::nullopt;
    return dateSerial(year, month, day, hour, minute, second);
}

int weekOfYear(const DateParts &p)
{
    // Weekday of 1 January (1 = Sunday) tells how many days of week 1 came before it.
    const int jan1 = QDate(p.year, 1, 1).dayOfWeek() % 7 + 1;
    return (p.dayOfYear - 1 + jan1 - 1) / 7 + 1;
}

std::optional<double> dateAdd(const QString &rawInterval, double number, double serial)
{
    const QString interval = rawInterval.trimmed().toLower();
    const double n = std::nearbyint(number);
    // Beyond these no count of any interval lands within the dates, and the
    // counts below stay far inside 64 bits.
    if (!isDateSerial(serial) || !(std::fabs(n) < 1e12))
        return std::nullopt;
    const double days = serialToDays(serial);
    double result = 0;
    if (interval == QLatin1String("d") || interval == QLatin1String("y") || interval == QLatin1String("w")) {
        result = days + n;
    } else if (interval == QLatin1String("ww")) {
        result = days + 7 * n;
    } else if (interval == QLatin1String("h")) {
        result = days + n / 24.0;
    } else if (interval == QLatin1String("n")) {
        result = days + n / 1440.0;
    } else if (interval == QLatin1String("s")) {
        result = days + n / 86400.0;
    } else {
        int months = 0;
        if (interval == QLatin1String("m"))
            months = 1;
        else if (interval == QLatin1String("q"))
            months = 3;
        else if (interval == QLatin1String("yyyy"))
            months = 12;
        else
            return std::nullopt;
        const double whole = std::floor(days);
        const double time = days - whole;
        const QDate d = epoch().addDays(qint64(whole));
        const qint64 total = qint64(d.year()) * 12 + (d.month() - 1) + qint64(n) * months;
        if (total < 100 * 12 || total >= 10000 * 12)
            return std::nullopt;
        const int year = int(total / 12);
        const int month = int(total % 12) + 1;
        const int day = std::min(d.day(), QDate(year, month, 1).daysInMonth());
        result = double(epoch().daysTo(QDate(year, month, day))) + time;
    }
    if (!(result >= kFirstDay && result < kLastDay + 1))
        return std::nullopt;
    return daysToSerial(result);
}

double dateValue(double serial)
{
    return daysToSerial(std::floor(serialToDays(serial) + 0.5 / 86400.0));
}

QString dateText(double serial)
{
    const DateParts p = dateParts(serial);
    const bool zeroDay = p.year == 1899 && p.month == 12 && p.day == 30;
    const bool zeroTime = p.hour == 0 && p.minute == 0 && p.second == 0;
    QString date = QStringLiteral("%1/%2/%3").arg(p.month).arg(p.day).arg(p.year, 4, 10, QLatin1Char('0'));
    const int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    QString time = QStringLiteral("%1:%2:%3 %4")
                       .arg(h12)
                       .arg(p.minute, 2, 10, QLatin1Char('0'))
                       .arg(p.second, 2, 10, QLatin1Char('0'))
                       .arg(p.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    if (zeroDay)
        return time;
    if (zeroTime)
        return date;
    return date + QLatin1Char(' ') + time;
}

} // namespace platform::jet
