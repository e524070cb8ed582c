#pragma once

#include "DbToolCommand.h"

// tavrel-dbtool weborder: a web order (mail text or XML order) read, matched
// and printed, and saved as an order or quote when asked.
int runWebOrderCommand(const QStringList &args, QTextStream &out, QTextStream &err);
