#include "views/CSummaryDlg.h"

#include "controls/DlgItem.h"

CSummaryDlg::CSummaryDlg(const QString &title, const QString &sql, QWidget *parent)
    : CDlg0(420, parent), m_strSql(sql)
{
    m_strWindowTitle = title;
    m_strRibbonTitle = title;
    m_crBack = 0xFFFFFF;
    resize(520, 420);
    AddPlaceholder(1901, QRect(0, 0, 520, 40));
    AddPlaceholder(1902, QRect(0, 40, 520, 6));
    m_list.setParent(this);
    m_list.setGeometry(8, 54, 504, 312);
    SetDlgCtrlID(&m_list, 1401);
    m_pList = &m_list;
    AddButton(2, QStringLiteral("Close"), QRect(402, 378, 110, 32));
}

bool CSummaryDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitRibbons(7, 8, 2, 14);
    m_list.FillFromSql(m_strSql, QStringLiteral("x"));
    m_list.AutoSizeColumns();
    return true;
}
