#include "jobs/CJobBalance.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "app/base/TypedValue.h"
#include "controls/CXDateEdit.h"
#include "controls/DlgItem.h"
#include "data/CEmpSet.h"
#include "data/DataExchange.h"
#include "data/DialogFieldExchange.h"
#include "data/ListFillers.h"
#include "data/OptionsAndLookups.h"

#include "platform/Prompt.h"

#include <QtCore/QRegularExpression>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <optional>

namespace {

// Money fields and what they hold.
constexpr unsigned kSubtotal = 1301, kDiscount = 1302, kDiscountRate = 1303, kShipping = 1304, kPostage = 1305,
                   kTax = 1306, kTotal = 1307, kLatefee = 1308, kPaid = 1309, kWriteoff = 1310, kBalance = 1311,
                   kCommission = 1312, kCommissionRate = 1313;
constexpr unsigned kTaxCombo = 1201, kTermsCombo = 1202, kRepCombo = 1203;
constexpr unsigned kPayDue = 2401, kLastPaid = 2402;
constexpr unsigned kBasisLabel = 1905, kCommissionButton = 30215;

// What the commission is reckoned on; a typed commission rate stands while
// this and the commission stay as the rate gave them.
Money commissionBasis(const CJobSet &job)
{
    return job.m_Subtotal + job.m_Discount - (job.m_CommType == 1 ? job.m_Cost : Money());
}

QString rateText(qint32 hundredths)
{
    return QString::asprintf("%.2f", hundredths / 100.0);
}

// A rate typed in percent, kept to the hundredth as typed: empty is 0,
// "12.5" and "12.5 %" are 1250. A third decimal, a sign, anything that is
// not a number, or a rate above 100 is refused (nullopt), never cut or
// turned into another rate.
std::optional<qint32> readRate(const QString &typed)
{
    QString text = typed.trimmed();
    if (text.endsWith(QLatin1Char('%')))
        text.chop(1);
    text = text.trimmed();
    if (text.isEmpty())
        return 0;
    static const QRegularExpression number(QStringLiteral("^(\\d{1,3})(?:\\.(\\d{0,2}))?$|^\\.(\\d{1,2})$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString fraction = (m.captured(2) + m.captured(3) + QStringLiteral("00")).left(2);
    const qint32 hundredths = m.captured(1).toInt() * 100 + fraction.toInt();
    if (hundredths > 10000)
        return std::nullopt;
    return hundredths;
}

QString rateRefusal(const QString &field)
{
    return QStringLiteral("%1: please enter a rate from 0 to 100, with at most two decimals.").arg(field);
}

} // namespace

CJobBalance::CJobBalance(QWidget *parent) : CDlg0(751, parent)
{
    m_strWindowTitle = QStringLiteral("Job Totals");
    resize(500, 420);
    auto label = [this](const QString &text, int x, int y, unsigned id = 0) {
        AddLabel(text, QRect(x, y, 90, 22), id);
    };
    auto money = [this](unsigned id, int x, int y) {
        QLineEdit *e = AddEdit(id, QRect(x, y, 110, 24));
        e->setAlignment(Qt::AlignRight);
        connect(e, &QLineEdit::textEdited, this, [this, id] {
            m_nChangedId = id;
            m_bDirty = true;
        });
        connect(e, &QLineEdit::editingFinished, this, [this] { ApplyChangedField(); });
    };
    AddLabel(QString(), QRect(14, 10, 36, 36), 1901);
    label(QStringLiteral("Subtotal"), 60, 14, 1902);
    money(kSubtotal, 160, 12);
    label(QStringLiteral("&Discount"), 60, 42);
    money(kDiscount, 160, 40);
    money(kDiscountRate, 280, 40);
    AddLabel(QStringLiteral("%"), QRect(394, 42, 20, 22));
    label(QStringLiteral("S&hipping"), 60, 70);
    money(kShipping, 160, 68);
    label(QStringLiteral("&Postage"), 60, 98);
    money(kPostage, 160, 96);
    label(QStringLiteral("&Tax"), 60, 126);
    money(kTax, 160, 124);
    auto *tax = new QComboBox(this);
    tax->setGeometry(280, 124, 170, 24);
    SetDlgCtrlID(tax, kTaxCombo);
    connect(tax, &QComboBox::activated, this, [this] { OnTaxChanged(); });
    label(QStringLiteral("Total"), 60, 156, 1903);
    money(kTotal, 160, 154);
    label(QStringLiteral("&Late Fee"), 60, 184);
    money(kLatefee, 160, 182);
    label(QStringLiteral("Paid"), 60, 212);
    money(kPaid, 160, 210);
    label(QStringLiteral("&Write Off"), 60, 240);
    money(kWriteoff, 160, 238);
    label(QStringLiteral("&Balance"), 60, 270, 1904);
    money(kBalance, 160, 268);

    AddLabel(QStringLiteral("Ter&ms:"), QRect(280, 154, 60, 22));
    auto *terms = new QComboBox(this);
    terms->setGeometry(280, 176, 170, 24);
    SetDlgCtrlID(terms, kTermsCombo);
    AddLabel(QStringLiteral("Payment D&ue"), QRect(280, 206, 100, 22));
    for (unsigned id : {kPayDue, kLastPaid}) {
        auto *picker = new CXDateEdit(this);
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        picker->setGeometry(280, id == kPayDue ? 228 : 276, 170, 24);
        SetDlgCtrlID(picker, id);
        SetPickerNoDate(picker);
    }
    AddLabel(QStringLiteral("Last Paid"), QRect(280, 254, 100, 22));

    AddLabel(QStringLiteral("Sales &Rep"), QRect(60, 306, 90, 22));
    auto *rep = new QComboBox(this);
    rep->setGeometry(160, 304, 170, 24);
    SetDlgCtrlID(rep, kRepCombo);
    rep->setEnabled(false);
    connect(rep, &QComboBox::activated, this, [this] { OnSalesRepChanged(); });
    AddButton(kCommissionButton, QStringLiteral("&Commission $"), QRect(340, 304, 110, 26));
    money(kCommission, 160, 334);
    money(kCommissionRate, 280, 334);
    // Room for the longest basis text, "% of subtotal".
    AddLabel(QString(), QRect(394, 336, 100, 22), kBasisLabel);
    for (unsigned id : {kCommission, kCommissionRate, kBasisLabel})
        ShowItem(id, false);

    // Each label's "&" key moves to the field beside it.
    for (QLabel *l : findChildren<QLabel *>()) {
        if (!l->text().contains(QLatin1Char('&')))
            continue;
        const QPoint beside(l->geometry().right() + 20, l->geometry().center().y());
        for (QWidget *w : findChildren<QWidget *>())
            if (w != l && w->geometry().contains(beside) && !qobject_cast<QLabel *>(w))
                l->setBuddy(w);
        if (!l->buddy() && l->text() == QLatin1String("Ter&ms:"))
            l->setBuddy(GetDlgItem(this, kTermsCombo));
        if (!l->buddy() && l->text() == QLatin1String("Payment D&ue"))
            l->setBuddy(GetDlgItem(this, kPayDue));
    }
    AddButton(1, QStringLiteral("OK"), QRect(230, 380, 110, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(345, 380, 110, 30));
    m_bEnterAsTab = 1;
}

QLineEdit *CJobBalance::edit(unsigned id) const
{
    return qobject_cast<QLineEdit *>(GetDlgItem(this, id));
}

QComboBox *CJobBalance::combo(unsigned id) const
{
    return qobject_cast<QComboBox *>(GetDlgItem(this, id));
}

bool CJobBalance::OnInitDialog()
{
    CDlg0::OnInitDialog();
    m_bRefusing = false;
    for (unsigned id : {1902u, 1903u, 1904u})
        SetItemFont(id, 3);
    for (unsigned id = kSubtotal; id <= kBalance; ++id)
        SetItemFont(id, 3);
    const bool readOnly = m_bReadOnly != 0;
    for (unsigned id : {kLatefee, kPaid, kWriteoff})
        EnableItem(id, m_bReceivables && !readOnly);
    EnableItem(1, !readOnly);
    SetItemIcon(1901, 132, 27);
    QString sql;
    GetCodeListSql(sql, 502, true);
    FillListFromQuery(this, int(kTaxCombo), sql);
    GetCodeListSql(sql, 503, true);
    FillListFromQuery(this, int(kTermsCombo), sql);
    GetCodeListSql(sql, 603, true);
    FillListFromQuery(this, int(kRepCombo), sql);
    if (m_pJob) {
        m_nSRepNo = m_pJob->m_SRepNo;
        m_snapshot = *m_pJob;
        m_snapshotStoredBalance = m_pJob->m_StoredBalance;
    }
    Refresh();
    return true;
}

bool CJobBalance::Exchange(bool save)
{
    if (!m_pJob || !m_pJob->IsOpen())
        return false;
    if (save && m_bReadOnly)
        return true;
    CJobSet &job = *m_pJob;
    DataExchange dx(this, save);
    const std::pair<unsigned, Money *> amounts[] = {
        {kSubtotal, &job.m_Subtotal}, {kDiscount, &job.m_Discount}, {kShipping, &job.m_Shipping},
        {kPostage, &job.m_Postage},   {kTax, &job.m_Tax},           {kTotal, &job.m_TotalAmount},
        {kLatefee, &job.m_Latefee},   {kPaid, &job.m_Paid},         {kWriteoff, &job.m_Writeoff},
        {kBalance, &job.m_Balance},   {kCommission, &job.m_Commission}};
    for (const auto &[id, member] : amounts)
        DDX_CurrencyNoCharge(dx, edit(id), *member);
    if (!save) {
        // A field another workstation changed too is named as here, a
        // choice by the text its list shows.
        for (const auto &[id, member] : amounts)
            if (member != &job.m_TotalAmount)
                job.SetFieldCaption(member, FieldName(edit(id)));
        NameComboField(job, &job.m_TaxNo, FieldName(combo(kTaxCombo)), combo(kTaxCombo));
        NameComboField(job, &job.m_TermsNo, FieldName(combo(kTermsCombo)), combo(kTermsCombo));
        NameComboField(job, &job.m_SRepNo, FieldName(combo(kRepCombo)), combo(kRepCombo));
        job.SetFieldCaption(&job.m_DatePayDue, QStringLiteral("Payment Due"));
        job.SetFieldCaption(&job.m_DatePaid, QStringLiteral("Last Paid"));
    }
    DDX_CBData(dx, combo(kTaxCombo), job.m_TaxNo);
    DDX_CBData(dx, combo(kTermsCombo), job.m_TermsNo);
    DDX_CBData(dx, combo(kRepCombo), job.m_SRepNo);
    DDX_DateTimeCtrlField(dx, qobject_cast<QDateEdit *>(GetDlgItem(this, kPayDue)), job.m_DatePayDue, &job);
    DDX_DateTimeCtrlField(dx, qobject_cast<QDateEdit *>(GetDlgItem(this, kLastPaid)), job.m_DatePaid, &job);
    if (save) {
        m_strDiscountRate = GetItemText(kDiscountRate);
        m_strCommissionRate = GetItemText(kCommissionRate);
    } else {
        SetItemText(kDiscountRate, m_strDiscountRate);
        SetItemText(kCommissionRate, m_strCommissionRate);
        SetItemText(kBasisLabel, m_strBasis);
    }
    return !dx.failed();
}

void CJobBalance::Refresh()
{
    if (!m_pJob)
        return;
    CJobSet &job = *m_pJob;
    job.RecalcTotals(true);
    // The totals derive the commission rate from its rounded amount; a rate
    // typed here that still gives the amount shows as typed. (The job keeps
    // a typed discount rate itself.)
    const TypedRate &typed = m_typedCommission;
    if (typed.typed && typed.rate >= 0 && typed.rate <= 10000 && typed.amount == job.m_Commission
        && typed.basis == commissionBasis(job))
        job.m_CommissionRate = typed.rate;
    m_strDiscountRate = rateText(job.m_DiscountRate);
    m_strCommissionRate = rateText(job.m_CommissionRate);
    m_strBasis = QStringLiteral("% of %1").arg(job.m_CommType == 1 ? QStringLiteral("margin") : QStringLiteral("subtotal"));
    Exchange(false);
}

bool CJobBalance::ApplyChangedField()
{
    const unsigned id = m_nChangedId;
    if (m_bRefusing)
        return false;
    if (id == 0 || m_bReadOnly || !m_pJob)
        return true;
    // What the job held before this field: a typed amount that would take
    // one of its figures past the largest amount puts it back.
    CJobSet before;
    before = *m_pJob;
    const Money storedBefore = m_pJob->m_StoredBalance;
    // The message about a refused value takes the focus from the field,
    // which must not count as leaving it again.
    m_bRefusing = true;
    const bool read = Exchange(true);
    m_bRefusing = false;
    if (!read)
        return false;
    // A rate is read whole or refused, naming the field; the job keeps what
    // it had and the typed text waits, selected, to be typed over.
    std::optional<qint32> rate;
    if (id == kDiscountRate || id == kCommissionRate) {
        rate = readRate(id == kDiscountRate ? m_strDiscountRate : m_strCommissionRate);
        if (!rate) {
            m_bRefusing = true;
            platform::Prompt::messageBox(
                rateRefusal(id == kDiscountRate ? QStringLiteral("Discount %") : QStringLiteral("Commission %")),
                QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
            m_bRefusing = false;
            if (QLineEdit *e = edit(id)) {
                e->setFocus();
                e->selectAll();
            }
            return false;
        }
    }
    CJobSet &job = *m_pJob;
    job.AlignAmountSigns();
    switch (id) {
    case kDiscountRate:
        job.ApplyDiscountRate(*rate);
        job.CalcSubtotal();
        job.CalcCommission();
        break;
    case kDiscount:
        // A typed amount is the discount: the rate is the amount's.
        job.ForgetDiscountRate();
        job.CalcSubtotal();
        job.CalcCommission();
        break;
    case kShipping:
    case kPostage:
        job.CalcSubtotal();
        job.CalcCommission();
        break;
    case kCommission: job.CalcCommissionRate(); break;
    case kCommissionRate:
        job.m_CommissionRate = *rate;
        job.CalcCommission();
        m_typedCommission = {true, job.m_CommissionRate, job.m_Commission, commissionBasis(job)};
        break;
    default: break;
    }
    if (RefusedPastLargest(before, storedBefore, edit(id)))
        return false;
    m_nChangedId = 0;
    Refresh();
    return true;
}

void CJobBalance::OnTaxChanged()
{
    if (m_bReadOnly || !m_pJob)
        return;
    CJobSet before;
    before = *m_pJob;
    const Money storedBefore = m_pJob->m_StoredBalance;
    const quint8 taxBefore = m_pJob->m_TaxNo;
    if (!Exchange(true))
        return;
    m_bDirty = true;
    m_pJob->CalcSubtotal();
    if (RefusedPastLargest(before, storedBefore, combo(kTaxCombo))) {
        if (QComboBox *c = combo(kTaxCombo))
            c->setCurrentIndex(c->findData(int(taxBefore)));
        return;
    }
    Refresh();
}

bool CJobBalance::RefusedPastLargest(const CJobSet &before, Money storedBefore, QWidget *field)
{
    CJobSet &job = *m_pJob;
    job.CalcBalance();
    const QString past = job.AmountPastLargest();
    if (past.isEmpty())
        return false;
    job = before;
    job.m_StoredBalance = storedBefore;
    if (job.GetEditMode() == CXDaoSet::dbEditNone)
        job.SafeEdit();
    m_bRefusing = true;
    platform::Prompt::messageBox(FieldMessage(FieldName(field), past), QString(),
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
    m_bRefusing = false;
    if (field) {
        field->setFocus();
        if (auto *e = qobject_cast<QLineEdit *>(field))
            e->selectAll();
    }
    return true;
}

void CJobBalance::OnSalesRepChanged()
{
    if (m_bReadOnly || !m_pJob || !Exchange(true))
        return;
    CJobSet &job = *m_pJob;
    job.m_CommissionRate = 0;
    job.m_CommType = 0;
    CEmpSet employee(job.m_pDatabase);
    if (job.m_SRepNo != 0 && employee.FindEmployee(job.m_SRepNo)) {
        job.m_CommissionRate = employee.m_CommRate;
        job.m_CommType = employee.m_PercentOf;
    }
    m_bDirty = true;
    job.CalcCommission();
    Refresh();
}

void CJobBalance::ShowCommission()
{
    if (!IsItemVisible(kCommission)) {
        CZqApp *app = ZqApp();
        if (!app || !app->CheckPassword(64, QString()))
            return;
    }
    EnableItem(kRepCombo, !m_bReadOnly);
    for (unsigned id : {kCommission, kCommissionRate, kBasisLabel})
        ShowItem(id, true);
}

bool CJobBalance::OnCommand(int id)
{
    if (id == int(kCommissionButton)) {
        ShowCommission();
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CJobBalance::OnOK()
{
    if (m_bReadOnly)
        return;
    // A field still being typed in counts as left; a refused value keeps
    // the dialog open and has been said once.
    if (!ApplyChangedField())
        return;
    m_bRefusing = true;
    const bool read = Exchange(true);
    m_bRefusing = false;
    if (!read)
        return;
    Refresh();
    EndDialog(IDOK_RESULT);
}

void CJobBalance::OnCancel()
{
    // Nothing typed is taken any more, not even as the fields lose the focus
    // while the dialog closes.
    m_nChangedId = 0;
    m_bRefusing = true;
    // Everything goes back to what the record held when the dialog opened,
    // changes made before it included.
    if (m_pJob && m_pJob->IsOpen() && !m_bReadOnly) {
        *m_pJob = m_snapshot;
        m_pJob->m_StoredBalance = m_snapshotStoredBalance;
        if (m_pJob->GetEditMode() == CXDaoSet::dbEditNone)
            m_pJob->SafeEdit();
    }
    EndDialog(IDCANCEL_RESULT);
}
