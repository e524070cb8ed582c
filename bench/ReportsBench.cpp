// Two Key Reports laid out by their renderers on the 100,000-job sample shop,
// beside the same questions asked in plain SQLite and stepped to the end:
// the aging by payment due date (2104, the open invoices by customer with
// the customers' title rows and their contact lines; target 1.5 times the
// plain time) and customers by year (2312, three years of orders, sales and
// margins per customer, reported as a ratio).
#include "support/BenchSupport.h"

#include "app/base/DateRanges.h"
#include "controls/CXTable.h"
#include "data/SharedDatabase.h"
#include "platform/DateTime.h"
#include "reports/CReportRun.h"
#include "reports/ReportSql.h"

#include <sqlite3.h>

#include <cstdio>

namespace {

void openSample()
{
    if (!SharedDatabase().isOpen())
        SharedDatabase().open(BenchSampleShop(), false, true);
}

void runReport(int code, CXTable &table)
{
    DateTime from, to;
    CReportRun run(SharedDatabase(), table);
    run.code = code;
    DescribeDateRange(from, to, DateRange::CmdThisYear, run.thisPeriod, run.dateRangeCaption);
    run.fromDate = from;
    run.toDate = to;
    run.lastPeriod = PriorPeriodCondition(from, to);
    run.messageHook = [](const QString &) {};
    run.Run();
}

QString serial(const DateTime &d)
{
    return QString::number(d.toOle(), 'f', 0);
}

// The open invoices and credits by customer with each one's contact line:
// the payer's, or for the walk-in customer the invoice's buyer.
QString plainAging()
{
    const QString today = serial(GetToday());
    QString sql = QStringLiteral(
        "SELECT C.Name, C.CusNo, J.JobNo, J.DateShipped, J.DatePayDue, {T} - J.DatePayDue AS Age, "
        "CASE WHEN {T} - J.DatePayDue < 1 THEN J.Balance END, CASE WHEN {T} - J.DatePayDue BETWEEN 1 AND 30 THEN J.Balance END, "
        "CASE WHEN {T} - J.DatePayDue BETWEEN 31 AND 60 THEN J.Balance END, "
        "CASE WHEN {T} - J.DatePayDue BETWEEN 61 AND 90 THEN J.Balance END, CASE WHEN {T} - J.DatePayDue > 90 THEN J.Balance END, "
        "J.Balance, CASE WHEN C.CusNo = 31 THEN B.First || ' ' || B.Last || ' · ' || B.Phone || ' · Fax ' || B.Fax "
        "ELSE P.First || ' ' || P.Last || ' · ' || P.Phone || ' · Fax ' || P.Fax END "
        "FROM Customers C JOIN Jobs J ON C.CusNo = J.CusNo LEFT JOIN Contacts P ON P.ContactNo = C.PayerNo "
        "LEFT JOIN Contacts B ON B.ContactNo = J.BuyerNo WHERE J.JobType = 3 AND J.Creator < 98 AND J.Balance > 0.0001 "
        "UNION SELECT C.Name, C.CusNo, 'Credit', '', '', 0, -C.CreditDue, 0, 0, 0, 0, -C.CreditDue, "
        "P.First || ' ' || P.Last || ' · ' || P.Phone || ' · Fax ' || P.Fax FROM Customers C "
        "LEFT JOIN Contacts P ON P.ContactNo = C.PayerNo WHERE C.CreditDue <> 0 ORDER BY 1 COLLATE NOCASE, 6");
    return sql.replace(QLatin1String("{T}"), today);
}

// Three calendar years of shipped history per customer.
QString plainCustomersByYear()
{
    DateTime from, to;
    GetYearRange(from, to, 0);
    const QString y1a = serial(from), y1b = serial(to);
    GetYearRange(from, to, -1);
    const QString y2a = serial(from), y2b = serial(to);
    GetYearRange(from, to, -2);
    const QString y3a = serial(from), y3b = serial(to);
    QString parts;
    const QString ranges[3][2] = {{y1a, y1b}, {y2a, y2b}, {y3a, y3b}};
    for (const auto &r : ranges) {
        const QString in = QStringLiteral("J.DateShipped BETWEEN %1 AND %2").arg(r[0], r[1]);
        parts += QStringLiteral(", sum(CASE WHEN %1 THEN 1 ELSE 0 END), sum(CASE WHEN %1 THEN J.Subtotal + J.Discount END), "
                                "sum(CASE WHEN %1 THEN J.Subtotal + J.Discount - J.Cost END)")
                     .arg(in);
    }
    return QStringLiteral("SELECT C.Name, C.CusNo") + parts
        + QStringLiteral(" FROM Customers C JOIN Jobs J ON J.CusNo = C.CusNo WHERE J.JobType = 3 GROUP BY C.Name COLLATE "
                         "NOCASE, C.CusNo ORDER BY C.Name COLLATE NOCASE");
}

void BM_AgingRendered(benchmark::State &state)
{
    openSample();
    long rows = 0;
    for (auto _ : state) {
        CXTable table;
        runReport(2104, table);
        rows = table.GetRowCount();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_AgingRendered)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The table loading alone (the runner's share), for the renderer's own cost.
void BM_AgingLoadOnly(benchmark::State &state)
{
    openSample();
    DateTime from, to;
    QString thisPeriod, caption;
    DescribeDateRange(from, to, DateRange::CmdThisYear, thisPeriod, caption);
    const QString sql = BuildReportSqlText(2104, thisPeriod, PriorPeriodCondition(from, to), QString(), false);
    long rows = 0;
    for (auto _ : state) {
        CXTable table;
        table.LoadQueryWithProgress(sql, CXTable::TotalsPerGroup, 2, QString());
        rows = table.GetRowCount();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_AgingLoadOnly)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_AgingPlainSqlite(benchmark::State &state)
{
    openSample();
    const QString sql = plainAging();
    long rows = 0;
    for (auto _ : state)
        rows = ScanDirect(SharedDatabase().handle(), sql);
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_AgingPlainSqlite)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_CustomersByYearRendered(benchmark::State &state)
{
    openSample();
    long rows = 0;
    for (auto _ : state) {
        CXTable table;
        runReport(2312, table);
        rows = table.GetRowCount();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_CustomersByYearRendered)->Unit(benchmark::kMillisecond)->Repetitions(3);

void BM_CustomersByYearPlainSqlite(benchmark::State &state)
{
    openSample();
    const QString sql = plainCustomersByYear();
    long rows = 0;
    for (auto _ : state)
        rows = ScanDirect(SharedDatabase().handle(), sql);
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_CustomersByYearPlainSqlite)->Unit(benchmark::kMillisecond)->Repetitions(3);

} // namespace

int main(int argc, char **argv)
{
    RatioReporter reporter;
    RunBenchmarks(argc, argv, false, &reporter);
    const double aging = reporter.Ratio("BM_AgingRendered", "BM_AgingPlainSqlite");
    const double byYear = reporter.Ratio("BM_CustomersByYearRendered", "BM_CustomersByYearPlainSqlite");
    if (aging > 0)
        std::printf("Aging by payment due date, rendered with title rows: %.2fx plain SQLite (target 1.5x)\n", aging);
    if (byYear > 0)
        std::printf("Customers by year, rendered: %.2fx plain SQLite (target 1.5x)\n", byYear);
    return 0;
}
