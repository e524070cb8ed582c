#pragma once

#include "DbToolCommand.h"

// sql DB "STATEMENT" [--translate]: translates one Jet statement and runs it on
// the database. A SELECT prints a header line of field names and one line per
// row, tab-separated; an action prints the number of rows it changed.
// --translate prints the SQLite text only. A failure prints
// "Error <number>: <text>" on the error stream and exits with 1.
int runSqlCommand(const QStringList &args, QTextStream &out, QTextStream &err);
