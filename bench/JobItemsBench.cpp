// The job window's item list: a refill of the items view for a job of 200
// items with 3 services each (every row described, the job's money summed),
// beside the engine's own time for reading the same rows.
#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "jobs/CJobDlg.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

namespace {

constexpr int kItems = 200;
constexpr int kServices = 3;

qint32 sampleJob()
{
    static qint32 jobId = 0;
    if (jobId != 0)
        return jobId;
    static QTemporaryDir folder;
    platform::Settings::useFolder(folder.path());
    Appearance::instance().LoadViewSettings();
    const QString path = folder.path() + QStringLiteral("/items.mdb");
    CreateShopDatabase(path);
    platform::Database &db = SharedDatabase();
    db.open(path);
    db.execute(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) "
                              "SELECT 1, CatNo, 'Press run', 0, 0, 9999 FROM Services WHERE SerNo = 0"));
    db.execute(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Title, Subtotal) VALUES (0, 500, 0, 'Bench', "
                              "%1)")
                   .arg(kItems * kServices * 10));
    platform::Recordset id(db);
    id.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(JobID) FROM Jobs"));
    jobId = id.value(0).toInt();
    platform::Transaction transaction(db);
    for (int i = 1; i <= kItems; ++i) {
        for (int s = 0; s <= kServices; ++s)
            db.execute(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, SortNo, Description, Price, "
                                      "Cost, Sheets, Status, ChargeQty) VALUES (%1, %2, %3, 0, %4, 'Item %3', %5, 4, "
                                      "1, 1, 500)")
                           .arg(jobId)
                           .arg(s == 0 ? 0 : 1)
                           .arg(i)
                           .arg(s)
                           .arg(s == 0 ? kServices * 10 : 10));
    }
    transaction.commit();
    return jobId;
}

void BM_RefillItemsView(benchmark::State &state)
{
    const qint32 jobId = sampleJob();
    CZqApp app;
    InstallAppQueryReader(app);
    platform::TestResponder answers;
    CJobSet job;
    job.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(jobId);
    job.RequeryOrOpen(false);
    CJobDlg window(&job, true, nullptr, nullptr);
    for (auto _ : state)
        window.RefillItems(false);
    state.counters["rows"] = window.itemList().GetItemCount();
    state.counters["items"] = window.itemCount();
}
BENCHMARK(BM_RefillItemsView)->Unit(benchmark::kMillisecond);

void BM_RawItemRows(benchmark::State &state)
{
    const qint32 jobId = sampleJob();
    int rows = 0;
    for (auto _ : state) {
        platform::Recordset items(SharedDatabase());
        items.open(platform::Recordset::Type::Snapshot,
                   QStringLiteral("SELECT * FROM Items WHERE JobID = %1 ORDER BY ItemNo, SubNo, SortNo").arg(jobId));
        rows = 0;
        for (; !items.isEOF(); items.moveNext()) {
            benchmark::DoNotOptimize(items.value(0));
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_RawItemRows)->Unit(benchmark::kMillisecond);

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
