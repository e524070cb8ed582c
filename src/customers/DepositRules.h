#pragma once

#include "platform/Money.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <utility>

namespace platform {
class Database;
}

// The amounts of money taken at the counter or on an order, free of widgets.
// Kinds of payment: 0 a quick sale, 1 a deposit on an order, 2 a payment on
// account.

struct DepositAmounts
{
    Money tendered;
    Money change;
};

// What the tendered amount becomes when it leaves its field, and the change.
// A quick sale never takes less than is due: below 0 reverses the whole sale
// (due negated), below the amount due becomes the amount due. Change is the
// excess over a positive amount due.
DepositAmounts TenderedLeft(quint8 kind, Money due, Money tendered);

// The window title of the kind ("Deposit for Order " + the order's number).
QString DepositTitle(quint8 kind, qint32 cusNo, qint32 jobNo);

// The word of the kind in the workstation's default-payment-type key.
QString DepositSettingsWord(quint8 kind);

// The payment types a clerk can choose, number and name in the list's order;
// a type whose name starts with "~" is retired and not offered.
QList<std::pair<int, QString>> ChoosablePaymentTypes(platform::Database &db);

// The money texts of the dialog: the No Charge marker reads "No Charge".
// (Typed amounts are read by the shared amount-field exchange.)
QString DepositMoneyText(Money value);
