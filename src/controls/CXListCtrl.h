#pragma once

#include "controls/CGridCell.h"

#include "platform/Value.h"

#include <QtCore/QPair>
#include <QtCore/QString>
#include <QtWidgets/QTreeView>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CXListModel;
class CXRowSource;
class ImageList;

namespace platform {
class Database;
class Recordset;
}

// The program's record list: a report-style list that fills itself from an SQL
// text, a stored query or an open recordset, one row per record and one column
// per field, laid out by the column aliases. Each row's item data is its
// record's key. It sorts by a clicked column by the column's type, fits its
// columns, paints rows by their image, moves through and moves rows, and keeps
// the totals of its numeric columns.
//
// A list filled from its own query shows its first rows before the query
// has given the rest, and is counted at once: every row shows from the start
// (the scroll bar, End and a row's place are exact). The query's rows are
// read on behind the first screen, a slice at a time between the user's
// keys and clicks; a row's record is made only when the row is first drawn or
// asked for, or when an operation needs every row (sorting, totals, selecting
// all, moving rows), and that reads the query on to it at once. Its own
// queries run on the shared database.
class QFontMetrics;

class CXListCtrl : public QTreeView
{
    Q_OBJECT

public:
    // Navigation and row-move commands.
    enum Command : int {
        ID_RECORD_FIRST = 59648,
        ID_RECORD_LAST = 59649,
        ID_RECORD_NEXT = 59650,
        ID_RECORD_PREV = 59651,
        ID_MOVE_TOP = 30236,
        ID_MOVE_BOTTOM = 30237,
        ID_MOVE_DOWN = 30238,
        ID_MOVE_UP = 30239,
    };
    // Column fit modes (0..n-1: that column takes the rest).
    static constexpr int kFitNone = 255;
    static constexpr int kFitSpread = 251;
    static constexpr int kFitWidthList = 252;
    static constexpr int kNoImage = 255;
    // Sort kinds.
    static constexpr int kSortDate = 8;
    static constexpr int kSortText = 10;
    static constexpr int kSortNumber = 19;

    explicit CXListCtrl(QWidget *parent = nullptr);
    ~CXListCtrl() override;

    // Filling.
    void FillFromSql(const QString &sql, const QString &keyHint = QString(), int sortColumn = 0,
                     bool descending = false, QWidget *clipboardWindow = nullptr);
    // Asks for the stored query's parameters and fills the list from it; false
    // when the user cancelled or it could not be opened.
    bool FillFromQueryDef(const QString &queryName);
    // Fills the list from a statement of the user's own (a filter, a text
    // typed): it runs beside the window, which goes on drawing itself; its
    // first rows show as soon as they come, and when it takes more than a
    // moment the progress window shows the rows read and its Stop ends the
    // statement, keeping those rows. The statement is read only as fast as
    // the list takes its rows, and while the progress window asks whether to
    // stop it holds still. A list holds rows up to a bound of memory (see
    // SetMostMemory): a statement that gives more is stopped there, and the
    // list says that it shows the first rows only.
    void FillFromUserSql(const QString &sql, const QString &keyHint = QString(), int sortColumn = 0,
                         bool descending = false);
    // The user stopped the last fill (the progress window's Stop): the list
    // holds only the rows read before the stop, perhaps none. Cleared by
    // every clearing of the list.
    bool WasFillStopped() const { return m_fillStopped; }
    // The last fill's statement gave more rows than the list holds: the
    // list shows only its first rows. Cleared by every clearing of the list.
    bool WasFillBounded() const { return m_fillBounded; }
    // The memory, in bytes, that the rows of a statement read beside may
    // take (the rows held, the list's rows and the view's); 256 MB unless set.
    void SetMostMemory(std::size_t bytes) { m_mostMemory = bytes; }
    // One slice of a statement's reading: pages are taken while `readPage`
    // takes one, the list is not `full` and `more` says the slice goes on.
    // The bound is looked at after every page, however many pages a slice
    // of time would take; the number of pages taken is given back.
    static int ReadPagesWithinBound(const std::function<bool()> &readPage, const std::function<bool()> &full,
                                    const std::function<bool()> &more);
    // The letters of the rows' texts the last sort held (in half the bound).
    std::size_t LastSortHeldLetters() const { return m_lastSortHeld; }
    // Reads every record of the caller's open source.
    void FillFromRecordset(CXRowSource &source, const QString &keyHint);
    void FillFromRecordset(platform::Recordset &recordset, const QString &keyHint);
    void ClearList(bool redraw = true);
    // No row and no column stay, nor the query they were read from.
    void ClearAll() { forgetFill(); }
    // A refill row by row (InsertRow, SetItemText, SetSubItemImage): the list
    // is cleared as ClearList(false) does, and the view is told of the new
    // rows once, at EndRefill, instead of at every insert and text.
    void BeginRefill();
    void EndRefill();
    void SetSort(int column, bool descending);
    // Reads every row that is still to come (with the progress window above the
    // threshold; a cancel keeps what was read).
    void FetchAll();
    // A mark the view gives its rows from what it knows beside the query (a
    // remark, an image): given every run of rows as they are read, the first
    // screen's at the fill and the others later. A list with a marker reads
    // its rows on behind the first screen as it reads its query on, so every
    // row is marked without being scrolled to. Set before the fill; an empty
    // marker marks nothing.
    using RowMarker = std::function<void(int firstRow, int rows)>;
    void SetRowMarker(RowMarker marker) { m_marker = std::move(marker); }

