#pragma once

#include "data/CXDaoSet.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// Table Services: every service, material, press and paper the shop sells or
// uses, with its quantity, time, cost, price, scheduling and inventory
// settings and two numbered tables held as arrays of whole hundredths:
// the set-up levels (5 levels of "per", minutes, material cost and price)
// and the quantity breaks (9 breaks of quantity, units per hour, material
// cost and run price).
//
// After each row is read (and after ResetFields) the set also carries the
// service's department name and number, its label "Category: Name" and the
// department's picture.
class CSerSet : public CXDaoSet
{
public:
    enum { SetUpValues = 20, RunValues = 36 };

    explicit CSerSet(platform::Database *database = nullptr);

    QString GetDefaultSQL() const override;
    void DoFieldExchange(FieldExchange *pFX) override;

    // Copies every column (the key too), both tables and the display members
    // of another service; the recordset itself is not copied.
    CSerSet &operator=(const CSerSet &other);

    // Sets the filter "SerNo = n" (also for 0); false for 0 without a query.
    bool FindBySerNo(qint32 serNo);

    // The values of a new service of that category: taxable, commissionable
    // and work-order flags on, everything else empty or 0. Callers start the
    // row with SafeAddNew and then call this.
    using CXDaoSet::ResetFields;
    void ResetFields(qint32 catNo);

    // Only while a new row is being added: SerNo = the highest number + 1
    // (1 in an empty table). In any other state the row is left alone.
    void GetNextSerNo();
    // Stores the record; a new one takes the next service number as it is
    // written (CXDaoSet::SaveNewRecord).
    bool SaveNew(unsigned beepType = 0);

    // Moves both tables between the service and the two grids of the service
    // dialog: the grids are walked row by row and, within a row, over the
    // columns of non-zero type, each visited cell paired with the next array
    // element. A grid with more such cells than its array has elements stops
    // at the array's end.
    template <class Grid>
    void ExchangeGridArrays(Grid &setUpGrid, Grid &runGrid, bool fromGrid)
    {
        exchangeGrid(setUpGrid, m_SetUp, SetUpValues, fromGrid);
        exchangeGrid(runGrid, m_Run, RunValues, fromGrid);
    }

    qint32 m_SerNo = 0;
    qint32 m_CatNo = 0;
    qint32 m_SortNo = 0;
    QString m_Name;
    QString m_Name2;
    QString m_SerRemind;
    QString m_DefNote;
    QString m_SerNote;
    quint8 m_SaleDept = 0;
    quint8 m_SerStatus = 0;
    quint8 m_Colors = 0;
    QString m_Size;
    float m_Caliper = 0;
    qint32 m_DefPlate = 0;
    qint32 m_AutoAdd = 0;
    quint8 m_QtyBy = 0;
    qint32 m_Divide = 0;
    qint32 m_Multiply = 0;
    quint8 m_LiftBy = 0;
    QString m_AskHowMany;
    qint32 m_Round = 0;
    quint8 m_WasteBy = 0;
    quint8 m_TimeBy = 0;
    float m_SetTime = 0;
    float m_ImpHour = 0;
    quint8 m_CostBy = 0;
    Money m_CostHr;
    Money m_WageHr;
    float m_CostOH = 0;
    quint8 m_PriceBy = 0;
    qint32 m_Markup = 0;
    qint32 m_Markup2 = 0;
    qint32 m_Markup3 = 0;
    quint8 m_AdjustBy = 0;
    float m_Bid = 0;
    float m_Rush = 0;
    float m_Spcl = 0;
    Money m_MinPrice;
    quint8 m_ProdDepID = 0;
    quint8 m_Operator = 0;
    quint8 m_Tag = 0;
    quint8 m_SchedBy = 0;
    quint8 m_VendorNo = 0;
    qint32 m_MinLevel = 0;
    qint32 m_ReOrder = 0;
    qint32 m_InStock = 0;
    qint32 m_OnOrder = 0;
    QString m_SKU;
    QString m_UPC;
    QString m_FSC;
    quint8 m_OptTax = 0;
    quint8 m_OptCom = 0;
    quint8 m_OptWO = 0;
    quint8 m_OptInv = 0;
    quint8 m_Unit = 0;
    quint8 m_Step = 0;
    DateTime m_Modified;

    qint32 m_SetUp[SetUpValues] = {}; // per level: SetFor, SetTime, SetCost, SetPrice
    qint32 m_Run[RunValues] = {};     // per break: QBreak, UnitsHr, RunCost, RunPrice

    // Display members.
    QString m_DepName;
    QString m_Label;
    qint32 m_DepNo = 0;
    qint32 m_Image = 0;

private:
    void computeDisplay();

    template <class Grid>
    static void exchangeGrid(Grid &grid, qint32 *array, int size, bool fromGrid)
    {
        int next = 0;
        for (int row = 0; row < grid.GetRowCount(); ++row) {
            for (int column = 0; column < grid.GetColumnCount(); ++column) {
                if (grid.GetColumnType(column) == 0)
                    continue;
                if (next >= size)
                    return;
                if (fromGrid)
                    array[next] = qint32(grid.GetCellValue(row, column));
                else
                    grid.SetCellValue(row, column, array[next]);
                ++next;
            }
        }
    }
};
