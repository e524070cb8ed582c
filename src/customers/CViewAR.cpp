#include "customers/CViewAR.h"

#include "app/base/CZqApp.h"
#include "app/base/Confirmation.h"
#include "app/base/PrintService.h"
#include "controls/CXGridProp.h"
#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "controls/CXRibbon.h"
#include "customers/CArPayment.h"
#include "customers/CreditAdjustment.h"
#include "customers/CustomerHooks.h"
#include "customers/LateFees.h"
#include "customers/PostingRun.h"
#include "customers/ReadyOrders.h"
#include "customers/WriteOffs.h"
#include "data/CCusSet.h"
#include "app/base/MoneyText.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "jobs/CJobDlg.h"
#include "platform/Clock.h"
#include "platform/LongRun.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "views/CDlgData.h"
#include "views/CDlgGrid.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"

#include <QtCore/QHash>
#include <QtWidgets/QApplication>

namespace {

constexpr int kFirstTree = 44140;
constexpr int kLastTree = 44148;

// Runs a modal wait cursor for the life of the object.
struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// The small property sheet of a receivables rule (late fees, write-offs).
class RuleDlg : public CDlgGrid
{
public:
    explicit RuleDlg(QWidget *parent)
        : CDlgGrid(420, parent, 0, 214)
    {
        AddStandardLayout(QSize(330, 300), QRect(15, 70, 300, 110));
        m_strWindowTitle = QStringLiteral("A/R");
        m_wndProp.SetColumnWidths(230, 70);
    }
};

} // namespace

CViewAR::CViewAR(QWidget *parent)
    : CView0(kViewId, parent)
    , m_jobSet(&SharedDatabase())
{
}

void CViewAR::OnInitialUpdate()
{
    if (isInitialised())
        return;
    CView0::OnInitialUpdate();
    LoadTreeBranches(kFirstTree, kLastTree, 4, 0);
}

void CViewAR::FillRibbons()
{
    CView0::FillRibbons();
    // The aging summary of the unpaid invoices, beside the shared commands
    // after "Open", as the other views offer their summaries.
    const int at = m_mainBar->FindItem(30103) + 1;
    const std::uint8_t border = m_mainBar->barStyle() == 2 ? 0 : 2;
    const int width = m_mainBar->barStyle() == 2 ? 44 : 64;
    m_mainBar->AddItem(30536, QStringLiteral("Summary"), 0, 132, 22, 1, 2085, 0, border, width, 0, 0,
                       QStringLiteral("Summary of Invoices by Age"), at);
}

QString CViewAR::AgingSql()
{
    return QStringLiteral(
        "SELECT DISTINCTROW (Int((Date() - Jobs.DateShipped)/30)*30) & ' ' AS [Age], Sum(Jobs.Balance) FROM Jobs WHERE "
        "JobType = 3 AND Balance > 0.0001 GROUP BY (Int((Date() - Jobs.DateShipped)/30)*30) ORDER BY "
        "(Int((Date() - Jobs.DateShipped)/30)*30)");
}

bool CViewAR::IsCommandEnabled(int id)
{
    const int rows = list() ? list()->GetItemCount() : 0;
    switch (id) {
    case 30107: case 30108:
        return rows > 0;
    case 30536:
        return true;
    default:
        return CView0::IsCommandEnabled(id);
    }
}

bool CViewAR::OnCommand(int id)
{
    switch (id) {
    case 30100: OnNew(); return true;
    case 30103: OnOpen(); return true;
    case 30113: OnDelete(); return true;
    case 30211: OnNoticeButton(); return true;
    case 30401: OnListNow(); return true;
    case 30536: OnAgingSummary(); return true;
    case 30107: case 30108:
        OnEmail(QStringLiteral("AR"));
        return true;
    default: return CView0::OnCommand(id);
    }
}

QList<qint32> CViewAR::SelectedKeys()
{
    QList<qint32> keys;
    for (std::int64_t key : ListedKeys(true))
        keys << qint32(key);
    return keys;
}

