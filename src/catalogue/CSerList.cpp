#include "catalogue/CSerList.h"

#include "app/base/CZqApp.h"
#include "app/base/Codes.h"
#include "app/base/DialogControls.h"
#include "controls/ControlMessages.h"
#include "controls/DlgItem.h"
#include "platform/Settings.h"
#include "platform/db/Recordset.h"
#include "data/SharedDatabase.h"
#include "data/DaoError.h"
#include "platform/db/DbException.h"

#include <QtWidgets/QApplication>

#include <functional>

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kPaperStyle = QStringLiteral("PaperList Style");

} // namespace

const QString &CSerList::WindowText()
{
    static const QString text = QStringLiteral("Service List:");
    return text;
}

CSerList::CSerList(qint32 department, qint32 category, qint32 current, bool multiPick, QWidget *parent)
    : CDlg0(988, parent), m_nDepartment(department), m_nCategory(category), m_nCurrent(current), m_bMulti(multiPick),
      m_bOfferNone(current != 0)
{
    m_strWindowTitle = WindowText();
    resize(620, 560);
    AddPlaceholder(1901, QRect(0, 0, 620, 40));
    m_departments.setParent(this);
    m_departments.setGeometry(8, 46, 250, 460);
    SetDlgCtrlID(&m_departments, kDepartmentTree);
    m_services.setParent(this);
    m_services.setGeometry(264, 46, 348, 460);
    SetDlgCtrlID(&m_services, kServiceTree);
    AddPlaceholder(1903, QRect(0, 514, 620, 40));
}

void CSerList::AddChecked(qint32 serNo)
{
    if (serNo > 0 && !m_checked.contains(serNo))
        m_checked << serNo;
}

void CSerList::RemoveChecked(qint32 serNo)
{
    m_checked.removeAll(serNo);
}

qint32 CSerList::GetChecked(int index) const
{
    return index >= 0 && index < m_checked.size() ? m_checked[index] : 0;
}

CSerList *CSerList::FindOpenPicker()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == WindowText())
            if (auto *picker = qobject_cast<CSerList *>(w))
                return picker;
    return nullptr;
}

