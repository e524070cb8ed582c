#include "platform/db/SchemaEditor.h"

#include "platform/db/DatabaseImpl.h"
#include "platform/db/DbErrors.h"
#include "platform/db/SqlValues.h"
#include "platform/db/WriteScope.h"

#include <sqlite3.h>

namespace platform {

using sqlvalues::quoteName;

namespace {

QString quoteText(const QString &text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

QString autoTrigger(const QString &table)
{
    return QStringLiteral("jet_auto_") + table;
}

QString requiredTrigger(const QString &sqlName, bool onInsert)
{
    return (onInsert ? QStringLiteral("jet_reqi_") : QStringLiteral("jet_requ_")) + sqlName;
}

// A column as CREATE TABLE declares it. The AutoNumber that is the table's
// key may be SQLite's rowid itself: then the declared type is exactly INTEGER
// with PRIMARY KEY, and AUTOINCREMENT keeps SQLite from handing out a number
// again after the rows that held it are deleted.
QString columnDefinition(const FieldDef &f, bool rowidKey = false)
{
    if (rowidKey)
        return quoteName(f.name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    return quoteName(f.name) + QLatin1Char(' ') + sqlvalues::declaredType(f);
}

// The position of a field in a table's layout (names compared without case;
// the last match, as a layout never holds two); 3265 when it is not there.
int fieldPosition(const QList<FieldDef> &layout, const QString &field)
{
    int at = -1;
    for (int i = 0; i < layout.size(); ++i) {
        if (layout[i].name.compare(field, Qt::CaseInsensitive) == 0)
            at = i;
    }
    if (at < 0)
        dberr::raise(dberr::ItemNotFound);
    return at;
}

// Every field of a layout as a quoted column name, in order.
QStringList quotedNames(const QList<FieldDef> &layout)
{
    QStringList names;
    for (const FieldDef &f : layout)
        names.append(quoteName(f.name));
    return names;
}

} // namespace

SchemaEditor::SchemaEditor(Database::Impl &db)
    : m_db(db)
{
    m_db.requireOpen();
    m_db.catalog->refresh();
}

QString SchemaEditor::tableName(const QString &table) const
{
    const FileCatalog::Table *t = m_db.catalog->table(table);
    if (!t)
        dberr::raise(dberr::ItemNotFound);
    return t->name;
}

QList<FieldDef> SchemaEditor::fields(const QString &table) const
{
    const FileCatalog::Table *t = m_db.catalog->table(table);
    if (!t)
        dberr::raise(dberr::ItemNotFound);
    QList<FieldDef> list;
    for (int i = 0; i < t->columns.size(); ++i) {
        FieldDef f;
        f.name = t->columns[i].name;
        f.type = t->columns[i].type;
        f.size = t->columns[i].size;
        f.autoNumber = t->autoNumber[i];
        f.ordinal = i;
        list.append(f);
    }
    return list;
}

QList<SchemaEditor::Index> SchemaEditor::indexes(const QString &table) const
{
    // The fields of an SQLite index, in order (none for a key the rowid serves).
    const auto columns = [this](const QString &sqlName) {
        QStringList names;
        Statement info = m_db.prepare(QStringLiteral("SELECT name FROM pragma_index_info(?1) ORDER BY seqno"));
        info.bind(1, Value(sqlName));
        while (info.step())
            names.append(info.storedValue(0).toString());
        return names;
    };
    QList<Index> list;
    QStringList known;
    if (m_db.catalog->hasMetaTables()) {
        Statement st = m_db.prepare(QStringLiteral(
            "SELECT name, field, sqlname, is_primary, is_unique FROM jet_indexes WHERE tbl = ?1 ORDER BY rowid"));
        st.bind(1, Value(table));
        while (st.step()) {
            Index i;
            i.name = st.storedValue(0).toString();
            i.field = st.storedValue(1).toString();
            i.sqlName = st.storedValue(2).toString();
            i.primary = st.integer(3) != 0;
            i.unique = st.integer(4) != 0;
            i.jet = true;
            // An index on several fields keeps its first in jet_indexes; the
            // SQLite index holds them all.
            i.nextFields = columns(i.sqlName).mid(1);
            known.append(i.sqlName.toLower());
            list.append(i);
        }
    }
    // Indexes made by other means keep their SQLite names.
    Statement other = m_db.prepare(QStringLiteral(
        "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE "
        "AND sql IS NOT NULL ORDER BY rowid"));
    other.bind(1, Value(table));
    while (other.step()) {
        const QString name = other.storedValue(0).toString();
        if (known.contains(name.toLower()))
            continue;
        Index i;
        i.name = name;
        i.sqlName = name;
        i.sql = other.storedValue(1).toString();
        const QStringList names = columns(name);
        if (!names.isEmpty()) {
            i.field = names.first();
            i.nextFields = names.mid(1);
        }
        Statement unique = m_db.prepare(QStringLiteral("SELECT \"unique\" FROM pragma_index_list(?1) WHERE name = ?2"));
        unique.bind(1, Value(table));
        unique.bind(2, Value(name));
        i.unique = unique.step() && unique.integer(0) != 0;
        list.append(i);
    }
    return list;
}

TableDef SchemaEditor::tableDef(const QString &table) const
{
    TableDef def;
    def.name = tableName(table);
    def.fields = fields(def.name);
    for (const Index &i : indexes(def.name))
        def.indexes.append({i.name, i.field, i.primary, i.unique || i.primary, i.nextFields});
    return def;
}

void SchemaEditor::createTable(const TableDef &def)
{
    m_db.requireWritable();
    if (m_db.catalog->table(def.name) || m_db.catalog->queryName(def.name))
        dberr::raise(dberr::TableExists, def.name);
    if (def.name.trimmed().isEmpty() || FileCatalog::isMetaTable(def.name) || def.fields.isEmpty())
        dberr::raise(dberr::InvalidOperation);
    QStringList columns;
    QStringList seen;
    QString counter;
    for (const FieldDef &f : def.fields) {
        if (seen.contains(f.name.toLower()))
            dberr::raise(dberr::FieldDefinedTwice);
        seen.append(f.name.toLower());
        if (f.autoNumber) {
            if (!counter.isEmpty())
                dberr::raise(dberr::InvalidOperation);
            counter = f.name;
        }
        columns.append(columnDefinition(f));
    }
    // An AutoNumber with a primary index on it alone is the rowid.
    bool counterKey = false;
    for (const IndexDef &i : def.indexes) {
        if (i.primary && i.nextFields.isEmpty() && !counter.isEmpty() && i.field.compare(counter, Qt::CaseInsensitive) == 0)
            counterKey = true;
    }
    if (counterKey) {
        for (int c = 0; c < def.fields.size(); ++c) {
            if (def.fields[c].autoNumber)
                columns[c] = columnDefinition(def.fields[c], true);
        }
    }
    WriteScope write(m_db.db, m_db.path);
    FileCatalog::createMetaTables(m_db.db);
    m_db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteName(def.name), columns.join(QStringLiteral(", "))));
    if (!counter.isEmpty() && !counterKey) {
        Statement st = m_db.prepare(QStringLiteral("INSERT OR REPLACE INTO jet_counters (tbl, col, next) VALUES (?1, ?2, 1)"));
        st.bind(1, Value(def.name));
        st.bind(2, Value(counter));
        st.run();
    }
    m_db.catalog->invalidate();
    makeTriggers(def.name);
    for (const IndexDef &i : def.indexes)
        createIndex(def.name, i);
    write.commit();
    m_db.schemaChanged();
}

void SchemaEditor::deleteTable(const QString &table)
{
    m_db.requireWritable();
    const QString name = tableName(table);
    WriteScope write(m_db.db, m_db.path);
    m_db.exec(QStringLiteral("DROP TABLE %1").arg(quoteName(name)));
    if (m_db.catalog->hasMetaTables()) {
        for (const char *sql : {"DELETE FROM jet_counters WHERE tbl = ?1", "DELETE FROM jet_indexes WHERE tbl = ?1"}) {
            Statement st = m_db.prepare(QString::fromUtf8(sql));
            st.bind(1, Value(name));
            st.run();
        }
    }
    write.commit();
    m_db.catalog->invalidate();
    m_db.schemaChanged();
}

void SchemaEditor::addField(const QString &table, const FieldDef &field, int position, const Value &initialValue)
{
    m_db.requireWritable();
    const QString name = tableName(table);
    QList<FieldDef> layout = fields(name);
    for (const FieldDef &f : layout) {
        if (f.name.compare(field.name, Qt::CaseInsensitive) == 0)
            dberr::raise(dberr::FieldDefinedTwice);
        if (field.autoNumber && f.autoNumber)
            dberr::raise(dberr::InvalidOperation);
    }
    if (field.name.trimmed().isEmpty())
        dberr::raise(dberr::InvalidOperation);
    const FieldDef fresh = [&] {
        FieldDef f = field;
        f.size = sqlvalues::parseDeclaredType(sqlvalues::declaredType(f)).size;
        return f;
    }();
    const Value initial = initialValue.isNull() || field.autoNumber
        ? Value()
        : jet::storeAs(initialValue, fresh.type, fresh.size);

    WriteScope write(m_db.db, m_db.path);
    FileCatalog::createMetaTables(m_db.db);
    if (position < 0 || position >= layout.size()) {
        m_db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(quoteName(name), columnDefinition(fresh)));
        if (!initial.isNull()) {
            Statement st = m_db.prepare(QStringLiteral("UPDATE %1 SET %2 = ?1").arg(quoteName(name), quoteName(fresh.name)));
            st.bind(1, initial);
            st.run();
        }
        m_db.catalog->invalidate();
    } else {
        QStringList sources = quotedNames(layout);
        layout.insert(position, fresh);
        sources.insert(position, QStringLiteral("?1"));
        rebuild(name, layout, sources, {initial});
    }
    if (fresh.autoNumber) {
        numberRows(name, fresh.name);
        makeTriggers(name);
    }
    write.commit();
    m_db.schemaChanged();
}

