#include "TrackFixture.h"

#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "data/CTimeSet.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
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

// Two workstations on the options for all computers. B's view read the
// options and passwords when it was shown; A saves; B opens the sheet
// (or has it open) and changes another option: A's password and hours stay.
// An entry both changed to different values is put to B by its caption,
// as the sheet shows it (a password masked).
TEST_F(TrackTest, OptionsSheetKeepsAnotherWorkstationsSave)
{
    struct Case
    {
        const char *what;
        bool aWhileOpen;
        const char *aPassword;  // A's track password ("" unchanged)
        const char *aOptions;   // A's options text ("" unchanged)
        QList<std::pair<int, const char *>> bTexts; // grid row, text
        QList<std::pair<int, int>> bValues;         // grid row, value
        int answer;
        const char *asked;
        const char *password;
        const char *options;
    };
    const char *const kBefore = "0,,, 0,0,0,0,  0,0,0,0,0,  0,0,0,";
    const QList<Case> cases = {
        {"A before B opens: B's alert option only", false, "floor", "0,07:00,,0,0,0,0,0,0,0,0,0,0,0,0,", {}, {{16, 1}}, 0,
         "", "floor", "0,07:00,,0,0,0,0,0,0,0,0,0,0,1,0,"},
        {"A while B's sheet is open: different entries", true, "floor", "0,07:00,,0,0,0,0,0,0,0,0,0,0,0,0,",
         {{5, "17:30"}}, {{13, 1}}, 0, "", "floor", "0,07:00,17:30,0,0,0,0,0,0,0,1,0,0,0,0,"},
        {"both change the start time, B keeps his", true, "", "0,07:00,,0,1,0,0,0,0,0,0,0,0,0,0,", {{4, "08:00"}}, {},
         platform::IDYES, "Earliest Start Time (example: 07:00): the other user's \"07:00\", yours \"08:00\"", "",
         "0,08:00,,0,1,0,0,0,0,0,0,0,0,0,0,"},
        {"both change the start time, B keeps A's; B's other option saved", true, "",
         "0,07:00,,0,0,0,0,0,0,0,0,0,0,0,0,", {{4, "06:00"}}, {{17, 1}}, platform::IDNO,
         "Earliest Start Time (example: 07:00): the other user's \"07:00\", yours \"06:00\"", "",
         "0,07:00,,0,0,0,0,0,0,0,0,0,0,0,1,"},
        {"both change the track password, shown masked", true, "floor", "", {{1, "shop"}}, {}, platform::IDYES,
         "Password to edit the tasks in Track window: the other user's \"\u2022\u2022\u2022\u2022\u2022\", "
         "yours \"\u2022\u2022\u2022\u2022\"",
         "shop", "0,,, 0,0,0,0,  0,0,0,0,0,  0,0,0,"},
        // The password was written before the question: Cancel undoes it too.
        {"B's password and start time, Cancel on the start time: nothing of B's OK saved", true, "",
         "0,07:00,,0,0,0,0,0,0,0,0,0,0,0,0,", {{1, "shop"}, {4, "06:00"}}, {}, IDCANCEL,
         "Earliest Start Time (example: 07:00): the other user's \"07:00\", yours \"06:00\"", "", ""},
    };
    platform::Database other;
    other.open(SharedDatabase().name());
    int writesWhileAsked = 0;
    writeAtOnceWhileBoxesShow(writesWhileAsked);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        writesWhileAsked = 0;
        // A shop with no password rows yet: A's save adds row 221.
        exec(QStringLiteral("DELETE FROM Passwords WHERE [No] IN (221, 222)"));
        setTrackOptions(QString::fromUtf8(kBefore));
        auto view = makeView(3);
        auto aSaves = [&] {
            if (*c.aPassword)
                other.execute(QStringLiteral("INSERT INTO Passwords ([No], [Password], [Level]) VALUES (221, '%1', 1)")
                                  .arg(QLatin1String(c.aPassword)));
            if (*c.aOptions)
                other.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = '%1' WHERE CusNo = 0 AND "
                                             "AlertType = 221")
                                  .arg(QLatin1String(c.aOptions)));
        };
        if (!c.aWhileOpen)
            aSaves();
        prompts().clear();
        int shown = 0;
        onDialog<CDlgGrid>([&](CDlgGrid &d) {
            ++shown;
            CXGridProp &g = d.m_wndProp;
            if (c.aWhileOpen)
                aSaves();
            for (const auto &[row, text] : c.bTexts)
                g.SetRowText(row, QString::fromUtf8(text));
            for (const auto &[row, value] : c.bValues)
                g.SetRowValue(row, value);
            if (c.answer != 0)
                prompts().answer(c.answer);
            return int(IDOK);
        });
        if (c.answer == IDCANCEL)
            onDialog<CDlgGrid>([&](CDlgGrid &d) {
                // Shown again after the Cancel, with what was typed.
                ++shown;
                for (const auto &[row, text] : c.bTexts)
                    EXPECT_EQ(d.m_wndProp.rowText(row), QString::fromUtf8(text));
                return int(IDCANCEL);
            });
        view->OnCommand(29213);
        EXPECT_EQ(shown, c.answer == IDCANCEL ? 2 : 1);
        EXPECT_EQ(writesWhileAsked, prompts().texts().size());
        QStringList asked;
        for (const QString &text : prompts().texts())
            if (text.startsWith(QStringLiteral("Another user")))
                asked << text;
        if (c.answer == 0) {
            EXPECT_TRUE(asked.isEmpty()) << asked.join(QLatin1Char('|')).toStdString();
        } else {
            ASSERT_EQ(asked.size(), 1);
            if (*c.asked)
                EXPECT_TRUE(asked.first().contains(QString::fromUtf8(c.asked))) << asked.first().toStdString();
        }
        const QString password = QString::fromUtf8(*c.password ? c.password : c.aPassword);
        EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Password FROM Passwords WHERE [No] = 221")), password);
        const QString options = QString::fromUtf8(*c.options ? c.options : c.aOptions);
        EXPECT_EQ(sqliteRows(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 221")),
                  options);
        EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Count(*) FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 221")),
                  QStringLiteral("1"));
    }
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
