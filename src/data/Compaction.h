#pragma once

#include <QtCore/QString>

#include <functional>

namespace platform {
class Database;
struct RebuildResult;
}

// Compaction rewrites the database file without its free space and with
// fresh indexes; it also repairs a damaged index. The file is taken for this
// workstation alone, its rows are copied into the temporary file beside it
// ("...Compacted.mdb") with every index built anew from them (a damaged index
// is never copied), the copy is checked, and only a sound copy replaces the
// file, in one rename: on any failure the file stays exactly as it was and
// the user is told. Rows on a damaged page that cannot be read are counted
// and reported by table instead of the success message. With reindex every index is then deleted and made
// again from the key check's list. In every case that got past the question
// the database is finally reopened for shared use.
//
// An empty question asks nothing. An empty path means the file the database
// has open (nothing happens when it is closed); a path is given when the
// file failed to open (the repair offered by the database opening).
//
// The progress, when given, follows the copy (steps done, steps in all) and
// may stop it by answering false: the copy is then dropped, the file stays as
// it was and the user is told so. The reindex progress follows the rebuilt
// keys and indexes the same way, and stopped, even in the middle of a key,
// drops the copy as in the copy: the file stays as it was. The check progress follows the last two
// steps, the room given back and the engine's check of the copy; stopped,
// the copy is dropped as in the copy. Each is told (total, total) when its
// part has ended, and told a step again (the same done) while a long
// statement of that step runs: a look at the window, not a step.
using CompactProgress = std::function<bool(int done, int total)>;
void CompactDatabase(platform::Database *database, const QString &question, const QString &path, bool reindex,
                     const CompactProgress &progress = CompactProgress(),
                     const CompactProgress &reindexProgress = CompactProgress(),
                     const CompactProgress &checkProgress = CompactProgress());

// For tests: a step run with the copy's name after the copy was made (and
// reindexed), just before it is checked; nullptr removes it.
void SetBeforeCheckingCopyStep(std::function<void(const QString &copy)> step);

// At the end of start-up: on the weekdays chosen in "CompactOpt" (bit 0
// Sunday ... bit 6 Saturday), unless the database was compacted today
// ("Compacted"), offers to compact and reindex the shared database.
void RemindCompact();

// What a compaction could not take over, one line per table ("Jobs: 3
// row(s) could not be read ..."), ending in a blank line; empty when the copy
// is complete.
QString LossReport(const platform::RebuildResult &result);

// Today as "Compacted" keeps it: the user's short date.
QString CompactedDateText();
