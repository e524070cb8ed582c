#include "customers/CArPayment.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "controls/CXDateEdit.h"
#include "controls/DlgItem.h"
#include "app/base/MoneyText.h"
#include "app/base/TypedValue.h"
#include "customers/CContactList.h"
#include "customers/CCusSummary.h"
#include "customers/CreditAdjustment.h"
#include "data/CContactSet.h"
#include "data/CCusSet.h"
#include "data/CJobSet.h"
#include "data/CShiptoSet.h"
#include "data/DataExchange.h"
#include "data/DialogFieldExchange.h"
#include "data/SharedDatabase.h"
#include "jobs/CJobBalance.h"
#include "jobs/CJobDlg.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"
#include "views/CDlgData.h"
#include "views/CDlgList.h"
#include "views/CNoteDlg.h"
#include "controls/CXListCtrl.h"
#include "controls/ValueField.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTreeWidget>

namespace {
constexpr unsigned kApplyAll = 30416;
constexpr unsigned kApplyPartial = 30417;
constexpr unsigned kSaveSame = 30213;
constexpr unsigned kSaveFind = 30441;
constexpr unsigned kSaveClose = 30443;
constexpr unsigned kNew = 30100;
constexpr unsigned kViewJob = 30598;
constexpr unsigned kJobTotals = 30415;
constexpr unsigned kSummary = 30536;
constexpr unsigned kHistory = 30537;
constexpr unsigned kCustomer = 30407;
constexpr unsigned kBillToPanel = 1734;
constexpr unsigned kPayer = 30412;
constexpr unsigned kNote = 30263;

bool askYes(const QString &text)
{
    return platform::Prompt::messageBox(text, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
        == platform::IDYES;
}
} // namespace

CArPayment::CArPayment(qint32 cusNo, QWidget *parent, CXListCtrl *viewList, int branch, int entry)
    : CDlg0(939, parent)
    , m_cusNo(cusNo)
    , m_viewList(viewList)
    , m_branch(branch)
    , m_listEntry(entry)
{
    m_crBack = 0xFFFFFF;
    m_nColorScheme = Appearance::instance().GetViewHue(30004, true);
    setFixedSize(900, 600);
    AddPlaceholder(1901, QRect(0, 0, 900, 34), QStringLiteral("Payment Received"));
    AddPlaceholder(1741, QRect(0, 34, 900, 52));
    // The customer billed, by name above its address, as the job window
    // shows it.
    AddPlaceholder(kBillToPanel, QRect(0, 86, 900, 100));
    QLabel *dateLabel = AddLabel(QStringLiteral("&Date"), QRect(20, 196, 50, 24));
    m_date = new CXDateEdit(this);
    m_date->setGeometry(70, 196, 130, 24);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("M/d/yyyy"));
    SetDlgCtrlID(m_date, 2401);
    dateLabel->setBuddy(m_date);
    QLabel *typeLabel = AddLabel(QStringLiteral("&Type"), QRect(220, 196, 50, 24));
    m_type = new QComboBox(this);
    m_type->setGeometry(270, 196, 150, 24);
    SetDlgCtrlID(m_type, 1201);
    typeLabel->setBuddy(m_type);
    AddLabel(QStringLiteral("Ref."), QRect(440, 196, 40, 24));
    m_reference = AddEdit(1301, QRect(480, 196, 180, 24));
    const QStringList labels{QStringLiteral("&Amount"), QStringLiteral("Applied"), QStringLiteral("Remains"),
                             QStringLiteral("Account Balance")};
    QLineEdit **edits[] = {&m_amount, &m_applied, &m_remains, &m_balance};
    for (int i = 0; i < 4; ++i) {
        QLabel *label = AddLabel(labels[i], QRect(20 + i * 215, 230, 200, 20));
        *edits[i] = AddEdit(1302 + unsigned(i), QRect(20 + i * 215, 250, 200, 26));
        label->setBuddy(*edits[i]);
        (*edits[i])->setAlignment(Qt::AlignRight);
        if (i > 0)
            ShowAsValueField(*edits[i]); // computed: Applied, Remains, Account Balance
    }
    m_applyAll = AddButton(kApplyAll, HowToApplyText(), QRect(20, 286, 860, 30));
    m_list = new QTreeWidget(this);
    m_list->setGeometry(20, 326, 860, 200);
    m_list->setRootIsDecorated(false);
    SetDlgCtrlID(m_list, 1401);
    m_list->setHeaderLabels({QStringLiteral("Invoice"), QStringLiteral("Job Title"), QStringLiteral("Ordered By"),
                             QStringLiteral("Shipped To"), QStringLiteral("Date"), QStringLiteral("Due"),
                             QStringLiteral("Applied"), QStringLiteral("Balance")});
    const int widths[] = {60, 150, 110, 150, 80, 95, 95, 95};
    for (int c = 0; c < 8; ++c)
        m_list->setColumnWidth(c, widths[c]);
    AddPlaceholder(1733, QRect(0, 536, 900, 52));
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item, int column) {
        if (column == 0)
            ApplyRow(m_list->indexOfTopLevelItem(item), false);
    });
    connect(m_amount, &QLineEdit::editingFinished, this, [this] { OnAmountChanged(); });
    m_strWindowTitle = QStringLiteral("A/R");
}

