#include "platform/LongRun.h"

#include "platform/Prompt.h"

#include <QtCore/QAbstractEventDispatcher>
#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QMetaObject>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

namespace {

QList<LongRun *> g_runs; // the runs working, the innermost last
int g_begun = 0;
int g_pumping = 0;
bool g_endAsked = false;
bool g_ending = false; // a run that ended was asked to end the program
QPointer<QWidget> g_mainWindow;
QList<QPair<QPointer<QObject>, std::function<void()>>> g_waiting;
QPointer<QWidget> g_stopControl;
LongRun::EndRequestTest g_endRequest;
std::function<void()> g_stop;

// A timer of a window behind that would fire at once again and again (a
// list reading on behind its first screen, a view's delayed layout) is
// slowed to this while the run works, so a question the run asks waits
// without using the processor; it gets its own interval back as the last
// run ends, unless it was stopped or started anew meanwhile.
constexpr int kHeldTimerMs = 100;
struct HeldTimer
{
    QPointer<QObject> object;
    int id = 0;
    int interval = 0;
    Qt::TimerType type = Qt::CoarseTimer;
};
QList<HeldTimer> g_heldTimers;

void holdTimer(QObject *object, int id)
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(object->thread());
    if (!dispatcher)
        return;
    for (const QAbstractEventDispatcher::TimerInfo &info : dispatcher->registeredTimers(object)) {
        if (info.timerId != id || info.interval >= kHeldTimerMs)
            continue;
        dispatcher->unregisterTimer(id);
        dispatcher->registerTimer(id, kHeldTimerMs, Qt::CoarseTimer, object);
        g_heldTimers.append({object, id, info.interval, info.timerType});
        return;
    }
}

void releaseTimers()
{
    QList<HeldTimer> held;
    held.swap(g_heldTimers);
    for (const HeldTimer &t : held) {
        if (!t.object)
            continue;
        QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(t.object->thread());
        if (!dispatcher)
            continue;
        for (const QAbstractEventDispatcher::TimerInfo &info : dispatcher->registeredTimers(t.object)) {
            if (info.timerId == t.id && info.interval == kHeldTimerMs && info.timerType == Qt::CoarseTimer) {
                dispatcher->unregisterTimer(t.id);
                dispatcher->registerTimer(t.id, t.interval, t.type, t.object);
                break;
            }
        }
    }
}

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

} // namespace

LongRun::LongRun(QWidget *window, std::function<bool()> stop)
    : m_window(window), m_stop(std::move(stop)), m_modal(QApplication::activeModalWidget()), m_parts(!window)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != window && w->isVisible())
            m_behind.append(w);
    g_runs.append(this);
    ++g_begun;
    // The filter installed last is asked first: the innermost run decides.
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

LongRun::~LongRun()
{
    if (QCoreApplication::instance()) {
        // Input given after the run's last pass over its events (its last
        // step, the work after it) still belongs to the run: an Exit among
        // it is carried out once the run has ended, never dropped by a box
        // that comes up after it.
        m_atEdge = true;
        Pump();
        QCoreApplication::instance()->removeEventFilter(this);
    }
    g_runs.removeOne(this);
    if (g_runs.isEmpty())
        ended();
}

bool LongRun::IsWorking()
{
    return !g_runs.isEmpty();
}

int LongRun::Begun()
{
    return g_begun;
}

void LongRun::SetMainWindow(QWidget *window)
{
    g_mainWindow = window;
    g_ending = false;
}

bool LongRun::Ending()
{
    return g_ending;
}

void LongRun::Pump()
{
    struct Pumping
    {
        Pumping() { ++g_pumping; }
        ~Pumping() { --g_pumping; }
    } pumping;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void LongRun::BeforeBox()
{
    if (!g_runs.isEmpty() && g_runs.last()->m_parts && g_pumping == 0)
        Pump();
}

bool LongRun::MayStartCommand()
{
    // The run's own code may dispatch what it needs; a command that arrives
    // while the run handles its events came from elsewhere.
    if (g_runs.isEmpty() || g_pumping == 0)
        return true;
    const LongRun *run = g_runs.last();
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != run->m_modal && !run->isBehind(modal))
        return true;
    platform::Prompt::beep();
    return false;
}

