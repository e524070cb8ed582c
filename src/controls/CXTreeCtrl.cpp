#include "controls/CXTreeCtrl.h"

#include "app/base/Appearance.h"
#include "app/base/ImageList.h"
#include "resources/Strings.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QStyledItemDelegate>

#include <functional>

namespace {

constexpr int kDataRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelectedImageRole = Qt::UserRole + 2;
constexpr int kHeaderImage = 253;

// Colours of the custom drawing, by the item's image or the bold mark.
class TreeItemDelegate : public QStyledItemDelegate
{
public:
    explicit TreeItemDelegate(CXTreeCtrl *tree) : QStyledItemDelegate(tree), m_tree(tree) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        HTREEITEM item = m_tree->itemFromIndex(index);
        if (!item || m_tree->drawMode() == 0)
            return;
        bool smallFont = false;
        const QColor colour = m_tree->itemTextColour(item, &smallFont);
        if (colour.isValid())
            option->palette.setColor(QPalette::Text, colour);
        if (smallFont)
            option->font = Appearance::instance().GetFont(8);
    }

private:
    CXTreeCtrl *m_tree;
};

} // namespace

CXTreeCtrl::CXTreeCtrl(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(true);
    setItemDelegate(new TreeItemDelegate(this));
    connect(this, &QTreeWidget::itemExpanded, this, &CXTreeCtrl::onExpandedChanged);
    connect(this, &QTreeWidget::itemCollapsed, this, &CXTreeCtrl::onExpandedChanged);
}

CXTreeCtrl::~CXTreeCtrl()
{
    delete m_dragImage;
}

void CXTreeCtrl::postToOwner(int message, qintptr wParam, qintptr lParam)
{
    QMetaObject::invokeMethod(
        this, [this, message, wParam, lParam] { emit ownerMessage(message, wParam, lParam); },
        Qt::QueuedConnection);
}

// --- items ---------------------------------------------------------------------

int CXTreeCtrl::GetImage(HTREEITEM item)
{
    return item ? item->data(0, kImageRole).toInt() : -1;
}

int CXTreeCtrl::GetSelectedImageOf(HTREEITEM item)
{
    return item ? item->data(0, kSelectedImageRole).toInt() : -1;
}

quint32 CXTreeCtrl::GetItemData(HTREEITEM item)
{
    return item ? item->data(0, kDataRole).toUInt() : 0;
}

bool CXTreeCtrl::IsChildItem(HTREEITEM item)
{
    return item && item->parent() != nullptr;
}

void CXTreeCtrl::applyIcon(HTREEITEM item)
{
    const ImageList *list = Appearance::instance().GetImageList(m_imageList);
    if (!list) {
        item->setIcon(0, QIcon());
        return;
    }
    QIcon icon;
    const QPixmap normal = list->pixmap(GetImage(item));
    const QPixmap selected = list->pixmap(GetSelectedImageOf(item));
    if (!normal.isNull()) {
        icon.addPixmap(normal, QIcon::Normal);
        icon.addPixmap(normal, QIcon::Active);
    }
    if (!selected.isNull())
        icon.addPixmap(selected, QIcon::Selected);
    item->setIcon(0, icon);
}

void CXTreeCtrl::applyBold(HTREEITEM item)
{
    const int image = GetImage(item);
    const bool bold = m_boldGroups && (image == kHeaderImage || (!item->parent() && image < kHeaderImage));
    QFont f = font();
    f.setBold(bold);
    item->setFont(0, f);
}

HTREEITEM CXTreeCtrl::insertRaw(HTREEITEM parent, HTREEITEM after, const QString &text, quint32 data, int image,
                                int selectedImage)
{
    auto *item = new QTreeWidgetItem();
    item->setText(0, text);
    item->setData(0, kDataRole, data);
    item->setData(0, kImageRole, image);
    item->setData(0, kSelectedImageRole, selectedImage);
    const int count = parent ? parent->childCount() : topLevelItemCount();
    int position = count;
    if (after == TVI_FIRST)
        position = 0;
    else if (after && after != TVI_LAST) {
        const int at = parent ? parent->indexOfChild(after) : indexOfTopLevelItem(after);
        if (at >= 0)
            position = at + 1;
    }
    if (parent)
        parent->insertChild(position, item);
    else
        insertTopLevelItem(position, item);
    applyIcon(item);
    return item;
}

