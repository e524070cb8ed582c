#include "production/schedule/ScheduleLists.h"

#include "production/schedule/ScheduleLookups.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "data/CSQL.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "platform/db/StatementPacer.h"
#include "platform/db/SqlValues.h"

#include <QtCore/QDate>
#include <QtCore/QHash>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// A heading row of the list: its text (and picture) in the group column.
void appendHeading(ScheduleTable &table, const QString &text, int image = -1)
{
    ScheduleRow head;
    head.set(ScheduleLists::ColGroup, text, image);
    head.resize(ScheduleLists::ColumnCount);
    table.rows.append(head);
}

constexpr int kNoImage = -1;
constexpr int kManyRows = 1000;
// A long services list shown as it is read: the query's rows read before
// the first screen shows, and at each later part.
constexpr int kFirstQueryRows = 200;
constexpr int kNextQueryRows = 1000;
constexpr int kServiceToDoFirst = 48;
constexpr int kServiceDoneOffset = 36;
constexpr int kDateIconPast = 128;

// A sum of minutes, worked in 64 bits: many services of the largest time
// pass what 32 bits hold. "h:mm", "-h:mm" below 0; empty for 0.
QString sumText(qint64 minutes)
{
    if (minutes == 0)
        return QString();
    const qint64 whole = minutes < 0 ? -minutes : minutes;
    return QString::asprintf("%s%lld:%02lld", minutes < 0 ? "-" : "", whole / 60, whole % 60);
}

// The minutes of a time as sumText shows it ("h:mm"); 0 for an empty text.
qint64 sumMinutes(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return HoursMinutesToInt(text);
    const bool negative = text.startsWith(QLatin1Char('-'));
    const qint64 hours = text.mid(negative ? 1 : 0, colon - (negative ? 1 : 0)).toLongLong();
    const qint64 minutes = hours * 60 + text.mid(colon + 1).toLongLong();
    return negative ? -minutes : minutes;
}

// A sum the query made, read in 64 bits.
qint64 fieldSum(const platform::Recordset &rs, int index)
{
    const platform::Value v = rs.value(index);
    return v.isNull() ? 0 : v.toInt64();
}

int fieldInt(const platform::Recordset &rs, int index)
{
    const platform::Value v = rs.value(index);
    return v.isNull() ? 0 : v.toInt();
}

QDate fieldDate(const platform::Recordset &rs, int index)
{
    const platform::Value v = rs.value(index);
    if (v.isNull())
        return {};
    const DateTime d = v.toDateTime();
    return d.isValid() ? d.date() : QDate();
}

QString fieldText(const platform::Recordset &rs, int index)
{
    const platform::Value v = rs.value(index);
    return v.isNull() ? QString() : v.toString();
}

// A row of a snapshot as Recordset::readHeldRows gives it, its fields read
// as fieldInt, fieldText and fieldDate read them, with no Value per cell.
class HeldRow
{
public:
    explicit HeldRow(const platform::Recordset &rs)
    {
        m_types.reserve(size_t(rs.fieldCount()));
        for (int f = 0; f < rs.fieldCount(); ++f)
            m_types.push_back(rs.fieldType(f));
    }
    void setFields(const platform::sqlvalues::Stored *fields) { m_fields = fields; }
    int integer(int index) const { return platform::sqlvalues::toInt(m_fields[index], m_types[size_t(index)]); }
    QString text(int index) const { return platform::sqlvalues::toText(m_fields[index], m_types[size_t(index)]); }
    // The text of a field many rows hold alike (a customer, a title): one
    // string for all rows that show it.
    QString sharedText(int index)
    {
        const platform::sqlvalues::Stored &s = m_fields[index];
        const platform::FieldType type = m_types[size_t(index)];
        if (!platform::sqlvalues::isPlainText(s, type))
            return text(index);
        const std::string_view bytes(s.bytes, size_t(s.size));
        const auto it = m_texts.find(bytes);
        if (it != m_texts.end())
            return it->second;
        QString made = QString::fromUtf8(s.bytes, s.size);
        if (m_texts.size() < kMostSharedTexts)
            m_texts.emplace(std::string(bytes), made);
        return made;
    }
    QDate date(int index) const
    {
        const DateTime d = platform::sqlvalues::toDateTime(m_fields[index], m_types[size_t(index)]);
        return d.isValid() ? d.date() : QDate();
    }

private:
    struct BytesHash
    {
        using is_transparent = void;
        size_t operator()(std::string_view bytes) const { return std::hash<std::string_view>()(bytes); }
    };
    // Past this many different texts the rows' texts are rarely alike.
    static constexpr size_t kMostSharedTexts = 20000;

    std::vector<platform::FieldType> m_types;
    const platform::sqlvalues::Stored *m_fields = nullptr;
    std::unordered_map<std::string, QString, BytesHash, std::equal_to<>> m_texts;
};

// Appends QString::number of a whole number, without its locale's way
// round.
void appendNumber(QString &text, qint64 n)
{
    char digits[24];
    char *const end = digits + sizeof digits;
    char *p = end;
    quint64 u = n < 0 ? 0 - quint64(n) : quint64(n);
    do {
        *--p = char('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (n < 0)
        *--p = '-';
    text.append(QLatin1StringView(p, end - p));
}

// Hands each row of an open snapshot to row (its fields in fields), asking
// progress before each row of a long list: a stop there marks the table
// cancelled and ends the reading.
void readListRows(platform::Recordset &rs, HeldRow &fields, int total, const ScheduleLists::Progress &progress,
                  ScheduleTable &table, const std::function<void()> &row,
                  const std::function<void()> &madeSoFar = {})
{
    int done = 0;
    if (madeSoFar && rs.isReading()) {
        // The query gives its first rows now and the rest part by part: the
        // rows made from each part are told before the next part is read.
        std::vector<platform::sqlvalues::Stored> held;
        long at = 0;
        while (!rs.isEOF()) {
            if (total > kManyRows && progress && !progress(done, total)) {
                table.cancelled = true;
                return;
            }
            ++done;
            if (!rs.heldCurrentRow(held))
                return;
            fields.setFields(held.data());
            row();
            if (at + 1 >= rs.heldCount() && rs.isReading()) {
                madeSoFar();
                rs.readMore(kNextQueryRows);
            }
            rs.moveNext();
            ++at;
        }
        return;
    }
    rs.readHeldRows([&](const platform::sqlvalues::Stored *held) {
        if (total > kManyRows && progress && !progress(done, total)) {
            table.cancelled = true;
            return false;
        }
        ++done;
        fields.setFields(held);
        row();
        return true;
    });
}

// On a shop with many services in its open orders the services query itself
// takes a moment, whatever rows it keeps: the progress is told first (no
// rows done of none counted yet), so that its window shows while the query
// runs.
bool announceLongQuery(const ScheduleLists::Progress &progress)
{
    if (!progress)
        return false;
    platform::Recordset count(SharedDatabase());
    count.open(platform::Recordset::Type::Snapshot,
               QStringLiteral("SELECT Count(*) FROM Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID WHERE "
                              "Items.SerNo>0 AND Jobs.JobType=0 AND Jobs.Creator<98"));
    if (count.isEOF() || fieldInt(count, 0) <= kManyRows)
        return false;
    progress(0, 0);
    return true;
}

void addCondition(QString &where, const QString &condition)
{
    if (!condition.isEmpty())
        where += QStringLiteral(" and ") + condition;
}

bool namesOneOrder(const QString &filter)
{
    return filter.contains(QStringLiteral("JobNo"), Qt::CaseInsensitive)
        || filter.contains(QStringLiteral("JobID"), Qt::CaseInsensitive);
}

// Counts the rows of an open snapshot and goes back to the first.
int countRows(platform::Recordset &rs)
{
    if (rs.isEOF())
        return 0;
    rs.moveLast();
    const int count = int(rs.recordCount());
    rs.moveFirst();
    return count;
}

} // namespace

int ServiceDay(int status, int days2)
{
    if (days2 > 0)
        return days2;
    return status >= 1 && status <= 254 ? status : 0;
}

QString ServiceDateSql()
{
    return QStringLiteral("IIf(Items.Days2 > 0, Jobs.DateIn + Items.Days2 - 1, IIf(Items.Status Between 1 And 254, "
                          "Jobs.DateIn + Items.Status - 1))");
}

QString ScheduleDateText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("MM/dd/yyyy")) : QStringLiteral("?");
}

