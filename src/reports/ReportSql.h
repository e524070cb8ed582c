#pragma once

#include <QtCore/QString>

class QWidget;

// The Key Reports of the reports view as Jet SQL. A report code is 100 times
// the report-tree branch plus the entry; codes 2901-2924 are the partial
// statements that the summary reports read. thisPeriod is the view's period
// condition " between #from# and #to# ", lastPeriod the condition of the
// period of equal length before it (" between #from# and #to#"), filter the
// view's filter text. Only the daily register (2603) reads the filter: the
// customer number that follows "=" after "Customers.CusNo".
//
// The text for a code the builder does not hold is empty: the "At a Glance"
// reports (2501, 2502), the missing and duplicate job numbers (2602), 2905,
// 2912, the "More Reports" lists and the user's saved queries.
QString BuildReportSqlText(int code, const QString &thisPeriod, const QString &lastPeriod, const QString &filter,
                           bool twoTaxes);

// The view's entry: the application's two-tax flag picks the layouts of 2003
// and 2005, and while Ctrl is held down the text (even an empty one) goes to
// the clipboard, owned by the window.
QString BuildReportSql(int code, const QString &thisPeriod, const QString &lastPeriod, const QString &filter,
                       QWidget *window = nullptr);

// While Ctrl is held down, puts a report's statement (even an empty one) on
// the clipboard, owned by the window.
void CopyReportSqlWhileCtrlDown(const QString &sql, QWidget *window);

// The date column on which a report branch filters: "More Reports" branches
// 0-9 by their kind, the Key Reports (11 and above) on PostingDate; empty for
// "Jobs Edited After Posting" (8) and "Custom Queries" (10).
QString ReportDateColumn(int branch);

// Writes the view's filter text " (column condition) " for the branch and the
// period condition; branches 8 and 10 leave the filter as it is.
void GetReportDateField(int branch, const QString &thisPeriod, QString &filter);

// The customer number written after "=" in a filter that names
// "Customers.CusNo"; empty when the filter names none or the number is not a
// positive whole number.
QString CustomerNoFromFilter(const QString &filter);
