#include "controls/CXChartCtrl.h"

#include "app/base/Appearance.h"
#include "app/base/DialogControls.h"
#include "app/base/ImageList.h"
#include "app/base/MoneyText.h"
#include "controls/CXTable.h"
#include "controls/ControlMessages.h"
#include "controls/DlgItem.h"
#include "controls/DrawTextFormat.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QWheelEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

// Virtual key numbers the chart's keyboard and its key notification use.
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_PRIOR = 33;
constexpr int VK_NEXT = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_UP = 38;
constexpr int VK_DOWN = 40;
constexpr int VK_A = 65;

constexpr std::uint32_t kTitleCentred = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_CENTER;
constexpr std::uint32_t kTitleLeft = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
constexpr std::uint32_t kCellSingle = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

constexpr ColorRef kRed = MakeColorRef(255, 0, 0);
constexpr ColorRef kLightRed = MakeColorRef(255, 196, 196);
constexpr ColorRef kGrey = MakeColorRef(151, 151, 151);
constexpr ColorRef kBlack = 0x000000;
constexpr ColorRef kSelectedFocus = MakeColorRef(255, 251, 151);
constexpr ColorRef kSelected = MakeColorRef(255, 251, 239);

QColor qc(ColorRef c) { return ColorRefToQColor(c); }

// Cell texts that warn: a negative number or a text ending with "!".
bool isWarningText(const QString &text)
{
    return text.startsWith(QLatin1Char('-')) || text.endsWith(QLatin1Char('!'));
}

// Whole currency units of an amount, the fraction dropped.
qint64 wholeUnits(Money amount) { return amount.units() / Money::kUnitsPerWhole; }

QString noDecimalsGrouped(Money amount) { return GroupThousands(FormatCurrency(amount, 0)); }

// The room a cell's picture takes before its text.
constexpr int kPictureRoom = 20;

const QFont &sharedFont(int index) { return Appearance::instance().GetFont(index); }

} // namespace

CXChartCtrl::CXChartCtrl(QWidget *parent) : CXWnd(parent)
{
    m_pImageList = Appearance::instance().GetImageList(131);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    Reset();
}

CXChartCtrl::~CXChartCtrl() = default;

bool CXChartCtrl::CreateInDlgItem(QWidget *parent, unsigned id, int hue, unsigned placeholderId)
{
    const unsigned placeholder = placeholderId ? placeholderId : id;
    if (placeholder == id) {
        if (!CreateFromDlgItem(parent, id))
            return false;
    } else {
        QWidget *item = GetDlgItem(parent, placeholder);
        if (!item)
            return false;
        setParent(item->parentWidget() ? item->parentWidget() : parent);
        setGeometry(item->geometry());
        markCreated(parent, id);
    }
    m_bInteractive = true;
    SetColorScheme(hue);
    return true;
}

void CXChartCtrl::Reset()
{
    m_Amounts.clear();
    m_Compares.clear();
    m_Labels.clear();
    m_nMaxEntries = 31;
    m_nEntries = 0;
    m_nDataRows = 0;
    m_cxLegend = 0;
    m_nFirstRow = 0;
    m_nLastRow = 0;
    m_nOthers = 0;
    m_Total = Money();
    m_MaxEntry = Money();
    m_MaxRow = Money();
    m_bCompare = false;
    m_nSelected = kNoRow;
    m_nPageRows = 0;
    m_nCursor = kCursorArrow;
    unsetCursor();
    if (QScrollBar *bar = verticalScrollBar())
        bar->setValue(0);
}

void CXChartCtrl::LoadTable(CXTable *table, int chartType)
{
    m_pTable = table;
    Reset();
    if (!table || table->GetRowCount() == 0 || !table->IsValidColumn(table->m_tColumn)
        || !table->IsValidColumn(table->m_pColumn)) {
        update();
        return;
    }
    const int t = table->m_tColumn;
    const int p = table->m_pColumn;
    const int c = table->m_cColumn;
    // One entry needs at least 6 pixels of the window's height.
    m_nMaxEntries = std::min(table->GetRowCount(), height() / 6);
    SetChartType(chartType, false);
    m_bCompare = c > 0 && table->IsValidColumn(c);

    const bool grouped = table->m_totalMode == CXTable::TotalsPerGroup && t == 0;
    const int grandTotal = table->m_totalMode > CXTable::TotalsSeparated ? table->GetTotalRowIndex() : -1;
    for (int row = 0; row < table->GetRowCount(); ++row) {
        const QString label = table->GetCellText(row, t);
        const Money amount = table->GetCellValue(row, p);
        const Money compare = m_bCompare ? table->GetCellValue(row, c) : Money();
        if (table->IsSpecialRow(row)) {
            // The group rows carry the groups' sums; the grand total would
            // count every group a second time.
            if (grouped && row != grandTotal)
                AddEntry(label, amount, compare);
            continue;
        }
        if (amount > m_MaxRow)
            m_MaxRow = amount;
        AddEntry(label, amount, compare);
        ++m_nDataRows;
    }
    if (m_nOthers > 0 && !m_Labels.isEmpty())
        m_Labels.last() = QStringLiteral("Others (%1)").arg(m_nOthers + 1);
    m_nEntries = int(m_Labels.size());
    update();
}

