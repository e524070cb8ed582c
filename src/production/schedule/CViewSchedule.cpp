#include "production/schedule/CViewSchedule.h"

#include "catalogue/CInventory.h"
#include "production/schedule/CScheduleJob.h"

#include "app/base/CZqApp.h"
#include "app/base/Choices.h"
#include "app/base/Menus.h"
#include "app/base/MoneyText.h"
#include "app/base/PrintService.h"
#include "app/base/PriceText.h"
#include "app/base/QuantityText.h"
#include "app/base/ScheduleChecks.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "data/DaoError.h"
#include "data/CItemSet.h"
#include "data/CJobSet.h"
#include "jobs/CJobWhen.h"
#include "data/CXDaoSet.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "views/CDlgList.h"
#include "views/FindPrompt.h"
#include "views/ListExport.h"
#include "platform/Value.h"
#include "views/CViewDefaults.h"
#include "app/base/DateRanges.h"
#include "platform/Clock.h"
#include "platform/LongRun.h"
#include "platform/Prompt.h"
#include "production/schedule/OrderStatusRules.h"
#include "controls/CXTreeOptCtrl.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CStatusDlg.h"

#include <QtGui/QAction>
#include <QtGui/QClipboard>
#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtCore/QScopeGuard>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QMenu>

#include <cstdlib>
#include <functional>

namespace {

constexpr int kNone = CXListCtrl::kNoImage;
constexpr int kDoneStatus = 17;
constexpr int kInProduction = 4;
// A long list being read shows its new rows this often.
constexpr qint64 kRowsShownEveryMs = 400;

using C = ScheduleLists;

bool isImage(int image)
{
    return image >= 0 && image != kNone;
}

const QString kOrdersBranch = QStringLiteral(
    "Orders,All,In Progress,On Hold,Ready to Ship,Ready to Post,Received Today,Shipped Today,Late,Due Today,"
    "Due Tomorrow,Due This Week,Due Next Week,Discrepancies,");
const QString kSummaryBranch = QStringLiteral(
    "Summary-To-Do,Operator,Operator/Category,Operator/Service,Category,Category/Service,Center/Category,"
    "Center/Service,");
const QString kTrackerBranch =
    QStringLiteral("ZedAzidavu,All Items,Items not in Production,Items in Production,Items Done,");

// The cursor that says the board is busy, for as long as a command walks
// the selected rows.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

CViewSchedule::CViewSchedule(QWidget *parent) : CView0(kViewId, parent), m_lists(ZqApp())
{
    m_nCodeBase = kCodeBase;
    m_nDropOnTree = 1;
}

CViewSchedule::~CViewSchedule() = default;

void CViewSchedule::LoadListOptions()
{
    m_nItemOptions = GetOptionValue(44331, 4);
    CZqApp *app = ZqApp();
    if (!app)
        return;
    m_nListOption = app->GetSettingInt(QStringLiteral("List Options"), 1041, CZqApp::kScheduler);
}

qint32 CViewSchedule::ContextJobId()
{
    int row = m_list->GetCurrentRow();
    if (row < 0 || row >= m_list->GetItemCount()) {
        const QList<int> selected = SelectedRows();
        row = selected.isEmpty() ? -1 : selected.first();
    }
    return row < 0 ? 0 : m_list->GetItemText(row, C::ColJobId).toInt();
}

void CViewSchedule::ScheduleContextOrder()
{
    const qint32 jobId = ContextJobId();
    if (jobId <= 0) {
        if (platform::Prompt::messageBox(QStringLiteral("No Order is selected to open. Would you like to find one?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            == platform::IDYES)
            PostCommand(30101);
        return;
    }
    int row = m_list->GetCurrentRow();
    if (row < 0 || row >= m_list->GetItemCount()) {
        const QList<int> selected = SelectedRows();
        row = selected.isEmpty() ? -1 : selected.first();
    }
    const qint32 itemId = row >= 0 && (IsItemRow(row) || IsServiceRow(row)) ? qint32(m_list->GetItemData(row)) : 0;
    bool changed = false;
    CScheduleJob::ScheduleOrder(jobId, itemId, 0, this, &changed);
    if (changed)
        FillList();
}

void CViewSchedule::OpenContextJob()
{
    const qint32 jobId = ContextJobId();
    if (jobId <= 0) {
        if (platform::Prompt::messageBox(QStringLiteral("No Order is selected to open. Would you like to find one?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            == platform::IDYES)
            PostCommand(30101);
        return;
    }
    if (CZqApp *app = ZqApp())
        app->OpenJob(jobId);
}

bool CViewSchedule::OnJobDates()
{
    const qint32 jobId = ContextJobId();
    CJobSet job;
    job.m_strFilter = QStringLiteral("JobType = 0 and %1 = %2").arg(QStringLiteral("JobID")).arg(jobId);
    if (jobId <= 0 || !job.RequeryOrOpen(false) || job.IsEOF()) {
        if (platform::Prompt::messageBox(QStringLiteral("No Order is selected to open. Would you like to find one?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            == platform::IDYES)
            PostCommand(30101);
        return false;
    }
    // A job another user has open is shown read-only.
    const bool editing = !job.IsLocked() && job.SafeEdit();
    CJobWhen dialog(&job, this);
    if (dialog.DoModal() != platform::IDOK) {
        if (editing)
            job.CancelUpdate();
        return false;
    }
    if (!editing || !job.SafeUpdate())
        return false;
    FillList();
    return true;
}

bool CViewSchedule::OnItemOptions()
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(-1, QString()))
        return false;
    CDlgOptions dialog(QStringLiteral("New Item"), QStringLiteral("These options are for ALL computers"), 158, this);
    // Each group shows what the item rules do now, their default when the
    // shop has stored no choice.
    dialog.AddOptionGroups(44331, 44331, false, CItemSet::GetServiceDefaultsOption());
    dialog.AddOptionGroups(44332, 44332, false, CItemSet::GetItemStatusOption());
    // Shown again with every choice when nothing could be saved (a Cancel
    // on the question about another user's save).
    for (;;) {
        if (dialog.DoModal() != platform::IDOK)
            return false;
        if (dialog.SaveOptionGroups())
            break;
        // A shop opened read-only refuses once, and the window closes.
        if (SharedDatabase().isReadOnly())
            return false;
    }
    LoadListOptions();
    return true;
}

void CViewSchedule::OnSetupTable(int id)
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(-1, QString()))
        return;
    // The editor belongs to this view: it opens over the program's window
    // in the schedule's colours, as it does from the service window.
    CViewDefaults settings(this);
    settings.EditSetupTable(id, 0, m_nHue);
}

int CViewSchedule::OnCenter(int depId)
{
    // The right to move services between centers is asked once per run.
    if (!m_bCenterRightsAsked) {
        CZqApp *app = ZqApp();
        m_bCenterRightsGiven = app && app->CheckPassword(11, QString());
        m_bCenterRightsAsked = true;
    }
    if (!m_bCenterRightsGiven)
        return 0;
    int changed = 0;
    {
        WaitCursor wait;
        CItemSet item;
        for (int row : SelectedRows()) {
            if (!IsServiceRow(row) || !item.OpenByItemID(qint32(m_list->GetItemData(row))) || item.m_SerNo <= 0)
                continue;
            CXDaoSet service;
            service.Open(CXDaoSet::dbOpenDynaset,
                         QStringLiteral("SELECT ProdDepID FROM Services WHERE SerNo = %1").arg(item.m_SerNo));
            if (!service.IsOpen() || service.IsEOF() || !service.SafeEdit())
                continue;
            service.SetFieldValue(0, platform::Value(depId));
            if (service.SafeUpdate())
                ++changed;
        }
    }
    // The center belongs to the service in the catalogue: every order's rows
    // of that service move with it, so the list is made again.
    if (changed > 0)
        OnCommand(30401);
    return changed;
}

void CViewSchedule::OnInitialUpdate()
{
    if (isInitialised())
        return;
    CView0::OnInitialUpdate();
    // The program may have been started on an earlier day.
    if (CZqApp *app = ZqApp())
        app->m_today = GetToday(0);
    LoadListOptions();
    BuildTree();
    connect(m_list, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) {
                OnListClick(index.row(), index.column(), m_list->GetClickedCellImage() >= 0);
            });
    // A double-click opens by its column, after a short pause.
    disconnect(m_list, &QAbstractItemView::doubleClicked, this, nullptr);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        const int id = DoubleClickCommand(index.row(), index.column());
        if (id != 0)
            QTimer::singleShot(150, this, [this, id] { PostCommand(id); });
    });
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &point) { OnListContextMenu(point); });
    disconnect(m_list->header(), &QHeaderView::sectionClicked, nullptr, nullptr);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, [this](int column) { OnColumnClick(column); });
    if (m_mainBar) {
        const bool compact = m_mainBar->barStyle() == 2;
        m_mainBar->AddSpacer(8, 0);
        m_mainBar->AddItem(kInventoryButton, QStringLiteral("Inventory"), 0, 132, 7, 1, 2085, 0, compact ? 0 : 2,
                           compact ? 44 : 64, kListMenus, kInventoryMenu, QStringLiteral("Inventory"));
        m_mainBar->AddItem(kSettingsButton, QStringLiteral("Scheduler Settings"), 0, 132, 10, 1, 2085, 0,
                           compact ? 0 : 2, compact ? 44 : 64, kListMenus, kSettingsMenu,
                           QStringLiteral("Setup Scheduler"));
        m_mainBar->RecalcLayout(255);
    }
    CZqApp *app = ZqApp();
    const int first = app ? app->GetSettingInt(QStringLiteral("List First"), 31102, CZqApp::kScheduler) : 31102;
    SelectTreeCode(first);
    setFocus();
}

