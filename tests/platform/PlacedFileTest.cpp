// Files others may have placed: read only when they are ordinary files of
// bounded size, and never through another user's link to this user's file.

#include "platform/PlacedFile.h"
#include "platform/UserFile.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include <QtCore/QDir>

#include <QtCore/QFile>
#include <QtCore/QProcess>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <vector>

using platform::PlacedFile;

namespace {

constexpr uid_t kNobody = 65534;

class PlacedFileTest : public TavrelTest
{
protected:
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = tempPath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString link(const QString &name, const QString &target, uid_t owner)
    {
        const QString path = tempPath(name);
        EXPECT_TRUE(QFile::link(target, path));
        EXPECT_EQ(::lchown(QFile::encodeName(path).constData(), owner, owner), 0);
        return path;
    }
};

} // namespace

TEST_F(PlacedFileTest, KindSizeAndOwnerAreCheckedBeforeAByteIsRead)
{
    const QString kind = QStringLiteral("it is not an ordinary file (it is a folder, a pipe, a device or a socket)");
    const QString fifo = tempPath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString ten = file(QStringLiteral("ten.txt"), "0123456789");
    struct Case
    {
        QString path;
        qint64 limit;
        bool ownOnly;
        QString refusal; // "" when read
        bool checked = true;
    };
    std::vector<Case> cases = {
        {ten, 10, false, QString()},
        {ten, 9, false, QStringLiteral("it is larger than 9 bytes, the most such a file may be")},
        {file(QStringLiteral("empty.txt"), QByteArray()), 0, false, QString()},
        {fifo, 10, false, kind},
        {QStringLiteral("/dev/zero"), 10, false, kind},
        {QStringLiteral("/dev/null"), 10, false, kind},
        {tempPath(QString()), 10, false, kind},
        {tempPath(QStringLiteral("missing.txt")), 10, false, QStringLiteral("No such file or directory"), false},
        // This user's own link to its own file.
        {link(QStringLiteral("own-link"), ten, ::geteuid()), 10, false, QString()},
    };
    if (::geteuid() == 0) {
        // Somebody else's link to this user's file; that somebody's link to
        // a file of their own; a file of somebody else's where only this
        // user's will do.
        const QString theirs = file(QStringLiteral("theirs.txt"), "abc");
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), kNobody, kNobody), 0);
        cases.push_back({link(QStringLiteral("foreign-link"), ten, kNobody), 10, false,
                         QStringLiteral("it is a link another user made to a file that is not theirs")});
        cases.push_back({link(QStringLiteral("their-link"), theirs, kNobody), 10, false, QString()});
        cases.push_back({theirs, 10, false, QString()});
        cases.push_back({theirs, 10, true, QStringLiteral("it belongs to another user")});
        cases.push_back({link(QStringLiteral("foreign-pipe"), fifo, kNobody), 10, false, kind});
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QByteArray bytes("left over");
        QString refusal;
        bool checked = !c.checked;
        const bool read = PlacedFile::Read(c.path, c.limit, bytes, refusal, c.ownOnly, &checked);
        EXPECT_EQ(read, c.refusal.isEmpty());
        EXPECT_EQ(refusal, c.refusal);
        if (!read) {
            EXPECT_EQ(checked, c.checked);
            EXPECT_TRUE(bytes.isEmpty());
        }
    }
    QByteArray bytes;
    QString refusal;
    ASSERT_TRUE(PlacedFile::Read(ten, 10, bytes, refusal));
    EXPECT_EQ(bytes, QByteArray("0123456789"));
    EXPECT_EQ(PlacedFile::TooLarge(32 * 1024 * 1024), QStringLiteral("it is larger than 32 MB, the most such a file may be"));
}

