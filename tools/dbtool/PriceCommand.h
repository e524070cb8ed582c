#pragma once

#include "DbToolCommand.h"

// price DB JOBNO ITEMNO: prices the stored item silently, as the program
// does for its figures, and prints every service row's explanation followed
// by the new and revised cost and price. Nothing is written. A missing job or
// item prints a message on the error stream and exits with 1.
int runPriceCommand(const QStringList &args, QTextStream &out, QTextStream &err);
