#include "data/DatabaseFiles.h"
#include "platform/db/LockWait.h"

#include "app/base/FileException.h"
#include "data/SchemaOperations.h"
#include "platform/FileOwnership.h"
#include "platform/Prompt.h"
#include "platform/UserFile.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/LockFile.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QLatin1String kMdb(".mdb");

std::function<void(const QString &)> g_beforePlacing;

// The path without its ".mdb" ending (any case), or the whole path.
QString stem(const QString &path)
{
    return path.endsWith(kMdb, Qt::CaseInsensitive) ? path.chopped(kMdb.size()) : path;
}

// The error of a failed engine call; cause is the system's error of the
// failing write, taken at once (later calls may change it).
SystemError sqliteError(sqlite3 *db, int rc, int cause = 0)
{
    // A write the disk, the user's share of it or the file-size limit
    // refuses leaves no room: the engine's own message says so.
    if (platform::dberr::leavesNoRoom(rc, cause ? cause : (db ? sqlite3_system_errno(db) : 0)))
        return {ENOSPC, platform::dberr::text(platform::dberr::DiskFull)};
    SystemError e;
    e.code = rc;
    // A connection whose last call went well has no message of its own.
    e.text = db && sqlite3_errcode(db) != SQLITE_OK ? QString::fromUtf8(sqlite3_errmsg(db))
                                                    : QString::fromUtf8(sqlite3_errstr(rc));
    return e;
}

// Removes a work file and the journal the engine may have left beside it.
void removeWorkFile(const QString &work)
{
    ::remove(QFile::encodeName(work).constData());
    ::remove(QFile::encodeName(work + QStringLiteral("-journal")).constData());
}

// Whether another process holds a lock on any part of the open file (the
// engine locks the file it writes for as long as it writes it).
bool lockedElsewhere(int fd)
{
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
    return ::fcntl(fd, F_GETLK, &probe) != 0 || probe.l_type != F_UNLCK;
}

// Whether the file at path is a work file left behind: an ordinary file of
// this user's with no other name, not changed since before `since`, and
// locked by nobody (a copy still running, here or on another workstation,
// holds its work file's lock).
bool isStaleWorkFile(const QByteArray &path, const struct timespec &since)
{
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
#ifdef O_NOFOLLOW
    flags |= O_NOFOLLOW;
#endif
    const int fd = ::open(path.constData(), flags);
    if (fd < 0)
        return false;
    struct stat st {};
    // A copy holds its work file locked from its start to its end; the
    // engine's own lock is looked at too.
    const bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1
        && (st.st_mtim.tv_sec < since.tv_sec
            || (st.st_mtim.tv_sec == since.tv_sec && st.st_mtim.tv_nsec < since.tv_nsec))
        && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && !lockedElsewhere(fd);
    ::close(fd);
    return stale;
}

