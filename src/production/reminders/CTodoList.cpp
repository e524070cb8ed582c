#include "production/reminders/CTodoList.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Confirmation.h"
#include "app/base/DialogControls.h"
#include "controls/CXListCtrl.h"
#include "data/CTodoSet.h"
#include "data/DatabaseHelpers.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "data/DaoError.h"
#include "production/reminders/CTodoDlg.h"
#include "views/CDlgOptions.h"

#include <QtCore/QTimer>
#include <QtWidgets/QMenu>

namespace {

constexpr int kJobsView = 30001;
constexpr int kOpenIcon = 169;
// Columns of the list.
constexpr int kColWho = 3;
constexpr int kColReference = 4;
constexpr int kColStatus = 6;
constexpr int kColOpen = 7;
constexpr int kColViewId = 8;
constexpr int kColRefId = 9;

QString referenceLookup(qint32 viewId)
{
    switch (viewId) {
    case 30001:
        return QStringLiteral("SELECT JobTypes.Name & ' ' & Jobs.JobNo FROM Jobs INNER JOIN JobTypes ON Jobs.JobType "
                              "= JobTypes.JobType WHERE Jobs.JobID = ");
    case 30002:
        return QStringLiteral("SELECT ServiceCategories.CatName & ': ' & Services.Name FROM Services INNER JOIN "
                              "ServiceCategories ON Services.CatNo = ServiceCategories.CatNo WHERE Services.SerNo = ");
    case 30003:
    case 30004:
        return QStringLiteral("SELECT Customers.Name FROM Customers WHERE Customers.CusNo = ");
    default:
        return QString();
    }
}

} // namespace

CTodoList::CTodoList(qint32 selectedTodo, qint32 viewId, qint32 refId, int hue, QWidget *parent)
    : CDlg0(422, parent), m_nSelectedTodo(selectedTodo), m_nViewID(viewId), m_nRefID(refId)
{
    m_strWindowTitle = QStringLiteral("Reminders");
    m_nColorScheme = hue;
    m_bEnterAsTab = 0;
    if (CZqApp *app = ZqApp()) {
        m_nOption = app->GetSettingInt(QStringLiteral("Reminder Option"), 0);
        m_nSection = app->GetSettingInt(QStringLiteral("Reminder Section"), 0);
        m_nListChoice = app->GetSettingInt(QStringLiteral("Reminder Default"), 29831);
    }
    resize(820, 460);
    AddPlaceholder(1901, QRect(0, 0, 820, 40));
    AddPlaceholder(1902, QRect(0, 40, 820, 24));
    m_list = new CXListCtrl(this);
    m_list->setGeometry(4, 68, 812, 344);
    SetDlgCtrlID(m_list, kList);
    AddPlaceholder(1903, QRect(0, 416, 820, 44));
    AddSizeMarker(QPoint(820, 460));
    m_pList = m_list;
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CTodoList::OnContextMenu);
    connect(m_list, &QAbstractItemView::doubleClicked, this,
            [this] { QTimer::singleShot(150, this, [this] { OnOpen(); }); });
    connect(m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.column() == kColOpen && m_list->GetSubItemImage(index.row(), kColOpen) == kOpenIcon)
            OnOpen();
    });
}

CTodoList::~CTodoList() = default;

QString CTodoList::ListChoiceText(int choice)
{
    switch (choice) {
    case 29820: return QStringLiteral("Everyone's Reminders");
    case 29821: return QStringLiteral("Everyone's Reminders To-Do");
    case 29822: return QStringLiteral("Everyone's Reminders Done");
    case 29830: return QStringLiteral("My Reminders");
    case 29831: return QStringLiteral("My Reminders To-Do");
    case 29832: return QStringLiteral("My Reminders Done");
    default: return QString();
    }
}

bool CTodoList::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitListRibbons(84, true, false, m_nRefID == 0);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnSelectionChanged(); });
    m_list->SetImageListAndStyle(131, 0, 0);
    FillList();
    if (m_list->GetItemCount() == 0)
        QTimer::singleShot(0, this, [this] { SendCommand(30100); });
    return true;
}

