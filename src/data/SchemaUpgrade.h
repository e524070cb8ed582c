#pragma once

#include <QtCore/QString>

namespace platform {
class Database;
}

// Brings an opened database file up to the schema of this program. The
// version stored in the file ("2010.0" for this program) is compared with
// the program's as a number: the same version returns true at once; a newer
// file (or one whose stamp is no version) is refused. Otherwise the user is asked; a dated copy of the file is made
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

// How the version stored in a file stands to the program's. Versions are
// numbers, the year and a count after the point ("2010.0"; "2010.10" is
// later than "2010.9"), and compare as numbers ("10000.0" is later than
// "2010.0", though it sorts below it as text). An empty text (a file older
// than the version row) is older than every version; a text that is no
// version counts as a later one, so a file the program cannot place is never
// stamped over.
enum class VersionOrder { Older, Same, Later };
VersionOrder CompareVersions(const QString &stored, const QString &program);

// What a successful upgrade hands to start-up, which shows it once the main
// window is up and then clears it: the flag (1 after an upgrade) and the
// note "It took ... to upgrade." (also put in the application object's
// upgrade notes while one exists).
int DatabaseUpgraded();
QString UpgradeNotes();
void ClearUpgradeHandOver();
