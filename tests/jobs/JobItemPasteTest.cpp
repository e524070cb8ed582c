#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CJobSet.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemNew.h"
#include "estimating/CItemSpecs.h"
#include "estimating/CListBoxDragDlg.h"
#include "jobs/CJobDlg.h"
#include "jobs/JobHooks.h"
#include "platform/db/Database.h"
#include "views/CDlgOptions.h"

#include <QtCore/QProcess>
#include <QtTest/QTest>

namespace {

// The job window's copies of items: paste within the job (an item, a
// sub-item, a whole group), an item scanned from another job, and what a
// failure or another workstation's write lock leaves behind.
class JobItemPaste : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
        jobId = addJob(0, 1501, QStringLiteral("Title, Subtotal, Balance"), QStringLiteral("'Stationery', 220, 220"));
        cards = addItem(jobId, 1, QStringLiteral("--> Business cards {proof 2}"), "100");
        // Item 2 is a group 2.1, 2.2, 2.3, each with one service row.
        for (int sub = 1; sub <= 3; ++sub) {
            exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                                "Status, ChargeQty) VALUES (%1, 0, 2, %2, 'Letterhead part %2', 40, 0, 0, 1, 1, 500)")
                     .arg(jobId)
                     .arg(sub));
            group[sub] = scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
            exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                                "Status, ChargeQty) VALUES (%1, 1, 2, %2, '', 40, 0, 0, 1, 1, 500)")
                     .arg(jobId)
                     .arg(sub));
        }
    }
    void TearDown() override
    {
        platform::Database::setBusyTimeout(5000);
        GetJobHooks() = JobHooks();
        JobsTest::TearDown();
    }
    int run(std::function<void(CJobDlg &)> handler, bool preview = false, qint32 id = 0)
    {
        job = std::make_unique<CJobSet>();
        EXPECT_TRUE(job->FindById(id ? id : jobId, !preview));
        CJobDlg window(job.get(), preview, nullptr, nullptr);
        window.SetResultReceiver(&receiver);
        onDialog<CJobDlg>([&](CJobDlg &d) {
            handler(d);
            if (d.result() == 0)
                d.SendCommand(2);
            return d.result();
        });
        return window.DoModal();
    }
    QString cli(const QString &command) const
    {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {databasePath(), command});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    QString rows(int itemNo) const
    {
        return cli(QStringLiteral("SELECT ItemNo, SubNo, SerNo, Up, Description FROM Items WHERE JobID = %1 and ItemNo "
                                  "= %2 ORDER BY SubNo, SerNo")
                       .arg(jobId)
                       .arg(itemNo));
    }
    static void select(CJobDlg &d, qint32 itemId)
    {
        d.itemList().clearSelection();
        ASSERT_GE(d.itemList().FindItemByData(itemId, true), 0);
    }
    // Types a code as a keyboard-wedge scanner does: Shift and the kind's
    // digit, the digits, Shift and 3.
    static void scan(CJobDlg &d, int kind, qint32 number)
    {
        QWidget *target = &d.itemList();
        QTest::keyClick(target, Qt::Key_Shift);
        QTest::keyClick(target, Qt::Key(Qt::Key_0 + kind));
        for (QChar c : QString::number(number))
            QTest::keyClick(target, Qt::Key(Qt::Key_0 + c.digitValue()));
        QTest::keyClick(target, Qt::Key_Shift);
        QTest::keyClick(target, Qt::Key_3);
        runQueued();
    }
    qint32 jobId = 0;
    qint32 cards = 0;
    qint32 group[4] = {0, 0, 0, 0};
    std::unique_ptr<CJobSet> job;
    QObject receiver;
};

