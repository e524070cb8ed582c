// The job window's panels: record-bar texts, parties, dates, notes, totals and
// balance, the notes bar, and the commands that edit the buyer, the ship-to
// address, the notes, the dates and the totals.
#include "jobs/CJobDlg.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Colours.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"
#include "data/CContactSet.h"
#include "data/CCusSet.h"
#include "data/CJobSet.h"
#include "data/CShiptoSet.h"
#include "data/SettingRows.h"
#include "jobs/CJobBalance.h"
#include "jobs/CJobWhen.h"
#include "jobs/JobHooks.h"
#include "jobs/JobPanelTexts.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "views/CNoteDlg.h"
#include "views/CView0.h"

#include <QtGui/QGuiApplication>

namespace {

std::uint8_t defaultColour()
{
    return Appearance::instance().fillStyle();
}

bool isAdding(const CJobSet &job)
{
    return job.GetEditMode() == CXDaoSet::dbEditAdd;
}

} // namespace

void CJobDlg::FillControls(bool reload)
{
    CJobSet &job = *m_pJob;
    if (!isPreview() && job.IsOpen() && !job.IsEmptySet() && job.GetEditMode() == CXDaoSet::dbEditNone)
        job.SafeEdit();
    if (reload) {
        CCusSet customer(job.m_pDatabase);
        if (customer.FindCustomer(job.m_CusNo)) {
            m_nPriceLevel = customer.m_PriceLevel;
            m_nPriceRound = customer.m_PriceRound;
        } else {
            m_nPriceLevel = 0;
        }
        job.CheckBalance(2, QString());
        job.CheckTotals(
            QStringLiteral("\nTo fix discrepancy: Reprice each Item. If asked, click [Keep Saved Cost and Price]."));
    }
    m_strTypeLabel = JobTypeLabel(job);
    UpdateTitleItems(QString());
    UpdatePartiesPanels();
    UpdateDatesPanel();
    SetNoteTip(30263, job.m_WOrderNote);
    SetNoteTip(30264, job.m_InvoiceNote);
    RefillItems(false);
}

void CJobDlg::UpdateTitleItems(const QString &proposedTitle)
{
    CJobSet &job = *m_pJob;
    m_strTypeLabel = JobTypeLabel(job);
    ApplyProposedTitle(job, proposedTitle, GetGlobalAlertText(251, 5, QStringLiteral("1")));
    if (!m_wndRecordRibbon.isCreated())
        return;
    m_wndRecordRibbon.SetColorScheme(RecordBarHue(job, m_nHue));
    m_wndRecordRibbon.SetItemText(30281, m_strTypeLabel);
    m_wndRecordRibbon.SetItemText(30283, QString::number(job.m_JobNo));
    m_wndRecordRibbon.SetItemText(30282, job.m_Title);
}

void CJobDlg::UpdateDatesPanel()
{
    CJobSet &job = *m_pJob;
    if (isAdding(job))
        return;
    QString csr;
    if (CZqApp *app = ZqApp())
        csr = app->GetEmployeeName(job.m_CSRNo);
    QString shipBy;
    job.GetViaDueName(shipBy);
    if (shipBy.isEmpty())
        shipBy = QStringLiteral("?"); // no such shipping method
    QString origin;
    job.GetFromJobText(origin);
    const QString status = JobStatusText(job.m_JobType, job.m_Status);
    if (m_wndRibbon4.isCreated())
        m_wndRibbon4.SetItemTip(30406, JobWhenText(job, csr, shipBy, status, origin));
    setWindowTitle(JobWindowCaption(job));
    SetStatusButton(status, JobStatusImage(job.m_JobType, job.m_Status));
}

void CJobDlg::UpdatePartiesPanels()
{
    CJobSet &job = *m_pJob;
    if (isAdding(job) || !m_wndRibbon4.isCreated())
        return;
    CXRibbon &p = m_wndRibbon4;
    const std::uint8_t colour = defaultColour();

    CCusSet customer(job.m_pDatabase);
    p.SetItemText(30407, QStringLiteral("Bill to Customer No.%1").arg(job.m_CusNo));
    // The company billed, by name, above its address.
    p.SetItemTip(30407, QString());
    if (customer.FindCustomer(job.m_CusNo)) {
        p.SetItemTip(30407, customer.FormatBillTo());
        p.SetItemColor(30407, GetStatusColorIndex(customer.m_CusStatus, colour));
        m_creditDue = customer.m_CreditDue;
    } else {
        p.SetItemColor(30407, colour);
        m_creditDue = Money();
    }

    CShiptoSet shipto(job.m_pDatabase);
    p.SetItemTip(30408, shipto.GetAddressText(job.m_ShiptoNo, 1));
    p.SetItemColor(30408, job.m_ShiptoNo != 0 && shipto.FindByNo(job.m_ShiptoNo)
                              ? GetStatusColorIndex(shipto.m_Type, colour)
                              : colour);

    CContactSet contact(job.m_pDatabase);
    p.SetItemTip(30411, contact.GetContactCard(job.m_BuyerNo, 5));
    p.SetItemColor(30411, job.m_BuyerNo != 0 && contact.FindContact(job.m_BuyerNo)
                              ? GetStatusColorIndex(contact.m_Type, colour)
                              : colour);
}

