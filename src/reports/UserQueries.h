#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

namespace platform {
class Database;
class DbException;
}

// The user's own reports: saved queries of the shop's database, listed under
// "Custom Queries" and kept through the query dialog. Only statements that
// read data are saved or run: a select, a crosstab or a union.

struct SavedQuery
{
    QString name;
    int type = 0; // 0 select, 16 crosstab, 128 union
};

// The message for any text that is not one statement reading data.
extern const QString kOnlySelectQueryText;

// The saved queries that run as lists (select, crosstab, union), in the
// engine's order; action queries are left out.
QList<SavedQuery> ListSavedQueries(platform::Database &db);
bool IsListableQueryType(int type);

// The word test of the dialog: a lower-case copy must hold "select " and
// none of "append ", "update ", "delete ", "insert ", "create ", "alter ",
// "drop ".
bool PassesQueryWordTest(const QString &sql);

// The whole test: the word test, then the engine's reading of the statement,
// which must be a select, crosstab or union (so "DELETE\nFROM Jobs", which
// the word test lets through, is refused). A text the engine cannot read
// passes here; saving it reports the engine's error.
bool IsReadOnlyQueryText(platform::Database &db, const QString &sql);

// Whether the saved query of that name reads data only; refusal gets the
// message to show when it does not (empty when there is no such query).
bool IsReadOnlySavedQuery(platform::Database &db, const QString &name, QString *refusal);

// Saves the dialog's query. openName is the saved query being edited (empty
// for a new one), name the name typed, sql the trimmed text (not empty). The
// text is checked by the engine first; then, in one transaction, the edited
// query is replaced (its text changed, or renamed by delete and create) or
// the new one created. A failure leaves every saved query as it was and
// returns the message prefix ("Cannot execute Query ", "Cannot create Query ")
// with the engine's error in error; success returns an empty text.
QString SaveUserQuery(platform::Database &db, const QString &openName, const QString &name, const QString &sql,
                      platform::DbException *error);

// Deletes the saved query; the prefix "Cannot delete Query " on failure.
QString DeleteUserQuery(platform::Database &db, const QString &name, platform::DbException *error);
