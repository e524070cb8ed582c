#pragma once

#include "platform/db/Database.h"
#include "platform/db/FileCatalog.h"
#include "platform/db/LockFile.h"
#include "platform/db/Statement.h"
#include "platform/db/StatementCache.h"
#include "platform/db/jet/JetTranslator.h"

#include <QtCore/QByteArray>
#include <QtCore/QElapsedTimer>
#include <QtCore/QHash>
#include <QtCore/QSet>
#include <QtCore/QString>

#include <memory>

namespace platform {

// The state of an open database: the SQLite connection, the lock-file
// registration, the schema catalog and the translator over it.
class Database::Impl
{
public:
    ~Impl();

    void open(const QString &path, bool exclusive, bool readOnly);
    void close();
    bool isOpen() const { return db != nullptr; }
    // 3420 when the database has been closed under a user of it.
    void requireOpen() const;
    // 3027 when the file was opened read-only.
    void requireWritable() const;

    // Row statements come from the connection's cache of prepared statements.
    Statement prepare(const QString &sql) const;
    void exec(const QString &sql) const { prepare(sql).run(); }
    // The connection's synchronous level (0 off, 1 normal, 2 full, 3 extra).
    int syncLevel() const;
    // Puts back the level a transaction that did not wait for the disk
    // changed, once the connection is outside a transaction again.
    void restoreSync();

    // A statement, or a table's or saved query's name alone; a recordset's
    // source also takes a filter and a sort.
    jet::Translation translate(const QString &jetSql);
    // A source that is a table's or saved query's name as it stands (blanks
    // and all) becomes that name in brackets; anything else is unchanged.
    QString sourceText(const QString &source) const;
    // A saved query's text: names that resolve to nothing become parameters.
    jet::Translation translateSavedQuery(const QString &jetSql);
    jet::Translation translateWithFilter(const QString &jetSql, const QString &filter, const QString &sort);
    QString translateCriterion(const QString &criterion, const QList<jet::ResultColumn> &columns);

    // Binds the parameters of a translation in order (1 ...), converted to
    // their declared types; 3061 when too few are given.
    void bindParameters(Statement &st, const jet::Translation &t, const QList<Value> &values) const;

    // Takes the next AutoNumber of a table at once (a cancelled add leaves a gap).
    std::int64_t takeAutoNumber(const QString &table);

    // After a schema change by this connection.
    void schemaChanged();

    // The rows this connection changed, told apart from other workstations'
    // changes: a recordset that read a row before this connection changed it
    // reads it again at Edit (the program's own change), while a change it
    // did not make fails the Update with 3197.
    quint64 writeMark() const { return ownWrites.clock; }
    bool wroteSince(const QString &table, std::int64_t rowid, quint64 mark) const;
    void noteWrite(const char *table, std::int64_t rowid);
    struct OwnWrites
    {
        quint64 clock = 0;
        QHash<QByteArray, QHash<std::int64_t, quint64>> rows; // table (lower case) -> rowid -> clock
        QHash<QByteArray, quint64> forgotten; // table -> clock when its list grew too long and was dropped
        // The table written last, as SQLite named it, and its list: the next
        // write is most often to it.
        QByteArray lastTable;
        QByteArray lastName;
        QHash<std::int64_t, quint64> *lastRows = nullptr;
    };
    OwnWrites ownWrites;
    // Rows written and openings, counted for the life of the object (never
    // reset): whoever shows rows compares it with the count when it read them.
    quint64 writeCount = 0;

    sqlite3 *db = nullptr;
    QString path;
    bool exclusive = false;
    bool readOnly = false;
    int depth = 0;
    bool resumeRead = false; // the outer transaction ended a read scope's
    int syncToRestore = -1;  // the outer transaction's commit does not wait for the disk: the level to put back
    int recordsAffected = 0;
    quint64 openSerial = 0; // changes with every open, so old recordsets notice
    std::shared_ptr<StatementCache> statements;
    std::unique_ptr<LockFile> lock;
    QString lockWarning; // why a read-only connection is not in the lock file
    std::unique_ptr<FileCatalog> catalog;
    std::unique_ptr<jet::JetTranslator> translator;

    // A statement's fields as its recordsets read them, by the statement's
    // SQLite text; good while the schema stays as it was then.
    struct FieldShape
    {
        quint64 generation = 0;
        std::vector<FieldType> types;
        QList<bool> autoNumber;
        QHash<QString, int> byName; // lower-case name -> first field of that name
        // The first field of each name as it is spelt: found without
        // lower-casing the name asked for.
        QHash<QString, int> bySpelling;
    };
    QHash<QString, FieldShape> fieldShapes;
    // Short texts that begin like a statement and name no table or saved
    // query, as sourceText found them under the catalog's generation.
    mutable QSet<QString> statementTexts;
    mutable quint64 statementTextsGeneration = 0;
    // A table's rowid AutoNumber counter: the statements that raise it, and
    // the row of sqlite_sequence last found holding it (-1 before; checked by
    // name each time it is used, so a row moved or gone is only looked for).
    struct Sequence
    {
        std::int64_t row = -1;
        QString raiseRow;
        QString raiseRowTaken; // the same, giving the number through tavrel_counter_taken
        std::shared_ptr<Statement> raiseTaken; // held prepared while the connection is open
        QString raiseNamed;
        QString insertNamed;
    };
    QHash<QString, Sequence> sequences;
    // The connection's SQL function tavrel_counter_taken(n), which gives n
    // back and keeps it here: a counter raised through it needs no read
    // afterwards. False when it could not be made.
    bool counterFunction = false;
    std::int64_t counterTaken = 0;

    // The wait for another workstation's lock (installLockWait): the budget
    // taken when the connection opened, and the state of the wait under way.
    void installLockWait();
    int waitForLock(int tries);
    // The file's change counter (its header's bytes 24-27), read through the
    // engine's own handle of the file (no second handle whose closing would
    // drop the engine's locks); 0 when it cannot be read.
    quint32 changeCounter() const;
    int lockBudgetMs = 5000;
    QElapsedTimer lockWaitStarted;
    QElapsedTimer lockUnchanged;
    quint32 lockCounter = 0;
};

} // namespace platform