HTREEITEM CXTreeCtrl::AddItem(HTREEITEM parent, const QString &text, quint32 data, int image, int selectedImage,
                              HTREEITEM after)
{
    if (m_imageList == 131) {
        if (parent) {
            if (image == -1) {
                const int parentImage = GetImage(parent);
                image = parentImage >= 0 && parentImage < 12 ? parentImage : 11;
            }
            if (image >= 0 && image < 12)
                image += 24;
            if (image >= 24 && image < 36)
                selectedImage = image + 12;
            else if (selectedImage == -1)
                selectedImage = image;
        } else {
            if (image == -1 || image == 47)
                image = 11;
            if (selectedImage == -1 || selectedImage == 36)
                selectedImage = image;
        }
    } else if (selectedImage == -1) {
        selectedImage = image;
    }
    HTREEITEM item = insertRaw(parent, after, text, data, image, selectedImage);
    applyBold(item);
    return item;
}

HTREEITEM CXTreeCtrl::AddTextItem(HTREEITEM parent, const QString &text, int image)
{
    return AddItem(parent, text, 0, image, image, TVI_LAST);
}

HTREEITEM CXTreeCtrl::AddRootItem(const QString &text, int image)
{
    return AddItem(nullptr, text, 0, image, -1, TVI_LAST);
}

HTREEITEM CXTreeCtrl::AddBranch(const QString &list, quint32 firstCode, int rootImage, int childImage,
                                HTREEITEM parent)
{
    m_busy = true;
    QStringList entries = list.split(QLatin1Char(','));
    entries.removeLast(); // text after the last comma is no entry
    HTREEITEM root = parent;
    quint32 code = firstCode;
    int i = 0;
    if (!parent && !entries.isEmpty()) {
        root = AddItem(nullptr, entries[0], firstCode, rootImage, -1);
        i = 1;
    }
    for (; i < entries.size(); ++i) {
        const QString &entry = entries[i];
        if (entry.startsWith(QLatin1String("__"))) {
            AddItem(root, entry.mid(2), 0, kHeaderImage, kHeaderImage);
            continue;
        }
        ++code;
        AddItem(root, entry, code, childImage, -1);
    }
    m_busy = false;
    return root;
}

HTREEITEM CXTreeCtrl::AddBranchFromResource(int stringId, quint32 firstCode, int rootImage, int childImage,
                                            HTREEITEM parent)
{
    const QString list = LoadResourceString(stringId);
    if (list.isEmpty())
        return nullptr;
    return AddBranch(list, firstCode, rootImage, childImage, parent);
}

// --- finding and selecting ----------------------------------------------------

HTREEITEM CXTreeCtrl::FindItemByData(quint32 data, HTREEITEM start) const
{
    std::function<HTREEITEM(HTREEITEM)> search = [&](HTREEITEM item) -> HTREEITEM {
        if (GetItemData(item) == data)
            return item;
        for (int i = 0; i < item->childCount(); ++i)
            if (HTREEITEM found = search(item->child(i)))
                return found;
        return nullptr;
    };
    if (start) {
        // From the start item through its following siblings.
        HTREEITEM parent = start->parent();
        const int count = parent ? parent->childCount() : topLevelItemCount();
        int at = parent ? parent->indexOfChild(start) : indexOfTopLevelItem(start);
        for (; at >= 0 && at < count; ++at) {
            HTREEITEM item = parent ? parent->child(at) : topLevelItem(at);
            if (HTREEITEM found = search(item))
                return found;
        }
        return nullptr;
    }
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (HTREEITEM found = search(topLevelItem(i)))
            return found;
    return nullptr;
}

HTREEITEM CXTreeCtrl::FindChildByData(quint32 data) const
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        HTREEITEM root = topLevelItem(i);
        for (int c = 0; c < root->childCount(); ++c)
            if (GetItemData(root->child(c)) == data)
                return root->child(c);
    }
    return nullptr;
}

