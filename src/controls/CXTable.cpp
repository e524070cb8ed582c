#include "controls/CXTable.h"

#include "app/base/CZqApp.h"
#include "app/base/FileChoice.h"

#include "controls/CColumnAlias.h"
#include "controls/CGridCell.h"
#include "controls/CXProgress.h"
#include "controls/CXRecordsetSource.h"
#include "controls/CXRowSource.h"

#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "app/base/WaitCursor.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/UserFile.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "platform/db/SqlValues.h"
#include "platform/db/StoredMoney.h"

#include <QtCore/QFile>
#include <QtCore/QIODevice>

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

namespace {

using Alias = CColumnAlias;

bool isMoneyType(int type)
{
    return type == Alias::TypeCurrency;
}

bool isStoredNumberType(int type)
{
    return type == Alias::TypeMinutes || type == Alias::TypeCount || type == Alias::TypeQuantity;
}

// An amount within one ten-thousandth of zero does not rank.
bool countsAsZero(Money m)
{
    return m.units() >= -1 && m.units() <= 1;
}

// A date as a table shows a query's dates: "mm/dd/yyyy". Null for a date
// outside the years 1000 to 9999 (those are written as any other value).
QString shownDate(const QDate &d)
{
    int y = 0;
    int m = 0;
    int day = 0;
    d.getDate(&y, &m, &day); // one calendar computation for all three
    if (!d.isValid() || y < 1000 || y > 9999)
        return QString();
    const QChar text[10] = {QChar(u'0' + m / 10),   QChar(u'0' + m % 10),       QChar(u'/'),
                            QChar(u'0' + day / 10), QChar(u'0' + day % 10),     QChar(u'/'),
                            QChar(u'0' + y / 1000), QChar(u'0' + y / 100 % 10), QChar(u'0' + y / 10 % 10),
                            QChar(u'0' + y % 10)};
    return QString(text, 10);
}

// A loaded table's texts take about as much room per row as its first rows'
// texts took: that many rows are read before the room for all is made.
constexpr int kTextSampleRows = 1024;

// Unused text is packed away once there is this much of it and it is more
// than the text in use.
constexpr size_t kPackThreshold = 1 << 16;

} // namespace

CXTable::CXTable()
{
    static_assert(sizeof(Cell) == 24, "a cell stays compact: 100,000 rows of 7 columns in 17 MB");
    Reset();
}

CXTable::~CXTable() = default;

void CXTable::Reset()
{
    m_recordCount = 0;
    m_columns.clear();
    m_rowFlags.clear();
    m_cells.clear();
    m_texts.clear();
    m_unusedTexts = 0;
    m_title.clear();
    m_subtitle.clear();
    m_filterText.clear();
    m_headingText.clear();
    m_note.clear();
    m_totalMode = TotalsOneRow;
    m_keyColumn = 0;
    m_ownerNumber = 15;
    m_headerLines = 1;
    m_moneyDecimals = 2;
    m_tColumn = -1;
    m_pColumn = -1;
    m_cColumn = -1;
    m_changeColumn = -1;
    m_parentColumn = -1;
    m_repeatWidth = -1;
    m_titleIconList = 133;
    m_titleIcon = 255;
    m_selectionMade = 0;
    m_centredTitle = 0;
    m_showZeros = 1;
}

// --- Size ---------------------------------------------------------------------

void CXTable::SetSize(int rows, int columns)
{
    rows = std::max(rows, 0);
    columns = std::max(columns, 0);
    m_columns.resize(size_t(columns));
    m_rowFlags.resize(size_t(rows));
    m_cells.clear();
    m_texts.clear();
    m_unusedTexts = 0;
    m_cells.resize(size_t(rows) * size_t(columns));
}

void CXTable::SetRowCount(int rows)
{
    rows = std::max(rows, 0);
    m_rowFlags.resize(size_t(rows));
    const size_t cells = size_t(rows) * m_columns.size();
    if (cells < m_cells.size())
        dropTexts(cells, m_cells.size());
    m_cells.resize(cells);
}

void CXTable::InsertRow(int index, std::uint32_t flags)
{
    index = std::clamp(index, 0, GetRowCount());
    if (index == GetRowCount()) {
        m_rowFlags.push_back(flags);
        m_cells.resize(m_cells.size() + m_columns.size());
        return;
    }
    m_rowFlags.insert(m_rowFlags.begin() + index, flags);
    m_cells.insert(m_cells.begin() + std::ptrdiff_t(size_t(index) * m_columns.size()), m_columns.size(), Cell());
}

void CXTable::InsertRowsBefore(const std::vector<int> &rows, std::uint32_t flags)
{
    if (rows.empty())
        return;
    const size_t columns = m_columns.size();
    const size_t oldRows = m_rowFlags.size();
    std::vector<std::uint32_t> newFlags;
    std::vector<Cell> newCells;
    newFlags.reserve(oldRows + rows.size());
    newCells.reserve((oldRows + rows.size()) * columns);
    size_t next = 0;
    for (size_t r = 0; r <= oldRows; ++r) {
        while (next < rows.size() && size_t(std::clamp(rows[next], 0, int(oldRows))) == r) {
            newFlags.push_back(flags);
            newCells.resize(newCells.size() + columns);
            ++next;
        }
        if (r == oldRows)
            break;
        newFlags.push_back(m_rowFlags[r]);
        for (size_t c = 0; c < columns; ++c)
            newCells.push_back(std::move(m_cells[r * columns + c]));
    }
    m_rowFlags = std::move(newFlags);
    m_cells = std::move(newCells);
}

int CXTable::AddRow(std::uint32_t flags)
{
    InsertRow(GetRowCount(), flags);
    return GetRowCount() - 1;
}

void CXTable::RemoveRow(int index)
{
    if (index == -1)
        index = GetRowCount() - 1;
    if (!IsValidRow(index))
        return;
    m_rowFlags.erase(m_rowFlags.begin() + index);
    dropTexts(size_t(index) * m_columns.size(), size_t(index + 1) * m_columns.size());
    const auto first = m_cells.begin() + std::ptrdiff_t(size_t(index) * m_columns.size());
    m_cells.erase(first, first + std::ptrdiff_t(m_columns.size()));
}

// --- Columns ------------------------------------------------------------------

void CXTable::SetColumnName(int column, const QString &alias, int width, int type)
{
    if (!IsValidColumn(column))
        return;
    const Alias::TableColumn c = Alias::ForTable(column, alias, width, type);
    if (c.parent)
        m_parentColumn = column;
    if (c.key && m_keyColumn == 0)
        m_keyColumn = std::uint8_t(column);
    Column &col = m_columns[size_t(column)];
    col.title = c.title;
    col.charWidth = c.width;
    col.type = c.type;
    col.format = c.format;
}

void CXTable::SetColumnFromField(int column, const QString &fieldName, int fieldType, int fieldSize)
{
    QString alias = fieldName;
    int type = fieldType;
    Alias::ApplyTypeSuffix(alias, type);
    SetColumnName(column, alias, Alias::InitialTableWidth(type, fieldSize), type);
}

void CXTable::RenameColumn(int column, const QString &title)
{
    if (IsValidColumn(column))
        m_columns[size_t(column)].title = title;
}

