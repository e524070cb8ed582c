// The daily register of one customer (2603) and the aging reports (2103,
// 2104) on a hand-made shop.

#include "reports/KeyReportFixture.h"

#include "reports/calc/AgingReport.h"
#include "reports/calc/DailyRegister.h"

#include <QtCore/QRegularExpression>

#include <utility>

class DailyRegister : public KeyReportFixture
{
protected:
    void SetUp() override
    {
        KeyReportFixture::SetUp();
        execAll({
            "INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (10, 'Acme', 25)",
            "INSERT INTO Customers (CusNo, Name, CreditDue) VALUES (20, 'Beta', 99)",
            "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone) VALUES (1, 10, 'John', 'Smith', '555-1000')",
            "INSERT INTO Employees (EmpNo, Name) VALUES (1, 'Pat')",
            "INSERT INTO PaymentTypes ([No], Name) VALUES (1, 'Check')",
            "INSERT INTO PayGroups (PayGroup, Name) VALUES (2, 'A/R Payments')",
            "DELETE FROM Properties WHERE ID = 250",
            "INSERT INTO Properties (ID, Text, Type) VALUES (250, 'Damaged', 9)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Title, BuyerNo, CSRNo, Subtotal, Discount, Shipping, "
            "Postage, Tax, Latefee, Writeoff, DateIn) VALUES (1, 301, 0, 10, 0, 'Letterheads', 1, 1, 100, 0, 0, 0, 0, 0, 0, "
            "#03/02/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Title, BuyerNo, CSRNo, Subtotal, Discount, Shipping, "
            "Postage, Tax, Latefee, Writeoff, DateIn) VALUES (2, 302, 0, 10, 0, 'Envelopes', 1, 1, 60, -10, 0, 0, 0, 0, 0, "
            "#03/05/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Title, BuyerNo, CSRNo, Subtotal, Discount, DateIn) "
            "VALUES (3, 303, 0, 20, 0, 'Other', 1, 1, 70, 0, #03/05/2011#)",
            "INSERT INTO Payments (PayNo, Date, Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
            "VALUES (1, #03/09/2011#, 40, 10, 2, 1, 'chk 12', '201', 0)",
            "INSERT INTO Credits (CreditID, CusNo, JobNo, Amount, Date, ReasonID) VALUES (1, 10, 201, 15, #03/11/2011#, 250)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Title, Subtotal, Discount, Shipping, Postage, Tax, "
            "Latefee, Writeoff, Paid, Balance, DateShipped, DatePayDue) VALUES (4, 201, 3, 10, 0, 'Cards', 80, 0, 0, 0, 0, 0, "
            "0, -30, 50, #03/03/2011#, #04/02/2011#)",
        });
    }
};