void CTodoList::FillList()
{
    m_bFilling = true;
    const bool allSections = m_nSection == 1 && m_nRefID == 0;
    const QString section = allSections ? QStringLiteral("All Sections") : m_strCaption;
    SetRibbonTitle(QStringLiteral("%1: %2").arg(ListChoiceText(m_nListChoice), section));

    CTodoSet todos;
    todos.SetListFilter(allSections ? 0 : m_nViewID, m_nRefID, m_nListChoice, false);
    m_strFilter = todos.m_strFilter;
    m_strSql = QStringLiteral(
                   "SELECT TodoTypes.Do as [What_w_70], Todos.When, Todos.Time, Format(Todos.Who) as [Who_w_70], '' "
                   "as [Reference_w_200], Todos.Note, Format(Todos.Status) as [Status_w_80], '' as _w_16, "
                   "Todos.ViewID as ViewID_HIDE, Todos.RefID as RefID_HIDE, Todos.TodoID as TodoID_HIDE FROM Todos "
                   "INNER JOIN TodoTypes ON Todos.TypeID = TodoTypes.ID WHERE ")
               + m_strFilter + QStringLiteral(" ORDER BY Todos.When, Todos.Time");
    m_list->ClearList(false);
    m_list->FillFromSql(m_strSql, QStringLiteral("TodoID"));
    m_list->FetchAll();
    m_list->SetAutoSizeMode(5, false);
    m_list->SetDrawStyle(2, 0xFFFFFF, 0, 60, 60);
    m_list->SetColumnAlign(kColWho, 0);
    m_list->SetColumnAlign(kColStatus, 0);

    CZqApp *app = ZqApp();
    const int rows = m_list->GetItemCount();
    bool found = false;
    for (int row = 0; row < rows; ++row) {
        const quint8 who = quint8(m_list->GetItemText(row, kColWho).toInt());
        m_list->SetItemText(row, kColWho, app ? app->GetEmployeeName(who) : QString());
        const qint32 viewId = m_list->GetItemText(row, kColViewId).toInt();
        const qint32 refId = m_list->GetItemText(row, kColRefId).toInt();
        QString reference = Appearance::GetViewName(unsigned(viewId));
        const QString lookup = referenceLookup(viewId);
        if (refId != 0 && !lookup.isEmpty())
            reference += QStringLiteral(": ") + DbLookupText(lookup + QString::number(refId));
        m_list->SetItemText(row, kColReference, reference);
        const quint8 status = quint8(m_list->GetItemText(row, kColStatus).toInt());
        QString name;
        CZqApp::GetTodoStatusName(name, status);
        m_list->SetItemText(row, kColStatus, name);
        m_list->SetSubItemImage(row, 0, CZqApp::GetTodoStatusIcon(status));
        m_list->SetSubItemImage(row, kColOpen, kOpenIcon);
        const qint32 todoId = qint32(m_list->GetItemData(row));
        if (m_nSelectedTodo == 0 && status < 3)
            m_nSelectedTodo = todoId;
        found = found || todoId == m_nSelectedTodo;
    }
    m_list->SetAutoSizeMode(5, true);
    m_bFilling = false;
    if (!found)
        m_nSelectedTodo = 0;
    if (m_nSelectedTodo != 0)
        m_list->FindItemByData(m_nSelectedTodo, true);
    OnSelectionChanged();
    if (m_wndRibbonBottom.isCreated())
        m_wndRibbonBottom.SetItemText(30262, QStringLiteral("Listed: %1").arg(rows));
}