void CViewSchedule::BuildTree()
{
    CZqApp *app = ZqApp();
    m_bTreeFilling = true;
    CXTreeCtrl &tree = *m_tree;
    tree.AddRootItem(QStringLiteral("Schedule/Update by Job"), 253);
    HTREEITEM orders = tree.AddBranch(kOrdersBranch, 31100, 24, 24);
    orders->setText(0, QStringLiteral("Orders"));
    if (HTREEITEM e = tree.FindItemByData(31113))
        e->setText(0, QStringLiteral("Due Next 7 Days"));
    for (int status = 0; status <= 3; ++status)
        if (HTREEITEM e = tree.FindItemByData(quint32(31102 + status)))
            tree.SetImage(e, CZqApp::GetJobStatusIcon(quint8(status)));

    HTREEITEM items = tree.AddItem(nullptr, QStringLiteral("Items"), 31200, 139);
    tree.AddItem(items, QStringLiteral("All"), 31201, 139);
    tree.AddItem(items, QStringLiteral("Not in Production"), 31202, 252);
    QString name;
    for (int status = 0; status <= 3; ++status) {
        if (app)
            app->GetScheduleStatusName(name, quint8(status));
        tree.AddItem(items, name, quint32(31203 + status), app ? app->GetScheduleStatusIcon(quint8(status)) : 139);
    }
    tree.AddTextItem(items, QStringLiteral("Items in Production"), 252);
    if (app)
        app->GetScheduleStatusName(name, kInProduction);
    tree.AddItem(items, name, 31207, app ? app->GetScheduleStatusIcon(kInProduction) : 139);
    if (app) {
        for (int i = 1; i < app->DepartmentList.size(); ++i) {
            const CListItem &dep = app->DepartmentList[i];
            // The picture of the item status, as the rows show it.
            tree.AddItem(items, dep.m_text, quint32(31207 + dep.m_value),
                         app->GetScheduleStatusIcon(quint8(dep.m_value + 4)));
        }
    }
    tree.AddTextItem(items, QStringLiteral("End Production"), 252);
    tree.AddItem(items, QStringLiteral("Done"), 31220, app ? app->GetScheduleStatusIcon(kDoneStatus) : 145);

    tree.AddRootItem(QStringLiteral("Schedule/Update by Service"), 253);
    HTREEITEM deps = tree.AddItem(nullptr, QStringLiteral("Departments"), 31300, 210);
    tree.AddItem(deps, QStringLiteral("All"), 31301, 210);
    if (app) {
        for (int i = 1; i < app->DepartmentList.size(); ++i) {
            const CListItem &dep = app->DepartmentList[i];
            tree.AddItem(deps, dep.m_text, quint32(31302 + dep.m_value), app->GetDepartmentIcon(dep.m_value) + 48);
        }
    }
    tree.AddItem(deps, QStringLiteral("Done"), 31399, 212);
    HTREEITEM centers = tree.AddItem(nullptr, QStringLiteral("Centers"), 31400, 146);
    tree.AddItem(centers, QStringLiteral("All"), 31401, 146);
    tree.AddItem(centers, QStringLiteral("?"), 31402, 147);
    // One entry per center, operator and tag, as their cell menus list them
    // (the "none" entries stand above already).
    const auto addMenuEntries = [&](HTREEITEM branch, CZqApp::PopupMenu which, quint32 none,
                                    const std::function<int(quint32)> &icon) {
        const QMenu *menu = app ? app->GetPopupMenu(which) : nullptr;
        if (!menu)
            return;
        for (const QAction *action : menu->actions()) {
            const quint32 id = action->data().toUInt();
            if (action->isSeparator() || id == 0 || id == none)
                continue;
            tree.AddItem(branch, action->text(), id, icon(id));
        }
    };
    addMenuEntries(centers, CZqApp::ProductionDeptsMenu, 31402, [](quint32) { return 148; });
    tree.AddItem(centers, QStringLiteral("Done"), 31499, 212);
    HTREEITEM dates = tree.AddItem(nullptr, QStringLiteral("Dates"), 31500, 174);
    tree.AddItem(dates, QStringLiteral("Any Date"), 31501, 127);
    tree.AddItem(dates, QStringLiteral("Late/Reschedule"), 31502, 128);
    const QDate today = platform::Clock::today();
    for (int k = 0; k <= 15; ++k) {
        const QDate day = today.addDays(k);
        QString text = day.toString(QStringLiteral("MM/dd/yy ")) + (k == 0 ? QStringLiteral("Today")
                                                                    : k == 15 ? QStringLiteral(" or Later")
                                                                              : QLocale::c().toString(day, QStringLiteral("dddd")));
        const int image = k == 0 ? 129 : k == 15 ? 137 : 129 + day.dayOfWeek() % 7 + 1;
        tree.AddItem(dates, text, quint32(31503 + k), image);
    }
    tree.AddItem(dates, QStringLiteral("Done"), 31599, 138);
    HTREEITEM operators = tree.AddItem(nullptr, QStringLiteral("Operators"), 31600, 125);
    tree.AddItem(operators, QStringLiteral("All"), 31601, 115);
    addMenuEntries(operators, CZqApp::OperatorsMenu, 0,
                   [](quint32 id) { return CZqApp::GetEmployeeIcon(quint8(id - 31602), 131); });
    tree.AddItem(operators, QStringLiteral("Done"), 31699, 212);
    HTREEITEM tags = tree.AddItem(nullptr, QStringLiteral("Tags"), 31700, 114);
    tree.AddItem(tags, QStringLiteral("All (assigned)"), 31701, 114);
    tree.AddItem(tags, QStringLiteral("(unassigned)"), 31702, 254);
    addMenuEntries(tags, CZqApp::TagsBMenu, 31702, [app](quint32 id) {
        QString tagName;
        int tagIcon = 114;
        app->GetTagNameAndIcon(quint8(id - 31702), tagName, tagIcon);
        return tagIcon;
    });
    HTREEITEM priorities = tree.AddItem(nullptr, QStringLiteral("Priorities"), 31800, 157);
    tree.AddItem(priorities, QStringLiteral("All (assigned)"), 31801, 157);
    tree.AddItem(priorities, QStringLiteral("(unassigned)"), 31802, 254);
    for (int n = 1; n <= 12; ++n) {
        int icon = 157;
        if (app && app->GetStockStatusNameAndIcon(quint8(n), name, icon))
            tree.AddItem(priorities, name, quint32(31802 + n), icon);
    }

    tree.AddRootItem(QStringLiteral("View Summary of Services"), 253);
    tree.AddBranch(kSummaryBranch, 31900, 185, 185);
    HTREEITEM done = tree.AddBranch(kSummaryBranch, 32000, 212, 212);
    done->setText(0, QStringLiteral("Summary-Done"));
    tree.AddRootItem(QStringLiteral("View/Update Status of Items"), 253);
    tree.AddBranch(kTrackerBranch, 32100, 139, 139);
    m_bTreeFilling = false;
}

