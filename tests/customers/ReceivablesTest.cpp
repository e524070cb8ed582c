#include "CustomersFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXProgress.h"
#include "customers/CViewAR.h"
#include "customers/CreditAdjustment.h"
#include "customers/LateFees.h"
#include "customers/PaymentEntry.h"
#include "customers/PostingRun.h"
#include "customers/WriteOffs.h"
#include "platform/Clock.h"
#include "views/CDlgData.h"
#include "views/CStatusDlg.h"
#include "controls/DlgItem.h"
#include "platform/db/Recordset.h"

#include <QtCore/QRandomGenerator>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

#include <sqlite3.h>

#include <set>
#include <utility>
#include <string>

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 4, 15);

class ReceivablesTest : public CustomersTest
{
protected:
    void SetUp() override
    {
        CustomersTest::SetUp();
        platform::Clock::setFixed(QDateTime(kToday, QTime(9, 0)));
        addCustomer(100, QStringLiteral("Acme Printing Buyers"));
        exec(QStringLiteral("DELETE FROM Terms"));
        exec(QStringLiteral("DELETE FROM Terms WHERE [No] IN (1, 4)"));
        exec(QStringLiteral("INSERT INTO Terms ([No], Name, Days) VALUES (1, 'Net 30', 30)"));
        exec(QStringLiteral("INSERT INTO Terms ([No], Name, Days) VALUES (4, '10th', 0)"));
    }
    void TearDown() override
    {
        platform::Clock::reset();
        CustomersTest::TearDown();
    }

    // An order (or invoice) with one item and one service priced at the
    // subtotal, so that its totals agree.
    qint32 addJob(int jobType, int jobNo, const QString &subtotal, const QString &tax, const QString &paid,
                  const QString &balance, int status = 3, const QString &shipped = QStringLiteral("#3/1/2026#"),
                  int terms = 1, int cusNo = 100)
    {
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Title, Status, TermsNo, TaxNo, DateShipped, "
                            "Cost, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance, "
                            "Commission, Creator, PostingNo) VALUES (%1, %2, %3, 'Cards', %4, %5, 0, %6, 0, %7, 0, 0, "
                            "0, %8, 0, %9, 0, %10, 0, 0, 0)")
                 .arg(jobType)
                 .arg(jobNo)
                 .arg(cusNo)
                 .arg(status)
                 .arg(terms)
                 .arg(shipped, subtotal, tax, paid, balance));
        const qint32 id = sqlite(QStringLiteral("SELECT max(JobID) FROM Jobs")).toInt();
        if (subtotal != QLatin1String("0")) {
            exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Bleed) VALUES (%1, 0, 1, 0, "
                                "%2, 0, 0)")
                     .arg(id)
                     .arg(subtotal));
            exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Bleed) VALUES (%1, 5, 1, 0, "
                                "%2, 0, 0)")
                     .arg(id)
                     .arg(subtotal));
        }
        return id;
    }
    void addPayment(int group, const QString &amount, int cusNo = 100)
    {
        exec(QStringLiteral("INSERT INTO Payments ([Date], Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, "
                            "PostingNo) VALUES (#4/10/2026#, %1, %2, %3, 1, '', '', 0)")
                 .arg(amount)
                 .arg(cusNo)
                 .arg(group));
    }
    QString dump() const { return sqlite(QStringLiteral(".dump")); }
};

// The journal row as the sqlite3 tool prints it beside an independent
// model computed in python's decimal arithmetic from the same file.
QString pythonModel(const QString &path, int postingNo)
{
    const QString script = QStringLiteral(R"PY(
import sqlite3, sys
from decimal import Decimal as D
db = sqlite3.connect(sys.argv[1]); n = int(sys.argv[2])
def m(v): return D(0) if v is None else D(str(v))
jobs = db.execute("SELECT Cost,Subtotal,Discount,Shipping,Postage,Tax,Latefee,Paid,Writeoff,Balance,Commission FROM Jobs WHERE PostingNo=?", (n,)).fetchall()
out = [len(jobs)] + [sum((m(j[i]) for j in jobs), D(0)) for i in range(11)]
out.append(sum((m(j[1]) + m(j[2]) for j in jobs if m(j[5]) != 0), D(0)))
qs = db.execute("SELECT Subtotal, Tax FROM QuickSales WHERE PostingNo=?", (n,)).fetchall()
out += [len(qs), sum((m(q[0]) for q in qs), D(0)), sum((m(q[1]) for q in qs), D(0)), sum((m(q[0]) for q in qs if m(q[1]) != 0), D(0))]
out += [D(0), D(0)]
out.append(sum((m(r[0]) for r in db.execute("SELECT Paid FROM Jobs WHERE JobType=0 AND Paid<>0")), D(0)))
out.append(sum((m(r[0]) for r in db.execute("SELECT Amount FROM Payments WHERE PostingNo=?", (n,))), D(0)))
out.append(sum((m(r[0]) for r in db.execute("SELECT CreditDue FROM Customers")), D(0)))
out.append(sum((m(r[0]) for r in db.execute("SELECT Balance FROM Jobs WHERE JobType=3 AND Balance>0.0001")), D(0)))
row = db.execute("SELECT Invoices,Cost,Subtotal,Discount,Shipping,Postage,Tax,Latefee,Paid,Writeoff,Balance,Commission,TaxableNetSale,QSales,QSaleSubtotal,QSaleTax,TaxableQSale,DepositNew,DepositOld,DepositNow,AllPayments,CreditsDue,ARBalance FROM PostingJournal WHERE PostingNo=?", (n,)).fetchone()
bad = [i for i in range(23) if m(row[i]) != D(out[i])]
print("ok" if not bad else "differ %s %s %s" % (bad, list(row), out))
)PY");
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral("-c"), script, path, QString::number(postingNo)});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

TEST_F(ReceivablesTest, PostingGathersTheRunAndMatchesAnIndependentModel)
{
    const qint32 o1 = addJob(0, 1001, QStringLiteral("100"), QStringLiteral("8"), QStringLiteral("0"),
                             QStringLiteral("108"));
    const qint32 o2 = addJob(0, 1002, QStringLiteral("50"), QStringLiteral("0"), QStringLiteral("-50"),
                             QStringLiteral("0"));
    // A quote numbered like the order must not double the deposit.
    addJob(1, 1002, QStringLiteral("50"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("50"), 0);
    addPayment(1, QStringLiteral("50"));
    exec(QStringLiteral("INSERT INTO PayApplied (PayNo, JobNo, Amount) VALUES (%1, 1002, 50)")
             .arg(sqlite(QStringLiteral("SELECT max(PayNo) FROM Payments"))));
    exec(QStringLiteral("INSERT INTO QuickSales ([Date], Subtotal, Tax, TaxID, PostingNo, PayNo) VALUES (#4/10/2026#, "
                        "20, 1.65, 1, 0, 0)"));
    addPayment(0, QStringLiteral("21.65"), 31);
    addPayment(2, QStringLiteral("200"));

    PostingRun run(SharedDatabase());
    ASSERT_TRUE(run.Post({o1, o2}));
    const CPostSet &j = run.Journal();
    EXPECT_EQ(j.m_Invoices, 2);
    EXPECT_EQ(j.m_Subtotal, Money::fromWhole(150));
    EXPECT_EQ(j.m_Tax, Money::fromWhole(8));
    EXPECT_EQ(j.m_Paid, Money::fromWhole(-50));
    EXPECT_EQ(j.m_Balance, Money::fromWhole(108));
    EXPECT_EQ(j.m_TaxableNetSale, Money::fromWhole(100));
    EXPECT_EQ(j.m_QSales, 1);
    EXPECT_EQ(j.m_QSaleSubtotal, Money::fromWhole(20));
    EXPECT_EQ(j.m_QSaleTax, Money::fromCents(165));
    EXPECT_EQ(j.m_TaxableQSale, Money::fromWhole(20));
    EXPECT_EQ(j.m_AllPayments, Money::fromCents(27165));
    EXPECT_EQ(j.m_DepositNew, Money());
    EXPECT_EQ(j.m_DepositOld, Money());
    EXPECT_EQ(run.SuccessText(), QStringLiteral("Successfully posted:\n\n\t2 Orders\n\t1 QuickSales\n\nNext, you will "
                                                "print reports about the posting."));
    const QString n = QString::number(run.PostingNo());
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobType, Status, PostingNo, date(DatePayDue + 2415018.5) FROM Jobs WHERE JobID = %1").arg(o1)),
              QStringLiteral("3|0|%1|2026-03-31").arg(n));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Payments WHERE PostingNo = %1").arg(n)), 3);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM QuickSales WHERE PostingNo = %1").arg(n)), 1);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM AuditTrail WHERE JobType = 0 AND JobNo IN (1001, 1002)")), 2);
    EXPECT_EQ(pythonModel(m_path, run.PostingNo()), QStringLiteral("ok"));

    // Later a deposit of an earlier run counts as old for the order it pays.
    const qint32 o3 = addJob(0, 1003, QStringLiteral("40"), QStringLiteral("0"), QStringLiteral("-40"),
                             QStringLiteral("0"));
    addPayment(1, QStringLiteral("40"));
    exec(QStringLiteral("INSERT INTO PayApplied (PayNo, JobNo, Amount) VALUES (%1, 1003, 40)")
             .arg(sqlite(QStringLiteral("SELECT max(PayNo) FROM Payments"))));
    exec(QStringLiteral("INSERT INTO QuickSales ([Date], Subtotal, Tax, TaxID, PostingNo, PayNo) VALUES (#4/11/2026#, "
                        "7, 0, 1, 0, 0)"));
    PostingRun second(SharedDatabase());
    ASSERT_TRUE(second.Post({}));
    EXPECT_EQ(second.Journal().m_DepositNew, Money::fromWhole(40));
    // The second run stamps only its own quick sale; the first run's keeps its number.
    EXPECT_EQ(second.Journal().m_QSales, 1);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM QuickSales WHERE PostingNo = %1 AND Subtotal = 20").arg(n)), 1);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM QuickSales WHERE PostingNo = %1 AND Subtotal = 7")
                           .arg(second.PostingNo())),
              1);
    EXPECT_EQ(second.Journal().m_Invoices, 0);
    // A taxed order with a discount: its taxable net sale is after the
    // discount (200.00 less 20.00); an untaxed one adds nothing.
    const qint32 o4 = addJob(0, 1004, QStringLiteral("200"), QStringLiteral("14.4"), QStringLiteral("0"),
                             QStringLiteral("194.4"));
    exec(QStringLiteral("UPDATE Jobs SET Discount = -20 WHERE JobID = %1").arg(o4));
    PostingRun third(SharedDatabase());
    ASSERT_TRUE(third.Post({o3, o4}));
    EXPECT_EQ(third.Journal().m_DepositOld, Money::fromWhole(40));
    EXPECT_EQ(third.Journal().m_TaxableNetSale.units(), Money::fromWhole(180).units())
        << "the taxable net sale is the subtotal after the discount";
}

