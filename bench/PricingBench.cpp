// Repricing every item of a 200-item job, as the job window's reprice does,
// silently: load each item's rows and services and price them.

#include "BenchSupport.h"
#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "estimating/CItemPrice.h"
#include "estimating/PricingCache.h"

#include <benchmark/benchmark.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QTemporaryDir>

namespace {

constexpr int kItems = 200;

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
        db.execute(QStringLiteral("DELETE FROM MarkupTable"));
        db.execute(QStringLiteral("DELETE FROM WasteTable"));
        db.execute(QStringLiteral("INSERT INTO MarkupTable ([No], Markup1, Markup2) VALUES (0, 0, 1000)"));
        db.execute(QStringLiteral("INSERT INTO MarkupTable ([No], Markup1, Markup2) VALUES (1, 80, 40)"));
        db.execute(QStringLiteral("INSERT INTO WasteTable ([Level], Setup, Waste1, Waste2) VALUES (0, 0, 1000, 10000)"));
        db.execute(QStringLiteral("INSERT INTO WasteTable ([Level], Setup, Waste1, Waste2) VALUES (1, 20, 500, 300)"));
        const char *services[] = {
            "(101, 101, '60# Offset', 0, 2, 2, 1, 2, 1, 2000, 0, 0, 0, 0)",
            "(201, 201, 'Press', 8, 1, 2, 1, 0, 1, 0, 500000, 1, 1500, 1)",
            "(6, 6, 'Plate', 9, 2, 2, 1, 1, 1, 1500, 0, 0, 0, 0)",
            "(501, 50, 'Cutting', 5, 1, 2, 1, 0, 1, 0, 300000, 1, 1000, 0)",
            "(502, 50, 'Folding', 1, 3, 3, 1, 0, 1, 2, 600000, 1, 500, 0)",
        };
        for (const char *s : services)
            db.execute(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, QtyBy, CostBy, PriceBy, Markup, Unit, "
                                      "QBreak1, RunCost1, UnitsHr1, SetFor1, SetTime1, WasteBy) VALUES ")
                       + QString::fromLatin1(s));
        db.execute(QStringLiteral("UPDATE Services SET CostHr = 60, RunPrice1 = 5, Divide = 500, AskHowMany = '', "
                                  "Multiply = 0, Round = 0, LiftBy = 0, CostOH = 0, Caliper = 0, Step = 0, "
                                  "AdjustBy = 0, Bid = 0, Rush = 0, Spcl = 0, MinPrice = 0, Markup2 = 0, Markup3 = 0, "
                                  "TimeBy = 0, Colors = 0, SetTime = 0, ImpHour = 0"));
        db.execute(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo) VALUES (1, 5000, 0, 0)"));
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(JobID) FROM Jobs"));
        jobId = rs.value(0).toInt();
        const QString row = QStringLiteral(
            "INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Sheets, Out, Up, Side1, Side2, ChargeQty, Status, Cost, "
            "Price, TimeCost, MatCost, ActualQty, ChargeTime, Wash, Mix, Covrg, Regis, Bleed, PrtAs, Vendor, Opt1, "
            "Opt2, Pages, Data2) VALUES (%1, %2, %3, 0, 1, %4, %5, %6, 0, %7, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, "
            "0, 0, 0, 1, 0)");
        for (int item = 1; item <= kItems; ++item) {
            const int qty = 500 * item;
            db.execute(row.arg(jobId).arg(0).arg(item).arg(0).arg(0).arg(0).arg(qty));
            db.execute(row.arg(jobId).arg(101).arg(item).arg(1).arg(2).arg(1).arg(0));
            db.execute(row.arg(jobId).arg(201).arg(item).arg(0).arg(0).arg(0).arg(0));
            db.execute(row.arg(jobId).arg(6).arg(item).arg(1).arg(0).arg(0).arg(0));
            db.execute(row.arg(jobId).arg(501).arg(item).arg(0).arg(0).arg(0).arg(0));
            db.execute(row.arg(jobId).arg(502).arg(item).arg(0).arg(0).arg(0).arg(0));
        }
        t.commit();
    }
    ~Shop() { SharedDatabase().close(); }
};

void BM_RepriceJob(benchmark::State &state)
{
    Shop shop;
    CItemSet items;
    items.m_strFilter = QStringLiteral("JobID = %1 and SerNo = 0").arg(shop.jobId);
    items.m_strSort = QStringLiteral("ItemNo");
    items.Open(CXDaoSet::dbOpenSnapshot);
    Money total;
    for (auto _ : state) {
        for (items.MoveFirst(); !items.IsEOF(); items.MoveNext()) {
            CItemPrice engine(&items, true);
            engine.PriceItem(0);
            total += engine.GetNewPrice();
        }
    }
    benchmark::DoNotOptimize(total);
    // Seconds per item, scaled to microseconds.
    state.counters["per_item_us"] = benchmark::Counter(double(state.iterations()) * kItems * 1e-6,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RepriceJob)->Unit(benchmark::kMillisecond);

// The same reprice with one cache of the shop tables for the whole run, as
// the job window passes it.
void BM_RepriceJobWithCache(benchmark::State &state)
{
    Shop shop;
    CItemSet items;
    items.m_strFilter = QStringLiteral("JobID = %1 and SerNo = 0").arg(shop.jobId);
    items.m_strSort = QStringLiteral("ItemNo");
    items.Open(CXDaoSet::dbOpenSnapshot);
    Money total;
    for (auto _ : state) {
        PricingCache cache;
        for (items.MoveFirst(); !items.IsEOF(); items.MoveNext()) {
            CItemPrice engine(&items, true, &cache);
            engine.PriceItem(0);
            total += engine.GetNewPrice();
        }
    }
    benchmark::DoNotOptimize(total);
    state.counters["per_item_us"] = benchmark::Counter(double(state.iterations()) * kItems * 1e-6,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RepriceJobWithCache)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, false);
}
