#include "ShellFixture.h"

#include "shell/AppMenus.h"
#include "shell/CMainFrame.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "app/base/PriceText.h"
#include "data/CItemSet.h"
#include "data/OptionsAndLookups.h"
#include "data/SettingRows.h"
#include "platform/db/Recordset.h"
#include "views/CViewDefaults.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "views/CSetupGridDlg.h"
#include "views/CView0.h"
#include "views/CNoteDlg.h"

#include <QtGui/QAction>
#include <QtCore/QTimer>
#include <QtGui/QContextMenuEvent>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMenu>

namespace {

// The texts of a menu's items, separators as "-", sub-menus by their title.
QStringList menuTexts(const QMenu &menu)
{
    QStringList texts;
    for (const QAction *action : menu.actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

// Each item's command id; separators are left out.
QList<int> menuIds(const QMenu &menu)
{
    QList<int> ids;
    for (const QAction *action : menu.actions())
        if (!action->isSeparator())
            ids << action->data().toInt();
    return ids;
}

} // namespace

class UsableTest : public ShellTest
{
protected:
    void start()
    {
        makeDatabase();
        answerScreenWarning();
        ASSERT_TRUE(shell->InitInstance());
        frame = shell->mainFrame();
        ASSERT_NE(frame, nullptr);
        frame->resize(1100, 760);
        QApplication::processEvents();
    }
    CView0 *activeView() const { return qobject_cast<CView0 *>(frame->activeView()); }
    void TearDown() override
    {
        CXRibbon::SetMenuRunner(nullptr);
        ShellTest::TearDown();
    }

    CMainFrame *frame = nullptr;
};

TEST_F(UsableTest, FreshStartShowsTheTabRowAndEveryTabSwitchesTheView)
{
    start();
    // A fresh workstation starts on the jobs view, built or not, with its tabs.
    EXPECT_EQ(frame->GetViewId(), 30001);
    const int order[] = {30000, 30001, 30007, 30008, 30002, 30003, 30004, 30005, 30006};
    for (int id : order) {
        CView0 *view = activeView();
        ASSERT_NE(view, nullptr) << frame->GetViewId();
        CXRibbon *bar = view->mainBar();
        ASSERT_TRUE(bar->isVisible());
        for (int tab : order)
            EXPECT_TRUE(bar->itemRect(unsigned(tab)).isValid()) << tab << " on " << frame->GetViewId();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->itemRect(unsigned(id)).center());
        QApplication::processEvents();
        EXPECT_EQ(frame->GetViewId(), id);
    }
}

TEST_F(UsableTest, RibbonMenusOpenWithTheirEntriesAndSendTheirCommands)
{
    start();
    QList<QStringList> shown;
    int answer = 0;
    CXRibbon::SetMenuRunner([&](QMenu &menu, const QPoint &) {
        shown << menuTexts(menu);
        return answer;
    });
    CView0 *view = activeView();
    ASSERT_NE(view, nullptr);

    // The main menu: every view, the workstation's settings, the tools, Exit.
    QTest::mouseClick(view->mainBar(), Qt::LeftButton, {}, view->mainBar()->itemRect(30280).center());
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], (QStringList{
                            QStringLiteral("Home\tCtrl+Shift+H"), QStringLiteral("Jobs\tCtrl+Shift+J"),
                            QStringLiteral("Scheduler\tCtrl+Shift+U"), QStringLiteral("RaroVirider\tCtrl+Shift+T"),
                            QStringLiteral("Services\tCtrl+Shift+S"), QStringLiteral("Customers\tCtrl+Shift+C"),
                            QStringLiteral("A/R\tCtrl+Shift+A"), QStringLiteral("Reports\tCtrl+Shift+R"),
                            QStringLiteral("Settings\tCtrl+Shift+E"), QStringLiteral("-"),
                            QStringLiteral("&Workstation Options..."), QStringLiteral("Start-up &View..."),
                            QStringLiteral("&Appearance..."), QStringLiteral("Window &Colors..."),
                            QStringLiteral("Change &Data Source Folders..."), QStringLiteral("-"),
                            QStringLiteral("&Backup Database..."), QStringLiteral("C&ompact Database..."),
                            QStringLiteral("Check &Keys and Indexes..."), QStringLiteral("File &Transfer..."),
                            QStringLiteral("-"), QStringLiteral("About Tavrel"), QStringLiteral("E&xit\tAlt+F4")}));

    // Help.
    QTest::mouseClick(view->mainBar(), Qt::LeftButton, {}, view->mainBar()->itemRect(30671).center());
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1], (QStringList{QStringLiteral("&Brief Help\tF1"), QStringLiteral("Send Email to &Support..."),
                                     QStringLiteral("-"), QStringLiteral("About Tavrel\tCtrl+F1")}));
    // Brief Help shows the keys in a note titled "Help".
    QString helpTitle;
    QString helpText;
    onDialog<CNoteDlg>([&](CNoteDlg &note) {
        helpTitle = note.m_strRibbonTitle;
        helpText = note.m_strNote;
        return 2;
    });
    answer = 30418;
    QTest::mouseClick(view->mainBar(), Qt::LeftButton, {}, view->mainBar()->itemRect(30671).center());
    QApplication::processEvents();
    answer = 0;
    shown.removeLast();
    EXPECT_EQ(helpTitle, QStringLiteral("Help"));
    EXPECT_TRUE(helpText.contains(QStringLiteral("Ctrl+B\tCopy and Paste"))) << helpText.toStdString();

    // The list menu of the list bar.
    QTest::mouseClick(view->listBar(), Qt::LeftButton, {}, view->listBar()->itemRect(30673).center());
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[2].first(), QStringLiteral("&New...\tF2"));
    EXPECT_TRUE(shown[2].contains(QStringLiteral("View F&ilter...\tCtrl+I")));
    // The jobs view's own commands follow the shared ones, Change Status first.
    const qsizetype paste = shown[2].indexOf(QStringLiteral("Cop&y and Paste...\tCtrl+B"));
    ASSERT_GE(paste, 0);
    EXPECT_EQ(shown[2].mid(paste + 1, 3),
              (QStringList{QStringLiteral("-"), QStringLiteral("C&hange Status...\tCtrl+S"),
                           QStringLiteral("View Schedule")}));
    // The right-click menu of the list is the same menu.
    QStringList rowMenu;
    QTimer::singleShot(0, [&] {
        if (QMenu *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            rowMenu = menuTexts(*popup);
            popup->close();
        }
    });
    QWidget *rows = view->list()->viewport();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(20, 20), rows->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(rows, &rightClick);
    EXPECT_EQ(rowMenu, shown[2]);

    // A chosen entry is sent as its command: the main menu's Settings entry
    // switches to the settings view.
    answer = 30006;
    QTest::mouseClick(view->mainBar(), Qt::LeftButton, {}, view->mainBar()->itemRect(30280).center());
    QApplication::processEvents();
    EXPECT_EQ(frame->GetViewId(), 30006);
}

