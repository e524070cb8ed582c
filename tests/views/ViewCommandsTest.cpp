#include "DialogsFixture.h"

#include "controls/CHtmlCtrl.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/AppDataServices.h"
#include "data/CXDaoSet.h"
#include "platform/Settings.h"
#include "resources/Strings.h"
#include "views/CCompanyDlg.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CFavoritesDlg.h"
#include "views/CSetupGridDlg.h"
#include "views/CViewDefaults.h"
#include "views/CViewHome.h"

#include "app/base/ProgramPaths.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QScopeGuard>
#include <QtCore/QThread>
#include <QtGui/QImage>
#include <QtWidgets/QLineEdit>

namespace {

QString alertText(int type, int nth = 0)
{
    CXDaoSet s;
    s.Open(CXDaoSet::dbOpenSnapshot,
           QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = %1 ORDER BY AlertNo")
               .arg(type));
    for (int i = 0; i < nth && !s.IsEOF(); ++i)
        s.MoveNext();
    return s.IsEOF() ? QStringLiteral("<none>") : s.GetFieldValue(0).toString();
}

int count(const QString &sql)
{
    CXDaoSet s;
    s.Open(CXDaoSet::dbOpenSnapshot, sql);
    return s.IsEmptySet() ? 0 : s.GetLong(0);
}

} // namespace

class ViewCommandsTest : public DialogsTest
{
protected:
    void SetUp() override
    {
        DialogsTest::SetUp();
        InstallAppQueryReader(*app);
    }
};

TEST_F(ViewCommandsTest, SettingRowsAreMadeOnOkAndTheAccountsRowAtOnce)
{
    CViewDefaults view;
    // Cancel creates nothing; OK stores the grid's list and applies the workdays.
    onDialog<CSetupGridDlg>([](CSetupGridDlg &) { return 0; });
    view.EditSetupTable(101, 0, 30);
    EXPECT_EQ(alertText(100), QStringLiteral("<none>"));
    onDialog<CSetupGridDlg>([](CSetupGridDlg &d) {
        EXPECT_EQ(d.propertyGrid()->GetRowCount(), 4);
        d.propertyGrid()->SetRowValue(1, 3);
        d.propertyGrid()->SetRowValue(2, 1);
        return 1;
    });
    view.EditSetupTable(101, 0, 30);
    EXPECT_EQ(alertText(100), QStringLiteral("3,1,0,"));
    EXPECT_TRUE(app->saturdayWorkday());
    EXPECT_FALSE(app->sundayWorkday());

    // The job options keep the blank separator row in the list; it shows
    // nothing and takes no typing. Unit prices: choice 0 is the service's
    // own unit, for items as for services.
    onDialog<CSetupGridDlg>([](CSetupGridDlg &d) {
        CXGridProp &grid = *d.propertyGrid();
        EXPECT_EQ(grid.GetRowCount(), 12);
        EXPECT_EQ(grid.GetRowValue(1), 1);
        grid.SetRowValue(1, 0);
        EXPECT_EQ(grid.rowText(1), QStringLiteral("Use Service Property"));
        EXPECT_EQ(grid.rowText(3), QStringLiteral("Use Service Property"));
        // The separator keeps its stored item but shows nothing and opens no editor.
        EXPECT_EQ(grid.rowText(4), QStringLiteral("0"));
        const QImage shown = grid.grab().toImage();
        grid.SetRowText(4, QString());
        EXPECT_EQ(grid.grab().toImage(), shown);
        grid.SetRowText(4, QStringLiteral("0"));
        grid.EditRow(4);
        EXPECT_TRUE(!grid.editor() || grid.editor()->isHidden());
        EXPECT_EQ(grid.GetRowValue(5), 1);
        grid.SetRowValue(5, 0);
        return 1;
    });
    view.EditSetupTable(301, 0, 30);
    EXPECT_EQ(alertText(251), QStringLiteral("0,1,0,0,0,1,0,1,0,1,1,"));
    // A no-change OK keeps every item.
    onDialog<CSetupGridDlg>([](CSetupGridDlg &) { return 1; });
    view.EditSetupTable(301, 0, 30);
    EXPECT_EQ(alertText(251), QStringLiteral("0,1,0,0,0,1,0,1,0,1,1,"));

    // The accounts row is made at the first opening, even when cancelled,
    // with the standard numbers; OK writes the edited column back.
    exec(QStringLiteral("DELETE FROM CustomerAlerts WHERE AlertType = 255"));
    onDialog<CSetupGridDlg>([](CSetupGridDlg &d) {
        EXPECT_EQ(d.grid(0)->GetCellText(8, 0), QStringLiteral("QuickSales Payment"));
        EXPECT_EQ(d.grid(0)->GetCellText(0, 1), QStringLiteral("1152"));
        return 0;
    });
    view.EditSetupTable(506, 0, 30);
    EXPECT_EQ(alertText(255), LoadResourceString(48000));
    onDialog<CSetupGridDlg>([](CSetupGridDlg &d) {
        d.grid(0)->SetCellText(1, 1, QStringLiteral("701"));
        return 1;
    });
    view.EditSetupTable(506, 0, 30);
    EXPECT_EQ(alertText(255), QStringLiteral("1152,701,4800,7390,7560,2150,2160,1151,1153,1490,"));
}

