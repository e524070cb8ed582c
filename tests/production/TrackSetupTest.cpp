#include "TrackFixture.h"

#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "data/CTimeSet.h"
#include "production/tracking/CViewTrack.h"
#include "views/CDlgGrid.h"
#include "views/CSetupGridDlg.h"

using platform::IDCANCEL;
using platform::IDOK;

TEST_F(TrackTest, OptionsSheetSavesPasswordsAndHoursAndTheClockFollows)
{
    auto view = makeView(3);
    onDialog<CDlgGrid>([](CDlgGrid &d) {
        CXGridProp &g = d.m_wndProp;
        EXPECT_EQ(d.m_strStripText, QStringLiteral("Options for All Computers"));
        EXPECT_EQ(g.rowLabel(1), QStringLiteral("Password to edit the tasks in Track window"));
        // The passwords show masked.
        EXPECT_TRUE(g.IsRowMasked(1));
        EXPECT_TRUE(g.IsRowMasked(2));
        EXPECT_FALSE(g.IsRowMasked(4));
        EXPECT_EQ(g.rowLabel(4), QStringLiteral("Earliest Start Time (example: 07:00)"));
        EXPECT_EQ(g.rowLabel(16),
                  QStringLiteral("Alert me when I try to start a service that is not in production or already started"));
        // The reserved entry cannot be edited.
        EXPECT_EQ(g.rowLabel(14), QStringLiteral("(reserved)"));
        g.SetRowText(1, QStringLiteral("floor"));
        g.SetRowText(2, QStringLiteral("boss"));
        g.SetRowText(4, QStringLiteral("07:00"));
        g.SetRowText(5, QStringLiteral("17:30"));
        g.SetRowValue(13, 1);
        snapshot(d, QStringLiteral("options"));
        return int(IDOK);
    });
    view->OnCommand(29213);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT [No], Password FROM Passwords WHERE [No] IN (221, 222) ORDER BY [No]")),
              QStringLiteral("221|floor\n222|boss"));
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 221")),
              QStringLiteral("0,07:00,17:30,0,0,0,0,0,0,0,1,0,0,0,0,"));
    EXPECT_EQ(app->trackStart(), 420);
    EXPECT_EQ(app->trackEnd(), 1050);

    // A task finished at 18:10 is stored as finished at 17:30; one started at
    // 06:40 as started at 07:00.
    at(6, 40);
    const qint32 day = addTime(0, 3, 0, QStringLiteral("06/12/2024 06:30"), QString(), 0, 0);
    ASSERT_TRUE(view->StartTask(1, offsetRun));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Format(Start, 'hh:nn') FROM Times WHERE TimeFor = 1")).toString(),
              QStringLiteral("07:00"));
    at(18, 10);
    CTimeSet task;
    ASSERT_TRUE(task.FindEntries(QStringLiteral("TimeFor = 1"), QString(), true));
    ASSERT_TRUE(task.ApplyClockCommand(CTimeSet::Finish));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Format(Finish, 'hh:nn') FROM Times WHERE TimeFor = 1")).toString(),
              QStringLiteral("17:30"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Minutes FROM Times WHERE TimeFor = 1")).toInt(), 630);
    Q_UNUSED(day);

    // An end not later than the start switches both limits off.
    setTrackOptions(QStringLiteral("0,17:00,08:00,"));
    EXPECT_EQ(app->trackStart(), 0);
    EXPECT_EQ(app->trackEnd(), 0);
    // Cancel keeps everything.
    prompts().onDialog([](QDialog &) { return int(IDCANCEL); });
    view->OnCommand(29213);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Password FROM Passwords WHERE [No] = 221")), QStringLiteral("floor"));
}

TEST_F(TrackTest, TimeGroupsAreAtMostFourAndOfficeTasksTwentyFour)
{
    auto view = makeView(3);
    struct Case
    {
        int command;
        QString strip;
        int rows;
    };
    const Case cases[] = {{29211, QStringLiteral("Limit 4 Time Groups"), 4}, {29210, QStringLiteral("Limit 24 Office Tasks"), 24}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        onDialog<CSetupGridDlg>([&](CSetupGridDlg &d) {
            EXPECT_EQ(d.stripText(), c.strip);
            // No row beyond the limit: a fifth time group has no place.
            EXPECT_EQ(d.grid(0)->GetRowCount(), c.rows);
            return int(IDCANCEL);
        });
        view->OnCommand(c.command);
    }
    // A new office task takes the next ID from 101 and the office type.
    const int before = scalar(QStringLiteral("SELECT Count(*) FROM TimeDepartments WHERE Type = 2")).toInt();
    onDialog<CSetupGridDlg>([&](CSetupGridDlg &d) {
        d.grid(0)->SetCellText(before, 1, QStringLiteral("Cleaning"));
        d.grid(0)->SetCellValue(before, 3, 30);
        return int(QDialog::Accepted);
    });
    view->OnCommand(29210);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Type FROM TimeDepartments WHERE Name = 'Cleaning'")).toInt(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Sort FROM TimeDepartments WHERE Name = 'Cleaning'")).toInt(), 30);
    EXPECT_GT(scalar(QStringLiteral("SELECT DepID FROM TimeDepartments WHERE Name = 'Cleaning'")).toInt(), 100);
}
