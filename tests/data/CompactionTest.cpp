#include "support/TestEnvironment.h"

#include "DamagedPage.h"
#include "FixtureDatabase.h"
#include "support/TestFiles.h"

#include "data/Compaction.h"
#include "data/DatabaseFiles.h"
#include "data/DatabaseMaintenance.h"
#include "data/DatabaseOpening.h"
#include "data/DatabaseHelpers.h"
#include "data/KeyCheck.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "data/TableRows.h"
#include "platform/Clock.h"
#include "platform/Money.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/Recordset.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;
using platform::Value;

namespace {

// A step of a progress, once: a step told again while it runs is a look at
// the window, not a step.
void recordStep(QList<QPair<int, int>> &steps, int done, int total)
{
    if (steps.isEmpty() || steps.last().first != done)
        steps << qMakePair(done, total);
}

const QString kCompactQuestion = QStringLiteral("This process will compact and reindex TavrelData.mdb.\n\nStart now?");
const QString kReminder = QStringLiteral("Remember to compact the database today.\n\nDo you want to start now?");

class CompactionTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(9, 0))); // a Monday
        QDir().mkpath(tempPath(QStringLiteral("Shop")));
        m_path = tempPath(QStringLiteral("Shop/TavrelData.mdb"));
    }
    void TearDown() override
    {
        if (db().isOpen())
            db().close();
        SetRepairDatabaseStep(nullptr);
        SetBeforeCheckingCopyStep(nullptr);
        SetUpgradeDatabaseStep(nullptr);
        ClearRunLog();
        TavrelTest::TearDown();
    }
    platform::Database &db() { return SharedDatabase(); }

    // A shop database with some hundreds of jobs and items, a third of them
    // deleted again so the file has room to give back, and two job locks.
    void makePopulated()
    {
        CreateShopDatabase(m_path);
        db().open(m_path);
        platform::Transaction work(db());
        for (int i = 1; i <= 300; ++i) {
            InsertTableRow(db(), QStringLiteral("Jobs"), {"JobNo", "Title", "CusNo", "Subtotal", "WOrderNote"},
                           {Value(5000 + i), Value(QStringLiteral("Job %1 for O'Brien").arg(i)), Value(10),
                            Value(Money::fromDouble(i * 1.25)), Value(QString(200, QLatin1Char('x')))});
            for (int n = 1; n <= 2; ++n)
                InsertTableRow(db(), QStringLiteral("Items"), {"JobID", "Description", "Note", "ItemNo"},
                               {Value(i), Value(QStringLiteral("Item %1.%2").arg(i).arg(n)),
                                Value(QString(150, QLatin1Char('n'))), Value(n)});
        }
        db().execute(QStringLiteral("DELETE FROM Items WHERE JobID MOD 3 = 0"));
        db().execute(QStringLiteral("DELETE FROM Jobs WHERE JobID MOD 3 = 0"));
        db().execute(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (-4, 5004)"));
        db().execute(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (-7, 5007)"));
        work.commit();
    }

    QMap<QString, QStringList> contents()
    {
        QMap<QString, QStringList> all;
        for (const QString &table : db().tableNames())
            all.insert(table, TableContents(db(), table));
        return all;
    }
    QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString integrity()
    {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db().handle(), "PRAGMA integrity_check", -1, &st, nullptr);
        QString result;
        if (sqlite3_step(st) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return result;
    }
    QStringList indexNames(const QString &table)
    {
        QStringList names;
        for (const platform::IndexDef &i : db().tableDef(table).indexes)
            names << i.name + (i.primary ? QStringLiteral("*") : QString());
        names.sort();
        return names;
    }
    QString compacted() { return platform::Settings::readString(QStringLiteral("Settings"), QStringLiteral("Compacted")); }

    // Jobs as files made before an AutoNumber key was the rowid keep it: the
    // counter a column with a unique index, its next number in jet_counters.
    void makeOlderJobsKey()
    {
        db().deleteIndex(QStringLiteral("Jobs"), QStringLiteral("JobID")); // the counter becomes a column
        db().executeNative(QStringLiteral("CREATE UNIQUE INDEX \"Jobs_JobID\" ON \"Jobs\" (\"JobID\")"));
        db().executeNative(QStringLiteral("INSERT INTO jet_indexes (tbl, name, field, sqlname, is_primary, is_unique) "
                                          "VALUES ('Jobs', 'JobID', 'JobID', 'Jobs_JobID', 1, 1)"));
        db().executeNative(QStringLiteral("CREATE TRIGGER \"jet_requ_Jobs_JobID\" BEFORE UPDATE OF \"JobID\" ON \"Jobs\" "
                                          "WHEN NEW.\"JobID\" IS NULL BEGIN SELECT RAISE(ABORT, 'JET 3058: %1'); END")
                               .arg(platform::dberr::text(platform::dberr::NullInIndex).replace(QLatin1Char('\''), QLatin1String("''"))));
    }
    bool jobsKeyIsRowid()
    {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db().handle(), "SELECT count(*) FROM pragma_table_info('Jobs') WHERE name = 'JobID' AND pk = 1",
                           -1, &st, nullptr);
        const bool rowid = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == 1;
        sqlite3_finalize(st);
        return rowid;
    }
    qint64 addJob(int jobNo)
    {
        db().execute(QStringLiteral("INSERT INTO Jobs (JobNo, Title) VALUES (%1, 'After')").arg(jobNo));
        platform::Recordset last(db());
        last.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = %1").arg(jobNo));
        return last.value(0).toInt64();
    }

    QString m_path;
};

} // namespace

