#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "jobs/CJobCompare.h"
#include "jobs/JobCompareChain.h"
#include "app/base/DialogControls.h"
#include "views/TextRoom.h"

namespace {

class JobCompareTest : public JobsTest
{
public:
    qint32 job(int type, qint32 no, const QString &columns = QString(), const QString &values = QString())
    {
        return addJob(type, no, columns, values);
    }
};

TEST_F(JobCompareTest, JobChains)
{
    struct Case
    {
        const char *name;
        std::function<qint32(JobCompareTest &)> make;
        QStringList expected;
    };
    const Case cases[] = {
        {"from scratch", [](JobCompareTest &t) { return t.job(0, 10); }, {}},
        {"order since posted",
         [](JobCompareTest &t) {
             t.job(3, 20, QStringLiteral("Title"), QStringLiteral("'Posted now'"));
             return t.job(0, 21, QStringLiteral("Title, FromJobType, FromJobNo"), QStringLiteral("'Reorder', 0, 20"));
         },
         {QStringLiteral("History 20: Posted now")}},
        {"copied from itself",
         [](JobCompareTest &t) {
             t.job(1, 30, QStringLiteral("Title, FromJobType, FromJobNo"), QStringLiteral("'Self', 1, 30"));
             return t.job(0, 31, QStringLiteral("Title, FromJobType, FromJobNo"), QStringLiteral("'Copy', 1, 30"));
         },
         {QStringLiteral("Quote 30: Self")}},
        {"a loop A to B to A ends",
         [](JobCompareTest &t) {
             t.job(1, 41, QStringLiteral("Title, FromJobType, FromJobNo"), QStringLiteral("'B', 1, 40"));
             return t.job(1, 40, QStringLiteral("Title, FromJobType, FromJobNo"), QStringLiteral("'A', 1, 41"));
         },
         {QStringLiteral("Quote 41: B"), QStringLiteral("Quote 40: A")}},
        {"a job that is its own source",
         [](JobCompareTest &t) {
             return t.job(1, 35, QStringLiteral("Title, FromJobType, FromJobNo"), QStringLiteral("'Itself', 1, 35"));
         },
         {QStringLiteral("Quote 35: Itself")}},
        {"a deleted source", [](JobCompareTest &t) {
             return t.job(0, 51, QStringLiteral("Title, FromJobType, FromJobNo"), QStringLiteral("'X', 2, 999"));
         }, {}},
    };
    for (const Case &c : cases) {
        const qint32 id = c.make(*this);
        bool found = false;
        QStringList texts;
        for (const CompareNode &n : JobSourceChain(id, found))
            texts << n.text;
        EXPECT_TRUE(found) << c.name;
        EXPECT_EQ(texts, c.expected) << c.name;
    }
    EXPECT_EQ(CompareRootText(false, 0, false),
              QStringLiteral("The job you've selected was created from scratch. Therefore, you may not compare it to "
                             "another job but itself with default pricing."));
    EXPECT_EQ(CompareRootText(false, 0, true).left(54),
              QStringLiteral("The job you've selected was copied from a deleted job."));
    EXPECT_TRUE(CompareRootText(true, 2, true).startsWith(QStringLiteral("The Item you've selected was copied")));
    EXPECT_EQ(CompareNodeItemNo(QStringLiteral("Order 12 - Item 3: Cards")), 3);
    EXPECT_EQ(CompareNodeItemNo(QStringLiteral("Order 12: Cards")), 0);
}

TEST_F(JobCompareTest, ItemChainsEndOnLoops)
{
    const qint32 a = addJob(3, 60, QStringLiteral("Title"), QStringLiteral("'A'"));
    const qint32 itemA = addItem(a, 1, QStringLiteral("Flyer"), "10");
    const qint32 b = addJob(0, 61, QStringLiteral("Title"), QStringLiteral("'B'"));
    const qint32 itemB = addItem(b, 2, QStringLiteral("Flyer again"), "10");
    // B was copied from A, and A (wrongly) from B: a loop.
    exec(QStringLiteral("UPDATE Items SET Up = %1 WHERE ItemID = %2").arg(-itemA).arg(itemB));
    exec(QStringLiteral("UPDATE Items SET Up = %1 WHERE ItemID = %2").arg(-itemB).arg(itemA));
    QStringList texts;
    for (const CompareNode &n : ItemSourceChain(-itemA))
        texts << n.text;
    EXPECT_EQ(texts, (QStringList{QStringLiteral("History 60 - Item 1: Flyer"),
                                  QStringLiteral("Order 61 - Item 2: Flyer again")}));
}

TEST_F(JobCompareTest, WindowShowsBothHalvesAndMarksOtherItems)
{
    const qint32 source = addJob(1, 70, QStringLiteral("Title"), QStringLiteral("'Brochure quote'"));
    addItem(source, 1, QStringLiteral("Brochure"), "400");
    addItem(source, 2, QStringLiteral("Envelopes"), "90");
    const qint32 order = addJob(0, 71, QStringLiteral("Title, FromJobType, FromJobNo"),
                                QStringLiteral("'Brochure order', 1, 70"));
    addItem(order, 1, QStringLiteral("Brochure"), "420");
    addItem(order, 2, QStringLiteral("Envelopes"), "90");
    // A discount as an item of its own, priced below nothing.
    addItem(order, 3, QStringLiteral("Discount"), "-15");
    // A price a quarter of a dollar above its default: cents alone differ.
    addItem(order, 4, QStringLiteral("Proof"), "0.25");
    onDialog<CJobCompare>([&](CJobCompare &dlg) {
        EXPECT_EQ(dlg.tree()->topLevelItem(0)->text(0),
                  QStringLiteral("The job you've selected was copied from the following job(s). To compare 'Saved vs "
                                 "Default' prices of this job, click here."));
        EXPECT_EQ(dlg.ribbon(0).GetItemText(1901), QStringLiteral("Order 71: Brochure order"));
        EXPECT_EQ(dlg.ribbon(1).GetItemText(1901), QStringLiteral("Quote 70: Brochure quote"));
        EXPECT_EQ(dlg.list(0)->GetItemCount(), 8);
        EXPECT_EQ(dlg.list(1)->GetItemText(0, 4), QStringLiteral("400.00"));
        // Item 2 compared: the rows of item 1 are marked in the left list.
        EXPECT_EQ(dlg.list(0)->GetSubItemImage(0, 0), 333);
        EXPECT_EQ(dlg.list(0)->GetSubItemImage(1, 0), 333);
        EXPECT_NE(dlg.list(0)->GetSubItemImage(2, 0), 333);
        snapshot(dlg, QStringLiteral("compare"));
        // Within the screen, with Close and both lists inside the window.
        EXPECT_LE(dlg.width(), WindowRoom(&dlg).width());
        EXPECT_LE(dlg.height(), WindowRoom(&dlg).height());
        const QWidget *close = GetDlgItem(&dlg, 2);
        EXPECT_NE(close, nullptr);
        if (close)
            EXPECT_LE(close->geometry().right(), dlg.width());
        for (int half = 0; half < 2; ++half)
            EXPECT_LE(dlg.list(half)->geometry().right(), dlg.width()) << half;
        // The root: the same job priced again.
        dlg.tree()->setCurrentItem(dlg.tree()->topLevelItem(0));
        EXPECT_EQ(dlg.ribbon(1).GetItemText(1902), QStringLiteral("Default Pricing"));
        EXPECT_EQ(dlg.list(1)->GetColumnText(4), QStringLiteral("Default Price"));
        // Saved figures above the default are marked 235, below it 236,
        // equal ones not. The press run has no price here: every default
        // price is 0.00, and its default quantity 1.
        const struct
        {
            int row, column, image;
        } marks[] = {
            {0, 4, 235}, // 420.00 saved
            {1, 2, 235}, // 500 sheets saved, 1 by default
            {0, 2, CXListCtrl::kNoImage}, // the item's quantity the same
            {4, 4, 236}, // -15.00 saved
            {5, 4, 236},
            {6, 4, 235}, // 0.25 saved against 0.00: a mark for the cents
            {7, 4, 235},
        };
        for (const auto &m : marks)
            EXPECT_EQ(dlg.list(0)->GetSubItemImage(m.row, m.column), m.image) << m.row << " " << m.column;
        return 2;
    });
    CJobCompare compare(order, nullptr);
    compare.m_nItemNo = 2;
    compare.DoModal();
}

} // namespace