TEST_F(UsableTest, TheSchedulerSettingsMenuOpensTheServiceCenterAndTagEditors)
{
    start();
    frame->SwitchView(30007);
    QApplication::processEvents();
    CView0 *view = activeView();
    ASSERT_NE(view, nullptr);
    QList<QStringList> shown;
    int answer = 0;
    // Where the window is too narrow for the button it is behind the
    // overflow button, whose menu carries its menu.
    CXRibbon::SetMenuRunner([&](QMenu &menu, const QPoint &) {
        const QMenu *settings = &menu;
        for (const QAction *action : menu.actions())
            if (action->menu() && action->text() == QLatin1String("Scheduler Settings"))
                settings = action->menu();
        shown << menuTexts(*settings);
        return answer;
    });
    CXRibbon *bar = view->mainBar();
    const QPoint button = bar->overflowIds().contains(30674u) ? bar->overflowRect().center()
                                                                : bar->itemRect(30674).center();
    const struct
    {
        int command;
        const char *title;
    } editors[] = {{30721, "Service Centers"}, {30722, "Service Tags"}, {30723, "Item Tags"}};
    for (const auto &editor : editors) {
        answer = editor.command;
        QString opened;
        prompts().onDialog([&](QDialog &d) {
            if (auto *dialog = dynamic_cast<CSetupGridDlg *>(&d))
                opened = dialog->ribbonTitle();
            return 2;
        });
        QTest::mouseClick(bar, Qt::LeftButton, {}, button);
        QApplication::processEvents();
        EXPECT_EQ(opened, QString::fromLatin1(editor.title));
    }
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown[0], (QStringList{QStringLiteral("List Options..."), QStringLiteral("New Item Options..."),
                                     QStringLiteral("-"), QStringLiteral("Service Centers..."),
                                     QStringLiteral("Service Tags..."), QStringLiteral("Item Tags..."),
                                     QStringLiteral("-"), QStringLiteral("All Settings...")}));
    // The menu's last entry goes to the settings view, as the button did.
    answer = 30674;
    QTest::mouseClick(bar, Qt::LeftButton, {}, button);
    QApplication::processEvents();
    EXPECT_EQ(frame->GetViewId(), 30006);
}

