#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CJobSet.h"
#include "estimating/CHtmlDlg.h"
#include "jobs/CJobDlg.h"
#include "jobs/JobHooks.h"
#include "views/CDlgOptions.h"

#include <QtCore/QObject>
#include <QtCore/QProcess>


namespace {

class JobItemCommands : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
        jobId = addJob(0, 1401, QStringLiteral("Title, Subtotal, Balance, TaxNo"), QStringLiteral("'Cards', 150, 150, 1"));
        itemId = addItem(jobId, 1, QStringLiteral("Business cards"), "100");
        addItem(jobId, 2, QStringLiteral("Letterhead"), "50");
    }
    void TearDown() override
    {
        GetJobHooks() = JobHooks();
        JobsTest::TearDown();
    }
    void run(std::function<void(CJobDlg &)> handler, bool preview = false, qint32 id = 0)
    {
        job = std::make_unique<CJobSet>();
        ASSERT_TRUE(job->FindById(id ? id : jobId, !preview));
        CJobDlg window(job.get(), preview, nullptr, nullptr);
        window.SetResultReceiver(&receiver);
        onDialog<CJobDlg>([&](CJobDlg &d) {
            handler(d);
            d.SendCommand(2);
            return d.result();
        });
        window.DoModal();
    }
    // Passwords per level: "one" ... "five"; the entry dialog types `typed`.
    void levelPasswords()
    {
        const char *words[] = {"one", "two", "three", "four", "five"};
        for (int n = 1; n <= 5; ++n)
            exec(QStringLiteral("UPDATE Passwords SET [Password] = '%1' WHERE [No] = %2")
                     .arg(QString::fromLatin1(words[n - 1]))
                     .arg(n));
        app->m_nSecurityLevel = -1;
        app->setDataEntryDialog([this](QString &value, int, const QString &, const QString &, const QString &) {
            ++passwordsAsked;
            value = typed;
            return int(platform::IDOK);
        });
    }
    int field(const char *column)
    {
        return scalar(QStringLiteral("SELECT %1 FROM Items WHERE ItemID = %2").arg(QString::fromLatin1(column)).arg(itemId))
            .toInt();
    }
    QString dump()
    {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {databasePath(), QStringLiteral(".dump")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    qint32 jobId = 0;
    qint32 itemId = 0;
    QString typed;
    QObject receiver;
    std::unique_ptr<CJobSet> job;
};

TEST_F(JobItemCommands, LockAtLevelThreeStoresMixFourAndUnlockAsksLevelThree)
{
    levelPasswords();
    typed = QStringLiteral("three");
    run([&](CJobDlg &d) {
        onDialog<CDlgOptions>([&](CDlgOptions &o) {
            EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Lock Item Price"));
            QStringList texts;
            for (int i = 0; i < o.GetEntryCount(); ++i)
                texts << o.entry(i).m_text;
            EXPECT_EQ(texts, QStringList({"Select a Password Protection Level:",
                                          "TOP LEVEL Protection (requires top level password to lock/unlock)",
                                          "Level 2", "Level 3", "Level 4", "Level 5",
                                          "LOW LEVEL Protection (no password is asked, just a Yes or No question "
                                          "to unlock)"}));
            EXPECT_TRUE(o.IsEntryChecked(1));
            o.tree()->SetOptionChecked(4, true);
            snapshot(o, QStringLiteral("lock-levels"));
            o.SendCommand(1);
            return o.result();
        });
        d.SendCommand(30528);
        EXPECT_EQ(d.itemList().GetSubItemImage(0, 8), 209);
    });
    EXPECT_EQ(field("Mix"), 4);
    EXPECT_EQ(passwordsAsked, 1);

    // Unlocking asks, then level 3: the level-4 password is refused.
    typed = QStringLiteral("four");
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDNO); // "not correct, try again?"
    run([&](CJobDlg &d) { d.SendCommand(30528); });
    EXPECT_EQ(field("Mix"), 4);
    typed = QStringLiteral("three");
    prompts().answer(platform::IDYES);
    run([&](CJobDlg &d) {
        d.SendCommand(30528);
        EXPECT_EQ(prompts().texts().value(prompts().texts().size() - 1),
                  QStringLiteral("Do you want to unlock the price of ITEM 1?"));
    });
    EXPECT_EQ(field("Mix"), 0);
}

