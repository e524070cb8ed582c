#pragma once

#include "platform/db/DbException.h"

#include <QtCore/QString>

struct sqlite3;

namespace platform::dberr {

// The engine's error numbers raised by the database layer itself.
enum : int {
    ReservedError = 3000,
    TableExists = 3010,
    ObjectExists = 3012,
    UpdateWithoutEdit = 3020,
    NoCurrentRecord = 3021,
    DuplicateKey = 3022,
    FileNotFound = 3024,
    DiskFull = 3026,
    ReadOnly = 3027,
    NoTransaction = 3034,
    ResourceExceeded = 3035,
    DiskOrNetwork = 3043,
    FileInUse = 3045,
    NotADatabase = 3049,
    CannotOpenFile = 3051,
    NullInIndex = 3058,
    OperationCanceled = 3059,
    TooFewParameters = 3061,
    SelectNotExecutable = 3065,
    SyntaxInExpression = 3075,
    TableNotFound = 3078,
    InvalidStatement = 3129,
    AfterEndOfStatement = 3142,
    FieldTooSmall = 3163,
    FieldNotUpdatable = 3164,
    RecordDeleted = 3167,
    FieldDefinedTwice = 3191,
    WriteConflict = 3197,
    DatabaseExists = 3204,
    InvalidOperation = 3219,
    Locked = 3260,
    ItemNotFound = 3265,
    FieldInIndex = 3280,
    PrimaryKeyExists = 3283,
    IndexExists = 3284,
    ObjectInvalid = 3420,
    ConversionError = 3421,
    TypeMismatch = 3464,
    NumericOverflow = 3349,
    AggregateInWhere = 3096,
    AggregateInGroupBy = 3098,
    SubqueryFields = 3306,
    QueryTooComplex = 3360,
};

// The engine's description of an error; "%1" in it takes the argument (a
// file, table, field or expression).
QString text(int number, const QString &argument = QString());

DbException error(int number, const QString &argument = QString());
[[noreturn]] void raise(int number, const QString &argument = QString());

// The engine error for an SQLite result code and message. Messages of the
// form "JET nnnn: text" (raised by the registered functions and by the
// layer's triggers) keep their number and text.
DbException fromSqlite(int resultCode, const QString &message, const QString &fileName = QString());
// Whether a failed write left no room: the disk is full, the user's share
// of it is used up, or the file may grow no further (the file-size limit);
// systemError is the system's error of the write.
bool leavesNoRoom(int resultCode, int systemError);
// The same for the last error of a connection.
DbException fromConnection(sqlite3 *db, int resultCode, const QString &fileName = QString());

} // namespace platform::dberr
