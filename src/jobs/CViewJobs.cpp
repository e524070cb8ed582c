#include "jobs/CViewJobs.h"
#include "views/ListChoice.h"

#include "app/base/CZqApp.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "data/CCusSet.h"
#include "data/JobTypes.h"
#include "data/OptionsAndLookups.h"
#include "jobs/CJobDlg.h"
#include "jobs/CJobNew.h"
#include "jobs/JobCreation.h"
#include "jobs/JobHooks.h"
#include "jobs/JobShipping.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"
#include "views/CDlgOptions.h"
#include "app/base/TextUtil.h"

#include <utility>

#include <QtWidgets/QApplication>

namespace {

constexpr int kViewId = 30001;
constexpr int kBranchLists = 44101;
constexpr int kWebOrderPeriod = 300000; // ms
constexpr std::uint8_t kNoticeColour = 21;
constexpr std::uint8_t kHiddenColour = 6;

// The view's own commands: the text its list menus give a command (none for
// those the shared menus or the ribbons carry) and whether it needs a job in
// the list. Commands not here are the base's.
enum class Enabled { Always, WithRows };
struct ViewCommand
{
    int id;
    const char *menuText;
    Enabled enabled;
};
const ViewCommand kCommands[] = {
    {30130, "C&hange Status...\tCtrl+S", Enabled::WithRows},
    {30270, "View Schedule", Enabled::WithRows},
    {30343, "Compare This Job...", Enabled::WithRows},
    {30106, "&e-View (XML)...", Enabled::WithRows},
    {30108, nullptr, Enabled::WithRows},
    {30111, nullptr, Enabled::WithRows},
    {30107, nullptr, Enabled::Always},
    {30160, nullptr, Enabled::Always},
    {30166, nullptr, Enabled::Always},
    {30167, nullptr, Enabled::Always},
    {30170, nullptr, Enabled::Always},
    {30181, nullptr, Enabled::Always},
    {30536, "Summary", Enabled::Always}, // with Ctrl held, the item-price check
};

} // namespace

CViewJobs::CViewJobs(QWidget *parent) : CView0(kViewId, parent)
{
    m_webOrderTimer.setInterval(kWebOrderPeriod);
    connect(&m_webOrderTimer, &QTimer::timeout, this, [this] { UpdateWebOrderNotice(); });
}

CViewJobs::~CViewJobs() = default;

void CViewJobs::OnInitialUpdate()
{
    if (isInitialised())
        return;
    CView0::OnInitialUpdate();
    CXRibbon &bar = *m_listBar;
    bar.AddItem(30108, QString(), 0, 131, 197, 2, 2085, 0, 0, 30, 0, 0, QStringLiteral("Send emails"), 1);
    bar.AddItem(30181, QString(), 0, 131, 194, 2, 2085, 0, 0, 30, 0, 0,
                QStringLiteral("Open Quorwin to receive emails (Ctrl+W)"));
    bar.AddSpacer(8, 0);
    bar.AddItem(30167, QString(), 0, 131, 237, 2, 2085, 0, 0, 30, 0, 0, QStringLiteral("Quick Sale (Ctrl+Q)"));
    bar.AddItem(30166, QString(), 0, 131, 201, 2, 2085, 0, 0, 30, 0, 0, QStringLiteral("Price Book"));
    bar.AddSpacer(8, 0);
    bar.AddItem(30170, QString(), 0, 131, 188, 2, 2085, 0, 0, 30, 0, 0, QStringLiteral("Shipping Labels (Ctrl+L)"));
    bar.AddSpacer(8, 0);
    bar.RecalcLayout(30673);

    // One branch per job type, with the type's picture; the order statuses
    // carry their own.
    for (int type = CJobSet::Order; type <= CJobSet::PellQuote; ++type)
        LoadTreeBranches(kBranchLists + type, kBranchLists + type, GetJobTypeImage(type), type);
    for (int status = 0; status <= 3; ++status)
        if (HTREEITEM entry = m_tree->FindItemByData(quint32(2 + status)))
            m_tree->SetImage(entry, CZqApp::GetJobStatusIcon(quint8(status)));
    SelectTreeCode(1);

    UpdateWebOrderNotice();
    m_webOrderTimer.start();
}

