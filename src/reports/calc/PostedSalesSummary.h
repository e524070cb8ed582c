#pragma once

#include <QtCore/QString>

class CReportRun;

// "Posting" / "Summary" (2001): the sales of the invoices posted in the
// period as posted beside the same invoices now, the later changes to
// earlier invoices and the quick sales; then the period's payments and the
// current balances of receivables and open orders. Checks the posted
// invoices against their service lines and their counts and says so in the
// note (and in a message for a discrepancy of more than one cent).
bool ReportPostedSalesSummary(CReportRun &run);

// The two-tax titles of "Summary of Taxes" (2003) and "List of Taxes"
// (2005): columns 8 to 11 named after the shop's two taxes, with a note on
// invoices posted by earlier versions.
void AddTaxColumns(CReportRun &run);

// The text of a share of a block's total in the summary: "%0.1f%%", above
// 900 per cent "999+%", below -900 per cent "-999+%".
QString SummaryPercentText(double ratio);
