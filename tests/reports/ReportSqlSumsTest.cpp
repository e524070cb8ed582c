// The sums of the Key Reports on the sample shop equal the same questions
// asked in plain SQLite through the sqlite3 command-line shell on the same
// file. Money is compared in ten-thousandths, a Null sum counting as 0; text
// groups are compared without case (the shell groups with NOCASE).

#include "support/TestEnvironment.h"

#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "reports/ReportSql.h"

#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

#include <algorithm>

namespace {

QTemporaryDir *g_dir = nullptr;
QString g_path;

// The report's rows, each its chosen columns joined by "|": money as
// ten-thousandths (Null = 0), numbers as integers, text in upper case.
QStringList jetRows(platform::Database &db, const QString &sql, const QString &kinds, const QList<int> &columns)
{
    QStringList out;
    platform::Recordset set(db);
    set.open(platform::Recordset::Type::Snapshot, sql);
    for (; !set.isEOF(); set.moveNext()) {
        QStringList cells;
        for (int i = 0; i < columns.size(); ++i) {
            const platform::Value v = set.value(columns[i]);
            switch (kinds[i].toLatin1()) {
            case 'm':
                cells << QString::number(v.isNull() ? 0 : v.toMoney().units());
                break;
            case 'n':
                cells << QString::number(v.isNull() ? 0 : v.toInt64());
                break;
            default:
                cells << v.toString().toUpper();
            }
        }
        out << cells.join(QLatin1Char('|'));
    }
    std::sort(out.begin(), out.end());
    return out;
}

QStringList cliRows(const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), QStringLiteral("-noheader"), QStringLiteral("-separator"),
                                         QStringLiteral("|"), g_path, sql});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "sqlite3: " << p.readAllStandardError().toStdString() << sql.toStdString();
        return {};
    }
    QStringList out = QString::fromUtf8(p.readAllStandardOutput()).toUpper().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    std::sort(out.begin(), out.end());
    return out;
}

// Money in ten-thousandths in the shell.
QString units(const QString &expr)
{
    return QStringLiteral("CAST(round(coalesce(%1, 0) * 10000) AS INTEGER)").arg(expr);
}

} // namespace

class ReportSqlSums : public TavrelTest
{
public:
    static void SetUpTestSuite()
    {
        g_dir = new QTemporaryDir;
        g_path = g_dir->filePath(QStringLiteral("Sample.mdb"));
        QProcess p;
        p.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), g_path, QStringLiteral("--jobs"), QStringLiteral("800")});
        p.waitForFinished(120000);
    }
    static void TearDownTestSuite()
    {
        delete g_dir;
        g_dir = nullptr;
    }

protected:
    struct Case
    {
        int code;
        bool twoTaxes;
        const char *kinds;
        QList<int> columns;
        QString cli;
        // Prefixes of the report rows compared (all rows when empty).
        QStringList keep = {};
    };

    void check(const Case &c, bool month = false)
    {
        platform::Database db;
        db.open(g_path, false, true);
        const QDate today = platform::Clock::today();
        // This year and last year, or the month before this one and the
        // same month a year earlier.
        QDate from(today.year(), 1, 1), to(today.year(), 12, 31);
        if (month) {
            from = QDate(today.year(), today.month(), 1).addMonths(-1);
            to = from.addMonths(1).addDays(-1);
        }
        const QDate lastFrom = from.addYears(-1), lastTo = to.addYears(-1);
        auto jet = [](const QDate &d) { return d.toString(QStringLiteral("MM/dd/yyyy")); };
        auto serial = [](const QDate &d) { return QString::number(DateTime::fromDate(d).toOle(), 'f', 0); };
        const QString sql = BuildReportSqlText(c.code, QStringLiteral(" between #%1# and #%2# ").arg(jet(from), jet(to)),
                                               QStringLiteral(" between #%1# and #%2#").arg(jet(lastFrom), jet(lastTo)),
                                               QString(), c.twoTaxes);
        QString cli = c.cli;
        cli.replace(QLatin1String("{A}"), serial(from)).replace(QLatin1String("{B}"), serial(to));
        cli.replace(QLatin1String("{C}"), serial(lastFrom)).replace(QLatin1String("{D}"), serial(lastTo));
        cli.replace(QLatin1String("{T}"), serial(today));
        const QStringList expected = cliRows(cli);
        QStringList got = jetRows(db, sql, QString::fromLatin1(c.kinds), c.columns);
        if (!c.keep.isEmpty()) {
            got.removeIf([&](const QString &row) {
                return std::none_of(c.keep.cbegin(), c.keep.cend(), [&](const QString &k) { return row.startsWith(k); });
            });
        }
        EXPECT_FALSE(expected.isEmpty()) << c.code;
        EXPECT_EQ(got.join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString()) << c.code;
    }
};

