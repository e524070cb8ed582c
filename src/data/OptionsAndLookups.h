#pragma once

#include "platform/Value.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

// Single values read from the database: the shop option rows of table
// Options, the first value of a query, a vendor's name and a customer's
// alert text; and the statements of the standard code lists. A statement that
// fails has been reported by the recordset; these then give the default or
// an empty value.

// The second field of the Options row, or the default. OptionID 0 (and the
// negative ids, which are job locks) give the default without a query.
qint32 GetOptionValue(qint32 optionId, qint32 defaultValue);
// Stores the value in the Options row of this id, adding the row when it is
// missing. OptionID 0 stores nothing.
void SaveOptionValue(qint32 optionId, qint32 value);

// How a window names the options of one Options row, for the question about
// a row both users changed: a radio group (the value is the chosen option's
// number, `choice` its text) or check boxes (each bit its own option, `bit`
// its text, from bit 0).
struct OptionNames
{
    bool radio = false;
    QString group;
    std::function<QString(qint32 value)> choice;
    std::function<QString(int bit)> bit;
};
// Stores `value` for a window that showed `read` when it opened: only the
// options changed there are written, onto the row as it is now (a radio
// group as one option, check boxes bit by bit); an option another user
// changed meanwhile to something else is put to the user ("Saved by another
// user") by its text. With no row yet, the row is added holding `value` even
// when nothing was changed. False when nothing was saved (the user's Cancel, or a
// failure shown).
bool SaveOptionValue(qint32 optionId, qint32 read, qint32 value, const OptionNames &names);

// Field 0 of the first row; a Null field gives a Null value of the field's
// type, no row an empty value (Null of no type).
void LookupFirstValue(platform::Value &out, const QString &sql);
// Field 0 of the first row as text; "" when there is no row.
void LookupFirstText(QString &out, const QString &sql);

// "" for vendor 0 (no query) or a vendor that does not exist.
void GetVendorName(QString &out, quint8 vendorNo);
void GetCustomerAlertText(QString &out, qint32 cusNo, quint8 alertType);

// The SELECT of a code list (code in field 0, name in field 1); with
// hideMarked the rows whose name begins with '~' are left out. An id that is
// no code list gives "".
void GetCodeListSql(QString &out, int codeListId, bool hideMarked);
