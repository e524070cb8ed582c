// The Costs window driven offscreen on a priced item: what it shows, what its
// save writes to table Items (read back with the sqlite3 tool), the locked
// save, clearing, a save that fails, and the comparison windows.
#include "PricingFixture.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "data/AppDataServices.h"
#include "estimating/CItemCosts.h"
#include "views/CNoteDlg.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>

namespace {

using platform::IDCANCEL;
using platform::IDOK;
using platform::IDYES;
using Sheet = CItemCostSheet;

class ItemCostsDialog : public PricingTest
{
protected:
    void SetUp() override
    {
        PricingTest::SetUp();
        app = std::make_unique<CZqApp>();
        InstallAppQueryReader(*app);
        Appearance::instance().LoadViewSettings();
        exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (50, 5, "
                            "'Finishing', 5, 50)"));
        addService(601, 50, QStringLiteral("Scoring"),
                   {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetCost1", "100"},
                    {"SetPrice1", "300"}, {"Unit", "3"}, {"QBreak1", "1"}, {"RunCost1", "1"}, {"SortNo", "1"}});
        addService(602, 50, QStringLiteral("Numbering"),
                   {{"QtyBy", "12"}, {"CostBy", "2"}, {"PriceBy", "3"}, {"SetFor1", "1"}, {"SetCost1", "200"},
                    {"SetPrice1", "410"}, {"Unit", "3"}, {"QBreak1", "1"}, {"RunCost1", "1"}, {"SortNo", "2"}});
        app->LoadServiceDepartments();
        app->LoadServiceCategories();
        app->LoadServices(1);
        m_job = addJob(880);
        m_header = addRow(m_job, 0, {{"ChargeQty", "100"}, {"Description", "'Forms'"}});
        m_first = addRow(m_job, 601, {{"ActualQty", "1"}, {"MatCost", "1"}, {"SortNo", "1"}});
        m_second = addRow(m_job, 602, {{"ActualQty", "1"}, {"MatCost", "2"}, {"SortNo", "2"}});
        // Saved as the engine prices it today.
        setOption(44313, 2);
        engine(m_job, false)->PriceItem(0);
        setOption(44313, 0);
    }
    void TearDown() override
    {
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
    QString itemsDump()
    {
        return sqlite(QStringLiteral("SELECT ItemID, ActualTime, ChargeTime, ActualQty, ChargeQty, TimeCost, MatCost, "
                                     "Cost, Price, Regis, Mix FROM Items ORDER BY ItemID"));
    }
    CItemSet headerRow()
    {
        CItemSet item;
        item.OpenByItemID(m_header, false);
        return CItemSet(item);
    }
    void onCosts(std::function<int(CItemCosts &)> handler)
    {
        prompts().onDialog([handler](QDialog &dialog) -> int {
            auto *costs = dynamic_cast<CItemCosts *>(&dialog);
            EXPECT_NE(costs, nullptr) << dialog.metaObject()->className();
            return costs ? handler(*costs) : int(IDCANCEL);
        });
    }
    // The next window shown is photographed and closed.
    void snapNext(const QString &name, QString *title = nullptr)
    {
        prompts().onDialog([name, title](QDialog &dialog) -> int {
            if (title)
                *title = dialog.windowTitle();
            snapshot(dialog, name);
            return int(IDOK);
        });
    }
    static int press(CDlg0 &dialog, int id)
    {
        dialog.SendCommand(id);
        QApplication::processEvents();
        return dialog.result();
    }
    static void snapshot(QWidget &widget, const QString &name)
    {
        SaveSnapshot(widget, QStringLiteral("estimating"), name);
    }
    static bool enabled(QWidget &dialog, const QString &text)
    {
        for (QPushButton *b : dialog.findChildren<QPushButton *>())
            if (b->text() == text)
                return b->isEnabled();
        return false;
    }

    std::unique_ptr<CZqApp> app;
    qint32 m_job = 0, m_header = 0, m_first = 0, m_second = 0;
};

TEST_F(ItemCostsDialog, OpensOnTheSavedFiguresAndAnUnchangedSaveWritesSame)
{
    const QString savedPrice = sqlite(QStringLiteral("SELECT Price FROM Items WHERE ItemID = %1").arg(m_header));
    exec(QStringLiteral("UPDATE Items SET Regis = 0 WHERE ItemID = %1").arg(m_header));
    CItemSet header = headerRow();
    onCosts([&](CItemCosts &d) {
        EXPECT_EQ(d.servicesGrid().GetRowCount(), 2);
        EXPECT_EQ(d.servicesGrid().GetCellText(0, 0), QStringLiteral("Finishing: Scoring"));
        EXPECT_EQ(d.servicesGrid().GetCellText(0, 8), QStringLiteral("Ea"));
        EXPECT_EQ(d.servicesGrid().GetCellText(0, Sheet::ColPriceMark), QString()) << "saved as computed today";
        EXPECT_EQ(d.totalsGrid().GetCellText(0, 0), QStringLiteral("Current Total (of values above)"));
        EXPECT_EQ(d.totalsGrid().GetCellValue(Sheet::CurrentTotal, Sheet::ColPrice),
                  d.totalsGrid().GetCellValue(Sheet::DefaultRow, Sheet::ColPrice));
        EXPECT_TRUE(enabled(d, QStringLiteral("Save")));
        EXPECT_TRUE(enabled(d, QStringLiteral("Save as Locked...")));
        d.OnCellSelected(CDlgGrid::kGrid, 0, Sheet::ColTimeCost);
        EXPECT_EQ(d.m_strStripText, QStringLiteral("If you change the Time Cost of the Service, Unit Cost, Cost and "
                                                  "Price will be recalculated.\nRight-click a '\u00b1' field for "
                                                  "more options."));
        d.OnCellSelected(CDlgGrid::kSecondGrid, 0, Sheet::ColMarkup);
        EXPECT_TRUE(d.m_strStripText.startsWith(QStringLiteral("If you change the Markup of the Item, Markups and "
                                                               "Prices of ALL Services will be recalculated.")));
        snapshot(d, QStringLiteral("costs_window"));
        return press(d, 1);
    });
    CItemCosts dialog(&header, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Regis || ':' || Price || ':' || Mix FROM Items WHERE ItemID = %1")
                         .arg(m_header)),
              QStringLiteral("10:") + savedPrice + QStringLiteral(":0"));
}

