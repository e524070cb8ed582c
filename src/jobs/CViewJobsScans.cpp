// The jobs view's answers to the shop floor's bar codes: job tickets, item
// labels, customer and employee cards and the printed command sheets.

#include "jobs/CViewJobs.h"

#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "data/CCusSet.h"
#include "data/CodeLookups.h"
#include "data/JobTypes.h"
#include "data/OptionsAndLookups.h"
#include "jobs/CJobNew.h"
#include "jobs/JobCreation.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"

namespace {

constexpr int kScanJob = 30598;
constexpr int kScanItem = 30410;
constexpr int kScanCustomer = 30420;
constexpr int kScanCsr = 30422;
constexpr int kScanCommand = 31000;
constexpr int kFirstViewCommand = 30002;
// Saved stamps sound the short confirmation beep.
constexpr unsigned kStampBeep = 0x40;

void tell(const char *text)
{
    platform::Prompt::messageBox(QString::fromLatin1(text));
}

// The name of a scanned employee; empty when there is none of that number
// (employee numbers end at 255).
QString scannedEmployee(qint32 number)
{
    if (number <= 0 || number > 255)
        return QString();
    const QString name = EmployeeName(quint8(number));
    return name == QLatin1String("?") ? QString() : name;
}

} // namespace

int CViewJobs::OnScanCommand(int command, int)
{
    if (command < kFirstViewCommand)
        return 0;
    switch (command) {
    case kScanJob:
        if (!ShowOneJob(m_barCode.m_nObject))
            tell("Cannot find the job you have scanned.");
        break;
    case kScanItem: {
        platform::Value jobId;
        LookupFirstValue(jobId, QStringLiteral("SELECT JobID FROM Items WHERE ItemID = %1").arg(m_barCode.m_nObject));
        if (jobId.isNull() || !ShowOneJob(qint32(jobId.toInt64())))
            tell("Cannot find the Item you have scanned.");
        break;
    }
    case kScanCustomer: case kScanCsr:
        // Remembered in the reader for the command that follows.
        break;
    case kScanCommand:
        PostCommand(m_barCode.m_nAction);
        break;
    default:
        // Forgotten once said: a code held from it would stand before the
        // customer or CSR scanned next.
        tell("Sorry, the barcode command you have scanned is not used in this section.");
        m_barCode.Reset();
        break;
    }
    return 1;
}

bool CViewJobs::CanStamp()
{
    return branch() == CJobSet::Order && m_jobSet.IsOpen() && !m_jobSet.IsEmptySet() && m_jobSet.m_JobID > 0;
}

void CViewJobs::AfterStamp(int code)
{
    if (!m_jobSet.SaveRecord(kStampBeep))
        return;
    const qint32 jobId = m_jobSet.m_JobID;
    ClearFilter();
    m_strSortText.clear();
    SelectTreeCode(code);
    m_list->FindItemByData(jobId, true);
}

void CViewJobs::OnStatusStamp(int id)
{
    // The job is read again so that the stamp never writes over another
    // workstation's changes made since the scan.
    if (CanStamp() && m_jobSet.FindById(m_jobSet.m_JobID, true)) {
        m_jobSet.m_Status = quint8(id - 30131);
        AfterStamp(m_jobSet.m_JobType * 100 + 2 + m_jobSet.m_Status);
    }
    m_barCode.Reset();
}

void CViewJobs::OnDateStamp(int id)
{
    if (CanStamp() && m_jobSet.FindById(m_jobSet.m_JobID, true)) {
        const DateTime today = DateTime::fromDate(platform::Clock::today());
        int entry = 0;
        switch (id) {
        case 30141: m_jobSet.m_DateIn = today; entry = 6; break;
        case 30142: m_jobSet.m_DateDue = today; entry = 9; break;
        case 30143: m_jobSet.m_DateProof = today; entry = 0; break;
        default:
            m_jobSet.m_DateShipped = today;
            m_jobSet.UpdateAutoStatus(false);
            entry = 7;
            break;
        }
        AfterStamp(m_jobSet.m_JobType * 100 + entry);
    }
    m_barCode.Reset();
}

void CViewJobs::OnScannedJobs(int id)
{
    const int type = id - 30610;
    const char kind = m_barCode.m_nObject != 0 ? m_barCode.m_cObjectKind : char(0);
    if (kind != '9' && kind != '0') {
        tell("Please scan the barcode of a customer or CSR first.");
        // The command is forgotten, so that the customer or CSR scanned now
        // and the command scanned again after it make the list.
        m_barCode.Reset();
        return;
    }
    const qint32 number = m_barCode.m_nObject;
    QString name;
    if (kind == '9') {
        CCusSet customer;
        customer.GetCustomerName(name, number);
    } else {
        name = scannedEmployee(number);
    }
    m_nBranch = type;
    m_nItem = 1;
    setFilter(QString(), QStringLiteral("Jobs.%1 = %2 AND Jobs.JobType = %3")
                             .arg(kind == '9' ? QStringLiteral("CusNo") : QStringLiteral("CSRNo"))
                             .arg(number)
                             .arg(type));
    m_strSortText = QStringLiteral("Jobs.JobNo");
    QString typeName;
    GetJobTypeName(typeName, type);
    m_strListCaption = QStringLiteral(" %1%2 of ")
                           .arg(typeName, type == CJobSet::History ? QStringLiteral(" Jobs") : QStringLiteral("s")) +
                       name;
    FillList();
    m_list->setFocus();
    // The scanned customer or CSR stays for the next command (another list,
    // a new job); it has served once.
    m_barCode.m_nOrder = 1;
}

bool CViewJobs::NewForScan(int id)
{
    const char kind = m_barCode.m_nObject != 0 ? m_barCode.m_cObjectKind : char(0);
    if (kind != '9' && kind != '0')
        return false;
    const int type = id - 30600;
    const qint32 number = m_barCode.m_nObject;
    CZqApp *app = ZqApp();
    if (kind == '9') {
        CCusSet customer;
        if (!customer.FindCustomer(number)) {
            tell("Cannot find the customer you have scanned.");
            AfterCreation(false);
            return true;
        }
        const qint32 buyerNo = customer.m_BuyerNo;
        if (!ConfirmCustomerWarning(number, type)) {
            AfterCreation(false);
            return true;
        }
        AfterCreation(CreateJob(m_jobSet, type, number, buyerNo, app ? quint8(app->m_nDefaultCsr) : 0));
        return true;
    }
    // A scanned CSR: the new job dialog asks for the customer, with the CSR
    // and the type already chosen.
    if (scannedEmployee(number).isEmpty()) {
        tell("Cannot find the CSR you have scanned.");
        AfterCreation(false);
        return true;
    }
    CJobNew dialog(0, this);
    dialog.m_nJobType = type;
    dialog.m_bTypeFixed = true;
    dialog.m_nPresetCsr = number;
    if (dialog.DoModal() != IDOK_RESULT) {
        AfterCreation(false);
        return true;
    }
    AfterCreation(CreateJob(m_jobSet, dialog.m_nJobType, dialog.m_nCusNo, dialog.m_nBuyerNo, quint8(dialog.m_nCsr)));
    return true;
}
