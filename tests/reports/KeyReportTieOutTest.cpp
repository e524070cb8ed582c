// Figures that two reports reach by different roads agree to the cent on
// the sample shop, for several periods, and agree with the same questions
// asked of the file through the sqlite3 command-line shell. The reports of
// the issue are also drawn as the chart window shows them (PNGs in
// build/tests/reports).

#include "support/ShopTest.h"

#include "app/base/Appearance.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXTable.h"
#include "controls/DlgItem.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "reports/CReportRun.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QLabel>

#include <memory>

namespace {

QTemporaryDir *g_dir = nullptr;
QString g_path;
const QDate kToday(2011, 3, 16);

struct Period
{
    const char *name;
    QDate from;
    QDate to;
};

const Period kPeriods[] = {
    {"this year", QDate(2011, 1, 1), QDate(2011, 12, 31)},
    {"last year", QDate(2010, 1, 1), QDate(2010, 12, 31)},
    {"last month", QDate(2011, 2, 1), QDate(2011, 2, 28)},
    {"one week", QDate(2010, 11, 28), QDate(2010, 12, 4)},
    {"two years", QDate(2009, 7, 1), QDate(2011, 3, 16)},
};

QString jetDate(const QDate &d)
{
    return d.toString(QStringLiteral("MM/dd/yyyy"));
}

QString serial(const QDate &d)
{
    return QString::number(DateTime::fromDate(d).toOle(), 'f', 0);
}

// One money figure from the shell, in ten-thousandths (Null = 0).
std::int64_t cliUnits(const QString &expr, const QString &from, const Period &p)
{
    QString sql = QStringLiteral("SELECT CAST(round(coalesce(%1, 0) * 10000) AS INTEGER) %2").arg(expr, from);
    sql.replace(QLatin1String("{A}"), serial(p.from)).replace(QLatin1String("{B}"), serial(p.to));
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), QStringLiteral("-noheader"), g_path, sql});
    if (!shell.waitForFinished(60000) || shell.exitCode() != 0) {
        ADD_FAILURE() << "sqlite3: " << shell.readAllStandardError().toStdString() << sql.toStdString();
        return 0;
    }
    return QString::fromUtf8(shell.readAllStandardOutput()).trimmed().toLongLong();
}

const QString kPostedJobs =
    QStringLiteral("FROM Jobs J JOIN PostingJournal P ON J.PostingNo = P.PostingNo WHERE P.PostingDate BETWEEN {A} AND {B}");
const QString kJournal = QStringLiteral("FROM PostingJournal P WHERE P.PostingDate BETWEEN {A} AND {B}");
const QString kQuick =
    QStringLiteral("FROM QuickSales Q JOIN PostingJournal P ON Q.PostingNo = P.PostingNo WHERE P.PostingDate BETWEEN {A} AND {B}");

} // namespace

class KeyReportTieOut : public TavrelTest
{
public:
    static void SetUpTestSuite()
    {
        g_dir = new QTemporaryDir;
        g_path = g_dir->filePath(QStringLiteral("Sample.mdb"));
        QProcess p;
        p.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), g_path, QStringLiteral("--jobs"), QStringLiteral("1200"),
                                                 QStringLiteral("--today"), QStringLiteral("3/16/2011")});
        p.waitForFinished(180000);
    }
    static void TearDownTestSuite()
    {
        delete g_dir;
        g_dir = nullptr;
    }

protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        platform::Clock::setFixed(QDateTime(kToday, QTime(10, 30)));
        SharedDatabase().open(g_path, false, true);
    }
    void TearDown() override
    {
        SharedDatabase().close();
        platform::Clock::reset();
        TavrelTest::TearDown();
    }

    // Runs a report through the runner for the period into its own table.
    CXTable &run(int code, const Period &p, const QString &branch = QString(), const QString &entry = QString())
    {
        m_tables.push_back(std::make_unique<CXTable>());
        CXTable &t = *m_tables.back();
        CReportRun r(SharedDatabase(), t);
        r.code = code;
        r.branchText = branch;
        r.entryText = entry;
        r.fromDate = DateTime::fromDate(p.from);
        r.toDate = DateTime::fromDate(p.to);
        r.thisPeriod = QStringLiteral(" between #%1# and #%2# ").arg(jetDate(p.from), jetDate(p.to));
        r.lastPeriod = PriorPeriodText(p);
        r.filter = QStringLiteral(" (PostingDate ") + r.thisPeriod + QStringLiteral(") ");
        r.dateRangeCaption = QStringLiteral("Date Range: Custom Date Range (%1 - %2)").arg(jetDate(p.from), jetDate(p.to));
        r.now = DateTime::fromDateTime(QDateTime(kToday, QTime(10, 30)));
        r.nowFixed = true;
        r.messageHook = [](const QString &) {};
        r.Run();
        return t;
    }
    static QString PriorPeriodText(const Period &p)
    {
        return QStringLiteral(" between #%1# and #%2#").arg(jetDate(p.from.addYears(-1)), jetDate(p.to.addYears(-1)));
    }
    static int rowOf(const CXTable &t, const QString &text, int column)
    {
        for (int r = 0; r < t.GetRowCount(); ++r) {
            if (t.GetCellText(r, column) == text)
                return r;
        }
        return -1;
    }

    std::vector<std::unique_ptr<CXTable>> m_tables;
};

