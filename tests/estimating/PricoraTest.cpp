// The price wizard: its quantities, differences and slots, the scratch rows it
// keeps in table Items (read back with the sqlite3 tool), and the window
// pricing a service for ten quantities.
#include "PricingFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "catalogue/CSerDlg.h"
#include "data/CSerSet.h"
#include "data/AppDataServices.h"
#include "estimating/CPriceChanged.h"
#include "estimating/CPricora.h"
#include "estimating/PricoraScratch.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>

namespace {

TEST(PricoraRules, QuantitiesOfAQuantityText)
{
    struct Case
    {
        const char *text;
        QList<qint32> expected;
    };
    const Case cases[] = {
        {"Varies", {1, 10, 50, 100, 500, 1000, 5000, 10000, 0, 0}},
        {"250", {250, 500, 750, 1000, 1250, 1500, 1750, 2000, 2250, 2500}},
        {"1", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"", {1, 10, 50, 100, 500, 1000, 5000, 10000, 0, 0}},
        // Read as every count is: "1,000" is a thousand (it was 1), a text
        // that is no count stands for none.
        {"1,000", {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000}},
        {"1e3", {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000}},
        {"99999999", {99999999, 199999998, 299999997, 399999996, 499999995, 599999994, 699999993, 799999992,
                      899999991, 999999990}},
        {"-5", {1, 10, 50, 100, 500, 1000, 5000, 10000, 0, 0}},
        {"12 k", {1, 10, 50, 100, 500, 1000, 5000, 10000, 0, 0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Pricora::Quantities(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(PricoraRules, DifferenceAndPercent)
{
    struct Case
    {
        qint64 price, target, difference;
        qint32 percent;
    };
    const Case cases[] = {
        {1000, 800, 200, 20}, {1000, 1200, -200, -20}, {300, 200, 100, 33}, {200, 300, -100, -50},
        {0, 500, 0, 0},       {500, 0, 0, 0},          {500, 500, 0, 0},
        // Prices past 32 bits of cents: 30,000,000.00 against 10,000,000.00.
        {3000000000LL, 1000000000LL, 2000000000LL, 66}, {1000000000LL, 3000000000LL, -2000000000LL, -200},
    };
    for (const Case &c : cases) {
        qint64 d = -1;
        qint32 p = -1;
        Pricora::Difference(c.price, c.target, d, p);
        EXPECT_EQ(d, c.difference) << c.price << " vs " << c.target;
        EXPECT_EQ(p, c.percent) << c.price << " vs " << c.target;
    }
}

TEST(PricoraRules, SlotsByCategory)
{
    const std::pair<qint32, int> cases[] = {{101, 1}, {199, 1}, {201, 2}, {299, 2}, {6, 3},
                                            {7, 4},   {301, 4}, {50, 4},  {0, 0}};
    for (const auto &[catNo, slot] : cases)
        EXPECT_EQ(Pricora::SlotOfCategory(catNo), slot) << catNo;
}

class PricoraWindow : public PricingTest
{
protected:
    void SetUp() override
    {
        PricingTest::SetUp();
        app = std::make_unique<CZqApp>();
        InstallAppQueryReader(*app);
        Appearance::instance().LoadViewSettings();
        for (const auto &[cat, name] : {std::pair{50, "Finishing"}, std::pair{201, "Offset Press"},
                                        std::pair{6, "Plates"}, std::pair{101, "Paper"}})
            exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (%1, 3, "
                                "'%2', 3, %1)")
                     .arg(cat)
                     .arg(QString::fromLatin1(name)));
        addService(601, 50, QStringLiteral("Scoring"),
                   {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetCost1", "100"},
                    {"SetPrice1", "300"}, {"Unit", "3"}, {"QBreak1", "1"}, {"RunCost1", "1"}});
        addService(66, 6, QStringLiteral("Metal Plate"));
        addService(200, 201, QStringLiteral("2-Color Press"), {{"DefPlate", "66"}});
        app->LoadServiceDepartments();
        app->LoadServiceCategories();
        app->LoadServices(1);
    }
    void TearDown() override
    {
        owner.reset();
        QApplication::processEvents();
        app.reset();
        PricingTest::TearDown();
    }
    QString sqlite(const QString &sql)
    {
        QProcess tool;
        tool.start(QStringLiteral("sqlite3"), {databasePath(), sql});
        tool.waitForFinished(10000);
        return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    }
    static void snapshot(QWidget &widget, const QString &name)
    {
        SaveSnapshot(widget, QStringLiteral("estimating"), name);
    }
    QList<qint32> column(CPricora &w, int c)
    {
        QList<qint32> out;
        for (int r = 0; r < 10; ++r)
            out << w.grid().GetCellValue(r, c);
        return out;
    }

    std::unique_ptr<CZqApp> app;
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
};

TEST_F(PricoraWindow, ScratchRowsRoundTrip)
{
    PricoraSpecs specs;
    specs.quantityText = QStringLiteral("250");
    specs.markup = 2;
    specs.side1 = 0; // the blank first choice
    specs.side2 = 3;
    specs.press = 200;
    specs.plate = 66;
    specs.wash = 2;
    specs.targets[0] = 1500;
    specs.targets[9] = 99;
    ASSERT_TRUE(Pricora::SaveScratchItem(specs));
    ASSERT_TRUE(Pricora::SaveScratchItem(specs)) << "saved again: the same five rows";
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%d|%s|%d|%d|%d|%d|%d|%d', EmpNo, Description, SerNo, Side1, "
                                    "Side2, Out, Wash, ChargeQty) FROM Items WHERE JobID = -1 AND ItemNo = 254 AND "
                                    "SubNo = 0 ORDER BY EmpNo")),
              QStringLiteral("0|Pricora Item|0|0|2|0|0|250\n"
                             "1|Pricora Paper|-1|1|3|1|0|0\n"
                             "2|Pricora Press|200|0|0|0|2|0\n"
                             "3|Pricora Plate|66|1|0|4|0|0\n"
                             "4|Pricora Service|-1|1|0|1|0|0"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Note FROM Items WHERE JobID = -1 AND EmpNo = 0")),
              QStringLiteral("1500,0,0,0,0,0,0,0,0,99,"));
    PricoraSpecs loaded;
    ASSERT_TRUE(Pricora::LoadScratchItem(loaded));
    EXPECT_EQ(loaded.quantityText, QStringLiteral("250"));
    EXPECT_EQ(loaded.markup, 2);
    EXPECT_EQ(loaded.side1, 1);
    EXPECT_EQ(loaded.press, 200);
    EXPECT_EQ(loaded.plate, 66);
    EXPECT_EQ(loaded.paper, 0);
    EXPECT_EQ(loaded.targets, specs.targets);
}

TEST_F(PricoraWindow, PricesTenQuantitiesAgainstTargets)
{
    CPricora *w = CPricora::OpenFor(owner.get(), 601);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->specs().other, 601);
    EXPECT_EQ(w->serviceText(4), QStringLiteral("Other: Finishing: Scoring"));
    EXPECT_EQ(w->serviceText(1), QStringLiteral("Paper: "));
    EXPECT_EQ(column(*w, 0), QList<qint32>({1, 10, 50, 100, 500, 1000, 5000, 10000, 0, 0}));
    const QList<qint32> prices = column(*w, 1);
    EXPECT_GT(prices[0], 0);
    EXPECT_EQ(prices[8], 0) << "a quantity of 0 gets no price";
    EXPECT_EQ(prices[9], 0);

    // A target beside a price.
    w->grid().SetCellValue(0, 2, prices[0] - 100);
    w->UpdateDifference(0);
    EXPECT_EQ(w->grid().GetCellValue(0, 3), 100);
    snapshot(*w, QStringLiteral("pricora_grid"));
    w->SendCommand(CPricora::kShowGraph);
    EXPECT_TRUE(w->graph().isVisible());
    EXPECT_FALSE(w->grid().isVisible());
    snapshot(*w, QStringLiteral("pricora_graph"));
    w->SendCommand(CPricora::kShowGraph);
    EXPECT_TRUE(w->grid().isVisible());

    // A quantity text of 250.
    w->combo(1201)->setCurrentText(QStringLiteral("250"));
    w->SendCommand(CPricora::kQuantitiesChanged);
    EXPECT_EQ(column(*w, 0), QList<qint32>({250, 500, 750, 1000, 1250, 1500, 1750, 2000, 2250, 2500}));

    // The same window again for a press: it brings its plate.
    EXPECT_EQ(CPricora::OpenFor(owner.get(), 200), w);
    EXPECT_EQ(w->specs().press, 200);
    EXPECT_EQ(w->specs().plate, 66);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo FROM Items WHERE JobID = -1 AND EmpNo = 3")), QStringLiteral("66"));

    // Close hides it; Reset empties the slots.
    w->SendCommand(2);
    EXPECT_FALSE(w->isVisible());
    w->SendCommand(CPricora::kReset);
    EXPECT_EQ(w->specs().press, 0);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Group_Concat(SerNo) FROM Items WHERE JobID = -1 AND EmpNo > 0")),
              QStringLiteral("-1,-1,-1,-1"));
}

TEST_F(PricoraWindow, AServiceSavedInTheWindowThatOpenedTheWizardIsPricedThereAgain)
{
    InstallPriceChanged();
    CSerSet set;
    set.m_strFilter = QStringLiteral("Services.SerNo = 601");
    ASSERT_TRUE(set.RequeryOrOpen(false));
    CSerDlg dialog(set, nullptr, nullptr);
    dialog.m_nOpenMode = 30103;
    QList<qint32> before, after;
    prompts().onDialog([&](QDialog &shown) {
        auto &d = dynamic_cast<CSerDlg &>(shown);
        d.SendCommand(30650);
        CPricora *w = d.findChild<CPricora *>(QString(), Qt::FindDirectChildrenOnly);
        EXPECT_NE(w, nullptr);
        if (!w)
            return 2;
        before = column(*w, 1);
        // The set-up price from $3.00 to $6.00, then Save.
        d.setupGrid().SetCellValue(0, 4, 600);
        d.SendCommand(30213);
        after = column(*w, 1);
        return 2;
    });
    dialog.DoModal();
    CSerDlg::SetPriceWizardHook(nullptr);
    CSerDlg::SetPriceWizardFollowHook(nullptr);
    CPricora::SetServicePicker(nullptr);
    CItemPrice::SetDefaultPriceChangeDialog(nullptr);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SetPrice1 FROM Services WHERE SerNo = 601")), QStringLiteral("600"));
    ASSERT_EQ(before.size(), 10);
    ASSERT_EQ(after.size(), 10);
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(after[r], before[r] + 300) << "row " << r;
}

TEST_F(PricoraWindow, PickerButtonsSayWhenNoListIsInstalled)
{
    CPricora *w = CPricora::OpenFor(owner.get(), 601);
    prompts().answer(platform::IDOK);
    w->SendCommand(1001);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The service list is not yet available in this version of Tavrel."));
    qint32 askedCat = -1;
    CPricora::SetServicePicker([&askedCat](QWidget *, qint32 catNo, qint32, qint32) {
        askedCat = catNo;
        return qint32(200);
    });
    w->SendCommand(1001);
    EXPECT_EQ(askedCat, 101) << "the paper picker opens on category 101";
    EXPECT_EQ(w->specs().press, 200) << "the picked service goes to its own slot";
    CPricora::SetServicePicker(nullptr);
}

} // namespace
