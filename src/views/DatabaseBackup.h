#pragma once

#include <QtCore/QString>

namespace platform {
class Database;
}

// The backup command's copy of the open database: the one copy routine of
// the data layer (CopyOpenDatabase), with the progress window and its Stop
// when asked. The target is replaced only by the finished copy; the database
// file itself is never a target. The error text is set on failure.
bool BackupDatabase(platform::Database &db, const QString &target, QString *error, bool showProgress = false);
