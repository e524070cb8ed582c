#include "platform/DateTime.h"

#include <QtCore/QLocale>
#include <QtCore/QRegularExpression>
#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kHalfSecond = 0.5 / 86400.0;
}

DateTime::DateTime(int year, int month, int day, int hour, int minute, int second)
{
    const QDate d(year, month, day);
    if (!d.isValid() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        m_status = Status::Invalid;
        return;
    }
    m_value = fromSerial(double(kEpoch.daysTo(d)) + (hour * 3600 + minute * 60 + second) / 86400.0);
}

DateTime DateTime::fromDate(const QDate &date)
{
    if (date.isNull())
        return null();
    if (!date.isValid())
        return invalid();
    return DateTime(double(kEpoch.daysTo(date)));
}

DateTime DateTime::fromDateTime(const QDateTime &dateTime)
{
    if (dateTime.isNull())
        return null();
    if (!dateTime.isValid())
        return invalid();
    const QTime t = dateTime.time();
    const double frac = (t.hour() * 3600 + t.minute() * 60 + t.second()) / 86400.0 + t.msec() / 86400000.0;
    return DateTime(fromSerial(double(kEpoch.daysTo(dateTime.date())) + frac));
}

DateTime DateTime::fromText(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d{1,2})[/-](\d{1,2})[/-](\d{2,4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return invalid();
    int year = m.captured(3).toInt();
    if (m.captured(3).size() <= 2)
        year += year < 30 ? 2000 : 1900;
    int hour = m.captured(4).toInt();
    const QString ampm = m.captured(7).toUpper();
    if (ampm == QLatin1String("PM") && hour < 12)
        hour += 12;
    if (ampm == QLatin1String("AM") && hour == 12)
        hour = 0;
    return DateTime(year, m.captured(1).toInt(), m.captured(2).toInt(), hour, m.captured(5).toInt(),
                    m.captured(6).toInt());
}

double DateTime::serial() const
{
    if (m_value >= 0)
        return m_value;
    const double whole = std::ceil(m_value);
    return whole + (whole - m_value);
}

double DateTime::fromSerial(double serial)
{
    if (serial >= 0)
        return serial;
    const double whole = std::floor(serial);
    const double frac = serial - whole;
    if (frac == 0)
        return whole;
    // Days before the epoch: the whole part counts back, the fraction forward.
    return whole - frac;
}

int DateTime::dayNumber() const
{
    return int(std::floor(serial() + kHalfSecond));
}

DateTime DateTime::datePart() const
{
    DateTime d{double(dayNumber())};
    d.m_status = m_status;
    return d;
}

QDate DateTime::date() const
{
    if (!isValid())
        return QDate();
    return kEpoch.addDays(dayNumber());
}

QTime DateTime::time() const
{
    if (!isValid())
        return QTime();
    const double s = serial();
    double frac = s - std::floor(s + kHalfSecond);
    if (frac < 0)
        frac = 0;
    int secs = int(std::lround(frac * 86400.0));
    if (secs >= 86400)
        secs = 86399;
    return QTime(secs / 3600, secs / 60 % 60, secs % 60);
}

QDateTime DateTime::toDateTime() const
{
    if (!isValid())
        return QDateTime();
    return QDateTime(date(), time());
}

QString DateTime::format(const QString &pattern) const
{
    if (!isValid())
        return QString();
    const QDate d = date();
    const QTime t = time();
    static const QLocale c(QLocale::C);
    QString out;
    out.reserve(pattern.size() + 8);
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar ch = pattern[i];
        if (ch != QLatin1Char('%') || i + 1 >= pattern.size()) {
            out += ch;
            continue;
        }
        QChar f = pattern[++i];
        bool noPad = false;
        if (f == QLatin1Char('#') && i + 1 < pattern.size()) { // Windows' "%#d" drops leading zeros
            noPad = true;
            f = pattern[++i];
        }
        auto num = [&](int v, int width) {
            return noPad ? QString::number(v) : QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0'));
        };
        switch (f.unicode()) {
        case 'm': out += num(d.month(), 2); break;
        case 'd': out += num(d.day(), 2); break;
        case 'Y': out += QString::number(d.year()); break;
        case 'y': out += num(d.year() % 100, 2); break;
        case 'H': out += num(t.hour(), 2); break;
        case 'I': out += num(t.hour() % 12 == 0 ? 12 : t.hour() % 12, 2); break;
        case 'M': out += num(t.minute(), 2); break;
        case 'S': out += num(t.second(), 2); break;
        case 'p': out += t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"); break;
        case 'A': out += c.dayName(d.dayOfWeek(), QLocale::LongFormat); break;
        case 'a': out += c.dayName(d.dayOfWeek(), QLocale::ShortFormat); break;
        case 'B': out += c.monthName(d.month(), QLocale::LongFormat); break;
        case 'b': out += c.monthName(d.month(), QLocale::ShortFormat); break;
        case 'j': out += num(d.dayOfYear(), 3); break;
        case '%': out += QLatin1Char('%'); break;
        default: out += QLatin1Char('%'); out += f; break;
        }
    }
    return out;
}
