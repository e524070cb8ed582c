#include "platform/db/LockFile.h"

#include "platform/FileOwnership.h"
#include "platform/db/CompanionFile.h"
#include "platform/db/DbErrors.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr off_t kBlockSize = 64;
constexpr off_t kNameSize = 32;
// As many workstations as may have a database open at once: a lock file is
// never read past that many blocks (a longer one holds nothing of use past
// them, and reading it all could keep an opening waiting for long).
constexpr off_t kMaxBlocks = 255;
constexpr off_t kGate = off_t(1) << 40;
constexpr off_t kRegistry = kGate + 1;

QString g_computer;
QString g_user;

bool lockRange(int fd, int command, short type, off_t start, off_t length)
{
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = start;
    fl.l_len = length;
    fl.l_pid = 0;
    while (::fcntl(fd, command, &fl) == -1) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

// Whether another open file description holds a lock on the range.
bool isHeld(int fd, off_t start, off_t length)
{
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = start;
    fl.l_len = length;
    fl.l_pid = 0;
    if (::fcntl(fd, F_OFD_GETLK, &fl) == -1)
        return true; // cannot tell: count it
    return fl.l_type != F_UNLCK;
}

bool sameFile(int fd, const QByteArray &path)
{
    struct stat a {};
    struct stat b {};
    if (::fstat(fd, &a) != 0 || ::stat(path.constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

off_t blockCount(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return 0;
    return std::min<off_t>((st.st_size + kBlockSize - 1) / kBlockSize, kMaxBlocks);
}

bool readBlock(int fd, off_t index, char *out)
{
    std::memset(out, 0, kBlockSize);
    return ::pread(fd, out, kBlockSize, index * kBlockSize) >= 0;
}

// A lock file holds names; a file that starts as a database is another
// database that happens to carry the lock file's name, never to be written.
bool isDatabaseFile(int fd)
{
    static const char kHeader[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    char head[16] = {};
    return ::pread(fd, head, sizeof head, 0) == ssize_t(sizeof head) && std::memcmp(head, kHeader, sizeof head) == 0;
}

// Opens the lock file's own name: never a file that a link put in its place
// points to, and without waiting on a special file (a FIFO's open would).
int openOwnName(const QByteArray &path, int flags)
{
#ifdef O_NOFOLLOW
    flags |= O_NOFOLLOW;
#endif
#ifdef O_NONBLOCK
    flags |= O_NONBLOCK;
#endif
    return ::open(path.constData(), flags | O_CLOEXEC, 0666);
}

// Whether an open lock file is an ordinary file with no other name: a lock
// file is written by every workstation that opens the database, so one that
// is a link (hard or symbolic), a folder or a device could make them write
// into some other file. Any user's may be: every workstation makes it.
bool isOrdinaryFile(int fd)
{
    return CompanionFile::check(fd, false) == CompanionFile::Fault::None;
}

bool isBlank(const char *block)
{
    for (off_t i = 0; i < kBlockSize; ++i) {
        if (block[i])
            return false;
    }
    return true;
}

void putName(char *out, const QString &name)
{
    const QByteArray bytes = name.toLatin1().left(kNameSize - 1);
    std::memcpy(out, bytes.constData(), size_t(bytes.size()));
}

QString takeName(const char *in)
{
    return QString::fromLatin1(in, qstrnlen(in, kNameSize));
}

// Whether a connection still holds the database: the gate or a block locked.
bool anyoneHolds(int fd)
{
    if (isHeld(fd, kGate, 1))
        return true;
    const off_t count = blockCount(fd);
    for (off_t i = 0; i < count; ++i) {
        if (isHeld(fd, i * kBlockSize, kBlockSize))
            return true;
    }
    return false;
}

// A lock file this user may not write (another user's, made before lock
// files took the database file's mode): when nobody holds it any more, its
// last holder ended without deleting it, and it is deleted now, so that a
// lock whose holder is gone keeps nobody out. True when it was deleted.
bool removeIfStale(const QByteArray &path)
{
    const int fd = openOwnName(path, O_RDONLY);
    if (fd < 0)
        return false;
    bool removed = false;
    // The registry, read-locked, keeps a workstation from joining meanwhile;
    // one that opened the file before it went starts over on a new one.
    if (isOrdinaryFile(fd) && !isDatabaseFile(fd) && lockRange(fd, F_OFD_SETLKW, F_RDLCK, kRegistry, 1)
        && sameFile(fd, path) && !anyoneHolds(fd))
        removed = ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

// The lock file is shared as the database file is: a file this user owns
// takes the database file's mode (never more than read and write) and its
// group, so every workstation that may open the database may register in it.
// It stays writable by its owner whatever the database file's mode.
void shareAsDatabase(int fd, const QString &databasePath)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid())
        return;
    GiveModeAndGroup(fd, databasePath, 0666);
    if (::fstat(fd, &st) == 0 && (st.st_mode & 0600) != 0600)
        ::fchmod(fd, (st.st_mode & 0777) | 0600);
}

DbException notOrdinary(const QString &lockPath)
{
    return CompanionFile::refusal(lockPath, QStringLiteral("lock file"), CompanionFile::Fault::NotOrdinary);
}

} // namespace

LockFile::LockFile(const QString &databasePath, bool exclusive)
    : m_path(pathFor(databasePath))
{
    const QByteArray path = QFile::encodeName(m_path);
    const QString dbName = QFileInfo(databasePath).fileName();
    for (int attempt = 0; attempt < 20; ++attempt) {
        m_fd = openOwnName(path, O_RDWR | O_CREAT);
        if (m_fd < 0) {
            if (errno == ELOOP || errno == EISDIR || errno == ENXIO)
                throw notOrdinary(m_path);
            if (errno == EACCES || errno == EPERM) {
                if (removeIfStale(path))
                    continue;
                dberr::raise(dberr::CannotOpenFile, dbName);
            }
            if (errno == EROFS)
                dberr::raise(dberr::CannotOpenFile, dbName);
            dberr::raise(dberr::DiskOrNetwork);
        }
        if (!isOrdinaryFile(m_fd)) {
            ::close(m_fd);
            m_fd = -1;
            throw notOrdinary(m_path);
        }
        if (!lockRange(m_fd, F_OFD_SETLKW, F_WRLCK, kRegistry, 1)) {
            ::close(m_fd);
            m_fd = -1;
            dberr::raise(dberr::DiskOrNetwork);
        }
        if (!sameFile(m_fd, path)) {
            // The last connection deleted the file between our open and our lock.
            ::close(m_fd);
            m_fd = -1;
            continue;
        }
        if (isDatabaseFile(m_fd)) {
            ::close(m_fd);
            m_fd = -1;
            dberr::raise(dberr::CannotOpenFile, QFileInfo(m_path).fileName());
        }
        shareAsDatabase(m_fd, databasePath);
        if (!lockRange(m_fd, F_OFD_SETLK, exclusive ? F_WRLCK : F_RDLCK, kGate, 1)) {
            ::close(m_fd);
            m_fd = -1;
            dberr::raise(dberr::FileInUse, dbName);
        }
        // The first blank or stale block, else a new one at the end.
        const off_t count = blockCount(m_fd);
        off_t slot = count;
        char block[kBlockSize];
        for (off_t i = 0; i < count; ++i) {
            if (!readBlock(m_fd, i, block))
                continue;
            if (isBlank(block) || !isHeld(m_fd, i * kBlockSize, kBlockSize)) {
                slot = i;
                break;
            }
        }
        if (slot >= kMaxBlocks) {
            ::close(m_fd);
            m_fd = -1;
            dberr::raise(dberr::FileInUse, dbName);
        }
        if (!lockRange(m_fd, F_OFD_SETLK, F_WRLCK, slot * kBlockSize, kBlockSize)) {
            ::close(m_fd);
            m_fd = -1;
            dberr::raise(dberr::DiskOrNetwork);
        }
        std::memset(block, 0, kBlockSize);
        putName(block, computerName());
        putName(block + kNameSize, userName());
        if (::pwrite(m_fd, block, kBlockSize, slot * kBlockSize) != kBlockSize) {
            const int error = errno;
            // A file this connection just made and could not fill goes again.
            struct stat st {};
            if (::fstat(m_fd, &st) == 0 && st.st_size == 0 && blockCount(m_fd) == 0 && sameFile(m_fd, path))
                ::unlink(path.constData());
            ::close(m_fd);
            m_fd = -1;
            // A file that may grow no further (EFBIG) leaves no room for the
            // entry either, as a full disk does.
            dberr::raise(error == ENOSPC || error == EDQUOT || error == EFBIG ? dberr::DiskFull : dberr::DiskOrNetwork);
        }
        m_block = int(slot);
        lockRange(m_fd, F_OFD_SETLK, F_UNLCK, kRegistry, 1);
        return;
    }
    dberr::raise(dberr::DiskOrNetwork);
}

LockFile::~LockFile()
{
    leave();
}

void LockFile::leave()
{
    if (m_fd < 0)
        return;
    const QByteArray path = QFile::encodeName(m_path);
    lockRange(m_fd, F_OFD_SETLKW, F_WRLCK, kRegistry, 1);
    char block[kBlockSize];
    std::memset(block, 0, kBlockSize);
    if (::pwrite(m_fd, block, kBlockSize, off_t(m_block) * kBlockSize) != kBlockSize) {
        // The block stays; its lock goes with the descriptor, so it reads as stale.
    }
    lockRange(m_fd, F_OFD_SETLK, F_UNLCK, off_t(m_block) * kBlockSize, kBlockSize);

    // Clear stale blocks, drop free ones at the end, and delete the file when
    // nobody is left.
    const off_t count = blockCount(m_fd);
    off_t lastLive = -1;
    for (off_t i = 0; i < count; ++i) {
        char b[kBlockSize];
        if (!readBlock(m_fd, i, b) || isBlank(b))
            continue;
        if (isHeld(m_fd, i * kBlockSize, kBlockSize))
            lastLive = i;
        else
            ::pwrite(m_fd, block, kBlockSize, i * kBlockSize);
    }
    if (lastLive < 0) {
        if (sameFile(m_fd, path))
            ::unlink(path.constData());
    } else if (::ftruncate(m_fd, (lastLive + 1) * kBlockSize) != 0) {
        // A file longer than needed only holds blank blocks.
    }
    ::close(m_fd); // drops the gate and registry locks
    m_fd = -1;
    m_block = -1;
}

QString LockFile::pathFor(const QString &databasePath)
{
    const QFileInfo info(databasePath);
    const QDir folder(info.absolutePath());
    const QString usual = folder.filePath(info.completeBaseName() + QStringLiteral(".ldb"));
    // A database whose own name ends in ".ldb" would be taken for its lock
    // file: its lock file then carries the whole name ("Shop.ldb.ldb"). The
    // comparison ignores case, as a shared folder may, and a link to the
    // database counts as the database.
    // Nor is another database that carries the usual name ever written: every
    // workstation sees that file and takes the longer name alike.
    const QFileInfo lock(usual);
    const bool sameName = lock.absoluteFilePath().compare(info.absoluteFilePath(), Qt::CaseInsensitive) == 0;
    const bool sameFile = lock.exists() && info.exists() && lock.canonicalFilePath() == info.canonicalFilePath();
    bool database = false;
    if (lock.isFile()) {
        const int fd = ::open(QFile::encodeName(usual).constData(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            database = isDatabaseFile(fd);
            ::close(fd);
        }
    }
    if (sameName || sameFile || database)
        return folder.filePath(info.fileName() + QStringLiteral(".ldb"));
    return usual;
}

QList<Database::Connection> LockFile::connections(const QString &lockPath)
{
    QList<Database::Connection> list;
    const QByteArray path = QFile::encodeName(lockPath);
    const int fd = openOwnName(path, O_RDONLY);
    if (fd < 0)
        return list;
    if (!isOrdinaryFile(fd)) {
        ::close(fd);
        return list;
    }
    const bool locked = lockRange(fd, F_OFD_SETLKW, F_RDLCK, kRegistry, 1);
    const off_t count = blockCount(fd);
    for (off_t i = 0; i < count; ++i) {
        char b[kBlockSize];
        if (!readBlock(fd, i, b) || isBlank(b) || !isHeld(fd, i * kBlockSize, kBlockSize))
            continue;
        list.append({takeName(b), takeName(b + kNameSize)});
    }
    if (locked)
        lockRange(fd, F_OFD_SETLK, F_UNLCK, kRegistry, 1);
    ::close(fd);
    return list;
}

QString LockFile::computerName()
{
    if (!g_computer.isEmpty())
        return g_computer;
    const QString host = QSysInfo::machineHostName();
    return host.isEmpty() ? QStringLiteral("LOCALHOST") : host;
}

QString LockFile::userName()
{
    if (!g_user.isEmpty())
        return g_user;
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    return user.isEmpty() ? QStringLiteral("Admin") : user;
}

void LockFile::setIdentity(const QString &computer, const QString &user)
{
    g_computer = computer;
    g_user = user;
}

} // namespace platform
