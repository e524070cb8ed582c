#pragma once

#include "platform/db/Database.h"

#include <QtCore/QString>

// The one database object of the process, shared by every recordset that is
// given none, and the program-wide name of its file.

platform::Database &SharedDatabase();

// "TavrelData.mdb", the database file's name; set once, never changed.
QString DatabaseFileName();

// The folder of the opened database file, with a trailing separator.
QString DataFolder();
void SetDataFolder(const QString &folder);
