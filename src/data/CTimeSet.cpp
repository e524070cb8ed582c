#include "data/CTimeSet.h"

#include "app/base/CZqApp.h"
#include "app/base/QuantityText.h"
#include "data/CJobSet.h"
#include "data/CodeLookups.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"

#include <cmath>

namespace {

// Track options read by the clock.
constexpr int kStatusOnStart = 4;
constexpr int kOperatorOnStart = 5;
constexpr int kNoteOnStart = 6;
constexpr int kStatusOnEnd = 8;
constexpr int kOperatorOnEnd = 9;
constexpr int kActualsOnEnd = 10;
constexpr int kAskItemStatus = 13;

// Shop option bit: the quantity booked from the inventory dialog is the
// actual quantity, so the clock's material is not booked.
constexpr qint32 kBookDialogQuantity = 16;

constexpr const char *kTimeFormat = "%H:%M  %m/%d/%Y";

int minuteOfDay(const DateTime &moment)
{
    return moment.hour() * 60 + moment.minute();
}

DateTime atMinuteOfDay(const DateTime &day, int minute)
{
    return DateTime(day.year(), day.month(), day.day(), minute / 60, minute % 60, 0);
}

} // namespace

CTimeSet::CTimeSet(platform::Database *database)
    : CXDaoSet(database), m_item(database), m_lookup(database)
{
    m_nDefaultType = dbOpenDynaset;
    ResetFields();
}

QString CTimeSet::GetDefaultSQL() const
{
    return QStringLiteral("Times");
}

void CTimeSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[TimeID]"), m_TimeID);
    DFX_Byte(pFX, QStringLiteral("[TimeFor]"), m_TimeFor);
    DFX_Byte(pFX, QStringLiteral("[EmpNo]"), m_EmpNo);
    DFX_LongNoNull(pFX, QStringLiteral("[ItemID]"), m_ItemID);
    DFX_DateTime(pFX, QStringLiteral("[Start]"), m_Start);
    DFX_DateTime(pFX, QStringLiteral("[Finish]"), m_Finish);
    DFX_LongNoNull(pFX, QStringLiteral("[Minutes]"), m_Minutes);
    DFX_LongNoNull(pFX, QStringLiteral("[Material]"), m_Material);
    DFX_LongNoNull(pFX, QStringLiteral("[Option]"), m_Option);
    DFX_Byte(pFX, QStringLiteral("[Status]"), m_Status);
    DFX_Byte(pFX, QStringLiteral("[Subgroup]"), m_Subgroup);
    DFX_Text(pFX, QStringLiteral("[Note]"), m_Note);
    m_nLastDfxOp = pFX->operation();
}

void CTimeSet::ResetFields()
{
    m_EmpNo = 0;
    m_TimeFor = 0;
    m_ItemID = 0;
    m_Start = DateTime::null();
    m_Finish = DateTime::null();
    m_Minutes = 0;
    m_Material = 0;
    m_Option = 0;
    m_Status = 0;
    m_Subgroup = 0;
    m_Note.clear();
    clearDisplay();
}

void CTimeSet::clearDisplay()
{
    m_strStatus.clear();
    m_strEmployee.clear();
    m_nEmployeeIcon = 0;
    m_strJob.clear();
    m_strJobLabel.clear();
    m_nJobID = 0;
    m_strTask.clear();
    m_nTaskImage = 0;
    m_strStart.clear();
    m_strFinish.clear();
    m_nElapsed = 0;
    m_nWorked = 0;
    m_nPaused = 0;
    m_dtNow = DateTime::null();
}

int CTimeSet::trackOption(int index) const
{
    return ZqApp() ? ZqApp()->GetTrackOptionInt(index) : 0;
}

bool CTimeSet::FindEntries(const QString &filter, const QString &sort, bool edit)
{
    m_strFilter = filter;
    m_strSort = sort;
    return RequeryOrOpen(edit);
}

bool CTimeSet::FindByTimeID(qint32 timeId, bool edit)
{
    if (timeId == 0)
        return false;
    return FindEntries(QStringLiteral("TimeID = %1").arg(timeId), QString(), edit);
}

DateTime CTimeSet::GetNowToMinute()
{
    const QDateTime now = platform::Clock::now();
    const QDate d = now.date();
    const QTime t = now.time();
    return DateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), 0);
}

qint32 CTimeSet::MinutesBetween(const DateTime &a, const DateTime &b)
{
    // The span is taken to the nearest second first, so that moments stored
    // to the minute give exact minutes despite the day fraction's rounding.
    const qint64 seconds = std::llround((b.serial() - a.serial()) * 86400.0);
    return qint32(seconds / 60);
}

