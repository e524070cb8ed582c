#pragma once

#include "controls/CXChartCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTable.h"
#include "views/CDlg0.h"

#include <QtCore/QList>

// "Start a Task" from the services of all orders in progress: those assigned
// to the operator (29103), scheduled for today (29104) or for any day
// (29105). Start returns the marked services; Open Order and Find Order open
// one order's services, whose chosen services are returned through here.
class CTaskListDlg : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kChart = 1501;
    static constexpr unsigned kRibbon = 1731;
    // Table columns.
    enum Column { ColDate = 0, ColOperator, ColInfo, ColService, ColJobItem, ColItem, ColCustomer, ColTag, ColPriority,
                  ColNote, ColTime, ColQty, ColStatus, ColDays2, ColSerNo, ColCatNo, ColItemStatus, ColKey };
    // Option bits ("TaskList-Options").
    enum Option { IncludeFinished = 1, ShowInfo = 2 };

    CTaskListDlg(int selection, quint8 empNo, QWidget *parent);
    ~CTaskListDlg() override;

    // The statement of the selection for the operator with the option bits.
    static QString BuildSql(int selection, quint8 empNo, int options);
    static QString SelectionTitle(int selection);

    void BuildList();
    bool OnStart();
    void OnOpenOrder(qint32 jobId, qint32 itemId);
    void OnOptions();
    void OnTableClick(int code, int row, int column, const QPoint &point);
    void UpdateStartButton();
    bool IsServiceRow(int row) const;

    CXTable &table() { return m_table; }
    CXRibbon &ribbon() { return m_wndRibbon2; }
    int options() const { return m_nOptions; }

    QList<qint32> m_chosen;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    int m_nSelection = 29105;
    quint8 m_nEmpNo = 0;
    int m_nOptions = 0;
    CXRibbon m_wndRibbon2;
    CXTable m_table;
    CXChartCtrl m_chart;
};
