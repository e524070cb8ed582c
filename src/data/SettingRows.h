#pragma once

#include "data/CAlertSet.h"

#include <functional>

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// The program-wide setting rows (table CustomerAlerts, CusNo 0, one row per
// kind in AlertType, the values as a comma-terminated list in AlertText) and
// the password rows (table Passwords, keyed by [No]).
//
// Kinds in use: 99 the database version, 100 shop options (Saturday and
// Sunday workdays, printing method), 210 paper cutter, 221 time-tracker
// options, 241 bar-code font, 251 display and job-handling options, 252 the
// late-fee rule, 253 the write-off rule, 254 the pricing note, 255 the account
// names of the accounting export; the favourites use further kinds.

// Item `item` (from 0) of the row's list, or the whole text for a negative
// item. The default when the row is missing or has fewer than item + 1
// commas; an empty item is returned as the empty text.
QString &GetGlobalAlertText(QString &out, int alertType, int item, const QString &defaultText);
QString GetGlobalAlertText(int alertType, int item, const QString &defaultText);

// Writes the whole list of a kind, adding its row when it is missing. True
// when the row was saved.
bool SaveGlobalAlertText(int alertType, const QString &text);
// The same for a window that showed the row: `read` is the row's text when
// the window opened (its default when there was none), `unchanged` what the
// window would write had nothing been changed. Only the items changed there
// are written, onto the row as it is now; an item another user changed
// meanwhile to something else is asked about by its label (CAlertSet::
// SaveItems). False when nothing was saved (the user's Cancel, or a failure
// shown).
bool SaveGlobalAlertText(int alertType, const QString &read, const QString &unchanged, const QString &text,
                         const CAlertSet::ListItems &items);

// The password text of a Passwords row; empty when there is no such row.
QString &GetPasswordText(QString &out, quint8 no);
// Writes a password row (adding it when missing) with the level byte 1. A
// failure is shown ("Cannot save ...") and nothing is written.
bool SavePasswordRow(quint8 no, const QString &password);
// The same for a window that showed the password `read` when it opened:
// nothing is written when it was left as shown; otherwise it is written
// onto the row as it is now, and when another user saved a different
// password meanwhile the user is asked ("Saved by another user"), the
// password named by `label` and shown masked as `shown` gives it. False
// when nothing was saved (the user's Cancel, or a failure shown).
bool SavePasswordRow(quint8 no, const QString &read, const QString &password, const QString &label,
                     const std::function<QString(const QString &)> &shown);

// Lets the price texts read the shop's choices from the setting rows; the
// application calls it once at start-up.
void InstallSettingRowReader();