TEST_F(DailyRegister, GroupsUnderTitlesAndHeadingsWithTheirCountedTotals)
{
    // A second payment and a second credit exactly like the first: each is
    // its own row, counted and added.
    execAll({
        "INSERT INTO Payments (PayNo, Date, Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, PostingNo) "
        "VALUES (2, #03/09/2011#, 40, 10, 2, 1, 'chk 12', '201', 0)",
        "INSERT INTO Credits (CreditID, CusNo, JobNo, Amount, Date, ReasonID) VALUES (2, 10, 201, 15, #03/11/2011#, 250)",
    });
    CReportRun &c = context(2603);
    c.filter = QStringLiteral(" (Customers.CusNo = 10) ");
    ReportDailyRegister(c);
    const QString period = QStringLiteral(" between 03/01/2011 and 03/31/2011 ");
    const QStringList got = rows(1, 7);
    ASSERT_EQ(got.size(), 19);
    EXPECT_EQ(got[0], "20:Jobs Receieved" + period + "||||||");
    EXPECT_EQ(got[1], "3:Date Received|Job #|Title|Ordered By|Phone|Prepared By|Job Total");
    EXPECT_EQ(got[2], "0:03/02/2011|301|Letterheads|John Smith|555-1000|Pat|100.00");
    EXPECT_EQ(got[3], "0:03/05/2011|302|Envelopes|John Smith|555-1000|Pat|50.00");
    EXPECT_EQ(got[4], "3:||Jobs Received (2) Totals-->||||150.00");
    EXPECT_EQ(got[5], "20:Payments Receieved" + period + "||||||");
    EXPECT_EQ(got[6], "3:Payment Date||Applied To|Paid By|Reference|Group|Amount");
    EXPECT_EQ(got[7], "0:03/09/2011||201|Check|chk 12|A/R Payments|40.00");
    EXPECT_EQ(got[8], "0:03/09/2011||201|Check|chk 12|A/R Payments|40.00");
    EXPECT_EQ(got[9], "3:||Payments Received (2) Totals-->||||80.00");
    // The credit balance is the register's own customer's.
    EXPECT_EQ(got[10], "20:Credit Transactions" + period + " | Current Credit Balance: 25.00||||||");
    EXPECT_EQ(got[11], "3:Credit Date|Job #|Reason||||Amount");
    EXPECT_EQ(got[12], "0:03/11/2011|201|Damaged||||15.00");
    EXPECT_EQ(got[13], "0:03/11/2011|201|Damaged||||15.00");
    EXPECT_EQ(got[14], "3:||Credit Transactions (2) Totals-->||||30.00");
    EXPECT_TRUE(got[15].startsWith("20:Open Invoices as of " + kNowText));
    EXPECT_EQ(got[17], "0:03/03/2011|201|Cards|04/02/2011|80.00|-30.00|50.00");
    EXPECT_EQ(got[18], "3:||Open Invoices (1) Totals-->||||50.00");
    // The kind column is hidden but drives the groups; the open invoices'
    // total and payment are amounts.
    EXPECT_EQ(table.GetColumnCharWidth(0), 0);
    EXPECT_EQ(amount(17, 5), Money::fromWhole(80));
    EXPECT_EQ(amount(17, 6), Money::fromWhole(-30));
}

// Jobs with no ordering contact or preparer are listed all the same, for a
// customer with contacts and for one without; printed, every title is whole.
TEST_F(DailyRegister, EveryJobReceivedIsListedAndPrintedUnderWholeTitles)
{
    execAll({
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Title, BuyerNo, CSRNo, Subtotal, Discount, Shipping, "
        "Postage, Tax, Latefee, Writeoff, DateIn) VALUES (5, 304, 0, 10, 0, 'Flyers', 0, 0, 30, 0, 0, 0, 0, 0, 0, "
        "#03/07/2011#)",
        "UPDATE Jobs SET BuyerNo = 0, CSRNo = 0, Shipping = 0, Postage = 0, Tax = 0, Latefee = 0, Writeoff = 0 "
        "WHERE JobNo = 303",
    });
    CReportRun &c = context(2603);
    c.filter = QStringLiteral(" (Customers.CusNo = 10) ");
    ReportDailyRegister(c);
    QStringList got = rows(1, 7);
    ASSERT_GE(got.size(), 6);
    EXPECT_EQ(got[2], "0:03/02/2011|301|Letterheads|John Smith|555-1000|Pat|100.00");
    EXPECT_EQ(got[3], "0:03/05/2011|302|Envelopes|John Smith|555-1000|Pat|50.00");
    EXPECT_EQ(got[4], "0:03/07/2011|304|Flyers| |||30.00");
    EXPECT_EQ(got[5], "3:||Jobs Received (3) Totals-->||||180.00");
    savePng(QStringLiteral("report-2603"));
    if (havePdfToText()) {
        // Each title runs across the row, whole; the job without a contact
        // prints with its total.
        const QString text = printedText(QStringLiteral("Register10")).simplified();
        for (const QString &title : {QStringLiteral("Jobs Receieved between 03/01/2011 and 03/31/2011"),
                                     QStringLiteral("Payments Receieved between 03/01/2011 and 03/31/2011"),
                                     QStringLiteral("Credit Transactions between 03/01/2011 and 03/31/2011 | Current "
                                                    "Credit Balance: 25.00"),
                                     QStringLiteral("Open Invoices as of Wednesday, March 16, 2011 09:00 AM"),
                                     QStringLiteral("03/07/2011 304 Flyers 30.00")})
            EXPECT_TRUE(text.contains(title)) << title.toStdString() << "\n" << text.toStdString();
    }

    // A customer with no contacts at all: its job is its register.
    CReportRun &other = context(2603);
    other.filter = QStringLiteral(" (Customers.CusNo = 20) ");
    ReportDailyRegister(other);
    got = rows(1, 7);
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[0], "20:Jobs Receieved between 03/01/2011 and 03/31/2011 ||||||");
    EXPECT_EQ(got[2], "0:03/05/2011|303|Other| |||70.00");
    EXPECT_EQ(got[3], "3:||Jobs Received (1) Totals-->||||70.00");
    if (havePdfToText()) {
        const QString text = printedText(QStringLiteral("Register20")).simplified();
        EXPECT_TRUE(text.contains(QStringLiteral("Jobs Receieved between 03/01/2011 and 03/31/2011 Date Received")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("03/05/2011 303 Other 70.00"))) << text.toStdString();
    }
}

