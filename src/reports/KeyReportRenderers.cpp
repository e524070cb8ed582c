#include "reports/CReportRun.h"

#include "reports/calc/KeyReportRegistry.h"

// The renderers of the Key Reports that lay out more than one query (posted
// sales summary, day counts, job-number check, customer rankings, daily
// register, aging, posting accounting, company activities) register here.
void InstallKeyReportRenderers()
{
    RegisterKeyReportRenderers();
}
