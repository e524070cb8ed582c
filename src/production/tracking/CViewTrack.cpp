#include "production/tracking/CViewTrack.h"

#include "app/base/CZqApp.h"
#include "app/base/Confirmation.h"
#include "app/base/QuantityText.h"
#include "catalogue/CInventory.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "controls/CXRibbon.h"
#include "controls/CXTable.h"
#include "controls/CXTreeCtrl.h"
#include "controls/DlgItem.h"
#include "data/AppDataServices.h"
#include "data/CItemSet.h"
#include "data/CTimeSet.h"
#include "data/CXDaoSet.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "production/tracking/TrackRules.h"
#include "production/tracking/TrackSetup.h"
#include "production/tracking/CTaskDlg.h"
#include "production/tracking/CTaskJobDlg.h"
#include "production/tracking/CTaskListDlg.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CDlgTree.h"

#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>
#include <QtWidgets/QTreeWidgetItem>

using namespace track;

namespace {

constexpr unsigned kOperatorBarId = 1751;
constexpr int kOperatorButton = 30422;
constexpr int kStatusItem = 30262;
constexpr int kEveryone = 100;

// Task-column icons: job tasks 48-95 (in progress 60-71, finished 84-95),
// workdays 96-98, office tasks 99-101, a missing service 232.
bool isJobTaskIcon(int icon)
{
    return icon >= 48 && icon <= 95;
}
bool isWorkdayIcon(int icon)
{
    return icon >= 96 && icon <= 98;
}
bool isInProgressIcon(int icon)
{
    return (icon >= 60 && icon <= 71) || icon == 96 || icon == 99;
}
bool isFinishedIcon(int icon)
{
    return (icon >= 84 && icon <= 95) || icon == 98 || icon == 101;
}

class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

CViewTrack::CViewTrack(QWidget *parent) : CView0(kViewId, parent)
{
}

CViewTrack::~CViewTrack() = default;

QString CViewTrack::BuildListSql(int code, const QString &filter)
{
    return track::BuildListSql(code, filter);
}

// --- start-up and layout ------------------------------------------------------------

void CViewTrack::OnInitialUpdate()
{
    if (isInitialised())
        return;
    CView0::OnInitialUpdate();
    m_mainBar->RemoveItem(30107);
    m_mainBar->RemoveItem(30124);

    // The operator bar over the list manager.
    auto *place = new QWidget(this);
    SetDlgCtrlID(place, kOperatorBarId);
    place->setGeometry(m_tree->x(), m_tree->y(), m_tree->width(), 30);
    m_operatorBar = new CXRibbon(this);
    m_operatorBar->Create(this, kOperatorBarId, m_nHue, 1, 131, 7, 16, 3, 0, 3, 24);
    m_operatorBar->AddItem(kOperatorButton, QStringLiteral("Who are you?"), 0, 131, 1, 2, 2084, 0, 1, 200, 0, 0,
                           QStringLiteral("Choose the operator"));
    m_operatorBar->RecalcLayout(0);
    connect(m_operatorBar, &CXWnd::commandTriggered, this, [this](int id) { RunCommand(id); });

    // The mode buttons on the list-manager bar.
    m_managerBar->RemoveItem(30672);
    m_managerBar->AddItem(30051, QStringLiteral("Track"), 0, 0, 255, 2, 2085, 0, 2, 56, 0, 0,
                          QStringLiteral("Track Time and Material"), 1);
    m_managerBar->AddItem(30052, QStringLiteral("History"), 0, 0, 255, 2, 2085, 0, 2, 56, 0, 0,
                          QStringLiteral("Close Today / Review Reports"), 2);
    // The bar is too narrow for the settings button's whole caption: its tip
    // carries it.
    m_managerBar->AddItem(30674, QStringLiteral("Setup"), 0, 0, 255, 2, 2085, 0, 2, 48, 0, 0,
                          QStringLiteral("RaroVirider Settings: Setup RaroVirider"), 3);

    // The list is the view's table drawn as a table.
    ShowChart();
    m_chart->SetMultiSelect(true);
    connect(m_chart, &CXChartCtrl::notified, this,
            [this](int code, int row, int column, const QPoint &point, bool) {
                OnChartNotify(code, row, column);
                if (code == CXChartCtrl::CodeRightClick && row >= 0)
                    ShowRowMenu(point);
            });
    connect(m_chart, &CXChartCtrl::keyNotified, this, [this](int, int) {
        RedrawSelectedRow();
        UpdateRibbonStates();
    });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *entry, int) { OnTreeClicked(entry); });

    if (CZqApp *app = ZqApp())
        LoadTrackOptions(*app, 221);
    GetPasswordText(m_strTrackPassword, 221);
    GetPasswordText(m_strReviewPassword, 222);

    CZqApp *app = ZqApp();
    m_nDefaultOperator = app ? app->GetSettingInt(QStringLiteral("DefOperator"), 0) : 0;
    m_nOperator = -1;
    SelectOperator(m_nDefaultOperator, false);
    const int range = app ? app->GetSettingInt(QStringLiteral("DateRange-") + m_strViewName, 20031) : 20031;
    ApplyDateRange(range);
    LayoutTrack();
    OnMode(30051);
}

void CViewTrack::resizeEvent(QResizeEvent *event)
{
    CView0::resizeEvent(event);
    LayoutTrack();
}

void CViewTrack::LayoutTrack()
{
    if (!m_operatorBar || !m_tree || !m_list)
        return;
    // The operator bar takes the top of the list manager's place, under the
    // list-manager bar; the tree keeps the rest.
    const QRect tree = m_tree->geometry();
    const int barH = 30;
    const int top = m_managerBar->geometry().bottom() + 1;
    m_operatorBar->setGeometry(tree.left(), top, tree.width(), barH);
    if (tree.bottom() > top + barH)
        m_tree->setGeometry(tree.left(), top + barH, tree.width(), tree.bottom() - top - barH + 1);
    m_operatorBar->setVisible(!m_tree->isHidden());
    m_operatorBar->RecalcLayout(0);
    m_operatorBar->raise();
    if (m_chart)
        m_chart->setGeometry(m_list->geometry());
}

// --- commands -------------------------------------------------------------------------

