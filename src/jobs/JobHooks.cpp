#include "jobs/JobHooks.h"

#include "views/CView0.h"

JobHooks &GetJobHooks()
{
    static JobHooks hooks;
    return hooks;
}

void ReportJobFeatureNotAvailable(const QString &what)
{
    CView0::ReportNotAvailable(what);
}