namespace {

// Every item of the window's shown ribbons is on its bar (wholly inside it,
// wide enough to click, clear of the overflow button) or behind the
// overflow button. Returns the number of bars looked at.
int expectEveryItemReachable(QWidget &window, const std::string &where)
{
    int bars = 0;
    for (CXRibbon *bar : window.findChildren<CXRibbon *>()) {
        if (!bar->isVisibleTo(window.window()) || bar->window() != window.window())
            continue;
        ++bars;
        const QList<unsigned> behind = bar->overflowIds();
        const QRect more = bar->overflowRect();
        for (int i = 0; i < bar->GetItemCount(); ++i) {
            const struct_RIB_ITEM &item = bar->itemAt(i);
            if (item.id == 0 || item.state == struct_RIB_ITEM::Hidden || behind.contains(item.id))
                continue;
            const QRect rect = bar->itemRect(item.id);
            // Along the bar: a row's items within its width, a column's within its height.
            const bool inside = bar->isVertical() ? rect.top() >= 0 && rect.bottom() < bar->height()
                                                  : rect.left() >= 0 && rect.right() < bar->width();
            EXPECT_TRUE(rect.isValid() && inside && rect.width() >= 16 && !rect.intersects(more))
                << where << " item " << item.id << " \"" << item.caption.toStdString() << "\" at " << rect.left()
                << "," << rect.top() << "-" << rect.right() << "," << rect.bottom() << " of " << bar->width() << "x"
                << bar->height();
        }
    }
    return bars;
}

} // namespace

TEST_F(UsableTest, EveryRibbonItemOfEveryViewIsReachableAtTheSmallestWindow)
{
    start();
    frame->resize(1024, 768);
    QApplication::processEvents();
    for (int viewId : {30000, 30001, 30007, 30008, 30002, 30003, 30004, 30005, 30006}) {
        frame->SwitchView(viewId);
        QApplication::processEvents();
        EXPECT_GE(expectEveryItemReachable(*frame, "view " + std::to_string(viewId)), 3) << viewId;
    }
    // A record window at its own size: the service window.
    int bars = 0;
    QString opened;
    prompts().onDialog([&](QDialog &d) {
        opened = QString::fromLatin1(d.metaObject()->className());
        QApplication::processEvents();
        bars = expectEveryItemReachable(d, d.metaObject()->className());
        return 2;
    });
    platform::Recordset first(SharedDatabase());
    first.open(platform::Recordset::Type::Snapshot,
               QStringLiteral("SELECT Min(SerNo) FROM Services WHERE CatNo > 0"));
    ASSERT_FALSE(first.isEOF());
    app->OpenService(first.value(0).toInt());
    EXPECT_EQ(opened, QStringLiteral("CSerDlg"));
    EXPECT_GE(bars, 3);
}

