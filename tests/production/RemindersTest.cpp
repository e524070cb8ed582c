#include "ScheduleFixture.h"

#include "app/base/Appearance.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "production/reminders/CTodoDlg.h"
#include "production/reminders/CTodoList.h"
#include "production/schedule/CViewSchedule.h"
#include "views/RemindersService.h"
#include "views/CDlgOptions.h"
#include "controls/CXTreeOptCtrl.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPlainTextEdit>

namespace {

constexpr int kJobs = 30001;
constexpr int kServices = 30002;
constexpr int kCustomers = 30003;
constexpr int kReceivables = 30004;

class Reminders : public ScheduleTest
{
protected:
    void SetUp() override
    {
        ScheduleTest::SetUp();
        exec(QStringLiteral("DELETE FROM Todos"));
        exec(QStringLiteral("DELETE FROM ServiceCategories WHERE CatNo = 101"));
        exec(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) VALUES (101, 2, "
                            "'Paper', 3, 3)"));
        exec(QStringLiteral("DELETE FROM Services WHERE SerNo = 1"));
        exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) VALUES (1, 101, "
                            "'Bond 20', 0, 0, 1)"));
        m_job = addOrder(500, 0, today(), today().addDays(5));
    }

    qint32 addTodo(int viewId, qint32 refId, int who, const QDate &when, int status, const QString &note)
    {
        exec(QStringLiteral("INSERT INTO Todos (ViewID, RefID, TypeID, Who, [When], [Time], Opt1, Status, Note) "
                            "VALUES (%1, %2, 1, %3, #%4#, '9 am', 0, %5, '%6')")
                 .arg(viewId)
                 .arg(refId)
                 .arg(who)
                 .arg(when.toString(QStringLiteral("MM/dd/yyyy")))
                 .arg(status)
                 .arg(note));
        return scalar(QStringLiteral("SELECT Max(TodoID) FROM Todos")).toInt();
    }

    QStringList notes(CTodoList &list)
    {
        QStringList out;
        for (int row = 0; row < list.list()->GetItemCount(); ++row)
            out << list.list()->GetItemText(row, 5);
        return out;
    }

    qint32 m_job = 0;
};

TEST_F(Reminders, ACustomersListShowsCustomersAndReceivablesReminders)
{
    addTodo(kCustomers, 100, 3, today(), 0, QStringLiteral("Call about the proof"));
    addTodo(kReceivables, 100, 0, today().addDays(1), 0, QStringLiteral("Ask for payment"));
    addTodo(kCustomers, 100, 3, today().addDays(-1), 3, QStringLiteral("Finished"));
    addTodo(kJobs, m_job, 3, today(), 0, QStringLiteral("Job reminder"));
    addTodo(kCustomers, 200, 3, today(), 0, QStringLiteral("Other customer"));

    CTodoList list(0, kCustomers, 100, 90, nullptr);
    list.m_strCaption = QStringLiteral("Acme Printing Co");
    onDialog<CTodoList>([&](CTodoList &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Reminders"));
        EXPECT_EQ(d.m_strRibbonTitle, QStringLiteral("My Reminders To-Do: Acme Printing Co"));
        EXPECT_EQ(notes(d), (QStringList{QStringLiteral("Call about the proof"), QStringLiteral("Ask for payment")}));
        EXPECT_EQ(d.filter(), QStringLiteral("(ViewID = 30003 or ViewID = 30004) and RefID = 100 and Status < 3"));
        CXListCtrl &l = *d.list();
        EXPECT_EQ(l.GetItemText(0, 3), QStringLiteral("Carla"));
        EXPECT_EQ(l.GetItemText(0, 4), Appearance::GetViewName(kCustomers) + QStringLiteral(": Acme Printing Co"));
        EXPECT_EQ(l.GetItemText(1, 4), Appearance::GetViewName(kReceivables) + QStringLiteral(": Acme Printing Co"));
        EXPECT_EQ(l.GetItemText(0, 6), QStringLiteral("To-Do"));
        EXPECT_EQ(l.GetSubItemImage(0, 0), 48);
        EXPECT_EQ(l.GetSubItemImage(0, 7), 169);
        // For one record: no options, and nothing to open.
        EXPECT_LT(d.topRibbon().FindItem(30540), 0);
        EXPECT_TRUE(d.okText().isEmpty());
        EXPECT_EQ(d.bottomRibbon().GetItemText(30262), QStringLiteral("Listed: 2"));
        // Everyone's reminders, done ones too, for this window only.
        d.SendCommand(29820);
        EXPECT_EQ(notes(d).size(), 3);
        snapshot(d, QStringLiteral("reminders"));
        return 2;
    });
    list.DoModal();
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("Reminder Default"), 29831), 29831);
}