bool CTimeSet::StartEntry(quint8 empNo, quint8 timeFor, qint32 itemId, unsigned beep)
{
    if (empNo == 0) {
        platform::Prompt::messageBox(QStringLiteral("Please select your name or scan your barcode."));
        return false;
    }
    if (!SafeAddNew())
        return false;
    ResetFields();
    m_EmpNo = empNo;
    m_TimeFor = timeFor;
    m_ItemID = itemId;
    m_Status = 0;
    m_Start = GetNowToMinute();

    // Nobody starts before the working day does.
    const int dayStart = ZqApp() ? ZqApp()->trackStart() : 0;
    if (dayStart > 0 && minuteOfDay(m_Start) < dayStart)
        m_Start = atMinuteOfDay(m_Start, dayStart);

    FinishTask(true, true);
    return SaveRecord(beep);
}

bool CTimeSet::ApplyClockCommand(int command)
{
    const bool serviceSkipped = command == FinishTaskOnly;
    if (serviceSkipped)
        command = Finish;

    // The transitions a row takes; anything else changes nothing.
    int newStatus = -1;
    bool addWorked = false;
    bool startRules = false;
    bool endRules = false;
    switch (m_Status) {
    case 0:
        if (command == Pause) {
            newStatus = 1;
            addWorked = true;
        } else if (command == Finish) {
            newStatus = 2;
            addWorked = true;
            endRules = true;
        }
        break;
    case 1:
        if (command == Resume) {
            newStatus = 0;
        } else if (command == Finish) {
            newStatus = 2;
            endRules = true;
        }
        break;
    case 2:
        if (command == Resume) {
            newStatus = 0;
            startRules = true;
        }
        break;
    default:
        break;
    }
    if (newStatus < 0)
        return false;
    if (GetEditMode() == dbEditNone && !SafeEdit())
        return false;

    DateTime now = GetNowToMinute();
    // Nobody finishes after the working day does.
    const int dayEnd = ZqApp() ? ZqApp()->trackEnd() : 0;
    if (command == Finish && dayEnd > 0 && minuteOfDay(now) > dayEnd)
        now = atMinuteOfDay(now, dayEnd);

    if (!m_Start.isValid() || m_Start > now)
        m_Start = now;
    const qint32 span = MinutesBetween(m_Start, now);
    qint32 worked = span;
    if (m_Finish.isValid()) {
        if (m_Finish < m_Start)
            m_Finish = m_Start;
        if (m_Finish > now)
            m_Finish = now;
        worked = MinutesBetween(m_Finish, now);
    }

    if (addWorked)
        m_Minutes += worked;
    m_Finish = now;
    m_Status = quint8(newStatus);
    if (m_Minutes > span)
        m_Minutes = span;

    if (!SaveRecord(platform::MB_ICONASTERISK))
        return false;
    if (serviceSkipped || (!startRules && !endRules))
        return true;
    FinishTask(startRules, false);
    return true;
}

