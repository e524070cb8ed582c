#include "DialogsFixture.h"

#include "controls/CXTreeCtrl.h"
#include "controls/DlgItem.h"
#include "platform/Settings.h"
#include "views/CDlgGrid.h"
#include "views/CDlgRibbon.h"
#include "views/CDlgTree.h"
#include "views/RemindersService.h"

#include <QtGui/QScreen>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

// A record dialog as the business areas lay one out.
class RecordDialog : public CDlgRibbon
{
public:
    explicit RecordDialog(bool navigation) : CDlgRibbon(9001, nullptr)
    {
        m_strWindowName = QStringLiteral("Test Record");
        m_bSavePlacement = 1;
        m_strRibbonTitle = QStringLiteral("Job 1001");
        AddPlaceholder(kRecordRibbon, QRect(0, 0, 800, 40));
        if (navigation)
            AddPlaceholder(kNavRibbon, QRect(0, 40, 160, 30));
        AddPlaceholder(kRibbon5, QRect(0, 560, 800, 40));
        CreateRecordList(m_wndList, kRecordList, QRect(0, 72, 800, 486));
        AddSizeMarker(QPoint(800, 600));
    }
};

class PriceDialog : public CDlgGrid
{
public:
    explicit PriceDialog(int gridKind = 0) : CDlgGrid(9002, nullptr, gridKind, 120)
    {
        m_strRibbonTitle = QStringLiteral("Price Table");
        AddStandardLayout(QSize(420, 300), QRect(15, 70, 200, 120));
        if (gridKind)
            AddButton(unsigned(gridKind), QStringLiteral("Done"), QRect(15, 250, 90, 28))->hide();
    }
    void addColumns(CXGridCtrl &grid, int rows)
    {
        grid.AddColumn(QStringLiteral("Name"), 120, 1);
        grid.AddColumn(QStringLiteral("Qty"), 60, 3, QStringLiteral("%d"));
        grid.AddColumn(QStringLiteral("Icon"), 50, 3, QStringLiteral("%d"));
        grid.SetRows(rows, rows);
    }
};

QString storedPlacement()
{
    return platform::Settings::readString(CZqApp::kWindowPos, QStringLiteral("Test Record Window"));
}

bool itemEnabled(CXRibbon &ribbon, unsigned id)
{
    const int index = ribbon.FindItem(id);
    return index >= 0 && ribbon.itemAt(index).state != struct_RIB_ITEM::Disabled;
}

} // namespace

TEST_F(DialogsTest, RecordDialogOpensCentredAtItsMinimumThenWhereItWasCancelled)
{
    QRect closedAt;
    RecordDialog first(false);
    onDialog<CDlgRibbon>([&](CDlgRibbon &d) {
        EXPECT_GE(d.width(), 1004);
        EXPECT_GE(d.height(), 728);
        const QPoint middle = d.screen()->availableGeometry().center();
        // Centred before the frame was known: within the frame's margins.
        EXPECT_LE((d.frameGeometry().center() - middle).manhattanLength(), 8);
        EXPECT_EQ(d.m_wndRecordRibbon.GetItemText(30281), QStringLiteral("Job 1001"));
        // The list and the bottom ribbon follow the grown window.
        EXPECT_EQ(GetDlgItem(&d, 1401)->width(), d.width());
        EXPECT_EQ(GetDlgItem(&d, 1742)->geometry().bottom(), d.height() - 1);
        d.SetStatusButton(QStringLiteral("Status: Open"), 2);
        EXPECT_EQ(d.m_wndRecordRibbon.GetItemText(30526), QStringLiteral("Status: Open"));
        snapshot(d, QStringLiteral("record-dialog"));
        // Moved and made smaller, as far as its 800 minimum width lets it
        // stay within the test's screen (800 x 800, the frame 2 wide at the
        // left): a placement off the screen would come back moved onto it.
        d.setGeometry(2, 41, 700, 600);
        closedAt = d.geometry();
        EXPECT_EQ(closedAt, QRect(2, 41, 800, 600));
        return press(d, 2);
    });
    EXPECT_EQ(first.DoModal(), 2);
    EXPECT_EQ(storedPlacement(), QStringLiteral("0,1,-1,-1,-1,-1,%1,%2,%3,%4")
                                     .arg(closedAt.left())
                                     .arg(closedAt.top())
                                     .arg(closedAt.left() + closedAt.width())
                                     .arg(closedAt.top() + closedAt.height()));

    RecordDialog again(false);
    onDialog<CDlgRibbon>([&](CDlgRibbon &d) {
        EXPECT_EQ(d.geometry(), closedAt);
        // Closing with OK keeps nothing new.
        d.setGeometry(60, 60, 1010, 730);
        return press(d, 1);
    });
    EXPECT_EQ(again.DoModal(), 1);

    // A read-only record dialog leaves the stored placement alone.
    RecordDialog readOnly(false);
    readOnly.m_bReadOnly = 1;
    onDialog<CDlgRibbon>([&](CDlgRibbon &d) {
        EXPECT_EQ(d.geometry(), closedAt);
        d.setGeometry(80, 90, 1200, 800);
        return press(d, 2);
    });
    EXPECT_EQ(readOnly.DoModal(), 2);
    EXPECT_EQ(storedPlacement().section(QLatin1Char(','), 6, 7),
              QStringLiteral("%1,%2").arg(closedAt.left()).arg(closedAt.top()));
}