void CViewJobs::FillRibbons()
{
    CView0::FillRibbons();
    // Copy and paste beside Open: how a quote becomes an order, a history
    // job is ordered again or a template starts a job.
    const int at = m_mainBar->FindItem(30103) + 1;
    const bool compact = m_mainBar->barStyle() == 2;
    m_mainBar->AddItem(30111, QStringLiteral("Copy"), 0, 132, 10, 1, 2085, 0, compact ? 0 : 2, compact ? 44 : 64, 0, 0,
                       QStringLiteral("Copy and Paste the Selected Job as a new Order, Quote... (Ctrl+B)"), at);
}

// --- enabling ---------------------------------------------------------------------

void CViewJobs::showEvent(QShowEvent *event)
{
    CView0::showEvent(event);
    UpdateRibbonStates();
}

bool CViewJobs::IsCommandEnabled(int id)
{
    for (const ViewCommand &command : kCommands)
        if (command.id == id)
            return command.enabled == Enabled::Always || (m_list && m_list->GetItemCount() > 0);
    return CView0::IsCommandEnabled(id);
}

QList<CView0::MenuCommand> CViewJobs::ListMenuCommands() const
{
    QList<MenuCommand> entries;
    for (const ViewCommand &command : kCommands)
        if (command.menuText)
            entries.append({command.id, QString::fromUtf8(command.menuText)});
    return entries;
}

// --- commands ----------------------------------------------------------------------

bool CViewJobs::OnCommand(int id)
{
    JobHooks &hooks = GetJobHooks();
    switch (id) {
    case 30103:
        OnOpen();
        return true;
    case 30100:
        OnNew();
        return true;
    case 30599: case 30600: case 30601: case 30602:
        OnNewForCustomer(id);
        return true;
    case 30131: case 30132: case 30133: case 30134: case 30135: case 30136:
        OnStatusStamp(id);
        return true;
    case 30141: case 30142: case 30143: case 30144:
        OnDateStamp(id);
        return true;
    case 30610: case 30611: case 30612: case 30613:
        OnScannedJobs(id);
        return true;
    case 30130:
        OnChangeStatus();
        return true;
    case 30107:
        OnEmailChoice();
        return true;
    case 30108:
        OnEmail(QStringLiteral("Job"));
        return true;
    case 30211:
        OnNotice();
        return true;
    case 30113:
        OnDelete();
        return true;
    case 30330: case 30321: case 30322: case 30323: case 30324: case 30325: case 30326: {
        if (!hooks.printJobDocuments) {
            ReportJobFeatureNotAvailable(QStringLiteral("Printing"));
            return true;
        }
        // The documents are those of the list the caption names.
        ListMatchesCaption();
        const int choice =
            id == 30330 ? -std::exchange(m_nDocumentChoice, 0) : id == 30321 ? -1 : id == 30325 ? -3 : id == 30326 ? -4 : -2;
        const qint32 jobId = qint32(GetSelectedItemData());
        const int answer = hooks.printJobDocuments(choice, branch(), item(), jobId, m_list, this);
        if (answer > 0)
            PostCommand(answer);
        else if (m_nFollowUp != 0)
            PostCommand(std::exchange(m_nFollowUp, 0));
        return true;
    }
    case 30270: {
        const qint32 jobId = qint32(GetSelectedItemData());
        if (jobId <= 0)
            return true;
        if (!hooks.scheduleJob) {
            ReportJobFeatureNotAvailable(QStringLiteral("Scheduling a job"));
            return true;
        }
        hooks.scheduleJob(jobId, this);
        if (m_nFollowUp != 0)
            PostCommand(std::exchange(m_nFollowUp, 0));
        return true;
    }
    case 30106:
        if (!hooks.exportJobsXml)
            ReportJobFeatureNotAvailable(QStringLiteral("The XML export of jobs"));
        else if (HighlightedRowsOfCaption(QStringLiteral("Please select the jobs to export.")))
            hooks.exportJobsXml(m_list, m_strListCaption);
        return true;
    case 30181:
        if (!hooks.readWebOrders) {
            ReportJobFeatureNotAvailable(QStringLiteral("Receiving online orders"));
        } else if (const QString condition = hooks.readWebOrders(this); !condition.isEmpty()) {
            setFilter(condition, QStringLiteral("(") + condition + QStringLiteral(")"));
            OnRefresh();
        }
        return true;
    case 30111: OnCopyPaste(); return true;
    case 30343: OnCompareJob(); return true;
    case 30170: RunShipLabels(qint32(std::max<std::int64_t>(GetSelectedItemData(), 0)), 0, this); return true;
    case 30609: OnItemFinder(); return true;
    case 30536:
        OnSummary();
        return true;
    case 30401:
        OnListNow();
        return true;
    case 30101:
        if (QApplication::keyboardModifiers() & Qt::ControlModifier) {
            OnItemFinder();
            return true;
        }
        return CView0::OnCommand(id);
    default:
        return CView0::OnCommand(id);
    }
}