void CXTable::SetColumnCharWidth(int column, int width)
{
    if (IsValidColumn(column))
        m_columns[size_t(column)].charWidth = width;
}

void CXTable::SetColumnType(int column, int type)
{
    if (IsValidColumn(column))
        m_columns[size_t(column)].type = type;
}

void CXTable::SetColumnFormat(int column, std::uint32_t format)
{
    if (IsValidColumn(column))
        m_columns[size_t(column)].format = format;
}

void CXTable::SetColumnAttribute(int column, std::uint8_t attribute)
{
    if (IsValidColumn(column))
        m_columns[size_t(column)].attribute = attribute;
}

void CXTable::SetColumnPixelWidth(int column, int width)
{
    if (IsValidColumn(column))
        m_columns[size_t(column)].pixelWidth = width;
}

QString CXTable::GetColumnName(int column) const
{
    return IsValidColumn(column) ? m_columns[size_t(column)].title : QString();
}

int CXTable::GetColumnCharWidth(int column) const
{
    return IsValidColumn(column) ? m_columns[size_t(column)].charWidth : 0;
}

int CXTable::GetColumnType(int column) const
{
    return IsValidColumn(column) ? m_columns[size_t(column)].type : 0;
}

std::uint32_t CXTable::GetColumnFormat(int column) const
{
    return IsValidColumn(column) ? m_columns[size_t(column)].format : 0;
}

int CXTable::GetColumnWidth(int column) const
{
    return IsValidColumn(column) ? m_columns[size_t(column)].pixelWidth : 0;
}

bool CXTable::IsColumnFlagged(int column) const
{
    return IsValidColumn(column) && (m_columns[size_t(column)].attribute & 1);
}

int CXTable::FindColumn(const QString &text, bool /*exact*/) const
{
    // A title equal to the text also contains it, so "exact" changes nothing.
    for (int c = 0; c < GetColumnCount(); ++c) {
        if (m_columns[size_t(c)].title.contains(text))
            return c;
    }
    return -1;
}

void CXTable::SetSpecialColumns(int t, int p, int c)
{
    m_tColumn = t;
    m_pColumn = p;
    m_cColumn = c;
}

// --- Cells --------------------------------------------------------------------

CXTable::Cell *CXTable::cell(int row, int column)
{
    if (!IsValidRow(row) || !IsValidColumn(column))
        return nullptr;
    return &m_cells[size_t(row) * m_columns.size() + size_t(column)];
}

const CXTable::Cell *CXTable::cell(int row, int column) const
{
    if (!IsValidRow(row) || !IsValidColumn(column))
        return nullptr;
    return &m_cells[size_t(row) * m_columns.size() + size_t(column)];
}

Money CXTable::amountOf(const Cell &c)
{
    Money m = Money::fromUnits(c.units);
    m.setStatus(Money::Status(c.amountStatus));
    return m;
}

void CXTable::setAmount(Cell &c, Money amount)
{
    c.units = amount.units();
    c.amountStatus = std::uint8_t(amount.status());
}

QString CXTable::textOf(const Cell &c) const
{
    switch (c.kind) {
    case TextKind::Stored:
        return c.textSize == 0 ? QString()
                               : QString(reinterpret_cast<const QChar *>(m_texts.data() + c.textAt), qsizetype(c.textSize));
    case TextKind::Money:
        if (c.blankZero && c.units == 0)
            return QString();
        return GroupThousands(FormatCurrency(amountOf(c), c.decimals));
    case TextKind::Minutes:
        return c.blankZero && c.number == 0 ? QString() : MinutesToText(c.number);
    case TextKind::Grouped:
        return c.blankZero && c.number == 0 ? QString() : FormatInt(c.number, true, false);
    case TextKind::Plain:
        return c.blankZero && c.number == 0 ? QString() : QString::number(c.number);
    case TextKind::Integer:
        return QString::number(c.number);
    case TextKind::Date:
        return shownDate(QDate::fromJulianDay(c.textAt));
    }
    return QString();
}

void CXTable::dropText(Cell &c)
{
    if (c.kind == TextKind::Stored)
        m_unusedTexts += c.textSize;
    c.textAt = 0;
    c.textSize = 0;
    c.manyLines = 0;
}

void CXTable::dropTexts(size_t firstCell, size_t lastCell)
{
    for (size_t i = firstCell; i < lastCell && i < m_cells.size(); ++i)
        dropText(m_cells[i]);
}

void CXTable::packTexts()
{
    std::vector<char16_t> packed;
    packed.reserve(m_texts.size() - std::min(m_unusedTexts, m_texts.size()));
    for (Cell &c : m_cells) {
        if (c.kind != TextKind::Stored || c.textSize == 0)
            continue;
        const size_t at = packed.size();
        packed.insert(packed.end(), m_texts.begin() + std::ptrdiff_t(c.textAt),
                      m_texts.begin() + std::ptrdiff_t(c.textAt + c.textSize));
        c.textAt = std::uint32_t(at);
    }
    m_texts = std::move(packed);
    m_unusedTexts = 0;
}

void CXTable::setText(Cell &c, QStringView text)
{
    c.manyLines = 0;
    const size_t n = size_t(text.size());
    if (c.kind == TextKind::Stored && n <= c.textSize) {
        // It fits where the text it replaces was.
        if (n > 0)
            std::memcpy(m_texts.data() + c.textAt, text.utf16(), n * sizeof(char16_t));
        m_unusedTexts += c.textSize - n;
        c.textSize = std::uint32_t(n);
        if (n == 0)
            c.textAt = 0;
        return;
    }
    dropText(c);
    if (n == 0)
        return;
    if (m_texts.size() + n > UINT32_MAX) {
        packTexts();
        if (m_texts.size() + n > UINT32_MAX)
            throw std::bad_alloc();
    }
    c.textAt = std::uint32_t(m_texts.size());
    c.textSize = std::uint32_t(n);
    m_texts.insert(m_texts.end(), text.utf16(), text.utf16() + n);
    if (m_unusedTexts > kPackThreshold && m_unusedTexts > m_texts.size() - m_unusedTexts)
        packTexts();
}

void CXTable::setQueryText(Cell &c, const char *utf8, int size)
{
    // Most texts have no line break and are plain ASCII, copied unit by unit.
    bool ascii = true;
    bool breaks = false;
    for (int i = 0; i < size; ++i) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b == '\r' || b == '\n')
            breaks = true;
        if (b >= 0x80)
            ascii = false;
    }
    if (!ascii || breaks) {
        setQueryText(c, QString::fromUtf8(utf8, size));
        return;
    }
    dropText(c);
    if (size == 0)
        return;
    const size_t n = size_t(size);
    if (m_texts.size() + n > UINT32_MAX) {
        packTexts();
        if (m_texts.size() + n > UINT32_MAX)
            throw std::bad_alloc();
    }
    const size_t at = m_texts.size();
    m_texts.resize(at + n);
    char16_t *out = m_texts.data() + at;
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<unsigned char>(utf8[i]);
    c.textAt = std::uint32_t(at);
    c.textSize = std::uint32_t(n);
}

void CXTable::setQueryText(Cell &c, const QString &text)
{
    // A memo keeps every line; the cell shows its first (GetCellText) and
    // prints and exports them all (GetCellFullText). "\r\n" and a lone "\r"
    // are one line break each.
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) {
        setText(c, text);
        return;
    }
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setText(c, lines);
    c.manyLines = 1;
}

