#include "TrackFixture.h"
#include "support/TypeInto.h"

#include "controls/CXTable.h"
#include "data/CTimeSet.h"
#include "production/tracking/CTaskDlg.h"
#include "production/tracking/CTaskJobDlg.h"
#include "production/tracking/CTaskListDlg.h"
#include "production/tracking/CViewTrack.h"
#include "production/tracking/TaskRows.h"
#include "controls/CXListCtrl.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"
#include "controls/CXTreeOptCtrl.h"
#include "production/tracking/TrackRules.h"

#include <QtGui/QImage>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

using platform::IDCANCEL;
using platform::IDOK;

namespace {

DateTime at(int hour, int minute)
{
    return DateTime(2024, 6, 12, hour, minute, 0);
}

} // namespace

TEST(TaskEditRules, MinutesTypedOnATask)
{
    struct Case
    {
        const char *name;
        qint32 typed;
        bool changed;
        DateTime finish;
        qint32 minutes;
    };
    // Started 08:00, last change 09:00 with 60 minutes, now 10:00.
    const Case cases[] = {
        // More than the time since the start is never cut to it: nothing
        // changes (the dialog asks whether the start is to move back).
        {"beyond the elapsed: nothing changes", 150, false, at(9, 0), 60},
        {"exactly the elapsed: the finish moves to now", 120, true, at(10, 0), 120},
        {"beyond start to finish: the finish moves", 90, true, at(9, 30), 90},
        {"within start to finish", 30, true, at(9, 0), 30},
        {"negative", -5, false, at(9, 0), 60},
        {"the same", 60, false, at(9, 0), 60},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        track::TaskTimes t{at(8, 0), at(9, 0), 60};
        EXPECT_EQ(track::ApplyMinutesChange(t, c.typed, at(10, 0)), c.changed);
        EXPECT_EQ(t.finish, c.finish);
        EXPECT_EQ(t.minutes, c.minutes);
    }
    // A finish not set counts as now.
    track::TaskTimes open{at(8, 0), DateTime::null(), 0};
    EXPECT_TRUE(track::ApplyMinutesChange(open, 45, at(10, 0)));
    EXPECT_EQ(open.finish, at(10, 0));
    EXPECT_EQ(open.minutes, 45);
    // Taken as typed: 150 minutes up to now start at 07:30.
    EXPECT_EQ(track::MinutesSinceStart(open, at(10, 0)), 120);
    track::TaskTimes moved{at(8, 0), at(9, 0), 60};
    track::MoveStartForMinutes(moved, 150, at(10, 0));
    EXPECT_EQ(moved.start, at(7, 30));
    EXPECT_EQ(moved.finish, at(10, 0));
    EXPECT_EQ(moved.minutes, 150);
    EXPECT_EQ(CTimeSet::MinutesBetween(moved.start, moved.finish), 150);
    // A finished task keeps its finish: 150 minutes to 09:00 start at 06:30.
    track::TaskTimes finished{at(8, 0), at(9, 0), 60};
    track::MoveStartForMinutes(finished, 150, at(10, 0), true);
    EXPECT_EQ(finished.start, at(6, 30));
    EXPECT_EQ(finished.finish, at(9, 0));
    EXPECT_EQ(finished.minutes, 150);
}

TEST(TaskEditRules, TimesTypedOnATask)
{
    struct Case
    {
        const char *name;
        bool finishField;
        DateTime value;
        DateTime start;
        DateTime finish;
        qint32 minutes;
    };
    const Case cases[] = {
        {"a finish before the start becomes the start", true, at(7, 0), at(8, 0), at(8, 0), 0},
        {"a finish after now becomes now", true, at(11, 0), at(8, 0), at(10, 0), 60},
        {"a start after now becomes now", false, at(12, 0), at(10, 0), at(10, 0), 0},
        {"an earlier start keeps the minutes", false, at(7, 0), at(7, 0), at(9, 0), 60},
        {"a finish moved earlier caps the minutes", true, at(8, 30), at(8, 0), at(8, 30), 30},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        track::TaskTimes t{at(8, 0), at(9, 0), 60};
        track::ApplyTimeChange(t, c.finishField, c.value, at(10, 0));
        EXPECT_EQ(t.start, c.start);
        EXPECT_EQ(t.finish, c.finish);
        EXPECT_EQ(t.minutes, c.minutes);
    }
    track::TaskTimes t{at(8, 0), at(9, 0), 60};
    track::ApplyTimeChange(t, true, DateTime::invalid(), at(10, 0));
    EXPECT_EQ(t.finish, at(9, 0));
    // Tracked time is cut to whole minutes, not rounded: a start at 08:00:30
    // and a finish at 08:10 are 9 minutes 30 seconds, so 9 minutes.
    track::TaskTimes cut{DateTime(2024, 6, 12, 8, 0, 30), at(9, 0), 60};
    track::ApplyTimeChange(cut, true, at(8, 10), at(10, 0));
    EXPECT_EQ(cut.minutes, 9) << "whole minutes are cut, not rounded";
}