void CXChartCtrl::AddEntry(const QString &label, Money amount, Money compare)
{
    m_Total += amount;
    if (int(m_Labels.size()) < m_nMaxEntries) {
        m_Labels.append(label);
        m_Amounts.push_back(amount);
        m_Compares.push_back(compare);
        if (amount > m_MaxEntry)
            m_MaxEntry = amount;
    } else if (!m_Labels.isEmpty()) {
        m_Amounts.back() += amount;
        m_Compares.back() += compare;
        ++m_nOthers;
    }
}

Money CXChartCtrl::entryAmount(int i) const
{
    return i >= 0 && i < int(m_Amounts.size()) ? m_Amounts[size_t(i)] : Money();
}

Money CXChartCtrl::entryCompare(int i) const
{
    return i >= 0 && i < int(m_Compares.size()) ? m_Compares[size_t(i)] : Money();
}

void CXChartCtrl::SetChartType(int type, bool redraw)
{
    if (type != 0)
        m_nChartType = type;
    if (redraw)
        update();
}

void CXChartCtrl::SetStyle(int bits, bool redraw)
{
    m_nStyle = bits;
    if (redraw)
        update();
}

void CXChartCtrl::SetEntryColors(int n)
{
    m_crBase = GetSysColorEx(std::uint8_t(48 + ((n % 12) + 12) % 12));
    const int hue = ColorToHue(m_crBase);
    m_crLight = HsvToColor(hue, 0.45, 1.0, false);
    m_crDark = HsvToColor(hue, 1.0, 0.47, false);
}

bool CXChartCtrl::isDataRow(int row) const
{
    return m_pTable && m_pTable->IsValidRow(row) && !m_pTable->IsSpecialRow(row);
}

int CXChartCtrl::SelectRow(int row)
{
    if (!isDataRow(row))
        return -1;
    m_nSelected = row;
    update();
    return row;
}

int CXChartCtrl::SelectRowByKey(int key)
{
    if (!m_pTable)
        return -1;
    for (int row = 0; row < m_pTable->GetRowCount(); ++row) {
        if (m_pTable->GetRowKey(row) == key)
            return SelectRow(row);
    }
    return -1;
}

bool CXChartCtrl::HitTest(const QPoint &point, int &row, int &column) const
{
    row = -1;
    column = -1;
    if (!m_pTable || m_rcRows.top() < 0 || m_cyLine <= 0)
        return false;
    // The rows' place is kept in the columns' own coordinates.
    const QPoint at(point.x() + horzScrollOffset(), point.y());
    const int y = at.y();
    if (y > m_rcRows.top() - m_cyHeader && y < m_rcRows.top()) {
        row = -1;
    } else if (m_rcRows.contains(at)) {
        row = (y - m_rcRows.top()) / m_cyLine + m_nFirstRow;
        if (!m_pTable->IsValidRow(row) || m_pTable->IsSpecialRow(row))
            return false;
    } else {
        return false;
    }
    int right = m_rcRows.left();
    for (int c = 0; c < m_pTable->GetColumnCount(); ++c) {
        const int width = m_pTable->GetColumnWidth(c);
        if (width == 0)
            continue;
        right += width;
        if (right > at.x()) {
            column = c;
            return true;
        }
    }
    return false;
}

// --- keyboard -------------------------------------------------------------------

int CXChartCtrl::VirtualKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_A: return VK_A;
    default: return 0;
    }
}

bool CXChartCtrl::event(QEvent *e)
{
    // Tab must reach the chart before the focus chain takes it.
    if (e->type() == QEvent::KeyPress && PreTranslateKey(static_cast<QKeyEvent *>(e)))
        return true;
    return CXWnd::event(e);
}

bool CXChartCtrl::PreTranslateKey(QKeyEvent *e)
{
    const int key = VirtualKey(e->key());
    if (IsNavigationKey(e->key(), m_nNavDefault)) {
        if (MoveSelection(key)) {
            if (m_bInteractive)
                emit keyNotified(key, m_nSelected);
            update();
        }
        return true;
    }
    if (key == VK_A && (e->modifiers() & Qt::ControlModifier) && m_bMultiSelect) {
        if (m_pTable)
            m_pTable->SelectAll(true);
        update();
        return true;
    }
    return false;
}

bool CXChartCtrl::MoveSelection(int key)
{
    if ((m_nChartType != ChartTable && m_nChartType != ChartBar) || !m_pTable)
        return false;
    const int rows = m_pTable->GetRowCount();
    const int page = std::max(m_nPageRows, m_nLastRow - m_nFirstRow + 1);
    int row = m_nSelected;
    int step = 0;
    switch (key) {
    case VK_RETURN:
    case VK_DOWN: step = 1; break;
    case VK_UP: step = -1; break;
    case VK_PRIOR: step = -page; break;
    case VK_NEXT: step = page; break;
    case VK_HOME: row = -1; step = 1; break;
    case VK_END: row = rows; step = -1; break;
    default: return false;
    }
    // Without a selected row only Home and End have a place to start from.
    if (row == kNoRow || step == 0)
        return false;
    for (;;) {
        row += step;
        if (row < 0 || row >= rows || row == m_nSelected)
            return false;
        const std::uint32_t flags = m_pTable->GetRowFlags(row);
        if (!(flags & (CXTable::RowSpecial | CXTable::RowFlag16)))
            break;
    }
    if (row < m_nFirstRow || row >= m_nLastRow) {
        m_nFirstRow = row;
        if (QScrollBar *bar = verticalScrollBar())
            bar->setValue(row);
        update();
    }
    if (m_pTable->GetMarkedRowCount() > 0)
        m_pTable->SelectAll(false);
    m_nSelected = row;
    return true;
}

