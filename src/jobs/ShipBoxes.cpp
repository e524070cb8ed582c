#include "jobs/ShipBoxes.h"

#include "app/base/QuantityText.h"
#include "app/base/TypedValue.h"

#include <algorithm>
#include <limits>

ShipBoxes RecomputeShipBoxes(const ShipBoxes &typed, ShipBoxField changed)
{
    ShipBoxes b = typed;
    b.quantity = std::max(b.quantity, 1);
    if (changed == ShipBoxField::Boxes) {
        b.boxes = std::clamp(b.boxes, 1, b.quantity);
        b.perBox = b.quantity / b.boxes;
    } else {
        b.perBox = std::clamp(b.perBox, 1, b.quantity);
        b.boxes = b.quantity / b.perBox + (b.quantity % b.perBox != 0 ? 1 : 0);
    }
    return b;
}

qint32 LastBoxQuantity(const ShipBoxes &b)
{
    if (b.boxes < 1)
        return b.quantity;
    return b.quantity - b.perBox * (b.boxes - 1);
}

namespace {

// One format for both dialogs: `box` is "   BOX: " or "BOX ".
QString BoxText(const ShipBoxes &b, const QString &box)
{
    const qint32 last = LastBoxQuantity(b);
    const QString line = box + QStringLiteral("%1 of %2 \t QTY: %3 of %4");
    if (last == b.perBox)
        return QStringLiteral("\n\n") + line.arg(b.boxes).arg(b.boxes).arg(b.perBox).arg(b.quantity);
    QString first;
    if (b.boxes == 3)
        first = box + QStringLiteral("1 of %1").arg(b.boxes);
    else if (b.boxes > 3)
        first = box + QStringLiteral("1 of %1 ...").arg(b.boxes);
    return first + QLatin1Char('\n') + line.arg(b.boxes - 1).arg(b.boxes).arg(b.perBox).arg(b.quantity) +
           QStringLiteral("\n\n") + line.arg(b.boxes).arg(b.boxes).arg(last).arg(b.quantity);
}

} // namespace

QString ShipmentBoxText(const ShipBoxes &boxes)
{
    return BoxText(boxes, QStringLiteral("   BOX: "));
}

QString LabelBoxText(const ShipBoxes &boxes)
{
    return BoxText(boxes, QStringLiteral("BOX "));
}

ShipBoxes InitialLabelBoxes(qint32 itemQuantity)
{
    ShipBoxes b;
    b.quantity = itemQuantity;
    b.perBox = std::min(itemQuantity, 1000);
    return RecomputeShipBoxes(b, ShipBoxField::PerBox);
}

bool ReadShipCount(const QString &text, qint32 &out)
{
    // The shared reading of whole numbers: "1,000" is one thousand, "1,00" no number.
    std::int32_t value = 0;
    if (!ReadTypedWhole(text, value))
        return false;
    out = value;
    return true;
}

bool TypedShipBoxes(const ShipBoxes &shown, ShipBoxField field, const QString &text, ShipBoxes &out,
                    QString &refusal)
{
    // A box holds no more than is shipped, and there are no more boxes than
    // pieces; the quantity is a count, no more than the largest count.
    const qint32 most = field == ShipBoxField::Quantity ? qint32(kLargestCount) : shown.quantity;
    qint32 count = 0;
    if (!ReadShipCount(text, count)) {
        // A whole number past what any count holds is past this one's range,
        // never "no integer".
        refusal = TypedQuantityMessage(text) != TypedValueMessage(ValueKind::Quantity)
                      ? QStringLiteral("Please enter a number from 1 to %1.").arg(most)
                      : QStringLiteral("Please enter an integer.");
        return false;
    }
    if (count < 1 || count > most) {
        refusal = QStringLiteral("Please enter a number from 1 to %1.").arg(most);
        return false;
    }
    ShipBoxes b = shown;
    (field == ShipBoxField::Quantity ? b.quantity : field == ShipBoxField::PerBox ? b.perBox : b.boxes) = count;
    out = RecomputeShipBoxes(b, field);
    return true;
}
