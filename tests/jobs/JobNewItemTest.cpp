// The job window's "New Item": the new-item dialog chooses, and the window
// copies the ticked items with their service rows, or opens the item window
// on a new item of the chosen product type.
#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "data/CJobSet.h"
#include "estimating/CBooklet.h"
#include "estimating/CHtmlDlg.h"
#include "estimating/CItemNew.h"
#include "estimating/CPriceBook.h"
#include "estimating/CItemSpecs.h"
#include "jobs/CJobDlg.h"
#include "jobs/JobHooks.h"

#include <QtWidgets/QApplication>

namespace {

class JobNewItem : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
        m_order = addJob(0, 1001, QStringLiteral("CusNo, Title, DateIn, Subtotal, Balance"),
                         QStringLiteral("100, 'Business cards', #6/10/2024#, 100, 100"));
        addItem(m_order, 1, QStringLiteral("Business cards 2 sided"), "100");
        m_template = addJob(2, 2001, QStringLiteral("CusNo, Title, DateIn"),
                            QStringLiteral("100, 'Card template', #6/1/2024#"));
        addItem(m_template, 1, QStringLiteral("Template card"), "40");
        addItem(m_template, 2, QStringLiteral("Template letterhead"), "60");
        app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::CustomerTemplates);
        app->WriteSettingInt(QStringLiteral("NewItem-ListBy"), CItemNew::ByDescription);
    }

    int run(std::function<int(CJobDlg &)> handler)
    {
        CJobSet job;
        EXPECT_TRUE(job.FindById(m_order, true));
        CJobDlg window(&job, false, nullptr, nullptr);
        onDialog<CJobDlg>(handler);
        return window.DoModal();
    }

    qint32 m_order = 0;
    qint32 m_template = 0;
};

TEST_F(JobNewItem, TickedItemsAreCopiedWithTheirServices)
{
    run([&](CJobDlg &d) {
        onDialog<CItemNew>([](CItemNew &n) {
            EXPECT_EQ(n.list().GetItemCount(), 2);
            n.OnListClick(1, 0); // "Template letterhead"
            n.SendCommand(1);
            return n.result();
        });
        // A template's item opens its specs once copied.
        onDialog<CItemSpecs>([](CItemSpecs &) { return 2; });
        d.SendCommand(30361);
        return 2;
    });
    // The copy is the order's item 2: its header row and its service row.
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1 and ItemNo = 2").arg(m_order)).toInt(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Description FROM Items WHERE JobID = %1 and ItemNo = 2 and SerNo = 0")
                         .arg(m_order))
                  .toString(),
              QStringLiteral("Template letterhead"));
    // It remembers where it came from (and is priced anew, as every copy is).
    EXPECT_EQ(scalar(QStringLiteral("SELECT Up FROM Items WHERE JobID = %1 and ItemNo = 2 and SerNo = 0").arg(m_order))
                  .toInt(),
              -scalar(QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 and ItemNo = 2 and SerNo = 0")
                          .arg(m_template))
                   .toInt());
    // The template keeps its own rows.
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1").arg(m_template)).toInt(), 4);
}