TEST_F(JobItemCommands, ALevelOneItemAsksOnlyYesOrNoBeforeAReprice)
{
    levelPasswords();
    exec(QStringLiteral("UPDATE Items SET Mix = 1 WHERE ItemID = %1").arg(itemId));
    const QString before = dump();
    prompts().answer(platform::IDNO);
    run([&](CJobDlg &d) {
        d.SendCommand(30364);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("ITEM 1 - PRICE IS LOCKED. \n\nIf you reprice:\n - The current price may be lost.\n"
                                 " - The new price will remain locked.\n\nDo you want to reprice?"));
    });
    EXPECT_EQ(passwordsAsked, 0);
    EXPECT_EQ(dump(), before);
}

TEST_F(JobItemCommands, TaxToggledTwiceGivesBleedZeroAndTheFirstTax)
{
    const Money tax = scalar(QStringLiteral("SELECT Tax FROM Jobs WHERE JobID = %1").arg(jobId)).toMoney();
    prompts().answer(platform::IDYES);
    run([&](CJobDlg &d) {
        d.SendCommand(30527);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to make the ITEM 1 TAX-EXEMPT?"));
        EXPECT_EQ(d.itemList().GetItemText(0, 9), QStringLiteral("E"));
    });
    EXPECT_EQ(field("Bleed"), 1);
    prompts().answer(platform::IDYES);
    run([&](CJobDlg &d) {
        d.SendCommand(30527);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Do you want to make the ITEM 1 TAXABLE?"));
    });
    EXPECT_EQ(field("Bleed"), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Tax FROM Jobs WHERE JobID = %1").arg(jobId)).toMoney(), tax);
}

TEST_F(JobItemCommands, CommandsThatChangeItemsDoNothingInPreviewOrOnCreditInvoices)
{
    const qint32 credit = addJob(3, -1402, QStringLiteral("Title, Subtotal, Balance, Creator"),
                                 QStringLiteral("'Credit', -40, 0, 99"));
    addItem(credit, 1, QStringLiteral("Returned cards"), "-40");
    const QString before = dump();
    for (qint32 id : {jobId, credit}) {
        run(
            [&](CJobDlg &d) {
                for (int command : {30527, 30528, 30364})
                    d.SendCommand(command);
            },
            id == jobId, id);
    }
    EXPECT_EQ(dump(), before);

    // Deleting is refused on the credit invoice with its reason, and does
    // nothing in preview.
    prompts().answer(platform::IDOK);
    run([&](CJobDlg &d) { d.SendCommand(30632); }, false, credit);
    run([&](CJobDlg &d) { d.SendCommand(30632); }, true);
    EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Can not delete Items of CREDIT or CREDITED Invoices.")));
    EXPECT_EQ(prompts().pendingAnswers(), 0);
    EXPECT_EQ(dump(), before);
}

} // namespace

namespace {

class JobItemDeletion : public JobItemCommands
{
protected:
    qint32 addRow(int serNo, int itemNo, int subNo, const QString &description, int mix = 0)
    {
        exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, Sheets, "
                            "Status, ChargeQty, Mix) VALUES (%1, %2, %3, %4, '%5', %7, 0, 0, 1, 1, 500, %6)")
                 .arg(jobId)
                 .arg(serNo)
                 .arg(itemNo)
                 .arg(subNo)
                 .arg(description)
                 .arg(mix)
                 .arg(QStringLiteral("0.0001")));
        return scalar(QStringLiteral("SELECT Max(ItemID) FROM Items")).toInt();
    }
    // The job's rows as the sqlite3 program lists them: ItemNo|SubNo|SerNo|Description.
    QString rowsOf()
    {
        QProcess p;
        p.start(QStringLiteral("sqlite3"),
                {databasePath(), QStringLiteral("SELECT ItemNo, SubNo, SerNo, Description FROM Items WHERE JobID = %1 "
                                                "ORDER BY ItemNo, SubNo, SerNo")
                                     .arg(jobId)});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    void tick(const std::vector<qint32> &ids, bool shoot = false)
    {
        onDialog<CDlgOptions>([ids, shoot](CDlgOptions &o) {
            for (qint32 id : ids)
                o.tree()->SetOptionChecked(unsigned(id), true);
            if (shoot)
                snapshot(o, QStringLiteral("delete-list"));
            o.SendCommand(1);
            return o.result();
        });
    }
};

