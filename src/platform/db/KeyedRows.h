#pragma once

#include "platform/Value.h"
#include "platform/db/SqlValues.h"
#include "platform/db/StoredMoney.h"
#include "platform/db/Statement.h"
#include "platform/db/StatementCache.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3_context;
struct sqlite3_value;

namespace platform {

// The rows of an updatable dynaset: the ordered list of rowids of one table,
// taken when the set opens, and the rows themselves read by rowid in pages as
// they are visited. A page is read again when this connection has written
// since, or when it is older than the page timeout, so other workstations'
// changes show. A row deleted meanwhile reads as gone.
//
// A page keeps its rows as SQLite stored them (numbers, and the bytes of
// texts in one buffer); a value becomes a Value in its field's type when it
// is read.
class KeyedRows
{
public:
    static constexpr int kPageSize = 512;

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

    // Makes the connection able to read sets: the aggregates the key lists
    // and page reads run (each key, each row, goes straight from the engine
    // into the set; a whole list or group of pages in one step). Called once
    // when a connection opens.
    static void registerReader(sqlite3 *db);

    // Statements come from the connection's cache when one is given.
    KeyedRows(sqlite3 *db, const QString &fileName, Layout layout,
              std::shared_ptr<StatementCache> statements = nullptr);

    // The statement that lists the set's rowids, in set order, from the
    // statement whose column 0 gives them (its parameters 1 to
    // parameterCount, bound by the caller): the whole list in one step.
    static QString keyListSql(const QString &rowidSql, int parameterCount);
    // Runs a statement made by keyListSql, its parameters bound.
    void load(Statement &keyStatement, int parameterCount);

    int size() const { return int(m_keys.size()); }
    std::int64_t key(int index) const { return m_keys[size_t(index)]; }
    int indexOf(std::int64_t key) const; // searched from the end; -1 when absent

    // Makes the row at index the one value() reads, reading its page when it
    // is not at hand or no longer current. False when the row no longer exists.
    bool seek(int index, int pageTimeoutMs);
    // A field of the row found by the last successful seek(). The cells a
    // table usually holds (a number in a number field, a text in a text
    // field, Null) are made here; anything else goes through the full
    // conversion, which gives the same value.
    Q_ALWAYS_INLINE Value value(int field) const
    {
        const Cell &c = m_row[field];
        const FieldType type = m_fieldTypes[size_t(field)];
        switch (c.storage) {
        case kNull:
            return Value::nullOf(type);
        case kInteger:
            switch (type) {
            // Within its type at once; beyond it the converted way gives
            // the true value, never the low bits.
            case FieldType::Long:
                if (c.integer == std::int32_t(c.integer))
                    return Value(c.integer, FieldType::Long);
                break;
            case FieldType::Integer:
                if (c.integer == std::int16_t(c.integer))
                    return Value(c.integer, FieldType::Integer);
                break;
            case FieldType::Byte:
                if (c.integer == std::uint8_t(c.integer))
                    return Value(c.integer, FieldType::Byte);
                break;
            case FieldType::Boolean: return Value(c.integer != 0);
            case FieldType::Currency: return Value(Money::fromWhole(c.integer));
            case FieldType::Date: return Value(DateTime(double(c.integer)));
            case FieldType::Double: return Value(double(c.integer));
            default: break;
            }
            break;
        case kFloat:
            switch (type) {
            case FieldType::Date: return Value(DateTime(c.real));
            case FieldType::Double: return Value(c.real);
            case FieldType::Currency:
                // Beyond 2^53 ten-thousandths the product would lose units.
                return std::fabs(c.real) < 9.0e11 ? Value(Money::fromUnits(roundHalfAway(c.real * 10000.0)))
                                                  : Value(moneyFromStoredReal(c.real));
            default: break;
            }
            break;
        case kText:
            if (type == FieldType::Text || type == FieldType::Memo)
                return Value(QString::fromUtf8(m_page->bytes.data() + c.integer, c.size), type);
            break;
        default:
            break;
        }
        return convertedValue(field);
    }

    // Reads one row now: its values and, when asked, the values of its table
    // columns exactly as stored (Null for computed fields). False when the
    // row no longer exists.
    bool readRow(std::int64_t key, std::vector<Value> &values, std::vector<Value> *stored);

    // A copy of the row found by the last successful seek(), as it was read:
    // what the program saw of the row, kept while pages are read again.
    class RowCopy
    {
    public:
        bool isEmpty() const { return m_cells.empty(); }
        void clear() { m_cells.clear(); m_bytes.clear(); }

