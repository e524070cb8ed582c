#pragma once

#include <QtCore/QString>

struct sqlite3;

namespace platform {

class Database;

// A quick look at every page of an open database file (their structure, not
// the rows' values against the indexes), given up after budgetMs so that a
// large file does not hold the start.
enum class PageCheck { Sound, Damaged, Unfinished };

// Damaged: complaint gets the engine's first finding. Unfinished: out of
// time, the file was busy, or the database is not open.
PageCheck CheckPages(Database &db, int budgetMs, QString *complaint = nullptr);

// The same look through a connection of the caller's own; a negative budget
// sets no time limit (the caller may still interrupt the connection).
PageCheck CheckPages(sqlite3 *handle, int budgetMs, QString *complaint = nullptr);

// The file's size in pages, 0 when the database is not open.
qint64 PageCount(Database &db);

} // namespace platform
