#include "data/CustomerRows.h"

#include "data/DaoError.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <optional>

bool DeleteCustomerRows(qint32 cusNo)
{
    if (cusNo <= 0)
        return false;
    platform::Database &db = SharedDatabase();
    if (!db.isOpen() && !OpenDatabase(&db))
        return false;

    static const char *const kTables[] = {"Shipto", "Contacts", "CustomerAlerts"};
    std::optional<platform::DbException> failure;
    QString failedTable;
    try {
        platform::Transaction transaction(db);
        for (const char *table : kTables) {
            failedTable = QString::fromLatin1(table);
            db.execute(QStringLiteral("DELETE FROM %1 WHERE CusNo = ?").arg(failedTable), {platform::Value(cusNo)});
        }
        transaction.commit();
    } catch (const platform::DbException &e) {
        failure = e;
    }
    if (failure) {
        ShowDaoError(*failure, QStringLiteral("Cannot delete ") + failedTable);
        return false;
    }
    return true;
}
