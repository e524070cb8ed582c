#include "platform/db/Database.h"

#include "platform/db/DatabaseImpl.h"
#include "platform/db/DbErrors.h"
#include "platform/db/GuardedFileSystem.h"
#include "platform/db/ReadScope.h"
#include "platform/db/SchemaEditor.h"
#include "platform/db/UnfinishedReads.h"
#include "platform/db/WriteScope.h"
#include "platform/db/jet/JetParser.h"
#include "platform/UserFile.h"

#include <QtCore/QSet>
#include <QtCore/QFileInfo>

#include <sqlite3.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <optional>

#include <utility>

namespace platform {

namespace {

// A shop's lists are read whole and thrown away again and again (a board
// refilled, a report run twice): what one frees is kept for the next rather
// than handed back to the system, which gives it again page by page, each
// page cleared, when the next list is built. Up to 128 MB is kept.
void keepFreedMemoryForTheNextList()
{
#if defined(__GLIBC__)
    static const bool kept = [] {
        // Blocks up to 32 MB come from (and go back to) the heap, and the
        // heap's free top is let go only past 128 MB.
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
        return true;
    }();
    (void)kept;
#endif
}

// A write past the file-size limit the user's session sets fails (EFBIG)
// and is reported as a full disk, and the file stays as the last complete
// write left it, as for every file the program writes.
void failWritesPastTheSizeLimit()
{
    UserFile::FailWritesPastTheSizeLimit();
}

} // namespace

Database::Database()
    : d(std::make_unique<Impl>())
{
}

Database::~Database() = default;

void Database::create(const QString &path)
{
    failWritesPastTheSizeLimit();
    GuardedFileSystem::install();
    const QFileInfo info(path);
    if (info.exists())
        dberr::raise(dberr::DatabaseExists);
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(info.absoluteFilePath()).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const DbException e = dberr::fromConnection(db, rc, path);
        sqlite3_close_v2(db);
        throw e;
    }
    try {
        Statement(db, QStringLiteral("PRAGMA journal_mode = DELETE")).run();
        WriteScope write(db, path);
        FileCatalog::createMetaTables(db);
        write.commit();
    } catch (...) {
        sqlite3_close_v2(db);
        QFile::remove(info.absoluteFilePath());
        throw;
    }
    sqlite3_close_v2(db);
}

void Database::open(const QString &path, bool exclusive, bool readOnly)
{
    keepFreedMemoryForTheNextList();
    failWritesPastTheSizeLimit();
    GuardedFileSystem::install();
    d->open(path, exclusive, readOnly);
}

void Database::close()
{
    d->close();
}

bool Database::isOpen() const
{
    return d->isOpen();
}

bool Database::isExclusive() const
{
    return d->exclusive;
}

bool Database::isReadOnly() const
{
    return d->readOnly;
}

QString Database::name() const
{
    return d->path;
}

RebuildResult Database::rebuildCopy(const QString &copyPath, const RebuildProgress &progress)
{
    d->requireOpen();
    if (!d->exclusive)
        dberr::raise(dberr::FileInUse, QFileInfo(d->path).fileName());
    // The copy's own connection reads the file: this connection lends it
    // SQLite's lock meanwhile, while the lock file's gate, held exclusively,
    // keeps every other workstation out.
    UnfinishedReads::finishAll(d->db);
    d->exec(QStringLiteral("PRAGMA locking_mode = NORMAL"));
    d->exec(QStringLiteral("SELECT count(*) FROM sqlite_master")); // gives the file lock up
    const auto retake = [this] {
        d->exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
        sqlite3_exec(d->db, "BEGIN EXCLUSIVE; COMMIT", nullptr, nullptr, nullptr);
    };
    RebuildResult result;
    try {
        result = RebuildCopy(d->path, copyPath, progress);
    } catch (...) {
        retake();
        throw;
    }
    retake();
    return result;
}

QString Database::lockWarning() const
{
    return d->lockWarning;
}

void Database::execute(const QString &jetSql, const QList<Value> &parameters)
{
    d->requireOpen();
    d->catalog->refresh();
    const jet::Translation t = d->translate(d->sourceText(jetSql));
    if (t.kind == jet::Translation::Kind::Select || t.kind == jet::Translation::Kind::Crosstab)
        dberr::raise(dberr::SelectNotExecutable);
    d->requireWritable();
    Statement st = d->prepare(t.sql);
    d->bindParameters(st, t, parameters);
    // Fail on error: the statement applies to every row or to none. Inside a
    // transaction SQLite backs out a failed statement's rows itself (every
    // constraint and trigger of the file aborts) and the transaction goes on,
    // so the statement needs no savepoint of its own.
    std::optional<WriteScope> write;
    if (d->depth == 0)
        write.emplace(d->db, d->path);
    st.run();
    const int changes = sqlite3_changes(d->db);
    st.reset();
    if (write)
        write->commit();
    d->recordsAffected = changes;
}

int Database::recordsAffected() const
{
    return d->recordsAffected;
}

void Database::executeNative(const QString &sqliteSql)
{
    d->requireOpen();
    UnfinishedReads::finishAll(d->db);
    Statement st = d->prepare(sqliteSql);
    st.run();
    d->recordsAffected = sqlite3_changes(d->db);
    st.reset();
    d->schemaChanged();
}

void Database::beginTrans(bool waitForDisk)
{
    d->requireWritable();
    if (d->depth == 0) {
        UnfinishedReads::finishAll(d->db);
        d->resumeRead = ReadScope::suspend(d->db);
        d->restoreSync(); // left changed by a rollback that failed
        try {
            // The level can be changed only outside a transaction: it is set
            // for this one and put back as it ends.
            if (!waitForDisk && sqlite3_get_autocommit(d->db)) {
                const int level = d->syncLevel();
                if (level > 0) {
                    d->exec(QStringLiteral("PRAGMA synchronous = OFF"));
                    d->syncToRestore = level;
                }
            }
            d->exec(QStringLiteral("BEGIN IMMEDIATE"));
        } catch (...) {
            d->restoreSync();
            if (std::exchange(d->resumeRead, false))
                ReadScope::resume(d->db);
            throw;
        }
    } else {
        d->exec(QStringLiteral("SAVEPOINT jet_t%1").arg(d->depth));
    }
    ++d->depth;
}

void Database::commitTrans()
{
    d->requireOpen();
    if (d->depth == 0)
        dberr::raise(dberr::NoTransaction);
    if (d->depth == 1)
        d->exec(QStringLiteral("COMMIT"));
    else
        d->exec(QStringLiteral("RELEASE jet_t%1").arg(d->depth - 1));
    --d->depth;
    if (d->depth == 0)
        d->restoreSync();
    if (d->depth == 0 && d->resumeRead) {
        d->resumeRead = false;
        ReadScope::resume(d->db);
    }
}

void Database::rollback()
{
    d->requireOpen();
    if (d->depth == 0)
        dberr::raise(dberr::NoTransaction);
    --d->depth;
    if (d->depth == 0) {
        if (!sqlite3_get_autocommit(d->db))
            d->exec(QStringLiteral("ROLLBACK"));
        d->restoreSync();
    } else {
        d->exec(QStringLiteral("ROLLBACK TO jet_t%1").arg(d->depth));
        d->exec(QStringLiteral("RELEASE jet_t%1").arg(d->depth));
    }
    // The schema may have been rolled back with the rows.
    d->catalog->invalidate();
    if (d->depth == 0 && d->resumeRead) {
        d->resumeRead = false;
        ReadScope::resume(d->db);
    }
}

int Database::transactionDepth() const
{
    return d->depth;
}

QStringList Database::tableNames() const
{
    d->requireOpen();
    d->catalog->refresh();
    return d->catalog->tableNames();
}

bool Database::tableExists(const QString &table) const
{
    d->requireOpen();
    d->catalog->refresh();
    return d->catalog->table(table) != nullptr;
}

QStringList Database::foreignObjects() const
{
    d->requireOpen();
    d->catalog->refresh();
    // The names this layer gives its triggers, with the table of each.
    QSet<QString> known;
    const auto key = [](const QString &name, const QString &table) { return name.toLower() + QLatin1Char('\n') + table.toLower(); };
    for (const QString &table : d->catalog->tableNames())
        known.insert(key(QStringLiteral("jet_auto_") + table, table));
    if (d->catalog->hasMetaTables()) {
        Statement st = d->prepare(QStringLiteral("SELECT sqlname, tbl FROM jet_indexes WHERE is_primary <> 0"));
        while (st.step()) {
            const QString sqlName = st.storedValue(0).toString();
            const QString table = st.storedValue(1).toString();
            known.insert(key(QStringLiteral("jet_reqi_") + sqlName, table));
            known.insert(key(QStringLiteral("jet_requ_") + sqlName, table));
        }
    }
    QStringList out;
    Statement st = d->prepare(QStringLiteral(
        "SELECT type, name, tbl_name FROM sqlite_master WHERE type IN ('trigger', 'view') ORDER BY type, name"));
    while (st.step()) {
        const QString type = st.storedValue(0).toString();
        const QString name = st.storedValue(1).toString();
        const QString table = st.storedValue(2).toString();
        if (type == QLatin1String("view"))
            out << QStringLiteral("view %1").arg(name);
        else if (!known.contains(key(name, table)))
            out << QStringLiteral("trigger %1 on %2").arg(name, table);
    }
    return out;
}

TableDef Database::tableDef(const QString &table) const
{
    return SchemaEditor(*d).tableDef(table);
}

void Database::createTable(const TableDef &def)
{
    SchemaEditor(*d).createTable(def);
}

void Database::deleteTable(const QString &table)
{
    SchemaEditor(*d).deleteTable(table);
}

void Database::addField(const QString &table, const FieldDef &field, int position, const Value &initialValue)
{
    SchemaEditor(*d).addField(table, field, position, initialValue);
}

void Database::deleteField(const QString &table, const QString &field)
{
    SchemaEditor(*d).deleteField(table, field);
}

void Database::resizeTextField(const QString &table, const QString &field, int size)
{
    SchemaEditor(*d).resizeTextField(table, field, size);
}

void Database::moveField(const QString &table, const QString &field, int position)
{
    SchemaEditor(*d).moveField(table, field, position);
}

void Database::createIndex(const QString &table, const IndexDef &index)
{
    SchemaEditor(*d).createIndex(table, index);
}

void Database::deleteIndex(const QString &table, const QString &indexName)
{
    SchemaEditor(*d).deleteIndex(table, indexName);
}

QStringList Database::queryNames() const
{
    d->requireOpen();
    d->catalog->refresh();
    return d->catalog->queryNames();
}

bool Database::queryExists(const QString &name) const
{
    d->requireOpen();
    d->catalog->refresh();
    return d->catalog->queryName(name).has_value();
}

QString Database::queryText(const QString &name) const
{
    d->requireOpen();
    d->catalog->refresh();
    const std::optional<QString> text = d->catalog->savedQuery(name);
    if (!text)
        dberr::raise(dberr::ItemNotFound);
    return *text;
}

void Database::createQuery(const QString &name, const QString &jetSql)
{
    SchemaEditor(*d).createQuery(name, jetSql);
}

void Database::deleteQuery(const QString &name)
{
    SchemaEditor(*d).deleteQuery(name);
}

QList<Database::QueryDefInfo> Database::queryDefs() const
{
    d->requireOpen();
    d->catalog->refresh();
    QList<QueryDefInfo> out;
    for (const auto &[name, type] : d->catalog->queryDefs())
        out.append(QueryDefInfo{name, type});
    return out;
}

int Database::statementType(const QString &jetSql) const
{
    d->requireOpen();
    const jet::Translation t = d->translateSavedQuery(jetSql);
    if (!t.makeTable.isEmpty())
        return 80;
    return SchemaEditor::queryType(jetSql, int(t.kind));
}

void Database::setQuerySql(const QString &name, const QString &jetSql)
{
    SchemaEditor(*d).setQuerySql(name, jetSql);
}

void Database::checkQuery(const QString &jetSql)
{
    d->requireOpen();
    d->catalog->refresh();
    const jet::Translation t = d->translator->translate(jetSql);
    d->prepare(t.kind == jet::Translation::Kind::Crosstab ? t.pivotValuesSql : t.sql);
}

QList<Database::QueryParameter> Database::queryParameters(const QString &name) const
{
    jet::JetParser parser(queryText(name));
    const jet::syntax::Statement st = parser.parseStatement();
    QList<QueryParameter> out;
    for (const jet::syntax::ParameterDecl &p : st.parameters)
        out.append(QueryParameter{p.name, p.type});
    return out;
}

QList<Database::Connection> Database::connections() const
{
    if (!d->isOpen())
        return {};
    return LockFile::connections(LockFile::pathFor(d->path));
}

sqlite3 *Database::handle() const
{
    return d->db;
}

Transaction::Transaction(Database &db, bool waitForDisk)
    : m_db(db)
{
    m_db.beginTrans(waitForDisk);
}

Transaction::~Transaction()
{
    if (m_done || !m_db.isOpen())
        return;
    try {
        m_db.rollback();
    } catch (const DbException &) {
        // Nothing more can be undone.
    }
}

void Transaction::commit()
{
    if (m_done)
        return;
    m_db.commitTrans();
    m_done = true;
}

} // namespace platform