bool CViewTrack::OnCommand(int id)
{
    switch (id) {
    case 30401: {
        // A new tree entry: list choices list; commands run on a click.
        QTreeWidgetItem *entry = m_tree->currentItem();
        if (!entry)
            return true;
        const int code = int(CXTreeCtrl::GetItemData(entry));
        if ((code >= 29801 && code <= 29806) || (code >= 9000 && code <= 9999))
            ChooseList(code);
        return true;
    }
    case kOperatorButton:
        OnChooseOperator();
        return true;
    case 30100:
    case 29130:
        OnStartWorkday();
        return true;
    case 29131:
    case 29132:
    case 29133:
        OnWorkdayCommand(id);
        return true;
    case 29121:
    case 29122:
    case 29123:
    case 29124:
        OnClockCommand(id);
        return true;
    case 29101:
    case 30101:
    case 29103:
    case 29104:
    case 29105:
    case 29109:
        OnTaskPicker(id);
        return true;
    case 30598: {
        qint32 jobId = 0;
        qint32 itemId = 0;
        if (GetSelectedJobService(jobId, itemId)) {
            if (!CheckOperatorChosen())
                return true;
            RunTaskJobDialog(jobId, itemId);
        }
        return true;
    }
    case 30270: {
        qint32 jobId = 0;
        qint32 itemId = 0;
        if (GetSelectedJobService(jobId, itemId)) {
            if (CZqApp *app = ZqApp())
                app->OpenJob(jobId);
        }
        return true;
    }
    case 30746: {
        qint32 jobId = 0;
        qint32 itemId = 0;
        CItemSet item;
        if (GetSelectedJobService(jobId, itemId) && item.OpenByItemID(itemId)) {
            CInventory inventory(30746, item.m_SerNo, this);
            inventory.DoModal();
        }
        return true;
    }
    case 30103:
        OnOpenTask();
        return true;
    case 30113:
        OnDeleteTasks();
        return true;
    case 30115:
        if (m_table) {
            m_table->SelectAll(true);
            m_chart->update();
        }
        return true;
    case 30121:
    case 20059:
        RefreshList(RowKey(SelectedRow()));
        return true;
    case 30211:
        OnNoticeCommand();
        return true;
    case 29213:
        OnTrackOptions();
        return true;
    case 29210:
        EditTimeDepartments(QStringLiteral("Office Tasks"), 2, 100, 24, true);
        return true;
    case 29211:
        EditTimeDepartments(QStringLiteral("Time Groups"), 0, 0, 4, true);
        return true;
    case 30674: {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Options for &All Computers..."), this, [this] { PostCommand(29213); });
        menu.addAction(QStringLiteral("Office &Tasks..."), this, [this] { PostCommand(29210); });
        menu.addAction(QStringLiteral("Time &Groups..."), this, [this] { PostCommand(29211); });
        menu.exec(QCursor::pos());
        return true;
    }
    case 30051:
    case 30052:
        OnMode(id);
        return true;
    default:
        break;
    }
    if ((id >= 29801 && id <= 29806) || (id >= 9000 && id <= 9999)) {
        ChooseList(id);
        return true;
    }
    return CView0::OnCommand(id);
}

bool CViewTrack::IsCommandEnabled(int id)
{
    const int row = SelectedRow();
    const int icon = row >= 0 ? TaskIcon(row) : -1;
    switch (id) {
    case 29121:
        return m_bTrackMode && row >= 0 && isInProgressIcon(icon);
    case 29122:
        return m_bTrackMode && row >= 0 && icon >= 48 && !isInProgressIcon(icon);
    case 29123:
        return m_bTrackMode && row >= 0 && icon >= 48 && !isFinishedIcon(icon);
    case 29124:
        return m_bTrackMode && row >= 0 && isJobTaskIcon(icon) && !isFinishedIcon(icon);
    case 30103:
        return m_bKeys && row >= 0 && icon >= 48 && icon <= 101;
    case 30598:
    case 30270:
    case 30746:
        return m_bKeys && row >= 0 && isJobTaskIcon(icon);
    case 30113:
        return m_bTrackMode;
    case 30100:
        return m_bTrackMode;
    case 30101:
        return true;
    case 30121:
    case 30062:
    case 30115:
        return m_table && m_table->GetRowCount() > 0;
    case 30124:
    case 30534:
        return false;
    default:
        return CView0::IsCommandEnabled(id);
    }
}

void CViewTrack::ChooseList(int code)
{
    if (QTreeWidgetItem *entry = m_tree->FindItemByData(quint32(code))) {
        m_tree->setBusy(true);
        m_tree->SelectAndShow(entry);
        m_tree->setBusy(false);
    }
    ReadTreeSelection();
    m_nListChoice = code;
    RefreshList(0);
}

void CViewTrack::FillList()
{
    NoteListed();
    RefreshList(RowKey(SelectedRow()));
}

void CViewTrack::OnTreeClicked(QTreeWidgetItem *entry)
{
    if (!entry)
        return;
    const int code = int(CXTreeCtrl::GetItemData(entry));
    // The clock's entries are commands; a list entry lists through the
    // selection change.
    if (code >= 29101 && code <= 29133) {
        PostCommand(code);
        // The list being shown stays the selected entry.
        if (QTreeWidgetItem *list = m_tree->FindItemByData(quint32(m_nListChoice))) {
            m_tree->setBusy(true);
            m_tree->SelectAndShow(list);
            m_tree->setBusy(false);
        }
    }
}

void CViewTrack::OnChartNotify(int code, int row, int column)
{
    if (row < 0)
        return;
    switch (code) {
    case CXChartCtrl::CodeClick: {
        RedrawSelectedRow();
        // A click on the first column names that row's operator.
        if (column == 0 && m_bTrackMode && m_table && m_bKeys) {
            const TaskColumns c = TaskColumnsOf(m_nLastListCode);
            const int empNo = m_table->GetCellText(row, c.empNo).toInt();
            if (empNo > 0 && !m_table->IsSpecialRow(row))
                SelectOperator(empNo, true);
        }
        UpdateRibbonStates();
        break;
    }
    case CXChartCtrl::CodeRightClick:
        RedrawSelectedRow();
        UpdateRibbonStates();
        break;
    case CXChartCtrl::CodeDoubleClick:
        PostCommand(column < 9 ? 30103 : 30598);
        break;
    default:
        break;
    }
}

void CViewTrack::ShowRowMenu(const QPoint &screenPoint)
{
    // The row's commands, each offered as the view's command states allow.
    struct Entry
    {
        int id;
        const char *text;
    };
    const Entry entries[] = {
        {29121, "&Pause"},
        {29122, "&Resume"},
        {29123, "&Finish"},
        {29124, "Finish Task but not Service"},
        {0, nullptr},
        {30103, "Open Task"},
        {30598, "Open Order / Start Service"},
        {30270, "View Schedule"},
        {30746, "Selected Service"},
        {0, nullptr},
        {30113, "Delete..."},
        {30115, "Select &All Tasks\tCtrl+A"},
        {30121, "Refresh\tF5"},
    };
    QMenu menu(this);
    for (const Entry &e : entries) {
        if (e.id == 0) {
            menu.addSeparator();
            continue;
        }
        QAction *action = menu.addAction(QString::fromUtf8(e.text));
        action->setData(e.id);
        action->setEnabled(IsCommandEnabled(e.id));
    }
    if (QAction *chosen = menu.exec(screenPoint))
        PostCommand(chosen->data().toInt());
}

// --- rows -----------------------------------------------------------------------------

int CViewTrack::SelectedRow() const
{
    if (!m_chart || !m_table)
        return -1;
    const int row = m_chart->GetSelectedRow();
    return m_table->IsValidRow(row) ? row : -1;
}

bool CViewTrack::SelectRowByKey(qint32 key)
{
    if (!m_table || key == 0)
        return false;
    const int row = m_table->FindRowByLong(key);
    if (row < 0)
        return false;
    m_chart->SelectRow(row);
    return true;
}