TEST_F(CompactionTest, CompactionWithReindexKeepsEveryRowAndRestoresTheKeys)
{
    makePopulated();
    db().deleteIndex(QStringLiteral("Jobs"), QStringLiteral("JobNo"));
    db().createIndex(QStringLiteral("Jobs"), {QStringLiteral("CusIdx"), QStringLiteral("CusNo"), false, false});
    QMap<QString, QStringList> before = contents();
    before[QStringLiteral("Options")].removeIf([](const QString &row) { return row.startsWith(QLatin1Char('-')); });
    const qint64 sizeBefore = QFileInfo(m_path).size();

    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true);
    ASSERT_EQ(prompts().texts(),
              (QStringList{kCompactQuestion, QStringLiteral("Successfully compacted and indexed TavrelData.mdb.")}));

    ASSERT_TRUE(db().isOpen());
    EXPECT_FALSE(db().isExclusive());
    EXPECT_EQ(db().name(), QFileInfo(m_path).absoluteFilePath());
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
    EXPECT_EQ(contents(), before); // every row of every table, the job locks aside
    EXPECT_LT(QFileInfo(m_path).size(), sizeBefore);
    EXPECT_FALSE(QFileInfo::exists(tempPath(QStringLiteral("Shop/TavrelDataCompacted.mdb"))));
    EXPECT_EQ(compacted(), CompactedDateText());

    // Exactly the indexes of the key list, the layout's own keys included.
    EXPECT_EQ(indexNames(QStringLiteral("Jobs")),
              (QStringList{"Balance", "Creator", "CusNo", "JobID*", "JobNo", "JobType", "JobTypeJobNo", "JobTypeStatus", "PostingNo", "Status"}));
    EXPECT_EQ(indexNames(QStringLiteral("TodoTypes")), QStringList{QStringLiteral("ID*")});
    EXPECT_EQ(indexNames(QStringLiteral("Inventory")), QStringList{QStringLiteral("InvID*")});
    EXPECT_EQ(indexNames(QStringLiteral("Samples")), QStringList());

    // The file goes on working: a new job takes the next number.
    db().execute(QStringLiteral("INSERT INTO Jobs (JobNo, Title) VALUES (9999, 'After')"));
    platform::Recordset last(db());
    last.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = 9999"));
    EXPECT_EQ(last.value(0).toInt64(), 301);
    last.close();

    // The indexes were made in the new file: no page is left free, and a
    // second compaction does not make the file any larger.
    const auto freePages = [this] {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db().handle(), "PRAGMA freelist_count", -1, &st, nullptr);
        const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
        sqlite3_finalize(st);
        return n;
    };
    const qint64 sizeAfter = QFileInfo(m_path).size();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
    EXPECT_EQ(freePages(), 0);
    EXPECT_LE(QFileInfo(m_path).size(), sizeAfter);
}

// The job lists' index on two fields: a new file has it, and a file that lost
// it gets it back when opened and when compacted with reindexing, with its
// fields in order.
TEST_F(CompactionTest, TheJobListsTwoFieldIndexIsMadeNewOnOpeningAndByTheReindex)
{
    // The index as SQLite holds it.
    const auto made = [this] {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db().handle(), "SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Jobs' "
                           "AND name = 'Jobs_JobTypeJobNo'", -1, &st, nullptr);
        const QString sql = sqlite3_step(st) == SQLITE_ROW
            ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)))
            : QString();
        sqlite3_finalize(st);
        return sql;
    };
    const QString wanted = QStringLiteral("CREATE INDEX \"Jobs_JobTypeJobNo\" ON \"Jobs\" (\"JobType\", \"JobNo\")");
    const auto drop = [&] {
        db().deleteIndex(QStringLiteral("Jobs"), QStringLiteral("JobTypeJobNo"));
        ASSERT_EQ(made(), QString());
    };
    makePopulated();
    EXPECT_EQ(made(), wanted);

    drop();
    db().close();
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("TavrelPath"), m_path);
    SetUpgradeDatabaseStep([](platform::Database *database) { return database->isOpen(); });
    ASSERT_TRUE(OpenDatabase(&db()));
    SetUpgradeDatabaseStep(nullptr);
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_EQ(made(), wanted);

    drop();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
    EXPECT_EQ(made(), wanted);
    // The check's list now finds nothing missing.
    EXPECT_TRUE(MissingKeyIndexes(db()).isEmpty());
}

TEST_F(CompactionTest, CompactionWithoutReindexKeepsTheIndexes)
{
    makePopulated();
    db().createIndex(QStringLiteral("Jobs"), {QStringLiteral("CusIdx"), QStringLiteral("CusNo"), false, false});
    const QStringList indexes = indexNames(QStringLiteral("Jobs"));
    const QMap<QString, QStringList> before = contents();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), QStringLiteral("Compact without reindexing?"), QString(), false);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted."));
    EXPECT_EQ(indexNames(QStringLiteral("Jobs")), indexes);
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
}