namespace {

const QString kPosted = QStringLiteral(" FROM Jobs J JOIN PostingJournal P ON J.PostingNo = P.PostingNo WHERE P.PostingDate BETWEEN {A} AND {B}");
const QString kNoCharge = QStringLiteral(" NOT BETWEEN -0.0001 AND 0.0001");

} // namespace

TEST_F(ReportSqlSums, PostingSummaryAndSalesByDepartment)
{
    check({2001, false, "mmmmmmmm", {0, 1, 2, 3, 4, 5, 6, 7},
           QStringLiteral("SELECT ") + units(QStringLiteral("sum(CASE WHEN J.Subtotal") + kNoCharge + QStringLiteral(" THEN J.Subtotal ELSE 0 END)")) +
               QStringLiteral("||'|'||") + units(QStringLiteral("sum(J.Discount)")) + QStringLiteral("||'|'||") +
               units(QStringLiteral("sum(J.Shipping)")) + QStringLiteral("||'|'||") + units(QStringLiteral("sum(J.Postage)")) +
               QStringLiteral("||'|'||") + units(QStringLiteral("sum(J.Tax)")) + QStringLiteral("||'|'||") +
               units(QStringLiteral("sum(J.Latefee)")) + QStringLiteral("||'|'||") + units(QStringLiteral("sum(J.Writeoff)")) +
               QStringLiteral("||'|'||") + units(QStringLiteral("sum(J.Paid)")) + kPosted});
    const QString jobPart =
        QStringLiteral("SELECT coalesce(D.\"Group\", 255) || '|' || CASE WHEN D.\"Group\" IS NULL THEN '<Not Assigned>' ELSE D.Name END "
                       "|| '|' || ") +
        units(QStringLiteral("sum(CASE WHEN I.Price") + kNoCharge + QStringLiteral(" THEN I.Price ELSE 0 END)")) + QStringLiteral(" || '|' || ") +
        units(QStringLiteral("sum(I.Price * CASE WHEN J.Subtotal = 0 THEN 0 ELSE 1.0 * J.Discount / J.Subtotal END)")) +
        QStringLiteral(" FROM Jobs J JOIN Items I ON J.JobID = I.JobID JOIN PostingJournal P ON J.PostingNo = P.PostingNo "
                       "JOIN Services S ON I.SerNo = S.SerNo LEFT JOIN SalesDepartments D ON S.SaleDept = D.\"No\" "
                       "WHERE P.PostingDate BETWEEN {A} AND {B} AND I.SerNo > 0 GROUP BY D.\"Group\", D.Name COLLATE NOCASE");
    const QString quickPart =
        QStringLiteral(" UNION SELECT D.\"Group\" || '|' || D.Name || ' QS|' || ") + units(QStringLiteral("sum(Q.Price)")) +
        QStringLiteral(" || '|0' FROM QuickSalesItems Q JOIN QuickSales S0 ON Q.QSaleID = S0.QSaleID JOIN PostingJournal P ON "
                       "S0.PostingNo = P.PostingNo JOIN Services S ON Q.SerNo = S.SerNo JOIN SalesDepartments D ON S.SaleDept = D.\"No\" "
                       "WHERE P.PostingDate BETWEEN {A} AND {B} GROUP BY D.\"Group\", D.Name COLLATE NOCASE");
    check({2002, false, "ntmm", {0, 1, 2, 3}, jobPart + quickPart});
    check({2002, false, "ntmm", {0, 1, 2, 3}, jobPart + quickPart}, true);
}