void SchemaEditor::numberRows(const QString &table, const QString &field)
{
    // Existing rows are numbered in the order they were added.
    m_db.exec(QStringLiteral("UPDATE %1 SET %2 = n.k FROM (SELECT rowid AS r, row_number() OVER (ORDER BY rowid) AS k "
                             "FROM %1) AS n WHERE n.r = %1.rowid")
                  .arg(quoteName(table), quoteName(field)));
    Statement st = m_db.prepare(QStringLiteral("INSERT OR REPLACE INTO jet_counters (tbl, col, next) "
                                               "SELECT ?1, ?2, coalesce(max(%2), 0) + 1 FROM %1")
                                    .arg(quoteName(table), quoteName(field)));
    st.bind(1, Value(table));
    st.bind(2, Value(field));
    st.run();
}

void SchemaEditor::deleteField(const QString &table, const QString &field)
{
    m_db.requireWritable();
    const QString name = tableName(table);
    QList<FieldDef> layout = fields(name);
    const int at = fieldPosition(layout, field);
    for (const Index &i : indexes(name)) {
        if ((QStringList(i.field) + i.nextFields).contains(field, Qt::CaseInsensitive))
            dberr::raise(dberr::FieldInIndex);
    }
    if (layout.size() == 1)
        dberr::raise(dberr::InvalidOperation); // a table keeps at least one field
    const bool wasCounter = layout[at].autoNumber;
    layout.removeAt(at);
    QStringList sources = quotedNames(layout);
    WriteScope write(m_db.db, m_db.path);
    rebuild(name, layout, sources, {});
    if (wasCounter && m_db.catalog->hasMetaTables()) {
        Statement st = m_db.prepare(QStringLiteral("DELETE FROM jet_counters WHERE tbl = ?1"));
        st.bind(1, Value(name));
        st.run();
    }
    write.commit();
    m_db.schemaChanged();
}

