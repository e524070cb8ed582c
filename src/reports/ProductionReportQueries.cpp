// The statements of the "Production" reports and of the special reports:
// open orders, expected reorders, services to do and done, turnaround, the
// company's activities and one customer's daily register.

#include "reports/ReportQueries.h"

#include "reports/ReportSqlFragments.h"

QString ProductionReportSql(int code, const ReportSqlFragments &f, const QString &customerNo)
{
    switch (code) {
    case 2401:
        return QStringLiteral("SELECT CStr(IIF(Status=0, 'In Progress', IIF(Status=1,'On Hold', IIF(Status=2, 'Ready to Ship', "
                       "'Ready to Post')))) AS [Order/Status}Pt], Count(Jobs.JobNo) AS [Order/Count], "
                       "SUM(Jobs.Subtotal+Jobs.Discount) AS [Net/Amount}p], CDbl(0) AS [% of/TOTAL}2%2] FROM Jobs WHERE "
                       "JobType = 0 and Creator < 98 GROUP BY Status, CStr(IIF(Status=0, 'In Progress', IIF(Status=1,'On "
                       "Hold', IIF(Status=2, 'Ready to Ship', 'Ready to Post')))), Jobs.JobType ORDER BY Status");
    case 2402:
        return QStringLiteral("SELECT Year(DateReorder) AS [Year], Format(DateReorder,'yyyy  mm  mmmm') AS [Date "
                       "Reorder/Expected}t], Count(Jobs.JobNo) AS [Order/Count], SUM(Jobs.Subtotal+Jobs.Discount) AS [Net "
                       "Amount/Expected}p] FROM Jobs WHERE Jobs.JobType = 3 and Jobs.Creator < 98 and DateReorder >= "
                       "Date()GROUP BY Year(DateReorder), Format(DateReorder,'yyyy  mm  mmmm'), Jobs.JobType ");
    case 2403:
        return QStringLiteral("SELECT ServiceCategories.CatName AS [Category|}P], ")
        + f.ServiceName
        + QStringLiteral(" AS [Service/Name             }t], Count(Items.Price) AS [Service/Count], SUM(Items.ChargeTime) AS "
                       "[Charge/Time], SUM(Items.ChargeQty) AS [Charge/Qty], CCur(Sum(IIf((")
        + f.NonZeroSubtotal
        + QStringLiteral(") , Items.Price * (1+IIf(Jobs.Subtotal=0, 0, Jobs.Discount/Jobs.Subtotal)), 0))) AS "
                       "[Discounted/Price}p], CDbl(0) AS [% of/TOTAL}5%5] FROM ServiceCategories INNER JOIN ((Items INNER "
                       "JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN Services ON Items.SerNo = Services.SerNo) ON "
                       "ServiceCategories.CatNo = Services.CatNo WHERE Jobs.JobType = 0 and Jobs.Status = 0 and Items.SerNo "
                       "> 0 and Items.Status > 0 GROUP BY Services.CatNo, ServiceCategories.CatName, ")
        + f.ServiceName;
    case 2404:
        return QStringLiteral("SELECT ServiceCategories.CatName AS [Category/Na|me}P], ")
        + f.ServiceName
        + QStringLiteral(" AS [Service/Name             }t], Count(Items.Price) AS [Service/Count], SUM(Items.ActualTime) AS "
                       "[Time/Actual], SUM(Items.ChargeTime) AS [Time/Charge], CLng(0) AS [Time/Diff}4-3], "
                       "SUM(Items.ActualQty) AS [Qty/Actual], SUM(Items.ChargeQty) AS [Qty/Charge], CLng(0) AS "
                       "[Qty/Diff}7-6], SUM(Items.TimeCost) AS [Cost/Time], SUM(Items.MatCost) AS [Cost/Material], "
                       "SUM(Items.Cost) AS [Cost/TOTAL], CCur(Sum(IIf((")
        + f.NonZeroSubtotal
        + QStringLiteral(") , Items.Price * (1+IIf(Jobs.Subtotal=0, 0, Jobs.Discount/Jobs.Subtotal)), 0))) AS "
                       "[Discounted/Price}p], CDbl(0) AS [% of/TOTAL}12%12], CCur(0) AS [Margin/$}12-11], CDbl(0) AS "
                       "[Margin/%}14%12}P], CCur(0) AS [Cost/Hour}9/3], CCur(0) AS [Cost/Each}10/6], CCur(0) AS "
                       "[Price/Hour}12/3], CCur(0) AS [Price/Each}12/6] FROM (ServiceCategories INNER JOIN Services ON "
                       "ServiceCategories.CatNo = Services.CatNo) INNER JOIN ((Jobs INNER JOIN PostingJournal ON "
                       "Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN Items ON Jobs.JobID = Items.JobID) ON "
                       "Services.SerNo = Items.SerNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" and Jobs.JobType = 3 and Items.SerNo > 0 GROUP BY Services.CatNo, ServiceCategories.CatName, ")
        + f.ServiceName;
    case 2405:
        return QStringLiteral("SELECT Sum(IIf( ((DateShipped-DateIn)<1), Jobs.Subtotal+Jobs.Discount, 0)) AS [0 (same day)], "
                       "Sum(IIf( ((DateShipped-DateIn)<1), 1, 0)), Sum(IIf( ((DateShipped-DateIn)=1), "
                       "Jobs.Subtotal+Jobs.Discount, 0)) AS [1 day ], Sum(IIf( ((DateShipped-DateIn)=1), 1, 0)), Sum(IIf( "
                       "((DateShipped-DateIn)=2), Jobs.Subtotal+Jobs.Discount, 0)) AS [2 days], Sum(IIf( "
                       "((DateShipped-DateIn)=2), 1, 0)), Sum(IIf( ((DateShipped-DateIn)=3), Jobs.Subtotal+Jobs.Discount, "
                       "0)) AS [3 days], Sum(IIf( ((DateShipped-DateIn)=3), 1, 0)), Sum(IIf( ((DateShipped-DateIn)=4), "
                       "Jobs.Subtotal+Jobs.Discount, 0)) AS [4 days], Sum(IIf( ((DateShipped-DateIn)=4), 1, 0)), Sum(IIf( "
                       "((DateShipped-DateIn)=5), Jobs.Subtotal+Jobs.Discount, 0)) AS [5 days], Sum(IIf( "
                       "((DateShipped-DateIn)=5), 1, 0)), Sum(IIf( ((DateShipped-DateIn)=6), Jobs.Subtotal+Jobs.Discount, "
                       "0)) AS [6 days], Sum(IIf( ((DateShipped-DateIn)=6), 1, 0)), Sum(IIf( ((DateShipped-DateIn)=7), "
                       "Jobs.Subtotal+Jobs.Discount, 0)) AS [7 days], Sum(IIf( ((DateShipped-DateIn)=7), 1, 0)), Sum(IIf( "
                       "((DateShipped-DateIn) between 8 and 15),  Jobs.Subtotal+Jobs.Discount, 0)) AS [8 to 15 days], "
                       "Sum(IIf( ((DateShipped-DateIn) between 8 and 15),  1, 0)), Sum(IIf( ((DateShipped-DateIn) between "
                       "16 and 30), Jobs.Subtotal+Jobs.Discount, 0)) AS [16 to 30 days], Sum(IIf( ((DateShipped-DateIn) "
                       "between 16 and 30), 1, 0)), Sum(IIf( ((DateShipped-DateIn) between 31 and 60), "
                       "Jobs.Subtotal+Jobs.Discount, 0)) AS [31 to 60 days], Sum(IIf( ((DateShipped-DateIn) between 31 and "
                       "60), 1, 0)), Sum(IIf( ((DateShipped-DateIn)>60), Jobs.Subtotal+Jobs.Discount, 0)) AS [61 or more "
                       "days], Sum(IIf( ((DateShipped-DateIn)>60), 1, 0)) FROM Jobs INNER JOIN PostingJournal ON "
                       "Jobs.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" and Jobs.JobType=3 and Jobs.Creator < 98 and ")
        + f.NonZeroSubtotal;
    case 2601:
        // The blocks join with UNION ALL: rows alike are still two rows (two
        // departments of one name). The ordering is the one a de-duplicating
        // union gave, which the renderer reads.
        return QStringLiteral("SELECT 0 as [0], Customers.Name as [Type             ], [Customers].[Address] & ' ' & "
                       "[Customers].[City] AS [Name             ], 0 AS [Count], 0 AS [Amount] FROM Customers WHERE "
                       "Customers.CusNo = 1 UNION ALL SELECT 1 as [1], 'Posted Net Sales by Sales Departments', "
                       "CStr(IIF(SalesDepartments.Group is null, '<Not Assigned>', SalesDepartments.Name)), Count(*) AS "
                       "[Count], Sum(IIf(([Items].[Price] Not Between -0.0001 And 0.0001),[Items].[Price],0))+CCur(Sum([Items"
                       "].[Price]*(IIf([Jobs].[Subtotal]=0, 0, [Jobs].[Discount]/[Jobs].[Subtotal])))) FROM (((Jobs INNER "
                       "JOIN Items ON Jobs.JobID = Items.JobID) INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo) INNER JOIN Services ON Items.SerNo = Services.SerNo) LEFT JOIN "
                       "SalesDepartments ON Services.SaleDept = SalesDepartments.[No] ")
        + f.WhereThisPeriod
        + QStringLiteral(" and Items.SerNo > 0 GROUP BY SalesDepartments.Group, SalesDepartments.Name  UNION ALL SELECT 1 as [1], "
                       "'Posted Net Sales by Sales Departments', SalesDepartments.Name & ' QS', Count(*) AS [Count], "
                       "Sum(QuickSalesItems.Price) FROM (PostingJournal INNER JOIN (QuickSalesItems INNER JOIN QuickSales "
                       "ON QuickSalesItems.QSaleID = QuickSales.QSaleID) ON PostingJournal.PostingNo = "
                       "QuickSales.PostingNo) INNER JOIN (Services INNER JOIN SalesDepartments ON Services.SaleDept = "
                       "SalesDepartments.[No]) ON QuickSalesItems.SerNo = Services.SerNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY SalesDepartments.Group, SalesDepartments.Name  UNION ALL SELECT 2 as [2], 'General Account  "
                       "Shipping ', 'Shipping', Count(*) AS [Count], Sum([Jobs].[Shipping]) FROM Jobs INNER JOIN "
                       "PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" AND Jobs.Shipping <>0 HAVING Sum(Jobs.Shipping <>0)  UNION ALL SELECT 2 as [2], 'General Account "
                       "Postage ', 'Postage', Count(*) AS [Count], Sum([Jobs].[Postage]) FROM Jobs INNER JOIN "
                       "PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" AND Jobs.Postage <>0 HAVING Sum(Jobs.Postage <>0)  UNION ALL SELECT 2 as [2], 'General Account Tax ', "
                       "'Tax (Invoices)', Count(*) AS [Count], Sum([Jobs].[Tax]) FROM Jobs INNER JOIN PostingJournal ON "
                       "Jobs.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" AND Jobs.Tax <>0 HAVING Sum(Jobs.Tax <>0)  UNION ALL SELECT 2 as [2], 'General Account Tax - Quick "
                       "Sales', 'Tax (Quick Sales)', Count(*) AS [Count], Sum(QuickSales.Tax) FROM PostingJournal INNER "
                       "JOIN QuickSales ON PostingJournal.PostingNo = QuickSales.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" AND QuickSales.Tax <>0 HAVING Sum(QuickSales.Tax <>0)  UNION ALL SELECT 2 as [2], 'General Account "
                       "Write Off', 'Write Off (from Audit Trail)', Count(*) AS [Count], (Sum(AuditTrail.Writeoff))*-1 AS "
                       "[Write Off] FROM AuditTrail WHERE (AuditTrail.TransDate")
        + f.ThisPeriod
        + QStringLiteral(") AND AuditTrail.Writeoff <>0  HAVING Sum(AuditTrail.Writeoff <>0)  UNION ALL SELECT 3 as [3], "
                       "'Payments', PayGroups.Name, Count(*) AS [Count], Sum(Payments.Amount) FROM (PostingJournal INNER "
                       "JOIN Payments ON PostingJournal.PostingNo = Payments.PostingNo) INNER JOIN PayGroups ON "
                       "Payments.PayGroup = PayGroups.PayGroup ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY PayGroups.Name  UNION ALL SELECT 4 as [4], 'Paid Invoices', 'Paid Invoices', Count(*) AS "
                       "[Count], Sum([Jobs].[Subtotal]+[Jobs].[Discount]+[Jobs].[Writeoff]) AS [Net Sale/- Write Off] FROM "
                       "Jobs WHERE Jobs.Balance < 0.0002 AND Jobs.JobType = 3 AND Jobs.DatePaid ")
        + f.ThisPeriod
        + QStringLiteral("  UNION ALL SELECT 4 as [4], 'Paid Quick Sales', 'Paid Quick Sales', Count(*)AS [Count], "
                       "Sum(QuickSales.Subtotal) FROM QuickSales WHERE QuickSales.PostingNo>0 and QuickSales.Date ")
        + f.ThisPeriod
        + QStringLiteral("  UNION ALL SELECT 5 as [5], 'Invoices Written Up', 'Jobs received (DateIn) ")
        + f.ThisPeriod
        + QStringLiteral("', Count(Jobs.JobNo) AS [Count], Sum(([Jobs].[Subtotal]+[Jobs].[Discount])) AS [Net Sale] FROM Jobs "
                       "WHERE ((Jobs.[JobType]=0 Or Jobs.[JobType]=3) AND (Jobs.[DateIn] ")
        + f.ThisPeriod
        + QStringLiteral(")) ORDER BY 1, 2, 3, 4, 5");
    case 2603:
        // One customer's day: without a customer there is no statement. Every
        // job received is listed, with an empty contact or preparer when the
        // job names none. Two payments (or credits) alike are two rows: the
        // blocks join with UNION ALL, sorted as the renderer reads them.
        if (customerNo.isEmpty())
            return QString();
        return QStringLiteral("SELECT 1 AS [Type], (Jobs.DateIn) AS [Date Received], Jobs.JobNo AS [Job Number], Jobs.Title AS "
                       "[Title], [Contacts].[First] & ' ' & [Contacts].[Last] AS [Ordered By], Contacts.Phone, "
                       "Employees.Name AS [Prepared By], ([Jobs].[Subtotal]+[Jobs].[Discount]+[Jobs].[Shipping]+[Jobs].[Posta"
                       "ge]+[Jobs].[Tax]+[Jobs].[LateFee]+[Jobs].[Writeoff]) AS [Invoice Total] FROM ((Jobs INNER JOIN "
                       "Customers ON Jobs.CusNo = Customers.CusNo) LEFT JOIN Contacts ON Jobs.BuyerNo = "
                       "Contacts.ContactNo) LEFT JOIN Employees ON Jobs.CSRNo = Employees.EmpNo WHERE (((Jobs.DateIn)")
        + f.ThisPeriod
        + QStringLiteral(") AND ((Jobs.JobType)=0 Or (Jobs.JobType)=3) AND ((Customers.CusNo)=")
        + customerNo
        + QStringLiteral("))  UNION ALL SELECT 2 AS [Type], Payments.Date AS [Payment Date], '' AS [Payment Number], "
                       "Payments.Appliedto, PaymentTypes.Name AS [Paid By], Payments.Reference, PayGroups.Name AS [Group], "
                       "Payments.Amount FROM (Payments INNER JOIN PaymentTypes ON Payments.PaidBy = PaymentTypes.[No]) "
                       "INNER JOIN PayGroups ON Payments.PayGroup = PayGroups.PayGroup WHERE (((Payments.Date)")
        + f.ThisPeriod
        + QStringLiteral(") AND ((Payments.CusNo)=")
        + customerNo
        + QStringLiteral("))  UNION ALL SELECT 3 AS [Type], Credits.Date AS [Credit Date], Credits.JobNo AS [Job Number], "
                       "Properties.Text AS Reason, CStr(''), CStr(''), CStr(''), Credits.Amount FROM Credits INNER JOIN "
                       "Properties ON Credits.ReasonID = Properties.ID WHERE (((Credits.Date)")
        + f.ThisPeriod
        + QStringLiteral(") AND ((Credits.CusNo)=")
        + customerNo
        + QStringLiteral("))  UNION ALL SELECT 4 AS [Type], Jobs.DateShipped AS [Date Shipped], Jobs.JobNo AS [Job Number], "
                       "Jobs.Title, Jobs.DatePayDue AS [Payment Due Date], ([Jobs].[Subtotal]+[Jobs].[Discount]+[Jobs].[Shipp"
                       "ing]+[Jobs].[Postage]+[Jobs].[Tax]+[Jobs].[LateFee]+[Jobs].[Writeoff]) AS [Invoice Total], "
                       "Jobs.Paid, Jobs.Balance AS Balance FROM Jobs WHERE (((Jobs.Balance)<>0) AND ((Jobs.CusNo)=")
        + customerNo
        + QStringLiteral(") AND ((Jobs.JobType)=3)) ORDER BY 1, 2, 3, 4, 5, 6, 7, 8");
    default:
        return QString();
    }
}
