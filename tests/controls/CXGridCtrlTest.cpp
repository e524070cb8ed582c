#include "ControlsFixture.h"

#include "controls/ControlMessages.h"
#include "controls/CXEdit.h"
#include "controls/CXGridCtrl.h"
#include "controls/DrawTextFormat.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QScrollBar>

class CXGridCtrlTest : public ControlsTest
{
protected:
    // Columns: 0 "#" (number, not editable), 1 text "&5", 2 pick list, 3 money;
    // `rows` rows of which `visible` show.
    void build(CXGridCtrl &grid, int rows = 4, int visible = 4)
    {
        grid.AddColumn(QStringLiteral("#"), 30, 6, QStringLiteral("%3"), 0);
        grid.AddColumn(QStringLiteral("Name"), 120, 1, QStringLiteral("&5"));
        grid.AddColumn(QStringLiteral("Unit"), 80, 2);
        grid.AddColumn(QStringLiteral("Price"), 80, 8, QStringLiteral("2"), 1, DT_RIGHT);
        grid.AddPickItems(2, 0, QStringLiteral("Each,Box,Sheet,"));
        grid.SetRows(rows, visible);
        grid.NumberRows();
        ASSERT_TRUE(grid.Create(host.get(), 1600, 10, 10));
    }
    static QPoint cellPoint(const CXGridCtrl &grid, int row, int column)
    {
        static const int lefts[] = {0, 30, 150, 230, 310};
        return QPoint(lefts[column] + 10,
                      grid.GetHeaderHeight() + (row - grid.firstVisibleRow()) * grid.rowHeight() + 10);
    }
    static QList<int> messagesOf(const QSignalSpy &spy, int message)
    {
        QList<int> out;
        for (const auto &m : spy)
            if (m.at(0).toInt() == message)
                out << int(m.at(2).toLongLong());
        return out;
    }
};

TEST_F(CXGridCtrlTest, CreationSizesTheWindowFromColumnsAndRows)
{
    CXGridCtrl grid;
    build(grid, 10, 6);
    EXPECT_EQ(grid.geometry(), QRect(10, 10, 310 + 1 + 17, 21 + 6 * 21 + 1));
    EXPECT_TRUE(grid.isVertScrollShown());
    EXPECT_EQ(grid.GetCellValue(9, 0), 10);
    EXPECT_EQ(grid.CellIndex(2, 3), 11);
    int row = 0, column = 0;
    grid.IndexToCell(11, row, column);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(column, 3);

    CXGridCtrl small;
    small.AddColumn(QStringLiteral("A"), 50, 1);
    small.SetRows(3, 10);
    EXPECT_EQ(small.visibleRowCount(), 3);
    small.SetRows(0, 0);
    EXPECT_EQ(small.visibleRowCount(), 1);
    EXPECT_FALSE(CXGridCtrl().CreateInDlgItem(host.get(), 4343));
}

TEST_F(CXGridCtrlTest, GridWithoutEditableColumnsOpensNoEditor)
{
    CXGridCtrl grid;
    grid.AddColumn(QStringLiteral("A"), 60, 1, QString(), 0);
    grid.AddColumn(QStringLiteral("B"), 60, 6, QStringLiteral("%3"), 0);
    grid.SetRows(3, 3);
    ASSERT_TRUE(grid.Create(host.get(), 1601, 0, 0));
    QSignalSpy messages(&grid, &CXGridCtrl::ownerMessage);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(20, 40));
    EXPECT_EQ(grid.editor(), nullptr);
    EXPECT_TRUE(messagesOf(messages, MSG_ROW_ENTERED).isEmpty());
    // A locked cell of an editable column takes no editor either.
    CXGridCtrl second;
    build(second);
    second.SetCellEditable(1, 1, 0);
    second.EditCell(1, 1);
    EXPECT_EQ(second.editor(), nullptr);
}

