#include "platform/db/KeyedRows.h"

#include <QtCore/QHash>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <ctime>

namespace platform {

namespace {

// A clock that costs next to nothing to read; a few milliseconds of
// resolution are plenty for the page timeout.
std::int64_t coarseMs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return std::int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// The aggregates that read a set's keys and its pages, and the types under
// which their destinations are bound to the statements.
constexpr char kKeyFunction[] = "tavrel_keyed_rows_keys";
constexpr char kKeysPointer[] = "tavrel-keyed-rows-keys";
constexpr char kFillFunction[] = "tavrel_keyed_rows_fill";
constexpr char kFillPointer[] = "tavrel-keyed-rows-fill";

// Runs a reading aggregate's statement (one step reads everything), its
// destination bound at mark for that run only.
void runInto(Statement &st, int mark, void *destination, const char *type)
{
    sqlite3_stmt *stmt = st.handle();
    sqlite3_bind_pointer(stmt, mark, destination, type, nullptr);
    try {
        st.step();
    } catch (...) {
        sqlite3_bind_null(stmt, mark);
        st.reset();
        throw;
    }
    sqlite3_bind_null(stmt, mark);
    st.reset();
}

} // namespace

KeyedRows::KeyedRows(sqlite3 *db, const QString &fileName, Layout layout, std::shared_ptr<StatementCache> statements)
    : m_db(db), m_fileName(fileName), m_statements(std::move(statements)), m_layout(std::move(layout)),
      m_types(m_layout.types), m_fieldTypes(m_types.begin(), m_types.end())
{
    for (const QString &c : m_layout.columns)
        m_plain = m_plain && !c.isEmpty();
}

const QString &KeyedRows::columnList() const
{
    // Made when a row is first read: a set that only adds rows never needs it.
    if (m_columns.isEmpty()) {
        QStringList quoted;
        quoted.reserve(m_layout.columns.size());
        for (const QString &c : m_layout.columns)
            quoted.append(c.isEmpty() ? QStringLiteral("NULL") : sqlvalues::quoteName(c));
        m_columns = quoted.join(QStringLiteral(", "));
    }
    return m_columns;
}

Statement KeyedRows::prepare(const QString &sql) const
{
    return m_statements ? m_statements->prepare(sql) : Statement(m_db, sql, m_fileName);
}

QString KeyedRows::keyListSql(const QString &rowidSql, int parameterCount)
{
    QString rows = rowidSql.trimmed();
    while (rows.endsWith(QLatin1Char(';')))
        rows = rows.chopped(1).trimmed();
    // An aggregate over a subquery takes the rows in the subquery's order:
    // the engine keeps a subquery's ORDER BY (and its TOP) under an
    // aggregate, and one without is merged into it and scans the table as it
    // would alone.
    return QStringLiteral("WITH keyed(k) AS (%1\n) SELECT %2(?%3, k) FROM keyed")
        .arg(rows, QLatin1String(kKeyFunction))
        .arg(parameterCount + 1);
}

void KeyedRows::load(Statement &keyStatement, int parameterCount)
{
    m_keys.clear();
    forgetAll();
    m_keys.reserve(1024);
    runInto(keyStatement, parameterCount + 1, &m_keys, kKeysPointer);
}

int KeyedRows::indexOf(std::int64_t key) const
{
    for (size_t i = m_keys.size(); i-- > 0;) {
        if (m_keys[i] == key)
            return int(i);
    }
    return -1;
}

bool KeyedRows::seek(int index, int pageTimeoutMs)
{
    m_page = nullptr;
    m_row = nullptr;
    if (index < 0 || index >= size())
        return false;
    const int pageNo = index / kPageSize;
    Page *page = m_lastPage && m_lastPage->number == pageNo ? m_lastPage : nullptr;
    for (size_t i = 0; !page && i < kPages; ++i) {
        if (m_pages[i].number == pageNo)
            page = &m_pages[i];
    }
    const bool stale = page
        && (page->changes != sqlite3_total_changes64(m_db) || coarseMs() - page->readAtMs > pageTimeoutMs);
    if (!page || stale) {
        if (!page)
            page = spare(nullptr, 0);
        loadPages(pageNo, page);
    }
    page->used = ++m_useClock;
    m_lastPage = page;
    const int slot = index - pageNo * kPageSize;
    if (!page->present[size_t(slot)])
        return false;
    m_page = page;
    m_row = &page->cells[size_t(slot) * m_fieldTypes.size()];
    return true;
}

KeyedRows::Page *KeyedRows::spare(Page *const *taken, int takenCount)
{
    // A free page, else the one used least recently; never one of `taken`.
    Page *best = nullptr;
    for (Page &p : m_pages) {
        if (std::find(taken, taken + takenCount, &p) != taken + takenCount)
            continue;
        if (!best || (best->number >= 0 && (p.number < 0 || p.used < best->used)))
            best = &p;
    }
    return best;
}

Value KeyedRows::convertedValue(int field) const
{
    const Cell &c = m_row[field];
    sqlvalues::Stored s;
    s.storage = c.storage;
    switch (c.storage) {
    case SQLITE_INTEGER: s.integer = c.integer; break;
    case SQLITE_FLOAT: s.real = c.real; break;
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        s.bytes = m_page->bytes.data() + c.integer;
        s.size = c.size;
        break;
    default: break;
    }
    return sqlvalues::toValue(s, m_types[field]);
}

void KeyedRows::copyRow(RowCopy &into) const
{
    into.clear();
    into.m_storage.clear();
    into.m_sizes.clear();
    if (!m_row)
        return;
    copyCells(*m_page, m_row, size_t(m_types.size()), into);
}

void KeyedRows::copyCells(const Page &page, const Cell *row, size_t width, RowCopy &into)
{
    into.clear();
    into.m_storage.resize(width);
    into.m_cells.resize(width);
    into.m_sizes.resize(width);
    for (size_t c = 0; c < width; ++c) {
        const Cell &cell = row[c];
        into.m_storage[c] = cell.storage;
        into.m_sizes[c] = cell.size;
        if (cell.storage == SQLITE_TEXT || cell.storage == SQLITE_BLOB) {
            into.m_cells[c] = std::int64_t(into.m_bytes.size());
            if (cell.size > 0) {
                const char *from = page.bytes.data() + cell.integer;
                into.m_bytes.insert(into.m_bytes.end(), from, from + cell.size);
            }
        } else {
            into.m_cells[c] = cell.integer; // the union's bits: integer or double
        }
    }
}

void KeyedRows::takePinned()
{
    if (!m_pinTarget)
        return;
    copyCells(*m_pinPage, m_pinRow, size_t(m_types.size()), *m_pinTarget);
    m_pinTarget = nullptr;
}

namespace {

sqlvalues::Stored storedOf(std::int32_t storage, std::int64_t bits, std::int32_t size, const std::vector<char> &bytes)
{
    sqlvalues::Stored s;
    s.storage = storage;
    switch (storage) {
    case SQLITE_INTEGER: s.integer = bits; break;
    case SQLITE_FLOAT: std::memcpy(&s.real, &bits, sizeof s.real); break;
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        s.bytes = bytes.data() + bits;
        s.size = size;
        break;
    default: break;
    }
    return s;
}

} // namespace

Value KeyedRows::copyValue(const RowCopy &row, int field) const
{
    const size_t c = size_t(field);
    return sqlvalues::toValue(storedOf(row.m_storage[c], row.m_cells[c], row.m_sizes[c], row.m_bytes), m_types[field]);
}

Value KeyedRows::copyStored(const RowCopy &row, int field)
{
    const size_t c = size_t(field);
    switch (row.m_storage[c]) {
    case SQLITE_INTEGER:
        return Value(row.m_cells[c], FieldType::Long);
    case SQLITE_FLOAT: {
        double real = 0;
        std::memcpy(&real, &row.m_cells[c], sizeof real);
        return Value(real, FieldType::Double);
    }
    case SQLITE_TEXT:
        return Value(QString::fromUtf8(row.m_bytes.data() + row.m_cells[c], row.m_sizes[c]), FieldType::Text);
    case SQLITE_BLOB:
        return Value(QString::fromLatin1(row.m_bytes.data() + row.m_cells[c], row.m_sizes[c]), FieldType::LongBinary);
    default:
        return Value();
    }
}

void KeyedRows::takeRow(sqlite3_value *const *fields, Page &page, int slot)
{
    const size_t width = m_fieldTypes.size();
    Cell *out = &page.cells[size_t(slot) * width];
    for (size_t c = 0; c < width; ++c) {
        sqlite3_value *v = fields[c];
        Cell &cell = out[c];
        cell.storage = sqlite3_value_type(v);
        switch (cell.storage) {
        case SQLITE_INTEGER:
            cell.integer = sqlite3_value_int64(v);
            break;
        case SQLITE_FLOAT:
            cell.real = sqlite3_value_double(v);
            break;
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
            const char *bytes = cell.storage == SQLITE_TEXT ? reinterpret_cast<const char *>(sqlite3_value_text(v))
                                                            : static_cast<const char *>(sqlite3_value_blob(v));
            cell.size = sqlite3_value_bytes(v);
            cell.integer = std::int64_t(page.bytesUsed);
            if (cell.size > 0) {
                // The buffer grows by doubling and is kept between reads:
                // most reads copy straight into room already there.
                const size_t end = page.bytesUsed + size_t(cell.size);
                if (end > page.bytes.size())
                    page.bytes.resize(std::max(end, 2 * page.bytes.size()));
                std::memcpy(page.bytes.data() + page.bytesUsed, bytes, size_t(cell.size));
                page.bytesUsed = end;
            }
            break;
        }
        default:
            break;
        }
    }
    page.present[size_t(slot)] = 1;
}

