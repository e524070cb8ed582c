#include "DbFixture.h"
#include "ErrorOf.h"

#include "platform/db/LockFile.h"
#include "support/TestFiles.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

class DatabaseTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        makeJobsTable();
        for (int i = 0; i < 3; ++i)
            addJob(100 + i, QStringLiteral("Job %1").arg(i), 10.0 + i);
    }
    int jobCount() { return scalar(QStringLiteral("SELECT count(*) FROM Jobs")).toInt(); }

    // Opens and closes the database in a child process that runs as another
    // user, a member of the given group alone: the engine error number, 0 when
    // it opened, -1 when that user cannot reach the database's folder.
    static int openAsAnotherUser(const QString &path, gid_t group)
    {
        int pipe[2];
        if (::pipe(pipe) != 0)
            return -2;
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipe[0]);
            int result = -2;
            const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
            if (::setgroups(1, &group) == 0 && ::setgid(group) == 0 && ::setuid(65534) == 0) {
                result = ::access(folder.constData(), X_OK | W_OK) == 0 ? errorOf([&] {
                    Database other;
                    other.open(path);
                    other.close();
                })
                                                                         : -1;
            }
            (void)!::write(pipe[1], &result, sizeof result);
            ::_exit(0);
        }
        ::close(pipe[1]);
        int result = -2;
        if (child < 0 || ::read(pipe[0], &result, sizeof result) != ssize_t(sizeof result))
            result = -2;
        ::close(pipe[0]);
        if (child > 0)
            ::waitpid(child, nullptr, 0);
        return result;
    }
};

TEST_F(DatabaseTest, ExecuteAppliesToEveryRowOrToNone)
{
    db.execute(QStringLiteral("UPDATE Jobs SET Jobs.Price = Price * 2 WHERE JobNo > 100"));
    EXPECT_EQ(db.recordsAffected(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Price FROM Jobs WHERE JobNo = 102")).toDouble(), 24.0);

    // The second row would duplicate a key: nothing at all changes.
    db.createIndex(QStringLiteral("Jobs"), {QStringLiteral("JobNo"), QStringLiteral("JobNo"), false, true});
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("UPDATE Jobs SET JobNo = 101 WHERE JobNo >= 100")); }), 3022);
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(JobNo) FROM Jobs")).toString(), QStringLiteral("100,101,102"));

    // The same inside a transaction: the failed statement leaves none of its
    // rows, the statement before it and the transaction stand.
    {
        Transaction unit(db);
        db.execute(QStringLiteral("UPDATE Jobs SET JobNo = 99 WHERE JobNo = 100"));
        EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("UPDATE Jobs SET JobNo = JobNo + 1 WHERE JobNo >= 99")); }),
                  3022);
        EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(JobNo) FROM Jobs")).toString(),
                  QStringLiteral("99,101,102"));
        db.execute(QStringLiteral("UPDATE Jobs SET JobNo = 100 WHERE JobNo = 99"));
        EXPECT_EQ(db.recordsAffected(), 1);
        unit.commit();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(JobNo) FROM Jobs")).toString(), QStringLiteral("100,101,102"));

    db.execute(QStringLiteral("DELETE * FROM Jobs WHERE JobNo = 100"));
    EXPECT_EQ(db.recordsAffected(), 1);
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("SELECT * FROM Jobs")); }), 3065);
}

TEST_F(DatabaseTest, OneStatementPerCallAndValuesAreBound)
{
    // A second statement is refused and never run.
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("DELETE FROM Jobs WHERE JobNo = 100; DELETE FROM Jobs")); }), 3142);
    EXPECT_EQ(jobCount(), 3);
    EXPECT_EQ(errorOf([&] { db.executeNative(QStringLiteral("DELETE FROM Jobs; DROP TABLE Jobs")); }), 3142);
    EXPECT_EQ(jobCount(), 3);

    const QString hostile = QStringLiteral("O'Brien'); DELETE FROM Jobs; --");
    db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Name) VALUES (?, ?)"), {Value(7), Value(hostile.left(20))});
    EXPECT_EQ(jobCount(), 4);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 7")).toString(), hostile.left(20));
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Name) VALUES (?, ?)"), {Value(8)}); }), 3061);
}

