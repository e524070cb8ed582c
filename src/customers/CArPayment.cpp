#include "customers/CArPayment.h"

#include "app/base/MoneyText.h"
#include "customers/CreditAdjustment.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"
#include "views/CDlgData.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTreeWidget>

namespace {
constexpr unsigned kApplyAll = 30416;
constexpr unsigned kApplyPartial = 30417;
constexpr unsigned kSaveSame = 30213;
constexpr unsigned kSaveClose = 30443;

bool askYes(const QString &text)
{
    return platform::Prompt::messageBox(text, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
        == platform::IDYES;
}
} // namespace

CArPayment::CArPayment(qint32 cusNo, QWidget *parent)
    : CDlg0(939, parent)
    , m_cusNo(cusNo)
{
    m_crBack = 0xFFFFFF;
    setFixedSize(760, 520);
    AddPlaceholder(1901, QRect(0, 0, 760, 34), QStringLiteral("Payment Received"));
    AddLabel(QStringLiteral("Type"), QRect(20, 48, 80, 24));
    m_type = new QComboBox(this);
    m_type->setGeometry(100, 48, 150, 24);
    AddLabel(QStringLiteral("Ref."), QRect(270, 48, 40, 24));
    m_reference = AddEdit(1301, QRect(310, 48, 150, 24));
    const QStringList labels{QStringLiteral("Amount"), QStringLiteral("Applied"), QStringLiteral("Remains"),
                             QStringLiteral("Account Balance")};
    QLineEdit **edits[] = {&m_amount, &m_applied, &m_remains, &m_balance};
    for (int i = 0; i < 4; ++i) {
        AddLabel(labels[i], QRect(20 + i * 180, 84, 170, 20));
        *edits[i] = AddEdit(1302 + unsigned(i), QRect(20 + i * 180, 104, 160, 26));
        (*edits[i])->setAlignment(Qt::AlignRight);
        if (i > 0)
            (*edits[i])->setReadOnly(true);
    }
    m_applyAll = AddButton(kApplyAll, HowToApplyText(), QRect(20, 140, 720, 30));
    AddButton(kApplyPartial, QStringLiteral("Apply Partial Payment"), QRect(20, 472, 170, 32));
    m_list = new QTreeWidget(this);
    m_list->setGeometry(20, 180, 720, 280);
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Invoice"), QStringLiteral("Job Title"), QStringLiteral("Date"),
                             QStringLiteral("Due"), QStringLiteral("Applied"), QStringLiteral("Balance")});
    const int widths[] = {70, 250, 90, 100, 100, 100};
    for (int c = 0; c < 6; ++c)
        m_list->setColumnWidth(c, widths[c]);
    AddButton(kSaveSame, QStringLiteral("Save && New (This Cust)"), QRect(300, 472, 150, 32));
    AddButton(kSaveClose, QStringLiteral("Save && Close"), QRect(460, 472, 130, 32));
    AddButton(2, QStringLiteral("Close"), QRect(600, 472, 140, 32));
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

bool CArPayment::OnInitDialog()
{
    CDlg0::OnInitDialog();
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT [No], Name FROM PaymentTypes WHERE Left(Name, 1) <> '~' ORDER BY Sort, Name"));
    for (; !rs.isEOF(); rs.moveNext())
        m_type->addItem(rs.value(1).toString(), rs.value(0).toInt());
    for (QLineEdit *e : {m_amount, m_applied, m_remains, m_balance})
        SetCtrlFont(e, 5);
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
    return true;
}

void CArPayment::ShowFields()
{
    m_amount->setText(FormatMoney(m_entry.amount));
    m_applied->setText(FormatMoney(m_entry.applied));
    m_remains->setText(FormatMoney(m_entry.remains));
    m_balance->setText(FormatMoney(m_entry.accountBalance));
    m_reference->setText(m_entry.reference);
    const int type = m_type->findData(m_entry.paidBy);
    if (type >= 0)
        m_type->setCurrentIndex(type);
    if (m_list->topLevelItemCount() != m_entry.rows.size()) {
        m_list->clear();
        for (const PaymentRow &row : m_entry.rows) {
            auto *item = new QTreeWidgetItem(m_list);
            item->setText(0, QString::number(row.jobNo));
            item->setText(1, row.title);
            item->setText(2, row.dateShipped.isValid() ? row.dateShipped.date().toString(QStringLiteral("MM/dd/yyyy"))
                                                       : QString());
        }
    }
    for (int r = 0; r < m_entry.rows.size(); ++r) {
        QTreeWidgetItem *item = m_list->topLevelItem(r);
        const PaymentRow &row = m_entry.rows[r];
        item->setText(3, FormatMoney(row.due));
        item->setText(4, FormatMoney(row.applied));
        item->setText(5, FormatMoney(row.balance()));
        for (int c = 3; c < 6; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void CArPayment::OnAmountChanged()
{
    ReadFields();
    const Money typed = Money::fromText(m_amount->text().trimmed().isEmpty() ? QStringLiteral("0") : m_amount->text());
    if (!typed.isValid()) {
        ShowFields();
        return;
    }
    if (!m_entry.AmountChanged(typed))
        return;
    ShowFields();
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
    ReadFields();
    std::optional<Money> amount;
    if (partial) {
        const std::optional<Money> proposal = m_entry.PartialProposal(row);
        if (!proposal)
            return;
        CDlgData dlg(FormatMoney(*proposal), 0, QStringLiteral("Apply"),
                     QStringLiteral("Partial Payment for Invoice No %1").arg(m_entry.rows[row].jobNo), QString(), this);
        if (dlg.DoModal() != IDOK_RESULT)
            return;
        const Money typed = Money::fromText(dlg.m_strValue.trimmed());
        if (!typed.isValid() || typed <= Money())
            return;
        amount = typed;
    }
    m_entry.ApplyToRow(row, amount);
    ShowFields();
}

bool CArPayment::SavePayment(bool strict)
{
    ReadFields();
    if (!strict) {
        if (m_entry.amount.isZero())
            return true;
        if (!askYes(PaymentEntry::SaveQuestion()))
            return true;
    } else if (m_entry.amount.isZero()) {
        platform::Prompt::messageBox(PaymentEntry::ZeroAmountText());
        return false;
    }
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
        ReadFields();
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