TEST_F(UsableTest, DateRangeMenuHasTheRangesInOrder)
{
    start();
    QMenu menu;
    ASSERT_TRUE(FillMenuFromResource(menu, 170, 11));
    EXPECT_EQ(menuTexts(menu),
              (QStringList{QStringLiteral("Today"), QStringLiteral("-"), QStringLiteral("This Week"),
                           QStringLiteral("This Month"), QStringLiteral("This Year"), QStringLiteral("-"),
                           QStringLiteral("Last Week"), QStringLiteral("Last Month"), QStringLiteral("Last Year"),
                           QStringLiteral("-"), QStringLiteral("Last &30 Days"), QStringLiteral("Last &12 Months"),
                           QStringLiteral("-"), QStringLiteral("Mont&h-to-Date"), QStringLiteral("Yea&r-to-Date"),
                           QStringLiteral("-"), QStringLiteral("&January"), QStringLiteral("&February"),
                           QStringLiteral("&March"), QStringLiteral("&April"), QStringLiteral("Ma&y"),
                           QStringLiteral("J&une"), QStringLiteral("Ju&ly"), QStringLiteral("Au&gust"),
                           QStringLiteral("&September"), QStringLiteral("&October"), QStringLiteral("&November"),
                           QStringLiteral("&December"), QStringLiteral("-"), QStringLiteral("&Between..."),
                           QStringLiteral("-"), QStringLiteral("Set As Default...")}));
    QList<int> ids;
    for (int id = 20031; id <= 20055; ++id)
        ids << id;
    EXPECT_EQ(menuIds(menu), ids);
    // The nine shared popups are built at start-up.
    for (int m = 0; m < CZqApp::RibbonMenu; ++m) {
        const QMenu *popup = app->GetPopupMenu(CZqApp::PopupMenu(m));
        ASSERT_NE(popup, nullptr) << m;
        EXPECT_FALSE(popup->actions().isEmpty()) << m;
    }
    EXPECT_EQ(menuTexts(*app->GetPopupMenu(CZqApp::JobStatusMenu)),
              (QStringList{QStringLiteral("In Progress"), QStringLiteral("On Hold"), QStringLiteral("Ready to Ship")}));
    EXPECT_EQ(menuIds(*app->GetPopupMenu(CZqApp::JobStatusMenu)), (QList<int>{31102, 31103, 31104}));
}

TEST_F(UsableTest, EveryVisibleRibbonItemOfTheBuiltViewsSendsItsCommand)
{
    start();
    CXRibbon::SetMenuRunner([](QMenu &menu, const QPoint &) { return menu.isEmpty() ? -1 : 0; });
    int clicked = 0;
    for (int viewId : {30000, 30006, 30001}) {
        frame->SwitchView(viewId);
        QApplication::processEvents();
        CView0 *view = activeView();
        ASSERT_NE(view, nullptr) << viewId;
        for (CXRibbon *bar : {view->mainBar(), view->managerBar(), view->listBar(), view->statusBar()}) {
            if (!bar->isVisible())
                continue;
            // The spy alone hears the clicks: the commands themselves do not run.
            QObject::disconnect(bar, nullptr, view, nullptr);
            QSignalSpy commands(bar, &CXWnd::commandTriggered);
            for (int i = 0; i < bar->GetItemCount(); ++i) {
                const struct_RIB_ITEM &item = bar->itemAt(i);
                if (item.id == 0 || (item.state != 0 && item.state != 1) || item.menuId != 0)
                    continue;
                const QRect rect = bar->itemRect(item.id);
                if (!rect.isValid() || rect.right() >= bar->width())
                    continue;
                commands.clear();
                QTest::mouseClick(bar, Qt::LeftButton, {}, rect.center());
                ASSERT_EQ(commands.count(), 1) << viewId << " item " << item.id;
                ++clicked;
                EXPECT_EQ(commands.at(0).at(0).toUInt(), item.id) << viewId;
            }
        }
    }
    EXPECT_GE(clicked, 40); // tabs, buttons and status items of three views
}

