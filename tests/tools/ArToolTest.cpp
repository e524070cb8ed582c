#include "support/TestEnvironment.h"

#include "platform/Money.h"

#include <QtCore/QProcess>

#include <functional>
#include <memory>
#include <vector>

namespace {

struct ArRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ArRun run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    ArRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

ArRun dbtool(const QStringList &args)
{
    return run(QStringLiteral(TAVREL_DBTOOL), args);
}

QString sqlite(const QString &db, const QString &sql)
{
    return run(QStringLiteral("sqlite3"), {db, sql}).out.trimmed();
}

class ArTool : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        db = tempPath(QStringLiteral("TavrelData.mdb"));
        ASSERT_EQ(dbtool({QStringLiteral("create"), db}).exitCode, 0);
        for (const char *sql :
             {"INSERT INTO Customers (CusNo, Name, CreditDue, ParentNo) VALUES (100, 'Acme', 0, 0)",
              "INSERT INTO Jobs (JobType, JobNo, CusNo, Status, TermsNo, DateShipped, Cost, Subtotal, Discount, "
              "Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance, Commission, Creator, PostingNo) VALUES (0, "
              "1001, 100, 3, 0, #3/1/2026#, 0, 100, 0, 0, 0, 8, 0, 0, 0, 108, 0, 0, 0)"}) {
            const ArRun r = dbtool({QStringLiteral("sql"), db, QString::fromLatin1(sql)});
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        }
        const QString id = sqlite(db, QStringLiteral("SELECT JobID FROM Jobs"));
        for (int ser : {0, 5})
            sqlite(db, QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, Price, Cost, Bleed) VALUES (%1, "
                                      "%2, 1, 0, 100, 0, 0)")
                           .arg(id)
                           .arg(ser));
    }
    QString db;
};

} // namespace

