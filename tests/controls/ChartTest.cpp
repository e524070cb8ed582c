#include "ControlsFixture.h"

#include "controls/CXChartCtrl.h"
#include "controls/CXTable.h"
#include "controls/DrawTextFormat.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtGui/QFontMetrics>
#include <QtWidgets/QScrollBar>

#include <iostream>

namespace {

constexpr unsigned kChartId = 1501;

// A sales table: customer, this year, last year and the hidden key; the
// amounts are 100, 200, ... whole units, the comparison half of each.
void fillSales(CXTable &t, int rows, bool totalRow = true)
{
    t.Reset();
    t.SetSize(rows, 5);
    t.SetColumnName(0, QStringLiteral("Customer"), 24, 10);
    t.SetCurrencyColumn(1, QStringLiteral("Sales"));
    t.SetCurrencyColumn(2, QStringLiteral("Last Year"));
    t.SetColumnName(3, QStringLiteral("Change"), 8, 10);
    t.SetColumnName(4, QStringLiteral("HIDE_KEY"), 6, 4);
    t.SetSpecialColumns(0, 1, 2);
    Money sum;
    for (int r = 0; r < rows; ++r) {
        const Money amount = Money::fromWhole(100 * (r + 1));
        t.SetCellText(r, 0, QStringLiteral("Customer %1").arg(r + 1));
        t.SetCellCurrency(r, 1, amount);
        t.SetCellCurrency(r, 2, amount / 2);
        t.SetCellText(r, 3, QStringLiteral("+100%"));
        t.SetCellText(r, 4, QString::number(1000 + r));
        sum += amount;
    }
    t.m_totalMode = CXTable::TotalsNone;
    if (totalRow) {
        const int total = t.AddRow(CXTable::RowSpecial | CXTable::RowGrandTotal);
        t.SetCellText(total, 0, QStringLiteral("Total"));
        t.SetCellCurrency(total, 1, sum);
        t.m_totalMode = CXTable::TotalsOneRow;
    }
    t.m_title = QStringLiteral("Sales by Customer");
    t.m_subtitle = QStringLiteral("This year against last year");
}

} // namespace

class ChartTest : public ControlsTest
{
protected:
    CXChartCtrl *makeChart(const QRect &rect)
    {
        placeholder(kChartId, rect);
        auto *chart = new CXChartCtrl;
        EXPECT_TRUE(chart->CreateInDlgItem(host.get(), kChartId, 210));
        return chart;
    }
    // Paints the chart once so that its rows and metrics are laid out.
    static QImage paint(CXChartCtrl *chart) { return chart->renderImage(); }

    static QString chartFolder()
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/charts");
        QDir().mkpath(folder);
        return folder;
    }
    static void savePng(const QImage &image, const QString &name)
    {
        const QString path = chartFolder() + QLatin1Char('/') + name;
        EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
        std::cout << "chart picture: " << path.toStdString() << std::endl;
    }

    CXTable table;
};

TEST_F(ChartTest, EntriesAreLimitedByHeightAndTheRestMergeIntoOthers)
{
    CXChartCtrl *chart = makeChart(QRect(0, 0, 300, 120));
    fillSales(table, 25);
    chart->LoadTable(&table, CXChartCtrl::ChartColumn);

    EXPECT_EQ(chart->maxEntries(), 20); // 120 / 6
    EXPECT_EQ(chart->entryCount(), 20);
    EXPECT_EQ(chart->dataRowCount(), 25);
    EXPECT_EQ(chart->othersCount(), 5);
    EXPECT_EQ(chart->entryLabel(18), QStringLiteral("Customer 19"));
    EXPECT_EQ(chart->entryLabel(19), QStringLiteral("Others (6)"));
    // Rows 20..25 hold 2000 + 2100 + ... + 2500.
    EXPECT_EQ(chart->entryAmount(19), Money::fromWhole(13500));
    EXPECT_EQ(chart->entryCompare(19), Money::fromWhole(6750));
    EXPECT_EQ(chart->total(), Money::fromWhole(100 * 25 * 26 / 2));
    EXPECT_EQ(chart->maxEntry(), Money::fromWhole(2000)); // the merges do not raise it
    EXPECT_EQ(chart->maxRow(), Money::fromWhole(2500));
    EXPECT_TRUE(chart->IsChartType(CXChartCtrl::ChartColumn));
    EXPECT_TRUE(chart->hasCompare());

    // Reloading with type 0 keeps the type; without a comparison column the
    // comparison amounts are all zero.
    table.m_cColumn = 0;
    chart->LoadTable(&table, 0);
    EXPECT_TRUE(chart->IsChartType(CXChartCtrl::ChartColumn));
    EXPECT_FALSE(chart->hasCompare());
    EXPECT_EQ(chart->entryCompare(0), Money());
    table.m_cColumn = -1;
    chart->LoadTable(&table, 0);
    EXPECT_FALSE(chart->hasCompare());

    // Without a label or amount column there is nothing to chart.
    table.m_pColumn = -1;
    chart->LoadTable(&table, 0);
    EXPECT_EQ(chart->entryCount(), 0);
    EXPECT_EQ(chart->total(), Money());
}

