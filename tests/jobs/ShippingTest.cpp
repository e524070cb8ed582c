#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "controls/DlgItem.h"
#include "data/SharedDatabase.h"
#include "jobs/CShipLabel.h"
#include "jobs/CShipment.h"
#include "jobs/CShipments.h"
#include "jobs/JobHooks.h"
#include "jobs/JobShipping.h"
#include "platform/db/Recordset.h"

#include <QtCore/QProcess>
#include <QtTest/QTest>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

namespace {

class Shipping : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        m_order = addJob(0, 2001, QStringLiteral("Title, DateIn, DateDue, ShiptoNo, ViaDue, TaxNo"),
                         QStringLiteral("'Brochures', #6/10/2024#, #6/20/2024#, 4, 1, 0"));
        m_item = addItem(m_order, 1, QStringLiteral("Tri-fold brochure"), "450");
        exec(QStringLiteral("UPDATE Items SET ChargeQty = 1000 WHERE ItemID = %1").arg(m_item));
    }
    void TearDown() override
    {
        GetJobHooks() = JobHooks();
        JobsTest::TearDown();
    }
    QString cli(const QString &command) const
    {
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"), {databasePath(), command});
        shell.waitForFinished(30000);
        return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
    }
    void ship(qint32 itemId, int quantity, int perBox, int boxes, const char *tracking = "1Z999")
    {
        exec(QStringLiteral("INSERT INTO ShippedItems (ItemID, ShiptoNo, QtyShipped, QtyPerBox, Boxes, ShipBy, Status, "
                            "TaxBy, ItemDes, Tracking, ShipNote, Shipped, Received, TaxAmt, ShipAmt) VALUES (%1, 4, %2, "
                            "%3, %4, 1, 0, 0, 'Brochures', '%5', '', #6/14/2024#, #6/15/2024#, 0, 12.5)")
                 .arg(itemId)
                 .arg(quantity)
                 .arg(perBox)
                 .arg(boxes)
                 .arg(QString::fromLatin1(tracking)));
    }
    static QString text(QWidget &d, unsigned id)
    {
        QWidget *w = GetDlgItem(&d, id);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            return e->text();
        if (auto *l = qobject_cast<QLabel *>(w))
            return l->text();
        return QString();
    }
    // The value typed into a quantity field, which is then left.
    static void typeInto(CShipment &d, unsigned id, const QString &value)
    {
        d.edit(id)->setText(value);
        d.OnQuantityEdited(id);
        d.OnQuantityLeft(id);
    }
    qint32 m_order = 0;
    qint32 m_item = 0;
};

TEST_F(Shipping, TheListStatementAndItsTotalsLine)
{
    ship(m_item, 400, 100, 4);
    ship(m_item, 200, 200, 1, "1Z888");
    const qint32 other = addItem(m_order, 2, QStringLiteral("Envelopes"), "80");
    ship(other, 50, 50, 1);
    CShipments list(m_order, m_item, nullptr);
    // The Jet statement runs through the translator.
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, list.ListSql());
    QStringList rows;
    for (; !rs.isEOF(); rs.moveNext())
        rows << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                    .arg(rs.value(0).toString(), rs.value(2).toString(), rs.value(3).toString(),
                         rs.value(4).toString(), rs.value(5).toString(), rs.value(8).toString(),
                         rs.value(10).toString());
    EXPECT_EQ(rows, (QStringList{QStringLiteral("2001-1 1000 400 100 4 UPS Ground 1Z999"),
                                 QStringLiteral("2001-1 1000 200 200 1 UPS Ground 1Z888")}));
    // 1,000 ordered, 600 shipped.
    EXPECT_EQ(list.TotalsText(),
              QStringLiteral("          Item Quantity: 1,000          Shipped: 600          To Ship: 400"));
    // Fully shipped: nothing left to ship shows an empty text.
    ship(m_item, 400, 400, 1);
    EXPECT_EQ(list.TotalsText(),
              QStringLiteral("          Item Quantity: 1,000          Shipped: 1,000          To Ship: "));
    CShipments none(m_order, 999999, nullptr);
    EXPECT_EQ(none.TotalsText(), QStringLiteral("         None found!"));
}

