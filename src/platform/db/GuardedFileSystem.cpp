#include "platform/db/GuardedFileSystem.h"

#include "platform/FileOwnership.h"
#include "platform/db/CompanionFile.h"

#include <QtCore/QFile>
#include <QtCore/QString>

#include <sqlite3.h>

#include <algorithm>
#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

thread_local std::optional<DbException> t_refusal;

#ifdef Q_OS_UNIX

sqlite3_vfs g_guarded;
sqlite3_vfs *g_system = nullptr;
sqlite3_io_methods g_journalMethods;

// A journal, read and written through the descriptor that was checked.
// Journals are never locked: the database file's locks cover them.
struct JournalFile
{
    sqlite3_file head;
    int fd;
    const char *path; // the engine keeps the name as long as the file is open
    bool syncFolder;  // made by this open: its folder entry goes to the disk with its first sync
};

JournalFile *journalOf(sqlite3_file *f)
{
    return reinterpret_cast<JournalFile *>(f);
}

int journalClose(sqlite3_file *f)
{
    JournalFile *j = journalOf(f);
    if (j->fd >= 0)
        ::close(j->fd);
    j->fd = -1;
    return SQLITE_OK;
}

int journalRead(sqlite3_file *f, void *buffer, int amount, sqlite3_int64 offset)
{
    auto *out = static_cast<char *>(buffer);
    int got = 0;
    while (got < amount) {
        const ssize_t n = ::pread(journalOf(f)->fd, out + got, size_t(amount - got), off_t(offset + got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return SQLITE_IOERR_READ;
        }
        if (n == 0)
            break;
        got += int(n);
    }
    if (got < amount) {
        // The engine expects the rest of a short read cleared.
        std::memset(out + got, 0, size_t(amount - got));
        return SQLITE_IOERR_SHORT_READ;
    }
    return SQLITE_OK;
}

int journalWrite(sqlite3_file *f, const void *buffer, int amount, sqlite3_int64 offset)
{
    const auto *in = static_cast<const char *>(buffer);
    int put = 0;
    while (put < amount) {
        const ssize_t n = ::pwrite(journalOf(f)->fd, in + put, size_t(amount - put), off_t(offset + put));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // A file that may grow no further (the file-size limit) or a used-up
            // share of the disk leaves no room, as a full disk does.
            if (errno == ENOSPC || errno == EFBIG
#ifdef EDQUOT
                || errno == EDQUOT
#endif
            )
                return SQLITE_FULL;
            return SQLITE_IOERR_WRITE;
        }
        if (n == 0) {
            errno = ENOSPC;
            return SQLITE_FULL;
        }
        put += int(n);
    }
    return SQLITE_OK;
}

int journalTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    while (::ftruncate(journalOf(f)->fd, off_t(size)) != 0) {
        if (errno != EINTR)
            return SQLITE_IOERR_TRUNCATE;
    }
    return SQLITE_OK;
}

int journalSync(sqlite3_file *f, int flags)
{
    JournalFile *j = journalOf(f);
    const int rc = (flags & SQLITE_SYNC_DATAONLY) ? ::fdatasync(j->fd) : ::fsync(j->fd);
    if (rc != 0)
        return SQLITE_IOERR_FSYNC;
    if (j->syncFolder) {
        // Without its folder entry on the disk, a journal made just before a
        // power cut could be missing when it is needed to undo the write.
        const char *slash = std::strrchr(j->path, '/');
        const QByteArray folder = slash ? QByteArray(j->path, int(slash - j->path) + 1) : QByteArray(".");
        const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        j->syncFolder = false;
    }
    return SQLITE_OK;
}

int journalFileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    struct stat st {};
    if (::fstat(journalOf(f)->fd, &st) != 0)
        return SQLITE_IOERR_FSTAT;
    *size = st.st_size;
    return SQLITE_OK;
}

int journalLock(sqlite3_file *, int)
{
    return SQLITE_OK;
}

int journalCheckReservedLock(sqlite3_file *, int *reserved)
{
    *reserved = 0;
    return SQLITE_OK;
}

int journalFileControl(sqlite3_file *, int, void *)
{
    return SQLITE_NOTFOUND;
}

int journalSectorSize(sqlite3_file *)
{
    return 4096;
}

int journalDeviceCharacteristics(sqlite3_file *)
{
    return 0;
}

int refuse(const char *path, const QString &role, CompanionFile::Fault fault)
{
    t_refusal = CompanionFile::refusal(QFile::decodeName(path), role, fault);
    // Not "cannot open": the engine would take that for a journal to roll
    // back and go on trying.
    return SQLITE_PERM;
}

// Keeps a descriptor clear of the standard streams, so that nothing written
// to them could land in the journal.
int aboveStandardStreams(int fd)
{
    if (fd > 2)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    return moved;
}