QList<qint32> CViewAR::AllKeys()
{
    QList<qint32> keys;
    for (std::int64_t key : ListedKeys(false))
        keys << qint32(key);
    return keys;
}

void CViewAR::OnListNow()
{
    if (!ReadTreeSelection()) {
        ShowHeadingChosen();
        return;
    }
    ClearFilter();
    if (itemText().endsWith(QLatin1String("...")) && !ResetFilter())
        return;
    QString notice;
    setDeleteAllowed(false);
    if (branch() == 0 && item() == 1) {
        notice = QStringLiteral("Post Now...");
    } else if (branch() == 6) {
        if (item() == 1)
            notice = QStringLiteral("Charge Late Fee...");
        else
            setDeleteAllowed(true);
    } else if (branch() == 7 && item() == 1) {
        if (!AskWriteOffRule()) {
            // Without a rule no invoice is likely to be written off: the list
            // shows none, and nothing is there to open, print or write off.
            ShowEmptyList();
            return;
        }
        notice = QStringLiteral("Write Off...");
    }
    OnRefresh();
    // The ready-to-post rows take their remarks as they are read, the first
    // screen's at once; the button shows a remark among them.
    SetNoticeButton(notice, branch() == 0 && m_remarked ? 21 : 6);
    UpdateRibbonStates();
}

void CViewAR::FillList()
{
    m_remarked = false;
    if (list()) {
        if (branch() == 0)
            list()->SetRowMarker([this](int firstRow, int rows) { MarkReadyToPost(firstRow, rows); });
        else
            list()->SetRowMarker({});
    }
    CView0::FillList();
}

void CViewAR::MarkReadyToPost(int firstRow, int rows)
{
    // The remark takes its own column of the ready-to-post query; rows of
    // its every-column form have none, and their item data are no orders.
    if (!ListShowsCaptionQuery())
        return;
    CXListCtrl *rowList = list();
    QList<qint32> ids;
    QHash<qint32, int> rowOf;
    for (int row = firstRow; row < firstRow + rows; ++row) {
        const qint32 id = qint32(rowList->GetItemData(row));
        ids << id;
        rowOf.insert(id, row);
    }
    ReadyOrders orders(SharedDatabase(), false);
    try {
        for (qsizetype at = 0; at < ids.size(); at += ReadyOrders::kBatch) {
            orders.Read(ids.mid(at, ReadyOrders::kBatch));
            for (; !orders.AtEnd(); orders.Next()) {
                const CJobSet &job = orders.Job();
                QStringList remarks;
                if (job.m_Status != 3)
                    remarks << QStringLiteral("Not ready to post");
                if (!job.m_DateShipped.isValid())
                    remarks << QStringLiteral("No Ship Date");
                if (job.m_Balance < Money())
                    remarks << QStringLiteral("Over Paid");
                if (orders.HasDiscrepancy(QString()))
                    remarks << QStringLiteral("Discrepancy");
                const int row = rowOf.value(job.m_JobID, -1);
                if (remarks.isEmpty() || row < 0)
                    continue;
                rowList->SetSubItemImage(row, 0, 211);
                rowList->SetItemText(row, 1, remarks.join(QStringLiteral(", ")));
                if (!m_remarked) {
                    m_remarked = true;
                    SetNoticeButton(QStringLiteral("Post Now..."), 21);
                }
            }
        }
    } catch (const platform::DbException &) {
        // Rows whose jobs cannot be read keep no remark.
    }
    orders.Close();
}

void CViewAR::OnOpen()
{
    if (!list() || list()->GetItemCount() == 0)
        return;
    ReadTreeSelection();
    const qint32 key = qint32(GetSelectedItemData());
    if (key <= 0)
        return;
    switch (branch()) {
    case 3:
        if (item() >= 1 && item() <= 6)
            OpenPayment(key);
        return;
    case 4:
        ShowPaymentApplied();
        return;
    case 5:
        if (item() == 1)
            EditCreditLimit(key);
        else if (item() == 2)
            AdjustCredit(key);
        else
            platform::Prompt::messageBox(QStringLiteral("There's no other information about this credit."));
        return;
    case 8:
        OpenPayment(key);
        return;
    default:
        OpenJob();
    }
}

