#pragma once

#include "controls/CXChartCtrl.h"
#include "controls/CXRibbon.h"
#include "data/CItemSet.h"
#include "production/schedule/ScheduleJobGrid.h"
#include "views/CDlg0.h"

class CJobSet;

// The scheduling window of one order: its items and services on a day grid,
// the order's dates, notes and memo, and each row's operator, tag and
// priority. Every change is written at once, row by row; "Auto..." gives
// every service still to do its day. An order another workstation has open
// is shown for preview only: nothing can be changed.
class CScheduleJob : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kGrid = 1501;
    static constexpr unsigned kCommandRibbon = 1732;
    static constexpr unsigned kOrderRibbon = 1741;
    static constexpr int kCtrlOnlyOption = 0x40000;

    CScheduleJob(CJobSet *job, QWidget *parent);
    ~CScheduleJob() override;

    // Opens the order by its JobID and runs the window on it; the window's
    // answer (2 when the order is not found). previewOnly 2 opens it for
    // preview whatever its lock; itemId selects that row; changed tells
    // whether anything of the order was written.
    static int ScheduleOrder(qint32 jobId, qint32 itemId, int previewOnly, QWidget *parent,
                             bool *changed = nullptr);

    // Set by the caller before DoModal.
    int m_nPreviewOnly = 0;
    qint32 m_nInitialItemId = 0;
    int m_nListOptions = 0;

    bool IsEditable(bool showMessage);
    int changed() const { return m_bChanged; }
    ScheduleJobGrid &grid() { return m_grid; }
    CXChartCtrl &chart() { return m_chart; }
    CXRibbon &commandRibbon() { return m_wndCommands; }
    CXRibbon &orderRibbon() { return m_wndOrder; }

    void FillGrid(int scroll);
    int ShowServiceRow(int row) { return m_grid.ShowServiceRow(row); }
    void ShowItemStatus(int row, int status) { m_grid.ShowItemStatus(row, status); }
    void ShowCodeCell(int row, int column, int code) { m_grid.ShowCodeCell(row, column, code); }
    int FindItemRow(int row) const { return m_grid.FindItemRow(row); }

    // The grid's mouse: row -1 is the header row. ctrl tells whether the
    // Ctrl key is held.
    void OnGridClick(int row, int column, bool ctrl);
    void OnGridDoubleClick(int row, int column);
    // The shared popup menu a right-click on the cell opens; -1 for none.
    int GridMenuFor(int row, int column) const;
    void OnGridRightClick(int row, int column, const QPoint &screenPos);

    void OnAutoSchedule();
    void AutoSchedule();
    bool OnEditJobDates();
    void OnOrderNote(unsigned id);
    // Day (31501-31599) of the marked service rows; the count written.
    int OnServiceDates(int id);
    // Schedule status of the selected item row (31201-31299).
    bool OnItemStatus(int status);
    // Operator (1), tag (2) or priority (3) of the marked rows.
    int OnAssign(int what, int value);
    QString GetHelpText() const;
    QString WhenTip() const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnSize(int type, int cx, int cy) override;
    void ShowHelp() override;
    // Print: the order's schedule table from its rows (every text whole,
    // over as many pages as it takes), not a picture of the window.
    void OnPrintList() override;

private:
    void InitOrderRibbons();
    void UpdateTips();
    void UpdateItemStatus(int serviceRow);
    void WriteItemStatus(int itemRow, int status);
    QList<int> MarkedRows() const;
    int SelectedRow() const;

    CJobSet *m_pJob = nullptr;
    CItemSet m_items;
    CXRibbon m_wndCommands;
    CXRibbon m_wndOrder;
    CXChartCtrl m_chart;
    ScheduleJobGrid m_grid;
    int m_bChanged = 0;
};
