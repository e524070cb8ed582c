#include "platform/db/RebuildCopy.h"

#include "platform/db/DbErrors.h"
#include "platform/db/SqlValues.h"
#include "platform/db/jet/JetTranslator.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QSet>

#include <sqlite3.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdint>
#include <functional>
#include <limits>
#include <set>
#include <utility>

namespace platform {

namespace {

// Rowids tried one by one in a damaged stretch of a table that no index
// names (a stretch wider than this is left to the indexes alone).
constexpr std::int64_t kProbeWidth = 1024;
// The deepest b-tree walked; a deeper one can only be a loop of damaged pages.
constexpr int kMaxTreeDepth = 40;

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
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr);
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

// While a statement of the copy runs (a table of a million rows copied, an
// index built over it), the progress is looked at about every kLookMs
// milliseconds; a look answered false interrupts the statement.
class CopyPacing
{
public:
    static constexpr int kLookMs = 50;
    CopyPacing(sqlite3 *db, std::function<bool()> look, bool &stopped)
        : m_db(db), m_look(std::move(look)), m_stopped(stopped)
    {
        if (m_look) {
            m_since.start();
            sqlite3_progress_handler(m_db, 4000, &CopyPacing::onSteps, this);
        }
    }
    ~CopyPacing()
    {
        if (m_look)
            sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
    }
    CopyPacing(const CopyPacing &) = delete;
    CopyPacing &operator=(const CopyPacing &) = delete;
private:
    static int onSteps(void *p)
    {
        auto *pacing = static_cast<CopyPacing *>(p);
        if (pacing->m_stopped)
            return 1;
        if (pacing->m_inLook || pacing->m_since.elapsed() < kLookMs)
            return 0;
        pacing->m_inLook = true;
        pacing->m_stopped = !pacing->m_look();
        pacing->m_inLook = false;
        pacing->m_since.start();
        return pacing->m_stopped ? 1 : 0;
    }

    sqlite3 *m_db;
    std::function<bool()> m_look;
    QElapsedTimer m_since;
    bool m_inLook = false;
    bool &m_stopped; // a look answered false: the statements are interrupted
};

bool isDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_IOERR;
}

// The source file's pages as they lie on disk, for the walk of a damaged
// table's b-tree (the file is held by this workstation alone meanwhile).
class PageReader
{
public:
    PageReader(const QString &path, std::int64_t pageSize) : m_file(path), m_pageSize(pageSize)
    {
        if (m_pageSize < 512 || !m_file.open(QIODevice::ReadOnly))
            m_pageSize = 0;
    }
    // Empty when the page lies beyond the file or cannot be read.
    QByteArray page(std::int64_t number)
    {
        if (m_pageSize == 0 || number < 1 || number > m_file.size() / m_pageSize || !m_file.seek((number - 1) * m_pageSize))
            return QByteArray();
        const QByteArray bytes = m_file.read(m_pageSize);
        return bytes.size() == m_pageSize ? bytes : QByteArray();
    }

private:
    QFile m_file;
    std::int64_t m_pageSize;
};

// A stretch of rowids, both ends included.
struct RowidRange
{
    std::int64_t first;
    std::int64_t last;
};