TEST_F(DailyRegister, WithoutACustomerInTheFilterThereIsNoRegister)
{
    CReportRun &c = context(2603);
    ReportDailyRegister(c);
    EXPECT_EQ(table.GetRowCount(), 0);
    // A name that two customers share names no one customer.
    c.filter = QStringLiteral(" (Customers.Name Like '*e*') ");
    ReportDailyRegister(c);
    EXPECT_EQ(table.GetRowCount(), 0);
}

// The find window offers the customer's name first: a name that finds one
// customer gives that customer's register, as the number does.
TEST_F(DailyRegister, ACustomerFoundByNameIsTheRegistersCustomer)
{
    CReportRun &c = context(2603);
    c.filter = QStringLiteral(" (Customers.Name Like 'Acm*') ");
    ReportDailyRegister(c);
    const QStringList got = rows(1, 7);
    ASSERT_EQ(got.size(), 17);
    EXPECT_EQ(got[2], "0:03/02/2011|301|Letterheads|John Smith|555-1000|Pat|100.00");
    EXPECT_EQ(got[7], "0:03/09/2011||201|Check|chk 12|A/R Payments|40.00");
    EXPECT_EQ(got[15], "0:03/03/2011|201|Cards|04/02/2011|80.00|-30.00|50.00");
}

class Aging : public KeyReportFixture
{
protected:
    void SetUp() override
    {
        KeyReportFixture::SetUp();
        execAll({
            "INSERT INTO Customers (CusNo, Name, PayerNo) VALUES (10, 'Acme', 1)",
            "INSERT INTO Customers (CusNo, Name, PayerNo) VALUES (20, 'Beta', 0)",
            "INSERT INTO Customers (CusNo, Name, PayerNo, CreditDue) VALUES (31, 'Walk-in', 0, 5)",
            "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Fax) VALUES (1, 10, 'John', 'Smith', '555-1000', "
            "'555-1001')",
            "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone) VALUES (2, 31, 'Ann', 'Lee', '555-2000')",
            "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Fax) VALUES (3, 31, 'Bob', 'Ray', '555-3000', "
            "'555-3001')",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Balance, DateShipped, DatePayDue) "
            "VALUES (1, 201, 3, 10, 0, 100, #03/10/2011#, #03/20/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Balance, DateShipped, DatePayDue) "
            "VALUES (2, 202, 3, 10, 0, 200, #01/02/2011#, #02/01/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Balance, DateShipped, DatePayDue) "
            "VALUES (3, 203, 3, 10, 0, 300, #11/01/2010#, #12/01/2010#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Balance, DateShipped, DatePayDue) "
            "VALUES (4, 204, 3, 20, 0, 40, #03/16/2011#, #03/16/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Balance, BuyerNo, DateShipped, DatePayDue) "
            "VALUES (5, 205, 3, 31, 0, 10, 2, #03/10/2011#, #03/10/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Balance, BuyerNo, DateShipped, DatePayDue) "
            "VALUES (6, 206, 3, 31, 0, 20, 3, #01/10/2011#, #01/10/2011#)",
        });
    }
};