int ScheduleDateIcon(const QDate &date, const QDate &today)
{
    if (!date.isValid() || date < today)
        return kDateIconPast;
    if (date == today)
        return 129;
    if (today.daysTo(date) >= 7)
        return 137;
    return 129 + date.dayOfWeek() % 7 + 1;
}

const QString &ScheduleLists::CustomerExpression()
{
    return CustomerColumn;
}

QString ScheduleLists::SortText(int options)
{
    return (options & 0x8) ? QStringLiteral("Jobs.JobNo") : QStringLiteral("Jobs.JobNo DESC");
}

QList<ScheduleColumn> ScheduleLists::ListColumns(const QString &orderCaption, const QString &titleCaption,
                                                 const QString &thirdCaption)
{
    return {{QStringLiteral("Group By..."), 100, 10}, {QString(), 20, 10}, {orderCaption, 90, 10},
            {QStringLiteral("JobID"), 0, 4}, {QStringLiteral("Customer"), 100, 10}, {QStringLiteral("I"), 20, 10},
            {titleCaption, 180, 10}, {QString(), 20, 10}, {QStringLiteral("Date"), 90, 8},
            {thirdCaption, 70, 10}, {QStringLiteral("Tag"), 70, 10}, {QStringLiteral("Priority"), 20, 10},
            {QStringLiteral("Time"), 60, 4}, {QStringLiteral("Quantity"), 70, 4}, {QStringLiteral("Note"), 80, 10},
            {QStringLiteral("Note2"), 80, 10}};
}

// --- orders ---------------------------------------------------------------------------

QString ScheduleLists::OrdersSql(int entry, QString &groupCaption) const
{
    QString where = QStringLiteral("WHERE Jobs.JobType = 0 and Jobs.Creator < 98");
    bool byStatus = options & 0x2;
    QString condition;
    if (entry >= 2 && entry <= 5) {
        condition = QStringLiteral("Jobs.Status = %1").arg(entry - 2);
        byStatus = false;
    } else {
        switch (entry) {
        case 6: BuildDateCondition(condition, QStringLiteral("Jobs.DateIn"), 0, 0); break;
        case 7: BuildDateCondition(condition, QStringLiteral("Jobs.DateShipped"), 0, 0); break;
        case 8: // late: due before today and not yet ready to post
            BuildDateCondition(condition, QStringLiteral("Jobs.DateDue"), 2, 0);
            condition += QStringLiteral(" and Jobs.Status < 3");
            break;
        case 9: BuildDateCondition(condition, QStringLiteral("Jobs.DateDue"), 0, 0); break;
        case 10: BuildDateCondition(condition, QStringLiteral("Jobs.DateDue"), 0, 1); break;
        case 11: BuildDateCondition(condition, QStringLiteral("Jobs.DateDue"), 6, 0); break;
        case 12: BuildDateCondition(condition, QStringLiteral("Jobs.DateDue"), 9, 0); break;
        case 13: BuildDateCondition(condition, QStringLiteral("Jobs.DateDue"), 12, 0); break;
        default: break;
        }
    }
    addCondition(where, condition);
    addCondition(where, filter);

    QString grouping;
    groupCaption.clear();
    if ((options & 0x1) && !namesOneOrder(filter)) {
        grouping += QStringLiteral("Jobs.DateDue, ");
        groupCaption += QStringLiteral("Date/");
    }
    if (byStatus) {
        grouping += QStringLiteral("Jobs.Status, ");
        groupCaption += QStringLiteral("Status/");
    }
    if (options & 0x4) {
        grouping += QStringLiteral("Customers.Name, ");
        groupCaption += QStringLiteral("Customer/");
    }
    groupCaption += QStringLiteral("Order");
    return QStringLiteral("SELECT ") + CustomerExpression()
        + QStringLiteral(", Jobs.Status, Jobs.JobNo, Jobs.Title, Jobs.DateDue, Jobs.CusNo, Jobs.CSRNo, Jobs.JobID ")
        + QStringLiteral("FROM ShipTo RIGHT JOIN ((Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo) "
                         "INNER JOIN JobTypes ON Jobs.JobType = JobTypes.JobType) ON ShipTo.ShiptoNo = "
                         "Jobs.ShiptoNo ")
        + where + QStringLiteral(" ORDER BY ") + grouping + SortText(options);
}

ScheduleRow ScheduleLists::DateGroupRow(const QDate &date, bool first, QList<ScheduleRow> &rows) const
{
    if (!first) {
        ScheduleRow spacer;
        spacer.resize(ColumnCount);
        rows.append(spacer);
    }
    ScheduleRow head;
    head.resize(ColumnCount);
    const QDate today = platform::Clock::today();
    head.set(ColGroup, ScheduleDateText(date), date.isValid() ? ScheduleDateIcon(date, today) : kDateIconPast);
    if (date.isValid())
        head.set(ColDate, QLocale::c().toString(date, QStringLiteral("dddd")));
    return head;
}

void ScheduleLists::AddDateGroup(const QDate &date, QList<ScheduleRow> &rows) const
{
    const bool first = rows.isEmpty();
    ScheduleRow head = DateGroupRow(date, first, rows);
    rows.append(head);
}

ScheduleTable ScheduleLists::ListOrders(int entry) const
{
    ScheduleTable table;
    table.sql = OrdersSql(entry, table.groupCaption);
    table.unitWord = QStringLiteral("Orders");
    table.columns = ListColumns(QStringLiteral("Order"), QStringLiteral("Title"), QStringLiteral("CSR"));
    const bool byDate = (options & 0x1) && !namesOneOrder(filter);
    const bool byStatus = (options & 0x2) && !(entry >= 2 && entry <= 5);
    const bool byCustomer = options & 0x4;

    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, table.sql);
    const int total = countRows(rs);
    bool firstOfDate = true;
    QDate lastDate;
    int lastStatus = -1;
    QString lastCustomer;
    bool started = false;
    ScheduleLookups lookups(m_app);
    table.rows.reserve(total + total / 16);
    HeldRow fields(rs);
    const ScheduleRow::SharedTexts texts = ScheduleRow::NewTexts();
    readListRows(rs, fields, total, progress, table, [&] {
        const QString customer = fields.sharedText(0);
        const int status = fields.integer(1);
        const QDate due = fields.date(4);
        bool statusInFirstRow = false;
        if (byDate && (!started || due != lastDate)) {
            AddDateGroup(due, table.rows);
            firstOfDate = true;
            lastStatus = -1;
        }
        if (byStatus && status != lastStatus) {
            if (byDate) {
                statusInFirstRow = true;
            } else {
                ScheduleRow head;
                QString name;
                CZqApp::GetJobStatusName(name, quint8(status));
                head.set(ColGroup, name, CZqApp::GetJobStatusIcon(quint8(status)));
                head.resize(ColumnCount);
                table.rows.append(head);
            }
        }
        if (byCustomer && !byDate && !byStatus && (!started || customer != lastCustomer)) {
            appendHeading(table, customer, CustomerHead);
        }
        started = true;
        lastDate = due;
        lastStatus = status;
        lastCustomer = customer;
        firstOfDate = false;

        ScheduleRow row(texts);
        row.kind = 'O';
        row.key = fields.integer(7);
        row.resize(ColumnCount);
        if (statusInFirstRow) {
            QString name;
            CZqApp::GetJobStatusName(name, quint8(status));
            row.setText(ColGroup, name);
        }
        row.setImage(ColExpand, Collapsed);
        row.setNumber(ColOrder, fields.integer(2), CZqApp::GetJobStatusIcon(quint8(status)));
        row.setNumber(ColJobId, row.key);
        row.setText(ColCustomer, customer);
        row.setText(ColTitle, fields.sharedText(3));
        if (due.isValid())
            row.setText(ColDate, lookups.DateText(due));
        if (m_app)
            row.setText(ColOperator, lookups.EmployeeName(fields.integer(6)));
        table.rows.append(std::move(row));
        ++table.listedCount;
    });
    (void)firstOfDate;
    table.expandAll = table.listedCount == 1;
    return table;
}

