// Switching to the jobs view and filling its default list ("All Orders") on a
// sample shop of 100,000 jobs, beside the engine's own time for the same
// statement read to the end. The sample is made once and kept in the build
// folder (tavrel-dbtool sample PATH --jobs 100000).
//
// The peak memory of filling that list is measured in a child process (this
// program again, with --peak-memory=list): it opens the sample, fills the
// list to its last row and reports its peak resident size; beside it a child
// (--peak-memory=raw) opens the sample and reads the same statement's rows,
// every field, into a snapshot it keeps. Both report VmHWM in megabytes as
// the counter peak_MB.
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

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

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

// The Jobs view as the program first shows it, with "All Orders" selected;
// shown on screen when asked (the first screen is what shows).
void ShowAllOrders(CView0 &view, bool shown)
{
    view.resize(1000, 640);
    view.OnInitialUpdate();
    view.LoadTreeBranches(IDS_JOB_LISTS_ORDERS, IDS_JOB_LISTS_ORDERS, 0, 0);
    if (shown)
        view.show();
    view.SelectTreeCode(1);
}

void BM_JobsViewDefaultList(benchmark::State &state)
{
    openSample();
    int rows = 0;
    for (auto _ : state) {
        CView0 view(30001);
        ShowAllOrders(view, true);
        rows = view.list()->GetItemCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_JobsViewDefaultList)->Unit(benchmark::kMillisecond);

// "All Orders" sorted by its customers, one way and back, as a click on the
// column's heading sorts it.
void BM_JobsViewSortByCustomer(benchmark::State &state)
{
    openSample();
    CView0 view(30001);
    ShowAllOrders(view, false);
    CXListCtrl &list = *view.list();
    for (auto _ : state)
        list.OnColumnClick(1);
    state.counters["rows"] = list.GetItemCount();
}
BENCHMARK(BM_JobsViewSortByCustomer)->Unit(benchmark::kMillisecond);

void BM_JobsViewDefaultListAllRowsRead(benchmark::State &state)
{
    openSample();
    int rows = 0;
    for (auto _ : state) {
        CView0 view(30001);
        ShowAllOrders(view, false);
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

// The process's peak resident size in kilobytes (VmHWM).
long PeakResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// The child's work: fills the list, or reads the rows raw; prints VmHWM.
int RunPeakMemoryChild(int argc, char **argv, const char *what)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    openSample();
    long rows = 0;
    if (std::strcmp(what, "list") == 0) {
        CView0 view(30001);
        ShowAllOrders(view, true);
        view.list()->FetchAll();
        rows = view.list()->GetItemCount();
        std::printf("%ld %ld\n", PeakResidentKb(), rows);
    } else {
        CSQL statement(30001, 0, 1, QString(), QString(), 0, false);
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, statement.m_strSQL);
        const int fields = rs.fieldCount();
        for (; !rs.isEOF(); rs.moveNext()) {
            for (int f = 0; f < fields; ++f)
                benchmark::DoNotOptimize(rs.value(f));
            ++rows;
        }
        std::printf("%ld %ld\n", PeakResidentKb(), rows);
    }
    std::fflush(stdout);
    return 0;
}

void PeakMemoryOf(benchmark::State &state, const char *what)
{
    double mb = 0;
    long rows = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak-memory=") + QLatin1String(what)});
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            state.SkipWithError("the child process failed");
            return;
        }
        const QStringList parts = QString::fromLatin1(child.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
        if (parts.size() < 2) {
            state.SkipWithError("the child process reported nothing");
            return;
        }
        mb = parts.at(0).toDouble() / 1024.0;
        rows = parts.at(1).toLong();
    }
    state.counters["peak_MB"] = mb;
    state.counters["rows"] = double(rows);
}

void BM_JobsViewDefaultListPeakMemory(benchmark::State &state)
{
    PeakMemoryOf(state, "list");
}
BENCHMARK(BM_JobsViewDefaultListPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RawStatementSameListPeakMemory(benchmark::State &state)
{
    PeakMemoryOf(state, "raw");
}
BENCHMARK(BM_RawStatementSameListPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--peak-memory=", 14) == 0)
            return RunPeakMemoryChild(argc, argv, argv[i] + 14);
    }
    return RunBenchmarks(argc, argv, true);
}
