#include "CatalogueFixture.h"

#include "catalogue/COrganize.h"
#include "catalogue/CSerDlg.h"
#include "catalogue/CViewServices.h"
#include "catalogue/CatalogueInstall.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "views/CDlgData.h"
#include "views/CDlgGrid.h"
#include "views/CDlgOptions.h"
#include "controls/CXTreeOptCtrl.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QTreeWidgetItem>

namespace {

class ServicesViewTest : public CatalogueTest
{
protected:
    std::unique_ptr<CViewServices> makeView()
    {
        auto view = std::make_unique<CViewServices>();
        view->resize(1100, 700);
        view->OnInitialUpdate();
        view->show();
        QApplication::processEvents();
        return view;
    }
    // Chooses a category in the list manager as a click would.
    static void choose(CViewServices &view, qint32 catNo)
    {
        HTREEITEM entry = view.tree()->FindChildByData(quint32(catNo));
        ASSERT_NE(entry, nullptr);
        view.tree()->setCurrentItem(entry);
        QApplication::processEvents();
    }
    // Ticks one radio entry of a choice dialog.
    static void choose(CDlgOptions &d, long code)
    {
        for (long other = 1; other <= 3; ++other)
            d.tree()->SetOptionChecked(unsigned(other), other == code);
    }
    static QStringList names(CViewServices &view)
    {
        QStringList list;
        for (int r = 0; r < view.list()->GetItemCount(); ++r)
            list << view.list()->GetItemText(r, 0);
        return list;
    }
    static void selectRows(CViewServices &view, const QList<int> &rows)
    {
        view.list()->clearSelection();
        for (int r : rows)
            view.list()->selectionModel()->select(view.list()->model()->index(r, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

TEST_F(ServicesViewTest, ChoosingACategoryListsItsServicesInOrder)
{
    auto view = makeView();
    // Departments with their categories; the placeholder department 0 is left out.
    EXPECT_EQ(view->tree()->topLevelItemCount(), 7);
    choose(*view, 101);
    EXPECT_EQ(names(*view), (QStringList{QStringLiteral("20# Bond"), QStringLiteral("24# Bond"),
                                         QStringLiteral("20# Bond Pink"), QStringLiteral("Old Bond")}));
    EXPECT_EQ(view->listCaption(), QStringLiteral("Paper / Bond"));
    EXPECT_TRUE(view->IsCommandEnabled(30111));
    EXPECT_TRUE(view->IsCommandEnabled(30536));
    EXPECT_FALSE(view->IsCommandEnabled(30542));
    snapshot(*view, QStringLiteral("view-paper"));

    choose(*view, 105);
    EXPECT_EQ(view->list()->GetItemCount(), 0);
    EXPECT_FALSE(view->IsCommandEnabled(30646));
    EXPECT_TRUE(view->IsCommandEnabled(30536));
}

TEST_F(ServicesViewTest, NewWithoutACategoryAsksForOne)
{
    auto view = makeView();
    prompts().answer(platform::IDOK);
    view->RunCommand(30100);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Please select a Service Category first.\n"));
}

TEST_F(ServicesViewTest, MovedRowsAreSavedByListNowWithoutAQuestion)
{
    auto view = makeView();
    choose(*view, 101);
    view->list()->SelectItem(2);
    view->list()->setCurrentIndex(view->list()->model()->index(2, 0));
    view->RunCommand(30236); // to the top
    EXPECT_TRUE(view->sortOrderChanged());
    view->RunCommand(30401);
    EXPECT_FALSE(view->sortOrderChanged());
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerNo FROM Services WHERE CatNo = 101 ORDER BY SortNo")),
              QStringLiteral("12\n10\n11\n13"));
    EXPECT_EQ(app->ServicesChanged, 1);
    EXPECT_EQ(prompts().shown().size(), 0);
}

TEST_F(ServicesViewTest, ChangeStatusWritesTheChosenStatusAndNothingWithoutAChoice)
{
    auto view = makeView();
    choose(*view, 101);
    selectRows(*view, {0, 1});
    onDialog<CDlgOptions>([](CDlgOptions &d) { return press(d, 1); }); // OK with nothing chosen
    view->RunCommand(30130);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerStatus FROM Services WHERE SerNo IN (10, 11)")),
              QStringLiteral("0\n0"));
    selectRows(*view, {0, 1});
    onDialog<CDlgOptions>([](CDlgOptions &d) {
        EXPECT_EQ(d.GetEntryText(3), QStringLiteral("Discontinued (hidden for new jobs)"));
        choose(d, 3);
        return press(d, 1);
    });
    view->RunCommand(30130);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT SerStatus FROM Services WHERE SerNo IN (10, 11)")),
              QStringLiteral("2\n2"));
    EXPECT_EQ(app->ServicesChanged, 1);
}

TEST_F(ServicesViewTest, UpdateCostsOfSelectedServices)
{
    struct Case
    {
        const char *percent;
        long step;
        const char *want;
        bool asksRounding;
        bool refused = false; // said so, naming the entry
        const char *before = nullptr; // RunCost1 written first
        bool past = false;            // past what the column holds: refused naming the service and the column
    };
    const Case cases[] = {
        {"10", 2, "1360", true},
        {"0", 2, "1360", false},    // no change: nothing asked, nothing written
        {"-100", 2, "1360", false}, // a factor of 0 or below changes nothing
        // Read whole: never the digits before what is no number.
        {"abc", 2, "1360", false, true},
        {"12abc", 2, "1360", false, true},
        {"1.5.3", 2, "1360", false, true},
        {"-10", 1, "1224", true},
        // At what RunCost1 holds (2,147,483,647 cents) and one past it.
        {"10", 1, "2147483647", true, false, "1952257861"},
        {"10", 1, "1952257862", true, false, "1952257862", true},
    };
    auto view = makeView();
    for (const Case &c : cases) {
        if (c.before)
            native(QStringLiteral("UPDATE Services SET RunCost1 = %1 WHERE SerNo = 10").arg(QLatin1String(c.before)));
        choose(*view, 101);
        selectRows(*view, {0});
        onDialog<CDlgData>([&](CDlgData &d) {
            EXPECT_EQ(d.m_strStripText, QStringLiteral("This process updates the unit (not setup) costs of selected "
                                                       "services: 1.\n\nTo decrease costs, type a minus percentage."));
            d.edit()->setText(QString::fromLatin1(c.percent));
            return press(d, 1);
        });
        if (c.asksRounding) {
            onDialog<CDlgOptions>([&](CDlgOptions &d) {
                choose(d, c.step);
                return press(d, 1);
            });
        }
        prompts().clear();
        if (c.asksRounding || c.refused)
            prompts().answer(platform::IDOK);
        view->RunCommand(30646);
        if (c.refused)
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("Update Costs: Please type a percentage, such as 5 or 5.5")})
                << c.percent;
        EXPECT_EQ(sqlite(QStringLiteral("SELECT RunCost1 FROM Services WHERE SerNo = 10")), QString::fromLatin1(c.want))
            << c.percent;
        if (c.past)
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("\"20# Bond\": \"RunCost1\" cannot be more than 21,474,836.47, the "
                                                 "largest it holds.\n\nThe costs of these services are not updated.")});
        else if (c.asksRounding)
            EXPECT_EQ(prompts().lastText(), QStringLiteral("1 services are updated."));
        EXPECT_EQ(prompts().pendingAnswers(), 0) << c.percent;
    }
}

