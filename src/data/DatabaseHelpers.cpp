#include "data/DatabaseHelpers.h"

#include "app/base/SharedDatabaseHolder.h"
#include "app/base/SqlText.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"

platform::Value &DbLookupValue(platform::Value &out, const QString &sql, int fieldIndex)
{
    platform::Value found;
    try {
        platform::Recordset set(SharedDatabase());
        set.open(platform::Recordset::Type::Snapshot, sql);
        if (!set.isEOF() && fieldIndex >= 0 && fieldIndex < set.fieldCount())
            found = set.value(fieldIndex);
    } catch (const platform::DbException &e) {
        // The recordset's own report of a statement that cannot run.
        ShowDaoError(e, QStringLiteral("Could not run query:\n\n") + JoinFromWhere(sql, QStringLiteral("\r\n\r\n")));
        platform::Prompt::messageBox(QStringLiteral("Your database or network may be busy.\nWait a moment, and then "
                                                    "try the operation again.\n\nIf this error persists, re-start Tavrel."));
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
