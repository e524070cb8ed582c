#include "customers/CustomerWindows.h"

#include "app/base/CZqApp.h"
#include "customers/CCusDlg.h"
#include "customers/CViewCustomers.h"
#include "data/CCusSet.h"

void OpenCustomerReadOnly(qint32 cusNo, QWidget *parent)
{
    if (cusNo == 0)
        return;
    CCusSet set;
    if (!set.FindByField(QStringLiteral("CusNo"), cusNo))
        return;
    CCusDlg dlg(set, nullptr, parent);
    dlg.m_bReadOnly = 1;
    dlg.DoModal();
    set.Close();
}

void InstallCustomerWindows(CZqApp &app, std::function<QWidget *()> parentWindow)
{
    app.setCustomerOpener([parentWindow](long cusNo) {
        OpenCustomerReadOnly(qint32(cusNo), parentWindow ? parentWindow() : nullptr);
    });
}

CView0 *CreateCustomersView(QWidget *parent)
{
    auto *view = new CViewCustomers(parent);
    view->OnInitialUpdate();
    return view;
}