void CXTable::storeText(int row, int column, const QString &text)
{
    if (Cell *c = cell(row, column)) {
        leaveInteger(*c);
        setText(*c, text);
        c->kind = TextKind::Stored;
    }
}

void CXTable::SetCellText(int row, int column, const QString &text)
{
    if (isStoredNumberType(GetColumnType(column)))
        SetCellLong(row, column, ToInt(text));
    else
        storeText(row, column, text);
}

void CXTable::SetCellLong(int row, int column, std::int32_t number)
{
    if (Cell *c = cell(row, column)) {
        const int type = m_columns[size_t(column)].type;
        c->number = number;
        dropText(*c);
        c->kind = type == Alias::TypeMinutes ? TextKind::Minutes
            : (type == Alias::TypeCount || type == Alias::TypeQuantity) ? TextKind::Grouped
                                                                       : TextKind::Plain;
        c->blankZero = !m_showZeros;
    }
}

void CXTable::SetCellCurrency(int row, int column, Money amount)
{
    if (Cell *c = cell(row, column)) {
        leaveInteger(*c);
        setAmount(*c, amount);
        dropText(*c);
        c->kind = TextKind::Money;
        c->decimals = std::uint8_t(std::clamp(int(m_moneyDecimals), 0, 4));
        c->blankZero = !m_showZeros;
    }
}

void CXTable::SetCellStyle(int row, int column, std::uint8_t style)
{
    if (Cell *c = cell(row, column))
        c->style = style;
}

int CXTable::SetCellTextGrow(const QString &text, int count, int column, std::uint32_t flags)
{
    const int first = GetRowCount();
    for (int i = 0; i < std::max(count, 1); ++i)
        AddRow(flags);
    SetCellText(first, column, text);
    return GetRowCount();
}

QString CXTable::GetCellText(int row, int column) const
{
    const Cell *c = cell(row, column);
    if (!c)
        return QString();
    if (c->kind == TextKind::Stored && c->manyLines) {
        const QStringView text(reinterpret_cast<const QChar *>(m_texts.data() + c->textAt), qsizetype(c->textSize));
        return text.left(text.indexOf(QLatin1Char('\n'))).toString();
    }
    return textOf(*c);
}

QString CXTable::GetCellFullText(int row, int column) const
{
    const Cell *c = cell(row, column);
    return c ? textOf(*c) : QString();
}

Money CXTable::GetCellValue(int row, int column) const
{
    const Cell *c = cell(row, column);
    return c ? amountOf(*c) : Money();
}

int CXTable::GetCellFormat(int row, int column) const
{
    const Cell *c = cell(row, column);
    return c ? int(c->style) : -1;
}

std::int32_t CXTable::GetCellLong(int row, int column) const
{
    const Cell *c = cell(row, column);
    if (!c)
        return 0;
    if (isStoredNumberType(m_columns[size_t(column)].type))
        return storedNumber(*c);
    return ToInt(GetCellText(row, column));
}

void CXTable::SetCellFromVariant(int row, int column, const platform::Value &value)
{
    using platform::FieldType;
    Cell *c = cell(row, column);
    if (!c)
        return;
    if (value.type() == FieldType::Currency && !value.isNull()) {
        SetCellCurrency(row, column, value.toMoney());
        return;
    }
    const int type = m_columns[size_t(column)].type;
    const bool wholeNumber = !value.isNull()
        && (value.type() == FieldType::Long || value.type() == FieldType::Integer || value.type() == FieldType::Byte);
    if (wholeNumber && !isMoneyType(type)) {
        // Its text is written when it is read, as for the stored numbers;
        // a column of minutes, counts or quantities keeps it as its number.
        if (isStoredNumberType(type)) {
            SetCellLong(row, column, value.toInt());
        } else {
            c->number = value.toInt();
            dropText(*c);
            c->kind = TextKind::Integer;
        }
        return;
    }
    // A money column whose query yields text or a number (an alias with the
    // money suffix) keeps the amount as money, so that it is summed and
    // computed with like any other money column.
    if (isMoneyType(type) && !value.isNull()) {
        Money amount = Money::invalid();
        if (platform::isNumericType(value.type()))
            amount = value.type() == FieldType::Double || value.type() == FieldType::Single
                ? Money::fromDouble(value.toDouble())
                : Money::fromWhole(value.toInt64());
        else if (platform::isTextType(value.type()))
            amount = Money::fromText(CXRowSource::ValueText(value));
        if (amount.isValid()) {
            SetCellCurrency(row, column, amount);
            return;
        }
    }
    if (!value.isNull() && (value.type() == FieldType::Text || value.type() == FieldType::Memo)
        && !isStoredNumberType(type)) {
        leaveInteger(*c);
        setQueryText(*c, value.toString());
        c->kind = TextKind::Stored;
        return;
    }
    SetCellText(row, column, CXRowSource::ValueText(value));
}

void CXTable::ReplaceCellText(int firstRow, int lastRow, int firstColumn, int lastColumn, const QString &oldText,
                              const QString &newText, bool specialOnly)
{
    clampRows(firstRow, lastRow);
    firstColumn = std::max(firstColumn, 0);
    lastColumn = std::min(lastColumn, GetColumnCount() - 1);
    for (int r = firstRow; r <= lastRow && r < GetRowCount(); ++r) {
        if (specialOnly && !IsSpecialRow(r))
            continue;
        for (int c = firstColumn; c <= lastColumn; ++c) {
            Cell *cl = cell(r, c);
            if (cl && textOf(*cl) == oldText) {
                leaveInteger(*cl);
                setText(*cl, newText);
                cl->kind = TextKind::Stored;
            }
        }
    }
}

// --- Rows ---------------------------------------------------------------------

int CXTable::GetDataRowCount() const
{
    return int(std::count_if(m_rowFlags.begin(), m_rowFlags.end(), [](std::uint32_t f) { return !(f & RowSpecial); }));
}

void CXTable::SetRowFlags(int row, std::uint32_t flags)
{
    if (IsValidRow(row))
        m_rowFlags[size_t(row)] = flags;
}

int CXTable::GetTotalRowIndex() const
{
    const int last = GetRowCount() - 1;
    return last >= 0 && IsSpecialRow(last) ? last : -1;
}

int CXTable::GetRowKey(int row) const
{
    if (!IsValidRow(row) || !IsValidColumn(m_keyColumn))
        return 0;
    return ToInt(GetCellText(row, m_keyColumn));
}

int CXTable::FindRowByLong(std::int32_t value, int column) const
{
    if (column == -1)
        column = m_keyColumn;
    if (!IsValidColumn(column))
        return -1;
    for (int r = 0; r < GetRowCount(); ++r) {
        if (!IsSpecialRow(r) && GetCellLong(r, column) == value)
            return r;
    }
    return -1;
}

void CXTable::ToggleRowSelection(int row, int mode)
{
    if (!IsValidRow(row) || IsSpecialRow(row))
        return;
    std::uint32_t &f = m_rowFlags[size_t(row)];
    if ((f & RowMarked) && mode != 256) {
        f &= ~std::uint32_t(RowMarked);
    } else {
        f |= RowMarked;
        m_selectionMade = 1;
    }
}