void CTodoList::OnSelectionChanged()
{
    if (m_bFilling)
        return;
    const int row = m_list->GetSelectedCount() > 0 ? m_list->FindItemByData(m_list->GetSelectedData(), false) : -1;
    m_nSelectedTodo = row >= 0 ? qint32(m_list->GetItemData(row)) : 0;
    m_nSelectedRef = 0;
    if (row >= 0 && m_list->GetItemText(row, kColViewId).toInt() == m_nViewID)
        m_nSelectedRef = m_list->GetItemText(row, kColRefId).toInt();
    const QString text = okText();
    if (m_wndRibbonBottom.isCreated()) {
        m_wndRibbonBottom.SetItemText(1, text);
        m_wndRibbonBottom.EnableItem(1, !text.isEmpty());
    }
    if (m_wndRibbon.isCreated()) {
        m_wndRibbon.EnableItem(30102, m_nSelectedTodo != 0);
        m_wndRibbon.EnableItem(30113, m_nSelectedTodo != 0);
    }
}

QString CTodoList::okText()
{
    if (m_nRefID != 0 || m_nSelectedRef == 0 || m_nViewID != kJobsView || m_nSelectedTodo == 0)
        return QString();
    const int row = m_list->FindItemByData(m_nSelectedTodo, false);
    return row >= 0 ? QStringLiteral("Open ") + m_list->GetItemText(row, kColReference) : QString();
}

QList<qint32> CTodoList::SelectedTodos()
{
    QList<qint32> ids;
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->IsItemSelected(row))
            ids.append(qint32(m_list->GetItemData(row)));
    return ids;
}