TEST_F(ViewCommandsTest, RoundUpBreaksAreTwoRowsWrittenInOrder)
{
    CViewDefaults view;
    onDialog<CSetupGridDlg>([](CSetupGridDlg &) { return 0; });
    view.EditSetupTable(307, 0, 30);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM CustomerAlerts WHERE AlertType = 254")), 0);
    onDialog<CSetupGridDlg>([](CSetupGridDlg &d) {
        d.grid(0)->SetCellValue(0, 0, 500);
        d.grid(0)->SetCellValue(0, 1, 25);
        return 1;
    });
    view.EditSetupTable(307, 0, 30);
    ASSERT_EQ(count(QStringLiteral("SELECT Count(*) FROM CustomerAlerts WHERE AlertType = 254")), 2);
    EXPECT_TRUE(alertText(254, 0).startsWith(QStringLiteral("500,")));
    EXPECT_TRUE(alertText(254, 1).startsWith(QStringLiteral("25,")));
    // Only the second save beeps.
    int beeps = 0;
    for (const platform::PromptRecord &r : prompts().shown())
        beeps += r.kind == platform::PromptRecord::Kind::Beep;
    EXPECT_EQ(beeps, 1);

    // A second OK edits the same two rows.
    onDialog<CSetupGridDlg>([](CSetupGridDlg &d) {
        EXPECT_EQ(d.grid(0)->GetCellValue(0, 0), 500);
        d.grid(0)->SetCellValue(1, 0, 1000);
        return 1;
    });
    view.EditSetupTable(307, 0, 30);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM CustomerAlerts WHERE AlertType = 254")), 2);
    EXPECT_TRUE(alertText(254, 0).startsWith(QStringLiteral("500,1000,")));

    // Another workstation saves the breaks while this window is open: the
    // rows are matched by their price, only what this user changed is
    // written, and a row both changed apart is asked about by its price.
    const QString question = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\nSave what "
        "you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either "
        "way. Cancel saves nothing now.");
    const QString asked = QStringLiteral("5.00, Round Up: the other user's \"0.30\", yours \"0.40\"");
    const struct
    {
        const char *what;
        const char *otherLimits, *otherSteps; // the other's save (shown: 500,1000 and 25,50)
        int row, column, typed;               // this user's change
        int answer;                           // 0: no question
        const char *limits, *steps;           // stored afterwards
    } cases[] = {
        {"the other added a row that sorts first", "200,500,1000,", "10,25,50,", 1, 1, 75, 0, "200,500,1000,0,",
         "10,25,75,0,"},
        {"the other deleted the row above", "1000,", "50,", 1, 1, 75, 0, "1000,0,", "75,0,"},
        {"a row added here, another changed there", "500,1000,", "25,60,", 2, 0, 300, 0, "300,500,1000,0,",
         "0,25,60,0,"},
        {"the same row changed apart, Yes", "500,1000,", "30,50,", 0, 1, 40, platform::IDYES, "500,1000,0,",
         "40,50,0,"},
        {"the same row changed apart, No", "500,1000,", "30,50,", 0, 1, 40, platform::IDNO, "500,1000,0,",
         "30,50,0,"},
        {"the same row changed apart, Cancel", "500,1000,", "30,50,", 0, 1, 40, platform::IDCANCEL, "500,1000,",
         "30,50,"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM CustomerAlerts WHERE AlertType = 254"));
        exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText, AlertColor, AlertSound, "
                            "AlertPrint) VALUES (0, 254, '500,1000,', 0, 0, 0)"));
        exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText, AlertColor, AlertSound, "
                            "AlertPrint) VALUES (0, 254, '25,50,', 0, 0, 0)"));
        prompts().clear();
        int shown = 0;
        const auto typeOver = [&](CSetupGridDlg &d) {
            if (++shown > 1) {
                // Shown again after Cancel, with the typing kept.
                EXPECT_EQ(d.grid(0)->GetCellValue(c.row, c.column), c.typed);
                return 0;
            }
            exec(QStringLiteral("UPDATE CustomerAlerts SET AlertText = '%1' WHERE AlertType = 254 AND AlertText = "
                                "'500,1000,'")
                     .arg(QString::fromLatin1(c.otherLimits)));
            exec(QStringLiteral("UPDATE CustomerAlerts SET AlertText = '%1' WHERE AlertType = 254 AND AlertText = "
                                "'25,50,'")
                     .arg(QString::fromLatin1(c.otherSteps)));
            d.grid(0)->SetCellValue(c.row, c.column, c.typed);
            return 1;
        };
        onDialog<CSetupGridDlg>(typeOver);
        if (c.answer == platform::IDCANCEL)
            onDialog<CSetupGridDlg>(typeOver);
        if (c.answer != 0)
            prompts().answer(c.answer);
        view.EditSetupTable(307, 0, 30);
        EXPECT_TRUE(alertText(254, 0).startsWith(QString::fromLatin1(c.limits))) << alertText(254, 0).toStdString();
        EXPECT_TRUE(alertText(254, 1).startsWith(QString::fromLatin1(c.steps))) << alertText(254, 1).toStdString();
        QStringList expected;
        if (c.answer != 0)
            expected << question.arg(asked);
        EXPECT_EQ(prompts().texts(), expected);
        EXPECT_EQ(shown, c.answer == platform::IDCANCEL ? 2 : 1);
    }
}

