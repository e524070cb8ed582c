// Save & Close of a 40-service item as the item window does it (the checks,
// the write of the header and every service row in one transaction, then the
// pricing of the item), beside the same 41 rows written straight through
// SQLite in one transaction.

#include "BenchSupport.h"
#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "estimating/CItemSpecsData.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QTemporaryDir>

namespace {

constexpr int kServices = 40;
constexpr qint32 kFirstSerNo = 1000;

struct Shop
{
    QTemporaryDir dir;
    qint32 jobId = 0;

    Shop()
    {
        const QString path = dir.filePath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(path);
        platform::Database &db = SharedDatabase();
        db.open(path);
        platform::Transaction t(db);
        db.execute(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (402, "
                                  "5, 'Bindery', 5, 40)"));
        // Finishing services charged by the hour from their run table.
        for (int i = 0; i < kServices; ++i)
            db.execute(QStringLiteral("INSERT INTO Services (SerNo, CatNo, SortNo, Name, QtyBy, CostBy, PriceBy, Markup, "
                                      "Unit, QBreak1, UnitsHr1, SetFor1, SetTime1, CostHr, AskHowMany, SerRemind, "
                                      "AutoAdd, Divide, Multiply, Round, CostOH, MinPrice) VALUES (%1, 402, %2, "
                                      "'Service %2', 1, 1, 2, 0, 1, 0, 100000, 1, 1000, 60, '', '', 0, 0, 0, 0, 0, 0)")
                           .arg(kFirstSerNo + i)
                           .arg(i + 1));
        db.execute(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo) VALUES (0, 6000, 0, 0)"));
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(JobID) FROM Jobs"));
        jobId = rs.value(0).toInt();
        t.commit();
    }
    ~Shop() { SharedDatabase().close(); }

    void clearItems() { SharedDatabase().execute(QStringLiteral("DELETE FROM Items WHERE JobID = %1").arg(jobId)); }
};

void BM_SaveAndClose40Services(benchmark::State &state)
{
    Shop shop;
    for (auto _ : state) {
        state.PauseTiming();
        shop.clearItems();
        CItemSet header;
        header.m_JobID = shop.jobId;
        CItemSpecsData data(&header);
        data.Load();
        data.m_strDescription = QStringLiteral("Binder");
        data.m_nQuantity = 1000;
        for (int i = 0; i < kServices; ++i)
            data.AddService(kFirstSerNo + i, false);
        state.ResumeTiming();

        const bool saved = data.ValidateItem() && data.WriteItem();
        // Priced as Save & Close prices it: its figures checked on the way.
        QString pastLargest;
        data.PriceAfterWrite(&pastLargest);
        benchmark::DoNotOptimize(saved);
    }
    state.counters["rows"] = kServices + 1;
}
BENCHMARK(BM_SaveAndClose40Services)->Unit(benchmark::kMillisecond);

// The write alone (checks and the one-transaction write, no pricing).
void BM_Write40Services(benchmark::State &state)
{
    Shop shop;
    for (auto _ : state) {
        state.PauseTiming();
        shop.clearItems();
        CItemSet header;
        header.m_JobID = shop.jobId;
        CItemSpecsData data(&header);
        data.Load();
        data.m_strDescription = QStringLiteral("Binder");
        data.m_nQuantity = 1000;
        for (int i = 0; i < kServices; ++i)
            data.AddService(kFirstSerNo + i, false);
        state.ResumeTiming();
        benchmark::DoNotOptimize(data.ValidateItem() && data.WriteItem());
    }
    state.counters["rows"] = kServices + 1;
}
BENCHMARK(BM_Write40Services)->Unit(benchmark::kMillisecond);

void BM_Raw41RowsOneTransaction(benchmark::State &state)
{
    Shop shop;
    sqlite3 *db = SharedDatabase().handle();
    for (auto _ : state) {
        state.PauseTiming();
        shop.clearItems();
        state.ResumeTiming();
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, SortNo, Description, ChargeQty, Sheets, "
                           "Pages, Out, Status) VALUES (?, ?, 1, 0, ?, ?, 1000, 1, 1, 0, 0)",
                           -1, &insert, nullptr);
        for (int i = 0; i <= kServices; ++i) {
            sqlite3_bind_int(insert, 1, shop.jobId);
            sqlite3_bind_int(insert, 2, i == 0 ? 0 : kFirstSerNo + i - 1);
            sqlite3_bind_int(insert, 3, i);
            sqlite3_bind_text(insert, 4, i == 0 ? "Binder" : "", -1, SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    state.counters["rows"] = kServices + 1;
}
BENCHMARK(BM_Raw41RowsOneTransaction)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, false);
}
