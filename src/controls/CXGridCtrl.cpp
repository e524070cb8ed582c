#include "controls/CXGridCtrl.h"

#include "app/base/Appearance.h"
#include "app/base/ImageList.h"
#include "app/base/MoneyText.h"
#include "controls/ControlMessages.h"
#include "controls/CXEdit.h"
#include "controls/DlgItem.h"
#include "controls/DrawTextFormat.h"
#include "controls/TextLimit.h"
#include "data/AnswersOutsideLock.h"
#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"

#include <QtCore/QHash>
#include <QtGui/QFontMetrics>
#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QScrollBar>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kScrollBarWidth = 17;
constexpr std::uint8_t kCurrentRowColour = 24;

using platform::FieldType;
using platform::Value;

// The number a field value gives a cell: whole numbers as they are, Yes/No as
// -1 or 0, floating point cut toward zero (within 64 bits), money in
// ten-thousandths or, for a money column ("$"), in cents (the No Charge marker
// stays 1 or -1). False when the value sets no number (Null, texts, dates).
bool loadNumber(const Value &value, bool dollars, qint64 &out)
{
    if (value.isNull())
        return false;
    switch (value.type()) {
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
        out = value.toInt64();
        return true;
    case FieldType::Boolean:
        out = value.toBool() ? -1 : 0;
        return true;
    case FieldType::Single:
    case FieldType::Double: {
        const double d = value.toDouble();
        out = std::isnan(d) ? 0 : d >= 9.2233720368547758e18 ? INT64_MAX : d <= -9.2233720368547758e18 ? INT64_MIN : qint64(d);
        return true;
    }
    case FieldType::Currency: {
        const qint64 units = value.toMoney().units();
        if (!dollars || units == 1 || units == -1)
            out = units;
        else
            out = units / 100;
        return true;
    }
    default:
        return false;
    }
}

// The value a cell's number is stored as, by the field's type: the inverse
// of loadNumber, so money never passes through a double.
Value numberForField(FieldType type, qint64 number, bool dollars)
{
    switch (type) {
    case FieldType::Boolean: return Value(number != 0);
    case FieldType::Byte: return Value(std::int64_t(quint8(number)), FieldType::Byte);
    case FieldType::Integer: return Value(std::int64_t(qint16(number)), FieldType::Integer);
    case FieldType::Currency: return Value(dollars ? Money::fromCents(number) : Money::fromUnits(number));
    case FieldType::Single: return Value(float(number));
    case FieldType::Double: return Value(double(number));
    case FieldType::Text:
    case FieldType::Memo: return Value(QString::number(number), type);
    default: return Value(std::int64_t(qint32(number)), FieldType::Long);
    }
}

// Whether a cell's number fits the field it is written to; else the largest
// amount the field holds, as the column shows it ("21474836.47" for cents).
bool fitsField(FieldType type, qint64 number, const QString &lookup, QString &largest)
{
    qint64 most = 0;
    switch (type) {
    case FieldType::Long: most = INT_MAX; break;
    case FieldType::Currency: most = lookup == QLatin1String("$") ? INT64_MAX / 100 : INT64_MAX; break;
    default: return true;
    }
    const qint64 least = type == FieldType::Long ? qint64(INT_MIN) : -most;
    if (number >= least && number <= most)
        return true;
    CXEdit format;
    format.SetType(lookup, 8);
    largest = format.kind() == CXEdit::FixedPoint ? FormatFixedPoint(most, format.decimals(), true)
                                                   : QString::number(most);
    return false;
}