TEST_F(CXGridCtrlTest, ClickOnALockedColumnFindsTheNextEditableOne)
{
    CXGridCtrl grid;
    build(grid);
    QSignalSpy messages(&grid, &CXGridCtrl::ownerMessage);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, cellPoint(grid, 2, 0));
    EXPECT_EQ(grid.GetCurRow(), 2);
    EXPECT_EQ(grid.GetCurCol(), 1);
    EXPECT_EQ(grid.editor(), grid.textEditor());
    EXPECT_EQ(messagesOf(messages, MSG_ROW_ENTERED), QList<int>{grid.CellIndex(2, 1)});
}

// Tab walks along the row in every grid, so a value typed after Tab lands
// in the next cell of the same record; Enter goes down while the grid says
// so. Columns 1-3 are editable, column 0 is not.
TEST_F(CXGridCtrlTest, TabWalksTheRowAndEnterGoesDown)
{
    struct Move
    {
        const char *name;
        bool enterMovesDown;
        int row, column;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int toRow, toColumn;
    } moves[] = {
        {"Tab to the next cell", true, 1, 1, Qt::Key_Tab, {}, 1, 2},
        {"Tab to the row's last cell", true, 1, 2, Qt::Key_Tab, {}, 1, 3},
        {"Tab at the row's end: next row's first editable cell", true, 1, 3, Qt::Key_Tab, {}, 2, 1},
        {"Tab on the last cell of the grid stays", true, 3, 3, Qt::Key_Tab, {}, 3, 3},
        {"Tab stays too when Enter goes across", false, 3, 3, Qt::Key_Tab, {}, 3, 3},
        {"Shift+Tab back", true, 2, 3, Qt::Key_Tab, Qt::ShiftModifier, 2, 2},
        {"Backtab back", true, 2, 2, Qt::Key_Backtab, Qt::ShiftModifier, 2, 1},
        // Some keyboards and X servers send Backtab without the Shift.
        {"Backtab without Shift back", true, 2, 2, Qt::Key_Backtab, {}, 2, 1},
        {"Backtab without Shift at the row's start: the row above", true, 2, 1, Qt::Key_Backtab, {}, 1, 3},
        {"Shift+Tab at the row's start: the end of the row above", true, 2, 1, Qt::Key_Tab, Qt::ShiftModifier, 1, 3},
        {"Shift+Tab on the first cell of the grid stays", true, 0, 1, Qt::Key_Tab, Qt::ShiftModifier, 0, 1},
        {"Enter goes down", true, 1, 2, Qt::Key_Return, {}, 2, 2},
        {"Shift+Enter goes up", true, 1, 2, Qt::Key_Return, Qt::ShiftModifier, 0, 2},
        {"Enter on the last row stays", true, 3, 2, Qt::Key_Return, {}, 3, 2},
        {"Enter across when the grid says so", false, 1, 3, Qt::Key_Enter, {}, 2, 1},
    };
    for (const Move &m : moves) {
        SCOPED_TRACE(m.name);
        CXGridCtrl grid;
        build(grid);
        grid.SetEnterMovesDown(m.enterMovesDown);
        grid.EditCell(m.row, m.column);
        ASSERT_NE(grid.editor(), nullptr);
        QTest::keyClick(grid.editor(), m.key, m.modifiers);
        EXPECT_EQ(grid.GetCurRow(), m.toRow);
        EXPECT_EQ(grid.GetCurCol(), m.toColumn);
        EXPECT_NE(grid.editor(), nullptr);
    }
}

TEST_F(CXGridCtrlTest, HomeEndAndArrowsSearchForEditableCells)
{
    CXGridCtrl grid;
    build(grid);
    grid.EditCell(2, 2);
    QTest::keyClick(grid.editor(), Qt::Key_Home);
    EXPECT_EQ(grid.GetCurRow(), 0);
    EXPECT_EQ(grid.GetCurCol(), 1);
    QTest::keyClick(grid.editor(), Qt::Key_End);
    EXPECT_EQ(grid.GetCurRow(), 3);
    EXPECT_EQ(grid.GetCurCol(), 3);
    QTest::keyClick(grid.editor(), Qt::Key_Up);
    EXPECT_EQ(grid.GetCurRow(), 2);

    // Inside a text the arrows move the caret, at its start they move the cell.
    grid.SetCellText(1, 1, QStringLiteral("abc"));
    grid.EditCell(1, 1);
    grid.textEditor()->setCursorPosition(2);
    QTest::keyClick(grid.textEditor(), Qt::Key_Left);
    EXPECT_EQ(grid.GetCurCol(), 1);
    EXPECT_EQ(grid.textEditor()->cursorPosition(), 1);
    grid.textEditor()->setCursorPosition(0);
    QTest::keyClick(grid.textEditor(), Qt::Key_Right);
    EXPECT_EQ(grid.GetCurCol(), 2);
    QTest::keyClick(grid.editor(), Qt::Key_Left);
    EXPECT_EQ(grid.GetCurCol(), 1);
}