TEST_F(UsableTest, ShopOptionsReachTheInventoryRuleAtStartUpAndAfterASave)
{
    makeDatabase();
    SharedDatabase().open(tempPath(QStringLiteral("TavrelData.mdb")));
    SharedDatabase().execute(QStringLiteral("DELETE FROM Options WHERE OptionID = 30749"));
    SharedDatabase().execute(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (30749, 24)"));
    SharedDatabase().close();
    answerScreenWarning();
    ASSERT_TRUE(shell->InitInstance());
    EXPECT_TRUE(CItemSet::GetInventoryRules().enabled);
    EXPECT_EQ(CItemSet::GetInventoryRules().optionBits, 24);
    EXPECT_EQ(shell->shopOptionBits(), 24);
    // Unit prices follow the shop's choice in the job options (row 251).
    QString text;
    FormatUnitPrice(text, Money::fromWhole(12), 1000, 0);
    EXPECT_TRUE(text.endsWith(QStringLiteral("/Ea"))) << text.toStdString();

    // Saved in the settings view, the options reach the code at once: per
    // thousand for unit prices, the tracker's working day, the inventory bits.
    ASSERT_TRUE(SaveGlobalAlertText(251, QStringLiteral("2,1,0,0,1,1,0,1,0,1,1,")));
    ASSERT_TRUE(SaveGlobalAlertText(221, QStringLiteral("0,8:00,17:00, 0,1,1,0,  0,1,1,1,0,  0,0,0,")));
    SharedDatabase().execute(QStringLiteral("UPDATE Options SET OptionSum = 8 WHERE OptionID = 30749"));
    CViewDefaults settings;
    prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
    settings.EditSetupTable(503, 0, 120);
    FormatUnitPrice(text, Money::fromWhole(12), 1000, 0);
    EXPECT_TRUE(text.endsWith(QStringLiteral("/M"))) << text.toStdString();
    EXPECT_EQ(app->trackStart(), 480);
    EXPECT_EQ(app->trackEnd(), 1020);
    EXPECT_EQ(CItemSet::GetInventoryRules().optionBits, 8);

    // A reminder type without a text is no choice.
    SharedDatabase().execute(QStringLiteral("DELETE FROM TodoTypes"));
    SharedDatabase().execute(QStringLiteral("INSERT INTO TodoTypes (ID, Do, Sort) VALUES (1, 'Call', 1)"));
    SharedDatabase().execute(QStringLiteral("INSERT INTO TodoTypes (ID, Do, Sort) VALUES (2, '', 2)"));
    SharedDatabase().execute(QStringLiteral("INSERT INTO TodoTypes (ID, Do, Sort) VALUES (3, '   ', 3)"));
    QString sql;
    GetCodeListSql(sql, 103, true);
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, sql);
    QStringList choices;
    for (; !rs.isEOF(); rs.moveNext())
        choices << rs.value(1).toString();
    EXPECT_EQ(choices, QStringList{QStringLiteral("Call")});
}

TEST_F(UsableTest, MenuEntriesTheViewDoesNotOfferAreDisabled)
{
    start();
    frame->SwitchView(30006);
    QApplication::processEvents();
    CView0 *view = activeView();
    ASSERT_NE(view, nullptr);
    QStringList disabled;
    QStringList enabled;
    CXRibbon::SetMenuRunner([&](QMenu &menu, const QPoint &) {
        for (const QAction *action : menu.actions())
            if (!action->isSeparator())
                (action->isEnabled() ? enabled : disabled) << action->text();
        return 0;
    });
    QTest::mouseClick(view->listBar(), Qt::LeftButton, {}, view->listBar()->itemRect(30673).center());
    // The settings view has no list: nothing to make, find, print or total.
    EXPECT_TRUE(disabled.contains(QStringLiteral("&New...\tF2")));
    EXPECT_TRUE(disabled.contains(QStringLiteral("View Column &Totals\tCtrl+T")));
    EXPECT_TRUE(enabled.contains(QStringLiteral("&Open\tF6")));
}

TEST_F(UsableTest, TheSchedulesListAndInventoryPopupsAndTheRemindersAreInstalled)
{
    start();
    QMenu list;
    ASSERT_TRUE(FillMenuFromResource(list, 170, 13));
    EXPECT_EQ(menuIds(list), (QList<int>{30102, 30331, 30406, 30728, 30729, 30121, 30120, 30530, 30531, 30115, 30062,
                                         30064, 30538}));
    EXPECT_EQ(list.actions().value(0)->text(), QStringLiteral("Schedule Job"));
    QMenu inventory;
    ASSERT_TRUE(FillMenuFromResource(inventory, 170, 20));
    EXPECT_EQ(menuIds(inventory),
              (QList<int>{30741, 30744, 30742, 30743, 30746, 30745, 30747, 30748, 30749}));

    // The reminders command of a view opens the reminders list (not a
    // "not yet available" message): an empty list goes on to a new reminder.
    frame->SwitchView(30001);
    QApplication::processEvents();
    int shown = 0;
    prompts().onDialog([&](QDialog &d) {
        ++shown;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Reminders"));
        QApplication::processEvents();
        return 2;
    });
    prompts().onDialog([&](QDialog &d) {
        ++shown;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Reminder"));
        return 2;
    });
    activeView()->OnCommand(8900);
    EXPECT_EQ(shown, 2);
}