bool CXTreeCtrl::SelectAndShow(HTREEITEM item)
{
    if (!item)
        return false;
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

void CXTreeCtrl::SelectFirstItem(bool expand)
{
    HTREEITEM item = topLevelItem(0);
    if (!item)
        return;
    if (item->childCount() == 0 && topLevelItemCount() > 1)
        item = topLevelItem(1);
    SelectAndShow(item);
    if (expand)
        ExpandItem(item, TVE_EXPAND);
}

bool CXTreeCtrl::SelectItemAtCursor(bool childOnly)
{
    const QPoint pos = viewport()->mapFromGlobal(QCursor::pos());
    HTREEITEM item = itemAt(pos);
    if (!item || (childOnly && !item->parent()))
        return false;
    m_programmaticSelect = true;
    setCurrentItem(item);
    return true;
}

quint32 CXTreeCtrl::GetDataAtCursor() const
{
    return GetItemData(itemAt(viewport()->mapFromGlobal(QCursor::pos())));
}

quint32 CXTreeCtrl::GetSelectedData() const
{
    return GetItemData(currentItem());
}

QString CXTreeCtrl::GetSelectedText() const
{
    return currentItem() ? currentItem()->text(0) : QString();
}

int CXTreeCtrl::GetSelectedImage() const
{
    return currentItem() ? GetImage(currentItem()) : -1;
}

// --- images and marks -----------------------------------------------------------

void CXTreeCtrl::SetImage(HTREEITEM item, int image)
{
    if (!item)
        return;
    item->setData(0, kImageRole, image);
    item->setData(0, kSelectedImageRole, image);
    applyIcon(item);
}

void CXTreeCtrl::SetExclusiveImageByData(quint32 data, int onImage, int offImage)
{
    HTREEITEM item = FindItemByData(data);
    if (!item)
        return;
    HTREEITEM parent = item->parent();
    const int count = parent ? parent->childCount() : topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        HTREEITEM sibling = parent ? parent->child(i) : topLevelItem(i);
        if (sibling != item && GetItemData(sibling) != 0)
            SetImage(sibling, offImage);
    }
    SetImage(item, onImage);
}

void CXTreeCtrl::MarkItemByData(quint32 data, bool siblingsOnly)
{
    HTREEITEM item = FindItemByData(data);
    auto clearBold = [this](HTREEITEM parent) {
        for (int i = 0; i < parent->childCount(); ++i) {
            QFont f = parent->child(i)->font(0);
            f.setBold(false);
            parent->child(i)->setFont(0, f);
        }
    };
    if (siblingsOnly) {
        if (item && item->parent())
            clearBold(item->parent());
    } else {
        for (int i = 0; i < topLevelItemCount(); ++i)
            clearBold(topLevelItem(i));
    }
    if (item) {
        QFont f = item->font(0);
        f.setBold(true);
        item->setFont(0, f);
    }
    m_drawMode = 16;
    viewport()->update();
}

void CXTreeCtrl::BoldRootItems()
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QFont f = topLevelItem(i)->font(0);
        f.setBold(true);
        topLevelItem(i)->setFont(0, f);
    }
}

void CXTreeCtrl::SetBranchImages(quint32 firstData)
{
    // The job-status pictures of statuses 0-3.
    static const int icons[4] = {24, 25, 28, 26};
    for (quint32 i = 0; i < 4; ++i) {
        HTREEITEM item = FindItemByData(firstData + i);
        if (!item)
            continue;
        item->setData(0, kImageRole, icons[i]);
        item->setData(0, kSelectedImageRole, icons[i] + 12);
        applyIcon(item);
    }
}

void CXTreeCtrl::UpdateRootImages()
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        updateFolderImage(topLevelItem(i));
}

void CXTreeCtrl::updateFolderImage(HTREEITEM item)
{
    if (!item || m_imageList != 131)
        return;
    int image = GetImage(item);
    const bool open = item->isExpanded() && item->childCount() > 0;
    if (open && image >= 0 && image < 12)
        image += 12;
    else if (!open && image >= 12 && image < 24)
        image -= 12;
    if (open && image == m_collapsedImage && m_expandedImage != 255)
        image = m_expandedImage;
    else if (!open && image == m_expandedImage && m_collapsedImage != 255)
        image = m_collapsedImage;
    if (image != GetImage(item)) {
        const int selected = GetSelectedImageOf(item);
        item->setData(0, kImageRole, image);
        // A root shows the same picture selected; a child keeps its selected form.
        if (!item->parent() || selected == GetImage(item))
            item->setData(0, kSelectedImageRole, image);
        else
            item->setData(0, kSelectedImageRole, selected);
        applyIcon(item);
    }
}

