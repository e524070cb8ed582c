#pragma once

#include "platform/Money.h"
#include "platform/Value.h"

#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtCore/QStringView>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class CXRowSource;

namespace platform {
class Database;
class Recordset;
namespace sqlvalues {
struct Stored;
}
}

// The program's in-memory table of rows and columns: a query's result loaded
// once, laid out by its column aliases, grouped, totalled and given computed
// columns, then read, drawn, printed or exported by the lists, reports and
// charts. Every cell keeps its text, a number and a money amount; totals and
// computations work on the numbers and amounts, never on the shown texts.
class CXTable
{
public:
    // Row flags.
    enum RowFlag : std::uint32_t {
        RowSpecial = 0x1,       // heading or total row: not a data row
        RowGrandTotal = 0x2,    // with 0x1: the grand total, and the subtotals between groups
        RowFlag4 = 0x4,         // kept for the report builders
        RowFlag8 = 0x8,
        RowFlag16 = 0x10,
        RowGroupStart = 0x20,   // first row of a group
        RowSeparator = 0x80,    // blank row between groups
        RowMarked = 0x100,      // selected
    };
    // How rows are grouped and totalled on loading.
    enum TotalMode : std::uint8_t {
        TotalsNone = 0,         // no totals
        TotalsSeparated = 1,    // grouped: a blank row between groups
        TotalsOneRow = 2,       // one total row (grouped: as 4)
        TotalsRankBands = 3,    // subtotals after the 10th, 25th, 50th, 100th and 500th row, and a grand total
        TotalsPerGroup = 4,     // a subtotal after each group and a grand total
    };
    // Loads above this many records show the progress window.
    static constexpr int kProgressThreshold = 500;

    CXTable();
    ~CXTable();
    CXTable(const CXTable &) = delete;
    CXTable &operator=(const CXTable &) = delete;

    // Every field to its start value, every row and column removed.
    void Reset();
    void SetSize(int rows, int columns);
    // Sets the row count; new rows are empty, rows beyond it are removed.
    void SetRowCount(int rows);
    void InsertRow(int index, std::uint32_t flags);
    // Inserts an empty row with the flags in front of each of the given rows
    // (indexes before any insertion, ascending; the row count puts one at the
    // end), moving every row once.
    void InsertRowsBefore(const std::vector<int> &rows, std::uint32_t flags);
    int AddRow(std::uint32_t flags);
    void RemoveRow(int index = -1); // -1: the last row

    int GetRowCount() const { return int(m_rowFlags.size()); }
    int GetColumnCount() const { return int(m_columns.size()); }
    int GetRecordCount() const { return m_recordCount; }

    // Columns.
    void SetColumnName(int column, const QString &alias, int width, int type);
    void SetCurrencyColumn(int column, const QString &alias) { SetColumnName(column, alias, 13, 5); }
    void SetDateColumn(int column, const QString &alias) { SetColumnName(column, alias, 12, 8); }
    void SetTimeColumn(int column, const QString &alias) { SetColumnName(column, alias, 8, 22); }
    // Names a column from a query field: the type suffix, the initial width by
    // type, then the column naming.
    void SetColumnFromField(int column, const QString &fieldName, int fieldType, int fieldSize);
    void RenameColumn(int column, const QString &title);
    void SetColumnCharWidth(int column, int width);
    void SetColumnType(int column, int type);
    void SetColumnFormat(int column, std::uint32_t format);
    void SetColumnAttribute(int column, std::uint8_t attribute);
    void SetColumnPixelWidth(int column, int width);
    QString GetColumnName(int column) const;
    int GetColumnCharWidth(int column) const;
    int GetColumnType(int column) const;
    std::uint32_t GetColumnFormat(int column) const;
    int GetColumnWidth(int column) const; // pixels, after CalcColumnWidths
    bool IsColumnFlagged(int column) const;
    bool IsValidColumn(int column) const { return column >= 0 && column < GetColumnCount(); }
    // The first column whose title contains the text; -1 when none.
    int FindColumn(const QString &text, bool exact = false) const;
    void SetSpecialColumns(int t, int p, int c);
    // Acts on the cells set after it: when off, a zero number or amount shows
    // an empty text.
    void SetShowZeros(bool on) { m_showZeros = on ? 1 : 0; }

