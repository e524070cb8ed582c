#include "support/TestEnvironment.h"

#include "DamagedPage.h"

#include "data/CXDaoSet.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>

#include <csignal>
#include <sys/resource.h>

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;

namespace {

const QString kClosing = QStringLiteral("Tavrel will end now. Please contact Halvane for a solution.");

class OpenDatabaseTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        m_oldCurrent = QDir::currentPath();
        QDir().mkpath(tempPath(QStringLiteral("Shop Data")));
    }
    void TearDown() override
    {
        if (db().isOpen())
            db().close();
        EndLaterPageChecks();
        SetUpgradeDatabaseStep(nullptr);
        SetRepairDatabaseStep(nullptr);
        QDir::setCurrent(m_oldCurrent);
        TavrelTest::TearDown();
    }
    platform::Database &db() { return SharedDatabase(); }

    // A shop database with the current layout and its rows.
    QString makeDatabase(const QString &path)
    {
        CreateShopDatabase(path);
        return path;
    }
    static QString storedPath() { return platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("TavrelPath")); }
    static void storePath(const QString &path) { platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("TavrelPath"), path); }

private:
    QString m_oldCurrent;
};

} // namespace

TEST_F(OpenDatabaseTest, MissingFileAndNoEndsTheProgram)
{
    const QString old = tempPath(QStringLiteral("Old/TavrelData.mdb"));
    storePath(old);
    prompts().answer(IDNO);
    prompts().answer(IDOK);
    EXPECT_FALSE(OpenDatabase(&db()));
    const auto &shown = prompts().shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].text, QStringLiteral("Tavrel\ncannot find the database ") + QDir::toNativeSeparators(old)
                                 + QStringLiteral("\n\n\n\nWould you like to look for it?"));
    EXPECT_EQ(shown[0].flags, unsigned(platform::MB_YESNO | platform::MB_ICONQUESTION));
    EXPECT_EQ(shown[1].text, kClosing);
    EXPECT_EQ(shown[1].flags & platform::MB_ICONMASK, unsigned(platform::MB_ICONERROR));
    EXPECT_FALSE(db().isOpen());
    EXPECT_EQ(storedPath(), old);

    // Cancelling the file dialog ends it without a message.
    prompts().clear();
    prompts().answer(IDYES);
    prompts().answerFile(QString());
    EXPECT_FALSE(OpenDatabase(&db()));
    EXPECT_EQ(prompts().shown().size(), 2);
}

TEST_F(OpenDatabaseTest, MovedFileFoundInTheDialogIsRemembered)
{
    storePath(tempPath(QStringLiteral("Old/TavrelData.mdb")));
    const QString moved = makeDatabase(tempPath(QStringLiteral("Shop Data/TavrelData.mdb")));
    int upgrades = 0;
    SetUpgradeDatabaseStep([&](platform::Database *database) { ++upgrades; return database->isOpen(); });
    prompts().answer(IDYES);
    prompts().answerFile(moved);
    ASSERT_TRUE(OpenDatabase(&db()));
    EXPECT_TRUE(db().isOpen());
    EXPECT_EQ(upgrades, 1);
    EXPECT_EQ(storedPath(), QDir::toNativeSeparators(moved));
    EXPECT_EQ(DataFolder(), QDir::toNativeSeparators(tempPath(QStringLiteral("Shop Data"))) + QDir::separator());

    // Next start: straight in, no question.
    db().close();
    prompts().clear();
    ASSERT_TRUE(OpenDatabase(&db()));
    EXPECT_TRUE(prompts().shown().isEmpty());
}

TEST_F(OpenDatabaseTest, DefaultFileInTheCurrentFolderAndRefusedUpgrade)
{
    makeDatabase(tempPath(QStringLiteral("Shop Data/TavrelData.mdb")));
    QDir::setCurrent(tempPath(QStringLiteral("Shop Data")));

    // A refused upgrade leaves the location unwritten.
    SetUpgradeDatabaseStep([](platform::Database *) { return false; });
    EXPECT_FALSE(OpenDatabase(&db()));
    EXPECT_FALSE(platform::Settings::contains(QStringLiteral("Settings"), QStringLiteral("TavrelPath")));

    db().close();
    SetUpgradeDatabaseStep(nullptr);
    ASSERT_TRUE(OpenDatabase(&db()));
    EXPECT_EQ(storedPath(), QStringLiteral("TavrelData.mdb"));
    EXPECT_TRUE(DataFolder().endsWith(QDir::separator()));
    EXPECT_TRUE(prompts().shown().isEmpty());
}