void CViewJobs::OnOpen()
{
    if (RefusedWithNoRowChosen(*this))
        return;
    const std::int64_t jobId = GetSelectedItemData();
    if (jobId <= 0)
        return;
    m_jobSet.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(jobId);
    m_jobSet.m_strSort.clear();
    if (!m_jobSet.RequeryOrOpen(true))
        return;
    // Posted history needs no right to be looked at.
    if (m_jobSet.m_JobType != CJobSet::History) {
        CZqApp *app = ZqApp();
        if (!app || !app->CheckPassword(m_jobSet.m_JobType + 21, QString()))
            return;
    }
    RunJobWindow(ModeOpen);
    m_list->setFocus();
}

int CViewJobs::RunJobWindow(int mode)
{
    if (!m_jobSet.Lock(true))
        return 0;
    int result = 0;
    {
        CJobDlg window(&m_jobSet, false, m_list, this);
        window.SetResultReceiver(this);
        result = window.DoModal();
        if (result == 30598)
            m_barCode = window.barCode();
    }
    m_jobSet.Lock(false);
    if (result != 30330)
        m_nDocumentChoice = 0;

    m_nFollowUp = 0;
    switch (result) {
    case 30100: case 30101: case 30106: case 30107: case 30108: case 30111: case 30270: case 30330: case 30599:
        PostCommand(result);
        m_nFollowUp = 30103;
        break;
    case 30103:
        PostCommand(30103);
        break;
    case 30598:
        // A job was scanned in the window: its list, as a scan here gives.
        OnScanCommand(30598, 0);
        break;
    case 30609:
        ClearFilter();
        PostCommand(30101);
        m_nFollowUp = 30103;
        break;
    default:
        if (mode == ModeNew || mode == ModePasted)
            ShowNewJobList();
        break;
    }
    return result;
}

void CViewJobs::ShowNewJobList()
{
    const int type = m_jobSet.m_JobType;
    const int entry = type == CJobSet::Order ? 6 : type == CJobSet::Quote ? 7 : 1;
    const qint32 jobId = m_jobSet.m_JobID;
    ClearFilter();
    SelectTreeCode(type * 100 + entry);
    m_list->FindItemByData(jobId, true);
}

bool CViewJobs::ShowOneJob(qint32 jobId)
{
    if (!m_jobSet.FindByField(QStringLiteral("JobID"), jobId))
        return false;
    m_nBranch = m_jobSet.m_JobType;
    m_nItem = 1;
    m_strSortText.clear();
    setFilter(QString(), QStringLiteral("Jobs.JobID = %1").arg(jobId));
    QString typeName;
    GetJobTypeName(typeName, m_jobSet.m_JobType);
    m_strListCaption = QStringLiteral(" %1 %2").arg(typeName).arg(m_jobSet.m_JobNo);
    FillList();
    // Selected, so that a command that follows (a scanned print code) acts on it.
    m_list->FindItemByData(jobId, true);
    m_list->setFocus();
    return true;
}

