#pragma once

#include "controls/CListItem.h"
#include "controls/CXWnd.h"

#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QSet>

class CXDaoSet;
class CXEdit;
class QComboBox;
class QLineEdit;

// The spreadsheet-like grid of price tables, cost lines, setting rows and
// the like: a header row, a fixed number of rows and columns of cells, one
// in-place editor at a time. Column types: 1 text, 2 pick list, 3 and above
// a typed value (the type and the column's lookup go to the typed edit).
//
// Messages to the owner (ownerMessage): 30240 (grid id, cell index) when a
// cell is entered, 30247 (grid id, cell index) when editing changed a cell,
// 30250 (column, 0) on a header click, 30251 (image, cell index) on a click
// on a cell's image; notified() carries the double and right clicks.
// PostEditCell is the private request 0x7619 that reopens the editor.
class CXGridCtrl : public CXWnd
{
    Q_OBJECT

public:
    static constexpr unsigned kTextEditId = 1301;
    static constexpr unsigned kTypedEditId = 1311;
    static constexpr unsigned kFormatEditId = 1312;
    static constexpr unsigned kListId = 1201;

    explicit CXGridCtrl(QWidget *parent = nullptr);
    ~CXGridCtrl() override;

    // --- building ------------------------------------------------------------
    int AddColumn(const QString &title, unsigned width, unsigned type, const QString &lookup = QString(),
                  std::uint8_t editable = 1, std::uint32_t format = 0);
    void SetRows(int rows, int visible, bool numberColumns = false);
    bool Create(QWidget *parent, unsigned id, int x, int y, unsigned extendedStyle = 0);
    bool CreateInDlgItem(QWidget *parent, unsigned id, unsigned extendedStyle = 0);

    void SetColumnWidth(int column, unsigned pixels);
    unsigned GetColumnWidth(int column) const
    {
        return column >= 0 && column < m_colCount ? m_columns[column].width : 0;
    }
    // Makes the grid fit a box: fewer visible rows (the rest scroll) when it is
    // too high, narrower text columns when too wide, each no narrower than its
    // heading and its longest text (nor below 60 pixels); columns that still
    // do not fit scroll sideways under a horizontal scroll bar.
    void FitInto(int maxWidth, int maxHeight);
    // The size the grid takes for its columns and visible rows.
    QSize naturalSize() const;
    // Keeps the grid within a box without narrowing a column: fewer visible
    // rows (the rest scroll) when it is too high; when its columns together
    // are wider, they scroll sideways under a horizontal scroll bar.
    void LimitSize(int maxWidth, int maxHeight);
    // Widens each shown text column (and each column's heading) to what its
    // texts take as drawn, with a cell's picture: no text is cut short.
    void WidenToTexts();
    void SetRowHeight(int pixels) { m_rowHeight = pixels; update(); }
    void SetHeaderHeight(int pixels) { m_headerHeight = pixels; update(); }
    int GetHeaderHeight() const { return m_headerHeight; }
    int rowHeight() const { return m_rowHeight; }
    void SetHeaderStyle(std::uint8_t colour, std::uint8_t style, std::uint8_t font);
    void SetRowColors(bool highlightCurrentRow, std::uint8_t lastRowColour);
    // Tab always moves to the next cell of the row (Shift+Tab back), so what
    // is typed lands in the cell it was meant for; Enter moves down a row
    // while this is on (the default), else as Tab.
    void SetEnterMovesDown(bool on) { m_enterMovesDown = on; }
    void SetGridColors(std::uint8_t background, std::uint8_t frameStyle, std::uint8_t cellFont);

