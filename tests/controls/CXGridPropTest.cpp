#include "ControlsFixture.h"

#include "controls/ControlMessages.h"
#include "controls/CXGridProp.h"

#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

class CXGridPropTest : public ControlsTest
{
protected:
    // Rows: 0 caption, 1 text, 2 pick list, 3 text row (not editable), 4 money,
    // 5 whole number, 6 Yes/No list, 7 editable pick list.
    void build(CXGridProp &grid)
    {
        grid.AddCaption(QStringLiteral("Customer"));
        grid.AddRow(1, QStringLiteral("Name"));
        const int terms = grid.AddListRow(2, QStringLiteral("Terms"), QStringLiteral("Net 10,Net 30,~Old Terms,"));
        grid.AddTextRow(QStringLiteral("Number"), QStringLiteral("1043"));
        grid.AddRow(8, QStringLiteral("Limit"), QStringLiteral("2"));
        grid.AddRow(7, QStringLiteral("Discount"), QStringLiteral("%3"));
        grid.AddListRow(2, QStringLiteral("Taxable"), QString());
        grid.AddListRow(3, QStringLiteral("Ship Via"), QStringLiteral("UPS,Courier,"));
        EXPECT_EQ(terms, 2);
        placeholder(1500, QRect(10, 10, 300, 300));
        ASSERT_TRUE(grid.CreateInDlgItem(host.get(), 1500, 210, 100));
    }
    static QPoint rowPoint(const CXGridProp &grid, int row, int x)
    {
        return QPoint(x, (row - grid.firstVisibleRow()) * grid.rowHeight() + grid.rowHeight() / 2);
    }
};

TEST_F(CXGridPropTest, CreationSizesTheGridFromItsRows)
{
    CXGridProp grid;
    build(grid);
    EXPECT_EQ(grid.geometry(), QRect(10, 10, 300, 8 * 21 + 1));
    EXPECT_EQ(grid.labelWidth(), 100);
    EXPECT_EQ(grid.GetRowType(0), 0u);
    EXPECT_FALSE(grid.IsRowEnabled(0)); // captions never take an editor
    EXPECT_FALSE(grid.IsRowEnabled(3));
    EXPECT_EQ(grid.rowText(3), QStringLiteral("1043"));

    CXGridProp fixed;
    fixed.SetColumnWidths(230, 70);
    for (int i = 0; i < 30; ++i)
        fixed.AddRow(1, QStringLiteral("Row %1").arg(i));
    placeholder(1501, QRect(320, 10, 500, 600));
    ASSERT_TRUE(fixed.CreateInDlgItem(host.get(), 1501, 210, 100));
    EXPECT_EQ(fixed.geometry(), QRect(320, 10, 300, 24 * 21 + 1));
    EXPECT_EQ(fixed.visibleRowCount(), 24);
    EXPECT_TRUE(fixed.isVertScrollShown());
    EXPECT_FALSE(CXGridProp().CreateInDlgItem(host.get(), 4242, 210, 0));
}

TEST_F(CXGridPropTest, TabScrollsSoTheTargetIsTheLastVisibleRow)
{
    CXGridProp grid;
    for (int i = 0; i < 30; ++i)
        grid.AddRow(1, QStringLiteral("Row %1").arg(i));
    placeholder(1502, QRect(0, 0, 300, 600));
    ASSERT_TRUE(grid.CreateInDlgItem(host.get(), 1502, 210, 100));
    QSignalSpy messages(&grid, &CXGridProp::ownerMessage);
    grid.EditRow(23);
    QTest::keyClick(grid.editor(), Qt::Key_Tab);
    EXPECT_EQ(grid.GetCurRow(), 24);
    EXPECT_EQ(grid.firstVisibleRow(), 1);
    ASSERT_GE(messages.count(), 2);
    EXPECT_EQ(messages.last().at(0).toInt(), MSG_ROW_ENTERED);
    EXPECT_EQ(messages.last().at(1).toLongLong(), 1502);
    EXPECT_EQ(messages.last().at(2).toLongLong(), 24);
    // Moving up above the first visible row makes it the first.
    grid.EditRow(1);
    QTest::keyClick(grid.editor(), Qt::Key_Up);
    EXPECT_EQ(grid.GetCurRow(), 0);
    EXPECT_EQ(grid.firstVisibleRow(), 0);
}

