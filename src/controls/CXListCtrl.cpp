#include "app/base/WaitCursor.h"
#include "controls/CXListCtrl.h"

#include "controls/CColumnAlias.h"
#include "controls/CXListModel.h"
#include "controls/CXProgress.h"
#include "controls/CXRecordsetSource.h"
#include "controls/CXRowSource.h"
#include "controls/ListWork.h"

#include "app/base/Appearance.h"
#include "app/base/Colours.h"
#include "app/base/ImageList.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "data/QueryParameterPrompt.h"
#include "data/SharedDatabase.h"
#include "platform/DateTime.h"
#include "platform/Money.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QHash>
#include <QtCore/QTimer>
#include <QtGui/QClipboard>
#include <QtGui/QCursor>
#include <QtGui/QFontMetrics>
#include <QtGui/QResizeEvent>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionViewItem>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Rows read at once when the list first shows, and at each later step.
constexpr int kFirstPage = 256;
constexpr int kNextPage = 1024;
// Rows read on behind the first screen at a time when they take a mark.
constexpr int kMarkedPage = 128;
// The longest slice of reading a query on behind the first screen: the
// user's keys and clicks wait at most about this long.
constexpr int kReadSliceMs = 8;
// A statement read beside the window: how long it may take before its
// progress window shows, and how long the window's thread waits for its
// rows between two passes over the window's events.
constexpr int kBesideQuietMs = 300;
constexpr int kBesideWaitMs = 40;
// The longest the list reads the rows it holds before it lets the window
// handle its events again.
constexpr int kBesideSliceMs = 60;
// What the view keeps of each row it shows, besides the list's own.
constexpr std::size_t kViewBytesPerRow = 40;

// Turns painting off for a scope and back on at its end.
class NoRedraw
{
public:
    explicit NoRedraw(QWidget *w) : m_w(w), m_was(w->updatesEnabled()) { m_w->setUpdatesEnabled(false); }
    ~NoRedraw() { m_w->setUpdatesEnabled(m_was); }

private:
    QWidget *m_w;
    bool m_was;
};

// A query that failed before giving every row: the rows read stay.
void tellReadFailure(const platform::DbException &e)
{
    platform::Prompt::messageBox(QStringLiteral("The list could not be read to its end:\n\n%1").arg(e.description()),
                                 QString(), platform::MB_ICONEXCLAMATION);
}

// Two different texts of the same number or date: by the text, so that the
// order is the same however the rows are compared.
int compareSameTexts(const QString &a, const QString &b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    if (c != 0)
        return c < 0 ? -1 : 1;
    const int exact = a.compare(b);
    return exact < 0 ? -1 : exact > 0 ? 1 : 0;
}

QColor colour(std::uint32_t colourRef)
{
    return ColorRefToQColor(ColorRef(colourRef));
}

} // namespace

CXListCtrl::CXListCtrl(QWidget *parent) : QTreeView(parent), m_model(new CXListModel(this))
{
    setModel(m_model);
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(0);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(true);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header(), &QHeaderView::sectionClicked, this, &CXListCtrl::OnColumnClick);
    connect(header(), &QHeaderView::sectionResized, this, [this](int c, int, int size) {
        if (c >= 0 && c < GetColumnCount())
            m_columns[size_t(c)].m_width = size;
    });
    m_model->setStyler([this](int row, int column, int role) { return cellStyle(row, column, role); });
    m_model->setReader([this](int row) { ensureRow(row); });
    m_model->setTexter([this](int record, int column) { return recordText(record, column); });
    m_readTimer = new QTimer(this);
    m_readTimer->setInterval(0);
    connect(m_readTimer, &QTimer::timeout, this, &CXListCtrl::readBehind);
}

CXListCtrl::~CXListCtrl()
{
    // The model outlives this part of the list: it must not call back into it.
    m_pending = nullptr;
    m_held = nullptr;
    m_model->setStyler({});
    m_model->setReader({});
    m_model->setTexter({});
}

// --- Filling ------------------------------------------------------------------

void CXListCtrl::ClearList(bool redraw)
{
    WaitCursor wait;
    ++m_fillsBegun;
    {
        NoRedraw off(this);
        m_pending = nullptr;
        m_fillStopped = false;
        m_fillBounded = false;
        m_expectedRows = 0;
        m_model->clearRows();
        m_held = nullptr;
        m_copies = {};
        m_sourceFields = 0;
        m_records = 0;
        m_statusColumn = -1;
        m_currentRow = -1;
        m_dropHilited = -1;
        m_selectStar = false;
        m_timeColumns = 0;
        m_textNeed.clear();
        m_measured.clear();
    }
    if (redraw)
        viewport()->update();
}

void CXListCtrl::forgetFill()
{
    ClearList(false);
    m_source.reset();
    m_model->clearAll();
    m_columns.clear();
    m_keyColumn = -1;
    m_keyFieldName.clear();
    m_listedStatement.clear();
    m_listedKeyHint.clear();
    viewport()->update();
}

void CXListCtrl::BeginRefill()
{
    m_model->beginRefill();
    ClearList(false);
    // Rows made one by one are no query's.
    m_listedStatement.clear();
    m_listedKeyHint.clear();
}

void CXListCtrl::EndRefill()
{
    m_model->endRefill();
}

void CXListCtrl::SetSort(int column, bool descending)
{
    m_sortColumn = column;
    m_descending = descending;
}

int CXListCtrl::digitWidth() const
{
    return std::max(1, QFontMetrics(font()).horizontalAdvance(QLatin1Char('9')));
}

void CXListCtrl::SetupColumns(CXRowSource &source, const QString &keyHint)
{
    m_model->clearAll();
    m_columns.clear();
    m_keyFieldName.clear();
    m_keyColumn = -1;
    m_timeColumns = 0;
    m_textNeed.clear();
    m_measured.clear();
    if (!source.isOpen())
        return;

    const int w = digitWidth();
    const int fields = source.fieldCount();

    // The key column, chosen on the fields as the query names and types them.
    if (keyHint == QLatin1String("x")) {
        m_keyColumn = -1;
    } else if (keyHint == QLatin1String("z")) {
        m_keyColumn = fields - 1;
    } else if (keyHint.isEmpty()) {
        const platform::FieldType t = fields > 0 ? source.fieldType(fields - 1) : platform::FieldType::Empty;
        // In a user's saved query a number the query works out (a count, a
        // maximum) is what the user asked to see, never a record's key;
        // unless its name hides it.
        const bool shown = m_savedQueryKeys && fields > 0 && source.fieldIsComputed(fields - 1)
                           && !source.fieldName(fields - 1).contains(QLatin1String("HIDE"), Qt::CaseInsensitive);
        if ((t == platform::FieldType::Long || t == platform::FieldType::Byte) && !shown)
            m_keyColumn = fields - 1;
    } else {
        for (int f = 0; f < fields; ++f) {
            if (source.fieldName(f).contains(keyHint, Qt::CaseInsensitive)) {
                m_keyColumn = f;
                break;
            }
        }
    }
    if (m_keyColumn >= 0)
        m_keyFieldName = source.fieldName(m_keyColumn);

    for (int f = 0; f < fields; ++f) {
        CColumnAlias::ListColumn c = CColumnAlias::ForList(source.fieldName(f), int(source.fieldType(f)),
                                                           source.fieldSize(f), w, m_defaultTextWidth);
        if (f == 0)
            c.width += m_imageList ? w + 18 : 10;
        if (f == m_keyColumn && f == fields - 1)
            c.width = 0;
        if (c.hidden)
            c.width = 0;
        m_model->addColumn({c.title, c.align, -1});
        CGridCell cell(f, c.title, c.width, c.type, c.align == 1 ? 1 : c.align == 2 ? 2 : 0);
        if (CGridCell::TakesNoSum(c.title)) {
            if (f != 0)
                cell.m_totalMode = CGridCell::TotalNone;
        } else if (c.type == CColumnAlias::TypeCurrency) {
            cell.m_totalMode = CGridCell::TotalListMoney;
        } else if (c.type == CColumnAlias::TypeLong && c.title.contains(QLatin1String("Time"))) {
            cell.m_totalMode = CGridCell::TotalMinutes;
            ++m_timeColumns;
        } else if (c.title.contains(QLatin1String("Count"))) {
            cell.m_totalMode = CGridCell::TotalListCount;
        }
        m_columns.push_back(cell);
    }
    applyColumnWidths();
}

