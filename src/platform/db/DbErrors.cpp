#include "platform/db/DbErrors.h"

#include "platform/db/GuardedFileSystem.h"

#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <sqlite3.h>

#include <cerrno>

namespace platform::dberr {

namespace {

struct Entry { int number; const char *text; };

// The engine's own wording; "%1" stands for the object named.
constexpr Entry kTexts[] = {
    {ReservedError, "Reserved error (%1); there is no message for this error."},
    {TableExists, "Table '%1' already exists."},
    {ObjectExists, "Object '%1' already exists."},
    {UpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit."},
    {NoCurrentRecord, "No current record."},
    {DuplicateKey, "The changes were not successful because they would create duplicate values in the index or primary key."},
    {FileNotFound, "Could not find file '%1'."},
    {DiskFull, "Not enough space on disk."},
    {ReadOnly, "Cannot update. Database or object is read-only."},
    {NoTransaction, "You tried to commit or rollback a transaction without first beginning a transaction."},
    {ResourceExceeded, "System resource exceeded."},
    {DiskOrNetwork, "Disk or network error."},
    {FileInUse, "Could not use '%1'; file already in use."},
    {NotADatabase, "Cannot open database '%1'. It may not be a database, or the file may be corrupt."},
    {CannotOpenFile, "Cannot open the file '%1'. It is already opened exclusively by another user, or you need permission to view its data."},
    {NullInIndex, "Index or primary key cannot contain a Null value."},
    {OperationCanceled, "Operation canceled by user."},
    {3060, "Wrong data type for parameter '%1'."},
    {TooFewParameters, "Too few parameters. Expected %1."},
    {SelectNotExecutable, "Cannot execute a select query."},
    {SyntaxInExpression, "Syntax error (missing operator) in query expression '%1'."},
    {TableNotFound, "The database engine cannot find the input table or query '%1'."},
    {3079, "The field '%1' could refer to more than one table in the FROM clause."},
    {3085, "Undefined function '%1' in expression."},
    {InvalidStatement, "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."},
    {3131, "Syntax error in FROM clause."},
    {3138, "Syntax error in ORDER BY clause."},
    {AfterEndOfStatement, "Characters found after end of SQL statement."},
    {FieldTooSmall, "The field is too small to accept the amount of data you attempted to add."},
    {FieldNotUpdatable, "Field can't be updated."},
    {RecordDeleted, "Record is deleted."},
    {FieldDefinedTwice, "Cannot define field more than once."},
    {WriteConflict, "The engine stopped the process because you and another user are attempting to change the same data at the same time."},
    {DatabaseExists, "Database already exists."},
    {InvalidOperation, "Invalid operation."},
    {Locked, "Couldn't update; currently locked by another workstation."},
    {ItemNotFound, "Item not found in this collection."},
    {FieldInIndex, "Can't delete a field that belongs to an index or is needed by the system."},
    {PrimaryKeyExists, "Primary key already exists."},
    {IndexExists, "Index already exists."},
    {ObjectInvalid, "Object is invalid or no longer set."},
    {ConversionError, "Data type conversion error."},
    {TypeMismatch, "Data type mismatch in criteria expression."},
    {NumericOverflow, "Numeric field overflow."},
    {3103, "Circular reference caused by alias '%1' in the SELECT list."},
    {AggregateInWhere, "Cannot have aggregate function in WHERE clause (%1)."},
    {AggregateInGroupBy, "Cannot have aggregate function in GROUP BY clause (%1)."},
    {SubqueryFields, "You have written a subquery that can return more than one field without using the EXISTS reserved word in the main query's FROM clause. Revise the SELECT statement of the subquery to request only one field."},
    {QueryTooComplex, "Query is too complex."},
};

// SQLite names the object in its messages: "no such table: Jobs".
QString objectAfterColon(const QString &message)
{
    const int colon = message.indexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : message.mid(colon + 1).trimmed();
}

} // namespace

QString text(int number, const QString &argument)
{
    for (const Entry &e : kTexts) {
        if (e.number == number) {
            QString t = QString::fromUtf8(e.text);
            if (t.contains(QLatin1String("%1")))
                t.replace(QLatin1String("%1"), argument);
            return t;
        }
    }
    return QString::fromUtf8(kTexts[0].text).replace(QLatin1String("%1"), QString::number(number));
}

DbException error(int number, const QString &argument)
{
    return DbException(number, text(number, argument));
}

void raise(int number, const QString &argument)
{
    throw error(number, argument);
}

DbException fromSqlite(int rc, const QString &message, const QString &fileName)
{
    // A registered function or trigger speaks in the engine's numbers.
    static const QRegularExpression jetMessage(QStringLiteral("^JET (\\d{4}): ?(.*)$"),
                                               QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = jetMessage.match(message);
    if (m.hasMatch())
        return DbException(m.captured(1).toInt(), m.captured(2));

    const QString file = fileName.isEmpty() ? QString() : QFileInfo(fileName).fileName();
    switch (rc & 0xff) {
    case SQLITE_CONSTRAINT:
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            return error(DuplicateKey);
        if (rc == SQLITE_CONSTRAINT_NOTNULL)
            return error(NullInIndex);
        return error(ReservedError, message);
    case SQLITE_IOERR:
    case SQLITE_PROTOCOL:
    case SQLITE_CANTOPEN:
        return error(DiskOrNetwork);
    case SQLITE_FULL:
        return error(DiskFull);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return error(NotADatabase, file);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return error(Locked);
    case SQLITE_READONLY:
        // The file the connection opened was replaced or removed meanwhile:
        // it is not to be found where it was, which is no read-only file.
        if (rc == SQLITE_READONLY_DBMOVED)
            return error(FileNotFound, file);
        return error(ReadOnly);
    case SQLITE_NOMEM:
        return error(ResourceExceeded);
    case SQLITE_MISMATCH:
        return error(TypeMismatch);
    case SQLITE_TOOBIG:
        return error(FieldTooSmall);
    case SQLITE_ERROR:
        if (message.startsWith(QLatin1String("no such table")))
            return error(TableNotFound, objectAfterColon(message));
        if (message.startsWith(QLatin1String("no such column")))
            return error(TooFewParameters, QStringLiteral("1"));
        if (message.startsWith(QLatin1String("no such function")))
            return error(3085, objectAfterColon(message));
        if (message.contains(QLatin1String("syntax error")) || message.startsWith(QLatin1String("incomplete input")))
            return error(InvalidStatement);
        if (message.contains(QLatin1String("already exists")))
            return error(TableExists, message.section(QLatin1Char(' '), 1, 1));
        // What Jet has a number of its own for.
        if (message.startsWith(QLatin1String("aggregate functions are not allowed in the GROUP BY")))
            return error(AggregateInGroupBy, objectAfterColon(message));
        if (message.startsWith(QLatin1String("misuse of aggregate")))
            return error(AggregateInWhere, objectAfterColon(message));
        if (message.startsWith(QLatin1String("sub-select returns")) || message.startsWith(QLatin1String("row value misused")))
            return error(SubqueryFields);
        if (message == QLatin1String("integer overflow"))
            return error(NumericOverflow);
        if (message.startsWith(QLatin1String("parser stack overflow")) || message.startsWith(QLatin1String("Expression tree is too large"))
            || message.startsWith(QLatin1String("too many terms in compound SELECT"))
            || message.startsWith(QLatin1String("at most ")) || message.startsWith(QLatin1String("too many FROM clause terms")))
            return error(QueryTooComplex);
        break;
    default:
        break;
    }
    return error(ReservedError, message);
}

bool leavesNoRoom(int resultCode, int systemError)
{
    if ((resultCode & 0xff) == SQLITE_FULL)
        return true;
    return (resultCode & 0xff) == SQLITE_IOERR
        && (systemError == EFBIG || systemError == ENOSPC
#ifdef EDQUOT
            || systemError == EDQUOT
#endif
        );
}

DbException fromConnection(sqlite3 *db, int rc, const QString &fileName)
{
    const int extended = db ? sqlite3_extended_errcode(db) : rc;
    // A write refused because the file may grow no further (the file-size
    // limit) or the user's share of the disk is used up leaves no room, as a
    // full disk does.
    // The engine does not always keep the system's error of a failed write;
    // it is then still the last one the system gave.
    const int lastError = errno;
    // A journal beside the database that the file system refused to use.
    if ((extended & 0xff) == SQLITE_PERM) {
        if (std::optional<DbException> refused = GuardedFileSystem::takeRefusal())
            return *refused;
    }
    if (db && (extended & 0xff) == SQLITE_IOERR
        && leavesNoRoom(extended, sqlite3_system_errno(db) ? sqlite3_system_errno(db) : lastError))
        return error(DiskFull);
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    return fromSqlite(extended != SQLITE_OK ? extended : rc, message, fileName);
}

} // namespace platform::dberr