// --- new jobs ------------------------------------------------------------------------

void CViewJobs::AfterCreation(bool created)
{
    if (created) {
        m_nFollowUp = 0;
        ShowNewJobList();
        RunJobWindow(ModeNew);
        m_list->setFocus();
    } else if (m_nFollowUp != 0) {
        PostCommand(std::exchange(m_nFollowUp, 0));
    }
}

void CViewJobs::OnNew()
{
    const int type = branch() <= CJobSet::Template ? branch() : CJobSet::Order;
    CJobNew dialog(0, this);
    dialog.m_nJobType = type;
    if (dialog.DoModal() != IDOK_RESULT) {
        AfterCreation(false);
        return;
    }
    AfterCreation(CreateJob(m_jobSet, dialog.m_nJobType, dialog.m_nCusNo, dialog.m_nBuyerNo, quint8(dialog.m_nCsr)));
}

void CViewJobs::OnNewForCustomer(int id)
{
    if (id != 30599 && NewForScan(id))
        return;
    // Without a scanned customer: a job for the customer and buyer of the
    // current job, of the type the user chooses.
    CZqApp *app = ZqApp();
    const quint8 csr = app ? quint8(app->m_nDefaultCsr) : 0;
    const std::int64_t current = id == 30599 ? m_jobSet.m_JobID : GetSelectedItemData();
    if (current <= 0 || !m_jobSet.FindById(qint32(current), false)) {
        AfterCreation(false);
        return;
    }
    const qint32 cusNo = m_jobSet.m_CusNo;
    const qint32 buyerNo = m_jobSet.m_BuyerNo;
    int type = id - 30600;
    if (id == 30599) {
        CCusSet customer;
        QString name;
        customer.GetCustomerName(name, cusNo);
        CDlgOptions choice(QStringLiteral("New Job for ") + name,
                           QStringLiteral("What type of job do you want to create for the customer?"), 0, this);
        choice.AddRadioGroup(QStringLiteral("Job Type"), 0);
        // The job's own type is the one chosen unless another is clicked (an
        // order for a job of another kind).
        const long own = m_jobSet.m_JobType <= CJobSet::Template ? long(m_jobSet.m_JobType) + 1 : 1;
        choice.AddEntry(1, QStringLiteral("Order"), own == 1 ? 1 : 0);
        choice.AddEntry(2, QStringLiteral("Quote"), own == 2 ? 1 : 0);
        choice.AddEntry(3, QStringLiteral("Template"), own == 3 ? 1 : 0);
        choice.m_nSelect = {own, 0, 0};
        type = choice.DoModal() == IDOK_RESULT ? int(choice.GetCheckedInRange(1, 3)) - 1 : -1;
    }
    if (type < 0 || !ConfirmCustomerWarning(cusNo, type)) {
        AfterCreation(false);
        return;
    }
    AfterCreation(CreateJob(m_jobSet, type, cusNo, buyerNo, csr));
}

// --- status, e-mail, notice, deleting -----------------------------------------------

void CViewJobs::OnChangeStatus()
{
    const int category = branch();
    if (category == CJobSet::History) {
        platform::Prompt::messageBox(QStringLiteral("History jobs have only one status: 'In History'"));
        return;
    }
    if (!HighlightedRowsOfCaption(QStringLiteral("Please select the jobs whose status you want to change.")))
        return;
    // Entries of the branch's list that are statuses one may set by hand;
    // "Ready to Post" is the orders' own to reach.
    const int last = category == CJobSet::Order ? 4 : category == CJobSet::Quote ? 6 : category == CJobSet::PellQuote ? 5 : 4;
    CDlgOptions choice(QStringLiteral("Change Status"), QString(), 0, this);
    choice.AddRadioGroup(QStringLiteral("Change the status of the selected job(s) to:"), 0);
    for (int entry = 2; entry <= last; ++entry)
        choice.AddEntry(entry - 1, GetResourceListItem(kBranchLists + category, entry));
    if (choice.DoModal() != IDOK_RESULT)
        return;
    const long chosen = choice.GetCheckedInRange(1, last - 1);
    if (chosen <= 0)
        return;
    int changed = 0;
    for (std::int64_t key : ListedKeys(true)) {
        CJobSet job;
        if (!job.FindById(qint32(key), true))
            continue;
        job.m_Status = quint8(chosen - 1);
        if (job.SaveRecord(0))
            ++changed;
    }
    if (changed == 0)
        return;
    platform::Prompt::messageBox(QStringLiteral("Changed status of %1.").arg(changed));
    OnRefresh();
    UpdateWebOrderNotice();
}

