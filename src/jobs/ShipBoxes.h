#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// How a shipped quantity is packed: the pieces, the pieces in a full box and
// the number of boxes. The shipment editor and the shipping-label dialog share
// these rules; neither needs a widget.
struct ShipBoxes
{
    qint32 quantity = 1;
    qint32 perBox = 1;
    qint32 boxes = 1;
};

// Which of the three fields the user typed last.
enum class ShipBoxField { Quantity, PerBox, Boxes };

// The packing after a field was typed. The quantity is at least 1. Typed
// boxes (at least 1, at most the quantity) give the pieces per box as the
// quantity over the boxes, whole pieces; a typed quantity or per-box count
// (at least 1, at most the quantity) gives as many boxes as it takes to hold
// the quantity, the last one possibly partly filled.
ShipBoxes RecomputeShipBoxes(const ShipBoxes &typed, ShipBoxField changed);

// The pieces in the last box: whatever the full boxes before it leave
// (100 in 3 boxes of 33 leaves 34 for the third).
qint32 LastBoxQuantity(const ShipBoxes &boxes);

// The box breakdown shown under the fields: the shipment editor's
// ("   BOX: 2 of 3 \t QTY: 100 of 250") and the label dialog's
// ("BOX 2 of 3 \t QTY: 100 of 250"). All full boxes give one line; otherwise
// the last full box and the last box, with "BOX 1 of n" above them for three
// boxes (and " ..." after it for more).
QString ShipmentBoxText(const ShipBoxes &boxes);
QString LabelBoxText(const ShipBoxes &boxes);

// The label dialog's starting packing for an item of this quantity: full
// boxes of at most 1000 pieces.
ShipBoxes InitialLabelBoxes(qint32 itemQuantity);

// A quantity field's text read as a whole number ("1,000" reads as 1000);
// false, and `out` untouched, when it is not one.
bool ReadShipCount(const QString &text, qint32 &out);

// The packing after the text of one field was typed over the packing shown:
// the whole text read as a count (ReadShipCount), from 1, and at most the
// quantity shipped for the pieces a box and the boxes; the other fields
// follow (RecomputeShipBoxes). A text that is no such count is never made
// one ("2.5" is not 25, "-5" not 1): false, `out` untouched, and `refusal`
// says why ("Please enter an integer.", "Please enter a number from 1 to
// 250.").
bool TypedShipBoxes(const ShipBoxes &shown, ShipBoxField field, const QString &text, ShipBoxes &out,
                    QString &refusal);
