// The one copy routine of the program's backups and the upgrade: consistent
// while other workstations write, bounded, stoppable, and never a danger to
// the live file or to the previous copy.
#include "JobTablesFixture.h"
#include "support/TestFiles.h"

#include "data/DatabaseFiles.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"
#include "platform/db/Recordset.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtTest/QTest>

#include <cerrno>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A progress window whose Stop is pressed after a number of steps.
class StoppingProgress : public SchemaProgress
{
public:
    explicit StoppingProgress(int steps) : m_left(steps) {}
    bool isRunning() const override { return m_left > 0; }
    bool step(const QString &) override { return --m_left > 0; }
    void setMessage(const QString &) override {}
    int m_left;
};

class BackupTest : public JobTablesTest
{
protected:
    void SetUp() override
    {
        JobTablesTest::SetUp();
        // Some megabytes, so a copy takes many steps.
        platform::Transaction work(db());
        for (int i = 1; i <= 4000; ++i)
            exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, WOrderNote, InvoiceNote) VALUES (0, %1, "
                                "'Job %1', '%2', '%2')")
                     .arg(i)
                     .arg(QString(255, QLatin1Char('w'))));
        work.commit();
    }
    static QByteArray bytesOf(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static int jobsIn(const QString &path)
    {
        platform::Database copy;
        copy.open(path, false, true);
        platform::Recordset rs(copy);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Count(*) FROM Jobs"));
        return rs.value(0).toInt();
    }
};

} // namespace

TEST_F(BackupTest, EndsWhileAnotherWorkstationWritesBackToBack)
{
    QProcess peer;
    peer.setProgram(QStringLiteral(TAVREL_JOB_PEER));
    peer.setArguments({databasePath(), QStringLiteral("churn"), QStringLiteral("100000")});
    peer.start();
    ASSERT_TRUE(peer.waitForReadyRead(10000));
    ASSERT_TRUE(peer.readLine().startsWith("writing"));
    QTest::qWait(100); // it is writing now

    const QString target = tempPath(QStringLiteral("Backup.mdb"));
    SystemError error;
    QElapsedTimer clock;
    clock.start();
    const bool copied = CopyOpenDatabase(db(), target, error);
    const qint64 took = clock.elapsed();
    ::kill(pid_t(peer.processId()), SIGKILL);
    peer.waitForFinished(5000);
    ASSERT_TRUE(copied) << error.text.toStdString();
    EXPECT_LT(took, 30000);
    EXPECT_EQ(jobsIn(target), 4000);
    EXPECT_TRUE(WorkFilesOf(target).isEmpty());
}

TEST_F(BackupTest, StoppedOrFailedCopyKeepsTheOldBackup)
{
    const QString target = tempPath(QStringLiteral("Backup.mdb"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("yesterday's backup");
    }
    StoppingProgress stop(1);
    SystemError error;
    EXPECT_FALSE(CopyOpenDatabase(db(), target, error, &stop));
    EXPECT_EQ(error.text, QStringLiteral("The copy was stopped."));
    EXPECT_EQ(bytesOf(target), QByteArray("yesterday's backup"));
    EXPECT_TRUE(WorkFilesOf(target).isEmpty());

    // The file-size limit of the user's session leaves no room for the copy:
    // told as a full disk is, and no work file is left.
    {
        struct rlimit allowed {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &allowed), 0);
        struct rlimit limited = allowed;
        limited.rlim_cur = 64 * 1024;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool copied = CopyOpenDatabase(db(), target, error);
        ::setrlimit(RLIMIT_FSIZE, &allowed);
        EXPECT_FALSE(copied);
        EXPECT_EQ(error.code, ENOSPC);
        EXPECT_EQ(error.text, QStringLiteral("Not enough space on disk."));
        EXPECT_EQ(bytesOf(target), QByteArray("yesterday's backup"));
        EXPECT_EQ(WorkFilesOf(target), QStringList());
    }

    // A full disk (a small one of its own, where root may mount one): the
    // same.
    if (const FullDisk disk(tempPath(QStringLiteral("full"))); disk.mounted()) {
        const QString onDisk = tempPath(QStringLiteral("full/Backup.mdb"));
        ASSERT_TRUE(WriteTestFile(onDisk, "yesterday's backup"));
        ASSERT_TRUE(disk.fill());
        EXPECT_FALSE(CopyOpenDatabase(db(), onDisk, error));
        EXPECT_EQ(error.code, ENOSPC);
        EXPECT_EQ(error.text, QStringLiteral("Not enough space on disk."));
        EXPECT_EQ(bytesOf(onDisk), QByteArray("yesterday's backup"));
        EXPECT_EQ(WorkFilesOf(onDisk), QStringList());
    }

    // The finished copy cannot be put in place (a folder has the name): what
    // is there stays.
    const QString blocked = tempPath(QStringLiteral("Blocked.mdb"));
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/inside")));
    EXPECT_FALSE(CopyOpenDatabase(db(), blocked, error));
    EXPECT_TRUE(QFileInfo(blocked + QStringLiteral("/inside")).isDir());
    EXPECT_TRUE(WorkFilesOf(blocked).isEmpty());

    // A finished copy replaces the old one.
    ASSERT_TRUE(CopyOpenDatabase(db(), target, error)) << error.text.toStdString();
    EXPECT_EQ(jobsIn(target), 4000);
}