TEST_F(CompactionTest, AnOlderFilesAutoNumberKeyBecomesTheRowidWhenReindexedWithItsCounterKept)
{
    makePopulated();
    makeOlderJobsKey();
    ASSERT_FALSE(jobsKeyIsRowid());
    db().execute(QStringLiteral("DELETE FROM Jobs WHERE JobID > 290")); // numbers up to 300 were given
    const QStringList jobs = TableContents(db(), QStringLiteral("Jobs"));
    const QStringList items = TableContents(db(), QStringLiteral("Items"));

    // Compacted alone, the file keeps its layout and its counter.
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), QStringLiteral("Compact without reindexing?"), QString(), false);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted."));
    EXPECT_FALSE(jobsKeyIsRowid());
    EXPECT_EQ(TableContents(db(), QStringLiteral("Jobs")), jobs);

    // Reindexed, the key made again is the rowid: the same rows, the key
    // listed as before, and the next number where it was.
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
    EXPECT_TRUE(jobsKeyIsRowid());
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
    EXPECT_EQ(TableContents(db(), QStringLiteral("Jobs")), jobs);
    EXPECT_EQ(TableContents(db(), QStringLiteral("Items")), items);
    EXPECT_EQ(indexNames(QStringLiteral("Jobs")),
              (QStringList{"Balance", "Creator", "CusNo", "JobID*", "JobNo", "JobType", "JobTypeJobNo", "JobTypeStatus", "PostingNo", "Status"}));
    EXPECT_EQ(addJob(9999), 301);
    db().close();
    db().open(m_path);
    EXPECT_TRUE(jobsKeyIsRowid());
    EXPECT_EQ(addJob(9998), 302);
}

TEST_F(CompactionTest, DamagedIndexIsRebuiltAndEveryRowFoundByItsKey)
{
    makePopulated();
    // The page of the JobNo index overwritten with the page of the CusNo
    // index: a sound page with the wrong entries, so lookups by job number
    // find nothing while the rows are all there.
    const auto pageOf = [this](const QString &index) {
        sqlite3_stmt *st = nullptr;
        const QByteArray sql = QStringLiteral("SELECT min(pageno) FROM dbstat WHERE name = (SELECT sqlname FROM "
                                              "jet_indexes WHERE tbl = 'Jobs' AND name = '%1')")
                                   .arg(index)
                                   .toUtf8();
        sqlite3_prepare_v2(db().handle(), sql.constData(), -1, &st, nullptr);
        const int page = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : 0;
        sqlite3_finalize(st);
        return page;
    };
    const int jobNo = pageOf(QStringLiteral("JobNo"));
    const int cusNo = pageOf(QStringLiteral("CusNo"));
    int pageSize = 0;
    {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db().handle(), "PRAGMA page_size", -1, &st, nullptr);
        pageSize = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : 0;
        sqlite3_finalize(st);
    }
    ASSERT_GT(jobNo, 1);
    ASSERT_GT(cusNo, 1);
    const QMap<QString, QStringList> before = contents();
    db().close();
    {
        QFile f(m_path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(qint64(cusNo - 1) * pageSize);
        const QByteArray page = f.read(pageSize);
        f.seek(qint64(jobNo - 1) * pageSize);
        f.write(page);
    }
    db().open(m_path);
    // Every job number looked up through the index, as the file's own
    // engine does it.
    const auto foundByKey = [this] {
        int found = 0;
        sqlite3_stmt *all = nullptr;
        sqlite3_stmt *one = nullptr;
        sqlite3_prepare_v2(db().handle(), "SELECT JobNo FROM Jobs NOT INDEXED", -1, &all, nullptr);
        sqlite3_prepare_v2(db().handle(), "SELECT count(*) FROM Jobs INDEXED BY Jobs_JobNo WHERE JobNo = ?1", -1, &one,
                           nullptr);
        while (sqlite3_step(all) == SQLITE_ROW) {
            sqlite3_bind_int64(one, 1, sqlite3_column_int64(all, 0));
            if (sqlite3_step(one) == SQLITE_ROW)
                found += sqlite3_column_int(one, 0);
            sqlite3_reset(one);
        }
        sqlite3_finalize(all);
        sqlite3_finalize(one);
        return found;
    };
    ASSERT_LT(foundByKey(), 200); // the damage hides rows
    ASSERT_NE(integrity(), QStringLiteral("ok"));

    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true);
    ASSERT_EQ(prompts().texts(),
              (QStringList{kCompactQuestion, QStringLiteral("Successfully compacted and indexed TavrelData.mdb.")}));
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
    EXPECT_EQ(foundByKey(), 200);
    QMap<QString, QStringList> after = contents();
    QMap<QString, QStringList> expected = before;
    expected[QStringLiteral("Options")].removeIf([](const QString &row) { return row.startsWith(QLatin1Char('-')); });
    EXPECT_EQ(after, expected);
}

