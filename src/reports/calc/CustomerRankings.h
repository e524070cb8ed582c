#pragma once

#include "platform/DateTime.h"

#include <QtCore/QString>

class CReportRun;

// "Comparison" / "Customers By Year" (2312): each customer's history jobs
// shipped, net sales, margin and rank in three calendar years, the year in
// which the chosen range starts and the two before it.
bool ReportCustomersByYear(CReportRun &run);

// "Profitability" / "Average Sales/Invoice" (2212): the chosen period's
// figures per customer, ranked by position, beside each customer's net sales
// and rank in the two calendar years before the range's start year.
bool ReportAverageSalesPerInvoice(CReportRun &run);

// Calendar year k (1, 2, 3) of the ranking reports counted back from the
// year in which the range starts: its number and its condition
// " between #01/01/yyyy# and #12/31/yyyy# ".
struct RankingYear
{
    int year = 0;
    QString condition;
};
RankingYear RankingYearOf(const DateTime &rangeFrom, int k);

// Above this many customers "Customers By Year" warns of the wait first.
inline constexpr int kCustomersByYearWarnAbove = 500;
