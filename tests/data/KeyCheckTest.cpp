#include "support/TestEnvironment.h"

#include "FixtureDatabase.h"
#include "ScriptedProgress.h"

#include "data/DatabaseHelpers.h"
#include "data/KeyCheck.h"
#include "data/RunProgress.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "data/TableReport.h"
#include "data/UpgradeUtilities.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QDir>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextLayout>
#include <QtGui/QTextTable>

using platform::IDNO;
using platform::IDOK;
using platform::IDYES;
using platform::Value;

namespace {

const QString kDuplicates = QStringLiteral("Found %1 duplicate record(s) of %2\n\nDelete duplicates?");

class KeyCheckTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        m_path = tempPath(QStringLiteral("TavrelData.mdb"));
        m_progress = std::make_shared<ScriptedProgress::Record>();
        SetRunProgressMaker([record = m_progress] { return std::make_unique<ScriptedProgress>(record); });
    }
    void TearDown() override
    {
        if (db().isOpen())
            db().close();
        SetRunProgressMaker(nullptr);
        SetHtmlPageViewer(nullptr);
        ClearRunLog();
        TavrelTest::TearDown();
    }
    platform::Database &db() { return SharedDatabase(); }
    void openNew()
    {
        CreateShopDatabase(m_path);
        db().open(m_path);
    }
    qint64 count(const QString &sql)
    {
        platform::Recordset set(db());
        set.open(platform::Recordset::Type::Snapshot, sql);
        return set.value(0).toInt64();
    }
    bool hasKey(const QString &table, const QString &field)
    {
        for (const platform::IndexDef &i : db().tableDef(table).indexes) {
            if (i.name == field && i.field == field && i.primary)
                return true;
        }
        return false;
    }
    // Jobs that lost their key: two jobs numbered 5 and one 7 (and, with
    // more, two numbered 8).
    void jobsWithDuplicates(bool more)
    {
        db().deleteIndex(QStringLiteral("Jobs"), QStringLiteral("JobID"));
        for (int id : {5, 7, 5})
            db().execute(QStringLiteral("INSERT INTO Jobs (JobID, JobNo) VALUES (%1, %2)").arg(id).arg(100 + id));
        if (more) {
            for (int id : {8, 8})
                db().execute(QStringLiteral("INSERT INTO Jobs (JobID, JobNo) VALUES (%1, 108)").arg(id));
        }
    }

    QString m_path;
    std::shared_ptr<ScriptedProgress::Record> m_progress;
};

} // namespace

TEST_F(KeyCheckTest, DuplicatesAreRemovedOnYesAndRowsWithoutKeyAlways)
{
    openNew();
    jobsWithDuplicates(false);
    db().deleteIndex(QStringLiteral("Customers"), QStringLiteral("CusNo"));
    db().execute(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (Null, 'Nobody')"));
    db().execute(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (-5, 105)"));

    prompts().answer(IDYES);
    QString log = QStringLiteral("old");
    EXPECT_EQ(CheckDatabaseKeys(log, &db()), QString());
    EXPECT_EQ(log, QString());
    EXPECT_EQ(prompts().texts(), QStringList{kDuplicates.arg(1).arg(QStringLiteral("Jobs.JobID"))});
    EXPECT_EQ(m_progress->titles, QStringList{QStringLiteral("Deleting %s duplicates in Jobs.[JobID]")});
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobID = 5")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Jobs WHERE JobID = 7")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Customers WHERE Name = 'Nobody'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), 0);
    EXPECT_TRUE(hasKey(QStringLiteral("Jobs"), QStringLiteral("JobID")));
    EXPECT_TRUE(hasKey(QStringLiteral("Customers"), QStringLiteral("CusNo")));

    // Again on the indexes it made: nothing to ask, nothing to log.
    prompts().clear();
    const QStringList jobs = TableContents(db(), QStringLiteral("Jobs"));
    EXPECT_EQ(CheckDatabaseKeys(log, &db()), QString());
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_EQ(TableContents(db(), QStringLiteral("Jobs")), jobs);
}

