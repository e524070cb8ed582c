#include "reports/calc/CustomerRankings.h"

#include "app/base/DateRanges.h"
#include "controls/CXTable.h"
#include "data/DaoError.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"

#include <QtCore/QHash>

namespace {

// The history per customer of several years in one pass over the jobs, every
// customer in one statement: for each year's condition the number of jobs
// shipped in it, their net sales and their margin. A job outside a year adds
// nothing to its figures (Null is neither counted nor summed), so each year's
// figures are those of the year alone; a customer with jobs in none is left
// out. The figures are looked up by the customers the report's own statement
// lists, so the jobs are read alone, without the customers they belong to.
QString yearSalesSql(const QStringList &conditions)
{
    QString columns;
    QStringList inAny;
    for (const QString &condition : conditions) {
        const QString in = QStringLiteral("(Jobs.DateShipped ") + condition + QLatin1Char(')');
        columns += QStringLiteral(", Count(IIf(%1, Jobs.JobID, Null)), Sum(IIf(%1, Jobs.Subtotal + Jobs.Discount, Null)), "
                                  "Sum(IIf(%1, Jobs.Subtotal + Jobs.Discount - Jobs.Cost, Null))")
                       .arg(in);
        inAny.append(in);
    }
    return QStringLiteral("SELECT Jobs.CusNo") + columns
        + QStringLiteral(" FROM Jobs WHERE Jobs.JobType = 3 and (")
        + inAny.join(QStringLiteral(" or ")) + QStringLiteral(") GROUP BY Jobs.CusNo");
}

struct YearSales
{
    std::int32_t count = 0;
    platform::Value net;
    platform::Value margin;
};

// Each year's figures by customer number, in the order of the conditions;
// false when the statement failed (shown). A customer without jobs in a year
// counts no job and sums nothing (Null) there, as a sum over no rows does.
using CustomerYears = QHash<std::int32_t, QList<YearSales>>;
bool readYearSales(CReportRun &run, const QStringList &conditions, CustomerYears &byCustomer)
{
    const QString sql = yearSalesSql(conditions);
    byCustomer.clear();
    try {
        platform::Recordset set(run.database());
        set.open(platform::Recordset::Type::Snapshot, sql);
        for (; !set.isEOF(); set.moveNext()) {
            QList<YearSales> years;
            years.reserve(conditions.size());
            for (int k = 0; k < conditions.size(); ++k)
                years.append({set.value(1 + 3 * k).toInt(), set.value(2 + 3 * k), set.value(3 + 3 * k)});
            byCustomer.insert(set.value(0).toInt(), years);
        }
        return true;
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot open ") + sql);
        return false;
    }
}

// One customer's figures of year number k (0-based) as read.
YearSales yearOf(const CustomerYears &byCustomer, std::int32_t customer, int k)
{
    const auto found = byCustomer.constFind(customer);
    return found == byCustomer.constEnd() ? YearSales() : found->at(k);
}

} // namespace

RankingYear RankingYearOf(const DateTime &rangeFrom, int k)
{
    DateTime from, to;
    QString thisYear, caption;
    DescribeDateRange(from, to, DateRange::CmdThisYear, thisYear, caption);
    const int offset = rangeFrom.isValid() && !rangeFrom.isNull() ? rangeFrom.year() - from.year() : 0;
    GetYearRange(from, to, offset - (k - 1));
    RankingYear y;
    y.year = from.year();
    DescribeDateRange(from, to, DateRange::CmdBetween, y.condition, caption);
    return y;
}