TEST_F(CXGridCtrlTest, PageDownMovesByAPageAndStopsAtTheEnd)
{
    CXGridCtrl grid;
    build(grid, 20, 5);
    grid.EditCell(2, 1);
    QTest::keyClick(grid.editor(), Qt::Key_PageDown);
    EXPECT_EQ(grid.GetCurRow(), 7);
    EXPECT_EQ(grid.firstVisibleRow(), 5);
    QTest::keyClick(grid.editor(), Qt::Key_PageDown);
    EXPECT_EQ(grid.GetCurRow(), 12);
    QTest::keyClick(grid.editor(), Qt::Key_PageDown);
    EXPECT_EQ(grid.firstVisibleRow(), 15); // the last row is the last visible row
    EXPECT_EQ(grid.GetCurRow(), 17);
    QTest::keyClick(grid.editor(), Qt::Key_PageDown);
    EXPECT_EQ(grid.firstVisibleRow(), 15);
    EXPECT_EQ(grid.GetCurRow(), 17); // no row a page further: the editor stays
    QTest::keyClick(grid.editor(), Qt::Key_PageUp);
    EXPECT_EQ(grid.firstVisibleRow(), 10);
    EXPECT_EQ(grid.GetCurRow(), 12);
}

TEST_F(CXGridCtrlTest, TextLimitCutsTheEntryAndReportsTheChange)
{
    CXGridCtrl grid;
    build(grid);
    QSignalSpy messages(&grid, &CXGridCtrl::ownerMessage);
    grid.EditCell(0, 1);
    grid.textEditor()->setText(QStringLiteral("Letters"));
    grid.EndEdit();
    EXPECT_EQ(grid.GetCellText(0, 1), QStringLiteral("Lette"));
    EXPECT_EQ(messagesOf(messages, MSG_VALUE_CHANGED), QList<int>{grid.CellIndex(0, 1)});
    EXPECT_EQ(grid.m_modified, 1);
    grid.EndEdit(); // nothing new: no second report
    EXPECT_EQ(messagesOf(messages, MSG_VALUE_CHANGED).size(), 1);

    // Typed key by key, a text stops at the column's "&N" or the size of its
    // table column, whichever is smaller, with a beep for each key not
    // taken: the cell keeps what its editor showed.
    const struct
    {
        const char *lookup;
        int tableSize; // 0: none known
        const char *before;
        const char *typed;
        const char *kept;
        int beeps;
    } rows[] = {
        {"&5", 0, "", "Letters", "Lette", 2},
        {"&5", 0, "", "Lette", "Lette", 0},
        {"&5", 3, "", "Letters", "Let", 4},
        {"&5", 8, "", "Letters", "Lette", 2},
        {"", 4, "", "Letters", "Lett", 3},
        {"", 0, "", "Letters", "Letters", 0},
        {"&20", 20, "", "ABCDEFGHIJKLMNOPQRSTU", "ABCDEFGHIJKLMNOPQRST", 1},
        // A longer text the program put in shows whole; typing adds nothing.
        {"&5", 0, "Lettering", "", "Lettering", 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.lookup) + " " + std::to_string(row.tableSize) + " " + row.typed);
        CXGridCtrl g;
        g.AddColumn(QStringLiteral("Name"), 120, 1, QString::fromLatin1(row.lookup));
        g.AddColumn(QStringLiteral("Other"), 120, 1, QStringLiteral("&2"));
        g.SetRows(2, 2);
        g.SetColumnTextSize(0, row.tableSize);
        ASSERT_TRUE(g.Create(host.get(), 1601, 10, 10));
        g.SetCellText(0, 0, QString::fromLatin1(row.before));
        g.EditCell(0, 1); // the shared editor held to another column first
        g.EditCell(0, 0);
        prompts().clear();
        g.textEditor()->end(false);
        QTest::keyClicks(g.textEditor(), QString::fromLatin1(row.typed));
        const QString shown = g.textEditor()->text();
        int beeps = 0;
        for (const platform::PromptRecord &r : prompts().shown())
            beeps += r.kind == platform::PromptRecord::Kind::Beep ? 1 : 0;
        QTest::keyClick(g.editor(), Qt::Key_Tab);
        EXPECT_EQ(shown, QString::fromLatin1(row.kept));
        EXPECT_EQ(g.GetCellText(0, 0), QString::fromLatin1(row.kept));
        EXPECT_EQ(beeps, row.beeps);
    }
}