void SchemaEditor::resizeTextField(const QString &table, const QString &field, int size)
{
    m_db.requireWritable();
    const QString name = tableName(table);
    QList<FieldDef> layout = fields(name);
    const int at = fieldPosition(layout, field);
    if (layout[at].type != FieldType::Text || size < 1 || size > 255)
        dberr::raise(dberr::InvalidOperation);
    // A shorter size must not cut a stored text.
    Statement longer = m_db.prepare(QStringLiteral("SELECT count(*) FROM %1 WHERE length(%2) > ?1")
                                        .arg(quoteName(name), quoteName(layout[at].name)));
    longer.bind(1, Value(size));
    if (longer.step() && longer.integer(0) > 0)
        dberr::raise(dberr::FieldTooSmall);
    longer.reset();
    layout[at].size = size;
    QStringList sources = quotedNames(layout);
    WriteScope write(m_db.db, m_db.path);
    rebuild(name, layout, sources, {});
    write.commit();
    m_db.schemaChanged();
}

void SchemaEditor::moveField(const QString &table, const QString &field, int position)
{
    m_db.requireWritable();
    const QString name = tableName(table);
    QList<FieldDef> layout = fields(name);
    const int at = fieldPosition(layout, field);
    const int to = qBound(0, position, int(layout.size()) - 1);
    if (to == at)
        return;
    layout.move(at, to);
    QStringList sources = quotedNames(layout);
    WriteScope write(m_db.db, m_db.path);
    rebuild(name, layout, sources, {});
    write.commit();
    m_db.schemaChanged();
}