    // --- cells ------------------------------------------------------------------
    int CellIndex(int row, int column) const { return row * m_colCount + column; }
    void IndexToCell(int index, int &row, int &column) const;
    // A cell's number: 64 bits, so that a money column (in cents or
    // ten-thousandths) holds any amount exactly.
    qint64 GetCellValue(int row, int column) const;
    void ReadCellValue(int row, int column, int &out) const { out = int(GetCellValue(row, column)); }
    void ReadCellValue(int row, int column, qint64 &out) const { out = GetCellValue(row, column); }
    void SetCellValue(int row, int column, qint64 value);
    QString GetCellText(int row, int column) const;
    // The text a cell shows, whether drawn yet or not: a typed value's cell
    // is given its text only when it is first drawn.
    QString GetShownText(int row, int column) const;
    void GetCellTextTo(int row, int column, QString &out) const { out = GetCellText(row, column); }
    void CopyCellText(int fromRow, int fromColumn, int toRow, int toColumn);
    void SetCellText(int row, int column, const QString &text);
    void SetCellEditable(int row, int column, std::uint8_t editable);
    void SetCellImage(int row, int column, std::uint8_t image);
    void SetCellColor(int row, int column, std::uint8_t colour);
    bool IsCellEditable(int row, int column) const;
    // How a cell's text is placed (DT_ flags); 0 outside the grid.
    std::uint32_t GetCellFormat(int row, int column) const;
    std::uint8_t cellImage(int row, int column) const;
    std::uint8_t cellColour(int row, int column) const;
    void SetColumnEditable(int column, std::uint8_t editable);
    // Cells of a masked column show a dot per character and are typed unseen.
    void SetColumnMasked(int column, bool masked);
    // A money column whose cells hold any amount a money field holds exactly
    // (64 bits, up to 100,000,000,000 either way) rather than a 32-bit count
    // of its units; its owner reads the cells as 64-bit.
    void SetColumnWide(int column, bool wide = true);
    // A typed column that takes no negative number: one typed is refused
    // naming the column, the cell keeping its value.
    void SetColumnNotNegative(int column, bool on = true);
    // The values a typed column accepts, in the cells' units (a rate of four
    // decimals from 0 to 100 is 0..1,000,000); a value outside is refused
    // naming the column and the cell keeps what it had.
    void SetColumnRange(int column, qint64 minimum, qint64 maximum);
    // A typed column of amounts of money reads them as every money field
    // does ("$5,000"); a "$" column does so of itself. A rate column takes a
    // closing "%" ("10%").
    void SetColumnMoney(int column);
    void SetColumnRate(int column);
    // How a typed column reads what is typed (CXEdit::Reading).
    int columnReading(int column) const;
    // The size of the table column a text column's cells are kept in; a load
    // from a set gives it to the bound columns. 0: none known.
    void SetColumnTextSize(int column, int size);
    // The most characters a text column's cell takes: its "&N" length or the
    // size of its table column, whichever is smaller; 0 when neither is set.
    // The cell's editor stops typing there with a beep.
    int columnTextLimit(int column) const;
    void SetRowEditable(int row, std::uint8_t editable);
    void NumberRows();
    QString GetColumnHeader(int column) const;
    void SetColumnTitle(int column, const QString &title);
    int GetColumnCount() const { return m_colCount; }
    int GetRowCount() const { return m_rowCount; }
    unsigned GetColumnType(int column) const;
    QString GetColumnLookup(int column) const;
    bool IsCaptionRow(int row) const;
    // Owners mark caption rows and keep a number per row.
    void SetCaptionRow(int row, bool caption);
    int rowValue(int row) const;
    void setRowValue(int row, int value);
    int GetCurRow() const { return m_curRow; }
    int GetCurCol() const { return m_curCol; }
    int firstVisibleRow() const { return m_firstVisible; }
    int visibleRowCount() const { return m_visibleRows; }
    void Refresh();
    void RefreshRow(int row);

    // --- pick items -----------------------------------------------------------
    void AddPickItem(int column, int value, const QString &text);
    int AddPickItems(int column, int firstValue, const QString &list);

    // --- editing ----------------------------------------------------------------
    void EditCell(int row, int column);
    void EndEdit();
    void HideEditor();
    void PostEditCell(int row, int column);
    QWidget *editor() const { return m_editor; }
    QLineEdit *textEditor() const { return m_edit; }
    CXEdit *typedEditor() const { return m_typed; }
    QComboBox *listEditor() const { return m_list; }

