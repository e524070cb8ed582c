#include "reports/ReportsInstall.h"

#include "reports/CReportRun.h"
#include "reports/CUserListDlg.h"
#include "views/CView0.h"

void InstallReports()
{
    CView0::SetStatementViewer([](QWidget *view, const QString &sql) {
        CUserListDlg dlg(CUserListDlg::ModeView, view);
        dlg.m_strSql = sql;
        dlg.DoModal();
    });
    InstallKeyReportRenderers();
}