// --- items ----------------------------------------------------------------------------

QString ScheduleLists::ItemsSql(int command, QString &groupCaption, QString &unitWord) const
{
    QString where = QStringLiteral("WHERE Items.SerNo=0 AND Jobs.JobType=0 AND Jobs.Creator<98");
    unitWord = QStringLiteral("Items");
    if (!(options & 0x200)) {
        addCondition(where, QStringLiteral("Jobs.Status = 0"));
        unitWord = QStringLiteral("Items of Orders in Progress");
    }
    bool byStatus = options & 0x20;
    const bool byDate = (options & 0x10) && !namesOneOrder(filter);
    switch (command) {
    case 31201: case 32101: break;
    case 31202: case 32102: addCondition(where, QStringLiteral("Items.Status < %1").arg(4)); break;
    case 31207: case 32103: addCondition(where, QStringLiteral("Items.Status Between %1 and %2").arg(4).arg(16)); break;
    case 31220: case 32104: addCondition(where, QStringLiteral("Items.Status = %1").arg(17)); break;
    default:
        if (command >= 31203 && command <= 31219) {
            addCondition(where, QStringLiteral("Items.Status = %1").arg(command - 31203));
            if (byDate)
                byStatus = false;
        }
        break;
    }
    addCondition(where, filter);

    QString grouping;
    groupCaption.clear();
    if (byDate) {
        grouping += QStringLiteral("Jobs.DateDue, ");
        groupCaption += QStringLiteral("Date/");
    }
    if (byStatus) {
        grouping += QStringLiteral("Items.Status, ");
        groupCaption += QStringLiteral("Status/");
    }
    if (options & 0x40) {
        grouping += QStringLiteral("Customers.Name, ");
        groupCaption += QStringLiteral("Customer/");
    }
    if (options & 0x80) {
        grouping += QStringLiteral("ProductionTags.Sort, ");
        groupCaption += QStringLiteral("Tag/");
    }
    if (options & 0x100) {
        grouping += QStringLiteral("Items.Tag2, ");
        groupCaption += QStringLiteral("Priority/");
    }
    groupCaption += QStringLiteral("Order");
    return QStringLiteral("SELECT Items.SerNo, Items.Status, ") + CustomerExpression()
        + QStringLiteral(", Jobs.Status, Jobs.DateDue, Jobs.JobNo, Jobs.CusNo, Jobs.CSRNo, Items.ItemNo, "
                         "Items.SubNo, Items.Description, Items.Tag1, Items.Tag2, Items.ChargeTime, "
                         "Items.ChargeQty, Items.Note, Items.ItemID, Jobs.JobID ")
        + QStringLiteral("FROM (ShipTo RIGHT JOIN (Customers INNER JOIN (Items INNER JOIN Jobs ON Items.JobID = "
                         "Jobs.JobID) ON Customers.CusNo = Jobs.CusNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo) LEFT "
                         "JOIN ProductionTags ON Items.Tag1 = ProductionTags.TagID ")
        + where + QStringLiteral(" ORDER BY ") + grouping + SortText(options)
        + QStringLiteral(", Items.ItemNo, Items.SubNo ");
}

void ScheduleLists::ShowCodeCells(ScheduleRow &row, int empNo, int tag, int priority) const
{
    if (!m_app)
        return;
    ScheduleLookups lookups(m_app);
    ShowCodeCells(row, empNo, tag, priority, lookups);
}

void ScheduleLists::ShowCodeCells(ScheduleRow &row, int empNo, int tag, int priority, ScheduleLookups &lookups)
{
    if (empNo > 0) {
        const ScheduleLookups::Code &c = lookups.Employee(empNo);
        if (c.shown)
            row.set(ColOperator, c.name, c.icon);
    }
    if (tag > 0) {
        const ScheduleLookups::Code &c = lookups.Tag(tag);
        if (c.shown)
            row.set(ColTag, c.name, c.icon);
    }
    if (priority > 0) {
        const ScheduleLookups::Code &c = lookups.Priority(priority);
        if (c.shown)
            row.set(ColPriority, c.name, c.icon);
    }
}

QList<int> ScheduleLists::TrackerStatuses() const
{
    QList<int> statuses{0, 1, 2, 3, 4};
    if (m_app)
        for (int i = 1; i < m_app->DepartmentList.size(); ++i)
            statuses << m_app->DepartmentList[i].m_value + 4;
    statuses << 17;
    return statuses;
}

void ScheduleLists::WidenRow(ScheduleRow &row, int statusColumns)
{
    row.resize(ColumnCount);
    row.insertColumns(ColBlank, statusColumns);
}

void ScheduleLists::PaintTrackerCells(ScheduleRow &row, const QList<int> &statuses, int itemStatus) const
{
    const int statusColumn = int(statuses.indexOf(itemStatus));
    for (int i = 0; i < statuses.size(); ++i) {
        const int column = ColBlank + i;
        int image = kNoImage;
        if (i == statusColumn) {
            image = m_app ? m_app->GetScheduleStatusIcon(quint8(itemStatus)) : kNoImage;
        } else if (i >= 4 && row.hasText(column)) {
            const int depNo = row.text(column).toInt();
            int icon = m_app ? m_app->GetDepartmentIcon(depNo) : -1;
            if (icon < 0 || icon == 255)
                image = 84;
            else
                image = (statusColumn < 0 || i < statusColumn) ? icon + 84 - 48 : icon;
        }
        row.setImage(column, image);
    }
}

