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
    static QDate today() { return now().date(); }
    // Fixes the clock at the given moment until reset() (tests only).
    static void setFixed(const QDateTime &moment);
    static void reset();
    static bool isFixed();
};

} // namespace platform
