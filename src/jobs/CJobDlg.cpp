// The job window: construction, its bars, the enabling rules, preview and
// ownership, saving, closing and moving to another job of the opener's list.
#include "jobs/CJobDlg.h"

#include "catalogue/CInventory.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Colours.h"
#include "app/base/Menus.h"
#include "controls/CXListCtrl.h"
#include "controls/DlgItem.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "data/JobTypes.h"
#include "data/SettingRows.h"
#include "estimating/CDlgChart.h"
#include "jobs/JobHooks.h"
#include "jobs/JobPanelTexts.h"
#include "jobs/JobShipping.h"
#include "platform/Prompt.h"
#include "views/BarCodeKeyFeed.h"
#include "views/CView0.h"

#include <QtCore/QMetaObject>
#include <QtGui/QCursor>
#include <QtWidgets/QHeaderView>

namespace {

// Design size of the window; the base grows the bars and the list with it.
constexpr int kWidth = 1004;
constexpr int kHeight = 728;
constexpr int kSideWidth = 124;
constexpr int kRecordHeight = 40;
constexpr int kPartiesHeight = 128;
constexpr int kItemsBarHeight = 34;
constexpr int kNotesHeight = 132;

constexpr unsigned kPopupMenu = 170;
constexpr int kJobMenu = 2;
constexpr int kItemMenu = 3;
constexpr int kReceivablesView = 30004;
constexpr int kPreviewHue = 1;
constexpr std::uint8_t kNormal = struct_RIB_ITEM::Normal;
constexpr std::uint8_t kPlain = struct_RIB_ITEM::Plain;

// The job window's row of setting texts (program-wide settings row 251).
constexpr int kJobWindowSettings = 251;

int settingItem(int item)
{
    return GetGlobalAlertText(kJobWindowSettings, item, QStringLiteral("0")).toInt();
}

} // namespace

CJobDlg::CJobDlg(CJobSet *job, bool preview, CXListCtrl *attachedList, QWidget *parent)
    : CDlgRibbon(750, parent), m_pJob(job)
{
    m_strWindowName = QStringLiteral("Job");
    m_bSavePlacement = 1;
    m_pAttachedList = attachedList;
    m_bCallerPreview = preview;
    // A shop opened for reading only shows its jobs for reading.
    const bool shopReadOnly = job->m_pDatabase && job->m_pDatabase->isOpen() && job->m_pDatabase->isReadOnly();
    m_bReadOnly = (preview || shopReadOnly || job->m_JobType == CJobSet::History || job->IsCreditOrCredited()) ? 1 : 0;
    if (CZqApp *app = ZqApp())
        m_nShowHide = app->GetSettingInt(QStringLiteral("ShowHide-Job"), 38, CZqApp::kSettings);
    m_nCsrMode = settingItem(9);
    m_nCreditOption = settingItem(10);

    resize(kWidth, kHeight);
    const int right = kWidth - kSideWidth;
    AddPlaceholder(kNavRibbon, QRect(0, 0, kSideWidth, kRecordHeight));
    AddPlaceholder(kRecordRibbon, QRect(kSideWidth, 0, right, kRecordHeight));
    AddPlaceholder(kJobBar, QRect(0, kRecordHeight, kSideWidth, kHeight - kRecordHeight));
    AddPlaceholder(kPartiesBar, QRect(kSideWidth, kRecordHeight, right, kPartiesHeight));
    const int itemsTop = kRecordHeight + kPartiesHeight;
    AddPlaceholder(kItemsBar, QRect(kSideWidth, itemsTop, right, kItemsBarHeight));
    const int listTop = itemsTop + kItemsBarHeight;
    CreateRecordList(m_wndList, kRecordList, QRect(kSideWidth, listTop, right, kHeight - kNotesHeight - listTop));
    AddPlaceholder(kNotesBar, QRect(kSideWidth, kHeight - kNotesHeight, right, kNotesHeight));
    AddSizeMarker(QPoint(kWidth, kHeight));

    // The item list's header does not sort: its clicks are the window's.
    disconnect(m_wndList.header(), &QHeaderView::sectionClicked, &m_wndList, nullptr);
    connect(m_wndList.header(), &QHeaderView::sectionClicked, this, &CJobDlg::OnItemColumnClick);
    connect(&m_wndList, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { OnItemDoubleClick(index.row(), index.column()); });
    // Scans reach the window before any of its controls.
    new BarCodeKeyFeed(this, m_barCode, [this](int command) { OnScanCommand(command); });
    m_wndList.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_wndList, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (isPreview())
            return;
        const QPoint at = m_wndList.viewport()->mapToGlobal(pos);
        if (const int chosen = ShowPopupMenu(int(kPopupMenu), kItemMenu, at.x(), at.y(), this, 1026))
            SendCommand(chosen);
    });
}