bool SchemaEditor::isRowidCounter(const QString &table, const QString &field) const
{
    const FileCatalog::Table *t = m_db.catalog->table(table);
    return t && t->rowidCounter >= 0 && t->columns[t->rowidCounter].name.compare(field, Qt::CaseInsensitive) == 0;
}

std::int64_t SchemaEditor::lastNumber(const QString &table, const QString &counter, bool rowid) const
{
    // The highest number handed out: the counter's record, or the highest
    // value stored where that is higher.
    const QString kept = rowid ? QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?1")
                               : QStringLiteral("SELECT next - 1 FROM jet_counters WHERE tbl = ?1");
    std::int64_t last = 0;
    if (rowid || m_db.catalog->hasMetaTables()) {
        Statement st = m_db.prepare(kept);
        st.bind(1, Value(table));
        if (st.step())
            last = st.integer(0);
    }
    Statement top = m_db.prepare(QStringLiteral("SELECT coalesce(max(%1), 0) FROM %2").arg(quoteName(counter), quoteName(table)));
    if (top.step())
        last = std::max<std::int64_t>(last, top.integer(0));
    return last;
}

void SchemaEditor::keepLastNumber(const QString &table, std::int64_t last)
{
    // The one record of a rowid AutoNumber is SQLite's own; jet_counters
    // keeps none for the table.
    Statement raise = m_db.prepare(QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?2) WHERE name = ?1"));
    raise.bindAll({Value(table), Value(last, FieldType::Long)});
    raise.run();
    if (sqlite3_changes(m_db.db) == 0 && last > 0) {
        Statement add = m_db.prepare(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?1, ?2)"));
        add.bindAll({Value(table), Value(last, FieldType::Long)});
        add.run();
    }
    if (m_db.catalog->hasMetaTables()) {
        Statement drop = m_db.prepare(QStringLiteral("DELETE FROM jet_counters WHERE tbl = ?1"));
        drop.bind(1, Value(table));
        drop.run();
    }
}

void SchemaEditor::rebuild(const QString &table, const QList<FieldDef> &layout, const QStringList &sources,
                           const QList<Value> &bound, Counter mode)
{
    const QList<Index> kept = indexes(table);
    const QString scratch = QStringLiteral("jet_rebuild");
    // A rowid AutoNumber stays the rowid unless asked otherwise.
    QString counter;
    QString rowidKey;
    bool wasRowid = false;
    for (const FieldDef &f : layout) {
        if (!f.autoNumber)
            continue;
        counter = f.name;
        wasRowid = isRowidCounter(table, f.name);
        if (mode == Counter::ToRowid || (mode == Counter::Keep && wasRowid))
            rowidKey = f.name;
    }
    const bool moves = !counter.isEmpty() && wasRowid != !rowidKey.isEmpty();
    const std::int64_t last = !rowidKey.isEmpty() || moves ? lastNumber(table, counter, wasRowid) : 0;
    QStringList definitions;
    QStringList names;
    for (const FieldDef &f : layout) {
        definitions.append(columnDefinition(f, !rowidKey.isEmpty() && f.name == rowidKey));
        names.append(quoteName(f.name));
    }
    m_db.exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoteName(scratch)));
    m_db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteName(scratch), definitions.join(QStringLiteral(", "))));
    {
        // The rowid goes along, so the rows keep their identity (and order);
        // where the AutoNumber is the rowid, it is the identity, and the rows
        // go in its order (which fills the pages).
        const QString sql = rowidKey.isEmpty()
            ? QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT rowid, %3 FROM %4")
            : QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 ORDER BY ") + quoteName(rowidKey);
        Statement copy = m_db.prepare(sql.arg(quoteName(scratch), names.join(QStringLiteral(", ")),
                                              sources.join(QStringLiteral(", ")), quoteName(table)));
        copy.bindAll(bound);
        copy.run();
    }
    m_db.exec(QStringLiteral("DROP TABLE %1").arg(quoteName(table)));
    m_db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoteName(scratch), quoteName(table)));
    if (!rowidKey.isEmpty()) {
        keepLastNumber(table, last);
    } else if (moves) {
        // Back to a counter column: jet_counters holds the next number.
        FileCatalog::createMetaTables(m_db.db);
        Statement st = m_db.prepare(QStringLiteral("INSERT OR REPLACE INTO jet_counters (tbl, col, next) VALUES (?1, ?2, ?3)"));
        st.bindAll({Value(table), Value(counter), Value(last + 1, FieldType::Long)});
        st.run();
    }
    m_db.catalog->invalidate();
    for (const Index &i : kept)
        makeIndex(table, i);
    makeTriggers(table);
}