// --- mouse -----------------------------------------------------------------------

void CXChartCtrl::NotifyClick(int code, const QPoint &point, bool headerAllowed)
{
    int row;
    int column;
    if (!HitTest(point, row, column) || (row == -1 && !headerAllowed))
        return;
    setFocus(Qt::MouseFocusReason);
    bool changed = false;
    // The header row is reported but never becomes the selected row.
    if (row >= 0 && row != m_nSelected) {
        m_nSelected = row;
        changed = true;
        update();
    }
    if (row >= 0)
        m_pTable->ToggleRowSelection(row, 256);
    emit notified(code, row, column, mapToGlobal(point), changed);
}

void CXChartCtrl::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_bInteractive)
        return;
    int row;
    int column;
    const int cursor = HitTest(e->position().toPoint(), row, column) ? kCursorHand : kCursorArrow;
    if (cursor != m_nCursor) {
        m_nCursor = cursor;
        setCursor(cursor == kCursorHand ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
}

void CXChartCtrl::mouseReleaseEvent(QMouseEvent *e)
{
    if (!m_bInteractive || e->button() != Qt::LeftButton || !m_pTable)
        return;
    const QPoint point = e->position().toPoint();
    const Qt::KeyboardModifiers keys = e->modifiers();
    if (m_bMultiSelect && (keys & (Qt::ControlModifier | Qt::ShiftModifier))) {
        int row;
        int column;
        if (HitTest(point, row, column) && row >= 0) {
            if (keys & Qt::ControlModifier) {
                m_pTable->ToggleRowSelection(row, 0);
            } else if (m_nSelected != kNoRow) {
                for (int r = std::min(m_nSelected, row); r <= std::max(m_nSelected, row); ++r)
                    m_pTable->ToggleRowSelection(r, 256);
            }
            update();
        }
        return;
    }
    if (m_pTable->GetMarkedRowCount() > 0)
        m_pTable->SelectAll(false);
    NotifyClick(CodeClick, point, true);
}

void CXChartCtrl::mousePressEvent(QMouseEvent *e)
{
    if (!m_bInteractive || e->button() != Qt::RightButton || !m_pTable)
        return;
    const QPoint point = e->position().toPoint();
    int row;
    int column;
    if (HitTest(point, row, column) && isDataRow(row) && !m_pTable->IsRowMarked(row))
        m_pTable->SelectAll(false);
    NotifyClick(CodeRightClick, point, false);
}

void CXChartCtrl::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (!m_bInteractive || e->button() != Qt::LeftButton || !m_pTable)
        return;
    NotifyClick(CodeDoubleClick, e->position().toPoint(), false);
}

void CXChartCtrl::wheelEvent(QWheelEvent *e)
{
    const int code = e->angleDelta().y() < 0 ? SB_PAGEDOWN : SB_PAGEUP;
    QMetaObject::invokeMethod(this, [this, code] { OnVScroll(code, 0); }, Qt::QueuedConnection);
    e->accept();
}

void CXChartCtrl::OnVScroll(int code, int pos)
{
    ScrollVert(code, pos, &m_nFirstRow);
}

void CXChartCtrl::focusInEvent(QFocusEvent *e)
{
    CXWnd::focusInEvent(e);
    update();
}

void CXChartCtrl::focusOutEvent(QFocusEvent *e)
{
    CXWnd::focusOutEvent(e);
    update();
}

// --- drawing helpers ---------------------------------------------------------------

qint64 CXChartCtrl::AxisUnit(qint64 largest, int gridLines)
{
    if (gridLines <= 0)
        return 1;
    const qint64 quotient = largest / gridLines;
    if (quotient <= 0)
        return 1;
    // 34 -> 40, 9 -> 10, 250 -> 300.
    qint64 power = 1;
    qint64 first = quotient;
    while (first >= 10) {
        first /= 10;
        power *= 10;
    }
    return (first + 1) * power;
}

void CXChartCtrl::measure()
{
    const QFontMetrics metrics(sharedFont(m_nRowFont));
    m_cxChar = metrics.horizontalAdvance(QLatin1Char('9'));
    m_cyChar = metrics.height();
    const int imageHeight = m_pImageList ? m_pImageList->iconSize().height() : 0;
    m_cyLine = std::max(m_cxChar + m_cyChar, imageHeight) + m_cyExtra;
}

void CXChartCtrl::DrawTextBlock(QRect &rect, const QString &text, std::uint8_t fontIndex, std::uint32_t format,
                                ColorRef colour)
{
    if (text.isEmpty())
        return;
    if (text.startsWith(QLatin1Char('-')) || text.startsWith(QChar(0x2022)) || text.endsWith(QLatin1Char('!'))
        || text.endsWith(QStringLiteral(". ")))
        colour = kRed;
    const int used = DrawText(rect, text, format, colour, fontIndex, 0);
    rect.setTop(rect.top() + used);
}

