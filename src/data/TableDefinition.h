#pragma once

#include "platform/db/TableDef.h"

#include <QtCore/QString>

namespace platform {
class Database;
}

// A working definition of one table, as the schema operations change it: open
// on an existing table (then it describes the table as it stands after every
// change), or new (fields and indexes collect until append() creates the
// table), or closed.
class TableDefinition
{
public:
    explicit TableDefinition(platform::Database &db) : m_db(&db) {}

    // Reads the table's description; 3265 when the table is missing.
    void open(const QString &table);
    // Starts a new table of that name; nothing is written before append().
    void create(const QString &table);
    // Creates the new table with the fields collected so far, then its
    // indexes; the definition is then open on it.
    void append();
    // Closing a closed definition is harmless.
    void close();
    // Reads the description again after the table changed.
    void refresh();

    bool isOpen() const { return m_state == State::Open; }
    bool isNew() const { return m_state == State::New; }
    QString name() const { return m_def.name; }
    int fieldCount() const { return int(m_def.fields.size()); }
    bool hasField(const QString &field) const { return m_def.fieldIndex(field) >= 0; }
    const platform::TableDef &def() const { return m_def; }
    platform::Database &database() const { return *m_db; }

    // For a new table: a field at a position (at the end when the position is
    // negative or past the end) and an index.
    void addNewField(const platform::FieldDef &field, int position);
    void addNewIndex(const platform::IndexDef &index);

private:
    enum class State { Closed, New, Open };
    platform::Database *m_db;
    platform::TableDef m_def;
    State m_state = State::Closed;
};
