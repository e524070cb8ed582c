#pragma once

#include "platform/db/jet/JetSyntax.h"
#include "platform/db/jet/JetTokenizer.h"

#include <QtCore/QList>
#include <QtCore/QString>

namespace platform::jet {

// Recursive-descent parser of Jet SQL into the statement tree, with Jet's
// operator precedence (high to low: ^, unary -, * /, \, Mod, + -, &,
// comparisons, Not, And, Or, Xor, Eqv, Imp). Keywords count only where the
// grammar expects one, so Group, Desc, When, No or First serve as names.
// Errors throw DbException with the engine's numbers.
class JetParser
{
public:
    explicit JetParser(const QString &text);

    // One statement; a trailing ";" and blanks are accepted, anything more is 3142.
    syntax::Statement parseStatement();
    // One expression and nothing else (filters, Find criteria).
    syntax::ExprPtr parseStandaloneExpression();
    // An ORDER BY list (a recordset's sort), "ORDER BY" itself optional.
    std::vector<syntax::OrderTerm> parseStandaloneOrderList();

private:
    using ExprPtr = syntax::ExprPtr;

    const JetToken &peek(int ahead = 0) const;
    const JetToken &next();
    bool acceptWord(const char *word);
    bool acceptSymbol(const char *symbol);
    void expectSymbol(const char *symbol, int error);
    bool atClauseEnd() const;
    bool isClauseKeyword(int ahead) const;
    [[noreturn]] void fail(int number, const QString &arg = QString()) const;
    [[noreturn]] void failExpression() const;
    QString expressionText(qsizetype fromToken) const;

    void parseParameters(syntax::Statement &st);
    std::shared_ptr<syntax::Query> parseQuery();
    void parseCoresInto(syntax::Query &q);
    syntax::SelectCore parseCore();
    void parseSelectItems(syntax::SelectCore &core);
    std::vector<syntax::SourcePtr> parseSourceList(int error);
    syntax::SourcePtr parseJoinChain(int error);
    syntax::SourcePtr parsePrimarySource(int error);
    QString parseSourceAlias();
    std::vector<syntax::OrderTerm> parseOrderList();
    void parseTransform(syntax::Statement &st);
    void parseInsert(syntax::Statement &st);
    void parseUpdate(syntax::Statement &st);
    void parseDelete(syntax::Statement &st);

    // Expressions. A top-level expression records where it starts so a
    // syntax error can quote it.
    ExprPtr parseTopExpression();
    ExprPtr parseExpression();
    ExprPtr parseImp();
    ExprPtr parseEqv();
    ExprPtr parseXor();
    ExprPtr parseOr();
    ExprPtr parseAnd();
    ExprPtr parseNot();
    ExprPtr parseComparison();
    ExprPtr parseConcat();
    ExprPtr parseAdditive();
    ExprPtr parseMod();
    ExprPtr parseIntDiv();
    ExprPtr parseMultiplicative();
    ExprPtr parseUnary();
    ExprPtr parsePower();
    ExprPtr parsePrimary();
    ExprPtr binary(const QString &op, ExprPtr a, ExprPtr b) const;
    // Sets a node's depth from its operands; 3360 beyond the limit.
    ExprPtr measured(ExprPtr e) const;
    // Counts one level of the parser's own recursion (parentheses, operands
    // of Not and of signs, subqueries); 3360 beyond the limit.
    class Nesting
    {
    public:
        explicit Nesting(const JetParser &parser);
        ~Nesting() { --m_parser.m_nesting; }
        Nesting(const Nesting &) = delete;
        Nesting &operator=(const Nesting &) = delete;

    private:
        const JetParser &m_parser;
    };
    void finishTopExpression() const;

    QString m_text;
    QList<JetToken> m_tokens;
    qsizetype m_index = 0;
    qsizetype m_exprStart = -1;     // token index of the expression being parsed
    mutable int m_nesting = 0;      // recursion levels now open (Nesting)
    int m_placeholders = 0;
};

} // namespace platform::jet
