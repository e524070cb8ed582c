#pragma once

#include "app/base/Colours.h"

#include <QtCore/QPoint>
#include <QtWidgets/QTreeWidget>

#include <cstdint>

class QLabel;

using HTREEITEM = QTreeWidgetItem *;

// Insert positions and the expansion codes of the tree operations.
inline HTREEITEM const TVI_ROOT = nullptr;
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(~quintptr(0xFFFF) | quintptr(1));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(~quintptr(0xFFFF) | quintptr(2));
enum TreeExpandCode : unsigned { TVE_COLLAPSE = 1, TVE_EXPAND = 2, TVE_TOGGLE = 3 };

// The list-manager tree of the list views and pickers. Items carry a 32-bit
// code as their data and are found by it; whole branches are built from the
// comma lists of the string table; folder images open and close with the
// branches; items can be coloured by their image and moved by dragging.
class CXTreeCtrl : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CXTreeCtrl(QWidget *parent = nullptr);
    ~CXTreeCtrl() override;

    HTREEITEM AddItem(HTREEITEM parent, const QString &text, quint32 data, int image, int selectedImage = -1,
                      HTREEITEM after = TVI_LAST);
    HTREEITEM AddTextItem(HTREEITEM parent, const QString &text, int image);
    HTREEITEM AddRootItem(const QString &text, int image);
    HTREEITEM AddBranch(const QString &list, quint32 firstCode, int rootImage, int childImage,
                        HTREEITEM parent = nullptr);
    HTREEITEM AddBranchFromResource(int stringId, quint32 firstCode, int rootImage, int childImage,
                                    HTREEITEM parent = nullptr);

    HTREEITEM FindItemByData(quint32 data, HTREEITEM start = nullptr) const;
    HTREEITEM FindChildByData(quint32 data) const;

    bool SelectAndShow(HTREEITEM item);
    void SelectFirstItem(bool expand);
    bool SelectItemAtCursor(bool childOnly);
    quint32 GetDataAtCursor() const;

    quint32 GetSelectedData() const;
    QString GetSelectedText() const;
    int GetSelectedImage() const;
    static int GetImage(HTREEITEM item);
    static int GetSelectedImageOf(HTREEITEM item);
    static quint32 GetItemData(HTREEITEM item);
    static bool IsChildItem(HTREEITEM item);
    bool GetExpandState() const { return m_allExpanded; }

    void SetImage(HTREEITEM item, int image);
    void SetExclusiveImageByData(quint32 data, int onImage, int offImage);
    void MarkItemByData(quint32 data, bool siblingsOnly);
    void BoldRootItems();
    void SetBranchImages(quint32 firstData);
    void UpdateRootImages();

    bool ExpandItem(HTREEITEM item, unsigned code);
    void ToggleExpandAll();
    void ExpandAll(bool expand);

    void SetImageListAndFont(unsigned listId, int fontIndex);
    unsigned imageListId() const { return m_imageList; }
    void SetColors(ColorRef background, ColorRef text);
    void SetDrawStyle(int mode, ColorRef textColour, int collapsedImage, int expandedImage);
    int drawMode() const { return m_drawMode; }
    void SetClickToExpand(bool on) { m_clickToExpand = on; }
    void EnableDragDrop(bool on) { m_dragEnabled = on; }
    void ClearAll();
    void setBusy(bool busy) { m_busy = busy; }
    bool isBusy() const { return m_busy; }
    void setBoldGroups(bool on) { m_boldGroups = on; }

    HTREEITEM MoveItem(HTREEITEM item, HTREEITEM target);
    bool MoveChildren(HTREEITEM source, HTREEITEM newParent);

    // How the drawing colours an item (custom drawing): text colour, and
    // whether it is drawn in shared font 8; an invalid colour keeps the default.
    QColor itemTextColour(HTREEITEM item, bool *smallFont = nullptr) const;
    bool isDragging() const { return m_dragging; }
    HTREEITEM dropTarget() const { return m_dropTarget; }

signals:
    void ownerMessage(int message, qintptr wParam, qintptr lParam);
    // An item the user dragged was dropped and now stands where it shows.
    void itemDropped(HTREEITEM moved);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

    // A click on an item (before the selection follows it). The base toggles
    // the branch when click-to-expand is set and the selection was not made
    // by the program.
    virtual void onItemClick(HTREEITEM item, const QPoint &pos);
    void updateFolderImage(HTREEITEM item);
    void applyIcon(HTREEITEM item);
    void applyBold(HTREEITEM item);
    bool isOnIcon(HTREEITEM item, const QPoint &viewportPos) const;
    void postToOwner(int message, qintptr wParam, qintptr lParam);
    HTREEITEM insertRaw(HTREEITEM parent, HTREEITEM after, const QString &text, quint32 data, int image,
                        int selectedImage);

    bool m_busy = false;
    bool m_programmaticSelect = false;
    bool m_clickToExpand = false;
    bool m_boldGroups = true;
    int m_drawMode = 0;
    int m_collapsedImage = 255;
    int m_expandedImage = 255;
    ColorRef m_textColour = 0;
    ColorRef m_backColour = 0;
    bool m_allExpanded = false;
    bool m_expandingAll = false;
    bool m_dragEnabled = false;
    bool m_dragging = false;
    HTREEITEM m_dragItem = nullptr;
    HTREEITEM m_dropTarget = nullptr;
    QLabel *m_dragImage = nullptr;
    unsigned m_imageList = 0;
    QPoint m_pressPos;
    Qt::MouseButton m_pressButton = Qt::NoButton;

private:
    void onExpandedChanged(QTreeWidgetItem *item);
    void endDrag(bool drop);
};
