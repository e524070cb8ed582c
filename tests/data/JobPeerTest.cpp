#include "JobTablesFixture.h"

#include "data/CJobSet.h"
#include "data/HeldNewCustomers.h"
#include "platform/Settings.h"
#include "platform/db/Recordset.h"

#include "data/ShopDatabase.h"
#include "data/ShopSchema.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QProcessEnvironment>
#include <QtCore/QSet>

#include <signal.h>

#include <memory>
#include <vector>

namespace {

// Another workstation on the test's database file.
std::unique_ptr<QProcess> startPeer(const QStringList &arguments)
{
    auto peer = std::make_unique<QProcess>();
    peer->setProgram(QStringLiteral(TAVREL_JOB_PEER));
    peer->setArguments(arguments);
    peer->start();
    return peer;
}

QStringList outputLines(QProcess &peer)
{
    EXPECT_TRUE(peer.waitForFinished(120000));
    EXPECT_EQ(peer.exitCode(), 0) << peer.readAllStandardError().toStdString();
    return QString::fromUtf8(peer.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

TEST_F(JobTablesTest, TwoWorkstationsNeverGetTheSameJobNumber)
{
    std::vector<std::unique_ptr<QProcess>> peers;
    for (int n = 0; n < 2; ++n) {
        peers.push_back(startPeer({databasePath(), QStringLiteral("numbers"), QStringLiteral("200"),
                                   QStringLiteral("0")}));
        ASSERT_TRUE(peers.back()->waitForStarted());
    }
    for (auto &peer : peers) {
        peer->write("go\n");
        ASSERT_TRUE(peer->waitForBytesWritten());
    }

    QSet<int> numbers;
    int given = 0;
    for (auto &peer : peers) {
        for (const QString &line : outputLines(*peer)) {
            bool ok = false;
            const int number = line.toInt(&ok);
            ASSERT_TRUE(ok) << line.toStdString();
            numbers.insert(number);
            ++given;
        }
    }
    EXPECT_EQ(given, 400);
    EXPECT_EQ(numbers.size(), 400);
    EXPECT_EQ(*std::min_element(numbers.begin(), numbers.end()), 1);
    EXPECT_EQ(*std::max_element(numbers.begin(), numbers.end()), 400);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM JobTypes WHERE JobType = 10")).toString(),
              QStringLiteral("400"));
}

// Eight workstations adding services, customers or jobs at once, as a
// user's Save adds them: every row is kept, each under the number its
// workstation was told, and no two share a number. A workstation that meets
// another's lock waits while the lock changes hands (the database's lock
// wait counts its budget from the last write another workstation finished),
// so none is refused while the others are saving, however slow the machine:
// "fail" with "currently locked by another workstation" is a failure here.
TEST_F(JobTablesTest, NewNumberedRowsAddedAtOnceAreAllKept)
{
    const struct
    {
        const char *kind;
        const char *table;
        const char *key;
        const char *name;
    } kinds[] = {
        {"services", "Services", "SerNo", "Name"},
        {"customers", "Customers", "CusNo", "Name"},
        {"jobs", "Jobs", "JobNo", "Title"},
    };
    constexpr int kPeers = 8;
    constexpr int kEach = 25;
    for (const auto &k : kinds) {
        SCOPED_TRACE(k.kind);
        const QString table = QString::fromLatin1(k.table);
        const int before = count(table, QStringLiteral("1 = 1"));
        std::vector<std::unique_ptr<QProcess>> peers;
        for (int n = 0; n < kPeers; ++n) {
            peers.push_back(startPeer({databasePath(), QStringLiteral("add"), QString::fromLatin1(k.kind),
                                       QString::number(kEach), QStringLiteral("Peer%1").arg(n)}));
            ASSERT_TRUE(peers.back()->waitForStarted());
        }
        // All open the file first, then all add at once.
        for (auto &peer : peers) {
            ASSERT_TRUE(peer->canReadLine() || peer->waitForReadyRead(30000));
            ASSERT_EQ(peer->readLine().trimmed(), QByteArray("ready"));
        }
        for (auto &peer : peers) {
            peer->write("go\n");
            ASSERT_TRUE(peer->waitForBytesWritten());
        }
        QSet<int> numbers;
        for (int n = 0; n < kPeers; ++n) {
            const QStringList lines = outputLines(*peers[size_t(n)]);
            ASSERT_EQ(lines.size(), kEach) << lines.join(QLatin1Char('|')).toStdString();
            for (int i = 0; i < kEach; ++i) {
                bool ok = false;
                const int number = lines[i].toInt(&ok);
                ASSERT_TRUE(ok) << lines[i].toStdString();
                numbers.insert(number);
                // The row named so is there under the number reported.
                EXPECT_EQ(scalar(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = 'Peer%4 %5'")
                                     .arg(QString::fromLatin1(k.key), table, QString::fromLatin1(k.name))
                                     .arg(n)
                                     .arg(i + 1))
                              .toInt(),
                          number);
            }
        }
        EXPECT_EQ(numbers.size(), kPeers * kEach);
        EXPECT_EQ(count(table, QStringLiteral("1 = 1")), before + kPeers * kEach);
    }
}

TEST_F(JobTablesTest, JobLockedHereIsRefusedToAnotherWorkstation)
{
    const qint32 id = addJob(0, 77);
    CJobSet job;
    ASSERT_TRUE(job.FindById(id));
    ASSERT_TRUE(job.Lock(true));

    auto peer = startPeer({databasePath(), QStringLiteral("lock"), QString::number(id)});
    EXPECT_EQ(outputLines(*peer), QStringList({QStringLiteral("result 0"),
                                               QStringLiteral("text Job 77 is in use and locked!\\nDo you want "
                                                              "to unlock it?")}));

    ASSERT_TRUE(job.Lock(false));
    peer = startPeer({databasePath(), QStringLiteral("lock"), QString::number(id)});
    EXPECT_EQ(outputLines(*peer), QStringList({QStringLiteral("result 1")}));
    EXPECT_TRUE(job.IsLocked());
}

} // namespace

// A workstation killed while it makes new shop databases never leaves a
// database without its tables: every file in place is complete, and the next
// build of the one it was making succeeds and clears what the killed one left.
TEST_F(JobTablesTest, KilledCreateLeavesNoHalfMadeDatabase)
{
    const QString folder = tempPath(QStringLiteral("created"));
    ASSERT_TRUE(QDir().mkpath(folder));
    auto peer = startPeer({folder, QStringLiteral("create"), QStringLiteral("400")});
    ASSERT_TRUE(peer->waitForStarted());
    // Kill it after a few builds, in the middle of the next one.
    int made = 0;
    while (made < 3 && peer->waitForReadyRead(10000)) {
        while (peer->canReadLine())
            made = QString::fromUtf8(peer->readLine()).section(QLatin1Char(' '), 1).trimmed().toInt();
    }
    ::kill(pid_t(peer->processId()), SIGKILL);
    ASSERT_TRUE(peer->waitForFinished(10000));
    ASSERT_GE(made, 3);

    const QStringList tables = QDir(folder).entryList({QStringLiteral("Shop*.mdb")}, QDir::Files);
    ASSERT_GE(tables.size(), made);
    const int tableCount = int(db().tableNames().size());
    for (const QString &name : tables) {
        platform::Database file;
        file.open(QDir(folder).filePath(name), false, true);
        EXPECT_EQ(ReadVersionText(file), ShopSchema::versionText()) << name.toStdString();
        EXPECT_EQ(file.tableNames().size(), tableCount) << name.toStdString();
        file.close();
    }
    const QString next = QDir(folder).filePath(QStringLiteral("Shop%1.mdb").arg(tables.size() + 1));
    EXPECT_FALSE(QFileInfo::exists(next));
    CreateShopDatabase(next);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".creating-")), QStringList());
}

