#pragma once

#include <functional>

struct sqlite3;

namespace platform {

// The statements of a connection that are still being read a part at a time
// (a snapshot that shows its first rows before the rest are read). While one
// is unfinished the connection keeps the file's shared lock, so the rows it
// gives are those of the moment it started. Before the connection writes,
// changes the schema or closes, every unfinished read on it is read to its
// end: the write then never waits on the program's own read, and the rows
// stay those of the moment the read started.
class UnfinishedReads
{
public:
    // reader names the read (its owner); finish reads it to its end and
    // removes it.
    static void add(sqlite3 *db, const void *reader, std::function<void()> finish);
    static void remove(const void *reader);
    // Reads every unfinished read of the connection to its end.
    static void finishAll(sqlite3 *db);
};

} // namespace platform