int openJournal(const char *path, sqlite3_file *file, int flags, int *outFlags)
{
    const bool wal = flags & SQLITE_OPEN_WAL;
    const QString role = QStringLiteral("journal");
    // A link, a folder or a special file is refused before anything opens it
    // (a device may act on being opened); what is opened is checked again
    // through its descriptor, since the name may change hands meanwhile.
    if (const auto fault = CompanionFile::checkPath(path, true); fault != CompanionFile::Fault::None)
        return refuse(path, role, fault);

    const bool write = flags & SQLITE_OPEN_READWRITE;
    const int mode = (write ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = -1;
    bool created = false;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        fd = ::open(path, mode);
        if (fd >= 0 || errno != ENOENT || !(flags & SQLITE_OPEN_CREATE))
            break;
        // Made new by this open, or not at all: never a file that appeared
        // under the name in between.
        fd = ::open(path, mode | O_CREAT | O_EXCL, 0600);
        created = fd >= 0;
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const int error = errno;
        if (const auto fault = CompanionFile::checkPath(path, true); fault != CompanionFile::Fault::None)
            return refuse(path, role, fault);
        errno = error;
        if (error == EACCES && (flags & SQLITE_OPEN_CREATE) && ::access(path, F_OK) != 0)
            return SQLITE_READONLY_DIRECTORY;
        return SQLITE_CANTOPEN;
    }
    if (const auto fault = CompanionFile::check(fd, true); fault != CompanionFile::Fault::None) {
        ::close(fd);
        return refuse(path, role, fault);
    }
    const char *database = sqlite3_filename_database(path);
    if (wal && database) {
        // The log's index is opened by the engine's own shared-memory code: it
        // is looked at here, before the log is used.
        const QByteArray index = QByteArray(database) + "-shm";
        if (const auto fault = CompanionFile::checkPath(index, true); fault != CompanionFile::Fault::None) {
            ::close(fd);
            return refuse(index.constData(), QStringLiteral("journal index"), fault);
        }
    }
    if (created && database) {
        // Open to no more people than the database: its read and write bits
        // and its group (none of the group's rights when this user may not
        // give the file that group); its owner always writes it.
        GiveModeAndGroup(fd, QFile::decodeName(database), 0666);
        struct stat st {};
        if (::fstat(fd, &st) == 0 && (st.st_mode & 0600) != 0600)
            ::fchmod(fd, (st.st_mode & 0777) | 0600);
    }
    fd = aboveStandardStreams(fd);
    if (fd < 0)
        return SQLITE_CANTOPEN;
    JournalFile *j = journalOf(file);
    j->fd = fd;
    j->path = path;
    j->syncFolder = created;
    j->head.pMethods = &g_journalMethods;
    if (outFlags)
        *outFlags = flags;
    return SQLITE_OK;
}

int guardedOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags)
{
    file->pMethods = nullptr;
    if (name && (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_WAL)))
        return openJournal(name, file, flags, outFlags);
    return g_system->xOpen(g_system, name, file, flags, outFlags);
}

bool registerGuarded()
{
    g_system = sqlite3_vfs_find("unix");
    if (!g_system)
        return false;
    g_journalMethods.iVersion = 1;
    g_journalMethods.xClose = journalClose;
    g_journalMethods.xRead = journalRead;
    g_journalMethods.xWrite = journalWrite;
    g_journalMethods.xTruncate = journalTruncate;
    g_journalMethods.xSync = journalSync;
    g_journalMethods.xFileSize = journalFileSize;
    g_journalMethods.xLock = journalLock;
    g_journalMethods.xUnlock = journalLock;
    g_journalMethods.xCheckReservedLock = journalCheckReservedLock;
    g_journalMethods.xFileControl = journalFileControl;
    g_journalMethods.xSectorSize = journalSectorSize;
    g_journalMethods.xDeviceCharacteristics = journalDeviceCharacteristics;

    g_guarded = *g_system;
    g_guarded.pNext = nullptr;
    g_guarded.zName = "tavrel-guarded";
    g_guarded.szOsFile = std::max(g_system->szOsFile, int(sizeof(JournalFile)));
    g_guarded.xOpen = guardedOpen;
    return sqlite3_vfs_register(&g_guarded, 1) == SQLITE_OK;
}

#endif

// In place before any test or tool could lay its own layer over the default.
[[maybe_unused]] const bool g_installedAtStart = (GuardedFileSystem::install(), true);

} // namespace

void GuardedFileSystem::install()
{
#ifdef Q_OS_UNIX
    static const bool installed = registerGuarded();
    (void)installed;
#endif
}

void GuardedFileSystem::checkBeside(const QString &databasePath)
{
#ifdef Q_OS_UNIX
    const QByteArray database = QFile::encodeName(databasePath);
    const struct Beside
    {
        const char *suffix;
        const char *role;
    } files[] = {{"-wal", "journal"}, {"-shm", "journal index"}};
    for (const Beside &b : files) {
        const QByteArray path = database + b.suffix;
        if (const auto fault = CompanionFile::checkPath(path, true); fault != CompanionFile::Fault::None)
            throw CompanionFile::refusal(QFile::decodeName(path), QString::fromLatin1(b.role), fault);
    }
    const QByteArray journal = database + "-journal";
    const auto emptyOfAnother = [&](struct stat &st) {
        return ::lstat(journal.constData(), &st) == 0 && st.st_size == 0
            && CompanionFile::check(st, true) == CompanionFile::Fault::OtherOwner;
    };
    struct stat first {};
    if (const auto fault = CompanionFile::checkPath(journal, true); fault == CompanionFile::Fault::NotOrdinary)
        throw CompanionFile::refusal(QFile::decodeName(journal), QStringLiteral("journal"), fault);
    if (!emptyOfAnother(first))
        return;
    // A workstation that is just starting to save has made its journal and
    // is about to write into it: a journal still empty a moment later is
    // not one in use.
    ::usleep(50000);
    struct stat later {};
    if (emptyOfAnother(later) && later.st_ino == first.st_ino && later.st_dev == first.st_dev)
        throw CompanionFile::refusal(QFile::decodeName(journal), QStringLiteral("journal"),
                                     CompanionFile::Fault::OtherOwner);
#else
    Q_UNUSED(databasePath)
#endif
}

std::optional<DbException> GuardedFileSystem::takeRefusal()
{
    std::optional<DbException> refusal;
    refusal.swap(t_refusal);
    return refusal;
}

} // namespace platform
