#pragma once

#include "platform/Value.h"

#include <QtCore/QList>
#include <QtCore/QString>

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

// One index: the program only makes one-field indexes named after their field.
struct IndexDef
{
    QString name;
    QString field;
    bool primary = false;  // unique and required
    bool unique = false;
};

struct TableDef
{
    QString name;
    QList<FieldDef> fields;
    QList<IndexDef> indexes;

    int fieldIndex(const QString &field) const; // case-insensitive; -1 when absent
    const FieldDef *field(const QString &field) const;
};

} // namespace platform