TEST_F(BackupTest, TheLiveFileIsNeverATarget)
{
    const QByteArray live = bytesOf(databasePath());
    const QString linked = tempPath(QStringLiteral("linked"));
    ASSERT_TRUE(QFile::link(QFileInfo(databasePath()).absolutePath(), linked));
    const QString sameFile = linked + QLatin1Char('/') + QFileInfo(databasePath()).fileName();
    const QString alias = tempPath(QStringLiteral("Alias.mdb"));
    ASSERT_TRUE(QFile::link(databasePath(), alias));
    for (const QString &target : {databasePath(), sameFile, alias}) {
        SystemError error;
        EXPECT_FALSE(CopyOpenDatabase(db(), target, error)) << target.toStdString();
        EXPECT_EQ(error.text, QStringLiteral("The backup would replace the database itself."));
    }
    // Nor are the files beside it that it is using.
    const QString lockFile = QFileInfo(databasePath()).absolutePath() + QStringLiteral("/")
        + QFileInfo(databasePath()).completeBaseName() + QStringLiteral(".ldb");
    ASSERT_TRUE(QFile::exists(lockFile));
    const QByteArray lock = bytesOf(lockFile);
    for (const char *companion : {"-journal", "-wal", "-shm"}) {
        for (const QString &target : {lockFile, databasePath() + QLatin1String(companion)}) {
            SystemError error;
            EXPECT_FALSE(CopyOpenDatabase(db(), target, error)) << target.toStdString();
            EXPECT_EQ(error.text, QStringLiteral("The backup would replace a file the database is using."));
        }
        EXPECT_FALSE(QFile::exists(databasePath() + QLatin1String(companion)));
    }
    EXPECT_EQ(bytesOf(lockFile), lock);
    EXPECT_TRUE(IsSameFile(databasePath(), sameFile));
    EXPECT_FALSE(IsSameFile(databasePath(), tempPath(QStringLiteral("Other.mdb"))));
    EXPECT_EQ(bytesOf(databasePath()), live);
}

