// The Key Reports statements as texts: every code against the golden texts of
// a year and of a month, the codes without a statement, the derived texts,
// the date pieces cut from the period, and the report date filter.

#include "support/TestEnvironment.h"

#include "reports/ReportSql.h"

#include <QtCore/QFile>
#include <QtCore/QMap>

namespace {

const QString kYear = QStringLiteral(" between #01/01/2010# and #12/31/2010# ");
const QString kYearBefore = QStringLiteral(" between #01/01/2009# and #12/31/2009#");
const QString kMonth = QStringLiteral(" between #03/01/2011# and #03/31/2011# ");
const QString kMonthBefore = QStringLiteral(" between #03/01/2010# and #03/31/2010#");

// The golden file: "@@ key" lines, each followed by one statement on one line.
// A key is the code, or the code and "-two"/"-single" for the two layouts of
// 2003 and 2005. The texts are the report statements as the shop's books
// expect them, with these deliberate changes: a discount share over a zero
// subtotal is 0 (IIf(Jobs.Subtotal=0, 0, ...)) instead of a Null that drops
// the item's price, and the daily register (2603) names the customer of the
// filter (1195 here). The deposits on orders not posted (2918) count only
// the order of a job number, never a quote or template numbered alike. And a
// sale of a service whose sales department has no row is never dropped: the
// quick sales of 2002 and 2201 show it as "<Not Assigned> QS", the posting
// accounting (2009, 2915) under "(no department)". The blocks of the company
// activities (2601) and of the daily register (2603) join with UNION ALL and
// an ordering on every column, so rows alike (two equal payments) stay two.
QMap<QString, QString> readGolden(const QString &name)
{
    QMap<QString, QString> out;
    QFile file(QStringLiteral(TAVREL_TEST_DATA "/../reports/golden/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String("@@ ")))
            out.insert(lines[i].mid(3), lines[i + 1]);
    }
    return out;
}

} // namespace

class ReportSqlText : public TavrelTest
{
};

TEST_F(ReportSqlText, EveryCodeEqualsItsGoldenTextForAYearAndAMonth)
{
    struct Period
    {
        const char *file;
        QString thisPeriod, lastPeriod;
    };
    const Period periods[] = {{"report_sql_year.txt", kYear, kYearBefore},
                              {"report_sql_month.txt", kMonth, kMonthBefore}};
    for (const Period &p : periods) {
        const QMap<QString, QString> golden = readGolden(QString::fromLatin1(p.file));
        ASSERT_EQ(golden.size(), 71) << p.file;
        for (auto it = golden.cbegin(); it != golden.cend(); ++it) {
            const int code = it.key().left(4).toInt();
            const bool two = it.key().endsWith(QLatin1String("-two"));
            const QString text = BuildReportSqlText(code, p.thisPeriod, p.lastPeriod,
                                                    QStringLiteral(" (Customers.CusNo = 1195) "), two);
            EXPECT_EQ(text.toStdString(), it.value().toStdString()) << p.file << " " << it.key().toStdString();
        }
    }
}

TEST_F(ReportSqlText, CodesWithoutAStatementGiveAnEmptyText)
{
    for (int code : {2501, 2502, 2602, 2905, 2912, 2000, 2010, 2108, 2213, 2313, 2406, 2604, 2925, 105, 1001, 0, -1})
        EXPECT_TRUE(BuildReportSqlText(code, kYear, kYearBefore, QString(), false).isEmpty()) << code;
    // The daily register needs a customer in the filter.
    EXPECT_TRUE(BuildReportSqlText(2603, kYear, kYearBefore, QString(), false).isEmpty());
    EXPECT_TRUE(BuildReportSqlText(2603, kYear, kYearBefore, QStringLiteral(" (PostingDate between #1/1/2010#) "), false)
                    .isEmpty());
    // Offscreen nothing holds Ctrl: the view's entry gives the same texts.
    EXPECT_EQ(BuildReportSql(2001, kYear, kYearBefore, QString()), BuildReportSqlText(2001, kYear, kYearBefore, QString(), false));
}

TEST_F(ReportSqlText, DatePiecesAreCutFromThePeriod)
{
    const QString partial = BuildReportSqlText(2917, kYear, kYearBefore, QString(), false);
    EXPECT_TRUE(partial.contains(QLatin1String("(PostingJournal_1.PostingDate)<#01/01/2010#)"))) << partial.toStdString();
    EXPECT_TRUE(partial.contains(QLatin1String("Between #01/01/2010# And  #12/31/2010# )"))) << partial.toStdString();
    // A period without "between " leaves the from date empty: the comparison
    // is incomplete and the engine refuses it when it runs.
    const QString broken = BuildReportSqlText(2923, QStringLiteral(" #01/01/2010# "), kYearBefore, QString(), false);
    EXPECT_TRUE(broken.contains(QLatin1String("((PostingDate <) or"))) << broken.toStdString();
}

TEST_F(ReportSqlText, TextsDoNotDependOnTheFilterAndDerivedTextsDifferOnlyWhereTheyShould)
{
    for (int code : {2001, 2002, 2104, 2301, 2601, 2924}) {
        EXPECT_EQ(BuildReportSqlText(code, kYear, kYearBefore, QString(), false),
                  BuildReportSqlText(code, kYear, kYearBefore, QStringLiteral(" (Customers.CusNo = 7) "), false))
            << code;
    }
    const QString shipped = BuildReportSqlText(2103, kYear, kYearBefore, QString(), false);
    const QString due = BuildReportSqlText(2104, kYear, kYearBefore, QString(), false);
    EXPECT_NE(shipped, due);
    EXPECT_EQ(QString(shipped).replace(QLatin1String("-Jobs.DateShipped"), QLatin1String("-Jobs.DatePayDue")), due);
    EXPECT_TRUE(shipped.contains(QLatin1String("Jobs.DateShipped as [Date/Shipped_w_12]")));

    const QString reps = BuildReportSqlText(2308, kYear, kYearBefore, QString(), false);
    const QString csrs = BuildReportSqlText(2307, kYear, kYearBefore, QString(), false);
    EXPECT_EQ(QString(reps).replace(QLatin1String("Sales Rep/"), QLatin1String("CSR/Name  "))
                  .replace(QLatin1String("SRepNo"), QLatin1String("CSRNo")),
              csrs);

    // The tax layouts switch with the flag and nothing else.
    for (int code : {2003, 2005}) {
        EXPECT_NE(BuildReportSqlText(code, kYear, kYearBefore, QString(), true),
                  BuildReportSqlText(code, kYear, kYearBefore, QString(), false));
        EXPECT_TRUE(BuildReportSqlText(code, kYear, kYearBefore, QString(), true).contains(QLatin1String("[Tax/2}Pp]")));
    }
    EXPECT_EQ(BuildReportSqlText(2001, kYear, kYearBefore, QString(), true),
              BuildReportSqlText(2001, kYear, kYearBefore, QString(), false));
}

TEST_F(ReportSqlText, TheDailyRegisterTakesTheCustomerOfTheFilter)
{
    struct Case
    {
        const char *filter;
        const char *customer;
    };
    const Case cases[] = {{" (Customers.CusNo = 42) ", "42"},
                          {"Customers.CusNo=7", "7"},
                          {" (Customers.CusNo = 0) ", ""},
                          {" (Customers.CusNo = x) ", ""},
                          {" (Customers.CusNo) ", ""},
                          {" (Jobs.CusNo = 42) ", ""},
                          {"", ""}};
    for (const Case &c : cases) {
        EXPECT_EQ(CustomerNoFromFilter(QString::fromLatin1(c.filter)), QString::fromLatin1(c.customer)) << c.filter;
    }
    const QString text = BuildReportSqlText(2603, kYear, kYearBefore, QStringLiteral(" (Customers.CusNo = 42) "), false);
    EXPECT_EQ(text.count(QLatin1String("CusNo)=42)")), 4);
    EXPECT_FALSE(text.contains(QLatin1String("1195")));
}

TEST_F(ReportSqlText, TheReportDateFilterNamesTheBranchColumn)
{
    struct Case
    {
        int branch;
        const char *filter;
    };
    const QString kept = QStringLiteral("kept");
    const Case cases[] = {{0, " (Jobs.DateIn  between #01/01/2010# and #12/31/2010# ) "},
                          {1, " (Jobs.DateShipped  between #01/01/2010# and #12/31/2010# ) "},
                          {2, " (Jobs.DatePaid  between #01/01/2010# and #12/31/2010# ) "},
                          {3, " (Jobs.DateReorder  between #01/01/2010# and #12/31/2010# ) "},
                          {4, " (PostingDate  between #01/01/2010# and #12/31/2010# ) "},
                          {5, " (QuickSales.Date  between #01/01/2010# and #12/31/2010# ) "},
                          {6, " (PostingDate  between #01/01/2010# and #12/31/2010# ) "},
                          {7, " (AuditTrail.TransDate  between #01/01/2010# and #12/31/2010# ) "},
                          {8, "kept"},
                          {9, " (PostingDate  between #01/01/2010# and #12/31/2010# ) "},
                          {10, "kept"},
                          {20, " (PostingDate  between #01/01/2010# and #12/31/2010# ) "},
                          {26, " (PostingDate  between #01/01/2010# and #12/31/2010# ) "}};
    for (const Case &c : cases) {
        QString filter = kept;
        GetReportDateField(c.branch, kYear, filter);
        EXPECT_EQ(filter, QString::fromLatin1(c.filter)) << c.branch;
    }
}