// The cost multiplier is a number: "inf", "nan" or a text are refused naming
// the entry and write nothing.
TEST_F(ServicesViewTest, CostMultiplierIsANumberOrRefusedNamingTheEntry)
{
    auto view = makeView();
    const struct
    {
        const char *typed;
        const char *stored; // CostOH afterwards
        bool refused;
    } cases[] = {{"1.5", "1.5", false}, {"inf", "1.5", true}, {"nan", "1.5", true},
                 {"1.5x", "1.5", true}, {"2", "2", false}};
    for (const auto &c : cases) {
        choose(*view, 101);
        selectRows(*view, {0});
        onDialog<CDlgData>([&](CDlgData &d) {
            d.edit()->setText(QString::fromLatin1(c.typed));
            return press(d, 1);
        });
        prompts().clear();
        prompts().answer(platform::IDOK);
        view->RunCommand(30544);
        EXPECT_EQ(prompts().texts(),
                  QStringList{c.refused ? QStringLiteral("Cost Multiplier: Please type a number, such as 1.5")
                                        : QStringLiteral("1 services are updated.")})
            << c.typed;
        EXPECT_EQ(sqlite(QStringLiteral("SELECT CostOH FROM Services WHERE SerNo = 10")), QString::fromLatin1(c.stored))
            << c.typed;
    }
}

TEST_F(ServicesViewTest, DuplicateAsksToOpenTheCopy)
{
    auto view = makeView();
    choose(*view, 101);
    selectRows(*view, {0});
    view->list()->setCurrentIndex(view->list()->model()->index(0, 0));
    prompts().answer(platform::IDNO);
    view->RunCommand(30111);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Service is successfully added!\nDo you want to view and/or edit it now?"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name FROM Services WHERE SerNo = 194")), QStringLiteral("20# Bond - Copy"));
    EXPECT_EQ(view->list()->GetItemCount(), 5);
    EXPECT_EQ(view->GetSelectedItemData(), 194);
}

TEST_F(ServicesViewTest, DropsGoOnlyToCategoriesOfTheSameKind)
{
    auto view = makeView();
    choose(*view, 101);
    auto entry = [&](qint32 data) { return view->tree()->FindChildByData(quint32(data)); };
    EXPECT_TRUE(view->CanDropOnTree(entry(150)));
    EXPECT_FALSE(view->CanDropOnTree(entry(101))); // its own category
    EXPECT_FALSE(view->CanDropOnTree(entry(201)));
    // A department entry is never a target.
    EXPECT_FALSE(view->CanDropOnTree(view->tree()->topLevelItem(1)));
}