TEST_F(ReportSqlSums, TaxesInBothLayoutsAndTheListOfInvoices)
{
    const QString jobs = QStringLiteral(" FROM Jobs J JOIN PostingJournal P ON J.PostingNo = P.PostingNo JOIN Taxes X ON J.TaxNo = X.\"No\" "
                                        "WHERE P.PostingDate BETWEEN {A} AND {B} GROUP BY X.\"No\"");
    const QString quick = QStringLiteral(" FROM QuickSales Q JOIN PostingJournal P ON Q.PostingNo = P.PostingNo JOIN Taxes X ON Q.TaxID = X.\"No\" "
                                         "WHERE P.PostingDate BETWEEN {A} AND {B} GROUP BY X.\"No\"");
    // Two taxes: count, net sales, first taxed and tax, second tax, total tax.
    check({2003, true, "ntnmmmmm", {0, 2, 3, 4, 8, 10, 11, 12},
           QStringLiteral("SELECT X.\"No\" || '|INVOICES|' || count(J.JobNo) || '|' || ") + units(QStringLiteral("sum(J.Subtotal + J.Discount)")) +
               QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(CASE WHEN J.TaxNo IN (1, 3) THEN J.Taxable ELSE 0 END)")) +
               QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(CASE WHEN J.TaxNo IN (1, 3) THEN J.Tax - J.Tax2 ELSE 0 END)")) +
               QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(J.Tax2)")) + QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(J.Tax)")) + jobs +
               QStringLiteral(" UNION SELECT X.\"No\" || '|QUICK SALES|' || count(*) || '|' || ") + units(QStringLiteral("sum(Q.Subtotal)")) +
               QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(CASE WHEN Q.TaxID IN (1, 3) THEN Q.Taxable ELSE 0 END)")) +
               QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(CASE WHEN Q.TaxID IN (1, 3) THEN Q.Tax - Q.Tax2 ELSE 0 END)")) +
               QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(Q.Tax2)")) + QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(Q.Tax)")) + quick});
    // One tax: count, net sales, taxable total and tax.
    check({2003, false, "ntnmmm", {0, 2, 3, 4, 9, 10},
           QStringLiteral("SELECT X.\"No\" || '|INVOICES|' || count(J.JobNo) || '|' || ") + units(QStringLiteral("sum(J.Subtotal + J.Discount)")) +
               QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(J.Taxable)")) + QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(J.Tax)")) + jobs +
               QStringLiteral(" UNION SELECT X.\"No\" || '|QUICK SALES|' || count(*) || '|' || ") + units(QStringLiteral("sum(Q.Subtotal)")) +
               QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(Q.Taxable)")) + QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(Q.Tax)")) + quick});
    check({2004, false, "tnmmm", {3, 4, 5, 9, 12},
           QStringLiteral("SELECT 'INVOICE|' || J.JobNo || '|' || ") + units(QStringLiteral("J.Subtotal")) + QStringLiteral(" || '|' || ") +
               units(QStringLiteral("J.Tax")) + QStringLiteral(" || '|' || ") + units(QStringLiteral("J.Paid")) + kPosted +
               QStringLiteral(" UNION SELECT 'QSALE|' || Q.QSaleID || '|' || ") + units(QStringLiteral("Q.Subtotal")) + QStringLiteral(" || '|' || ") +
               units(QStringLiteral("Q.Tax")) + QStringLiteral(" || '|' || ") + units(QStringLiteral("-Q.Subtotal - Q.Tax")) +
               QStringLiteral(" FROM QuickSales Q JOIN PostingJournal P ON Q.PostingNo = P.PostingNo WHERE P.PostingDate BETWEEN {A} AND {B}")});
}

