#pragma once

#include "reports/CReportRun.h"
#include "views/CView0.h"

#include <memory>

// The reports view (30005): a tree of report codes on the left; the Key
// Reports (branches 20-26) are laid out by the report runner in the view's
// table and shown by the chart window as a table or a chart, the More Reports
// (branches 0-9) are record lists of canned statements, and "Custom Queries"
// (1000) lists the user's saved select, crosstab and union queries. A date
// range chosen on the list bar bounds every report.
class CViewReports : public CView0
{
    Q_OBJECT

public:
    static constexpr int kViewId = 30005;
    static constexpr int kCustomQueries = 1000;
    // Codes of saved queries run from 1001 to 1099; later ones share 1099
    // and are told apart by their names.
    static constexpr int kLastQueryCode = 1099;

    explicit CViewReports(QWidget *parent = nullptr);
    ~CViewReports() override;

    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) override;
    void FillList() override;
    // The At a Glance entries open a window: showing the view again must not
    // open it again.
    bool RefillsWhenChanged() const override { return m_nBranch != 25; }

    void LoadCustomQueries();
    void FillReportList();
    void RunReport();
    void OnListNow();
    void OnChartType(int id);
    void OnAddFilter();
    void OnDeleteAuditRows();
    void PrintView();
    void FillChangedJobsList();
    void OnUserQuery();

    // The runner of the Key Reports, with the view's state as of the last run.
    CReportRun &reportRun() { return *m_run; }
    // The find presets handed to the find dialog.
    int findPreset(int i) const { return m_findPresets[i]; }
    QString filterTable() const { return m_strFilterTable; }
    bool isTableMode() const { return m_bTableMode; }
    bool isDeleteAllowed() const { return m_bDeleteAllowed; }
    // The texts of the date-range item and the list position item.
    QString dateItemCaption() const;
    QString positionCaption() const;

private:
    void fillRunState();

    std::unique_ptr<CReportRun> m_run;
    int m_findPresets[3] = {0, 5, 8};
    bool m_bTableMode = false;
};