TEST_F(CompactionTest, DamagedTablePageIsReportedByTableAndCount)
{
    makePopulated();
    // Damage one page of item rows: the rows on it cannot be read; the rest
    // are kept and the loss is told, by table and count.
    const int items = int(TableContents(db(), QStringLiteral("Items")).size());
    const QStringList jobs = TableContents(db(), QStringLiteral("Jobs"));
    db().close();
    ASSERT_GT(DamageLastLeafPage(m_path, "Items"), 1);
    db().open(m_path);

    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true);
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_EQ(integrity(), QStringLiteral("ok"));
    const int kept = int(TableContents(db(), QStringLiteral("Items")).size());
    ASSERT_GT(kept, 0) << prompts().lastText().toStdString();
    ASSERT_LT(kept, items);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Items: %1 row(s) could not be read and are not in the repaired file.\n\n").arg(items - kept));
    EXPECT_EQ(TableContents(db(), QStringLiteral("Jobs")), jobs);
    EXPECT_EQ(compacted(), CompactedDateText());
    EXPECT_FALSE(QFileInfo::exists(tempPath(QStringLiteral("Shop/TavrelDataCompacted.mdb"))));
}

TEST_F(CompactionTest, DamagedLeavesAtTheStartOfATableCostOnlyTheirOwnRows)
{
    // One leaf of a table destroyed: zeroed or its header overwritten. Every
    // row that a plain read by its rowid still finds is kept, the loss is
    // told by table and count, and the repair ends. Jobs: 500 rows over some
    // thirty leaves, counted by its indexes. Payments has no index but its
    // key: three leaves, each in turn; its loss is counted from the rowids
    // that the damaged leaf can have held. Where the file's record of the
    // highest number given lags the rows (34 of 120), it bounds nothing: the
    // loss of the last leaf is told without a count, never left unsaid.
    struct Case
    {
        const char *table;
        int leaf;
        bool zeroed;
        int rows;
        const char *loss;
        int recorded = 0; // the highest number the file records, when made to lag
    };
    const QList<Case> cases = {
        {"Jobs", 0, true, 500, "%1"},
        {"Jobs", 2, false, 500, "%1"},
        {"Payments", 0, true, 120, "up to %1"},
        {"Payments", 1, true, 120, "up to %1"},
        {"Payments", 2, true, 120, "up to %1"},
        {"Payments", 1, false, 120, "up to %1"},
        {"Payments", 2, true, 120, nullptr, 34},
        {"Payments", 1, true, 120, "up to %1", 34},
    };
    for (const Case &c : cases) {
        const QString table = QLatin1String(c.table);
        SCOPED_TRACE(QStringLiteral("%1 leaf %2").arg(table).arg(c.leaf).toStdString());
        if (db().isOpen())
            db().close();
        QFile::remove(m_path);
        CreateShopDatabase(m_path);
        db().open(m_path);
        {
            platform::Transaction work(db());
            for (int i = 1; i <= c.rows; ++i) {
                if (table == QLatin1String("Jobs"))
                    InsertTableRow(db(), table, {"JobNo", "Title", "WOrderNote"},
                                   {Value(5000 + i), Value(QStringLiteral("Job %1").arg(i)), Value(QString(200, QLatin1Char('w')))});
                else
                    InsertTableRow(db(), table, {"CusNo", "Amount", "Reference", "Appliedto"},
                                   {Value(10 + i % 7), Value(Money::fromWhole(i)), Value(QStringLiteral("Check %1").arg(i)),
                                    Value(QString(60, QLatin1Char('a')))});
            }
            work.commit();
        }
        if (c.recorded)
            db().executeNative(QStringLiteral("UPDATE sqlite_sequence SET seq = %1 WHERE name = '%2'").arg(c.recorded).arg(table));
        int page = 0;
        int onIt = 0;
        int pageSize = 0;
        int leaves = 0;
        {
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare_v2(db().handle(),
                               "SELECT pageno, ncell, (SELECT page_size FROM pragma_page_size), (SELECT count(*) FROM "
                               "dbstat WHERE name = ?2 AND pagetype = 'leaf') FROM dbstat WHERE name = ?2 AND pagetype = "
                               "'leaf' ORDER BY path LIMIT 1 OFFSET ?1",
                               -1, &st, nullptr);
            sqlite3_bind_int(st, 1, c.leaf);
            sqlite3_bind_text(st, 2, c.table, -1, SQLITE_STATIC);
            ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
            page = sqlite3_column_int(st, 0);
            onIt = sqlite3_column_int(st, 1);
            pageSize = sqlite3_column_int(st, 2);
            leaves = sqlite3_column_int(st, 3);
            sqlite3_finalize(st);
        }
        if (table == QLatin1String("Payments"))
            ASSERT_EQ(leaves, 3);
        ASSERT_GT(onIt, 5);
        ASSERT_LT(onIt, 100);
        db().close();
        {
            QFile f(m_path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            f.seek(qint64(page - 1) * pageSize);
            f.write(c.zeroed ? QByteArray(pageSize, '\0') : QByteArray(16, '\x7f'));
        }
        // The rows a plain read by rowid still finds.
        int readable = 0;
        {
            sqlite3 *raw = nullptr;
            ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(m_path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
            sqlite3_stmt *st = nullptr;
            const QByteArray sql = QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(table).toUtf8();
            sqlite3_prepare_v2(raw, sql.constData(), -1, &st, nullptr);
            for (int rowid = 1; rowid <= c.rows; ++rowid) {
                sqlite3_bind_int(st, 1, rowid);
                readable += sqlite3_step(st) == SQLITE_ROW ? 1 : 0;
                sqlite3_reset(st);
            }
            sqlite3_finalize(st);
            sqlite3_close(raw);
        }
        ASSERT_EQ(readable, c.rows - onIt);
        db().open(m_path);
        prompts().clear();
        prompts().answer(IDYES);
        prompts().answer(IDOK);
        CompactDatabase(&db(), kCompactQuestion, QString(), true);
        ASSERT_TRUE(db().isOpen());
        EXPECT_EQ(integrity(), QStringLiteral("ok"));
        EXPECT_EQ(int(TableContents(db(), table).size()), readable);
        EXPECT_EQ(prompts().lastText(),
                  c.loss ? QStringLiteral("%1: %2 row(s) could not be read and are not in the repaired file.\n\n")
                               .arg(table, QString::fromLatin1(c.loss).arg(onIt))
                         : QStringLiteral("%1: some rows could not be read and are not in the repaired file.\n\n").arg(table));
        // The record is brought up to the rows kept: a new row takes a number
        // past the highest of them.
        if (c.recorded) {
            sqlite3_stmt *st = nullptr;
            const QByteArray sql = QStringLiteral("SELECT (SELECT seq FROM sqlite_sequence WHERE name = '%1') >= "
                                                  "(SELECT max(rowid) FROM %1)")
                                       .arg(table)
                                       .toUtf8();
            sqlite3_prepare_v2(db().handle(), sql.constData(), -1, &st, nullptr);
            EXPECT_EQ(sqlite3_step(st), SQLITE_ROW);
            EXPECT_EQ(sqlite3_column_int(st, 0), 1);
            sqlite3_finalize(st);
        }
    }
}

// The compacted file takes the place of the shop file with its mode and
// group: the workstations that share it through its group still open it.
TEST_F(CompactionTest, TheCompactedFileKeepsTheShopFilesModeAndGroup)
{
    CreateShopDatabase(m_path);
    const QByteArray file = QFile::encodeName(m_path);
    const gid_t other = OtherGroupOfThisUser();
    const mode_t mask = ::umask(022);
    for (const mode_t mode : {mode_t(0600), mode_t(0640)}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(::chmod(file.constData(), mode), 0);
        if (other != gid_t(-1))
            ASSERT_EQ(::chown(file.constData(), uid_t(-1), other), 0);
        db().open(m_path);
        prompts().clear();
        prompts().answer(IDYES);
        prompts().answer(IDOK);
        CompactDatabase(&db(), kCompactQuestion, QString(), true);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
        db().close();
        struct stat st {};
        ASSERT_EQ(::stat(file.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        if (other != gid_t(-1))
            EXPECT_EQ(st.st_gid, other);
    }
    ::umask(mask);

    // A link swapped in for the compacted file at the last moment: the file
    // it names keeps its mode, and the shop file is never replaced by it.
    const QString privatePath = tempPath(QStringLiteral("Private.txt"));
    const QByteArray privateName = QFile::encodeName(privatePath);
    ASSERT_TRUE(WriteTestFile(privatePath, "private"));
    ASSERT_EQ(::chmod(privateName.constData(), 0600), 0);
    const QString work = tempPath(QStringLiteral("Shop/TavrelDataCompacted.mdb"));
    SetBeforePlacingStep([&](const QString &finished) {
        ASSERT_EQ(finished, work);
        ASSERT_EQ(::unlink(QFile::encodeName(work).constData()), 0);
        ASSERT_EQ(::symlink(privateName.constData(), QFile::encodeName(work).constData()), 0);
    });
    db().open(m_path);
    const QStringList jobs = TableContents(db(), QStringLiteral("Jobs"));
    prompts().clear();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true);
    SetBeforePlacingStep(nullptr);
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("Error 17 occurred while replacing %1:\nThe finished file TavrelDataCompacted.mdb was "
                             "replaced by another file before it could be put in place; TavrelData.mdb was left as it "
                             "was.")
                  .arg(m_path));
    EXPECT_TRUE(db().isOpen());
    EXPECT_EQ(TableContents(db(), QStringLiteral("Jobs")), jobs);
    db().close();
    struct stat st {};
    ASSERT_EQ(::lstat(privateName.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0600));
    EXPECT_EQ(ReadTestFile(privatePath), QByteArray("private"));
    ASSERT_EQ(::lstat(file.constData(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, mode_t(0640));
    EXPECT_FALSE(QFileInfo::exists(work) || QFileInfo(work).isSymLink());
}

// The copy is checked after it is made: a copy damaged on the way (a failing
// disk, another program writing into it) never takes the shop file's place.
TEST_F(CompactionTest, ADamagedCopyNeverReplacesTheShop)
{
    makePopulated();
    db().close();
    const QByteArray original = fileBytes(m_path);
    const QString work = tempPath(QStringLiteral("Shop/TavrelDataCompacted.mdb"));
    const QString context = QStringLiteral("Cannot compact %1\n\nError 3049 occured:\n\n").arg(m_path);
    // The copy is named as the file at fault, never the shop's own.
    const QString unreadable = context
        + QStringLiteral("Cannot open database 'TavrelDataCompacted.mdb'. It may not be a database, or the file may be "
                         "corrupt.\n\n");
    // What the engine's check finds follows the copy's full name.
    const QString unsound = context
        + QStringLiteral("Cannot open database '%1'. It may not be a database, or the file may be corrupt.\n\n")
              .arg(work);

    struct
    {
        const char *damage;
        std::function<void(const QString &)> step;
        QString shown; // the whole text, or its start when it ends in "..."
    } damages[] = {
        {"a page of the Jobs table", [](const QString &copy) { ASSERT_GT(DamageLastLeafPage(copy, "Jobs"), 0); },
         unreadable},
        {"the file's header",
         [](const QString &copy) {
             QFile f(copy);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             ASSERT_EQ(f.write(QByteArray(100, 'z')), 100);
         },
         unreadable},
        {"an index page with another index's entries",
         [](const QString &copy) { ASSERT_TRUE(CopyIndexPage(copy, "Jobs", "CusNo", "JobNo")); },
         unsound + QStringLiteral("...")},
        // Not damage but a second name (a hard link) given to the copy: the
        // shop file would be reachable, and changed, through it.
        {"a second name of the copy",
         [this](const QString &copy) {
             ASSERT_EQ(::link(QFile::encodeName(copy).constData(),
                              QFile::encodeName(tempPath(QStringLiteral("Elsewhere.mdb"))).constData()),
                       0);
         },
         QStringLiteral("Error 17 occurred while replacing %1:\nThe finished file TavrelDataCompacted.mdb was "
                        "replaced by another file before it could be put in place; TavrelData.mdb was left as it was.")
             .arg(m_path)},
    };
    for (const auto &d : damages) {
        SCOPED_TRACE(d.damage);
        db().open(m_path);
        SetBeforeCheckingCopyStep([&](const QString &copy) {
            EXPECT_EQ(copy, work);
            d.step(copy);
        });
        prompts().clear();
        prompts().answer(IDYES);
        prompts().answer(IDOK);
        CompactDatabase(&db(), kCompactQuestion, QString(), true);
        SetBeforeCheckingCopyStep(nullptr);
        const QStringList texts = prompts().texts();
        ASSERT_EQ(texts.size(), 2);
        EXPECT_EQ(texts[0], kCompactQuestion);
        if (d.shown.endsWith(QStringLiteral("..."))) {
            // The engine's first finding: a row its index does not hold.
            EXPECT_TRUE(texts[1].startsWith(d.shown.chopped(3))) << texts[1].toStdString();
            EXPECT_TRUE(texts[1].contains(QStringLiteral("Jobs_JobNo"))) << texts[1].toStdString();
            EXPECT_TRUE(texts[1].endsWith(QStringLiteral("\n\n")));
        } else {
            EXPECT_EQ(texts[1], d.shown);
        }
        EXPECT_TRUE(db().isOpen());
        EXPECT_FALSE(db().isExclusive());
        EXPECT_TRUE(compacted().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(work));
        db().close();
        EXPECT_EQ(fileBytes(m_path), original);
    }
}

TEST_F(CompactionTest, DeclinedOrRefusedCompactionChangesNothing)
{
    CreateShopDatabase(m_path);
    db().open(m_path);
    prompts().answer(IDNO);
    CompactDatabase(&db(), kCompactQuestion, QString(), true);
    EXPECT_EQ(prompts().shown().size(), 1);
    EXPECT_TRUE(db().isOpen());

    // Another workstation has the file open: no compaction, shared again.
    platform::Database other;
    other.open(m_path);
    const QByteArray original = fileBytes(m_path);
    prompts().clear();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true);
    ASSERT_EQ(prompts().shown().size(), 2);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot open database:\n")
                                                + QFileInfo(m_path).absoluteFilePath() + QStringLiteral("\n\nError 3045")));
    EXPECT_TRUE(db().isOpen());
    EXPECT_FALSE(db().isExclusive());
    EXPECT_TRUE(compacted().isEmpty());
    other.close();
    db().close();
    EXPECT_EQ(fileBytes(m_path), original);
}

TEST_F(CompactionTest, ProgressFollowsTheCopyAndStopLeavesTheFileAsItWas)
{
    makePopulated();
    db().close();
    const QByteArray original = fileBytes(m_path);
    db().open(m_path);

    // Stopped at the third step: the file is untouched and no copy is left.
    QList<QPair<int, int>> seen;
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true, [&](int done, int total) {
        recordStep(seen, done, total);
        return done < 2;
    });
    ASSERT_EQ(prompts().texts(),
              (QStringList{kCompactQuestion, QStringLiteral("Compacting was stopped. TavrelData.mdb is unchanged.")}));
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen.last().first, 2);
    EXPECT_GT(seen.last().second, 10); // every table and index is a step
    EXPECT_FALSE(QFileInfo::exists(tempPath(QStringLiteral("Shop/TavrelDataCompacted.mdb"))));
    EXPECT_TRUE(compacted().isEmpty());
    ASSERT_TRUE(db().isOpen());
    EXPECT_FALSE(db().isExclusive());
    db().close();
    EXPECT_EQ(fileBytes(m_path), original);

    // Let run, it counts every step up to the end.
    db().open(m_path);
    seen.clear();
    prompts().clear();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true, [&](int done, int total) {
        recordStep(seen, done, total);
        return true;
    });
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.last(), qMakePair(seen.last().second, seen.last().second));
    EXPECT_EQ(seen.size(), seen.last().second + 1);
}

