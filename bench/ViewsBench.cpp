// Switching to the jobs view and filling its default list ("All Orders") on a
// sample shop of 100,000 jobs, beside the engine's own time for the same
// statement read to the end. The sample is made once and kept in the build
// folder (tavrel-dbtool sample PATH --jobs 100000).
#include "BenchSupport.h"
#include "app/base/Appearance.h"
#include "controls/CXListCtrl.h"
#include "data/CSQL.h"
#include "data/SharedDatabase.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "resources/Strings.h"
#include "views/CView0.h"

#include <benchmark/benchmark.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

namespace {

void openSample()
{
    static bool opened = false;
    if (!opened) {
        static QTemporaryDir settings;
        platform::Settings::useFolder(settings.path());
        Appearance::instance().LoadViewSettings();
        SharedDatabase().open(BenchSampleShop());
        opened = true;
    }
}

void BM_JobsViewDefaultList(benchmark::State &state)
{
    openSample();
    int rows = 0;
    for (auto _ : state) {
        CView0 view(30001);
        view.resize(1000, 640);
        view.OnInitialUpdate();
        view.LoadTreeBranches(IDS_JOB_LISTS_ORDERS, IDS_JOB_LISTS_ORDERS, 0, 0);
        view.show();
        view.SelectTreeCode(1);
        rows = view.list()->GetItemCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_JobsViewDefaultList)->Unit(benchmark::kMillisecond);

void BM_JobsViewDefaultListAllRowsRead(benchmark::State &state)
{
    openSample();
    int rows = 0;
    for (auto _ : state) {
        CView0 view(30001);
        view.resize(1000, 640);
        view.OnInitialUpdate();
        view.LoadTreeBranches(IDS_JOB_LISTS_ORDERS, IDS_JOB_LISTS_ORDERS, 0, 0);
        view.SelectTreeCode(1);
        view.list()->FetchAll();
        rows = view.list()->GetItemCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_JobsViewDefaultListAllRowsRead)->Unit(benchmark::kMillisecond);

void BM_RawStatementSameList(benchmark::State &state)
{
    openSample();
    CSQL statement(30001, 0, 1, QString(), QString(), 0, false);
    int rows = 0;
    for (auto _ : state) {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, statement.m_strSQL);
        rows = 0;
        for (; !rs.isEOF(); rs.moveNext()) {
            benchmark::DoNotOptimize(rs.value(0));
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_RawStatementSameList)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, true);
}
