// The "Price Changed" window: the options offered for each combination of
// default, revised and last figures, the window's refusals, and the window
// answering the pricing engine once it is installed.
#include "PricingFixture.h"

#include "catalogue/CSerDlg.h"
#include "estimating/CPriceChanged.h"
#include "estimating/CPricora.h"
#include "estimating/PriceOptions.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QPushButton>

namespace {

using platform::IDNO;
using platform::IDYES;

Money d(const char *text)
{
    return Money::fromText(QString::fromLatin1(text));
}

PriceOptionInput input(const char *defCost, const char *defPrice, const char *revCost, const char *revPrice,
                       const char *lastCost, const char *lastPrice)
{
    PriceOptionInput in;
    in.defaultCost = d(defCost);
    in.defaultPrice = d(defPrice);
    in.revisedCost = d(revCost);
    in.revisedPrice = d(revPrice);
    in.lastCost = d(lastCost);
    in.lastPrice = d(lastPrice);
    return in;
}

struct Expected
{
    int choice;
    const char *label;
};

void expectRows(const PriceOptions &options, std::initializer_list<Expected> rows, const char *what)
{
    ASSERT_EQ(options.rows.size(), rows.size()) << what;
    size_t i = 0;
    for (const Expected &e : rows) {
        EXPECT_EQ(options.rows[i].choice, e.choice) << what << " row " << i;
        EXPECT_EQ(options.rows[i].label, QString::fromLatin1(e.label)) << what << " row " << i;
        ++i;
    }
}

TEST(PriceOptionsRules, RowSetsByFigures)
{
    struct Case
    {
        const char *what;
        PriceOptionInput in;
        std::initializer_list<Expected> rows;
    };
    const Case cases[] = {
        {"only the default cost changed", input("3.02", "9.00", "2.00", "9.00", "2.00", "9.00"),
         {{30451, "Default Cost and Default Price"}, {30454, "      Last Cost and Last Price"}}},
        {"revised cost is neither last nor default", input("3.02", "7.10", "2.50", "9.00", "2.00", "9.00"),
         {{30451, "Default Cost and Default Price"},
          {30454, "Revised Cost and Last Price"},
          {30453, "Default Cost and Last Price"},
          {30452, "Last Cost and Default Price"}}},
        {"revised cost equals the default cost", input("3.02", "7.10", "3.02", "9.00", "2.00", "9.00"),
         {{30451, "Default Cost and Default Price"}, {30454, "Default Cost and Last Price"}}},
        {"revised price is the default price", input("3.02", "7.10", "2.50", "7.10", "2.00", "9.00"),
         {{30451, "Default Cost and Default Price"},
          {30453, "Default Cost and Last Price"},
          {30454, "Revised Cost and Last Price"},
          {30456, "Revised Cost and Revised Price (= Default)"}}},
        {"revised price differs from both", input("3.02", "7.10", "2.50", "8.00", "2.00", "9.00"),
         {{30451, "Default Cost and Default Price"},
          {30453, "Default Cost and Last Price"},
          {30455, "Default Cost and Revised Price"},
          {30452, "Revised Cost and Default Price"},
          {30454, "Revised Cost and Last Price"},
          {30456, "Revised Cost and Revised Price"}}},
    };
    for (const Case &c : cases) {
        const PriceOptions options = BuildPriceOptions(c.in);
        expectRows(options, c.rows, c.what);
        EXPECT_EQ(options.preselected, 30451) << c.what;
        EXPECT_EQ(options.headingIcon, 17);
        EXPECT_EQ(options.heading, QStringLiteral("Which price do you want to save?"));
    }
    // The price column's image compares with the Default Price.
    const PriceOptions six = BuildPriceOptions(cases[4].in);
    EXPECT_EQ(six.rows[0].priceImage, 234);
    EXPECT_EQ(six.rows[1].priceImage, 235);
    EXPECT_EQ(six.rows[2].priceImage, 235);
    EXPECT_EQ(BuildPriceOptions(input("1", "7", "1", "5", "2", "6")).rows[1].priceImage, 236);
}

TEST(PriceOptionsRules, TextsAndServicesAddedOrRemoved)
{
    PriceOptionInput in = input("3.02", "7.10", "2.50", "7.10", "2.00", "9.00");
    EXPECT_EQ(BuildPriceOptions(in).information, QStringLiteral("Default Price: \t$ 7.10\nLast Price was:\t$ 9.00"))
        << "a revised price equal to the default tells nothing new";
    EXPECT_EQ(BuildPriceOptions(in).note, QString());
    in.servicesAdded = 2;
    in.servicesRemoved = 1;
    PriceOptions options = BuildPriceOptions(in);
    EXPECT_EQ(options.information,
              QStringLiteral("Default Price: \t$ 7.10\nLast Price was:\t$ 9.00\nRevised Price:\t$ 7.10 (= Default)"));
    EXPECT_EQ(options.note, QStringLiteral("\u2022 Revised Price = Last Price + Price of Services Added (2) - Removed "
                                           "(1)\n\u2022 Revised Price = 9.00 -1.90"));
    in.revisedPrice = d("1210.50");
    options = BuildPriceOptions(in);
    EXPECT_TRUE(options.note.endsWith(QStringLiteral("\u2022 Revised Price = 9.00 + 1,201.50")));
    EXPECT_TRUE(options.information.endsWith(QStringLiteral("\nRevised Price:\t$ 1,201.50").replace(
        QStringLiteral("1,201.50"), QStringLiteral("1,210.50"))));

    PriceOptionInput locked = input("3.02", "7.10", "2.00", "9.00", "2.00", "9.00");
    locked.priceLock = 1;
    locked.priceState = 10;
    options = BuildPriceOptions(locked);
    EXPECT_EQ(options.headingIcon, 21);
    EXPECT_EQ(options.preselected, 0) << "a locked price is never chosen for the user";
    EXPECT_TRUE(options.information.endsWith(QStringLiteral("Last Price was:\t$ 9.00 LOCKED!")));
    PriceOptionInput higher = input("3.02", "7.10", "2.00", "9.00", "2.00", "9.00");
    higher.priceState = 11;
    EXPECT_EQ(BuildPriceOptions(higher).preselected, 0) << "an edited price is not replaced without a choice";
}

class PriceChangedWindow : public PricingTest
{
protected:
    void TearDown() override
    {
        // Everything InstallPriceChanged put in place goes, so the tests after
        // this one find the process as it was.
        CItemPrice::SetDefaultPriceChangeDialog(nullptr);
        CPricora::SetServicePicker(nullptr);
        CSerDlg::SetPriceWizardHook(nullptr);
        CSerDlg::SetPriceWizardFollowHook(nullptr);
        QApplication::processEvents();
        PricingTest::TearDown();
    }
    void onWindow(std::function<int(CPriceChanged &)> handler)
    {
        prompts().onDialog([handler](QDialog &dialog) -> int {
            auto *window = dynamic_cast<CPriceChanged *>(&dialog);
            EXPECT_NE(window, nullptr) << dialog.metaObject()->className();
            return window ? handler(*window) : 0;
        });
    }
    static void snapshot(QWidget &widget, const QString &name)
    {
        SaveSnapshot(widget, QStringLiteral("estimating"), name);
    }
    static bool okEnabled(CPriceChanged &window)
    {
        for (QPushButton *b : window.findChildren<QPushButton *>())
            if (b->text() == QStringLiteral("OK"))
                return b->isEnabled();
        return false;
    }
};

TEST_F(PriceChangedWindow, FourOptionsShownAndChosen)
{
    PriceOptionInput in = input("3.02", "7.10", "2.50", "9.00", "2.00", "9.00");
    in.showCost = true;
    CPriceChanged window(nullptr, nullptr);
    window.m_strWindowTitle = QStringLiteral("ITEM 1  Letterhead");
    window.SetInput(in);
    onWindow([&](CPriceChanged &w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("ITEM 1  Letterhead"));
        EXPECT_EQ(w.table().GetRowCount(), 5) << "four options and the hint row";
        EXPECT_EQ(w.m_nAnswer, 30451) << "preselected";
        EXPECT_EQ(w.table().GetCellText(4, 1),
                  QStringLiteral("Select an option and click OK (or double-click on your selection)"));
        EXPECT_EQ(w.table().GetCellText(1, 1), QStringLiteral("Revised Cost and Last Price"));
        EXPECT_EQ(w.table().GetRowKey(3), 30452);
        EXPECT_TRUE(okEnabled(w));
        w.SelectChoice(30453);
        EXPECT_EQ(w.m_nAnswer, 30453);
        snapshot(w, QStringLiteral("price_changed_four_options"));
        w.SendCommand(1);
        return w.result();
    });
    EXPECT_EQ(window.DoModal(), 30453);
    EXPECT_TRUE(prompts().texts().isEmpty());
}