TEST_F(DatabaseTest, NestedTransactionsRollBackTheirOwnWork)
{
    {
        Transaction outer(db);
        addJob(200, QStringLiteral("Kept"), 1);
        db.beginTrans();
        EXPECT_EQ(db.transactionDepth(), 2);
        addJob(201, QStringLiteral("Dropped"), 1);
        db.rollback();
        addJob(202, QStringLiteral("Kept too"), 1);
        outer.commit();
    }
    EXPECT_EQ(db.transactionDepth(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(JobNo) FROM Jobs WHERE JobNo >= 200")).toString(),
              QStringLiteral("200,202"));
    {
        Transaction abandoned(db);
        db.execute(QStringLiteral("DELETE FROM Jobs"));
    } // rolled back
    EXPECT_EQ(jobCount(), 5);
    EXPECT_EQ(errorOf([&] { db.commitTrans(); }), 3034);

    // A cancelled add leaves its AutoNumber unused for good.
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs"));
    rs.addNew();
    const int first = rs.value(0).toInt();
    rs.cancelUpdate();
    rs.addNew();
    EXPECT_GT(rs.value(0).toInt(), first);
}

TEST_F(DatabaseTest, EngineFailuresCarryJetNumbers)
{
    Database other;
    EXPECT_EQ(errorOf([&] { other.open(tempPath(QStringLiteral("Missing.mdb"))); }), 3024);
    QFile junk(tempPath(QStringLiteral("Junk.mdb")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    try {
        other.open(junk.fileName());
        ADD_FAILURE() << "a file that is no database opened";
    } catch (const DbException &e) {
        EXPECT_EQ(e.number(), 3049);
        EXPECT_EQ(e.description(),
                  QStringLiteral("Cannot open database 'Junk.mdb'. It may not be a database, or the file may be corrupt."));
    }
    EXPECT_FALSE(other.isOpen());
    EXPECT_FALSE(QFile::exists(tempPath(QStringLiteral("Junk.ldb"))));
    EXPECT_EQ(errorOf([&] { Database::create(dbPath()); }), 3204);

    try {
        db.execute(QStringLiteral("DELETE FROM Nowhere"));
        ADD_FAILURE();
    } catch (const DbException &e) {
        EXPECT_EQ(e.number(), 3078);
        EXPECT_TRUE(e.description().contains(QLatin1String("'Nowhere'")));
    }
    // The file replaced by another while it is open: the write names the
    // file it cannot find, never a read-only database; the new file is left
    // as it came.
    {
        const QString copy = tempPath(QStringLiteral("Replacement.mdb"));
        ASSERT_TRUE(QFile::copy(dbPath(), copy));
        const QByteArray replacement = [&] {
            QFile f(copy);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        ASSERT_EQ(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(dbPath()).constData()), 0);
        try {
            db.execute(QStringLiteral("UPDATE Jobs SET Name = 'Lost'"));
            ADD_FAILURE() << "a write to a replaced file went through";
        } catch (const DbException &e) {
            EXPECT_EQ(e.number(), 3024);
            EXPECT_EQ(e.description(),
                      QStringLiteral("Could not find file '%1'.").arg(QFileInfo(dbPath()).fileName()));
        }
        QFile now(dbPath());
        ASSERT_TRUE(now.open(QIODevice::ReadOnly));
        EXPECT_EQ(now.readAll(), replacement);
        now.close();
        db.close();
        db.open(dbPath());
        EXPECT_EQ(jobCount(), 3);
    }

    // A registered function's "JET nnnn" message keeps its number.
    EXPECT_EQ(errorOf([&] { db.execute(QStringLiteral("UPDATE Jobs SET JobNo = CLng(1e12)")); }), 3349);

    // A write the file-size limit of the user's session refuses leaves no
    // room, as a full disk does (3026); the rows stay as they were and the
    // program goes on.
    {
        struct rlimit before {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
        struct rlimit limited = before;
        limited.rlim_cur = rlim_t(QFileInfo(dbPath()).size()); // no further growth
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const int failure = errorOf([&] { db.executeNative(QStringLiteral("UPDATE Jobs SET Note = hex(randomblob(200000))")); });
        ::setrlimit(RLIMIT_FSIZE, &before);
        EXPECT_EQ(failure, 3026);
        EXPECT_EQ(jobCount(), 3);
        EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Jobs WHERE Note IS NOT NULL")).toInt(), 0);
    }

    // A closed database is no longer usable by the sets opened on it.
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs"));
    db.close();
    EXPECT_EQ(errorOf([&] { rs.moveNext(); }), 3420);
    db.open(dbPath());
    EXPECT_EQ(errorOf([&] { rs.edit(); }), 3420);
    // Requeried, it reads the file through the new connection and edits again.
    db.execute(QStringLiteral("INSERT INTO Jobs (JobNo, Name) VALUES (901, 'After reopening')"));
    rs.setFilter(QStringLiteral("JobNo = 901"));
    rs.requery();
    EXPECT_EQ(rs.value(QStringLiteral("Name")).toString(), QStringLiteral("After reopening"));
    rs.edit();
    rs.setValue(QStringLiteral("Name"), Value(QStringLiteral("Edited")));
    rs.update();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 901")).toString(), QStringLiteral("Edited"));
    // While the database is closed a requery still refuses.
    db.close();
    EXPECT_EQ(errorOf([&] { rs.requery(); }), 3420);
    db.open(dbPath());
}

TEST_F(DatabaseTest, LockFileListsConnectionsAndGoesWithTheLast)
{
    const QString ldb = tempPath(QStringLiteral("TavrelData.ldb"));
    EXPECT_EQ(LockFile::pathFor(dbPath()), ldb);
    ASSERT_TRUE(QFile::exists(ldb));
    EXPECT_EQ(QFile(ldb).size(), 64);

    LockFile::setIdentity(QStringLiteral("FRONTDESK"), QStringLiteral("Anna"));
    Database second;
    second.open(dbPath());
    LockFile::setIdentity(QString(), QString());
    const QList<Database::Connection> list = db.connections();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[1].computer, QStringLiteral("FRONTDESK"));
    EXPECT_EQ(list[1].user, QStringLiteral("Anna"));
    QFile raw(ldb);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    ASSERT_EQ(bytes.size(), 128);
    EXPECT_EQ(bytes.mid(64, 10), QByteArray("FRONTDESK\0", 10));
    EXPECT_EQ(bytes.mid(96, 5), QByteArray("Anna\0", 5));

    // Exclusive use is refused while another connection is open, and a
    // shared open is refused while one is exclusive.
    Database exclusive;
    EXPECT_EQ(errorOf([&] { exclusive.open(dbPath(), true); }), 3045);
    second.close();
    EXPECT_EQ(db.connections().size(), 1);
    EXPECT_EQ(QFile(ldb).size(), 64); // the freed block at the end is dropped
    db.close();
    EXPECT_FALSE(QFile::exists(ldb));

    exclusive.open(dbPath(), true);
    EXPECT_TRUE(exclusive.isExclusive());
    EXPECT_EQ(errorOf([&] { second.open(dbPath()); }), 3045);
    exclusive.close();
    db.open(dbPath());
}

// The lock file is shared as the database file is: its read and write bits
// (always writable by its owner) and its group; so every member of a shop's
// group registers in it, and one left by a workstation that ended abnormally
// keeps nobody out.
TEST_F(DatabaseTest, TheLockFileIsSharedAsTheDatabaseFileIs)
{
    db.close();
    const QString ldb = tempPath(QStringLiteral("TavrelData.ldb"));
    const QByteArray file = QFile::encodeName(dbPath());
    const QByteArray lock = QFile::encodeName(ldb);
    const QByteArray journal = QFile::encodeName(dbPath() + QStringLiteral("-journal"));
    const auto modeOf = [](const QByteArray &name) {
        struct stat st {};
        return ::lstat(name.constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
    };
    struct Case
    {
        mode_t shop;
        mode_t lock;
    };
    const mode_t mask = ::umask(022);
    for (const Case c : {Case{0600, 0600}, Case{0640, 0640}, Case{0660, 0660}, Case{0666, 0666}, Case{0775, 0664},
                         Case{06660, 0660}}) {
        SCOPED_TRACE(c.shop);
        ASSERT_EQ(::chmod(file.constData(), c.shop), 0);
        db.open(dbPath());
        EXPECT_EQ(modeOf(lock), c.lock);
        // So is the journal of a change, which holds the rows as they were.
        db.beginTrans();
        db.execute(QStringLiteral("UPDATE Jobs SET Name = 'Held' WHERE JobNo = 100"));
        EXPECT_EQ(modeOf(journal), c.lock);
        db.rollback();
        db.close();
    }
    ::umask(mask);
    ASSERT_EQ(::chmod(file.constData(), 0660), 0);
    const gid_t other = OtherGroupOfThisUser();
    if (other == gid_t(-1))
        GTEST_SKIP() << "this user can give a file no other group";
    // A shop shared through its group, in a folder of that group.
    const QByteArray folder = QFile::encodeName(tempPath(QString()));
    ASSERT_EQ(::chown(file.constData(), uid_t(-1), other), 0);
    ASSERT_EQ(::chown(folder.constData(), uid_t(-1), other), 0);
    ASSERT_EQ(::chmod(folder.constData(), 02775), 0);
    db.open(dbPath());
    struct stat st {};
    ASSERT_EQ(::stat(lock.constData(), &st), 0);
    EXPECT_EQ(st.st_gid, other);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0660));
    db.beginTrans();
    db.execute(QStringLiteral("UPDATE Jobs SET Name = 'Held' WHERE JobNo = 100"));
    ASSERT_EQ(::stat(journal.constData(), &st), 0);
    EXPECT_EQ(st.st_gid, other);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0660));
    db.rollback();
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can be another member of the group";
    // Another member opens it while this workstation has it open.
    const int second = openAsAnotherUser(dbPath(), other);
    if (second == -1)
        GTEST_SKIP() << "another user cannot reach the test's folder";
    EXPECT_EQ(second, 0);
    EXPECT_EQ(db.connections().size(), 1);
    db.close();

    // A lock file of this user's, as made before lock files took the
    // database's mode, with the block of a workstation that ended abnormally:
    // another member of the group is not kept out by it, nor by a blank
    // block left at its start.
    for (const QByteArray &left : {QByteArray("OLDDESK", 7) + QByteArray(25, '\0') + QByteArray("Anna", 4)
                                       + QByteArray(28, '\0'),
                                   QByteArray(64, '\0') + QByteArray("OLDDESK", 7) + QByteArray(57, '\0')}) {
        ASSERT_TRUE(WriteTestFile(ldb, left));
        ASSERT_EQ(::chmod(lock.constData(), 0644), 0);
        EXPECT_EQ(openAsAnotherUser(dbPath(), other), 0);
        EXPECT_FALSE(QFile::exists(ldb));
    }
    // Such a file is not taken from a holder still in.
    db.open(dbPath());
    ASSERT_EQ(::chmod(lock.constData(), 0644), 0);
    EXPECT_EQ(openAsAnotherUser(dbPath(), other), 3051);
    EXPECT_EQ(db.connections().size(), 1);
}

