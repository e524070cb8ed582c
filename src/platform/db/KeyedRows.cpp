#include "platform/db/KeyedRows.h"

#include "platform/db/SqlValues.h"

#include <QtCore/QHash>

#include <sqlite3.h>

namespace platform {

namespace {

constexpr size_t kMaxPages = 64;

} // namespace

KeyedRows::KeyedRows(sqlite3 *db, const QString &fileName, Layout layout)
    : m_db(db), m_fileName(fileName), m_layout(std::move(layout)), m_types(m_layout.types)
{
    for (const QString &c : m_layout.columns) {
        m_plain = m_plain && !c.isEmpty();
        m_columns.append(c.isEmpty() ? QStringLiteral("NULL") : sqlvalues::quoteName(c));
    }
}

bool KeyedRows::readComputed(std::int64_t key, Value *out)
{
    if (!m_computed.isValid())
        m_computed = Statement(m_db, m_layout.rowSql, m_fileName);
    if (m_layout.bindParameters)
        m_layout.bindParameters(m_computed);
    m_computed.bind(m_layout.parameterCount + 1, Value(key, FieldType::Long));
    bool found = false;
    try {
        found = m_computed.step();
        if (found) {
            for (int c = 0; c < m_types.size(); ++c)
                out[c] = m_computed.value(c, m_types[c]);
        }
    } catch (...) {
        m_computed.reset();
        throw;
    }
    m_computed.reset();
    return found;
}

void KeyedRows::load(Statement &keyStatement)
{
    m_keys.clear();
    m_pages.clear();
    m_keys.reserve(1024);
    while (keyStatement.step())
        m_keys.push_back(keyStatement.integer(0));
    keyStatement.reset();
}

int KeyedRows::indexOf(std::int64_t key) const
{
    for (size_t i = m_keys.size(); i-- > 0;) {
        if (m_keys[i] == key)
            return int(i);
    }
    return -1;
}

const Value *KeyedRows::row(int index, int pageTimeoutMs)
{
    if (index < 0 || index >= size())
        return nullptr;
    const int pageNo = index / kPageSize;
    auto it = m_pages.find(pageNo);
    const std::int64_t changes = sqlite3_total_changes64(m_db);
    if (it == m_pages.end() || it->second.changes != changes || it->second.age.elapsed() > pageTimeoutMs) {
        if (it == m_pages.end()) {
            if (m_pages.size() >= kMaxPages)
                m_pages.clear();
            it = m_pages.emplace(pageNo, Page()).first;
        }
        loadPage(pageNo, it->second);
    }
    const Page &page = it->second;
    const int slot = index - pageNo * kPageSize;
    if (!page.present[size_t(slot)])
        return nullptr;
    return &page.values[size_t(slot) * size_t(m_types.size())];
}

void KeyedRows::loadPage(int pageNo, Page &page)
{
    const int first = pageNo * kPageSize;
    const int count = qMin(kPageSize, size() - first);
    const size_t width = size_t(m_types.size());
    page.values.assign(size_t(count) * width, Value());
    page.present.assign(size_t(count), 0);

    if (!m_plain) {
        // Computed fields come from the statement itself, row by row.
        for (int i = 0; i < count; ++i)
            page.present[size_t(i)] = readComputed(m_keys[size_t(first + i)], &page.values[size_t(i) * width]) ? 1 : 0;
        page.changes = sqlite3_total_changes64(m_db);
        page.age.start();
        return;
    }

    std::int64_t low = m_keys[size_t(first)];
    std::int64_t high = low;
    QHash<std::int64_t, int> slotOf;
    slotOf.reserve(count);
    for (int i = 0; i < count; ++i) {
        const std::int64_t k = m_keys[size_t(first + i)];
        low = qMin(low, k);
        high = qMax(high, k);
        slotOf.insert(k, i);
    }

    // Rows added in order lie close together: one range read is cheaper than
    // a lookup per rowid. Scattered rows are looked up by their rowids.
    Statement *st = nullptr;
    if (high - low < std::int64_t(2 * kPageSize)) {
        if (!m_byRange.isValid()) {
            m_byRange = Statement(m_db, QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid BETWEEN ?1 AND ?2")
                                            .arg(m_columns.join(QStringLiteral(", ")), sqlvalues::quoteName(m_layout.table)),
                                  m_fileName);
        }
        st = &m_byRange;
        st->bind(1, Value(low, FieldType::Long));
        st->bind(2, Value(high, FieldType::Long));
    } else {
        if (!m_byList.isValid()) {
            QStringList marks;
            for (int i = 1; i <= kPageSize; ++i)
                marks.append(QStringLiteral("?%1").arg(i));
            m_byList = Statement(m_db, QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                                           .arg(m_columns.join(QStringLiteral(", ")), sqlvalues::quoteName(m_layout.table),
                                                marks.join(QStringLiteral(", "))),
                                 m_fileName);
        }
        st = &m_byList;
        for (int i = 0; i < kPageSize; ++i)
            st->bind(i + 1, i < count ? Value(m_keys[size_t(first + i)], FieldType::Long) : Value());
    }
    try {
        while (st->step()) {
            const auto found = slotOf.constFind(st->integer(0));
            if (found == slotOf.constEnd())
                continue;
            const size_t slot = size_t(*found);
            Value *out = &page.values[slot * width];
            for (size_t c = 0; c < width; ++c)
                out[c] = st->value(int(c) + 1, m_types[qsizetype(c)]);
            page.present[slot] = 1;
        }
    } catch (...) {
        st->reset();
        m_pages.clear();
        throw;
    }
    st->reset();
    page.changes = sqlite3_total_changes64(m_db);
    page.age.start();
}

bool KeyedRows::readRow(std::int64_t key, std::vector<Value> &values, std::vector<Value> *stored)
{
    if (!m_byKey.isValid()) {
        m_byKey = Statement(m_db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
                                      .arg(m_columns.join(QStringLiteral(", ")), sqlvalues::quoteName(m_layout.table)),
                            m_fileName);
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
    if (found && !m_plain && !readComputed(key, values.data()))
        found = false;
    return found;
}

void KeyedRows::append(std::int64_t key)
{
    m_keys.push_back(key);
    m_pages.erase((size() - 1) / kPageSize);
}

void KeyedRows::remove(int index)
{
    m_keys.erase(m_keys.begin() + index);
    m_pages.clear();
}

} // namespace platform