void CXListCtrl::applyColumnWidths()
{
    for (int c = 0; c < GetColumnCount(); ++c)
        header()->resizeSection(c, m_columns[size_t(c)].m_width);
}

void CXListCtrl::FillFromRecordset(CXRowSource &source, const QString &keyHint)
{
    fill(source, keyHint, false);
}

void CXListCtrl::fill(CXRowSource &source, const QString &keyHint, bool readLater)
{
    ClearList(true);
    m_listedStatement.clear();
    m_listedKeyHint.clear();
    if (!source.isOpen())
        return;
    WaitCursor wait;
    {
        NoRedraw off(this);
        // The columns, the rows and their keys all come from this source.
        m_listedStatement = source.statement().trimmed();
        m_listedKeyHint = keyHint;
        m_selectStar = source.statement().contains(QLatin1String("SELECT * "));
        m_lastImageText.clear();
        m_hasImageText = false;
        SetupColumns(source, keyHint);
        if (source.isEmpty()) {
            AutoSizeColumns();
            return;
        }
        const long count = source.countRecords();
        m_expectedRows = int(std::min<long>(count, INT_MAX));
        m_pending = &source;
        // The list's own snapshot outlives its rows; a caller's source is copied.
        m_held = &source == m_source.get() && source.holdsRecords() ? &source : nullptr;
        m_sourceFields = source.fieldCount();
        try {
            source.moveFirst();
        } catch (const platform::DbException &) {
            m_pending = nullptr;
            m_expectedRows = 0;
            return;
        }
        if (readLater) {
            readRecords(kFirstPage);
            // Every row shows from the start; a row is read when it is first needed.
            if (hasPending())
                m_model->setCounted(m_expectedRows);
            // The query gives the rest behind the first screen, and the rows
            // are read on there too when they take a mark.
            if (source.isReading() || readsRowsBehind())
                m_readTimer->start();
        } else {
            FetchAll();
        }
        SelectItem(0);
        AutoSizeColumns();
    }
    viewport()->update();
}

void CXListCtrl::FetchAll()
{
    if (!hasPending())
        return;
    const int remaining = m_expectedRows - m_model->rowsRead();
    std::unique_ptr<CXProgress> progress;
    if (remaining > m_progressThreshold) {
        progress = CXProgress::Create();
        progress->Start(m_expectedRows, QStringLiteral("Filling the list: %s rows."), true, true);
    }
    WaitCursor wait;
    while (readRecords(kNextPage, progress.get())) {
    }
}

bool CXListCtrl::readRecords(int count, CXProgress *progress)
{
    if (!m_pending)
        return false;
    const int fields = std::min(m_sourceFields, GetColumnCount());
    std::vector<CXListModel::Row> batch;
    batch.reserve(size_t(std::min(count, 4096)));
    bool stop = false;
    bool atEnd = false;
    try {
        for (int n = 0; n < count; ++n) {
            // The next record: where the source holds it, or copied from it.
            if (m_held) {
                if (m_records >= m_held->heldCount()) {
                    // Past the records the query has given so far: it
                    // gives more now (or tells what stopped it).
                    m_held->readMore(std::max(kNextPage, count - n));
                    if (m_records >= m_held->heldCount()) {
                        // A source read beside may give more later.
                        atEnd = !m_held->isReading();
                        break;
                    }
                }
            } else {
                if (m_pending->isEOF()) {
                    atEnd = true;
                    break;
                }
                for (int f = 0; f < m_sourceFields; ++f)
                    m_copies.push_back(m_pending->value(f));
            }
            const int record = int(m_records);
            CXListModel::Row row;
            row.record = record;
            row.data = m_model->rowsRead() + std::int64_t(batch.size());
            // The key and the totals read their fields' values; the texts are
            // made when the rows are shown.
            for (int f = 0; f < fields; ++f) {
                CGridCell &cell = m_columns[size_t(f)];
                const bool totalled = cell.m_totalMode != CGridCell::TotalNone;
                if (!totalled && f != m_keyColumn)
                    continue;
                const platform::Value v = recordValue(record, f);
                if (totalled) {
                    std::int64_t amount = 0;
                    switch (v.isNull() ? platform::FieldType::Empty : v.type()) {
                    case platform::FieldType::Byte:
                    case platform::FieldType::Integer:
                    case platform::FieldType::Long:
                        amount = v.toInt64();
                        break;
                    case platform::FieldType::Single:
                    case platform::FieldType::Double:
                        amount = std::int64_t(std::trunc(v.toDouble()));
                        break;
                    case platform::FieldType::Currency:
                        amount = v.toMoney().units();
                        break;
                    default:
                        break;
                    }
                    cell.addToTotal(amount);
                }
                if (f == m_keyColumn)
                    row.data = v.type() == platform::FieldType::Byte ? (v.toInt64() & 0xFF) : v.toInt64();
            }
            if (fields > 0) {
                int image = m_defaultImage;
                if (m_imageOnChange) {
                    // Only a row that starts a new first-column text takes the image.
                    const QString text = recordText(record, 0);
                    if (m_hasImageText && text == m_lastImageText) {
                        image = kNoImage;
                    } else {
                        m_lastImageText = text;
                        m_hasImageText = true;
                    }
                }
                if (m_statusColumn >= 0 && m_statusColumn < fields) {
                    const int status = ToInt(recordText(record, m_statusColumn));
                    image = status == 1 ? 25 : status == 2 ? 28 : status == 3 ? 26 : 24;
                }
                row.image = image;
            }
            batch.push_back(std::move(row));
            ++m_records;
            if (!m_held)
                m_pending->moveNext();
            if (progress && !progress->Step()) {
                stop = true;
                break;
            }
        }
    } catch (const platform::DbException &e) {
        tellReadFailure(e);
        stop = true;
    }
    const int firstRow = m_model->rowsRead();
    const int rowsAdded = int(batch.size());
    m_model->appendRows(std::move(batch));
    if (m_marker && rowsAdded > 0)
        m_marker(firstRow, rowsAdded);
    if (!stop && !atEnd)
        atEnd = m_held ? m_records >= m_held->heldCount() && !m_held->isReading() : m_pending->isEOF();
    if (stop || atEnd) {
        m_pending = nullptr;
        // Rows counted that could not be read leave the list.
        m_model->stopReading();
        m_expectedRows = m_model->rowsRead();
    }
    return m_pending != nullptr;
}

platform::Value CXListCtrl::recordValue(int record, int field) const
{
    platform::Value v = heldValue(record, field);
    if (v.isNull() || !platform::isTextType(v.type()) || field >= int(m_columns.size()))
        return v;
    // A text that the query's alias types as money or a date (a computed
    // column) is read as one: shown, sorted and totalled like a stored one.
    const int type = m_columns[size_t(field)].m_fieldType;
    if (type == CColumnAlias::TypeCurrency) {
        const Money amount = Money::fromText(v.toString().trimmed());
        if (amount.isValid())
            return platform::Value(amount);
    } else if (type == CColumnAlias::TypeDate) {
        const QString text = v.toString().trimmed();
        DateTime date = DateTime::fromText(text);
        if (!date.isValid()) {
            const QDate iso = QDate::fromString(text.left(10), Qt::ISODate);
            if (iso.isValid())
                date = DateTime::fromDate(iso);
        }
        if (date.isValid())
            return platform::Value(date);
    }
    return v;
}

platform::Value CXListCtrl::heldValue(int record, int field) const
{
    if (record < 0 || field < 0 || field >= m_sourceFields)
        return platform::Value();
    if (m_held) {
        if (record >= m_held->heldCount())
            return platform::Value();
        try {
            return m_held->valueAt(record, field);
        } catch (const platform::DbException &) {
            return platform::Value();
        }
    }
    const size_t at = size_t(record) * size_t(m_sourceFields) + size_t(field);
    return at < m_copies.size() ? m_copies[at] : platform::Value();
}

QString CXListCtrl::recordText(int record, int field) const
{
    if (field < 0 || field >= m_sourceFields)
        return QString();
    QString text = CXRowSource::ValueText(recordValue(record, field));
    if (field < GetColumnCount() && m_columns[size_t(field)].m_totalMode == CGridCell::TotalMinutes)
        text = MinutesToText(ToInt(text));
    return text;
}