int CXTable::SelectRow(int row)
{
    ToggleRowSelection(row, 256);
    return GetMarkedRowCount();
}

void CXTable::SelectAll(bool on)
{
    for (std::uint32_t &f : m_rowFlags) {
        if (f & RowSpecial)
            continue;
        if (on)
            f |= RowMarked;
        else
            f &= ~std::uint32_t(RowMarked);
    }
    m_selectionMade = on ? 1 : 0;
}

int CXTable::GetMarkedRowCount() const
{
    return int(std::count_if(m_rowFlags.begin(), m_rowFlags.end(), [](std::uint32_t f) { return f & RowMarked; }));
}

// --- Loading ------------------------------------------------------------------

CXTable::HeldPlan CXTable::heldPlan(platform::FieldType field, int columnType)
{
    using platform::FieldType;
    if (field == FieldType::Currency)
        return HeldPlan::Money;
    if (isMoneyType(columnType))
        return HeldPlan::General;
    if (field == FieldType::Long || field == FieldType::Integer || field == FieldType::Byte)
        return HeldPlan::Whole;
    if (isStoredNumberType(columnType))
        return HeldPlan::General;
    if (field == FieldType::Text || field == FieldType::Memo || field == FieldType::Guid)
        return HeldPlan::Text;
    if (field == FieldType::Date)
        return HeldPlan::Date;
    return HeldPlan::General;
}

void CXTable::setCellFromHeld(int row, int column, const platform::sqlvalues::Stored &v, platform::FieldType type,
                              HeldPlan plan)
{
    // Each case does what SetCellFromVariant does with the value the field
    // gives, without making the value.
    Cell &c = m_cells[size_t(row) * m_columns.size() + size_t(column)];
    switch (plan) {
    case HeldPlan::Text:
        if (v.storage != SQLITE_TEXT)
            break;
        leaveInteger(c);
        setQueryText(c, v.bytes, v.size);
        c.kind = TextKind::Stored;
        return;
    case HeldPlan::Date: {
        if (v.storage != SQLITE_FLOAT && v.storage != SQLITE_INTEGER)
            break;
        const DateTime dt(v.storage == SQLITE_FLOAT ? v.real : double(v.integer));
        const QDate d = dt.isValid() ? dt.date() : QDate();
        // The years 1000 to 9999, as days; other dates, and day 0 (an empty
        // date field, shown empty), are written as any other value.
        if (dt.isValid() && dt.toOle() == 0)
            break;
        static const qint64 kFirstDay = QDate(1000, 1, 1).toJulianDay();
        static const qint64 kLastDay = QDate(9999, 12, 31).toJulianDay();
        if (!d.isValid() || d.toJulianDay() < kFirstDay || d.toJulianDay() > kLastDay)
            break;
        leaveInteger(c);
        dropText(c);
        c.kind = TextKind::Date;
        c.textAt = std::uint32_t(d.toJulianDay());
        return;
    }
    case HeldPlan::Money:
        if (v.storage == SQLITE_INTEGER) {
            SetCellCurrency(row, column, Money::fromWhole(v.integer));
            return;
        }
        if (v.storage == SQLITE_FLOAT) {
            // The one reading of a stored amount, as every recordset reads it.
            const Money amount = platform::moneyFromStoredReal(v.real);
            if (!amount.isValid())
                break;
            SetCellCurrency(row, column, amount);
            return;
        }
        break;
    case HeldPlan::Whole: {
        if (v.storage != SQLITE_INTEGER)
            break;
        using platform::FieldType;
        const std::int32_t n = type == FieldType::Byte ? std::int32_t(std::uint8_t(v.integer))
            : type == FieldType::Integer               ? std::int32_t(std::int16_t(v.integer))
                                                       : std::int32_t(v.integer);
        if (isStoredNumberType(m_columns[size_t(column)].type)) {
            SetCellLong(row, column, n);
        } else {
            c.number = n;
            dropText(c);
            c.kind = TextKind::Integer;
        }
        return;
    }
    case HeldPlan::General:
        break;
    }
    SetCellFromVariant(row, column, platform::sqlvalues::toValue(v, type));
}

void CXTable::LoadRecordset(CXRowSource &source, int totalMode, int moneyDecimals, const QString &totalLabel)
{
    const WaitCursor wait;
    m_totalMode = std::uint8_t(totalMode);
    m_moneyDecimals = moneyDecimals;
    m_filterText = QStringLiteral("Filter: ") + source.whereText();

    if (source.isEmpty()) {
        SetSize(0, 0);
        return;
    }
    m_recordCount = int(std::min<long>(source.countRecords(), INT_MAX));
    const int fields = source.fieldCount();
    // Rows are added as records are read, so that a cancelled or failed read
    // leaves no empty rows in front of the totals.
    SetSize(0, fields);
    m_cells.reserve(size_t(m_recordCount + 2) * size_t(fields));
    m_rowFlags.reserve(size_t(m_recordCount + 2));

    std::unique_ptr<CXProgress> progress = CXProgress::Create();
    const bool showProgress = m_recordCount > kProgressThreshold;
    if (showProgress)
        progress->Start(m_recordCount, QStringLiteral("Found %s records"), true, true);

    for (int f = 0; f < fields; ++f)
        SetColumnFromField(f, source.fieldName(f), int(source.fieldType(f)), source.fieldSize(f));

    if (m_totalMode == TotalsNone && m_parentColumn >= 0)
        m_totalMode = TotalsSeparated;
    else if (m_totalMode == TotalsOneRow && m_parentColumn >= 0)
        m_totalMode = TotalsPerGroup;
    if (m_totalMode > TotalsOneRow) {
        if (m_parentColumn < 0)
            m_parentColumn = 0;
        // The grand total stays the last row while the records are read in
        // front of it.
        AddRow(RowSpecial | RowGrandTotal);
        if (!totalLabel.isEmpty())
            SetCellText(0, 1, totalLabel);
    }
    const int p = std::min(int(m_parentColumn), fields - 1);

    QString groupKey = QStringLiteral(" \u00b7 ");
    int groupStart = INT_MAX;
    int r = 0;
    // One record into row r: valueOf(f) gives a field's value, fill(f) sets
    // the field's cell of row r. False when the user stopped the load.
    const auto addRecord = [&](const auto &valueOf, const auto &fill) {
        if (p >= 0) {
            QString key;
            for (int f = 0; f <= p; ++f)
                key += CXRowSource::ValueText(valueOf(f));
            if (key != groupKey) {
                if (groupStart < r) {
                    if (m_totalMode == TotalsPerGroup) {
                        InsertTotalRow(groupStart, r, QString(), 1, RowSpecial | RowGrandTotal);
                        ++r;
                    } else if (m_totalMode == TotalsSeparated) {
                        InsertRow(r, RowSeparator);
                        ++r;
                    }
                }
                groupStart = r;
                groupKey = key;
                InsertRow(r, RowGroupStart);
            } else {
                InsertRow(r, 0);
            }
        } else {
            InsertRow(r, 0);
        }
        for (int f = 0; f < fields; ++f) {
            if (r > groupStart && f <= p)
                storeText(r, f, QString()); // a group's value shows on its first row only
            else
                fill(f);
        }
        ++r;
        return !showProgress || progress->Step();
    };
    try {
        source.moveFirst();
        bool read = false;
        if (auto *records = dynamic_cast<CXRecordsetSource *>(&source)) {
            // A snapshot's rows as it holds them: no Value and no QString is
            // made for a cell on the way.
            std::vector<platform::FieldType> types(static_cast<size_t>(fields));
            std::vector<HeldPlan> plans(static_cast<size_t>(fields));
            for (int f = 0; f < fields; ++f) {
                types[size_t(f)] = source.fieldType(f);
                plans[size_t(f)] = heldPlan(types[size_t(f)], m_columns[size_t(f)].type);
            }
            read = records->recordset().readHeldRows([&](const platform::sqlvalues::Stored *held) {
                if (r == kTextSampleRows && m_recordCount > 2 * kTextSampleRows) {
                    // The texts of the first rows tell how much room all will
                    // need: the buffer grows once instead of doubling.
                    m_texts.reserve(m_texts.size() / kTextSampleRows * size_t(m_recordCount) * 9 / 8);
                }
                return addRecord([&](int f) { return platform::sqlvalues::toValue(held[f], types[size_t(f)]); },
                                 [&](int f) { setCellFromHeld(r, f, held[f], types[size_t(f)], plans[size_t(f)]); });
            });
        }
        if (!read) {
            while (!source.isEOF()) {
                const bool more = addRecord([&](int f) { return source.value(f); },
                                            [&](int f) { SetCellFromVariant(r, f, source.value(f)); });
                source.moveNext();
                if (!more)
                    break;
            }
        }
    } catch (const platform::DbException &e) {
        platform::Prompt::messageBox(QStringLiteral("The list could not be read to its end:\n\n%1").arg(e.description()),
                                     QString(), platform::MB_ICONEXCLAMATION);
    }

    if (progress->IsRunning())
        progress->SetMessage(QStringLiteral("Calculating"));
    if (m_totalMode == TotalsOneRow)
        InsertTotalRow(0, r, totalLabel, 0, RowSpecial);
    else if (m_totalMode == TotalsRankBands)
        InsertRankBands();
    else if (m_totalMode == TotalsPerGroup && groupStart < r)
        InsertTotalRow(groupStart, r, QString(), 1, RowSpecial | RowGrandTotal);

    if (m_repeatWidth >= 0)
        BlankRepeatedColumns(m_repeatWidth);
    ApplyFormulas(0, GetRowCount() - 1);
}