void CViewAR::OpenJob()
{
    const qint32 key = qint32(GetSelectedItemData());
    m_jobSet.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(key);
    m_jobSet.m_strSort.clear();
    if (!m_jobSet.RequeryOrOpen(true) || m_jobSet.IsEmptySet())
        return;
    if (branch() == 1 && item() < 4) {
        OpenPayment(m_jobSet.m_CusNo);
        return;
    }
    const quint8 status = m_jobSet.m_Status;
    // Without the job's lock the window only shows the job: another
    // workstation has it open.
    const bool locked = m_jobSet.Lock(true);
    {
        CJobDlg window(&m_jobSet, !locked, list(), this);
        window.DoModal();
    }
    if (locked)
        m_jobSet.Lock(false);
    if (m_jobSet.m_Status != status)
        PostCommand(30121);
}

void CViewAR::OpenPayment(qint32 cusNo)
{
    if (cusNo == 0) {
        CDlgList picker(QStringLiteral("Select"), QStringLiteral("New Payment From"), QStringLiteral("Customer"), 0, 0,
                        1, colourHue(), this);
        if (picker.DoModal() != platform::IDOK || picker.m_nChosenId == 0) {
            if (platform::Prompt::messageBox(QStringLiteral("Do you want to select a customer?"), QString(),
                                             platform::MB_YESNO | platform::MB_ICONQUESTION)
                == platform::IDYES)
                PostCommand(30100);
            return;
        }
        cusNo = qint32(picker.m_nChosenId);
    }
    CArPayment dlg(cusNo, this, list(), branch(), item());
    dlg.DoModal();
    if (!dlg.totalSaved().isZero())
        PostCommand(30121);
}

void CViewAR::OnNew()
{
    ReadTreeSelection();
    if (branch() == 5) {
        AdjustCredit(0);
        return;
    }
    if (branch() != 3) {
        // The payment is entered under "Payments Expected", whose list is
        // read again when the payment is saved; until then it lists nothing.
        SelectTreeCode(300);
        ReadTreeSelection();
        ShowEmptyList();
    }
    OpenPayment(0);
}

void CViewAR::ShowPaymentApplied()
{
    const qint32 payNo = qint32(GetSelectedItemData());
    CDlgList dlg(QStringLiteral("List"), QStringLiteral("Payment applied to the following Jobs"),
                 QStringLiteral("SELECT JobNo, Amount FROM PayApplied WHERE PayNo = %1 ORDER BY JobNo").arg(payNo), 0, 0,
                 0, colourHue(), this);
    dlg.DoModal();
}

void CViewAR::OnDelete()
{
    ReadTreeSelection();
    if (branch() == 6)
        ClearLateFees();
}

void CViewAR::OnNoticeButton()
{
    ReadTreeSelection();
    switch (branch()) {
    case 0: PostInvoices(); break;
    case 6: ChargeLateFees(); break;
    case 7: WriteOffSelected(); break;
    default: break;
    }
}

void CViewAR::OnAgingSummary()
{
    ShowSummary(QStringLiteral("Invoices"), AgingSql());
}

void CViewAR::PostInvoices()
{
    const QList<qint32> all = AllKeys();
    const QList<qint32> highlighted = SelectedKeys();
    PostingRun run(SharedDatabase());
    if (!run.OpenForPosting()) {
        run.ReopenShared();
        return;
    }
    QList<qint32> scope = all;
    if (highlighted.size() != all.size()) {
        CDlgOptions dlg(QStringLiteral("Post"), QString(), 0, this);
        dlg.AddRadioGroup(QStringLiteral("Which orders do you want to post?"), 0);
        dlg.AddEntry(1, QStringLiteral("All listed orders: %1").arg(all.size()), 1);
        dlg.AddEntry(2, QStringLiteral("Highlighted orders only: %1").arg(highlighted.size()));
        if (dlg.DoModal() != platform::IDOK) {
            run.ReopenShared();
            return;
        }
        if (!dlg.IsEntryChecked(1))
            scope = highlighted;
    }
    if (!ConfirmAction(PostingRun::ConfirmText())) {
        run.ReopenShared();
        return;
    }
    bool ok = false;
    {
        // The run shows its progress over the orders and can be stopped
        // between two of them.
        WaitCursor wait;
        std::unique_ptr<CXProgress> window;
        ok = run.Post(scope, StepWindow(window, QStringLiteral("Posting %s Orders")));
    }
    run.ReopenShared();
    // Stopped to end the program: it ends now, without the run's result.
    if (!ok || LongRun::Ending())
        return;
    platform::Prompt::messageBox(run.SuccessText());
    OnRefresh();
    // The posting's printouts, the favourites ticked.
    if (PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr)
        printing->PrintPostingReports(run.PostingNo(), run.Journal().m_Invoices, run.Journal().m_QSales, this);
    else
        ReportNotAvailable(QStringLiteral("Printing the posting reports"));
}