TEST_F(Shipping, AnEmptyListOpensANewShipmentFilledFromTheItemAndItsJob)
{
    onDialog<CShipments>([&](CShipments &d) {
        // The new shipment opened at once was cancelled: the list stays empty.
        EXPECT_EQ(d.list()->GetItemCount(), 0);
        EXPECT_EQ(d.strip().item().caption, QStringLiteral("         None found!"));
        // New: quantities from the item, address, carrier and dates from the job.
        onDialog<CShipment>([&](CShipment &s) {
            EXPECT_EQ(text(s, 1301), QStringLiteral("Tri-fold brochure"));
            EXPECT_EQ(text(s, 1302), QStringLiteral("1000"));
            EXPECT_EQ(text(s, 1303), QStringLiteral("1000"));
            EXPECT_EQ(text(s, 1304), QStringLiteral("1"));
            EXPECT_TRUE(text(s, 1907).startsWith(QStringLiteral("Acme Warehouse"))) << text(s, 1907).toStdString();
            EXPECT_EQ(s.record().m_ShipBy, 1);
            EXPECT_EQ(s.record().m_Shipped.date(), QDate(2024, 6, 20));
            // 250 of them in boxes of 100: three boxes, the last with 50.
            typeInto(s, 1302, QStringLiteral("250"));
            typeInto(s, 1303, QStringLiteral("100"));
            EXPECT_EQ(text(s, 1304), QStringLiteral("3"));
            EXPECT_EQ(text(s, 1906), QStringLiteral("   BOX: 1 of 3\n   BOX: 2 of 3 \t QTY: 100 of 250\n\n"
                                                    "   BOX: 3 of 3 \t QTY: 50 of 250"));
            // 3 boxes typed for 100: 33, 33 and 34.
            typeInto(s, 1302, QStringLiteral("100"));
            typeInto(s, 1304, QStringLiteral("3"));
            EXPECT_EQ(text(s, 1303), QStringLiteral("33"));
            EXPECT_TRUE(text(s, 1906).endsWith(QStringLiteral("BOX: 3 of 3 \t QTY: 34 of 100")));
            s.edit(1305)->setText(QStringLiteral("1Z-TRACK"));
            snapshot(s, QStringLiteral("shipment_editor"));
            // A quantity of 0 is refused naming the field (not made 1), and so
            // is an emptied field: the values from before are back.
            prompts().answer(platform::IDOK);
            typeInto(s, 1302, QStringLiteral("0"));
            EXPECT_EQ(prompts().lastText(), QStringLiteral("Quantity Shipped: Please enter a number from 1 to 1000000000."));
            EXPECT_EQ(text(s, 1302), QStringLiteral("100"));
            typeInto(s, 1302, QStringLiteral("100"));
            typeInto(s, 1304, QStringLiteral("3"));
            prompts().answer(platform::IDOK);
            typeInto(s, 1303, QString());
            EXPECT_EQ(prompts().lastText(), QStringLiteral("Quantity / Box: Please enter an integer."));
            EXPECT_EQ(text(s, 1303), QStringLiteral("33"));
            EXPECT_EQ(text(s, 1304), QStringLiteral("3"));
            // 33 a box typed makes it four boxes (the last with 1); three typed again, 33/33/34.
            typeInto(s, 1303, QStringLiteral("33"));
            EXPECT_EQ(text(s, 1304), QStringLiteral("4"));
            typeInto(s, 1304, QStringLiteral("3"));
            // A tracking text longer than its column is refused and the editor stays.
            s.edit(1305)->setText(QString(31, QLatin1Char('9')));
            prompts().answer(platform::IDOK);
            s.SendCommand(1);
            EXPECT_EQ(prompts().lastText(),
                      QStringLiteral("The 'Tracking' field is too long.\n\nIt has 31 characters: %1\nLimit is 30 "
                                     "characters.")
                          .arg(QString(31, QLatin1Char('9'))));
            EXPECT_TRUE(s.isVisible());
            s.edit(1305)->setText(QStringLiteral("1Z-TRACK"));
            s.SendCommand(1);
            return s.result();
        });
        d.SendCommand(30100);
        EXPECT_TRUE(d.m_bChanged);
        EXPECT_EQ(d.list()->GetItemCount(), 1);
        EXPECT_EQ(d.strip().item().caption,
                  QStringLiteral("          Item Quantity: 1,000          Shipped: 100          To Ship: 900"));
        EXPECT_EQ(d.bottomRibbon().GetItemText(30262), QStringLiteral("Listed: 1"));
        snapshot(d, QStringLiteral("shipment_list"));
        d.SendCommand(1);
        return d.result();
    });
    onDialog<CShipment>([&](CShipment &s) {
        s.SendCommand(2);
        return s.result();
    });
    RunShipments(m_order, m_item, nullptr);
    EXPECT_EQ(cli(QStringLiteral("SELECT ItemID, ShiptoNo, QtyShipped, QtyPerBox, Boxes, ShipBy, ItemDes, Tracking, "
                                 "Shipped, Received FROM ShippedItems")),
              QStringLiteral("%1|4|100|33|3|1|Tri-fold brochure|1Z-TRACK|45463|45463").arg(m_item));
}