// Removes the work files that earlier copies to the target left when they
// were killed or the computer went down: the target's name, ".partial-" and
// six characters, and the journal beside each. Only this user's files that
// nobody holds and that were last written before this copy began go; a copy
// to the same name running elsewhere keeps its own.
void removeStaleWorkFiles(const QString &target, const struct timespec &since)
{
    const QFileInfo info(target);
    const QString prefix = info.fileName() + QStringLiteral(".partial-");
    const QDir folder(info.absolutePath());
    const QStringList names =
        folder.entryList({prefix + QStringLiteral("*")}, QDir::Files | QDir::System | QDir::Hidden);
    const auto isWorkName = [&](const QString &name) {
        if (name.size() != prefix.size() + 6)
            return false;
        for (const QChar c : name.mid(prefix.size())) {
            if (!(c.isLetterOrNumber() && c.unicode() < 0x80))
                return false;
        }
        return true;
    };
    const QLatin1String journal("-journal");
    for (const QString &name : names) {
        const bool isJournal = name.endsWith(journal);
        const QString work = isJournal ? name.chopped(journal.size()) : name;
        if (!isWorkName(work))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        if (isJournal) {
            // A journal goes with its work file: while that is there, it is
            // removed with it (or kept with it).
            if (QFileInfo::exists(folder.filePath(work)) || QFileInfo(folder.filePath(work)).isSymLink())
                continue;
            if (isStaleWorkFile(path, since))
                ::unlink(path.constData());
            continue;
        }
        if (!isStaleWorkFile(path, since))
            continue;
        const QByteArray journalPath = path + "-journal";
        if (::unlink(path.constData()) == 0 && isStaleWorkFile(journalPath, since))
            ::unlink(journalPath.constData());
    }
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

// Another workstation writing back to back takes the file's write lock
// again at once after each write, so a reader that asks for its read lock
// only now and then (as the database's busy wait does, with growing pauses)
// may never find it free. While a copy waits for its start it asks every
// millisecond, for as long as the database's busy wait lasts, and stops
// asking when the progress window's Stop is pressed.
struct StartWait
{
    QElapsedTimer clock;
    SchemaProgress *progress = nullptr;
    bool stopped = false;
};

int askOften(void *context, int tries)
{
    auto *wait = static_cast<StartWait *>(context);
    if (wait->clock.elapsed() >= platform::Database::busyTimeout())
        return 0;
    if (wait->progress && tries % 25 == 24 && !wait->progress->isRunning()) {
        wait->stopped = true;
        return 0;
    }
    sqlite3_sleep(1);
    return 1;
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
                      SchemaProgress *progress, QString *note)
{
    if (note)
        note->clear();
    if (IsSameFile(db.name(), target)) {
        error = {EEXIST, QStringLiteral("The backup would replace the database itself.")};
        return false;
    }
    // The lock file lists the workstations that have the database open, and
    // the journals are what roll back an interrupted write: none of the files
    // the database uses beside it may be overwritten while it is in use.
    for (const QString &companion : {platform::LockFile::pathFor(db.name()), db.name() + QStringLiteral("-journal"),
                                     db.name() + QStringLiteral("-wal"), db.name() + QStringLiteral("-shm")}) {
        if (IsSameFile(companion, target)) {
            error = {EEXIST, QStringLiteral("The backup would replace a file the database is using.")};
            return false;
        }
    }
    // The copy goes where the user named it, by the rule of every file
    // written for the user: through his own link to his own file, in place
    // of anyone else's link, never into a folder, a pipe or a device.
    QString named;
    QString refusal;
    if (!platform::UserFile::Destination(target, named, refusal)) {
        error = {EEXIST, QStringLiteral("Cannot write %1: %2").arg(target, refusal)};
        return false;
    }
    // The engine opens its file only by a name without links on the way
    // (so that nobody can turn it elsewhere): the folder the user reached,
    // through his links or not, is named by its real path.
    const QFileInfo namedInfo(named);
    const QString realFolder = QFileInfo(namedInfo.absolutePath()).canonicalFilePath();
    if (realFolder.isEmpty()) {
        error = {ENOENT, QStringLiteral("The folder %1 cannot be found. Please choose a folder that exists.")
                             .arg(namedInfo.absolutePath())};
        return false;
    }
    const QString place = realFolder + QLatin1Char('/') + namedInfo.fileName();
    // Work files that earlier copies to this name left are removed first.
    struct timespec began {};
    ::clock_gettime(CLOCK_REALTIME, &began);
    removeStaleWorkFiles(place, began);
    // A work file of its own, made new in the target's folder by this copy
    // alone (another copy to the same name at the same time has its own), to
    // be read by nobody else until it is finished; then it takes the database
    // file's own mode and group.
    QByteArray workName = QFile::encodeName(place) + ".partial-XXXXXX";
    // Held open and locked until the copy is over, finished or not: another
    // copy to the same name sees that it is in use and leaves it alone.
    struct Held
    {
        int fd = -1;
        ~Held()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } held;
    held.fd = ::mkostemp(workName.data(), O_CLOEXEC);
    if (held.fd < 0) {
        error = LastSystemError();
        if (error.code != ENOSPC)
            error.text = QStringLiteral("Cannot create a file in %1: %2. Please choose a folder you may write in.")
                             .arg(QFileInfo(target).absolutePath(), error.text);
        return false;
    }
    ::flock(held.fd, LOCK_EX | LOCK_NB);
    const QString partial = QFile::decodeName(workName);

    // Pages are copied in steps, so the window shows progress and can stop
    // the copy. Another workstation's write between two steps would make the
    // engine start over, again and again while it writes back to back; so
    // this connection holds the file's read lock from the first step to the
    // last (other workstations' writes wait for it, as for any reader) and
    // the copy always ends.
    constexpr int kPagesPerStep = 256;
    bool cancelled = false;
    bool holding = false;
    bool failed = false;
    sqlite3 *copy = nullptr;
    // Written through its own name only: a link put in its place is refused.
    if (sqlite3_open_v2(QFile::encodeName(partial).constData(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW,
                        nullptr)
        != SQLITE_OK) {
        // The engine's own words ("unable to open database file") tell the
        // user nothing he can act on.
        const int cause = copy ? sqlite3_system_errno(copy) : 0;
        error = sqliteError(copy, sqlite3_errcode(copy));
        if (error.code != ENOSPC)
            error = {EACCES, QStringLiteral("The database engine cannot open the copy it made in %1%2. Please choose "
                                            "another folder, one on this computer's own disk.")
                                 .arg(QFileInfo(target).absolutePath(),
                                      cause ? QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(cause))
                                                  + QLatin1Char(')')
                                            : QString())};
        failed = true;
    } else if (sqlite3_backup *backup = sqlite3_backup_init(copy, "main", db.handle(), "main"); !backup) {
        error = sqliteError(copy, sqlite3_errcode(copy));
        failed = true;
    } else {
        int waited = 0;
        bool started = false;
        for (;;) {
            if (!holding && sqlite3_get_autocommit(db.handle())) {
                StartWait wait;
                wait.clock.start();
                wait.progress = progress;
                sqlite3_busy_handler(db.handle(), askOften, &wait);
                if (sqlite3_exec(db.handle(), "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr)
                    == SQLITE_OK) {
                    holding = true;
                } else {
                    const int rc = sqlite3_extended_errcode(db.handle());
                    if (wait.stopped)
                        cancelled = true;
                    else if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
                        error = {EBUSY, QStringLiteral("Another workstation kept the database busy, so the copy could "
                                                       "not begin. Please try again.")};
                    else
                        error = sqliteError(db.handle(), rc);
                    failed = true;
                    sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
                }
                platform::RestoreLockWait(db);
                if (!holding)
                    break;
            }
            const int rc = sqlite3_backup_step(backup, kPagesPerStep);
            const int cause = errno;
            if (rc == SQLITE_DONE)
                break;
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
            error = sqliteError(copy, rc, cause);
            failed = true;
            break;
        }
        sqlite3_backup_finish(backup);
        if (holding)
            sqlite3_exec(db.handle(), "COMMIT", nullptr, nullptr, nullptr);
    }
    if (cancelled) {
        failed = true;
        error = {ECANCELED, QStringLiteral("The copy was stopped.")};
    }
    if (copy)
        sqlite3_close(copy);
    // The old copy is replaced in one rename, never removed first.
    // A copy is a copy whatever group it gets: a user outside the shop
    // file's group keeps his own (and the copy no wider a mode).
    QString groupNote;
    if (!failed && ReplaceFile(partial, place, error, db.name(), &groupNote)) {
        if (note)
            *note = groupNote;
        return true;
    }
    removeWorkFile(partial);
    return false;
}

bool ReplaceFile(const QString &replacement, const QString &target, SystemError &error, const QString &model,
                 QString *groupNote)
{
    if (groupNote)
        groupNote->clear();
    const QByteArray name = QFile::encodeName(replacement);
    const auto replaced = [&] {
        error = {EEXIST, QStringLiteral("The finished file %1 was replaced by another file before it could be put in "
                                        "place; %2 was left as it was.")
                             .arg(QFileInfo(replacement).fileName(), QFileInfo(target).fileName())};
        return false;
    };
    // The finished file is taken by its descriptor, never through a link put
    // in its place, and must still be the one this workstation made: an
    // ordinary file of this user's with no other name.
    int flags = O_RDONLY | O_CLOEXEC;
#ifdef O_NOFOLLOW
    flags |= O_NOFOLLOW | O_NONBLOCK;
#endif
    const int fd = ::open(name.constData(), flags);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENXIO)
            return replaced();
        error = LastSystemError();
        return false;
    }
    struct stat made {};
    bool ok = ::fstat(fd, &made) == 0;
    if (!ok) {
        error = LastSystemError();
    } else if (!S_ISREG(made.st_mode) || made.st_nlink != 1
#ifdef Q_OS_UNIX
               || made.st_uid != ::geteuid()
#endif
    ) {
        ok = replaced();
    } else if (::fsync(fd) != 0) {
        error = LastSystemError();
        ok = false;
    } else {
        // The mode and group of the file it stands in for (or of the model),
        // so that it is never open to more people than that file and a shop
        // file put back stays usable by the workstations sharing its group.
        const QString from = model.isNull() ? target : model;
        bool groupRefused = false;
        const int code = platform::GiveModeAndGroup(fd, from, 0777, &groupRefused);
        struct stat modelFile {};
        struct stat given {};
        // Where another group will do, the file keeps the user's own, with
        // no rights through it: it is then open to nobody the model is not.
        const bool ownGroupWillDo = code != 0 && groupRefused && groupNote
            && ::stat(QFile::encodeName(from).constData(), &modelFile) == 0 && ::fstat(fd, &given) == 0
            && (given.st_mode & 0777 & ~(modelFile.st_mode & 0707)) == 0;
        if (ownGroupWillDo) {
            // Said only when the model's group could do more with the model
            // than everybody else can: its members lose that on the copy.
            const mode_t groupBits = (modelFile.st_mode >> 3) & 7;
            const mode_t otherBits = modelFile.st_mode & 7;
            if (groupBits & ~otherBits) {
                const struct group *named = ::getgrgid(modelFile.st_gid);
                const QString groupName =
                    named ? QString::fromLocal8Bit(named->gr_name) : QString::number(modelFile.st_gid);
                *groupNote = QStringLiteral("The copy has your own group, not the group %1 of %2 (you are not a "
                                            "member of it): the members of %1 can use the copy only as every other "
                                            "user can.")
                                 .arg(groupName, from);
            }
        } else if (code != 0) {
            const QString cause = QString::fromLocal8Bit(std::strerror(code));
            error = {code, groupRefused ? QStringLiteral("The copy cannot be given the group of %1: %2").arg(from, cause)
                                        : cause};
            ok = false;
        }
    }
    if (ok && g_beforePlacing)
        g_beforePlacing(replacement);
    // The name must still be the file given its mode: what a link or another
    // file put there since would otherwise take the target's place.
    struct stat now {};
    if (ok && (::lstat(name.constData(), &now) != 0 || now.st_dev != made.st_dev || now.st_ino != made.st_ino))
        ok = replaced();
    ::close(fd);
    if (!ok)
        return false;
    // rename() puts the new file in place atomically: at every moment the
    // path names either the old file or the new one.
    if (::rename(name.constData(), QFile::encodeName(target).constData()) != 0) {
        error = LastSystemError();
        return false;
    }
    syncPath(QFileInfo(target).absolutePath(), true);
    return true;
}

void SetBeforePlacingStep(std::function<void(const QString &replacement)> step)
{
    g_beforePlacing = std::move(step);
}