int CXTable::LoadFieldsAsRows(CXRowSource &source, int firstRow, int nameColumn, int valueColumn,
                              int secondValueColumn)
{
    const WaitCursor wait;
    int r = firstRow;
    if (source.isEmpty())
        return r;
    const int fields = source.fieldCount();
    for (int i = 0; i < fields; ++i, ++r) {
        if (nameColumn >= 0)
            SetCellText(r, nameColumn, source.fieldName(i));
        if (valueColumn >= 0)
            SetCellFromVariant(r, valueColumn, source.value(i));
        if (secondValueColumn >= 0) {
            if (i + 1 < fields)
                SetCellFromVariant(r, secondValueColumn, source.value(i + 1));
            ++i;
        }
    }
    return r;
}

void CXTable::InsertTotalRow(int first, int last, const QString &label, int labelColumn, std::uint32_t flags)
{
    if (first >= GetRowCount() || last > GetRowCount() || first < 0 || last < first)
        return;
    InsertRow(last, flags);
    if (!label.isEmpty())
        SetCellText(last, labelColumn, label);
    const int grand = GetTotalRowIndex();
    const bool addToGrand = grand > last;
    const size_t stride = m_columns.size();
    for (int c = 0; c < GetColumnCount(); ++c) {
        const Column &col = m_columns[size_t(c)];
        if (CGridCell::TakesNoSum(col.title))
            continue; // computed columns among them get their total row's value from the sums
        if (col.type == Alias::TypeCurrency) {
            // Summed as the integers of ten-thousandths they are.
            Money sum;
            for (size_t i = size_t(first) * stride + size_t(c); i < size_t(last) * stride; i += stride)
                sum += Money::fromUnits(m_cells[i].units);
            SetCellCurrency(last, c, sum);
            if (addToGrand)
                SetCellCurrency(grand, c, GetCellValue(grand, c) + sum);
        } else if (col.type == Alias::TypeMinutes || col.type == Alias::TypeCount) {
            std::int64_t sum = 0;
            for (size_t i = size_t(first) * stride + size_t(c); i < size_t(last) * stride; i += stride)
                sum += storedNumber(m_cells[i]);
            const auto clamped = std::int32_t(std::clamp<std::int64_t>(sum, INT_MIN, INT_MAX));
            SetCellLong(last, c, clamped);
            if (addToGrand)
                SetCellLong(grand, c,
                            std::int32_t(std::clamp<std::int64_t>(std::int64_t(GetCellLong(grand, c)) + sum, INT_MIN, INT_MAX)));
        }
    }
}

void CXTable::InsertRankBands()
{
    static constexpr int kBandEnds[] = {10, 25, 50, 100, 500};
    const int labelColumn = m_parentColumn >= 0 ? int(m_parentColumn) : 0;
    int count = 0;
    int bandFirstCount = 1;
    int bandFirstRow = -1;
    size_t nextBand = 0;
    int r = 0;
    for (; r < GetRowCount(); ++r) {
        if (IsSpecialRow(r))
            continue;
        ++count;
        if (bandFirstRow < 0)
            bandFirstRow = r;
        if (nextBand < std::size(kBandEnds) && count == kBandEnds[nextBand]) {
            InsertTotalRow(bandFirstRow, r + 1, QString(), 1, RowSpecial);
            storeText(r + 1, labelColumn,
                      QStringLiteral("TOP %1 to %2").arg(bandFirstCount).arg(count));
            ++r; // past the band row
            ++nextBand;
            bandFirstCount = count + 1;
            bandFirstRow = -1;
        }
    }
    // The last band runs from the rows after the last full band to the grand
    // total; when the rows ended exactly at a band's end there is none.
    if (bandFirstRow >= 0) {
        const int grand = GetTotalRowIndex();
        InsertTotalRow(bandFirstRow, grand >= 0 ? grand : GetRowCount(), QString(), 1, RowSpecial);
    }
}

void CXTable::BlankRepeatedColumns(int k)
{
    bool nextIsFirst = true;
    for (int r = 0; r < GetRowCount(); ++r) {
        const std::uint32_t f = m_rowFlags[size_t(r)];
        if (f & (RowSpecial | RowSeparator)) {
            nextIsFirst = true;
            continue;
        }
        if ((f & RowGroupStart) || nextIsFirst) {
            nextIsFirst = false;
            continue;
        }
        for (int c = 0; c < k && c < GetColumnCount(); ++c)
            storeText(r, c, QString());
    }
}

// --- Computations -------------------------------------------------------------

void CXTable::clampRows(int &first, int &last) const
{
    const int lastRow = GetRowCount() - 1;
    if (first < 0)
        first = 0;
    if (last < first || last > lastRow)
        last = lastRow;
}

