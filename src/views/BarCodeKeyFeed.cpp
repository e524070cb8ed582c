#include "views/BarCodeKeyFeed.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

BarCodeKeyFeed::BarCodeKeyFeed(QWidget *window, CBarCode &reader, ScanHandler onScan)
    : QObject(window), m_window(window), m_reader(reader), m_onScan(std::move(onScan))
{
    m_overdue.setSingleShot(true);
    m_overdue.setInterval(CBarCode::kMaxKeyGap + 10);
    connect(&m_overdue, &QTimer::timeout, this, &BarCodeKeyFeed::flushOverdue);
    qApp->installEventFilter(this);
}

BarCodeKeyFeed::~BarCodeKeyFeed()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void BarCodeKeyFeed::flushOverdue()
{
    if (m_reader.Expire())
        replay(m_lastTarget ? m_lastTarget.data() : m_window);
}

void BarCodeKeyFeed::replay(QObject *target)
{
    const QList<CBarCode::Key> keys = m_reader.TakeReplay();
    if (!target)
        return;
    m_replaying = true;
    for (const CBarCode::Key &k : keys) {
        QKeyEvent press(QEvent::KeyPress, k.key, Qt::KeyboardModifiers(k.modifiers), k.text);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, k.key, Qt::KeyboardModifiers(k.modifiers), k.text);
        QCoreApplication::sendEvent(target, &release);
    }
    m_replaying = false;
}

bool BarCodeKeyFeed::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || m_replaying)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !widget->isWidgetType() || (widget != m_window && !m_window->isAncestorOf(widget)))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return false;
    // A key nobody took travels up to the parents; feeding it again there
    // changes nothing, as the reader passes such keys on unchanged.
    const int result = m_reader.OnScannerKey({key->key(), int(key->modifiers()), key->text()});
    // Keys of a code that turned out to be typing go first, in order, to the
    // control they were typed into.
    replay(m_lastTarget ? m_lastTarget.data() : watched);
    if (result != 0)
        m_lastTarget = watched;
    if (m_reader.HasOpenCode())
        m_overdue.start();
    else
        m_overdue.stop();
    if (result == 0)
        return false;
    if (result > 1 && m_onScan)
        m_onScan(result);
    return true;
}
