#include "reports/calc/KeyReportRegistry.h"

#include "reports/CReportRun.h"
#include "reports/calc/AgingReport.h"
#include "reports/calc/CompanyActivities.h"
#include "reports/calc/CustomerRankings.h"
#include "reports/calc/DailyRegister.h"
#include "reports/calc/DayCountReport.h"
#include "reports/calc/JobNumberCheck.h"
#include "reports/calc/PostedSalesSummary.h"
#include "reports/calc/PostingAccounting.h"

namespace {

// A code keeps a renderer registered before the built-in ones are installed.
void registerDefault(int code, ReportRenderer renderer)
{
    if (!FindReportRenderer(code))
        RegisterReportRenderer(code, std::move(renderer));
}

} // namespace

void RegisterKeyReportRenderers()
{
    registerDefault(2001, ReportPostedSalesSummary);
    if (!FindTaxColumnsStep())
        RegisterTaxColumnsStep(AddTaxColumns);
    registerDefault(2009, ReportPostingAccounting);
    registerDefault(2101, [](CReportRun &run) {
        return ReportDayCounts(run, QStringLiteral("Number of Days/Today - |Payment Due Date"), QStringLiteral("Invoice/Count"),
                               QStringLiteral("Balance Due/$"));
    });
    registerDefault(2103, ReportAging);
    registerDefault(2104, ReportAging);
    registerDefault(2212, ReportAverageSalesPerInvoice);
    registerDefault(2312, ReportCustomersByYear);
    registerDefault(2405, [](CReportRun &run) {
        const bool ok = ReportDayCounts(run, QStringLiteral("Number of Days/Date| Shipped - Date In"),
                                        QStringLiteral("Invoice/Count"), QStringLiteral("Net Sale/$"));
        run.setNote(QStringLiteral("This report does not include Credit and Credited invoices."));
        return ok;
    });
    registerDefault(2601, ReportCompanyActivities);
    registerDefault(2602, ReportJobNumberCheck);
    registerDefault(2603, ReportDailyRegister);
}
