// The inventory window in Order mode on the sample shop of 100,000 jobs: the
// list of tracked services and the need of every one of them (one statement
// per service, as the window loads them), beside one grouped statement in raw
// SQLite that gives the same counts, and the same grouped statement through
// the engine. The sample is made once and kept in the build folder
// (tavrel-dbtool sample PATH --jobs 100000); the benchmark works on a copy.
#include "BenchSupport.h"
#include "app/base/Appearance.h"
#include "catalogue/StockRules.h"
#include "data/SharedDatabase.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

namespace {

// Orders in progress only; the sample keeps its items at status 1, so the
// items-in-production filter would list nothing.
constexpr int kOptions = 1;

QString copyPath()
{
    static QTemporaryDir folder;
    static QString path = [] {
        const QString sample = BenchSampleShop();
        const QString copy = folder.filePath(QStringLiteral("TavrelData.mdb"));
        QFile::copy(sample, copy);
        return copy;
    }();
    return path;
}

void openCopy()
{
    static bool opened = false;
    if (opened)
        return;
    static QTemporaryDir settings;
    platform::Settings::useFolder(settings.path());
    Appearance::instance().LoadViewSettings();
    platform::Database &db = SharedDatabase();
    db.open(copyPath());
    // Every service of the sample is tracked; they buy from the house vendor.
    db.executeNative(QStringLiteral("INSERT OR IGNORE INTO Vendors (\"No\", Type, Name, Sort) VALUES (0, 0, 'House', 0)"));
    db.executeNative(QStringLiteral("UPDATE Services SET VendorNo = 0 WHERE VendorNo IS NULL"));
    opened = true;
}

void BM_InventoryOrderModeList(benchmark::State &state)
{
    openCopy();
    const InventoryQuery query = BuildInventoryQuery(InventoryOrder, 0, 0, QString(), kOptions);
    qint64 items = 0;
    int rows = 0;
    for (auto _ : state) {
        const QList<StockRow> listed = LoadStockRows(InventoryOrder, query);
        items = 0;
        for (const StockRow &r : listed)
            items += r.items;
        rows = int(listed.size());
        benchmark::DoNotOptimize(items);
    }
    state.counters["services"] = rows;
    state.counters["items"] = double(items);
}
BENCHMARK(BM_InventoryOrderModeList)->Unit(benchmark::kMillisecond);

void BM_InventoryGroupedNeedThroughTheEngine(benchmark::State &state)
{
    openCopy();
    const InventoryQuery query = BuildInventoryQuery(InventoryOrder, 0, 0, QString(), kOptions);
    qint64 items = 0;
    for (auto _ : state) {
        platform::Recordset set(SharedDatabase());
        set.open(platform::Recordset::Type::Snapshot, query.groupedNeedSql());
        items = 0;
        for (; !set.isEOF(); set.moveNext())
            items += set.value(1).toInt64();
        benchmark::DoNotOptimize(items);
    }
    state.counters["items"] = double(items);
}
BENCHMARK(BM_InventoryGroupedNeedThroughTheEngine)->Unit(benchmark::kMillisecond);

void BM_InventoryGroupedNeedRawSqlite(benchmark::State &state)
{
    openCopy();
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(copyPath().toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const char *sql =
        "SELECT Items.SerNo, count(Items.ItemID), sum(Items.ActualQty) FROM ServiceCategories "
        "JOIN Services ON ServiceCategories.CatNo = Services.CatNo JOIN Items ON Services.SerNo = Items.SerNo "
        "JOIN Jobs ON Jobs.JobID = Items.JobID JOIN Vendors ON Services.VendorNo = Vendors.\"No\" "
        "WHERE Jobs.JobType = 0 AND Jobs.Creator < 98 AND Items.SerNo > 0 AND Items.Status > 0 "
        "AND Services.OptInv > 0 AND (Items.Vendor < 2 OR Items.Vendor > 5) AND Jobs.Status = 0 "
        "GROUP BY Items.SerNo";
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(raw, sql, -1, &statement, nullptr);
    qint64 items = 0;
    int services = 0;
    for (auto _ : state) {
        items = 0;
        services = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            items += sqlite3_column_int64(statement, 1);
            ++services;
        }
        sqlite3_reset(statement);
        benchmark::DoNotOptimize(items);
    }
    sqlite3_finalize(statement);
    sqlite3_close(raw);
    state.counters["services with need"] = services;
    state.counters["items"] = double(items);
}
BENCHMARK(BM_InventoryGroupedNeedRawSqlite)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, true);
}
