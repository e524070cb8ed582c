#include "reports/CReportRun.h"

// The renderers of the Key Reports that lay out more than one query (posted
// sales summary, day counts, job-number check, customer rankings, daily
// register, aging, posting accounting, company activities) register here with
// RegisterReportRenderer; until they do, their codes answer "This report is
// not ready yet!".
void InstallKeyReportRenderers() {}
