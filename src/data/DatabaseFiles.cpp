#include "data/DatabaseFiles.h"

#include "app/base/FileException.h"
#include "data/SchemaOperations.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/LockFile.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1String kMdb(".mdb");

// The path without its ".mdb" ending (any case), or the whole path.
QString stem(const QString &path)
{
    return path.endsWith(kMdb, Qt::CaseInsensitive) ? path.chopped(kMdb.size()) : path;
}

SystemError sqliteError(sqlite3 *db, int rc)
{
    SystemError e;
    e.code = rc;
    e.text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    return e;
}

// Flushes a file (or a folder's entries) to disk.
bool syncPath(const QString &path, bool folder)
{
    const int fd = ::open(QFile::encodeName(path).constData(), folder ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

QString CompactedFilePath(const QString &databasePath)
{
    return stem(databasePath) + QStringLiteral("Compacted.mdb");
}

QString BackupFilePath(const QString &databasePath, const QDate &day)
{
    return stem(databasePath) + QLatin1Char('-') + day.toString(QStringLiteral("yyyy-MM-dd")) + kMdb;
}

SystemError LastSystemError()
{
    const int code = errno;
    return {code, QString::fromLocal8Bit(std::strerror(code))};
}

bool RemoveLeftoverFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (::remove(QFile::encodeName(path).constData()) == 0)
        return true;
    ReportException(FileException::fromLastError(path), QStringLiteral(" deleting file"));
    return false;
}

bool HasDatabaseFileHeader(platform::Database &db)
{
    if (!db.isOpen())
        return false;
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(db.handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file
        || !file->pMethods)
        return false;
    char header[16] = {};
    if (file->pMethods->xRead(file, header, int(sizeof header), 0) != SQLITE_OK)
        return false;
    return std::memcmp(header, "SQLite format 3", sizeof header) == 0; // the 16th byte is the NUL
}

bool IsSameFile(const QString &a, const QString &b)
{
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // A file not there yet: its folder's real path with its name.
    const auto real = [](const QString &path) {
        const QFileInfo info(path);
        if (info.exists())
            return info.canonicalFilePath();
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
    };
    return real(a) == real(b);
}

bool CopyOpenDatabase(platform::Database &db, const QString &target, SystemError &error,
                      SchemaProgress *progress)
{
    if (IsSameFile(db.name(), target)) {
        error = {EEXIST, QStringLiteral("The backup would replace the database itself.")};
        return false;
    }
    // The lock file lists the workstations that have the database open, and
    // the journal is what rolls back an interrupted write: neither may be
    // overwritten while the database is in use.
    if (IsSameFile(platform::LockFile::pathFor(db.name()), target) || IsSameFile(db.name() + QStringLiteral("-journal"), target)) {
        error = {EEXIST, QStringLiteral("The backup would replace a file the database is using.")};
        return false;
    }
    const QString partial = target + QStringLiteral(".partial");
    ::remove(QFile::encodeName(partial).constData());

    // Pages are copied in steps, so the window shows progress and can stop
    // the copy. Another workstation's write between two steps would make the
    // engine start over, again and again while it writes back to back; so
    // this connection holds the file's read lock from the first step to the
    // last (other workstations' writes wait for it, as for any reader) and
    // the copy always ends.
    constexpr int kPagesPerStep = 256;
    bool cancelled = false;
    bool holding = false;
    sqlite3 *copy = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(partial).constData(), &copy,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(copy, "main", db.handle(), "main");
        if (!backup) {
            rc = sqlite3_errcode(copy);
        } else {
            int waited = 0;
            bool started = false;
            for (;;) {
                if (!holding && sqlite3_get_autocommit(db.handle())) {
                    // The connection's own busy wait takes the read lock.
                    if (sqlite3_exec(db.handle(), "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                                     nullptr)
                        == SQLITE_OK) {
                        holding = true;
                    } else {
                        rc = sqlite3_extended_errcode(db.handle());
                        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
                        break;
                    }
                }
                rc = sqlite3_backup_step(backup, kPagesPerStep);
                if (rc == SQLITE_OK) {
                    waited = 0;
                    const int total = sqlite3_backup_pagecount(backup);
                    if (progress) {
                        if (!started) {
                            progress->setRange(0, total / kPagesPerStep + 1);
                            started = true;
                        }
                        if (!progress->step(QString())) {
                            cancelled = true;
                            break;
                        }
                    }
                    continue;
                }
                // Another workstation is writing: wait for it as any statement would.
                if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited < platform::Database::busyTimeout()) {
                    sqlite3_sleep(25);
                    waited += 25;
                    if (progress && !progress->isRunning()) {
                        cancelled = true;
                        break;
                    }
                    continue;
                }
                break;
            }
            sqlite3_backup_finish(backup);
            if (holding)
                sqlite3_exec(db.handle(), "COMMIT", nullptr, nullptr, nullptr);
            if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
        }
    }
    if (cancelled) {
        rc = SQLITE_ABORT;
        error = {ECANCELED, QStringLiteral("The copy was stopped.")};
    } else if (rc != SQLITE_OK) {
        error = sqliteError(copy, rc);
    }
    if (copy)
        sqlite3_close(copy);
    if (rc == SQLITE_OK) {
        // The old copy is replaced in one rename, never removed first.
        if (syncPath(partial, false)
            && ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) == 0) {
            syncPath(QFileInfo(target).absolutePath(), true);
            return true;
        }
        error = LastSystemError();
    }
    ::remove(QFile::encodeName(partial).constData());
    return false;
}

bool ReplaceFile(const QString &replacement, const QString &target, SystemError &error)
{
    if (!syncPath(replacement, false)) {
        error = LastSystemError();
        return false;
    }
    if (QFileInfo::exists(target))
        QFile::setPermissions(replacement, QFile::permissions(target));
    // rename() puts the new file in place atomically: at every moment the
    // path names either the old file or the new one.
    if (::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(target).constData()) != 0) {
        error = LastSystemError();
        return false;
    }
    syncPath(QFileInfo(target).absolutePath(), true);
    return true;
}
