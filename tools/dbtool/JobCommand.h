#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// tavrel-dbtool job DB new TYPE CUSNO [--buyer N] [--csr N] [--today M/D/YYYY]:
// creates a job as the jobs view does (customer warning included; its
// questions are answered on stderr with their default answers) and prints
// the new JobID and JobNo.
int runJobCommand(const QStringList &args, QTextStream &out, QTextStream &err);