TEST_F(ChartTest, GroupRowsAreEntriesOnlyInGroupedMode)
{
    CXChartCtrl *chart = makeChart(QRect(0, 0, 300, 300));
    // Two groups of two rows, a subtotal after each and the grand total.
    table.SetSize(0, 2);
    table.SetColumnName(0, QStringLiteral("Region"), 20, 10);
    table.SetCurrencyColumn(1, QStringLiteral("Sales"));
    table.SetSpecialColumns(0, 1, -1);
    auto row = [&](const QString &label, int whole, std::uint32_t flags) {
        const int r = table.AddRow(flags);
        table.SetCellText(r, 0, label);
        table.SetCellCurrency(r, 1, Money::fromWhole(whole));
    };
    row(QStringLiteral("North"), 10, CXTable::RowGroupStart);
    row(QString(), 20, 0);
    row(QStringLiteral("North total"), 30, CXTable::RowSpecial | CXTable::RowGrandTotal);
    row(QStringLiteral("South"), 5, CXTable::RowGroupStart);
    row(QString(), 15, 0);
    row(QStringLiteral("South total"), 20, CXTable::RowSpecial);
    row(QStringLiteral("Total"), 50, CXTable::RowSpecial | CXTable::RowGrandTotal);

    table.m_totalMode = CXTable::TotalsPerGroup;
    chart->LoadTable(&table, CXChartCtrl::ChartPie);
    // The group rows join the data rows as entries, in table order; the
    // grand total is not one.
    ASSERT_EQ(chart->entryCount(), 6);
    EXPECT_EQ(chart->entryLabel(2), QStringLiteral("North total"));
    EXPECT_EQ(chart->entryAmount(2), Money::fromWhole(30));
    EXPECT_EQ(chart->entryLabel(5), QStringLiteral("South total"));
    EXPECT_EQ(chart->total(), Money::fromWhole(100));
    EXPECT_EQ(chart->dataRowCount(), 4);
    EXPECT_EQ(chart->maxRow(), Money::fromWhole(20)); // group rows never count as rows
    EXPECT_EQ(chart->maxEntry(), Money::fromWhole(30));

    // Any other total mode, or a label column other than the first, charts
    // the data rows only.
    table.m_tColumn = 1;
    chart->LoadTable(&table, 0);
    EXPECT_EQ(chart->entryCount(), 4);
    table.m_tColumn = 0;
    table.m_totalMode = CXTable::TotalsOneRow;
    chart->LoadTable(&table, 0);
    EXPECT_EQ(chart->entryCount(), 4);
    EXPECT_EQ(chart->total(), Money::fromWhole(50));
    EXPECT_EQ(chart->dataRowCount(), 4);
}

TEST_F(ChartTest, AxisUnitRaisesTheFirstDigit)
{
    EXPECT_EQ(CXChartCtrl::AxisUnit(347, 10), 40);
    EXPECT_EQ(CXChartCtrl::AxisUnit(95, 10), 10);
    EXPECT_EQ(CXChartCtrl::AxisUnit(9, 10), 1);
    EXPECT_EQ(CXChartCtrl::AxisUnit(2500, 5), 600);
    EXPECT_EQ(CXChartCtrl::AxisUnit(-300, 10), 1);
    EXPECT_EQ(CXChartCtrl::AxisUnit(100, 0), 1);
}