TEST_F(ServicesViewTest, SummaryShowsTheCountOfEachCategory)
{
    auto view = makeView();
    onDialog<CDlgGrid>([](CDlgGrid &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Summary of Services"));
        // Every row, the placeholder 0 and the special services included;
        // one line per category that has services, by category number: the
        // fixture's services, Cutting with the two cutting services and
        // Padding with the padding of carbonless sets a new file has. Cover,
        // Carbonless and Digital hold none.
        EXPECT_EQ(d.m_strStripText, QStringLiteral("14 Services"));
        QStringList lines;
        int listed = 0;
        for (int row = 0; row < d.m_wndGrid.GetRowCount(); ++row) {
            lines << d.m_wndGrid.GetCellText(row, 0) + QLatin1Char(' ') + QString::number(d.m_wndGrid.GetCellValue(row, 1));
            listed += int(d.m_wndGrid.GetCellValue(row, 1));
        }
        EXPECT_EQ(lines.join(QStringLiteral(", ")), QStringLiteral("Plates 1, Bond 4, Offset 1, Cutting 6, Padding 1"));
        EXPECT_EQ(listed, 14 - 1); // all but the placeholder
        snapshot(d, QStringLiteral("summary"));
        return 1;
    });
    view->RunCommand(30536);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

} // namespace

namespace {

TEST_F(ServicesViewTest, ServicesMenuRunsTheViewCommands)
{
    auto view = makeView();
    choose(*view, 101);
    // The menu of the "Services" button: each entry's command is the menu id
    // plus its place; "Summary" is the last entry.
    const int summary = CViewServices::MenuCommands().indexOf(30536);
    ASSERT_GE(summary, 0);
    onDialog<CDlgGrid>([](CDlgGrid &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Summary of Services"));
        return 1;
    });
    view->RunCommand(CViewServices::kMenuBase + summary);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
    // Find goes to the find dialog, which says plainly that it is missing.
    prompts().answer(platform::IDOK);
    view->RunCommand(30101);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The find dialog is not yet available in this version of Tavrel."));
    // "Service Settings" switches to the settings view.
    int switched = 0;
    QObject::connect(view.get(), &CView0::switchViewRequested, [&](int id) { switched = id; });
    view->RunCommand(30674);
    EXPECT_EQ(switched, 30006);
}

} // namespace

namespace {

TEST_F(ServicesViewTest, NewAndOpenRunTheServiceDialogAndRefillTheList)
{
    auto view = makeView();
    choose(*view, 150);
    onDialog<CSerDlg>([](CSerDlg &d) {
        EXPECT_NE(d.commandRibbon().FindItem(30100), -1); // opened for adding
        EXPECT_EQ(d.record().m_CatNo, 150);
        d.edit(CSerDlg::IDC_NAME)->setText(QStringLiteral("80# Cover"));
        return press(d, 30443);
    });
    view->RunCommand(30100);
    EXPECT_EQ(names(*view), QStringList{QStringLiteral("80# Cover")});
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Name, CatNo, QtyBy FROM Services WHERE SerNo = 194")),
              QStringLiteral("80# Cover|150|4"));

    choose(*view, 101);
    view->list()->setCurrentIndex(view->list()->model()->index(1, 0));
    onDialog<CSerDlg>([](CSerDlg &d) {
        EXPECT_TRUE(d.isEditable());
        EXPECT_EQ(d.commandRibbon().FindItem(30100), -1); // opened from the list: no "New"
        d.edit(CSerDlg::IDC_NAME)->setText(QStringLiteral("24# Bond Ivory"));
        return press(d, 30443);
    });
    view->RunCommand(30103);
    EXPECT_EQ(names(*view).at(1), QStringLiteral("24# Bond Ivory"));
    // The service opener of the application opens the same dialog.
    onDialog<CSerDlg>([](CSerDlg &d) {
        EXPECT_EQ(d.edit(CSerDlg::IDC_NAME)->text(), QStringLiteral("24# Bond Ivory"));
        return press(d, 2);
    });
    InstallCatalogue(*app);
    app->OpenService(11);
    app->OpenService(4242); // unknown: nothing
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

} // namespace

namespace {

TEST_F(ServicesViewTest, SummaryOfAnEmptyTableShowsNothing)
{
    auto view = makeView();
    // No unpaid invoices: no window, no message.
    view->ShowSummary(QStringLiteral("Invoices"),
                      QStringLiteral("SELECT 'Current' AS Age, Sum(Balance) AS Balance FROM Jobs WHERE JobType = 3"));
    view->ShowSummary(QStringLiteral("Services"), QStringLiteral("SELECT Name, SerNo FROM Services WHERE SerNo < 0"));
    EXPECT_TRUE(prompts().shown().isEmpty());
}

} // namespace
