#include "data/DatabaseMaintenance.h"

#include "data/Compaction.h"
#include "data/DatabaseOpening.h"
#include "data/SchemaUpgrade.h"

void InstallDatabaseMaintenance()
{
    SetRepairDatabaseStep([](platform::Database *database, const QString &question, const QString &path) {
        CompactDatabase(database, question, path, true);
    });
    SetUpgradeDatabaseStep([](platform::Database *database) { return UpgradeDatabase(database); });
}
