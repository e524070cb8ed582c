#include "catalogue/OrganizeRules.h"
#include "catalogue/ServiceRules.h"
#include "data/CSerSet.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct NewDefaults
{
    qint32 catNo;
    int qtyBy, wasteBy, costBy, priceBy, unit;
};

TEST(ServiceRulesTest, NewServiceStartsWithItsCategoryMethods)
{
    const NewDefaults cases[] = {
        // paper: parent-size sheets, waste level 1, material cost, cost + markup, per thousand
        {101, 4, 1, 2, 2, 2},
        {150, 4, 1, 2, 2, 2},
        // press and digital: impressions, time + material cost, per each
        {201, 8, 0, 3, 2, 1},
        {301, 8, 0, 3, 2, 1},
        // plates count plates; anything else the item quantity
        {6, 9, 0, 2, 2, 1},
        {401, 1, 0, 2, 2, 1},
        {7, 1, 0, 2, 2, 1},
    };
    for (const NewDefaults &c : cases) {
        CSerSet service;
        service.ResetFields(c.catNo);
        ApplyNewServiceDefaults(service);
        SCOPED_TRACE(c.catNo);
        EXPECT_EQ(service.m_Name, QStringLiteral("< new >"));
        EXPECT_EQ(service.m_QtyBy, c.qtyBy);
        EXPECT_EQ(service.m_WasteBy, c.wasteBy);
        EXPECT_EQ(service.m_CostBy, c.costBy);
        EXPECT_EQ(service.m_PriceBy, c.priceBy);
        EXPECT_EQ(service.m_Unit, c.unit);
    }
    // A stored service keeps what it has.
    CSerSet stored;
    stored.ResetFields(101);
    stored.m_SerNo = 5;
    stored.m_Name = QStringLiteral("Kept");
    ApplyNewServiceDefaults(stored);
    EXPECT_EQ(stored.m_Name, QStringLiteral("Kept"));
    EXPECT_EQ(stored.m_QtyBy, 0);
}

TEST(ServiceRulesTest, CategoryTypeIsTheFirstThatApplies)
{
    const std::pair<qint32, const char *> cases[] = {
        {113, "Envelope"}, {116, "Envelope"},        {105, "Carbonless"}, {101, "Paper"},
        {199, "Paper"},    {201, "Offset Press"},    {301, "Digital Printer/Copier"},
        {7, "Proof"},      {6, "Plate"},             {999, "Quick Sale"}, {300, "Other"},
        {401, "Other"},    {0, "Other"},
    };
    for (const auto &[cat, name] : cases)
        EXPECT_EQ(CategoryTypeName(cat), QString::fromLatin1(name)) << cat;
}

TEST(ServiceRulesTest, CostAndPriceMethodsFollowEachOther)
{
    struct Case
    {
        quint8 cost, price;
        bool changedCost;
        quint8 wantCost, wantPrice;
    };
    const Case cases[] = {
        {0, 2, true, 0, 0},  // no cost clears the price
        {0, 0, true, 0, 0},
        {0, 3, false, 2, 3}, // a price on a service without cost gives material cost
        {1, 4, false, 1, 4}, // a cost already there stays
        {3, 2, true, 3, 2},
        {0, 0, false, 0, 0},
    };
    for (const Case &c : cases) {
        quint8 cost = c.cost, price = c.price;
        CoupleMethods(cost, price, c.changedCost);
        EXPECT_EQ(cost, c.wantCost);
        EXPECT_EQ(price, c.wantPrice);
    }
}

TEST(ServiceRulesTest, LiftExceptionNeedsItemQuantityAndADivisorAboveOne)
{
    EXPECT_TRUE(LiftExceptionHolds(1, 500, QString()));
    EXPECT_TRUE(LiftExceptionHolds(1, 2, QStringLiteral("How many lifts?")));
    EXPECT_FALSE(LiftExceptionHolds(1, 500, QStringLiteral("/")));
    EXPECT_FALSE(LiftExceptionHolds(1, 500, QStringLiteral("\\lifts")));
    EXPECT_FALSE(LiftExceptionHolds(1, 1, QString()));
    EXPECT_FALSE(LiftExceptionHolds(4, 500, QString()));
}

