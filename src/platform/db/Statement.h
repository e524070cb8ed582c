#pragma once

#include "platform/Value.h"

#include <QtCore/QList>
#include <QtCore/QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

class StatementCache;

// One prepared SQLite statement. Only a single statement is accepted: text
// after it (other than blanks and a ';') is refused with 3142 and never run.
// Failures throw DbException with the engine's numbers.
class Statement
{
public:
    Statement() = default;
    Statement(sqlite3 *db, const QString &sql, const QString &fileName = QString());
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    sqlite3_stmt *handle() const { return m_stmt; }
    bool isReadOnly() const;
    int columnCount() const;
    int parameterCount() const;

    void bind(int index, const Value &value); // 1-based
    void bindAll(const QList<Value> &values);
    void reset();

    // Steps once: true when a row is ready.
    bool step();
    // Steps to the end (an action statement).
    void run();

    Value value(int column, FieldType type) const;
    Value storedValue(int column) const;
    std::int64_t integer(int column) const;

private:
    friend class StatementCache;
    // Takes over a statement already prepared.
    Statement(sqlite3 *db, sqlite3_stmt *stmt, const QString &fileName);
    [[noreturn]] void fail(int rc) const;
    // Finalizes the statement, or hands it back to the cache it came from.
    void release() noexcept;

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_fileName;
    // When the statement came from a connection's cache: where it goes back,
    // under which text, and whether it may be kept.
    std::shared_ptr<StatementCache> m_cache;
    QString m_sql;
    quint64 m_epoch = 0;
    bool m_failed = false;
};

} // namespace platform
