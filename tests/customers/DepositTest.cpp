#include "CustomersFixture.h"

#include "customers/CDeposit.h"
#include "customers/DepositRules.h"
#include "data/CJobSet.h"
#include "data/SettingRows.h"
#include "jobs/CJobDlg.h"
#include "jobs/JobHooks.h"
#include "platform/Clock.h"

#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 4, 15);

Money money(const char *text)
{
    return Money::fromText(QString::fromLatin1(text));
}

TEST(DepositRules, TenderedAmountAndChangeByKind)
{
    struct Case
    {
        quint8 kind;
        const char *due, *tendered, *expectTendered, *expectChange;
    } cases[] = {
        {0, "25.00", "40.00", "40.00", "15.00"},   // change handed back
        {0, "25.00", "10.00", "25.00", "0"},       // a sale is never paid short
        {0, "25.00", "-5.00", "-25.00", "0"},      // below 0 reverses the whole sale
        {0, "25.00", "25.00", "25.00", "0"},
        {1, "60.00", "100.00", "100.00", "40.00"}, // deposit above the balance
        {1, "60.00", "10.00", "10.00", "0"},       // a deposit may be any amount
        {1, "60.00", "-10.00", "-10.00", "0"},
        {1, "0", "50.00", "50.00", "0"},           // nothing due: no change
        {2, "-20.00", "30.00", "30.00", "0"},
    };
    for (const Case &c : cases) {
        const DepositAmounts a = TenderedLeft(c.kind, money(c.due), money(c.tendered));
        EXPECT_EQ(a.tendered.units(), money(c.expectTendered).units()) << c.kind << ' ' << c.due << ' ' << c.tendered;
        EXPECT_EQ(a.change.units(), money(c.expectChange).units()) << c.kind << ' ' << c.due << ' ' << c.tendered;
    }
    EXPECT_EQ(DepositTitle(0, 31, 0), QStringLiteral("Payment for Quick Sale"));
    EXPECT_EQ(DepositTitle(1, 100, 1234), QStringLiteral("Deposit for Order 1234"));
    EXPECT_EQ(DepositTitle(2, 100, 0), QStringLiteral("A/R Payment from Customer 100"));
    EXPECT_EQ(DepositMoneyText(Money::noChargeMarker()), QStringLiteral("No Charge"));
}

class DepositTest : public CustomersTest
{
protected:
    void SetUp() override
    {
        CustomersTest::SetUp();
        platform::Clock::setFixed(QDateTime(kToday, QTime(9, 0)));
        addCustomer(100, QStringLiteral("Acme Printing Buyers"));
        exec(QStringLiteral("DELETE FROM PaymentTypes"));
        exec(QStringLiteral("INSERT INTO PaymentTypes ([No], Name, Type, Sort) VALUES (1, 'Cash', 0, 1)"));
        exec(QStringLiteral("INSERT INTO PaymentTypes ([No], Name, Type, Sort) VALUES (2, 'Check', 0, 2)"));
        exec(QStringLiteral("INSERT INTO PaymentTypes ([No], Name, Type, Sort) VALUES (3, '~Old card', 0, 3)"));
        InstallDepositDialog();
    }
    void TearDown() override
    {
        GetJobHooks() = JobHooks();
        platform::Clock::reset();
        CustomersTest::TearDown();
    }
    static void typeTendered(CDeposit &d, const QString &text)
    {
        d.tenderedEdit()->setText(text);
        d.OnTenderedLeft();
    }
    static void chooseType(CDeposit &d, const QString &name)
    {
        const auto found = d.typeList()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        d.typeList()->setCurrentItem(found.first());
    }
    int take(quint8 kind, const char *due, qint32 cusNo, qint32 jobNo, NewPayment &payment)
    {
        return GetJobHooks().takeDeposit(kind, money(due), cusNo, jobNo, payment, nullptr);
    }
    QString dump() const { return sqlite(QStringLiteral(".dump")); }
};

