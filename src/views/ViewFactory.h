#pragma once

class QWidget;
class CView0;

// Makes the main view with that command id (30000-30008) as a child of the
// parent and runs its initial update; null for an id that has no view in this
// build. The main frame calls it on a view's first use.
CView0 *CreateView(int viewId, QWidget *parent);
