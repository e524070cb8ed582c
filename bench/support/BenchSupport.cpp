#include "BenchSupport.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>

#include <sqlite3.h>

#include <memory>

QString BenchSampleShop()
{
    // scripts/bench.sh makes the sample once per seed and names it here.
    const QString given = qEnvironmentVariable("TAVREL_BENCH_SAMPLE");
    if (!given.isEmpty() && QFile::exists(given))
        return given;
    return BenchSampleShop(100000);
}

QString BenchSampleShop(int jobs)
{
    const QString given = qEnvironmentVariable(QStringLiteral("TAVREL_BENCH_SAMPLE_%1").arg(jobs).toUtf8().constData());
    if (!given.isEmpty() && QFile::exists(given))
        return given;
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/jobs%1k.mdb").arg(jobs / 1000);
    if (!QFile::exists(path)) {
        QProcess tool;
        tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../tavrel-dbtool"),
                   {QStringLiteral("sample"), path, QStringLiteral("--jobs"), QString::number(jobs)});
        tool.waitForFinished(-1);
    }
    return path;
}

long ScanDirect(sqlite3 *db, const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare16_v2(db, sql.utf16(), -1, &st, nullptr);
    long rows = 0;
    const int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER: benchmark::DoNotOptimize(sqlite3_column_int64(st, c)); break;
            case SQLITE_FLOAT: benchmark::DoNotOptimize(sqlite3_column_double(st, c)); break;
            case SQLITE_TEXT:
                benchmark::DoNotOptimize(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                                           sqlite3_column_bytes(st, c)));
                break;
            default: break;
            }
        }
        ++rows;
    }
    sqlite3_finalize(st);
    return rows;
}

void RatioReporter::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &r : runs) {
        if (r.run_type != Run::RT_Iteration)
            continue;
        const std::string name = r.run_name.function_name;
        const double t = r.GetAdjustedCPUTime();
        const auto it = m_best.find(name);
        if (it == m_best.end() || t < it->second)
            m_best[name] = t;
    }
    ConsoleReporter::ReportRuns(runs);
}

double RatioReporter::Ratio(const std::string &ours, const std::string &base) const
{
    const auto a = m_best.find(ours);
    const auto b = m_best.find(base);
    if (a == m_best.end() || b == m_best.end() || b->second <= 0)
        return 0;
    return a->second / b->second;
}

int RunBenchmarks(int argc, char **argv, bool drawing, benchmark::BenchmarkReporter *reporter)
{
    if (drawing)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (drawing)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
    return 0;
}
