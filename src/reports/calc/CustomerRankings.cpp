#include "reports/calc/CustomerRankings.h"

#include "app/base/DateRanges.h"
#include "controls/CXTable.h"
#include "data/DaoError.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"

#include <QtCore/QHash>

namespace {

// The shipped history jobs of several years, one row each, with a column
// per year's condition (true for the year the job was shipped in) and the
// job's net sale and margin. A job outside every year is left out.
QString yearJobsSql(const QStringList &conditions)
{
    QString columns;
    QStringList inAny;
    for (const QString &condition : conditions) {
        const QString in = QStringLiteral("(Jobs.DateShipped ") + condition + QLatin1Char(')');
        columns += QStringLiteral(", ") + in;
        inAny.append(in);
    }
    return QStringLiteral("SELECT Jobs.CusNo") + columns
        + QStringLiteral(", Jobs.Subtotal + Jobs.Discount, Jobs.Subtotal + Jobs.Discount - Jobs.Cost FROM Jobs WHERE "
                         "Jobs.JobType = 3 and (")
        + inAny.join(QStringLiteral(" or ")) + QStringLiteral(")");
}

// A sum of amounts as SQL's Sum gives it: a Null amount adds nothing, and a
// sum that leaves the currency range on the way is an overflow even when
// later amounts bring it back. A year without amounts shows zero.
struct MoneyTotal
{
    std::int64_t units = 0;
    bool overflowed = false;

    void add(const platform::Value &amount)
    {
        if (amount.isNull())
            return;
        if (__builtin_add_overflow(units, amount.toMoney().units(), &units))
            overflowed = true;
    }
};

struct YearSales
{
    std::int32_t count = 0;
    Money net;    // zero when the year has no amounts
    Money margin;
};

// Each year's figures by customer number, in the order of the conditions;
// false when the statement failed (shown). The jobs are read once, in the
// file's order, and added up here: no sorting them by customer first.
using CustomerYears = QHash<std::int32_t, QList<YearSales>>;
bool readYearSales(CReportRun &run, const QStringList &conditions, CustomerYears &byCustomer)
{
    const QString sql = yearJobsSql(conditions);
    byCustomer.clear();
    const int years = int(conditions.size());
    struct Totals
    {
        std::int32_t count = 0;
        MoneyTotal net;
        MoneyTotal margin;
    };
    QHash<std::int32_t, QList<Totals>> totals;
    try {
        platform::Recordset set(run.database());
        set.open(platform::Recordset::Type::Snapshot, sql);
        for (; !set.isEOF(); set.moveNext()) {
            QList<Totals> &customer = totals[set.value(0).toInt()];
            if (customer.isEmpty())
                customer.resize(years);
            const platform::Value net = set.value(1 + years);
            const platform::Value margin = set.value(2 + years);
            for (int k = 0; k < years; ++k) {
                const platform::Value in = set.value(1 + k);
                if (in.isNull() || !in.toBool())
                    continue;
                Totals &year = customer[k];
                ++year.count;
                year.net.add(net);
                year.margin.add(margin);
            }
        }
        for (auto c = totals.cbegin(); c != totals.cend(); ++c) {
            QList<YearSales> &out = byCustomer[c.key()];
            out.reserve(years);
            for (const Totals &t : c.value()) {
                if (t.net.overflowed || t.margin.overflowed)
                    platform::dberr::raise(platform::dberr::NumericOverflow);
                out.append({t.count, Money::fromUnits(t.net.units), Money::fromUnits(t.margin.units)});
            }
        }
        return true;
    } catch (const platform::DbException &e) {
        byCustomer.clear();
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
                t.SetCellCurrency(r, k + 3, year.net);
                t.SetCellCurrency(r, k + 6, year.margin);
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
                t.SetCellCurrency(r, net, yearOf(sales, t.GetCellLong(r, rank), k - 2).net);
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
