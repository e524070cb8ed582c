#include "views/DatabaseBackup.h"

#include "platform/db/Database.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <sqlite3.h>

bool BackupDatabase(platform::Database &db, const QString &target, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!db.isOpen())
        return fail(QStringLiteral("The database is not open."));
    // The copy is made beside the target first, so a failed run never
    // leaves a half-written file in the target's place.
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    sqlite3 *destination = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(partial).constData(), &destination,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(destination));
        sqlite3_close(destination);
        return fail(text);
    }
    sqlite3_backup *backup = sqlite3_backup_init(destination, "main", db.handle(), "main");
    if (!backup) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(destination));
        sqlite3_close(destination);
        QFile::remove(partial);
        return fail(text);
    }
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(backup, 256);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(20);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(backup);
    const QString text = QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close(destination);
    if (rc != SQLITE_DONE) {
        QFile::remove(partial);
        return fail(text);
    }
    if (QFileInfo::exists(target) && !QFile::remove(target)) {
        QFile::remove(partial);
        return fail(QStringLiteral("The file %1 cannot be replaced.").arg(target));
    }
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        return fail(QStringLiteral("The file %1 cannot be written.").arg(target));
    }
    return true;
}
