#include "platform/db/BackgroundPageCheck.h"

#include "platform/db/DatabaseImpl.h"
#include "platform/db/PageCheck.h"
#include "platform/db/UnfinishedReads.h"

#include <QtCore/QFile>

#include <chrono>

#include <sqlite3.h>

namespace platform {

namespace {

// How often a running attempt looks whether another connection wants to
// write: the writer's wait for the read lock is about this long.
constexpr std::chrono::milliseconds kWatchInterval{5};

bool isDamage(int rc)
{
    return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB;
}

} // namespace

BackgroundPageCheck::BackgroundPageCheck(Database &db, std::function<void()> ended)
    : m_mainHandle(db.handle())
    , m_serial(db.isOpen() ? db.impl()->openSerial : 0)
    , m_path(db.name())
    , m_ended(std::move(ended))
{
}

BackgroundPageCheck::~BackgroundPageCheck()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quiet = true;
    }
    stop();
}

bool BackgroundPageCheck::follows(const Database &db) const
{
    return m_serial != 0 && db.isOpen() && db.impl()->openSerial == m_serial;
}

QString BackgroundPageCheck::finding() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finding;
}

void BackgroundPageCheck::start()
{
    if (m_outcome.load() == Outcome::Running || !m_mainHandle)
        return;
    if (m_thread.joinable())
        m_thread.join(); // the last attempt's thread, ended by itself
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = false;
        m_checkEnded = false;
        m_finding.clear();
    }
    m_giveWay = false;
    m_outcome = Outcome::Running;
    // Before this workstation writes or closes the file, the attempt ends.
    UnfinishedReads::add(m_mainHandle, this, [this] { stop(); });
    m_thread = std::thread([this] { run(); });
}

void BackgroundPageCheck::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_giveWay = true;
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    UnfinishedReads::remove(this);
}

void BackgroundPageCheck::run()
{
    Outcome result = Outcome::GaveWay;
    QString finding;
    sqlite3 *connection = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(m_path).constData(), &connection,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (opened == SQLITE_OK) {
        sqlite3_extended_result_codes(connection, 1);
        // A file locked for writing is not waited for: the attempt gives way.
        sqlite3_busy_timeout(connection, 0);
        sqlite3_progress_handler(
            connection, 1000,
            [](void *p) -> int { return static_cast<BackgroundPageCheck *>(p)->m_giveWay.load() ? 1 : 0; }, this);
        // The read lock is taken first and held to the end, so that reading()
        // tells a writer's test when the lock is there.
        const int began = sqlite3_exec(connection, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                                       nullptr);
        if (began == SQLITE_OK && !m_giveWay.load()) {
            m_reading = true;
            std::thread watch([this, connection] { guard(connection); });
            const PageCheck check = CheckPages(connection, -1, &finding);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_checkEnded = true;
            }
            m_wake.notify_all();
            watch.join();
            if (check == PageCheck::Sound)
                result = Outcome::Sound;
            else if (check == PageCheck::Damaged)
                result = Outcome::Damaged;
        } else if (isDamage(began)) {
            finding = QString::fromUtf8(sqlite3_errmsg(connection));
            result = Outcome::Damaged;
        }
        sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(connection);
    m_reading = false;
    bool quiet = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finding = finding;
        quiet = m_quiet;
    }
    m_outcome = result;
    if (!quiet && m_ended)
        m_ended();
}

void BackgroundPageCheck::guard(sqlite3 *connection)
{
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(connection, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK)
        file = nullptr;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_checkEnded)
            return;
        bool yield = m_stopping;
        if (!yield && file && file->pMethods) {
            // A connection holding the reserved lock is about to write; it
            // could not finish while this attempt holds its read lock.
            int reserved = 0;
            yield = file->pMethods->xCheckReservedLock(file, &reserved) == SQLITE_OK && reserved;
        }
        if (yield) {
            // Sent again on every round: an interrupt that comes between two
            // statements is forgotten by the engine.
            m_giveWay = true;
            sqlite3_interrupt(connection);
        }
        m_wake.wait_for(lock, kWatchInterval);
    }
}

} // namespace platform
