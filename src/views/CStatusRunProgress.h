#pragma once

#include "data/SchemaOperations.h"
#include "views/CStatusDlg.h"

// The progress window as the database runs (schema upgrade, duplicate
// removal, key checks) see it: the same window and the same Stop.
class CStatusRunProgress final : public SchemaProgress
{
public:
    explicit CStatusRunProgress(QWidget *owner = nullptr);

    void start(int total, const QString &title, bool showBar, bool cancellable, const QString &line) override;
    void setRange(int position, int total) override;
    bool isRunning() const override;
    bool step(const QString &text) override;
    void setMessage(const QString &text) override;

    CStatusDlg &window() { return m_window; }

private:
    CStatusDlg m_window;
};