// The user names the place of the copy through his own links (his backups
// kept on another disk, linked into his home): the copy goes there. What is
// at the name is met as with every file written for the user: his own link
// to his own file is written through, another user's link is replaced and
// the file it named left alone, a pipe is refused by name.
TEST_F(BackupTest, ABackupGoesWhereTheUserNamesItThroughHisOwnLinks)
{
    const QString real = tempPath(QStringLiteral("disk/backups"));
    ASSERT_TRUE(QDir().mkpath(real));
    ASSERT_TRUE(QDir().mkpath(tempPath(QStringLiteral("home"))));
    const QString linked = tempPath(QStringLiteral("home/backups"));
    ASSERT_TRUE(QFile::link(real, linked));
    SystemError error;
    ASSERT_TRUE(CopyOpenDatabase(db(), linked + QStringLiteral("/Backup.mdb"), error)) << error.text.toStdString();
    EXPECT_EQ(jobsIn(real + QStringLiteral("/Backup.mdb")), 4000);
    EXPECT_TRUE(WorkFilesOf(real + QStringLiteral("/Backup.mdb")).isEmpty());

    const QString kept = real + QStringLiteral("/Kept.mdb");
    ASSERT_TRUE(WriteTestFile(kept, "last week's backup"));
    ASSERT_TRUE(QFile::link(kept, linked + QStringLiteral("/Link.mdb")));
    ASSERT_TRUE(CopyOpenDatabase(db(), linked + QStringLiteral("/Link.mdb"), error)) << error.text.toStdString();
    EXPECT_TRUE(QFileInfo(real + QStringLiteral("/Link.mdb")).isSymLink());
    EXPECT_EQ(jobsIn(kept), 4000);

    const QString fifo = linked + QStringLiteral("/Pipe.mdb");
    ASSERT_TRUE(MakeTestFifo(fifo));
    EXPECT_FALSE(CopyOpenDatabase(db(), fifo, error));
    EXPECT_EQ(error.text, QStringLiteral("Cannot write %1: It is a pipe (FIFO), not an ordinary file; nothing was "
                                         "written to it.")
                              .arg(fifo));
    EXPECT_TRUE(IsTestFifo(fifo));

    const QString nowhere = tempPath(QStringLiteral("gone/Backup.mdb"));
    EXPECT_FALSE(CopyOpenDatabase(db(), nowhere, error));
    EXPECT_EQ(error.text, QStringLiteral("The folder %1 cannot be found. Please choose a folder that exists.")
                              .arg(tempPath(QStringLiteral("gone"))));

    const PlantedLink planted{real + QStringLiteral("/Shared.mdb"), tempPath(QStringLiteral("home/private.txt"))};
    if (!planted.plant())
        GTEST_SKIP() << "another user's link can only be made by root";
    ASSERT_TRUE(CopyOpenDatabase(db(), planted.name, error)) << error.text.toStdString();
    EXPECT_TRUE(planted.replaced());
    EXPECT_TRUE(planted.targetKept());
    EXPECT_EQ(jobsIn(planted.name), 4000);
}