TEST(TaskEditRules, MaterialAndNoteTails)
{
    EXPECT_EQ(track::ParseMaterial(QStringLiteral("1,250")), 1250);
    EXPECT_EQ(track::ParseMaterial(QStringLiteral("-5")), 0);
    EXPECT_EQ(track::ParseMaterial(QStringLiteral("  40 ")), 40);
    EXPECT_EQ(track::ParseMaterial(QStringLiteral("abc")), 0);
    // Read as every count is: the largest count whole, past it nothing.
    EXPECT_EQ(track::ParseMaterial(QStringLiteral("1e3")), 1000);
    EXPECT_EQ(track::ParseMaterial(QStringLiteral("1,000,000,000")), 1000000000);
    EXPECT_EQ(track::ParseMaterial(QStringLiteral("1,000,000,001")), 0);
    EXPECT_EQ(track::ParseMaterial(QStringLiteral("3000000000")), 0);
    const QString note = QStringLiteral("Use blue \u00B7 stock 300 \u00B7 cut");
    EXPECT_EQ(track::NoteHead(note), QStringLiteral("Use blue"));
    EXPECT_EQ(track::NoteWithTail(QStringLiteral("Use red"), note), QStringLiteral("Use red \u00B7 stock 300 \u00B7 cut"));
    EXPECT_EQ(track::NoteWithTail(QStringLiteral("New"), QStringLiteral("Old")), QStringLiteral("New"));
}

TEST_F(TrackTest, TaskDialogOffersTypesOrGroupsAndRefusesEditingARunningRecord)
{
    const qint32 day = addTime(0, 3, 0, QStringLiteral("06/12/2024 08:00"), QString(), 0, 0);
    const qint32 task = addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 08:00"), QStringLiteral("06/12/2024 09:00"),
                                45, 1, 300);
    at(10, 0);
    {
        CTimeSet record;
        ASSERT_TRUE(record.FindByTimeID(day, true));
        onDialog<CTaskDlg>([&](CTaskDlg &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Task Detail  (TimeID: %1  EmpNo: 3)").arg(day));
            EXPECT_EQ(d.groupCombo()->count(), 4);
            EXPECT_EQ(d.groupCombo()->itemText(3), QStringLiteral("Sick Leave"));
            prompts().answer(IDOK);
            d.OnEdit();
            EXPECT_FALSE(d.isEditing());
            return int(IDCANCEL);
        });
        CTaskDlg dialog(&record, QString(), nullptr);
        dialog.DoModal();
        EXPECT_TRUE(prompts().texts().contains(QStringLiteral("You may edit this this after pausing or finishing it.")));
    }
    CTimeSet record;
    ASSERT_TRUE(record.FindByTimeID(task, true));
    const int groups = scalar(QStringLiteral("SELECT Count(*) FROM TimeDepartments WHERE Type = 0")).toInt();
    onDialog<CTaskDlg>([&](CTaskDlg &d) {
        EXPECT_EQ(d.groupCombo()->count(), groups);
        EXPECT_EQ(d.minutesEdit()->text(), QStringLiteral("0:45"));
        EXPECT_EQ(d.materialEdit()->text(), QStringLiteral("300"));
        EXPECT_TRUE(d.pausedText().contains(QStringLiteral("Time Paused 0:15")));
        // No password: editing opens at once.
        d.OnEdit();
        EXPECT_TRUE(d.isEditing());
        snapshot(d, QStringLiteral("task_detail"));
        d.materialEdit()->setText(QStringLiteral("1,250"));
        d.MarkChanged();
        d.OnSave();
        return d.result();
    });
    CTaskDlg dialog(&record, QString(), nullptr);
    EXPECT_EQ(dialog.DoModal(), 30121);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Material FROM Times WHERE TimeID = %1").arg(task)).toInt(), 1250);
}

