#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include "app/base/Appearance.h"
#include "app/base/DateRanges.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "resources/Strings.h"
#include "views/CSetupGridDlg.h"
#include "views/CView0.h"
#include "views/CViewDefaults.h"
#include "views/CViewHome.h"
#include "app/base/HtmlText.h"
#include "controls/CHtmlCtrl.h"
#include "views/DatabaseBackup.h"
#include "views/ExpertSql.h"
#include "views/SetupCatalogue.h"
#include "views/ViewFactory.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QTextBrowser>

namespace {

// A small sample shop made once per test program and copied for each test.
QString sampleShop()
{
    static QString path;
    if (path.isEmpty()) {
        const QString folder = QDir::tempPath() + QStringLiteral("/tavrel-views-sample-%1").arg(QCoreApplication::applicationPid());
        QDir().mkpath(folder);
        path = folder + QStringLiteral("/TavrelData.mdb");
        QProcess tool;
        tool.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), path, QStringLiteral("--jobs"), QStringLiteral("60")});
        tool.waitForFinished(120000);
    }
    return path;
}

int scalar(const QString &sql)
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, sql);
    return rs.isEOF() ? -1 : rs.value(0).toInt();
}

} // namespace

namespace {

// A click on a list-manager entry with these keys held, as the tree receives
// it (the program's own state of the keys is left as it was).
void ClickEntry(QTreeWidget *tree, QTreeWidgetItem *entry, Qt::KeyboardModifiers keys)
{
    const QPoint at = tree->visualItemRect(entry).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, QPointF(at), QPointF(tree->viewport()->mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, keys);
        QCoreApplication::sendEvent(tree->viewport(), &click);
    }
}

} // namespace

class ViewsTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        Appearance::instance().LoadViewSettings();
        const QString source = sampleShop();
        ASSERT_TRUE(QFile::exists(source));
        m_path = tempPath(QStringLiteral("TavrelData.mdb"));
        ASSERT_TRUE(QFile::copy(source, m_path));
        SharedDatabase().open(m_path);
    }
    void TearDown() override
    {
        if (SharedDatabase().isOpen())
            SharedDatabase().close();
        TavrelTest::TearDown();
    }

    // A jobs list view with the orders branch.
    std::unique_ptr<CView0> jobsView()
    {
        auto view = std::make_unique<CView0>(30001);
        view->resize(1000, 640);
        view->OnInitialUpdate();
        view->LoadTreeBranches(IDS_JOB_LISTS_ORDERS, IDS_JOB_LISTS_ORDERS, 0, 0);
        view->show();
        return view;
    }

    void grab(QWidget &widget, const QString &name)
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/views");
        QDir().mkpath(folder);
        QApplication::processEvents();
        widget.grab().save(folder + QLatin1Char('/') + name);
    }

    QString m_path;
};

TEST_F(ViewsTest, CommandEnablingFollowsRowsListAndChart)
{
    auto view = jobsView();
    // No rows yet: list commands off, list-shown commands on.
    EXPECT_FALSE(view->IsCommandEnabled(30103));
    EXPECT_FALSE(view->IsCommandEnabled(30121));
    EXPECT_FALSE(view->IsCommandEnabled(30113));
    EXPECT_FALSE(view->IsCommandEnabled(30538));
    EXPECT_TRUE(view->IsCommandEnabled(30101));
    EXPECT_TRUE(view->IsCommandEnabled(30106));
    EXPECT_TRUE(view->IsCommandEnabled(20031));
    EXPECT_TRUE(view->IsCommandEnabled(30300));
    EXPECT_FALSE(view->IsCommandEnabled(30107));
    EXPECT_FALSE(view->IsCommandEnabled(30536));

    view->SelectTreeCode(1);
    ASSERT_GT(view->list()->GetItemCount(), 0);
    EXPECT_TRUE(view->IsCommandEnabled(30103));
    EXPECT_TRUE(view->IsCommandEnabled(30113));
    EXPECT_TRUE(view->IsCommandEnabled(30538));
    view->setDeleteAllowed(false);
    EXPECT_FALSE(view->IsCommandEnabled(30113));
    // The ribbon follows the table.
    view->UpdateRibbonStates();
    const CXRibbon *bar = view->mainBar();
    bool openEnabled = false;
    for (int i = 0; i < bar->GetItemCount(); ++i)
        if (bar->itemAt(i).id == 30103)
            openEnabled = bar->itemAt(i).state != 1;
    EXPECT_TRUE(openEnabled);
}