TEST_F(ChartTest, KeysMoveTheSelectionOverDataRowsOnly)
{
    CXChartCtrl *chart = makeChart(QRect(0, 0, 500, 400));
    fillSales(table, 6);
    table.SetRowFlags(0, CXTable::RowSpecial);   // a heading row
    table.SetRowFlags(3, CXTable::RowFlag16);    // a caption row
    chart->LoadTable(&table, CXChartCtrl::ChartTable);
    paint(chart);
    chart->setFocus();
    QSignalSpy keys(chart, &CXChartCtrl::keyNotified);

    // With nothing selected only Home and End have a place to start.
    QTest::keyClick(chart, Qt::Key_Down);
    EXPECT_EQ(chart->GetSelectedRow(), CXChartCtrl::kNoRow);
    QTest::keyClick(chart, Qt::Key_End);
    EXPECT_EQ(chart->GetSelectedRow(), 5); // the total row after it is skipped
    QTest::keyClick(chart, Qt::Key_Home);
    EXPECT_EQ(chart->GetSelectedRow(), 1);
    QTest::keyClick(chart, Qt::Key_Up);
    EXPECT_EQ(chart->GetSelectedRow(), 1);
    QTest::keyClick(chart, Qt::Key_Return); // Enter moves down like Down
    EXPECT_EQ(chart->GetSelectedRow(), 2);
    QTest::keyClick(chart, Qt::Key_Down); // over the caption row
    EXPECT_EQ(chart->GetSelectedRow(), 4);
    ASSERT_EQ(keys.count(), 4);
    EXPECT_EQ(keys.at(0).at(0).toInt(), 35);
    EXPECT_EQ(keys.at(3).at(0).toInt(), 40);
    EXPECT_EQ(keys.at(3).at(1).toInt(), 4);

    // Tab is taken by the chart but moves nothing; the focus stays.
    QTest::keyClick(chart, Qt::Key_Tab);
    EXPECT_EQ(chart->GetSelectedRow(), 4);
    EXPECT_TRUE(chart->hasFocus());

    // Moving clears the marks of a multi-row selection.
    table.SelectAll(true);
    QTest::keyClick(chart, Qt::Key_Up);
    EXPECT_EQ(chart->GetSelectedRow(), 2);
    EXPECT_EQ(table.GetMarkedRowCount(), 0);

    // The chart views take the keys and move nothing.
    chart->SetChartType(CXChartCtrl::ChartLine, true);
    QTest::keyClick(chart, Qt::Key_Down);
    EXPECT_EQ(chart->GetSelectedRow(), 2);
    EXPECT_EQ(keys.count(), 5);

    // Selection by row and key accepts data rows only.
    EXPECT_EQ(chart->SelectRow(0), -1);
    EXPECT_EQ(chart->SelectRow(6), -1); // the total row
    EXPECT_EQ(chart->SelectRow(99), -1);
    EXPECT_EQ(chart->SelectRowByKey(1004), 4);
    EXPECT_EQ(chart->GetSelectedRow(), 4);
    EXPECT_EQ(chart->SelectRowByKey(77), -1);
}

TEST_F(ChartTest, HitTestAndClicksReportRowsAndColumns)
{
    CXChartCtrl *chart = makeChart(QRect(0, 0, 500, 400));
    fillSales(table, 5);
    table.SetRowFlags(2, CXTable::RowSpecial);
    chart->LoadTable(&table, CXChartCtrl::ChartTable);
    int row = 0;
    int column = 0;
    EXPECT_FALSE(chart->HitTest(QPoint(50, 200), row, column)); // not drawn yet
    paint(chart);

    const QRect rows = chart->rowsRect();
    const int line = chart->lineHeight();
    ASSERT_GT(line, 0);
    const QPoint firstColumnRow1(rows.left() + 5, rows.top() + line + line / 2);
    ASSERT_TRUE(chart->HitTest(firstColumnRow1, row, column));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 0);
    const int secondColumnX = rows.left() + table.GetColumnWidth(0) + 3;
    ASSERT_TRUE(chart->HitTest(QPoint(secondColumnX, rows.top() + line / 2), row, column));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 1);
    ASSERT_TRUE(chart->HitTest(QPoint(secondColumnX, rows.top() - 2), row, column));
    EXPECT_EQ(row, -1);                                                           // the header
    EXPECT_FALSE(chart->HitTest(QPoint(10, rows.top() + 2 * line + 2), row, column)); // a heading row
    EXPECT_FALSE(chart->HitTest(QPoint(10, rows.bottom() + 5), row, column));

    QSignalSpy spy(chart, &CXChartCtrl::notified);
    QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, firstColumnRow1);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), CXChartCtrl::CodeClick);
    EXPECT_EQ(spy.at(0).at(1).toInt(), 1);
    EXPECT_EQ(spy.at(0).at(2).toInt(), 0);
    EXPECT_EQ(spy.at(0).at(3).toPoint(), chart->mapToGlobal(firstColumnRow1));
    EXPECT_TRUE(spy.at(0).at(4).toBool());
    EXPECT_EQ(chart->GetSelectedRow(), 1);
    EXPECT_TRUE(table.IsRowMarked(1));

    // A second click on the same row changes nothing; the header click is
    // reported without touching the selection; the double click ignores it.
    QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, firstColumnRow1);
    EXPECT_FALSE(spy.at(1).at(4).toBool());
    QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, QPoint(secondColumnX, rows.top() - 2));
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(2).at(1).toInt(), -1);
    EXPECT_EQ(chart->GetSelectedRow(), 1);
    QTest::mouseDClick(chart, Qt::LeftButton, Qt::NoModifier, QPoint(secondColumnX, rows.top() - 2));
    const int afterHeaderDouble = int(spy.count());
    for (int i = 3; i < afterHeaderDouble; ++i)
        EXPECT_NE(spy.at(i).at(0).toInt(), CXChartCtrl::CodeDoubleClick);

    QTest::mousePress(chart, Qt::RightButton, Qt::NoModifier, QPoint(10, rows.top() + 3 * line + 2));
    ASSERT_GE(spy.count(), 1);
    EXPECT_EQ(spy.last().at(0).toInt(), CXChartCtrl::CodeRightClick);
    EXPECT_EQ(spy.last().at(1).toInt(), 3);
    EXPECT_EQ(chart->GetSelectedRow(), 3);

    // The hand shows over rows only.
    hover(chart, firstColumnRow1);
    EXPECT_EQ(chart->cursorShape(), CXChartCtrl::kCursorHand);
    hover(chart, QPoint(10, rows.bottom() + 20));
    EXPECT_EQ(chart->cursorShape(), CXChartCtrl::kCursorArrow);
}