TEST_F(DepositTest, QuickSaleGivesChangeAndHandsBackTheSaleAmountUnsaved)
{
    NewPayment payment;
    onDialog<CDeposit>([&](CDeposit &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Payment for Quick Sale"));
        EXPECT_FALSE(d.changeEdit()->isEnabled());
        EXPECT_EQ(d.tenderedEdit()->text(), QStringLiteral("25.00"));
        EXPECT_EQ(d.typeList()->currentItem()->text(), QStringLiteral("Cash")); // default type 1
        QStringList names;
        for (int i = 0; i < d.typeList()->count(); ++i)
            names << d.typeList()->item(i)->text();
        EXPECT_EQ(names, (QStringList{QStringLiteral("< select one >"), QStringLiteral("Cash"), QStringLiteral("Check")}));
        typeTendered(d, QStringLiteral("40"));
        EXPECT_EQ(d.changeEdit()->text(), QStringLiteral("15.00"));
        snapshot(d, QStringLiteral("deposit_quick_sale"));
        // No to the change leaves the dialog open; Yes saves.
        prompts().answer(platform::IDNO);
        d.SendCommand(30213);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("Please note the amount due to the customer is $15.00\nIs this amount due correct?"));
        EXPECT_TRUE(d.isVisible());
        prompts().answer(platform::IDYES);
        return press(d, 30330);
    });
    EXPECT_EQ(take(0, "25.00", 31, 0, payment), 30330);
    EXPECT_EQ(payment.amount.units(), money("25.00").units());
    EXPECT_EQ(payment.cusNo, 31);
    EXPECT_EQ(payment.payGroup, 0);
    EXPECT_EQ(payment.paidBy, 1);
    EXPECT_EQ(payment.paidByName, QStringLiteral("Cash"));
    EXPECT_TRUE(payment.appliedto.isEmpty());
    EXPECT_EQ(payment.date.date(), kToday);
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Payments")), 0); // the caller writes it

    // Short and negative tenders on a sale; the reverse goes past the rights check.
    onDialog<CDeposit>([&](CDeposit &d) {
        typeTendered(d, QStringLiteral("10"));
        EXPECT_EQ(d.tenderedEdit()->text(), QStringLiteral("25.00"));
        typeTendered(d, QStringLiteral("-5"));
        EXPECT_EQ(d.tenderedEdit()->text(), QStringLiteral("-25.00"));
        return press(d, 30213);
    });
    EXPECT_EQ(take(0, "25.00", 31, 0, payment), 1);
    EXPECT_EQ(payment.amount.units(), money("-25.00").units());
}

TEST_F(DepositTest, DepositStartsAtZeroAndTakesAnOverwrittenChange)
{
    NewPayment payment;
    onDialog<CDeposit>([&](CDeposit &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Deposit for Order 1234"));
        EXPECT_TRUE(d.changeEdit()->isEnabled());
        EXPECT_EQ(d.tenderedEdit()->text(), QStringLiteral("0.00"));
        prompts().answer(platform::IDOK);
        d.SendCommand(30213);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("No amount tendered!"));
        EXPECT_TRUE(d.isVisible());
        // Amounts as people type them, and texts that are none: refused in
        // the words of every amount field, the text left selected so that
        // what is typed next replaces it (never "abc50").
        struct Typed
        {
            const char *text;
            bool refused;
            const char *shown; // what the field shows afterwards
        } typed[] = {
            {"abc", true, "abc"},
            {"12abc", true, "12abc"},
            {"No Charge", true, "No Charge"}, // the marker is shown, never typed
            {"99999999999999999", true, "99999999999999999"},
            {"100,000,000,000.01", true, "100,000,000,000.01"},
            {"12.345", true, "12.345"}, // a third decimal: refused, never rounded
            {"$1,234.50", false, "1234.50"},
            {"", false, "0.00"},
        };
        for (const Typed &t : typed) {
            prompts().clear();
            if (t.refused)
                prompts().answer(platform::IDOK);
            typeTendered(d, QString::fromLatin1(t.text));
            EXPECT_EQ(d.tenderedEdit()->text(), QString::fromLatin1(t.shown)) << t.text;
            if (!t.refused) {
                EXPECT_TRUE(prompts().texts().isEmpty()) << t.text;
                continue;
            }
            const QString why = QString::fromLatin1(t.text) == QLatin1String("12.345")
                                    ? QStringLiteral("Please enter an amount with at most 2 decimals.")
                                : QString::fromLatin1(t.text).startsWith(QLatin1Char('9'))
                                        || QString::fromLatin1(t.text).startsWith(QLatin1String("100,"))
                                    ? QStringLiteral("Please enter an amount from -100,000,000,000.00 to "
                                                     "100,000,000,000.00.")
                                    : QStringLiteral("Please enter a currency.");
            EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("Tendered: ") + why}) << t.text;
            EXPECT_EQ(d.tenderedEdit()->selectedText(), QString::fromLatin1(t.shown)) << t.text;
        }
        EXPECT_EQ(d.tenderedEdit()->text(), QStringLiteral("0.00"));
        // A refused entry, then the correction typed over it: the correction counts.
        prompts().answer(platform::IDOK);
        typeTendered(d, QStringLiteral("abc"));
        QTest::keyClicks(d.tenderedEdit(), QStringLiteral("100"));
        EXPECT_EQ(d.tenderedEdit()->text(), QStringLiteral("100"));
        d.OnTenderedLeft();
        EXPECT_EQ(d.changeEdit()->text(), QStringLiteral("40.00"));
        d.referenceEdit()->setText(QStringLiteral("Chq 5521"));
        chooseType(d, QStringLiteral("Check"));
        snapshot(d, QStringLiteral("deposit_order"));
        d.changeEdit()->setText(QStringLiteral("0"));
        prompts().clear();
        const int result = press(d, 30213);
        EXPECT_TRUE(prompts().shown().isEmpty()); // no change, no question
        return result;
    });
    EXPECT_EQ(take(1, "60.00", 100, 1234, payment), 1);
    EXPECT_EQ(payment.amount.units(), money("100.00").units());
    EXPECT_EQ(payment.appliedto, QStringLiteral("1234"));
    EXPECT_EQ(payment.reference, QStringLiteral("Chq 5521"));
    EXPECT_EQ(payment.paidBy, 2);

    // Set as amount due: tendered = due, change 0.
    onDialog<CDeposit>([&](CDeposit &d) {
        typeTendered(d, QStringLiteral("100"));
        d.SendCommand(1001);
        EXPECT_EQ(d.tenderedEdit()->text(), QStringLiteral("60.00"));
        EXPECT_EQ(d.changeEdit()->text(), QStringLiteral("0.00"));
        return press(d, 2);
    });
    EXPECT_EQ(take(1, "60.00", 100, 1234, payment), 2);
}

