#include "views/ViewFactory.h"

#include "views/CView0.h"
#include "views/CViewDefaults.h"
#include "views/CViewHome.h"

CView0 *CreateView(int viewId, QWidget *parent)
{
    CView0 *view = nullptr;
    switch (viewId) {
    case 30000:
        view = new CViewHome(parent);
        break;
    case 30006:
        view = new CViewDefaults(parent);
        break;
    default:
        return nullptr; // the business views are made by their own areas
    }
    view->OnInitialUpdate();
    return view;
}
