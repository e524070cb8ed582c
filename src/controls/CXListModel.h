#pragma once

#include <QtCore/QAbstractTableModel>
#include <QtCore/QHash>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// The rows of a record list. A row holds no texts of its own: it names the
// record it shows (the list makes a cell's text from the record's value when
// the cell is drawn or asked for), its item data (the record's key) and its
// first cell's image. Texts set on a row and images of its other cells are
// kept beside it, for the few rows that have them.
//
// A list may be counted before its rows are read: the model then shows every
// counted row at once (the scroll bar, the last row and a row's place are
// right from the start) and has a row read, with every row before it, the
// first time anything asks for it.
class CXListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kNoImage = 255;
    // The item data of a row (the record's key), under Qt::UserRole.
    static constexpr int ItemDataRole = Qt::UserRole;

    // What a few rows carry besides their record: texts set on them (by
    // column) and the images of cells other than the first.
    // The few cells of a row that carry something, by column (a short list,
    // searched in turn: a row has a dozen columns at most).
    template <typename T> class Cells
    {
    public:
        const T *find(int column) const
        {
            for (const auto &cell : m_cells)
                if (cell.first == column)
                    return &cell.second;
            return nullptr;
        }
        bool contains(int column) const { return find(column) != nullptr; }
        void insert(int column, T value)
        {
            for (auto &cell : m_cells)
                if (cell.first == column) {
                    cell.second = std::move(value);
                    return;
                }
            if (m_cells.empty())
                m_cells.reserve(6);
            m_cells.emplace_back(column, std::move(value));
        }
        void remove(int column)
        {
            for (auto i = m_cells.begin(); i != m_cells.end(); ++i)
                if (i->first == column) {
                    m_cells.erase(i);
                    return;
                }
        }

    private:
        std::vector<std::pair<int, T>> m_cells;
    };
    struct Extra
    {
        Cells<QString> texts;
        Cells<int> images;
    };
    struct Row
    {
        std::int32_t record = -1;      // the list's record it shows; -1 for none
        std::int32_t image = kNoImage; // the first cell's image
        std::int64_t data = 0;
        std::unique_ptr<Extra> extra;
    };
    struct Column
    {
        QString title;
        int align = 0;           // 0 left, 1 right, 2 centre
        int headerImage = -1;
    };

    explicit CXListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Rows counted but not read yet are read through the reader, which
    // appends (appendRows) at least the rows up to the one asked for.
    using Reader = std::function<void(int row)>;
    void setReader(Reader reader) { m_reader = std::move(reader); }
    // Counts rows still to be read (shown at once); the list then holds that many.
    void setCounted(int rows);
    // The rows read so far (the first of them, in the list's order).
    int rowsRead() const { return int(m_rows.size()); }
    bool hasUnread() const { return m_counted > int(m_rows.size()); }
    // Reading stopped: the counted rows that were not read leave the list.
    void stopReading();
    // Colours, fonts and images of a cell come from the list control.
    using Styler = std::function<QVariant(int row, int column, int role)>;
    void setStyler(Styler styler) { m_styler = std::move(styler); }
    // The text of a record's cell, from the list control.
    using Texter = std::function<QString(int record, int column)>;
    void setTexter(Texter texter) { m_texter = std::move(texter); }

    // Columns.
    void clearAll();
    int addColumn(const Column &column);
    void removeAllColumns();
    const Column &column(int c) const { return m_columns[size_t(c)]; }
    void setColumnTitle(int c, const QString &title, int image);
    void setColumnAlign(int c, int align);

    // Rows.
    void clearRows();
    // A refill: the rows are cleared and the rows then inserted and set are
    // not told to the view one by one; endRefill tells it once that the list
    // is new (a model reset), as clearRows would have.
    void beginRefill();
    void endRefill();
    bool isValidRow(int r) const { return r >= 0 && r < rowCount(); }
    bool isValidCell(int r, int c) const { return isValidRow(r) && c >= 0 && c < columnCount(); }
    // A cell's text: the one set on it, else its record's.
    QString text(int r, int c) const;
    // Whether the cell has a text of its own set on it (not its record's).
    bool hasSetText(int r, int c) const;
    std::int64_t rowData(int r) const;
    int record(int r) const;
    // A cell's image (kNoImage for none).
    int image(int r, int c) const;
    // Inserts a row before r (clamped); returns its index.
    int insertRow(int r, Row row);
    // Appends rows read together in one step (those already counted show no change).
    void appendRows(std::vector<Row> &&rows);
    void removeRow(int r);
    // Takes a row out of the list (as removeRow) and gives it back.
    Row takeRow(int r);
    void setText(int r, int c, const QString &text);
    void setData(int r, std::int64_t data);
    void setImage(int r, int c, int image);
    // Reorders the rows with a strict weak ordering of their present places.
    void sortRows(const std::function<bool(int, int)> &less);
    // Puts the rows in the order given (order[i]: the row that comes i-th);
    // persistent indexes follow their rows.
    void orderRows(const std::vector<int> &order);
    // Repaints every row (after a change of the look).
    void refreshAll();

private:
    static Extra &extraOf(Row &row);
    // The row read, reading it first when it is counted but unread; null
    // when it cannot be read.
    const Row *readRow(int r) const;
    Row *readRow(int r) { return const_cast<Row *>(std::as_const(*this).readRow(r)); }
    void readAll() const;
    // Before rows are inserted, taken or reordered: every row is read, and
    // any that cannot be are dropped.
    void settle();
    // Drops the counted rows past those read (with the view told).
    void dropUnread();

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    bool m_refilling = false;
    int m_counted = 0; // rows shown; more than m_rows while some are still to be read
    Reader m_reader;
    mutable bool m_reading = false;
    Styler m_styler;
    Texter m_texter;
};