bool CSerList::OnInitDialog()
{
    CDlg0::OnInitDialog();
    m_nPaperStyle = platform::Settings::readInt(kSettings, kPaperStyle, 1) ? 1 : 0;
    if (m_wndRibbon.Create(this, 1901, m_nColorScheme, 1, 131, 1, 0, 0, 0, 0, 0)) {
        connect(&m_wndRibbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndRibbon.AddItem(30281, QStringLiteral("Department / Category"), struct_RIB_ITEM::Normal, 131, 11, 2, 2084,
                            0, 0, 170, 0, 0, QStringLiteral("Expand/Collapse the list"));
        m_wndRibbon.AddItem(30282, QStringLiteral("Services"), struct_RIB_ITEM::Plain, 0, 255, 7, 2084, 0, 0, 200);
        m_wndRibbon.AddItem(30283, QStringLiteral("By Size"), struct_RIB_ITEM::Hidden, 131,
                            m_nPaperStyle ? 216 : 215, 2, 2084, 0, 0, 90);
        m_wndRibbon.RecalcLayout(30282);
    }
    if (m_wndRibbonBottom.Create(this, 1903, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 30)) {
        connect(&m_wndRibbonBottom, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        if (m_bMulti) {
            m_wndRibbonBottom.AddItem(1, QStringLiteral("OK"), struct_RIB_ITEM::Normal, 131, 223, 2, 2084, 0, 2, 120);
            m_wndRibbonBottom.AddItem(2, QStringLiteral("Cancel"), struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 0, 2,
                                      120);
        } else {
            m_wndRibbonBottom.AddItem(2, QStringLiteral("Close"), struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 0, 2,
                                      120);
        }
        m_wndRibbonBottom.RecalcLayout(255);
    }
    m_departments.SetImageListAndFont(131, 2);
    m_departments.SetClickToExpand(true);
    m_departments.SetDrawStyle(2, 0x1010C0, 253, 253);
    m_departments.setHeaderHidden(true);
    m_services.SetImageListAndFont(131, 2);
    m_services.setHeaderHidden(true);
    connect(&m_departments, &QTreeWidget::currentItemChanged, this, [this] { OnDepartmentSelected(); });
    connect(&m_services, &CXTreeCtrl::ownerMessage, this, &CSerList::OnServiceMessage);
    connect(&m_services, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        if (m_bMulti || !CXTreeOptCtrl::IsRadioItem(item))
            return;
        if (!CXTreeOptCtrl::IsItemChecked(item)) {
            m_services.SetItemChecked(item, true);
            OnServiceMessage(MSG_OPTION_CHECKED, qintptr(m_services.GetOptionId(item)), 1);
        }
        Finish();
    });
    FillDepartments();
    if (m_pBeside)
        AlignWindowTo(m_pBeside, this, 0, 0, 0, 0);
    return true;
}

void CSerList::FillDepartments()
{
    m_departments.ClearAll();
    CZqApp *app = ZqApp();
    m_departments.setBusy(false);
    if (!app)
        return;
    m_bListing = true;
    const bool printing = IsPrintingCategory(m_nCategory);
    QList<qint32> printingDepartments;
    if (printing)
        printingDepartments << app->GetCategoryDepartment(201) << app->GetCategoryDepartment(301);
    for (int i = 1; i < app->DepartmentList.size(); ++i) {
        const CListItem &department = app->DepartmentList[i];
        const qint32 depNo = department.m_value;
        if (printing ? !printingDepartments.contains(depNo) : (m_nDepartment != 0 && m_nDepartment != depNo))
            continue;
        int active = 0;
        for (const CListItem &category : app->CategoryList)
            if (category.number(1) == depNo)
                active += category.number(4);
        if (active == 0)
            continue;
        const int colour = qBound(0, department.number(2), 11);
        HTREEITEM node = m_departments.AddItem(TVI_ROOT, department.m_text, quint32(-depNo), colour, colour + 12);
        for (const CListItem &category : app->CategoryList)
            if (category.number(1) == depNo && category.number(4) > 0 && category.m_value != 999)
                m_departments.AddItem(node, category.m_text, quint32(category.m_value), 24 + colour, 24 + colour);
    }
    m_bListing = false;
    m_departments.setBusy(false);
    if (printing)
        m_departments.expandAll();
    if (m_nCategory != 0) {
        if (HTREEITEM item = m_departments.FindItemByData(quint32(m_nCategory)))
            m_departments.SelectAndShow(item);
    } else if (m_nDepartment != 0) {
        m_departments.expandAll();
    }
}

void CSerList::OnDepartmentSelected()
{
    if (m_bListing)
        return;
    QTreeWidgetItem *item = m_departments.currentItem();
    const qint32 data = item ? qint32(CXTreeCtrl::GetItemData(item)) : 0;
    if (item && item->parent())
        ShowCategory(data);
    else
        ShowCategory(0);
}

void CSerList::ShowCategory(qint32 catNo)
{
    m_nShownCategory = catNo;
    m_services.RemoveAllOptions();
    m_services.setBusy(false);
    m_wndRibbon.SetItemState(30283, struct_RIB_ITEM::Hidden);
    CZqApp *app = ZqApp();
    if (catNo < 1 || !app)
        return;
    CListItem category;
    if (!app->FindCode(CZqApp::ServiceCategories, catNo, category) || category.m_text.isEmpty()
        || category.m_text.startsWith(QLatin1Char('~')))
        return;
    const int colour = app->GetDepartmentIcon(category.number(1));
    m_services.setBusy(true);
    HTREEITEM root = m_bMulti ? m_services.AddRootGroup(category.m_text, 24 + qBound(0, colour, 11))
                              : m_services.AddRootOption(category.m_text, 24 + qBound(0, colour, 11));
    int added = 0;
    // "< none >" is offered when the caller had a service chosen; a tick in
    // the picker changes the current service but never the rows, so that
    // every row stays where the user saw it.
    if (m_bMulti && m_bOfferNone)
        m_services.AddCheckBox(0, QStringLiteral("< none >"), root, false);
    auto addService = [&](qint32 serNo, const QString &text, HTREEITEM parent) {
        if (m_bMulti)
            m_services.AddCheckBox(unsigned(serNo), text, parent, false);
        else
            m_services.AddRadio(unsigned(serNo), text, parent, false);
        ++added;
    };
    if (IsPaperCategory(catNo)) {
        m_wndRibbon.SetItemState(30283, struct_RIB_ITEM::Normal);
        m_wndRibbon.SetItemImage(30283, 131, m_nPaperStyle ? 216 : 215);
        const QString sql = m_nPaperStyle
                                ? QStringLiteral("SELECT Size, Name, SerNo FROM Services WHERE CatNo = ? and SerStatus "
                                                 "<> ? ORDER BY Size, SortNo, Name")
                                : QStringLiteral("SELECT Name, Size, SerNo FROM Services WHERE CatNo = ? and SerStatus "
                                                 "<> ? ORDER BY SortNo, Name, Size");
        try {
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot, sql, {platform::Value(catNo), platform::Value(2)});
            QString previous;
            HTREEITEM group = nullptr;
            bool firstRow = true;
            for (; !rs.isEOF(); rs.moveNext()) {
                const QString head = rs.value(0).toString().trimmed();
                if (firstRow || head != previous)
                    group = m_services.AddGroupHeader(head, root);
                firstRow = false;
                previous = head;
                addService(qint32(rs.value(2).toInt()), rs.value(1).toString(), group);
            }
        } catch (const platform::DbException &e) {
            ShowDaoError(e, QString());
        }
    } else {
        const QHash<qint32, CListItem> &services = app->codeCache(CZqApp::Services);
        HTREEITEM group = root;
        for (qint32 serNo : app->ServiceOrder) {
            const CListItem service = services.value(serNo);
            if (service.number(1) != catNo || service.number(4) == 2)
                continue;
            const QString name = service.m_text;
            if (service.number(4) == 1) {
                const int blank = name.indexOf(QLatin1Char(' '), 1);
                group = m_services.AddGroupHeader(blank > 0 ? name.left(blank) : name, root);
            }
            addService(serNo, name, group);
        }
    }
    m_services.setBusy(false);
    if (added > 0) {
        for (qint32 serNo : m_checked)
            if (HTREEITEM item = m_services.FindOption(unsigned(serNo)))
                m_services.SetItemChecked(item, true);
        m_services.expandAll();
        if (m_nCurrent != 0)
            m_services.SelectOption(unsigned(m_nCurrent));
        m_wndRibbon.SetItemText(30282, app->GetDepartmentName(category.number(1)));
    }
}

