#include "CatalogueFixture.h"

#include "catalogue/CEditInventory.h"
#include "catalogue/CInventory.h"
#include "catalogue/StockRules.h"
#include "controls/CXListCtrl.h"
#include "views/CDlgList.h"
#include "data/CItemSet.h"
#include "data/CSerSet.h"
#include "app/base/MoneyText.h"
#include "platform/Clock.h"
#include "support/TypeInto.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

class InventoryTest : public CatalogueTest
{
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        native(QStringLiteral("INSERT OR REPLACE INTO Vendors ([No], Type, Name, Sort) VALUES (0, 0, '(none)', 0), "
                              "(1, 0, 'Paper Co', 1)"));
        // Two tracked papers: 20# Bond needs 1200 for one open job.
        native(QStringLiteral("UPDATE Services SET VendorNo = 1, OptInv = 1, MinLevel = 500, ReOrder = 500, "
                              "InStock = 300, OnOrder = 0, Unit = 2, SKU = 'B20' WHERE SerNo = 10"));
        native(QStringLiteral("UPDATE Services SET VendorNo = 1, OptInv = 1, MinLevel = 0, ReOrder = 0, "
                              "InStock = 0, OnOrder = 0, Unit = 1, RunCost1 = 250 WHERE SerNo = 11"));
        native(QStringLiteral("UPDATE Services SET VendorNo = 0 WHERE VendorNo IS NULL"));
        native(QStringLiteral("INSERT OR REPLACE INTO Customers (CusNo, Name) VALUES (1, 'Acme')"));
        native(QStringLiteral("INSERT OR REPLACE INTO Jobs (JobID, JobType, JobNo, Title, Status, CusNo, Creator) VALUES "
                              "(1, 0, 1001, 'Letterhead', 0, 1, 0)"));
        native(QStringLiteral(
            "INSERT INTO Items (ItemID, JobID, ItemNo, SubNo, SerNo, Status, Vendor, ActualQty, Tag2, Note) VALUES "
            "(1, 1, 1, 0, 0, 5, 0, 0, 0, ''), (2, 1, 1, 0, 10, 1, 0, 1200, 0, 'White'), "
            "(3, 1, 1, 0, 11, 1, 0, 40, 0, '')"));
    }
    QString books() const
    {
        return dump(QStringLiteral("Services")) + dump(QStringLiteral("Items")) +
            sqlite(QStringLiteral("SELECT * FROM Inventory ORDER BY InvID"));
    }
    int rowOf(const CInventory &d, qint32 serNo)
    {
        for (int r = 0; r < d.rows().size(); ++r)
            if (d.rows()[r].serNo == serNo)
                return r;
        return -1;
    }
};

