#pragma once

#include "controls/CXProgress.h"

#include <QtCore/QStringList>

// The progress window of a long piece of work, stood in for: keeps the title
// of each window started ("[Stop]" added when it offers Stop), counts the
// steps and presses Stop at the step asked (never, for -1).
class CountingProgress : public CXProgress
{
public:
    CountingProgress(QStringList &titles, int &steps, int stopAt) : m_titles(titles), m_steps(steps), m_stopAt(stopAt) {}
    void Start(int, const QString &title, bool, bool cancellable, const QString &) override
    {
        m_running = true;
        m_titles << title + (cancellable ? QStringLiteral(" [Stop]") : QString());
    }
    bool Step(const QString &) override
    {
        if (m_running && ++m_steps == m_stopAt)
            m_running = false;
        return m_running;
    }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return m_running; }

private:
    QStringList &m_titles;
    int &m_steps;
    int m_stopAt;
    bool m_running = false;
};
