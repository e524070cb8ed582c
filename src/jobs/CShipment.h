#pragma once

#include "controls/CXRibbon.h"
#include "controls/CXWnd.h"
#include "data/CShippedSet.h"
#include "jobs/ShipBoxes.h"
#include "views/CDlg0.h"

class QComboBox;
class QLineEdit;

// One shipment of a job item (template 911 "Shipment"): what left the shop,
// how it was packed, to which address, by which carrier, when, and what was
// charged for it. A new shipment starts from the item and its job. Only OK
// writes the row; nothing else of the job changes.
//
// Entry point: CShipment dlg(jobId, itemId, shipId, hue, parent); after OK
// m_bSaved is set and m_nShipID names the row.
class CShipment : public CDlg0
{
    Q_OBJECT

public:
    CShipment(qint32 jobId, qint32 itemId, qint32 shipId, int hue, QWidget *parent);

    qint32 m_nJobID = 0;
    qint32 m_nItemID = 0;
    qint32 m_nShipID = 0;
    bool m_bSaved = false;
    QString m_strBoxText;

    CShippedSet &record() { return m_set; }
    QLineEdit *edit(unsigned id) const;
    // A quantity field (1302 shipped, 1303 per box, 1304 boxes) was typed:
    // it keeps every key; the other two and the boxes follow a text that
    // reads as a count the field takes.
    void OnQuantityEdited(unsigned id);
    // The quantity field typed was left (or Enter pressed): its whole text is
    // kept as a count from 1 (at most the quantity shipped for the boxes and
    // the quantity a box), or refused naming the field, all three showing
    // again what they showed before the typing. False when refused.
    bool OnQuantityLeft(unsigned id);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    bool Exchange(bool save);
    bool ReadQuantities(ShipBoxes &boxes, bool report);
    // Shows the packing in the quantity fields but `typed`, and its boxes.
    void ShowQuantities(const ShipBoxes &boxes, unsigned typed = 0);
    // The packing with the field's text taken as its count, the others
    // following; false, with the refusal's text, when the text is no count
    // the field takes.
    bool TypedPacking(unsigned id, ShipBoxes &boxes, QString &refusal) const;
    void ShowShiptoText();
    void OnShipTo();
    void OnNote();
    void FillNewRow();

    CShippedSet m_set;
    bool m_bShowing = false;
    ShipBoxes m_shown;  // the packing shown before the field being typed was typed
    unsigned m_typing = 0; // the quantity field being typed; 0 none
    CXWnd m_shipCaption;
    CXWnd m_trackCaption;
    CXRibbon m_shipToRibbon;
    CXRibbon m_noteRibbon;
};