// Every file written for the user goes through one writer with one rule for
// what it finds at the name: a file is replaced whole in one rename; a link
// is written through only when it and the file it names are the user's own
// and that file is an ordinary one, any other link is replaced and what it
// named left alone; a folder, a pipe or a device is refused by name.
TEST_F(PlacedFileTest, AFileWrittenForTheUserReplacesWhatOthersPutAtItsName)
{
    const mode_t mask = ::umask(022);
    const auto lmode = [](const QString &path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : mode_t(0);
    };
    const auto write = [](const QString &path, QString &error) {
        return platform::UserFile::Write(path, "new", error);
    };
    QString error;

    // Nothing there: a new file with the user's usual permissions.
    const QString fresh = tempPath(QStringLiteral("fresh.csv"));
    ASSERT_TRUE(write(fresh, error)) << error.toStdString();
    EXPECT_EQ(ReadTestFile(fresh), QByteArray("new"));
    EXPECT_EQ(lmode(fresh) & 07777, mode_t(0644));

    // The user's own file keeps its permissions.
    const QString own = file(QStringLiteral("own.csv"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0640), 0);
    ASSERT_TRUE(write(own, error)) << error.toStdString();
    EXPECT_EQ(ReadTestFile(own), QByteArray("new"));
    EXPECT_EQ(lmode(own) & 07777, mode_t(0640));

    // His own link to his own file kept elsewhere: written through, the link stays.
    const QString kept = tempPath(QStringLiteral("kept/own.csv"));
    ASSERT_TRUE(WriteTestFile(kept, "old"));
    const QString ownLink = link(QStringLiteral("own-link.csv"), kept, ::geteuid());
    ASSERT_TRUE(write(ownLink, error)) << error.toStdString();
    EXPECT_TRUE(S_ISLNK(lmode(ownLink)));
    EXPECT_EQ(ReadTestFile(kept), QByteArray("new"));

    // A link to nothing: replaced.
    const QString dangling = link(QStringLiteral("dangling.csv"), tempPath(QStringLiteral("gone.csv")), ::geteuid());
    ASSERT_TRUE(write(dangling, error)) << error.toStdString();
    EXPECT_TRUE(S_ISREG(lmode(dangling)));
    EXPECT_FALSE(QFile::exists(tempPath(QStringLiteral("gone.csv"))));

    // What may not be replaced is refused by name; a pipe holds nothing up.
    const QString fifo = tempPath(QStringLiteral("pipe.csv"));
    ASSERT_TRUE(MakeTestFifo(fifo));
    const QString folder = tempPath(QStringLiteral("folder.csv"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString toFolder = link(QStringLiteral("to-folder.csv"), folder, ::geteuid());
    struct Refusal
    {
        QString path;
        QString why;
    };
    std::vector<Refusal> refused = {
        {fifo, QStringLiteral("It is a pipe (FIFO), not an ordinary file; nothing was written to it.")},
        {folder, QStringLiteral("It is a folder, not an ordinary file; nothing was written to it.")},
        {toFolder, QStringLiteral("It is a link to a folder, not to an ordinary file; nothing was written to it.")},
    };
    if (::geteuid() == 0) {
        const QString device = tempPath(QStringLiteral("device.csv"));
        ASSERT_EQ(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 7)), 0);
        refused.push_back({device, QStringLiteral("It is a device, not an ordinary file; nothing was written to it.")});
    }
    for (const Refusal &r : refused) {
        SCOPED_TRACE(r.path.toStdString());
        const mode_t before = lmode(r.path);
        platform::UserFile f(r.path);
        EXPECT_FALSE(f.open(QIODevice::WriteOnly));
        EXPECT_TRUE(f.refused());
        EXPECT_EQ(f.errorString(), r.why);
        EXPECT_EQ(lmode(r.path), before);
        EXPECT_TRUE(WorkFilesOf(r.path).isEmpty());
    }

    // A file dropped half way (or whose writing failed) leaves what was there.
    {
        platform::UserFile f(own);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("half");
    }
    EXPECT_EQ(ReadTestFile(own), QByteArray("new"));
    EXPECT_TRUE(WorkFilesOf(own).isEmpty());
    ::umask(mask);

    if (::geteuid() != 0)
        GTEST_SKIP() << "another user's link can only be made by root";
    // Another user's link in a shared folder to this user's private file:
    // the link is replaced, the private file untouched.
    const PlantedLink planted{tempPath(QStringLiteral("shared/export.csv")), tempPath(QStringLiteral("home/private.txt"))};
    ASSERT_TRUE(QDir().mkpath(tempPath(QStringLiteral("shared"))));
    ASSERT_TRUE(planted.plant());
    ASSERT_TRUE(write(planted.name, error)) << error.toStdString();
    EXPECT_TRUE(planted.replaced());
    EXPECT_TRUE(planted.targetKept());
    EXPECT_EQ(ReadTestFile(planted.name), QByteArray("new"));
    // The user's own link to a file that is not his: the link goes.
    const QString theirs = file(QStringLiteral("theirs.csv"), "theirs");
    ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), kNobody, kNobody), 0);
    const QString toTheirs = link(QStringLiteral("to-theirs.csv"), theirs, ::geteuid());
    ASSERT_TRUE(write(toTheirs, error)) << error.toStdString();
    EXPECT_TRUE(S_ISREG(lmode(toTheirs)));
    EXPECT_EQ(ReadTestFile(theirs), QByteArray("theirs"));

    // Chains of links to the user's private file: every link on the way
    // counts. Through links of his own only, his link is written through;
    // one of another user's on the way (the next link, or a folder link in
    // a link's target) and his link is replaced, the private file kept.
    const auto chainLink = [&](const QString &name, const QByteArray &target, uid_t owner) {
        const QString path = tempPath(name);
        EXPECT_EQ(::symlink(target.constData(), QFile::encodeName(path).constData()), 0);
        EXPECT_EQ(::lchown(QFile::encodeName(path).constData(), owner, owner), 0);
        return path;
    };
    const QString secret = tempPath(QStringLiteral("home/secret.txt"));
    const QByteArray secretName = QFile::encodeName(secret);
    const QString theirLink = chainLink(QStringLiteral("their-link.txt"), secretName, kNobody);
    const QString ownMiddle = chainLink(QStringLiteral("own-middle.txt"), secretName, ::geteuid());
    const QString theirToOwn = chainLink(QStringLiteral("their-to-own.txt"), QFile::encodeName(ownMiddle), kNobody);
    const QString theirFolder =
        chainLink(QStringLiteral("their-folder"), QFile::encodeName(tempPath(QStringLiteral("home"))), kNobody);
    struct Chain
    {
        QString name;
        bool writtenThrough;
    };
    const Chain chains[] = {
        {chainLink(QStringLiteral("through-theirs.csv"), QFile::encodeName(theirLink), ::geteuid()), false},
        {chainLink(QStringLiteral("through-theirs-relative.csv"), "their-link.txt", ::geteuid()), false},
        {chainLink(QStringLiteral("through-their-folder.csv"), QFile::encodeName(theirFolder) + "/secret.txt",
                   ::geteuid()),
         false},
        {chainLink(QStringLiteral("through-theirs-to-own.csv"), QFile::encodeName(theirToOwn), ::geteuid()), false},
        {chainLink(QStringLiteral("through-own.csv"), QFile::encodeName(ownMiddle), ::geteuid()), true},
        {chainLink(QStringLiteral("through-own-relative.csv"), "own-middle.txt", ::geteuid()), true},
        {chainLink(QStringLiteral("through-own-folder.csv"), "home/../home/./secret.txt", ::geteuid()), true},
    };
    for (const Chain &c : chains) {
        SCOPED_TRACE(c.name.toStdString());
        ASSERT_TRUE(WriteTestFile(secret, "private"));
        ASSERT_EQ(::chmod(secretName.constData(), 0600), 0);
        ASSERT_TRUE(write(c.name, error)) << error.toStdString();
        EXPECT_EQ(S_ISLNK(lmode(c.name)), c.writtenThrough);
        EXPECT_EQ(ReadTestFile(secret), c.writtenThrough ? QByteArray("new") : QByteArray("private"));
        EXPECT_EQ(ReadTestFile(c.name), QByteArray("new"));
        EXPECT_EQ(lmode(secret) & 07777, mode_t(0600));
        EXPECT_TRUE(S_ISLNK(lmode(theirLink)));
    }
}