// Keys typed into the quantities of a shipment of 250 in boxes of 100: each
// field shows what is typed, key by key, while the others follow a count it
// takes; once left, a text that is no such count is refused naming the field
// and the three values from before are back; what is saved is what is shown.
TEST_F(Shipping, QuantityFieldsShowEveryKeyAndRefuseWhatIsNoCountByName)
{
    ship(m_item, 250, 100, 3);
    struct Case
    {
        unsigned field;
        const char *typed;
        const char *refusal; // null: kept
        const char *shown[3]; // the three fields once left
    } cases[] = {
        {1302, "2.5", "Quantity Shipped: Please enter an integer.", {"250", "100", "3"}},
        {1302, "-5", "Quantity Shipped: Please enter a number from 1 to 1000000000.", {"250", "100", "3"}},
        {1302, "1e3", nullptr, {"1000", "100", "10"}},
        {1302, "1,000,000,001", "Quantity Shipped: Please enter a number from 1 to 1000000000.", {"250", "100", "3"}},
        {1303, "2.5", "Quantity / Box: Please enter an integer.", {"250", "100", "3"}},
        {1303, "-5", "Quantity / Box: Please enter a number from 1 to 250.", {"250", "100", "3"}},
        {1303, "50", nullptr, {"250", "50", "5"}},
        {1304, "2.5", "Number of Boxes: Please enter an integer.", {"250", "100", "3"}},
        {1304, "-5", "Number of Boxes: Please enter a number from 1 to 250.", {"250", "100", "3"}},
        {1304, "2", nullptr, {"250", "125", "2"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " \"" + c.typed + "\"");
        onDialog<CShipments>([&](CShipments &d) {
            d.list()->SelectItem(0);
            onDialog<CShipment>([&](CShipment &s) {
                prompts().clear();
                prompts().answer(platform::IDOK);
                QLineEdit *e = s.edit(c.field);
                e->setFocus();
                e->selectAll();
                const QString typed = QString::fromLatin1(c.typed);
                for (qsizetype k = 1; k <= typed.size(); ++k) {
                    QTest::keyClicks(e, typed.mid(k - 1, 1));
                    EXPECT_EQ(e->text(), typed.left(k)); // no key dropped, nothing put in its place
                }
                emit e->editingFinished();
                EXPECT_EQ(prompts().texts(), c.refusal ? QStringList{QString::fromLatin1(c.refusal)} : QStringList());
                EXPECT_EQ((QStringList{text(s, 1302), text(s, 1303), text(s, 1304)}),
                          (QStringList{c.shown[0], c.shown[1], c.shown[2]}));
                s.SendCommand(1);
                return s.result();
            });
            d.SendCommand(30102);
            d.SendCommand(1);
            return d.result();
        });
        RunShipments(m_order, m_item, nullptr);
        EXPECT_EQ(cli(QStringLiteral("SELECT QtyShipped, QtyPerBox, Boxes FROM ShippedItems")),
                  QStringLiteral("%1|%2|%3").arg(c.shown[0], c.shown[1], c.shown[2]));
        exec(QStringLiteral("UPDATE ShippedItems SET QtyShipped = 250, QtyPerBox = 100, Boxes = 3"));
    }
}

TEST_F(Shipping, DeleteCountsWhatItDeletedAndEnterWaitsWithSeveralRowsSelected)
{
    ship(m_item, 400, 100, 4);
    ship(m_item, 200, 200, 1);
    onDialog<CShipments>([&](CShipments &d) {
        EXPECT_EQ(d.list()->GetItemCount(), 2);
        // Open edits the selected shipment in place.
        d.list()->SelectItem(1);
        onDialog<CShipment>([&](CShipment &s) {
            EXPECT_EQ(text(s, 1302), QStringLiteral("200"));
            s.edit(1305)->setText(QStringLiteral("1Z-NEW"));
            s.SendCommand(1);
            return s.result();
        });
        d.SendCommand(30102);
        EXPECT_EQ(d.list()->GetItemCount(), 2);
        EXPECT_EQ(cli(QStringLiteral("SELECT QtyShipped, Tracking FROM ShippedItems ORDER BY ShipID")),
                  QStringLiteral("400|1Z999\n200|1Z-NEW"));
        d.list()->clearSelection();
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        d.SendCommand(30113);
        EXPECT_EQ(prompts().texts().mid(prompts().texts().size() - 2),
                  (QStringList{QStringLiteral("Delete selected shipments"), QStringLiteral("Deleted: 0")}));
        // Two rows selected: Enter does not close the list.
        d.list()->SelectAll();
        d.SendCommand(1);
        EXPECT_TRUE(d.isVisible());
        // No keeps both; Yes deletes both in one go.
        prompts().answer(platform::IDNO);
        d.SendCommand(30113);
        EXPECT_EQ(d.list()->GetItemCount(), 2);
        d.list()->SelectAll();
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDOK);
        d.SendCommand(30113);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Deleted: 2"));
        EXPECT_EQ(d.list()->GetItemCount(), 0);
        d.SendCommand(1);
        return d.result();
    });
    RunShipments(m_order, m_item, nullptr);
    EXPECT_EQ(cli(QStringLiteral("SELECT count(*) FROM ShippedItems")), QStringLiteral("0"));
}

