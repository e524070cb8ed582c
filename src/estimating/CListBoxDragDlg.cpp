#include "estimating/CListBoxDragDlg.h"

#include "controls/CXTreeCtrl.h"
#include "platform/Prompt.h"
#include "views/CDlgData.h"

#include <QtWidgets/QTreeWidgetItem>

#include <algorithm>

namespace {

using platform::Prompt;

constexpr unsigned kTopBar = 1731;
constexpr unsigned kBottomBar = 1732;
constexpr unsigned kTree = 2201;

constexpr int kAddItem = 1001;
constexpr int kAddSubItem = 1002;
constexpr int kEditDescription = 30103;
constexpr int kDelete = 30113;
constexpr int kToItem = 30234;
constexpr int kToSubItem = 30235;
constexpr int kToTop = 30236;
constexpr int kToBottom = 30237;
constexpr int kDown = 30238;
constexpr int kUp = 30239;

qint32 idOf(QTreeWidgetItem *item)
{
    return qint32(CXTreeCtrl::GetItemData(item));
}

int indexAmongSiblings(QTreeWidgetItem *item, QTreeWidget *tree)
{
    return item->parent() ? item->parent()->indexOfChild(item) : tree->indexOfTopLevelItem(item);
}

int siblingCount(QTreeWidgetItem *item, QTreeWidget *tree)
{
    return item->parent() ? item->parent()->childCount() : tree->topLevelItemCount();
}

} // namespace

CListBoxDragDlg::CListBoxDragDlg(std::uint8_t flags, int buttons, QWidget *parent)
    : CDlg0(790, parent)
    , m_nButtons(buttons)
    , m_nFlags(flags)
{
    m_strWindowTitle = QStringLiteral("Rearange");
    resize(860, 560);
    AddPlaceholder(kTopBar, QRect(0, 0, 860, 40));
    m_tree = new CXTreeCtrl(this);
    m_tree->setObjectName(QStringLiteral("2201"));
    m_tree->setGeometry(8, 48, 844, 446);
    AddPlaceholder(kBottomBar, QRect(0, 502, 860, 58));
    AddSizeMarker(QPoint(860, 560));
}

CListBoxDragDlg::~CListBoxDragDlg() = default;

void CListBoxDragDlg::AddItem(long id, const QString &text, int image, int callerValue, int level)
{
    m_rowsIn.append(CListItem(qint32(id), text, 0, image, callerValue, level));
}

