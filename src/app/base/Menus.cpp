#include "app/base/Menus.h"

#include <QtCore/QHash>
#include <QtGui/QAction>
#include <QtWidgets/QMenu>

namespace {

QHash<int, MenuBuilder> &menuResources()
{
    static QHash<int, MenuBuilder> table;
    return table;
}

QMenu *subMenuAt(QMenu *menu, int position)
{
    const auto actions = menu->actions();
    if (position < 0 || position >= actions.size())
        return nullptr;
    return actions[position]->menu();
}

} // namespace

void RegisterMenuResource(int menuId, MenuBuilder builder)
{
    if (builder)
        menuResources().insert(menuId, std::move(builder));
    else
        menuResources().remove(menuId);
}

std::unique_ptr<QMenu> LoadMenuResource(int menuId)
{
    const auto it = menuResources().constFind(menuId);
    if (it == menuResources().constEnd())
        return nullptr;
    auto menu = std::make_unique<QMenu>();
    (*it)(*menu);
    return menu;
}

void ClearMenu(QMenu *menu)
{
    if (!menu)
        return;
    const auto actions = menu->actions();
    for (int i = int(actions.size()) - 1; i >= 0; --i) {
        menu->removeAction(actions[i]);
        if (actions[i]->parent() == menu)
            delete actions[i];
    }
}

void AppendMenuItems(QMenu *menu, const QString &text, int firstId)
{
    if (!menu)
        return;
    int id = firstId;
    int from = 0;
    for (;;) {
        const int comma = text.indexOf(QLatin1Char(','), from);
        if (comma < 0)
            return;
        const QString item = text.mid(from, comma - from);
        if (item == QLatin1String("-"))
            menu->addSeparator();
        else
            menu->addAction(item)->setData(id++);
        from = comma + 1;
    }
}

void CheckMenuItemsByText(QMenu *menu, const QString &text)
{
    if (!menu)
        return;
    const auto actions = menu->actions();
    for (QAction *action : actions) {
        if (action->isSeparator())
            continue;
        // The text is read by command id, as the menu would report it.
        const QString itemText = GetMenuCommandText(menu, action->data().toInt());
        action->setCheckable(true);
        action->setChecked(itemText == text);
    }
}

QString GetMenuCommandText(const QMenu *menu, int commandId)
{
    if (!menu)
        return QString();
    const auto actions = menu->actions();
    for (QAction *action : actions) {
        if (action->isSeparator())
            continue;
        if (action->menu()) {
            const QString inner = GetMenuCommandText(action->menu(), commandId);
            if (!inner.isEmpty())
                return inner;
            continue;
        }
        const QVariant id = action->data();
        if (id.isValid() && id.toInt() == commandId)
            return action->text();
    }
    return QString();
}

void GetMenuItemText(QString &out, int menuId, int position, int commandId)
{
    out.clear();
    const std::unique_ptr<QMenu> menu = LoadMenuResource(menuId);
    if (!menu)
        return;
    out = GetMenuCommandText(subMenuAt(menu.get(), position), commandId);
}

int ShowPopupMenu(int menuId, int position, int x, int y, QWidget *owner, unsigned flags)
{
    Q_UNUSED(flags); // the menu opens with its top-left corner at the point
    const std::unique_ptr<QMenu> menu = LoadMenuResource(menuId);
    if (!menu)
        return 0;
    QMenu *popup = subMenuAt(menu.get(), position);
    if (!popup)
        return 0;
    if (auto *receiver = dynamic_cast<PopupMenuOwner *>(owner))
        receiver->OnInitPopupMenu(popup, position);
    QAction *chosen = popup->exec(QPoint(x, y));
    return chosen ? chosen->data().toInt() : 0;
}