// A file that lacks a table of the shop is refused with one message naming
// what is missing, and start-up ends there.
TEST_F(OpenDatabaseTest, AFileLackingATableIsRefusedOnce)
{
    const QString path = makeDatabase(tempPath(QStringLiteral("Shop Data/TavrelData.mdb")));
    storePath(path);
    const QStringList first = {QStringLiteral("Jobs")};
    const QStringList both = {QStringLiteral("Items"), QStringLiteral("Jobs")};
    for (const QStringList &gone : {first, both}) {
        SCOPED_TRACE(gone.join(QLatin1Char(' ')).toStdString());
        {
            platform::Database file;
            file.open(path, true);
            for (const QString &table : gone) {
                if (file.tableNames().contains(table))
                    file.deleteTable(table);
            }
        }
        prompts().clear();
        prompts().answer(IDOK);
        EXPECT_FALSE(OpenDatabase(&db()));
        const auto &shown = prompts().shown();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].text, QStringLiteral("The database %1 has no table %2: it is damaged or is not a shop "
                                                "database.\nPlease open the last copy of it.\n\n")
                                         .arg(QDir::toNativeSeparators(path), gone.join(QStringLiteral(", ")))
                                     + kClosing);
        EXPECT_EQ(shown[0].flags & platform::MB_ICONMASK, unsigned(platform::MB_ICONERROR));
        EXPECT_FALSE(db().isOpen());
    }

    // A field missing from a table is named at the start as the check names
    // it, not met later by the first window that reads it.
    const QString fieldless = makeDatabase(tempPath(QStringLiteral("Shop Data/Fieldless.mdb")));
    {
        platform::Database file;
        file.open(fieldless, true);
        file.deleteField(QStringLiteral("Jobs"), QStringLiteral("Title"));
    }
    storePath(fieldless);
    prompts().clear();
    prompts().answer(IDOK);
    EXPECT_FALSE(OpenDatabase(&db()));
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().shown()[0].text, QStringLiteral("The database %1 lacks the field Jobs.Title: it is damaged or "
                                                        "is not a shop database.\nPlease open the last copy of it.\n\n")
                                                 .arg(QDir::toNativeSeparators(fieldless))
                                             + kClosing);
    EXPECT_FALSE(db().isOpen());

    // A trigger and a view someone added: said at the start; the work goes on.
    const QString added = makeDatabase(tempPath(QStringLiteral("Shop Data/Added.mdb")));
    {
        platform::Database file;
        file.open(added, true);
        EXPECT_TRUE(file.foreignObjects().isEmpty()) << file.foreignObjects().join(QLatin1Char(',')).toStdString();
        file.executeNative(QStringLiteral("CREATE TRIGGER Audit AFTER DELETE ON Jobs BEGIN SELECT 1; END"));
        file.executeNative(QStringLiteral("CREATE VIEW OpenJobs AS SELECT JobNo FROM Jobs"));
    }
    storePath(added);
    prompts().clear();
    prompts().answer(IDOK);
    EXPECT_TRUE(OpenDatabase(&db()));
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_EQ(prompts().shown()[0].text,
              QStringLiteral("The database %1 holds a trigger or view the program does not know: trigger Audit on Jobs, "
                             "view OpenJobs.\nA trigger runs with every change the program makes; please have it "
                             "removed unless you know what it does.")
                  .arg(QDir::toNativeSeparators(added)));
    EXPECT_TRUE(db().isOpen());
}

