#pragma once

#include <QtCore/QString>

struct sqlite3;

namespace platform {

// One short unit of writing: outside a transaction it is BEGIN IMMEDIATE ...
// COMMIT (the write lock is taken at once, so the busy timeout applies and
// two workstations never deadlock upgrading read locks); inside one it is a
// savepoint. It rolls back unless committed, so a failed statement leaves
// every row as it was.
class WriteScope
{
public:
    WriteScope(sqlite3 *db, const QString &fileName = QString());
    ~WriteScope();
    WriteScope(const WriteScope &) = delete;
    WriteScope &operator=(const WriteScope &) = delete;

    void commit();

private:
    void exec(const char *sql);

    sqlite3 *m_db;
    QString m_fileName;
    QString m_savepoint; // empty for a transaction of its own
    bool m_done = false;
    bool m_resumeRead = false; // a read scope's transaction was ended for it
};

} // namespace platform
