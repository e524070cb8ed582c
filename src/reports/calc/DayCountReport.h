#pragma once

#include <QtCore/QString>

class CReportRun;

// The day-bucket reports: "A/R" / "Summary" (2101: open balances by days
// past the payment due date, with the collection ratio and the customers'
// credits) and "Production" / "Date In vs Date Shipped" (2405: net sales by
// days from date in to date shipped). The report's one-record query gives
// an amount and an invoice count per bucket; a TOTAL row and each bucket's
// share of it follow.
bool ReportDayCounts(CReportRun &run, const QString &dayTitle, const QString &countTitle,
                     const QString &valueTitle);
