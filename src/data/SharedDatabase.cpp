#include "data/SharedDatabase.h"

#include "app/base/SharedDatabaseHolder.h"

platform::Database &SharedDatabase()
{
    return SharedDatabaseHolder::current().database();
}

QString DatabaseFileName()
{
    return QStringLiteral("TavrelData.mdb");
}

QString DataFolder()
{
    return SharedDatabaseHolder::current().dataFolder();
}

void SetDataFolder(const QString &folder)
{
    SharedDatabaseHolder::current().setDataFolder(folder);
}
