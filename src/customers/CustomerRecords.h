#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The customer-area rules that write more than one row, free of widgets so
// that they are tested on their own: the duplicate-name check, the alert rows,
// dropping a customer that was never saved, deleting or hiding contacts and
// ship-to addresses, and status changes. Every operation that writes runs in
// one transaction: a database failure rolls all of it back and is shown to
// the user, never dropped.

// True when another customer (any number but cusNo) already has this name.
// The name goes into the statement through the one quoting helper.
bool CustomerNameExists(qint32 cusNo, const QString &name);

// Writes a customer alert (1 new-job alert, 2 work-order note, 3 invoice memo)
// at once: an empty text deletes the row, any other text replaces or adds it.
// For a window that showed the alert as `shown`: nothing is written
// when it was left as shown; otherwise it goes onto the alert as it is now,
// and when another user saved a different text meanwhile the user is asked
// ("Saved by another user", the alert named by `label`): Yes writes this
// user's text, No keeps the other user's. Cancel writes nothing and sets
// *cancelled. False when nothing was saved (Cancel, or a failure shown).
bool WriteCustomerAlert(qint32 cusNo, int alertType, const QString &shown, const QString &text,
                        const QString &label, bool *cancelled = nullptr);

// Removes a customer that was made for a new-customer window and never saved
// by the user: its ship-to addresses, contacts, alerts and the customer row,
// all or none. Customers up to 31 are the program's own and are refused.
bool DiscardNewCustomer(qint32 cusNo);

// Outcome of a delete command over selected rows.
struct DeleteOutcome
{
    int deleted = 0;
    int hidden = 0;
    bool ok = true; // false: the database refused, nothing was changed (shown)
};

// Contacts: a contact that some job names as its buyer is hidden (Type 2);
// any other is deleted, and every customer that had it as default buyer or
// payer gets 0 there, so no job later copies a number that no longer exists.
DeleteOutcome DeleteContacts(const QList<qint32> &contactNos);
// Ship-to addresses: an address that some job ships to is hidden; any other
// is deleted and every customer that had it as default ship-to gets 0.
DeleteOutcome DeleteShiptos(const QList<qint32> &shiptoNos);

// Which records a status command changes.
enum class StatusKind { Customers, Contacts, Shiptos };

// Sets the status (0 Active, 1 On Hold, 2 Hidden) of the records with these
// keys. Keys of 0 and records that do not exist are skipped. With
// countUnchanged a record that already had the status counts as changed (the
// customers view), otherwise only real changes count (the contact and ship-to
// lists). Returns the count, or -1 when the database refused (nothing
// changed, shown).
int SetRecordStatus(StatusKind kind, const QList<qint32> &keys, int status, bool countUnchanged);
