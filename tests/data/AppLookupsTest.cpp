#include "AppObjectFixture.h"

#include "data/AppDataServices.h"
#include "data/SettingRows.h"
#include "platform/db/Recordset.h"


namespace {

class AppLookups : public AppObjectTest
{
protected:
    // A job row; returns its JobID.
    qint32 job(int type, qint32 no, int fromType = 0, qint32 fromNo = 0)
    {
        insert(QStringLiteral("Jobs"), QStringLiteral("JobType, JobNo, FromJobType, FromJobNo"),
               QStringLiteral("%1, %2, %3, %4").arg(type).arg(no).arg(fromType).arg(fromNo));
        return lastId(QStringLiteral("SELECT Max(JobID) FROM Jobs"));
    }
    // An item (serNo 0) or service row; returns its ItemID.
    qint32 item(qint32 jobId, qint32 serNo, int itemNo, int status, const QString &description = QString())
    {
        insert(QStringLiteral("Items"), QStringLiteral("JobID, SerNo, ItemNo, SubNo, Status, Up, Description"),
               QStringLiteral("%1, %2, %3, 0, %4, 4, '%5'").arg(jobId).arg(serNo).arg(itemNo).arg(status).arg(description));
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
    const qint32 j = job(0, 5000);
    item(j, 0, 1, 2);
    const qint32 done = item(j, 12, 1, 0);
    time(1, 3, done, 1);
    QString text;
    app->GetServiceWarnings(text, done);
    EXPECT_EQ(text, QStringLiteral("Caution: Item Status is 'Wait'. Service is marked as 'Done'. "
                                   "There's a 'Paused' task for this Service already. "));

    // In production, not done, never timed: nothing to say.
    item(j, 0, 2, 4);
    const qint32 quiet = item(j, 12, 2, 1);
    app->GetServiceWarnings(text, quiet);
    EXPECT_EQ(text, QString());
    time(1, 3, quiet, 3);
    app->GetServiceWarnings(text, quiet);
    EXPECT_EQ(text, QStringLiteral("Caution: There's a 'Finished' task for this Service already. "));

    // A service row without its item, or no row at all.
    const qint32 orphan = item(j, 12, 9, 0);
    app->GetServiceWarnings(text, orphan);
    EXPECT_EQ(text, QString());
    app->GetServiceWarnings(text, 99999);
    EXPECT_EQ(text, QString());

    // Office tasks: an unfinished one of the same employee.
    time(2, 4, 700, 1);
    time(2, 5, 700, 3);
    app->GetOfficeTaskWarning(text, 700, 4);
    EXPECT_EQ(text, QStringLiteral("You have already started this Office Task."));
    app->GetOfficeTaskWarning(text, 700, 5);
    EXPECT_EQ(text, QString());
}

TEST_F(AppLookups, ItemReferencesAndSamples)
{
    const qint32 j = job(1, 1200);
    const qint32 flyer = item(j, 0, 2, 1, QStringLiteral("Flyers"));
    quint8 jobType = 9, itemNo = 0;
    qint32 jobNo = 0, up = 0;
    QString description;
    EXPECT_EQ(app->GetItemJobInfo(-flyer, jobType, jobNo, itemNo, up, description), j);
    EXPECT_EQ(jobType, 1);
    EXPECT_EQ(jobNo, 1200);
    EXPECT_EQ(itemNo, 2);
    EXPECT_EQ(up, 4);
    EXPECT_EQ(description, QStringLiteral("Flyers"));
    jobType = 9;
    EXPECT_EQ(app->GetItemJobInfo(-99999, jobType, jobNo, itemNo, up, description), 0);
    EXPECT_EQ(jobType, 9);

    QString text;
    app->GetHistoryRefText(text, -flyer);
    EXPECT_EQ(text, QStringLiteral("Quote 1200-2"));
    app->GetHistoryRefText(text, -99999);
    EXPECT_EQ(text, QStringLiteral("a deleted Item"));
    app->GetHistoryRefText(text, 12);
    EXPECT_EQ(text, QStringLiteral("History Job 12"));
    app->GetHistoryRefText(text, 0);
    EXPECT_EQ(text, QString());

    insert(QStringLiteral("Samples"), QStringLiteral("ItemID, Path"), QStringLiteral("%1, '/samples/o''brien.pdf'").arg(flyer));
    app->GetSamplePath(text, flyer);
    EXPECT_EQ(text, QStringLiteral("/samples/o'brien.pdf"));
    app->GetSamplePath(text, 99999);
    EXPECT_EQ(text, QString());
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
    app->GetJobOriginText(text, 99999);
    EXPECT_EQ(text, QString());

    // An order copied from an order that has since become history.
    job(3, 4000, 1, 1200);
    const qint32 reorder = job(0, 5001, 0, 4000);
    app->GetJobOriginText(text, reorder);
    EXPECT_EQ(text, QStringLiteral(" <- Order 4000 <- Quote 1200 <- Template 7"));

    // Two quotes copied from each other: five hops, then it stops.
    const qint32 a = job(1, 1, 1, 2);
    job(1, 2, 1, 1);
    app->GetJobOriginText(text, a);
    EXPECT_EQ(text, QStringLiteral(" <- Quote 2 <- Quote 1 <- Quote 2 <- Quote 1 <- Quote 2"));
}

TEST_F(AppLookups, SettingRowsOfTheApplication)
{
    // Missing rows: the defaults.
    LoadTrackOptions(*app, 221);
    QString entry;
    EXPECT_EQ(app->GetTrackOptionText(entry, 3), QStringLiteral(" 0"));
    EXPECT_EQ(app->GetTrackOptionInt(3), 0);
    EXPECT_EQ(app->GetTrackOptionInt(5), 1);
    EXPECT_EQ(app->trackStart(), 0);
    LoadSettingRows(*app);
    EXPECT_EQ(app->printingMethod(), 0);
    EXPECT_FALSE(app->saturdayWorkday());

    ASSERT_TRUE(SaveGlobalAlertText(221, QStringLiteral("1,8:00,17:00,x,")));
    LoadTrackOptions(*app, 221);
    EXPECT_EQ(app->trackStart(), 480);
    EXPECT_EQ(app->trackEnd(), 1020);
    EXPECT_EQ(app->GetTrackOptionText(entry, 3), QStringLiteral("x"));
    EXPECT_EQ(app->GetTrackOptionText(entry, 20), QString());
    EXPECT_EQ(app->GetTrackOptionInt(0), 1);
    ASSERT_TRUE(SaveGlobalAlertText(221, QStringLiteral("1,17:00,8:00,")));
    LoadTrackOptions(*app, 221);
    EXPECT_EQ(app->trackStart(), 0);
    EXPECT_EQ(app->trackEnd(), 0);

    // Printing method 3 sets the flag; Saturday is a workday, Sunday not.
    ASSERT_TRUE(SaveGlobalAlertText(100, QStringLiteral("3,1,0,")));
    LoadSettingRows(*app);
    EXPECT_EQ(app->printingMethod(), 3);
    EXPECT_TRUE(app->printingMethodFlag());
    QDate saturday(2024, 6, 15), sunday(2024, 6, 16);
    EXPECT_EQ(app->SkipClosedDay(&saturday, true), 0);
    EXPECT_EQ(app->SkipClosedDay(&sunday, true), 1);
    EXPECT_EQ(sunday, QDate(2024, 6, 17));
    // A row without its last items: those read as "0".
    ASSERT_TRUE(SaveGlobalAlertText(100, QStringLiteral("2,")));
    LoadSettingRows(*app);
    EXPECT_EQ(app->printingMethod(), 2);
    EXPECT_FALSE(app->printingMethodFlag());
    EXPECT_FALSE(app->saturdayWorkday());
    EXPECT_EQ(app->SkipClosedDay(&saturday, false), 2);

    insert(QStringLiteral("Options"), QStringLiteral("OptionID, OptionSum"), QStringLiteral("44323, 6"));
    EXPECT_EQ(GetConvertOptions(1, 0), 6);
    EXPECT_EQ(GetConvertOptions(3, 0), 0);
    EXPECT_EQ(GetConvertOptions(2, 2), 0);
}

TEST_F(AppLookups, CompanyBlockComesFromTheShopsCustomerRow)
{
    exec(QStringLiteral("UPDATE Customers SET Name = 'Halden Print', City = 'Keene', State = 'NH', Zip = '03431' "
                        "WHERE CusNo = 1"));
    app->LoadCompanyInfo();
    EXPECT_EQ(app->m_company.m_strName, QStringLiteral("Halden Print"));
    QString text;
    app->GetCompanyText(text, -6);
    EXPECT_EQ(text, QStringLiteral("Keene NH 03431"));
}

} // namespace