void LongRun::Deliver(QObject *target, const std::function<void()> &command)
{
    if (!g_runs.isEmpty() && g_runs.last()->isBehind(target)) {
        g_waiting.append({QPointer<QObject>(target), command});
        return;
    }
    command();
}

bool LongRun::AskToEnd()
{
    if (g_runs.isEmpty())
        return false;
    // One question at a time: an Exit clicked while it is asked asks nothing more.
    static bool asking = false;
    LongRun *run = g_runs.last();
    if (g_endAsked || asking)
        return true;
    if (!run->m_stop || run->m_atEdge) {
        // Nothing of the run can be stopped now (past its last step, between
        // two of its parts): the program ends once the run has ended.
        g_endAsked = true;
        return true;
    }
    asking = true;
    const bool end = run->m_stop();
    asking = false;
    if (end)
        g_endAsked = true;
    return true;
}

void LongRun::SetEndRequestTest(EndRequestTest test)
{
    g_endRequest = std::move(test);
}

void LongRun::SetStopControl(QWidget *control, std::function<void()> stop)
{
    g_stopControl = control;
    g_stop = control ? std::move(stop) : std::function<void()>();
}

bool LongRun::isBehind(QObject *object) const
{
    while (object && !object->isWidgetType())
        object = object->parent();
    if (!object)
        return false;
    QWidget *window = static_cast<QWidget *>(object)->window();
    if (window == m_window)
        return false;
    for (const QPointer<QWidget> &w : m_behind)
        if (w == window)
            return true;
    return false;
}

bool LongRun::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Timer) {
        // A timer of a window behind fires again once the run has ended.
        if (!isBehind(watched))
            return false;
        holdTimer(watched, static_cast<QTimerEvent *>(event)->timerId());
        return true;
    }
    // A window behind is closed by the user only once the run has ended
    // (what the run's own code closes, closes); the main window's close asks
    // to stop the run.
    if (type == QEvent::Close && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()
        && (event->spontaneous() || watched == g_mainWindow) && isBehind(watched)) {
        event->ignore();
        if (watched == g_mainWindow)
            AskToEnd();
        return true;
    }
    // Alt+F4 on the run's own window (the progress window is the active one
    // while the run works, so the key reaches it rather than the main
    // window) asks to end the program as on a window behind.
    if (type == QEvent::KeyPress && m_window && g_endRequest && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == m_window && g_endRequest(watched, event)) {
        AskToEnd();
        return true;
    }
    if (isInput(type) && isBehind(watched)) {
        if (g_endRequest && g_endRequest(watched, event)) {
            AskToEnd();
            return true;
        }
        if (g_stopControl && g_stop && watched == g_stopControl && g_stopControl->isVisible()
            && g_stopControl->isEnabled()) {
            const bool clicked = type == QEvent::MouseButtonRelease
                                 && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
                                 && g_stopControl->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint());
            const int key = type == QEvent::KeyPress ? static_cast<QKeyEvent *>(event)->key() : 0;
            if (clicked || key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                const std::function<void()> stop = g_stop;
                stop();
                return true;
            }
        }
        if (type == QEvent::ShortcutOverride) {
            // Taken by the window, so no accelerator of it fires.
            event->accept();
        } else if ((type == QEvent::MouseButtonPress || type == QEvent::KeyPress) && m_window) {
            m_window->raise();
            m_window->activateWindow();
        }
        return true;
    }
    return false;
}

void LongRun::ended()
{
    releaseTimers();
    QList<QPair<QPointer<QObject>, std::function<void()>>> waiting;
    waiting.swap(g_waiting);
    if (g_endAsked) {
        // The user closed the main window during the run: the program ends
        // now that the run has stopped, and what waited is dropped.
        g_endAsked = false;
        g_ending = true;
        if (g_mainWindow)
            QMetaObject::invokeMethod(g_mainWindow.data(), [w = g_mainWindow] { if (w) w->close(); },
                                      Qt::QueuedConnection);
        return;
    }
    for (const auto &[target, command] : waiting)
        if (target)
            QMetaObject::invokeMethod(
                target.data(), [target, command] { Deliver(target.data(), command); }, Qt::QueuedConnection);
}