TEST_F(ViewCommandsTest, PasswordsNeedTheTopLevelAndShowFixedTaskNames)
{
    exec(QStringLiteral("UPDATE Passwords SET [Password] = 'boss' WHERE [No] = 1"));
    app->setDataEntryDialog([](QString &, int, const QString &, const QString &, const QString &) { return 2; });
    CViewDefaults view;
    view.EditSetupTable(102, 0, 30); // refused: no window at all
    EXPECT_EQ(prompts().pendingAnswers(), 0);

    app->m_nSecurityLevel = 0;
    onDialog<CSetupGridDlg>([](CSetupGridDlg &d) {
        EXPECT_EQ(d.grid(0)->GetRowCount(), 5);
        EXPECT_EQ(d.grid(1)->GetRowCount(), 70);
        EXPECT_EQ(d.grid(0)->GetCellText(0, 1), QStringLiteral("Top Level (Master Password)"));
        EXPECT_EQ(d.grid(0)->GetCellText(0, 2), QStringLiteral("boss"));
        EXPECT_EQ(d.grid(1)->GetCellText(6, 1), QStringLiteral("Goto Settings"));
        // The task grid stands beside the level grid.
        EXPECT_EQ(d.grid(1)->y(), d.grid(0)->y());
        EXPECT_GT(d.grid(1)->x(), d.grid(0)->x() + d.grid(0)->width());
        return 0;
    });
    view.EditSetupTable(102, 0, 30);
}

TEST_F(ViewCommandsTest, OptionEntriesSaveTheirGroups)
{
    CViewDefaults view;
    onDialog<CDlgOptions>([](CDlgOptions &d) {
        d.tree()->SetOptionChecked(4430902, true);
        return press(d, 1);
    });
    view.EditSetupTable(304, 0, 30);
    EXPECT_EQ(count(QStringLiteral("SELECT OptionSum FROM Options WHERE OptionID = 44309")), 2);
    EXPECT_EQ(LoadResourceString(44323).section(QLatin1Char(','), 0, 0), QStringLiteral("Quote to Order:"));
}

