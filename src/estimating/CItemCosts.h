#pragma once

#include "controls/CXGridCtrl.h"
#include "data/CItemSet.h"
#include "data/CXDaoSet.h"
#include "estimating/CItemCostSheet.h"
#include "estimating/CItemSpecsData.h"
#include "views/CDlgGrid.h"

#include <map>
#include <memory>

class CItemPrice;
class QMenu;

// The "Costs" window of one item of a job: every service row with its times,
// quantities, rates, costs, markup and price as last saved, editable with the
// sheet's recalculation rules (CItemCostSheet), each cost and price marked
// against what the pricing engine computes today (one silent pricing when the
// window opens), and a save that writes the edited figures back to table
// Items in one transaction.
//
// How to open it (the job window's "edit costs", after the user-rights
// prompt): CItemCosts::EditCosts(item, jobLabel, colourScheme, preview,
// selectItemId, parent), or construct it on the caller's Items set positioned
// on the item row (SerNo 0), set the window title ("COSTS: %s - %s %s"), the
// colour scheme, m_bPreview and m_nSelectItemId, and run DoModal. IDOK means
// the costs were saved: the caller refreshes its item list.
class CItemCosts : public CDlgGrid
{
    Q_OBJECT

public:
    static constexpr unsigned kHeaderGrid = 2113;

    CItemCosts(CItemSet *item, QWidget *parent);
    ~CItemCosts() override;

    // With a job alongside, the job's figures are saved with the costs as
    // one change (CItemSpecsData::JobAlongside).
    static int EditCosts(CItemSet *item, const QString &jobLabel, int colourScheme, bool preview,
                         qint32 selectItemId, QWidget *parent, const CItemSpecsData::JobAlongside &job = {});

    // Values the caller sets before opening.
    bool m_bPreview = false;
    qint32 m_nSelectItemId = 0;
    int m_nStartColumn = CItemCostSheet::ColPrice;

    CItemCostSheet &sheet() { return m_sheet; }
    CXGridCtrl &servicesGrid() { return m_wndGrid; }
    CXGridCtrl &totalsGrid() { return m_wndGrid2; }
    CXGridCtrl &headerGrid() { return m_wndHeader; }
    int currentRow() const { return m_nCurRow; }
    void SetCurrentRow(int row);

    // What a user does, by name (the grids' messages and the commands call these).
    void OnCellChanged(unsigned gridId, int row, int column);
    void OnCellSelected(unsigned gridId, int row, int column);
    // The Apply menu of a grid's row: entries and their greying.
    void BuildApplyMenu(QMenu &menu, bool totals, int row);
    void OnApplyRowCommand(int id);
    void OnApplyTotalsCommand(int id);
    // Writes the sheet to table Items, with the job alongside its figures, in
    // one transaction; false (reported, nothing written) on a failure or a
    // refusal of the job.
    // The fields a save writes, each the row holds now other than as read,
    // taken as shown to this user as read (m_saved being edited).
    void ShowAsRead(const CItemSet &read, bool itemRow);
    // Names each field a save writes on the row being edited (m_saved) as
    // the sheet shows it, for a question about a figure another user saved
    // too: its line (the service's, or the item's Current Total) and its
    // column's heading, its values as the column shows them. `line` is the
    // service row's name, empty for the item's own row.
    void NameWrittenFields(const QString &line);
    bool SaveCosts(bool lock);
    void OnSavedVsDefault();
    void OnItemDirectCost();
    static QString HelpText();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void ShowHelp() override;

private:
    void BuildGrids();
    void ShowRow(int row);
    void ShowAllRows();
    void ShowTotals();
    void FillSheet();
    void OnGridRightClick(bool totals, int row, const QPoint &screen);
    void OnGridDoubleClick(int row, int column, const QPoint &point);
    void EnableSave();

    CItemSet *m_pItem = nullptr;
    CItemSet m_saved;
    // The item's rows as this sheet read them, by ItemID: a save writes only
    // what the sheet changed over them, and a refused save keeps them, so
    // that the next save still asks about what another user saved meanwhile.
    std::map<qint32, CItemSet> m_asRead;
    std::unique_ptr<CItemPrice> m_pEngine;
    CItemSpecsData::JobAlongside m_job;
    CItemCostSheet m_sheet;
    CXGridCtrl m_wndHeader;
    int m_nCurRow = 0;
    int m_nRowCount = 0;
    qint32 m_nItemRowPriceLock = 0;
    Money m_itemSavedCost;
    Money m_itemSavedPrice;

    struct QueryRow
    {
        qint32 catNo = 0, serNo = 0, itemId = 0;
        QString name;
        CItemCostSheet::Figures figures;
    };
    std::vector<QueryRow> m_query;
    bool RunQuery();
};
