#include "platform/db/StatementCache.h"

#include <sqlite3.h>

#include <cstring>

namespace platform {

StatementCache::StatementCache(sqlite3 *db, const QString &fileName)
    : m_db(db), m_fileName(fileName)
{
}

StatementCache::~StatementCache()
{
    finalizeAll();
}

bool StatementCache::isKeepable(const QString &sql)
{
    qsizetype i = 0;
    while (i < sql.size() && sql[i].isSpace())
        ++i;
    if (sql.size() - i < 6)
        return false;
    // The first word, upper-cased letter by letter (a statement starts in
    // plain letters; anything else is simply not kept).
    char word[6];
    for (int k = 0; k < 6; ++k) {
        char16_t c = sql[i + k].unicode();
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - (u'a' - u'A'));
        if (c < u'A' || c > u'Z')
            return false;
        word[k] = char(c);
    }
    for (const char *keep : {"SELECT", "INSERT", "UPDATE", "DELETE"}) {
        if (std::memcmp(word, keep, 6) == 0)
            return true;
    }
    return false;
}

Statement StatementCache::prepare(const QString &sql)
{
    if (!m_db || !isKeepable(sql))
        return Statement(m_db, sql, m_fileName);
    Statement st;
    const auto it = m_idle.find(sql);
    if (it != m_idle.end()) {
        st = Statement(m_db, it->stmt, m_fileName);
        m_idle.erase(it);
    } else {
        st = Statement(m_db, sql, m_fileName);
    }
    st.m_cache = shared_from_this();
    st.m_sql = sql;
    st.m_epoch = m_epoch;
    return st;
}

void StatementCache::setGeneration(quint64 generation)
{
    if (generation == m_generation)
        return;
    m_generation = generation;
    finalizeAll();
}

void StatementCache::close()
{
    finalizeAll();
    m_db = nullptr;
}

void StatementCache::finalizeAll()
{
    for (const Idle &i : std::as_const(m_idle))
        sqlite3_finalize(i.stmt);
    m_idle.clear();
    ++m_epoch;
}

void StatementCache::giveBack(const QString &sql, sqlite3_stmt *stmt, quint64 epoch, bool failed)
{
    if (!m_db || failed || epoch != m_epoch) {
        sqlite3_finalize(stmt);
        return;
    }
    if (m_idle.size() < kLimit) {
        // Room left: the text is looked up once, its place taken at once
        // and given up again when the statement cannot be kept.
        Idle &slot = m_idle[sql];
        if (slot.stmt) {
            sqlite3_finalize(stmt);
            return;
        }
        if (sqlite3_reset(stmt) != SQLITE_OK) {
            m_idle.remove(sql);
            sqlite3_finalize(stmt);
            return;
        }
        sqlite3_clear_bindings(stmt);
        slot = Idle{stmt, ++m_clock};
        return;
    }
    if (m_idle.contains(sql)) {
        sqlite3_finalize(stmt);
        return;
    }
    // A statement left mid-way keeps its read lock until it is reset.
    if (sqlite3_reset(stmt) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return;
    }
    sqlite3_clear_bindings(stmt);
    if (m_idle.size() >= kLimit) {
        auto oldest = m_idle.begin();
        for (auto it = m_idle.begin(); it != m_idle.end(); ++it) {
            if (it->used < oldest->used)
                oldest = it;
        }
        sqlite3_finalize(oldest->stmt);
        m_idle.erase(oldest);
    }
    m_idle.insert(sql, Idle{stmt, ++m_clock});
}

} // namespace platform
