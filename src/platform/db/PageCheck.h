#pragma once

#include <QtCore/QString>

namespace platform {

class Database;

// A quick look at every page of an open database file (their structure, not
// the rows' values against the indexes), given up after budgetMs so that a
// large file does not hold the start.
enum class PageCheck { Sound, Damaged, Unfinished };

// Damaged: complaint gets the engine's first finding. Unfinished: out of
// time, the file was busy, or the database is not open.
PageCheck CheckPages(Database &db, int budgetMs, QString *complaint = nullptr);

} // namespace platform
