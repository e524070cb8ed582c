#include "views/CViewColor.h"

#include "app/base/Appearance.h"
#include "controls/DlgItem.h"
#include "views/CColorListBox.h"

CViewColor::CViewColor(unsigned viewId, int hue, QWidget *parent) : CDlg0(503, parent), m_nViewId(viewId)
{
    m_nColorScheme = hue;
    m_strWindowTitle = QStringLiteral("Color");
    resize(236, 470);
    m_list = new CColorListBox(this);
    m_list->setGeometry(10, 10, 216, 36 * CColorListBox::kItemHeight + 4);
    SetDlgCtrlID(m_list, kList);
    AddButton(kDefaultButton, QStringLiteral("Use Default Color"), QRect(10, 424, 132, 34));
    AddButton(2, QStringLiteral("Close"), QRect(150, 424, 76, 34));
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CViewColor::OnSelectionChanged);
}

bool CViewColor::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    setWindowTitle(QStringLiteral("Color of ") + Appearance::GetViewName(m_nViewId) + QStringLiteral(" window"));
    m_bFilling = true;
    for (int hue = 10; hue <= 360; hue += 10)
        m_list->AddHue(hue);
    const int row = m_list->FindHue(m_nColorScheme);
    if (row >= 0)
        m_list->setCurrentRow(row);
    else
        m_list->clearSelection();
    m_bFilling = false;
    return true;
}

void CViewColor::OnSelectionChanged()
{
    if (m_bFilling)
        return;
    const QList<QListWidgetItem *> chosen = m_list->selectedItems();
    if (chosen.isEmpty())
        return;
    m_nColorScheme = CColorListBox::HueOf(chosen.first());
    emit viewMessage(kAppearanceMessage, 0, m_nColorScheme);
}

bool CViewColor::OnCommand(int id)
{
    if (id == int(kDefaultButton)) {
        emit viewMessage(kAppearanceMessage, 0, 0);
        return true;
    }
    return CDlg0::OnCommand(id);
}