QString rightTrimmed(QString text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

CXGridCtrl::CXGridCtrl(QWidget *parent) : CXWnd(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    m_hue = -1;
}

CXGridCtrl::~CXGridCtrl() = default;

// --- building ---------------------------------------------------------------------

int CXGridCtrl::AddColumn(const QString &title, unsigned width, unsigned type, const QString &lookup,
                          std::uint8_t editable, std::uint32_t format)
{
    Column column;
    column.title = title;
    column.width = width;
    column.type = type;
    column.lookup = lookup;
    column.editable = editable;
    column.format = format | DT_NOPREFIX;
    if (!title.contains(QLatin1Char('\n')))
        column.format |= DT_SINGLELINE | DT_VCENTER;
    m_columns.append(column);
    m_colCount = int(m_columns.size());
    return m_colCount - 1;
}

std::uint32_t CXGridCtrl::cellFormatFor(int column) const
{
    const Column &c = m_columns[column];
    std::uint32_t format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (c.type >= 3 || (c.format & DT_RIGHT))
        format |= DT_RIGHT;
    else if ((c.format & DT_CENTER) && !c.editable)
        format |= DT_CENTER; // a centred label column centres its cells too
    return format;
}

void CXGridCtrl::SetRows(int rows, int visible, bool numberColumns)
{
    HideEditor();
    m_rowCount = std::max(0, rows);
    m_loaded = false;
    m_rowRecord.clear();
    m_rowKey.clear();
    m_loadedCells.clear();
    m_visibleRows = std::max(1, std::min(visible, m_rowCount));
    m_colCount = int(m_columns.size());
    // Texts and values stay by cell index; the rest of every cell is reset.
    m_rowInfo.resize(m_rowCount);
    m_cells.resize(qsizetype(m_rowCount) * m_colCount);
    for (int r = 0; r < m_rowCount; ++r) {
        m_rowInfo[r].textsCurrent = 0;
        for (int c = 0; c < m_colCount; ++c) {
            Cell &x = cell(r, c);
            x.editable = m_columns[c].editable;
            x.image = 255;
            x.colour = 0;
            x.format = cellFormatFor(c);
        }
    }
    for (int c = 0; c < m_colCount; ++c)
        m_columns[c].field = numberColumns ? std::uint8_t(c) : std::uint8_t(255);
    if (m_firstVisible > std::max(0, m_rowCount - m_visibleRows))
        m_firstVisible = std::max(0, m_rowCount - m_visibleRows);
    if (m_curRow >= m_rowCount)
        m_curRow = -1;
    if (isCreated())
        SetVertScrollRange(m_rowCount, m_visibleRows);
    update();
}

void CXGridCtrl::createEditors()
{
    const QFont &font = Appearance::instance().GetFont(m_cellFont);
    m_edit = new QLineEdit(this);
    SetDlgCtrlID(m_edit, kTextEditId);
    m_typed = new CXEdit(this);
    SetDlgCtrlID(m_typed, kTypedEditId);
    m_typed->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_formatter = new CXEdit(this);
    SetDlgCtrlID(m_formatter, kFormatEditId);
    m_list = new QComboBox(this);
    SetDlgCtrlID(m_list, kListId);
    for (QWidget *editor : {static_cast<QWidget *>(m_edit), static_cast<QWidget *>(m_typed),
                            static_cast<QWidget *>(m_formatter), static_cast<QWidget *>(m_list)}) {
        editor->setFont(font);
        editor->hide();
        editor->installEventFilter(this);
    }
    connect(m_list, &QComboBox::activated, this, [this] { EndEdit(); });
}

bool CXGridCtrl::Create(QWidget *parent, unsigned id, int x, int y, unsigned extendedStyle)
{
    Q_UNUSED(extendedStyle);
    if (!parent)
        return false;
    if (parentWidget() != parent)
        setParent(parent);
    int width = 1;
    for (const Column &c : m_columns)
        width += int(c.width);
    if (m_rowCount > m_visibleRows)
        width += kScrollBarWidth;
    const int height = m_headerHeight + m_visibleRows * m_rowHeight + 1;
    setGeometry(x, y, width, height);
    if (m_hue < 0)
        SetColorScheme(210);
    markCreated(parent, id);
    createEditors();
    SetVertScrollRange(m_rowCount, m_visibleRows);
    return true;
}

bool CXGridCtrl::CreateInDlgItem(QWidget *parent, unsigned id, unsigned extendedStyle)
{
    QRect place;
    if (!takePlaceholder(parent, id, nullptr, &place))
        return false;
    if (!Create(parentWidget() ? parentWidget() : parent, id, place.left(), place.top(), extendedStyle))
        return false;
    m_owner = parent;
    return true;
}

QSize CXGridCtrl::naturalSize() const
{
    int width = 1;
    for (const Column &c : m_columns)
        width += int(c.width);
    if (m_rowCount > m_visibleRows)
        width += kScrollBarWidth;
    return QSize(width, m_headerHeight + m_visibleRows * m_rowHeight + 1);
}

void CXGridCtrl::FitInto(int maxWidth, int maxHeight)
{
    HideEditor();
    while (m_visibleRows > 1 && naturalSize().height() > maxHeight)
        --m_visibleRows;
    m_firstVisible = std::min(m_firstVisible, std::max(0, m_rowCount - m_visibleRows));
    constexpr int kNarrowest = 60;
    const int excess = naturalSize().width() - maxWidth;
    if (excess > 0) {
        // A text column gives up only the room its texts do not take.
        QList<int> floor(m_columns.size(), 0);
        int spare = 0;
        for (int i = 0; i < m_columns.size(); ++i) {
            const Column &c = m_columns[i];
            if (c.type != 1)
                continue;
            floor[i] = std::max(kNarrowest, i < m_colCount ? textRoom(i) : 0);
            if (int(c.width) > floor[i])
                spare += int(c.width) - floor[i];
        }
        if (spare > 0) {
            const int cut = std::min(excess, spare);
            int taken = 0;
            for (int i = 0; i < m_columns.size(); ++i) {
                Column &c = m_columns[i];
                if (c.type != 1 || int(c.width) <= floor[i])
                    continue;
                int part = int(qint64(cut) * (int(c.width) - floor[i]) / spare);
                part = std::min(part, cut - taken);
                c.width = unsigned(int(c.width) - part);
                taken += part;
            }
            // What the shares left over comes off the first wide column.
            for (int i = 0; i < m_columns.size() && taken < cut; ++i) {
                Column &c = m_columns[i];
                if (c.type == 1 && int(c.width) > floor[i]) {
                    const int part = std::min(cut - taken, int(c.width) - floor[i]);
                    c.width = unsigned(int(c.width) - part);
                    taken += part;
                }
            }
        }
    }
    // Columns still too wide for the box scroll sideways rather than cut.
    LimitSize(maxWidth, maxHeight);
}

void CXGridCtrl::LimitSize(int maxWidth, int maxHeight)
{
    HideEditor();
    const bool sideways = naturalSize().width() > maxWidth;
    const int bar = sideways ? kScrollBarWidth : 0;
    while (m_visibleRows > 1 && naturalSize().height() + bar > maxHeight)
        --m_visibleRows;
    m_firstVisible = std::min(m_firstVisible, std::max(0, m_rowCount - m_visibleRows));
    m_lastVisible = m_firstVisible + m_visibleRows - 1;
    const QSize natural = naturalSize();
    SetVertScrollRange(m_rowCount, m_visibleRows);
    if (natural.width() <= maxWidth) {
        resize(natural);
        SetHorzScrollRange(0);
    } else {
        resize(std::max(1, maxWidth), natural.height() + kScrollBarWidth);
        SetHorzScrollRange(natural.width() - (m_rowCount > m_visibleRows ? kScrollBarWidth : 0));
    }
    update();
}

int CXGridCtrl::textRoom(int column) const
{
    // As Draw lays a cell out: the text 3 pixels in on each side inside the
    // cell's frame, behind its picture.
    constexpr int kIndent = 3;
    constexpr int kFrame = 2;
    constexpr int kPicture = 22;
    const QFontMetrics cells(Appearance::instance().GetFont(m_cellFont));
    const QFontMetrics heads(Appearance::instance().GetFont(m_headerFont));
    const Column &col = m_columns[column];
    int need = 0;
    for (const QString &line : col.title.split(QLatin1Char('\n')))
        need = std::max(need, heads.horizontalAdvance(line));
    if (col.type == 1 && !col.masked)
        for (int r = 0; r < m_rowCount; ++r) {
            const Cell &x = cell(r, column);
            if (x.text.isEmpty() || m_rowInfo[r].caption)
                continue;
            need = std::max(need, cells.horizontalAdvance(x.text) + (x.image != 255 ? kPicture : 0));
        }
    return need + 2 * kIndent + kFrame;
}

void CXGridCtrl::WidenToTexts()
{
    for (int c = 0; c < m_colCount; ++c) {
        Column &col = m_columns[c];
        if (col.width < 10)
            continue;
        const int need = textRoom(c);
        if (int(col.width) < need)
            col.width = unsigned(need);
    }
    if (isCreated()) {
        resize(naturalSize());
        update();
    }
}

void CXGridCtrl::OnHScroll()
{
    if (m_editor)
        m_editor->move(m_editorLeft - horzScrollOffset(), m_editor->y());
}

void CXGridCtrl::SetColumnWidth(int column, unsigned pixels)
{
    if (column < 0 || column >= m_colCount)
        return;
    m_columns[column].width = pixels;
    update();
}

void CXGridCtrl::SetHeaderStyle(std::uint8_t colour, std::uint8_t style, std::uint8_t font)
{
    m_headerColour = colour;
    m_headerStyle = style;
    m_headerFont = font;
    update();
}

void CXGridCtrl::SetRowColors(bool highlightCurrentRow, std::uint8_t lastRowColour)
{
    m_highlight = highlightCurrentRow;
    m_lastRowColour = lastRowColour;
    update();
}

void CXGridCtrl::SetGridColors(std::uint8_t background, std::uint8_t frameStyle, std::uint8_t cellFont)
{
    m_background = background;
    m_frameStyle = frameStyle;
    m_cellFont = cellFont;
    update();
}

// --- cells ------------------------------------------------------------------------------

void CXGridCtrl::IndexToCell(int index, int &row, int &column) const
{
    if (m_colCount <= 0) {
        row = column = 0;
        return;
    }
    row = index / m_colCount;
    column = index % m_colCount;
}

QString CXGridCtrl::pickText(int column, qint64 value) const
{
    for (const CListItem &item : m_pickItems)
        if (item.number(1) == column && item.m_value == value)
            return item.m_text;
    return QString();
}

qint64 CXGridCtrl::GetCellValue(int row, int column) const
{
    return validCell(row, column) ? cell(row, column).value : 0;
}

void CXGridCtrl::SetCellValue(int row, int column, qint64 value)
{
    if (!validCell(row, column))
        return;
    HideEditor();
    Cell &x = cell(row, column);
    x.value = value;
    if (m_columns[column].type == 2)
        x.text = pickText(column, value);
    m_rowInfo[row].textsCurrent = 0;
    update();
}

QString CXGridCtrl::GetCellText(int row, int column) const
{
    return validCell(row, column) ? cell(row, column).text : QString();
}

void CXGridCtrl::CopyCellText(int fromRow, int fromColumn, int toRow, int toColumn)
{
    if (!validCell(fromRow, fromColumn) || !validCell(toRow, toColumn))
        return;
    cell(toRow, toColumn).text = cell(fromRow, fromColumn).text;
    update();
}

void CXGridCtrl::SetCellText(int row, int column, const QString &text)
{
    if (!validCell(row, column))
        return;
    HideEditor();
    cell(row, column).text = text;
    update();
}

void CXGridCtrl::SetCellEditable(int row, int column, std::uint8_t editable)
{
    if (!validCell(row, column) || editable == 255)
        return;
    cell(row, column).editable = editable;
    update();
}

void CXGridCtrl::SetCellImage(int row, int column, std::uint8_t image)
{
    if (!validCell(row, column))
        return;
    cell(row, column).image = image;
    update();
}

void CXGridCtrl::SetCellColor(int row, int column, std::uint8_t colour)
{
    if (!validCell(row, column))
        return;
    cell(row, column).colour = colour;
    update();
}

bool CXGridCtrl::IsCellEditable(int row, int column) const
{
    return validCell(row, column) && cell(row, column).editable != 0;
}

std::uint32_t CXGridCtrl::GetCellFormat(int row, int column) const
{
    return validCell(row, column) ? cell(row, column).format : 0;
}

std::uint8_t CXGridCtrl::cellImage(int row, int column) const
{
    return validCell(row, column) ? cell(row, column).image : std::uint8_t(255);
}

std::uint8_t CXGridCtrl::cellColour(int row, int column) const
{
    return validCell(row, column) ? cell(row, column).colour : std::uint8_t(0);
}

void CXGridCtrl::SetColumnWide(int column, bool wide)
{
    if (column >= 0 && column < m_colCount)
        m_columns[column].wide = wide;
}

void CXGridCtrl::SetColumnNotNegative(int column, bool on)
{
    if (column >= 0 && column < m_colCount)
        m_columns[column].notNegative = on;
}

void CXGridCtrl::SetColumnRange(int column, qint64 minimum, qint64 maximum)
{
    if (column < 0 || column >= m_colCount)
        return;
    m_columns[column].ranged = true;
    m_columns[column].minimum = minimum;
    m_columns[column].maximum = maximum;
}

void CXGridCtrl::SetColumnMoney(int column)
{
    if (column >= 0 && column < m_colCount)
        m_columns[column].reading = CXEdit::AsMoney;
}

void CXGridCtrl::SetColumnRate(int column)
{
    if (column >= 0 && column < m_colCount)
        m_columns[column].reading = CXEdit::AsRate;
}

int CXGridCtrl::columnReading(int column) const
{
    if (column < 0 || column >= m_colCount)
        return CXEdit::AsNumber;
    const Column &c = m_columns[column];
    return c.reading != CXEdit::AsNumber ? c.reading
        : c.lookup.startsWith(QLatin1Char('$')) ? int(CXEdit::AsMoney)
                                                : int(CXEdit::AsNumber);
}

void CXGridCtrl::SetColumnTextSize(int column, int size)
{
    if (column >= 0 && column < m_colCount)
        m_columns[column].textSize = size > 0 && size < std::numeric_limits<int>::max() ? size : 0;
}

int CXGridCtrl::columnTextLimit(int column) const
{
    if (column < 0 || column >= m_colCount)
        return 0;
    const Column &c = m_columns[column];
    int limit = 0;
    const qsizetype amp = c.lookup.indexOf(QLatin1Char('&'));
    if (amp >= 0)
        limit = std::max(0, c.lookup.mid(amp + 1).toInt());
    if (c.textSize > 0 && (limit == 0 || c.textSize < limit))
        limit = c.textSize;
    return limit;
}

void CXGridCtrl::SetColumnMasked(int column, bool masked)
{
    if (column < 0 || column >= m_colCount)
        return;
    m_columns[column].masked = masked;
    update();
}

void CXGridCtrl::SetColumnEditable(int column, std::uint8_t editable)
{
    if (column < 0 || column >= m_colCount)
        return;
    m_columns[column].editable = editable;
    for (int r = 0; r < m_rowCount; ++r)
        cell(r, column).editable = editable;
    update();
}

void CXGridCtrl::SetRowEditable(int row, std::uint8_t editable)
{
    if (row < 0 || row >= m_rowCount)
        return;
    for (int c = 0; c < m_colCount; ++c)
        cell(row, c).editable = editable;
    update();
}

void CXGridCtrl::NumberRows()
{
    if (m_colCount == 0)
        return;
    for (int r = 0; r < m_rowCount; ++r) {
        cell(r, 0).value = r + 1;
        m_rowInfo[r].textsCurrent = 0;
    }
    update();
}

void CXGridCtrl::SetColumnTitle(int column, const QString &title)
{
    if (column < 0 || column >= m_colCount)
        return;
    m_columns[column].title = title;
    update();
}

QString CXGridCtrl::GetColumnHeader(int column) const
{
    return column >= 0 && column < m_colCount ? m_columns[column].title : QString();
}

unsigned CXGridCtrl::GetColumnType(int column) const
{
    return column >= 0 && column < m_colCount ? m_columns[column].type : 0;
}

QString CXGridCtrl::GetColumnLookup(int column) const
{
    return column >= 0 && column < m_colCount ? m_columns[column].lookup : QString();
}

bool CXGridCtrl::IsCaptionRow(int row) const
{
    return row >= 0 && row < m_rowCount && m_rowInfo[row].caption != 0;
}

void CXGridCtrl::SetCaptionRow(int row, bool caption)
{
    if (row >= 0 && row < m_rowCount) {
        m_rowInfo[row].caption = caption ? 1 : 0;
        update();
    }
}

int CXGridCtrl::rowValue(int row) const
{
    return row >= 0 && row < m_rowCount ? m_rowInfo[row].value : 0;
}

void CXGridCtrl::setRowValue(int row, int value)
{
    if (row >= 0 && row < m_rowCount)
        m_rowInfo[row].value = value;
}

void CXGridCtrl::Refresh()
{
    RefreshRow(-1);
}

void CXGridCtrl::RefreshRow(int row)
{
    if (row < 0) {
        for (RowInfo &info : m_rowInfo)
            info.textsCurrent = 0;
    } else if (row < m_rowCount) {
        m_rowInfo[row].textsCurrent = 0;
    }
    if (isCreated())
        update();
}

// --- pick items -----------------------------------------------------------------------

void CXGridCtrl::AddPickItem(int column, int value, const QString &text)
{
    m_pickItems.append(CListItem(value, text, column));
}

int CXGridCtrl::AddPickItems(int column, int firstValue, const QString &list)
{
    QStringList entries = list.split(QLatin1Char(','));
    entries.removeLast();
    for (int i = 0; i < entries.size(); ++i)
        AddPickItem(column, firstValue + i, entries[i]);
    return int(entries.size());
}

// --- editing -----------------------------------------------------------------------------

int CXGridCtrl::columnLeft(int column) const
{
    int left = 0;
    for (int c = 0; c < column && c < m_colCount; ++c)
        left += int(m_columns[c].width);
    return left;
}

void CXGridCtrl::HideEditor()
{
    if (m_editor) {
        QWidget *editor = m_editor;
        m_editor = nullptr;
        editor->hide();
    }
}

void CXGridCtrl::EditCell(int row, int column)
{
    EndEdit();
    HideEditor();
    if (row < 0 || row >= m_rowCount) {
        m_curRow = -1;
        update();
        return;
    }
    if (column < 0 || column >= m_colCount)
        column = 0;
    if (m_colCount == 0)
        return;
    if (!m_columns[column].editable) {
        const int step = (column == 0 || !m_columns[column - 1].editable) ? 1 : -1;
        const int start = column;
        do {
            column += step;
            if (column >= m_colCount)
                column = 0;
            else if (column < 0)
                column = m_colCount - 1;
        } while (column != start && !m_columns[column].editable);
        if (column == start)
            return;
    }
    if (!cell(row, column).editable || !m_edit)
        return;
    m_curRow = row;
    m_curCol = column;
    const int top = (row - m_firstVisible) * m_rowHeight + m_headerHeight;
    // A cell out of view sideways is scrolled to first.
    EnsureHorzVisible(columnLeft(column), columnLeft(column) + int(m_columns[column].width) + 1);
    const int left = columnLeft(column) - horzScrollOffset();
    QRect rect(left, top, int(m_columns[column].width), m_rowHeight);
    const Column &c = m_columns[column];
    const Cell &x = cell(row, column);
    if (c.type == 1) {
        rect.setTop(rect.top() + 1);
        m_edit->setGeometry(rect);
        m_edit->setEchoMode(c.masked ? QLineEdit::Password : QLineEdit::Normal);
        // Typing stops at the column's size with a beep, so that what the
        // cell shows is what its row keeps; a longer text the program put in
        // shows whole.
        const int limit = columnTextLimit(column);
        TextLimit::Hold(m_edit, limit > 0 ? std::max(limit, int(x.text.size())) : 0);
        m_edit->setText(x.text);
        m_edit->selectAll();
        m_editor = m_edit;
    } else if (c.type == 2) {
        rect.translate(1, -1);
        m_list->blockSignals(true);
        m_list->clear();
        int selected = -1;
        for (const CListItem &item : m_pickItems) {
            if (item.number(1) != column)
                continue;
            m_list->addItem(item.m_text, item.m_value);
            if (item.m_value == x.value && selected < 0)
                selected = m_list->count() - 1;
        }
        m_list->setCurrentIndex(selected);
        m_list->blockSignals(false);
        m_list->setGeometry(rect);
        m_editor = m_list;
    } else {
        rect.setTop(rect.top() + 1);
        rect.setRight(rect.right() + 1);
        m_typed->SetType(c.lookup, int(c.type));
        if (c.wide)
            m_typed->SetWide();
        if (c.notNegative)
            m_typed->SetNotNegative();
        m_typed->SetReading(CXEdit::Reading(columnReading(column)));
        m_typed->SetValue(x.value, 0);
        m_typed->setGeometry(rect);
        m_typed->selectAll();
        m_editor = m_typed;
    }
    m_editorLeft = m_editor->x() + horzScrollOffset();
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus(Qt::OtherFocusReason);
    update();
    sendToOwner(MSG_ROW_ENTERED, qintptr(controlId()), qintptr(CellIndex(row, column)));
}

QString CXGridCtrl::editorText() const
{
    if (m_editor == m_edit)
        return m_edit->text();
    if (m_editor == m_typed)
        return m_typed->text();
    if (m_editor == m_list)
        return m_list->currentText();
    return QString();
}

void CXGridCtrl::EndEdit()
{
    if (m_committing || m_curRow < 0 || m_curRow >= m_rowCount || !m_editor || !validCell(m_curRow, m_curCol))
        return;
    m_committing = true;
    Cell &x = cell(m_curRow, m_curCol);
    const Column &c = m_columns[m_curCol];
    const QString text = editorText();
    bool changed = false;
    if (text != x.text) {
        if (c.type == 1) {
            QString entry = text;
            const int maxLength = columnTextLimit(m_curCol);
            if (maxLength > 0 && entry.size() > maxLength) {
                // Only a longer text the program put in gets here (typing
                // stops at the size): it is cut where the cell shows it.
                entry.truncate(maxLength);
                platform::Prompt::beep();
            }
            changed = entry != x.text;
            x.text = entry;
            if (m_editor == m_edit && m_edit->text() != entry)
                m_edit->setText(entry);
        } else if (c.type == 2) {
            // A list without a chosen entry leaves the cell as it was.
            if (m_list->currentIndex() >= 0) {
                const int value = m_list->currentData().toInt();
                x.text = text;
                changed = value != x.value;
                x.value = value;
            }
        } else {
            m_typed->SetType(c.lookup, int(c.type));
            m_typed->SetFieldName(QString(c.title).remove(QLatin1Char('&')).simplified());
            if (c.wide)
                m_typed->SetWide();
            if (c.notNegative)
                m_typed->SetNotNegative();
            if (c.ranged)
                m_typed->SetRange(c.minimum, c.maximum);
            m_typed->SetReading(CXEdit::Reading(columnReading(m_curCol)));
            m_typed->SetText(text);
            if (m_typed->refused()) {
                // Said, naming the column: the cell keeps what it had.
                m_typed->SetValue(x.value, -1);
            } else {
                const qint64 value = m_typed->GetValue();
                x.text = m_typed->shownText();
                changed = value != x.value;
                x.value = value;
            }
        }
    }
    m_committing = false;
    if (changed) {
        m_modified = 1;
        sendToOwner(MSG_VALUE_CHANGED, qintptr(controlId()), qintptr(CellIndex(m_curRow, m_curCol)));
    }
    update();
}

void CXGridCtrl::PostEditCell(int row, int column)
{
    QMetaObject::invokeMethod(this, [this, row, column] { EditCell(row, column); }, Qt::QueuedConnection);
}

// --- keys -------------------------------------------------------------------------------

void CXGridCtrl::moveToCell(int row, int column)
{
    if (row < m_firstVisible)
        m_firstVisible = row;
    else if (row > m_firstVisible + m_visibleRows - 1)
        m_firstVisible = std::max(0, row - m_visibleRows + 1);
    if (verticalScrollBar())
        verticalScrollBar()->setValue(m_firstVisible);
    Refresh();
    EditCell(row, column);
}

bool CXGridCtrl::handleKey(QKeyEvent *event)
{
    if (m_list && m_list->view() && m_list->view()->isVisible())
        return false;
    if (m_rowCount == 0 || m_colCount == 0)
        return false;
    int rowStep = 0;
    int colStep = 0;
    int row = m_curRow < 0 ? 0 : m_curRow;
    int column = m_curCol;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Escape:
        // Escape drops what was typed into the cell and ends the edit; the
        // dialog around the grid stays open.
        if (m_editor && m_editor->isVisible()) {
            HideEditor();
            update();
            setFocus(Qt::OtherFocusReason);
            return true;
        }
        return false;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // Along the row, whatever the grid: the next cell is the next value
        // of the same record.
        colStep = (shift || event->key() == Qt::Key_Backtab) ? -1 : 1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const int dir = shift ? -1 : 1;
        if (m_enterMovesDown && m_rowCount >= 2)
            rowStep = dir;
        else
            colStep = dir;
        break;
    }
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        const int dir = event->key() == Qt::Key_PageDown ? 1 : -1;
        int first = m_firstVisible + dir * m_visibleRows;
        first = std::min(first, m_rowCount - m_visibleRows);
        m_firstVisible = std::max(0, first);
        if (verticalScrollBar())
            verticalScrollBar()->setValue(m_firstVisible);
        rowStep = dir * m_visibleRows;
        break;
    }
    case Qt::Key_End:
        row = m_rowCount - 1;
        column = m_colCount;
        colStep = -1;
        break;
    case Qt::Key_Home:
        row = 0;
        column = -1;
        colStep = 1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Left: {
        // Inside a text the arrows move the caret, not the cell.
        QLineEdit *edit = nullptr;
        if (m_editor == m_edit)
            edit = m_edit;
        else if (m_editor == m_typed)
            edit = m_typed;
        if (edit) {
            const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
            if (start > 0)
                return false;
        }
        colStep = event->key() == Qt::Key_Right ? 1 : -1;
        break;
    }
    case Qt::Key_Up: rowStep = -1; break;
    case Qt::Key_Down: rowStep = 1; break;
    default: return false;
    }
    const int cells = m_rowCount * m_colCount;
    for (int i = 0; i < cells; ++i) {
        row += rowStep;
        column += colStep;
        if (column < 0) {
            // Back past the row's start: the end of the row above.
            column = m_colCount - 1;
            row -= 1;
        } else if (column >= m_colCount) {
            column = 0;
            row += 1;
        }
        if (row < 0 || row >= m_rowCount)
            break;
        if (cell(row, column).editable && m_columns[column].editable) {
            moveToCell(row, column);
            return true;
        }
    }
    // Nothing further that way: the editor stays on the current cell.
    moveToCell(m_curRow < 0 ? 0 : m_curRow, m_curCol);
    return true;
}

