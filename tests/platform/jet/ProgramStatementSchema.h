#pragma once

#include "platform/Value.h"

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringList>

// The tables and columns one statement names: tables after FROM, JOIN,
// UPDATE and INSERT INTO; columns from Table.Column references, and names
// standing alone given to a table of their own SELECT. Tests build a schema
// from it so that the program's statements translate against what they name.
struct NamedSchema
{
    QStringList tables;                       // as written, first seen first
    QHash<QString, QStringList> columns;      // lower-case table -> columns
    QHash<QString, QString> aliases;          // lower-case alias -> lower-case table
};

NamedSchema namesOf(const QString &sql);

// A type read off the column's name, so money, dates and texts take their paths.
platform::FieldType guessType(const QString &column);
