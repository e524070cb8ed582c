#include "platform/UserFile.h"

#include "platform/FileOwnership.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QList>
#include <QtCore/QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Written in pieces of this size: an export writes a value at a time.
constexpr qsizetype kBufferBytes = 64 * 1024;

QString systemText(int code)
{
    return UserFile::ReasonText(code);
}

// What a name that is no ordinary file holds, in the user's words.
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a pipe (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("no ordinary file");
}

QString notOrdinary(mode_t mode, bool throughLink)
{
    return (throughLink ? QStringLiteral("It is a link to %1, not to an ordinary file; nothing was written to it.")
                        : QStringLiteral("It is %1, not an ordinary file; nothing was written to it."))
        .arg(kindOf(mode));
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    for (qsizetype done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// The whole of an open file, from its start.
bool readWhole(int fd, QByteArray &bytes)
{
    bytes.clear();
    char piece[64 * 1024];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, piece, sizeof piece, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        bytes.append(piece, qsizetype(n));
        at += n;
    }
}

// A work file of its own beside the destination: the destination's name,
// ".partial-" and six letters, made new (never through what is there) with
// the permissions new files of this user get.
int makeWorkFile(const QByteArray &destination, QByteArray &work)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        work = destination + ".partial-";
        for (int i = 0; i < 6; ++i)
            work += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
        const int fd = ::open(work.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Follows the link at path, one link at a time, to the file it finally
// names. Every link met on the way must be this user's own (the folders
// above path itself are taken as the user named them): another user could
// otherwise turn a link of his, which this user's link leads through, to
// any file of this user's. False when a link on the way is another user's,
// or it goes on past the system's limit of links (a loop); `named` is then
// empty.
bool followOwnLinks(const QByteArray &path, QByteArray &named)
{
    named.clear();
    const int slash = int(path.lastIndexOf('/'));
    QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
    char *real = ::realpath(folder.constData(), nullptr);
    if (!real)
        return false;
    QByteArray current = real;
    std::free(real);
    QList<QByteArray> pending{path.mid(slash + 1)};
    for (int links = 0; !pending.isEmpty();) {
        const QByteArray part = pending.takeFirst();
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            const int up = int(current.lastIndexOf('/'));
            current = up <= 0 ? QByteArray("/") : current.left(up);
            continue;
        }
        const QByteArray at = (current == "/" ? current : current + '/') + part;
        struct stat st {};
        if (::lstat(at.constData(), &st) != 0)
            return false;
        if (!S_ISLNK(st.st_mode)) {
            current = at;
            continue;
        }
        if (st.st_uid != ::geteuid() || ++links > 40)
            return false;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(at.constData(), target.data(), size_t(target.size()));
        if (length <= 0 || length >= target.size())
            return false;
        target.truncate(length);
        if (target.startsWith('/'))
            current = "/";
        pending = target.split('/') + pending;
    }
    named = current;
    return true;
}

} // namespace

UserFile::UserFile(const QString &name) : m_name(name) {}

QString UserFile::ReasonText(int code)
{
    switch (code) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Not enough space on disk.");
    case EFBIG:
        return QStringLiteral("The file would be larger than the file-size limit allows.");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}

void UserFile::FailWritesPastTheSizeLimit()
{
#ifdef SIGXFSZ
    static const bool ignored = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)ignored;
#endif
}

UserFile::~UserFile()
{
    cancelWriting();
}

void UserFile::setFileName(const QString &name)
{
    if (isOpen())
        cancelWriting();
    m_name = name;
}

bool UserFile::Destination(const QString &path, QString &destination, QString &refusal)
{
    // Asked also by writers that let another program write by name first.
    FailWritesPastTheSizeLimit();
    refusal.clear();
    destination = path;
    const QByteArray name = QFile::encodeName(path);
    struct stat at {};
    if (::lstat(name.constData(), &at) != 0) {
        if (errno == ENOENT)
            return true; // a new file (a missing folder is said when the work file cannot be made)
        refusal = systemText(errno);
        return false;
    }
    if (S_ISREG(at.st_mode))
        return true;
    if (!S_ISLNK(at.st_mode)) {
        refusal = notOrdinary(at.st_mode, false);
        return false;
    }
    // Another user's link is replaced, whatever it names.
    if (at.st_uid != ::geteuid())
        return true;
    struct stat named {};
    if (::stat(name.constData(), &named) != 0)
        return true; // a link to nothing: the new file takes its place
    if (!S_ISREG(named.st_mode)) {
        refusal = notOrdinary(named.st_mode, true);
        return false;
    }
    if (named.st_uid != ::geteuid())
        return true; // the user's link to a file that is not his: the link goes
    // The user's link that leads through another user's link: the link goes
    // too, whatever the last file is.
    QByteArray followed;
    if (followOwnLinks(name, followed))
        destination = QFile::decodeName(followed);
    return true;
}