TEST(ServiceRulesTest, RunCostsRiseByThePercentageThenUpToTheStep)
{
    constexpr qint32 kRefused = std::numeric_limits<qint32>::min() + 7; // no case's result
    struct Case
    {
        qint32 old;
        qint64 percent; // ten-thousandths of a percent
        int step;
        qint32 want;
    };
    const Case cases[] = {
        {1234, 100000, 10, 1360},  // 1357.4 -> 1357 -> next multiple of 10
        {1234, 100000, 1, 1357},
        {1234, 100000, 100, 1400},
        {1000, 55000, 1, 1055},    // 5.5 %
        {1000, 150000, 1, 1150},   // 15 % exactly: no floating-point shortfall
        {1360, 0, 10, 1360},       // already a multiple
        {1234, -1000000, 10, 0},   // -100 %
        {1234, -100000, 10, 1110}, // 1110.6 -> 1110, already a multiple
        {-1234, 100000, 10, -1350}, // a negative cost is raised toward zero
        {0, 100000, 10, 0},
        // At what the column holds (2,147,483,647 cents) and one past: a
        // cost that would pass it is refused, never cut to fit.
        {1952257861, 100000, 1, 2147483647}, // 2,147,483,647.1 -> 2,147,483,647
        {1952257860, 100000, 1, 2147483646}, // exactly 2,147,483,646
        {1952257860, 100000, 10, kRefused},  // 2,147,483,646 -> 2,147,483,650
        {1952257862, 100000, 1, kRefused},   // 2,147,483,648.2
        {std::numeric_limits<qint32>::max(), 100000, 10, kRefused},
        {std::numeric_limits<qint32>::min(), 100000, 1, kRefused},
        {std::numeric_limits<qint32>::max(), -100000, 1, 1932735282}, // 1,932,735,282.3
    };
    for (const Case &c : cases) {
        qint32 got = kRefused;
        const bool fits = RaisedRunCost(c.old, c.percent, c.step, got);
        EXPECT_EQ(fits, c.want != kRefused) << c.old << " " << c.percent << " " << c.step;
        EXPECT_EQ(got, c.want) << c.old << " " << c.percent << " " << c.step;
    }
}

TEST(ServiceRulesTest, DuplicateNameKeepsFortyCharacters)
{
    const QString name45 = QStringLiteral("123456789012345678901234567890123456789012345");
    EXPECT_EQ(DuplicateServiceName(name45), QStringLiteral("1234567890123456789012345678901234567890 - Copy"));
    EXPECT_EQ(DuplicateServiceName(QStringLiteral("Bond")), QStringLiteral("Bond - Copy"));
}

TEST(ServiceRulesTest, SpecialServicesAreNamedByNumber)
{
    EXPECT_TRUE(SpecialServiceMessage(174).contains(QStringLiteral("the Run Size is smaller than the Parent Size")));
    EXPECT_TRUE(SpecialServiceMessage(175).contains(QStringLiteral("the Finish Size is smaller than the Run Size")));
    EXPECT_TRUE(SpecialServiceMessage(193).startsWith(
        QStringLiteral("About this Special Service:\n\nTavrel automatically adds this service to a job when "
                       "Carbonless paper is used in the job. This insures")));
    EXPECT_TRUE(SpecialServiceMessage(193).endsWith(QStringLiteral("\n\nBe careful when you make changes to this service.")));
    EXPECT_TRUE(SpecialServiceMessage(10).isEmpty());
    EXPECT_FALSE(IsSpecialService(176));
}

// --- organiser numbering ---------------------------------------------------------

const CategoryType &typeNamed(const QString &start)
{
    for (const CategoryType &type : CategoryTypes())
        if (type.text.startsWith(start))
            return type;
    static CategoryType none;
    return none;
}

TEST(OrganizeRulesTest, NewCategoryNumbersByRange)
{
    struct Case
    {
        const char *type;
        QSet<qint32> existing;
        qint32 want;
    };
    const Case cases[] = {
        {"Paper", {117, 118, 150}, 151},
        {"Paper", {101, 105, 113}, 118}, // numbers up to 117 are not counted
        {"Paper", {}, 118},
        {"Paper", {198, 199}, 0},        // the range is used up: refused, never a duplicate
        {"Paper", {198}, 199},
        {"Offset", {201, 250}, 251},
        {"Offset", {}, 202},
        {"Digital", {301}, 302},
        {"Digital", {398, 399}, 0},
        {"Other", {401, 601}, 602},
        {"Other", {998, 999}, 0},
        {"Other", {}, 601},
        {"Carbonless", {}, 105},
        {"Quick", {}, 999},
    };
    for (const Case &c : cases)
        EXPECT_EQ(NextCategoryNumber(typeNamed(QString::fromLatin1(c.type)), c.existing), c.want) << c.type;
}

TEST(OrganizeRulesTest, FixedTypesAreOfferedWhileAbsent)
{
    QStringList offered;
    for (const CategoryType &type : OfferedCategoryTypes({105, 6, 999, 101}))
        offered << type.text.section(QLatin1Char(' '), 0, 0);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Paper"), QStringLiteral("Offset"), QStringLiteral("Digital"),
                                    QStringLiteral("Envelope"), QStringLiteral("Proof"), QStringLiteral("Other")}));
    EXPECT_EQ(OfferedCategoryTypes({}).size(), 9);
    // The option texts are shown as they are, blanks included.
    EXPECT_EQ(CategoryTypes()[1].text,
              QStringLiteral("Offset Press or Digital Printer    (Production Difficulty Table may be used)"));
    EXPECT_EQ(CategoryTypes()[2].text.indexOf(QLatin1Char('(')), 15 + 31);
}

TEST(OrganizeRulesTest, FreeDepartmentIsTheSmallestUnused)
{
    EXPECT_EQ(FreeDepartmentNumber({}), 1);
    EXPECT_EQ(FreeDepartmentNumber({1, 2, 4}), 3);
    EXPECT_EQ(FreeDepartmentNumber({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), 12);
    EXPECT_EQ(FreeDepartmentNumber({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), 0);
}

} // namespace
