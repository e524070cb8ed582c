#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <cerrno>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

// What another user may put at a name in a shared folder before the program
// writes a file there: a link to this user's private file (mode 0600,
// "private"). Another user's link can only be made by root (the tests run
// as root); plant() is false otherwise, and the caller skips.
struct PlantedLink
{
    QString name;    // where the program is to write
    QString target;  // this user's private file the link names

    bool plant() const
    {
        if (::geteuid() != 0)
            return false;
        QFile::remove(name);
        if (!WriteTestFile(target, "private") || ::chmod(QFile::encodeName(target).constData(), 0600) != 0)
            return false;
        return QFile::link(target, name) && ::lchown(QFile::encodeName(name).constData(), 65534, 65534) == 0;
    }
    // The name holds an ordinary file now (the link replaced).
    bool replaced() const
    {
        struct stat st {};
        return ::lstat(QFile::encodeName(name).constData(), &st) == 0 && S_ISREG(st.st_mode);
    }
    // The private file is as it was.
    bool targetKept() const
    {
        struct stat st {};
        return ::lstat(QFile::encodeName(target).constData(), &st) == 0 && S_ISREG(st.st_mode)
            && (st.st_mode & 07777) == 0600 && ReadTestFile(target) == QByteArray("private");
    }
};

// A pipe at the name (nothing reads or writes it); false when it cannot be made.
inline bool MakeTestFifo(const QString &path)
{
    QFile::remove(path);
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// Whether a pipe is still at the name.
inline bool IsTestFifo(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// The session's file-size limit lowered to `bytes` while the object lives,
// with SIGXFSZ ignored: a write past it fails (EFBIG) as a full disk's
// does, instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_handler = ::signal(SIGXFSZ, SIG_IGN);
        m_set = ::getrlimit(RLIMIT_FSIZE, &m_before) == 0;
        struct rlimit lowered = m_before;
        lowered.rlim_cur = bytes;
        m_set = m_set && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_set)
            ::setrlimit(RLIMIT_FSIZE, &m_before);
        ::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool set() const { return m_set; }

private:
    struct rlimit m_before {};
    void (*m_handler)(int) = SIG_DFL;
    bool m_set = false;
};

// A small disk of its own (a tmpfs of 256 KB) mounted at the folder while
// the object lives, filled up by fill(): a full disk. Only root may mount
// one, and a container may forbid it: mounted() is false then, and the
// caller skips. Unmounted (and its folder removed) when the object goes.
class FullDisk
{
public:
    explicit FullDisk(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
        QDir().mkpath(folder);
        m_mounted = ::geteuid() == 0
            && ::mount("tmpfs", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k,mode=0755") == 0;
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
        ::rmdir(m_folder.constData());
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;
    bool mounted() const { return m_mounted; }
    // Takes every byte left with a file of its own; true when the disk is full.
    bool fill() const
    {
        QFile filler(QFile::decodeName(m_folder) + QStringLiteral("/.filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        const QByteArray byte(1, 'f');
        while (filler.write(byte) == 1) {
        }
        return true;
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};