    // --- recordsets, comma lists and keys --------------------------------------------
    // Load (save false) fills the rows from the records of the open set after
    // `skip` records: one row per record in order, or, with rows by key, each
    // record into the row of its own key (key base + row; records without a
    // free row of their own take the first row the owner left empty). Save
    // after a load writes only the rows whose cells changed since the load,
    // each over the record it came from, and adds records for changed rows
    // that had none; save without a load writes row r over record r. Caption
    // rows take no part. In load mode a comma-terminated list of field names
    // binds the columns from column 0. A load followed by a save writes nothing.
    // A loaded row is written over its own record, found by the record's key
    // whatever another workstation added, deleted or sorted before it since;
    // only the cells typed here are written, a cell the other also changed
    // asked about by the row's key text, the column's heading and the values
    // as the column shows them. A changed row whose record another deleted is
    // said and is not saved (the next save adds it as a new row).
    // False when a row was not saved (shown to the user, or the user chose
    // to save nothing now, which stops the save at once): the cells stay as
    // typed, still weighed against the last load, so that the owner can undo
    // the rows written and let the user save again.
    bool ExchangeRecordset(CXDaoSet &set, bool save, int skip = 0, const QString &fieldNames = QString());
    // After a save that the owner undid (its unit of work rolled back): the
    // cells as typed before it, still weighed against the load before it.
    void UndoLastSave();
    // A value of a column as its cells show it ("6.00" for 600 in a column of
    // two decimals, a pick list's text for its code).
    QString ShownValueText(int column, qint64 value) const;
    // The first non-empty text of the row's bound text columns, trimmed.
    QString rowKeyText(int row) const;
    int columnField(int column) const;
    void ExchangeColumnList(QString &list, bool toText, int column);
    void SetKeyBase(int base) { m_keyBase = base; }
    // The first number key base + n (n = 1 up to the row count, never past
    // 255) that no row holds in column 0 and that is not among `stored`;
    // 0 when every one is taken.
    int NextFreeKey(const QSet<qint64> &stored = {}) const;
    // The key a new row gets: its own number when laid out by key and free
    // among the rows and `stored`, else NextFreeKey. A save gives it the
    // numbers its table holds as `stored`, read within the save's write, so
    // that a number another workstation took meanwhile is never given again.
    int NewRowKey(int row, const QSet<qint64> &stored = {}) const;
    void SetRowsByKey(bool on) { m_bRowsByKey = on; }
    // The ordinal (after the skip) of the record the row was loaded from; -1 none.
    int rowRecord(int row) const { return row >= 0 && row < m_rowRecord.size() ? m_rowRecord[row] : -1; }
    // True when the row's bound cells differ from what the last load or save left.
    bool rowChanged(int row) const;

    void Draw() override;

    // Plain fields the owner sets and reads.
    int m_modified = 0;
    QString m_strStampByteField;  // written with m_nStampByte into every saved record
    std::uint8_t m_nStampByte = 0;
    QString m_strStampLongField;  // written with m_nStampLong into every saved record
    qint32 m_nStampLong = 0;
    bool m_bDeleteEmpty = false;  // a record whose row has no key text is deleted
    int m_nRowsWritten = 0;       // rows the last save wrote, added or deleted

signals:
    // NM_DBLCLK (-3): point in client coordinates, the cell under it;
    // NM_RCLICK (-5): point in screen coordinates, the current cell.
    void notified(int code, int row, int column, const QPoint &point);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void OnVScroll(int code, int pos) override;
    void OnHScroll() override;

    // The width a column needs to show its heading and every text of its
    // cells whole, as Draw lays them out.
    int textRoom(int column) const;

