#pragma once

#include <QtCore/QtGlobal>

namespace platform {

class Database;

// Grows with every row the database object writes and with every opening,
// never going back: rows read at one count may be out of date at another.
quint64 databaseWriteCount(const Database &db);

} // namespace platform
