#include "platform/db/WriteScope.h"

#include "platform/db/DbErrors.h"
#include "platform/db/ReadScope.h"
#include "platform/db/UnfinishedReads.h"

#include <sqlite3.h>

#include <atomic>

namespace platform {

namespace {

std::atomic<int> g_serial{0};

} // namespace

WriteScope::WriteScope(sqlite3 *db, const QString &fileName)
    : m_db(db), m_fileName(fileName)
{
    if (!db)
        dberr::raise(dberr::ObjectInvalid);
    // A list still reading its rows reads them to the end first: the write
    // would otherwise wait on the program's own read lock.
    UnfinishedReads::finishAll(db);
    // Inside a run of reads, the write takes its lock as a transaction of its own.
    m_resumeRead = ReadScope::suspend(db);
    try {
        if (sqlite3_get_autocommit(db)) {
            exec("BEGIN IMMEDIATE");
        } else {
            m_savepoint = QStringLiteral("jet_w%1").arg(++g_serial);
            exec(QStringLiteral("SAVEPOINT %1").arg(m_savepoint).toUtf8().constData());
        }
    } catch (...) {
        if (m_resumeRead)
            ReadScope::resume(db);
        throw;
    }
}

WriteScope::~WriteScope()
{
    if (m_done)
        return;
    if (m_savepoint.isEmpty()) {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    } else {
        const QByteArray sp = m_savepoint.toUtf8();
        sqlite3_exec(m_db, ("ROLLBACK TO " + sp + "; RELEASE " + sp).constData(), nullptr, nullptr, nullptr);
    }
    if (m_resumeRead)
        ReadScope::resume(m_db);
}

void WriteScope::commit()
{
    if (m_done)
        return;
    if (m_savepoint.isEmpty())
        exec("COMMIT");
    else
        exec(("RELEASE " + m_savepoint.toUtf8()).constData());
    m_done = true;
    if (m_resumeRead)
        ReadScope::resume(m_db);
}

void WriteScope::exec(const char *sql)
{
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw dberr::fromConnection(m_db, rc, m_fileName);
}

} // namespace platform