void SchemaEditor::makeIndex(const QString &table, const Index &index)
{
    if (!index.jet) {
        m_db.exec(index.sql);
        return;
    }
    // The rowid is the primary index of its AutoNumber.
    if (index.primary && isRowidCounter(table, index.field))
        return;
    QStringList columns;
    for (const QString &field : QStringList(index.field) + index.nextFields)
        columns.append(quoteName(field));
    m_db.exec(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                  .arg(index.unique || index.primary ? QStringLiteral("UNIQUE ") : QString(),
                       quoteName(index.sqlName), quoteName(table), columns.join(QStringLiteral(", "))));
}

void SchemaEditor::makeTriggers(const QString &table)
{
    const FileCatalog::Table *t = m_db.catalog->table(table);
    if (!t)
        return;
    const QString name = t->name;
    QString counter;
    for (int i = 0; i < t->columns.size(); ++i) {
        if (t->autoNumber[i] && i != t->rowidCounter)
            counter = t->columns[i].name;
    }
    m_db.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(quoteName(autoTrigger(name))));
    if (!counter.isEmpty()) {
        const QString q = quoteName(name);
        const QString c = quoteName(counter);
        const QString n = quoteText(name);
        m_db.exec(QStringLiteral(
                      "CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN "
                      "UPDATE %2 SET %3 = (SELECT next FROM jet_counters WHERE tbl = %4) "
                      "WHERE rowid = NEW.rowid AND NEW.%3 IS NULL; "
                      "UPDATE jet_counters SET next = max(next, (SELECT %3 FROM %2 WHERE rowid = NEW.rowid) + 1) "
                      "WHERE tbl = %4; END")
                      .arg(quoteName(autoTrigger(name)), q, c, n));
    }
    if (!m_db.catalog->hasMetaTables())
        return;
    for (const Index &i : indexes(name)) {
        if (!i.primary)
            continue;
        const int column = t->columnIndex(i.field);
        const QString raise = QStringLiteral("SELECT RAISE(ABORT, %1); END")
                                  .arg(quoteText(QStringLiteral("JET 3058: ") + dberr::text(dberr::NullInIndex)));
        m_db.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(quoteName(requiredTrigger(i.sqlName, true))));
        m_db.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(quoteName(requiredTrigger(i.sqlName, false))));
        // An AutoNumber arrives without a value and gets one after the insert.
        if (column < 0 || !t->autoNumber[column]) {
            m_db.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT ON %2 WHEN NEW.%3 IS NULL BEGIN %4")
                          .arg(quoteName(requiredTrigger(i.sqlName, true)), quoteName(name), quoteName(i.field), raise));
        }
        m_db.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE UPDATE OF %3 ON %2 WHEN NEW.%3 IS NULL BEGIN %4")
                      .arg(quoteName(requiredTrigger(i.sqlName, false)), quoteName(name), quoteName(i.field), raise));
    }
}

