#include "customers/SummaryFigures.h"

#include "app/base/DateRanges.h"
#include "data/CXDaoSet.h"

namespace {

// The first field of the first row as money; a sum over no rows is 0.
Money sumOf(const QString &sql)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, sql);
    Money m = Money::zero();
    if (set.IsOpen() && !set.IsEmptySet()) {
        const platform::Value v = set.GetFieldValue(0);
        if (!v.isNull())
            m = v.toMoney();
    }
    set.Close();
    return m;
}

// Whole cents, halves away from zero: the cents every money text of the
// program shows, so that a figure here is the figure the statement prints.
qint64 cents(Money m)
{
    return m.roundedToCentsHalfAway().units() / Money::kUnitsPerCent;
}

QString dueCondition(int code)
{
    QString condition;
    BuildDateCondition(condition, QStringLiteral("Jobs.DatePayDue"), code, 0);
    return condition;
}

const QString kAgeBuckets = QStringLiteral(
    "IIf((Date()-DateShipped) < 31, '0-30', IIf((Date()-DateShipped) < 61, '31-60', IIf((Date()-DateShipped) < 91, "
    "'61-90', '91+')))");

} // namespace

QList<RankingYear> CustomerRanking(qint32 cusNo, int thisYear)
{
    QList<RankingYear> years;
    for (int year = thisYear; year > thisYear - 5; --year) {
        RankingYear entry;
        entry.year = year;
        CXDaoSet set;
        set.Open(CXDaoSet::dbOpenSnapshot,
                 QStringLiteral("SELECT Jobs.CusNo, SUM(Jobs.Subtotal+Jobs.Discount) FROM Jobs WHERE Jobs.JobType = 3 "
                                "AND Jobs.DateShipped BETWEEN #01/01/%1# AND #12/31/%1# GROUP BY Jobs.CusNo ORDER BY "
                                "SUM(Jobs.Subtotal+Jobs.Discount) DESC ")
                     .arg(year));
        int position = 0;
        if (set.IsOpen()) {
            for (; !set.IsEOF(); set.MoveNext()) {
                ++position;
                if (set.GetFieldValue(0).toInt() == cusNo) {
                    entry.rank = position;
                    entry.netSale = set.GetFieldValue(1).toMoney();
                    break;
                }
            }
        }
        set.Close();
        years << entry;
    }
    return years;
}

bool RankingFell(const QList<RankingYear> &years)
{
    return years.size() >= 2 && years[0].rank > 0 && years[1].rank > 0 && years[0].rank > years[1].rank;
}

