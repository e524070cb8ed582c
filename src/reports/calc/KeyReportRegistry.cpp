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

void RegisterKeyReportRenderers()
{
    RegisterReportRenderer(2001, ReportPostedSalesSummary);
    RegisterTaxColumnsStep(AddTaxColumns);
    RegisterReportRenderer(2009, ReportPostingAccounting);
    RegisterReportRenderer(2101, [](CReportRun &run) {
        return ReportDayCounts(run, QStringLiteral("Number of Days/Today - |Payment Due Date"), QStringLiteral("Invoice/Count"),
                               QStringLiteral("Balance Due/$"));
    });
    RegisterReportRenderer(2103, ReportAging);
    RegisterReportRenderer(2104, ReportAging);
    RegisterReportRenderer(2212, ReportAverageSalesPerInvoice);
    RegisterReportRenderer(2312, ReportCustomersByYear);
    RegisterReportRenderer(2405, [](CReportRun &run) {
        const bool ok = ReportDayCounts(run, QStringLiteral("Number of Days/Date| Shipped - Date In"),
                                        QStringLiteral("Invoice/Count"), QStringLiteral("Net Sale/$"));
        run.setNote(QStringLiteral("This report does not include Credit and Credited invoices."));
        return ok;
    });
    RegisterReportRenderer(2601, ReportCompanyActivities);
    RegisterReportRenderer(2602, ReportJobNumberCheck);
    RegisterReportRenderer(2603, ReportDailyRegister);
}
