#include "platform/db/RebuildCopy.h"

#include "platform/db/DbErrors.h"
#include "platform/db/SqlValues.h"
#include "platform/db/jet/JetTranslator.h"

#include <QtCore/QFile>

#include <sqlite3.h>

#include <cstdint>
#include <limits>
#include <utility>

namespace platform {

namespace {

// How many rowids are looked up one by one past a damaged page before the
// rest of the table is given up as unreadable.
constexpr int kProbeLimit = 20000;

struct SchemaRow
{
    QString type;
    QString name;
    QString table;
    QString sql;
};

class CopyConnection
{
public:
    explicit CopyConnection(const QString &path) : m_path(path)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) {
            const DbException e = dberr::fromConnection(m_db, rc, path);
            sqlite3_close_v2(m_db);
            m_db = nullptr;
            throw e;
        }
        sqlite3_extended_result_codes(m_db, 1);
        jet::registerFunctions(m_db); // the text collation of the indexes
    }
    ~CopyConnection()
    {
        if (m_db)
            sqlite3_close_v2(m_db);
    }
    sqlite3 *handle() const { return m_db; }

    // Runs a statement with the given texts bound in order; returns SQLite's
    // result code (SQLITE_DONE on success) without throwing.
    int tryRun(const QString &sql, const QList<std::int64_t> &numbers = {}, const QString &text = QString())
    {
        sqlite3_stmt *st = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &st, nullptr);
        if (rc != SQLITE_OK)
            return rc;
        int at = 1;
        QByteArray bound;
        if (!text.isNull()) {
            bound = QFile::encodeName(text);
            sqlite3_bind_text(st, at++, bound.constData(), int(bound.size()), SQLITE_TRANSIENT);
        }
        for (std::int64_t n : numbers)
            sqlite3_bind_int64(st, at++, n);
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        sqlite3_finalize(st);
        return rc;
    }
    void run(const QString &sql, const QList<std::int64_t> &numbers = {}, const QString &text = QString())
    {
        const int rc = tryRun(sql, numbers, text);
        if (rc != SQLITE_DONE)
            throw dberr::fromConnection(m_db, rc, m_path);
    }
    // The first column of the first row as an integer; false when the
    // statement fails.
    bool tryInteger(const QString &sql, std::int64_t &out)
    {
        sqlite3_stmt *st = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK)
            return false;
        const int rc = sqlite3_step(st);
        const bool ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
        out = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
        sqlite3_finalize(st);
        return ok;
    }
    QList<SchemaRow> schema()
    {
        QList<SchemaRow> rows;
        sqlite3_stmt *st = nullptr;
        int rc = sqlite3_prepare_v2(m_db,
                                    "SELECT type, name, tbl_name, sql FROM source.sqlite_master "
                                    "WHERE sql IS NOT NULL ORDER BY rowid",
                                    -1, &st, nullptr);
        while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
            auto text = [st](int c) {
                return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)));
            };
            rows.append({text(0), text(1), text(2), text(3)});
            rc = SQLITE_OK;
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE && rc != SQLITE_OK)
            throw dberr::fromConnection(m_db, rc, m_path);
        return rows;
    }

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
};

bool isDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_IOERR;
}

// Copies the readable rows of one table, keeping their rowids. First all at
// once; when a damaged page stands in the way, row by row in rowid order: a
// read that fails is rolled back alone, and the rowids after it are tried
// one by one (each a direct look-up that touches only the page of that row)
// until a page that can be read again is reached. True when every row was read.
bool copyRows(CopyConnection &c, const QString &table)
{
    const QString quoted = sqlvalues::quoteName(table);
    QStringList columns;
    {
        sqlite3_stmt *st = nullptr;
        const QByteArray sql = QStringLiteral("PRAGMA main.table_info(%1)").arg(quoted).toUtf8();
        if (sqlite3_prepare_v2(c.handle(), sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW)
                columns << sqlvalues::quoteName(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1))));
        }
        sqlite3_finalize(st);
    }
    const QString list = QStringLiteral("rowid, ") + columns.join(QStringLiteral(", "));
    // The condition also keeps SQLite from copying index contents wholesale:
    // every index of the copy is built from its rows.
    const QString after = QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM source.%1 WHERE rowid > ?1 "
                                         "ORDER BY rowid LIMIT ?2")
                              .arg(quoted, list);
    const QString one = QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM source.%1 WHERE rowid = ?1").arg(quoted, list);
    const QString last = QStringLiteral("SELECT max(rowid) FROM main.%1").arg(quoted);

    std::int64_t from = std::numeric_limits<std::int64_t>::min();
    if (c.tryRun(after, {from, -1}) == SQLITE_DONE)
        return true;
    bool whole = true;
    while (true) {
        const int rc = c.tryRun(after, {from, 256});
        if (rc == SQLITE_DONE) {
            if (sqlite3_changes(c.handle()) == 0)
                break; // the end of the table
            std::int64_t top = from;
            c.tryInteger(last, top);
            from = top;
            continue;
        }
        if (!isDamage(rc))
            throw dberr::fromConnection(c.handle(), rc);
        // Rows one at a time: the first rowid whose look-up works lies
        // beyond the damage.
        whole = false;
        int tries = 0;
        bool past = false;
        while (!past && tries < kProbeLimit && from < std::numeric_limits<std::int64_t>::max()) {
            ++from;
            ++tries;
            const int probe = c.tryRun(one, {from});
            if (probe == SQLITE_DONE)
                past = true;
            else if (!isDamage(probe))
                throw dberr::fromConnection(c.handle(), probe);
        }
        if (!past)
            break; // nothing more can be reached
    }
    return whole;
}

