#include "catalogue/COrganize.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "catalogue/OrganizeRules.h"
#include "controls/DlgItem.h"
#include "platform/Prompt.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"
#include "views/CDlgTree.h"

#include <QtWidgets/QTreeWidgetItem>

namespace {

constexpr int kNewDepartmentColour = 11;

qint32 itemNumber(const QTreeWidgetItem *item)
{
    return qint32(CXTreeCtrl::GetItemData(const_cast<QTreeWidgetItem *>(item)));
}

} // namespace

COrganize::COrganize(QWidget *parent) : CDlg0(792, parent)
{
    m_strWindowTitle = QStringLiteral("Service Departments and Categories");
    resize(520, 560);
    AddPlaceholder(kTopRibbon, QRect(0, 0, 520, 40));
    m_tree.setParent(this);
    m_tree.setGeometry(10, 50, 330, 500);
    SetDlgCtrlID(&m_tree, kTree);
    AddPlaceholder(kSideRibbon, QRect(350, 50, 160, 500));
}

int COrganize::DepartmentColour(const QTreeWidgetItem *department)
{
    int image = CXTreeCtrl::GetImage(const_cast<QTreeWidgetItem *>(department));
    if (image > 11)
        image -= 12;
    return qBound(0, image, 11);
}

void COrganize::FillTree(CXTreeCtrl &tree, const QList<OrganisedDepartment> &arrangement)
{
    tree.ClearAll(); // the tree stays busy until it is filled
    for (const OrganisedDepartment &department : arrangement) {
        const int colour = qBound(0, department.colour, 11);
        HTREEITEM root = tree.AddItem(TVI_ROOT, department.name, quint32(department.depNo), colour, colour + 12);
        for (const OrganisedCategory &category : department.categories)
            tree.AddItem(root, category.name, quint32(category.catNo), 24 + colour, 24 + colour);
    }
    tree.setBusy(false);
}

void COrganize::FillTree(CXTreeCtrl &tree)
{
    QList<OrganisedDepartment> arrangement;
    if (CZqApp *app = ZqApp()) {
        const QList<CListItem> &departments = app->DepartmentList;
        for (int i = 1; i < departments.size(); ++i) {
            OrganisedDepartment department;
            department.depNo = departments[i].m_value;
            department.name = departments[i].m_text;
            department.colour = departments[i].number(2);
            for (const CListItem &category : app->CategoryList)
                if (category.number(1) == department.depNo)
                    department.categories << OrganisedCategory{category.m_value, category.m_text};
            arrangement << department;
        }
    }
    FillTree(tree, arrangement);
}