void CSerList::TogglePaperStyle()
{
    m_nPaperStyle = m_nPaperStyle ? 0 : 1;
    platform::Settings::writeInt(kSettings, kPaperStyle, m_nPaperStyle);
    ShowCategory(m_nShownCategory);
}

void CSerList::OnServiceMessage(int message, qintptr wParam, qintptr lParam)
{
    if (message != MSG_OPTION_CHECKED && message != MSG_RADIO_CHOSEN)
        return;
    const qint32 serNo = qint32(wParam);
    const bool ticked = message == MSG_RADIO_CHOSEN || lParam != 0;
    if (message == MSG_RADIO_CHOSEN)
        m_checked.clear(); // one pick at a time
    if (ticked) {
        AddChecked(serNo);
        m_nCurrent = serNo;
    } else {
        RemoveChecked(serNo);
        m_nCurrent = 0;
    }
    emit serviceTicked(serNo, ticked);
}

void CSerList::SetTicked(qint32 serNo, bool ticked)
{
    if (HTREEITEM item = m_services.FindOption(unsigned(serNo)))
        m_services.SetItemChecked(item, ticked);
    if (ticked)
        AddChecked(serNo);
    else
        RemoveChecked(serNo);
}

void CSerList::CollectTicked()
{
    // Every ticked radio button or check box under the root, in tree order;
    // "< none >" (0) counts as the first choice.
    m_checked.clear();
    bool none = false;
    std::function<void(QTreeWidgetItem *)> walk = [&](QTreeWidgetItem *parent) {
        for (int i = 0; i < parent->childCount(); ++i) {
            QTreeWidgetItem *child = parent->child(i);
            if ((CXTreeOptCtrl::IsRadioItem(child) || CXTreeOptCtrl::IsCheckBoxItem(child))
                && CXTreeOptCtrl::IsItemChecked(child)) {
                const qint32 serNo = qint32(m_services.GetOptionId(child));
                if (serNo == 0)
                    none = true;
                else
                    AddChecked(serNo);
            }
            walk(child);
        }
    };
    for (int r = 0; r < m_services.topLevelItemCount(); ++r)
        walk(m_services.topLevelItem(r));
    if (none)
        m_checked.prepend(0);
}

void CSerList::Finish()
{
    CollectTicked();
    EndDialog(IDOK_RESULT);
}

void CSerList::OnOK()
{
    Finish();
}

bool CSerList::OnCommand(int id)
{
    switch (id) {
    case 30281:
        m_departments.ToggleExpandAll();
        return true;
    case 30283:
        TogglePaperStyle();
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}