TEST_F(ReceivablesTest, PostingRulesForSkippedJobsMarkersAndTerms)
{
    const qint32 notReady = addJob(0, 2001, QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0"),
                                   QStringLiteral("10"), 2);
    const qint32 unshipped = addJob(0, 2002, QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0"),
                                    QStringLiteral("10"), 3, QStringLiteral("Null"));
    const qint32 marker = addJob(0, 2003, QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("-9.9999"),
                                 QStringLiteral("0.0001"));
    const qint32 tenth = addJob(0, 2004, QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0"),
                                QStringLiteral("10"), 3, QStringLiteral("#3/20/2026#"), 4);
    const qint32 wrongBalance = addJob(0, 2005, QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0"),
                                       QStringLiteral("12"));
    prompts().answer(platform::IDOK); // the balance discrepancy
    PostingRun run(SharedDatabase());
    ASSERT_TRUE(run.Post({notReady, unshipped, marker, tenth, wrongBalance}));
    EXPECT_EQ(run.PostedJobs(), (QList<qint32>{marker, tenth}));
    EXPECT_TRUE(prompts().lastText().endsWith(PostingRun::NoteText())) << prompts().lastText().toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Balance, date(DatePaid + 2415018.5) FROM Jobs WHERE JobID = %1").arg(marker)),
              QStringLiteral("0|2026-04-15"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT date(DatePayDue + 2415018.5) FROM Jobs WHERE JobID = %1").arg(tenth)),
              QStringLiteral("2026-04-10"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobType FROM Jobs WHERE JobID IN (%1, %2, %3) ORDER BY JobID")
                      .arg(notReady)
                      .arg(unshipped)
                      .arg(wrongBalance)),
              QStringLiteral("0\n0\n0"));
    EXPECT_EQ(run.Journal().m_Balance, Money::fromWhole(10));
}

// The sums of a job at the largest amount the program takes, and a cent
// either side of it, posted each in its own run: what is posted is equal to
// the cent in the job, its audit row and the journal (every figure stays
// below 2^39, where a stored amount keeps every ten-thousandth). A job whose
// figure, or the run's sum with it, passes the largest amount is refused by
// name and stays an order.
TEST_F(ReceivablesTest, PostingAtTheLargestAmountIsExactToTheCent)
{
    const QString tooLarge =
        QStringLiteral("\"%1\" cannot be more than 100,000,000,000.00, the largest amount it holds.");
    struct Case
    {
        const char *subtotal;
        const char *shipping;
        const char *tax;
        const char *balance;
        const char *refused; // the figure named, or null: posted
        const char *journal; // Subtotal|Shipping|Tax|Balance of the run
    };
    const Case cases[] = {
        {"100000000000", "0", "0", "100000000000", nullptr,
         "100000000000.0000|0.0000|0.0000|100000000000.0000"},
        {"99999999999.99", "0", "0", "99999999999.99", nullptr, "99999999999.9900|0.0000|0.0000|99999999999.9900"},
        // 8.25 % of 92,000,000,000.00 is 7,590,000,000.00; with 409,999,999.99
        // shipping the total is a cent under the largest amount.
        {"92000000000", "409999999.99", "7590000000", "99999999999.99", nullptr,
         "92000000000.0000|409999999.9900|7590000000.0000|99999999999.9900"},
        {"100000000000.01", "0", "0", "100000000000.01", "Subtotal", "0.0000|0.0000|0.0000|0.0000"},
        // Priced at the largest amount, the tax takes the total past it.
        {"100000000000", "0", "8250000000", "108250000000", "Total", "0.0000|0.0000|0.0000|0.0000"},
        {"800000000000", "0", "66000000000", "866000000000", "Subtotal", "0.0000|0.0000|0.0000|0.0000"},
    };
    int jobNo = 2100;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.subtotal);
        const qint32 id = addJob(0, ++jobNo, QLatin1String(c.subtotal), QLatin1String(c.tax), QStringLiteral("0"),
                                 QLatin1String(c.balance));
        exec(QStringLiteral("UPDATE Jobs SET Shipping = %1 WHERE JobID = %2").arg(QLatin1String(c.shipping)).arg(id));
        prompts().clear();
        if (c.refused)
            prompts().answer(platform::IDOK);
        PostingRun run(SharedDatabase());
        ASSERT_TRUE(run.Post({id}));
        const QString n = QString::number(run.PostingNo());
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f', Subtotal), printf('%.4f', Shipping), printf('%.4f', "
                                        "Tax), printf('%.4f', Balance) FROM PostingJournal WHERE PostingNo = ")
                         + n),
                  QLatin1String(c.journal));
        if (c.refused) {
            EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Order %1:\n\n").arg(jobNo)
                                                     + tooLarge.arg(QLatin1String(c.refused)) + QStringLiteral("\n\n")
                                                     + PostingRun::NoteText()});
            EXPECT_EQ(sqlite(QStringLiteral("SELECT JobType, PostingNo FROM Jobs WHERE JobID = %1").arg(id)),
                      QStringLiteral("0|0"));
            continue;
        }
        EXPECT_EQ(prompts().texts(), QStringList());
        EXPECT_EQ(sqlite(QStringLiteral("SELECT JobType, printf('%.4f', Balance) FROM Jobs WHERE JobID = %1").arg(id)),
                  QStringLiteral("3|") + QString::fromLatin1(c.journal).section(QLatin1Char('|'), 3));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f', Subtotal) || '|' || printf('%.4f', Shipping) || '|' || "
                                        "printf('%.4f', Tax) || '|' || printf('%.4f', Balance) FROM AuditTrail WHERE "
                                        "JobNo = %1")
                             .arg(jobNo)),
                  QLatin1String(c.journal));
        // Paid off before the next case, so that each case starts with no
        // open invoices in the ledger.
        exec(QStringLiteral("UPDATE Jobs SET Balance = 0 WHERE JobID = %1").arg(id));
    }
    // Two jobs of one run whose sum passes the largest amount: the second
    // stays an order, named by the run's sum.
    const qint32 first = addJob(0, 2201, QStringLiteral("50000000000"), QStringLiteral("0"), QStringLiteral("0"),
                                QStringLiteral("50000000000"));
    const qint32 second = addJob(0, 2202, QStringLiteral("50000000000.01"), QStringLiteral("0"), QStringLiteral("0"),
                                 QStringLiteral("50000000000.01"));
    prompts().clear();
    prompts().answer(platform::IDOK);
    PostingRun run(SharedDatabase());
    ASSERT_TRUE(run.Post({first, second}));
    EXPECT_EQ(run.PostedJobs(), QList<qint32>{first});
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Order 2202:\n\n")
                                             + tooLarge.arg(QStringLiteral("Posting Subtotal"))
                                             + QStringLiteral("\n\n") + PostingRun::NoteText()});
    EXPECT_EQ(run.Journal().m_Subtotal, Money::fromWhole(50000000000LL));
}