TEST_F(ItemCostsDialog, EditedPriceSavedAndLocked)
{
    CItemSet header = headerRow();
    onCosts([&](CItemCosts &d) {
        d.totalsGrid().SetCellValue(Sheet::CurrentTotal, Sheet::ColPrice, 2000);
        d.OnCellChanged(CDlgGrid::kSecondGrid, Sheet::CurrentTotal, Sheet::ColPrice);
        EXPECT_EQ(d.sheet().Totals(Sheet::CurrentTotal).price, 2000);
        EXPECT_EQ(d.servicesGrid().GetCellText(0, Sheet::ColPriceMark), QStringLiteral(" +"));
        // A margin of 100 % is refused with a beep; the total stays.
        d.totalsGrid().SetCellValue(Sheet::MarginRow, Sheet::ColMarkup, 1000);
        d.OnCellChanged(CDlgGrid::kSecondGrid, Sheet::MarginRow, Sheet::ColMarkup);
        EXPECT_EQ(d.sheet().Totals(Sheet::CurrentTotal).price, 2000);
        EXPECT_EQ(prompts().shown().last().kind, platform::PromptRecord::Kind::Beep);
        prompts().answer(IDYES);
        return press(d, 1006);
    });
    CItemCosts dialog(&header, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(prompts().texts().contains(
        QStringLiteral("Save the Item Price as locked?\nThis is a low level (no password) protection.")));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Price || ':' || Regis || ':' || Mix FROM Items WHERE ItemID = %1")
                         .arg(m_header)),
              QStringLiteral("20:11:1"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Sum(Price) FROM Items WHERE JobID = %1 AND SerNo > 0").arg(m_job)),
              QStringLiteral("20.0"))
        << "the total spread over the services";

    // Opened again: the lock shows and Save keeps it.
    CItemSet again = headerRow();
    onCosts([&](CItemCosts &d) {
        EXPECT_FALSE(enabled(d, QStringLiteral("Locked")));
        return press(d, 1);
    });
    CItemCosts second(&again, nullptr);
    EXPECT_EQ(second.DoModal(), IDOK);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Mix FROM Items WHERE ItemID = %1").arg(m_header)), QStringLiteral("1"));
}