TEST_F(JobItemDeletion, AMainItemTakesItsSubItemsAndALockedItemStays)
{
    const qint32 main = addRow(0, 3, 1, QStringLiteral("Booklet | Cover "));
    addRow(1, 3, 1, QString());
    const qint32 sub2 = addRow(0, 3, 2, QStringLiteral("Booklet | Inside Pages: 16"));
    addRow(1, 3, 2, QString());
    addRow(0, 3, 3, QStringLiteral("Booklet | Bindery "));
    addRow(0, 4, 0, QStringLiteral("Posters"), 2);
    const qint32 posters = scalar(QStringLiteral("SELECT ItemID FROM Items WHERE ItemNo = 4")).toInt();
    Q_UNUSED(sub2);

    prompts().answer(platform::IDYES); // "Delete the checked Items now?"
    prompts().answer(platform::IDOK); // the locked item is refused
    run([&](CJobDlg &d) {
        onDialog<CDlgOptions>([&](CDlgOptions &o) {
            EXPECT_EQ(o.m_strRibbonTitle, QStringLiteral("Delete Checked Item(s)"));
            EXPECT_EQ(o.GetEntryText(sub2), QStringLiteral("      3.2 Booklet | Inside Pages: 16"));
            EXPECT_EQ(o.GetEntryText(posters), QStringLiteral("4.0 Posters"));
            EXPECT_FALSE(o.IsEntryChecked(main));
            o.tree()->SetOptionChecked(unsigned(main), true);
            o.tree()->SetOptionChecked(unsigned(posters), true);
            snapshot(o, QStringLiteral("delete-list"));
            o.SendCommand(1);
            return o.result();
        });
        d.SendCommand(30632);
        EXPECT_TRUE(prompts().texts().contains(
            QStringLiteral("Can not delete LOCKED Items.\n\nITEM 4 will not be deleted.")));
        EXPECT_EQ(d.itemCount(), 3) << prompts().texts().join(QStringLiteral("\n---\n")).toStdString();
    });
    EXPECT_EQ(rowsOf(), QStringLiteral("1|0|0|Business cards\n1|0|1|\n2|0|0|Letterhead\n2|0|1|\n4|0|0|Posters\n"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Subtotal FROM Jobs WHERE JobID = %1").arg(jobId)).toMoney(),
              money("150"));
}

TEST_F(JobItemDeletion, ASubItemGoesAlone)
{
    addRow(0, 3, 1, QStringLiteral("Booklet | Cover "));
    const qint32 sub2 = addRow(0, 3, 2, QStringLiteral("Booklet | Inside Pages: 16"));
    addRow(1, 3, 2, QString());
    prompts().answer(platform::IDYES);
    run([&](CJobDlg &d) {
        tick({sub2});
        d.SendCommand(30632);
    });
    EXPECT_EQ(rowsOf(), QStringLiteral("1|0|0|Business cards\n1|0|1|\n2|0|0|Letterhead\n2|0|1|\n3|1|0|Booklet | Cover \n"));
}

TEST_F(JobItemDeletion, AFailingDeletionChangesNothing)
{
    const qint32 sub = addRow(0, 3, 2, QStringLiteral("Extra"));
    QProcess p;
    p.start(QStringLiteral("sqlite3"),
            {databasePath(), QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON Items WHEN old.ItemNo = 3 BEGIN "
                                            "SELECT RAISE(ABORT, 'refused'); END;")});
    p.waitForFinished(30000);
    const QString before = dump();
    prompts().answer(platform::IDYES); // confirm
    prompts().answer(platform::IDOK); // the failure is said
    run([&](CJobDlg &d) {
        tick({sub, itemId});
        d.SendCommand(30632);
        EXPECT_TRUE(prompts().lastText().startsWith(
            QStringLiteral("The items could not be deleted; nothing was changed.")));
    });
    EXPECT_EQ(dump(), before);
}

} // namespace

#include "views/CDlgGrid.h"

