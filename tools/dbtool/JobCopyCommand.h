#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// "job DB copy JOBID TYPE [--customer N]" and "job DB credit JOBID
// [--revised]", each with "--today M/D/YYYY": a job pasted as a new job of the
// type, or an invoice cancelled by a credit invoice. Questions go to stderr
// and take their default answer. Prints the new JobID and JobNo.
int runJobCopyCommand(const QStringList &args, QTextStream &out, QTextStream &err);
