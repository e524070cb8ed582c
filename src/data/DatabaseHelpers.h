#pragma once

#include "platform/Value.h"
#include "platform/db/DbException.h"

#include <QtCore/QString>

// Single values looked up by SQL, and the run log of long database runs.

// The value of field `fieldIndex` of the first row of a SELECT on the shared
// database, in `out` (also returned); no row, or a Null value, gives the
// empty value. A statement that fails is shown to the user and gives the
// empty value too. values: those of the statement's "?" marks.
platform::Value &DbLookupValue(platform::Value &out, const QString &sql, int fieldIndex,
                               const QList<platform::Value> &values = {});
// Field 0 of the first row as text; empty when there is no row.
QString DbLookupText(const QString &sql);

// The run log: lines, each ending in "\n".
QString GetRunLog();
void ClearRunLog();
bool HasRunLogText();
void AppendRunLog(const QString &line);
// Appends "Error# <number>: <description> <context>\n" and a blank line.
void LogDaoError(const platform::DbException &e, const QString &context);
