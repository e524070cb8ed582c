#pragma once

#include "DbToolCommand.h"

// check DB: looks at a shop database without changing it and prints what the
// upgrade and the key check would find: the stored version against the
// program's, the engine's integrity check, every table whose fields differ
// from the current layout (missing, extra, or of another type or size),
// tables missing or not in the layout, and the keys and indexes of the key
// list that the file lacks. Exits with 0 when nothing was found, 1 when
// something was, 2 on bad arguments or a file that cannot be opened.
int runCheckCommand(const QStringList &args, QTextStream &out, QTextStream &err);