TEST_F(InventoryTest, OrderRuleRoundsToReamsAndCostsIn64Bits)
{
    struct Case
    {
        qint64 minimum, need, inStock, onOrder, ream, order;
    };
    const Case cases[] = {
        {500, 1200, 300, 0, 500, 1500}, {500, 1200, 1700, 0, 500, 0}, {500, 1200, 1800, 0, 500, 0},
        {500, 1200, 300, 1400, 500, 0}, {500, 1200, 300, 1401, 500, 0}, {0, 7, 0, 0, 0, 7},            {0, 0, 0, 0, 0, 0},
        // Stock exactly at minimum + need orders nothing; 100 under orders a
        // ream; 100 over nothing.
        {500, 4281, 4781, 0, 500, 0},   {500, 4281, 4681, 0, 500, 500}, {500, 4281, 4881, 0, 500, 0},
        {500, 4281, 4681, 100, 500, 0}, {500, 4281, 4680, 100, 500, 500},
        {0, 7, 0, 0, 1, 7},             {0, 1001, 0, 0, 1000, 2000},    {0, 1000, 0, 0, 1000, 1000},
        // Needs of several jobs past 32 bits are whole: 2,147,483,647 and one
        // past it; three jobs of 900,000,000 with 300 in stock and 500 kept,
        // 2,700,000,200 up to whole reams of 500.
        {0, 2147483647, 0, 0, 0, 2147483647}, {0, 2147483648LL, 0, 0, 0, 2147483648LL},
        {500, 2700000000LL, 300, 0, 500, 2700000500LL}, {0, 2700000000LL, 2700000000LL, 0, 500, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(OrderQuantity(c.minimum, c.need, c.inStock, c.onOrder, c.ream), c.order)
            << c.minimum << " " << c.need << " " << c.inStock << " " << c.ream;
    EXPECT_EQ(ExtendedCost(1234, 2500, 2), 3085);
    EXPECT_EQ(ExtendedCost(250, 40, 1), 10000);
    EXPECT_EQ(ExtendedCost(999, 40, 3), 999);
    EXPECT_EQ(ExtendedCost(2000000000, 2000000, 1), 4000000000000000LL);
    EXPECT_EQ(ExtendedCost(1200, 2000000, 1), 2400000000LL); // 24,000,000.00
    EXPECT_EQ(ExtendedCost(2147483647, 2700000000LL, 2), 5798205846900000LL); // 57,982,058,469,000.00
    // Beyond 64 bits the cost is held at the most a money column shows.
    EXPECT_EQ(ExtendedCost(2147483647, 9000000000000000000LL, 1), INT64_MAX / 100);
    EXPECT_EQ(UnitCostOf(3085, 2500, 2, 0), 1234);
    EXPECT_EQ(UnitCostOf(3086, 2500, 2, 0), 1234); // cut toward zero
    EXPECT_EQ(UnitCostOf(3085, 0, 2, 77), 77);
    EXPECT_EQ(StockStatus(1300, 1200, 0, 0), kInStock);
    EXPECT_EQ(StockStatus(300, 1200, 0, 1500), kToOrder);
    EXPECT_EQ(StockStatus(0, 0, 0, 0), 0);
    EXPECT_EQ(StockStatus(300, 1200, 900, 0), kOnOrder);
    EXPECT_EQ(StockStatus(300, 2700000000LL, 0, 2700000000LL), kToOrder);
    EXPECT_EQ(StockStatus(2700000000LL, 2700000000LL, 0, 0), kInStock);
}

// Three open orders needing 900,000,000 sheets each: the need, the order and
// their cost are shown whole; what the file's columns cannot hold is refused
// by name when it is booked (an order that takes On Order to the largest
// count is booked, one more is not).
TEST_F(InventoryTest, NeedsAndCostsPast32BitsAreWholeAndPastTheColumnsRefused)
{
    for (int job = 2; job <= 4; ++job) {
        native(QStringLiteral("INSERT INTO Jobs (JobID, JobType, JobNo, Title, Status, CusNo, Creator) VALUES "
                              "(%1, 0, %2, 'Flyers', 0, 1, 0)")
                   .arg(job)
                   .arg(1000 + job));
        native(QStringLiteral("INSERT INTO Items (ItemID, JobID, ItemNo, SubNo, SerNo, Status, Vendor, ActualQty, Tag2, "
                              "Note) VALUES (%1, %2, 1, 0, 0, 5, 0, 0, 0, ''), (%3, %2, 1, 0, 11, 1, 0, 900000000, 0, '')")
                   .arg(job * 10)
                   .arg(job)
                   .arg(job * 10 + 1));
    }
    // Check lists it To-Order: 40 + 3 x 900,000,000 needed, none in stock.
    const QList<StockRow> checked = LoadStockRows(InventoryCheck, BuildInventoryQuery(InventoryCheck, 0, 0, QString(), 11));
    const auto bond24 = std::find_if(checked.begin(), checked.end(), [](const StockRow &r) { return r.serNo == 11; });
    ASSERT_NE(bond24, checked.end());
    EXPECT_EQ(bond24->items, 4);
    EXPECT_EQ(bond24->need, 2700000040LL);
    EXPECT_EQ(bond24->order, 2700000040LL);
    EXPECT_EQ(StockStatus(bond24->inStock, bond24->need, bond24->onOrder, bond24->order), kToOrder);

    const QString before = books();
    CInventory order(InventoryOrder, 0, nullptr);
    onDialog<CInventory>([&](CInventory &d) {
        const int r = rowOf(d, 11);
        EXPECT_EQ(d.grid().GetCellValue(r, CInventory::ColNeed), 2700000040LL);
        EXPECT_EQ(d.grid().GetCellValue(r, CInventory::ColOrder), 2700000040LL);
        // 2,700,000,040 at 2.50 each; the 20# Bond's 1,500 at 12.34 a thousand.
        EXPECT_EQ(d.grid().GetCellValue(r, CInventory::ColExtended), 675000010000LL);
        EXPECT_EQ(d.totalCost(), 675000010000LL + 1851);
        // More than the On Order column holds: nothing is written.
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("Nothing was saved: the Order of Bond: 24# Bond · 11 x 17 would be 2,700,000,040, more "
                                 "than 1,000,000,000, the largest count the program holds."));
        EXPECT_EQ(d.result(), 0);
        EXPECT_EQ(books(), before);
        // What the cell takes (8 digits) is booked.
        d.grid().EditCell(r, CInventory::ColOrder);
        qobject_cast<QLineEdit *>(d.grid().editor())->setText(QStringLiteral("99999999"));
        d.grid().EndEdit();
        prompts().answer(platform::IDYES);
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(order.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT InStock, OnOrder FROM Services WHERE SerNo = 11")),
              QStringLiteral("0|99999999"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ActionQty, printf('%.2f', Cost) FROM Inventory WHERE SerNo = 11")),
              QStringLiteral("99999999|249999997.50"));

    native(QStringLiteral("UPDATE Services SET OnOrder = 999999000 WHERE SerNo = 10"));
    StockBooking booking;
    booking.mode = InventoryOfService;
    booking.query = BuildInventoryQuery(InventoryOfService, 10, 0, QString(), 11);
    booking.optionBits = 11;
    booking.today = DateTime::fromDate(QDate(2026, 3, 4));
    for (const qint64 quantity : {1000LL, 1LL}) {
        QList<StockRow> rows = LoadStockRows(InventoryOfService, booking.query);
        ASSERT_EQ(rows.size(), 1);
        rows[0].order = quantity;
        QString refusal;
        EXPECT_EQ(BookStock(booking, rows, &refusal).has_value(), quantity == 1000) << quantity;
        EXPECT_EQ(refusal, quantity == 1000 ? QString()
                                            : QStringLiteral("Nothing was saved: the On Order of Bond: 20# Bond · 8.5 x 11 "
                                                             "would be 1,000,000,001, more than 1,000,000,000, the "
                                                             "largest count the program holds."));
    }
    EXPECT_EQ(sqlite(QStringLiteral("SELECT OnOrder FROM Services WHERE SerNo = 10")), QStringLiteral("1000000000"));

    // 2,000,000 sheets in stock at 12.00 each: 24,000,000.00, and the total with it.
    native(QStringLiteral("UPDATE Services SET InStock = 2000000, RunCost1 = 1200, Unit = 1 WHERE SerNo = 12"));
    CInventory setup(InventorySetup, 0, nullptr);
    onDialog<CInventory>([&](CInventory &d) {
        const int r = rowOf(d, 12);
        EXPECT_EQ(d.rows().value(r).extended, 2400000000LL);
        EXPECT_EQ(d.grid().GetCellValue(r, CInventory::ColExtended), 2400000000LL);
        EXPECT_EQ(d.totalCost(), 2400000000LL + 370); // and 300 of 20# Bond at 12.34 a thousand
        return press(d, 2);
    });
    setup.DoModal();
}

TEST_F(InventoryTest, OrderThenReceiveMovesStockStatusAndBooks)
{
    platform::Clock::setFixed(QDateTime(QDate(2026, 3, 4), QTime(9, 0)));
    {
        CInventory dialog(InventoryOrder, 0, nullptr);
        onDialog<CInventory>([&](CInventory &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Inventory - Order"));
            const int r = rowOf(d, 10);
            EXPECT_GE(r, 0);
            if (r < 0)
                return 2;
            EXPECT_EQ(d.rows()[r].need, 1200);
            EXPECT_EQ(d.rows()[r].order, 1500);
            EXPECT_EQ(d.rows()[r].extended, 1851); // 12.34 per thousand
            EXPECT_EQ(d.grid().cellImage(r, CInventory::ColStatus), 216);
            // An order of less than nothing is refused naming the column; the
            // quantity ordered stays.
            prompts().answer(platform::IDOK);
            d.grid().EditCell(r, CInventory::ColOrder);
            qobject_cast<QLineEdit *>(d.grid().editor())->setText(QStringLiteral("-5"));
            d.grid().EndEdit();
            EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Order: Please enter a number of 0 or more.")});
            EXPECT_EQ(d.rows()[r].order, 1500);
            snapshot(d, QStringLiteral("inventory-order"));
            prompts().answer(platform::IDYES);
            return press(d, 1);
        });
        EXPECT_EQ(dialog.DoModal(), 1);
    }
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, InStock, OnOrder FROM Services WHERE SerNo IN (10, 11)")),
              QStringLiteral("10|300|1500\n11|0|40"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ItemID, Tag2 FROM Items WHERE SerNo > 0")), QStringLiteral("2|11\n3|11"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, Vendor, Action, date(ActionDate - 25569 + 2440587.5), ActionQty, "
                                    "Cost, OrderNo FROM Inventory ORDER BY SerNo")),
              QStringLiteral("10|1|1|2026-03-04|1500|18.51|1\n11|1|1|2026-03-04|40|100|1"));

    // Receive more than was ordered of the first; nothing of the second.
    {
        CInventory dialog(InventoryReceive, 0, nullptr);
        onDialog<CInventory>([&](CInventory &d) {
            const int r = rowOf(d, 10);
            const int other = rowOf(d, 11);
            EXPECT_EQ(d.rows().value(r).order, 1500);
            prompts().clear();
            prompts().answer(platform::IDOK);
            d.grid().EditCell(r, CInventory::ColOrder);
            qobject_cast<QLineEdit *>(d.grid().editor())->setText(QStringLiteral("-5"));
            d.grid().EndEdit();
            EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Received: Please enter a number of 0 or more.")});
            d.grid().EditCell(r, CInventory::ColOrder);
            qobject_cast<QLineEdit *>(d.grid().editor())->setText(QStringLiteral("1800"));
            d.grid().EndEdit();
            EXPECT_EQ(d.rows().value(r).extended, 2221);
            d.OnImageClick(other, CInventory::ColStatus); // unticked: nothing received
            EXPECT_EQ(d.rows().value(other).order, 0);
            prompts().answer(platform::IDYES);
            return press(d, 1);
        });
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_TRUE(prompts().shown().size() > 1);
    }
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, InStock, OnOrder FROM Services WHERE SerNo IN (10, 11)")),
              QStringLiteral("10|2100|0\n11|0|40"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ItemID, Tag2 FROM Items WHERE SerNo > 0")), QStringLiteral("2|12\n3|11"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, Action, ActionQty, Cost, OrderNo FROM Inventory WHERE Action = 2")),
              QStringLiteral("10|2|-1800|22.21|-1"));
    platform::Clock::reset();
}