void CXListCtrl::readBehind()
{
    CXRowSource *source = m_source.get();
    const bool marking = readsRowsBehind();
    if (!marking && (!source || !source->isReading())) {
        m_readTimer->stop();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    if (marking) {
        // Rows read are marked; reading them reads the query on as needed
        // (a failure is told and ends the list where it is).
        while (readRecords(kMarkedPage) && slice.elapsed() < kReadSliceMs) {
        }
    } else {
        try {
            while (source->readMore(kNextPage) && slice.elapsed() < kReadSliceMs) {
            }
        } catch (const platform::DbException &e) {
            // The rows the query gave stay; the list ends with them.
            m_readTimer->stop();
            tellReadFailure(e);
        }
    }
    if (!readsRowsBehind() && (!source || !source->isReading()))
        m_readTimer->stop();
}

void CXListCtrl::ensureRow(int row)
{
    while (hasPending() && row >= m_model->rowsRead()) {
        const int before = m_model->rowsRead();
        if (!readRecords(std::max(kNextPage, row + 1 - m_model->rowsRead())) || m_model->rowsRead() == before)
            break;
    }
}

// --- Columns ------------------------------------------------------------------

int CXListCtrl::AddColumn(const QString &heading, int width, int type, bool reset, int format, std::uint8_t flag0,
                          std::uint8_t flag1)
{
    if (reset) {
        ++m_fillsBegun;
        m_listedStatement.clear();
        m_listedKeyHint.clear();
        m_pending = nullptr;
        m_expectedRows = 0;
        m_model->clearAll();
        m_columns.clear();
        m_held = nullptr;
        m_copies = {};
        m_sourceFields = 0;
        m_records = 0;
        m_statusColumn = -1;
    }
    if (format == -1)
        format = (type == CColumnAlias::TypeDate || type == CColumnAlias::TypeText) ? 0 : 1;
    // A shown date column holds a whole date in the list's font, and the
    // date's icon when the list shows images, whatever width its caller
    // thought of.
    if (type == CColumnAlias::TypeDate && width > 0) {
        const int icon = m_imageList ? m_imageList->iconSize().width() + 6 : 0;
        width = std::max(width, QFontMetrics(font()).horizontalAdvance(QStringLiteral("00/00/0000")) + 16 + icon);
    }
    const int c = m_model->addColumn({heading, format == 1 ? 1 : format == 2 ? 2 : 0, -1});
    CGridCell cell(c, heading, width, type, format);
    cell.m_flag0 = flag0;
    cell.m_flag1 = flag1;
    m_columns.push_back(cell);
    header()->resizeSection(c, width);
    return c;
}

int CXListCtrl::FindColumn(const QString &heading) const
{
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (m_model->column(c).title == heading)
            return c;
    }
    return -1;
}

QString CXListCtrl::GetColumnText(int column) const
{
    if (column < 0 || column >= m_model->columnCount())
        return QString();
    return m_model->column(column).title.left(520);
}

void CXListCtrl::SetColumnText(int column, const QString &heading, int image)
{
    m_model->setColumnTitle(column, heading, image);
    if (column >= 0 && column < GetColumnCount())
        m_columns[size_t(column)].m_title = heading;
}

void CXListCtrl::SetColumnAlign(int column, int align)
{
    m_model->setColumnAlign(column, align);
}

int CXListCtrl::GetColumnAlign(int column) const
{
    if (column < 0 || column >= m_model->columnCount())
        return -1;
    return m_model->column(column).align;
}

void CXListCtrl::SetColumnFlags(int column, std::uint8_t flag0, std::uint8_t flag1)
{
    if (column < 0 || column >= GetColumnCount())
        return;
    m_columns[size_t(column)].m_flag0 = flag0;
    m_columns[size_t(column)].m_flag1 = flag1;
    m_model->refreshAll();
}

int CXListCtrl::GetColumnWidth(int column) const
{
    if (column < 0 || column >= m_model->columnCount())
        return 0;
    return header()->sectionSize(column);
}

void CXListCtrl::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= m_model->columnCount())
        return;
    header()->resizeSection(column, std::max(width, 0));
}

void CXListCtrl::SetAutoSizeMode(int mode, bool apply)
{
    m_fitMode = mode;
    if (apply)
        AutoSizeColumns();
}

void CXListCtrl::AutoSizeColumns()
{
    if (m_selectStar)
        return;
    if (m_fitMode == kFitNone) {
        KeepTextsWhole();
        return;
    }
    const int n = GetColumnCount();
    if (n == 0)
        return;
    WaitCursor wait;
    NoRedraw off(this);
    int available = viewport()->width() - 20;
    if (frameShape() != QFrame::NoFrame)
        available -= 6;
    if (m_fitMode == kFitSpread) {
        int sum = 0;
        for (int c = 0; c < n; ++c)
            sum += GetColumnWidth(c);
        if (sum > 0) {
            const double factor = std::min(double(available) / double(sum), 2.0);
            // Narrowed to fit, a column keeps what its texts take (up to its
            // own width): too many columns scroll rather than cut dates and
            // names.
            const std::vector<int> content = factor < 1.0 ? contentWidths() : std::vector<int>(size_t(n), 0);
            for (int c = 0; c < n; ++c) {
                const int width = GetColumnWidth(c);
                SetColumnWidth(c, std::max(int(width * factor), std::min(content[size_t(c)], width)));
            }
            KeepColumnReadable(available);
        }
    } else if (m_fitMode == kFitWidthList) {
        const QStringList parts = m_widthList.split(QLatin1Char(','));
        // Only the texts followed by a comma are widths.
        for (int c = 0; c < n && c < parts.size() - 1; ++c)
            SetColumnWidth(c, ToInt(parts.at(c)));
    } else if (m_fitMode >= 0 && m_fitMode < n) {
        int others = 0;
        for (int c = 0; c < n; ++c) {
            if (c != m_fitMode)
                others += GetColumnWidth(c);
        }
        const int rest = available - others;
        if (rest > 20)
            SetColumnWidth(m_fitMode, rest);
    }
    if (m_fitMode != kFitWidthList)
        KeepTextsWhole();
}

int CXListCtrl::cellTextWidth(const QFontMetrics &metrics, const QString &text)
{
    // A cell draws its tabs at the item views' stops, every 80 pixels.
    constexpr int kTabStop = 80;
    if (!text.contains(QLatin1Char('\t')))
        return metrics.horizontalAdvance(text);
    return metrics.boundingRect(QRect(0, 0, 1000000, 1000), Qt::TextExpandTabs | Qt::TextSingleLine, text, kTabStop)
        .width();
}

void CXListCtrl::resizeEvent(QResizeEvent *event)
{
    QTreeView::resizeEvent(event);
    // Rows that came on screen are measured; a list laid out by its
    // columns' own widths gives the room it gained to its text columns.
    if (event->size() != event->oldSize() && GetColumnCount() > 0)
        fitTexts(false, event->size().width() != event->oldSize().width());
}

void CXListCtrl::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    // The rows it shows now take their room.
    if (GetColumnCount() > 0)
        fitTexts(false, false);
}

void CXListCtrl::scrollContentsBy(int dx, int dy)
{
    QTreeView::scrollContentsBy(dx, dy);
    // The rows scrolled into sight take their room as they show.
    if (dy != 0 && GetColumnCount() > 0)
        fitTexts(false, false);
}

void CXListCtrl::changeEvent(QEvent *event)
{
    QTreeView::changeEvent(event);
    // Another font or style measures every text again.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_textNeed.clear();
        m_measured.clear();
    }
}

void CXListCtrl::KeepTextsWhole()
{
    fitTexts(true, true);
}

int CXListCtrl::drawExtra(const QModelIndex &index, const QFont &font, bool decorated, int measured)
{
    // What the lists' drawing adds to a text's width beyond what is counted
    // here (its layout's rounding, the picture's spacing), taken once from
    // the view's own size hint for each style, font and kind of cell, and
    // kept for every list.
    static QHash<QString, int> extras;
    const QString key = style()->name() + QLatin1Char('|') + font.key() + QLatin1Char('|') +
                        QString::number(decorated ? iconSize().width() : -1) +
                        (index.column() == 0 && rootIsDecorated() ? QLatin1String("|i") : QLatin1String("|-"));
    const auto found = extras.constFind(key);
    if (found != extras.constEnd())
        return found.value();
    const int extra = std::max(0, sizeHintForIndex(index).width() + 2 - measured);
    extras.insert(key, extra);
    return extra;
}