    struct Column
    {
        QString title;
        unsigned width = 0;
        unsigned type = 1;
        QString lookup;
        std::uint8_t editable = 1;
        std::uint32_t format = 0;
        std::uint8_t field = 255;
        bool masked = false; // password cells: drawn as dots, typed unseen
        bool wide = false;   // money in 64 bits (SetColumnWide)
        bool notNegative = false; // typed numbers from 0 (SetColumnNotNegative)
        bool ranged = false; // SetColumnRange
        qint64 minimum = 0;
        qint64 maximum = 0;
        int reading = 0;     // CXEdit::Reading (SetColumnMoney, SetColumnRate)
        int textSize = 0;    // SetColumnTextSize, or the bound field's size
    };
    struct RowInfo
    {
        std::uint8_t textsCurrent = 0;
        std::uint8_t caption = 0;
        int value = 0;
    };
    struct Cell
    {
        QString text;
        qint64 value = 0;
        std::uint8_t editable = 1;
        std::uint8_t image = 255;
        std::uint8_t colour = 0;
        std::uint32_t format = 0x824;
    };

    bool validCell(int row, int column) const
    {
        return row >= 0 && row < m_rowCount && column >= 0 && column < m_colCount;
    }
    Cell &cell(int row, int column) { return m_cells[CellIndex(row, column)]; }
    const Cell &cell(int row, int column) const { return m_cells[CellIndex(row, column)]; }
    std::uint32_t cellFormatFor(int column) const;
    QString pickText(int column, qint64 value) const;
    int columnLeft(int column) const;
    bool hitTest(const QPoint &pos, int &row, int &column, bool &header) const;
    QString editorText() const;
    bool handleKey(QKeyEvent *event);
    void moveToCell(int row, int column);
    void updateShownTexts();
    void createEditors();
    void leftButtonUp(const QPoint &pos);
    void loadRows(CXDaoSet &set, int skip);
    void loadRecordIntoRow(CXDaoSet &set, int row);
    enum class RowSave { Saved, NotSaved, Stopped };
    RowSave saveRow(CXDaoSet &set, int row, bool isNew);
    // Stores the row being written; Stopped when the user chose to save
    // nothing now (the edit is dropped), NotSaved after a failure shown.
    RowSave storeRow(CXDaoSet &set, const QString &key);
    void snapshotRows();
    int keyRowFor(qint64 key, const QList<bool> &taken) const;
    int freeRowFor(const QList<bool> &taken) const;

    QList<Column> m_columns;
    QList<RowInfo> m_rowInfo;
    QList<Cell> m_cells;
    QList<CListItem> m_pickItems;
    int m_rowCount = 0;
    int m_colCount = 0;
    int m_visibleRows = 1;
    int m_firstVisible = 0;
    int m_lastVisible = 0;
    int m_curRow = -1;
    int m_curCol = 0;
    int m_rowHeight = 21;
    int m_headerHeight = 21;
    std::uint8_t m_background = 5;
    std::uint8_t m_frameStyle = 6;
    std::uint8_t m_headerColour = 6;
    std::uint8_t m_headerStyle = 2;
    std::uint8_t m_headerFont = 1;
    std::uint8_t m_cellFont = 1;
    bool m_highlight = false;
    std::uint8_t m_lastRowColour = 0;
    bool m_enterMovesDown = true;
    int m_keyBase = 0;
    bool m_bRowsByKey = false;
    bool m_loaded = false;           // a load filled the rows; saves then write changed rows only
    QList<int> m_rowRecord;          // per row: the ordinal of its record after the skip, -1 none
    QList<qint64> m_rowKey;          // per row: its record's own key (CXDaoSet::GetRowKey), -1 none
    struct LoadedCell
    {
        QString text;
        qint64 value = 0;
    };
    QList<LoadedCell> m_loadedCells; // the cells as the last load or save left them
    QList<Cell> m_typedBeforeSave;          // UndoLastSave: the cells and
    QList<LoadedCell> m_loadedBeforeSave;   // what they were weighed against
    QHash<int, QString> m_storedTexts; // preset cells whose record holds another text, by cell index
    QSet<qint64> m_storedKeys;       // the save's numbers of the table (key column), once read
    bool m_storedKeysRead = false;
    QWidget *m_editor = nullptr;
    int m_editorLeft = 0;            // the open editor's left edge in the columns' own coordinates
    QLineEdit *m_edit = nullptr;
    CXEdit *m_typed = nullptr;
    CXEdit *m_formatter = nullptr;
    QComboBox *m_list = nullptr;
    bool m_committing = false;
};