// A database is never taken for a lock file: neither its own (a database
// named "Shop.ldb") nor that of another database beside it.
TEST_F(DatabaseTest, NoDatabaseIsEverTakenForALockFile)
{
    db.close();
    const QString shopLdb = tempPath(QStringLiteral("Shop.ldb"));
    const QString shopMdb = tempPath(QStringLiteral("Shop.mdb"));
    ASSERT_TRUE(QFile::copy(dbPath(), shopLdb));
    ASSERT_TRUE(QFile::copy(dbPath(), shopMdb));
    const auto bytes = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = bytes(shopLdb);

    EXPECT_EQ(LockFile::pathFor(shopLdb), shopLdb + QStringLiteral(".ldb"));
    EXPECT_EQ(LockFile::pathFor(tempPath(QStringLiteral("SHOP.LDB"))), tempPath(QStringLiteral("SHOP.LDB.ldb")));
    // Shop.mdb's usual lock file would be Shop.ldb, which is a database.
    EXPECT_EQ(LockFile::pathFor(shopMdb), shopMdb + QStringLiteral(".ldb"));
    EXPECT_EQ(LockFile::pathFor(dbPath()), tempPath(QStringLiteral("TavrelData.ldb")));

    for (const bool readOnly : {true, false}) {
        Database own;
        own.open(shopLdb, false, readOnly);
        Database beside;
        beside.open(shopMdb, false, readOnly);
        EXPECT_EQ(own.connections().size(), 1);
        EXPECT_EQ(beside.connections().size(), 1);
        own.close();
        beside.close();
        EXPECT_EQ(bytes(shopLdb), before) << readOnly;
    }
    EXPECT_FALSE(QFile::exists(shopLdb + QStringLiteral(".ldb")));
    EXPECT_FALSE(QFile::exists(shopMdb + QStringLiteral(".ldb")));
}

