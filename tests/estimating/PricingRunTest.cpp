// Pricing many items in one run with one PricingCache: the job's rows are read
// once for the run, yet every item is priced from its rows as they stand,
// after the caller's own changes and after the engine's own saves.

#include "PricingFixture.h"

#include "estimating/PricingCache.h"

namespace {

class PricingRun : public PricingTest
{
protected:
    // A job of three items, each with a scoring and a numbering row.
    qint32 threeItemJob(qint32 jobNo)
    {
        addService(601, 50, QStringLiteral("Scoring"),
                   {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetCost1", "100"},
                    {"SetPrice1", "300"}, {"Unit", "3"}, {"QBreak1", "1"}, {"RunCost1", "1"}, {"RunPrice1", "2"}});
        addService(602, 50, QStringLiteral("Numbering"),
                   {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetCost1", "200"},
                    {"SetPrice1", "410"}, {"Unit", "3"}, {"QBreak1", "1"}, {"RunCost1", "1"}, {"RunPrice1", "3"}});
        const qint32 job = addJob(jobNo);
        for (int itemNo = 1; itemNo <= 3; ++itemNo) {
            addRow(job, 0, {{"ChargeQty", QString::number(100 * itemNo)}}, itemNo);
            addRow(job, 601, {{"ActualQty", "1"}, {"MatCost", "1"}}, itemNo);
            addRow(job, 602, {{"ActualQty", "1"}, {"MatCost", "2"}}, itemNo);
        }
        return job;
    }

    // The item row of an item, opened on its own.
    std::unique_ptr<CItemSet> itemRow(qint32 jobId, int itemNo)
    {
        auto set = std::make_unique<CItemSet>();
        set->m_strFilter = QStringLiteral("JobID = %1 and ItemNo = %2 and SerNo = 0").arg(jobId).arg(itemNo);
        set->Open(CXDaoSet::dbOpenSnapshot);
        return set;
    }

