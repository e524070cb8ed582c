#include "jobs/JobItemTotals.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace {

Money units(std::int64_t u)
{
    return Money::fromUnits(u);
}

JobItemRow item(int no, int sub, std::int64_t price = 0)
{
    return {no, sub, 0, Money(), units(price)};
}

JobItemRow service(int no, int sub, std::int64_t price, std::int64_t cost = 0)
{
    return {no, sub, 1, units(cost), units(price)};
}

// The rules restated on plain ten-thousandths, in two passes: first decide
// whether the job is priced at all, then sum what counts.
struct Model
{
    std::int64_t cost = 0;
    std::int64_t subtotal = 0;
};

Model model(const std::vector<JobItemRow> &rows, bool credit)
{
    Model m;
    bool unpriced = rows.empty();
    for (const JobItemRow &r : rows)
        if (r.serNo != 0 && r.price.units() == 0)
            unpriced = true;
    // An item row priced 0 with no service of its own item and sub-item
    // number.
    for (const JobItemRow &r : rows) {
        if (r.serNo != 0 || r.price.units() != 0)
            continue;
        bool served = false;
        for (const JobItemRow &s : rows)
            served = served || (s.serNo != 0 && s.itemNo == r.itemNo && s.subNo == r.subNo);
        if (!served)
            unpriced = true;
    }
    for (const JobItemRow &r : rows) {
        if (r.serNo == 0)
            continue;
        const std::int64_t c = r.cost.units();
        const std::int64_t p = r.price.units();
        if (c * c > 1)
            m.cost += c;
        if (p * p > 1)
            m.subtotal += p;
    }
    if (unpriced)
        m.subtotal = 0;
    else if (m.subtotal == 0)
        m.subtotal = credit ? -1 : 1;
    return m;
}

TEST(JobItemTotals, EdgeCasesOfTheWalk)
{
    struct Case
    {
        const char *name;
        std::vector<JobItemRow> rows;
        bool credit;
        std::int64_t subtotal;
        std::int64_t cost;
    };
    const Case cases[] = {
        {"all No Charge", {item(1, 0), service(1, 0, 1), service(1, 0, -1, 1)}, false, 1, 0},
        {"all No Charge, credit invoice", {item(1, 0), service(1, 0, 1), service(1, 0, -1)}, true, -1, 0},
        {"one service at 0", {item(1, 0), service(1, 0, 250000, 90000), service(1, 0, 0, 10000)}, false, 0, 100000},
        {"empty job", {}, false, 0, 0},
        {"item prices do not count", {item(1, 0, 990000), service(1, 0, 120000, 50000)}, false, 120000, 50000},
        {"negatives sum", {item(1, 0), service(1, 0, -300000, -20000), service(1, 0, 100000)}, true, -200000, -20000},
        {"summing to zero", {item(1, 0), service(1, 0, 50000), service(1, 0, -50000)}, false, 1, 0},
        // An item without a price and without services to price it leaves
        // the job not priced; an item priced on its own row stays as it was.
        {"items only", {item(1, 0, 500000)}, false, 1, 0},
        {"item at No Charge without services", {item(1, 0, 1)}, false, 1, 0},
        {"items only, no price", {item(1, 0), item(2, 0)}, false, 0, 0},
        {"items only, credit invoice", {item(1, 0)}, true, 0, 0},
        {"last item without services", {item(1, 0), service(1, 0, 1), item(2, 0)}, false, 0, 0},
        {"first item without services", {item(1, 0), item(2, 0), service(2, 0, 80000, 1000)}, false, 0, 1000},
        {"sub-item without services", {item(1, 1), service(1, 1, 50000), item(1, 2)}, false, 0, 0},
    };
    for (const Case &c : cases) {
        const JobItemSums sums = SumJobItems(c.rows, c.credit);
        EXPECT_EQ(sums.subtotal.units(), c.subtotal) << c.name;
        EXPECT_EQ(sums.cost.units(), c.cost) << c.name;
    }
}

TEST(JobItemTotals, GroupsSumTheirItemPricesLeavingMarkersOut)
{
    const std::vector<JobItemRow> rows = {item(1, 0, 70000),  service(1, 0, 70000), item(2, 1, 100000),
                                          service(2, 1, 100000), item(2, 2, 25000), service(2, 2, 25000),
                                          item(2, 3, 1),       service(2, 3, 1),    item(3, 0, 40000),
                                          service(3, 0, 40000)};
    const JobItemSums sums = SumJobItems(rows, false);
    ASSERT_EQ(sums.groups.size(), 1u);
    EXPECT_EQ(sums.groups[0].row, 2);
    EXPECT_EQ(sums.groups[0].sum, units(125000));
    EXPECT_EQ(sums.subtotal, units(235001 - 1));
}

TEST(JobItemTotals, RandomJobsAgreeWithTheModel)
{
    std::mt19937 random(20261207);
    const std::int64_t specials[] = {0, 1, -1, 2, -2, 10000, -10000, 999999999};
    for (int round = 0; round < 3000; ++round) {
        std::vector<JobItemRow> rows;
        const int items = int(random() % 6);
        for (int i = 1; i <= items; ++i) {
            const int subs = random() % 3 == 0 ? 1 + int(random() % 3) : 0;
            for (int s = subs ? 1 : 0; s <= subs; ++s) {
                rows.push_back(item(i, s, random() % 3 == 0 ? 0 : std::int64_t(random() % 500000)));
                const int services = int(random() % 4);
                for (int k = 0; k < services; ++k) {
                    auto value = [&]() -> std::int64_t {
                        if (random() % 3 == 0)
                            return specials[random() % std::size(specials)];
                        const std::int64_t v = std::int64_t(random() % 10000000);
                        return random() % 5 == 0 ? -v : v;
                    };
                    rows.push_back(service(i, s, value(), value()));
                }
            }
        }
        const bool credit = random() % 4 == 0;
        const Model expected = model(rows, credit);
        const JobItemSums sums = SumJobItems(rows, credit);
        ASSERT_EQ(sums.subtotal.units(), expected.subtotal) << "round " << round;
        ASSERT_EQ(sums.cost.units(), expected.cost) << "round " << round;
        ASSERT_EQ(sums.allPriced, expected.subtotal != 0) << "round " << round;
    }
}

TEST(JobItemTotals, OnlyValuesBeyondTheMarkerAreAmounts)
{
    EXPECT_FALSE(IsMoneyAmount(units(0)));
    EXPECT_FALSE(IsMoneyAmount(units(1)));
    EXPECT_FALSE(IsMoneyAmount(units(-1)));
    EXPECT_TRUE(IsMoneyAmount(units(2)));
    EXPECT_TRUE(IsMoneyAmount(units(-2)));
}

} // namespace
