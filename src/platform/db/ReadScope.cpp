#include "platform/db/ReadScope.h"

#include "platform/db/Database.h"

#include <sqlite3.h>

#include <mutex>
#include <unordered_map>

namespace platform {

namespace {

// The connections whose read transaction belongs to a read scope, with the
// number of scopes open on each.
std::mutex g_mutex;
std::unordered_map<sqlite3 *, int> g_scopes;

bool hasScope(sqlite3 *db)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_scopes.count(db) != 0;
}

} // namespace

ReadScope::ReadScope(Database &db)
    : m_db(db.isOpen() ? db.handle() : nullptr)
{
    if (!m_db)
        return;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        ++g_scopes[m_db];
    }
    // A transaction of the program's own is left as it is.
    if (sqlite3_get_autocommit(m_db))
        m_began = sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
}

ReadScope::~ReadScope()
{
    if (!m_db)
        return;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        auto it = g_scopes.find(m_db);
        if (it != g_scopes.end() && --it->second == 0)
            g_scopes.erase(it);
    }
    // Only a read transaction is ended here; a write begun inside the scope
    // without a scope of its own ends as it would have outside (committed).
    if (m_began && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
}

bool ReadScope::suspend(sqlite3 *db)
{
    if (!db || sqlite3_get_autocommit(db) || !hasScope(db))
        return false;
    if (sqlite3_txn_state(db, nullptr) == SQLITE_TXN_WRITE)
        return false;
    return sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
}

void ReadScope::resume(sqlite3 *db)
{
    if (db && sqlite3_get_autocommit(db) && hasScope(db))
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
}

} // namespace platform
