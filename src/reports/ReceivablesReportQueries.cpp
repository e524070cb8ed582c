// The statements of the "A/R" reports: open invoices (history jobs of a
// program user, Creator below 98, Balance above 0.0001) aged in whole days
// from today, and the invoices paid in full.

#include "reports/ReportQueries.h"

#include "reports/ReportSqlFragments.h"

QString ReceivablesReportSql(int code, const ReportSqlFragments &f)
{
    switch (code) {
    case 2101:
        return QStringLiteral("SELECT Sum(IIf( ((Date()-DatePayDue)<1), Balance, 0)) AS [Current], Sum(IIf( "
                       "((Date()-DatePayDue)<1), 1, 0)), Sum(IIf( ((Date()-DatePayDue) between  1 and  7), Balance, 0)) AS "
                       "[Past Due  1 to 7 days ], Sum(IIf( ((Date()-DatePayDue) between  1 and  7), 1, 0)), Sum(IIf( "
                       "((Date()-DatePayDue) between  8 and 14), Balance, 0)) AS [Past Due  8 to 14 days], Sum(IIf( "
                       "((Date()-DatePayDue) between  8 and 14), 1, 0)), Sum(IIf( ((Date()-DatePayDue) between 15 and 30), "
                       "Balance, 0)) AS [Past Due 15 to 30 days], Sum(IIf( ((Date()-DatePayDue) between 15 and 30), 1, 0)), "
                       "Sum(IIf( ((Date()-DatePayDue) between 31 and 60), Balance, 0)) AS [Past Due 31 to 60 days], "
                       "Sum(IIf( ((Date()-DatePayDue) between 31 and 60), 1, 0)), Sum(IIf( ((Date()-DatePayDue)>60), "
                       "Balance, 0)) AS [Past Due 61+ days], Sum(IIf( ((Date()-DatePayDue)>60), 1, 0)), Sum(IIf( "
                       "(Jobs.DatePayDue is null), Balance, 0)) AS [No Payment Due Date assigned], Sum(IIf((Jobs.DatePayDue "
                       "is null), 1, 0)), CCur(0) AS [Credits Due] FROM Jobs WHERE JobType=3 and Creator < 98 and Balance > "
                       "0.0001 ");
    case 2102:
        return QStringLiteral("SELECT Year(DatePayDue) AS [Year], Format(DatePayDue,'yyyy  mm  mmmm') AS [Date "
                       "Payment/Expected}t], Count(Jobs.JobNo) AS [Invoice/Count], SUM(Jobs.Balance) AS [Amount/Due}p] FROM "
                       "Jobs WHERE Jobs.JobType = 3 and Jobs.Creator < 98 and Jobs.Balance > 0.0001 GROUP BY "
                       "Year(DatePayDue), Format(DatePayDue,'yyyy  mm  mmmm'), Jobs.JobType ");
    case 2104:
        // One group per customer: two customers of one name are grouped
        // apart, by their numbers.
        return QStringLiteral("SELECT Customers.Name AS [Customer/|No], Customers.CusNo AS [CusNo__PARENT], Jobs.JobNo AS [Invoice/No|_C}t], "
                       "Jobs.DateShipped as [Date/Shipped_w_12], Jobs.DatePayDue as [Payment/Due_w_12], "
                       "(Date()-Jobs.DatePayDue) AS [Age/Days}P], IIf((Date()-Jobs.DatePayDue)<1, Jobs.Balance) AS "
                       "[Current/$], IIf((Date()-Jobs.DatePayDue) between  1 and 30, Jobs.Balance) AS [1-30/$], "
                       "IIf((Date()-Jobs.DatePayDue) between 31 and 60, Jobs.Balance) AS [31-60/$], "
                       "IIf((Date()-Jobs.DatePayDue) between 61 and 90, Jobs.Balance) AS [61-90/$], "
                       "IIf((Date()-Jobs.DatePayDue)>90,Jobs.Balance) AS [Over 90/$], Jobs.Balance as [Total Due/$}Pp], "
                       "CDbl(0) AS [% of/TOTAL}11%11], ' ' AS [HIDE] FROM Customers INNER JOIN Jobs ON Customers.CusNo = "
                       "Jobs.CusNo WHERE (Jobs.JobType = 3 AND Jobs.Creator < 98 AND Jobs.Balance > 0.0001)  UNION SELECT "
                       "Customers.Name, Customers.CusNo, CStr('Credit'), CStr(''), CStr(''), CLng(0), -Customers.CreditDue, "
                       "CCur(0), CCur(0), CCur(0), CCur(0), -Customers.CreditDue, CDbl(0), ' ' AS [HIDE] FROM Customers "
                       "WHERE Customers.CreditDue <> 0 ORDER BY [Customer/|No], [CusNo__PARENT], [Age/Days}P] ");
    case 2103:
        // The same ages counted from the ship date.
        return ReceivablesReportSql(2104, f).replace(QStringLiteral("-Jobs.DatePayDue"), QStringLiteral("-Jobs.DateShipped"));
    case 2105:
        return QStringLiteral("SELECT CStr(IIF(DatePaid-DateShipped < 1, 'Paid  before or on Date Shipped', "
                       "IIF(DatePaid-DateShipped between 1 and 15,'Paid 1 to 15 days after shipping', "
                       "IIF(DatePaid-DateShipped between 16 and 30,'Paid 16 to 30 days after shipping', "
                       "IIF(DatePaid-DateShipped between 31 and 60, 'Paid 31 to 60 days after shipping', 'Paid 61+ days "
                       "after shipping'))))) AS [Number of Days/= Date Paid - |Date Shipped}Pt], Count(Jobs.JobNo) AS "
                       "[Invoice/Count], SUM(-Paid) AS [Paid-in-Full/Amount}p], CDbl(0) AS [% of/TOTAL}2%2] FROM Jobs WHERE "
                       "JobType = 3 and Creator < 98 and Balance = 0 and ")
        + f.NonZeroSubtotal
        + QStringLiteral(" and DateShipped ")
        + f.ThisPeriod
        + QStringLiteral("GROUP BY CStr(IIF(DatePaid-DateShipped < 1, 'Paid  before or on Date Shipped', "
                       "IIF(DatePaid-DateShipped between 1 and 15,'Paid 1 to 15 days after shipping', "
                       "IIF(DatePaid-DateShipped between 16 and 30,'Paid 16 to 30 days after shipping', "
                       "IIF(DatePaid-DateShipped between 31 and 60, 'Paid 31 to 60 days after shipping', 'Paid 61+ days "
                       "after shipping'))))), Jobs.JobType ");
    case 2106:
        return QStringLiteral("SELECT CStr(IIF(DatePaid-DatePayDue < 1, 'Paid before or on Payment Due Date', "
                       "IIF(DatePaid-DatePayDue between 1 and 7,'Paid Late:  1 to 7 days', IIF(DatePaid-DatePayDue between "
                       "8 and 15,'Paid Late:  8 to 15 days', IIF(DatePaid-DatePayDue between 16 and 30, 'Paid Late: 16 to "
                       "30 days', 'Paid Late: 31+ days'))))) AS [Number of Days/= Date Paid - |Date Payment Due}Pt], "
                       "Count(Jobs.JobNo) AS [Invoice/Count], SUM(-Paid) AS [Paid-in-Full/Amount}p], CDbl(0) AS [% "
                       "of/TOTAL}2%2] FROM Jobs WHERE JobType = 3 and Creator < 98 and Balance = 0 and ")
        + f.NonZeroSubtotal
        + QStringLiteral(" and DateShipped ")
        + f.ThisPeriod
        + QStringLiteral("GROUP BY CStr(IIF(DatePaid-DatePayDue < 1, 'Paid before or on Payment Due Date', "
                       "IIF(DatePaid-DatePayDue between 1 and 7,'Paid Late:  1 to 7 days', IIF(DatePaid-DatePayDue between "
                       "8 and 15,'Paid Late:  8 to 15 days', IIF(DatePaid-DatePayDue between 16 and 30, 'Paid Late: 16 to "
                       "30 days', 'Paid Late: 31+ days'))))), Jobs.JobType ");
    case 2107:
        return QStringLiteral("SELECT  Format(Jobs.DatePaid,'yyyy/mm') AS [Year/Month], 'Paid Invoices' AS [Description   }t], "
                       "Count(*) AS [Count],Sum(Jobs.Subtotal) As [Subtotal], Sum(Jobs.Discount) AS [Discount], "
                       "Sum([Jobs].[Subtotal]+[Jobs].[Discount]) AS [Net Sale], Sum(Jobs.Shipping) AS [Shipping], "
                       "Sum(Jobs.Postage) AS [Postage], Sum(Jobs.Tax) AS [Tax], Sum(Jobs.Latefee) AS [Latefee], "
                       "Sum(Jobs.Writeoff) AS [Writeoff], Sum(Jobs.Paid) AS [Paid], Sum([Jobs].[Subtotal]+[Jobs].[Discount]+["
                       "Jobs].[Writeoff]) AS [Net Sale/- Writeoff] FROM Jobs WHERE Jobs.Balance < 0.0002 AND Jobs.JobType = "
                       "3 AND Jobs.DatePaid ")
        + f.ThisPeriod
        + QStringLiteral(" GROUP BY Format(Jobs.DatePaid,'yyyy/mm')  UNION SELECT Format(QuickSales.Date,'yyyy/mm'), 'Quick "
                       "Sales', Count(*),Sum(QuickSales.Subtotal), CCur(0), Sum(QuickSales.Subtotal), CCur(0), CCur(0), "
                       "Sum(QuickSales.Tax), CCur(0), CCur(0), Sum(-QuickSales.Subtotal-QuickSales.Tax), "
                       "Sum(QuickSales.Subtotal) FROM QuickSales WHERE QuickSales.PostingNo>0 and QuickSales.Date ")
        + f.ThisPeriod
        + QStringLiteral(" GROUP BY Format(QuickSales.Date,'yyyy/mm') ");
    default:
        return QString();
    }
}