TEST_F(InventoryTest, AFailureMidwayLeavesEveryTableAsItWas)
{
    SharedDatabase().deleteTable(QStringLiteral("Inventory"));
    const QString before = dump(QStringLiteral("Services")) + dump(QStringLiteral("Items"));
    SetStockBookingFailAfter(1);
    CInventory dialog(InventoryOrder, 0, nullptr);
    onDialog<CInventory>([&](CInventory &d) {
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_TRUE(prompts().shown().last().text.startsWith(QStringLiteral("Cannot save Inventory\n\nError 3043")));
        EXPECT_EQ(d.result(), 0); // still open, the quantities kept
        EXPECT_EQ(d.rows().value(rowOf(d, 10)).order, 1500);
        SetStockBookingFailAfter(-1);
        return press(d, 2);
    });
    dialog.DoModal();
    SetStockBookingFailAfter(-1);
    EXPECT_EQ(dump(QStringLiteral("Services")) + dump(QStringLiteral("Items")), before);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'Inventory'")),
              QStringLiteral("0"));

    // The next OK creates the table and books under order number 1.
    CInventory again(InventoryOrder, 0, nullptr);
    onDialog<CInventory>([&](CInventory &d) {
        prompts().answer(platform::IDYES);
        return press(d, 1);
    });
    EXPECT_EQ(again.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT DISTINCT OrderNo FROM Inventory")), QStringLiteral("1"));
}