// A file beside the database that is not an ordinary file of its own is
// never written through, nor a journal rolled back from it: anyone who can
// write in a shared folder could otherwise aim it at another file, which
// every workstation opening the shop would overwrite, or keep a second name
// of it to read what the shop writes into it.
TEST_F(DatabaseTest, ALockFileOrJournalThatIsALinkOrSpecialFileIsRefused)
{
    db.close();
    const QString victim = tempPath(QStringLiteral("Victim.txt"));
    const QByteArray precious("someone else's file, not to be touched");
    const auto bytes = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray victimName = QFile::encodeName(victim);
    struct Beside
    {
        const char *name;
        const char *role;
        bool readingGoesOn; // a read-only opening goes on unlisted
    };
    const QList<Beside> files = {
        {"TavrelData.ldb", "lock file", true},
        {"TavrelData.mdb-journal", "journal", false},
        {"TavrelData.mdb-wal", "journal", false},
        {"TavrelData.mdb-shm", "journal index", false},
    };
    for (const Beside &file : files) {
        SCOPED_TRACE(file.name);
        const QString path = tempPath(QString::fromLatin1(file.name));
        const QByteArray pathName = QFile::encodeName(path);
        const QString refusal = QStringLiteral("Cannot use the %1 '%2': it is not an ordinary file (it is a link, a "
                                               "folder or a special file). Remove it from the database's folder and "
                                               "open the database again.")
                                    .arg(QLatin1String(file.role), QLatin1String(file.name));
        struct Kind
        {
            const char *name;
            std::function<bool()> make;
        };
        const QList<Kind> kinds = {
            {"symbolic link", [&] { return ::symlink(victimName.constData(), pathName.constData()) == 0; }},
            {"hard link", [&] { return ::link(victimName.constData(), pathName.constData()) == 0; }},
            {"folder", [&] { return QDir().mkdir(path); }},
            {"FIFO", [&] { return ::mkfifo(pathName.constData(), 0600) == 0; }},
        };
        for (const Kind &kind : kinds) {
            SCOPED_TRACE(kind.name);
            {
                QFile f(victim);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(precious);
            }
            ASSERT_TRUE(kind.make());
            Database second;
            try {
                second.open(dbPath());
                ADD_FAILURE() << "opened";
            } catch (const DbException &e) {
                EXPECT_EQ(e.number(), 3051);
                EXPECT_EQ(e.description(), refusal);
            }
            if (file.readingGoesOn) {
                // Reading alone goes on unlisted and says why; nothing is written.
                second.open(dbPath(), false, true);
                EXPECT_EQ(second.lockWarning(),
                          QStringLiteral("This workstation is not listed in the lock file (%1): %2").arg(path, refusal));
                EXPECT_TRUE(second.connections().isEmpty());
                second.close();
            } else {
                // A journal would be rolled back by reading alone.
                try {
                    second.open(dbPath(), false, true);
                    ADD_FAILURE() << "opened for reading";
                } catch (const DbException &e) {
                    EXPECT_EQ(e.description(), refusal);
                }
            }
            EXPECT_EQ(bytes(victim), precious);
            EXPECT_TRUE(QFileInfo(path).isSymLink() || QFileInfo(path).exists());
            ASSERT_TRUE(QFileInfo(path).isDir() ? QDir().rmdir(path) : QFile::remove(path));
        }
    }

    // A journal put in place while the database is open: the next change is
    // refused by name and leaves the row as it was.
    db.open(dbPath());
    const QString journal = dbPath() + QStringLiteral("-journal");
    ASSERT_EQ(::link(victimName.constData(), QFile::encodeName(journal).constData()), 0);
    try {
        db.execute(QStringLiteral("UPDATE Jobs SET Name = 'Changed' WHERE JobNo = 100"));
        ADD_FAILURE() << "written";
    } catch (const DbException &e) {
        EXPECT_EQ(e.number(), 3051);
        EXPECT_TRUE(e.description().startsWith(QLatin1String("Cannot use the journal 'TavrelData.mdb-journal': it is "
                                                             "not an ordinary file")))
            << e.description().toStdString();
    }
    EXPECT_EQ(bytes(victim), precious);
    ASSERT_TRUE(QFile::remove(journal));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 100")).toString(), QStringLiteral("Job 0"));
}

