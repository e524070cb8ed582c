// Opening a job from the jobs view on a sample shop of 100,000 jobs: the
// job's lock taken, its row read for editing, the job window built and filled
// (record bar, parties, dates, totals, item list) and the lock given back;
// beside the engine's own time for reading the job row and its item rows.
// The sample is made once and kept in the build folder.
#include "BenchSupport.h"
#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "jobs/CJobDlg.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

namespace {

// An order from the middle of the file, with items.
qint32 sampleOrder()
{
    static qint32 jobId = 0;
    if (jobId == 0) {
        static QTemporaryDir settings;
        platform::Settings::useFolder(settings.path());
        Appearance::instance().LoadViewSettings();
        SharedDatabase().open(BenchSampleShop());
        // Locks left by a run that was stopped.
        SharedDatabase().execute(QStringLiteral("DELETE FROM Options WHERE OptionID < 0"));
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT Jobs.JobID FROM Jobs WHERE JobType = 0 and JobID > 50000 and JobID IN (SELECT "
                               "JobID FROM Items) ORDER BY JobID"));
        jobId = rs.isEOF() ? 1 : rs.value(0).toInt();
    }
    return jobId;
}

void BM_OpenJobWindow(benchmark::State &state)
{
    const qint32 jobId = sampleOrder();
    CZqApp app;
    InstallAppQueryReader(app);
    platform::TestResponder answers;
    int items = 0;
    for (auto _ : state) {
        CJobSet job;
        job.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(jobId);
        job.RequeryOrOpen(true);
        job.Lock(true);
        {
            CJobDlg window(&job, false, nullptr, nullptr);
            // The window, and the missing-data check it may run on opening,
            // are closed at once.
            while (answers.pendingAnswers() < 2)
                answers.onDialog([&items](QDialog &d) {
                    if (auto *shown = dynamic_cast<CJobDlg *>(&d))
                        items = shown->itemCount();
                    return 2;
                });
            window.DoModal();
        }
        job.Lock(false);
        answers.clear();
    }
    state.counters["items"] = items;
}
BENCHMARK(BM_OpenJobWindow)->Unit(benchmark::kMillisecond);

void BM_RawJobAndItems(benchmark::State &state)
{
    const qint32 jobId = sampleOrder();
    int rows = 0;
    for (auto _ : state) {
        platform::Recordset job(SharedDatabase());
        job.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT * FROM Jobs WHERE JobID = %1").arg(jobId));
        benchmark::DoNotOptimize(job.value(0));
        platform::Recordset items(SharedDatabase());
        items.open(platform::Recordset::Type::Snapshot,
                   QStringLiteral("SELECT * FROM Items WHERE JobID = %1 ORDER BY ItemNo, SubNo, SerNo").arg(jobId));
        rows = 0;
        for (; !items.isEOF(); items.moveNext()) {
            benchmark::DoNotOptimize(items.value(0));
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_RawJobAndItems)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, true);
}