TEST_F(ViewsTest, RefillKeepsSelectionOnlyForTheSameList)
{
    auto view = jobsView();
    view->SelectTreeCode(1);
    EXPECT_EQ(view->listCaption(), QStringLiteral("All Orders"));
    EXPECT_EQ(view->GetListKey(), QStringLiteral("Jobs-Orders/All"));
    const int count = view->list()->GetItemCount();
    ASSERT_GT(count, 3);
    const qint64 key = view->list()->GetItemData(2);
    view->list()->SelectItem(2);
    view->OnRefresh();
    ASSERT_EQ(view->list()->GetSelectedCount(), 1);
    EXPECT_EQ(view->list()->GetSelectedData(), key);
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("All Orders (%1 listed)").arg(count));

    // Another list selects nothing, nor names a row chosen: Open finds none.
    view->SelectTreeCode(2);
    EXPECT_EQ(view->listCaption(), QStringLiteral("Orders / In Progress"));
    EXPECT_EQ(view->list()->GetSelectedCount(), 0);
    EXPECT_EQ(view->GetSelectedItemData(), -1);
    EXPECT_EQ(view->statusBar()->GetItemText(30262),
              QStringLiteral("Listed: %1   ").arg(view->list()->GetItemCount()));

    // Every column (the diagnostic form) only for a click on the entry with
    // Ctrl and Shift held, and it says so; a key's fill with both held, and
    // any refill, is the caption's own list.
    const auto clickEntry = [&](int code, Qt::KeyboardModifiers keys) {
        ClickEntry(view->tree(), view->tree()->FindItemByData(quint32(code)), keys);
    };
    const QString every = QStringLiteral(" - every column (diagnostic)");
    clickEntry(1, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view->listBar()->GetItemText(30673),
              QStringLiteral("All Orders%1 (%2 listed)").arg(every).arg(view->list()->GetItemCount()));
    EXPECT_GT(view->list()->GetColumnCount(), 20);
    clickEntry(2, Qt::NoModifier);
    EXPECT_EQ(view->listCaption(), QStringLiteral("Orders / In Progress"));
    EXPECT_FALSE(view->listBar()->GetItemText(30673).contains(every));
    QTest::keyPress(view->windowHandle(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(view->windowHandle(), Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    view->SelectTreeCode(1);
    QTest::keyRelease(view->windowHandle(), Qt::Key_Shift, Qt::ControlModifier);
    QTest::keyRelease(view->windowHandle(), Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("All Orders (%1 listed)").arg(count));

    // A branch header names no list.
    view->tree()->setCurrentItem(view->tree()->FindItemByData(0));
    EXPECT_FALSE(view->ReadTreeSelection());
    EXPECT_EQ(view->item(), 0);
    EXPECT_EQ(view->listCaption(), QStringLiteral("Orders /"));
    // The list bar names the heading chosen, not the list before it, and no
    // row of that list stays under it.
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("Orders /"));
    EXPECT_EQ(view->list()->GetItemCount(), 0);
    view->SelectTreeCode(1);
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("All Orders (%1 listed)").arg(count));

    // The heading of another branch, chosen after All Orders: none of the
    // orders is shown (or taken) as a quote.
    view->LoadTreeBranches(IDS_JOB_LISTS_ORDERS + 1, IDS_JOB_LISTS_ORDERS + 1, 1, 1);
    view->tree()->setCurrentItem(view->tree()->FindItemByData(100));
    EXPECT_EQ(view->listCaption(), QStringLiteral("Quotes /"));
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("Quotes /"));
    EXPECT_EQ(view->list()->GetItemCount(), 0);
    EXPECT_EQ(view->list()->GetColumnCount(), 0);
    EXPECT_EQ(view->GetSelectedItemData(), -1);
    EXPECT_FALSE(view->IsCommandEnabled(30103));
    view->OnRefresh();
    EXPECT_EQ(view->list()->GetItemCount(), 0);
    // A change to the data (a tax renamed in Settings) brings no list back
    // under the heading.
    platform::Database &db = SharedDatabase();
    db.execute(QStringLiteral("UPDATE Taxes SET Name = 'County' WHERE [No] = (SELECT Min([No]) FROM Taxes)"));
    view->RefreshIfChanged();
    EXPECT_EQ(view->listBar()->GetItemText(30673), QStringLiteral("Quotes /"));
    EXPECT_EQ(view->list()->GetItemCount(), 0);
}

