#include "customers/CViewCustomers.h"
#include "views/ListChoice.h"

#include "app/base/Confirmation.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "customers/CContactDlg.h"
#include "customers/CCusDlg.h"
#include "customers/CShiptoDlg.h"
#include "customers/CustomerHooks.h"
#include "customers/CustomerRecords.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"
#include "views/CDlgOptions.h"

namespace {

constexpr int kContactsBranch = 5;
constexpr int kShiptoBranch = 6;
constexpr int kFirstTree = 44121;
constexpr int kTreeImages[] = {6, 11, 6, 6, 11, 149, 155};

const QString kSummarySql = QStringLiteral(
    "SELECT BusinessTypes.Name AS CusType, Count(Customers.CusNo) AS [Count] FROM BusinessTypes INNER JOIN Customers "
    "ON BusinessTypes.[No] = Customers.Business GROUP BY BusinessTypes.Name ORDER BY BusinessTypes.Name");

} // namespace

CViewCustomers::CViewCustomers(QWidget *parent) : CView0(kViewId, parent) {}

void CViewCustomers::OnInitialUpdate()
{
    if (isInitialised())
        return;
    CView0::OnInitialUpdate();
    LoadListOptions(QStringLiteral("Exclude Hidden Customers"), 190, 0, -1);
    m_bTreeFilling = true;
    for (int b = 0; b < 7; ++b)
        m_tree->AddBranch(LoadResourceString(kFirstTree + b), quint32(b * 100), kTreeImages[b], kTreeImages[b]);
    m_bTreeFilling = false;
    SelectTreeCode(2);
    UpdateNotice();
}

void CViewCustomers::FillRibbons()
{
    CView0::FillRibbons();
    // The commands of this view beside the shared ones, after "Open".
    const int at = m_mainBar->FindItem(30103) + 1;
    const std::uint8_t border = m_mainBar->barStyle() == 2 ? 0 : 2;
    const int width = m_mainBar->barStyle() == 2 ? 44 : 64;
    m_mainBar->AddItem(30111, QStringLiteral("Copy"), 0, 132, 10, 1, 2085, 0, border, width, 0, 0,
                       QStringLiteral("Cop&y and Paste...\tCtrl+B"), at);
    m_mainBar->AddItem(30113, QStringLiteral("Delete"), 0, 132, 16, 1, 2085, 0, border, width, 0, 0,
                       QStringLiteral("&Delete...\tDel"), at + 1);
    m_mainBar->AddItem(30130, QStringLiteral("Status"), 0, 132, 19, 1, 2085, 0, border, width, 0, 0,
                       QStringLiteral("C&hange Status...\tCtrl+S"), at + 2);
    m_mainBar->AddItem(30536, QStringLiteral("Summary"), 0, 132, 22, 1, 2085, 0, border, width, 0, 0,
                       QStringLiteral("Summary"), at + 3);
}

bool CViewCustomers::IsCommandEnabled(int id)
{
    const int rows = m_list ? m_list->GetItemCount() : 0;
    switch (id) {
    case 30130: case 30107: case 30108:
        return rows > 0;
    case 30111:
        // Only customer rows can be copied as customers.
        return rows > 0 && m_nBranch < kContactsBranch;
    case 30536:
        return true;
    default:
        return CView0::IsCommandEnabled(id);
    }
}

bool CViewCustomers::OnCommand(int id)
{
    switch (id) {
    case 30103: OnOpen(); return true;
    case 30100: OnNew(); return true;
    case 30111: OnDuplicate(); return true;
    case 30113: OnDelete(); return true;
    case 30130: OnChangeStatus(); return true;
    case 30536: ShowSummary(QStringLiteral("Customers"), kSummarySql); return true;
    case 30107: case 30108: OnEmail(); return true;
    case 30101: OnFind(); return true;
    case 30401: OnListNow(); return true;
    case 30211: OnAddressLabels(); return true;
    default: return CView0::OnCommand(id);
    }
}

QList<qint32> CViewCustomers::SelectedKeys()
{
    QList<qint32> keys;
    for (std::int64_t key : ListedKeys(true))
        keys << qint32(key);
    return keys;
}

void CViewCustomers::OnOpen()
{
    if (RefusedWithNoRowChosen(*this))
        return;
    ReadTreeSelection();
    const std::int64_t key = GetSelectedItemData();
    if (key <= 0)
        return;
    if (m_nBranch == kContactsBranch) {
        CContactDlg dlg(0, qint32(key), colourHue(), QStringLiteral("Contact"), this);
        if (dlg.DoModal() == 1)
            FillList();
    } else if (m_nBranch == kShiptoBranch) {
        CShiptoDlg dlg(0, qint32(key), colourHue(), QStringLiteral("Ship To"), this);
        if (dlg.DoModal() == 1)
            FillList();
    } else {
        m_set.m_strFilter = QStringLiteral("Customers.CusNo = %1").arg(key);
        m_set.m_strSort.clear();
        if (m_set.RequeryOrOpen(true))
            OpenCustomerWindow();
    }
    m_list->setFocus();
}