TEST_F(DepositTest, NoDefaultTypeAsksForOneAndTheDefaultIsStoredPerKind)
{
    app->WriteSettingInt(QStringLiteral("DefaultPaidBy-Deposits"), 255, CZqApp::kSettings);
    NewPayment payment;
    onDialog<CDeposit>([&](CDeposit &d) {
        EXPECT_EQ(d.typeList()->currentItem()->text(), QStringLiteral("< select one >"));
        typeTendered(d, QStringLiteral("30"));
        prompts().answer(platform::IDOK);
        d.SendCommand(30213);
        EXPECT_EQ(prompts().lastText(), QStringLiteral("Please select a payment type."));
        chooseType(d, QStringLiteral("Check"));
        prompts().answer(platform::IDOK);
        d.SendCommand(1002);
        EXPECT_EQ(prompts().lastText(),
                  QStringLiteral("The default 'Paid by' for Deposits is set to: 'Check'\n(local to this computer)"));
        return press(d, 2);
    });
    EXPECT_EQ(take(1, "60.00", 100, 1234, payment), 2);
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("DefaultPaidBy-Deposits"), 1, CZqApp::kSettings), 2);
    EXPECT_EQ(app->GetSettingInt(QStringLiteral("DefaultPaidBy-Quick Sales"), 1, CZqApp::kSettings), 1);
}

TEST_F(DepositTest, PaymentOnAccountSavesItselfDatedTheDayOfSaving)
{
    CDeposit dlg(2, money("80.00"), 100, 0, nullptr);
    onDialog<CDeposit>([&](CDeposit &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("A/R Payment from Customer 100"));
        EXPECT_FALSE(d.changeEdit()->isEnabled());
        return press(d, 30213);
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_GT(dlg.m_payNo, 0);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT PayNo, date([Date] + 2415018.5), Amount, CusNo, PayGroup, PaidBy, Appliedto, PostingNo "
                                 "FROM Payments")),
              QStringLiteral("%1|2026-04-15|80|100|2|1||0").arg(dlg.m_payNo));
}

