#pragma once

#include "data/ShopSchema.h"

#include <QtCore/QList>
#include <QtCore/QString>

#include <functional>

namespace platform {
class Database;
}

// The key check: restores the keys and indexes of the shop's tables from
// one fixed list. For each key it removes the rows without a key, offers to
// remove the surplus rows of a key value that occurs more than once, and
// makes the key's index; for each plain index it makes the index. It ends
// by clearing the job locks. Compaction with reindexing runs it right after
// deleting every index, so a compacted file ends with exactly these indexes.

// The list in the order it is processed: the program's fixed key and index
// list, then the keys that tables of the current layout are created with
// and that list lacks (Inventory.InvID, TodoTypes.ID), so that a reindex
// never drops a key the program made.
QList<ShopSchema::Index> KeyCheckList();

// Runs the whole list on the database and returns the run log (emptied at
// the start): one "FAILED to create ..." line per index that could not be
// made; empty when every index was made or already there. Failures of the
// row deletions are not caught here.
// The progress, when given, is told before each entry (entries done, in
// all) and stops the run by answering false: what was made stays, the job
// locks are left alone and the result is false.
// A stop is taken between two entries, never half way through one; with
// WithinKey (a database that is thrown away when stopped, such as a copy
// being made) it also interrupts the entry's statement that runs then.
using KeyCheckProgress = std::function<bool(int done, int total)>;
enum class KeyCheckStop { BetweenKeys, WithinKey };
QString CheckDatabaseKeys(QString &log, platform::Database *database);
bool CheckDatabaseKeys(QString &log, platform::Database *database, const KeyCheckProgress &progress,
                       KeyCheckStop stop = KeyCheckStop::BetweenKeys);

// One entry of the list, on the shared database. A missing table is passed
// over silently.
void CheckKeyIndex(const QString &table, const QString &field, bool primary);

// The number of key values of table.field that occur more than once (0 when
// none). With remove, the index named after the field is deleted and every
// row but the first of each such value is removed (in a progress window that
// can be stopped); returns 1 when the pass ends, 0 when a deletion failed
// (shown as "Cannot delete " with the statement).
int FindDuplicateKeys(const QString &table, const QString &field, bool remove);

// Removes every job lock (the Options rows with a negative OptionID). While
// other workstations have the database open their open jobs would lose their
// locks, so the user is asked first and No leaves the locks. Failures are
// not caught here.
void ClearJobLocks(platform::Database &db);

// The entries of the key list that the open database lacks (a key under
// another name counts as there); with plainOnly, of its plain indexes alone.
QList<ShopSchema::Index> MissingKeyIndexes(platform::Database &db);
QList<ShopSchema::Index> MissingKeyIndexes(platform::Database &db, bool plainOnly);

// Creates the missing indexes of the key list without asking anything: every
// plain index, and (unless plainOnly) every key whose values are all there
// and unique (the others are left to the key check, which asks before it
// deletes rows). Returns how many were made; an engine failure other than
// "already exists" throws.
int CreateMissingIndexes(platform::Database &db, bool plainOnly = false);