TEST_F(JobItemPaste, AGroupIsPastedAsANewItemWithEachSubItemAndItsServices)
{
    int specs = 0;
    prompts().answer(platform::IDYES);
    run([&](CJobDlg &d) {
        for (int i = 0; i < 3; ++i)
            prompts().onDialog([&](QDialog &) { ++specs; return 2; });
        select(d, group[1]);
        d.SendCommand(30369);
        EXPECT_EQ(prompts().texts().first(), QStringLiteral("Paste the selected Item and its Sub-Items?"));
    });
    EXPECT_EQ(specs, 3);
    EXPECT_EQ(rows(3), QStringLiteral("3|1|0|-%1|Letterhead part 1\n3|1|1|0|\n3|2|0|-%2|Letterhead part 2\n3|2|1|0|\n"
                                      "3|3|0|-%3|Letterhead part 3\n3|3|1|0|")
                           .arg(group[1])
                           .arg(group[2])
                           .arg(group[3]));
    // The source is untouched.
    EXPECT_EQ(cli(QStringLiteral("SELECT count(*) FROM Items WHERE JobID = %1 and ItemNo = 2").arg(jobId)),
              QStringLiteral("6"));
}

TEST_F(JobItemPaste, ASubItemGoesAfterTheLastOfItsGroupAndAPlainItemLosesItsArrowAndBraces)
{
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDYES);
    run([&](CJobDlg &d) {
        prompts().onDialog([](QDialog &) { return 2; });
        select(d, group[2]);
        d.SendCommand(30369);
        EXPECT_EQ(prompts().texts().first(), QStringLiteral("Paste the selected Sub-Item?"));
        prompts().onDialog([](QDialog &) { return 2; });
        select(d, cards);
        d.SendCommand(30369);
        EXPECT_EQ(prompts().texts().at(1), QStringLiteral("Paste the selected Item?"));
        // The new item is the current one.
        EXPECT_EQ(d.itemList().GetSelectedData(),
                  scalar(QStringLiteral("SELECT Max(ItemID) FROM Items WHERE SerNo = 0")).toInt());
    });
    EXPECT_EQ(rows(2).split(QLatin1Char('\n')).mid(6),
              (QStringList{QStringLiteral("2|4|0|-%1|Letterhead part 2").arg(group[2]), QStringLiteral("2|4|1|0|")}));
    // In an order the braced part and a leading arrow are dropped.
    EXPECT_EQ(rows(3), QStringLiteral("3|0|0|-%1|Business cards \n3|0|1|0|").arg(cards));
}