TEST_F(ArTool, PostsPaysAndCreditsFromTheCommandLine)
{
    ArRun r = dbtool({QStringLiteral("ar"), db, QStringLiteral("post"), QStringLiteral("--today"),
                      QStringLiteral("4/15/2026")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Invoices 1\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("ARBalance 108.00\n"))) << r.out.toStdString();
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT JobType, Status FROM Jobs")), QStringLiteral("3|0"));

    // 120.00 on the 108.00 invoice: the over-payment question takes its
    // default (Yes) and 12.00 becomes credit.
    r = dbtool({QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("120"),
                QStringLiteral("1001")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Credit the customer's account by $12.00?"))) << r.err.toStdString();
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT Amount, Appliedto FROM Payments")), QStringLiteral("120|1001 Credit $12.00"));
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 100")), QStringLiteral("12"));

    // Taking back more credit than is due stops at the credit due.
    r = dbtool({QStringLiteral("ar"), db, QStringLiteral("credit"), QStringLiteral("100"), QStringLiteral("-20")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Adjusted -12.00"))) << r.out.toStdString();

    // Failures write nothing; a No Charge invoice (balance 0.0001) is none
    // to pay.
    sqlite(db, QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Subtotal, Balance, Paid) VALUES (3, 1002, 100, "
                              "0.0001, 0.0001, 0)"));
    const QString before = sqlite(db, QStringLiteral(".dump"));
    r = dbtool({QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("10"),
                QStringLiteral("1002")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Invoice 1002 is not an unpaid invoice of the customer.")))
        << r.err.toStdString();
    EXPECT_EQ(dbtool({QStringLiteral("ar"), db, QStringLiteral("credit"), QStringLiteral("100"), QStringLiteral("-5")})
                  .exitCode,
              1);
    EXPECT_EQ(dbtool({QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("10"),
                      QStringLiteral("999")})
                  .exitCode,
              1);
    EXPECT_EQ(dbtool({QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("5"),
                      QStringLiteral("--use-credit")})
                  .exitCode,
              1);
    EXPECT_EQ(dbtool({QStringLiteral("ar"), db, QStringLiteral("bogus")}).exitCode, 2);
    // An amount is read as the program's fields read one: cents, within
    // 100,000,000,000.00; past it (or with a third decimal) it is refused,
    // never stored a cent off.
    const QString bound = QStringLiteral("Please enter an amount from -100,000,000,000.00 to 100,000,000,000.00.");
    const struct
    {
        QStringList args;
        QString message;
    } refused[] = {
        {{QStringLiteral("credit"), QStringLiteral("100"), QStringLiteral("99999999999999.99")}, bound},
        {{QStringLiteral("credit"), QStringLiteral("100"), QStringLiteral("100000000000.01")}, bound},
        {{QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("99999999999999.99")}, bound},
        {{QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("12.345")},
         QStringLiteral("Please enter an amount with at most 2 decimals.")},
        {{QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("10"), QStringLiteral("1001:100000000000.01")},
         bound},
    };
    for (const auto &row : refused) {
        r = dbtool(QStringList{QStringLiteral("ar"), db} + row.args);
        EXPECT_EQ(r.exitCode, 2) << row.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains(row.message)) << r.err.toStdString();
    }
    EXPECT_EQ(sqlite(db, QStringLiteral(".dump")), before);
    // The largest amount is stored exactly as confirmed.
    r = dbtool({QStringLiteral("ar"), db, QStringLiteral("credit"), QStringLiteral("100"),
                QStringLiteral("100,000,000,000.00")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Adjusted 100000000000.00\nCreditDue 100000000000.00")))
        << r.out.toStdString();
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT printf('%.4f', CreditDue) FROM Customers WHERE CusNo = 100")),
              QStringLiteral("100000000000.0000"));

    // The credit taken back and the period posted: the customers' credit and
    // the period's payments start from nothing.
    r = dbtool({QStringLiteral("ar"), db, QStringLiteral("credit"), QStringLiteral("100"),
                QStringLiteral("-100000000000")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = dbtool({QStringLiteral("ar"), db, QStringLiteral("post")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    // Seven payments of 99,999,999,999.99 on account of a customer without
    // invoices: the first is credited; each after it would take the credit
    // due past the largest amount and is refused by name, nothing written.
    sqlite(db, QStringLiteral("INSERT INTO Customers (CusNo, Name, CreditDue, ParentNo) VALUES (300, 'Crest', 0, 0)"));
    const QString tooLarge = QStringLiteral("\"%1\" cannot be more than 100,000,000,000.00, the largest amount it holds.");
    for (int payment = 1; payment <= 7; ++payment) {
        SCOPED_TRACE(payment);
        const QString file = sqlite(db, QStringLiteral(".dump"));
        r = dbtool({QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("300"),
                    QStringLiteral("99999999999.99")});
        EXPECT_EQ(r.exitCode, payment == 1 ? 0 : 1) << r.err.toStdString();
        EXPECT_EQ(sqlite(db, QStringLiteral("SELECT printf('%.4f', CreditDue) FROM Customers WHERE CusNo = 300")),
                  QStringLiteral("99999999999.9900"));
        if (payment > 1) {
            EXPECT_TRUE(r.err.contains(tooLarge.arg(QStringLiteral("Credit Due")))) << r.err.toStdString();
            EXPECT_EQ(sqlite(db, QStringLiteral(".dump")), file);
        }
    }
    // The statement prints the credit the customer's summary shows.
    const QString statement = tempPath(QStringLiteral("statement.pdf"));
    r = dbtool({QStringLiteral("print"), db, QStringLiteral("--statement"), QStringLiteral("300"),
                QStringLiteral("--kind"), QStringLiteral("3"), QStringLiteral("--pdf"), statement});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString printed = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), statement, QStringLiteral("-")}).out;
    EXPECT_TRUE(printed.contains(QStringLiteral("You have $99,999,999,999.99 credit balance on your account.")))
        << printed.toStdString();

    // The sums the next posting stores are held as each payment or credit is
    // taken, so that the posting never finds them past the largest amount:
    // the period's payments (99,999,999,999.99 so far) and every customer's
    // credit (99,999,999,999.99 of customer 300). A cent more of either is
    // taken, two cents more are refused by name with nothing written.
    sqlite(db, QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Subtotal, Balance, Paid) VALUES (3, 1003, 100, "
                              "5, 5, 0)"));
    const struct
    {
        QStringList args;
        const char *refusedBy; // null: taken
    } sums[] = {
        {{QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("0.02"), QStringLiteral("1003:0.02")},
         "Posting All Payments"},
        {{QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("0.01"), QStringLiteral("1003:0.01")}, nullptr},
        {{QStringLiteral("credit"), QStringLiteral("100"), QStringLiteral("0.02")}, "Posting Credits Due"},
        {{QStringLiteral("credit"), QStringLiteral("100"), QStringLiteral("0.01")}, nullptr},
    };
    for (const auto &row : sums) {
        SCOPED_TRACE(row.args.join(QLatin1Char(' ')).toStdString());
        const QString file = sqlite(db, QStringLiteral(".dump"));
        r = dbtool(QStringList{QStringLiteral("ar"), db} + row.args);
        EXPECT_EQ(r.exitCode, row.refusedBy ? 1 : 0) << r.err.toStdString();
        if (row.refusedBy) {
            EXPECT_TRUE(r.err.contains(tooLarge.arg(QLatin1String(row.refusedBy)))) << r.err.toStdString();
            EXPECT_EQ(sqlite(db, QStringLiteral(".dump")), file);
        }
    }
    // Both at the largest amount exactly: the posting stores them.
    r = dbtool({QStringLiteral("ar"), db, QStringLiteral("post")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("AllPayments 100000000000.00\nCreditsDue 100000000000.00\n")))
        << r.out.toStdString();
}

// Eight payments of one unpaid invoice started at once: the check that the
// invoice is still unpaid is made under the write lock that saves the
// payment, so exactly one is applied and the others are refused. The same
// for a credit that payments of four invoices would each use up.
TEST_F(ArTool, PaymentsStartedAtOnceApplyAnInvoiceOrACreditOnce)
{
    sqlite(db, QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Subtotal, Balance, Paid) VALUES (3, 1002, 100, "
                              "291.35, 291.35, 0)"));
    sqlite(db, QStringLiteral("INSERT INTO Customers (CusNo, Name, CreditDue, ParentNo) VALUES (200, 'Bolt', 50, 0)"));
    sqlite(db, QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, ReasonID) VALUES (200, 0, 50, 255)"));
    for (int no = 2001; no <= 2004; ++no)
        sqlite(db, QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Subtotal, Balance, Paid) VALUES (3, %1, "
                                  "200, 50, 50, 0)")
                       .arg(no));

    const auto startAtOnce = [&](const std::function<QStringList(int)> &argsOf) {
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 8; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(QStringLiteral(TAVREL_DBTOOL), argsOf(i));
        }
        QList<ArRun> done;
        for (auto &p : runs) {
            ArRun r;
            if (p->waitForFinished(60000)) {
                r.exitCode = p->exitCode();
                r.out = QString::fromUtf8(p->readAllStandardOutput());
                r.err = QString::fromUtf8(p->readAllStandardError());
            }
            done.append(r);
        }
        return done;
    };
    // How many runs saved; every other one is refused with one of the texts.
    const auto savedOf = [](const QList<ArRun> &runs, const QStringList &refusals) {
        int saved = 0;
        for (const ArRun &r : runs) {
            if (r.exitCode == 0) {
                ++saved;
                continue;
            }
            EXPECT_EQ(r.exitCode, 1);
            bool known = false;
            for (const QString &text : refusals)
                known = known || r.err.contains(text);
            EXPECT_TRUE(known) << r.err.toStdString();
        }
        return saved;
    };

    QList<ArRun> runs = startAtOnce([&](int) {
        return QStringList{QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("100"),
                           QStringLiteral("291.35"), QStringLiteral("1002:291.35")};
    });
    EXPECT_EQ(savedOf(runs, {QStringLiteral("Invoice 1002 is not an unpaid invoice of the customer.")}), 1);
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobNo = 1002")), QStringLiteral("-291.35|0"));
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT count(*), sum(Amount) FROM PayApplied WHERE JobNo = 1002")),
              QStringLiteral("1|291.35"));
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT count(*) FROM Payments WHERE CusNo = 100")), QStringLiteral("1"));

    // Eight payments of 100.00 each on an invoice of 291.35, each built on
    // the balance its run read: two fit, and every later one finds the
    // invoice paid in part and is refused; the balance never goes below 0.
    sqlite(db, QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Subtotal, Balance, Paid) VALUES (3, 1003, 100, "
                              "291.35, 291.35, 0)"));
    runs = startAtOnce([&](int) {
        return QStringList{QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("100"),
                           QStringLiteral("100"), QStringLiteral("1003:100")};
    });
    EXPECT_EQ(savedOf(runs, {QStringLiteral("Invoice 1003 now has a balance of $91.35, less than the $100.00 applied "
                                            "to it.")}),
              2);
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT Paid, Balance FROM Jobs WHERE JobNo = 1003")), QStringLiteral("-200|91.35"));
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT count(*), sum(Amount) FROM PayApplied WHERE JobNo = 1003")),
              QStringLiteral("2|200"));

    // The credit of 50.00 pays one of the four invoices of 50.00.
    runs = startAtOnce([&](int i) {
        return QStringList{QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("200"), QStringLiteral("0"),
                           QString::number(2001 + i % 4), QStringLiteral("--use-credit")};
    });
    // A run that starts after the winner saved finds no credit at all, or,
    // when it pays the winner's invoice too, that invoice paid.
    QStringList refusals = {QStringLiteral("The customer has no credit."),
                            QStringLiteral("The customer's credit is now $0.00, less than the $50.00 to be used.")};
    for (int no = 2001; no <= 2004; ++no)
        refusals << QStringLiteral("Invoice %1 is not an unpaid invoice of the customer.").arg(no);
    EXPECT_EQ(savedOf(runs, refusals), 1);
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = 200")), QStringLiteral("0"));
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT count(*), sum(Amount) FROM Credits WHERE CusNo = 200 AND ReasonID = 253")),
              QStringLiteral("1|-50"));
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT sum(Balance) FROM Jobs WHERE CusNo = 200")), QStringLiteral("150"));
}

