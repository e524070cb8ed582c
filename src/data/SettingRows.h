#pragma once

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

// The password text of a Passwords row; empty when there is no such row.
QString &GetPasswordText(QString &out, quint8 no);
// Writes a password row (adding it when missing) with the level byte 1. A
// failure is shown ("Cannot save ...") and nothing is written.
bool SavePasswordRow(quint8 no, const QString &password);

// Lets the price texts read the shop's choices from the setting rows; the
// application calls it once at start-up.
void InstallSettingRowReader();
