// The Key Reports on a small hand-made shop: no-charge amounts, services
// without a sales department, changes to earlier invoices, open invoices
// without a due date, the fully-paid threshold, order statuses, and a job
// whose subtotal is zero.

#include "support/TestEnvironment.h"

#include "data/ShopDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "reports/ReportSql.h"

namespace {

const QString kMarch = QStringLiteral(" between #03/01/2011# and #03/31/2011# ");
const QString kMarchBefore = QStringLiteral(" between #03/01/2010# and #03/31/2010#");

} // namespace

class ReportSqlEdge : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2011, 3, 16), QTime(9, 0)));
        const QString path = tempPath(QStringLiteral("Edge.mdb"));
        CreateShopDatabase(path);
        m_db.open(path);
        const char *const rows[] = {
            "DELETE FROM SalesDepartments",
            "INSERT INTO SalesDepartments ([No], Name, [Group]) VALUES (1, 'Printing', 2)",
            "INSERT INTO SalesDepartments ([No], Name, [Group]) VALUES (2, 'Design', 3)",
            "DELETE FROM Services",
            "INSERT INTO Services (SerNo, Name, Size, CatNo, SaleDept) VALUES (1, 'Press', '', 201, 1)",
            "INSERT INTO Services (SerNo, Name, Size, CatNo, SaleDept) VALUES (2, 'Delivery', '', 701, 9)",
            "INSERT INTO Services (SerNo, Name, Size, CatNo, SaleDept) VALUES (3, 'Layout', '', 501, 2)",
            "INSERT INTO PostingJournal (PostingNo, PostingDate) VALUES (1, #02/26/2011#)",
            "INSERT INTO PostingJournal (PostingNo, PostingDate) VALUES (2, #03/10/2011#)",
            // Posted in March: an invoice of 100 less 10, a no-charge one
            // with shipping, and one whose items cancel out (subtotal 0).
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Status, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
            "Writeoff, Paid, Balance, PostingNo, DateIn, DateShipped) VALUES (1, 101, 3, 10, 0, 4, 100, -10, 0, 0, 0, 0, 0, -90, 0, 2, "
            "#03/01/2011#, #03/03/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Status, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
            "Writeoff, Paid, Balance, PostingNo, DateIn, DateShipped) VALUES (2, 102, 3, 10, 0, 4, 0.0001, 0, 5, 0, 0, 0, 0, -5, 0, 2, "
            "#03/02/2011#, #03/02/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Status, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
            "Writeoff, Paid, Balance, PostingNo, DateIn, DateShipped) VALUES (3, 103, 3, 10, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, "
            "#03/02/2011#, #03/04/2011#)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (1, 1, 1, 1, 60, 20)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (1, 1, 2, 2, 40, 0)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (3, 1, 1, 3, 25, 5)",
            "INSERT INTO Items (JobID, ItemNo, SubNo, SerNo, Price, Cost) VALUES (3, 1, 2, 1, -25, 0)",
            // Posted in February, then changed in March; job 101 changed in
            // its own period.
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Writeoff, "
            "Paid, Balance, PostingNo) VALUES (4, 100, 3, 10, 0, 50, 0, 0, 0, 0, 0, 0, -50, 0, 1)",
            "INSERT INTO AuditTrail (TransDate, JobNo, JobType, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, "
            "Balance) VALUES (#03/05/2011#, 100, 3, 0, 0, 0, 0, 0, 7, 0, 0, 7)",
            "INSERT INTO AuditTrail (TransDate, JobNo, JobType, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, "
            "Balance) VALUES (#03/12/2011#, 101, 3, 0, 0, 0, 0, 0, 3, 0, 0, 3)",
            // Open invoices: one without a due date, one 20 days past due;
            // paid ones at the fully-paid threshold.
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Balance, PostingNo) "
            "VALUES (5, 105, 3, 10, 0, 40, 0, 40, 1)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Balance, PostingNo, DatePayDue) "
            "VALUES (6, 106, 3, 10, 0, 30, 0, 30, 1, #02/24/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Writeoff, Paid, Balance, PostingNo, DatePaid) "
            "VALUES (7, 107, 3, 10, 0, 20, 0, 0, -19.9999, 0.0001, 1, #03/08/2011#)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Subtotal, Discount, Writeoff, Paid, Balance, PostingNo, DatePaid) "
            "VALUES (8, 108, 3, 10, 0, 20, 0, 0, -19.9998, 0.0002, 1, #03/08/2011#)",
            // Orders in every status.
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Status, Subtotal, Discount) VALUES (9, 109, 0, 10, 0, 0, 10, 0)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Status, Subtotal, Discount) VALUES (10, 110, 0, 10, 0, 2, 20, 0)",
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Status, Subtotal, Discount) VALUES (11, 111, 0, 10, 0, 5, 30, 0)",
            // A deposit taken in March on order 109, which a quote shares
            // its number with.
            "INSERT INTO Jobs (JobID, JobNo, JobType, CusNo, Creator, Status, Subtotal, Discount, PostingNo) "
            "VALUES (12, 109, 1, 10, 0, 0, 10, 0, 0)",
            "INSERT INTO Payments (PayNo, Date, Amount, CusNo, PayGroup, PaidBy, PostingNo) VALUES (1, #03/09/2011#, 4, 10, 1, 0, 2)",
            "INSERT INTO PayApplied (PayNo, JobNo, Amount) VALUES (1, 109, 4)",
            "UPDATE Jobs SET PostingNo = 0 WHERE JobType = 0",
            // A quick sale of a service without a sales department.
            "INSERT INTO QuickSales (QSaleID, Date, Subtotal, Tax, TaxID, PostingNo) VALUES (1, #03/09/2011#, 12, 0, 0, 2)",
            "INSERT INTO QuickSalesItems (QSaleID, SerNo, Price) VALUES (1, 2, 12)",
        };
        for (const char *sql : rows)
            m_db.execute(QString::fromLatin1(sql));
    }
    void TearDown() override
    {
        m_db.close();
        platform::Clock::reset();
        TavrelTest::TearDown();
    }

    // The rows of a report as "a|b|c" texts (money with up to 4 decimals).
    QStringList rows(int code)
    {
        QStringList out;
        platform::Recordset set(m_db);
        set.open(platform::Recordset::Type::Snapshot, BuildReportSqlText(code, kMarch, kMarchBefore, QString(), false));
        for (; !set.isEOF(); set.moveNext()) {
            QStringList cells;
            for (int i = 0; i < set.fieldCount(); ++i)
                cells << set.value(i).toString();
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }

    platform::Database m_db;
};