CJobDlg::~CJobDlg() = default;

bool CJobDlg::isEditable() const
{
    return !isPreview() && !m_pJob->IsCreditOrCredited();
}

bool CJobDlg::IsOrder() const
{
    return m_pJob->m_JobType == CJobSet::Order;
}

// --- opening -------------------------------------------------------------------------

bool CJobDlg::OnInitDialog()
{
    m_nHue = isPreview() ? kPreviewHue : GetJobTypeHue(m_pJob->m_JobType);
    m_nColorScheme = m_nHue;
    CDlgRibbon::OnInitDialog();
    SetBackColor(0xFFFFFF);
    BuildBars();
    // A field another workstation changed too is named as this window
    // labels it.
    m_pJob->SetFieldCaption(&m_pJob->m_WOrderNote, QStringLiteral("Job Note"));
    m_pJob->SetFieldCaption(&m_pJob->m_InvoiceNote, QStringLiteral("Memo to Customer"));
    m_pJob->SetFieldCaption(&m_pJob->m_CusNo, QStringLiteral("Bill To"));
    m_pJob->SetFieldCaption(&m_pJob->m_ShiptoNo, QStringLiteral("Ship To"));
    m_pJob->SetFieldCaption(&m_pJob->m_BuyerNo, QStringLiteral("Ordered By"));
    m_bFirstCheckPending = true;
    // Services added or changed since the cache was read are read again,
    // and the categories after them, whose counts of active services the
    // item window's picker follows.
    if (CZqApp *app = ZqApp())
        app->LoadServices(app->ServicesChanged != 0 ? 2 : 0);
    m_wndList.SetImageListAndStyle(131, 23, 0);
    FillControls(true);
    show();
    if (!isPreview() && !DecideCsrOwnership())
        return false;
    if (!isPreview() && m_pJob->m_JobType != CJobSet::History && settingItem(6) == 0)
        QMetaObject::invokeMethod(this, [this] { SendCommand(30244); }, Qt::QueuedConnection);
    else
        m_bFirstCheckPending = false; // no opening check: a check from the menu always answers

    ShowNotesBar();
    UpdateRibbonStates();
    m_wndList.setFocus();
    return false;
}

void CJobDlg::BuildBars()
{
    BuildRecordBar();
    BuildJobBar();
    BuildItemsBar();
    BuildPanelBars();
}

void CJobDlg::BuildRecordBar()
{
    CXRibbon &r = m_wndRecordRibbon;
    if (!r.isCreated())
        return;
    // The type label drops the "Job" menu down.
    r.SetItemState(30281, kNormal);
    r.SetItemLayout(30281, kPopupMenu, kJobMenu);
    r.AddItem(30283, QString(), kNormal, 0, 255, 3, 2085, 0, 0, 100, 0, 0, QStringLiteral("Job#"), 1);
    r.RecalcLayout(30282);
    AddRemindersItem(30001, m_pJob ? m_pJob->m_JobID : 0);
}