namespace {

void aggregateFinal(sqlite3_context *context)
{
    sqlite3_result_null(context);
}

// The destination bound to a reading aggregate's first argument, looked up
// on its first row and kept in the aggregate's context for the rows after.
template <typename T>
T *destinationOf(sqlite3_context *context, sqlite3_value *bound, const char *type)
{
    auto **kept = static_cast<T **>(sqlite3_aggregate_context(context, int(sizeof(T *))));
    if (!kept)
        return nullptr;
    if (!*kept)
        *kept = static_cast<T *>(sqlite3_value_pointer(bound, type));
    return *kept;
}

} // namespace

// Where the rows of a page read go: the rowids of the pages' slots, matched
// as they come (in rowid order when the keys ascend, else through a map).
struct KeyedRows::Fill
{
    KeyedRows *rows = nullptr;
    Page *const *group = nullptr;
    const std::int64_t *keys = nullptr;
    int count = 0;
    int next = 0;
    bool ascending = true;
    const QHash<std::int64_t, int> *slotOf = nullptr;

    // Puts the row read with this rowid into its slot (a row no slot asks
    // for is passed over).
    void take(std::int64_t rowid, sqlite3_value *const *fields)
    {
        int at = -1;
        if (ascending) {
            while (next < count && keys[next] < rowid)
                ++next;
            if (next < count && keys[next] == rowid)
                at = next;
        } else {
            at = slotOf->value(rowid, -1);
        }
        if (at >= 0)
            rows->takeRow(fields, *group[at / kPageSize], at % kPageSize);
    }
};