TEST_F(ReportSqlEdge, PostingReportsLeaveOutNoChargeAndKeepUnassignedQuickSales)
{
    // The no-charge subtotal adds nothing; its shipping counts.
    const QStringList summary = rows(2001);
    ASSERT_EQ(summary.size(), 1);
    EXPECT_TRUE(summary[0].startsWith(QLatin1String("100|-10|5|"))) << summary[0].toStdString();
    // Delivery has no sales department: group 255 for the invoice item and
    // for its quick-sale item, which stays in the sales. A job of subtotal 0
    // gives no discount share.
    const QStringList sales = rows(2002);
    EXPECT_EQ(sales.size(), 4) << sales.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(sales.contains(QStringLiteral("255|<Not Assigned> QS|12|0|0|0|0"))) << sales.join(QLatin1Char('\n')).toStdString();
    // The posting accounting books them under a line of their own.
    const QStringList accounting = rows(2009);
    EXPECT_TRUE(accounting.contains(QStringLiteral("|(no department)|40"))) << accounting.join(QLatin1Char('\n')).toStdString();
    const QStringList quick = rows(2915);
    EXPECT_TRUE(quick.contains(QStringLiteral("0|(no department) QS|12"))) << quick.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(sales.contains(QStringLiteral("255|<Not Assigned>|40|-4|0|0|0"))) << sales.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(sales.contains(QStringLiteral("2|Printing|35|-6|0|0|0"))) << sales.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(sales.contains(QStringLiteral("3|Design|25|0|0|0|0"))) << sales.join(QLatin1Char('\n')).toStdString();
    // Only the change to the invoice posted before March is an earlier change.
    const QStringList changes = rows(2008);
    ASSERT_EQ(changes.size(), 1) << changes.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(changes[0].startsWith(QLatin1String("100|"))) << changes[0].toStdString();
}

TEST_F(ReportSqlEdge, AZeroSubtotalKeepsItsItemsInTheNetSales)
{
    // Design's only item is on the job whose items cancel out: its net sale
    // is its price, not Null.
    const QStringList comparison = rows(2301);
    EXPECT_TRUE(comparison.contains(QStringLiteral("3|Design|25|0|0|0|0|0"))) << comparison.join(QLatin1Char('\n')).toStdString();
    const QStringList activities = rows(2601);
    EXPECT_TRUE(activities.contains(QStringLiteral("1|Posted Net Sales by Sales Departments|Design|1|25")))
        << activities.join(QLatin1Char('\n')).toStdString();
    // March had shipping (5) but no postage, tax or write-off.
    EXPECT_TRUE(activities.contains(QStringLiteral("2|General Account  Shipping |Shipping|1|5")));
    for (const QString &row : activities) {
        EXPECT_FALSE(row.contains(QLatin1String("Postage"))) << row.toStdString();
        EXPECT_FALSE(row.contains(QLatin1String("Tax"))) << row.toStdString();
    }
}

TEST_F(ReportSqlEdge, ReceivablesAndProduction)
{
    // 16 March: job 106 is 20 days past due; jobs 105 and 108 (a balance of
    // 0.0002 is still open) have no due date.
    const QStringList summary = rows(2101);
    ASSERT_EQ(summary.size(), 1);
    EXPECT_EQ(summary[0].toStdString(), "0|0|0|0|0|0|30|1|0|0|0|0|40.0002|2|0");
    const QStringList aging = rows(2104);
    EXPECT_TRUE(aging.filter(QStringLiteral("|105|")).value(0).contains(QLatin1String("||||||||40|0| ")))
        << aging.join(QLatin1Char('\n')).toStdString();
    // A balance of 0.0001 is paid in full, 0.0002 is not.
    const QStringList paid = rows(2107);
    ASSERT_EQ(paid.size(), 2) << paid.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(paid[0].startsWith(QLatin1String("2011/03|Paid Invoices|1|20|"))) << paid[0].toStdString();
    EXPECT_TRUE(paid[1].startsWith(QLatin1String("2011/03|Quick Sales|1|12|"))) << paid[1].toStdString();
    // Status 5 is "Ready to Post"; no history job has a reorder date ahead.
    EXPECT_EQ(rows(2401), (QStringList{QStringLiteral("In Progress|1|10|0"), QStringLiteral("Ready to Ship|1|20|0"),
                                       QStringLiteral("Ready to Post|1|30|0")}));
    EXPECT_TRUE(rows(2402).isEmpty());
    // The deposit counts once, though a quote has the order's number.
    EXPECT_EQ(rows(2918), QStringList{QStringLiteral("4")});
}
