// Status words and pictures of jobs, time records, to-dos, stock, schedule
// entries and employees, and the time-record questions asked before a
// service is timed.
//
// Picture numbers index the shared image lists. Category and department
// pictures lie in 48..59; the groups 60..71, 72..83 and 84..95 hold the same
// twelve pictures as working, paused and finished, so a state is shown by
// moving a category picture into another group.
#include "app/base/CZqApp.h"

#include "app/base/DateRanges.h"

namespace {

constexpr int kCategoryGroup = 48;
constexpr int kFinishedGroup = 84;

} // namespace

void CZqApp::GetJobStatusName(QString &out, quint8 status)
{
    switch (status) {
    case 1: out = QStringLiteral("On Hold"); break;
    case 2: out = QStringLiteral("Ready to Ship"); break;
    case 3: out = QStringLiteral("Ready to Post"); break;
    default: out = QStringLiteral("In Progress"); break;
    }
}

void CZqApp::GetClockStatusName(QString &out, quint8 status, bool task)
{
    switch (status) {
    case 0: out = task ? QStringLiteral("Working") : QStringLiteral("IN"); break;
    case 1: out = task ? QStringLiteral("Paused") : QStringLiteral("ON BREAK"); break;
    case 2:
    case 3: out = task ? QStringLiteral("Finished") : QStringLiteral("OUT"); break;
    default: out = QStringLiteral("?"); break;
    }
}

void CZqApp::GetTodoStatusName(QString &out, quint8 status)
{
    switch (status) {
    case 1: out = QStringLiteral("In Progress"); break;
    case 2: out = QStringLiteral("Paused"); break;
    case 3: out = QStringLiteral("Done"); break;
    default: out = QStringLiteral("To-Do"); break;
    }
}

void CZqApp::GetStockStatusName(QString &out, quint8 status)
{
    switch (status) {
    case 0: out.clear(); break;
    case 10: out = QStringLiteral("To-Order"); break;
    case 11: out = QStringLiteral("On-Order"); break;
    case 12: out = QStringLiteral("In-Stock"); break;
    default: out = QString::number(status); break;
    }
}

void CZqApp::GetScheduleStatusName(QString &out, quint8 status)
{
    switch (status) {
    case 0: out = QStringLiteral("Schedule"); return;
    case 1: out = QStringLiteral("Hold"); return;
    case 2: out = QStringLiteral("Wait"); return;
    case 3: out = QStringLiteral("Proof"); return;
    case 4: out = QStringLiteral("In Production"); return;
    case 17: out = QStringLiteral("Done"); return;
    default: break;
    }
    out.clear();
    // Codes 5 to 16 wait at the service department numbered code - 4.
    CListItem department;
    if (status >= 5 && status <= 16 && FindCode(ServiceDepartments, status - 4, department))
        out = department.m_text;
}

int CZqApp::GetJobStatusIcon(quint8 status)
{
    switch (status) {
    case 1: return 25;
    case 2: return 28;
    case 3: return 26;
    default: return 24;
    }
}

int CZqApp::GetStatusIconOffset(quint8 timeStatus)
{
    switch (timeStatus) {
    case 0: return 60;
    case 1: return 72;
    case 2:
    case 3: return kFinishedGroup;
    default: return kCategoryGroup;
    }
}

int CZqApp::GetTodoStatusIcon(quint8 status)
{
    switch (status) {
    case 1: return 60;
    case 2: return 72;
    case 3: return 212;
    default: return kCategoryGroup;
    }
}

int CZqApp::GetStockStatusIcon(quint8 status)
{
    switch (status) {
    case 0: return 255; // no picture
    case 10: return 104;
    case 11: return 103;
    case 12: return 102;
    default: return status + 157;
    }
}

int CZqApp::GetScheduleStatusIcon(quint8 status)
{
    if (status <= 4)
        return 140 + status;
    if (status == 17)
        return 145;
    return GetDepartmentIcon(status - 4) + 60;
}

int CZqApp::GetEmployeeIcon(quint8 empNo, unsigned imageList)
{
    if (imageList == 134)
        return empNo;
    int picture;
    if (empNo == 100)
        picture = 0; // everyone
    else if (empNo == 0)
        picture = 1;
    else
        picture = (empNo - 1) % 10 + 2;
    return imageList == 133 ? picture : picture + 115;
}

