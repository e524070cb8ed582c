#include "data/UpgradeUtilities.h"

#include "data/DaoError.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

void SetQueryRowFields(const QString &select, const platform::Value &value1, const platform::Value &value2,
                       const platform::Value &value3, SchemaProgress *progress)
{
    platform::Recordset set(SharedDatabase());
    set.open(platform::Recordset::Type::Dynaset, select);
    if (set.isEOF())
        return;
    if (progress) {
        set.moveLast();
        progress->setRange(0, int(set.recordCount()));
        set.moveFirst();
    }
    for (; !set.isEOF(); set.moveNext()) {
        set.edit();
        set.setValue(0, value1);
        if (!value2.isNull()) {
            set.setValue(1, value2);
            if (!value3.isNull())
                set.setValue(2, value3);
        }
        set.update();
        if (progress)
            progress->step(QString());
    }
}

bool DbSetQueryRowFields(const QString &select, const platform::Value &value1, const platform::Value &value2,
                         const platform::Value &value3, SchemaProgress *progress)
{
    try {
        SetQueryRowFields(select, value1, value2, value3, progress);
        return true;
    } catch (const platform::DbException &e) {
        return ShowDaoError(e, QString()) != 0;
    }
}

bool DbDeleteQuery(platform::Database *database, const QString &name)
{
    try {
        if (DbQueryExists(database, name))
            database->deleteQuery(name);
        return true;
    } catch (const platform::DbException &) {
        return false;
    }
}
