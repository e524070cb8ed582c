#include "platform/db/BesideRead.h"

#include "platform/db/DbErrors.h"
#include "platform/db/Statement.h"
#include "platform/db/jet/JetTranslator.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include <sqlite3.h>

namespace platform {

namespace {

// How long rows gather on the reading thread before they are offered: the
// first row at once, later ones in batches.
constexpr int kOfferEveryMs = 25;
constexpr int kOfferRows = 2048;
// How long a let-go read is waited for before it is left to end by itself:
// a step that looks at no stop for a while (the engine sorting what it has
// gathered) must not keep the user's Stop waiting.
constexpr std::chrono::milliseconds kStopWait{200};

std::atomic<int> g_running{0};
std::atomic<int> g_waitingForRoom{0};

} // namespace

struct BesideRead::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<Cell> cells;  // under mutex: rows given, not yet taken
    std::vector<char> bytes;  // under mutex
    bool ended = false;       // under mutex
    std::optional<DbException> failure; // under mutex
    sqlite3 *connection = nullptr;      // under mutex once the thread runs; null once closed
    std::atomic<bool> stopping{false};
    std::atomic<bool> paused{false};
    std::condition_variable room; // rows taken, a pause let go, or a stop
    // Waits while the read is held or its rows wait in full room (under
    // mutex); false once it is stopped.
    bool waitForRoom(std::unique_lock<std::mutex> &lock, int fields);
    int busyTimeoutMs = 0;
    Statement statement;
    std::thread thread;

    void run(int fields);
};

BesideRead::BesideRead(const QString &path, const QString &sql, int fields, int busyTimeoutMs, const Bind &bind)
    : m_shared(std::make_shared<Shared>()), m_fields(fields)
{
    Shared &s = *m_shared;
    s.busyTimeoutMs = busyTimeoutMs;
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        const DbException e = dberr::fromConnection(db, rc, path);
        sqlite3_close_v2(db);
        throw e;
    }
    sqlite3_extended_result_codes(db, 1);
    jet::registerFunctions(db);
    // A stop is seen between the engine's steps and during a wait for a
    // lock; a pause holds the step where it is.
    sqlite3_progress_handler(
        db, 1000,
        [](void *p) -> int {
            auto *shared = static_cast<Shared *>(p);
            if (shared->paused.load() && !shared->stopping.load()) {
                std::unique_lock<std::mutex> lock(shared->mutex);
                shared->room.wait(lock, [shared] { return !shared->paused.load() || shared->stopping.load(); });
            }
            return shared->stopping.load() ? 1 : 0;
        },
        &s);
    sqlite3_busy_handler(
        db,
        [](void *p, int tries) -> int {
            auto *shared = static_cast<Shared *>(p);
            constexpr int kPauseMs = 10;
            if (shared->stopping.load() || tries * kPauseMs >= shared->busyTimeoutMs)
                return 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
            return 1;
        },
        &s);
    try {
        Statement st(db, sql, path);
        // Only a statement that reads runs here.
        if (!st.isReadOnly())
            dberr::raise(dberr::InvalidOperation);
        if (bind)
            bind(st);
        s.statement = std::move(st);
    } catch (...) {
        s.statement = Statement();
        sqlite3_close_v2(db);
        throw;
    }
    s.connection = db;
    ++g_running;
    s.thread = std::thread([shared = m_shared, fields] { shared->run(fields); });
}

BesideRead::~BesideRead()
{
    stop();
}

void BesideRead::Shared::run(int fields)
{
    std::vector<Cell> batch;
    std::vector<char> batchBytes;
    std::optional<DbException> failed;
    sqlite3_stmt *stmt = statement.handle();
    const int width = std::min(fields, sqlite3_column_count(stmt));
    QElapsedTimer sinceOffer;
    int rows = 0;
    // The batch joins what waits to be taken (the caller holds the lock).
    auto appendBatch = [&] {
        const std::int64_t base = std::int64_t(bytes.size());
        for (Cell c : batch) {
            if (c.storage == SQLITE_TEXT || c.storage == SQLITE_BLOB)
                c.bits += base;
            cells.push_back(c);
        }
        bytes.insert(bytes.end(), batchBytes.begin(), batchBytes.end());
    };
    auto offer = [&] {
        {
            std::unique_lock<std::mutex> lock(mutex);
            // What waits to be taken stays within its room: the read waits
            // for the reader (or a pause) here.
            if (!waitForRoom(lock, fields))
                return;
            appendBatch();
        }
        batch.clear();
        batchBytes.clear();
        rows = 0;
        sinceOffer.start();
        wake.notify_all();
    };
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW) {
            if (!stopping.load())
                failed = dberr::fromConnection(connection, rc, QString());
            break;
        }
        for (int c = 0; c < width; ++c) {
            batch.push_back(ReadCell(stmt, c, batchBytes));
        }
        // Fields the statement does not give read as Null.
        for (int c = width; c < fields; ++c)
            batch.push_back(Cell{0, 0, SQLITE_NULL});
        ++rows;
        if (!sinceOffer.isValid() || rows >= kOfferRows || sinceOffer.elapsed() >= kOfferEveryMs)
            offer();
        if (stopping.load())
            break;
    }
    if (rows > 0)
        offer();
    if (stopping.load() && !batch.empty()) {
        // Stopped while waiting for room: the rows read last are offered
        // still (what the statement has given is never lost).
        std::lock_guard<std::mutex> lock(mutex);
        appendBatch();
    }
    statement = Statement();
    {
        std::lock_guard<std::mutex> lock(mutex);
        sqlite3_close_v2(connection);
        connection = nullptr;
        failure = failed;
        ended = true;
    }
    --g_running;
    wake.notify_all();
}

