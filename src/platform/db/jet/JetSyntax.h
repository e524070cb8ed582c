#pragma once

#include "platform/Value.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

// The statement tree the parser builds and the emitter walks.
namespace platform::jet::syntax {

struct Query;

struct Expr
{
    enum Kind {
        Null, Integer, Decimal, String, Date, Boolean,  // literals
        Name,        // parts: [table.]column
        Star,        // * in Count(*)
        Placeholder, // ? bound by position
        Unary,       // op: "-", "+", "not"
        Binary,      // op: "^" "*" "/" "\\" "mod" "+" "-" "&" "=" "<>" "<" ">" "<=" ">=" "and" "or" "xor" "eqv" "imp"
        Like,        // args[0] like args[1]
        Between,     // args[0] between args[1] and args[2]
        In,          // args[0] in (args[1..]) or (subquery)
        IsNull,      // args[0] is [not] null
        Call,        // name(args)
        Subquery,    // (select ...)
        Exists,      // exists (select ...)
    };
    Kind kind = Null;
    QString op;               // operator, function name (as written)
    QStringList parts;        // Name
    qint64 integer = 0;       // Integer, Boolean (-1 / 0), Placeholder ordinal
    double number = 0;        // Decimal, Date (serial)
    QString text;             // String value; Decimal/Integer source text
    bool negated = false;     // Not Like, Not Between, Not In, Is Not Null
    std::vector<std::unique_ptr<Expr>> args;
    std::shared_ptr<Query> query;  // Subquery, Exists, In (subquery)
    qsizetype pos = 0;        // where it starts in the statement text
    qsizetype end = 0;        // where it ends
    int depth = 1;            // levels of the tree from here down (the parser's nesting limit)

    bool isLiteral() const { return kind <= Boolean; }
};
using ExprPtr = std::unique_ptr<Expr>;

struct SelectItem
{
    ExprPtr expr;             // null for * and t.*
    QString alias;
    bool hasAlias = false;
    bool star = false;
    QString starTable;        // t.* (empty for *)
    QString sourceText;       // the item as written
};

struct Source
{
    enum Kind { Table, Subquery, Join };
    Kind kind = Table;
    QString name;             // Table: the table or saved query
    QString alias;            // as written (empty when none)
    std::shared_ptr<Query> query;  // Subquery
    enum JoinType { Inner, Left, Right } joinType = Inner;
    std::unique_ptr<Source> left;
    std::unique_ptr<Source> right;
    ExprPtr on;
};
using SourcePtr = std::unique_ptr<Source>;

struct OrderTerm
{
    ExprPtr expr;
    bool descending = false;
};

struct SelectCore
{
    enum Predicate { All, Distinct, DistinctRow } predicate = All;
    bool hasTop = false;
    double top = 0;
    bool topPercent = false;
    std::vector<SelectItem> items;
    QString intoTable;
    std::vector<SourcePtr> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
};

// A SELECT, or SELECTs joined by UNION, with the ORDER BY of the whole.
struct Query
{
    std::vector<SelectCore> cores;
    std::vector<bool> unionAll;      // between cores[i] and cores[i+1]
    std::vector<OrderTerm> orderBy;
};

struct ParameterDecl
{
    QString name;
    FieldType type = FieldType::Text;
    int size = 255;
};

struct SetClause
{
    ExprPtr target;                  // a Name
    ExprPtr value;
};

struct Statement
{
    enum Kind { Select, Transform, Insert, Update, Delete };
    Kind kind = Select;
    std::vector<ParameterDecl> parameters;
    std::shared_ptr<Query> query;    // Select, Transform (its one core), Insert ... SELECT

    // TRANSFORM value [AS alias] SELECT ... PIVOT pivot [IN (values)]
    ExprPtr transformValue;
    ExprPtr pivot;
    bool hasPivotList = false;
    std::vector<ExprPtr> pivotList;

    // INSERT INTO table [(columns)] VALUES (...) | SELECT ...
    QString table;
    QStringList columns;
    std::vector<ExprPtr> values;

    // UPDATE source SET ...; DELETE [t.*] FROM source WHERE ...
    std::vector<SourcePtr> sources;
    std::vector<SetClause> sets;
    QString deleteTable;             // t of "DELETE t.*"
    ExprPtr where;

    int placeholderCount = 0;
    QString text;                    // the statement as written (for error messages)
};

} // namespace platform::jet::syntax