TEST_F(CXGridPropTest, KeysSkipLockedRowsAndStopAtTheEnds)
{
    CXGridProp grid;
    build(grid);
    grid.EditRow(2);
    QTest::keyClick(grid.editor(), Qt::Key_Tab); // row 3 cannot be entered
    EXPECT_EQ(grid.GetCurRow(), 4);
    QTest::keyClick(grid.editor(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(grid.GetCurRow(), 2);
    QTest::keyClick(grid.editor(), Qt::Key_Backtab);
    EXPECT_EQ(grid.GetCurRow(), 1);
    QTest::keyClick(grid.editor(), Qt::Key_Up); // the caption above cannot be entered
    EXPECT_EQ(grid.GetCurRow(), 1);
    EXPECT_TRUE(grid.editor()->isVisible());

    grid.EditRow(7);
    QTest::keyClick(grid.comboEditor()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(grid.GetCurRow(), 7); // the last row reopens on itself

    // Ctrl+Tab is left to the dialog.
    QKeyEvent ctrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
    grid.EditRow(1);
    QApplication::sendEvent(grid.editor(), &ctrlTab);
    EXPECT_EQ(grid.GetCurRow(), 1);
}

TEST_F(CXGridPropTest, TildeChoicesAreShownButNeverOffered)
{
    CXGridProp grid;
    build(grid);
    grid.SetSaveMode(0);
    qint32 terms = 2;
    grid.ExchangeLong(2, terms);
    EXPECT_EQ(grid.rowText(2), QStringLiteral("~Old Terms"));
    grid.EditRow(2);
    QComboBox *list = grid.listEditor();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(1), QStringLiteral("Net 30"));
    EXPECT_EQ(list->currentIndex(), -1);
    // Leaving the row without a choice keeps the old value.
    QSignalSpy messages(&grid, &CXGridProp::ownerMessage);
    grid.EditRow(1);
    EXPECT_EQ(grid.GetRowValue(2), 2);
    EXPECT_EQ(grid.rowText(2), QStringLiteral("~Old Terms"));
    for (const auto &m : messages)
        EXPECT_NE(m.at(0).toInt(), MSG_VALUE_CHANGED);

    // Choosing an entry changes value and text and tells the owner.
    grid.EditRow(2);
    list->setCurrentIndex(0);
    emit list->activated(0);
    EXPECT_EQ(grid.GetRowValue(2), 0);
    EXPECT_EQ(grid.rowText(2), QStringLiteral("Net 10"));
    EXPECT_EQ(messages.last().at(0).toInt(), MSG_VALUE_CHANGED);
    EXPECT_EQ(messages.last().at(2).toLongLong(), 2);
    EXPECT_EQ(grid.m_modified, 1);
}

TEST_F(CXGridPropTest, EmptyChoicesGiveNoAndYes)
{
    CXGridProp grid;
    build(grid);
    QList<CListItem> yesNo;
    for (const CListItem &item : grid.pickItems())
        if (item.number(1) == 6)
            yesNo.append(item);
    ASSERT_EQ(yesNo.size(), 2);
    EXPECT_EQ(yesNo[0].m_text, QStringLiteral("No"));
    EXPECT_EQ(yesNo[0].m_value, 0);
    EXPECT_EQ(yesNo[1].m_text, QStringLiteral("Yes"));
    EXPECT_EQ(yesNo[1].m_value, 1);
    grid.SetRowValue(6, 1);
    EXPECT_EQ(grid.rowText(6), QStringLiteral("Yes"));
    grid.SetRowValue(6, 7);
    EXPECT_TRUE(grid.rowText(6).isEmpty());

    EXPECT_EQ(grid.AddPickItems(7, QStringLiteral("a,b,c,d,"), 1, 2), 2);
    EXPECT_EQ(grid.pickItems().last().m_text, QStringLiteral("c"));
    EXPECT_EQ(grid.pickItems().last().m_value, 1);
    EXPECT_EQ(grid.AddRangePickItems(7, 3, 1, QStringLiteral("Up "), QStringLiteral("x"), 10), 3);
    EXPECT_EQ(grid.pickItems().last().m_text, QStringLiteral("Up 1x"));
    EXPECT_EQ(grid.pickItems().last().m_value, 12);
    EXPECT_EQ(grid.AddPickItemsFromResource(7, 1), 0);
}

TEST_F(CXGridPropTest, ZeroShowsEmptyUnlessAsked)
{
    CXGridProp grid;
    build(grid);
    grid.SetRowValue(4, 0);
    EXPECT_TRUE(grid.rowText(4).isEmpty());
    grid.m_showZero = 1;
    grid.SetRowValue(4, 0);
    EXPECT_EQ(grid.rowText(4), QStringLiteral("0.00"));
    grid.SetRowValue(4, 123456);
    EXPECT_EQ(grid.rowText(4), QStringLiteral("1234.56"));
}

TEST_F(CXGridPropTest, EditingTypedRowsParsesAndReportsRealChangesOnly)
{
    CXGridProp grid;
    build(grid);
    QSignalSpy messages(&grid, &CXGridProp::ownerMessage);
    grid.SetRowValue(4, 1250);
    grid.EditRow(4);
    EXPECT_EQ(grid.textEditor()->text(), QStringLiteral("12.50"));
    grid.EndEdit();
    grid.textEditor()->setText(QStringLiteral("12.5"));
    grid.EndEdit(); // a new text for the same amount is no change
    int changes = 0;
    for (const auto &m : messages)
        changes += m.at(0).toInt() == MSG_VALUE_CHANGED;
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(grid.m_modified, 0);

    // More decimals than the row keeps: refused naming the row, the amount kept.
    grid.textEditor()->setText(QStringLiteral("99.999"));
    prompts().answer(platform::IDOK);
    grid.EndEdit();
    EXPECT_EQ(grid.GetRowValue(4), 1250);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Limit: Please enter a number with at most 2 decimals.")});
    EXPECT_EQ(grid.m_modified, 0);
    grid.textEditor()->setText(QStringLiteral("1,099.99"));
    QTest::keyClick(grid.textEditor(), Qt::Key_Tab);
    EXPECT_EQ(grid.GetRowValue(4), 109999);
    EXPECT_EQ(grid.rowText(4), QStringLiteral("1099.99"));
    EXPECT_EQ(grid.m_modified, 1);
    EXPECT_EQ(grid.GetCurRow(), 5);
    // Short number rows get a narrow editor.
    EXPECT_EQ(grid.editor()->width(), 64);

    // Out of the row's range: refused, the value kept (not taken as 0).
    grid.HideEditor();
    grid.SetRowValue(5, 12);
    grid.EditRow(5);
    grid.textEditor()->setText(QStringLiteral("2000"));
    prompts().clear();
    prompts().answer(platform::IDOK);
    grid.EndEdit();
    EXPECT_EQ(grid.GetRowValue(5), 12);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Discount: Please enter a number from -999 to 999.")});
}

TEST_F(CXGridPropTest, ClickNearTheRightEdgeOpensTheList)
{
    CXGridProp grid;
    build(grid);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, rowPoint(grid, 2, 150));
    EXPECT_EQ(grid.GetCurRow(), 2);
    EXPECT_FALSE(grid.listEditor()->view()->isVisible());
    QTest::mouseClick(&grid, Qt::LeftButton, {}, rowPoint(grid, 6, grid.width() - 10));
    EXPECT_EQ(grid.GetCurRow(), 6);
    EXPECT_TRUE(grid.listEditor()->view()->isVisible());
    grid.listEditor()->hidePopup();
}

TEST_F(CXGridPropTest, CommandRowsPostTheirCommandFromTheRightPlace)
{
    CXGridProp grid;
    grid.AddCaption(QStringLiteral("Links"), 30400);
    grid.AddRow(1, QStringLiteral("Open Web Page"), QString(), 1, 30500);
    placeholder(1503, QRect(0, 0, 300, 100));
    ASSERT_TRUE(grid.CreateInDlgItem(host.get(), 1503, 210, 100));
    QSignalSpy commands(&grid, &CXGridProp::commandTriggered);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, rowPoint(grid, 0, 250)); // the whole caption answers
    QTest::mouseClick(&grid, Qt::LeftButton, {}, rowPoint(grid, 1, 150)); // value column: no command
    QTest::mouseClick(&grid, Qt::LeftButton, {}, rowPoint(grid, 1, 50));
    EXPECT_EQ(commands.count(), 0); // posted
    QApplication::processEvents();
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 30400);
    EXPECT_EQ(commands.at(1).at(0).toInt(), 30500);
}

