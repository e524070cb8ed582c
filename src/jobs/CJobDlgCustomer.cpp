#include "jobs/CJobDlg.h"

#include "app/base/CZqApp.h"
#include "data/CCusSet.h"
#include "data/CItemSet.h"
#include "jobs/CJobCompare.h"
#include "data/CJobSet.h"
#include "jobs/JobCustomerChange.h"
#include "jobs/JobHooks.h"
#include "platform/Prompt.h"
#include "resources/Strings.h"
#include "views/CDlgList.h"
#include "views/CDlgOptions.h"

#include <QtWidgets/QApplication>

// The "Bill To" panel's command: assign the job to another or a new
// customer, convert a walk-in buyer, or look at the customer.
void CJobDlg::OnChangeCustomer()
{
    CJobSet &job = *m_pJob;
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(71, QString()))
        return;
    const bool walkIn = job.m_CusNo == kWalkInCustomer;
    CDlgOptions choice(QStringLiteral("About this customer"), QString(), 0, this);
    choice.AddRadioGroup(QStringLiteral("What would you like to do?"), 0);
    choice.AddEntry(1, QStringLiteral("Assign this job to an existing customer..."));
    choice.AddEntry(2, walkIn ? QStringLiteral("Convert this customer to a Regular customer...")
                              : QStringLiteral("Assign this job to a new customer..."));
    choice.AddEntry(3, QStringLiteral("View Customer Info.."), 1);
    choice.AddEntry(4, QStringLiteral("View Customer Summary.."));
    choice.AddEntry(5, QStringLiteral("View Credit Info..."));
    choice.m_nSelect[0] = 3;
    if (choice.DoModal() != IDOK_RESULT)
        return;
    JobHooks &hooks = GetJobHooks();
    switch (choice.GetCheckedInRange(1, 5)) {
    case 1: {
        if (isPreview())
            return;
        CDlgList list(QStringLiteral("Change Customer"), QStringLiteral("Bill To"), QStringLiteral("Customers"), 0,
                      job.m_CusNo, 1, m_nHue, this);
        list.m_nExtra[0] = job.m_JobType + 1;
        if (list.DoModal() != IDOK_RESULT || list.m_nChosenId == 0 || list.m_nChosenId == job.m_CusNo)
            return;
        const qint32 cusNo = qint32(list.m_nChosenId);
        CCusSet customer;
        const QString text = customer.FormatCustomer(cusNo, 9);
        if (text.isEmpty())
            return;
        CDlgOptions defaults(QStringLiteral("Assign this job to: ") + text, QString(), 0, this);
        defaults.AddCheckGroup(QStringLiteral("Which default settings of the customer do you want to apply?"), 0);
        defaults.AddListEntries(1, QStringLiteral("Buyer (if the 'Ordered by' above is correct, do not check this),"
                                                  "Ship to Address (if the 'Ship to' above is correct, do not check "
                                                  "this),Ship Via,Location,Terms,Sales Rep (may change the commission "
                                                  "amount),Discount (may change the job total and balance),Sales Tax "
                                                  "(may change the job total and balance),"));
        if (defaults.DoModal() != IDOK_RESULT)
            return;
        int ticked = 0;
        for (int n = 1; n <= 8; ++n)
            if (defaults.IsEntryChecked(n))
                ticked |= 1 << (n - 1);
        // What the window holds is stored first; the assignment is one change.
        if (!CheckAndSave(1))
            return;
        QString report;
        if (!AssignJobToCustomer(job, cusNo, ticked, report))
            return;
        platform::Prompt::messageBox(report + QStringLiteral("\nJob will be closed and re-opened now."));
        EndWithCommand(30103);
        return;
    }
    case 2:
        if (isPreview())
            return;
        if (walkIn) {
            if (!app->CheckPassword(12, QString()))
                return;
            if (platform::Prompt::messageBox(
                    QStringLiteral("If this walk-in customer has other jobs:\n - Click [No] and close this job\n - Find "
                                   "this customer's Orders, Quotes, History jobs\n - Write down their numbers\n - Open "
                                   "this job again and convert\n - After the conversion:\n    assign customer's other "
                                   "jobs to the newly converted customer\n\nB) If customer has no other jobs:\n - "
                                   "Click [Yes] to convert.\n\nConvert this walk-in customer to a regular customer?"),
                    QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
                return;
            if (!CheckAndSave(1))
                return;
            const qint32 cusNo = ConvertWalkInCustomer(job);
            if (cusNo == 0)
                return;
            app->OpenCustomer(cusNo);
            UpdatePartiesPanels();
            return;
        }
        if (!hooks.newCustomer) {
            ReportJobFeatureNotAvailable(QStringLiteral("The customer window"));
            return;
        }
        {
            qint32 cusNo = 0;
            qint32 buyerNo = 0;
            if (hooks.newCustomer(cusNo, buyerNo, this) != IDOK_RESULT || cusNo <= 0)
                return;
            CCusSet customer;
            job.m_CusNo = cusNo;
            job.m_BuyerNo = buyerNo;
            if (customer.FindCustomer(cusNo))
                job.m_ShiptoNo = customer.m_ShiptoNo;
            UpdatePartiesPanels();
            CheckAndSave(1);
        }
        return;
    case 3: app->OpenCustomer(job.m_CusNo); return;
    case 4:
        if (!app->CheckPassword(12, QString()))
            return;
        if (hooks.customerSummary)
            hooks.customerSummary(job.m_CusNo, this);
        else
            ReportJobFeatureNotAvailable(QStringLiteral("The customer summary"));
        return;
    case 5:
        if (hooks.customerCreditInfo)
            hooks.customerCreditInfo(job.m_CusNo, this);
        else
            ReportJobFeatureNotAvailable(QStringLiteral("The credit information"));
        return;
    default: return;
    }
}

// The record bar's status button: the statuses of the job's type.
void CJobDlg::OnJobStatus()
{
    CJobSet &job = *m_pJob;
    if (isPreview())
        return;
    QStringList names = LoadResourceString(44081 + job.m_JobType).split(QLatin1Char(','));
    if (!names.isEmpty())
        names.removeLast();
    const bool order = job.m_JobType == CJobSet::Order;
    const QString strip = !order ? QString()
        : job.m_Status == 3    ? QStringLiteral("To undo 'Ready to Post', open the When window and uncheck Date Shipped.")
                               : QStringLiteral("To set status as 'Ready to Post', please print Invoice and set Date "
                                                "Shipped.");
    CDlgOptions dlg(QStringLiteral("Status"), strip, 0, this);
    dlg.AddRadioGroup(QStringLiteral("Select Status"), 0);
    for (int i = 0; i < names.size(); ++i)
        dlg.AddEntry(i + 1, names.at(i), i == job.m_Status ? 1 : 0);
    dlg.m_nSelect[0] = job.m_Status + 1;
    if (dlg.DoModal() != IDOK_RESULT)
        return;
    const long chosen = dlg.GetCheckedInRange(1, long(names.size()));
    if (chosen <= 0 || chosen - 1 == job.m_Status)
        return;
    if (order && (chosen - 1 == 3 || job.m_Status == 3)) {
        platform::Prompt::messageBox(strip);
        return;
    }
    if (job.GetEditMode() == CXDaoSet::dbEditNone && !job.SafeEdit())
        return;
    job.m_Status = quint8(chosen - 1);
    CheckAndSave(1);
    FillControls(false);
    UpdateTitleItems(QString());
    UpdateDatesPanel();
}

// Compare this job (30343), or with Ctrl held or command 30633 its current
// item, with what it was copied from or with its default prices.
void CJobDlg::OnCompare(bool item)
{
    CJobSet &job = *m_pJob;
    item = item || (QApplication::keyboardModifiers() & Qt::ControlModifier);
    if (!item) {
        CJobCompare compare(job.m_JobID, this);
        compare.DoModal();
        return;
    }
    CItemSet row(job.m_pDatabase);
    const qint32 selected = qint32(m_wndList.GetSelectedData());
    if (selected <= 0 || !row.OpenByItemID(selected))
        return;
    if (row.m_SerNo != 0) {
        // A service row: its item.
        const int itemNo = row.m_ItemNo, subNo = row.m_SubNo;
        if (!row.OpenItemRows(job.m_JobID, itemNo, subNo, CItemSet::ItemRows))
            return;
    }
    qint32 key = row.m_Up;
    if (key >= 0) {
        if (platform::Prompt::messageBox(
                QStringLiteral("There's no history of this Item to compare.\nWould you like to compare Saved vs Default "
                               "Pricing?"),
                QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
            return;
        key = kNoHistory;
    }
    CJobCompare compare(job.m_JobID, this);
    compare.m_nItemNo = row.m_ItemNo;
    compare.m_nHistoryKey = key;
    compare.DoModal();
}
