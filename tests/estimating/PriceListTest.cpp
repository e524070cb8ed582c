// The price list: the quantity series of each quantity text, where lines
// go on the pages, each price against the engine's own silent price at that
// quantity, and the dialog's list, tree and template choice.
#include "PricingFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "data/CItemSet.h"
#include "estimating/CPriceBook.h"
#include "estimating/PriceListRules.h"
#include "views/CDlgOptions.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>

namespace {

std::vector<quint32> series(quint32 first, quint32 step, int count)
{
    std::vector<quint32> out;
    for (int i = 0; i < count; ++i)
        out.push_back(first + step * quint32(i));
    return out;
}

TEST(PriceListRules, QuantitySeries)
{
    struct Case
    {
        const char *text;
        std::vector<quint32> expected;
    };
    const Case cases[] = {
        {"500", series(500, 500, 30)},
        {"100", series(100, 100, 30)},
        {"250-2000", series(250, 250, 8)},
        // The last may pass the end of the range.
        {"300-1000", {300, 600, 900, 1200}},
        // The whole leading number is the step.
        {"10000", series(10000, 10000, 30)},
        {"25000-100000", {25000, 50000, 75000, 100000}},
        {"2000000000", {2000000000}},
        {"Varies", {500, 1000, 5000, 10000}},
        {"", {500, 1000, 5000, 10000}},
        {"0-500", {500, 1000, 5000, 10000}},
        {"-250", {500, 1000, 5000, 10000}},
        // Thousands typed with their "," are one number, never the digits before it.
        {"1,000", series(1000, 1000, 30)},
        {"1,000-5,000", series(1000, 1000, 5)},
        {"25,000-100,000", {25000, 50000, 75000, 100000}},
        {"1,000,000,000", {1000000000, 2000000000}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PriceList::BuildQuantities(QString::fromLatin1(c.text)), c.expected) << c.text;

    const std::vector<quint32> book = PriceList::BuildQuantities(QStringLiteral("Price List"));
    ASSERT_EQ(book.size(), 120u);
    EXPECT_EQ(std::vector<quint32>(book.begin(), book.begin() + 4), (std::vector<quint32>{25, 50, 100, 150}));
    EXPECT_EQ(book[20], 1000u);
    EXPECT_EQ(book[21], 1100u);
    EXPECT_EQ(book[110], 10000u);
    EXPECT_EQ(book[111], 11000u);
    EXPECT_EQ(book.back(), 19000u);

    // A range typed too wide stops at the bound instead of pricing for ever.
    const std::vector<quint32> wide = PriceList::BuildQuantities(QStringLiteral("1-2000000000"));
    EXPECT_EQ(int(wide.size()), PriceList::kMaxQuantities);
    EXPECT_EQ(wide.back(), quint32(PriceList::kMaxQuantities));
}

TEST(PriceListRules, LinesOnPages)
{
    // One page: a blank row before the 11th, 21st ... line.
    const int onePage[][2] = {{0, 0}, {9, 9}, {10, 11}, {19, 20}, {20, 22}, {29, 31}};
    for (const auto &c : onePage) {
        EXPECT_EQ(PriceList::PageOfLine(c[0], 1), 0);
        EXPECT_EQ(PriceList::RowOfLine(c[0], 1), c[1]) << c[0];
    }
    // Pages of 40 side by side.
    const int pages[][3] = {{0, 0, 0}, {39, 0, 42}, {40, 1, 0}, {50, 1, 11}, {119, 2, 42}};
    for (const auto &c : pages) {
        EXPECT_EQ(PriceList::PageOfLine(c[0], 3), c[1]) << c[0];
        EXPECT_EQ(PriceList::RowOfLine(c[0], 3), c[2]) << c[0];
    }
    EXPECT_EQ(PriceList::PageCount(QStringLiteral("Price List"), 120), 3);
    EXPECT_EQ(PriceList::PageCount(QStringLiteral("Price List"), 41), 2);
    EXPECT_EQ(PriceList::PageCount(QStringLiteral("500"), 30), 1);
}

class PriceBook : public PricingTest
{
protected:
    void SetUp() override
    {
        PricingTest::SetUp();
        exec(QStringLiteral("DELETE FROM ProductTypes"));
        exec(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Qty, Type) VALUES (1, 'Note Pads', 1, 0, 0)"));
        exec(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Qty, Type) VALUES (2, 'Flyers', 2, 0, 0)"));
        // Padding: $300.00 to set up, $90.00 a thousand to run.
        addService(501, 50, QStringLiteral("Padding"),
                   {{"QtyBy", "1"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"Unit", "2"}, {"Step", "1"},
                    {"QBreak1", "100"}, {"RunCost1", "5000"}, {"RunPrice1", "9000"}, {"SetFor1", "1"},
                    {"SetCost1", "200"}, {"SetPrice1", "30000"}});
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Status, CusNo, Title) VALUES (2, 900, 0, 31, 'Pads')"));
        m_template = scalar(QStringLiteral("SELECT Max(JobID) FROM Jobs")).toInt();
        m_pads = addRow(m_template, 0, {{"ChargeQty", "500"}, {"Side1", "1"}, {"Description", "'Note pads 50 sheets'"}});
        addRow(m_template, 501);
        // A template item without services has no price.
        m_empty = addRow(m_template, 0, {{"ChargeQty", "500"}, {"Side1", "2"}, {"Description", "'Plain flyer'"}}, 2);
    }

    // The silent price at a quantity from an engine loaded for it alone.
    Money freshPrice(quint32 quantity)
    {
        auto e = engine(m_template, true);
        e->PriceItem(int(quantity));
        return e->GetNewPrice();
    }

    static void snapshot(QWidget &w, const char *name)
    {
        QApplication::processEvents();
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/estimating");
        QDir().mkpath(folder);
        EXPECT_TRUE(w.grab().save(folder + QLatin1Char('/') + QString::fromLatin1(name), "PNG"));
    }

    qint32 m_template = 0;
    qint32 m_pads = 0;
    qint32 m_empty = 0;
};

TEST_F(PriceBook, EachPriceIsTheEnginesSilentPrice)
{
    CItemSet item;
    item.m_strFilter = QStringLiteral("ItemID = %1").arg(m_pads);
    item.Open(CXDaoSet::dbOpenSnapshot);
    const std::vector<quint32> quantities = PriceList::BuildQuantities(QStringLiteral("Price List"));
    PricingCache cache;
    const std::vector<PriceList::Line> lines = PriceList::PriceLines(item, quantities, &cache);
    ASSERT_EQ(lines.size(), quantities.size());
    for (const PriceList::Line &line : lines)
        EXPECT_EQ(line.price, freshPrice(line.quantity)) << line.quantity;
    // $300 + $90 a thousand, in exact money.
    EXPECT_EQ(lines[2].price, money("309.00"));  // 100
    EXPECT_EQ(lines.back().price, money("2010.00")); // 19,000
    // Nothing was written.
    EXPECT_EQ(scalar(QStringLiteral("SELECT Price FROM Items WHERE ItemID = %1").arg(m_pads)).toMoney(), Money());

    // An item without priced services lists nothing.
    CItemSet empty;
    empty.m_strFilter = QStringLiteral("ItemID = %1").arg(m_empty);
    empty.Open(CXDaoSet::dbOpenSnapshot);
    EXPECT_TRUE(PriceList::PriceLines(empty, quantities).empty());
}

TEST_F(PriceBook, ListOfTemplatesAtEveryFiveHundred)
{
    CPriceBook book(nullptr, nullptr);
    onDialog<CPriceBook>([&](CPriceBook &d) {
        EXPECT_EQ(d.ribbon().GetItemText(30534), QStringLiteral("All Templates: 2"));
        EXPECT_EQ(d.tree().GetSelectedText(), QStringLiteral("Note pads 50 sheets"));
        CXListCtrl &list = d.list();
        EXPECT_EQ(list.GetItemCount(), 32);
        EXPECT_EQ(list.GetColumnText(1), QStringLiteral("Quantity"));
        EXPECT_EQ(list.GetColumnText(3), QStringLiteral("Price/M"));
        EXPECT_EQ(list.GetItemText(0, 1), QStringLiteral("500"));
        EXPECT_EQ(list.GetItemText(0, 2), QStringLiteral("345.00"));
        EXPECT_EQ(list.GetItemText(0, 3), QStringLiteral("690.00"));
        EXPECT_EQ(list.GetItemText(10, 1), QString());
        EXPECT_EQ(list.GetItemText(11, 1), QStringLiteral("5,500"));
        EXPECT_EQ(list.GetItemText(11, 2), QStringLiteral("795.00"));
        EXPECT_EQ(list.GetItemText(21, 1), QString());
        EXPECT_EQ(list.GetItemText(22, 1), QStringLiteral("10,500"));
        EXPECT_EQ(list.GetItemText(31, 1), QStringLiteral("15,000"));
        EXPECT_EQ(list.GetItemText(31, 2), QStringLiteral("1,650.00"));
        snapshot(d, "price-list.png");

        // Typed "10000": a step of 10,000.
        d.SetQuantityText(QStringLiteral("10000"));
        EXPECT_EQ(list.GetItemText(0, 1), QStringLiteral("10,000"));
        EXPECT_EQ(list.GetItemText(31, 1), QStringLiteral("300,000"));
        // "Varies".
        d.SetQuantityText(QStringLiteral("Varies"));
        EXPECT_EQ(list.GetItemCount(), 4);
        EXPECT_EQ(list.GetItemText(3, 1), QStringLiteral("10,000"));
        // Without unit prices the column stays, empty and narrow.
        d.SendCommand(30193); // the box was ticked: the command reads it
        // The other item prices nothing.
        d.tree().SelectAndShow(d.tree().FindItemByData(quint32(m_empty)));
        QApplication::processEvents();
        EXPECT_EQ(list.GetItemCount(), 0);
        return 2;
    });
    book.DoModal();
}

TEST_F(PriceBook, PriceListPagesSideBySide)
{
    CPriceBook book(nullptr, nullptr);
    onDialog<CPriceBook>([&](CPriceBook &d) {
        d.SetQuantityText(QStringLiteral("Price List"));
        CXListCtrl &list = d.list();
        EXPECT_EQ(list.GetColumnCount(), 12);
        EXPECT_EQ(list.GetItemCount(), 43);
        EXPECT_EQ(list.GetItemText(0, 1), QStringLiteral("25"));
        EXPECT_EQ(list.GetItemText(0, 5), QStringLiteral("3,000"));
        EXPECT_EQ(list.GetItemText(0, 9), QStringLiteral("7,000"));
        EXPECT_EQ(list.GetItemText(42, 9), QStringLiteral("19,000"));
        EXPECT_EQ(list.GetItemText(42, 10), QStringLiteral("2,010.00"));
        snapshot(d, "price-list-pages.png");
        return 2;
    });
    book.DoModal();
}

TEST_F(PriceBook, FromAJobListsItsItemsAndGoesBackToThem)
{
    const qint32 order = addJob(1200);
    exec(QStringLiteral("UPDATE Jobs SET Title = 'Order pads' WHERE JobID = %1").arg(order));
    const qint32 item = addRow(order, 0, {{"ChargeQty", "500"}, {"Side1", "1"}, {"Description", "'Order pad'"}});
    addRow(order, 501);
    CItemSet source;
    source.m_strFilter = QStringLiteral("ItemID = %1").arg(item);
    source.Open(CXDaoSet::dbOpenSnapshot);
    CPriceBook book(&source, nullptr);
    onDialog<CPriceBook>([&](CPriceBook &d) {
        EXPECT_EQ(d.ribbon().GetItemText(30534), QStringLiteral("Job Items"));
        EXPECT_EQ(d.tree().GetSelectedText(), QStringLiteral("Order pad"));
        EXPECT_EQ(d.list().GetItemText(0, 2), QStringLiteral("345.00"));
        onDialog<CDlgOptions>([](CDlgOptions &o) {
            EXPECT_EQ(o.GetEntryText(-1), QStringLiteral("<-- Go back to the Job Items"));
            o.SetCheckMask(0);
            return 2;
        });
        d.SendCommand(30534);
        EXPECT_EQ(d.m_nListKind, CPriceBook::kJobItems);
        d.m_nListKind = 2;
        d.FillTree();
        EXPECT_EQ(d.ribbon().GetItemText(30534), QStringLiteral("Offset Printing Templates: 2"));
        d.m_nListKind = CPriceBook::kJobItems;
        d.FillTree();
        EXPECT_EQ(d.tree().GetSelectedText(), QStringLiteral("Order pad"));
        return 2;
    });
    book.DoModal();
}

} // namespace
