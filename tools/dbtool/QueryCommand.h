#pragma once

#include "DbToolCommand.h"

// query DB: lists the saved queries, one "name<TAB>type" line each in name
// order (0 select, 16 crosstab, 128 union, 32 delete, 48 update, 64 append).
// query DB NAME "STATEMENT": saves the statement under NAME (replacing the
// text of an existing query), checked against the schema as a user's saved
// query is. query DB NAME --delete: deletes it. Run a saved query with
// sql DB NAME. A failure prints "Error <number>: <text>" and exits with 1.
int runQueryCommand(const QStringList &args, QTextStream &out, QTextStream &err);