qint32 CViewTrack::RowKey(int row) const
{
    if (!m_table || !m_table->IsValidRow(row) || m_table->IsSpecialRow(row))
        return 0;
    return m_table->GetRowKey(row);
}

int CViewTrack::TaskIcon(int row) const
{
    if (!m_table || !m_table->IsValidRow(row) || m_table->IsSpecialRow(row) || !m_bKeys)
        return -1;
    const TaskColumns c = TaskColumnsOf(m_nLastListCode);
    return m_table->GetCellFormat(row, c.task);
}

bool CViewTrack::IsWorkdayRow(int row) const
{
    return isWorkdayIcon(TaskIcon(row));
}

bool CViewTrack::IsJobTaskRow(int row) const
{
    return isJobTaskIcon(TaskIcon(row));
}

void CViewTrack::RedrawSelectedRow()
{
    const int row = SelectedRow();
    if (row >= 0)
        RedrawTaskRow(row, true, m_nLastListCode);
}

QString CViewTrack::statusText() const
{
    return m_strStatus;
}

void CViewTrack::ShowStatusText(const QString &text)
{
    m_strStatus = text;
    m_statusBar->SetItemText(kStatusItem, text);
}

// --- operator ----------------------------------------------------------------------------

bool CViewTrack::CheckOperatorChosen()
{
    if (m_nOperator > 0)
        return true;
    platform::Prompt::messageBox(QStringLiteral("Please select your name first."));
    return false;
}

void CViewTrack::ShowOperatorButton()
{
    CZqApp *app = ZqApp();
    QString name;
    int icon = 1;
    if (app && m_nOperator > 0)
        app->GetEmployeeNameAndIcon(quint8(m_nOperator), name, icon);
    m_operatorBar->SetItemText(kOperatorButton, m_nOperator == 0 || m_nOperator < 0 ? QStringLiteral("Who are you?") : name);
    m_operatorBar->SetItemImage(kOperatorButton, 131, std::uint8_t(CZqApp::GetEmployeeIcon(quint8(qMax(0, m_nOperator)), 131)));
}

bool CViewTrack::SelectOperator(int empNo, bool refresh)
{
    if (empNo == m_nOperator)
        return false;
    m_nOperator = empNo;
    CZqApp *app = ZqApp();
    m_strOperator = app && empNo >= 0 ? app->GetEmployeeName(quint8(empNo)) : QString();
    ShowOperatorButton();
    m_operatorBar->BlinkItem(kOperatorButton, true, 100, 3);
    if (QTreeWidgetItem *mine = m_tree->FindItemByData(29103))
        m_tree->SetImage(mine, CZqApp::GetEmployeeIcon(quint8(qMax(0, empNo)), 131));
    if (refresh && (!m_bTrackMode || m_nListChoice == kMyTasksOnly))
        RefreshList(RowKey(SelectedRow()));
    return true;
}

void CViewTrack::OnChooseOperator()
{
    CDlgTree picker(m_bTrackMode ? 1 : 0, qMax(0, m_nOperator), this);
    picker.m_strStripText = QStringLiteral("To set this operator as default, hold Ctrl key down and click OK.");
    if (picker.DoModal() != platform::IDOK)
        return;
    const int chosen = int(picker.m_nChosen);
    if (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) {
        if (CZqApp *app = ZqApp())
            app->WriteSettingInt(QStringLiteral("DefOperator"), chosen);
        m_nDefaultOperator = chosen;
    }
    SelectOperator(chosen, true);
    EnsureWorkday();
}

// --- workday -------------------------------------------------------------------------------

