// The "Top Sales" pies: the period's net sales against the sqlite3 shell,
// the five largest contributors with ties at the fifth place kept, "Others"
// only for a rest above zero, and the dialog as shown.

#include "support/ShopTest.h"

#include "controls/CPieChartCtrl.h"
#include "platform/Clock.h"
#include "reports/CCompanyPie.h"
#include "reports/CompanyPieRules.h"

#include <QtTest/QTest>
#include <QtWidgets/QMenu>

namespace {

class CompanyPieTest : public ShopTest
{
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2010, 12, 31), QTime(9, 0)));
        exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (50, 'Rita Rep', 1, 1)"));
        exec(QStringLiteral("INSERT INTO Employees (EmpNo, Name, Type, Sort) VALUES (51, 'Carl Csr', 1, 2)"));
        // Net sales by customer in 2010: a tie at the fifth place.
        const int sales[] = {700, 600, 500, 400, 300, 300, 100};
        for (int i = 0; i < 7; ++i) {
            exec(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (%1, 'Customer %2')").arg(201 + i).arg(QChar('A' + i)));
            addJob(201 + i, QStringLiteral("#0%1/10/2010#").arg(i + 1), sales[i] + 20, -20);
        }
        addJob(201, QStringLiteral("#05/05/2009#"), 250, 0);
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, DateShipped, Subtotal, Discount) VALUES (1, 99, "
                            "201, #03/03/2010#, 5000, 0)")); // an order, not an invoice
    }
    void TearDown() override
    {
        platform::Clock::reset();
        ShopTest::TearDown();
    }
    void addJob(int cusNo, const QString &shipped, int subtotal, int discount)
    {
        exec(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Title, Status, DateShipped, Subtotal, Discount, "
                            "CSRNo, SRepNo) VALUES (3, %1, %2, 'Cards', 1, %3, %4, %5, 51, 50)")
                 .arg(++m_jobNo)
                 .arg(cusNo)
                 .arg(shipped)
                 .arg(subtotal)
                 .arg(discount));
    }
    static QString range(int year)
    {
        return QStringLiteral(" Jobs.DateShipped between #01/01/%1# and #12/31/%1# ").arg(year);
    }
    QString cliTotal(int year)
    {
        return sqlite(QStringLiteral("SELECT CAST(round(coalesce(sum(Subtotal + Discount), 0) * 10000) AS INTEGER) FROM "
                                     "Jobs WHERE JobType = 3 AND DateShipped BETWEEN %1 AND %2")
                          .arg(DateTime(year, 1, 1).toOle())
                          .arg(DateTime(year, 12, 31).toOle()));
    }
    int m_jobNo = 5000;
};

QStringList describe(const QList<PieSlice> &slices)
{
    QStringList out;
    for (const PieSlice &s : slices)
        out << QStringLiteral("%1=%2@%3").arg(s.label, s.amount.toPlainText()).arg(s.paletteIndex);
    return out;
}

} // namespace

TEST_F(CompanyPieTest, SlicesPerRangeAgainstTheShell)
{
    platform::Database &db = SharedDatabase();
    for (int year : {2009, 2010, 2011})
        EXPECT_EQ(QString::number(CompanyPieTotal(db, range(year)).units()), cliTotal(year)) << year;

    const Money total = CompanyPieTotal(db, range(2010));
    ASSERT_EQ(total, Money::fromWhole(2900));
    const QStringList statements = CompanyPieStatements(range(2010));
    ASSERT_EQ(statements.size(), 8);
    // Customers: the tie at the fifth place keeps both, then the rest.
    EXPECT_EQ(describe(CompanyPieSlices(db, statements[0], total)),
              (QStringList{"Customer A=700@54", "Customer B=600@55", "Customer C=500@56", "Customer D=400@57",
                           "Customer E=300@58", "Customer F=300@59", "Others=100@60"}));
    // Service reps and sales reps: one person made every sale, so no "Others".
    EXPECT_EQ(describe(CompanyPieSlices(db, statements[6], total)), (QStringList{"Carl Csr=2900@54"}));
    EXPECT_EQ(describe(CompanyPieSlices(db, statements[7], total)), (QStringList{"Rita Rep=2900@54"}));

    // 2009: fewer than five contributors; a year without sales: empty pies.
    const Money total2009 = CompanyPieTotal(db, range(2009));
    EXPECT_EQ(describe(CompanyPieSlices(db, CompanyPieStatements(range(2009))[0], total2009)),
              (QStringList{"Customer A=250@54"}));
    for (const QString &sql : CompanyPieStatements(range(2011)))
        EXPECT_TRUE(CompanyPieSlices(db, sql, CompanyPieTotal(db, range(2011))).isEmpty());
    // A statement that cannot be opened leaves its pie empty.
    EXPECT_TRUE(CompanyPieSlices(db, QStringLiteral("SELECT Nothing FROM Nowhere"), total).isEmpty());
}

TEST_F(CompanyPieTest, SalesCaptionInWholeUnits)
{
    struct Case
    {
        const char *amount;
        const char *caption;
    };
    const Case cases[] = {{"2900", "Net Sales $2,900"},     {"1234.5", "Net Sales $1,235"},
                          {"1234.4999", "Net Sales $1,234"}, {"-1234.5", "Net Sales $-1,235"},
                          {"0", "Net Sales $0"},             {"1234567.89", "Net Sales $1,234,568"}};
    for (const Case &c : cases)
        EXPECT_EQ(CompanyPieSalesCaption(Money::fromText(QString::fromUtf8(c.amount))), QString::fromUtf8(c.caption)) << c.amount;
}

TEST_F(CompanyPieTest, TheDialogShowsTheYearToDate)
{
    onDialog<CCompanyPie>([](CCompanyPie &d) {
        EXPECT_EQ(d.dateRangeCode(), 20041);
        EXPECT_EQ(d.pie(0).pieceCount(), 7);
        EXPECT_EQ(d.pie(7).pieceCount(), 1);
        EXPECT_EQ(d.ribbon().GetItemText(30282), QStringLiteral("Net Sales $2,900"));
        EXPECT_TRUE(d.ribbon().GetItemText(30281).startsWith(QLatin1String("Date Range: ")));
        EXPECT_TRUE(d.windowTitle().startsWith(QLatin1String("Top Sales - ")));
        SaveSnapshot(d, QStringLiteral("reports"), QStringLiteral("CompanyPie"));
        // The "Date" menu ticks the range in force, and only it.
        QList<int> ticked;
        CXRibbon::SetMenuResolver([](QMenu &menu, unsigned, int) {
            for (int id = 20031; id <= 20054; ++id)
                menu.addAction(QString::number(id))->setData(id);
        });
        CXRibbon::SetMenuRunner([&ticked](QMenu &menu, const QPoint &) {
            ticked.clear();
            for (const QAction *action : menu.actions())
                if (action->isChecked())
                    ticked << action->data().toInt();
            return 0;
        });
        QTest::mouseClick(&d.ribbon(), Qt::LeftButton, {}, d.ribbon().itemRect(30281).center());
        EXPECT_EQ(ticked, QList<int>{20041});
        d.OnDateRange(20042); // another range: every pie again
        QTest::mouseClick(&d.ribbon(), Qt::LeftButton, {}, d.ribbon().itemRect(30281).center());
        EXPECT_EQ(ticked, QList<int>{20042});
        CXRibbon::SetMenuRunner(nullptr);
        CXRibbon::SetMenuResolver(nullptr);
        return 2;
    });
    CCompanyPie pie(nullptr);
    pie.DoModal();
}