bool CTodoList::OnCommand(int id)
{
    if (id >= 30131 && id <= 30134) {
        OnSetStatus(id - 30131);
        return true;
    }
    if (id >= 29820 && id <= 29839) {
        OnListChoice(id);
        return true;
    }
    switch (id) {
    case 1:
        if (!okText().isEmpty())
            EndDialog(IDOK_RESULT);
        return true;
    case 30100: OnNew(); return true;
    case 30102: OnOpen(); return true;
    case 30113: OnDelete(); return true;
    case 30540: OnOptions(); return true;
    case 30281: OnTitleMenu(); return true;
    case 30262:
        platform::Prompt::messageBox(QStringLiteral("FILTER:\n\n") + m_strFilter, QString(),
                                     platform::MB_OK | platform::MB_ICONINFORMATION);
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CTodoList::OnNew()
{
    m_nSelectedTodo = 0;
    m_list->clearSelection();
    CTodoDlg dialog(0, m_nViewID, m_nRefID, m_nColorScheme, this);
    if (dialog.DoModal() == IDOK_RESULT && dialog.changed()) {
        m_bChanged = 1;
        m_nSelectedTodo = dialog.todoId();
        FillList();
    }
}

void CTodoList::OnOpen()
{
    qint32 viewId = m_nViewID;
    qint32 refId = m_nRefID;
    const int row = m_nSelectedTodo != 0 ? m_list->FindItemByData(m_nSelectedTodo, false) : -1;
    if (row >= 0) {
        viewId = m_list->GetItemText(row, kColViewId).toInt();
        refId = m_list->GetItemText(row, kColRefId).toInt();
    }
    CTodoDlg dialog(m_nSelectedTodo, viewId, refId, m_nColorScheme, this);
    if (dialog.DoModal() == IDOK_RESULT && dialog.changed()) {
        m_bChanged = 1;
        FillList();
    }
}

int CTodoList::OnSetStatus(int status)
{
    const QList<qint32> ids = SelectedTodos();
    if (ids.isEmpty())
        return 0;
    int saved = 0;
    try {
        platform::Transaction unit(SharedDatabase());
        CTodoSet todo;
        for (qint32 id : ids) {
            if (!todo.FindById(id, true) || todo.IsEOF())
                continue;
            todo.m_Status = quint8(status);
            if (todo.SaveRecord(0, QStringLiteral("Todos")))
                ++saved;
        }
        unit.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Todos"));
        saved = 0;
    }
    if (saved > 0) {
        m_bChanged = 1;
        FillList();
    }
    return saved;
}

int CTodoList::OnDelete()
{
    const QList<qint32> ids = SelectedTodos();
    if (ids.isEmpty())
        return 0;
    CZqApp *app = ZqApp();
    if (app && !app->CheckPassword(12, QStringLiteral("delete reminders")))
        return 0;
    if (!ConfirmAction(QStringLiteral("delete selected records?")))
        return 0;
    int deleted = 0;
    try {
        platform::Transaction unit(SharedDatabase());
        CTodoSet todo;
        for (qint32 id : ids) {
            todo.m_strFilter = QStringLiteral("TodoID = %1").arg(id);
            if (!todo.RequeryOrOpen(false) || todo.IsEOF())
                continue;
            todo.Delete();
            ++deleted;
        }
        unit.commit();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot delete Todos"));
        deleted = 0;
    }
    if (deleted > 0) {
        m_bChanged = 1;
        m_nSelectedTodo = 0;
        FillList();
    }
    return deleted;
}

void CTodoList::OnListChoice(int choice)
{
    // For this window only: the stored default stays.
    m_nListChoice = choice;
    FillList();
}

bool CTodoList::OnOptions()
{
    CDlgOptions dialog(QStringLiteral("Reminders"), QStringLiteral("(for this computer only)"), 0, this);
    dialog.AddRadioGroup(QStringLiteral("Default list:"), 0);
    for (int code : {29820, 29821, 29830, 29831})
        dialog.AddEntry(code, ListChoiceText(code), code == m_nListChoice ? 1 : 0);
    dialog.AddRadioGroup(QStringLiteral("Do you want to include reminders from all sections?"), 0);
    dialog.AddEntry(10, QStringLiteral("No"), m_nSection + 10 == 10 ? 1 : 0);
    dialog.AddEntry(11, QStringLiteral("Yes"), m_nSection + 10 == 11 ? 1 : 0);
    dialog.AddRadioGroup(QStringLiteral("Do you want the Reminders window to open (pop up) automatically?"), 0);
    dialog.AddEntry(1, QStringLiteral("No"), m_nOption + 1 == 1 ? 1 : 0);
    dialog.AddEntry(2, QStringLiteral("Yes (if there are any tasks due today or earlier)"), m_nOption + 1 == 2 ? 1 : 0);
    if (dialog.DoModal() != IDOK_RESULT)
        return false;
    const long choice = dialog.GetCheckedInRange(29820, 29832);
    const long section = dialog.GetCheckedInRange(10, 11);
    const long option = dialog.GetCheckedInRange(1, 2);
    if (choice != 0)
        m_nListChoice = int(choice);
    if (section != 0)
        m_nSection = int(section) - 10;
    if (option != 0)
        m_nOption = int(option) - 1;
    if (CZqApp *app = ZqApp()) {
        app->WriteSettingInt(QStringLiteral("Reminder Default"), m_nListChoice);
        app->WriteSettingInt(QStringLiteral("Reminder Section"), m_nSection);
        app->WriteSettingInt(QStringLiteral("Reminder Option"), m_nOption);
    }
    FillList();
    return true;
}

void CTodoList::OnTitleMenu()
{
    QMenu menu(this);
    for (int code : {29820, 29821, 29822, 29830, 29831, 29832}) {
        QAction *action = menu.addAction(ListChoiceText(code));
        action->setData(code);
        action->setCheckable(true);
        action->setChecked(code == m_nListChoice);
    }
    if (QAction *chosen = menu.exec(QCursor::pos()))
        SendCommand(chosen->data().toInt());
}

void CTodoList::OnContextMenu(const QPoint &point)
{
    if (m_list->GetItemCount() == 0)
        return;
    QMenu menu(this);
    const struct { int id; const char *text; } entries[] = {
        {30100, "New"}, {30102, "Open"}, {30131, "Set Status: To-Do"}, {30134, "Set Status: Done"},
        {30113, "Delete..."}};
    for (const auto &e : entries)
        menu.addAction(QString::fromLatin1(e.text))->setData(e.id);
    if (QAction *chosen = menu.exec(m_list->viewport()->mapToGlobal(point)))
        SendCommand(chosen->data().toInt());
}

void CTodoList::OnSize(int type, int cx, int cy)
{
    LayoutListOnSize(type, cx, cy, m_list);
}