    // Cells.
    void SetCellText(int row, int column, const QString &text);
    void SetCellLong(int row, int column, std::int32_t number);
    void SetCellCurrency(int row, int column, Money amount);
    void SetCellStyle(int row, int column, std::uint8_t style);
    // Appends count rows (at least one) with the flags and sets the text in the
    // first of them; returns the new row count.
    int SetCellTextGrow(const QString &text, int count, int column, std::uint32_t flags);
    // The text a cell shows: a query's text of several lines (a memo) shows
    // its first line, as the lists show it.
    QString GetCellText(int row, int column) const;
    // The whole text, every line of a memo ("\n" between them): what is
    // printed and exported.
    QString GetCellFullText(int row, int column) const;
    Money GetCellValue(int row, int column) const;
    int GetCellFormat(int row, int column) const; // the style byte; -1 outside
    std::int32_t GetCellLong(int row, int column) const;
    void SetCellFromVariant(int row, int column, const platform::Value &value);
    // Replaces every cell text of the block that equals oldText; lastRow -1 is
    // the last row; with specialOnly only heading and total rows.
    void ReplaceCellText(int firstRow, int lastRow, int firstColumn, int lastColumn, const QString &oldText,
                         const QString &newText, bool specialOnly);

    // Rows.
    int GetDataRowCount() const;
    bool IsValidRow(int row) const { return row >= 0 && row < GetRowCount(); }
    void SetRowFlags(int row, std::uint32_t flags);
    std::uint32_t GetRowFlags(int row) const { return IsValidRow(row) ? m_rowFlags[size_t(row)] : 0; }
    bool IsSpecialRow(int row) const { return GetRowFlags(row) & RowSpecial; }
    bool IsRowMarked(int row) const { return GetRowFlags(row) & RowMarked; }
    bool IsRowFlag16(int row) const { return GetRowFlags(row) & RowFlag16; }
    bool IsRowFlag32(int row) const { return GetRowFlags(row) & RowGroupStart; }
    bool IsRowFlag128(int row) const { return GetRowFlags(row) & RowSeparator; }
    // The last row's index when it is a heading or total row, else -1.
    int GetTotalRowIndex() const;
    // The key column's text read as an integer; 0 outside the table.
    int GetRowKey(int row) const;
    // The first data row whose number in the column (-1: the key column)
    // equals the value; -1 when none.
    int FindRowByLong(std::int32_t value, int column = -1) const;
    // mode 256 always selects; any other mode flips the mark of a data row.
    void ToggleRowSelection(int row, int mode);
    int SelectRow(int row); // returns the number of marked rows
    void SelectAll(bool on);
    int GetMarkedRowCount() const;

    // Loading. The table's own queries run on the shared database.
    // Opens the table's own recordset on the statement (closing it first);
    // true when it is open.
    bool OpenQuery(const QString &sql);
    // The first field of the first record as an integer; 0 when none.
    std::int32_t QueryLong(const QString &sql);
    void LoadQueryWithProgress(const QString &sql, int totalMode, int moneyDecimals, const QString &totalLabel);
    void LoadRecordset(platform::Recordset &recordset, int totalMode, int moneyDecimals, const QString &totalLabel);
    void LoadRecordset(CXRowSource &source, int totalMode, int moneyDecimals, const QString &totalLabel);
    // Lays the first record of the statement down the rows from firstRow: the
    // field names into nameColumn, the values into valueColumn and, with
    // secondValueColumn, the next field's value beside it (-1 skips a column).
    // Returns the row after the last one written.
    int LoadQuery(const QString &sql, int firstRow, int nameColumn, int valueColumn, int secondValueColumn);
    int LoadFieldsAsRows(CXRowSource &source, int firstRow, int nameColumn, int valueColumn, int secondValueColumn);
    // The table's own recordset as last opened (null before the first query).
    CXRowSource *querySource() const { return m_query.get(); }

    // Inserts a row at last summing rows first..last-1 of the money, minute
    // and count columns, but for averages, rates and unit prices
    // (CGridCell::TakesNoSum); the sums are also added to a grand-total row
    // below it.
    void InsertTotalRow(int first, int last, const QString &label, int labelColumn, std::uint32_t flags);
    // Subtotals after the 10th, 25th, 50th, 100th and 500th data row ("TOP a
    // to b") and one over the rows after the last band, when there are any.
    void InsertRankBands();
    // Blanks the first k columns on the later rows of each group.
    void BlankRepeatedColumns(int k);

