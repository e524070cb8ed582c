#pragma once

#include "catalogue/StockRules.h"
#include "views/CDlgGrid.h"

// "Inventory": the tracked services with their stock levels, what the open
// jobs need of them and what to order, in one of six modes (set up, order,
// receive, check, the services of one job, one service). OK books the
// changes in one transaction; a failure is reported, nothing is written and
// the window stays open with what was typed.
class CInventory : public CDlgGrid
{
    Q_OBJECT

public:
    enum Column {
        ColService = 0, ColSize, ColSpace1, ColVendor, ColSku, ColSpace2, ColMinimum, ColReam, ColInStock,
        ColOnOrder, ColSpace3, ColItems, ColNeed, ColOrder, ColStatus, ColUnitCost, ColPer, ColExtended, ColUnit,
        ColTrack, ColVendorNo, ColSerNo, ColCount
    };

    // mode: the command id (30741-30746); id: the job id (30745) or the
    // service number (30746), else 0.
    CInventory(int mode, qint32 id, QWidget *parent);

    bool m_bPreview = false;
    // The department listed (0 all); from the first paper category's
    // department unless the caller sets it before DoModal.
    qint32 m_nDepartment = 0;

    const QList<StockRow> &rows() const { return m_rows; }
    CXGridCtrl &grid() { return m_wndGrid; }
    const InventoryQuery &query() const { return m_query; }
    qint64 totalCost() const { return m_nTotal; }
    // The fields help shown by F1.
    static QString FieldsHelp();

    // The grid's notifications, as the grid sends them.
    void OnCellChanged(int row, int column);
    void OnHeaderClick(int column);
    void OnImageClick(int row, int column);
    void ShowNeedBreakdown(int row);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void ShowHelp() override;

private:
    void BuildColumns();
    void ShowRow(int row);
    void ReadRow(int row);
    void SetOrder(int row, qint64 quantity);
    void UpdateTotal();
    // The inventory option "Save Unit Cost, if edited" (bit 64) is on.
    bool UnitCostSaved() const { return (m_nOptionBits & 64) != 0; }

    int m_nMode = InventorySetup;
    int m_nOptionBits = 0;
    qint32 m_nId = 0;
    bool m_bAllOff = false;
    InventoryQuery m_query;
    QList<StockRow> m_rows;
    qint64 m_nTotal = 0;
};
