#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

class CSerSet;

// The shop's rules for one service row that need no window: the defaults a
// new service of a category starts with, the coupling of its cost and price
// methods, the lift exception, the names of category types, the unit-cost
// raise and the name of a duplicate.

// A new row (SerNo 0) gets "< new >" as its name and the methods a service
// of its category normally uses: paper counts parent-size sheets with waste
// level 1, prices cost + markup per thousand; presses and digital printers
// count impressions with time and material cost; plates count plates; any
// other category counts the item quantity. An existing row is left alone.
void ApplyNewServiceDefaults(CSerSet &service);

// "Envelope", "Carbonless", "Paper", "Offset Press", "Digital Printer/Copier",
// "Proof", "Plate", "Quick Sale" or "Other": the first that applies.
QString CategoryTypeName(qint32 catNo);

// Choosing "no cost" clears the price method; choosing a price method on a
// service without cost gives it material cost. changedCost tells which list
// the user changed.
void CoupleMethods(quint8 &costBy, quint8 &priceBy, bool changedCost);

// The lift exception: a service counted by the item quantity and divided by
// more than 1 divides by sheets per set too, unless its quantity name starts
// with "/" or "\".
bool LiftExceptionHolds(quint8 qtyBy, qint32 divide, const QString &askHowMany);

// A run cost raised by a factor given as a percentage in ten-thousandths of a
// percent (5.5 % = 55000): the product cut toward zero, then raised to the
// next multiple of the step (cents). Computed in 64 bits; false (and `cost`
// untouched) when the result is beyond what the column holds (32 bits, at
// most 21,474,836.47), which is never cut to fit.
bool RaisedRunCost(qint32 oldCost, qint64 percentTenThousandths, int step, qint32 &cost);

// The name of a duplicate: the first 40 characters and " - Copy".
QString DuplicateServiceName(const QString &name);

// The special services the program adds by their number: 174 and 175 the two
// cutting services, 193 the one added with carbonless paper.
bool IsSpecialService(qint32 serNo);
// The sentence "About this Special Service: ..." for 174, 175 or 193.
QString SpecialServiceMessage(qint32 serNo);

// A service as the dialogs show it: the no-value patterns that Null columns
// leave in the record's numbers become 0 (money too), so that a field never
// shows the pattern. Used on a copy, so that a field the user leaves alone
// stays Null in the table.
void ClearNullPatterns(CSerSet &service);

// Stores a value read from a dialog field only when it differs from what the
// field showed, and remembers it as shown.
template <class T>
void StoreIfChanged(T &target, T &shown, const T &value)
{
    if (!(value == shown)) {
        target = value;
        shown = value;
    }
}
