#include "production/schedule/ScheduleJobGrid.h"

#include "app/base/CZqApp.h"
#include "production/schedule/ScheduleLists.h"
#include "platform/DateTime.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kLeft = 2084;
constexpr std::uint32_t kCentred = 2085;
constexpr int kFirstDayIndex = 3; // column of day N is N + 3

int codeIndex(int column)
{
    return column - ScheduleJobGrid::ColOperator;
}

} // namespace

QString ScheduleJobGrid::Sql(qint32 jobId)
{
    QString days;
    for (int n = 1; n <= 15; ++n)
        days += QStringLiteral("CStr('') AS [c%1], ").arg(n);
    return QStringLiteral("SELECT Items.ItemNo & '.' & Items.SubNo as [Item/Status], Items.Description AS [Item and/   "
                          "Service Description}t], ")
           + QStringLiteral("CStr('') AS [Service/Date], CStr('') AS [Late], ") + days
           + QStringLiteral("CStr('') AS [Later], ")
           + QStringLiteral("Items.EmpNo AS [Operator], Items.Tag1 AS [Tag], Items.Tag2 AS [Priority], Items.Note AS "
                            "[Note], Items.ActualTime AS [Actual/Time}P], IIF(Items.SerNo=0,Items.ChargeQty, "
                            "Items.ActualQty) AS [Actual/Quantity}P], ")
           + QStringLiteral("Items.Status AS [HIDE1], Items.Days2 AS [HIDE2], Items.Status AS [HIDE3], Services.SerNo "
                            "AS [HIDE4], Services.CatNo AS [HIDE5], Items.ItemID AS [HIDE_KEY] ")
           + QStringLiteral("FROM ServiceCategories INNER JOIN (Items INNER JOIN Services ON Items.SerNo = "
                            "Services.SerNo) ON ServiceCategories.CatNo = Services.CatNo ")
           + QStringLiteral("WHERE Items.JobID = ") + QString::number(jobId)
           + QStringLiteral(" ORDER BY Items.ItemNo, Items.SubNo, Items.SortNo, ServiceCategories.SortNo, "
                            "Services.SortNo, Services.Name");
}

QString ScheduleJobGrid::MonthName(const QDate &date)
{
    static const char *const months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return date.isValid() ? QString::fromLatin1(months[date.month() - 1]) : QString();
}

QString ScheduleJobGrid::DayHeader(const QDate &date)
{
    // Monday first, as QDate counts.
    static const char *const days[7] = {" M", " T", " W", "Th", " F", " S", "Su"};
    if (!date.isValid())
        return QString();
    return QString::fromLatin1(days[date.dayOfWeek() - 1]) + QLatin1Char('/') + QString::number(date.day());
}

void ScheduleJobGrid::SetOrder(qint32 jobId, const QDate &dateIn, const QDate &dateProof, const QDate &dateDue)
{
    m_jobId = jobId;
    m_dateIn = dateIn;
    m_dateProof = dateProof;
    m_dateDue = dateDue;
}

int ScheduleJobGrid::DateColumn(const QDate &date) const
{
    return int(std::clamp<qint64>(m_firstDay.daysTo(date) + 4, ColBefore, ColAfter));
}