TEST_F(KeyReportTieOut, AccountingPostingSummaryRepeatsThePostedSalesSummary)
{
    for (const Period &p : kPeriods) {
        const CXTable &summary = run(2001, p);
        const CXTable &accounting = run(2009, p);
        ASSERT_EQ(summary.GetRowCount(), 23) << p.name;
        const int posting = rowOf(accounting, QStringLiteral("Posting Summary"), 0);
        ASSERT_GT(posting, 0) << p.name;
        // Paid row (9): as posted + quick, as of now + quick, total; BALANCE (10) as posted.
        const Money paidPosted = summary.GetCellValue(9, 2), paidNow = summary.GetCellValue(9, 4);
        const Money paidQuick = summary.GetCellValue(9, 6), paidTotal = summary.GetCellValue(9, 7);
        EXPECT_EQ(accounting.GetCellValue(posting + 3, 2), paidPosted + paidQuick) << p.name;
        EXPECT_EQ(accounting.GetCellValue(posting + 4, 2), paidNow + paidQuick) << p.name;
        EXPECT_EQ(accounting.GetCellValue(posting + 5, 2), paidTotal) << p.name;
        EXPECT_EQ(accounting.GetCellValue(posting + 6, 2), summary.GetCellValue(10, 2)) << p.name;

        // The same figures from the file through the shell.
        EXPECT_EQ(paidPosted.units(), cliUnits("sum(P.Paid)", kJournal, p)) << p.name;
        EXPECT_EQ(paidNow.units(), cliUnits("sum(J.Paid)", kPostedJobs, p)) << p.name;
        EXPECT_EQ(paidQuick.units(), cliUnits("sum(-Q.Subtotal - Q.Tax)", kQuick, p)) << p.name;
        EXPECT_EQ(summary.GetCellValue(10, 2).units(),
                  cliUnits("sum(P.Subtotal + P.Discount + P.Shipping + P.Postage + P.Tax + P.Latefee + P.Writeoff + P.Paid)",
                           kJournal, p))
            << p.name;
        // Total Net Sales of the accounting: item sales of the departments,
        // less discounts, plus the quick-sale items.
        const std::int64_t items = cliUnits(
            "(SELECT sum(I.Price) FROM Items I JOIN Jobs J ON I.JobID = J.JobID JOIN PostingJournal P ON J.PostingNo = "
            "P.PostingNo JOIN Services S ON I.SerNo = S.SerNo JOIN SalesDepartments D ON S.SaleDept = D.[No] WHERE "
            "P.PostingDate BETWEEN {A} AND {B} AND I.SerNo > 0 AND I.Price NOT BETWEEN -0.0001 AND 0.0001)",
            QString(), p);
        const std::int64_t discounts = cliUnits("sum(J.Discount)", kPostedJobs, p);
        const std::int64_t quickItems = cliUnits(
            "(SELECT sum(QI.Price) FROM QuickSalesItems QI JOIN QuickSales Q ON QI.QSaleID = Q.QSaleID JOIN PostingJournal P "
            "ON Q.PostingNo = P.PostingNo WHERE P.PostingDate BETWEEN {A} AND {B})",
            QString(), p);
        EXPECT_EQ(accounting.GetCellValue(posting, 2).units(), items + discounts + quickItems) << p.name;
    }
}

TEST_F(KeyReportTieOut, SummaryAsOfNowEqualsTheListOfInvoices)
{
    for (const Period &p : kPeriods) {
        const CXTable &summary = run(2001, p);
        const CXTable &list = run(2004, p);
        Money shipping, tax, paid;
        for (int r = 0; r < list.GetRowCount(); ++r) {
            if (list.IsSpecialRow(r) || list.GetCellText(r, 3) != QLatin1String("Invoice"))
                continue;
            shipping += list.GetCellValue(r, 7);
            tax += list.GetCellValue(r, 9);
            paid += list.GetCellValue(r, 12);
        }
        EXPECT_EQ(summary.GetCellValue(3, 4), shipping) << p.name;
        EXPECT_EQ(summary.GetCellValue(5, 4), tax) << p.name;
        EXPECT_EQ(summary.GetCellValue(9, 4), paid) << p.name;
        EXPECT_EQ(shipping.units(), cliUnits("sum(J.Shipping)", kPostedJobs, p)) << p.name;
        EXPECT_EQ(tax.units(), cliUnits("sum(J.Tax)", kPostedJobs, p)) << p.name;
    }
}