bool CXGridCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched != m_formatter && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (event->type() == QEvent::FocusOut && m_editor && watched == m_editor) {
        auto *focus = static_cast<QFocusEvent *>(event);
        if (focus->reason() != Qt::PopupFocusReason)
            EndEdit();
    }
    return CXWnd::eventFilter(watched, event);
}

void CXGridCtrl::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        CXWnd::keyPressEvent(event);
}

// --- mouse --------------------------------------------------------------------------------

bool CXGridCtrl::hitTest(const QPoint &pos, int &row, int &column, bool &header) const
{
    row = -1;
    column = -1;
    header = false;
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= m_client.width() || pos.y() >= m_client.height())
        return false;
    const int x = pos.x() + horzScrollOffset();
    int left = 0;
    for (int c = 0; c < m_colCount; ++c) {
        const int width = int(m_columns[c].width);
        if (x >= left && x < left + width) {
            column = c;
            break;
        }
        left += width;
    }
    if (column < 0)
        return false;
    if (pos.y() < m_headerHeight) {
        header = true;
        return true;
    }
    if (m_rowHeight <= 0)
        return false;
    const int r = m_firstVisible + (pos.y() - m_headerHeight) / m_rowHeight;
    const int last = std::min(m_firstVisible + m_visibleRows - 1, m_rowCount - 1);
    if (r > last)
        return false;
    row = r;
    return true;
}

