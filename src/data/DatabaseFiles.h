#pragma once

#include "app/base/ErrorBoxes.h"

#include <QtCore/QDate>
#include <QtCore/QString>

#include <functional>

class SchemaProgress;

namespace platform {
class Database;
}

// The files that database maintenance keeps beside the shop's database, and
// the safe ways of writing them: a copy or a rewritten file is always made
// under another name first and put in place by one rename, so the database
// file is never missing, half written or deleted before its replacement is
// complete. Paths keep their case.

// The temporary file of a compaction: the ".mdb" that ends the path becomes
// "Compacted.mdb" (TavrelData.mdb gives TavrelDataCompacted.mdb); a path
// without that ending gets "Compacted.mdb" appended.
QString CompactedFilePath(const QString &databasePath);

// The dated copy made before a schema upgrade: "-" and the day as
// "%Y-%m-%d" before the ".mdb" that ends the path
// (TavrelData-2026-12-06.mdb).
QString BackupFilePath(const QString &databasePath, const QDate &day);

// Removes a file left from an earlier run. True when there is no such file
// afterwards; a file that cannot be removed is shown in the file error box
// (" deleting file") and gives false.
bool RemoveLeftoverFile(const QString &path);

// True when the open database's file begins with the engine's own header
// ("SQLite format 3"). Read through the connection's own file, so the locks
// the connection holds on the file stay in force.
bool HasDatabaseFileHeader(platform::Database &db);

// Writes a consistent copy of the open database to the target through the
// engine's backup, while the database stays open and other workstations work:
// the program's backups and the upgrade's copy both go through it. The copy is
// made in a work file of its own beside the target (the target's name +
// ".partial-" and six characters that make it unique, so copies to one name
// at once never meet) and renamed over the target when complete (an older
// copy there is replaced only then, never removed first): the target is a
// whole copy or what it was before. A failed or stopped copy leaves no work
// file; the work files (and their journals) that a copy killed half way left
// are removed by the next copy to the same name, when they are this user's,
// held by no process and older than that copy; a disk, share or file-size limit that leaves no room fails with
// "Not enough space on disk." (ENOSPC).
// It always ends: when other workstations' writes keep restarting it, the
// rest is copied in one step. The progress window, when given, steps as pages
// are copied, and its Stop ends the copy (error ECANCELED). The copy takes
// the database file's mode and group; a user who is no member of that group
// makes a copy of his own group, with no rights through it (so open to
// nobody the database file is not open to), and `note`, when given, tells
// him when that matters: when the file's group may do more with it than
// every other user. A target that is the database file itself (through any
// link or other name), or one of the files the database uses beside it (its
// lock file and journals), is refused.
bool CopyOpenDatabase(platform::Database &db, const QString &target, SystemError &error,
                      SchemaProgress *progress = nullptr, QString *note = nullptr);

// Whether two paths name the same file: the same device and inode when both
// exist, else the same real path (links in the folders resolved).
bool IsSameFile(const QString &a, const QString &b);

// Puts a finished file in place of the target in one rename, after it was
// flushed to disk and given the mode and group of the model (the target when
// none is named: the file it stands in for) through its open descriptor. The
// finished file must be an ordinary file of this user's with no other name,
// and still the same file when it is renamed: a link or another file put in
// its place is refused, never given the mode nor put in place. The target
// stays as it was when this fails, also when the group cannot be given (a
// file that others use through its group), unless groupNote is given (a
// copy): the file then keeps this user's group with no rights through it,
// and groupNote says so when the model's group loses rights by it.
bool ReplaceFile(const QString &replacement, const QString &target, SystemError &error,
                 const QString &model = QString(), QString *groupNote = nullptr);

// For tests: a step run with the finished file's name after it was given its
// mode and group, just before it is put in place; nullptr removes it.
void SetBeforePlacingStep(std::function<void(const QString &replacement)> step);

// The error of the last failed system call (errno).
SystemError LastSystemError();
