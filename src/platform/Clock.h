#pragma once

#include <QtCore/QDate>
#include <QtCore/QDateTime>

namespace platform {

// The one source of "today" and "now". Tests fix it; the program reads the
// system clock.
class Clock
{
public:
    static QDateTime now();
    // Today's local date. Asked for every row of a query that calls Date(),
    // so the day is worked out once and kept until the next local midnight.
    static QDate today();
    // Fixes the clock at the given moment until reset() (tests only).
    static void setFixed(const QDateTime &moment);
    static void reset();
    static bool isFixed();
};

} // namespace platform
