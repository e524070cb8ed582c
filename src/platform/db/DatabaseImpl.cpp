#include "platform/db/DatabaseImpl.h"
#include "platform/db/WriteCount.h"

#include "platform/db/DbErrors.h"
#include "platform/db/GuardedFileSystem.h"
#include "platform/db/HeldFileAudit.h"
#include "platform/db/KeyedRows.h"
#include "platform/db/LockWait.h"
#include "platform/db/SqlValues.h"
#include "platform/db/UnfinishedReads.h"
#include "platform/db/WriteScope.h"

#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <sqlite3.h>

#include <optional>

namespace platform {

namespace {

int g_busyTimeoutMs = 5000;

// A table whose list of changed rows grows past this is remembered as changed
// as a whole (bulk statements of the upgrade and maintenance).
constexpr int kMaxRowsNoted = 20000;

// The longest a statement waits for other workstations' locks while they
// keep changing hands.
constexpr qint64 kMostLockWaitMs = 60000;

int waitForLockOf(void *impl, int tries)
{
    return static_cast<Database::Impl *>(impl)->waitForLock(tries);
}

void onRowChanged(void *impl, int, const char *, const char *table, sqlite3_int64 rowid)
{
    static_cast<Database::Impl *>(impl)->noteWrite(table, rowid);
}

// tavrel_counter_taken(n): n as it is, kept for the connection that raised a counter with it.
void keepCounterTaken(sqlite3_context *context, int, sqlite3_value **arguments)
{
    static_cast<Database::Impl *>(sqlite3_user_data(context))->counterTaken = sqlite3_value_int64(arguments[0]);
    sqlite3_result_value(context, arguments[0]);
}

} // namespace

quint64 databaseWriteCount(const Database &db)
{
    return db.impl()->writeCount;
}

void Database::Impl::noteWrite(const char *table, std::int64_t rowid)
{
    ++writeCount;
    const quint64 now = ++ownWrites.clock;
    if (!ownWrites.lastRows || qstrcmp(table, ownWrites.lastTable.constData()) != 0) {
        // Another table: its list is looked up by its lower-case name (a
        // list added moves the others, so only this one is kept at hand).
        ownWrites.lastTable = QByteArray(table);
        ownWrites.lastName = ownWrites.lastTable.toLower();
        ownWrites.lastRows = &ownWrites.rows[ownWrites.lastName];
    }
    QHash<std::int64_t, quint64> &rows = *ownWrites.lastRows;
    if (rows.size() >= kMaxRowsNoted) {
        rows.clear();
        ownWrites.forgotten[ownWrites.lastName] = now;
        return;
    }
    rows[rowid] = now;
}

bool Database::Impl::wroteSince(const QString &table, std::int64_t rowid, quint64 mark) const
{
    const QByteArray name = table.toUtf8().toLower();
    if (ownWrites.forgotten.value(name, 0) > mark)
        return true;
    const auto rows = ownWrites.rows.constFind(name);
    return rows != ownWrites.rows.cend() && rows->value(rowid, 0) > mark;
}

void Database::Impl::installLockWait()
{
    sqlite3_busy_handler(db, &waitForLockOf, this);
}

// Several workstations saving at once take the file's write lock in turns,
// and one that writes back to back takes it again at once after each write:
// a wait that asks for the lock only now and then, with growing pauses, may
// find it taken every time and give up while the others are done within
// moments. So the wait asks every millisecond, and its budget counts from
// the last write another workstation finished (the file's change counter
// moved): a refusal (3260) comes only after the lock was held the whole
// budget with no write ending, when more waiting would not have helped, or
// after kMostLockWaitMs of turns.
int Database::Impl::waitForLock(int tries)
{
    if (tries == 0) {
        lockWaitStarted.start();
        lockUnchanged.start();
        lockCounter = changeCounter();
    } else if (tries % 8 == 0) {
        const quint32 now = changeCounter();
        if (now != lockCounter) {
            lockCounter = now;
            lockUnchanged.start();
        }
    }
    if (lockUnchanged.elapsed() >= lockBudgetMs || lockWaitStarted.elapsed() >= kMostLockWaitMs)
        return 0;
    sqlite3_sleep(1);
    return 1;
}

quint32 Database::Impl::changeCounter() const
{
    sqlite3_file *file = nullptr;
    if (!db || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file
        || !file->pMethods)
        return 0;
    unsigned char bytes[4] = {0, 0, 0, 0};
    if (file->pMethods->xRead(file, bytes, 4, 24) != SQLITE_OK)
        return 0;
    return (quint32(bytes[0]) << 24) | (quint32(bytes[1]) << 16) | (quint32(bytes[2]) << 8) | quint32(bytes[3]);
}

void RestoreLockWait(Database &db)
{
    if (db.impl() && db.impl()->db)
        db.impl()->installLockWait();
}

int Database::busyTimeout()
{
    return g_busyTimeoutMs;
}

void Database::setBusyTimeout(int milliseconds)
{
    g_busyTimeoutMs = milliseconds;
}

Database::Impl::~Impl()
{
    close();
}

void Database::Impl::open(const QString &filePath, bool wantExclusive, bool wantReadOnly)
{
    close();
    const QFileInfo info(filePath);
    const QString absolute = info.absoluteFilePath();
    if (!info.exists() || !info.isFile())
        dberr::raise(dberr::FileNotFound, absolute);
    // A file marked read-only is never written, even by a user whom the
    // system would let: it opens for reading alone or not at all.
    constexpr QFile::Permissions kWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!wantReadOnly && (!info.isWritable() || !(info.permissions() & kWrite)))
        dberr::raise(dberr::ReadOnly);