// The job window's deposit: Payments row, its PayApplied row and the order's
// totals land together, or nothing does.
class JobDepositTest : public DepositTest
{
protected:
    void SetUp() override
    {
        DepositTest::SetUp();
        // The job window without its missing-data check; item 10 writes each
        // applied amount into the invoice note.
        SaveGlobalAlertText(251, QStringLiteral("0,0,0,0,0,1,1,0,0,0,1,"));
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Title, Status, TermsNo, TaxNo, Cost, Subtotal, "
                            "Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance, Commission, Creator, "
                            "PostingNo) VALUES (0, 1234, 100, 'Cards', 0, 0, 0, 0, 60, 0, 0, 0, 0, 0, 0, 0, 60, 0, 0, 0)"));
        jobId = sqlite(QStringLiteral("SELECT max(JobID) FROM Jobs")).toInt();
        // One item with one service, priced at the subtotal.
        if (cliCount(QStringLiteral("SELECT Count(*) FROM Services WHERE SerNo = 1")) == 0)
            exec(QStringLiteral("INSERT INTO Services (SerNo, CatNo, Name, SerStatus, CostBy, SortNo) "
                                "SELECT 1, CatNo, 'Press run', 0, 0, 9999 FROM Services WHERE SerNo = 0"));
        for (int serNo : {0, 1})
            exec(QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Description, Price, Cost, Bleed, "
                                "Sheets, Status, ChargeQty) VALUES (%1, %2, 1, 0, 'Cards', 60, 0, 0, 1, 1, 500)")
                     .arg(jobId)
                     .arg(serNo));
    }
    // The reference is typed key by key, as the user types it.
    void runDeposit(const QString &tendered, const QString &reference = QString())
    {
        CJobSet job;
        ASSERT_TRUE(job.FindById(jobId, true));
        CJobDlg window(&job, false, nullptr, nullptr);
        onDialog<CJobDlg>([&](CJobDlg &w) {
            onDialog<CDeposit>([&](CDeposit &d) {
                typeTendered(d, tendered);
                if (!reference.isEmpty()) {
                    d.referenceEdit()->setFocus();
                    QTest::keyClicks(d.referenceEdit(), reference);
                }
                return press(d, 30213);
            });
            w.SendCommand(30415);
            w.SendCommand(2);
            return w.result();
        });
        window.DoModal();
    }
    qint32 jobId = 0;
};

TEST_F(JobDepositTest, DepositLowersTheOrdersBalanceInOneChange)
{
    // A reference one letter longer than its column (30) stops at 30 as it
    // is typed, and the deposit is saved with what was shown.
    runDeposit(QStringLiteral("25"), QString(31, QLatin1Char('R')));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT PayGroup, Amount, CusNo, Appliedto, PaidBy, Reference FROM Payments")),
              QStringLiteral("1|25|100|1234|1|") + QString(30, QLatin1Char('R')));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT PayApplied.JobNo, PayApplied.Amount FROM PayApplied JOIN Payments ON "
                                 "Payments.PayNo = PayApplied.PayNo")),
              QStringLiteral("1234|25"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance, date(DatePaid + 2415018.5) FROM Jobs WHERE JobID = %1").arg(jobId)),
              QStringLiteral("-25|35|2026-04-15"));
    EXPECT_TRUE(sqlite(QStringLiteral("SELECT InvoiceNote FROM Jobs WHERE JobID = %1").arg(jobId))
                    .startsWith(QStringLiteral("Payment $25.00 Cash ")));
}

TEST_F(JobDepositTest, AFailedTieToTheOrderLeavesTheFileUnchanged)
{
    sqlite(QStringLiteral("CREATE TRIGGER fail_applied BEFORE INSERT ON PayApplied BEGIN SELECT RAISE(ABORT, "
                       "'refused'); END"));
    prompts().answer(platform::IDOK); // the failure
    prompts().answer(platform::IDNO); // closing: the deposit is not kept
    const QString before = dump();
    runDeposit(QStringLiteral("25"));
    EXPECT_EQ(dump(), before);
    EXPECT_TRUE(prompts().texts().join(QLatin1Char('\n')).contains(QStringLiteral("refused")));
}