// A backup is open to no more people than the shop file, and keeps its
// group, whatever the user's defaults.
TEST_F(BackupTest, TheCopyKeepsTheShopFilesModeAndGroup)
{
    const QByteArray live = QFile::encodeName(databasePath());
    const QString target = tempPath(QStringLiteral("Backup.mdb"));
    const QByteArray copy = QFile::encodeName(target);
    const mode_t mask = ::umask(022);
    for (const mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0664)}) {
        ASSERT_EQ(::chmod(live.constData(), mode), 0);
        SystemError error;
        ASSERT_TRUE(CopyOpenDatabase(db(), target, error)) << error.text.toStdString();
        struct stat st {};
        ASSERT_EQ(::stat(copy.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode) << std::oct << mode;
    }
    ::umask(mask);

    // A link swapped in for the finished copy at the last moment: the file it
    // names keeps its mode, and the backup there stays as it was.
    const QString privatePath = tempPath(QStringLiteral("Private.txt"));
    const QByteArray privateName = QFile::encodeName(privatePath);
    ASSERT_TRUE(WriteTestFile(privatePath, "private"));
    ASSERT_EQ(::chmod(privateName.constData(), 0600), 0);
    const QByteArray before = bytesOf(target);
    QString swapped;
    SetBeforePlacingStep([&](const QString &work) {
        swapped = work;
        ASSERT_TRUE(work.startsWith(target + QStringLiteral(".partial-"))) << work.toStdString();
        ASSERT_EQ(::unlink(QFile::encodeName(work).constData()), 0);
        ASSERT_EQ(::symlink(privateName.constData(), QFile::encodeName(work).constData()), 0);
    });
    {
        SystemError error;
        EXPECT_FALSE(CopyOpenDatabase(db(), target, error));
        SetBeforePlacingStep(nullptr);
        EXPECT_EQ(error.text, QStringLiteral("The finished file %1 was replaced by another file before it could be put "
                                             "in place; Backup.mdb was left as it was.")
                                  .arg(QFileInfo(swapped).fileName()));
        struct stat st {};
        ASSERT_EQ(::lstat(privateName.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode_t(0600));
        ASSERT_EQ(::lstat(copy.constData(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(bytesOf(target), before);
        EXPECT_EQ(ReadTestFile(privatePath), QByteArray("private"));
        EXPECT_FALSE(QFileInfo(swapped).isSymLink());
        EXPECT_TRUE(WorkFilesOf(target).isEmpty());
    }

    // Two copies to one name at once (two workstations backing up to the
    // same place): each makes its own work file, both end, and the name holds
    // one whole copy.
    {
        platform::Database other;
        other.open(databasePath());
        bool started = false;
        bool otherCopied = false;
        SystemError otherError;
        SetBeforePlacingStep([&](const QString &) {
            if (started)
                return;
            started = true;
            otherCopied = CopyOpenDatabase(other, target, otherError);
        });
        SystemError error;
        const bool copied = CopyOpenDatabase(db(), target, error);
        SetBeforePlacingStep(nullptr);
        EXPECT_TRUE(copied) << error.text.toStdString();
        EXPECT_TRUE(otherCopied) << otherError.text.toStdString();
        EXPECT_EQ(jobsIn(target), 4000);
        EXPECT_TRUE(WorkFilesOf(target).isEmpty());
    }

    const gid_t other = OtherGroupOfThisUser();
    if (other == gid_t(-1))
        GTEST_SKIP() << "this user can give a file no other group";
    ASSERT_EQ(::chown(live.constData(), uid_t(-1), other), 0);
    SystemError error;
    ASSERT_TRUE(CopyOpenDatabase(db(), target, error)) << error.text.toStdString();
    struct stat st {};
    ASSERT_EQ(::stat(copy.constData(), &st), 0);
    EXPECT_EQ(st.st_gid, other);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0664));
}

// A user who reads and writes the shop file without being a member of its
// group backs it up: the copy keeps his own group, with no rights through
// it, so it is open to nobody the shop file is not open to; and the backup
// says so only when the shop's group could do more with the shop file than
// every other user. A member of the group gives the copy the group as ever.
TEST_F(BackupTest, AUserOutsideTheShopsGroupBacksItUpWithHisOwnGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run the copy as another user";
    constexpr uid_t kUser = 65534; // nobody, with the group nogroup alone
    constexpr gid_t kUserGroup = 65534;
    constexpr gid_t kShopGroup = 4242; // a group the user is no member of
    // The user must reach both folders; the shop's lock file and journal and
    // the copy are made by him there.
    ASSERT_EQ(::chmod(QFile::encodeName(tempPath(QString())).constData(), 0711), 0);
    const QString shop = tempPath(QStringLiteral("shop/Shop.mdb"));
    const QString backups = tempPath(QStringLiteral("backups"));
    ASSERT_TRUE(QDir().mkpath(backups));
    ASSERT_EQ(::chmod(QFile::encodeName(backups).constData(), 0777), 0);
    QDir().mkpath(tempPath(QStringLiteral("shop")));
    ASSERT_EQ(::chmod(QFile::encodeName(tempPath(QStringLiteral("shop"))).constData(), 0777), 0);
    SystemError error;
    ASSERT_TRUE(CopyOpenDatabase(db(), shop, error)) << error.text.toStdString();
    const QString target = backups + QStringLiteral("/Backup.mdb");
    const QString note = QStringLiteral("The copy has your own group, not the group 4242 of %1 (you are not a member "
                                        "of it): the members of 4242 can use the copy only as every other user can.")
                             .arg(shop);
    struct Case
    {
        uid_t owner;
        gid_t group;
        mode_t mode;
        gid_t copyGroup;
        mode_t copyMode;
        QString note;
    };
    const Case cases[] = {
        // His own file of the shop's group: the group loses its rights on the copy.
        {kUser, kShopGroup, 0660, kUserGroup, 0600, note},
        {kUser, kShopGroup, 0640, kUserGroup, 0600, note},
        // Everybody may read and write it: the group loses nothing.
        {0, kShopGroup, 0666, kUserGroup, 0606, QString()},
        {kUser, kShopGroup, 0604, kUserGroup, 0604, QString()},
        // His own group: the copy has it.
        {kUser, kUserGroup, 0660, kUserGroup, 0660, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.owner) + ":" + std::to_string(c.group) + " " + std::to_string(c.mode));
        ASSERT_EQ(::chown(QFile::encodeName(shop).constData(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(shop).constData(), c.mode), 0);
        QFile::remove(target);
        QProcess peer;
        peer.setProgram(QStringLiteral(TAVREL_JOB_PEER));
        peer.setArguments({shop, QStringLiteral("copy"), target});
        peer.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kUserGroup) != 0 || ::setuid(kUser) != 0)
                ::_exit(9);
        });
        peer.start();
        ASSERT_TRUE(peer.waitForFinished(30000));
        const QString out = QString::fromUtf8(peer.readAllStandardOutput());
        EXPECT_EQ(out, QStringLiteral("copied\nnote %1\n").arg(c.note)) << peer.readAllStandardError().toStdString();
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
        EXPECT_EQ(st.st_uid, kUser);
        EXPECT_EQ(st.st_gid, c.copyGroup);
        EXPECT_EQ(st.st_mode & 07777, c.copyMode) << std::oct << (st.st_mode & 07777);
        EXPECT_EQ(jobsIn(target), 4000);
        EXPECT_TRUE(WorkFilesOf(target).isEmpty());
    }
}

