#include "catalogue/CEditInventory.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TypedValue.h"
#include "data/CItemSet.h"
#include "data/CSerSet.h"
#include "controls/ValueField.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

#include <algorithm>
#include <cstdlib>

CEditInventory::CEditInventory(const CItemSet &item, const CSerSet &service, QWidget *parent)
    : CDlg0(823, parent)
    , m_nInStockBefore(service.m_InStock)
    , m_nUsed(std::abs(item.m_ActualQty))
    , m_nEstimate(std::abs(item.m_ActualQty))
{
    m_strFullName = ZqApp() ? ZqApp()->GetServiceFullName(service.m_SerNo) : QString();
    if (m_strFullName.isEmpty())
        m_strFullName = service.m_Name;
    m_strWindowTitle = QStringLiteral("Confirm Inventory Used");
    resize(440, 330);
    AddPlaceholder(1901, QRect(0, 0, 440, 40));
    AddPlaceholder(1902, QRect(0, 40, 440, 40));
    AddLabel(QStringLiteral("In-Stock Was"), QRect(20, 100, 180, 28));
    m_was = AddEdit(IDC_WAS, QRect(220, 100, 190, 28));
    ShowAsValueField(m_was);
    m_label = AddLabel(QStringLiteral("Less Quantity Used"), QRect(20, 136, 180, 28), IDC_LABEL);
    m_used = AddEdit(IDC_USED, QRect(220, 136, 190, 28));
    m_note = AddLabel(QString(), QRect(20, 170, 400, 70), IDC_NOTE);
    m_note->setWordWrap(true);
    AddLabel(QStringLiteral("In-Stock Now"), QRect(20, 244, 180, 28));
    m_now = AddEdit(IDC_NOW, QRect(220, 244, 190, 28));
    for (QLineEdit *e : {m_was, m_used, m_now})
        e->setAlignment(Qt::AlignRight);
    AddButton(1, QStringLiteral("OK"), QRect(104, 286, 104, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(228, 286, 104, 32));
}

QString CEditInventory::noteText() const
{
    return m_note->text();
}

bool CEditInventory::OnInitDialog()
{
    m_nColorScheme = Appearance::instance().GetViewHue(30007, true);
    m_strRibbonTitle = m_strFullName;
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    InitRibbons(6, 1, 2, 14);
    for (QLineEdit *e : {m_was, m_used, m_now})
        SetCtrlFont(e, 6);
    m_was->setText(FormatInt(m_nInStockBefore, true, false));
    m_used->setText(FormatInt(m_nUsed, true, false));
    // The quantities are counts, read whole when left, never while typed: a
    // text that is no count from 0 to the largest is refused naming the
    // field, the value shown before back. A quantity used may be typed with
    // a minus sign: it is dropped before the count is read.
    connect(m_used, &QLineEdit::editingFinished, this, &CEditInventory::DropSign);
    AttachTypedReading(m_used, ValueKind::Quantity);
    AttachTypedReading(m_now, ValueKind::Quantity);
    connect(m_used, &QLineEdit::editingFinished, this, &CEditInventory::OnUsedChanged);
    Recompute();
    CenterAndAnimate(0);
    return true;
}

void CEditInventory::DropSign()
{
    const QString text = m_used->text().trimmed();
    if (text.startsWith(QLatin1Char('-')))
        m_used->setText(text.mid(1).trimmed());
}

void CEditInventory::OnUsedChanged()
{
    DropSign();
    std::int32_t typed = 0;
    if (!ReadTypedQuantity(m_used->text(), typed))
        return; // refused when left: the quantity stands
    m_nUsed = typed;
    m_used->setText(FormatInt(m_nUsed, true, false));
    Recompute();
}

void CEditInventory::Recompute()
{
    qint64 now = 0;
    if (m_bGiveBack) {
        setWindowTitle(QStringLiteral("Unused Quantity"));
        m_label->setText(QStringLiteral("Unused Quantity -->"));
        m_note->setText(QStringLiteral("Click OK to add this quantity back to stock\nand set Service status as To-Do.\n\n"
                                       "Click Cancel not to change anything."));
        SetTitleButton(m_strRibbonTitle, 132, 80);
        SetStripText(QStringLiteral("Reverse Status and In-Stock?"));
        now = qint64(m_nInStockBefore) + m_nUsed;
    } else {
        const qint32 difference = m_nUsed - m_nEstimate;
        const QString estimate = FormatInt(m_nEstimate, true, false);
        if (difference == 0) {
            m_note->setText(QStringLiteral("same as estimated"));
            SetTitleButton(m_strRibbonTitle, 132, 36);
        } else if (difference > 0) {
            m_note->setText(QStringLiteral("%1 more than estimated %2").arg(FormatInt(difference, true, false), estimate));
            SetTitleButton(m_strRibbonTitle, 132, 68);
        } else {
            m_note->setText(
                QStringLiteral("%1 less than estimated %2").arg(FormatInt(-difference, true, false), estimate));
            SetTitleButton(m_strRibbonTitle, 132, 66);
        }
        QString strip = QStringLiteral("Click OK to mark paper as Done and save In-Stock Now");
        if (difference != 0 && (m_nOptionBits & 16))
            strip += QStringLiteral(", and update Job Cost");
        SetStripText(strip);
        // Without stock on record the estimate stands for what was there.
        now = m_nInStockBefore == 0 ? qint64(m_nEstimate) - m_nUsed : qint64(m_nInStockBefore) - m_nUsed;
    }
    // Worked in 64 bits and shown whole: a stock past the largest count is
    // refused by OK as the field's quantity, never shown wrapped.
    now = std::max<qint64>(now, 0);
    m_nInStockNow = qint32(std::min<qint64>(now, kLargestCount + 1));
    m_now->setText(FormatFixedPoint(now, 0, true));
}

void CEditInventory::OnOK()
{
    int used = 0, now = 0;
    DropSign();
    if (!ReadItemWhole(IDC_USED, used, ValueKind::Quantity) || !ReadItemWhole(IDC_NOW, now, ValueKind::Quantity))
        return; // refused, naming the field
    m_nInStockNow = now;
    CDlg0::OnOK();
}

void CEditInventory::Install()
{
    CItemSet::InventoryRules rules = CItemSet::GetInventoryRules();
    rules.confirm = [](qint32 serNo, bool giveBack, qint32 &quantity, qint32 &newStock) {
        CSerSet service;
        if (!service.FindBySerNo(serNo))
            return true; // nothing to confirm against: the quantities stand
        CItemSet item;
        item.m_SerNo = serNo;
        item.m_ActualQty = std::abs(quantity);
        CEditInventory dialog(item, service, QApplication::activeWindow());
        dialog.m_bGiveBack = giveBack;
        dialog.m_nOptionBits = CItemSet::GetInventoryRules().optionBits;
        if (dialog.DoModal() != IDOK_RESULT)
            return false;
        quantity = giveBack ? -dialog.m_nUsed : dialog.m_nUsed;
        newStock = dialog.m_nInStockNow;
        return true;
    };
    CItemSet::SetInventoryRules(rules);
}