// A copy of the program killed with a new customer's window open leaves the
// "< new >" row that held its number; the next start here removes it, but
// not the one another copy still running holds.
TEST_F(JobTablesTest, ANewCustomerLeftByAKilledCopyIsRemovedAtTheNextStart)
{
    const QString config = tempPath(QStringLiteral("config"));
    const auto start = [&] {
        // A start reads this workstation's settings afresh.
        platform::Settings::useFolder(config + QStringLiteral("/Halvane"));
        return HeldNewCustomers::RemoveAbandoned();
    };
    const auto newCustomerWindow = [&](QProcess &peer) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        peer.setProcessEnvironment(env);
        peer.start(QStringLiteral(TAVREL_JOB_PEER), {databasePath(), QStringLiteral("newcustomer")});
        if (!peer.waitForReadyRead(20000))
            return 0;
        return peer.readLine().trimmed().toInt();
    };
    const auto placeholders = [&] {
        QStringList numbers;
        platform::Recordset rs(db());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT CusNo FROM Customers WHERE Name = '< new >' ORDER BY CusNo"));
        for (; !rs.isEOF(); rs.moveNext())
            numbers << rs.value(0).toString();
        return numbers;
    };
    EXPECT_EQ(start(), 0);

    QProcess killed;
    const int lost = newCustomerWindow(killed);
    ASSERT_GT(lost, 31);
    const qint64 killedPid = killed.processId();
    ::kill(pid_t(killedPid), SIGKILL);
    killed.waitForFinished(5000);
    QProcess open;
    const int held = newCustomerWindow(open);
    ASSERT_GT(held, lost);
    ASSERT_EQ(placeholders(), (QStringList{QString::number(lost), QString::number(held)}));
    // The killed copy also held a new customer in another shop's file, under
    // a number that stands as a placeholder here too: that note is about the
    // other shop, and this shop's row of the same number stays.
    const int otherShops = held + 10;
    db().execute(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (?, '< new >')"),
                 {platform::Value(otherShops)});
    const QString otherNote = QStringLiteral("%1 %2 %3")
                                  .arg(killedPid)
                                  .arg(otherShops)
                                  .arg(QDir(tempPath(QStringLiteral("other"))).filePath(QStringLiteral("TavrelData.mdb")));
    {
        platform::Settings::useFolder(config + QStringLiteral("/Halvane"));
        const QString notes = platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("NewCustomers"));
        platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("NewCustomers"),
                                        notes + QLatin1Char('\n') + otherNote);
        platform::Settings::sync();
    }

    EXPECT_EQ(start(), 1);
    EXPECT_EQ(placeholders(), (QStringList{QString::number(held), QString::number(otherShops)}));
    // Its note stays: the copy still holding it may yet be killed.
    EXPECT_TRUE(platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("NewCustomers"))
                    .contains(QStringLiteral(" %1 ").arg(held)));

    ::kill(pid_t(open.processId()), SIGKILL);
    open.waitForFinished(5000);
    EXPECT_EQ(start(), 1);
    EXPECT_EQ(placeholders(), QStringList{QString::number(otherShops)});
    EXPECT_EQ(platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("NewCustomers")), otherNote);
}
