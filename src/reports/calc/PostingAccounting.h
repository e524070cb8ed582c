#pragma once

#include "platform/Money.h"

class CReportRun;

// "Posting" / "Accounting" (2009): one period of postings for the
// bookkeeper, block by block (sales departments, general accounts, quick
// sales, payments received, adjustments), closed by a posting summary whose
// last four figures repeat those of the posting summary report (2001) so the
// two can be compared.
bool ReportPostingAccounting(CReportRun &run);
