#include "ShellFixture.h"

#include "app/base/AppRestart.h"
#include "app/base/ProgramPaths.h"
#include "app/base/ScheduleChecks.h"
#include "shell/CAboutDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CPlaceholderView.h"
#include "controls/CXProgress.h"
#include "controls/DlgItem.h"
#include "data/SharedDatabase.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/LockFile.h"
#include "controls/CXTreeOptCtrl.h"
#include "views/CDlgOptions.h"
#include "views/CNoteDlg.h"
#include "views/CStatusDlg.h"
#include "views/CView0.h"
#include "views/CViewHome.h"
#include "controls/CHtmlCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "controls/CXListCtrl.h"
#include "support/ToolRun.h"
#include "estimating/CHtmlDlg.h"

#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtTest/QTest>

#include <QtGui/QScreen>
#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>
#include <QtWidgets/QAbstractButton>

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

namespace {
const QString kViewSettings = QStringLiteral("View Settings");
}

TEST_F(ShellTest, MissingDatabaseEndsTheStart)
{
    prompts().answer(IDNO);
    prompts().answer(IDOK);
    EXPECT_FALSE(shell->InitInstance());
    EXPECT_EQ(prompts().texts(),
              (QStringList{QStringLiteral("Tavrel 2010.0\ncannot find the database TavrelData.mdb\n\n\n\nWould you like "
                                          "to look for it?"),
                           QStringLiteral("Tavrel will end now. Please contact Halvane for a solution.")}));
    EXPECT_EQ(shell->mainFrame(), nullptr);
    EXPECT_EQ(shell->ExitInstance(1), 1);
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(ShellTest, StartsOnTheStoredViewWithTheShopOpen)
{
    makeDatabase();
    platform::Settings::writeInt(kViewSettings, QStringLiteral("ShowTabID"), 30005);
    platform::Settings::writeInt(QStringLiteral("Settings"), QStringLiteral("DefCSR"), 4);
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    EXPECT_EQ(prompts().texts(), screenWarning().isEmpty() ? QStringList() : QStringList{screenWarning()});

    CMainFrame *frame = shell->mainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Tavrel 2010.0"));
    EXPECT_EQ(frame->GetViewId(), 30005);
    EXPECT_TRUE(SharedDatabase().isOpen());
    EXPECT_EQ(app->m_nDefaultCsr, 4);
    // Loops of the lower layers now get the real progress window.
    EXPECT_NE(dynamic_cast<CStatusDlg *>(CXProgress::Create().get()), nullptr);

}

TEST_F(ShellTest, StartViewIsValidatedAgainstTheOfferedViews)
{
    struct Case { int mask; int start; int view; int offered; };
    const Case cases[] = {
        {511, 30005, 30005, 511}, {0, 30005, 30001, 511},  {-1, 30002, 30001, 511},
        {600, 30002, 30001, 511}, {511 & ~(1 << 7), 30005, 30001, 511}, {3, 30000, 30000, 3},
        {511, 30009, 30001, 511},
    };
    for (const Case &c : cases) {
        platform::Settings::writeInt(kViewSettings, QStringLiteral("ShowTabs"), c.mask);
        platform::Settings::writeInt(kViewSettings, QStringLiteral("ShowTabID"), c.start);
        const StartTab tab = LoadStartTab(*app);
        EXPECT_EQ(tab.viewId, c.view) << c.mask << " " << c.start;
        EXPECT_EQ(tab.mask, c.offered) << c.mask << " " << c.start;
        // The stored values stay as they were.
        EXPECT_EQ(platform::Settings::readInt(kViewSettings, QStringLiteral("ShowTabs")), c.mask);
    }
}

TEST_F(ShellTest, TabsShownFollowTheMaskCheckedAtStart)
{
    makeDatabase();
    // A stored mask out of range: this run offers every view, and the views'
    // tabs must say the same as the frame.
    platform::Settings::writeInt(kViewSettings, QStringLiteral("ShowTabs"), 0);
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    EXPECT_EQ(app->shownTabs(), 511);
    EXPECT_TRUE(app->IsTabShown(30003));
    EXPECT_TRUE(app->IsTabShown(30008));
    EXPECT_NE(shell->mainFrame()->SwitchView(30003), nullptr);
    // Choices saved during the run wait for the next start.
    platform::Settings::writeInt(kViewSettings, QStringLiteral("ShowTabs"), 3);
    EXPECT_TRUE(app->IsTabShown(30003));
}

TEST_F(ShellTest, UpgradeIsReportedOnceAfterTheWindowShows)
{
    makeDatabase();
    {
        platform::Database db;
        db.open(tempPath(QStringLiteral("TavrelData.mdb")));
        db.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = '2008.1' WHERE CusNo = 0 AND AlertType = 99"));
    }
    prompts().answer(IDYES);
    answerScreenWarning();
    prompts().answer(IDOK);
    ASSERT_TRUE(shell->InitInstance());
    const QStringList texts = prompts().texts();
    ASSERT_EQ(texts.size(), screenWarning().isEmpty() ? 2 : 3) << qPrintable(texts.join(QStringLiteral("|")));
    EXPECT_TRUE(texts.first().startsWith(QStringLiteral("Your database must be upgraded from version 2008.1 to 2010.0.")));
    // Reported after the main window was made (its screen check comes first).
    EXPECT_TRUE(texts.last().startsWith(QStringLiteral("Your database has been successfully upgraded.\nIt took ")));
    EXPECT_TRUE(texts.last().endsWith(
        QStringLiteral(" to upgrade.\n\nPlease continue with 'To Do After You Upgrade' section \nin the Upgrade Guide.")));
    EXPECT_EQ(prompts().shown().last().flags, unsigned(platform::MB_ICONINFORMATION));
    EXPECT_EQ(platform::Settings::readInt(CZqApp::kScheduler, QStringLiteral("List Options")), 1041);

    // The next start finds the file current and says nothing more.
    newShell();
    prompts().clear();
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    EXPECT_EQ(prompts().texts().size(), screenWarning().isEmpty() ? 0 : 1);
}

TEST_F(ShellTest, RestartStartsTheProgramAgainOnlyAfterANormalEnd)
{
    makeDatabase();
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    CMainFrame *frame = shell->mainFrame();

    prompts().answer(IDNO);
    shell->AskRestart(QStringLiteral("Your options will be applied next time you start Tavrel."));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Your options will be applied next time you start Tavrel.\n\nDo you "
                                                   "want to restart Tavrel now?"));
    EXPECT_EQ(prompts().shown().last().flags, unsigned(platform::MB_YESNO | platform::MB_ICONQUESTION));
    QCoreApplication::processEvents();
    EXPECT_FALSE(shell->restartRequested());
    EXPECT_TRUE(frame->isVisible());

    // An empty text restarts without a question: the window closes the
    // normal way and keeps its placement.
    frame->setGeometry(30, 40, 900, 700);
    const int before = prompts().shown().size();
    EXPECT_TRUE(AskRestart(QString())); // as the lower layers ask for it
    EXPECT_EQ(prompts().shown().size(), before);
    QCoreApplication::processEvents();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(platform::Settings::readString(CZqApp::kWindowPos, QStringLiteral("MainFrame")).isEmpty());
    EXPECT_EQ(shell->ExitInstance(0), 0);
    EXPECT_EQ(started, (QStringList{GetModulePath(), QStringLiteral("--Restart")}));
    EXPECT_FALSE(SharedDatabase().isOpen());

    // Not after an abnormal end.
    started.clear();
    newShell();
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    prompts().answer(IDYES);
    shell->AskRestart(QStringLiteral("You have changed settings."));
    EXPECT_TRUE(shell->restartRequested());
    EXPECT_EQ(shell->ExitInstance(2), 2);
    EXPECT_TRUE(started.isEmpty());

    // The placement is restored at the next start, kept on the screen: the
    // test's screen is 800 wide, so the 900-wide window at 30 comes back
    // 800 wide at its left edge.
    newShell();
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    ASSERT_EQ(shell->mainFrame()->screen()->availableGeometry(), QRect(0, 0, 800, 800));
    EXPECT_EQ(shell->mainFrame()->geometry(), QRect(0, 40, 800, 700));
}

