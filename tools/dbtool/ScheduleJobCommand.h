#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// schedule-job DB JOBNO [--scroll N] [--auto]: prints the day grid of an
// order's scheduling window (the headers, then each row's cells, a cell's
// icon after "#") and its late-services note; with --auto it first runs
// automatic scheduling, answering No to its question, and prints each
// message shown as "PROMPT: " + text.
int runScheduleJobCommand(const QStringList &args, QTextStream &out, QTextStream &err);