    // Computations (ranges are clamped to the table).
    void ApplyFormulas(int firstRow, int lastRow);
    void SetSumColumn(int firstRow, int lastRow, int a, int b, int destination, bool range);
    void SetDifferenceColumn(int firstRow, int lastRow, int a, int b, int destination);
    void SetProductColumn(int firstRow, int lastRow, int a, int b, int destination);
    void SetQuotientColumn(int firstRow, int lastRow, int a, int b, int destination);
    void SetRatioColumn(int firstRow, int lastRow, int a, int b, int destination);
    void SetPercentOfTotal(int firstRow, int lastRow, int totalRow, int amountColumn, int destination);
    static QString FormatPercent(double ratio, const char *format = "%0.1f%%");
    void SetRankColumn(int amountColumn, int destination, bool ordinal);
    // On a table ordered by orderColumn, largest first: each data row's
    // position among the rows whose orderColumn amount is not zero (0 for the
    // others), its rank by amountColumn (0 for a zero amount, equal amounts
    // sharing a rank) and rank less position (0 when either is 0).
    void SetRankColumns(int orderColumn, int amountColumn, int positionColumn, int rankColumn, int differenceColumn);
    void SetRunningSubtotals(int firstRow, int lastRow, int amountColumn, int destination);
    void SetRunningSubtotals2(int firstRow, int lastRow, int column);

    // Output.
    void ApplyColumnFlags();
    // The width a text takes as drawn in a cell, its margins included.
    using TextMeasure = std::function<int(const QString &)>;
    // Columns grow to their content up to this many characters.
    static constexpr int kContentCapChars = 60;
    // Fits the shown columns into the rectangle (its right edge, and with mode
    // 1 its left edge, are moved); returns the scale. With a measure, a
    // column too narrow for its title or a cell (totals included) takes the
    // room from the columns that have more than theirs need; when the room
    // is short for all, the number and money columns keep their width and
    // the text columns share the rest.
    double CalcColumnWidths(QRect &rect, int charWidth, int mode, const TextMeasure &measure = {});
    // The same with each column's content width already measured (see
    // ContentWidths): a caller that draws one unchanged table many times,
    // page after page, measures it once.
    double CalcColumnWidths(QRect &rect, int charWidth, int mode, const std::vector<int> &needs);
    // The width each column's title and cells need, up to the cap (0 for a
    // hidden column).
    std::vector<int> ContentWidths(int charWidth, const TextMeasure &measure) const;
    // Writes the header line and every row that is not a heading or total row,
    // the cells joined by the delimiter. A cell holding the delimiter, a quote
    // or a line break is quoted, its quotes doubled, so that a reader of
    // delimited files gets the same cells back.
    void WriteDelimited(QIODevice &device, QChar delimiter) const;
    // Exports to the chosen file (type 1 tab-delimited, any other
    // comma-delimited) and tells the user; the caller has asked the user's
    // rights and the file. False when the table is empty or the file cannot be
    // written (both told).
    bool ExportToFile(const QString &path, int type);
    // The user's export: an empty table is told and stops; the user-rights
    // prompt is asked for action 73 ("export"); the "Export to File:" dialog
    // proposes the title as the name with the comma-delimited type first;
    // then the export above to the chosen file and type.
    bool ExportToFile();

