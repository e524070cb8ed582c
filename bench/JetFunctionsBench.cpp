// What a user's own query costs per row: a 100,000-row scan calling
// Format(DateIn, 'yyyy/mm'), DateDiff('d', DateIn, DateShipped) and
// Round(Total, 2), beside the same scan reading the bare columns in raw
// SQLite. The ratio is printed at the end (target: within 3x).
#include "BenchSupport.h"
#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"
#include "platform/db/Statement.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <string>

using namespace platform;

namespace {

constexpr int kJobs = 100000;

const QString kUserQuery = QStringLiteral(
    "SELECT Format(DateIn, 'yyyy/mm') AS Period, DateDiff('d', DateIn, DateShipped) AS Days, Round(Total, 2) AS Amount "
    "FROM Jobs");
const QString kBare = QStringLiteral("SELECT DateIn, DateShipped, Total FROM Jobs");

class Shop
{
public:
    static Shop &get()
    {
        static Shop shop;
        return shop;
    }
    QString path() const { return m_dir.filePath(QStringLiteral("TavrelData.mdb")); }

private:
    Shop()
    {
        Database::create(path());
        Database db;
        db.open(path());
        db.createTable({QStringLiteral("Jobs"),
                        {{QStringLiteral("JobID"), FieldType::Long, 4, true},
                         {QStringLiteral("DateIn"), FieldType::Date, 8},
                         {QStringLiteral("DateShipped"), FieldType::Date, 8},
                         {QStringLiteral("Total"), FieldType::Currency, 8}},
                        {{QStringLiteral("JobID"), QStringLiteral("JobID"), true, true}}});
        Transaction t(db);
        Statement jobs(db.handle(), QStringLiteral("INSERT INTO Jobs (DateIn, DateShipped, Total) VALUES (?1, ?2, ?3)"));
        for (int j = 0; j < kJobs; ++j) {
            const double in = 40000.0 + j / 30 + (j % 24) / 24.0;
            jobs.bindAll({Value(DateTime(in)), j % 9 ? Value(DateTime(in + j % 12)) : Value(),
                          Value(Money::fromUnits(1234567 + j * 37))});
            jobs.run();
            jobs.reset();
        }
        t.commit();
    }

    QTemporaryDir m_dir;
};

void BM_UserFunctionsScan(benchmark::State &state)
{
    Database db;
    db.open(Shop::get().path());
    const QString sql = db.impl()->translate(kUserQuery).sql;
    long rows = 0;
    for (auto _ : state)
        rows = ScanDirect(db.handle(), sql);
    state.counters["rows"] = double(rows);
}

void BM_UserFunctionsScanBare(benchmark::State &state)
{
    Database db;
    db.open(Shop::get().path());
    long rows = 0;
    for (auto _ : state)
        rows = ScanDirect(db.handle(), kBare);
    state.counters["rows"] = double(rows);
}

// Each function alone, to see where the time goes.
void BM_OneFunctionScan(benchmark::State &state)
{
    static const char *const expressions[] = {"Format(DateIn, 'yyyy/mm')", "DateDiff('d', DateIn, DateShipped)",
                                              "Round(Total, 2)", "DateIn", "'2011/03' & ''", "Year(DateIn)",
                                              // Date and Double arithmetic, each checked for leaving its range.
                                              "DateIn + 7 - 1", "(DateShipped - DateIn) / 30"};
    Database db;
    db.open(Shop::get().path());
    const QString sql =
        db.impl()->translate(QStringLiteral("SELECT %1 FROM Jobs").arg(QString::fromLatin1(expressions[state.range(0)]))).sql;
    state.SetLabel(expressions[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(ScanDirect(db.handle(), sql));
}

BENCHMARK(BM_OneFunctionScan)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UserFunctionsScan)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_UserFunctionsScanBare)->Unit(benchmark::kMillisecond)->Repetitions(5);

} // namespace

int main(int argc, char **argv)
{
    RatioReporter reporter;
    RunBenchmarks(argc, argv, false, &reporter);
    const double ratio = reporter.Ratio("BM_UserFunctionsScan", "BM_UserFunctionsScanBare");
    if (ratio > 0)
        std::printf("Format/DateDiff/Round scan: %.2fx the time of the bare columns in raw SQLite "
                    "(best of the repetitions; target 3x)\n",
                    ratio);
    return 0;
}