void CXListCtrl::fitTexts(bool again, bool share)
{
    const int n = GetColumnCount();
    if (n == 0 || m_selectStar || m_fitMode == kFitWidthList)
        return;
    const QFontMetrics metrics(font());
    // The widths of texts in the lists' font, kept across fills.
    static struct
    {
        QString font;
        QHash<QString, int> advances;
    } measured;
    if (const QString key = font().key(); key != measured.font) {
        measured.font = key;
        measured.advances.clear();
    }
    // In the list's own font a text is measured once: a list filled again
    // shows mostly the texts it showed.
    const auto measure = [&metrics](const QString &text) {
        QHash<QString, int> &advances = measured.advances;
        const auto known = advances.constFind(text);
        if (known != advances.constEnd())
            return known.value();
        const int advance = cellTextWidth(metrics, text);
        if (advances.size() >= 8192)
            advances.clear();
        advances.insert(text, advance);
        return advance;
    };
    const bool known = int(m_textNeed.size()) == n;
    if (!known) {
        // The headings: a heading of several lines takes its widest line.
        m_textNeed.assign(size_t(n), 0);
        const int headingMargins = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 2;
        for (int c = 0; c < n; ++c) {
            int heading = 0;
            for (const QString &line :
                 m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().split(QLatin1Char('\n')))
                heading = std::max(heading, measure(line));
            m_textNeed[size_t(c)] = heading + headingMargins;
        }
    }
    // The rows on screen, each measured once as it first shows (again
    // measures those on screen anew: their texts may have changed). A list
    // not shown yet measures the rows its height would show; it measures
    // again as it shows.
    const int read = m_model->rowsRead();
    int top = 0;
    int shown = viewport()->height() / std::max(1, metrics.height()) + 2;
    if (isVisible() && read > 0) {
        // Where the list is drawn its rows are laid out already.
        const QModelIndex topIndex = indexAt(QPoint(1, 1));
        top = topIndex.isValid() ? topIndex.row() : 0;
        const int rowHeight = std::max(1, visualRect(m_model->index(top, 0)).height());
        shown = viewport()->height() / rowHeight + 2;
    }
    const int last = std::min(read, top + shown);
    if (int(m_measured.size()) < last)
        m_measured.resize(size_t(last), false);
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
    const int picture = (iconSize().isValid() ? iconSize().width() : style()->pixelMetric(QStyle::PM_SmallIconSize)) + 4;
    std::vector<int> widest(size_t(n), -1);
    std::vector<int> widestWidth(size_t(n), 0);
    bool measuredAny = false;
    for (int r = top; r < last; ++r) {
        if (m_measured[size_t(r)] && !again)
            continue;
        m_measured[size_t(r)] = true;
        measuredAny = true;
        for (int c = 0; c < n; ++c) {
            if (GetColumnWidth(c) <= 0 || header()->isSectionHidden(c))
                continue;
            const QModelIndex index = m_model->index(r, c);
            const QString text = m_model->data(index, Qt::DisplayRole).toString();
            // A cell of several lines shows its first; the tip reads it whole.
            if (text.isEmpty() || text.contains(QLatin1Char('\n')))
                continue;
            const QVariant cellFont = m_model->data(index, Qt::FontRole);
            int advance = 0;
            if (cellFont.isValid()) {
                advance = cellTextWidth(QFontMetrics(cellFont.value<QFont>()), text);
            } else {
                advance = measure(text);
            }
            int width = advance + margins;
            // A picture shows beside the text (the first cell keeps its
            // room even without one), as cellStyle draws it.
            const int image = m_imageList ? m_model->image(r, c) : kNoImage;
            if (m_imageList && (c == 0 || (image >= 0 && image != kNoImage)))
                width += picture;
            if (c == 0 && rootIsDecorated())
                width += indentation();
            if (width > widestWidth[size_t(c)]) {
                widestWidth[size_t(c)] = width;
                widest[size_t(c)] = r;
            }
        }
    }
    // The widest text of each column as the list's drawing lays it out.
    for (int c = 0; c < n; ++c) {
        if (widest[size_t(c)] < 0)
            continue;
        const QModelIndex index = m_model->index(widest[size_t(c)], c);
        const QVariant cellFont = m_model->data(index, Qt::FontRole);
        const bool decorated = !m_model->data(index, Qt::DecorationRole).isNull();
        const int extra = drawExtra(index, cellFont.isValid() ? cellFont.value<QFont>() : font(), decorated,
                                    widestWidth[size_t(c)]);
        m_textNeed[size_t(c)] = std::max(m_textNeed[size_t(c)], widestWidth[size_t(c)] + extra);
    }
    // Nothing new measured and no room to share: the columns stay as the
    // user may have set them.
    if (known && !measuredAny && !again && !share)
        return;
    int used = 0;
    std::vector<int> texts;
    for (int c = 0; c < n; ++c) {
        const int width = GetColumnWidth(c);
        if (width <= 0 || header()->isSectionHidden(c))
            continue;
        if (width < m_textNeed[size_t(c)])
            SetColumnWidth(c, m_textNeed[size_t(c)]);
        used += GetColumnWidth(c);
        const int type = c < int(m_columns.size()) ? m_columns[size_t(c)].m_fieldType : 0;
        if ((type == CColumnAlias::TypeText || type == CColumnAlias::TypeMemo) && GetColumnAlign(c) == 0 &&
            GetColumnWidth(c) > 30)
            texts.push_back(c);
    }
    // In a list laid out by its columns' own widths the room left goes to
    // the text columns, in proportion to their widths (the other modes
    // share the room by their own rules). A vertical scroll bar still to
    // come keeps its width.
    const int bar = verticalScrollBar()->isVisible() ? 0 : style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    int spare = viewport()->width() - used - bar - 2;
    if (!share || m_fitMode != kFitNone || spare <= 0 || texts.empty() || viewport()->width() < 100)
        return;
    int textWidth = 0;
    for (int c : texts)
        textWidth += GetColumnWidth(c);
    for (size_t i = 0; i < texts.size(); ++i) {
        const int c = texts[i];
        const int part = i + 1 == texts.size() ? spare : int(qint64(spare) * GetColumnWidth(c) / textWidth);
        SetColumnWidth(c, GetColumnWidth(c) + part);
        spare -= part;
        textWidth -= GetColumnWidth(c) - part;
    }
}

std::vector<int> CXListCtrl::contentWidths()
{
    // What each column's cells of the rows a picker usually shows take, with
    // the image and margins as the list draws them, or the heading.
    const int n = GetColumnCount();
    const int rows = std::min(GetItemCount(), 500);
    const QFontMetrics metrics(font());
    std::vector<int> content(size_t(n), 0);
    for (int c = 0; c < n; ++c)
        content[size_t(c)] = metrics.horizontalAdvance(
                                 m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) + 16;
    for (int r = 0; r < rows; ++r) {
        ensureRow(r);
        for (int c = 0; c < n; ++c)
            if (GetColumnWidth(c) > 0)
                content[size_t(c)] = std::max(content[size_t(c)], sizeHintForIndex(m_model->index(r, c)).width());
    }
    return content;
}

void CXListCtrl::KeepColumnReadable(int available)
{
    const int n = GetColumnCount();
    const int column = m_readableColumn;
    if (column < 0 || column >= n || GetColumnWidth(column) == 0)
        return;
    const std::vector<int> content = contentWidths();
    const int wanted = std::min(content[size_t(column)], available / 2);
    int extra = wanted - GetColumnWidth(column);
    if (extra <= 0)
        return;
    // The others give the room: first what they hold beyond their texts,
    // then in proportion to their widths.
    for (int pass = 0; pass < 2 && extra > 0; ++pass) {
        std::vector<int> give(size_t(n), 0);
        int spare = 0;
        for (int c = 0; c < n; ++c) {
            if (c == column)
                continue;
            give[size_t(c)] = pass == 0 ? std::max(0, GetColumnWidth(c) - content[size_t(c)]) : GetColumnWidth(c);
            spare += give[size_t(c)];
        }
        if (spare <= 0)
            continue;
        const int taken = std::min(extra, spare);
        for (int c = 0; c < n; ++c)
            if (give[size_t(c)] > 0)
                SetColumnWidth(c, GetColumnWidth(c) - int((qint64(give[size_t(c)]) * taken + spare - 1) / spare));
        extra -= taken;
    }
    SetColumnWidth(column, wanted);
}