TEST_F(JobItemPaste, AFailingServiceRowTakesTheWholeItemBackAfterBoundedRetries)
{
    // The item's second service row cannot be written.
    exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, Status, "
                        "ChargeQty) VALUES (%1, 0, 1, 0, 'second service', 5, 0, 0, 1, 1, 500)")
             .arg(jobId));
    exec(QStringLiteral("UPDATE Items SET SerNo = 1, SortNo = 2 WHERE Description = 'second service'"));
    SharedDatabase().close();
    cli(QStringLiteral("CREATE TRIGGER no_copy BEFORE INSERT ON Items WHEN NEW.Description = 'second service' "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    SharedDatabase().open(databasePath());
    const QString before = cli(QStringLiteral(".dump"));
    prompts().answer(platform::IDOK); // the window notes the unpriced service on opening
    prompts().answer(platform::IDYES);
    for (int i = 0; i < 3; ++i)
        prompts().answer(platform::IDOK);
    prompts().answer(platform::IDNO); // the job's totals the opening refill moved are not kept
    run([&](CJobDlg &d) {
        select(d, cards);
        d.SendCommand(30369);
    });
    const QStringList texts = prompts().texts().mid(1, 4);
    ASSERT_EQ(texts.size(), 4) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(texts[1], QStringLiteral("Database is too busy to paste item!\nClick OK to try again."));
    EXPECT_EQ(texts[2], texts[1]);
    EXPECT_TRUE(texts[3].startsWith(QStringLiteral("The Item could not be pasted; nothing was changed.")));
    EXPECT_EQ(cli(QStringLiteral(".dump")), before);
}

TEST_F(JobItemPaste, AnotherWorkstationHoldingTheWriteLockMakesItemWritesRefuseCleanly)
{
    const QString before = cli(QStringLiteral(".dump"));
    // This workstation waits only briefly for the file.
    platform::Database::setBusyTimeout(100);
    SharedDatabase().close();
    SharedDatabase().open(databasePath());
    // A second process takes the file's write lock and keeps it.
    QProcess peer;
    peer.start(QStringLiteral("sqlite3"), {databasePath()});
    ASSERT_TRUE(peer.waitForStarted(5000));
    peer.write("BEGIN IMMEDIATE;\nUPDATE Jobs SET Title = 'peer' WHERE 0;\nSELECT 'held';\n");
    ASSERT_TRUE(peer.waitForReadyRead(10000));
    ASSERT_EQ(QString::fromUtf8(peer.readAll()).trimmed(), QStringLiteral("held"));

    prompts().answer(platform::IDYES);              // paste the item?
    for (int i = 0; i < 3; ++i)
        prompts().answer(platform::IDOK);           // busy, busy, given up
    prompts().answer(platform::IDYES);              // add a sub-item?
    prompts().answer(platform::IDOK);               // not added
    prompts().answer(platform::IDYES);              // delete the checked items now?
    prompts().answer(platform::IDOK);               // not deleted
    prompts().answer(platform::IDOK);               // not rearranged
    run([&](CJobDlg &d) {
        select(d, cards);
        d.SendCommand(30369);
        EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("The Item could not be pasted; nothing was changed.")));
        select(d, cards);
        d.SendCommand(30379);
        EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("The Sub-Item could not be added; nothing was changed.")));
        onDialog<CDlgOptions>([&](CDlgOptions &o) {
            o.tree()->SetOptionChecked(unsigned(cards), true);
            o.SendCommand(1);
            return o.result();
        });
        d.SendCommand(30632);
        EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("The items could not be deleted; nothing was changed.")));
        onDialog<CListBoxDragDlg>([&](CListBoxDragDlg &r) {
            r.SelectId(group[1]);
            r.SendCommand(30236); // to the top
            r.SendCommand(1);
            return r.result();
        });
        d.SendCommand(30159);
        EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("The items could not be rearranged; nothing was changed.")));
    });
    peer.write("ROLLBACK;\n.quit\n");
    peer.closeWriteChannel();
    ASSERT_TRUE(peer.waitForFinished(10000));
    EXPECT_EQ(cli(QStringLiteral(".dump")), before);
}

TEST_F(JobItemPaste, AScannedItemOfAnotherJobIsAddedAfterYesAndAScannedJobEndsTheWindow)
{
    // A quote's item, copied to orders with the customer's price level.
    const qint32 quote = addJob(1, 7001);
    const qint32 quoted = addItem(quote, 1, QStringLiteral("Quoted flyers"), "80");
    exec(QStringLiteral("UPDATE Customers SET PriceLevel = 2 WHERE CusNo = 100"));
    exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44323"));
    exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44323, 2048)"));
    prompts().answer(platform::IDNO);  // the first scan: not added
    prompts().answer(platform::IDYES); // the second: added
    const int result = run([&](CJobDlg &d) {
        scan(d, 7, quoted);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("Quoted flyers\n\nDo you want to add the Item you scanned to this job?"));
        EXPECT_EQ(cli(QStringLiteral("SELECT count(*) FROM Items WHERE JobID = %1 and ItemNo = 3").arg(jobId)),
                  QStringLiteral("0"));
        // A number that names no item asks nothing.
        scan(d, 7, 999999);
        EXPECT_EQ(prompts().texts().size(), 1);
        scan(d, 7, quoted);
        EXPECT_EQ(prompts().texts().size(), 2);
        // A job's code ends the window with the scan for its caller.
        scan(d, 6, quote);
    });
    EXPECT_EQ(result, 30598);
    EXPECT_EQ(rows(3), QStringLiteral("3|0|0|-%1|Quoted flyers\n3|0|1|0|").arg(quoted));
    EXPECT_EQ(cli(QStringLiteral("SELECT Side2 FROM Items WHERE JobID = %1 and ItemNo = 3 and SerNo = 0").arg(jobId)),
              QStringLiteral("2"));
}