    // Columns.
    // format -1: left for dates and texts, right for anything else (0 left, 1
    // right, 2 centre). Returns the column's index.
    int AddColumn(const QString &heading, int width, int type, bool reset = false, int format = -1,
                  std::uint8_t flag0 = 2, std::uint8_t flag1 = 0);
    int FindColumn(const QString &heading) const;
    QString GetColumnText(int column) const;
    void SetColumnText(int column, const QString &heading, int image = -1);
    void SetColumnAlign(int column, int align);
    int GetColumnAlign(int column) const;
    void SetColumnFlags(int column, std::uint8_t flag0, std::uint8_t flag1);
    int GetColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    void SetAutoSizeMode(int mode, bool apply);
    // A column that spreading to the list's width keeps wide enough for its
    // texts (up to half the width): the one that names the rows in a picker.
    void SetReadableColumn(int column) { m_readableColumn = column; }
    void AutoSizeColumns();
    // Every shown column is made at least as wide as its texts take (its
    // heading and the rows read so far): a date keeps its year, a name its
    // last letters. Room left beside the columns goes to the text columns;
    // columns wider together than the list scroll sideways. Columns whose
    // widths the user saved keep them.
    void KeepTextsWhole();
    // The width a cell's text takes as the list draws it (tabs expanded).
    static int cellTextWidth(const QFontMetrics &metrics, const QString &text);
    void LoadColumnWidths(const QString &key, bool apply);
    void ChooseColumns(const QString &key, bool apply) { LoadColumnWidths(key, apply); }
    int GetColumnCount() const { return int(m_columns.size()); }
    const CGridCell &GetColumnRecord(int column) const { return m_columns[size_t(column)]; }
    const std::vector<CGridCell> &GetColumnRecords() const { return m_columns; }

    // Rows. Rows are counted and addressed as the list holds them; a row not
    // yet read is read when it is asked for.
    int GetItemCount() const;
    QString GetItemText(int row, int column);
    // A cell's whole text for printing: a text or memo of the list's query
    // with all its lines (a row shows only its first).
    QString GetItemFullText(int row, int column);
    void SetItemText(int row, int column, const QString &text);
    std::int64_t GetItemData(int row);
    void SetItemData(int row, std::int64_t data);
    int GetItemImage(int row);
    bool DeleteItem(int row);
    int InsertRow(int row, const QString &text, std::int64_t data, int image = kNoImage);
    bool SetSubItemImage(int row, int column, int image);
    int GetSubItemImage(int row, int column);
    // The image under the last press on the rows: the image of the cell
    // pressed when the press was on it, -1 when it was on the cell's text or
    // on a cell without an image.
    int GetClickedCellImage() const { return m_clickedImage; }
    // Row and column under a point of the viewport; true when both are found.
    bool HitTestCell(const QPoint &point, int &row, int &column) const;
    // Whether a point of the viewport lies on the image its cell shows.
    bool IsOnCellImage(const QPoint &point);
    int GetItemInt(int row, int column);
    void SetStatusImages();