TEST_F(Aging, TitleRowsNameTheContactOncePerCustomerAndPerWalkInInvoice)
{
    // A second customer of the same name: its own group, title and
    // subtotal, though its invoice's age falls between the other's.
    execAll({
        "INSERT INTO Customers (CusNo, Name, PayerNo) VALUES (40, 'Acme', 4)",
        "INSERT INTO Contacts (ContactNo, CusNo, First, Last, Phone, Fax) VALUES (4, 40, 'Kim', 'Fox', '555-4000', "
        "'555-4001')",
        "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Balance, DateShipped, DatePayDue) "
        "VALUES (7, 207, 3, 40, 0, 50, #01/15/2011#, #02/14/2011#)",
    });
    CReportRun &c = context(2104);
    ReportAging(c);
    const QStringList got = rows(0, 1);
    const QString dot = QStringLiteral(" \u00b7 ");
    const QStringList expected = {
        "20:10|Acme" + dot + "John Smith" + dot + "555-1000" + dot + "Fax 555-1001",
        "32:|", "0:|10", "0:|10", "3:|",
        "20:40|Acme" + dot + "Kim Fox" + dot + "555-4000" + dot + "Fax 555-4001",
        "32:|", "3:|",
        // No payer contact: the name alone.
        "20:20|Beta",
        "32:|", "3:|",
        // The walk-in credit has no buyer; each walk-in invoice its own.
        "20:31|Walk-in",
        "32:|",
        "20:31|Walk-in" + dot + "Ann Lee" + dot + "555-2000" + dot + "Fax ",
        "0:|",
        "20:31|Walk-in" + dot + "Bob Ray" + dot + "555-3000" + dot + "Fax 555-3001",
        "0:|",
        "3:|",
        "3:|",
    };
    EXPECT_EQ(got, expected);
    // Invoice numbers and dates under their titles; the title row shows its
    // hidden column 1 itself, and nothing in the invoice column.
    EXPECT_EQ(rows(2, 4)[1], "32:201|03/10/2011|03/20/2011");
    EXPECT_EQ(rows(2, 4)[6], "32:207|01/15/2011|02/14/2011");
    EXPECT_EQ(rows(2, 4)[12], "32:Credit||");
    EXPECT_EQ(cell(0, 2), QString());
    // Buckets: current, 1-30, 31-60, 61-90, over 90 and the total due; zero
    // buckets blank in data, subtotal and total rows.
    const QStringList buckets = rows(6, 11);
    EXPECT_EQ(buckets[1], "32:100.00|||||100.00");
    EXPECT_EQ(buckets[2], "0:||200.00|||200.00");
    EXPECT_EQ(buckets[3], "0:||||300.00|300.00");
    EXPECT_EQ(buckets[4], "3:100.00||200.00||300.00|600.00");
    // Due 30 days ago: 1-30, in its own customer's subtotal only.
    EXPECT_EQ(buckets[6], "32:|50.00||||50.00");
    EXPECT_EQ(buckets[7], "3:|50.00||||50.00");
    EXPECT_EQ(buckets[9], "32:40.00|||||40.00");
    EXPECT_EQ(buckets[12], "32:-5.00|||||-5.00");
    EXPECT_EQ(buckets[17], "3:-5.00|10.00||20.00||25.00");
    EXPECT_EQ(buckets[18], "3:135.00|60.00|200.00|20.00|300.00|715.00");
    EXPECT_EQ(table.GetColumnCharWidth(1), 0);
    EXPECT_EQ(table.m_headingText, "Age (if greater than zero, the invoice is past due) = Today's Date - Payment Due Date ");
}