TEST_F(PriceChangedWindow, LockedPriceNeedsAChoiceAndAYes)
{
    PriceOptionInput in = input("3.02", "7.10", "2.50", "9.00", "2.00", "9.00");
    in.priceLock = 1;
    CPriceChanged window(nullptr, nullptr);
    window.SetInput(in);
    onWindow([&](CPriceChanged &w) {
        EXPECT_EQ(w.m_nAnswer, 0);
        EXPECT_FALSE(okEnabled(w));
        EXPECT_EQ(w.table().m_titleIcon, 21);
        prompts().answer(platform::IDOK);
        static_cast<QDialog &>(w).reject(); // Esc with nothing chosen
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please select a \u201cSAVE\u201d option."));
        EXPECT_TRUE(w.isVisible()) << "the window stays";
        w.SendCommand(1);
        EXPECT_TRUE(w.isVisible()) << "OK without a choice does nothing";
        w.SelectChoice(30451);
        prompts().answer(IDNO);
        w.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to replace the Locked Price?"));
        EXPECT_TRUE(w.isVisible());
        const int asked = int(prompts().texts().size());
        static_cast<QDialog &>(w).reject(); // with a choice: nothing happens
        EXPECT_EQ(int(prompts().texts().size()), asked);
        w.SelectChoice(30453); // keeps the last price: no question
        w.SendCommand(1);
        EXPECT_EQ(int(prompts().texts().size()), asked);
        return w.result();
    });
    EXPECT_EQ(window.DoModal(), 30453);
}