// Amounts past 32 bits of cents are shown and saved exactly (the sheet held
// them at 21,474,836.47 and saved that).
TEST_F(ItemCostsDialog, AnItemPricedPast32BitsOfCentsIsShownAndSavedExactly)
{
    exec(QStringLiteral("UPDATE Items SET Price = 30000000 WHERE ItemID = %1").arg(m_first));
    exec(QStringLiteral("UPDATE Items SET Price = 20000000 WHERE ItemID = %1").arg(m_second));
    exec(QStringLiteral("UPDATE Items SET Price = 50000000 WHERE ItemID = %1").arg(m_header));
    CItemSet header = headerRow();
    onCosts([&](CItemCosts &d) {
        EXPECT_EQ(d.sheet().Totals(Sheet::CurrentTotal).price, 5000000000LL);
        EXPECT_EQ(d.totalsGrid().GetShownText(Sheet::CurrentTotal, Sheet::ColPrice), QStringLiteral("50000000.00"));
        d.totalsGrid().SetCellValue(Sheet::CurrentTotal, Sheet::ColPrice, 8000000000LL);
        d.OnCellChanged(CDlgGrid::kSecondGrid, Sheet::CurrentTotal, Sheet::ColPrice);
        EXPECT_EQ(d.sheet().RowAt(0).price + d.sheet().RowAt(1).price, 8000000000LL);
        prompts().answer(IDYES);
        return press(d, 1006);
    });
    CItemCosts dialog(&header, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Price FROM Items WHERE ItemID = %1").arg(m_header)),
              QStringLiteral("80000000"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT group_concat(Price, ' ') FROM (SELECT Price FROM Items WHERE JobID = %1 "
                                    "AND SerNo > 0 ORDER BY ItemID)")
                         .arg(m_job)),
              QStringLiteral("48000000 32000000"));
}

// A service price typed into the sheet holds to the largest amount the
// program takes: 100,000,000,000.00 is taken, a cent past it refused
// naming the column, the price before it kept (never a price the job's
// totals then add up differently).
TEST_F(ItemCostsDialog, ATypedServicePriceHoldsToTheLargestAmount)
{
    CItemSet header = headerRow();
    onCosts([&](CItemCosts &d) {
        CXGridCtrl &grid = d.servicesGrid();
        const QString column = grid.GetColumnHeader(Sheet::ColPrice).remove(QLatin1Char('&')).simplified();
        const struct
        {
            const char *typed;
            qint64 cents; // -1: refused
        } rows[] = {{"100,000,000,000.00", 10000000000000LL}, {"100000000000.01", -1},
                    {"12.345", -1}, {"12.34", 1234}};
        for (const auto &row : rows) {
            SCOPED_TRACE(row.typed);
            const qint64 before = grid.GetCellValue(0, Sheet::ColPrice);
            prompts().clear();
            if (row.cents < 0)
                prompts().answer(IDOK);
            grid.EditCell(0, Sheet::ColPrice);
            auto *editor = qobject_cast<QLineEdit *>(grid.editor());
            if (!editor) {
                ADD_FAILURE() << "no editor";
                break;
            }
            editor->selectAll();
            QTest::keyClicks(editor, QString::fromLatin1(row.typed));
            grid.EndEdit();
            EXPECT_EQ(grid.GetCellValue(0, Sheet::ColPrice), row.cents < 0 ? before : row.cents);
            EXPECT_EQ(prompts().texts().size(), row.cents < 0 ? 1 : 0);
            if (row.cents < 0 && QByteArray(row.typed) != "12.345")
                EXPECT_EQ(prompts().lastText(), QStringLiteral("\"%1\" cannot be more than 100,000,000,000.00, the "
                                                               "largest amount it holds.")
                                                    .arg(column));
        }
        return press(d, 2);
    });
    CItemCosts dialog(&header, nullptr);
    dialog.DoModal();
}