TEST_F(ReceivablesTest, PostingHoldsTheLedgerSumsToTheLargestAmount)
{
    const QString tooLarge =
        QStringLiteral("\"%1\" cannot be more than 100,000,000,000.00, the largest amount it holds.");
    // An open invoice of 99,999,999,999.97 and four orders of one run: 0.01
    // and 0.01 bring the ledger's open invoices to .99, 0.02 would pass the
    // largest amount and stays an order, the last 0.01 reaches it exactly.
    addJob(3, 2300, QStringLiteral("99999999999.97"), QStringLiteral("0"), QStringLiteral("0"),
           QStringLiteral("99999999999.97"), 0);
    const struct
    {
        int jobNo;
        const char *amount;
        bool posted;
    } orders[] = {{2301, "0.01", true}, {2302, "0.01", true}, {2303, "0.02", false}, {2304, "0.01", true}};
    QList<qint32> ids;
    QList<qint32> posted;
    for (const auto &o : orders) {
        ids << addJob(0, o.jobNo, QLatin1String(o.amount), QStringLiteral("0"), QStringLiteral("0"),
                      QLatin1String(o.amount));
        if (o.posted)
            posted << ids.last();
    }
    prompts().clear();
    prompts().answer(platform::IDOK);
    PostingRun run(SharedDatabase());
    ASSERT_TRUE(run.Post(ids));
    EXPECT_EQ(run.PostedJobs(), posted);
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Order 2303:\n\n")
                                             + tooLarge.arg(QStringLiteral("Posting A/R Balance"))
                                             + QStringLiteral("\n\n") + PostingRun::NoteText()});
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Invoices, printf('%.4f|%.4f|%.4f', Subtotal, Balance, ARBalance) FROM "
                                    "PostingJournal WHERE PostingNo = %1")
                         .arg(run.PostingNo())),
              QStringLiteral("3|0.0300|0.0300|100000000000.0000"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo, JobType FROM Jobs WHERE JobNo > 2300 ORDER BY JobNo")),
              QStringLiteral("2301|3\n2302|3\n2303|0\n2304|3"));

    // The sums of the period held in the journal: past the largest amount
    // the whole run is refused by name and nothing is written, not even the
    // orders that would fit.
    exec(QStringLiteral("UPDATE Jobs SET Balance = 0 WHERE JobType = 3"));
    addCustomer(101, QStringLiteral("Second"));
    const struct
    {
        const char *payments[2];
        const char *credits[2];
        const char *refused; // the sum named, or null: posted
    } periods[] = {
        {{"60000000000", "40000000000"}, {"0", "0"}, nullptr},
        {{"60000000000", "40000000000.01"}, {"0", "0"}, "Posting All Payments"},
        {{"0", "0"}, {"50000000000", "50000000000.01"}, "Posting Credits Due"},
        {{"0", "0"}, {"50000000000", "50000000000"}, nullptr},
    };
    for (const auto &p : periods) {
        SCOPED_TRACE(p.payments[1]);
        SCOPED_TRACE(p.credits[1]);
        exec(QStringLiteral("UPDATE Customers SET CreditDue = %1 WHERE CusNo = 100").arg(QLatin1String(p.credits[0])));
        exec(QStringLiteral("UPDATE Customers SET CreditDue = %1 WHERE CusNo = 101").arg(QLatin1String(p.credits[1])));
        for (const char *amount : p.payments)
            if (QLatin1String(amount) != QLatin1String("0"))
                addPayment(2, QLatin1String(amount));
        const qint32 order = addJob(0, 2400 + cliCount(QStringLiteral("SELECT count(*) FROM Jobs")),
                                    QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("10"));
        const QString before = dump();
        prompts().clear();
        if (p.refused)
            prompts().answer(platform::IDOK);
        PostingRun period(SharedDatabase());
        EXPECT_EQ(period.Post({order}), p.refused == nullptr);
        if (p.refused) {
            EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Nothing was posted:\n\n")
                                                     + tooLarge.arg(QLatin1String(p.refused))});
            EXPECT_EQ(dump(), before);
            EXPECT_EQ(period.PostedJobs(), QList<qint32>());
            // Left for a later run.
            exec(QStringLiteral("DELETE FROM Payments WHERE PostingNo = 0"));
            continue;
        }
        EXPECT_EQ(prompts().texts(), QStringList());
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f|%.4f', AllPayments, CreditsDue) FROM PostingJournal WHERE "
                                        "PostingNo = %1")
                             .arg(period.PostingNo())),
                  p.payments[0] == QLatin1String("0") ? QStringLiteral("0.0000|100000000000.0000")
                                                      : QStringLiteral("100000000000.0000|0.0000"));
        exec(QStringLiteral("UPDATE Jobs SET Balance = 0 WHERE JobType = 3"));
    }
}

TEST_F(ReceivablesTest, AFailedPostingWritesNothing)
{
    const qint32 o1 = addJob(0, 3001, QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0"),
                             QStringLiteral("10"));
    const qint32 o2 = addJob(0, 3002, QStringLiteral("20"), QStringLiteral("0"), QStringLiteral("0"),
                             QStringLiteral("20"));
    addPayment(2, QStringLiteral("5"));
    SharedDatabase().executeNative(QStringLiteral(
        "CREATE TRIGGER fail_second BEFORE INSERT ON AuditTrail WHEN NEW.JobNo = 3002 BEGIN SELECT RAISE(ABORT, "
        "'refused'); END"));
    const QString before = dump();
    prompts().answer(platform::IDOK);
    PostingRun run(SharedDatabase());
    EXPECT_FALSE(run.Post({o1, o2}));
    EXPECT_EQ(dump(), before);
    EXPECT_TRUE(prompts().lastText().contains(QStringLiteral("refused"))) << prompts().lastText().toStdString();
}