TEST_F(ReportSqlSums, ReceivablesAging)
{
    const QString open = QStringLiteral(" FROM Jobs WHERE JobType = 3 AND Creator < 98 AND Balance > 0.0001");
    auto bucket = [](const QString &test) {
        return QStringLiteral("CAST(round(coalesce(sum(CASE WHEN %1 THEN Balance ELSE 0 END), 0) * 10000) AS INTEGER) || '|' || "
                              "sum(CASE WHEN %1 THEN 1 ELSE 0 END)")
            .arg(test);
    };
    const QString age = QStringLiteral("({T} - DatePayDue)");
    check({2101, false, "mnmnmnmnmnmnmn", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
           QStringLiteral("SELECT ") + bucket(age + QStringLiteral(" < 1")) + QStringLiteral(" || '|' || ") +
               bucket(age + QStringLiteral(" BETWEEN 1 AND 7")) + QStringLiteral(" || '|' || ") + bucket(age + QStringLiteral(" BETWEEN 8 AND 14")) +
               QStringLiteral(" || '|' || ") + bucket(age + QStringLiteral(" BETWEEN 15 AND 30")) + QStringLiteral(" || '|' || ") +
               bucket(age + QStringLiteral(" BETWEEN 31 AND 60")) + QStringLiteral(" || '|' || ") + bucket(age + QStringLiteral(" > 60")) +
               QStringLiteral(" || '|' || ") + bucket(QStringLiteral("DatePayDue IS NULL")) + open});
    // One row per open invoice and per customer credit: total and current.
    check({2104, false, "nmm", {1, 11, 6},
           QStringLiteral("SELECT J.CusNo || '|' || ") + units(QStringLiteral("J.Balance")) + QStringLiteral(" || '|' || ") +
               units(QStringLiteral("CASE WHEN ({T} - J.DatePayDue) < 1 THEN J.Balance END")) +
               QStringLiteral(" FROM Customers C JOIN Jobs J ON C.CusNo = J.CusNo WHERE J.JobType = 3 AND J.Creator < 98 AND J.Balance > 0.0001 "
                              "UNION ALL SELECT CusNo || '|' || ") + units(QStringLiteral("-CreditDue")) + QStringLiteral(" || '|' || ") +
               units(QStringLiteral("-CreditDue")) + QStringLiteral(" FROM Customers WHERE CreditDue <> 0")});
}

