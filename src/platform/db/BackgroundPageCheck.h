#pragma once

#include <QtCore/QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

struct sqlite3;

namespace platform {

class Database;

// The look at every page of a database file (CheckPages), made whole on a
// thread of its own through a read-only connection of its own, while the
// program goes on with the file. It never holds a write up: the program's
// own connection ends it before it writes or closes (it is listed among the
// connection's unfinished reads), and when any other connection, of this
// workstation or another, takes the file's reserved lock to write, it gives
// its read lock up within a few milliseconds. An attempt that gave way can be
// made again; it begins again from the first page.
class BackgroundPageCheck
{
public:
    enum class Outcome { NotStarted, Running, Sound, Damaged, GaveWay };

    // For the file db has open now. ended is called on the check's thread as
    // each attempt ends (not when the check itself is destroyed).
    BackgroundPageCheck(Database &db, std::function<void()> ended);
    ~BackgroundPageCheck();
    BackgroundPageCheck(const BackgroundPageCheck &) = delete;
    BackgroundPageCheck &operator=(const BackgroundPageCheck &) = delete;

    // Whether db still has the file open as it had when the check was made:
    // not closed, reopened or opened on another file since.
    bool follows(const Database &db) const;

    // Begins an attempt on the file (nothing while one runs); the check's
    // database must still be open (follows).
    void start();
    // Ends a running attempt (it gave way) and waits for its thread.
    void stop();

    Outcome outcome() const { return m_outcome.load(); }
    // The engine's first complaint, once the outcome is Damaged.
    QString finding() const;
    // From the moment an attempt holds the file's read lock until it ends.
    bool reading() const { return m_reading.load(); }

private:
    void run();
    void guard(sqlite3 *connection);

    sqlite3 *m_mainHandle = nullptr;
    quint64 m_serial = 0;
    QString m_path;
    std::function<void()> m_ended;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;   // under m_mutex
    bool m_checkEnded = false; // under m_mutex
    bool m_quiet = false;      // under m_mutex: no ended call
    QString m_finding;         // under m_mutex

    std::atomic<Outcome> m_outcome{Outcome::NotStarted};
    std::atomic<bool> m_reading{false};
    std::atomic<bool> m_giveWay{false};
};

} // namespace platform
