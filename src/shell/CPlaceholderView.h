#pragma once

#include "app/base/CommandTarget.h"
#include "views/CView0.h"

class QLabel;

// Stands in for a main view whose window is not built yet: the view's tab row
// and ribbons as every view has them, so the user can go on to another view,
// and in place of the list the view's name and a line saying it is not built
// yet. Its list commands are disabled.
class CPlaceholderView : public CView0, public CommandTarget
{
    Q_OBJECT

public:
    // Made ready at once (its own OnInitialUpdate runs in the constructor).
    explicit CPlaceholderView(int viewId, QWidget *parent = nullptr);

    void OnInitialUpdate() override;
    bool IsCommandEnabled(int id) override;
    bool OnCommand(int commandId) override;

private:
    QLabel *m_notice = nullptr;
};