// --- enabling -------------------------------------------------------------------------

bool CViewSchedule::IsCommandEnabled(int id)
{
    const int n = m_list ? m_list->GetItemCount() : 0;
    const bool summary = m_nListKind == 8 || m_nListKind == 9;
    switch (id) {
    case 30100: case 30124: return false;
    case 30120: case 30121: return n > 0;
    case 30330: return true;
    case 30102: case 30103: case 30406: return !summary && n > 0;
    case 30728: return m_nListKind == 0 && n > 0;
    case 30729: return m_nListKind == 1 && n > 0;
    case 30530: case 30531: return (m_nListKind == 0 || m_nListKind == 1) && n > 0;
    default: return CView0::IsCommandEnabled(id);
    }
}

// --- filling --------------------------------------------------------------------------

void CViewSchedule::FillList()
{
    NoteListed();
    const int code = m_nChosenCode;
    if (code <= kCodeBase || code % 100 == 0)
        return;
    m_nListCommand = code;
    m_nListKind = (code - kCodeBase) / 100;
    qint64 keep = 0;
    if (code == m_nPreviousCommand && m_list->GetSelectedCount() > 0) {
        const int row = m_list->GetCurrentRow();
        if (row >= 0 && !IsExpandable(row))
            keep = m_list->GetSelectedData();
    }
    m_nPreviousCommand = code;

    QElapsedTimer timer;
    timer.start();
    DateTime started = DateTime::fromDateTime(platform::Clock::now());
    m_lists.options = m_nListOption;
    m_lists.filter = m_strFilterSql;
    // Long lists run behind a progress window whose Stop keeps the rows read.
    std::unique_ptr<CStatusDlg> status;
    // A big shop's query shows the window first, without a count; the
    // count of rows to read follows.
    m_lists.progress = [this, &status](int done, int total) {
        // While the query itself works: repaints and the Stop button.
        if (total < 0) {
            LongRun::Pump();
            return status && status->IsRunning();
        }
        if (!status)
            status = std::make_unique<CStatusDlg>(this);
        if ((!status->IsRunning() && done == 0) || status->total() != total) {
            status->Start(total, QStringLiteral("Listing ") + m_strListCaption, total > 0, true);
            // Shown now, before the query keeps the program busy.
            LongRun::Pump();
        }
        return done == 0 || status->Step();
    };
    // A long services list shows its first screen as soon as its rows are
    // made, and then the rows after it part by part, while the progress
    // window's Stop keeps what was read.
    int rowsShown = -1;
    QElapsedTimer sinceShown;
    m_lists.rowsMade = [this, &rowsShown, &sinceShown](const ScheduleTable &made) {
        // The rows after the first screen join it a few times a second.
        if (rowsShown >= 0 && sinceShown.elapsed() < kRowsShownEveryMs)
            return;
        if (rowsShown < 0) {
            m_nShift = int(made.statusColumns.size());
            ShowTable(made);
            m_statusBar->SetItemText(30262, QStringLiteral("Grouped by %1.").arg(made.groupCaption));
        } else {
            InsertRows(rowsShown, made.rows.mid(rowsShown));
        }
        rowsShown = int(made.rows.size());
        m_listBar->SetItemText(30673, QStringLiteral("%1      (%2 %3 listed)")
                                          .arg(m_strListCaption, QString::number(made.listedCount), made.unitWord));
        m_list->viewport()->update();
        LongRun::Pump();
        sinceShown.start();
    };
    // The callbacks above live on this call's stack: they go with it, also
    // when reading fails.
    const auto forget = qScopeGuard([this] {
        m_lists.rowsMade = {};
        m_lists.progress = {};
    });
    const int entry = code % 100;
    ScheduleTable table;
    switch (m_nListKind) {
    case 0: table = m_lists.ListOrders(entry); break;
    case 1: table = m_lists.ListItems(code); break;
    case 8: table = m_lists.ListCrosstab(entry, false); break;
    case 9: table = m_lists.ListCrosstab(entry, true); break;
    case 2: case 3: case 4: case 5: case 6: case 7: table = m_lists.ListServices(code); break;
    case 10: table = m_lists.ListItems(code); break;
    default: return;
    }
    if (QApplication::keyboardModifiers() & Qt::ControlModifier)
        QGuiApplication::clipboard()->setText(table.sql);
    m_table = table;
    m_nShift = int(table.statusColumns.size());
    if (rowsShown < 0) {
        ShowTable(table);
    } else {
        // The rows shown take the time sums of their headings, and the rest
        // of the rows follow them.
        for (int row = 0; row < rowsShown && row < table.rows.size(); ++row) {
            const ScheduleRow &made = table.rows[row];
            if (made.kind != 'S' && made.hasText(C::ColTime))
                m_list->SetItemText(row, C::ColTime, made.text(C::ColTime));
        }
        InsertRows(rowsShown, table.rows.mid(rowsShown));
        m_list->viewport()->update();
    }
    m_nListed = table.listedCount;
    m_strLastListSql = table.sql;
    m_bExpandingAll = true;
    if (table.expandAll && (m_nListKind <= 1 || m_nListKind == 10)) {
        for (int row = m_list->GetItemCount() - 1; row >= 0; --row)
            if (m_list->GetSubItemImage(row, C::ColExpand) == C::Collapsed)
                ExpandRow(row);
    }
    if (keep != 0) {
        const int row = m_list->FindItemByData(keep, true);
        if (row >= 0 && m_list->GetSubItemImage(row, C::ColExpand) == C::Collapsed)
            ExpandRow(row);
    }
    m_bExpandingAll = false;
    // Every column as wide as the texts of the rows listed.
    m_list->KeepTextsWhole();

    QString filter = m_strFilterText;
    filter.remove(QLatin1Char('#'));
    // "%s      (%d %s listed)  %s": list title, count, unit word, filter.
    m_listBar->SetItemText(30673, QStringLiteral("%1      (%2 %3 listed)  %4")
                                      .arg(m_strListCaption, QString::number(m_nListed), table.unitWord, filter));
    QString elapsed;
    FormatElapsedTime(elapsed, started);
    // The grouping on one line; the time the query took in its tip.
    m_statusBar->SetItemText(30262, QStringLiteral("Grouped by %1.").arg(table.groupCaption));
    m_statusBar->SetItemTip(30262, QStringLiteral("Grouped by %1.  Query took %2.").arg(table.groupCaption, elapsed));
    UpdateRibbonStates();
}

void CViewSchedule::ShowTable(const ScheduleTable &table)
{
    m_list->ClearList(false);
    m_list->SetDrawStyle(table.drawMode, 0xFFFFFF, 0, 0, 167);
    bool firstColumn = true;
    for (const ScheduleColumn &column : table.columns) {
        m_list->AddColumn(column.title, column.width, column.type, firstColumn);
        firstColumn = false;
    }
    m_list->LoadColumnWidths(GetListKey(), true);
    InsertRows(0, table.rows);
    m_list->viewport()->update();
}

void CViewSchedule::InsertRows(int at, const QList<ScheduleRow> &given)
{
    const int columns = m_list->GetColumnCount();
    QList<ScheduleRow> rows = given;
    for (ScheduleRow &r : rows)
        if (m_nShift > 0 && r.size() <= C::ColumnCount)
            ScheduleLists::WidenRow(r, m_nShift);
    for (const ScheduleRow &r : rows) {
        const int image0 = r.image(0);
        const int row = m_list->InsertRow(at, r.text(0), r.key, isImage(image0) ? image0 : kNone);
        for (int c = 1; c < columns && c < r.size(); ++c) {
            if (r.hasText(c))
                m_list->SetItemText(row, c, r.text(c));
            const int image = r.image(c);
            if (isImage(image))
                m_list->SetSubItemImage(row, c, image);
        }
        ++at;
    }
}