TEST_F(ReportSqlSums, ProfitabilityAndComparison)
{
    check({2201, false, "tnmmm", {1, 2, 3, 4, 5},
           QStringLiteral("SELECT CASE WHEN D.\"Group\" IS NULL THEN '<Not Assigned>' ELSE D.Name END || '|' || count(I.Price) || '|' || ") +
               units(QStringLiteral("sum(CASE WHEN I.Cost") + kNoCharge + QStringLiteral(" THEN I.Cost ELSE 0 END)")) + QStringLiteral(" || '|' || ") +
               units(QStringLiteral("sum(CASE WHEN I.Price") + kNoCharge + QStringLiteral(" THEN I.Price ELSE 0 END)")) + QStringLiteral(" || '|' || ") +
               units(QStringLiteral("sum(I.Price * CASE WHEN J.Subtotal = 0 THEN 0 ELSE 1.0 * J.Discount / J.Subtotal END)")) +
               QStringLiteral(" FROM Jobs J JOIN Items I ON J.JobID = I.JobID JOIN PostingJournal P ON J.PostingNo = P.PostingNo "
                              "JOIN Services S ON I.SerNo = S.SerNo LEFT JOIN SalesDepartments D ON S.SaleDept = D.\"No\" "
                              "WHERE P.PostingDate BETWEEN {A} AND {B} AND I.SerNo > 0 GROUP BY D.\"Group\", D.Name COLLATE NOCASE "
                              "UNION SELECT D.Name || ' QS|' || count(Q.Price) || '|' || ") +
               units(QStringLiteral("sum(Q.Price)")) + QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(Q.Price)")) +
               QStringLiteral(" || '|0' FROM QuickSalesItems Q JOIN QuickSales S0 ON Q.QSaleID = S0.QSaleID JOIN PostingJournal P ON "
                              "S0.PostingNo = P.PostingNo JOIN Services S ON Q.SerNo = S.SerNo JOIN SalesDepartments D ON S.SaleDept = D.\"No\" "
                              "WHERE P.PostingDate BETWEEN {A} AND {B} GROUP BY D.\"Group\", D.Name COLLATE NOCASE")});
    check({2205, false, "tnmmm", {0, 1, 2, 3, 4},
           QStringLiteral("SELECT C.Name || '|' || count(J.Subtotal) || '|' || ") + units(QStringLiteral("sum(J.Cost)")) + QStringLiteral(" || '|' || ") +
               units(QStringLiteral("sum(J.Subtotal)")) + QStringLiteral(" || '|' || ") + units(QStringLiteral("sum(J.Discount)")) +
               QStringLiteral(" FROM Jobs J JOIN PostingJournal P ON J.PostingNo = P.PostingNo JOIN Customers C ON J.CusNo = C.CusNo "
                              "WHERE P.PostingDate BETWEEN {A} AND {B} GROUP BY C.Name COLLATE NOCASE")});
    const QString net = QStringLiteral("I.Price * (1 + CASE WHEN J.Subtotal = 0 THEN 0 ELSE 1.0 * J.Discount / J.Subtotal END)");
    const Case comparison{2301, false, "tmm", {1, 2, 3},
                          QStringLiteral("SELECT CASE WHEN D.\"Group\" IS NULL THEN '<Not Assigned>' ELSE D.Name END || '|' || ") +
                              units(QStringLiteral("sum(CASE WHEN P.PostingDate BETWEEN {A} AND {B} THEN %1 ELSE 0 END)").arg(net)) +
                              QStringLiteral(" || '|' || ") +
                              units(QStringLiteral("sum(CASE WHEN P.PostingDate BETWEEN {C} AND {D} THEN %1 ELSE 0 END)").arg(net)) +
                              QStringLiteral(" FROM Jobs J JOIN Items I ON J.JobID = I.JobID JOIN PostingJournal P ON J.PostingNo = P.PostingNo "
                                             "JOIN Services S ON I.SerNo = S.SerNo LEFT JOIN SalesDepartments D ON S.SaleDept = D.\"No\" "
                                             "WHERE (P.PostingDate BETWEEN {A} AND {B} OR P.PostingDate BETWEEN {C} AND {D}) AND I.SerNo > 0 "
                                             "AND I.Price") + kNoCharge + QStringLiteral(" GROUP BY D.\"Group\", D.Name COLLATE NOCASE")};
    check(comparison);
    check(comparison, true);
}

