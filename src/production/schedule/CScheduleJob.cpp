#include "production/schedule/CScheduleJob.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/PrintService.h"
#include "app/base/ScheduleChecks.h"
#include "data/CContactSet.h"
#include "data/CCusSet.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "jobs/CJobWhen.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "data/DaoError.h"
#include "views/CDlgData.h"
#include "views/CNoteDlg.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

#include <optional>

namespace {

using G = ScheduleJobGrid;

constexpr unsigned kAuto = 30140;
constexpr unsigned kWhen = 30406;
constexpr unsigned kOrderedBy = 30411;
constexpr unsigned kJobNote = 30263;
constexpr unsigned kMemo = 30264;
constexpr unsigned kHelp = 30418;
constexpr unsigned kClose = 2;
constexpr int kScheduleView = 30007;
constexpr int kItemDone = 17;
constexpr int kInProduction = 4;

// A write of a command's rows failed: the rows written before are put back.
struct WriteFailed
{
};

const QString &previewMessage()
{
    static const QString text =
        QStringLiteral("This Order is open for preview only. You may not make any changes.");
    return text;
}

QString dateText(const DateTime &date)
{
    return date.isValid() ? date.date().toString(QStringLiteral("MM/dd/yyyy")) : QString();
}

QDate dateOf(const DateTime &date)
{
    return date.isValid() ? date.date() : QDate();
}

} // namespace

CScheduleJob::CScheduleJob(CJobSet *job, QWidget *parent)
    : CDlg0(960, parent), m_pJob(job)
{
    m_strWindowTitle = QStringLiteral("Schedule Job");
    m_bEnterAsTab = 0;
    if (CZqApp *app = ZqApp())
        m_nListOptions = app->GetSettingInt(QStringLiteral("List Options"), 0, CZqApp::kScheduler);
    resize(1000, 620);
    AddPlaceholder(1901, QRect(0, 0, 1000, 40));
    AddPlaceholder(1902, QRect(0, 40, 1000, 24));
    AddPlaceholder(kGrid, QRect(0, 66, 1000, 500));
    AddPlaceholder(kOrderRibbon, QRect(0, 574, 700, 42));
    AddPlaceholder(kCommandRibbon, QRect(700, 574, 300, 42));
    AddSizeMarker(QPoint(999, 619));
}

CScheduleJob::~CScheduleJob() = default;

int CScheduleJob::ScheduleOrder(qint32 jobId, qint32 itemId, int previewOnly, QWidget *parent, bool *changed)
{
    if (changed)
        *changed = false;
    CJobSet job;
    if (!job.FindById(jobId, false)) {
        platform::Prompt::messageBox(QStringLiteral("This is a feature for Orders."));
        return IDCANCEL_RESULT;
    }
    CScheduleJob dialog(&job, parent);
    dialog.m_nPreviewOnly = previewOnly;
    dialog.m_nInitialItemId = itemId;
    const int answer = dialog.DoModal();
    if (changed)
        *changed = dialog.changed() != 0;
    return answer;
}

void CScheduleJob::OnPrintList()
{
    PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr;
    if (!printing || !m_chart.table() || m_chart.table()->GetRowCount() == 0) {
        CDlg0::OnPrintList();
        return;
    }
    // The order's caption and its customer head the printed table.
    printing->PrintViewList(0, nullptr, &m_chart, m_strRibbonTitle, m_strStripText, QString(), 57607);
}