bool COrganize::OnInitDialog()
{
    m_nColorScheme = Appearance::instance().GetViewHue(30002, true);
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    if (m_top.Create(this, kTopRibbon, m_nColorScheme, 1, 131, 1, 0, 0, 0, 0, 0)) {
        connect(&m_top, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_top.AddItem(30281, QStringLiteral("Customize"), struct_RIB_ITEM::Plain, 0, 255, 7, 2084, 0, 0, 200);
        m_top.AddItem(ExpandCmd, QString(), struct_RIB_ITEM::Normal, 131, 11, 2, 2085, 0, 0, 30, 0, 0,
                      QStringLiteral("Expand/Collapse"));
        m_top.RecalcLayout(30281);
    }
    if (m_side.Create(this, kSideRibbon, m_nColorScheme, 1, 131, 1, 0, 2, 2, 0, 30, true)) {
        connect(&m_side, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        auto add = [this](unsigned id, const char *text, int image) {
            m_side.AddItem(id, QString::fromUtf8(text), struct_RIB_ITEM::Normal, 131, std::uint8_t(image), 2, 2084, 0,
                           2, 30);
        };
        add(AddDepartmentCmd, "Add Department", 187);
        add(AddCategoryCmd, "Add Category", 187);
        m_side.AddSpacer(12, 0);
        add(MoveTopCmd, "Move to Top", 182);
        add(UpCmd, "Up", 182);
        add(DownCmd, "Down", 183);
        add(MoveBottomCmd, "Move to Bottom", 183);
        m_side.AddSpacer(12, 0);
        add(RenameCmd, "Rename", 169);
        add(ChangeColorCmd, "Change Color", 171);
        add(DeleteCmd, "Delete", 200);
        m_side.AddSpacer(12, 0);
        add(SaveCloseCmd, "Save & Close", 223);
        add(2, "Close", 224);
        m_side.RecalcLayout(255);
    }
    m_tree.SetImageListAndFont(131, 2);
    m_tree.EnableDragDrop(true);
    // A new order made by dragging is a change like any other: closing asks
    // before it is thrown away.
    connect(&m_tree, &CXTreeCtrl::itemDropped, this, [this] { m_bChanged = true; });
    m_tree.setHeaderHidden(true);
    m_read = ReadOrganisation();
    FillTree(m_tree, m_read);
    m_tree.ExpandAll(true);
    m_top.SetItemImage(ExpandCmd, 131, m_tree.GetExpandState() ? 23 : 11);
    connect(&m_tree, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
    connect(&m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { SendCommand(RenameCmd); });

    if (m_bSaveAtOnce) {
        SaveAndClose();
        return true;
    }
    RecomputeFreeDepartment();
    if (m_tree.topLevelItemCount() > 0)
        m_tree.setCurrentItem(m_tree.topLevelItem(0));
    UpdateButtons();
    return true;
}

QList<OrganisedDepartment> COrganize::Arrangement() const
{
    QList<OrganisedDepartment> list;
    for (int i = 0; i < m_tree.topLevelItemCount(); ++i) {
        const QTreeWidgetItem *root = m_tree.topLevelItem(i);
        OrganisedDepartment department;
        department.depNo = itemNumber(root);
        department.name = root->text(0);
        department.colour = DepartmentColour(root);
        for (int k = 0; k < root->childCount(); ++k)
            department.categories << OrganisedCategory{itemNumber(root->child(k)), root->child(k)->text(0)};
        list << department;
    }
    return list;
}

QSet<qint32> COrganize::CategoryNumbers() const
{
    QSet<qint32> numbers;
    for (int i = 0; i < m_tree.topLevelItemCount(); ++i)
        for (int k = 0; k < m_tree.topLevelItem(i)->childCount(); ++k)
            numbers.insert(itemNumber(m_tree.topLevelItem(i)->child(k)));
    return numbers;
}

void COrganize::RecomputeFreeDepartment()
{
    QSet<qint32> used;
    for (int i = 0; i < m_tree.topLevelItemCount(); ++i)
        used.insert(itemNumber(m_tree.topLevelItem(i)));
    m_nFreeDepartment = FreeDepartmentNumber(used);
}

void COrganize::UpdateButtons()
{
    if (!m_side.isCreated())
        return;
    QTreeWidgetItem *item = m_tree.currentItem();
    QTreeWidgetItem *parent = item ? item->parent() : nullptr;
    const int index = !item ? -1 : parent ? parent->indexOfChild(item) : m_tree.indexOfTopLevelItem(item);
    const int count = !item ? 0 : parent ? parent->childCount() : m_tree.topLevelItemCount();
    const bool department = item && !parent;
    m_side.EnableItem(UpCmd, index > 0);
    m_side.EnableItem(DownCmd, item && index + 1 < count);
    m_side.EnableItem(MoveTopCmd, department && index > 0);
    m_side.EnableItem(MoveBottomCmd, department && index + 1 < count);
    m_side.EnableItem(ChangeColorCmd, department);
    m_side.EnableItem(AddDepartmentCmd, m_nFreeDepartment != 0);
}

bool COrganize::OnCommand(int id)
{
    switch (id) {
    case AddDepartmentCmd:
        AddDepartment();
        return true;
    case AddCategoryCmd:
        AddCategory();
        return true;
    case MoveTopCmd: case MoveBottomCmd: case DownCmd: case UpCmd:
        Move(id);
        return true;
    case RenameCmd: case RenameKeyCmd:
        Rename();
        return true;
    case ChangeColorCmd:
        ChangeColor();
        return true;
    case DeleteCmd:
        Delete();
        return true;
    case SaveCloseCmd:
        SaveAndClose();
        return true;
    case ExpandCmd:
        m_tree.ToggleExpandAll();
        m_top.SetItemImage(ExpandCmd, 131, m_tree.GetExpandState() ? 23 : 11);
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void COrganize::AddDepartment()
{
    if (m_nFreeDepartment == 0) {
        platform::Prompt::messageBox(QStringLiteral("You can add up to %1 departments.").arg(kMostDepartments));
        return;
    }
    CDlgData entry(QString(), kDepartmentNameLength, QString(), QStringLiteral("Add Department:"),
                   QStringLiteral("Add Department:"), this);
    if (entry.DoModal() != IDOK_RESULT || entry.m_strValue.trimmed().isEmpty())
        return;
    HTREEITEM item = m_tree.AddItem(TVI_ROOT, entry.m_strValue, quint32(m_nFreeDepartment), kNewDepartmentColour,
                                    kNewDepartmentColour + 12);
    m_tree.setCurrentItem(item);
    m_bChanged = true;
    RecomputeFreeDepartment();
    UpdateButtons();
}

void COrganize::AddCategory()
{
    QTreeWidgetItem *department = m_tree.currentItem();
    if (!department) {
        platform::Prompt::messageBox(QStringLiteral("Select a Department first."));
        return;
    }
    if (department->parent())
        department = department->parent();

    const QSet<qint32> existing = CategoryNumbers();
    const QList<CategoryType> types = OfferedCategoryTypes(existing);
    long chosen = 0;
    for (;;) {
        CDlgOptions choice(QStringLiteral("New Category"),
                           QStringLiteral("You can add up to 100 Categories to each Department."), 0, this);
        choice.AddRadioGroup(QStringLiteral("What type of a Category do you want to add?"), 0);
        for (int i = 0; i < types.size(); ++i)
            choice.AddEntry(i + 1, types[i].text);
        if (choice.DoModal() != IDOK_RESULT)
            return;
        chosen = choice.GetCheckedInRange(1, types.size());
        if (chosen != 0)
            break;
        platform::Prompt::messageBox(QStringLiteral("Please select a Category Type."));
    }
    const CategoryType &type = types[chosen - 1];
    const qint32 number = NextCategoryNumber(type, existing);
    if (number == 0) {
        platform::Prompt::messageBox(QStringLiteral("All the category numbers of the type \"%1\" are in use.\n\n"
                                                    "Delete or reuse a category of this type first.")
                                         .arg(type.name()),
                                     QString(), platform::MB_ICONEXCLAMATION);
        return;
    }
    CDlgData entry(QString(), kCategoryNameLength, QString(),
                   QStringLiteral("Name of the new ") + type.name() + QStringLiteral(" Category:"),
                   QStringLiteral("Category No: %1").arg(number), this);
    if (entry.DoModal() != IDOK_RESULT || entry.m_strValue.trimmed().isEmpty())
        return;
    const int image = 24 + DepartmentColour(department);
    HTREEITEM item = m_tree.AddItem(department, entry.m_strValue, quint32(number), image, image);
    department->setExpanded(true);
    m_tree.setCurrentItem(item);
    m_bChanged = true;
    UpdateButtons();
}

void COrganize::Move(int command)
{
    QTreeWidgetItem *item = m_tree.currentItem();
    if (!item)
        return;
    QTreeWidgetItem *parent = item->parent();
    if ((command == MoveTopCmd || command == MoveBottomCmd) && parent)
        return;
    const int index = parent ? parent->indexOfChild(item) : m_tree.indexOfTopLevelItem(item);
    const int count = parent ? parent->childCount() : m_tree.topLevelItemCount();
    int to = index;
    switch (command) {
    case MoveTopCmd: to = 0; break;
    case MoveBottomCmd: to = count - 1; break;
    case DownCmd: to = index + 1; break;
    case UpCmd: to = index - 1; break;
    default: break;
    }
    if (to < 0 || to >= count || to == index)
        return;
    const bool expanded = item->isExpanded();
    // Taking the item out keeps its children with it.
    if (parent) {
        parent->takeChild(index);
        parent->insertChild(to, item);
    } else {
        m_tree.takeTopLevelItem(index);
        m_tree.insertTopLevelItem(to, item);
    }
    item->setExpanded(expanded);
    m_tree.setCurrentItem(item);
    m_bChanged = true;
    UpdateButtons();
}

void COrganize::Rename()
{
    QTreeWidgetItem *item = m_tree.currentItem();
    if (!item)
        return;
    CDlgData entry(item->text(0), item->parent() ? kCategoryNameLength : kDepartmentNameLength, QString(),
                   QStringLiteral("Rename:"), QStringLiteral("Rename:"), this);
    if (entry.DoModal() != IDOK_RESULT || entry.m_strValue == item->text(0) || entry.m_strValue.trimmed().isEmpty())
        return;
    item->setText(0, entry.m_strValue);
    m_bChanged = true;
}

void COrganize::ChangeColor()
{
    QTreeWidgetItem *item = m_tree.currentItem();
    if (!item || item->parent())
        return;
    const int colour = DepartmentColour(item);
    CDlgTree picker(30, colour, this);
    if (picker.DoModal() != IDOK_RESULT)
        return;
    const int chosen = int(picker.m_nChosen);
    if (chosen < 0 || chosen > 11 || chosen == colour)
        return;
    m_tree.SetImage(item, item->isExpanded() ? chosen + 12 : chosen);
    for (int k = 0; k < item->childCount(); ++k)
        m_tree.SetImage(item->child(k), 24 + chosen);
    m_bChanged = true;
}

void COrganize::Delete()
{
    QTreeWidgetItem *item = m_tree.currentItem();
    if (!item)
        return;
    const bool category = item->parent() != nullptr;
    const qint32 number = itemNumber(item);
    const int count = CountServicesIn(number, category);
    if (count < 0)
        return;
    if (count > 0) {
        platform::Prompt::messageBox(QStringLiteral("Sorry, you may not delete %1, which has %2 Service(s).")
                                         .arg(item->text(0))
                                         .arg(count));
        return;
    }
    const QString question = category ? QStringLiteral("Delete %1?").arg(item->text(0))
                                      : QStringLiteral("Delete %1 and its children?").arg(item->text(0));
    if (platform::Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return;
    delete item;
    m_bChanged = true;
    RecomputeFreeDepartment();
    UpdateButtons();
}

bool COrganize::SaveAndClose()
{
    if (!SaveOrganisation(Arrangement(), m_read))
        return false; // reported or cancelled; the dialog stays open with the tree as it is
    if (m_bChanged)
        platform::Prompt::messageBox(QStringLiteral("Your changes will be used after you restart Tavrel."));
    EndDialog(IDOK_RESULT);
    return true;
}

void COrganize::OnCancel()
{
    if (m_bChanged) {
        const int answer = platform::Prompt::messageBox(
            QStringLiteral("You have made changes. Do you want to save them?"), QString(),
            platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
        if (answer == platform::IDCANCEL)
            return; // back to the organiser
        if (answer == platform::IDYES) {
            SaveAndClose();
            return;
        }
    }
    EndDialog(IDCANCEL_RESULT);
}