bool ReportCustomersByYear(CReportRun &run)
{
    CXTable &t = run.table();
    run.LoadReportTable(2312, CXTable::TotalsNone, 2);
    const int customers = t.GetRowCount();
    if (customers > kCustomersByYearWarnAbove) {
        run.Message(QStringLiteral("This report may take several minutes to prepare for %1 customers.").arg(customers));
    }
    run.setSubtitle(QStringLiteral("Date Range: Three years, starting with the year of the selected 'Date Range' above."));
    run.setNote(QStringLiteral("Report includes %1 customers who have jobs in history. Customers are listed alphabetically. ")
                    .arg(customers));
    // A year without jobs shows empty cells, not zeros.
    t.SetShowZeros(false);
    if (customers > 0) {
        // The three years are read at once, before column 12's customer
        // numbers give way to the third year's ranks.
        QStringList conditions;
        for (int k = 1; k <= 3; ++k)
            conditions.append(RankingYearOf(run.fromDate, k).condition);
        CustomerYears sales;
        const bool read = readYearSales(run, conditions, sales);
        for (int k = 1; k <= 3; ++k) {
            const RankingYear y = RankingYearOf(run.fromDate, k);
            for (int r = 0; r < customers; ++r) {
                // A long run shows how far it is and can be stopped.
                if (!run.Progress((k - 1) * customers + r, 3 * customers, QStringLiteral("Calculating")))
                    return false;
                if (!read || t.IsSpecialRow(r))
                    continue;
                // Column 12 holds the customer until the third year's ranks.
                const YearSales year = yearOf(sales, t.GetCellLong(r, 12), k - 1);
                t.SetCellLong(r, k, year.count);
                t.SetCellCurrency(r, k + 3, MoneyOf(year.net));
                t.SetCellCurrency(r, k + 6, MoneyOf(year.margin));
            }
            const QString year = QString::number(y.year);
            t.RenameColumn(k, QStringLiteral("Orders/") + year);
            t.RenameColumn(k + 3, QStringLiteral("Net Sales/") + year);
            t.RenameColumn(k + 6, QStringLiteral("Margin/") + year);
            t.RenameColumn(k + 9, QStringLiteral("Rank/") + year);
            t.SetRankColumn(k + 3, k + 9, false);
        }
    }
    t.InsertTotalRow(0, t.GetRowCount(), QStringLiteral("TOTAL"), 0, CXTable::RowSpecial);
    if (customers == 0 && t.GetColumnCount() > 0 && t.GetRowCount() == 0) {
        t.AddRow(CXTable::RowSpecial);
        t.SetCellText(0, 0, QStringLiteral("TOTAL"));
    }
    t.SetShowZeros(true);
    return true;
}

bool ReportAverageSalesPerInvoice(CReportRun &run)
{
    CXTable &t = run.table();
    run.LoadReportTable(2212, CXTable::TotalsOneRow, 2);
    if (t.GetRowCount() == 0)
        return true;
    // Years 2 and 3 are read at once.
    CustomerYears sales;
    const bool read = readYearSales(run, {RankingYearOf(run.fromDate, 2).condition, RankingYearOf(run.fromDate, 3).condition}, sales);
    t.SetShowZeros(false);
    for (int k = 1; k <= 3; ++k) {
        const int net = k == 1 ? 3 : 7 + k; // columns 3, 9 and 10
        const int rank = 10 + k;
        const RankingYear y = RankingYearOf(run.fromDate, k);
        if (k > 1) {
            for (int r = 0; r < t.GetRowCount(); ++r) {
                if (!run.Progress((k - 2) * t.GetRowCount() + r, 2 * t.GetRowCount(), QStringLiteral("Calculating")))
                    return false;
                // The total row is summed afresh below.
                if (!read || t.IsSpecialRow(r))
                    continue;
                t.SetCellCurrency(r, net, MoneyOf(yearOf(sales, t.GetCellLong(r, rank), k - 2).net));
            }
        }
        const QString year = QString::number(y.year);
        t.RenameColumn(net, QStringLiteral("Net Sale/") + year);
        t.RenameColumn(rank, QStringLiteral("Rank/") + year);
        // Year 1 keeps the table's order (largest net sale first); later
        // years rank by amount, equal amounts sharing a rank.
        t.SetRankColumn(net, rank, k == 1);
    }
    t.SetShowZeros(true);
    t.SetRunningSubtotals2(0, -1, 9);
    t.SetRunningSubtotals2(0, -1, 10);
    return true;
}
