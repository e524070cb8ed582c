// The in-memory table's own queries on the database.

#include "controls/CXRecordsetSource.h"
#include "controls/CXTable.h"

#include "app/base/TextUtil.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

bool CXTable::OpenQuery(const QString &sql)
{
    m_query.reset();
    if (!m_db || sql.trimmed().isEmpty())
        return false;
    m_query = CXRecordsetSource::openSnapshot(*m_db, sql.trimmed());
    return m_query && m_query->isOpen();
}

std::int32_t CXTable::QueryLong(const QString &sql)
{
    if (!OpenQuery(sql) || m_query->isEmpty() || m_query->fieldCount() == 0)
        return 0;
    try {
        return m_query->value(0).toInt();
    } catch (const platform::DbException &) {
        return 0;
    }
}

void CXTable::LoadQueryWithProgress(const QString &sql, int totalMode, int moneyDecimals, const QString &totalLabel)
{
    if (OpenQuery(sql)) {
        LoadRecordset(*m_query, totalMode, moneyDecimals, totalLabel);
    } else {
        // A query that could not run leaves the table without rows.
        m_totalMode = std::uint8_t(totalMode);
        m_moneyDecimals = moneyDecimals;
        SetSize(0, 0);
    }
}

void CXTable::LoadRecordset(platform::Recordset &recordset, int totalMode, int moneyDecimals,
                            const QString &totalLabel)
{
    CXRecordsetSource source(recordset);
    LoadRecordset(source, totalMode, moneyDecimals, totalLabel);
}

int CXTable::LoadQuery(const QString &sql, int firstRow, int nameColumn, int valueColumn, int secondValueColumn)
{
    if (!OpenQuery(sql))
        return firstRow;
    try {
        return LoadFieldsAsRows(*m_query, firstRow, nameColumn, valueColumn, secondValueColumn);
    } catch (const platform::DbException &) {
        return firstRow;
    }
}
