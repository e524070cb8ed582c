#pragma once

#include "app/base/CommandTarget.h"

#include <QtWidgets/QWidget>

// Stands in for a main view whose window is not built yet: it names the view
// and says so, and nothing more.
class CPlaceholderView : public QWidget, public CommandTarget
{
    Q_OBJECT

public:
    explicit CPlaceholderView(int viewId, QWidget *parent = nullptr);

    int viewId() const { return m_viewId; }
    // Command 30050 (bring the ribbons up to date) has nothing to update.
    bool OnCommand(int commandId) override;

private:
    int m_viewId;
};
