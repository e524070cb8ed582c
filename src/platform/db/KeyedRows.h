#pragma once

#include "platform/Value.h"
#include "platform/db/Statement.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace platform {

class Database;

// The rows of an updatable dynaset: the ordered list of rowids of one table,
// taken when the set opens, and the rows themselves read by rowid in pages as
// they are visited. A page is read again when this connection has written
// since, or when it is older than the page timeout, so other workstations'
// changes show. A row deleted meanwhile reads as gone.
class KeyedRows
{
public:
    static constexpr int kPageSize = 128;

    // What the set shows of the table's rows.
    struct Layout
    {
        QString table;
        QStringList columns;     // per field: its column of the table, or "" when computed
        QList<FieldType> types;  // per field
        // When a field is computed: the statement's fields of one row, its
        // rowid bound after the statement's own parameters.
        QString rowSql;
        int parameterCount = 0;
        std::function<void(Statement &)> bindParameters;
    };

    KeyedRows(sqlite3 *db, const QString &fileName, Layout layout);

    // Runs the statement that lists the rowids in set order (column 0).
    void load(Statement &keyStatement);

    int size() const { return int(m_keys.size()); }
    std::int64_t key(int index) const { return m_keys[size_t(index)]; }
    int indexOf(std::int64_t key) const; // searched from the end; -1 when absent

    // The values of the row at index, in field order; nullptr when the row no
    // longer exists. Valid until the next call that reads or changes rows.
    const Value *row(int index, int pageTimeoutMs);

    // Reads one row now: its values and, when asked, the values of its table
    // columns exactly as stored (Null for computed fields). False when the
    // row no longer exists.
    bool readRow(std::int64_t key, std::vector<Value> &values, std::vector<Value> *stored);

    void append(std::int64_t key);
    void remove(int index);
    void forgetAll() { m_pages.clear(); }

private:
    struct Page
    {
        std::vector<Value> values;  // kPageSize rows of m_types.size() values
        std::vector<char> present;
        std::int64_t changes = 0;
        QElapsedTimer age;
    };

    void loadPage(int page, Page &into);
    bool readComputed(std::int64_t key, Value *out);

    sqlite3 *m_db;
    QString m_fileName;
    Layout m_layout;
    bool m_plain = true;         // every field is a table column
    QStringList m_columns;       // quoted, per field ("NULL" when computed)
    QList<FieldType> m_types;
    std::vector<std::int64_t> m_keys;
    std::unordered_map<int, Page> m_pages;
    Statement m_byList;   // rows whose rowids are listed
    Statement m_byRange;  // rows whose rowids lie in a range
    Statement m_byKey;    // one row
    Statement m_computed; // one row through the statement itself
};

} // namespace platform