TEST_F(ViewsTest, OneHeaderClickSortsTheListOnce)
{
    auto view = jobsView();
    view->SelectTreeCode(1);
    CXListCtrl *list = view->list();
    ASSERT_GT(list->GetItemCount(), 3);
    const struct
    {
        const char *column;
        bool descending; // after one click
        int kind;
    } clicks[] = {{"Customer", false, CXListCtrl::kSortText},
                  {"Net", true, CXListCtrl::kSortNumber},
                  {"Net", false, CXListCtrl::kSortNumber}};
    // The row the user clicked stays the selected one through every sort.
    QApplication::processEvents();
    const QRect third = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    const qint64 chosen = list->GetItemData(2);
    ASSERT_EQ(list->GetSelectedCount(), 1);
    for (const auto &click : clicks) {
        SCOPED_TRACE(click.column);
        const int column = list->FindColumn(QString::fromLatin1(click.column));
        ASSERT_GE(column, 0);
        QHeaderView *header = list->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
        QApplication::processEvents();
        EXPECT_EQ(list->GetSortColumn(), column);
        EXPECT_EQ(list->IsSortDescending(), click.descending);
        EXPECT_EQ(list->GetSelectedCount(), 1);
        EXPECT_EQ(list->GetSelectedData(), chosen);
        EXPECT_EQ(view->statusBar()->GetItemText(30262),
                  QStringLiteral("%1 of %2").arg(list->FindItemByData(chosen, false) + 1).arg(list->GetItemCount()));
        for (int r = 0; r + 1 < list->GetItemCount(); ++r) {
            const int order = CXListCtrl::CompareTexts(list->GetItemText(r, column), list->GetItemText(r + 1, column),
                                                       click.kind);
            ASSERT_TRUE(click.descending ? order >= 0 : order <= 0) << r;
        }
    }
}

TEST_F(ViewsTest, KeysMovingTheCurrentRowShowItsPosition)
{
    auto view = jobsView();
    view->SelectTreeCode(1);
    CXListCtrl *list = view->list();
    const int rows = list->GetItemCount();
    ASSERT_GT(rows, 3);
    list->setFocus();
    const struct
    {
        Qt::Key key;
        int row; // 1-based, as shown
    } moves[] = {// no row is chosen in a new list: the first Down chooses the first
                 {Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Down, 3}, {Qt::Key_Up, 2}, {Qt::Key_End, rows},
                 {Qt::Key_Home, 1}};
    for (const auto &move : moves) {
        QKeyEvent press(QEvent::KeyPress, move.key, Qt::NoModifier);
        QApplication::sendEvent(list, &press);
        EXPECT_EQ(view->statusBar()->GetItemText(30262), QStringLiteral("%1 of %2").arg(move.row).arg(rows))
            << move.key;
    }
}

TEST_F(ViewsTest, DateRangeCaptionsAndPriorPeriod)
{
    platform::Clock::setFixed(QDateTime(QDate(2024, 3, 15), QTime(10, 0)));
    CView0 view(30005);
    view.OnInitialUpdate();

    view.ApplyDateRange(DateRange::CmdToday);
    const QString today = view.dateRangeCaption();
    EXPECT_TRUE(today.startsWith(QStringLiteral("Date Range: Today (")));
    EXPECT_FALSE(today.contains(QStringLiteral(" - ")));
    EXPECT_EQ(view.dateRangeCondition(), QStringLiteral(" between #03/15/2024# and #03/15/2024# "));
    EXPECT_EQ(view.priorPeriodCondition(), QStringLiteral(" between #03/15/2023# and #03/15/2023#"));

    view.ApplyDateRange(DateRange::CmdYearToDate);
    EXPECT_TRUE(view.dateRangeCaption().startsWith(QStringLiteral("Date Range: Year-to-Date (")));
    EXPECT_TRUE(view.dateRangeCaption().contains(QStringLiteral(" - ")));
    EXPECT_EQ(view.listBar()->GetItemText(30673), view.dateRangeCaption());

    // 29 February a year back is the 28th; a range over two calendar years
    // moves back two years.
    view.setDateRange(DateTime(2024, 2, 29), DateTime(2024, 2, 29));
    view.ApplyDateRange(DateRange::CmdBetween);
    EXPECT_TRUE(view.dateRangeCaption().startsWith(QStringLiteral("Date Range: Custom Date Range (")));
    EXPECT_EQ(view.priorPeriodCondition(), QStringLiteral(" between #02/28/2023# and #02/28/2023#"));
    view.setDateRange(DateTime(2023, 12, 1), DateTime(2024, 1, 31));
    view.ApplyDateRange(DateRange::CmdBetween);
    EXPECT_EQ(view.priorPeriodCondition(), QStringLiteral(" between #12/01/2022# and #01/31/2023#"));
    platform::Clock::reset();
}