TEST_F(ViewCommandsTest, FavoritePostingReportsAreChosenFromTheirList)
{
    CViewDefaults view;
    onDialog<CDlgOptions>([](CDlgOptions &d) {
        // The posting's printouts, invoices first and the "Sales by" lists after.
        EXPECT_EQ(d.GetEntryText(4435101), QStringLiteral("Posted Invoices"));
        EXPECT_EQ(d.GetEntryText(4435115), QStringLiteral("Sales by Tax Type"));
        d.tree()->SetOptionChecked(4435101, true);
        d.tree()->SetOptionChecked(4435103, true);
        return press(d, 1);
    });
    view.EditSetupTable(203, 0, 30);
    EXPECT_EQ(count(QStringLiteral("SELECT OptionSum FROM Options WHERE OptionID = 44351")), 5);
}

TEST_F(ViewCommandsTest, FavouriteAddedFromAListIsFoundAndListedAgain)
{
    CView0 view(30001);
    view.resize(900, 600);
    view.OnInitialUpdate();
    view.LoadTreeBranches(IDS_JOB_LISTS_ORDERS, IDS_JOB_LISTS_ORDERS, 0, 0);
    view.SelectTreeCode(2);
    view.setFilter(QStringLiteral("Status = 1"), QStringLiteral("Jobs.Status = 1"));
    onDialog<CDlgData>([](CDlgData &d) {
        EXPECT_EQ(d.edit()->text(), QStringLiteral("Orders In Progress"));
        d.edit()->setText(QStringLiteral("Busy orders"));
        return press(d, 1);
    });
    view.OnCommand(30126);
    EXPECT_EQ(alertText(200), QStringLiteral("Jobs \u00B7 Busy orders \u00B7 Status = 1 \u00B7 Jobs.Status = 1"));

    view.SelectTreeCode(1);
    view.ClearFilter();
    onDialog<CFavoritesDlg>([](CFavoritesDlg &d) {
        d.tree()->setCurrentItem(d.tree()->topLevelItem(0)->child(0));
        return press(d, 1);
    });
    view.OnCommand(30124);
    EXPECT_EQ(view.chosenCode(), 2);
    EXPECT_EQ(view.listCaption(), QStringLiteral("Busy orders"));
    EXPECT_EQ(view.filterText(), QStringLiteral("Status = 1"));
    EXPECT_EQ(view.filterSql(), QStringLiteral("Jobs.Status = 1"));

    // A name is a name whatever it holds: the separator and SQL text in it
    // never reach the filter.
    const QString odd = QStringLiteral("x \u00B7 y \u00B7 1=1) OR (1=1");
    prompts().clear();
    onDialog<CDlgData>([&](CDlgData &d) {
        d.edit()->setText(odd);
        return press(d, 1);
    });
    view.OnCommand(30126);
    view.ClearFilter();
    onDialog<CFavoritesDlg>([&](CFavoritesDlg &d) {
        QTreeWidgetItem *group = d.tree()->topLevelItem(0);
        for (int i = 0; i < group->childCount(); ++i)
            if (group->child(i)->text(0) == odd)
                d.tree()->setCurrentItem(group->child(i));
        return press(d, 1);
    });
    view.OnCommand(30124);
    EXPECT_EQ(view.listCaption(), odd);
    EXPECT_EQ(view.filterText(), QStringLiteral("Status = 1"));
    EXPECT_EQ(view.filterSql(), QStringLiteral("Jobs.Status = 1"));
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ViewCommandsTest, CsrSecurityAndKeyCheckCommands)
{
    CView0 view(30001);
    view.OnInitialUpdate();
    app->setTreePicker([](quint8 kind, int &code) {
        EXPECT_EQ(kind, 2);
        code = 3;
        return 1;
    });
    view.OnCommand(30520);
    EXPECT_EQ(app->m_nDefaultCsr, 3);
    EXPECT_EQ(platform::Settings::readInt(QStringLiteral("Settings"), QStringLiteral("DefCSR"), 0), 3);
    EXPECT_EQ(view.mainBar()->GetItemText(30520), app->GetEmployeeName(3));

    app->setChoiceDialog([](CZqApp::ChoiceDialog &d) {
        d.groups[0].entries[0].checked = true; // all passwords on
        return 1;
    });
    view.OnCommand(30512);
    EXPECT_TRUE(view.mainBar()->isBlinking(30512));

    // The key check clears the job locks and says it ended.
    exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (-77, 1)"));
    prompts().answer(platform::IDOK);
    view.OnCommand(30574);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), 0);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The keys and indexes of the database are checked."));

    // Compaction without reindexing asks first; No leaves everything.
    prompts().answer(platform::IDNO);
    view.OnCommand(30577);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Compact without reindexing?"));
}