TEST_F(Reminders, AllSectionsAndTheMyListWithoutADefaultCsr)
{
    addTodo(kCustomers, 100, 5, today(), 0, QStringLiteral("For Ben"));
    addTodo(kJobs, m_job, 3, today(), 0, QStringLiteral("For Carla"));
    addTodo(kServices, 0, 0, today(), 0, QStringLiteral("For everyone"));
    app->WriteSettingInt(QStringLiteral("Reminder Section"), 1);
    app->WriteSettingInt(QStringLiteral("Reminder Default"), 29830);
    app->m_nDefaultCsr = 0;

    {
        CTodoList list(0, kJobs, 0, 90, nullptr);
        list.m_strCaption = Appearance::GetViewName(kJobs);
        onDialog<CTodoList>([&](CTodoList &d) {
            EXPECT_EQ(d.m_strRibbonTitle, QStringLiteral("My Reminders: All Sections"));
            EXPECT_EQ(notes(d).size(), 3);
            EXPECT_GE(d.topRibbon().FindItem(30540), 0);
            return 2;
        });
        list.DoModal();
    }
    app->m_nDefaultCsr = 3;
    {
        CTodoList list(0, kJobs, 0, 90, nullptr);
        list.m_strCaption = Appearance::GetViewName(kJobs);
        onDialog<CTodoList>([&](CTodoList &d) {
            EXPECT_EQ(notes(d), (QStringList{QStringLiteral("For Carla"), QStringLiteral("For everyone")}));
            return 2;
        });
        list.DoModal();
    }
    // A list for one record ignores the setting.
    {
        CTodoList list(0, kJobs, m_job, 90, nullptr);
        list.m_strCaption = QStringLiteral("Order 500");
        onDialog<CTodoList>([&](CTodoList &d) {
            EXPECT_EQ(d.m_strRibbonTitle, QStringLiteral("My Reminders: Order 500"));
            EXPECT_EQ(notes(d), QStringList{QStringLiteral("For Carla")});
            return 2;
        });
        list.DoModal();
    }
}

