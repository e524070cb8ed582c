#include "platform/db/jet/JetEmitter.h"

#include "platform/db/jet/JetBuiltins.h"
#include "platform/db/jet/JetErrors.h"
#include "platform/db/jet/JetParser.h"
#include "platform/db/jet/JetValueText.h"

#include <QtCore/QLocale>

#include <cmath>
#include <functional>

namespace platform::jet {

using namespace syntax;
using Typed = JetEmitter::Typed;

struct JetEmitter::Instance
{
    QString name;                  // alias, or the table or query name as written
    QString table;                 // the base table; empty for subqueries and saved queries
    QList<ResultColumn> columns;
    bool bare = false;             // criterion: columns referred to as "name" alone
    QString sql;                   // the FROM item
};

struct JetEmitter::Scope
{
    std::vector<Instance> instances;
    Scope *parent = nullptr;
    const SelectCore *core = nullptr;
    QHash<QString, int> aliasIndex;        // lower-case alias -> select item
    std::vector<int> aliasState;           // 0 not yet, 1 being emitted, 2 done
    std::vector<Typed> aliasTyped;
    quint64 used = 0;                      // instances read by the expression being emitted
    QHash<const Source *, int> sourceInstance;
};

struct JetEmitter::CoreParts
{
    std::unique_ptr<Scope> scope;
    struct Item { QString name; Typed typed; };
    std::vector<Item> items;
    QString from;
    QString where;
    QStringList groupBy;
    QString having;
    QStringList orderBy;
    bool orderHasUniqueKey = false;
    bool aggregate = false;
    bool distinct = false;
    QStringList rowidGroup;
    bool hasTop = false;
    double top = 0;
    bool topPercent = false;
};

namespace {

QString quoteIdent(const QString &name)
{
    QString s = name;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString quoteString(const QString &text)
{
    QString s = text;
    s.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

QString realLiteral(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("NULL");
    QString s = QString::number(v, 'g', QLocale::FloatingPointShortest);
    if (!s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('e')) && !s.contains(QLatin1Char('E')))
        s += QLatin1String(".0");
    return s;
}

bool isText(FieldType t)
{
    return t == FieldType::Text || t == FieldType::Memo;
}

bool isIntegerType(FieldType t)
{
    return t == FieldType::Boolean || t == FieldType::Byte || t == FieldType::Integer || t == FieldType::Long;
}

bool isNumber(FieldType t)
{
    return isNumericType(t);
}

int integerRank(FieldType t)
{
    switch (t) {
    case FieldType::Boolean: return 0;
    case FieldType::Byte: return 1;
    case FieldType::Integer: return 2;
    default: return 3;
    }
}

int typeSize(FieldType t)
{
    return t == FieldType::Text ? 255 : fieldTypeByteSize(t);
}

// The type of + - * over two operand types.
FieldType arithmeticType(FieldType a, FieldType b)
{
    if (a == FieldType::Single || a == FieldType::Double || b == FieldType::Single || b == FieldType::Double)
        return FieldType::Double;
    if (a == FieldType::Currency || b == FieldType::Currency)
        return FieldType::Currency;
    if (isText(a) || isText(b))
        return FieldType::Double;
    return FieldType::Long;
}

// Widening of IIf branches and UNION columns.
FieldType widen(FieldType a, FieldType b)
{
    if (a == FieldType::Empty)
        return b;
    if (b == FieldType::Empty)
        return a;
    if (a == FieldType::Memo || b == FieldType::Memo)
        return FieldType::Memo;
    if (isText(a) || isText(b))
        return FieldType::Text;
    if (a == FieldType::Date && b == FieldType::Date)
        return FieldType::Date;
    if (a == FieldType::Date || b == FieldType::Date)
        return FieldType::Double;
    if (a == FieldType::Single || a == FieldType::Double || b == FieldType::Single || b == FieldType::Double)
        return FieldType::Double;
    if (a == FieldType::Currency || b == FieldType::Currency)
        return FieldType::Currency;
    if (isIntegerType(a) && isIntegerType(b))
        return integerRank(a) >= integerRank(b) ? a : b;
    return a;
}

QString declaredType(FieldType t, int size)
{
    switch (t) {
    case FieldType::Boolean: return QStringLiteral("YESNO");
    case FieldType::Byte: return QStringLiteral("BYTE");
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::Long: return QStringLiteral("LONG");
    case FieldType::Currency: return QStringLiteral("CURRENCY");
    case FieldType::Single: return QStringLiteral("SINGLE");
    case FieldType::Double: return QStringLiteral("DOUBLE");
    case FieldType::Date: return QStringLiteral("DATETIME");
    case FieldType::Memo: return QStringLiteral("MEMO TEXT COLLATE JETTEXT");
    default: return QStringLiteral("TEXT(%1) COLLATE JETTEXT").arg(size > 0 && size <= 255 ? size : 255);
    }
}

Typed typedOf(const QString &sql, FieldType type, int size = -1)
{
    Typed t;
    t.sql = sql;
    t.type = type;
    t.size = size >= 0 ? size : typeSize(type);
    return t;
}

QString typeCode(FieldType t)
{
    return QString::number(int(t));
}

// A GROUP BY or ORDER BY term: text compares without case; a number constant
// must not read as a column ordinal.
QString sortTerm(const Typed &t)
{
    if (t.constant && !t.nullLiteral && !isText(t.type))
        return QLatin1Char('(') + t.sql + QLatin1String(" + 0)");
    if (isText(t.type))
        return t.sql + QLatin1String(" COLLATE JETTEXT");
    return t.sql;
}

// A value where SQLite's 1/0 truth must read as Jet's -1/0.
Typed asValue(Typed t)
{
    if (t.predicate) {
        t.sql = QLatin1String("(-") + t.sql + QLatin1Char(')');
        t.chain.clear();
        t.predicate = false;
        t.type = FieldType::Boolean;
        t.size = 1;
    }
    return t;
}

QString asText(const Typed &t)
{
    if (t.nullLiteral || isText(t.type))
        return t.sql;
    return QLatin1String("jet_text(") + t.sql + QLatin1String(", ") + typeCode(t.type) + QLatin1Char(')');
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

JetEmitter::JetEmitter(const SchemaCatalog &catalog)
    : m_catalog(catalog)
{
}

JetEmitter::~JetEmitter() = default;

// ------------------------------------------------------------------ statements

Translation JetEmitter::translate(const Request &request)
{
    return emitStatement(request, nullptr);
}

Translation JetEmitter::emitCrosstab(const Request &request, const QList<Value> &pivotValues)
{
    return emitStatement(request, &pivotValues);
}

void JetEmitter::declareParameters(const Statement &st)
{
    for (const ParameterDecl &d : st.parameters) {
        const QString key = d.name.toLower();
        if (m_declared.contains(key))
            continue;
        m_declared.insert(key, d);
    }
}

Typed JetEmitter::parameter(const QString &name, bool implicit)
{
    const QString key = name.toLower();
    int slot = m_slotByName.value(key, -1);
    if (slot < 0) {
        FieldType type = FieldType::Text;
        int size = 255;
        if (!implicit) {
            const ParameterDecl d = m_declared.value(key);
            type = d.type;
            size = d.size;
        } else {
            m_unresolved.append(name);
        }
        slot = int(m_slots.size());
        m_slots.append(Slot{name, type, size});
        m_slotByName.insert(key, slot);
    }
    const Slot &s = m_slots[slot];
    // A parameter nobody declared is listed as Text but compares and joins as
    // whatever value is bound.
    if (implicit || !m_declared.contains(key))
        return typedOf(QStringLiteral("?%1").arg(slot + 1), FieldType::Empty, 0);
    return typedOf(QStringLiteral("?%1").arg(slot + 1), s.type, s.size);
}

Typed JetEmitter::placeholder(int ordinal)
{
    int slot = m_slotByPlaceholder.value(ordinal, -1);
    if (slot < 0) {
        slot = int(m_slots.size());
        m_slots.append(Slot{QStringLiteral("?"), FieldType::Empty, 0});
        m_slotByPlaceholder.insert(ordinal, slot);
    }
    return typedOf(QStringLiteral("?%1").arg(slot + 1), FieldType::Empty, 0);
}

void JetEmitter::finishParameters(Translation &t) const
{
    if (!m_allowImplicit && !m_unresolved.isEmpty())
        throw jetException(ErrTooFewParameters, QString::number(m_unresolved.size()));
    for (const Slot &s : m_slots) {
        t.parameters.append(s.name);
        t.parameterTypes.append(s.type);
    }
}

Translation JetEmitter::emitStatement(const Request &request, const QList<Value> *pivotValues)
{
    const Statement &st = *request.statement;
    m_text = st.text;
    m_allowImplicit = request.allowImplicitParameters;
    declareParameters(st);
    // Declared parameters bind first, in declaration order.
    for (const ParameterDecl &d : st.parameters)
        parameter(d.name, false);

    Translation t;
    switch (st.kind) {
    case Statement::Select:
        emitSelect(request, t);
        break;
    case Statement::Transform:
        emitTransform(request, t, pivotValues);
        break;
    case Statement::Insert:
        emitInsert(st, t);
        break;
    case Statement::Update:
        emitUpdate(st, t);
        break;
    case Statement::Delete:
        emitDelete(st, t);
        break;
    }
    switch (t.kind) {
    case Translation::Kind::Select: t.queryType = st.query->cores.size() > 1 ? 128 : 0; break;
    case Translation::Kind::Crosstab: t.queryType = 16; break;
    case Translation::Kind::Delete: t.queryType = 32; break;
    case Translation::Kind::Update: t.queryType = 48; break;
    case Translation::Kind::Insert: t.queryType = t.makeTable.isEmpty() ? 64 : 80; break;
    }
    finishParameters(t);
    return t;
}

void JetEmitter::emitSelect(const Request &request, Translation &t)
{
    const Statement &st = *request.statement;
    const Expr *filter = request.filter.get();
    const std::vector<OrderTerm> *sort = request.sort.get();
    const Query &q = *st.query;
    const SelectCore &first = q.cores.front();
    if (!first.intoTable.isEmpty()) {
        if (m_catalog.tableColumns(first.intoTable))
            throw jetException(ErrTableExists, first.intoTable);
        QueryResult r = emitQuery(q, nullptr, filter, sort);
        t.kind = Translation::Kind::Insert;
        t.makeTable = first.intoTable;
        t.columns = r.columns;
        QStringList defs;
        QStringList names;
        for (const ResultColumn &c : r.columns) {
            defs.append(quoteIdent(c.name) + QLatin1Char(' ') + declaredType(c.type, c.size));
            names.append(quoteIdent(c.name));
        }
        t.createTableSql = QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdent(first.intoTable), defs.join(QLatin1String(", ")));
        t.sql = QStringLiteral("INSERT INTO %1 (%2) %3").arg(quoteIdent(first.intoTable), names.join(QLatin1String(", ")), r.sql);
        return;
    }
    CoreParts single;
    QueryResult r = emitQuery(q, nullptr, filter, sort, false, &single);
    t.kind = Translation::Kind::Select;
    t.sql = r.sql;
    t.columns = r.columns;
    if (r.single && single.scope && !single.aggregate && !single.distinct && !single.hasTop
        && single.groupBy.isEmpty() && single.rowidGroup.isEmpty() && single.having.isEmpty()) {
        // Kept a subquery of its own (LIMIT -1), the count's rows need none
        // of the columns: the engine then leaves out a LEFT JOIN on a key.
        t.countSql = QStringLiteral("SELECT count(*) FROM (%1 LIMIT -1)")
                         .arg(assembleCore(single, false, false, false, nullptr, QStringLiteral("1")));
    }
    if (r.single && first.from.size() == 1 && first.from[0]->kind == Source::Table && single.scope
        && single.scope->instances.size() == 1 && !single.scope->instances[0].table.isEmpty()
        && !single.aggregate && first.predicate == SelectCore::All) {
        const Instance &inst = single.scope->instances[0];
        t.updatableTable = inst.table;
        const QString rowid = quoteIdent(inst.name) + QLatin1String(".rowid");
        t.rowidSql = assembleCore(single, false, false, true, nullptr, rowid);
        QStringList items;
        for (const auto &item : single.items)
            items.append(asValue(item.typed).sql + QLatin1String(" AS ") + quoteIdent(item.name));
        // The rowid parameter follows every other parameter.
        t.rowSql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?%4")
                       .arg(items.join(QLatin1String(", ")), single.from, rowid)
                       .arg(m_slots.size() + 1);
    }
}

void JetEmitter::emitTransform(const Request &request, Translation &t, const QList<Value> *pivotValues)
{
    const Statement &st = *request.statement;
    const Expr *filter = request.filter.get();
    const std::vector<OrderTerm> *sort = request.sort.get();
    const Query &q = *st.query;
    CoreParts parts = emitCore(q.cores.front(), nullptr, filter);
    emitOrderInto(parts, sort ? *sort : q.orderBy);
    Scope &scope = *parts.scope;
    const Typed pivot = value(*st.pivot, scope);
    // The cell type: the TRANSFORM expression's, with aggregates over no row.
    m_pivotCondition = QStringLiteral("0");
    const Typed cellType = value(*st.transformValue, scope);
    m_pivotCondition.clear();

    t.kind = Translation::Kind::Crosstab;
    for (const auto &item : parts.items) {
        ResultColumn c;
        c.name = item.name;
        c.type = item.typed.type == FieldType::Empty ? FieldType::Text : item.typed.type;
        c.size = item.typed.size;
        if (item.typed.column) {
            c.baseTable = item.typed.baseTable;
            c.baseColumn = item.typed.baseColumn;
        }
        t.columns.append(c);
    }
    QList<Typed> listed;
    QList<Value> listedValues;
    if (st.hasPivotList) {
        Scope empty;
        QStringList selects;
        for (const ExprPtr &v : st.pivotList) {
            const Typed lit = value(*v, empty);
            listed.append(lit);
            selects.append(QStringLiteral("SELECT %1 AS \"jet_pivot\"").arg(lit.sql));
            Value val;
            switch (v->kind) {
            case Expr::String: val = Value(v->text); break;
            case Expr::Integer: case Expr::Boolean: val = Value(std::int64_t(v->integer)); break;
            case Expr::Decimal: case Expr::Date: val = Value(v->number); break;
            default: break;
            }
            listedValues.append(val);
        }
        t.pivotValuesSql = selects.join(QLatin1String(" UNION ALL "));
    } else {
        QString sql = QStringLiteral("SELECT DISTINCT %1 COLLATE JETTEXT AS \"jet_pivot\"").arg(pivot.sql);
        if (!parts.from.isEmpty())
            sql += QLatin1String(" FROM ") + parts.from;
        if (!parts.where.isEmpty())
            sql += QLatin1String(" WHERE ") + parts.where;
        sql += QLatin1String(" ORDER BY 1");
        t.pivotValuesSql = sql;
    }
    if (!pivotValues) {
        auto req = request;
        const SchemaCatalog *catalog = &m_catalog;
        t.buildCrosstab = [req, catalog](const QList<Value> &values) {
            JetEmitter again(*catalog);
            return again.emitCrosstab(req, values);
        };
        return;
    }
    const QList<Value> &values = st.hasPivotList ? listedValues : *pivotValues;
    for (qsizetype k = 0; k < values.size(); ++k) {
        const Value &v = values[k];
        QString match;
        QString name;
        const FieldType pt = pivot.type;
        if (v.isNull()) {
            match = pivot.sql + QLatin1String(" IS NULL");
            name = QStringLiteral("<>");
        } else if (st.hasPivotList && !isText(pt) && pt != FieldType::Empty) {
            match = QStringLiteral("%1 = %2").arg(pivot.sql, listed[k].sql);
            name = valueText(v, pt == FieldType::Empty ? v.type() : pt);
        } else if (isText(pt) || pt == FieldType::Empty || isTextType(v.type())) {
            const QString text = isTextType(v.type()) ? v.toString() : valueText(v, pt);
            match = QStringLiteral("%1 = %2 COLLATE JETTEXT").arg(pivot.sql, quoteString(text));
            name = text;
        } else {
            const double d = v.toDouble();
            const QString lit = (d == std::floor(d) && std::fabs(d) < 9e15) ? QString::number(qint64(d)) : realLiteral(d);
            match = QStringLiteral("%1 = %2").arg(pivot.sql, lit);
            name = valueText(v, pt);
        }
        m_pivotCondition = match;
        const Typed cell = value(*st.transformValue, scope);
        m_pivotCondition.clear();
        Typed col = cell;
        col.sql = QStringLiteral("CASE WHEN count(CASE WHEN %1 THEN 1 END) > 0 THEN %2 END").arg(match, cell.sql);
        col.column = false;
        parts.items.push_back(CoreParts::Item{name, col});
        ResultColumn c;
        c.name = name;
        c.type = cellType.type == FieldType::Empty ? FieldType::Text : cellType.type;
        c.size = cellType.size;
        t.columns.append(c);
    }
    t.sql = assembleCore(parts, false, false, true);
}

void JetEmitter::emitInsert(const Statement &st, Translation &t)
{
    const auto columns = m_catalog.tableColumns(st.table);
    if (!columns)
        throw jetException(ErrNoInputTable, st.table);
    QList<SchemaCatalog::Column> targets;
    if (st.columns.isEmpty()) {
        targets = *columns;
    } else {
        for (const QString &name : st.columns) {
            bool found = false;
            for (const auto &c : *columns) {
                if (sameName(c.name, name)) {
                    targets.append(c);
                    found = true;
                    break;
                }
            }
            if (!found)
                throw jetException(ErrUnknownInsertField, name);
        }
    }
    QStringList names;
    for (const auto &c : targets)
        names.append(quoteIdent(c.name));
    t.kind = Translation::Kind::Insert;
    if (st.query) {
        QueryResult r = emitQuery(*st.query, nullptr, nullptr, nullptr, true);
        if (r.columns.size() != targets.size())
            throw jetException(ErrValueCountMismatch);
        QStringList values;
        for (qsizetype k = 0; k < targets.size(); ++k)
            values.append(QStringLiteral("jet_store(\"jet_q\".\"jet_c%1\", %2, %3)")
                              .arg(k + 1)
                              .arg(int(targets[k].type))
                              .arg(targets[k].size));
        t.sql = QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM (%4) AS \"jet_q\"")
                    .arg(quoteIdent(st.table), names.join(QLatin1String(", ")),
                         values.join(QLatin1String(", ")), r.sql);
    } else {
        if (qsizetype(st.values.size()) != targets.size())
            throw jetException(ErrValueCountMismatch);
        Scope empty;
        QStringList values;
        for (size_t k = 0; k < st.values.size(); ++k) {
            // A whole number written as such into a column that holds it
            // (and a 0 into any number column) is stored as jet_store would
            // give it back, without calling it for every row written.
            const Expr &e = *st.values[k];
            if (e.kind == Expr::Integer) {
                const FieldType type = targets[qsizetype(k)].type;
                const qint64 n = e.integer;
                if ((type == FieldType::Byte && n >= 0 && n <= 255)
                    || (type == FieldType::Integer && n >= -32768 && n <= 32767)
                    || (type == FieldType::Long && n >= -2147483648LL && n <= 2147483647LL)) {
                    values.append(QString::number(n));
                    continue;
                }
                if (n == 0 && (type == FieldType::Currency || type == FieldType::Single || type == FieldType::Double)) {
                    values.append(QStringLiteral("0.0"));
                    continue;
                }
            }
            const Typed v = rowValue(e, empty);
            values.append(QStringLiteral("jet_store(%1, %2, %3)")
                              .arg(v.sql)
                              .arg(int(targets[qsizetype(k)].type))
                              .arg(targets[qsizetype(k)].size));
        }
        t.sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(quoteIdent(st.table), names.join(QLatin1String(", ")), values.join(QLatin1String(", ")));
    }
}

void JetEmitter::emitUpdate(const Statement &st, Translation &t)
{
    Scope scope;
    for (const SourcePtr &src : st.sources)
        collectSources(*src, scope);
    // Every SET target is a column of one base-table instance.
    int target = -1;
    struct Assignment { QString column; FieldType type; int size; Typed value; };
    QList<Assignment> sets;
    for (const SetClause &set : st.sets) {
        const QStringList &parts = set.target->parts;
        int found = -1;
        QString columnName;
        FieldType type = FieldType::Text;
        int size = 0;
        for (size_t i = 0; i < scope.instances.size(); ++i) {
            const Instance &inst = scope.instances[i];
            if (parts.size() == 2 && !sameName(inst.name, parts[0]))
                continue;
            for (const ResultColumn &c : inst.columns) {
                if (sameName(c.name, parts.back())) {
                    if (found >= 0 && found != int(i))
                        throw jetException(ErrAmbiguousField, parts.join(QLatin1Char('.')));
                    found = int(i);
                    columnName = c.name;
                    type = c.type;
                    size = c.size;
                }
            }
        }
        if (found < 0 || parts.size() > 2) {
            parameter(parts.join(QLatin1Char('.')), true);
            continue;
        }
        if (scope.instances[size_t(found)].table.isEmpty() || (target >= 0 && target != found))
            throw DbException(3073, QStringLiteral("Operation must use an updatable query."));
        target = found;
        sets.append(Assignment{columnName, type, size, rowValue(*set.value, scope)});
    }
    t.kind = Translation::Kind::Update;
    if (target < 0) {
        finishParameters(t);
        throw jetException(ErrSyntaxInUpdate);
    }
    const QString where = st.where ? whereCondition(*st.where, scope) : QString();
    const Instance &inst = scope.instances[size_t(target)];
    const bool singleTable = st.sources.size() == 1 && st.sources[0]->kind == Source::Table;
    QStringList assignments;
    if (singleTable) {
        for (const Assignment &a : sets)
            assignments.append(QStringLiteral("%1 = jet_store(%2, %3, %4)")
                                   .arg(quoteIdent(a.column), a.value.sql)
                                   .arg(int(a.type))
                                   .arg(a.size));
        t.sql = QStringLiteral("UPDATE %1").arg(quoteIdent(inst.table));
        if (inst.name != inst.table)
            t.sql += QLatin1String(" AS ") + quoteIdent(inst.name);
        t.sql += QLatin1String(" SET ") + assignments.join(QLatin1String(", "));
        if (!where.isEmpty())
            t.sql += QLatin1String(" WHERE ") + where;
    } else {
        // Over a join: compute the new values per target rowid from the rows
        // as they stand, then write them.
        QStringList inner;
        inner.append(quoteIdent(inst.name) + QLatin1String(".rowid AS \"jet_rid\""));
        for (qsizetype k = 0; k < sets.size(); ++k) {
            const Assignment &a = sets[k];
            inner.append(QStringLiteral("%1 AS \"jet_v%2\"").arg(a.value.sql).arg(k + 1));
            assignments.append(QStringLiteral("%1 = jet_store(\"jet_s\".\"jet_v%2\", %3, %4)")
                                   .arg(quoteIdent(a.column))
                                   .arg(k + 1)
                                   .arg(int(a.type))
                                   .arg(a.size));
        }
        QStringList from;
        for (const SourcePtr &src : st.sources)
            from.append(fromSql(*src, scope));
        QString sub = QStringLiteral("SELECT %1 FROM %2").arg(inner.join(QLatin1String(", ")), from.join(QLatin1String(", ")));
        if (!where.isEmpty())
            sub += QLatin1String(" WHERE ") + where;
        t.sql = QStringLiteral("UPDATE %1 AS \"jet_t\" SET %2 FROM (%3) AS \"jet_s\" WHERE \"jet_t\".rowid = \"jet_s\".\"jet_rid\"")
                    .arg(quoteIdent(inst.table), assignments.join(QLatin1String(", ")), sub);
    }
}

void JetEmitter::emitDelete(const Statement &st, Translation &t)
{
    Scope scope;
    for (const SourcePtr &src : st.sources)
        collectSources(*src, scope);
    int target = -1;
    if (!st.deleteTable.isEmpty()) {
        for (size_t i = 0; i < scope.instances.size(); ++i) {
            if (sameName(scope.instances[i].name, st.deleteTable))
                target = int(i);
        }
        if (target < 0)
            throw jetException(ErrNoInputTable, st.deleteTable);
    } else if (scope.instances.size() == 1) {
        target = 0;
    } else {
        throw DbException(3128, QStringLiteral("Specify the table containing the records you want to delete."));
    }
    const Instance &inst = scope.instances[size_t(target)];
    if (inst.table.isEmpty())
        throw DbException(3086, QStringLiteral("Could not delete from specified tables."));
    const QString where = st.where ? whereCondition(*st.where, scope) : QString();
    t.kind = Translation::Kind::Delete;
    const bool singleTable = st.sources.size() == 1 && st.sources[0]->kind == Source::Table;
    if (singleTable) {
        t.sql = QStringLiteral("DELETE FROM %1").arg(quoteIdent(inst.table));
        if (inst.name != inst.table)
            t.sql += QLatin1String(" AS ") + quoteIdent(inst.name);
        if (!where.isEmpty())
            t.sql += QLatin1String(" WHERE ") + where;
    } else {
        QStringList from;
        for (const SourcePtr &src : st.sources)
            from.append(fromSql(*src, scope));
        QString sub = QStringLiteral("SELECT %1.rowid FROM %2").arg(quoteIdent(inst.name), from.join(QLatin1String(", ")));
        if (!where.isEmpty())
            sub += QLatin1String(" WHERE ") + where;
        t.sql = QStringLiteral("DELETE FROM %1 WHERE rowid IN (%2)").arg(quoteIdent(inst.table), sub);
    }
}

// ------------------------------------------------------------------ SELECT

JetEmitter::CoreParts JetEmitter::emitCore(const SelectCore &core, Scope *parent, const Expr *filter)
{
    CoreParts parts;
    parts.scope = std::make_unique<Scope>();
    Scope &scope = *parts.scope;
    scope.parent = parent;
    scope.core = &core;
    for (const SourcePtr &src : core.from)
        collectSources(*src, scope);
    scope.aliasState.assign(core.items.size(), 0);
    scope.aliasTyped.resize(core.items.size());
    for (size_t i = 0; i < core.items.size(); ++i) {
        const SelectItem &item = core.items[i];
        if (item.hasAlias && !scope.aliasIndex.contains(item.alias.toLower()))
            scope.aliasIndex.insert(item.alias.toLower(), int(i));
    }

    // The select list, * expanded in table order.
    int exprNumber = 1000;
    std::vector<bool> renamable;
    for (size_t i = 0; i < core.items.size(); ++i) {
        const SelectItem &item = core.items[i];
        if (item.star) {
            bool any = false;
            for (size_t k = 0; k < scope.instances.size(); ++k) {
                Instance &inst = scope.instances[k];
                if (!item.starTable.isEmpty() && !sameName(inst.name, item.starTable))
                    continue;
                any = true;
                for (const ResultColumn &c : inst.columns) {
                    Typed t = typedOf(quoteIdent(inst.name) + QLatin1Char('.') + quoteIdent(c.name), c.type, c.size);
                    t.column = true;
                    t.columnName = c.name;
                    t.sourceName = inst.name;
                    t.baseTable = c.baseTable;
                    t.baseColumn = c.baseColumn;
                    t.instances = k < 64 ? (quint64(1) << k) : 0;
                    parts.items.push_back(CoreParts::Item{c.name, t});
                    renamable.push_back(true);
                }
            }
            if (!any)
                throw jetException(ErrNoInputTable, item.starTable);
            continue;
        }
        // Emitted through the alias cache so that references share it.
        if (scope.aliasState[i] == 0) {
            scope.aliasState[i] = 1;
            const quint64 saved = scope.used;
            scope.used = 0;
            Typed t = expr(*item.expr, scope);
            t.instances |= scope.used;
            scope.used = saved | t.instances;
            scope.aliasTyped[i] = t;
            scope.aliasState[i] = 2;
        }
        const Typed t = asValue(scope.aliasTyped[i]);
        QString name;
        if (item.hasAlias)
            name = item.alias;
        else if (t.column)
            name = t.columnName;
        else
            name = QStringLiteral("Expr%1").arg(exprNumber++);
        parts.items.push_back(CoreParts::Item{name, t});
        renamable.push_back(!item.hasAlias && t.column);
    }
    // Two columns of one name are called Table.Field.
    QHash<QString, int> counts;
    for (const auto &item : parts.items)
        counts[item.name.toLower()] += 1;
    for (size_t i = 0; i < parts.items.size(); ++i) {
        auto &item = parts.items[i];
        if (renamable[i] && counts.value(item.name.toLower()) > 1 && !item.typed.sourceName.isEmpty())
            item.name = item.typed.sourceName + QLatin1Char('.') + item.typed.columnName;
    }

    QStringList from;
    for (const SourcePtr &src : core.from)
        from.append(fromSql(*src, scope));
    parts.from = from.join(QLatin1String(", "));

    auto both = [](const QString &a, const QString &b) {
        return a.isEmpty() ? b : b.isEmpty() ? a : QStringLiteral("(%1) AND (%2)").arg(a, b);
    };
    // A filter goes before the grouping; one that reads a total (through an
    // alias of an aggregate column) can only hold on the groups.
    QString filterSql;
    bool filterOnGroups = false;
    if (core.where)
        parts.where = whereCondition(*core.where, scope);
    if (filter) {
        const Typed f = expr(*filter, scope);
        filterSql = f.sql;
        filterOnGroups = f.aggregate;
        if (!filterOnGroups)
            parts.where = both(parts.where, filterSql);
    }

    bool aggregate = !core.groupBy.empty() || core.having;
    for (const ExprPtr &g : core.groupBy) {
        const Typed term = value(*g, scope);
        if (term.aggregate)
            throw DbException(ErrAggregateInGroupBy,
                              QStringLiteral("Cannot have aggregate function in GROUP BY clause (%1).").arg(exprText(*g)));
        parts.groupBy.append(sortTerm(term));
    }
    if (core.having)
        parts.having = condition(*core.having, scope);
    if (filterOnGroups)
        parts.having = both(parts.having, filterSql);
    for (const auto &item : parts.items)
        aggregate = aggregate || item.typed.aggregate;
    parts.aggregate = aggregate;

    parts.hasTop = core.hasTop;
    parts.top = core.top;
    parts.topPercent = core.topPercent;
    if (core.predicate == SelectCore::Distinct) {
        parts.distinct = true;
    } else if (core.predicate == SelectCore::DistinctRow && !aggregate) {
        // Distinct over the whole records of the tables that supply columns.
        quint64 mask = 0;
        for (const auto &item : parts.items)
            mask |= item.typed.instances;
        bool baseTablesOnly = mask != 0;
        QStringList rowids;
        for (size_t k = 0; k < scope.instances.size() && k < 64; ++k) {
            if (!(mask & (quint64(1) << k)))
                continue;
            if (scope.instances[k].table.isEmpty())
                baseTablesOnly = false;
            rowids.append(quoteIdent(scope.instances[k].name) + QLatin1String(".rowid"));
        }
        if (baseTablesOnly)
            parts.rowidGroup = rowids;
        else
            parts.distinct = true;
    }
    return parts;
}

void JetEmitter::emitOrderInto(CoreParts &parts, const std::vector<OrderTerm> &terms)
{
    parts.orderBy.clear();
    parts.orderHasUniqueKey = false;
    for (const OrderTerm &term : terms) {
        const Typed t = value(*term.expr, *parts.scope);
        QString s = sortTerm(t);
        if (term.descending)
            s += QLatin1String(" DESC");
        parts.orderBy.append(s);
        if (t.column && !t.baseTable.isEmpty() && m_catalog.isUniqueColumn(t.baseTable, t.baseColumn))
            parts.orderHasUniqueKey = true;
    }
}

QString JetEmitter::assembleCore(const CoreParts &parts, bool collateText, bool internalNames, bool withOrder,
                                 const QList<FieldType> *widened, const QString &selectOverride) const
{
    const bool wrapTop = parts.hasTop && (parts.topPercent || (!parts.orderBy.isEmpty() && !parts.orderHasUniqueKey));
    QStringList items;
    QStringList outer;
    QStringList plainItems;
    if (!selectOverride.isEmpty()) {
        items.append(selectOverride + (wrapTop ? QStringLiteral(" AS \"jet_c1\"") : QString()));
        outer.append(QStringLiteral("\"jet_c1\""));
    } else {
        for (size_t k = 0; k < parts.items.size(); ++k) {
            const auto &item = parts.items[k];
            const FieldType type = widened ? (*widened)[qsizetype(k)] : item.typed.type;
            QString s = item.typed.sql;
            if ((collateText || parts.distinct) && isText(type))
                s += QLatin1String(" COLLATE JETTEXT");
            plainItems.append(s);
            const QString internal = QStringLiteral("jet_c%1").arg(k + 1);
            const QString finalName = internalNames ? internal : item.name;
            items.append(s + QLatin1String(" AS ") + quoteIdent(wrapTop ? internal : finalName));
            outer.append(quoteIdent(internal) + QLatin1String(" AS ") + quoteIdent(finalName));
        }
    }
    // DISTINCT under a TOP with ties groups instead, so the ranking sees distinct rows.
    const bool distinctAsGroup = wrapTop && parts.distinct && !parts.aggregate && selectOverride.isEmpty();
    QString sql = QLatin1String("SELECT ");
    if (parts.distinct && !distinctAsGroup)
        sql += QLatin1String("DISTINCT ");
    sql += items.join(QLatin1String(", "));
    if (wrapTop) {
        const QString order = parts.orderBy.isEmpty() ? QString() : QLatin1String("ORDER BY ") + parts.orderBy.join(QLatin1String(", "));
        sql += parts.orderBy.isEmpty() ? QStringLiteral(", row_number() OVER () AS \"jet_rank\"")
                                       : QStringLiteral(", rank() OVER (%1) AS \"jet_rank\"").arg(order);
        if (parts.topPercent)
            sql += QLatin1String(", count(*) OVER () AS \"jet_count\"");
    }
    if (!parts.from.isEmpty())
        sql += QLatin1String(" FROM ") + parts.from;
    if (!parts.where.isEmpty())
        sql += QLatin1String(" WHERE ") + parts.where;
    QStringList group = parts.groupBy;
    if (!parts.rowidGroup.isEmpty())
        group = parts.rowidGroup;
    if (distinctAsGroup)
        group = plainItems;
    if (!group.isEmpty())
        sql += QLatin1String(" GROUP BY ") + group.join(QLatin1String(", "));
    if (!parts.having.isEmpty())
        sql += QLatin1String(" HAVING ") + parts.having;
    if (wrapTop) {
        const QString n = QString::number(qint64(parts.top));
        const QString keep = parts.topPercent
                                 ? QStringLiteral("(\"jet_rank\" - 1) * 100 < %1 * \"jet_count\"").arg(realLiteral(parts.top))
                                 : QStringLiteral("\"jet_rank\" <= %1").arg(n);
        return QStringLiteral("SELECT %1 FROM (%2) WHERE %3 ORDER BY \"jet_rank\"").arg(outer.join(QLatin1String(", ")), sql, keep);
    }
    if (withOrder && !parts.orderBy.isEmpty())
        sql += QLatin1String(" ORDER BY ") + parts.orderBy.join(QLatin1String(", "));
    if (parts.hasTop)
        sql += QStringLiteral(" LIMIT %1").arg(qint64(parts.top));
    return sql;
}

JetEmitter::QueryResult JetEmitter::emitQuery(const Query &q, Scope *parent, const Expr *filter,
                                              const std::vector<OrderTerm> *sort, bool internalNames,
                                              CoreParts *singleCore)
{
    QueryResult r;
    const std::vector<OrderTerm> &terms = sort ? *sort : q.orderBy;
    if (q.cores.size() == 1) {
        CoreParts parts = emitCore(q.cores.front(), parent, filter);
        emitOrderInto(parts, terms);
        r.sql = assembleCore(parts, false, internalNames, true);
        r.single = true;
        for (const auto &item : parts.items) {
            ResultColumn c;
            c.name = internalNames ? QStringLiteral("jet_c%1").arg(r.columns.size() + 1) : item.name;
            c.type = item.typed.type == FieldType::Empty ? FieldType::Text : item.typed.type;
            c.size = item.typed.type == FieldType::Empty ? 255 : item.typed.size;
            if (item.typed.column) {
                c.baseTable = item.typed.baseTable;
                c.baseColumn = item.typed.baseColumn;
            }
            r.columns.append(c);
        }
        if (singleCore)
            *singleCore = std::move(parts);
        return r;
    }

    // UNION: the names of the first SELECT, the types widened over all.
    std::vector<CoreParts> cores;
    for (const SelectCore &core : q.cores)
        cores.push_back(emitCore(core, parent, nullptr));
    const size_t width = cores.front().items.size();
    for (const CoreParts &c : cores) {
        if (c.items.size() != width)
            throw DbException(3307, QStringLiteral("The number of columns in the two selected tables or queries of a union query do not match."));
    }
    QList<FieldType> types;
    QList<int> sizes;
    for (size_t k = 0; k < width; ++k) {
        FieldType t = FieldType::Empty;
        for (const CoreParts &c : cores)
            t = widen(t, c.items[k].typed.type);
        types.append(t);
        int size = typeSize(t);
        if (t == FieldType::Text) {
            // A Text column keeps its size only when every SELECT gives the same size.
            size = -1;
            for (const CoreParts &c : cores) {
                const int s = isText(c.items[k].typed.type) ? c.items[k].typed.size : 255;
                size = size < 0 ? s : (size == s ? s : 255);
            }
        }
        sizes.append(size);
    }
    bool allUnionAll = true;
    for (bool all : q.unionAll)
        allUnionAll = allUnionAll && all;
    QString sql;
    for (size_t i = 0; i < cores.size(); ++i) {
        // Text columns carry JETTEXT on every SELECT: UNION compares with it, and
        // ORDER BY over the result sorts with it.
        QString coreSql = assembleCore(cores[i], true, internalNames, false, &types);
        if (cores[i].hasTop)
            coreSql = QStringLiteral("SELECT * FROM (%1)").arg(coreSql);
        if (i > 0)
            sql += q.unionAll[i - 1] ? QLatin1String(" UNION ALL ") : QLatin1String(" UNION ");
        sql += coreSql;
    }
    const CoreParts &first = cores.front();
    QStringList order;
    if (!terms.empty()) {
        for (const OrderTerm &term : terms) {
            int found = -1;
            const Expr &e = *term.expr;
            if (e.kind == Expr::Name) {
                const QString full = e.parts.join(QLatin1Char('.'));
                for (size_t k = 0; k < width && found < 0; ++k) {
                    if (sameName(first.items[k].name, full))
                        found = int(k);
                }
                for (size_t k = 0; k < width && found < 0; ++k) {
                    const Typed &t = first.items[k].typed;
                    if (t.column && sameName(t.columnName, e.parts.back())
                        && (e.parts.size() == 1 || sameName(t.sourceName, e.parts.front())))
                        found = int(k);
                }
            } else if (e.kind == Expr::Integer && e.integer >= 1 && qsizetype(e.integer) <= qsizetype(width)) {
                found = int(e.integer - 1);
            }
            if (found < 0)
                throw jetException(ErrSyntaxInOrderBy);
            // A bare ordinal: the column's own collation applies (SQLite cannot
            // take COLLATE on a compound's ORDER BY when a SELECT groups by a
            // qualified column).
            QString s = QString::number(found + 1);
            if (term.descending)
                s += QLatin1String(" DESC");
            order.append(s);
        }
    } else if (!allUnionAll) {
        // Jet removes duplicates by sorting: the rows come ascending on every column.
        for (size_t k = 0; k < width; ++k)
            order.append(QString::number(k + 1));
    }
    if (!order.isEmpty())
        sql += QLatin1String(" ORDER BY ") + order.join(QLatin1String(", "));
    for (size_t k = 0; k < width; ++k) {
        ResultColumn c;
        c.name = internalNames ? QStringLiteral("jet_c%1").arg(k + 1) : first.items[k].name;
        c.type = types[qsizetype(k)] == FieldType::Empty ? FieldType::Text : types[qsizetype(k)];
        c.size = types[qsizetype(k)] == FieldType::Empty ? 255 : sizes[qsizetype(k)];
        r.columns.append(c);
    }
    if (filter) {
        Scope scope;
        scope.parent = parent;
        Instance inst;
        inst.name = QStringLiteral("jet_f");
        inst.columns = r.columns;
        scope.instances.push_back(inst);
        const QString cond = condition(*filter, scope);
        sql = QStringLiteral("SELECT * FROM (%1) AS \"jet_f\" WHERE %2").arg(sql, cond);
    }
    r.sql = sql;
    return r;
}

// ------------------------------------------------------------------ FROM

int JetEmitter::addTableInstance(const QString &table, const QString &alias, Scope &scope)
{
    Instance inst;
    inst.name = alias.isEmpty() ? table : alias;
    if (const auto columns = m_catalog.tableColumns(table)) {
        inst.table = table;
        for (const SchemaCatalog::Column &c : *columns) {
            ResultColumn rc;
            rc.name = c.name;
            rc.type = c.type;
            rc.size = c.size > 0 ? c.size : (c.type == FieldType::Text ? 255 : typeSize(c.type));
            if (c.type == FieldType::Memo)
                rc.size = 0;
            rc.baseTable = table;
            rc.baseColumn = c.name;
            inst.columns.append(rc);
        }
        inst.sql = quoteIdent(table);
        if (!alias.isEmpty())
            inst.sql += QLatin1String(" AS ") + quoteIdent(alias);
    } else if (const auto text = m_catalog.savedQuery(table)) {
        const QString key = table.toLower();
        if (m_savedQueryStack.contains(key))
            throw jetException(ErrCircularQuery, table);
        JetParser parser(*text);
        auto st = std::make_shared<Statement>(parser.parseStatement());
        if (st->kind != Statement::Select || !st->query)
            throw jetException(ErrNoInputTable, table);
        m_keepAlive.push_back(st);
        declareParameters(*st);
        const QString savedText = m_text;
        m_text = *text;
        m_savedQueryStack.append(key);
        QueryResult r = emitQuery(*st->query, nullptr);
        m_savedQueryStack.removeLast();
        m_text = savedText;
        inst.columns = r.columns;
        inst.sql = QLatin1Char('(') + r.sql + QLatin1String(") AS ") + quoteIdent(inst.name);
    } else {
        throw jetException(ErrNoInputTable, table);
    }
    scope.instances.push_back(inst);
    return int(scope.instances.size() - 1);
}

void JetEmitter::collectSources(const Source &src, Scope &scope)
{
    switch (src.kind) {
    case Source::Table:
        scope.sourceInstance.insert(&src, addTableInstance(src.name, src.alias, scope));
        break;
    case Source::Subquery: {
        Instance inst;
        inst.name = src.alias.isEmpty() ? QStringLiteral("jet_q%1").arg(++m_subqueryNames) : src.alias;
        QueryResult r = emitQuery(*src.query, nullptr);
        inst.columns = r.columns;
        inst.sql = QLatin1Char('(') + r.sql + QLatin1String(") AS ") + quoteIdent(inst.name);
        scope.instances.push_back(inst);
        scope.sourceInstance.insert(&src, int(scope.instances.size() - 1));
        break;
    }
    case Source::Join:
        collectSources(*src.left, scope);
        collectSources(*src.right, scope);
        break;
    }
}

namespace {

// A join tree written as one left-deep chain, so that every table stays
// visible by name (with its rowid) to the rest of the statement.
struct JoinLink
{
    QString op;
    QString source;
    QString on;
};

struct JoinChain
{
    QString first;
    std::vector<JoinLink> links;

