#pragma once

#include <QtCore/QString>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

// Building, reading and showing menus. Every item carries its command id as
// its action's data; separators carry none.

// Menu resources: a numbered menu whose sub-menus (by position) are the popup
// menus of a window. The code that owns a menu registers how it is built;
// loading an unregistered id gives null.
using MenuBuilder = std::function<void(QMenu &menu)>;
void RegisterMenuResource(int menuId, MenuBuilder builder);
std::unique_ptr<QMenu> LoadMenuResource(int menuId);

// The message an owner gets before one of its popup menus is shown, so that it
// can check, disable, add or remove items first.
inline constexpr int kMenuInitMessage = 30675;
class PopupMenuOwner
{
public:
    virtual ~PopupMenuOwner() = default;
    virtual void OnInitPopupMenu(QMenu *subMenu, int position) = 0;
};

// Deletes every item.
void ClearMenu(QMenu *menu);
// One item per item of the comma-terminated text, with command ids counting
// from firstId; "-" gives a separator, which takes no id.
void AppendMenuItems(QMenu *menu, const QString &text, int firstId);
// Checks every item whose text equals the text and unchecks the others.
void CheckMenuItemsByText(QMenu *menu, const QString &text);
// The text of the item with that command id (sub-menus searched too); empty
// for a null menu or an unknown id.
QString GetMenuCommandText(const QMenu *menu, int commandId);
// The text of a command in the sub-menu at the position of a menu resource;
// empty when the menu cannot be loaded.
void GetMenuItemText(QString &out, int menuId, int position, int commandId);

// Shows the sub-menu at the position of a menu resource at (x, y) on the
// screen. The owner (when given and a PopupMenuOwner) may adjust it first.
// Returns the chosen command id; 0 when nothing was chosen or the menu or the
// sub-menu is missing.
int ShowPopupMenu(int menuId, int position, int x, int y, QWidget *owner, unsigned flags);
