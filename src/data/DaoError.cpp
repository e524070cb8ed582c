#include "data/DaoError.h"

#include "data/SharedDatabase.h"
#include "platform/LongRun.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"

using platform::Prompt;

namespace {
int g_daoErrors = 0;
DeferredDaoErrors *g_deferred = nullptr;
}

bool RefusedAsReadOnly(const platform::Database *database, const QString &context)
{
    if (!database || !database->isOpen() || !database->isReadOnly())
        return false;
    ShowDaoError(platform::dberr::error(platform::dberr::ReadOnly), context);
    return true;
}

int DaoErrorCount()
{
    return g_daoErrors;
}

DeferredDaoErrors::DeferredDaoErrors() : m_previous(g_deferred)
{
    g_deferred = this;
}

DeferredDaoErrors::~DeferredDaoErrors()
{
    g_deferred = m_previous;
    // Each was counted when it was kept; showing it counts it again.
    for (const Kept &k : std::as_const(m_kept)) {
        ShowDaoError(k.error, k.context);
        --g_daoErrors;
    }
}

int ShowDaoError(const platform::DbException &e, const QString &context)
{
    if (g_deferred) {
        // Counted at once: a unit of work that looks for failures shown
        // while it ran sees this one, though it is shown after.
        ++g_daoErrors;
        g_deferred->m_kept.append({e, context});
        return 0;
    }
    ++g_daoErrors;
    // The engine's wording, "occured" included.
    QString text = QStringLiteral("Error %1 occured:\n\n%2\n\n").arg(e.number()).arg(e.description());
    switch (e.number()) {
    case 3043:
    case 3078:
        text += QStringLiteral("Please try again.\n\n");
        break;
    case 3060:
    case 3061:
    case 3075:
        text += QStringLiteral("Usually caused by an error in the filter.\n\n");
        break;
    default:
        break;
    }

    if (context.isEmpty()) {
        Prompt::messageBox(text, QString(), platform::MB_OK);
    } else if (context.contains(QLatin1String("Cannot"))) {
        Prompt::messageBox(context + QStringLiteral("\n\n") + text, QString(), platform::MB_OK);
    } else {
        const int answer = Prompt::messageBox(text + QStringLiteral("Would you like to see more information?"),
                                              QString(), platform::MB_YESNO | platform::MB_ICONQUESTION);
        if (answer == platform::IDYES)
            Prompt::messageBox(context, QString(), platform::MB_OK);
    }
    return 0;
}

bool RunCommandReportingDaoErrors(const std::function<void()> &command)
{
    // No command starts inside a long run.
    if (!LongRun::MayStartCommand())
        return false;
    platform::Database &db = SharedDatabase();
    const int depth = db.isOpen() ? db.transactionDepth() : 0;
    try {
        command();
        return true;
    } catch (const platform::DbException &e) {
        // Only the transactions the command began: a command of a window
        // opened inside another command's transaction leaves that one to it.
        try {
            while (db.isOpen() && db.transactionDepth() > depth)
                db.rollback();
        } catch (const platform::DbException &) {
            // The connection is gone; the engine has dropped the transaction.
        }
        ShowDaoError(e, QString());
        return false;
    }
}