void CViewJobs::OnEmailChoice()
{
    CDlgOptions choice(QStringLiteral("Email"), QStringLiteral("Note: To send emails, you must select Jobs(s) first"),
                       0, this);
    choice.AddRadioGroup(QStringLiteral("What would you like to do?"), 0);
    choice.AddEntry(30108, QStringLiteral("Email Form Letters (this option will ask you select an email template)"));
    choice.AddEntry(30330, QStringLiteral("Email PDF attachments (this option will open the Print Window, then you "
                                          "select Email PDF)"));
    choice.AddEntry(30181, QStringLiteral("Receive Online Orders   (this option will open Quorwin)"));
    choice.m_nSelect = {30108, 0, 0};
    if (choice.DoModal() == IDOK_RESULT) {
        if (const long chosen = choice.GetCheckedInRange(30108, 30330))
            PostCommand(int(chosen));
    } else if (m_nFollowUp != 0) {
        PostCommand(std::exchange(m_nFollowUp, 0));
    }
}

QString CViewJobs::WebOrderNoticeText()
{
    QString text;
    for (int type : {CJobSet::PellOrder, CJobSet::PellQuote}) {
        platform::Value value;
        LookupFirstValue(value,
                         QStringLiteral("Select Count(JobID) FROM Jobs WHERE JobType = %1 AND Status = 0").arg(type));
        const int count = value.isNull() ? 0 : int(value.toInt64());
        if (count != 0)
            text += QStringLiteral("%1 Pell%2 ").arg(count).arg(type == CJobSet::PellOrder ? QStringLiteral("Order")
                                                                                          : QStringLiteral("Quote"));
    }
    return text;
}

void CViewJobs::UpdateWebOrderNotice()
{
    const QString text = WebOrderNoticeText();
    SetNoticeButton(text, text.isEmpty() ? kHiddenColour : kNoticeColour);
}

void CViewJobs::OnNotice()
{
    const QString text = m_listBar->GetItemText(30211);
    if (text.contains(QLatin1String("Discrepancies")))
        OnFixDiscrepancies();
    else if (text.contains(QLatin1String("PellOrder")))
        SelectTreeCode(402);
    else if (text.contains(QLatin1String("PellQuote")))
        SelectTreeCode(502);
}

void CViewJobs::OnDelete()
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(branch() + 31, QString()))
        return;
    DeleteSelected(QStringLiteral("JobID"), QStringLiteral("Jobs"));
}

QString CViewJobs::PriorityText(int level)
{
    // The stored levels: 0-3 the named ones, 8-107 an up-charge of level - 7
    // percent, 108 and above a down-charge of 107 - level percent.
    switch (level) {
    case 0: return QStringLiteral("Normal");
    case 1: return QStringLiteral("Bid");
    case 2: return QStringLiteral("Rush");
    case 3: return QStringLiteral("Special");
    case 5: return QStringLiteral("Ask Unit Price");
    case 6: return QStringLiteral("Ask Item Price");
    default: break;
    }
    if (level >= 108)
        return QStringLiteral("%1% down-charge").arg(107 - level);
    if (level >= 8)
        return QStringLiteral("%1% up-charge").arg(level - 7);
    return QStringLiteral("-");
}