void CXListCtrl::LoadColumnWidths(const QString &key, bool apply)
{
    m_widthList = key.isEmpty() ? QString()
                                : platform::Settings::readString(QStringLiteral("View Columns"), key, QString());
    if (m_widthList.contains(QLatin1Char(',')))
        m_fitMode = kFitWidthList;
    else if (m_widthList == QLatin1String("AUTOFIT"))
        m_fitMode = kFitSpread;
    else
        m_fitMode = kFitNone;
    if (apply)
        AutoSizeColumns();
}

// --- Rows ---------------------------------------------------------------------

int CXListCtrl::GetItemCount() const
{
    return m_model->rowCount();
}

QString CXListCtrl::GetItemText(int row, int column)
{
    ensureRow(row);
    if (!m_model->isValidCell(row, column))
        return QString();
    return m_model->text(row, column);
}

QString CXListCtrl::GetItemFullText(int row, int column)
{
    ensureRow(row);
    if (!m_model->isValidCell(row, column))
        return QString();
    const int record = m_model->record(row);
    if (record < 0 || column >= m_sourceFields || m_model->hasSetText(row, column))
        return m_model->text(row, column);
    const platform::Value v = recordValue(record, column);
    if (!v.isNull() && (v.type() == platform::FieldType::Text || v.type() == platform::FieldType::Memo)) {
        QString text = v.toString();
        text.remove(QLatin1Char('\r'));
        return text;
    }
    return m_model->text(row, column);
}

void CXListCtrl::SetItemText(int row, int column, const QString &text)
{
    ensureRow(row);
    m_model->setText(row, column, text);
}

std::int64_t CXListCtrl::GetItemData(int row)
{
    ensureRow(row);
    return m_model->isValidRow(row) ? m_model->rowData(row) : 0;
}

void CXListCtrl::SetItemData(int row, std::int64_t data)
{
    ensureRow(row);
    m_model->setData(row, data);
}

int CXListCtrl::GetItemImage(int row)
{
    return GetSubItemImage(row, 0);
}

bool CXListCtrl::DeleteItem(int row)
{
    FetchAll();
    if (!m_model->isValidRow(row))
        return false;
    m_model->removeRow(row);
    m_expectedRows = m_model->rowCount();
    if (m_currentRow >= m_model->rowCount())
        m_currentRow = m_model->rowCount() - 1;
    return true;
}

int CXListCtrl::InsertRow(int row, const QString &text, std::int64_t data, int image)
{
    FetchAll();
    CXListModel::Row r;
    r.data = data;
    r.image = image;
    r.extra = std::make_unique<CXListModel::Extra>();
    r.extra->texts.insert(0, text);
    const int at = m_model->insertRow(row, std::move(r));
    m_expectedRows = m_model->rowCount();
    return at;
}

bool CXListCtrl::SetSubItemImage(int row, int column, int image)
{
    ensureRow(row);
    if (!m_model->isValidCell(row, column))
        return false;
    m_model->setImage(row, column, image);
    return true;
}

int CXListCtrl::GetSubItemImage(int row, int column)
{
    ensureRow(row);
    if (!m_model->isValidCell(row, column))
        return -1;
    return m_model->image(row, column);
}

bool CXListCtrl::HitTestCell(const QPoint &point, int &row, int &column) const
{
    const QModelIndex i = indexAt(point);
    row = i.isValid() ? i.row() : -1;
    column = i.isValid() ? i.column() : -1;
    return i.isValid();
}

bool CXListCtrl::IsOnCellImage(const QPoint &point)
{
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return false;
    const int image = GetSubItemImage(index.row(), index.column());
    if (image < 0 || image == kNoImage)
        return false;
    // The image's place as the style lays the cell out, with a pixel of
    // slack around it.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasDisplay;
    option.decorationSize = iconSize().isValid() ? iconSize() : QSize(16, 16);
    option.text = index.data(Qt::DisplayRole).toString();
    const QRect place = style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
    return place.adjusted(-1, -1, 1, 1).contains(point);
}

int CXListCtrl::GetItemInt(int row, int column)
{
    return ToInt(GetItemText(row, column));
}

void CXListCtrl::SetStatusImages()
{
    const int status = FindColumn(QStringLiteral("Status"));
    if (status < 0)
        return;
    // The rows read from here on take their images as they are read.
    m_statusColumn = status;
    for (int r = 0; r < m_model->rowsRead(); ++r) {
        const int n = ToInt(m_model->text(r, status));
        m_model->setImage(r, 0, n == 1 ? 25 : n == 2 ? 28 : n == 3 ? 26 : 24);
    }
}

// --- Selection and navigation ------------------------------------------------

void CXListCtrl::SelectAll()
{
    FetchAll();
    QTreeView::selectAll();
}

void CXListCtrl::SelectItem(int row)
{
    ensureRow(row);
    selectionModel()->clearSelection();
    if (!m_model->isValidRow(row)) {
        // No row is current either: the commands that take the current row
        // find none, as the list shows none chosen.
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        m_currentRow = -1;
        return;
    }
    const QModelIndex i = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(i);
    m_currentRow = row;
}

std::int64_t CXListCtrl::GetSelectedData()
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return 0;
    int first = rows.first().row();
    for (const QModelIndex &i : rows)
        first = std::min(first, i.row());
    m_currentRow = first;
    return m_model->rowData(first);
}

int CXListCtrl::GetSelectedCount() const
{
    return int(selectionModel()->selectedRows().size());
}

bool CXListCtrl::IsItemSelected(int row) const
{
    return m_model->isValidRow(row) && selectionModel()->isRowSelected(row, QModelIndex());
}

int CXListCtrl::FindItemByData(std::int64_t data, bool select)
{
    if (data == 0)
        return -1;
    // Rows still to be read are read as the search reaches them.
    for (int r = 0; r < m_model->rowCount(); ++r) {
        if (m_model->rowData(r) == data) {
            if (select)
                SelectItem(r);
            return r;
        }
    }
    return -1;
}

int CXListCtrl::GetNavigationTarget(int command)
{
    int current = m_currentRow;
    if (!m_model->isValidRow(current)) {
        const QModelIndexList rows = selectionModel()->selectedRows();
        current = rows.isEmpty() ? -1 : rows.first().row();
    }
    int target = -1;
    switch (command) {
    case ID_RECORD_FIRST:
        target = 0;
        break;
    case ID_RECORD_LAST:
        target = m_model->rowCount() - 1;
        break;
    case ID_RECORD_NEXT:
        ensureRow(current + 1);
        target = current + 1;
        break;
    case ID_RECORD_PREV:
        target = current - 1;
        break;
    default:
        return -1;
    }
    if (!m_model->isValidRow(target) || target == current)
        return -1;
    return target;
}

std::int64_t CXListCtrl::NavigateRecord(int command)
{
    const int target = GetNavigationTarget(command);
    if (target < 0)
        return 0;
    SelectItem(target);
    return m_model->rowData(target);
}

int CXListCtrl::MoveSelectedRow(int from, int to, int command)
{
    FetchAll();
    const int n = m_model->rowCount();
    if (command != 0) {
        from = m_currentRow;
        switch (command) {
        case ID_MOVE_TOP: to = 0; break;
        case ID_MOVE_BOTTOM: to = n - 1; break;
        case ID_MOVE_DOWN: to = from + 1; break;
        case ID_MOVE_UP: to = from - 1; break;
        default: return -1;
        }
    }
    if (from < 0 || from >= n || to < 0 || to >= n || to == from)
        return -1;
    CXListModel::Row row = m_model->takeRow(from);
    m_model->insertRow(to, std::move(row));
    SelectItem(to);
    return to;
}

void CXListCtrl::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    if (current.isValid())
        m_currentRow = current.row();
}

void CXListCtrl::mousePressEvent(QMouseEvent *event)
{
    int row = -1;
    int column = -1;
    m_clickedImage = HitTestCell(event->position().toPoint(), row, column) && IsOnCellImage(event->position().toPoint())
                         ? GetSubItemImage(row, column)
                         : -1;
    m_pressPos = event->position().toPoint();
    m_pressRow = row;
    m_pressColumn = column;
    m_dragNotified = event->button() != Qt::LeftButton || row < 0;
    QTreeView::mousePressEvent(event);
}

void CXListCtrl::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragNotified && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragNotified = true;
        emit beginDrag(m_pressRow, m_pressColumn, m_pressPos);
    }
    if (m_dragCaptured)
        return;
    QTreeView::mouseMoveEvent(event);
}

