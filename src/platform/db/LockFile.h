#pragma once

#include "platform/db/Database.h"

#include <QtCore/QList>
#include <QtCore/QString>

namespace platform {

// The list of connected workstations kept beside the database file
// ("TavrelData.ldb" beside "TavrelData.mdb"): one 64-byte block per
// connection, 32 bytes of computer name and 32 bytes of user name, each
// NUL-padded ANSI text.
//
// How a block is tied to its connection: the connection keeps the file open
// and holds an open-file-description lock (F_OFD_SETLK) on its block's 64
// bytes. The kernel drops that lock when the connection closes the file or
// its process ends in any way, so a block whose bytes nobody has locked
// belongs to a connection that is gone: it is stale, is not listed and its
// place is reused. Open-file-description locks (unlike classic POSIX record
// locks) belong to the one descriptor, so several connections of one process
// each keep their own block, and reading the file never drops a lock.
//
// Two more locked bytes, far past any block, order the work:
// - the gate: every shared connection holds a read lock on it, an exclusive
//   one a write lock; so an exclusive open is refused (3045) while any other
//   connection is open, and a shared open while an exclusive one is;
// - the registry: held (write) while a connection takes or gives up a block
//   and (read) while the list is read, so blocks are never half written.
// The last connection to leave deletes the file; a connection that finds it
// opened a file just deleted (its inode is no longer the path's) starts over.
class LockFile
{
public:
    // Registers a connection to the database at databasePath. Throws
    // DbException 3045 when the gate is refused.
    LockFile(const QString &databasePath, bool exclusive);
    ~LockFile();
    LockFile(const LockFile &) = delete;
    LockFile &operator=(const LockFile &) = delete;

    QString path() const { return m_path; }
    int block() const { return m_block; }

    // "X.ldb" beside "X.mdb" (or beside any other name of the database).
    static QString pathFor(const QString &databasePath);
    // The live connections listed in a lock file, in block order.
    static QList<Database::Connection> connections(const QString &lockPath);

    // The names written for this workstation: the host name and the login
    // name, unless set otherwise.
    static QString computerName();
    static QString userName();
    static void setIdentity(const QString &computer, const QString &user);

private:
    void leave();

    QString m_path;
    int m_fd = -1;
    int m_block = -1;
};

} // namespace platform