TEST_F(CXGridCtrlTest, TypedAndPickListCellsKeepValueAndText)
{
    CXGridCtrl grid;
    build(grid);
    QSignalSpy messages(&grid, &CXGridCtrl::ownerMessage);
    grid.EditCell(1, 3);
    EXPECT_EQ(grid.editor(), grid.typedEditor());
    // More decimals than the column keeps: refused naming the column, the
    // cell as it was; then an amount with its thousands.
    const int before = grid.GetCellValue(1, 3);
    grid.typedEditor()->setText(QStringLiteral("12.345"));
    prompts().answer(platform::IDOK);
    grid.EndEdit();
    EXPECT_EQ(grid.GetCellValue(1, 3), before);
    ASSERT_EQ(prompts().texts().size(), 1);
    EXPECT_TRUE(prompts().texts().first().startsWith(grid.GetColumnHeader(3).simplified() + QStringLiteral(": ")))
        << prompts().texts().first().toStdString();
    grid.typedEditor()->setText(QStringLiteral("1,012.34"));
    QTest::keyClick(grid.editor(), Qt::Key_Down);
    EXPECT_EQ(grid.GetCellValue(1, 3), 101234);
    EXPECT_EQ(grid.GetCellText(1, 3), QStringLiteral("1012.34"));
    EXPECT_EQ(grid.GetCurRow(), 2);

    grid.SetCellValue(2, 2, 1);
    EXPECT_EQ(grid.GetCellText(2, 2), QStringLiteral("Box"));
    grid.SetCellValue(2, 2, 9);
    EXPECT_TRUE(grid.GetCellText(2, 2).isEmpty());
    grid.EditCell(2, 2);
    EXPECT_EQ(grid.listEditor()->currentIndex(), -1);
    grid.EditCell(1, 1); // leaving without a choice keeps the value
    EXPECT_EQ(grid.GetCellValue(2, 2), 9);
    grid.SetCellValue(2, 2, 0);
    grid.EditCell(2, 2);
    grid.listEditor()->setCurrentIndex(2);
    emit grid.listEditor()->activated(2);
    EXPECT_EQ(grid.GetCellValue(2, 2), 2);
    EXPECT_EQ(grid.GetCellText(2, 2), QStringLiteral("Sheet"));
    EXPECT_EQ(messagesOf(messages, MSG_VALUE_CHANGED).last(), grid.CellIndex(2, 2));
}