bool CScheduleJob::OnInitDialog()
{
    if (!m_pJob || m_pJob->m_JobType != 0) {
        platform::Prompt::messageBox(QStringLiteral("This is a feature for Orders."));
        EndDialog(IDCANCEL_RESULT);
        return false;
    }
    static const QString lockedTitle = QStringLiteral(
        "Preview Only (This Order is currently open by another user. Therefore, you may not schedule or edit it)");
    if (m_nPreviewOnly != 0) {
        m_strWindowTitle = QStringLiteral("Preview Only");
    } else if (m_pJob->IsLocked()) {
        m_nPreviewOnly = 1;
        m_strWindowTitle = lockedTitle;
    }
    m_nColorScheme = m_nPreviewOnly ? 1 : Appearance::instance().GetViewHue(kScheduleView, true);
    m_strHelpText = GetHelpText();
    CDlg0::OnInitDialog();
    InitRibbons(4, 1, 3, 0);
    InitOrderRibbons();

    m_chart.CreateInDlgItem(this, kGrid, m_nColorScheme);
    m_chart.SetMultiSelect(!m_nPreviewOnly);
    connect(&m_chart, &CXChartCtrl::notified, this,
            [this](int code, int row, int column, const QPoint &screenPos, bool) {
                if (code == CXChartCtrl::CodeClick)
                    OnGridClick(row, column, QApplication::keyboardModifiers() & Qt::ControlModifier);
                else if (code == CXChartCtrl::CodeDoubleClick)
                    OnGridDoubleClick(row, column);
                else if (code == CXChartCtrl::CodeRightClick)
                    OnGridRightClick(row, column, screenPos);
            });

    if (m_nPreviewOnly) {
        setWindowTitle(m_nPreviewOnly == 2 ? QStringLiteral("Preview Only") : lockedTitle);
        m_wndCommands.EnableAllItems(false);
        m_wndOrder.EnableAllItems(false);
    }

    if (CZqApp *app = ZqApp())
        app->m_today = DateTime::fromDate(platform::Clock::today());
    SetRibbonTitle(QStringLiteral("Order %1 - %2").arg(m_pJob->m_JobNo).arg(m_pJob->m_Title));
    QString customer;
    CCusSet customers;
    customers.GetCustomerName(customer, m_pJob->m_CusNo);
    SetStripText(QStringLiteral("%1 (%2)").arg(customer).arg(m_pJob->m_CusNo));
    UpdateTips();
    FillGrid(0);
    const int row = m_grid.FindRowOfKey(m_nInitialItemId);
    m_chart.SelectRow(row >= 0 ? row : 0);
    return true;
}