double CXTable::numericValue(int row, int column) const
{
    const Cell *c = cell(row, column);
    if (!c)
        return 0.0;
    const int type = m_columns[size_t(column)].type;
    if (isMoneyType(type))
        return amountOf(*c).toDouble();
    if (isStoredNumberType(type))
        return storedNumber(*c);
    return Alias::ReadNumber(GetCellText(row, column));
}

void CXTable::ApplyFormulas(int firstRow, int lastRow)
{
    if (GetRowCount() == 0)
        return;
    clampRows(firstRow, lastRow);
    for (int c = 0; c < GetColumnCount(); ++c) {
        if (!Alias::HasTail(m_columns[size_t(c)].title))
            continue;
        const Alias::Tail t = Alias::ParseTail(m_columns[size_t(c)].title);
        m_columns[size_t(c)].title = t.title;
        if (t.role == QLatin1Char('t'))
            m_tColumn = c;
        else if (t.role == QLatin1Char('p'))
            m_pColumn = c;
        else if (t.role == QLatin1Char('c'))
            m_cColumn = c;
        if (t.flagged)
            m_columns[size_t(c)].attribute = 1;
        switch (t.op.unicode()) {
        case '~': SetSumColumn(firstRow, lastRow, t.a, t.b, c, true); break;
        case '+': SetSumColumn(firstRow, lastRow, t.a, t.b, c, false); break;
        case '-': SetDifferenceColumn(firstRow, lastRow, t.a, t.b, c); break;
        case '*': SetProductColumn(firstRow, lastRow, t.a, t.b, c); break;
        case '/': SetQuotientColumn(firstRow, lastRow, t.a, t.b, c); break;
        case '%':
            if (t.title.contains(QLatin1String("Change")))
                m_changeColumn = c;
            SetRatioColumn(firstRow, lastRow, t.a, t.b, c);
            break;
        default: break;
        }
    }
}

void CXTable::SetSumColumn(int firstRow, int lastRow, int a, int b, int destination, bool range)
{
    clampRows(firstRow, lastRow);
    for (int r = firstRow; r <= lastRow; ++r) {
        Money sum = GetCellValue(r, a);
        if (range) {
            for (int c = a + 1; c <= b; ++c)
                sum += GetCellValue(r, c);
        } else {
            sum += GetCellValue(r, b);
        }
        SetCellCurrency(r, destination, sum);
    }
}

void CXTable::SetDifferenceColumn(int firstRow, int lastRow, int a, int b, int destination)
{
    clampRows(firstRow, lastRow);
    const bool money = isMoneyType(GetColumnType(a));
    for (int r = firstRow; r <= lastRow; ++r) {
        if (money)
            SetCellCurrency(r, destination, GetCellValue(r, a) - GetCellValue(r, b));
        else
            SetCellLong(r, destination, GetCellLong(r, a) - GetCellLong(r, b));
    }
}

void CXTable::SetProductColumn(int firstRow, int lastRow, int a, int b, int destination)
{
    clampRows(firstRow, lastRow);
    for (int r = firstRow; r <= lastRow; ++r) {
        const Money x = GetCellValue(r, a);
        const Money y = GetCellValue(r, b);
        Money product;
        if (!x.isZero() && !y.isZero()) {
            const __int128 units = __int128(x.units()) * y.units() / Money::kUnitsPerWhole;
            product = Money::fromUnits(std::int64_t(units));
        }
        SetCellCurrency(r, destination, product);
    }
}

void CXTable::SetQuotientColumn(int firstRow, int lastRow, int a, int b, int destination)
{
    clampRows(firstRow, lastRow);
    const int typeA = GetColumnType(a);
    const int typeB = GetColumnType(b);
    for (int r = firstRow; r <= lastRow; ++r) {
        if (!isMoneyType(typeA)) {
            const double x = numericValue(r, a);
            const double y = numericValue(r, b);
            SetCellText(r, destination, x != 0.0 && y != 0.0 ? QString::asprintf("%0.1f", x / y) : QString());
            continue;
        }
        const Money amount = GetCellValue(r, a);
        Money result;
        if (!amount.isZero()) {
            if (typeB == Alias::TypeMinutes) {
                // A rate per hour: the divisor is the minutes in hours.
                const std::int32_t minutes = GetCellLong(r, b);
                if (minutes != 0)
                    result = Money::fromUnits(std::int64_t(__int128(amount.units()) * 60 / minutes));
            } else if (isMoneyType(typeB)) {
                // A as a percentage of B: divided by a hundredth of B.
                const Money divisor = GetCellValue(r, b);
                if (divisor.units() != 0)
                    result = Money::fromUnits(
                        std::int64_t(__int128(amount.units()) * 100 * Money::kUnitsPerWhole / divisor.units()));
            } else {
                const double divisor = numericValue(r, b);
                if (divisor != 0.0)
                    result = Money::fromUnits(std::int64_t(std::trunc(double(amount.units()) / divisor)));
            }
        }
        SetCellCurrency(r, destination, result);
    }
}

void CXTable::SetRatioColumn(int firstRow, int lastRow, int a, int b, int destination)
{
    clampRows(firstRow, lastRow);
    if (isMoneyType(GetColumnType(a))) {
        if (a == b) {
            // Each row's share of the total row (the table's last row).
            const Money total = GetCellValue(GetRowCount() - 1, a);
            if (total.isZero())
                return;
            for (int r = firstRow; r <= lastRow; ++r) {
                const Money x = GetCellValue(r, a);
                storeText(r, destination,
                          x.isZero() ? QString() : FormatPercent(double(x.units()) / double(total.units())));
            }
            return;
        }
        for (int r = firstRow; r <= lastRow; ++r) {
            const Money x = GetCellValue(r, a);
            const Money y = GetCellValue(r, b);
            storeText(r, destination,
                      x.isZero() || y.isZero() ? QString() : FormatPercent(double(x.units()) / double(y.units())));
        }
        return;
    }
    for (int r = firstRow; r <= lastRow; ++r) {
        const double x = numericValue(r, a);
        const double y = numericValue(r, b);
        storeText(r, destination, x == 0.0 || y == 0.0 ? QString() : FormatPercent(x / y));
    }
}

void CXTable::SetPercentOfTotal(int firstRow, int lastRow, int totalRow, int amountColumn, int destination)
{
    clampRows(firstRow, lastRow);
    const Money total = GetCellValue(totalRow, amountColumn);
    if (total.isZero())
        return;
    for (int r = firstRow; r <= lastRow; ++r) {
        const Money x = GetCellValue(r, amountColumn);
        if (!x.isZero())
            storeText(r, destination, FormatPercent(double(x.units()) / double(total.units())));
    }
}

QString CXTable::FormatPercent(double ratio, const char *format)
{
    if (ratio > 9.0)
        return QStringLiteral("999+%");
    if (ratio < -9.0)
        return QStringLiteral("-999+%");
    return QString::asprintf(format, ratio * 100.0);
}