TEST_F(TrackTest, FinishRulesRunAgainOnlyWhenMinutesOrMaterialChange)
{
    // Option 10 writes the tracked minutes into the service.
    setTrackOptions(QStringLiteral("0,,, 0,0,0,0,  0,0,0,1,0,  0,0,0,"));
    const qint32 task = addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 08:00"), QStringLiteral("06/12/2024 10:00"),
                                120, 2);
    auto edit = [&](std::function<void(CTaskDlg &)> change) {
        CTimeSet record;
        EXPECT_TRUE(record.FindByTimeID(task, true));
        onDialog<CTaskDlg>([change](CTaskDlg &d) {
            d.OnEdit();
            change(d);
            d.OnSave();
            return d.result();
        });
        CTaskDlg dialog(&record, QString(), nullptr);
        return dialog.DoModal();
    };
    // Only the note: saved, the service keeps its 60 minutes.
    EXPECT_EQ(edit([](CTaskDlg &d) {
                  d.noteEdit()->setText(QStringLiteral("checked"));
                  d.MarkChanged();
              }),
              30121);
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT [Note] FROM Times")), QStringLiteral("checked"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT ActualTime FROM Items WHERE ItemID = %1").arg(offsetRun)).toInt(), 60);
    // The minutes: the finish rules write the new total.
    EXPECT_EQ(edit([](CTaskDlg &d) {
                  d.minutesEdit()->setText(QStringLiteral("1:30"));
                  d.OnMinutesChanged();
              }),
              30121);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Minutes FROM Times")).toInt(), 90);
    EXPECT_EQ(scalar(QStringLiteral("SELECT ActualTime FROM Items WHERE ItemID = %1").arg(offsetRun)).toInt(), 90);
    // The finished tasks' material is summed in 64 bits: with a second task
    // of 10 minutes and 1 sheet, 999,999,999 books the largest count; one
    // more is refused by name and nothing is booked (it was booked past the
    // largest count, and three such tasks wrapped below 0).
    addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 11:00"), QStringLiteral("06/12/2024 11:10"), 10, 2, 1);
    const auto material = [&](const char *typed) {
        return edit([typed](CTaskDlg &d) {
            d.materialEdit()->setText(QString::fromLatin1(typed));
            d.MarkChanged();
        });
    };
    const QString actuals = QStringLiteral("SELECT ActualQty, ActualTime FROM Items WHERE ItemID = %1").arg(offsetRun);
    EXPECT_EQ(material("999,999,999"), 30121);
    EXPECT_EQ(sqliteRows(actuals), QStringLiteral("1000000000|100"));
    prompts().clear();
    prompts().answer(IDOK);
    EXPECT_EQ(material("1,000,000,000"), 30121);
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("The Material of the finished tasks would be 1,000,000,001, more than 1,000,000,000, the "
                             "largest count the program holds.\n\nThe Service's actual quantity and time are not "
                             "updated.")});
    EXPECT_EQ(sqliteRows(actuals), QStringLiteral("1000000000|100"));
    // Nothing changed: Cancel.
    EXPECT_EQ(edit([](CTaskDlg &) {}), int(IDCANCEL));
}