TEST_F(ReceivablesTest, PostingStoppedHalfWayLeavesAConsistentFileAndTheRestPostsLater)
{
    // Six orders of 100, 110, ... 150; Stop is pressed as the fourth is reached.
    for (int n = 0; n < 6; ++n)
        addJob(0, 4001 + n, QString::number(100 + 10 * n), QStringLiteral("0"), QStringLiteral("0"),
               QString::number(100 + 10 * n));
    exec(QStringLiteral("INSERT INTO QuickSales ([Date], Subtotal, Tax, TaxID, PostingNo, PayNo) VALUES (#4/10/2026#, "
                        "20, 0, 1, 0, 0)"));
    // The real progress window; its Stop is pressed as the fourth order is
    // reached, and "Do you want to stop now?" answered Yes.
    QStringList titles;
    CXProgress::SetFactory([] { return std::make_unique<CStatusDlg>(); });
    QTimer stopper;
    stopper.setInterval(0);
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<CStatusDlg *>(top);
            if (!window || !window->IsRunning())
                continue;
            const QString title = GetDlgItem(window, CStatusDlg::IDC_TITLE)->property("text").toString();
            if (!titles.contains(title))
                titles << title;
            if (window->position() == 4) {
                stopper.stop();
                window->OnCancel();
            }
        }
    });
    stopper.start();
    CViewAR view;
    view.resize(1100, 700);
    view.OnInitialUpdate();
    view.show();
    view.SelectTreeCode(1);
    view.OnListNow();
    ASSERT_EQ(view.list()->GetItemCount(), 6);
    view.list()->SelectAll();
    prompts().answer(platform::IDYES); // Do you want to start posting?
    prompts().answer(platform::IDYES); // Are you sure?
    prompts().answer(platform::IDYES); // Do you want to stop now?
    prompts().answer(platform::IDOK);  // Successfully posted
    prompts().answer(platform::IDOK);  // printing not available
    view.RunCommand(30211);
    stopper.stop();
    CXProgress::SetFactory(nullptr);
    EXPECT_EQ(titles, QStringList{QStringLiteral("Posting 6 Orders")});
    EXPECT_TRUE(prompts().texts().contains(QStringLiteral("Do you want to stop now?")));
    // The closing box tells of the stop and of the orders left for later.
    EXPECT_TRUE(prompts().texts().contains(
        QStringLiteral("Successfully posted:\n\n\t3 Orders\n\t1 QuickSales\n\nThe posting was stopped: 3 Orders "
                       "were left unposted.\n\nNext, you will print reports about the posting.")))
        << prompts().texts().join(QLatin1Char('|')).toStdString();
    const int first = cliCount(QStringLiteral("SELECT max(PostingNo) FROM PostingJournal"));
    // What was posted is posted whole: the journal's sums are those of the
    // rows stamped with its number, each with its audit row; the rest are
    // orders ready to post as before.
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo FROM Jobs WHERE JobType = 3 AND Status = 0 AND PostingNo = %1 "
                                    "ORDER BY JobNo")
                         .arg(first)),
              QStringLiteral("4001\n4002\n4003"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo FROM Jobs WHERE JobType = 0 AND Status = 3 AND PostingNo = 0 "
                                    "ORDER BY JobNo")),
              QStringLiteral("4004\n4005\n4006"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Invoices, Subtotal, Balance, QSales FROM PostingJournal WHERE PostingNo = %1")
                         .arg(first)),
              QStringLiteral("3|330|330|1"));
    EXPECT_EQ(pythonModel(m_path, first), QStringLiteral("ok"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo FROM AuditTrail ORDER BY JobNo")), QStringLiteral("4001\n4002\n4003"));
    EXPECT_FALSE(SharedDatabase().isExclusive());

    // The rest posts later, under the next number.
    view.OnListNow();
    ASSERT_EQ(view.list()->GetItemCount(), 3);
    view.list()->SelectAll();
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    view.RunCommand(30211);
    const int second = cliCount(QStringLiteral("SELECT max(PostingNo) FROM PostingJournal"));
    EXPECT_GT(second, first);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Invoices, Subtotal, Balance, QSales FROM PostingJournal WHERE PostingNo = %1")
                         .arg(second)),
              QStringLiteral("3|420|420|0"));
    EXPECT_EQ(pythonModel(m_path, second), QStringLiteral("ok"));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Jobs WHERE JobType = 0")), 0);
}

// The statement texts a connection has run are kept after it (their
// translations and shapes, by the thousand): posting many orders must not
// run a text of its own per order, or the program keeps its memory grown
// long after the run.
TEST_F(ReceivablesTest, PostingManyOrdersRunsAFewStatementTextsNotOnePerOrder)
{
    addReadyOrders(5000, 400);
    QList<qint32> ids;
    for (const QString &id : sqlite(QStringLiteral("SELECT JobID FROM Jobs ORDER BY JobNo")).split(QLatin1Char('\n')))
        ids << id.toInt();
    std::set<std::string> texts;
    sqlite3 *handle = SharedDatabase().handle();
    sqlite3_trace_v2(
        handle, SQLITE_TRACE_STMT,
        [](unsigned, void *context, void *statement, void *) {
            if (const char *sql = sqlite3_sql(static_cast<sqlite3_stmt *>(statement)))
                static_cast<std::set<std::string> *>(context)->insert(sql);
            return 0;
        },
        &texts);
    PostingRun run(SharedDatabase());
    const bool posted = run.Post(ids);
    sqlite3_trace_v2(handle, 0, nullptr, nullptr);
    ASSERT_TRUE(posted);
    EXPECT_EQ(run.Journal().m_Invoices, 400);
    EXPECT_LT(texts.size(), 60u);
}

TEST_F(ReceivablesTest, ExclusiveOpenFallsBackToSharedWithTheWarning)
{
    platform::Database other;
    other.open(m_path);
    prompts().answer(platform::IDOK);  // "Cannot open database:" report
    prompts().answer(platform::IDNO);  // the warning
    PostingRun run(SharedDatabase());
    EXPECT_FALSE(run.OpenForPosting());
    EXPECT_TRUE(prompts().texts().contains(PostingRun::WarningText()));
    EXPECT_TRUE(SharedDatabase().isOpen());
    EXPECT_FALSE(SharedDatabase().isExclusive());
    other.close();
    PostingRun alone(SharedDatabase());
    ASSERT_TRUE(alone.OpenForPosting());
    EXPECT_TRUE(SharedDatabase().isExclusive());
    alone.ReopenShared();
    EXPECT_FALSE(SharedDatabase().isExclusive());
}

