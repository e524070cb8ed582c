#include "catalogue/CViewServices.h"
#include "views/ListChoice.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "app/base/TypedValue.h"
#include "catalogue/COrganize.h"
#include "catalogue/CSerDlg.h"
#include "catalogue/ServiceUpdates.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "platform/Prompt.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CViewDefaults.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QTreeWidgetItem>

#include <cmath>

namespace {

constexpr int kServicesView = 30002;
constexpr int kSettingsView = 30006;

const QString kSummarySql = QStringLiteral(
    "SELECT ServiceCategories.CatName, Count(Services.SerNo) AS [Count] FROM Services INNER JOIN ServiceCategories "
    "ON Services.CatNo = ServiceCategories.CatNo WHERE ServiceCategories.CatNo > 0 GROUP BY "
    "ServiceCategories.CatName, ServiceCategories.CatNo ORDER BY ServiceCategories.CatNo");

// The entries of the "Services" button menu: text and command, "-" a separator.
struct MenuEntry
{
    const char *text;
    int command;
};
const MenuEntry kMenu[] = {
    {"Paste this Service (Duplicate)", 30111},
    {"Change Status...", 30130},
    {"Update Costs...", 30646},
    {"Update Cost Multiplier...", 30544},
    {"-", 0},
    {"Departments and Categories...", 30541},
    {"Quick Notes...", 30543},
    {"Summary", 30536},
};

} // namespace

const QList<int> &CViewServices::MenuCommands()
{
    static const QList<int> commands = [] {
        QList<int> list;
        for (const MenuEntry &entry : kMenu)
            list << entry.command;
        return list;
    }();
    return commands;
}

CViewServices::CViewServices(QWidget *parent) : CView0(kServicesView, parent)
{
    m_nNoticeCommand = 30211;
    m_nMoveInList = 1;
    m_nDropOnTree = 1;
}

void CViewServices::OnInitialUpdate()
{
    if (isInitialised())
        return;
    CView0::OnInitialUpdate();
    LoadListOptions(QStringLiteral("Exclude Discontinued"), 200, 0, -1);

    QString menu;
    for (const MenuEntry &entry : kMenu)
        menu += QString::fromUtf8(entry.text) + QLatin1Char(',');
    const bool compact = m_mainBar->barStyle() == 2;
    m_mainBar->AddSpacer(8, 0);
    m_mainBar->AddItem(kMenuButton, QStringLiteral("Services"), 0, 132, 8, 1, 2085, 0, compact ? 0 : 2,
                       compact ? 44 : 64, kMenuBase, 0, menu);
    m_mainBar->AddItem(30674, QStringLiteral("Service Settings"), 0, 132, 10, 1, 2085, 0, compact ? 0 : 2,
                       compact ? 44 : 64, 0, 0, QStringLiteral("Service Settings"));
    m_mainBar->RecalcLayout(255);
    FillServiceTree();
    UpdateRibbonStates();
}

void CViewServices::FillServiceTree()
{
    m_bTreeFilling = true;
    COrganize::FillTree(*m_tree);
    m_bTreeFilling = false;
}

QList<qint32> CViewServices::SelectedServices()
{
    QList<qint32> keys;
    for (std::int64_t key : ListedKeys(true))
        keys << qint32(key);
    return keys;
}

bool CViewServices::IsCommandEnabled(int id)
{
    const bool rows = m_list && m_list->GetItemCount() > 0 && m_bListShown && !m_bChartShown;
    switch (id) {
    case 30111: case 30130: case 30543: case 30544: case 30646:
        return rows;
    case 30536: case 30541: case 30674: case kMenuButton:
        return true;
    case 30542:
        return false;
    default:
        return CView0::IsCommandEnabled(id);
    }
}

bool CViewServices::OnCommand(int id)
{
    if (id >= kMenuBase && id < kMenuBase + int(std::size(kMenu))) {
        const int command = kMenu[id - kMenuBase].command;
        if (command != 0 && IsCommandEnabled(command))
            return OnCommand(command);
        return true;
    }
    switch (id) {
    case kMenuButton:
        return true;
    case 30401:
        OnListNow();
        return true;
    case 30100:
        OnNew();
        return true;
    case 30103:
        OnOpen();
        return true;
    case 30101:
        // The base's find: the filter from the find dialog, then the list.
        OnAddFilter();
        return true;
    case 30113:
        DeleteSelected(QStringLiteral("SerNo"), QStringLiteral("Services"));
        MarkServicesChanged();
        return true;
    case 30111:
        OnDuplicate();
        return true;
    case 30211:
        OnNoticeButton();
        return true;
    case 30541:
        OnOrganize();
        return true;
    case 30543:
        OnQuickNotes();
        return true;
    case 30544:
        OnCostMultiplier();
        return true;
    case 30646:
        OnUpdateCosts();
        return true;
    case 30130:
        OnChangeStatus();
        return true;
    case 30536:
        ShowSummary(QStringLiteral("Services"), kSummarySql);
        return true;
    case 30674:
        // The service settings live in the settings view.
        emit switchViewRequested(kSettingsView);
        return true;
    default:
        return CView0::OnCommand(id);
    }
}