int CViewTrack::EnsureWorkday()
{
    if (!m_bTrackMode || !CheckOperatorChosen())
        return 0;
    CTimeSet day;
    if (day.FindEntries(QStringLiteral("EmpNo = %1 and TimeFor = %2 and Status <= %3").arg(m_nOperator).arg(0).arg(2),
                        QStringLiteral("Start DESC"), false)
        && !day.IsEOF()) {
        if (day.m_Status == 0)
            return 1;
        if (platform::Prompt::messageBox(m_strOperator + QStringLiteral(", do you want to resume your current workday?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            == platform::IDYES) {
            if (day.SafeEdit() && day.ApplyClockCommand(CTimeSet::Resume)) {
                RefreshList(day.m_TimeID);
                return 3;
            }
            // The refusal was said; a second day beside the paused one
            // would only be refused again.
            return 0;
        }
    }
    if (platform::Prompt::messageBox(m_strOperator + QStringLiteral(", do you want to start a new workday?"), QString(),
                                     platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return 0;
    CTimeSet fresh;
    fresh.FindEntries(QStringLiteral("TimeID = 0"), QString(), true);
    if (!fresh.StartEntry(quint8(m_nOperator), CTimeSet::DayClock, 0, platform::MB_ICONASTERISK))
        return 0;
    RefreshList(fresh.m_TimeID);
    ShowStatusText(QStringLiteral("Welcome ") + m_strOperator + QStringLiteral(". Have a safe and productive day."));
    return 2;
}

void CViewTrack::OnStartWorkday()
{
    if (EnsureWorkday() == 1)
        platform::Prompt::messageBox(m_strOperator + QStringLiteral(", you have already started your workday."));
}

void CViewTrack::OnWorkdayCommand(int id)
{
    if (!m_bTrackMode || !CheckOperatorChosen())
        return;
    struct Step
    {
        QString filter;
        QString question;
        QString word;
        int dayCommand;
        bool pauseTasks;
    };
    const QString base = QStringLiteral("EmpNo = %1 and TimeFor = %2 and Status ").arg(m_nOperator).arg(0);
    CTimeSet day;
    auto find = [&](const QString &condition) {
        return day.FindEntries(base + condition, QStringLiteral("Start"), false) && !day.IsEOF();
    };
    Step step;
    if (id == 29133) {
        if (!find(QStringLiteral("< 2")))
            return;
        step = {QString(), QStringLiteral("END your current workday?\n\nNote: Your Tasks In Progress will be Paused."),
                QStringLiteral("OUT. Bye."), CTimeSet::Finish, true};
    } else if (find(QStringLiteral("= 0"))) {
        step = {QString(), QStringLiteral("BREAK your current workday?\n\nNote: Your Tasks In Progress will be Paused."),
                QStringLiteral("ON BREAK. See you later."), CTimeSet::Pause, true};
    } else if (find(QStringLiteral("= 1"))) {
        step = {QString(), QStringLiteral("RESUME your current workday?\n\nNote: Your paused tasks will remain as paused."),
                QStringLiteral("IN. Welcome back."), CTimeSet::Resume, false};
    } else if (find(QStringLiteral("= 2"))) {
        step = {QString(), QStringLiteral("RE-START your workday?\n\nNote: Your paused tasks will remain as paused."),
                QStringLiteral("back to work again."), CTimeSet::Resume, false};
    } else {
        return;
    }
    SelectRowByKey(day.m_TimeID);
    if (platform::Prompt::messageBox(m_strOperator + QStringLiteral(", do you want to ") + step.question, QString(),
                                     platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return;
    if (!day.SafeEdit() || !day.ApplyClockCommand(step.dayCommand)) {
        platform::Prompt::messageBox(QStringLiteral("Cannot change the status of your day."));
        return;
    }
    QString message = QStringLiteral("%1, you are now %2.").arg(m_strOperator, step.word);
    if (step.pauseTasks) {
        CTimeSet running;
        QList<qint32> ids;
        if (running.FindEntries(
                QStringLiteral("EmpNo = %1 and TimeFor > %2 and Status = %3").arg(m_nOperator).arg(0).arg(0),
                QString(), false)) {
            for (; !running.IsEOF(); running.MoveNext())
                ids << running.m_TimeID;
        }
        int paused = 0;
        for (qint32 timeId : ids) {
            CTimeSet task;
            if (task.FindByTimeID(timeId, true) && !task.IsEOF() && task.ApplyClockCommand(CTimeSet::Pause))
                ++paused;
        }
        const int total = int(ids.size());
        message += QStringLiteral("\n\n");
        if (paused < total)
            message += QStringLiteral("FAILED to pause %1 of %2 task(s) running.\nClick OK now and try to pause the "
                                      "failed tasks.")
                           .arg(total - paused)
                           .arg(total);
        else if (paused > 0)
            message += QStringLiteral("Paused %1 of %2 task(s) running.").arg(paused).arg(total);
    }
    platform::Prompt::messageBox(message);
    RefreshList(day.m_TimeID);
    setFocus();
}

// --- tasks ----------------------------------------------------------------------------------

bool CViewTrack::StartTask(quint8 kind, qint32 id)
{
    if (EnsureWorkday() == 0)
        return false;
    CZqApp *app = ZqApp();
    if (app && app->GetTrackOptionInt(13) != 0) {
        QString warning;
        if (kind == CTimeSet::ServiceTask)
            app->GetServiceWarnings(warning, id);
        else
            app->GetOfficeTaskWarning(warning, id, quint8(m_nOperator));
        if (!warning.isEmpty()
            && platform::Prompt::messageBox(warning + QStringLiteral("\n\nAre you sure you want to start a new task?"),
                                            QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
                   != platform::IDYES)
            return false;
    }
    CTimeSet task;
    task.FindEntries(QStringLiteral("TimeID = 0"), QString(), true);
    if (!task.StartEntry(quint8(m_nOperator), kind, id, platform::MB_ICONASTERISK))
        return false;
    task.LoadDisplayTexts();
    ShowStatusText(m_strOperator + QStringLiteral(" started ") + task.m_strTask + QStringLiteral(" at ")
                   + task.m_strStart);
    if (m_nListChoice == kTasksPaused || m_nListChoice == kTasksFinished || m_nListChoice == kWhoIsIn) {
        m_nListChoice = kTasksInProgress;
        if (QTreeWidgetItem *entry = m_tree->FindItemByData(quint32(kTasksInProgress))) {
            m_tree->setBusy(true);
            m_tree->SelectAndShow(entry);
            m_tree->setBusy(false);
        }
    }
    RefreshList(task.m_TimeID);
    return true;
}

void CViewTrack::StartChosen(quint8 kind, const QList<qint32> &ids)
{
    for (qint32 id : ids) {
        if (id != 0)
            StartTask(kind, id);
    }
}

void CViewTrack::OnTaskPicker(int id)
{
    const bool orderPicker = id == 29101 || id == 30101;
    if (!orderPicker && !m_bTrackMode)
        return;
    if (!CheckOperatorChosen())
        return;
    if (orderPicker) {
        RunTaskJobDialog(0, 0);
    } else if (id == 29109) {
        CDlgTree picker(10, m_nOperator, this);
        if (picker.DoModal() == platform::IDOK && picker.m_nChosen != 0)
            StartTask(CTimeSet::OfficeTask, qint32(picker.m_nChosen));
    } else {
        RunTaskListDialog(id);
    }
}

void CViewTrack::OnClockCommand(int id)
{
    const int row = SelectedRow();
    const qint32 key = RowKey(row);
    CTimeSet record;
    if (key == 0 || !record.FindByTimeID(key, true) || record.IsEOF())
        return;
    if (IsWorkdayRow(row)) {
        const QString word = id == 29121   ? QStringLiteral("PAUSE")
                             : id == 29122 ? QStringLiteral("RESUME")
                                           : QStringLiteral("END");
        if (platform::Prompt::messageBox(
                QStringLiteral("The change you requested will apply to the selected workday only.\nOther tasks will "
                               "remain unchanged.\n\nDo you want to ")
                    + word + QStringLiteral(" the selected workday?"),
                QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            != platform::IDYES)
            return;
    }
    if (!record.ApplyClockCommand(id))
        return;
    RedrawTaskRow(row, true, m_nLastListCode);
    record.LoadDisplayTexts();
    const QString state = record.m_Status == 0 ? QStringLiteral("Resumed") : record.m_strStatus;
    ShowStatusText(m_strOperator + QLatin1Char(' ') + state + QLatin1Char(' ') + record.m_strTask + QStringLiteral(" at ")
                   + record.m_strFinish);
    setFocus();
}

void CViewTrack::ToggleTask(quint8 kind, qint32 id, const QString &extraCondition)
{
    const int pending = m_nPendingScan;
    m_nPendingScan = 0;
    CTimeSet record;
    if (!record.FindEntries(
            QStringLiteral("TimeFor = %1 and ItemID = %2 and Status < %3 %4").arg(kind).arg(id).arg(3).arg(extraCondition),
            QString(), true)
        || record.IsEOF()) {
        StartTask(kind, id);
        return;
    }
    if (!record.ApplyClockCommand(pending != 0 ? pending : int(CTimeSet::Finish)))
        return;
    const int row = m_table ? m_table->FindRowByLong(record.m_TimeID) : -1;
    if (row >= 0)
        RedrawTaskRow(row, true, m_nLastListCode);
    setFocus();
}

int CViewTrack::OnScanCommand(int command, int key)
{
    Q_UNUSED(key);
    const qint32 number = qint32(m_barCode.m_nObject);
    const int action = int(m_barCode.m_nAction);
    switch (command) {
    case 30422:
        SelectOperator(number, true);
        break;
    case 30598: {
        if (!CheckOperatorChosen())
            break;
        RunTaskJobDialog(number, 0);
        break;
    }
    case 30410:
    case 30390: {
        CItemSet item;
        if (!item.OpenByItemID(number) || item.IsEOF()) {
            platform::Prompt::messageBox(command == 30410 ? QStringLiteral("Cannot find the Item you have scanned.")
                                                          : QStringLiteral("Cannot find the Service you have scanned."));
            break;
        }
        if (command == 30390) {
            ToggleTask(CTimeSet::ServiceTask, number, QString());
        } else if (CheckOperatorChosen()) {
            RunTaskJobDialog(item.m_JobID, number);
        }
        break;
    }
    case 30423:
        ToggleTask(CTimeSet::OfficeTask, action, QStringLiteral(" and EmpNo = %1").arg(m_nOperator));
        break;
    case 31000:
        if (action >= 29121 && action <= 29123)
            m_nPendingScan = action;
        else if (action > 0)
            PostCommand(action);
        break;
    case 30420:
        break;
    default:
        return 0;
    }
    m_barCode.Reset();
    return 1;
}

bool CViewTrack::GetSelectedJobService(qint32 &jobId, qint32 &itemId)
{
    const int row = SelectedRow();
    if (!IsJobTaskRow(row))
        return false;
    CTimeSet record;
    if (!record.FindByTimeID(RowKey(row), false) || record.IsEOF())
        return false;
    itemId = record.m_ItemID;
    jobId = m_table->QueryLong(
        QStringLiteral("SELECT Jobs.JobID FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID WHERE Items.ItemID = ")
        + QString::number(itemId));
    return jobId != 0;
}

// --- modes ---------------------------------------------------------------------------------

void CViewTrack::OnMode(int id)
{
    if (id == 30052 && m_bAskReviewPassword) {
        if (!AskPassword(m_strReviewPassword, QStringLiteral("view, edit and close tasks in History")))
            return;
        m_bAskReviewPassword = false;
    }
    m_managerBar->CheckRadioItem(30051, 30052, unsigned(id), 0, true);
    m_tree->setBusy(true);
    m_tree->ClearAll();
    if (id == 30051) {
        m_bTrackMode = true;
        m_nCodeBase = 0;
        m_nListChoice = kAllTasks;
        BuildTrackTree();
        m_tree->setBusy(false);
        const int keep = m_nOperator;
        m_nOperator = -2; // the default operator is selected again
        if (!SelectOperator(m_nDefaultOperator, false))
            m_nOperator = keep;
        m_listBar->SetItemText(30673, QStringLiteral("Task List"));
    } else {
        m_bTrackMode = false;
        m_nCodeBase = kReviewBase;
        m_nListChoice = kCloseTheDay;
        BuildReviewTree();
        m_tree->setBusy(false);
        SelectOperator(kEveryone, false);
        ApplyDateRange(m_nDateRangeCode > 0 ? m_nDateRangeCode : 20031);
    }
    m_tree->ExpandAll(true);
    if (QTreeWidgetItem *entry = m_tree->FindItemByData(quint32(m_nListChoice))) {
        m_tree->setBusy(true);
        m_tree->SelectAndShow(entry);
        m_tree->setBusy(false);
    }
    ReadTreeSelection();
    RefreshList(0);
}

void CViewTrack::BuildTrackTree()
{
    QTreeWidgetItem *day = m_tree->AddItem(nullptr, QStringLiteral("My Workday"), 0, 173);
    m_tree->AddItem(day, QStringLiteral("Start"), 29130, 96);
    m_tree->AddItem(day, QStringLiteral("Break / Resume"), 29131, 97);
    m_tree->AddItem(day, QStringLiteral("End"), 29133, 98);
    QTreeWidgetItem *start = m_tree->AddItem(nullptr, QStringLiteral("Start a New Task"), 0, 172);
    m_tree->AddItem(start, QStringLiteral("Find Order No..."), 29101, 188);
    m_tree->AddItem(start, QStringLiteral("Scheduled for today"), 29104, 129);
    m_tree->AddItem(start, QStringLiteral("Scheduled for any day"), 29105, 127);
    m_tree->AddItem(start, QStringLiteral("Assigned to me"), 29103, 183);
    m_tree->AddItem(start, QStringLiteral("Office Task"), 29109, 99);
    QTreeWidgetItem *list = m_tree->AddItem(nullptr, QStringLiteral("List"), 0, 23);
    const char *entries[] = {"All Tasks", "Tasks In Progress", "Tasks Paused", "Tasks Finished", "My Tasks Only",
                             "Who's In, Who's Out?"};
    for (int i = 0; i < 6; ++i)
        m_tree->AddItem(list, QString::fromUtf8(entries[i]), quint32(kAllTasks + i), 35);
}

void CViewTrack::BuildReviewTree()
{
    QTreeWidgetItem *close = m_tree->AddItem(nullptr, QStringLiteral("Close the Day"), kCloseTheDay, 173);
    m_tree->AddItem(close, QStringLiteral("Review Time Sheet"), kReviewTimeSheet, 158);
    m_tree->AddItem(close, QStringLiteral("Review Office Tasks"), kReviewOfficeTasks, 159);
    m_tree->AddItem(close, QStringLiteral("Review Job Tasks"), kReviewJobTasks, 160);
    m_tree->AddItem(close, QStringLiteral("Update Job Services"), kUpdateJobServices, 161);
    m_tree->AddItem(close, QStringLiteral("Close Tasks"), kCloseTasks, 162);
    m_tree->AddTextItem(nullptr, QStringLiteral("Reports on Closed Tasks"), 253);
    m_tree->AddBranch(QStringLiteral("Time Sheets by,Operator,Date,"), 9200, 11, 11);
    m_tree->AddBranch(QStringLiteral("Tracked vs Charged by,Operator,Job Number,Service Category,"), 9300, 11, 11);
    m_tree->AddBranch(QStringLiteral("Tasks in History by,Operator,Date,Job Number,Service Category,Office Task,My Days,"),
                      9400, 11, 11);
}

// --- lists ---------------------------------------------------------------------------------

void CViewTrack::RefreshList(qint32 keepKey)
{
    if (!m_table || !m_chart)
        return;
    WaitCursor wait;
    m_table->Reset();
    m_chart->Reset();
    m_table->SetShowZeros(false);
    m_nLastListCode = 0;
    m_bKeys = false;
    m_bDeletable = false;
    m_strNotice.clear();
    SetNoticeButton(QString(), 0);
    if (m_bTrackMode)
        ListTrackTasks();
    else
        ListCloseAndReview();
    int listed = 0;
    for (int r = 0; r < m_table->GetRowCount(); ++r)
        listed += m_table->IsSpecialRow(r) ? 0 : 1;
    m_table->m_note = QStringLiteral("None Found");
    m_chart->LoadTable(m_table.get(), CXChartCtrl::ChartTable);
    if (keepKey != 0)
        SelectRowByKey(keepKey);
    m_statusBar->SetItemText(kStatusItem, QStringLiteral("Listed: %1").arg(listed));
    if (!m_strStatus.isEmpty())
        m_statusBar->SetItemText(kStatusItem, m_strStatus);
    m_chart->update();
    UpdateRibbonStates();
}

bool CViewTrack::LoadList(int code, int mode)
{
    const QString sql = BuildListSql(code, m_strFilter);
    if (sql.isEmpty())
        return false;
    m_table->LoadQueryWithProgress(sql, mode, 2, QString());
    m_nLastListCode = code;
    m_bKeys = code >= kTasksByOperator || code >= kTrackedByOperator;
    return m_table->GetColumnCount() > 0;
}

void CViewTrack::ListTrackTasks()
{
    m_strFilter = TrackFilter(m_nListChoice, m_nOperator);
    m_bDeletable = true;
    ListTasks(kTasksByOperator);
    m_table->m_title = QStringLiteral("Task List");
}

void CViewTrack::ListCloseAndReview()
{
    const int code = m_nListChoice;
    QString caption;
    if (code >= kCloseTheDay && code <= kCloseTasks) {
        m_strFilter = QStringLiteral("Times.Status = %1").arg(2);
        m_strNotice = ConfirmNoTasksRunning(QString())
                          ? QStringLiteral("Double-click a task to view/edit.")
                          : QStringLiteral("There are Task(s) in Progress. Please Pause or Finish them before closing "
                                           "the day. ");
        switch (code) {
        case kReviewTimeSheet:
            ListTimeSheets(kTimeSheetsByOperator);
            break;
        case kReviewOfficeTasks:
            m_strFilter += KindCondition(kTasksByOfficeTask);
            ListTasks(kTasksByOfficeTask);
            break;
        case kReviewJobTasks:
            m_strFilter += KindCondition(kTasksByJob);
            ListTasks(kTasksByJob);
            break;
        case kUpdateJobServices:
            m_strFilter += QStringLiteral(" and Times.TimeFor = %1").arg(1);
            ListTrackedVsCharged(kTrackedByJob);
            if (m_strNotice.startsWith(QLatin1String("Double")))
                m_strNotice.clear();
            m_strNotice = (m_strNotice.isEmpty() ? QString() : m_strNotice + QLatin1Char('\n'))
                          + QStringLiteral("Select Service(s) you want to update and click: ") + QStringLiteral("Update Now")
                          + QLatin1Char('.')
                          + QStringLiteral("\n- This step updates the Actual Quantities and Costs of selected "
                                           "Job/Services.")
                          + QStringLiteral("\n- This list includes the Services tracked and finished since the last "
                                           "'Closing'.");
            SetNoticeButton(QStringLiteral("Update Now"), 24);
            break;
        default: // 9100 and 9105
            ListTasks(kTasksByOperator);
            if (m_strNotice.startsWith(QLatin1String("Double")))
                m_strNotice.clear();
            m_strNotice = (m_strNotice.isEmpty() ? QString() : m_strNotice + QLatin1Char('\n'))
                          + QStringLiteral("Select the Tasks you want to close and click: ")
                          + QStringLiteral("Close Tasks Now") + QLatin1Char('.')
                          + QStringLiteral("\n- IMPORTANT: Do not close Job Tasks that may be resumed.");
            SetNoticeButton(QStringLiteral("Close Tasks Now"), 24);
            break;
        }
        m_table->m_headingText = m_strNotice;
        return;
    }
    // The reports on closed records.
    m_strFilter = QStringLiteral("Times.Status = %1 and DateValue(Times.Start) %2").arg(3).arg(m_strDateRangeCondition);
    if (m_nOperator != kEveryone && m_nOperator > 0)
        m_strFilter += QStringLiteral(" and Times.EmpNo = ") + QString::number(m_nOperator);
    // The range as the date-range menu describes it, without the view's own prefix.
    QString range = m_strDateRangeCaption;
    if (range.startsWith(QLatin1String("Date Range: ")))
        range = range.mid(12);
    caption = QStringLiteral("Report Date Range: ") + range;
    if (m_strItemText.contains(QLatin1String("Job Number"))) {
        CDlgData ask(QString(), 8, QStringLiteral("Job Number"), QStringLiteral("To limit the list to one job only, type its number:"),
                     QStringLiteral("Leave it blank to list tasks in ") + range
                         + QStringLiteral(". \n\nNOTE: If you enter a job number, the Date Range will be ignored."),
                     this);
        if (ask.DoModal() == platform::IDOK) {
            const int jobNo = ask.m_strValue.trimmed().toInt();
            if (jobNo != 0) {
                m_strFilter = QStringLiteral("Times.Status = %1 and Jobs.JobNo = %2 and (Jobs.JobType = 0 or "
                                             "Jobs.JobType = 3)")
                                  .arg(3)
                                  .arg(jobNo);
                caption = QStringLiteral("Job Number: %1").arg(jobNo);
            }
        }
    }
    m_strFilter += KindCondition(code);
    if (code == kTimeSheetsByOperator || code == kTimeSheetsByDate)
        ListTimeSheets(code);
    else if (code >= kTrackedByOperator && code <= kTrackedByCategory)
        ListTrackedVsCharged(code);
    else if (code >= kTasksByOperator && code <= kTasksMyDays)
        ListTasks(code);
    m_table->m_subtitle = caption;
}

void CViewTrack::ListTasks(int code)
{
    const bool grouped = TaskColumnsOf(code).group >= 0;
    if (!LoadList(code, grouped ? CXTable::TotalsPerGroup : CXTable::TotalsOneRow))
        return;
    FormatTaskRows(code, TaskColumnsOf(code).worked);
}

void CViewTrack::FormatTaskRows(int code, int totalColumn)
{
    const int rows = m_table->GetRowCount();
    int dataRows = 0;
    for (int r = 0; r < rows; ++r)
        dataRows += m_table->IsSpecialRow(r) ? 0 : 1;
    int groupCount = 0;
    int groupMinutes = 0;
    int allCount = 0;
    int allMinutes = 0;
    bool afterData = false;
    CTimeSet record;
    // Long lists show their progress and may be stopped; the rows done stay.
    std::unique_ptr<CXProgress> progress;
    if (dataRows > 100) {
        progress = CXProgress::Create();
        progress->Start(dataRows, QStringLiteral("Formatting %s tasks"), true, true);
    }
    for (int r = 0; r < rows; ++r) {
        if (m_table->IsSpecialRow(r)) {
            // A total row right after a run of tasks belongs to that group; the
            // closing rows take the whole list's count and minutes.
            const bool last = r == rows - 1 || !afterData;
            const int count = last ? allCount : groupCount;
            const int minutes = last ? allMinutes : groupMinutes;
            if (totalColumn > 0) {
                m_table->SetCellText(r, totalColumn - 1, TaskCountText(count));
                m_table->SetCellLong(r, totalColumn, minutes);
            }
            groupCount = 0;
            groupMinutes = 0;
            afterData = false;
            continue;
        }
        afterData = true;
        if (record.FindByTimeID(RowKey(r), false) && !record.IsEOF()) {
            record.LoadDisplayTexts();
            FillTaskRow(record, r, false, code);
            if (record.m_TimeFor != CTimeSet::DayClock) {
                ++groupCount;
                ++allCount;
                groupMinutes += record.m_nWorked;
                allMinutes += record.m_nWorked;
            }
        }
        if (progress && !progress->Step())
            return;
    }
    // Without total rows the last row is the total row of the list.
    if (totalColumn > 0 && (rows == 0 || !m_table->IsSpecialRow(rows - 1)) && rows > 0) {
        const int r = m_table->AddRow(CXTable::RowSpecial | CXTable::RowGrandTotal);
        m_table->SetCellText(r, totalColumn - 1, TaskCountText(allCount));
        m_table->SetCellLong(r, totalColumn, allMinutes);
    }
}

void CViewTrack::FillTaskRow(CTimeSet &record, int row, bool redraw, int code)
{
    const TaskColumns c = TaskColumnsOf(code);
    CZqApp *app = ZqApp();
    if (c.group == 0 && (code == kTasksByOperator || code == kTimeSheetsByOperator))
        m_table->SetCellStyle(row, 0, std::uint8_t(record.m_nEmployeeIcon));
    if (code == kTasksByCategory && app && !m_table->GetCellText(row, 0).trimmed().isEmpty()) {
        const qint32 catNo = m_table->GetCellText(row, 0).trimmed().toInt();
        m_table->SetCellText(row, 0, app->GetCategoryName(catNo));
    }
    m_table->SetCellStyle(row, c.task, std::uint8_t(record.m_nTaskImage));
    m_table->SetCellText(row, c.task, record.m_strTask);
    m_table->SetCellText(row, c.started, record.m_strStart);
    m_table->SetCellText(row, c.status, record.m_strStatus);
    m_table->SetCellText(row, c.when, record.m_strFinish);
    m_table->SetCellLong(row, c.worked, record.m_nWorked);
    m_table->SetCellLong(row, c.material, record.m_Material);
    m_table->SetCellText(row, c.note, record.m_Note);
    m_table->SetCellText(row, c.operatorName, record.m_strEmployee);
    m_table->SetCellStyle(row, c.operatorName, std::uint8_t(record.m_nEmployeeIcon));
    if (record.m_TimeFor == CTimeSet::ServiceTask)
        m_table->SetCellText(row, c.jobCustomer, record.m_strJobLabel + QLatin1Char(' ') + record.m_strJob);
    if (redraw && m_chart)
        m_chart->update();
}

bool CViewTrack::RedrawTaskRow(int row, bool redraw, int code)
{
    if (!m_bTrackMode || !m_table || code < kTasksByOperator || code > kTasksMyDays)
        return false;
    const qint32 key = RowKey(row);
    CTimeSet record;
    if (key == 0 || !record.FindByTimeID(key, false) || record.IsEOF())
        return false;
    record.LoadDisplayTexts();
    FillTaskRow(record, row, redraw, code);
    return true;
}

void CViewTrack::ListTimeSheets(int code)
{
    if (!LoadList(code, CXTable::TotalsPerGroup))
        return;
    m_bKeys = false;
    const int columns = m_table->GetColumnCount();
    for (int col = 2; col < columns; ++col) {
        m_table->SetColumnFormat(col, 2086);
        m_table->SetColumnCharWidth(col, 5);
    }
    const int operatorColumn = code == kTimeSheetsByOperator ? 0 : 1;
    CZqApp *app = ZqApp();
    const int empColumn = columns - 1;
    std::unique_ptr<CXProgress> progress;
    if (m_table->GetDataRowCount() > 10) {
        progress = CXProgress::Create();
        progress->Start(m_table->GetDataRowCount(), QStringLiteral("Formatting %s time sheets"), true, true);
    }
    for (int r = 0; r < m_table->GetRowCount(); ++r) {
        if (m_table->IsSpecialRow(r))
            continue;
        if (progress && !progress->Step())
            return;
        const QString spanText = m_table->GetCellText(r, 4);
        qint32 span = 0;
        if (!spanText.trimmed().isEmpty())
            ParseHoursMinutes(spanText, span);
        const qint32 worked = m_table->GetCellLong(r, 6);
        m_table->SetCellLong(r, 5, span > 0 ? span - worked : 0);
        const int empNo = m_table->GetCellText(r, empColumn).toInt();
        if (app && !m_table->GetCellText(r, operatorColumn).isEmpty()) {
            QString name;
            int icon = 0;
            app->GetEmployeeNameAndIcon(quint8(empNo), name, icon);
            m_table->SetCellText(r, operatorColumn, name);
            m_table->SetCellStyle(r, operatorColumn, std::uint8_t(CZqApp::GetEmployeeIcon(quint8(empNo), 131)));
        }
    }
}

void CViewTrack::ListTrackedVsCharged(int code)
{
    if (!LoadList(code, CXTable::TotalsPerGroup))
        return;
    CZqApp *app = ZqApp();
    const int categoryColumn = m_table->FindColumn(QStringLiteral("Category"));
    const int operatorColumn = m_table->FindColumn(QStringLiteral("Operator"));
    m_table->SetColumnFormat(0, 2084);
    if (categoryColumn >= 0)
        m_table->SetColumnFormat(categoryColumn, 2084);
    if (operatorColumn >= 0)
        m_table->SetColumnFormat(operatorColumn, 2084);
    for (int r = 0; r < m_table->GetRowCount(); ++r) {
        if (m_table->IsSpecialRow(r))
            continue;
        if (app && categoryColumn >= 0 && !m_table->GetCellText(r, categoryColumn).trimmed().isEmpty()) {
            QString name;
            int icon = 0;
            app->GetCategoryNameAndIcon(m_table->GetCellText(r, categoryColumn).trimmed().toInt(), name, icon);
            m_table->SetCellText(r, categoryColumn, name);
            m_table->SetCellStyle(r, categoryColumn, std::uint8_t(icon));
        }
        if (app && operatorColumn >= 0 && !m_table->GetCellText(r, operatorColumn).trimmed().isEmpty()) {
            const int empNo = m_table->GetCellText(r, operatorColumn).trimmed().toInt();
            m_table->SetCellText(r, operatorColumn, app->GetEmployeeName(quint8(empNo)));
            m_table->SetCellStyle(r, operatorColumn, std::uint8_t(CZqApp::GetEmployeeIcon(quint8(empNo), 131)));
        }
        FillPercentColumns(r, 5);
        FillPercentColumns(r, 10);
    }
}

void CViewTrack::FillPercentColumns(int row, int firstColumn)
{
    const qint32 tracked = m_table->GetCellLong(row, firstColumn);
    const qint32 actual = m_table->GetCellLong(row, firstColumn + 1);
    const qint32 charged = m_table->GetCellLong(row, firstColumn + 2);
    m_table->SetCellText(row, firstColumn + 3, VersusText(actual, tracked));
    m_table->SetCellText(row, firstColumn + 4, VersusText(charged, tracked));
}

// --- close the day ----------------------------------------------------------------------------

bool CViewTrack::ConfirmNoTasksRunning(const QString &action)
{
    CTimeSet running;
    if (!running.FindEntries(QStringLiteral("Status = %1").arg(0), QStringLiteral("Start"), false) || running.IsEOF())
        return true;
    if (action.isEmpty())
        return false;
    return platform::Prompt::messageBox(QStringLiteral("There are task(s) in progress. Do you still want to ") + action,
                                        QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
           == platform::IDYES;
}

int CViewTrack::ChooseRows(const QString &title, const QString &prompt, const QString &allText,
                           const QString &markedText, int rows, int marked)
{
    CDlgOptions choice(title, QString(), 0, this);
    choice.AddRadioGroup(prompt, 0);
    // The highlighted rows are preselected only when more than one is.
    const long preselected = marked > 1 ? 2 : 1;
    choice.AddEntry(1, allText + QString::number(rows), preselected == 1 ? 1 : 0);
    choice.AddEntry(2, markedText + QString::number(marked), preselected == 2 ? 1 : 0);
    choice.m_nSelect = {preselected, 0, 0};
    if (choice.DoModal() != platform::IDOK)
        return 0;
    return int(choice.GetCheckedInRange(1, 2));
}

QList<int> CViewTrack::ChosenRows(int choice) const
{
    QList<int> rows;
    for (int r = 0; r < m_table->GetRowCount(); ++r) {
        if (m_table->IsSpecialRow(r) || RowKey(r) == 0)
            continue;
        if (choice == 1 || m_table->IsRowMarked(r))
            rows << r;
    }
    return rows;
}

int CViewTrack::OnCloseTasks()
{
    const int rows = int(ChosenRows(1).size());
    const int marked = m_table->GetMarkedRowCount();
    if (rows == 0)
        return 0;
    if (!ConfirmNoTasksRunning(QStringLiteral("Close the Day?")))
        return 0;
    const int choice = ChooseRows(QStringLiteral("Close the Day"), QStringLiteral("Which tasks do you want to close?"),
                                  QStringLiteral("Close All Tasks: "), QStringLiteral("Close Highlighted Tasks Only: "),
                                  rows, marked);
    if (choice == 0)
        return 0;
    if (!ConfirmAction(QStringLiteral("start closing %1 tasks now?")
                           .arg(choice == 1 ? QStringLiteral("all") : QStringLiteral("selected"))))
        return 0;
    int closed = 0;
    {
        WaitCursor wait;
        platform::Transaction transaction(SharedDatabase());
        for (int r : ChosenRows(choice)) {
            CTimeSet record;
            if (!record.FindByTimeID(RowKey(r), true) || record.IsEOF() || !record.SafeEdit())
                continue;
            record.m_Status = 3;
            if (record.SafeUpdate())
                ++closed;
        }
        transaction.commit();
    }
    platform::Prompt::messageBox(QStringLiteral("Closed %1 Task(s)").arg(closed));
    RefreshList(0);
    return closed;
}

int CViewTrack::OnUpdateJobServices()
{
    const int rows = int(ChosenRows(1).size());
    const int marked = m_table->GetMarkedRowCount();
    if (rows == 0)
        return 0;
    if (!ConfirmNoTasksRunning(QStringLiteral("update Actual Quantities and Costs?")))
        return 0;
    const int choice = ChooseRows(QStringLiteral("Update Actual Quantities and Costs"),
                                  QStringLiteral("Which Services do you want to update?"), QStringLiteral("All Services: "),
                                  QStringLiteral("Highlighted Services Only: "), rows, marked);
    if (choice == 0)
        return 0;
    int updated = 0;
    {
        WaitCursor wait;
        for (int r : ChosenRows(choice)) {
            // Each service with its order's cost totals is one unit of work.
            CItemSet item;
            if (!item.OpenByItemID(RowKey(r)) || item.IsEOF())
                continue;
            if (item.SetActualCosts(m_table->GetCellLong(r, 10), m_table->GetCellLong(r, 5)))
                ++updated;
        }
    }
    platform::Prompt::messageBox(QStringLiteral("Updated %1 Service(s)").arg(updated));
    RefreshList(0);
    return updated;
}

void CViewTrack::OnNoticeCommand()
{
    if (m_bTrackMode || m_nListChoice < kCloseTheDay || m_nListChoice > kCloseTasks)
        return;
    if (m_nLastListCode == kTrackedByJob)
        OnUpdateJobServices();
    else if (m_nLastListCode == kTasksByOperator)
        OnCloseTasks();
}

void CViewTrack::OnDeleteTasks()
{
    if (!m_table || !m_bTrackMode)
        return;
    const int selected = SelectedRow();
    if (selected >= 0 && !m_table->IsRowMarked(selected))
        m_table->ToggleRowSelection(selected, 256);
    const int count = m_table->GetMarkedRowCount();
    if (count == 0)
        return;
    // Deleting is guarded by the Track password (row 221).
    if (!AskPassword(m_strTrackPassword, QStringLiteral("delete")))
        return;
    if (!ConfirmAction(QStringLiteral("delete selected tasks (%1) now?").arg(count)))
        return;
    int deleted = 0;
    {
        platform::Transaction transaction(SharedDatabase());
        for (int r : ChosenRows(2)) {
            CTimeSet record;
            if (record.FindByTimeID(RowKey(r), true) && !record.IsEOF() && record.DeleteWithConfirm(QString()))
                ++deleted;
        }
        transaction.commit();
    }
    if (deleted > 0)
        RefreshList(0);
}

void CViewTrack::OnOpenTask()
{
    const qint32 key = RowKey(SelectedRow());
    if (key == 0 || TaskIcon(SelectedRow()) < 48)
        return;
    CTimeSet record;
    if (!record.FindByTimeID(key, true) || record.IsEOF()) {
        platform::Prompt::messageBox(QStringLiteral("Cannot find the Task."));
        return;
    }
    if (record.m_TimeFor == CTimeSet::ServiceTask) {
        CItemSet item;
        if (!item.OpenByItemID(record.m_ItemID) || item.IsEOF()) {
            platform::Prompt::messageBox(QStringLiteral("Cannot find the Job Service that is linked to this Task."));
            return;
        }
    }
    record.LoadDisplayTexts();
    if (RunTaskDialog(record) == 30121) {
        ShowStatusText(QStringLiteral("EDITED: ") + record.m_strTask);
        PostCommand(30121);
    }
}

// --- setup ---------------------------------------------------------------------------------------

void CViewTrack::OnTrackOptions()
{
    // The passwords are read again whatever was saved.
    RunTrackOptions(m_nHue, this);
    GetPasswordText(m_strTrackPassword, 221);
    GetPasswordText(m_strReviewPassword, 222);
}

void CViewTrack::EditTimeDepartments(const QString &title, quint8 type, quint8 keyBase, quint8 limit, bool flag)
{
    Q_UNUSED(flag);
    RunTimeDepartments(title, type, keyBase, limit, m_nHue, this);
}

void CViewTrack::RunTaskJobDialog(qint32 jobId, qint32 itemId)
{
    CTaskJobDlg dialog(jobId, itemId, quint8(qMax(0, m_nOperator)), this);
    if (dialog.DoModal() == platform::IDOK)
        StartChosen(CTimeSet::ServiceTask, dialog.m_chosen);
}

void CViewTrack::RunTaskListDialog(int selection)
{
    CTaskListDlg dialog(selection, quint8(qMax(0, m_nOperator)), this);
    if (dialog.DoModal() == platform::IDOK)
        StartChosen(CTimeSet::ServiceTask, dialog.m_chosen);
}

int CViewTrack::RunTaskDialog(CTimeSet &record)
{
    CTaskDlg dialog(&record, m_strTrackPassword, this);
    return dialog.DoModal();
}
