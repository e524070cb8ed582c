#include "AppObjectFixture.h"

#include "data/AppDataServices.h"
#include "data/SettingRows.h"
#include "platform/db/Recordset.h"

namespace {

class AppLookups : public AppObjectTest
{
protected:
    qint32 job(int type, qint32 no, int fromType = 0, qint32 fromNo = 0)
    {
        insert(QStringLiteral("Jobs"), QStringLiteral("JobType, JobNo, FromJobType, FromJobNo"),
               QStringLiteral("%1, %2, %3, %4").arg(type).arg(no).arg(fromType).arg(fromNo));
        return lastId(QStringLiteral("SELECT Max(JobID) FROM Jobs"));
    }
    // An item (serNo 0) or service row.
    qint32 item(qint32 jobId, qint32 serNo, int itemNo, int status)
    {
        insert(QStringLiteral("Items"), QStringLiteral("JobID, SerNo, ItemNo, SubNo, Status"),
               QStringLiteral("%1, %2, %3, 0, %4").arg(jobId).arg(serNo).arg(itemNo).arg(status));
        return lastId(QStringLiteral("SELECT Max(ItemID) FROM Items"));
    }
    qint32 lastId(const QString &sql)
    {
        platform::Recordset rs(holder.database());
        rs.open(platform::Recordset::Type::Snapshot, sql);
        return qint32(rs.value(0).toInt64());
    }
    void time(int timeFor, int empNo, qint32 itemId, int status)
    {
        insert(QStringLiteral("Times"), QStringLiteral("TimeFor, EmpNo, ItemID, Status"),
               QStringLiteral("%1, %2, %3, %4").arg(timeFor).arg(empNo).arg(itemId).arg(status));
    }
};

TEST_F(AppLookups, ServiceWarnings)
{
    const qint32 j = job(1, 1200);
    item(j, 0, 1, 2);
    const qint32 done = item(j, 12, 1, 0);
    time(1, 3, done, 1);
    QString text;
    app->GetServiceWarnings(text, done);
    EXPECT_EQ(text, QStringLiteral("Caution: Item Status is 'Wait'. Service is marked as 'Done'. "
                                   "There's a 'Paused' task for this Service already. "));
    // In production, not done, never timed: nothing to say.
    item(j, 0, 2, 4);
    app->GetServiceWarnings(text, item(j, 12, 2, 1));
    EXPECT_EQ(text, QString());
    // A service row without its item.
    app->GetServiceWarnings(text, item(j, 12, 9, 0));
    EXPECT_EQ(text, QString());

    time(2, 4, 700, 1);
    time(2, 5, 700, 3);
    app->GetOfficeTaskWarning(text, 700, 4);
    EXPECT_EQ(text, QStringLiteral("You have already started this Office Task."));
    app->GetOfficeTaskWarning(text, 700, 5);
    EXPECT_EQ(text, QString());

    app->GetHistoryRefText(text, -done);
    EXPECT_EQ(text, QStringLiteral("Quote 1200-1"));
    app->GetHistoryRefText(text, -99999);
    EXPECT_EQ(text, QStringLiteral("a deleted Item"));
    insert(QStringLiteral("Samples"), QStringLiteral("ItemID, Path"), QStringLiteral("%1, 'o''brien.pdf'").arg(done));
    app->GetSamplePath(text, done);
    EXPECT_EQ(text, QStringLiteral("o'brien.pdf"));
}

TEST_F(AppLookups, JobOriginChain)
{
    job(2, 7);
    const qint32 quote = job(1, 1200, 2, 7);
    const qint32 order = job(0, 5000, 1, 1200);
    QString text;
    app->GetJobOriginText(text, order);
    EXPECT_EQ(text, QStringLiteral(" <- Quote 1200 <- Template 7"));
    // A single origin is not worth printing.
    app->GetJobOriginText(text, quote);
    EXPECT_EQ(text, QString());

    // An order copied from an order that has since become history.
    job(3, 4000, 1, 1200);
    app->GetJobOriginText(text, job(0, 5001, 0, 4000));
    EXPECT_EQ(text, QStringLiteral(" <- Order 4000 <- Quote 1200 <- Template 7"));

    // Two quotes copied from each other: five hops, then it stops.
    const qint32 a = job(1, 1, 1, 2);
    job(1, 2, 1, 1);
    app->GetJobOriginText(text, a);
    EXPECT_EQ(text, QStringLiteral(" <- Quote 2 <- Quote 1 <- Quote 2 <- Quote 1 <- Quote 2"));
}

TEST_F(AppLookups, SettingRowsAndShopValues)
{
    // Missing rows give the defaults.
    LoadTrackOptions(*app, 221);
    QString entry;
    EXPECT_EQ(app->GetTrackOptionText(entry, 3), QStringLiteral(" 0"));
    EXPECT_EQ(app->GetTrackOptionInt(5), 1);

    ASSERT_TRUE(SaveGlobalAlertText(221, QStringLiteral("1,8:00,17:00,x,")));
    LoadTrackOptions(*app, 221);
    EXPECT_EQ(app->trackStart(), 480);
    EXPECT_EQ(app->trackEnd(), 1020);
    ASSERT_TRUE(SaveGlobalAlertText(100, QStringLiteral("3,1,")));
    LoadSettingRows(*app);
    EXPECT_TRUE(app->printingMethodFlag());
    EXPECT_TRUE(app->saturdayWorkday());
    EXPECT_FALSE(app->sundayWorkday());
    // Two sales taxes when the tax table holds the combined rate 3.
    EXPECT_FALSE(app->UsesTwoTaxes());
    insert(QStringLiteral("Taxes"), QStringLiteral("[No], Name"), QStringLiteral("3, 'State + City'"));
    LoadSettingRows(*app);
    EXPECT_TRUE(app->UsesTwoTaxes());

    insert(QStringLiteral("Options"), QStringLiteral("OptionID, OptionSum"), QStringLiteral("44323, 6"));
    EXPECT_EQ(GetConvertOptions(1, 0), 6);
    EXPECT_EQ(GetConvertOptions(3, 0), 0);

    exec(QStringLiteral("UPDATE Customers SET Name = 'Halden Print', City = 'Keene' WHERE CusNo = 1"));
    app->LoadCompanyInfo();
    EXPECT_EQ(app->m_company.m_strName, QStringLiteral("Halden Print"));
    EXPECT_EQ(app->m_company.m_strCity, QStringLiteral("Keene"));
}

} // namespace
