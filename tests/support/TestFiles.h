#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <sys/types.h>
#include <unistd.h>

// Files a test writes and reads back byte for byte.

// Writes the bytes, making the folders on the way; false when it cannot.
inline bool WriteTestFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The file's bytes, empty when it cannot be read.
inline QByteArray ReadTestFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A group other than the user's own that this user may give a file: any one
// for root, else another group the user belongs to; gid_t(-1) when none.
inline gid_t OtherGroupOfThisUser()
{
    const gid_t own = ::getegid();
    if (::geteuid() == 0)
        return own == 65534 ? 65533 : 65534;
    gid_t groups[256];
    const int count = ::getgroups(256, groups);
    for (int i = 0; i < count; ++i) {
        if (groups[i] != own)
            return groups[i];
    }
    return gid_t(-1);
}

// The work files a copy to target left in its folder: the names that begin
// with the target's name and ".partial".
inline QStringList WorkFilesOf(const QString &target)
{
    const QFileInfo info(target);
    return QDir(info.absolutePath())
        .entryList({info.fileName() + QStringLiteral(".partial*")},
                   QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}
