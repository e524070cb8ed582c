#pragma once

#include <QtCore/QString>

namespace platform {
class Database;
}

// Brings an opened database file up to the schema of this program. The
// version text stored in the file ("2010.0" for this program) is compared
// with the program's as plain text: equal returns true at once; a newer file
// is refused. Otherwise the user is asked; a dated copy of the file is made
// beside it (at most one a day); the file is taken for this workstation alone
// and a fixed list of steps adds the missing tables, fields and rows and
// converts the old data. Each step decides by what the file holds, so a file
// that a failed or stopped run left partly upgraded is finished by the next
// run; the version is written only when every step succeeded. The errors of
// the steps are collected in the run log and shown once at the end.
//
// True when the file is current and open for shared use again; false when
// the user declined or stopped, the copy or the exclusive reopen failed, or
// a step failed (the caller then does not go on with the database).
bool UpgradeDatabase(platform::Database *database);

// What a successful upgrade hands to start-up, which shows it once the main
// window is up and then clears it: the flag (1 after an upgrade) and the
// note "It took ... to upgrade." (also put in the application object's
// upgrade notes while one exists).
int DatabaseUpgraded();
QString UpgradeNotes();
void ClearUpgradeHandOver();