TEST_F(ReceivablesTest, LateFeesByRule)
{
    struct Case
    {
        const char *balance;
        const char *latefee;
        LateFeeRule rule;
        qint64 feeCents;
    } cases[] = {
        {"200", "0", {}, 300},
        {"40", "0", {}, 100},
        {"210", "10", {150, 0, 0}, 300},
        {"0", "0", {}, 100},
        {"100.33", "0", {150, 0, 1}, 150}, // 1.50495 to whole cents
    };
    for (const Case &c : cases)
        EXPECT_EQ(LateFees::FeeFor(Money::fromText(QString::fromLatin1(c.balance)),
                                   Money::fromText(QString::fromLatin1(c.latefee)), c.rule),
                  Money::fromCents(c.feeCents))
            << c.balance;

    LateFees fees(SharedDatabase());
    const LateFeeRule rule = fees.ReadRule();
    EXPECT_EQ(rule.Text(), QStringLiteral("150,100,1,"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 252")),
              QStringLiteral("150,100,1,"));
    const qint32 inv = addJob(3, 4001, QStringLiteral("200"), QStringLiteral("0"), QStringLiteral("0"),
                              QStringLiteral("210"));
    exec(QStringLiteral("UPDATE Jobs SET Latefee = 10 WHERE JobID = %1").arg(inv));
    ASSERT_TRUE(fees.Charge({inv}, LateFeeRule{150, 100, 0}));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Latefee, Balance FROM Jobs WHERE JobID = %1").arg(inv)),
              QStringLiteral("13|213"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE AlertType = 252")),
              QStringLiteral("150,100,0,"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Latefee, Balance, JobType FROM AuditTrail WHERE JobNo = 4001")),
              QStringLiteral("3|3|3"));
    // On a partly paid invoice with a write-off the fee changes only the
    // late fee and the balance: 300 - 100 paid - 20 written off = 180, 3 % of
    // it is 5.40.
    const qint32 partly = addJob(3, 4002, QStringLiteral("300"), QStringLiteral("0"), QStringLiteral("-100"),
                                 QStringLiteral("180"));
    exec(QStringLiteral("UPDATE Jobs SET Writeoff = -20 WHERE JobID = %1").arg(partly));
    ASSERT_TRUE(fees.Charge({partly}, LateFeeRule{300, 100, 0}));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Latefee, Paid, Writeoff, Balance FROM Jobs WHERE JobID = %1").arg(partly)),
              QStringLiteral("5.4|-100|-20|185.4"));
    ASSERT_TRUE(fees.Clear({inv}));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Latefee, Balance FROM Jobs WHERE JobID = %1").arg(inv)),
              QStringLiteral("0|200"));

    // Near the largest amount: a fee that would take the balance past it is
    // not charged, and the invoice is named; the others of the batch are
    // (an order beside it, whose balance is no part of the ledger). Each
    // invoice is paid after its row, so that the ledger's open invoices are
    // those of the row alone.
    exec(QStringLiteral("UPDATE Jobs SET Balance = 0"));
    struct Bound
    {
        const char *balance;
        LateFeeRule rule;
        const char *stored; // Latefee|Balance afterwards, to the ten-thousandth
        const char *refused; // the figure named, or null: charged
    } bounds[] = {
        // 10 % of an invoice at the largest amount: 100,100,000,000.00.
        {"100000000000", {1000, 100, 1}, "0.0000|100000000000.0000", "Balance"},
        // The minimum 1.00 takes 99,999,999,999.00 to the largest exactly.
        {"99999999999", {0, 100, 1}, "1.0000|100000000000.0000", nullptr},
        {"99999999999.01", {0, 100, 1}, "0.0000|99999999999.0100", "Balance"},
        // 1.50 % of 98,522,167,487.68 is 1,477,832,512.3152, to the cent
        // .32: the largest exactly. A cent more on the invoice passes it.
        {"98522167487.68", {150, 100, 1}, "1477832512.3200|100000000000.0000", nullptr},
        {"98522167487.69", {150, 100, 1}, "0.0000|98522167487.6900", "Balance"},
    };
    int boundNo = 4100;
    for (const Bound &b : bounds) {
        SCOPED_TRACE(b.balance);
        const qint32 id = addJob(3, ++boundNo, QLatin1String(b.balance), QStringLiteral("0"), QStringLiteral("0"),
                                 QLatin1String(b.balance));
        const qint32 ok = addJob(0, ++boundNo, QStringLiteral("200"), QStringLiteral("0"), QStringLiteral("0"),
                                 QStringLiteral("200"));
        prompts().clear();
        if (b.refused)
            prompts().answer(platform::IDOK);
        ASSERT_TRUE(fees.Charge({id, ok}, b.rule));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f|%.4f', Latefee, Balance) FROM Jobs WHERE JobID = %1").arg(id)),
                  QLatin1String(b.stored));
        // The other invoice of the batch is charged all the same.
        EXPECT_NE(sqlite(QStringLiteral("SELECT Latefee FROM Jobs WHERE JobID = %1").arg(ok)), QStringLiteral("0"));
        if (b.refused)
            EXPECT_EQ(prompts().texts(),
                      QStringList{QStringLiteral("Invoice %1 is not charged a Late Fee: \"%2\" cannot be more than "
                                                 "100,000,000,000.00, the largest amount it holds.")
                                      .arg(boundNo - 1)
                                      .arg(QLatin1String(b.refused))});
        else
            EXPECT_EQ(prompts().texts(), QStringList());
        exec(QStringLiteral("UPDATE Jobs SET Balance = 0"));
    }

    // The ledger's open invoices are held to the largest amount as the
    // posting stores them: a fee that would take them past it is not
    // charged, so that the next posting is never refused for it.
    const qint32 large = addJob(3, 4201, QStringLiteral("60000000000"), QStringLiteral("0"), QStringLiteral("0"),
                                QStringLiteral("60000000000"));
    const qint32 rest = addJob(3, 4202, QStringLiteral("39999999997"), QStringLiteral("0"), QStringLiteral("0"),
                               QStringLiteral("39999999997"));
    const struct
    {
        qint32 id;
        LateFeeRule rule;
        const char *stored; // Latefee|Balance afterwards
        bool refused;
    } ledger[] = {
        // 99,999,999,997.00 and a fee of 3.00: the largest exactly.
        {rest, {0, 300, 1}, "3.0000|40000000000.0000", false},
        // A cent more on the other invoice would take it to 100,000,000,000.01.
        {large, {0, 1, 1}, "0.0000|60000000000.0000", true},
        // 10 % of it: 106,000,000,000.00, as a fee on any invoice would.
        {large, {1000, 100, 1}, "0.0000|60000000000.0000", true},
    };
    for (const auto &l : ledger) {
        SCOPED_TRACE(l.stored);
        prompts().clear();
        if (l.refused)
            prompts().answer(platform::IDOK);
        ASSERT_TRUE(fees.Charge({l.id}, l.rule));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f|%.4f', Latefee, Balance) FROM Jobs WHERE JobID = %1").arg(l.id)),
                  QLatin1String(l.stored));
        EXPECT_EQ(prompts().texts(),
                  l.refused ? QStringList{QStringLiteral("Invoice 4201 is not charged a Late Fee: \"Posting A/R Balance\" "
                                                         "cannot be more than 100,000,000,000.00, the largest amount it "
                                                         "holds.")}
                            : QStringList());
    }
    // The next posting finds the ledger within it.
    PostingRun run(SharedDatabase());
    EXPECT_TRUE(run.Post({}));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.2f', ARBalance) FROM PostingJournal WHERE PostingNo = %1")
                         .arg(run.PostingNo())),
              QStringLiteral("100000000000.00"));
    EXPECT_EQ(LateFees::ChargeQuestion(2), QStringLiteral("charge Late Fee to selected 2 invoice(s)?"));
    EXPECT_EQ(LateFees::ClearQuestion(1),
              QStringLiteral("clear (delete) the Late Fees charged to the selected 1 invoices(s)?"));
}

TEST_F(ReceivablesTest, WriteOffRuleFiltersAndWriteOffs)
{
    const QDate day(2026, 4, 15);
    EXPECT_EQ((WriteOffRule{500, 365}).FilterText(day),
              QStringLiteral("(Jobs.Balance < 5.00 or Jobs.DateShipped < #4/15/2025#)"));
    EXPECT_EQ((WriteOffRule{0, 90}).FilterText(day), QStringLiteral("Jobs.DateShipped < #1/15/2026#"));
    EXPECT_EQ((WriteOffRule{500, 0}).FilterText(day), QStringLiteral("Jobs.Balance < 5.00"));
    EXPECT_EQ((WriteOffRule{0, 0}).FilterText(day), QString());

    WriteOffs offs(SharedDatabase());
    EXPECT_EQ(offs.ReadRule().Text(), QStringLiteral("0,0,"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE AlertType = 253")), QStringLiteral(",,"));
    ASSERT_TRUE(offs.StoreRule({500, 365}));
    EXPECT_EQ(offs.ReadRule().Text(), QStringLiteral("500,365,"));

    const qint32 small = addJob(3, 5001, QStringLiteral("4.25"), QStringLiteral("0"), QStringLiteral("0"),
                                QStringLiteral("4.25"));
    const qint32 credit = addJob(3, 5002, QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("-15"),
                                 QStringLiteral("-5"));
    // A No Charge invoice (its balance the marker 0.0001) owes nothing to write off.
    const qint32 noCharge = addJob(3, 5003, QStringLiteral("0.0001"), QStringLiteral("0"), QStringLiteral("0"),
                                   QStringLiteral("0.0001"));
    ASSERT_TRUE(offs.WriteOff({small, credit, noCharge}));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Writeoff, Balance FROM Jobs WHERE JobID = %1").arg(noCharge)),
              QStringLiteral("0|0.0001"));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM AuditTrail WHERE JobNo = 5003")), 0);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Writeoff, Balance, date(DatePaid + 2415018.5) FROM Jobs WHERE JobID = %1").arg(small)),
              QStringLiteral("-4.25|0|2026-04-15"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Writeoff, Balance FROM Jobs WHERE JobID = %1").arg(credit)),
              QStringLiteral("0|-5"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Writeoff, Balance FROM AuditTrail WHERE JobNo = 5001")),
              QStringLiteral("-4.25|-4.25"));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM AuditTrail WHERE JobNo = 5002")), 0);
}

// The limit prompt of the receivables view, open on one workstation while
// another saves the customer: only a changed limit is written, over the
// customer as stored now; a limit both changed is put to this user by its
// label, and Cancel shows the prompt again with what was typed.
TEST_F(ReceivablesTest, ACreditLimitSavedMeanwhileElsewhereIsKeptOrAskedAbout)
{
    const QString question = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same field:\n\n%1\n\nSave what "
        "you typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either "
        "way. Cancel saves nothing now.");
    const QString asked = QStringLiteral("Credit Limit: the other user's \"5000.00\", yours \"3000.00\"");
    struct
    {
        const char *what;
        const char *other;   // the other workstation's save while the prompt is open
        const char *typed;   // what this user leaves in the prompt
        QList<int> answers;  // one per OK
        const char *stored;  // Name|CreditLimit afterwards
    } cases[] = {
        {"the other changed the name: both kept", "Name = 'Acme Two'", "3000", {}, "Acme Two|3000"},
        {"left as shown: the other's limit kept", "CreditLimit = 5000", "2000.00", {}, "Acme Printing Buyers|5000"},
        {"both saved the same limit", "CreditLimit = 3000", "3000", {}, "Acme Printing Buyers|3000"},
        {"both changed it, Yes", "CreditLimit = 5000", "3000", {platform::IDYES}, "Acme Printing Buyers|3000"},
        {"both changed it, No", "CreditLimit = 5000", "3000", {platform::IDNO}, "Acme Printing Buyers|5000"},
        {"both changed it, Cancel, then No", "CreditLimit = 5000", "3000", {platform::IDCANCEL, platform::IDNO},
         "Acme Printing Buyers|5000"},
    };
    platform::Database other;
    other.open(m_path);
    CViewAR view;
    view.OnInitialUpdate();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("UPDATE Customers SET Name = 'Acme Printing Buyers', CreditLimit = 2000 WHERE CusNo = 100"));
        prompts().clear();
        for (int answer : c.answers)
            prompts().answer(answer);
        int shown = 0;
        const std::function<int(CDlgData &)> type = [&](CDlgData &d) {
            if (++shown == 1) {
                EXPECT_EQ(d.edit()->text(), QStringLiteral("2000.00"));
                other.execute(QStringLiteral("UPDATE Customers SET %1 WHERE CusNo = 100").arg(QLatin1String(c.other)));
                d.edit()->setText(QString::fromLatin1(c.typed));
            } else {
                EXPECT_EQ(d.edit()->text(), QString::fromLatin1(c.typed)); // the typing kept after Cancel
            }
            if (shown < c.answers.size())
                onDialog<CDlgData>(type);
            return press(d, 1);
        };
        onDialog<CDlgData>(type);
        view.EditCreditLimit(100);
        EXPECT_EQ(shown, std::max(1, int(c.answers.size())));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Name, CreditLimit FROM Customers WHERE CusNo = 100")),
                  QString::fromLatin1(c.stored));
        QStringList expected;
        for (int i = 0; i < c.answers.size(); ++i)
            expected << question.arg(asked);
        EXPECT_EQ(prompts().texts(), expected);
    }
}