// The rowid stretches of a table's leaf pages, in order, read from its
// interior pages: each cell of an interior page names a child and the
// largest rowid under it, the page's last pointer the child with the rest.
// A page that is not a sound interior page stands for its whole stretch, so
// the stretches always cover every rowid once.
void leafRanges(PageReader &pages, std::int64_t page, RowidRange range, int depth, QSet<std::int64_t> &seen,
                QList<RowidRange> &out)
{
    QByteArray bytes;
    if (depth < kMaxTreeDepth && !seen.contains(page)) {
        seen.insert(page);
        bytes = pages.page(page);
    }
    const int header = page == 1 ? 100 : 0; // the file header comes first on page 1
    const auto byte = [&bytes](qsizetype at) { return std::uint32_t(uchar(bytes.at(at))); };
    const auto two = [&](qsizetype at) { return byte(at) << 8 | byte(at + 1); };
    const auto four = [&](qsizetype at) { return two(at) << 16 | two(at + 2); };
    constexpr std::uint32_t kInteriorTablePage = 0x05;
    if (bytes.size() < header + 12 || byte(header) != kInteriorTablePage) {
        out.append(range);
        return;
    }
    const qsizetype cells = two(header + 3);
    if (header + 12 + 2 * cells > bytes.size()) {
        out.append(range);
        return;
    }
    QList<std::pair<std::int64_t, std::int64_t>> children; // page, largest rowid under it
    std::int64_t floor = range.first;
    for (qsizetype i = 0; i < cells; ++i) {
        const qsizetype at = two(header + 12 + 2 * i);
        std::uint64_t key = 0;
        qsizetype p = at + 4;
        bool ok = at >= header + 12 && p < bytes.size();
        for (int n = 0; ok; ++n, ++p) {
            if (p >= bytes.size()) {
                ok = false;
            } else if (n == 8) {
                key = key << 8 | byte(p);
                break;
            } else {
                key = key << 7 | (byte(p) & 0x7f);
                if (!(byte(p) & 0x80))
                    break;
            }
        }
        const std::int64_t largest = std::int64_t(key);
        // Keys rise within the page's own stretch, or the page is damaged.
        if (!ok || four(at) == 0 || largest < floor || largest > range.last || (largest == range.last && i + 1 < cells)) {
            out.append(range);
            return;
        }
        children.append({std::int64_t(four(at)), largest});
        floor = largest == range.last ? largest : largest + 1;
    }
    std::int64_t from = range.first;
    for (const auto &[child, largest] : std::as_const(children)) {
        leafRanges(pages, child, {from, largest}, depth + 1, seen, out);
        if (largest == range.last)
            return;
        from = largest + 1;
    }
    leafRanges(pages, four(header + 8), {from, range.last}, depth + 1, seen, out);
}

// The indexes of a table, by name in the source.
QStringList indexesOf(CopyConnection &c, const QString &table, const QList<SchemaRow> &schema)
{
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
    return indexes;
}

// Every rowid that some index of the table names, as far as its pages can
// be read (an index holds the rowid of each entry, so this reads no table
// page).
std::set<std::int64_t> indexedRowids(CopyConnection &c, const QString &table, const QStringList &indexes)
{
    std::set<std::int64_t> rowids;
    for (const QString &index : indexes) {
        sqlite3_stmt *st = nullptr;
        const QByteArray sql = QStringLiteral("SELECT rowid FROM source.%1 INDEXED BY %2")
                                   .arg(sqlvalues::quoteName(table), sqlvalues::quoteName(index))
                                   .toUtf8();
        if (sqlite3_prepare_v2(c.handle(), sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW)
                rowids.insert(sqlite3_column_int64(st, 0));
        }
        sqlite3_finalize(st);
    }
    return rowids;
}

// One prepared statement of the copy, run again and again with other
// rowids bound.
class Prepared
{
public:
    Prepared(CopyConnection &c, const QString &sql) : m_db(c.handle())
    {
        const QByteArray utf8 = sql.toUtf8();
        m_rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &m_st, nullptr);
    }
    ~Prepared() { sqlite3_finalize(m_st); }
    Prepared(const Prepared &) = delete;
    Prepared &operator=(const Prepared &) = delete;

    // Runs it to the end with the numbers bound; SQLite's result code
    // (SQLITE_DONE when it ran).
    int run(const QList<std::int64_t> &numbers)
    {
        if (m_rc != SQLITE_OK)
            return m_rc;
        bind(numbers);
        int rc;
        while ((rc = sqlite3_step(m_st)) == SQLITE_ROW) {
        }
        sqlite3_reset(m_st);
        return rc;
    }
    // Runs it to its first row only, whose first column goes to out:
    // SQLITE_ROW then, SQLITE_DONE when there is none.
    int first(const QList<std::int64_t> &numbers, std::int64_t &out)
    {
        if (m_rc != SQLITE_OK)
            return m_rc;
        bind(numbers);
        const int rc = sqlite3_step(m_st);
        if (rc == SQLITE_ROW)
            out = sqlite3_column_int64(m_st, 0);
        sqlite3_reset(m_st);
        return rc;
    }
    // Rows the last run inserted.
    int changes() const { return sqlite3_changes(m_db); }
    sqlite3 *db() const { return m_db; }

private:
    void bind(const QList<std::int64_t> &numbers)
    {
        sqlite3_reset(m_st);
        int at = 1;
        for (std::int64_t n : numbers)
            sqlite3_bind_int64(m_st, at++, n);
    }

    sqlite3 *m_db;
    sqlite3_stmt *m_st = nullptr;
    int m_rc = SQLITE_OK;
};

// What the copy of one table could not take over, where no index tells.
struct TableLoss
{
    bool complete = true;
    qint64 unreadable = 0;   // rows found whose contents could not be read
    qint64 unreadRowids = 0; // rowids of damaged stretches that may have held a row
    bool unbounded = false;  // a damaged stretch with no known end
};