TEST_F(JobDepositTest, ADepositAboveTheBalanceKeepsTheWholeAmountOnTheOrder)
{
    CJobSet job;
    ASSERT_TRUE(job.FindById(jobId, true));
    CJobDlg window(&job, false, nullptr, nullptr);
    onDialog<CJobDlg>([&](CJobDlg &w) {
        onDialog<CDeposit>([&](CDeposit &d) {
            typeTendered(d, QStringLiteral("100"));
            d.changeEdit()->setText(QStringLiteral("0"));
            return press(d, 30213);
        });
        w.SendCommand(30415);
        w.SendCommand(2);
        return w.result();
    });
    window.DoModal();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobID = %1").arg(jobId)),
              QStringLiteral("-100|-40"));

    // Deposits above what the order owes near the largest amount: Paid
    // reaches it exactly, and a cent past it is refused by name with nothing
    // written.
    exec(QStringLiteral("UPDATE Jobs SET Paid = -99999999999.98, Balance = -99999999939.98 WHERE JobID = %1").arg(jobId));
    const struct
    {
        const char *tendered;
        const char *stored; // Paid|Balance afterwards
        bool refused;
    } deposits[] = {
        {"0.02", "-100000000000.0000|-99999999940.0000", false},
        {"0.01", "-100000000000.0000|-99999999940.0000", true},
    };
    for (const auto &d : deposits) {
        SCOPED_TRACE(d.tendered);
        const QString before = dump();
        prompts().clear();
        if (d.refused)
            prompts().answer(platform::IDOK);
        runDeposit(QLatin1String(d.tendered));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f|%.4f', Paid, Balance) FROM Jobs WHERE JobID = %1").arg(jobId)),
                  QLatin1String(d.stored));
        if (!d.refused)
            continue;
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("\"Paid\" cannot be more than 100,000,000,000.00, the "
                                                                "largest amount it holds.")});
        EXPECT_EQ(dump(), before);
    }

    // The period's payments, which the next posting stores, at
    // 99,999,999,999.99 with the others posted: a deposit of a cent reaches
    // the largest amount, two cents pass it and are refused by name.
    exec(QStringLiteral("UPDATE Jobs SET Paid = 0, Balance = 60 WHERE JobID = %1").arg(jobId));
    exec(QStringLiteral("UPDATE Payments SET PostingNo = 1 WHERE PostingNo = 0"));
    exec(QStringLiteral("INSERT INTO Payments (Amount, CusNo, PayGroup, PostingNo) VALUES (99999999999.99, 0, 2, 0)"));
    const struct
    {
        const char *tendered;
        const char *stored; // Paid|Balance afterwards
        bool refused;
    } period[] = {
        {"0.02", "0.0000|60.0000", true},
        {"0.01", "-0.0100|59.9900", false},
    };
    for (const auto &d : period) {
        SCOPED_TRACE(d.tendered);
        const QString before = dump();
        prompts().clear();
        if (d.refused)
            prompts().answer(platform::IDOK);
        runDeposit(QLatin1String(d.tendered));
        EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.4f|%.4f', Paid, Balance) FROM Jobs WHERE JobID = %1").arg(jobId)),
                  QLatin1String(d.stored));
        if (!d.refused)
            continue;
        EXPECT_EQ(prompts().texts(), QStringList{QStringLiteral("\"Posting All Payments\" cannot be more than "
                                                                "100,000,000,000.00, the largest amount it holds.")});
        EXPECT_EQ(dump(), before);
    }
}

} // namespace

#include "views/CDlgData.h"

#include <QtWidgets/QLineEdit>

namespace {

// The customer's credit on the order: cut to what the order owes and what
// the customer has, the credit lowered and its Credits row written with the
// order's new totals.
TEST_F(JobDepositTest, CustomersCreditIsCutToTheBalanceAndTheCredit)
{
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 50 WHERE CusNo = 100"));
    auto applyCredit = [&](const QString &typed, bool refused, const QString &offered = QStringLiteral("50.00")) {
        CJobSet job;
        ASSERT_TRUE(job.FindById(jobId, true));
        CJobDlg window(&job, false, nullptr, nullptr);
        onDialog<CJobDlg>([&](CJobDlg &w) {
            prompts().answer(platform::IDYES);
            if (refused)
                prompts().answer(platform::IDOK);
            onDialog<CDlgData>([&](CDlgData &e) {
                EXPECT_EQ(e.m_strValue, offered);
                EXPECT_EQ(e.m_strWindowTitle, QStringLiteral("Apply Credit"));
                e.edit()->setText(typed);
                e.SendCommand(1);
                return e.result();
            });
            w.SendCommand(30415);
            w.SendCommand(2);
            return w.result();
        });
        window.DoModal();
    };
    // Nothing, a third decimal or a misplaced group is no amount of cents:
    // not applied, never read as 12.345 or 100.
    for (const char *typed : {"0", "12.345", "1,00", "12abc"}) {
        prompts().clear();
        applyCredit(QString::fromLatin1(typed), true);
        EXPECT_TRUE(prompts().texts().contains(
            QStringLiteral("Not Applied!\n\n Enter an amount greater than 0 and less than or equal to 50.00")))
            << typed;
        EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Credits")), 0) << typed;
    }

    applyCredit(QStringLiteral("80"), false);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")), QStringLiteral("0"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CusNo, JobNo, Amount, ReasonID FROM Credits")),
              QStringLiteral("100|1234|-50|252"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobID = %1").arg(jobId)),
              QStringLiteral("-50|10"));
    EXPECT_EQ(cliCount(QStringLiteral("SELECT count(*) FROM Payments")), 0);

    // The order now owes 10.00 of its 60.00: new credit of 50.00 is offered
    // and taken only up to what it owes.
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 50 WHERE CusNo = 100"));
    applyCredit(QStringLiteral("80"), false, QStringLiteral("10.00"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")), QStringLiteral("40"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Amount FROM Credits ORDER BY CreditID")), QStringLiteral("-50\n-10"));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobID = %1").arg(jobId)),
              QStringLiteral("-60|0"));
}

} // namespace