void CXListCtrl::SetDropHilited(int row, bool on)
{
    const int was = m_dropHilited;
    if (on && m_model->isValidRow(row))
        m_dropHilited = row;
    else if (!on && row == m_dropHilited)
        m_dropHilited = -1;
    if (was != m_dropHilited)
        viewport()->update();
}

// --- Sorting ------------------------------------------------------------------

int CXListCtrl::CompareTexts(const QString &a, const QString &b, int sortKind)
{
    if (a == b)
        return 0;
    if (sortKind == kSortDate) {
        // month/day/year: by the year, then month and day.
        const QString ka = a.right(4) + a.left(5);
        const QString kb = b.right(4) + b.left(5);
        const int c = ka.compare(kb);
        if (c != 0)
            return c < 0 ? -1 : 1;
    } else if (sortKind == kSortNumber) {
        const double x = CColumnAlias::ReadNumber(a);
        const double y = CColumnAlias::ReadNumber(b);
        if (x != y)
            return x < y ? -1 : 1;
    }
    // Texts, and different texts of the same number or date: by the text.
    return compareSameTexts(a, b);
}

namespace {

// The rows put in order one short run at a time, before the runs are merged
// (texts long enough that a comparison costs: between two runs the window
// answers however long the texts are).
constexpr std::size_t kSortRun = 32;
// The rows of a run of a column of short texts, whose comparisons are cheap:
// a run is put in order in a few milliseconds, with fewer passes to merge
// after (numbers and dates, read once before, merge as fast in short runs).
constexpr std::size_t kCheapSortRun = 16384;
// The longest text of a column whose comparisons are cheap.
constexpr qsizetype kCheapSortLetters = 64;

// The passes of a sort of n rows over its runs of so many rows.
int sortPasses(std::int64_t n, std::size_t run = kSortRun)
{
    int passes = 0;
    for (std::int64_t width = std::int64_t(run); width < n; width *= 2)
        ++passes;
    return passes;
}

// Sorts order by less, keeping equal rows in their order: runs of so many
// rows sorted one by one, then merged pass after pass, the work told in
// between (a comparison of long texts tells the window what it spent, so
// the window answers however long the texts are). The work is told as for
// runs of kSortRun rows: longer runs stand for the passes they spare. False
// once it was stopped.
template <class Less>
bool sortStopping(std::vector<int> &order, const Less &less, ListWork &work, std::int64_t done, std::size_t run)
{
    const std::size_t n = order.size();
    // The units a row of the runs stands for: its pass and the passes spared.
    const std::int64_t perRow = 1 + sortPasses(std::int64_t(n)) - sortPasses(std::int64_t(n), run);
    for (std::size_t i = 0; i < n; i += run) {
        const std::size_t end = std::min(n, i + run);
        if (run > kSortRun) {
            std::stable_sort(order.begin() + std::ptrdiff_t(i), order.begin() + std::ptrdiff_t(end), less);
        } else {
            // A short run by insertion, each row after the last of those it
            // does not come before (found by halves: few comparisons of long
            // texts).
            for (std::size_t j = i + 1; j < end; ++j) {
                const int row = order[j];
                const auto at = std::upper_bound(order.begin() + std::ptrdiff_t(i), order.begin() + std::ptrdiff_t(j),
                                                 row, less);
                std::move_backward(at, order.begin() + std::ptrdiff_t(j), order.begin() + std::ptrdiff_t(j + 1));
                *at = row;
            }
        }
        if (!work.At(done + std::int64_t(end) * perRow, std::int64_t(end)))
            return false;
    }
    done += std::int64_t(n) * perRow;
    std::vector<int> merged(n);
    for (std::size_t width = run; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t a = lo;
            std::size_t b = mid;
            std::size_t out = lo;
            while (a < mid && b < hi) {
                merged[out++] = less(order[b], order[a]) ? order[b++] : order[a++];
                if (!work.At(done + std::int64_t(out), std::int64_t(out)))
                    return false;
            }
            while (a < mid)
                merged[out++] = order[a++];
            while (b < hi)
                merged[out++] = order[b++];
        }
        order.swap(merged);
        done += std::int64_t(n);
    }
    return true;
}

} // namespace

bool CXListCtrl::sortedOrder(int column, int kind, bool descending, std::vector<int> &order)
{
    const int n = m_model->rowCount();
    const int passes = sortPasses(n);
    ListWork work(QStringLiteral("Sorting the list"), std::int64_t(n) * (passes + 2), n);
    work.SetMessage(QStringLiteral("Reading the column's texts"));
    // The sort holds of each row's text its beginning, in a room of half the
    // list's bound shared by the rows (the whole text when it is short): two
    // rows that begin alike are compared by their whole texts, read again.
    // A held text costs two bytes a letter and some 48 bytes besides.
    const std::size_t perRow = m_mostMemory / 2 / std::size_t(std::max(n, 1));
    const qsizetype keyChars = std::max(kSortKeyLeast, qsizetype(perRow > 48 ? (perRow - 48) / 2 : 0));
    std::vector<QString> texts(static_cast<size_t>(n));
    std::vector<char> cut(static_cast<size_t>(n), 0);
    m_lastSortHeld = 0;
    qsizetype longest = 0; // the longest text of the column
    // What a number or a date compares by, read once.
    std::vector<double> numbers(kind == kSortNumber ? size_t(n) : 0);
    std::vector<QString> dates(kind == kSortDate ? size_t(n) : 0);
    for (int r = 0; r < n; ++r) {
        QString &text = texts[size_t(r)];
        text = m_model->text(r, column);
        work.Spend(text.size());
        longest = std::max(longest, text.size());
        if (kind == kSortNumber)
            numbers[size_t(r)] = CColumnAlias::ReadNumber(text);
        else if (kind == kSortDate)
            dates[size_t(r)] = text.right(4) + text.left(5);
        if (text.size() > keyChars) {
            // Never between the halves of a pair.
            const qsizetype keep = text[keyChars - 1].isHighSurrogate() ? keyChars - 1 : keyChars;
            text = text.left(keep);
            cut[size_t(r)] = 1;
        }
        m_lastSortHeld += std::size_t(text.size());
        if (!work.At(r + 1, r + 1))
            return false;
    }
    // Two rows' texts as held: the whole texts when either was cut and they
    // agree as far as both are held.
    const auto compareHeld = [&](int x, int y) {
        const QString &a = texts[size_t(x)];
        const QString &b = texts[size_t(y)];
        if (!cut[size_t(x)] && !cut[size_t(y)])
            return compareSameTexts(a, b);
        const qsizetype m = std::min(a.size(), b.size());
        if (m > 0 && !a[m - 1].isSurrogate() && !b[m - 1].isSurrogate()) {
            const int c = QStringView(a).left(m).compare(QStringView(b).left(m), Qt::CaseInsensitive);
            if (c != 0)
                return c < 0 ? -1 : 1;
            work.Spend(m);
            // A whole text that the other begins with comes first.
            if (!cut[size_t(x)] && a.size() < b.size())
                return -1;
            if (!cut[size_t(y)] && b.size() < a.size())
                return 1;
        }
        const QString wholeA = m_model->text(x, column);
        const QString wholeB = m_model->text(y, column);
        work.Spend(wholeA.size() + wholeB.size());
        return compareSameTexts(wholeA, wholeB);
    };
    // As CompareTexts compares two rows' texts.
    const auto compare = [&](int x, int y) {
        const QString &a = texts[size_t(x)];
        const QString &b = texts[size_t(y)];
        if (a == b && !cut[size_t(x)] && !cut[size_t(y)])
            return 0;
        if (kind == kSortDate) {
            const int c = dates[size_t(x)].compare(dates[size_t(y)]);
            if (c != 0)
                return c < 0 ? -1 : 1;
        } else if (kind == kSortNumber) {
            const double p = numbers[size_t(x)];
            const double q = numbers[size_t(y)];
            if (p != q)
                return p < q ? -1 : 1;
        }
        return compareHeld(x, y);
    };
    const auto less = [&](int x, int y) {
        const int c = compare(x, y);
        return descending ? c > 0 : c < 0;
    };
    order.resize(size_t(n));
    for (int i = 0; i < n; ++i)
        order[size_t(i)] = i;
    work.SetMessage(QStringLiteral("Putting the rows in order"));
    const bool cheap = kind == kSortText && longest <= kCheapSortLetters;
    return sortStopping(order, less, work, n, cheap ? kCheapSortRun : kSortRun);
}