bool UserFile::open(OpenMode mode)
{
    if (isOpen())
        cancelWriting();
    m_failed = false;
    m_refused = false;
    m_inPlace = false;
    m_buffer.clear();
    setErrorString(QString());
    if (!(mode & WriteOnly) || (mode & ReadOnly) || (mode & Append)) {
        m_refused = true;
        setErrorString(QStringLiteral("The file can only be written anew."));
        return false;
    }
    if (m_name.isEmpty()) {
        setErrorString(QStringLiteral("No file name was given."));
        return false;
    }
    QString refusal;
    if (!Destination(m_name, m_destination, refusal)) {
        m_refused = true;
        setErrorString(refusal);
        return false;
    }
    const QByteArray destination = QFile::encodeName(m_destination);
    struct stat there {};
    const bool ownFile = ::lstat(destination.constData(), &there) == 0 && S_ISREG(there.st_mode)
        && there.st_uid == ::geteuid();
    m_fd = makeWorkFile(destination, m_work);
    if (m_fd < 0) {
        const int cause = errno;
        // A folder the user may not add a name to, holding his own file he
        // may write: that file is written over in place (opened without
        // following a link, and only when it is still his ordinary file).
        // Its bytes are kept, to be put back should the new file not be
        // written whole (a full disk): it is cut to the new length only
        // when the new file is finished.
        if (ownFile && (cause == EACCES || cause == EPERM || cause == EROFS)) {
            const int fd = ::open(destination.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            struct stat opened {};
            if (fd >= 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid()
                && opened.st_dev == there.st_dev && opened.st_ino == there.st_ino && readWhole(fd, m_old)
                && ::lseek(fd, 0, SEEK_SET) == 0) {
                ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
                m_fd = fd;
                m_inPlace = true;
                m_end = 0;
                m_work.clear();
            } else if (fd >= 0) {
                ::close(fd);
            }
        }
        if (m_fd < 0) {
            setErrorString(systemText(cause));
            return false;
        }
    }
    // The user's own file keeps its permissions and group; another's file or
    // link replaced gets those of a new file of this user's.
    if (ownFile && !m_inPlace)
        GiveModeAndGroup(m_fd, m_destination);
    return QIODevice::open(mode | Unbuffered);
}

qint64 UserFile::readData(char *, qint64)
{
    return -1;
}

qint64 UserFile::writeData(const char *data, qint64 size)
{
    if (m_fd < 0 || m_failed)
        return -1;
    m_buffer.append(data, qsizetype(size));
    if (m_buffer.size() >= kBufferBytes && !flushBuffer())
        return -1;
    return size;
}

bool UserFile::flushBuffer()
{
    if (m_failed)
        return false;
    if (m_buffer.isEmpty())
        return true;
    if (!writeAll(m_fd, m_buffer.constData(), m_buffer.size())) {
        fail(systemText(errno));
        return false;
    }
    m_buffer.clear();
    m_end = std::max(m_end, qint64(::lseek(m_fd, 0, SEEK_CUR)));
    return true;
}

bool UserFile::flush()
{
    return m_fd >= 0 && flushBuffer();
}

qint64 UserFile::size() const
{
    if (m_fd < 0)
        return 0;
    struct stat st {};
    // A file written over in place still holds its old bytes past the new ones.
    const qint64 onDisk = m_inPlace ? m_end : ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : 0;
    const qint64 end = qint64(::lseek(m_fd, 0, SEEK_CUR)) + m_buffer.size();
    return std::max(onDisk, end);
}

bool UserFile::seek(qint64 pos)
{
    if (m_fd < 0 || !flushBuffer())
        return false;
    if (::lseek(m_fd, off_t(pos), SEEK_SET) < 0) {
        fail(systemText(errno));
        return false;
    }
    return QIODevice::seek(pos);
}

void UserFile::fail(const QString &reason)
{
    if (m_failed)
        return;
    m_failed = true;
    setErrorString(reason);
}

void UserFile::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_buffer.clear();
    m_old.clear();
    m_old.squeeze();
    if (isOpen())
        QIODevice::close();
}

bool UserFile::commit()
{
    if (m_fd < 0)
        return false;
    bool ok = flushBuffer();
    if (ok && m_inPlace && ::ftruncate(m_fd, off_t(m_end)) != 0) {
        fail(systemText(errno));
        ok = false;
    }
    if (ok && ::fsync(m_fd) != 0 && errno != EINVAL) {
        fail(systemText(errno));
        ok = false;
    }
    if (!ok && m_inPlace)
        putBackOld();
    if (::close(m_fd) != 0 && ok) {
        fail(systemText(errno));
        ok = false;
    }
    m_fd = -1;
    if (!m_inPlace) {
        // rename replaces the name itself, never a file a link there names.
        if (ok && ::rename(m_work.constData(), QFile::encodeName(m_destination).constData()) != 0) {
            fail(systemText(errno));
            ok = false;
        }
        if (!ok)
            ::unlink(m_work.constData());
    }
    m_work.clear();
    release();
    return ok;
}

void UserFile::cancelWriting()
{
    if (m_fd < 0) {
        release();
        return;
    }
    if (m_inPlace)
        putBackOld();
    ::close(m_fd);
    m_fd = -1;
    if (!m_inPlace && !m_work.isEmpty())
        ::unlink(m_work.constData());
    m_work.clear();
    release();
}

void UserFile::putBackOld()
{
    // Within the old length, on the blocks the old file had: no room is
    // needed that it did not take before.
    const bool back = ::pwrite(m_fd, m_old.constData(), size_t(m_old.size()), 0) == ssize_t(m_old.size())
        && ::ftruncate(m_fd, off_t(m_old.size())) == 0 && (::fsync(m_fd) == 0 || errno == EINVAL);
    if (!back && !m_failed)
        fail(systemText(errno));
}

void UserFile::close()
{
    if (m_fd >= 0)
        commit();
    else
        release();
}

bool UserFile::Write(const QString &path, const QByteArray &bytes, QString &error)
{
    UserFile file(path);
    if (!file.open(WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool UserFile::CopyFrom(const QString &source, const QString &path, QString &error)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly)) {
        error = from.errorString();
        return false;
    }
    UserFile file(path);
    if (!file.open(WriteOnly)) {
        error = file.errorString();
        return false;
    }
    while (!from.atEnd()) {
        const QByteArray piece = from.read(kBufferBytes);
        if (piece.isEmpty() && from.error() != QFileDevice::NoError) {
            error = from.errorString();
            return false; // the work file is dropped with the object
        }
        if (file.write(piece) != piece.size()) {
            error = file.errorString();
            return false;
        }
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform
