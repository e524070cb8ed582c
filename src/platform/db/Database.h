#pragma once

#include "platform/Value.h"
#include "platform/db/DbException.h"
#include "platform/db/RebuildCopy.h"
#include "platform/db/TableDef.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

struct sqlite3;

namespace platform {

// The shop's database file: SQLite under the Jet dialect and DAO behaviour the
// program was written for. Every failure throws DbException with Jet's number.
class Database
{
public:
    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Creates a new, empty database file (3010-style failure when it exists).
    static void create(const QString &path);

    // Opens shared (the normal case) or exclusive (posting, compaction,
    // upgrade); exclusive fails with 3045 while another connection has the
    // file open. Registers itself in the lock file beside the database.
    void open(const QString &path, bool exclusive = false, bool readOnly = false);
    void close();
    bool isOpen() const;
    bool isExclusive() const;
    bool isReadOnly() const;
    QString name() const; // the full path of the file
    // Empty, or why a read-only connection could not list itself in the lock
    // file (a full disk, a folder without write permission).
    QString lockWarning() const;

    // Runs one Jet INSERT, UPDATE or DELETE (fail on error: all rows or none).
    // Parameters bind to "?" or named parameters in order.
    void execute(const QString &jetSql, const QList<Value> &parameters = {});
    int recordsAffected() const;

    // Exclusive connections only (else 3045): a new file at copyPath with this
    // file's schema, its readable rows and every index built anew from them
    // (RebuildCopy). The file stays this workstation's alone meanwhile.
    RebuildResult rebuildCopy(const QString &copyPath, const RebuildProgress &progress = RebuildProgress());

    // Runs SQLite text directly (schema work and maintenance only; never user text).
    void executeNative(const QString &sqliteSql);

    // Transactions nest (the inner ones as savepoints). Prefer Transaction below.
    // An outermost transaction begun without waiting for the disk hands its
    // commit to the system and goes on: for rows that nobody misses after a
    // power cut (a job's lock, which is cleared as stale anyway). Every other
    // commit of the connection still waits until its rows are on the disk;
    // nested inside another transaction the flag is ignored.
    void beginTrans(bool waitForDisk = true);
    void commitTrans();
    void rollback();
    int transactionDepth() const;

    // Schema: tables, fields, indexes and saved queries.
    QStringList tableNames() const;
    bool tableExists(const QString &table) const;
    TableDef tableDef(const QString &table) const; // 3265 when absent
    // The triggers and views of the file that this layer did not make (it
    // makes no view, and only the counter and required-key triggers of its
    // tables and primary indexes): "trigger NAME on TABLE", "view NAME".
    QStringList foreignObjects() const;
    void createTable(const TableDef &def);        // 3010 when it exists
    void deleteTable(const QString &table);
    // Adds a field, at the given 0-based position or at the end (-1); existing
    // rows get initialValue (Null when Null).
    void addField(const QString &table, const FieldDef &field, int position = -1,
                  const Value &initialValue = Value());
    void deleteField(const QString &table, const QString &field);          // 3280 while indexed
    void resizeTextField(const QString &table, const QString &field, int size);
    void moveField(const QString &table, const QString &field, int position);
    void createIndex(const QString &table, const IndexDef &index);        // 3283, 3284
    void deleteIndex(const QString &table, const QString &indexName);     // 3265 when absent
    QStringList queryNames() const;
    bool queryExists(const QString &name) const;
    QString queryText(const QString &name) const;
    void createQuery(const QString &name, const QString &jetSql);         // 3012 when it exists
    void deleteQuery(const QString &name);
    // Saved queries with the DAO type found by parsing them (0 select, 16
    // crosstab, 128 union; 32 delete, 48 update, 64 append), in name order.
    struct QueryDefInfo { QString name; int type = 0; };
    QList<QueryDefInfo> queryDefs() const;
    // Replaces a saved query's text, checked as createQuery checks it, in one
    // transaction (3265 when there is no such query).
    void setQuerySql(const QString &name, const QString &jetSql);
    // Checks a statement against the schema as it stands: it must parse, every
    // name must be a column, an alias or a declared parameter (else 3061 "Too
    // few parameters. Expected n.") and the SQLite text must prepare.
    void checkQuery(const QString &jetSql);
    // The DAO query type a statement would be saved with (0 select, 16
    // crosstab, 128 union, 32 delete, 48 update, 64 append, 80 make-table);
    // throws as checkQuery does for a statement that does not translate.
    int statementType(const QString &jetSql) const;
    // The PARAMETERS a saved query declares, in order (3265 when absent).
    struct QueryParameter { QString name; FieldType type = FieldType::Text; };
    QList<QueryParameter> queryParameters(const QString &name) const;

    // The workstations connected, as the lock file lists them (computer, user).
    struct Connection { QString computer; QString user; };
    QList<Connection> connections() const;

    sqlite3 *handle() const;

    // How long a connection waits for another workstation's lock before an
    // operation fails with 3260 (for connections opened afterwards).
    static int busyTimeout();
    static void setBusyTimeout(int milliseconds);

    class Impl;
    Impl *impl() const { return d.get(); }

private:
    std::unique_ptr<Impl> d;
};

// A unit of work: rolls back unless committed.
class Transaction
{
public:
    explicit Transaction(Database &db, bool waitForDisk = true);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &m_db;
    bool m_done = false;
};

} // namespace platform
