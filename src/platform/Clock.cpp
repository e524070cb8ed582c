#include "platform/Clock.h"

namespace platform {
namespace {
QDateTime g_fixed;
}

QDateTime Clock::now()
{
    return g_fixed.isValid() ? g_fixed : QDateTime::currentDateTime();
}

QDate Clock::today()
{
    if (g_fixed.isValid())
        return g_fixed.date();
    // The local date needs the time zone, which the C library looks up again
    // on every call; the instant needs nothing. The day is kept with the
    // instants at which it begins and ends.
    thread_local QDate day;
    thread_local qint64 dayStart = 0;
    thread_local qint64 dayEnd = 0;
    const qint64 instant = QDateTime::currentMSecsSinceEpoch();
    if (!day.isValid() || instant < dayStart || instant >= dayEnd) {
        day = QDateTime::fromMSecsSinceEpoch(instant).date();
        dayStart = QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
        dayEnd = QDateTime(day.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    }
    return day;
}

void Clock::setFixed(const QDateTime &moment)
{
    g_fixed = moment;
}

void Clock::reset()
{
    g_fixed = QDateTime();
}

bool Clock::isFixed()
{
    return g_fixed.isValid();
}

} // namespace platform