void CXChartCtrl::DrawHeaderCell(QRect &rect, const QString &title, int width, std::uint32_t format)
{
    if (width == 0)
        return;
    const QRect cell(rect.left(), rect.top(), width, rect.height());
    FillBackground(cell, m_nHeaderColour);
    DrawBorder(cell, std::uint8_t(m_nHeaderFrame), m_nHeaderColour);
    const ColorRef text = IsDarkStyleColor(m_nHeaderColour) ? color(0) : color(5);
    DrawText(cell, title, format, text, m_nHeaderFont, 3);
    rect.setLeft(rect.left() + width);
}

void CXChartCtrl::Frame3d(const QRect &r, ColorRef light, ColorRef dark)
{
    if (!dc() || !r.isValid())
        return;
    dc()->fillRect(QRect(r.left(), r.top(), r.width(), 1), qc(light));
    dc()->fillRect(QRect(r.left(), r.top(), 1, r.height()), qc(light));
    dc()->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), qc(dark));
    dc()->fillRect(QRect(r.right(), r.top(), 1, r.height()), qc(dark));
}

void CXChartCtrl::DrawCell(QRect &rect, const QString &text, int width, std::uint32_t format, ColorRef fill,
                           ColorRef light, ColorRef dark, int indent)
{
    rect.setLeft(rect.left() + indent);
    const QRect cell(rect.left(), rect.top(), width, rect.height());
    if (fill != kNoColour)
        FillSolid(cell, fill);
    if (light != kNoColour)
        Frame3d(cell, light, dark);
    DrawText(cell, text, format, color(5), m_nRowFont, 3);
    rect.setLeft(rect.left() + width);
}

void CXChartCtrl::DrawBox(const QRect &r, ColorRef colour1, ColorRef colour2, int style)
{
    if (!dc() || !r.isValid())
        return;
    QRect first = r;
    QRect second = r;
    switch (style) {
    case 0:
        FillSolid(r, colour2);
        Frame3d(r, colour1, colour1);
        break;
    case 1:
        first.setWidth(r.width() / 2);
        second.setLeft(first.right() + 1);
        GradientFill(first, colour1, colour2, false);
        GradientFill(second, colour2, colour1, false);
        break;
    case 2:
        first.setHeight(r.height() / 2);
        second.setTop(first.bottom() + 1);
        GradientFill(first, colour1, colour2, true);
        GradientFill(second, colour2, colour1, true);
        break;
    case 3: GradientFill(r, colour1, colour2, true); break;
    case 4: GradientFill(r, colour1, colour2, false); break;
    default: break;
    }
}

void CXChartCtrl::CreateLabelFont(const QString &face, int height, int angle)
{
    Q_UNUSED(angle); // the label font is always drawn turned upwards
    if (m_bLabelFont)
        return;
    m_LabelFont = QFont(face);
    m_LabelFont.setStyleHint(QFont::SansSerif);
    m_LabelFont.setPixelSize(std::max(1, height));
    m_LabelFont.setWeight(QFont::Normal);
    m_bLabelFont = true;
}

