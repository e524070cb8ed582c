#include "reports/calc/DayCountReport.h"

#include "controls/CXTable.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCount = 1, kAmount = 2, kPercent = 3;

} // namespace

bool ReportDayCounts(CReportRun &run, const QString &dayTitle, const QString &countTitle,
                     const QString &valueTitle)
{
    CXTable &t = run.table();
    // 1. The layout: the day buckets, their invoice counts, amounts and shares.
    t.SetSize(19, 4);
    t.SetColumnName(0, dayTitle + QStringLiteral("}t"), int(dayTitle.length()), 10);
    t.SetColumnName(1, countTitle, 8, 4);
    t.SetColumnName(2, valueTitle + QStringLiteral("}p"), 13, 5);
    t.SetColumnName(3, QStringLiteral("% of/TOTAL/"), 8, 7);
    t.m_moneyDecimals = 2;
    t.m_totalMode = CXTable::TotalsOneRow;

    // 2. Two fields per bucket: its amount (named after the bucket), then its count.
    const int rows = t.LoadQuery(run.BuildSql(run.code), 0, 0, kAmount, kCount);
    t.SetRowCount(rows);

    // 3. The total over the buckets; the counts are summed here, the table's
    //    total row sums only money, minutes and counted quantities.
    if (rows > 0) {
        t.InsertTotalRow(0, rows, QStringLiteral("TOTAL"), 0, CXTable::RowSpecial);
    } else {
        t.AddRow(CXTable::RowSpecial);
        t.SetCellText(0, 0, QStringLiteral("TOTAL"));
    }
    std::int64_t invoices = 0;
    for (int r = 0; r < rows; ++r)
        invoices += t.GetCellLong(r, kCount);
    t.SetCellLong(rows, kCount, std::int32_t(std::clamp<std::int64_t>(invoices, INT32_MIN, INT32_MAX)));

    // 4. Receivables: the collection ratio against the last 365 days' sales,
    //    and the customers' credits taken off the total.
    if (run.code == 2101 && rows > 0) {
        const int total = t.GetRowCount() - 1;
        const int amountColumn = t.GetColumnCount() - 2;
        const Money balance = t.GetCellValue(total, amountColumn);
        const Money sales = LookupMoney(run.database(), QStringLiteral(
            "SELECT Sum(Subtotal+Discount) FROM Jobs WHERE JobType = 3 and (Date()-DateShipped between 0 and 365)"));
        if (sales > Money()) {
            // Ratios of stored amounts, divided as doubles at the last step.
            const double a = double(balance.units());
            const double s = double(sales.units());
            const int days = int(std::trunc(a / (s / 365.0) + 0.49));
            const double ratio = a / (s / 12.0) * 100.0;
            run.setNote(QStringLiteral("\nCollection Ratio (AR Balance / Average Daily Sales) = %1 Days\nAR to Sales Ratio "
                                      "(AR Balance / Average Monthly Sales) = %2%")
                           .arg(days)
                            .arg(QString::asprintf("%0.1f", ratio)));
        }
        const QList<platform::Value> credits =
            LookupRow(run.database(), QStringLiteral("SELECT Count(CusNo), SUM(CreditDue) FROM Customers WHERE CreditDue > 0"));
        const int customers = credits.isEmpty() ? 0 : credits[0].toInt();
        const Money credit = credits.size() > 1 ? MoneyOf(credits[1]) : Money();
        t.SetCellText(total - 1, 0, QStringLiteral("Credit Due to %1 Customers").arg(customers));
        t.SetCellCurrency(total - 1, amountColumn, -credit);
        t.SetCellCurrency(total, amountColumn, balance - credit);
    }

    // 5. Each bucket's share of the total.
    t.ApplyFormulas(0, t.GetRowCount() - 1);
    t.SetPercentOfTotal(0, t.GetRowCount() - 1, t.GetRowCount() - 1, kAmount, kPercent);
    return true;
}
