#pragma once

#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QPointer>

#include <functional>

class QWidget;

// The one place that knows a long run is working (a compaction, a repair, a
// backup or restore, a posting, a report being read, an import or export, an
// upgrade: every loop behind a progress window). One object lives for each
// run, made by its progress window. While one lives the rest of the program
// waits: only the run's own window and the windows that come up from inside
// the run (its questions, its own dialogs) take input; keys, clicks, menus,
// accelerators and timers of every window that was up before the run are
// held back, a command asked of those windows is refused with a beep, and a
// posted command waits for the end of the run. A close of the main window
// asks whether to stop the run; the program then ends once the run has
// stopped.
class LongRun : public QObject
{
public:
    // window: the run's own window; stop: asked when the main window is
    // closed during the run, asks the user (the window's own Stop question)
    // and answers whether the program is to end with the run. A run of
    // several parts, each with a window of its own, lives across them as a
    // run without a window or a stop: an end asked between two parts, or
    // after the last step of a part, is carried out once the whole run has
    // ended. As it ends, a run takes the input given since its last pass
    // over the events (an end asked then is carried out, not asked).
    LongRun(QWidget *window, std::function<bool()> stop);
    ~LongRun() override;
    LongRun(const LongRun &) = delete;
    LongRun &operator=(const LongRun &) = delete;

    // Whether any run is working.
    static bool IsWorking();
    // How many runs have begun since the program started.
    static int Begun();
    // The program's main window: its close asks to stop the run.
    static void SetMainWindow(QWidget *window);
    // A run has ended that the user asked to end the program with: the
    // program is closing, and what would follow the run (its result, the
    // next step of the command) is left out.
    static bool Ending();

    // Handles the events that wait while the run works: repaints, the run's
    // own Stop; every other window's input stays held back.
    static void Pump();
    // A box is about to come up. In a run of several parts, between or after
    // them (nothing of the run handles its events there), the input given
    // meanwhile is taken first, so that an Exit among it is carried out when
    // the run ends instead of being blocked by the box.
    static void BeforeBox();
    // Whether a command asked now may start: not while a run handles its
    // events, unless a dialog of the run's own is in front. A refused command
    // beeps.
    static bool MayStartCommand();
    // Runs a command posted to target now, or when the last run has ended
    // when target is a window held back by a run.
    static void Deliver(QObject *target, const std::function<void()> &command);
    // The user asks the program to end (Exit, Alt+F4, a close of the main
    // window). During a run the run answers as to a close of the main
    // window: it asks its own question ("Do you want to stop now?"), and
    // after Yes it stops at its next step and the program ends after it.
    // False when no run is working: the caller ends the program itself.
    static bool AskToEnd();
    // Tells which input asks the program to end (an Exit item, Alt+F4); the
    // shell, which knows them, installs it. Such input to a window behind
    // the run, or a key of it to the run's own window, asks as AskToEnd
    // does.
    using EndRequestTest = std::function<bool(QObject *watched, QEvent *event)>;
    static void SetEndRequestTest(EndRequestTest test);
    // A window behind the run may have a Stop of its own (a transfer window
    // waiting for its site behind the progress window): while set, a click
    // on that control, or Space or Enter on it, does stop instead of being
    // held back. Null clears it.
    static void SetStopControl(QWidget *control, std::function<void()> stop);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isBehind(QObject *object) const;
    static void ended();

    QPointer<QWidget> m_window;
    std::function<bool()> m_stop;
    QList<QPointer<QWidget>> m_behind; // the windows up when the run began
    QPointer<QWidget> m_modal;         // the modal dialog in front when the run began
    bool m_atEdge = false;             // ending: past everything that could be stopped
    bool m_parts = false;              // a run of several parts: no window of its own
};
