#pragma once

#include "platform/Value.h"
#include "platform/db/TableDef.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include "platform/db/Database.h"

namespace platform {

// The table-definition operations of an open database: tables with Jet types
// and AutoNumber counters, fields added, moved, resized and deleted, indexes
// on one field or several under their Jet names, and saved queries.
//
// SQLite cannot move or resize a column in place; such a change rebuilds the
// table in one transaction: a new table with the new layout, every row copied
// with its rowid and its values exactly as stored ('' stays '', Null stays
// Null), the old table dropped, the new one renamed, and every index and
// trigger made again.
//
// AutoNumber, two layouts. An AutoNumber that is its table's primary key (a
// primary index on it alone) is SQLite's rowid: declared INTEGER PRIMARY KEY
// AUTOINCREMENT, so it needs no index of its own, and sqlite_sequence holds
// the last number handed out (SQLite gives a row without a value the next one
// and moves it past any explicit value). Any other AutoNumber, and the keys of
// files made before until their primary index is made again, is declared
// COUNTER and a row of jet_counters holds the next value; an AFTER INSERT
// trigger gives a row that arrives without a value the next one and raises
// the counter past any explicit value. Either way values are never reused,
// and a recordset's AddNew takes its value at once. Making the primary index
// of an AutoNumber rebuilds the table with it as the rowid (the rows are then
// in its order; a repeated value fails with 3022 as a unique index would);
// deleting that index rebuilds it with the counter as a column again, so that
// the field takes repeated values as any unindexed field does. Compaction
// copies either layout as it is. A rowid AutoNumber set to Null fails as a
// type mismatch (3464): SQLite checks that before the 3058 trigger runs.
//
// Keys are unique indexes, never PRIMARY KEY (but for the rowid AutoNumber);
// a primary index is also required, which two triggers enforce (3058). The
// Jet name of every index the layer makes is kept in jet_indexes beside its
// SQLite name; a primary index served by the rowid has no SQLite index.
class SchemaEditor
{
public:
    explicit SchemaEditor(Database::Impl &db);

    TableDef tableDef(const QString &table) const;
    void createTable(const TableDef &def);
    void deleteTable(const QString &table);
    void addField(const QString &table, const FieldDef &field, int position, const Value &initialValue);
    void deleteField(const QString &table, const QString &field);
    void resizeTextField(const QString &table, const QString &field, int size);
    void moveField(const QString &table, const QString &field, int position);
    void createIndex(const QString &table, const IndexDef &index);
    void deleteIndex(const QString &table, const QString &indexName);
    void createQuery(const QString &name, const QString &jetSql);
    void deleteQuery(const QString &name);
    void setQuerySql(const QString &name, const QString &jetSql);

    // The DAO query type of a statement: 0 select, 16 crosstab, 128 union,
    // 32 delete, 48 update, 64 append.
    static int queryType(const QString &jetSql, int translatedKind);

private:
    struct Index
    {
        QString name;    // the Jet name (the SQLite name for indexes made elsewhere)
        QString field;
        QStringList nextFields; // an index on several fields: the fields after the first
        QString sqlName;
        QString sql;     // how to make it again, for indexes made elsewhere
        bool primary = false;
        bool unique = false;
        bool jet = false;
    };

    QString tableName(const QString &table) const; // 3265 when absent
    QList<FieldDef> fields(const QString &table) const;
    QList<Index> indexes(const QString &table) const;
    // What a rebuild does with the table's AutoNumber: keeps its layout, makes
    // it the rowid, or makes it a column of its own.
    enum class Counter { Keep, ToRowid, ToColumn };
    void rebuild(const QString &table, const QList<FieldDef> &layout, const QStringList &sources,
                 const QList<Value> &bound, Counter counter = Counter::Keep);
    bool isRowidCounter(const QString &table, const QString &field) const;
    std::int64_t lastNumber(const QString &table, const QString &counter, bool rowid) const;
    void keepLastNumber(const QString &table, std::int64_t last);
    void makeIndex(const QString &table, const Index &index);
    void makeTriggers(const QString &table);
    void numberRows(const QString &table, const QString &field);
    void bumpSchemaVersion();

    Database::Impl &m_db;
};

} // namespace platform