// Saving the sheet: an item priced at the largest amount, or a cent under
// it, is saved to the cent; a cent over it, or a job whose Subtotal (with
// its other items) or Total (with its tax) would pass it, is refused naming
// the figure, the window stays open and the item keeps what it had. The
// item's two services price at 3.00 and 4.10; the first is typed.
TEST_F(ItemCostsDialog, AnItemOrJobPastTheLargestAmountIsNotSaved)
{
    exec(QStringLiteral("INSERT INTO Taxes ([No], Name, TaxPercent, TaxShipping, TaxPostage, RoundUp, Sort) VALUES "
                        "(1, 'State 8.25%', 82500, 0, 0, 0, 1)"));
    struct Case
    {
        int taxNo;
        const char *otherItem; // price of a second item of the job, or null
        const char *typed;     // the first service's price
        const char *refused;   // the figure named, or null: saved
        const char *saved;     // the item's price afterwards
    };
    const Case cases[] = {
        {0, nullptr, "99,999,999,995.90", nullptr, "100000000000.0000"},
        {0, nullptr, "99,999,999,995.89", nullptr, "99999999999.9900"},
        {0, nullptr, "99,999,999,995.91", "Item Price", "99999999999.9900"},
        // 8.25 % of 92,000,000,004.10 is 7,590,000,000.34: a total of
        // 99,590,000,004.44.
        {1, nullptr, "92,000,000,000.00", nullptr, "92000000004.1000"},
        {1, nullptr, "99,999,999,995.90", "Total", "92000000004.1000"},
        {0, "0.01", "99,999,999,995.90", "Subtotal", "92000000004.1000"},
        {0, "0.01", "99,999,999,995.89", nullptr, "99999999999.9900"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        exec(QStringLiteral("UPDATE Jobs SET TaxNo = %1 WHERE JobID = %2").arg(c.taxNo).arg(m_job));
        exec(QStringLiteral("DELETE FROM Items WHERE JobID = %1 AND ItemNo = 2").arg(m_job));
        if (c.otherItem) {
            addRow(m_job, 0, {{"Price", c.otherItem}}, 2);
            addRow(m_job, 601, {{"Price", c.otherItem}}, 2);
        }
        prompts().clear();
        CItemSet header = headerRow();
        onCosts([&](CItemCosts &d) {
            CXGridCtrl &grid = d.servicesGrid();
            grid.EditCell(0, Sheet::ColPrice);
            auto *editor = qobject_cast<QLineEdit *>(grid.editor());
            if (!editor) {
                ADD_FAILURE() << "no editor";
                return press(d, 2);
            }
            editor->selectAll();
            QTest::keyClicks(editor, QString::fromLatin1(c.typed));
            grid.EndEdit();
            if (!c.refused)
                return press(d, 1);
            prompts().answer(IDOK);
            EXPECT_EQ(press(d, 1), 0); // still open
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("\"%1\" cannot be more than 100,000,000,000.00, the largest amount it "
                                                 "holds.\n\nThe item's prices are not saved.")
                                      .arg(QLatin1String(c.refused))});
            return press(d, 2);
        });
        CItemCosts dialog(&header, nullptr);
        EXPECT_EQ(dialog.DoModal(), c.refused ? IDCANCEL : IDOK);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f', Price) FROM Items WHERE ItemID = %1").arg(m_header)),
                  QLatin1String(c.saved));
    }
}

TEST_F(ItemCostsDialog, PartlyUnpricedAndClearedItemsSavePriceZero)
{
    exec(QStringLiteral("UPDATE Items SET Price = 0 WHERE ItemID = %1").arg(m_second));
    CItemSet header = headerRow();
    onCosts([&](CItemCosts &d) {
        EXPECT_EQ(d.servicesGrid().GetCellText(1, Sheet::ColPriceMark), QStringLiteral(" ?"));
        EXPECT_EQ(d.sheet().Totals(Sheet::CurrentTotal).price, 0);
        return press(d, 1);
    });
    CItemCosts dialog(&header, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Price FROM Items WHERE ItemID = %1").arg(m_header)), QStringLiteral("0"));

    CItemSet header2 = headerRow();
    onCosts([&](CItemCosts &d) {
        d.SendCommand(31016); // Clear All Values
        EXPECT_EQ(d.servicesGrid().GetCellValue(0, Sheet::ColPrice), 0);
        EXPECT_EQ(d.servicesGrid().GetCellValue(0, Sheet::ColActualQty), 0);
        EXPECT_EQ(d.servicesGrid().GetCellText(0, 0), QStringLiteral("Finishing: Scoring"));
        return press(d, 1);
    });
    CItemCosts cleared(&header2, nullptr);
    EXPECT_EQ(cleared.DoModal(), IDOK);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Group_Concat(Price || '/' || ActualQty) FROM Items WHERE JobID = %1")
                         .arg(m_job)),
              QStringLiteral("0/0,0/0,0/0"));
}

