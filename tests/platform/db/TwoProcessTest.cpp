#include "DbFixture.h"
#include "ErrorOf.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>

using namespace platform;

namespace {

// The second workstation: the peer program, driven one command at a time.
class Peer
{
public:
    explicit Peer(const QString &dbPath)
    {
        m_process.setProgram(QStringLiteral(TAVREL_DB_PEER));
        m_process.setArguments({dbPath, QStringLiteral("--as"), QStringLiteral("PRESSROOM/Bob")});
        m_process.start();
        m_process.waitForStarted();
    }
    ~Peer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.write("quit\n");
            if (!m_process.waitForFinished(5000))
                m_process.kill();
        }
    }
    QString send(const QString &command)
    {
        m_process.write(command.toUtf8() + '\n');
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(10000))
                return QStringLiteral("no answer");
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

} // namespace

class TwoProcessTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        makeJobsTable();
        addJob(100, QStringLiteral("Cards"), 12.5);
        addJob(101, QStringLiteral("Flyers"), 3);
    }
};

TEST_F(TwoProcessTest, ConflictingEditIsRefused)
{
    Peer peer(dbPath());
    ASSERT_EQ(peer.send(QStringLiteral("open")), QStringLiteral("ok"));

    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("SELECT * FROM Jobs WHERE JobNo = 100"));
    rs.edit();
    rs.setValue(QStringLiteral("Price"), Value(Money::fromWhole(20)));
    // The other workstation saves the same row first.
    ASSERT_EQ(peer.send(QStringLiteral("set SELECT * FROM Jobs WHERE JobNo = 100|Name|Business cards")), QStringLiteral("ok"));
    EXPECT_EQ(errorOf([&] { rs.update(); }), 3197);
    rs.cancelUpdate();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Price FROM Jobs WHERE JobNo = 100")).toDouble(), 12.5);

    // Editing again reads its change, and then saving works.
    rs.edit();
    EXPECT_EQ(rs.value(QStringLiteral("Name")).toString(), QStringLiteral("Business cards"));
    rs.setValue(QStringLiteral("Price"), Value(Money::fromWhole(20)));
    rs.update();
    EXPECT_EQ(scalar(QStringLiteral("SELECT Price FROM Jobs WHERE JobNo = 100")).toDouble(), 20.0);

    // A row the other workstation deleted.
    rs.requery();
    ASSERT_EQ(peer.send(QStringLiteral("delete SELECT * FROM Jobs WHERE JobNo = 100")), QStringLiteral("ok"));
    EXPECT_EQ(errorOf([&] { rs.edit(); }), 3167);
}

TEST_F(TwoProcessTest, ExclusiveUseAndTheLockFile)
{
    const QString ldb = tempPath(QStringLiteral("TavrelData.ldb"));
    {
        Peer peer(dbPath());
        // While this process has the file open, the other cannot take it alone.
        EXPECT_EQ(peer.send(QStringLiteral("open exclusive")), QStringLiteral("error 3045"));
        ASSERT_EQ(peer.send(QStringLiteral("open")), QStringLiteral("ok"));
        EXPECT_EQ(peer.send(QStringLiteral("connections")), QStringLiteral("ok 2"));
        const QList<Database::Connection> list = db.connections();
        ASSERT_EQ(list.size(), 2);
        EXPECT_EQ(list[1].computer, QStringLiteral("PRESSROOM"));
        EXPECT_EQ(list[1].user, QStringLiteral("Bob"));

        // Nor can this one while the other is connected.
        db.close();
        Database alone;
        EXPECT_EQ(errorOf([&] { alone.open(dbPath(), true); }), 3045);
        ASSERT_EQ(peer.send(QStringLiteral("close")), QStringLiteral("ok"));
        EXPECT_FALSE(QFile::exists(ldb)); // both gone: the lock file is deleted
        alone.open(dbPath(), true);
        EXPECT_EQ(peer.send(QStringLiteral("open")), QStringLiteral("error 3045"));
        alone.close();

        // A workstation that dies leaves a block nobody counts.
        ASSERT_EQ(peer.send(QStringLiteral("open")), QStringLiteral("ok"));
        db.open(dbPath());
        EXPECT_EQ(db.connections().size(), 2);
        peer.kill();
        EXPECT_EQ(db.connections().size(), 1);
        EXPECT_EQ(QFile(ldb).size(), 128);
    }
    db.close();
    EXPECT_FALSE(QFile::exists(ldb));
    db.open(dbPath(), true); // the stale block does not stand in the way
}

TEST_F(TwoProcessTest, DifferentRowsSavedByBothAreBothKept)
{
    Peer peer(dbPath());
    ASSERT_EQ(peer.send(QStringLiteral("open")), QStringLiteral("ok"));

    // This workstation has the whole table open and edits one row while the
    // other saves another row of the same table in between.
    Recordset rs(db);
    rs.open(Recordset::Type::Dynaset, QStringLiteral("Jobs"));
    ASSERT_TRUE(rs.findFirst(QStringLiteral("JobNo = 100")));
    rs.edit();
    rs.setValue(QStringLiteral("Name"), Value(QStringLiteral("Cards, 2 sided")));
    ASSERT_EQ(peer.send(QStringLiteral("set SELECT * FROM Jobs WHERE JobNo = 101|Name|Flyers, folded")), QStringLiteral("ok"));
    rs.update();
    rs.close();

    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 100")), QStringLiteral("Cards, 2 sided"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 101")), QStringLiteral("Flyers, folded"));
    // And the other way round: the other workstation's next save keeps ours.
    ASSERT_EQ(peer.send(QStringLiteral("set SELECT * FROM Jobs WHERE JobNo = 101|Name|Flyers, folded twice")), QStringLiteral("ok"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Name FROM Jobs WHERE JobNo = 100")), QStringLiteral("Cards, 2 sided"));
}
