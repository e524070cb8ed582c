#include "app/base/DateRangeMenu.h"

#include "app/base/DateRanges.h"

#include <QtGui/QAction>
#include <QtWidgets/QMenu>

void CheckDateRangeMenu(QMenu *menu, int code)
{
    if (!menu)
        return;
    for (QAction *action : menu->actions()) {
        const int id = action->data().toInt();
        if (action->isSeparator() || id < DateRange::CmdToday || id > DateRange::CmdBetween)
            continue;
        action->setCheckable(true);
        action->setChecked(id == code);
    }
}