void KeyedRows::registerReader(sqlite3 *db)
{
    // Reachable only by this program's own statements: the destination is a
    // pointer bound under its own type, which no SQL text can make.
    sqlite3_create_function_v2(db, kFillFunction, -1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, nullptr,
                               &KeyedRows::fillStep, &aggregateFinal, nullptr);
    sqlite3_create_function_v2(db, kKeyFunction, 2, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, nullptr,
                               &KeyedRows::keyStep, &aggregateFinal, nullptr);
}

void KeyedRows::keyStep(sqlite3_context *context, int, sqlite3_value **argv)
{
    auto *keys = destinationOf<std::vector<std::int64_t>>(context, argv[0], kKeysPointer);
    if (!keys) {
        sqlite3_result_error(context, "key list without its destination", -1);
        return;
    }
    try {
        keys->push_back(sqlite3_value_int64(argv[1]));
    } catch (...) {
        sqlite3_result_error_nomem(context);
    }
}

void KeyedRows::fillStep(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    Fill *fill = argc > 1 ? destinationOf<Fill>(context, argv[0], kFillPointer) : nullptr;
    if (!fill || argc != int(fill->rows->m_fieldTypes.size()) + 2) {
        sqlite3_result_error(context, "page read without its destination", -1);
        return;
    }
    try {
        fill->take(sqlite3_value_int64(argv[1]), argv + 2);
    } catch (...) {
        sqlite3_result_error_nomem(context);
    }
}

