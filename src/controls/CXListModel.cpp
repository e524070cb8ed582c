#include "controls/CXListModel.h"

#include <algorithm>

CXListModel::CXListModel(QObject *parent) : QAbstractTableModel(parent)
{
}

int CXListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(m_counted, int(m_rows.size()));
}

const CXListModel::Row *CXListModel::readRow(int r) const
{
    if (r < 0)
        return nullptr;
    if (r >= int(m_rows.size()) && r < m_counted && m_reader && !m_reading) {
        m_reading = true;
        m_reader(r);
        m_reading = false;
    }
    return r < int(m_rows.size()) ? &m_rows[size_t(r)] : nullptr;
}

void CXListModel::readAll() const
{
    if (m_counted > int(m_rows.size()))
        readRow(m_counted - 1);
}

void CXListModel::settle()
{
    readAll();
    dropUnread();
}

void CXListModel::setCounted(int rows)
{
    if (rows <= rowCount())
        return;
    beginInsertRows(QModelIndex(), rowCount(), rows - 1);
    m_counted = rows;
    endInsertRows();
}

void CXListModel::stopReading()
{
    if (!hasUnread())
        return;
    // Asked while a row was read for the view (painting, say): the view is
    // told once that has finished.
    if (m_reading)
        QMetaObject::invokeMethod(this, &CXListModel::dropUnread, Qt::QueuedConnection);
    else
        dropUnread();
}

void CXListModel::dropUnread()
{
    const int read = int(m_rows.size());
    if (m_counted <= read) {
        m_counted = 0;
        return;
    }
    beginRemoveRows(QModelIndex(), read, m_counted - 1);
    m_counted = 0;
    endRemoveRows();
}

std::int64_t CXListModel::rowData(int r) const
{
    const Row *row = readRow(r);
    return row ? row->data : 0;
}

int CXListModel::record(int r) const
{
    const Row *row = readRow(r);
    return row ? row->record : -1;
}

int CXListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString CXListModel::text(int r, int c) const
{
    const Row *row = isValidCell(r, c) ? readRow(r) : nullptr;
    if (!row)
        return QString();
    if (row->extra) {
        if (const QString *set = row->extra->texts.find(c))
            return *set;
    }
    return row->record >= 0 && m_texter ? m_texter(row->record, c) : QString();
}

bool CXListModel::hasSetText(int r, int c) const
{
    const Row *row = isValidCell(r, c) ? readRow(r) : nullptr;
    return row && row->extra && row->extra->texts.find(c);
}

int CXListModel::image(int r, int c) const
{
    const Row *row = isValidCell(r, c) ? readRow(r) : nullptr;
    if (!row)
        return kNoImage;
    if (c == 0)
        return row->image;
    const int *set = row->extra ? row->extra->images.find(c) : nullptr;
    return set ? *set : kNoImage;
}

QVariant CXListModel::data(const QModelIndex &index, int role) const
{
    if (!isValidCell(index.row(), index.column()))
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text(index.row(), index.column());
    case ItemDataRole:
        return QVariant::fromValue<qint64>(rowData(index.row()));
    case Qt::TextAlignmentRole: {
        const int align = m_columns[size_t(index.column())].align;
        const Qt::Alignment h = align == 1 ? Qt::AlignRight : align == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    case Qt::DecorationRole:
    case Qt::FontRole:
    case Qt::ForegroundRole:
    case Qt::BackgroundRole:
        return m_styler ? m_styler(index.row(), index.column(), role) : QVariant();
    default:
        return QVariant();
    }
}

QVariant CXListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QVariant();
    const Column &c = m_columns[size_t(section)];
    if (role == Qt::DisplayRole)
        return c.title;
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment h = c.align == 1 ? Qt::AlignRight : c.align == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    if (role == Qt::DecorationRole && c.headerImage >= 0 && m_styler)
        return m_styler(-1, c.headerImage, Qt::DecorationRole);
    return QVariant();
}

Qt::ItemFlags CXListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void CXListModel::clearAll()
{
    beginResetModel();
    m_rows.clear();
    m_counted = 0;
    m_columns.clear();
    endResetModel();
}

int CXListModel::addColumn(const Column &column)
{
    const int c = columnCount();
    beginInsertColumns(QModelIndex(), c, c);
    m_columns.push_back(column);
    // The new column's cells are empty: texts and images set on a column that
    // was there before are dropped, as its cells start anew.
    for (Row &r : m_rows) {
        if (r.extra) {
            r.extra->texts.remove(c);
            r.extra->images.remove(c);
        }
    }
    endInsertColumns();
    return c;
}

void CXListModel::removeAllColumns()
{
    clearAll();
}

