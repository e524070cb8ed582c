// The item tools users wait for:
//  - the price list's "Price List" series (120 quantities) of a template
//    item with ten services, priced on one engine with one cache of the shop
//    tables, beside 120 engines each loaded afresh (the ratio is printed);
//  - the new-item window's listing of a customer's items by description on
//    the 100,000-job sample, through the program's recordset, beside the
//    same question in plain SQLite stepped through its API (target 1.5x).
#include "BenchSupport.h"

#include "app/base/SqlText.h"
#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "estimating/CItemNew.h"
#include "estimating/CItemPrice.h"
#include "estimating/PriceListRules.h"
#include "estimating/PricingCache.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QtCore/QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kServices = 10;

// A shop with one template item of ten finishing services, each with a
// set-up and a run price.
struct TemplateShop
{
    QTemporaryDir dir;
    qint32 itemId = 0;

    TemplateShop()
    {
        const QString path = dir.filePath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(path);
        platform::Database &db = SharedDatabase();
        db.open(path);
        platform::Transaction t(db);
        db.execute(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo, Title) VALUES (2, 900, 0, 31, 'T')"));
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(JobID) FROM Jobs"));
        const qint32 jobId = rs.value(0).toInt();
        rs.close();
        db.execute(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, ChargeQty, Sheets, "
                                  "Status) VALUES (%1, 0, 1, 0, 'Pads', 500, 1, 1)")
                       .arg(jobId));
        for (int s = 0; s < kServices; ++s) {
            const int serNo = 501 + s;
            db.execute(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, QtyBy, CostBy, PriceBy, Unit, Step, "
                                      "QBreak1, QBreak2, RunCost1, RunPrice1, RunCost2, RunPrice2, SetFor1, SetCost1, "
                                      "SetPrice1) VALUES (%1, 50, 'Finishing %2', 1, 2, 3, 2, 0, 1000, 10000, %3, %4, "
                                      "%5, %6, 1, 200, %7)")
                           .arg(serNo)
                           .arg(s)
                           .arg(4000 + 100 * s)
                           .arg(8000 + 100 * s)
                           .arg(3000 + 100 * s)
                           .arg(6000 + 100 * s)
                           .arg(10000 + 500 * s));
            db.execute(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, ChargeQty, Sheets, "
                                      "Status) VALUES (%1, %2, 1, 0, '', 500, 1, 1)")
                           .arg(jobId)
                           .arg(serNo));
        }
        t.commit();
        platform::Recordset id(db);
        id.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT ItemID FROM Items WHERE SerNo = 0 and JobID = %1").arg(jobId));
        itemId = id.value(0).toInt();
    }
    ~TemplateShop() { SharedDatabase().close(); }
};

void BM_PriceListOneEngine(benchmark::State &state)
{
    TemplateShop shop;
    CItemSet item;
    item.m_strFilter = QStringLiteral("ItemID = %1").arg(shop.itemId);
    item.Open(CXDaoSet::dbOpenSnapshot);
    const std::vector<quint32> quantities = PriceList::BuildQuantities(QStringLiteral("Price List"));
    size_t lines = 0;
    for (auto _ : state) {
        PricingCache cache;
        lines = PriceList::PriceLines(item, quantities, &cache).size();
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_PriceListOneEngine)->Unit(benchmark::kMillisecond)->Repetitions(3);

void BM_PriceListFreshEngines(benchmark::State &state)
{
    TemplateShop shop;
    CItemSet item;
    item.m_strFilter = QStringLiteral("ItemID = %1").arg(shop.itemId);
    item.Open(CXDaoSet::dbOpenSnapshot);
    const std::vector<quint32> quantities = PriceList::BuildQuantities(QStringLiteral("Price List"));
    Money total;
    for (auto _ : state) {
        for (quint32 quantity : quantities) {
            CItemPrice engine(&item, true);
            engine.PriceItem(int(quantity));
            total += engine.GetNewPrice();
        }
    }
    benchmark::DoNotOptimize(total);
}
BENCHMARK(BM_PriceListFreshEngines)->Unit(benchmark::kMillisecond)->Repetitions(3);

// The customer with the most orders in the sample.
qint32 busiestCustomer()
{
    static qint32 cusNo = -1;
    if (cusNo < 0) {
        SharedDatabase().open(BenchSampleShop(), false, true);
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT CusNo, Count(*) AS N FROM Jobs WHERE JobType = 0 GROUP BY CusNo ORDER BY "
                               "Count(*) DESC"));
        cusNo = rs.isEOF() ? 0 : rs.value(0).toInt();
    }
    return cusNo;
}

void BM_ItemsByDescription(benchmark::State &state)
{
    const qint32 cusNo = busiestCustomer();
    QString filter;
    AppendWhere(filter, QStringLiteral("Jobs.CusNo = %1").arg(cusNo));
    AppendWhere(filter, QStringLiteral("Jobs.JobType = 0"));
    const QString sql = CItemNew::ListingStatement(CItemNew::ByDescription, filter);
    long rows = 0;
    for (auto _ : state) {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot, sql);
        rows = 0;
        const int fields = rs.fieldCount();
        for (; !rs.isEOF(); rs.moveNext(), ++rows)
            for (int f = 0; f < fields; ++f)
                benchmark::DoNotOptimize(rs.value(f));
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ItemsByDescription)->Unit(benchmark::kMillisecond)->Repetitions(3);

void BM_ItemsByDescriptionDirect(benchmark::State &state)
{
    const qint32 cusNo = busiestCustomer();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(BenchSampleShop().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QString sql = QStringLiteral(
        "SELECT Items.Description, ProductTypes.Name, Items.ChargeQty, Items.Price, Jobs.JobNo || '-' || "
        "Items.ItemNo || '.' || Items.SubNo, Jobs.DateIn, 'Item', Items.ItemID FROM Jobs INNER JOIN Items ON "
        "Jobs.JobID = Items.JobID LEFT JOIN ProductTypes ON ProductTypes.[No] = Items.Side1 LEFT JOIN Contacts ON "
        "Contacts.ContactNo = Jobs.BuyerNo WHERE Jobs.CusNo = %1 and Jobs.JobType = 0 and Items.SerNo = 0 ORDER BY "
        "Items.Description COLLATE NOCASE, Jobs.JobNo DESC, Items.ItemNo, Items.SubNo")
                            .arg(cusNo);
    long rows = 0;
    for (auto _ : state)
        rows = ScanDirect(db, sql);
    sqlite3_close(db);
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ItemsByDescriptionDirect)->Unit(benchmark::kMillisecond)->Repetitions(3);

} // namespace

int main(int argc, char **argv)
{
    RatioReporter reporter;
    RunBenchmarks(argc, argv, false, &reporter);
    const double engines = reporter.Ratio("BM_PriceListFreshEngines", "BM_PriceListOneEngine");
    if (engines > 0)
        std::printf("Price List series: 120 fresh engines take %.2fx the time of one engine with one cache\n", engines);
    const double listing = reporter.Ratio("BM_ItemsByDescription", "BM_ItemsByDescriptionDirect");
    if (listing > 0)
        std::printf("Items by description: %.2fx the time of the direct SQLite query (best of the repetitions; "
                    "target 1.5x)\n",
                    listing);
    return 0;
}
