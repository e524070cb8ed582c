#pragma once

#include "controls/CXChartCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTable.h"
#include "views/CDlg0.h"

#include <QtCore/QList>

// "Start a Task" on one order: the order's items and their services as a
// table, where the operator marks the services he is about to work on, sets
// a service's tag and priority and edits notes. Start returns the marked
// services (never none); the dialog starts nothing itself.
class CTaskJobDlg : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kChart = 1501;
    static constexpr unsigned kRibbon = 1731;
    // Table columns.
    enum Column { ColItem = 0, ColInfo, ColDescription, ColDate, ColOperator, ColTag, ColPriority, ColNote, ColTime,
                  ColQuantity, ColStatus, ColCatNo, ColSerNo, ColEmpNo, ColTag1, ColTag2, ColKey };

    CTaskJobDlg(qint32 jobId, qint32 itemId, quint8 empNo, QWidget *parent);
    ~CTaskJobDlg() override;

    // The statement of the order's items and services.
    static QString BuildSql(qint32 jobId);

    void LoadOrder();
    // Start: marks the selected row and collects the marked services; ends
    // with IDOK only when there is one.
    bool OnStart();
    void OnFindOrder();
    void OnWorkOrderNote();
    void OnTableClick(int code, int row, int column, const QPoint &point);
    void UpdateStartButton();
    bool IsServiceRow(int row) const;

    CXTable &table() { return m_table; }
    CXChartCtrl &chart() { return m_chart; }
    CXRibbon &ribbon() { return m_wndRibbon2; }
    qint32 jobId() const { return m_nJobID; }

    QList<qint32> m_chosen;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    qint32 m_nJobID = 0;
    qint32 m_nItemID = 0;
    quint8 m_nEmpNo = 0;
    CXRibbon m_wndRibbon2;
    CXTable m_table;
    CXChartCtrl m_chart;
};