void CJobDlg::BuildJobBar()
{
    CXRibbon &b = m_wndSideRibbon;
    if (!b.isCreated())
        return;
    const int type = m_pJob->m_JobType;
    const bool order = type == CJobSet::Order;
    b.AddButton(30100, QStringLiteral("New Job"), kNormal, 132, 1);
    if (type <= CJobSet::Template)
        b.AddButton(30599, QStringLiteral("New Job\n(same buyer)"), kNormal, 132, 2,
                    QStringLiteral("Add another Job from this buyer..."));
    b.AddButton(30442, QStringLiteral("Paste\n(this Job)"), kNormal, 132, 4,
                QStringLiteral("Duplicate this Job as another job..."));
    b.AddSpacer(20, 1);
    if (type == CJobSet::History)
        b.AddButton(30103, QStringLiteral("Edit"), kNormal, 132, 43);
    b.AddButton(30159, QStringLiteral("Rearrange"), kNormal, 132, 5,
                QStringLiteral("Change sort order; create Sub-Items"));
    if (order) {
        b.AddButton(30270, QStringLiteral("Schedule"), kNormal, 132, 81,
                    QStringLiteral("Schedule this Order and its Services"));
        b.AddButton(30745, QStringLiteral("Inventory"), kNormal, 132, 7,
                    QStringLiteral("Check Inventory for this Order"));
        b.AddSpacer(20, 1);
    }
    b.AddButton(30343, QStringLiteral("Compare"), kNormal, 132, 8);
    b.AddButton(30430, QStringLiteral("View Cost"), kNormal, 132, 9);
    b.AddButton(30372, QStringLiteral("Reprice"), kNormal, 132, 10, QStringLiteral("Reprice all Items of this Job..."));
    b.AddSpacer(20, 1);
    b.AddButton(30107, QStringLiteral("e-Letter"), kNormal, 132, 42);
    b.AddButton(30106, QStringLiteral("e-View"), kNormal, 132, 11);
    b.AddSpacer(20, 1);
    if (order)
        b.AddButton(30170, QStringLiteral("Print Labels"), kNormal, 132, 12);
    b.AddButton(30330, QStringLiteral("Print or\nEmail PDF"), kNormal, 132, 3);
    b.AddButton(2, QStringLiteral("Close"), kNormal, 132, 6);
    b.RecalcLayout(0);
}

void CJobDlg::RebuildJobBar()
{
    // Which buttons the job bar has depends on the job's type.
    CXRibbon &b = m_wndSideRibbon;
    if (!b.isCreated())
        return;
    b.RemoveItems(~0u);
    b.AddSpacer(10, 0);
    BuildJobBar();
}

