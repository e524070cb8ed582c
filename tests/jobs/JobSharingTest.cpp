#include "JobsFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "data/CJobSet.h"
#include "estimating/CItemCosts.h"
#include "estimating/CItemSpecs.h"
#include "jobs/CJobDlg.h"
#include "platform/PromptWatch.h"
#include "views/CDlgOptions.h"
#include "views/CDlgRibbon.h"

#include <QtCore/QProcess>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

namespace {

class JobSharing : public JobsTest
{
protected:
    void SetUp() override
    {
        JobsTest::SetUp();
        setJobWindowSettings(QStringLiteral("0,0,0,0,0,1,1,0,0,0,0,"));
    }
    // The sqlite3 command-line shell on the database file: what another
    // program sees of it.
    QString sqlite(const QString &command)
    {
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"), {databasePath(), command});
        EXPECT_TRUE(shell.waitForFinished(60000));
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
        return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
    }
    QString lockRows() { return sqlite(QStringLiteral("SELECT OptionID FROM Options WHERE OptionID < 0 ORDER BY 1 DESC")); }
    qint32 order(qint32 jobNo)
    {
        return addJob(0, jobNo, QStringLiteral("Title, TermsNo, ViaDue, ShiptoNo, BuyerNo"),
                      QStringLiteral("'Order %1', 1, 1, 4, 7").arg(jobNo));
    }
};

} // namespace

TEST_F(JobSharing, MovingOntoAJobLockedElsewhereKeepsTheCurrentJob)
{
    const qint32 a = order(3001);
    const qint32 b = order(3002);
    const qint32 c = order(3003);
    CXListCtrl list;
    list.FillFromSql(QStringLiteral("SELECT JobNo, JobID FROM Jobs WHERE JobType = 0 ORDER BY JobNo"),
                     QStringLiteral("JobID"));
    ASSERT_EQ(list.GetItemCount(), 3);
    list.FindItemByData(a, true);

    // The jobs view locks the job it opens; another workstation has job B.
    CJobSet job;
    ASSERT_TRUE(job.FindById(a, true));
    ASSERT_TRUE(job.Lock(true));
    QProcess peer;
    peer.setProgram(QStringLiteral(TAVREL_JOB_PEER));
    peer.setArguments({databasePath(), QStringLiteral("lock"), QString::number(b)});
    peer.start();
    ASSERT_TRUE(peer.waitForFinished(60000));
    ASSERT_EQ(QString::fromUtf8(peer.readAllStandardOutput()).trimmed(), QStringLiteral("result 1"));
    EXPECT_EQ(lockRows(), QStringLiteral("-%1\n-%2").arg(a).arg(b));

    CJobDlg window(&job, false, &list, nullptr);
    QObject receiver;
    window.SetResultReceiver(&receiver);
    onDialog<CJobDlg>([&](CJobDlg &d) {
        // Next is job B: its lock is refused, and job A stays shown,
        // current and locked.
        prompts().answer(platform::IDNO);
        d.SendCommand(59650);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Job 3002 is in use and locked!\nDo you want to unlock it?"));
        EXPECT_EQ(d.job()->m_JobID, a);
        EXPECT_EQ(d.recordBar().GetItemText(30283), QStringLiteral("3001"));
        EXPECT_EQ(list.GetSelectedData(), a);
        EXPECT_EQ(lockRows(), QStringLiteral("-%1\n-%2").arg(a).arg(b));

        // The last job is free: the lock moves with the record.
        d.SendCommand(59649);
        EXPECT_EQ(d.job()->m_JobID, c);
        EXPECT_EQ(d.recordBar().GetItemText(30283), QStringLiteral("3003"));
        EXPECT_EQ(d.recordBar().GetItemText(30282), QStringLiteral("Order 3003"));
        EXPECT_EQ(lockRows(), QStringLiteral("-%1\n-%2").arg(b).arg(c));

        // A job deleted meanwhile is no target either.
        exec(QStringLiteral("DELETE FROM Jobs WHERE JobID = %1").arg(a));
        d.SendCommand(59648);
        EXPECT_EQ(d.job()->m_JobID, c);
        EXPECT_EQ(lockRows(), QStringLiteral("-%1\n-%2").arg(b).arg(c));
        d.SendCommand(2);
        return d.result();
    });
    EXPECT_EQ(window.DoModal(), 2);
}

TEST_F(JobSharing, AFailedSaveLeavesTheJobAndTheAuditTrailAsTheyWere)
{
    const qint32 id = addJob(3, 3100, QStringLiteral("Title, Subtotal, Balance, TermsNo, DateShipped"),
                             QStringLiteral("'Posted', 50, 50, 1, #5/1/2024#"));
    addItem(id, 1, QStringLiteral("Cards"), "50");
    CDlgRibbon receivables(9001, nullptr);
    CJobSet job;
    ASSERT_TRUE(job.FindById(id, false));

    // The audit row refused, and the job refused after its audit row.
    const char *const triggers[] = {
        "CREATE TRIGGER refuse BEFORE INSERT ON AuditTrail BEGIN SELECT RAISE(ABORT, 'audit refused'); END;",
        "CREATE TRIGGER refuse BEFORE UPDATE ON Jobs BEGIN SELECT RAISE(ABORT, 'job refused'); END;"};
    for (const char *trigger : triggers) {
        sqlite(QString::fromLatin1(trigger));
        const QString before = sqlite(QStringLiteral(".dump"));
        CJobDlg window(&job, true, nullptr, &receivables);
        onDialog<CJobDlg>([&](CJobDlg &d) -> int {
            EXPECT_EQ(d.job()->GetEditMode(), int(CXDaoSet::dbEditNone));
            d.job()->SafeEdit();
            d.job()->m_Paid = money("-50");
            d.job()->RecalcTotals(false);
            prompts().answer(platform::IDOK);
            EXPECT_FALSE(d.CheckAndSave(99));
            EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Cannot save ")));
            // The change is still there to be saved again.
            EXPECT_EQ(d.job()->m_Paid, money("-50"));
            EXPECT_EQ(d.job()->GetEditMode(), int(CXDaoSet::dbEditInProgress));
            EXPECT_TRUE(d.isVisible());
            prompts().answer(platform::IDNO);
            d.SendCommand(2);
            return d.result();
        });
        window.DoModal();
        EXPECT_EQ(sqlite(QStringLiteral(".dump")), before) << trigger;
        sqlite(QStringLiteral("DROP TRIGGER refuse;"));
        ASSERT_TRUE(job.FindById(id, false));
    }

    // Without the trigger the same save writes both.
    CJobDlg window(&job, true, nullptr, &receivables);
    onDialog<CJobDlg>([&](CJobDlg &d) {
        d.job()->SafeEdit();
        d.job()->m_Paid = money("-50");
        d.job()->RecalcTotals(false);
        EXPECT_TRUE(d.CheckAndSave(99));
        d.SendCommand(2);
        return d.result();
    });
    window.DoModal();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance FROM AuditTrail WHERE JobNo = 3100")),
              QStringLiteral("-50|-50"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobID = %1").arg(id)),
              QStringLiteral("-50|0"));
}