TEST_F(KeyReportTieOut, ReceivablesSummaryEqualsTheAgedInvoices)
{
    const Period &p = kPeriods[0];
    const CXTable &summary = run(2101, p);
    const CXTable &aging = run(2104, p);
    const CXTable &shipped = run(2103, p);
    ASSERT_GE(summary.GetRowCount(), 9);
    Money beforeCredits;
    for (int r = 0; r < 7; ++r)
        beforeCredits += summary.GetCellValue(r, 2);
    const auto invoices = [](const CXTable &t) {
        Money sum;
        for (int r = 0; r < t.GetRowCount(); ++r) {
            if (!t.IsSpecialRow(r) && t.GetRowFlags(r) != 20 && t.GetCellText(r, 2) != QLatin1String("Credit"))
                sum += t.GetCellValue(r, 11);
        }
        return sum;
    };
    EXPECT_GT(beforeCredits, Money());
    EXPECT_EQ(invoices(aging), beforeCredits);
    EXPECT_EQ(invoices(shipped), beforeCredits);
    EXPECT_EQ(beforeCredits.units(),
              cliUnits("sum(Balance)", "FROM Jobs WHERE JobType = 3 AND Creator < 98 AND Balance > 0.0001", p));
    // The credits: the total after them is the total due of the aging.
    const int total = summary.GetRowCount() - 1;
    EXPECT_EQ(summary.GetCellValue(total, 2), aging.GetCellValue(aging.GetRowCount() - 1, 11));
    EXPECT_EQ(summary.GetCellValue(total - 1, 2).units(),
              -cliUnits("sum(CreditDue)", "FROM Customers WHERE CreditDue > 0", p));
}

TEST_F(KeyReportTieOut, ActivitiesPostedSalesEqualTheDepartmentsDiscountedPrices)
{
    for (const Period &p : kPeriods) {
        const CXTable &activities = run(2601, p);
        const CXTable &departments = run(2201, p);
        const int sales = rowOf(activities, QStringLiteral("Sales Department Totals -->"), 1);
        ASSERT_GT(sales, 0) << p.name;
        const int total = departments.GetRowCount() - 1;
        ASSERT_GE(total, 0) << p.name;
        // The activities' lines are whole cents adding up to the exact total
        // rounded to the cent.
        EXPECT_EQ(activities.GetCellValue(sales, 3), departments.GetCellValue(total, 7).roundedToCentsHalfAway())
            << p.name;
        EXPECT_EQ(activities.GetCellText(sales, 3), departments.GetCellText(total, 7)) << p.name;
    }
}

TEST_F(KeyReportTieOut, ReportsAsTheChartWindowShowsThem)
{
    const Period &p = kPeriods[0];
    const struct
    {
        int code;
        const char *branch;
        const char *entry;
    } reports[] = {
        {2001, "Posting", "Summary"},           {2009, "Posting", "Accounting"},
        {2101, "A/R", "Summary"},               {2103, "A/R", "Aging by Date Shipped"},
        {2601, "Special Reports", "Activities of My Company"},
    };
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/reports");
    QDir().mkpath(folder);
    // The chart window in the view's place, with the view's colours.
    Appearance::instance().LoadViewSettings();
    for (const auto &rep : reports) {
        CXTable &t = run(rep.code, p, QString::fromLatin1(rep.branch), QString::fromLatin1(rep.entry));
        EXPECT_GT(t.GetRowCount(), 0) << rep.code;
        QWidget host;
        host.resize(1250, 1000);
        auto *place = new QLabel(&host);
        place->setGeometry(0, 0, 1250, 1000);
        SetDlgCtrlID(place, 1001);
        auto *chart = new CXChartCtrl;
        ASSERT_TRUE(chart->CreateInDlgItem(&host, 1001, 210));
        chart->LoadTable(&t, CXChartCtrl::ChartTable);
        const QImage image = chart->renderImage();
        EXPECT_TRUE(image.save(folder + QStringLiteral("/report-%1.png").arg(rep.code), "PNG")) << rep.code;
    }
}

