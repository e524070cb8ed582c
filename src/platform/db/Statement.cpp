#include "platform/db/Statement.h"

#include "platform/db/DbErrors.h"
#include "platform/db/SqlValues.h"
#include "platform/db/StatementCache.h"

#include <sqlite3.h>

namespace platform {

namespace {

bool onlyBlanksOrSemicolons(const char16_t *p)
{
    if (!p)
        return true;
    for (; *p; ++p) {
        if (*p != u' ' && *p != u'\t' && *p != u'\r' && *p != u'\n' && *p != u';')
            return false;
    }
    return true;
}

} // namespace

Statement::Statement(sqlite3 *db, const QString &sql, const QString &fileName)
    : m_db(db), m_fileName(fileName)
{
    if (!db)
        dberr::raise(dberr::ObjectInvalid);
    const void *tail = nullptr;
    const int rc = sqlite3_prepare16_v2(db, sql.utf16(), int((sql.size() + 1) * 2), &m_stmt, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        fail(rc);
    }
    if (!onlyBlanksOrSemicolons(static_cast<const char16_t *>(tail))) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        dberr::raise(dberr::AfterEndOfStatement);
    }
    if (!m_stmt) // blank text
        dberr::raise(dberr::InvalidStatement);
}

Statement::Statement(sqlite3 *db, sqlite3_stmt *stmt, const QString &fileName)
    : m_db(db), m_stmt(stmt), m_fileName(fileName)
{
}

Statement::~Statement()
{
    release();
}

void Statement::release() noexcept
{
    if (!m_stmt)
        return;
    if (m_cache)
        m_cache->giveBack(m_sql, m_stmt, m_epoch, m_failed);
    else
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_cache.reset();
}

Statement::Statement(Statement &&other) noexcept
    : m_db(other.m_db), m_stmt(other.m_stmt), m_fileName(std::move(other.m_fileName)),
      m_cache(std::move(other.m_cache)), m_sql(std::move(other.m_sql)), m_epoch(other.m_epoch),
      m_failed(other.m_failed)
{
    other.m_stmt = nullptr;
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        release();
        m_db = other.m_db;
        m_stmt = other.m_stmt;
        m_fileName = std::move(other.m_fileName);
        m_cache = std::move(other.m_cache);
        m_sql = std::move(other.m_sql);
        m_epoch = other.m_epoch;
        m_failed = other.m_failed;
        other.m_stmt = nullptr;
    }
    return *this;
}

bool Statement::isReadOnly() const
{
    return sqlite3_stmt_readonly(m_stmt) != 0;
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

int Statement::parameterCount() const
{
    return sqlite3_bind_parameter_count(m_stmt);
}

void Statement::bind(int index, const Value &value)
{
    sqlvalues::bind(m_stmt, index, value);
}

void Statement::bindAll(const QList<Value> &values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // A statement that failed (SQLITE_SCHEMA included) is never reused.
    m_failed = true;
    const DbException e = dberr::fromConnection(m_db, rc, m_fileName);
    sqlite3_reset(m_stmt);
    throw e;
}

void Statement::run()
{
    while (step()) {
    }
}

Value Statement::value(int column, FieldType type) const
{
    return sqlvalues::read(m_stmt, column, type);
}

Value Statement::storedValue(int column) const
{
    return sqlvalues::readStored(m_stmt, column);
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

void Statement::fail(int rc) const
{
    throw dberr::fromConnection(m_db, rc, m_fileName);
}

} // namespace platform
