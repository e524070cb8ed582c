#pragma once

#include "platform/db/jet/JetSyntax.h"
#include "platform/db/jet/JetTranslator.h"

#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QString>

#include <memory>
#include <vector>

namespace platform::jet {

// Resolves the names of a parsed statement against the schema, gives every
// expression its Jet type and writes the SQLite text. One emitter serves one
// translation (it numbers the parameters as it meets them).
class JetEmitter
{
public:
    struct Request
    {
        std::shared_ptr<const syntax::Statement> statement;
        std::shared_ptr<const syntax::Expr> filter;                       // may be null
        std::shared_ptr<const std::vector<syntax::OrderTerm>> sort;      // may be null
        bool allowImplicitParameters = false;
    };

    explicit JetEmitter(const SchemaCatalog &catalog);
    ~JetEmitter();

    Translation translate(const Request &request);
    // The final crosstab statement for the pivot values step 1 found.
    Translation emitCrosstab(const Request &request, const QList<Value> &pivotValues);
    // A criterion over result columns, the columns referred to as "name".
    QString emitCriterion(const syntax::Expr &criterion, const QString &text, const QList<ResultColumn> &columns);

    // Typed SQLite text of one expression.
    struct Typed
    {
        QString sql;
        FieldType type = FieldType::Empty;
        int size = 0;
        bool predicate = false;   // an SQLite truth value (1/0), not yet Jet's -1
        bool aggregate = false;
        bool constant = false;
        bool nullLiteral = false;
        bool column = false;      // a plain column reference
        QString columnName;       // for result naming
        QString sourceName;       // the instance it comes from (for Table.Field names)
        QString baseTable;
        QString baseColumn;
        quint64 instances = 0;    // instances of the current scope it reads
        // The SQLite operator of an expression emitted as "(A op B)": a chain
        // of left-associative operators of one level is emitted flat.
        QString chain;
        // For a sum of amounts (jet_madd) or of dates (jet_dadd): its
        // arguments, so that a chain of additions and subtractions goes on in
        // the same call.
        QString chainTerms;
        int chainTermCount = 0;
        // Arithmetic that can leave its type's range is checked where its
        // value is taken: a Double past the largest number, a Date past the
        // dates (3349). sql is then the check around the arithmetic; open is
        // the arithmetic itself while it is a chain of additions and
        // subtractions, which one check at its end covers as it goes on.
        enum class Check { None, Finite, InDate };
        Check check = Check::None;
        QString open;
    };

    struct Scope;
    struct CoreParts;

private:
    struct Instance;

    Translation emitStatement(const Request &request, const QList<Value> *pivotValues);
    void emitSelect(const Request &request, Translation &t);
    // pivotValues null: the first step (the values' query and the builder).
    void emitTransform(const Request &request, Translation &t, const QList<Value> *pivotValues);
    void emitInsert(const syntax::Statement &st, Translation &t);
    void emitUpdate(const syntax::Statement &st, Translation &t);
    void emitDelete(const syntax::Statement &st, Translation &t);
    void declareParameters(const syntax::Statement &st);
    void finishParameters(Translation &t) const;

    // SELECT
    CoreParts emitCore(const syntax::SelectCore &core, Scope *parent, const syntax::Expr *filter);
    void emitOrderInto(CoreParts &parts, const std::vector<syntax::OrderTerm> &terms);
    struct QueryResult
    {
        QString sql;
        QList<ResultColumn> columns;
        bool single = false;
    };
    QueryResult emitQuery(const syntax::Query &q, Scope *parent, const syntax::Expr *filter = nullptr,
                          const std::vector<syntax::OrderTerm> *sort = nullptr, bool internalNames = false,
                          CoreParts *singleCore = nullptr);
    QString assembleCore(const CoreParts &parts, bool collateText, bool internalNames, bool withOrder,
                         const QList<FieldType> *widened = nullptr, const QString &selectOverride = QString()) const;

    // FROM
    void collectSources(const syntax::Source &src, Scope &scope);
    QString fromSql(const syntax::Source &src, Scope &scope);
    int addTableInstance(const QString &table, const QString &alias, Scope &scope);

    // Expressions
    Typed expr(const syntax::Expr &e, Scope &scope);
    Typed value(const syntax::Expr &e, Scope &scope);
    QString condition(const syntax::Expr &e, Scope &scope);
    // A value written into a row (UPDATE SET, INSERT VALUES): 3095 when it is a total.
    Typed rowValue(const syntax::Expr &e, Scope &scope);
    // A WHERE condition: 3096 when it uses an aggregate of its own query.
    QString whereCondition(const syntax::Expr &e, Scope &scope);
    Typed name(const syntax::Expr &e, Scope &scope);
    Typed call(const syntax::Expr &e, Scope &scope);
    Typed binary(const syntax::Expr &e, Scope &scope);
    Typed aggregate(const QString &fn, const syntax::Expr &e, Scope &scope);
    Typed parameter(const QString &name, bool implicit);
    Typed placeholder(int ordinal);
    Typed subquery(const syntax::Query &q, Scope &scope);
    void concatOperands(const syntax::Expr &e, Scope &scope, QStringList &out, bool &allNull, Typed &flags);
    QString exprText(const syntax::Expr &e) const;
    [[noreturn]] void wrongArguments(const syntax::Expr &e) const;

    const SchemaCatalog &m_catalog;
    QString m_text;                        // the statement text the positions refer to
    bool m_allowImplicit = false;
    QString m_pivotCondition;              // crosstab cells: aggregates count only matching rows
    struct Slot { QString name; FieldType type; int size; };
    QList<Slot> m_slots;
    QHash<QString, int> m_slotByName;      // lower-case name -> slot
    QHash<int, int> m_slotByPlaceholder;
    QHash<QString, syntax::ParameterDecl> m_declared;
    QStringList m_unresolved;
    QStringList m_savedQueryStack;
    int m_subqueryNames = 0;
    std::vector<std::shared_ptr<const syntax::Statement>> m_keepAlive;
};

} // namespace platform::jet
