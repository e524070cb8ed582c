#pragma once

#include "platform/Value.h"

#include <QtCore/QString>

class SchemaProgress;

namespace platform {
class Database;
}

// Two row and query operations of the schema upgrade.

// Opens the SELECT as a dynaset on the shared database and writes, in every
// row, value 1 into the first field; value 2 into the second field when it
// is not Null; and, only then, value 3 into the third when it is not Null.
// The progress window, when given, gets the row count as its range and one
// step per row (its Stop does not stop the pass). A database failure is
// shown in the error box (no context) and the box's result returned; true
// otherwise.
bool DbSetQueryRowFields(const QString &select, const platform::Value &value1, const platform::Value &value2,
                         const platform::Value &value3, SchemaProgress *progress);
// The same, for callers that handle the failure themselves: a database
// failure throws platform::DbException.
void SetQueryRowFields(const QString &select, const platform::Value &value1, const platform::Value &value2,
                       const platform::Value &value3, SchemaProgress *progress);

// Deletes the saved query when the database has one of that name. False
// after a database failure, which is not shown.
bool DbDeleteQuery(platform::Database *database, const QString &name);