bool BesideRead::Shared::waitForRoom(std::unique_lock<std::mutex> &lock, int fields)
{
    const size_t mostCells = size_t(kMostWaitingRows) * size_t(std::max(fields, 1));
    bool full = false; // counted among the reads waiting for their reader
    room.wait(lock, [&] {
        if (stopping.load())
            return true;
        if (paused.load())
            return false;
        const bool roomLeft = cells.empty() || (cells.size() < mostCells && bytes.size() < kMostWaitingBytes);
        if (!roomLeft && !full) {
            full = true;
            ++g_waitingForRoom;
        }
        return roomLeft;
    });
    if (full)
        --g_waitingForRoom;
    return !stopping.load();
}

bool BesideRead::waitForRows(int ms)
{
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    return m_shared->wake.wait_for(lock, std::chrono::milliseconds(ms),
                                   [this] { return m_shared->ended || !m_shared->cells.empty(); });
}

int BesideRead::take(std::vector<Cell> &cells, std::vector<char> &bytes)
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    Shared &s = *m_shared;
    if (s.cells.empty() || m_fields <= 0)
        return 0;
    const std::int64_t base = std::int64_t(bytes.size());
    cells.reserve(cells.size() + s.cells.size());
    for (Cell c : s.cells) {
        if (c.storage == SQLITE_TEXT || c.storage == SQLITE_BLOB)
            c.bits += base;
        cells.push_back(c);
    }
    bytes.insert(bytes.end(), s.bytes.begin(), s.bytes.end());
    const int rows = int(s.cells.size() / size_t(m_fields));
    s.cells.clear();
    s.bytes.clear();
    s.room.notify_all();
    return rows;
}

bool BesideRead::ended() const
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->ended;
}

void BesideRead::stop()
{
    Shared &s = *m_shared;
    {
        std::unique_lock<std::mutex> lock(s.mutex);
        s.stopping = true;
        s.room.notify_all();
        if (s.connection)
            sqlite3_interrupt(s.connection);
        s.wake.wait_for(lock, kStopWait, [&s] { return s.ended; });
    }
    if (!s.thread.joinable())
        return;
    if (ended())
        s.thread.join();
    else
        s.thread.detach(); // it holds its own share of what it uses
}

void BesideRead::pause(bool paused)
{
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->paused = paused;
    }
    m_shared->room.notify_all();
}

std::optional<DbException> BesideRead::failure() const
{
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->failure;
}

BesideRead::Cell BesideRead::ReadCell(sqlite3_stmt *stmt, int column, std::vector<char> &bytes)
{
    // The value's own accessors: one column look-up per cell.
    sqlite3_value *v = sqlite3_column_value(stmt, column);
    Cell cell{0, 0, sqlite3_value_type(v)};
    switch (cell.storage) {
    case SQLITE_INTEGER: cell.bits = sqlite3_value_int64(v); break;
    case SQLITE_FLOAT: {
        const double real = sqlite3_value_double(v);
        std::memcpy(&cell.bits, &real, sizeof real);
        break;
    }
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        const char *data = cell.storage == SQLITE_TEXT ? reinterpret_cast<const char *>(sqlite3_value_text(v))
                                                       : static_cast<const char *>(sqlite3_value_blob(v));
        cell.size = sqlite3_value_bytes(v);
        cell.bits = std::int64_t(bytes.size());
        if (cell.size > 0)
            bytes.insert(bytes.end(), data, data + cell.size);
        break;
    }
    default: break;
    }
    return cell;
}

int BesideRead::running()
{
    return g_running.load();
}

int BesideRead::waitingForRoom()
{
    return g_waitingForRoom.load();
}

} // namespace platform