TEST_F(ViewsTest, ExpertStatementRefusals)
{
    const QString ok = QStringLiteral("UPDATE Customers SET Memo = 'a;b' WHERE CusNo = 40");
    EXPECT_EQ(CheckExpertStatement(ok), QString());
    EXPECT_EQ(CheckExpertStatement(QStringLiteral("INSERT INTO Terms ([No], Name) VALUES (9, 'x');")), QString());
    const QString select = QStringLiteral("SELECT * FROM Customers");
    EXPECT_EQ(CheckExpertStatement(select), QStringLiteral("Cannot execute SELECT * FROM Customers"));
    const QString lower = QStringLiteral("update Customers SET Memo = ''");
    EXPECT_EQ(CheckExpertStatement(lower), QStringLiteral("Cannot execute ") + lower);
    const QString two = QStringLiteral("UPDATE Terms SET Name = 'x'; DELETE FROM Jobs");
    EXPECT_EQ(CheckExpertStatement(two), QStringLiteral("Cannot execute ") + two);
    const QString hidden = QStringLiteral("DELETE FROM Jobs WHERE Title = 'UPDATE '");
    EXPECT_EQ(CheckExpertStatement(hidden), QStringLiteral("Cannot execute ") + hidden);
}

TEST_F(ViewsTest, PracticeDataDeletedTogether)
{
    platform::Database &db = SharedDatabase();
    ASSERT_GT(scalar(QStringLiteral("SELECT Count(*) FROM PostingJournal")), 0);
    QString error;
    ASSERT_TRUE(DeletePracticeData(db, &error)) << error.toStdString();
    for (const char *table : {"AuditTrail", "PostingJournal", "QuickSales", "QuickSalesItems", "Payments", "PayApplied"})
        EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM %1").arg(QString::fromLatin1(table))), 0) << table;
    EXPECT_GT(scalar(QStringLiteral("SELECT Count(*) FROM Jobs")), 0);
}

TEST_F(ViewsTest, SetupTableSaveShowsFixedNamesAndWritesOnlyEditedRows)
{
    platform::Database &db = SharedDatabase();
    db.execute(QStringLiteral("DELETE FROM Terms"));
    db.execute(QStringLiteral("INSERT INTO Terms ([No], Name, Days) VALUES (0, 'Cash', 0)"));
    db.execute(QStringLiteral("INSERT INTO Terms ([No], Name, Days) VALUES (1, 'Net 30', 30)"));

    SetupEntry entry;
    ASSERT_TRUE(DescribeSetupEntry(503, 0, entry));
    EXPECT_EQ(SetupEntrySql(entry), QStringLiteral("SELECT * FROM Terms"));
    CSetupGridDlg dlg(QStringLiteral("Accounting"), QStringLiteral("Terms"), QString(), 120);
    CXGridCtrl *grid = dlg.BuildGrid(0, entry.first);
    ASSERT_TRUE(CViewDefaults::ExchangeSetupEntry(entry, *grid, nullptr, false));
    EXPECT_EQ(grid->GetCellText(0, 1), QStringLiteral("C.O.D."));
    EXPECT_EQ(grid->GetCellText(1, 1), QStringLiteral("Net 30"));
    EXPECT_FALSE(grid->IsCellEditable(0, 1));
    grid->SetCellText(2, 0, QStringLiteral("2"));
    grid->SetCellValue(2, 0, 2);
    grid->SetCellText(2, 1, QStringLiteral("Net 15"));
    grid->SetCellValue(2, 2, 15);
    ASSERT_TRUE(CViewDefaults::ExchangeSetupEntry(entry, *grid, nullptr, true));

    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT [No], Name, Days FROM Terms ORDER BY [No]"));
    QStringList rows;
    for (; !rs.isEOF(); rs.moveNext())
        rows << QStringLiteral("%1 %2 %3").arg(rs.value(0).toInt()).arg(rs.value(1).toString()).arg(rs.value(2).toInt());
    // Only changed rows are written; a fixed row whose record holds another
    // name counts as changed, so the name shown is the name stored.
    EXPECT_EQ(rows,
              QStringList({QStringLiteral("0 C.O.D. 0"), QStringLiteral("1 Net 30 30"), QStringLiteral("2 Net 15 15")}));
    EXPECT_EQ(grid->m_nRowsWritten, 2);
}

