#pragma once

#include "views/CBarCode.h"

#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QTimer>

#include <functional>

class QWidget;

// Feeds every key press made in a window (the window itself or any child of
// it) to the window's bar-code reader before the focused control sees it,
// Enter excepted. A key the reader consumes never reaches the control; a
// completed code is handed to onScan with its command id. When the reader
// drops a code that was typed by a person, its keys are delivered to the
// control they were meant for, in order.
class BarCodeKeyFeed : public QObject
{
    Q_OBJECT

public:
    using ScanHandler = std::function<void(int command)>;

    BarCodeKeyFeed(QWidget *window, CBarCode &reader, ScanHandler onScan);
    ~BarCodeKeyFeed() override;

    // Delivers the keys of a code the reader dropped as overdue.
    void flushOverdue();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void replay(QObject *target);

    QWidget *m_window;
    CBarCode &m_reader;
    ScanHandler m_onScan;
    QPointer<QObject> m_lastTarget;
    QTimer m_overdue;
    bool m_replaying = false;
};
