// The customer summary of the busiest customer of a sample shop of 100,000
// jobs: the whole window filled (ranking of five years, orders, payments,
// aging, credit position and the 36-month chart), beside the same statements
// run straight on SQLite. The sample is made once and kept in the build
// folder (tavrel-dbtool sample PATH --jobs 100000), shared with the views
// benchmark.
#include "BenchSupport.h"
#include "app/base/Appearance.h"
#include "app/base/DateRanges.h"
#include "customers/CCusSummary.h"
#include "customers/SummaryFigures.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

namespace {

qint32 busiestCustomer()
{
    static qint32 cusNo = 0;
    if (cusNo == 0) {
        static QTemporaryDir settings;
        platform::Settings::useFolder(settings.path());
        Appearance::instance().LoadViewSettings();
        SharedDatabase().open(BenchSampleShop());
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT CusNo, Count(*) FROM Jobs GROUP BY CusNo ORDER BY Count(*) DESC"));
        cusNo = rs.isEOF() ? 0 : rs.value(0).toInt();
    }
    return cusNo;
}

// The window, filled as it opens, without being shown.
class SummaryUnderTest : public CCusSummary
{
public:
    SummaryUnderTest() : CCusSummary(nullptr) {}
    void open() { OnInitDialog(); }
};

// Every statement the summary runs, in Jet's dialect.
QStringList summaryStatements(qint32 cusNo)
{
    const QDate today = platform::Clock::today();
    QStringList list;
    for (int year = today.year(); year > today.year() - 5; --year)
        list << QStringLiteral("SELECT Jobs.CusNo, SUM(Jobs.Subtotal+Jobs.Discount) FROM Jobs WHERE Jobs.JobType = 3 "
                               "AND Jobs.DateShipped BETWEEN #01/01/%1# AND #12/31/%1# GROUP BY Jobs.CusNo ORDER BY "
                               "SUM(Jobs.Subtotal+Jobs.Discount) DESC ")
                    .arg(year);
    list << CustomerOrdersSql(cusNo) << CustomerPaymentsSql(cusNo) << CustomerAgingSql(cusNo);
    const QString open = QStringLiteral("SELECT SUM(Balance) AS [Amount] FROM Jobs WHERE JobType = %1 and Balance > "
                                        "0.0001 and CusNo = %2");
    QString current, past;
    BuildDateCondition(current, QStringLiteral("Jobs.DatePayDue"), 5, 0);
    BuildDateCondition(past, QStringLiteral("Jobs.DatePayDue"), 2, 0);
    list << open.arg(0).arg(cusNo) << open.arg(3).arg(cusNo) + QStringLiteral(" and ") + current
         << open.arg(3).arg(cusNo) + QStringLiteral(" and ") + past
         << QStringLiteral("SELECT CreditLimit FROM Customers WHERE CusNo = %1").arg(cusNo)
         << QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = %1").arg(cusNo)
         << CustomerMonthlySalesSql(cusNo, MonthlySalesStart(today));
    return list;
}

void BM_CustomerSummaryWindow(benchmark::State &state)
{
    const qint32 cusNo = busiestCustomer();
    for (auto _ : state) {
        SummaryUnderTest summary;
        summary.m_nCusNo = cusNo;
        summary.open();
        benchmark::DoNotOptimize(summary.creditPosition().total);
    }
    state.counters["CusNo"] = cusNo;
}
BENCHMARK(BM_CustomerSummaryWindow)->Unit(benchmark::kMillisecond);

void BM_CustomerSummaryRawSqlite(benchmark::State &state)
{
    const qint32 cusNo = busiestCustomer();
    platform::Database &db = SharedDatabase();
    QStringList native;
    for (const QString &jet : summaryStatements(cusNo))
        native << db.impl()->translate(jet).sql;
    long rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (const QString &sql : native) {
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare16_v2(db.handle(), sql.utf16(), -1, &st, nullptr);
            while (st && sqlite3_step(st) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(st); ++c)
                    benchmark::DoNotOptimize(sqlite3_column_double(st, c));
                ++rows;
            }
            sqlite3_finalize(st);
        }
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_CustomerSummaryRawSqlite)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, true);
}