void CTimeSet::FinishTask(bool starting, bool showNote)
{
    if (m_TimeFor != ServiceTask)
        return;
    if (!m_item.OpenByItemID(m_ItemID, false))
        return;
    const bool gate = trackOption(starting ? kStatusOnStart : kStatusOnEnd) != 0;
    const QString employee = EmployeeName(m_EmpNo);

    if (starting) {
        if (m_item.m_Status == 0 && gate) {
            const int status = m_item.m_Days2 != 0 ? m_item.m_Days2 : 1;
            if (m_item.SetServiceStatus(status, 0, 0) == 0)
                return;
        }
        if (trackOption(kOperatorOnStart))
            m_item.SetServiceStatus(m_EmpNo, 1, 0);
        if (showNote && !m_item.m_Note.isEmpty() && trackOption(kNoteOnStart))
            platform::Prompt::messageBox(employee + QStringLiteral(", please note:\n\n") + m_item.m_Note);
    } else {
        if (trackOption(kOperatorOnEnd))
            m_item.SetServiceStatus(m_EmpNo, 1, 0);
        m_lookup.Open(dbOpenSnapshot,
                      QStringLiteral("SELECT * FROM Times WHERE TimeFor = %1 and ItemID = %2 and Status < %3 and TimeID <> %4")
                          .arg(int(ServiceTask))
                          .arg(m_ItemID)
                          .arg(2)
                          .arg(m_TimeID));
        const bool othersOpen = !m_lookup.IsEmptySet();
        m_lookup.Close();
        if (othersOpen) {
            platform::Prompt::messageBox(
                employee
                + QStringLiteral(", your task is finished but there is at least one more\nUNFINISHED TASK for this "
                                 "Service.\n\nTherefore, the status (and cost) of the Service will not be updated "
                                 "\nuntil all tasks are finished for this Service."));
        } else {
            if (m_item.m_Status != 0 && gate) {
                if (m_item.SetServiceStatus(0, 0, 0) == 0)
                    return;
            }
            if (trackOption(kActualsOnEnd)) {
                m_lookup.Open(dbOpenSnapshot,
                              QStringLiteral("SELECT Sum(Material), Sum(Minutes) FROM Times WHERE TimeFor = %1 and "
                                             "ItemID = %2 and (Status = %3 or Status = %4)")
                                  .arg(int(ServiceTask))
                                  .arg(m_ItemID)
                                  .arg(2)
                                  .arg(3));
                // The tasks' sums are read in 64 bits: past the largest
                // count they are refused by name and nothing is booked,
                // never cut to 32 bits.
                qint64 material = 0;
                qint64 minutes = 0;
                if (!m_lookup.IsEmptySet()) {
                    const platform::Value sumMaterial = m_lookup.GetFieldValue(0);
                    const platform::Value sumMinutes = m_lookup.GetFieldValue(1);
                    material = sumMaterial.isNull() ? 0 : sumMaterial.toInt64();
                    minutes = sumMinutes.isNull() ? 0 : sumMinutes.toInt64();
                }
                m_lookup.Close();
                if (CItemSet::GetInventoryRules().optionBits & kBookDialogQuantity)
                    material = 0;
                const bool pastMaterial = !IsWithinLargestCount(material);
                if (pastMaterial || !IsWithinLargestCount(minutes)) {
                    QString text = PastLargestFigureText(pastMaterial ? QStringLiteral("Material of the finished tasks")
                                                                      : QStringLiteral("Minutes of the finished tasks"),
                                                         pastMaterial ? material : minutes, false);
                    text[0] = text.at(0).toUpper();
                    platform::Prompt::messageBox(text + QStringLiteral("\n\nThe Service's actual quantity and time are "
                                                                       "not updated."),
                                                 QString(), platform::MB_ICONEXCLAMATION);
                } else {
                    m_item.SetActualCosts(qint32(material), qint32(minutes));
                }
            }
        }
    }

    if (gate && updateItemProductionStatus(m_item.m_JobID, m_item.m_ItemNo, m_item.m_SubNo))
        updateJobStatus(m_item.m_JobID);
}

bool CTimeSet::updateItemProductionStatus(qint32 jobId, quint8 itemNo, quint8 subNo)
{
    CItemSet item;
    if (!item.OpenItemRows(jobId, itemNo, subNo, CItemSet::ItemRows))
        return false;

    // The production board column of the item's first service still to do:
    // its department + 4, or 17 when every service is done.
    quint8 target = 17;
    m_lookup.Open(dbOpenSnapshot,
                  QStringLiteral("SELECT ServiceDepartments.DepNo, Services.CatNo FROM (((Items INNER JOIN Jobs ON "
                                 "Items.JobID = Jobs.JobID) INNER JOIN Services ON Items.SerNo = Services.SerNo) INNER "
                                 "JOIN ServiceCategories ON Services.CatNo = ServiceCategories.CatNo) INNER JOIN "
                                 "ServiceDepartments ON ServiceCategories.DepNo = ServiceDepartments.DepNo WHERE "
                                 "Items.JobID=%1 AND Items.ItemNo=%2 AND Items.SubNo=%3 AND Items.SerNo>0 AND "
                                 "Items.Status>0 ORDER BY ServiceDepartments.SortNo, ServiceCategories.SortNo")
                      .arg(jobId)
                      .arg(itemNo)
                      .arg(subNo),
                  dbForwardOnly);
    if (!m_lookup.IsEmptySet()) {
        quint8 depNo = 0;
        m_lookup.GetFieldByte(0, depNo);
        if (depNo != 0)
            target = quint8(depNo + 4);
    }
    m_lookup.Close();

    if (item.m_Status == target)
        return false;
    if (trackOption(kAskItemStatus) && !ConfirmItemStatusChange(item.m_Status, target))
        return false;
    return item.SetServiceStatus(target, 0, 0) != 0;
}

void CTimeSet::updateJobStatus(qint32 jobId)
{
    CJobSet job;
    if (!job.FindById(jobId, false))
        return;
    // On Hold and Ready to Post are the office's decisions.
    if (job.m_Status == 1 || job.m_Status == 3)
        return;
    CItemSet services;
    const quint8 status = services.OpenJobRows(jobId, CItemSet::UnfinishedServices) ? 0 : 2;
    if (status == job.m_Status)
        return;
    if (!job.SafeEdit())
        return;
    job.m_Status = status;
    job.SafeUpdate(job.GetDefaultSQL());
}