TEST_F(KeyCheckTest, AStoppedCheckKeepsWhatItMadeAndTheJobLocks)
{
    openNew();
    db().deleteIndex(QStringLiteral("Customers"), QStringLiteral("CusNo"));
    db().execute(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (-5, 105)"));
    int asked = 0;
    int total = 0;
    QString log;
    // Stopped before the last entry: the customers' key (early in the list)
    // is made, the job lock stays.
    // A step told again while it runs is a look at the window, not a step.
    int last = -1;
    EXPECT_FALSE(CheckDatabaseKeys(log, &db(), [&](int done, int all) {
        asked += done != last;
        last = done;
        total = all;
        return done < all - 1;
    }));
    EXPECT_EQ(asked, total);
    EXPECT_TRUE(hasKey(QStringLiteral("Customers"), QStringLiteral("CusNo")));
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), 1);
    // Run to the end, it is told the end and clears the locks.
    QList<int> steps;
    EXPECT_TRUE(CheckDatabaseKeys(log, &db(), [&](int done, int) {
        if (steps.isEmpty() || steps.last() != done)
            steps << done;
        return true;
    }));
    EXPECT_EQ(steps.size(), total + 1);
    EXPECT_EQ(steps.last(), total);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), 0);
}

TEST_F(KeyCheckTest, KeptOrPartlyRemovedDuplicatesLeaveTheKeyMissingAndLogged)
{
    openNew();
    jobsWithDuplicates(true);
    prompts().answer(IDNO);
    QString log;
    CheckDatabaseKeys(log, &db());
    EXPECT_EQ(prompts().texts(), QStringList{kDuplicates.arg(2).arg(QStringLiteral("Jobs.JobID"))});
    EXPECT_TRUE(log.startsWith(QStringLiteral("FAILED to create Jobs.JobID. Error 3022: ")));
    EXPECT_EQ(log.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Jobs")), 5);
    EXPECT_FALSE(hasKey(QStringLiteral("Jobs"), QStringLiteral("JobID")));

    // Stopped after the first value: the second keeps its duplicate.
    m_progress->stopAfterSteps = 1;
    prompts().clear();
    prompts().answer(IDYES);
    EXPECT_EQ(FindDuplicateKeys(QStringLiteral("Jobs"), QStringLiteral("JobID"), true), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Jobs")), 4);
    EXPECT_EQ(FindDuplicateKeys(QStringLiteral("Jobs"), QStringLiteral("JobID"), false), 1);
}

TEST_F(KeyCheckTest, JobLocksOfOtherWorkstationsAreClearedOnlyWhenConfirmed)
{
    openNew();
    db().execute(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (-9, 109)"));
    platform::Database other;
    other.open(m_path);

    prompts().answer(IDNO);
    ClearJobLocks(db());
    ASSERT_EQ(prompts().shown().size(), 1);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Other workstations have the database open.")));
    EXPECT_EQ(prompts().shown()[0].flags & platform::MB_DEFMASK, unsigned(platform::MB_DEFBUTTON2));
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), 1);

    prompts().answer(IDYES);
    ClearJobLocks(db());
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), 0);

    other.close();
    db().execute(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (-9, 109)"));
    prompts().clear();
    ClearJobLocks(db());
    EXPECT_TRUE(prompts().shown().isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT Count(*) FROM Options WHERE OptionID < 0")), 0);
}

TEST_F(KeyCheckTest, ReportListsAndDeletesTheIndexes)
{
    BuildDatabaseFromScript(FixtureScript(QStringLiteral("schema-2005.sql")), m_path);
    db().open(m_path);
    QString shown;
    SetHtmlPageViewer([&shown](const QString &page) { shown = page; });

    const QString oneLine = QStringLiteral(" style='white-space: nowrap'");
    const QString jobsRow = QStringLiteral("<tr><td%1>Jobs</td><td%1>3</td><td>CusNo (CusIdx), JobNo, JobID (PrimaryKey)"
                                           "&nbsp;</td><td>CusNo (CusIdx)&nbsp;</td></tr>").arg(oneLine);
    const QString page = ReportTablesAndIndexes(&db(), false);
    EXPECT_EQ(shown, page);
    EXPECT_TRUE(page.contains(QStringLiteral("<h2>") + db().name() + QStringLiteral("</h2><br><table class='blue'>"
                                                                                     "<tr><th%1>Table</th>").arg(oneLine)));
    EXPECT_TRUE(page.contains(jobsRow));
    EXPECT_TRUE(page.contains(
        QStringLiteral("<tr><td%1>PaperSizes</td><td%1>0</td><td>&nbsp;</td><td>&nbsp;</td></tr>").arg(oneLine)));
    EXPECT_TRUE(page.contains(
        QStringLiteral("<tr><th%1>39 Tables</th><th%1>39 Indexes</th><th> &nbsp;</th><th></th></tr></table>")
            .arg(oneLine)));
    // Shown at the HTML window's width in the default font, every table name
    // and count reads on one line and the lists break only between words.
    QTextDocument shownPage;
    shownPage.setHtml(page);
    shownPage.setTextWidth(780);
    ASSERT_GT(shownPage.size().height(), 0); // laid out
    QTextTable *table = nullptr;
    for (QTextFrame *frame : shownPage.rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable *>(frame)))
            break;
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columns(), 4);
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < 4; ++column) {
            const QTextBlock block = table->cellAt(row, column).firstCursorPosition().block();
            const QTextLayout *layout = block.layout();
            if (column < 2)
                EXPECT_EQ(layout->lineCount(), 1) << row << "/" << column << " " << block.text().toStdString();
            for (int line = 0; line + 1 < layout->lineCount(); ++line) {
                const QTextLine l = layout->lineAt(line);
                const QString text = block.text();
                const int end = l.textStart() + l.textLength();
                EXPECT_TRUE(end > 0 && (text.at(end - 1).isSpace() || text.at(end).isSpace()))
                    << row << "/" << column << " broken inside a word: " << text.toStdString();
            }
        }
    }

    shown.clear();
    const QString deleted = ReportTablesAndIndexes(&db(), true);
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_TRUE(deleted.contains(QStringLiteral("<td>CusNo (CusIdx), Deleted CusIdx, Deleted JobNo, Deleted PrimaryKey&nbsp;</td>")));
    EXPECT_TRUE(db().tableDef(QStringLiteral("Jobs")).indexes.isEmpty());
    EXPECT_TRUE(ReportTablesAndIndexes(&db(), false)
                    .contains(QStringLiteral("<th%1>39 Tables</th><th%1>0 Indexes</th>").arg(oneLine)));

    // A compound index is listed by its first field and its name, and noted,
    // even when its name is its fields run together.
    db().createIndex(QStringLiteral("Jobs"), {QStringLiteral("CusNoJobNo"), QStringLiteral("CusNo"), false, false,
                                              {QStringLiteral("JobNo")}});
    db().createIndex(QStringLiteral("Jobs"), {QStringLiteral("Title"), QStringLiteral("Title"), false, false});
    const QString compound = ReportTablesAndIndexes(&db(), false);
    EXPECT_TRUE(compound.contains(QStringLiteral("<tr><td%1>Jobs</td><td%1>2</td><td>Title, CusNo (CusNoJobNo)&nbsp;</td>"
                                                 "<td>CusNo (CusNoJobNo)&nbsp;</td></tr>")
                                      .arg(oneLine)))
        << compound.toStdString();
    db().close();

    // A file without tables: the heading and a total of nothing.
    const QString empty = tempPath(QStringLiteral("Empty.mdb"));
    platform::Database::create(empty);
    db().open(empty);
    const QString none = ReportTablesAndIndexes(&db(), false);
    EXPECT_TRUE(
        none.contains(QStringLiteral("<th>Note</th></tr><tr><th%1>0 Tables</th><th%1>0 Indexes</th>").arg(oneLine)));
}