ScheduleTable ScheduleLists::ListItems(int command) const
{
    ScheduleTable table;
    table.sql = ItemsSql(command, table.groupCaption, table.unitWord);
    table.columns = ListColumns(QStringLiteral("Item"), QStringLiteral("Description"), QStringLiteral("CSR"));
    const bool tracker = command >= 32101 && command <= 32104;
    if (tracker) {
        table.statusColumns = TrackerStatuses();
        QList<ScheduleColumn> status;
        for (int st : table.statusColumns) {
            QString name;
            if (st >= 5 && st <= 16 && m_app)
                name = m_app->GetDepartmentName(st - 4);
            else if (st != 4 && m_app)
                m_app->GetScheduleStatusName(name, quint8(st));
            status.append({name, st == 4 ? 0 : 20, 10});
        }
        for (int i = int(status.size()) - 1; i >= 0; --i)
            table.columns.insert(ColBlank, status[i]);
    }
    const bool oneOrder = namesOneOrder(filter);
    const bool byDate = (options & 0x10) && !oneOrder;
    bool byStatus = options & 0x20;
    if (byDate && command >= 31203 && command <= 31219 && command != 31207)
        byStatus = false;
    const bool byCustomer = options & 0x40;

    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, table.sql);
    const int total = countRows(rs);
    bool started = false;
    QDate lastDate;
    int lastStatus = -1;
    QString lastCustomer;
    for (int done = 0; !rs.isEOF(); rs.moveNext(), ++done) {
        if (total > kManyRows && progress && !progress(done, total)) {
            table.cancelled = true;
            break;
        }
        const int itemStatus = fieldInt(rs, 1);
        const QString customer = fieldText(rs, 2);
        const int jobStatus = fieldInt(rs, 3);
        const QDate due = fieldDate(rs, 4);
        bool statusInFirstRow = false;
        if (byDate && (!started || due != lastDate)) {
            AddDateGroup(due, table.rows);
            lastStatus = -1;
        }
        QString statusName;
        if (m_app)
            m_app->GetScheduleStatusName(statusName, quint8(itemStatus));
        const int statusIcon = m_app ? m_app->GetScheduleStatusIcon(quint8(itemStatus)) : kNoImage;
        if (byStatus && itemStatus != lastStatus) {
            if (byDate) {
                statusInFirstRow = true;
            } else {
                appendHeading(table, statusName, statusIcon);
            }
        }
        if (byCustomer && !byDate && !byStatus && (!started || customer != lastCustomer)) {
            appendHeading(table, customer, CustomerHead);
        }
        started = true;
        lastDate = due;
        lastStatus = itemStatus;
        lastCustomer = customer;

        ScheduleRow row;
        row.resize(ColumnCount);
        row.kind = 'I';
        row.key = fieldInt(rs, 16);
        if (statusInFirstRow)
            row.set(ColGroup, statusName);
        const int jobNo = fieldInt(rs, 5);
        const int itemNo = fieldInt(rs, 8);
        const int subNo = fieldInt(rs, 9);
        const QString number = subNo == 0 ? QStringLiteral("%1-%2").arg(jobNo).arg(itemNo)
                                          : QStringLiteral("%1-%2.%3").arg(jobNo).arg(itemNo).arg(subNo);
        row.set(ColExpand, QString(), Collapsed);
        row.set(ColOrder, number, CZqApp::GetJobStatusIcon(quint8(jobStatus)));
        row.set(ColJobId, QString::number(fieldInt(rs, 17)));
        row.set(ColCustomer, customer);
        row.set(ColStatus, statusName, statusIcon);
        row.set(ColTitle, fieldText(rs, 10));
        row.set(ColDate, due.isValid() ? ScheduleDateText(due) : QString());
        if (m_app)
            row.set(ColOperator, m_app->GetEmployeeName(quint8(fieldInt(rs, 7))));
        ShowCodeCells(row, 0, fieldInt(rs, 11), fieldInt(rs, 12));
        row.set(ColTime, MinutesToText(fieldInt(rs, 13)));
        const int quantity = fieldInt(rs, 14);
        row.set(ColQuantity, quantity == 0 ? QString() : GroupThousands(QString::number(quantity)));
        row.set(ColNote, fieldText(rs, 15));
        if (tracker) {
            const int width = int(table.statusColumns.size());
            WidenRow(row, width);
            // The departments the item has services in, in their order.
            platform::Recordset deps(SharedDatabase());
            deps.open(platform::Recordset::Type::Snapshot,
                      QStringLiteral("SELECT ServiceCategories.DepNo, ServiceDepartments.SortNo FROM "
                                     "(((ServiceCategories INNER JOIN Services ON ServiceCategories.CatNo = "
                                     "Services.CatNo) INNER JOIN Items ON Services.SerNo = Items.SerNo) INNER JOIN "
                                     "Jobs ON Items.JobID = Jobs.JobID) INNER JOIN ServiceDepartments ON "
                                     "ServiceCategories.DepNo = ServiceDepartments.DepNo WHERE Jobs.JobType=0 AND "
                                     "Jobs.JobNo=%1 AND Items.ItemNo=%2 AND Items.SubNo=%3 AND Items.SerNo>0 GROUP "
                                     "BY ServiceCategories.DepNo, Jobs.JobNo, Items.ItemNo, Items.SubNo, "
                                     "Items.Status, ServiceDepartments.SortNo ORDER BY ServiceDepartments.SortNo")
                          .arg(jobNo)
                          .arg(itemNo)
                          .arg(subNo));
            for (; !deps.isEOF(); deps.moveNext()) {
                const int depNo = fieldInt(deps, 0);
                const int at = int(table.statusColumns.indexOf(depNo + 4));
                if (at >= 5)
                    row.setText(ColBlank + at, QString::number(depNo));
            }
            PaintTrackerCells(row, table.statusColumns, itemStatus);
        }
        table.rows.append(row);
        ++table.listedCount;
    }
    if (tracker) {
        // Headings of the tracker carry empty status cells too.
        for (ScheduleRow &r : table.rows)
            if (r.size() == ColumnCount)
                WidenRow(r, int(table.statusColumns.size()));
    }
    table.expandAll = oneOrder;
    return table;
}

// --- expanding ------------------------------------------------------------------------

ScheduleRow ScheduleLists::ServiceRow(qint64 itemId, int serNo, int status, int days, const QDate &dateIn, int empNo,
                                      int tag, int priority, int minutes, int quantity, const QString &note,
                                      int listKind) const
{
    ScheduleRow row;
    row.resize(ColumnCount);
    row.kind = 'S';
    row.key = itemId;
    if (listKind >= 2)
        row.set(ColGroup, QString(), PreviewRow);
    int catNo = 0;
    QString name;
    if (m_app) {
        name = m_app->GetServiceFullName(serNo);
        catNo = m_app->GetServiceCategory(serNo);
    }
    int icon = m_app ? m_app->GetCategoryStateIcon(catNo, status) : kServiceToDoFirst;
    if (icon < kServiceToDoFirst || icon > kServiceToDoFirst + 2 * kServiceDoneOffset - 1)
        icon = kServiceToDoFirst + (status == 0 ? kServiceDoneOffset : 0);
    row.set(ColTitle, name, icon);
    // The service's day counts from the job's date in.
    const int day = ServiceDay(status, days);
    if (day > 0 && dateIn.isValid()) {
        const QDate date = dateIn.addDays(day - 1);
        row.set(ColDate, ScheduleDateText(date), ScheduleDateIcon(date, platform::Clock::today()));
    } else {
        row.set(ColDate, QStringLiteral("?"), kDateIconPast);
    }
    ShowCodeCells(row, empNo, tag, priority);
    row.set(ColTime, MinutesToText(minutes));
    row.set(ColQuantity, quantity == 0 ? QString() : GroupThousands(QString::number(quantity)));
    QString shown = note;
    const int mark = shown.indexOf(QStringLiteral(" \u2022 "));
    if (mark >= 0)
        shown = shown.left(mark);
    row.set(ColNote, shown);
    return row;
}

namespace {

const QString kRowColumns = QStringLiteral(
    "SELECT Items.ItemID, Items.SerNo, Items.Status, Items.Days2, Jobs.DateIn, Items.EmpNo, Items.Tag1, "
    "Items.Tag2, Items.ChargeTime, Items.ChargeQty, Items.Note, Items.ItemNo, Items.SubNo, Items.Description, "
    "Jobs.JobNo FROM Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID ");

} // namespace

QList<ScheduleRow> ScheduleLists::ExpandOrder(qint64 jobId, int listKind) const
{
    QList<ScheduleRow> rows;
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            kRowColumns + QStringLiteral("WHERE Items.JobID = %1 ORDER BY Items.ItemNo, Items.SubNo, Items.SerNo, "
                                         "Items.ItemID").arg(jobId));
    for (; !rs.isEOF(); rs.moveNext()) {
        const qint64 itemId = fieldInt(rs, 0);
        const int serNo = fieldInt(rs, 1);
        const int status = fieldInt(rs, 2);
        if (serNo == 0) {
            ScheduleRow row;
            row.resize(ColumnCount);
            row.kind = 'I';
            row.key = itemId;
            row.set(ColGroup, QString(), listKind >= 2 ? PreviewRow : ExpandedHead);
            const int itemNo = fieldInt(rs, 11);
            const int subNo = fieldInt(rs, 12);
            const QString number = subNo == 0 ? QStringLiteral("%1-%2").arg(fieldInt(rs, 14)).arg(itemNo)
                                              : QStringLiteral("%1-%2.%3").arg(fieldInt(rs, 14)).arg(itemNo).arg(subNo);
            if (listKind >= 2)
                row.set(ColCustomer, QStringLiteral("Preview Item"));
            row.set(ColStatus, QStringLiteral("Item ") + number,
                    m_app ? m_app->GetScheduleStatusIcon(quint8(status)) : kNoImage);
            row.set(ColTitle, fieldText(rs, 13));
            // Every row under an order names its job, so opening or scheduling from it reaches that job.
            row.setNumber(ColJobId, jobId);
            rows.append(row);
            continue;
        }
        rows.append(ServiceRow(itemId, serNo, status, fieldInt(rs, 3), fieldDate(rs, 4), fieldInt(rs, 5),
                               fieldInt(rs, 6), fieldInt(rs, 7), fieldInt(rs, 8), fieldInt(rs, 9), fieldText(rs, 10),
                               listKind));
        rows.last().setNumber(ColJobId, jobId);
    }
    return rows;
}