TEST_F(JobItemPaste, AnItemCopiedThroughTheNewItemDialogIsTheItemAScanAdds)
{
    // A template item with an arrow, a braced note, a status and two
    // attached-file rows of which only the second names a file.
    const qint32 tmpl = addJob(2, 2001, QStringLiteral("CusNo, Title, DateIn"), QStringLiteral("100, 'Forms', #6/1/2024#"));
    const qint32 source = addItem(tmpl, 1, QStringLiteral("--> Order form {use blue ink}"), "60");
    exec(QStringLiteral("UPDATE Items SET Status = 9, Side2 = 0 WHERE ItemID = %1").arg(source));
    exec(QStringLiteral("INSERT INTO Samples (ItemID, Path) VALUES (%1, '')").arg(source));
    exec(QStringLiteral("INSERT INTO Samples (ItemID, Path) VALUES (%1, 'form.pdf')").arg(source));
    // Copies from templates into orders take the customer's price level.
    exec(QStringLiteral("UPDATE Customers SET PriceLevel = 3 WHERE CusNo = 100"));
    exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44324"));
    exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44324, 2048)"));
    app->WriteSettingInt(QStringLiteral("NewItem-From"), CItemNew::CustomerTemplates);
    app->WriteSettingInt(QStringLiteral("NewItem-ListBy"), CItemNew::ByDescription);

    int specs = 0;
    prompts().answer(platform::IDYES); // add the scanned item?
    run([&](CJobDlg &d) {
        onDialog<CItemNew>([&](CItemNew &n) {
            n.OnListClick(n.list().FindItemByData(source, false), 0);
            n.SendCommand(1);
            return n.result();
        });
        // A template's copy opens its specs, each way.
        for (int i = 0; i < 2; ++i)
            onDialog<CItemSpecs>([&](CItemSpecs &) {
                ++specs;
                return 2;
            });
        d.SendCommand(30361);
        scan(d, 7, source);
    });
    EXPECT_EQ(specs, 2);
    const auto copy = [&](int itemNo, const char *fields) {
        return cli(QStringLiteral("SELECT %1, (SELECT group_concat(Path, '+') FROM Samples WHERE Samples.ItemID = "
                                  "Items.ItemID) FROM Items WHERE JobID = %2 and ItemNo = %3 ORDER BY SerNo")
                       .arg(QString::fromLatin1(fields))
                       .arg(jobId)
                       .arg(itemNo));
    };
    // The item row: linked to its source, the default status (4), the
    // customer's price level, the arrow and the braced note gone, the one
    // sample with a path.
    EXPECT_EQ(copy(3, "SerNo, Up, Status, Side2, Description").split(QLatin1Char('\n')).first(),
              QStringLiteral("0|-%1|4|3|Order form |form.pdf").arg(source));
    const char *all = "SubNo, SerNo, Up, Status, Side2, Description, Price, Cost, ChargeQty, Sheets";
    EXPECT_EQ(copy(3, all), copy(4, all));
}

TEST_F(JobItemPaste, InPreviewPasteAndScansChangeNothing)
{
    const QString before = cli(QStringLiteral(".dump"));
    run(
        [&](CJobDlg &d) {
            select(d, cards);
            d.SendCommand(30369);
            scan(d, 7, cards);
        },
        true);
    EXPECT_TRUE(prompts().texts().isEmpty()) << prompts().texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(cli(QStringLiteral(".dump")), before);
}

} // namespace