void CXListModel::setColumnTitle(int c, const QString &title, int image)
{
    if (c < 0 || c >= columnCount())
        return;
    m_columns[size_t(c)].title = title;
    if (image >= 0)
        m_columns[size_t(c)].headerImage = image;
    emit headerDataChanged(Qt::Horizontal, c, c);
}

void CXListModel::setColumnAlign(int c, int align)
{
    if (c < 0 || c >= columnCount())
        return;
    m_columns[size_t(c)].align = align;
    emit headerDataChanged(Qt::Horizontal, c, c);
    if (!m_rows.empty())
        emit dataChanged(index(0, c), index(rowCount() - 1, c), {Qt::TextAlignmentRole});
}

void CXListModel::clearRows()
{
    if (m_refilling) {
        m_rows.clear();
        m_counted = 0;
        return;
    }
    beginResetModel();
    m_rows.clear();
    m_counted = 0;
    endResetModel();
}

void CXListModel::beginRefill()
{
    if (m_refilling)
        return;
    beginResetModel();
    m_refilling = true;
    m_rows.clear();
    m_counted = 0;
}

void CXListModel::endRefill()
{
    if (!m_refilling)
        return;
    m_refilling = false;
    endResetModel();
}

CXListModel::Extra &CXListModel::extraOf(Row &row)
{
    if (!row.extra)
        row.extra = std::make_unique<Extra>();
    return *row.extra;
}

int CXListModel::insertRow(int r, Row row)
{
    // Places are those of the whole list: the rows still to come are read first.
    settle();
    r = std::clamp(r, 0, rowCount());
    if (m_refilling) {
        m_rows.insert(m_rows.begin() + r, std::move(row));
        return r;
    }
    beginInsertRows(QModelIndex(), r, r);
    m_rows.insert(m_rows.begin() + r, std::move(row));
    endInsertRows();
    return r;
}

void CXListModel::appendRows(std::vector<Row> &&rows)
{
    if (rows.empty())
        return;
    // Rows counted before are already shown: only rows past them are new.
    const int shown = rowCount();
    const int after = int(m_rows.size() + rows.size());
    if (after > shown)
        beginInsertRows(QModelIndex(), shown, after - 1);
    if (m_rows.empty()) {
        m_rows = std::move(rows);
    } else {
        // Room for the rows counted, or twice the room there is: rows read
        // page after page move each row a few times at most, never once a page.
        const size_t wanted = m_rows.size() + rows.size();
        if (wanted > m_rows.capacity())
            m_rows.reserve(std::max({wanted, size_t(std::max(m_counted, 0)), 2 * m_rows.capacity()}));
        std::move(rows.begin(), rows.end(), std::back_inserter(m_rows));
    }
    if (after > shown)
        endInsertRows();
    rows.clear();
}

void CXListModel::removeRow(int r)
{
    takeRow(r);
}

CXListModel::Row CXListModel::takeRow(int r)
{
    settle();
    if (r < 0 || r >= int(m_rows.size()))
        return Row();
    beginRemoveRows(QModelIndex(), r, r);
    Row row = std::move(m_rows[size_t(r)]);
    m_rows.erase(m_rows.begin() + r);
    endRemoveRows();
    return row;
}

void CXListModel::setText(int r, int c, const QString &text)
{
    Row *row = isValidCell(r, c) ? readRow(r) : nullptr;
    if (!row)
        return;
    extraOf(*row).texts.insert(c, text);
    if (m_refilling)
        return;
    const QModelIndex i = index(r, c);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void CXListModel::setData(int r, std::int64_t data)
{
    if (Row *row = readRow(r))
        row->data = data;
}

void CXListModel::setImage(int r, int c, int image)
{
    Row *read = isValidCell(r, c) ? readRow(r) : nullptr;
    if (!read)
        return;
    Row &row = *read;
    if (c == 0)
        row.image = image;
    else if (image != kNoImage || (row.extra && row.extra->images.contains(c)))
        extraOf(row).images.insert(c, image);
    if (m_refilling)
        return;
    // The first cell's image decides how the whole row is drawn.
    emit dataChanged(index(r, c == 0 ? 0 : c), index(r, c == 0 ? columnCount() - 1 : c));
}

void CXListModel::sortRows(const std::function<bool(int, int)> &less)
{
    settle();
    std::vector<int> order(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), less);
    orderRows(order);
}

void CXListModel::orderRows(const std::vector<int> &order)
{
    settle();
    if (order.size() != m_rows.size())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    // Persistent indexes follow their rows through the sort.
    std::vector<int> newPlace(order.size());
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newPlace[size_t(order[i])] = int(i);
        sorted.push_back(std::move(m_rows[size_t(order[i])]));
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before)
        after.append(i.isValid() && isValidRow(i.row()) ? index(newPlace[size_t(i.row())], i.column()) : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CXListModel::refreshAll()
{
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}