void ScheduleJobGrid::Fill(int scroll, const QDate &today)
{
    m_today = today;
    m_table.Reset();
    m_table.LoadQueryWithProgress(Sql(m_jobId), CXTable::TotalsPerGroup, 2, QString());
    // The closing total row goes; each item keeps the total row after it.
    if (m_table.GetRowCount() > 0)
        m_table.RemoveRow(-1);
    m_table.m_totalMode = CXTable::TotalsNone;
    m_table.m_parentColumn = -1;

    static const int widths[ColumnCount] = {6, 12, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                            1, 1, 1, 1, 1, 6, 6, 1, 6, 3, 5, 0, 0, 0, 0, 0, 0};
    for (int c = 0; c < std::min(int(ColumnCount), m_table.GetColumnCount()); ++c) {
        if (c >= ColHideStatus)
            continue;
        m_table.SetColumnCharWidth(c, widths[c]);
        // The actual time and quantity keep the numbers' own alignment.
        if (c != ColActualTime && c != ColActualQuantity)
            m_table.SetColumnFormat(c, c >= ColDate && c <= ColAfter ? kCentred : kLeft);
    }
    m_table.m_tColumn = ColDescription;

    m_nScroll += scroll;
    m_firstDay = today.addDays(m_nScroll);

    const int dueColumn = m_dateDue.isValid() ? DateColumn(m_dateDue) : ColBefore;
    const int inColumn = m_dateIn.isValid() ? DateColumn(m_dateIn) : ColBefore;
    const int proofColumn = m_dateProof.isValid() ? DateColumn(m_dateProof) : -1;

    for (int n = 1; n <= 15; ++n) {
        const QDate day = m_firstDay.addDays(n - 1);
        const int column = n + kFirstDayIndex;
        const bool weekend = day.dayOfWeek() == Qt::Saturday || day.dayOfWeek() == Qt::Sunday;
        m_table.SetColumnAttribute(column, weekend ? 1 : 0);
        m_table.RenameColumn(column, DayHeader(day));
    }
    if (m_nScroll == 0)
        m_table.RenameColumn(ColFirstDay, QStringLiteral("To-/day"));
    m_table.RenameColumn(ColBefore, QStringLiteral("<</") + MonthName(m_firstDay));
    m_table.RenameColumn(ColAfter, QStringLiteral(">>/") + MonthName(m_firstDay.addDays(14)));
    m_table.ApplyColumnFlags();

    const int rows = m_table.GetRowCount();
    m_codes.assign(size_t(std::max(rows, 0)), {0, 0, 0});
    for (int row = 0; row < rows; ++row)
        for (int c = ColOperator; c <= ColPriority; ++c)
            m_codes[size_t(row)][size_t(codeIndex(c))] = m_table.GetCellText(row, c).toInt();

    CZqApp *app = ZqApp();
    m_nLate = 0;
    for (int row = 0; row + 1 < rows; ++row) {
        if (m_table.GetRowKey(row) == 0)
            continue; // an item's total row
        if (!m_table.GetCellText(row, ColStatus).isEmpty()) {
            ShowItemStatus(row, m_table.GetCellLong(row, ColHideItemStatus));
            if (proofColumn >= 0)
                m_table.SetCellStyle(row, proofColumn, kProofMark);
            m_table.SetCellStyle(row, inColumn, kDateInMark);
            m_table.SetCellStyle(row, dueColumn, kDueMark);
            m_table.SetCellText(row, ColOperator, QString());
            ShowCodeCell(row, ColTag, 255);
            ShowCodeCell(row, ColPriority, 255);
            m_table.SetRowFlags(row, CXTable::RowFlag4);
            continue;
        }
        const qint32 catNo = m_table.GetCellLong(row, ColHideCatNo);
        const qint32 serNo = m_table.GetCellLong(row, ColHideSerNo);
        QString text;
        if (app)
            text = app->GetCategoryName(catNo) + QStringLiteral(": ") + app->GetServiceName(serNo);
        m_table.SetCellText(row, ColDescription, text + m_table.GetCellText(row, ColDescription));
        ShowCodeCell(row, ColOperator, 255);
        ShowCodeCell(row, ColTag, 255);
        ShowCodeCell(row, ColPriority, 255);
        if (ShowServiceRow(row) > dueColumn)
            ++m_nLate;
    }

    if (m_nLate == 0) {
        m_strLateNote.clear();
    } else {
        const QString dashes(45, QLatin1Char('-'));
        m_strLateNote = QStringLiteral("%1\n %2 Service%3 scheduled after the Job Due Date.\n%4")
                            .arg(dashes)
                            .arg(m_nLate)
                            .arg(m_nLate > 1 ? QStringLiteral("s are") : QStringLiteral(" is"), dashes);
    }
}

int ScheduleJobGrid::ShowServiceRow(int row)
{
    CZqApp *app = ZqApp();
    const qint32 catNo = m_table.GetCellLong(row, ColHideCatNo);
    const int status = m_table.GetCellLong(row, ColHideStatus);
    // A new service, never given a date, is drawn on the day it is to be
    // done (its status), not on the day before its order came in.
    const int day = ServiceDay(status, m_table.GetCellLong(row, ColHideDays));
    const int icon = app ? app->GetCategoryStateIcon(catNo, status) : 0;
    int column = ColBefore;
    if (m_dateIn.isValid() && day > 0) {
        const QDate date = m_dateIn.addDays(day - 1);
        m_table.SetCellText(row, ColDate, date.toString(QStringLiteral("MM/dd/yy")));
        m_table.SetCellStyle(row, ColDate,
                             std::uint8_t(app ? app->GetDateIcon(DateTime::fromDate(date)) : 255));
        column = int(std::clamp<qint64>(m_firstDay.daysTo(m_dateIn) + day + 3, ColBefore, ColAfter));
    } else {
        m_table.SetCellText(row, ColDate, QStringLiteral("?"));
        m_table.SetCellStyle(row, ColDate, 255);
    }
    m_table.SetCellStyle(row, ColDescription, std::uint8_t(icon));
    m_table.SetCellStyle(row, column, std::uint8_t(icon));
    const std::uint32_t marked = m_table.GetRowFlags(row) & CXTable::RowMarked;
    m_table.SetRowFlags(row, (status == 0 ? CXTable::RowFlag8 : 0) | marked);
    return column;
}