void CTimeSet::LoadDisplayTexts()
{
    clearDisplay();
    const bool task = m_TimeFor != DayClock;
    CZqApp::GetClockStatusName(m_strStatus, m_Status, task);
    m_strEmployee = EmployeeName(m_EmpNo);
    m_nEmployeeIcon = CZqApp::GetEmployeeIcon(m_EmpNo, 131);

    if (m_TimeFor == ServiceTask) {
        m_lookup.Open(dbOpenSnapshot,
                      QStringLiteral("SELECT IIf(Customers.CusNo = 31, IIf(Jobs.ShiptoNo = 0, '* ', '* ' + "
                                     "ShipTo.Company), Customers.Name) AS [Customer], Jobs.JobNo, Jobs.JobID, "
                                     "Items.ItemNo FROM (ShipTo RIGHT JOIN (Customers INNER JOIN Jobs ON "
                                     "Customers.CusNo = Jobs.CusNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo) INNER JOIN "
                                     "Items ON Jobs.JobID = Items.JobID WHERE Items.ItemID = %1")
                          .arg(m_ItemID));
        if (!m_lookup.IsEmptySet()) {
            m_lookup.GetFieldString(0, m_strJob);
            qint32 jobNo = 0;
            quint8 itemNo = 0;
            m_lookup.GetFieldLong(1, jobNo);
            m_lookup.GetFieldLong(2, m_nJobID);
            m_lookup.GetFieldByte(3, itemNo);
            m_strJobLabel = QStringLiteral("%1-%2").arg(jobNo).arg(itemNo);
        }
        m_lookup.Close();
    }

    const int finished = m_Status >= 2 ? 2 : m_Status;
    switch (m_TimeFor) {
    case DayClock:
        m_strTask = QStringLiteral("MY DAY");
        m_nTaskImage = 96 + finished;
        break;
    case OfficeTask:
        m_lookup.Open(dbOpenSnapshot, QStringLiteral("SELECT Name FROM TimeDepartments WHERE DepID = %1").arg(m_ItemID));
        if (m_lookup.IsEmptySet())
            m_strTask = QStringLiteral("Office task not found");
        else
            m_lookup.GetFieldString(0, m_strTask);
        m_lookup.Close();
        m_nTaskImage = 99 + finished;
        break;
    case ServiceTask: {
        m_lookup.Open(dbOpenSnapshot, QStringLiteral("SELECT Items.SerNo FROM Items WHERE Items.ItemID = %1").arg(m_ItemID));
        if (m_lookup.IsEmptySet()) {
            m_strTask = QStringLiteral("Service not found");
            m_nTaskImage = 232;
        } else {
            qint32 serNo = 0;
            m_lookup.GetFieldLong(0, serNo);
            CachedCode service;
            if (!LookupCode(CodeTable::Services, serNo, service))
                service.text = QStringLiteral("?");
            CachedCode category;
            if (!LookupCode(CodeTable::ServiceCategories, service.number1, category))
                category.text = QStringLiteral("?");
            m_strTask = category.text + QStringLiteral(": ") + service.text;
            // The category's picture moved into the group of the status;
            // the application's caches know the category's picture.
            CZqApp *app = ZqApp();
            m_nTaskImage = app ? app->GetServiceStatusIcon(m_Status, service.number1)
                               : 255 - 48 + CZqApp::GetStatusIconOffset(m_Status);
        }
        m_lookup.Close();
        break;
    }
    default:
        break;
    }

    // The shown times; a row that stopped without a recorded change counts
    // from its start (the row itself is left as it is).
    const QString format = QString::fromLatin1(kTimeFormat);
    m_strStart = m_Start.isValid() ? m_Start.format(format) : QString();
    DateTime finish = m_Finish;
    if (m_Status != 0 && !finish.isValid())
        finish = m_Start;
    m_dtNow = GetNowToMinute();
    qint32 worked = m_Minutes;
    qint32 elapsed = 0;
    if (m_Start.isValid()) {
        if (m_Status >= 2) {
            elapsed = MinutesBetween(m_Start, finish);
            m_strFinish = finish.format(format);
        } else if (m_Status == 1) {
            elapsed = MinutesBetween(m_Start, m_dtNow);
            m_strFinish = finish.format(format);
        } else {
            elapsed = MinutesBetween(m_Start, m_dtNow);
            worked = finish.isValid() ? m_Minutes + MinutesBetween(finish, m_dtNow) : elapsed;
        }
    }
    m_nElapsed = elapsed;
    m_nWorked = worked;
    m_nPaused = elapsed - worked;
}