// A journal is used only when it is this user's own. Another user's, put in
// a folder that others may write (a shared folder), would receive the pages
// the shop's next change overwrites (its maker reading them through a second
// name), and, put back later as a journal of an unfinished write, would be
// rolled back into the shop: a committed payment would vanish. It is refused
// by name instead; this user's own journal of a write that never ended is
// rolled back as ever.
TEST_F(DatabaseTest, AnotherUsersJournalIsNeitherWrittenIntoNorRolledBack)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can make a file that is another user's";
    const uid_t otherUser = 65534;
    const QString journal = dbPath() + QStringLiteral("-journal");
    const QByteArray journalName = QFile::encodeName(journal);
    const QString refusal = QStringLiteral("Cannot use the journal 'TavrelData.mdb-journal': it belongs to another "
                                           "user. Changes are saved through and undone from a journal of this user's "
                                           "own only. If that user's workstation stopped while saving, have that "
                                           "user open the database; otherwise remove the file from the database's "
                                           "folder and open the database again.");
    const auto refusalOf = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const DbException &e) {
            return QString::number(e.number()) + QLatin1Char(' ') + e.description();
        }
        return QStringLiteral("no refusal");
    };
    const auto plant = [&] {
        return WriteTestFile(journal, QByteArray()) && ::chown(journalName.constData(), otherUser, otherUser) == 0
            && ::chmod(journalName.constData(), 0666) == 0;
    };

    // An empty one, at the opening and while the database is open.
    db.close();
    ASSERT_TRUE(plant());
    Database second;
    EXPECT_EQ(refusalOf([&] { second.open(dbPath()); }), QStringLiteral("3051 ") + refusal);
    EXPECT_EQ(refusalOf([&] { second.open(dbPath(), false, true); }), QStringLiteral("3051 ") + refusal);
    ASSERT_TRUE(QFile::remove(journal));
    db.open(dbPath());
    ASSERT_TRUE(plant());
    EXPECT_EQ(refusalOf([&] { db.execute(QStringLiteral("UPDATE Jobs SET Name = 'Changed' WHERE JobNo = 100")); }),
              QStringLiteral("3051 ") + refusal);
    EXPECT_EQ(ReadTestFile(journal), QByteArray());
    ASSERT_TRUE(QFile::remove(journal));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 100")).toString(), QStringLiteral("Job 0"));

    // A write that never ended: its process stopped after some changed pages
    // had reached the file, so its journal must be rolled back.
    db.close();
    const QByteArray before = ReadTestFile(dbPath());
    const pid_t child = ::fork();
    if (child == 0) {
        sqlite3 *raw = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(dbPath()).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
            sqlite3_exec(raw, "PRAGMA cache_size = 2; BEGIN; UPDATE Jobs SET Note = hex(randomblob(20000))", nullptr,
                         nullptr, nullptr);
        ::_exit(0); // no commit, no rollback
    }
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const QByteArray halfWritten = ReadTestFile(dbPath());
    ASSERT_NE(halfWritten, before) << "no changed page reached the file";
    ASSERT_GT(QFileInfo(journal).size(), 0);
    ASSERT_EQ(::chown(journalName.constData(), otherUser, otherUser), 0);
    EXPECT_EQ(refusalOf([&] { second.open(dbPath()); }), QStringLiteral("3051 ") + refusal);
    EXPECT_EQ(refusalOf([&] { second.open(dbPath(), false, true); }), QStringLiteral("3051 ") + refusal);
    EXPECT_EQ(ReadTestFile(dbPath()), halfWritten);
    // Its owner's opening rolls it back.
    ASSERT_EQ(::chown(journalName.constData(), ::geteuid(), ::getegid()), 0);
    db.open(dbPath());
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_EQ(jobCount(), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Jobs WHERE Note IS NOT NULL")).toInt(), 0);

    // Another user's workstation in the middle of saving has its journal
    // there: that one is in use, never rolled back, and opening the database
    // meanwhile goes on (reading what was saved before).
    db.close(); // no connection of this process goes into the child
    {
        int started[2];
        int finish[2];
        ASSERT_EQ(::pipe(started), 0);
        ASSERT_EQ(::pipe(finish), 0);
        const pid_t saving = ::fork();
        if (saving == 0) {
            sqlite3 *raw = nullptr;
            char go = 0;
            if (sqlite3_open_v2(QFile::encodeName(dbPath()).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
                && sqlite3_exec(raw, "BEGIN IMMEDIATE; UPDATE Jobs SET Name = 'Saved' WHERE JobNo = 101", nullptr,
                                nullptr, nullptr)
                    == SQLITE_OK) {
                (void)!::write(started[1], "s", 1);
                (void)!::read(finish[0], &go, 1);
                sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
            }
            ::_exit(0);
        }
        ASSERT_GT(saving, 0);
        char ready = 0;
        ASSERT_EQ(::read(started[0], &ready, 1), 1);
        ASSERT_EQ(::chown(journalName.constData(), otherUser, otherUser), 0);
        Database reader;
        EXPECT_EQ(refusalOf([&] { reader.open(dbPath()); }), QStringLiteral("no refusal"));
        if (reader.isOpen()) {
            Recordset rs(reader);
            rs.open(Recordset::Type::Snapshot, QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 101"));
            EXPECT_EQ(rs.value(0).toString(), QStringLiteral("Job 1"));
            rs.close();
        }
        (void)!::write(finish[1], "f", 1);
        ASSERT_EQ(::waitpid(saving, nullptr, 0), saving);
        for (int fd : {started[0], started[1], finish[0], finish[1]})
            ::close(fd);
        if (reader.isOpen()) {
            Recordset rs(reader);
            rs.open(Recordset::Type::Snapshot, QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 101"));
            EXPECT_EQ(rs.value(0).toString(), QStringLiteral("Saved"));
        }
        EXPECT_FALSE(QFile::exists(journal));
    }

    // In a folder where everyone may make files but remove only their own
    // (sticky, as /tmp), another user's opening is told which file is in the
    // way, not that the disk failed.
    const QByteArray folder = QFile::encodeName(tempPath(QString()));
    ASSERT_EQ(::chmod(folder.constData(), 01777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dbPath()).constData(), 0666), 0);
    ASSERT_TRUE(WriteTestFile(journal, QByteArray()));
    ASSERT_EQ(::chmod(journalName.constData(), 0644), 0);
    const int sticky = openAsAnotherUser(dbPath(), gid_t(otherUser));
    ASSERT_TRUE(QFile::remove(journal));
    db.open(dbPath());
    if (sticky == -1)
        GTEST_SKIP() << "another user cannot reach the test's folder";
    EXPECT_EQ(sticky, 3051);
}

// Savepoints three deep: rolling back the middle one drops what the inner
// one had already committed into it, and nothing of the outer one.
TEST_F(DatabaseTest, MiddleSavepointRollbackDropsItsInnerWorkOnly)
{
    {
        Transaction outer(db);
        addJob(300, QStringLiteral("Outer"), 1);
        {
            Transaction middle(db);
            addJob(301, QStringLiteral("Middle"), 1);
            {
                Transaction inner(db);
                addJob(302, QStringLiteral("Inner"), 1);
                inner.commit();
            }
            EXPECT_EQ(db.transactionDepth(), 2);
        } // not committed
        addJob(303, QStringLiteral("Outer again"), 1);
        // A statement that fails half way inside the outer transaction undoes
        // only its own rows.
        EXPECT_EQ(errorOf([&] {
                      db.execute(QStringLiteral("UPDATE Jobs SET Name = Name & 'xxxxxxxxxxxxxxx' WHERE JobNo >= 300"));
                  }),
                  3163);
        outer.commit();
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(JobNo || ':' || Name) FROM Jobs WHERE JobNo >= 300")).toString(),
              QStringLiteral("300:Outer,303:Outer again"));
}

// Texts compare without case also when they are computed, not only as
// columns: in a condition, in a grouping and in an order.
TEST_F(DatabaseTest, ComputedTextsCompareWithoutCase)
{
    db.execute(QStringLiteral("DELETE FROM Jobs"));
    addJob(1, QStringLiteral("apple"), 1);
    addJob(2, QStringLiteral("Banana"), 1);
    addJob(3, QStringLiteral("APPLE"), 1);
    const auto rows = [this](const QString &sql) {
        Recordset rs(db);
        rs.open(Recordset::Type::Snapshot, sql);
        QStringList out;
        for (; !rs.isEOF(); rs.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.fieldCount(); ++i)
                fields << rs.value(i).toString();
            out << fields.join(QLatin1Char('|'));
        }
        return out.join(QLatin1Char(','));
    };
    EXPECT_EQ(rows(QStringLiteral("SELECT JobNo FROM Jobs WHERE Name & '' = 'Apple' ORDER BY JobNo")), QStringLiteral("1,3"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Count(*) AS N FROM Jobs GROUP BY Name & '!' ORDER BY Count(*)")), QStringLiteral("1,2"));
    EXPECT_EQ(rows(QStringLiteral("SELECT JobNo FROM Jobs ORDER BY Name & '', JobNo")), QStringLiteral("1,3,2"));
    EXPECT_EQ(rows(QStringLiteral("SELECT DISTINCT Name & '' AS N FROM Jobs")).split(QLatin1Char(',')).size(), 2);
    EXPECT_EQ(rows(QStringLiteral("SELECT Max(Name & '') AS M FROM Jobs")), QStringLiteral("Banana"));
}