TEST_F(TrackTest, WorkedTimeAndMaterialTypedAreReadWholeOrRefused)
{
    // A task worked 08:00 to 10:00 (2:00), finished, 300 sheets; now 12:00.
    const qint32 task = addTime(1, 3, offsetRun, QStringLiteral("06/12/2024 08:00"), QStringLiteral("06/12/2024 10:00"),
                                120, 2, 300);
    at(12, 0);
    const QString worked = QStringLiteral("Worked: Please enter a time as hours:minutes.");
    const QString material = QStringLiteral("Material: Please enter a quantity.");
    const QString materialPast = QStringLiteral("Material: Please enter a quantity from 0 to 1,000,000,000.");
    const QString finishTime =
        QStringLiteral("Finished time: Please enter a time of day, such as 2:30 pm or 14:30.");
    const QString startTime = QStringLiteral("Started time: Please enter a time of day, such as 2:30 pm or 14:30.");
    // More worked time than has passed since the start is asked about, never
    // cut: No keeps the time, Yes moves the start back to hold it, before the
    // finish the finished task keeps (10:00 less 5:00 is 05:00).
    const QString thousand = QStringLiteral("Worked: 1000:00 is more than the 4:00 from the start, 06/12/2024 08:00, "
                                            "to now.\n\nMove the start back to 05/01/2024 18:00?");
    const QString five = QStringLiteral("Worked: 5:00 is more than the 4:00 from the start, 06/12/2024 08:00, to "
                                        "now.\n\nMove the start back to 06/12/2024 05:00?");
    // A finish before the start is refused, never made the start.
    const QString beforeStart =
        QStringLiteral("Finished time: Please enter a finish not before the start, 06/12/2024 08:00.");
    enum Field { Worked, Material, StartTime, FinishTime };
    const char *names[] = {"worked ", "material ", "start time ", "finish time "};
    struct Case
    {
        Field field;
        const char *typed;
        const char *shown; // what the field shows once left
        qint32 minutes;    // worked minutes kept
        const QString *refusal;
        int answer = IDOK;
        DateTime start = DateTime(2024, 6, 12, 8, 0, 0);
        DateTime finish = DateTime(2024, 6, 12, 10, 0, 0);
    };
    const Case cases[] = {
        {Worked, "1:30", "1:30", 90, nullptr},
        // More than start to finish moves the finish (to now at the most).
        {Worked, "3", "3:00", 180, nullptr, IDOK, DateTime(2024, 6, 12, 8, 0, 0), DateTime(2024, 6, 12, 11, 0, 0)},
        {Worked, "4:00", "4:00", 240, nullptr, IDOK, DateTime(2024, 6, 12, 8, 0, 0), DateTime(2024, 6, 12, 12, 0, 0)},
        {Worked, "1,000", "2:00", 120, &thousand, platform::IDNO},
        {Worked, "5:00", "2:00", 120, &five, platform::IDNO},
        {Worked, "5:00", "5:00", 300, &five, platform::IDYES, DateTime(2024, 6, 12, 5, 0, 0)},
        {Worked, "abc", "2:00", 120, &worked},
        {Worked, "1:5", "2:00", 120, &worked},
        {Worked, "1:75", "2:00", 120, &worked},
        {Worked, "1.5abc", "2:00", 120, &worked},
        {Material, "1,250", "1250", 120, nullptr},
        {Material, "abc", "300", 120, &material},
        {Material, "-5", "300", 120, &material},
        {Material, "12.5", "300", 120, &material},
        {Material, "1,000,000,000", "1000000000", 120, nullptr},
        {Material, "1,000,000,001", "300", 120, &materialPast},
        {Material, "3000000000", "300", 120, &materialPast},
        // The times are typed as texts, every key shown, and read whole when
        // left: a time of day is kept (the worked time fits the finish moved
        // to 9:30), anything else refused with the time shown before back.
        {FinishTime, "9:30", "09:30", 90, nullptr, IDOK, DateTime(2024, 6, 12, 8, 0, 0), DateTime(2024, 6, 12, 9, 30, 0)},
        {FinishTime, "9:30 am", "09:30", 90, nullptr, IDOK, DateTime(2024, 6, 12, 8, 0, 0),
         DateTime(2024, 6, 12, 9, 30, 0)},
        // At the start it is kept (no time worked); a minute before, refused.
        {FinishTime, "8:00", "08:00", 0, nullptr, IDOK, DateTime(2024, 6, 12, 8, 0, 0), DateTime(2024, 6, 12, 8, 0, 0)},
        {FinishTime, "7:59", "10:00", 120, &beforeStart},
        {FinishTime, "7 am", "10:00", 120, &beforeStart},
        {FinishTime, "25:00", "10:00", 120, &finishTime},
        {FinishTime, "9:75", "10:00", 120, &finishTime},
        {FinishTime, "abc", "10:00", 120, &finishTime},
        {FinishTime, "930x", "10:00", 120, &finishTime},
        {StartTime, "7 am", "07:00", 120, nullptr, IDOK, DateTime(2024, 6, 12, 7, 0, 0)},
        {StartTime, "19:00x", "08:00", 120, &startTime},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(names[c.field]) + c.typed);
        CTimeSet record;
        ASSERT_TRUE(record.FindByTimeID(task, true));
        prompts().clear();
        onDialog<CTaskDlg>([&](CTaskDlg &d) {
            d.OnEdit();
            if (c.refusal)
                prompts().answer(c.answer);
            QWidget *const fields[] = {d.minutesEdit(), d.materialEdit(), d.timeEdit(false), d.timeEdit(true)};
            QWidget *field = fields[c.field];
            typing::enter(field, typing::Entry::SelectAll);
            typing::typeKeys(field, QString::fromLatin1(c.typed));
            EXPECT_EQ(typing::lineOf(field)->text(), QString::fromLatin1(c.typed)) << "shown while typed";
            typing::leave(field);
            EXPECT_EQ(typing::lineOf(field)->text(), QString::fromLatin1(c.shown));
            EXPECT_EQ(d.times().minutes, c.minutes);
            EXPECT_EQ(d.times().start, c.start);
            EXPECT_EQ(d.times().finish, c.finish);
            EXPECT_EQ(prompts().texts(), c.refusal ? QStringList{*c.refusal} : QStringList());
            return int(IDCANCEL);
        });
        CTaskDlg dialog(&record, QString(), nullptr);
        dialog.DoModal();
    }
    // Nothing reached the file.
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Minutes, Material FROM Times")), QStringLiteral("120|300"));

    // Saved: Yes to 5:00 keeps the finish at 10:00 and starts at 05:00;
    // then a finish typed before that start is refused and saves nothing.
    for (const char *finishTyped : {"", "4:00"}) {
        SCOPED_TRACE(finishTyped);
        CTimeSet record;
        ASSERT_TRUE(record.FindByTimeID(task, true));
        prompts().clear();
        onDialog<CTaskDlg>([&](CTaskDlg &d) {
            d.OnEdit();
            QLineEdit *field = *finishTyped ? d.timeEdit(true) : d.minutesEdit();
            prompts().answer(*finishTyped ? IDOK : platform::IDYES);
            typing::enter(field, typing::Entry::SelectAll);
            typing::typeKeys(field, QString::fromLatin1(*finishTyped ? finishTyped : "5:00"));
            typing::leave(field);
            d.OnSave();
            return d.result();
        });
        CTaskDlg dialog(&record, QString(), nullptr);
        const int result = dialog.DoModal();
        if (!*finishTyped)
            EXPECT_EQ(result, 30121);
        else
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral(
                          "Finished time: Please enter a finish not before the start, 06/12/2024 05:00.")});
        CTimeSet saved;
        ASSERT_TRUE(saved.FindByTimeID(task, false));
        EXPECT_EQ(saved.m_Start, DateTime(2024, 6, 12, 5, 0, 0));
        EXPECT_EQ(saved.m_Finish, DateTime(2024, 6, 12, 10, 0, 0));
        EXPECT_EQ(saved.m_Minutes, 300);
    }

    // Material typed and saved without leaving the field is read as when
    // left: past the largest count it is refused by name, the count shown
    // before back and nothing saved (it was kept as 2,147,483,647).
    {
        CTimeSet record;
        ASSERT_TRUE(record.FindByTimeID(task, true));
        prompts().clear();
        onDialog<CTaskDlg>([&](CTaskDlg &d) {
            d.OnEdit();
            prompts().answer(IDOK);
            typing::enter(d.materialEdit(), typing::Entry::SelectAll);
            typing::typeKeys(d.materialEdit(), QStringLiteral("3000000000"));
            d.OnSave();
            EXPECT_EQ(d.materialEdit()->text(), QStringLiteral("300"));
            EXPECT_EQ(d.result(), 0);
            return int(IDCANCEL);
        });
        CTaskDlg dialog(&record, QString(), nullptr);
        dialog.DoModal();
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Material: Please enter a quantity from 0 to 1,000,000,000.")});
        EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Material FROM Times WHERE TimeID = %1").arg(task)), QStringLiteral("300"));
    }
}

