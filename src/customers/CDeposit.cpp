#include "customers/CDeposit.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "controls/CXDateEdit.h"
#include "customers/DepositRules.h"
#include "customers/ReceivableRows.h"
#include "data/DataExchange.h"
#include "data/DialogFieldExchange.h"
#include "data/SharedDatabase.h"
#include "jobs/JobHooks.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"
#include "controls/ValueField.h"

#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

namespace {
constexpr unsigned kDue = 1301;
constexpr unsigned kTendered = 1302;
constexpr unsigned kChange = 1303;
constexpr unsigned kReference = 1304;
constexpr unsigned kSetAsDue = 1001;
constexpr unsigned kSetDefault = 1002;
constexpr unsigned kSaveOnly = 30213;
constexpr int kNoType = 255;
} // namespace

CDeposit::CDeposit(quint8 kind, Money due, qint32 cusNo, qint32 jobNo, QWidget *parent)
    : CDlg0(630, parent)
    , m_kind(kind)
    , m_due(due)
    , m_tendered(due)
{
    m_crBack = 0xFFFFFF;
    setFixedSize(470, 330);
    AddLabel(QStringLiteral("Amount Due"), QRect(20, 20, 110, 26));
    m_dueEdit = AddEdit(kDue, QRect(140, 20, 130, 26));
    ShowAsValueField(m_dueEdit);
    QLabel *tenderedLabel = AddLabel(QStringLiteral("&Tendered"), QRect(20, 56, 110, 26));
    m_tenderedEdit = AddEdit(kTendered, QRect(140, 56, 130, 26));
    tenderedLabel->setBuddy(m_tenderedEdit);
    QLabel *changeLabel = AddLabel(QStringLiteral("&Change"), QRect(20, 92, 110, 26));
    m_changeEdit = AddEdit(kChange, QRect(140, 92, 130, 26));
    changeLabel->setBuddy(m_changeEdit);
    for (QLineEdit *e : {m_dueEdit, m_tenderedEdit, m_changeEdit})
        e->setAlignment(Qt::AlignRight);
    AddButton(kSetAsDue, QStringLiteral("<-- Set as &Amount Due"), QRect(280, 56, 170, 26));
    QLabel *typeLabel = AddLabel(QStringLiteral("Paid &by"), QRect(20, 130, 110, 26));
    m_types = new QListWidget(this);
    m_types->setGeometry(140, 130, 130, 80);
    typeLabel->setBuddy(m_types);
    AddButton(kSetDefault, QStringLiteral("<-- Set as Default Type"), QRect(280, 130, 170, 26));
    QLabel *referenceLabel = AddLabel(QStringLiteral("&Reference"), QRect(20, 218, 110, 26));
    m_referenceEdit = AddEdit(kReference, QRect(140, 218, 130, 26));
    referenceLabel->setBuddy(m_referenceEdit);
    QLabel *dateLabel = AddLabel(QStringLiteral("&Date Paid"), QRect(20, 250, 110, 26));
    m_datePaid = new CXDateEdit(this);
    dateLabel->setBuddy(m_datePaid);
    m_datePaid->setGeometry(140, 250, 130, 26);
    m_datePaid->setEnabled(false);
    AddButton(kPrintAndSave, QStringLiteral("&Print and Save"), QRect(20, 290, 140, 30));
    AddButton(kSaveOnly, QStringLiteral("&Save without Printing"), QRect(170, 290, 180, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(360, 290, 90, 30));
    ShowItem(kPrintAndSave, false);

    m_payment.paidBy = kNoType;
    m_payment.payGroup = kind;
    m_payment.cusNo = cusNo;
    m_payment.date = GetToday();
    if (jobNo != 0) {
        m_tendered = Money();
        m_payment.appliedto = QString::number(jobNo);
    }
    m_strWindowTitle = DepositTitle(kind, cusNo, jobNo);
    connect(m_tenderedEdit, &QLineEdit::editingFinished, this, [this] {
        if (m_tenderedEdit->isModified())
            OnTenderedLeft();
    });
}

bool CDeposit::OnInitDialog()
{
    CDlg0::OnInitDialog();
    for (QLineEdit *e : {m_dueEdit, m_tenderedEdit, m_changeEdit})
        SetCtrlFont(e, 6);
    auto *none = new QListWidgetItem(QStringLiteral("< select one >"), m_types);
    none->setData(Qt::UserRole, kNoType);
    for (const auto &[number, name] : ChoosablePaymentTypes(SharedDatabase())) {
        auto *item = new QListWidgetItem(name, m_types);
        item->setData(Qt::UserRole, number);
    }
    const CZqApp *app = ZqApp();
    const int stored = app ? app->GetSettingInt(QStringLiteral("DefaultPaidBy-") + DepositSettingsWord(m_kind), 1,
                                                CZqApp::kSettings)
                           : 1;
    m_payment.paidBy = quint8(stored < 0 || stored > 255 ? kNoType : stored);
    setWindowTitle(m_strWindowTitle);
    m_changeEdit->setEnabled(m_kind == 1);
    ShowItem(kSetAsDue, m_kind != 0);
    ShowItem(kPrintAndSave, m_kind == 0 || m_kind == 1);
    HoldToColumn(kReference, QStringLiteral("Payments"), QStringLiteral("Reference"));
    ShowFields();
    m_tenderedEdit->setFocus();
    m_tenderedEdit->selectAll();
    return true;
}

void CDeposit::SelectType(int code)
{
    for (int i = 0; i < m_types->count(); ++i) {
        if (m_types->item(i)->data(Qt::UserRole).toInt() == code) {
            m_types->setCurrentRow(i);
            return;
        }
    }
    m_types->setCurrentRow(-1);
}

void CDeposit::ShowFields()
{
    m_dueEdit->setText(DepositMoneyText(m_due));
    m_tenderedEdit->setText(DepositMoneyText(m_tendered));
    m_changeEdit->setText(DepositMoneyText(m_change));
    m_tenderedEdit->setModified(false);
    SelectType(m_payment.paidBy);
    m_referenceEdit->setText(m_payment.reference);
    m_datePaid->setDate(m_payment.date.isValid() ? m_payment.date.date() : QDate::currentDate());
}

bool CDeposit::ReadFields()
{
    // Amounts are read as every amount field reads them: a text that is no
    // amount is refused and left selected, so what is typed next replaces it.
    Money tendered = m_tendered;
    Money change = m_change;
    DataExchange dx(this, true);
    DDX_CurrencyNoCharge(dx, m_tenderedEdit, tendered);
    DDX_CurrencyNoCharge(dx, m_changeEdit, change);
    if (dx.failed())
        return false;
    m_tendered = tendered;
    m_change = change;
    QListWidgetItem *item = m_types->currentItem();
    m_payment.paidBy = quint8(item ? item->data(Qt::UserRole).toInt() : kNoType);
    m_payment.reference = m_referenceEdit->text();
    return true;
}

void CDeposit::OnTenderedLeft()
{
    if (!ReadFields())
        return;
    const DepositAmounts amounts = TenderedLeft(m_kind, m_due, m_tendered);
    m_tendered = amounts.tendered;
    m_change = amounts.change;
    ShowFields();
}

void CDeposit::SetDefaultType()
{
    if (!ReadFields())
        return;
    const QString word = DepositSettingsWord(m_kind);
    if (CZqApp *app = ZqApp())
        app->WriteSettingInt(QStringLiteral("DefaultPaidBy-") + word, m_payment.paidBy, CZqApp::kSettings);
    QListWidgetItem *item = m_types->currentItem();
    platform::Prompt::messageBox(QStringLiteral("The default 'Paid by' for ") + word + QStringLiteral(" is set to: '")
                                 + (item ? item->text() : QString()) + QStringLiteral("'\n(local to this computer)"));
}

bool CDeposit::OnCommand(int id)
{
    switch (id) {
    case kSetAsDue:
        if (ReadFields()) {
            m_tendered = m_due;
            ShowFields();
            OnTenderedLeft();
        }
        return true;
    case kSetDefault: SetDefaultType(); return true;
    case kSaveOnly: Save(IDOK_RESULT); return true;
    default: return CDlg0::OnCommand(id);
    }
}

void CDeposit::OnOK()
{
    Save(IDOK_RESULT);
}

void CDeposit::OnPrintList()
{
    if (m_kind == 0 || m_kind == 1)
        Save(kPrintAndSave);
}

void CDeposit::Save(int result)
{
    // The row is written once the box is closed (by the sale or the order
    // for theirs): what it keeps is checked while the box is still open.
    if (!HeldTextsFit() || !ReadFields())
        return;
    m_payment.date = GetToday();
    m_payment.amount = m_tendered - m_change;
    ShowFields();
    if (m_payment.amount.units() < 0) {
        CZqApp *app = ZqApp();
        if (!app || !app->CheckPassword(63, QStringLiteral("enter a minus (reverse) payment")))
            return;
    }
    if (m_payment.amount.isZero()) {
        platform::Prompt::messageBox(QStringLiteral("No amount tendered!"));
        m_tenderedEdit->setFocus();
        return;
    }
    if (m_payment.paidBy > 254) {
        platform::Prompt::messageBox(QStringLiteral("Please select a payment type."));
        m_types->setFocus();
        return;
    }
    if (!m_change.isZero()
        && platform::Prompt::messageBox(QStringLiteral("Please note the amount due to the customer is $")
                                            + m_changeEdit->text()
                                            + QStringLiteral("\nIs this amount due correct?"),
                                        QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
               != platform::IDYES)
        return;
    QListWidgetItem *item = m_types->currentItem();
    m_payment.paidByName = item ? item->text() : QString();
    m_payment.title = m_strWindowTitle;
    m_payment.due = m_due;
    m_payment.tendered = m_tendered;
    m_payment.change = m_change;
    if (m_kind == 2) {
        // A payment on account has nothing else to write with it.
        qint32 payNo = 0;
        if (!InOneTransaction(SharedDatabase(), QStringLiteral("Cannot save Payments"),
                              [&] { payNo = InsertPayment(SharedDatabase(), m_payment); }))
            return;
        m_payNo = payNo;
    }
    if (m_kind == 0)
        platform::Prompt::beep();
    EndDialog(result);
}

void InstallDepositDialog()
{
    GetJobHooks().takeDeposit = [](quint8 kind, Money due, qint32 cusNo, qint32 jobNo, NewPayment &payment,
                                   QWidget *parent) {
        CDeposit dlg(kind, due, cusNo, jobNo, parent);
        const int result = dlg.DoModal();
        if (result == IDOK_RESULT || result == CDeposit::kPrintAndSave)
            payment = dlg.m_payment;
        return result;
    };
}