TEST_F(ReceivablesTest, CreditLimitsAndAdjustments)
{
    // A typed limit is read as any amount; what is no amount (-1) is refused.
    struct
    {
        const char *text;
        qint64 whole;
    } limits[] = {{"1500.75", 1500},  {"-100", 0},   {"250", 250},         {"$5,000", 5000},
                  {"5,000", 5000},    {"5000", 5000}, {"$1,234.99", 1234},  {"-0.50", 0},
                  {"abc", -1},        {"", -1},      {"12345678901234567890", -1},
                  // The largest amount, and a cent past it: refused, never
                  // held at the largest.
                  {"100,000,000,000", 100000000000LL}, {"100000000000.01", -1}, {"1500.755", -1}};
    for (const auto &l : limits) {
        const Money read = CreditAdjustment::CreditLimitFromText(QString::fromLatin1(l.text));
        if (l.whole < 0)
            EXPECT_FALSE(read.isValid()) << l.text;
        else
            EXPECT_EQ(read, Money::fromWhole(l.whole)) << l.text;
    }

    CreditAdjustment credit(SharedDatabase());
    ASSERT_TRUE(credit.StoreCreditLimit(100, Money::fromWhole(1500)));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditLimit FROM Customers WHERE CusNo = 100")), QStringLiteral("1500"));
    // As the limit prompt stores it: refused texts say so and keep the limit.
    const std::pair<const char *, const char *> refusals[] = {
        {"abc", "Please enter a currency."},
        {"12345678901234567890", "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."},
        {"100,000,000,000.01", "Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00."}};
    for (const auto &[refused, message] : refusals) {
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(credit.StoreTypedCreditLimit(100, QString::fromLatin1(refused)));
        EXPECT_EQ(prompts().texts(), QStringList{QString::fromLatin1(message)}) << refused;
        EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditLimit FROM Customers WHERE CusNo = 100")),
                  QStringLiteral("1500"));
    }
    ASSERT_TRUE(credit.StoreTypedCreditLimit(100, QStringLiteral("$5,000")));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditLimit FROM Customers WHERE CusNo = 100")), QStringLiteral("5000"));

    // The adjustment as typed unless it would take more than the credit due.
    struct
    {
        const char *due, *typed, *floored;
    } floors[] = {{"50", "-20", "-20"},    {"50", "-49.99", "-49.99"}, {"50", "-50", "-50"},
                  {"50", "-50.01", "-50"}, {"50", "-80", "-50"},       {"0", "20", "20"},
                  {"0", "-0.01", "0"},     {"12.5", "7.5", "7.5"}};
    for (const auto &f : floors) {
        auto m = [](const char *t) { return Money::fromText(QString::fromLatin1(t)); };
        EXPECT_EQ(CreditAdjustment::Floored(m(f.due), m(f.typed)), m(f.floored)) << f.due << " " << f.typed;
    }

    Money written;
    ASSERT_TRUE(credit.Adjust(100, Money::fromWhole(50), 1, &written));
    // Within what is due the adjustment is written as typed.
    ASSERT_TRUE(credit.Adjust(100, Money::fromWhole(-20), 2, &written));
    EXPECT_EQ(written, Money::fromWhole(-20));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")), QStringLiteral("30"));
    ASSERT_TRUE(credit.Adjust(100, Money::fromWhole(20), 1, &written));
    ASSERT_TRUE(credit.Adjust(100, Money::fromWhole(-80), 2, &written));
    EXPECT_EQ(written, Money::fromWhole(-50));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")), QStringLiteral("0"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, JobNo, ReasonID FROM Credits ORDER BY CreditID")),
              QStringLiteral("50|0|1\n-20|0|2\n20|0|1\n-50|0|2"));
    EXPECT_FALSE(credit.Adjust(999, Money::fromWhole(5), 1));

    // The credit due is held to the largest amount: 0 + 99,999,999,999.99 +
    // 0.01 reaches it exactly; a cent more, or a second credit of the same
    // size, is refused by name with nothing written.
    const QString tooLarge =
        QStringLiteral("\"Credit Due\" cannot be more than 100,000,000,000.00, the largest amount it holds.");
    struct
    {
        const char *adjustment;
        bool taken;
        const char *creditDue; // stored afterwards, to the ten-thousandth
    } steps[] = {
        {"99999999999.99", true, "99999999999.9900"}, {"0.01", true, "100000000000.0000"},
        {"0.01", false, "100000000000.0000"},         {"99999999999.99", false, "100000000000.0000"},
        {"-0.01", true, "99999999999.9900"},          {"0.02", false, "99999999999.9900"},
        {"0.01", true, "100000000000.0000"},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.adjustment);
        const QString before = dump();
        prompts().clear();
        if (!step.taken)
            prompts().answer(platform::IDOK);
        EXPECT_EQ(credit.Adjust(100, Money::fromText(QString::fromLatin1(step.adjustment)), 1, &written), step.taken);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f', CreditDue) FROM Customers WHERE CusNo = 100")),
                  QLatin1String(step.creditDue));
        if (step.taken)
            continue;
        EXPECT_EQ(prompts().texts(), QStringList{tooLarge});
        EXPECT_EQ(written, Money());
        EXPECT_EQ(dump(), before);
    }
}