// Two workstations on one order: A saved a new title and, through an item's
// price, new figures; B, still showing the order as it read it, saves. B's
// own fields go onto A's row, A's figures stay with A's items, and a field
// both changed is put to B.
TEST_F(JobSharing, AJobSavedAfterAnotherWorkstationsSaveKeepsBothAndAsksAboutTheSameField)
{
    struct Case
    {
        const char *what;
        const char *titleByB; // nullptr: left alone
        int answer;           // 0: nothing asked
        QString asked;
        QString stored;       // Title|PO|Subtotal|Balance afterwards
        const char *memoByB = nullptr; // the Memo to Customer typed by B
    } cases[] = {
        {"B's P.O. onto A's title and figures", nullptr, 0, QString(),
         QStringLiteral("Cards REV A|PO-7781|75|75")},
        {"both changed the title: A's kept", "Cards for May", platform::IDNO,
         QStringLiteral("Another user has saved this record since you opened it, and changed the same field:\n\nTitle: "
                        "the other user's \"Cards REV A\", yours \"Cards for May\"\n\nSave what you typed over it?\n\n"
                        "Yes saves yours, No keeps the other user's; your other changes are saved either way. Cancel "
                        "saves nothing now."),
         QStringLiteral("Cards REV A|PO-7781|75|75")},
        // The memo is named as the window labels it, not by its column
        // (InvoiceNote).
        {"both changed the memo: named as the window labels it", nullptr, platform::IDYES,
         QStringLiteral("Another user has saved this record since you opened it, and changed the same field:\n\nMemo "
                        "to Customer: the other user's \"Call before delivery\", yours \"Leave at the dock\"\n\nSave "
                        "what you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are "
                        "saved either way. Cancel saves nothing now."),
         QStringLiteral("Cards REV A|PO-7781|75|75"), "Leave at the dock"},
    };
    CDlgRibbon jobs(9001, nullptr);
    qint32 jobNo = 3200;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const qint32 id = addJob(0, ++jobNo, QStringLiteral("Title, Subtotal, Balance, TermsNo, ViaDue, ShiptoNo, BuyerNo"),
                                 QStringLiteral("'Cards', 50, 50, 1, 1, 4, 7"));
        addItem(id, 1, QStringLiteral("Cards"), "50");
        CJobSet job;
        ASSERT_TRUE(job.FindById(id, false));
        prompts().clear();
        CJobDlg window(&job, true, nullptr, &jobs);
        onDialog<CJobDlg>([&](CJobDlg &d) {
            // A, on another workstation: a new title, and an item's price with the order's figures.
            sqlite(QStringLiteral("UPDATE Items SET Price = 75 WHERE JobID = %1; UPDATE Jobs SET Title = 'Cards REV A', "
                                  "Subtotal = 75, Balance = 75, InvoiceNote = 'Call before delivery' WHERE JobID = %1;")
                       .arg(id));
            d.job()->SafeEdit();
            d.job()->m_PO = QStringLiteral("PO-7781");
            if (c.titleByB)
                d.job()->m_Title = QString::fromLatin1(c.titleByB);
            if (c.memoByB)
                d.job()->m_InvoiceNote = QString::fromLatin1(c.memoByB);
            if (c.answer != 0)
                prompts().answer(c.answer);
            EXPECT_TRUE(d.CheckAndSave(99));
            EXPECT_EQ(prompts().texts(), c.asked.isEmpty() ? QStringList() : QStringList{c.asked});
            // The window holds the order as stored now.
            EXPECT_EQ(d.job()->m_Title, QStringLiteral("Cards REV A"));
            EXPECT_EQ(d.job()->m_Subtotal, money("75"));
            const QString totals = d.notesBar().GetItemTip(30525);
            EXPECT_TRUE(totals.contains(QStringLiteral("75.00")) && !totals.contains(QStringLiteral("50.00")))
                << totals.toStdString();
            d.SendCommand(2);
            return d.result();
        });
        window.DoModal();
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Title, PO, Subtotal, Balance FROM Jobs WHERE JobID = %1").arg(id)), c.stored);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT InvoiceNote FROM Jobs WHERE JobID = %1").arg(id)),
                  QString::fromLatin1(c.memoByB ? c.memoByB : "Call before delivery"));
    }
}