QList<ScheduleRow> ScheduleLists::ExpandItem(qint64 itemId, int listKind) const
{
    QList<ScheduleRow> rows;
    platform::Recordset head(SharedDatabase());
    head.open(platform::Recordset::Type::Snapshot,
              QStringLiteral("SELECT JobID, ItemNo, SubNo FROM Items WHERE ItemID = %1").arg(itemId));
    if (head.isEOF())
        return rows;
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            kRowColumns + QStringLiteral("WHERE Items.JobID = %1 and Items.ItemNo = %2 and Items.SubNo = %3 and "
                                         "Items.SerNo > 0 ORDER BY Items.SerNo, Items.ItemID")
                              .arg(fieldInt(head, 0))
                              .arg(fieldInt(head, 1))
                              .arg(fieldInt(head, 2)));
    for (; !rs.isEOF(); rs.moveNext()) {
        rows.append(ServiceRow(fieldInt(rs, 0), fieldInt(rs, 1), fieldInt(rs, 2), fieldInt(rs, 3), fieldDate(rs, 4),
                               fieldInt(rs, 5), fieldInt(rs, 6), fieldInt(rs, 7), fieldInt(rs, 8), fieldInt(rs, 9),
                               fieldText(rs, 10), listKind));
        rows.last().setNumber(ColJobId, fieldInt(head, 0));
    }
    return rows;
}

// --- the workload crosstab ------------------------------------------------------------

namespace {

struct Grouping
{
    const char *select;
    const char *groupBy;
    const char *orderBy;
    bool operatorLevel;
    bool centerLevel;
    bool category;
    bool service;
};

const Grouping kGroupings[7] = {
    {"Items.EmpNo", "Items.EmpNo", "Items.EmpNo", true, false, false, false},
    {"Items.EmpNo, Services.CatNo", "Items.EmpNo, Services.CatNo", "Items.EmpNo, Services.CatNo", true, false, true,
     false},
    {"Items.EmpNo, Services.CatNo, Services.SerNo", "Items.EmpNo, Services.CatNo, Services.SerNo, Services.Name",
     "Items.EmpNo, Services.CatNo, Services.Name", true, false, true, true},
    {"Services.CatNo", "Services.CatNo", "Services.CatNo", false, false, true, false},
    {"Services.CatNo, Services.SerNo", "Services.CatNo, Services.SerNo, Services.Name",
     "Services.CatNo, Services.Name", false, false, true, true},
    {"ProductionDepts.DepID, Services.CatNo", "ProductionDepts.Sort, ProductionDepts.DepID, Services.CatNo",
     "ProductionDepts.Sort, Services.CatNo", false, true, true, false},
    {"ProductionDepts.DepID, Services.CatNo, Services.SerNo",
     "ProductionDepts.Sort, ProductionDepts.DepID, Services.CatNo, Services.SerNo, Services.Name",
     "ProductionDepts.Sort, Services.CatNo, Services.Name", false, true, true, true},
};

const Grouping &grouping(int entry)
{
    return kGroupings[std::clamp(entry, 1, 7) - 1];
}

} // namespace

QString ScheduleLists::CrosstabSql(int entry, bool done)
{
    const Grouping &g = grouping(entry);
    const QString d = QLatin1Char('(') + ServiceDateSql() + QStringLiteral(") ");
    QString sql = QStringLiteral("TRANSFORM Sum(Items.ChargeTime) ") + QStringLiteral("SELECT ")
        + QString::fromLatin1(g.select) + QStringLiteral(", Count(Items.SerNo), Sum(Items.ChargeTime) ");
    if (entry <= 5)
        sql += QStringLiteral(" FROM (Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN Services ON "
                              "Items.SerNo = Services.SerNo ");
    else
        sql += QStringLiteral(" FROM ((Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN Services ON "
                              "Items.SerNo = Services.SerNo) INNER JOIN ProductionDepts ON Services.ProdDepID = "
                              "ProductionDepts.DepID ");
    sql += QStringLiteral("WHERE Jobs.JobType = 0 and Jobs.Creator < 98 ") + QStringLiteral("and Items.SerNo > 0 and ");
    sql += done ? QStringLiteral("(Jobs.Status >= 2 or Items.Status = 0) ")
                : QStringLiteral("Jobs.Status = 0 and Items.Status > 0 ");
    sql += QStringLiteral(" GROUP BY ") + QString::fromLatin1(g.groupBy);
    sql += QStringLiteral(" ORDER BY ") + QString::fromLatin1(g.orderBy);
    if (done)
        sql += QStringLiteral(" PIVOT (IIf(") + d + QStringLiteral(">= Date(),' Today', IIf(") + d
            + QStringLiteral("> DateAdd('d',-7,Date()), Format(") + d + QStringLiteral(",'mm/dd/yy'), 'Earlier')))");
    else
        sql += QStringLiteral(" PIVOT (IIf(") + d + QStringLiteral("< Date(),' Late',   IIf(") + d
            + QStringLiteral("> DateAdd('d',7,Date()), 'Later', Format(") + d + QStringLiteral(",'mm/dd'))))");
    return sql;
}

QStringList ScheduleLists::OrderBuckets(const QStringList &buckets, const QDate &today)
{
    auto rank = [](const QString &name) {
        if (name == QStringLiteral(" Late") || name == QStringLiteral(" Today"))
            return 0;
        if (name == QStringLiteral("Later") || name == QStringLiteral("Earlier"))
            return 2;
        return 1;
    };
    auto dateOf = [&today](const QString &name) {
        if (name.size() > 5) {
            QDate d = QDate::fromString(name, QStringLiteral("MM/dd/yy"));
            if (d.isValid() && d.year() < 1950)
                d = d.addYears(100);
            return d;
        }
        const QDate d = QDate::fromString(name + QStringLiteral("/") + QString::number(today.year()),
                                          QStringLiteral("MM/dd/yyyy"));
        // A day-and-month bucket lies from yesterday on: a day earlier than
        // that in this year belongs to the next.
        if (d.isValid() && d < today.addDays(-1))
            return d.addYears(1);
        return d;
    };
    QStringList ordered = buckets;
    std::stable_sort(ordered.begin(), ordered.end(), [&](const QString &a, const QString &b) {
        const int ra = rank(a);
        const int rb = rank(b);
        if (ra != rb)
            return ra < rb;
        if (ra != 1)
            return false;
        return dateOf(a) < dateOf(b);
    });
    return ordered;
}