// The user's own file in a folder where he may not make a file (so no work
// file beside it) is written over in place; a new file that cannot be
// written whole there (a full disk, here the file-size limit) gives it its
// old bytes back, and a finished one shorter than the old is cut to its own
// length.
TEST_F(PlacedFileTest, AFileWrittenOverInPlaceGetsItsOldBytesBackWhenTheNewOneCannotBeWhole)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run the writer as a user kept out of the folder";
    ASSERT_EQ(::chmod(QFile::encodeName(tempPath(QString())).constData(), 0711), 0);
    const QString folder = tempPath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    const QString own = folder + QStringLiteral("/own.csv");
    const QByteArray old = "last month's file, forty bytes long....";
    struct Case
    {
        int bytes;
        rlim_t limit; // 0: none
        QString answer;
        QByteArray after;
    };
    const Case cases[] = {
        {1000, 64, QStringLiteral("failed The file would be larger than the file-size limit allows."), old},
        {20, 0, QStringLiteral("ok"), QByteArray(20, 'n')},
        {60, 64, QStringLiteral("ok"), QByteArray(60, 'n')},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.bytes) + " bytes, limit " + std::to_string(c.limit));
        ASSERT_TRUE(WriteTestFile(own, old));
        ASSERT_EQ(::chown(QFile::encodeName(own).constData(), kNobody, kNobody), 0);
        QProcess writer;
        writer.setProgram(QStringLiteral(TAVREL_DB_PEER));
        writer.setArguments({tempPath(QStringLiteral("unused.mdb"))});
        const rlim_t limit = c.limit;
        writer.setChildProcessModifier([limit] {
            ::signal(SIGXFSZ, SIG_IGN);
            if (limit > 0) {
                struct rlimit lowered {};
                ::getrlimit(RLIMIT_FSIZE, &lowered);
                lowered.rlim_cur = limit;
                ::setrlimit(RLIMIT_FSIZE, &lowered);
            }
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(9);
        });
        writer.start();
        writer.write(QStringLiteral("write %1|%2\nquit\n").arg(own).arg(c.bytes).toUtf8());
        writer.closeWriteChannel();
        ASSERT_TRUE(writer.waitForFinished(30000));
        EXPECT_EQ(QString::fromUtf8(writer.readAllStandardOutput()), c.answer + QStringLiteral("\nok\n"));
        EXPECT_EQ(ReadTestFile(own), c.after);
        EXPECT_TRUE(WorkFilesOf(own).isEmpty());
    }
}
