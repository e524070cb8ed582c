#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTimer>

// Presses Stop in the progress window of a long run as soon as one shows
// (the run then asks whether to stop, which the test answers), as a user
// who does not want to wait would. Keeps the title line of each window it
// stopped.
class ProgressStopper
{
public:
    ProgressStopper();

    const QStringList &stopped() const { return m_stopped; }

private:
    void look();

    QTimer m_timer;
    QStringList m_stopped;
};
