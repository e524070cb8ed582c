// Three Key Reports on a sample shop of 100,000 jobs (sales by department,
// sales by customer, and the department comparison of two periods), read to
// the last row through the recordset, beside the same questions written in
// plain SQLite and stepped through the SQLite API. The target is at most 1.5
// times the plain time. The sample is made once and kept in the build folder
// (tavrel-dbtool sample PATH --jobs 100000).
#include "BenchSupport.h"
#include "app/base/DateRanges.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "reports/ReportSql.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QProcess>

namespace {

platform::Database &sample()
{
    static platform::Database db;
    if (!db.isOpen()) {
        db.open(BenchSampleShop(), false, true);
    }
    return db;
}

struct Period
{
    QString thisPeriod, lastPeriod;
    QString a, b, c, d; // serials of this period's and last period's bounds
};

const Period &period()
{
    static Period p;
    if (p.thisPeriod.isEmpty()) {
        DateTime from, to;
        QString caption;
        DescribeDateRange(from, to, DateRange::CmdThisYear, p.thisPeriod, caption);
        p.lastPeriod = PriorPeriodCondition(from, to);
        p.a = QString::number(from.toOle(), 'f', 0);
        p.b = QString::number(to.toOle(), 'f', 0);
        p.c = QString::number(DateTime::fromDate(from.date().addYears(-1)).toOle(), 'f', 0);
        p.d = QString::number(DateTime::fromDate(to.date().addYears(-1)).toOle(), 'f', 0);
    }
    return p;
}

QString plain(int code)
{
    const Period &p = period();
    QString sql;
    switch (code) {
    case 2002:
        sql = QStringLiteral(
            "SELECT coalesce(D.\"Group\", 255), CASE WHEN D.\"Group\" IS NULL THEN '<Not Assigned>' ELSE D.Name END, "
            "sum(CASE WHEN I.Price NOT BETWEEN -0.0001 AND 0.0001 THEN I.Price ELSE 0 END), "
            "sum(I.Price * CASE WHEN J.Subtotal = 0 THEN 0 ELSE 1.0 * J.Discount / J.Subtotal END) "
            "FROM Jobs J JOIN Items I ON J.JobID = I.JobID JOIN PostingJournal P ON J.PostingNo = P.PostingNo "
            "JOIN Services S ON I.SerNo = S.SerNo LEFT JOIN SalesDepartments D ON S.SaleDept = D.\"No\" "
            "WHERE P.PostingDate BETWEEN {A} AND {B} AND I.SerNo > 0 GROUP BY D.\"Group\", D.Name COLLATE NOCASE "
            "UNION SELECT D.\"Group\", D.Name || ' QS', sum(Q.Price), 0 FROM QuickSalesItems Q JOIN QuickSales S0 ON "
            "Q.QSaleID = S0.QSaleID JOIN PostingJournal P ON S0.PostingNo = P.PostingNo JOIN Services S ON Q.SerNo = S.SerNo "
            "JOIN SalesDepartments D ON S.SaleDept = D.\"No\" WHERE P.PostingDate BETWEEN {A} AND {B} "
            "GROUP BY D.\"Group\", D.Name COLLATE NOCASE");
        break;
    case 2205:
        sql = QStringLiteral("SELECT C.Name, count(J.Subtotal), sum(J.Cost), sum(J.Subtotal), sum(J.Discount) FROM Jobs J "
                             "JOIN PostingJournal P ON J.PostingNo = P.PostingNo JOIN Customers C ON J.CusNo = C.CusNo "
                             "WHERE P.PostingDate BETWEEN {A} AND {B} GROUP BY C.Name COLLATE NOCASE "
                             "ORDER BY sum(J.Subtotal + J.Discount) DESC");
        break;
    default:
        sql = QStringLiteral(
            "SELECT coalesce(D.\"Group\", 255), CASE WHEN D.\"Group\" IS NULL THEN '<Not Assigned>' ELSE D.Name END, "
            "sum(CASE WHEN P.PostingDate BETWEEN {A} AND {B} THEN I.Price * (1 + CASE WHEN J.Subtotal = 0 THEN 0 ELSE 1.0 * "
            "J.Discount / J.Subtotal END) ELSE 0 END), sum(CASE WHEN P.PostingDate BETWEEN {C} AND {D} THEN I.Price * (1 + "
            "CASE WHEN J.Subtotal = 0 THEN 0 ELSE 1.0 * J.Discount / J.Subtotal END) ELSE 0 END) "
            "FROM Jobs J JOIN Items I ON J.JobID = I.JobID JOIN PostingJournal P ON J.PostingNo = P.PostingNo "
            "JOIN Services S ON I.SerNo = S.SerNo LEFT JOIN SalesDepartments D ON S.SaleDept = D.\"No\" "
            "WHERE (P.PostingDate BETWEEN {A} AND {B} OR P.PostingDate BETWEEN {C} AND {D}) AND I.SerNo > 0 "
            "AND I.Price NOT BETWEEN -0.0001 AND 0.0001 GROUP BY D.\"Group\", D.Name COLLATE NOCASE "
            "ORDER BY D.\"Group\", D.Name COLLATE NOCASE");
    }
    return sql.replace(QLatin1String("{A}"), p.a).replace(QLatin1String("{B}"), p.b)
        .replace(QLatin1String("{C}"), p.c).replace(QLatin1String("{D}"), p.d);
}

void BM_ReportThroughRecordset(benchmark::State &state)
{
    platform::Database &db = sample();
    const QString sql = BuildReportSqlText(int(state.range(0)), period().thisPeriod, period().lastPeriod, QString(), false);
    long rows = 0;
    for (auto _ : state) {
        rows = 0;
        platform::Recordset set(db);
        set.open(platform::Recordset::Type::Snapshot, sql);
        for (; !set.isEOF(); set.moveNext(), ++rows) {
            for (int c = 0; c < set.fieldCount(); ++c)
                benchmark::DoNotOptimize(set.value(c));
        }
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ReportThroughRecordset)->Arg(2002)->Arg(2205)->Arg(2301)->Unit(benchmark::kMillisecond);

void BM_ReportPlainSqlite(benchmark::State &state)
{
    platform::Database &db = sample();
    const QString sql = plain(int(state.range(0)));
    long rows = 0;
    for (auto _ : state) {
        rows = 0;
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare16_v2(db.handle(), sql.utf16(), -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                benchmark::DoNotOptimize(sqlite3_column_double(st, c));
            ++rows;
        }
        sqlite3_finalize(st);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ReportPlainSqlite)->Arg(2002)->Arg(2205)->Arg(2301)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
