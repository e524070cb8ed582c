#include "customers/CustomerWindows.h"
#include "customers/CCusSummary.h"

#include "customers/CContactDlg.h"
#include "customers/CDeposit.h"
#include "customers/CContactList.h"
#include "customers/CShiptoDlg.h"
#include "customers/CShiptoList.h"
#include "jobs/JobHooks.h"

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

namespace {
// The job window and the new-job dialog reach the customer area's lists and
// windows through the jobs' slots.
void installJobSlots()
{
    JobHooks &hooks = GetJobHooks();
    hooks.pickContact = [](qint32 cusNo, qint32 &contactNo, int hue, QWidget *parent) {
        CContactList list(cusNo, contactNo, hue, QStringLiteral("Ordered By"), parent);
        const int result = list.DoModal();
        if (result == IDOK_RESULT)
            contactNo = list.m_nContactNo;
        return result;
    };
    hooks.pickShipto = [](qint32 cusNo, qint32 &shiptoNo, int hue, QWidget *parent) {
        CShiptoList list(cusNo, shiptoNo, hue, QStringLiteral("Ship To"), parent);
        const int result = list.DoModal();
        if (result == IDOK_RESULT)
            shiptoNo = list.m_nShiptoNo;
        return result;
    };
    hooks.editContact = [](qint32 cusNo, qint32 contactNo, int hue, QWidget *parent) {
        CContactDlg dlg(cusNo, contactNo, hue, QStringLiteral("Ordered By"), parent);
        return dlg.DoModal();
    };
    hooks.editShipto = [](qint32 cusNo, qint32 shiptoNo, int hue, QWidget *parent) {
        CShiptoDlg dlg(cusNo, shiptoNo, hue, QStringLiteral("Ship To"), parent);
        return dlg.DoModal();
    };
    hooks.newCustomer = [](qint32 &cusNo, qint32 &buyerNo, QWidget *parent) {
        // A new customer is stored as soon as its window opens; closing it
        // before the first real save removes it and leaves the number 0.
        CCusSet set;
        if (!set.SafeAddNew())
            return int(IDCANCEL_RESULT);
        CCusDlg dlg(set, nullptr, parent);
        dlg.DoModal();
        if (set.m_CusNo <= 0)
            return int(IDCANCEL_RESULT);
        cusNo = set.m_CusNo;
        buyerNo = set.m_BuyerNo;
        return int(IDOK_RESULT);
    };
    hooks.customerSummary = [](qint32 cusNo, QWidget *parent) {
        CCusSummary summary(parent);
        summary.m_nCusNo = cusNo;
        summary.DoModal();
    };
    hooks.customerCreditInfo = [](qint32 cusNo, QWidget *parent) { CCusSummary::FillCreditInfo(cusNo, nullptr, parent); };
    InstallDepositDialog();
}
} // namespace

void InstallCustomerWindows(CZqApp &app, std::function<QWidget *()> parentWindow)
{
    app.setCustomerOpener([parentWindow](long cusNo) {
        OpenCustomerReadOnly(qint32(cusNo), parentWindow ? parentWindow() : nullptr);
    });
    installJobSlots();
}

CView0 *CreateCustomersView(QWidget *parent)
{
    auto *view = new CViewCustomers(parent);
    view->OnInitialUpdate();
    return view;
}