TEST_F(KeyCheckTest, RowFieldsAreWrittenOnlyWhileTheValuesGoOn)
{
    BuildDatabaseFromScript(FixtureScript(QStringLiteral("schema-2005.sql")), m_path);
    db().open(m_path);
    const QString select = QStringLiteral("SELECT Reserved1, Reserved2, Reserved3 FROM Customers WHERE CusNo > 1000");
    const QString values = QStringLiteral("SELECT Reserved1 & '/' & Reserved2 & '/' & Reserved3 FROM Customers "
                                          "WHERE CusNo > 1000");
    // The second value empty: the third is not written either.
    EXPECT_TRUE(DbSetQueryRowFields(select, Value(9), Value(), Value(8), nullptr));
    EXPECT_EQ(TableContents(db(), values), (QStringList{"9/154/3", "9/2/1", "9/7/0"}));
    EXPECT_TRUE(DbSetQueryRowFields(select, Value(1), Value(2), Value(3), nullptr));
    EXPECT_EQ(TableContents(db(), values), (QStringList{"1/2/3", "1/2/3", "1/2/3"}));
    // A statement that cannot run: the error box, and false.
    prompts().answer(IDOK);
    EXPECT_FALSE(DbSetQueryRowFields(QStringLiteral("SELECT Nothing FROM Nowhere"), Value(1), Value(), Value(), nullptr));
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Error 3078 occured:")));
}