TEST_F(ChartTest, MultiSelectMarksWithCtrlAndShift)
{
    CXChartCtrl *chart = makeChart(QRect(0, 0, 500, 400));
    chart->SetMultiSelect(true);
    fillSales(table, 6);
    chart->LoadTable(&table, CXChartCtrl::ChartTable);
    paint(chart);
    const QRect rows = chart->rowsRect();
    const int line = chart->lineHeight();
    auto at = [&](int r) { return QPoint(rows.left() + 5, rows.top() + r * line + line / 2); };
    QSignalSpy spy(chart, &CXChartCtrl::notified);

    QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, at(1));
    QTest::mouseClick(chart, Qt::LeftButton, Qt::ShiftModifier, at(4));
    EXPECT_EQ(table.GetMarkedRowCount(), 4);
    QTest::mouseClick(chart, Qt::LeftButton, Qt::ControlModifier, at(2));
    EXPECT_FALSE(table.IsRowMarked(2));
    EXPECT_EQ(table.GetMarkedRowCount(), 3);
    EXPECT_EQ(spy.count(), 1); // marking sends nothing
    chart->setFocus();
    QTest::keyClick(chart, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(table.GetMarkedRowCount(), 6);
    // A plain click clears the marks and marks the clicked row.
    QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, at(5));
    EXPECT_EQ(table.GetMarkedRowCount(), 1);
    EXPECT_TRUE(table.IsRowMarked(5));
}

TEST_F(ChartTest, EveryViewIsPictured)
{
    host->resize(1000, 800);
    CXChartCtrl *chart = makeChart(QRect(0, 0, 640, 420));
    fillSales(table, 14);
    table.SetCellText(4, 0, QStringLiteral("Overdue account!"));
    table.m_note = QStringLiteral("No sales in this range.");
    const struct
    {
        int type;
        const char *name;
    } views[] = {{CXChartCtrl::ChartTable, "table.png"}, {CXChartCtrl::ChartBar, "bar.png"},
                 {CXChartCtrl::ChartColumn, "column.png"}, {CXChartCtrl::ChartLine, "line.png"},
                 {CXChartCtrl::ChartPie, "pie-landscape.png"}};
    for (const auto &view : views) {
        chart->LoadTable(&table, view.type);
        if (view.type == CXChartCtrl::ChartTable)
            chart->SelectRow(2);
        const QImage image = paint(chart);
        savePng(image, QString::fromLatin1(view.name));
        // Each view draws something beyond the title: colours other than the
        // background, frame and text.
        int colourful = 0;
        for (int y = 100; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2) {
                const QColor c = image.pixelColor(x, y);
                colourful += std::abs(c.red() - c.green()) > 30 || std::abs(c.green() - c.blue()) > 30;
            }
        EXPECT_GT(colourful, 50) << view.name;
    }

    chart->resize(360, 620);
    chart->LoadTable(&table, CXChartCtrl::ChartPie);
    savePng(paint(chart), QStringLiteral("pie-portrait.png"));
}