void CXGridCtrl::leftButtonUp(const QPoint &pos)
{
    int row;
    int column;
    bool header;
    if (!hitTest(pos, row, column, header))
        return;
    if (header) {
        sendToOwner(MSG_HEADER_CLICKED, qintptr(column), 0);
        return;
    }
    const Cell &x = cell(row, column);
    if (x.image != 255 && pos.x() + horzScrollOffset() < columnLeft(column) + 24)
        sendToOwner(MSG_IMAGE_CLICKED, qintptr(x.image), qintptr(CellIndex(row, column)));
    EditCell(row, column);
}

void CXGridCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        leftButtonUp(event->position().toPoint());
    else
        CXWnd::mouseReleaseEvent(event);
}

void CXGridCtrl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        leftButtonUp(event->position().toPoint());
        emit notified(NM_RCLICK, m_curRow, m_curCol, event->globalPosition().toPoint());
        return;
    }
    CXWnd::mousePressEvent(event);
}

void CXGridCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    int row;
    int column;
    bool header;
    const QPoint pos = event->position().toPoint();
    if (hitTest(pos, row, column, header) && !header)
        emit notified(NM_DBLCLK, row, column, pos);
}

void CXGridCtrl::OnVScroll(int code, int pos)
{
    if (ScrollVert(code, pos, &m_firstVisible)) {
        Refresh();
        EditCell(m_firstVisible, m_curCol);
    }
}


