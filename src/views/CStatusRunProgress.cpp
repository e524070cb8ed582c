#include "views/CStatusRunProgress.h"

CStatusRunProgress::CStatusRunProgress(QWidget *owner)
    : m_window(owner)
{
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
