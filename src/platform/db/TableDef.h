#pragma once

#include "platform/Value.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace platform {

// One field of a table as the engine describes it.
struct FieldDef
{
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;             // Text: its length (1..255); 0 for Memo; the byte size for numbers
    bool autoNumber = false;  // AutoNumber (Long, counter)
    int ordinal = 0;          // 0-based position in the table
};

// One index: on one field, or on several in order (field, then nextFields);
// the program names an index after its fields.
struct IndexDef
{
    QString name;
    QString field;         // the (first) field
    bool primary = false;  // unique and required
    bool unique = false;
    QStringList nextFields = {}; // an index on several fields: the fields after the first

    QStringList fields() const { return QStringList(field) + nextFields; }
};

struct TableDef
{
    QString name;
    QList<FieldDef> fields;
    QList<IndexDef> indexes;

    int fieldIndex(const QString &field) const; // case-insensitive; -1 when absent
    bool hasField(const QString &field) const { return fieldIndex(field) >= 0; }
    // The field inside this definition (null when absent): valid while the
    // definition lives. A definition returned by value (Database::tableDef)
    // is kept in a variable first; asking a temporary for a field would hand
    // out a pointer into a definition destroyed at the end of the statement,
    // so that does not compile.
    const FieldDef *field(const QString &field) const &;
    const FieldDef *field(const QString &field) const && = delete;
};

} // namespace platform