// --- recordsets ----------------------------------------------------------------------------

int CXGridCtrl::columnField(int column) const
{
    return column >= 0 && column < m_colCount ? m_columns[column].field : 255;
}

QString CXGridCtrl::rowKeyText(int row) const
{
    if (row < 0 || row >= m_rowCount)
        return QString();
    for (int c = 0; c < m_colCount; ++c) {
        if (m_columns[c].type != 1 || m_columns[c].field == 255)
            continue;
        const QString text = cell(row, c).text.trimmed();
        if (!text.isEmpty())
            return text;
    }
    return QString();
}

bool CXGridCtrl::rowChanged(int row) const
{
    if (!m_loaded)
        return true; // nothing was loaded: every row is the caller's to write
    for (int c = 0; c < m_colCount; ++c) {
        if (m_columns[c].field == 255)
            continue;
        const Cell &now = cell(row, c);
        const LoadedCell &then = m_loadedCells[CellIndex(row, c)];
        if (m_columns[c].type == 1 ? rightTrimmed(now.text) != rightTrimmed(then.text) : now.value != then.value)
            return true;
    }
    return false;
}

int CXGridCtrl::keyRowFor(qint64 key, const QList<bool> &taken) const
{
    const qint64 row = key - m_keyBase;
    if (row >= 0 && row < m_rowCount && !taken[int(row)] && !m_rowInfo[int(row)].caption)
        return int(row);
    return -1;
}

int CXGridCtrl::freeRowFor(const QList<bool> &taken) const
{
    // A row that the owner filled before the load (a fixed row) belongs to
    // its own number and never takes another record.
    for (int r = 0; r < m_rowCount; ++r) {
        if (taken[r] || m_rowInfo[r].caption)
            continue;
        bool preset = false;
        for (int c = 0; c < m_colCount && !preset; ++c)
            preset = m_columns[c].type == 1 && !cell(r, c).text.isEmpty();
        if (!preset)
            return r;
    }
    return -1;
}

void CXGridCtrl::loadRecordIntoRow(CXDaoSet &set, int r)
{
    for (int c = 0; c < m_colCount; ++c) {
        const Column &col = m_columns[c];
        if (col.field == 255)
            continue;
        const Value value = set.GetFieldValue(int(col.field));
        Cell &x = cell(r, c);
        qint64 number = 0;
        if (loadNumber(value, col.lookup == QLatin1String("$"), number))
            x.value = number;
        else if (!value.isNull() && platform::isTextType(value.type()) && x.text.isEmpty())
            x.text = value.toString();
        else if (col.type == 1 && !x.text.isEmpty() && !value.isNull() && platform::isTextType(value.type())
                 && !rightTrimmed(value.toString()).isEmpty() && rightTrimmed(x.text) != rightTrimmed(value.toString()))
            // A preset text (a fixed row's name) stays; a record that holds
            // another name counts as changed, so OK stores the name shown.
            m_storedTexts.insert(CellIndex(r, c), value.toString());
        if (col.type == 2)
            x.text = pickText(c, x.value);
    }
    m_rowInfo[r].textsCurrent = 0;
}

