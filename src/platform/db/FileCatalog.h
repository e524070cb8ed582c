#pragma once

#include "platform/db/Statement.h"
#include "platform/db/jet/JetTranslator.h"

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <optional>

struct sqlite3;

namespace platform {

// The schema of an open database file as the translator and the recordsets
// see it: tables with their columns in order, Jet types read back from the
// declared types, AutoNumber columns, and the saved queries kept in the
// layer's metadata table. Descriptions are cached until the file's schema
// version changes (refresh()) or this connection changes the schema.
class FileCatalog : public jet::SchemaCatalog
{
public:
    struct Table
    {
        QString name; // as the file spells it
        QList<Column> columns;
        QList<bool> autoNumber;
        // The AutoNumber column that is also the table's rowid (declared
        // INTEGER PRIMARY KEY AUTOINCREMENT); -1 when the table keeps its
        // counter in jet_counters or has none.
        int rowidCounter = -1;
        int columnIndex(const QString &column) const; // case-insensitive; -1 when absent
        QHash<QString, int> byName; // the columns as the file spells them
    };

    explicit FileCatalog(sqlite3 *db);

    std::optional<QList<Column>> tableColumns(const QString &table) const override;
    std::optional<QString> savedQuery(const QString &name) const override;
    quint64 schemaGeneration() const override { return m_generation; }

    // Reads the file's schema version; drops every description when another
    // connection (or this one) changed the schema since the last look.
    void refresh();
    // Drops every description (after this connection changed the schema).
    void invalidate();

    const Table *table(const QString &name) const;
    QStringList tableNames() const;
    QStringList queryNames() const;
    // Saved queries with their DAO types, in name order.
    QList<std::pair<QString, int>> queryDefs() const;
    // The saved query's name as stored, or nothing.
    std::optional<QString> queryName(const QString &name) const;

    // The layer's own tables (counters, index names, saved queries).
    static bool isMetaTable(const QString &name);
    static void createMetaTables(sqlite3 *db);
    bool hasMetaTables() const;
    sqlite3 *connection() const { return m_db; }

private:
    sqlite3 *m_db;
    qint64 m_schemaVersion = -1;
    quint64 m_generation = 1;
    mutable QHash<QString, std::optional<Table>> m_tables; // by lower-case name
    mutable QHash<QString, QString> m_tableKeys;           // a name as asked -> its key above
    mutable QHash<QString, std::optional<QString>> m_queries;
    mutable int m_hasMeta = -1;
    // Asked on every use of the catalog: prepared once.
    Statement m_version;
    mutable Statement m_queryName;
};

} // namespace platform
