#include "support/TestEnvironment.h"

#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemPrice.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QProcess>

namespace {

int count(const QString &sql)
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, sql);
    return rs.isEOF() ? -1 : rs.value(0).toInt();
}

} // namespace

class SamplePrices : public TavrelTest
{
};

TEST_F(SamplePrices, EveryStoredItemPriceIsTheEnginesPrice)
{
    const QString path = tempPath(QStringLiteral("Sample.mdb"));
    QProcess tool;
    tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), path, QStringLiteral("--jobs"), QStringLiteral("120")});
    ASSERT_TRUE(tool.waitForFinished(120000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    SharedDatabase().open(path);

    // The tables the engine reads are the shop's own, filled.
    EXPECT_GT(count(QStringLiteral("SELECT Count(*) FROM MarkupTable")), 1);
    EXPECT_GT(count(QStringLiteral("SELECT Count(*) FROM WasteTable")), 1);
    EXPECT_GT(count(QStringLiteral("SELECT Count(*) FROM ServiceDiffTables")), 0);
    EXPECT_GT(count(QStringLiteral("SELECT Count(*) FROM ServicePriceTables")), 0);
    // Plates stand in the category the engine counts plates of.
    EXPECT_GT(count(QStringLiteral("SELECT Count(*) FROM Services WHERE CatNo = 6")), 0);

    QList<QPair<int, int>> items;
    {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT JobID, ItemNo FROM Items WHERE SerNo = 0 AND SubNo = 0 ORDER BY JobID, ItemNo"));
        for (; !rs.isEOF(); rs.moveNext())
            items << qMakePair(rs.value(0).toInt(), rs.value(1).toInt());
    }
    ASSERT_GT(items.size(), 100);
    int priced = 0;
    for (const auto &[jobId, itemNo] : items) {
        CItemSet item;
        item.m_strFilter =
            QStringLiteral("JobID = %1 and ItemNo = %2 and SubNo = 0 and SerNo = 0").arg(jobId).arg(itemNo);
        item.Open(CXDaoSet::dbOpenSnapshot);
        ASSERT_FALSE(item.IsEOF());
        const Money storedCost = item.m_Cost;
        const Money storedPrice = item.m_Price;
        CItemPrice engine(&item, true);
        ASSERT_TRUE(engine.IsLoaded()) << jobId << "-" << itemNo;
        engine.PriceItem(0);
        EXPECT_EQ(storedPrice, engine.GetNewPrice()) << "job " << jobId << " item " << itemNo;
        EXPECT_EQ(storedCost, engine.GetNewCost()) << "job " << jobId << " item " << itemNo;
        for (const auto &[id, row] : engine.Rows()) {
            if (row.m_SerNo == 0)
                continue;
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Price FROM Items WHERE ItemID = %1").arg(id));
            EXPECT_EQ(rs.value(0).toMoney(), row.m_Price) << "row " << id;
        }
        if (storedPrice > storedCost && !storedCost.isZero())
            ++priced;
        item.Close();
    }
    // Nearly every item has a cost and a price above it.
    EXPECT_GT(priced, items.size() * 9 / 10);
    SharedDatabase().close();
}
