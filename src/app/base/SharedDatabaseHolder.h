#pragma once

#include "platform/db/Database.h"

#include <QtCore/QString>

// The application object's database services: the one shared database of the
// process, the folder it was opened from, and the run log in which long
// database runs (key check, compaction, schema upgrade) collect their errors
// for one report at the end.
//
// The application object owns one for the life of the program. The holder
// made last (and still alive) is the current one, so a test makes its own
// and gets a clean database object and log; while none exists, one of the
// process serves.
class SharedDatabaseHolder
{
public:
    SharedDatabaseHolder();
    ~SharedDatabaseHolder();
    SharedDatabaseHolder(const SharedDatabaseHolder &) = delete;
    SharedDatabaseHolder &operator=(const SharedDatabaseHolder &) = delete;

    static SharedDatabaseHolder &current();

    platform::Database &database() { return m_database; }

    // The folder of the opened file, with a trailing separator.
    QString dataFolder() const { return m_dataFolder; }
    void setDataFolder(const QString &folder) { m_dataFolder = folder; }

    QString runLog() const { return m_runLog; }
    void appendRunLog(const QString &text) { m_runLog += text; }
    void clearRunLog() { m_runLog.clear(); }

private:
    platform::Database m_database;
    QString m_dataFolder;
    QString m_runLog;
    SharedDatabaseHolder *m_previous = nullptr;
};
