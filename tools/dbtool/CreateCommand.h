#pragma once

#include "DbToolCommand.h"

// create PATH: makes a new shop database (every table with its indexes, the
// saved queries, the rows new tables come with, the version row and the
// default rows). An existing file is never overwritten: the command then
// exits with 1 and writes nothing. A failure prints "Error <number>: <text>"
// on the error stream and exits with 1.
int runCreateCommand(const QStringList &args, QTextStream &out, QTextStream &err);
