#include "platform/PlacedFile.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <fcntl.h>
#include <io.h>
#endif

namespace platform {

namespace {

const char kNotOrdinary[] = "it is not an ordinary file (it is a folder, a pipe, a device or a socket)";
const char kForeignLink[] = "it is a link another user made to a file that is not theirs";
const char kNotOwn[] = "it belongs to another user";
const char kChanged[] = "it was replaced by another file while it was opened";

QString systemText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

QString PlacedFile::TooLarge(qint64 maxBytes)
{
    const qint64 mb = maxBytes / (1024 * 1024);
    return mb > 0 ? QStringLiteral("it is larger than %1 MB, the most such a file may be").arg(mb)
                  : QStringLiteral("it is larger than %1 bytes, the most such a file may be").arg(maxBytes);
}

bool PlacedFile::Check(const QString &path, QString &refusal, qint64 maxBytes)
{
    bool checked = false;
    const int fd = Open(path, refusal, false, maxBytes, &checked);
    if (fd >= 0) {
#ifdef Q_OS_UNIX
        ::close(fd);
#else
        ::_close(fd);
#endif
        return true;
    }
    if (!checked)
        refusal.clear();
    return !checked;
}

bool PlacedFile::OpenFile(const QString &path, QFile &file, QString &refusal, bool ownOnly, qint64 maxBytes,
                          bool *checked)
{
    const int fd = Open(path, refusal, ownOnly, maxBytes, checked);
    if (fd < 0)
        return false;
    if (file.isOpen())
        file.close();
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        refusal = file.errorString();
#ifdef Q_OS_UNIX
        ::close(fd);
#else
        ::_close(fd);
#endif
        return false;
    }
    return true;
}

#ifdef Q_OS_UNIX

int PlacedFile::Open(const QString &path, QString &refusal, bool ownOnly, qint64 maxBytes, bool *checked)
{
    refusal.clear();
    if (checked)
        *checked = false;
    const QByteArray name = QFile::encodeName(path);
    struct stat before {};
    if (::lstat(name.constData(), &before) != 0) {
        refusal = systemText(errno);
        return -1;
    }
    // Without waiting: a pipe opens at once instead of waiting for a writer.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        refusal = systemText(errno);
        return -1;
    }
    const auto refuse = [&](const QString &why) {
        ::close(fd);
        refusal = why;
        if (checked)
            *checked = true;
        return -1;
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return refuse(systemText(errno));
    if (!S_ISREG(st.st_mode))
        return refuse(QString::fromLatin1(kNotOrdinary));
    const uid_t me = ::geteuid();
    if (S_ISLNK(before.st_mode)) {
        // The name must still be the link looked at: not one put there since.
        struct stat after {};
        if (::lstat(name.constData(), &after) != 0 || after.st_ino != before.st_ino || after.st_dev != before.st_dev
            || after.st_uid != before.st_uid)
            return refuse(QString::fromLatin1(kChanged));
        if (before.st_uid != me && before.st_uid != 0 && before.st_uid != st.st_uid)
            return refuse(QString::fromLatin1(kForeignLink));
    } else if (before.st_ino != st.st_ino || before.st_dev != st.st_dev) {
        return refuse(QString::fromLatin1(kChanged));
    }
    if (ownOnly && st.st_uid != me)
        return refuse(QString::fromLatin1(kNotOwn));
    if (maxBytes >= 0 && st.st_size > maxBytes)
        return refuse(TooLarge(maxBytes));
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

bool PlacedFile::Read(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &refusal, bool ownOnly,
                      bool *checked)
{
    bytes.clear();
    const int fd = Open(path, refusal, ownOnly, maxBytes, checked);
    if (fd < 0)
        return false;
    struct stat st {};
    ::fstat(fd, &st);
    bytes.reserve(qsizetype(qMin<qint64>(st.st_size, maxBytes)) + 1);
    char block[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            refusal = systemText(errno);
            ok = false;
            break;
        }
        if (n == 0)
            break;
        bytes.append(block, qsizetype(n));
        // A file that grows while it is read is not read past the limit.
        if (bytes.size() > maxBytes) {
            refusal = TooLarge(maxBytes);
            if (checked)
                *checked = true;
            ok = false;
            break;
        }
    }
    ::close(fd);
    if (!ok)
        bytes.clear();
    return ok;
}

#else

int PlacedFile::Open(const QString &path, QString &refusal, bool ownOnly, qint64 maxBytes, bool *checked)
{
    Q_UNUSED(ownOnly);
    refusal.clear();
    if (checked)
        *checked = false;
    const QFileInfo info(path);
    if (!info.exists()) {
        refusal = systemText(ENOENT);
        return -1;
    }
    if (!info.isFile() || (maxBytes >= 0 && info.size() > maxBytes)) {
        refusal = info.isFile() ? TooLarge(maxBytes) : QString::fromLatin1(kNotOrdinary);
        if (checked)
            *checked = true;
        return -1;
    }
    const int fd = ::_wopen(reinterpret_cast<const wchar_t *>(path.utf16()), _O_RDONLY | _O_BINARY);
    if (fd < 0)
        refusal = systemText(errno);
    return fd;
}

bool PlacedFile::Read(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &refusal, bool ownOnly,
                      bool *checked)
{
    bytes.clear();
    const int fd = Open(path, refusal, ownOnly, maxBytes, checked);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::_close(fd);
        refusal = file.errorString();
        return false;
    }
    bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes) {
        bytes.clear();
        refusal = TooLarge(maxBytes);
        if (checked)
            *checked = true;
        return false;
    }
    return true;
}

#endif

} // namespace platform
