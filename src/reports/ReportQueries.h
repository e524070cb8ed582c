#pragma once

#include <QtCore/QString>

struct ReportSqlFragments;

// The Key Reports statements by family, each keyed by report code. A code the
// family does not hold gives an empty text. The texts are Jet SQL joined from
// literals and the shared fragments, exactly as the report layouts expect
// them: the column titles carry the table's layout directives. Every share of
// a job's discount, Discount / Subtotal, is written IIf(Subtotal=0, 0, ...):
// a division by a zero subtotal gives no share instead of a Null that would
// drop the item's price (or a department's whole sum) from the report.

// 2001-2009; twoTaxes picks the two-tax layouts of 2003 and 2005.
QString PostingReportSql(int code, const ReportSqlFragments &f, bool twoTaxes);
// 2101-2107.
QString ReceivablesReportSql(int code, const ReportSqlFragments &f);
// 2201-2212.
QString ProfitabilityReportSql(int code, const ReportSqlFragments &f);
// 2301-2312.
QString ComparisonReportSql(int code, const ReportSqlFragments &f);
// 2401-2405, 2601 and 2603 (the daily register of the customer numbered
// customerNo; empty without one).
QString ProductionReportSql(int code, const ReportSqlFragments &f, const QString &customerNo);
// 2901-2924 (none for 2905 and 2912).
QString PartialReportSql(int code, const ReportSqlFragments &f);