    struct Figures
    {
        Money cost;
        Money price;
        Money lastPrice;
        std::vector<Money> rowPrices;
        bool operator==(const Figures &) const = default;
    };
    static Figures figures(const CItemPrice &e)
    {
        Figures f{e.GetNewCost(), e.GetNewPrice(), e.GetLastPrice(), {}};
        for (const auto &[id, row] : e.Rows())
            f.rowPrices.push_back(row.m_Price);
        return f;
    }
    // Silently, with the run's cache or with none.
    Figures priced(qint32 jobId, int itemNo, PricingCache *cache)
    {
        auto set = itemRow(jobId, itemNo);
        CItemPrice e(set.get(), true, cache);
        EXPECT_TRUE(e.IsLoaded());
        EXPECT_EQ(e.PriceItem(0), 1);
        return figures(e);
    }
    Money stored(const char *column, qint32 jobId, int itemNo)
    {
        return scalar(QStringLiteral("SELECT %1 FROM Items WHERE JobID = %2 and ItemNo = %3 and SerNo = 0")
                          .arg(QLatin1String(column))
                          .arg(jobId)
                          .arg(itemNo))
            .toMoney();
    }
};

TEST_F(PricingRun, EveryItemOfARunIsPricedAsAnEngineOfItsOwnPricesIt)
{
    const qint32 job = threeItemJob(800);
    // Another job whose rows were written in no order: the items' rows
    // interleaved, each item's services before its item row.
    const qint32 other = addJob(801);
    addRow(other, 602, {{"ActualQty", "2"}}, 2);
    addRow(other, 602, {{"ActualQty", "1"}}, 1);
    addRow(other, 0, {{"ChargeQty", "70"}}, 2);
    addRow(other, 601, {{"ActualQty", "1"}, {"MatCost", "3"}}, 1);
    addRow(other, 0, {{"ChargeQty", "50"}}, 1);

    PricingCache cache;
    // Items in any order, another job between them, and the first job again.
    const std::pair<qint32, int> order[] = {{job, 2}, {job, 1}, {other, 1}, {job, 3}, {other, 2}, {job, 2}};
    for (const auto &[jobId, itemNo] : order) {
        SCOPED_TRACE(QStringLiteral("job %1 item %2").arg(jobId).arg(itemNo).toStdString());
        const Figures alone = priced(jobId, itemNo, nullptr);
        EXPECT_EQ(priced(jobId, itemNo, &cache), alone);
        EXPECT_FALSE(alone.price.isZero());
    }
    // An item without rows of its own prices as nothing, as it does alone.
    CItemSet none;
    none.m_JobID = job;
    none.m_ItemNo = 9;
    CItemPrice e(&none, true, &cache);
    EXPECT_TRUE(e.Rows().empty());
}

TEST_F(PricingRun, ARowChangedDuringTheRunIsReadAsItNowStands)
{
    const qint32 job = threeItemJob(810);
    PricingCache cache;
    const Figures before = priced(job, 2, &cache);
    // The caller takes a service off item 2 before pricing it again with the
    // same cache (as the reprice changes an item's price level first).
    exec(QStringLiteral("DELETE FROM Items WHERE JobID = %1 and ItemNo = 2 and SerNo = 602").arg(job));
    const Figures after = priced(job, 2, &cache);
    EXPECT_NE(after.price, before.price);
    EXPECT_EQ(after.rowPrices.size(), 2u);
    EXPECT_EQ(after, priced(job, 2, nullptr));
}

TEST_F(PricingRun, RowsHeldBeforeTheyAreWrittenPriceAsWrittenOnesUntilTheFileIsWritten)
{
    const qint32 job = threeItemJob(830);
    // The rows of job 830, held for a job the file does not have yet.
    const qint32 unwritten = job + 100;
    std::vector<CItemSet> rows;
    CItemSet read;
    read.m_strFilter = QStringLiteral("JobID = %1").arg(job);
    read.Open(CXDaoSet::dbOpenSnapshot);
    for (; !read.IsEOF(); read.MoveNext()) {
        rows.emplace_back(read);
        rows.back().m_JobID = unwritten;
    }
    read.Close();
    PricingCache cache;
    cache.HoldJobRows(unwritten, rows);
    const auto pricedHeld = [&] {
        CItemSet item;
        item.m_JobID = unwritten;
        item.m_ItemNo = 2;
        CItemPrice e(&item, true, &cache);
        e.PriceItem(0);
        return figures(e);
    };
    const Figures held = pricedHeld();
    EXPECT_EQ(held, priced(job, 2, nullptr));
    EXPECT_EQ(held.rowPrices.size(), 3u);
    // Once the file is written the held rows are dropped: the file has none.
    exec(QStringLiteral("UPDATE Items SET MatCost = 5 WHERE JobID = %1 and ItemNo = 1 and SerNo = 601").arg(job));
    EXPECT_TRUE(pricedHeld().rowPrices.empty());
}

TEST_F(PricingRun, AnItemSavedDuringTheRunIsReadAgainAndTheOthersStayRight)
{
    const qint32 job = threeItemJob(820);
    PricingCache cache;
    {
        auto set = itemRow(job, 1);
        CItemPrice e(set.get(), false, &cache);
        e.SetPresetChoice(CItemPrice::DefaultCostDefaultPrice);
        EXPECT_EQ(e.PriceItem(0), CItemPrice::DefaultCostDefaultPrice);
    }
    const Money saved = stored("Price", job, 1);
    EXPECT_FALSE(saved.isZero());
    // The saved price is the item's last price now, read through the cache.
    EXPECT_EQ(priced(job, 1, &cache).lastPrice, saved);
    EXPECT_EQ(priced(job, 1, &cache), priced(job, 1, nullptr));
    EXPECT_EQ(priced(job, 3, &cache), priced(job, 3, nullptr));
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(PricingRun, AnEngineLoadedAgainSavesTheItemItWasLastLoadedWith)
{
    const qint32 job = threeItemJob(830);
    PricingCache cache;
    auto first = itemRow(job, 1);
    auto second = itemRow(job, 2);
    // Loaded on item 1 reading its own rows, then on item 2 from the cache:
    // the save goes to item 2 only.
    CItemPrice e(first.get(), false);
    e.LoadItemServices(second.get(), false, &cache);
    e.SetPresetChoice(CItemPrice::DefaultCostDefaultPrice);
    EXPECT_EQ(e.PriceItem(0), CItemPrice::DefaultCostDefaultPrice);
    EXPECT_EQ(stored("Price", job, 1), Money());
    EXPECT_EQ(stored("Price", job, 2), e.GetNewPrice());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1 and ItemNo = 2 and Price <> 0").arg(job))
                  .toInt(),
              3);
}

} // namespace