namespace {

// A rule's settings row saved from its sheet: `read` is the row's text as
// the sheet opened, `shown` what the sheet showed of it, `typed` what it
// holds now; each item is named by its row's label and shown as the row
// shows it.
bool SaveRuleRow(int alertType, const QString &read, const QString &shown, const QString &typed, const CXGridProp &grid,
                 const int *rows, int count)
{
    CAlertSet::ListItems items;
    items.label = [&grid, rows, count](int item) { return item < count ? grid.rowLabel(rows[item]) : QString(); };
    items.shown = [&grid, rows, count](int item, const QString &value) {
        return item < count ? grid.ShownItemText(rows[item], value) : value;
    };
    return SaveGlobalAlertText(alertType, read, shown, typed, items);
}

} // namespace

void CViewAR::ChargeLateFees()
{
    if (list()->GetItemCount() == 0)
        return;
    const QList<qint32> keys = SelectedKeys();
    LateFees fees(SharedDatabase());
    const LateFeeRule stored = fees.ReadRule();
    const QString read = GetGlobalAlertText(LateFeeRule::kAlertType, -1, LateFeeRule::DefaultText());
    RuleDlg dlg(this);
    dlg.m_wndProp.AddSection(QStringLiteral("Options"));
    const int percentRow = dlg.m_wndProp.AddRow(8, QStringLiteral("Late Fee Percentage %"), QStringLiteral("2"));
    const int minimumRow = dlg.m_wndProp.AddRow(8, QStringLiteral("Minimum Charge per Invoice $"), QStringLiteral("2"));
    const int onFeeRow = dlg.m_wndProp.AddRow(2, QStringLiteral("Charge Late Fee on Late Fee?"));
    dlg.m_wndProp.AddPickItem(onFeeRow, 0, QStringLiteral("No"));
    dlg.m_wndProp.AddPickItem(onFeeRow, 1, QStringLiteral("Yes"));
    dlg.m_wndProp.SetRowValue(percentRow, stored.percent);
    dlg.m_wndProp.SetRowValue(minimumRow, stored.minimumCents);
    dlg.m_wndProp.SetRowValue(onFeeRow, stored.onFee);
    // The rule is kept for all computers: only what was changed here is
    // written, onto the row as it is now; a Cancel on the question about
    // another user's save shows the rule again as typed.
    const int rows[3] = {percentRow, minimumRow, onFeeRow};
    LateFeeRule rule;
    for (;;) {
        if (dlg.DoModal() != platform::IDOK)
            return;
        if (!ConfirmAction(LateFees::ChargeQuestion(keys.size())))
            return;
        rule = {dlg.m_wndProp.GetRowValue(percentRow), dlg.m_wndProp.GetRowValue(minimumRow),
                dlg.m_wndProp.GetRowValue(onFeeRow)};
        if (SaveRuleRow(LateFeeRule::kAlertType, read, stored.Text(), rule.Text(), dlg.m_wndProp, rows, 3))
            break;
        // A shop opened read-only refuses once, and the window closes.
        if (SharedDatabase().isReadOnly())
            return;
    }
    {
        WaitCursor wait;
        fees.Charge(keys, rule, false);
    }
    OnRefresh();
}