namespace {

TEST_F(JobItemCommands, RepriceAllSkipsLockedItemsAndGivesOthersTheCustomersLevel)
{
    exec(QStringLiteral("UPDATE Items SET Mix = 2 WHERE ItemID = %1").arg(itemId));
    exec(QStringLiteral("UPDATE Items SET Side2 = 2 WHERE JobID = %1 and ItemNo = 2 and SerNo = 0").arg(jobId));
    prompts().answer(platform::IDYES);
    run([&](CJobDlg &d) {
        onDialog<CDlgGrid>([&](CDlgGrid &g) {
            EXPECT_EQ(g.m_strRibbonTitle, QStringLiteral("Job is Repriced"));
            EXPECT_EQ(g.m_wndGrid.GetCellText(0, 0), QStringLiteral("ITEM 1"));
            EXPECT_EQ(g.m_wndGrid.GetCellText(0, 5), QStringLiteral("Locked. Skipped Pricing"));
            EXPECT_EQ(g.m_wndGrid.GetCellText(1, 0), QStringLiteral("ITEM 2"));
            const QString remark = g.m_wndGrid.GetCellText(1, 5);
            EXPECT_TRUE(remark == QStringLiteral("Saved the Default Price") || remark == QStringLiteral("Same Price") ||
                        remark == QStringLiteral("Kept the Price-in-File"))
                << remark.toStdString();
            // The change shows for every priced item: 0.00 for the same price.
            EXPECT_TRUE(g.m_wndGrid.GetCellText(0, 4).isEmpty());
            if (remark == QLatin1String("Same Price")) {
                EXPECT_EQ(g.m_wndGrid.GetCellText(1, 4), QStringLiteral("0.00"));
            } else {
                EXPECT_FALSE(g.m_wndGrid.GetCellText(1, 4).isEmpty());
            }
            snapshot(g, QStringLiteral("reprice"));
            return 1;
        });
        d.SendCommand(30372);
    });
    EXPECT_EQ(scalar(QStringLiteral("SELECT Price FROM Items WHERE ItemID = %1").arg(itemId)).toMoney(), money("100"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Side2 FROM Items WHERE JobID = %1 and ItemNo = 2 and SerNo = 0").arg(jobId))
                  .toInt(),
              0);
}

} // namespace

namespace {

TEST_F(JobItemCommands, SubItemMakesAGroupAndAddsTheNextSubNumber)
{
    exec(QStringLiteral("UPDATE Items SET Width = 3.5, Height = 2 WHERE ItemID = %1").arg(itemId));
    prompts().answer(platform::IDYES);
    run([&](CJobDlg &d) {
        prompts().onDialog([](QDialog &) { return 2; }); // the new sub-item's specs, closed
        d.itemList().SelectItem(0);
        d.SendCommand(30379);
        // The group's header row sits above 1.1.
        EXPECT_EQ(d.itemList().GetItemImage(0), 337);
        EXPECT_EQ(d.itemList().GetItemText(0, 1), QStringLiteral("Business cards"));
    });
    QProcess p;
    p.start(QStringLiteral("sqlite3"),
            {databasePath(), QStringLiteral("SELECT ItemNo, SubNo, SerNo, Description, Width, Height FROM Items WHERE "
                                            "JobID = %1 ORDER BY ItemNo, SubNo, SerNo")
                                 .arg(jobId)});
    p.waitForFinished(30000);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              QStringLiteral("1|1|0|Business cards|3.5|2\n1|1|1|||\n1|2|0|Business cards|3.5|2\n"
                             "2|0|0|Letterhead||\n2|0|1|||\n"));
    // The new row holds numbers, not Null, where the money rules read them:
    // once priced at 20, the sub-item is taxable like the other two items.
    QProcess row;
    row.start(QStringLiteral("sqlite3"), {databasePath(), QStringLiteral("SELECT quote(Bleed), quote(Mix), quote(Regis) "
                                                                        "FROM Items WHERE JobID = %1 and ItemNo = 1 and "
                                                                        "SubNo = 2")
                                                             .arg(jobId)});
    row.waitForFinished(30000);
    EXPECT_EQ(QString::fromUtf8(row.readAllStandardOutput()), QStringLiteral("0|0|0\n"));
    exec(QStringLiteral("UPDATE Items SET Price = 20 WHERE JobID = %1 and ItemNo = 1 and SubNo = 2").arg(jobId));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Sum(Price) FROM Items WHERE JobID = %1 and SerNo = 0 and Bleed = 0")
                         .arg(jobId))
                  .toMoney(),
              money("170"));
}

} // namespace

#include "estimating/CListBoxDragDlg.h"

namespace {

TEST_F(JobItemCommands, RearrangeSwapsItemsWithTheirServices)
{
    const qint32 letterhead = scalar(QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 and ItemNo = 2 and "
                                                    "SerNo = 0").arg(jobId)).toInt();
    run([&](CJobDlg &d) {
        onDialog<CListBoxDragDlg>([&](CListBoxDragDlg &r) {
            EXPECT_EQ(r.m_strRibbonTitle, QStringLiteral("Rearrange Items"));
            r.SelectId(letterhead);
            r.SendCommand(30236); // first
            r.SendCommand(1);
            return r.result();
        });
        d.SendCommand(30159);
        EXPECT_TRUE(d.itemList().GetItemText(0, 1).startsWith(QStringLiteral("Letterhead")));
    });
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {databasePath(), QStringLiteral("SELECT ItemNo, SubNo, SerNo, Description, Price "
                                                                       "FROM Items WHERE JobID = %1 ORDER BY ItemNo, "
                                                                       "SubNo, SerNo").arg(jobId)});
    p.waitForFinished(30000);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              QStringLiteral("1|0|0|Letterhead|50\n1|0|1||50\n2|0|0|Business cards|100\n2|0|1||100\n"));
}

