#include "DialogsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "resources/Strings.h"
#include "views/CView0.h"

#include <QtGui/QCursor>
#include <QtTest/QSignalSpy>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QTreeWidgetItem>

namespace {

// A list view that lets rows move in the list and be dropped on the
// "On Hold" entry of the list manager.
class DragView : public CView0
{
public:
    DragView(bool moveInList, bool dropOnTree) : CView0(30001)
    {
        m_nMoveInList = moveInList ? 1 : 0;
        m_nDropOnTree = dropOnTree ? 1 : 0;
        m_nNoticeCommand = 30211;
    }
    // Also says yes to the branch header "Orders": headers never take rows.
    bool CanDropOnTree(QTreeWidgetItem *entry) override
    {
        return entry->text(0) == QStringLiteral("On Hold") || entry->text(0) == QStringLiteral("Orders");
    }
    void DropOnTree() override
    {
        dropped = dropTreeEntry()->text(0) + QLatin1Char(':') + QString::number(list()->GetItemData(dragRow()));
    }
    QString dropped;
};

QString rowTexts(CXListCtrl &list)
{
    QStringList texts;
    for (int r = 0; r < list.GetItemCount(); ++r)
        texts << list.GetItemText(r, 0);
    return texts.join(QLatin1Char(','));
}

Qt::CursorShape overrideShape()
{
    return QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::BitmapCursor;
}

} // namespace

class ListViewBaseTest : public DialogsTest
{
protected:
    std::unique_ptr<DragView> makeView(bool moveInList, bool dropOnTree)
    {
        auto view = std::make_unique<DragView>(moveInList, dropOnTree);
        view->resize(1000, 640);
        view->OnInitialUpdate();
        view->LoadTreeBranches(IDS_JOB_LISTS_ORDERS, IDS_JOB_LISTS_ORDERS, 0, 0);
        view->tree()->expandAll();
        view->show();
        CXListCtrl &list = *view->list();
        list.ClearList();
        // Rows A-D carry keys 11-14; D has no image and cannot be dragged.
        for (int r = 0; r < 4; ++r)
            list.InsertRow(r, QString(QChar(u'A' + r)), 11 + r, r == 3 ? CXListCtrl::kNoImage : 1);
        QApplication::processEvents();
        return view;
    }
    // Centre of a list row in the list's viewport.
    static QPoint rowPoint(CXListCtrl &list, int row)
    {
        return list.visualRect(list.model()->index(row, 0)).center();
    }
    // Where a list-manager entry lies, in the list viewport's coordinates
    // (the viewport holds the mouse during a drag).
    static QPoint entryPoint(DragView &view, const QString &text)
    {
        const QList<QTreeWidgetItem *> found = view.tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_FALSE(found.isEmpty()) << text.toStdString();
        const QPoint inTree = view.tree()->visualItemRect(found.value(0)).center();
        return view.list()->viewport()->mapFrom(&view, view.tree()->viewport()->mapTo(&view, inTree));
    }
    static void startDrag(CXListCtrl &list, int row)
    {
        QWidget *port = list.viewport();
        QTest::mousePress(port, Qt::LeftButton, {}, rowPoint(list, row));
        QTest::mouseMove(port, rowPoint(list, row) + QPoint(QApplication::startDragDistance() + 2, 0));
    }
};

TEST_F(ListViewBaseTest, DraggingARowMovesItAndShowsTheNoticeOnce)
{
    auto view = makeView(true, false);
    CXListCtrl &list = *view->list();
    QWidget *port = list.viewport();

    startDrag(list, 0);
    ASSERT_TRUE(view->isDragging());
    EXPECT_EQ(overrideShape(), Qt::ForbiddenCursor);

    // Onto row 1: highlighted at once. Then row 3: the old highlight goes
    // first, row 3 takes it at the next move.
    QTest::mouseMove(port, rowPoint(list, 1));
    EXPECT_EQ(list.GetDropHilitedRow(), 1);
    EXPECT_EQ(overrideShape(), Qt::ArrowCursor);
    QTest::mouseMove(port, rowPoint(list, 3));
    EXPECT_EQ(list.GetDropHilitedRow(), -1);
    EXPECT_EQ(overrideShape(), Qt::ForbiddenCursor);
    QTest::mouseMove(port, rowPoint(list, 2));
    EXPECT_EQ(list.GetDropHilitedRow(), 2);

    QTest::mouseRelease(port, Qt::LeftButton, {}, rowPoint(list, 2));
    EXPECT_FALSE(view->isDragging());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(list.GetDropHilitedRow(), -1);
    EXPECT_EQ(rowTexts(list), QStringLiteral("B,C,A,D"));
    EXPECT_EQ(view->moveCount(), 1);
    EXPECT_EQ(view->listBar()->GetItemText(30211), QStringLiteral("Sort Order Changed..."));

    // The notice is put up by the first move only.
    view->SetNoticeButton(QString(), 6);
    startDrag(list, 3); // D has no image: nothing starts
    EXPECT_FALSE(view->isDragging());
    QTest::mouseRelease(port, Qt::LeftButton, {}, rowPoint(list, 3));
    startDrag(list, 1);
    QTest::mouseMove(port, rowPoint(list, 0));
    QTest::mouseRelease(port, Qt::LeftButton, {}, rowPoint(list, 0));
    EXPECT_EQ(rowTexts(list), QStringLiteral("C,B,A,D"));
    EXPECT_EQ(view->moveCount(), 2);
    EXPECT_EQ(view->listBar()->GetItemText(30211), QString());
}

