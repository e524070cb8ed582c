#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// "job DB copy JOBID TYPE [--customer N]" and "job DB credit JOBID
// [--revised]" and "job DB apply-credit JOBID AMOUNT", each with "--today
// M/D/YYYY": a job pasted as a new job of the type, an invoice cancelled by a
// credit invoice, or the customer's credit used on an order. Questions go to
// stderr and take their default answer. Prints the JobID and JobNo.
int runJobCopyCommand(const QStringList &args, QTextStream &out, QTextStream &err);
