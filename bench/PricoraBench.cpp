// The price wizard's ten quantities: priced on one engine loaded once (as
// the wizard does) beside ten engines each loaded afresh, and the ratio.

#include "BenchSupport.h"
#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "estimating/CItemPrice.h"
#include "estimating/PricoraScratch.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QTemporaryDir>

#include <chrono>

namespace {

struct Shop
{
    QTemporaryDir dir;

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
        t.commit();
        PricoraSpecs specs;
        specs.paper = 101;
        specs.press = 201;
        specs.plate = 6;
        specs.other = 501;
        specs.side1 = 1;
        Pricora::SaveScratchItem(specs);
    }
    ~Shop() { SharedDatabase().close(); }
};

const QList<qint32> kQuantities = Pricora::Quantities(QStringLiteral("Varies"));

// The wizard's way: one engine, priced once per quantity.
qint64 priceOnOneEngine()
{
    qint64 sum = 0;
    for (qint32 price : Pricora::PriceQuantities(kQuantities))
        sum += price;
    return sum;
}

// Each quantity on an engine of its own, loaded afresh.
qint64 priceOnFreshEngines()
{
    qint64 sum = 0;
    for (qint32 quantity : kQuantities) {
        if (quantity <= 0)
            continue;
        CItemSet item;
        item.m_JobID = Pricora::kJobId;
        item.m_ItemNo = Pricora::kItemNo;
        CItemPrice engine(&item, true);
        if (engine.PriceItem(quantity))
            sum += engine.GetNewPrice().units() / 100;
    }
    return sum;
}

void BM_PricoraOneEngine(benchmark::State &state)
{
    Shop shop;
    for (auto _ : state)
        benchmark::DoNotOptimize(priceOnOneEngine());
}
BENCHMARK(BM_PricoraOneEngine)->Unit(benchmark::kMillisecond);

void BM_PricoraFreshEngines(benchmark::State &state)
{
    Shop shop;
    for (auto _ : state)
        benchmark::DoNotOptimize(priceOnFreshEngines());
}
BENCHMARK(BM_PricoraFreshEngines)->Unit(benchmark::kMillisecond);

// Both ways in turn; "fresh_over_one" is how many times longer the fresh
// engines take.
void BM_PricoraRatio(benchmark::State &state)
{
    Shop shop;
    using Clock = std::chrono::steady_clock;
    Clock::duration one{}, fresh{};
    for (auto _ : state) {
        const auto a = Clock::now();
        benchmark::DoNotOptimize(priceOnOneEngine());
        const auto b = Clock::now();
        benchmark::DoNotOptimize(priceOnFreshEngines());
        fresh += Clock::now() - b;
        one += b - a;
    }
    state.counters["fresh_over_one"] = one.count() ? double(fresh.count()) / double(one.count()) : 0.0;
}
BENCHMARK(BM_PricoraRatio)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, false);
}