void CViewSchedule::SetCell(int row, int column, const QString &text, int image)
{
    m_list->SetItemText(row, column, text);
    m_list->SetSubItemImage(row, column, isImage(image) ? image : kNone);
}

// --- row kinds ------------------------------------------------------------------------

bool CViewSchedule::IsOrderRow(int row)
{
    const int image = m_list->GetSubItemImage(row, C::ColOrder);
    return image >= 24 && image <= 35 && !IsItemRow(row);
}

bool CViewSchedule::IsItemRow(int row)
{
    const int image = m_list->GetSubItemImage(row, C::ColStatus);
    return (image >= 139 && image <= 145) || (image >= 60 && image <= 71) || image == 96 || image == 99
        || image == 156;
}

bool CViewSchedule::IsServiceRow(int row)
{
    const int image = m_list->GetSubItemImage(row, C::ColTitle);
    return image >= 48 && image <= 95;
}

bool CViewSchedule::IsExpandable(int row)
{
    const int image = m_list->GetSubItemImage(row, C::ColExpand);
    return image == C::Collapsed || image == C::Expanded;
}

bool CViewSchedule::IsPreviewRow(int row)
{
    return m_list->GetSubItemImage(row, C::ColGroup) == C::PreviewRow;
}

int CViewSchedule::GetDragImage(int row, int column)
{
    if (IsOrderRow(row))
        return m_list->GetSubItemImage(row, C::ColOrder);
    if (IsItemRow(row))
        return m_list->GetSubItemImage(row, C::ColStatus);
    if (IsServiceRow(row))
        return m_list->GetSubItemImage(row, C::ColTitle);
    return -1;
}

QList<int> CViewSchedule::SelectedRows()
{
    QList<int> rows;
    const int n = m_list->GetItemCount();
    for (int row = 0; row < n; ++row)
        if (m_list->IsItemSelected(row))
            rows.append(row);
    return rows;
}

int CViewSchedule::ItemRowAbove(int row)
{
    for (int r = row; r >= 0; --r) {
        if (IsItemRow(r) && (m_nListKind <= 1 || !IsServiceRow(r)))
            return r;
    }
    return -1;
}

int CViewSchedule::OrderRowOf(int row)
{
    if (m_nListKind != 0)
        return -1;
    for (int r = row; r >= 0; --r)
        if (IsExpandable(r))
            return r;
    return -1;
}

// --- expanding ------------------------------------------------------------------------

void CViewSchedule::ExpandRow(int row)
{
    if (row < 0 || row >= m_list->GetItemCount())
        return;
    const qint64 key = m_list->GetItemData(row);
    if (key <= 0 || m_list->GetSubItemImage(row, C::ColExpand) == C::Expanded)
        return;
    const QList<ScheduleRow> rows = (m_nListKind == 0 && IsOrderRow(row)) ? m_lists.ExpandOrder(key, m_nListKind)
                                                                          : m_lists.ExpandItem(key, m_nListKind);
    if (rows.isEmpty())
        return;
    m_list->SetSubItemImage(row, C::ColGroup, C::ExpandedHead);
    m_list->SetSubItemImage(row, C::ColExpand, C::Expanded);
    InsertRows(row + 1, rows);
    // A user's opening of one row: its new texts show whole.
    if (!m_bExpandingAll)
        m_list->KeepTextsWhole();
}

void CViewSchedule::CollapseRow(int row)
{
    m_list->SetSubItemImage(row, C::ColGroup, kNone);
    m_list->SetSubItemImage(row, C::ColExpand, C::Collapsed);
    while (row + 1 < m_list->GetItemCount() && !IsExpandable(row + 1) && m_list->GetItemData(row + 1) != 0)
        m_list->DeleteItem(row + 1);
}

void CViewSchedule::OnExpandAll()
{
    if (m_nListKind != 0 && m_nListKind != 1)
        return;
    for (int row = m_list->GetItemCount() - 1; row >= 0; --row)
        if (m_list->GetSubItemImage(row, C::ColExpand) == C::Collapsed)
            ExpandRow(row);
}

void CViewSchedule::Flatten()
{
    for (int row = m_list->GetItemCount() - 1; row >= 0; --row) {
        if (m_list->GetItemData(row) == 0 || IsPreviewRow(row))
            m_list->DeleteItem(row);
        else if (m_list->GetSubItemImage(row, C::ColExpand) == C::Expanded)
            m_list->SetSubItemImage(row, C::ColExpand, C::Collapsed);
    }
}

void CViewSchedule::OnCollapseAll()
{
    if (m_nListKind > 1) {
        Flatten();
        return;
    }
    for (int row = m_list->GetItemCount() - 1; row >= 0; --row) {
        const int mark = m_list->GetSubItemImage(row, C::ColExpand);
        if (mark == C::Collapsed)
            continue;
        if (mark == C::Expanded) {
            m_list->SetSubItemImage(row, C::ColExpand, C::Collapsed);
            m_list->SetSubItemImage(row, C::ColGroup, kNone);
        } else {
            m_list->DeleteItem(row);
        }
    }
}

void CViewSchedule::OnListClick(int row, int column, bool onImage)
{
    if (row < 0)
        return;
    if (column == C::ColExpand) {
        const int mark = m_list->GetSubItemImage(row, C::ColExpand);
        if (mark == C::Collapsed)
            ExpandRow(row);
        else if (mark == C::Expanded)
            CollapseRow(row);
        return;
    }
    if (m_nListKind == 10) {
        if (column < C::ColBlank || column >= C::ColBlank + m_nShift)
            return;
        if (IsPreviewRow(row) || !IsItemRow(row)) {
            if (IsPreviewRow(row))
                platform::Prompt::messageBox(QStringLiteral("Sorry, you may not make changes in Item Preview."));
            return;
        }
        const int status = m_table.statusColumns.value(column - C::ColBlank);
        const int image = m_list->GetSubItemImage(row, column);
        if (status >= 5 && status <= 16 && !isImage(image)) {
            platform::Prompt::messageBox(QStringLiteral("Sorry, you may not move the Item to ")
                                         + m_list->GetColumnText(column));
            return;
        }
        SetItemStatus(row, -1, status);
        return;
    }
    // A click on a service's state icon: a service to do is marked done, a
    // done one is scheduled for today. With option 0x40000 only while Ctrl
    // is held. A click on the row's text (or the first of a double-click
    // that opens the order) changes nothing.
    if (column != C::ColTitle || !onImage || !IsServiceRow(row))
        return;
    if ((m_nListOption & 0x40000) && !(QApplication::keyboardModifiers() & Qt::ControlModifier))
        return;
    const int image = m_list->GetSubItemImage(row, C::ColTitle);
    SetServiceDate(row, image <= 59 ? kUnscheduleCommand : kScheduleTodayCommand);
}

bool CViewSchedule::SetServiceDate(int row, int id)
{
    CItemSet service;
    const qint32 itemId = qint32(m_list->GetItemData(row));
    if (itemId <= 0 || !service.OpenByItemID(itemId) || service.m_SerNo == 0)
        return false;
    CJobSet job;
    job.m_strFilter = QStringLiteral("JobType = 0 and JobID = %1").arg(service.m_JobID);
    if (!job.RequeryOrOpen(false) || job.IsEOF())
        return false;
    DateTime date;
    const quint8 day = CheckCanSchedule(id, job.m_DateIn, job.m_DateDue, date);
    if (day == kScheduleRefused)
        return false;
    if (service.SetServiceStatus(day, 0, itemId) == 0)
        return false;
    // The row shows the new state and day.
    CZqApp *app = ZqApp();
    const qint32 catNo = app ? app->GetServiceCategory(service.m_SerNo) : 0;
    int icon = app ? app->GetCategoryStateIcon(catNo, day) : 48;
    if (icon < 48 || icon > 95)
        icon = day == 0 ? 84 : 48;
    m_list->SetSubItemImage(row, C::ColTitle, icon);
    if (day > 0 && job.m_DateIn.isValid()) {
        const QDate when = job.m_DateIn.date().addDays(day - 1);
        SetCell(row, Col(C::ColDate), ScheduleDateText(when), ScheduleDateIcon(when, platform::Clock::today()));
    } else if (day == 0) {
        m_list->SetSubItemImage(row, Col(C::ColDate), icon);
    }
    SetItemStatus(-1, row, 255);
    NoteListed(); // the rows show what was written
    return true;
}