TEST_F(CXGridCtrlTest, MouseSendsHeaderImageAndClickNotes)
{
    CXGridCtrl grid;
    build(grid);
    grid.SetCellImage(1, 1, 186);
    QSignalSpy messages(&grid, &CXGridCtrl::ownerMessage);
    QSignalSpy notes(&grid, &CXGridCtrl::notified);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(200, 5));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.at(0).at(0).toInt(), MSG_HEADER_CLICKED);
    EXPECT_EQ(messages.at(0).at(1).toLongLong(), 2);

    QTest::mouseClick(&grid, Qt::LeftButton, {}, cellPoint(grid, 1, 1));
    ASSERT_EQ(messages.count(), 3);
    EXPECT_EQ(messages.at(1).at(0).toInt(), MSG_IMAGE_CLICKED);
    EXPECT_EQ(messages.at(1).at(1).toLongLong(), 186);
    EXPECT_EQ(messages.at(1).at(2).toLongLong(), grid.CellIndex(1, 1));
    EXPECT_EQ(messages.at(2).at(0).toInt(), MSG_ROW_ENTERED);
    // Beyond the image's 24 pixels only the editor opens.
    QTest::mouseClick(&grid, Qt::LeftButton, {}, cellPoint(grid, 1, 1) + QPoint(40, 0));
    EXPECT_EQ(messagesOf(messages, MSG_IMAGE_CLICKED).size(), 1);

    QTest::mouseDClick(&grid, Qt::LeftButton, {}, cellPoint(grid, 3, 3));
    ASSERT_GE(notes.count(), 1);
    EXPECT_EQ(notes.last().at(0).toInt(), NM_DBLCLK);
    EXPECT_EQ(notes.last().at(1).toInt(), 3);
    EXPECT_EQ(notes.last().at(2).toInt(), 3);

    QTest::mousePress(&grid, Qt::RightButton, {}, cellPoint(grid, 2, 2));
    EXPECT_EQ(notes.last().at(0).toInt(), NM_RCLICK);
    EXPECT_EQ(notes.last().at(1).toInt(), 2);
    EXPECT_EQ(notes.last().at(2).toInt(), 2);
    EXPECT_EQ(notes.last().at(3).toPoint(), grid.mapToGlobal(cellPoint(grid, 2, 2)));
}

TEST_F(CXGridCtrlTest, PostedEditRequestMovesTheEditorLater)
{
    CXGridCtrl grid;
    build(grid);
    grid.EditCell(0, 1);
    grid.PostEditCell(3, 3);
    EXPECT_EQ(grid.GetCurRow(), 0);
    QApplication::processEvents();
    EXPECT_EQ(grid.GetCurRow(), 3);
    EXPECT_EQ(grid.GetCurCol(), 3);
}

TEST_F(CXGridCtrlTest, NarrowColumnsAndEmptyCaptionRowsDrawNothing)
{
    CXGridCtrl grid;
    grid.AddColumn(QStringLiteral("A"), 60, 1);
    grid.AddColumn(QStringLiteral("Hidden"), 5, 1);
    grid.AddColumn(QStringLiteral("B"), 60, 1);
    grid.SetRows(3, 3);
    grid.SetCaptionRow(1, true);
    grid.SetCellColor(0, 1, 21);
    ASSERT_TRUE(grid.Create(host.get(), 1602, 0, 0));
    const QImage image = grid.renderImage();
    const QColor background = rgb(grid.color(2)); // style 5
    EXPECT_TRUE(same(image.pixelColor(62, 5), background));  // no header over the narrow column
    EXPECT_TRUE(same(image.pixelColor(62, 30), background)); // and no red cell
    for (int x = 2; x < 120; x += 7)
        EXPECT_TRUE(same(image.pixelColor(x, 21 + 21 + 10), background)) << x; // empty caption row
    EXPECT_FALSE(same(image.pixelColor(30, 30), background));
}

TEST_F(CXGridCtrlTest, ResizingKeepsTextsAndResetsCellLooks)
{
    CXGridCtrl grid;
    build(grid, 3, 3);
    grid.SetCellText(1, 1, QStringLiteral("kept"));
    grid.SetCellImage(1, 1, 12);
    grid.SetCellColor(1, 1, 14);
    grid.SetCellEditable(1, 3, 0);
    grid.SetRows(5, 3);
    EXPECT_EQ(grid.GetCellText(1, 1), QStringLiteral("kept"));
    EXPECT_EQ(grid.cellImage(1, 1), 255);
    EXPECT_EQ(grid.cellColour(1, 1), 0);
    EXPECT_TRUE(grid.IsCellEditable(1, 3));
    EXPECT_FALSE(grid.IsCellEditable(1, 0));
    EXPECT_EQ(grid.GetRowCount(), 5);
    grid.SetColumnEditable(3, 0);
    EXPECT_FALSE(grid.IsCellEditable(4, 3));
    grid.SetRowEditable(4, 1);
    EXPECT_TRUE(grid.IsCellEditable(4, 3));
}

