#include "reports/calc/PostedSalesSummary.h"

#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "controls/CXRowSource.h"
#include "controls/CXTable.h"
#include "data/TaxAmounts.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"

#include <QtCore/QString>

namespace {

constexpr std::uint32_t kTotal = CXTable::RowSpecial;       // 1
constexpr std::uint32_t kBlockTotal = 3;                    // a block's closing total
constexpr std::uint32_t kTitle = 20;                        // a title row

// Money columns of the SALES block.
constexpr int kAsPosted = 2, kAsOfNow = 4, kEarlier = 5, kQuick = 6, kTotalColumn = 7, kPercent = 8;

void setColumns(CXTable &t)
{
    t.SetColumnName(0, QStringLiteral("Summary/of}BP"), 10, 10);
    t.SetColumnName(1, QStringLiteral("Description/}P"), 18, 10);
    t.SetColumnName(2, QStringLiteral("Invoices/As Posted"), 13, 5);
    t.SetColumnName(3, QStringLiteral("\u00b1 Changes/After Posting}4-2"), 12, 5);
    t.SetColumnName(4, QStringLiteral("Invoices/As of Now"), 13, 5);
    t.SetColumnName(5, QStringLiteral("\u00b1 Changes to/Earlier Invoices"), 13, 5);
    t.SetColumnName(6, QStringLiteral("Quick/Sales"), 13, 5);
    t.SetColumnName(7, QStringLiteral("Total/$}4~6P"), 13, 5);
    t.SetColumnName(8, QStringLiteral("Total/%"), 8, 7);
}

// Shares of a block's total row, row by row; a zero amount or a zero total
// shows nothing.
void setPercents(CXTable &t, int first, int last, int totalRow)
{
    const Money total = t.GetCellValue(totalRow, kTotalColumn);
    if (total.isZero())
        return;
    for (int r = first; r <= last; ++r) {
        const Money x = t.GetCellValue(r, kTotalColumn);
        if (!x.isZero())
            t.SetCellText(r, kPercent, SummaryPercentText(double(x.units()) / double(total.units())));
    }
}

void prefixTitle(CXTable &t, int column, std::int32_t count)
{
    t.RenameColumn(column, QString::number(count) + QLatin1Char(' ') + t.GetColumnName(column));
}

} // namespace

QString SummaryPercentText(double ratio)
{
    return CXTable::FormatPercent(ratio);
}