CreditPosition ComputeCreditPosition(qint32 cusNo)
{
    CreditPosition p;
    const QString open = QStringLiteral("SELECT SUM(Balance) AS [Amount] FROM Jobs WHERE JobType = %1 and Balance > "
                                        "0.0001 and CusNo = %2");
    p.inProgress = cents(sumOf(open.arg(0).arg(cusNo)));
    p.current = cents(sumOf(open.arg(3).arg(cusNo) + QStringLiteral(" and ") + dueCondition(5)));
    p.pastDue = cents(sumOf(open.arg(3).arg(cusNo) + QStringLiteral(" and ") + dueCondition(2)));
    p.creditLimit = cents(sumOf(QStringLiteral("SELECT CreditLimit FROM Customers WHERE CusNo = %1").arg(cusNo)));
    p.lessCredit = -cents(sumOf(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = %1").arg(cusNo)));
    p.total = p.inProgress + p.current + p.pastDue + p.lessCredit;
    p.available = p.creditLimit - p.total;
    return p;
}

CreditPosition ComputeCompanyPosition()
{
    CreditPosition p;
    p.inProgress = cents(sumOf(QStringLiteral("SELECT SUM(Balance) AS [Amount] FROM Jobs WHERE JobType = 0 and "
                                              "Balance > 0.0001")));
    const QString invoices =
        QStringLiteral("SELECT SUM(Balance) AS [Amount] FROM Jobs WHERE JobType = 3 and Balance > 0.0001 and ");
    p.current = cents(sumOf(invoices + dueCondition(5)));
    p.pastDue = cents(sumOf(invoices + dueCondition(2)));
    p.lessCredit = -cents(sumOf(QStringLiteral("SELECT SUM(CreditDue) FROM Customers")));
    p.total = p.inProgress + p.current + p.pastDue + p.lessCredit;
    return p;
}

QString CentsText(qint64 c)
{
    const qint64 whole = c / 100;
    const qint64 part = c % 100;
    QString text = QStringLiteral("%1.%2").arg(std::abs(whole)).arg(std::abs(part), 2, 10, QLatin1Char('0'));
    return c < 0 ? QStringLiteral("-") + text : text;
}

QDate MonthlySalesStart(const QDate &today)
{
    return QDate(today.year(), today.month(), 1).addMonths(-35);
}

QString JetDateLiteral(const QDate &date)
{
    return QStringLiteral("#%1/%2/%3#").arg(date.month()).arg(date.day()).arg(date.year());
}

QString CustomerMonthlySalesSql(qint32 cusNo, const QDate &start)
{
    return QStringLiteral("SELECT Format(DateShipped, 'yyyy/mm') AS [Month   }Pt], Count(Jobs.Subtotal) AS [#Orders], "
                          "Sum(Jobs.Cost) AS [Cost}Pc], Sum(Jobs.Subtotal) AS [Subtotal], Sum(Jobs.Discount) AS "
                          "[Discount], CDbl(0) AS [Disc%}4%3], CCur(0) AS [Net Sale}3+4Pp], CCur(0) AS [Margin "
                          "$}6-2], CDbl(0) AS [Margin %}7%6}P] FROM Jobs INNER JOIN Customers ON Jobs.CusNo = "
                          "Customers.CusNo ") +
           QStringLiteral(" WHERE JobType = 3 and Jobs.CusNo = %1 and Jobs.DateShipped >= %2 ")
               .arg(cusNo)
               .arg(JetDateLiteral(start)) +
           QStringLiteral("GROUP BY Format(DateShipped, 'yyyy/mm') ORDER BY Format(DateShipped, 'yyyy/mm')");
}

QString CompanyMonthlySalesSql(const QDate &start)
{
    return QStringLiteral("SELECT Format(DateShipped, 'yyyy/mm') AS [Month   }Pt], Count(Jobs.Subtotal) AS [#Orders], "
                          "Sum(Jobs.Cost) AS [Cost}c], Sum(Jobs.Subtotal) AS [Subtotal], Sum(Jobs.Discount) AS "
                          "[Discount], CDbl(0) AS [Disc%}4%3], CCur(0) AS [Net Sale}3+4Pp], CCur(0) AS "
                          "[Margin$}6-2], CDbl(0) AS [Margin%}7%6}P] FROM Jobs ") +
           QStringLiteral(" WHERE JobType = 3 and Jobs.DateShipped >= %1 ").arg(JetDateLiteral(start)) +
           QStringLiteral("GROUP BY Format(DateShipped, 'yyyy/mm') ORDER BY Format(DateShipped, 'yyyy/mm')");
}

QString CustomerOrdersSql(qint32 cusNo)
{
    return QStringLiteral("SELECT TOP 10 DateIn, JobNo, (Subtotal+Discount) AS [Net Sale] FROM Jobs WHERE (JobType = "
                          "0 or JobType = 3) and CusNo = %1 ORDER BY DateIn DESC")
        .arg(cusNo);
}

QString CustomerPaymentsSql(qint32 cusNo)
{
    return QStringLiteral("SELECT TOP 10 Date, Amount FROM Payments WHERE CusNo = %1 ORDER BY PayNo DESC").arg(cusNo);
}

QString CustomerAgingSql(qint32 cusNo)
{
    return QStringLiteral("SELECT ") + kAgeBuckets +
           QStringLiteral(" as [Age], SUM(Balance) as [Amount] FROM Jobs WHERE JobType = 3 and Balance > 0 and CusNo = "
                          "%1 GROUP BY ")
               .arg(cusNo) +
           kAgeBuckets;
}

QString ReordersExpectedSql(const QDate &today)
{
    return QStringLiteral("SELECT TOP 7 Format(DateReorder,'yyyy  mm') AS [Year  Month], SUM(Subtotal+Discount) AS "
                          "[Amount] FROM Jobs WHERE JobType = 3 and DateReorder >= ") +
           QStringLiteral("#%1#").arg(today.toString(QStringLiteral("MM/dd/yyyy"))) +
           QStringLiteral("GROUP BY Format(DateReorder,'yyyy  mm'), JobType ORDER BY Format(DateReorder,'yyyy  mm')");
}

QString PaymentsExpectedSql(const QDate &today)
{
    // Without the due date and the order, the first seven months listed
    // were the oldest ones, long past, and a payment still expected was left
    // out: past-due balances are the Total's "A/R Past Due".
    return QStringLiteral("SELECT TOP 7 Format(DatePayDue,'yyyy  mm  mmm') AS [Year  Month], SUM(Jobs.Balance) AS "
                          "[Amount] FROM Jobs WHERE JobType = 3 and Balance > 0.0001 and DatePayDue >= ") +
           QStringLiteral("#%1# ").arg(today.toString(QStringLiteral("MM/dd/yyyy"))) +
           QStringLiteral("GROUP BY Format(DatePayDue,'yyyy  mm  mmm'), JobType ORDER BY "
                          "Format(DatePayDue,'yyyy  mm  mmm')");
}

QString PaymentsReceivedSql()
{
    return QStringLiteral("SELECT TOP 7 Format(Date,'yyyy  mm  mmm') AS [Year  Month], SUM(Payments.Amount) as "
                          "[Amount] FROM Payments GROUP BY Format(Date,'yyyy  mm  mmm') ORDER BY Format(Date,'yyyy  mm  "
                          "mmm') DESC");
}
