#pragma once

#include "platform/db/DbException.h"

namespace platform {
class Database;
}

#include <QtCore/QList>
#include <QtCore/QString>

#include <functional>

// The one place a database failure is shown to the user: the engine's number
// and description, a hint for the errors a user can act on, and the context
// (what was being done). A context holding "Cannot" is shown with the error
// in one box; any other non-empty context is details offered on request.
// Always returns 0, so callers can return it as their failure value.
int ShowDaoError(const platform::DbException &e, const QString &context);

// Runs one command of a window (a ribbon item, a menu entry, a key, a
// button). A database failure that escapes it ends that command only: what
// it had begun in a transaction of the shop's database is rolled back, the
// failure is shown as above, and the program goes on. False when it failed so.
bool RunCommandReportingDaoErrors(const std::function<void()> &command);

// A database open for reading only refuses what would write to it: true,
// after one box with the engine's read-only error and the context (what was
// to be done, "Cannot ..."), when the database is open read-only; false,
// and nothing shown, otherwise. Callers ask before they start anything
// (a question, reopening the file) that could only end in the refusal.
bool RefusedAsReadOnly(const platform::Database *database, const QString &context);

// How many database failures have been shown in this run. A caller that
// needs to tell a refused write from a failed one compares it before and
// after the write.
int DaoErrorCount();

// While one of these lives, failures are kept rather than shown, and shown
// when it ends: a change that holds the database in a transaction declares
// one before the transaction, so the boxes come after the rollback and no
// workstation waits while a box is open.
class DeferredDaoErrors
{
public:
    DeferredDaoErrors();
    ~DeferredDaoErrors();
    DeferredDaoErrors(const DeferredDaoErrors &) = delete;
    DeferredDaoErrors &operator=(const DeferredDaoErrors &) = delete;

private:
    struct Kept
    {
        platform::DbException error;
        QString context;
    };
    friend int ShowDaoError(const platform::DbException &e, const QString &context);
    QList<Kept> m_kept;
    DeferredDaoErrors *m_previous = nullptr;
};
