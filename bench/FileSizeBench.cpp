// The size of the sample shop's file beside a plain SQLite file holding the
// same rows with the same indexes. The plain file is what a developer writing
// straight to SQLite would keep: every table of the shop with the same
// columns and the same declared types (so every value is stored exactly as in
// ours), an AutoNumber key as the rowid (INTEGER PRIMARY KEY), every other
// index of the shop, and nothing else (no triggers, no metadata tables); it is
// written in one go, so its pages are full. The sizes are reported as
// counters (file_bytes); the time of each run means nothing.
#include "BenchSupport.h"
#include "platform/db/RebuildCopy.h"

#include <benchmark/benchmark.h>

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QStringList>
#include <QtCore/QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <optional>

namespace {

class Connection
{
public:
    Connection(const QString &path, int flags)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), sqlite3_errmsg(m_db));
            sqlite3_close_v2(m_db);
            m_db = nullptr;
        }
    }
    ~Connection() { sqlite3_close_v2(m_db); }
    bool ok() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }

    bool run(const QString &sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) == SQLITE_OK)
            return true;
        std::fprintf(stderr, "%s: %s\n", error ? error : "?", qPrintable(sql));
        sqlite3_free(error);
        return false;
    }
    // Every row of a statement, each as texts.
    QList<QStringList> rows(const QString &sql)
    {
        QList<QStringList> out;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "%s: %s\n", sqlite3_errmsg(m_db), qPrintable(sql));
            return out;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)));
            out << row;
        }
        sqlite3_finalize(st);
        return out;
    }
    qint64 number(const QString &sql)
    {
        const QList<QStringList> r = rows(sql);
        return r.isEmpty() || r.first().isEmpty() ? 0 : r.first().first().toLongLong();
    }

