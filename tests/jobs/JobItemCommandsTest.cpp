#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CJobSet.h"
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
}

} // namespace