TEST_F(InventoryTest, SetupSavesOnlyServicesAndCheckOnlyStatus)
{
    CInventory setup(InventorySetup, 0, nullptr);
    onDialog<CInventory>([&](CInventory &d) {
        EXPECT_EQ(d.grid().GetColumnHeader(CInventory::ColExtended), QStringLiteral("InStock\nCost"));
        const int r = rowOf(d, 10);
        EXPECT_EQ(d.rows().value(r).extended, 370); // 300 in stock at 12.34 per thousand
        // Without the option that saves the unit cost, the costs take no
        // typing (they would be shown and lost), and the window says why.
        EXPECT_FALSE(d.grid().IsCellEditable(r, CInventory::ColUnitCost));
        EXPECT_FALSE(d.grid().IsCellEditable(r, CInventory::ColExtended));
        // A click there opens no editor, there or in another cell.
        d.grid().EditCell(r, CInventory::ColUnitCost);
        EXPECT_TRUE(!d.grid().editor() || !d.grid().editor()->isVisible());
        EXPECT_TRUE(d.m_strStripText.contains(QStringLiteral("Unit Cost and InStock Cost are not saved here")));
        d.OnImageClick(rowOf(d, 12), CInventory::ColService); // track the pink bond
        // A level, a ream, the stock and what is on order are counts: below
        // 0 or past the largest count they are refused naming the column.
        const struct
        {
            int column;
            const char *typed;
            const char *message; // empty: kept
        } levels[] = {
            {CInventory::ColMinimum, "-5", "Minimum Level: Please enter a number of 0 or more."},
            {CInventory::ColReam, "-1", "Ream Quantity: Please enter a number of 0 or more."},
            {CInventory::ColInStock, "-5", "In Stock: Please enter a number of 0 or more."},
            {CInventory::ColOnOrder, "-5", "On Order: Please enter a number of 0 or more."},
            {CInventory::ColMinimum, "3000000000", "Minimum Level: Please enter a quantity from 0 to 1,000,000,000."},
            {CInventory::ColReam, "1,000,000,001", "Ream Quantity: Please enter a quantity from 0 to 1,000,000,000."},
            {CInventory::ColInStock, "1,000,000,001", "In Stock: Please enter a quantity from 0 to 1,000,000,000."},
            {CInventory::ColInStock, "3000000000", "In Stock: Please enter a quantity from 0 to 1,000,000,000."},
            {CInventory::ColOnOrder, "3000000000", "On Order: Please enter a quantity from 0 to 1,000,000,000."},
            {CInventory::ColInStock, "1000000000", ""},
        };
        for (const auto &l : levels) {
            SCOPED_TRACE(l.typed);
            const qint64 before = d.grid().GetCellValue(r, l.column);
            prompts().clear();
            if (*l.message)
                prompts().answer(platform::IDOK);
            d.grid().EditCell(r, l.column);
            qobject_cast<QLineEdit *>(d.grid().editor())->setText(QString::fromLatin1(l.typed));
            d.grid().EndEdit();
            EXPECT_EQ(prompts().texts(), *l.message ? QStringList{QString::fromLatin1(l.message)} : QStringList());
            EXPECT_EQ(d.grid().GetCellValue(r, l.column), *l.message ? before : QString::fromLatin1(l.typed).toLongLong());
        }
        d.grid().EditCell(r, CInventory::ColInStock);
        qobject_cast<QLineEdit *>(d.grid().editor())->setText(QStringLiteral("300"));
        d.grid().EndEdit();
        snapshot(d, QStringLiteral("inventory-setup"));
        // Every shown button lies inside the window.
        for (const QPushButton *button : d.findChildren<QPushButton *>())
            if (button->isVisible())
                EXPECT_TRUE(d.rect().contains(button->geometry())) << button->text().toStdString();
        return press(d, 1);
    });
    EXPECT_EQ(setup.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT OptInv FROM Services WHERE SerNo = 12")), QStringLiteral("1"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM Inventory")), QStringLiteral("0"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Tag2 FROM Items WHERE ItemID = 2")), QStringLiteral("0"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT RunCost1 FROM Services WHERE SerNo = 11")), QStringLiteral("250"));

    // With the option on (bit 64), a unit cost typed is the one saved, and an
    // in-stock cost typed saves the unit cost worked from it.
    native(QStringLiteral("INSERT OR REPLACE INTO Options (OptionID, OptionSum) VALUES (30749, %1)").arg(11 | 64));
    native(QStringLiteral("UPDATE Services SET InStock = 70 WHERE SerNo = 11"));
    const QString pinkCost = sqlite(QStringLiteral("SELECT RunCost1 FROM Services WHERE SerNo = 12"));
    CInventory costs(InventorySetup, 0, nullptr);
    onDialog<CInventory>([&](CInventory &d) {
        EXPECT_FALSE(d.m_strStripText.contains(QStringLiteral("not saved")));
        const struct
        {
            qint32 serNo;
            int column;
            const char *typed;
            const char *refusal = nullptr;
        } typed[] = {{11, CInventory::ColUnitCost, "60.00"},
                     {10, CInventory::ColExtended, "1000.00"},
                     // Nothing of the pink bond is in stock: its in-stock cost
                     // has no unit cost to be kept in (it was shown, then lost).
                     {12, CInventory::ColExtended, "50.00",
                      "InStock Cost: Nothing is in stock: enter the InStock quantity first, or the Unit Cost."}};
        for (const auto &t : typed) {
            const int r = rowOf(d, t.serNo);
            const qint64 before = d.grid().GetCellValue(r, t.column);
            EXPECT_TRUE(d.grid().IsCellEditable(r, t.column));
            prompts().clear();
            if (t.refusal)
                prompts().answer(platform::IDOK);
            d.grid().EditCell(r, t.column);
            qobject_cast<QLineEdit *>(d.grid().editor())->setText(QString::fromLatin1(t.typed));
            d.grid().EndEdit();
            EXPECT_EQ(prompts().texts(), t.refusal ? QStringList{QString::fromLatin1(t.refusal)} : QStringList());
            if (t.refusal)
                EXPECT_EQ(d.grid().GetCellValue(r, t.column), before);
        }
        return press(d, 1);
    });
    EXPECT_EQ(costs.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT RunCost1 FROM Services WHERE SerNo = 12")), pinkCost);
    // 1000.00 for 300 sheets kept per thousand: 3333.33 a thousand, cut.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo, RunCost1 FROM Services WHERE SerNo IN (10, 11) ORDER BY SerNo")),
              QStringLiteral("10|333333\n11|6000"));
    native(QStringLiteral("INSERT OR REPLACE INTO Options (OptionID, OptionSum) VALUES (30749, 11)"));
    native(QStringLiteral("UPDATE Services SET InStock = 0 WHERE SerNo = 11"));

    native(QStringLiteral("UPDATE Services SET InStock = 5000 WHERE SerNo = 10"));
    CInventory check(InventoryCheck, 0, nullptr);
    onDialog<CInventory>([&](CInventory &d) {
        EXPECT_EQ(d.grid().cellImage(rowOf(d, 10), CInventory::ColStatus), 102);
        EXPECT_EQ(d.grid().cellImage(rowOf(d, 11), CInventory::ColStatus), 104);
        prompts().answer(platform::IDYES);
        return press(d, 1);
    });
    EXPECT_EQ(check.DoModal(), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT ItemID, Tag2 FROM Items WHERE SerNo > 0")), QStringLiteral("2|12\n3|10"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM Inventory")), QStringLiteral("0"));
}