TEST_F(CXGridPropTest, ExchangeLoadsAndSavesEveryRowKind)
{
    CXGridProp grid;
    build(grid);
    QString name = QStringLiteral("Halvane");
    qint32 terms = 1;
    qint32 limit = 500000;
    std::uint8_t taxable = 1;
    QString ship = QStringLiteral("UPS");
    grid.SetSaveMode(0);
    grid.ExchangeText(1, name);
    grid.ExchangeLong(2, terms);
    grid.ExchangeLong(4, limit);
    grid.ExchangeByte(6, taxable);
    grid.ExchangeText(7, ship);
    EXPECT_EQ(grid.rowText(2), QStringLiteral("Net 30"));
    EXPECT_EQ(grid.rowText(4), QStringLiteral("5000.00"));
    EXPECT_EQ(grid.rowText(6), QStringLiteral("Yes"));

    // The user changes the name (with trailing blanks) and leaves it open.
    grid.EditRow(1);
    grid.textEditor()->setText(QStringLiteral("Halvane Print  "));
    grid.SetSaveMode(1);
    QString savedName;
    qint32 savedTerms = -1;
    qint32 savedLimit = -1;
    std::uint8_t savedTaxable = 9;
    QString savedShip;
    grid.ExchangeText(1, savedName);
    grid.ExchangeLong(2, savedTerms);
    grid.ExchangeLong(4, savedLimit);
    grid.ExchangeByte(6, savedTaxable);
    grid.ExchangeText(7, savedShip);
    EXPECT_EQ(savedName, QStringLiteral("Halvane Print"));
    EXPECT_EQ(savedTerms, 1);
    EXPECT_EQ(savedLimit, 500000);
    EXPECT_EQ(savedTaxable, 1);
    EXPECT_EQ(savedShip, QStringLiteral("UPS"));

    // Loading closes the editor; RestoreEdit reopens it where it was.
    grid.SetSaveMode(0);
    EXPECT_EQ(grid.GetCurRow(), -1);
    EXPECT_EQ(grid.editor(), nullptr);
    grid.RestoreEdit();
    EXPECT_EQ(grid.GetCurRow(), 1);
}