QString CArPayment::HowToApplyText()
{
    return QStringLiteral("HOW TO APPLY PAYMENT: To pay all invoices listed, click here. To pay one invoice, click "
                          "its number.");
}

void CArPayment::BuildRibbon()
{
    const auto item = [](CXRibbon &r, unsigned id, const QString &text, int image, int width,
                         const QString &tip = QString()) {
        r.AddItem(id, text, struct_RIB_ITEM::Normal, 131, std::uint8_t(image), 2, 2084, 7, 2, width, 0, 0, tip);
    };
    if (m_commands.Create(this, 1741, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 44)) {
        connect(&m_commands, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &r = m_commands;
        item(r, kNew, QStringLiteral("New"), 187, 60);
        r.AddSpacer(12, 5);
        item(r, kSaveSame, QStringLiteral("Save & New\n(This Cust)"), 7, 96);
        item(r, kSaveFind, QStringLiteral("Save & New\n(Find Cust)"), 7, 96);
        item(r, kSaveClose, QStringLiteral("Save & Close"), 7, 110);
        r.AddSpacer(12, 5);
        item(r, kViewJob, QStringLiteral("View Job"), 169, 80);
        item(r, kJobTotals, QStringLiteral("Edit Job\nTotals"), 169, 80);
        r.AddSpacer(12, 5);
        item(r, kSummary, QStringLiteral("Customer\nSummary"), 171, 86);
        item(r, kHistory, QStringLiteral("Payment\nHistory"), 171, 86);
        r.AddSpacer(12, 5);
        item(r, 30330, QStringLiteral("Print"), 190, 60, QStringLiteral("Print this window as shown"));
        item(r, 2, QStringLiteral("Close"), 6, 60);
        if (CanNavigate()) {
            r.AddSpacer(12, 5);
            r.AddNavigationGroup();
            r.RemoveItem(30101);
        }
        r.RecalcLayout(0);
    }
    if (m_billTo.Create(this, kBillToPanel, m_nColorScheme, 4, 132, 5, 0, 4, 4, 0, 0)) {
        connect(&m_billTo, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_billTo.AddItem(kCustomer, QStringLiteral("Bill To"), struct_RIB_ITEM::Normal, 0, 255, 3, 2084,
                         Appearance::instance().fillStyle(), 1, 300);
        m_billTo.RecalcLayout(251);
    }
    if (m_customerBar.Create(this, 1733, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 44)) {
        connect(&m_customerBar, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &r = m_customerBar;
        item(r, kApplyPartial, QStringLiteral("Apply Partial Payment"), 178, 170);
        r.AddSpacer(12, 5);
        item(r, kCustomer, QStringLiteral("Customer"), 188, 96);
        item(r, kPayer, QStringLiteral("Payer"), 188, 96);
        item(r, kNote, QStringLiteral("Note"), 180, 80);
        r.RecalcLayout(0);
    }
}

void CArPayment::ShowCustomerTips()
{
    CCusSet customer;
    if (!customer.FindCustomer(m_cusNo) || customer.IsEOF())
        return;
    m_customerBar.SetItemTip(kCustomer, customer.FormatBillTo());
    m_billTo.SetItemText(kCustomer, QStringLiteral("Bill to Customer No.%1").arg(m_cusNo));
    m_billTo.SetItemTip(kCustomer, customer.FormatBillTo());
    CContactSet contacts;
    m_customerBar.SetItemTip(kPayer, customer.m_PayerNo != 0 ? contacts.GetContactCard(customer.m_PayerNo, 5)
                                                             : QString());
    m_customerBar.SetItemTip(kNote, customer.m_Memo);
}

bool CArPayment::OnInitDialog()
{
    CDlg0::OnInitDialog();
    BuildRibbon();
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT [No], Name FROM PaymentTypes WHERE Left(Name, 1) <> '~' ORDER BY Sort, Name"));
    for (; !rs.isEOF(); rs.moveNext())
        m_type->addItem(rs.value(1).toString(), rs.value(0).toInt());
    for (QLineEdit *e : {m_amount, m_applied, m_remains, m_balance})
        SetCtrlFont(e, 5);
    HoldToColumn(1301, QStringLiteral("Payments"), QStringLiteral("Reference"));
    if (!LoadCustomer()) {
        EndDialog(IDCANCEL_RESULT);
        return true;
    }
    return true;
}

bool CArPayment::LoadCustomer()
{
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT Name, CreditDue FROM Customers WHERE CusNo = ?"), {platform::Value(m_cusNo)});
    if (rs.isEOF())
        return false;
    m_name = rs.value(0).isNull() ? QString() : rs.value(0).toString();
    const Money creditDue = rs.value(1).isNull() ? Money() : rs.value(1).toMoney();
    rs.close();
    setWindowTitle(QStringLiteral("%1 (%2)").arg(m_name).arg(m_cusNo));
    ShowCustomerTips();
    m_entry.Reset();
    m_entry.Load(SharedDatabase(), m_cusNo);
    ShowFields();
    if (m_entry.accountBalance.isZero()) {
        if (!askYes(PaymentEntry::NoBalanceQuestion(m_name)))
            return false;
    } else if (!creditDue.isZero() && askYes(PaymentEntry::UseCreditQuestion(m_name, creditDue))) {
        m_entry.UseCredit(creditDue);
        ShowFields();
    }
    m_amount->setEnabled(!m_entry.useCreditMode);
    m_applyAll->setEnabled(!m_entry.useCreditMode);
    return true;
}

bool CArPayment::ReadFields()
{
    m_entry.reference = m_reference->text();
    m_entry.paidBy = m_type->currentData().toInt();
    if (m_date->date().isValid())
        m_entry.date = DateTime::fromDate(m_date->date());
    // The Amount counts as the field shows it, whether or not the field was
    // left since it was typed (a correction after a refusal included).
    if (m_bRefusing || !m_amount->isEnabled() || m_amount->text().trimmed() == FormatMoney(m_entry.amount))
        return !m_bRefusing;
    Money typed = m_entry.amount;
    DataExchange dx(this, true);
    // The message about a refused amount takes the focus from the field,
    // which must not count as leaving it again.
    m_bRefusing = true;
    DDX_Currency(dx, m_amount, typed);
    m_bRefusing = false;
    if (dx.failed())
        return false;
    if (m_entry.AmountChanged(typed))
        ShowFields();
    return true;
}

void CArPayment::ShowFields()
{
    m_amount->setText(FormatMoney(m_entry.amount));
    m_applied->setText(FormatMoney(m_entry.applied));
    m_remains->setText(FormatMoney(m_entry.remains));
    m_balance->setText(FormatMoney(m_entry.accountBalance));
    m_reference->setText(m_entry.reference);
    m_date->setDate(m_entry.date.isValid() ? m_entry.date.date() : platform::Clock::today());
    const int type = m_type->findData(m_entry.paidBy);
    if (type >= 0)
        m_type->setCurrentIndex(type);
    if (m_list->topLevelItemCount() != m_entry.rows.size()) {
        m_list->clear();
        CContactSet contacts;
        CShiptoSet shiptos;
        for (const PaymentRow &row : m_entry.rows) {
            auto *item = new QTreeWidgetItem(m_list);
            item->setText(0, QString::number(row.jobNo));
            item->setData(0, Qt::UserRole, row.jobId);
            item->setText(1, row.title);
            if (row.buyerNo != 0)
                item->setText(2, contacts.GetContactCard(row.buyerNo, 1)); // a name on one line
            if (row.shiptoNo != 0)
                item->setText(3, shiptos.GetAddressText(row.shiptoNo, 0));
            item->setText(4, row.dateShipped.isValid() ? row.dateShipped.date().toString(QStringLiteral("MM/dd/yyyy"))
                                                       : QString());
            item->setTextAlignment(4, Qt::AlignCenter);
        }
    }
    for (int r = 0; r < m_entry.rows.size(); ++r) {
        QTreeWidgetItem *item = m_list->topLevelItem(r);
        const PaymentRow &row = m_entry.rows[r];
        item->setText(5, FormatMoney(row.due));
        item->setText(6, FormatMoney(row.applied));
        item->setText(7, FormatMoney(row.balance()));
        for (int c = 5; c < 8; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void CArPayment::OnAmountChanged()
{
    if (m_bRefusing)
        return;
    const Money before = m_entry.amount;
    if (!ReadFields() || m_entry.amount == before)
        return;
    if (m_entry.amount < Money()) {
        if (askYes(PaymentEntry::NegativeQuestion())) {
            if (SavePayment(true))
                EndDialog(IDCANCEL_RESULT);
        } else {
            m_entry.Reset();
            m_entry.FillInvoiceList(false);
            ShowFields();
        }
    }
}

void CArPayment::ApplyRow(int row, bool partial)
{
    if (row < 0 || row >= m_entry.rows.size())
        return;
    if (!ReadFields())
        return;
    std::optional<Money> amount;
    if (partial) {
        const std::optional<Money> proposal = m_entry.PartialProposal(row);
        if (!proposal)
            return;
        // The amount is read whole; one that is no currency, or not above
        // 0, is refused naming the field and asked for again as typed.
        QString text = FormatMoney(*proposal);
        for (;;) {
            CDlgData dlg(text, 0, QStringLiteral("Apply"),
                         QStringLiteral("Partial Payment for Invoice No %1").arg(m_entry.rows[row].jobNo), QString(),
                         this);
            if (dlg.DoModal() != IDOK_RESULT)
                return;
            text = dlg.m_strValue;
            Money typed;
            QString refusal;
            if (!ReadTypedMoney(text, typed, 2))
                refusal = TypedMoneyMessage(text);
            else if (typed <= Money())
                refusal = QStringLiteral("Please enter an amount above 0.");
            if (refusal.isEmpty()) {
                amount = typed;
                break;
            }
            platform::Prompt::messageBox(FieldMessage(QStringLiteral("Partial Payment"), refusal), QString(),
                                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
        }
    }
    m_entry.ApplyToRow(row, amount);
    ShowFields();
}

bool CArPayment::SavePayment(bool strict)
{
    if (!ReadFields())
        return false;
    if (!strict) {
        if (m_entry.amount.isZero())
            return true;
        if (!askYes(PaymentEntry::SaveQuestion()))
            return true;
    } else if (m_entry.amount.isZero()) {
        platform::Prompt::messageBox(PaymentEntry::ZeroAmountText());
        return false;
    }
    // A text too long for its column is said before anything is written;
    // the window stays with what was typed.
    if (!HeldTextsFit())
        return false;
    bool creditAccepted = false;
    const Money credit = m_entry.CreditToGive();
    if (!credit.isZero()) {
        creditAccepted = askYes(PaymentEntry::CreditQuestion(credit));
        if (!creditAccepted)
            return false;
    }
    if (!m_entry.Save(SharedDatabase(), m_cusNo, creditAccepted))
        return false;
    m_list->clear();
    ShowFields();
    if (!m_entry.lastNote.isEmpty())
        platform::Prompt::messageBox(m_entry.lastNote + QStringLiteral(" is saved."));
    return true;
}

bool CArPayment::OnCommand(int id)
{
    switch (id) {
    case kApplyAll:
        if (!ReadFields())
            return true;
        m_entry.ApplyAll();
        ShowFields();
        return true;
    case kApplyPartial:
        ApplyRow(m_list->indexOfTopLevelItem(m_list->currentItem()), true);
        return true;
    case kSaveSame:
        if (SavePayment(true) && !LoadCustomer())
            EndDialog(IDCANCEL_RESULT);
        return true;
    case kSaveClose:
        if (SavePayment(true))
            EndDialog(IDCANCEL_RESULT);
        return true;
    case kSaveFind:
        if (SavePayment(true))
            OnNew();
        return true;
    case kNew:
    case 30101:
        OnNew();
        return true;
    case kViewJob:
        OpenJob();
        return true;
    case kJobTotals:
        EditJobTotals();
        return true;
    case kSummary:
        ShowSummary();
        return true;
    case kHistory:
        ShowPaymentHistory();
        return true;
    case kCustomer:
        OpenCustomer();
        return true;
    case kPayer:
        EditPayer();
        return true;
    case kNote:
    case 1906:
        EditNote();
        return true;
    case 59648: case 59649: case 59650: case 59651:
        OnNavigate(id);
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CArPayment::OnOK()
{
    // Enter applies the highlighted invoice, as a click on its number does.
    ApplyRow(m_list->indexOfTopLevelItem(m_list->currentItem()), false);
}

void CArPayment::OnCancel()
{
    if (SavePayment(false))
        CDlg0::OnCancel();
}

qint32 CArPayment::HighlightedJob() const
{
    QTreeWidgetItem *item = m_list->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

void CArPayment::OnNew()
{
    // A payment being entered is saved (or dropped) first.
    if (m_cusNo != 0 && !SavePayment(false))
        return;
    CDlgList picker(QStringLiteral("Select"), QStringLiteral("New Payment From"), QStringLiteral("Customer"), 0, 0, 1,
                    m_nColorScheme, this);
    if (picker.DoModal() != IDOK_RESULT || picker.m_nChosenId == 0) {
        if (askYes(QStringLiteral("Do you want to select a customer?")))
            OnNew();
        else if (m_cusNo == 0)
            EndDialog(IDCANCEL_RESULT);
        return;
    }
    m_cusNo = qint32(picker.m_nChosenId);
    m_list->clear();
    if (!LoadCustomer())
        EndDialog(IDCANCEL_RESULT);
}

void CArPayment::OpenJob()
{
    const qint32 jobId = HighlightedJob();
    // What is typed so far is taken before the window opens: the payment
    // comes back from it as it was.
    if (jobId == 0 || !ReadFields())
        return;
    CJobSet job;
    job.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(jobId);
    if (!job.RequeryOrOpen(true) || job.IsEmptySet())
        return;
    // Without the job's lock the window only shows the job.
    const bool locked = job.Lock(true);
    {
        CJobDlg window(&job, !locked, nullptr, this);
        window.SetOpenedFromReceivables(true);
        window.DoModal();
    }
    if (locked)
        job.Lock(false);
    ReloadInvoices();
}

void CArPayment::ReloadInvoices()
{
    const qint32 current = HighlightedJob();
    m_entry.Reload(SharedDatabase(), m_cusNo);
    m_list->clear();
    ShowFields();
    for (int r = 0; r < m_list->topLevelItemCount(); ++r)
        if (m_list->topLevelItem(r)->data(0, Qt::UserRole).toInt() == current)
            m_list->setCurrentItem(m_list->topLevelItem(r));
}

void CArPayment::EditJobTotals()
{
    const qint32 jobId = HighlightedJob();
    if (jobId == 0 || !ReadFields())
        return;
    CJobSet job;
    job.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(jobId);
    if (!job.RequeryOrOpen(true) || job.IsEmptySet())
        return;
    // Another workstation has the job open: its totals are only shown.
    const bool locked = job.Lock(true);
    if (locked && !job.SafeEdit()) {
        job.Lock(false);
        return;
    }
    CJobBalance totals(this);
    totals.m_pJob = &job;
    totals.m_bReceivables = true;
    totals.m_bReadOnly = locked ? 0 : 1;
    const bool ok = totals.DoModal() == IDOK_RESULT;
    bool saved = false;
    if (locked) {
        if (ok && job.HasDirtyFields())
            saved = job.SaveWithAuditTrail(64);
        else
            job.CancelUpdate();
        job.Lock(false);
    }
    // The invoice's new balance is read; the payment entered stays.
    if (saved)
        ReloadInvoices();
}

void CArPayment::ShowSummary()
{
    if (m_cusNo == 0)
        return;
    CCusSummary summary(this);
    summary.m_nCusNo = m_cusNo;
    summary.DoModal();
}

void CArPayment::ShowPaymentHistory()
{
    CDlgList dlg(QStringLiteral("List"), QStringLiteral("Payment History"),
                 QStringLiteral("SELECT Payments.Date, Payments.Amount, PayGroups.Name AS [Group], PaymentTypes.Name AS "
                                "[Paid By], Payments.Reference, Payments.Appliedto as [Applied To], Payments.PayNo FROM "
                                "PaymentTypes INNER JOIN (PayGroups INNER JOIN Payments ON PayGroups.PayGroup = "
                                "Payments.PayGroup) ON PaymentTypes.[No] = Payments.PaidBy WHERE Payments.CusNo = %1 "
                                "ORDER BY Payments.Date DESC")
                     .arg(m_cusNo),
                 0, 0, 0, m_nColorScheme, this);
    dlg.DoModal();
}

void CArPayment::OpenCustomer()
{
    if (m_cusNo == 0)
        return;
    if (CZqApp *app = ZqApp())
        app->OpenCustomer(m_cusNo);
    ShowCustomerTips();
}

void CArPayment::EditPayer()
{
    CCusSet customer;
    if (m_cusNo == 0 || !customer.FindCustomer(m_cusNo) || customer.IsEOF())
        return;
    CContactList list(m_cusNo, customer.m_PayerNo, m_nColorScheme, QStringLiteral("Payer"), this);
    list.DoModal();
    ShowCustomerTips();
}

void CArPayment::EditNote()
{
    CCusSet customer;
    if (m_cusNo == 0 || !customer.FindCustomer(m_cusNo, true) || customer.IsEOF())
        return;
    CNoteDlg note(QStringLiteral("A/R"), QStringLiteral("Note"), customer.m_Memo, CNoteDlg::EditNote, this);
    if (note.DoModal() != IDOK_RESULT)
        return;
    if (!customer.SafeEdit())
        return;
    customer.m_Memo = note.m_strNote;
    if (customer.SaveRecord(64))
        m_customerBar.SetItemTip(kNote, customer.m_Memo);
}

bool CArPayment::CanNavigate() const
{
    // Only lists whose rows are customers: the payments expected and the
    // statements to send.
    return m_viewList && ((m_branch == 3 && m_listEntry >= 1 && m_listEntry <= 6) || m_branch == 8);
}

void CArPayment::OnNavigate(int command)
{
    if (!CanNavigate() || !SavePayment(false))
        return;
    const std::int64_t key = m_viewList->NavigateRecord(command);
    if (key == 0)
        return;
    m_cusNo = qint32(key);
    m_list->clear();
    if (!LoadCustomer())
        EndDialog(IDCANCEL_RESULT);
}