TEST_F(ReportSqlSums, TurnaroundActivitiesAndPartialQueries)
{
    const QString days = QStringLiteral("(J.DateShipped - J.DateIn)");
    auto bucket = [](const QString &test) {
        return QStringLiteral("CAST(round(coalesce(sum(CASE WHEN %1 THEN J.Subtotal + J.Discount ELSE 0 END), 0) * 10000) AS INTEGER) || '|' || "
                              "sum(CASE WHEN %1 THEN 1 ELSE 0 END)")
            .arg(test);
    };
    check({2405, false, "mnmnmnmn", {0, 1, 2, 3, 16, 17, 22, 23},
           QStringLiteral("SELECT ") + bucket(days + QStringLiteral(" < 1")) + QStringLiteral(" || '|' || ") + bucket(days + QStringLiteral(" = 1")) +
               QStringLiteral(" || '|' || ") + bucket(days + QStringLiteral(" BETWEEN 8 AND 15")) + QStringLiteral(" || '|' || ") +
               bucket(days + QStringLiteral(" > 60")) + kPosted + QStringLiteral(" AND J.JobType = 3 AND J.Creator < 98 AND J.Subtotal") + kNoCharge});
    // Activities: the general accounts and the payments by group.
    check({2601, false, "ntnm", {0, 2, 3, 4},
           QStringLiteral("SELECT '2|SHIPPING|' || count(*) || '|' || ") + units(QStringLiteral("sum(J.Shipping)")) + kPosted +
               QStringLiteral(" AND J.Shipping <> 0 HAVING count(*) > 0 UNION SELECT '2|TAX (INVOICES)|' || count(*) || '|' || ") +
               units(QStringLiteral("sum(J.Tax)")) + kPosted + QStringLiteral(" AND J.Tax <> 0 HAVING count(*) > 0 UNION SELECT '2|TAX (QUICK SALES)|' || count(*) || '|' || ") +
               units(QStringLiteral("sum(Q.Tax)")) +
               QStringLiteral(" FROM QuickSales Q JOIN PostingJournal P ON Q.PostingNo = P.PostingNo WHERE P.PostingDate BETWEEN {A} AND {B} AND Q.Tax <> 0 "
                              "HAVING count(*) > 0 UNION SELECT '2|WRITE OFF (FROM AUDIT TRAIL)|' || count(*) || '|' || ") +
               units(QStringLiteral("-sum(Writeoff)")) + QStringLiteral(" FROM AuditTrail WHERE TransDate BETWEEN {A} AND {B} AND Writeoff <> 0 HAVING count(*) > 0 "
                                                                   "UNION SELECT '3|' || G.Name || '|' || count(*) || '|' || ") +
               units(QStringLiteral("sum(Y.Amount)")) +
               QStringLiteral(" FROM Payments Y JOIN PostingJournal P ON Y.PostingNo = P.PostingNo JOIN PayGroups G ON Y.PayGroup = G.PayGroup "
                              "WHERE P.PostingDate BETWEEN {A} AND {B} GROUP BY G.Name COLLATE NOCASE "
                              "UNION SELECT '4|PAID INVOICES|' || count(*) || '|' || ") +
               units(QStringLiteral("sum(Subtotal + Discount + Writeoff)")) +
               QStringLiteral(" FROM Jobs WHERE Balance < 0.0002 AND JobType = 3 AND DatePaid BETWEEN {A} AND {B}"),
           {QStringLiteral("2|"), QStringLiteral("3|"), QStringLiteral("4|PAID INVOICES")}});
}