TEST_F(OpenDatabaseTest, DamagedFileIsOfferedForRepair)
{
    const QString path = tempPath(QStringLiteral("Shop Data/TavrelData.mdb"));
    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    storePath(path);

    QString asked;
    SetRepairDatabaseStep([&](platform::Database *, const QString &question, const QString &file) {
        asked = question + QStringLiteral(" ") + file;
    });
    prompts().answer(IDOK);
    EXPECT_FALSE(OpenDatabase(&db()));
    EXPECT_TRUE(prompts().texts().first().startsWith(QStringLiteral("Cannot open database:\n")));
    EXPECT_EQ(asked, QStringLiteral("Do you want Tavrel to attempt to repair the database? ") + QDir::toNativeSeparators(path));

    // A file that opens but holds a damaged page is caught at the opening,
    // not at the first list that reads the page.
    QFile::remove(path);
    makeDatabase(path);
    ASSERT_GT(DamageLastLeafPage(path, "Customers"), 1);
    prompts().clear();
    asked.clear();
    prompts().answer(IDOK);
    EXPECT_FALSE(OpenDatabase(&db()));
    ASSERT_EQ(prompts().texts().size(), 1);
    EXPECT_TRUE(prompts().texts().first().startsWith(QStringLiteral("Cannot open database:\n")
                                                     + QDir::toNativeSeparators(path)
                                                     + QStringLiteral("\n\nError 3049 occured:")))
        << prompts().texts().first().toStdString();
    EXPECT_EQ(asked, QStringLiteral("Do you want Tavrel to attempt to repair the database? ") + QDir::toNativeSeparators(path));
}

// A file too large to be looked at while the start waits opens at once; its
// pages are looked at once the program is up, and a damaged one is then
// reported with the opening's own message, and the repair offered for the
// open file, as the maintenance menu offers it.
TEST_F(OpenDatabaseTest, ALargeFileIsCheckedOnceTheProgramIsUp)
{
    const QString path = makeDatabase(tempPath(QStringLiteral("Shop Data/TavrelData.mdb")));
    ASSERT_TRUE(PadDatabaseFile(path, 2500));
    storePath(path);
    QStringList asked;
    SetRepairDatabaseStep([&](platform::Database *database, const QString &question, const QString &file) {
        asked << question << file << (database->isOpen() ? QStringLiteral("open") : QStringLiteral("closed"));
    });
    const auto waitForTheCheck = [] {
        QElapsedTimer clock;
        clock.start();
        while (LaterPageCheckUnderway() && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };

    // Sound: nothing is said.
    ASSERT_TRUE(OpenDatabase(&db()));
    BeginLaterPageChecks();
    EXPECT_TRUE(LaterPageCheckUnderway());
    waitForTheCheck();
    EXPECT_FALSE(LaterPageCheckUnderway());
    EXPECT_TRUE(prompts().texts().isEmpty());
    EXPECT_TRUE(asked.isEmpty());
    db().close();

    // Damaged: the opening says nothing and goes on.
    ASSERT_GT(DamageLastLeafPage(path, "Customers"), 1);
    ASSERT_TRUE(OpenDatabase(&db()));
    EXPECT_TRUE(prompts().texts().isEmpty());
    EXPECT_TRUE(asked.isEmpty());
    prompts().answer(IDOK);
    waitForTheCheck();
    const QString native = QDir::toNativeSeparators(path);
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("Cannot open database:\n") + native
                          + QStringLiteral("\n\nError 3049 occured:\n\nCannot open database '") + native
                          + QStringLiteral("'. It may not be a database, or the file may be corrupt.\n\n")})
        << prompts().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(asked, (QStringList{QStringLiteral("Do you want Tavrel to attempt to repair the database?"), QString(),
                                  QStringLiteral("open")}));
}

TEST_F(OpenDatabaseTest, ARecordsetReopensAClosedDatabase)
{
    storePath(makeDatabase(tempPath(QStringLiteral("Shop Data/TavrelData.mdb"))));
    ASSERT_FALSE(db().isOpen());
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT * FROM Taxes"));
    EXPECT_TRUE(set.IsOpen());
    EXPECT_TRUE(db().isOpen());

    // A set held across a closing and reopening (a compaction, a posting)
    // reads its rows anew; one held while the database stays closed opens it
    // again through the opening sequence when requeried.
    CXDaoSet held;
    held.Open(CXDaoSet::dbOpenDynaset, QStringLiteral("[Terms]"));
    ASSERT_TRUE(held.IsOpen());
    const QString path = db().name();
    db().close();
    db().open(path);
    db().execute(QStringLiteral("INSERT INTO Terms ([No], Name, Days) VALUES (77, 'Net 77', 77)"));
    held.m_strFilter = QStringLiteral("[No] = 77");
    ASSERT_TRUE(held.RequeryOrOpen(true));
    EXPECT_EQ(held.GetFieldValue(QStringLiteral("Name")).toString(), QStringLiteral("Net 77"));
    held.SetFieldValue(QStringLiteral("Days"), platform::Value(78));
    EXPECT_TRUE(held.SafeUpdate());
    db().close();
    held.m_strFilter.clear();
    ASSERT_TRUE(held.RequeryOrOpen());
    EXPECT_TRUE(db().isOpen());
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
    held.m_strFilter = QStringLiteral("Days = 78");
    ASSERT_TRUE(held.RequeryOrOpen());
    set.Close();
    held.Close();

    // While the file cannot be found the set stays closed after the questions.
    db().close();
    storePath(tempPath(QStringLiteral("Gone/TavrelData.mdb")));
    prompts().answer(IDNO);
    prompts().answer(IDOK);
    set.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT * FROM Taxes"));
    EXPECT_FALSE(set.IsOpen());
    EXPECT_EQ(prompts().lastText(), kClosing);
}

