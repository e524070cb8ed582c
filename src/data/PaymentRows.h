#pragma once

#include "platform/DateTime.h"
#include "platform/Money.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

namespace platform {
class Database;
}

// One row of table Payments as taken at the counter or on an order, before
// it is written. The taker fills it; the one who writes it decides what else
// goes into the same transaction (the sale, or the order's balance).
struct NewPayment
{
    DateTime date;          // the day of the payment, no time
    Money amount;           // tendered less change
    qint32 cusNo = 0;
    quint8 payGroup = 0;    // 0 quick sale, 1 deposit on an order, 2 on account
    quint8 paidBy = 255;    // PaymentTypes.[No]; 255 none chosen
    QString reference;      // cheque number and the like
    QString appliedto;      // the order's number for a deposit, else empty
    QString paidByName;     // the chosen payment type's name (for notes and receipts)
    // What the receipt shows: the taking's title, the amount due, tendered
    // and the change (not written to the row).
    QString title;
    Money due;
    Money tendered;
    Money change;
};

// Why a payment of `amount` cannot be taken: the payments no posting has
// gathered yet, which the next posting stores as its payments, would with it
// pass the largest amount; refused by name before anything is written (a sum
// already past it may still come down). Empty when it can be taken.
QString PeriodPaymentsPastLargest(platform::Database &db, Money amount);
// The same rule for any sum the next posting stores: the posting's name of
// the sum ("Posting Quick Sale Subtotal") when `before` with `amount` would
// pass the largest amount and does not come nearer to it; empty otherwise.
QString PeriodSumPastLargest(const QString &name, Money before, Money amount);

// Writes the row inside the caller's transaction and gives its PayNo; throws
// platform::DbException on a failure.
qint32 InsertPayment(platform::Database &db, const NewPayment &payment);
