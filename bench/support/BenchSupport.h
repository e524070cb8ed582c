#pragma once

#include <benchmark/benchmark.h>

#include <QtCore/QString>

#include <map>
#include <string>
#include <vector>

struct sqlite3;

// What the benchmark programs share: the big sample shop, a plain SQLite scan
// to compare with, a reporter that keeps each benchmark's best time, and the
// program's main.

// The 100,000-job sample shop: the file TAVREL_BENCH_SAMPLE names, or else
// one beside the benchmark programs, made with tavrel-dbtool the first time
// it is needed.
QString BenchSampleShop();
// A sample shop of another size: the file TAVREL_BENCH_SAMPLE_<jobs> names, or
// else one beside the benchmark programs, made the first time it is needed.
QString BenchSampleShop(int jobs);

// Steps a statement to its end reading every column, as a direct caller
// would; the number of rows.
long ScanDirect(sqlite3 *db, const QString &sql);

// Keeps the best time of every benchmark (by function name) as it reports.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override;
    // The best time of one benchmark over another's; 0 when either is missing.
    double Ratio(const std::string &ours, const std::string &base) const;

private:
    std::map<std::string, double> m_best;
};

// Runs the benchmarks named on the command line. Programs that draw get a
// widget application on the offscreen platform; a reporter may be given.
int RunBenchmarks(int argc, char **argv, bool drawing, benchmark::BenchmarkReporter *reporter = nullptr);