TEST_F(ViewsTest, SetupStripAndTypedTables)
{
    SetupEntry entry;
    ASSERT_TRUE(DescribeSetupEntry(302, 0, entry));
    EXPECT_EQ(SetupStripText(entry, QStringLiteral("Product Types")),
              QStringLiteral("Default Document Type and Default Quantity will be assigned to new Items. Limit: 100 "
                             "Product Types.  To Hide: Type ~ before text."));
    ASSERT_TRUE(DescribeSetupEntry(404, 0, entry));
    EXPECT_EQ(SetupStripText(entry, QStringLiteral("Customer Properties")),
              QStringLiteral("A quick check-list (up to 50 characters) Limit: 8 Customer Properties. "));
    ASSERT_TRUE(DescribeSetupEntry(503, 0, entry));
    EXPECT_EQ(SetupStripText(entry, QStringLiteral("Terms")),
              QStringLiteral("Terms 0 and 4 have special features.\nLimit: 10 Terms.  To Hide: Type ~ before text."));
    ASSERT_TRUE(DescribeSetupEntry(702, 0, entry));
    EXPECT_EQ(SetupEntrySql(entry), QStringLiteral("SELECT * FROM Vendors WHERE Vendors.Type = 1 ORDER BY [No]"));
    ASSERT_TRUE(DescribeSetupEntry(806, 7, entry));
    EXPECT_EQ(SetupEntrySql(entry),
              QStringLiteral("SELECT * FROM QuickNotes WHERE QuickNotes.Type = 5 and QCatNo = 7 ORDER BY [Sort], [Note]"));
    EXPECT_FALSE(DescribeSetupEntry(999, 0, entry));
}