    private:
        friend class KeyedRows;
        std::vector<std::int32_t> m_storage;
        std::vector<std::int64_t> m_cells; // integer, double bits, or offset in m_bytes
        std::vector<std::int32_t> m_sizes;
        std::vector<char> m_bytes;
    };
    void copyRow(RowCopy &into) const;
    // The same copy, taken only when it is needed: the row found by the last
    // successful seek() is copied into `into` just before its page is read
    // again or reused, or when takePinned() asks for it. Walking a set then
    // copies no row. `into` must outlive the pin (unpin() ends it).
    void pinRow(RowCopy *into)
    {
        into->clear();
        m_pinTarget = m_row ? into : nullptr;
        m_pinPage = m_page;
        m_pinRow = m_row;
    }
    void takePinned();
    void unpin() { m_pinTarget = nullptr; }
    // A field of a copy in its type, and exactly as stored (for the optimistic
    // check of an update).
    Value copyValue(const RowCopy &row, int field) const;
    static Value copyStored(const RowCopy &row, int field);

    void append(std::int64_t key);
    void remove(int index);
    void forgetAll();

private:
    // SQLite's storage classes, as a cell keeps them.
    enum : std::int32_t { kInteger = 1, kFloat = 2, kText = 3, kBlob = 4, kNull = 5 };

    // A double rounded to the nearest integer, halves away from zero, as
    // std::llround rounds it (exactly: the fraction of a double below 2^52
    // is exact), without the library call.
    static std::int64_t roundHalfAway(double x)
    {
        if (!(x < 4.5e15 && x > -4.5e15))
            return std::llround(x);
        const std::int64_t whole = std::int64_t(x);
        const double fraction = x - double(whole);
        return whole + (fraction >= 0.5 ? 1 : fraction <= -0.5 ? -1 : 0);
    }

    Value convertedValue(int field) const;

    struct Cell
    {
        std::int32_t storage = 5; // SQLITE_NULL
        std::int32_t size = 0;
        union {
            std::int64_t integer = 0; // the integer, or the offset of the bytes in the page's buffer
            double real;
        };
    };
    struct Page
    {
        int number = -1;           // which page of the key list; -1 when free
        std::vector<Cell> cells;   // up to kPageSize rows of one cell per field
        std::vector<char> bytes;   // the texts and blobs of the cells (kept grown for the next read)
        size_t bytesUsed = 0;      // of bytes: what the cells read so far take
        std::vector<char> present;
        std::int64_t changes = 0;  // this connection's change count when read
        std::int64_t readAtMs = 0;
        std::uint64_t used = 0;    // for reusing the page least recently used
    };
    static constexpr size_t kPages = 8;
    static constexpr int kReadAhead = 4; // pages read at once walking forward

    static void copyCells(const Page &page, const Cell *row, size_t width, RowCopy &into);
    Statement prepare(const QString &sql) const;
    Page *spare(Page *const *taken, int takenCount);
    // Reads the page into `into`, and the pages after it too when the set is
    // walked forward.
    void loadPages(int page, Page *into);
    // One row's fields into its slot of a page.
    void takeRow(sqlite3_value *const *fields, Page &page, int slot);
    // A page read in progress: where the rows it gives go.
    struct Fill;
    static void fillStep(sqlite3_context *context, int argc, sqlite3_value **argv);
    static void keyStep(sqlite3_context *context, int argc, sqlite3_value **argv);
    bool readComputed(std::int64_t key, Page &page, int slot);
    // The fields as a statement lists them.
    const QString &columnList() const;

    sqlite3 *m_db;
    QString m_fileName;
    std::shared_ptr<StatementCache> m_statements;
    Layout m_layout;
    bool m_plain = true;         // every field is a table column
    mutable QString m_columns;   // the fields quoted ("NULL" when computed), joined by ", "; made on first use
    QList<FieldType> m_types;
    std::vector<FieldType> m_fieldTypes; // the same, read without a container's checks
    std::vector<std::int64_t> m_keys;
    std::array<Page, kPages> m_pages;
    std::uint64_t m_useClock = 0;
    int m_lastRead = -2; // the last page read (of a group, the last of it)
    const Page *m_page = nullptr; // of the last seek
    Page *m_lastPage = nullptr;   // the page the last seek found or read (most often the next one's)
    const Cell *m_row = nullptr;
    RowCopy *m_pinTarget = nullptr; // the copy owed, of the row below
    const Page *m_pinPage = nullptr;
    const Cell *m_pinRow = nullptr;
    Statement m_byList;   // rows whose rowids are listed
    Statement m_byRange;  // rows whose rowids lie in a range
    Statement m_byKey;    // one row
    Statement m_computed; // one row through the statement itself
};

} // namespace platform
