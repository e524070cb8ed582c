#pragma once

#include "platform/Value.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace platform {
class Database;
}

// Row helpers for the code that fills tables with the rows the program
// relies on. Table and field names are the program's own; values always
// travel as bound parameters. Failures throw platform::DbException.

// True when the table holds a row whose key field equals the value.
bool HasRowWithKey(platform::Database &db, const QString &table, const QString &keyField,
                   const platform::Value &key);

// Inserts one row, naming the fields it sets; the others stay Null (an
// AutoNumber field omitted takes its next number).
void InsertTableRow(platform::Database &db, const QString &table, const QStringList &fields,
                    const QList<platform::Value> &values);

// "[name]": a field or table name as the engine's statements write it.
QString BracketName(const QString &name);