TEST_F(ViewCommandsTest, CompactReminderDaysAndRefusedExpertCommands)
{
    CViewHome home;
    home.OnInitialUpdate();
    onDialog<CDlgOptions>([](CDlgOptions &d) {
        d.tree()->SetOptionChecked(2, true);
        d.tree()->SetOptionChecked(5, true);
        return press(d, 1);
    });
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("CompactID"), QStringLiteral("x"));
    home.OnCommand(30540);
    EXPECT_EQ(platform::Settings::readInt(QStringLiteral("Settings"), QStringLiteral("CompactOpt"), 0), 18);
    EXPECT_EQ(platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("CompactID"), QString()),
              QString());

    // Without the top-level password the expert commands stop silently.
    exec(QStringLiteral("UPDATE Passwords SET [Password] = 'boss' WHERE [No] = 1"));
    exec(QStringLiteral("INSERT INTO Payments (CusNo) VALUES (40)"));
    app->setDataEntryDialog([](QString &, int, const QString &, const QString &, const QString &) { return 2; });
    prompts().clear();
    home.OnCommand(30510);
    home.OnCommand(30519);
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Payments")), 1);
}

// My Company edits the shop's identity where documents read it: the name and
// address of customer 1, the phone and fax of its buyer, added the first
// time; the page and the application's copy show the change at once.
TEST_F(ViewCommandsTest, MyCompanyEditsTheShopsIdentityAndShowsItAtOnce)
{
    app->LoadCompanyInfo();
    CViewHome home;
    home.OnInitialUpdate();
    auto fill = [](const QStringList &texts) {
        return [texts](CCompanyDlg &d) {
            for (int i = 0; i < texts.size(); ++i)
                d.edit(i)->setText(texts[i]);
            return press(d, 1);
        };
    };
    // A name is required: the dialog stays open and writes nothing.
    onDialog<CCompanyDlg>([&](CCompanyDlg &d) {
        d.edit(0)->setText(QStringLiteral("  "));
        prompts().answer(platform::IDOK);
        d.SendCommand(1);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please enter your company's name."));
        EXPECT_TRUE(d.isVisible());
        return press(d, 2);
    });
    home.OnCommand(CViewHome::kEditCompany);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Contacts WHERE CusNo = 1")), QStringLiteral("0"));

    onDialog<CCompanyDlg>(fill({QStringLiteral("Bright Print"), QStringLiteral("12 Mill Road"),
                                QStringLiteral("Springfield"), QStringLiteral("OR"), QStringLiteral("97477"),
                                QStringLiteral("(541) 555-0100"), QStringLiteral("(541) 555-0199")}));
    home.OnCommand(CViewHome::kEditCompany);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name, Address, City, State, Zip FROM Customers WHERE CusNo = 1")),
              QStringLiteral("Bright Print|12 Mill Road|Springfield|OR|97477"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Phone, Fax FROM Contacts INNER JOIN Customers ON Contacts.ContactNo = "
                                    "Customers.BuyerNo WHERE Customers.CusNo = 1")),
              QStringLiteral("(541) 555-0100|(541) 555-0199"));
    EXPECT_EQ(app->m_company.FormatAddress(3),
              QStringLiteral("Bright Print \u00B7 12 Mill Road \u00B7 Springfield OR 97477 \u00B7 (541) 555-0100"));

    // A second edit changes the same contact; what the file holds is what a
    // restart reads.
    onDialog<CCompanyDlg>(fill({QStringLiteral("Bright Print & Copy")}));
    home.OnCommand(CViewHome::kEditCompany);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Contacts WHERE CusNo = 1")), QStringLiteral("1"));
    EXPECT_EQ(app->m_company.m_strName, QStringLiteral("Bright Print & Copy"));
    const QString shown = app->m_company.FormatAddress(4);
    app->LoadCompanyInfo();
    EXPECT_EQ(app->m_company.FormatAddress(4), shown);

    // The page shows the name as typed: text, never markup.
    onDialog<CCompanyDlg>(fill({QStringLiteral("Smith & Sons <Print>")}));
    home.OnCommand(CViewHome::kEditCompany);
    home.tree()->setCurrentItem(home.tree()->FindItemByData(103));
    home.OnCommand(30401);
    EXPECT_TRUE(home.browser()->toPlainText().contains(QStringLiteral("Smith & Sons <Print>")))
        << home.browser()->toPlainText().toStdString();
    EXPECT_TRUE(home.browser()->toPlainText().contains(QStringLiteral("MY COMPANY")));
}