ScheduleTable ScheduleLists::ListCrosstab(int entry, bool done) const
{
    ScheduleTable table;
    const Grouping &g = grouping(entry);
    table.sql = CrosstabSql(entry, done);
    table.unitWord = QStringLiteral("Services");
    static const char *const titles[7] = {"Operator", "Operator/Category", "Operator/Service", "Category",
                                          "Category/Service", "Center/Category", "Center/Service"};
    table.groupCaption = QString::fromLatin1(titles[std::clamp(entry, 1, 7) - 1]);
    table.drawMode = (entry == 1 || entry == 4 || entry == 5) ? 0 : 2;
    int col = 0;
    int categoryColumn = -1;
    int serviceColumn = -1;
    if (g.centerLevel)
        table.columns.append({QStringLiteral("Center"), 120, 10});
    else if (g.operatorLevel)
        table.columns.append({QStringLiteral("Operator"), 120, 10});
    col = int(table.columns.size());
    if (g.category) {
        categoryColumn = col++;
        table.columns.append({QStringLiteral("Category"), 120, 10});
    }
    if (g.service) {
        serviceColumn = col++;
        table.columns.append({QStringLiteral("Service"), 200, 10});
    }
    const int countColumn = col++;
    table.columns.append({QStringLiteral("Count"), 50, 4});
    const int totalColumn = col++;
    table.columns.append({QStringLiteral("TOTAL"), 75, 4});

    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot, table.sql);
    if (rs.isEOF())
        return table;
    const int levels = (g.operatorLevel || g.centerLevel ? 1 : 0) + (g.category ? 1 : 0) + (g.service ? 1 : 0);
    const int fixedFields = levels + 2;
    QStringList buckets;
    for (int f = fixedFields; f < rs.fieldCount(); ++f)
        buckets << rs.fieldName(f);
    const QStringList ordered = OrderBuckets(buckets, platform::Clock::today());
    QList<int> bucketField;
    for (const QString &name : ordered) {
        bucketField.append(fixedFields + int(buckets.indexOf(name)));
        table.columns.append({name, 60, 4});
    }
    const int columnCount = int(table.columns.size());

    bool first = true;
    int lastTop = -1;
    int lastCat = -1;
    int totalCount = 0;
    for (; !rs.isEOF(); rs.moveNext()) {
        int field = 0;
        bool openedRow = false;
        if (g.operatorLevel || g.centerLevel) {
            const int top = fieldInt(rs, field++);
            if (first || top != lastTop) {
                ScheduleRow row;
                row.resize(columnCount);
                QString name;
                int icon = kNoImage;
                if (m_app) {
                    if (g.centerLevel)
                        m_app->GetProductionDeptNameAndIcon(quint8(top), name, icon);
                    else
                        m_app->GetEmployeeNameAndIcon(quint8(top), name, icon);
                }
                row.set(0, name, icon < 0 ? 146 : icon);
                table.rows.append(row);
                openedRow = true;
                lastCat = -1;
            }
            lastTop = top;
        }
        int catIcon = kNoImage;
        bool openedCategory = false;
        if (g.category) {
            const int cat = fieldInt(rs, field++);
            QString name;
            if (m_app)
                m_app->GetCategoryNameAndIcon(cat, name, catIcon);
            if (first || cat != lastCat) {
                if (entry == 5 && !first) {
                    ScheduleRow spacer;
                    spacer.resize(columnCount);
                    table.rows.append(spacer);
                }
                ScheduleRow row;
                row.resize(columnCount);
                row.set(categoryColumn, name, catIcon);
                table.rows.append(row);
                openedCategory = true;
            }
            lastCat = cat;
        }
        if (g.service) {
            const int serNo = fieldInt(rs, field++);
            if (!openedCategory) {
                ScheduleRow row;
                row.resize(columnCount);
                table.rows.append(row);
            }
            const QString name = m_app ? m_app->GetServiceName(serNo) : QString::number(serNo);
            table.rows.last().set(serviceColumn, name,
                                  catIcon < 0 ? kNoImage : catIcon + (done ? kServiceDoneOffset : 0));
        }
        (void)openedRow;
        first = false;
        ScheduleRow &row = table.rows.last();
        const int count = fieldInt(rs, field++);
        totalCount += count;
        row.set(countColumn, QString::number(count));
        row.set(totalColumn, sumText(fieldSum(rs, field++)));
        for (int b = 0; b < bucketField.size(); ++b)
            row.set(totalColumn + 1 + b, sumText(fieldSum(rs, bucketField[b])));
    }

    // With two grouping levels or more, each row with an image in column 0
    // (operator, center, or category when it is the first level) takes the
    // sums of the rows under it.
    if (totalColumn >= 3) {
        for (int c = totalColumn; c < columnCount; ++c) {
            qint64 sum = 0;
            int head = -1;
            for (int r = 0; r < table.rows.size(); ++r) {
                ScheduleRow &row = table.rows[r];
                if (row.image(0) >= 0) {
                    if (head >= 0)
                        table.rows[head].setText(c, sumText(sum));
                    head = r;
                    // A heading row that also carries the first service of
                    // its group keeps that service in its total.
                    sum = sumMinutes(row.text(c));
                    continue;
                }
                sum += sumMinutes(row.text(c));
            }
            if (head >= 0)
                table.rows[head].setText(c, sumText(sum));
        }
    }
    table.listedCount = totalCount;
    table.unitWord = QStringLiteral("Services");
    return table;
}

// --- service lists --------------------------------------------------------------------

namespace {

const QString kServiceDay = QStringLiteral("(Jobs.DateIn + Items.Days2 - 1)");
// The date a service is listed and grouped on, counted as ServiceDay counts
// it: the date of its day (Days2) when it has one, else, while it is to be
// done, the day its Status names; Null (no day) when it has neither. The
// entries of the date branch keep choosing their rows by the stored date.
const QString kServiceListDay = ServiceDateSql();

const QString kNoteMark = QStringLiteral(" \u2022 ");

// An item of an order: the JobID, ItemNo and SubNo of its rows.
struct ItemKey
{
    int jobId;
    int itemNo;
    int subNo;
    bool operator==(const ItemKey &o) const = default;
};

size_t qHash(const ItemKey &k, size_t seed = 0)
{
    return qHashMulti(seed, k.jobId, k.itemNo, k.subNo);
}

// What a service row shows of its item: the item's schedule status and
// description, from the item's row (SerNo 0), the first one (lowest ItemID)
// when an item has more than one. A service without one shows status 0 and
// no description.
struct ItemOfService
{
    qint64 itemId = 0;
    int status = 0;
    QString description;
};

// An order in progress; one without a status counts as in progress.
const QString kOrderInProgress = QStringLiteral("(Jobs.Status = 0 or Jobs.Status Is Null)");

// The orders a services list shows services of: the open orders, or only
// those in progress.
QString listedOrders(bool inProgressOnly)
{
    const QString open = QStringLiteral("Jobs.JobType=0 AND Jobs.Creator<98");
    return inProgressOnly ? open + QStringLiteral(" AND ") + kOrderInProgress : open;
}

// The item rows of the listed orders, by item. The services query does not
// look each service's item up itself: it would do so for every service
// before sorting them all, which made a big shop wait for the first screen
// of a services list.
QHash<ItemKey, ItemOfService> readItemsOfOrders(bool inProgressOnly)
{
    QHash<ItemKey, ItemOfService> items;
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT Items.JobID, Items.ItemNo, Items.SubNo, Items.ItemID, Items.Status, "
                           "Items.Description FROM Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID WHERE "
                           "Items.SerNo=0 AND ")
                + listedOrders(inProgressOnly));
    HeldRow fields(rs);
    rs.readHeldRows([&](const platform::sqlvalues::Stored *held) {
        fields.setFields(held);
        ItemOfService &item = items[{fields.integer(0), fields.integer(1), fields.integer(2)}];
        const qint64 itemId = fields.integer(3);
        if (item.itemId == 0 || itemId < item.itemId) {
            item.itemId = itemId;
            item.status = fields.integer(4);
            item.description = fields.text(5);
        }
        return true;
    });
    return items;
}

// The columns of the services query, in its order.
enum ServiceField {
    FJobStatus, FStatus, FSerNo, FCatNo, FProdDepId, FEmpNo, FTag1, FTag2, FJobId, FItemId, FItemNo, FSubNo,
    FChargeTime, FChargeQty, FJobNo, FCusNo, FCustomer, FStoredDay, FDateDue, FNote, FListDay
};

