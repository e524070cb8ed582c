#include "platform/FileOwnership.h"

#include <QtCore/QFile>

#include <cerrno>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

int GiveModeAndGroup(int fd, const QString &modelPath, unsigned allowed, bool *groupRefused)
{
    if (groupRefused)
        *groupRefused = false;
#ifdef Q_OS_UNIX
    struct stat model {};
    if (::stat(QFile::encodeName(modelPath).constData(), &model) != 0)
        return errno == ENOENT ? 0 : errno;
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return errno;
    int failure = 0;
    mode_t mode = model.st_mode & allowed & 0777;
    if (now.st_gid != model.st_gid && ::fchown(fd, uid_t(-1), model.st_gid) != 0) {
        failure = errno;
        if (groupRefused)
            *groupRefused = true;
        // The file keeps a group other than the model's: it gets no rights
        // through it.
        mode &= ~mode_t(0070);
    }
    if ((now.st_mode & 07777) != mode && ::fchmod(fd, mode) != 0 && failure == 0)
        failure = errno;
    return failure;
#else
    Q_UNUSED(fd)
    Q_UNUSED(modelPath)
    Q_UNUSED(allowed)
    return 0;
#endif
}

} // namespace platform
