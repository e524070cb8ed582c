#include "JetTestDatabase.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

using platform::FieldType;
using platform::Value;

namespace {

QString declared(FieldType type, int size)
{
    switch (type) {
    case FieldType::Boolean: return QStringLiteral("YESNO");
    case FieldType::Byte: return QStringLiteral("BYTE");
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::Long: return QStringLiteral("LONG");
    case FieldType::Currency: return QStringLiteral("CURRENCY");
    case FieldType::Single: return QStringLiteral("SINGLE");
    case FieldType::Double: return QStringLiteral("DOUBLE");
    case FieldType::Date: return QStringLiteral("DATETIME");
    case FieldType::Memo: return QStringLiteral("MEMO TEXT COLLATE JETTEXT");
    default: return QStringLiteral("TEXT(%1) COLLATE JETTEXT").arg(size);
    }
}

void bind(sqlite3_stmt *stmt, int index, const Value &v)
{
    if (v.isNull()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (v.type()) {
    case FieldType::Text:
    case FieldType::Memo: {
        const QByteArray u = v.toString().toUtf8();
        sqlite3_bind_text(stmt, index, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        break;
    }
    case FieldType::Boolean:
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
        sqlite3_bind_int64(stmt, index, v.toInt64());
        break;
    default:
        sqlite3_bind_double(stmt, index, v.toDouble());
        break;
    }
}

} // namespace

JetTestDatabase::JetTestDatabase()
{
    sqlite3_open(":memory:", &m_db);
    platform::jet::registerFunctions(m_db);
    m_translator = std::make_unique<platform::jet::JetTranslator>(*this);
}

JetTestDatabase::~JetTestDatabase()
{
    m_translator.reset();
    sqlite3_close(m_db);
}

void JetTestDatabase::addTable(const QString &name, const QList<Col> &columns, const QStringList &uniqueColumns)
{
    QStringList defs;
    QList<Column> cols;
    for (const Col &c : columns) {
        const int size = c.type == FieldType::Text ? (c.size > 0 ? c.size : 50) : c.size;
        defs.append(QStringLiteral("\"%1\" %2").arg(c.name, declared(c.type, size)));
        cols.append(Column{c.name, c.type, size});
    }
    exec(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(name, defs.join(QStringLiteral(", "))));
    m_tables.insert(name.toLower(), cols);
    m_tableNames.insert(name.toLower(), name);
    for (const QString &u : uniqueColumns)
        m_unique.append((name + QLatin1Char('.') + u).toLower());
    ++m_generation;
}

void JetTestDatabase::addSavedQuery(const QString &name, const QString &jetSql)
{
    m_queries.insert(name.toLower(), jetSql);
    ++m_generation;
}

void JetTestDatabase::exec(const QString &sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << "\n" << sql.toStdString();
    sqlite3_free(err);
}

std::optional<QList<JetTestDatabase::Column>> JetTestDatabase::tableColumns(const QString &table) const
{
    const auto it = m_tables.constFind(table.toLower());
    if (it == m_tables.constEnd())
        return std::nullopt;
    return it.value();
}

std::optional<QString> JetTestDatabase::savedQuery(const QString &name) const
{
    const auto it = m_queries.constFind(name.toLower());
    if (it == m_queries.constEnd())
        return std::nullopt;
    return it.value();
}

bool JetTestDatabase::isUniqueColumn(const QString &table, const QString &column) const
{
    return m_unique.contains((table + QLatin1Char('.') + column).toLower());
}

QStringList JetTestDatabase::rowsOf(const platform::jet::Translation &t, const QList<Value> &params)
{
    QStringList out;
    m_lastError.clear();
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = t.sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        ADD_FAILURE() << "prepare failed: " << m_lastError.toStdString() << "\n" << t.sql.toStdString();
        return out;
    }
    for (int i = 0; i < params.size(); ++i)
        bind(stmt, i + 1, params[i]);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_NULL: row.append(QStringLiteral("<null>")); break;
            case SQLITE_INTEGER: row.append(QString::number(sqlite3_column_int64(stmt, c))); break;
            case SQLITE_FLOAT: row.append(QString::number(sqlite3_column_double(stmt, c), 'g', 15)); break;
            default: row.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)))); break;
            }
        }
        out.append(row.join(QLatin1Char('|')));
    }
    if (rc != SQLITE_DONE)
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_finalize(stmt);
    return out;
}

QStringList JetTestDatabase::rows(const QString &jetSql, const QList<Value> &params)
{
    return rowsOf(m_translator->translate(jetSql), params);
}

QStringList JetTestDatabase::crosstab(const QString &jetSql, QStringList *columnNames)
{
    const platform::jet::Translation t = m_translator->translate(jetSql);
    EXPECT_EQ(t.kind, platform::jet::Translation::Kind::Crosstab);
    QList<Value> values;
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = t.pivotValuesSql.toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "prepare failed: " << sqlite3_errmsg(m_db) << "\n" << t.pivotValuesSql.toStdString();
        return {};
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        switch (sqlite3_column_type(stmt, 0)) {
        case SQLITE_NULL: values.append(Value()); break;
        case SQLITE_INTEGER: values.append(Value(std::int64_t(sqlite3_column_int64(stmt, 0)))); break;
        case SQLITE_FLOAT: values.append(Value(sqlite3_column_double(stmt, 0))); break;
        default: values.append(Value(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))))); break;
        }
    }
    sqlite3_finalize(stmt);
    const platform::jet::Translation final = t.buildCrosstab(values);
    if (columnNames) {
        columnNames->clear();
        for (const auto &c : final.columns)
            columnNames->append(c.name);
    }
    return rowsOf(final);
}

int JetTestDatabase::execute(const QString &jetSql, const QList<Value> &params)
{
    const platform::jet::Translation t = m_translator->translate(jetSql);
    m_lastError.clear();
    if (!t.createTableSql.isEmpty())
        exec(t.createTableSql);
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = t.sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        ADD_FAILURE() << "prepare failed: " << m_lastError.toStdString() << "\n" << t.sql.toStdString();
        return -1;
    }
    for (int i = 0; i < params.size(); ++i)
        bind(stmt, i + 1, params[i]);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE)
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? sqlite3_changes(m_db) : -1;
}

QString JetTestDatabase::scalar(const QString &sqliteSql)
{
    platform::jet::Translation t;
    t.sql = sqliteSql;
    const QStringList r = rowsOf(t);
    return r.isEmpty() ? QString() : r.front();
}