bool isDoneEntry(int command)
{
    return command == 31399 || command == 31499 || command == 31599 || command == 31699;
}

} // namespace

QString ScheduleLists::ServicesSql(int command, QString &groupCaption) const
{
    const int kind = (command - 31100) / 100;
    const bool byDate = kind == 4 || (options & 0x400);
    QString where = QStringLiteral("WHERE Items.SerNo>0 AND Jobs.JobType=0 AND Jobs.Creator<98 ");
    const QString &d = kServiceDay;
    if (command == 31502)
        where += QStringLiteral(" and (") + d + QStringLiteral(" < Date() or ") + d + QStringLiteral(" > Jobs.DateDue) ");
    else if (command >= 31503 && command <= 31517)
        where += QStringLiteral(" and ") + d + QStringLiteral(" = ")
            + platform::Clock::today().addDays(command - 31503).toString(QStringLiteral("#MM/dd/yyyy#"));
    else if (command == 31518)
        where += QStringLiteral(" and ") + d + QStringLiteral(">= ")
            + platform::Clock::today().addDays(15).toString(QStringLiteral("#MM/dd/yyyy#"));
    // Services to do only, of orders in progress only: the rows the list
    // would leave out are not sorted first. A service without a status
    // counts as done. (The services done are left to the list: asked for
    // here, the engine would read them by their status, in another order
    // where their sort keys tie.)
    if (!isDoneEntry(command) && !(options & 0x20000))
        where += QStringLiteral(" and Items.Status <> 0");
    if (!(options & 0x10000))
        where += QStringLiteral(" and ") + kOrderInProgress;
    if (!filter.isEmpty())
        where += QStringLiteral(" and ") + filter;

    groupCaption.clear();
    QString datePart;
    if (byDate) {
        datePart = kServiceListDay + QStringLiteral(", ");
        groupCaption = QStringLiteral("Date/");
    }
    QString grouping;
    switch (kind) {
    case 2: grouping = QStringLiteral("ServiceCategories.SortNo, "); groupCaption += QStringLiteral("Category/"); break;
    case 3: grouping = QStringLiteral("ProductionDepts.Sort, "); groupCaption += QStringLiteral("Center/"); break;
    case 5: grouping = QStringLiteral("Employees.Sort, "); groupCaption += QStringLiteral("Operator/"); break;
    case 6: grouping = QStringLiteral("ProductionTags.Sort, "); groupCaption += QStringLiteral("Tag/"); break;
    case 7: grouping = QStringLiteral("Items.Tag2, "); groupCaption += QStringLiteral("Priority/"); break;
    default: break;
    }
    struct Extra { int bit; const char *table; const char *part; const char *caption; };
    static const Extra extras[] = {
        {0x800, "ServiceCategories", "ServiceCategories.SortNo, ", "Category/"},
        {0x1000, "Employees", "Employees.Sort, ", "Operator/"},
        {0x2000, nullptr, "Customers.Name, ", "Customer/"},
        {0x4000, "ProductionTags", "ProductionTags.Sort, ", "Tag/"},
        {0x8000, "Items.Tag2", "Items.Tag2, ", "Priority/"},
    };
    for (const Extra &e : extras) {
        if (!(options & e.bit))
            continue;
        if (e.table && grouping.contains(QString::fromLatin1(e.table)))
            continue;
        grouping += QString::fromLatin1(e.part);
        groupCaption += QString::fromLatin1(e.caption);
    }
    if (!grouping.contains(QStringLiteral("ServiceCategories"))) {
        grouping += QStringLiteral("ServiceCategories.SortNo, ");
        groupCaption += QStringLiteral("Category/");
    }
    groupCaption += QStringLiteral("Service");
    // The item of each service (its status and description) is read apart:
    // see readItemsOfOrders.
    return QStringLiteral(
               "SELECT Jobs.Status, Items.Status, Items.SerNo, Services.CatNo, Services.ProdDepID, Items.EmpNo, "
               "Items.Tag1, Items.Tag2, Jobs.JobID, Items.ItemID, Items.ItemNo, Items.SubNo, Items.ChargeTime, "
               "Items.ChargeQty, Jobs.JobNo, Jobs.CusNo, IIf(Customers.CusNo=31,IIf(Jobs.ShiptoNo=0,'* ','* '+"
               "ShipTo.Company),Customers.Name) AS Customer, (Jobs.DateIn+Items.Days2-1) AS Expr1, Jobs.DateDue, "
               "Items.Note, ")
        + kServiceListDay + QStringLiteral(" AS ListDay ")
        + QStringLiteral(
               "FROM ((Jobs INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo) LEFT JOIN ShipTo ON Jobs.ShiptoNo "
               "= ShipTo.ShiptoNo) INNER JOIN (((Employees RIGHT JOIN (Items INNER JOIN (Services LEFT JOIN "
               "ServiceCategories ON Services.CatNo = ServiceCategories.CatNo) ON Items.SerNo = Services.SerNo) ON "
               "Employees.EmpNo = Items.EmpNo) LEFT JOIN ProductionTags ON Items.Tag1 = ProductionTags.TagID) LEFT "
               "JOIN ProductionDepts ON Services.ProdDepID = ProductionDepts.DepID) ON Jobs.JobID = Items.JobID ")
        + where + QStringLiteral(" ORDER BY ") + datePart + grouping + QStringLiteral("Services.SortNo, Services.Name ");
}