    try {
        try {
            lock = std::make_unique<LockFile>(absolute, wantExclusive);
        } catch (const DbException &e) {
            // A read-only share where no lock file can be made, or a full
            // disk: reading alone needs no registration. The connection is
            // then not listed, which the warning says.
            if (!(wantReadOnly && (e.number() == dberr::CannotOpenFile || e.number() == dberr::DiskFull)))
                throw;
            lockWarning = QStringLiteral("This workstation is not listed in the lock file (%1): %2")
                              .arg(LockFile::pathFor(absolute), e.description());
        }

        // Before the engine reads the file: a journal there would be rolled
        // back into it at its first read.
        GuardedFileSystem::checkBeside(absolute);

        const int flags = (wantReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
        const int rc = sqlite3_open_v2(QFile::encodeName(absolute).constData(), &db, flags, nullptr);
        if (rc != SQLITE_OK) {
            // A file that is there but cannot be opened is a matter of
            // permission (3051), not a missing file.
            const bool there = QFileInfo::exists(absolute);
            const DbException e = (rc & 0xff) == SQLITE_CANTOPEN
                ? dberr::error(there ? dberr::CannotOpenFile : dberr::FileNotFound, there ? info.fileName() : absolute)
                : dberr::fromConnection(db, rc, absolute);
            sqlite3_close_v2(db);
            db = nullptr;
            throw e;
        }
        path = absolute;
        exclusive = wantExclusive;
        readOnly = wantReadOnly;
        HeldFileAudit::opened(db, absolute, exclusive);
        sqlite3_extended_result_codes(db, 1);
        statements = std::make_shared<StatementCache>(db, absolute);
        lockBudgetMs = g_busyTimeoutMs;
        installLockWait();
        sqlite3_update_hook(db, &onRowChanged, this);
        jet::registerFunctions(db);
        KeyedRows::registerReader(db);
        counterFunction = sqlite3_create_function_v2(db, "tavrel_counter_taken", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, this,
                                                     &keepCounterTaken, nullptr, nullptr, nullptr)
            == SQLITE_OK;

        // Anything but a database (or a damaged one) fails here with 3049.
        exec(QStringLiteral("PRAGMA schema_version"));
        if (!readOnly && sqlite3_db_readonly(db, "main") == 1)
            dberr::raise(dberr::ReadOnly); // the system would let it be read only
        if (!readOnly)
            exec(QStringLiteral("PRAGMA journal_mode = DELETE")); // never WAL: the file is shared over the network
        exec(QStringLiteral("PRAGMA cache_size = -16000"));
        if (exclusive) {
            // Hold SQLite's own exclusive lock for the life of the connection,
            // so that no other program can read or write behind our back.
            exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
            const int brc = sqlite3_exec(db, "BEGIN EXCLUSIVE; COMMIT", nullptr, nullptr, nullptr);
            if (brc != SQLITE_OK) {
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
                if ((brc & 0xff) == SQLITE_BUSY || (brc & 0xff) == SQLITE_LOCKED)
                    dberr::raise(dberr::FileInUse, info.fileName());
                throw dberr::fromConnection(db, brc, absolute);
            }
        }
        catalog = std::make_unique<FileCatalog>(db);
        catalog->refresh();
        translator = std::make_unique<jet::JetTranslator>(*catalog);
        static quint64 serial = 0;
        openSerial = ++serial;
        ++writeCount; // the file may hold what others wrote meanwhile
    } catch (...) {
        close();
        throw;
    }
}

void Database::Impl::close()
{
    // Sets still reading keep the rows of the moment they opened: they are
    // read to their end while the file is still open.
    UnfinishedReads::finishAll(db);
    translator.reset();
    catalog.reset();
    fieldShapes.clear();
    // The statements held for counters go with the connection.
    for (Sequence &sequence : sequences)
        sequence.raiseTaken.reset();
    if (statements) {
        // Statements still checked out are finalized as they come back.
        statements->close();
        statements.reset();
    }
    if (db) {
        if (!sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        // Statements still held by recordsets keep the handle alive until they
        // are finalized; the recordsets see the database closed (3420).
        HeldFileAudit::closed(db);
        sqlite3_close_v2(db);
        db = nullptr;
    }
    lock.reset();
    lockWarning.clear();
    ownWrites = OwnWrites();
    openSerial = 0;
    path.clear();
    exclusive = false;
    readOnly = false;
    depth = 0;
    syncToRestore = -1;
}

int Database::Impl::syncLevel() const
{
    Statement st = prepare(QStringLiteral("PRAGMA synchronous"));
    const int level = st.step() ? int(st.integer(0)) : 2;
    st.reset();
    return level;
}

void Database::Impl::restoreSync()
{
    if (syncToRestore < 0 || !db || !sqlite3_get_autocommit(db))
        return;
    sqlite3_exec(db, QStringLiteral("PRAGMA synchronous = %1").arg(syncToRestore).toUtf8().constData(), nullptr, nullptr,
                 nullptr);
    syncToRestore = -1;
}

Statement Database::Impl::prepare(const QString &sql) const
{
    if (!statements)
        return Statement(db, sql, path);
    if (catalog)
        statements->setGeneration(catalog->schemaGeneration());
    return statements->prepare(sql);
}

void Database::Impl::requireOpen() const
{
    if (!db)
        dberr::raise(dberr::ObjectInvalid);
}

void Database::Impl::requireWritable() const
{
    requireOpen();
    if (readOnly)
        dberr::raise(dberr::ReadOnly);
}

jet::Translation Database::Impl::translate(const QString &jetSql)
{
    requireOpen();
    catalog->refresh();
    return translator->translate(jetSql);
}

QString Database::Impl::sourceText(const QString &source) const
{
    QString name = source.trimmed();
    if (name.endsWith(QLatin1Char(';')))
        name.chop(1);
    if (name.isEmpty() || name.contains(QLatin1Char('[')) || name.contains(QLatin1Char(']')))
        return source;
    // A statement is not looked up in the schema each time it is opened (a
    // name has at most 64 characters).
    static const QRegularExpression statementHead(QStringLiteral("^(SELECT|TRANSFORM|PARAMETERS|INSERT|UPDATE|DELETE)\\s"),
                                                  QRegularExpression::CaseInsensitiveOption);
    if (name.size() > 64 && statementHead.match(name).hasMatch())
        return source;
    // A shorter one is looked up once for each state of the catalog.
    if (statementTextsGeneration != catalog->schemaGeneration() || statementTexts.size() > 2000) {
        statementTexts.clear();
        statementTextsGeneration = catalog->schemaGeneration();
    }
    if (statementTexts.contains(name))
        return source;
    if (catalog->table(name) || catalog->queryName(name))
        return QLatin1Char('[') + name + QLatin1Char(']');
    if (statementHead.match(name).hasMatch())
        statementTexts.insert(name);
    return source;
}

jet::Translation Database::Impl::translateSavedQuery(const QString &jetSql)
{
    requireOpen();
    catalog->refresh();
    return translator->translateSavedQuery(jetSql);
}

jet::Translation Database::Impl::translateWithFilter(const QString &jetSql, const QString &filter, const QString &sort)
{
    requireOpen();
    catalog->refresh();
    return translator->translateWithFilter(jetSql, filter, sort);
}

QString Database::Impl::translateCriterion(const QString &criterion, const QList<jet::ResultColumn> &columns)
{
    requireOpen();
    return translator->translateCriterion(criterion, columns);
}

void Database::Impl::bindParameters(Statement &st, const jet::Translation &t, const QList<Value> &values) const
{
    const int expected = int(t.parameters.size());
    if (values.size() < expected)
        dberr::raise(dberr::TooFewParameters, QString::number(expected - values.size()));
    for (int i = 0; i < expected; ++i) {
        Value v = values[i];
        const FieldType type = i < t.parameterTypes.size() ? t.parameterTypes[i] : FieldType::Empty;
        if (!v.isNull() && type != FieldType::Empty && !isTextType(type)) {
            // A typed parameter given as text is read as its type; blank is Null.
            if (isTextType(v.type()) && v.toString().trimmed().isEmpty())
                v = Value::nullOf(type);
            else
                v = jet::storeAs(v, type, 255);
        }
        st.bind(i + 1, v);
    }
}

namespace {

// An AutoNumber is a Long: past 2147483647 no number is given, never one
// that a Long field would hold as another.
void refuseBeyondLong(std::int64_t value)
{
    if (value > 2147483647)
        dberr::raise(dberr::NumericOverflow);
}

} // namespace

std::int64_t Database::Impl::takeAutoNumber(const QString &table)
{
    requireWritable();
    const FileCatalog::Table *t = catalog->table(table);
    if (!t)
        dberr::raise(dberr::ItemNotFound);
    int column = -1;
    for (int i = 0; i < t->autoNumber.size(); ++i) {
        if (t->autoNumber[i])
            column = i;
    }
    if (column < 0)
        dberr::raise(dberr::ItemNotFound);
    const QString tableName = t->name;
    const QString columnName = t->columns[column].name;

    // Inside a transaction a rowid AutoNumber is taken by one statement that
    // changes a row (a counter raised or added; a raise that finds no row
    // changes nothing) and needs no savepoint of its own.
    std::optional<WriteScope> write;
    if (depth == 0 || column != t->rowidCounter)
        write.emplace(db, path);
    else
        UnfinishedReads::finishAll(db);
    std::int64_t value = 0;
    // Raises the table's counter row, then reads the number taken; false when
    // the table has no counter row yet. (A plain update: one that returns its
    // rows would be run as a trigger, under a statement journal of its own.)
    auto raiseCounter = [&](const QString &raise, const QString &read) {
        {
            Statement st = prepare(raise);
            st.bind(1, Value(tableName));
            st.run();
        }
        if (sqlite3_changes(db) == 0)
            return false;
        Statement st = prepare(read);
        st.bind(1, Value(tableName));
        if (st.step()) {
            value = st.integer(0);
            if (st.columnCount() > 1)
                sequences[tableName].row = st.integer(1);
        }
        return true;
    };
    if (column == t->rowidCounter) {
        // SQLite keeps the last number of a rowid AutoNumber: the next one is
        // past it and past every row, and is taken by raising it. Its row is
        // raised by rowid where it was found before (no search of the
        // counters, no list of rows to change), by name otherwise.
        Sequence &sequence = sequences[tableName];
        if (sequence.raiseRow.isEmpty()) {
            const QString past =
                QStringLiteral("(SELECT coalesce(max(rowid), 0) FROM %1)").arg(sqlvalues::quoteName(tableName));
            sequence.raiseRow =
                QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, %1) + 1 WHERE rowid = ?2 AND name = ?1").arg(past);
            sequence.raiseRowTaken = QStringLiteral("UPDATE sqlite_sequence SET seq = tavrel_counter_taken(max(seq, %1) + 1) "
                                                    "WHERE rowid = ?2 AND name = ?1")
                                         .arg(past);
            sequence.raiseNamed = QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, %1) + 1 WHERE name = ?1").arg(past);
            sequence.insertNamed =
                QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT ?1, %1 + 1 RETURNING seq").arg(past);
        }
        bool found = false;
        if (sequence.row >= 0) {
            // Raised through the function, the counter gives its new number
            // as it is stored; otherwise that is read back.
            const bool taken = counterFunction;
            counterTaken = 0;
            if (taken) {
                if (!sequence.raiseTaken)
                    sequence.raiseTaken = std::make_shared<Statement>(prepare(sequence.raiseRowTaken));
                Statement &st = *sequence.raiseTaken;
                st.bind(1, Value(tableName));
                st.bind(2, Value(sequence.row, FieldType::Long));
                try {
                    st.run();
                } catch (...) {
                    sequence.raiseTaken.reset(); // a failed statement is never used again
                    throw;
                }
                st.reset();
            } else {
                Statement st = prepare(sequence.raiseRow);
                st.bind(1, Value(tableName));
                st.bind(2, Value(sequence.row, FieldType::Long));
                st.run();
            }
            if (sqlite3_changes(db) > 0) {
                if (taken) {
                    value = counterTaken;
                } else {
                    Statement st = prepare(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE rowid = ?1"));
                    st.bind(1, Value(sequence.row, FieldType::Long));
                    if (st.step())
                        value = st.integer(0);
                }
                found = true;
            }
        }
        if (!found) {
            sequence.row = -1;
            found = raiseCounter(sequence.raiseNamed, QStringLiteral("SELECT seq, rowid FROM sqlite_sequence WHERE name = ?1"));
        }
        if (!found) {
            Statement add = prepare(sequence.insertNamed);
            add.bind(1, Value(tableName));
            if (add.step())
                value = add.integer(0);
            add.run();
        }
        refuseBeyondLong(value);
        if (write)
            write->commit();
        return value;
    }
    FileCatalog::createMetaTables(db);
    {
        const bool found =
            raiseCounter(QStringLiteral("UPDATE jet_counters SET next = next + 1 WHERE tbl = ?1"),
                         QStringLiteral("SELECT next - 1 FROM jet_counters WHERE tbl = ?1"));
        if (!found) {
            Statement top = prepare(QStringLiteral("SELECT coalesce(max(%1), 0) + 1 FROM %2")
                                        .arg(sqlvalues::quoteName(columnName), sqlvalues::quoteName(tableName)));
            value = top.step() ? top.integer(0) : 1;
            Statement add = prepare(QStringLiteral("INSERT INTO jet_counters (tbl, col, next) VALUES (?1, ?2, ?3)"));
            add.bind(1, Value(tableName));
            add.bind(2, Value(columnName));
            add.bind(3, Value(value + 1, FieldType::Long));
            add.run();
        }
    }
    refuseBeyondLong(value);
    write->commit();
    return value;
}

void Database::Impl::schemaChanged()
{
    if (catalog)
        catalog->refresh();
}

} // namespace platform
