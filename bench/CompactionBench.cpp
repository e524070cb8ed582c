// Compact Database on the 100,000-job sample shop as the program runs it:
// the copy, the reindex and the check, each with its progress. What the user
// feels is the longest time the window goes without an answer: from the
// start to the first look at the progress, between two looks, and from the
// last look to the end of the run. The benchmark reports that hold (and the
// whole run) and prints the steps on either side of it.
#include "BenchSupport.h"

#include "app/base/SharedDatabaseHolder.h"
#include "data/Compaction.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>

namespace {

struct Tick
{
    qint64 ms;
    QString step;
};

void BM_CompactLongestHold(benchmark::State &state)
{
    const QString sample = BenchSampleShop();
    SharedDatabaseHolder holder;
    double longest = 0, whole = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("TavrelData.mdb"));
        QFile::copy(sample, path);
        platform::Settings::useFolder(folder.filePath(QStringLiteral("settings")));
        SharedDatabase().open(path);
        platform::TestResponder responder;
        responder.answer(platform::IDOK);
        QList<Tick> ticks;
        QElapsedTimer clock;
        const auto progress = [&](const char *part) -> CompactProgress {
            return [&ticks, &clock, part](int done, int total) {
                ticks.append({clock.elapsed(), QStringLiteral("%1 %2/%3").arg(QLatin1String(part)).arg(done).arg(total)});
                return true;
            };
        };
        state.ResumeTiming();
        clock.start();
        ticks.append({0, QStringLiteral("start")});
        CompactDatabase(&SharedDatabase(), QString(), QString(), true, progress("copy"), progress("reindex"),
                        progress("check"));
        ticks.append({clock.elapsed(), QStringLiteral("end (after the box: %1)").arg(responder.lastText().left(40))});
        state.PauseTiming();
        // The three longest holds, longest first.
        QList<int> ends;
        for (int i = 1; i < ticks.size(); ++i)
            ends.append(i);
        std::sort(ends.begin(), ends.end(), [&ticks](int a, int b) {
            return ticks[a].ms - ticks[a - 1].ms > ticks[b].ms - ticks[b - 1].ms;
        });
        longest = double(ticks[ends[0]].ms - ticks[ends[0] - 1].ms);
        whole = double(ticks.last().ms);
        for (int k = 0; k < std::min<int>(3, int(ends.size())); ++k) {
            const int at = ends[k];
            std::fprintf(stderr, "hold %lld ms: from \"%s\" to \"%s\"\n", ticks[at].ms - ticks[at - 1].ms,
                         qPrintable(ticks[at - 1].step), qPrintable(ticks[at].step));
        }
        SharedDatabase().close();
        platform::Settings::useDefault();
        state.ResumeTiming();
    }
    state.counters["longest_hold_ms"] = longest;
    state.counters["whole_run_ms"] = whole;
}

// Exit > "Yes, stop now" in the middle of the reindexing: the time from the
// answer to the end of the run (the copy dropped, the file as it was).
void BM_CompactStopInReindex(benchmark::State &state)
{
    const QString sample = BenchSampleShop();
    SharedDatabaseHolder holder;
    double afterStop = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("TavrelData.mdb"));
        QFile::copy(sample, path);
        platform::Settings::useFolder(folder.filePath(QStringLiteral("settings")));
        SharedDatabase().open(path);
        platform::TestResponder responder;
        responder.answer(platform::IDOK);
        QElapsedTimer sinceStop;
        state.ResumeTiming();
        // Stopped at the first look within the twelfth key (the items' key).
        CompactDatabase(&SharedDatabase(), QString(), QString(), true, CompactProgress(),
                        [&sinceStop, last = -1](int done, int) mutable {
                            if (done == last && done >= 11) {
                                sinceStop.start();
                                return false;
                            }
                            last = done;
                            return true;
                        });
        afterStop = sinceStop.isValid() ? double(sinceStop.elapsed()) : -1;
        state.PauseTiming();
        std::fprintf(stderr, "stopped: %s\n", qPrintable(responder.lastText()));
        SharedDatabase().close();
        platform::Settings::useDefault();
        state.ResumeTiming();
    }
    state.counters["after_stop_ms"] = afterStop;
}

BENCHMARK(BM_CompactStopInReindex)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_CompactLongestHold)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, false);
}