void CViewAR::ClearLateFees()
{
    if (list()->GetItemCount() == 0)
        return;
    const QList<qint32> keys = SelectedKeys();
    if (!ConfirmAction(LateFees::ClearQuestion(keys.size())))
        return;
    {
        WaitCursor wait;
        LateFees(SharedDatabase()).Clear(keys);
    }
    OnRefresh();
}

bool CViewAR::AskWriteOffRule()
{
    WriteOffs offs(SharedDatabase());
    const WriteOffRule stored = offs.ReadRule();
    const QString read = GetGlobalAlertText(WriteOffRule::kAlertType, -1, WriteOffRule::DefaultText());
    RuleDlg dlg(this);
    dlg.m_wndProp.AddSection(QStringLiteral("Writeoff an invoice if its:"));
    const int balanceRow = dlg.m_wndProp.AddRow(8, QStringLiteral("Balance is less than $"), QStringLiteral("2"));
    const int ageRow = dlg.m_wndProp.AddRow(7, QStringLiteral("or Age is greater than (days)"), QStringLiteral("%4d"));
    dlg.m_wndProp.SetRowValue(balanceRow, stored.balanceCents);
    dlg.m_wndProp.SetRowValue(ageRow, stored.ageDays);
    ClearFilter();
    // Kept for all computers as the late-fee rule is.
    const int rows[2] = {balanceRow, ageRow};
    WriteOffRule rule;
    for (;;) {
        if (dlg.DoModal() != platform::IDOK)
            return false;
        rule = {dlg.m_wndProp.GetRowValue(balanceRow), dlg.m_wndProp.GetRowValue(ageRow)};
        if (SaveRuleRow(WriteOffRule::kAlertType, read, stored.Text(), rule.Text(), dlg.m_wndProp, rows, 2))
            break;
        if (SharedDatabase().isReadOnly())
            return false;
    }
    const QString filter = rule.FilterText(platform::Clock::today());
    setFilter(filter, filter);
    return true;
}

void CViewAR::WriteOffSelected()
{
    if (list()->GetItemCount() == 0)
        return;
    const QList<qint32> keys = SelectedKeys();
    if (!ConfirmAction(WriteOffs::Question(keys.size())))
        return;
    {
        WaitCursor wait;
        WriteOffs(SharedDatabase()).WriteOff(keys);
    }
    OnRefresh();
}

void CViewAR::EditCreditLimit(qint32 cusNo)
{
    CCusSet customer(&SharedDatabase());
    customer.m_strFilter = QStringLiteral("CusNo = %1").arg(cusNo);
    if (!customer.RequeryOrOpen(false) || customer.IsEmptySet())
        return;
    // Only a changed limit is written, over the limit as it is now; Cancel on
    // the question about another user's change shows the typed limit again.
    const Money shown = customer.m_CreditLimit;
    QString typed = FormatMoney(shown);
    for (;;) {
        CDlgData dlg(typed, 0, customer.m_Name, QStringLiteral("Credit Limit $:"),
                     QStringLiteral("You may change the limit for ") + customer.m_Name, this);
        if (dlg.DoModal() != platform::IDOK)
            return;
        typed = dlg.m_strValue;
        bool cancelled = false;
        if (CreditAdjustment(SharedDatabase()).StoreTypedCreditLimit(cusNo, typed, shown, &cancelled)) {
            OnRefresh();
            return;
        }
        if (!cancelled)
            return;
    }
}

void CViewAR::AdjustCredit(qint32 cusNo)
{
    if (cusNo == 0) {
        CDlgList picker(QStringLiteral("Select"), QStringLiteral("Credit Adjustment - Please select a customer"),
                        QStringLiteral("Customer"), 0, 0, 1, colourHue(), this);
        if (picker.DoModal() != platform::IDOK)
            return;
        cusNo = qint32(picker.m_nChosenId);
    }
    if (cusNo == 0)
        return;
    const auto &credit = customerHooks().creditDialog;
    if (!credit) {
        ReportNotAvailable(QStringLiteral("The credit dialog"));
        return;
    }
    if (credit(cusNo, this))
        OnRefresh();
}