TEST_F(InventoryTest, OneServiceAndNothingListed)
{
    CInventory one(InventoryOfService, 10, nullptr);
    onDialog<CInventory>([&](CInventory &d) {
        EXPECT_EQ(d.rows().size(), 1);
        EXPECT_EQ(d.rows().value(0).need, 1200);
        return press(d, 2);
    });
    one.DoModal();
    native(QStringLiteral("UPDATE Services SET OptInv = 0"));
    prompts().answer(platform::IDOK);
    CInventory none(InventoryOrder, 0, nullptr);
    EXPECT_EQ(none.DoModal(), 2);
    EXPECT_EQ(prompts().shown().last().text, QStringLiteral("Inventory - Order\nNot found."));
}

TEST_F(InventoryTest, QuantityUsedShowsTheDifferenceAndTheStockLeft)
{
    struct Case
    {
        qint32 inStock, estimate;
        bool giveBack;
        const char *typed;
        qint32 used, now;
        const char *note;
    };
    const Case cases[] = {
        {5000, 1200, false, nullptr, 1200, 3800, "same as estimated"},
        {5000, 1200, false, "1500", 1500, 3500, "300 more than estimated 1,200"},
        {5000, 1200, false, "1000", 1000, 4000, "200 less than estimated 1,200"},
        {5000, 1200, false, "-250", 250, 4750, "950 less than estimated 1,200"},
        {0, 1200, false, "1000", 1000, 200, "200 less than estimated 1,200"},
        {100, 1200, false, "1000", 1000, 0, "200 less than estimated 1,200"},
        {3800, -1200, true, nullptr, 1200, 5000, nullptr},
    };
    for (const Case &c : cases) {
        native(QStringLiteral("UPDATE Services SET InStock = %1 WHERE SerNo = 10").arg(c.inStock));
        CSerSet service;
        ASSERT_TRUE(service.FindBySerNo(10));
        CItemSet item;
        item.m_SerNo = 10;
        item.m_ActualQty = c.estimate;
        CEditInventory dialog(item, service, nullptr);
        dialog.m_bGiveBack = c.giveBack;
        onDialog<CEditInventory>([&](CEditInventory &d) {
            if (c.typed) {
                d.usedEdit()->setText(QString::fromLatin1(c.typed));
                d.OnUsedChanged();
            }
            EXPECT_EQ(d.m_nUsed, c.used);
            if (c.note)
                EXPECT_EQ(d.noteText(), QString::fromLatin1(c.note)) << c.typed;
            EXPECT_EQ(d.nowEdit()->text(), FormatInt(c.now, true, false));
            if (c.giveBack) {
                EXPECT_EQ(d.windowTitle(), QStringLiteral("Unused Quantity"));
                snapshot(d, QStringLiteral("inventory-used"));
            }
            return press(d, 1);
        });
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_EQ(dialog.m_nInStockNow, c.now);
    }
}

