#pragma once

#include "platform/db/Statement.h"

#include <QtCore/QHash>
#include <QtCore/QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// The prepared statements of one connection kept for reuse, keyed by their
// SQLite text, the least recently used dropped past a small limit. A
// statement is checked out while a Statement holds it, so no two users ever
// share one; it comes back reset with its bindings cleared. Every kept
// statement is finalized when the schema generation changes and when the
// connection closes; one that failed is never kept.
//
// Only row statements (SELECT, INSERT, UPDATE, DELETE ...) are kept: schema
// and transaction statements are prepared afresh each time.
class StatementCache : public std::enable_shared_from_this<StatementCache>
{
public:
    static constexpr int kLimit = 96;

    StatementCache(sqlite3 *db, const QString &fileName);
    ~StatementCache();
    StatementCache(const StatementCache &) = delete;
    StatementCache &operator=(const StatementCache &) = delete;

    // A kept statement for the text, else one prepared now.
    Statement prepare(const QString &sql);
    // Finalizes the kept statements when the generation differs from the
    // last one seen; statements checked out meanwhile are finalized as they
    // come back.
    void setGeneration(quint64 generation);
    // Finalizes everything kept; statements still checked out are finalized
    // as they come back, never kept.
    void close();

    // Whether a statement for the text is kept, ready for reuse.
    bool keeps(const QString &sql) const { return m_idle.contains(sql); }

private:
    friend class Statement;
    // A statement coming back from its user.
    void giveBack(const QString &sql, sqlite3_stmt *stmt, quint64 epoch, bool failed);
    void finalizeAll();
    static bool isKeepable(const QString &sql);

    struct Idle
    {
        sqlite3_stmt *stmt = nullptr;
        quint64 used = 0;
    };
    sqlite3 *m_db;
    QString m_fileName;
    QHash<QString, Idle> m_idle;
    quint64 m_generation = 0;
    quint64 m_epoch = 1;
    quint64 m_clock = 0;
};

} // namespace platform
