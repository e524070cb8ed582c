// Loading a 100,000-row query into the in-memory table, beside reading the
// same rows straight from SQLite.

#include "BenchSupport.h"
#include "controls/CXTable.h"

#include "app/base/SharedDatabaseHolder.h"
#include "platform/db/Database.h"
#include "platform/db/TableDef.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <malloc.h>

namespace {

constexpr int kRows = 100000;

const QString kJetQuery = QStringLiteral(
    "SELECT Customer, JobNo, DateIn AS [Date In], Amount, Minutes AS [Press Time], Note, JobID AS [HIDE_KEY] "
    "FROM Jobs ORDER BY JobID");
const char *const kSqliteQuery =
    "SELECT Customer, JobNo, DateIn AS \"Date In\", Amount, Minutes AS \"Press Time\", Note, JobID AS \"HIDE_KEY\" "
    "FROM Jobs ORDER BY JobID";

struct ShopFile
{
    QTemporaryDir dir;
    QString path;

    ShopFile()
    {
        path = dir.filePath(QStringLiteral("TavrelData.mdb"));
        platform::Database::create(path);
        platform::Database db;
        db.open(path);
        platform::TableDef def;
        def.name = QStringLiteral("Jobs");
        def.fields = {{QStringLiteral("Customer"), platform::FieldType::Text, 30},
                      {QStringLiteral("JobNo"), platform::FieldType::Long, 4},
                      {QStringLiteral("DateIn"), platform::FieldType::Date, 8},
                      {QStringLiteral("Amount"), platform::FieldType::Currency, 8},
                      {QStringLiteral("Minutes"), platform::FieldType::Long, 4},
                      {QStringLiteral("Note"), platform::FieldType::Text, 50},
                      {QStringLiteral("JobID"), platform::FieldType::Long, 4}};
        db.createTable(def);
        db.executeNative(QStringLiteral(
            "INSERT INTO Jobs (Customer, JobNo, DateIn, Amount, Minutes, Note, JobID) "
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "SELECT 'Customer ' || (i % 500), i, 40000 + (i % 3000), (i % 100000) / 100.0 + 0.25, i % 600, "
            "'Note text for job ' || i, i FROM n")
                             .arg(kRows));
        db.close();
    }
};

ShopFile &shop()
{
    static ShopFile file;
    return file;
}

// Each side's best time over its runs: other work on the machine only ever
// makes a run slower, so the best is the steadiest comparison.
double g_tableSeconds = 0;
double g_sqliteSeconds = 0;

// The bytes the heap holds for the program, mapped blocks included.
double heapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks) + double(m.hblkhd);
}

template <typename F>
double timed(F &&f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_XTableLoad100k(benchmark::State &state)
{
    SharedDatabaseHolder holder;
    holder.database().open(shop().path);
    double best = 0;
    double held = 0;
    for (auto _ : state) {
        const double before = heapBytes();
        CXTable table;
        const double t = timed([&] { table.LoadQueryWithProgress(kJetQuery, CXTable::TotalsOneRow, 2, QStringLiteral("Total")); });
        best = best > 0 ? std::min(best, t) : t;
        // What the loaded table holds (its rows and its query).
        held = heapBytes() - before;
        if (table.GetRowCount() != kRows + 1)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(table.GetCellValue(kRows, 3));
    }
    g_tableSeconds = best;
    state.counters["rows"] = kRows;
    state.counters["held_MB"] = held / 1e6;
}
BENCHMARK(BM_XTableLoad100k)->Unit(benchmark::kMillisecond)->Iterations(12);

// The same rows into plain values: texts as QStrings, numbers as they are.
void BM_SqliteRead100k(benchmark::State &state)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(shop().path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    double best = 0;
    double held = 0;
    for (auto _ : state) {
        const double before = heapBytes();
        struct Row
        {
            QString customer;
            qint64 jobNo;
            double dateIn;
            double amount;
            qint64 minutes;
            QString note;
            qint64 id;
        };
        std::vector<Row> rows;
        const double t = timed([&] {
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare_v2(db, kSqliteQuery, -1, &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW) {
                rows.push_back({QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))),
                                sqlite3_column_int64(st, 1), sqlite3_column_double(st, 2),
                                sqlite3_column_double(st, 3), sqlite3_column_int64(st, 4),
                                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 5))),
                                sqlite3_column_int64(st, 6)});
            }
            sqlite3_finalize(st);
        });
        best = best > 0 ? std::min(best, t) : t;
        held = heapBytes() - before;
        if (rows.size() != size_t(kRows))
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(rows.data());
    }
    g_sqliteSeconds = best;
    state.counters["held_MB"] = held / 1e6;
    sqlite3_close(db);
}
BENCHMARK(BM_SqliteRead100k)->Unit(benchmark::kMillisecond)->Iterations(12);

} // namespace

int main(int argc, char **argv)
{
    RunBenchmarks(argc, argv, false);
    if (g_tableSeconds > 0 && g_sqliteSeconds > 0)
        std::printf("in-memory table / straight SQLite: %.2f (best %.1f ms / best %.1f ms)\n", g_tableSeconds / g_sqliteSeconds,
                    g_tableSeconds * 1000, g_sqliteSeconds * 1000);
    return 0;
}
