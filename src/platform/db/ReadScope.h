#pragma once

#include <QtCore/QString>

struct sqlite3;

namespace platform {

class Database;

// A run of reads that share one read transaction: the file's shared lock is
// taken once for the run instead of once per statement, and every statement
// of the run sees the file as it was at its first read. Outside a transaction
// it is BEGIN ... COMMIT; inside one (or inside another read scope) it adds
// nothing. Keep it short: while it lasts, other workstations cannot save.
//
// Writing inside it is allowed and never upgrades the read lock (which could
// deadlock with a workstation that is saving): a write scope or transaction
// opened inside ends the read transaction first, takes the write lock the
// usual way, and the read transaction starts again after it.
class ReadScope
{
public:
    explicit ReadScope(Database &db);
    ~ReadScope();
    ReadScope(const ReadScope &) = delete;
    ReadScope &operator=(const ReadScope &) = delete;

    // For the writers: ends the connection's read transaction when one of
    // these scopes holds it and nothing was written in it; true when it did.
    static bool suspend(sqlite3 *db);
    // After the write: starts the read transaction again when its scope is
    // still open and the connection is back outside a transaction.
    static void resume(sqlite3 *db);

private:
    sqlite3 *m_db = nullptr;
    bool m_began = false;
};

} // namespace platform