// Two workstations on one order: B's item window is open on item 2 while
// another workstation changes the order. B's Save & Close writes the item's
// rows and the order's figures together, or nothing: after the other
// workstation saved the order's figures (an item of its own), after it
// posted the order, or when the order's row cannot be written. The job
// window's item commands follow the same rule: each row with a command runs
// it on item 2 after the other workstation's change.
TEST_F(JobSharing, AnItemAndItsJobsFiguresAreSavedTogetherOrNotAtAll)
{
    const QString figuresSaved =
        QStringLiteral("Another user has saved the figures of Order %1 (an item of it, or its totals) since you "
                       "opened it.\n\nNothing of this item was saved. The job has been read again: Save & Close "
                       "saves your changes onto it as it is now, with its figures worked from all its items.");
    const QString figuresSavedFor =
        QStringLiteral("Another user has saved the figures of Order %1 (an item of it, or its totals) since you "
                       "opened it.\n\n%2 The job has been read again: do it again to make the change on the job "
                       "as it is now.");
    const QString postedFor = QStringLiteral("Order %1 has been posted since you opened it: a posted job's items are "
                                             "not changed here.\n\n%2");
    const char *const otherFigures = "UPDATE Items SET Price = 75 WHERE JobID = %1 and ItemNo = 1; "
                                     "UPDATE Jobs SET Subtotal = 105, Balance = 105 WHERE JobID = %1;";
    const char *const otherPosts = "UPDATE Jobs SET JobType = 3, PostingNo = 7, Status = 0 WHERE JobID = %1;";
    const QString oneItem = QStringLiteral("Nothing of this item was saved.");
    // Item 2's tax and lock marks | the job's items | the service rows' sum |
    // Subtotal.
    const char *const commandShows =
        "SELECT (SELECT ifnull(Bleed, 0) || ifnull(Mix, 0) FROM Items WHERE JobID = %1 and ItemNo = 2 and SubNo < 2 "
        "and SerNo = 0), (SELECT Count(*) FROM Items WHERE JobID = %1 and SerNo = 0), (SELECT Sum(Price) FROM Items "
        "WHERE JobID = %1 and SerNo > 0), Subtotal FROM Jobs WHERE JobID = %1";
    struct Case
    {
        const char *what;
        const char *byOther;  // what the other workstation does meanwhile (%1: the JobID)
        QString said;         // %1: the job's number; empty: saved at once
        QString stored;       // item 2's description | its service rows | Subtotal | JobType afterwards
        QString savedAgain;   // after a second Save & Close (empty: not tried)
        // An item command of the job window instead of the item window's
        // Save & Close, with the answers to its questions and the handler of
        // its window (none: no window); `stored` is then commandShows.
        unsigned command = 0;
        std::vector<int> answers = {};
        std::function<int(QDialog &)> window = nullptr;
        // Items priced by hand: the price level of the customer and of item
        // 2 (6: the item's price is asked), and how many prices are asked;
        // each is answered with the price offered. While the first is on
        // screen (or else the command's window), the other workstation
        // writes `whileAsked` (%1: the JobID): it must not wait for this
        // workstation's answer.
        int priceLevel = 0;
        int asked = 0;
        const char *whileAsked = nullptr;
    };
    // The customer's memo: a row the job's items do not hold.
    const char *const otherCustomer = "UPDATE Customers SET Memo = 'Called back' WHERE CusNo = 100;";
    // Item 2's quantity: a row the pricing works from.
    const char *const otherQuantity = "UPDATE Items SET ChargeQty = 750 WHERE JobID = %1 and ItemNo = 2 and SerNo = 0;";
    const auto tickItem2 = [this](QDialog &dialog) {
        auto &o = dynamic_cast<CDlgOptions &>(dialog);
        const qint32 item2 = scalar(QStringLiteral("SELECT Max(ItemID) FROM Items WHERE ItemNo = 2 and SerNo = 0")).toInt();
        o.tree()->SetOptionChecked(unsigned(item2), true);
        o.SendCommand(1);
        return o.result();
    };
    const auto okWindow = [](QDialog &dialog) {
        auto &o = dynamic_cast<CDlg0 &>(dialog);
        o.SendCommand(1);
        return o.result() != 0 ? o.result() : 2;
    };
    const auto closeWindow = [](QDialog &) { return 2; };
    Case cases[] = {
        // The commands first: the item window's rows below leave answers
        // unused in the queue.
        // Tax Exempt: the Subtotal stays 80.
        {"Tax Exempt, nobody else", nullptr, QString(), QStringLiteral("10|2|80|80"), QString(), 30527,
         {platform::IDYES}},
        {"Tax Exempt after the other saved the figures", otherFigures, figuresSavedFor.arg(QStringLiteral("%1"), oneItem),
         QString(), QString(), 30527, {platform::IDYES, platform::IDOK}},
        // Lock Price at the low level: the figures stay as they are.
        {"Lock Price, nobody else", nullptr, QString(), QStringLiteral("01|2|80|80"), QString(), 30528, {},
         [](QDialog &dialog) {
             auto &o = dynamic_cast<CDlgOptions &>(dialog);
             o.SendCommand(1);
             return o.result();
         }},
        // Another user locks item 2 at level 2 while this user chooses the
        // low level: refused, never asked while the file is held.
        {"Lock Price while the other locks it", nullptr, figuresSavedFor.arg(QStringLiteral("%1"), oneItem), QString(),
         QString(), 30528, {platform::IDOK},
         [](QDialog &dialog) {
             auto &o = dynamic_cast<CDlgOptions &>(dialog);
             o.SendCommand(1);
             return o.result();
         },
         0, 0, "UPDATE Items SET Mix = 3 WHERE JobID = %1 and ItemNo = 2 and SerNo = 0;"},
        {"Lock Price after the other posted", otherPosts, postedFor.arg(QStringLiteral("%1"), oneItem), QString(),
         QString(), 30528, {platform::IDOK},
         [](QDialog &dialog) {
             auto &o = dynamic_cast<CDlgOptions &>(dialog);
             o.SendCommand(1);
             return o.result();
         }},
        // Delete item 2: 50 is left.
        {"Delete Item, nobody else", nullptr, QString(), QStringLiteral("|1|50|50"), QString(), 30632,
         {platform::IDYES}, tickItem2},
        {"Delete Item after the other saved the figures", otherFigures,
         figuresSavedFor.arg(QStringLiteral("%1"), QStringLiteral("None of the checked items was deleted.")), QString(),
         QString(), 30632, {platform::IDYES, platform::IDOK}, tickItem2},
        // Paste item 2: 80 and another 30.
        {"Paste, nobody else", nullptr, QString(), QStringLiteral("00|3|110|110"), QString(), 30369,
         {platform::IDYES}, closeWindow},
        {"Paste after the other posted", otherPosts, postedFor.arg(QStringLiteral("%1"), QStringLiteral("The Item was not pasted.")),
         QString(), QString(), 30369, {platform::IDYES, platform::IDOK}},
        // A sub-item of item 2 is a new row priced at nothing: the job is not
        // priced until it is (Subtotal 0).
        {"Sub-Item, nobody else", nullptr, QString(), QStringLiteral("00|3|80|0"), QString(), 30379,
         {platform::IDYES}, closeWindow},
        {"Sub-Item after the other saved the figures", otherFigures,
         figuresSavedFor.arg(QStringLiteral("%1"), QStringLiteral("The Sub-Item was not added.")), QString(), QString(),
         30379, {platform::IDYES, platform::IDOK}},
        // Edit Costs saved as shown: item 2 keeps its 30.
        {"Edit Costs, nobody else", nullptr, QString(), QStringLiteral("00|2|80|80"), QString(), 30363, {},
         okWindow},
        {"Edit Costs after the other posted", otherPosts, postedFor.arg(QStringLiteral("%1"), oneItem), QString(),
         QString(), 30363, {platform::IDOK}, okWindow},
        // Refused, nothing moves: the Subtotal is still what the items add up
        // to (checked below).
        // The test shop prices every service at nothing: repriced, item 2 is
        // "No Charge" (0.0001, no amount) and the Subtotal 50; with both
        // items so, the job is fully priced at nothing: the marker 0.0001.
        {"Reprice Item, nobody else", nullptr, QString(), QStringLiteral("00|2|50.0001|50"), QString(), 30364, {}},
        {"Reprice All, nobody else", nullptr, QString(), QStringLiteral("00|2|0.0002|0.0001"), QString(), 30372,
         {platform::IDYES}, closeWindow},
        {"Reprice Item after the other saved the figures", otherFigures,
         figuresSavedFor.arg(QStringLiteral("%1"), oneItem), QString(), QString(), 30364, {platform::IDOK}},
        {"Reprice All after the other posted", otherPosts,
         postedFor.arg(QStringLiteral("%1"), QStringLiteral("None of the items was repriced.")), QString(), QString(),
         30372, {platform::IDYES, platform::IDOK}},
        // Priced by hand: the price is asked before anything is written, and
        // another workstation saves meanwhile without waiting. Item 2 is
        // priced as above (its one service No Charge); the 30.00 offered is
        // its price in file, so Reprice Item then says "Same Cost / Same
        // Price" (answered OK). Reprice All asks both items' prices and
        // prices both so.
        {"Reprice Item asks its price: another user saves meanwhile", nullptr, QString(),
         QStringLiteral("00|2|50.0001|50"), QString(), 30364, {platform::IDOK}, nullptr, 6, 1, otherCustomer},
        {"Reprice All asks each price: another user saves meanwhile", nullptr, QString(),
         QStringLiteral("00|2|0.0002|0.0001"), QString(), 30372, {platform::IDYES}, closeWindow, 6, 2, otherCustomer},
        // Posted before the command: refused before any price is asked.
        {"Reprice Item priced by hand after the other posted", otherPosts, postedFor.arg(QStringLiteral("%1"), oneItem),
         QString(), QString(), 30364, {platform::IDOK}, nullptr, 6, 0},
        // Another item renamed meanwhile is no part of item 2's pricing.
        {"Reprice Item asks its price: another user renames item 1 meanwhile", nullptr, QString(),
         QStringLiteral("00|2|50.0001|50"), QString(), 30364, {platform::IDOK}, nullptr, 6, 1,
         "UPDATE Items SET Description = 'Cards REV A' WHERE JobID = %1 and ItemNo = 1 and SerNo = 0;"},
        // The other user changes the item while its price is asked: what was
        // priced is not written over it.
        {"Reprice Item asks its price: another user saves the item meanwhile", nullptr,
         figuresSavedFor.arg(QStringLiteral("%1"), oneItem), QString(), QString(), 30364,
         {platform::IDOK, platform::IDOK}, nullptr, 6, 1, otherQuantity},
        {"Reprice All asks each price: another user saves an item meanwhile", nullptr,
         figuresSavedFor.arg(QStringLiteral("%1"), QStringLiteral("None of the items was repriced.")), QString(),
         QString(), 30372, {platform::IDYES, platform::IDOK}, nullptr, 6, 2, otherQuantity},
        {"nobody else", nullptr, QString(), QStringLiteral("Flyers REV B|0|50|0"), QString()},
        {"the other saved an item and the figures", "UPDATE Items SET Price = 75 WHERE JobID = %1 and ItemNo = 1; "
                                                    "UPDATE Jobs SET Subtotal = 105, Balance = 105 WHERE JobID = %1;",
         figuresSaved, QStringLiteral("Flyers|1|105|0"), QStringLiteral("Flyers REV B|0|75|0")},
        {"the other posted the order", "UPDATE Jobs SET JobType = 3, PostingNo = 7, Status = 0 WHERE JobID = %1;",
         QStringLiteral("Order %1 has been posted since you opened it: a posted job's items are not changed "
                        "here.\n\nNothing of this item was saved."),
         QStringLiteral("Flyers|1|80|3"), QString()},
        {"the order's row refused",
         "CREATE TRIGGER refuse BEFORE UPDATE ON Jobs BEGIN SELECT RAISE(ABORT, 'job refused'); END;",
         QStringLiteral("Cannot save Jobs"), QStringLiteral("Flyers|1|80|0"), QString()},
    };
    CDlgRibbon jobs(9001, nullptr);
    qint32 jobNo = 3300;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ++jobNo;
        const qint32 id = addJob(0, jobNo, QStringLiteral("Title, Subtotal, Balance, TermsNo, ViaDue, ShiptoNo, BuyerNo"),
                                 QStringLiteral("'Cards', 80, 80, 1, 1, 4, 7"));
        addItem(id, 1, QStringLiteral("Cards"), "50");
        addItem(id, 2, QStringLiteral("Flyers"), "30");
        if (c.priceLevel != 0)
        {
            exec(QStringLiteral("UPDATE Customers SET PriceLevel = %1 WHERE CusNo = 100").arg(c.priceLevel));
            exec(QStringLiteral("UPDATE Items SET Side2 = %1 WHERE JobID = %2 and ItemNo = 2 and SerNo = 0")
                     .arg(c.priceLevel)
                     .arg(id));
        }
        const auto stored = [&] {
            return sqlite(QStringLiteral("SELECT (SELECT Description FROM Items WHERE JobID = %1 and ItemNo = 2 and "
                                         "SerNo = 0), (SELECT Count(*) FROM Items WHERE JobID = %1 and ItemNo = 2 and "
                                         "SerNo > 0), Subtotal, JobType FROM Jobs WHERE JobID = %1")
                              .arg(id));
        };
        CJobSet job;
        ASSERT_TRUE(job.FindById(id, true));
        prompts().clear();
        CJobDlg window(&job, false, nullptr, &jobs);
        window.SetResultReceiver(&jobs);
        onDialog<CJobDlg>([&](CJobDlg &d) {
            d.itemList().SelectItem(d.itemList().FindItemByData(
                scalar(QStringLiteral("SELECT ItemID FROM Items WHERE JobID = %1 and ItemNo = 2 and SerNo = 0").arg(id))
                    .toInt(),
                false));
            if (c.command != 0) {
                if (c.byOther)
                    sqlite(QString::fromLatin1(c.byOther).replace(QStringLiteral("%1"), QString::number(id)));
                QString before = sqlite(QStringLiteral(".dump"));
                prompts().clear();
                for (int answer : c.answers)
                    prompts().answer(answer);
                // The other workstation, waiting up to 3 seconds for the
                // file as the program's own writes do.
                const auto otherWrites = [&] {
                    QProcess other;
                    other.start(QStringLiteral("sqlite3"),
                                {databasePath(), QStringLiteral("-cmd"), QStringLiteral(".timeout 3000"),
                                 QString::fromLatin1(c.whileAsked).replace(QStringLiteral("%1"), QString::number(id))});
                    EXPECT_TRUE(other.waitForFinished(60000));
                    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
                    before = sqlite(QStringLiteral(".dump"));
                };
                for (int asked = 0; asked < c.asked; ++asked)
                    prompts().onDialog([&, asked](QDialog &entry) {
                        EXPECT_EQ(entry.objectName(), QStringLiteral("PricingEntry"));
                        if (asked == 0 && c.whileAsked)
                            otherWrites();
                        return int(QDialog::Accepted);
                    });
                if (c.window && c.whileAsked && c.asked == 0)
                    prompts().onDialog([&](QDialog &dialog) {
                        otherWrites();
                        return c.window(dialog);
                    });
                else if (c.window)
                    prompts().onDialog(c.window);
                d.SendCommand(c.command);
                EXPECT_EQ(prompts().pendingAnswers(), 0) << prompts().texts().join(QLatin1Char('|')).toStdString();
                if (!c.said.isEmpty()) {
                    EXPECT_TRUE(prompts().texts().contains(QString(c.said).replace(QStringLiteral("%1"), QString::number(jobNo))))
                        << prompts().texts().join(QLatin1Char('|')).toStdString();
                    EXPECT_EQ(sqlite(QStringLiteral(".dump")), before);
                }
                d.SendCommand(2);
                return d.result();
            }
            onDialog<CItemSpecs>([&](CItemSpecs &s) {
                if (c.byOther)
                    sqlite(QString::fromLatin1(c.byOther).replace(QStringLiteral("%1"), QString::number(id)));
                const QString before = sqlite(QStringLiteral(".dump"));
                // B: a new description, and the item's one service taken off.
                // Typed into the description's editor, as the window reads it
                // back on Save & Close.
                s.itemGrid().EditRow(0);
                if (QComboBox *combo = s.itemGrid().comboEditor(); combo && s.itemGrid().editor() == combo)
                    combo->setEditText(QStringLiteral("Flyers REV B"));
                else if (QComboBox *list = s.itemGrid().listEditor(); list && s.itemGrid().editor() == list)
                    list->setEditText(QStringLiteral("Flyers REV B"));
                else if (s.itemGrid().textEditor() && s.itemGrid().editor() == s.itemGrid().textEditor())
                    s.itemGrid().textEditor()->setText(QStringLiteral("Flyers REV B"));
                else
                    ADD_FAILURE() << "no editor on the description";
                s.data().RemoveAllServices();
                prompts().clear();
                s.SendCommand(30444);
                if (c.said.isEmpty()) {
                    EXPECT_EQ(s.result(), int(platform::IDOK)) << prompts().texts().join(QLatin1Char('|')).toStdString();
                    return s.result();
                }
                EXPECT_TRUE(prompts().texts().value(prompts().texts().size() - 1).startsWith(QString(c.said).replace(QStringLiteral("%1"), QString::number(jobNo))))
                    << prompts().texts().join(QLatin1Char('|')).toStdString();
                // Nothing of it is written, and the window keeps what was typed.
                EXPECT_EQ(sqlite(QStringLiteral(".dump")), before);
                EXPECT_TRUE(s.isVisible());
                EXPECT_EQ(s.data().m_strDescription, QStringLiteral("Flyers REV B"));
                if (c.savedAgain.isEmpty())
                    return int(platform::IDCANCEL);
                prompts().clear();
                s.SendCommand(30444);
                EXPECT_EQ(s.result(), int(platform::IDOK));
                return s.result();
            });
            prompts().answer(platform::IDOK);
            d.SendCommand(30362);
            d.SendCommand(2);
            return d.result();
        });
        if (c.command == 0) {
            prompts().answer(platform::IDNO);
            prompts().answer(platform::IDNO);
        }
        window.DoModal();
        sqlite(QStringLiteral("DROP TRIGGER IF EXISTS refuse;"));
        if (c.whileAsked == otherCustomer) {
            EXPECT_EQ(sqlite(QStringLiteral("SELECT Memo FROM Customers WHERE CusNo = 100")), QStringLiteral("Called back"));
        }
        if (c.priceLevel != 0)
            exec(QStringLiteral("UPDATE Customers SET PriceLevel = 0, Memo = Null WHERE CusNo = 100"));
        if (c.command != 0) {
            if (!c.stored.isEmpty()) {
                EXPECT_EQ(sqlite(QString::fromLatin1(commandShows).replace(QStringLiteral("%1"), QString::number(id))),
                          c.stored);
            } else if (c.byOther) {
                EXPECT_EQ(stored(), QStringLiteral("Flyers|1|") + (c.byOther == otherPosts ? QStringLiteral("80|3")
                                                                                          : QStringLiteral("105|0")));
            }
            if (c.stored.isEmpty()) {
                EXPECT_EQ(sqlite(QStringLiteral("SELECT Sum(Price) FROM Items WHERE JobID = %1 and SerNo > 0").arg(id)),
                          stored().section(QLatin1Char('|'), 2, 2));
            }
            continue;
        }
        EXPECT_EQ(stored(), c.savedAgain.isEmpty() ? c.stored : c.savedAgain);
        // Whatever happened, the order's Subtotal is what its items add up to.
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Sum(Price) FROM Items WHERE JobID = %1 and SerNo > 0").arg(id)),
                  stored().section(QLatin1Char('|'), 2, 2));
    }
}

