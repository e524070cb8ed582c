#include "platform/Money.h"

#include <benchmark/benchmark.h>

static void BM_MoneyFromText(benchmark::State &state)
{
    const QString text = QStringLiteral("12,345.6789");
    for (auto _ : state)
        benchmark::DoNotOptimize(Money::fromText(text));
}
BENCHMARK(BM_MoneyFromText);

BENCHMARK_MAIN();
