#include "data/DatabaseHelpers.h"

#include "app/base/SharedDatabaseHolder.h"
#include "data/CXDaoSet.h"

platform::Value &DbLookupValue(platform::Value &out, const QString &sql, int fieldIndex,
                               const QList<platform::Value> &values)
{
    // A set without a database of its own works on the shared one; it
    // reports a statement that cannot run itself and then stays closed.
    CXDaoSet set;
    set.m_filterValues = values;
    set.Open(CXDaoSet::dbOpenSnapshot, sql);
    platform::Value found;
    if (!set.IsEmptySet() && fieldIndex >= 0 && fieldIndex < set.GetFieldCount()) {
        try {
            found = set.GetFieldValue(fieldIndex);
        } catch (const platform::DbException &) {
            // A row gone meanwhile gives no value.
        }
    }
    out = found.isNull() ? platform::Value() : found;
    return out;
}

QString DbLookupText(const QString &sql)
{
    platform::Value v;
    DbLookupValue(v, sql, 0);
    return v.isNull() ? QString() : v.toString();
}

QString GetRunLog()
{
    return SharedDatabaseHolder::current().runLog();
}

void ClearRunLog()
{
    SharedDatabaseHolder::current().clearRunLog();
}

bool HasRunLogText()
{
    return !SharedDatabaseHolder::current().runLog().isEmpty();
}

void AppendRunLog(const QString &line)
{
    SharedDatabaseHolder::current().appendRunLog(line + QLatin1Char('\n'));
}

void LogDaoError(const platform::DbException &e, const QString &context)
{
    AppendRunLog(QStringLiteral("Error# %1: %2 %3\n").arg(e.number()).arg(e.description(), context));
}
