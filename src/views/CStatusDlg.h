#pragma once

#include "controls/CXProgress.h"

#include <QtWidgets/QDialog>

#include <memory>

class LongRun;

class QLabel;
class QProgressBar;
class QPushButton;

// The small window of a long loop: a title line, a message line, a progress
// bar, a count line and a Stop button. From its first start to its end the
// rest of the program waits (see LongRun): each step of a cancellable loop
// handles the window's own events, so it repaints and its Stop button works,
// while every other window's input is held back. After Stop and Yes the next
// step answers false and the loop ends. The caller owns the window (usually
// on its stack) and destroying it closes it and ends the run.
class CStatusDlg : public QDialog, public CXProgress
{
    Q_OBJECT

public:
    // Control ids.
    enum : unsigned {
        IDC_TITLE = 1901,
        IDC_MESSAGE = 1902,
        IDC_COUNT = 1903,
        IDC_PROGRESS = 1601,
        IDC_STOP = 2,
    };

    explicit CStatusDlg(QWidget *owner = nullptr);
    ~CStatusDlg() override;

    // Shows the window (made on the first call, reused afterwards) for a
    // phase of `total` steps. "%s" in the title stands for the total, grouped
    // in thousands. The bar shows only with showBar, the Stop button only
    // with cancellable.
    void Start(int total, const QString &title, bool showBar, bool cancellable,
               const QString &line = QString()) override;
    // One step: moves the bar and shows the text in the count line ("3 of 10 "
    // for an empty text). Returns false once the user has stopped. A run of
    // more than 200 steps updates the window (and handles the Stop button)
    // every total/200th step and at the last; a step with a text always does.
    bool Step(const QString &text = QString()) override;
    // The message line; the count line is emptied; with step one step follows.
    void SetMessage(const QString &text, bool step = false) override;
    // New position and total; the bar's range becomes position..total.
    void SetRange(int position, int total);
    bool IsRunning() const override { return m_running; }
    // Handles the window's events as a step does, without a step.
    bool Look() override;
    void SetQuestionHook(std::function<void(bool asking)> hook) override { m_questionHook = std::move(hook); }

    // The Stop button and Esc: asks "Do you want to stop now?" when the loop
    // can be stopped. The window always stays shown and comes to the top.
    void OnCancel();
    // Esc: as the Stop button.
    void reject() override;

    int position() const { return m_position; }
    int total() const { return m_total; }

    // Makes this window the one every wait for a server shows (installed at
    // start-up; off removes it, and the waits then run to their time-outs).
    static void ServeNetworkWaits(bool on);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void create();
    void bringToTop();
    // The main window was closed during the run: whether the program is to
    // end once the run stops (a run that can be stopped asks and stops).
    bool endAsked();

    int m_position = 0;
    int m_total = 0;
    int m_shownEvery = 1; // steps between two updates of the window
    bool m_running = false;
    bool m_showBar = false;
    bool m_cancellable = false;
    bool m_created = false;
    QWidget *m_owner = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_message = nullptr;
    QLabel *m_count = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_stop = nullptr;
    std::unique_ptr<LongRun> m_run;
    std::function<void(bool asking)> m_questionHook;
};