void CXChartCtrl::DrawRotatedText(const QRect &rect, const QString &text, ColorRef colour)
{
    if (!dc() || text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    QPainter &p = *dc();
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    p.setFont(m_LabelFont);
    p.setPen(qc(colour));
    // Reading upwards: the text's baseline runs from the box's bottom to its top.
    p.translate(rect.left(), rect.bottom() + 1);
    p.rotate(-90);
    p.drawText(QRect(0, 0, rect.height(), rect.width()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p.restore();
}

// --- painting ----------------------------------------------------------------------

void CXChartCtrl::Draw()
{
    QRect area = m_client;
    if (m_cyLine == 0)
        measure();
    FillBackground(area, m_nBackColour);
    DrawBorder(area, m_nFrameStyle, m_nBackColour);
    area.adjust(1, 1, -1, -1);
    m_rcRows = QRect(QPoint(-1, -1), QPoint(-1, -1));
    if (!m_pTable || area.width() <= 0 || area.height() <= 0) {
        SetVertScrollRange(0, 0);
        SetHorzScrollRange(0);
        return;
    }
    CXTable &table = *m_pTable;

    // Title block.
    QRect title = area;
    if (table.m_titleIcon != 255) {
        const ImageList *list = Appearance::instance().GetImageList(unsigned(table.m_titleIconList));
        if (list && DrawImage(area, table.m_titleIconList, table.m_titleIcon, DT_LEFT, 0))
            title.setLeft(area.left() + 3 + list->iconSize().width() + m_cxChar);
    }
    if (!table.m_title.isEmpty() || !table.m_subtitle.isEmpty() || !table.m_headingText.isEmpty()) {
        std::uint32_t format = kTitleCentred;
        if (table.m_centredTitle != 1) {
            format = kTitleLeft;
            title.setLeft(title.left() + m_cxChar);
        }
        DrawTextBlock(title, table.m_title, m_nTitleFont, format, color(4));
        DrawTextBlock(title, table.m_subtitle, 4, format, color(4));
        DrawTextBlock(title, table.m_headingText, 2, format, kBlack);
        title.setTop(title.top() + m_cxChar);
    }
    if (table.GetRowCount() == 0 && !table.m_note.isEmpty()) {
        QRect note = title;
        const ImageList *list = Appearance::instance().GetImageList(133);
        if (list && DrawImage(note, 133, 13, DT_LEFT, 0))
            note.setLeft(note.left() + 3 + list->iconSize().width() + m_cxChar);
        DrawText(note, table.m_note, kTitleLeft, kBlack, 8, 0);
    }
    area.setTop(title.top());
    if (table.GetRowCount() == 0) {
        SetVertScrollRange(0, 0);
        SetHorzScrollRange(0);
        return;
    }
    m_nEntries = int(m_Labels.size());

    if (m_nChartType == ChartTable || m_nChartType == ChartBar) {
        const int drawn = DrawTableRows(area);
        if (m_nFirstRow == 0)
            m_nPageRows = drawn;
        SetVertScrollRange(table.GetRowCount(), drawn);
        return;
    }
    SetVertScrollRange(0, 0);
    SetHorzScrollRange(0);
    if (m_nEntries == 0) {
        DrawText(area, QStringLiteral("\nThere's no chart for this report."), kTitleCentred, kBlack, 5, 0);
        return;
    }
    if (!m_bLabelFont)
        CreateLabelFont(QStringLiteral("Arial"), logicalDpiY() * 6 / 50, 90);
    if (m_cxLegend == 0) {
        const QFontMetrics metrics(sharedFont(m_nRowFont));
        int widest = 0;
        for (const QString &label : std::as_const(m_Labels))
            widest = std::max(widest, metrics.horizontalAdvance(label));
        m_cxLegend = widest + m_cxChar;
    }
    if (m_nChartType == ChartColumn || m_nChartType == ChartLine)
        DrawValueAxisChart(area);
    else if (m_nChartType == ChartPie)
        DrawPie(area);
}

int CXChartCtrl::DrawTableRows(const QRect &areaIn)
{
    CXTable &table = *m_pTable;
    QPainter &p = *dc();
    const int columns = table.GetColumnCount();
    const bool bar = m_nChartType == ChartBar;
    const int tCol = table.m_tColumn;
    const int pCol = table.m_pColumn;
    const int cCol = table.m_cColumn;
    const bool barColumn = bar && (pCol >= 1 || cCol >= 1);

    auto shown = [&](int c) {
        if (!bar)
            return true;
        return c <= tCol || c == pCol || (cCol > 0 && c == cCol);
    };

    table.ApplyColumnFlags();
    // A cell's text as the widest of the fonts of titles, rows and headings
    // draws it, with its indents and frame.
    const QFontMetrics headerMetrics(sharedFont(m_nHeaderFont));
    const QFontMetrics rowMetrics(sharedFont(m_nRowFont));
    const QFontMetrics headingMetrics(sharedFont(m_nHeadingFont));
    std::vector<int> needs = table.ContentWidths(m_cxChar, [&](const QString &text) {
        const int widest = std::max({headerMetrics.horizontalAdvance(text), rowMetrics.horizontalAdvance(text),
                                     headingMetrics.horizontalAdvance(text)});
        return widest + 2 * 3 + 3;
    });
    // A left-aligned text beside a cell's picture starts past the picture.
    if (m_pImageList)
        for (int c = 0; c < columns; ++c) {
            if (table.GetColumnCharWidth(c) <= 0 || (table.GetColumnFormat(c) & DT_RIGHT))
                continue;
            for (int r = 0; r < table.GetRowCount(); ++r) {
                const int image = table.GetCellFormat(r, c);
                if (image >= 1 && image <= 254 && !table.GetCellText(r, c).isEmpty() && !table.IsSpecialRow(r)) {
                    needs[size_t(c)] += kPictureRoom;
                    break;
                }
            }
        }
    // A table whose columns need more than its width keeps every column as
    // wide as its texts and scrolls sideways; the bar view shares its width
    // among the columns it shows.
    int needed = 0;
    for (int c = 0; c < columns; ++c)
        if (table.GetColumnCharWidth(c) > 0)
            needed += std::max(needs[size_t(c)], (table.GetColumnCharWidth(c) + 1) * m_cxChar);
    const bool sideways = !bar && needed > areaIn.width();
    SetHorzScrollRange(sideways ? needed + 2 : 0);
    QRect area = areaIn;
    if (sideways)
        area.setWidth(needed);
    // The rows stop above the horizontal scroll bar.
    area.setBottom(std::min(area.bottom(), m_client.bottom() - 1));
    QRect cols = area;
    table.CalcColumnWidths(cols, m_cxChar, sideways ? 0 : table.m_centredTitle, needs);
    const int left = cols.left();
    // Scrolled sideways, the columns are drawn moved left, inside the client.
    p.save();
    p.setClipRect(QRect(areaIn.left(), areaIn.top(), areaIn.width(), area.height()));
    p.translate(-horzScrollOffset(), 0);

    // Header row.
    const int headerLines = std::max<int>(1, table.m_headerLines);
    m_cyHeader = headerLines == 1 ? m_cyLine : headerLines * m_cyChar + 2;
    QRect header(left, area.top(), area.right() - left + 1, m_cyHeader);
    for (int c = 0; c < columns; ++c) {
        const int width = table.GetColumnWidth(c);
        if (!shown(c) || width == 0)
            continue;
        std::uint32_t format = table.GetColumnFormat(c);
        const QString name = table.GetColumnName(c);
        if (headerLines >= 2 && name.contains(QLatin1Char('\n'))) {
            format = (format & DT_RIGHT) ? (DT_WORDBREAK | DT_RIGHT | DT_NOPREFIX)
                                         : (DT_WORDBREAK | DT_NOPREFIX | (format & DT_CENTER));
        }
        DrawHeaderCell(header, name, width, format);
    }
    double barScale = 0.0;
    int barLeft = header.left();
    if (barColumn) {
        const int width = area.right() + 1 - header.left();
        if (width > 0) {
            DrawHeaderCell(header, QString(), width, DT_LEFT);
            // A largest row of 0 or less leaves no room for bars.
            if (m_MaxRow.units() > 0)
                barScale = double(width - 10) / double(m_MaxRow.units());
        }
    }

    m_rcRows = QRect(left, area.top() + m_cyHeader, area.right() - left + 1, 0);
    const int rows = table.GetRowCount();
    const int grandTotal = table.m_totalMode > CXTable::TotalsSeparated ? table.GetTotalRowIndex() : -1;
    const bool focused = hasFocus();
    int y = m_rcRows.top();
    int row = m_nFirstRow;
    int drawn = 0;
    p.setBackgroundMode(Qt::TransparentMode);
    for (; row < rows && y + m_cyLine <= area.bottom() + 1; ++row, ++drawn, y += m_cyLine) {
        const std::uint32_t flags = table.GetRowFlags(row);
        const bool caption = flags & CXTable::RowFlag16;
        const bool total = row == grandTotal;
        const bool heading = (flags & CXTable::RowSpecial) && !total;
        const bool selected = !heading && !total && (row == m_nSelected || (flags & CXTable::RowMarked));
        const bool grey = flags & CXTable::RowFlag8;
        std::uint8_t rowFont = (heading || (flags & CXTable::RowFlag4)) ? m_nHeadingFont : m_nRowFont;
        ColorRef textColour = grey ? kGrey : kBlack;
        const QRect line(left, y, area.right() - left + 1, m_cyLine);

        if (caption) {
            FillBackground(line, m_nHeaderColour);
            DrawBorder(line, std::uint8_t(m_nHeaderFrame), m_nHeaderColour);
            textColour = color(0);
            rowFont = m_nHeaderFont;
        } else if (total) {
            FillBackground(line, m_nHeaderColour);
            textColour = color(0);
        } else if (heading) {
            FillSolid(line, color(2));
        } else if (selected) {
            if (focused) {
                FillSolid(line, kSelectedFocus);
                QPen dots(qc(kBlack), 1, Qt::DotLine);
                p.save();
                p.setPen(dots);
                p.setBrush(Qt::NoBrush);
                p.drawRect(line.adjusted(0, 0, -1, -1));
                p.restore();
            } else {
                FillSolid(line, kSelected);
                Frame3d(line, color(3), color(3));
            }
        } else {
            if ((m_nStyle & 1) && row % 2 == 0)
                FillSolid(line, color(1));
            if (m_nStyle & 2)
                FillSolid(QRect(line.left(), line.bottom(), line.width(), 1), color(2));
        }

        int x = left;
        int shownIndex = 0;
        for (int c = 0; c < columns; ++c) {
            const int width = table.GetColumnWidth(c);
            // A caption row: the first column keeps its cell; the second
            // column's text, shown even when that column is hidden in the
            // other rows, runs to the right edge (across the whole row when
            // the first column is hidden), and the cells after it stay blank.
            if (caption && c > 1)
                break;
            if ((!shown(c) || width == 0) && !(caption && c == 1))
                continue;
            QRect cell(x, y, width, m_cyLine);
            ++shownIndex;
            if (caption && c == 1)
                cell.setRight(area.right());
            const QString text = table.GetCellText(row, c);
            const std::uint32_t format = table.GetColumnFormat(c) | kCellSingle;
            if (heading) {
                Frame3d(cell, color(1), color(3));
            } else if (total) {
                DrawBorder(cell, std::uint8_t(m_nHeaderFrame), m_nHeaderColour);
            } else if (!caption) {
                if (!selected && (shownIndex == 1 || table.IsColumnFlagged(c)))
                    FillSolid(cell.adjusted(0, 0, 0, (m_nStyle & 2) ? -1 : 0), color(1));
                FillSolid(QRect(cell.right(), cell.top(), 1, cell.height()), color(2));
            }
            QRect textRect = cell;
            const int image = table.GetCellFormat(row, c);
            if (!heading && !total && !caption && image >= 1 && image <= 254 && m_pImageList) {
                const QPoint at(cell.left() + 1, cell.top() + (cell.height() - 18) / 2);
                m_pImageList->draw(p, image, at, grey);
                if (!(format & DT_RIGHT))
                    textRect.setLeft(textRect.left() + kPictureRoom);
            }
            ColorRef colour = textColour;
            if (isWarningText(text))
                colour = total ? kLightRed : kRed;
            DrawText(textRect, text, format, colour, rowFont, 3);
            x += width;
        }
        if (barColumn && !heading && !total && !caption && barScale > 0.0) {
            SetEntryColors(row);
            const QRect cell(barLeft, y, area.right() + 1 - barLeft, m_cyLine);
            const Money amount = table.GetCellValue(row, pCol);
            const int length = amount.units() > 0 ? int(double(amount.units()) * barScale) : 0;
            if (length > 0)
                DrawBox(QRect(cell.left(), cell.top() + 1, length, cell.height() - 2), m_crDark, m_crLight, 2);
            if (m_bCompare) {
                const Money compare = table.GetCellValue(row, cCol);
                const int cLength = compare.units() > 0 ? int(double(compare.units()) * barScale) : 0;
                const int quarter = cell.height() / 4;
                if (cLength > 0)
                    DrawBox(QRect(cell.left(), cell.top() + quarter, cLength, cell.height() - 2 * quarter), m_crBase,
                            m_crDark, 0);
            }
        }
    }
    p.restore();
    m_nLastRow = row;
    m_rcRows.setBottom(y - 1);
    return drawn;
}

void CXChartCtrl::DrawValueAxisChart(const QRect &area)
{
    QPainter &p = *dc();
    // The labels stand upright above their entries: the plot leaves room
    // above its top for the longest one (up to a third of the area), so the
    // tallest entry's label is not cut off at the top.
    const QFontMetrics labelMetrics(m_LabelFont);
    int longest = 0;
    for (const QString &label : std::as_const(m_Labels))
        longest = std::max(longest, labelMetrics.horizontalAdvance(label));
    const int room = std::clamp(longest + m_cxChar, 10, std::max(10, area.height() / 3));
    const QRect plot = area.adjusted(11 * m_cxChar, room, -(m_cxChar / 2), -m_cyLine);
    m_rcPlot = plot;
    if (plot.width() <= 0 || plot.height() <= 0 || m_nEntries <= 0)
        return;
    const int slot = std::min(plot.width() / m_nEntries, 50);
    const int gap = slot / 20;
    int lines = 10;
    if (plot.height() / 10 < m_cyLine)
        lines = 5;
    else if (plot.height() / 10 > 2 * m_cyLine)
        lines = 20;
    const qint64 unit = AxisUnit(wholeUnits(m_MaxEntry), lines);
    const double scale = double(plot.height()) / double(unit * lines); // pixels per whole unit

    const QPen light(qc(MakeColorRef(192, 192, 192)), 1);
    const QPen lighter(qc(MakeColorRef(239, 239, 239)), 1);
    const QPen red(qc(MakeColorRef(192, 16, 16)), 2);
    const QPen green(qc(MakeColorRef(43, 128, 43)), 2);

    for (int i = 0; i <= lines; ++i) {
        const int y = plot.bottom() - i * plot.height() / lines;
        const bool fifth = i % 5 == 0;
        p.setPen(fifth ? light : lighter);
        p.drawLine(plot.left() - m_cxChar / 2, y, area.right(), y);
        const QString label = i == 0 ? QStringLiteral("$0")
                                     : QLatin1Char('$') + GroupThousands(QString::number(unit * i));
        const QRect box(area.left(), y - m_cyLine / 2, plot.left() - 4 - area.left(), m_cyLine);
        DrawText(box, label, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, kBlack, fifth ? 3 : 0, 0);
    }

    auto heightOf = [&](Money amount) {
        const double h = amount.toDouble() * scale;
        return std::clamp(int(h), 0, plot.height());
    };
    QPoint previous;
    QPoint previousCompare;
    for (int e = 0; e < m_nEntries; ++e) {
        const int slotLeft = plot.left() + e * slot;
        if (slotLeft >= plot.right())
            break;
        SetEntryColors(e);
        const Money amount = m_Amounts[size_t(e)];
        const Money compare = m_Compares[size_t(e)];
        const int top = plot.bottom() + 1 - heightOf(amount);
        if (m_nChartType == ChartColumn) {
            const QRect column(slotLeft + gap, top, slot - 2 * gap, plot.bottom() + 1 - top);
            if (column.height() > 0)
                DrawBox(column, m_crDark, m_crBase, 1);
            if (m_bCompare && compare.units() > 0) {
                const int third = slot / 3;
                const int cTop = plot.bottom() + 1 - heightOf(compare);
                const QRect bar(slotLeft + third, cTop, slot - 2 * third, plot.bottom() + 1 - cTop);
                if (bar.height() > 0 && bar.width() > 0) {
                    DrawBox(bar, m_crBase, m_crDark, 0);
                    Frame3d(bar, m_crLight, m_crLight);
                }
            }
        } else {
            const QPoint point(slotLeft, top);
            p.setPen(green);
            if (e > 0)
                p.drawLine(previous, point);
            p.fillRect(QRect(point.x() - 2, point.y() - 2, 4, 4), qc(MakeColorRef(43, 128, 43)));
            previous = point;
            if (m_bCompare) {
                const QPoint cPoint(slotLeft, plot.bottom() + 1 - heightOf(compare));
                p.setPen(red);
                if (e > 0)
                    p.drawLine(previousCompare, cPoint);
                p.fillRect(QRect(cPoint.x() - 2, cPoint.y() - 2, 4, 4), qc(MakeColorRef(192, 16, 16)));
                previousCompare = cPoint;
            }
        }
        const int labelBottom = top - m_cxChar;
        QRect labelBox(slotLeft, area.top(), slot, labelBottom - area.top());
        labelBox.translate((slot - m_cyLine) / 2, 0);
        DrawRotatedText(labelBox, m_Labels.at(e), m_crDark);
    }
}

void CXChartCtrl::DrawPie(const QRect &area)
{
    QPainter &p = *dc();
    const bool landscape = area.width() > area.height();
    const int tableWidth = std::min({20 * m_cxChar + m_cxLegend, area.width() / 2, 400});
    int radius;
    QPoint centre;
    QRect tableRect;
    if (landscape) {
        // The pie is kept inside the area's height as well.
        radius = std::min({area.width() / 2, 150, area.height() / 2});
        tableRect = QRect(area.left(), area.top(), tableWidth, area.height());
        centre = QPoint(area.left() + tableWidth + 20 + radius, area.top() + radius);
    } else {
        radius = std::min(tableWidth / 2, 100);
        const int tableLeft = area.left() + std::max(0, (area.width() - tableWidth) / 2);
        centre = QPoint(tableLeft + tableWidth / 2, area.top() + radius);
        tableRect = QRect(area.left(), area.top() + 2 * radius + 10, area.width(),
                          std::max(0, area.bottom() - (area.top() + 2 * radius + 10) + 1));
        tableRect.setWidth(tableWidth);
        tableRect.moveLeft(tableLeft);
    }

    if (radius > 0 && m_Total.units() > 0) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Qt::black, 1));
        const QRectF box(centre.x() - radius, centre.y() - radius, 2.0 * radius, 2.0 * radius);
        const double total = double(m_Total.units());
        double running = 0.0;
        double drawnTo = 0.0; // the end of the last wedge drawn, as a share of the circle
        for (int e = 0; e < m_nEntries; ++e) {
            const double amount = double(m_Amounts[size_t(e)].units());
            running += amount;
            if (amount / total <= 0.01)
                continue;
            const double end = running / total;
            SetEntryColors(e);
            p.setBrush(qc(m_crBase));
            // Clockwise from twelve o'clock; the painter counts anticlockwise from three.
            const int start16 = int(std::lround((90.0 - drawnTo * 360.0) * 16.0));
            const int span16 = -int(std::lround((end - drawnTo) * 360.0 * 16.0));
            if (span16 <= -360 * 16)
                p.drawEllipse(box);
            else
                p.drawPie(box, start16, span16);
            const double middle = (drawnTo + end) / 2.0 * 2.0 * M_PI;
            const int nx = centre.x() + int(std::sin(middle) * radius * 0.87);
            const int ny = centre.y() - int(std::cos(middle) * radius * 0.87);
            DrawText(QRect(nx - m_cxChar, ny - m_cyLine / 2, 2 * m_cxChar, m_cyLine), QString::number(e + 1),
                     DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP, kBlack, m_nRowFont, 0);
            drawnTo = end;
        }
        p.restore();
    }
    DrawDataTable(tableRect, !landscape);
}