// A file that another workstation holds alone is not damaged: the opening
// tells why it cannot open and offers no repair.
TEST_F(OpenDatabaseTest, FileInUseIsNotOfferedTheRepair)
{
    const QString path = makeDatabase(tempPath(QStringLiteral("Shop Data/TavrelData.mdb")));
    storePath(path);
    bool repairOffered = false;
    SetRepairDatabaseStep([&](platform::Database *, const QString &, const QString &) { repairOffered = true; });
    platform::Database other;
    other.open(path, true);
    prompts().answer(IDNO); // the error box's "more information?" if asked
    prompts().answer(IDOK);
    EXPECT_FALSE(OpenDatabase(&db()));
    EXPECT_FALSE(repairOffered);
    ASSERT_FALSE(prompts().shown().isEmpty());
    EXPECT_TRUE(prompts().shown().first().text.contains(QStringLiteral("3045"))) << prompts().shown().first().text.toStdString();
    for (const auto &shown : prompts().shown())
        EXPECT_NE(shown.text, QStringLiteral("Do you want Tavrel to attempt to repair the database?"));
    other.close();
}

// A full disk or a file marked read-only is no damage: the database opens for
// reading alone, the user is told once, and no repair is offered.
TEST_F(OpenDatabaseTest, AFullDiskOrAReadOnlyFileOpensForReading)
{
    const QString path = makeDatabase(tempPath(QStringLiteral("Shop Data/TavrelData.mdb")));
    storePath(path);
    bool repairOffered = false;
    SetRepairDatabaseStep([&](platform::Database *, const QString &, const QString &) { repairOffered = true; });
    const QString reading = QStringLiteral("\n\nTavrel opens the database for reading only: nothing can be saved until this is put right.");

    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    prompts().answer(IDOK);
    EXPECT_TRUE(OpenDatabase(&db()));
    EXPECT_TRUE(db().isReadOnly());
    EXPECT_EQ(prompts().texts(), QStringList{QDir::toNativeSeparators(path) + QStringLiteral(" is marked read-only.") + reading});
    db().close();
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));

    // No room for this workstation's entry in the lock file: no file may
    // grow, as on a full disk (a lock file linked to a full device is
    // refused as any link is).
    const QString lockFile = tempPath(QStringLiteral("Shop Data/TavrelData.ldb"));
    struct rlimit allowed {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &allowed), 0);
    struct rlimit none = allowed;
    none.rlim_cur = 0;
    const auto handler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    prompts().clear();
    prompts().answer(IDOK);
    const bool opened = OpenDatabase(&db());
    ::setrlimit(RLIMIT_FSIZE, &allowed);
    ::signal(SIGXFSZ, handler);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(db().isReadOnly());
    EXPECT_EQ(prompts().texts(),
              QStringList{QStringLiteral("The disk that holds ") + QDir::toNativeSeparators(path) + QStringLiteral(" is full.") + reading});
    EXPECT_FALSE(repairOffered);
    db().close();
    QFile::remove(lockFile);

    // With room again it opens for writing, without a word.
    prompts().clear();
    EXPECT_TRUE(OpenDatabase(&db()));
    EXPECT_FALSE(db().isReadOnly());
    EXPECT_TRUE(prompts().texts().isEmpty());
}