TEST_F(DialogsTest, RecordNavigationFollowsTheAttachedList)
{
    RecordDialog alone(true);
    onDialog<CDlgRibbon>([](CDlgRibbon &d) {
        for (unsigned id : {30101u, 59648u, 59649u, 59650u, 59651u}) {
            EXPECT_FALSE(itemEnabled(d.m_wndNavRibbon, id)) << id;
            EXPECT_TRUE(d.m_wndNavRibbon.GetItemTip(id).isEmpty() || id == 30101) << id;
        }
        EXPECT_EQ(d.NavigateRecord(59650), 0);
        return press(d, 2);
    });
    alone.DoModal();

    exec(QStringLiteral("DELETE FROM Employees"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (3, 'Carla', 1, 2)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (5, 'Ben', 1, 1)"));
    exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (8, 'Dora', 1, 3)"));
    CXListCtrl viewList;
    viewList.FillFromSql(QStringLiteral("SELECT Name, EmpNo FROM Employees ORDER BY Sort"), QStringLiteral("EmpNo"));
    ASSERT_EQ(viewList.GetItemCount(), 3);
    viewList.SelectItem(0);

    RecordDialog attached(true);
    attached.m_pAttachedList = &viewList;
    onDialog<CDlgRibbon>([&](CDlgRibbon &d) {
        CXRibbon &nav = d.m_wndNavRibbon;
        EXPECT_TRUE(itemEnabled(nav, 30101));
        EXPECT_FALSE(itemEnabled(nav, 59648)); // already on the first row
        EXPECT_FALSE(itemEnabled(nav, 59651));
        EXPECT_TRUE(itemEnabled(nav, 59650));
        EXPECT_EQ(nav.GetItemTip(59650), QStringLiteral("Carla"));
        EXPECT_EQ(nav.GetItemTip(59649), QStringLiteral("Dora"));
        EXPECT_EQ(nav.GetItemTip(59648), QString());
        EXPECT_EQ(d.NavigateRecord(59650), 3);
        EXPECT_EQ(d.NavigateRecord(59649), 8);
        EXPECT_EQ(d.NavigateRecord(59649), 0); // nowhere to go
        EXPECT_EQ(d.NavigateRecord(30236), 0); // not a navigation command
        d.UpdateNavButtons(true);
        EXPECT_TRUE(itemEnabled(nav, 59648));
        EXPECT_EQ(nav.GetItemTip(59651), QStringLiteral("Carla"));
        EXPECT_FALSE(itemEnabled(nav, 59650));
        d.UpdateNavButtons(false);
        EXPECT_FALSE(itemEnabled(nav, 30101));
        EXPECT_FALSE(itemEnabled(nav, 59648));
        return press(d, 2);
    });
    attached.DoModal();
    EXPECT_EQ(viewList.GetCurrentRow(), 2);
}

TEST_F(DialogsTest, GridDialogPlacesItsGridsAndKeepsWhatTheEditorHolds)
{
    PriceDialog dlg;
    dlg.addColumns(dlg.m_wndGrid, 4);
    dlg.m_wndGrid2.AddColumn(QStringLiteral("Markup"), 80, 3, QStringLiteral("%d"));
    dlg.m_wndGrid2.SetRows(4, 4);
    dlg.SetGridOffsets(0, 0, -10, 0);
    dlg.m_wndGrid2.SetCellValue(2, 0, 45);
    onDialog<CDlgGrid>([](CDlgGrid &d) {
        const QRect main = d.m_wndGrid.geometry();
        const QRect second = d.m_wndGrid2.geometry();
        EXPECT_EQ(second.left(), main.right() + 1 + 10);
        EXPECT_EQ(second.top(), main.top());
        EXPECT_GE(d.width(), second.right() + 1 + CDlgGrid::kMargin);
        // OK and Cancel stand in the middle under the grids.
        const QRect ok = GetDlgItem(&d, 1)->geometry();
        const QRect cancel = GetDlgItem(&d, 2)->geometry();
        EXPECT_LE(std::abs((ok.left() + cancel.right()) / 2 - d.width() / 2), 2);
        EXPECT_GT(ok.top(), main.bottom());
        EXPECT_FALSE(d.IsItemVisible(1001));
        EXPECT_FALSE(d.IsItemVisible(1008));
        EXPECT_EQ(d.GetSecondCellLong(2, 0), 45);
        d.SetSecondCellLong(3, 0, 12);
        // The main grid opens its editor on the first cell; a typed value
        // not yet committed still counts once OK is pressed.
        EXPECT_EQ(d.m_wndGrid.GetCurRow(), 0);
        EXPECT_EQ(d.m_wndGrid.GetCurCol(), 0);
        QLineEdit *edit = d.m_wndGrid.textEditor();
        EXPECT_TRUE(edit && d.m_wndGrid.editor() == edit);
        if (edit)
            edit->setText(QStringLiteral("Plates"));
        snapshot(d, QStringLiteral("grid-dialog"));
        return press(d, 1);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(dlg.m_wndGrid.GetCellText(0, 0), QStringLiteral("Plates"));
    EXPECT_EQ(dlg.m_wndGrid2.GetCellValue(3, 0), 12);

    // A second grid without columns is never made; by default a second grid
    // stands right below the main grid, sharing its border line.
    PriceDialog single;
    single.addColumns(single.m_wndGrid, 2);
    single.m_strExtraCaption = QStringLiteral("Recalculate");
    single.m_strNoteName = QStringLiteral("Price Table");
    onDialog<CDlgGrid>([](CDlgGrid &d) {
        EXPECT_FALSE(d.m_wndGrid2.isCreated());
        EXPECT_EQ(GetDlgItem(&d, CDlgGrid::kSecondGrid), nullptr);
        EXPECT_EQ(d.GetItemText(1001), QStringLiteral("Recalculate"));
        EXPECT_TRUE(d.IsItemVisible(1001));
        EXPECT_TRUE(d.IsItemVisible(1008));
        return press(d, 1001);
    });
    EXPECT_EQ(single.DoModal(), 1001);

    PriceDialog below;
    below.addColumns(below.m_wndGrid, 2);
    below.m_wndGrid2.AddColumn(QStringLiteral("Total"), 120, 3, QStringLiteral("%d"));
    below.m_wndGrid2.SetRows(1, 1);
    onDialog<CDlgGrid>([](CDlgGrid &d) {
        EXPECT_EQ(d.m_wndGrid2.geometry().top(), d.m_wndGrid.geometry().bottom());
        EXPECT_EQ(d.m_wndGrid2.geometry().left(), d.m_wndGrid.geometry().left());
        return press(d, 1003);
    });
    EXPECT_EQ(below.DoModal(), 1003);
}

TEST_F(DialogsTest, GridDialogWithAPropertySheetOrAGridKind)
{
    PriceDialog sheet;
    sheet.addColumns(sheet.m_wndGrid, 2);
    sheet.m_wndProp.AddCaption(QStringLiteral("Paper"));
    sheet.m_wndProp.AddRow(1, QStringLiteral("Name"));
    onDialog<CDlgGrid>([](CDlgGrid &d) {
        EXPECT_TRUE(d.m_wndProp.isCreated());
        EXPECT_FALSE(d.m_wndGrid.isCreated());
        EXPECT_EQ(GetDlgItem(&d, CDlgGrid::kGrid), &d.m_wndProp);
        return press(d, 2);
    });
    EXPECT_EQ(sheet.DoModal(), 2);

    PriceDialog kind(1950);
    kind.addColumns(kind.m_wndGrid, 2);
    onDialog<CDlgGrid>([](CDlgGrid &d) {
        EXPECT_FALSE(d.IsItemVisible(1));
        EXPECT_FALSE(d.IsItemVisible(2));
        EXPECT_TRUE(d.IsItemVisible(1950));
        EXPECT_GT(GetDlgItem(&d, 1950)->y(), d.m_wndGrid.geometry().bottom());
        return press(d, 2);
    });
    EXPECT_EQ(kind.DoModal(), 2);
}

TEST_F(DialogsTest, ChangeIconWritesTheChosenImageIntoTheRow)
{
    PriceDialog dlg;
    dlg.addColumns(dlg.m_wndGrid, 3);
    dlg.m_wndGrid.SetCellValue(1, 2, 154);
    dlg.m_strExtraCaption = QStringLiteral("Change Icon");
    onDialog<CDlgGrid>([this](CDlgGrid &d) {
        d.m_wndGrid.EditCell(1, 0);
        onDialog<CDlgTree>([](CDlgTree &t) {
            QTreeWidgetItem *root = t.tree()->topLevelItem(0);
            EXPECT_EQ(root->childCount(), 179 - 152 + 1);
            EXPECT_EQ(t.m_nChosen, 154);
            t.tree()->setCurrentItem(root->child(160 - 152));
            return press(t, 1);
        });
        d.SendCommand(1001);
        EXPECT_TRUE(d.isVisible()); // the icon picker does not end the dialog
        EXPECT_EQ(d.m_wndGrid.GetCellValue(1, 2), 160);
        EXPECT_EQ(d.GetMainCellLong(2), 160);
        // Cancelled, the picker changes nothing.
        onDialog<CDlgTree>([](CDlgTree &t) { return press(t, 2); });
        d.SendCommand(1001);
        EXPECT_EQ(d.m_wndGrid.GetCellValue(1, 2), 160);
        return press(d, 1);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

TEST_F(DialogsTest, RecordDialogsOpenTheRecordsRemindersAndShowTheirCounts)
{
    SharedDatabase().execute(QStringLiteral("DELETE FROM Todos"));
    SharedDatabase().execute(QStringLiteral("INSERT INTO Todos (ViewID, RefID, TypeID, Who, [When], [Time], Opt1, "
                                            "Status, Note) VALUES (30001, 7, 0, 0, #01/01/2020#, '', 0, 0, 'Late')"));
    RecordDialog dialog(false);
    QList<RemindersRequest> requests;
    SetRemindersOpener([&](const RemindersRequest &request, QWidget *) {
        requests << request;
        RemindersAnswer answer;
        answer.changed = true;
        return answer;
    });
    onDialog<CDlgRibbon>([&](CDlgRibbon &d) {
        d.AddRemindersItem(30001, 7);
        const int item = d.m_wndRecordRibbon.FindItem(8900);
        EXPECT_GE(item, 0);
        EXPECT_EQ(d.m_wndRecordRibbon.itemAt(item).text2, QStringLiteral("Reminders: 1 Today"));
        SharedDatabase().execute(QStringLiteral("UPDATE Todos SET [When] = #01/01/2099#"));
        d.ShowReminders(30001, 7);
        EXPECT_EQ(d.m_wndRecordRibbon.itemAt(item).text2, QStringLiteral("Reminders: 0 Today + 1 Later"));
        return press(d, 2);
    });
    dialog.DoModal();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].viewId, 30001);
    EXPECT_EQ(requests[0].refId, 7);
    SetRemindersOpener(nullptr);

    // Without the reminders list the user is told so.
    prompts().answer(platform::IDOK);
    ShowReminders(RemindersRequest{}, nullptr, nullptr);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("The reminders list is not yet available in this version of Tavrel."));
}