void SchemaEditor::createIndex(const QString &table, const IndexDef &def)
{
    m_db.requireWritable();
    const QString name = tableName(table);
    const FileCatalog::Table *t = m_db.catalog->table(name);
    const int column = t->columnIndex(def.field);
    if (column < 0 || def.name.trimmed().isEmpty())
        dberr::raise(dberr::ItemNotFound);
    // A primary index is on one field (the key's required-value triggers
    // and the rowid AutoNumber rest on that).
    if (def.primary && !def.nextFields.isEmpty())
        dberr::raise(dberr::InvalidOperation);
    QStringList nextFields;
    for (const QString &field : def.nextFields) {
        const int next = t->columnIndex(field);
        if (next < 0)
            dberr::raise(dberr::ItemNotFound);
        nextFields.append(t->columns[next].name);
    }
    const QList<Index> existing = indexes(name);
    for (const Index &i : existing) {
        if (i.name.compare(def.name, Qt::CaseInsensitive) == 0)
            dberr::raise(dberr::IndexExists);
    }
    if (def.primary) {
        for (const Index &i : existing) {
            if (i.primary)
                dberr::raise(dberr::PrimaryKeyExists);
        }
    }
    Index index;
    index.name = def.name;
    index.field = t->columns[column].name;
    index.nextFields = nextFields;
    index.primary = def.primary;
    index.unique = def.unique || def.primary;
    index.jet = true;

    WriteScope write(m_db.db, m_db.path);
    FileCatalog::createMetaTables(m_db.db);
    if (def.primary) {
        Statement nulls = m_db.prepare(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NULL")
                                           .arg(quoteName(name), quoteName(index.field)));
        if (nulls.step() && nulls.integer(0) > 0)
            dberr::raise(dberr::NullInIndex);
        nulls.reset();
        // The primary index of an AutoNumber makes it the rowid; a repeated
        // value fails the copy with 3022, as it would fail a unique index.
        if (t->autoNumber[column] && t->rowidCounter < 0) {
            const QList<FieldDef> layout = fields(name);
            try {
                rebuild(name, layout, quotedNames(layout), {}, Counter::ToRowid);
            } catch (...) {
                m_db.catalog->invalidate();
                throw;
            }
        }
    }
    // A name unique in the file: the table's and the index's names (also
    // those kept for indexes that the rowid serves).
    const QString base = QStringLiteral("%1_%2").arg(name, def.name);
    index.sqlName = base;
    for (int n = 2;; ++n) {
        Statement used = m_db.prepare(QStringLiteral("SELECT (SELECT count(*) FROM sqlite_master WHERE name = ?1 COLLATE NOCASE) "
                                                     "+ (SELECT count(*) FROM jet_indexes WHERE sqlname = ?1 COLLATE NOCASE)"));
        used.bind(1, Value(index.sqlName));
        if (!used.step() || used.integer(0) == 0)
            break;
        index.sqlName = QStringLiteral("%1_%2").arg(base).arg(n);
    }
    makeIndex(name, index);
    Statement add = m_db.prepare(QStringLiteral(
        "INSERT INTO jet_indexes (tbl, name, field, sqlname, is_primary, is_unique) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    add.bindAll({Value(name), Value(index.name), Value(index.field), Value(index.sqlName), Value(index.primary ? 1 : 0),
                 Value(index.unique ? 1 : 0)});
    add.run();
    m_db.catalog->invalidate();
    if (index.primary)
        makeTriggers(name);
    write.commit();
    m_db.schemaChanged();
}

void SchemaEditor::deleteIndex(const QString &table, const QString &indexName)
{
    m_db.requireWritable();
    const QString name = tableName(table);
    for (const Index &i : indexes(name)) {
        if (i.name.compare(indexName, Qt::CaseInsensitive) != 0)
            continue;
        WriteScope write(m_db.db, m_db.path);
        m_db.exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(quoteName(i.sqlName)));
        m_db.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(quoteName(requiredTrigger(i.sqlName, true))));
        m_db.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(quoteName(requiredTrigger(i.sqlName, false))));
        if (i.jet) {
            Statement st = m_db.prepare(QStringLiteral("DELETE FROM jet_indexes WHERE sqlname = ?1"));
            st.bind(1, Value(i.sqlName));
            st.run();
        }
        // Without its primary index the AutoNumber is a column again.
        if (i.primary && isRowidCounter(name, i.field)) {
            const QList<FieldDef> layout = fields(name);
            rebuild(name, layout, quotedNames(layout), {}, Counter::ToColumn);
        }
        write.commit();
        m_db.catalog->invalidate();
        m_db.schemaChanged();
        return;
    }
    dberr::raise(dberr::ItemNotFound);
}

