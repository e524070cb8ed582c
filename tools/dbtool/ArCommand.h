#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// tavrel-dbtool ar DB post [JOBID...] | pay CUSNO AMOUNT [JOBNO[:AMOUNT]...]
// [--use-credit] | latefee JOBID... [--rule P,M,F] | clearfee JOBID... |
// writeoff JOBID... | credit CUSNO AMOUNT [REASON]: the receivables
// operations as the receivables view and the payment dialog run them. JOBIDs
// are the highlighted rows (post without any: every ready order), JOBNOs
// clicks on invoice numbers (":AMOUNT" a partial amount); --use-credit
// answers Yes to using the customer's credit. Other questions are answered
// on stderr with their defaults. A failure exits 1 with nothing written.
int runArCommand(const QStringList &args, QTextStream &out, QTextStream &err);