// A late fee is charged on the balance read in its own write: an invoice paid
// in full owes nothing and is charged nothing, also when the payment is saved
// by another workstation between the list and the charge.
TEST_F(ArTool, ALateFeeIsNeverChargedOnAPaidInvoice)
{
    for (int no = 3001; no <= 3004; ++no)
        sqlite(db, QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Subtotal, Balance, Paid, Latefee) VALUES "
                                  "(3, %1, 100, 50, 50, 0, 0)")
                       .arg(no));
    const auto idOf = [&](int no) { return sqlite(db, QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = %1").arg(no)); };

    // Alone: paid in full, then given a late fee.
    ArRun r = dbtool({QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("50"),
                      QStringLiteral("3001:50")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = dbtool({QStringLiteral("ar"), db, QStringLiteral("latefee"), idOf(3001)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT Latefee, Paid, Balance FROM Jobs WHERE JobNo = 3001")),
              QStringLiteral("0|-50|0"));
    EXPECT_EQ(sqlite(db, QStringLiteral("SELECT count(*) FROM AuditTrail WHERE JobNo = 3001 AND Latefee <> 0")),
              QStringLiteral("0"));

    // Owing under a cent is owing nothing: the No Charge marker (0.0001) and
    // a balance a hundredth of a cent short of a cent get no fee; a cent owed
    // gets the minimum fee of 1.00.
    struct Owed
    {
        int no;
        const char *balance;
        const char *after; // Latefee|Balance
        int exitCode = 0;
    };
    const Owed owed[] = {
        {3011, "0.0001", "0|0.0001"},
        {3012, "0.0099", "0|0.0099"},
        {3013, "0.01", "1|1.01"},
        // At the largest amount the minimum fee is refused by name: the run
        // fails and the invoice is left as it was.
        {3014, "100000000000", "0|100000000000", 1},
    };
    for (const Owed &o : owed) {
        SCOPED_TRACE(o.balance);
        sqlite(db, QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Subtotal, Balance, Paid, Latefee) VALUES "
                                  "(3, %1, 100, 50, %2, 0, 0)")
                       .arg(o.no)
                       .arg(QString::fromLatin1(o.balance)));
        r = dbtool({QStringLiteral("ar"), db, QStringLiteral("latefee"), idOf(o.no)});
        ASSERT_EQ(r.exitCode, o.exitCode) << r.err.toStdString();
        if (o.exitCode != 0)
            EXPECT_TRUE(r.err.contains(QStringLiteral("Invoice %1 is not charged a Late Fee: \"Balance\" cannot be "
                                                      "more than 100,000,000,000.00, the largest amount it holds.")
                                           .arg(o.no)))
                << r.err.toStdString();
        EXPECT_EQ(sqlite(db, QStringLiteral("SELECT Latefee, Balance FROM Jobs WHERE JobNo = %1").arg(o.no)),
                  QString::fromLatin1(o.after));
    }
    // Paid off: with it the ledger's open invoices would pass the largest
    // amount, and no fee could be charged on any invoice.
    sqlite(db, QStringLiteral("UPDATE Jobs SET Balance = 0 WHERE JobNo = 3014"));

    // At once: three unpaid invoices of 50.00 each get a payment in full and
    // a late fee (the first one a second fee, the second one a second
    // payment) from eight runs started together. A fee saved first is 1.00
    // (the minimum: 1.50 % of 50.00 is 0.75) and the payment leaves it owed;
    // a fee whose write comes after the payment finds nothing owed.
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < 8; ++i) {
        const int no = 3002 + i % 3;
        const QStringList args = i < 3 || i == 6
            ? QStringList{QStringLiteral("ar"), db, QStringLiteral("latefee"), idOf(no)}
            : QStringList{QStringLiteral("ar"), db, QStringLiteral("pay"), QStringLiteral("100"), QStringLiteral("50"),
                          QStringLiteral("%1:50").arg(no)};
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(QStringLiteral(TAVREL_DBTOOL), args);
    }
    for (auto &p : runs)
        ASSERT_TRUE(p->waitForFinished(60000));
    for (int no = 3002; no <= 3004; ++no) {
        SCOPED_TRACE(no);
        // The invoice's changes in the order they were saved, each with the
        // balance it was made on.
        const QStringList changes = sqlite(db, QStringLiteral("SELECT Latefee, Paid FROM AuditTrail WHERE JobNo = %1 "
                                                              "ORDER BY rowid")
                                                   .arg(no))
                                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        Money balance = Money::fromWhole(50);
        Money fees;
        for (const QString &change : changes) {
            const Money fee = Money::fromText(change.section(QLatin1Char('|'), 0, 0));
            const Money paid = Money::fromText(change.section(QLatin1Char('|'), 1, 1));
            if (!fee.isZero()) {
                EXPECT_GT(balance, Money()) << "a fee charged on a balance of " << balance.toPlainText().toStdString();
                EXPECT_EQ(fee, Money::fromWhole(1));
                fees += fee;
            }
            balance += fee + paid;
        }
        const QString stored = sqlite(db, QStringLiteral("SELECT Latefee, Balance FROM Jobs WHERE JobNo = %1").arg(no));
        EXPECT_EQ(Money::fromText(stored.section(QLatin1Char('|'), 0, 0)), fees) << stored.toStdString();
        EXPECT_EQ(Money::fromText(stored.section(QLatin1Char('|'), 1, 1)), balance) << stored.toStdString();
    }
}