bool CXGridCtrl::ExchangeRecordset(CXDaoSet &set, bool save, int skip, const QString &fieldNames)
{
    if (m_rowCount == 0 || !set.IsOpen())
        return !save;
    HideEditor();
    try {
        if (!set.IsEmptySet())
            set.MoveFirst();
        if (!save && !fieldNames.isEmpty()) {
            QStringList names = fieldNames.split(QLatin1Char(','));
            names.removeLast();
            int column = 0;
            for (const QString &name : names) {
                if (name.trimmed().isEmpty())
                    continue;
                if (column >= m_colCount)
                    break;
                const int index = set.GetFieldIndex(name.trimmed());
                m_columns[column].field = index < 0 || index > 254 ? std::uint8_t(255) : std::uint8_t(index);
                ++column;
            }
        }
        for (int i = 0; i < skip && !set.IsEOF(); ++i)
            set.MoveNext();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QString());
        return false;
    }
    if (!save) {
        loadRows(set, skip);
        return true;
    }
    m_nRowsWritten = 0;
    m_storedKeysRead = false;
    bool allSaved = true;
    // What a save that is not finished gives back: the cells as typed (a
    // new row's number is given it as it is written).
    m_typedBeforeSave = m_cells;
    m_loadedBeforeSave = m_loadedCells;

    if (!m_loaded) {
        // Rows the caller filled without a load: row r is written over the
        // r-th record, rows past the last record become new records.
        for (int r = 0; r < m_rowCount; ++r) {
            if (m_rowInfo[r].caption)
                continue;
            const bool isNew = set.IsEOF();
            const RowSave result = saveRow(set, r, isNew);
            allSaved = allSaved && result == RowSave::Saved;
            if (result == RowSave::Stopped)
                break;
        }
    } else {
        // Only rows the user changed are written, each over its own record
        // as it is now, found by its key; changed rows without a record
        // become new records.
        QHash<qint64, int> rowOfKey;
        for (int r = 0; r < m_rowCount; ++r) {
            if (m_rowRecord[r] >= 0 && !m_rowInfo[r].caption && rowChanged(r))
                rowOfKey.insert(m_rowKey[r], r);
        }
        // A record found by its row key is the row's own only while it holds
        // the number the row loaded: the key of a record deleted meanwhile
        // can go to the next record added.
        const auto holdsLoadedNumber = [this, &set](int r) {
            if (m_colCount == 0 || m_columns[0].field == 255 || (m_columns[0].type != 6 && m_columns[0].type != 7) ||
                CellIndex(r, 0) >= m_loadedCells.size())
                return true;
            qint64 number = 0;
            if (!loadNumber(set.GetFieldValue(int(m_columns[0].field)), m_columns[0].lookup == QLatin1String("$"),
                            number))
                return true;
            const qint64 loaded = m_loadedCells[CellIndex(r, 0)].value;
            return m_columns[0].type == 6 ? quint8(number) == quint8(loaded) : number == loaded;
        };
        bool stopped = false;
        try {
            if (!rowOfKey.isEmpty() && !set.IsEmptySet())
                set.MoveFirst();
            while (!rowOfKey.isEmpty() && !set.IsEmptySet() && !set.IsEOF()) {
                const auto found = rowOfKey.constFind(set.GetRowKey());
                if (found == rowOfKey.cend()) {
                    set.MoveNext();
                    continue;
                }
                const int row = found.value();
                if (!holdsLoadedNumber(row)) {
                    // Another record now, under the key of the row's own
                    // record that another workstation deleted: the row's
                    // record is gone.
                    set.MoveNext();
                    continue;
                }
                rowOfKey.erase(found);
                const RowSave result = saveRow(set, row, false);
                allSaved = allSaved && result == RowSave::Saved;
                if ((stopped = result == RowSave::Stopped))
                    break;
            }
        } catch (const platform::DbException &e) {
            ShowDaoError(e, QString());
            allSaved = false;
            stopped = true;
        }
        for (int r = 0; r < m_rowCount && !stopped; ++r) {
            if (m_rowInfo[r].caption || m_rowRecord[r] >= 0 || !rowChanged(r))
                continue;
            const RowSave result = saveRow(set, r, true);
            allSaved = allSaved && result == RowSave::Saved;
            stopped = result == RowSave::Stopped;
        }
        // Changed rows whose record another workstation deleted meanwhile:
        // said, and kept as typed to be saved as new rows. A row cleared here
        // is gone as wanted.
        QStringList gone;
        QList<int> goneRows;
        for (auto it = rowOfKey.cbegin(); it != rowOfKey.cend() && !stopped; ++it)
            goneRows << it.value();
        std::sort(goneRows.begin(), goneRows.end());
        bool hasKeyColumns = false;
        for (const Column &c : m_columns)
            hasKeyColumns = hasKeyColumns || (c.type == 1 && c.field != 255);
        for (const int r : goneRows) {
            const QString key = rowKeyText(r);
            if (!(hasKeyColumns && key.isEmpty()))
                gone << QLatin1Char('"') + (key.isEmpty() ? QStringLiteral("Row %1").arg(r + 1) : key) + QLatin1Char('"');
        }
        if (!gone.isEmpty()) {
            allSaved = false;
            // Said once the save's transaction has rolled back (the save is
            // then made again, meets the same rows and takes the answer), so
            // the rows are let go only after.
            AnswersOutsideLock::MessageBox(
                QStringLiteral("Another user has deleted %1 since you opened this window, so nothing was saved.\n\n"
                               "OK saves your changes again, with %1 as a new row; clear it to leave it out.")
                    .arg(gone.join(QStringLiteral(", "))),
                QStringLiteral("Deleted by another user"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        }
        for (const int r : goneRows) {
            m_rowRecord[r] = -1;
            m_rowKey[r] = -1;
        }
    }
    if (!allSaved) {
        // Nothing counts as saved: the cells stay as typed and are weighed
        // against the last load when saved again.
        m_cells = m_typedBeforeSave;
        for (RowInfo &info : m_rowInfo)
            info.textsCurrent = 0;
        update();
        return false;
    }
    m_modified = 0;
    snapshotRows();
    update();
    return true;
}

void CXGridCtrl::loadRows(CXDaoSet &set, int skip)
{
    // The bound text columns hold to the size of their fields.
    for (Column &c : m_columns) {
        if (c.type != 1 || c.field == 255)
            continue;
        try {
            const qint32 size = set.GetFieldSize(set.GetFieldName(int(c.field)));
            if (size > 0 && size < std::numeric_limits<qint32>::max())
                c.textSize = int(size);
        } catch (const platform::DbException &) {
        }
    }
    m_rowRecord.fill(-1, m_rowCount);
    m_rowKey.fill(-1, m_rowCount);
    QList<bool> taken(m_rowCount, false);
    // Records whose key has no row of its own wait for the free rows.
    QList<int> homeless;
    const bool byKey = m_bRowsByKey && m_colCount > 0 && m_columns[0].field != 255 &&
                       (m_columns[0].type == 6 || m_columns[0].type == 7);
    try {
        for (int ordinal = 0; !set.IsEOF(); ++ordinal, set.MoveNext()) {
            if (byKey) {
                const Value key = set.GetFieldValue(int(m_columns[0].field));
                int row = -1;
                if (!key.isNull())
                    row = keyRowFor(key.toInt64(), taken);
                if (row < 0) {
                    homeless << ordinal;
                    continue;
                }
                taken[row] = true;
                m_rowRecord[row] = ordinal;
                m_rowKey[row] = set.GetRowKey();
                loadRecordIntoRow(set, row);
                continue;
            }
            int row = 0;
            while (row < m_rowCount && (taken[row] || m_rowInfo[row].caption))
                ++row;
            if (row >= m_rowCount)
                break;
            taken[row] = true;
            m_rowRecord[row] = ordinal;
            m_rowKey[row] = set.GetRowKey();
            loadRecordIntoRow(set, row);
        }
        if (!homeless.isEmpty()) {
            set.MoveFirst();
            for (int i = 0; i < skip && !set.IsEOF(); ++i)
                set.MoveNext();
            for (int ordinal = 0; !set.IsEOF() && !homeless.isEmpty(); ++ordinal, set.MoveNext()) {
                if (homeless.first() != ordinal)
                    continue;
                homeless.removeFirst();
                const int row = freeRowFor(taken);
                if (row < 0)
                    break; // the grid is full: the record is not shown and so never written
                taken[row] = true;
                m_rowRecord[row] = ordinal;
                m_rowKey[row] = set.GetRowKey();
                loadRecordIntoRow(set, row);
            }
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QString());
    }
    snapshotRows();
    m_loaded = true;
    update();
}

void CXGridCtrl::snapshotRows()
{
    m_loadedCells.resize(m_cells.size());
    for (qsizetype i = 0; i < m_cells.size(); ++i) {
        m_loadedCells[i].text = m_cells[i].text;
        m_loadedCells[i].value = m_cells[i].value;
    }
    for (auto it = m_storedTexts.cbegin(); it != m_storedTexts.cend(); ++it)
        if (it.key() < m_loadedCells.size())
            m_loadedCells[it.key()].text = it.value();
    m_storedTexts.clear();
}

CXGridCtrl::RowSave CXGridCtrl::saveRow(CXDaoSet &set, int r, bool isNew)
{
    QString key;
    // The row as both users know it, for a question about a cell both
    // changed: its key text as loaded (else as typed), else its number.
    QString rowName;
    for (int c = 0; c < m_colCount && rowName.isEmpty() && !isNew; ++c)
        if (m_columns[c].type == 1 && m_columns[c].field != 255 && CellIndex(r, c) < m_loadedCells.size())
            rowName = m_loadedCells[CellIndex(r, c)].text.trimmed();
    if (rowName.isEmpty())
        rowName = rowKeyText(r);
    if (rowName.isEmpty())
        rowName = QStringLiteral("Row %1").arg(r + 1);
    RowSave stored = RowSave::Saved;
    bool hasKeyColumns = false;
    for (const Column &c : m_columns)
        hasKeyColumns = hasKeyColumns || (c.type == 1 && c.field != 255);
    try {
        if (isNew ? !set.SafeAddNew() : !set.SafeEdit()) {
            if (!isNew)
                set.MoveNext();
            return RowSave::NotSaved;
        }
        for (int c = 0; c < m_colCount; ++c) {
            const Column &col = m_columns[c];
            if (col.field == 255 || col.type == 3 || col.type > 8)
                continue;
            const int field = int(col.field);
            // A cell another workstation changed too is named by its row and
            // heading, its values shown as the column shows them.
            const QString fieldName = set.GetFieldName(field);
            const QString heading = col.title.simplified();
            set.SetFieldCaption(fieldName, heading.isEmpty() ? rowName : rowName + QStringLiteral(", ") + heading);
            if (col.type != 1) {
                const bool inDollars = col.type == 8 && col.lookup == QLatin1String("$");
                set.SetFieldShownAs(fieldName, [this, c, inDollars](const Value &v) {
                    qint64 n = 0;
                    if (v.isNull() || !loadNumber(v, inDollars, n))
                        return v.isNull() ? QString() : v.toString();
                    return ShownValueText(c, n);
                });
            }
            const Cell &x = cell(r, c);
            const Value current = isNew ? Value() : set.GetFieldValue(field);
            // A loaded row is read again to be written: what the user was
            // shown is the cell as loaded. A cell the user left as shown is
            // never written (whatever another workstation stored since); a
            // changed one is written over what was shown, so that a change
            // made meanwhile by another is settled, not overwritten.
            const LoadedCell *shown = !isNew && m_loaded && CellIndex(r, c) < m_loadedCells.size()
                ? &m_loadedCells[CellIndex(r, c)]
                : nullptr;
            if (col.type == 1) {
                const QString text = rightTrimmed(x.text);
                if (!isNew && !current.isNull() && rightTrimmed(current.toString()) == text)
                    continue; // unchanged: the stored text stays exactly as it was
                const FieldType type = set.GetFieldType(field);
                if (shown) {
                    const QString shownText = rightTrimmed(shown->text);
                    if (shownText == text)
                        continue;
                    const bool stillShown = current.isNull() ? shownText.isEmpty()
                                                             : rightTrimmed(current.toString()) == shownText;
                    set.SetFieldValueOverShown(field, Value(text, type), stillShown ? current : Value(shownText, type));
                    continue;
                }
                set.SetFieldValue(field, Value(text, type));
                continue;
            }
            const bool dollars = col.type == 8 && col.lookup == QLatin1String("$");
            const auto cellNumber = [&](qint64 value) {
                return (col.type == 2 || col.type == 6) ? qint64(quint8(value)) : value;
            };
            const qint64 number = cellNumber(x.value);
            qint64 stored = 0;
            if (!isNew && !current.isNull()) {
                // A field keeps its value when the cell still shows what it loaded,
                // so amounts below a cent and the No Charge marker survive a save;
                // a field the column cannot show is never written over.
                if (!loadNumber(current, dollars, stored) || stored == number)
                    continue;
            }
            Value shownValue;
            if (shown) {
                const qint64 shownNumber = cellNumber(shown->value);
                if (shownNumber == number)
                    continue;
                const bool stillShown = current.isNull() ? shownNumber == 0 : stored == shownNumber;
                shownValue = stillShown ? current : numberForField(set.GetFieldType(field), shownNumber, dollars);
            }
            QString largest;
            if (!fitsField(set.GetFieldType(field), number, col.lookup, largest)) {
                // Never wrapped round into some other amount: the row is not saved.
                set.CancelUpdate();
                platform::Prompt::messageBox(QStringLiteral("Cannot save %1: \"%2\" holds at most %3.")
                                                 .arg(rowKeyText(r), col.title.simplified(), largest),
                                             QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
                if (!isNew && !set.IsEOF())
                    set.MoveNext();
                return RowSave::NotSaved;
            }
            if (shown)
                set.SetFieldValueOverShown(field, numberForField(set.GetFieldType(field), number, dollars), shownValue);
            else
                set.SetFieldValue(field, numberForField(set.GetFieldType(field), number, dollars));
        }
        if (!m_strStampByteField.isEmpty())
            set.SetFieldValue(m_strStampByteField, Value(std::int64_t(m_nStampByte), FieldType::Byte));
        if (!m_strStampLongField.isEmpty())
            set.SetFieldValue(m_strStampLongField, Value(m_nStampLong));

        key = rowKeyText(r);
        const bool filled = !hasKeyColumns || !key.isEmpty();
        if (!filled) {
            if (isNew) {
                set.CancelUpdate();
                return RowSave::Saved; // nothing to store
            } else if (m_bDeleteEmpty) {
                set.CancelUpdate();
                set.Delete();
            } else {
                stored = storeRow(set, key);
                if (stored == RowSave::Stopped)
                    return stored;
            }
        } else {
            if (isNew && m_colCount > 0 && m_columns[0].type == 6) {
                // A new row's number is free among the rows and among the
                // records of the table as it is now (read in this save's
                // write, so another workstation's row added meanwhile is
                // seen and none can be added in between).
                const qint64 held = cell(r, 0).value;
                const bool ownKey = m_bRowsByKey && m_loaded && held == m_keyBase + r;
                // A row whose record another workstation deleted is added
                // back under its number while no record has taken it since.
                const bool keptKey = held != 0 && !ownKey && m_loaded && CellIndex(r, 0) < m_loadedCells.size() &&
                                     m_loadedCells[CellIndex(r, 0)].value == held;
                if (!m_storedKeysRead && (held == 0 || ownKey || keptKey)) {
                    if (m_columns[0].field != 255)
                        m_storedKeys = set.GetStoredNumbers(int(m_columns[0].field));
                    m_storedKeysRead = true;
                }
                if (held == 0 || ownKey || (keptKey && m_storedKeys.contains(held))) {
                    const int number = NewRowKey(r, m_storedKeys);
                    const bool ownZero = m_bRowsByKey && m_loaded && m_keyBase + r == 0;
                    if (m_storedKeys.contains(number) || (number == 0 && !ownZero)) {
                        set.CancelUpdate();
                        platform::Prompt::messageBox(
                            QStringLiteral("Cannot save %1: every number from %2 to %3 is taken.")
                                .arg(key)
                                .arg(m_keyBase + 1)
                                .arg(std::min(m_keyBase + m_rowCount, 255)),
                            QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
                        return RowSave::NotSaved;
                    }
                    cell(r, 0).value = number;
                    m_storedKeys.insert(number);
                    m_rowInfo[r].textsCurrent = 0;
                    if (m_columns[0].field != 255)
                        set.SetFieldValue(int(m_columns[0].field),
                                          Value(std::int64_t(quint8(cell(r, 0).value)), FieldType::Byte));
                }
            }
            stored = storeRow(set, key);
            if (stored == RowSave::Stopped)
                return stored;
        }
        if (stored == RowSave::Saved)
            ++m_nRowsWritten;
        if (!isNew && !set.IsEOF())
            set.MoveNext();
    } catch (const platform::DbException &) {
        if (set.GetEditMode() != CXDaoSet::dbEditNone)
            set.CancelUpdate();
        platform::Prompt::messageBox(QStringLiteral("Cannot save ") + key);
        try {
            if (!isNew && !set.IsEOF())
                set.MoveNext();
        } catch (const platform::DbException &) {
            return RowSave::Stopped;
        }
        return RowSave::NotSaved;
    }
    return stored;
}

CXGridCtrl::RowSave CXGridCtrl::storeRow(CXDaoSet &set, const QString &key)
{
    if (set.SafeUpdate(key))
        return RowSave::Saved;
    // Still being edited: the user chose to save nothing now.
    if (set.GetEditMode() != CXDaoSet::dbEditNone) {
        set.CancelUpdate();
        return RowSave::Stopped;
    }
    return RowSave::NotSaved; // the failure was shown
}

void CXGridCtrl::UndoLastSave()
{
    if (m_typedBeforeSave.size() != m_cells.size())
        return;
    m_cells = m_typedBeforeSave;
    m_loadedCells = m_loadedBeforeSave;
    for (RowInfo &info : m_rowInfo)
        info.textsCurrent = 0;
    update();
}

QString CXGridCtrl::ShownValueText(int column, qint64 value) const
{
    if (column < 0 || column >= m_colCount)
        return QString::number(value);
    const Column &col = m_columns[column];
    if (col.type == 2)
        return pickText(column, value);
    if (col.type < 4)
        return QString::number(value);
    CXEdit format;
    format.SetType(col.lookup, col.type == 5 ? -1 : int(col.type));
    format.SetValue(value, 255);
    const int kind = format.kind();
    return kind != CXEdit::Plain && kind != CXEdit::Date ? format.shownText().trimmed() : QString::number(value);
}

int CXGridCtrl::NewRowKey(int row, const QSet<qint64> &stored) const
{
    // A row laid out by key takes its own number when no row holds it and
    // no record of the table has it.
    if (m_bRowsByKey && m_loaded) {
        const int own = m_keyBase + row;
        bool taken = own < 0 || own > 255 || stored.contains(own);
        for (int r = 0; r < m_rowCount && !taken; ++r)
            taken = r != row && cell(r, 0).value == own && (own != 0 || m_rowRecord[r] >= 0);
        if (!taken)
            return own;
    }
    return NextFreeKey(stored);
}

// --- comma lists and keys ----------------------------------------------------------------

void CXGridCtrl::ExchangeColumnList(QString &list, bool toText, int column)
{
    if (column < 0 || column >= m_colCount)
        return;
    const bool text = m_columns[column].type == 1;
    if (toText) {
        QString out;
        for (int r = 0; r < m_rowCount; ++r) {
            if (text) {
                QString t = cell(r, column).text;
                while (t.endsWith(QLatin1Char(' ')))
                    t.chop(1);
                out += t;
            } else {
                out += QString::number(cell(r, column).value);
            }
            out += QLatin1Char(',');
        }
        list = out;
        return;
    }
    HideEditor();
    QString rest = list;
    for (int r = 0; r < m_rowCount; ++r) {
        const int comma = rest.indexOf(QLatin1Char(','));
        const QString entry = comma < 0 ? rest : rest.left(comma);
        rest = comma < 0 ? QString() : rest.mid(comma + 1);
        Cell &x = cell(r, column);
        if (text) {
            x.text = entry;
        } else {
            x.value = entry.trimmed().toLongLong();
            if (m_columns[column].type == 2)
                x.text = pickText(column, x.value);
        }
        m_rowInfo[r].textsCurrent = 0;
    }
    update();
}

int CXGridCtrl::NextFreeKey(const QSet<qint64> &stored) const
{
    if (m_colCount == 0)
        return 0;
    // A grid of n rows holds at most n keys, so one of base + 1 .. base + n
    // is free among them; the table's records may hold the rest.
    for (int n = 1; n <= m_rowCount && m_keyBase + n <= 255; ++n) {
        const int key = m_keyBase + n;
        bool taken = stored.contains(key);
        for (int r = 0; r < m_rowCount && !taken; ++r)
            taken = cell(r, 0).value == key;
        if (!taken)
            return key;
    }
    return 0;
}

// --- drawing -------------------------------------------------------------------------------

QString CXGridCtrl::GetShownText(int row, int column) const
{
    if (!validCell(row, column))
        return QString();
    const Column &col = m_columns[column];
    const Cell &x = cell(row, column);
    if (!m_formatter || m_rowInfo[row].textsCurrent || m_rowInfo[row].caption || col.type < 4)
        return x.text;
    m_formatter->SetType(col.lookup, col.type == 5 ? -1 : int(col.type));
    m_formatter->SetValue(x.value, 255);
    const int kind = m_formatter->kind();
    return kind != CXEdit::Plain && kind != CXEdit::Date ? m_formatter->shownText() : x.text;
}

void CXGridCtrl::updateShownTexts()
{
    m_lastVisible = m_firstVisible + m_visibleRows - 1;
    const int last = std::min(m_lastVisible, m_rowCount - 1);
    if (!m_formatter)
        return;
    for (int c = 0; c < m_colCount; ++c) {
        const Column &col = m_columns[c];
        if (col.type == 2)
            continue;
        m_formatter->SetType(col.lookup, col.type == 5 ? -1 : int(col.type));
        for (int r = m_firstVisible; r <= last; ++r) {
            // Caption rows keep the text their owner gave them.
            if (m_rowInfo[r].textsCurrent || m_rowInfo[r].caption || col.type < 4)
                continue;
            Cell &x = cell(r, c);
            m_formatter->SetValue(x.value, 255);
            const int kind = m_formatter->kind();
            if (kind != CXEdit::Plain && kind != CXEdit::Date)
                x.text = m_formatter->shownText();
        }
    }
    for (int r = m_firstVisible; r <= last; ++r)
        m_rowInfo[r].textsCurrent = 1;
}

void CXGridCtrl::Draw()
{
    FillBackground(m_client, m_background);
    // Columns scrolled sideways are drawn moved left, inside the client area.
    dc()->save();
    dc()->setClipRect(m_client);
    dc()->translate(-horzScrollOffset(), 0);
    if (m_rowCount > 0) {
        updateShownTexts();
        const int last = std::min(m_lastVisible, m_rowCount - 1);
        int left = 0;
        for (int c = 0; c < m_colCount; ++c) {
            const Column &col = m_columns[c];
            const int width = int(col.width);
            if (width >= 10) {
                const QRect head(left + 1, 0, width, m_headerHeight + 1);
                FillBackground(head, m_headerColour);
                DrawBorder(head, m_headerStyle, m_headerColour);
                const ColorRef ink = IsDarkStyleColor(m_headerColour) ? 0xFFFFFF : m_colors[5];
                if (col.title.contains(QLatin1Char('\n'))) {
                    std::uint32_t format = DT_WORDBREAK | DT_NOPREFIX;
                    if (col.format & DT_RIGHT)
                        format |= DT_RIGHT;
                    else if (col.format & DT_CENTER)
                        format |= DT_CENTER;
                    DrawText(head.adjusted(0, 1, 0, 0), col.title, format, ink, m_headerFont, 3);
                } else {
                    DrawText(head, col.title, col.format, ink, m_headerFont, 3);
                }
            }
            left += width;
        }
        if (m_rowHeight != 0) {
            const int gridWidth = std::min(left, m_client.width() + horzScrollOffset());
            for (int r = m_firstVisible; r <= last; ++r) {
                const int top = m_headerHeight + (r - m_firstVisible) * m_rowHeight;
                if (m_rowInfo[r].caption) {
                    const QString text = m_colCount ? cell(r, 0).text : QString();
                    if (!text.isEmpty())
                        DrawText(QRect(1, top + 1, gridWidth - 1, m_rowHeight - 1), text,
                                 DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, m_colors[5], m_cellFont, 0);
                    continue;
                }
                int x = 0;
                for (int c = 0; c < m_colCount; ++c) {
                    const int width = int(m_columns[c].width);
                    if (width >= 10) {
                        const Cell &cl = cell(r, c);
                        const QRect rect(x + 1, top + 1, width - 1, m_rowHeight - 1);
                        std::uint8_t back;
                        if (m_lastRowColour && r == last && !cl.editable)
                            back = m_lastRowColour;
                        else if (cl.colour)
                            back = cl.colour;
                        else if (m_highlight && r == m_curRow)
                            back = kCurrentRowColour;
                        else if (cl.editable)
                            back = 1;
                        else
                            back = m_background == 5 ? 4 : 5;
                        FillBackground(rect, back);
                        QRect textRect = rect;
                        if (cl.image != 255) {
                            DrawImage(rect.adjusted(1, 0, 0, 0), 131, cl.image, DT_VCENTER, 0);
                            textRect.setLeft(rect.left() + 22);
                        }
                        // A masked column shows one dot per character.
                        const QString shown =
                            m_columns[c].masked ? QString(cl.text.size(), QChar(0x25CF)) : cl.text;
                        DrawText(textRect, shown, cl.format, IsDarkStyleColor(back) ? 0xFFFFFF : 0x000000,
                                 m_cellFont, 3);
                    }
                    x += width;
                }
            }
        }
    }
    dc()->restore();
    DrawBorder(m_client, m_frameStyle, m_headerColour);
}