void CXTreeCtrl::onExpandedChanged(QTreeWidgetItem *item)
{
    if (!m_expandingAll)
        updateFolderImage(item);
}

bool CXTreeCtrl::ExpandItem(HTREEITEM item, unsigned code)
{
    if (!item || item->childCount() == 0)
        return false;
    const bool expand = code == TVE_EXPAND || (code == TVE_TOGGLE && !item->isExpanded());
    item->setExpanded(expand);
    updateFolderImage(item);
    return true;
}

void CXTreeCtrl::ToggleExpandAll()
{
    m_allExpanded = !m_allExpanded;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setUpdatesEnabled(false);
    m_expandingAll = true;
    std::function<void(HTREEITEM)> walk = [&](HTREEITEM item) {
        if (item->childCount() > 0)
            item->setExpanded(m_allExpanded);
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i));
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        walk(topLevelItem(i));
    m_expandingAll = false;
    setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
    if (topLevelItem(0))
        setCurrentItem(topLevelItem(0));
}

void CXTreeCtrl::ExpandAll(bool expand)
{
    m_allExpanded = !expand;
    ToggleExpandAll();
}

// --- set-up ---------------------------------------------------------------------

void CXTreeCtrl::SetImageListAndFont(unsigned listId, int fontIndex)
{
    m_imageList = listId;
    if (const ImageList *list = Appearance::instance().GetImageList(listId))
        setIconSize(list->iconSize());
    setFont(Appearance::instance().GetFont(fontIndex));
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        applyIcon(*it);
}

void CXTreeCtrl::SetColors(ColorRef background, ColorRef text)
{
    m_backColour = background;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ColorRefToQColor(background));
    pal.setColor(QPalette::Text, ColorRefToQColor(text));
    setPalette(pal);
}

void CXTreeCtrl::SetDrawStyle(int mode, ColorRef textColour, int collapsedImage, int expandedImage)
{
    m_drawMode = mode;
    m_textColour = textColour;
    m_collapsedImage = collapsedImage;
    m_expandedImage = expandedImage;
    viewport()->update();
}

void CXTreeCtrl::ClearAll()
{
    setUpdatesEnabled(false);
    clear();
    setUpdatesEnabled(true);
    m_busy = true;
    m_allExpanded = false;
    m_dragItem = nullptr;
    m_dropTarget = nullptr;
}

QColor CXTreeCtrl::itemTextColour(HTREEITEM item, bool *smallFont) const
{
    if (smallFont)
        *smallFont = false;
    if (!item || m_drawMode == 0)
        return QColor();
    if (m_drawMode == 16 && item->parent())
        return item->font(0).bold() ? ColorRefToQColor(m_textColour) : QColor();
    switch (GetImage(item)) {
    case 130:
    case 136:
    case 333: return QColor(0x80, 0x80, 0x80);
    case 252:
    case 254:
        if (smallFont)
            *smallFont = true;
        return QColor(0x80, 0x80, 0x80);
    case 253:
    case 334: return ColorRefToQColor(0x1010C0);
    default: return QColor();
    }
}

// --- moving ---------------------------------------------------------------------

bool CXTreeCtrl::MoveChildren(HTREEITEM source, HTREEITEM newParent)
{
    if (!source || !newParent || source == newParent)
        return false;
    const QList<QTreeWidgetItem *> children = source->takeChildren();
    newParent->addChildren(children);
    for (QTreeWidgetItem *child : children)
        applyIcon(child);
    return true;
}

