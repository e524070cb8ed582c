#pragma once

#include "data/CItemSet.h"
#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Times: the time clock of the shop floor. One row per stretch of work
// of one employee: the employee's own working day (TimeFor 0, "MY DAY"), a
// job item's service (TimeFor 1, ItemID the service row of Items) or an office
// task (TimeFor 2, ItemID a DepID of TimeDepartments).
//
// A row runs (Status 0), is paused (1) and finished (2); 3 is a finished row
// that has been closed and takes no command any more. Start is the start to
// the minute; Finish the time of the last change (empty while the row has
// run without one); Minutes the worked minutes up to the last change.
//
// When a task on a service starts or ends, the clock keeps the service row,
// its actual minutes and material, the item's production status and the
// job's status in step, as the time-tracker options ask.
class CTimeSet : public CXDaoSet
{
public:
    // Clock commands.
    enum Command {
        Pause = 29121,
        Resume = 29122,
        Finish = 29123,
        FinishTaskOnly = 29124, // finish the task but leave the service alone
    };
    enum Kind { DayClock = 0, ServiceTask = 1, OfficeTask = 2 };

    explicit CTimeSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // A cleared row: no employee, task or times, every number 0, texts empty
    // (the display texts too). The key is left alone.
    void ResetFields() override;

    bool FindEntries(const QString &filter, const QString &sort, bool edit);
    // False for 0 without a query.
    bool FindByTimeID(qint32 timeId, bool edit);

    // Starts a new entry of the employee, now (or at the start of the working
    // day when it is earlier), runs the rules of a started task and saves it
    // with the beep. False for employee 0 (the employee is asked to choose
    // himself) or when the row cannot be saved.
    bool StartEntry(quint8 empNo, quint8 timeFor, qint32 itemId, unsigned beep);

    // Pauses, resumes or finishes the current row. A command the row's status
    // does not take changes nothing and gives false; so does a failed save.
    bool ApplyClockCommand(int command);

    // The rules of a service task that starts (options 4-6) or ends (options
    // 8-10), then the item's production status and the job's status. Nothing
    // for other kinds of entry or a service row that is missing.
    void FinishTask(bool starting, bool showNote);

    // The current moment with the seconds dropped.
    static DateTime GetNowToMinute();
    // Whole minutes from a to b: the seconds of the difference are dropped,
    // never rounded (9 minutes 30 seconds are 9 minutes).
    static qint32 MinutesBetween(const DateTime &a, const DateTime &b);

    // Fills the display members from the current row.
    void LoadDisplayTexts();

    // --- columns -------------------------------------------------------------
    qint32 m_TimeID = 0;
    quint8 m_TimeFor = 0;
    quint8 m_EmpNo = 0;
    qint32 m_ItemID = 0;
    DateTime m_Start;
    DateTime m_Finish;
    qint32 m_Minutes = 0;
    qint32 m_Material = 0;
    qint32 m_Option = 0;
    quint8 m_Status = 0;
    quint8 m_Subgroup = 0;
    QString m_Note;

    // --- display members (LoadDisplayTexts) ------------------------------------
    QString m_strStatus;
    QString m_strEmployee;
    int m_nEmployeeIcon = 0;
    QString m_strJob;      // the customer of the job
    QString m_strJobLabel; // "JobNo-ItemNo"
    qint32 m_nJobID = 0;
    QString m_strTask;
    int m_nTaskImage = 0;
    QString m_strStart;
    QString m_strFinish;
    qint32 m_nElapsed = 0;
    qint32 m_nWorked = 0;
    qint32 m_nPaused = 0;
    DateTime m_dtNow;

    // The service row of a service task, and look-ups of the clock's rules.
    CItemSet m_item;
    CXDaoSet m_lookup;

private:
    void clearDisplay();
    // The item's production status moved to the department column of its
    // first service still to do; true when the item row was changed.
    bool updateItemProductionStatus(qint32 jobId, quint8 itemNo, quint8 subNo);
    // The job's status from its services still to do.
    void updateJobStatus(qint32 jobId);
    int trackOption(int index) const;
};
