#pragma once

#include "platform/db/DbException.h"

#include <QtCore/QString>

namespace platform::jet {

// The engine's error numbers the translator and the registered functions raise.
enum JetError : int {
    ErrInvalidCall = 5,             // "Invalid procedure call or argument." (a function's argument out of its domain)
    ErrTooFewParameters = 3061,     // "Too few parameters. Expected n."
    ErrWrongParameterType = 3060,
    ErrTableExists = 3010,
    ErrSyntaxInExpression = 3075,
    ErrNoInputTable = 3078,
    ErrAmbiguousField = 3079,
    ErrUndefinedFunction = 3085,
    ErrAggregateInExpression = 3095, // "Cannot have aggregate function in expression (expr)."
    ErrAggregateInWhere = 3096,
    ErrAggregateInGroupBy = 3098,   // "Cannot have aggregate function in GROUP BY clause (expr)."     // "Cannot have aggregate function in WHERE clause (expr)."
    ErrCircularQuery = 3102,
    ErrCircularAlias = 3103,
    ErrUnknownInsertField = 3127,
    ErrInvalidStatement = 3129,
    ErrSyntaxInDelete = 3130,
    ErrSyntaxInFrom = 3131,
    ErrSyntaxInInsert = 3134,
    ErrSyntaxInOrderBy = 3138,
    ErrSyntaxInSelect = 3141,
    ErrTrailingCharacters = 3142,
    ErrSyntaxInUpdate = 3144,
    ErrFieldTooSmall = 3163,
    ErrUnknownField = 3070,
    ErrValueCountMismatch = 3346,
    ErrNumericOverflow = 3349,
    ErrQueryTooComplex = 3360,
    ErrConversion = 3421,
    ErrTypeMismatch = 3464,
};

// The user's text of an error; arg fills the name or number the text quotes.
QString jetErrorText(int number, const QString &arg = QString());
// A DbException with that number and text.
DbException jetException(int number, const QString &arg = QString());
// The "JET nnnn: text" message a registered function returns to SQLite; the
// database layer turns it back into the error number.
QByteArray jetFunctionError(int number, const QString &arg = QString());

} // namespace platform::jet
