#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTimer>

#include <functional>

// Presses Stop in the progress window of a long run as soon as one shows
// (the run then asks whether to stop, which the test answers), as a user
// who does not want to wait would. Keeps the title line of each window it
// stopped.
class ProgressStopper
{
public:
    ProgressStopper();
    // Presses Stop only once the window's texts (its labels' in order) are
    // ready: a user who waited for the transfer to be under way.
    explicit ProgressStopper(std::function<bool(const QStringList &texts)> ready);

    const QStringList &stopped() const { return m_stopped; }

private:
    void look();

    std::function<bool(const QStringList &texts)> m_ready;
    QTimer m_timer;
    QStringList m_stopped;
};
