// The statements of the "Comparison" reports: the sales of the period beside
// those of the period of equal length before it, read in one pass over both.

#include "reports/ReportQueries.h"

#include "reports/ReportSqlFragments.h"

QString ComparisonReportSql(int code, const ReportSqlFragments &f)
{
    switch (code) {
    case 2301:
        return QStringLiteral("SELECT CByte(IIF(SalesDepartments.Group is null, 255, SalesDepartments.Group)) AS [Sales/G|roup}P], "
                       "CStr(IIF(SalesDepartments.Group is null, '<Not Assigned>', SalesDepartments.Name)) AS "
                       "[Sales/Department}t], ")
        + f.NetSalesTwoPeriods
        + QStringLiteral("CCur(0) AS [Change/$}2-3P], CDbl(0) AS [Change/%}4%3], CDbl(0) AS [% of Sales/This Period}2%2], "
                       "CDbl(0) AS [% of Sales/Last Period}3%3] FROM (((Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) "
                       "INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN Services ON "
                       "Items.SerNo = Services.SerNo) LEFT JOIN SalesDepartments ON Services.SaleDept = "
                       "SalesDepartments.[No] ")
        + f.WhereEitherPeriodServices
        + QStringLiteral("GROUP BY SalesDepartments.Group, SalesDepartments.Name ORDER BY SalesDepartments.Group, "
                       "SalesDepartments.Name ");
    case 2302:
        return QStringLiteral("SELECT ServiceDepartments.DepName AS [Service|/Dept}P], ServiceCategories.CatName AS "
                       "[Service/Category}t], ")
        + f.NetSalesTwoPeriods
        + QStringLiteral("CCur(0) AS [Change/$}2-3P], CDbl(0) AS [Change/%}4%3], CDbl(0) AS [% of Sales/This Period}2%2], "
                       "CDbl(0) AS [% of Sales/Last Period}3%3] FROM (((Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) "
                       "INNER JOIN Services ON Items.SerNo = Services.SerNo) INNER JOIN (ServiceDepartments INNER JOIN "
                       "ServiceCategories ON ServiceDepartments.DepNo = ServiceCategories.DepNo) ON Services.CatNo = "
                       "ServiceCategories.CatNo) INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo ")
        + f.WhereEitherPeriodServices
        + QStringLiteral("GROUP BY ServiceDepartments.DepNo, Services.CatNo, ServiceDepartments.DepName, "
                       "ServiceCategories.CatName, ServiceDepartments.SortNo, ServiceCategories.SortNo ORDER BY "
                       "ServiceDepartments.SortNo, ServiceCategories.SortNo ");
    case 2303:
        return QStringLiteral("SELECT ServiceCategories.CatName AS [Service/Cate|gory}P], ")
        + f.ServiceName
        + QStringLiteral(" AS [Service/Name_w_40}t], ")
        + f.NetSalesTwoPeriods
        + QStringLiteral("CCur(0) AS [Change/$}2-3P], CDbl(0) AS [Change/%}4%3] FROM PostingJournal INNER JOIN "
                       "(((ServiceCategories INNER JOIN Services ON ServiceCategories.CatNo = Services.CatNo) INNER JOIN "
                       "Items ON Services.SerNo = Items.SerNo) INNER JOIN Jobs ON Items.JobID = Jobs.JobID) ON "
                       "PostingJournal.PostingNo = Jobs.PostingNo ")
        + f.WhereEitherPeriodServices
        + QStringLiteral("GROUP BY Services.CatNo, ServiceCategories.CatName, ServiceCategories.SortNo, Services.SortNo, ")
        + f.ServiceName
        + QStringLiteral("ORDER BY ServiceCategories.SortNo, Services.SortNo, ")
        + f.ServiceName;
    case 2304:
        return QStringLiteral("SELECT ProductTypes.Name AS [Product/Name             }Pt], ")
        + f.NetSalesTwoPeriods
        + QStringLiteral("CCur(0) AS [Change/$}1-2P], CDbl(0) AS [Change/%}3%2], CDbl(0) AS [This Period/Rank], CDbl(0) AS "
                       "[Last Period/Rank], CDbl(0) AS [Change/In Rank], CDbl(0) AS [This Period/% of Sales}1%1], CDbl(0) "
                       "AS [Last Period/% of Sales}2%2] FROM ((Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER "
                       "JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) LEFT JOIN ProductTypes ON "
                       "Items.Side1 = ProductTypes.[No] ")
        + f.WhereEitherPeriod
        + QStringLiteral("Items.SerNo = 0 and ")
        + f.NonZeroPrice
        + QStringLiteral(" GROUP BY ProductTypes.Name, ProductTypes.Sort ")
        + f.OrderByThisPeriodSales;
    case 2305:
        return QStringLiteral("SELECT Customers.Name AS [Customer's/Name          }Pt], ")
        + f.SalesTwoPeriods
        + QStringLiteral("CCur(0) AS [Change/$}1-2P], CDbl(0) AS [Change/%}3%2], CDbl(0) AS [This Period/Rank], CDbl(0) AS "
                       "[Last Period/Rank], CDbl(0) AS [Change/In Rank], CDbl(0) AS [This Period/% of Sales}1%1], CDbl(0) "
                       "AS [Last Period/% of Sales}2%2] FROM (Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo) INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo ")
        + f.WhereEitherPeriod
        + f.NonZeroNetSale
        + QStringLiteral("GROUP BY Customers.Name ")
        + f.OrderByThisPeriodSales;
    case 2306:
        return QStringLiteral("SELECT BusinessTypes.Name AS [Business/Type            }Pt], ")
        + f.SalesTwoPeriods
        + QStringLiteral("CCur(0) AS [Change/$}1-2P], CDbl(0) AS [Change/%}3%2], CDbl(0) AS [This Period/Rank], CDbl(0) AS "
                       "[Last Period/Rank], CDbl(0) AS [Change/In Rank], CDbl(0) AS [This Period/% of Sales}1%1], CDbl(0) "
                       "AS [Last Period/% of Sales}2%2] FROM ((Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo) "
                       "INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN BusinessTypes ON "
                       "Customers.Business = BusinessTypes.[No] ")
        + f.WhereEitherPeriod
        + f.NonZeroNetSale
        + QStringLiteral("GROUP BY BusinessTypes.Name ")
        + f.OrderByThisPeriodSales;
    case 2307:
        return QStringLiteral("SELECT Employees.Name AS [CSR/Name                 }Pt], ")
        + f.SalesTwoPeriods
        + QStringLiteral("CCur(0) AS [Change/$}1-2P], CDbl(0) AS [Change/%}3%2], CDbl(0) AS [This Period/Rank], CDbl(0) AS "
                       "[Last Period/Rank], CDbl(0) AS [Change/In Rank], CDbl(0) AS [This Period/% of Sales}1%1], CDbl(0) "
                       "AS [Last Period/% of Sales}2%2] FROM Employees INNER JOIN ((Customers INNER JOIN Jobs ON "
                       "Customers.CusNo = Jobs.CusNo) INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo) ON Employees.EmpNo = Jobs.CSRNo ")
        + f.WhereEitherPeriod
        + f.NonZeroNetSale
        + QStringLiteral("GROUP BY Employees.Name ")
        + f.OrderByThisPeriodSales;
    case 2308:
        // The same comparison by sales rep.
        return ComparisonReportSql(2307, f)
            .replace(QStringLiteral("CSR/Name  "), QStringLiteral("Sales Rep/"))
            .replace(QStringLiteral("CSRNo"), QStringLiteral("SRepNo"));
    case 2309:
        return QStringLiteral("SELECT Format(PostingDate,'mmmm') AS [Month/Sales Posted}Pt], ")
        + f.SalesTwoPeriods
        + QStringLiteral("CCur(0) AS [Change/$}1-2P], CDbl(0) AS [Change/%}3%2], Format(PostingDate,'mm') as [HIDE] FROM Jobs "
                       "INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo ")
        + f.WhereEitherPeriod
        + f.NonZeroNetSale
        + QStringLiteral("GROUP BY Format(PostingDate,'mm'), Format(PostingDate,'mmmm') ORDER BY Format(PostingDate,'mm')");
    case 2310:
        return QStringLiteral("SELECT Format(Jobs.DatePaid,'mmmm') AS [Month/Sales Paid}Pt], Sum(IIf((Jobs.DatePaid ")
        + f.ThisPeriod
        + QStringLiteral("), Jobs.Paid, 0)) AS [This Period/Paid}p], Sum(IIf((Jobs.DatePaid ")
        + f.LastPeriod
        + QStringLiteral("), Jobs.Paid, 0)) AS [Last Period/Paid}c], CCur(0) AS [Change/$}1-2P], CDbl(0) AS [Change/%}3%2], "
                       "Format(Jobs.DatePaid,'mm') as [HIDE] FROM Jobs WHERE Jobs.JobType = 3 AND ((Jobs.DatePaid")
        + f.ThisPeriod
        + QStringLiteral(") or (Jobs.DatePaid")
        + f.LastPeriod
        + QStringLiteral(")) AND Jobs.Balance <= 0.0001 GROUP BY Format(Jobs.DatePaid,'mm'), Format(Jobs.DatePaid,'mmmm') "
                       "ORDER BY Format(Jobs.DatePaid,'mm')");
    case 2311:
        return QStringLiteral("SELECT Format(DateIn, 'mmmm') AS [Month_w_12}P], Format(DateIn, 'dd') AS [Day |}t], Sum(IIf((DateIn")
        + f.ThisPeriod
        + QStringLiteral("), Subtotal+Discount, 0)) AS [This Period/Writeups], Sum(IIf((DateIn")
        + f.LastPeriod
        + QStringLiteral("), Subtotal+Discount, 0)) AS [Last Period/Writeups], CCur(0) AS [This Period/Cumulative}p], CCur(0) "
                       "AS [Last Period/Cumulative}c], CCur(0) AS [Change/$}4-5P], CDbl(0) AS [Change/%}6%5], "
                       "Format(DateIn, 'mm') as [HIDE] FROM Jobs WHERE ((JobType=0 or JobType=3) AND ((DateIn")
        + f.ThisPeriod
        + QStringLiteral(") or (DateIn")
        + f.LastPeriod
        + QStringLiteral("))) GROUP BY Format(DateIn, 'mm'), Format(DateIn,'mmmm'), Format(DateIn,'dd') ORDER BY "
                       "Format(DateIn, 'mm')");
    case 2312:
        return QStringLiteral("SELECT Customers.Name AS [Customer/Name           }Pt], CLng(0) AS [Count1], CLng(0) AS [Count2], "
                       "CLng(0) AS [Count3], CCur(0) AS [Sales1}P], CCur(0) AS [Sales2}P], CCur(0) AS [Sales3}P], CCur(0) "
                       "AS [Margin1], CCur(0) AS [Margin2], CCur(0) AS [Margin3], Customers.CusNo AS [Rank1}P], "
                       "Customers.CusNo AS [Rank2}P], Customers.CusNo AS [Rank3}P] FROM Customers INNER JOIN Jobs ON "
                       "Jobs.CusNo = Customers.CusNo WHERE Jobs.JobType=3 GROUP BY Customers.Name,  Customers.CusNo");
    default:
        return QString();
    }
}
