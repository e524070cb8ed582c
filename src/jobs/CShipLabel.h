#pragma once

#include "controls/CXRibbon.h"
#include "controls/CXWnd.h"
#include "jobs/ShipBoxes.h"
#include "views/CDlg0.h"

class CXListCtrl;
class CXTreeCtrl;
class QLineEdit;
class QTreeWidgetItem;

// The shipping labels of order items (template 910 "Shipping"), in four
// steps: pick an item in the tree of orders, set how it is packed and where
// it goes, add it to the label list, print one label per box. The dialog
// writes nothing to the database.
//
// Entry point: CShipLabel dlg(jobId, parent); from the job window set
// m_nItemID to its current item first; dlg.DoModal().
class CShipLabel : public CDlg0
{
    Q_OBJECT

public:
    CShipLabel(qint32 jobId, QWidget *parent);

    // Label list columns, in the order the label writer reads them.
    enum Column { ColJobNo, ColItem, ColDescription, ColShipped, ColPerBox, ColLabels, ColShipto, ColAddress };

    qint32 m_nJobID = 0;
    qint32 m_nItemID = 0;
    bool m_bFromRecord = false;
    QString m_strDescription;
    ShipBoxes m_boxes;
    QString m_strBoxText;
    QString m_strAddress;
    qint32 m_nShiptoNo = 0;

    CXTreeCtrl *tree() const { return m_tree; }
    CXListCtrl *list() const { return m_list; }
    QLineEdit *edit(unsigned id) const;
    CXRibbon &stepRibbon() { return m_wndSteps; }
    CXRibbon &listRibbon() { return m_wndAdd; }
    CXRibbon &printRibbon() { return m_wndPrint; }

    // The order tree's statement (only orders, only item rows).
    QString TreeSql() const;
    void FillTree();
    // Loads an item's properties (or its row when it is listed already).
    void SelectItem(qint32 itemId);
    // A quantity field (1302, 1303 or 1304) was typed: it keeps every key;
    // the other two and the boxes follow a text that reads as a count the
    // field takes.
    void OnQuantityEdited(unsigned id);
    // The quantity field typed was left (or Enter pressed): its whole text is
    // kept as a count, or refused naming the field with the packing shown
    // before the typing back. False when refused.
    bool OnQuantityLeft(unsigned id);
    void OnAdd();
    void OnRemove();
    void OnPrint();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnPrintList() override { OnPrint(); }

private:
    void OnTreeSelection(QTreeWidgetItem *item);
    void OnListSelection();
    // The selected row of the label list (the current one first); -1 none.
    int SelectedRow() const;
    void OnShipTo();
    // Shows the values, all but the quantity field `typed` (then being typed).
    void ShowValues(unsigned typed = 0);
    void ReadDescription();
    void SetStep3Caption();

    CXTreeCtrl *m_tree = nullptr;
    CXListCtrl *m_list = nullptr;
    CXRibbon m_wndSteps;
    CXRibbon m_wndAdd;
    CXRibbon m_wndPrint;
    CXRibbon m_wndShipTo;
    CXWnd m_descriptionCaption;
    bool m_bFillingTree = false;
    bool m_bShowing = false;
    unsigned m_typing = 0;       // the quantity field being typed; 0 none
    ShipBoxes m_beforeTyping;    // the packing shown before it was typed
    // The loaded item and its job.
    qint32 m_nLoadedJobNo = 0;
    quint8 m_nLoadedStatus = 0;
    qint32 m_nLoadedItemNo = 0;
    qint32 m_nLoadedCusNo = 0;
};