TEST_F(ShellTest, AboutBoxShowsTheShopAndTheConnectedWorkstations)
{
    makeDatabase(QStringLiteral("Northside Print"));
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    const QString me = (platform::LockFile::computerName() + QStringLiteral(" (") + platform::LockFile::userName()
                        + QLatin1Char(')'))
                           .toUpper();
    prompts().onDialog([&](QDialog &dialog) {
        auto &about = static_cast<CAboutDlg &>(dialog);
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About My Tavrel"));
        EXPECT_TRUE(about.panelText(CAboutDlg::IDC_PANEL_COMPANY).startsWith(QStringLiteral("My Company\nNorthside Print\n")));
        EXPECT_TRUE(about.panelText(CAboutDlg::IDC_PANEL_PROGRAM).startsWith(QStringLiteral("My Tavrel\nTavrel 2010.0\n")));
        EXPECT_TRUE(about.panelText(CAboutDlg::IDC_PANEL_DATABASE)
                        .startsWith(QStringLiteral("My Database\nLocation: ") + SharedDatabase().name()));
        EXPECT_TRUE(about.panelText(CAboutDlg::IDC_PANEL_WORKSTATION).startsWith(QStringLiteral("My Workstation\nOperating System: ")));
        // A second request while it is shown opens nothing.
        EXPECT_NO_THROW(shell->OnCommand(AppShell::kAboutCommand));
        static_cast<QAbstractButton *>(GetDlgItem(&about, CAboutDlg::IDC_USERS))->click();
        return int(QDialog::Accepted);
    });
    QString users;
    prompts().onDialog([&](QDialog &d) {
        users = static_cast<CNoteDlg &>(d).m_strNote;
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(shell->OnCommand(AppShell::kAboutCommand));
    EXPECT_EQ(prompts().shown().size(), screenWarning().isEmpty() ? 2 : 3);
    EXPECT_TRUE(users.startsWith(QStringLiteral("Workstations connected to TavrelData.mdb: 1\n") + me
                                 + QStringLiteral("\r\n")))
        << qPrintable(users);
}

TEST_F(ShellTest, ItemDepartmentColumnFollowsTheFirstLiveService)
{
    makeDatabase();
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    platform::Database &db = SharedDatabase();
    // The new file's cutting category moved to printing, first; padding
    // stays in finishing.
    db.execute(QStringLiteral("UPDATE ServiceCategories SET DepNo = 3, SortNo = 1 WHERE CatNo = 401"));
    db.execute(QStringLiteral("UPDATE ServiceCategories SET SortNo = 0 WHERE CatNo = 404"));
    db.execute(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, SortNo) VALUES (409, 0, 0)"));
    db.execute(QStringLiteral("UPDATE Services SET CatNo = 409 WHERE SerNo = 174"));
    db.execute(QStringLiteral("INSERT INTO Jobs (JobID, JobNo) VALUES (500, 1044)"));
    const char *items[] = {"1, 0, 193, 1", "1, 0, 175, 1", "2, 0, 193, 0", "3, 1, 174, 2", "4, 0, 0, 1"};
    for (const char *item : items)
        db.execute(QStringLiteral("INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Status) VALUES (500, %1)")
                       .arg(QLatin1String(item)));
    EXPECT_EQ(GetItemDeptColumn(500, 1, 0), 7);  // printing comes before finishing
    EXPECT_EQ(GetItemDeptColumn(500, 2, 0), 17); // no live service
    EXPECT_EQ(GetItemDeptColumn(500, 3, 1), 17); // department 0
    EXPECT_EQ(GetItemDeptColumn(500, 4, 0), 17); // no service
    EXPECT_EQ(GetItemDeptColumn(501, 1, 0), 17);
}

TEST_F(ShellTest, WorkstationOptionsChooseTheViewsOfferedAfterARestart)
{
    makeDatabase();
    platform::Settings::writeInt(kViewSettings, QStringLiteral("ShowTabID"), 30000);
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    CMainFrame *frame = shell->mainFrame();
    // The home view is the program's own; its view tabs ask the frame.
    auto *home = qobject_cast<CView0 *>(frame->activeView());
    ASSERT_NE(home, nullptr);
    // The window as the user first sees it, kept beside the tests.
    QCoreApplication::processEvents();
    const QPixmap shot = frame->grab();
    EXPECT_GE(shot.width(), 1024);
    EXPECT_GE(shot.height(), 768);
    EXPECT_TRUE(shot.save(QCoreApplication::applicationDirPath() + QStringLiteral("/main-window.png")));
    home->OnCommand(30003);
    EXPECT_EQ(frame->GetViewId(), 30003);

    prompts().onDialog([](QDialog &d) {
        auto &options = static_cast<CDlgOptions &>(d);
        EXPECT_EQ(options.GetEntryCount(), 10);
        EXPECT_TRUE(options.IsEntryChecked(30005));
        options.tree()->SetOptionChecked(30005, false); // reports
        options.tree()->SetOptionChecked(30008, false); // time tracker
        options.SendCommand(1);
        return options.result();
    });
    prompts().answer(IDNO);
    EXPECT_TRUE(shell->OnCommand(AppShell::kWorkstationOptionsCommand));
    EXPECT_EQ(platform::Settings::readInt(kViewSettings, QStringLiteral("ShowTabs")), 511 & ~(1 << 7) & ~(1 << 3));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Your options will be applied next time you start Tavrel.\n\nDo "
                                                   "you want to restart Tavrel now?"));
    // Declined: this run keeps offering every view.
    EXPECT_NE(frame->SwitchView(30005), nullptr);
    EXPECT_FALSE(shell->restartRequested());
}