int CViewSchedule::OnServiceDate(int id)
{
    int changed = 0;
    WaitCursor wait;
    for (int row : SelectedRows())
        if (IsServiceRow(row))
            changed += SetServiceDate(row, id) ? 1 : 0;
    return changed;
}

void CViewSchedule::OnColumnClick(int column)
{
    const qint64 selected = m_list->GetSelectedCount() > 0 ? m_list->GetSelectedData() : 0;
    const bool listed = m_nListKind >= 0 && m_nListKind <= 7;
    if (column == 0 && (listed || m_nListKind == 10)) {
        const int bit = m_nListKind == 0 ? 0x1 : (m_nListKind == 1 || m_nListKind == 10) ? 0x10 : 0x400;
        m_nListOption ^= bit;
        OnCommand(30401);
    } else if (m_nListKind == 0 || m_nListKind == 1) {
        OnCollapseAll();
        m_list->OnColumnClick(column);
    } else if (listed) {
        Flatten();
        m_list->OnColumnClick(column);
    } else {
        platform::Prompt::messageBox(QStringLiteral("Sorry, you may not re-sort this list."));
        return;
    }
    const int row = selected != 0 ? m_list->FindItemByData(selected, true) : -1;
    if (row < 0 && m_list->GetItemCount() > 0)
        m_list->SelectItem(0);
}

// --- commands -------------------------------------------------------------------------

bool CViewSchedule::OnCommand(int id)
{
    if (id >= 31102 && id <= 31104) {
        OnOrderStatus(id - 31102);
        return true;
    }
    if (id >= 31201 && id <= 31299) {
        OnItemStatus(id - 31203);
        return true;
    }
    if (id >= 31601 && id <= 31699) {
        OnAssign(1, id - 31602);
        return true;
    }
    if (id >= 31701 && id <= 31799) {
        OnAssign(2, id - 31702);
        return true;
    }
    if (id >= 31802 && id <= 31899) {
        OnAssign(3, id - 31802);
        return true;
    }
    if (id >= 31501 && id <= 31599) {
        OnServiceDate(id);
        return true;
    }
    if (id >= 31401 && id <= 31499) {
        OnCenter(id - 31402);
        return true;
    }
    if (id == 30330) {
        // The printed list names its size as the screen counts it: the
        // orders, items or services listed, not the date headings, spacer
        // rows and rows opened under them.
        PrintView([this](ViewPrintRequest &request) { request.listedCount = m_nListed; });
        return true;
    }
    switch (id) {
    case 30401:
        if (isDragging())
            return true;
        if (ReadTreeSelection()) {
            ClearFilter();
            FillList();
        }
        return true;
    case 30101:
        OnFindOrder();
        return true;
    case 30728:
        UpdateSelectedOrderStatus();
        return true;
    case 30729:
        OnUpdateItemStatus();
        return true;
    case 30530:
        OnExpandAll();
        return true;
    case 30531:
        OnCollapseAll();
        return true;
    case 30064:
        platform::Prompt::messageBox(TotalsText());
        return true;
    case 30102: case 30103:
        if (QApplication::keyboardModifiers() & Qt::ControlModifier)
            OpenContextJob();
        else
            ScheduleContextOrder();
        return true;
    case 30406:
        OnJobDates();
        return true;
    case 30331:
        OpenContextJob();
        return true;
    case 30534:
        // The find dialog for orders; its condition becomes the list's filter.
        if (RunFindDialog(QStringLiteral("Orders"), false, false))
            FillList();
        return true;
    case 30541:
        OnListOptions();
        return true;
    case 30543:
        OnItemOptions();
        return true;
    case 30720: case 30721: case 30722: case 30723: case 30724:
        OnSetupTable(id);
        return true;
    case 30741: case 30742: case 30743: case 30744: case 30745: case 30746:
        OnInventory(id);
        return true;
    case 30747:
        OnInventoryHistory();
        return true;
    case 30749:
        OnInventoryOptions();
        return true;
    case 30748:
        if (const ListXmlExporter &exporter = listXmlExporter())
            exporter(QStringLiteral("Inventory"), QStringLiteral("InventoryOrders "), QStringLiteral("Inventory Ordered"));
        else
            ReportNotAvailable(QStringLiteral("Exporting the inventory history as XML"));
        return true;
    case kInventoryButton: {
        const QPoint at = QCursor::pos();
        const int chosen = ShowPopupMenu(kListMenus, kInventoryMenu, at.x(), at.y(), this, 0);
        if (chosen != 0)
            RunCommand(chosen);
        return true;
    }
    case kSettingsButton:
        // "All Settings..." of the button's menu: the settings view.
        emit switchViewRequested(kSettingsView);
        return true;
    default:
        return CView0::OnCommand(id);
    }
}

void CViewSchedule::OnInventory(int mode)
{
    qint32 key = 0;
    if (mode == 30745) {
        key = ContextJobId();
        if (key <= 0)
            return;
    } else if (mode == 30746) {
        // Only a selected service row whose item row loads.
        const int row = m_list->GetCurrentRow();
        if (row < 0 || row >= m_list->GetItemCount() || !IsServiceRow(row) || !m_list->IsItemSelected(row))
            return;
        CItemSet service;
        if (!service.OpenByItemID(qint32(m_list->GetItemData(row))) || service.m_SerNo == 0)
            return;
        key = service.m_SerNo;
    }
    CInventory dialog(mode, key, this);
    // The working modes list every department, or the one chosen in the
    // tree while the services are listed by department.
    if (mode <= 30744)
        dialog.m_nDepartment =
            m_nListKind == 2 && m_nListCommand >= 31302 && m_nListCommand <= 31398 ? m_nListCommand - 31302 : 0;
    if (dialog.DoModal() == IDOK_RESULT && mode != 30741)
        PostCommand(30121);
}

void CViewSchedule::OnInventoryHistory()
{
    if (!SharedDatabase().tableExists(QStringLiteral("Inventory")))
        return;
    QString where;
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) {
        // With Ctrl the history is first narrowed through the find dialog.
        const FindPromptRunner &prompt = GetFindPrompt();
        if (!prompt) {
            ReportNotAvailable(QStringLiteral("The find dialog"));
            return;
        }
        FindRequest request;
        request.kind = QStringLiteral("Inventory");
        request.advanced = true;
        request.hue = m_nHue;
        if (prompt(request, this) != 1)
            return;
        if (!request.filter.isEmpty())
            where = QStringLiteral("WHERE ") + request.filter;
    }
    const QString sql = QStringLiteral(
        "SELECT Inventory.ActionDate, Vendors.Name as [Vendor_w_100], IIF(Inventory.Action=2, 'Received <<', "
        "'Ordered') as [Action_w_70], ServiceCategories.CatName & ': ' & Services.Name as [Service_w_200], "
        "Services.Size, Services.SKU, Inventory.ActionQty as [Quantity], Inventory.Cost, Inventory.OrderNo, "
        "Inventory.Status, Inventory.InvID FROM (ServiceCategories INNER JOIN (Inventory INNER JOIN Services ON "
        "Inventory.SerNo = Services.SerNo) ON ServiceCategories.CatNo = Services.CatNo) LEFT JOIN Vendors ON "
        "Inventory.Vendor = Vendors.[No] ") + where + QStringLiteral(" ORDER BY Inventory.OrderNo DESC, Vendors.Name");
    CDlgList list(QStringLiteral("Inventory"), QStringLiteral("History"), sql, 0, 0, 0, 90, this);
    list.m_strStripText = QStringLiteral("Sorted by Inventory Order No, Vendor Name");
    list.DoModal();
}