// Copies the readable rows of one table, keeping their rowids. First all at
// once; when a damaged page stands in the way, stretch by stretch along the
// table's own b-tree (each leaf page's stretch of rowids, read from the
// interior pages), so every sound leaf is copied whole. A stretch that fails
// is read row by row: each next rowid is sought from the last one (a seek
// that stops at its row never steps on into the damaged leaf after it, as
// reading on to the stretch's end does), and each row found is copied alone
// (a row whose overflow page is lost costs only that row). Where the seek
// itself fails the rest of the stretch lies on a damaged page: a narrow rest
// is tried rowid by rowid, a wide one at each rowid an index names. The work
// is bounded by the pages of the file; stillWanted is asked now and then and
// throws to stop.
TableLoss copyRows(CopyConnection &c, const QString &table, const QList<SchemaRow> &schema, PageReader &pages,
                   const std::function<void()> &stillWanted)
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
    Prepared stretch(c, QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM source.%1 WHERE rowid BETWEEN ?1 AND ?2 "
                                       "ORDER BY rowid")
                            .arg(quoted, list));
    Prepared one(c, QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM source.%1 WHERE rowid = ?1").arg(quoted, list));
    Prepared next(c, QStringLiteral("SELECT rowid FROM source.%1 WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid LIMIT 1")
                         .arg(quoted));
    constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kHighest = std::numeric_limits<std::int64_t>::max();

    // True when the statement ran; false on damage; any other failure is the
    // copy's own and stops it.
    const auto sound = [](Prepared &st, int rc) {
        if (rc != SQLITE_DONE && rc != SQLITE_ROW && !isDamage(rc))
            throw dberr::fromConnection(st.db(), rc);
        return rc == SQLITE_DONE || rc == SQLITE_ROW;
    };
    const auto ran = [&](Prepared &st, const QList<std::int64_t> &numbers) { return sound(st, st.run(numbers)); };
    TableLoss loss;
    if (ran(stretch, {kLowest, kHighest}))
        return loss;
    loss.complete = false;

    std::int64_t root = 0;
    std::int64_t highest = kHighest;
    {
        // The table's root page, and the highest rowid it ever gave where
        // SQLite keeps it (an AutoNumber key that is the rowid).
        const QByteArray name = table.toUtf8();
        const auto number = [&](const char *sql, std::int64_t &out) {
            sqlite3_stmt *st = nullptr;
            if (sqlite3_prepare_v2(c.handle(), sql, -1, &st, nullptr) == SQLITE_OK) {
                sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
                if (sqlite3_step(st) == SQLITE_ROW)
                    out = sqlite3_column_int64(st, 0);
            }
            sqlite3_finalize(st);
        };
        number("SELECT rootpage FROM source.sqlite_master WHERE type = 'table' AND name = ?1", root);
        number("SELECT seq FROM source.sqlite_sequence WHERE name = ?1", highest);
    }
    QList<RowidRange> ranges;
    QSet<std::int64_t> seen;
    leafRanges(pages, root, {kLowest, kHighest}, 0, seen, ranges);
    std::set<std::int64_t> indexed;
    bool indexesRead = false;
    int tried = 0;
    const auto now = [&] {
        if (++tried % 256 == 0)
            stillWanted();
    };
    for (const RowidRange &range : std::as_const(ranges)) {
        now();
        if (ran(stretch, {range.first, range.last}))
            continue;
        // Row by row from the stretch's start, as far as the seek reaches.
        std::int64_t from = range.first;
        bool walked = false;
        for (;;) {
            now();
            std::int64_t rowid = 0;
            const int rc = next.first({from, range.last}, rowid);
            if (!sound(next, rc))
                break;
            if (rc == SQLITE_DONE) {
                walked = true;
                break;
            }
            if (!ran(one, {rowid}))
                ++loss.unreadable;
            if (rowid == range.last) {
                walked = true;
                break;
            }
            from = rowid + 1;
        }
        if (walked)
            continue;
        // The rest of the stretch lies on a damaged page.
        if (__int128(range.last) - from < kProbeWidth) {
            for (std::int64_t rowid = from;; ++rowid) {
                now();
                if (!ran(one, {rowid}))
                    ++loss.unreadRowids;
                if (rowid == range.last)
                    break;
            }
            continue;
        }
        if (!indexesRead) {
            indexed = indexedRowids(c, table, indexesOf(c, table, schema));
            indexesRead = true;
        }
        // Rowids that SQLite gives start at 1 and end at the highest given.
        // A stretch that starts past the highest the file records was given
        // all the same: the record lags, and it bounds nothing.
        const bool lagging = highest != kHighest && highest < range.first;
        const std::int64_t low = std::max<std::int64_t>(from, 1);
        const std::int64_t high = lagging ? kHighest : std::min(range.last, highest);
        qint64 kept = 0;
        for (auto it = indexed.lower_bound(from); it != indexed.end() && *it <= range.last; ++it) {
            now();
            if (ran(one, {*it}) && *it >= low && *it <= high)
                kept += one.changes();
        }
        if (high == kHighest)
            loss.unbounded = true;
        else if (high >= low)
            loss.unreadRowids += qint64(high - low + 1) - kept;
    }
    return loss;
}