// Two workstations on My Company. B's program read the shop's identity at
// start-up; A saves, before B opens the window or while it is open; B
// changes some fields and presses OK. What A saved and B left alone stays;
// a field both changed to different values is put to B by its label.
TEST_F(ViewCommandsTest, MyCompanySavedOverAnotherWorkstationsSaveKeepsBoth)
{
    const QString kAsked = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\nSave what you "
        "typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either way. "
        "Cancel saves nothing now.");
    struct Case
    {
        const char *what;
        bool aWhileOpen;  // A saves while B's window is open (else before B opens it)
        const char *aCustomer; // A's SET clause on customer 1
        const char *aContact;  // A's SET clause on its buyer
        QList<std::pair<int, const char *>> byB; // field, text
        int answer;
        const char *asked;
        const char *stored; // Name|Address|City|Phone|Fax
    };
    const QList<Case> cases = {
        {"A before B opens: B's fax only", false, "Address = '9 New Street'", "Phone = '555-0200'", {{6, "555-0299"}}, 0,
         "", "Bright Print|9 New Street|Springfield|555-0200|555-0299"},
        {"A while B's window is open: different fields", true, "Address = '9 New Street'", "Phone = '555-0200'",
         {{2, "Eugene"}, {6, "555-0299"}}, 0, "", "Bright Print|9 New Street|Eugene|555-0200|555-0299"},
        {"both change the address, B keeps his", true, "Address = '9 New Street', Name = 'Bright A'", "",
         {{1, "7 Old Lane"}}, platform::IDYES, "Address: the other user's \"9 New Street\", yours \"7 Old Lane\"",
         "Bright A|7 Old Lane|Springfield|555-0100|555-0199"},
        {"both change the phone, B keeps A's; B's fax saved", true, "", "Phone = '555-0200'",
         {{5, "555-0300"}, {6, "555-0299"}}, platform::IDNO, "Phone: the other user's \"555-0200\", yours \"555-0300\"",
         "Bright Print|12 Mill Road|Springfield|555-0200|555-0299"},
    };
    platform::Database other;
    other.open(SharedDatabase().name());
    CViewHome home;
    home.OnInitialUpdate();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("UPDATE Customers SET Name = 'Bright Print', Address = '12 Mill Road', City = "
                            "'Springfield' WHERE CusNo = 1"));
        if (sqlite(QStringLiteral("SELECT Count(*) FROM Contacts WHERE CusNo = 1")) == QStringLiteral("0")) {
            onDialog<CCompanyDlg>([](CCompanyDlg &d) {
                d.edit(5)->setText(QStringLiteral("555-0100"));
                return press(d, 1);
            });
            home.OnCommand(CViewHome::kEditCompany);
        }
        exec(QStringLiteral("UPDATE Contacts SET Phone = '555-0100', Fax = '555-0199' WHERE CusNo = 1"));
        // B's program reads the shop at start-up.
        app->LoadCompanyInfo();
        auto aSaves = [&] {
            if (*c.aCustomer)
                other.execute(QStringLiteral("UPDATE Customers SET %1 WHERE CusNo = 1").arg(QLatin1String(c.aCustomer)));
            if (*c.aContact)
                other.execute(QStringLiteral("UPDATE Contacts SET %1 WHERE CusNo = 1").arg(QLatin1String(c.aContact)));
        };
        if (!c.aWhileOpen)
            aSaves();
        prompts().clear();
        onDialog<CCompanyDlg>([&](CCompanyDlg &d) {
            if (c.aWhileOpen)
                aSaves();
            for (const auto &[field, text] : c.byB)
                d.edit(field)->setText(QString::fromUtf8(text));
            if (c.answer != 0)
                prompts().answer(c.answer);
            return press(d, 1);
        });
        home.OnCommand(CViewHome::kEditCompany);
        if (c.answer == 0)
            EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
        else
            EXPECT_EQ(prompts().texts(), QStringList({kAsked.arg(QString::fromUtf8(c.asked))}));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Customers.Name, Address, City, Phone, Fax FROM Customers INNER JOIN "
                                        "Contacts ON Contacts.ContactNo = Customers.BuyerNo WHERE Customers.CusNo = 1")),
                  QString::fromUtf8(c.stored));
        // B's program shows what the file holds.
        EXPECT_EQ(app->m_company.m_strAddress, QString::fromUtf8(c.stored).section(QLatin1Char('|'), 1, 1));
    }

    // Cancel on the question: nothing saved, the window stays open with
    // what was typed; OK again asks again.
    app->LoadCompanyInfo();
    prompts().clear();
    onDialog<CCompanyDlg>([&](CCompanyDlg &d) {
        other.execute(QStringLiteral("UPDATE Customers SET City = 'Salem' WHERE CusNo = 1"));
        d.edit(2)->setText(QStringLiteral("Bend"));
        d.edit(6)->setText(QStringLiteral("555-0999"));
        prompts().answer(platform::IDCANCEL);
        d.SendCommand(1);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.edit(2)->text(), QStringLiteral("Bend"));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT City FROM Customers WHERE CusNo = 1")), QStringLiteral("Salem"));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Fax FROM Contacts WHERE CusNo = 1")), QStringLiteral("555-0299"));
        prompts().answer(platform::IDYES);
        return press(d, 1);
    });
    home.OnCommand(CViewHome::kEditCompany);
    EXPECT_EQ(prompts().texts().size(), 2);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT City FROM Customers WHERE CusNo = 1")), QStringLiteral("Bend"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Fax FROM Contacts WHERE CusNo = 1")), QStringLiteral("555-0999"));
}