void CViewSchedule::OnInventoryOptions()
{
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(-1, QStringLiteral("change the inventory options")))
        return;
    struct Bit
    {
        int bit;
        const char *group;
        const char *text;
    };
    static const Bit bits[] = {
        {0x1, "Which Services do you want to list in the Check Inventory and Order Inventory windows?",
         "Only the Services of Orders-In-Progress (uncheck to list Services of All Orders)"},
        {0x2, nullptr, "Only the Services of Items-In-Production (uncheck to list Services of All Items)"},
        {0x4, nullptr, "(reserved)"},
        {0x8, "After checking a Service as Done:", "Open Quantity Used window to confirm/edit Quantity Used"},
        {0x10, nullptr, "If Quantity Used is edited, update Actual Quantity and Cost of the Job"},
        {0x20, "Other Options:", "Sort Services by Vendor (uncheck to sort by Service Category)"},
        {0x40, nullptr, "Save Unit Cost, if edited. IMPORTANT: This option effects pricing. Uncheck if not sure."},
        {0x80, nullptr, "Allow ordering/editing inventory from the Job window (uncheck to preview)"}};
    CItemSet::InventoryRules rules = CItemSet::GetInventoryRules();
    // Read as the window opens: another workstation may have saved them.
    rules.optionBits = GetOptionValue(30749, rules.optionBits);
    CDlgOptions dialog(QStringLiteral("Inventory Options"), QStringLiteral("These options are for ALL computers"), 0,
                       this);
    for (const Bit &b : bits) {
        if (b.group)
            dialog.AddCheckGroup(QString::fromLatin1(b.group), 0);
        dialog.AddEntry(b.bit, QString::fromLatin1(b.text), (rules.optionBits & b.bit) ? 1 : 0);
    }
    OptionNames names;
    names.bit = [](int bit) {
        for (const Bit &b : bits)
            if (b.bit == 1 << bit)
                return QString::fromLatin1(b.text);
        return QString::number(bit + 1);
    };
    // Only the options changed here are written, onto the row as it is now;
    // a Cancel on the question about another user's save shows the window
    // again with every choice.
    for (;;) {
        if (dialog.DoModal() != platform::IDOK)
            return;
        int mask = rules.optionBits & ~0xFF;
        for (const Bit &b : bits)
            if (dialog.tree() && dialog.tree()->IsOptionChecked(unsigned(b.bit)))
                mask |= b.bit;
        if (mask == rules.optionBits)
            return;
        if (SaveOptionValue(30749, rules.optionBits, mask, names))
            break;
        // A shop opened read-only refuses once, and the window closes.
        if (SharedDatabase().isReadOnly())
            return;
    }
    // The new rules apply only once they are saved for all computers, as
    // the file holds them now.
    rules.optionBits = GetOptionValue(30749, rules.optionBits);
    CItemSet::SetInventoryRules(rules);
}

int CViewSchedule::DoubleClickCommand(int row, int column)
{
    if (row < 0 || row >= m_list->GetItemCount() || m_list->GetItemData(row) == 0)
        return 0;
    if (column == C::ColBlank)
        return 30406;
    if (column == C::ColPriority)
        return IsServiceRow(row) ? 30746 : 30745;
    return 30102;
}

int CViewSchedule::CellMenuFor(int row, int column)
{
    if (row < 0 || row >= m_list->GetItemCount() || m_nListKind == 8 || m_nListKind == 9)
        return -1;
    // Columns after the tracker's status columns are named as in the other lists.
    if (column >= C::ColBlank) {
        if (column < C::ColBlank + m_nShift)
            return -1;
        column -= m_nShift;
    }
    if (IsServiceRow(row)) {
        switch (column) {
        case C::ColStatus: case C::ColTitle: return CZqApp::ScheduleStatusMenu;
        case C::ColDate: return CZqApp::DatesMenu;
        case C::ColOperator: return CZqApp::OperatorsMenu;
        case C::ColTag: return CZqApp::TagsBMenu;
        case C::ColPriority: return CZqApp::InventoryStatusMenu;
        default: return -1;
        }
    }
    if (IsItemRow(row)) {
        switch (column) {
        case C::ColStatus: return CZqApp::ScheduleStatusMenu;
        case C::ColTag: return CZqApp::TagsAMenu;
        case C::ColPriority: return CZqApp::InventoryStatusMenu;
        default: return -1;
        }
    }
    if (IsOrderRow(row) && column == C::ColOrder)
        return CZqApp::JobStatusMenu;
    return -1;
}

void CViewSchedule::OnListContextMenu(const QPoint &point)
{
    int row = -1;
    int column = -1;
    if (!m_list->HitTestCell(point, row, column) || row < 0)
        return;
    CZqApp *app = ZqApp();
    const int which = CellMenuFor(row, column);
    QMenu *menu = (app && which >= 0) ? app->GetPopupMenu(CZqApp::PopupMenu(which)) : nullptr;
    if (!menu) {
        // Cells without a menu of their own: the inventory commands on a
        // service's quantity, the list's commands anywhere else.
        if (!m_list->IsItemSelected(row))
            m_list->SelectItem(row);
        const QPoint at = m_list->viewport()->mapToGlobal(point);
        const int id = ShowPopupMenu(kListMenus, FallbackMenuFor(row, column), at.x(), at.y(), this, 0);
        if (id != 0)
            RunCommand(id);
        return;
    }
    // The entry that the cell shows is checked.
    const QString shown = m_list->GetItemText(row, column);
    const bool marks = column == C::ColStatus || column == Col(C::ColOperator) || column == Col(C::ColTag)
        || column == Col(C::ColPriority);
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        action->setCheckable(marks);
        action->setChecked(marks && action->text() == shown);
    }
    if (!m_list->IsItemSelected(row))
        m_list->SelectItem(row);
    if (QAction *chosen = menu->exec(m_list->viewport()->mapToGlobal(point)))
        RunCommand(chosen->data().toInt());
}

int CViewSchedule::FallbackMenuFor(int row, int column)
{
    return column == C::ColQuantity && IsServiceRow(row) ? kInventoryMenu : kScheduleListMenu;
}

bool CViewSchedule::OnListOptions()
{
    static const char *const groups[4] = {"Order List:", "Item List:", "Service Lists:", "Other Options:"};
    static const int firstBits[4] = {0, 4, 10, 18};
    static const char *const texts[20] = {
        "Group by Job Due Date", "+ then by Order Status", "+ then by Customer Name",
        "Sort Orders Ascending 1-> 9 (uncheck to list the last Order first)", "Group by Job Due Date",
        "+ then by Item Status", "+ then by Customer Name", "+ then by Item Tag Sort Number",
        "+ then by Item Priority", "List All Items (uncheck to list only Items of Orders in Progress)",
        "Group by Service Date", "+ then by Service Category Sort Number", "+ then by Service Operator Sort Number",
        "+ then by Customer Name", "+ then by Service Tag Sort Number", "+ then by Service Priority",
        "List All Services (uncheck to list Services of Orders in Progress & Items in Production)",
        "Include Services Done (uncheck to list only Services To-Do)",
        "Hold Ctrl key down to mark a Service as Done/To-Do (to reduce errors)",
        "If Item is on Hold, Wait or Proof, ask me to update the Item Status"};
    CDlgOptions dialog(QStringLiteral("Scheduler List Options"), QString(), 0, this);
    int group = 0;
    for (int bit = 0; bit < 20; ++bit) {
        if (group < 4 && bit == firstBits[group])
            dialog.AddCheckGroup(QString::fromLatin1(groups[group++]), 0);
        dialog.AddEntry(bit + 1, QString::fromLatin1(texts[bit]), (m_nListOption >> bit) & 1);
    }
    if (dialog.DoModal() != platform::IDOK)
        return false;
    int mask = m_nListOption & ~0xFFFFF;
    for (int bit = 0; bit < 20; ++bit)
        if (dialog.tree() && dialog.tree()->IsOptionChecked(unsigned(bit + 1)))
            mask |= 1 << bit;
    if (mask == m_nListOption)
        return false;
    m_nListOption = mask;
    if (CZqApp *app = ZqApp())
        app->WriteSettingInt(QStringLiteral("List Options"), mask, CZqApp::kScheduler);
    OnCommand(30401);
    return true;
}

