#pragma once

#include "controls/CXChartCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTable.h"
#include "views/CDlg0.h"

class CJobSet;

// The "Chart" window of one job: each item's cost, price, share of the
// job's discount, discounted price, percent of the total and margin, and
// optionally each service under its item, as a table or as a bar, column,
// line or pie chart.
//
// How to open it (the job window's command 30430, after the user-rights
// prompt for "view cost"): CDlgChart::ShowJobChart(job, parent), or
// construct it on the caller's job set positioned on the job and run DoModal.
class CDlgChart : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kChart = 1501;
    static constexpr unsigned kButtonBar = 1732;
    static constexpr int kDetail = 30540;

    CDlgChart(CJobSet *job, QWidget *parent);
    ~CDlgChart() override;

    static int ShowJobChart(CJobSet *job, QWidget *parent);
    // The statement of the chart, with or without the service rows.
    static QString BuildQuery(qint32 jobId, bool servicesShown);

    void LoadChart();
    bool servicesShown() const { return m_bServicesShown; }
    CXTable &table() { return m_table; }
    CXChartCtrl &chart() { return m_chart; }
    CXRibbon &buttonBar() { return m_wndBar; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnSize(int type, int cx, int cy) override;

private:
    void OnChartType(int type);

    CJobSet *m_pJob = nullptr;
    bool m_bServicesShown = true;
    CXRibbon m_wndBar;
    CXTable m_table;
    CXChartCtrl m_chart;
};