// The rows of a table that its indexes know and the copy lacks; -1 when no
// index of it can be read.
qint64 countLostRows(CopyConnection &c, const QString &table, const QList<SchemaRow> &schema)
{
    const QString quoted = sqlvalues::quoteName(table);
    qint64 lost = -1;
    for (const QString &index : indexesOf(c, table, schema)) {
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
#ifdef Q_OS_UNIX
    // The copy holds every row of the shop: nobody else reads it while it is
    // made (whoever puts it in place gives it the file's own mode).
    {
        const int fd = ::open(QFile::encodeName(copyPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            dberr::raise(errno == EEXIST ? dberr::DatabaseExists : dberr::DiskOrNetwork);
        ::close(fd);
    }
#endif
    RebuildResult result;
    int done = 0;
    int total = 0;
    bool stopped = false;
    try {
        CopyConnection c(copyPath);
        // A long statement looks at the progress as the step it belongs to
        // (told again with the same step); Stop interrupts it.
        const CopyPacing pacing(c.handle(),
                                progress ? std::function<bool()>([&] { return done == 0 || progress(done - 1, total); })
                                         : std::function<bool()>(),
                                stopped);
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
        total = int(tables.size()) + indexes;
        const auto step = [&] {
            if (progress && !progress(done, total))
                dberr::raise(dberr::OperationCanceled);
            ++done;
        };
        PageReader pages(sourcePath, pageSize);
        const auto stillWanted = [&] {
            if (progress && !progress(done - 1, total))
                dberr::raise(dberr::OperationCanceled);
        };
        for (const QString &table : std::as_const(tables)) {
            step();
            const TableLoss loss = copyRows(c, table, schema, pages, stillWanted);
            if (loss.complete)
                continue;
            // An index still read counts the lost rows exactly; without one
            // the damaged stretches give as many as they can have held.
            RebuildResult::Loss lost{table, countLostRows(c, table, schema)};
            if (lost.rows < 0 && !loss.unbounded) {
                lost.rows = loss.unreadable + loss.unreadRowids;
                lost.atMost = loss.unreadRowids > 0;
            }
            if (lost.rows != 0)
                result.losses.append(lost);
        }
        // AutoNumber counters kept by SQLite itself, where a table has one.
        std::int64_t sequences = 0;
        if (c.tryInteger(QStringLiteral("SELECT count(*) FROM source.sqlite_master WHERE name = 'sqlite_sequence'"),
                         sequences)
            && sequences > 0
            && c.tryInteger(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE name = 'sqlite_sequence'"),
                            sequences)
            && sequences > 0) {
            // The copy's rows set its counters as they went in; a counter of
            // the source that is ahead of them stands (numbers given once are
            // never given again), and one that lags its own rows is brought up
            // to them.
            c.tryRun(QStringLiteral("UPDATE main.sqlite_sequence SET seq = max(seq, coalesce((SELECT max(s.seq) FROM "
                                    "source.sqlite_sequence s WHERE s.name = main.sqlite_sequence.name), 0))"));
            c.tryRun(QStringLiteral("INSERT INTO main.sqlite_sequence (name, seq) SELECT name, seq FROM "
                                    "source.sqlite_sequence WHERE name NOT IN (SELECT name FROM main.sqlite_sequence)"));
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
        // A statement stopped whose failure was let pass (a counter) still
        // stops the copy.
        if (stopped)
            dberr::raise(dberr::OperationCanceled);
        if (progress)
            progress(total, total);
    } catch (...) {
        QFile::remove(copyPath);
        // An interrupted statement is the user's stop, not a fault of the copy.
        if (stopped)
            dberr::raise(dberr::OperationCanceled);
        throw;
    }
    return result;
}

} // namespace platform
