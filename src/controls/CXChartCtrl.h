#pragma once

#include "app/base/Colours.h"
#include "controls/CXWnd.h"
#include "platform/Money.h"

#include <QtCore/QStringList>
#include <QtGui/QFont>

#include <vector>

class CXTable;
class ImageList;
class QKeyEvent;

// The report chart: shows one in-memory table as a table, a table with a bar
// beside each row, a column chart, a line chart or a pie with its numbered
// data table. Its entries (label, plotted amount, comparison amount) are taken
// from the table's label, plotted and comparison columns; once more rows than
// the window has room for exist, the later rows are merged into the last
// entry, which is then labelled as the group of others.
//
// In the table views the user selects rows with the mouse and the keyboard.
// The owner hears (only once the chart is placed with CreateInDlgItem):
// notified() for a click (-2, the header row -1 included), a double click (-3)
// and a right click (-5) with the row, the column, the point in screen
// coordinates and whether the click changed the selected row; keyNotified()
// (-15) when a navigation key moved the selection.
class CXChartCtrl : public CXWnd
{
    Q_OBJECT

public:
    enum ChartType : int {
        ChartTable = 3000,
        ChartBar = 3001,
        ChartColumn = 3002,
        ChartLine = 3003,
        ChartPie = 3004,
    };
    enum ChartNotify : int {
        CodeClick = -2,
        CodeDoubleClick = -3,
        CodeRightClick = -5,
        CodeKeyDown = -15,
    };
    static constexpr int kNoRow = 0x7FFFFFFF;
    static constexpr int kCursorArrow = 32512;
    static constexpr int kCursorHand = 32649;

    explicit CXChartCtrl(QWidget *parent = nullptr);
    ~CXChartCtrl() override;

    // Takes the place of the placeholder control (its own id when
    // placeholderId is 0) and makes the chart answer the mouse.
    bool CreateInDlgItem(QWidget *parent, unsigned id, int hue, unsigned placeholderId = 0);

    void Reset();
    // Takes the entries from the table (kept, not owned); type 0 keeps the type.
    void LoadTable(CXTable *table, int chartType);
    void SetChartType(int type, bool redraw);
    void SetStyle(int bits, bool redraw);
    bool IsChartType(int type) const { return m_nChartType == type; }
    int GetSelectedRow() const { return m_nSelected; }
    // A data row of the table becomes the selected row; -1 for any other row.
    int SelectRow(int row);
    int SelectRowByKey(int key);
    // Valid once the table view has been drawn: row -1 is the header row.
    bool HitTest(const QPoint &point, int &row, int &column) const;
    // Moves the selection by a navigation key (virtual key number) in the
    // table views; true when it moved.
    bool MoveSelection(int key);
    void SetMultiSelect(bool on) { m_bMultiSelect = on; }
    void SetRowSpacing(int extra) { m_cyExtra = extra; }

    void Draw() override;

    // What the chart took from its table.
    CXTable *table() const { return m_pTable; }
    int chartType() const { return m_nChartType; }
    int entryCount() const { return m_nEntries; }
    QString entryLabel(int i) const { return m_Labels.value(i); }
    Money entryAmount(int i) const;
    Money entryCompare(int i) const;
    Money total() const { return m_Total; }
    Money maxEntry() const { return m_MaxEntry; }
    Money maxRow() const { return m_MaxRow; }
    int dataRowCount() const { return m_nDataRows; }
    int othersCount() const { return m_nOthers; }
    int maxEntries() const { return m_nMaxEntries; }
    bool hasCompare() const { return m_bCompare; }
    QRect rowsRect() const { return m_rcRows; }
    // The value axis's plot area as last drawn (column and line views).
    QRect plotRect() const { return m_rcPlot; }
    const QFont &labelFont() const { return m_LabelFont; }
    int lineHeight() const { return m_cyLine; }
    int headerHeight() const { return m_cyHeader; }
    int firstRow() const { return m_nFirstRow; }
    int lastRow() const { return m_nLastRow; }
    int pageRows() const { return m_nPageRows; }
    int cursorShape() const { return m_nCursor; }