namespace {

// The sales journal of one posting as the IIF export writes it: the sales
// it books (its department lines and its quick-sales line, as positive
// amounts) and the sum of each general-journal block, which must be 0.
struct JournalFigures
{
    Money sales;
    QList<Money> blockSums;
    QStringList departments;
};

JournalFigures journalOf(const QString &db, int postingNo, const QString &folder)
{
    JournalFigures f;
    const QString file = folder + QStringLiteral("/sales-%1.iif").arg(postingNo);
    QProcess tool;
    tool.start(QStringLiteral(TAVREL_DBTOOL),
               {QStringLiteral("export"), db, QStringLiteral("iif-sales"), QString::number(postingNo), file});
    tool.waitForFinished(60000);
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return f;
    bool departmentLines = false;
    Money block;
    for (const QString &line : QString::fromLatin1(in.readAll()).split(QStringLiteral("\r\n"))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 5 && fields.value(0) != QLatin1String("ENDTRNS"))
            continue;
        if (fields[0] == QLatin1String("ENDTRNS")) {
            f.blockSums << block;
            continue;
        }
        const Money amount = Money::fromText(fields[4]);
        if (fields[0] == QLatin1String("TRNS")) {
            block = amount;
            // The department lines follow the total of the sales block.
            departmentLines = fields.value(5) == QLatin1String("Total Sales");
            continue;
        }
        if (fields[0] != QLatin1String("SPL"))
            continue;
        block += amount;
        // The quick sales' line (account 700) ends the department lines.
        if (fields[3] == QLatin1String("700")) {
            f.sales -= amount;
            departmentLines = false;
        } else if (departmentLines) {
            f.sales -= amount;
            f.departments << fields[3];
        }
    }
    return f;
}

} // namespace

// The period's sales are the same in the posted sales summary (2001), the
// sales by department (2002), the posting accounting (2009) and the IIF sales
// journal, also when services have a sales department without a row: their
// sales show on a line of their own, and every journal block balances.
TEST_F(KeyReportTieOut, PostedSalesAreTheSameInTheSummariesTheAccountingAndTheJournal)
{
    const QString unassigned = tempPath(QStringLiteral("Unassigned.mdb"));
    ASSERT_TRUE(QFile::copy(g_path, unassigned));
    QProcess shell;
    // Delivery (an invoice service) and black copies (sold over the counter).
    shell.start(QStringLiteral("sqlite3"),
                {unassigned, QStringLiteral("UPDATE Services SET SaleDept = 99 WHERE SerNo IN (18, 901)")});
    ASSERT_TRUE(shell.waitForFinished(30000));
    SharedDatabase().close();

    for (const QString &file : {g_path, unassigned}) {
        SharedDatabase().open(file, false, true);
        const bool broken = file == unassigned;
        for (const Period &p : kPeriods) {
            const CXTable &summary = run(2001, p);
            const CXTable &departments = run(2002, p);
            const CXTable &accounting = run(2009, p);
            ASSERT_EQ(summary.GetRowCount(), 23) << p.name;
            const Money sales = summary.GetCellValue(0, 7);
            EXPECT_GT(sales, Money()) << p.name;
            EXPECT_EQ(departments.GetCellValue(departments.GetRowCount() - 1, 2), sales) << p.name << broken;

            const int departmentsTotal = rowOf(accounting, QStringLiteral("Sales Departments Total ->"), 1);
            const int quickTotal = rowOf(accounting, QStringLiteral("Quick Sales Total ->"), 1);
            const int quickTax = rowOf(accounting, QStringLiteral("Quick Sales Tax"), 1);
            ASSERT_GT(departmentsTotal, 0) << p.name;
            ASSERT_GT(quickTax, departmentsTotal) << p.name;
            EXPECT_EQ(accounting.GetCellValue(departmentsTotal, 2) + accounting.GetCellValue(quickTotal, 2)
                          - accounting.GetCellValue(quickTax, 2),
                      sales)
                << p.name << broken;
            if (broken && p.from.year() == 2009)
                EXPECT_GE(rowOf(accounting, QStringLiteral("(no department)"), 1), 0);

            // The journal of every posting of the period.
            QProcess postings;
            postings.start(QStringLiteral("sqlite3"),
                           {file, QStringLiteral("SELECT PostingNo FROM PostingJournal WHERE PostingDate BETWEEN %1 AND %2")
                                      .arg(serial(p.from), serial(p.to))});
            postings.waitForFinished(30000);
            Money journal;
            QStringList lines;
            for (const QString &n : QString::fromUtf8(postings.readAllStandardOutput()).split(QLatin1Char('\n'),
                                                                                            Qt::SkipEmptyParts)) {
                const JournalFigures f = journalOf(file, n.toInt(), tempPath(QString()));
                journal += f.sales;
                lines << f.departments;
                for (const Money &sum : f.blockSums)
                    EXPECT_EQ(sum, Money()) << "posting " << n.toStdString() << " of " << p.name;
            }
            EXPECT_EQ(journal, sales) << p.name << broken;
            if (broken && p.from.year() == 2009)
                EXPECT_TRUE(lines.contains(QStringLiteral("(no department)")));
        }
        SharedDatabase().close();
    }
    SharedDatabase().open(g_path, false, true);
}
