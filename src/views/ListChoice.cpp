#include "views/ListChoice.h"

#include "controls/CXListCtrl.h"
#include "platform/Prompt.h"
#include "views/CView0.h"

#include <QtCore/QString>
#include <QtWidgets/QWidget>

void FocusViewList(QWidget *view)
{
    if (!view)
        return;
    auto *listView = qobject_cast<CView0 *>(view);
    if (listView && listView->list() && listView->list()->isVisible())
        listView->list()->setFocus(Qt::OtherFocusReason);
    else
        view->setFocus(Qt::OtherFocusReason);
}

void TellListReadAgain(const CView0 &view, const QString &rows)
{
    platform::Prompt::messageBox(QStringLiteral("The list has been read again as \"%1\" names it.\nPlease select the %2 again.")
                                     .arg(view.listCaption(), rows));
}

bool RefusedWithNoRowChosen(CView0 &view)
{
    CXListCtrl *list = view.list();
    if (!list || view.isChartShown())
        return false;
    // A row of another list than the caption's: that list is read again and
    // the user told to choose anew.
    if (!view.ListMatchesCaption()) {
        TellListReadAgain(view, QStringLiteral("row"));
        return true;
    }
    if (list->GetItemCount() == 0 || list->GetCurrentRow() >= 0 || list->GetSelectedCount() > 0)
        return false;
    platform::Prompt::messageBox(QStringLiteral("Please select the row to open."));
    return true;
}