    // Selection and navigation.
    void SelectAll();
    void SelectItem(int row);
    std::int64_t GetSelectedData();
    int GetSelectedCount() const;
    bool IsItemSelected(int row) const;
    int GetCurrentRow() const { return m_currentRow; }
    int FindItemByData(std::int64_t data, bool select);
    int GetNavigationTarget(int command);
    std::int64_t NavigateRecord(int command);
    int MoveSelectedRow(int from, int to, int command = 0);
    // The row shown as the target of a drag (-1 none); one row at a time.
    void SetDropHilited(int row, bool on);
    int GetDropHilitedRow() const { return m_dropHilited; }
    void CaptureDrag(bool on) { m_dragCaptured = on; }

    // Look.
    void SetImageListAndStyle(unsigned imageListId, int mode, int extendedStyle);
    void SetDrawStyle(int mode, std::uint32_t bandColour = 0xFFFFFF, std::uint32_t textColour = 0,
                      int firstImage = kNoImage, int lastImage = kNoImage);
    void SetDefaultImage(int image, bool onChangeOnly = false);
    void SetProgressThreshold(int rows) { m_progressThreshold = rows; }
    void SetDefaultTextWidth(int width) { m_defaultTextWidth = width; }
    // The small-image list of the rows; null when the list shows none.
    const ImageList *imageList() const { return m_imageList; }

    // Totals: per column its heading and its total text.
    QList<QPair<QString, QString>> TotalsRows();
    void ShowTotals();

    // Sorting by a clicked column.
    void OnColumnClick(int column);
    int GetSortColumn() const { return m_sortColumn; }
    bool IsSortDescending() const { return m_descending; }
    int GetSortKind() const { return m_sortKind; }

    QString GetKeyFieldName() const { return m_keyFieldName; }
    int GetKeyColumn() const { return m_keyColumn; }
    // What the list shows: the statement its columns, rows and keys were all
    // read from, and the key hint they were read with (both empty when the
    // list was filled some other way, or not at all). They change only as a
    // whole fill changes the columns and the rows.
    QString GetListedStatement() const { return m_listedStatement; }
    QString GetListedKeyHint() const { return m_listedKeyHint; }
    int GetTimeColumnCount() const { return m_timeColumns; }
    // The list's own recordset on its present query (null before a fill).
    CXRowSource *recordset() const { return m_source.get(); }
    CXListModel *listModel() const { return m_model; }

    // Compares two cell texts by a sort kind (-1, 0, 1).
    static int CompareTexts(const QString &a, const QString &b, int sortKind);

signals:
    // The left button went down on a row and the mouse moved the drag
    // distance away: sent once per press, with the cell and the press point
    // (viewport coordinates). Whoever takes the drag calls CaptureDrag; the
    // list then leaves the mouse to it until the capture ends.
    void beginDrag(int row, int column, const QPoint &point);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void SetupColumns(CXRowSource &source, const QString &keyHint);
    void fill(CXRowSource &source, const QString &keyHint, bool readLater);
    // Fills from a statement or saved query run beside the window (see
    // FillFromUserSql); false when it could not be started (told) or was
    // stopped before it had its columns. savedQuery: a saved query of the
    // user's own, whose last whole number is its rows' key only when it is
    // a table's column (never a count or a maximum the query works out).
    bool fillBeside(const QString &source, const QList<platform::Value> &parameters, const QString &statement,
                    const QString &keyHint, bool savedQuery);
    // Nothing of the last fill stays: no row, no column, no recordset.
    void forgetFill();
    void KeepColumnReadable(int available);
    // Widens the columns to the texts of the rows on screen, each row
    // measured once as it first shows (again: those on screen anew); with
    // share, a list laid out by its columns' own widths gives the room left
    // to its text columns.
    void fitTexts(bool again, bool share);
    // The pixels the lists' drawing of a cell takes beyond the measured
    // width, taken once per style, font and kind of cell from the view's
    // size hint.
    int drawExtra(const QModelIndex &index, const QFont &font, bool decorated, int measured);
    // The width each column's heading and first rows' cells take.
    std::vector<int> contentWidths();
    // Reads up to count records of the pending source; false at its end.
    bool readRecords(int count, class CXProgress *progress = nullptr);
    // One slice of reading the list's own query on behind what shows.
    void readBehind();
    void ensureRow(int row);
    // A field of a record read (Null when there is none) as the column's
    // type reads it, the field as the query gave it, and the text its cell
    // shows.
    platform::Value recordValue(int record, int field) const;
    platform::Value heldValue(int record, int field) const;
    QString recordText(int record, int field) const;
    // Asks for the values of the stored query's parameters; false on cancel.
    bool PromptQueryParameters(const QString &queryName, QList<platform::Value> &values);
    bool hasPending() const { return m_pending != nullptr; }
    // Rows still to be read that take a mark: read on behind the first screen.
    bool readsRowsBehind() const { return m_marker && hasPending(); }
    int digitWidth() const;
    QVariant cellStyle(int row, int column, int role) const;
    void applyColumnWidths();
    // The rows' order by the column's texts (kind, direction), its progress
    // shown on a long list; false when the user stopped it.
    bool sortedOrder(int column, int kind, bool descending, std::vector<int> &order);
    // The fewest letters of a row's text the sort holds.
    static constexpr qsizetype kSortKeyLeast = 32;

