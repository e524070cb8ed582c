#pragma once

#include <QtCore/QString>

#include <functional>

namespace platform {
class Database;
}

// Finds the shop's database file, opens it for shared use, offers a repair
// when it cannot be opened, brings its schema up to date, remembers where it
// was found and adds the rows every other part counts on. Start-up calls it
// once; a recordset calls it again whenever it finds the shared database
// closed, so the whole sequence, questions included, can run more than once.
// False leaves the program without a database: start-up then ends.
bool OpenDatabase(platform::Database *database);

// A file too large to have its pages looked at while the opening waits is
// looked at on a thread of its own once the program is up, without holding
// up any write; a damaged page is then reported with the opening's message
// and the repair is offered for the open file. Start-up begins these checks
// after its first view shows (from then on a file opened again is checked
// as soon as its opening is over) and ends them before it closes the
// database at exit. Closing or reopening the database ends a running check.
void BeginLaterPageChecks();
void EndLaterPageChecks();
// True until the later check of the file opened last is over (sound,
// reported, given up, or the file closed meanwhile).
bool LaterPageCheckUnderway();

// The two steps of the opening that belong to the maintenance and upgrade
// code, which installs them at start-up.
//
// Repair: asks the question, rebuilds the file at the path and reopens it
// shared; a declined or failed repair leaves the database closed. Without a
// repair step installed a file that cannot be opened stays closed.
using RepairDatabaseStep = std::function<void(platform::Database *database, const QString &question,
                                              const QString &path)>;
// Upgrade: brings the opened file to the current schema; false ends the
// opening. Without an upgrade step installed the file is used as it is.
using UpgradeDatabaseStep = std::function<bool(platform::Database *database)>;

void SetRepairDatabaseStep(RepairDatabaseStep step);
void SetUpgradeDatabaseStep(UpgradeDatabaseStep step);

// "Tavrel will end now. Please contact Halvane for a solution.": shown before
// the program gives up on its database (also by the schema upgrade).
QString ClosingMessage();

// The setting that keeps the database's full path, in section "Settings".
inline constexpr const char *kDatabasePathKey = "TavrelPath";