void CXChartCtrl::DrawDataTable(QRect &rect, bool centre)
{
    Q_UNUSED(centre); // the caller has placed the rectangle
    const int number = 3 * m_cxChar;
    const int amount = 10 * m_cxChar;
    const int percent = 6 * m_cxChar;
    const int description = std::max(0, rect.width() - number - amount - percent);
    if (rect.width() <= 0 || m_cyLine <= 0)
        return;
    const std::uint32_t single = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    QRect line(rect.left(), rect.top(), rect.width(), m_cyLine);
    DrawHeaderCell(line, QStringLiteral(" Description"), number + description, single | DT_LEFT);
    DrawHeaderCell(line, QStringLiteral("$"), amount, single | DT_RIGHT);
    DrawHeaderCell(line, QStringLiteral("%"), percent, single | DT_CENTER);
    const bool hasTotal = m_Total.units() != 0;
    for (int e = 0; e < m_nEntries; ++e) {
        const int top = rect.top() + (e + 1) * m_cyLine;
        if (top + m_cyLine > rect.bottom() + 1)
            break;
        SetEntryColors(e);
        QRect row(rect.left(), top, rect.width(), m_cyLine);
        const Money value = m_Amounts[size_t(e)];
        const double share = hasTotal ? double(value.units()) * 100.0 / double(m_Total.units()) : 0.0;
        DrawCell(row, QString::number(e + 1), number, single | DT_CENTER, m_crBase, m_crLight, m_crDark, 0);
        DrawCell(row, m_Labels.at(e), description, single | DT_LEFT, kNoColour, kNoColour, kNoColour, 0);
        DrawCell(row, noDecimalsGrouped(value), amount, single | DT_RIGHT, kNoColour, kNoColour, kNoColour, 0);
        DrawCell(row, QString::asprintf("%.1f", share), percent - 1, single | DT_RIGHT, m_crBase, m_crLight,
                 m_crDark, 1);
    }
    const int totalTop = rect.top() + (m_nEntries + 1) * m_cyLine;
    if (totalTop + m_cyLine <= rect.bottom() + 1) {
        QRect total(rect.left(), totalTop, rect.width(), m_cyLine);
        DrawHeaderCell(total, QStringLiteral(" TOTAL"), number + description, single | DT_LEFT);
        DrawHeaderCell(total, noDecimalsGrouped(m_Total), amount, single | DT_RIGHT);
        DrawHeaderCell(total, hasTotal ? QStringLiteral("100.0") : QStringLiteral("0.0"), percent,
                       single | DT_RIGHT);
    }
    rect.setRight(rect.left() + number + description + amount + percent - 1 + m_cxChar);
}