TEST_F(ItemCostsDialog, FailedSaveChangesNothingAndStaysOpen)
{
    const QString before = itemsDump();
    sqlite(QStringLiteral("CREATE TRIGGER refuse_costs BEFORE UPDATE ON Items WHEN NEW.SerNo = 602 BEGIN SELECT "
                          "RAISE(ABORT, 'refused by the test'); END"));
    CItemSet header = headerRow();
    onCosts([&](CItemCosts &d) {
        d.totalsGrid().SetCellValue(Sheet::CurrentTotal, Sheet::ColPrice, 5000);
        d.OnCellChanged(CDlgGrid::kSecondGrid, Sheet::CurrentTotal, Sheet::ColPrice);
        prompts().answer(IDOK);
        d.SendCommand(1);
        QApplication::processEvents();
        EXPECT_TRUE(d.isVisible()) << "the window stays open";
        EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot save "))) << prompts().lastText().toStdString();
        return press(d, 2);
    });
    CItemCosts dialog(&header, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(itemsDump(), before) << "every row as it was";
}

TEST_F(ItemCostsDialog, ApplyMenuGreysWhatEqualsTheDefault)
{
    exec(QStringLiteral("UPDATE Items SET Price = 9 WHERE ItemID = %1").arg(m_first));
    CItemSet header = headerRow();
    onCosts([&](CItemCosts &d) {
        QMenu menu;
        d.BuildApplyMenu(menu, false, 1); // the row as computed: both marks empty
        QList<QAction *> actions;
        for (QAction *a : menu.actions())
            if (!a->isSeparator())
                actions << a;
        EXPECT_EQ(actions.size(), 6);
        for (int i = 0; i < 4; ++i)
            EXPECT_FALSE(actions[i]->isEnabled()) << i;
        QMenu first;
        d.BuildApplyMenu(first, false, 0); // its price differs
        EXPECT_TRUE(first.actions()[3]->text().startsWith(QStringLiteral("Apply Saved Price   $\t9.00")));
        EXPECT_TRUE(first.actions()[3]->isEnabled());
        EXPECT_FALSE(first.actions()[0]->isEnabled()) << "its cost equals the default";
        QMenu totals;
        d.BuildApplyMenu(totals, true, 0);
        EXPECT_EQ(totals.actions().last()->text(), QStringLiteral("Clear All Values"));
        d.SetCurrentRow(0);
        d.SendCommand(31003); // default price of the row
        EXPECT_EQ(d.servicesGrid().GetCellText(0, Sheet::ColPriceMark), QString());
        QString title;
        snapNext(QStringLiteral("costs_saved_vs_default"), &title);
        d.OnSavedVsDefault();
        EXPECT_EQ(title, QStringLiteral("Saved vs Default"));
        snapNext(QStringLiteral("costs_item_direct_cost"), &title);
        d.OnItemDirectCost();
        EXPECT_EQ(title, QStringLiteral("Item Cost"));
        snapNext(QStringLiteral("costs_help"), &title);
        d.SendCommand(30418);
        EXPECT_TRUE(d.m_strHelpText.startsWith(QStringLiteral("When you open the Costs window")));
        return press(d, 2);
    });
    CItemCosts dialog(&header, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(ItemCostsDialog, ItemWithoutServicesCannotBeCosted)
{
    const qint32 job = addJob(881);
    const qint32 lone = addRow(job, 0, {{"Description", "'Blank'"}});
    CItemSet item;
    item.OpenByItemID(lone, false);
    prompts().answer(IDOK);
    CItemCosts dialog(&item, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("ITEM 1 does not have any Services.\n\nTo edit costs, you must add Service(s) in the "
                             "Specs window."));
}

} // namespace