bool CListBoxDragDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    if (m_wndTop.Create(this, kTopBar, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 0)) {
        connect(&m_wndTop, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndTop.AddItem(30281, m_strRibbonTitle, struct_RIB_ITEM::Plain, 0, 255, 4, 2084, 0, 0, 180);
        const QString strip = m_strStripText.isEmpty() ? QStringLiteral("Click a button or drag a row") : m_strStripText;
        m_wndTop.AddItem(30282, strip, struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 0, 0, 200);
        if (!m_strHelpText.isEmpty())
            m_wndTop.AddItem(30418, QStringLiteral("Brief Help"), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2, 90);
        m_wndTop.AddItem(30335, QStringLiteral("Print this window as shown"), struct_RIB_ITEM::Normal, 0, 255, 2, 2085,
                         0, 2, 150);
        m_wndTop.RecalcLayout(30282);
    }
    if (m_wndBottom.Create(this, kBottomBar, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 30)) {
        connect(&m_wndBottom, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        CXRibbon &b = m_wndBottom;
        auto button = [&b](int id, const char *text, int width) {
            b.AddItem(unsigned(id), QString::fromUtf8(text), struct_RIB_ITEM::Normal, 0, 255, 2, 2085, 0, 2, width);
        };
        if (m_nButtons & AddEditButtons) {
            button(kAddItem, "Add Item", 80);
            button(kAddSubItem, "Add Sub-Item", 95);
            b.AddSpacer(8, 0);
            button(kEditDescription, "Edit Description", 110);
            button(kDelete, "Delete", 60);
            b.AddSpacer(8, 0);
        }
        if (m_nButtons & LevelButtons) {
            button(kToItem, "Change to Item", 110);
            button(kToSubItem, "Change to Sub-Item", 130);
            b.AddSpacer(8, 0);
        }
        if (m_nButtons & MoveButtons) {
            button(kToTop, "Move to Top", 90);
            button(kUp, "Up", 50);
            button(kDown, "Down", 60);
            button(kToBottom, "Move to Bottom", 110);
        }
        b.AddItem(1, QStringLiteral("Save"), struct_RIB_ITEM::Normal, 131, 223, 2, 2084, 0, 2, 80);
        b.AddItem(2, QStringLiteral("Cancel"), struct_RIB_ITEM::Normal, 131, 224, 2, 2084, 0, 2, 80);
        b.RecalcLayout(255);
    }

    m_tree->SetImageListAndFont(131, 2);
    m_tree->EnableDragDrop(true);
    QTreeWidgetItem *entry = nullptr;
    for (const CListItem &row : m_rowsIn) {
        if (row.m_value < 0 && row.m_value < m_nNewId)
            m_nNewId = row.m_value;
        if (row.number(4) <= 1 || !entry)
            entry = m_tree->AddItem(nullptr, row.m_text, quint32(row.m_value), row.number(2));
        else
            m_tree->AddItem(entry, row.m_text, quint32(row.m_value), row.number(2));
    }
    m_tree->ExpandAll(true);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
    if (m_tree->topLevelItemCount())
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
    UpdateButtons();
    return true;
}

QTreeWidgetItem *CListBoxDragDlg::selected() const
{
    return m_tree->currentItem();
}

bool CListBoxDragDlg::SelectId(long id)
{
    QTreeWidgetItem *item = m_tree->FindItemByData(quint32(qint32(id)));
    if (item)
        m_tree->setCurrentItem(item);
    return item != nullptr;
}

bool CListBoxDragDlg::IsButtonEnabled(int id) const
{
    QTreeWidgetItem *item = selected();
    if (!item)
        return false;
    const int index = indexAmongSiblings(item, m_tree);
    const int count = siblingCount(item, m_tree);
    const bool entry = !item->parent();
    switch (id) {
    case kUp: return index > 0;
    case kDown: return index + 1 < count;
    case kToTop:
    case kToSubItem: return entry && index > 0;
    case kToBottom: return entry && index + 1 < count;
    case kToItem: return !entry;
    default: return true;
    }
}

void CListBoxDragDlg::UpdateButtons()
{
    for (int id : {kUp, kDown, kToTop, kToBottom, kToSubItem, kToItem})
        m_wndBottom.EnableItem(unsigned(id), IsButtonEnabled(id));
}

QTreeWidgetItem *CListBoxDragDlg::NewItem(QTreeWidgetItem *parent, const QString &text)
{
    --m_nNewId;
    QTreeWidgetItem *item =
        m_tree->AddItem(parent, text, quint32(qint32(m_nNewId)), parent ? m_nSubImage : m_nEntryImage);
    m_tree->setCurrentItem(item);
    EditDescription(item);
    return item;
}

void CListBoxDragDlg::EditDescription(QTreeWidgetItem *item)
{
    if (!item)
        return;
    CDlgData entry(item->text(0), 50, QStringLiteral("Name"), QStringLiteral("Name"), QString(), this);
    if (entry.DoModal() == platform::IDOK && entry.m_strValue != item->text(0))
        item->setText(0, entry.m_strValue);
}

void CListBoxDragDlg::Reinsert(QTreeWidgetItem *item, QTreeWidgetItem *parent, int index)
{
    const bool wasExpanded = item->isExpanded();
    if (item->parent())
        item->parent()->removeChild(item);
    else
        m_tree->takeTopLevelItem(m_tree->indexOfTopLevelItem(item));
    if (parent) {
        parent->insertChild(std::clamp(index, 0, parent->childCount()), item);
        parent->setExpanded(true);
    } else {
        m_tree->insertTopLevelItem(std::clamp(index, 0, m_tree->topLevelItemCount()), item);
    }
    item->setExpanded(wasExpanded || item->childCount() > 0);
    m_tree->setCurrentItem(item);
}

void CListBoxDragDlg::RefreshImages()
{
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *entry = m_tree->topLevelItem(i);
        if (CXTreeCtrl::GetImage(entry) == m_nSubImage)
            m_tree->SetImage(entry, m_nEntryImage);
        for (int c = 0; c < entry->childCount(); ++c) {
            if (CXTreeCtrl::GetImage(entry->child(c)) == m_nEntryImage)
                m_tree->SetImage(entry->child(c), m_nSubImage);
        }
    }
}

