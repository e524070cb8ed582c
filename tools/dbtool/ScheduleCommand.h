#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// schedule DB CODE [--options MASK] [--filter "COND"] [--keys K,... --command ID]:
// prints a list of the production board, tab-separated; with --command runs
// that command on the rows with those keys, answering Yes to every question.
int runScheduleCommand(const QStringList &args, QTextStream &out, QTextStream &err);
