#pragma once

#include "platform/Money.h"

#include <QtCore/QList>
#include <QtCore/QString>

#include <functional>
#include <optional>

// The pieces of an RTF invoice or quotation that need no database.

// The larger quantities a quote offers: the words between the first "{" and
// the first "}" of the item's note (commas count as blanks) whose leading
// number is above the charged quantity, in their order, at most ten.
QList<int> OrderMoreQuantities(const QString &note, int chargeQty);

// The offers text: for each quantity the pricer can price, "Order q and Save
// s Unit Price: r Total Price p \line ", the final "\line " cut off. The
// pricer returns the price of the item at a quantity, or nothing.
QString OrderMoreText(const QString &note, int chargeQty, Money price,
                      const std::function<std::optional<Money>(int)> &priceAt);

// Replaces the fields of an RTF template ("<NAME>"). The callback gets the
// field's name as written and returns its value, or nothing for a name it
// does not know; such a field, and a "<" never closed, are copied unchanged.
// `sawFooter` tells whether a MYFOOTER field was met.
QString FillRtfFields(const QString &templateText, const std::function<std::optional<QString>(const QString &)> &value,
                      bool &sawFooter);

// A field's name as compared: upper case, trailing blanks removed.
QString RtfFieldKey(const QString &name);