class PaymentTest : public ReceivablesTest
{
protected:
    void SetUp() override
    {
        ReceivablesTest::SetUp();
        a = addJob(3, 7001, QStringLiteral("80"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("80"));
        b = addJob(3, 7002, QStringLiteral("80"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("80"));
    }
    qint32 a = 0, b = 0;
};

TEST_F(PaymentTest, ClicksAndPartialAmounts)
{
    // A No Charge invoice (its balance the marker 0.0001) is not open.
    addJob(3, 7009, QStringLiteral("0.0001"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0.0001"));
    PaymentEntry e;
    e.Load(SharedDatabase(), 100);
    ASSERT_EQ(e.rows.size(), 2) << "a No Charge invoice is listed as open";
    EXPECT_EQ(e.accountBalance, Money::fromWhole(160));

    // A click without a typed amount pays the whole due; a second unapplies.
    e.ApplyToRow(0);
    EXPECT_EQ(e.amount, Money::fromWhole(80));
    EXPECT_EQ(e.rows[0].applied, Money::fromWhole(80));
    e.ApplyToRow(0);
    EXPECT_EQ(e.amount, Money());
    EXPECT_EQ(e.rows[0].applied, Money());

    // A partial amount replaces the row's applied amount.
    e.ApplyToRow(0, Money::fromWhole(50));
    e.ApplyToRow(0, Money::fromWhole(30));
    EXPECT_EQ(e.rows[0].applied, Money::fromWhole(30));
    EXPECT_EQ(e.amount, Money::fromWhole(30));
    e.ApplyToRow(0, Money::fromUnits(123456)); // 12.3456 to whole cents
    EXPECT_EQ(e.rows[0].applied, Money::fromCents(1235));

    // A fixed amount of 100.00 over two invoices of 80.00.
    EXPECT_TRUE(e.AmountChanged(Money::fromWhole(100)));
    e.ApplyToRow(0);
    e.ApplyToRow(1);
    EXPECT_EQ(e.rows[0].applied, Money::fromWhole(80));
    EXPECT_EQ(e.rows[1].applied, Money::fromWhole(20));
    EXPECT_EQ(e.remains, Money());
    EXPECT_FALSE(e.PartialProposal(1).has_value());

    // A partial amount above what remains is lowered to it.
    e.AmountChanged(Money::fromWhole(50));
    EXPECT_EQ(*e.PartialProposal(0), Money::fromWhole(50));
    e.ApplyToRow(0, Money::fromWhole(70));
    EXPECT_EQ(e.rows[0].applied, Money::fromWhole(50));

    // Pay all, then clear all.
    e.ApplyAll();
    EXPECT_EQ(e.amount, Money::fromWhole(160));
    EXPECT_EQ(e.accountBalance, Money());
    e.ApplyAll();
    EXPECT_EQ(e.applied, Money());
}

TEST_F(PaymentTest, OverPaymentIsCreditedInOneSave)
{
    PaymentEntry e;
    e.Load(SharedDatabase(), 100);
    e.AmountChanged(Money::fromWhole(120));
    e.ApplyToRow(0);
    e.ApplyToRow(1, Money::fromWhole(20));
    EXPECT_EQ(e.CreditToGive(), Money::fromWhole(20));
    EXPECT_EQ(PaymentEntry::CreditQuestion(e.CreditToGive()), QStringLiteral("Credit the customer's account by $20.00?"));
    const QString before = dump();
    EXPECT_FALSE(e.Save(SharedDatabase(), 100, false));
    EXPECT_EQ(dump(), before);
    ASSERT_TRUE(e.Save(SharedDatabase(), 100, true));
    EXPECT_EQ(e.lastNote, QStringLiteral("Credit $20.00"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, PayGroup, Appliedto, PostingNo FROM Payments")),
              QStringLiteral("120|2|7001 7002 Credit $20.00|0"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo, Amount FROM PayApplied ORDER BY JobNo")),
              QStringLiteral("7001|80\n7002|20"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance, date(DatePaid + 2415018.5) FROM Jobs WHERE JobID IN (%1, %2) ORDER BY JobID")
                      .arg(a)
                      .arg(b)),
              QStringLiteral("-80|0|2026-04-15\n-20|60|2026-04-15"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, JobNo, ReasonID FROM Credits")), QStringLiteral("20|0|254"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")), QStringLiteral("20"));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM AuditTrail WHERE JobNo IN (7001, 7002)")), 2);
}

TEST_F(PaymentTest, AdvancePaymentCreditUseAndNegativePayment)
{
    addCustomer(200, QStringLiteral("Bright Signs"));
    PaymentEntry adv;
    adv.Load(SharedDatabase(), 200);
    EXPECT_TRUE(adv.rows.isEmpty());
    adv.AmountChanged(Money::fromWhole(50));
    ASSERT_TRUE(adv.Save(SharedDatabase(), 200, true));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, JobNo, ReasonID FROM Credits WHERE CusNo = 200")),
              QStringLiteral("50|0|255"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Appliedto FROM Payments WHERE CusNo = 200")), QStringLiteral("Credit $50.00"));

    // Credit up to the largest amount (50.00 + 99,999,999,950.00 =
    // 100,000,000,000.00); 30.00 more would pass it: refused by name before
    // anything of that payment is written.
    PaymentEntry high;
    high.Load(SharedDatabase(), 200);
    high.AmountChanged(Money::fromWhole(99999999950LL));
    ASSERT_TRUE(high.Save(SharedDatabase(), 200, true));
    const QString beforeOverflow = dump();
    PaymentEntry over;
    over.Load(SharedDatabase(), 200);
    over.AmountChanged(Money::fromWhole(30));
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(over.Save(SharedDatabase(), 200, true));
    EXPECT_EQ(prompts().lastText(),
              QStringLiteral("\"Credit Due\" cannot be more than 100,000,000,000.00, the largest amount it holds."));
    EXPECT_EQ(dump(), beforeOverflow);
    EXPECT_EQ(CreditAdjustment(SharedDatabase()).CreditDue(200), Money::fromWhole(100000000000LL));

    // Using a credit of 60.00 on an invoice of 40.00.
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 60 WHERE CusNo = 100"));
    exec(QStringLiteral("UPDATE Jobs SET Subtotal = 40, Balance = 40 WHERE JobID = %1").arg(a));
    exec(QStringLiteral("UPDATE Items SET Price = 40 WHERE JobID = %1").arg(a));
    PaymentEntry use;
    use.Load(SharedDatabase(), 100);
    use.UseCredit(Money::fromWhole(60));
    use.ApplyToRow(0);
    EXPECT_EQ(use.rows[0].applied, Money::fromWhole(40));
    const int payments = cliCount(QStringLiteral("SELECT count(*) FROM Payments"));
    ASSERT_TRUE(use.Save(SharedDatabase(), 100, false));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Payments")), payments);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM PayApplied")), 0);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")), QStringLiteral("20"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, JobNo, ReasonID FROM Credits WHERE CusNo = 100")),
              QStringLiteral("-40|7001|253"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobID = %1").arg(a)), QStringLiteral("-40|0"));

    // A negative payment: saved with nothing applied and no credit.
    PaymentEntry neg;
    neg.Load(SharedDatabase(), 100);
    neg.AmountChanged(Money::fromWhole(-30));
    ASSERT_TRUE(neg.Save(SharedDatabase(), 100, false));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount, Appliedto FROM Payments WHERE Amount < 0")), QStringLiteral("-30|"));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Credits WHERE CusNo = 100")), 1);

    // Seven payments of 99,999,999,999.99 on account: the first is credited;
    // each after it would take the credit due past the largest amount and is
    // refused by name, the credit due and the file as they were.
    addCustomer(300, QStringLiteral("Crest Labels"));
    // The customers' credit taken back and the period's payments posted:
    // both sums the next posting stores start from nothing.
    ASSERT_TRUE(CreditAdjustment(SharedDatabase()).Adjust(200, Money::fromWhole(-100000000000LL), 0));
    ASSERT_TRUE(CreditAdjustment(SharedDatabase()).Adjust(100, Money::fromWhole(-20), 0));
    exec(QStringLiteral("UPDATE Payments SET PostingNo = 1 WHERE PostingNo = 0"));
    for (int payment = 1; payment <= 7; ++payment) {
        SCOPED_TRACE(payment);
        PaymentEntry onAccount;
        onAccount.Load(SharedDatabase(), 300);
        onAccount.AmountChanged(Money::fromText(QStringLiteral("99999999999.99")));
        const QString before = dump();
        prompts().clear();
        if (payment > 1)
            prompts().answer(platform::IDOK);
        EXPECT_EQ(onAccount.Save(SharedDatabase(), 300, true), payment == 1);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f', CreditDue) FROM Customers WHERE CusNo = 300")),
                  QStringLiteral("99999999999.9900"));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT count(*), printf('%.4f', sum(Amount)) FROM Payments WHERE CusNo = 300")),
                  QStringLiteral("1|99999999999.9900"));
        if (payment > 1) {
            EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("\"Credit Due\" cannot be more than "
                                                                    "100,000,000,000.00, the largest amount it holds.")});
            EXPECT_EQ(dump(), before);
        }
    }
    // Paying all of two invoices at the largest amount would receive twice
    // it in one payment: refused by its Amount, nothing written.
    const qint32 big1 = addJob(3, 7301, QStringLiteral("100000000000"), QStringLiteral("0"), QStringLiteral("0"),
                               QStringLiteral("100000000000"), 0, QStringLiteral("#3/1/2026#"), 1, 300);
    const qint32 big2 = addJob(3, 7302, QStringLiteral("100000000000"), QStringLiteral("0"), QStringLiteral("0"),
                               QStringLiteral("100000000000"), 0, QStringLiteral("#3/1/2026#"), 1, 300);
    PaymentEntry all;
    all.Load(SharedDatabase(), 300);
    all.ApplyAll();
    EXPECT_EQ(all.amount, Money::fromWhole(200000000000LL));
    const QString beforeAll = dump();
    prompts().clear();
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(all.Save(SharedDatabase(), 300, true));
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("\"Amount\" cannot be more than 100,000,000,000.00, the "
                                                            "largest amount it holds.")});
    EXPECT_EQ(dump(), beforeAll);
    // One of them in full would take the period's payments past the largest
    // amount the posting stores (99,999,999,999.99 of customer 300 already):
    // refused by name, nothing written. Once the period is posted it is
    // taken: the invoice paid to 0.0000 exactly.
    PaymentEntry early;
    early.Load(SharedDatabase(), 300);
    early.ApplyToRow(1);
    const QString beforeEarly = dump();
    prompts().clear();
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(early.Save(SharedDatabase(), 300, true));
    EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("\"Posting All Payments\" cannot be more than "
                                                            "100,000,000,000.00, the largest amount it holds.")});
    EXPECT_EQ(dump(), beforeEarly);
    exec(QStringLiteral("UPDATE Payments SET PostingNo = 2 WHERE PostingNo = 0"));
    PaymentEntry one;
    one.Load(SharedDatabase(), 300);
    one.ApplyToRow(1);
    ASSERT_TRUE(one.Save(SharedDatabase(), 300, true));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f|%.4f', Paid, Balance) FROM Jobs WHERE JobID IN (%1, %2) ORDER "
                                    "BY JobNo")
                         .arg(big1)
                         .arg(big2)),
              QStringLiteral("0.0000|100000000000.0000\n-100000000000.0000|0.0000"));

    // Nothing to save.
    PaymentEntry none;
    EXPECT_FALSE(none.Save(SharedDatabase(), 100, true));
}

