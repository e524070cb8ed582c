#include "platform/db/jet/JetDates.h"

#include <QtCore/QDate>

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

} // namespace

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

DateParts dateParts(double serial)
{
    DateParts p;
    const double days = serialToDays(serial);
    const double secondsTotal = std::nearbyint(days * 86400.0);
    double day = std::floor(secondsTotal / 86400.0);
    double secs = secondsTotal - day * 86400.0;
    if (secs >= 86400.0) {
        day += 1;
        secs -= 86400.0;
    }
    const QDate d = epoch().addDays(qint64(day));
    p.year = d.year();
    p.month = d.month();
    p.day = d.day();
    p.dayOfWeek = d.dayOfWeek() % 7 + 1;
    p.dayOfYear = d.dayOfYear();
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
        if (digitsA > 2 || digitsC == 3 || digitsC == 1)
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
        const int year = int(total / 12);
        const int month = int(total % 12) + 1;
        if (year < 100 || year > 9999)
            return std::nullopt;
        const int day = std::min(d.day(), QDate(year, month, 1).daysInMonth());
        result = double(epoch().daysTo(QDate(year, month, day))) + time;
    }
    const QDate check = epoch().addDays(qint64(std::floor(result)));
    if (check.year() < 100 || check.year() > 9999)
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