TEST_F(ShellTest, CtrlClickOnCompactShowsTheTableAndIndexReport)
{
    makeDatabase();
    platform::Settings::writeInt(kViewSettings, QStringLiteral("ShowTabID"), 30000);
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    auto *home = qobject_cast<CViewHome *>(shell->mainFrame()->activeView());
    ASSERT_NE(home, nullptr);
    QTreeWidgetItem *database = home->tree()->FindItemByData(102); // My Database
    ASSERT_NE(database, nullptr);
    home->tree()->setCurrentItem(database);
    home->OnCommand(30401);
    QCoreApplication::processEvents();
    CHtmlCtrl *page = home->browser();
    const QTextCursor link = page->document()->find(QStringLiteral("2. Compact"));
    ASSERT_FALSE(link.isNull()) << page->toPlainText().left(400).toStdString();
    page->setTextCursor(link);
    page->ensureCursorVisible();
    QTextCursor middle = link;
    middle.setPosition(link.selectionStart() + 3);
    const QPoint at = page->cursorRect(middle).center();

    QString shown;
    prompts().onDialog([&](QDialog &d) {
        shown = static_cast<CHtmlDlg &>(d).m_strHtml;
        return int(QDialog::Accepted);
    });
    prompts().answer(IDNO);
    QTest::mouseClick(page->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(shown.contains(QStringLiteral("Tables</th>"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral(">Customers</td>")));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Compact without reindexing?"));
}

// The keys go to the view shown from the start, nothing clicked: its list
// takes them with no row chosen, F2 there opens the New Job window, and a
// view chosen by its key takes the next keys in its own list.
TEST_F(ShellTest, TheKeysReachTheViewShownFromTheStart)
{
    const QString file = tempPath(QStringLiteral("TavrelData.mdb"));
    ASSERT_EQ(RunDbTool({QStringLiteral("sample"), file, QStringLiteral("--jobs"), QStringLiteral("60")}).exitCode, 0);
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    prompts().clear();
    CMainFrame *frame = shell->mainFrame();
    auto *jobs = qobject_cast<CView0 *>(frame->activeView());
    ASSERT_NE(jobs, nullptr);
    QCoreApplication::processEvents();
    ASSERT_GT(jobs->list()->GetItemCount(), 0);
    EXPECT_EQ(frame->focusWidget(), jobs->list());
    EXPECT_EQ(jobs->list()->GetCurrentRow(), -1);
    EXPECT_EQ(jobs->GetSelectedItemData(), -1);

    QString opened;
    prompts().onDialog([&](QDialog &d) {
        opened = QString::fromLatin1(d.metaObject()->className());
        return 2;
    });
    QTest::keyClick(frame->focusWidget(), Qt::Key_F2);
    QCoreApplication::processEvents();
    EXPECT_EQ(opened.toStdString(), "CJobNew");

    QTest::keyClick(frame->focusWidget(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::processEvents();
    auto *customers = qobject_cast<CView0 *>(frame->activeView());
    ASSERT_NE(customers, nullptr);
    EXPECT_EQ(frame->GetViewId(), 30003);
    EXPECT_EQ(frame->focusWidget(), customers->list());
    ASSERT_GT(customers->list()->GetItemCount(), 0);
    EXPECT_EQ(customers->list()->GetCurrentRow(), -1);
}
