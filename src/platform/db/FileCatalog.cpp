#include "platform/db/FileCatalog.h"

#include "platform/db/SqlValues.h"
#include "platform/db/Statement.h"

#include <sqlite3.h>

namespace platform {

namespace {

const char kMetaPrefix[] = "jet_";

// Whether a table's CREATE statement says AUTOINCREMENT outside names, texts
// and comments (SQLite allows it only on the INTEGER PRIMARY KEY column).
bool saysAutoincrement(const QString &sql)
{
    const QString keyword = QStringLiteral("AUTOINCREMENT");
    QChar closing;
    QString word;
    for (qsizetype i = 0; i <= sql.size(); ++i) {
        const QChar c = i < sql.size() ? sql[i] : QChar(QLatin1Char(' '));
        if (!closing.isNull()) {
            if (c == closing)
                closing = QChar();
            continue;
        }
        if (c.isLetterOrNumber() || c == QLatin1Char('_')) {
            word.append(c);
            continue;
        }
        if (word.compare(keyword, Qt::CaseInsensitive) == 0)
            return true;
        word.clear();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('`'))
            closing = c;
        else if (c == QLatin1Char('['))
            closing = QLatin1Char(']');
        else if (c == QLatin1Char('-') && i + 1 < sql.size() && sql[i + 1] == QLatin1Char('-'))
            closing = QLatin1Char('\n');
    }
    return false;
}

} // namespace

