#include "XvfbAfternoon.h"

// A cheque applied to an invoice in the payment window, then View Job and the
// job window closed: the window still shows the 40.00 applied (not 0.00 with
// 40.00 remaining), and Save & Close saves the payment on the invoice without
// asking to credit the customer's account. Mouse and keys only, on a fresh
// sample shop; sqlite3 reads back what was saved. Runs when
// TAVREL_XVFB_DISPLAY names a display and Xvfb, xdotool, import, sqlite3 and
// pdftotext are installed; bounded to four minutes (the fixture's set-up).
TEST_F(XvfbAfternoon, AChequeAppliedStaysAppliedAfterViewJobAndIsSavedSo)
{
    const QString failed = startOnSampleShop(200);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    // An unpaid invoice owing more than the cheque, of a customer without a
    // credit (which the window would offer first).
    const QStringList invoice =
        sqlite(QStringLiteral("SELECT j.JobNo || '|' || j.JobID || '|' || printf('%.2f', j.Balance - 40) FROM Jobs j "
                              "JOIN Customers c ON c.CusNo = j.CusNo WHERE j.JobType = 3 AND j.Balance > 40 AND "
                              "(c.CreditDue IS NULL OR c.CreditDue = 0) ORDER BY j.JobNo LIMIT 1"))
            .split(QLatin1Char('|'));
    ASSERT_EQ(invoice.size(), 3) << "the sample has no unpaid invoice above 40.00";
    const QString jobNo = invoice[0];
    const QString payments = sqlite(QStringLiteral("SELECT Count(*) FROM Payments"));
    const QString credits = sqlite(QStringLiteral("SELECT Count(*) FROM Credits"));
    ASSERT_TRUE(openRow(30004, QStringLiteral("Invoices Unpaid"), QStringLiteral("By Invoice No"), invoice[1].toLongLong()))
        << "the invoice is not listed unpaid";
    ASSERT_TRUE(classUp(QStringLiteral("CArPayment"))) << "no payment window: " << message().toStdString();
    ASSERT_TRUE(waitFor([&] { return spot(QStringLiteral("tree"), jobNo).has_value(); }))
        << "the invoice is not in the payment window";
    // Amount, Applied, Remains and Account Balance: the lowest row of fields.
    const auto amounts = [&] {
        QList<QPair<QRect, QString>> fields = fieldTextsOf(QStringLiteral("CArPayment"));
        int bottom = 0;
        for (const auto &f : fields)
            bottom = std::max(bottom, f.first.top());
        fields.removeIf([&](const QPair<QRect, QString> &f) { return f.first.top() != bottom; });
        std::sort(fields.begin(), fields.end(), [](const auto &a, const auto &b) { return a.first.left() < b.first.left(); });
        QStringList texts;
        for (const auto &f : fields)
            texts << f.second;
        return texts;
    };
    const auto applied = [&](const QString &amount, const QString &remains) {
        return amounts().value(0) == amount && amounts().value(1) == amount && amounts().value(2) == remains;
    };

    pressKey(QStringLiteral("alt+a"));
    typeText(QStringLiteral("40.00"));
    pressKey(QStringLiteral("Tab"));
    // A click on the invoice's number applies the cheque there.
    click(*spot(QStringLiteral("tree"), jobNo) - QPoint(treeWidth(jobNo) / 2 - 15, 0));
    EXPECT_TRUE(waitFor([&] { return applied(QStringLiteral("40.00"), QStringLiteral("0.00")); }, 10000))
        << "applied: " << amounts().join(QLatin1Char(' ')).toStdString();
    afternoonShot(QStringLiteral("cheque-applied"));

    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30598"))) << "no View Job button";
    ASSERT_TRUE(classUp(QStringLiteral("CJobDlg"))) << "no job window: " << message().toStdString();
    skipWalkThrough();
    afternoonShot(QStringLiteral("cheque-view-job"));
    pressKey(QStringLiteral("Escape"));
    waitFor([&] { return !classShown(QStringLiteral("CJobDlg")) || !message().isEmpty(); }, 10000);
    if (message().startsWith(QStringLiteral("Do you want to save the changes?")))
        pressKey(QStringLiteral("alt+n"));
    ASSERT_TRUE(classGone(QStringLiteral("CJobDlg"))) << "the job window stayed open: " << message().toStdString();
    EXPECT_TRUE(waitFor([&] { return applied(QStringLiteral("40.00"), QStringLiteral("0.00")); }, 10000))
        << "after View Job: " << amounts().join(QLatin1Char(' ')).toStdString();
    afternoonShot(QStringLiteral("cheque-after-view-job"));

    ASSERT_TRUE(clickSpot(QStringLiteral("item"), QStringLiteral("30443"))) << "no Save & Close button";
    waitFor([&] { return !classShown(QStringLiteral("CArPayment")) || !message().isEmpty(); }, 10000);
    const QString asked = message();
    EXPECT_TRUE(asked.isEmpty()) << "Save & Close asked: " << asked.toStdString();
    if (!asked.isEmpty())
        pressKey(QStringLiteral("alt+n")); // nothing is credited
    closeWindows();
    ASSERT_TRUE(classGone(QStringLiteral("CArPayment"))) << message().toStdString();
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Payments")).toInt(), payments.toInt() + 1);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.2f', Amount) || '/' || Appliedto FROM Payments WHERE PayNo = "
                                    "(SELECT Max(PayNo) FROM Payments)")),
              QStringLiteral("40.00/%1").arg(jobNo));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT JobNo || '/' || printf('%.2f', Amount) FROM PayApplied WHERE PayNo = "
                                    "(SELECT Max(PayNo) FROM Payments)")),
              QStringLiteral("%1/40.00").arg(jobNo));
    EXPECT_EQ(sqlite(QStringLiteral("SELECT printf('%.2f', Balance) FROM Jobs WHERE JobID = ") + invoice[1]), invoice[2]);
    EXPECT_EQ(sqlite(QStringLiteral("SELECT Count(*) FROM Credits")), credits) << "a credit was written";
    EXPECT_EQ(m_program.state(), QProcess::Running);
}
