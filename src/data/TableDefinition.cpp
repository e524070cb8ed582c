#include "data/TableDefinition.h"

#include "platform/db/Database.h"
#include "platform/db/DbException.h"

void TableDefinition::open(const QString &table)
{
    m_def = m_db->tableDef(table);
    m_state = State::Open;
}

void TableDefinition::create(const QString &table)
{
    m_def = platform::TableDef();
    m_def.name = table;
    m_state = State::New;
}

void TableDefinition::append()
{
    if (m_state != State::New)
        throw platform::DbException(3219, QStringLiteral("Invalid operation."));
    platform::TableDef def = m_def;
    def.indexes.clear();
    m_db->createTable(def);
    for (const platform::IndexDef &index : m_def.indexes)
        m_db->createIndex(m_def.name, index);
    open(m_def.name);
}

void TableDefinition::close()
{
    m_state = State::Closed;
}

void TableDefinition::refresh()
{
    if (m_state == State::Open)
        m_def = m_db->tableDef(m_def.name);
}

void TableDefinition::addNewField(const platform::FieldDef &field, int position)
{
    if (m_def.fieldIndex(field.name) >= 0)
        throw platform::DbException(3191, QStringLiteral("Cannot define field '%1' more than once.").arg(field.name));
    platform::FieldDef f = field;
    const int at = position < 0 || position > m_def.fields.size() ? int(m_def.fields.size()) : position;
    m_def.fields.insert(at, f);
    for (int i = 0; i < m_def.fields.size(); ++i)
        m_def.fields[i].ordinal = i;
}

void TableDefinition::addNewIndex(const platform::IndexDef &index)
{
    m_def.indexes.append(index);
}
