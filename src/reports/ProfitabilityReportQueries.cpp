// The statements of the "Profitability" reports: sales, cost, discount and
// margin of the period by one dimension each. Columns selected as zero are
// filled by the formula tails of their titles or by the report's renderer.

#include "reports/ReportQueries.h"

#include "reports/ReportSqlFragments.h"

QString ProfitabilityReportSql(int code, const ReportSqlFragments &f)
{
    switch (code) {
    case 2201:
        return QStringLiteral("SELECT CByte(IIF(SalesDepartments.Group is null, 255, SalesDepartments.Group)) AS [Sales/Group}P], "
                       "CStr(IIF(SalesDepartments.Group is null, '<Not Assigned>', SalesDepartments.Name)) AS "
                       "[Department/Name}t], Count(Items.Price) AS [Service|/Count], ")
        + f.CostSum
        + QStringLiteral(", ")
        + f.PriceSum
        + QStringLiteral(", CCur(Sum([Items].[Price]*(IIf(Jobs.Subtotal=0, 0, Jobs.Discount/Jobs.Subtotal)))) AS "
                       "[Discount/$], CDbl(0) AS [Discount/%}5%4], CCur(0) AS [Discounted/Price}4+5Pp], CDbl(0) AS [% "
                       "of/TOTAL}7%7], CCur(0) AS [Margin/$}7-3], CDbl(0) AS [Margin/%}9%7}P] FROM (((Jobs INNER JOIN Items "
                       "ON Jobs.JobID = Items.JobID) INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo) INNER JOIN Services ON Items.SerNo = Services.SerNo) LEFT JOIN "
                       "SalesDepartments ON Services.SaleDept = SalesDepartments.[No] ")
        + f.WhereThisPeriod
        + QStringLiteral(" and Items.SerNo > 0 GROUP BY SalesDepartments.Group, SalesDepartments.Name UNION SELECT "
                       "CByte(IIF(SalesDepartments.Group is null, 255, SalesDepartments.Group)), "
                       "CStr(IIF(SalesDepartments.Group is null, '<Not Assigned>', SalesDepartments.Name)) & ' QS', "
                       "Count(QuickSalesItems.Price), "
                       "Sum(QuickSalesItems.Price), Sum(QuickSalesItems.Price), CCur(0), CDbl(0), CCur(0), CDbl(0), "
                       "CCur(0), CDbl(0) FROM (PostingJournal INNER JOIN (QuickSalesItems INNER JOIN QuickSales ON "
                       "QuickSalesItems.QSaleID = QuickSales.QSaleID) ON PostingJournal.PostingNo = QuickSales.PostingNo) "
                       "INNER JOIN (Services LEFT JOIN SalesDepartments ON Services.SaleDept = SalesDepartments.[No]) ON "
                       "QuickSalesItems.SerNo = Services.SerNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY SalesDepartments.Group, SalesDepartments.Name ");
    case 2202:
        return QStringLiteral("SELECT ServiceDepartments.DepName AS [Service/Depart|ment}P], ServiceCategories.CatName AS "
                       "[Service/Category}t], Count(Items.Price) AS [Service/Count], ")
        + f.CostSum
        + QStringLiteral(", ")
        + f.PriceSum
        + QStringLiteral(", CCur(Sum([Items].[Price]*(IIf(Jobs.Subtotal=0, 0, Jobs.Discount/Jobs.Subtotal)))) AS "
                       "[Discount/$], CDbl(0) AS [Discount/%}5%4], CCur(0) AS [Discounted/Price}4+5Pp], CLng(0) AS [% "
                       "of/TOTAL}7%7], CCur(0) AS [Margin/$}7-3], CDbl(0) AS [Margin/%}9%7}P], ServiceDepartments.SortNo AS "
                       "[HIDE1], ServiceCategories.SortNo AS [HIDE2] FROM (((Items INNER JOIN Jobs ON Items.JobID = "
                       "Jobs.JobID) INNER JOIN Services ON Items.SerNo = Services.SerNo) INNER JOIN (ServiceDepartments "
                       "INNER JOIN ServiceCategories ON ServiceDepartments.DepNo = ServiceCategories.DepNo) ON "
                       "Services.CatNo = ServiceCategories.CatNo) INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" and Items.SerNo > 0 GROUP BY ServiceDepartments.DepNo, Services.CatNo, ServiceDepartments.DepName, "
                       "ServiceCategories.CatName, ServiceDepartments.SortNo, ServiceCategories.SortNo  UNION SELECT "
                       "ServiceDepartments.DepName, ServiceCategories.CatName, Count(QuickSalesItems.Price), "
                       "Sum(QuickSalesItems.Price), Sum(QuickSalesItems.Price), CCur(0), CDbl(0), CCur(0), CLng(0), "
                       "CCur(0), CDbl(0), ServiceDepartments.SortNo, ServiceCategories.SortNo FROM ((PostingJournal INNER "
                       "JOIN QuickSales ON PostingJournal.PostingNo = QuickSales.PostingNo) INNER JOIN QuickSalesItems ON "
                       "QuickSales.QSaleID = QuickSalesItems.QSaleID) INNER JOIN (Services INNER JOIN (ServiceDepartments "
                       "INNER JOIN ServiceCategories ON ServiceDepartments.DepNo = ServiceCategories.DepNo) ON "
                       "Services.CatNo = ServiceCategories.CatNo) ON QuickSalesItems.SerNo = Services.SerNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY ServiceDepartments.DepNo, Services.CatNo, ServiceDepartments.DepName, "
                       "ServiceCategories.CatName, ServiceDepartments.SortNo, ServiceCategories.SortNo ORDER BY [HIDE1], "
                       "[HIDE2] ");
    case 2203:
        return QStringLiteral("SELECT ServiceCategories.CatName AS [Service/Category}P], ")
        + f.ServiceName
        + QStringLiteral(" AS [Service/Name        }t], Count(Items.Price) AS [Service/Count], ")
        + f.CostSum
        + QStringLiteral(", ")
        + f.PriceSum
        + QStringLiteral(", CCur(Sum([Items].[Price]*(IIf(Jobs.Subtotal=0, 0, Jobs.Discount/Jobs.Subtotal)))) AS "
                       "[Discount/$], CDbl(0) AS [Discount/%}5%4], CCur(0) AS [Discounted/Price}4+5Pp], CLng(0) AS [% "
                       "of/TOTAL}7%7], CCur(0) AS [Margin/$}7-3], CDbl(0) AS [Margin/%}9%7}P], ServiceCategories.SortNo AS "
                       "[HIDE1], Services.SortNo AS [HIDE2] FROM PostingJournal INNER JOIN (((ServiceCategories INNER JOIN "
                       "Services ON ServiceCategories.CatNo = Services.CatNo) INNER JOIN Items ON Services.SerNo = "
                       "Items.SerNo) INNER JOIN Jobs ON Items.JobID = Jobs.JobID) ON PostingJournal.PostingNo = "
                       "Jobs.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" and Items.SerNo > 0 and ")
        + f.NonZeroPrice
        + QStringLiteral("GROUP BY ServiceCategories.CatName, ServiceCategories.SortNo, Services.SortNo, ")
        + f.ServiceName
        + QStringLiteral("UNION SELECT ServiceCategories.CatName, ")
        + f.ServiceName
        + QStringLiteral(", Count(QuickSalesItems.Price), Sum(QuickSalesItems.Price), Sum(QuickSalesItems.Price), CCur(0), "
                       "CDbl(0), CCur(0), CLng(0), CCur(0), CDbl(0), ServiceCategories.SortNo, Services.SortNo FROM "
                       "((PostingJournal INNER JOIN QuickSales ON PostingJournal.PostingNo = QuickSales.PostingNo) INNER "
                       "JOIN QuickSalesItems ON QuickSales.QSaleID = QuickSalesItems.QSaleID) INNER JOIN (ServiceCategories "
                       "INNER JOIN Services ON ServiceCategories.CatNo = Services.CatNo) ON QuickSalesItems.SerNo = "
                       "Services.SerNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY ServiceCategories.CatName, ServiceCategories.SortNo, Services.SortNo, ")
        + f.ServiceName
        + QStringLiteral("ORDER BY [HIDE1], [HIDE2] ");
    case 2204:
        return QStringLiteral("SELECT ProductTypes.Name AS [Product/Name         }Pt], Count(Items.Price) AS [Item/Count], ")
        + f.CostSum
        + QStringLiteral(", ")
        + f.PriceSum
        + QStringLiteral(", CCur(Sum([Items].[Price]*(IIf(Jobs.Subtotal=0, 0, Jobs.Discount/Jobs.Subtotal)))) AS "
                       "[Discount/$], CDbl(0) AS [Discount/%}4%3], CCur(0) AS [Discounted/Price}3+4Pp], CLng(0) AS [% "
                       "of/TOTAL}6%6], CCur(0) AS [Margin/$}6-2], CDbl(0) AS [Margin/%}8%6}P] FROM ((Items INNER JOIN Jobs "
                       "ON Items.JobID = Jobs.JobID) INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo) INNER JOIN ProductTypes ON Items.Side1 = ProductTypes.[No] ")
        + f.WhereThisPeriod
        + QStringLiteral(" and Items.SerNo = 0 GROUP BY ProductTypes.Name, ProductTypes.Sort ORDER BY Sum(Items.Price) DESC");
    case 2205:
        return QStringLiteral("SELECT Customers.Name AS [Customer/Name           }Pt], Count(Jobs.Subtotal) AS [Order/Count], "
                       "Sum(Jobs.Cost) AS [Cost/$}c], Sum(Jobs.Subtotal) AS [Subtotal/$], Sum(Jobs.Discount) AS "
                       "[Discount/$], CDbl(0) AS [Discount/%}4%3], CCur(0) AS [Discounted/Price}3+4Pp], CLng(0) AS [% "
                       "of/TOTAL}6%6], CCur(0) AS [Margin/$}6-2], CDbl(0) AS [Margin/%}8%6}P], CLng(0) AS [Rank] FROM (Jobs "
                       "INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN Customers ON "
                       "Jobs.CusNo = Customers.CusNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY Customers.Name ORDER BY Sum(Jobs.Subtotal+Jobs.Discount) DESC");
    case 2206:
        return QStringLiteral("SELECT BusinessTypes.Name AS [Business/Type       }Pt], Count(Jobs.Subtotal) AS [Order/Count], "
                       "Sum(Jobs.Cost) AS [Cost/$}c], Sum(Jobs.Subtotal) AS [Subtotal/$], Sum(Jobs.Discount) AS "
                       "[Discount/$], CDbl(0) AS [Discount/%}4%3], CCur(0) AS [Discounted/Price}3+4Pp], CLng(0) AS [% "
                       "of/TOTAL}6%6], CCur(0) AS [Margin/$}6-2], CDbl(0) AS [Margin/%}8%6}P] FROM ((Customers INNER JOIN "
                       "Jobs ON Customers.CusNo = Jobs.CusNo) INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo) INNER JOIN BusinessTypes ON Customers.Business = BusinessTypes.[No] ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY BusinessTypes.Name ORDER BY Sum(Jobs.Subtotal+Jobs.Discount) DESC");
    case 2207:
        return QStringLiteral("SELECT Employees.Name AS [CSR/Name       }Pt], Count(Jobs.Subtotal) AS [Order/Count], "
                       "Sum(Jobs.Cost) AS [Cost/$}c], Sum(Jobs.Subtotal) AS [Subtotal/$], Sum(Jobs.Discount) AS "
                       "[Discount/$], CDbl(0) AS [Discount/%}4%3], CCur(0) AS [Discounted/Price}3+4Pp], CLng(0) AS [% "
                       "of/TOTAL}6%6], CCur(0) AS [Margin/$}6-2], CDbl(0) AS [Margin/%}8%6}P] FROM Employees INNER JOIN "
                       "((Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo) INNER JOIN PostingJournal ON "
                       "Jobs.PostingNo = PostingJournal.PostingNo) ON Employees.EmpNo = Jobs.CSRNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY Employees.Name ORDER BY Sum(Jobs.Subtotal+Jobs.Discount) DESC");
    case 2208:
        return QStringLiteral("SELECT Employees.Name AS [Sales Rep/Name }Pt], Count(Jobs.Subtotal) AS [Order/Count], "
                       "Sum(Jobs.Cost) AS [Cost/$}c], Sum(Jobs.Subtotal) AS [Subtotal/$], Sum(Jobs.Discount) AS "
                       "[Discount/$], CDbl(0) AS [Discount/%}4%3], CCur(0) AS [Discounted/Price}3+4Pp], CLng(0) AS [% "
                       "of/TOTAL}6%6], CCur(0) AS [Margin/$}6-2], CDbl(0) AS [Margin/%}8%6}P], Sum(Jobs.Commission) AS "
                       "[Commission/$] FROM Employees INNER JOIN ((Customers INNER JOIN Jobs ON Customers.CusNo = "
                       "Jobs.CusNo) INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) ON "
                       "Employees.EmpNo = Jobs.SRepNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY Employees.Name ORDER BY Sum(Jobs.Subtotal+Jobs.Discount) DESC");
    case 2209:
        return QStringLiteral("SELECT Year(PostingDate) AS [Year], Format(PostingDate,'mmmm') AS [Month/Posted|}Pt], "
                       "Count(Jobs.Subtotal) AS [Invoice/Count], Sum(Jobs.Cost) AS [Cost/$}c], Sum(Jobs.Subtotal) AS "
                       "[Subtotal/$], Sum(Jobs.Discount) AS [Discount/$], CDbl(0) AS [Discount/%}5%4], CCur(0) AS "
                       "[Discounted/Price}4+5Pp], CLng(0) AS [% of/TOTAL}7%7], CCur(0) AS [Margin/$}7-3], CDbl(0) AS "
                       "[Margin/%}9%7}P] FROM Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY Year(PostingDate), Format(PostingDate,'mmmm'), Format(PostingDate,'yyyy  mm  mmmm') ORDER "
                       "BY Format(PostingDate,'yyyy  mm  mmmm')");
    case 2210:
        return QStringLiteral("SELECT Year(Jobs.DatePaid) AS [Year], Format(Jobs.DatePaid,'mmmm') AS [Month/Paid|}t], "
                       "Count(Jobs.Subtotal) AS [Invoice/Count], Sum(Jobs.Cost) AS [Cost/$}c], Sum(Jobs.Subtotal) AS "
                       "[Subtotal/$], Sum(Jobs.Discount) AS [Discount/$], CDbl(0) AS [Discount/%}5%4], CCur(0) AS "
                       "[Discounted/Price}4+5Pp], CLng(0) AS [% of/TOTAL}7%7], CCur(0) AS [Margin/$}7-3], CDbl(0) AS "
                       "[Margin/%}9%7}P], Sum(Jobs.Paid) AS [Paid/$] FROM Jobs WHERE Jobs.JobType = 3 AND Jobs.DatePaid ")
        + f.ThisPeriod
        + QStringLiteral(" AND Jobs.Balance <= 0.0001 GROUP BY Year(Jobs.DatePaid), Format(Jobs.DatePaid,'mmmm'), "
                       "Format(Jobs.DatePaid,'yyyy  mm  mmmm') ORDER BY Format(Jobs.DatePaid,'yyyy  mm  mmmm')");
    case 2211:
        return QStringLiteral("SELECT Format(DateIn, 'mmmm') AS [Month_w_12}P], Format(DateIn, 'dd') AS [Day |}t], "
                       "Count(Jobs.JobNo) AS [Invoice/Count], SUM(Jobs.Cost) As [Cost/$}c],SUM(Jobs.Subtotal) AS "
                       "[Subtotal/$}p], SUM(Jobs.Discount) AS [Discount/$], CDbl(0) AS [Discount/%}5%4], CCur(0) AS "
                       "[Discounted/Price}4+5Pp], CLng(0) AS [% of/TOTAL}7%7], CCur(0) AS [Margin/$}7-3], CDbl(0) AS "
                       "[Margin/%}9%7}], Format(DateIn, 'mm') as [HIDE] FROM Jobs WHERE ((JobType=0 Or JobType=3) AND DateIn")
        + f.ThisPeriod
        + QStringLiteral(") GROUP BY Format(DateIn, 'mm'), Format(DateIn,'mmmm'), Format(DateIn,'dd') ORDER BY Format(DateIn, "
                       "'mm')");
    case 2212:
        return QStringLiteral("SELECT Customers.Name AS [Customer/Name           }Pt], Count(Jobs.Subtotal) AS [Invc/Count], "
                       "Sum(Jobs.Cost) AS [Cost/$}c], Sum(Jobs.Subtotal+Jobs.Discount) AS [Net/Sale], CLng(0) AS [% "
                       "of/Total}3%3], CCur(0) AS [Average/Cost}2/1}P], CCur(0) AS [Average/Sale}3/1}P], CCur(0) AS "
                       "[Average/Margin}6-5}P], CDbl(0) AS [Avg/%}7%6}P], CCur(0) AS [Net2], CCur(0) AS [Net3], "
                       "Customers.CusNo AS [Rank1], Customers.CusNo AS [Rank2], Customers.CusNo AS [Rank3] FROM (Jobs INNER "
                       "JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN Customers ON "
                       "Jobs.CusNo = Customers.CusNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY Customers.Name, Customers.CusNo ORDER BY Sum(Jobs.Subtotal+Jobs.Discount) DESC");
    default:
        return QString();
    }
}