TEST_F(CXGridCtrlTest, ColumnListsRoundTrip)
{
    CXGridCtrl grid;
    build(grid, 3, 3);
    grid.SetCellText(0, 1, QStringLiteral("one  "));
    grid.SetCellText(1, 1, QStringLiteral("two"));
    grid.SetCellText(2, 1, QStringLiteral("three"));
    QString list;
    grid.ExchangeColumnList(list, true, 1);
    EXPECT_EQ(list, QStringLiteral("one,two,three,"));
    for (int r = 0; r < 3; ++r)
        grid.SetCellText(r, 1, QString());
    grid.ExchangeColumnList(list, false, 1);
    EXPECT_EQ(grid.GetCellText(0, 1), QStringLiteral("one"));
    EXPECT_EQ(grid.GetCellText(2, 1), QStringLiteral("three"));

    QString units = QStringLiteral("2,0,");
    grid.ExchangeColumnList(units, false, 2);
    EXPECT_EQ(grid.GetCellValue(0, 2), 2);
    EXPECT_EQ(grid.GetCellText(0, 2), QStringLiteral("Sheet"));
    EXPECT_EQ(grid.GetCellValue(2, 2), 0); // the list ran out
    grid.ExchangeColumnList(units, true, 0);
    EXPECT_EQ(units, QStringLiteral("1,2,3,"));
}

TEST_F(CXGridCtrlTest, NextFreeKeyFindsAGapAndAFullGridStillGetsOne)
{
    CXGridCtrl grid;
    build(grid, 4, 4);
    grid.SetKeyBase(100);
    grid.SetCellValue(0, 0, 101);
    grid.SetCellValue(1, 0, 102);
    grid.SetCellValue(2, 0, 104);
    grid.SetCellValue(3, 0, 0);
    EXPECT_EQ(grid.NextFreeKey(), 103);
    grid.SetCellValue(2, 0, 103);
    // Rows 0-2 hold 101-103 and the new row 3 needs one: 104 is free.
    EXPECT_EQ(grid.NextFreeKey(), 104);
    // Numbers the table holds are taken too: 104 stored elsewhere leaves
    // none of 101-104; a gap the table has free is given.
    EXPECT_EQ(grid.NextFreeKey({104}), 0);
    grid.SetCellValue(1, 0, 0);
    EXPECT_EQ(grid.NextFreeKey({101, 104}), 102);
    EXPECT_EQ(grid.NextFreeKey({102, 104}), 0);
    // Never past a byte: from base 252 only 253-255 can be given.
    grid.SetKeyBase(252);
    grid.SetCellValue(0, 0, 253);
    grid.SetCellValue(2, 0, 254);
    EXPECT_EQ(grid.NextFreeKey(), 255);
    EXPECT_EQ(grid.NextFreeKey({255}), 0);
}

TEST_F(CXGridCtrlTest, ScrollingOpensTheEditorOnTheFirstVisibleRow)
{
    CXGridCtrl grid;
    build(grid, 12, 4);
    grid.EditCell(0, 3);
    ASSERT_NE(grid.verticalScrollBar(), nullptr);
    grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(grid.firstVisibleRow(), 4);
    EXPECT_EQ(grid.GetCurRow(), 4);
    EXPECT_EQ(grid.GetCurCol(), 3);
}