// Printed, the dates stand whole and a title without a contact ends with
// the customer's name.
TEST_F(Aging, APrintedAgingShowsWholeDatesAndTitles)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    CReportRun &c = context(2104);
    ReportAging(c);
    savePng(QStringLiteral("report-2104"));
    const QStringList lines = printedText(QStringLiteral("Aging")).split(QLatin1Char('\n'));
    const auto line = [&lines](const QString &start) {
        for (const QString &l : lines) {
            if (l.simplified().startsWith(start))
                return l.simplified();
        }
        return QString();
    };
    EXPECT_EQ(line(QStringLiteral("201 ")), QStringLiteral("201 03/10/2011 03/20/2011 -4 100.00 100.00 15.0%"));
    EXPECT_EQ(line(QStringLiteral("203 ")), QStringLiteral("203 11/01/2010 12/01/2010 105 300.00 300.00 45.1%"));
    EXPECT_EQ(line(QStringLiteral("10 ")), QStringLiteral("10 Acme \u00b7 John Smith \u00b7 555-1000 \u00b7 Fax 555-1001"));
    EXPECT_EQ(line(QStringLiteral("20 ")), QStringLiteral("20 Beta"));

    // A ship date ends inside its cell: a cell's text keeps a margin (a
    // third of a line) from its left and right edges, and its right edge
    // stands a quarter margin short of the next column, so the due date
    // beside it starts 2.25 margins after the ship date's end at the least.
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), tempPath(QStringLiteral("Aging.pdf")), QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString boxes = QString::fromUtf8(p.readAllStandardOutput());
    const auto box = [&boxes](const QString &word) {
        const QRegularExpression re(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\"[^>]*>")
                                    + QRegularExpression::escape(word) + QStringLiteral("</word>"));
        const QRegularExpressionMatch m = re.match(boxes);
        return m.hasMatch() ? QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                     QPointF(m.captured(3).toDouble(), m.captured(2).toDouble() + 1))
                            : QRectF();
    };
    const double margin = (box(QStringLiteral("202")).top() - box(QStringLiteral("201")).top()) / 3;
    ASSERT_GT(margin, 0);
    for (const auto &[shipped, due] : {std::pair{"03/10/2011", "03/20/2011"}, std::pair{"11/01/2010", "12/01/2010"}}) {
        const QRectF s = box(QString::fromLatin1(shipped)), d = box(QString::fromLatin1(due));
        ASSERT_FALSE(s.isNull() || d.isNull()) << shipped;
        EXPECT_GE(d.left() - s.right(), 2.25 * margin - 0.25) << shipped << " ends at " << s.right() << ", " << due
                                                               << " starts at " << d.left();
    }
}

TEST_F(Aging, ByDateShippedAgesFromTheShipDate)
{
    CReportRun &c = context(2103);
    ReportAging(c);
    EXPECT_EQ(table.m_headingText, "Age = Today's Date - Date Shipped");
    // Invoice 201 shipped six days ago: 1-30 by ship date, current by due date.
    const int r = rowOf(QStringLiteral("201"), 2);
    ASSERT_GE(r, 0);
    EXPECT_EQ(cell(r, 6), "");
    EXPECT_EQ(cell(r, 7), "100.00");
    EXPECT_EQ(cell(r, 5), "6");
}

TEST_F(Aging, NoOpenInvoicesLeaveTheNoteAndNoRows)
{
    exec(QStringLiteral("DELETE FROM Jobs"));
    exec(QStringLiteral("UPDATE Customers SET CreditDue = 0"));
    CReportRun &c = context(2104);
    ReportAging(c);
    EXPECT_EQ(table.GetDataRowCount(), 0);
    EXPECT_FALSE(table.m_headingText.isEmpty());
}

TEST_F(Aging, BucketsChangeExactlyAtTheirBoundaries)
{
    exec(QStringLiteral("DELETE FROM Jobs"));
    exec(QStringLiteral("INSERT INTO Customers (CusNo, Name, PayerNo) VALUES (50, 'Zed', 0)"));
    // Days past the payment due date -> the bucket column (6 current, 7
    // 1-30, 8 31-60, 9 61-90, 10 over 90).
    const struct
    {
        int age;
        int column;
    } cases[] = {{-1, 6}, {0, 6}, {1, 7}, {30, 7}, {31, 8}, {60, 8}, {61, 9}, {90, 9}, {91, 10}, {400, 10}};
    int job = 0;
    for (const auto &k : cases) {
        ++job;
        const QDate due = QDate(2011, 3, 16).addDays(-k.age);
        exec(QStringLiteral("INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Balance, DateShipped, DatePayDue) "
                            "VALUES (%1, %2, 3, 50, 0, %3, #%4#, #%4#)")
                 .arg(job)
                 .arg(500 + job)
                 .arg(job)
                 .arg(due.toString(QStringLiteral("MM/dd/yyyy"))));
    }
    CReportRun &c = context(2104);
    ReportAging(c);
    job = 0;
    for (const auto &k : cases) {
        ++job;
        const int r = rowOf(QString::number(500 + job), 2);
        ASSERT_GE(r, 0) << k.age;
        EXPECT_EQ(cell(r, 5), QString::number(k.age)) << k.age;
        for (int col = 6; col <= 10; ++col)
            EXPECT_EQ(cell(r, col), col == k.column ? QStringLiteral("%1.00").arg(job) : QString()) << k.age << " " << col;
    }
}
