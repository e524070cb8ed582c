#pragma once

#include <QtCore/QDate>
#include <QtCore/QDateTime>
#include <QtCore/QString>

// The program's date-time value: days since 12/30/1899 as a double, the
// fraction the time of day. Before that day the whole part counts back while
// the fraction still counts forward into the day (-1.25 is 12/29/1899 6:00).
class DateTime
{
public:
    enum class Status : unsigned char { Valid, Invalid, Null };

    DateTime() = default; // 12/30/1899 00:00, valid
    explicit DateTime(double oleDate) : m_value(oleDate) {}
    DateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

    static DateTime null() { DateTime d; d.m_status = Status::Null; return d; }
    static DateTime invalid() { DateTime d; d.m_status = Status::Invalid; return d; }
    static DateTime fromDate(const QDate &date);
    static DateTime fromDateTime(const QDateTime &dateTime);
    // Reads "m/d/yyyy" with an optional "h:mm[:ss] [AM|PM]" part; invalid when it is no date.
    static DateTime fromText(const QString &text);

    bool isValid() const { return m_status == Status::Valid; }
    bool isNull() const { return m_status == Status::Null; }
    Status status() const { return m_status; }

    double toOle() const { return m_value; }
    QDate date() const;
    QTime time() const;
    QDateTime toDateTime() const;
    // Whole days since 12/30/1899 (the date part alone).
    int dayNumber() const;
    DateTime datePart() const;

    int year() const { return date().year(); }
    int month() const { return date().month(); }
    int day() const { return date().day(); }
    int hour() const { return time().hour(); }
    int minute() const { return time().minute(); }
    int second() const { return time().second(); }
    // 1 = Sunday ... 7 = Saturday.
    int dayOfWeek() const { return date().dayOfWeek() % 7 + 1; }

    // strftime-style text: %m %d %Y %y %H %I %M %S %p %A %a %B %b %j %%.
    QString format(const QString &pattern) const;
    // "%m/%d/%Y", the program's date text.
    QString dateText() const { return format(QStringLiteral("%m/%d/%Y")); }

    DateTime addDays(double days) const { DateTime d(fromSerial(serial() + days)); d.m_status = m_status; return d; }

    friend bool operator==(const DateTime &a, const DateTime &b) { return a.m_status == b.m_status && a.m_value == b.m_value; }
    friend bool operator<(const DateTime &a, const DateTime &b) { return a.serial() < b.serial(); }
    friend bool operator>(const DateTime &a, const DateTime &b) { return b < a; }
    friend bool operator<=(const DateTime &a, const DateTime &b) { return !(b < a); }
    friend bool operator>=(const DateTime &a, const DateTime &b) { return !(a < b); }

    // A continuous count of days (negative OLE values unfolded), for arithmetic.
    double serial() const;
    static double fromSerial(double serial);

private:
    double m_value = 0.0;
    Status m_status = Status::Valid;
};
