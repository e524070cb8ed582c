#pragma once

#include "platform/db/DbException.h"

#include <optional>

namespace platform {

// The engine's file system as every database connection of the program uses
// it: the system's own, but for the journals beside a database (the
// "-journal" of a write, the "-wal" and "-shm" of a write-ahead log). The
// engine opens a journal to write the pages a change is about to overwrite,
// and to put them back when it finds one left by a write that never ended;
// a file of that name that someone else put in the folder would receive the
// pages (a link kept elsewhere keeps a copy of them), or would be rolled
// back into the database. So a journal is opened only when it is an
// ordinary file of this user's own with no other name, checked on the open
// file itself; anything else is refused, and the statement that needed it
// fails with the refusal that names the file (takeRefusal). A journal the
// program makes gets the database file's mode (read and write bits; always
// writable by its owner) and group.
//
// It is installed as the engine's default when the program starts (and again
// by install(), which any opening calls first); any layer that a test puts
// over the default then sits above it.
class GuardedFileSystem
{
public:
    static void install();

    // Before a database is opened: refuses (throws the refusal naming the
    // file) a write-ahead log or its index beside it that is not an ordinary
    // file of this user's own, and a journal that is not an ordinary file or
    // is another user's and empty (the engine passes over an empty journal
    // until it writes one). Another user's journal with content is left to
    // the engine's opening of it: while that user's workstation is saving,
    // it is a journal in use, which the engine waits for and never opens.
    static void checkBeside(const QString &databasePath);

    // The refusal of the last journal refused on this thread, once; the
    // connection's error then stands for it.
    static std::optional<DbException> takeRefusal();
};

} // namespace platform