int FileCatalog::Table::columnIndex(const QString &column) const
{
    // Names are nearly always given as the file spells them.
    const auto exact = byName.constFind(column);
    if (exact != byName.constEnd())
        return *exact;
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

FileCatalog::FileCatalog(sqlite3 *db)
    : m_db(db)
{
}

void FileCatalog::refresh()
{
    if (!m_version.isValid())
        m_version = Statement(m_db, QStringLiteral("PRAGMA schema_version"));
    qint64 version = 0;
    try {
        version = m_version.step() ? m_version.integer(0) : 0;
    } catch (...) {
        m_version = Statement();
        throw;
    }
    m_version.reset();
    if (version != m_schemaVersion) {
        m_schemaVersion = version;
        invalidate();
    }
}

void FileCatalog::invalidate()
{
    m_tables.clear();
    m_tableKeys.clear();
    m_queries.clear();
    m_hasMeta = -1;
    m_queryName = Statement();
    ++m_generation;
}

const FileCatalog::Table *FileCatalog::table(const QString &name) const
{
    // Lower-casing a long text costs more than looking it up as asked.
    auto known = m_tableKeys.constFind(name);
    if (known == m_tableKeys.constEnd()) {
        if (m_tableKeys.size() >= 4000)
            m_tableKeys.clear();
        known = m_tableKeys.insert(name, name.toLower());
    }
    const QString key = *known;
    auto it = m_tables.constFind(key);
    if (it == m_tables.constEnd()) {
        std::optional<Table> found;
        Statement named(m_db, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE"));
        named.bind(1, Value(name));
        if (named.step() && !isMetaTable(name)) {
            Table t;
            t.name = named.storedValue(0).toString();
            const bool autoincrement = saysAutoincrement(named.storedValue(1).toString());
            Statement info(m_db, QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1) ORDER BY cid"));
            info.bind(1, Value(t.name));
            int keyColumns = 0;
            int key = -1;
            while (info.step()) {
                const QString declared = info.storedValue(1).toString();
                const sqlvalues::DeclaredType d = sqlvalues::parseDeclaredType(declared);
                t.columns.append({info.storedValue(0).toString(), d.type, d.size});
                t.byName.insert(t.columns.last().name, int(t.columns.size()) - 1);
                t.autoNumber.append(d.autoNumber);
                if (info.integer(2) > 0) {
                    ++keyColumns;
                    if (declared.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                        key = int(t.columns.size()) - 1;
                }
            }
            // An AutoNumber kept as the rowid: a Long counter, whatever
            // SQLite's spelling of the type says.
            if (autoincrement && keyColumns == 1 && key >= 0) {
                t.columns[key].type = FieldType::Long;
                t.columns[key].size = sqlvalues::fixedSize(FieldType::Long);
                t.autoNumber[key] = true;
                t.rowidCounter = key;
            }
            found = t;
        }
        it = m_tables.insert(key, found);
    }
    return it->has_value() ? &**it : nullptr;
}

std::optional<QList<jet::SchemaCatalog::Column>> FileCatalog::tableColumns(const QString &name) const
{
    const Table *t = table(name);
    if (!t)
        return std::nullopt;
    return t->columns;
}

bool FileCatalog::hasMetaTables() const
{
    if (m_hasMeta < 0) {
        Statement st(m_db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'jet_queries'"));
        m_hasMeta = st.step() && st.integer(0) > 0 ? 1 : 0;
    }
    return m_hasMeta == 1;
}

std::optional<QString> FileCatalog::savedQuery(const QString &name) const
{
    const QString key = name.toLower();
    auto it = m_queries.constFind(key);
    if (it == m_queries.constEnd()) {
        std::optional<QString> text;
        if (hasMetaTables()) {
            Statement st(m_db, QStringLiteral("SELECT sql FROM jet_queries WHERE name = ?1"));
            st.bind(1, Value(name));
            if (st.step())
                text = st.storedValue(0).toString();
        }
        it = m_queries.insert(key, text);
    }
    return *it;
}

std::optional<QString> FileCatalog::queryName(const QString &name) const
{
    if (!hasMetaTables())
        return std::nullopt;
    if (!m_queryName.isValid())
        m_queryName = Statement(m_db, QStringLiteral("SELECT name FROM jet_queries WHERE name = ?1"));
    m_queryName.bind(1, Value(name));
    std::optional<QString> found;
    try {
        if (m_queryName.step())
            found = m_queryName.storedValue(0).toString();
    } catch (...) {
        m_queryName = Statement();
        throw;
    }
    m_queryName.reset();
    return found;
}

QStringList FileCatalog::tableNames() const
{
    QStringList names;
    Statement st(m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                      "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name COLLATE NOCASE"));
    while (st.step()) {
        const QString n = st.storedValue(0).toString();
        if (!isMetaTable(n))
            names.append(n);
    }
    return names;
}

QStringList FileCatalog::queryNames() const
{
    QStringList names;
    if (!hasMetaTables())
        return names;
    Statement st(m_db, QStringLiteral("SELECT name FROM jet_queries ORDER BY name COLLATE NOCASE"));
    while (st.step())
        names.append(st.storedValue(0).toString());
    return names;
}

QList<std::pair<QString, int>> FileCatalog::queryDefs() const
{
    QList<std::pair<QString, int>> defs;
    if (!hasMetaTables())
        return defs;
    Statement st(m_db, QStringLiteral("SELECT name, type FROM jet_queries ORDER BY name COLLATE NOCASE"));
    while (st.step())
        defs.append({st.storedValue(0).toString(), int(st.integer(1))});
    return defs;
}

bool FileCatalog::isMetaTable(const QString &name)
{
    return name.startsWith(QLatin1String(kMetaPrefix), Qt::CaseInsensitive);
}

void FileCatalog::createMetaTables(sqlite3 *db)
{
    const char *ddl[] = {
        "CREATE TABLE IF NOT EXISTS jet_counters (tbl TEXT NOT NULL COLLATE NOCASE UNIQUE, "
        "col TEXT NOT NULL, next INTEGER NOT NULL)",
        "CREATE TABLE IF NOT EXISTS jet_indexes (tbl TEXT NOT NULL COLLATE NOCASE, "
        "name TEXT NOT NULL COLLATE NOCASE, field TEXT NOT NULL, sqlname TEXT NOT NULL UNIQUE, "
        "is_primary INTEGER NOT NULL, is_unique INTEGER NOT NULL, UNIQUE (tbl, name))",
        "CREATE TABLE IF NOT EXISTS jet_queries (name TEXT NOT NULL COLLATE NOCASE UNIQUE, "
        "sql TEXT NOT NULL, type INTEGER NOT NULL)",
    };
    for (const char *sql : ddl)
        Statement(db, QString::fromUtf8(sql)).run();
}

} // namespace platform