// A grid kept narrower than its columns scrolls sideways: no column is
// narrowed, its rows stay in view above the bar, an edited cell out of view
// is scrolled to, and clicks find the cell under the mouse as scrolled.
TEST_F(CXGridCtrlTest, AGridNarrowerThanItsColumnsScrollsSideways)
{
    CXGridCtrl grid;
    build(grid, 10, 10);
    grid.SetCellText(2, 1, QStringLiteral("Gloss text 100 lb, cut to 8.5 x 11 from 19 x 25 parent sheets"));
    grid.WidenToTexts();
    const int nameWidth = int(grid.GetColumnWidth(1));
    EXPECT_GT(nameWidth, 120);
    EXPECT_EQ(grid.GetColumnWidth(0), 30u); // numbers keep their widths
    const QSize natural = grid.naturalSize();
    QStringList cut;
    SetCutTextObserver([&](QPainter &, const QRect &, const QString &text, const QSize &) { cut << text; });
    grid.LimitSize(200, 1000);
    grid.grab();
    SetCutTextObserver(nullptr);
    EXPECT_EQ(cut, QStringList());
    EXPECT_EQ(grid.width(), 200);
    EXPECT_EQ(int(grid.GetColumnWidth(1)), nameWidth);
    EXPECT_TRUE(grid.isHorzScrollShown());
    EXPECT_EQ(grid.visibleRowCount(), 10);
    EXPECT_EQ(grid.height(), natural.height() + grid.horizontalScrollBar()->height());

    // The price column is past the right edge: editing it scrolls it into view.
    grid.EditCell(0, 3);
    ASSERT_NE(grid.editor(), nullptr);
    EXPECT_GT(grid.horzScrollOffset(), 0);
    EXPECT_GE(grid.editor()->x(), 0);
    EXPECT_LE(grid.editor()->geometry().right(), grid.clientRect().right() + 1);
    // A click at the editor's place is on that cell.
    QSignalSpy spy(&grid, &CXGridCtrl::ownerMessage);
    QTest::mouseClick(&grid, Qt::LeftButton, Qt::NoModifier, grid.editor()->geometry().center() + QPoint(0, grid.rowHeight()));
    EXPECT_EQ(grid.GetCurRow(), 1);
    EXPECT_EQ(grid.GetCurCol(), 3);
    // Scrolled back, the editor moves with its cell.
    const int editorX = grid.editor()->x();
    const int offset = grid.horzScrollOffset();
    grid.horizontalScrollBar()->setValue(0);
    EXPECT_EQ(grid.editor()->x(), editorX + offset);

    // A box that holds the columns takes the bar away.
    grid.LimitSize(2000, 1000);
    EXPECT_FALSE(grid.isHorzScrollShown());
    EXPECT_EQ(grid.size(), grid.naturalSize());
}