// The data tools are a companion program installed in the program's folder:
// started when it is there, plainly said to be missing when it is not.
TEST_F(ViewCommandsTest, DataToolsStartTheCompanionBesideTheProgramOrSayItIsNotInstalled)
{
    CViewHome home;
    home.OnInitialUpdate();
    const QString folder = GetProgramFolder();
    const QString companion = folder + QStringLiteral("TavrelDataTools");
    ASSERT_FALSE(QFileInfo::exists(companion)) << "a companion program is left in " << folder.toStdString();
    prompts().answer(platform::IDOK);
    home.OnCommand(30575);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The data tools are not installed.\n\nTavrel starts them as "
                                                   "\"TavrelDataTools\" from its own folder:\n") +
                                        folder);

    // Installed: it starts, in the program's folder, and nothing is asked.
    const QString marker = tempPath(QStringLiteral("started"));
    const auto removeCompanion = qScopeGuard([&companion] { QFile::remove(companion); });
    {
        QFile script(companion);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\npwd > '%1'\n").arg(marker).toUtf8());
    }
    QFile::setPermissions(companion, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    prompts().clear();
    home.OnCommand(30575);
    QDeadlineTimer deadline(10000);
    while (!QFileInfo(marker).size() && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_TRUE(prompts().shown().isEmpty());
    QFile started(marker);
    ASSERT_TRUE(started.open(QIODevice::ReadOnly));
    EXPECT_EQ(QDir(QString::fromUtf8(started.readAll()).trimmed()), QDir(folder));
}