// Typed over the 1,200 estimated (5,000 in stock): nothing changes while the
// keys are typed; the field is read whole when left, or on OK, and a text
// that is no number is refused naming the field with the value shown back.
TEST_F(InventoryTest, QuantityUsedIsReadWholeWhenLeftNeverWhileTyped)
{
    native(QStringLiteral("UPDATE Services SET InStock = 5000 WHERE SerNo = 10"));
    const QString used = QStringLiteral("Less Quantity Used: Please enter a quantity.");
    const QString now = QStringLiteral("In-Stock Now: Please enter a quantity.");
    const QString past = QStringLiteral("Less Quantity Used: Please enter a quantity from 0 to 1,000,000,000.");
    const QString nowPast = QStringLiteral("In-Stock Now: Please enter a quantity from 0 to 1,000,000,000.");
    struct Case
    {
        bool nowField;
        const char *typed;
        bool ok; // pressed OK without leaving the field
        const char *usedShown;
        const char *nowShown;
        const QString *refusal;
    };
    const Case cases[] = {
        {false, "1500", false, "1,500", "3,500", nullptr}, {false, "-250", false, "250", "4,750", nullptr},
        {false, "abc", false, "1,200", "3,800", &used},    {false, "12 k", false, "1,200", "3,800", &used},
        {false, "2.5", false, "1,200", "3,800", &used},    {false, "abc", true, "1,200", "3,800", &used},
        {true, "4000", false, "1,200", "4000", nullptr},   {true, "abc", false, "1,200", "3,800", &now},
        {true, "-5", false, "1,200", "3,800", &now},       {true, "12 k", true, "1,200", "3,800", &now},
        // The quantity used is a count: the largest is taken either way, one
        // past it is refused by name (it made the stock wrap).
        {false, "1,000,000,000", false, "1,000,000,000", "0", nullptr},
        {false, "-1,000,000,000", false, "1,000,000,000", "0", nullptr},
        {false, "1,000,000,001", false, "1,200", "3,800", &past},
        {false, "-2,147,483,648", false, "1,200", "3,800", &past},
        {false, "1,000,000,001", true, "1,200", "3,800", &past},
        // Past what a 32-bit number holds it is still a count too large,
        // never "no integer".
        {false, "3000000000", false, "1,200", "3,800", &past},
        {false, "3000000000", true, "1,200", "3,800", &past},
        {false, "-3000000000", false, "1,200", "3,800", &past},
        {true, "3000000000", false, "1,200", "3,800", &nowPast},
        {true, "1000000000", false, "1,200", "1000000000", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.nowField ? "now " : "used ") + c.typed + (c.ok ? " OK" : " left"));
        prompts().clear();
        CSerSet service;
        ASSERT_TRUE(service.FindBySerNo(10));
        CItemSet item;
        item.m_SerNo = 10;
        item.m_ActualQty = 1200;
        CEditInventory dialog(item, service, nullptr);
        onDialog<CEditInventory>([&](CEditInventory &d) {
            if (c.refusal)
                prompts().answer(platform::IDOK);
            QLineEdit *field = c.nowField ? d.nowEdit() : d.usedEdit();
            typing::enter(field, typing::Entry::SelectAll);
            typing::typeKeys(field, QString::fromLatin1(c.typed));
            EXPECT_EQ(field->text(), QString::fromLatin1(c.typed)) << "shown while typed";
            EXPECT_EQ(d.m_nUsed, 1200) << "changed while typed";
            if (!c.nowField)
                EXPECT_EQ(d.nowEdit()->text(), QStringLiteral("3,800")) << "changed while typed";
            if (c.ok)
                d.SendCommand(1);
            else
                typing::leave(field);
            EXPECT_EQ(d.usedEdit()->text(), QString::fromLatin1(c.usedShown));
            EXPECT_EQ(d.nowEdit()->text(), QString::fromLatin1(c.nowShown));
            EXPECT_EQ(prompts().texts(), c.refusal ? QStringList{*c.refusal} : QStringList());
            EXPECT_EQ(d.result(), 0); // refused on OK: the window stays open
            return int(IDCANCEL_RESULT);
        });
        dialog.DoModal();
    }
}

