#pragma once

#include <QtCore/QElapsedTimer>

#include <functional>

namespace platform {

class Database;

// While one lives, a statement that keeps the database's engine busy for a
// while (a big sort before its first row) hands control back now and then:
// the pace is called once early in the statement and then about every
// everyMs milliseconds, so that a progress window can repaint and its Stop
// be answered. A pace that answers false interrupts the statement, which
// then fails as interrupted. A statement run from inside the pace is not
// paced again.
class StatementPacer
{
public:
    using Pace = std::function<bool()>;

    StatementPacer(Database &db, Pace pace, int everyMs = 50);
    ~StatementPacer();
    StatementPacer(const StatementPacer &) = delete;
    StatementPacer &operator=(const StatementPacer &) = delete;

    // A pace answered false: the statement running then was interrupted.
    bool interrupted() const { return m_interrupted; }

private:
    static int onSteps(void *pacer);

    Database &m_db;
    Pace m_pace;
    int m_everyMs;
    QElapsedTimer m_sinceLast;
    bool m_inPace = false;
    bool m_interrupted = false;
};

} // namespace platform
