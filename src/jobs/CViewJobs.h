#pragma once

#include "data/CJobSet.h"
#include "views/CView0.h"

#include <QtCore/QString>
#include <QtCore/QTimer>

// The jobs view (30001): the lists of quotes, orders, templates, posted
// history and portal jobs, and the main road into the job window. It opens
// the selected job under its lock, runs the command the job window ends
// with, creates new jobs through the new job dialog, changes the status of
// the selected jobs and counts the portal jobs not yet reviewed.
class CViewJobs : public CView0
{
    Q_OBJECT

public:
    // How the job window is run.
    enum WindowMode { ModeNew = 0, ModePasted = 1, ModeOpen = 2 };

    explicit CViewJobs(QWidget *parent = nullptr);
    ~CViewJobs() override;

    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) override;

    // Locks the view's current job, runs the job window on it, unlocks it
    // whatever it returned and carries out its result. Returns the window's
    // result, 0 when the job could not be locked.
    int RunJobWindow(int mode);
    // Shows the job alone in the list; false when it does not exist.
    bool ShowOneJob(qint32 jobId);
    // The portal jobs not yet reviewed, on the notice button.
    void UpdateWebOrderNotice();
    static QString WebOrderNoticeText();
    // The text of a priority level: "Normal", "Bid", "Rush", "Special" or an
    // up- or down-charge.
    static QString PriorityText(int level);

    CJobSet &jobSet() { return m_jobSet; }
    int followUpCommand() const { return m_nFollowUp; }

protected:
    // The commands' states once the list is on the screen.
    void showEvent(QShowEvent *event) override;

private:
    void OnOpen();
    void OnNew();
    void OnNewForCustomer(int id);
    void OnChangeStatus();
    void OnEmailChoice();
    void OnNotice();
    void OnDelete();
    void OnListNow();
    void OnFixDiscrepancies();
    void OnSummary();
    void AfterCreation(bool created);
    // Selects the list where a new job of its type shows and its row.
    void ShowNewJobList();

    CJobSet m_jobSet;
    QTimer m_webOrderTimer;
    int m_nFollowUp = 0;
};
