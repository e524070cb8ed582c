#pragma once

#include <QtCore/QAbstractTableModel>
#include <QtCore/QStringList>

#include <cstdint>
#include <functional>
#include <vector>

// The rows of a record list: per row its cell texts, its item data (the
// record's key) and an image per cell (the first cell's image is the row's
// image). Rows that are still to be read are fetched as the view needs them.
class CXListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kNoImage = 255;
    // The item data of a row (the record's key), under Qt::UserRole.
    static constexpr int ItemDataRole = Qt::UserRole;

    struct Row
    {
        QStringList texts;       // one per column
        std::int64_t data = 0;
        std::vector<int> images; // one per column; kNoImage for none
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

    // Columns.
    void clearAll();
    int addColumn(const Column &column);
    void removeAllColumns();
    const Column &column(int c) const { return m_columns[size_t(c)]; }
    void setColumnTitle(int c, const QString &title, int image);
    void setColumnAlign(int c, int align);

    // Rows.
    void clearRows();
    const Row &row(int r) const { return m_rows[size_t(r)]; }
    bool isValidRow(int r) const { return r >= 0 && r < int(m_rows.size()); }
    bool isValidCell(int r, int c) const { return isValidRow(r) && c >= 0 && c < columnCount(); }
    // Inserts a row before r (clamped); returns its index.
    int insertRow(int r, Row row);
    // Appends rows read together in one step.
    void appendRows(std::vector<Row> &&rows);
    void removeRow(int r);
    void setText(int r, int c, const QString &text);
    void setData(int r, std::int64_t data);
    void setImage(int r, int c, int image);
    // Reorders the rows with a strict weak ordering.
    void sortRows(const std::function<bool(const Row &, const Row &)> &less);
    // Repaints every row (after a change of the look).
    void refreshAll();

private:
    Row makeRow(Row row) const;

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    std::function<bool()> m_canFetch;
    std::function<void()> m_fetch;
    Styler m_styler;
};