bool KeyedRows::readComputed(std::int64_t key, Page &page, int slot)
{
    if (!m_computed.isValid())
        m_computed = prepare(m_layout.rowSql);
    if (m_layout.bindParameters)
        m_layout.bindParameters(m_computed);
    m_computed.bind(m_layout.parameterCount + 1, Value(key, FieldType::Long));
    bool found = false;
    try {
        found = m_computed.step();
        if (found) {
            std::vector<sqlite3_value *> fields(m_fieldTypes.size());
            for (size_t c = 0; c < fields.size(); ++c)
                fields[c] = sqlite3_column_value(m_computed.handle(), int(c));
            takeRow(fields.data(), page, slot);
        }
    } catch (...) {
        m_computed.reset();
        throw;
    }
    m_computed.reset();
    return found;
}

void KeyedRows::loadPages(int pageNo, Page *page)
{
    // A row still owed to its copy is copied before any page changes.
    takePinned();
    page->number = -1;
    const int first = pageNo * kPageSize;

    // A walk forward (this page follows the last one read) reads the pages
    // after this one along with it, in the same range read, when their rows
    // lie close together: one statement instead of several. They are read
    // into the pages used least recently; the page timeout counts from now.
    Page *group[kReadAhead] = {page};
    int pages = 1;
    if (m_plain && pageNo == m_lastRead + 1) {
        while (pages < kReadAhead && first + pages * kPageSize < size()) {
            const int next = pageNo + pages;
            if (std::any_of(m_pages.begin(), m_pages.end(), [next](const Page &p) { return p.number == next; }))
                break; // read already: the walk will see whether it is still current
            group[pages] = spare(group, pages);
            ++pages;
        }
        const int count = qMin(pages * kPageSize, size() - first);
        const auto [low, high] = std::minmax_element(m_keys.begin() + first, m_keys.begin() + first + count);
        if (*high - *low >= std::int64_t(2) * count)
            pages = 1;
    }
    for (int g = 1; g < pages; ++g)
        group[g]->number = -1;

    const int count = qMin(pages * kPageSize, size() - first);
    for (int g = 0; g < pages; ++g) {
        Page &p = *group[g];
        const int rows = qMin(kPageSize, count - g * kPageSize);
        // Cells of rows not found stay unread: the row is marked absent.
        p.cells.resize(size_t(rows) * m_fieldTypes.size());
        p.bytesUsed = 0;
        p.present.assign(size_t(rows), 0);
    }

    if (!m_plain) {
        // Computed fields come from the statement itself, row by row.
        for (int i = 0; i < count; ++i)
            readComputed(m_keys[size_t(first + i)], *page, i);
    } else {
        // Rows added in order lie close together: one range read is cheaper
        // than a lookup per rowid. Scattered rows are looked up by rowid.
        std::int64_t low = m_keys[size_t(first)];
        std::int64_t high = low;
        bool ascending = true;
        for (int i = 1; i < count; ++i) {
            const std::int64_t k = m_keys[size_t(first + i)];
            ascending = ascending && k > m_keys[size_t(first + i - 1)];
            low = qMin(low, k);
            high = qMax(high, k);
        }
        // Each row goes from the engine straight into its page, through the
        // aggregate registered for it: the pages are read in one step. A
        // table with more columns than a function may take is read row by
        // row instead.
        const int width = int(m_fieldTypes.size());
        const bool oneStep = width + 2 <= sqlite3_limit(m_db, SQLITE_LIMIT_FUNCTION_ARG, -1);
        Statement *st = nullptr;
        int fillMark = 0;
        if (high - low < std::int64_t(2) * qMax(count, kPageSize)) {
            if (!m_byRange.isValid()) {
                const QString fields = oneStep ? QStringLiteral("%1(?3, rowid, %2)").arg(QLatin1String(kFillFunction), columnList())
                                               : QStringLiteral("rowid, ") + columnList();
                m_byRange = prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid BETWEEN ?1 AND ?2")
                                        .arg(fields, sqlvalues::quoteName(m_layout.table)));
            }
            st = &m_byRange;
            st->bind(1, Value(low, FieldType::Long));
            st->bind(2, Value(high, FieldType::Long));
            fillMark = 3;
        } else {
            if (!m_byList.isValid()) {
                QStringList marks;
                for (int i = 1; i <= kPageSize; ++i)
                    marks.append(QStringLiteral("?%1").arg(i));
                const QString fields = oneStep ? QStringLiteral("%1(?%2, rowid, %3)")
                                                     .arg(QLatin1String(kFillFunction))
                                                     .arg(kPageSize + 1)
                                                     .arg(columnList())
                                               : QStringLiteral("rowid, ") + columnList();
                m_byList = prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid IN (%3)")
                                       .arg(fields, sqlvalues::quoteName(m_layout.table), marks.join(QStringLiteral(", "))));
            }
            st = &m_byList;
            for (int i = 0; i < kPageSize; ++i)
                st->bind(i + 1, i < count ? Value(m_keys[size_t(first + i)], FieldType::Long) : Value());
            fillMark = kPageSize + 1;
        }
        // Both read in rowid order: keys in ascending order are matched as
        // they come, others through a map from rowid to place.
        QHash<std::int64_t, int> slotOf;
        if (!ascending) {
            slotOf.reserve(count);
            for (int i = 0; i < count; ++i)
                slotOf.insert(m_keys[size_t(first + i)], i);
        }
        Fill fill;
        fill.rows = this;
        fill.group = group;
        fill.keys = m_keys.data() + first;
        fill.count = count;
        fill.ascending = ascending;
        fill.slotOf = &slotOf;
        if (oneStep) {
            runInto(*st, fillMark, &fill, kFillPointer);
        } else {
            sqlite3_stmt *stmt = st->handle();
            std::vector<sqlite3_value *> fields(static_cast<size_t>(width));
            try {
                while (st->step()) {
                    for (int c = 0; c < width; ++c)
                        fields[size_t(c)] = sqlite3_column_value(stmt, c + 1);
                    fill.take(sqlite3_column_int64(stmt, 0), fields.data());
                }
            } catch (...) {
                st->reset();
                throw;
            }
            st->reset();
        }
    }
    const std::int64_t changes = sqlite3_total_changes64(m_db);
    const std::int64_t now = coarseMs();
    for (int g = 0; g < pages; ++g) {
        Page &p = *group[g];
        p.changes = changes;
        p.readAtMs = now;
        p.number = pageNo + g;
        p.used = ++m_useClock;
    }
    m_lastRead = pageNo + pages - 1;
}