// A text typed key by key into a typed cell and left with Tab: every key is
// shown as typed; then the whole text is kept as meant or refused naming the
// column, with the value the cell showed before the typing back. The cell's
// value (what a save writes) is what it shows.
TEST_F(CXGridCtrlTest, TypedCellsShowEveryKeyThenKeepTheWholeTextOrRefuseIt)
{
    struct Case
    {
        const char *title;
        unsigned type;
        const char *lookup;
        const char *typed;
        qint64 kept;      // the cell's value when kept
        const char *shown; // what the cell shows then; null: refused (7 stays)
        int reading = CXEdit::AsNumber;
        bool wide = false;
    } cases[] = {
        // amounts as every money field reads them, rates with their "%"
        {"Unit\nCost", 7, "2", "$5,000", 500000, "5000.00", CXEdit::AsMoney},
        {"Price/Each", 8, "4", "$5,000", 50000000, "5000.0000", CXEdit::AsMoney},
        {"Mat.Cost", 7, "$", "$5,000", 500000, "5000.00"},
        {"Mat.Cost", 7, "$", "-$12.50", -1250, "-12.50"},
        {"Cost 1", 7, "%6d", "$5,000", 5000, "5000", CXEdit::AsMoney},
        {"Price/Each", 8, "4", "5,000%", 0, nullptr, CXEdit::AsMoney},
        {"Rate\n(%)", 8, "4", "10%", 100000, "10.0000", CXEdit::AsRate},
        {"Comm%", 8, "2", "10 %", 1000, "10.00", CXEdit::AsRate},
        {"%", 7, "%4d", "10%", 10, "10", CXEdit::AsRate},
        {"%", 7, "%4d", "$10", 0, nullptr, CXEdit::AsRate},
        {"Rate\n(%)", 8, "4", "10%%", 0, nullptr, CXEdit::AsRate},
        // the 32-bit bound of a column of cents, and the money bound of a wide one
        {"Unit\nCost", 7, "2", "21,474,836.48", 0, nullptr, CXEdit::AsMoney},
        {"Unit\nCost", 7, "2", "21,474,836.48", 2147483648LL, "21474836.48", CXEdit::AsMoney, true},
        {"Price", 8, "4", "214,748.3648", 2147483648LL, "214748.3648", CXEdit::AsMoney, true},

        // whole numbers of a signed column (an inventory level, a run
        // table's quantity break)
        {"Minimum\nLevel", 7, "%6d", "2.5", 0, nullptr},
        {"Minimum\nLevel", 7, "%6d", "1e3", 1000, "1000"},
        {"Minimum\nLevel", 7, "%6d", "1,000", 1000, "1000"},
        {"Minimum\nLevel", 7, "%6d", "(5)", 0, nullptr},
        {"Minimum\nLevel", 7, "%6d", "-5", -5, "-5"},
        {"QtyBreak", 7, "%8d", "2.50", 0, nullptr},
        // a column never negative
        {"Sort", 6, "%3d", "-5", 0, nullptr},
        {"Sort", 6, "%3d", "2.5", 0, nullptr},
        {"Sort", 6, "%3d", "25", 25, "25"},
        // money
        {"Mat.Cost", 7, "$", "(5.00)", 0, nullptr},
        {"Mat.Cost", 7, "$", "1e3", 100000, "1000.00"},
        {"Mat.Cost", 7, "$", "-5", -500, "-5.00"},
        {"Mat.Cost", 7, "$", "5.005", 0, nullptr},
        {"Rate\n(%)", 8, "4", "1e3", 10000000, "1000.0000"},
        {"Rate\n(%)", 8, "4", "7.12345", 0, nullptr},
        // times
        {"Charge\nTime", 5, ":", "1e3", 0, nullptr},
        {"Charge\nTime", 5, ":", "-5", 0, nullptr},
        {"Charge\nTime", 5, ":", "1:30", 90, "1:30"},
        {"Charge\nTime", 5, ":", "2.5", 0, nullptr},
    };
    for (const Case &c : cases) {
        const QString title = QString::fromLatin1(c.title);
        SCOPED_TRACE(title.simplified().toStdString() + " \"" + c.typed + "\"");
        CXGridCtrl grid;
        grid.AddColumn(QStringLiteral("Name"), 120, 1, QStringLiteral("&20"));
        grid.AddColumn(title, 80, c.type, QString::fromLatin1(c.lookup));
        grid.SetRows(3, 3);
        if (c.reading == CXEdit::AsMoney)
            grid.SetColumnMoney(1);
        else if (c.reading == CXEdit::AsRate)
            grid.SetColumnRate(1);
        if (c.wide)
            grid.SetColumnWide(1);
        ASSERT_TRUE(grid.Create(host.get(), 1600, 10, 10));
        grid.SetCellValue(1, 1, 7);
        const QString before = grid.GetShownText(1, 1);
        prompts().clear();
        prompts().answer(platform::IDOK);
        QSignalSpy messages(&grid, &CXGridCtrl::ownerMessage);
        grid.EditCell(1, 1);
        ASSERT_EQ(grid.editor(), grid.typedEditor());
        grid.typedEditor()->selectAll();
        QTest::keyClicks(grid.editor(), QString::fromLatin1(c.typed));
        EXPECT_EQ(grid.typedEditor()->text(), QString::fromLatin1(c.typed)); // no key dropped
        QTest::keyClick(grid.editor(), Qt::Key_Tab);
        if (c.shown) {
            EXPECT_EQ(grid.GetCellValue(1, 1), c.kept);
            EXPECT_EQ(grid.GetShownText(1, 1), QString::fromLatin1(c.shown));
            EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(u'|').toStdString();
            EXPECT_EQ(messagesOf(messages, MSG_VALUE_CHANGED), QList<int>{grid.CellIndex(1, 1)});
        } else {
            EXPECT_EQ(grid.GetCellValue(1, 1), 7);
            EXPECT_EQ(grid.GetShownText(1, 1), before);
            ASSERT_EQ(prompts().texts().size(), 1);
            EXPECT_TRUE(prompts().texts().first().startsWith(title.simplified() + QStringLiteral(": Please enter ")))
                << prompts().texts().first().toStdString();
            EXPECT_TRUE(messagesOf(messages, MSG_VALUE_CHANGED).isEmpty());
        }
    }
}
