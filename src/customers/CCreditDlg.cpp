#include "customers/CCreditDlg.h"

#include "app/base/MoneyText.h"
#include "customers/CreditAdjustment.h"
#include "customers/CustomerHooks.h"
#include "data/DataExchange.h"
#include "data/DialogFieldExchange.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"
#include "views/CDlgList.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace {
constexpr unsigned kAdjustment = 1301;
constexpr unsigned kHistory = 30401;
} // namespace

CCreditDlg::CCreditDlg(qint32 cusNo, QWidget *parent)
    : CDlg0(931, parent)
    , m_cusNo(cusNo)
{
    m_crBack = 0xFFFFFF;
    setFixedSize(380, 290);
    AddPlaceholder(1901, QRect(0, 0, 380, 34));
    AddLabel(QStringLiteral("Current Credit Due"), QRect(20, 56, 170, 26));
    m_current = AddPlaceholder(1911, QRect(200, 56, 160, 26));
    QLabel *adjustmentLabel = AddLabel(QStringLiteral("&Adjustment \u00B1"), QRect(20, 92, 170, 26));
    m_edit = AddEdit(kAdjustment, QRect(200, 92, 160, 26));
    adjustmentLabel->setBuddy(m_edit);
    AddLabel(QStringLiteral("New Credit Due"), QRect(20, 128, 170, 26));
    m_new = AddPlaceholder(1902, QRect(200, 128, 160, 26));
    QLabel *reasonLabel = AddLabel(QStringLiteral("&Reason for Adjustment "), QRect(20, 170, 170, 26));
    m_reasons = new QComboBox(this);
    reasonLabel->setBuddy(m_reasons);
    m_reasons->setGeometry(200, 170, 160, 26);
    AddButton(kHistory, QStringLiteral("Adjustment &History"), QRect(20, 236, 130, 30));
    AddButton(1, QStringLiteral("&Save"), QRect(160, 236, 95, 30));
    AddButton(2, QStringLiteral("Cancel"), QRect(265, 236, 95, 30));
    for (QLabel *money : {m_current, m_new}) {
        money->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        money->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    m_edit->setAlignment(Qt::AlignRight);

    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT Name, CreditDue FROM Customers WHERE CusNo = ?"), {platform::Value(cusNo)});
    if (!rs.isEOF()) {
        m_name = rs.value(0).isNull() ? QString() : rs.value(0).toString();
        m_currentDue = rs.value(1).isNull() ? Money() : rs.value(1).toMoney();
    }
    m_strWindowTitle = QStringLiteral("Credit - ") + m_name;
    connect(m_edit, &QLineEdit::editingFinished, this, [this] {
        if (ReadAdjustment())
            Recompute();
    });
}

bool CCreditDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    for (QWidget *w : {static_cast<QWidget *>(m_current), static_cast<QWidget *>(m_new),
                       static_cast<QWidget *>(m_edit)})
        SetCtrlFont(w, 4);
    m_reasons->addItem(QString(), 0);
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT ID, Text FROM Properties WHERE Type = %1 ORDER BY ID").arg(0));
    for (; !rs.isEOF(); rs.moveNext())
        m_reasons->addItem(rs.value(1).isNull() ? QString() : rs.value(1).toString(), rs.value(0).toInt());
    Recompute();
    m_edit->setFocus();
    return true;
}

bool CCreditDlg::ReadAdjustment()
{
    // Read as every amount field reads: a refused text stays selected.
    Money typed = m_adjustment;
    DataExchange dx(this, true);
    DDX_Currency(dx, m_edit, typed);
    if (dx.failed())
        return false;
    m_adjustment = typed;
    return true;
}

void CCreditDlg::Recompute()
{
    m_adjustment = CreditAdjustment::Floored(m_currentDue, m_adjustment);
    m_newDue = m_currentDue + m_adjustment;
    m_current->setText(FormatMoney(m_currentDue) + QLatin1Char(' '));
    m_new->setText(FormatMoney(m_newDue) + QLatin1Char(' '));
    m_edit->setText(FormatMoney(m_adjustment));
}

bool CCreditDlg::OnCommand(int id)
{
    if (id == int(kHistory)) {
        ShowHistory();
        return true;
    }
    if (id == 30330) // printing: nothing to print here
        return true;
    return CDlg0::OnCommand(id);
}

void CCreditDlg::OnOK()
{
    if (!ReadAdjustment())
        return;
    Recompute();
    if (m_adjustment.isZero()) {
        platform::Prompt::messageBox(QStringLiteral("You need to enter an adjustment amount"));
        m_edit->setFocus();
        return;
    }
    m_reason = quint8(m_reasons->currentData().toInt());
    Money written;
    if (!CreditAdjustment(SharedDatabase()).Adjust(m_cusNo, m_adjustment, m_reason, &written))
        return;
    m_adjustment = written;
    m_newDue = CreditAdjustment(SharedDatabase()).CreditDue(m_cusNo);
    EndDialog(IDOK_RESULT);
}

void CCreditDlg::ShowHistory()
{
    CDlgList dlg(QStringLiteral("Credit History"), QStringLiteral("List"),
                 QStringLiteral("SELECT Credits.Date, Credits.Amount, Credits.JobNo, Properties.Text AS [Reason_w_300] "
                                "FROM Properties RIGHT JOIN Credits ON Properties.ID = Credits.ReasonID WHERE "
                                "Credits.CusNo = %1 ORDER BY Credits.CreditID DESC")
                     .arg(m_cusNo),
                 0, 0, 0, m_nColorScheme, this);
    dlg.DoModal();
}

void InstallCreditDialog()
{
    customerHooks().creditDialog = [](qint32 cusNo, QWidget *parent) {
        CCreditDlg dlg(cusNo, parent);
        return dlg.DoModal() == IDOK_RESULT;
    };
}
