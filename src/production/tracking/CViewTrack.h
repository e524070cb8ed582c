#pragma once

#include "views/CView0.h"

#include <QtCore/QList>
#include <QtCore/QString>

class CTimeSet;
class CXRibbon;
class QTreeWidgetItem;

// The time clock of the shop floor and its review. In Track mode operators
// name themselves, clock their workday and start, pause, resume and finish
// tasks on job services and office tasks, and watch the live task lists. In
// Close/Review mode a supervisor reviews the finished records, writes their
// minutes and material into the job services, closes them, and runs the
// reports on closed records. Every list is the view's in-memory table drawn
// by the chart as a table; each data row carries its record key (TimeID, or
// ItemID in the services list) in its key column.
class CViewTrack : public CView0
{
    Q_OBJECT

public:
    static constexpr int kViewId = 30008;
    static constexpr int kReviewBase = 9000;

    explicit CViewTrack(QWidget *parent = nullptr);
    ~CViewTrack() override;

    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) override;
    void FillList() override;
    int OnScanCommand(int command, int key) override;

    // --- operator and clock ---------------------------------------------------
    bool CheckOperatorChosen();
    bool SelectOperator(int empNo, bool refresh);
    void OnChooseOperator();
    // 0 nothing done, 1 the workday runs, 2 a new one was started, 3 resumed.
    int EnsureWorkday();
    void OnStartWorkday();
    void OnWorkdayCommand(int id);
    bool StartTask(quint8 kind, qint32 id);
    void ToggleTask(quint8 kind, qint32 id, const QString &extraCondition);
    void OnClockCommand(int id);
    void ShowStatusText(const QString &text);
    // The task pickers (29101, 30101, 29103-29105, 29109): every id chosen
    // is started in turn.
    void OnTaskPicker(int id);
    void StartChosen(quint8 kind, const QList<qint32> &ids);

    // --- modes and lists ------------------------------------------------------
    void OnMode(int id);
    // The list of a tree code (29801-29806 in Track mode, 9100 and up in
    // Close/Review mode): its entry is selected and the list made.
    void ChooseList(int code);
    void RefreshList(qint32 keepKey);
    bool ConfirmNoTasksRunning(const QString &action);
    int OnCloseTasks();
    int OnUpdateJobServices();
    void OnNoticeCommand();
    void OnDeleteTasks();
    void OnOpenTask();

    // --- setup ------------------------------------------------------------------
    void OnTrackOptions();
    void EditTimeDepartments(const QString &title, quint8 type, quint8 keyBase, quint8 limit, bool flag);

    // --- for the owner and tests ----------------------------------------------
    static QString BuildListSql(int code, const QString &filter);
    int operatorNo() const { return m_nOperator; }
    QString operatorName() const { return m_strOperator; }
    bool isTrackMode() const { return m_bTrackMode; }
    int listChoice() const { return m_nListChoice; }
    int lastListCode() const { return m_nLastListCode; }
    int pendingScanCommand() const { return m_nPendingScan; }
    QString statusText() const;
    QString noticeText() const { return m_strNotice; }
    CXRibbon *operatorBar() const { return m_operatorBar; }
    // The selected row of the chart; -1 when none.
    int SelectedRow() const;
    bool SelectRowByKey(qint32 key);
    // The row's key, 0 for a heading or total row.
    qint32 RowKey(int row) const;
    // Row kinds by the state icon of the task column.
    int TaskIcon(int row) const;
    bool IsWorkdayRow(int row) const;
    bool IsJobTaskRow(int row) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildTrackTree();
    void BuildReviewTree();
    void ListTrackTasks();
    void ListCloseAndReview();
    bool LoadList(int code, int mode);
    void ListTasks(int code);
    void FormatTaskRows(int code, int totalColumn);
    void FillTaskRow(CTimeSet &record, int row, bool redraw, int code);
    bool RedrawTaskRow(int row, bool redraw, int code);
    void ListTimeSheets(int code);
    void ListTrackedVsCharged(int code);
    void FillPercentColumns(int row, int firstColumn);
    void OnTreeClicked(QTreeWidgetItem *entry);
    void OnChartNotify(int code, int row, int column);
    // The context menu of a list row at the point on the screen.
    void ShowRowMenu(const QPoint &screenPoint);
    void LayoutTrack();
    void ShowOperatorButton();
    void RedrawSelectedRow();
    bool GetSelectedJobService(qint32 &jobId, qint32 &itemId);
    // The choice dialog of closing and updating: 1 all rows, 2 the
    // highlighted ones, 0 cancelled.
    int ChooseRows(const QString &title, const QString &prompt, const QString &allText, const QString &markedText,
                   int rows, int marked);
    QList<int> ChosenRows(int choice) const;
    // The order-services picker, the production task list and the task
    // dialog; the chosen services are started.
    void RunTaskJobDialog(qint32 jobId, qint32 itemId);
    void RunTaskListDialog(int selection);
    int RunTaskDialog(CTimeSet &record);

    CXRibbon *m_operatorBar = nullptr;
    QString m_strTrackPassword;
    QString m_strReviewPassword;
    bool m_bAskReviewPassword = true;
    int m_nListChoice = 29801;
    int m_nPendingScan = 0;
    int m_nOperator = -1;
    int m_nDefaultOperator = 0;
    QString m_strOperator;
    bool m_bTrackMode = true;
    int m_nLastListCode = 0;
    bool m_bKeys = false;
    bool m_bDeletable = false;
    QString m_strFilter;
    QString m_strNotice;
    QString m_strStatus;
};
