// Interim only: lets the database layer run plain SQLite-compatible SELECT,
// INSERT, UPDATE and DELETE texts unchanged until the Jet translator is merged
// into this branch; the merge removes this file.
#include "platform/db/jet/JetTranslator.h"

#include "platform/db/DbErrors.h"
#include "platform/db/FileCatalog.h"
#include "platform/db/SqlValues.h"

#include <sqlite3.h>

#include <cmath>

namespace platform::jet {

class JetTranslator::Impl
{
public:
    const SchemaCatalog &catalog;
};

JetTranslator::JetTranslator(const SchemaCatalog &catalog) : d(std::make_unique<Impl>(Impl{catalog})) {}
JetTranslator::~JetTranslator() = default;

Translation JetTranslator::translate(const QString &jetSql) const
{
    return translateWithFilter(jetSql, QString(), QString());
}

Translation JetTranslator::translateWithFilter(const QString &jetSql, const QString &filter, const QString &sort) const
{
    Translation t;
    QString sql = jetSql.trimmed();
    const QString head = sql.section(QLatin1Char(' '), 0, 0).toUpper();
    t.kind = head == QLatin1String("INSERT") ? Translation::Kind::Insert
        : head == QLatin1String("UPDATE")    ? Translation::Kind::Update
        : head == QLatin1String("DELETE")    ? Translation::Kind::Delete
                                             : Translation::Kind::Select;
    sql.replace(QLatin1Char('['), QLatin1Char('"')).replace(QLatin1Char(']'), QLatin1Char('"'));
    if (!filter.isEmpty())
        sql += QStringLiteral(" WHERE (%1)").arg(filter);
    if (!sort.isEmpty())
        sql += QStringLiteral(" ORDER BY %1").arg(sort);
    t.sql = sql;
    if (t.kind != Translation::Kind::Select)
        return t;
    const auto *files = dynamic_cast<const FileCatalog *>(&d->catalog);
    sqlite3 *db = files ? files->connection() : nullptr;
    sqlite3_stmt *st = nullptr;
    if (!db || sqlite3_prepare16_v2(db, sql.utf16(), -1, &st, nullptr) != SQLITE_OK)
        throw dberr::fromConnection(db, SQLITE_ERROR);
    QString only;
    bool single = true;
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
        ResultColumn c;
        c.name = QString::fromUtf8(sqlite3_column_name(st, i));
        const char *decl = sqlite3_column_decltype(st, i);
        const sqlvalues::DeclaredType dt = sqlvalues::parseDeclaredType(decl ? QString::fromUtf8(decl) : QString());
        c.type = decl ? dt.type : FieldType::Double;
        c.size = dt.size;
        if (const char *tb = sqlite3_column_table_name(st, i)) {
            c.baseTable = QString::fromUtf8(tb);
            c.baseColumn = QString::fromUtf8(sqlite3_column_origin_name(st, i));
            if (only.isEmpty())
                only = c.baseTable;
            single = single && c.baseTable == only;
        } else {
            single = false;
        }
        t.columns.append(c);
    }
    sqlite3_finalize(st);
    if (single && !sql.contains(QLatin1String("JOIN"), Qt::CaseInsensitive)
        && !sql.contains(QLatin1String("GROUP"), Qt::CaseInsensitive)
        && !sql.contains(QLatin1String("DISTINCT"), Qt::CaseInsensitive))
        t.updatableTable = only;
    return t;
}

QString JetTranslator::translateCriterion(const QString &criterion, const QList<ResultColumn> &) const
{
    QString c = criterion;
    return c.replace(QLatin1Char('['), QLatin1Char('"')).replace(QLatin1Char(']'), QLatin1Char('"'));
}

namespace {

int compareText(void *, int n1, const void *a, int n2, const void *b)
{
    const QString x = QString::fromUtf8(static_cast<const char *>(a), n1);
    const QString y = QString::fromUtf8(static_cast<const char *>(b), n2);
    return x.compare(y, Qt::CaseInsensitive);
}

} // namespace

void registerFunctions(sqlite3 *db)
{
    sqlite3_create_collation(db, "JETTEXT", SQLITE_UTF8, nullptr, compareText);
}

Value storeAs(const Value &value, FieldType type, int size)
{
    if (value.isNull())
        return Value::nullOf(type);
    switch (type) {
    case FieldType::Boolean: return Value(value.toBool());
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long: return Value(std::int64_t(std::nearbyint(value.toDouble())), type);
    case FieldType::Currency: return Value(value.toMoney());
    case FieldType::Single: return Value(float(value.toDouble()));
    case FieldType::Double: return Value(value.toDouble());
    case FieldType::Date: return Value(value.toDateTime());
    case FieldType::Text:
        if (size > 0 && value.toString().size() > size)
            dberr::raise(dberr::FieldTooSmall);
        return Value(value.toString(), type);
    default: return Value(value.toString(), type);
    }
}

} // namespace platform::jet