void CXListCtrl::OnColumnClick(int column)
{
    if (column < 0 || column >= m_model->columnCount())
        return;
    FetchAll();
    int kind;
    if (column < GetColumnCount()) {
        const int type = m_columns[size_t(column)].m_fieldType;
        kind = type == CColumnAlias::TypeDate ? kSortDate
             : (type == CColumnAlias::TypeText || type == CColumnAlias::TypeMemo) ? kSortText
                                                                                 : kSortNumber;
    } else {
        const int align = GetColumnAlign(column);
        kind = align == 1 ? kSortNumber : align == 2 ? kSortDate : kSortText;
    }
    const int wasColumn = m_sortColumn;
    const int wasPrevious = m_prevSortColumn;
    const bool wasDescending = m_descending;
    const int wasKind = m_sortKind;
    if (column == m_sortColumn) {
        m_descending = !m_descending;
    } else {
        m_prevSortColumn = m_sortColumn;
        m_sortColumn = column;
        m_descending = kind != kSortText;
    }
    m_sortKind = kind;

    // The record the user has chosen: the selected one, else the current one.
    std::int64_t selected = GetSelectedData();
    if (selected == 0 && currentIndex().isValid() && m_model->isValidRow(currentIndex().row()))
        selected = m_model->rowData(currentIndex().row());
    {
        NoRedraw off(this);
        const bool descending = m_descending;
        // Each row's text of the column is made once for the sort; a long
        // list shows its progress and Stop leaves it as it was.
        std::vector<int> order;
        if (!sortedOrder(column, kind, descending, order)) {
            m_sortColumn = wasColumn;
            m_prevSortColumn = wasPrevious;
            m_descending = wasDescending;
            m_sortKind = wasKind;
            return;
        }
        m_model->orderRows(order);
        // Other rows are on screen now.
        m_measured.clear();
        if (selected != 0)
            FindItemByData(selected, true);
    }
    // The current row moved with its record.
    if (currentIndex().isValid())
        m_currentRow = currentIndex().row();
    viewport()->update();
}

// --- Look ---------------------------------------------------------------------

void CXListCtrl::SetImageListAndStyle(unsigned imageListId, int mode, int extendedStyle)
{
    m_imageList = Appearance::instance().GetImageList(imageListId);
    m_imageMode = mode;
    if (m_imageList)
        setIconSize(m_imageList->iconSize());
    setFont(Appearance::instance().GetFont(2));
    if (extendedStyle != 0)
        m_extendedStyle = extendedStyle;
    m_model->refreshAll();
}

void CXListCtrl::SetDrawStyle(int mode, std::uint32_t bandColour, std::uint32_t textColour, int firstImage,
                              int lastImage)
{
    m_drawMode = mode;
    m_bandColour = bandColour;
    m_textColour = textColour;
    m_firstImage = firstImage;
    m_lastImage = lastImage;
    m_model->refreshAll();
}

void CXListCtrl::SetDefaultImage(int image, bool onChangeOnly)
{
    m_defaultImage = image;
    m_imageOnChange = onChangeOnly;
}

QVariant CXListCtrl::cellStyle(int row, int column, int role) const
{
    if (row < 0) {
        // A header image.
        if (role == Qt::DecorationRole && m_imageList) {
            const QPixmap p = m_imageList->pixmap(column);
            return p.isNull() ? QVariant() : QVariant(p);
        }
        return QVariant();
    }
    if (row == m_dropHilited) {
        if (role == Qt::BackgroundRole)
            return palette().brush(QPalette::Highlight);
        if (role == Qt::ForegroundRole)
            return palette().brush(QPalette::HighlightedText);
    }
    if (role == Qt::DecorationRole) {
        if (!m_imageList)
            return QVariant();
        const int image = m_model->image(row, column);
        const QPixmap p = image < 0 || image == kNoImage ? QPixmap() : m_imageList->pixmap(image);
        if (!p.isNull())
            return p;
        // The first cell keeps the image's room, so that texts line up.
        if (column == 0) {
            static QPixmap blank;
            if (blank.size() != m_imageList->iconSize()) {
                blank = QPixmap(m_imageList->iconSize());
                blank.fill(Qt::transparent);
            }
            return blank;
        }
        return QVariant();
    }
    if (m_drawMode == 0)
        return QVariant();
    if (m_drawMode == 1) {
        if (role == Qt::BackgroundRole && row % 2 == 1)
            return colour(m_bandColour);
        return QVariant();
    }
    Appearance &look = Appearance::instance();
    const int image = m_model->image(row, 0);
    if (image < m_firstImage || image > m_lastImage) {
        switch (image) {
        case 212:
        case 216: // a web-order mail already saved as a job
        case 333:
            return role == Qt::ForegroundRole ? QVariant(colour(0xC0C0C0)) : QVariant();
        case 334:
            return role == Qt::ForegroundRole ? QVariant(colour(0x1010C0)) : QVariant();
        case 222:
        case 336:
            return role == Qt::FontRole ? QVariant(look.GetFont(3)) : QVariant();
        case 335:
            return role == Qt::FontRole ? QVariant(look.GetFont(8)) : QVariant();
        case 337:
            return role == Qt::FontRole ? QVariant(look.GetFont(4)) : QVariant();
        case 338:
            return role == Qt::BackgroundRole ? QVariant(colour(0xEFFBFF)) : QVariant();
        case 339:
            if (role == Qt::FontRole)
                return look.GetFont(8);
            if (role == Qt::ForegroundRole)
                return colour(0x808080);
            if (role == Qt::BackgroundRole)
                return colour(0xF2F2F2);
            return QVariant();
        default:
            return QVariant();
        }
    }
    if (m_drawMode == 3) {
        if (column < 0 || column >= GetColumnCount())
            return QVariant();
        const CGridCell &cell = m_columns[size_t(column)];
        const std::uint8_t style = cell.m_flag1;
        switch (role) {
        case Qt::FontRole:
            return look.GetFont(cell.m_flag0);
        case Qt::ForegroundRole:
            if (style == 1)
                return colour(m_textColour);
            if (style != 4 && IsDarkStyleColor(style))
                return QColor(Qt::white);
            return QVariant();
        case Qt::BackgroundRole:
            if (style == 4)
                return colour(m_bandColour);
            if (IsDarkStyleColor(style))
                return style >= 19 ? colour(GetStyleCaptionColor(style)) : colour(m_textColour);
            return QVariant();
        default:
            return QVariant();
        }
    }
    // Draw mode 2 inside the range.
    switch (role) {
    case Qt::ForegroundRole:
        return image == 136 || image == 130 ? QVariant(colour(0x808080)) : QVariant();
    case Qt::BackgroundRole:
        return colour(m_bandColour);
    case Qt::FontRole:
        return look.GetFont(3);
    default:
        return QVariant();
    }
}

// --- Totals -------------------------------------------------------------------

QList<QPair<QString, QString>> CXListCtrl::TotalsRows()
{
    FetchAll();
    QList<QPair<QString, QString>> rows;
    for (int c = 0; c < GetColumnCount(); ++c) {
        const CGridCell &cell = m_columns[size_t(c)];
        QString total;
        // Averages, rates and texts have no total.
        if (cell.m_totalMode != CGridCell::TotalNone && cell.m_fieldType == CColumnAlias::TypeCurrency)
            total = FormatCurrencyValue(cell.m_total);
        else if (cell.m_totalMode == CGridCell::TotalListCount)
            total = GroupThousands(QString::number(cell.m_total));
        else if (cell.m_totalMode == CGridCell::TotalMinutes)
            total = MinutesToText(std::int32_t(std::clamp<std::int64_t>(cell.m_total, INT_MIN, INT_MAX)));
        rows.append({GetColumnText(c), total});
    }
    return rows;
}