bool KeyedRows::readRow(std::int64_t key, std::vector<Value> &values, std::vector<Value> *stored)
{
    if (!m_byKey.isValid()) {
        m_byKey = prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                                      .arg(columnList(), sqlvalues::quoteName(m_layout.table)));
    }
    m_byKey.bind(1, Value(key, FieldType::Long));
    bool found = false;
    try {
        found = m_byKey.step();
        if (found) {
            values.resize(size_t(m_types.size()));
            if (stored)
                stored->resize(size_t(m_types.size()));
            for (int c = 0; c < m_types.size(); ++c) {
                values[size_t(c)] = m_byKey.value(c, m_types[c]);
                if (stored)
                    (*stored)[size_t(c)] = m_byKey.storedValue(c);
            }
        }
    } catch (...) {
        m_byKey.reset();
        throw;
    }
    m_byKey.reset();
    if (found && !m_plain) {
        // Computed fields as the statement gives them.
        if (!m_computed.isValid())
            m_computed = prepare(m_layout.rowSql);
        if (m_layout.bindParameters)
            m_layout.bindParameters(m_computed);
        m_computed.bind(m_layout.parameterCount + 1, Value(key, FieldType::Long));
        try {
            found = m_computed.step();
            for (int c = 0; found && c < m_types.size(); ++c)
                values[size_t(c)] = m_computed.value(c, m_types[c]);
        } catch (...) {
            m_computed.reset();
            throw;
        }
        m_computed.reset();
    }
    return found;
}

void KeyedRows::append(std::int64_t key)
{
    m_keys.push_back(key);
    const int last = (size() - 1) / kPageSize;
    for (Page &p : m_pages) {
        if (p.number == last)
            p.number = -1;
    }
    m_page = nullptr;
    m_row = nullptr;
}

void KeyedRows::remove(int index)
{
    m_keys.erase(m_keys.begin() + index);
    forgetAll();
}

void KeyedRows::forgetAll()
{
    for (Page &p : m_pages)
        p.number = -1;
    m_lastRead = -2;
    m_page = nullptr;
    m_row = nullptr;
}

} // namespace platform
