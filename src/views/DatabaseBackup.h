#pragma once

#include <QtCore/QString>

namespace platform {
class Database;
}

// Copies an open database to another file through the engine's online backup,
// page by page under the engine's own locks, so the copy is consistent while
// other workstations go on working. An existing target is replaced only when
// the copy succeeded. The error text is set on failure.
bool BackupDatabase(platform::Database &db, const QString &target, QString *error);
