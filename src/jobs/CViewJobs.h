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
    QList<MenuCommand> ListMenuCommands() const override;
    // A completed bar code: a job or item shows its job alone, a customer or
    // CSR is remembered for the commands that follow, a command code runs its
    // command. Always handled, except the view switches below 30002.
    int OnScanCommand(int command, int key) override;
    // Find (30101): the base's find, with the view's follow-up command as the
    // command to carry on with.
    void FindRecord() override;

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
    void FillRibbons() override;

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
    // Copy and paste (30111): the selected job as a new job of a chosen type,
    // or a posted invoice cancelled by a credit invoice.
    void OnCopyPaste();
    // The item finder (30609): the chosen item's job alone in its list.
    void OnItemFinder();
    // The job comparison of the selected job (30343).
    void OnCompareJob();
    void AfterCreation(bool created);
    // Scanned commands: the status (30131-30136) or a date (30141-30144) of
    // the current order, and the jobs of the scanned customer or CSR
    // (30610-30613).
    void OnStatusStamp(int id);
    void OnDateStamp(int id);
    void OnScannedJobs(int id);
    // Whether the stamps may act: the Orders list with a current job.
    bool CanStamp();
    // Saves the stamped job and shows it on the list of the code.
    void AfterStamp(int code);
    // After a scanned customer or CSR, 30600-30602 make a job of that type:
    // for the customer at once, for the CSR through the new job dialog.
    // False when nothing was scanned for them.
    bool NewForScan(int id);
    // Selects the list where a new job of its type shows and its row.
    void ShowNewJobList();

    CJobSet m_jobSet;
    QTimer m_webOrderTimer;
    int m_nFollowUp = 0;
    // The document the next print preselects: 1 (the job ticket) after a
    // job was pasted and opened, 2 (the invoice) after a credit invoice; 0
    // leaves the choice to the print dialog.
    int m_nDocumentChoice = 0;
};