void CJobDlg::BuildItemsBar()
{
    CXRibbon &b = m_wndRibbon3;
    if (!b.Create(this, kItemsBar, m_nHue, 1, 131, 1, 0, 0, 0, 0, 0))
        return;
    connect(&b, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    b.AddItem(30360, QStringLiteral("Items"), kNormal, 131, 48, 3, 2084, 0, 0, 90, kPopupMenu, kItemMenu);
    b.AddItem(30361, QStringLiteral("New Item"), kNormal, 131, 187, 2, 2084, 0, 0, 90, 0, 0,
              QStringLiteral("Add an Item"));
    b.AddItem(30362, QStringLiteral("Edit Specs"), kNormal, 131, 169, 2, 2084, 0, 0, 96, 0, 0,
              QStringLiteral("View/Edit Item Specs"));
    b.AddItem(30363, QStringLiteral("Edit Costs"), kNormal, 131, 237, 2, 2084, 0, 0, 96, 0, 0,
              QStringLiteral("View/Edit Item Costs"));
    b.AddItem(30364, QStringLiteral("Reprice"), kNormal, 131, 235, 2, 2084, 0, 0, 86, 0, 0,
              QStringLiteral("Reprice selected Item"));
    struct Icon
    {
        unsigned id;
        int image;
        const char *tip;
    };
    static constexpr Icon before[] = {{30365, 201, "Price List"},
                                      {30369, 193, "Paste Selected Item"},
                                      {30215, 171, "Show/Hide Information"},
                                      {30632, 200, "Delete Item(s)..."}};
    static constexpr Icon after[] = {{30051, 195, "View Items/Services"},
                                     {30052, 197, "View/Edit Notes"},
                                     {30053, 234, "Compare Saved vs. Default"},
                                     {30192, 237, "Show/Hide Job Totals"}};
    for (const Icon &i : before)
        b.AddItem(i.id, QString(), kNormal, 131, std::uint8_t(i.image), 2, 2085, 0, 0, 30, 0, 0,
                  QString::fromLatin1(i.tip));
    b.AddItem(30211, QString(), kPlain, 0, 255, 2, 2084, 0, 0, 10);
    for (const Icon &i : after)
        b.AddItem(i.id, QString(), kNormal, 131, std::uint8_t(i.image), 2, 2085, 0, 0, 30, 0, 0,
                  QString::fromLatin1(i.tip));
    b.RecalcLayout(30211);
}

void CJobDlg::BuildPanelBars()
{
    const std::uint8_t colour = Appearance::instance().fillStyle();
    if (m_wndRibbon4.Create(this, kPartiesBar, m_nHue, 4, 132, 5, 0, 4, 4, 0, 0)) {
        CXRibbon &p = m_wndRibbon4;
        connect(&p, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        // The panels share the bar's width in these proportions; the dates
        // panel's lines ("Due" date and time) read whole at 1024 x 768.
        p.AddItem(30407, QStringLiteral("Bill To"), kNormal, 0, 255, 3, 2084, colour, 1, 280);
        p.AddItem(30408, QStringLiteral("Ship To"), kNormal, 0, 255, 3, 2084, colour, 1, 270);
        p.AddItem(30411, QStringLiteral("Ordered By"), kNormal, 0, 255, 3, 2084, colour, 1, 230);
        p.AddItem(30406, QStringLiteral("When"), kNormal, 0, 255, 3, 2084, colour, 1, 250);
        p.RecalcLayout(251);
    }
    if (m_wndRibbon5.Create(this, kNotesBar, m_nHue, 4, 132, 5, 0, 4, 4, 0, 0)) {
        CXRibbon &n = m_wndRibbon5;
        connect(&n, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        n.AddItem(30263, QStringLiteral("Job Note"), kNormal, 0, 255, 3, 2084, colour, 1, 200);
        n.AddItem(30264, QStringLiteral("Memo to Customer"), kNormal, 0, 255, 3, 2084, colour, 1, 200);
        n.AddItem(30525, QStringLiteral("Job Totals "), kNormal, 0, 255, 3, 2086, colour, 1, 140);
        n.AddItem(30415, QStringLiteral("Balance "), kNormal, 0, 255, 3, 2086, colour, 1, 140);
        n.RecalcLayout(251);
    }
}

// --- preview, hue and ownership -----------------------------------------------------

void CJobDlg::ApplyHue()
{
    m_nHue = isPreview() ? kPreviewHue : GetJobTypeHue(m_pJob->m_JobType);
    m_nColorScheme = m_nHue;
    for (CXRibbon *bar : {&m_wndRecordRibbon, &m_wndRibbon3, &m_wndRibbon4, &m_wndRibbon5})
        if (bar->isCreated())
            bar->SetColorScheme(bar == &m_wndRecordRibbon ? RecordBarHue(*m_pJob, m_nHue) : m_nHue);
    // Rows of the item list whose picture is one of the first 168 draw grey.
    m_wndList.SetDrawStyle(2, GetHueShade(m_nHue, 1), 0x808080, 0, 167);
}

void CJobDlg::SetPreview(bool preview)
{
    const bool changed = isPreview() != preview;
    m_bReadOnly = preview ? 1 : 0;
    if (!preview && m_pJob->GetEditMode() == CXDaoSet::dbEditNone && m_pJob->IsOpen() && !m_pJob->IsEmptySet())
        m_pJob->SafeEdit();
    if (changed)
        ApplyHue();
    UpdateRibbonStates();
}

bool CJobDlg::DecideCsrOwnership()
{
    CJobSet &job = *m_pJob;
    if (job.m_JobType == CJobSet::History || job.IsCreditOrCredited()) {
        SetPreview(true);
        return true;
    }
    CZqApp *app = ZqApp();
    const int defaultCsr = app ? app->m_nDefaultCsr : 0;
    if (m_nCsrMode > 1 && defaultCsr != 0 && job.m_CSRNo != 0 && defaultCsr != job.m_CSRNo) {
        if (m_nCsrMode == 3) {
            const QString question = app->GetEmployeeName(quint8(defaultCsr)) +
                                     QStringLiteral(", you are not the CSR of this job.\n") +
                                     app->GetEmployeeName(job.m_CSRNo) +
                                     QStringLiteral(" is.\n\nDo you still want to preview the job?");
            if (platform::Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) !=
                platform::IDYES) {
                EndDialog(IDCANCEL_RESULT);
                return false;
            }
        }
        SetPreview(true);
        return true;
    }
    // A window its opener asked to be a preview stays one.
    SetPreview(m_bCallerPreview);
    return true;
}

void CJobDlg::ToggleHistoryEdit()
{
    if (m_pJob->m_JobType != CJobSet::History || m_pJob->IsCreditOrCredited())
        return;
    if (!m_bHistoryEditAllowed) {
        CZqApp *app = ZqApp();
        if (!app || !app->CheckPassword(44, QString()))
            return;
        m_bHistoryEditAllowed = true;
    }
    SetPreview(!isPreview());
}

// --- enabling ---------------------------------------------------------------------

void CJobDlg::UpdateRibbonStates()
{
    const CJobSet &job = *m_pJob;
    const bool editable = isEditable();
    const bool receiver = m_pReceiver != nullptr;
    const bool credit = job.IsCreditOrCredited();

    if (m_wndRecordRibbon.isCreated())
        m_wndRecordRibbon.EnableAllItems(editable && receiver);

    if (m_wndRibbon4.isCreated()) {
        m_wndRibbon4.EnableAllItems(editable);
        m_wndRibbon4.EnableItem(30406, true);
    }
    if (m_wndRibbon5.isCreated()) {
        bool fromRecordWindow = m_bFromReceivables || qobject_cast<CDlgRibbon *>(m_pParent) != nullptr;
        if (auto *view = qobject_cast<CView0 *>(m_pParent))
            fromRecordWindow = fromRecordWindow || view->viewId() == kReceivablesView;
        m_wndRibbon5.EnableAllItems(editable);
        m_wndRibbon5.EnableItem(30263, true);
        m_wndRibbon5.EnableItem(30264, true);
        m_wndRibbon5.EnableItem(30525, editable || fromRecordWindow);
        m_wndRibbon5.EnableItem(30415, editable && IsOrder());
    }
    if (m_wndSideRibbon.isCreated()) {
        CXRibbon &b = m_wndSideRibbon;
        b.EnableAllItems(editable && receiver);
        b.EnableItem(30442, receiver && !credit);
        b.EnableItem(30343, receiver && !credit);
        b.EnableItem(30103, receiver && job.m_JobType == CJobSet::History && !credit);
        b.EnableItem(30330, receiver && job.m_JobType < CJobSet::PellOrder);
    }
    if (m_wndRibbon3.isCreated()) {
        CXRibbon &b = m_wndRibbon3;
        b.EnableAllItems(editable);
        b.EnableItem(30362, true);
        b.EnableItem(30363, true);
        b.EnableItem(30369, editable && m_nItems > 0);
        b.EnableItem(30632, editable && m_nItems > 0);
        b.CheckRadioItem(30051, 30053, unsigned(m_nItemView), struct_RIB_ITEM::Selected, true);
    }
    UpdateNavButtons(true);
}

// --- record operations --------------------------------------------------------------

bool CJobDlg::CheckAndSave(int mode)
{
    CJobSet &job = *m_pJob;
    if (isPreview() && mode != 99)
        return true;
    // The header has no edit fields: the record already holds every change.
    if (job.m_CusNo == 0) {
        platform::Prompt::messageBox(QStringLiteral("Missing Company Name"), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    job.UpdateAutoStatus(false);
    if (!job.SaveWithAuditTrail(64))
        return false;
    // The job as saved, which holds another workstation's figures when its
    // save came first.
    UpdateDatesPanel();
    UpdateTotalsPanels();
    return true;
}

bool CJobDlg::SettleChanges()
{
    CJobSet &job = *m_pJob;
    const int answer = job.IsOpen() ? job.AskSaveChanges(1) : 0;
    if (answer == platform::IDCANCEL)
        return false;
    if (answer == platform::IDYES && !CheckAndSave(0))
        return false;
    if (answer == platform::IDNO && job.GetEditMode() != CXDaoSet::dbEditNone) {
        // Leaving without saving: the record keeps nothing of the edit.
        try {
            job.CancelUpdate();
        } catch (const platform::DbException &) {
        }
    }
    return true;
}

void CJobDlg::OnCancel()
{
    if (SettleChanges())
        CDlgRibbon::OnCancel();
}

void CJobDlg::EndWithCommand(int id)
{
    if (CheckAndSave(1))
        EndDialog(id);
}

void CJobDlg::NavigateTo(unsigned cmd)
{
    if (!SettleChanges())
        return;
    CJobSet &job = *m_pJob;

    const qint32 currentId = job.m_JobID;
    const qint32 currentNo = job.m_JobNo;
    const long targetId = NavigateRecord(cmd);
    auto stayOnCurrent = [&] {
        if (m_pAttachedList)
            m_pAttachedList->FindItemByData(currentId, true);
    };
    if (targetId != 0 && targetId != currentId) {
        // The target's lock is taken before the current one is given up: a
        // refused lock or a job that is gone keeps the current job shown,
        // current and locked.
        CJobSet target(job.m_pDatabase);
        if (!target.FindById(qint32(targetId)) || !target.Lock(true)) {
            stayOnCurrent();
        } else {
            job.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(targetId);
            if (job.RequeryOrOpen(!isPreview())) {
                CJobSet previous(job.m_pDatabase);
                previous.m_JobID = currentId;
                previous.m_JobNo = currentNo;
                previous.Lock(false);
                RebuildJobBar();
                FillControls(true);
            } else {
                target.Lock(false);
                job.m_strFilter = QStringLiteral("Jobs.JobID = %1").arg(currentId);
                job.RequeryOrOpen(!isPreview());
                stayOnCurrent();
            }
        }
    }
    if (DecideCsrOwnership()) {
        ApplyHue();
        UpdateRibbonStates();
    }
}

// --- commands -----------------------------------------------------------------------

bool CJobDlg::OnCommand(int id)
{
    switch (id) {
    // Result commands: saved first, then handed to the opener.
    case 30100:
    case 30599:
    case 30270:
    case 30101:
        EndWithCommand(id);
        return true;
    case 30442: EndWithCommand(ResultDuplicate); return true;
    case 30107: EndWithCommand(ResultEmailLetter); return true;
    case 30330: EndWithCommand(ResultPrint); return true;
    case 30283: EndWithCommand(ResultItemFinder); return true;
    case 2: OnCancel(); return true;
    case 30213: CheckAndSave(1); return true;
    case 30103: ToggleHistoryEdit(); return true;
    case 30244: CheckMissingData(); return true;
    case 30406:
    case 30282: OnJobDates(); return true;
    case 30525: OnJobTotals(); return true;
    case 30263:
    case 30264: EditNote(unsigned(id)); return true;
    case 30408:
    case 30411: ChooseBuyerOrShipto(unsigned(id)); return true;
    case 30377: OnServiceProperties(); return true;
    case 30192:
        ToggleShowHideBit(kNotesBarBit, true);
        ShowNotesBar();
        return true;
    case 59648:
    case 59649:
    case 59650:
    case 59651: NavigateTo(unsigned(id)); return true;
    // The item list and its commands, the job's customer and balance
    // commands, the job numbers, comparison, costs, shipments, inventory,
    // labels and reminders are not part of this window yet.
    case 30051: case 30052: case 30053: OnViewMode(id); return true;
    case 30527: OnTaxExempt(); return true;
    case 30528: OnLockPrice(); return true;
    case 30364: OnRepriceItem(); return true;
    case 30362: EditItemSpecs(qint32(m_wndList.GetSelectedData())); return true;
    case 30363: EditItemCosts(qint32(m_wndList.GetSelectedData())); return true;
    case 30361: OnNewItem(); return true;
    case 30113:
    case 30631:
        if (SelectCurrentItem(false))
            DeleteCheckedItems(m_nCurrentItemId);
        return true;
    case 30632: DeleteCheckedItems(0); return true;
    case 30215: OnCustomizeView(); return true;
    case 30372: OnRepriceAll(); return true;
    case 30379: OnSubItem(); return true;
    case 30159: OnRearrange(); return true;
    case 30369: OnPasteItem(); return true;
    case 30365: OnPriceList(); return true;
    case 30366: OnItemDocuments(); return true;
    case 30633: OnCompare(true); return true;
    case 30407: OnChangeCustomer(); return true;
    case 30415: OnApplyCredit(); return true;
    case 30526: OnJobStatus(); return true;
    case 30106:
        if (GetJobHooks().exportJobXml)
            GetJobHooks().exportJobXml(m_pJob->m_JobID, this);
        else
            ReportJobFeatureNotAvailable(QStringLiteral("The job's XML view"));
        return true;
    case 30341: OnSetNextJobNumber(); return true;
    case 30342: OnChangeJobNumber(); return true;
    case 30343: OnCompare(false); return true;
    case 30430:
        // Costs and margins are shown to those with the right to see them.
        if (CZqApp *app = ZqApp(); app && app->CheckPassword(48, QStringLiteral("view cost")))
            CDlgChart::ShowJobChart(m_pJob, this);
        return true;
    case 30745: {
        // The inventory of the services of this job.
        CInventory inventory(30745, m_pJob->m_JobID, this);
        inventory.DoModal();
        return true;
    }
    case 30170:
        RunShipLabels(m_pJob->m_JobID, SelectCurrentItem(false) ? m_nCurrentItemId : 0, this);
        return true;
    case 30431:
        if (SelectCurrentItem(false))
            RunShipments(m_pJob->m_JobID, m_nCurrentItemId, this);
        return true;
    case 8900: ShowReminders(30001, m_pJob ? m_pJob->m_JobID : 0); return true;
    default: return CDlgRibbon::OnCommand(id);
    }
}

void CJobDlg::OnServiceProperties()
{
    const qint64 itemId = m_wndList.GetSelectedData();
    if (itemId <= 0)
        return;
    CXDaoSet row(m_pJob->m_pDatabase);
    row.Open(CXDaoSet::dbOpenSnapshot,
             QStringLiteral("SELECT SerNo FROM Items WHERE ItemID = %1").arg(itemId));
    if (row.IsEmptySet())
        return;
    const qint32 serNo = row.GetLong(0);
    row.Close();
    if (serNo <= 0)
        return;
    CZqApp *app = ZqApp();
    if (!app)
        return;
    if (!m_bServiceEditAllowed) {
        if (!app->CheckPassword(11, QString()))
            return;
        m_bServiceEditAllowed = true;
    }
    app->OpenService(serNo, 0, false);
}

void CJobDlg::OnSize(int type, int cx, int cy)
{
    CDlgRibbon::OnSize(type, cx, cy);
}