TEST_F(InventoryTest, FinishingATrackedPaperAsksThroughTheInstalledConfirmation)
{
    CEditInventory::Install();
    CItemSet::InventoryRules rules = CItemSet::GetInventoryRules();
    rules.enabled = true;
    rules.optionBits = 8;
    CItemSet::SetInventoryRules(rules);
    native(QStringLiteral("UPDATE Services SET InStock = 5000, OnOrder = 0 WHERE SerNo = 10"));
    native(QStringLiteral("UPDATE Items SET Tag2 = 12 WHERE ItemID = 2"));
    CItemSet row;
    onDialog<CEditInventory>([](CEditInventory &d) {
        d.usedEdit()->setText(QStringLiteral("1500"));
        d.OnUsedChanged();
        return press(d, 1);
    });
    EXPECT_EQ(row.SetServiceStatus(0, 0, 2), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT InStock FROM Services WHERE SerNo = 10")), QStringLiteral("3500"));
    // Taken back: the estimate given back shows positive.
    onDialog<CEditInventory>([](CEditInventory &d) {
        EXPECT_EQ(d.m_nUsed, 1200);
        EXPECT_EQ(d.nowEdit()->text(), QStringLiteral("4,700"));
        return press(d, 1);
    });
    EXPECT_EQ(row.SetServiceStatus(1, 0, 2), 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT InStock FROM Services WHERE SerNo = 10")), QStringLiteral("4700"));
    CItemSet::SetInventoryRules({});
}

} // namespace

namespace {

TEST_F(InventoryTest, NeedBreakdownListsTheJobServicesAndPreviewOffersNoOK)
{
    CInventory dialog(InventoryOfJob, 1, nullptr);
    dialog.m_bPreview = true;
    onDialog<CInventory>([&](CInventory &d) {
        EXPECT_FALSE(d.IsItemVisible(1));
        onDialog<CDlgList>([](CDlgList &list) {
            EXPECT_EQ(list.list()->GetItemCount(), 1);
            EXPECT_EQ(list.list()->GetItemText(0, 0), QStringLiteral("1001-1"));
            EXPECT_EQ(list.list()->GetItemText(0, 3), QStringLiteral("White"));
            return press(list, 2);
        });
        d.ShowNeedBreakdown(rowOf(d, 10));
        d.SendCommand(1); // nothing happens in a preview
        EXPECT_EQ(d.result(), 0);
        return press(d, 2);
    });
    EXPECT_EQ(dialog.DoModal(), 2);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*) FROM Inventory")), QStringLiteral("0"));
}

} // namespace