// A save that meets a question inside its transaction (a field another user
// saved too, what its pricing asks) asks it once the transaction has rolled
// back: while it is on screen another workstation writes at once, without
// waiting for the file. Yes, No and Cancel then do what they say: the save is
// made again with the answer, or nothing is written and the typing is kept.
// Paths: the item window's Save & Close with a clash on the item's own row,
// on the job's own fields, and with a pricing that asks the item's price;
// the item costs sheet; a job window item command (Tax Exempt).
TEST_F(JobSharing, NoQuestionOfASaveIsAskedWhileTheSaveHoldsTheFile)
{
    const QString bothChanged =
        QStringLiteral("Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\n"
                       "Save what you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes "
                       "are saved either way. Cancel saves nothing now.");
    // CostsFigures: the other user's save changed the job's figures too, so
    // the first save is refused for them; the next still asks about the row.
    // CostsPrice, CostsItemPrice, CostsBoth: this user types the service
    // line's price (90.00, the item's Current Total with it), the other user
    // saved the service line's price (80.00), the item's (85.00) or both. The
    // item's price is the total of its lines as stored, never asked about.
    enum Path { ItemRow, JobRow, Pricing, Costs, CostsFigures, CostsPrice, CostsItemPrice, CostsBoth, Command };
    struct Case
    {
        const char *what;
        Path path;
        int answer;      // to the question about the field both changed (0: none asked)
        QString line;    // that question's line
        QString stored;  // item 2's Description/Bleed | its service's ActualQty | Title | Subtotal
    };
    const QString descriptions = QStringLiteral("Description: the other user's \"Flyers REV A\", yours \"Flyers REV B\"");
    const QString titles = QStringLiteral("Title: the other user's \"Cards REV A\", yours \"Cards for May\"");
    // The costs sheet names a figure by its line (the service as its first
    // column shows it, the item by its Current Total row) and its column.
    const QString quantities =
        QStringLiteral("Item: Press run, Actual Quantity: the other user's \"600\", yours \"700\"");
    const QString servicePrices =
        QStringLiteral("Item: Press run, Service Price: the other user's \"80.00\", yours \"90.00\"");
    const Case cases[] = {
        {"item row, Yes", ItemRow, platform::IDYES, descriptions, QStringLiteral("Flyers REV B/0|0|Cards|80")},
        {"item row, No", ItemRow, platform::IDNO, descriptions, QStringLiteral("Flyers REV A/0|0|Cards|80")},
        {"item row, Cancel", ItemRow, platform::IDCANCEL, descriptions, QStringLiteral("Flyers REV A/0|0|Cards|80")},
        {"job row, Yes", JobRow, platform::IDYES, titles, QStringLiteral("Flyers REV B/0|0|Cards for May|80")},
        {"job row, No", JobRow, platform::IDNO, titles, QStringLiteral("Flyers REV B/0|0|Cards REV A|80")},
        {"job row, Cancel", JobRow, platform::IDCANCEL, titles, QStringLiteral("Flyers/0|0|Cards REV A|80")},
        {"pricing asks the item's price", Pricing, 0, QString(), QString()},
        {"costs, a row saved meanwhile", Costs, 0, QString(), QStringLiteral("Flyers/0|600|Cards|80")},
        {"costs, Yes", Costs, platform::IDYES, quantities, QStringLiteral("Flyers/0|700|Cards|80")},
        {"costs, No", Costs, platform::IDNO, quantities, QStringLiteral("Flyers/0|600|Cards|80")},
        {"costs, Cancel", Costs, platform::IDCANCEL, quantities, QStringLiteral("Flyers/0|600|Cards|80")},
        {"costs after the job's figures, Yes", CostsFigures, platform::IDYES, quantities,
         QStringLiteral("Flyers/0|700|Cards|80")},
        {"costs, a service line's price, Yes", CostsPrice, platform::IDYES, servicePrices,
         QStringLiteral("Flyers/0|0|Cards|140")},
        {"costs, a service line's price, No", CostsPrice, platform::IDNO, servicePrices,
         QStringLiteral("Flyers/0|0|Cards|130")},
        {"costs, the item's price, worked from its lines", CostsItemPrice, 0, QString(),
         QStringLiteral("Flyers/0|0|Cards|140")},
        {"costs, the line and the item's price, No", CostsBoth, platform::IDNO, servicePrices,
         QStringLiteral("Flyers/0|0|Cards|130")},
        {"costs, the line and the item's price, Yes", CostsBoth, platform::IDYES, servicePrices,
         QStringLiteral("Flyers/0|0|Cards|140")},
        {"command, Yes", Command, platform::IDYES, titles, QStringLiteral("Flyers/1|0|Cards for May|80")},
        {"command, No", Command, platform::IDNO, titles, QStringLiteral("Flyers/1|0|Cards REV A|80")},
        {"command, Cancel", Command, platform::IDCANCEL, titles, QStringLiteral("Flyers/0|0|Cards REV A|80")},
    };
    CDlgRibbon jobs(9001, nullptr);
    qint32 jobNo = 3500;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const qint32 id = addJob(0, ++jobNo, QStringLiteral("Title, Subtotal, Balance, TermsNo, ViaDue, ShiptoNo, BuyerNo"),
                                 QStringLiteral("'Cards', 80, 80, 1, 1, 4, 7"));
        addItem(id, 1, QStringLiteral("Cards"), "50");
        const qint32 item2 = addItem(id, 2, QStringLiteral("Flyers"), "30");
        if (c.path == Pricing) {
            exec(QStringLiteral("UPDATE Customers SET PriceLevel = 6 WHERE CusNo = 100"));
            exec(QStringLiteral("UPDATE Items SET Side2 = 6 WHERE ItemID = %1").arg(item2));
        }
        const auto stored = [&] {
            return sqlite(QStringLiteral("SELECT (SELECT Description || '/' || Bleed FROM Items WHERE JobID = %1 and "
                                         "ItemNo = 2 and SerNo = 0), (SELECT ifnull(ActualQty, 0) FROM Items WHERE JobID = %1 "
                                         "and ItemNo = 2 and SerNo = 1), Title, Subtotal FROM Jobs WHERE JobID = %1")
                              .arg(id));
        };
        // The other workstation meanwhile: what clashes with this user's typing.
        const auto otherSaves = [&] {
            if (c.path == ItemRow)
                sqlite(QStringLiteral("UPDATE Items SET Description = 'Flyers REV A' WHERE ItemID = %1").arg(item2));
            if (c.path == JobRow || c.path == Command)
                sqlite(QStringLiteral("UPDATE Jobs SET Title = 'Cards REV A' WHERE JobID = %1").arg(id));
            if (c.path == Costs || c.path == CostsFigures)
                sqlite(QStringLiteral("UPDATE Items SET ActualQty = 600 WHERE JobID = %1 and ItemNo = 2 and SerNo = 1")
                           .arg(id));
            if (c.path == CostsFigures)
                sqlite(QStringLiteral("UPDATE Jobs SET Subtotal = 81 WHERE JobID = %1").arg(id));
            if (c.path == CostsPrice || c.path == CostsBoth)
                sqlite(QStringLiteral("UPDATE Items SET Price = 80 WHERE JobID = %1 and ItemNo = 2 and SerNo = 1").arg(id));
            if (c.path == CostsItemPrice || c.path == CostsBoth)
                sqlite(QStringLiteral("UPDATE Items SET Price = 85 WHERE JobID = %1 and ItemNo = 2 and SerNo = 0").arg(id));
        };
        // While a question is on screen, a third workstation writes a row
        // with no wait at all (the shell's own, of none): refused, 3260,
        // were the file held.
        QString before;
        int writesWhileAsked = 0;
        const auto writeAtOnce = [&] {
            QProcess other;
            other.start(QStringLiteral("sqlite3"),
                        {databasePath(), QStringLiteral("UPDATE Customers SET Memo = 'Called back' WHERE CusNo = 100;")});
            EXPECT_TRUE(other.waitForFinished(60000));
            EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
            ++writesWhileAsked;
            before = sqlite(QStringLiteral(".dump"));
        };
        platform::WatchMessageBoxes([&](const platform::PromptRecord &box) {
            if (box.caption == QStringLiteral("Saved by another user"))
                writeAtOnce();
        });
        const auto answerClash = [&] {
            if (c.answer != 0)
                prompts().answer(c.answer);
        };
        CJobSet job;
        ASSERT_TRUE(job.FindById(id, true));
        prompts().clear();
        CJobDlg window(&job, false, nullptr, &jobs);
        window.SetResultReceiver(&jobs);
        onDialog<CJobDlg>([&](CJobDlg &d) {
            d.itemList().SelectItem(d.itemList().FindItemByData(item2, false));
            if (c.path == JobRow || c.path == Command) {
                d.job()->SafeEdit();
                d.job()->m_Title = QStringLiteral("Cards for May");
            }
            if (c.path == Command) {
                otherSaves();
                before = sqlite(QStringLiteral(".dump"));
                prompts().clear();
                prompts().answer(platform::IDYES); // Tax Exempt?
                answerClash();
                d.SendCommand(30527);
                EXPECT_EQ(prompts().texts(), (QStringList{prompts().texts().value(0), bothChanged.arg(c.line)}));
            } else if (c.path == Costs || c.path == CostsFigures || c.path == CostsPrice || c.path == CostsItemPrice
                       || c.path == CostsBoth) {
                prompts().clear();
                prompts().onDialog([&](QDialog &dialog) {
                    auto &costs = dynamic_cast<CItemCosts &>(dialog);
                    otherSaves();
                    if (c.answer != 0 || c.path == CostsItemPrice) {
                        for (int r = 0; r < costs.sheet().RowCount(); ++r) {
                            if (costs.sheet().RowAt(r).itemId == item2)
                                continue;
                            if (c.path == CostsPrice || c.path == CostsItemPrice || c.path == CostsBoth) {
                                costs.sheet().RowAt(r).price = 9000;
                                costs.sheet().OnCellChanged(r, CItemCostSheet::ColPrice);
                            } else {
                                costs.sheet().RowAt(r).actualQty = 700;
                            }
                        }
                    }
                    before = sqlite(QStringLiteral(".dump"));
                    QStringList refused;
                    if (c.path == CostsFigures) {
                        // Refused for the job's figures, the sheet kept as typed.
                        prompts().answer(platform::IDOK);
                        costs.SendCommand(1);
                        refused = prompts().texts();
                        EXPECT_EQ(refused.size(), 1);
                        EXPECT_TRUE(refused.value(0).startsWith(
                            QStringLiteral("Another user has saved the figures of Order %1").arg(jobNo)))
                            << refused.join(QLatin1Char('|')).toStdString();
                        EXPECT_TRUE(costs.isVisible());
                    }
                    answerClash();
                    costs.SendCommand(1);
                    EXPECT_EQ(prompts().texts(), refused + (c.answer ? QStringList{bothChanged.arg(c.line)} : QStringList()));
                    if (c.answer == platform::IDCANCEL) {
                        EXPECT_TRUE(costs.isVisible());
                        EXPECT_TRUE(sqlite(QStringLiteral(".dump")) == before) << "written";
                        return 2;
                    }
                    return costs.result() != 0 ? costs.result() : 2;
                });
                d.SendCommand(30363);
            } else {
                onDialog<CItemSpecs>([&](CItemSpecs &s) {
                    otherSaves();
                    before = sqlite(QStringLiteral(".dump"));
                    s.itemGrid().EditRow(0);
                    if (QComboBox *combo = s.itemGrid().comboEditor(); combo && s.itemGrid().editor() == combo)
                        combo->setEditText(QStringLiteral("Flyers REV B"));
                    else if (QComboBox *list = s.itemGrid().listEditor(); list && s.itemGrid().editor() == list)
                        list->setEditText(QStringLiteral("Flyers REV B"));
                    else if (s.itemGrid().textEditor() && s.itemGrid().editor() == s.itemGrid().textEditor())
                        s.itemGrid().textEditor()->setText(QStringLiteral("Flyers REV B"));
                    else
                        ADD_FAILURE() << "no editor on the description";
                    prompts().clear();
                    answerClash();
                    if (c.path == Pricing) {
                        // The item's service twice: the item is priced, and
                        // its price asked (answered with the price offered).
                        EXPECT_EQ(s.data().ServiceRowCount(), 1);
                        s.data().DuplicateService(s.data().Order().front());
                        prompts().onDialog([&](QDialog &entry) {
                            EXPECT_EQ(entry.objectName(), QStringLiteral("PricingEntry"));
                            writeAtOnce();
                            return int(QDialog::Accepted);
                        });
                        prompts().answer(platform::IDOK); // "Same Cost / Same Price"
                    }
                    s.SendCommand(30444);
                    if (c.path == Pricing) {
                        EXPECT_EQ(s.result(), int(platform::IDOK)) << prompts().texts().join(QLatin1Char('|')).toStdString();
                        return s.result();
                    }
                    EXPECT_EQ(prompts().texts(), QStringList{bothChanged.arg(c.line)});
                    if (c.answer != platform::IDCANCEL) {
                        EXPECT_EQ(s.result(), int(platform::IDOK));
                        return s.result();
                    }
                    // Nothing written, the typing kept.
                    EXPECT_TRUE(sqlite(QStringLiteral(".dump")) == before) << "written";
                    EXPECT_TRUE(s.isVisible());
                    EXPECT_EQ(s.data().m_strDescription, QStringLiteral("Flyers REV B"));
                    return int(platform::IDCANCEL);
                });
                d.SendCommand(30362);
            }
            if (c.answer == platform::IDCANCEL)
                EXPECT_TRUE(sqlite(QStringLiteral(".dump")) == before) << "written";
            // The job's own typing kept by Cancel: closed without it.
            if (c.answer == platform::IDCANCEL && (c.path == JobRow || c.path == Command))
                prompts().answer(platform::IDNO);
            d.SendCommand(2);
            return d.result();
        });
        window.DoModal();
        platform::WatchMessageBoxes(nullptr);
        // A question asked once, and the third workstation never waited.
        EXPECT_EQ(writesWhileAsked, c.answer != 0 || c.path == Pricing ? 1 : 0);
        EXPECT_EQ(prompts().pendingAnswers(), 0);
        if (c.path == Pricing) {
            // Priced and saved: the test shop prices every service at
            // nothing, so item 2's two services are No Charge (0.0001 each,
            // no amount) and the Subtotal is item 1's 50.
            EXPECT_EQ(stored(), QStringLiteral("Flyers REV B/0|1|Cards|50"));
            EXPECT_EQ(sqlite(QStringLiteral("SELECT Sum(Price) FROM Items WHERE JobID = %1 and SerNo > 0").arg(id)),
                      QStringLiteral("50.0002"));
            exec(QStringLiteral("UPDATE Customers SET PriceLevel = 0 WHERE CusNo = 100"));
        } else {
            EXPECT_EQ(stored(), c.stored);
        }
        exec(QStringLiteral("UPDATE Customers SET Memo = Null WHERE CusNo = 100"));
    }
}