// A copy killed half way leaves its work file and journal; the next copy to
// the same name removes them, but never the work file of a copy still
// running, nor a file that is not an ordinary file of this user's.
TEST_F(BackupTest, TheWorkFilesOfAKilledCopyAreRemovedByTheNext)
{
    const QString target = tempPath(QStringLiteral("Backup.mdb"));
    const auto startCopy = [&](QProcess &peer) {
        peer.setProgram(QStringLiteral(TAVREL_JOB_PEER));
        peer.setArguments({databasePath(), QStringLiteral("backup"), target});
        peer.start();
        return peer.waitForReadyRead(20000) && peer.readLine().startsWith("copying");
    };
    QProcess killed;
    ASSERT_TRUE(startCopy(killed));
    ::kill(pid_t(killed.processId()), SIGKILL);
    killed.waitForFinished(5000);
    const QStringList left = WorkFilesOf(target);
    ASSERT_FALSE(left.isEmpty());
    ASSERT_TRUE(left.first().contains(QRegularExpression(QStringLiteral("^Backup\\.mdb\\.partial-[A-Za-z0-9]{6}$"))))
        << left.first().toStdString();

    QProcess running;
    ASSERT_TRUE(startCopy(running));
    QStringList kept = WorkFilesOf(target);
    for (const QString &name : left)
        kept.removeAll(name);
    ASSERT_FALSE(kept.isEmpty());
    // A link and a folder named like work files are no work files.
    const QString link = target + QStringLiteral(".partial-link01");
    ASSERT_TRUE(QFile::link(databasePath(), link));
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral(".partial-dir001")));
    kept << QStringLiteral("Backup.mdb.partial-dir001") << QStringLiteral("Backup.mdb.partial-link01");
    kept.sort();

    SystemError error;
    ASSERT_TRUE(CopyOpenDatabase(db(), target, error)) << error.text.toStdString();
    EXPECT_EQ(jobsIn(target), 4000);
    QStringList after = WorkFilesOf(target);
    after.sort();
    EXPECT_EQ(after, kept);
    EXPECT_TRUE(QFileInfo(databasePath()).isFile());

    ::kill(pid_t(running.processId()), SIGKILL);
    running.waitForFinished(5000);
    QFile::remove(link);
    QDir().rmdir(target + QStringLiteral(".partial-dir001"));
    ASSERT_TRUE(CopyOpenDatabase(db(), target, error)) << error.text.toStdString();
    EXPECT_EQ(WorkFilesOf(target), QStringList());
}
