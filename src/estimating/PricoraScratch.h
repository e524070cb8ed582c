#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The price wizard's item and its rules, without a window. The wizard keeps
// its item as scratch rows of table Items (JobID -1, ItemNo 254, SubNo 0),
// one row per slot, the slot number in EmpNo: 0 the item, 1 the paper, 2 the
// press, 3 the plate, 4 one other service. The rows are shared by every
// workstation and kept from one run to the next, so that the pricing engine
// prices the wizard's item like any other.
struct PricoraSpecs
{
    QString quantityText = QStringLiteral("Varies");
    int markup = 0;       // price level index: Normal, Bid, Rush, Special
    int side1 = 1;        // ink codes of the two sides
    int side2 = 0;
    int coverage = 0;
    int registration = 0;
    int wash = 0;
    int mix = 0;
    int bleed = 0;
    qint32 paper = 0;     // SerNo of each slot, 0 for none
    qint32 press = 0;
    qint32 plate = 0;
    qint32 other = 0;
    qint32 otherCategory = 1;
    QList<qint64> targets = QList<qint64>(10, 0); // target price of each row, in cents
};

namespace Pricora {

constexpr qint32 kJobId = -1;
constexpr int kItemNo = 254;
constexpr int kRows = 10;

// The count a quantity text stands for, read as every count is ("1,000" is
// a thousand); 0 for "Varies" or a text that is no count.
qint32 QuantityOfText(const QString &quantityText);
// The ten quantities of a quantity text: n, 2n ... 10n for a count n;
// otherwise ("Varies") 1, 10, 50, 100, 500, 1000, 5000, 10000 and 0, 0.
QList<qint32> Quantities(const QString &quantityText);
// Price minus target, and that as a whole percentage of the price (toward
// zero); both 0 unless price and target are given.
void Difference(qint64 price, qint64 target, qint64 &difference, qint32 &percent);
// The slot a service of a category goes in: 1 paper, 2 press, 3 plate, 4
// other; 0 for an unknown service (category 0).
int SlotOfCategory(qint32 catNo);

// Reads the scratch rows into the specs; false (specs unchanged) without rows.
bool LoadScratchItem(PricoraSpecs &specs);
// Writes the five scratch rows in one transaction; false (reported, nothing
// written) on a failure.
bool SaveScratchItem(const PricoraSpecs &specs);
// The price in cents of each quantity, all priced on one silent engine
// loaded once; 0 for a quantity of 0 or less or an item that prices to 0.
QList<qint64> PriceQuantities(const QList<qint32> &quantities);

} // namespace Pricora