TEST_F(Reminders, OnlyTheJobsListOffersToOpenTheJob)
{
    addTodo(kJobs, 0, 3, today().addDays(-1), 3, QStringLiteral("Done one"));
    const qint32 todo = addTodo(kJobs, m_job, 3, today(), 0, QStringLiteral("Proof due"));
    CTodoList list(0, kJobs, 0, 90, nullptr);
    list.m_strCaption = Appearance::GetViewName(kJobs);
    app->WriteSettingInt(QStringLiteral("Reminder Default"), 29820);
    CTodoList everyone(0, kJobs, 0, 90, nullptr);
    everyone.m_strCaption = Appearance::GetViewName(kJobs);
    onDialog<CTodoList>([&](CTodoList &d) {
        // The first unfinished reminder is selected.
        EXPECT_EQ(d.selectedTodo(), todo);
        EXPECT_EQ(d.selectedRef(), m_job);
        const QString reference = d.list()->GetItemText(1, 4);
        EXPECT_EQ(reference, Appearance::GetViewName(kJobs) + QStringLiteral(": Orders 500"));
        EXPECT_EQ(d.okText(), QStringLiteral("Open ") + reference);
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(everyone.DoModal(), 1);
    EXPECT_EQ(everyone.selectedRef(), m_job);
}

TEST_F(Reminders, SetStatusAndDeleteAskTwice)
{
    const qint32 first = addTodo(kCustomers, 100, 3, today(), 0, QStringLiteral("One"));
    addTodo(kCustomers, 100, 3, today().addDays(1), 0, QStringLiteral("Two"));
    app->WriteSettingInt(QStringLiteral("Reminder Default"), 29820);
    CTodoList list(0, kCustomers, 0, 90, nullptr);
    list.m_strCaption = Appearance::GetViewName(kCustomers);
    onDialog<CTodoList>([&](CTodoList &d) {
        EXPECT_EQ(d.OnSetStatus(3), 1);
        EXPECT_EQ(scalar(QStringLiteral("SELECT Status FROM Todos WHERE TodoID = %1").arg(first)).toInt(), 3);
        EXPECT_EQ(d.list()->GetItemText(0, 6), QStringLiteral("Done"));
        d.list()->SelectAll();
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDNO);
        EXPECT_EQ(d.OnDelete(), 0);
        prompts().answer(platform::IDYES);
        prompts().answer(platform::IDYES);
        d.list()->SelectAll();
        EXPECT_EQ(d.OnDelete(), 2);
        return 2;
    });
    list.DoModal();
    EXPECT_TRUE(list.changed());
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Todos")).toInt(), 0);
    const QStringList texts = prompts().texts();
    EXPECT_TRUE(texts.contains(QStringLiteral("Do you want to delete selected records?")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Are you sure you want to delete selected records?")));
}

TEST_F(Reminders, AnEmptyListOpensANewReminder)
{
    CTodoList list(0, kJobs, 0, 90, nullptr);
    list.m_strCaption = Appearance::GetViewName(kJobs);
    onDialog<CTodoList>([&](CTodoList &) {
        QApplication::processEvents();
        return 2;
    });
    onDialog<CTodoDlg>([&](CTodoDlg &d) {
        EXPECT_EQ(d.title(), QStringLiteral("New Reminder for Jobs"));
        EXPECT_EQ(d.combo(1204)->count(), 2);
        EXPECT_EQ(d.combo(2043)->itemText(0), QStringLiteral("8 am"));
        EXPECT_EQ(d.combo(2043)->itemText(4), QStringLiteral("Noon"));
        EXPECT_EQ(d.combo(2043)->itemText(10), QStringLiteral("6 pm"));
        d.noteEdit()->setPlainText(QStringLiteral("Order paper"));
        SaveSnapshot(d, QStringLiteral("schedule"), QStringLiteral("reminder"));
        d.SendCommand(1);
        return d.result();
    });
    list.DoModal();
    EXPECT_TRUE(list.changed());
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT ViewID, RefID, Who, Status, Note FROM Todos")),
              QStringLiteral("30001|0|0|0|Order paper"));
}

TEST_F(Reminders, TheRecordWindowNamesItsSubject)
{
    const qint32 service = addTodo(kServices, 1, 3, today(), 1, QStringLiteral("Reorder"));
    CTodoDlg dialog(service, kServices, 1, 90, nullptr);
    onDialog<CTodoDlg>([&](CTodoDlg &d) {
        EXPECT_EQ(d.title(), QStringLiteral("Reminder for Paper: Bond 20 (1)"));
        // "In Progress" has no entry: none is shown, and the state is kept.
        EXPECT_EQ(d.combo(1204)->currentIndex(), -1);
        EXPECT_EQ(d.combo(1202)->currentText(), QStringLiteral("Carla"));
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_FALSE(dialog.changed());

    CTodoDlg edit(service, kServices, 1, 90, nullptr);
    onDialog<CTodoDlg>([&](CTodoDlg &d) {
        d.noteEdit()->setPlainText(QStringLiteral("Reorder 10 cartons"));
        d.SendCommand(1);
        return d.result();
    });
    EXPECT_EQ(edit.DoModal(), 1);
    EXPECT_TRUE(edit.changed());
    EXPECT_EQ(sqliteRows(QStringLiteral("SELECT Status, Note FROM Todos WHERE TodoID = %1").arg(service)),
              QStringLiteral("1|Reorder 10 cartons"));

    const qint32 customer = addTodo(kCustomers, 100, 3, today(), 0, QString());
    CTodoDlg named(customer, kCustomers, 100, 90, nullptr);
    onDialog<CTodoDlg>([&](CTodoDlg &d) {
        EXPECT_EQ(d.title(), QStringLiteral("Reminder for Acme Printing Co (100)"));
        return 2;
    });
    named.DoModal();
}

TEST_F(Reminders, AReminderWhoseSubjectIsGoneOrThatIsMissing)
{
    const qint32 gone = addTodo(kJobs, 99999, 3, today(), 0, QStringLiteral("Old"));
    prompts().answer(platform::IDOK);
    CTodoDlg dialog(gone, kJobs, 99999, 90, nullptr);
    EXPECT_EQ(dialog.DoModal(), CTodoDlg::kSubjectGone);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Please delete this task. Could not find the subject:\n\n") + CTodoDlg::SubjectSql(kJobs)
                  + QStringLiteral("99999"));

    prompts().answer(platform::IDOK);
    CTodoDlg missing(gone + 100, kJobs, 0, 90, nullptr);
    EXPECT_EQ(missing.DoModal(), 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Could not find/open the task."));
}

TEST_F(Reminders, TheRibbonCountsTheRecordsReminders)
{
    // "Today" follows the chosen list (My To-Do); "Later" counts everyone's.
    app->m_nDefaultCsr = 3;
    app->WriteSettingInt(QStringLiteral("Reminder Default"), 29831);
    addTodo(kJobs, m_job, 3, today(), 0, QStringLiteral("Today"));
    addTodo(kJobs, m_job, 3, today().addDays(3), 0, QStringLiteral("Later"));
    addTodo(kJobs, m_job, 5, today().addDays(4), 0, QStringLiteral("For Ben, later"));
    addTodo(kJobs, m_job, 3, today().addDays(-3), 3, QStringLiteral("Done"));
    CXRibbon ribbon;
    ribbon.Create(nullptr, 1, 90, 1, 131, 1, 0, 0, 0, 0, 0);
    ribbon.AddItem(8900, QStringLiteral("Reminders"), 0, 131, 96, 2, 2084, 0, 0, 110);
    UpdateReminderCounts(&ribbon, kJobs, m_job);
    EXPECT_EQ(ribbon.itemAt(ribbon.FindItem(8900)).text2, QStringLiteral("Reminders: 1 Today + 2 Later"));
}

TEST_F(Reminders, AViewShowsItsDueRemindersAsItOpensAndPopsTheListUpWhenAsked)
{
    constexpr int kScheduler = 30007;
    addTodo(kScheduler, 0, 0, today(), 0, QStringLiteral("Order paper"));
    addTodo(kScheduler, 0, 0, today().addDays(2), 0, QStringLiteral("Clean press"));
    int opened = 0;
    SetRemindersOpener([&](const RemindersRequest &request, QWidget *) {
        EXPECT_EQ(request.viewId, kScheduler);
        ++opened;
        return RemindersAnswer();
    });
    for (int option : {0, 1}) {
        app->WriteSettingInt(QStringLiteral("Reminder Option"), option);
        opened = 0;
        CViewSchedule view;
        view.OnInitialUpdate();
        QApplication::processEvents();
        const struct_RIB_ITEM &item = view.mainBar()->itemAt(view.mainBar()->FindItem(8900));
        EXPECT_EQ(item.text2, QStringLiteral("Reminders: 1 Today + 1 Later"));
        EXPECT_EQ(item.imageIndex, 83);
        EXPECT_EQ(opened, option) << option;
    }
    SetRemindersOpener(nullptr);
}

} // namespace

namespace {

TEST_F(Reminders, OptionsAreKeptForThisComputer)
{
    addTodo(kJobs, m_job, 3, today(), 0, QStringLiteral("Proof due"));
    CTodoList list(0, kJobs, 0, 90, nullptr);
    list.m_strCaption = Appearance::GetViewName(kJobs);
    onDialog<CTodoList>([&](CTodoList &d) {
        onDialog<CDlgOptions>([&](CDlgOptions &o) {
            EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Reminders"));
            EXPECT_EQ(o.GetEntryText(29830), QStringLiteral("My Reminders"));
            o.tree()->SetOptionChecked(29820, true);
            o.tree()->SetOptionChecked(11, true);
            o.tree()->SetOptionChecked(2, true);
            o.SendCommand(1);
            return o.result();
        });
        EXPECT_TRUE(d.OnOptions());
        EXPECT_EQ(d.listChoice(), 29820);
        EXPECT_EQ(d.m_strRibbonTitle, QStringLiteral("Everyone's Reminders: All Sections"));
        prompts().answer(platform::IDOK);
        d.SendCommand(30262);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("FILTER:\n\nViewID > 0"));
        return 2;
    });
    list.DoModal();
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("Reminder Default"), 0), 29820);
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("Reminder Section"), 0), 1);
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("Reminder Option"), 0), 1);
}

} // namespace