class ShipLabels : public Shipping
{
protected:
    void SetUp() override
    {
        Shipping::SetUp();
        exec(QStringLiteral("UPDATE Items SET ChargeQty = 5000, Description = 'Say \"hello\" cards' WHERE ItemID = %1")
                 .arg(m_item));
        m_second = addItem(m_order, 2, QStringLiteral("Envelopes"), "80");
        exec(QStringLiteral("UPDATE Items SET ChargeQty = 250 WHERE ItemID = %1").arg(m_second));
        m_newer = addJob(0, 2002);
        addItem(m_newer, 1, QStringLiteral("Posters"), "20");
        const qint32 quote = addJob(1, 3001);
        addItem(quote, 1, QStringLiteral("Quoted cards"), "20");
    }
    static QStringList treeTexts(CShipLabel &d)
    {
        QStringList texts;
        for (int i = 0; i < d.tree()->topLevelItemCount(); ++i) {
            QTreeWidgetItem *job = d.tree()->topLevelItem(i);
            texts << job->text(0);
            for (int c = 0; c < job->childCount(); ++c)
                texts << QStringLiteral("  ") + job->child(c)->text(0);
        }
        return texts;
    }
    static void select(CShipLabel &d, qint32 itemId)
    {
        for (int i = 0; i < d.tree()->topLevelItemCount(); ++i) {
            QTreeWidgetItem *job = d.tree()->topLevelItem(i);
            for (int c = 0; c < job->childCount(); ++c)
                if (CXTreeCtrl::GetItemData(job->child(c)) == quint32(itemId))
                    d.tree()->setCurrentItem(job->child(c));
        }
    }
    qint32 m_second = 0;
    qint32 m_newer = 0;
};