// A step that takes long (a table of 600,000 rows copied, the copy given
// back its room and checked) looks at the progress meanwhile, the step told
// again; Stop answered to such a look ends the compaction in the middle of
// the statement, and the file stays as it was.
TEST_F(CompactionTest, ALongStepLooksAtTheProgressAndAStopThereLeavesTheFileAsItWas)
{
    makePopulated();
    ASSERT_EQ(sqlite3_exec(db().handle(),
                           "CREATE TABLE Bulk (n INTEGER, t TEXT); WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT "
                           "x + 1 FROM c WHERE x < 600000) INSERT INTO Bulk SELECT x, printf('row %d of the bulk table', "
                           "x) FROM c",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    // Jobs enough that making one of their indexes is a long statement.
    ASSERT_EQ(sqlite3_exec(db().handle(),
                           "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 100000) INSERT "
                           "INTO Jobs (JobNo, Title, CusNo) SELECT 100000 + x, printf('Bulk job %d', x), x % 900 FROM c",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    db().close();
    const QByteArray original = fileBytes(m_path);
    enum Where { InCopy, InCheck, WhileIndexesGo, WithinAKey };
    struct Case
    {
        const char *name;
        Where where;
    };
    for (const Case c : {Case{"stopped while a table is copied", InCopy}, Case{"stopped while the copy is checked", InCheck},
                         Case{"stopped while the old indexes are deleted", WhileIndexesGo},
                         Case{"stopped while a key's index is made", WithinAKey}}) {
        SCOPED_TRACE(c.name);
        db().open(m_path);
        prompts().clear();
        prompts().answer(IDYES);
        prompts().answer(IDOK);
        // Stop at the first look (a step told a second time) from the step
        // `from` on; nothing is told after the stop.
        const auto stopAtLook = [](bool stop, int &looks, int from = 0) {
            return [stop, &looks, from, last = -1, stopped = false](int done, int) mutable {
                EXPECT_FALSE(stopped) << "told " << done << " after the stop";
                if (done == last) {
                    ++looks;
                    stopped = stop && done >= from;
                    return !stopped;
                }
                last = done;
                return true;
            };
        };
        int copyLooks = 0;
        int reindexLooks = 0;
        int checkLooks = 0;
        CompactDatabase(&db(), kCompactQuestion, QString(), true, stopAtLook(c.where == InCopy, copyLooks),
                        stopAtLook(c.where == WhileIndexesGo || c.where == WithinAKey, reindexLooks,
                                   c.where == WithinAKey ? 1 : 0),
                        stopAtLook(c.where == InCheck, checkLooks));
        EXPECT_EQ(prompts().texts(),
                  (QStringList{kCompactQuestion, QStringLiteral("Compacting was stopped. TavrelData.mdb is unchanged.")}));
        EXPECT_EQ(copyLooks, c.where == InCopy ? 1 : copyLooks);
        EXPECT_GE(copyLooks, 1);
        EXPECT_EQ(reindexLooks > 0, c.where != InCopy);
        EXPECT_EQ(checkLooks, c.where == InCheck ? 1 : 0);
        EXPECT_FALSE(QFileInfo::exists(tempPath(QStringLiteral("Shop/TavrelDataCompacted.mdb"))));
        EXPECT_FALSE(QFileInfo::exists(tempPath(QStringLiteral("Shop/TavrelDataCompacted.mdb.packed"))));
        EXPECT_TRUE(compacted().isEmpty());
        ASSERT_TRUE(db().isOpen());
        db().close();
        EXPECT_EQ(fileBytes(m_path), original);
    }
}

TEST_F(CompactionTest, TheReindexShowsItsOwnProgressAndStopLeavesTheFileAsItWas)
{
    makePopulated();
    db().close();
    const QByteArray original = fileBytes(m_path);
    db().open(m_path);
    const int keys = int(KeyCheckList().size());

    // Stopped at its fourth key: the copy is dropped, as at every other step.
    QList<QPair<int, int>> copied;
    QList<QPair<int, int>> reindexed;
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(
        &db(), kCompactQuestion, QString(), true,
        [&](int done, int total) {
            recordStep(copied, done, total);
            return true;
        },
        [&](int done, int total) {
            recordStep(reindexed, done, total);
            return done < 3;
        });
    EXPECT_EQ(prompts().texts(),
              (QStringList{kCompactQuestion, QStringLiteral("Compacting was stopped. TavrelData.mdb is unchanged.")}));
    ASSERT_FALSE(copied.isEmpty());
    EXPECT_EQ(copied.last().first, copied.last().second); // the copy's window closed before the reindex
    EXPECT_EQ(reindexed, (QList<QPair<int, int>>{{0, keys}, {1, keys}, {2, keys}, {3, keys}}));
    EXPECT_TRUE(compacted().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(tempPath(QStringLiteral("Shop/TavrelDataCompacted.mdb"))));
    ASSERT_TRUE(db().isOpen());
    EXPECT_FALSE(db().isExclusive());
    db().close();
    EXPECT_EQ(fileBytes(m_path), original);

    // Let run: one step per key and the end.
    db().open(m_path);
    reindexed.clear();
    prompts().clear();
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    CompactDatabase(&db(), kCompactQuestion, QString(), true, CompactProgress(), [&](int done, int total) {
        recordStep(reindexed, done, total);
        return true;
    });
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted and indexed TavrelData.mdb."));
    EXPECT_EQ(reindexed.size(), keys + 1);
    EXPECT_EQ(reindexed.last(), qMakePair(keys, keys));
    EXPECT_EQ(compacted(), CompactedDateText());
}

TEST_F(CompactionTest, RepairOfTheOpening)
{
    // A file that opens: compacted from its path and opened for sharing.
    CreateShopDatabase(m_path);
    prompts().answer(IDOK);
    CompactDatabase(&db(), QString(), m_path, true);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Successfully compacted and indexed TavrelData.mdb.")});
    EXPECT_TRUE(db().isOpen());
    EXPECT_FALSE(db().isExclusive());
    db().close();

    // Not a database at all: the opening's error, the offer, and one plain
    // report that it cannot be compacted; the file is left as it is.
    QFile broken(m_path);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write(QByteArray(8192, 'z'));
    broken.close();
    platform::Settings::writeString(QStringLiteral("Settings"), QStringLiteral("TavrelPath"), m_path);
    InstallDatabaseMaintenance();
    prompts().clear();
    prompts().answer(IDOK);
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    EXPECT_FALSE(OpenDatabase(&db()));
    const QStringList texts = prompts().texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Cannot open database:\n")));
    EXPECT_EQ(texts[1], QStringLiteral("Do you want Tavrel to attempt to repair the database?"));
    EXPECT_TRUE(texts[2].startsWith(QStringLiteral("Cannot compact ") + m_path + QStringLiteral("\n\nError 3049 occured:")));
    EXPECT_FALSE(db().isOpen());
    EXPECT_EQ(fileBytes(m_path), QByteArray(8192, 'z'));
}

TEST_F(CompactionTest, PathsKeepTheirCase)
{
    EXPECT_EQ(CompactedFilePath(QStringLiteral("/srv/Shop/TAVRELDATA.MDB")), QStringLiteral("/srv/Shop/TAVRELDATACompacted.mdb"));
    EXPECT_EQ(CompactedFilePath(QStringLiteral("/srv/a.mdb.d/TavrelData.mdb")),
              QStringLiteral("/srv/a.mdb.d/TavrelDataCompacted.mdb"));
    EXPECT_EQ(BackupFilePath(QStringLiteral("/srv/Shop/TavrelData.mdb"), QDate(2026, 12, 6)),
              QStringLiteral("/srv/Shop/TavrelData-2026-12-06.mdb"));

    const QString upper = tempPath(QStringLiteral("Shop/TAVRELDATA.MDB"));
    CreateShopDatabase(upper);
    db().open(upper);
    prompts().answer(IDOK);
    CompactDatabase(&db(), QString(), QString(), false);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Successfully compacted."));
    const QStringList files = QDir(tempPath(QStringLiteral("Shop"))).entryList({QStringLiteral("*.mdb")}, QDir::Files);
    EXPECT_EQ(files.join(QLatin1Char(',')).toStdString(), "TAVRELDATA.MDB");
    EXPECT_EQ(db().name(), QFileInfo(upper).absoluteFilePath());
}

TEST_F(CompactionTest, ReminderOnTheChosenWeekdaysUntilCompacted)
{
    CreateShopDatabase(m_path);
    db().open(m_path);
    const auto setDays = [](int days) {
        platform::Settings::writeInt(QStringLiteral("Settings"), QStringLiteral("CompactOpt"), days);
    };

    RemindCompact(); // never by default
    EXPECT_TRUE(prompts().shown().isEmpty());

    setDays(2); // Mondays
    prompts().answer(IDNO);
    RemindCompact();
    EXPECT_EQ(prompts().texts(), QStringList{kReminder});
    EXPECT_TRUE(compacted().isEmpty());

    prompts().clear(); // declined: asked again at the next start that day
    prompts().answer(IDYES);
    prompts().answer(IDOK);
    RemindCompact();
    EXPECT_EQ(prompts().texts(), (QStringList{kReminder, QStringLiteral("Successfully compacted and indexed TavrelData.mdb.")}));
    EXPECT_EQ(compacted(), CompactedDateText());

    prompts().clear(); // done today: quiet
    RemindCompact();
    EXPECT_TRUE(prompts().shown().isEmpty());

    platform::Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(9, 0))); // Tuesday
    RemindCompact();
    EXPECT_TRUE(prompts().shown().isEmpty());
    setDays(127);
    prompts().answer(IDNO);
    RemindCompact();
    EXPECT_EQ(prompts().texts(), QStringList{kReminder});
}
