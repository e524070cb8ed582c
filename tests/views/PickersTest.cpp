#include "DialogsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "controls/CXTable.h"
#include "controls/CXTreeOptCtrl.h"
#include "controls/DlgItem.h"
#include "data/CXDaoSet.h"
#include "views/CDateRange.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"
#include "views/CDlgTree.h"
#include "views/CFavoritesDlg.h"

#include <QtGui/QFontMetrics>
#include <QtCore/QFile>
#include <QtTest/QTest>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QLineEdit>

namespace {

qint32 optionValue(int id)
{
    CXDaoSet s;
    s.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT OptionSum FROM Options WHERE OptionID = %1").arg(id));
    return s.IsEmptySet() ? -1 : s.GetLong(0);
}

// Clicks an option as the user does: the first click selects it.
void clickOption(CXTreeOptCtrl &tree, unsigned id)
{
    HTREEITEM item = tree.FindOption(id);
    ASSERT_NE(item, nullptr);
    tree.scrollToItem(item);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.visualItemRect(item).center());
    QApplication::processEvents();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST_F(DialogsTest, TreePickerOffersVisibleEmployeesAndCancelsAnEmptyKindUnseen)
{
    exec(QStringLiteral("DELETE FROM Employees"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (3, 'Carla', 1, 2)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (5, 'Ben', 1, 1)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (7, '~Gone', 1, 0)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (9, 'Otto', 0, 0)"));

    CDlgTree csr(2, 3, nullptr);
    onDialog<CDlgTree>([](CDlgTree &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Select a CSR"));
        QTreeWidgetItem *root = d.tree()->topLevelItem(0);
        EXPECT_EQ(root->text(0), QStringLiteral("Select a CSR"));
        QStringList names;
        for (int i = 0; i < root->childCount(); ++i)
            names << root->child(i)->text(0);
        EXPECT_EQ(names, QStringList({QStringLiteral("?"), QStringLiteral("Ben"), QStringLiteral("Carla")}));
        EXPECT_EQ(d.m_nChosen, 3); // the preselected leaf
        snapshot(d, QStringLiteral("tree-picker"));
        d.tree()->setCurrentItem(root->child(1));
        EXPECT_EQ(d.topRibbon().GetItemText(30281), QStringLiteral("Ben"));
        return press(d, 1);
    });
    EXPECT_EQ(csr.DoModal(), 1);
    EXPECT_EQ(csr.m_nChosen, 5);

    // No default CSR yet (code 0): the leaf "?" is the one highlighted, not
    // the branch, which holds 0 as its data too.
    CDlgTree nobody(2, 0, nullptr);
    onDialog<CDlgTree>([](CDlgTree &d) {
        QTreeWidgetItem *root = d.tree()->topLevelItem(0);
        EXPECT_EQ(d.tree()->currentItem(), root->child(0));
        EXPECT_EQ(d.tree()->selectedItems(), QList<QTreeWidgetItem *>{root->child(0)});
        EXPECT_EQ(d.topRibbon().GetItemText(30281), QStringLiteral("?"));
        return press(d, 1);
    });
    EXPECT_EQ(nobody.DoModal(), 1);
    EXPECT_EQ(nobody.m_nChosen, 0);

    // A code no leaf holds leaves the choice at 0 and nothing highlighted.
    CDlgTree op(1, 42, nullptr);
    onDialog<CDlgTree>([](CDlgTree &d) {
        EXPECT_EQ(d.m_nChosen, 0);
        EXPECT_TRUE(d.tree()->selectedItems().isEmpty());
        return press(d, 2);
    });
    EXPECT_EQ(op.DoModal(), 2);

    // Sales reps of kind 5 (without "?"): none exist, so no window at all.
    CDlgTree reps(5, 0, nullptr);
    EXPECT_EQ(reps.DoModal(), 2);
    EXPECT_EQ(prompts().pendingAnswers(), 0);

    CDlgTree colours(30, 154, nullptr);
    colours.m_nFirstImage = 152;
    colours.m_nLastImage = 156;
    onDialog<CDlgTree>([](CDlgTree &d) {
        EXPECT_EQ(d.tree()->topLevelItem(0)->childCount(), 5);
        EXPECT_EQ(d.tree()->topLevelItem(0)->child(0)->text(0), QStringLiteral(" 152"));
        return press(d, 1);
    });
    EXPECT_EQ(colours.DoModal(), 1);
    EXPECT_EQ(colours.m_nChosen, 154);
}

TEST_F(DialogsTest, OptionGroupsStartFromTheirOwnRowsAndAreSavedPerGroup)
{
    // A check group with the stored value 5 starts with options 1 and 3 checked.
    exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44308, 5)"));
    CDlgOptions checks(QStringLiteral("Orders"), QStringLiteral("Check all that apply:"), 158, nullptr);
    checks.AddOptionGroups(44306, 44308, false, 0); // 44306 and 44307 do not exist
    ASSERT_EQ(checks.GetEntryCount(), 8);
    EXPECT_EQ(checks.entry(1).m_value, 4430801);
    EXPECT_TRUE(checks.IsEntryChecked(4430801));
    EXPECT_FALSE(checks.IsEntryChecked(4430802));
    EXPECT_TRUE(checks.IsEntryChecked(4430803));
    onDialog<CDlgOptions>([](CDlgOptions &d) {
        snapshot(d, QStringLiteral("option-picker"));
        d.tree()->SetOptionChecked(4430801, false);
        d.tree()->SetOptionChecked(4430807, true);
        return press(d, 1);
    });
    EXPECT_EQ(checks.DoModal(), 1);
    EXPECT_EQ(checks.m_nCheckMask, 4 | 64);
    checks.SaveOptionGroups();
    EXPECT_EQ(optionValue(44308), 4 + 64);

    // Radio groups: a group without a row starts with nothing chosen, even
    // after a group that has one; saved unchanged it stores 0.
    CDlgOptions radios(QStringLiteral("Orders"), QString(), 0, nullptr);
    radios.AddRadioGroup(QStringLiteral("First"), 158);
    radios.AddEntry(101, QStringLiteral("A"), 1);
    radios.AddEntry(102, QStringLiteral("B"), 0);
    radios.AddOptionGroups(44308, 44308, true, 0); // stored 68: no position matches
    EXPECT_EQ(radios.GetCheckedInRange(4430800, 4430899), 0);
    radios.SaveOptionGroups();
    EXPECT_EQ(optionValue(1), 1);
    EXPECT_EQ(optionValue(44308), 0);

    exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44308"));
    CDlgOptions fresh(QStringLiteral("Orders"), QString(), 0, nullptr);
    fresh.AddOptionGroups(44308, 44308, false, 0);
    EXPECT_EQ(fresh.GetCheckedInRange(1, 99999999), 0);
}

TEST_F(DialogsTest, OptionPickerAsksItsConfirmationOnlyWhenSomethingIsChecked)
{
    CDlgOptions dlg(QStringLiteral("Print"), QStringLiteral("What to print?"), 0, nullptr);
    dlg.AddCheckGroup(QStringLiteral("Documents"), 158);
    dlg.AddListEntries(1, QStringLiteral("Invoice,Packing Slip,"));
    dlg.m_strConfirm = QStringLiteral("Print the checked documents?");
    onDialog<CDlgOptions>([this](CDlgOptions &d) {
        EXPECT_EQ(press(d, 1), 1); // nothing checked: no question
        EXPECT_TRUE(prompts().texts().isEmpty());
        return d.result();
    });
    EXPECT_EQ(dlg.DoModal(), 1);

    CDlgOptions asks(QStringLiteral("Print"), QString(), 0, nullptr);
    asks.AddCheckGroup(QStringLiteral("Documents"), 158);
    asks.AddListEntries(1, QStringLiteral("Invoice,Packing Slip,"));
    asks.m_strConfirm = QStringLiteral("Print the checked documents?");
    prompts().answer(platform::IDNO);
    prompts().answer(platform::IDYES);
    onDialog<CDlgOptions>([this](CDlgOptions &d) {
        d.tree()->SetOptionChecked(2, true);
        d.SendCommand(1);
        EXPECT_TRUE(d.isVisible()); // "No" keeps it open
        return press(d, 1);
    });
    EXPECT_EQ(asks.DoModal(), 1);
    EXPECT_EQ(prompts().texts(), QStringList({QStringLiteral("Print the checked documents?"),
                                              QStringLiteral("Print the checked documents?")}));
    EXPECT_EQ(asks.GetCheckedInRange(1, 2), 2);
    EXPECT_EQ(asks.GetEntryText(2), QStringLiteral("Packing Slip"));

    CDlgOptions none(QStringLiteral("Empty"), QString(), 0, nullptr);
    EXPECT_EQ(none.DoModal(), 2);
}

TEST_F(DialogsTest, OptionPickerSendsAPrintOfTheWindowToTheScreenNotToAFile)
{
    CDlgOptions dlg(QStringLiteral("Print"), QStringLiteral("What and where?"), 0, nullptr);
    dlg.AddRadioGroup(QStringLiteral("Print"), 158);
    dlg.AddEntry(30330, QStringLiteral("List"), 1);
    dlg.AddEntry(30335, QStringLiteral("Window"));
    dlg.AddEntry(30336, QStringLiteral("Window (fit to page)"));
    dlg.AddRadioGroup(QStringLiteral("To"), 159);
    dlg.AddEntry(57608, QStringLiteral("Printer"));
    dlg.AddEntry(57609, QStringLiteral("File"), 1);
    onDialog<CDlgOptions>([](CDlgOptions &d) {
        CXTreeOptCtrl &tree = *d.tree();
        clickOption(tree, 30335);
        EXPECT_TRUE(tree.IsOptionChecked(30335));
        EXPECT_TRUE(tree.IsOptionChecked(57608));
        EXPECT_FALSE(tree.IsOptionChecked(57609));
        // Other choices leave the destination alone.
        clickOption(tree, 57609);
        EXPECT_TRUE(tree.IsOptionChecked(57609));
        EXPECT_TRUE(tree.IsOptionChecked(30335));
        clickOption(tree, 30330);
        EXPECT_TRUE(tree.IsOptionChecked(57609));
        clickOption(tree, 30336);
        EXPECT_TRUE(tree.IsOptionChecked(57608));
        return press(d, 1);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(dlg.GetCheckedInRange(30000, 39999), 30336);
    EXPECT_EQ(dlg.GetCheckedInRange(57608, 57609), 57608);
}

TEST_F(DialogsTest, ListPickerShowsTheCannedListsOfTheViews)
{
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (500, 'Acme Buyers', 0)"));
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (501, 'Zeta O''Neil', 0)"));
    const QString longName = QStringLiteral("Riverside Hardware & Paper Supply Co.");
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (502, '%1', 0)").arg(longName));
    CDlgList dlg(QStringLiteral("Customers"), QStringLiteral("Customers"), QStringLiteral("Customers"), 0, 500, 0,
                 210, nullptr);
    onDialog<CDlgList>([&](CDlgList &d) -> int {
        CXListCtrl *list = d.list();
        EXPECT_TRUE(d.isOKAllowed()); // a canned list may always be chosen from
        EXPECT_EQ(list->GetColumnText(0), QStringLiteral("Name"));
        // The eleven columns are spread over the picker's width, yet the
        // names read whole: the Name column holds the longest one, and no
        // column is narrowed below its heading (the list scrolls instead).
        const int riverside = list->FindItemByData(502, false);
        if (riverside < 0)
            return press(d, 2);
        EXPECT_EQ(list->GetItemText(riverside, 0), longName);
        EXPECT_GE(list->GetColumnWidth(0), list->sizeHintForIndex(list->model()->index(riverside, 0)).width());
        EXPECT_GE(list->GetColumnWidth(0), QFontMetrics(list->font()).horizontalAdvance(longName) + 16);
        for (int c = 0; c < list->GetColumnCount(); ++c)
            if (list->GetColumnWidth(c) > 0)
                EXPECT_GE(list->GetColumnWidth(c), QFontMetrics(list->font()).horizontalAdvance(list->GetColumnText(c)))
                    << list->GetColumnText(c).toStdString();
        const int acme = list->FindItemByData(500, false);
        const int zeta = list->FindItemByData(501, false);
        EXPECT_GE(acme, 0);
        EXPECT_GT(zeta, acme); // by name
        EXPECT_EQ(list->GetCurrentRow(), acme);
        EXPECT_EQ(d.bottomRibbon().GetItemText(30262), QStringLiteral("Listed: %1").arg(list->GetItemCount()));
        snapshot(d, QStringLiteral("list-picker-customers"));
        list->SelectItem(zeta);
        return press(d, 1);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(dlg.m_nChosenId, 501);

    for (const QString &source : {QStringLiteral("Jobs"), QStringLiteral("Services"), QStringLiteral("Items")}) {
        CDlgList canned(QStringLiteral("List"), QStringLiteral("Select"), source, 0, 0, 0, 210, nullptr);
        onDialog<CDlgList>([&](CDlgList &d) {
            EXPECT_GT(d.list()->GetColumnCount(), 1) << source.toStdString();
            return press(d, 2);
        });
        EXPECT_EQ(canned.DoModal(), 2);
    }
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
}

namespace {

// A progress window that keeps the titles it is started with and never stops.
class TitleKeeper : public CXProgress
{
public:
    explicit TitleKeeper(QStringList &titles) : m_titles(titles) {}
    void Start(int, const QString &title, bool, bool cancellable, const QString &) override
    {
        m_titles << title + (cancellable ? QStringLiteral(" [Stop]") : QString());
    }
    bool Step(const QString &) override { return true; }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return true; }

private:
    QStringList &m_titles;
};

} // namespace

// A find's matches in the list picker are read beside the window: a find
// that keeps the engine busy shows the progress window with its Stop, and
// its matches are listed.
TEST_F(DialogsTest, ListPickerFindsItsMatchesBesideTheWindow)
{
    {
        platform::Transaction tx(SharedDatabase());
        for (int n = 0; n < 500; ++n)
            exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, CusStatus) VALUES (%1, 'Buyer %1', 0)").arg(600 + n));
        tx.commit();
    }
    QStringList titles;
    CXProgress::SetFactory([&titles] { return std::make_unique<TitleKeeper>(titles); });
    // A condition of the user's own that takes the engine a while (500 x
    // 500 x 500 rows counted), met by the customers numbered 600 to 609.
    CDlgList::SetFindRunner([](const QString &, QString &findText, QString &filterText) {
        filterText = QStringLiteral("Customers.CusNo Between 600 And 609 And (SELECT Count(*) FROM Customers AS A, "
                                    "Customers AS B, Customers AS C WHERE A.CusNo >= 600 And B.CusNo >= 600 And "
                                    "C.CusNo >= 600) > 0");
        findText = filterText;
        return true;
    });
    CDlgList dlg(QStringLiteral("Customers"), QStringLiteral("Customers"), QStringLiteral("Customers"), 0, 0, 2, 210,
                 nullptr);
    int listed = -1;
    onDialog<CDlgList>([&](CDlgList &d) -> int {
        listed = d.list()->GetItemCount();
        return press(d, 2);
    });
    dlg.DoModal();
    CXProgress::SetFactory({});
    CDlgList::SetFindRunner(nullptr);
    EXPECT_EQ(listed, 10);
    EXPECT_EQ(titles, QStringList{QStringLiteral("Running the query [Stop]")});
}

TEST_F(DialogsTest, ListPickerReadsBackWhatTheTableExports)
{
    CXTable table;
    table.SetSize(3, 3);
    table.SetColumnName(0, QStringLiteral("Name"), 20, 10);
    table.SetColumnName(1, QStringLiteral("City, State"), 20, 10);
    table.SetColumnName(2, QStringLiteral("Qty"), 8, 4);
    const QStringList rows[] = {{QStringLiteral("Smith, Anna"), QStringLiteral("Dover"), QStringLiteral("12")},
                                {QStringLiteral("The \"Best\" Print"), QStringLiteral("Salem, OR"), QStringLiteral("3")},
                                {QStringLiteral("Plain"), QStringLiteral("5\" x 7\""), QStringLiteral("40")}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            table.SetCellText(r, c, rows[r][c]);
    for (int type : {2, 1}) {
        const QString path = tempPath(QStringLiteral("export%1.txt").arg(type));
        prompts().answer(1);
        ASSERT_TRUE(table.ExportToFile(path, type));
        CDlgList dlg(QStringLiteral("Import"), QStringLiteral("Select a row"), QStringLiteral("TextFile"), 0, 0, 0,
                     210, nullptr);
        dlg.m_strTextFile = path;
        onDialog<CDlgList>([&](CDlgList &d) {
            CXListCtrl *list = d.list();
            EXPECT_EQ(list->GetColumnText(1), QStringLiteral("City, State"));
            EXPECT_EQ(list->GetItemCount(), 3);
            for (int r = 0; r < 3 && r < list->GetItemCount(); ++r)
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(list->GetItemText(r, c), rows[r][c]) << type << " " << r << " " << c;
            if (type == 2)
                snapshot(d, QStringLiteral("list-picker-file"));
            list->SelectItem(1);
            return press(d, 1);
        });
        EXPECT_EQ(dlg.DoModal(), 1);
        EXPECT_EQ(dlg.m_rowTexts, rows[1]);
    }
}

TEST_F(DialogsTest, ListPickerChecksItsTextFileAndItsRightToConfirm)
{
    const QString oneLine = tempPath(QStringLiteral("one.txt"));
    writeFile(oneLine, "Name\tCity\r\n");
    CDlgList titles(QStringLiteral("Import"), QStringLiteral("Select"), QStringLiteral("TextFile"), 0, 0, 0, 210,
                    nullptr);
    titles.m_strTextFile = oneLine;
    onDialog<CDlgList>([](CDlgList &d) {
        EXPECT_EQ(d.list()->GetColumnCount(), 2);
        EXPECT_EQ(d.list()->GetItemCount(), 0);
        EXPECT_FALSE(d.isOKAllowed() && d.list()->GetItemCount() > 0);
        return press(d, 2);
    });
    EXPECT_EQ(titles.DoModal(), 2);

    const QString plain = tempPath(QStringLiteral("plain.txt"));
    writeFile(plain, "just words\r\nmore\r\n");
    CDlgList bad(QStringLiteral("Import"), QStringLiteral("Select"), QStringLiteral("TextFile"), 0, 0, 0, 210, nullptr);
    bad.m_strTextFile = plain;
    prompts().answer(1);
    onDialog<CDlgList>([](CDlgList &d) { return press(d, 2); });
    bad.DoModal();
    CDlgList missing(QStringLiteral("Import"), QStringLiteral("Select"), QStringLiteral("TextFile"), 0, 0, 0, 210,
                     nullptr);
    missing.m_strTextFile = tempPath(QStringLiteral("nothing.txt"));
    prompts().answer(1);
    onDialog<CDlgList>([](CDlgList &d) { return press(d, 2); });
    missing.DoModal();
    EXPECT_EQ(prompts().texts(), QStringList({QStringLiteral("Import file is not comma or tab delimeted."),
                                              QStringLiteral("Import file does not exist.")}));

    // A free statement: without "Select" in the title the list only shows.
    exec(QStringLiteral("DELETE FROM Employees"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (3, 'Carla', 1, 2)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (5, 'Ben', 1, 1)"));
    const QString sql = QStringLiteral("SELECT Name, EmpNo FROM Employees ORDER BY Name");
    CDlgList view(QStringLiteral("List"), QStringLiteral("Employees"), sql, 0, 0, 0, 210, nullptr);
    onDialog<CDlgList>([](CDlgList &d) {
        EXPECT_EQ(d.list()->GetItemCount(), 2);
        EXPECT_FALSE(d.isOKAllowed());
        d.list()->SelectItem(0);
        d.SendCommand(1);
        EXPECT_TRUE(d.isVisible());
        return press(d, 2);
    });
    EXPECT_EQ(view.DoModal(), 2);

    CDlgList pick(QStringLiteral("Employees"), QStringLiteral("Select an Employee"), sql, 0, 5, 0, 210, nullptr);
    onDialog<CDlgList>([](CDlgList &d) {
        EXPECT_TRUE(d.isOKAllowed());
        EXPECT_EQ(d.bottomRibbon().GetItemText(30262), QStringLiteral("Listed: 2"));
        snapshot(d, QStringLiteral("list-picker-sql"));
        d.list()->SelectItem(1);
        return press(d, 1);
    });
    EXPECT_EQ(pick.DoModal(), 1);
    EXPECT_EQ(pick.m_nChosenId, 3);
}

TEST_F(DialogsTest, DateRangeShowsItsRangeAndGivesTheClauseOnlyOnOk)
{
    CDateRange dlg(nullptr);
    dlg.m_from = QDate(2011, 1, 31);
    dlg.m_to = QDate(2011, 1, 31);
    onDialog<CDateRange>([](CDateRange &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Date Range: 01/31/2011 - 01/31/2011"));
        d.toCalendar()->setSelectedDate(QDate(2011, 1, 5));
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Date Range: 01/31/2011 - 01/05/2011"));
        snapshot(d, QStringLiteral("date-range"));
        return press(d, 1);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(dlg.m_to, QDate(2011, 1, 5));
    EXPECT_EQ(dlg.m_strSql, QStringLiteral(" between #01/31/2011# and #01/05/2011#"));

    CDateRange cancelled(nullptr);
    cancelled.m_from = QDate(2012, 2, 1);
    onDialog<CDateRange>([](CDateRange &d) {
        d.fromCalendar()->setSelectedDate(QDate(2012, 2, 9));
        return press(d, 2);
    });
    EXPECT_EQ(cancelled.DoModal(), 2);
    EXPECT_EQ(cancelled.m_from, QDate(2012, 2, 1));
    EXPECT_TRUE(cancelled.m_strSql.isEmpty());
}

TEST_F(DialogsTest, SavedFavouritesAreFoundAgainEditedAndRemoved)
{
    CFavoritesDlg empty(QStringLiteral("Favorites"), 30003, 200, nullptr);
    prompts().answer(1);
    EXPECT_EQ(empty.DoModal(), 2);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Sorry, cannot find any Favorites."));

    const long first = CFavoritesDlg::AddFavorite(200, 30003, QStringLiteral("Customers"),
                                                  QStringLiteral("Late payers"), QStringLiteral("Balance > 0"),
                                                  QString(), 2, 3);
    ASSERT_GT(first, 0);
    CFavoritesDlg::AddFavorite(200, 30001, QStringLiteral("Jobs"), QStringLiteral("Open jobs"), QString(),
                               QString(), 1, 1);
    // A text with too few separators, and a description holding one.
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText, AlertPrint, AlertColor) "
                        "VALUES (0, 200, 'Customers \u00B7 New \u00B7 ones', 2, 4)"));

    CFavoritesDlg dlg(QStringLiteral("Favorites"), 30003, 200, nullptr);
    onDialog<CFavoritesDlg>([&](CFavoritesDlg &d) {
        EXPECT_EQ(d.tree()->topLevelItemCount(), 1); // only the customers' view
        QTreeWidgetItem *group = d.tree()->topLevelItem(0);
        EXPECT_EQ(group->text(0), QStringLiteral("Customers"));
        EXPECT_EQ(group->childCount(), 2);
        d.tree()->setCurrentItem(group->child(1));
        EXPECT_EQ(d.m_strDescription, QStringLiteral("New"));
        EXPECT_EQ(d.m_strFilter, QStringLiteral("ones"));
        EXPECT_EQ(d.m_strExtra, QString());
        EXPECT_TRUE(d.IsItemVisible(30405));
        d.tree()->setCurrentItem(group->child(0));
        EXPECT_EQ(d.m_strFilter, QStringLiteral("Balance > 0"));
        EXPECT_EQ(d.m_nColor, 2);
        EXPECT_EQ(d.m_nSound, 3);
        auto *desc = qobject_cast<QLineEdit *>(GetDlgItem(&d, 1301));
        desc->setText(QStringLiteral("Slow payers"));
        d.SendCommand(30213);
        EXPECT_EQ(group->child(0)->text(0), QStringLiteral("Slow payers"));
        snapshot(d, QStringLiteral("favorites"));
        return press(d, 1);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(dlg.m_strDescription, QStringLiteral("Slow payers"));
    CXDaoSet s;
    s.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE AlertNo = %1").arg(first));
    QString text;
    s.GetFieldText(0, text, false);
    EXPECT_EQ(text, QStringLiteral("Customers \u00B7 Slow payers \u00B7 Balance > 0 \u00B7 "));

    CFavoritesDlg remove(QStringLiteral("Favorites"), 30003, 200, nullptr);
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDYES);
    onDialog<CFavoritesDlg>([](CFavoritesDlg &d) {
        d.tree()->setCurrentItem(d.tree()->topLevelItem(0)->child(0));
        d.SendCommand(30405);
        EXPECT_EQ(d.tree()->topLevelItem(0)->childCount(), 1);
        EXPECT_FALSE(GetDlgItem(&d, 30405)->isEnabled());
        return press(d, 2);
    });
    remove.DoModal();
    EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Do you want to remove 'Slow payers' from your favorites?")));
}

// A favourite is kept whole or not at all: its filter cut at the row's 255
// characters would select other rows (a favourite of 14 orders opened all).
TEST_F(DialogsTest, AFavouriteLongerThanItsRowIsRefusedBeforeAnythingIsSaved)
{
    const QString refusal = QStringLiteral("This favorite cannot be saved: its text is longer than 255 characters.\n\n"
                                           "Please use a shorter name, or a filter that selects fewer rows.");
    // "Jobs · " + name + " · Selected: 14 · " is 25 characters and the name;
    // the SQL of 14 numbers of four digits, "JobNo IN (5001, ..., 5014)", is
    // 10 + 14 x 4 + 13 x 2 + 1 = 93: a name of 137 letters brings it to 255.
    QStringList numbers;
    for (int n = 5001; n <= 5014; ++n)
        numbers << QString::number(n);
    const QString sql = QStringLiteral("JobNo IN (%1)").arg(numbers.join(QStringLiteral(", ")));
    ASSERT_EQ(sql.size(), 93);
    const QString shown = QStringLiteral("Selected: 14");
    const auto text = [&](const QString &name) {
        return CFavoritesDlg::JoinText(QStringLiteral("Jobs"), name, shown, sql);
    };
    const QString fits = QString(137, QLatin1Char('n'));
    ASSERT_EQ(text(fits).size(), 255);
    const struct
    {
        int nameLength;
        bool kept;
    } cases[] = {{137, true}, {138, false}, {200, false}};
    int rows = 0;
    for (const auto &c : cases) {
        prompts().clear();
        const QString name = QString(c.nameLength, QLatin1Char('n'));
        if (!c.kept)
            prompts().answer(platform::IDOK);
        const long added = CFavoritesDlg::AddFavorite(200, 30001, QStringLiteral("Jobs"), name, shown, sql, 1, 1);
        EXPECT_EQ(added > 0, c.kept) << c.nameLength;
        rows += c.kept ? 1 : 0;
        EXPECT_EQ(prompts().texts(), c.kept ? QStringList() : QStringList{refusal}) << c.nameLength;
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM CustomerAlerts WHERE AlertType = 200")),
                  QString::number(rows));
    }
    EXPECT_EQ(sqlite(QStringLiteral("SELECT length(AlertText) FROM CustomerAlerts WHERE AlertType = 200")),
              QStringLiteral("255"));

    // Renamed in the favourites: one letter more is refused, the row as it was.
    CFavoritesDlg dlg(QStringLiteral("Favorites"), 30001, 200, nullptr);
    onDialog<CFavoritesDlg>([&](CFavoritesDlg &d) {
        d.tree()->setCurrentItem(d.tree()->topLevelItem(0)->child(0));
        qobject_cast<QLineEdit *>(GetDlgItem(&d, 1301))->setText(QString(138, QLatin1Char('r')));
        prompts().answer(platform::IDOK);
        d.SendCommand(30213);
        EXPECT_EQ(prompts().lastText(), refusal);
        return press(d, 2);
    });
    dlg.DoModal();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE AlertType = 200")), text(fits));
}

TEST_F(DialogsTest, HomeViewFavouritesAreFoundAgain)
{
    // The home view sits one before the first view: its key is the byte's
    // no-value pattern, which is stored as Null.
    CFavoritesDlg::AddFavorite(200, 30000, QStringLiteral("Home"), QStringLiteral("Start page"), QString(),
                               QString(), 1, 1);
    CFavoritesDlg::AddFavorite(200, 30001, QStringLiteral("Jobs"), QStringLiteral("Open jobs"), QString(),
                               QString(), 1, 1);
    CFavoritesDlg dlg(QStringLiteral("Favorites"), 30000, 200, nullptr);
    onDialog<CFavoritesDlg>([](CFavoritesDlg &d) {
        EXPECT_EQ(d.tree()->topLevelItemCount(), 1);
        EXPECT_EQ(d.tree()->topLevelItem(0)->text(0), QStringLiteral("Home"));
        EXPECT_EQ(d.tree()->topLevelItem(0)->childCount(), 1);
        d.tree()->setCurrentItem(d.tree()->topLevelItem(0)->child(0));
        EXPECT_EQ(d.m_strDescription, QStringLiteral("Start page"));
        return press(d, 2);
    });
    EXPECT_EQ(dlg.DoModal(), 2);
    EXPECT_TRUE(prompts().texts().isEmpty());
}