std::vector<std::int64_t> CXTable::sortedAmounts(int amountColumn) const
{
    std::vector<std::int64_t> sorted;
    for (int r = 0; r < GetRowCount(); ++r) {
        if (!IsSpecialRow(r))
            sorted.push_back(GetCellValue(r, amountColumn).units());
    }
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

void CXTable::SetRankColumn(int amountColumn, int destination, bool ordinal)
{
    const WaitCursor wait;
    // The amounts of the data rows, sorted, answer "how many are larger" by a
    // binary search.
    const std::vector<std::int64_t> sorted = sortedAmounts(amountColumn);
    int running = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        if (IsSpecialRow(r))
            continue;
        const Money x = GetCellValue(r, amountColumn);
        int rank = 0;
        if (!countsAsZero(x)) {
            if (ordinal)
                rank = ++running;
            else
                rank = 1 + int(sorted.end() - std::upper_bound(sorted.begin(), sorted.end(), x.units()));
        }
        SetCellLong(r, destination, rank);
    }
}

void CXTable::SetRankColumns(int orderColumn, int amountColumn, int positionColumn, int rankColumn,
                             int differenceColumn)
{
    const WaitCursor wait;
    const std::vector<std::int64_t> sorted = sortedAmounts(amountColumn);
    int position = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        if (IsSpecialRow(r))
            continue;
        // A row without an amount of its own in the table's order has no
        // place in it.
        const int at = countsAsZero(GetCellValue(r, orderColumn)) ? 0 : ++position;
        SetCellLong(r, positionColumn, at);
        const Money x = GetCellValue(r, amountColumn);
        if (countsAsZero(x)) {
            SetCellLong(r, rankColumn, 0);
            SetCellLong(r, differenceColumn, 0);
        } else {
            const int rank = 1 + int(sorted.end() - std::upper_bound(sorted.begin(), sorted.end(), x.units()));
            SetCellLong(r, rankColumn, rank);
            SetCellLong(r, differenceColumn, at == 0 ? 0 : rank - at);
        }
    }
}

void CXTable::SetRunningSubtotals(int firstRow, int lastRow, int amountColumn, int destination)
{
    clampRows(firstRow, lastRow);
    const int tableLast = GetRowCount() - 1;
    Money running;
    Money grand;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (!IsSpecialRow(r)) {
            const Money x = GetCellValue(r, amountColumn);
            running += x;
            grand += x;
            SetCellCurrency(r, destination, running);
        } else if (r == tableLast) {
            SetCellCurrency(r, destination, grand);
        } else {
            SetCellCurrency(r, destination, running);
            running = Money();
        }
    }
}

void CXTable::SetRunningSubtotals2(int firstRow, int lastRow, int column)
{
    clampRows(firstRow, lastRow);
    const int tableLast = GetRowCount() - 1;
    Money group;
    Money grand;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (!IsSpecialRow(r)) {
            const Money x = GetCellValue(r, column);
            group += x;
            grand += x;
        } else if (r == tableLast) {
            SetCellCurrency(r, column, grand);
        } else {
            SetCellCurrency(r, column, group);
            group = Money();
        }
    }
}

// --- Output -------------------------------------------------------------------

void CXTable::ApplyColumnFlags()
{
    for (Column &col : m_columns) {
        if (Alias::IsHiddenTitle(col.title)) {
            col.charWidth = 0;
            col.pixelWidth = 0;
        } else if (col.title.contains(QLatin1Char('/'))) {
            m_headerLines = std::uint8_t(std::max(int(m_headerLines), Alias::HeaderLineCount(col.title)));
            col.title = Alias::MultiLineHeader(col.title);
        }
    }
}

double CXTable::CalcColumnWidths(QRect &rect, int charWidth, int mode, const TextMeasure &measure)
{
    if (!measure)
        return CalcColumnWidths(rect, charWidth, mode, std::vector<int>());
    return CalcColumnWidths(rect, charWidth, mode, ContentWidths(charWidth, measure));
}

std::vector<int> CXTable::ContentWidths(int charWidth, const TextMeasure &measure) const
{
    const int n = GetColumnCount();
    const int cap = kContentCapChars * std::max(1, charWidth);
    std::vector<int> need(size_t(n), 0);
    for (int c = 0; c < n; ++c)
        if (m_columns[size_t(c)].charWidth > 0)
            need[size_t(c)] = contentWidth(c, cap, measure);
    return need;
}

double CXTable::CalcColumnWidths(QRect &rect, int charWidth, int mode, const std::vector<int> &needs)
{
    const int n = GetColumnCount();
    int sum = 0;
    for (int c = 0; c < n; ++c) {
        Column &col = m_columns[size_t(c)];
        if (col.charWidth > 0) {
            col.pixelWidth = (c == n - 1 ? col.charWidth : col.charWidth + 1) * charWidth;
            sum += col.pixelWidth;
        } else {
            col.pixelWidth = 0;
        }
    }
    double scale = 1.0;
    if (sum != 0 && charWidth != 0 && sum != rect.width()) {
        scale = double(rect.width()) / double(sum);
        sum = 0;
        for (Column &col : m_columns) {
            col.pixelWidth = int(col.pixelWidth * scale);
            sum += col.pixelWidth;
        }
    }
    if (sum != 0 && charWidth != 0 && needs.size() == size_t(n) && fitColumnsToContent(rect.width(), needs))
        sum = rect.width();
    if (sum != 0 && charWidth != 0 && sum != rect.width()) {
        const int rest = rect.width() - sum;
        if (mode == 1) {
            rect.setLeft(rect.left() + rest / 2);
        } else if (IsValidColumn(m_tColumn)) {
            m_columns[size_t(m_tColumn)].pixelWidth += rest;
            sum += rest;
        }
    }
    rect.setRight(rect.left() + sum - 1); // QRect's right edge is inclusive
    return scale;
}

int CXTable::contentWidth(int column, int cap, const TextMeasure &measure) const
{
    // The widest of the title's lines and the cells' texts. Only the longest
    // texts are measured (a proportional font makes a few letters'
    // difference), and no more of them than a screen shows: a long list is
    // fitted again on each drawing.
    constexpr int kMeasured = 48;
    constexpr int kSlack = 3;
    const QStringList lines = GetColumnName(column).split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, measure(line.trimmed()));
    // A caption row's text runs on across the row: it needs no column's room.
    std::vector<QString> texts;
    texts.reserve(size_t(GetRowCount()));
    for (int r = 0; r < GetRowCount(); ++r)
        if (!IsRowFlag16(r))
            texts.push_back(GetCellText(r, column));
    const auto longer = [](const QString &a, const QString &b) { return a.size() > b.size(); };
    const size_t measured = std::min(texts.size(), size_t(kMeasured));
    std::partial_sort(texts.begin(), texts.begin() + std::ptrdiff_t(measured), texts.end(), longer);
    for (size_t i = 0; i < measured && widest < cap; ++i) {
        if (texts[i].size() + kSlack < texts.front().size())
            break;
        widest = std::max(widest, measure(texts[i]));
    }
    return std::min(widest, cap);
}