TEST_F(ReportSqlSums, PartialQueriesOfTheSummaries)
{
    const QString journal = QStringLiteral(" FROM PostingJournal P WHERE P.PostingDate BETWEEN {A} AND {B}");
    const QString earlier = QStringLiteral(" FROM AuditTrail A JOIN Jobs J ON A.JobNo = J.JobNo LEFT JOIN PostingJournal P ON J.PostingNo = P.PostingNo "
                                           "WHERE A.TransDate BETWEEN {A} AND {B} AND A.JobType = 3 AND (P.PostingDate < {A} OR J.PostingNo = -1)");
    auto sums = [](const QStringList &exprs) {
        QStringList parts;
        for (const QString &e : exprs)
            parts << units(QStringLiteral("sum(%1)").arg(e));
        return QStringLiteral("SELECT ") + parts.join(QStringLiteral(" || '|' || "));
    };
    const Case cases[] = {
        {2901, false, "mmmm", {0, 5, 6, 7}, sums({QStringLiteral("A.Subtotal"), QStringLiteral("A.Latefee"), QStringLiteral("A.Writeoff"), QStringLiteral("A.Paid")}) + earlier},
        {2902, false, "mmm", {0, 4, 7},
         sums({QStringLiteral("Q.Subtotal"), QStringLiteral("Q.Tax"), QStringLiteral("-Q.Subtotal - Q.Tax")}) +
             QStringLiteral(" FROM QuickSales Q JOIN PostingJournal P ON Q.PostingNo = P.PostingNo WHERE P.PostingDate BETWEEN {A} AND {B}")},
        {2903, false, "mmmm", {0, 1, 4, 7}, sums({QStringLiteral("P.Subtotal"), QStringLiteral("P.Discount"), QStringLiteral("P.Tax"), QStringLiteral("P.Paid")}) + journal},
        {2904, false, "mmm", {0, 1, 2},
         sums({QStringLiteral("CASE WHEN Y.PayGroup = 0 THEN Y.Amount ELSE 0 END"), QStringLiteral("CASE WHEN Y.PayGroup = 1 THEN Y.Amount ELSE 0 END"),
               QStringLiteral("CASE WHEN Y.PayGroup = 2 THEN Y.Amount ELSE 0 END")}) +
             QStringLiteral(" FROM Payments Y JOIN PostingJournal P ON Y.PostingNo = P.PostingNo WHERE P.PostingDate BETWEEN {A} AND {B}")},
        {2908, false, "n", {0}, QStringLiteral("SELECT coalesce(sum(P.Invoices), 0)") + journal},
        {2909, false, "n", {0}, QStringLiteral("SELECT count(J.JobNo)") + kPosted},
        {2910, false, "n", {0},
         QStringLiteral("SELECT count(*) FROM QuickSales Q JOIN PostingJournal P ON Q.PostingNo = P.PostingNo WHERE P.PostingDate BETWEEN {A} AND {B}")},
        {2911, false, "m", {0},
         sums({QStringLiteral("CASE WHEN I.Price") + kNoCharge + QStringLiteral(" THEN I.Price ELSE 0 END")}) +
             QStringLiteral(" FROM Jobs J JOIN Items I ON J.JobID = I.JobID JOIN PostingJournal P ON J.PostingNo = P.PostingNo "
                            "WHERE P.PostingDate BETWEEN {A} AND {B} AND I.SerNo > 0")},
        {2914, false, "mmmm", {0, 1, 2, 3}, sums({QStringLiteral("J.Discount"), QStringLiteral("J.Shipping"), QStringLiteral("J.Postage"), QStringLiteral("J.Tax")}) + kPosted},
        {2917, false, "m", {0},
         sums({QStringLiteral("-Y.Amount")}) +
             QStringLiteral(" FROM Payments Y JOIN PostingJournal P1 ON P1.PostingNo = Y.PostingNo JOIN PayApplied A ON Y.PayNo = A.PayNo "
                            "JOIN Jobs J ON J.JobNo = A.JobNo JOIN PostingJournal P ON P.PostingNo = J.PostingNo "
                            "WHERE P1.PostingDate < {A} AND P.PostingDate BETWEEN {A} AND {B} AND Y.PayGroup = 1")},
        {2918, false, "m", {0},
         sums({QStringLiteral("Y.Amount")}) +
             QStringLiteral(" FROM Payments Y JOIN PostingJournal P1 ON P1.PostingNo = Y.PostingNo JOIN PayApplied A ON Y.PayNo = A.PayNo "
                            "JOIN Jobs J ON J.JobNo = A.JobNo WHERE P1.PostingDate BETWEEN {A} AND {B} AND Y.PayGroup = 1 AND J.PostingNo = 0 AND J.JobType = 0")},
        {2919, false, "mm", {0, 1},
         sums({QStringLiteral("CASE WHEN Amount > 0 THEN Amount ELSE 0 END"), QStringLiteral("CASE WHEN Amount < 0 THEN Amount ELSE 0 END")}) +
             QStringLiteral(" FROM Credits WHERE Date BETWEEN {A} AND {B}")},
        {2920, false, "m", {0},
         sums({QStringLiteral("P.Subtotal + P.Discount + P.Shipping + P.Postage + P.Tax + P.Latefee + P.Writeoff + P.Paid")}) + journal},
        {2922, false, "m", {0}, sums({QStringLiteral("J.Paid")}) + kPosted},
        {2923, false, "m", {0}, sums({QStringLiteral("A.Paid")}) + earlier},
        {2924, false, "mm", {0, 1}, sums({QStringLiteral("Latefee"), QStringLiteral("Writeoff")}) + QStringLiteral(" FROM AuditTrail WHERE TransDate BETWEEN {A} AND {B}")},
    };
    for (const Case &c : cases) {
        check(c);
        check(c, true);
    }
}