TEST_F(ShipLabels, FromTheJobsViewEveryOrderNewestFirstAndTheLabelsOfEachItem)
{
    QList<JobHooks::LabelRow> printed;
    GetJobHooks().printShippingLabels = [&](const QList<JobHooks::LabelRow> &rows, QWidget *) { printed = rows; };
    onDialog<CShipLabel>([&](CShipLabel &d) {
        EXPECT_EQ(treeTexts(d), (QStringList{QStringLiteral("2002 Acme Printing Co"), QStringLiteral("  Posters"),
                                             QStringLiteral("2001 Acme Printing Co"),
                                             QStringLiteral("  Say \"hello\" cards"), QStringLiteral("  Envelopes")}));
        EXPECT_TRUE(d.tree()->topLevelItem(1)->isExpanded()); // the current job
        EXPECT_FALSE(enabled(d.listRibbon(), 30404));
        EXPECT_FALSE(enabled(d.printRibbon(), 30330));
        // 5,000 pieces start in 5 boxes of 1,000.
        select(d, m_item);
        EXPECT_EQ(d.edit(1303)->text(), QStringLiteral("1000"));
        EXPECT_EQ(d.edit(1304)->text(), QStringLiteral("5"));
        EXPECT_EQ(d.listRibbon().GetItemText(30404), QStringLiteral(" STEP 3 - Add 5 Labels to the List"));
        d.SendCommand(30404);
        EXPECT_EQ(d.list()->GetItemText(0, CShipLabel::ColDescription), QStringLiteral("Say  hello  cards"));
        EXPECT_TRUE(enabled(d.printRibbon(), 30330));
        // 250 pieces: one box, one label.
        select(d, m_second);
        EXPECT_EQ(d.edit(1304)->text(), QStringLiteral("1"));
        EXPECT_EQ(d.listRibbon().GetItemText(30404), QStringLiteral(" STEP 3 - Add 1 Label to the List"));
        d.edit(1304)->setText(QStringLiteral("3"));
        d.OnQuantityEdited(1304);
        EXPECT_EQ(d.edit(1303)->text(), QStringLiteral("83"));
        EXPECT_TRUE(d.OnQuantityLeft(1304));
        EXPECT_EQ(d.m_strBoxText, QStringLiteral("BOX 1 of 3\nBOX 2 of 3 \t QTY: 83 of 250\n\nBOX 3 of 3 \t QTY: 84 of 250"));
        // "2.5" boxes and "-5" pieces a box show as typed, key by key, and are
        // refused naming the field once left: 3 boxes of 83 again (not 25, not 1).
        for (const auto &[id, typed, refusal] :
             {std::tuple{1304u, "2.5", "Number of Boxes: Please enter an integer."},
              std::tuple{1303u, "-5", "Quantity per Box: Please enter a number from 1 to 250."}}) {
            QLineEdit *e = d.edit(id);
            e->setFocus();
            e->selectAll();
            QTest::keyClicks(e, QString::fromLatin1(typed));
            EXPECT_EQ(e->text(), QString::fromLatin1(typed));
            prompts().answer(platform::IDOK);
            EXPECT_FALSE(d.OnQuantityLeft(id));
            EXPECT_EQ(prompts().lastText(), QString::fromLatin1(refusal));
            EXPECT_EQ(d.edit(1303)->text(), QStringLiteral("83"));
            EXPECT_EQ(d.edit(1304)->text(), QStringLiteral("3"));
        }
        d.SendCommand(30404);
        // Back to an item already listed: its row's values, not the item's.
        select(d, m_newer + 0); // a job node is ignored
        select(d, m_item);
        EXPECT_EQ(d.list()->GetCurrentRow(), 0);
        d.edit(1304)->setText(QStringLiteral("4"));
        d.OnQuantityEdited(1304);
        select(d, m_second);
        EXPECT_EQ(d.edit(1304)->text(), QStringLiteral("3"));
        EXPECT_EQ(d.list()->GetCurrentRow(), 1);
        const QStringList columns = {d.list()->GetItemText(1, 0), d.list()->GetItemText(1, 1),
                                     d.list()->GetItemText(1, 3), d.list()->GetItemText(1, 4),
                                     d.list()->GetItemText(1, 5), d.list()->GetItemText(1, 6)};
        EXPECT_EQ(columns, (QStringList{"2001", "2", "250", "83", "3", "4"}));
        EXPECT_FALSE(d.list()->GetItemText(1, 7).contains(QLatin1Char('\n')));
        snapshot(d, QStringLiteral("ship_label_wizard"));
        d.SendCommand(30330);
        // Removing every row turns printing off again.
        d.SendCommand(30405);
        d.list()->SelectItem(0);
        d.SendCommand(30405);
        EXPECT_EQ(d.list()->GetItemCount(), 0);
        EXPECT_FALSE(enabled(d.printRibbon(), 30330));
        d.SendCommand(2);
        return d.result();
    });
    RunShipLabels(m_order, 0, nullptr);
    ASSERT_EQ(printed.size(), 2);
    EXPECT_EQ(printed[0].itemId, m_item);
    EXPECT_EQ(printed[0].boxes, 5);
    EXPECT_EQ(printed[0].perBox, 1000);
    EXPECT_EQ(printed[1].itemId, m_second);
    EXPECT_EQ(printed[1].shipped, 250);
    EXPECT_EQ(printed[1].boxes, 3);
    EXPECT_EQ(printed[1].shiptoNo, 4);
}

TEST_F(ShipLabels, FromAJobWindowOnlyThatJobWithItsItemAndNothingForAQuote)
{
    onDialog<CShipLabel>([&](CShipLabel &d) {
        EXPECT_EQ(treeTexts(d), (QStringList{QStringLiteral("2001 Acme Printing Co"),
                                             QStringLiteral("  Say \"hello\" cards"), QStringLiteral("  Envelopes")}));
        EXPECT_EQ(d.m_nItemID, m_second);
        EXPECT_EQ(d.edit(1301)->text(), QStringLiteral("Envelopes"));
        d.SendCommand(2);
        return d.result();
    });
    {
        CShipLabel labels(m_order, nullptr);
        labels.m_bFromRecord = true;
        labels.m_nItemID = m_second;
        labels.DoModal();
    }
    const qint32 quote = scalar(QStringLiteral("SELECT JobID FROM Jobs WHERE JobType = 1")).toInt();
    onDialog<CShipLabel>([&](CShipLabel &d) {
        EXPECT_EQ(d.tree()->topLevelItemCount(), 0);
        d.SendCommand(2);
        return d.result();
    });
    CShipLabel labels(quote, nullptr);
    labels.m_bFromRecord = true;
    labels.DoModal();
}

} // namespace
