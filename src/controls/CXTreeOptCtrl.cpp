#include "controls/CXTreeOptCtrl.h"

#include "controls/ControlMessages.h"
#include "data/CXDaoSet.h"
#include "data/DaoError.h"
#include "platform/db/DbException.h"
#include "resources/Strings.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>

CXTreeOptCtrl::CXTreeOptCtrl(QWidget *parent) : CXTreeCtrl(parent)
{
    connect(this, &QTreeWidget::currentItemChanged, this, &CXTreeOptCtrl::onCurrentChanged);
}

HTREEITEM CXTreeOptCtrl::AddRootOption(const QString &text, int image)
{
    return AddItem(nullptr, text, 0, image, -1);
}

HTREEITEM CXTreeOptCtrl::AddRootGroup(const QString &text, int image)
{
    return AddItem(nullptr, text, 0, image, -1);
}

HTREEITEM CXTreeOptCtrl::AddGroupHeader(const QString &text, HTREEITEM parent)
{
    return AddItem(parent, text, 0, GroupHeader, GroupHeader);
}

bool CXTreeOptCtrl::AddRadio(unsigned id, const QString &text, HTREEITEM parent, bool checked)
{
    const int image = checked ? RadioOn : RadioOff;
    HTREEITEM item = AddItem(parent, text, id, image, image);
    if (!item)
        return false;
    m_options.insert(id, item);
    return true;
}

bool CXTreeOptCtrl::AddCheckBox(unsigned id, const QString &text, HTREEITEM parent, bool checked)
{
    const int image = checked ? CheckOn : CheckOff;
    HTREEITEM item = AddItem(parent, text, id, image, image);
    if (!item)
        return false;
    m_options.insert(id, item);
    return true;
}

bool CXTreeOptCtrl::AddOption(unsigned id, const QString &text, HTREEITEM parent, bool checked, bool radio)
{
    return radio ? AddRadio(id, text, parent, checked) : AddCheckBox(id, text, parent, checked);
}

HTREEITEM CXTreeOptCtrl::FindOption(unsigned id) const
{
    return m_options.value(id, nullptr);
}

unsigned CXTreeOptCtrl::GetOptionId(HTREEITEM item) const
{
    if (!item)
        return 0;
    for (auto it = m_options.cbegin(); it != m_options.cend(); ++it)
        if (it.value() == item)
            return it.key();
    return 0;
}

unsigned CXTreeOptCtrl::GetSelectedOptionId() const
{
    return GetOptionId(currentItem());
}

void CXTreeOptCtrl::SelectOption(unsigned id)
{
    HTREEITEM item = FindOption(id);
    if (!item)
        return;
    SelectAndShow(item);
    if (IsRadioItem(item))
        SetItemChecked(item, true);
}

bool CXTreeOptCtrl::IsRadioItem(HTREEITEM item)
{
    const int image = GetImage(item);
    return image == RadioOff || image == RadioOn;
}

bool CXTreeOptCtrl::IsCheckBoxItem(HTREEITEM item)
{
    const int image = GetImage(item);
    return image == CheckOff || image == CheckOn;
}

bool CXTreeOptCtrl::IsItemChecked(HTREEITEM item)
{
    const int image = GetImage(item);
    return image == RadioOn || image == CheckOn;
}

void CXTreeOptCtrl::switchRadioOn(HTREEITEM item)
{
    HTREEITEM parent = item->parent();
    const int count = parent ? parent->childCount() : topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        HTREEITEM sibling = parent ? parent->child(i) : topLevelItem(i);
        if (sibling != item && GetItemData(sibling) != 0 && IsRadioItem(sibling))
            SetImage(sibling, RadioOff);
    }
    SetImage(item, RadioOn);
}

void CXTreeOptCtrl::SetItemChecked(HTREEITEM item, bool checked)
{
    if (!item || IsItemChecked(item) == checked)
        return;
    if (IsCheckBoxItem(item))
        SetImage(item, checked ? CheckOn : CheckOff);
    else if (IsRadioItem(item)) {
        if (checked)
            switchRadioOn(item);
        else
            SetImage(item, RadioOff);
    }
}

bool CXTreeOptCtrl::IsOptionChecked(unsigned id) const
{
    return IsItemChecked(FindOption(id));
}

void CXTreeOptCtrl::SetOptionChecked(unsigned id, bool checked)
{
    SetItemChecked(FindOption(id), checked);
}

void CXTreeOptCtrl::SetRadioRange(unsigned first, unsigned last, unsigned selected)
{
    if (selected < first || selected > last)
        return;
    for (unsigned id = first; id <= last; ++id)
        SetOptionChecked(id, id == selected);
}

quint32 CXTreeOptCtrl::GetCheckedBits() const
{
    quint32 mask = 0;
    int bit = 0;
    int itemCount = 0;
    for (QTreeWidgetItemIterator it(const_cast<CXTreeOptCtrl *>(this)); *it; ++it)
        ++itemCount;
    for (int id = 1; id <= itemCount - 1 && bit < 32; ++id) {
        HTREEITEM item = FindOption(unsigned(id));
        if (!item || GetImage(item) == GroupHeader)
            continue;
        if (GetImage(item) == CheckOn)
            mask |= quint32(1) << bit;
        ++bit;
    }
    return mask;
}