// Setup saved while another workstation changed the same service: only what
// was typed here is written, onto the service as it is now; a field both
// changed is put to the user.
TEST_F(InventoryTest, SetupAfterAnotherWorkstationsSaveKeepsBothAndAsksAboutTheSameField)
{
    const struct
    {
        const char *what;
        int mode;
        int column;     // -1: nothing typed
        const char *typed;
        int column2;    // a second cell typed (-1: none)
        const char *typed2;
        int answer;     // 0: nothing asked
        QString stored; // MinLevel|ReOrder|InStock of service 10 afterwards
    } cases[] = {
        {"different fields", InventorySetup, CInventory::ColReam, "1000", -1, "", 0, QStringLiteral("800|1000|280")},
        {"the same field, the other user's kept", InventorySetup, CInventory::ColInStock, "350", -1, "",
         platform::IDNO, QStringLiteral("800|500|280")},
        {"the same field, this user's kept", InventorySetup, CInventory::ColInStock, "350", -1, "", platform::IDYES,
         QStringLiteral("800|500|350")},
        {"the other user's kept, this user's other field saved", InventorySetup, CInventory::ColInStock, "350",
         CInventory::ColReam, "1000", platform::IDNO, QStringLiteral("800|1000|280")},
        // An order leaves the stock as the other user saved it (280, not the 300 read).
        {"an order after the other's save", InventoryOrder, -1, "", -1, "", 0, QStringLiteral("800|500|280")},
    };
    platform::Database other;
    other.open(m_path);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        native(QStringLiteral("UPDATE Services SET MinLevel = 500, ReOrder = 500, InStock = 300 WHERE SerNo = 10"));
        prompts().clear();
        CInventory setup(c.mode, 0, nullptr);
        onDialog<CInventory>([&](CInventory &d) {
            other.execute(QStringLiteral("UPDATE Services SET MinLevel = 800, InStock = 280 WHERE SerNo = 10"));
            const int r = rowOf(d, 10);
            for (const auto &[column, typed] : {std::pair{c.column, c.typed}, std::pair{c.column2, c.typed2}}) {
                if (column < 0)
                    continue;
                d.grid().EditCell(r, column);
                qobject_cast<QLineEdit *>(d.grid().editor())->setText(QString::fromLatin1(typed));
                d.grid().EndEdit();
            }
            if (c.mode != InventorySetup)
                prompts().answer(platform::IDYES); // the order's question
            if (c.answer != 0)
                prompts().answer(c.answer);
            return press(d, 1);
        });
        EXPECT_EQ(setup.DoModal(), 1);
        if (c.mode != InventorySetup)
            EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Order 2 Services?")});
        else if (c.answer == 0)
            EXPECT_EQ(prompts().texts(), QStringList());
        else
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral(
                          "Another user has saved this record since you opened it, and changed the same field:\n\nBond: "
                          "20# Bond, In Stock: the other user's \"280\", yours \"350\"\n\nSave what you typed over it?\n\n"
                          "Yes saves yours, No keeps the other user's; your other changes are saved either way. Cancel "
                          "saves nothing now.")});
        EXPECT_EQ(sqlite(QStringLiteral("SELECT MinLevel, ReOrder, InStock FROM Services WHERE SerNo = 10")), c.stored);
    }
}
