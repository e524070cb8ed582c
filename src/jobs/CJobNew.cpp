#include "jobs/CJobNew.h"
#include "jobs/CFindDlg.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/DlgItem.h"
#include "data/CContactSet.h"
#include "data/JobTypes.h"
#include "data/OptionsAndLookups.h"
#include "jobs/JobCreation.h"
#include "jobs/JobHooks.h"
#include "platform/Prompt.h"
#include "views/CDlgOptions.h"

#include <QtCore/QTimer>
#include <QtGui/QFontMetrics>
#include <QtWidgets/QPushButton>

namespace {

constexpr unsigned kRibbon = 1721;
// Text formats of the hint: one line, vertically centred; or wrapped.
constexpr std::uint32_t kOneLine = 2084;
constexpr std::uint32_t kWrapped = 2064;
constexpr unsigned kTree = 2201;
constexpr unsigned kList = 1401;
constexpr int kHidden = 2; // record status of hidden rows
constexpr int kCollapsedImage = 221;
constexpr int kExpandedImage = 222;
constexpr int kBuyerImage = 149;

const QString kCustomerColumns = QStringLiteral(
    "SELECT Customers.Name as [Customer_w_180], Customers.CusNo, Contacts.First, Contacts.Last, Contacts.Phone, "
    "Customers.Zip, 'Cust.' as [View_w_60], Contacts.ContactNo as [DefBuyer_HIDE]");

} // namespace

CJobNew::CJobNew(qint32 cusNo, QWidget *parent) : CDlg0(690, parent), m_nCusNo(cusNo)
{
    m_strWindowTitle = QStringLiteral("New Job");
    resize(860, 520);
    AddPlaceholder(kRibbon, QRect(0, 0, 860, 44));
    m_tree.setParent(this);
    m_tree.setGeometry(8, 52, 240, 414);
    SetDlgCtrlID(&m_tree, kTree);
    m_list.setParent(this);
    m_list.setGeometry(256, 52, 596, 414);
    SetDlgCtrlID(&m_list, kList);
    AddButton(1, QStringLiteral("OK"), QRect(622, 476, 110, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(742, 476, 110, 32));
    m_bEnterAsTab = 0;

    connect(&m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current, QTreeWidgetItem *) {
        if (current && !m_bBuilding)
            ListChoice(int(CXTreeCtrl::GetItemData(current)));
    });
    connect(&m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (!index.isValid())
            return;
        if (index.column() == 0 && !isBuyerRow(index.row()))
            ToggleBuyers(index.row());
        else if (index.column() == m_nViewColumn && m_nViewColumn >= 0) {
            const qint64 data = m_list.GetItemData(index.row());
            if (isBuyerRow(index.row())) {
                CContactSet contact;
                platform::Prompt::messageBox(contact.GetContactCard(qint32(data), 5));
            } else if (CZqApp *app = ZqApp()) {
                app->OpenCustomer(qint32(data));
            }
        }
    });
    connect(&m_list, &QAbstractItemView::doubleClicked, this,
            [this] { QTimer::singleShot(150, this, [this] { SendCommand(1); }); });
}