bool CListBoxDragDlg::OnCommand(int id)
{
    QTreeWidgetItem *item = selected();
    switch (id) {
    case kAddItem:
        NewItem(nullptr, QStringLiteral("New Item"));
        break;
    case kAddSubItem:
        if (!item) {
            Prompt::messageBox(QStringLiteral("Select an Item first"));
            return true;
        }
        NewItem(item->parent() ? item->parent() : item, QStringLiteral("New Sub-Item"));
        break;
    case kEditDescription:
        EditDescription(item);
        break;
    case kDelete:
        if (item
            && Prompt::messageBox(QStringLiteral("Delete ") + item->text(0) + QLatin1Char('?'), QString(),
                                  platform::MB_YESNO | platform::MB_ICONQUESTION)
                   == platform::IDYES)
            delete item;
        break;
    case kToItem:
        if (item && item->parent()) {
            QTreeWidgetItem *former = item->parent();
            Reinsert(item, nullptr, m_tree->indexOfTopLevelItem(former) + 1);
            RefreshImages();
        }
        break;
    case kToSubItem:
        if (item && !item->parent() && m_tree->indexOfTopLevelItem(item) > 0) {
            QTreeWidgetItem *previous = m_tree->topLevelItem(m_tree->indexOfTopLevelItem(item) - 1);
            const QList<QTreeWidgetItem *> children = item->takeChildren();
            Reinsert(item, previous, previous->childCount());
            previous->addChildren(children);
            RefreshImages();
        }
        break;
    case kToTop:
        if (item)
            Reinsert(item, item->parent(), 0);
        break;
    case kToBottom:
        if (item)
            Reinsert(item, item->parent(), siblingCount(item, m_tree));
        break;
    case kDown:
        if (item && IsButtonEnabled(kDown))
            Reinsert(item, item->parent(), indexAmongSiblings(item, m_tree) + 1);
        break;
    case kUp:
        if (item && IsButtonEnabled(kUp))
            Reinsert(item, item->parent(), indexAmongSiblings(item, m_tree) - 1);
        break;
    default:
        return CDlg0::OnCommand(id);
    }
    UpdateButtons();
    return true;
}

void CListBoxDragDlg::OnOK()
{
    m_rowsOut.clear();
    auto rowFor = [this](QTreeWidgetItem *item) {
        const qint32 id = idOf(item);
        for (const CListItem &row : m_rowsIn) {
            if (row.m_value == id)
                return row;
        }
        return CListItem(id, QString());
    };
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *entry = m_tree->topLevelItem(i);
        CListItem row = rowFor(entry);
        row.m_text = entry->text(0);
        row.setNumber(7, i + 1);
        row.setNumber(8, entry->childCount() > 0 ? 1 : 0);
        m_rowsOut.append(row);
        for (int c = 0; c < entry->childCount(); ++c) {
            CListItem sub = rowFor(entry->child(c));
            sub.m_text = entry->child(c)->text(0);
            sub.setNumber(7, i + 1);
            sub.setNumber(8, c + 2);
            m_rowsOut.append(sub);
        }
    }
    EndDialog(platform::IDOK);
}