// The rows of a table that its indexes know and the copy lacks; -1 when no
// index of it can be read.
qint64 countLostRows(CopyConnection &c, const QString &table, const QList<SchemaRow> &schema)
{
    const QString quoted = sqlvalues::quoteName(table);
    qint64 lost = -1;
    QStringList indexes;
    for (const SchemaRow &r : schema) {
        if (r.type == QLatin1String("index") && r.table.compare(table, Qt::CaseInsensitive) == 0)
            indexes << r.name;
    }
    // The automatic indexes of UNIQUE constraints have no SQL of their own.
    sqlite3_stmt *st = nullptr;
    const QByteArray list = QStringLiteral("SELECT name FROM source.sqlite_master WHERE type = 'index' AND "
                                           "sql IS NULL AND tbl_name = ?1")
                                .toUtf8();
    if (sqlite3_prepare_v2(c.handle(), list.constData(), -1, &st, nullptr) == SQLITE_OK) {
        const QByteArray name = table.toUtf8();
        sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW)
            indexes << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    for (const QString &index : std::as_const(indexes)) {
        std::int64_t missing = 0;
        const QString sql = QStringLiteral("SELECT count(*) FROM source.%1 INDEXED BY %2 WHERE rowid NOT IN "
                                           "(SELECT rowid FROM main.%1)")
                                .arg(quoted, sqlvalues::quoteName(index));
        if (c.tryInteger(sql, missing))
            lost = std::max<qint64>(lost, missing);
    }
    return lost;
}

} // namespace

RebuildResult RebuildCopy(const QString &sourcePath, const QString &copyPath, const RebuildProgress &progress)
{
    if (QFile::exists(copyPath))
        dberr::raise(dberr::DatabaseExists);
    RebuildResult result;
    try {
        CopyConnection c(copyPath);
        // Each statement is its own transaction, so a range that fails is
        // rolled back alone. The journal of the new file is kept in memory
        // and nothing waits for the disk: the file is checked before use.
        c.run(QStringLiteral("PRAGMA journal_mode = MEMORY"));
        c.run(QStringLiteral("PRAGMA synchronous = OFF"));
        c.run(QStringLiteral("ATTACH DATABASE ?1 AS source"), {}, sourcePath);
        std::int64_t pageSize = 0;
        if (c.tryInteger(QStringLiteral("PRAGMA source.page_size"), pageSize) && pageSize > 0)
            c.run(QStringLiteral("PRAGMA main.page_size = %1").arg(pageSize));

        const QList<SchemaRow> schema = c.schema();
        QStringList tables;
        for (const SchemaRow &r : schema) {
            if (r.type != QLatin1String("table") || r.name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
                continue;
            c.run(r.sql);
            tables << r.name;
        }
        int indexes = 0;
        for (const SchemaRow &r : schema)
            indexes += r.type == QLatin1String("index") ? 1 : 0;
        const int total = int(tables.size()) + indexes;
        int done = 0;
        const auto step = [&] {
            if (progress && !progress(done, total))
                dberr::raise(dberr::OperationCanceled);
            ++done;
        };
        for (const QString &table : std::as_const(tables)) {
            step();
            if (!copyRows(c, table)) {
                const qint64 lost = countLostRows(c, table, schema);
                if (lost != 0)
                    result.losses.append({table, lost});
            }
        }
        // AutoNumber counters kept by SQLite itself, where a table has one.
        std::int64_t sequences = 0;
        if (c.tryInteger(QStringLiteral("SELECT count(*) FROM source.sqlite_master WHERE name = 'sqlite_sequence'"),
                         sequences)
            && sequences > 0
            && c.tryInteger(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE name = 'sqlite_sequence'"),
                            sequences)
            && sequences > 0) {
            c.tryRun(QStringLiteral("DELETE FROM main.sqlite_sequence"));
            c.tryRun(QStringLiteral("INSERT INTO main.sqlite_sequence SELECT * FROM source.sqlite_sequence"));
        }
        // Indexes from the rows; then triggers and views, so copying fired none.
        for (const SchemaRow &r : schema) {
            if (r.type != QLatin1String("index"))
                continue;
            step();
            const int rc = c.tryRun(r.sql);
            if (rc == SQLITE_DONE)
                continue;
            if ((rc & 0xff) != SQLITE_CONSTRAINT)
                throw dberr::fromConnection(c.handle(), rc, copyPath);
            result.indexesNotBuilt << r.table + QStringLiteral(": ") + r.name;
        }
        for (const SchemaRow &r : schema) {
            if (r.type == QLatin1String("trigger") || r.type == QLatin1String("view"))
                c.run(r.sql);
        }
        c.run(QStringLiteral("DETACH DATABASE source"));
        c.run(QStringLiteral("PRAGMA journal_mode = DELETE"));
        c.run(QStringLiteral("PRAGMA synchronous = FULL"));
        if (progress)
            progress(total, total);
    } catch (...) {
        QFile::remove(copyPath);
        throw;
    }
    return result;
}

} // namespace platform