void CXTreeOptCtrl::SetCheckedBits(quint32 mask, HTREEITEM parent)
{
    if (!parent)
        parent = topLevelItem(0);
    if (!parent)
        return;
    // Headers take no bit, as in the mask that GetCheckedBits makes, so a mask
    // read from a tree puts every option back where it was.
    int bit = 0;
    for (int i = 0; i < parent->childCount() && bit < 32; ++i) {
        HTREEITEM child = parent->child(i);
        if (GetImage(child) == GroupHeader)
            continue;
        if (IsRadioItem(child) || IsCheckBoxItem(child))
            SetItemChecked(child, (mask >> bit) & 1);
        ++bit;
    }
}

void CXTreeOptCtrl::CollectCheckedData()
{
    m_checked.clear();
    for (int r = 0; r < topLevelItemCount(); ++r) {
        HTREEITEM root = topLevelItem(r);
        for (int c = 0; c < root->childCount(); ++c)
            if (IsItemChecked(root->child(c)))
                m_checked.append(GetItemData(root->child(c)));
    }
}

void CXTreeOptCtrl::LoadOptions(const QString &title, const QString &list, quint32 mask, int rootImage,
                                bool expand, bool skipFirst)
{
    if (list.isEmpty())
        return;
    setBusy(true);
    HTREEITEM root = AddRootOption(title.isEmpty() ? QStringLiteral("Check all that apply:") : title, rootImage);
    QStringList entries = list.split(QLatin1Char(','));
    entries.removeLast();
    unsigned id = 0;
    int bit = 0;
    for (int i = 0; i < entries.size(); ++i) {
        const QString &entry = entries[i];
        if (entry.startsWith(QLatin1String("__"))) {
            AddGroupHeader(entry.mid(2), root);
            continue;
        }
        if (i == 0 && skipFirst)
            continue;
        ++id;
        const bool checked = bit < 32 && ((mask >> bit) & 1);
        ++bit;
        AddCheckBox(id, entry, root, checked);
    }
    if (expand)
        ExpandAll(true);
    setBusy(false);
}

void CXTreeOptCtrl::LoadOptionsFromResource(int stringId, const QString &title, quint32 mask, int rootImage,
                                            bool expand, bool skipFirst)
{
    LoadOptions(title, LoadResourceString(stringId), mask, rootImage, expand, skipFirst);
}

void CXTreeOptCtrl::LoadOptionsFromQuery(const QString &sql, int image, const QString &title)
{
    SetImageListAndFont(131, 2);
    CXDaoSet set;
    setBusy(true);
    set.Open(CXDaoSet::dbOpenSnapshot, sql);
    if (set.IsOpen()) {
        try {
            if (!set.IsEmptySet()) {
                HTREEITEM root = AddRootGroup(title, image);
                unsigned id = 0;
                for (; !set.IsEOF(); set.MoveNext())
                    AddCheckBox(++id, set.GetFieldValue(1).toString(), root, false);
            }
        } catch (const platform::DbException &e) {
            ShowDaoError(e, QStringLiteral("Could not run query:\n\n") + sql);
        }
        set.Close();
    }
    setBusy(false);
}

void CXTreeOptCtrl::RemoveAllOptions()
{
    ClearAll();
    // Emptied, the tree takes the user's ticks again: its owner holds back
    // what it adds itself.
    setBusy(false);
    m_options.clear();
    m_checked.clear();
}

// --- user toggling --------------------------------------------------------------

void CXTreeOptCtrl::toggle(HTREEITEM item, bool onIcon)
{
    if (!item)
        return;
    if (IsCheckBoxItem(item)) {
        if (!onIcon)
            return;
        const bool state = !IsItemChecked(item);
        SetImage(item, state ? CheckOn : CheckOff);
        for (int i = 0; i < item->childCount(); ++i)
            SetItemChecked(item->child(i), state);
        if (!m_busy)
            postToOwner(MSG_OPTION_CHECKED, qintptr(GetOptionId(item)), state ? 1 : 0);
    } else if (IsRadioItem(item) && item->childCount() == 0) {
        if (IsItemChecked(item))
            return;
        switchRadioOn(item);
        if (!m_busy)
            postToOwner(MSG_RADIO_CHOSEN, qintptr(GetOptionId(item)), reinterpret_cast<qintptr>(this));
    } else if (item->childCount() > 0 && m_clickToExpand) {
        ExpandItem(item, TVE_TOGGLE);
    }
}

void CXTreeOptCtrl::onItemClick(HTREEITEM item, const QPoint &pos)
{
    // A click toggles only the item that is already selected; a click on
    // another item selects it, and the selection change toggles it.
    if (item && item == currentItem())
        toggle(item, isOnIcon(item, pos));
}

void CXTreeOptCtrl::mousePressEvent(QMouseEvent *event)
{
    HTREEITEM item = itemAt(event->position().toPoint());
    m_pressOnIcon = isOnIcon(item, event->position().toPoint());
    m_userSelecting = true;
    CXTreeCtrl::mousePressEvent(event);
    m_userSelecting = false;
    m_pressOnIcon = false;
}

void CXTreeOptCtrl::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        toggle(currentItem(), true);
        event->accept();
        return;
    }
    m_userSelecting = true;
    CXTreeCtrl::keyPressEvent(event);
    m_userSelecting = false;
}

void CXTreeOptCtrl::onCurrentChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    Q_UNUSED(previous);
    // Only a selection the user makes toggles; the program's own selecting
    // leaves the options as they are.
    if (!current || !m_userSelecting || m_busy)
        return;
    toggle(current, m_pressOnIcon);
}
