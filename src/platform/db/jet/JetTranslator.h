#pragma once

#include "platform/Value.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <memory>
#include <optional>

struct sqlite3;

namespace platform::jet {

// What the translator needs to know of the database: tables with their
// columns (in order, with Jet types and sizes) and saved queries.
class SchemaCatalog
{
public:
    struct Column { QString name; FieldType type = FieldType::Text; int size = 0; };
    virtual ~SchemaCatalog() = default;
    // Columns of a table, or nothing when there is no such table.
    virtual std::optional<QList<Column>> tableColumns(const QString &table) const = 0;
    // The Jet text of a saved query, or nothing.
    virtual std::optional<QString> savedQuery(const QString &name) const = 0;
    // Changes whenever the schema changes, so cached translations are dropped.
    virtual quint64 schemaGeneration() const = 0;
    // True when the column alone holds a unique index (TOP n needs no tie
    // handling when it orders by such a column).
    virtual bool isUniqueColumn(const QString &table, const QString &column) const
    {
        Q_UNUSED(table);
        Q_UNUSED(column);
        return false;
    }
};

struct ResultColumn
{
    QString name;                    // the alias verbatim, or the field's name
    FieldType type = FieldType::Text;
    int size = 0;
    QString baseTable;               // for a plain column of a base table
    QString baseColumn;
};

// The SQLite form of one Jet statement.
struct Translation
{
    enum class Kind { Select, Insert, Update, Delete, Crosstab };
    Kind kind = Kind::Select;
    // The saved-query type DAO reports: 0 select, 16 crosstab, 32 delete,
    // 48 update, 64 append, 80 make-table, 128 union.
    int queryType = 0;
    QString sql;                     // for Crosstab: empty until built with the pivot values
    QList<ResultColumn> columns;     // for Select (and Crosstab: the row-heading columns)
    // Declared parameters, then positional "?" marks and implicit ones, in
    // binding order; the SQL refers to parameter i as ?i (1-based). A "?" is
    // listed as "?" with type Empty.
    QStringList parameters;
    QList<FieldType> parameterTypes;
    // A single base table the statement reads plain rows from (updatable
    // dynaset); empty otherwise.
    QString updatableTable;

    // Crosstab, run in two steps: pivotValuesSql lists the pivot values;
    // buildCrosstab() makes the final statement and its columns from them.
    QString pivotValuesSql;
    std::function<Translation(const QList<Value> &pivotValues)> buildCrosstab;

    // For an updatable select: the rowids of updatableTable's rows in the
    // statement's order (bound like sql), and the statement's columns of one
    // row by rowid, the rowid bound as parameter number parameters.size() + 1.
    QString rowidSql;
    QString rowSql;
    // For a select of plain rows (no total, DISTINCT or TOP): the number of
    // rows sql gives (bound like sql), counted without its order and its
    // columns, so that tables joined only for their columns are not read.
    QString countSql;

    // SELECT ... INTO: the table to create with the columns above (Jet types);
    // createTableSql creates it and sql fills it.
    QString makeTable;
    QString createTableSql;
};

// Parses Jet SQL (a real tokenizer and expression parser) and emits SQLite
// that calls the functions registered by registerFunctions(). Errors throw
// platform::DbException with Jet's numbers (registered functions fail with
// "JET nnnn: text"). Translations are cached by text and dropped when the
// catalog's schema generation changes; the translator may be shared between
// threads.
class JetTranslator
{
public:
    explicit JetTranslator(const SchemaCatalog &catalog);
    ~JetTranslator();

    // A statement, or a table's or saved query's name alone (meaning all its rows).
    Translation translate(const QString &jetSql) const;
    // A saved query's text: names that resolve to nothing become parameters
    // (Text), listed after the declared ones in order of appearance.
    Translation translateSavedQuery(const QString &jetSql) const;
    // A recordset's source with a filter ANDed into its WHERE (its HAVING
    // when it reads a total) and a sort that replaces its ORDER BY (either may
    // be empty). Over a UNION the filter reads the result columns.
    Translation translateWithFilter(const QString &jetSql, const QString &filter, const QString &sort) const;
    // A Jet criterion over the given columns (Find), emitted as an SQLite
    // boolean expression whose column references are "name" quoted.
    QString translateCriterion(const QString &criterion, const QList<ResultColumn> &columns) const;

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

// Registers the Jet functions, aggregates and the JETTEXT collation on a connection.
void registerFunctions(sqlite3 *db);

// Converts a value to a column's type as Jet stores it (rounding, range and
// size checks: 3349, 3163, 3421).
Value storeAs(const Value &value, FieldType type, int size);

} // namespace platform::jet