TEST_F(ViewsTest, BackupCopiesThroughTheEngine)
{
    const QString target = tempPath(QStringLiteral("copy.mdb"));
    QFile existing(target);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();
    QString error;
    ASSERT_TRUE(BackupDatabase(SharedDatabase(), target, &error)) << error.toStdString();
    const int jobs = scalar(QStringLiteral("SELECT Count(*) FROM Jobs"));
    SharedDatabase().close();
    SharedDatabase().open(target);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs")), jobs);
    EXPECT_TRUE(WorkFilesOf(target).isEmpty());

    // Home > My Database > Backup into the user's own link to his own
    // folder: the copy is made there.
    const QString real = tempPath(QStringLiteral("disk/backups"));
    ASSERT_TRUE(QDir().mkpath(real));
    const QString linked = tempPath(QStringLiteral("backups"));
    ASSERT_TRUE(QFile::link(real, linked));
    std::unique_ptr<CView0> home(CreateView(30000, nullptr));
    ASSERT_TRUE(home);
    prompts().clear();
    prompts().answerFile(linked + QStringLiteral("/Friday.mdb"));
    prompts().answer(platform::IDOK);
    home->OnCommand(30572);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully copied the database\n\nFrom:\t") + target +
                                        QStringLiteral("\nTo:\t") + linked + QStringLiteral("/Friday.mdb"));
    SharedDatabase().close();
    SharedDatabase().open(real + QStringLiteral("/Friday.mdb"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Jobs")), jobs);
}

TEST_F(ViewsTest, PicturesOfTheViews)
{
    auto jobs = jobsView();
    jobs->SelectTreeCode(1);
    grab(*jobs, QStringLiteral("jobs-list.png"));

    std::unique_ptr<CView0> settings(CreateView(30006, nullptr));
    ASSERT_TRUE(settings);
    settings->resize(1000, 640);
    settings->show();
    settings->tree()->ExpandAll(true);
    grab(*settings, QStringLiteral("settings.png"));

    std::unique_ptr<CView0> home(CreateView(30000, nullptr));
    ASSERT_TRUE(home);
    home->resize(1000, 640);
    home->show();
    auto *homeView = static_cast<CViewHome *>(home.get());
    // Shown first, the view has the page of the entry selected in its tree.
    ASSERT_NE(home->tree()->currentItem(), nullptr);
    EXPECT_EQ(home->tree()->currentItem()->text(0), QStringLiteral("Tavrel"));
    EXPECT_TRUE(homeView->pageText().contains(QStringLiteral("MY COMPUTER")));
    // About: the program file's information and the system information.
    EXPECT_TRUE(homeView->pageText().contains(QStringLiteral("Memory (RAM): ")));
    EXPECT_TRUE(homeView->pageText().contains(GetProgramFileInfo(0).section(QLatin1Char('\n'), 0, 0).toHtmlEscaped()))
        << homeView->pageText().toStdString();
    grab(*home, QStringLiteral("home-start.png"));
    home->tree()->setCurrentItem(home->tree()->FindItemByData(102));
    EXPECT_TRUE(homeView->pageText().contains(QStringLiteral("Workstations Connected to Your Database: ")));
    // An information page has no page to go back to, also when the ribbon
    // asks again (after a window an "app:" link opened).
    EXPECT_FALSE(home->IsCommandEnabled(59651));
    grab(*home, QStringLiteral("home-database.png"));
    // The file changed since (another workstation wrote to it): the page
    // tells its modification time as it is now, when the view is shown
    // again and at Refresh.
    const auto touch = [](const QDateTime &when) {
        QFile file(SharedDatabase().name());
        return file.open(QIODevice::Append) && file.setFileTime(when, QFileDevice::FileModificationTime);
    };
    ASSERT_TRUE(touch(QDateTime(QDate(2020, 1, 2), QTime(10, 30))));
    home->hide();
    home->show();
    QApplication::processEvents();
    EXPECT_TRUE(homeView->pageText().contains(QStringLiteral("Modified: January 02, 2020, 10:30")))
        << homeView->pageText().toStdString();
    ASSERT_TRUE(touch(QDateTime(QDate(2021, 12, 31), QTime(23, 59))));
    EXPECT_TRUE(home->IsCommandEnabled(30121));
    home->OnCommand(30121);
    EXPECT_TRUE(homeView->pageText().contains(QStringLiteral("Modified: December 31, 2021, 23:59")))
        << homeView->pageText().toStdString();
    // An outside page, then Back: the database page again, and no Back.
    CHtmlCtrl::SetOpenHook([](const QUrl &) { return true; });
    home->tree()->setCurrentItem(home->tree()->FindItemByData(201));
    EXPECT_TRUE(homeView->browser()->toPlainText().contains(QStringLiteral("is opened in your web browser")));
    home->OnCommand(59651);
    EXPECT_TRUE(homeView->browser()->toPlainText().contains(QStringLiteral("Workstations Connected to Your Database: ")));
    // A page that could not be opened, then Back: the database page with its
    // entry and caption, Back disabled; a second Back changes nothing.
    const QString databaseCaption = home->listBar()->GetItemText(30673);
    CHtmlCtrl::SetOpenHook([](const QUrl &) { return false; });
    prompts().answer(platform::IDOK);
    home->tree()->setCurrentItem(home->tree()->FindItemByData(202));
    EXPECT_TRUE(homeView->browser()->toPlainText().contains(QStringLiteral("could not be opened")));
    EXPECT_NE(home->listBar()->GetItemText(30673), databaseCaption);
    EXPECT_EQ(home->listBar()->itemAt(home->listBar()->FindItem(59651)).state, struct_RIB_ITEM::Normal);
    for (int press = 0; press < 2; ++press) {
        home->OnCommand(59651);
        EXPECT_TRUE(
            homeView->browser()->toPlainText().contains(QStringLiteral("Workstations Connected to Your Database: ")))
            << press;
        EXPECT_EQ(CXTreeCtrl::GetItemData(home->tree()->currentItem()), 102u) << press;
        EXPECT_EQ(home->listBar()->GetItemText(30673), databaseCaption) << press;
        EXPECT_EQ(home->listBar()->itemAt(home->listBar()->FindItem(59651)).state, struct_RIB_ITEM::Disabled) << press;
    }
    CHtmlCtrl::SetOpenHook(nullptr);

    SetupEntry entry;
    ASSERT_TRUE(DescribeSetupEntry(502, 0, entry));
    CSetupGridDlg dlg(QStringLiteral("Accounting"), QStringLiteral("Taxes"), SetupStripText(entry, QStringLiteral("Taxes")), 120);
    CXGridCtrl *grid = dlg.BuildGrid(0, entry.first);
    CViewDefaults::ExchangeSetupEntry(entry, *grid, nullptr, false);
    dlg.show();
    grab(dlg, QStringLiteral("setup-taxes.png"));
}
