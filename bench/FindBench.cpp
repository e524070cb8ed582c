// The filters the find dialog and the item finder build, run on the sample
// shop of 100,000 jobs through the program's query layer, beside SQLite
// running the same statement directly: a "contains" filter on the job title,
// a date range on the date in, and the item finder's listing by job number.
#include "BenchSupport.h"
#include "jobs/FindConditions.h"
#include "jobs/ItemFinderQuery.h"
#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace platform;

namespace {

QString titleContains()
{
    FindChoice c;
    c.column = QStringLiteral("Jobs.Title");
    c.type = 10;
    c.operatorRow = 4;
    c.operatorLabel = QStringLiteral("contains");
    c.value1 = QStringLiteral("card");
    return QStringLiteral("SELECT Jobs.JobID, Jobs.JobNo, Jobs.Title, Customers.Name FROM Jobs LEFT JOIN Customers ON "
                          "Jobs.CusNo = Customers.CusNo WHERE ") +
        BuildFindCondition(c);
}

QString dateRange()
{
    FindChoice c;
    c.column = QStringLiteral("Jobs.DateIn");
    c.type = 8;
    c.operatorRow = 48;
    c.operatorLabel = QStringLiteral("is between");
    c.date1 = QDate(2025, 1, 1);
    c.date2 = QDate(2025, 12, 31);
    return QStringLiteral("SELECT Jobs.JobID, Jobs.JobNo, Jobs.Title, Jobs.DateIn FROM Jobs WHERE ") +
        BuildFindCondition(c);
}

QString itemFinder()
{
    return ItemFinderSql(ItemFinderFilter(), kListByJobNumber);
}

void run(benchmark::State &state, const QString &sql)
{
    Database db;
    db.open(BenchSampleShop());
    long rows = 0;
    for (auto _ : state) {
        Recordset rs(db);
        rs.open(Recordset::Type::Snapshot, sql);
        rows = 0;
        for (; !rs.isEOF(); rs.moveNext(), ++rows)
            for (int c = 0; c < rs.fieldCount(); ++c)
                benchmark::DoNotOptimize(rs.value(c));
    }
    state.counters["rows"] = double(rows);
}

void runDirect(benchmark::State &state, const QString &sql)
{
    Database db;
    db.open(BenchSampleShop());
    const QString direct = db.impl()->translate(sql).sql;
    long rows = 0;
    for (auto _ : state)
        rows = ScanDirect(db.handle(), direct);
    state.counters["rows"] = double(rows);
}

void BM_FindTitleContains(benchmark::State &state) { run(state, titleContains()); }
void BM_FindTitleContainsDirect(benchmark::State &state) { runDirect(state, titleContains()); }
void BM_FindDateRange(benchmark::State &state) { run(state, dateRange()); }
void BM_FindDateRangeDirect(benchmark::State &state) { runDirect(state, dateRange()); }
void BM_ItemFinderByJobNumber(benchmark::State &state) { run(state, itemFinder()); }
void BM_ItemFinderByJobNumberDirect(benchmark::State &state) { runDirect(state, itemFinder()); }

BENCHMARK(BM_FindTitleContains)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_FindTitleContainsDirect)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_FindDateRange)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_FindDateRangeDirect)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_ItemFinderByJobNumber)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_ItemFinderByJobNumberDirect)->Unit(benchmark::kMillisecond)->Repetitions(3);

} // namespace

int main(int argc, char **argv)
{
    RatioReporter reporter;
    RunBenchmarks(argc, argv, false, &reporter);
    for (const char *name : {"BM_FindTitleContains", "BM_FindDateRange", "BM_ItemFinderByJobNumber"}) {
        const double ratio = reporter.Ratio(name, std::string(name) + "Direct");
        if (ratio > 0)
            std::printf("%s: %.2fx the time of the direct SQLite query (best of the repetitions)\n", name, ratio);
    }
    return 0;
}