    bool allInner() const
    {
        for (const JoinLink &l : links) {
            if (l.op != QLatin1String("INNER"))
                return false;
        }
        return true;
    }
    QString text() const
    {
        QString s = first;
        for (const JoinLink &l : links)
            s += QStringLiteral(" %1 JOIN %2 ON %3").arg(l.op, l.source, l.on);
        return s;
    }
};

QString mirrored(const QString &op)
{
    if (op == QLatin1String("LEFT"))
        return QStringLiteral("RIGHT");
    if (op == QLatin1String("RIGHT"))
        return QStringLiteral("LEFT");
    return op;
}

} // namespace

QString JetEmitter::fromSql(const Source &src, Scope &scope)
{
    std::function<JoinChain(const Source &)> chain = [&](const Source &s) -> JoinChain {
        if (s.kind != Source::Join)
            return JoinChain{scope.instances[size_t(scope.sourceInstance.value(&s))].sql, {}};
        JoinChain left = chain(*s.left);
        JoinChain right = chain(*s.right);
        const QString on = condition(*s.on, scope);
        const QString op = s.joinType == Source::Left ? QStringLiteral("LEFT")
                           : s.joinType == Source::Right ? QStringLiteral("RIGHT")
                                                         : QStringLiteral("INNER");
        if (right.links.empty()) {
            if (left.links.empty() && s.joinType == Source::Right) {
                // "a RIGHT JOIN b" gives the rows of "b LEFT JOIN a"; SQLite
                // plans the left join far better (an index lookup on a's key
                // where the right join scans both tables).
                right.links.push_back(JoinLink{QStringLiteral("LEFT"), left.first, on});
                return right;
            }
            left.links.push_back(JoinLink{op, right.first, on});
            return left;
        }
        if (left.links.empty()) {
            // "a RIGHT JOIN (b ...)" reads the same as "(b ...) LEFT JOIN a".
            right.links.push_back(JoinLink{mirrored(op), left.first, on});
            return right;
        }
        if (op == QLatin1String("INNER") && right.allInner()) {
            // Inner joins associate: their conditions all hold on the joined rows.
            left.links.push_back(JoinLink{op, right.first, QStringLiteral("1")});
            for (const JoinLink &l : right.links)
                left.links.push_back(l);
            JoinLink &last = left.links.back();
            last.on = QStringLiteral("(%1 AND %2)").arg(last.on, on);
            return left;
        }
        left.links.push_back(JoinLink{op, QLatin1Char('(') + right.text() + QLatin1Char(')'), on});
        return left;
    };
    return chain(src).text();
}

// ------------------------------------------------------------------ expressions

QString JetEmitter::exprText(const Expr &e) const
{
    return m_text.mid(e.pos, e.end - e.pos);
}

void JetEmitter::wrongArguments(const Expr &e) const
{
    throw DbException(ErrSyntaxInExpression,
                      QStringLiteral("Wrong number of arguments used with function in query expression '%1'.").arg(exprText(e)));
}

Typed JetEmitter::value(const Expr &e, Scope &scope)
{
    return asValue(expr(e, scope));
}

QString JetEmitter::condition(const Expr &e, Scope &scope)
{
    return expr(e, scope).sql;
}

Typed JetEmitter::rowValue(const Expr &e, Scope &scope)
{
    Typed t = value(e, scope);
    if (t.aggregate)
        throw DbException(ErrAggregateInExpression,
                          QStringLiteral("Cannot have aggregate function in expression (%1).").arg(exprText(e)));
    return t;
}

QString JetEmitter::whereCondition(const Expr &e, Scope &scope)
{
    const Typed t = expr(e, scope);
    // Totals are known only per group: a WHERE cannot use them (HAVING can).
    if (t.aggregate)
        throw DbException(ErrAggregateInWhere,
                          QStringLiteral("Cannot have aggregate function in WHERE clause (%1).").arg(exprText(e)));
    return t.sql;
}

Typed JetEmitter::expr(const Expr &e, Scope &scope)
{
    switch (e.kind) {
    case Expr::Null: {
        Typed t = typedOf(QStringLiteral("NULL"), FieldType::Empty, 0);
        t.nullLiteral = true;
        t.constant = true;
        return t;
    }
    case Expr::Integer: {
        const bool isLong = e.integer >= -2147483648LL && e.integer <= 2147483647LL;
        Typed t = typedOf(QString::number(e.integer), isLong ? FieldType::Long : FieldType::Double);
        t.constant = true;
        return t;
    }
    case Expr::Decimal: {
        Typed t = typedOf(realLiteral(e.number), FieldType::Double);
        t.constant = true;
        return t;
    }
    case Expr::String: {
        Typed t = typedOf(quoteString(e.text), FieldType::Text, 255);
        t.constant = true;
        return t;
    }
    case Expr::Date: {
        Typed t = typedOf(realLiteral(e.number), FieldType::Date);
        t.constant = true;
        return t;
    }
    case Expr::Boolean: {
        Typed t = typedOf(QString::number(e.integer), FieldType::Boolean);
        t.constant = true;
        return t;
    }
    case Expr::Name:
        return name(e, scope);
    case Expr::Star:
        throw DbException(ErrSyntaxInExpression,
                          jetErrorText(ErrSyntaxInExpression, exprText(e)));
    case Expr::Placeholder:
        return placeholder(int(e.integer));
    case Expr::Unary: {
        if (e.op == QLatin1String("not")) {
            Typed a = expr(*e.args[0], scope);
            Typed t = typedOf(QStringLiteral("(NOT %1)").arg(a.sql), FieldType::Boolean);
            t.predicate = true;
            t.aggregate = a.aggregate;
            t.instances = a.instances;
            t.constant = a.constant;
            return t;
        }
        Typed a = value(*e.args[0], scope);
        if (e.op == QLatin1String("+"))
            return a;
        Typed t = a;
        t.sql = QStringLiteral("(- %1)").arg(a.sql);
        t.column = false;
        if (isText(a.type))
            t.type = FieldType::Double;
        else if (a.type == FieldType::Boolean || a.type == FieldType::Byte)
            t.type = FieldType::Integer;
        t.size = typeSize(t.type);
        return t;
    }
    case Expr::Binary:
        return binary(e, scope);
    case Expr::Like: {
        const Typed a = value(*e.args[0], scope);
        const Typed b = value(*e.args[1], scope);
        Typed t = typedOf(QStringLiteral("jet_like(%1, %2)").arg(a.sql, b.sql), FieldType::Boolean);
        if (e.negated)
            t.sql = QStringLiteral("(NOT %1)").arg(t.sql);
        t.predicate = true;
        t.aggregate = a.aggregate || b.aggregate;
        t.instances = a.instances | b.instances;
        return t;
    }
    case Expr::Between: {
        Typed a = value(*e.args[0], scope);
        Typed lo = value(*e.args[1], scope);
        Typed hi = value(*e.args[2], scope);
        auto operand = [](const Typed &x) { return isText(x.type) ? x.sql + QLatin1String(" COLLATE JETTEXT") : x.sql; };
        Typed t = typedOf(QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
                              .arg(operand(a), e.negated ? QStringLiteral("NOT ") : QString(), operand(lo), operand(hi)),
                          FieldType::Boolean);
        t.predicate = true;
        t.aggregate = a.aggregate || lo.aggregate || hi.aggregate;
        t.instances = a.instances | lo.instances | hi.instances;
        return t;
    }
    case Expr::In: {
        Typed a = value(*e.args[0], scope);
        QString left = isText(a.type) ? a.sql + QLatin1String(" COLLATE JETTEXT") : a.sql;
        QString list;
        bool agg = a.aggregate;
        quint64 inst = a.instances;
        if (e.query) {
            list = subquery(*e.query, scope).sql;
            if (list.startsWith(QLatin1Char('(')))
                list = list.mid(1, list.size() - 2);
        } else {
            QStringList items;
            for (size_t k = 1; k < e.args.size(); ++k) {
                const Typed v = value(*e.args[k], scope);
                items.append(v.sql);
                agg = agg || v.aggregate;
                inst |= v.instances;
            }
            list = items.join(QLatin1String(", "));
        }
        Typed t = typedOf(QStringLiteral("(%1 %2IN (%3))").arg(left, e.negated ? QStringLiteral("NOT ") : QString(), list),
                          FieldType::Boolean);
        t.predicate = true;
        t.aggregate = agg;
        t.instances = inst;
        return t;
    }
    case Expr::IsNull: {
        const Typed a = value(*e.args[0], scope);
        Typed t = typedOf(QStringLiteral("(%1 IS %2NULL)").arg(a.sql, e.negated ? QStringLiteral("NOT ") : QString()),
                          FieldType::Boolean);
        t.predicate = true;
        t.aggregate = a.aggregate;
        t.instances = a.instances;
        return t;
    }
    case Expr::Call:
        return call(e, scope);
    case Expr::Subquery:
        return subquery(*e.query, scope);
    case Expr::Exists: {
        Typed q = subquery(*e.query, scope);
        Typed t = typedOf(QStringLiteral("(EXISTS %1)").arg(q.sql), FieldType::Boolean);
        t.predicate = true;
        return t;
    }
    }
    return Typed();
}

Typed JetEmitter::subquery(const Query &q, Scope &scope)
{
    QueryResult r = emitQuery(q, &scope);
    Typed t = typedOf(QLatin1Char('(') + r.sql + QLatin1Char(')'), FieldType::Empty, 0);
    if (!r.columns.isEmpty()) {
        t.type = r.columns.front().type;
        t.size = r.columns.front().size;
    }
    return t;
}

Typed JetEmitter::name(const Expr &e, Scope &scope)
{
    const QStringList &parts = e.parts;
    const QString written = parts.join(QLatin1Char('.'));
    auto columnTyped = [](Scope &s, size_t i, const ResultColumn &c, bool current) {
        const Instance &inst = s.instances[i];
        Typed t = typedOf(inst.bare ? quoteIdent(c.name) : quoteIdent(inst.name) + QLatin1Char('.') + quoteIdent(c.name),
                          c.type, c.size);
        t.column = true;
        t.columnName = c.name;
        t.sourceName = inst.name;
        t.baseTable = c.baseTable;
        t.baseColumn = c.baseColumn;
        if (current && i < 64) {
            t.instances = quint64(1) << i;
            s.used |= t.instances;
        }
        return t;
    };
    for (Scope *s = &scope; s; s = s->parent) {
        const bool current = s == &scope;
        if (parts.size() == 1) {
            int foundInstance = -1;
            const ResultColumn *found = nullptr;
            for (size_t i = 0; i < s->instances.size(); ++i) {
                for (const ResultColumn &c : s->instances[i].columns) {
                    if (sameName(c.name, parts[0])) {
                        if (found && foundInstance != int(i))
                            throw jetException(ErrAmbiguousField, written);
                        if (!found) {
                            found = &c;
                            foundInstance = int(i);
                        }
                    }
                }
            }
            if (found)
                return columnTyped(*s, size_t(foundInstance), *found, current);
            const auto alias = s->aliasIndex.constFind(parts[0].toLower());
            if (alias != s->aliasIndex.constEnd() && s->core) {
                const int i = alias.value();
                if (s->aliasState[size_t(i)] == 1)
                    throw jetException(ErrCircularAlias, parts[0]);
                if (s->aliasState[size_t(i)] == 0) {
                    s->aliasState[size_t(i)] = 1;
                    const quint64 saved = s->used;
                    s->used = 0;
                    Typed t = expr(*s->core->items[size_t(i)].expr, *s);
                    t.instances |= s->used;
                    s->used = saved | t.instances;
                    s->aliasTyped[size_t(i)] = t;
                    s->aliasState[size_t(i)] = 2;
                }
                Typed t = s->aliasTyped[size_t(i)];
                if (current)
                    s->used |= t.instances;
                if (!t.column && !t.constant)
                    t.sql = QLatin1Char('(') + t.sql + QLatin1Char(')');
                return t;
            }
        } else if (parts.size() == 2) {
            bool sourceFound = false;
            for (size_t i = 0; i < s->instances.size(); ++i) {
                const Instance &inst = s->instances[i];
                if (inst.bare) {
                    // Result columns: "Table.Field" names, or the field of that table.
                    for (const ResultColumn &c : inst.columns) {
                        if (sameName(c.name, written))
                            return columnTyped(*s, i, c, current);
                    }
                    for (const ResultColumn &c : inst.columns) {
                        if (sameName(c.name, parts[1]) && (c.baseTable.isEmpty() || sameName(c.baseTable, parts[0])))
                            return columnTyped(*s, i, c, current);
                    }
                    continue;
                }
                if (!sameName(inst.name, parts[0]))
                    continue;
                sourceFound = true;
                for (const ResultColumn &c : inst.columns) {
                    if (sameName(c.name, parts[1]))
                        return columnTyped(*s, i, c, current);
                }
            }
            if (sourceFound)
                break;
        } else {
            break;
        }
    }
    if (m_declared.contains(written.toLower()))
        return parameter(written, false);
    return parameter(written, true);
}

void JetEmitter::concatOperands(const Expr &e, Scope &scope, QStringList &out, bool &allNull, Typed &flags)
{
    if (e.kind == Expr::Binary && e.op == QLatin1String("&")) {
        concatOperands(*e.args[0], scope, out, allNull, flags);
        concatOperands(*e.args[1], scope, out, allNull, flags);
        return;
    }
    const Typed t = value(e, scope);
    allNull = allNull && t.nullLiteral;
    flags.aggregate = flags.aggregate || t.aggregate;
    flags.instances |= t.instances;
    flags.constant = flags.constant && t.constant;
    out.append(asText(t));
}

namespace {

// "(A op B)", written "(a1 op a2 op B)" when A is itself "(a1 op a2)" of an
// operator of the same level: a long chain of ANDs or of additions then stays
// flat, as Jet reads it, instead of nesting parentheses that SQLite's parser
// stack cannot hold.
QString checkName(JetEmitter::Typed::Check check)
{
    return check == JetEmitter::Typed::Check::Finite ? QStringLiteral("jet_finite") : QStringLiteral("jet_indate");
}

// The check that arithmetic of a type needs.
JetEmitter::Typed::Check checkFor(FieldType type)
{
    if (type == FieldType::Double || type == FieldType::Single)
        return JetEmitter::Typed::Check::Finite;
    if (type == FieldType::Date)
        return JetEmitter::Typed::Check::InDate;
    return JetEmitter::Typed::Check::None;
}

// kind: the check the result will have. A checked chain of the same check
// goes on unchecked inside, its check moving to the new end.
QString chained(const JetEmitter::Typed &a, const QString &op, const QString &b, std::initializer_list<const char *> level,
                JetEmitter::Typed::Check kind = JetEmitter::Typed::Check::None)
{
    const bool goesOn = kind != JetEmitter::Typed::Check::None && a.check == kind && !a.open.isEmpty()
        && a.sql == checkName(kind) + QLatin1Char('(') + a.open + QLatin1Char(')');
    QString left = goesOn ? a.open : a.sql;
    // The first "(" must close at the very end (texts in quotes aside).
    const auto oneGroup = [](const QString &sql) {
        if (!sql.startsWith(QLatin1Char('(')) || !sql.endsWith(QLatin1Char(')')))
            return false;
        int depth = 0;
        QChar quote;
        for (qsizetype i = 0; i < sql.size(); ++i) {
            const QChar c = sql.at(i);
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                continue;
            }
            if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
                quote = c;
            else if (c == QLatin1Char('('))
                ++depth;
            else if (c == QLatin1Char(')') && --depth == 0)
                return i == sql.size() - 1;
        }
        return false;
    };
    for (const char *same : level) {
        if (a.chain == QLatin1String(same) && oneGroup(left)) {
            left = left.mid(1, left.size() - 2);
            return QStringLiteral("(%1 %2 %3)").arg(left, op, b);
        }
    }
    return QStringLiteral("(%1 %2 %3)").arg(a.sql, op, b);
}

} // namespace

Typed JetEmitter::binary(const Expr &e, Scope &scope)
{
    const QString &op = e.op;
    if (op == QLatin1String("&")) {
        Typed t = typedOf(QString(), FieldType::Text, 255);
        QStringList pieces;
        bool allNull = true;
        t.constant = true;
        concatOperands(e, scope, pieces, allNull, t);
        t.sql = QStringLiteral("jet_cat(%1)").arg(pieces.join(QLatin1String(", ")));
        return t;
    }
    if (op == QLatin1String("and") || op == QLatin1String("or") || op == QLatin1String("xor")
        || op == QLatin1String("eqv") || op == QLatin1String("imp")) {
        const Typed a = expr(*e.args[0], scope);
        const Typed b = expr(*e.args[1], scope);
        Typed t = typedOf(QString(), FieldType::Boolean);
        if (op == QLatin1String("and")) {
            t.sql = chained(a, QStringLiteral("AND"), b.sql, {"AND"});
            t.chain = QStringLiteral("AND");
        } else if (op == QLatin1String("or")) {
            t.sql = chained(a, QStringLiteral("OR"), b.sql, {"OR"});
            t.chain = QStringLiteral("OR");
        } else if (op == QLatin1String("xor"))
            t.sql = QStringLiteral("(CASE WHEN %1 IS NULL OR %2 IS NULL THEN NULL ELSE ((%1) <> 0) <> ((%2) <> 0) END)").arg(a.sql, b.sql);
        else if (op == QLatin1String("eqv"))
            t.sql = QStringLiteral("(CASE WHEN %1 IS NULL OR %2 IS NULL THEN NULL ELSE ((%1) <> 0) = ((%2) <> 0) END)").arg(a.sql, b.sql);
        else
            t.sql = QStringLiteral("((NOT %1) OR %2)").arg(a.sql, b.sql);
        t.predicate = true;
        t.aggregate = a.aggregate || b.aggregate;
        t.instances = a.instances | b.instances;
        t.constant = a.constant && b.constant;
        return t;
    }
    const Typed a = value(*e.args[0], scope);
    const Typed b = value(*e.args[1], scope);
    Typed t;
    t.aggregate = a.aggregate || b.aggregate;
    t.instances = a.instances | b.instances;
    t.constant = a.constant && b.constant;
    if (op == QLatin1String("=") || op == QLatin1String("<>") || op == QLatin1String("<") || op == QLatin1String(">")
        || op == QLatin1String("<=") || op == QLatin1String(">=")) {
        const QString sa = isText(a.type) ? a.sql + QLatin1String(" COLLATE JETTEXT") : a.sql;
        const QString sb = isText(b.type) ? b.sql + QLatin1String(" COLLATE JETTEXT") : b.sql;
        t.sql = QStringLiteral("(%1 %2 %3)").arg(sa, op, sb);
        t.type = FieldType::Boolean;
        t.size = 1;
        t.predicate = true;
        return t;
    }
    const FieldType ta = a.type;
    const FieldType tb = b.type;
    const bool nullOperand = a.nullLiteral || b.nullLiteral;
    auto other = [&](FieldType x, FieldType y) { return x == FieldType::Empty ? y : x; };
    if (op == QLatin1String("+")) {
        if (nullOperand) {
            t.sql = QStringLiteral("(%1 + %2)").arg(a.sql, b.sql);
            t.type = a.nullLiteral ? tb : ta;
        } else if (isText(ta) && isText(tb)) {
            t.sql = QStringLiteral("(%1 || %2)").arg(a.sql, b.sql);
            t.type = FieldType::Text;
        } else if ((isNumber(ta) || ta == FieldType::Date) && (isNumber(tb) || tb == FieldType::Date)) {
            t.type = (ta == FieldType::Date || tb == FieldType::Date) ? FieldType::Date : arithmeticType(ta, tb);
            t.sql = chained(a, QStringLiteral("+"), b.sql, {"+", "-"}, checkFor(t.type));
            t.chain = QStringLiteral("+");
        } else {
            t.sql = QStringLiteral("jet_add(%1, %2)").arg(a.sql, b.sql);
            if (ta == FieldType::Date || tb == FieldType::Date)
                t.type = FieldType::Date;
            else if (ta == FieldType::Empty && tb == FieldType::Empty)
                t.type = FieldType::Empty;
            else
                t.type = arithmeticType(other(ta, tb), other(tb, ta));
        }
    } else if (op == QLatin1String("-")) {
        if (nullOperand)
            t.type = a.nullLiteral ? tb : ta;
        else if (ta == FieldType::Date && tb == FieldType::Date)
            t.type = FieldType::Double;
        else if (ta == FieldType::Date)
            t.type = FieldType::Date;
        else if (tb == FieldType::Date)
            t.type = FieldType::Double;
        else
            t.type = arithmeticType(other(ta, tb), other(tb, ta));
        t.sql = chained(a, QStringLiteral("-"), b.sql, {"+", "-"}, nullOperand ? Typed::Check::None : checkFor(t.type));
        t.chain = QStringLiteral("-");
    } else if (op == QLatin1String("*")) {
        t.sql = chained(a, QStringLiteral("*"), b.sql, {"*"});
        t.chain = QStringLiteral("*");
        if (nullOperand)
            t.type = a.nullLiteral ? tb : ta;
        else if (ta == FieldType::Date || tb == FieldType::Date)
            t.type = FieldType::Double;
        else
            t.type = arithmeticType(other(ta, tb), other(tb, ta));
    } else if (op == QLatin1String("/")) {
        t.sql = QStringLiteral("(CAST(%1 AS REAL) / %2)").arg(a.sql, b.sql);
        t.type = FieldType::Double;
    } else if (op == QLatin1String("\\")) {
        t.sql = QStringLiteral("jet_idiv(%1, %2)").arg(a.sql, b.sql);
        t.type = FieldType::Long;
    } else if (op == QLatin1String("mod")) {
        if (isIntegerType(ta) && isIntegerType(tb))
            t.sql = QStringLiteral("(%1 % %2)").arg(a.sql, b.sql);
        else
            t.sql = QStringLiteral("jet_mod(%1, %2)").arg(a.sql, b.sql);
        t.type = FieldType::Long;
    } else if (op == QLatin1String("^")) {
        t.sql = QStringLiteral("jet_pow(%1, %2)").arg(a.sql, b.sql);
        t.type = FieldType::Double;
    } else {
        throw jetException(ErrSyntaxInExpression, exprText(e));
    }
    if (t.type == FieldType::Empty && !nullOperand)
        t.type = FieldType::Double;
    // Currency arithmetic is exact in ten-thousandths and never wraps: it
    // runs in the money functions, which stop the statement with 3349 when a
    // step leaves the currency range. A chain of additions and subtractions
    // is one call (some dozens of terms at a time), so it stays flat.
    constexpr int kTermsPerCall = 60; // SQLite takes up to 127 arguments
    const auto inOneCall = [&](const char *function) {
        const QString call = QString::fromLatin1(function) + QStringLiteral("(%1)");
        const bool goesOn = !a.chainTerms.isEmpty() && a.chainTermCount < kTermsPerCall && a.sql == call.arg(a.chainTerms);
        t.chainTerms = (goesOn ? a.chainTerms : a.sql)
            + (op == QLatin1String("-") ? QStringLiteral(", -1, ") : QStringLiteral(", 1, ")) + b.sql;
        t.chainTermCount = (goesOn ? a.chainTermCount : 1) + 1;
        t.sql = call.arg(t.chainTerms);
        t.chain.clear();
    };
    if (t.type == FieldType::Currency && !nullOperand
        && (op == QLatin1String("+") || op == QLatin1String("-") || op == QLatin1String("*"))) {
        t.chain.clear();
        if (op == QLatin1String("*"))
            t.sql = QStringLiteral("jet_mmul(%1, %2)").arg(a.sql, b.sql);
        else
            inOneCall("jet_madd");
    }
    // Jet stops a date chain at the first step that leaves the dates, even
    // when a later step would bring it back: a chain of date additions and
    // subtractions runs in one call that checks every step.
    const bool dateChain = t.type == FieldType::Date && !nullOperand && !t.chain.isEmpty()
        && (op == QLatin1String("+") || op == QLatin1String("-"));
    if (dateChain)
        inOneCall("jet_dadd");
    // A Double past the largest number or a Date past the dates stops the
    // statement (3349) instead of going on as infinity or a date nobody can
    // read. A chain of Double additions and subtractions is checked at its
    // end: with every term finite, a step past the largest number stays
    // past it. (Currency is exact and checked by its own functions, a date
    // chain by its own function at every step; a power checks itself.)
    if (!nullOperand && !dateChain
        && (op == QLatin1String("+") || op == QLatin1String("-") || op == QLatin1String("*")
            || op == QLatin1String("/"))) {
        const Typed::Check kind = checkFor(t.type);
        if (kind != Typed::Check::None) {
            t.open = (op == QLatin1String("+") || op == QLatin1String("-")) && !t.chain.isEmpty() ? t.sql : QString();
            t.sql = checkName(kind) + QLatin1Char('(') + t.sql + QLatin1Char(')');
            t.check = kind;
        }
    }
    t.size = typeSize(t.type);
    return t;
}

Typed JetEmitter::aggregate(const QString &fn, const Expr &e, Scope &scope)
{
    if (e.args.size() != 1)
        wrongArguments(e);
    const bool pivoted = !m_pivotCondition.isEmpty();
    Typed t;
    t.aggregate = true;
    if (e.args[0]->kind == Expr::Star) {
        if (fn != QLatin1String("count"))
            wrongArguments(e);
        t.sql = pivoted ? QStringLiteral("count(CASE WHEN %1 THEN 1 END)").arg(m_pivotCondition) : QStringLiteral("count(*)");
        t.type = FieldType::Long;
        t.size = 4;
        return t;
    }
    const Typed a = value(*e.args[0], scope);
    // A total of totals has no rows to run over.
    if (a.aggregate)
        throw DbException(ErrAggregateInExpression,
                          QStringLiteral("Cannot have aggregate function in expression (%1).").arg(exprText(e)));
    t.instances = a.instances;
    QString x = a.sql;
    if (pivoted && fn != QLatin1String("first") && fn != QLatin1String("last"))
        x = QStringLiteral("(CASE WHEN %1 THEN %2 END)").arg(m_pivotCondition, x);
    const FieldType at = a.type;
    if (fn == QLatin1String("sum")) {
        if (at == FieldType::Currency) {
            t.sql = QStringLiteral("jet_msum(%1)").arg(x);
            t.type = FieldType::Currency;
        } else {
            t.sql = QStringLiteral("sum(%1)").arg(x);
            t.type = isIntegerType(at) ? FieldType::Long : at == FieldType::Empty ? FieldType::Empty : FieldType::Double;
            // A total past the largest number stops the statement.
            if (t.type == FieldType::Double)
                t.sql = QStringLiteral("jet_finite(%1)").arg(t.sql);
        }
    } else if (fn == QLatin1String("avg")) {
        if (at == FieldType::Currency) {
            t.sql = QStringLiteral("jet_mavg(%1)").arg(x);
            t.type = FieldType::Currency;
        } else {
            t.sql = QStringLiteral("jet_finite(avg(%1))").arg(x);
            t.type = FieldType::Double;
        }
    } else if (fn == QLatin1String("min") || fn == QLatin1String("max")) {
        t.sql = QStringLiteral("%1(%2%3)").arg(fn, x, isText(at) ? QStringLiteral(" COLLATE JETTEXT") : QString());
        t.type = at;
        t.size = isText(at) ? typeSize(at) : a.size;
        return t;
    } else if (fn == QLatin1String("count")) {
        t.sql = QStringLiteral("count(%1)").arg(x);
        t.type = FieldType::Long;
    } else if (fn == QLatin1String("stdev") || fn == QLatin1String("stdevp") || fn == QLatin1String("var")
               || fn == QLatin1String("varp")) {
        t.sql = QStringLiteral("jet_%1(%2)").arg(fn, x);
        t.type = FieldType::Double;
    } else {
        // First and Last: the value of the first or last row read, Null included.
        const QString name = fn == QLatin1String("first") ? QStringLiteral("jet_first") : QStringLiteral("jet_last");
        t.sql = pivoted ? QStringLiteral("%1(%2, %3)").arg(name, x, m_pivotCondition) : QStringLiteral("%1(%2)").arg(name, x);
        t.type = at;
        t.size = isText(at) ? typeSize(at) : a.size;
        return t;
    }
    t.size = typeSize(t.type);
    return t;
}

Typed JetEmitter::call(const Expr &e, Scope &scope)
{
    const QString fn = e.op.toLower();
    const size_t n = e.args.size();
    auto need = [&](size_t lo, size_t hi) {
        if (n < lo || n > hi)
            wrongArguments(e);
    };
    if (fn == QLatin1String("sum") || fn == QLatin1String("avg") || fn == QLatin1String("min") || fn == QLatin1String("max")
        || fn == QLatin1String("count") || fn == QLatin1String("first") || fn == QLatin1String("last")
        || fn == QLatin1String("stdev") || fn == QLatin1String("stdevp") || fn == QLatin1String("var")
        || fn == QLatin1String("varp"))
        return aggregate(fn, e, scope);

    std::vector<Typed> args;
    auto evalArgs = [&](size_t from = 0) {
        for (size_t k = from; k < n; ++k)
            args.push_back(value(*e.args[k], scope));
    };
    auto finish = [&](Typed t) {
        for (const Typed &a : args) {
            t.aggregate = t.aggregate || a.aggregate;
            t.instances |= a.instances;
        }
        bool constant = true;
        for (const Typed &a : args)
            constant = constant && a.constant;
        t.constant = constant && fn != QLatin1String("date");
        if (t.size == 0 && t.type != FieldType::Memo)
            t.size = typeSize(t.type);
        return t;
    };

    if (fn == QLatin1String("iif")) {
        need(2, 3);
        const Typed c = expr(*e.args[0], scope);
        evalArgs(1);
        Typed t;
        t.aggregate = c.aggregate;
        t.instances = c.instances;
        if (n == 2) {
            t.sql = QStringLiteral("CASE WHEN %1 THEN %2 END").arg(c.sql, args[0].sql);
            t.type = args[0].type;
            t.size = args[0].size;
        } else {
            t.sql = QStringLiteral("CASE WHEN %1 THEN %2 ELSE %3 END").arg(c.sql, args[0].sql, args[1].sql);
            t.type = widen(args[0].type, args[1].type);
            t.size = typeSize(t.type);
        }
        t.sql = QLatin1Char('(') + t.sql + QLatin1Char(')');
        Typed r = finish(t);
        r.constant = r.constant && c.constant;
        return r;
    }
    if (fn == QLatin1String("format")) {
        need(1, 2);
        evalArgs();
        // Without a pattern too, a number past the largest has no digits
        // to show: the statement stops.
        if (n == 1)
            return finish(typedOf(QStringLiteral("jet_text(jet_finite(%1), %2, 1)").arg(args[0].sql, typeCode(args[0].type)),
                                  FieldType::Text, 255));
        return finish(typedOf(QStringLiteral("jet_format(%1, %2, %3)").arg(args[0].sql, args[1].sql, typeCode(args[0].type)),
                              FieldType::Text, 255));
    }
    if (fn == QLatin1String("cstr")) {
        need(1, 1);
        evalArgs();
        return finish(typedOf(QStringLiteral("jet_text(%1, %2, 1)").arg(args[0].sql, typeCode(args[0].type)), FieldType::Text, 255));
    }
    if (fn == QLatin1String("date")) {
        need(0, 0);
        return finish(typedOf(QStringLiteral("jet_date()"), FieldType::Date));
    }
    if (fn == QLatin1String("dateadd")) {
        need(3, 3);
        evalArgs();
        return finish(typedOf(QStringLiteral("jet_dateadd(%1, %2, %3)").arg(args[0].sql, args[1].sql, args[2].sql), FieldType::Date));
    }
    if (fn == QLatin1String("datevalue")) {
        need(1, 1);
        evalArgs();
        return finish(typedOf(QStringLiteral("jet_datevalue(%1)").arg(args[0].sql), FieldType::Date));
    }
    if (fn == QLatin1String("year")) {
        need(1, 1);
        evalArgs();
        return finish(typedOf(QStringLiteral("jet_year(%1)").arg(args[0].sql), FieldType::Integer));
    }
    if (fn == QLatin1String("int") || fn == QLatin1String("fix")) {
        need(1, 1);
        evalArgs();
        FieldType type = args[0].type;
        if (isText(type) || type == FieldType::Empty)
            type = FieldType::Double;
        else if (type == FieldType::Boolean || type == FieldType::Byte)
            type = FieldType::Integer;
        return finish(typedOf(QStringLiteral("jet_%1(%2)").arg(fn, args[0].sql), type));
    }
    struct Conversion { const char *name; FieldType type; };
    static const Conversion conversions[] = {
        {"clng", FieldType::Long}, {"cint", FieldType::Integer}, {"cbyte", FieldType::Byte},
        {"ccur", FieldType::Currency}, {"cdbl", FieldType::Double}, {"csng", FieldType::Single},
    };
    for (const Conversion &c : conversions) {
        if (fn == QLatin1String(c.name)) {
            need(1, 1);
            evalArgs();
            return finish(typedOf(QStringLiteral("jet_%1(%2)").arg(fn, args[0].sql), c.type));
        }
    }
    if (fn == QLatin1String("instr") && n == 4) {
        evalArgs();
        return finish(typedOf(QStringLiteral("jet_instr4(%1, %2, %3, %4)")
                                  .arg(args[0].sql, asText(args[1]), asText(args[2]), args[3].sql),
                              FieldType::Long));
    }
    if (fn == QLatin1String("instr")) {
        need(2, 4);
        evalArgs();
        QStringList texts;
        for (size_t k = 0; k < n; ++k)
            texts.append(n == 3 && k == 0 ? args[k].sql : asText(args[k]));
        return finish(typedOf(QStringLiteral("jet_instr(%1)").arg(texts.join(QLatin1String(", "))), FieldType::Long));
    }
    // A text where Left, Right and Mid need a number must read as one (3464).
    auto numberArgs = [&](size_t from) {
        for (size_t k = from; k < args.size(); ++k) {
            if (isText(args[k].type))
                args[k].sql = QStringLiteral("jet_cdbl(%1)").arg(args[k].sql);
        }
    };
    if (fn == QLatin1String("mid")) {
        need(2, 3);
        evalArgs();
        numberArgs(1);
        if (n == 2)
            return finish(typedOf(QStringLiteral("substr(%1, %2)").arg(asText(args[0]), args[1].sql), FieldType::Text, 255));
        return finish(typedOf(QStringLiteral("substr(%1, %2, %3)").arg(asText(args[0]), args[1].sql, args[2].sql), FieldType::Text, 255));
    }
    if (fn == QLatin1String("left")) {
        need(2, 2);
        evalArgs();
        numberArgs(1);
        return finish(typedOf(QStringLiteral("substr(%1, 1, %2)").arg(asText(args[0]), args[1].sql), FieldType::Text, 255));
    }
    if (fn == QLatin1String("right")) {
        need(2, 2);
        evalArgs();
        numberArgs(1);
        return finish(typedOf(QStringLiteral("jet_right(%1, %2)").arg(asText(args[0]), args[1].sql), FieldType::Text, 255));
    }
    if (fn == QLatin1String("len")) {
        need(1, 1);
        evalArgs();
        return finish(typedOf(QStringLiteral("length(%1)").arg(asText(args[0])), FieldType::Long));
    }
    if (fn == QLatin1String("switch") || fn == QLatin1String("choose")) {
        // Switch(c1, v1, c2, v2, ...): the value of the first true condition;
        // Choose(i, v1, v2, ...): the i-th value. Null when none applies.
        const bool isSwitch = fn == QLatin1String("switch");
        if (isSwitch ? (n < 2 || n % 2 != 0) : n < 2)
            wrongArguments(e);
        Typed t;
        QString sql;
        FieldType type = FieldType::Empty;
        size_t k = 0;
        if (!isSwitch) {
            const Typed index = value(*e.args[0], scope);
            args.push_back(index);
            sql = QStringLiteral("(CASE jet_index(%1)").arg(index.sql);
            k = 1;
        } else {
            sql = QStringLiteral("(CASE");
        }
        for (int choice = 1; k < n; ++choice) {
            const Typed c = isSwitch ? expr(*e.args[k++], scope) : Typed();
            const Typed v = value(*e.args[k++], scope);
            if (isSwitch) {
                args.push_back(c);
                sql += QStringLiteral(" WHEN %1 THEN %2").arg(c.sql, v.sql);
            } else {
                sql += QStringLiteral(" WHEN %1 THEN %2").arg(choice).arg(v.sql);
            }
            args.push_back(v);
            if (!v.nullLiteral)
                type = widen(type, v.type);
        }
        t = typedOf(sql + QStringLiteral(" END)"), type);
        return finish(t);
    }
    if (fn == QLatin1String("isnull") || fn == QLatin1String("isempty")) {
        need(1, 1);
        evalArgs();
        // A value read from a table is never Empty (only unset variables are),
        // so IsEmpty is False, Null included.
        Typed t = typedOf(fn == QLatin1String("isnull") ? QStringLiteral("(%1 IS NULL)").arg(args[0].sql)
                                                         : QStringLiteral("(%1 IS NULL AND 0)").arg(args[0].sql),
                          FieldType::Boolean);
        t.predicate = true;
        return finish(t);
    }
    if (const BuiltinFunction *f = findBuiltin(fn)) {
        need(size_t(f->minArgs), size_t(f->maxArgs));
        evalArgs();
        if (f->rule == ResultRule::FirstArg) {
            Typed t = args[0];
            t.column = false;
            return finish(t);
        }
        QStringList sqlArgs;
        for (size_t k = 0; k < n; ++k)
            sqlArgs.append((f->textArgs >> k) & 1u ? asText(args[k]) : args[k].sql);
        if (f->passType)
            sqlArgs.append(typeCode(args[0].type));
        FieldType type = f->type;
        if (f->rule == ResultRule::FirstNumeric) {
            type = args[0].type;
            if (isText(type) || type == FieldType::Empty)
                type = FieldType::Double;
            else if (type == FieldType::Boolean || type == FieldType::Byte)
                type = FieldType::Integer;
        }
        Typed t = finish(typedOf(QStringLiteral("%1(%2)").arg(QLatin1String(f->sqlName), sqlArgs.join(QLatin1String(", "))), type));
        if (QLatin1String(f->sqlName) == QLatin1String("jet_now") || QLatin1String(f->sqlName) == QLatin1String("jet_time")
            || QLatin1String(f->sqlName) == QLatin1String("jet_rnd"))
            t.constant = false;
        return t;
    }
    throw jetException(ErrUndefinedFunction, e.op);
}

QString JetEmitter::emitCriterion(const Expr &criterion, const QString &text, const QList<ResultColumn> &columns)
{
    m_text = text;
    Scope scope;
    Instance inst;
    inst.bare = true;
    inst.columns = columns;
    scope.instances.push_back(inst);
    const QString sql = condition(criterion, scope);
    if (!m_unresolved.isEmpty())
        throw jetException(ErrUnknownField, m_unresolved.front());
    return sql;
}

} // namespace platform::jet
