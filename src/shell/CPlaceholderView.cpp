#include "shell/CPlaceholderView.h"

#include "app/base/Appearance.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"

#include <QtWidgets/QLabel>

CPlaceholderView::CPlaceholderView(int viewId, QWidget *parent)
    : CView0(viewId, parent)
{
    setObjectName(QStringLiteral("View%1").arg(viewId));
    m_bListShown = false;
    OnInitialUpdate();
}

void CPlaceholderView::OnInitialUpdate()
{
    CView0::OnInitialUpdate();
    m_notice = new QLabel(this);
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setAutoFillBackground(true);
    QPalette p = m_notice->palette();
    p.setColor(QPalette::Window, Qt::white);
    m_notice->setPalette(p);
    m_notice->setText(QStringLiteral("<p style='font-size:20pt; font-weight:bold'>%1</p><p>This view is not built "
                                     "yet.</p><p style='color:gray'>The tabs above show the other views.</p>")
                          .arg(Appearance::GetViewName(unsigned(m_nViewId)).toHtmlEscaped()));
    // The notice takes the list's place; the view lays it out like a chart.
    SetDlgCtrlID(m_notice, IDC_HTML);
    m_list->hide();
    ShowListManager(false);
    m_notice->show();
    UpdateRibbonStates();
}

bool CPlaceholderView::IsCommandEnabled(int id)
{
    switch (id) {
    case 30100: case 30101: case 30103: case 30330: case 30107: case 30123: case 30124: case 30113:
    case 30216: case 30532:
        return false;
    default:
        return CView0::IsCommandEnabled(id);
    }
}

bool CPlaceholderView::OnCommand(int commandId)
{
    return CView0::OnCommand(commandId);
}
