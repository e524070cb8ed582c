#include "platform/db/CompanionFile.h"

#include "platform/db/DbErrors.h"

#include <QtCore/QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

CompanionFile::Fault CompanionFile::check(const struct stat &st, bool mustBeOwn)
{
    if (!S_ISREG(st.st_mode) || st.st_nlink > 1)
        return Fault::NotOrdinary;
    if (mustBeOwn && st.st_uid != ::geteuid())
        return Fault::OtherOwner;
    return Fault::None;
}

CompanionFile::Fault CompanionFile::check(int fd, bool mustBeOwn)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return Fault::NotOrdinary;
    return check(st, mustBeOwn);
}

CompanionFile::Fault CompanionFile::checkPath(const QByteArray &path, bool mustBeOwn)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return Fault::None;
    return check(st, mustBeOwn);
}

DbException CompanionFile::refusal(const QString &path, const QString &role, Fault fault)
{
    const QString name = QFileInfo(path).fileName();
    if (fault == Fault::OtherOwner)
        return DbException(dberr::CannotOpenFile,
                           QStringLiteral("Cannot use the %1 '%2': it belongs to another user. Changes are saved "
                                          "through and undone from a %1 of this user's own only. If that user's "
                                          "workstation stopped while saving, have that user open the database; "
                                          "otherwise remove the file from the database's folder and open the "
                                          "database again.")
                               .arg(role, name));
    return DbException(dberr::CannotOpenFile,
                       QStringLiteral("Cannot use the %1 '%2': it is not an ordinary file (it is a link, a folder or a "
                                      "special file). Remove it from the database's folder and open the database "
                                      "again.")
                           .arg(role, name));
}

} // namespace platform
