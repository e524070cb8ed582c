#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Todos: reminders attached to a view (its command id 30000-30008) and
// optionally to one record of it, for one employee or for everyone (Who 0).
// Status: 0 "To-Do", 1 "In Progress", 2 "Paused", 3 "Done".
class CTodoSet : public CXDaoSet
{
public:
    // The reminder lists.
    enum ListCommand {
        EveryonesReminders = 29820,
        EveryonesToDo = 29821,
        EveryonesDone = 29822,
        MyReminders = 29830,
        MyToDo = 29831,
        MyDone = 29832,
    };

    explicit CTodoSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;
    // A new reminder: every number 0, no due date, empty texts.
    void ResetFields() override;

    // False for 0 without a query.
    bool FindById(qint32 todoId, bool edit = false);

    // The filter of a reminder list: the view's reminders (view 0: every
    // view; customers and receivables share theirs), of one record when
    // refId is not 0, the current operator's and everyone's for the "My"
    // lists, due today or earlier with the due flag, and the done or not-done
    // ones by the list command.
    void SetListFilter(qint32 viewId, qint32 refId, int listCommand, bool due);
    // The same, then opens the list; the number of reminders in it.
    int OpenList(qint32 viewId, qint32 refId, int listCommand, bool due);

    // Called by the reminder dialog when it closes with OK; the reminder has
    // been saved by then and nothing is left to do.
    void OnDialogOK() {}

    qint32 m_TodoID = 0;
    qint32 m_ViewID = 0;
    qint32 m_RefID = 0;
    quint8 m_TypeID = 0;
    quint8 m_Who = 0; // 0: everyone
    DateTime m_When;
    QString m_Time;
    quint8 m_Opt1 = 0;
    quint8 m_Status = 0;
    QString m_Note;
};