bool CJobNew::OnInitDialog()
{
    CDlg0::OnInitDialog();
    if (m_ribbon.Create(this, kRibbon, 120, 1, 131, 1, 0, 0, 0, 0, 0)) {
        m_ribbon.AddItem(30281, QStringLiteral("A New Job"), struct_RIB_ITEM::Plain, 0, 255, 7, 2084, 0, 0, 220);
        m_ribbon.AddItem(30282, QString(), struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 0, 0, 300);
        m_ribbon.AddItem(30540, QString(), struct_RIB_ITEM::Normal, 131, 171, 2, 2085, 0, 0, 30, 0, 0,
                         QStringLiteral("New Job Options"));
        m_ribbon.RecalcLayout(30282);
        connect(&m_ribbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    // The type: the caller's, unless the workstation always wants one.
    CZqApp *app = ZqApp();
    // A workstation that never chose ("<auto>", 10) lets the caller's branch decide.
    const int setting = app ? app->GetSettingInt(QStringLiteral("NewJob-Type"), 10, CZqApp::kSettings) : 10;
    if (setting < 3 && !m_bTypeFixed)
        m_nJobType = setting;
    if (m_nJobType > 2)
        m_nJobType = 1;
    m_nCsr = m_nPresetCsr != 0 ? m_nPresetCsr : app ? app->m_nDefaultCsr : 0;
    m_list.SetImageListAndStyle(131, 48, 0x14573);
    BuildTree();
    ListChoice(m_nJobType + 1);
    return true;
}

void CJobNew::BuildTree()
{
    m_bBuilding = true;
    m_tree.SetImageListAndFont(131, 2);
    m_tree.setHeaderHidden(true);
    m_tree.ClearAll();
    HTREEITEM type = m_tree.AddItem(nullptr, QStringLiteral("What type of Job?"), 0, 253);
    m_tree.AddItem(type, QStringLiteral("Order"), 1, GetJobTypeImage(0));
    m_tree.AddItem(type, QStringLiteral("Quote"), 2, GetJobTypeImage(1));
    m_tree.AddItem(type, QStringLiteral("Template"), 3, GetJobTypeImage(2));
    HTREEITEM who = m_tree.AddItem(nullptr, QStringLiteral("Who ordered the Job?"), 0, 253);
    m_tree.AddItem(who, QStringLiteral("Find..."), FindCustomer, 188);
    m_tree.AddItem(who, QStringLiteral("Regular Customer"), Regular, 149);
    m_tree.AddItem(who, QStringLiteral("New Customer"), NewCustomer, 187);
    m_tree.AddItem(who, QStringLiteral("Walk-in Customer"), WalkIn, 149);
    HTREEITEM csr = m_tree.AddItem(nullptr, QStringLiteral("And your name is (CSR)?"), 0, 253);
    // The CSRs the employee cache knows: numbers 100 to 199 of type 1.
    CXDaoSet employees;
    employees.Open(CXDaoSet::dbOpenSnapshot,
                   QStringLiteral("SELECT EmpNo, Name FROM Employees WHERE EmpNo >= 100 and EmpNo <= 199 and Type = 1 "
                                  "ORDER BY Sort, Name"));
    CZqApp *app = ZqApp();
    for (; employees.IsOpen() && !employees.IsEmptySet() && !employees.IsEOF(); employees.MoveNext()) {
        const qint32 empNo = employees.GetLong(0);
        QString name;
        employees.GetFieldString(1, name);
        if (name.startsWith(QLatin1Char('~')) || (app && !app->IsEmployeeKnown(quint8(empNo))))
            continue;
        m_tree.AddItem(csr, name, quint32(empNo), 149);
    }
    m_tree.ExpandAll(true);
    m_tree.BoldRootItems();
    m_tree.MarkItemByData(quint32(m_nJobType + 1), true);
    if (m_nCsr >= 100)
        m_tree.MarkItemByData(quint32(m_nCsr), true);
    m_bBuilding = false;
}

void CJobNew::SetHint(const QString &hint)
{
    if (!m_ribbon.isCreated())
        return;
    m_ribbon.SetItemText(30282, hint);
    // A hint longer than its place on the ribbon wraps onto a second line.
    const QFontMetrics metrics(Appearance::instance().GetFont(2));
    const bool fits = metrics.horizontalAdvance(hint) + 8 <= m_ribbon.itemRect(30282).width();
    m_ribbon.SetItemFormat(30282, fits ? kOneLine : kWrapped);
}

void CJobNew::ListChoice(int choice)
{
    if (choice >= 1 && choice <= 3) {
        m_nJobType = choice - 1;
        QString name;
        GetJobTypeName(name, m_nJobType);
        if (m_ribbon.isCreated()) {
            m_ribbon.SetItemText(30281, QStringLiteral("New ") + name);
            m_ribbon.SetColorScheme(GetJobTypeHue(m_nJobType));
        }
        m_tree.MarkItemByData(quint32(choice), true);
        return;
    }
    if (choice >= 100 && choice <= 199) {
        m_nCsr = choice;
        m_tree.MarkItemByData(quint32(choice), true);
        return;
    }
    QString condition;
    QString from = QStringLiteral(" FROM Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.BuyerNo");
    QString order = QStringLiteral(" ORDER BY Customers.Name");
    QString hint = QStringLiteral("Select a customer or click [+] icon to select another buyer and then");
    switch (choice) {
    case WalkIn:
        condition = QStringLiteral(" WHERE Customers.CusNo = %1").arg(kWalkInCustomer);
        hint = QStringLiteral("Click the [+] icon to list all 'Walk-in-Buyers' or");
        break;
    case Regular:
        condition = QStringLiteral(" WHERE Customers.CusStatus <> %1 and Customers.CusNo <> %2").arg(kHidden).arg(kWalkInCustomer);
        break;
    case NewCustomer:
        condition = QStringLiteral(" WHERE Customers.CusNo = %1").arg(kNewCustomerRow);
        break;
    case FindCustomer: {
        // The find dialog's choice of last time is offered again.
        static FindRequest remembered;
        FindRequest request = remembered;
        request.kind = QStringLiteral("Customers");
        request.allowListChoice = false;
        request.advanced = false;
        request.showAdvancedBox = false;
        if (CFindDlg::Run(request, this) != IDOK_RESULT) {
            m_list.ClearList();
            return;
        }
        remembered = request;
        condition = QStringLiteral(" WHERE Customers.CusStatus <> %1").arg(kHidden);
        if (!request.filter.isEmpty())
            condition += QStringLiteral(" and ") + request.filter;
        break;
    }
    default:
        return;
    }
    m_nChoice = choice;
    if (m_nCsr != 0)
        hint += QStringLiteral(" click OK to continue.");
    SetHint(hint);
    // A find's matches run beside the window, with its progress and Stop.
    if (choice == FindCustomer)
        m_list.FillFromUserSql(kCustomerColumns + from + condition + order, QStringLiteral("CusNo"));
    else
        m_list.FillFromSql(kCustomerColumns + from + condition + order, QStringLiteral("CusNo"));
    m_nViewColumn = m_list.FindColumn(QStringLiteral("View"));
    for (int row = 0; row < m_list.GetItemCount(); ++row)
        m_list.SetSubItemImage(row, 0, kCollapsedImage);
    if (m_list.GetItemCount() == 0)
        SetHint(QStringLiteral("None found"));
    else
        m_list.SelectItem(0);
}

bool CJobNew::isBuyerRow(int row)
{
    return m_list.GetSubItemImage(row, 0) == kBuyerImage;
}

void CJobNew::ToggleBuyers(int row)
{
    if (row < 0 || row >= m_list.GetItemCount() || isBuyerRow(row))
        return;
    if (m_list.GetSubItemImage(row, 0) == kExpandedImage) {
        while (row + 1 < m_list.GetItemCount() && isBuyerRow(row + 1))
            m_list.DeleteItem(row + 1);
        m_list.SetSubItemImage(row, 0, kCollapsedImage);
        return;
    }
    const qint64 cusNo = m_list.GetItemData(row);
    CXDaoSet buyers;
    buyers.Open(CXDaoSet::dbOpenSnapshot,
                QStringLiteral("SELECT Contacts.First, Contacts.Last, Contacts.Phone, Contacts.ContactNo FROM Contacts "
                               "WHERE Contacts.Type <> %1 and Contacts.CusNo = %2 ORDER BY First, Last")
                    .arg(kHidden)
                    .arg(cusNo));
    int at = row + 1;
    const int first = m_list.FindColumn(QStringLiteral("First"));
    const int last = m_list.FindColumn(QStringLiteral("Last"));
    const int phone = m_list.FindColumn(QStringLiteral("Phone"));
    for (; buyers.IsOpen() && !buyers.IsEmptySet() && !buyers.IsEOF(); buyers.MoveNext(), ++at) {
        QString firstName, lastName, phoneText;
        buyers.GetFieldString(0, firstName);
        buyers.GetFieldString(1, lastName);
        buyers.GetFieldString(2, phoneText);
        m_list.InsertRow(at, QStringLiteral("Buyer"), buyers.GetLong(3), kBuyerImage);
        if (first >= 0)
            m_list.SetItemText(at, first, firstName);
        if (last >= 0)
            m_list.SetItemText(at, last, lastName);
        if (phone >= 0)
            m_list.SetItemText(at, phone, phoneText);
        if (m_nViewColumn >= 0)
            m_list.SetItemText(at, m_nViewColumn, QStringLiteral("Card"));
    }
    m_list.SetSubItemImage(row, 0, kExpandedImage);
    SetHint(QStringLiteral("Select a customer/buyer and click OK (or just double-click)"));
}

bool CJobNew::OnCommand(int id)
{
    switch (id) {
    case 30401:
        ListChoice(int(m_tree.GetSelectedData()));
        return true;
    case 30534:
        ListChoice(FindCustomer);
        return true;
    case 30540:
        OnOptions();
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CJobNew::OnOptions()
{
    CZqApp *app = ZqApp();
    if (!app)
        return;
    CDlgOptions options(QStringLiteral("New Job Options"), QString(), 0, this);
    options.AddRadioGroup(QStringLiteral("Default New Job Type"), 0);
    const int stored = app->GetSettingInt(QStringLiteral("NewJob-Type"), 10, CZqApp::kSettings);
    const long current = stored == 0 ? 1L : stored == 1 ? 2L : 3L;
    options.AddEntry(1, QStringLiteral("New Order"), current == 1 ? 1 : 0);
    options.AddEntry(2, QStringLiteral("New Quote"), current == 2 ? 1 : 0);
    options.AddEntry(3, QStringLiteral("<auto>"), current == 3 ? 1 : 0);
    options.m_nSelect = {current, 0, 0};
    if (options.DoModal() != IDOK_RESULT)
        return;
    const long chosen = options.GetCheckedInRange(1, 3);
    if (chosen > 0)
        app->WriteSettingInt(QStringLiteral("NewJob-Type"), chosen == 1 ? 0 : chosen == 2 ? 1 : 10,
                             CZqApp::kSettings);
}

void CJobNew::OnOK()
{
    if (m_nJobType < 0 || m_nJobType > 2) {
        platform::Prompt::messageBox(QStringLiteral("Please select the Job Type you want to create."));
        return;
    }
    int row = -1;
    for (int r = 0; r < m_list.GetItemCount() && row < 0; ++r)
        if (m_list.IsItemSelected(r))
            row = r;
    const bool buyer = row >= 0 && isBuyerRow(row);
    int customerRow = row;
    while (customerRow >= 0 && isBuyerRow(customerRow))
        --customerRow;
    qint32 cusNo = customerRow >= 0 ? qint32(m_list.GetItemData(customerRow)) : 0;

    if (cusNo == kNewCustomerRow) {
        JobHooks &hooks = GetJobHooks();
        if (!hooks.newCustomer) {
            ReportJobFeatureNotAvailable(QStringLiteral("The customer window"));
            return;
        }
        qint32 made = 0;
        qint32 madeBuyer = 0;
        if (hooks.newCustomer(made, madeBuyer, this) != IDOK_RESULT || made <= 0)
            return;
        m_nCusNo = made;
        m_nBuyerNo = madeBuyer;
        EndDialog(IDOK_RESULT);
        return;
    }
    if (cusNo <= 0) {
        platform::Prompt::messageBox(QStringLiteral("Please select a customer."));
        return;
    }
    if (!ConfirmCustomerWarning(cusNo, m_nJobType))
        return;
    m_nCusNo = cusNo;
    if (buyer) {
        m_nBuyerNo = qint32(m_list.GetItemData(row));
    } else {
        // The customer's default buyer, when that contact exists.
        platform::Value value;
        LookupFirstValue(value, QStringLiteral("SELECT Contacts.ContactNo FROM Contacts INNER JOIN Customers ON "
                                               "Contacts.ContactNo = Customers.BuyerNo WHERE Customers.CusNo = %1")
                                    .arg(cusNo));
        m_nBuyerNo = value.isNull() ? 0 : qint32(value.toInt64());
    }
    EndDialog(IDOK_RESULT);
}