bool ReportPostedSalesSummary(CReportRun &run)
{
    CXTable &t = run.table();
    // 1. Without the period's posted invoices' query there is no report.
    if (!t.OpenQuery(run.BuildSql(2001))) {
        t.SetSize(0, 0);
        return true;
    }
    // 2. The fixed layout. Amounts keep two decimals: the bookkeeper ties
    //    them out to the cent.
    t.SetSize(23, 9);
    t.m_moneyDecimals = 2;
    setColumns(t);

    // 3. SALES: as of now (with the names), as posted, changes to earlier
    //    invoices and quick sales, each down from row 0.
    t.SetCellText(0, 0, QStringLiteral("SALES"));
    t.LoadQuery(run.BuildSql(2001), 0, 1, kAsOfNow, -1);
    t.LoadQuery(run.BuildSql(2903), 0, -1, kAsPosted, -1);
    t.LoadQuery(run.BuildSql(2901), 0, -1, kEarlier, -1);
    t.LoadQuery(run.BuildSql(2902), 0, -1, kQuick, -1);
    t.InsertTotalRow(0, 2, QStringLiteral("NET SALES"), 1, kTotal);
    t.InsertTotalRow(2, 6, QStringLiteral("TOTAL"), 1, kTotal);
    t.InsertTotalRow(6, 10, QStringLiteral("BALANCE"), 1, kBlockTotal);

    // 4. The posted invoices against the prices of their service lines.
    if (t.OpenQuery(run.BuildSql(2911))) {
        Money servicePrices;
        if (CXRowSource *q = t.querySource(); q && !q->isEmpty() && q->fieldCount() > 0)
            servicePrices = MoneyOf(q->value(0));
        const Money difference = servicePrices - t.GetCellValue(0, kAsOfNow);
        if (difference > Money::fromCents(1) || difference < Money::fromCents(-1)) {
            const QString note = QStringLiteral("IMPORTANT:\nThere's a discrepancy of $ %1 (Sum of Service Prices of Invoices - Subtotal of "
                                  "Invoices)\nPlease fix the discrepancy (in the Jobs List Manager, click "
                                  "History/Discrepancies) and run this report again.")
                       .arg(FormatCurrency(difference, 4));
            run.setNote(note);
            run.Message(note);
        }
    }

    // 5. PAYMENTS of the period by group.
    t.LoadQuery(run.BuildSql(2904), 11, 1, kTotalColumn, -1);
    t.SetCellText(11, 0, QStringLiteral("PAYMENTS"));
    t.InsertTotalRow(11, 14, QStringLiteral("Total Payments"), 1, kBlockTotal);

    // 6. The balances below are as of now, whatever the period.
    t.InsertRow(15, kTitle);
    t.SetCellText(15, 0, QStringLiteral("As of Now"));
    t.SetCellText(15, 1, QStringLiteral("Current Balances as of ") + RunNowText(run));

    // 7. A/R now.
    t.LoadQuery(run.BuildSql(2906), 16, 1, kTotalColumn, -1);
    t.SetCellText(16, 0, QStringLiteral("A/R"));
    t.InsertTotalRow(16, 19, QStringLiteral("Balance of A/R"), 1, kTotal);

    // 8. Open orders now.
    t.LoadQuery(run.BuildSql(2907), 20, 1, kTotalColumn, -1);
    t.SetCellText(20, 0, QStringLiteral("ORDERS"));
    t.InsertTotalRow(20, 22, QStringLiteral("Balance of Orders"), 1, kTotal);
    t.SetRowCount(23);

    // 9. Changes after posting and the totals across, in the SALES block.
    t.m_totalMode = CXTable::TotalsNone;
    t.ApplyFormulas(0, 10);

    // 10. Empty amounts rather than zeros in the lower blocks' headings and totals.
    t.ReplaceCellText(11, 22, 2, 7, QStringLiteral("0.00"), QString(), true);

    // 11. Shares of the blocks' totals.
    setPercents(t, 0, 2, 0);
    setPercents(t, 11, 14, 14);
    setPercents(t, 16, 19, 19);

    // 12. The invoice counts in the column titles.
    const std::int32_t posted = t.QueryLong(run.BuildSql(2908));
    const std::int32_t now = t.QueryLong(run.BuildSql(2909));
    const std::int32_t quick = t.QueryLong(run.BuildSql(2910));
    prefixTitle(t, kAsPosted, posted);
    prefixTitle(t, kAsOfNow, now);
    prefixTitle(t, kQuick, quick);

    // 13. Invoices posted in the period that are no longer there, or more.
    if (now != posted) {
        run.appendNote(QStringLiteral("\nIMPORTANT: There are %1 invoices now than posted: %2")
                        .arg(now < posted ? QStringLiteral("less") : QStringLiteral("more"))
                            .arg(now - posted));
    }

    // 14. The condition of the statements, as the loading shows it.
    if (CXRowSource *q = t.querySource())
        run.setFilterLine(QStringLiteral("Filter: ") + q->whereText());
    return true;
}

void AddTaxColumns(CReportRun &run)
{
    CXTable &t = run.table();
    QString tax1, tax2;
    GetTaxName(tax1, 1);
    GetTaxName(tax2, 2);
    run.setNote(QStringLiteral("Tavrel 2008 and earlier versions did not save GST and PST taxable and tax amounts separately. "
                              "This version does.\nIf this report includes invoices that were priced and posted in Tavrel "
                              "2008, please see upgrade guide."));
    t.RenameColumn(8, QStringLiteral("Taxable/") + tax1);
    t.RenameColumn(9, QStringLiteral("Taxable/") + tax2);
    t.RenameColumn(10, QStringLiteral("Tax/") + tax1);
    t.RenameColumn(11, QStringLiteral("Tax/") + tax2);
}
