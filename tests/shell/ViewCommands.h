#pragma once

// The commands a view offers a user: the items of its four bars and of the
// list menu, as command numbers.

#include "app/base/Menus.h"
#include "controls/CXRibbon.h"
#include "views/CView0.h"

#include <QtWidgets/QMenu>

#include <functional>
#include <memory>
#include <set>

inline std::set<int> OfferedCommands(CView0 &view)
{
    std::set<int> ids;
    for (CXRibbon *bar : {view.mainBar(), view.managerBar(), view.listBar(), view.statusBar()})
        for (int i = 0; bar && i < bar->GetItemCount(); ++i)
            if (const unsigned id = bar->GetItemId(i); id >= 20000 && id < 40000)
                ids.insert(int(id));
    if (std::unique_ptr<QMenu> menu = LoadMenuResource(170)) {
        std::function<void(QMenu *)> walk = [&](QMenu *m) {
            for (QAction *a : m->actions()) {
                if (a->menu())
                    walk(a->menu());
                else if (const int id = a->data().toInt(); id >= 20000 && id < 40000)
                    ids.insert(id);
            }
        };
        walk(menu.get());
    }
    return ids;
}