QString CViewSchedule::TotalsText()
{
    // Each row's time is a count of minutes; their sum is worked and shown
    // in 64 bits, never wrapped.
    int timeCount = 0;
    qint64 minutes = 0;
    int eachCount = 0;
    qint64 quantity = 0;
    for (int row : SelectedRows()) {
        if (!IsServiceRow(row))
            continue;
        ++timeCount;
        minutes += HoursMinutesToInt(m_list->GetItemText(row, Col(C::ColTime)));
        ++eachCount;
        QString q = m_list->GetItemText(row, Col(C::ColQuantity));
        q.remove(QLatin1Char(','));
        quantity += q.toLongLong();
    }
    return QStringLiteral("You have Selected:\n\n%1 Services by Time:\t%2\n%3 Services by Each:\t%4")
        .arg(QString::number(timeCount),
             QString::asprintf("%s%lld:%02lld", minutes < 0 ? "-" : "", std::abs(minutes) / 60, std::abs(minutes) % 60),
             QString::number(eachCount),
             GroupThousands(QString::number(quantity)));
}

void CViewSchedule::OnFindOrder()
{
    CDlgData dialog(QString(), 0, QStringLiteral("Find"), QStringLiteral("Order Number:"),
                    QStringLiteral("Type the Order Number you're looking for."), this);
    if (dialog.DoModal() != platform::IDOK)
        return;
    FindOrder(dialog.m_strValue);
}

void CViewSchedule::FindOrder(const QString &typed)
{
    // Only an order number may reach the statement: anything else is not found.
    const QString number = typed.trimmed();
    bool ok = !number.isEmpty();
    for (QChar ch : number)
        ok = ok && ch.isDigit();
    if (!ok || number.size() > 9) {
        platform::Prompt::messageBox(QStringLiteral("Not found!"));
        return;
    }
    SelectTreeCode(31101);
    ReadTreeSelection();
    setFilter(QStringLiteral("Jobs.JobNo = ") + number, QStringLiteral("Jobs.JobNo = ") + number);
    FillList();
    if (m_list->GetItemCount() == 0)
        platform::Prompt::messageBox(QStringLiteral("Not found!"));
    setFocus();
}

// --- order status ---------------------------------------------------------------------

void CViewSchedule::RepaintOrderRow(int row, qint32 jobId)
{
    const int status = OrderStatusRules::CurrentStatus(jobId);
    if (status < 0)
        return;
    int target = row;
    if (m_nListKind == 0)
        target = OrderRowOf(row);
    else if (m_nListKind == 1)
        target = ItemRowAbove(row);
    if (target < 0)
        return;
    QString name;
    CZqApp::GetJobStatusName(name, quint8(status));
    if (m_nListKind == 0)
        m_list->SetItemText(target, C::ColGroup, name);
    m_list->SetSubItemImage(target, C::ColOrder, CZqApp::GetJobStatusIcon(quint8(status)));
}

void CViewSchedule::MarkItemsDone(int orderRow)
{
    if (orderRow < 0 || m_list->GetSubItemImage(orderRow, C::ColExpand) != C::Expanded)
        return;
    CZqApp *app = ZqApp();
    for (int row = orderRow + 1; row < m_list->GetItemCount(); ++row) {
        if (IsServiceRow(row)) {
            const int image = m_list->GetSubItemImage(row, C::ColTitle);
            if (image >= 48 && image <= 59)
                m_list->SetSubItemImage(row, C::ColTitle, image + 36);
            continue;
        }
        if (!IsItemRow(row))
            break;
        m_list->SetSubItemImage(row, C::ColStatus, app ? app->GetScheduleStatusIcon(kDoneStatus) : 156);
    }
}

int CViewSchedule::OnOrderStatus(int status)
{
    int changed = 0;
    WaitCursor wait;
    for (int row : SelectedRows()) {
        if (!IsOrderRow(row))
            continue;
        const qint32 jobId = m_list->GetItemText(row, C::ColJobId).toInt();
        QList<qint32> finished;
        const OrderStatusRules::Result result = OrderStatusRules::SetOrderStatus(jobId, status, &finished);
        if (result == OrderStatusRules::Failed) {
            // With the shop's inventory each service is its own write: those
            // finished before the refusal are stored, and shown so.
            ShowServicesDone(finished);
            platform::Prompt::messageBox(
                finished.isEmpty()
                    ? QStringLiteral("The status of Order %1 could not be changed; nothing was written.")
                          .arg(m_list->GetItemText(row, C::ColOrder))
                    : QStringLiteral("The status of Order %1 could not be changed. The %2 service(s) finished "
                                     "before stay finished.")
                          .arg(m_list->GetItemText(row, C::ColOrder))
                          .arg(finished.size()));
            continue;
        }
        if (result != OrderStatusRules::Changed)
            continue;
        ++changed;
        RepaintOrderRow(row, jobId);
        if (OrderStatusRules::CurrentStatus(jobId) == OrderStatusRules::kReadyToShip)
            MarkItemsDone(m_nListKind == 0 ? row : -1);
    }
    //NL
    return changed;
}