// The item's attachment chosen while another workstation attached another:
// asked about by the window's name, each as the window shows it; Cancel
// shows the window again with the document chosen.
TEST_F(JobItemCommands, ItemDocumentsAttachedMeanwhileElsewhereAreAskedAbout)
{
    const QString asked = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\nItem Documents: the "
        "other user's \"%1\", yours \"mine.pdf\"\n\nSave what you typed over it?\n\nYes saves yours, No keeps the "
        "other user's; your other changes are saved either way. Cancel saves nothing now.");
    struct Case
    {
        const char *what;
        const char *other; // the other workstation's attachment ("" removes it)
        QList<int> answers;
        int windows;       // times the window was shown
        const char *stored;
        QString theirs;    // as the question shows it
    };
    const Case cases[] = {
        {"mine kept", "b.pdf", {platform::IDYES}, 1, "mine.pdf", QStringLiteral("b.pdf")},
        {"theirs kept", "b.pdf", {platform::IDNO}, 1, "b.pdf", QStringLiteral("b.pdf")},
        {"removed meanwhile, mine kept", "", {platform::IDYES}, 1, "mine.pdf", QStringLiteral("None found")},
        {"cancelled, shown again with mine, then theirs", "b.pdf", {platform::IDCANCEL, platform::IDNO}, 2, "b.pdf",
         QStringLiteral("b.pdf")},
    };
    platform::Database other;
    other.open(databasePath());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Samples"));
        exec(QStringLiteral("INSERT INTO Samples (ItemID, Path) VALUES (%1, 'a.pdf')").arg(itemId));
        prompts().clear();
        for (int answer : c.answers)
            prompts().answer(answer);
        int windows = 0;
        run([&](CJobDlg &d) {
            for (int n = 0; n < c.windows; ++n)
                onDialog<CHtmlDlg>([&](CHtmlDlg &h) {
                    ++windows;
                    // Shown first with what is stored, again with the typing.
                    EXPECT_EQ(h.m_strDocument, windows == 1 ? QStringLiteral("a.pdf") : QStringLiteral("mine.pdf"));
                    if (windows == 1) {
                        other.execute(QStringLiteral("DELETE FROM Samples WHERE ItemID = %1").arg(itemId));
                        if (*c.other)
                            other.execute(QStringLiteral("INSERT INTO Samples (ItemID, Path) VALUES (%1, ?)").arg(itemId),
                                          {platform::Value(QString::fromLatin1(c.other))});
                    }
                    h.m_strDocument = QStringLiteral("mine.pdf");
                    return int(platform::IDOK);
                });
            d.SendCommand(30366);
        });
        EXPECT_EQ(windows, c.windows);
        QStringList expected;
        for (int n = 0; n < c.answers.size(); ++n)
            expected << asked.arg(c.theirs);
        EXPECT_EQ(prompts().texts(), expected);
        EXPECT_EQ(scalar(QStringLiteral("SELECT Path FROM Samples WHERE ItemID = %1").arg(itemId)).toString(),
                  QLatin1String(c.stored));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Samples")).toInt(), 1);
    }
}

} // namespace

#include "estimating/CDlgChart.h"

namespace {

TEST_F(JobItemCommands, TheCostChartAsksForTheRightToViewCost)
{
    levelPasswords();
    exec(QStringLiteral("UPDATE Passwords SET [Level] = 2 WHERE [No] = 48"));
    int charts = 0;
    // The level-2 password opens the chart; a level-5 one does not.
    typed = QStringLiteral("two");
    run([&](CJobDlg &d) {
        onDialog<CDlgChart>([&](CDlgChart &) {
            ++charts;
            return 2;
        });
        d.SendCommand(30430);
    });
    typed = QStringLiteral("five");
    prompts().answer(platform::IDNO);
    run([&](CJobDlg &d) { d.SendCommand(30430); });
    EXPECT_TRUE(prompts().texts().contains(
        QStringLiteral("The password you've typed is not correct.\n\nDo you want to try again?")));
    EXPECT_EQ(passwordsAsked, 2);
    EXPECT_EQ(charts, 1);
    EXPECT_EQ(prompts().pendingAnswers(), 0);
}

} // namespace