TEST_F(TrackTest, OrderServicesPickerReturnsEveryMarkedService)
{
    exec(QStringLiteral("UPDATE Items SET [Note] = 'Blue ink \u00B7 stock 300' WHERE ItemID = %1").arg(fold));
    // The press run was never given a date: it is to be done on day 1, the
    // order's date, as the bindery given day 1 is.
    exec(QStringLiteral("UPDATE Items SET Days2 = 0, Status = 1 WHERE ItemID = %1").arg(offsetRun));
    exec(QStringLiteral("UPDATE Items SET Days2 = 1, Status = 1 WHERE ItemID = %1").arg(fold));
    onDialog<CTaskJobDlg>([&](CTaskJobDlg &d) {
        CXTable &t = d.table();
        EXPECT_FALSE(t.GetCellText(t.FindRowByLong(fold), 3).isEmpty());
        EXPECT_EQ(t.GetCellText(t.FindRowByLong(offsetRun), 3), t.GetCellText(t.FindRowByLong(fold), 3));
        EXPECT_EQ(t.m_title, QStringLiteral("Order 8001  \u00B7  Order 8001  \u00B7  Acme Printing Co (#100)"));
        EXPECT_EQ(t.GetRowCount(), 3);
        const int item = t.FindRowByLong(itemRow);
        const int a = t.FindRowByLong(offsetRun);
        const int b = t.FindRowByLong(fold);
        EXPECT_EQ(t.GetRowFlags(item) & 4u, 4u);
        EXPECT_TRUE(t.GetCellText(a, CTaskJobDlg::ColDescription).endsWith(QStringLiteral(": Offset Run")));
        // The preselected service's row; its Start button names it.
        EXPECT_EQ(d.chart().GetSelectedRow(), b);
        EXPECT_TRUE(d.ribbon().GetItemText(1).startsWith(QStringLiteral("Start ")));
        snapshot(d, QStringLiteral("pickers"));
        // The order's last service is a row like the others, not drawn as a
        // totals row in the heading's colour (that would hide its icons).
        {
            d.chart().SelectRow(item);
            const QImage shot = d.chart().grab().toImage();
            const QRect rowsArea = d.chart().rowsRect();
            const int line = d.chart().lineHeight();
            EXPECT_GT(line, 0);
            const int x = rowsArea.left() + 3;
            const QRgb heading = shot.pixel(x, rowsArea.top() - 3);
            const QRgb lastRow = shot.pixel(x, rowsArea.top() + 2 * line + line / 2);
            const QRgb middleRow = shot.pixel(x, rowsArea.top() + line + line / 2);
            EXPECT_NE(lastRow, heading) << "the last service row is drawn as a totals row";
            EXPECT_NE(middleRow, heading);
        }
        // Only the item row marked: Start does nothing.
        d.chart().SelectRow(item);
        EXPECT_FALSE(d.OnStart());
        t.ToggleRowSelection(item, 0);
        t.ToggleRowSelection(a, 256);
        d.chart().SelectRow(b);
        EXPECT_TRUE(d.OnStart());
        return d.result();
    });
    CTaskJobDlg dialog(jobId, fold, 3, nullptr);
    ASSERT_EQ(dialog.DoModal(), int(IDOK));
    // In table order: the press before the bindery.
    EXPECT_EQ(dialog.m_chosen, (QList<qint32>{offsetRun, fold}));
}

