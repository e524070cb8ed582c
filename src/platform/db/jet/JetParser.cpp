#include "platform/db/jet/JetParser.h"

#include "platform/db/jet/JetDates.h"
#include "platform/db/jet/JetErrors.h"

namespace platform::jet {

using namespace syntax;

namespace {

bool wordIn(const JetToken &t, std::initializer_list<const char *> words)
{
    if (t.kind != JetToken::Name)
        return false;
    for (const char *w : words) {
        if (t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

std::optional<std::pair<FieldType, int>> parameterType(const QString &name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("datetime") || n == QLatin1String("date") || n == QLatin1String("time"))
        return std::make_pair(FieldType::Date, 8);
    if (n == QLatin1String("short") || n == QLatin1String("integer") || n == QLatin1String("smallint"))
        return std::make_pair(FieldType::Integer, 2);
    if (n == QLatin1String("long") || n == QLatin1String("int"))
        return std::make_pair(FieldType::Long, 4);
    if (n == QLatin1String("bit") || n == QLatin1String("yesno") || n == QLatin1String("logical"))
        return std::make_pair(FieldType::Boolean, 1);
    if (n == QLatin1String("byte"))
        return std::make_pair(FieldType::Byte, 1);
    if (n == QLatin1String("currency") || n == QLatin1String("money"))
        return std::make_pair(FieldType::Currency, 8);
    if (n == QLatin1String("ieeesingle") || n == QLatin1String("single"))
        return std::make_pair(FieldType::Single, 4);
    if (n == QLatin1String("ieeedouble") || n == QLatin1String("double") || n == QLatin1String("float"))
        return std::make_pair(FieldType::Double, 8);
    if (n == QLatin1String("text") || n == QLatin1String("char") || n == QLatin1String("varchar"))
        return std::make_pair(FieldType::Text, 255);
    if (n == QLatin1String("memo") || n == QLatin1String("longtext"))
        return std::make_pair(FieldType::Memo, 0);
    if (n == QLatin1String("value"))
        return std::make_pair(FieldType::Empty, 0);
    return std::nullopt;
}

} // namespace

JetParser::JetParser(const QString &text)
    : m_text(text), m_tokens(JetTokenizer::tokenize(text))
{
}

const JetToken &JetParser::peek(int ahead) const
{
    const qsizetype i = std::min(m_index + ahead, m_tokens.size() - 1);
    return m_tokens[i];
}

const JetToken &JetParser::next()
{
    const JetToken &t = m_tokens[m_index];
    if (m_index < m_tokens.size() - 1)
        ++m_index;
    return t;
}

bool JetParser::acceptWord(const char *word)
{
    if (peek().isWord(word)) {
        next();
        return true;
    }
    return false;
}

bool JetParser::acceptSymbol(const char *symbol)
{
    if (peek().isSymbol(symbol)) {
        next();
        return true;
    }
    return false;
}

void JetParser::expectSymbol(const char *symbol, int error)
{
    if (!acceptSymbol(symbol))
        fail(error);
}

bool JetParser::isClauseKeyword(int ahead) const
{
    const JetToken &t = peek(ahead);
    if (wordIn(t, {"from", "where", "having", "union", "into", "as", "on", "inner", "left", "right", "join",
                   "pivot", "set", "asc", "desc", "values", "select", "outer"}))
        return true;
    if (wordIn(t, {"group", "order"}))
        return peek(ahead + 1).isWord("by");
    return false;
}

bool JetParser::atClauseEnd() const
{
    const JetToken &t = peek();
    return t.kind == JetToken::End || t.isSymbol(";") || t.isSymbol(")") || t.isSymbol(",") || isClauseKeyword(0);
}

void JetParser::fail(int number, const QString &arg) const
{
    throw jetException(number, arg);
}

QString JetParser::expressionText(qsizetype from) const
{
    if (from < 0 || from >= m_tokens.size())
        return QString();
    int depth = 0;
    qsizetype endPos = m_tokens[from].pos;
    for (qsizetype i = from; i < m_tokens.size(); ++i) {
        const JetToken &t = m_tokens[i];
        if (t.kind == JetToken::End)
            break;
        if (depth == 0 && i > from) {
            if (t.isSymbol(";") || t.isSymbol(","))
                break;
            if (t.kind == JetToken::Name && wordIn(t, {"from", "where", "having", "union", "pivot", "into"}))
                break;
            if (wordIn(t, {"group", "order"}) && i + 1 < m_tokens.size() && m_tokens[i + 1].isWord("by"))
                break;
        }
        if (t.isSymbol("("))
            ++depth;
        if (t.isSymbol(")")) {
            if (depth == 0)
                break;
            --depth;
        }
        endPos = t.pos + t.length;
    }
    return m_text.mid(m_tokens[from].pos, endPos - m_tokens[from].pos).trimmed();
}

void JetParser::failExpression() const
{
    fail(ErrSyntaxInExpression, expressionText(m_exprStart >= 0 ? m_exprStart : m_index));
}

// ---------------------------------------------------------------- statements

Statement JetParser::parseStatement()
{
    Statement st;
    if (peek().isWord("parameters"))
        parseParameters(st);
    const JetToken &t = peek();
    if (t.isWord("select") || (t.isSymbol("(") && peek(1).isWord("select"))) {
        st.kind = Statement::Select;
        st.query = parseQuery();
    } else if (t.isWord("transform")) {
        parseTransform(st);
    } else if (t.isWord("insert")) {
        parseInsert(st);
    } else if (t.isWord("update")) {
        parseUpdate(st);
    } else if (t.isWord("delete")) {
        parseDelete(st);
    } else {
        fail(ErrInvalidStatement);
    }
    acceptSymbol(";");
    if (peek().kind != JetToken::End)
        fail(ErrTrailingCharacters);
    st.placeholderCount = m_placeholders;
    st.text = m_text;
    return st;
}

ExprPtr JetParser::parseStandaloneExpression()
{
    if (peek().kind == JetToken::End)
        fail(ErrSyntaxInExpression, QString());
    m_exprStart = m_index;
    ExprPtr e = parseExpression();
    acceptSymbol(";");
    if (peek().kind != JetToken::End)
        failExpression();
    return e;
}

std::vector<OrderTerm> JetParser::parseStandaloneOrderList()
{
    if (peek().isWord("order") && peek(1).isWord("by")) {
        next();
        next();
    }
    auto terms = parseOrderList();
    acceptSymbol(";");
    if (peek().kind != JetToken::End)
        fail(ErrSyntaxInOrderBy);
    return terms;
}

void JetParser::parseParameters(Statement &st)
{
    next(); // PARAMETERS
    while (true) {
        const JetToken &nameToken = next();
        if (!nameToken.isName())
            fail(ErrInvalidStatement);
        ParameterDecl decl;
        decl.name = nameToken.text;
        const JetToken &typeToken = next();
        if (typeToken.kind != JetToken::Name)
            fail(ErrWrongParameterType, decl.name);
        const auto type = parameterType(typeToken.text);
        if (!type)
            fail(ErrWrongParameterType, decl.name);
        decl.type = type->first;
        decl.size = type->second;
        if (decl.type == FieldType::Text && acceptSymbol("(")) {
            const JetToken &size = next();
            if (size.kind != JetToken::Integer)
                fail(ErrWrongParameterType, decl.name);
            decl.size = size.text.toInt();
            expectSymbol(")", ErrWrongParameterType);
        }
        st.parameters.push_back(decl);
        if (acceptSymbol(","))
            continue;
        break;
    }
    if (!acceptSymbol(";"))
        fail(ErrInvalidStatement);
}

std::shared_ptr<Query> JetParser::parseQuery()
{
    const Nesting level(*this);
    auto q = std::make_shared<Query>();
    parseCoresInto(*q);
    while (peek().isWord("union")) {
        next();
        const bool all = acceptWord("all");
        const size_t before = q->cores.size();
        parseCoresInto(*q);
        for (size_t i = before; i < q->cores.size(); ++i)
            q->unionAll.push_back(i == before ? all : false);
    }
    if (peek().isWord("order") && peek(1).isWord("by")) {
        next();
        next();
        q->orderBy = parseOrderList();
    }
    return q;
}

void JetParser::parseCoresInto(Query &q)
{
    if (peek().isSymbol("(")) {
        next();
        auto inner = parseQuery();
        expectSymbol(")", ErrSyntaxInSelect);
        for (size_t i = 0; i < inner->cores.size(); ++i) {
            if (i > 0)
                q.unionAll.push_back(inner->unionAll[i - 1]);
            q.cores.push_back(std::move(inner->cores[i]));
        }
        return;
    }
    if (!peek().isWord("select"))
        fail(ErrSyntaxInSelect);
    q.cores.push_back(parseCore());
}

SelectCore JetParser::parseCore()
{
    next(); // SELECT
    SelectCore core;
    for (int round = 0; round < 2; ++round) {
        if (acceptWord("distinctrow"))
            core.predicate = SelectCore::DistinctRow;
        else if (acceptWord("distinct"))
            core.predicate = SelectCore::Distinct;
        else if (acceptWord("all"))
            core.predicate = SelectCore::All;
        if (peek().isWord("top") && (peek(1).kind == JetToken::Integer || peek(1).kind == JetToken::Decimal)) {
            next();
            core.hasTop = true;
            core.top = next().text.toDouble();
            core.topPercent = acceptWord("percent");
        }
    }
    parseSelectItems(core);
    if (acceptWord("into")) {
        const JetToken &t = next();
        if (!t.isName())
            fail(ErrSyntaxInSelect);
        core.intoTable = t.text;
    }
    if (acceptWord("from"))
        core.from = parseSourceList(ErrSyntaxInFrom);
    if (acceptWord("where"))
        core.where = parseTopExpression();
    if (peek().isWord("group") && peek(1).isWord("by")) {
        next();
        next();
        do {
            core.groupBy.push_back(parseTopExpression());
        } while (acceptSymbol(","));
    }
    if (acceptWord("having"))
        core.having = parseTopExpression();
    return core;
}

void JetParser::parseSelectItems(SelectCore &core)
{
    if (peek().isWord("from") || peek().kind == JetToken::End)
        fail(ErrSyntaxInSelect);
    do {
        SelectItem item;
        const qsizetype start = peek().pos;
        if (peek().isSymbol("*")) {
            next();
            item.star = true;
        } else if (peek().isName() && peek(1).isSymbol(".") && peek(2).isSymbol("*")) {
            item.star = true;
            item.starTable = next().text;
            next();
            next();
        } else {
            item.expr = parseTopExpression();
            if (acceptWord("as")) {
                const JetToken &a = next();
                if (!a.isName() && a.kind != JetToken::String)
                    fail(ErrSyntaxInSelect);
                item.alias = a.text;
                item.hasAlias = true;
            }
        }
        const qsizetype end = m_tokens[std::max<qsizetype>(0, m_index - 1)].pos
                              + m_tokens[std::max<qsizetype>(0, m_index - 1)].length;
        item.sourceText = m_text.mid(start, end - start);
        core.items.push_back(std::move(item));
    } while (acceptSymbol(","));
}

std::vector<SourcePtr> JetParser::parseSourceList(int error)
{
    std::vector<SourcePtr> list;
    do {
        list.push_back(parseJoinChain(error));
    } while (acceptSymbol(","));
    return list;
}

SourcePtr JetParser::parseJoinChain(int error)
{
    const Nesting level(*this);
    SourcePtr left = parsePrimarySource(error);
    while (true) {
        Source::JoinType type = Source::Inner;
        if (peek().isWord("inner") && peek(1).isWord("join")) {
            next();
        } else if (wordIn(peek(), {"left", "right"})) {
            type = peek().isWord("left") ? Source::Left : Source::Right;
            next();
            acceptWord("outer");
            if (!peek().isWord("join"))
                fail(error);
        } else if (!peek().isWord("join")) {
            break;
        }
        next(); // JOIN
        auto join = std::make_unique<Source>();
        join->kind = Source::Join;
        join->joinType = type;
        join->left = std::move(left);
        join->right = parsePrimarySource(error);
        if (!acceptWord("on"))
            fail(error);
        join->on = parseTopExpression();
        left = std::move(join);
    }
    return left;
}

QString JetParser::parseSourceAlias()
{
    if (acceptWord("as")) {
        const JetToken &a = next();
        if (!a.isName())
            fail(ErrSyntaxInFrom);
        return a.text;
    }
    if (peek().kind == JetToken::Bracketed || (peek().kind == JetToken::Name && !isClauseKeyword(0)
                                               && !wordIn(peek(), {"where", "group", "order", "having", "inner",
                                                                   "left", "right", "join", "on", "set", "union",
                                                                   "pivot", "in", "transform"})))
        return next().text;
    return QString();
}

SourcePtr JetParser::parsePrimarySource(int error)
{
    auto src = std::make_unique<Source>();
    if (acceptSymbol("(")) {
        if (peek().isWord("select")) {
            src->kind = Source::Subquery;
            src->query = parseQuery();
            expectSymbol(")", error);
            src->alias = parseSourceAlias();
            return src;
        }
        SourcePtr inner = parseJoinChain(error);
        expectSymbol(")", error);
        return inner;
    }
    const JetToken &t = peek();
    if (!t.isName() || (t.kind == JetToken::Name && isClauseKeyword(0)))
        fail(error);
    next();
    src->kind = Source::Table;
    src->name = t.text;
    src->alias = parseSourceAlias();
    return src;
}

std::vector<OrderTerm> JetParser::parseOrderList()
{
    std::vector<OrderTerm> terms;
    do {
        if (peek().kind == JetToken::End)
            fail(ErrSyntaxInOrderBy);
        OrderTerm term;
        // What follows a term is checked as the clause's syntax, below.
        const qsizetype saved = m_exprStart;
        m_exprStart = m_index;
        term.expr = parseExpression();
        m_exprStart = saved;
        if (acceptWord("desc"))
            term.descending = true;
        else
            acceptWord("asc");
        terms.push_back(std::move(term));
    } while (acceptSymbol(","));
    const JetToken &t = peek();
    if (!(t.kind == JetToken::End || t.isSymbol(";") || t.isSymbol(")") || t.isWord("pivot")))
        fail(ErrSyntaxInOrderBy);
    return terms;
}

void JetParser::parseTransform(Statement &st)
{
    next(); // TRANSFORM
    st.kind = Statement::Transform;
    st.transformValue = parseTopExpression();
    if (acceptWord("as"))
        next();
    if (!peek().isWord("select"))
        fail(ErrSyntaxInSelect);
    st.query = std::make_shared<Query>();
    st.query->cores.push_back(parseCore());
    auto parseOrder = [this, &st] {
        if (peek().isWord("order") && peek(1).isWord("by")) {
            next();
            next();
            st.query->orderBy = parseOrderList();
        }
    };
    parseOrder();
    if (!acceptWord("pivot"))
        fail(ErrSyntaxInSelect);
    ExprPtr pivot = parseTopExpression();
    // "PIVOT x IN (a, b)" reads like the In operator: split it back.
    if (pivot->kind == Expr::In && !pivot->negated && !pivot->query) {
        st.hasPivotList = true;
        for (size_t i = 1; i < pivot->args.size(); ++i)
            st.pivotList.push_back(std::move(pivot->args[i]));
        pivot = std::move(pivot->args[0]);
    }
    st.pivot = std::move(pivot);
    parseOrder();
}

void JetParser::parseInsert(Statement &st)
{
    next(); // INSERT
    st.kind = Statement::Insert;
    if (!acceptWord("into"))
        fail(ErrSyntaxInInsert);
    const JetToken &t = next();
    if (!t.isName())
        fail(ErrSyntaxInInsert);
    st.table = t.text;
    if (peek().isSymbol("(") && !peek(1).isWord("select")) {
        next();
        do {
            const JetToken &c = next();
            if (!c.isName())
                fail(ErrSyntaxInInsert);
            QString name = c.text;
            if (acceptSymbol(".")) {
                const JetToken &c2 = next();
                if (!c2.isName())
                    fail(ErrSyntaxInInsert);
                name = c2.text;
            }
            st.columns.append(name);
        } while (acceptSymbol(","));
        expectSymbol(")", ErrSyntaxInInsert);
    }
    if (acceptWord("values")) {
        expectSymbol("(", ErrSyntaxInInsert);
        do {
            st.values.push_back(parseTopExpression());
        } while (acceptSymbol(","));
        expectSymbol(")", ErrSyntaxInInsert);
        return;
    }
    if (peek().isWord("select") || (peek().isSymbol("(") && peek(1).isWord("select"))) {
        st.query = parseQuery();
        return;
    }
    fail(ErrSyntaxInInsert);
}

void JetParser::parseUpdate(Statement &st)
{
    next(); // UPDATE
    st.kind = Statement::Update;
    st.sources = parseSourceList(ErrSyntaxInUpdate);
    if (!acceptWord("set"))
        fail(ErrSyntaxInUpdate);
    do {
        SetClause set;
        const qsizetype start = m_index;
        m_exprStart = start;
        set.target = parsePrimary();
        if (set.target->kind != Expr::Name)
            fail(ErrSyntaxInUpdate);
        if (!acceptSymbol("="))
            fail(ErrSyntaxInUpdate);
        set.value = parseTopExpression();
        st.sets.push_back(std::move(set));
    } while (acceptSymbol(","));
    if (acceptWord("where"))
        st.where = parseTopExpression();
}

void JetParser::parseDelete(Statement &st)
{
    next(); // DELETE
    st.kind = Statement::Delete;
    if (acceptSymbol("*")) {
        // DELETE * FROM t
    } else if (peek().isName() && peek(1).isSymbol(".") && peek(2).isSymbol("*")) {
        st.deleteTable = next().text;
        next();
        next();
    } else if (peek().isName() && !peek().isWord("from")) {
        // DELETE t FROM ... names the table too.
        st.deleteTable = next().text;
    }
    if (!acceptWord("from"))
        fail(ErrSyntaxInDelete);
    st.sources = parseSourceList(ErrSyntaxInDelete);
    if (acceptWord("where"))
        st.where = parseTopExpression();
}

// ---------------------------------------------------------------- expressions

ExprPtr JetParser::parseTopExpression()
{
    const qsizetype saved = m_exprStart;
    m_exprStart = m_index;
    if (peek().kind == JetToken::End)
        failExpression();
    ExprPtr e = parseExpression();
    finishTopExpression();
    m_exprStart = saved;
    return e;
}

void JetParser::finishTopExpression() const
{
    if (atClauseEnd())
        return;
    failExpression();
}

namespace {

// How deep a statement may nest: expression trees (a chain of operators is
// as deep as it is long) and the parser's own recursion. Beyond that a
// statement is "too complex", as Jet says, rather than exhausting the stack
// of the translator or of SQLite's own parser.
constexpr int kMaxExpressionDepth = 400;
constexpr int kMaxNesting = 200;

} // namespace

JetParser::Nesting::Nesting(const JetParser &parser) : m_parser(parser)
{
    if (++m_parser.m_nesting > kMaxNesting) {
        --m_parser.m_nesting;
        m_parser.fail(ErrQueryTooComplex);
    }
}

ExprPtr JetParser::measured(ExprPtr e) const
{
    int depth = 0;
    for (const ExprPtr &a : e->args)
        depth = std::max(depth, a->depth);
    e->depth = depth + 1;
    if (e->depth > kMaxExpressionDepth)
        fail(ErrQueryTooComplex);
    return e;
}

ExprPtr JetParser::binary(const QString &op, ExprPtr a, ExprPtr b) const
{
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Binary;
    e->op = op;
    e->pos = a->pos;
    e->end = b->end;
    e->args.push_back(std::move(a));
    e->args.push_back(std::move(b));
    return measured(std::move(e));
}

ExprPtr JetParser::parseExpression()
{
    const Nesting level(*this);
    return parseImp();
}

ExprPtr JetParser::parseImp()
{
    ExprPtr e = parseEqv();
    while (acceptWord("imp"))
        e = binary(QStringLiteral("imp"), std::move(e), parseEqv());
    return e;
}

ExprPtr JetParser::parseEqv()
{
    ExprPtr e = parseXor();
    while (acceptWord("eqv"))
        e = binary(QStringLiteral("eqv"), std::move(e), parseXor());
    return e;
}

ExprPtr JetParser::parseXor()
{
    ExprPtr e = parseOr();
    while (acceptWord("xor"))
        e = binary(QStringLiteral("xor"), std::move(e), parseOr());
    return e;
}

ExprPtr JetParser::parseOr()
{
    ExprPtr e = parseAnd();
    while (acceptWord("or"))
        e = binary(QStringLiteral("or"), std::move(e), parseAnd());
    return e;
}

ExprPtr JetParser::parseAnd()
{
    ExprPtr e = parseNot();
    while (acceptWord("and"))
        e = binary(QStringLiteral("and"), std::move(e), parseNot());
    return e;
}

ExprPtr JetParser::parseNot()
{
    if (peek().isWord("not")) {
        const qsizetype pos = next().pos;
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Unary;
        e->op = QStringLiteral("not");
        e->pos = pos;
        {
            const Nesting level(*this);
            e->args.push_back(parseNot());
        }
        e->end = e->args[0]->end;
        return measured(std::move(e));
    }
    return parseComparison();
}

ExprPtr JetParser::parseComparison()
{
    ExprPtr e = parseConcat();
    while (true) {
        const JetToken &t = peek();
        static const char *const ops[] = {"=", "<>", "<", ">", "<=", ">=", nullptr};
        bool matched = false;
        for (int k = 0; ops[k]; ++k) {
            if (t.isSymbol(ops[k])) {
                next();
                e = binary(QString::fromLatin1(ops[k]), std::move(e), parseConcat());
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        bool negated = false;
        int ahead = 0;
        if (t.isWord("not") && wordIn(peek(1), {"like", "between", "in"})) {
            negated = true;
            ahead = 1;
        }
        const JetToken &op = peek(ahead);
        if (op.isWord("like")) {
            for (int k = 0; k <= ahead; ++k)
                next();
            auto like = std::make_unique<Expr>();
            like->kind = Expr::Like;
            like->negated = negated;
            like->pos = e->pos;
            like->args.push_back(std::move(e));
            like->args.push_back(parseConcat());
            like->end = like->args[1]->end;
            e = measured(std::move(like));
            continue;
        }
        if (op.isWord("between")) {
            for (int k = 0; k <= ahead; ++k)
                next();
            auto between = std::make_unique<Expr>();
            between->kind = Expr::Between;
            between->negated = negated;
            between->pos = e->pos;
            between->args.push_back(std::move(e));
            between->args.push_back(parseConcat());
            if (!acceptWord("and"))
                failExpression();
            between->args.push_back(parseConcat());
            between->end = between->args[2]->end;
            e = measured(std::move(between));
            continue;
        }
        if (op.isWord("in")) {
            for (int k = 0; k <= ahead; ++k)
                next();
            auto in = std::make_unique<Expr>();
            in->kind = Expr::In;
            in->negated = negated;
            in->pos = e->pos;
            in->args.push_back(std::move(e));
            if (!acceptSymbol("("))
                failExpression();
            if (peek().isWord("select")) {
                in->query = parseQuery();
            } else {
                do {
                    in->args.push_back(parseExpression());
                } while (acceptSymbol(","));
            }
            const JetToken &close = peek();
            if (!acceptSymbol(")"))
                failExpression();
            in->end = close.pos + 1;
            e = measured(std::move(in));
            continue;
        }
        if (t.isWord("is")) {
            next();
            auto isNull = std::make_unique<Expr>();
            isNull->kind = Expr::IsNull;
            isNull->negated = acceptWord("not");
            if (!peek().isWord("null"))
                failExpression();
            isNull->end = next().pos + 4;
            isNull->pos = e->pos;
            isNull->args.push_back(std::move(e));
            e = measured(std::move(isNull));
            continue;
        }
        break;
    }
    return e;
}

ExprPtr JetParser::parseConcat()
{
    ExprPtr e = parseAdditive();
    while (acceptSymbol("&"))
        e = binary(QStringLiteral("&"), std::move(e), parseAdditive());
    return e;
}

ExprPtr JetParser::parseAdditive()
{
    ExprPtr e = parseMod();
    while (true) {
        if (acceptSymbol("+"))
            e = binary(QStringLiteral("+"), std::move(e), parseMod());
        else if (acceptSymbol("-"))
            e = binary(QStringLiteral("-"), std::move(e), parseMod());
        else
            break;
    }
    return e;
}

ExprPtr JetParser::parseMod()
{
    ExprPtr e = parseIntDiv();
    while (acceptWord("mod"))
        e = binary(QStringLiteral("mod"), std::move(e), parseIntDiv());
    return e;
}

ExprPtr JetParser::parseIntDiv()
{
    ExprPtr e = parseMultiplicative();
    while (acceptSymbol("\\"))
        e = binary(QStringLiteral("\\"), std::move(e), parseMultiplicative());
    return e;
}

ExprPtr JetParser::parseMultiplicative()
{
    ExprPtr e = parseUnary();
    while (true) {
        if (acceptSymbol("*"))
            e = binary(QStringLiteral("*"), std::move(e), parseUnary());
        else if (acceptSymbol("/"))
            e = binary(QStringLiteral("/"), std::move(e), parseUnary());
        else
            break;
    }
    return e;
}

ExprPtr JetParser::parseUnary()
{
    if (peek().isSymbol("-") || peek().isSymbol("+")) {
        const JetToken &t = next();
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Unary;
        e->op = t.text;
        e->pos = t.pos;
        {
            const Nesting level(*this);
            e->args.push_back(parseUnary());
        }
        e->end = e->args[0]->end;
        return measured(std::move(e));
    }
    return parsePower();
}

ExprPtr JetParser::parsePower()
{
    ExprPtr e = parsePrimary();
    while (acceptSymbol("^")) {
        ExprPtr rhs;
        if (peek().isSymbol("-")) {
            const JetToken &t = next();
            rhs = std::make_unique<Expr>();
            rhs->kind = Expr::Unary;
            rhs->op = QStringLiteral("-");
            rhs->pos = t.pos;
            rhs->args.push_back(parsePrimary());
            rhs->end = rhs->args[0]->end;
            rhs = measured(std::move(rhs));
        } else {
            rhs = parsePrimary();
        }
        e = binary(QStringLiteral("^"), std::move(e), std::move(rhs));
    }
    return e;
}

ExprPtr JetParser::parsePrimary()
{
    const JetToken &t = peek();
    auto e = std::make_unique<Expr>();
    e->pos = t.pos;
    e->end = t.pos + t.length;
    switch (t.kind) {
    case JetToken::Integer: {
        next();
        bool ok = false;
        const qint64 v = t.text.toLongLong(&ok);
        if (ok) {
            e->kind = Expr::Integer;
            e->integer = v;
        } else {
            e->kind = Expr::Decimal;
            e->number = t.text.toDouble();
        }
        e->text = t.text;
        return e;
    }
    case JetToken::Decimal:
        next();
        e->kind = Expr::Decimal;
        e->number = t.text.toDouble();
        e->text = t.text;
        return e;
    case JetToken::String:
        next();
        e->kind = Expr::String;
        e->text = t.text;
        return e;
    case JetToken::Date: {
        const auto serial = parseDateText(t.text);
        if (!serial)
            failExpression();
        next();
        e->kind = Expr::Date;
        e->number = *serial;
        return e;
    }
    case JetToken::Symbol:
        if (t.isSymbol("(")) {
            next();
            if (peek().isWord("select")) {
                e->kind = Expr::Subquery;
                e->query = parseQuery();
            } else {
                ExprPtr inner = parseExpression();
                if (!peek().isSymbol(")"))
                    failExpression();
                e->end = next().pos + 1;
                inner->pos = e->pos;
                inner->end = e->end;
                return inner;
            }
            if (!peek().isSymbol(")"))
                failExpression();
            e->end = next().pos + 1;
            return e;
        }
        if (t.isSymbol("?")) {
            next();
            e->kind = Expr::Placeholder;
            e->integer = m_placeholders++;
            return e;
        }
        failExpression();
    case JetToken::Name:
        if (t.isWord("null")) {
            next();
            e->kind = Expr::Null;
            return e;
        }
        if (t.isWord("true") || t.isWord("false")) {
            next();
            e->kind = Expr::Boolean;
            e->integer = t.isWord("true") ? -1 : 0;
            return e;
        }
        if (t.isWord("not")) {
            return parseNot();
        }
        if (t.isWord("exists") && peek(1).isSymbol("(") && peek(2).isWord("select")) {
            next();
            next();
            e->kind = Expr::Exists;
            e->query = parseQuery();
            if (!peek().isSymbol(")"))
                failExpression();
            e->end = next().pos + 1;
            return e;
        }
        if (peek(1).isSymbol("(")) {
            next();
            next();
            e->kind = Expr::Call;
            e->op = t.text;
            if (!peek().isSymbol(")")) {
                do {
                    if (peek().isSymbol("*") && (peek(1).isSymbol(")") || peek(1).isSymbol(","))) {
                        auto star = std::make_unique<Expr>();
                        star->kind = Expr::Star;
                        star->pos = next().pos;
                        star->end = star->pos + 1;
                        e->args.push_back(std::move(star));
                    } else {
                        e->args.push_back(parseExpression());
                    }
                } while (acceptSymbol(","));
            }
            if (!peek().isSymbol(")"))
                failExpression();
            e->end = next().pos + 1;
            return measured(std::move(e));
        }
        [[fallthrough]];
    case JetToken::Bracketed: {
        next();
        e->kind = Expr::Name;
        e->parts.append(t.text);
        while (peek().isSymbol(".") && peek(1).isName()) {
            next();
            const JetToken &part = next();
            e->parts.append(part.text);
            e->end = part.pos + part.length;
        }
        return e;
    }
    case JetToken::End:
    case JetToken::Invalid:
        break;
    }
    failExpression();
}

} // namespace platform::jet