TEST_F(ChartTest, TheTallestColumnLeavesRoomForItsUprightLabel)
{
    host->resize(1000, 800);
    CXChartCtrl *chart = makeChart(QRect(0, 0, 640, 420));
    // 950 whole units over a unit of 100: the tallest column reaches 95 % of
    // the plot, and its label stands above it.
    fillSales(table, 2);
    table.SetCellText(1, 0, QStringLiteral("Northside Community College"));
    table.SetCellCurrency(1, 1, Money::fromWhole(950));
    for (const int type : {int(CXChartCtrl::ChartColumn), int(CXChartCtrl::ChartLine)}) {
        chart->LoadTable(&table, type);
        paint(chart);
        const int label = QFontMetrics(chart->labelFont()).horizontalAdvance(QStringLiteral("Northside Community College"));
        const int columnTop = chart->plotRect().bottom() + 1 - chart->plotRect().height() * 95 / 100;
        EXPECT_GE(columnTop - 1, label) << type;
    }
}

TEST_F(ChartTest, EmptyAndZeroTablesDrawOnlyWhatTheyHave)
{
    CXChartCtrl *chart = makeChart(QRect(0, 0, 400, 300));
    table.Reset();
    table.m_title = QStringLiteral("Sales by Customer");
    table.m_note = QStringLiteral("No sales in this range.");
    table.m_tColumn = 0;
    table.m_pColumn = 1;
    for (int type = CXChartCtrl::ChartTable; type <= CXChartCtrl::ChartPie; ++type) {
        chart->LoadTable(&table, type);
        paint(chart);
        EXPECT_EQ(chart->entryCount(), 0);
        EXPECT_FALSE(chart->isVertScrollShown());
    }
    savePng(paint(chart), QStringLiteral("empty.png"));

    // Rows whose amounts are all zero: no wedge, no bar, no division.
    fillSales(table, 4);
    for (int r = 0; r < table.GetRowCount(); ++r) {
        table.SetCellCurrency(r, 1, Money());
        table.SetCellCurrency(r, 2, Money());
    }
    for (int type = CXChartCtrl::ChartTable; type <= CXChartCtrl::ChartPie; ++type) {
        chart->LoadTable(&table, type);
        paint(chart);
        EXPECT_EQ(chart->total(), Money());
    }
    savePng(paint(chart), QStringLiteral("zero-total-pie.png"));
    chart->LoadTable(&table, CXChartCtrl::ChartBar);
    savePng(paint(chart), QStringLiteral("zero-total-bar.png"));

    // A window too small for one entry keeps none.
    chart->resize(200, 5);
    fillSales(table, 4);
    chart->LoadTable(&table, CXChartCtrl::ChartColumn);
    EXPECT_EQ(chart->entryCount(), 0);
    EXPECT_EQ(chart->total(), Money::fromWhole(1000));
    paint(chart);
    chart->resize(3, 3);
    chart->LoadTable(&table, CXChartCtrl::ChartTable);
    paint(chart);
}

// A table too wide for its chart keeps every column as wide as its texts and
// scrolls sideways: clicks land on the column under the mouse as scrolled.
TEST_F(ChartTest, ATableWiderThanTheChartScrollsSidewaysWithItsTextsWhole)
{
    CXChartCtrl *chart = makeChart(QRect(0, 0, 300, 300));
    fillSales(table, 5);
    table.SetCellText(2, 0, QStringLiteral("The Riverside Community Printing Cooperative Ltd."));
    chart->LoadTable(&table, CXChartCtrl::ChartTable);
    QStringList cut;
    SetCutTextObserver([&](QPainter &, const QRect &, const QString &text, const QSize &) { cut << text; });
    paint(chart);
    SetCutTextObserver(nullptr);
    EXPECT_EQ(cut, QStringList());
    ASSERT_TRUE(chart->isHorzScrollShown());
    int used = 0;
    for (int c = 0; c < table.GetColumnCount(); ++c)
        used += table.GetColumnWidth(c);
    EXPECT_GT(used, 300);

    // Scrolled to its right end, the last shown column is under the mouse
    // near the chart's right edge, where the first column was.
    const QPoint rightEdge(chart->clientRect().right() - 8, chart->rowsRect().top() + chart->lineHeight() / 2);
    int row = -1;
    int column = -1;
    ASSERT_TRUE(chart->HitTest(rightEdge, row, column));
    EXPECT_EQ(column, 0);
    chart->horizontalScrollBar()->setValue(chart->horizontalScrollBar()->maximum());
    paint(chart);
    ASSERT_TRUE(chart->HitTest(rightEdge, row, column));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 3);

    // Room enough again: the bar goes and the columns share the width.
    chart->resize(1200, 300);
    paint(chart);
    EXPECT_FALSE(chart->isHorzScrollShown());
    EXPECT_EQ(chart->horzScrollOffset(), 0);
}
