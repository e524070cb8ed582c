#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// tavrel-dbtool sample PATH [--jobs N] [--seed S]: a new shop database with a
// believable shop in it, for tests, benchmarks and trying the program out.
int runSampleCommand(const QStringList &args, QTextStream &out, QTextStream &err);