int CViewSchedule::UpdateSelectedOrderStatus()
{
    const QString question =
        QStringLiteral("This process will update the status of selected Orders:\n\nIf Order is In Progress and its "
                       "Services are done,\nthe status will be Ready to Ship.\n\nIf Order is Ready to Ship and one "
                       "Service is not done yet,\nthe status will be In Progress.\n\nIf Order is On Hold or Ready to "
                       "Post,\nthe status will not change.\n")
        + QStringLiteral("\nStart updating the status of selected Orders?");
    if (platform::Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return 0;
    const int count = OnOrderStatus(OrderStatusRules::kAutomatic);
    platform::Prompt::messageBox(QStringLiteral("Updated the status of ") + QString::number(count)
                                 + QStringLiteral(" Order(s)."));
    return count;
}

// --- item status ----------------------------------------------------------------------

bool CViewSchedule::SetItemStatus(int itemRow, int serviceRow, int status)
{
    CItemSet item;
    qint32 itemId = 0;
    if (itemRow >= 0) {
        itemId = qint32(m_list->GetItemData(itemRow));
        if (!item.OpenByItemID(itemId))
            return false;
    } else {
        // The item of a service row: the same job, item and sub-item.
        CItemSet service;
        if (!service.OpenByItemID(qint32(m_list->GetItemData(serviceRow))))
            return false;
        item.m_strFilter = QStringLiteral("JobID = %1 and ItemNo = %2 and SubNo = %3 and SerNo = 0")
                               .arg(service.m_JobID)
                               .arg(service.m_ItemNo)
                               .arg(service.m_SubNo);
        if (!item.RequeryOrOpen(false) || item.IsEOF())
            return false;
        itemId = item.m_ItemID;
    }
    if (status == kInProduction || status >= 18)
        status = GetItemDeptColumn(item.m_JobID, item.m_ItemNo, item.m_SubNo);
    if (status == item.m_Status)
        return false;
    // A date given to a service may ask first before it replaces the status
    // of an item on Hold, Wait or Proof.
    if (itemRow < 0 && (m_nListOption & kAskItemStatusOption) && !AskItemStatusChange(item.m_Status, quint8(status)))
        return false;
    const int row = itemRow >= 0 ? itemRow : m_list->FindItemByData(itemId, false);
    if (status == kDoneStatus) {
        // The services are finished first; the item is Done only when every
        // one of them is.
        QList<qint32> finished;
        bool done = false;
        try {
            done = item.SetItemDone(finished);
        } catch (const platform::DbException &e) {
            ShowDaoError(e, QStringLiteral("Cannot save Items"));
            finished.clear();
        }
        ShowServicesDone(finished);
        if (!done)
            return false;
    } else if (item.SetServiceStatus(status, 0, 0) == 0) {
        return false;
    }
    if (row >= 0) {
        CZqApp *app = ZqApp();
        QString name;
        if (app)
            app->GetScheduleStatusName(name, quint8(status));
        SetCell(row, C::ColStatus, name, app ? app->GetScheduleStatusIcon(quint8(status)) : kNone);
        if (m_nListKind == 10) {
            ScheduleRow cells;
            for (int c = 0; c < m_list->GetColumnCount(); ++c)
                cells.set(c, m_list->GetItemText(row, c), kNone);
            m_lists.PaintTrackerCells(cells, m_table.statusColumns, status);
            for (int i = 0; i < m_nShift; ++i)
                m_list->SetSubItemImage(row, C::ColBlank + i, isImage(cells.image(C::ColBlank + i))
                                                                   ? cells.image(C::ColBlank + i)
                                                                   : kNone);
        } else if (status == kDoneStatus && m_list->GetSubItemImage(row, C::ColExpand) == C::Expanded) {
            CollapseRow(row);
            ExpandRow(row);
        }
    }
    //NL
    return true;
}

void CViewSchedule::ShowServicesDone(const QList<qint32> &serviceIds)
{
    if (serviceIds.isEmpty())
        return;
    for (int row = 0; row < m_list->GetItemCount(); ++row) {
        if (!serviceIds.contains(qint32(m_list->GetItemData(row))) || !IsServiceRow(row))
            continue;
        const int image = m_list->GetSubItemImage(row, C::ColTitle);
        if (image >= 48 && image <= 59)
            m_list->SetSubItemImage(row, C::ColTitle, image + 36);
    }
}

int CViewSchedule::OnItemStatus(int status)
{
    int changed = 0;
    WaitCursor wait;
    for (int row : SelectedRows()) {
        if (IsServiceRow(row))
            changed += SetItemStatus(-1, row, status) ? 1 : 0;
        else if (IsItemRow(row))
            changed += SetItemStatus(row, -1, status) ? 1 : 0;
    }
    return changed;
}

int CViewSchedule::OnUpdateItemStatus()
{
    const QString question =
        QStringLiteral("UPDATE ITEM STATUS\n\nThis process will update the status of SELECTED Items.\n\n- If all "
                       "Services of Item are done, new status will be: 'Done'.\n- If not, new status will be the "
                       "'Department' of the first Service-to-do.\n")
        + QStringLiteral("\nStart updating the status of selected Items?");
    if (platform::Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return 0;
    int count = 0;
    {
        WaitCursor wait;
        for (int row : SelectedRows())
            if (IsItemRow(row) && !IsServiceRow(row))
                count += SetItemStatus(row, -1, 255) ? 1 : 0;
    }
    platform::Prompt::messageBox(QStringLiteral("Updated the status of ") + QString::number(count)
                                 + QStringLiteral(" Item(s)."));
    return count;
}

// --- assignments ----------------------------------------------------------------------

int CViewSchedule::OnAssign(int what, int value)
{
    CZqApp *app = ZqApp();
    CItemSet item;
    int changed = 0;
    WaitCursor wait;
    for (int row : SelectedRows()) {
        const bool service = IsServiceRow(row);
        if (!service && (what == 1 || !IsItemRow(row)))
            continue;
        const qint32 itemId = qint32(m_list->GetItemData(row));
        if (itemId <= 0 || item.SetServiceStatus(value, what, itemId) == 0)
            continue;
        ++changed;
        QString name;
        int icon = kNone;
        if (what == 1) {
            if (app && value > 0)
                app->GetEmployeeNameAndIcon(quint8(value), name, icon);
            SetCell(row, Col(C::ColOperator), name, icon);
        } else if (what == 2) {
            if (app && value > 0)
                app->GetTagNameAndIcon(quint8(value), name, icon);
            SetCell(row, Col(C::ColTag), name, icon);
        } else {
            if (app && value > 0)
                app->GetStockStatusNameAndIcon(quint8(value), name, icon);
            SetCell(row, Col(C::ColPriority), name, icon);
        }
    }
    //NL
    return changed;
}

// --- scans ----------------------------------------------------------------------------

int CViewSchedule::OnScanCommand(int command, int key)
{
    switch (command) {
    case 30598: case 30410: case 30390:
        return ScanRecord(command, m_barCode.m_nObject) ? 1 : 0;
    case 30423: {
        const int status = m_barCode.m_nAction;
        if (m_nListKind == 0 || m_nListKind == 1)
            OnItemStatus(status);
        return 1;
    }
    case 30422:
        if (m_barCode.m_nAction < 100)
            OnAssign(1, m_barCode.m_nAction);
        return 1;
    case 30270: {
        const int weekday = platform::Clock::today().dayOfWeek() % 7 + 1; // Sunday 1
        const int id = kScheduleTodayCommand + (m_barCode.m_nAction - weekday + 1);
        if (id >= kScheduleTodayCommand && id <= kScheduleTodayCommand + 15)
            OnServiceDate(id);
        return 1;
    }
    case 31000:
        if (m_nListKind == 1)
            OnItemStatus(31299 - 31203);
        else if (m_barCode.m_nAction > 0)
            PostCommand(m_barCode.m_nAction);
        return 1;
    default:
        break;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        PostCommand(30102);
        return 1;
    }
    return key == Qt::Key_Space ? 1 : 0;
}

bool CViewSchedule::ScanRecord(int command, qint32 number)
{
    qint32 jobId = 0;
    qint32 itemId = 0;
    if (command == 30598) {
        CJobSet job;
        job.m_strFilter = QStringLiteral("JobType = 0 and JobID = %1").arg(number);
        if (number > 0 && job.RequeryOrOpen(false) && !job.IsEOF())
            jobId = job.m_JobID;
    } else {
        CItemSet item;
        if (number <= 0 || !item.OpenByItemID(number)) {
            platform::Prompt::messageBox(QStringLiteral("Item not found!"));
            return false;
        }
        jobId = item.m_JobID;
        itemId = item.m_ItemID;
    }
    const int list = command == 30598 ? 31101 : (m_nListKind == 10 ? 32101 : 31201);
    SelectTreeCode(list);
    ReadTreeSelection();
    const QString condition = QStringLiteral("Jobs.JobID = %1").arg(jobId);
    setFilter(condition, condition);
    FillList();
    if (jobId == 0 || m_list->GetItemCount() == 0) {
        platform::Prompt::messageBox(QStringLiteral("Not found!"));
        return false;
    }
    // The scanned row is selected; a scanned service line is marked done.
    int row = m_list->FindItemByData(command == 30598 ? jobId : itemId, true);
    if (row < 0 && itemId != 0) {
        OnExpandAll();
        row = m_list->FindItemByData(itemId, true);
    }
    if (row >= 0 && command == 30390 && IsServiceRow(row)) {
        const int image = m_list->GetSubItemImage(row, C::ColTitle);
        if (image <= 59 && SetServiceDate(row, kUnscheduleCommand))
            row = m_list->FindItemByData(itemId, true); // the item's rows may have been made again
    }
    return row >= 0;
}

// --- drops on the tree ----------------------------------------------------------------

bool CViewSchedule::CanDropOnTree(QTreeWidgetItem *entry)
{
    if (!entry)
        return false;
    const int code = int(CXTreeCtrl::GetItemData(entry));
    switch (m_nListKind) {
    case 0: return code >= 31102 && code <= 31104;
    case 1: return code >= 31203 && code <= 31299;
    case 2: case 3: case 4: case 5: case 6: case 7:
        return (code >= 31402 && code <= 31426) || (code >= 31503 && code <= 31599)
            || (code >= 31602 && code <= 31699) || (code >= 31702 && code <= 31799)
            || (code >= 31802 && code <= 31899);
    default: return false;
    }
}

void CViewSchedule::DropOnTree()
{
    QTreeWidgetItem *entry = dropTreeEntry();
    if (!CanDropOnTree(entry))
        return;
    const int code = int(CXTreeCtrl::GetItemData(entry));
    // Rows dropped on an entry get that entry's command, each by its kind:
    // order statuses only for order rows, item statuses only for items.
    if (m_nListKind == 0 && code >= 31102 && code <= 31104) {
        OnOrderStatus(code - 31102);
        return;
    }
    if (m_nListKind == 1 && code >= 31203 && code <= 31299) {
        OnItemStatus(code - 31203);
        return;
    }
    OnCommand(code);
}