HTREEITEM CXTreeCtrl::MoveItem(HTREEITEM item, HTREEITEM target)
{
    if (!item || !target || item == target)
        return nullptr;
    const bool marker = target == TVI_FIRST || target == TVI_LAST;
    auto isDescendant = [](HTREEITEM candidate, HTREEITEM ancestor) {
        for (HTREEITEM p = candidate->parent(); p; p = p->parent())
            if (p == ancestor)
                return true;
        return false;
    };
    const QString text = item->text(0);
    const quint32 data = GetItemData(item);
    int image = GetImage(item);
    int selected = GetSelectedImageOf(item);
    HTREEITEM newParent = nullptr;
    HTREEITEM after = TVI_LAST;

    if (!item->parent()) {
        if (marker || isDescendant(target, item))
            return nullptr;
        if (!target->parent()) {
            newParent = nullptr;
            after = target;
        } else {
            newParent = target->parent();
            after = target;
            image = GetImage(target);
            selected = GetSelectedImageOf(target);
        }
    } else {
        HTREEITEM parent = item->parent();
        if (target == parent) {
            newParent = parent;
            after = TVI_FIRST;
        } else if (marker) {
            newParent = parent;
            after = target;
        } else if (!target->parent()) {
            newParent = target;
            after = TVI_LAST;
        } else {
            if (isDescendant(target, item))
                return nullptr;
            newParent = target->parent();
            after = target;
        }
    }
    const bool wasCurrent = currentItem() == item;
    HTREEITEM moved = insertRaw(newParent, after, text, data, image, selected);
    applyBold(moved);
    MoveChildren(item, moved);
    if (wasCurrent)
        setCurrentItem(moved);
    delete item;
    return moved;
}

// --- mouse ------------------------------------------------------------------------

bool CXTreeCtrl::isOnIcon(HTREEITEM item, const QPoint &pos) const
{
    if (!item)
        return false;
    const QRect rect = visualItemRect(item);
    const int iconWidth = iconSize().width();
    return pos.y() >= rect.top() && pos.y() <= rect.bottom() && pos.x() >= rect.left() &&
           pos.x() < rect.left() + iconWidth + 4;
}

void CXTreeCtrl::onItemClick(HTREEITEM item, const QPoint &pos)
{
    Q_UNUSED(pos);
    if (m_clickToExpand && !m_programmaticSelect && item)
        ExpandItem(item, TVE_TOGGLE);
}

void CXTreeCtrl::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_pressPos = pos;
    m_pressButton = event->button();
    HTREEITEM item = itemAt(pos);
    if (item && !m_busy && event->button() == Qt::LeftButton && visualItemRect(item).contains(pos))
        onItemClick(item, pos);
    m_programmaticSelect = false;
    QTreeWidget::mousePressEvent(event);
}

void CXTreeCtrl::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (!m_dragging && m_dragEnabled && (event->buttons() & (Qt::LeftButton | Qt::RightButton)) &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        HTREEITEM item = itemAt(m_pressPos);
        if (item) {
            m_dragging = true;
            m_dragItem = item;
            m_dropTarget = nullptr;
            delete m_dragImage;
            m_dragImage = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
            m_dragImage->setText(item->text(0));
            m_dragImage->adjustSize();
        }
    }
    if (!m_dragging) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    if (m_dragImage) {
        m_dragImage->move(viewport()->mapToGlobal(pos) - QPoint(10, 10));
        m_dragImage->show();
    }
    HTREEITEM target = itemAt(pos);
    const bool accepted = target && target != m_dragItem &&
                          (m_dragItem->parent() != nullptr || (!target->parent() && !m_dragItem->parent()));
    m_dropTarget = accepted ? target : nullptr;
    viewport()->update();
}

void CXTreeCtrl::endDrag(bool drop)
{
    HTREEITEM dragged = m_dragItem;
    HTREEITEM target = m_dropTarget;
    m_dragging = false;
    m_dragItem = nullptr;
    m_dropTarget = nullptr;
    delete m_dragImage;
    m_dragImage = nullptr;
    viewport()->update();
    if (drop && target && target != dragged) {
        HTREEITEM moved = MoveItem(dragged, target);
        if (moved) {
            setCurrentItem(moved);
            emit itemDropped(moved);
        }
    }
}

void CXTreeCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragging) {
        endDrag(true);
        event->accept();
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void CXTreeCtrl::paintEvent(QPaintEvent *event)
{
    QTreeWidget::paintEvent(event);
    if (!m_dragging || !m_dropTarget)
        return;
    // The drop highlight and the insert mark after the target.
    QPainter painter(viewport());
    const QRect rect = visualItemRect(m_dropTarget);
    const QColor mark = ColorRefToQColor(0x1010C0);
    painter.setPen(QPen(mark, 1, Qt::DotLine));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.fillRect(QRect(rect.left(), rect.bottom() - 1, viewport()->width() - rect.left(), 2), mark);
}