void CViewCustomers::OpenCustomerWindow()
{
    CCusDlg dlg(m_set, m_list, this);
    const int result = dlg.DoModal();
    if (result == 30100) {
        // "New" in the window saved the customer; a fresh one follows.
        PostCommand(30100);
        return;
    }
    // The list shows what the window changed.
    FillList();
}

void CViewCustomers::OnNew()
{
    // Past the largest customer number no window opens.
    if (CCusSet::NextCusNo() != 0 && m_set.SafeAddNew())
        OpenCustomerWindow();
    setFocus();
}

void CViewCustomers::OnDuplicate()
{
    ReadTreeSelection();
    if (m_nBranch >= kContactsBranch)
        return;
    const std::int64_t key = GetSelectedItemData();
    if (key <= 0) {
        platform::Prompt::messageBox(QStringLiteral("Please select one customer to copy."));
        return;
    }
    if (!m_set.SafeAddNew())
        return;
    m_set.InitNewCustomer();
    if (!m_set.CopyCustomer(qint32(key))) {
        m_set.CancelUpdate();
        return;
    }
    // The copy is stored before its window opens: closing the window keeps it.
    if (!m_set.SaveNew(platform::MB_ICONINFORMATION)) {
        m_set.CancelUpdate();
        return;
    }
    OpenCustomerWindow();
}

void CViewCustomers::OnDelete()
{
    ReadTreeSelection();
    if (m_nBranch < kContactsBranch) {
        DeleteSelected(QStringLiteral("CusNo"), QStringLiteral("Customers"));
        return;
    }
    // Contacts and addresses are deleted as contacts and addresses (with the
    // customers' defaults that named them), never by their numbers as
    // customers.
    const bool contacts = m_nBranch == kContactsBranch;
    const QList<qint32> keys = SelectedKeys();
    if (keys.isEmpty())
        return;
    const QString plural = contacts ? QStringLiteral("contacts") : QStringLiteral("addresses");
    if (!ConfirmAction(QStringLiteral("delete selected (%1) %2?\n\nNote: Any %2 used in Jobs will be hidden, not "
                                      "deleted.")
                           .arg(keys.size())
                           .arg(plural)))
        return;
    const DeleteOutcome outcome = contacts ? DeleteContacts(keys) : DeleteShiptos(keys);
    if (!outcome.ok)
        return;
    platform::Prompt::messageBox(QStringLiteral("Deleted: %1\nHidden: %2").arg(outcome.deleted).arg(outcome.hidden));
    FillList();
}

void CViewCustomers::OnChangeStatus()
{
    ReadTreeSelection();
    StatusKind kind = StatusKind::Customers;
    QString noun = QStringLiteral("customers");
    if (m_nBranch == kContactsBranch) {
        kind = StatusKind::Contacts;
        noun = QStringLiteral("contacts");
    } else if (m_nBranch == kShiptoBranch) {
        kind = StatusKind::Shiptos;
        noun = QStringLiteral("addresses");
    }
    if (!HighlightedRowsOfCaption(QStringLiteral("Please select the %1 whose status you want to change.").arg(noun)))
        return;
    CDlgOptions dlg(QStringLiteral("Change Status"), QString(), 0, this);
    dlg.AddRadioGroup(QStringLiteral("Change the status of selected ") + noun + QStringLiteral(" to:"), 0);
    dlg.AddListEntries(1, QStringLiteral("Active,On Hold,Hidden,"));
    if (dlg.DoModal() != platform::IDOK)
        return;
    const long checked = dlg.GetCheckedInRange(1, 3);
    if (checked == 0)
        return;
    const int changed = SetRecordStatus(kind, SelectedKeys(), int(checked - 1), true);
    if (changed <= 0)
        return;
    platform::Prompt::messageBox(QStringLiteral("Changed status of %1.").arg(changed));
    FillList();
}

void CViewCustomers::UpdateNotice()
{
    const int rows = m_list->GetItemCount();
    if (m_nBranch < kShiptoBranch && rows > 0)
        SetNoticeButton(QStringLiteral("Print Address Labels..."), 6);
    else
        SetNoticeButton(QString(), 0);
    // The hidden-customers option names what branches 0 to 2 list by themselves.
    m_listBar->SetItemState(30546, m_nBranch >= 3 ? 0 : 5);
    ShowListOptionState();
}

void CViewCustomers::OnListNow()
{
    ClearFilter();
    OnRefresh();
    UpdateRibbonStates();
    UpdateNotice();
}

void CViewCustomers::OnFind()
{
    if (ResetFilter())
        FillList();
    UpdateNotice();
}

void CViewCustomers::OnAddressLabels()
{
    // The labels are of the highlighted rows of the caption's own list.
    if (m_list->GetSelectedCount() == 0 || !ListMatchesCaption())
        return;
    const auto &labels = customerHooks().addressLabels;
    if (!labels) {
        ReportNotAvailable(QStringLiteral("Printing address labels"));
        return;
    }
    labels(*m_list, m_nBranch == kContactsBranch ? 1 : 0, this);
}

void CViewCustomers::OnEmail()
{
    CView0::OnEmail(QStringLiteral("Cus"));
}
