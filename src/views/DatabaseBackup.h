#pragma once

#include <QtCore/QString>

namespace platform {
class Database;
}

// The backup command's copy of the open database: the one copy routine of
// the data layer (CopyOpenDatabase), with the progress window and its Stop
// when asked. The target is replaced only by the finished copy; the database
// file itself is never a target. The error text is set on failure; `note`,
// when given, gets what the user should know of a copy that was made (one
// that could not be given the database file's group, when that matters).
bool BackupDatabase(platform::Database &db, const QString &target, QString *error, bool showProgress = false,
                    QString *note = nullptr);
