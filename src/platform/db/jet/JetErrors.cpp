#include "platform/db/jet/JetErrors.h"

namespace platform::jet {

QString jetErrorText(int number, const QString &arg)
{
    switch (number) {
    case ErrInvalidCall: return QStringLiteral("Invalid procedure call or argument.");
    case ErrTooFewParameters: return QStringLiteral("Too few parameters. Expected %1.").arg(arg);
    case ErrWrongParameterType: return QStringLiteral("Wrong data type for parameter '%1'.").arg(arg);
    case ErrTableExists: return QStringLiteral("Table '%1' already exists.").arg(arg);
    case ErrSyntaxInExpression:
        return QStringLiteral("Syntax error (missing operator) in query expression '%1'.").arg(arg);
    case ErrNoInputTable:
        return QStringLiteral("The database engine cannot find the input table or query '%1'.").arg(arg);
    case ErrAmbiguousField:
        return QStringLiteral("The field '%1' could refer to more than one table in the FROM clause.").arg(arg);
    case ErrUndefinedFunction: return QStringLiteral("Undefined function '%1' in expression.").arg(arg);
    case ErrCircularQuery: return QStringLiteral("Circular reference caused by '%1'.").arg(arg);
    case ErrCircularAlias:
        return QStringLiteral("Circular reference caused by alias '%1' in the SELECT list.").arg(arg);
    case ErrUnknownInsertField:
        return QStringLiteral("The INSERT INTO statement contains the following unknown field name: '%1'.").arg(arg);
    case ErrInvalidStatement:
        return QStringLiteral("Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
    case ErrSyntaxInDelete: return QStringLiteral("Syntax error in DELETE statement.");
    case ErrSyntaxInFrom: return QStringLiteral("Syntax error in FROM clause.");
    case ErrSyntaxInInsert: return QStringLiteral("Syntax error in INSERT INTO statement.");
    case ErrSyntaxInOrderBy: return QStringLiteral("Syntax error in ORDER BY clause.");
    case ErrSyntaxInSelect:
        return QStringLiteral("The SELECT statement includes a reserved word or an argument name that is "
                              "misspelled or missing, or the punctuation is incorrect.");
    case ErrTrailingCharacters: return QStringLiteral("Characters found after end of SQL statement.");
    case ErrSyntaxInUpdate: return QStringLiteral("Syntax error in UPDATE statement.");
    case ErrFieldTooSmall:
        return QStringLiteral("The field is too small to accept the amount of data you attempted to add.");
    case ErrUnknownField:
        return QStringLiteral("The engine does not recognize '%1' as a valid field name or expression.").arg(arg);
    case ErrValueCountMismatch: return QStringLiteral("Number of query values and destination fields are not the same.");
    case ErrNumericOverflow: return QStringLiteral("Numeric field overflow.");
    case ErrQueryTooComplex: return QStringLiteral("Query is too complex.");
    case ErrConversion: return QStringLiteral("Data type conversion error.");
    case ErrTypeMismatch: return QStringLiteral("Data type mismatch in criteria expression.");
    default: break;
    }
    return arg;
}

DbException jetException(int number, const QString &arg)
{
    return DbException(number, jetErrorText(number, arg));
}

QByteArray jetFunctionError(int number, const QString &arg)
{
    return QStringLiteral("JET %1: %2").arg(number, 4, 10, QLatin1Char('0')).arg(jetErrorText(number, arg)).toUtf8();
}

} // namespace platform::jet