void CScheduleJob::InitOrderRibbons()
{
    if (m_wndCommands.Create(this, kCommandRibbon, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 26)) {
        connect(&m_wndCommands, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndCommands.AddItem(kAuto, QStringLiteral("Auto..."), 0, 131, 187, 2, 2084, 0, 1, 90, 0, 0,
                              QStringLiteral("Schedule the Services that are not 'Done' yet"));
        m_wndCommands.AddItem(kHelp, QStringLiteral("Help"), 0, 131, 219, 2, 2084, 0, 1, 80);
        m_wndCommands.AddItem(kClose, QStringLiteral("Close"), 0, 132, 6, 2, 2084, 0, 1, 90);
        m_wndCommands.RecalcLayout(0);
    }
    if (m_wndOrder.Create(this, kOrderRibbon, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 26)) {
        connect(&m_wndOrder, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndOrder.AddItem(kWhen, QStringLiteral("When"), 0, 131, 177, 2, 2084, 0, 1, 90);
        m_wndOrder.AddItem(kOrderedBy, QStringLiteral("Ordered By"), 0, 131, 176, 2, 2084, 0, 1, 120);
        m_wndOrder.AddItem(kJobNote, QStringLiteral("Job Note"), 0, 131, 179, 2, 2084, 0, 1, 100);
        m_wndOrder.AddItem(kMemo, QStringLiteral("Memo to Customer"), 0, 131, 179, 2, 2084, 0, 1, 160);
        m_wndOrder.RecalcLayout(0);
    }
}

QString CScheduleJob::WhenTip() const
{
    if (!m_pJob)
        return QString();
    QString csr;
    QString status;
    if (CZqApp *app = ZqApp())
        csr = app->GetEmployeeName(m_pJob->m_CSRNo);
    CZqApp::GetJobStatusName(status, m_pJob->m_Status);
    return QStringLiteral("In\t%1\nProof\t%2\nDue\t%3   %4\nShip'd\t%5\nCSR\t%6\nStatus\t%7")
        .arg(dateText(m_pJob->m_DateIn), dateText(m_pJob->m_DateProof), dateText(m_pJob->m_DateDue),
             m_pJob->m_TimeDue, dateText(m_pJob->m_DateShipped), csr, status);
}

void CScheduleJob::UpdateTips()
{
    if (!m_pJob || !m_wndOrder.isCreated())
        return;
    m_wndOrder.SetItemTip(kWhen, WhenTip());
    m_wndOrder.SetItemTip(kJobNote, m_pJob->m_WOrderNote);
    m_wndOrder.SetItemTip(kMemo, m_pJob->m_InvoiceNote);
    CContactSet contact;
    if (m_pJob->m_BuyerNo != 0 && contact.FindContact(m_pJob->m_BuyerNo))
        m_wndOrder.SetItemTip(kOrderedBy, contact.GetNameText(5));
}

bool CScheduleJob::IsEditable(bool showMessage)
{
    if (!m_nPreviewOnly)
        return true;
    if (showMessage)
        platform::Prompt::messageBox(previewMessage());
    return false;
}

void CScheduleJob::FillGrid(int scroll)
{
    if (!m_pJob)
        return;
    m_chart.Reset();
    m_grid.SetOrder(m_pJob->m_JobID, dateOf(m_pJob->m_DateIn), dateOf(m_pJob->m_DateProof),
                    dateOf(m_pJob->m_DateDue));
    m_grid.Fill(scroll, platform::Clock::today());
    if (m_chart.isCreated()) {
        m_chart.LoadTable(&m_grid.table(), CXChartCtrl::ChartTable);
        m_chart.SetStyle(2, false);
        m_chart.update();
    }
}

// --- the grid's mouse -----------------------------------------------------------------

void CScheduleJob::OnGridClick(int row, int column, bool ctrl)
{
    const QDate today = platform::Clock::today();
    if (row < 0) {
        // The header scrolls the days shown.
        const int offset = m_grid.scrollOffset();
        if (column == G::ColBefore)
            FillGrid(-7);
        else if (column == G::ColAfter)
            FillGrid(7);
        else if (column == G::ColFirstDay)
            FillGrid(-offset);
        else if (column > G::ColFirstDay && column <= G::ColLastDay)
            FillGrid(column - G::ColFirstDay);
        else if (column == G::ColDate && m_grid.dateIn().isValid())
            FillGrid(int(today.daysTo(m_grid.dateIn())) - offset);
        else if (column == G::ColOperator && m_grid.dateDue().isValid())
            FillGrid(int(today.daysTo(m_grid.dateDue().addDays(-14))) - offset);
        return;
    }
    if (m_grid.IsItemRow(row)) {
        const int style = m_grid.table().GetCellFormat(row, column);
        if (column >= G::ColBefore && column <= G::ColAfter && style >= G::kProofMark && style <= G::kDueMark)
            OnEditJobDates();
        return;
    }
    if (!m_grid.IsServiceRow(row) || column < G::ColBefore || column > G::ColAfter)
        return;
    if ((m_nListOptions & kCtrlOnlyOption) && !ctrl)
        return;
    if (m_nPreviewOnly)
        return;
    const int style = m_grid.table().GetCellFormat(row, column);
    int command;
    if (style >= 1 && style < 255) {
        // The icon's to-do and done variants: the done one lies 36 above.
        const int status = m_grid.table().GetCellLong(row, G::ColHideStatus);
        command = status != 0 ? kUnscheduleCommand : kScheduleTodayCommand;
    } else {
        command = 31499 + column + m_grid.scrollOffset();
    }
    // An empty cell's day is today + (column - 4) + scroll; a day that the
    // command numbers cannot carry (it would read as "done") is left alone.
    if (command == kUnscheduleCommand && (style < 1 || style >= 255))
        return;
    m_grid.table().SelectAll(false);
    m_grid.table().ToggleRowSelection(row, 256);
    OnServiceDates(command);
}

void CScheduleJob::OnGridDoubleClick(int row, int column)
{
    if (column != G::ColDescription && column != G::ColNote)
        return;
    CXTable &t = m_grid.table();
    const qint32 key = t.GetRowKey(row);
    if (key == 0)
        return;
    if (!IsEditable(true))
        return;
    CItemSet item;
    if (!item.OpenByItemID(key))
        return;
    QString note = item.m_Note;
    if (m_grid.IsItemRow(row)) {
        CNoteDlg dialog(QStringLiteral("Item Note"), QStringLiteral("Note"), note, CNoteDlg::EditNote, this);
        if (dialog.DoModal() != IDOK_RESULT)
            return;
        note = dialog.m_strNote;
    } else {
        // A service note may carry a tail after " · " that only the program
        // writes; it is kept behind the text the user edits.
        QString tail;
        const int at = note.indexOf(QStringLiteral(" \u00b7 "));
        if (at >= 0) {
            tail = note.mid(at);
            note = note.left(at);
        }
        CDlgData dialog(note, 255, QString(), QStringLiteral("Service Note"), t.GetCellText(row, G::ColDescription),
                        this);
        if (dialog.DoModal() != IDOK_RESULT)
            return;
        note = dialog.m_strValue + tail;
    }
    if (!item.SafeEdit())
        return;
    item.m_Note = note.left(255);
    if (!item.SafeUpdate(QStringLiteral("Items")))
        return;
    t.SetCellText(row, G::ColNote, item.m_Note);
    m_bChanged = 1;
    m_chart.update();
}

int CScheduleJob::GridMenuFor(int row, int column) const
{
    if (m_grid.IsItemRow(row)) {
        switch (column) {
        case G::ColStatus: return CZqApp::ScheduleStatusMenu;
        case G::ColTag: return CZqApp::TagsAMenu;
        case G::ColPriority: return CZqApp::InventoryStatusMenu;
        default: return -1;
        }
    }
    if (!m_grid.IsServiceRow(row))
        return -1;
    if (column == G::ColOperator)
        return CZqApp::OperatorsMenu;
    if (column == G::ColTag)
        return CZqApp::TagsBMenu;
    if (column == G::ColPriority)
        return CZqApp::InventoryStatusMenu;
    if (column >= G::ColDate && column <= G::ColAfter)
        return CZqApp::DatesMenu;
    return -1;
}

void CScheduleJob::OnGridRightClick(int row, int column, const QPoint &screenPos)
{
    if (!IsEditable(true))
        return;
    CZqApp *app = ZqApp();
    const int which = GridMenuFor(row, column);
    QMenu *menu = (app && which >= 0) ? app->GetPopupMenu(CZqApp::PopupMenu(which)) : nullptr;
    if (!menu)
        return;
    if (!m_grid.table().IsRowMarked(row)) {
        m_grid.table().SelectAll(false);
        m_grid.table().ToggleRowSelection(row, 256);
    }
    m_chart.SelectRow(row);
    if (QAction *chosen = menu->exec(screenPos))
        OnCommand(chosen->data().toInt());
}

// --- commands -------------------------------------------------------------------------

bool CScheduleJob::OnCommand(int id)
{
    if (id >= 31201 && id <= 31299) {
        if (IsEditable(true))
            OnItemStatus(quint8(id - 31203));
        return true;
    }
    if (id >= 31501 && id <= 31599) {
        if (IsEditable(true))
            OnServiceDates(id);
        return true;
    }
    if (id >= 31601 && id <= 31699) {
        if (IsEditable(true))
            OnAssign(1, quint8(id - 31602));
        return true;
    }
    if (id >= 31701 && id <= 31799) {
        if (IsEditable(true))
            OnAssign(2, id - 31702);
        return true;
    }
    if (id >= 31802 && id <= 31899) {
        if (IsEditable(true))
            OnAssign(3, id - 31802);
        return true;
    }
    switch (id) {
    case kAuto:
        if (IsEditable(true))
            OnAutoSchedule();
        return true;
    case kWhen:
        OnEditJobDates();
        return true;
    case kJobNote:
    case kMemo:
        OnOrderNote(unsigned(id));
        return true;
    case kOrderedBy:
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CScheduleJob::ShowHelp()
{
    m_strHelpText = GetHelpText();
    CDlg0::ShowHelp();
}

void CScheduleJob::OnSize(int type, int cx, int cy)
{
    if (!CalcSizeDelta(type, cx, cy))
        return;
    const int dx = widthDelta();
    const int dy = heightDelta();
    GrowItemBy(kGrid, dx, dy);
    MoveItemBy(kCommandRibbon, dx, dy);
    MoveItemBy(kOrderRibbon, 0, dy);
    GrowItemBy(kOrderRibbon, dx, 0);
    update();
}

QList<int> CScheduleJob::MarkedRows() const
{
    QList<int> rows;
    const CXTable &t = m_grid.table();
    for (int row = 0; row < t.GetRowCount(); ++row)
        if (t.IsRowMarked(row))
            rows.append(row);
    return rows;
}

int CScheduleJob::SelectedRow() const
{
    const int row = m_chart.GetSelectedRow();
    if (row != CXChartCtrl::kNoRow && m_grid.table().IsValidRow(row))
        return row;
    const QList<int> marked = MarkedRows();
    return marked.isEmpty() ? -1 : marked.first();
}

void CScheduleJob::WriteItemStatus(int itemRow, int status)
{
    const qint32 key = m_grid.table().GetRowKey(itemRow);
    if (key == 0)
        return;
    if (m_items.SetServiceStatus(status, 0, key) != 0) {
        m_grid.ShowItemStatus(itemRow, status);
        m_bChanged = 1;
    }
}

void CScheduleJob::UpdateItemStatus(int serviceRow)
{
    // The item follows its first service still to do, or is done.
    const int itemRow = m_grid.FindItemRow(serviceRow);
    const qint32 key = itemRow >= 0 ? m_grid.table().GetRowKey(itemRow) : 0;
    if (key == 0 || !m_items.OpenByItemID(key))
        return;
    const quint8 status = GetItemDeptColumn(m_pJob->m_JobID, m_items.m_ItemNo, m_items.m_SubNo);
    WriteItemStatus(itemRow, status);
}

int CScheduleJob::OnServiceDates(int id)
{
    if (!m_pJob)
        return 0;
    DateTime serviceDate;
    const quint8 day = CheckCanSchedule(id, m_pJob->m_DateIn, m_pJob->m_DateDue, serviceDate);
    if (day == kScheduleRefused)
        return 0;
    // The marked rows change together. With the shop's inventory on,
    // finishing or reopening a service may ask about its stock: then each
    // row is its own unit, so that no question is asked while the database
    // is held for writing.
    CXTable &t = m_grid.table();
    int written = 0;
    QList<int> items;
    // A failure is shown once the unit has rolled back.
    DeferredDaoErrors deferred;
    try {
        std::optional<platform::Transaction> unit;
        if (!CItemSet::GetInventoryRules().enabled)
            unit.emplace(SharedDatabase());
        const int errorsBefore = DaoErrorCount();
        for (int row : MarkedRows()) {
            if (!m_grid.IsServiceRow(row))
                continue;
            const qint32 key = t.GetRowKey(row);
            if (m_items.SetServiceStatus(day, 0, key) == 0) {
                if (unit && DaoErrorCount() != errorsBefore)
                    throw WriteFailed();
                continue;
            }
            ++written;
            t.SetCellText(row, G::ColHideStatus, QString::number(m_items.m_Status));
            t.SetCellText(row, G::ColHideDays, QString::number(m_items.m_Days2));
            for (int c = G::ColBefore; c <= G::ColAfter; ++c)
                t.SetCellStyle(row, c, 0);
            m_grid.ShowServiceRow(row);
            const int itemRow = m_grid.FindItemRow(row);
            if (!items.contains(itemRow)) {
                items.append(itemRow);
                UpdateItemStatus(row);
            }
        }
        if (unit && DaoErrorCount() != errorsBefore)
            throw WriteFailed();
        if (unit)
            unit->commit();
    } catch (const WriteFailed &) {
        // Every row of the command was put back: show them as they are.
        FillGrid(0);
        return 0;
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Items"));
        FillGrid(0);
        return 0;
    }
    if (written > 0)
        m_bChanged = 1;
    m_chart.update();
    return written;
}

bool CScheduleJob::OnItemStatus(int status)
{
    const int row = SelectedRow();
    if (row < 0 || !m_grid.IsItemRow(row))
        return false;
    const qint32 key = m_grid.table().GetRowKey(row);
    if (!m_items.OpenByItemID(key))
        return false;
    if (status == kInProduction)
        status = GetItemDeptColumn(m_pJob->m_JobID, m_items.m_ItemNo, m_items.m_SubNo);
    if (status != kItemDone) {
        WriteItemStatus(row, status);
        m_chart.update();
        return true;
    }
    // "Done" finishes every service of the item first and the item only when
    // all of them are; a service refused or cancelled leaves the item as it
    // was. The grid shows what was stored.
    QList<qint32> finished;
    bool saved = false;
    // A failure is shown once the unit has rolled back.
    DeferredDaoErrors deferred;
    try {
        saved = m_items.SetItemDone(finished);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Items"));
        finished.clear();
    }
    if (saved || !finished.isEmpty())
        m_bChanged = 1;
    FillGrid(0);
    return saved;
}

int CScheduleJob::OnAssign(int what, int value)
{
    const int selected = SelectedRow();
    if (selected < 0)
        return 0;
    CXTable &t = m_grid.table();
    t.ToggleRowSelection(selected, 256);
    const int column = what == 1 ? G::ColOperator : what == 2 ? G::ColTag : G::ColPriority;
    // Tags and priorities of item rows when the menu was opened on an item.
    const bool items = what != 1 && m_grid.IsItemRow(selected);
    int written = 0;
    QList<int> rows;
    // A failure is shown once the unit has rolled back.
    DeferredDaoErrors deferred;
    try {
        platform::Transaction unit(SharedDatabase());
        const int errorsBefore = DaoErrorCount();
        for (int row : MarkedRows()) {
            if (items ? !m_grid.IsItemRow(row) : !m_grid.IsServiceRow(row))
                continue;
            if (m_items.SetServiceStatus(value, what, t.GetRowKey(row)) == 0)
                continue;
            ++written;
            rows.append(row);
        }
        if (DaoErrorCount() != errorsBefore)
            return 0; // every row put back
        unit.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Items"));
        return 0;
    }
    for (int row : rows)
        m_grid.ShowCodeCell(row, column, value);
    if (written > 0)
        m_bChanged = 1;
    m_chart.update();
    return written;
}

void CScheduleJob::OnAutoSchedule()
{
    AutoSchedule();
}

void CScheduleJob::AutoSchedule()
{
    if (!m_pJob)
        return;
    const AutoScheduleInput input = m_grid.AutoInput(platform::Clock::today());
    const AutoSchedulePlan plan = PlanAutoSchedule(input);
    if (!plan.missingDate.isEmpty()) {
        if (platform::Prompt::messageBox(AutoScheduleDateQuestion(plan.missingDate), QString(),
                                         platform::MB_YESNO | platform::MB_ICONQUESTION)
            == platform::IDYES)
            OnEditJobDates();
        return;
    }
    const ScheduleWriteResult result = WriteScheduledDays(plan.changes);
    if (result.failed) {
        platform::Prompt::messageBox(QStringLiteral("The Services could not be scheduled. Nothing was changed."),
                                     QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        FillGrid(0);
        return;
    }
    if (result.written != 0) {
        m_bChanged = 1;
        FillGrid(0);
    }
    platform::Prompt::messageBox(AutoScheduleReport(result.written));
}

bool CScheduleJob::OnEditJobDates()
{
    if (!m_pJob)
        return false;
    const DateTime dateIn = m_pJob->m_DateIn;
    const DateTime dateProof = m_pJob->m_DateProof;
    const DateTime dateDue = m_pJob->m_DateDue;
    const bool editing = !m_nPreviewOnly && !m_pJob->IsLocked() && m_pJob->SafeEdit();
    CJobWhen dialog(m_pJob, this);
    dialog.m_bReadOnly = editing ? 0 : 1;
    if (dialog.DoModal() != IDOK_RESULT) {
        if (editing)
            m_pJob->CancelUpdate();
        return false;
    }
    if (!editing || !m_pJob->SaveRecord(0, QStringLiteral("Jobs")))
        return false;
    UpdateTips();
    auto same = [](const DateTime &a, const DateTime &b) {
        return a.isValid() == b.isValid() && (!a.isValid() || a.date() == b.date());
    };
    if (same(dateIn, m_pJob->m_DateIn) && same(dateProof, m_pJob->m_DateProof) && same(dateDue, m_pJob->m_DateDue))
        return true;
    m_bChanged = 1;
    FillGrid(0);
    if (platform::Prompt::messageBox(
            QStringLiteral("You have changed date(s).\nDo you want to Auto-Schedule?\n\n") + m_grid.lateNote(),
            QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
        == platform::IDYES)
        AutoSchedule();
    return true;
}

void CScheduleJob::OnOrderNote(unsigned id)
{
    if (!m_pJob)
        return;
    const bool memo = id == kMemo;
    QString &field = memo ? m_pJob->m_InvoiceNote : m_pJob->m_WOrderNote;
    CNoteDlg dialog(memo ? QStringLiteral("Invoice Memo") : QStringLiteral("Order Note"), QString(), field,
                    m_nPreviewOnly ? CNoteDlg::ShowText : CNoteDlg::EditNote, this);
    dialog.HoldNoteTo(*m_pJob, memo ? QStringLiteral("InvoiceNote") : QStringLiteral("WOrderNote"));
    if (dialog.DoModal() != IDOK_RESULT || !IsEditable(true))
        return;
    if (dialog.m_strNote == field || !m_pJob->SafeEdit())
        return;
    (memo ? m_pJob->m_InvoiceNote : m_pJob->m_WOrderNote) = dialog.m_strNote;
    if (m_pJob->SafeUpdate(QStringLiteral("Jobs")))
        m_bChanged = 1;
    UpdateTips();
}

QString CScheduleJob::GetHelpText() const
{
    const QString separator = QStringLiteral("\n------------------- \t") + QString(90, QLatin1Char('-'));
    QString text = QStringLiteral("\nTO EDIT\t\tDO") + separator
                   + QStringLiteral("\nService Dates\tClick [Auto...] to schedule the Services that are not 'Done' "
                                    "yet\n\t\tClick an empty Day box to assign a 'To-Do' date");
    if (m_nListOptions & kCtrlOnlyOption)
        text += QStringLiteral(" (while holding the Ctrl key down)");
    text += QStringLiteral(
                "\n\t\tClick a 'To-Do' icon to mark it as 'Done'\n\t\tRight-click the Date field of "
                "Service(s)\n\n\t\tTo change 'Date Range', click column headers:\n\t\t- click [<<] or [>>] to scroll "
                "one week\n\t\t- click [Service Date] column to set the first column as DateIn\n\t\t- click the first "
                "column to set it as Today\n\t\t- click other day columns to set the first column to that "
                "day\n\nOperator\t\tRight-click the Operator field of Service(s)\nTags\t\tRight-click the Tag field of "
                "Item(s) or Service(s)\nNotes\t\tDouble-click the Note field of an Item or Service\n")
            + separator
            + QStringLiteral("\nOrder Dates  \tClick [When]\nOrder Note   \tClick [Job Note]\nInvoice Memo \tClick "
                             "[Memo]");
    if (m_nPreviewOnly)
        text += QStringLiteral(
            "\n\n\nPLEASE NOTE \tYou may not edit this order. It is currently opened/locked by another user.");
    return text;
}
