#pragma once

#include <QtCore/QAbstractTableModel>
#include <QtCore/QHash>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The rows of a record list. A row holds no texts of its own: it names the
// record it shows (the list makes a cell's text from the record's value when
// the cell is drawn or asked for), its item data (the record's key) and its
// first cell's image. Texts set on a row and images of its other cells are
// kept beside it, for the few rows that have them. Rows that are still to be
// read are fetched as the view needs them.
class CXListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kNoImage = 255;
    // The item data of a row (the record's key), under Qt::UserRole.
    static constexpr int ItemDataRole = Qt::UserRole;

    // What a few rows carry besides their record: texts set on them (by
    // column) and the images of cells other than the first.
    struct Extra
    {
        QHash<int, QString> texts;
        QHash<int, int> images;
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
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // Rows still to come are read through these; without them nothing is pending.
    void setFetcher(std::function<bool()> canFetch, std::function<void()> fetch);
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
    bool isValidRow(int r) const { return r >= 0 && r < int(m_rows.size()); }
    bool isValidCell(int r, int c) const { return isValidRow(r) && c >= 0 && c < columnCount(); }
    // A cell's text: the one set on it, else its record's.
    QString text(int r, int c) const;
    std::int64_t rowData(int r) const { return m_rows[size_t(r)].data; }
    int record(int r) const { return m_rows[size_t(r)].record; }
    // A cell's image (kNoImage for none).
    int image(int r, int c) const;
    // Inserts a row before r (clamped); returns its index.
    int insertRow(int r, Row row);
    // Appends rows read together in one step.
    void appendRows(std::vector<Row> &&rows);
    void removeRow(int r);
    // Takes a row out of the list (as removeRow) and gives it back.
    Row takeRow(int r);
    void setText(int r, int c, const QString &text);
    void setData(int r, std::int64_t data);
    void setImage(int r, int c, int image);
    // Reorders the rows with a strict weak ordering of their present places.
    void sortRows(const std::function<bool(int, int)> &less);
    // Repaints every row (after a change of the look).
    void refreshAll();

private:
    static Extra &extraOf(Row &row);

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    std::function<bool()> m_canFetch;
    std::function<void()> m_fetch;
    Styler m_styler;
    Texter m_texter;
};
