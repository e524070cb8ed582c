#include "reports/UserQueries.h"

#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"

const QString kOnlySelectQueryText = QStringLiteral("You can only enter a SELECT or CROSSTAB query");

bool IsListableQueryType(int type)
{
    return type == 0 || type == 16 || type == 128;
}

QList<SavedQuery> ListSavedQueries(platform::Database &db)
{
    QList<SavedQuery> out;
    for (const platform::Database::QueryDefInfo &info : db.queryDefs())
        if (IsListableQueryType(info.type))
            out.append(SavedQuery{info.name, info.type});
    return out;
}

bool PassesQueryWordTest(const QString &sql)
{
    const QString lower = sql.toLower();
    if (!lower.contains(QLatin1String("select ")))
        return false;
    for (const char *word : {"append ", "update ", "delete ", "insert ", "create ", "alter ", "drop "})
        if (lower.contains(QLatin1String(word)))
            return false;
    return true;
}

bool IsReadOnlyQueryText(platform::Database &db, const QString &sql)
{
    if (!PassesQueryWordTest(sql))
        return false;
    try {
        return IsListableQueryType(db.statementType(sql));
    } catch (const platform::DbException &) {
        return true; // the engine's error is reported when the text is saved
    }
}

bool IsReadOnlySavedQuery(platform::Database &db, const QString &name, QString *refusal)
{
    if (refusal)
        refusal->clear();
    try {
        for (const platform::Database::QueryDefInfo &info : db.queryDefs()) {
            if (info.name.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            if (IsListableQueryType(info.type))
                return true;
            if (refusal)
                *refusal = QStringLiteral("\"%1\" changes data, so it does not run as a report.\n\n").arg(info.name)
                           + kOnlySelectQueryText;
            return false;
        }
    } catch (const platform::DbException &) {
    }
    return false;
}

QString SaveUserQuery(platform::Database &db, const QString &openName, const QString &name, const QString &sql,
                      platform::DbException *error)
{
    auto fail = [&](const QString &prefix, const platform::DbException &e) {
        if (error)
            *error = e;
        return prefix;
    };
    // The text first: a statement the engine refuses changes nothing.
    try {
        db.checkQuery(sql);
    } catch (const platform::DbException &e) {
        return fail(QStringLiteral("Cannot execute Query "), e);
    }
    const bool sameName = !openName.isEmpty() && openName.compare(name, Qt::CaseInsensitive) == 0;
    try {
        // A new name must be free: the old query is never given up for a
        // name that is taken.
        if (!sameName && db.queryExists(name))
            platform::dberr::raise(platform::dberr::ObjectExists, name);
    } catch (const platform::DbException &e) {
        return fail(QStringLiteral("Cannot create Query "), e);
    }
    try {
        platform::Transaction transaction(db);
        if (sameName) {
            db.setQuerySql(openName, sql);
        } else {
            if (!openName.isEmpty() && db.queryExists(openName))
                db.deleteQuery(openName);
            db.createQuery(name, sql);
        }
        transaction.commit();
    } catch (const platform::DbException &e) {
        return fail(QStringLiteral("Cannot create Query "), e);
    }
    return QString();
}

QString DeleteUserQuery(platform::Database &db, const QString &name, platform::DbException *error)
{
    try {
        db.deleteQuery(name);
    } catch (const platform::DbException &e) {
        if (error)
            *error = e;
        return QStringLiteral("Cannot delete Query ");
    }
    return QString();
}