bool CXTable::fitColumnsToContent(int room, const std::vector<int> &needs)
{
    const int n = GetColumnCount();
    std::vector<int> need(size_t(n), 0);
    bool anyShort = false;
    for (int c = 0; c < n; ++c) {
        const Column &col = m_columns[size_t(c)];
        if (col.pixelWidth <= 0 || col.charWidth <= 0)
            continue;
        need[size_t(c)] = needs[size_t(c)];
        anyShort = anyShort || col.pixelWidth < need[size_t(c)];
    }
    if (!anyShort)
        return false;
    int needed = 0;
    int spare = 0;
    for (int c = 0; c < n; ++c) {
        const int w = m_columns[size_t(c)].pixelWidth;
        if (w <= 0)
            continue;
        needed += std::max(w, need[size_t(c)]) - w;
        spare += std::max(0, w - need[size_t(c)]);
    }
    // Sets every shown column's width; the last one that gives or shares
    // takes the pixels the rounding left.
    const auto setWidths = [&](const auto &widthOf) {
        int given = 0;
        int last = -1;
        for (int c = 0; c < n; ++c) {
            Column &col = m_columns[size_t(c)];
            if (col.pixelWidth <= 0)
                continue;
            bool adjustable = false;
            col.pixelWidth = widthOf(c, col.pixelWidth, adjustable);
            given += col.pixelWidth;
            last = adjustable ? c : last;
        }
        if (last >= 0)
            m_columns[size_t(last)].pixelWidth += room - given;
        return true;
    };
    if (spare >= needed) {
        // The short columns take what they lack from the others' surplus, in
        // proportion to it.
        return setWidths([&](int c, int w, bool &adjustable) {
            if (w < need[size_t(c)])
                return need[size_t(c)];
            adjustable = true;
            return w - int(std::int64_t(w - need[size_t(c)]) * needed / spare);
        });
    }
    // Not room for all: money and other amounts stay whole first, then the
    // other numbers and dates, while they fit; the rest share what is left
    // in proportion to their need.
    const auto tierOf = [this](int c) {
        const int type = m_columns[size_t(c)].type;
        if (type == 10 || type == 12 || type == 0)
            return 2;
        return (type == 5 || type == 6 || type == 7) ? 0 : 1;
    };
    int tierNeed[3] = {0, 0, 0};
    for (int c = 0; c < n; ++c)
        if (m_columns[size_t(c)].pixelWidth > 0)
            tierNeed[tierOf(c)] += need[size_t(c)];
    int whole = -1;
    int kept = 0;
    while (whole < 2 && kept + tierNeed[whole + 1] < room) {
        ++whole;
        kept += tierNeed[whole];
    }
    const int shared = room - kept;
    int total = 0;
    for (int t = whole + 1; t < 3; ++t)
        total += tierNeed[t];
    return setWidths([&](int c, int, bool &adjustable) {
        if (tierOf(c) <= whole)
            return need[size_t(c)];
        adjustable = true;
        return total > 0 ? std::max(1, int(std::int64_t(need[size_t(c)]) * shared / total)) : 1;
    });
}

namespace {

// A cell as a delimited file holds it: quoted when it holds the delimiter, a
// quote or a line break, with its quotes doubled.
QString delimitedField(QString text, QChar delimiter)
{
    if (text.contains(delimiter) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

} // namespace

void CXTable::WriteDelimited(QIODevice &device, QChar delimiter) const
{
    static const QLatin1String kLineEnd("\r\n");
    QStringList fields;
    for (const Column &col : m_columns) {
        QString title = col.title;
        title.replace(QLatin1String("\r\n"), QLatin1String(" "));
        fields << delimitedField(title, delimiter);
    }
    device.write((fields.join(delimiter) + kLineEnd).toUtf8());

    QString lastFirst;
    for (int r = 0; r < GetRowCount(); ++r) {
        if (IsSpecialRow(r))
            continue;
        fields.clear();
        for (int c = 0; c < GetColumnCount(); ++c) {
            QString text = GetCellFullText(r, c);
            if (c == 0) {
                // A group's value shows on its first row only; every exported
                // row carries it.
                if (text.isEmpty())
                    text = lastFirst;
                else
                    lastFirst = text;
            }
            fields << delimitedField(text, delimiter);
        }
        device.write((fields.join(delimiter) + kLineEnd).toUtf8());
    }
}

bool CXTable::ExportToFile(const QString &path, int type)
{
    if (GetRowCount() == 0) {
        platform::Prompt::messageBox(QStringLiteral("There is no report data to export."));
        return false;
    }
    platform::UserFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        platform::Prompt::messageBox(QStringLiteral("Cannot open: ") + path + QStringLiteral("\n\n") + file.errorString(),
                                     QString(), platform::MB_ICONHAND);
        return false;
    }
    WriteDelimited(file, type == 1 ? QLatin1Char('\t') : QLatin1Char(','));
    // A file not written whole is dropped: the name keeps what it held.
    if (file.failed() || !file.commit()) {
        platform::Prompt::messageBox(QStringLiteral("Cannot write: ") + path + QStringLiteral("\n\n") + file.errorString(),
                                     QString(), platform::MB_ICONHAND);
        return false;
    }
    platform::Prompt::messageBox(QStringLiteral("Your data has been successfully exported to:\n") + path);
    return true;
}

bool CXTable::ExportToFile()
{
    if (GetRowCount() == 0) {
        platform::Prompt::messageBox(QStringLiteral("There is no report data to export."));
        return false;
    }
    if (CZqApp *app = ZqApp(); app && !app->CheckPassword(73, QStringLiteral("export")))
        return false;
    QString name = m_title;
    int type = ExportCommaDelimited;
    if (!ChooseExportFile(name, type, nullptr, QStringLiteral("Export to File:")))
        return false;
    return ExportToFile(name, type);
}

// --- Queries ------------------------------------------------------------------

bool CXTable::OpenQuery(const QString &sql)
{
    m_query.reset();
    if (sql.trimmed().isEmpty())
        return false;
    m_query = CXRecordsetSource::openSnapshot(SharedDatabase(), sql.trimmed());
    return m_query && m_query->isOpen();
}

std::int32_t CXTable::QueryLong(const QString &sql)
{
    if (!OpenQuery(sql) || m_query->isEmpty() || m_query->fieldCount() == 0)
        return 0;
    try {
        return m_query->value(0).toInt();
    } catch (const platform::DbException &) {
        return 0;
    }
}

void CXTable::LoadQueryWithProgress(const QString &sql, int totalMode, int moneyDecimals, const QString &totalLabel)
{
    if (OpenQuery(sql)) {
        LoadRecordset(*m_query, totalMode, moneyDecimals, totalLabel);
        // The rows are in the table now: the query's copy of them goes (the
        // query keeps its statement and condition).
        if (auto *records = dynamic_cast<CXRecordsetSource *>(m_query.get()))
            records->recordset().close();
    } else {
        // A query that could not run leaves the table without rows.
        m_totalMode = std::uint8_t(totalMode);
        m_moneyDecimals = moneyDecimals;
        SetSize(0, 0);
    }
}

void CXTable::LoadRecordset(platform::Recordset &recordset, int totalMode, int moneyDecimals,
                            const QString &totalLabel)
{
    CXRecordsetSource source(recordset);
    LoadRecordset(source, totalMode, moneyDecimals, totalLabel);
}

int CXTable::LoadQuery(const QString &sql, int firstRow, int nameColumn, int valueColumn, int secondValueColumn)
{
    if (!OpenQuery(sql))
        return firstRow;
    try {
        return LoadFieldsAsRows(*m_query, firstRow, nameColumn, valueColumn, secondValueColumn);
    } catch (const platform::DbException &) {
        return firstRow;
    }
}