// --- listing and sort order ---------------------------------------------------

void CViewServices::OnListNow()
{
    if (sortOrderChanged())
        SaveSortOrder();
    ClearFilter();
    if (QApplication::keyboardModifiers() & Qt::ControlModifier) {
        const QString hide = QStringLiteral("Services.SerStatus <> 2");
        setFilter(hide, hide);
    }
    OnRefresh();
    ClearSortFlag();
}

void CViewServices::SaveSortOrder()
{
    QList<qint32> order;
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        order << qint32(m_list->GetItemData(row));
    SaveServicesSortOrder(order);
    ClearSortFlag();
    MarkServicesChanged();
}

void CViewServices::ClearSortFlag()
{
    m_nMoveCount = 0;
    SetNoticeButton(QString(), 0);
}

void CViewServices::OnNoticeButton()
{
    if (!sortOrderChanged())
        return;
    if (platform::Prompt::messageBox(QStringLiteral("Save the new sort order?"), QString(),
                                     platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES) {
        SaveSortOrder();
        return;
    }
    ClearSortFlag();
    MarkServicesChanged();
}

void CViewServices::MarkServicesChanged()
{
    if (CZqApp *app = ZqApp())
        app->ServicesChanged = 1;
}

// --- one service ----------------------------------------------------------------

bool CViewServices::RunServiceDialog(int openMode)
{
    CSerDlg dialog(m_set, m_list, this);
    dialog.m_nOpenMode = openMode;
    const int result = dialog.DoModal();
    const bool saved = dialog.savedAny();
    if (m_set.IsOpen() && m_set.GetEditMode() != CXDaoSet::dbEditNone) {
        try {
            m_set.CancelUpdate();
        } catch (const platform::DbException &) {
        }
    }
    if (result == 30100)
        PostCommand(30100);
    return saved || result == 1;
}

void CViewServices::OnOpen()
{
    if (RefusedWithNoRowChosen(*this))
        return;
    if (sortOrderChanged())
        SaveSortOrder();
    const std::int64_t key = GetSelectedItemData();
    if (key < 0)
        return;
    m_set.m_strFilter = QStringLiteral("Services.SerNo = %1").arg(key);
    m_set.m_strSort.clear();
    if (!m_set.RequeryOrOpen(false))
        return;
    if (RunServiceDialog(30103))
        FillList();
    m_list->setFocus();
}

void CViewServices::OnNew()
{
    if (!ReadTreeSelection()) {
        platform::Prompt::messageBox(QStringLiteral("Please select a Service Category first.\n"), QString(),
                                     platform::MB_ICONSTOP);
        m_tree->setFocus();
        return;
    }
    if (!m_set.SafeAddNew())
        return;
    m_set.ResetFields(m_nChosenCode);
    if (RunServiceDialog(0))
        FillList();
    m_list->setFocus();
}

void CViewServices::OnDuplicate()
{
    const std::int64_t key = GetSelectedItemData();
    if (key <= 0)
        return;
    const qint32 copy = DuplicateService(qint32(key));
    if (copy == 0)
        return;
    OnRefresh();
    m_list->FindItemByData(copy, true);
    MarkServicesChanged();
    if (platform::Prompt::messageBox(
            QStringLiteral("Service is successfully added!\nDo you want to view and/or edit it now?"), QString(),
            platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
        return;
    m_set.m_strFilter = QStringLiteral("Services.SerNo = %1").arg(copy);
    m_set.m_strSort.clear();
    if (m_set.RequeryOrOpen(false) && RunServiceDialog(30103))
        FillList();
}

// --- moving services by dragging ------------------------------------------------

bool CViewServices::CanDropOnTree(QTreeWidgetItem *entry)
{
    // Department entries name no category.
    if (!entry || !entry->parent())
        return false;
    const qint32 target = qint32(CXTreeCtrl::GetItemData(entry));
    return target != m_nChosenCode && CanMoveServiceToCategory(m_nChosenCode, target);
}

void CViewServices::DropOnTree()
{
    QTreeWidgetItem *entry = dropTreeEntry();
    if (!CanDropOnTree(entry))
        return;
    QList<qint32> keys = SelectedServices();
    if (keys.isEmpty() && dragRow() >= 0)
        keys << qint32(m_list->GetItemData(dragRow()));
    if (MoveServicesToCategory(keys, qint32(CXTreeCtrl::GetItemData(entry))) > 0) {
        FillList();
        MarkServicesChanged();
    }
}

// --- other tables -------------------------------------------------------------------

void CViewServices::OnOrganize()
{
    COrganize organizer(this);
    if (organizer.DoModal() != 1)
        return;
    if (CZqApp *app = ZqApp()) {
        app->LoadServiceDepartments();
        app->LoadServiceCategories();
    }
    FillServiceTree();
}

void CViewServices::OnQuickNotes()
{
    if (!ReadTreeSelection())
        return;
    CViewDefaults editor;
    editor.EditSetupTable(806, m_nChosenCode, m_nHue);
}

// --- bulk changes ---------------------------------------------------------------------

void CViewServices::OnCostMultiplier()
{
    const QList<qint32> keys = SelectedServices();
    if (keys.isEmpty())
        return;
    CDlgData entry(QString(), 9, QStringLiteral("Cost Multiplier"), QStringLiteral("Material Cost Multiplier for Overhead"),
                   QStringLiteral("Apply the multiplier to selected Services. Examples:\n1.5 increases material cost "
                                  "by 50%. \n2.0 doubles it. \n1.0 (or less) does not change material cost."),
                   this);
    if (entry.DoModal() != platform::IDOK)
        return;
    bool ok = false;
    const double value = entry.m_strValue.trimmed().toDouble(&ok);
    // "inf" and "nan" read as numbers but multiply no cost.
    if (!ok || !std::isfinite(value)) {
        platform::Prompt::messageBox(
            FieldMessage(QStringLiteral("Cost Multiplier"), QStringLiteral("Please type a number, such as 1.5")),
            QString(), platform::MB_ICONEXCLAMATION);
        return;
    }
    const int written = SetServicesCostMultiplier(keys, float(value));
    if (written < 0)
        return;
    platform::Prompt::messageBox(QString::number(written) + QStringLiteral(" services are updated."));
    FillList();
}

void CViewServices::OnUpdateCosts()
{
    const QList<qint32> keys = SelectedServices();
    if (keys.isEmpty())
        return;
    CDlgData entry(QString(), 9, QStringLiteral("Update Costs"), QStringLiteral("Type a percentage, such as 5 or 5.5"),
                   QStringLiteral("This process updates the unit (not setup) costs of selected services: ")
                       + QString::number(keys.size())
                       + QStringLiteral(".\n\nTo decrease costs, type a minus percentage."),
                   this);
    if (entry.DoModal() != platform::IDOK)
        return;
    // The percentage in ten-thousandths, read whole ("12abc" is no 12 %): the
    // factor 1 + p / 100 stays exact.
    QString typed = entry.m_strValue.trimmed();
    if (typed.endsWith(QLatin1Char('%')))
        typed = typed.chopped(1).trimmed();
    std::int64_t percent = 0;
    if (!typed.isEmpty() && !ReadTypedFixed(typed, 4, percent)) {
        platform::Prompt::messageBox(FieldMessage(QStringLiteral("Update Costs"),
                                                  QStringLiteral("Please type a percentage, such as 5 or 5.5")),
                                     QString(), platform::MB_ICONEXCLAMATION);
        return;
    }
    if (percent == 0 || percent <= -1000000)
        return;

    CDlgOptions rounding(QStringLiteral("Update Costs"), QString(), 0, this);
    rounding.AddRadioGroup(QStringLiteral("Round (up) the updated costs to:"), 0);
    rounding.AddEntry(1, QStringLiteral("$0.01"), 1);
    rounding.AddEntry(2, QStringLiteral("$0.10"));
    rounding.AddEntry(3, QStringLiteral("$1.00"));
    if (rounding.DoModal() != platform::IDOK)
        return;
    const long choice = rounding.GetCheckedInRange(1, 3);
    const int step = choice == 1 ? 1 : choice == 2 ? 10 : 100;

    QString refusal;
    const int written = UpdateServicesRunCosts(keys, percent, step, &refusal);
    if (!refusal.isEmpty())
        platform::Prompt::messageBox(refusal, QString(), platform::MB_ICONEXCLAMATION);
    if (written <= 0)
        return;
    platform::Prompt::messageBox(QString::number(written) + QStringLiteral(" services are updated."));
    FillList();
}

void CViewServices::OnChangeStatus()
{
    const QList<qint32> keys = SelectedServices();
    if (keys.isEmpty())
        return;
    CDlgOptions choice(QStringLiteral("Change Status"), QString(), 0, this);
    choice.AddRadioGroup(QStringLiteral("Change the status of selected Services to:"), 0);
    choice.AddListEntries(1, QStringLiteral("Active,Active and Group Header,Discontinued (hidden for new jobs),"));
    if (choice.DoModal() != platform::IDOK)
        return;
    // With no entry chosen there is no status to give.
    const long chosen = choice.GetCheckedInRange(1, 3);
    if (chosen == 0)
        return;
    if (SetServicesStatus(keys, quint8(chosen - 1)) > 0) {
        FillList();
        MarkServicesChanged();
    }
}