void ScheduleJobGrid::ShowItemStatus(int row, int status)
{
    CZqApp *app = ZqApp();
    QString name;
    int icon = 0;
    if (app) {
        app->GetScheduleStatusName(name, quint8(status));
        icon = app->GetScheduleStatusIcon(quint8(status));
    }
    // The icon marks the row as an item's: it is never left empty.
    m_table.SetCellStyle(row, ColStatus, std::uint8_t(icon > 0 && icon < 255 ? icon : 140));
    m_table.SetCellText(row, ColStatus, name);
    m_table.SetCellText(row, ColHideItemStatus, QString::number(status));
}

void ScheduleJobGrid::ShowCodeCell(int row, int column, int code)
{
    if (row < 0 || size_t(row) >= m_codes.size() || column < ColOperator || column > ColPriority)
        return;
    int &stored = m_codes[size_t(row)][size_t(codeIndex(column))];
    if (code == 255)
        code = stored;
    stored = code;
    CZqApp *app = ZqApp();
    QString name;
    int icon = 255;
    if (app) {
        if (column == ColOperator)
            app->GetEmployeeNameAndIcon(quint8(code), name, icon);
        else if (column == ColTag)
            app->GetTagNameAndIcon(quint8(code), name, icon);
        else
            app->GetStockStatusNameAndIcon(quint8(code), name, icon);
    }
    m_table.SetCellText(row, column, name);
    m_table.SetCellStyle(row, column, std::uint8_t(icon >= 0 && icon <= 255 ? icon : 255));
}

int ScheduleJobGrid::Code(int row, int column) const
{
    if (row < 0 || size_t(row) >= m_codes.size() || column < ColOperator || column > ColPriority)
        return 0;
    return m_codes[size_t(row)][size_t(codeIndex(column))];
}

bool ScheduleJobGrid::IsItemRow(int row) const
{
    const int style = m_table.GetCellFormat(row, ColStatus);
    return style > 0 && style < 255;
}

bool ScheduleJobGrid::IsServiceRow(int row) const
{
    return m_table.IsValidRow(row) && m_table.GetRowKey(row) != 0 && !IsItemRow(row);
}

int ScheduleJobGrid::FindRowOfKey(qint32 itemId) const
{
    if (itemId == 0)
        return -1;
    for (int row = 0; row < m_table.GetRowCount(); ++row)
        if (m_table.GetRowKey(row) == itemId)
            return row;
    return -1;
}

int ScheduleJobGrid::FindItemRow(int row) const
{
    for (int r = std::min(row, m_table.GetRowCount() - 1); r >= 0; --r)
        if (IsItemRow(r))
            return r;
    return -1;
}

QList<AutoScheduleRow> ScheduleJobGrid::AutoRows() const
{
    QList<AutoScheduleRow> rows;
    for (int row = 0; row < m_table.GetRowCount(); ++row) {
        AutoScheduleRow r;
        r.key = m_table.GetRowKey(row);
        r.serNo = m_table.GetCellLong(row, ColHideSerNo);
        r.status = m_table.GetCellLong(row, ColHideStatus);
        r.days2 = m_table.GetCellLong(row, ColHideDays);
        r.catNo = m_table.GetCellLong(row, ColHideCatNo);
        rows.append(r);
    }
    return rows;
}

AutoScheduleInput ScheduleJobGrid::AutoInput(const QDate &today) const
{
    AutoScheduleInput input;
    input.dateIn = m_dateIn;
    input.dateProof = m_dateProof;
    input.dateDue = m_dateDue;
    input.today = today;
    input.rows = AutoRows();
    if (CZqApp *app = ZqApp()) {
        input.saturdayWorkday = app->saturdayWorkday();
        input.sundayWorkday = app->sundayWorkday();
        for (const AutoScheduleRow &row : input.rows)
            input.departments.insert(row.catNo, app->GetCategoryDepartment(row.catNo));
    }
    return input;
}
