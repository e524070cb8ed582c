#pragma once

#include "views/CDlg0.h"

class CXListCtrl;

// The shipments of a job's item (or of every item, for ItemID 0) on the
// shared list template 422: how much of the item is shipped and still to
// ship, and New, Open and Delete of shipments. An empty list opens a new
// shipment at once.
//
// Entry point: CShipments dlg(jobId, itemId, parent); dlg.DoModal(); the
// changed flag (m_bChanged) says whether a shipment was written or deleted.
class CShipments : public CDlg0
{
    Q_OBJECT

public:
    CShipments(qint32 jobId, qint32 itemId, QWidget *parent);

    static constexpr int kHue = 40;

    qint32 m_nJobID = 0;
    qint32 m_nItemID = 0;
    qint32 m_nShipID = 0;
    bool m_bChanged = false;

    CXListCtrl *list() const { return m_list; }
    // The list's statement and the totals line's statement for the item.
    QString ListSql() const;
    QString TotalsSql() const;
    // The caption strip's totals line.
    QString TotalsText() const;
    void Refill();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    QString WherePart() const;
    void OnSelectionChanged();
    void OnOpen();
    void OnDelete();

    CXListCtrl *m_list = nullptr;
    bool m_bFilling = false;
};
