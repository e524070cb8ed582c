// The production board's lists on a sample shop of 100,000 jobs: all orders
// (list 31101) and the services of any date (list 31501), built into rows,
// beside the same statements run straight on SQLite; and how soon the
// services of every department (31301) show their first screen on a shop of
// 30,000 jobs. The sample is made once
// and kept in the build folder (tavrel-dbtool sample PATH --jobs 100000),
// shared with the other benchmarks.
#include "BenchSupport.h"
#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/SharedDatabase.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"
#include "production/schedule/ScheduleLists.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <memory>

namespace {

// The shop of the benchmarks run so far; another size opens its own.
CZqApp &sampleShop(int jobs = 0)
{
    static std::unique_ptr<CZqApp> app;
    static int open = -1;
    if (!app || open != jobs) {
        const QString path = jobs == 0 ? BenchSampleShop() : BenchSampleShop(jobs);
        static QTemporaryDir settings;
        platform::Settings::useFolder(settings.path());
        Appearance::instance().LoadViewSettings();
        app.reset();
        SharedDatabase().close();
        SharedDatabase().open(path);
        open = jobs;
        app = std::make_unique<CZqApp>();
        InstallAppQueryReader(*app);
        app->LoadServiceDepartments();
        app->LoadServiceCategories();
        app->LoadServices(2);
    }
    return *app;
}

QString statementOf(int code)
{
    ScheduleLists lists(&sampleShop());
    lists.options = 0x10000 | 0x20000;
    QString caption;
    return code == 31101 ? lists.OrdersSql(1, caption) : lists.ServicesSql(code, caption);
}

void BM_ScheduleList(benchmark::State &state)
{
    const int code = int(state.range(0));
    ScheduleLists lists(&sampleShop());
    lists.options = 0x10000 | 0x20000;
    long rows = 0;
    for (auto _ : state) {
        const ScheduleTable table = code == 31101 ? lists.ListOrders(1) : lists.ListServices(code);
        rows = long(table.rows.size());
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ScheduleList)->Arg(31101)->Arg(31501)->Unit(benchmark::kMillisecond);

void BM_ScheduleListRawSqlite(benchmark::State &state)
{
    const int code = int(state.range(0));
    sampleShop();
    platform::Database &db = SharedDatabase();
    const QString native = db.impl()->translate(statementOf(code)).sql;
    long rows = 0;
    for (auto _ : state) {
        rows = 0;
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare16_v2(db.handle(), native.utf16(), -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            ++rows;
        }
        sqlite3_finalize(st);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ScheduleListRawSqlite)->Arg(31101)->Arg(31501)->Unit(benchmark::kMillisecond);

// The time until the services list of every department tells its first
// screen of rows, as the view shows it; the rest is not read. With the
// view's first list options (services to do of orders in progress, by date)
// and with every service listed.
void BM_ServicesFirstScreen(benchmark::State &state)
{
    ScheduleLists lists(&sampleShop(30000));
    lists.options = int(state.range(0));
    QElapsedTimer clock;
    qint64 firstScreen = -1;
    long rows = 0;
    lists.progress = [&firstScreen](int, int) { return firstScreen < 0; };
    lists.rowsMade = [&](const ScheduleTable &table) {
        if (firstScreen < 0) {
            firstScreen = clock.nsecsElapsed();
            rows = long(table.rows.size());
        }
    };
    for (auto _ : state) {
        firstScreen = -1;
        clock.start();
        benchmark::DoNotOptimize(lists.ListServices(31301));
        state.SetIterationTime(double(firstScreen < 0 ? clock.nsecsElapsed() : firstScreen) / 1e9);
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ServicesFirstScreen)->Arg(0x411)->Arg(0x30000)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
