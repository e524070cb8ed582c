#pragma once

#include "DbToolCommand.h"

// report DB CODE --sql [--from MM/DD/YYYY --to MM/DD/YYYY] [--two-tax]:
// prints the Key Reports statement of the code for the period the reports
// view would make: the custom range from and to, or the year to date without
// dates; the period before it is the same dates a year back. The two-tax
// layouts are used with --two-tax or when the shop's tax table holds rate 3.
// A code without a statement prints nothing.
int runReportCommand(const QStringList &args, QTextStream &out, QTextStream &err);