int CZqApp::GetDateIcon(const DateTime &date) const
{
    // Days are compared whole: the time of day does not count.
    const DateTime today = (m_today.isValid() ? m_today : GetToday()).datePart();
    const DateTime day = date.datePart();
    if (day < today)
        return 128;
    if (day == today)
        return 129;
    // Without a horizon (before the scheduler has set one) no day is beyond it.
    if (m_horizon.isValid() && day >= m_horizon.datePart())
        return 137;
    return 129 + day.dayOfWeek();
}

int CZqApp::GetCategoryStateIcon(qint32 catNo, int count)
{
    return GetCategoryIcon(catNo) - kCategoryGroup + (count < 1 ? kFinishedGroup : kCategoryGroup);
}

int CZqApp::GetServiceStatusIcon(quint8 timeStatus, qint32 catNo)
{
    return GetCategoryIcon(catNo) - kCategoryGroup + GetStatusIconOffset(timeStatus);
}

int CZqApp::GetItemStatusIcon(qint32 catNo, bool flag, qint32 itemId)
{
    int offset = kFinishedGroup;
    if (flag)
        offset = itemId == 0 ? kCategoryGroup : GetStatusIconOffset(GetItemTimeStatus(itemId));
    return GetCategoryIcon(catNo) - kCategoryGroup + offset;
}

quint8 CZqApp::GetItemTimeStatus(qint32 itemId) const
{
    const QueryResult r = ReadQuery(
        QStringLiteral("SELECT Status FROM Times WHERE ItemID = %1 and TimeFor = %2 ORDER BY Status").arg(itemId).arg(1),
        1);
    return r.isEmpty() ? 255 : quint8(r.rows.first().value(0).toInt());
}

void CZqApp::GetOfficeTaskWarning(QString &out, qint32 itemId, quint8 empNo) const
{
    const QueryResult r =
        ReadQuery(QStringLiteral("SELECT Status FROM Times WHERE ItemID = %1 and EmpNo = %2 and TimeFor = %3 "
                                 "and Status < %4 ORDER BY Start")
                      .arg(itemId)
                      .arg(empNo)
                      .arg(2)
                      .arg(3),
                  1);
    out = r.isEmpty() ? QString() : QStringLiteral("You have already started this Office Task.");
}

void CZqApp::GetServiceWarnings(QString &out, qint32 itemId)
{
    out.clear();
    const QueryResult service =
        ReadQuery(QStringLiteral("SELECT JobID, ItemNo, SubNo, Status FROM Items WHERE ItemID = %1").arg(itemId), 1);
    if (service.isEmpty())
        return;
    const QueryResult item = ReadQuery(QStringLiteral("SELECT Status FROM Items WHERE JobID = %1 AND ItemNo = %2 "
                                                      "AND SubNo = %3 AND SerNo = 0")
                                           .arg(service.value(0, QStringLiteral("JobID")).toInt64())
                                           .arg(service.value(0, QStringLiteral("ItemNo")).toInt())
                                           .arg(service.value(0, QStringLiteral("SubNo")).toInt()),
                                       1);
    if (item.isEmpty())
        return;

    QString cautions;
    const quint8 itemStatus = quint8(item.rows.first().value(0).toInt());
    if (itemStatus <= 3 || itemStatus == 16) {
        QString name;
        GetScheduleStatusName(name, itemStatus);
        cautions += QStringLiteral("Item Status is '") + name + QStringLiteral("'. ");
    }
    if (service.value(0, QStringLiteral("Status")).toInt() == 0)
        cautions += QStringLiteral("Service is marked as 'Done'. ");
    const quint8 timeStatus = GetItemTimeStatus(itemId);
    if (timeStatus < 4) {
        QString name;
        GetClockStatusName(name, timeStatus, true);
        cautions += QStringLiteral("There's a '") + name + QStringLiteral("' task for this Service already. ");
    }
    if (!cautions.isEmpty())
        out = QStringLiteral("Caution: ") + cautions;
}