TEST_F(TrackTest, FindOrderPicksFromTheListOfOrders)
{
    // Opened without an order ("Find Order No..."), the picker lists the
    // shop's orders; the one chosen fills the services picker.
    int listed = -1;
    onDialog<CDlgList>([&](CDlgList &d) {
        CXListCtrl *list = d.list();
        listed = list->GetItemCount();
        const int row = list->FindItemByData(jobId, true);
        EXPECT_GE(row, 0);
        d.SendCommand(IDOK);
        return d.result();
    });
    QString title;
    onDialog<CTaskJobDlg>([&](CTaskJobDlg &d) {
        title = d.table().m_title;
        return int(IDCANCEL);
    });
    CTaskJobDlg dialog(0, 0, 3, nullptr);
    dialog.DoModal();
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(title, QStringLiteral("Order 8001  \u00B7  Order 8001  \u00B7  Acme Printing Co (#100)"));
}

TEST_F(TrackTest, ProductionTaskListListsServicesOfOrdersInProgress)
{
    const QString sql = CTaskListDlg::BuildSql(29103, 3, 0);
    EXPECT_TRUE(sql.contains(QStringLiteral("WHERE Items.SerNo>0 AND Jobs.JobType=0 AND Jobs.Status=0 AND Jobs.Creator<98  "
                                            "and Items.EmpNo = 3  and Items.Status > 0 ORDER BY ")));
    EXPECT_TRUE(CTaskListDlg::BuildSql(29104, 3, 1).contains(
        QStringLiteral("Jobs.Creator<98  and (IIf(Items.Days2 > 0, Jobs.DateIn + Items.Days2 - 1, IIf(Items.Status "
                       "Between 1 And 254, Jobs.DateIn + Items.Status - 1))) = Date() ORDER BY")));
    exec(QStringLiteral("UPDATE Items SET Status = 0 WHERE ItemID = %1").arg(fold));
    onDialog<CTaskListDlg>([&](CTaskListDlg &d) {
        CXTable &t = d.table();
        EXPECT_GE(t.FindRowByLong(offsetRun), 0);
        // A service marked done is not listed without option bit 1.
        EXPECT_LT(t.FindRowByLong(fold), 0);
        EXPECT_EQ(t.m_title, QStringLiteral("Carla, 1 Service Scheduled for Any Day."));
        EXPECT_EQ(t.m_subtitle,
                  QStringLiteral("This list includes the Services of Orders in Progress (Services 'Finished' are NOT "
                                 "included)."));
        snapshot(d, QStringLiteral("task_list"));
        EXPECT_TRUE(d.OnStart());
        return d.result();
    });
    CTaskListDlg dialog(29105, 3, nullptr);
    ASSERT_EQ(dialog.DoModal(), int(IDOK));
    EXPECT_EQ(dialog.m_chosen, QList<qint32>{offsetRun});

    // A service never given a date, on an order that came in today, is to
    // be done today (day 1), as the scheduler shows it.
    exec(QStringLiteral("UPDATE Jobs SET DateIn = Date() WHERE JobID = %1").arg(jobId));
    exec(QStringLiteral("UPDATE Items SET Days2 = 0, Status = 1 WHERE ItemID = %1").arg(offsetRun));
    bool listedToday = false;
    onDialog<CTaskListDlg>([&](CTaskListDlg &d) {
        listedToday = d.table().FindRowByLong(offsetRun) >= 0;
        return int(IDCANCEL);
    });
    CTaskListDlg today(29104, 3, nullptr);
    today.DoModal();
    EXPECT_TRUE(listedToday);

    // Options: the finished services join the list, kept for this computer.
    bool finishedListed = false;
    onDialog<CTaskListDlg>([&](CTaskListDlg &d) {
        onDialog<CDlgOptions>([&](CDlgOptions &o) {
            EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Task List Options"));
            EXPECT_EQ(o.m_strStripText, QStringLiteral("(for this computer only)"));
            EXPECT_EQ(o.entry(0).m_text, QStringLiteral("Options:"));
            EXPECT_EQ(o.GetEntryText(CTaskListDlg::IncludeFinished), QStringLiteral("Include 'Finished' Services"));
            EXPECT_EQ(o.GetEntryText(CTaskListDlg::ShowInfo),
                      QStringLiteral("Show 'Info' icon if a Service is already started (may increase query time)"));
            o.tree()->SetOptionChecked(CTaskListDlg::IncludeFinished, true);
            o.SendCommand(1);
            return o.result();
        });
        d.SendCommand(30540);
        finishedListed = d.table().FindRowByLong(fold) >= 0;
        EXPECT_EQ(d.table().m_subtitle, QStringLiteral("This list includes the Services of Orders in Progress."));
        return int(IDCANCEL);
    });
    CTaskListDlg withFinished(29105, 3, nullptr);
    withFinished.DoModal();
    EXPECT_TRUE(finishedListed);
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("TaskList-Options"), 0), int(CTaskListDlg::IncludeFinished));
}