    // The table's settings, read and written by its owners.
    QString m_title;          // first heading line; the proposed export file name
    QString m_subtitle;       // second heading line
    QString m_filterText;     // "Filter: " and the WHERE condition of the loaded query
    QString m_headingText;    // a further heading line
    QString m_note;           // shown when the table has no rows
    std::uint8_t m_totalMode = TotalsOneRow;
    std::uint8_t m_keyColumn = 0;
    std::int32_t m_ownerNumber = 15;
    std::uint8_t m_headerLines = 1;
    std::int32_t m_moneyDecimals = 2;
    std::int32_t m_tColumn = -1;        // takes the spare width; the chart's labels
    std::int32_t m_pColumn = -1;        // the chart's plotted amount
    std::int32_t m_cColumn = -1;        // the chart's comparison amount
    std::int32_t m_changeColumn = -1;   // a percentage titled with "Change"
    std::int32_t m_parentColumn = -1;   // the grouping column
    std::int32_t m_repeatWidth = -1;    // leading columns shown only on a group's first row
    std::int32_t m_titleIconList = 133;
    std::uint8_t m_titleIcon = 255;
    std::int32_t m_selectionMade = 0;
    std::int32_t m_centredTitle = 0;
    std::int32_t m_showZeros = 1;

private:
    // The amounts of the data rows, sorted: "how many are larger" by a binary search.
    std::vector<std::int64_t> sortedAmounts(int amountColumn) const;
    struct Column
    {
        QString title;
        int charWidth = 0;
        int pixelWidth = 0;
        int type = 0;
        std::uint32_t format = 2085;
        std::uint8_t attribute = 0;
    };
    // How a cell's text is made: kept as it was set, or written from its
    // amount, number or date when it is read (so that loading many rows
    // formats nothing that is not shown).
    // Integer is a whole number a query gave a column of texts: it always
    // shows, and counts as no stored number (its number reads as 0 there).
    // Date is a query's date shown as "mm/dd/yyyy": the day is kept instead
    // of its text.
    enum class TextKind : std::uint8_t { Stored, Money, Minutes, Grouped, Plain, Integer, Date };
    // A cell in 24 bytes: its amount, its number and where its text lies in
    // the table's one buffer of texts (no text of its own to allocate).
    struct Cell
    {
        std::int64_t units = 0;     // the amount, in ten-thousandths
        std::int32_t number = 0;
        std::uint32_t textAt = 0;   // Stored: the text's first unit in m_texts; Date: the Julian day
        std::uint32_t textSize = 0; // Stored: the text's length in UTF-16 units
        std::uint8_t style = 0;
        TextKind kind = TextKind::Stored;
        std::uint8_t decimals = 2;  // of a money text
        std::uint8_t amountStatus : 2 = 0; // the amount's Money::Status
        std::uint8_t blankZero : 1 = 0;    // a zero shows an empty text
        std::uint8_t manyLines : 1 = 0;    // a query's text of several lines: its first shows
    };

    // The width the column's title and cells need, up to the cap.
    int contentWidth(int column, int cap, const TextMeasure &measure) const;
    // Widens the columns too narrow for their content within the room (the
    // shown columns' widths summing to it afterwards); false when every
    // column already fits.
    bool fitColumnsToContent(int room, const std::vector<int> &needs);

    Cell *cell(int row, int column);
    const Cell *cell(int row, int column) const;
    void clampRows(int &first, int &last) const;
    // A number of a cell for computations: the stored amount of money, the
    // stored number of minutes, counts and quantities, else its text.
    double numericValue(int row, int column) const;
    void storeText(int row, int column, const QString &text);
    QString textOf(const Cell &c) const;
    static Money amountOf(const Cell &c);
    static void setAmount(Cell &c, Money amount);
    // The cell's stored number (minutes, counts, quantities).
    static std::int32_t storedNumber(const Cell &c) { return c.kind == TextKind::Integer ? 0 : c.number; }
    // Leaves the kind that keeps a query's whole number: its number goes with it.
    static void leaveInteger(Cell &c)
    {
        if (c.kind == TextKind::Integer)
            c.number = 0;
    }

    // The texts of the cells. Each Stored cell with a text owns a range of
    // m_texts; a text that is replaced or removed leaves its range unused
    // until the buffer is packed (when the unused part outgrows the used).
    void setText(Cell &c, QStringView text);
    void dropText(Cell &c);
    void dropTexts(size_t firstCell, size_t lastCell);
    void packTexts();
    // A text read by a query, as SQLite holds it (UTF-8), as the cell's
    // text: every line of it, each line break one "\n".
    void setQueryText(Cell &c, const char *utf8, int size);
    // The same for a query's text given as a value.
    void setQueryText(Cell &c, const QString &text);

    // How a loaded field's cells are written from a snapshot's held values:
    // texts, dates, money and whole numbers directly, anything else (and a
    // value of another storage than the field's) through its Value.
    enum class HeldPlan : std::uint8_t { General, Text, Date, Money, Whole };
    static HeldPlan heldPlan(platform::FieldType field, int columnType);
    void setCellFromHeld(int row, int column, const platform::sqlvalues::Stored &value, platform::FieldType type,
                         HeldPlan plan);

    std::vector<Column> m_columns;
    std::vector<std::uint32_t> m_rowFlags;
    std::vector<Cell> m_cells; // row x column count + column
    std::vector<char16_t> m_texts;
    size_t m_unusedTexts = 0; // units of m_texts no cell uses
    int m_recordCount = 0;

    std::unique_ptr<CXRowSource> m_query;
};