void CJobDlg::UpdateTotalsPanels()
{
    if (!m_wndRibbon5.isCreated())
        return;
    CJobSet &job = *m_pJob;
    CXRibbon &n = m_wndRibbon5;
    const std::uint8_t colour = defaultColour();
    const PanelCaption totals = JobTotalsCaption(job, colour);
    n.SetItemText(30525, totals.text);
    n.SetItemColor(30525, totals.colour);
    n.SetItemTip(30525, JobTotalsText(job));
    QString terms;
    job.GetTermsName(terms);
    if (terms.isEmpty())
        terms = QStringLiteral("?");
    const PanelCaption balance = JobBalanceCaption(job, m_creditDue, colour);
    n.SetItemText(30415, balance.text);
    n.SetItemColor(30415, balance.colour);
    n.SetItemTip(30415, JobBalanceText(job, terms));
}

void CJobDlg::SetNoteTip(unsigned id, const QString &note)
{
    if (m_wndRibbon5.isCreated())
        m_wndRibbon5.SetItemTip(id, note);
}

void CJobDlg::ShowNotesBar()
{
    const bool show = (m_nShowHide & kNotesBarBit) != 0;
    if (m_wndRibbon3.isCreated())
        m_wndRibbon3.SetItemImage(30192, show ? 12 : 11, 131);
    QWidget *bar = GetDlgItem(this, kNotesBar);
    if (!bar || show == m_bNotesBarShown)
        return;
    m_bNotesBarShown = show;
    bar->setVisible(show);
    // The item list takes the bar's height, or gives it back.
    QRect list = m_wndList.geometry();
    list.setBottom(show ? bar->geometry().top() - 1 : bar->geometry().bottom());
    m_wndList.setGeometry(list);
}

// --- commands of the panels ---------------------------------------------------------

void CJobDlg::EditNote(unsigned id)
{
    CJobSet &job = *m_pJob;
    const bool workOrder = id == 30263;
    QString &field = workOrder ? job.m_WOrderNote : job.m_InvoiceNote;
    CNoteDlg note(QStringLiteral("Note"),
                  workOrder ? QStringLiteral("Job Note for Work Order/Estimate Detail")
                            : QStringLiteral("Memo to Customer"),
                  field, isPreview() ? CNoteDlg::ShowText : CNoteDlg::EditNote, this);
    note.HoldNoteTo(job, workOrder ? QStringLiteral("WOrderNote") : QStringLiteral("InvoiceNote"));
    if (note.DoModal() != IDOK_RESULT || isPreview())
        return;
    field = note.m_strNote;
    CheckAndSave(1);
    SetNoteTip(id, field);
}

void CJobDlg::ChooseBuyerOrShipto(unsigned id)
{
    CJobSet &job = *m_pJob;
    const bool buyer = id == 30411;
    qint32 &number = buyer ? job.m_BuyerNo : job.m_ShiptoNo;
    const bool ctrl = QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
    JobHooks &hooks = GetJobHooks();
    if (!ctrl || number == 0) {
        qint32 chosen = number;
        int result = 0;
        if (buyer) {
            if (!hooks.pickContact)
                return ReportJobFeatureNotAvailable(QStringLiteral("The contact list"));
            result = hooks.pickContact(job.m_CusNo, chosen, m_nHue, this);
        } else {
            if (!hooks.pickShipto)
                return ReportJobFeatureNotAvailable(QStringLiteral("The ship-to list"));
            result = hooks.pickShipto(job.m_CusNo, chosen, m_nHue, this);
        }
        if (result != IDOK_RESULT)
            return;
        number = chosen;
        CheckAndSave(1);
        UpdatePartiesPanels();
        return;
    }
    int result = 0;
    if (buyer) {
        if (!hooks.editContact)
            return ReportJobFeatureNotAvailable(QStringLiteral("The contact window"));
        result = hooks.editContact(job.m_CusNo, number, m_nHue, this);
    } else {
        if (!hooks.editShipto)
            return ReportJobFeatureNotAvailable(QStringLiteral("The ship-to window"));
        result = hooks.editShipto(job.m_CusNo, number, m_nHue, this);
    }
    if (result == IDOK_RESULT)
        UpdatePartiesPanels();
}

void CJobDlg::OnJobDates()
{
    CJobSet &job = *m_pJob;
    if (!isPreview() && job.GetEditMode() == CXDaoSet::dbEditNone && !job.SafeEdit())
        return;
    CJobWhen when(&job, this);
    when.m_bReadOnly = isPreview() ? 1 : 0;
    if (when.DoModal() != IDOK_RESULT || isPreview())
        return;
    CheckAndSave(1);
    UpdateTitleItems(QString());
    UpdateDatesPanel();
}

void CJobDlg::OnJobTotals()
{
    CJobSet &job = *m_pJob;
    bool receivables = m_bFromReceivables || qobject_cast<CDlgRibbon *>(m_pParent) != nullptr;
    if (auto *view = qobject_cast<CView0 *>(m_pParent))
        receivables = receivables || view->viewId() == 30004;
    const bool editable = receivables || !isPreview();
    if (editable && job.GetEditMode() == CXDaoSet::dbEditNone && !job.SafeEdit())
        return;

    CJobBalance totals(this);
    totals.m_pJob = &job;
    totals.m_bReceivables = receivables;
    totals.m_bReadOnly = editable ? 0 : 1;
    const Money before = job.m_Balance;
    if (totals.DoModal() == IDOK_RESULT) {
        // An invoice paid off here is dated paid today.
        if (job.m_JobType == CJobSet::History && before.units() > 0 && job.m_Balance.isZero())
            job.m_DatePaid = DateTime::fromDate(platform::Clock::today());
        if (editable)
            CheckAndSave(99);
    }
    UpdateTotalsPanels();
}
