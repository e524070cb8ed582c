#include "views/DatabaseBackup.h"

#include "data/DatabaseFiles.h"
#include "data/RunProgress.h"
#include "platform/db/Database.h"

bool BackupDatabase(platform::Database &db, const QString &target, QString *error, bool showProgress, QString *note)
{
    SystemError failure;
    if (!db.isOpen()) {
        if (error)
            *error = QStringLiteral("The database is not open.");
        return false;
    }
    std::unique_ptr<SchemaProgress> progress;
    if (showProgress) {
        progress = OpenRunProgress();
        progress->start(0, QStringLiteral("Copying your database to:\n") + target, true, true, QString());
    }
    if (CopyOpenDatabase(db, target, failure, progress.get(), note))
        return true;
    if (error)
        *error = failure.text;
    return false;
}