    // The value-axis unit per grid line for a largest entry (whole currency
    // units) over that many grid lines: the quotient with every digit after
    // the first set to 0 and the first raised by one; at least 1.
    static qint64 AxisUnit(qint64 largest, int gridLines);
    // The virtual key number of a Qt key (0 when it has none here).
    static int VirtualKey(int qtKey);

signals:
    void notified(int code, int row, int column, const QPoint &screenPos, bool changed);
    void keyNotified(int key, int row);

protected:
    bool event(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void OnVScroll(int code, int pos) override;

private:
    // Keyboard handling ahead of the widget's own: true when consumed.
    bool PreTranslateKey(QKeyEvent *event);
    void AddEntry(const QString &label, Money amount, Money compare);
    void SetEntryColors(int n);
    void NotifyClick(int code, const QPoint &point, bool headerAllowed);
    bool isDataRow(int row) const;
    void measure();

    // Drawing.
    void DrawTextBlock(QRect &rect, const QString &text, std::uint8_t font, std::uint32_t format, ColorRef colour);
    void DrawHeaderCell(QRect &rect, const QString &title, int width, std::uint32_t format);
    void DrawCell(QRect &rect, const QString &text, int width, std::uint32_t format, ColorRef fill,
                  ColorRef light, ColorRef dark, int indent);
    void DrawBox(const QRect &rect, ColorRef colour1, ColorRef colour2, int style);
    void DrawRotatedText(const QRect &rect, const QString &text, ColorRef colour);
    void CreateLabelFont(const QString &face, int height, int angle);
    int DrawTableRows(const QRect &area);
    void DrawValueAxisChart(const QRect &area);
    void DrawPie(const QRect &area);
    void DrawDataTable(QRect &rect, bool centre);
    void Frame3d(const QRect &rect, ColorRef light, ColorRef dark);

    static constexpr ColorRef kNoColour = 0xFFFFFFFF;

    std::vector<Money> m_Amounts;
    std::vector<Money> m_Compares;
    QStringList m_Labels;
    bool m_bInteractive = false;
    bool m_bMultiSelect = false;
    int m_nDataRows = 0;
    int m_nNavDefault = 1;
    std::uint8_t m_nBackColour = 1;
    std::uint8_t m_nFrameStyle = 0;
    std::uint8_t m_nHeaderColour = 14;
    int m_nHeaderFrame = 2;
    std::uint8_t m_nTitleFont = 6;
    std::uint8_t m_nHeaderFont = 2;
    std::uint8_t m_nRowFont = 2;
    std::uint8_t m_nHeadingFont = 3;
    ColorRef m_crBase = 0;
    ColorRef m_crLight = 0;
    ColorRef m_crDark = 0;
    CXTable *m_pTable = nullptr;
    const ImageList *m_pImageList = nullptr;
    int m_nMaxEntries = 31;
    int m_nEntries = 0;
    int m_nChartType = ChartTable;
    int m_nStyle = 2;
    int m_nOthers = 0;
    int m_nPageRows = 0;
    int m_cxChar = 0;
    int m_cyChar = 0;
    int m_cyLine = 0;
    int m_cyHeader = 0;
    int m_cyExtra = 0;
    int m_cxLegend = 0;
    int m_nFirstRow = 0;
    int m_nLastRow = 0;
    bool m_bCompare = false;
    Money m_Total;
    Money m_MaxEntry;
    Money m_MaxRow;
    QFont m_LabelFont;
    bool m_bLabelFont = false;
    QRect m_rcRows{QPoint(-1, -1), QPoint(-1, -1)};
    QRect m_rcPlot;
    int m_nSelected = kNoRow;
    int m_nCursor = kCursorArrow;
};