TEST_F(ListViewBaseTest, DropOnTheListManagerTakesOnlyAcceptedListEntries)
{
    auto view = makeView(false, true);
    CXListCtrl &list = *view->list();
    QWidget *port = list.viewport();

    // The branch header and an entry the view refuses are no targets.
    startDrag(list, 1);
    ASSERT_TRUE(view->isDragging());
    QTest::mouseMove(port, entryPoint(*view, QStringLiteral("Orders")));
    EXPECT_EQ(view->dropTreeEntry(), nullptr);
    EXPECT_EQ(overrideShape(), Qt::ForbiddenCursor);
    QTest::mouseMove(port, entryPoint(*view, QStringLiteral("Late")));
    EXPECT_EQ(view->dropTreeEntry(), nullptr);
    QTest::mouseRelease(port, Qt::LeftButton, {}, entryPoint(*view, QStringLiteral("Late")));
    EXPECT_EQ(view->dropped, QString());

    // Rows of the list are no targets when only the tree takes drops.
    startDrag(list, 1);
    QTest::mouseMove(port, rowPoint(list, 2));
    EXPECT_EQ(list.GetDropHilitedRow(), -1);
    QTest::mouseMove(port, entryPoint(*view, QStringLiteral("On Hold")));
    ASSERT_NE(view->dropTreeEntry(), nullptr);
    EXPECT_EQ(view->dropTreeEntry()->text(0), QStringLiteral("On Hold"));
    EXPECT_EQ(overrideShape(), Qt::ArrowCursor);
    QTest::mouseRelease(port, Qt::LeftButton, {}, entryPoint(*view, QStringLiteral("On Hold")));
    EXPECT_EQ(view->dropped, QStringLiteral("On Hold:12"));
    EXPECT_EQ(rowTexts(list), QStringLiteral("A,B,C,D"));
    EXPECT_EQ(view->moveCount(), 0);
}

TEST_F(ListViewBaseTest, RowMoveCommandsFollowTheCurrentRow)
{
    // A view that does not allow moving keeps its rows.
    auto fixed = makeView(false, false);
    fixed->list()->SelectItem(2);
    fixed->OnCommand(30236);
    EXPECT_EQ(rowTexts(*fixed->list()), QStringLiteral("A,B,C,D"));
    fixed.reset();

    auto view = makeView(true, false);
    CXListCtrl &list = *view->list();
    list.SelectItem(2);
    EXPECT_TRUE(view->OnCommand(30236)); // top
    EXPECT_EQ(rowTexts(list), QStringLiteral("C,A,B,D"));
    EXPECT_TRUE(view->OnCommand(30238)); // down one
    EXPECT_EQ(rowTexts(list), QStringLiteral("A,C,B,D"));
    EXPECT_TRUE(view->OnCommand(30237)); // bottom
    EXPECT_EQ(rowTexts(list), QStringLiteral("A,B,D,C"));
    // Down from the last row is refused and counts nothing.
    EXPECT_FALSE(view->MoveListRow(30238));
    EXPECT_EQ(view->moveCount(), 3);
    EXPECT_EQ(view->listBar()->GetItemText(30211), QStringLiteral("Sort Order Changed..."));
}

TEST_F(ListViewBaseTest, ListCaptionTakesTheFreeWidthOfItsBar)
{
    auto view = makeView(false, false);
    CXRibbon &bar = *view->listBar();
    // A hidden item (the notice button) leaves its room to the caption
    // until it shows.
    const auto others = [&bar] {
        int width = 0;
        for (int i = 0; i < bar.GetItemCount(); ++i)
            if (bar.itemAt(i).id != 30673 && (bar.itemAt(i).id == 0 || bar.itemAt(i).state != struct_RIB_ITEM::Hidden))
                width += bar.itemAt(i).rect.width();
        return width;
    };
    EXPECT_EQ(bar.itemAt(0).rect.width(), bar.width() - others());
    bar.SetItemState(30211, 0);
    EXPECT_EQ(bar.itemAt(0).rect.width(), bar.width() - others());
    EXPECT_TRUE(bar.overflowIds().isEmpty());
}

namespace {

// A view that keeps the scans it is given.
class ScanView : public CView0
{
public:
    ScanView() : CView0(30001) {}
    int OnScanCommand(int command, int key) override
    {
        scans << QStringLiteral("%1:%2:%3").arg(command).arg(barCode().m_nObject).arg(key);
        barCode().Reset();
        return 1;
    }
    QStringList scans;
};

} // namespace

TEST_F(ListViewBaseTest, AScanInTheListReachesTheViewAndNoKeyReachesTheList)
{
    ScanView view;
    view.resize(1000, 640);
    view.OnInitialUpdate();
    view.show();
    view.list()->setFocus();
    QApplication::processEvents();
    std::int64_t now = 0;
    view.barCode().SetClock([&now] { return now; });
    QSignalSpy keys(view.list(), &QAbstractItemView::activated);
    QTest::keyClick(view.list(), '&', Qt::ShiftModifier); // item
    QTest::keyClicks(view.list(), QStringLiteral("4711"));
    QTest::keyClick(view.list(), '#', Qt::ShiftModifier);
    EXPECT_EQ(view.scans, QStringList({QStringLiteral("30410:4711:0")}));
    EXPECT_FALSE(view.barCode().HasOpenCode());
}
