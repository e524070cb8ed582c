#pragma once

#include "platform/db/DbException.h"

#include <QtCore/QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3_stmt;

namespace platform {

class Statement;

// One reading statement run beside the window, on a thread and a read-only
// connection of its own, while the window's thread goes on handling its
// events. The rows it gives wait, as SQLite gave them, until the window's
// thread takes them. It never writes (its connection cannot), and a stop
// ends it within a few milliseconds: the engine is interrupted in its step,
// and a wait for another workstation's lock gives up. A read that does not
// end within a second of being let go is left to end by itself; it holds
// nothing of its owner's.
class BesideRead
{
public:
    // A cell as the engine stored it: an integer, a double's bits, or where
    // its bytes begin among the bytes taken with it.
    struct Cell
    {
        std::int64_t bits;
        std::int32_t size;
        std::int32_t storage;
    };
    using Bind = std::function<void(Statement &)>;

    // Opens the file read-only, prepares sql (fields cells per row) and binds
    // its parameters, then starts reading. A failure to open or prepare
    // throws DbException here; a failure while reading is kept (failure()).
    BesideRead(const QString &path, const QString &sql, int fields, int busyTimeoutMs, const Bind &bind);
    ~BesideRead();
    BesideRead(const BesideRead &) = delete;
    BesideRead &operator=(const BesideRead &) = delete;

    // Waits up to ms milliseconds until rows wait to be taken or the read
    // has ended; true when either is so.
    bool waitForRows(int ms);
    // Appends the rows given since the last take (fields cells each; their
    // bytes to bytes, the cells' offsets counted from its old end) and
    // answers how many rows it took.
    int take(std::vector<Cell> &cells, std::vector<char> &bytes);
    // The statement has given its last row, was stopped or failed.
    bool ended() const;
    // Ends the read where it is; the rows given before stay to be taken.
    // Waits up to a second for the thread.
    void stop();
    // Holds the read where it is (in the middle of the engine's step too)
    // until it is let go on or stopped: nothing more is read meanwhile.
    void pause(bool paused);
    // The rows given and not yet taken wait in bounded room: once it is
    // full the read waits until they are taken (or it is stopped), so a
    // statement never runs ahead of its reader by more than this.
    static constexpr int kMostWaitingRows = 32768;
    static constexpr std::size_t kMostWaitingBytes = std::size_t(16) << 20;
    // What ended the read when it failed (never set by a stop).
    std::optional<DbException> failure() const;

    // How many reads run beside now (their threads not yet ended).
    static int running();
    // How many of them wait for their reader now, their room full: what such
    // a read has handed over is known, whatever the machine's speed.
    static int waitingForRoom();
    // One cell of the row a statement stands on, its bytes appended to bytes
    // (the program's own reading of a statement keeps its cells so too).
    static Cell ReadCell(sqlite3_stmt *stmt, int column, std::vector<char> &bytes);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    int m_fields = 0;
};

} // namespace platform