TEST_F(PriceChangedWindow, CostColumnFollowsTheShopOption)
{
    for (int option : {0, 1}) {
        setOption(44314, option);
        CPriceChanged window(nullptr, nullptr);
        onWindow([&](CPriceChanged &w) {
            EXPECT_EQ(w.table().GetColumnName(2).contains(QStringLiteral("HIDE")), option != 1) << option;
            w.SelectChoice(30451);
            w.SendCommand(1);
            return w.result();
        });
        window.DoModal();
    }
}

TEST_F(PriceChangedWindow, InstalledWindowAnswersTheEngine)
{
    addService(601, 50, QStringLiteral("Scoring"),
               {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetCost1", "100"},
                {"SetPrice1", "300"}, {"Unit", "3"}, {"QBreak1", "1"}, {"RunCost1", "1"}});
    const qint32 job = addJob(704);
    const qint32 item = addRow(job, 0, {{"ChargeQty", "100"}, {"Cost", "2"}, {"Price", "9"}, {"Regis", "10"},
                                        {"Description", "'Forms'"}});
    addRow(job, 601, {{"ActualQty", "1"}, {"MatCost", "1"}, {"Cost", "2"}, {"Price", "9"}});
    InstallPriceChanged();
    QString title;
    onWindow([&](CPriceChanged &w) {
        title = w.windowTitle();
        EXPECT_GE(w.options().rows.size(), 2u);
        EXPECT_EQ(w.options().rows[1].choice, 30454) << "the second row carries the last price";
        EXPECT_EQ(w.options().rows[1].label, QStringLiteral("      Last Cost and Last Price"));
        w.SelectChoice(30454);
        w.SendCommand(1);
        return w.result();
    });
    auto e = engine(job, false);
    EXPECT_EQ(e->PriceItem(0), CItemPrice::RevisedCostLastPrice);
    EXPECT_EQ(title, QStringLiteral("ITEM 1  Forms"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Price FROM Items WHERE ItemID = %1").arg(item)).toMoney(), d("9"));

    // An engine given its own dialog keeps it.
    auto own = engine(job, false);
    bool asked = false;
    own->SetPriceChangeDialog([&asked](CItemPrice &, const QString &) {
        asked = true;
        return int(CItemPrice::DefaultCostDefaultPrice);
    });
    EXPECT_EQ(own->PriceItem(0), CItemPrice::DefaultCostDefaultPrice);
    EXPECT_TRUE(asked);
}

} // namespace
