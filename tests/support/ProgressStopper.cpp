#include "support/ProgressStopper.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

ProgressStopper::ProgressStopper()
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
    m_timer.start(100);
}

ProgressStopper::ProgressStopper(std::function<bool(const QStringList &texts)> ready) : ProgressStopper()
{
    m_ready = std::move(ready);
}

void ProgressStopper::look()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() != QLatin1String("CStatusDlg") || !w->isVisible())
            continue;
        auto *stop = w->findChild<QPushButton *>();
        if (!stop || !stop->isVisible())
            continue;
        if (m_ready) {
            QStringList texts;
            for (const QLabel *label : w->findChildren<QLabel *>())
                texts << label->text();
            if (!m_ready(texts))
                continue;
        }
        const auto *title = w->findChild<QLabel *>();
        m_stopped << (title ? title->text() : QString());
        stop->click();
    }
}