TEST_F(PaymentTest, ChildAccountsAndTheBalanceReadInTheSave)
{
    addCustomer(300, QStringLiteral("Acme Branch"));
    exec(QStringLiteral("UPDATE Customers SET ParentNo = 100 WHERE CusNo = 300"));
    const qint32 child = addJob(3, 7003, QStringLiteral("30"), QStringLiteral("0"), QStringLiteral("0"),
                                QStringLiteral("30"), 0, QStringLiteral("#3/1/2026#"), 1, 300);
    PaymentEntry e;
    e.Load(SharedDatabase(), 100);
    ASSERT_EQ(e.rows.size(), 3);
    e.ApplyToRow(2);
    // Another workstation adds a late fee meanwhile: the save keeps it.
    exec(QStringLiteral("UPDATE Jobs SET Latefee = 5, Balance = 35 WHERE JobID = %1").arg(child));
    ASSERT_TRUE(e.Save(SharedDatabase(), 100, true));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobID = %1").arg(child)), QStringLiteral("-30|5"));

    // Another workstation pays part of invoice 7002 (80.00) after this
    // entry's list was read: a payment still applying what was owed then is
    // refused whole, and the invoice never goes below 0; one applying no
    // more than what is owed now is saved.
    struct
    {
        const char *paidMeanwhile; // by the other workstation
        const char *applied;       // by this entry
        const char *refusal;       // empty: saved
        const char *paidBalance;   // the invoice afterwards
    } partly[] = {
        {"30", "80", "Invoice 7002 now has a balance of $50.00, less than the $80.00 applied to it.", "-30|50"},
        {"30", "50.01", "Invoice 7002 now has a balance of $50.00, less than the $50.01 applied to it.", "-30|50"},
        {"30", "50", "", "-80|0"},
        {"79.99", "0.01", "", "-80|0"},
        // Paid in full, or down to the No Charge marker: no longer unpaid.
        {"80", "80", "Invoice 7002 is not an unpaid invoice of the customer.", "-80|0"},
        {"79.9999", "80", "Invoice 7002 is not an unpaid invoice of the customer.", "-79.9999|0.0001"},
    };
    for (const auto &c : partly) {
        SCOPED_TRACE(c.applied);
        exec(QStringLiteral("UPDATE Jobs SET Paid = 0, Balance = 80 WHERE JobID = %1").arg(b));
        PaymentEntry late;
        late.Load(SharedDatabase(), 100);
        int row = 0;
        while (row < late.rows.size() && late.rows[row].jobNo != 7002)
            ++row;
        ASSERT_LT(row, late.rows.size());
        ASSERT_EQ(late.rows[row].due, Money::fromWhole(80));
        late.ApplyToRow(row, Money::fromText(QString::fromLatin1(c.applied)));
        const Money other = Money::fromText(QString::fromLatin1(c.paidMeanwhile));
        exec(QStringLiteral("UPDATE Jobs SET Paid = -%1, Balance = %2 WHERE JobID = %3")
                 .arg(QString::fromLatin1(c.paidMeanwhile), (Money::fromWhole(80) - other).toPlainText())
                 .arg(b));
        const QString before = dump();
        prompts().clear();
        if (*c.refusal) {
            prompts().answer(platform::IDOK);
            EXPECT_FALSE(late.Save(SharedDatabase(), 100, true));
            EXPECT_EQ(prompts().lastText(), QString::fromLatin1(c.refusal));
            EXPECT_EQ(dump(), before);
        } else {
            EXPECT_TRUE(late.Save(SharedDatabase(), 100, true));
            EXPECT_TRUE(prompts().shown().isEmpty());
        }
        EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobID = %1").arg(b)),
                  QString::fromLatin1(c.paidBalance));
    }

    // The customer's credit, used meanwhile by another workstation down to
    // 30.00: this entry's use of 40.00 of it is refused whole; 30.00 is not.
    for (const auto &[use, refusal] :
         {std::pair{"40", "The customer's credit is now $30.00, less than the $40.00 to be used."}, std::pair{"30", ""}}) {
        SCOPED_TRACE(use);
        exec(QStringLiteral("UPDATE Jobs SET Paid = 0, Balance = 80 WHERE JobID = %1").arg(b));
        exec(QStringLiteral("UPDATE Customers SET CreditDue = 60 WHERE CusNo = 100"));
        PaymentEntry credit;
        credit.Load(SharedDatabase(), 100);
        credit.UseCredit(Money::fromWhole(60));
        int row = 0;
        while (row < credit.rows.size() && credit.rows[row].jobNo != 7002)
            ++row;
        ASSERT_LT(row, credit.rows.size());
        credit.ApplyToRow(row, Money::fromText(QString::fromLatin1(use)));
        exec(QStringLiteral("UPDATE Customers SET CreditDue = 30 WHERE CusNo = 100"));
        const QString before = dump();
        prompts().clear();
        if (*refusal) {
            prompts().answer(platform::IDOK);
            EXPECT_FALSE(credit.Save(SharedDatabase(), 100, false));
            EXPECT_EQ(prompts().lastText(), QString::fromLatin1(refusal));
            EXPECT_EQ(dump(), before);
        } else {
            EXPECT_TRUE(credit.Save(SharedDatabase(), 100, false));
            EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")), QStringLiteral("0"));
            EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobID = %1").arg(b)),
                      QStringLiteral("-30|50"));
        }
    }
}

TEST_F(PaymentTest, CreditDueStaysTheSumOfCredits)
{
    QRandomGenerator rng(33);
    for (int step = 0; step < 30; ++step) {
        const int kind = rng.bounded(3);
        if (kind == 0) {
            PaymentEntry e;
            e.Load(SharedDatabase(), 100);
            e.AmountChanged(Money::fromCents(rng.bounded(1, 20000)));
            if (!e.rows.isEmpty())
                e.ApplyToRow(0);
            e.Save(SharedDatabase(), 100, true);
        } else if (kind == 1) {
            CreditAdjustment(SharedDatabase()).Adjust(100, Money::fromCents(rng.bounded(-9000, 9000)), 1);
        } else {
            const Money due = CreditAdjustment(SharedDatabase()).CreditDue(100);
            PaymentEntry e;
            e.Load(SharedDatabase(), 100);
            if (due > Money() && !e.rows.isEmpty()) {
                e.UseCredit(due);
                e.ApplyToRow(0);
                e.Save(SharedDatabase(), 100, false);
            }
        }
        // Compared in cents: the sqlite3 tool sums the stored values as reals.
        ASSERT_EQ(sqlite(QStringLiteral("SELECT round((SELECT CreditDue FROM Customers WHERE CusNo = 100) * 100) = "
                                     "round((SELECT coalesce(sum(Amount), 0) FROM Credits WHERE CusNo = 100) * 100)")),
                  QStringLiteral("1"))
            << "step " << step << " kind " << kind << " "
            << sqlite(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")).toStdString() << " "
            << sqlite(QStringLiteral("SELECT group_concat(Amount) FROM Credits WHERE CusNo = 100")).toStdString();
    }
}

} // namespace