    CXListModel *m_model = nullptr;
    std::unique_ptr<CXRowSource> m_source; // the list's own recordset
    class QTimer *m_readTimer = nullptr;   // reads the query on while it has rows to give
    CXRowSource *m_pending = nullptr;      // records still to be read
    RowMarker m_marker;                    // marks the rows as they are read
    int m_expectedRows = 0;                // rows read plus rows still to come
    // Where the rows' cells are read: a source that holds its records (the
    // list's own snapshot), or else the values copied as they were read.
    CXRowSource *m_held = nullptr;
    std::vector<platform::Value> m_copies; // m_sourceFields per record
    int m_sourceFields = 0;
    long m_records = 0;                    // records read so far
    int m_statusColumn = -1;               // rows read take their image from it
    bool m_savedQueryKeys = false;         // the key rule of a user's saved query (fillBeside)
    bool m_fillBounded = false;            // the last fill stopped at the list's bound
    bool m_fillStopped = false;            // the last fill was stopped by the user (fillBeside)
    // Counts the fills begun: a fill that lets the window handle its events
    // (fillBeside) ends at once, touching nothing, when another began meanwhile.
    unsigned m_fillsBegun = 0;
    QString m_listedStatement;
    QString m_listedKeyHint;
    std::size_t m_mostMemory = std::size_t(256) << 20;
    std::size_t m_lastSortHeld = 0;
    // The room each column's texts take (its heading and the rows measured)
    // and which rows were measured.
    std::vector<int> m_textNeed;
    std::vector<bool> m_measured;

    int m_defaultImage = kNoImage;
    int m_currentRow = -1;
    int m_fitMode = kFitNone;
    int m_readableColumn = -1;
    int m_sortColumn = 0;
    int m_prevSortColumn = 0;
    int m_defaultTextWidth = 120;
    int m_sortKind = kSortText;
    int m_progressThreshold = 5000;
    bool m_descending = false;
    bool m_imageOnChange = false;
    QString m_lastImageText;
    bool m_hasImageText = false;
    bool m_selectStar = false;
    int m_drawMode = 0;
    int m_firstImage = kNoImage;
    int m_lastImage = kNoImage;
    std::uint32_t m_textColour = 0;
    std::uint32_t m_bandColour = 0xFFFFFF;
    QString m_widthList;
    QString m_keyFieldName;
    std::vector<CGridCell> m_columns;
    int m_keyColumn = -1;
    int m_timeColumns = 0;

    const ImageList *m_imageList = nullptr;
    int m_imageMode = 0;
    int m_extendedStyle = 0;
    int m_clickedImage = -1;
    int m_dropHilited = -1;
    QPoint m_pressPos;
    int m_pressRow = -1;
    int m_pressColumn = -1;
    bool m_dragNotified = true;
    bool m_dragCaptured = false;
};