private:
    sqlite3 *m_db = nullptr;
};

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// A text as an SQL literal.
QString literal(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

struct Sizes
{
    qint64 ours = 0;
    qint64 plain = 0;
    qint64 compacted = 0;
    // Where ours differs: the layer's own tables, pages not filled, pages
    // free, and indexes the plain file does without (AutoNumber keys kept as
    // a column with a unique index, in files made before they were the rowid).
    qint64 meta = 0;
    qint64 unused = 0;
    qint64 freePages = 0;
    qint64 keyIndexes = 0;
    bool ok = false;
};

// The plain file of the shop's rows; false when it could not be made.
bool makePlainFile(const QString &shopPath, const QString &plainPath, qint64 &keyIndexBytes)
{
    Connection plain(plainPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI);
    if (!plain.ok())
        return false;
    const QString shopUri = QStringLiteral("file:%1?mode=ro").arg(QString(shopPath).replace(QLatin1Char('?'), QLatin1String("%3f")));
    if (!plain.run(QStringLiteral("ATTACH DATABASE %1 AS shop").arg(literal(shopUri))))
        return false;
    plain.run(QStringLiteral("PRAGMA main.page_size = %1").arg(plain.number(QStringLiteral("PRAGMA shop.page_size"))));
    plain.run(QStringLiteral("PRAGMA main.journal_mode = OFF"));
    plain.run(QStringLiteral("PRAGMA main.synchronous = OFF"));
    const bool jetIndexes = plain.number(QStringLiteral("SELECT count(*) FROM shop.sqlite_master WHERE name = 'jet_indexes'")) > 0;

    QStringList tables;
    for (const QStringList &r : plain.rows(QStringLiteral(
             "SELECT name FROM shop.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
             "AND name NOT LIKE 'jet\\_%' ESCAPE '\\' ORDER BY rowid")))
        tables << r.first();

    static const QRegularExpression collation(QStringLiteral("\\s+COLLATE\\s+\\w+"), QRegularExpression::CaseInsensitiveOption);
    plain.run(QStringLiteral("BEGIN"));
    QHash<QString, QString> keyOf; // table -> its AutoNumber key (the plain file's rowid)
    for (const QString &table : std::as_const(tables)) {
        // The AutoNumber key: the rowid already, or a counter column whose
        // primary index is on it alone.
        QString key;
        const QList<QStringList> columns =
            plain.rows(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(%1, 'shop') ORDER BY cid").arg(literal(table)));
        for (const QStringList &c : columns) {
            if (c[2] == QLatin1String("1") && c[1].compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                key = c[0];
        }
        if (key.isEmpty() && jetIndexes) {
            for (const QStringList &c : columns) {
                if (!c[1].startsWith(QLatin1String("COUNTER"), Qt::CaseInsensitive))
                    continue;
                if (plain.number(QStringLiteral("SELECT count(*) FROM shop.jet_indexes WHERE tbl = %1 AND field = %2 "
                                                "AND is_primary = 1").arg(literal(table), literal(c[0]))) > 0)
                    key = c[0];
            }
        }
        QStringList definitions;
        QStringList names;
        for (const QStringList &c : columns) {
            names << quoted(c[0]);
            definitions << quoted(c[0]) + QLatin1Char(' ')
                               + (c[0] == key ? QStringLiteral("INTEGER PRIMARY KEY") : QString(c[1]).remove(collation));
        }
        if (!plain.run(QStringLiteral("CREATE TABLE main.%1 (%2)").arg(quoted(table), definitions.join(QStringLiteral(", ")))))
            return false;
        const QString order = key.isEmpty() ? QStringLiteral("rowid") : quoted(key);
        if (!plain.run(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM shop.%1 ORDER BY %3")
                           .arg(quoted(table), names.join(QStringLiteral(", ")), order)))
            return false;
        if (!key.isEmpty())
            keyOf.insert(table.toLower(), key);
    }
    // The same indexes, but one on the AutoNumber key alone (the rowid serves).
    keyIndexBytes = 0;
    for (const QStringList &r : plain.rows(QStringLiteral(
             "SELECT name, tbl_name, sql FROM shop.sqlite_master WHERE type = 'index' AND sql IS NOT NULL "
             "AND tbl_name NOT LIKE 'jet\\_%' ESCAPE '\\' ORDER BY rowid"))) {
        const QString &index = r[0];
        const QString key = keyOf.value(r[1].toLower());
        const QList<QStringList> fields = plain.rows(
            QStringLiteral("SELECT name FROM pragma_index_info(%1, 'shop')").arg(literal(index)));
        if (!key.isEmpty() && fields.size() == 1 && fields.first().first().compare(key, Qt::CaseInsensitive) == 0) {
            keyIndexBytes += plain.number(QStringLiteral("SELECT sum(pgsize) FROM dbstat('shop') WHERE name = %1").arg(literal(index)));
            continue;
        }
        if (!plain.run(r[2]))
            return false;
    }
    plain.run(QStringLiteral("COMMIT"));
    plain.run(QStringLiteral("DETACH DATABASE shop"));
    return true;
}

const Sizes &sizes()
{
    static const Sizes s = [] {
        Sizes out;
        const QString shop = BenchSampleShop();
        static QTemporaryDir dir;
        if (!QFile::exists(shop) || !dir.isValid())
            return out;
        out.ours = QFileInfo(shop).size();
        const QString plainPath = dir.filePath(QStringLiteral("plain.db"));
        if (!makePlainFile(shop, plainPath, out.keyIndexes))
            return out;
        out.plain = QFileInfo(plainPath).size();
        {
            Connection c(QStringLiteral("file:%1?mode=ro").arg(shop), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
            out.meta = c.number(QStringLiteral("SELECT coalesce(sum(pgsize), 0) FROM dbstat WHERE name LIKE 'jet\\_%' ESCAPE '\\' "
                                               "OR name IN (SELECT name FROM sqlite_master WHERE tbl_name LIKE 'jet\\_%' ESCAPE '\\') "
                                               "OR name = 'sqlite_sequence'"));
            out.unused = c.number(QStringLiteral("SELECT coalesce(sum(unused), 0) FROM dbstat"));
            out.freePages = c.number(QStringLiteral("PRAGMA freelist_count")) * c.number(QStringLiteral("PRAGMA page_size"));
        }
        // What compaction makes of it.
        const QString compacted = dir.filePath(QStringLiteral("compacted.mdb"));
        try {
            platform::RebuildCopy(shop, compacted);
            out.compacted = QFileInfo(compacted).size();
        } catch (...) {
            out.compacted = 0;
        }
        out.ok = true;
        return out;
    }();
    return s;
}

void report(benchmark::State &state, qint64 bytes)
{
    const Sizes &s = sizes();
    if (!s.ok) {
        state.SkipWithError("the sample shop or its plain copy could not be made");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(bytes);
    state.counters["file_bytes"] = double(bytes);
    state.counters["ratio_to_plain"] = s.plain > 0 ? double(bytes) / double(s.plain) : 0.0;
}

void BM_FileSizeSample(benchmark::State &state)
{
    const Sizes &s = sizes();
    report(state, s.ours);
    state.counters["meta_bytes"] = double(s.meta);
    state.counters["unused_bytes"] = double(s.unused);
    state.counters["free_page_bytes"] = double(s.freePages);
    state.counters["key_index_bytes"] = double(s.keyIndexes);
}
BENCHMARK(BM_FileSizeSample)->Iterations(1);

void BM_FileSizeCompacted(benchmark::State &state)
{
    report(state, sizes().compacted);
}
BENCHMARK(BM_FileSizeCompacted)->Iterations(1);

void BM_FileSizePlainSqlite(benchmark::State &state)
{
    report(state, sizes().plain);
}
BENCHMARK(BM_FileSizePlainSqlite)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, false);
}