int SchemaEditor::queryType(const QString &jetSql, int translatedKind)
{
    switch (jet::Translation::Kind(translatedKind)) {
    case jet::Translation::Kind::Crosstab: return 16;
    case jet::Translation::Kind::Delete: return 32;
    case jet::Translation::Kind::Update: return 48;
    case jet::Translation::Kind::Insert: return 64;
    case jet::Translation::Kind::Select: break;
    }
    // A select that joins others with UNION (outside quotes and brackets).
    QChar closing;
    QString word;
    for (const QChar c : jetSql + QLatin1Char(' ')) {
        if (!closing.isNull()) {
            if (c == closing)
                closing = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            closing = c;
        } else if (c == QLatin1Char('[')) {
            closing = QLatin1Char(']');
        } else if (c.isLetterOrNumber() || c == QLatin1Char('_')) {
            word.append(c);
            continue;
        }
        if (word.compare(QLatin1String("UNION"), Qt::CaseInsensitive) == 0)
            return 128;
        word.clear();
    }
    return 0;
}

void SchemaEditor::createQuery(const QString &name, const QString &jetSql)
{
    m_db.requireWritable();
    if (name.trimmed().isEmpty())
        dberr::raise(dberr::InvalidOperation);
    if (m_db.catalog->queryName(name) || m_db.catalog->table(name))
        dberr::raise(dberr::ObjectExists, name);
    // The text must translate and prepare before it is kept.
    const jet::Translation t = m_db.translateSavedQuery(jetSql);
    m_db.prepare(t.kind == jet::Translation::Kind::Crosstab ? t.pivotValuesSql : t.sql);
    WriteScope write(m_db.db, m_db.path);
    FileCatalog::createMetaTables(m_db.db);
    Statement st = m_db.prepare(QStringLiteral("INSERT INTO jet_queries (name, sql, type) VALUES (?1, ?2, ?3)"));
    st.bindAll({Value(name), Value(jetSql), Value(queryType(jetSql, int(t.kind)))});
    st.run();
    bumpSchemaVersion();
    write.commit();
    m_db.catalog->invalidate();
    m_db.schemaChanged();
}

void SchemaEditor::setQuerySql(const QString &name, const QString &jetSql)
{
    m_db.requireWritable();
    const std::optional<QString> stored = m_db.catalog->queryName(name);
    if (!stored)
        dberr::raise(dberr::ItemNotFound);
    const jet::Translation t = m_db.translateSavedQuery(jetSql);
    m_db.prepare(t.kind == jet::Translation::Kind::Crosstab ? t.pivotValuesSql : t.sql);
    WriteScope write(m_db.db, m_db.path);
    Statement st = m_db.prepare(QStringLiteral("UPDATE jet_queries SET sql = ?2, type = ?3 WHERE name = ?1"));
    st.bindAll({Value(*stored), Value(jetSql), Value(queryType(jetSql, int(t.kind)))});
    st.run();
    bumpSchemaVersion();
    write.commit();
    m_db.catalog->invalidate();
    m_db.schemaChanged();
}

void SchemaEditor::deleteQuery(const QString &name)
{
    m_db.requireWritable();
    const std::optional<QString> stored = m_db.catalog->queryName(name);
    if (!stored)
        dberr::raise(dberr::ItemNotFound);
    WriteScope write(m_db.db, m_db.path);
    Statement st = m_db.prepare(QStringLiteral("DELETE FROM jet_queries WHERE name = ?1"));
    st.bind(1, Value(*stored));
    st.run();
    bumpSchemaVersion();
    write.commit();
    m_db.catalog->invalidate();
    m_db.schemaChanged();
}

void SchemaEditor::bumpSchemaVersion()
{
    // Saved queries are part of the schema other connections translate
    // against: a change of them moves the file's schema version too.
    m_db.exec(QStringLiteral("CREATE TABLE jet_bump (x)"));
    m_db.exec(QStringLiteral("DROP TABLE jet_bump"));
}

} // namespace platform