ScheduleTable ScheduleLists::ListServices(int command) const
{
    ScheduleTable table;
    const int kind = (command - 31100) / 100;
    const bool byDate = kind == 4 || (options & 0x400);
    const bool inProgressOnly = !(options & 0x10000);
    const bool doneEntry = isDoneEntry(command);
    const bool toDoOnly = !doneEntry && !(options & 0x20000);
    table.sql = ServicesSql(command, table.groupCaption);
    table.unitWord = QStringLiteral("Services");
    if (toDoOnly)
        table.unitWord += QStringLiteral(" To-Do");
    if (doneEntry)
        table.unitWord += QStringLiteral(" Done");
    if (inProgressOnly)
        table.unitWord += QStringLiteral(" of Orders in Progress/Items in Production");
    table.columns = ListColumns(QStringLiteral("Item "), QStringLiteral("Category: Service"), QStringLiteral("Operator"));

    const bool manyServices = announceLongQuery(progress);
    platform::Recordset rs(SharedDatabase());
    // On a big shop the first rows show before the query has given the
    // rest: the rest is read on part by part behind them.
    const bool showAsRead = manyServices && rowsMade;
    int total = 0;
    {
        // The query sorts every service of the open orders before it gives
        // its first row: meanwhile the progress is asked (rows -1) now and
        // then, and a stop there ends the list before any row.
        std::optional<platform::StatementPacer> pacer;
        if (manyServices)
            pacer.emplace(SharedDatabase(), [this] { return progress(0, -1); });
        try {
            if (showAsRead) {
                rs.openFirstRows(table.sql, kFirstQueryRows);
                total = int(rs.expectedCount());
            } else {
                rs.open(platform::Recordset::Type::Snapshot, table.sql);
                total = countRows(rs);
            }
        } catch (const platform::DbException &) {
            if (!pacer || !pacer->interrupted())
                throw;
            table.cancelled = true;
            return table;
        }
    }
    if (total == 0)
        return table;
    // The paper rows of the listed orders: a press service shows the colour
    // of its item's paper.
    QHash<ItemKey, QString> paperNotes;
    {
        platform::Recordset paper(SharedDatabase());
        paper.open(platform::Recordset::Type::Snapshot,
                   QStringLiteral("SELECT Items.Note, Items.JobID, Items.ItemNo, Items.SubNo FROM (Items INNER JOIN "
                                  "Services ON Items.SerNo = Services.SerNo) INNER JOIN Jobs ON Items.JobID = "
                                  "Jobs.JobID WHERE (Services.CatNo Between 101 And 199) AND ")
                       + listedOrders(inProgressOnly));
        // Each kept as the text a press row shows: after " • ", or nothing.
        // The last paper row of an item wins.
        for (; !paper.isEOF(); paper.moveNext()) {
            const QString note = fieldText(paper, 0);
            const int at = note.indexOf(kNoteMark);
            paperNotes.insert({fieldInt(paper, 1), fieldInt(paper, 2), fieldInt(paper, 3)},
                              at >= 0 ? note.mid(at + kNoteMark.size()) : QString());
        }
    }
    const QHash<ItemKey, ItemOfService> items = readItemsOfOrders(inProgressOnly);
    const ItemOfService noItem;
    ScheduleLookups lookups(m_app);
    table.rows.reserve(total + total / 16);
    QList<int> rowMinutes; // per row: a service's time read back from its cell, else 0
    rowMinutes.reserve(table.rows.capacity());
    const QDate today = platform::Clock::today();
    bool first = true;
    QDate lastDay;
    bool haveKey = false; // forgotten at each new date
    int lastKey = 0;
    HeldRow fields(rs);
    const ScheduleRow::SharedTexts texts = ScheduleRow::NewTexts();
    const std::function<void()> madeSoFar = [&] {
        if (showAsRead)
            rowsMade(table);
    };
    readListRows(rs, fields, total, progress, table, [&] {
        const int jobStatus = fields.integer(FJobStatus);
        const int jobId = fields.integer(FJobId);
        const int itemNo = fields.integer(FItemNo);
        const auto found = items.constFind({jobId, itemNo, fields.integer(FSubNo)});
        const ItemOfService &item = found == items.constEnd() ? noItem : *found;
        const int itemStatus = item.status;
        const int status = fields.integer(FStatus);
        const int catNo = fields.integer(FCatNo);
        const int depId = fields.integer(FProdDepId);
        const int empNo = fields.integer(FEmpNo);
        const int tag = fields.integer(FTag1);
        const int priority = fields.integer(FTag2);
        // Services to do and orders in progress are chosen by the query.
        if (doneEntry && status != 0)
            return;
        if (inProgressOnly && (itemStatus < 4 || itemStatus > 16))
            return;
        const int depNo = m_app ? lookups.CategoryDepartment(catNo) : 0;
        if (kind == 2 && command >= 31302 && command < 31399 && depNo != command - 31302)
            return;
        if (kind == 3 && command >= 31402 && command < 31499 && depId != command - 31402)
            return;
        if (kind == 5 && command >= 31602 && command < 31699 && empNo != command - 31602)
            return;
        if (kind == 6 && ((command == 31701 && tag == 0) || (command >= 31702 && tag != command - 31702)))
            return;
        if (kind == 7 && ((command == 31801 && priority == 0) || (command >= 31802 && priority != command - 31802)))
            return;

        // The grouping key; its heading's name and icon when it changes.
        int key = depNo;
        switch (kind) {
        case 3: key = depId; break;
        case 5: key = empNo; break;
        case 6: key = tag; break;
        case 7: key = priority; break;
        default: break;
        }
        const QDate day = fields.date(FListDay);
        if (byDate && (first || day != lastDay)) {
            AddDateGroup(day, table.rows);
            haveKey = false;
        }
        QString name;
        bool nameInRow = false;
        if (first || !haveKey || key != lastKey) {
            int icon = kind == 3 ? 148 : kNoImage;
            if (m_app) {
                switch (kind) {
                case 3: name = m_app->GetProductionDeptName(quint8(depId)); break;
                case 5: m_app->GetEmployeeNameAndIcon(quint8(empNo), name, icon); break;
                case 6: m_app->GetTagNameAndIcon(quint8(tag), name, icon); break;
                case 7: m_app->GetStockStatusNameAndIcon(quint8(priority), name, icon); break;
                default:
                    name = lookups.DepartmentName(depNo);
                    icon = lookups.DepartmentIcon(depNo);
                    break;
                }
            }
            if (byDate) {
                nameInRow = true;
            } else {
                ScheduleRow head;
                head.resize(ColumnCount);
                head.set(ColGroup, name, icon < 0 ? 146 : icon);
                table.rows.append(std::move(head));
            }
        }
        first = false;
        lastDay = day;
        haveKey = true;
        lastKey = key;
        rowMinutes.resize(table.rows.size(), 0);

        ScheduleRow row(texts);
        row.resize(ColumnCount);
        row.kind = 'S';
        row.key = fields.integer(FItemId);
        if (nameInRow)
            row.set(ColGroup, name);
        const bool inProduction = itemStatus >= 5 && itemStatus <= 16;
        if (!inProduction)
            row.setImage(ColGroup, 333);
        row.set(ColExpand, QString(), Collapsed);
        const QString &description = item.description;
        QString number;
        number.reserve(24 + description.size());
        appendNumber(number, fields.integer(FJobNo));
        number += QLatin1Char('-');
        appendNumber(number, itemNo);
        number += QLatin1Char(' ');
        number += description;
        row.set(ColOrder, number, CZqApp::GetJobStatusIcon(quint8(jobStatus)));
        row.setNumber(ColJobId, jobId);
        row.set(ColCustomer, fields.sharedText(FCustomer));
        if (m_app)
            row.set(ColStatus, lookups.ScheduleStatusName(itemStatus), lookups.ScheduleStatusIcon(itemStatus));
        const int serNo = fields.integer(FSerNo);
        int serviceIcon = m_app ? lookups.CategoryStateIcon(catNo, status) : kServiceToDoFirst;
        if (serviceIcon < kServiceToDoFirst || serviceIcon > kServiceToDoFirst + 2 * kServiceDoneOffset - 1)
            serviceIcon = kServiceToDoFirst + (status == 0 ? kServiceDoneOffset : 0);
        if (m_app)
            row.set(ColTitle, lookups.ServiceFullName(serNo), serviceIcon);
        else
            row.setNumber(ColTitle, serNo, serviceIcon);
        const QDate due = fields.date(FDateDue);
        row.set(ColBlank, due.isValid() ? lookups.DateText(due) : QString(), ScheduleDateIcon(due, today));
        row.set(ColDate, lookups.DateText(day), status == 0 ? serviceIcon : ScheduleDateIcon(day, today));
        if (m_app)
            ShowCodeCells(row, empNo, tag, priority, lookups);
        const int minutes = fields.integer(FChargeTime);
        if (minutes != 0)
            row.set(ColTime, lookups.MinutesText(minutes));
        row.set(ColQuantity, lookups.QuantityText(fields.integer(FChargeQty)));
        QString note = fields.text(FNote);
        if (catNo >= 101 && catNo <= 199) {
            const int at = note.indexOf(kNoteMark);
            if (at >= 0) {
                row.set(ColNote2, note.mid(at + kNoteMark.size()));
                note.truncate(at);
            }
        } else if (catNo >= 201 && catNo <= 299) {
            row.set(ColNote2, paperNotes.value({jobId, itemNo, fields.integer(FSubNo)}));
        }
        row.set(ColNote, note);
        rowMinutes.append(minutes == 0 ? 0 : lookups.MinutesReadBack(minutes));
        table.rows.append(std::move(row));
        ++table.listedCount;
    }, madeSoFar);
    rowMinutes.resize(table.rows.size(), 0);

    // Headings and date rows show the time of the services under them,
    // summed in 64 bits.
    qint64 sum = 0;
    int head = 0;
    for (int r = 0; r <= table.rows.size(); ++r) {
        const bool last = r == table.rows.size();
        if (!last && table.rows[r].kind == 'S') {
            sum += rowMinutes[r];
            continue;
        }
        if (sum != 0 && head < table.rows.size() && table.rows[head].kind != 'S')
            table.rows[head].setText(ColTime, sumText(sum));
        sum = 0;
        head = r;
    }
    return table;
}
