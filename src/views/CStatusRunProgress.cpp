#include "views/CStatusRunProgress.h"

CStatusRunProgress::CStatusRunProgress(QWidget *owner)
    : m_window(owner)
{
}

void CStatusRunProgress::start(int total, const QString &title, bool showBar, bool cancellable, const QString &line)
{
    m_window.Start(total, title, showBar, cancellable, line);
}

void CStatusRunProgress::setRange(int position, int total)
{
    m_window.SetRange(position, total);
}

bool CStatusRunProgress::isRunning() const
{
    return m_window.IsRunning();
}

bool CStatusRunProgress::step(const QString &text)
{
    return m_window.Step(text);
}

void CStatusRunProgress::setMessage(const QString &text)
{
    m_window.SetMessage(text, false);
}