TEST_F(JobNewItem, CancelAddsNothing)
{
    run([&](CJobDlg &d) {
        onDialog<CItemNew>([](CItemNew &) { return 2; });
        d.SendCommand(30361);
        return 2;
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = %1").arg(m_order)).toInt(), 2);
}

TEST_F(JobNewItem, ANewItemStartsOnTheChosenProductType)
{
    exec(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Qty, Type) VALUES (4, 'Flyers', 1, 500, 1)"));
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::NewItem);
    int shownProduct = -1;
    run([&](CJobDlg &d) {
        onDialog<CItemNew>([](CItemNew &n) {
            const int row = n.list().FindItemByData(4, true);
            n.OnListClick(row, 0);
            n.SendCommand(1);
            return n.result();
        });
        onDialog<CItemSpecs>([&](CItemSpecs &s) {
            shownProduct = s.data().m_nProductType;
            return 2;
        });
        d.SendCommand(30361);
        return 2;
    });
    EXPECT_EQ(shownProduct, 4);
}

TEST_F(JobNewItem, BookletItemsOpenTheItemWindowOncePerPart)
{
    exec(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Qty, Type) VALUES (7, 'Booklets', 1, 0, 0)"));
    // The customer's price level is the job's.
    exec(QStringLiteral("UPDATE Customers SET PriceLevel = 2 WHERE CusNo = 100"));
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::BookletItems);
    struct Preset
    {
        QString description;
        qint32 quantity;
        int product;
        int level;
        int unit;
        int unitFormat;
        qint32 sheets;
        QString size;
        QString flat;
    };
    std::vector<Preset> presets;
    run([&](CJobDlg &d) {
        onDialog<CItemNew>([](CItemNew &n) {
            n.OnListClick(n.list().FindItemByData(7, true), 0);
            n.SendCommand(1);
            return n.result();
        });
        onDialog<CBooklet>([](CBooklet &b) {
            EXPECT_EQ(b.m_strTitle, QStringLiteral("Booklets"));
            b.OnChoice(CBooklet::FoldedBooklet);
            b.OnChoice(23);
            b.m_nBooks = 250;
            b.m_nPages = 10;
            b.CalcSheets();
            b.SendCommand(1);
            return b.result();
        });
        prompts().answer(platform::IDYES); // Create 3 Items?
        for (int i = 0; i < 3; ++i)
            onDialog<CItemSpecs>([&](CItemSpecs &s) {
                const CItemSpecsData &data = s.data();
                presets.push_back({data.m_strDescription, data.m_nQuantity, data.m_nProductType, data.m_nPriceLevel,
                                   data.m_nUnit, data.m_nUnitFormat, data.m_nSheets, data.m_strSize,
                                   data.m_strFlatSize});
                return 2;
            });
        d.SendCommand(30361);
        return 2;
    });
    ASSERT_EQ(presets.size(), 3u);
    EXPECT_EQ(presets[0].description, QStringLiteral("Booklets | Cover "));
    EXPECT_EQ(presets[1].description, QStringLiteral("Booklets | Inside Pages: 10"));
    EXPECT_EQ(presets[2].description, QStringLiteral("Booklets | Bindery "));
    EXPECT_EQ(presets[1].sheets, 3);
    // The bindery counts the sheets of the parts before it.
    EXPECT_EQ(presets[2].sheets, presets[0].sheets + 3);
    for (const Preset &p : presets) {
        EXPECT_EQ(p.quantity, 250);
        EXPECT_EQ(p.product, 7);
        EXPECT_EQ(p.level, 2);
        EXPECT_EQ(p.unit, 5);
        EXPECT_EQ(p.unitFormat, 1);
        EXPECT_EQ(p.size, QStringLiteral("8.5 x 11"));
        EXPECT_EQ(p.flat, QStringLiteral("11 x 17"));
    }
    EXPECT_EQ(prompts().texts(), (QStringList{QStringLiteral("Create 3 Items?")}));
}

TEST_F(JobNewItem, PriceListOpensOnTheJobsItems)
{
    // The list shows items of a product type.
    exec(QStringLiteral("DELETE FROM ProductTypes WHERE [No] = 1"));
    exec(QStringLiteral("INSERT INTO ProductTypes ([No], Name, Sort, Qty, Type) VALUES (1, 'Cards', 1, 500, 1)"));
    exec(QStringLiteral("UPDATE Items SET Side1 = 1 WHERE JobID = %1 and SerNo = 0").arg(m_order));
    run([&](CJobDlg &d) {
        onDialog<CPriceBook>([](CPriceBook &b) {
            EXPECT_EQ(b.ribbon().GetItemText(30534), QStringLiteral("Job Items"));
            EXPECT_EQ(b.tree().topLevelItemCount(), 1);
            EXPECT_EQ(b.tree().GetSelectedText(), QStringLiteral("Business cards 2 sided"));
            return 2;
        });
        d.SendCommand(30365);
        return 2;
    });
}

TEST_F(JobNewItem, AnItemsAttachedFileIsKeptAndRemoved)
{
    const QString proof = tempPath(QStringLiteral("proof.pdf"));
    prompts().answerFile(proof);
    const auto attach = [&](const std::function<void(CHtmlDlg &)> &act) {
        run([&](CJobDlg &d) {
            onDialog<CHtmlDlg>([&](CHtmlDlg &h) {
                act(h);
                h.SendCommand(2);
                return h.result();
            });
            d.SendCommand(30366);
            return 2;
        });
    };
    const QString samples = QStringLiteral("SELECT Count(*) FROM Samples");
    attach([](CHtmlDlg &h) {
        EXPECT_EQ(h.windowTitle(), QStringLiteral("Item Documents: None found"));
        h.SendCommand(30101);
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT Path FROM Samples")).toString(), proof);
    attach([&](CHtmlDlg &h) {
        EXPECT_EQ(h.windowTitle(), QStringLiteral("Item Documents: ") + proof);
        h.SendCommand(30405);
    });
    EXPECT_EQ(scalar(samples).toInt(), 0);
}

} // namespace