void CXListCtrl::ShowTotals()
{
    const QList<QPair<QString, QString>> rows = TotalsRows();
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("ListTotals"));
    dialog.setWindowTitle(QStringLiteral("List Totals"));
    auto *grid = new QTableWidget(int(rows.size()), 2, &dialog);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setHorizontalHeaderLabels({QStringLiteral("Column Name"), QStringLiteral("Column Total")});
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setColumnWidth(0, 140);
    grid->setColumnWidth(1, 90);
    for (int r = 0; r < rows.size(); ++r) {
        grid->setItem(r, 0, new QTableWidgetItem(rows.at(r).first.left(32)));
        auto *total = new QTableWidgetItem(rows.at(r).second.left(32));
        total->setTextAlignment(Qt::AlignCenter);
        grid->setItem(r, 1, total);
    }
    // Names and totals (a date's long form too) show whole.
    grid->resizeColumnsToContents();
    grid->setColumnWidth(0, std::max(140, grid->columnWidth(0)));
    grid->setColumnWidth(1, std::max(90, grid->columnWidth(1)));
    // Sixteen rows show at once.
    const int rowHeight = grid->verticalHeader()->defaultSectionSize();
    grid->setFixedHeight(grid->horizontalHeader()->sizeHint().height() + 16 * rowHeight + 2 * grid->frameWidth());
    grid->setFixedWidth(grid->columnWidth(0) + grid->columnWidth(1) + 2 * grid->frameWidth() +
                        grid->verticalScrollBar()->sizeHint().width());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(grid);
    layout->addWidget(buttons);
    platform::Prompt::execDialog(dialog);
}

// --- Queries ------------------------------------------------------------------

void CXListCtrl::FillFromSql(const QString &sql, const QString &keyHint, int sortColumn, bool descending,
                             QWidget *clipboardWindow)
{
    if (sql.isEmpty())
        return;
    if (clipboardWindow && (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier))
        QGuiApplication::clipboard()->setText(sql);
    WaitCursor wait;
    ClearList(true);
    m_source.reset();
    m_source = CXRecordsetSource::openSnapshot(SharedDatabase(), sql.trimmed(), kFirstPage);
    SetSort(sortColumn, descending);
    if (m_source)
        fill(*m_source, keyHint, true);
    else
        forgetFill(); // no column or key of the list before stays
}

void CXListCtrl::FillFromRecordset(platform::Recordset &recordset, const QString &keyHint)
{
    CXRecordsetSource source(recordset);
    FillFromRecordset(source, keyHint);
}

bool CXListCtrl::PromptQueryParameters(const QString &queryName, QList<platform::Value> &values)
{
    return AskQueryParameters(SharedDatabase(), queryName, values, this);
}

void CXListCtrl::FillFromUserSql(const QString &sql, const QString &keyHint, int sortColumn, bool descending)
{
    if (sql.isEmpty())
        return;
    SetSort(sortColumn, descending);
    fillBeside(sql.trimmed(), {}, sql.trimmed(), keyHint, false);
}

bool CXListCtrl::fillBeside(const QString &sourceText, const QList<platform::Value> &parameters,
                            const QString &statement, const QString &keyHint, bool savedQuery)
{
    platform::Database &db = SharedDatabase();
    // The rows read their cells from the list's recordset: none may stay
    // when it goes.
    ClearList(true);
    m_source.reset();
    auto rs = std::make_unique<platform::Recordset>(db);
    platform::Recordset *set = rs.get();
    // The window handles its events while the statement runs: a fill begun
    // meanwhile (another list chosen, a refresh) owns the list from then on,
    // and this one leaves it at once without touching it or its recordset.
    unsigned mine = m_fillsBegun;
    const auto superseded = [&] { return m_fillsBegun != mine; };

    // While the statement runs the program waits behind the progress
    // window, which shows once the statement takes more than a moment; the
    // statement holds still while the window asks whether to stop.
    std::unique_ptr<CXProgress> progress;
    QElapsedTimer running;
    running.start();
    bool stopped = false;
    bool failed = false;
    auto goOn = [&](const QString &text) {
        if (!progress && running.elapsed() >= kBesideQuietMs) {
            progress = CXProgress::Create();
            progress->SetQuestionHook([set, &superseded](bool asking) {
                if (!superseded())
                    set->pauseReading(asking);
            });
            progress->Start(0, QStringLiteral("Running the query"), false, true);
        }
        if (progress && !progress->Step(text))
            stopped = true;
        return !stopped && !superseded();
    };
    auto rowsRead = [](long rows) {
        return QStringLiteral("%1 rows read").arg(FormatInt(int(std::min<long>(rows, INT_MAX)), true, false));
    };
    try {
        // A crosstab's column headings come first, and may take long too.
        if (!rs->openBeside(sourceText, parameters,
                            [&] { return goOn(QStringLiteral("Reading the column headings")); })) {
            progress.reset();
            if (superseded())
                return false;
            forgetFill();
            m_fillStopped = stopped;
            return false;
        }
    } catch (const platform::DbException &e) {
        progress.reset();
        if (superseded())
            return false;
        forgetFill();
        CXRecordsetSource::reportOpenFailure(e, sourceText);
        return false;
    }
    if (superseded())
        return false;
    m_source = CXRecordsetSource::adopt(std::move(rs), statement);
    CXRowSource &source = *m_source;
    auto takeRows = [&] {
        try {
            source.readMore(kNextPage);
        } catch (const platform::DbException &e) {
            // The rows given before the failure stay.
            failed = true;
            tellReadFailure(e);
        }
    };
    // Its first rows, or its end.
    while (source.isReading() && source.heldCount() == 0 && !failed) {
        source.waitForRows(kBesideWaitMs);
        takeRows();
        if (superseded())
            return false;
        if (source.isReading() && !goOn(rowsRead(long(source.heldCount())))) {
            if (superseded())
                return false;
            source.stopReading();
        }
    }
    m_savedQueryKeys = savedQuery;
    fill(source, keyHint, true);
    m_savedQueryKeys = false;
    mine = m_fillsBegun;
    m_readTimer->stop();
    // The rest as it comes, shown as it is read. The list takes more of the
    // statement's rows only once it has read those it holds, so the
    // statement runs no further ahead of the list than its own room allows,
    // and whatever waits at a stop is read in moments.
    const std::size_t perRow = sizeof(CXListModel::Row) + kViewBytesPerRow;
    const auto full = [&] { return set->heldMemory() + std::size_t(m_model->rowsRead()) * perRow >= m_mostMemory; };
    bool bounded = false;
    while (hasPending() && source.isReading()) {
        if (m_records >= source.heldCount())
            source.waitForRows(kBesideWaitMs);
        QElapsedTimer slice;
        slice.start();
        ReadPagesWithinBound([&] { return readRecords(kNextPage); }, full, [&] {
            return !superseded() && m_records < source.heldCount() && slice.elapsed() < kBesideSliceMs;
        });
        if (superseded())
            return false;
        if (!hasPending() || !source.isReading())
            break;
        if (full()) {
            // As many rows as a list holds: the statement ends here.
            bounded = true;
            source.stopReading();
            break;
        }
        if (!goOn(rowsRead(m_model->rowsRead()))) {
            if (superseded())
                return false;
            source.stopReading();
        }
    }
    // What came last, and the end of the list.
    while (readRecords(kNextPage)) {
    }
    progress.reset();
    viewport()->update();
    m_fillStopped = stopped;
    m_fillBounded = bounded;
    if (bounded)
        platform::Prompt::messageBox(
            QStringLiteral("This query gives more rows than a list can hold.\nThe list shows its first %1 rows.")
                .arg(FormatInt(GetItemCount(), true, false)),
            QString(), platform::MB_ICONINFORMATION);
    return true;
}

int CXListCtrl::ReadPagesWithinBound(const std::function<bool()> &readPage, const std::function<bool()> &full,
                                     const std::function<bool()> &more)
{
    int pages = 0;
    while (readPage()) {
        ++pages;
        if (full() || !more())
            break;
    }
    return pages;
}

bool CXListCtrl::FillFromQueryDef(const QString &queryName)
{
    platform::Database &db = SharedDatabase();
    WaitCursor wait;
    QList<platform::Value> parameters;
    // Nothing of the list shown before stays under the new caption, whatever
    // keeps this query from showing.
    auto refuse = [this] {
        forgetFill();
        return false;
    };
    try {
        if (!db.queryExists(queryName)) {
            refuse();
            platform::Prompt::messageBox(
                QStringLiteral("The saved query \"%1\" is no longer in the database.").arg(queryName), QString(),
                platform::MB_ICONEXCLAMATION);
            return false;
        }
        if (!PromptQueryParameters(queryName, parameters))
            return refuse();
    } catch (const platform::DbException &e) {
        // A statement the engine cannot read (its parameters cannot even be
        // listed): the engine's reason is told.
        refuse();
        QString text = queryName;
        try {
            text = db.queryText(queryName);
        } catch (const platform::DbException &) {
        }
        CXRecordsetSource::reportOpenFailure(e, text);
        return false;
    }
    return fillBeside(queryName, parameters, db.queryText(queryName), QString(), true);
}
